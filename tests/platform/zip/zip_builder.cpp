#include "zip_builder.h"

#include <zlib.h>

#include <stdexcept>

namespace ardmoor::zip::test {

namespace {

constexpr uint16_t kTime = (12 << 11) | (30 << 5);      // 12:30:00
constexpr uint16_t kDate = ((2024 - 1980) << 9) | (5 << 5) | 1;  // 2024-05-01

void Add16(std::string& s, uint64_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
void Add32(std::string& s, uint64_t v) {
    Add16(s, v & 0xFFFF);
    Add16(s, (v >> 16) & 0xFFFF);
}
void Add64(std::string& s, uint64_t v) {
    Add32(s, v & 0xFFFFFFFF);
    Add32(s, v >> 32);
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
        const uint64_t size = e.size ? *e.size : e.data.size();
        const uint64_t offset = body.size();
        const bool descriptor = (e.flags & 8) != 0;
        const uint64_t mark = 0xFFFFFFFF;

        std::string localExtra;
        if (e.zip64) {
            Add16(localExtra, 1);
            Add16(localExtra, 16);
            Add64(localExtra, descriptor ? 0 : size);
            Add64(localExtra, descriptor ? 0 : payload.size());
        }
        Add32(body, 0x04034b50);
        Add16(body, e.zip64 ? 45 : 20);
        Add16(body, e.flags);
        Add16(body, e.method);
        Add16(body, kTime);
        Add16(body, kDate);
        Add32(body, descriptor ? 0 : crc);
        Add32(body, e.zip64 ? mark : descriptor ? 0 : payload.size());
        Add32(body, e.zip64 ? mark : descriptor ? 0 : size);
        Add16(body, e.name.size());
        Add16(body, localExtra.size());
        body += e.name + localExtra + payload;
        if (descriptor) {
            Add32(body, 0x08074b50);
            Add32(body, crc);
            if (e.zip64) {
                Add64(body, payload.size());
                Add64(body, size);
            } else {
                Add32(body, payload.size());
                Add32(body, size);
            }
        }

        std::string extra;
        if (e.zip64) {
            Add16(extra, 1);
            Add16(extra, 24);
            Add64(extra, size);
            Add64(extra, payload.size());
            Add64(extra, offset);
        }
        extra += e.centralExtra;
        Add32(central, 0x02014b50);
        Add16(central, e.host << 8 | 20);
        Add16(central, e.zip64 ? 45 : 20);
        Add16(central, e.flags);
        Add16(central, e.method);
        Add16(central, kTime);
        Add16(central, kDate);
        Add32(central, crc);
        Add32(central, e.zip64 ? mark : payload.size());
        Add32(central, e.zip64 ? mark : size);
        Add16(central, e.name.size());
        Add16(central, extra.size());
        Add16(central, 0);  // comment
        Add16(central, 0);  // disk
        Add16(central, 0);  // internal attributes
        Add32(central, e.external);
        Add32(central, e.zip64 ? mark : offset);
        central += e.name + extra;
    }

    std::string out = options.prefix + body + central;
    const uint64_t cdOffset = body.size(), count = entries.size();
    if (options.zip64End) {
        const uint64_t recordOffset = body.size() + central.size();
        Add32(out, 0x06064b50);
        Add64(out, 44);
        Add16(out, 45);
        Add16(out, 45);
        Add32(out, 0);
        Add32(out, 0);
        Add64(out, count);
        Add64(out, count);
        Add64(out, central.size());
        Add64(out, cdOffset);
        Add32(out, 0x07064b50);
        Add32(out, 0);
        Add64(out, recordOffset);
        Add32(out, 1);
    }
    Add32(out, 0x06054b50);
    Add16(out, 0);
    Add16(out, 0);
    Add16(out, options.zip64End ? 0xFFFF : count);
    Add16(out, options.zip64End ? 0xFFFF : count);
    Add32(out, options.zip64End ? 0xFFFFFFFF : central.size());
    Add32(out, options.zip64End ? 0xFFFFFFFF : cdOffset);
    Add16(out, options.comment.size());
    return out + options.comment;
}

void PutLe16(std::string& bytes, size_t at, uint16_t value) {
    bytes.at(at) = static_cast<char>(value & 0xFF);
    bytes.at(at + 1) = static_cast<char>(value >> 8);
}

void PutLe32(std::string& bytes, size_t at, uint32_t value) {
    PutLe16(bytes, at, value & 0xFFFF);
    PutLe16(bytes, at + 2, static_cast<uint16_t>(value >> 16));
}

size_t FindSignature(const std::string& bytes, uint32_t signature, size_t nth) {
    std::string sig;
    Add32(sig, signature);
    size_t at = bytes.find(sig);
    for (; at != std::string::npos && nth > 0; --nth) at = bytes.find(sig, at + 1);
    if (at == std::string::npos) throw std::runtime_error("signature not found");
    return at;
}

}  // namespace ardmoor::zip::test
