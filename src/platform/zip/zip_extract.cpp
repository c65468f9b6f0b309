// ZipReader::Extract: one entry from the archive to a file below the destination.
#include <zlib.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <new>
#include <random>
#include <stdexcept>
#include <string>

#include "platform/zip/zip_names.h"
#include "platform/zip/zip_reader_state.h"

namespace fs = std::filesystem;

namespace ardmoor::zip {

namespace {

using detail::EntryData;
using detail::WriteResult;

constexpr size_t kChunk = 256 * 1024;

ZipError FromWrite(WriteResult r) { return r == WriteResult::DiskFull ? ZipError::DiskFull : ZipError::WriteFailed; }

fs::path PathPart(const std::wstring& part) {
#ifdef _WIN32
    return fs::path(part);
#else
    // The path's own conversion from wide text follows the C locale and throws on non-ASCII.
    const std::string utf8 = detail::EncodeUtf8(part);
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
#endif
}

fs::path NearestExisting(fs::path p) {
    std::error_code ec;
    while (!p.empty() && !fs::exists(p, ec) && p.has_relative_path()) p = p.parent_path();
    return p;
}

ZipError MakeFolders(const fs::path& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    return fs::is_directory(folder, ec) ? ZipError::None : ZipError::WriteFailed;
}

// A name no archive entry is likely to use, in the target's own folder so that the final rename
// stays on one volume.
std::wstring TempName() {
    static std::atomic<uint64_t> counter{std::random_device{}()};
    static constexpr wchar_t kHex[] = L"0123456789abcdef";
    std::wstring name = L"~ardmoor";
    uint64_t v = counter.fetch_add(0x9E3779B97F4A7C15ull);
    for (int i = 0; i < 12; ++i, v >>= 4) name += kHex[v & 15];
    return name + L".tmp";
}

// Removes the temporary file unless it was renamed into place.
struct TempGuard {
    detail::OutputFile& file;
    fs::path path;
    ~TempGuard() {
        (void)file.Close();  // Windows removes no open file
        std::error_code ec;
        if (!path.empty()) fs::remove(path, ec);
    }
};

void SetModifiedTime(const fs::path& file, const EntryData& d) {
    int64_t seconds = 0;
    if (d.unixTime) {
        seconds = *d.unixTime;
    } else {
        // DOS times are local time.
        std::tm tm{};
        tm.tm_year = 80 + (d.dosDate >> 9);
        tm.tm_mon = ((d.dosDate >> 5) & 15) - 1;
        tm.tm_mday = d.dosDate & 31;
        tm.tm_hour = d.dosTime >> 11;
        tm.tm_min = (d.dosTime >> 5) & 63;
        tm.tm_sec = (d.dosTime & 31) * 2;
        tm.tm_isdst = -1;
        if (tm.tm_mon < 0 || tm.tm_mon > 11 || tm.tm_mday == 0) return;
        const std::time_t t = std::mktime(&tm);
        if (t == static_cast<std::time_t>(-1)) return;
        seconds = static_cast<int64_t>(t);
    }
    const auto when = std::chrono::file_clock::from_sys(std::chrono::sys_seconds{std::chrono::seconds{seconds}});
    std::error_code ec;
    // The date is a courtesy: a file system that refuses it still gets the file.
    fs::last_write_time(file, when, ec);
}

bool MoveIntoPlace(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    if (!ec) return true;
    // Replacing an existing file is not atomic everywhere: make room first.
    if (!fs::is_regular_file(to, ec) || !fs::remove(to, ec)) return false;
    fs::rename(from, to, ec);
    return !ec;
}

class Extraction {
public:
    Extraction(detail::InputFile& file, const ZipEntry& entry, const EntryData& data, const ExtractProgress& progress,
               std::vector<unsigned char>& in, std::vector<unsigned char>& out)
        : file_(file), entry_(entry), data_(data), progress_(progress), in_(in), out_(out) {}

    ZipError Run(const fs::path& destination) {
        std::vector<std::wstring> parts;
        if (!detail::SplitSafeName(entry_.name, parts)) return ZipError::UnsafeName;
        fs::path target = destination;
        for (const std::wstring& part : parts) target /= PathPart(part);
        if (data_.folder) {
            if (!Report(0)) return ZipError::Cancelled;
            return MakeFolders(target);
        }
        if (entry_.encrypted) return ZipError::Encrypted;
        if (data_.method != detail::kMethodStored && data_.method != detail::kMethodDeflated)
            return ZipError::UnsupportedMethod;
        if (ZipError e = LocateData(); e != ZipError::None) return e;

        const fs::path folder = target.parent_path();
        std::error_code ec;
        const fs::space_info space = fs::space(NearestExisting(folder), ec);
        if (!ec && space.available < entry_.size) return ZipError::DiskFull;
        if (ZipError e = MakeFolders(folder); e != ZipError::None) return e;

        TempGuard guard{output_, {}};
        for (int attempt = 0;; ++attempt) {
            fs::path temp = folder / TempName();
            WriteResult r = output_.CreateNew(temp);
            if (r == WriteResult::Ok) {
                guard.path = std::move(temp);
                break;
            }
            if (r != WriteResult::Exists || attempt == 50) return FromWrite(r);
        }
        if (!Report(0)) return ZipError::Cancelled;
        ZipError e = data_.method == detail::kMethodStored ? CopyStored() : Inflate();
        if (e != ZipError::None) return e;
        if (written_ != entry_.size) return ZipError::Corrupt;
        if (crc_ != data_.crc) return ZipError::CrcMismatch;
        if (WriteResult r = output_.Close(); r != WriteResult::Ok) return FromWrite(r);
        SetModifiedTime(guard.path, data_);
        if (!MoveIntoPlace(guard.path, target)) return ZipError::WriteFailed;
        guard.path.clear();
        return ZipError::None;
    }

private:
    bool Report(uint64_t soFar) { return !progress_ || progress_(entry_.name, soFar, entry_.size); }

