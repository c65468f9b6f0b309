#pragma once
// The questions of the uninstall workflow: message boxes and its three dialogs. Tests answer them
// from a script; the program shows the real dialogs.
#include <string>

#include "platform/prompter.h"

namespace ardmoor {

class UninstallPrompter : public Prompter {
public:
    // frmUninstallMsg: returns its Choice (frmUninstallMsg::kYes, kNo or kRetry).
    virtual int InvalidEntry(const std::wstring& messageText, const std::wstring& entryName) = 0;
    // frmVerify: returns its Declined (false only when the user chose Yes).
    virtual bool VerifyDeclined(const std::wstring& entryName) = 0;
    // frmCleanup: returns its Declined (false only when the user chose Yes).
    virtual bool CleanupDeclined(const std::wstring& folder) = 0;
};

// The real one: message boxes and dialogs owned by a window of the program.
class DialogUninstallPrompter : public UninstallPrompter {
public:
    explicit DialogUninstallPrompter(HWND owner) noexcept : owner_(owner) {}
    int Message(const std::wstring& text, const std::wstring& title, UINT type) override;
    int InvalidEntry(const std::wstring& messageText, const std::wstring& entryName) override;
    bool VerifyDeclined(const std::wstring& entryName) override;
    bool CleanupDeclined(const std::wstring& folder) override;

private:
    HWND owner_;
};

}  // namespace ardmoor
