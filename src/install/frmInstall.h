#pragma once
// The install wizard's window: a side picture, five stacked pages and a button strip. It turns its
// messages into calls on InstallWizard and shows the wizard's state.
#include <windows.h>

#include <array>

#include "controls/cVBALSysImageList.h"
#include "controls/list_view/list_view.h"
#include "controls/progress_bar/progress_bar.h"
#include "install/install_dialogs.h"
#include "install/install_wizard.h"
#include "install/wizard_controls.h"
#include "platform/modal_window.h"

namespace ardmoor {

class frmInstall : public ModalWindow, private InstallWizardView {
public:
    frmInstall(ProcessRunner& runner, InstallWizardSettings settings = {});
    ~frmInstall() override;

    [[nodiscard]] InstallWizard& Wizard() noexcept { return wizard_; }
    [[nodiscard]] ListView& Items() noexcept { return lvItems; }

protected:
    bool OnCreate() override;
    [[nodiscard]] int DefaultButtonId() const override;
    void OnCommand(int id, int code, HWND control) override;
    void OnClose() override;
    bool OnWindowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    // InstallWizardView
    void ShowPage(int page) override;
    void Update() override;
    void SearchStatusChanged(bool now) override;
    void ShowDriveIcon(const std::wstring& root) override;
    void ItemsCleared() override;
    void ItemAdded(const FoundItem& item) override;
    void ExtractionChanged() override;
    void LetMessagesRun() override;
    void SetInUse(bool inUse) override;
    void CloseWindow() override;

    void pSetup();
    void BuildPages();
    HWND AddChild(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h,
                  int id);
    void Form_Resize();
    void OnListColumnClick(int column);
    void ChooseListItem(const ListItem& item, bool open);
    static void SetTextIfChanged(HWND control, const std::wstring& text);

    InstallDialogs dialogs_;
    InstallWizard wizard_;
    SidePicture Image2;
    WizardPanel Picture2;
    std::array<WizardPanel, InstallWizard::kPageCount> picTab;
    HWND Command1[3] = {};  // Close, Next, Back
    HWND Label4 = nullptr;
    HWND Check3[3] = {};
    HWND Check1 = nullptr;
    HWND Image1 = nullptr;
    HWND Command2 = nullptr;  // Stop
    HWND Command4 = nullptr;  // Refresh
    HWND Command3 = nullptr;  // browse
    HWND Text1 = nullptr;
    PictureText Picture1;
    PictureText Picture3;
    PictureText Picture4;
    ProgressBar ProgressBar1;
    ListView lvItems;
    cVBALSysImageList largeIcons_;
    cVBALSysImageList smallIcons_;
    UniqueIcon driveIcon_;
    int shownPage_ = -1;
    bool settingText_ = false;  // Text1 is being set from the wizard's state
};

}  // namespace ardmoor
