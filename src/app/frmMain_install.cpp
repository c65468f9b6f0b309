// The main window's install command: the install wizard, then the offer to refresh the listing
// so that newly installed software shows.
#include "app/frmMain.h"
#include "install/frmInstall.h"

namespace ardmoor {

namespace {
const wchar_t* const kRefreshQuestion =
    L"If you have successfully installed new software, you will need to refresh\r\n"
    L"your listing if you want to display the new item.\r\n"
    L"\r\n"
    L"Would you like to refresh the listing now?";
}  // namespace

void frmMain::pInstall() {
    if (!Alive() || running_) return;
    ProcessRunner& runner = settings_.runner ? *settings_.runner : systemRunner_;
    InstallWizardSettings wizardSettings;
    wizardSettings.optionsRoot = settings_.optionsRoot;
    bool shown = false;
    {
        frmInstall wizard(runner, std::move(wizardSettings));
        shown = wizard.ShowModal(hwnd());  // the main window takes no input meanwhile
    }
    if (!Alive()) return;
    // Asked however the wizard was closed.
    if (!shown) return;
    if (!dialogs_) dialogs_ = std::make_unique<DialogUninstallPrompter>(hwnd());
    Prompter& prompter = settings_.prompter ? *settings_.prompter : *dialogs_;
    if (prompter.Message(kRefreshQuestion, L"Install Software", MB_YESNO | MB_ICONQUESTION) == IDYES) pRefresh();
}

}  // namespace ardmoor
