// The file finder on real folders: the events and their order, patterns, sizes, stopping, and
// folder loops made of real symbolic links.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "install/clsFind.h"
#include "test_support.h"

using namespace ardmoor;
using test::TempDir;

namespace {

// Every event in one list, so that order across kinds is checked too.
struct Recorder {
    std::vector<std::wstring> events;
    void Attach(clsFind& find) {
        find.FolderFound = [this](const std::wstring& f) { events.push_back(L"folder " + f); };
        find.FileFound = [this](const std::wstring& name, const std::wstring& path, const std::wstring& full,
                                uint64_t size, const FILETIME&) {
            EXPECT_EQ(full, path + name);
            events.push_back(L"file " + full + L" " + std::to_wstring(size));
        };
    }
};

// The walk as designed, written independently: each folder's search stays open while its
// subfolders are walked; FolderFound comes before the folder's own files.
void ReferenceWalk(const std::wstring& root, const std::wstring& pattern, std::vector<std::wstring>& out) {
    out.push_back(L"folder " + root);
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((root + L"*.*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && ::PathMatchSpecW(fd.cFileName, pattern.c_str()))
            files.push_back(L"file " + root + fd.cFileName + L" " +
                            std::to_wstring((uint64_t(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow));
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
    out.insert(out.end(), files.begin(), files.end());
    h = ::FindFirstFileW((root + L"*.*").c_str(), &fd);
    do {
        if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && fd.cFileName[0] != L'.' &&
            !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            ReferenceWalk(root + fd.cFileName + L"\\", pattern, out);
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
}

void MakeTree(const TempDir& dir) {
    for (const wchar_t* f : {L"Tools\\Setup.EXE", L"Tools\\pack.zip", L"Tools\\readme.txt", L"Tools\\deep\\a\\b\\x.exe",
                             L"Tools\\deep\\a\\c.exe", L"other\\install.exe", L".cache\\hidden.exe", L"top.exe"})
        ASSERT_TRUE(test::WriteFileBytes(dir / f, "MZ"));
    ASSERT_TRUE(::CreateDirectoryW((dir / L"Tools\\setup.zip").c_str(), nullptr));  // a folder named like a match
    ASSERT_TRUE(::CreateDirectoryW((dir / L"empty").c_str(), nullptr));
}

}  // namespace

TEST(clsFind, WalksDepthFirstOnceWhetherOrNotTheHandlerListsEachFolderAndReportsOnlyMatchingFiles) {
    TempDir dir;
    ASSERT_NO_FATAL_FAILURE(MakeTree(dir));
    const std::wstring root = dir.path() + L"\\";
    std::vector<std::wstring> expected;
    ReferenceWalk(root, L"*.exe;*.zip", expected);
    ASSERT_EQ(std::count_if(expected.begin(), expected.end(), [](auto& e) { return e.rfind(L"folder", 0) == 0; }), 8);

    // As the wizard nests it: the files of each folder from inside its FolderFound.
    clsFind nested;
    Recorder r;
    r.Attach(nested);
    nested.FolderFound = [&](const std::wstring& f) {
        r.events.push_back(L"folder " + f);
        nested.EnumerateFiles(f, L"*.exe;*.zip");
    };
    nested.EnumerateFolders(dir.path(), true);  // no trailing backslash: one is added
    EXPECT_EQ(r.events, expected);

    // Folders only: the walk reads them itself.
    clsFind bare;
    Recorder folders;
    folders.Attach(bare);
    bare.EnumerateFolders(root, true);
    std::vector<std::wstring> expectedFolders;
    for (const auto& e : expected)
        if (e.rfind(L"folder", 0) == 0) expectedFolders.push_back(e);
    EXPECT_EQ(folders.events, expectedFolders);
    for (const auto& e : folders.events) EXPECT_EQ(e.find(L".cache"), std::wstring::npos);

    // Without recursion, and folders that cannot be read: only the root is reported.
    folders.events.clear();
    bare.EnumerateFolders(dir / L"Tools");
    bare.EnumerateFolders(dir / L"no such folder", true);
    bare.EnumerateFiles(dir / L"no such folder", L"*.*");
    EXPECT_EQ(folders.events,
              (std::vector<std::wstring>{L"folder " + dir / L"Tools\\", L"folder " + dir / L"no such folder\\"}));

    // Files only, never a folder named like a match, with all 64 bits of their size; one
    // backslash, also when the root came with one.
    ASSERT_TRUE(test::WriteFileBytes(dir / L"Tools\\big.exe", ""));
    std::filesystem::resize_file(dir / L"Tools\\big.exe", 4294967297ULL);  // not written: sparse where it can be
    folders.events.clear();
    bare.EnumerateFiles(dir / L"Tools\\", L"*.exe;*.zip");
    std::sort(folders.events.begin(), folders.events.end());
    EXPECT_EQ(folders.events, (std::vector<std::wstring>{L"file " + dir / L"Tools\\Setup.EXE 2",
                                                         L"file " + dir / L"Tools\\big.exe 4294967297",
                                                         L"file " + dir / L"Tools\\pack.zip 2"}));
}

TEST(clsFind, PatternsMatchAsTheShellMatchesThem) {
    TempDir dir;
    const std::vector<std::wstring> files{L"Setup.EXE", L"pack.zip", L"a.exe.txt", L".exe", L"exe",  L"x.ex",
                                          L"y.exe2",    L"k.eXe",    L"t.tar.gz",  L"noext", L"\u00dcn\u00ef.exe",
                                          L"z.\u00e9xe", L"w.ex\u0117"};
    for (const std::wstring& f : files) ASSERT_TRUE(test::WriteFileBytes(dir / f, "MZ")) << f;
    for (const wchar_t* pattern : {L"*.exe;*.zip", L"*.EXE", L"*.tar.gz", L"*.ex?", L"*.*", L"s*", L"*.exe; *.zip",
                                   L"*.zip;", L"*.e*e", L"*.\u00c9XE"}) {
        std::vector<std::wstring> expected, found;
        for (const std::wstring& f : files)
            if (::PathMatchSpecW(f.c_str(), pattern)) expected.push_back(f);
        clsFind find;
        find.FileFound = [&](const std::wstring& name, const std::wstring&, const std::wstring&, uint64_t,
                             const FILETIME&) { found.push_back(name); };
        find.EnumerateFiles(dir.path(), pattern);
        std::sort(expected.begin(), expected.end());
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, expected) << pattern;
    }
}

TEST(clsFind, CeaseFromAHandlerStopsTheWholeNestedWalkUntilReset) {
    TempDir one, two;
    ASSERT_NO_FATAL_FAILURE(MakeTree(one));
    ASSERT_NO_FATAL_FAILURE(MakeTree(two));
    clsFind find([&] { return std::vector<LogicalDrive>{{one.path() + L"\\", 3}, {two.path() + L"\\", 3}}; });
    std::vector<std::wstring> events;
    find.DriveFound = [&](const std::wstring& d, int32_t) {
        events.push_back(L"drive " + d);
        find.EnumerateFolders(d, true);
    };
    find.FolderFound = [&](const std::wstring& f) {
        events.push_back(L"folder " + f);
        find.EnumerateFiles(f, L"*.exe");
    };
    find.FileFound = [&](const std::wstring& name, const std::wstring&, const std::wstring&, uint64_t,
                         const FILETIME&) {
        events.push_back(L"file " + name);
        find.Cease();
    };
    const auto drives = [&] { return std::count_if(events.begin(), events.end(), [](auto& e) { return e[0] == L'd'; }); };
    find.EnumerateDrives();
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events.back().rfind(L"file ", 0), 0u) << "nothing follows the file whose handler stopped the walk";
    EXPECT_EQ(drives(), 1);

    // Still stopped: drives and files report nothing; a folder walk only its root.
    events.clear();
    find.EnumerateDrives();
    find.EnumerateFiles(one / L"Tools", L"*.*");
    find.EnumerateFolders(one.path(), true);
    EXPECT_EQ(events, std::vector<std::wstring>{L"folder " + one.path() + L"\\"});

    find.Reset();
    events.clear();
    find.FileFound = nullptr;
    find.EnumerateDrives();
    EXPECT_EQ(drives(), 2);
}

TEST(clsFind, YieldsInsideABigFolderAndACeaseThereEndsTheListing) {
    TempDir dir;
    for (int i = 0; i < 300; ++i) ASSERT_TRUE(test::WriteFileBytes(dir / (L"f" + std::to_wstring(i) + L".dat"), ""));
    clsFind find;
    find.SetYieldIntervalMs(0);
    int yields = 0, found = 0;
    find.LetMessagesRun = [&] {
        if (++yields == 100) find.Cease();  // a Stop click served during the listing
    };
    find.FileFound = [&](const std::wstring&, const std::wstring&, const std::wstring&, uint64_t, const FILETIME&) {
        ++found;
    };
    find.EnumerateFiles(dir.path(), L"*.dat");
    EXPECT_EQ(yields, 100) << "no yield after the stop";
    EXPECT_GE(found, 97);
    EXPECT_LE(found, 100);
}

TEST(clsFind, NeverFollowsSymbolicLinksSoALoopEnds) {
    // Built by the test setup: loop\inner\up -> .. and loop\inner\self -> the loop folder (Unix links, which
    // Wine reports as reparse points, as Windows reports junctions).
    const std::wstring loop = test::ExeFolder() + L"..\\test-drives\\loop\\";
    ASSERT_NE(::GetFileAttributesW((loop + L"inner\\up").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the loop fixture is missing";
    clsFind find;
    std::vector<std::wstring> folders;
    find.FolderFound = [&](const std::wstring& f) {
        folders.push_back(f);
        if (folders.size() > 20) find.Cease();  // a walk that follows the links fails here instead of running on
        find.EnumerateFiles(f, L"*.exe");
    };
    find.EnumerateFolders(loop, true);
    EXPECT_EQ(folders, (std::vector<std::wstring>{loop, loop + L"inner\\"}));
}
