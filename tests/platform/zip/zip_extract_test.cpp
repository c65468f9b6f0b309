// Extraction: files land below the destination whole and checked, or not at all.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <stdexcept>

#include "platform/zip/zip_reader.h"
#include "zip_builder.h"
#include "zip_test_support.h"

namespace ardmoor::zip::test {
namespace {

class ZipExtract : public ::testing::Test {
protected:
    // Archives live beside the destination, so that anything written outside it shows.
    void SetUp() override { dest_ = temp_.path() / "dest"; }
    ZipError OpenBytes(const std::string& bytes) {
        const fs::path file = temp_.path() / "a.zip";
        WriteBytes(file, bytes);
        return reader_.Open(file);
    }
    // Extracts entry 0 of a one-entry archive.
    ZipError ExtractOne(const BuildEntry& entry) {
        EXPECT_EQ(OpenBytes(BuildZip({entry})), ZipError::None);
        return reader_.Extract(0, dest_);
    }
    // Nothing but the archive and, at most, an empty destination.
    void ExpectNothingWritten(const std::string& what) {
        std::vector<std::string> expected = {"a.zip"};
        if (fs::exists(dest_)) expected.push_back("dest/");
        EXPECT_EQ(ListTree(temp_.path()), expected) << what;
    }
    TempFolder temp_;
    fs::path dest_;
    ZipReader reader_;
};

TEST_F(ZipExtract, WritesEntriesWithFoldersAndReportsProgress) {
    std::string big(700000, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 7919) >> 5);
    ASSERT_EQ(OpenBytes(BuildZip({{.name = "disk1/", .method = 0},
                                  {.name = "disk1/sub/install.exe", .data = big},
                                  {.name = "stored.txt", .data = "plain", .method = 0},
                                  {.name = "described.bin", .data = big.substr(1000), .flags = 8},
                                  {.name = "wide.bin", .data = "zip64", .flags = 8, .zip64 = true},
                                  {.name = "empty.txt", .data = ""},
                                  {.name = "a\\b\\back.txt", .data = "backslashes"}})),
              ZipError::None);
    std::vector<std::pair<uint64_t, uint64_t>> reports;
    for (size_t i = 0; i < reader_.EntryCount(); ++i) {
        ASSERT_EQ(reader_.Extract(i, dest_,
                                  [&](const std::wstring& name, uint64_t soFar, uint64_t toDo) {
                                      EXPECT_EQ(name, reader_.Entry(i).name);
                                      if (i == 1) reports.emplace_back(soFar, toDo);
                                      return true;
                                  }),
                  ZipError::None)
            << i;
    }
    EXPECT_EQ(ListTree(dest_),
              (std::vector<std::string>{"a/", "a/b/", "a/b/back.txt", "described.bin", "disk1/", "disk1/sub/",
                                        "disk1/sub/install.exe", "empty.txt", "stored.txt", "wide.bin"}));
    EXPECT_EQ(ReadBytes(dest_ / "disk1" / "sub" / "install.exe"), big);
    EXPECT_EQ(ReadBytes(dest_ / "described.bin"), big.substr(1000));
    EXPECT_EQ(ReadBytes(dest_ / "stored.txt"), "plain");
    EXPECT_EQ(ReadBytes(dest_ / "wide.bin"), "zip64");
    EXPECT_EQ(fs::file_size(dest_ / "empty.txt"), 0u);
    // From nothing to everything, never past the end, growing.
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports.front(), std::make_pair(uint64_t{0}, uint64_t{big.size()}));
    EXPECT_EQ(reports.back(), std::make_pair(uint64_t{big.size()}, uint64_t{big.size()}));
    for (size_t k = 1; k < reports.size(); ++k) EXPECT_GT(reports[k].first, reports[k - 1].first);
    // The stored date (local time) comes back.
    const auto written = fs::last_write_time(dest_ / "stored.txt");
    std::tm tm{};
    tm.tm_year = 124;
    tm.tm_mon = 4;
    tm.tm_mday = 1;
    tm.tm_hour = 12;
    tm.tm_min = 30;
    tm.tm_isdst = -1;
    const auto expected = std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(std::mktime(&tm)));
    EXPECT_LE(std::chrono::abs(written - expected), std::chrono::seconds(2));

    // Extracting again replaces the files.
    WriteBytes(dest_ / "stored.txt", "changed");
    ASSERT_EQ(reader_.Extract(2, dest_), ZipError::None);
    EXPECT_EQ(ReadBytes(dest_ / "stored.txt"), "plain");
}

TEST_F(ZipExtract, RefusesNamesThatLeaveTheDestination) {
    for (const char* name : {"../evil.txt", "a/../../evil.txt", "..\\evil.txt", "a\\..\\..\\evil.txt", "/abs.txt",
                             "\\abs.txt", "//server/share/x.txt", ". ./x.txt", "a/.../x.txt", "a/.. /x.txt", ""}) {
        EXPECT_EQ(ExtractOne({.name = name, .data = "bad"}), ZipError::UnsafeName) << name;
        ExpectNothingWritten(name);
    }
}

