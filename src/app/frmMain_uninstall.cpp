// The main window's side of uninstalling and removing entries: the rows the uninstall workflow
// acts on, and the window taken out of use while an uninstaller runs.
#include <utility>

#include "app/frmMain.h"
#include "app/main_commands.h"

namespace ardmoor {

namespace {
// Marks a command as under way for as long as it runs, however it ends.
class CommandScope {
public:
    explicit CommandScope(bool& flag) noexcept : flag_(flag) { flag_ = true; }
    ~CommandScope() { flag_ = false; }
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;

private:
    bool& flag_;
};
}  // namespace

UninstallWorkflow frmMain::Workflow() {
    if (!dialogs_) dialogs_ = std::make_unique<DialogUninstallPrompter>(hwnd());
    UninstallPrompter& prompter = settings_.uninstallPrompter ? *settings_.uninstallPrompter : *dialogs_;
    ProcessRunner& runner = settings_.runner ? *settings_.runner : systemRunner_;
    Shell& shell = settings_.shell ? *settings_.shell : systemShell_;
    return UninstallWorkflow(*this, prompter, runner, shell);
}

void frmMain::pUninstall() {
    // Not again while it runs or asks (a command posted meanwhile would act on a row in use).
    if (!Alive() || running_ || inCommand_) return;
    {
        CommandScope scope(inCommand_);
        Workflow().pUninstall();
    }
    // A refresh the run cut short runs again, so that the listing is whole.
    if (std::exchange(refreshCancelled_, false) && Alive()) pRefresh();
}

void frmMain::pRemoveItem(const std::wstring& sName, const std::wstring& sKey, bool bPrompt) {
    if (!Alive() || running_ || inCommand_) return;
    CommandScope scope(inCommand_);
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

void frmMain::BeginRun() {
    running_ = true;
    if (RefreshInFlight()) {
        CancelRefresh();
        refreshCancelled_ = true;
    }
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
