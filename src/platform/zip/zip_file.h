#pragma once
// Plain file access for the zip reader, through the C runtime on Windows and POSIX elsewhere:
// 64-bit offsets everywhere, exclusive creation, and the disk-full case told apart.
#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace ardmoor::zip::detail {

class InputFile {
public:
    InputFile() = default;
    ~InputFile() { Close(); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    [[nodiscard]] bool Open(const std::filesystem::path& path);
    void Close() noexcept;
    [[nodiscard]] bool IsOpen() const noexcept { return fd_ >= 0; }
    [[nodiscard]] uint64_t Size() const noexcept { return size_; }
    // Reads exactly size bytes at offset; false when the file holds fewer.
    [[nodiscard]] bool ReadAt(uint64_t offset, void* buffer, size_t size);

private:
    int fd_ = -1;
    uint64_t size_ = 0;
};

enum class WriteResult { Ok, Exists, DiskFull, Failed };

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile() { (void)Close(); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates a file that must not exist yet (Exists when it does).
    [[nodiscard]] WriteResult CreateNew(const std::filesystem::path& path);
    [[nodiscard]] WriteResult Write(const void* data, size_t size);
    [[nodiscard]] WriteResult Close() noexcept;

private:
    int fd_ = -1;
};

}  // namespace ardmoor::zip::detail
