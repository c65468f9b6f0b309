#pragma once
// Where the program's exports go: a sink of bytes, and a file that appears under its name whole
// or not at all.
#include <windows.h>

#include <string>
#include <string_view>

#include "platform/result.h"
#include "platform/unique_handle.h"

namespace ardmoor {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes all of `bytes`, or fails with the system's error code.
    [[nodiscard]] virtual Status Write(std::string_view bytes) = 0;
};

// The bytes go to a temporary file in the target's folder, which replaces the target only when
// Commit is called after the last write. A failure at any point, or an object destroyed without
// Commit, removes the temporary file and leaves the target as it was.
class AtomicFile final : public ByteSink {
public:
    AtomicFile() = default;
    ~AtomicFile() override;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Fails before anything is created when the target is read-only or a folder (ERROR_ACCESS_DENIED),
    // or when its folder takes no new file.
    [[nodiscard]] Status Open(const std::wstring& target);
    [[nodiscard]] Status Write(std::string_view bytes) override;
    // Flushes the data to disk, closes the file and renames it onto the target.
    [[nodiscard]] Status Commit();
    // The target as a full path (after Open).
    [[nodiscard]] const std::wstring& Target() const noexcept { return target_; }

private:
    void Discard() noexcept;
    std::wstring target_;
    std::wstring temp_;
    UniqueKernelHandle file_;
};

}  // namespace ardmoor
