// The About box in-process: its link goes to the shell (a Shell that records what it is asked to
// open), by mouse and by keyboard.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/app_info.h"
#include "app/frmAbout.h"
#include "desktop_test_util.h"
#include "modal_script.h"
#include "remote_ui.h"

using namespace ardmoor;
using namespace ardmoor::test;

namespace {

struct OpenCall {
    std::wstring file;
    int show;
    std::wstring parameters, folder, operation;
    HWND owner;
};

class RecordingShell : public Shell {
public:
    std::vector<OpenCall> calls;
    bool Open(const std::wstring& file, int show, const std::wstring& parameters, const std::wstring& folder,
              const std::wstring& operation, HWND owner, ShellError*) override {
        calls.push_back({file, show, parameters, folder, operation, owner});
        return true;
    }
    Status Recycle(const std::wstring&, HWND) override { return Error{ERROR_CALL_NOT_IMPLEMENTED}; }
};

}  // namespace

TEST(frmAbout, TheWebAddressOpensThroughTheShellByClickAndByEnter) {
    RecordingShell shell;
    frmAbout about(shell);
    HWND shown = nullptr, link = nullptr;
    ModalScript script;
    script
        .Step([&] {
            if (!about.hwnd() || !::IsWindowVisible(about.hwnd())) return false;
            shown = about.hwnd();
            link = FindChild(shown, WC_LINK);
            EXPECT_NE(WindowText(link).find(kMakerWebAddress), std::wstring::npos);
            listview_test::MakeForeground(shown);
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
            EXPECT_TRUE(::IsWindowVisible(shown)) << "Enter on the link is not the OK button";
            ::PostMessageW(::GetDlgItem(shown, IDOK), BM_CLICK, 0, 0);
            return true;
        });
    script.Start();
    ASSERT_TRUE(about.ShowModal(nullptr));
    EXPECT_TRUE(script.Finished());
    ASSERT_EQ(shell.calls.size(), 2u);
    for (const OpenCall& call : shell.calls) {
        EXPECT_EQ(call.file, kMakerWebAddress);
        EXPECT_EQ(call.show, SW_SHOWDEFAULT);
        EXPECT_EQ(call.parameters + call.folder, L"");
        EXPECT_EQ(call.operation, L"open");
        EXPECT_EQ(call.owner, shown);
    }
}
