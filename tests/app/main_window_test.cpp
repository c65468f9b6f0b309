// The main window in-process, over entries and options in test-owned registry keys.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/frmMain.h"
#include "app/main_commands.h"
#include "app/modOptions.h"
#include "catalogue/file_helpers.h"
#include "catalogue/icon_files.h"
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
        entries.SetString(L"Uninstall\\Holder", L"DisplayName", L"Holder");
        entries.CreateSubkey(L"Uninstall\\Holder\\Inner");
        entries.SetString(L"Uninstall32\\Beta", L"DisplayName", L"Beta 32-bit");
        entries.SetString(L"Uninstall32\\Beta", L"UninstallString", L"C:\\b\\u.exe");
    }

    std::unique_ptr<frmMain> Open() {
        frmMain::Settings settings;
        settings.uninstallRoots = {entries.fullPath() + L"\\Uninstall", entries.fullPath() + L"\\Uninstall32"};
        settings.optionsRoot = options.fullPath() + L"\\Ardmoor";
        auto window = std::make_unique<frmMain>(settings);
        EXPECT_TRUE(window->Load(SW_SHOWNORMAL));
        return window;
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

    void TearDown() override {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
};

}  // namespace

TEST_F(MainWindowFixture, RefreshListsEntriesOfBothViewsSortedWithDetailsAndCount) {
    SeedEntries();
    auto w = Open();
    ListView& list = w->List();
    // The user's sort rules: case does not count, punctuation comes first.
    EXPECT_EQ(Names(*w), (std::vector<std::wstring>{L"{9A-PRODUCT}", L"Apple Quiet", L"Beta 32-bit", L"Stale Entry",
                                                    L"Tom & Jerry", L"zebra paint"}));
    const ListItem quiet = list.Item(2);
    EXPECT_EQ(quiet.Key(), entries.fullPath() + L"\\Uninstall\\Quiet");
    EXPECT_EQ(quiet.SubItem(1), L"C:\\q.exe /S");
    EXPECT_EQ(quiet.ToolTipText(),
              L"Name: Apple Quiet\r\nPublisher: \r\nVersion: \r\nHelp Link: \r\nInstall Date: \r\n"
              L"Install Location: \r\nUninstall Path: ");
    EXPECT_EQ(list.Item(3).Key(), entries.fullPath() + L"\\Uninstall32\\Beta");
    EXPECT_EQ(list.Item(L"" + entries.fullPath() + L"\\Uninstall\\{9A-PRODUCT}").SubItem(1),
              L"MsiExec.exe /X{9A-PRODUCT}");
    EXPECT_EQ(list.Column(L"DisplayName").SortOrder(), 1);

    // The first row is selected and shown; the count is in the second panel.
    EXPECT_EQ(list.SelectedItem().Index(), 1);
    EXPECT_EQ(w->SelectedIndex(), 1);
    EXPECT_EQ(TaskText(*w, L"Properties", L"ITEMNAME"), L"{9A-PRODUCT}");
    EXPECT_EQ(TaskText(*w, L"Properties", L"PUBLISHER"), L"Publsher: ");
    EXPECT_EQ(TaskText(*w, L"Properties", L"PHONE"), L"Telephone: ");
    EXPECT_EQ(w->Status().PanelText(2), L"6 items..." + std::wstring(10, L' '));
    EXPECT_EQ(w->Status().PanelCount(), 3);
    EXPECT_EQ(w->Status().PanelText(1), L"Ardmoor" + std::wstring(10, L' '));

    // Groups follow the first letter where the control has groups.
    if (list.GroupsSupported()) {
        EXPECT_NE(list.Item(1).Group(), 0);
        EXPECT_NE(list.Item(1).Group(), list.Item(2).Group()) << "a brace is in Other, not with the A's";
    }

    // A second refresh gives the same list and text.
    const auto before = Names(*w);
    w->pRefresh();
    EXPECT_EQ(Names(*w), before);
    EXPECT_EQ(w->Status().PanelText(2), L"6 items..." + std::wstring(10, L' '));
    EXPECT_EQ(w->LastRefresh().rows, 6u);
    w->Destroy();
}

