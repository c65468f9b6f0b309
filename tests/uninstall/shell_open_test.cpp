// Handing files and links to the shell: what it is given, and its failure codes as the program
// reports them (number and message), code by code.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <set>

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

// Codes with a meaning of their own each have their own message; any other code gets the general
// one and a number of its own.
TEST(ShellOpen, EveryShellFailureCodeHasItsNumberAndMessage) {
    const std::wstring general = L"An error occurred occurred whilst trying to open or print the selected file.";
    const std::set<int> named = {0, 2, 3, 5, 8, 11, 26, 27, 28, 29, 30, 31, 32};
    for (int code = 0; code <= 32; ++code) {
        SCOPED_TRACE(code);
        const ShellError e = ShellOpenError(code);
        EXPECT_EQ(e.source, L"test_uninstall.GShell");
        EXPECT_EQ(e.message == general, !named.contains(code));
        if (!named.contains(code)) {
            EXPECT_EQ(e.number, -2147220456L + code);
        }
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
