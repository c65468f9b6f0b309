// The install wizard of the real ardmoor.exe, driven from outside as a user would: fixture drives
// of three kinds (defined in the test prefix for the test's length), setup programs named as users
// name them and a zip archive holding two; Stop, Refresh, browsing, Finish on a program and on an
// archive, and closing. (Pages, buttons and messages are checked step by step in-process.)
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>

#include "ardmoor_app.h"
#include "fixture_drive.h"
#include "platform/strings.h"
#include "remote_accessible.h"
#include "remote_ui.h"
#include "test_support.h"
#include "zip_builder.h"

using namespace ardmoor::test;
using ardmoor::zip::test::BuildZip;

namespace {

const wchar_t* kWizard = L"Install Software Wizard";
// The wizard's control ids.
constexpr int kPageFirst = 502, kNext = 511, kFixed = 522, kCD = 523, kRemovable = 524, kZip = 525,
              kPicture1 = 532, kImage1 = 531, kStop = 533, kRefresh = 534, kLabel4 = 542, kText1 = 544, kBrowse = 545,
              kPicture4 = 552, kProgress = 553;
const std::wstring kUninstall = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::wstring TempPath(const wchar_t* name) {
    wchar_t temp[MAX_PATH + 1];
    return std::wstring(temp, ::GetTempPathW(MAX_PATH + 1, temp)) + name;
}
const std::wstring kSetupLog = TempPath(L"ardmoor-fake-setup.log");
const std::wstring kRelease = TempPath(L"ardmoor-fake-setup.release");

// The lines the fake setup program logged: "<its path>|<its command line>".
std::vector<std::wstring> SetupRuns() {
    const std::string bytes = ReadFileBytes(kSetupLog);
    std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    std::vector<std::wstring> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find(L"\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::wstring::npos ? text.size() : end + 2;
    }
    return lines;
}

// Three drives with setup programs and decoys; none of their letters comes before C:.
struct Drives {
    const std::wstring base = ExeFolder() + L"..\\test-drives\\";
    const std::string setup = ReadFileBytes(FixtureExe(L"fake_setup"));
    bool fresh = [this] {
        for (const wchar_t* d : {L"wizard-fixed", L"wizard-cd", L"wizard-removable"}) RemoveTree(base + d);
        ::DeleteFileW(kSetupLog.c_str());
        ::DeleteFileW(kRelease.c_str());
        return true;
    }();
    FixtureDrive removable{L'Q', base + L"wizard-removable", DRIVE_REMOVABLE};
    FixtureDrive cd{L'R', base + L"wizard-cd", DRIVE_CDROM};
    FixtureDrive fixed{L'W', base + L"wizard-fixed", DRIVE_FIXED};

    void Fill() {
        ASSERT_FALSE(setup.empty());
        ASSERT_TRUE(removable.ok() && cd.ok() && fixed.ok()) << "Wine's mount manager did not define the drives";
        // One decoy (unins000.exe); the in-process search has the rest.
        for (const wchar_t* f : {L"W:\\Setup.EXE", L"W:\\apps\\INSTALL.exe", L"W:\\apps\\deep\\mysetup_v2.exe",
                                 L"W:\\unins000.exe", L"R:\\cd-setup\\setup.exe", L"Q:\\install.exe"})
            ASSERT_TRUE(WriteFileBytes(f, setup));
        const std::string readme(3 << 20, 'r');  // big enough for several progress reports
        ASSERT_TRUE(WriteFileBytes(L"W:\\archives\\pack.zip",
                                   BuildZip({{"readme.txt", readme}, {"disk1/", ""}, {"disk1/install.exe", setup},
                                             {"tools/setup2.exe", setup}})));
        // Enough folders that a search is still running when the test presses Stop.
        for (int i = 0; i < 20; ++i) {
            const std::wstring bulk = L"W:\\bulk" + std::to_wstring(i);
            ::CreateDirectoryW(bulk.c_str(), nullptr);
            for (int j = 0; j < 30; ++j) ::CreateDirectoryW((bulk + L"\\f" + std::to_wstring(j)).c_str(), nullptr);
        }
    }
    ~Drives() { WriteFileBytes(kRelease, "go"); }  // no fake setup program outlives the test
};

// The real program with its wizard open.
struct App : ArdmoorApp {
    HWND wizard = nullptr;

