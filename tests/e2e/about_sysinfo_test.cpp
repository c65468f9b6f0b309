// The About box and the system information window of the real ardmoor.exe, opened and closed as
// a user does; the report's values are checked against what the system tells this test.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <iphlpapi.h>
#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "ardmoor_app.h"
#include "platform/strings.h"
#include "remote_accessible.h"
#include "remote_ui.h"
#include "test_support.h"

using namespace ardmoor;
using namespace ardmoor::test;

namespace {

void ClickButton(HWND dialog, const wchar_t* text) {
    RECT r{};
    ::GetWindowRect(FindChild(dialog, L"Button", text), &r);
    ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

std::wstring RegText(const wchar_t* key, const wchar_t* name) {
    wchar_t buffer[512] = L"";
    DWORD size = sizeof(buffer);
    ::RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, buffer, &size);
    return buffer;
}

// "12.34 GB" or the exact count of "1.50 KB (1,536 bytes)", in bytes; the first is good to a
// unit of its last decimal.
double Bytes(std::wstring text) {
    wchar_t separator[8] = L",", decimal[8] = L".";
    ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8);
    ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 8);
    if (const size_t open = text.find(L" ("); open != std::wstring::npos) text = text.substr(open + 2);
    text = RemoveChar(text, separator[0]);
    std::replace(text.begin(), text.end(), decimal[0], L'.');
    const size_t blank = text.find(L' ');
    const std::wstring unit = blank == std::wstring::npos ? L"?" : text.substr(blank + 1, 2);
    const std::wstring units = L"byKBMBGBTBPB";
    const size_t tier = units.find(unit) / 2;
    return tier > 5 ? -1 : std::wcstod(text.c_str(), nullptr) * std::pow(1024.0, static_cast<double>(tier));
}

// The rows the window must show, in order: name, icon and a check of the value.
struct Expected {
    std::wstring name;
    int icon;
    std::function<void(const std::wstring&)> check;
};

std::function<void(const std::wstring&)> Is(std::wstring want) {
    return [want](const std::wstring& value) { EXPECT_EQ(value, want); };
}
std::function<void(const std::wstring&)> Near(double want, double tolerance) {
    return [=](const std::wstring& value) { EXPECT_NEAR(Bytes(value), want, tolerance) << WideToUtf8(value); };
}

