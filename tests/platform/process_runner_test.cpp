// Which program a command line names, and starting and waiting for real processes: the
// uninstaller fixture, which can hand its work to a copy of itself and exit, as NSIS does.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>

#include "platform/command_line.h"
#include "platform/strings.h"
#include "platform/system_process_runner.h"
#include "remote_ui.h"
#include "test_support.h"

using namespace ardmoor;
using namespace std::chrono_literals;

namespace {

double CpuSeconds(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    ::GetProcessTimes(process, &created, &exited, &kernel, &user);
    auto ticks = [](FILETIME f) { return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
}

int timerTicks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++timerTicks; }

std::wstring Q(const std::wstring& s) { return L"\"" + s + L"\""; }

}  // namespace

TEST(CommandLine, NamesOnlyProgramsTheLineNames) {
    test::TempDir dir;
    const std::wstring unins = dir / L"My App\\unins.exe";
    ASSERT_TRUE(test::WriteFileBytes(unins, "MZ"));
    // "<dir>\My" followed by ".exe": what CreateProcess would run for the unquoted line.
    ASSERT_TRUE(test::WriteFileBytes(dir / L"My.exe", "MZ"));

    auto r = ResolveCommandLine(dir / L"My App\\unins.exe /S  /x");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r->program, unins);
    EXPECT_EQ(r->arguments, L"/S  /x");
    EXPECT_EQ(QuotedCommandLine(*r), Q(unins) + L" /S  /x");

    r = ResolveCommandLine(L"  " + Q(unins) + L"   /S");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r->program, unins);
    EXPECT_EQ(r->arguments, L"/S");
    EXPECT_EQ(ResolveCommandLine(dir / L"My App\\sub\\..\\unins.exe")->program, unins) << "made a full path";

    // Bare names come from the system's folders, with ".exe" added when missing.
    r = ResolveCommandLine(L"MsiExec.exe /I{6F1C2A4B}");
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(ToLower(r->program).ends_with(L"\\system32\\msiexec.exe")) << WideToUtf8(r->program);
    EXPECT_EQ(r->arguments, L"/I{6F1C2A4B}");
    EXPECT_TRUE(ToLower(ResolveCommandLine(L"msiexec /X{A}")->program).ends_with(L"\\msiexec.exe"));

    // A planted program in the current folder is not a bare name's program.
    ASSERT_TRUE(test::WriteFileBytes(dir / L"planted.exe", "MZ"));
    wchar_t before[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, before);
    ::SetCurrentDirectoryW(dir.path().c_str());
    EXPECT_EQ(ResolveCommandLine(L"planted.exe /S").error(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ResolveCommandLine(L"My App\\unins.exe").error(), ERROR_FILE_NOT_FOUND) << "relative paths name nothing";
    ::SetCurrentDirectoryW(before);

    // Gone: the line names no program, and My.exe is never taken for it.
    ASSERT_TRUE(::DeleteFileW(unins.c_str()));
    EXPECT_EQ(ResolveCommandLine(dir / L"My App\\unins.exe /S").error(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ResolveCommandLine(Q(unins) + L" /S").error(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ResolveCommandLine(dir / L"My App").error(), ERROR_FILE_NOT_FOUND) << "a folder is no program";
    EXPECT_EQ(ResolveCommandLine(dir / L"*.exe").error(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ResolveCommandLine(L"   ").error(), ERROR_INVALID_PARAMETER);
}

TEST(SystemProcessRunner, WaitsForTheCopyAnUninstallerHandsOnToWithMessagesRunningAndNoSpinning) {
    for (const bool useJob : {true, false}) {
        SCOPED_TRACE(useJob ? "job object" : "parent chain");
        test::TempDir dir;
        const std::wstring marker = dir / L"copy-finished";
        SystemProcessRunner runner;
        runner.SetUseJob(useJob);
        timerTicks = 0;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, CountTick);
        const double cpuBefore = CpuSeconds(::GetCurrentProcess());
        const auto start = std::chrono::steady_clock::now();
        const Status s = runner.RunAndWait(Q(test::FixtureExe(L"uninstaller")) + L" --respawn --wait 1000 --touch " + Q(marker),
                                           SW_SHOWNORMAL);
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double cpu = CpuSeconds(::GetCurrentProcess()) - cpuBefore;
        ::KillTimer(nullptr, timer);
        ASSERT_TRUE(s.ok()) << s.error();
        EXPECT_TRUE(test::ReadFileBytes(marker).size() > 0) << "returned before the copy had finished";
        EXPECT_GE(wall, 0.95);
        EXPECT_GE(runner.LastProcessCount(), 2u);
        EXPECT_EQ(runner.LastTracking(), useJob ? ProcessTree::Tracking::Job : ProcessTree::Tracking::ParentChain);
        EXPECT_GE(timerTicks, 5) << "messages did not run during the wait";
        // A wait that spins burns a whole core; a sleeping one next to nothing.
        std::printf("[ figures ] %s: waited %.2f s, this process used %.3f s of CPU\n", useJob ? "job" : "parents", wall, cpu);
        EXPECT_LT(cpu, wall * 0.3);
    }
}

TEST(SystemProcessRunner, ReportsWhatCannotStartAndLetsQuitEndTheWait) {
    SystemProcessRunner runner;
    test::TempDir dir;
    EXPECT_EQ(runner.RunAndWait(dir / L"missing\\unins.exe /S", SW_SHOWNORMAL).error(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(runner.Start(dir / L"missing.exe", SW_SHOWNORMAL).error(), ERROR_FILE_NOT_FOUND);

    // Start returns at once; the program carries on by itself.
    const std::wstring started = dir / L"started";
    const auto t0 = std::chrono::steady_clock::now();
    ASSERT_TRUE(runner.Start(Q(test::FixtureExe(L"uninstaller")) + L" --wait 500 --touch " + Q(started), SW_SHOWNORMAL).ok());
    EXPECT_TRUE(test::ReadFileBytes(started).empty());
    EXPECT_TRUE(test::PumpUntil([&] { return !test::ReadFileBytes(started).empty(); }, 20000));
    EXPECT_GE(std::chrono::steady_clock::now() - t0, 450ms);

    // WM_QUIT ends the wait (the program is closing) and stays queued for the main loop.
    const std::wstring late = dir / L"late";
    ::SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        ::PostQuitMessage(3);
    });
    EXPECT_EQ(runner.RunAndWait(Q(test::FixtureExe(L"uninstaller")) + L" --wait 1500 --touch " + Q(late), SW_SHOWNORMAL).error(),
              ERROR_CANCELLED);
    EXPECT_TRUE(test::ReadFileBytes(late).empty());
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_TRUE(test::PumpUntil([&] { return !test::ReadFileBytes(late).empty(); }, 20000)) << "the program went on";
}
