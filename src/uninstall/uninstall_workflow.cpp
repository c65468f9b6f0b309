#include "uninstall/uninstall_workflow.h"

#include "catalogue/arItem.h"
#include "catalogue/entry_removal.h"
#include "catalogue/file_helpers.h"
#include "catalogue/listing.h"
#include "platform/strings.h"
#include "uninstall/frmUninstallMsg.h"
#include "uninstall/mShellExecute.h"
#include "uninstall/protected_folders.h"

namespace ardmoor {

const wchar_t* const UninstallWorkflow::kInvalidEntryText =
    L"This software did not reference as valid uninstall program or path.\r\n\r\n"
    L"This is most likely just a invalid entry in your registry. However, uninstallation of the software cannot "
    L"continue without valid uninstall information.\r\n\r\n"
    L"Being that it is probably an invalid entry, would you like to remove the entry from your systems uninstall "
    L"listing?";

std::wstring UninstallWorkflow::RemoveQuestionText(const std::wstring& name) {
    return L"Are you sure you want to remove \r\n\r\n" + name + L"\r\n\r\n from you uninstall listing?";
}

std::wstring UninstallWorkflow::RemovalFailedText(const std::wstring& name, long error) {
    std::wstring reason = SystemErrorText(static_cast<unsigned long>(error));
    if (reason.empty()) reason = L"Error " + std::to_wstring(error) + L".";
    return L"The entry \"" + name + L"\" could not be removed from your uninstall listing.\r\n\r\n" + reason;
}

void UninstallWorkflow::pUninstall() {
    std::optional<UninstallHost::Row> row = host_.CurrentRow();
    if (!row) return;  // an empty list: nothing is selected
    while (row->command.empty()) {
        const int choice = prompter_.InvalidEntry(kInvalidEntryText, row->name);
        if (choice == frmUninstallMsg::kYes) {
            (void)pRemoveItem(row->name, row->key, false);  // a failure was reported there
            return;
        }
        if (choice != frmUninstallMsg::kRetry) return;
        // The entry may have been repaired meanwhile: its row shows the command it has now.
        arItem entry;
        entry.LoadValues(row->key);
        host_.SetRowCommand(row->key, UninstallColumnText(entry));
        row = host_.CurrentRow();
        if (!row) return;
    }

    // Read now: a successful uninstall takes the key with it.
    arItem entry;
    entry.LoadValues(row->key);
    const std::wstring folder = entry.InstallLocation;

    host_.BeginRun();
    std::wstring command = row->command;
    // A command that could not be started was not waited for; the entry is still there, so the
    // check below offers to remove it by hand.
    const Status ran = ShellAndWait(runner_, command, SW_SHOWNORMAL);
    host_.EndRun();
    if (!host_.Alive() || ran.error() == ERROR_CANCELLED) return;  // the program is closing

    if (pKeyExists(row->key)) {
        if (prompter_.VerifyDeclined(row->name)) return;
        (void)pRemoveItem(row->name, row->key, false);  // a failure was reported there
        if (!folder.empty()) pCleanLocation(folder);
        return;
    }
    host_.DropRow(row->key, UninstallHost::Drop::Uninstalled);
    if (!folder.empty()) pCleanLocation(folder);
}

bool UninstallWorkflow::pRemoveItem(const std::wstring& sName, const std::wstring& sKey, bool bPrompt) {
    if (bPrompt && prompter_.Message(RemoveQuestionText(sName), host_.Title(), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    if (const Status removed = RemoveEntryKey(sKey); !removed) {
        prompter_.Message(RemovalFailedText(sName, removed.error()), host_.Title(), MB_OK | MB_ICONERROR);
        return false;
    }
    host_.DropRow(sKey, UninstallHost::Drop::Removed);
    return true;
}

void UninstallWorkflow::pCleanLocation(const std::wstring& szLocation) {
    const std::wstring folder = RemoveBackslash(szLocation);
    if (folder.empty() || !FileExists(folder) || IsProtectedFolder(folder)) return;
    if (prompter_.CleanupDeclined(folder)) return;
    // The shell asks for confirmation itself and reports its own errors; a cancelled or failed
    // deletion needs no word of ours.
    (void)shell_.Recycle(folder, nullptr);
}

}  // namespace ardmoor