TEST_F(MainWindowFixture, IconsAreLookedUpOncePerFileAndStaleEntriesGetTheInvalidIcon) {
    SeedEntries();
    auto w = Open();
    ListView& list = w->List();
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
    // notepad.exe, the two icon files and the msiexec and C:\q.exe candidates: far fewer than rows x lookups.
    EXPECT_LE(w->LastRefresh().iconLookups, 6u);
    EXPECT_GT(w->LastRefresh().completeMs, 0.0);
    EXPECT_GE(w->LastRefresh().completeMs, w->LastRefresh().rowsShownMs);
    w->Destroy();
}

TEST_F(MainWindowFixture, DetailsBarAndPopupMenuFollowTheShownRow) {
    SeedEntries();
    auto w = Open();
    const int tom = w->List().Item(L"" + entries.fullPath() + L"\\Uninstall\\Tom").Index();
    w->ShowDetails(tom);
    EXPECT_EQ(w->SelectedIndex(), tom);
    EXPECT_EQ(TaskText(*w, L"Advanced", L"UNINSTALL"),
              L"Tom & Jerry\r\ncan be uninstalled by double-clicking the item or clicking here...");
    EXPECT_EQ(TaskText(*w, L"Tasks", L"REMOVE"), L"Remove Tom & Jerry from your uninstall listing...");
    EXPECT_EQ(TaskText(*w, L"Properties", L"PROPERTIES"), L"View or edit the properties for Tom & Jerry...");
    EXPECT_EQ(TaskText(*w, L"Properties", L"PUBLISHER"), L"Publsher: Hanna");
    EXPECT_EQ(TaskText(*w, L"Properties", L"PHONE"), L"Telephone: 555-0199");
    auto* support = w->Tasks().FindBar(L"Properties")->FindItem(L"SUPPORT");
    EXPECT_EQ(support->Tag(), L"https://tom.example/");
    EXPECT_EQ(support->ToolTipText(), L"https://tom.example/");
    // The menu shows the name as written (the ampersand is not taken as an accelerator).
    EXPECT_EQ(MenuText(w->PopupMenu(), kIdMenuUninstall), L"Uninstall Tom && Jerry");
    EXPECT_EQ(MenuText(w->PopupMenu(), kIdMenuRemove), L"Remove Tom && Jerry from your uninstall listing...");

    // Another row without a link empties the support link.
    w->ShowDetails(1);
    EXPECT_EQ(support->Tag(), L"");
    EXPECT_EQ(support->ToolTipText(), L"");
    EXPECT_EQ(TaskText(*w, L"Properties", L"ITEMNAME"), L"{9A-PRODUCT}");
    // Rows that do not exist change nothing.
    w->ShowDetails(0);
    w->ShowDetails(99);
    EXPECT_EQ(w->SelectedIndex(), 1);
    w->Destroy();
}

