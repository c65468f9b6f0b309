#include "uninstall/frmCleanup.h"

namespace ardmoor {

frmCleanup::frmCleanup() : MessageDialog(L"Folder cleanup") {}

std::wstring frmCleanup::TextFor(const std::wstring& folder) {
    return L"The uninstallation process has completed. However, there was a reference to above folder on your "
           L"computer where the files were installed.\r\n\r\n"
           L"Sometimes residual files are left behind after a program has been uninstalled from your computer.\r\n\r\n"
           L"Would you like to remove all files and folders that may have been left in the " +
           folder + L" folder.";
}

void frmCleanup::Form_Load() {
    Declined = true;
    // A long path keeps its last part: the ellipsis goes in the middle.
    SetHeader(Folder, DT_SINGLELINE | DT_VCENTER | DT_PATH_ELLIPSIS, L"MS Sans Serif");
    SetMessageText(TextFor(Folder));
    SetIcon(IDI_QUESTION);
    SetButtons({{IDYES, L"&Yes"}, {IDNO, L"&No"}}, IDNO);
}

void frmCleanup::OnButton(int id) { Declined = id != IDYES; }

}  // namespace ardmoor
