#include "uninstall/frmVerify.h"

namespace ardmoor {

const wchar_t* const frmVerify::kText =
    L"The uninstallation process for the entry above was either cancelled or did not complete because the "
    L"reference to the program in your listing of installed software still exists.\r\n\r\n"
    L"If you know that the program was removed successfully from your computer, you may remove the entry "
    L"manually.\r\n\r\n"
    L"Would you like to manually remove this entry now?";

frmVerify::frmVerify() : MessageDialog(L"Verify...") {}

void frmVerify::Form_Load() {
    Declined = true;
    SetHeader(EntryName, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS, L"Tahoma");
    SetMessageText(kText);
    SetIcon(IDI_QUESTION);
    SetButtons({{IDYES, L"&Yes"}, {IDNO, L"&No"}}, IDNO);
}

void frmVerify::OnButton(int id) { Declined = id != IDYES; }

}  // namespace ardmoor
