#include "print/printers.h"

#include <windows.h>
#include <winspool.h>

namespace ardmoor {

std::vector<PrinterInfo> SystemPrinters() {
    constexpr DWORD kFlags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    std::vector<PrinterInfo> printers;
    DWORD needed = 0, count = 0;
    std::vector<BYTE> buffer;
    // The list may grow between the two calls: ask again while the buffer is too small.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (::EnumPrintersW(kFlags, nullptr, 2, buffer.empty() ? nullptr : buffer.data(),
                            static_cast<DWORD>(buffer.size()), &needed, &count))
            break;
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) return printers;
        buffer.assign(needed, 0);
        count = 0;
    }
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count && !buffer.empty(); ++i)
        printers.push_back({info[i].pPrinterName ? info[i].pPrinterName : L"",
                            info[i].pPortName ? info[i].pPortName : L""});
    return printers;
}

PrinterInfo SystemDefaultPrinter() {
    DWORD size = 0;
    ::GetDefaultPrinterW(nullptr, &size);
    if (size == 0) return {};
    std::wstring name(size, L'\0');
    if (!::GetDefaultPrinterW(name.data(), &size)) return {};
    name.resize(name.find(L'\0') == std::wstring::npos ? name.size() : name.find(L'\0'));
    for (const PrinterInfo& printer : SystemPrinters())
        if (printer.deviceName == name) return printer;
    return {name, L""};
}

}  // namespace ardmoor
