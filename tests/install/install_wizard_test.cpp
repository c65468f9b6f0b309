// The install wizard in process: its pages and buttons, the search over real folders standing in
// for drives of each kind, stopping and closing meanwhile, and Finish on a program. Options go to a
// test-owned registry key.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <utility>

#include "app/modOptions.h"
#include "install/install_wizard.h"
#include "install/setup_files.h"
#include "install_test_doubles.h"
#include "test_support.h"

using namespace ardmoor;
using namespace ardmoor::test;

namespace {

// Three folders standing in for a fixed, a CD-ROM and a removable drive, with setup programs and
// decoys, and a network drive that is never searched.
struct Drives {
    TempDir dir;
    std::wstring fixed = dir / L"fixed\\", cd = dir / L"cd\\", floppy = dir / L"floppy\\", net = dir / L"net\\";
    int listed = 0;  // how often the drives were listed

    Drives() {
        for (const wchar_t* f : {L"fixed\\Setup.EXE", L"fixed\\apps\\INSTALL.exe", L"fixed\\apps\\deep\\mysetup_v2.exe",
                                 L"fixed\\apps\\uninstall.exe", L"fixed\\unins000.exe", L"fixed\\readme.exe",
                                 L"fixed\\setup.txt", L"cd\\disk1\\setup.exe", L"floppy\\install.exe",
                                 L"net\\setup.exe"})
            EXPECT_TRUE(WriteFileBytes(dir / f, "MZ"));
        ::CreateDirectoryW((dir / L"fixed\\folder-setup.exe").c_str(), nullptr);  // a folder is never listed
    }
    clsFind::DriveSource Source() {
        return [this] {
            ++listed;
            return std::vector<LogicalDrive>{
                {floppy, DRIVE_REMOVABLE}, {fixed, DRIVE_FIXED}, {cd, DRIVE_CDROM}, {net, DRIVE_REMOTE}};
        };
    }
};

}  // namespace

// (The captions and buttons of every page, Stop and Refresh are checked end to end.)
TEST(InstallWizard, SearchesTheCheckedDriveKindsOnlyWhenEnteringTheSearchPageFromTheOptions) {
    Drives drives;
    WizardRig rig(drives.Source());
    InstallWizard& w = rig.wizard;
    w.Next();
    EXPECT_EQ(w.Page(), 1);
    EXPECT_EQ(drives.listed, 0) << "no search before the search page";
    w.SetSearchCD(0);  // the boxes as the user leaves them are saved and used
    w.Next();
    EXPECT_EQ(drives.listed, 1);
    EXPECT_EQ(rig.Stored(L"Fixed"), 1u);
    EXPECT_EQ(rig.Stored(L"CD"), 0u);
    EXPECT_EQ(rig.Stored(L"IncludeZip"), 0u);
    EXPECT_EQ(rig.Keys(), (std::vector<std::wstring>{drives.fixed + L"Setup.EXE", drives.fixed + L"apps\\INSTALL.exe",
                                                   drives.fixed + L"apps\\deep\\mysetup_v2.exe",
                                                   drives.floppy + L"install.exe"}))
        << "fixed and removable; not the CD-ROM, not the network drive; no decoys";
    const auto it = std::find_if(w.Items().begin(), w.Items().end(), [](auto& i) { return i.name == L"INSTALL.exe"; });
    ASSERT_NE(it, w.Items().end());
    EXPECT_EQ(it->folder, drives.fixed + L"apps\\");
    EXPECT_EQ(it->fullPath, it->folder + it->name);
    EXPECT_EQ(it->size, 2u);
    EXPECT_EQ(rig.view.drivesShown, (std::vector<std::wstring>{drives.floppy, drives.fixed, drives.cd, drives.net}));

    w.Next();
    EXPECT_FALSE(w.NextEnabled()) << "Finish waits for a file";
    w.ChooseItem(drives.fixed, L"Setup.EXE");
    EXPECT_EQ(w.ChosenFile(), drives.fixed + L"Setup.EXE");
    EXPECT_TRUE(w.NextEnabled());
    w.SetChosenFile(L"");
    EXPECT_FALSE(w.NextEnabled());

    // Back to the search page keeps the list and does not search again...
    w.Back();
    EXPECT_EQ(w.Items().size(), 4u);
    EXPECT_EQ(drives.listed, 1);
    // ...while Next from the options page always starts afresh: only the CD-ROM now.
    w.Back();
    w.SetSearchFixed(0);
    w.SetSearchFloppy(0);
    w.SetSearchCD(1);
    w.Next();
    EXPECT_EQ(drives.listed, 2);
    EXPECT_EQ(rig.Keys(), std::vector<std::wstring>{drives.cd + L"disk1\\setup.exe"});
    EXPECT_EQ(rig.view.itemsAdded, 1) << "the list was cleared before the new search";
    EXPECT_EQ(w.FoundCountText(), L"1 files found...");

    // Two quick clicks on Next from the first page: the second is served while the first shows its
    // page. Each turns one page, and the search runs once.
    w.Back();
    w.Back();
    bool clickedAgain = false;
    rig.view.onPump = [&] {
        if (!std::exchange(clickedAgain, true)) w.Next();
    };
    w.Next();
    EXPECT_EQ(w.Page(), InstallWizard::kPageSearch);
    EXPECT_EQ(drives.listed, 3) << "searched once";
}