TEST_F(MainWindowFixture, ViewMenuSwitchesModesChecksAndGroupingAndColumnClicksToggleOrder) {
    SeedEntries();
    auto w = Open();
    HMENU view = w->ViewMenu();
    ListView& list = w->List();
    // First run: icons, in groups.
    EXPECT_EQ(list.View(), 0);
    EXPECT_TRUE(MenuState(view, kIdViewIcons) & MF_CHECKED);
    EXPECT_FALSE(MenuState(view, kIdViewList) & MF_CHECKED);
    const bool groups = list.GroupsSupported();
    EXPECT_EQ(MenuState(view, kIdViewGroups) != 0xFFFFFFFF, groups) << "Show in Groups only where groups exist";
    EXPECT_EQ(::GetMenuItemCount(view), groups ? 5 : 3);

    ::SendMessageW(w->hwnd(), WM_COMMAND, kIdViewList, 0);
    EXPECT_EQ(list.View(), 3);
    EXPECT_TRUE(MenuState(view, kIdViewList) & MF_CHECKED);
    EXPECT_FALSE(MenuState(view, kIdViewIcons) & MF_CHECKED);
    EXPECT_EQ(modOptions::Current().ViewMode, 3);
    if (groups) EXPECT_TRUE(MenuState(view, kIdViewGroups) & MF_GRAYED);

    ::SendMessageW(w->hwnd(), WM_COMMAND, kIdViewDetails, 0);
    EXPECT_EQ(list.View(), 1);
    EXPECT_TRUE(MenuState(view, kIdViewDetails) & MF_CHECKED);
    if (groups) {
        EXPECT_FALSE(MenuState(view, kIdViewGroups) & MF_GRAYED);
        ::SendMessageW(w->hwnd(), WM_COMMAND, kIdViewGroups, 0);
        EXPECT_FALSE(modOptions::Current().ShowGroups);
        EXPECT_FALSE(MenuState(view, kIdViewGroups) & MF_CHECKED);
        EXPECT_FALSE(list.GroupsEnabled());
    }

    // Name stands at ascending after a refresh, so the first click reverses the list.
    const auto ascending = Names(*w);
    ASSERT_TRUE(list.OnColumnClick);
    list.OnColumnClick(1);
    EXPECT_EQ(list.Column(1).SortOrder(), 2);
    auto reversed = ascending;
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(Names(*w), reversed);
    list.OnColumnClick(1);
    EXPECT_EQ(Names(*w), ascending);
    // Another column starts ascending.
    list.OnColumnClick(2);
    EXPECT_EQ(list.Column(2).SortOrder(), 1);
    w->Destroy();
}

TEST_F(MainWindowFixture, KeepsItsMinimumSizeAndSavesOptionsOnClose) {
    auto w = Open();
    MINMAXINFO info{};
    ::SendMessageW(w->hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    const UINT dpi = ::GetDpiForWindow(w->hwnd());
    EXPECT_EQ(info.ptMinTrackSize.x, ::MulDiv(480, static_cast<int>(dpi), 96));
    EXPECT_EQ(info.ptMinTrackSize.y, ::MulDiv(360, static_cast<int>(dpi), 96));
    EXPECT_EQ(w->List().Count(), 0);
    EXPECT_EQ(w->Status().PanelText(2), L"0 items..." + std::wstring(10, L' '));

    ::SendMessageW(w->hwnd(), WM_COMMAND, kIdViewDetails, 0);
    ::SendMessageW(w->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(w->hwnd(), nullptr);
    DWORD view = 99, size = sizeof(view);
    ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, (options.subPath() + L"\\Ardmoor\\Settings").c_str(), L"View",
                             RRF_RT_REG_DWORD, nullptr, &view, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(view, 1u);
}

TEST_F(MainWindowFixture, OptionsAreSavedWhenTheSystemEndsTheSessionOrTheSystemMenuCloses) {
    const auto storedView = [&] {
        DWORD view = 99, size = sizeof(view);
        ::RegGetValueW(HKEY_CURRENT_USER, (options.subPath() + L"\\Ardmoor\\Settings").c_str(), L"View",
                       RRF_RT_REG_DWORD, nullptr, &view, &size);
        return view;
    };
    {
        auto w = Open();
        ::SendMessageW(w->hwnd(), WM_COMMAND, kIdViewList, 0);
        // Logging off: the process may end right after WM_ENDSESSION, without WM_DESTROY.
        EXPECT_EQ(::SendMessageW(w->hwnd(), WM_QUERYENDSESSION, 0, 0), TRUE);
        ::SendMessageW(w->hwnd(), WM_ENDSESSION, TRUE, 0);
        EXPECT_EQ(storedView(), 3u);
        w->Destroy();
    }
    {
        auto w = Open();
        EXPECT_EQ(w->List().View(), 3) << "the saved view comes back";
        ::SendMessageW(w->hwnd(), WM_COMMAND, kIdViewDetails, 0);
        ::SendMessageW(w->hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);  // the system menu's Close, Alt+F4
        EXPECT_EQ(w->hwnd(), nullptr);
        EXPECT_EQ(storedView(), 1u);
    }
}
