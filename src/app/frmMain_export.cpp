// The main window's "Export listing..." command (export_command.h does the work).
#include "app/export_command.h"
#include "app/frmMain.h"

namespace ardmoor {

void frmMain::pExport() {
    if (!Alive()) return;
    const std::optional<ExportChoice> choice = AskExportFile(hwnd());
    if (!choice || !Alive()) return;
    MessageBoxPrompter prompter(hwnd());
    const int wasBusy = busy_;
    busy_ = 1;  // the wait pointer over the window while the file is written
    (void)ExportChosenFile(hwnd(), settings_.uninstallRoots, *choice, prompter, [this] { return Alive(); });
    busy_ = wasBusy;
}

}  // namespace ardmoor
