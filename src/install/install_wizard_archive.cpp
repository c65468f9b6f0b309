// The install wizard's zip archives: listing the setup programs inside one during the search, and
// Finish on one: extraction into a new folder of its own, then its setup program, waited for.
#include <cstdint>
#include <limits>

#include "catalogue/file_helpers.h"
#include "install/install_wizard.h"
#include "install/setup_files.h"
#include "platform/strings.h"
#include "platform/zip/zip_reader.h"

namespace ardmoor {

namespace {
using zip::ZipError;
using zip::ZipReader;

// Progress reports redraw the page a few times a second at most, and at each new file.
constexpr unsigned long long kProgressIntervalMs = 30;

// A name inside an archive that can be a setup program: not a folder, and not blank.
std::wstring CandidateName(const zip::ZipEntry& entry) {
    if (entry.attributes == FILE_ATTRIBUTE_DIRECTORY) return {};
    std::wstring bare = BareName(entry.name);
    return Trim(bare).empty() ? std::wstring() : bare;
}

// Makes a new folder "<root><base>-<n>" for the first n that is not taken; empty on failure.
std::wstring NewFolder(const std::wstring& root, const std::wstring& base, DWORD& error) {
    ::CreateDirectoryW(root.c_str(), nullptr);  // the parent may exist already
    for (int n = 1; n < 10000; ++n) {
        const std::wstring folder = root + base + L"-" + std::to_wstring(n);
        if (::CreateDirectoryW(folder.c_str(), nullptr)) return folder + L"\\";
        error = ::GetLastError();
        if (error != ERROR_ALREADY_EXISTS) return {};
    }
    return {};
}

// Removes a folder this wizard made, with what was written into it. Links are removed, not entered.
void RemoveFolder(const std::wstring& folder) {
    DirectoryReader reader;
    if (reader.Open(folder)) {
        std::vector<std::pair<std::wstring, DWORD>> children;
        while (const DirectoryEntry* e = reader.Next())
            if (e->name != L"." && e->name != L"..") children.emplace_back(std::wstring(e->name), e->attributes);
        for (const auto& [name, attributes] : children) {
            const std::wstring path = AddBackslash(folder) + name;
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveFolder(path);
            else if (attributes & FILE_ATTRIBUTE_DIRECTORY)
                ::RemoveDirectoryW(path.c_str());
            else
                ::DeleteFileW(path.c_str());
        }
    }
    ::RemoveDirectoryW(folder.c_str());
}

// The progress bar takes 32-bit values: large totals are scaled down together.
int32_t Scaled(uint64_t value, uint64_t total) {
    constexpr uint64_t kMax = static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
    const uint64_t divisor = total > kMax ? total / kMax + 1 : 1;
    return static_cast<int32_t>(value / divisor);
}
}  // namespace

void InstallWizard::AddArchiveItems(const std::wstring& szFilename, const std::wstring& szPath,
                                    const std::wstring& szFullPath, uint64_t dwSize, const FILETIME& ftModified) {
    ZipReader cZip;
    if (cZip.Open(std::filesystem::path(szFullPath)) != ZipError::None) return;  // not readable: no item
    // Every setup program inside gives an item of its own.
    for (size_t i = 0; i < cZip.EntryCount(); ++i) {
        const std::wstring bare = CandidateName(cZip.Entry(i));
        if (!bare.empty() && IsSetupProgramName(bare))
            AddItem({szFullPath + L"|" + bare, szFilename, szPath, szFullPath, dwSize, ftModified});
    }
}

bool InstallWizard::cZip_OnExtract(const std::wstring& FileName, uint64_t soFar, uint64_t ToDo) {
    const std::wstring status = L"Extracting " + BareName(FileName) + L"...";
    const unsigned long long now = ::GetTickCount64();
    if (status != extractStatus_ || now - lastStatusTick_ >= kProgressIntervalMs || soFar == ToDo) {
        lastStatusTick_ = now;
        extractStatus_ = status;
        progressMax_ = Scaled(ToDo, ToDo);
        progressValue_ = Scaled(soFar, ToDo);
        view_.ExtractionChanged();
        view_.LetMessagesRun();
    }
    return !closing_;  // closing the wizard cancels the extraction
}

bool InstallWizard::FinishArchive() {
    const std::wstring archive = chosenFile_;
    const std::wstring root =
        settings_.extractionRoot.empty() ? GetSpecialFolderPath(kFolderTemp) + L"Ardmoor\\" : AddBackslash(settings_.extractionRoot);
    std::wstring base = BareName(archive);
    if (const size_t dot = base.find_last_of(L'.'); dot != std::wstring::npos && dot > 0) base.resize(dot);
    DWORD error = 0;
    const std::wstring folder = NewFolder(root, base, error);
    if (folder.empty()) {
        Tell(L"The archive cannot be extracted: no folder could be made for it in\r\n\r\n" + root + L"\r\n\r\n" +
                 SystemErrorText(error),
             MB_ICONEXCLAMATION);
        return false;
    }
    extractionFolder_ = folder;
    extractionVisible_ = true;
    extractStatus_.clear();
    progressMax_ = 100;
    progressValue_ = 0;
    view_.ExtractionChanged();

    ZipReader cZip;
    ZipError result = cZip.Open(std::filesystem::path(archive));
    std::wstring failedEntry;
    std::wstring setupName;  // stored name of the setup program
    if (result == ZipError::None) {
        // The setup program: the first qualifying entry.
        uint64_t total = 0;
        for (size_t i = 0; i < cZip.EntryCount(); ++i) {
            const uint64_t size = cZip.Entry(i).size;
            total = size > UINT64_MAX - total ? UINT64_MAX : total + size;
            const std::wstring bare = CandidateName(cZip.Entry(i));
            if (setupName.empty() && !bare.empty() && IsSetupProgramName(bare)) setupName = cZip.Entry(i).name;
        }
        // Entries that each fit but not all together would fill the disk before the last one
        // failed: the whole archive must fit before a byte is written.
        ULARGE_INTEGER available{};
        if (::GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr) && total > available.QuadPart)
            result = ZipError::DiskFull;
        // Every entry, with one progress bar over the whole archive.
        uint64_t done = 0;
        for (size_t i = 0; i < cZip.EntryCount() && result == ZipError::None; ++i) {
            const zip::ZipEntry& entry = cZip.Entry(i);
            result = cZip.Extract(i, std::filesystem::path(folder), [&](const std::wstring& name, uint64_t soFar, uint64_t) {
                return cZip_OnExtract(name, done + soFar, total);
            });
            if (result != ZipError::None) failedEntry = entry.name;
            done += entry.size;
        }
        cZip.Close();
    }
    if (result != ZipError::None) {
        // Nothing of an archive that did not extract whole is kept or started.
        RemoveFolder(folder);
        extractionFolder_.clear();
        if (closing_ || result == ZipError::Cancelled) return false;
        Tell(L"The archive cannot be installed. " + zip::Describe(result) + L"\r\n\r\nArchive: " + archive +
                 (failedEntry.empty() ? L"" : L"\r\nFile: " + failedEntry) + L"\r\n\r\nNothing was started.",
             MB_ICONEXCLAMATION);
        return false;
    }
    if (setupName.empty()) {
        Tell(L"No setup program was found in the archive, so nothing was started. Its files were extracted to:\r\n\r\n" +
                 folder,
             MB_ICONINFORMATION);
        return true;
    }
    const std::wstring setup = folder + setupName;
    view_.SetInUse(false);
    const Status ran = runner_.RunAndWait(L"\"" + setup + L"\"", SW_SHOWNORMAL);
    view_.SetInUse(true);
    if (!ran) {
        Tell(L"The setup program could not be started:\r\n\r\n" + setup + L"\r\n\r\n" +
                 SystemErrorText(static_cast<unsigned long>(ran.error())),
             MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

}  // namespace ardmoor
