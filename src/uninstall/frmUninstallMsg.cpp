#include "uninstall/frmUninstallMsg.h"

namespace ardmoor {

frmUninstallMsg::frmUninstallMsg() : MessageDialog(L"Uninstall Software") {}

void frmUninstallMsg::Form_Load() {
    Choice = kNo;
    SetHeader(EntryName, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS, L"MS Sans Serif");
    SetMessageText(MessageText);
    SetIcon(IDI_WARNING);
    // No is the default: Enter never removes an entry by accident.
    SetButtons({{IDYES, L"&Yes"}, {IDNO, L"&No"}, {IDRETRY, L"&Retry"}}, IDNO);
}

void frmUninstallMsg::OnButton(int id) {
    if (id == IDYES) Choice = kYes;
    if (id == IDNO) Choice = kNo;
    if (id == IDRETRY) Choice = kRetry;
}

}  // namespace ardmoor