TEST(InstallWizard, StopKeepsWhatWasFoundAndClosingDuringASearchLeavesTheControlsAlone) {
    Drives drives;
    WizardRig rig(drives.Source());
    InstallWizard& w = rig.wizard;
    w.Next();
    // The user presses Stop once the first program is listed.
    rig.view.onPump = [&] {
        if (w.Searching() && !w.Items().empty()) {
            EXPECT_FALSE(w.NextEnabled());
            EXPECT_FALSE(w.BackEnabled());
            EXPECT_FALSE(w.RefreshEnabled());
            w.Stop();
        }
    };
    w.Next();
    EXPECT_FALSE(w.Searching());
    ASSERT_EQ(w.Items().size(), 1u) << "the search ended at the stop";
    EXPECT_TRUE(w.NextEnabled());
    EXPECT_TRUE(w.RefreshEnabled());

    // A new search, and the window closed while it runs.
    w.Back();
    rig.view.onPump = [&] {
        if (w.Searching()) w.QueryClose();
    };
    w.Next();
    EXPECT_FALSE(w.Searching());
    EXPECT_TRUE(w.Closing());
    EXPECT_TRUE(w.StopEnabled()) << "the last step of the search leaves the controls alone";
    EXPECT_NE(w.SearchStatus(), L"Done looking for files... click Next to continue...");
    w.Next();
    EXPECT_EQ(w.Page(), InstallWizard::kPageSearch) << "a closing wizard takes no more steps";
}

TEST(InstallWizard, FinishExplainsWhatItCannotStartAndStartsAProgramOnceWithoutWaiting) {
    TempDir dir;
    const std::wstring program = dir / L"Program Files\\setup.exe";
    ASSERT_TRUE(WriteFileBytes(dir / L"notes.txt", "x"));
    ASSERT_TRUE(WriteFileBytes(program, "MZ"));
    Drives drives;
    WizardRig rig(drives.Source());
    InstallWizard& w = rig.wizard;
    rig.ToChoice();
    const auto finishWith = [&](const std::wstring& path) {
        rig.prompter.messages.clear();
        w.SetChosenFile(path);
        w.Next();
        EXPECT_EQ(w.Page(), 3) << "back on the choice";
        EXPECT_EQ(w.ChosenFile(), path) << "the path is kept";
        EXPECT_FALSE(rig.view.closed);
        EXPECT_TRUE(w.BackEnabled());
        EXPECT_STREQ(w.NextCaption(), L"&Finish");
        return rig.prompter.messages.size() == 1 ? rig.prompter.messages[0] : ScriptedInstallPrompter::Shown{};
    };

    const auto missing = finishWith(dir / L"gone.exe");
    EXPECT_NE(missing.text.find(L"does not exists"), std::wstring::npos);
    EXPECT_EQ(missing.title, L"Install Software Wizard");
    EXPECT_EQ(missing.type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));

    const auto other = finishWith(dir / L"notes.txt");
    EXPECT_NE(other.text.find(L"not a setup program or a zip archive"), std::wstring::npos);

    rig.runner.answer = Error{ERROR_BAD_EXE_FORMAT};
    const auto failed = finishWith(program);
    EXPECT_NE(failed.text.find(L"could not be started"), std::wstring::npos);
    EXPECT_NE(failed.text.find(program), std::wstring::npos);

    // A cancelled browse leaves the text box (a chosen file is taken end to end).
    w.Browse();
    EXPECT_EQ(w.ChosenFile(), program);
    EXPECT_EQ(rig.prompter.browses, 1);

    // A double-click on an item chooses it and finishes: started once, quoted, not waited for.
    rig.runner.answer = Status{};
    rig.prompter.messages.clear();
    w.ChooseItem(dir / L"Program Files\\", L"setup.exe", true);
    EXPECT_EQ(w.Page(), 4);
    EXPECT_TRUE(rig.view.closed);
    EXPECT_TRUE(rig.prompter.messages.empty());
    w.Next();
    ASSERT_EQ(rig.runner.runs.size(), 2u) << "never started twice";
    EXPECT_EQ(rig.runner.runs[1].command, L"\"" + program + L"\"") << "quoted: the path holds a space";
    EXPECT_EQ(rig.runner.runs[1].show, SW_SHOWNORMAL);
    EXPECT_FALSE(rig.runner.runs[0].waited || rig.runner.runs[1].waited);
}

TEST(SetupFiles, NameRuleExtensionsAndShownValues) {
    for (const wchar_t* yes : {L"Setup.EXE", L"INSTALL.exe", L"mysetup_v2.exe", L"Install Me.Exe"})
        EXPECT_TRUE(IsSetupProgramName(yes)) << std::wstring(yes).size();
    for (const wchar_t* no : {L"uninstall.exe", L"unins000.exe", L"readme.exe", L"setup.txt", L"setup.exe.zip",
                              L"UnInstallSetup.exe", L"setup"})
        EXPECT_FALSE(IsSetupProgramName(no)) << std::wstring(no).size();
    EXPECT_EQ(FormatSize(3000000000ULL), L"3,000,000,000") << "not a negative number";
}
