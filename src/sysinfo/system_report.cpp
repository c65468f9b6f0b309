#include "sysinfo/system_report.h"

#include <cwchar>

#include "catalogue/registry.h"
#include "platform/strings.h"

namespace ardmoor {

namespace {

std::wstring LocaleText(const wchar_t* locale, LCTYPE type, const wchar_t* fallback) {
    wchar_t buffer[16];
    const int n = ::GetLocaleInfoEx(locale, type, buffer, 16);
    return n > 1 ? std::wstring(buffer, static_cast<size_t>(n - 1)) : std::wstring(fallback);
}

// LOCALE_SGROUPING ("3;0", "3;2;0", "3") in the form NUMBERFMT wants (3, 32, 30).
UINT GroupingValue(const std::wstring& grouping) {
    std::wstring digits;
    for (wchar_t c : grouping)
        if (c >= L'0' && c <= L'9') digits += c;
    if (EndsWith(grouping, L";0"))
        digits.pop_back();
    else
        digits += L'0';
    UINT value = 0;
    for (wchar_t c : digits) value = value * 10 + static_cast<UINT>(c - L'0');
    return value;
}

// `digits` is a plain number ("1536", "37.25"), shown with the locale's symbols.
std::wstring LocaleNumber(const std::wstring& digits, UINT decimals, bool grouping, const wchar_t* locale) {
    std::wstring decimalSymbol = LocaleText(locale, LOCALE_SDECIMAL, L".");
    std::wstring thousandSymbol = LocaleText(locale, LOCALE_STHOUSAND, L",");
    NUMBERFMTW format{};
    format.NumDigits = decimals;
    format.LeadingZero = 1;
    format.Grouping = grouping ? GroupingValue(LocaleText(locale, LOCALE_SGROUPING, L"3;0")) : 0;
    format.lpDecimalSep = decimalSymbol.data();
    format.lpThousandSep = thousandSymbol.data();
    format.NegativeOrder = 1;
    wchar_t out[96];
    const int n = ::GetNumberFormatEx(locale, 0, digits.c_str(), &format, out, 96);
    return n > 1 ? std::wstring(out, static_cast<size_t>(n - 1)) : digits;
}

std::wstring ValueText(const Result<RegKey>& key, const wchar_t* name) {
    if (!key) return {};
    const Result<RegValue> value = key->Value(name);
    return value ? value->Text() : std::wstring();
}

}  // namespace

RowGroup GroupOf(RowKind kind) {
    switch (kind) {
        case RowKind::Drive: return RowGroup::Drives;
        case RowKind::Memory: return RowGroup::Memory;
        case RowKind::User: return RowGroup::User;
        case RowKind::OperatingSystem:
        case RowKind::InternetExplorer: return RowGroup::OperatingSystem;
        default: return RowGroup::General;
    }
}

const wchar_t* GroupCaption(RowGroup group) {
    switch (group) {
        case RowGroup::Drives: return L"Drives";
        case RowGroup::Memory: return L"Memory Information";
        case RowGroup::User: return L"User Information";
        case RowGroup::OperatingSystem: return L"Operating System";
        default: return L"General";
    }
}

std::wstring FormatBytes(uint64_t bytes, bool withBytes, const wchar_t* locale) {
    if (bytes < 1024) return LocaleNumber(std::to_wstring(bytes), 0, true, locale) + L" bytes";
    constexpr double K = 1024.0, M = 1024.0 * 1024.0;
    const double v = static_cast<double>(bytes);
    const double x = v / K;
    double shown = 0;
    const wchar_t* unit = L"";
    if (x < 1e3) {
        shown = x, unit = L" KB";
    } else if (x < 1e6) {
        shown = v / M, unit = L" MB";
    } else if (x < 1e9) {
        shown = v / M / K, unit = L" GB";
    } else if (x < 1e12) {
        shown = v / M / M, unit = L" TB";
    } else {
        shown = v / M / M / K, unit = L" PB";
    }
    wchar_t digits[64];
    std::swprintf(digits, 64, L"%.2f", shown);
    // "0.00": two decimals and no digit grouping, whatever the size.
    std::wstring text = LocaleNumber(digits, 2, false, locale) + unit;
    if (withBytes) text += L" (" + LocaleNumber(std::to_wstring(bytes), 0, true, locale) + L" bytes)";
    return text;
}

std::wstring KeyboardTypeName(int type) {
    switch (type) {
        case 0: return L"Unknown Keyboard";
        case 1: return L"IBM PC/XT or compatible 83-key keyboard";
        case 2: return L"Olivetti \"ICO\" 102-key keyboard";
        case 3: return L"IBM PC/AT 84-key or similar keyboard";
        case 4: return L"IBM enhanced 101/102-key or Microsoft Natural PS/2 Keyboard";
        case 5: return L"Nokia 1050 and similar keyboards";
        case 6: return L"Nokia 9140 and similar keyboards";
        case 7: return L"Unknown Keyboard";
        default: return {};
    }
}

std::wstring WindowsVersionName(const OsVersion& v) {
    switch (v.platformId) {
        case VER_PLATFORM_WIN32s: return L"32-Bit Windows";
        case VER_PLATFORM_WIN32_WINDOWS:
            switch (v.minor) {
                case 0: return L"Windows 95";
                case 10: return L"Windows 98";
                case 90: return L"Windows Millinium";
                default: return {};
            }
        case VER_PLATFORM_WIN32_NT: break;
        default: return {};
    }
    const bool server = v.productType != VER_NT_WORKSTATION;
    if (v.major < 5) return L"Windows NT";
    if (v.major == 5) {
        switch (v.minor) {
            case 0: return L"Windows 2K";
            case 1: return L"Windows XP";
            case 2: return server ? L"Windows Server 2003" : L"Windows XP";  // XP x64 is 5.2
            default: return {};
        }
    }
    if (v.major == 6) {
        switch (v.minor) {
            case 0: return server ? L"Windows Server 2008" : L"Windows Vista";
            case 1: return server ? L"Windows Server 2008 R2" : L"Windows 7";
            case 2: return server ? L"Windows Server 2012" : L"Windows 8";
            case 3: return server ? L"Windows Server 2012 R2" : L"Windows 8.1";
            default: return {};
        }
    }
    if (v.major == 10 && v.minor == 0) {
        if (!server) return v.build >= 22000 ? L"Windows 11" : L"Windows 10";
        if (v.build >= 26100) return L"Windows Server 2025";
        if (v.build >= 20348) return L"Windows Server 2022";
        if (v.build >= 17763) return L"Windows Server 2019";
        return L"Windows Server 2016";
    }
    return {};
}

SystemReport::SystemReport(SystemFacts& facts, ReportKeys keys) : facts_(facts), keys_(std::move(keys)) {}

std::vector<ReportRow> SystemReport::GetDrives() {
    std::vector<ReportRow> rows;
    for (const std::wstring& root : facts_.DriveRoots()) {
        if (facts_.DriveType(root) != DRIVE_FIXED) continue;
        const DiskSpace space = facts_.FreeSpace(root);
        std::wstring name = ToUpper(facts_.VolumeLabel(root) + L" (" + root.substr(0, 2) + L")");
        std::wstring value = FormatBytes(space.free, false) + L" free space (" + FormatBytes(space.total, false) +
                             L" capacity)";
        rows.push_back({std::move(name), std::move(value), RowKind::Drive});
    }
    return rows;
}

void SystemReport::GetUserInfo(std::wstring& szUser, std::wstring& szComputer) {
    szUser = facts_.UserName();
    szComputer = facts_.ComputerName();
}

MemoryFigures SystemReport::GetMemoryInfo() { return facts_.Memory(); }

VersionInfo SystemReport::GetVersionInfo() {
    const OsVersion os = facts_.Version();
    return {os.major, os.minor, os.build, os.servicePack, WindowsVersionName(os)};
}

std::wstring SystemReport::GetKeyboardInfo() { return KeyboardTypeName(facts_.KeyboardType()); }

std::wstring SystemReport::GetScreenInfo() {
    const ScreenMode s = facts_.Screen();
    return std::to_wstring(s.width) + L"x" + std::to_wstring(s.height) + L" with " + std::to_wstring(s.bitsPerPixel) +
           L" bpp at " + std::to_wstring(s.refreshRate) + L"hz refresh rate";
}

std::wstring SystemReport::GetIP() { return facts_.IPv4Address(); }

std::vector<ReportRow> SystemReport::pWindows() {
    std::vector<ReportRow> rows = GetDrives();
    auto add = [&rows](RowKind kind, const wchar_t* name, std::wstring value) {
        rows.push_back({name, std::move(value), kind});
    };

    const MemoryFigures memory = GetMemoryInfo();
    add(RowKind::Memory, L"Total Physical Memory", FormatBytes(memory.totalPhysical, true));
    add(RowKind::Memory, L"Available Physical Memory", FormatBytes(memory.availablePhysical, true));
    add(RowKind::Memory, L"Total Page File Memory", FormatBytes(memory.totalPageFile, true));
    add(RowKind::Memory, L"Available Page File Memory", FormatBytes(memory.availablePageFile, true));
    add(RowKind::Memory, L"Total Virtual Memory", FormatBytes(memory.totalVirtual, true));
    add(RowKind::Memory, L"Available Virtual Memory", FormatBytes(memory.availableVirtual, true));
    add(RowKind::Memory, L"Memory Load", std::to_wstring(memory.load) + L"%");

    std::wstring user, computer;
    GetUserInfo(user, computer);
    add(RowKind::User, L"User Name", user);
    add(RowKind::User, L"Computer Name", computer);

    const VersionInfo version = GetVersionInfo();
    add(RowKind::OperatingSystem, L"Version", version.name);
    add(RowKind::OperatingSystem, L"Major", std::to_wstring(version.major));
    add(RowKind::OperatingSystem, L"Minor", std::to_wstring(version.minor));
    add(RowKind::OperatingSystem, L"Build", std::to_wstring(version.build));
    add(RowKind::OperatingSystem, L"Service Pack", version.servicePack);
    // Windows 95 to XP keep the product id here; later systems only under Windows NT.
    std::wstring productId = ValueText(RegKey::Open(keys_.currentVersion), L"ProductId");
    if (productId.empty()) productId = ValueText(RegKey::Open(keys_.ntCurrentVersion), L"ProductId");
    add(RowKind::OperatingSystem, L"Product-ID", productId);

    // Internet Explorer 10 and 11 keep "9.10..."/"9.11..." in Version and their own in svcVersion.
    const Result<RegKey> browser = RegKey::Open(keys_.internetExplorer);
    std::wstring browserVersion = ValueText(browser, L"svcVersion");
    if (browserVersion.empty()) browserVersion = ValueText(browser, L"Version");
    add(RowKind::InternetExplorer, L"Internet Explorer Version", browserVersion);

    const Result<RegKey> processor = RegKey::Open(keys_.processor);
    add(RowKind::Processor, L"Processor", Trim(ValueText(processor, L"ProcessorNameString")));
    const std::wstring speed = Trim(ValueText(processor, L"~MHz"));
    add(RowKind::Processor, L"Processor Speed", speed.empty() ? std::wstring() : speed + L" MHz");

    add(RowKind::Keyboard, L"Keyboard", GetKeyboardInfo());
    add(RowKind::Screen, L"Screen Resolution", GetScreenInfo());
    add(RowKind::Network, L"IP Address", GetIP());
    return rows;
}

}  // namespace ardmoor