    void OpenWizard() {
        ASSERT_TRUE(AccessibleDoDefaultAction(tasks, L"Install software on your computer..."));
        wizard = app.WaitForWindow(L"ArdmoorModalWindow", kWizard, 20s);
        ASSERT_NE(wizard, nullptr);
        EXPECT_FALSE(::IsWindowEnabled(main)) << "the wizard is modal";
    }
    HWND Control(int id) const {
        std::pair<int, HWND> ctx{id, nullptr};
        ::EnumChildWindows(
            wizard,
            [](HWND h, LPARAM lp) -> BOOL {
                auto* c = reinterpret_cast<std::pair<int, HWND>*>(lp);
                if (::GetDlgCtrlID(h) != c->first) return TRUE;
                c->second = h;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&ctx));
        return ctx.second;
    }
    std::wstring Text(int id) const { return WindowText(Control(id)); }
    bool Enabled(int id) const { return ::IsWindowEnabled(Control(id)) != FALSE; }
    void Click(int id) const { ::PostMessageW(Control(id), BM_CLICK, 0, 0); }
    int Page() const {
        for (int i = 0; i < 5; ++i)
            if (::IsWindowVisible(Control(kPageFirst + i))) return i;
        return -1;
    }
    // The page in front, with Next's caption set (the page comes to the front first).
    bool WaitPage(int page) const {
        const wchar_t* caption = page < 3 ? L"&Next >" : L"&Finish";
        return WaitUntil([&] { return Page() == page && Text(kNext) == caption; }, 20s);
    }
    // What the wizard shows, for failure messages.
    std::string State() const {
        std::wstring rows;
        for (const auto& r : Rows()) rows += L" [" + r + L"]";
        return ardmoor::WideToUtf8(L"page " + std::to_wstring(Page()) + L", next " + (Enabled(kNext) ? L"on" : L"off") +
                                   L", stop " + (Enabled(kStop) ? L"on" : L"off") + L", status '" + Text(kPicture1) +
                                   L"', rows" + rows);
    }
    // Every kind of drive and zip archives, or no kind of drive.
    void CheckKinds(bool on) const {
        for (int id : {kFixed, kCD, kRemovable, kZip}) {
            const bool checked = ::SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
            if (checked != on && (on || id != kZip)) ::SendMessageW(Control(id), BM_CLICK, 0, 0);
        }
    }
    void SetText1(const std::wstring& text) const {
        ::SendMessageW(Control(kText1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    HWND List() const { return FindChild(wizard, L"SysListView32"); }
    // "name|folder" of every row.
    std::vector<std::wstring> Rows() const {
        RemoteListView list(List());
        std::vector<std::wstring> rows;
        for (int i = 0; i < list.Count(); ++i) rows.push_back(list.Text(i, 0) + L"|" + list.Text(i, 2));
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    // Waits for a search to end: Refresh is enabled again.
    bool WaitSearchDone() const { return WaitUntil([&] { return Enabled(kRefresh) && !Enabled(kStop); }, 60s); }
    void Shot(const wchar_t* name) const { SaveWindowScreenshot(wizard, ScreenshotFolder() + name); }
    // Opens the wizard and goes to the search page with every kind of drive (and zips) or none.
    void Search(bool everyKind) {
        ASSERT_NO_FATAL_FAILURE(OpenWizard());
        Click(kNext);
        ASSERT_TRUE(WaitPage(1)) << State();
        CheckKinds(everyKind);
        Click(kNext);
        ASSERT_TRUE(WaitPage(2)) << State();
    }
    // Answers the refresh question that follows the wizard.
    void AnswerRefresh(int button) const {
        ASSERT_NO_FATAL_FAILURE(Answer(L"Install Software", L"Would you like to refresh the listing now?", button));
        ASSERT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(main) && !FindDialog(app.pid(), L"Install Software"); }));
        EXPECT_FALSE(::IsWindow(wizard));
    }
};

const std::vector<std::wstring> kFoundOnFixtureDrives = {
    L"INSTALL.exe|W:\\apps\\", L"Setup.EXE|W:\\", L"install.exe|Q:\\", L"mysetup_v2.exe|W:\\apps\\deep\\",
    L"pack.zip|W:\\archives\\", L"pack.zip|W:\\archives\\",  // holds two setup programs
    L"setup.exe|R:\\cd-setup\\"};

// The rows of the fixture drives among all (drive C: has programs of its own).
std::vector<std::wstring> FixtureRows(const std::vector<std::wstring>& rows) {
    std::vector<std::wstring> out;
    for (const auto& r : rows)
        if (r.find(L"|C:\\") == std::wstring::npos) out.push_back(r);
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

TEST(WizardEndToEnd, SearchesTheChosenDrivesStopsRefreshesBrowsesStartsAChosenProgramAndCloses) {
    Drives drives;
    ASSERT_NO_FATAL_FAILURE(drives.Fill());
    App w;
    ASSERT_NO_FATAL_FAILURE(w.Start());
    ASSERT_NO_FATAL_FAILURE(w.Search(true));
    w.Shot(L"wizard-2-search.bmp");

    // Stopped at once: what was found so far stays.
    ASSERT_TRUE(WaitUntil([&] { return w.Enabled(kStop); }, 20s)) << "Stop is on while searching";
    w.Click(kStop);
    ASSERT_TRUE(w.WaitSearchDone());
    EXPECT_LT(FixtureRows(w.Rows()).size(), kFoundOnFixtureDrives.size()) << "the search ran to its end";
    EXPECT_TRUE(w.Enabled(kNext)) << w.State();

    // Refresh: the whole search, setup programs of every kind of drive and no decoys.
    w.Click(kRefresh);
    ASSERT_TRUE(WaitUntil([&] { return FixtureRows(w.Rows()).size() == kFoundOnFixtureDrives.size(); }, 60s)) << w.State();
    ASSERT_TRUE(w.WaitSearchDone());
    EXPECT_EQ(FixtureRows(w.Rows()), kFoundOnFixtureDrives);
    EXPECT_EQ(w.Text(kLabel4), std::to_wstring(w.Rows().size()) + L" files found...");
    EXPECT_NE(::SendMessageW(w.Control(kImage1), STM_GETICON, 0, 0), 0) << "the drive's icon is shown";

    // A click chooses an item, and so does an arrow key.
    w.Click(kNext);
    ASSERT_TRUE(w.WaitPage(3)) << w.State();
    RemoteListView list(w.List());
    const auto names = list.Column(0);
    const int setupRow = static_cast<int>(std::find(names.begin(), names.end(), L"Setup.EXE") - names.begin());
    ASSERT_LT(setupRow, list.Count());
    ::SetForegroundWindow(w.wizard);
    ClickAt(list.RowPoint(setupRow));
    ASSERT_TRUE(WaitUntil([&] { return w.Text(kText1) == L"W:\\Setup.EXE"; }, 10s));
    PressKey(setupRow == 0 ? VK_DOWN : VK_UP);
    ASSERT_TRUE(WaitUntil([&] { return list.Selected() >= 0 && list.Selected() != setupRow; }, 10s));
    const int moved = list.Selected();
    EXPECT_TRUE(WaitUntil([&] { return w.Text(kText1) == list.Text(moved, 2) + list.Text(moved, 0); }, 10s))
        << ardmoor::WideToUtf8(w.Text(kText1));

    // Browse: the system's open dialog, answered here.
    w.Click(kBrowse);
    HWND open = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (open = FindDialog(w.app.pid(), L"Open...")) != nullptr; }, 20s));
    HWND edit = ::GetDlgItem(open, edt1) ? ::GetDlgItem(open, edt1) : FindChild(::GetDlgItem(open, cmb13), L"Edit");
    ASSERT_NE(edit, nullptr);
    ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"W:\\apps\\INSTALL.exe"));
    PressDialogButton(open, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return _wcsicmp(w.Text(kText1).c_str(), L"W:\\apps\\INSTALL.exe") == 0; }, 10s));

    // Finish on a program: started, not waited for; the refresh question follows at once.
    w.SetText1(L"W:\\Setup.EXE");
    w.Click(kNext);
    ASSERT_TRUE(WaitUntil([&] { return SetupRuns().size() == 1; }, 20s)) << "the setup program did not start";
    EXPECT_EQ(SetupRuns()[0].substr(0, SetupRuns()[0].find(L'|')), L"W:\\Setup.EXE");
    TestRegistryKey installed(HKEY_LOCAL_MACHINE, kUninstall);  // what the setup program does meanwhile
    installed.SetString(L"", L"DisplayName", L"Wizard Test Program");
    ASSERT_NO_FATAL_FAILURE(w.AnswerRefresh(IDNO));  // while the setup program still runs
    EXPECT_EQ(w.RefreshState(), 3) << "No starts no refresh";
    EXPECT_FALSE(w.Listed(L"Wizard Test Program"));
    WriteFileBytes(kRelease, "go");

    // Closing during a search stops it, Esc closes the wizard too; the refresh question follows each.
    ASSERT_NO_FATAL_FAILURE(w.Search(true));
    ASSERT_TRUE(WaitUntil([&] { return w.Enabled(kStop); }, 20s));
    w.Click(IDCANCEL);
    ASSERT_NO_FATAL_FAILURE(w.AnswerRefresh(IDNO));
    ASSERT_NO_FATAL_FAILURE(w.OpenWizard());
    ASSERT_TRUE(WaitUntil([&] { return ::SetForegroundWindow(w.wizard) && ::GetForegroundWindow() == w.wizard; }, 5s));
    PressKey(VK_ESCAPE);
    ASSERT_NO_FATAL_FAILURE(w.AnswerRefresh(IDNO));
    w.Close();
}

