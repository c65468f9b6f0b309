// Handing files and links to the shell: what it is given, and its failure codes as the program
// reports them (number and message), code by code.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <map>

#include "remote_ui.h"
#include "test_support.h"
#include "uninstall/mShellExecute.h"

using namespace ardmoor;

namespace {

struct Call {
    std::wstring operation, file, parameters, folder;
    int show = -1;
    bool parametersNull = false;
};
Call lastCall;
INT_PTR nextResult = 42;

INT_PTR Recording(HWND, const wchar_t* op, const wchar_t* file, const wchar_t* params, const wchar_t* folder, int show) {
    lastCall = {op ? op : L"", file ? file : L"", params ? params : L"", folder ? folder : L"", show, params == nullptr};
    return nextResult;
}

}  // namespace

TEST(ShellOpen, EveryShellFailureCodeHasItsNumberAndMessage) {
    const std::wstring general = L"An error occurred occurred whilst trying to open or print the selected file.";
    const std::wstring again = L"  Please try again in a moment.";
    const std::map<int, std::pair<long, std::wstring>> named = {
        {0, {7, L"Out of memory"}},
        {2, {53, L"File not found"}},
        {3, {76, L"Path not found"}},
        {5, {75, L"Path/file access error"}},
        {8, {7, L"Out of memory"}},
        {11, {-2147220445, L"The executable file is invalid or corrupt"}},
        {26, {75, L"A sharing violation occurred."}},
        {27, {-2147220429, L"This file type does not have a valid file association."}},
        {28, {286, L"The file could not be opened due to time out." + again}},
        {29, {285, L"The file could not be opened because the DDE transaction failed." + again}},
        {30, {285, L"The file could not be opened because the target application is busy." + again}},
        {31, {-2147220425, L"No application is associated with this file type."}},
        {32, {48, L"The specified dynamic-link library was not found."}},
    };
    for (int code = 0; code <= 32; ++code) {
        SCOPED_TRACE(code);
        const ShellError e = ShellOpenError(code);
        const auto it = named.find(code);
        EXPECT_EQ(e.number, it != named.end() ? it->second.first : -2147220456L + code);
        EXPECT_EQ(e.message, it != named.end() ? it->second.second : general);
        EXPECT_EQ(e.source, L"test_uninstall.GShell");
    }
}

TEST(ShellOpen, GivesTheShellWhatTheRulesSayAndTakesAnyOtherResultAsSuccess) {
    // With parameters: a program (".exe" in any case) starts hidden; anything else as asked.
    nextResult = 42;
    EXPECT_TRUE(ShellOpen(L"C:\\Tools\\setup.exe", SW_SHOWMAXIMIZED, L"/quiet", L"", L"open", nullptr, nullptr, Recording));
    EXPECT_EQ(lastCall.show, SW_HIDE);
    EXPECT_EQ(lastCall.parameters, L"/quiet");
    EXPECT_TRUE(ShellOpen(L"C:\\Docs\\readme.txt", SW_SHOWMAXIMIZED, L"", L"C:\\Docs", L"open", nullptr, nullptr, Recording));
    EXPECT_EQ(lastCall.show, SW_SHOWMAXIMIZED);
    EXPECT_EQ(lastCall.folder, L"C:\\Docs");
    // Without parameters and folder: always a normal window, ".exe" or not.
    EXPECT_TRUE(ShellOpen(L"C:\\Tools\\Setup.EXE", SW_SHOWDEFAULT, L"", L"", L"open", nullptr, nullptr, Recording));
    EXPECT_EQ(lastCall.show, SW_SHOWNORMAL);
    EXPECT_TRUE(lastCall.parametersNull);
    EXPECT_EQ(lastCall.operation, L"open");
    EXPECT_EQ(lastCall.file, L"C:\\Tools\\Setup.EXE");

    for (INT_PTR result : {INT_PTR{33}, INT_PTR{-1}, INT_PTR{1000}}) {
        nextResult = result;
        ShellError e{99, L"untouched", L"untouched"};
        EXPECT_TRUE(ShellOpen(L"https://heron.example/", SW_SHOWDEFAULT, L"", L"", L"open", nullptr, &e, Recording));
        EXPECT_EQ(e.number, 99);
    }
    nextResult = SE_ERR_NOASSOC;
    ShellError e;
    EXPECT_FALSE(ShellOpen(L"C:\\Docs\\data.unknownext", SW_SHOWDEFAULT, L"", L"", L"open", nullptr, &e, Recording));
    EXPECT_EQ(e.number, -2147220425);
    EXPECT_EQ(e.message, L"No application is associated with this file type.");
}

TEST(ShellOpen, AMissingHelpFileIsFileNotFoundAndShowsNothing) {
    test::TempDir dir;
    auto visibleWindows = [] {
        size_t n = 0;
        for (HWND h : test::TopLevelWindows(::GetCurrentProcessId())) n += ::IsWindowVisible(h) ? 1 : 0;
        return n;
    };
    const size_t before = visibleWindows();
    ShellError e;
    EXPECT_FALSE(ShellOpen(dir / L"ardmor.chm", SW_SHOW, L"", L"", L"open", nullptr, &e));
    EXPECT_EQ(e.number, 53);
    EXPECT_EQ(e.message, L"File not found");
    test::PumpFor(300);
    EXPECT_EQ(visibleWindows(), before);
}
