// The main window's side of uninstalling and removing entries: the rows the uninstall workflow
// acts on, and the window taken out of use while an uninstaller runs.
#include <utility>

#include "app/frmMain.h"
#include "app/main_commands.h"

namespace ardmoor {

UninstallWorkflow frmMain::Workflow() {
    if (!dialogs_) dialogs_ = std::make_unique<DialogUninstallPrompter>(hwnd());
    UninstallPrompter& prompter = settings_.prompter ? *settings_.prompter : *dialogs_;
    ProcessRunner& runner = settings_.runner ? *settings_.runner : systemRunner_;
    Shell& shell = settings_.shell ? *settings_.shell : systemShell_;
    return UninstallWorkflow(*this, prompter, runner, shell);
}

void frmMain::pUninstall() {
    if (!Alive() || running_) return;
    Workflow().pUninstall();
    // A refresh the run cut short runs again, so that the listing is whole.
    if (std::exchange(refreshCancelled_, false) && Alive()) pRefresh();
}

void frmMain::pRemoveItem(const std::wstring& sName, const std::wstring& sKey, bool bPrompt) {
    if (!Alive() || running_) return;
    (void)Workflow().pRemoveItem(sName, sKey, bPrompt);  // a failure was reported to the user
}

std::optional<UninstallHost::Row> frmMain::CurrentRow() {
    if (SelectedIndex_ < 1 || SelectedIndex_ > lvRemove.Count()) return std::nullopt;
    const ListItem row = lvRemove.Item(SelectedIndex_);
    return Row{row.Text(), row.Key(), row.SubItem(1)};
}

void frmMain::SetRowCommand(const std::wstring& key, const std::wstring& command) {
    if (ListItem row = lvRemove.Item(key)) row.SetSubItem(1, command);
}

void frmMain::DropRow(const std::wstring& key, Drop why) {
    const ListItem row = lvRemove.Item(key);
    if (!row) return;
    // By key: the row is the current one, wherever sorting has put it.
    const int removedAt = row.Index();
    (void)lvRemove.Remove(removedAt);
    SelectedIndex_ = removedAt > 1 ? removedAt - 1 : 1;
    if (ListItem current = lvRemove.Item(SelectedIndex_)) {
        current.SetSelected(true);
        current.EnsureVisible();
    }
    if (why == Drop::Removed) {
        SetItemCountText();
    } else {
        try {
            sBar.PanelText(2, std::to_wstring(lvRemove.Count()) + L" items... ");
        } catch (const ComponentError&) {
            // The panel is missing only if set-up failed; the count is not worth stopping for.
        }
    }
    ShowDetails(SelectedIndex_);
}

bool frmMain::CancelRefresh() {
    if (busy_ == 0) return false;
    ++refreshGeneration_;  // the refresh sees it is stale and stops
    busy_ = 0;
    lvRemove.SetVisible(true);
    return true;
}

void frmMain::BeginRun() {
    running_ = true;
    if (CancelRefresh()) refreshCancelled_ = true;
    ::EnableWindow(hwnd(), FALSE);
}

void frmMain::EndRun() {
    running_ = false;
    if (!Alive()) return;
    ::EnableWindow(hwnd(), TRUE);
    ::SetForegroundWindow(hwnd());
}

std::wstring frmMain::Title() const { return WindowTextOf(hwnd()); }

}  // namespace ardmoor
