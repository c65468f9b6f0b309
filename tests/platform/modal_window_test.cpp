#include <gtest/gtest.h>

#include "platform/modal_window.h"
#include "remote_ui.h"

using namespace ardmoor;

namespace {
constexpr int kIdYes = 10;

// A dialog that answers "No" unless its Yes button was pressed; `script` runs once it is shown.
class YesNoWindow : public ModalWindow {
public:
    explicit YesNoWindow(std::function<void(YesNoWindow&)> script)
        : ModalWindow(L"Question", 240, 90), script_(std::move(script)) {}
    bool Declined = true;
    int cancels = 0;
    bool ownerEnabledWhileShown = true;

protected:
    bool OnCreate() override {
        yes_ = AddControl(L"BUTTON", L"&Yes", WS_TABSTOP | BS_DEFPUSHBUTTON, 20, 50, 90, 26, kIdYes);
        AddControl(L"BUTTON", L"&No", WS_TABSTOP, 130, 50, 90, 26, IDCANCEL);
        ::SetTimer(hwnd(), 1, 50, nullptr);
        return yes_ != nullptr;
    }
    int DefaultButtonId() const override { return kIdYes; }
    void OnCommand(int id, int, HWND) override {
        if (id == kIdYes) Declined = false;
        if (id == IDCANCEL) ++cancels;
        if (id == kIdYes || id == IDCANCEL) EndModal();
    }
    bool OnWindowMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override {
        if (msg != WM_TIMER) return false;
        ::KillTimer(hwnd(), 1);
        ownerEnabledWhileShown = Owner() && ::IsWindowEnabled(Owner());
        script_(*this);
        return true;
    }

private:
    std::function<void(YesNoWindow&)> script_;
    HWND yes_ = nullptr;
};

HWND MakeOwner() {
    return ::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                             nullptr, nullptr, nullptr);
}
}  // namespace

TEST(ModalWindow, KeyboardAndCloseBoxAnswerAndOwnerIsDisabledOnlyMeanwhile) {
    HWND owner = MakeOwner();
    ASSERT_NE(owner, nullptr);
    struct Case {
        const char* what;
        std::function<void(YesNoWindow&)> act;
        bool declined;
    } cases[] = {
        {"Enter presses the default button", [](YesNoWindow& w) { ::PostMessageW(w.hwnd(), WM_KEYDOWN, VK_RETURN, 0); },
         false},
        {"Esc cancels", [](YesNoWindow& w) { ::PostMessageW(w.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0); }, true},
        {"the close box counts as No", [](YesNoWindow& w) { ::PostMessageW(w.hwnd(), WM_CLOSE, 0, 0); }, true},
    };
    for (const Case& c : cases) {
        YesNoWindow window(c.act);
        ASSERT_TRUE(window.ShowModal(owner)) << c.what;
        EXPECT_EQ(window.Declined, c.declined) << c.what;
        EXPECT_FALSE(window.ownerEnabledWhileShown) << c.what;
        EXPECT_TRUE(::IsWindowEnabled(owner)) << c.what;
        EXPECT_EQ(window.hwnd(), nullptr) << c.what;
    }
    ::DestroyWindow(owner);
}

TEST(ModalWindow, AWindowThatCannotBuildItsControlsIsNotShown) {
    struct Broken : ModalWindow {
        Broken() : ModalWindow(L"Broken", 100, 100) {}
        bool OnCreate() override { return false; }
    } broken;
    EXPECT_FALSE(broken.ShowModal(nullptr));
    EXPECT_EQ(broken.hwnd(), nullptr);
}
