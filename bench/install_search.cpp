// The install wizard's search, against what it cannot beat and what users would otherwise use:
//   wizard  its whole search (events, archives, the list and its icons) in the real window, hidden;
//   floor   one bare walk that lists every folder once and reads each archive's central directory;
//   dir     cmd /c dir /s /b of the same drive.
// Each round runs the three back to back (in a rotating order) and takes the ratios within the
// round; the figures are the medians of the rounds. Wine's dir /s takes minutes on this drive, some
// forty times the wizard: it runs in the first round only. Then the delay of Stop inside one folder of
// 100,000 files: from the click until the search has ended.
//
// Usage: bench_install_search.exe [rounds (5)] [search drive root (S:\)] [big-folder drive root (T:\)]
// (tools/bench.sh makes the drives with bench/make_search_drive.py and links them as S: and T:.)
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/modOptions.h"
#include "install/frmInstall.h"
#include "platform/system_process_runner.h"
#include "platform/zip/zip_reader.h"

using namespace ardmoor;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point from, Clock::time_point to) { return std::chrono::duration<double>(to - from).count(); }

struct FloorCounts {
    size_t folders = 0, files = 0, archives = 0, entries = 0;
};

// The floor: each folder listed once, each archive's central directory read.
void FloorWalk(const std::wstring& folder, FloorCounts& c) {
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr,
                                  FIND_FIRST_EX_LARGE_FETCH);
    ++c.folders;
    if (h == INVALID_HANDLE_VALUE) return;
    std::vector<std::wstring> subfolders;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (fd.cFileName[0] != L'.' && !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                subfolders.emplace_back(fd.cFileName);
            continue;
        }
        ++c.files;
        const size_t n = wcslen(fd.cFileName);
        if (n > 4 && _wcsicmp(fd.cFileName + n - 4, L".zip") == 0) {
            zip::ZipReader archive;
            if (archive.Open(std::filesystem::path(folder + fd.cFileName)) == zip::ZipError::None) {
                ++c.archives;
                c.entries += archive.EntryCount();
            }
        }
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
    for (const std::wstring& name : subfolders) FloorWalk(folder + name + L"\\", c);
}

double RunDir(const std::wstring& root) {
    std::wstring command = L"cmd.exe /c dir /s /b " + root + L" > NUL";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    const auto t0 = Clock::now();
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                          &pi))
        return -1;
    ::WaitForSingleObject(pi.hProcess, INFINITE);
    const double s = Seconds(t0, Clock::now());
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return s;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : (v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2);
}

