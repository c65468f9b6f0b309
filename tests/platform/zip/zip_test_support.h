#pragma once
// Portable helpers for the zip reader's tests, which run both through Wine and natively.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include "test_support.h"
#endif

namespace ardmoor::zip::test {

namespace fs = std::filesystem;

// A fresh folder, removed with its contents afterwards (the shared TempDir where it exists).
class TempFolder {
public:
#ifdef _WIN32
    [[nodiscard]] fs::path path() const { return dir_.path(); }

private:
    ardmoor::test::TempDir dir_;
#else
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    [[nodiscard]] fs::path path() const { return path_; }

private:
    fs::path path_;
#endif
};

void WriteBytes(const fs::path& file, std::string_view bytes);
std::string ReadBytes(const fs::path& file);
// Every file and folder below root, as sorted generic relative paths ("a/b.txt"; folders end in "/").
std::vector<std::string> ListTree(const fs::path& root);
// The archives that Debian's zip and Python's zipfile wrote at build time, beside their source tree.
fs::path FixtureArchives();

}  // namespace ardmoor::zip::test
