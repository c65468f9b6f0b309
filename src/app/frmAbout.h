#pragma once
// The About box: the product and its maker, the maker's web address as a link, and the way to
// the system information window.
#include <windows.h>

#include <string>

#include "platform/modal_window.h"
#include "platform/shell.h"
#include "platform/unique_handle.h"

namespace ardmoor {

class frmAbout : public ModalWindow {
public:
    explicit frmAbout(Shell& shell);

protected:
    bool OnCreate() override;
    void OnCommand(int id, int code, HWND control) override;
    bool OnWindowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void Label5_Click();
    void Command3_Click();

    Shell& shell_;
    UniqueIcon Image1;
    UniqueFont titleFont_;
    HWND Label5 = nullptr;    // the web address
    HWND Command1 = nullptr;  // "&OK"
    HWND lastFocus_ = nullptr;
};

// "1.0.0", from the program's version resource; empty when it has none.
std::wstring ProgramVersion();

}  // namespace ardmoor
