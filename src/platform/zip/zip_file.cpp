#include "platform/zip/zip_file.h"

#include <algorithm>
#include <cerrno>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ardmoor::zip::detail {

namespace {

#ifdef _WIN32
// The CRT counts in unsigned int.
constexpr size_t kMaxIo = 1u << 30;

int OpenWide(const std::filesystem::path& path, int flags, int mode) {
    int fd = -1;
    if (errno_t rc = _wsopen_s(&fd, path.c_str(), flags | _O_BINARY | _O_NOINHERIT, _SH_DENYNO, mode); rc != 0) {
        errno = rc;
        return -1;
    }
    return fd;
}
int OpenRead(const std::filesystem::path& path) { return OpenWide(path, _O_RDONLY, 0); }
int CreateExclusive(const std::filesystem::path& path) {
    return OpenWide(path, _O_WRONLY | _O_CREAT | _O_EXCL, _S_IREAD | _S_IWRITE);
}
long long ReadSome(int fd, uint64_t offset, void* buffer, size_t size) {
    if (_lseeki64(fd, static_cast<long long>(offset), SEEK_SET) < 0) return -1;
    return _read(fd, buffer, static_cast<unsigned>(std::min(size, kMaxIo)));
}
long long WriteSome(int fd, const void* data, size_t size) {
    return _write(fd, data, static_cast<unsigned>(std::min(size, kMaxIo)));
}
int CloseFd(int fd) { return _close(fd); }
bool FileSize(int fd, uint64_t& size) {
    long long end = _lseeki64(fd, 0, SEEK_END);
    if (end < 0) return false;
    size = static_cast<uint64_t>(end);
    return true;
}
#else
constexpr size_t kMaxIo = size_t{1} << 30;

int OpenRead(const std::filesystem::path& path) { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC); }
int CreateExclusive(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
long long ReadSome(int fd, uint64_t offset, void* buffer, size_t size) {
    return ::pread(fd, buffer, std::min(size, kMaxIo), static_cast<off_t>(offset));
}
long long WriteSome(int fd, const void* data, size_t size) { return ::write(fd, data, std::min(size, kMaxIo)); }
int CloseFd(int fd) { return ::close(fd); }
bool FileSize(int fd, uint64_t& size) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    size = static_cast<uint64_t>(st.st_size);
    return true;
}
#endif

WriteResult FromErrno() {
#ifdef EDQUOT
    if (errno == EDQUOT) return WriteResult::DiskFull;
#endif
    return errno == ENOSPC ? WriteResult::DiskFull : WriteResult::Failed;
}

}  // namespace

bool InputFile::Open(const std::filesystem::path& path) {
    Close();
    fd_ = OpenRead(path);
    if (fd_ < 0) return false;
    if (!FileSize(fd_, size_)) {
        Close();
        return false;
    }
    return true;
}

void InputFile::Close() noexcept {
    if (fd_ >= 0) CloseFd(fd_);
    fd_ = -1;
    size_ = 0;
}

bool InputFile::ReadAt(uint64_t offset, void* buffer, size_t size) {
    if (fd_ < 0 || offset > size_ || size > size_ - offset) return false;
    auto* out = static_cast<unsigned char*>(buffer);
    while (size > 0) {
        long long got = ReadSome(fd_, offset, out, size);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        out += got;
        offset += static_cast<uint64_t>(got);
        size -= static_cast<size_t>(got);
    }
    return true;
}

WriteResult OutputFile::CreateNew(const std::filesystem::path& path) {
    (void)Close();
    fd_ = CreateExclusive(path);
    if (fd_ >= 0) return WriteResult::Ok;
    return errno == EEXIST ? WriteResult::Exists : FromErrno();
}

WriteResult OutputFile::Write(const void* data, size_t size) {
    const auto* in = static_cast<const unsigned char*>(data);
    while (size > 0) {
        long long put = WriteSome(fd_, in, size);
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return FromErrno();
        if (put == 0) return WriteResult::DiskFull;
        in += put;
        size -= static_cast<size_t>(put);
    }
    return WriteResult::Ok;
}

WriteResult OutputFile::Close() noexcept {
    if (fd_ < 0) return WriteResult::Ok;
    int rc = CloseFd(fd_);
    fd_ = -1;
    return rc == 0 ? WriteResult::Ok : FromErrno();
}

}  // namespace ardmoor::zip::detail
