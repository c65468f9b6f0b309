// The install wizard's zip archives, written by the zip tests' builder into real folders: the
// items the search lists for them, and Finish on one: extraction into a new folder of its own, the
// setup program waited for, archives without one, and hostile or broken archives refused whole.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

#include "install/install_wizard.h"
#include "platform/strings.h"
#include "platform/zip/zip_reader.h"
#include "install_test_doubles.h"
#include "test_support.h"
#include "zip_builder.h"

using namespace ardmoor;
using namespace ardmoor::test;
using ardmoor::zip::test::BuildEntry;
using ardmoor::zip::test::BuildZip;

namespace {

BuildEntry File(std::string name, std::string data = "MZ setup") { return {.name = std::move(name), .data = std::move(data)}; }
BuildEntry Folder(std::string name) {
    return {.name = std::move(name), .method = 0, .host = 0, .external = FILE_ATTRIBUTE_DIRECTORY};
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Folders made below `root` (names only).
std::vector<std::wstring> FoldersIn(const std::wstring& root) {
    std::vector<std::wstring> names;
    for (const auto& e : std::filesystem::directory_iterator(root))
        if (e.is_directory()) names.push_back(e.path().filename().wstring());
    std::sort(names.begin(), names.end());
    return names;
}

struct ArchiveRig {
    TempDir drive;
    TempDir extracted;
    WizardRig rig;
    explicit ArchiveRig(int32_t includeZip = 1)
        : rig([this] { return std::vector<LogicalDrive>{{drive.path() + L"\\", DRIVE_FIXED}}; },
              Options{0, false, 1, 0, 0, includeZip}, extracted.path()) {}
    std::wstring Write(const std::wstring& name, const std::vector<BuildEntry>& entries) {
        const std::wstring path = drive / name;
        EXPECT_TRUE(WriteFileBytes(path, BuildZip(entries)));
        return path;
    }
    // Chooses the archive on the choice page and presses Finish.
    void Finish(const std::wstring& archive) {
        rig.ToChoice();
        rig.wizard.SetChosenFile(archive);
        rig.wizard.Next();
    }
};

}  // namespace

TEST(InstallWizardArchives, TheSearchListsEverySetupProgramInsideArchivesWhenAsked) {
    ArchiveRig a;
    const std::wstring tools =
        a.Write(L"tools.zip", {Folder("tools/"), File("tools/setup.exe"), File("tools/uninstall.exe")});
    const std::wstring two = a.Write(L"pkg\\two.zip", {File("setup.exe"), File("disk2/install.exe"), File("a.txt")});
    a.Write(L"none.zip", {File("readme.txt"), File("tool.exe"), File("uninstall.exe"), Folder("setup.exe/")});
    ASSERT_TRUE(WriteFileBytes(a.drive / L"broken.zip", "PK\x03\x04 not really an archive"));
    ASSERT_TRUE(WriteFileBytes(a.drive / L"pkg\\setup.exe", "MZ"));

    a.rig.ToChoice();
    EXPECT_EQ(a.rig.Keys(), (std::vector<std::wstring>{a.drive / L"pkg\\setup.exe", two + L"|install.exe",
                                                       two + L"|setup.exe", tools + L"|setup.exe"}));
    const auto& items = a.rig.wizard.Items();
    const auto it = std::find_if(items.begin(), items.end(), [&](auto& i) { return i.key == tools + L"|setup.exe"; });
    ASSERT_NE(it, items.end());
    EXPECT_EQ(it->name, L"tools.zip") << "an archive's item shows the archive";
    EXPECT_EQ(it->folder, a.drive.path() + L"\\");
    EXPECT_EQ(it->size, BuildZip({Folder("tools/"), File("tools/setup.exe"), File("tools/uninstall.exe")}).size());

    // Without "Include zip archives" only programs are listed.
    a.rig.wizard.Back();
    a.rig.wizard.Back();
    a.rig.wizard.SetIncludeZip(0);
    a.rig.wizard.Next();
    EXPECT_EQ(a.rig.Keys(), std::vector<std::wstring>{a.drive / L"pkg\\setup.exe"});
}

// (What the extraction leaves and shows, and the wait for the setup program, are checked end to end.)
TEST(InstallWizardArchives, FinishExtractsIntoANewFolderEachTimeAndTakesNoStepMeanwhile) {
    ArchiveRig a;
    const std::wstring archive =
        a.Write(L"Office Pack.zip", {File("readme.txt", std::string(600 * 1024, 'x')), Folder("disk1/"),
                                     File("disk1/install.exe"), File("tools/setup2.exe")});
    // Finish and Back pressed again while the archive is extracted and while its setup program runs.
    int pressed = 0;
    const auto pressAgain = [&] {
        ++pressed;
        a.rig.wizard.Next();
        a.rig.wizard.Back();
    };
    a.rig.view.onPump = [&] {
        if (a.rig.wizard.ExtractionVisible() && a.rig.runner.runs.empty()) pressAgain();
    };
    a.rig.runner.whileWaiting = pressAgain;
    a.Finish(archive);
    EXPECT_GE(pressed, 2);

    const std::wstring folder = a.extracted / L"Office Pack-1\\";
    EXPECT_EQ(a.rig.wizard.ExtractionFolder(), folder);
    ASSERT_EQ(a.rig.runner.runs.size(), 1u);
    EXPECT_EQ(a.rig.runner.runs[0].command, L"\"" + folder + L"disk1\\install.exe\"") << "the lower entry number";
    EXPECT_TRUE(a.rig.runner.runs[0].waited);
    EXPECT_EQ(a.rig.wizard.Page(), InstallWizard::kPageFinish) << "Back did nothing meanwhile";
    EXPECT_TRUE(a.rig.view.closed);
    EXPECT_TRUE(a.rig.prompter.messages.empty());
    // Progress: a line per file, the bar over the whole archive, never past its end.
    const auto& statuses = a.rig.view.extractStatuses;
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), L"Extracting install.exe..."), statuses.end());
    ASSERT_GE(a.rig.view.progress.size(), 3u);
    for (const auto& [value, max] : a.rig.view.progress) EXPECT_LE(value, max);
    EXPECT_FALSE(a.rig.wizard.ExtractionVisible()) << "hidden again before the wizard closes";

    // The same archive again gets a folder of its own; the first one is left as it is.
    WizardRig again([&] { return std::vector<LogicalDrive>{}; }, Options{0, false, 0, 0, 0, 1}, a.extracted.path());
    again.ToChoice();
    again.wizard.SetChosenFile(archive);
    again.wizard.Next();
    EXPECT_EQ(FoldersIn(a.extracted.path()), (std::vector<std::wstring>{L"Office Pack-1", L"Office Pack-2"}));
    EXPECT_TRUE(Exists(folder + L"tools\\setup2.exe"));
}

