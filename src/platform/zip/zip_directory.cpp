#include "platform/zip/zip_directory.h"

#include <zlib.h>

#include <algorithm>
#include <numeric>
#include <string>

#include "platform/zip/zip_names.h"

namespace ardmoor::zip::detail {

namespace {

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kZip64EndSignature = 0x06064b50;
constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr size_t kEndSize = 22;
constexpr size_t kZip64EndSize = 56;
constexpr size_t kLocatorSize = 20;
constexpr size_t kCentralSize = 46;
constexpr uint64_t kMaxCentralRecord = kCentralSize + 3 * 0xFFFF;
constexpr uint16_t kFlagUtf8 = 0x0800;
constexpr uint16_t kExtraZip64 = 0x0001;
constexpr uint16_t kExtraTimestamp = 0x5455;
constexpr uint16_t kExtraUnicodePath = 0x7075;
constexpr uint32_t kAttrReadOnly = 0x01, kAttrHiddenSystem = 0x06, kAttrDirectory = 0x10, kAttrArchive = 0x20,
                   kAttrNormal = 0x80;

struct EndRecord {
    uint64_t count = 0;
    uint64_t cdSize = 0;
    uint64_t cdOffset = 0;  // as the archive states it
    uint64_t cdEnd = 0;     // where the directory really ends: the (ZIP64) end record
};

ZipError ReadZip64End(InputFile& file, uint64_t endPosition, EndRecord& end, bool& found) {
    found = false;
    if (endPosition < kLocatorSize) return ZipError::None;
    unsigned char loc[kLocatorSize];
    const uint64_t locatorPos = endPosition - kLocatorSize;
    if (!file.ReadAt(locatorPos, loc, sizeof loc) || Le32(loc) != kZip64LocatorSignature) return ZipError::None;
    found = true;
    if (Le32(loc + 4) != 0 || Le32(loc + 16) > 1) return ZipError::Corrupt;  // spread over several disks
    unsigned char rec[kZip64EndSize];
    auto recordAt = [&](uint64_t at) {
        return at <= locatorPos && locatorPos - at >= kZip64EndSize && file.ReadAt(at, rec, sizeof rec) &&
               Le32(rec) == kZip64EndSignature;
    };
    // Data put in front of the archive moves the record from where the locator says.
    uint64_t at = Le64(loc + 8);
    if (!recordAt(at)) {
        if (locatorPos < kZip64EndSize || !recordAt(locatorPos - kZip64EndSize)) return ZipError::Corrupt;
        at = locatorPos - kZip64EndSize;
    }
    if (Le32(rec + 16) != 0 || Le32(rec + 20) != 0 || Le64(rec + 24) != Le64(rec + 32)) return ZipError::Corrupt;
    end.count = Le64(rec + 32);
    end.cdSize = Le64(rec + 40);
    end.cdOffset = Le64(rec + 48);
    end.cdEnd = at;
    return ZipError::None;
}

ZipError ReadEnd(InputFile& file, const unsigned char* e, uint64_t position, EndRecord& end) {
    end.count = Le16(e + 10);
    end.cdSize = Le32(e + 12);
    end.cdOffset = Le32(e + 16);
    end.cdEnd = position;
    bool zip64 = false;
    if (ZipError z = ReadZip64End(file, end.cdEnd, end, zip64); z != ZipError::None || zip64) return z;
    // Spread over several disks.
    if (Le16(e + 4) != 0 || Le16(e + 6) != 0 || Le16(e + 8) != Le16(e + 10)) return ZipError::Corrupt;
    return ZipError::None;
}

// End records that fit in the file, the likeliest first: those whose comment ends the file, then the
// others, each from the end backwards. A comment may hold signatures of its own; a few candidates
// are enough to see past that without letting a comment full of them cost a parse each.
ZipError FindEnds(InputFile& file, std::vector<EndRecord>& ends) {
    constexpr size_t kMaxCandidates = 4;
    const uint64_t size = file.Size();
    if (size < kEndSize) return ZipError::NotAZip;
    const auto tailSize = static_cast<size_t>(std::min<uint64_t>(size, kEndSize + 0xFFFF));
    const uint64_t tailStart = size - tailSize;
    std::vector<unsigned char> tail(tailSize);
    if (!file.ReadAt(tailStart, tail.data(), tailSize)) return ZipError::CannotOpen;
    std::vector<size_t> exact, fits;
    for (size_t p = tailSize - kEndSize + 1; p-- > 0 && exact.size() + fits.size() < 2 * kMaxCandidates;) {
        if (Le32(&tail[p]) != kEndSignature) continue;
        const size_t after = p + kEndSize + Le16(&tail[p + 20]);
        if (after <= tailSize) (after == tailSize ? exact : fits).push_back(p);
    }
    exact.insert(exact.end(), fits.begin(), fits.end());
    if (exact.empty()) return ZipError::NotAZip;
    ZipError first = ZipError::None;
    for (size_t i = 0; i < exact.size() && ends.size() < kMaxCandidates; ++i) {
        EndRecord end;
        ZipError e = ReadEnd(file, &tail[exact[i]], tailStart + exact[i], end);
        if (e == ZipError::None) ends.push_back(end);
        else if (first == ZipError::None) first = e;
    }
    return ends.empty() ? first : ZipError::None;
}

struct Extras {
    std::optional<std::wstring> unicodeName;
    std::optional<int64_t> unixTime;
};

// Fields of the ZIP64 extra appear only for the header fields that hold their all-ones marker.
bool ReadExtras(std::string_view extra, std::string_view rawName, uint64_t& size, uint64_t& csize,
                uint64_t& offset, uint32_t& disk, Extras& out) {
    const bool needSize = size == 0xFFFFFFFF, needCsize = csize == 0xFFFFFFFF, needOffset = offset == 0xFFFFFFFF,
               needDisk = disk == 0xFFFF;
    const auto* p = reinterpret_cast<const unsigned char*>(extra.data());
    size_t at = 0;
    while (extra.size() - at >= 4) {
        const uint16_t id = Le16(p + at), len = Le16(p + at + 2);
        at += 4;
        if (len > extra.size() - at) break;  // a broken trailer: what came before still counts
        const unsigned char* f = p + at;
        if (id == kExtraZip64) {
            size_t q = 0;
            auto take = [&](bool need, uint64_t& value, size_t bytes) {
                if (!need) return true;
                if (len - q < bytes) return false;
                value = bytes == 8 ? Le64(f + q) : Le32(f + q);
                q += bytes;
                return true;
            };
            uint64_t disk64 = disk;
            if (!take(needSize, size, 8) || !take(needCsize, csize, 8) || !take(needOffset, offset, 8) ||
                !take(needDisk, disk64, 4))
                return false;
            disk = static_cast<uint32_t>(disk64);
        } else if (id == kExtraTimestamp && len >= 5 && (f[0] & 1)) {
            out.unixTime = static_cast<int32_t>(Le32(f + 1));
        } else if (id == kExtraUnicodePath && len >= 5 && f[0] == 1) {
            // Valid only while it still describes the name beside it.
            const auto crc = crc32(0, reinterpret_cast<const Bytef*>(rawName.data()), static_cast<uInt>(rawName.size()));
            std::wstring text;
            if (Le32(f + 1) == crc && DecodeUtf8(std::string_view(reinterpret_cast<const char*>(f + 5), len - 5u), text))
                out.unicodeName = std::move(text);
        }
        at += len;
    }
    return true;
}

std::wstring DecodeName(std::string_view raw, uint16_t flags, unsigned host, Extras& extras) {
    std::wstring text;
    if (flags & kFlagUtf8) {
        DecodeUtf8(raw, text);
        return text;
    }
    if (extras.unicodeName) return std::move(*extras.unicodeName);
    // DOS and Windows tools write the OEM code page; Unix and Mac tools write UTF-8 without saying so.
    const bool dosHost = host == 0 || host == 6 || host == 10 || host == 14;
    if (!dosHost && DecodeUtf8(raw, text)) return text;
    return DecodeCp437(raw);
}

uint32_t Attributes(bool folder, unsigned host, uint32_t external) {
    if (folder) return kAttrDirectory;
    uint32_t a = external & (kAttrReadOnly | kAttrHiddenSystem | kAttrArchive);
    const uint32_t mode = external >> 16;
    if ((host == 3 || host == 19) && mode != 0 && (mode & 0222) == 0) a |= kAttrReadOnly;
    return a != 0 ? a : kAttrNormal;
}

ZipError ReadDirectoryAt(InputFile& file, const EndRecord& end, Directory& out) {
    out = {};
    if (end.cdSize > end.cdEnd) return ZipError::Corrupt;
    const uint64_t cdStart = end.cdEnd - end.cdSize;
    if (end.cdOffset > cdStart) return ZipError::Corrupt;
    // Bytes in front of the archive (a self-extractor's stub) shift every stated offset alike.
    const uint64_t shift = cdStart - end.cdOffset;
    if (end.count > end.cdSize / kCentralSize) return ZipError::Corrupt;
    // Room for every record at its longest, and for a signature record after them.
    if (end.cdSize > 0x10000 && (end.cdSize - 0x10000 - 1) / kMaxCentralRecord >= end.count) return ZipError::Corrupt;

    std::vector<unsigned char> cd(static_cast<size_t>(end.cdSize));
    if (!file.ReadAt(cdStart, cd.data(), cd.size())) return ZipError::Corrupt;
    size_t pos = 0;
    for (uint64_t i = 0; i < end.count; ++i) {
        if (cd.size() - pos < kCentralSize) return ZipError::Corrupt;
        const unsigned char* r = &cd[pos];
        if (Le32(r) != kCentralSignature) return ZipError::Corrupt;
        const unsigned host = r[5];
        const uint16_t flags = Le16(r + 8), method = Le16(r + 10);
        uint64_t csize = Le32(r + 20), size = Le32(r + 24), offset = Le32(r + 42);
        uint32_t disk = Le16(r + 34);
        const size_t nameLen = Le16(r + 28), extraLen = Le16(r + 30), commentLen = Le16(r + 32);
        if (cd.size() - pos - kCentralSize < nameLen + extraLen + commentLen) return ZipError::Corrupt;
        const std::string_view raw(reinterpret_cast<const char*>(r + kCentralSize), nameLen);
        const std::string_view extra(raw.data() + nameLen, extraLen);
        Extras extras;
        if (!ReadExtras(extra, raw, size, csize, offset, disk, extras) || disk != 0) return ZipError::Corrupt;
        if (offset > end.cdOffset || end.cdOffset - offset < kLocalHeaderSize ||
            end.cdOffset - offset - kLocalHeaderSize < csize)
            return ZipError::Corrupt;

        ZipEntry entry;
        EntryData data;
        data.folder = !raw.empty() && (raw.back() == '/' || raw.back() == '\\');
        entry.name = ToBackslashes(DecodeName(raw, flags, host, extras));
        entry.attributes = Attributes(data.folder, host, Le32(r + 38));
        entry.size = size;
        entry.compressedSize = csize;
        entry.encrypted = (flags & (kFlagEncrypted | kFlagStrongEncryption)) != 0 || method == kMethodAes;
        data.localOffset = offset + shift;
        data.crc = Le32(r + 16);
        data.method = method;
        data.dosTime = Le16(r + 12);
        data.dosDate = Le16(r + 14);
        data.unixTime = extras.unixTime;
        out.entries.push_back(std::move(entry));
        out.data.push_back(data);
        pos += kCentralSize + nameLen + extraLen + commentLen;
    }

    // Entries must not share bytes: overlapping entries are how the smallest zip bombs are made.
    std::vector<size_t> order(out.data.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return out.data[a].localOffset < out.data[b].localOffset; });
    for (size_t k = 0; k < order.size(); ++k) {
        EntryData& d = out.data[order[k]];
        d.limit = k + 1 < order.size() ? out.data[order[k + 1]].localOffset : cdStart;
        if (d.limit - d.localOffset < kLocalHeaderSize + out.entries[order[k]].compressedSize) {
            out = {};
            return ZipError::Corrupt;
        }
    }
    return ZipError::None;
}

}  // namespace

ZipError ReadDirectory(InputFile& file, Directory& out) {
    out = {};
    std::vector<EndRecord> ends;
    if (ZipError e = FindEnds(file, ends); e != ZipError::None) return e;
    ZipError first = ZipError::None;
    for (const EndRecord& end : ends) {
        ZipError e = ReadDirectoryAt(file, end, out);
        if (e == ZipError::None) return e;
        if (first == ZipError::None) first = e;
    }
    out = {};
    return first;
}

}  // namespace ardmoor::zip::detail
