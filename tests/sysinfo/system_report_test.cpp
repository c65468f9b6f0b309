// The report's rows, from the real system and registry; values this machine cannot produce (a
// CD drive, an old keyboard, another Windows version) are fed in through ScriptedFacts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>

#include "sysinfo/system_report.h"
#include "test_support.h"

using namespace ardmoor;

namespace {

struct ScriptedDrive {
    std::wstring root;
    UINT type;
    std::wstring label;
    DiskSpace space;
};

// The real system with its drives replaced, and its keyboard or version when set.
class ScriptedFacts : public LiveSystemFacts {
public:
    std::vector<ScriptedDrive> drives;
    std::optional<int> keyboardType;
    std::optional<OsVersion> version;

    std::vector<std::wstring> DriveRoots() override {
        std::vector<std::wstring> roots;
        for (const auto& d : drives) roots.push_back(d.root);
        return roots;
    }
    UINT DriveType(const std::wstring& root) override { return Find(root).type; }
    DiskSpace FreeSpace(const std::wstring& root) override { return Find(root).space; }
    std::wstring VolumeLabel(const std::wstring& root) override { return Find(root).label; }
    int KeyboardType() override { return keyboardType.value_or(LiveSystemFacts::KeyboardType()); }
    OsVersion Version() override { return version.value_or(LiveSystemFacts::Version()); }

private:
    const ScriptedDrive& Find(const std::wstring& root) const {
        return *std::find_if(drives.begin(), drives.end(), [&](const auto& d) { return d.root == root; });
    }
};

const ReportRow* RowNamed(const std::vector<ReportRow>& rows, const std::wstring& name) {
    auto it = std::find_if(rows.begin(), rows.end(), [&](const ReportRow& r) { return r.name == name; });
    return it == rows.end() ? nullptr : &*it;
}

}  // namespace