TEST(InstallWizardArchives, AnArchiveWithoutASetupProgramIsExtractedAndSaysWhere) {
    ArchiveRig a;
    const std::wstring archive = a.Write(L"tools.zip", {File("uninstall.exe"), File("tool.exe")});
    a.Finish(archive);
    EXPECT_TRUE(a.rig.runner.runs.empty());
    EXPECT_TRUE(Exists(a.extracted / L"tools-1\\tool.exe"));
    ASSERT_EQ(a.rig.prompter.messages.size(), 1u);
    EXPECT_NE(a.rig.prompter.messages[0].text.find(a.extracted / L"tools-1\\"), std::wstring::npos);
    EXPECT_TRUE(a.rig.prompter.messages[0].type & MB_ICONINFORMATION);
    EXPECT_TRUE(a.rig.view.closed);
}

// The wizard treats every entry the reader refuses alike (each refusal: zip_reader_test.cpp): one
// refused before a byte of it is written, and one found bad only once written.
TEST(InstallWizardArchives, BrokenOrHostileArchivesAreRefusedWholeAndNothingIsStarted) {
    BuildEntry badCrc = File("setup.dat", "payload");
    badCrc.crc = 0x12345678;
    const struct {
        const char* what;
        std::vector<BuildEntry> entries;
    } cases[] = {
        {"a name leading out of the folder", {File("readme.txt"), File("setup.exe"), File("../escaped.exe")}},
        {"a CRC mismatch", {File("setup.exe"), badCrc}},
    };
    for (const auto& c : cases) {
        ArchiveRig a;
        const std::wstring archive = a.Write(L"bad.zip", c.entries);
        a.Finish(archive);
        EXPECT_TRUE(a.rig.runner.runs.empty()) << c.what;
        ASSERT_EQ(a.rig.prompter.messages.size(), 1u) << c.what;
        EXPECT_NE(a.rig.prompter.messages[0].text.find(L"The archive cannot be installed."), std::wstring::npos)
            << c.what;
        EXPECT_NE(a.rig.prompter.messages[0].text.find(archive), std::wstring::npos) << c.what;
        EXPECT_TRUE(FoldersIn(a.extracted.path()).empty()) << c.what << ": nothing of it is kept";
        EXPECT_FALSE(Exists(a.extracted / L"escaped.exe")) << c.what;
        EXPECT_EQ(a.rig.wizard.Page(), InstallWizard::kPageChoose) << c.what;
        EXPECT_EQ(a.rig.wizard.ChosenFile(), archive) << c.what;
        EXPECT_FALSE(a.rig.view.closed) << c.what;
    }

    // Entries that each fit in the free space but not together: refused before a byte is written.
    ArchiveRig roomy;
    ULARGE_INTEGER available{};
    ASSERT_TRUE(::GetDiskFreeSpaceExW(roomy.extracted.path().c_str(), &available, nullptr, nullptr));
    BuildEntry half = File("setup.exe"), otherHalf = File("data.bin");
    half.size = otherHalf.size = available.QuadPart / 3 * 2;
    half.zip64 = otherHalf.zip64 = true;
    roomy.Finish(roomy.Write(L"bomb.zip", {half, otherHalf}));
    EXPECT_TRUE(roomy.rig.runner.runs.empty());
    ASSERT_EQ(roomy.rig.prompter.messages.size(), 1u);
    EXPECT_NE(roomy.rig.prompter.messages[0].text.find(zip::Describe(zip::ZipError::DiskFull)), std::wstring::npos)
        << ardmoor::WideToUtf8(roomy.rig.prompter.messages[0].text);
    EXPECT_TRUE(FoldersIn(roomy.extracted.path()).empty());

    ArchiveRig a;
    ASSERT_TRUE(WriteFileBytes(a.drive / L"text.zip", std::string(100, 'z')));
    a.Finish(a.drive / L"text.zip");
    ASSERT_EQ(a.rig.prompter.messages.size(), 1u);
    EXPECT_NE(a.rig.prompter.messages[0].text.find(L"not a zip archive"), std::wstring::npos);
}

TEST(InstallWizardArchives, ClosingTheWizardDuringExtractionCancelsIt) {
    ArchiveRig a;
    const std::wstring archive =
        a.Write(L"big.zip", {File("part1.bin", std::string(2 << 20, 'a')), File("setup.exe")});
    a.rig.view.onPump = [&] {
        if (a.rig.wizard.ExtractionVisible()) a.rig.wizard.QueryClose();
    };
    a.Finish(archive);
    EXPECT_TRUE(a.rig.runner.runs.empty());
    EXPECT_TRUE(a.rig.prompter.messages.empty()) << "the user closed it: nothing to explain";
    EXPECT_TRUE(FoldersIn(a.extracted.path()).empty());
}
