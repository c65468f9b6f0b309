#pragma once
// The system's open-file and save-file dialogs behind one call each, every option passed in and
// every answer passed back through the same arguments. One object serves one use; it shows no
// message of its own.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ardmoor {

// What both file dialogs take, read before the dialog and written back after it.
struct FileDialogArgs {
    // In: the name the dialog starts with. Out: the dialog's file buffer: the chosen path, or with
    // MultiSelect the folder and the chosen names separated by NULs. Text up to the first NUL is
    // the path to show.
    std::wstring FileName;
    std::wstring FileTitle;  // out: the chosen file's name without its folder
    bool ReadOnly = false;  // in: the read-only box starts checked; out: it was left checked
    bool HideReadOnly = false;
    // In: description and pattern pairs separated by "|" (a ":" separates as well). Out: the entry
    // the user ended with, its description, a NUL and its pattern; empty on cancel.
    std::wstring Filter = L"All Files (*.*)|*.*";
    int32_t FilterIndex = 1;  // 1-based; out: the entry the user ended with, -1 on cancel
    std::wstring InitDir;     // empty: the system's choice
    std::wstring DlgTitle;
    std::wstring DefaultExt;  // added to a typed name without one; empty: none
    HWND Owner = kNoOwner;
    int32_t Flags = 0;  // further OFN_* bits; out: the bits the dialog returned, 0 on cancel

    static inline const HWND kNoOwner = reinterpret_cast<HWND>(static_cast<INT_PTR>(-1));
};

struct OpenFileNameArgs : FileDialogArgs {
    bool FileMustExist = true;
    bool MultiSelect = false;
};

struct SaveFileNameArgs : FileDialogArgs {
    bool OverWritePrompt = true;  // a chosen file that exists is replaced only when the user agrees
};

class GCommonDialog {
public:
    // Shows the open-file dialog; true when the user chose a file.
    bool VBGetOpenFileName(OpenFileNameArgs& args);
    // Shows the save-file dialog; true when the user chose a file.
    bool VBGetSaveFileName(SaveFileNameArgs& args);

    // The last dialog call's return value (0 before a call).
    [[nodiscard]] int32_t APIReturn() const noexcept { return apiReturn_; }
    // The common-dialog error code after a call that failed; 0 when the user cancelled.
    [[nodiscard]] int32_t ExtendedError() const noexcept { return extendedError_; }

    // Splits a file buffer from a multiple selection into its folder and names; a buffer with a
    // single path gives that path's folder and name. False when the buffer holds no name.
    static bool ParseMultiFileName(const std::wstring& fileName, std::wstring& folder,
                                   std::vector<std::wstring>& names);

private:
    bool Show(FileDialogArgs& args, DWORD flags, bool save);

    int32_t apiReturn_ = 0;
    int32_t extendedError_ = 0;
};

}  // namespace ardmoor
