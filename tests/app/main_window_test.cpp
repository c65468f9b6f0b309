// The main window in-process, over entries and options in test-owned registry keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "app/frmMain.h"
#include "app/main_commands.h"
#include "app/modOptions.h"
#include "catalogue/icon_files.h"
#include "remote_ui.h"
#include "scripted_prompter.h"
#include "test_support.h"

using namespace ardmoor;

namespace {

struct MainWindowFixture : ::testing::Test {
    test::TestRegistryKey entries;
    test::TestRegistryKey options;

    void SeedEntries() {
        entries.SetString(L"Uninstall\\Zebra", L"DisplayName", L"zebra paint");
        entries.SetString(L"Uninstall\\Zebra", L"UninstallString", L"C:\\zebra\\unins.exe");
        entries.SetString(L"Uninstall\\Zebra", L"DisplayIcon", L"C:\\windows\\system32\\notepad.exe,0");
        entries.SetString(L"Uninstall\\Tom", L"DisplayName", L"Tom & Jerry");
        entries.SetString(L"Uninstall\\Tom", L"Publisher", L"Hanna");
        entries.SetString(L"Uninstall\\Tom", L"HelpTelephone", L"555-0199");
        entries.SetString(L"Uninstall\\Tom", L"URLInfoAbout", L"https://tom.example/");
        entries.SetString(L"Uninstall\\Tom", L"UninstallString", L"C:\\windows\\system32\\notepad.exe /u");
        entries.SetString(L"Uninstall\\{9A-PRODUCT}", L"UninstallString", L"MsiExec.exe /X{9A-PRODUCT}", REG_EXPAND_SZ);
        entries.SetString(L"Uninstall\\Quiet", L"DisplayName", L"Apple Quiet");
        entries.SetString(L"Uninstall\\Quiet", L"QuietUninstallString", L"C:\\q.exe /S");
        entries.SetString(L"Uninstall\\Stale", L"DisplayName", L"Stale Entry");
        entries.SetString(L"Uninstall\\Stale", L"DisplayIcon", L"C:\\windows\\system32\\notepad.exe");
        entries.SetString(L"Uninstall32\\Beta", L"DisplayName", L"Beta 32-bit");
        entries.SetString(L"Uninstall32\\Beta", L"UninstallString", L"C:\\b\\u.exe");
        // A per-user entry, and one with the same name as a machine-wide one.
        entries.SetString(L"User\\Mine", L"DisplayName", L"My Own Tool");
        entries.SetString(L"User\\Mine", L"UninstallString", L"C:\\Users\\me\\tool\\uninst.exe");
        entries.SetString(L"User\\Zebra", L"DisplayName", L"zebra paint");
    }
    void SeedMany(int count) {
        for (int i = 0; i < count; ++i) {
            wchar_t name[32];
            std::swprintf(name, 32, L"Many\\E%04d", i);
            entries.SetString(name, L"DisplayName", L"Program " + std::to_wstring((i * 7919) % count));
        }
    }

    frmMain::Settings SettingsFor(std::vector<std::wstring> roots) {
        frmMain::Settings settings;
        for (auto& r : roots) r = entries.fullPath() + L"\\" + r;
        settings.uninstallRoots = std::move(roots);
        settings.optionsRoot = options.fullPath() + L"\\Ardmoor";
        return settings;
    }
    // Opens the window and waits for its listing (every row, tip and icon).
    std::unique_ptr<frmMain> Open(std::vector<std::wstring> roots = {L"Uninstall", L"Uninstall32", L"User"}) {
        auto window = std::make_unique<frmMain>(SettingsFor(std::move(roots)));
        EXPECT_TRUE(window->Load(SW_SHOWNORMAL));
        EXPECT_TRUE(WaitForListing(*window));
        return window;
    }
    static bool WaitForListing(frmMain& w) {
        return test::PumpUntil([&] { return w.RefreshState() == 3; }, 60000);
    }

