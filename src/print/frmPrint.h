#pragma once
// The print dialog: the system's printers with the current one named in a header, three levels
// of detail, Print and Cancel. The window only shows a PrintDialogState and passes clicks to it.
#include <windows.h>

#include <vector>

#include "platform/modal_window.h"
#include "platform/unique_handle.h"
#include "print/print_dialog_state.h"

namespace ardmoor {

// NOLINTNEXTLINE(readability-identifier-naming): the form keeps its historical name.
class frmPrint : public ModalWindow {
public:
    enum ControlIds : int {
        kIdPrinterLabel = 401,
        kIdCombo1 = 402,     // the printers
        kIdPicture1 = 403,   // the header strip: "<device> on <port>"
        kIdText1 = 404,      // the explanation
        kIdOption1 = 405,    // + 0, 1, 2: minimal, normal, advanced
        kIdPicture2 = 408,   // the button strip's etched line
        kIdPrint = IDOK,     // "&Print", the default button
        kIdCancel = IDCANCEL,
    };

    static constexpr const wchar_t* kExplanation =
        L"There are 3 options for printing you uninstall listing...\r\n\r\n"
        L"1) Minimal Printing prints only the names of entry...\r\n"
        L"2) Normal printing prints the names and the uninstall paths for each entry...\r\n"
        L"3) Advanced printing prints the names, the uninstall paths and the associated icon for each entry...";

    // `current` is the program's current printer; the dialog may replace it (see PrintDialogState).
    frmPrint(std::vector<PrinterInfo> printers, PrinterInfo& current);

    // The answer, once ShowModal has returned.
    [[nodiscard]] bool Cancelled() const noexcept { return state_.Cancelled; }
    [[nodiscard]] int PrintLevel() const noexcept { return state_.PrintLevel; }

protected:
    bool OnCreate() override;
    int DefaultButtonId() const override { return kIdPrint; }
    void OnCommand(int id, int code, HWND control) override;
    bool OnWindowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void ShowHeader();
    [[nodiscard]] int SelectedOption() const;

    PrintDialogState state_;
    UniqueFont headerFont_;
    HWND combo_ = nullptr;
    HWND header_ = nullptr;
};

}  // namespace ardmoor
