#include "print/print_dialog_state.h"

namespace ardmoor {

PrintDialogState::PrintDialogState(std::vector<PrinterInfo> printers, PrinterInfo& current)
    : printers_(std::move(printers)), current_(current) {}

void PrintDialogState::Load() {
    Cancelled = true;
    items_.clear();
    selected_ = -1;
    const std::wstring currentName = current_.deviceName;
    for (const PrinterInfo& printer : printers_) {
        items_.push_back(printer.deviceName);
        if (!currentName.empty() && printer.deviceName == currentName) {
            selected_ = static_cast<int>(items_.size()) - 1;
            Choose(selected_);
        }
    }
}

void PrintDialogState::Choose(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) return;
    selected_ = index;
    for (const PrinterInfo& printer : printers_) {
        if (printer.deviceName == items_[static_cast<size_t>(index)]) {
            current_ = printer;
            return;
        }
    }
}

std::wstring PrintDialogState::HeaderText() const {
    if (current_.deviceName.empty()) return {};
    return current_.deviceName + L" on " + current_.port;
}

void PrintDialogState::Print(int option) {
    Cancelled = false;
    PrintLevel = option == 0 ? kMinimal : option == 1 ? kNormal : kAdvanced;
}

}  // namespace ardmoor