    static std::vector<std::wstring> Names(frmMain& w) {
        std::vector<std::wstring> names;
        for (int i = 1; i <= w.List().Count(); ++i) names.push_back(w.List().Item(i).Text());
        return names;
    }
    static std::wstring TaskText(frmMain& w, const wchar_t* bar, const wchar_t* item) {
        auto* b = w.Tasks().FindBar(bar);
        auto* i = b ? b->FindItem(item) : nullptr;
        return i ? i->Text() : L"<missing>";
    }
    static UINT MenuState(HMENU menu, int id) { return ::GetMenuState(menu, id, MF_BYCOMMAND); }
    static std::wstring MenuText(HMENU menu, int id) {
        wchar_t buf[512] = L"";
        ::GetMenuStringW(menu, id, buf, 512, MF_BYCOMMAND);
        return buf;
    }
    DWORD StoredView() const {
        DWORD view = 99, size = sizeof(view);
        ::RegGetValueW(HKEY_CURRENT_USER, (options.subPath() + L"\\Ardmoor\\Settings").c_str(), L"View",
                       RRF_RT_REG_DWORD, nullptr, &view, &size);
        return view;
    }

    void TearDown() override { test::PumpFor(0); }
};

}  // namespace

TEST_F(MainWindowFixture, RefreshListsMachineAndUserEntriesSortedWithCountIconsAndTheDetailsOfTheShownRow) {
    SeedEntries();
    auto w = Open();
    ListView& list = w->List();
    // The user's sort rules: case does not count, punctuation comes first; per-user entries sort
    // among the machine's, and two entries of one name are both listed, machine-wide first.
    EXPECT_EQ(Names(*w), (std::vector<std::wstring>{L"{9A-PRODUCT}", L"Apple Quiet", L"Beta 32-bit", L"My Own Tool",
                                                    L"Stale Entry", L"Tom & Jerry", L"zebra paint", L"zebra paint"}));
    const ListItem quiet = list.Item(2);
    EXPECT_EQ(quiet.Key(), entries.fullPath() + L"\\Uninstall\\Quiet");
    EXPECT_EQ(quiet.SubItem(1), L"C:\\q.exe /S");
    EXPECT_EQ(quiet.ToolTipText(),
              L"Name: Apple Quiet\r\nPublisher: \r\nVersion: \r\nHelp Link: \r\nInstall Date: \r\n"
              L"Install Location: \r\nUninstall Path: ");
    EXPECT_EQ(list.Item(3).Key(), entries.fullPath() + L"\\Uninstall32\\Beta");
    EXPECT_EQ(list.Item(4).Key(), entries.fullPath() + L"\\User\\Mine");
    EXPECT_EQ(list.Item(4).SubItem(1), L"C:\\Users\\me\\tool\\uninst.exe");
    EXPECT_EQ(list.Item(7).Key(), entries.fullPath() + L"\\Uninstall\\Zebra");
    EXPECT_EQ(list.Item(8).Key(), entries.fullPath() + L"\\User\\Zebra");
    EXPECT_EQ(list.Column(L"DisplayName").SortOrder(), 1);

    // The first row is selected and shown; the count is in the second panel.
    EXPECT_EQ(list.SelectedItem().Index(), 1);
    EXPECT_EQ(w->SelectedIndex(), 1);
    EXPECT_EQ(TaskText(*w, L"Properties", L"ITEMNAME"), L"{9A-PRODUCT}");
    EXPECT_EQ(TaskText(*w, L"Properties", L"PUBLISHER"), L"Publsher: ");
    EXPECT_EQ(w->Status().PanelText(2), L"8 items..." + std::wstring(10, L' '));
    if (list.GroupsSupported()) {
        EXPECT_NE(list.Item(1).Group(), list.Item(2).Group()) << "a brace is in Other, not with the A's";
        EXPECT_EQ(list.GroupCaptions().front(), L"A");
        EXPECT_EQ(list.GroupCaptions().back(), L"Other");
    }

    // Icons arrive for every row; an entry without a command gets the invalid icon.
    cVBALSysImageList large;
    large.SetIconSizeX(32);
    ASSERT_TRUE(large.Create());
    const std::wstring folder = WriteEntryIconFiles();
    ASSERT_FALSE(folder.empty());
    const int notepad = large.ItemIndex(std::wstring(L"C:\\windows\\system32\\notepad.exe"), true);
    const int invalid = large.ItemIndex(folder + kInvalidIconFile, true);
    EXPECT_EQ(list.Item(L"" + entries.fullPath() + L"\\Uninstall\\Zebra").Icon(), notepad);
    EXPECT_EQ(list.Item(L"" + entries.fullPath() + L"\\Uninstall\\Tom").Icon(), notepad);
    EXPECT_EQ(list.Item(L"" + entries.fullPath() + L"\\Uninstall\\Stale").Icon(), invalid)
        << "no uninstall command: the invalid icon even though DisplayIcon names a file";
    EXPECT_NE(notepad, invalid);
    EXPECT_GE(w->LastRefresh().completeMs, w->LastRefresh().rowsShownMs);

    // The Details bar and the popup menu follow the shown row.
    const int tom = w->List().Item(L"" + entries.fullPath() + L"\\Uninstall\\Tom").Index();
    w->ShowDetails(tom);
    EXPECT_EQ(w->SelectedIndex(), tom);
    EXPECT_EQ(TaskText(*w, L"Properties", L"PUBLISHER"), L"Publsher: Hanna");
    EXPECT_EQ(TaskText(*w, L"Properties", L"PHONE"), L"Telephone: 555-0199");
    auto* support = w->Tasks().FindBar(L"Properties")->FindItem(L"SUPPORT");
    EXPECT_EQ(support->Tag(), L"https://tom.example/");
    // The menu shows the name as written (the ampersand is not taken as an accelerator).
    EXPECT_EQ(MenuText(w->PopupMenu(), kIdMenuUninstall), L"Uninstall Tom && Jerry");
    EXPECT_EQ(MenuText(w->PopupMenu(), kIdMenuRemove), L"Remove Tom && Jerry from your uninstall listing...");

    // Another row without a link empties the support link; rows that do not exist change nothing.
    w->ShowDetails(1);
    EXPECT_EQ(support->Tag(), L"");
    EXPECT_EQ(support->ToolTipText(), L"");
    w->ShowDetails(0);
    w->ShowDetails(99);
    EXPECT_EQ(w->SelectedIndex(), 1);
    w->Destroy();
}

