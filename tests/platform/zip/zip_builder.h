#pragma once
// Writes zip archives byte by byte for the tests, lies included: every field the reader checks can
// be set to what a broken or hostile archive would hold. Portable, over zlib.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ardmoor::zip::test {

struct BuildEntry {
    std::string name;  // stored bytes
    std::string data;  // content before compression
    uint16_t method = 8;
    uint16_t flags = 0;  // 0x0800 UTF-8 name, 0x0008 data descriptor, 0x0001 encrypted
    uint8_t host = 3;    // 0 DOS, 3 Unix
    uint32_t external = 0;
    std::optional<uint32_t> crc;         // instead of the real CRC-32
    std::optional<uint64_t> size;        // instead of the real size
    std::optional<std::string> payload;  // instead of the compressed bytes
    bool zip64 = false;                  // sizes and offset in ZIP64 extra fields
    std::string centralExtra;            // more extra fields for the central record
};

struct BuildOptions {
    bool zip64End = false;
    std::string comment;
    std::string prefix;  // bytes in front, as a self-extractor's stub would be
};

std::string Deflate(std::string_view data);
std::string BuildZip(const std::vector<BuildEntry>& entries, const BuildOptions& options = {});

// Little-endian fields, for tests that patch an archive after building it.
void PutLe16(std::string& bytes, size_t at, uint16_t value);
void PutLe32(std::string& bytes, size_t at, uint32_t value);
// Offset of the nth (0-based) occurrence of a 4-byte signature such as 0x02014b50.
size_t FindSignature(const std::string& bytes, uint32_t signature, size_t nth = 0);

}  // namespace ardmoor::zip::test
