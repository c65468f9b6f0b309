// The main window's listing refresh against a floor (a bare loop that opens every entry and reads
// each of its values once) and against Wine's own "uninstaller --list", on seeded entries in the
// machine's Uninstall key. Also: how long the window goes without answering messages during a
// refresh, and the memory a 10,000-entry listing takes over an empty one.
//   bench_refresh.exe [entries=2000] [memory-entries=10000]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "app/frmMain.h"
#include "seed_entries.h"

using namespace ardmoor;
using Clock = std::chrono::steady_clock;

namespace {

const std::wstring kPrefix = L"ArdmoorBench";
const std::wstring kOptions = L"\\HKEY_CURRENT_USER\\Software\\ArdmoorBench";

double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

// Opens every subkey of the Uninstall key and reads every value once.
double FloorMs() {
    const auto start = Clock::now();
    HKEY root = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, bench::kUninstallSub, 0, KEY_READ, &root) != ERROR_SUCCESS) return 0;
    wchar_t name[256];
    std::vector<BYTE> data(64 * 1024);
    wchar_t valueName[16384];
    for (DWORD i = 0;; ++i) {
        DWORD len = 256;
        if (::RegEnumKeyExW(root, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY key = nullptr;
        if (::RegOpenKeyExW(root, name, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
        for (DWORD v = 0;; ++v) {
            DWORD nameLen = 16384, size = static_cast<DWORD>(data.size()), type = 0;
            if (::RegEnumValueW(key, v, valueName, &nameLen, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
                break;
        }
        ::RegCloseKey(key);
    }
    ::RegCloseKey(root);
    return Ms(start, Clock::now());
}

double UninstallerListMs() {
    wchar_t command[] = L"uninstaller.exe --list";
    SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
    HANDLE nul = ::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si{sizeof(si)};
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi{};
    const auto start = Clock::now();
    if (!::CreateProcessW(nullptr, command, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        ::CloseHandle(nul);
        return -1;
    }
    ::WaitForSingleObject(pi.hProcess, 120000);
    const double ms = Ms(start, Clock::now());
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(nul);
    return ms;
}

// Committed private memory (Wine reports it as the page-file usage; PrivateUsage stays 0 there).
size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof(pmc);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof(pmc));
    return pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
}

// Sends WM_NULL to the window from another thread every 10 ms and keeps the longest wait for an
// answer: how long the window went without handling messages (and so without painting).
class ResponsivenessProbe {
public:
    explicit ResponsivenessProbe(HWND hwnd) : hwnd_(hwnd), thread_([this] { Run(); }) {}
    ~ResponsivenessProbe() {
        stop_ = true;
        thread_.join();
    }
    double WorstMs() const { return worst_.load(); }

private:
    void Run() {
        while (!stop_) {
            const auto start = Clock::now();
            DWORD_PTR result = 0;
            ::SendMessageTimeoutW(hwnd_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
            const double ms = Ms(start, Clock::now());
            double seen = worst_.load();
            while (ms > seen && !worst_.compare_exchange_weak(seen, ms)) {
            }
            ::Sleep(10);
        }
    }
    HWND hwnd_;
    std::atomic<bool> stop_{false};
    std::atomic<double> worst_{0};
    std::thread thread_;
};

frmMain::Settings BenchSettings() {
    frmMain::Settings s;
    s.optionsRoot = kOptions;
    return s;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int entries = argc > 1 ? _wtoi(argv[1]) : 2000;
    const int memoryEntries = argc > 2 ? _wtoi(argv[2]) : 10000;
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    bench::RemoveEntries(HKEY_LOCAL_MACHINE, bench::kUninstallSub, kPrefix);

    std::printf("seeding %d entries...\n", entries);
    bench::SeedEntries(HKEY_LOCAL_MACHINE, bench::kUninstallSub, kPrefix, entries);
    constexpr int kRounds = 7;
    // Other work on the machine moves every figure; each round measures the floor, Wine's own
    // listing and the refresh back to back, and the ratios are taken within a round.
    std::vector<double> clear, floor, read, rows, complete, uninstaller, worstGap, rowsRatio, completeRatio, vsUninstaller;
    size_t rowCount = 0, lookups = 0;
    double lastRest = 0, lastIcons = 0, lastPump = 0;
    {
        frmMain window(BenchSettings());
        window.Load(SW_SHOWNORMAL);
        for (int round = 0; round < kRounds; ++round) {
            floor.push_back(FloorMs());
            uninstaller.push_back(UninstallerListMs());
            ResponsivenessProbe probe(window.hwnd());
            window.pRefresh();
            worstGap.push_back(probe.WorstMs());
            rows.push_back(window.LastRefresh().rowsShownMs);
            read.push_back(window.LastRefresh().readMs);
            clear.push_back(window.LastRefresh().clearMs);
            complete.push_back(window.LastRefresh().completeMs);
            rowsRatio.push_back(rows.back() / floor.back());
            completeRatio.push_back(complete.back() / floor.back());
            vsUninstaller.push_back(rows.back() / uninstaller.back());
            rowCount = window.LastRefresh().rows;
            lastRest = window.LastRefresh().restMs;
            lastIcons = window.LastRefresh().iconChoiceMs;
            lastPump = window.LastRefresh().pumpMs;
            lookups = window.LastRefresh().iconLookups;
        }
        window.Destroy();
    }
    const double f = Median(floor);
    std::printf("\nrefresh of %zu rows (%d seeded), median of %d rounds\n", rowCount, entries, kRounds);
    std::printf("  floor (open every entry, read every value once) %8.1f ms\n", f);
    std::printf("  of which emptying the list                      %8.1f ms\n", Median(clear));
    std::printf("  of which reading the entries                    %8.1f ms\n", Median(read));
    std::printf("  rows on screen                                  %8.1f ms  = %.2f x floor (target <= 1.25)\n",
                Median(rows), Median(rowsRatio));
    std::printf("  complete, every icon in place                   %8.1f ms  = %.2f x floor (target <= 2.00)\n",
                Median(complete), Median(completeRatio));
    std::printf("  wine uninstaller --list                         %8.1f ms  rows on screen = %.2f x it (target < 1)\n",
                Median(uninstaller), Median(vsUninstaller));
    std::printf("    reading the rest %.1f ms, icons %.1f ms, messages %.1f ms (last round)\n", lastRest, lastIcons, lastPump);
    std::printf("  distinct icon files looked up                   %8zu\n", lookups);
    std::printf("  longest wait for the window to answer a message %8.1f ms (median of rounds)\n", Median(worstGap));
    bench::RemoveEntries(HKEY_LOCAL_MACHINE, bench::kUninstallSub, kPrefix);

    if (memoryEntries > 0) {
        size_t empty = 0, full = 0;
        {
            frmMain::Settings s = BenchSettings();
            s.uninstallRoots = {L"\\HKEY_CURRENT_USER\\Software\\ArdmoorBench\\NoEntries"};
            frmMain window(s);
            window.Load(SW_SHOWNORMAL);
            window.pRefresh();
            empty = PrivateBytes();
            window.Destroy();
        }
        std::printf("\nseeding %d entries for the memory figure...\n", memoryEntries);
        bench::SeedEntries(HKEY_LOCAL_MACHINE, bench::kUninstallSub, kPrefix, memoryEntries);
        {
            frmMain window(BenchSettings());
            window.Load(SW_SHOWNORMAL);
            window.pRefresh();
            full = PrivateBytes();
            std::printf("  %zu rows: private bytes %.1f MB, empty list %.1f MB, difference %.1f MB (target < 64)\n",
                        window.LastRefresh().rows, full / 1048576.0, empty / 1048576.0,
                        (static_cast<double>(full) - static_cast<double>(empty)) / 1048576.0);
            window.Destroy();
        }
        bench::RemoveEntries(HKEY_LOCAL_MACHINE, bench::kUninstallSub, kPrefix);
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\ArdmoorBench");
    return 0;
}
