#include "platform/zip/zip_reader.h"

#include <new>
#include <stdexcept>

#include "platform/zip/zip_reader_state.h"

namespace ardmoor::zip {

std::wstring Describe(ZipError error) {
    switch (error) {
    case ZipError::None: return L"The operation completed successfully.";
    case ZipError::CannotOpen: return L"The archive could not be opened. It may be missing, in use or unreadable.";
    case ZipError::NotAZip: return L"The file is not a zip archive.";
    case ZipError::Corrupt: return L"The archive is damaged or incomplete.";
    case ZipError::UnsafeName:
        return L"The archive holds a file whose name would place it outside the destination folder or is not "
               L"allowed by Windows, so it was not extracted.";
    case ZipError::Encrypted: return L"The file is protected by a password, which is not supported.";
    case ZipError::UnsupportedMethod: return L"The file is compressed with a method that is not supported.";
    case ZipError::CrcMismatch: return L"The file failed its integrity check: the archive is damaged.";
    case ZipError::TooLarge:
        return L"The file expands to more data than the archive declares, so it was not extracted.";
    case ZipError::DiskFull: return L"There is not enough free space on the disk to extract the file.";
    case ZipError::WriteFailed: return L"The file could not be written to the destination folder.";
    case ZipError::Cancelled: return L"The extraction was cancelled.";
    }
    return L"The archive could not be read.";
}

ZipReader::ZipReader() : state_(std::make_unique<State>()) {}
ZipReader::~ZipReader() = default;

ZipError ZipReader::Open(const std::filesystem::path& archive) {
    Close();
    try {
        if (!state_->file.Open(archive)) return ZipError::CannotOpen;
        ZipError e = detail::ReadDirectory(state_->file, state_->directory);
        if (e != ZipError::None) Close();
        return e;
    } catch (const std::bad_alloc&) {
        // A directory too big for memory is as unusable as a broken one.
        Close();
        return ZipError::Corrupt;
    }
}

void ZipReader::Close() noexcept {
    state_->file.Close();
    state_->directory = {};
}

bool ZipReader::IsOpen() const noexcept { return state_->file.IsOpen(); }

size_t ZipReader::EntryCount() const noexcept { return state_->directory.entries.size(); }

const ZipEntry& ZipReader::Entry(size_t index) const {
    if (index >= EntryCount()) throw std::out_of_range("zip entry index");
    return state_->directory.entries[index];
}

}  // namespace ardmoor::zip
