#pragma once
// The install wizard's real questions: message boxes owned by the wizard, and the open-file dialog
// of the browse button.
#include <windows.h>

#include "install/install_wizard.h"

namespace ardmoor {

class InstallDialogs : public InstallPrompter {
public:
    // The owner may be set once the wizard's window exists.
    void SetOwner(HWND owner) noexcept { owner_ = owner; }

    int Message(const std::wstring& text, const std::wstring& title, UINT type) override;
    // "Open..." with the setup programs and zip archives filter; the file must exist.
    std::optional<std::wstring> BrowseForSetupFile() override;

private:
    HWND owner_ = nullptr;
};

}  // namespace ardmoor
