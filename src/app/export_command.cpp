#include "app/export_command.h"

#include <commdlg.h>

#include <atomic>
#include <thread>

#include "app/main_commands.h"
#include "controls/common_dialog/GCommonDialog.h"
#include "platform/message_pump.h"
#include "platform/strings.h"
#include "platform/unique_handle.h"

namespace ardmoor {

namespace {

// The file types of the save dialog, in filter order (nFilterIndex is 1-based).
constexpr ExportFormat kFilterFormats[] = {ExportFormat::Csv, ExportFormat::Json, ExportFormat::Html};
constexpr const wchar_t* kFilter =
    L"CSV file (*.csv)|*.csv|JSON file (*.json)|*.json|Web page (*.html; *.htm)|*.html;*.htm";
constexpr const wchar_t* kExtensions[] = {L"csv", L"json", L"html"};

}  // namespace

std::optional<ExportChoice> AskExportFile(HWND owner) {
    static int32_t lastFilter = 1;  // the file type chosen last time, for this run of the program
    GCommonDialog dialog;
    SaveFileNameArgs args;
    args.FileName = std::wstring(L"Installed programs.") + kExtensions[lastFilter - 1];
    args.Filter = kFilter;
    args.FilterIndex = lastFilter;
    args.DlgTitle = L"Export listing";
    args.DefaultExt = kExtensions[lastFilter - 1];  // the dialog follows the chosen file type from there
    args.HideReadOnly = true;
    args.OverWritePrompt = true;
    args.Owner = owner ? owner : SaveFileNameArgs::kNoOwner;
    args.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_ENABLESIZING;
    if (!dialog.VBGetSaveFileName(args)) return std::nullopt;
    if (args.FilterIndex >= 1 && args.FilterIndex <= static_cast<int32_t>(std::size(kFilterFormats)))
        lastFilter = args.FilterIndex;
    ExportChoice choice;
    choice.file = args.FileName.substr(0, args.FileName.find(L'\0'));
    const auto typed = FormatForFile(choice.file);
    choice.format = typed ? *typed : kFilterFormats[lastFilter - 1];
    return choice;
}

ExportHeading ExportHeadingNow() {
    ExportHeading heading;
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = L"";
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (::GetComputerNameW(name, &size)) heading.computer.assign(name, size);
    heading.when = CurrentDateTimeText();
    return heading;
}

std::wstring ExportFailureText(const ExportFileResult& result) {
    if (result.ok()) return {};
    if (result.failure == ExportFileResult::Failure::Read) {
        if (result.error == kExportStopped) return {};
        return L"The listing could not be exported: none of the uninstall keys can be read.";
    }
    std::wstring reason = SystemErrorText(static_cast<unsigned long>(result.error));
    if (reason.empty()) reason = L"Error " + std::to_wstring(result.error) + L".";
    return L"The listing could not be exported to \"" + result.file + L"\".\r\n\r\n" + reason;
}

ExportFileResult ExportChosenFile(HWND owner, const std::vector<std::wstring>& roots, const ExportChoice& choice,
                                  const std::function<bool()>& alive) {
    const ExportHeading heading = ExportHeadingNow();
    UniqueKernelHandle finished(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!finished) {
        ExportFileResult failed;
        failed.failure = ExportFileResult::Failure::Write;
        failed.error = static_cast<long>(::GetLastError());
        failed.file = choice.file;
        return failed;
    }
    std::atomic<bool> stop{false};
    ExportFileResult result;
    // Reading thousands of entries takes a while: the window stays painted meanwhile, but out of
    // use, so that nothing else starts until the file is written.
    std::thread worker([&] {
        try {
            result = ExportToFile(roots, choice.file, choice.format, heading, &stop);
        } catch (...) {
            result.failure = ExportFileResult::Failure::Write;
            result.error = ERROR_NOT_ENOUGH_MEMORY;
            result.file = choice.file;
        }
        ::SetEvent(finished.get());
    });
    const bool wasEnabled = ::IsWindowEnabled(owner) != FALSE;
    if (wasEnabled) ::EnableWindow(owner, FALSE);
    HANDLE wait = finished.get();
    for (;;) {
        const DWORD woke = ::MsgWaitForMultipleObjectsEx(1, &wait, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0) break;
        if (woke != WAIT_OBJECT_0 + 1 || !PumpPendingMessages() || !alive()) {
            // The window closed meanwhile: the export stops, and a file not yet in place never is.
            stop = true;
            ::WaitForSingleObject(wait, INFINITE);
            break;
        }
    }
    worker.join();
    if (wasEnabled && ::IsWindow(owner)) ::EnableWindow(owner, TRUE);
    return result;
}

}  // namespace ardmoor