TEST_F(MainWindowFixture, KeepsItsMinimumSizeChecksItsViewAndSavesOptionsHoweverItCloses) {
    {
        auto w = Open();
        MINMAXINFO info{};
        ::SendMessageW(w->hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        const int dpi = static_cast<int>(::GetDpiForWindow(w->hwnd()));
        EXPECT_EQ(info.ptMinTrackSize.x, ::MulDiv(480, dpi, 96));
        EXPECT_EQ(info.ptMinTrackSize.y, ::MulDiv(360, dpi, 96));
        // The View menu checks its mode, and offers groups only where they exist.
        HMENU view = w->ViewMenu();
        ListView& list = w->List();
        const bool groups = list.GroupsSupported();
        EXPECT_EQ(::GetMenuItemCount(view), groups ? 5 : 3) << "Show in Groups only where groups exist";
        ::SendMessageW(w->hwnd(), WM_COMMAND, kIdViewList, 0);
        EXPECT_EQ(list.View(), 3);
        EXPECT_TRUE(MenuState(view, kIdViewList) & MF_CHECKED);
        EXPECT_FALSE(MenuState(view, kIdViewIcons) & MF_CHECKED);
        if (groups) {
            EXPECT_TRUE(MenuState(view, kIdViewGroups) & MF_GRAYED) << "a list has no groups";
            ::SendMessageW(w->hwnd(), WM_COMMAND, kIdViewDetails, 0);
            ::SendMessageW(w->hwnd(), WM_COMMAND, kIdViewGroups, 0);
            EXPECT_FALSE(modOptions::Current().ShowGroups);
            EXPECT_FALSE(list.GroupsEnabled());
            ::SendMessageW(w->hwnd(), WM_COMMAND, kIdViewList, 0);
        }
        // Logging off: the process may end right after WM_ENDSESSION, without WM_DESTROY.
        EXPECT_EQ(::SendMessageW(w->hwnd(), WM_QUERYENDSESSION, 0, 0), TRUE);
        ::SendMessageW(w->hwnd(), WM_ENDSESSION, TRUE, 0);
        EXPECT_EQ(StoredView(), 3u);
        w->Destroy();
    }
    auto w = Open();
    EXPECT_EQ(w->List().View(), 3) << "the saved view comes back";
    ::SendMessageW(w->hwnd(), WM_COMMAND, kIdViewDetails, 0);
    ::SendMessageW(w->hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);  // the system menu's Close, Alt+F4
    EXPECT_EQ(w->hwnd(), nullptr);
    EXPECT_EQ(StoredView(), 1u);
}

TEST_F(MainWindowFixture, ARefreshDuringARefreshReplacesItAndCommandsFollowTheirRow) {
    SeedMany(2000);
    auto w = std::make_unique<frmMain>(SettingsFor({L"Many"}));
    ASSERT_TRUE(w->Load(SW_SHOWNORMAL));
    // The user picks a row while the rows are still arriving...
    ASSERT_TRUE(test::PumpUntil([&] { return w->List().Count() >= 2; }, 60000));
    // (Usually rows are still arriving here; on a loaded machine they may all be in already, and
    // the row must be followed all the same.) A click selects the row, then the window is told.
    w->List().Item(2).SetSelected(true);
    w->ShowDetails(2);
    const std::wstring key = w->List().Item(2).Key();
    ASSERT_TRUE(WaitForListing(*w));
    // ...and the commands still act on that row, wherever the other rows put it.
    EXPECT_EQ(w->List().Item(w->SelectedIndex()).Key(), key);
    EXPECT_TRUE(w->List().Item(key).Selected());
    EXPECT_EQ(w->List().Count(), 2000);

    // A refresh started while another is in flight: the list ends as after one refresh.
    w->pRefresh();
    ASSERT_TRUE(test::PumpUntil([&] { return w->List().Count() > 0; }, 60000));
    w->pRefresh();
    ASSERT_TRUE(WaitForListing(*w));
    EXPECT_EQ(w->List().Count(), 2000);
    EXPECT_EQ(w->Status().PanelText(2), L"2000 items..." + std::wstring(10, L' '));
    const auto names = Names(*w);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1, nullptr,
                                 nullptr, 0) == CSTR_LESS_THAN;
    }));

    // A command that must not run beside a refresh ends it first; the rows that came stay counted.
    w->ShowDetails(1);
    w->pRefresh();
    ASSERT_TRUE(test::PumpUntil([&] { return w->List().Count() > 0; }, 60000));
    w->CancelRefresh();
    EXPECT_FALSE(w->RefreshInFlight());
    EXPECT_EQ(w->RefreshState(), 3);
    EXPECT_EQ(w->Status().PanelText(2), std::to_wstring(w->List().Count()) + L" items..." + std::wstring(10, L' '));
    EXPECT_EQ(w->SelectedIndex(), 1);
    EXPECT_TRUE(w->List().Item(1).Selected());
    w->Destroy();
}

