// The window's "Export listing..." command end to end: the real program, its task pane and popup
// menu command, the system's save dialog answered from here, the file it writes, and the message
// when the file cannot be written.
#include <gtest/gtest.h>

#include <windows.h>

#include "ardmoor_app.h"
#include "export_e2e_util.h"
#include "platform/strings.h"
#include "remote_accessible.h"
#include "remote_ui.h"
#include "test_support.h"

using namespace ardmoor::test;

namespace {

constexpr int kMenuExport = 700;  // the popup menu's "Export listing..." command

// Types a full path into the dialog's file name box and presses Save, as a user would.
void AnswerSaveDialog(HWND dialog, const std::wstring& path) {
    HWND name = ::GetDlgItem(dialog, 0x47c);  // the file name combo box of the Explorer-style dialog
    if (name) name = FindChild(name, L"Edit");
    if (!name) name = ::GetDlgItem(dialog, 0x480);  // or its plain edit box
    ASSERT_NE(name, nullptr);
    ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PressDialogButton(dialog, IDOK);
}

// A message box of the process other than `except`, with a button `id`.
HWND WaitForMessageBox(const AppProcess& app, HWND except, int id) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND h : TopLevelWindows(app.pid()))
                if (h != except && ClassName(h) == L"#32770" && ::IsWindowVisible(h) && ::GetDlgItem(h, id)) {
                    found = h;
                    return true;
                }
            return false;
        },
        20s);
    return found;
}

std::string Narrow(const std::wstring& s) { return ardmoor::WideToUtf8(s); }

}  // namespace

TEST(ExportWindow, TheSaveDialogWritesTheChosenFileAndAFailureSaysWhy) {
    const std::wstring folder = CheckFolder();
    const std::wstring target = folder + L"window.json";
    ::DeleteFileW(target.c_str());
    ArdmoorApp w;
    ASSERT_NO_FATAL_FAILURE(w.Start());
    const AppProcess& app = w.app;
    HWND main = w.main;

    // "Other Tasks" holds the command; the dialog belongs to the main window.
    ASSERT_TRUE(AccessibleDoDefaultAction(w.tasks, L"Export listing..."));
    HWND dialog = app.WaitForWindow(L"#32770", L"Export listing", 20s);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), main);
    EXPECT_FALSE(::IsWindowEnabled(main)) << "the window is out of use while the dialog is up";
    SaveWindowScreenshot(dialog, ScreenshotFolder() + L"export-dialog.bmp");
    AnswerSaveDialog(dialog, target);
    // (check_export.py reads the file back.)
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(main) && ReadFileBytes(target).size() > 2; }, 30s));
    EXPECT_TRUE(TemporaryFilesIn(folder).empty());

    // The popup menu's command; a read-only file: replacing it is confirmed, then refused with the
    // file's name and the system's reason, in a message box with the program's title.
    const std::wstring locked = folder + L"window-locked.csv";
    ::SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(WriteFileBytes(locked, "old contents"));
    ASSERT_TRUE(::SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    ::PostMessageW(main, WM_COMMAND, kMenuExport, 0);
    dialog = app.WaitForWindow(L"#32770", L"Export listing", 20s);
    ASSERT_NE(dialog, nullptr);
    AnswerSaveDialog(dialog, locked);
    HWND replace = WaitForMessageBox(app, dialog, IDYES);
    ASSERT_NE(replace, nullptr) << "no question about replacing the file";
    PressDialogButton(replace, IDYES);
    HWND message = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (message = FindDialog(app.pid(), L"Ardmoor")) != nullptr; }, 30s));
    std::wstring text;
    for (const std::wstring& t : ChildTexts(message)) text += t + L"\n";
    EXPECT_NE(text.find(L"\"" + locked + L"\""), std::wstring::npos) << Narrow(text);
    EXPECT_NE(text.find(ardmoor::SystemErrorText(ERROR_ACCESS_DENIED)), std::wstring::npos) << Narrow(text);
    SaveWindowScreenshot(message, ScreenshotFolder() + L"export-failed.bmp");
    PressDialogButton(message, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(main) && FindDialog(app.pid()) == nullptr; }, 10s));
    EXPECT_EQ(ReadFileBytes(locked), "old contents");
    ::SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(locked.c_str());
    EXPECT_TRUE(TemporaryFilesIn(folder).empty());

    w.Close();
}
