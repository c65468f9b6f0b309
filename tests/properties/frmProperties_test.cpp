// The properties window in-process, over an entry in a test-owned key: its link areas open their
// link through the shell it is given (a recording one: nothing is really opened here).
#include <gtest/gtest.h>

#include "desktop_test_util.h"
#include "modal_script.h"
#include "platform/shell.h"
#include "properties/frmProperties.h"
#include "recording_shell.h"
#include "remote_ui.h"
#include "test_support.h"

using namespace ardmoor;
using namespace ardmoor::test;

namespace {

POINT LeftMiddle(HWND window, int dx) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return {r.left + dx, (r.top + r.bottom) / 2};
}

}  // namespace

TEST(PropertiesWindow, LinkAreasOpenTheirQuoteFreeLinkOnAClickOnTheirTextAndShowItAsToolTip) {
    TestRegistryKey key;
    key.SetString(L"Entry", L"DisplayName", L"Linked Entry");
    key.SetString(L"Entry", L"Publisher", L"Linker Ltd");
    key.SetString(L"Entry", L"HelpLink", L"\"https://linked.example/help\"");
    key.SetString(L"Entry", L"URLInfoAbout", L"https://linked.example/about");
    RecordingShell shell;
    frmProperties form(shell);
    form.EntryKey = key.fullPath() + L"\\Entry";

    ModalScript script;
    script.Step([&] {
        if (!form.hwnd() || !::IsWindowVisible(form.hwnd())) return false;
        EXPECT_TRUE(listview_test::MakeForeground(form.hwnd()));
        EXPECT_EQ(WindowText(form.AreaWindow(kAreaHelpLink)), L"https://linked.example/help");
        EXPECT_EQ(form.AreaToolTip(kAreaHelpLink), L"https://linked.example/help");
        EXPECT_EQ(form.AreaToolTip(kAreaInfoUrl), L"https://linked.example/about");

        ClickAt(LeftMiddle(form.AreaWindow(kAreaHelpLink), 6));
        EXPECT_TRUE(PumpUntil([&] { return shell.calls.size() == 1; }));
        // Beside a link's text, and on an area without a link, a click opens nothing.
        RECT link{};
        ::GetWindowRect(form.AreaWindow(kAreaInfoUrl), &link);
        ClickAt({link.right + 20, (link.top + link.bottom) / 2});
        ClickAt(LeftMiddle(form.AreaWindow(kAreaPublisher), 6));
        ClickAt(LeftMiddle(form.AreaWindow(kAreaInfoUrl), 6));
        EXPECT_TRUE(PumpUntil([&] { return shell.calls.size() == 2; }));
        PumpFor(200);
        ::PostMessageW(form.hwnd(), WM_CLOSE, 0, 0);
        return true;
    });
    script.Start();
    ASSERT_TRUE(form.ShowModal(nullptr));
    EXPECT_TRUE(form.Cancelled);
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[0].file, L"https://linked.example/help");
    EXPECT_EQ(shell.calls[0].show, SW_SHOW);
    EXPECT_EQ(shell.calls[0].operation, L"open");
    EXPECT_TRUE(shell.calls[0].parameters.empty() && shell.calls[0].folder.empty());
    EXPECT_EQ(shell.calls[1].file, L"https://linked.example/about");
    EXPECT_EQ(shell.recycles, 0);
}