// Wine has no network share that hangs; an icon lookup that blocks stands in for one (the
// reading thread probes and looks up icons, so this is where an unreachable path would stall).
TEST_F(MainWindowFixture, AnIconFileThatNeverAnswersStallsNeitherTheWindowNorItsClosing) {
    SeedEntries();
    auto settings = SettingsFor({L"Uninstall"});
    HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> stalled{0};
    settings.iconLookup = [&, release](const std::wstring& file) {
        if (file.find(L"notepad.exe") != std::wstring::npos) {
            ++stalled;
            ::WaitForSingleObject(release, 30000);
        }
        return 0;
    };
    auto w = std::make_unique<frmMain>(settings);
    ASSERT_TRUE(w->Load(SW_SHOWNORMAL));
    ASSERT_TRUE(test::PumpUntil([&] { return stalled > 0; }, 30000));
    // Every row and tip is in and the window answers, while the icon lookup hangs.
    ASSERT_TRUE(test::PumpUntil([&] { return w->RefreshState() == 2; }, 30000));
    EXPECT_EQ(w->List().Count(), 5);
    EXPECT_FALSE(w->List().Item(1).ToolTipText().empty());
    DWORD_PTR answer = 0;
    std::thread probe([&] { ::SendMessageTimeoutW(w->hwnd(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer); answer = 1; });
    EXPECT_TRUE(test::PumpUntil([&] { return answer == 1; }, 5000));
    probe.join();
    // Closing does not wait for the lookup.
    const ULONGLONG before = ::GetTickCount64();
    ::SendMessageW(w->hwnd(), WM_CLOSE, 0, 0);
    w.reset();
    EXPECT_LT(::GetTickCount64() - before, 3000u);
    ::SetEvent(release);
    ::CloseHandle(release);
}

TEST_F(MainWindowFixture, FollowsTheDpiOfItsMonitor) {
    auto w = Open();
    ListView& list = w->List();
    const int dpi = static_cast<int>(::GetDpiForWindow(w->hwnd()));
    RECT r{};
    ::GetWindowRect(w->hwnd(), &r);
    // The list's font is the icon-title font at the window's DPI.
    const auto fontHeight = [&](int atDpi) {
        LOGFONTW want{};
        ::SystemParametersInfoForDpi(SPI_GETICONTITLELOGFONT, sizeof(want), &want, 0, static_cast<UINT>(atDpi));
        LOGFONTW got{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(list.hwnd(), WM_GETFONT, 0, 0)), sizeof(got), &got);
        return std::make_pair(want.lfHeight, got.lfHeight);
    };
    EXPECT_EQ(fontHeight(dpi).first, fontHeight(dpi).second);

    // Moved to a monitor at 1.5 times the DPI (the message the system sends then).
    const int nameWidth = list.Column(1).WidthTwips() * dpi / 1440;
    const int next = dpi * 3 / 2;
    RECT suggested{r.left, r.top, r.left + ::MulDiv(900, next, 96), r.top + ::MulDiv(620, next, 96)};
    ::SendMessageW(w->hwnd(), WM_DPICHANGED, MAKEWPARAM(next, next), reinterpret_cast<LPARAM>(&suggested));
    const int newWidth = static_cast<int>(::SendMessageW(list.hwnd(), LVM_GETCOLUMNWIDTH, 0, 0));
    EXPECT_NEAR(newWidth, nameWidth * 3 / 2, 2);
    EXPECT_EQ(w->Status().PanelMinWidth(2), ::MulDiv(120, next, 96));
    EXPECT_EQ(fontHeight(next).first, fontHeight(next).second);
    w->Destroy();
}

TEST_F(MainWindowFixture, AControlThatCannotBeCreatedMakesLoadFailWithAMessage) {
    // The list's container class, taken by a window class that refuses to be created: the
    // system's answer when a control cannot be made.
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        return m == WM_NCCREATE ? FALSE : ::DefWindowProcW(h, m, wp, lp);
    };
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ArdmoorListView";
    ASSERT_NE(::RegisterClassExW(&wc), 0);
    test::ScriptedPrompter prompter;
    auto settings = SettingsFor({L"Uninstall"});
    settings.prompter = &prompter;
    frmMain w(settings);
    EXPECT_FALSE(w.Load(SW_SHOWNORMAL));
    EXPECT_EQ(w.hwnd(), nullptr) << "no half-built window";
    ASSERT_EQ(prompter.Kinds(), std::vector<std::string>{"message"});
    EXPECT_NE(prompter.asked[0].text.find(L"could not create its main window"), std::wstring::npos);
    ::UnregisterClassW(L"ArdmoorListView", ::GetModuleHandleW(nullptr));
}
