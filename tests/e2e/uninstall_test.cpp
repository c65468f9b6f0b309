// Uninstalling through the real ardmoor.exe: a program installed at test time by a real x64 NSIS
// installer ("Plover Sketch", not one of the shared samples) is uninstalled through the main
// window, first cancelled in its own window, then for real; its uninstaller hands on to a copy
// of itself in %TEMP% and leaves its settings file behind. The uninstaller's windows are answered
// from here, as a user would.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "ardmoor_app.h"
#include "remote_accessible.h"
#include "remote_ui.h"
#include "test_support.h"

using namespace ardmoor::test;

namespace {

const std::wstring kUninstall = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::wstring kPloverFolder = L"C:\\Program Files\\Plover Sketch";

bool EntryExists(const std::wstring& sub) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, sub.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

// Run from a copy on drive C: an installer reads itself, which it cannot do by the name Wine
// gives a program outside every drive (the build folder).
bool RunInstaller(const std::wstring& file) {
    TempDir staging;
    const std::wstring copy = staging / file.substr(file.find_last_of(L'\\') + 1);
    if (!::CopyFileW(file.c_str(), copy.c_str(), FALSE)) return false;
    AppProcess setup;
    if (!setup.Start(copy, L"/S")) return false;
    DWORD code = 1;
    return setup.WaitExit(std::chrono::seconds(120), &code) && code == 0;
}

// A visible #32770 window of any process whose title starts with `prefix`, once it shows.
HWND WaitForWindow(const std::wstring& prefix) {
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND h : TopLevelWindows(0))
            if (!found && ::IsWindowVisible(h) && ClassName(h) == L"#32770" && WindowText(h).rfind(prefix, 0) == 0) found = h;
        return found != nullptr;
    }, 60s);
    return found;
}

// Wine's Recycle Bin is the XDG trash; the shell deletes for good when its parent folder is missing.
std::wstring TrashFolder() {
    wchar_t buf[1024];
    const DWORD n = ::GetEnvironmentVariableW(L"XDG_DATA_HOME", buf, 1024);
    if (n == 0 || n >= 1024) return {};
    std::wstring path = L"\\\\?\\unix" + std::wstring(buf, n);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    for (size_t i = path.find(L'\\', 9); i != std::wstring::npos; i = path.find(L'\\', i + 1))
        ::CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
    ::CreateDirectoryW(path.c_str(), nullptr);
    return path + L"\\Trash";
}

// Should the uninstall fail, nothing of the program stays for the next run.
struct PloverCleanup {
    const std::wstring key = kUninstall + L"\\ArdmoorPloverSketch";
    ~PloverCleanup() {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
        ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
        RemoveTree(kPloverFolder);
    }
};

struct App : ArdmoorApp {
    void SelectEntry(const std::wstring& name) const {
        ASSERT_NO_FATAL_FAILURE(SelectRow(IndexOf(name)));
        ASSERT_TRUE(WaitUntil([&] { return !Detail(L"Remove " + name).empty(); }, 5s));
    }
    bool Answers() const {
        DWORD_PTR r = 0;
        return ::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &r) != 0;
    }
};

// One of the program's dialogs, or null at once.
HWND FindOwn(const App& w, const wchar_t* caption) { return w.WaitDialog(caption, 0ms); }

}  // namespace

