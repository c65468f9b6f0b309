// The command line's export as a script sees it: `ardmoor.exe /list /json` as a whole process on
// seeded entries, against the listing benchmark's floor process (baseline_floor.exe: it opens every
// entry of the listed keys and reads every value once, and writes nothing) and against
// `wine uninstaller --list`, each round running the three back to back; then the memory the
// export takes for 10,000 entries in CSV and in JSON.
//   bench_export.exe [entries=2000] [memory-entries=10000] [rounds=7]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "seed_entries.h"

using Clock = std::chrono::steady_clock;

namespace {

const std::wstring kPrefix = L"ArdmoorExportBench";

std::wstring Folder() {
    wchar_t buf[MAX_PATH * 2];
    std::wstring self(buf, ::GetModuleFileNameW(nullptr, buf, MAX_PATH * 2));
    return self.substr(0, self.find_last_of(L'\\') + 1);
}

struct Run {
    double ms = -1;
    DWORD exitCode = 0;
    double peakPrivateMb = 0;  // the largest committed private memory seen while it ran
};

// Starts a command with its output going nowhere, waits for it, and watches its memory meanwhile.
Run RunProcess(std::wstring command, bool watchMemory = false) {
    SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
    HANDLE nul = ::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si{sizeof(si)};
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi{};
    Run run;
    const auto start = Clock::now();
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        ::CloseHandle(nul);
        return run;
    }
    size_t peak = 0;
    for (;;) {
        if (::WaitForSingleObject(pi.hProcess, watchMemory ? 5 : 120000) != WAIT_TIMEOUT) break;
        PROCESS_MEMORY_COUNTERS_EX pmc{};
        pmc.cb = sizeof(pmc);
        if (::GetProcessMemoryInfo(pi.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof(pmc)))
            peak = std::max({peak, pmc.PrivateUsage, pmc.PagefileUsage, pmc.PeakPagefileUsage});
    }
    run.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    ::GetExitCodeProcess(pi.hProcess, &run.exitCode);
    run.peakPrivateMb = peak / 1048576.0;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(nul);
    return run;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int entries = argc > 1 ? _wtoi(argv[1]) : 2000;
    const int memoryEntries = argc > 2 ? _wtoi(argv[2]) : 10000;
    const int rounds = std::max(argc > 3 ? _wtoi(argv[3]) : 7, 1);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    using ardmoor::bench::kUninstallSub;
    ardmoor::bench::RemoveEntries(HKEY_LOCAL_MACHINE, kUninstallSub, kPrefix);

    const std::wstring folder = Folder();
    const std::wstring floorCommand = L"\"" + folder + L"baseline_floor.exe\"";
    const std::wstring ardmoor = L"\"" + folder + L"..\\ardmoor.exe\"";

    std::printf("seeding %d entries...\n", entries);
    ardmoor::bench::SeedEntries(HKEY_LOCAL_MACHINE, kUninstallSub, kPrefix, entries);
    std::vector<double> floor, json, uninstaller, ratio, vsUninstaller;
    DWORD jsonExit = 0;
    for (int round = 0; round < rounds; ++round) {
        floor.push_back(RunProcess(floorCommand).ms);
        const Run listed = RunProcess(ardmoor + L" /list /json");
        json.push_back(listed.ms);
        jsonExit |= listed.exitCode;
        uninstaller.push_back(RunProcess(L"uninstaller.exe --list").ms);
        ratio.push_back(json.back() / floor.back());
        vsUninstaller.push_back(json.back() / uninstaller.back());
        std::printf("  round %d: floor %7.1f ms, ardmoor /list /json %7.1f ms, uninstaller --list %7.1f ms\n", round + 1,
                    floor.back(), json.back(), uninstaller.back());
    }
    std::printf("\nardmoor.exe /list /json on %d seeded entries, whole processes, median of %d rounds%s\n", entries,
                rounds, jsonExit ? " (the export FAILED in some round)" : "");
    std::printf("  floor process (open every entry, read every value)  %8.1f ms\n", Median(floor));
    std::printf("  ardmoor.exe /list /json                             %8.1f ms = %.2f x floor (target <= 1.10)\n",
                Median(json), Median(ratio));
    std::printf("  wine uninstaller --list                             %8.1f ms; ardmoor = %.2f x it\n",
                Median(uninstaller), Median(vsUninstaller));
    ardmoor::bench::RemoveEntries(HKEY_LOCAL_MACHINE, kUninstallSub, kPrefix);

    if (memoryEntries > 0) {
        const Run idle = RunProcess(ardmoor + L" /?", true);
        std::printf("\nseeding %d entries for the memory figures...\n", memoryEntries);
        ardmoor::bench::SeedEntries(HKEY_LOCAL_MACHINE, kUninstallSub, kPrefix, memoryEntries);
        for (const wchar_t* format : {L"/csv", L"/json"}) {
            const Run run = RunProcess(ardmoor + L" /list " + format, true);
            std::printf("  ardmoor.exe /list %-5ls peak private memory %6.1f MB (exit %lu, %.0f ms), %.1f MB over "
                        "/? (%.1f MB) (target < 64)\n",
                        format, run.peakPrivateMb, run.exitCode, run.ms, run.peakPrivateMb - idle.peakPrivateMb,
                        idle.peakPrivateMb);
        }
        ardmoor::bench::RemoveEntries(HKEY_LOCAL_MACHINE, kUninstallSub, kPrefix);
    }
    return 0;
}