HWND FindButton(HWND root, const wchar_t* text) {
    struct Ctx {
        const wchar_t* text;
        HWND found;
    } ctx{text, nullptr};
    ::EnumChildWindows(
        root,
        [](HWND h, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            wchar_t buf[64];
            ::GetWindowTextW(h, buf, 64);
            if (wcscmp(buf, c->text) != 0) return TRUE;
            c->found = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

// The real wizard window, hidden once it exists, running the rounds from its own message loop.
class BenchWizard : public frmInstall {
public:
    BenchWizard(ProcessRunner& runner, InstallWizardSettings settings, std::wstring& drive, std::wstring search,
                std::wstring big, int rounds)
        : frmInstall(runner, std::move(settings)), drive_(drive), search_(std::move(search)), big_(std::move(big)),
          rounds_(rounds) {}

protected:
    bool OnCreate() override {
        if (!frmInstall::OnCreate()) return false;
        ::PostMessageW(hwnd(), WM_APP, 0, 0);
        return true;
    }
    bool OnWindowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
        if (msg != WM_APP) return frmInstall::OnWindowMessage(msg, wp, lp, result);
        ::ShowWindow(hwnd(), SW_HIDE);
        Run();
        EndModal();
        return true;
    }

private:
    // One search from the options page; the wizard is back on that page afterwards.
    double Search() {
        InstallWizard& w = Wizard();
        while (w.Page() > InstallWizard::kPageOptions) w.Back();
        while (w.Page() < InstallWizard::kPageOptions) w.Next();
        const auto t0 = Clock::now();
        w.Next();
        const double s = Seconds(t0, Clock::now());
        searchEnded_ = Clock::now();
        return s;
    }

    void Run() {
        drive_ = search_;
        FloorCounts warm;
        FloorWalk(search_, warm);  // every round starts with the drive in the cache
        std::printf("search of %ls: %zu folders, %zu files, %zu archives (%zu entries); %d rounds\n",
                    search_.c_str(), warm.folders, warm.files, warm.archives, warm.entries, rounds_);
        std::vector<double> toFloor, toDir;
        for (int round = 0; round < rounds_; ++round) {
            double wizard = 0, floor = 0, dir = 0;
            for (int k = 0; k < 3; ++k) {
                switch ((round + k) % 3) {
                case 0:
                    wizard = Search();
                    break;
                case 1: {
                    FloorCounts c;
                    const auto t0 = Clock::now();
                    FloorWalk(search_, c);
                    floor = Seconds(t0, Clock::now());
                    break;
                }
                default:
                    if (round == 0) dir = RunDir(search_);
                }
            }
            toFloor.push_back(wizard / floor);
            if (round == 0) toDir.push_back(wizard / dir);
            std::printf("round %d: wizard %.2f s (%zu items), floor %.2f s; wizard/floor %.2f", round + 1, wizard,
                        Wizard().Items().size(), floor, toFloor.back());
            if (round == 0) std::printf("; dir /s %.2f s, wizard/dir %.2f", dir, toDir.back());
            std::printf("\n");
            std::fflush(stdout);
        }
        std::printf("median wizard/floor %.2f (target: at most 1.3), wizard/dir %.2f (target: below 1)\n",
                    Median(toFloor), Median(toDir));

        StopDelays();
    }

    // Stop pressed at random moments while the search lists the one big folder.
    void StopDelays() {
        drive_ = big_;
        const double whole = Search();
        std::printf("search of %ls (one folder of 100,000 files) without a stop: %.2f s\n", big_.c_str(), whole);
        HWND stop = FindButton(hwnd(), L"&Stop");
        if (!stop) {
            std::printf("no Stop button\n");
            return;
        }
        const WPARAM click = MAKEWPARAM(::GetDlgCtrlID(stop), BN_CLICKED);
        std::mt19937 rng(7);
        std::vector<double> delays;
        for (int i = 0; i < 10; ++i) {
            // Well inside the listing of the big folder.
            const int after = static_cast<int>(whole * 1000 * (0.15 + 0.7 * (rng() % 1000) / 1000.0));
            std::atomic<bool> posted{false};
            Clock::time_point clicked;
            std::thread user([&] {
                ::Sleep(after);
                clicked = Clock::now();
                posted = true;
                ::PostMessageW(hwnd(), WM_COMMAND, click, reinterpret_cast<LPARAM>(stop));
            });
            const double took = Search();
            user.join();
            if (!posted || took * 1000 < after) {
                std::printf("stop %d: the search ended before the click (%.0f ms)\n", i + 1, took * 1000);
                continue;
            }
            delays.push_back(std::chrono::duration<double, std::milli>(searchEnded_ - clicked).count());
        }
        std::sort(delays.begin(), delays.end());
        std::printf("Stop inside one folder of 100,000 files: %zu stops, delay median %.0f ms, worst %.0f ms "
                    "(target: about 100 ms)\n",
                    delays.size(), Median(delays), delays.empty() ? 0.0 : delays.back());
    }

    std::wstring& drive_;
    std::wstring search_, big_;
    int rounds_;
    Clock::time_point searchEnded_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
    const std::wstring search = argc > 2 ? argv[2] : L"S:\\";
    const std::wstring big = argc > 3 ? argv[3] : L"T:\\";
    if (::GetFileAttributesW(search.c_str()) == INVALID_FILE_ATTRIBUTES ||
        ::GetFileAttributesW(big.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::fprintf(stderr, "the fixture drives %ls and %ls are missing (tools/bench.sh install_search makes them)\n",
                     search.c_str(), big.c_str());
        return 2;
    }

    modOptions::Current() = Options{0, false, 1, 0, 0, 1};  // fixed drives, zip archives included
    std::wstring drive;
    InstallWizardSettings settings;
    settings.optionsRoot = L"\\HKEY_CURRENT_USER\\Software\\Ardmoor Benchmarks\\Install search";
    settings.drives = [&drive] { return std::vector<LogicalDrive>{{drive, DRIVE_FIXED}}; };
    SystemProcessRunner runner;
    BenchWizard wizard(runner, std::move(settings), drive, search, big, rounds);
    if (!wizard.ShowModal(nullptr)) {
        std::fprintf(stderr, "the wizard window could not be made\n");
        return 1;
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Ardmoor Benchmarks\\Install search");
    return 0;
}