TEST(WizardEndToEnd, FinishOnAnArchiveExtractsItWithProgressRunsItsSetupProgramAndWaits) {
    Drives drives;
    ASSERT_NO_FATAL_FAILURE(drives.Fill());
    App w;
    ASSERT_NO_FATAL_FAILURE(w.Start());
    ASSERT_NO_FATAL_FAILURE(w.Search(false));
    ASSERT_TRUE(w.WaitSearchDone());
    EXPECT_EQ(RemoteListView(w.List()).Count(), 0) << "no kind of drive: nothing is listed";
    w.Click(kNext);
    ASSERT_TRUE(w.WaitPage(3)) << w.State();

    w.SetText1(L"W:\\archives\\pack.zip");
    w.Click(kNext);
    ASSERT_TRUE(WaitUntil([&] { return SetupRuns().size() == 1; }, 30s)) << "the archive's setup program did not run";
    // The setup program runs from the archive's own new folder, and the wizard waits for it.
    const std::wstring ran = SetupRuns()[0].substr(0, SetupRuns()[0].find(L'|'));
    const std::wstring folder = ran.substr(0, ran.size() - std::wstring(L"disk1\\install.exe").size());
    EXPECT_EQ(ran.substr(folder.size()), L"disk1\\install.exe");
    EXPECT_EQ(_wcsnicmp(folder.c_str(), TempPath(L"Ardmoor\\pack-").c_str(), TempPath(L"Ardmoor\\pack-").size()), 0)
        << ardmoor::WideToUtf8(folder);
    EXPECT_EQ(w.Page(), 4);
    EXPECT_FALSE(::IsWindowEnabled(w.wizard)) << "out of use while the setup program runs";
    EXPECT_EQ(w.Text(kPicture4), L"Extracting setup2.exe...") << "the last file extracted";
    HWND bar = FindChild(w.Control(kProgress), L"msctls_progress32");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(::SendMessageW(bar, PBM_GETPOS, 0, 0), ::SendMessageW(bar, PBM_GETRANGE, FALSE, 0)) << "full";
    EXPECT_GT(::SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 0);
    w.Shot(L"wizard-4-finish.bmp");
    PumpFor(500);
    EXPECT_EQ(FindDialog(w.app.pid(), L"Install Software"), nullptr) << "the wizard waits for the setup program";

    // The setup program's entry, then its end; Yes refreshes the listing.
    TestRegistryKey installed(HKEY_LOCAL_MACHINE, kUninstall);
    installed.SetString(L"", L"DisplayName", L"Wizard Test Program");
    WriteFileBytes(kRelease, "go");
    ASSERT_NO_FATAL_FAILURE(w.AnswerRefresh(IDYES));
    EXPECT_TRUE(WaitUntil([&] { return w.RefreshState() == 3 && w.Listed(L"Wizard Test Program"); }, 30s));
    EXPECT_NE(::GetFileAttributesW((folder + L"disk1\\install.exe").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the extracted files stay";
    w.Close();
    RemoveTree(folder.substr(0, folder.size() - 1));
}
