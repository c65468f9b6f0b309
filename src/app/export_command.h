#pragma once
// The main window's "Export listing..." command: the save dialog that picks the file and the
// format, the export itself on a worker thread while the window is out of use, and the message
// when it fails.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/export_formats.h"

namespace ardmoor {

struct ExportChoice {
    std::wstring file;
    ExportFormat format = ExportFormat::Csv;
};

// Asks where to export and in which format, with the system's save dialog owned by `owner`,
// offering the three formats by file type. The format is the one the typed extension names, else
// the chosen file type's. Nothing when the user cancels.
std::optional<ExportChoice> AskExportFile(HWND owner);

// The heading of an HTML export: this computer's name and the current date and time.
ExportHeading ExportHeadingNow();

// The message box text for a failed export (empty for an export the user stopped).
std::wstring ExportFailureText(const ExportFileResult& result);

// Exports to the chosen file on a worker thread while `owner` is disabled (its messages keep
// running, so it paints). `alive` turning false (the window closed meanwhile) stops the export: a
// file not yet in place is not written.
ExportFileResult ExportChosenFile(HWND owner, const std::vector<std::wstring>& roots, const ExportChoice& choice,
                                  const std::function<bool()>& alive);

}  // namespace ardmoor
