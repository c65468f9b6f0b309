#include "zip_test_support.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

namespace ardmoor::zip::test {

#ifndef _WIN32
TempFolder::TempFolder() {
    std::random_device random;
    path_ = fs::temp_directory_path() / ("ardmoor_zip_test_" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}
#endif

void WriteBytes(const fs::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> ListTree(const fs::path& root) {
    std::vector<std::string> out;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        const std::u8string rel = item.path().lexically_relative(root).generic_u8string();
        out.emplace_back(rel.begin(), rel.end());
        if (item.is_directory()) out.back() += '/';
    }
    std::sort(out.begin(), out.end());
    return out;
}

fs::path FixtureArchives() {
#ifdef _WIN32
    return fs::path(ardmoor::test::ExeFolder()) / L"zip-fixtures";
#else
    return ARDMOOR_ZIP_FIXTURES;
#endif
}

}  // namespace ardmoor::zip::test