    // The local header tells where the data starts; it must agree with the directory.
    ZipError LocateData() {
        unsigned char h[detail::kLocalHeaderSize];
        if (!file_.ReadAt(data_.localOffset, h, sizeof h) || detail::Le32(h) != detail::kLocalHeaderSignature)
            return ZipError::Corrupt;
        if (detail::Le16(h + 6) & detail::kFlagEncrypted) return ZipError::Encrypted;
        if (detail::Le16(h + 8) != data_.method) return ZipError::Corrupt;
        dataStart_ = data_.localOffset + sizeof h + detail::Le16(h + 26) + detail::Le16(h + 28);
        if (dataStart_ > data_.limit || data_.limit - dataStart_ < entry_.compressedSize) return ZipError::Corrupt;
        if (data_.method == detail::kMethodStored && entry_.compressedSize != entry_.size) return ZipError::Corrupt;
        return ZipError::None;
    }

    ZipError Emit(const unsigned char* bytes, size_t size) {
        if (entry_.size - written_ < size) return ZipError::TooLarge;
        crc_ = crc32_z(crc_, bytes, size);
        if (WriteResult r = output_.Write(bytes, size); r != WriteResult::Ok) return FromWrite(r);
        written_ += size;
        return Report(written_) ? ZipError::None : ZipError::Cancelled;
    }

    ZipError CopyStored() {
        for (uint64_t at = dataStart_, left = entry_.compressedSize; left > 0;) {
            const size_t n = static_cast<size_t>(std::min<uint64_t>(left, in_.size()));
            if (!file_.ReadAt(at, in_.data(), n)) return ZipError::Corrupt;
            if (ZipError e = Emit(in_.data(), n); e != ZipError::None) return e;
            at += n;
            left -= n;
        }
        return ZipError::None;
    }

    ZipError Inflate() {
        z_stream z{};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK) throw std::bad_alloc();
        struct End {
            z_stream& z;
            ~End() { inflateEnd(&z); }
        } end{z};
        uint64_t at = dataStart_, left = entry_.compressedSize;
        for (;;) {
            if (z.avail_in == 0 && left > 0) {
                const size_t n = static_cast<size_t>(std::min<uint64_t>(left, in_.size()));
                if (!file_.ReadAt(at, in_.data(), n)) return ZipError::Corrupt;
                at += n;
                left -= n;
                z.next_in = in_.data();
                z.avail_in = static_cast<uInt>(n);
            }
            z.next_out = out_.data();
            z.avail_out = static_cast<uInt>(out_.size());
            const int rc = inflate(&z, Z_NO_FLUSH);
            const size_t produced = out_.size() - z.avail_out;
            if (produced > 0)
                if (ZipError e = Emit(out_.data(), produced); e != ZipError::None) return e;
            if (rc == Z_STREAM_END) return ZipError::None;
            if (rc != Z_OK && rc != Z_BUF_ERROR) return ZipError::Corrupt;
            // Out of input before the end of the stream: the data is cut short.
            if (produced == 0 && z.avail_in == 0 && left == 0) return ZipError::Corrupt;
        }
    }

    detail::InputFile& file_;
    const ZipEntry& entry_;
    const EntryData& data_;
    const ExtractProgress& progress_;
    std::vector<unsigned char>& in_;
    std::vector<unsigned char>& out_;
    detail::OutputFile output_;
    uint64_t dataStart_ = 0;
    uint64_t written_ = 0;
    uLong crc_ = 0;
};

}  // namespace

ZipError ZipReader::Extract(size_t index, const fs::path& destination, const ExtractProgress& progress) {
    if (!IsOpen()) return ZipError::CannotOpen;
    const ZipEntry& entry = Entry(index);
    try {
        State& s = *state_;
        if (s.inBuffer.empty()) {
            s.inBuffer.resize(kChunk);
            s.outBuffer.resize(kChunk);
        }
        return Extraction(s.file, entry, s.directory.data[index], progress, s.inBuffer, s.outBuffer).Run(destination);
    } catch (const std::bad_alloc&) {
        return ZipError::WriteFailed;
    }
}

}  // namespace ardmoor::zip
