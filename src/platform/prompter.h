#pragma once
// Questions and messages to the user. The program's workflows (uninstall, properties, printing,
// the install wizard) take a Prompter instead of calling MessageBoxW, so that tests can answer
// them from a script. Each workflow extends it with the dialogs of its own.
#include <windows.h>

#include <string>

namespace ardmoor {

class Prompter {
public:
    virtual ~Prompter() = default;
    // A message box: `type` takes the MB_* flags; the answer is MessageBoxW's (IDYES, IDNO, IDOK,
    // IDCANCEL, ...). Closing the box counts as its cancel answer, as with MessageBoxW.
    virtual int Message(const std::wstring& text, const std::wstring& title, UINT type) = 0;
};

// The real one: a message box owned by a window of the program.
class MessageBoxPrompter : public Prompter {
public:
    explicit MessageBoxPrompter(HWND owner) noexcept : owner_(owner) {}
    int Message(const std::wstring& text, const std::wstring& title, UINT type) override {
        return ::MessageBoxW(owner_, text.c_str(), title.c_str(), type);
    }

protected:
    [[nodiscard]] HWND Owner() const noexcept { return owner_; }

private:
    HWND owner_;
};

}  // namespace ardmoor
