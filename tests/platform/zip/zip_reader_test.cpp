// Listing: names, attributes and sizes as the central directory gives them, and malformed archives
// refused without a crash.
#include <gtest/gtest.h>
#include <zlib.h>

#include <stdexcept>

#include "platform/zip/zip_reader.h"
#include "zip_builder.h"
#include "zip_test_support.h"

namespace ardmoor::zip::test {
namespace {

constexpr uint32_t kCentral = 0x02014b50, kEnd = 0x06054b50;

class ZipOpen : public ::testing::Test {
protected:
    ZipError OpenBytes(const std::string& bytes) {
        const fs::path file = temp_.path() / "a.zip";
        WriteBytes(file, bytes);
        return reader_.Open(file);
    }
    TempFolder temp_;
    ZipReader reader_;
};

std::string UnicodePathExtra(std::string_view raw, std::string_view utf8) {
    std::string f(9, '\1');
    PutLe16(f, 0, 0x7075);
    PutLe16(f, 2, static_cast<uint16_t>(5 + utf8.size()));
    PutLe32(f, 5, crc32(0, reinterpret_cast<const Bytef*>(raw.data()), static_cast<uInt>(raw.size())));
    return f + std::string(utf8);
}

TEST_F(ZipOpen, ListsNamesAttributesAndSizes) {
    std::vector<BuildEntry> e(8);
    e[0] = {.name = "disk1/", .method = 0, .host = 0, .external = 0x10};
    e[1] = {.name = "disk1/sub/Setup.exe", .data = std::string(5000, 'x'), .host = 0, .external = 0x21};
    e[2] = {.name = "\xE6\x97\xA5\xE6\x9C\xAC/\xC3\xBC.txt", .data = "utf8", .flags = 0x0800};
    e[3] = {.name = "\x81" "ber.txt", .data = "cp437", .host = 0};  // DOS tool: CP437
    e[4] = {.name = "caf\xC3\xA9.txt", .data = "unix", .external = 0100444u << 16};  // Unix tool: UTF-8, no flag
    e[5] = {.name = "bad\xE9.txt", .data = "not utf8"};  // Unix tool, but no UTF-8: CP437
    e[6] = {.name = "old.txt", .data = "x", .centralExtra = UnicodePathExtra("old.txt", "\xC3\xA4lt.txt")};
    e[7] = {.name = "stale.txt", .data = "x", .flags = 1, .centralExtra = UnicodePathExtra("other", "wrong.txt")};
    ASSERT_EQ(OpenBytes(BuildZip(e)), ZipError::None);
    ASSERT_TRUE(reader_.IsOpen());
    ASSERT_EQ(reader_.EntryCount(), 8u);
    const std::wstring names[] = {L"disk1\\", L"disk1\\sub\\Setup.exe", L"\u65E5\u672C\\\u00FC.txt", L"\u00FCber.txt",
                                  L"caf\u00E9.txt", L"bad\u0398.txt", L"\u00E4lt.txt", L"stale.txt"};
    for (size_t i = 0; i < 8; ++i) EXPECT_EQ(reader_.Entry(i).name, names[i]) << i;
    EXPECT_EQ(reader_.Entry(0).attributes, 16u);
    EXPECT_EQ(reader_.Entry(1).attributes, 0x21u);
    EXPECT_EQ(reader_.Entry(2).attributes, 0x80u);  // nothing recorded: normal
    EXPECT_EQ(reader_.Entry(4).attributes, 0x01u);  // r--r--r--: read-only
    EXPECT_EQ(reader_.Entry(1).size, 5000u);
    EXPECT_LT(reader_.Entry(1).compressedSize, 100u);
    EXPECT_FALSE(reader_.Entry(1).encrypted);
    EXPECT_TRUE(reader_.Entry(7).encrypted);
    EXPECT_THROW((void)reader_.Entry(8), std::out_of_range);
    reader_.Close();
    EXPECT_FALSE(reader_.IsOpen());
    EXPECT_EQ(reader_.EntryCount(), 0u);
}

TEST_F(ZipOpen, ReadsZip64PrefixedAndCommentedArchives) {
    const std::vector<BuildEntry> entries = {{.name = "big.bin", .data = "abc", .zip64 = true},
                                             {.name = "more.txt", .data = "def", .flags = 8, .zip64 = true}};
    // A stub in front shifts every offset; a comment ending in an end record of its own is not the end.
    std::string fakeEnd = "PK\x05\x06" + std::string(18, '\x7F');
    for (size_t at : {4, 6, 20}) PutLe16(fakeEnd, at, 0);
    for (size_t at : {8, 10}) PutLe16(fakeEnd, at, 1);
    for (const BuildOptions& options : {BuildOptions{.zip64End = true},
                                        BuildOptions{.zip64End = true, .comment = fakeEnd, .prefix = "MZ stub"},
                                        BuildOptions{.comment = fakeEnd, .prefix = std::string(1000, 'S')}}) {
        ASSERT_EQ(OpenBytes(BuildZip(entries, options)), ZipError::None) << options.prefix;
        ASSERT_EQ(reader_.EntryCount(), 2u);
        EXPECT_EQ(reader_.Entry(1).name, L"more.txt");
        EXPECT_EQ(reader_.Entry(1).size, 3u);
        const fs::path out = temp_.path() / "out";
        ASSERT_EQ(reader_.Extract(1, out), ZipError::None);
        EXPECT_EQ(ReadBytes(out / "more.txt"), "def");
    }
    EXPECT_EQ(OpenBytes(BuildZip({})), ZipError::None);  // empty archive
    EXPECT_EQ(reader_.EntryCount(), 0u);
}

TEST_F(ZipOpen, RefusesMalformedArchives) {
    const std::string good = BuildZip({{.name = "a.txt", .data = "alpha"}, {.name = "b.txt", .data = "beta"}});
    const size_t end = FindSignature(good, kEnd), cd1 = FindSignature(good, kCentral, 1);
    auto patched = [&](size_t at, uint32_t value, bool wide = true) {
        std::string s = good;
        wide ? PutLe32(s, at, value) : PutLe16(s, at, static_cast<uint16_t>(value));
        return s;
    };
    auto counted = [&](uint16_t count) {  // on this disk and in all
        return patched(end + 8, static_cast<uint32_t>(count) << 16 | count);
    };
    std::string overlapping = patched(cd1 + 42, 0);  // both entries claim the same bytes
    std::string zip64NoRecord = BuildZip({{.name = "a"}}, {.zip64End = true});
    PutLe32(zip64NoRecord, FindSignature(zip64NoRecord, 0x06064b50), 0);
    const struct {
        std::string bytes;
        ZipError expected;
        const char* what;
    } cases[] = {
        {"", ZipError::NotAZip, "empty file"},
        {"just some text, certainly no archive at all", ZipError::NotAZip, "text"},
        {good.substr(0, good.size() - 5), ZipError::NotAZip, "cut short"},
        {patched(end + 20, 40, false), ZipError::NotAZip, "comment longer than the file"},
        {patched(end + 16, 0x7FFFFFF0), ZipError::Corrupt, "directory offset past the end"},
        {patched(end + 12, 0x7FFFFFF0), ZipError::Corrupt, "directory size past the start"},
        {counted(0xFFFF), ZipError::Corrupt, "absurd count"},
        {counted(3), ZipError::Corrupt, "count beyond records"},
        {patched(end + 4, 1, false), ZipError::Corrupt, "second disk"},
        {patched(cd1, 0x12345678), ZipError::Corrupt, "broken record signature"},
        {patched(cd1 + 28, 0xFFFF, false), ZipError::Corrupt, "name runs past the directory"},
        {patched(cd1 + 42, 0x00FFFFFF), ZipError::Corrupt, "local header past the directory"},
        {patched(cd1 + 20, 0x00FFFFFF), ZipError::Corrupt, "data runs into the directory"},
        {overlapping, ZipError::Corrupt, "overlapping entries"},
        {zip64NoRecord, ZipError::Corrupt, "ZIP64 locator pointing nowhere"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OpenBytes(c.bytes), c.expected) << c.what;
        EXPECT_FALSE(reader_.IsOpen()) << c.what;
        EXPECT_EQ(reader_.EntryCount(), 0u) << c.what;
    }
    EXPECT_EQ(reader_.Open(temp_.path() / "missing.zip"), ZipError::CannotOpen);
    EXPECT_EQ(reader_.Open(temp_.path()), ZipError::CannotOpen);  // a folder
    EXPECT_EQ(reader_.Extract(0, temp_.path()), ZipError::CannotOpen);

    // Every truncation of a good archive is refused or lists what is there; none crashes.
    for (size_t n = 0; n < good.size(); ++n) EXPECT_NE(OpenBytes(good.substr(0, n)), ZipError::None) << n;
}

}  // namespace
}  // namespace ardmoor::zip::test