std::vector<Expected> WhatTheSystemReports() {
    std::vector<Expected> rows;
    wchar_t drives[512] = L"";
    ::GetLogicalDriveStringsW(512, drives);
    for (const wchar_t* root = drives; *root; root += wcslen(root) + 1) {
        if (::GetDriveTypeW(root) != DRIVE_FIXED) continue;
        wchar_t label[MAX_PATH + 1] = L"";
        ::GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0);
        ULARGE_INTEGER callerFree{}, total{}, free{};
        ::GetDiskFreeSpaceExW(root, &callerFree, &total, &free);
        const double capacity = static_cast<double>(total.QuadPart);
        rows.push_back({ToUpper(std::wstring(label) + L" (" + std::wstring(root, 2) + L")"), 3,
                        [=](const std::wstring& value) {
                            const size_t mid = value.find(L" free space (");
                            ASSERT_TRUE(mid != std::wstring::npos && EndsWith(value, L" capacity)")) << WideToUtf8(value);
                            // Free space moves while other programs write.
                            Near(static_cast<double>(free.QuadPart), capacity / 100)(value.substr(0, mid));
                            Near(capacity, capacity / 10000)(value.substr(mid + 13, value.size() - mid - 23));
                        }});
    }

    // Memory totals from the performance counters and the address space, exact.
    PERFORMANCE_INFORMATION perf{sizeof(perf)};
    EXPECT_TRUE(::GetPerformanceInfo(&perf, sizeof(perf)));
    SYSTEM_INFO si{};
    ::GetSystemInfo(&si);
    const double totals[] = {static_cast<double>(perf.PhysicalTotal) * perf.PageSize,
                             static_cast<double>(perf.CommitLimit) * perf.PageSize,
                             static_cast<double>(reinterpret_cast<uintptr_t>(si.lpMaximumApplicationAddress) -
                                                 reinterpret_cast<uintptr_t>(si.lpMinimumApplicationAddress) + 1)};
    const wchar_t* kinds[] = {L"Physical Memory", L"Page File Memory", L"Virtual Memory"};
    for (int i = 0; i < 3; ++i) {
        rows.push_back({std::wstring(L"Total ") + kinds[i], 2, Near(totals[i], 0)});
        rows.push_back({std::wstring(L"Available ") + kinds[i], 2, [limit = totals[i]](const std::wstring& value) {
                            EXPECT_GT(Bytes(value), 0);
                            EXPECT_LE(Bytes(value), limit);
                        }});
    }
    rows.push_back({L"Memory Load", 2, [](const std::wstring& value) {
                        EXPECT_EQ(std::to_wstring(_wtoi(value.c_str())) + L"%", value);
                    }});

    wchar_t user[256] = L"", computer[256] = L"";
    ::GetEnvironmentVariableW(L"USERNAME", user, 256);
    ::GetEnvironmentVariableW(L"COMPUTERNAME", computer, 256);
    rows.push_back({L"User Name", 1, Is(user)});
    rows.push_back({L"Computer Name", 1, Is(computer)});

    // The operating system as its registry records it ("6.1", "Microsoft Windows 7").
    const wchar_t* nt = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    const std::wstring version = RegText(nt, L"CurrentVersion"), product = RegText(nt, L"ProductName");
    rows.push_back({L"Version", 0, [product](const std::wstring& value) {
                        EXPECT_TRUE(!value.empty() && EndsWith(product, value)) << WideToUtf8(value);
                    }});
    rows.push_back({L"Major", 0, Is(version.substr(0, version.find(L'.')))});
    rows.push_back({L"Minor", 0, Is(version.substr(version.find(L'.') + 1))});
    rows.push_back({L"Build", 0, Is(RegText(nt, L"CurrentBuildNumber"))});
    rows.push_back({L"Service Pack", 0, Is(RegText(nt, L"CSDVersion"))});
    rows.push_back({L"Product-ID", 0, Is(RegText(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", L"ProductId"))});
    rows.push_back({L"Internet Explorer Version", 4, Is(RegText(L"SOFTWARE\\Microsoft\\Internet Explorer", L"svcVersion"))});

    const wchar_t* cpu = L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
    DWORD mhz = 0, size = sizeof(mhz);
    ::RegGetValueW(HKEY_LOCAL_MACHINE, cpu, L"~MHz", RRF_RT_REG_DWORD, nullptr, &mhz, &size);
    rows.push_back({L"Processor", 5, Is(Trim(RegText(cpu, L"ProcessorNameString")))});
    rows.push_back({L"Processor Speed", 5, Is(std::to_wstring(mhz) + L" MHz")});
    EXPECT_EQ(::GetKeyboardType(0), 4);
    rows.push_back({L"Keyboard", 6, Is(L"IBM enhanced 101/102-key or Microsoft Natural PS/2 Keyboard")});

    DEVMODEW mode{};
    mode.dmSize = sizeof(mode);
    ::EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode);
    rows.push_back({L"Screen Resolution", 7,
                    Is(std::to_wstring(::GetSystemMetrics(SM_CXSCREEN)) + L"x" +
                       std::to_wstring(::GetSystemMetrics(SM_CYSCREEN)) + L" with " + std::to_wstring(mode.dmBitsPerPel) +
                       L" bpp at " + std::to_wstring(mode.dmDisplayFrequency) + L"hz refresh rate")});

    // One of this computer's own addresses other than loopback; none when it has none.
    std::vector<std::wstring> own;
    ULONG tableSize = 64 * 1024;
    std::vector<unsigned char> table(tableSize);
    auto* addresses = reinterpret_cast<MIB_IPADDRTABLE*>(table.data());
    if (::GetIpAddrTable(addresses, &tableSize, FALSE) == NO_ERROR)
        for (DWORD i = 0; i < addresses->dwNumEntries; ++i) {
            const auto* b = reinterpret_cast<const unsigned char*>(&addresses->table[i].dwAddr);
            if (b[0] != 127)
                own.push_back(std::to_wstring(b[0]) + L"." + std::to_wstring(b[1]) + L"." + std::to_wstring(b[2]) + L"." +
                              std::to_wstring(b[3]));
        }
    rows.push_back({L"IP Address", 8, [own](const std::wstring& value) {
                        EXPECT_TRUE(own.empty() ? value.empty() : std::count(own.begin(), own.end(), value) == 1)
                            << WideToUtf8(value);
                    }});
    return rows;
}

}  // namespace

TEST(AboutAndSystemInformation, OpenFromTaskPaneAndLogoShowTheSystemAndCloseWithOkEnterAndEsc) {
    ArdmoorApp w;
    ASSERT_NO_FATAL_FAILURE(w.Start(false));
    HWND main = w.main, tasks = w.tasks, strip = FindChild(main, L"ArdmoorTitleStrip");
    ASSERT_NE(strip, nullptr);

    // "About..." in the task pane; Esc closes the box.
    ASSERT_TRUE(WaitUntil([&] { return AccessibleDoDefaultAction(tasks, L"About..."); }, 30s));
    HWND about = w.WaitDialog(L"About Ardmoor", 15s);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(::GetWindow(about, GW_OWNER), main);
    EXPECT_FALSE(::IsWindowEnabled(main));
    ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == about; }, 5s));
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(about) && ::IsWindowEnabled(main); }, 10s));

    // The logo at the right end of the title strip (48 pixels, 12 from the edge, at 96 DPI).
    RECT strip_{};
    ::GetClientRect(strip, &strip_);
    POINT logo{strip_.right - ::MulDiv(36, static_cast<int>(::GetDpiForWindow(strip)), 96), strip_.bottom / 2};
    ::ClientToScreen(strip, &logo);
    ClickAt(logo);
    about = w.WaitDialog(L"About Ardmoor", 15s);
    ASSERT_NE(about, nullptr) << "the logo did not open the About box";

    // "&System Info" three times: the report, then OK, Enter and Esc each close it.
    const std::vector<Expected> expected = WhatTheSystemReports();
    for (const char* closing : {"OK", "Enter", "Esc"}) {
        ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == about; }, 5s));
        ClickButton(about, L"&System Info");
        HWND info = w.WaitDialog(L"System Information...", 15s);
        ASSERT_NE(info, nullptr) << closing;
        EXPECT_EQ(::GetWindow(info, GW_OWNER), about);
        EXPECT_FALSE(::IsWindowEnabled(about));
        HWND list = FindChild(info, L"SysListView32");
        ASSERT_NE(list, nullptr);
        if (closing == std::string("OK")) {
            RemoteListView rows(list);
            ASSERT_EQ(rows.Count(), static_cast<int>(expected.size()));
            for (int i = 0; i < rows.Count(); ++i) {
                const Expected& want = expected[static_cast<size_t>(i)];
                SCOPED_TRACE(WideToUtf8(want.name));
                EXPECT_EQ(rows.Text(i), want.name) << "row " << i;
                EXPECT_EQ(rows.Image(i), want.icon);
                want.check(rows.Text(i, 1));
            }
            ::RedrawWindow(info, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            EXPECT_TRUE(SaveWindowScreenshot(info, ScreenshotFolder() + L"system-information.bmp"));
        }
        ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == info; }, 5s)) << closing;
        if (closing == std::string("OK")) ClickButton(info, L"&OK");
        else PressKey(closing == std::string("Enter") ? VK_RETURN : VK_ESCAPE);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(info) && ::IsWindowEnabled(about); }, 10s)) << closing;
        EXPECT_TRUE(::IsWindow(about)) << closing << " closed the About box too";
    }

    EXPECT_TRUE(SaveWindowScreenshot(about, ScreenshotFolder() + L"about.bmp"));
    ClickButton(about, L"&OK");
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(about) && ::IsWindowEnabled(main); }, 10s));
    w.Close();
}
