#include "controls/common_dialog/GCommonDialog.h"

#include <commdlg.h>

namespace ardmoor {

namespace {
constexpr size_t kFileBufferLength = 32768;
constexpr size_t kTitleBufferLength = 260;

// The dialog's filter list: "|" and ":" become NULs, and two NULs end it.
std::wstring FilterList(const std::wstring& filter) {
    std::wstring list;
    list.reserve(filter.size() + 2);
    for (wchar_t c : filter) list.push_back(c == L'|' || c == L':' ? L'\0' : c);
    list.append(2, L'\0');
    return list;
}

// Entry `index` (1-based) of a filter list: its description, a NUL and its pattern.
std::wstring FilterEntry(const std::wstring& list, int32_t index) {
    std::vector<std::wstring> parts;
    for (size_t start = 0; start < list.size();) {
        const size_t end = list.find(L'\0', start);
        if (end == start) break;  // the empty string that ends the list
        parts.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    const size_t description = static_cast<size_t>(index) * 2 - 2;
    if (index < 1 || description >= parts.size()) return {};
    std::wstring entry = parts[description];
    entry.push_back(L'\0');
    if (description + 1 < parts.size()) entry += parts[description + 1];
    return entry;
}

const wchar_t* OrNull(const std::wstring& s) { return s.empty() ? nullptr : s.c_str(); }
}  // namespace

bool GCommonDialog::VBGetOpenFileName(OpenFileNameArgs& a) {
    DWORD flags = 0;
    if (a.FileMustExist) flags |= OFN_FILEMUSTEXIST;
    // Names of a multiple selection come back NUL-separated only from the Explorer-style dialog.
    if (a.MultiSelect) flags |= OFN_ALLOWMULTISELECT | OFN_EXPLORER;
    return Show(a, flags, false);
}

bool GCommonDialog::VBGetSaveFileName(SaveFileNameArgs& a) {
    return Show(a, a.OverWritePrompt ? OFN_OVERWRITEPROMPT : 0, true);
}

bool GCommonDialog::Show(FileDialogArgs& a, DWORD flags, bool save) {
    apiReturn_ = 0;
    extendedError_ = 0;

    flags |= static_cast<DWORD>(a.Flags) & ~static_cast<DWORD>(OFN_ENABLEHOOK | OFN_ENABLETEMPLATE);
    if (a.ReadOnly) flags |= OFN_READONLY;
    if (a.HideReadOnly) flags |= OFN_HIDEREADONLY;

    const std::wstring filter = FilterList(a.Filter);
    std::wstring file = a.FileName.substr(0, kFileBufferLength - 1);
    file.resize(kFileBufferLength, L'\0');
    std::wstring title = a.FileTitle.substr(0, kTitleBufferLength - 1);
    title.resize(kTitleBufferLength, L'\0');

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = a.Owner == OpenFileNameArgs::kNoOwner ? nullptr : a.Owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = a.FilterIndex < 0 ? 0 : static_cast<DWORD>(a.FilterIndex);
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(kFileBufferLength);
    ofn.lpstrFileTitle = title.data();
    ofn.nMaxFileTitle = static_cast<DWORD>(kTitleBufferLength);
    ofn.lpstrInitialDir = OrNull(a.InitDir);
    ofn.lpstrTitle = OrNull(a.DlgTitle);
    ofn.lpstrDefExt = OrNull(a.DefaultExt);
    ofn.Flags = flags;

    const BOOL chosen = save ? ::GetSaveFileNameW(&ofn) : ::GetOpenFileNameW(&ofn);
    apiReturn_ = chosen;
    if (chosen) {
        // The buffer as the dialog left it, without the NULs that only fill it up.
        const size_t used = file.find_last_not_of(L'\0');
        a.FileName = used == std::wstring::npos ? std::wstring() : file.substr(0, used + 1);
        a.FileTitle = title.substr(0, title.find(L'\0'));
        a.Flags = static_cast<int32_t>(ofn.Flags);
        a.ReadOnly = (ofn.Flags & OFN_READONLY) != 0;
        a.FilterIndex = static_cast<int32_t>(ofn.nFilterIndex);
        a.Filter = FilterEntry(filter, a.FilterIndex);
        return true;
    }
    // Cancelled (error 0) or failed.
    extendedError_ = static_cast<int32_t>(::CommDlgExtendedError());
    a.FileName.clear();
    a.FileTitle.clear();
    a.Flags = 0;
    a.FilterIndex = -1;
    a.Filter.clear();
    return false;
}

bool GCommonDialog::ParseMultiFileName(const std::wstring& fileName, std::wstring& folder,
                                       std::vector<std::wstring>& names) {
    folder.clear();
    names.clear();
    std::vector<std::wstring> parts;
    for (size_t start = 0; start < fileName.size();) {
        size_t end = fileName.find(L'\0', start);
        if (end == std::wstring::npos) end = fileName.size();
        if (end > start) parts.push_back(fileName.substr(start, end - start));
        start = end + 1;
    }
    if (parts.empty()) return false;
    if (parts.size() == 1) {
        const size_t slash = parts[0].find_last_of(L'\\');
        if (slash == std::wstring::npos || slash + 1 == parts[0].size()) return false;
        folder = parts[0].substr(0, slash + 1);
        names.push_back(parts[0].substr(slash + 1));
        return true;
    }
    folder = parts[0];
    if (folder.back() != L'\\') folder.push_back(L'\\');
    names.assign(parts.begin() + 1, parts.end());
    return true;
}

}  // namespace ardmoor
