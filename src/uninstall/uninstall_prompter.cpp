#include "uninstall/uninstall_prompter.h"

#include "uninstall/frmCleanup.h"
#include "uninstall/frmUninstallMsg.h"
#include "uninstall/frmVerify.h"

namespace ardmoor {

int DialogUninstallPrompter::Message(const std::wstring& text, const std::wstring& title, UINT type) {
    return ::MessageBoxW(owner_, text.c_str(), title.c_str(), type);
}

// A dialog that cannot be shown answers as its close box would.
int DialogUninstallPrompter::InvalidEntry(const std::wstring& messageText, const std::wstring& entryName) {
    frmUninstallMsg dialog;
    dialog.MessageText = messageText;
    dialog.EntryName = entryName;
    if (!dialog.ShowModal(owner_)) return frmUninstallMsg::kNo;
    return dialog.Choice;
}

bool DialogUninstallPrompter::VerifyDeclined(const std::wstring& entryName) {
    frmVerify dialog;
    dialog.EntryName = entryName;
    if (!dialog.ShowModal(owner_)) return true;
    return dialog.Declined;
}

bool DialogUninstallPrompter::CleanupDeclined(const std::wstring& folder) {
    frmCleanup dialog;
    dialog.Folder = folder;
    if (!dialog.ShowModal(owner_)) return true;
    return dialog.Declined;
}

}  // namespace ardmoor
