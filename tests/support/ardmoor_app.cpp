#include "ardmoor_app.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>

#include "platform/strings.h"
#include "remote_accessible.h"
#include "test_support.h"

namespace ardmoor::test {

void ArdmoorApp::Start(bool wholeListing) {
    ASSERT_TRUE(app.Start(ArdmoorExe()));
    main = app.WaitForWindow(L"ArdmoorMainWindow", L"Ardmoor", 30s);
    ASSERT_NE(main, nullptr) << "the main window did not appear";
    ASSERT_TRUE(WaitUntil([&] { return (list = FindChild(main, L"SysListView32")) != nullptr; }));
    status = FindChild(main, L"msctls_statusbar32");
    tasks = FindChild(main, L"ArdmoorTaskPane");
    ASSERT_TRUE(status && tasks);
    if (wholeListing) ASSERT_TRUE(WaitUntil([&] { return RefreshState() == 3; }, 60s));
}

int ArdmoorApp::RefreshState() const {
    static const UINT msg = ::RegisterWindowMessageW(L"Ardmoor.RefreshState");
    DWORD_PTR state = 0;
    ::SendMessageTimeoutW(main, msg, 0, 0, SMTO_NORMAL, 5000, &state);
    return static_cast<int>(state);
}

void ArdmoorApp::Close() {
    if (!main) return;
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(app.WaitExit(20s));
    main = nullptr;
}

void ArdmoorApp::ViewDetails() const { ::SendMessageW(main, WM_COMMAND, 1102, 0); }  // View > Details

int ArdmoorApp::IndexOf(const std::wstring& name) const {
    const auto names = RemoteListView(list).Column(0);
    const auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

void ArdmoorApp::SelectRow(int index, bool doubleClick) const {
    ASSERT_GE(index, 0);
    ::SetForegroundWindow(main);
    ClickAt(RemoteListView(list).RowPoint(index), false, doubleClick);
    if (!doubleClick) ASSERT_TRUE(WaitUntil([&] { return RemoteListView(list).Selected() == index; }, 5s));
}

std::wstring ArdmoorApp::Detail(const std::wstring& prefix) const { return AccessibleNameStartingWith(tasks, prefix); }

int ArdmoorApp::Count() const {
    const std::wstring s = RemoteStatusText(status, 1);
    const size_t at = s.find(L" items...");
    return at == std::wstring::npos ? -1 : _wtoi(s.substr(0, at).c_str());
}

HWND ArdmoorApp::WaitDialog(const wchar_t* caption, std::chrono::milliseconds timeout) const {
    return app.WaitForWindow(L"ArdmoorModalWindow", caption, timeout);
}

void ArdmoorApp::Answer(const wchar_t* caption, const std::wstring& says, int button) const {
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindDialog(app.pid(), caption)) != nullptr; }, 30s)) << WideToUtf8(caption);
    const auto texts = ChildTexts(box);
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const std::wstring& t) { return t.find(says) != std::wstring::npos; }))
        << "no text with: " << WideToUtf8(says);
    PressDialogButton(box, button);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box) || !::IsWindowVisible(box); }, 10s));
}

}  // namespace ardmoor::test
