// The main window's remove, uninstall and install commands in-process, over entries in a test-owned
// key: which row goes, which becomes current, what the status bar and the Details bar say, the
// window out of use while an uninstaller (the fixture) runs, and the refresh question after the
// install wizard.
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "app/frmMain.h"
#include "app/main_commands.h"
#include "catalogue/entry_removal.h"
#include "remote_ui.h"
#include "scripted_prompter.h"
#include "test_support.h"

using namespace ardmoor;

namespace {

// The real runner, looked over the shoulder of when a run starts.
struct WatchedRunner : ProcessRunner {
    SystemProcessRunner real;
    std::function<void()> atStart;
    Status Start(const std::wstring& line, int show) override { return real.Start(line, show); }
    Status RunAndWait(const std::wstring& line, int show) override {
        if (atStart) atStart();
        return real.RunAndWait(line, show);
    }
};

struct MainWindowUninstall : ::testing::Test {
    test::TestRegistryKey entries;
    test::TestRegistryKey options;
    test::ScriptedPrompter prompter;
    WatchedRunner runner;
    SystemShell shell;
    std::function<int(const std::wstring&)> iconLookup;  // empty: the system image list

    std::wstring Key(int n) const { return entries.fullPath() + L"\\Uninstall\\E" + std::to_wstring(n); }
    void Seed(int count) {
        for (int n = 1; n <= count; ++n) {
            entries.SetString(L"Uninstall\\E" + std::to_wstring(n), L"DisplayName", L"Entry " + std::to_wstring(n));
            entries.SetString(L"Uninstall\\E" + std::to_wstring(n), L"UninstallString", L"C:\\e\\unins.exe");
        }
    }
    std::unique_ptr<frmMain> Open(bool waitForListing = true) {
        frmMain::Settings settings;
        settings.iconLookup = iconLookup;
        settings.uninstallRoots = {entries.fullPath() + L"\\Uninstall"};
        settings.optionsRoot = options.fullPath() + L"\\Ardmoor";
        settings.uninstallPrompter = &prompter;
        settings.prompter = &prompter;
        settings.runner = &runner;
        settings.shell = &shell;
        auto w = std::make_unique<frmMain>(settings);
        EXPECT_TRUE(w->Load(SW_SHOWNORMAL));
        if (waitForListing) {
            EXPECT_TRUE(test::PumpUntil([&] { return w->RefreshState() == 3; }, 60000));
        }
        return w;
    }
    // The listing's icon look-ups wait until the returned event is set, which holds a refresh in
    // flight till then.
    std::shared_ptr<UniqueKernelHandle> HoldIconLookups() {
        entries.SetString(L"Uninstall\\E1", L"DisplayIcon", L"C:\\windows\\system32\\notepad.exe");
        auto release = std::make_shared<UniqueKernelHandle>(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        iconLookup = [release](const std::wstring&) {
            ::WaitForSingleObject(release->get(), 20000);
            return -1;
        };
        return release;
    }
    static void Command(frmMain& w, int id) { ::SendMessageW(w.hwnd(), WM_COMMAND, id, 0); }
    static std::wstring RemoveText(frmMain& w) {
        auto* bar = w.Tasks().FindBar(L"Tasks");
        auto* item = bar ? bar->FindItem(L"REMOVE") : nullptr;
        return item ? item->Text() : L"<missing>";
    }
    static std::wstring Count(frmMain& w) { return w.Status().PanelText(2); }

    // A window destroyed by an earlier test leaves its WM_QUIT behind, which would end any wait.
    static void Drain() {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    void SetUp() override { Drain(); }
    void TearDown() override { Drain(); }
};

}  // namespace

TEST_F(MainWindowUninstall, RemovalAsksAndMakesTheRowAboveCurrentDownToTheLastRow) {
    Seed(7);
    auto w = Open();
    ListView& list = w->List();
    ASSERT_EQ(list.Count(), 7);

    // No leaves registry and list alone.
    prompter.messageAnswers = {IDNO};
    Command(*w, kIdMenuRemove);
    EXPECT_EQ(prompter.asked.back().text, L"Are you sure you want to remove \r\n\r\nEntry 1\r\n\r\n from you uninstall listing?");
    EXPECT_EQ(prompter.asked.back().title, L"Ardmoor");
    EXPECT_EQ(prompter.asked.back().type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(list.Count(), 7);
    EXPECT_TRUE(pKeyExists(Key(1)));

    // Yes removes entry `gone`; row `row`, entry `shown`, is then current, and `left` rows are counted.
    const auto removed = [&](int gone, int row, int shown, int left) {
        prompter.messageAnswers = {IDYES};
        Command(*w, kIdMenuRemove);
        EXPECT_FALSE(pKeyExists(Key(gone)));
        EXPECT_EQ(w->SelectedIndex(), row);
        EXPECT_EQ(list.SelectedItem().Text(), L"Entry " + std::to_wstring(shown));
        EXPECT_EQ(RemoveText(*w), L"Remove Entry " + std::to_wstring(shown) + L" from your uninstall listing...");
        EXPECT_EQ(Count(*w), std::to_wstring(left) + L" items..." + std::wstring(10, L' '));
    };
    removed(1, 1, 2, 6);  // the first row: the next one moves up and is current
    w->ShowDetails(5);
    removed(6, 4, 5, 5);  // row 5 (Entry 6): row 4 becomes current

    // Down to the only row, then that one: the list is empty, index 1 stays and nothing is selected.
    for (int n = 5; n > 0; --n) {
        prompter.messageAnswers = {IDYES};
        Command(*w, kIdMenuRemove);
    }
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(w->SelectedIndex(), 1);
    EXPECT_FALSE(list.SelectedItem());
    EXPECT_EQ(Count(*w).substr(0, 2), L"0 ");
    // Nothing left to act on: neither command asks anything.
    const size_t asked = prompter.asked.size();
    Command(*w, kIdMenuRemove);
    Command(*w, kIdMenuUninstall);
    EXPECT_EQ(prompter.asked.size(), asked);
    w->Destroy();
}

TEST_F(MainWindowUninstall, WhileAnUninstallerRunsTheWindowTakesNoCommandAndNoRefreshGoesOn) {
    Seed(6);
    test::TempDir dir;
    const std::wstring marker = dir / L"ran";
    entries.SetString(L"Uninstall\\E3", L"UninstallString",
                      L"\"" + test::FixtureExe(L"uninstaller") + L"\" --wait 300 --delete-key \"" + Key(3) +
                          L"\" --touch \"" + marker + L"\"");
    const auto release = HoldIconLookups();
    auto w = Open(false);
    ASSERT_TRUE(test::PumpUntil([&] { return w->List().Count() == 6 && w->RefreshState() == 2; }, 30000));
    ASSERT_TRUE(w->RefreshInFlight());
    w->ShowDetails(3);

    bool enabled = true, refreshing = true, running = false;
    runner.atStart = [&] {
        enabled = ::IsWindowEnabled(w->hwnd()) != FALSE;
        refreshing = w->RefreshInFlight();
        running = w->UninstallRunning();
        // Commands that reach the window meanwhile (posted, say) do nothing.
        Command(*w, kIdMenuRemove);
        Command(*w, kIdMenuUninstall);
        Command(*w, kIdMenuRefresh);
    };
    Command(*w, kIdMenuUninstall);
    ::SetEvent(release->get());

    EXPECT_FALSE(test::ReadFileBytes(marker).empty()) << "the uninstaller did not run";
    EXPECT_FALSE(enabled);
    EXPECT_FALSE(refreshing) << "a refresh was still in flight when the uninstaller started";
    EXPECT_TRUE(running);
    EXPECT_TRUE(prompter.asked.empty()) << "a command ran during the uninstall";
    EXPECT_TRUE(::IsWindowEnabled(w->hwnd()));
    EXPECT_FALSE(w->UninstallRunning());

    // The refresh it ended runs again, so the listing is whole; the entry is gone from it, and
    // the row above it is current.
    ASSERT_TRUE(test::PumpUntil([&] { return w->RefreshState() == 3; }, 30000));
    EXPECT_EQ(w->List().Count(), 5);
    EXPECT_FALSE(w->List().Item(Key(3)));
    EXPECT_EQ(w->SelectedIndex(), 2);
    EXPECT_EQ(RemoveText(*w), L"Remove Entry 2 from your uninstall listing...");
    EXPECT_TRUE(w->List().Visible());
    w->Destroy();
}

TEST_F(MainWindowUninstall, AfterTheInstallWizardARefreshInFlightGoesOnAndYesReadsTheListingAgain) {
    Seed(4);
    const auto release = HoldIconLookups();
    auto w = Open(false);
    ASSERT_TRUE(test::PumpUntil([&] { return w->List().Count() == 4 && w->RefreshState() == 2; }, 30000));

    // The user closes the wizard as soon as it shows.
    const auto install = [&](int answer) {
        std::thread user([] {
            HWND wizard = nullptr;
            const auto shown = [&] {
                return (wizard = ::FindWindowW(L"ArdmoorModalWindow", L"Install Software Wizard")) != nullptr;
            };
            if (test::WaitUntil(shown, std::chrono::seconds(20)))
                ::PostMessageW(wizard, WM_CLOSE, 0, 0);
        });
        prompter.messageAnswers = {answer};
        w->pInstall();
        user.join();
    };
    bool inFlight = false;
    prompter.onAsk = [&](const test::ScriptedPrompter::Asked&) { inFlight = w->RefreshInFlight(); };
    install(IDNO);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, L"Install Software");
    EXPECT_EQ(prompter.asked[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_TRUE(inFlight) << "the refresh under way goes on behind the wizard";
    ::SetEvent(release->get());
    ASSERT_TRUE(test::PumpUntil([&] { return w->RefreshState() == 3; }, 30000));
    EXPECT_EQ(w->List().Count(), 4);

    // What a setup program added shows after Yes.
    entries.SetString(L"Uninstall\\New", L"DisplayName", L"Newly Installed");
    install(IDYES);
    ASSERT_EQ(prompter.asked.size(), 2u);
    ASSERT_TRUE(test::PumpUntil([&] { return w->RefreshState() == 3 && w->List().Count() == 5; }, 30000));
    EXPECT_TRUE(w->List().Item(entries.fullPath() + L"\\Uninstall\\New"));
    w->Destroy();
}
