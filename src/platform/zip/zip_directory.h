#pragma once
// The central directory: where the archive says each entry is, checked against the file itself.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/zip/zip_file.h"
#include "platform/zip/zip_reader.h"

namespace ardmoor::zip::detail {

// Little-endian fields.
inline uint16_t Le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t Le32(const unsigned char* p) { return Le16(p) | static_cast<uint32_t>(Le16(p + 2)) << 16; }
inline uint64_t Le64(const unsigned char* p) { return Le32(p) | static_cast<uint64_t>(Le32(p + 4)) << 32; }

constexpr uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr size_t kLocalHeaderSize = 30;
constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagStrongEncryption = 0x0040;
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;
constexpr uint16_t kMethodAes = 99;

// What extraction needs beyond the public entry.
struct EntryData {
    uint64_t localOffset = 0;  // of the local header, in the file
    uint64_t limit = 0;        // the entry's bytes end by here: the next local header or the directory
    uint32_t crc = 0;
    uint16_t method = 0;
    uint16_t dosTime = 0;
    uint16_t dosDate = 0;
    std::optional<int64_t> unixTime;  // from the extended timestamp field, UTC
    bool folder = false;
};

struct Directory {
    std::vector<ZipEntry> entries;
    std::vector<EntryData> data;
};

// NotAZip when there is no end record; Corrupt when the directory does not hold together.
ZipError ReadDirectory(InputFile& file, Directory& out);

}  // namespace ardmoor::zip::detail
