#pragma once
// The value edit dialog: the name and data of a new value ("Add Entry..."), or new data for an
// existing one ("Edit Value...").
#include <string>

#include "platform/modal_window.h"
#include "properties/focus_keeper.h"

namespace ardmoor {

// NOLINTNEXTLINE(readability-identifier-naming): the dialog keeps its designed name.
class frmEdit : public ModalWindow {
public:
    frmEdit();

    int EditMode = 0;        // 0 add a value, 1 edit a value; written before showing
    std::wstring ValueName;  // in: the name shown in edit mode; out: the name box's text
    std::wstring ValueData;  // in: the data shown in edit mode; out: the data box's text
    bool Cancelled = true;   // false only when the dialog was left with OK

protected:
    bool OnCreate() override;
    [[nodiscard]] int DefaultButtonId() const override;
    void OnCommand(int id, int code, HWND control) override;
    bool OnWindowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void Form_Load();
    HWND Text1 = nullptr;  // data box
    HWND Text2 = nullptr;  // name box
    FocusKeeper focus_;
};

}  // namespace ardmoor
