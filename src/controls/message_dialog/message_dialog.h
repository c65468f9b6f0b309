#pragma once
// The look every message dialog of the program shares: centred on the screen; a header strip with
// one line of text (an entry's name, a folder) cut with an ellipsis when it does not fit; an icon
// beside a multi-line text box holding the explanation; and a strip of buttons at the bottom with
// an etched line along its top.
//
// A dialog derives from it, sets its texts and buttons in Form_Load (its public members are set by
// then) and turns the button pressed into its answer in OnButton. Esc, the close box and Alt+F4 close it without OnButton,
// so the answer it started with stands.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/modal_window.h"
#include "platform/unique_handle.h"

namespace ardmoor {

class MessageDialog : public ModalWindow {
public:
    struct Button {
        int id;
        std::wstring text;
    };

    // The control ids of the parts, for tests and screen readers (buttons keep their own ids).
    static constexpr int kHeaderId = 10;
    static constexpr int kTextId = 11;
    static constexpr int kIconId = 12;
    static constexpr int kButtonStripId = 13;

protected:
    explicit MessageDialog(std::wstring caption);

    // The header line, drawn with DrawPictureText (`drawFlags` as DrawTextW's) in a bold `fontName`.
    void SetHeader(std::wstring text, UINT drawFlags, std::wstring fontName);
    void SetMessageText(std::wstring text);
    // A system icon (IDI_QUESTION, IDI_WARNING, ...).
    void SetIcon(const wchar_t* systemIcon) { icon_ = systemIcon; }
    // Left to right; the default one has the focus when the dialog opens and answers Enter.
    void SetButtons(std::vector<Button> buttons, int defaultId);

    // Runs first when the window is made: set the answer's starting value, texts and buttons.
    virtual void Form_Load() = 0;
    // A button was pressed; the dialog closes afterwards.
    virtual void OnButton(int id) = 0;

private:
    bool OnCreate() final;
    [[nodiscard]] int DefaultButtonId() const final { return defaultId_; }
    void OnCommand(int id, int code, HWND control) final;
    bool OnWindowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) final;

    std::wstring headerText_;
    UINT headerFlags_ = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
    std::wstring headerFontName_ = L"MS Sans Serif";
    std::wstring messageText_;
    const wchar_t* icon_ = IDI_INFORMATION;
    std::vector<Button> buttons_;
    int defaultId_ = 0;
    UniqueFont headerFont_;
    HWND header_ = nullptr;
    HWND strip_ = nullptr;
    HWND focus_ = nullptr;  // where the focus was when the dialog was last deactivated
};

}  // namespace ardmoor
