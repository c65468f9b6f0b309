// libFuzzer target: any bytes as an archive. Opening, listing and extracting every entry must
// neither crash nor hang, must keep progress within its bounds, and must leave nothing outside the
// destination and no temporary file behind.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "platform/zip/zip_names.h"
#include "platform/zip/zip_reader.h"

namespace fs = std::filesystem;
using namespace ardmoor::zip;

namespace {

fs::path WorkFolder() {
    fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    fs::path dir = base / ("ardmoor-zip-fuzz-" + std::to_string(getpid()));
    fs::create_directories(dir);
    return dir;
}

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fs::path work = WorkFolder();
    const fs::path archive = work / "in.zip", out = work / "out";
    {
        std::ofstream f(archive, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    static ZipReader reader;  // its buffers outlive one input, as in the program
    if (reader.Open(archive) == ZipError::None) {
        // Output is capped so that an honest but huge entry does not fill the disk.
        const auto progress = [](const std::wstring&, uint64_t soFar, uint64_t toDo) {
            Check(soFar <= toDo);
            return soFar < (1u << 20);
        };
        std::set<std::string> extracted;  // an entry may itself be named like a temporary file
        for (size_t i = 0; i < reader.EntryCount() && i < 64; ++i) {
            const ZipEntry& e = reader.Entry(i);
            Check((e.attributes == 16) == (!e.name.empty() && e.name.back() == L'\\'));
            if (reader.Extract(i, out, progress) == ZipError::None)
                extracted.insert(detail::EncodeUtf8(e.name.substr(e.name.find_last_of(L'\\') + 1)));
        }
        reader.Close();
        for (const auto& item : fs::recursive_directory_iterator(work)) {
            const fs::path& p = item.path();
            const std::string name = p.filename().string();
            Check(p == archive || p == out || p.string().rfind(out.string() + "/", 0) == 0);
            Check(!item.is_regular_file() || name.rfind("~ardmoor", 0) != 0 || extracted.count(name) > 0);
        }
    }
    std::error_code ec;
    fs::remove_all(out, ec);
    return 0;
}
