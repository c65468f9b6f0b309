#pragma once
// The printers of the system, as the print dialog lists them.
#include <string>
#include <vector>

namespace ardmoor {

struct PrinterInfo {
    std::wstring deviceName;  // empty: no printer
    std::wstring port;
};

// Every printer of the system (local and connected), in the system's order; empty when there are
// none or the spooler cannot be asked.
std::vector<PrinterInfo> SystemPrinters();
// The system's default printer; an empty device name when there is none.
PrinterInfo SystemDefaultPrinter();

}  // namespace ardmoor
