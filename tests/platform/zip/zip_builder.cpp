#include "zip_builder.h"

#include <zlib.h>

#include <initializer_list>
#include <stdexcept>
#include <utility>

namespace ardmoor::zip::test {

namespace {

constexpr uint16_t kTime = (12 << 11) | (30 << 5);      // 12:30:00
constexpr uint16_t kDate = ((2024 - 1980) << 9) | (5 << 5) | 1;  // 2024-05-01

// Appends little-endian fields, each given as {value, width in bytes}.
void Put(std::string& s, std::initializer_list<std::pair<uint64_t, int>> fields) {
    for (const auto& [value, width] : fields)
        for (int i = 0; i < width; ++i) s += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::string Deflate(std::string_view data) {
    z_stream z{};
    if (deflateInit2(&z, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw std::runtime_error("deflate");
    std::string out(deflateBound(&z, static_cast<uLong>(data.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (rc != Z_STREAM_END) throw std::runtime_error("deflate");
    return out;
}

std::string BuildZip(const std::vector<BuildEntry>& entries, const BuildOptions& options) {
    std::string body, central;
    for (const BuildEntry& e : entries) {
        const std::string payload = e.payload ? *e.payload : e.method == 8 ? Deflate(e.data) : e.data;
        const uint32_t crc = e.crc ? *e.crc
                                   : static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(e.data.data()),
                                                                 static_cast<uInt>(e.data.size())));
        const uint64_t size = e.size ? *e.size : e.data.size(), packed = payload.size(), offset = body.size();
        const bool descriptor = (e.flags & 8) != 0;
        const uint64_t mark = 0xFFFFFFFF, version = e.zip64 ? 45 : 20;

        std::string localExtra, extra;
        if (e.zip64) {
            Put(localExtra, {{1, 2}, {16, 2}, {descriptor ? 0 : size, 8}, {descriptor ? 0 : packed, 8}});
            Put(extra, {{1, 2}, {24, 2}, {size, 8}, {packed, 8}, {offset, 8}});
        }
        Put(body, {{0x04034b50, 4}, {version, 2}, {e.flags, 2}, {e.method, 2}, {kTime, 2}, {kDate, 2},
                   {descriptor ? 0 : crc, 4}, {e.zip64 ? mark : descriptor ? 0 : packed, 4},
                   {e.zip64 ? mark : descriptor ? 0 : size, 4}, {e.name.size(), 2}, {localExtra.size(), 2}});
        body += e.name + localExtra + payload;
        if (descriptor) Put(body, {{0x08074b50, 4}, {crc, 4}, {packed, e.zip64 ? 8 : 4}, {size, e.zip64 ? 8 : 4}});

        extra += e.centralExtra;
        // No comment, disk 0, no internal attributes.
        Put(central, {{0x02014b50, 4}, {uint64_t{e.host} << 8 | 20, 2}, {version, 2}, {e.flags, 2}, {e.method, 2},
                      {kTime, 2}, {kDate, 2}, {crc, 4}, {e.zip64 ? mark : packed, 4}, {e.zip64 ? mark : size, 4},
                      {e.name.size(), 2}, {extra.size(), 2}, {0, 2}, {0, 2}, {0, 2}, {e.external, 4},
                      {e.zip64 ? mark : offset, 4}});
        central += e.name + extra;
    }

    std::string out = options.prefix + body + central;
    const uint64_t cdOffset = body.size(), count = entries.size();
    if (options.zip64End) {
        // The ZIP64 end record (44 bytes after its size field) and its locator, on disk 0 of 1.
        Put(out, {{0x06064b50, 4}, {44, 8}, {45, 2}, {45, 2}, {0, 4}, {0, 4}, {count, 8}, {count, 8},
                  {central.size(), 8}, {cdOffset, 8}, {0x07064b50, 4}, {0, 4}, {body.size() + central.size(), 8},
                  {1, 4}});
    }
    const bool wide = options.zip64End;
    Put(out, {{0x06054b50, 4}, {0, 2}, {0, 2}, {wide ? 0xFFFF : count, 2}, {wide ? 0xFFFF : count, 2},
              {wide ? 0xFFFFFFFF : central.size(), 4}, {wide ? 0xFFFFFFFF : cdOffset, 4}, {options.comment.size(), 2}});
    return out + options.comment;
}

void PutLe16(std::string& bytes, size_t at, uint16_t value) {
    std::string field;
    Put(field, {{value, 2}});
    bytes.replace(at, 2, field);
}

void PutLe32(std::string& bytes, size_t at, uint32_t value) {
    std::string field;
    Put(field, {{value, 4}});
    bytes.replace(at, 4, field);
}

size_t FindSignature(const std::string& bytes, uint32_t signature, size_t nth) {
    std::string sig;
    Put(sig, {{signature, 4}});
    size_t at = bytes.find(sig);
    for (; at != std::string::npos && nth > 0; --nth) at = bytes.find(sig, at + 1);
    if (at == std::string::npos) throw std::runtime_error("signature not found");
    return at;
}

}  // namespace ardmoor::zip::test
