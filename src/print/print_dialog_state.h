#pragma once
// The print dialog apart from its window: the printer list with the current printer selected, the
// header that names it, and the answer (cancelled, or print at a level).
#include <string>
#include <vector>

#include "print/printers.h"

namespace ardmoor {

class PrintDialogState {
public:
    // Levels of detail, as the dialog's options list them.
    static constexpr int kMinimal = 0;
    static constexpr int kNormal = 1;
    static constexpr int kAdvanced = 2;

    // `current` is the program's current printer: choosing a printer replaces it at once, and it
    // stays chosen when the dialog is then cancelled.
    PrintDialogState(std::vector<PrinterInfo> printers, PrinterInfo& current);

    // Fills the list in the system's order; each item named like the current printer is selected
    // as it is added, which chooses it.
    void Load();
    [[nodiscard]] const std::vector<std::wstring>& Items() const noexcept { return items_; }
    // 0-based; -1 when nothing is selected.
    [[nodiscard]] int Selected() const noexcept { return selected_; }

    // Item `index` chosen in the list: the first printer of that name becomes current (so of two
    // printers with one name, the first is always the one used). Out of range: nothing changes.
    void Choose(int index);

    // "<device> on <port>"; empty without a current printer.
    [[nodiscard]] std::wstring HeaderText() const;
    [[nodiscard]] const PrinterInfo& Current() const noexcept { return current_; }

    // The buttons. `option` is the selected option button: 0 minimal, 1 normal, else advanced.
    void Print(int option);
    void Cancel() noexcept { Cancelled = true; }

    // The answer, read after the dialog has closed. Closing it any other way leaves it cancelled.
    bool Cancelled = true;
    int PrintLevel = kNormal;  // meaningful only when not cancelled

private:
    std::vector<PrinterInfo> printers_;
    PrinterInfo& current_;
    std::vector<std::wstring> items_;
    int selected_ = -1;
};

}  // namespace ardmoor
