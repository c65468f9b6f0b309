#pragma once
// The real ardmoor.exe of the test prefix and the parts of its main window a user looks at, for the
// end-to-end tests.
#include <windows.h>

#include <string>

#include "remote_ui.h"

namespace ardmoor::test {

struct ArdmoorApp {
    AppProcess app;
    HWND main = nullptr, list = nullptr, status = nullptr, tasks = nullptr;

    // Starts the program and waits for its main window and, when asked, for every row, tip and icon.
    void Start(bool wholeListing = true);
    // 3 once the listing is whole.
    [[nodiscard]] int RefreshState() const;
    void Close();
    void ViewDetails() const;
    // The row of a name in the list, -1 when it is not there.
    [[nodiscard]] int IndexOf(const std::wstring& name) const;
    [[nodiscard]] bool Listed(const std::wstring& name) const { return IndexOf(name) >= 0; }
    // Clicks the row and waits until it is the selected one.
    void SelectRow(int index, bool doubleClick = false) const;
    // The task pane's text starting with `prefix`.
    [[nodiscard]] std::wstring Detail(const std::wstring& prefix) const;
    // The count in the status bar, -1 while there is none.
    [[nodiscard]] int Count() const;
    // One of the program's own dialogs with this caption, once it shows.
    [[nodiscard]] HWND WaitDialog(const wchar_t* caption, std::chrono::milliseconds timeout = 60s) const;
    // Answers the message box captioned `caption` after checking that one of its texts holds `says`.
    void Answer(const wchar_t* caption, const std::wstring& says, int button) const;
};

}  // namespace ardmoor::test
