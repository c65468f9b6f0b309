// The main window's "Export listing..." command (export_command.h does the work).
#include "app/app_info.h"
#include "app/export_command.h"
#include "app/frmMain.h"
#include "platform/prompter.h"

namespace ardmoor {

void frmMain::pExport() {
    if (!Alive()) return;
    const std::optional<ExportChoice> choice = AskExportFile(hwnd());
    if (!choice || !Alive()) return;
    exporting_ = true;
    ExportFileResult result;
    try {
        result = ExportChosenFile(hwnd(), settings_.uninstallRoots, *choice, [this] { return Alive(); });
    } catch (...) {
        exporting_ = false;
        throw;
    }
    exporting_ = false;
    // A failure says so, naming the file and the system's reason.
    if (const std::wstring text = ExportFailureText(result); !text.empty() && Alive())
        MessageBoxPrompter(hwnd()).Message(text, kAppTitle, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace ardmoor
