// The listing refresh as the user sees it: the real ardmoor.exe started as a process and watched
// from outside, against three baselines started the same way, each ratio taken within one round:
//   F  baseline_floor.exe: opens every entry and reads every value, no window;
//   W  baseline_window.exe N: a bare window with a virtual list view of N rows, no registry work;
//   B  Wine's own "uninstaller --list".
// Figures: every row on screen (2,000 entries); first rows on screen (10,000); every tip and icon
// in place (2,000); the longest wait for the window to answer a message during a refresh; the
// time from WM_CLOSE to the process's end while 10,000 entries are being read; the memory of
// 10,000 entries over an empty list.
//   bench_refresh.exe [entries=2000] [large=10000] [rounds=5]
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "seed_entries.h"

using namespace ardmoor;
using Clock = std::chrono::steady_clock;

namespace {

const std::wstring kPrefix = L"ArdmoorBench";

double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

std::wstring Folder() {
    wchar_t path[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

class Process {
public:
    bool Start(const std::wstring& exe, const std::wstring& args = L"", bool quiet = false) {
        std::wstring command = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
        STARTUPINFOW si{sizeof(si)};
        HANDLE nul = INVALID_HANDLE_VALUE;
        if (quiet) {
            SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
            nul = ::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
            si.dwFlags = STARTF_USESTDHANDLES;
            si.hStdOutput = si.hStdError = nul;
        }
        const std::wstring folder = Folder();
        const BOOL ok = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, quiet, 0, nullptr,
                                         folder.c_str(), &si, &pi_);
        if (nul != INVALID_HANDLE_VALUE) ::CloseHandle(nul);
        return ok != FALSE;
    }
    ~Process() {
        if (!pi_.hProcess) return;
        if (::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(pi_.hProcess, 99);
            ::WaitForSingleObject(pi_.hProcess, 5000);
        }
        ::CloseHandle(pi_.hProcess);
        ::CloseHandle(pi_.hThread);
    }
    bool WaitExit(DWORD ms) const { return ::WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0; }
    [[nodiscard]] DWORD pid() const { return pi_.dwProcessId; }
    [[nodiscard]] HANDLE handle() const { return pi_.hProcess; }

private:
    PROCESS_INFORMATION pi_{};
};

HWND TopWindow(DWORD pid, const wchar_t* cls) {
    struct Ctx {
        DWORD pid;
        const wchar_t* cls;
        HWND found;
    } ctx{pid, cls, nullptr};
    ::EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(h, &owner);
            wchar_t name[128];
            if (owner != c->pid || !::GetClassNameW(h, name, 128) || wcscmp(name, c->cls) != 0) return TRUE;
            c->found = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

HWND ListOf(HWND main) { return main ? ::FindWindowExW(::FindWindowExW(main, nullptr, L"ArdmoorListView", nullptr), nullptr, WC_LISTVIEWW, nullptr) : nullptr; }

// The rows a user sees: the list is shown (drawing not held) and has nothing left to paint.
int RowsOnScreen(HWND list) {
    if (!list || !::IsWindowVisible(list)) return -1;
    DWORD_PTR count = 0;
    if (!::SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 5000, &count)) return -1;
    if (::GetUpdateRect(list, nullptr, FALSE)) return -1;
    return static_cast<int>(count);
}

// Polls every 2 ms until pred() holds; the time since `start`, or -1 after 120 s.
template <class Pred>
double Until(Clock::time_point start, Pred pred) {
    for (;;) {
        if (pred()) return Ms(start, Clock::now());
        if (Ms(start, Clock::now()) > 120000) return -1;
        ::Sleep(2);
    }
}

// 0 not started, 1 rows arriving, 2 details and icons arriving, 3 complete.
int RefreshState(HWND main) {
    static const UINT msg = ::RegisterWindowMessageW(L"Ardmoor.RefreshState");
    DWORD_PTR state = 0;
    if (!::SendMessageTimeoutW(main, msg, 0, 0, SMTO_NORMAL, 5000, &state)) return -1;
    return static_cast<int>(state);
}

// Sends WM_NULL to a window from another thread every 10 ms and keeps the longest wait for an
// answer: how long the window went without handling messages.
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
            if (!::SendMessageTimeoutW(hwnd_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result)) return;
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

size_t PrivateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof(pmc);
    ::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof(pmc));
    return pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double RunToExit(const std::wstring& exe, const std::wstring& args) {
    Process p;
    const auto start = Clock::now();
    if (!p.Start(exe, args, true)) return -1;
    if (!p.WaitExit(120000)) return -1;
    return Ms(start, Clock::now());
}

// W: start until its rows are on screen.
double BareWindowMs(int rows) {
    Process p;
    const auto start = Clock::now();
    if (!p.Start(Folder() + L"baseline_window.exe", std::to_wstring(rows))) return -1;
    const double ms = Until(start, [&] {
        HWND main = TopWindow(p.pid(), L"ArdmoorBenchBareWindow");
        HWND list = main ? ::FindWindowExW(main, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
        return RowsOnScreen(list) == rows;
    });
    if (HWND main = TopWindow(p.pid(), L"ArdmoorBenchBareWindow")) ::PostMessageW(main, WM_CLOSE, 0, 0);
    p.WaitExit(10000);
    return ms;
}

struct ProgramRun {
    double firstRows = -1, allRows = -1, complete = -1, worstAnswer = -1, closeToExit = -1;
    size_t memory = 0;
    int rows = 0;
};

// Starts ardmoor.exe and watches it. `expected` rows make the list whole; with closeEarly the
// window is closed as soon as the first rows are on screen.
ProgramRun RunProgram(int expected, bool closeEarly) {
    ProgramRun run;
    Process p;
    const auto start = Clock::now();
    if (!p.Start(Folder() + L"..\\ardmoor.exe")) return run;
    HWND main = nullptr, list = nullptr;
    Until(start, [&] {
        main = TopWindow(p.pid(), L"ArdmoorMainWindow");
        list = ListOf(main);
        return list != nullptr;
    });
    if (!list) return run;
    // From the moment the user can see the window.
    Until(start, [&] { return ::IsWindowVisible(main) != FALSE; });
    std::unique_ptr<ResponsivenessProbe> probe;
    if (!closeEarly) probe = std::make_unique<ResponsivenessProbe>(main);
    run.firstRows = Until(start, [&] { return RowsOnScreen(list) > 0 || expected <= 0; });
    if (closeEarly) {
        const auto close = Clock::now();
        ::PostMessageW(main, WM_CLOSE, 0, 0);
        if (p.WaitExit(30000)) run.closeToExit = Ms(close, Clock::now());
        return run;
    }
    if (expected >= 0) run.allRows = Until(start, [&] { return RowsOnScreen(list) >= expected; });
    run.complete = Until(start, [&] { return RefreshState(main) == 3; });
    run.worstAnswer = probe->WorstMs();
    probe.reset();
    DWORD_PTR count = 0;
    ::SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 5000, &count);
    run.rows = static_cast<int>(count);
    run.memory = PrivateBytes(p.handle());
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    p.WaitExit(30000);
    return run;
}

// The rows the program lists on this machine right now.
int ListedRows() {
    return RunProgram(-1, false).rows;
}

void Print(const char* what, const std::vector<double>& v, const char* unit = "ms") {
    std::printf("  %-58s %9.1f %s  (rounds:", what, Median(v), unit);
    for (double x : v) std::printf(" %.2f", x);
    std::printf(")\n");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int entries = argc > 1 ? _wtoi(argv[1]) : 2000;
    const int large = argc > 2 ? _wtoi(argv[2]) : 10000;
    const int rounds = std::max(argc > 3 ? _wtoi(argv[3]) : 5, 1);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const std::wstring floorExe = Folder() + L"baseline_floor.exe";
    bench::RemoveEntries(HKEY_LOCAL_MACHINE, bench::kUninstallSub, kPrefix);

    // The memory of an empty list: only what the prefix lists by itself.
    const int own = ListedRows();
    ProgramRun empty = RunProgram(-1, false);

    std::printf("seeding %d entries...\n", entries);
    bench::SeedEntries(HKEY_LOCAL_MACHINE, bench::kUninstallSub, kPrefix, entries);
    const int expected = ListedRows();
    std::printf("the program lists %d rows (%d of them the prefix's own)\n", expected, own);

    std::vector<double> F, W, B, rows, complete, worst, rowsVsMax, rowsVsB, completeVsF;
    for (int round = 0; round < rounds; ++round) {
        F.push_back(RunToExit(floorExe, L""));
        W.push_back(BareWindowMs(expected));
        B.push_back(RunToExit(L"uninstaller.exe", L"--list"));
        ProgramRun run = RunProgram(expected, false);
        rows.push_back(run.allRows);
        complete.push_back(run.complete);
        worst.push_back(run.worstAnswer);
        rowsVsMax.push_back(run.allRows / std::max(W.back(), F.back()));
        rowsVsB.push_back(run.allRows / B.back());
        completeVsF.push_back(run.complete / F.back());
        std::printf("round %d: F %.0f W %.0f B %.0f | rows %.0f complete %.0f worst answer %.0f ms\n", round + 1,
                    F.back(), W.back(), B.back(), run.allRows, run.complete, run.worstAnswer);
    }
    std::printf("\n%d entries, %d rounds (medians; each ratio taken within its round)\n", expected, rounds);
    Print("F floor: open every entry, read every value", F);
    Print("W bare window with a virtual list of as many rows", W);
    Print("B wine uninstaller --list", B);
    Print("program start until every row is on screen", rows);
    Print("  / max(W, F)                        (target <= 0.9)", rowsVsMax, "x");
    Print("  / B                                (target <= 0.9)", rowsVsB, "x");
    Print("program start until every tip and icon is in place", complete);
    Print("  / F                                (target <= 1.3)", completeVsF, "x");
    Print("longest wait for an answer during a refresh (target <= 50)", worst);

    if (large > entries) {
        std::printf("\nseeding %d entries...\n", large);
        bench::SeedEntries(HKEY_LOCAL_MACHINE, bench::kUninstallSub, kPrefix, large);
        const int expectedLarge = ListedRows();
        std::vector<double> W10, first, firstVsW, close;
        for (int round = 0; round < rounds; ++round) {
            W10.push_back(BareWindowMs(expectedLarge));
            ProgramRun run = RunProgram(expectedLarge, true);
            first.push_back(run.firstRows);
            firstVsW.push_back(run.firstRows / W10.back());
            close.push_back(run.closeToExit);
            std::printf("round %d: W %.0f | first rows %.0f, WM_CLOSE to exit %.0f ms\n", round + 1, W10.back(),
                        run.firstRows, run.closeToExit);
        }
        ProgramRun full = RunProgram(expectedLarge, false);
        std::printf("\n%d entries, %d rounds\n", expectedLarge, rounds);
        Print("W bare window with a virtual list of as many rows", W10);
        Print("program start until the first rows are on screen", first);
        Print("  / W                                (target <= 1.5)", firstVsW, "x");
        Print("WM_CLOSE while reading until the process ended (target <= 1000)", close);
        std::printf("  memory: %d rows %.1f MB, empty list (%d rows) %.1f MB, difference %.1f MB (target < 64)\n",
                    full.rows, full.memory / 1048576.0, empty.rows, empty.memory / 1048576.0,
                    (static_cast<double>(full.memory) - static_cast<double>(empty.memory)) / 1048576.0);
        std::printf("  every row of %d on screen %.0f ms, complete %.0f ms, longest wait for an answer %.0f ms\n",
                    full.rows, full.allRows, full.complete, full.worstAnswer);
    }
    bench::RemoveEntries(HKEY_LOCAL_MACHINE, bench::kUninstallSub, kPrefix);
    return 0;
}
