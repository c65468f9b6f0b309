#pragma once
// Reads zip archives and extracts their entries safely. Portable C++ over zlib (no windows.h), so
// that it also builds natively for fuzzing and sanitizers.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ardmoor::zip {

enum class ZipError {
    None,
    CannotOpen,         // missing, unreadable or in use
    NotAZip,            // no end of central directory record
    Corrupt,            // malformed, truncated, inconsistent, or spread over several disks
    UnsafeName,         // would land outside the destination, or is not a usable Windows name
    Encrypted,
    UnsupportedMethod,  // neither stored nor deflated
    CrcMismatch,
    TooLarge,           // inflates to more than the entry declares
    DiskFull,           // the entry does not fit in the destination's free space
    WriteFailed,
    Cancelled,          // the progress callback returned false
};

// A plain sentence for a message box.
std::wstring Describe(ZipError error);

struct ZipEntry {
    std::wstring name;        // stored name, parts separated by backslashes; a folder's ends with one
    uint32_t attributes = 0;  // Windows file attributes: exactly 16 for a folder, never 16 for a file
    uint64_t size = 0;
    uint64_t compressedSize = 0;
    bool encrypted = false;
};

// Reports bytes of the entry written so far (soFar <= toDo, toDo = the entry's size): once before
// writing and after every chunk. Returning false cancels; the partial file is removed.
using ExtractProgress = std::function<bool(const std::wstring& name, uint64_t soFar, uint64_t toDo)>;

class ZipReader {
public:
    ZipReader();
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    // Reads the central directory; closes whatever was open before. Never throws.
    [[nodiscard]] ZipError Open(const std::filesystem::path& archive);
    void Close() noexcept;
    [[nodiscard]] bool IsOpen() const noexcept;

    [[nodiscard]] size_t EntryCount() const noexcept;
    // 0-based; throws std::out_of_range past the end, like vector::at.
    [[nodiscard]] const ZipEntry& Entry(size_t index) const;

    // Writes the entry below destination under its stored relative path, creating the destination
    // and the folders on the way; a file already there is replaced. The entry is written to a
    // temporary file beside its target and renamed only once it is whole and its CRC checks out,
    // so a failure leaves nothing under its name. Throws std::out_of_range past the end; returns
    // CannotOpen when no archive is open; an exception thrown by progress is passed on.
    [[nodiscard]] ZipError Extract(size_t index, const std::filesystem::path& destination,
                                   const ExtractProgress& progress = {});

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace ardmoor::zip
