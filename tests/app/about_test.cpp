// The About box in-process, opened by the main window's pAbout: its link goes to the window's
// Shell (one that records what it is asked to open), by mouse and by keyboard.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/app_info.h"
#include "app/frmMain.h"
#include "desktop_test_util.h"
#include "modal_script.h"
#include "recording_shell.h"
#include "remote_ui.h"
#include "test_support.h"

using namespace ardmoor;
using namespace ardmoor::test;

TEST(frmAbout, TheWebAddressOpensThroughTheMainWindowsShellByClickAndByEnter) {
    TestRegistryKey entries, options;
    RecordingShell shell;
    frmMain::Settings settings;
    settings.uninstallRoots = {entries.fullPath()};
    settings.optionsRoot = options.fullPath() + L"\\Ardmoor";
    settings.shell = &shell;
    frmMain main(settings);
    ASSERT_TRUE(main.Load(SW_SHOWNORMAL));

    HWND about = nullptr, link = nullptr;
    ModalScript script;
    script
        .Step([&] {
            for (HWND h : TopLevelWindows(::GetCurrentProcessId()))
                if (::IsWindowVisible(h) && WindowText(h) == L"About Ardmoor") about = h;
            if (!about) return false;
            EXPECT_EQ(::GetWindow(about, GW_OWNER), main.hwnd());
            link = FindChild(about, WC_LINK);
            EXPECT_NE(WindowText(link).find(kMakerWebAddress), std::wstring::npos);
            listview_test::MakeForeground(about);
            RECT r{};
            ::GetWindowRect(link, &r);
            ClickAt({r.left + 20, (r.top + r.bottom) / 2});
            return true;
        })
        .Step([&] { return shell.calls.size() == 1; })
        .Step([&] {
            ::SetFocus(link);
            PressKey(VK_RETURN);
            return true;
        })
        .Step([&] { return shell.calls.size() == 2; })
        .Step([&] {
            EXPECT_TRUE(::IsWindowVisible(about)) << "Enter on the link is not the OK button";
            ::PostMessageW(::GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
            return true;
        });
    script.Start();
    main.pAbout();
    EXPECT_TRUE(script.Finished());
    EXPECT_FALSE(::IsWindow(about));
    ASSERT_EQ(shell.calls.size(), 2u);
    for (const auto& call : shell.calls) {
        EXPECT_EQ(call.file, kMakerWebAddress);
        EXPECT_EQ(call.show, SW_SHOWDEFAULT);
        EXPECT_EQ(call.parameters + call.folder, L"");
        EXPECT_EQ(call.operation, L"open");
        EXPECT_EQ(call.owner, nullptr);
    }
    main.Destroy();
}