TEST(FormatBytes, EveryTierAtItsBoundariesWithTheExactCountOnRequest) {
    const struct {
        uint64_t bytes;
        const wchar_t* plain;
        const wchar_t* withBytes;
    } cases[] = {
        {0, L"0 bytes", L"0 bytes"},
        {1023, L"1,023 bytes", L"1,023 bytes"},
        {1024, L"1.00 KB", L"1.00 KB (1,024 bytes)"},
        {1536, L"1.50 KB", L"1.50 KB (1,536 bytes)"},
        {1024000, L"0.98 MB", L"0.98 MB (1,024,000 bytes)"},  // 1,000 KB is the MB tier
        {1024000000, L"0.95 GB", L"0.95 GB (1,024,000,000 bytes)"},
        {13250000000, L"12.34 GB", L"12.34 GB (13,250,000,000 bytes)"},
        {40000000000, L"37.25 GB", L"37.25 GB (40,000,000,000 bytes)"},
        {1024000000000, L"0.93 TB", L"0.93 TB (1,024,000,000,000 bytes)"},
        {1024000000000000, L"0.91 PB", L"0.91 PB (1,024,000,000,000,000 bytes)"},
        {UINT64_MAX, L"16384.00 PB", L"16384.00 PB (18,446,744,073,709,551,615 bytes)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatBytes(c.bytes, false, L"en-US"), c.plain) << c.bytes;
        EXPECT_EQ(FormatBytes(c.bytes, true, L"en-US"), c.withBytes) << c.bytes;
    }
    // The locale's own symbols.
    EXPECT_EQ(FormatBytes(1023, false, L"de-DE"), L"1.023 bytes");
    EXPECT_EQ(FormatBytes(40000000000, true, L"de-DE"), L"37,25 GB (40.000.000.000 bytes)");
}

TEST(SystemReport, KeyboardAndVersionNamesForValuesThisMachineDoesNotHave) {
    // Wine reports keyboard type 4 and one Windows version: the others are fed in.
    ScriptedFacts facts;
    SystemReport report(facts);
    // The names are the table's; what is checked is where it starts and ends.
    const std::pair<int, const wchar_t*> keyboards[] = {
        {0, L"Unknown Keyboard"}, {1, L"IBM PC/XT or compatible 83-key keyboard"},
        {7, L"Unknown Keyboard"}, {8, L""}, {-1, L""}, {81, L""}};
    for (const auto& [type, name] : keyboards) {
        facts.keyboardType = type;
        EXPECT_EQ(report.GetKeyboardInfo(), name) << type;
    }

    constexpr uint8_t W = VER_NT_WORKSTATION, S = VER_NT_SERVER, DC = VER_NT_DOMAIN_CONTROLLER;
    const struct {
        uint32_t platform, major, minor, build;
        uint8_t type;
        const wchar_t* name;
    } versions[] = {
        {0, 3, 10, 0, W, L"32-Bit Windows"},      {1, 4, 0, 950, W, L"Windows 95"},
        {1, 4, 20, 0, W, L""},                    {2, 5, 2, 3790, W, L"Windows XP"},
        {2, 5, 2, 3790, S, L"Windows Server 2003"}, {2, 6, 1, 7601, DC, L"Windows Server 2008 R2"},
        {2, 10, 0, 21999, W, L"Windows 10"},      {2, 10, 0, 22000, W, L"Windows 11"},
        {2, 10, 0, 17762, S, L"Windows Server 2016"}, {2, 10, 0, 17763, S, L"Windows Server 2019"},
        {2, 10, 0, 20348, S, L"Windows Server 2022"}, {2, 10, 0, 26100, DC, L"Windows Server 2025"},
        {2, 6, 4, 9841, W, L""},                  {2, 11, 0, 30000, W, L""},
        {3, 10, 0, 0, W, L""},
    };
    for (const auto& v : versions) {
        facts.version = OsVersion{v.platform, v.major, v.minor, v.build, L"Service Pack 9", v.type};
        // (The numbers and service pack pass through; the window's rows are checked end to end.)
        EXPECT_EQ(report.GetVersionInfo().name, v.name) << v.platform << " " << v.major << "." << v.minor << "." << v.build;
    }
}

TEST(SystemReport, OnlyFixedDrivesGetRowsBeforeTheMemoryRows) {
    // This prefix has one fixed drive and cannot gain a CD or removable one while the wineserver
    // runs: the drive list is fed in.
    ScriptedFacts facts;
    facts.drives = {
        {L"A:\\", DRIVE_REMOVABLE, L"floppy", {1474560, 1024}},
        {L"C:\\", DRIVE_FIXED, L"System", {40007360512, 13250000000}},
        {L"D:\\", DRIVE_FIXED, L"", {1024, 512}},
        {L"E:\\", DRIVE_CDROM, L"DISC", {700000000, 0}},
        {L"N:\\", DRIVE_REMOTE, L"share", {1 << 30, 1 << 20}},
        {L"R:\\", DRIVE_RAMDISK, L"ram", {1 << 30, 1 << 20}},
        {L"u:\\", DRIVE_FIXED, L"data \u00e9t\u00e9", {}},  // the system could not tell its size
    };
    const auto rows = SystemReport(facts).pWindows();
    ASSERT_GE(rows.size(), 4u);
    const auto drive = [](const wchar_t* name, std::wstring value) { return ReportRow{name, value, RowKind::Drive}; };
    EXPECT_EQ(rows[0], drive(L"SYSTEM (C:)", FormatBytes(13250000000, false) + L" free space (" +
                                                 FormatBytes(40007360512, false) + L" capacity)"));
    EXPECT_EQ(rows[1], drive(L" (D:)", L"512 bytes free space (" + FormatBytes(1024, false) + L" capacity)"));
    EXPECT_EQ(rows[2], drive(L"DATA \u00c9T\u00c9 (U:)", L"0 bytes free space (0 bytes capacity)"));
    EXPECT_EQ(rows[3].name, L"Total Physical Memory");
}

TEST(SystemReport, AMissingRegistryValueLeavesItsRowEmptyAndTheRowsAfterItFollow) {
    test::TestRegistryKey machine;
    LiveSystemFacts facts;
    const ReportKeys keys{machine.fullPath() + L"\\Windows", machine.fullPath() + L"\\NT", machine.fullPath() + L"\\IE",
                          machine.fullPath() + L"\\CPU"};
    auto value = [&](const wchar_t* name) {
        const auto rows = SystemReport(facts, keys).pWindows();
        EXPECT_EQ(rows.back().name, L"IP Address");
        EXPECT_FALSE(RowNamed(rows, L"Keyboard")->value.empty()) << "the report went on";
        const ReportRow* row = RowNamed(rows, name);
        return row ? row->value : L"<no row>";
    };
    // No keys, then keys without the values.
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(value(L"Product-ID"), L"") << round;
        EXPECT_EQ(value(L"Internet Explorer Version"), L"") << round;
        EXPECT_EQ(value(L"Processor"), L"") << round;
        EXPECT_EQ(value(L"Processor Speed"), L"") << round;
        machine.CreateSubkey(L"Windows");
        machine.CreateSubkey(L"IE");
        machine.SetString(L"CPU", L"Identifier", L"x86");
    }
    // The NT key's product id when the old key has none; the old key's when it has one.
    machine.SetString(L"NT", L"ProductId", L"55041-NT");
    EXPECT_EQ(value(L"Product-ID"), L"55041-NT");
    machine.SetString(L"Windows", L"ProductId", L"12345-OEM");
    EXPECT_EQ(value(L"Product-ID"), L"12345-OEM");
    // Internet Explorer 11 keeps "9.11..." in Version and its own in svcVersion.
    machine.SetString(L"IE", L"Version", L"6.0.2900.5512");
    EXPECT_EQ(value(L"Internet Explorer Version"), L"6.0.2900.5512");
    machine.SetString(L"IE", L"Version", L"9.11.9600.18376");
    machine.SetString(L"IE", L"svcVersion", L"11.0.9600.18376");
    EXPECT_EQ(value(L"Internet Explorer Version"), L"11.0.9600.18376");
    // The processor's name without its padding; the speed from its DWORD, each without the other.
    machine.SetString(L"CPU", L"ProcessorNameString", L"   Quillfen Q9 @ 2.10GHz  ");
    EXPECT_EQ(value(L"Processor"), L"Quillfen Q9 @ 2.10GHz");
    EXPECT_EQ(value(L"Processor Speed"), L"");
    machine.SetDword(L"CPU", L"~MHz", 2096);
    EXPECT_EQ(value(L"Processor Speed"), L"2096 MHz");
}