// These are harmless on Linux and dangerous on Windows: they matter in the Wine run.
TEST_F(ZipExtract, RefusesDrivesDevicesAndStreams) {
    for (const char* name :
         {"C:evil.txt", "C:/evil.txt", "c:\\evil.txt", "setup.exe:hidden", "readme.txt::$DATA", "CON", "nul.txt",
          "Aux.tar.gz", "COM1.log", "lpt9", "con .txt", "prn/inside.txt", "COM\xC2\xB9.txt", "CONOUT$", "a|b.txt",
          "what?.txt", "star*.txt", "quote\".txt", "<x>.txt", "tab\t.txt"}) {
        EXPECT_EQ(ExtractOne({.name = name, .data = "bad", .flags = 0x0800}), ZipError::UnsafeName) << name;
        ExpectNothingWritten(name);
    }
    EXPECT_FALSE(fs::exists("C:\\evil.txt"));
    // Names that merely resemble devices are ordinary files.
    for (const char* name : {"CONSOLE.txt", "com10.txt", "nul_file.txt", "lpt.txt", "auxiliary/x.txt"}) {
        EXPECT_EQ(ExtractOne({.name = name, .data = "ok"}), ZipError::None) << name;
        EXPECT_EQ(ReadBytes(dest_ / fs::path(name)), "ok") << name;
    }
}

TEST_F(ZipExtract, RefusesEntriesItCannotTrustAndLeavesNoPartialFile) {
    const std::string data(300000, 'z');
    std::string lying = BuildZip({{.name = "local.txt", .data = "abc"}});
    PutLe16(lying, 8, 0);  // the local header says stored, the directory deflated
    std::string longLocalName = BuildZip({{.name = "x.txt", .data = "abc"}, {.name = "y.txt", .data = "def"}});
    PutLe16(longLocalName, 26, 500);  // the first entry's data would run into the second
    const struct {
        BuildEntry entry;
        ZipError expected;
    } cases[] = {
        {{.name = "enc.txt", .data = data, .flags = 1}, ZipError::Encrypted},
        {{.name = "aes.txt", .data = data, .method = 99}, ZipError::Encrypted},
        {{.name = "bzip2.txt", .data = data, .method = 12}, ZipError::UnsupportedMethod},
        {{.name = "lzma.txt", .data = data, .method = 14}, ZipError::UnsupportedMethod},
        {{.name = "crc.txt", .data = data, .crc = 0x12345678}, ZipError::CrcMismatch},
        {{.name = "stored-crc.txt", .data = data, .method = 0, .crc = 1}, ZipError::CrcMismatch},
        {{.name = "bomb.txt", .data = std::string(3000000, '\0'), .size = 1000}, ZipError::TooLarge},
        {{.name = "short.txt", .data = data, .size = data.size() + 1}, ZipError::Corrupt},
        {{.name = "stored-size.txt", .data = data, .method = 0, .size = 10}, ZipError::Corrupt},
        {{.name = "cut.txt", .data = data, .payload = Deflate(data).substr(0, 100)}, ZipError::Corrupt},
        {{.name = "junk.txt", .data = data, .payload = std::string(5000, '\xFF')}, ZipError::Corrupt},
        // Declares far more than any disk holds: refused before a byte is written.
        {{.name = "huge.bin", .data = "x", .size = uint64_t{1} << 60, .zip64 = true}, ZipError::DiskFull},
    };
    for (const auto& c : cases) {
        // A file already there under the entry's name stays as it was.
        fs::create_directories(dest_);
        WriteBytes(dest_ / c.entry.name, "before");
        EXPECT_EQ(ExtractOne(c.entry), c.expected) << c.entry.name;
        EXPECT_EQ(ListTree(dest_), std::vector<std::string>{c.entry.name}) << c.entry.name;
        EXPECT_EQ(ReadBytes(dest_ / c.entry.name), "before") << c.entry.name;
        fs::remove(dest_ / c.entry.name);
    }
    ASSERT_EQ(OpenBytes(lying), ZipError::None);
    EXPECT_EQ(reader_.Extract(0, dest_), ZipError::Corrupt);
    ASSERT_EQ(OpenBytes(longLocalName), ZipError::None);
    EXPECT_EQ(reader_.Extract(0, dest_), ZipError::Corrupt);
    EXPECT_EQ(reader_.Extract(1, dest_), ZipError::None);
    EXPECT_EQ(ListTree(dest_), std::vector<std::string>{"y.txt"});
}

TEST_F(ZipExtract, CancelRemovesThePartialFileAndFailedWritesSaySo) {
    std::string data(2000000, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 31 % 251);
    ASSERT_EQ(OpenBytes(BuildZip({{.name = "big.bin", .data = data}, {.name = "big.bin/x.txt", .data = "x"}})),
              ZipError::None);
    int reports = 0;
    EXPECT_EQ(reader_.Extract(0, dest_, [&](const std::wstring&, uint64_t, uint64_t) { return ++reports < 3; }),
              ZipError::Cancelled);
    EXPECT_EQ(reports, 3);
    EXPECT_TRUE(ListTree(dest_).empty());
    // A callback's own exception passes through and still takes the partial file away.
    EXPECT_THROW((void)reader_.Extract(0, dest_,
                                       [&](const std::wstring&, uint64_t soFar, uint64_t) {
                                           if (soFar > 0) throw std::runtime_error("stop");
                                           return true;
                                       }),
                 std::runtime_error);
    EXPECT_TRUE(ListTree(dest_).empty());
    // A folder in the way of a file, and a file in the way of a folder.
    fs::create_directories(dest_ / "big.bin");
    EXPECT_EQ(reader_.Extract(0, dest_), ZipError::WriteFailed);
    fs::remove(dest_ / "big.bin");
    WriteBytes(dest_ / "big.bin", "file");
    EXPECT_EQ(reader_.Extract(1, dest_), ZipError::WriteFailed);
    EXPECT_EQ(ListTree(dest_), std::vector<std::string>{"big.bin"});
    EXPECT_THROW((void)reader_.Extract(2, dest_), std::out_of_range);
}

}  // namespace
}  // namespace ardmoor::zip::test