TEST(Uninstall, ANsisProgramIsUninstalledThroughTheMainWindowAndItsLeftOversRecycled) {
    PloverCleanup plover;
    TestRegistryKey noCommand(HKEY_LOCAL_MACHINE, kUninstall);
    noCommand.SetString(L"", L"DisplayName", L"Ardmoor Entry Without Command");
    const std::wstring trash = TrashFolder();
    ASSERT_FALSE(trash.empty()) << "XDG_DATA_HOME is not set for the test prefix";
    RemoveTree(trash + L"\\files\\Plover Sketch");
    ::DeleteFileW((trash + L"\\info\\Plover Sketch.trashinfo").c_str());
    ASSERT_TRUE(RunInstaller(BuildPath(L"installers\\plover-sketch-setup.exe")));
    ASSERT_TRUE(EntryExists(plover.key));

    App w;
    ASSERT_NO_FATAL_FAILURE(w.Start());
    w.ViewDetails();
    const int rows = w.Count();
    ASSERT_GE(w.IndexOf(L"Plover Sketch"), 0);

    // 1. Through the task pane, and cancelled in the uninstaller's own window.
    ASSERT_NO_FATAL_FAILURE(w.SelectEntry(L"Plover Sketch"));
    ASSERT_TRUE(AccessibleDoDefaultAction(
        w.tasks, L"Plover Sketch\r\ncan be uninstalled by double-clicking the item or clicking here..."));
    HWND confirm = WaitForWindow(L"Plover Sketch Uninstall");
    ASSERT_NE(confirm, nullptr) << "the uninstaller did not show its window";
    EXPECT_TRUE(w.Answers()) << "the main window does not handle its messages";
    ::InvalidateRect(w.list, nullptr, FALSE);
    EXPECT_TRUE(WaitUntil([&] { return !::GetUpdateRect(w.list, nullptr, FALSE); }, 10s))
        << "the list was not painted again";
    ASSERT_TRUE(SaveWindowScreenshot(w.main, ScreenshotFolder() + L"uninstall-running.bmp"));
    PressDialogButton(confirm, IDCANCEL);

    HWND verify = w.WaitDialog(L"Verify...");
    ASSERT_NE(verify, nullptr) << "a cancelled uninstall leads to the verification dialog";
    PressDialogButton(verify, IDNO);
    ASSERT_TRUE(WaitUntil([&] { return !FindOwn(w, L"Verify...") && ::IsWindowEnabled(w.main); }));
    EXPECT_TRUE(EntryExists(plover.key));
    EXPECT_EQ(w.Count(), rows);

    // 2. A double-click on the row; the uninstaller's copy in %TEMP% does the work and is waited for.
    w.SelectRow(w.IndexOf(L"Plover Sketch"), true);
    confirm = WaitForWindow(L"Plover Sketch Uninstall");
    ASSERT_NE(confirm, nullptr);
    PressDialogButton(confirm, IDOK);  // "&Uninstall"
    HWND completed = WaitForWindow(L"Plover Sketch Uninstall: Completed");
    ASSERT_NE(completed, nullptr);
    EXPECT_FALSE(EntryExists(plover.key)) << "the uninstaller removed its entry";
    PumpFor(500);
    EXPECT_FALSE(::IsWindowEnabled(w.main)) << "the wait ended while the uninstaller's copy still ran";
    EXPECT_EQ(FindOwn(w, L"Verify..."), nullptr);
    EXPECT_EQ(FindOwn(w, L"Folder cleanup"), nullptr);
    PressDialogButton(completed, IDOK);  // "&Close"

    // Its settings file stayed: the folder is offered, and the shell asks before recycling it.
    HWND cleanup = w.WaitDialog(L"Folder cleanup");
    ASSERT_NE(cleanup, nullptr);
    EXPECT_EQ(w.IndexOf(L"Plover Sketch"), -1) << "the row leaves before the clean-up question";
    EXPECT_EQ(w.Count(), rows - 1);
    EXPECT_TRUE(RemoteStatusText(w.status, 1).ends_with(L"items... ")) << "the uninstall's count ends in one blank";
    ASSERT_TRUE(SaveWindowScreenshot(cleanup, ScreenshotFolder() + L"uninstall-cleanup-offered.bmp"));
    PressDialogButton(cleanup, IDYES);
    HWND shellConfirm = w.app.WaitForWindow(L"#32770", L"Confirm folder deletion", 20s);
    ASSERT_NE(shellConfirm, nullptr);
    PressDialogButton(shellConfirm, IDYES);
    EXPECT_TRUE(WaitUntil([&] { return ::GetFileAttributesW(kPloverFolder.c_str()) == INVALID_FILE_ATTRIBUTES; },
                          20s));
    EXPECT_NE(::GetFileAttributesW((trash + L"\\files\\Plover Sketch\\plover.ini").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the folder did not go to the Recycle Bin";
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(w.main) != FALSE; }));

    // 3. Enter on an entry without a command opens the invalid-entry dialog; the Enter that closes
    // it (No is its default) starts nothing more when it is released over the list.
    ASSERT_NO_FATAL_FAILURE(w.SelectEntry(L"Ardmoor Entry Without Command"));
    PressKey(VK_RETURN);
    HWND invalid = w.WaitDialog(L"Uninstall Software");
    ASSERT_NE(invalid, nullptr) << "Enter did not start the uninstall";
    ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == invalid; }, 5s));
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return FindOwn(w, L"Uninstall Software") == nullptr; }, 5s));
    PumpFor(1500);
    EXPECT_EQ(FindOwn(w, L"Uninstall Software"), nullptr) << "the closing Enter started a second uninstall";
    EXPECT_TRUE(EntryExists(noCommand.subPath()));
    RemoveTree(trash + L"\\files\\Plover Sketch");
    ::DeleteFileW((trash + L"\\info\\Plover Sketch.trashinfo").c_str());

    ::PostMessageW(w.main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(w.app.WaitExit(20s));
}
