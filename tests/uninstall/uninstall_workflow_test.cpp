// The uninstall workflow in-process: scripted answers, entries in test-owned keys of the current
// user (so per-user entries are what runs here), real processes (the uninstaller fixture, Wine's
// msiexec) and the real shell. The window is a plain list of rows here; the main window's own
// rows are tested in tests/app.
#include <gtest/gtest.h>

#include <windows.h>
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

#include "catalogue/arItem.h"
#include "catalogue/entry_removal.h"
#include "catalogue/file_helpers.h"
#include "dialog_answerer.h"
#include "platform/strings.h"
#include "platform/system_process_runner.h"
#include "remote_ui.h"
#include "scripted_prompter.h"
#include "test_support.h"
#include "uninstall/mShellExecute.h"
#include "uninstall/protected_folders.h"
#include "uninstall/system_shell.h"
#include "uninstall/uninstall_workflow.h"
#include "write_protected_key.h"

using namespace ardmoor;
using test::ScriptedPrompter;

namespace {

std::wstring Q(const std::wstring& s) { return L"\"" + s + L"\""; }

// The uninstaller fixture's log: the command lines it was started with, in UTF-16.
std::wstring ReadLog(const std::wstring& path) {
    const std::string bytes = test::ReadFileBytes(path);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

struct ListHost : UninstallHost {
    std::vector<Row> rows;
    int selected = 1;
    std::vector<std::pair<std::wstring, Drop>> dropped;
    int begun = 0, ended = 0;

    std::optional<Row> CurrentRow() override {
        if (selected < 1 || selected > static_cast<int>(rows.size())) return std::nullopt;
        return rows[selected - 1];
    }
    void SetRowCommand(const std::wstring& key, const std::wstring& command) override {
        for (Row& r : rows)
            if (r.key == key) r.command = command;
    }
    void DropRow(const std::wstring& key, Drop why) override {
        dropped.emplace_back(key, why);
        std::erase_if(rows, [&](const Row& r) { return r.key == key; });
    }
    void BeginRun() override { ++begun; }
    void EndRun() override { ++ended; }
    bool Alive() const override { return true; }
    std::wstring Title() const override { return L"Ardmoor"; }
};

struct WorkflowTest : ::testing::Test {
    test::TestRegistryKey keys;
    test::TempDir dir;
    ListHost host;
    ScriptedPrompter prompter;
    SystemProcessRunner runner;
    SystemShell shell;
    UninstallWorkflow workflow{host, prompter, runner, shell};

    // An entry under the test key, listed as the current row with the command given.
    std::wstring AddEntry(const std::wstring& name, const std::wstring& command, const std::wstring& location = L"") {
        const std::wstring sub = L"Uninstall\\" + name;
        keys.SetString(sub, L"DisplayName", name);
        if (!command.empty()) keys.SetString(sub, L"UninstallString", command);
        if (!location.empty()) keys.SetString(sub, L"InstallLocation", location);
        const std::wstring key = keys.fullPath() + L"\\" + sub;
        host.rows.push_back({name, key, command});
        host.selected = static_cast<int>(host.rows.size());
        return key;
    }
    std::wstring Fixture(const std::wstring& args) const { return Q(test::FixtureExe(L"uninstaller")) + L" " + args; }
    std::wstring LeftOverFolder(const std::wstring& name) {
        const std::wstring folder = dir / name;
        EXPECT_TRUE(test::WriteFileBytes(folder + L"\\settings.ini", "[x]"));
        return folder;
    }
};

}  // namespace

// (An uninstaller that hands on to a copy of itself is waited for end to end, with a real NSIS one.)
TEST_F(WorkflowTest, AnEntryStillListedAfterItsUninstallMayBeRemovedByHand) {
    const std::wstring folder = LeftOverFolder(L"Kept");
    const std::wstring key = AddEntry(L"Stays", Fixture(L"--wait 100"), folder);

    // (No keeps it: end to end.) Yes: the entry goes without a further question; the folder is
    // offered, and No keeps it.
    prompter.verifyDeclined = {false};
    workflow.pUninstall();
    EXPECT_EQ(prompter.Kinds(), (std::vector<std::string>{"verify", "cleanup"}));
    EXPECT_EQ(prompter.asked[0].title, L"Stays");
    EXPECT_FALSE(pKeyExists(key));
    ASSERT_EQ(host.dropped.size(), 1u);
    EXPECT_EQ(host.dropped[0].second, UninstallHost::Drop::Removed);
    EXPECT_TRUE(FileExists(folder));

    // A program that cannot be started is not waited for; the same question follows. An entry
    // without an InstallLocation is never offered for clean-up.
    prompter.asked.clear();
    prompter.verifyDeclined = {false};
    const std::wstring missing = AddEntry(L"Gone", (dir / L"no such folder\\unins.exe") + L" /S");
    workflow.pUninstall();
    EXPECT_EQ(prompter.Kinds(), std::vector<std::string>{"verify"});
    EXPECT_FALSE(pKeyExists(missing));
    EXPECT_EQ(host.begun, 2);
    EXPECT_EQ(host.ended, 2);
}

TEST_F(WorkflowTest, AnEntryWithoutACommandIsOfferedForRemovalOrRetried) {
    const std::wstring key = AddEntry(L"Broken", L"");

    // No, and Retry on an unchanged entry, which asks again.
    prompter.invalidAnswers = {frmUninstallMsg::kRetry, frmUninstallMsg::kRetry, frmUninstallMsg::kNo};
    workflow.pUninstall();
    EXPECT_EQ(prompter.Kinds(), (std::vector<std::string>{"invalid", "invalid", "invalid"}));
    EXPECT_EQ(prompter.asked[0].title, L"Broken");
    EXPECT_EQ(host.begun, 0) << "nothing ran";

    // Retry after the entry was repaired meanwhile (a quiet command only): the repaired command runs.
    prompter.asked.clear();
    const std::wstring marker = dir / L"repaired-ran";
    const std::wstring repaired = Fixture(L"--touch " + Q(marker));
    prompter.onAsk = [&](const ScriptedPrompter::Asked& a) {
        if (a.kind == "invalid") keys.SetString(L"Uninstall\\Broken", L"QuietUninstallString", repaired);
    };
    prompter.invalidAnswers = {frmUninstallMsg::kRetry};
    workflow.pUninstall();
    EXPECT_EQ(prompter.Kinds(), (std::vector<std::string>{"invalid", "verify"}));
    EXPECT_FALSE(test::ReadFileBytes(marker).empty());
    EXPECT_EQ(host.rows[0].command, repaired);

    // Yes removes the entry without asking again.
    prompter.onAsk = nullptr;
    prompter.asked.clear();
    keys.SetString(L"Uninstall\\Broken", L"QuietUninstallString", L"");
    host.rows[0].command.clear();
    prompter.invalidAnswers = {frmUninstallMsg::kYes};
    workflow.pUninstall();
    EXPECT_EQ(prompter.Kinds(), std::vector<std::string>{"invalid"});
    EXPECT_FALSE(pKeyExists(key));
    EXPECT_TRUE(host.rows.empty());
    workflow.pUninstall();  // an empty list: nothing to act on, nothing asked
    EXPECT_EQ(prompter.asked.size(), 1u);
}

TEST_F(WorkflowTest, AKeyThatCannotBeDeletedKeepsItsRowAndIsReported) {
    const std::wstring key = AddEntry(L"Old Tool", L"C:\\old\\unins.exe");
    // Wine deletes a key whatever its access list says of deleting, and deletes keys held open;
    // but deleting a tree reads every key in it, and reading is refused by the list. A subkey
    // nobody may read makes the removal fail with access denied, as it would for a user without
    // the rights on Windows.
    keys.CreateSubkey(L"Uninstall\\Old Tool\\Locked");
    {
        test::WriteProtectedKey locked(HKEY_CURRENT_USER, keys.subPath() + L"\\Uninstall\\Old Tool\\Locked",
                                       test::kNoAccess);
        ASSERT_TRUE(locked.ok());

        EXPECT_FALSE(workflow.pRemoveItem(L"Old Tool", key, false));
        ASSERT_EQ(prompter.Kinds(), std::vector<std::string>{"message"});
        EXPECT_EQ(prompter.asked[0].text, UninstallWorkflow::RemovalFailedText(L"Old Tool", ERROR_ACCESS_DENIED));
        EXPECT_NE(prompter.asked[0].text.find(SystemErrorText(ERROR_ACCESS_DENIED)), std::wstring::npos);
        EXPECT_EQ(prompter.asked[0].title, L"Ardmoor");
        EXPECT_EQ(prompter.asked[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
        EXPECT_TRUE(pKeyExists(key));
        EXPECT_TRUE(host.dropped.empty()) << "the row stays";

        // The same from the uninstall's manual removal.
        prompter.asked.clear();
        prompter.verifyDeclined = {false};
        host.rows[0].command = Fixture(L"--wait 50");
        workflow.pUninstall();
        EXPECT_EQ(prompter.Kinds(), (std::vector<std::string>{"verify", "message"}));
        EXPECT_TRUE(pKeyExists(key));
        EXPECT_TRUE(host.dropped.empty());
    }

    // Readable again, the key goes, and asking with Yes drops the row.
    prompter.messageAnswers = {IDYES};
    EXPECT_TRUE(workflow.pRemoveItem(L"Old Tool", key, true));
    EXPECT_FALSE(pKeyExists(key));
    EXPECT_EQ(host.dropped.size(), 1u);
    EXPECT_TRUE(RemoveEntryKey(key).ok()) << "a key already gone counts as removed";
    EXPECT_EQ(RemoveEntryKey(L"\\HKEY_CURRENT_USER\\Software").error(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(pKeyExists(L"\\HKEY_CURRENT_USR\\Software"));
}

TEST_F(WorkflowTest, CommandsRunWhatTheEntryNamesAndNothingElse) {
    // A planted C:\Program.exe next to the real program in a folder whose name has a blank.
    const std::wstring fixture = test::FixtureExe(L"uninstaller");
    const std::wstring planted = L"C:\\Program.exe";
    const std::wstring folder = L"C:\\Program Files\\ArdmoorHijackTest";
    const std::wstring unins = folder + L"\\unins.exe";
    ASSERT_FALSE(FileExists(planted)) << "left over from an earlier run?";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW(fixture.c_str(), planted.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(fixture.c_str(), unins.c_str(), FALSE));
    struct Cleanup {
        std::wstring planted, folder;
        ~Cleanup() {
            ::DeleteFileW(planted.c_str());
            ::DeleteFileW((planted + L".log").c_str());
            test::RemoveTree(folder);
        }
    } cleanup{planted, folder};

    AddEntry(L"Hijack", unins + L" /S");
    workflow.pUninstall();
    EXPECT_TRUE(ReadLog(unins + L".log").ends_with(L" /S\r\n")) << "unins.exe did not run with its switch";
    EXPECT_FALSE(FileExists(planted + L".log")) << "C:\\Program.exe ran";
    EXPECT_EQ(prompter.Kinds(), std::vector<std::string>{"verify"});

    // Exactly one program with blanks in its path: quoted, then run.
    std::wstring command = unins;
    ASSERT_TRUE(ShellAndWait(runner, command, SW_SHOWNORMAL).ok());
    EXPECT_EQ(command, Q(unins));
    EXPECT_EQ(runner.LastProgram(), unins);
    EXPECT_FALSE(FileExists(planted + L".log"));

    // The entry of a real MSI package, as Wine's msiexec wrote it on installing (the samples
    // fixture installs it unless it is there): "MsiExec.exe /I{...}" runs Wine's msiexec, which
    // knows the product and leaves it installed, so the verification follows.
    prompter.asked.clear();
    test::AppProcess samples;
    DWORD installed = 1;
    ASSERT_TRUE(samples.Start(test::FixtureExe(L"install_samples")));
    ASSERT_TRUE(samples.WaitExit(std::chrono::minutes(5), &installed) && installed == 0) << "the samples are missing";
    const std::wstring product = L"{6F1C2A4B-9D3E-4B7A-8C21-5E0F3A9B7D10}";
    const std::wstring msiKey = L"\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + product;
    arItem msi;
    msi.LoadValues(msiKey);
    ASSERT_EQ(msi.UninstallString, L"MsiExec.exe /I" + product);
    host.rows.push_back({msi.ItemName, msiKey, msi.UninstallString});
    host.selected = static_cast<int>(host.rows.size());
    workflow.pUninstall();
    EXPECT_TRUE(ToLower(runner.LastProgram()).ends_with(L"\\system32\\msiexec.exe")) << WideToUtf8(runner.LastProgram());
    EXPECT_EQ(runner.LastExitCode(), 0u) << "msiexec did not take the product";
    EXPECT_EQ(prompter.Kinds(), std::vector<std::string>{"verify"});
    EXPECT_TRUE(pKeyExists(msiKey));
}

TEST_F(WorkflowTest, CleanUpOffersOnlyFoldersWhoseLossHarmsNothing) {
    auto ShortPath = [](const std::wstring& path) {
        wchar_t buf[MAX_PATH];
        const DWORD n = ::GetShortPathNameW(path.c_str(), buf, MAX_PATH);
        return n && n < MAX_PATH ? std::wstring(buf, n) : path;
    };
    auto known = [](const KNOWNFOLDERID& id) {
        PWSTR p = nullptr;
        std::wstring out;
        if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &p))) out = p;
        ::CoTaskMemFree(p);
        return out;
    };
    const std::wstring profile = known(FOLDERID_Profile);
    const std::wstring users = known(FOLDERID_UserProfiles);
    const std::wstring programFiles = known(FOLDERID_ProgramFiles);
    ASSERT_FALSE(profile.empty());
    const std::wstring harmful[] = {
        L"C:\\", L"C:", L"D:\\", known(FOLDERID_Windows), known(FOLDERID_Windows) + L"\\System32", programFiles,
        known(FOLDERID_ProgramFilesX86), known(FOLDERID_ProgramData), users, profile, users + L"\\Public",
        users + L"\\SomeoneElse", known(FOLDERID_Documents), known(FOLDERID_Desktop), known(FOLDERID_Downloads),
        known(FOLDERID_RoamingAppData), known(FOLDERID_LocalAppData), profile + L"\\AppData",
        programFiles + L"\\Vendor\\..\\..", ShortPath(programFiles), L"C:\\Program Files\\*", L"Program Files\\Vendor",
        L"\\\\?\\C:\\Vendor", L"\\\\server\\share",
    };
    const ProtectedFolders folders;
    for (const std::wstring& path : harmful) EXPECT_TRUE(folders.Cover(path)) << WideToUtf8(path);
    for (const std::wstring& path : {programFiles + L"\\Vendor", known(FOLDERID_LocalAppData) + L"\\Programs\\Tool",
                                     known(FOLDERID_Documents) + L"\\Game Saves", dir.path()})
        EXPECT_FALSE(folders.Cover(path)) << WideToUtf8(path);

    // Existing harmful folders, a missing one and an empty location are skipped without a word.
    for (const std::wstring& path : {std::wstring(L"C:\\"), known(FOLDERID_Windows) + L"\\", programFiles, profile,
                                     users, dir / L"missing", std::wstring()})
        workflow.pCleanLocation(path);
    EXPECT_TRUE(prompter.asked.empty());

    // A left-over folder (its trailing backslash dropped) and a file are offered; No keeps them.
    const std::wstring folder = LeftOverFolder(L"Vendor App");
    workflow.pCleanLocation(folder + L"\\");
    workflow.pCleanLocation(folder + L"\\settings.ini");
    ASSERT_EQ(prompter.Kinds(), (std::vector<std::string>{"cleanup", "cleanup"}));
    EXPECT_EQ(prompter.asked[0].title, folder);
    EXPECT_EQ(prompter.asked[1].title, folder + L"\\settings.ini");
    EXPECT_TRUE(FileExists(folder + L"\\settings.ini"));
    EXPECT_EQ(shell.Recycle(folder + L"\\*", nullptr).error(), ERROR_INVALID_NAME);
}
