#include "install/install_dialogs.h"

#include "controls/common_dialog/GCommonDialog.h"

namespace ardmoor {

int InstallDialogs::Message(const std::wstring& text, const std::wstring& title, UINT type) {
    return ::MessageBoxW(owner_, text.c_str(), title.c_str(), type);
}

std::optional<std::wstring> InstallDialogs::BrowseForSetupFile() {
    GCommonDialog dialog;
    OpenFileNameArgs args;
    args.FileMustExist = true;
    args.MultiSelect = false;
    args.HideReadOnly = true;
    args.Filter = L"Supported Files|*.exe;*.zip|Executables|*.exe|Zip Archive|*.zip";
    args.FilterIndex = 1;
    args.DlgTitle = L"Open...";
    args.Owner = owner_ ? owner_ : OpenFileNameArgs::kNoOwner;
    if (!dialog.VBGetOpenFileName(args)) return std::nullopt;
    return args.FileName.substr(0, args.FileName.find(L'\0'));
}

}  // namespace ardmoor
