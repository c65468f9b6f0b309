// Archives written by other tools (Debian's zip, Python's zipfile) at build time come back whole.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/zip/zip_reader.h"
#include "zip_test_support.h"

namespace ardmoor::zip::test {
namespace {

TEST(ZipRoundTrip, ArchivesFromZipAndPythonExtractToTheirSourceTree) {
    const fs::path fixtures = FixtureArchives();
    const fs::path source = fixtures / "source";
    const std::vector<std::string> tree = ListTree(source);
    ASSERT_EQ(tree.size(), 10u) << fixtures.string();
    for (const char* archive : {"info-zip.zip", "info-zip-stream.zip", "info-zip-zip64.zip", "python-deflated.zip",
                                "python-stored.zip", "python-stream.zip", "python-zip64.zip"}) {
        SCOPED_TRACE(archive);
        ZipReader reader;
        ASSERT_EQ(reader.Open(fixtures / archive), ZipError::None);
        ASSERT_EQ(reader.EntryCount(), tree.size());
        TempFolder dest;
        bool sawUnicode = false;
        for (size_t i = 0; i < reader.EntryCount(); ++i) {
            const ZipEntry& e = reader.Entry(i);
            EXPECT_EQ(e.name.find(L'/'), std::wstring::npos);
            EXPECT_EQ(e.attributes == 16, e.name.back() == L'\\') << i;
            sawUnicode |= e.name == L"tree\\caf\u00e9 \u00fc\\na\u00efve \u65e5\u672c.txt";
            ASSERT_EQ(reader.Extract(i, dest.path()), ZipError::None) << i;
        }
        EXPECT_TRUE(sawUnicode);
        ASSERT_EQ(ListTree(dest.path()), tree);
        for (const std::string& rel : tree) {
            const fs::path original = source / fs::path(std::u8string(rel.begin(), rel.end()));
            const fs::path copy = dest.path() / fs::path(std::u8string(rel.begin(), rel.end()));
            if (rel.back() == '/') continue;
            EXPECT_EQ(ReadBytes(copy), ReadBytes(original)) << rel;
            EXPECT_LE(std::chrono::abs(fs::last_write_time(copy) - fs::last_write_time(original)),
                      std::chrono::seconds(2))
                << rel;
        }
    }
}

// More entries than the classic end record counts: only the ZIP64 end record has the number.
TEST(ZipRoundTrip, PythonArchiveOfManyEntries) {
    ZipReader reader;
    ASSERT_EQ(reader.Open(FixtureArchives() / "python-many.zip"), ZipError::None);
    ASSERT_EQ(reader.EntryCount(), 65537u);
    EXPECT_EQ(reader.Entry(65536).name, L"many\\65536.txt");
    TempFolder dest;
    ASSERT_EQ(reader.Extract(65536, dest.path()), ZipError::None);
    EXPECT_EQ(ReadBytes(dest.path() / "many" / "65536.txt"), "65536");
}

}  // namespace
}  // namespace ardmoor::zip::test
