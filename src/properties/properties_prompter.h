#pragma once
// The questions the properties editor asks: message boxes, and the value edit dialog.
#include <windows.h>

#include <string>

#include "platform/prompter.h"

namespace ardmoor {

// What the value edit dialog is given and hands back (frmEdit's public members).
struct ValueEdit {
    static constexpr int kAdd = 0;
    static constexpr int kEdit = 1;
    int EditMode = kAdd;
    std::wstring ValueName;  // in: shown in edit mode; out: the name box's text
    std::wstring ValueData;  // in: shown in edit mode; out: the data box's text
    bool Cancelled = true;   // false only when the dialog was left with OK
};

class PropertiesPrompter : public Prompter {
public:
    // Shows the value edit dialog and returns when it has closed.
    virtual void EditValue(ValueEdit& edit) = 0;
};

// The real one: message boxes and frmEdit, owned by a window of the program.
class DialogPropertiesPrompter : public PropertiesPrompter {
public:
    explicit DialogPropertiesPrompter(HWND owner) noexcept : owner_(owner), boxes_(owner) {}
    int Message(const std::wstring& text, const std::wstring& title, UINT type) override {
        return boxes_.Message(text, title, type);
    }
    void EditValue(ValueEdit& edit) override;

private:
    HWND owner_;
    MessageBoxPrompter boxes_;
};

}  // namespace ardmoor
