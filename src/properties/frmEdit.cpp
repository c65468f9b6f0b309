#include "properties/frmEdit.h"

#include "app/main_commands.h"
#include "app/window_helpers.h"
#include "properties/properties_ids.h"
#include "properties/properties_prompter.h"

namespace ardmoor {

namespace {
// Layout in pixels at 96 DPI.
constexpr int kWidth = 400;
constexpr int kHeight = 204;
constexpr int kMargin = 12;
constexpr int kStripTop = 156;  // Picture1: the button strip with its etched line
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;
constexpr int kMaxNameChars = 16383;  // the registry's longest value name
}  // namespace

frmEdit::frmEdit() : ModalWindow(L"Edit", kWidth, kHeight) {}

bool frmEdit::OnCreate() {
    const int inner = kWidth - 2 * kMargin;
    AddControl(L"STATIC", L"Value Name..", SS_LEFT | SS_NOPREFIX, kMargin, 12, inner, 16, kIdEditNameLabel);
    Text2 = AddControl(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, kMargin, 30, inner, 22, kIdEditName,
                       WS_EX_CLIENTEDGE);
    AddControl(L"STATIC", L"Value Data...", SS_LEFT | SS_NOPREFIX, kMargin, 62, inner, 16, kIdEditDataLabel);
    // Several lines, so that long links wrap and multi-string data keeps its line breaks.
    Text1 = AddControl(L"EDIT", L"", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, kMargin, 80, inner, 64,
                       kIdEditData, WS_EX_CLIENTEDGE);
    const int buttonTop = kStripTop + (kHeight - kStripTop - kButtonHeight) / 2;
    AddControl(L"BUTTON", L"&OK", WS_TABSTOP | BS_DEFPUSHBUTTON, kWidth - kMargin - 2 * kButtonWidth - 8, buttonTop,
               kButtonWidth, kButtonHeight, kIdEditOk);
    AddControl(L"BUTTON", L"&Cancel", WS_TABSTOP | BS_PUSHBUTTON, kWidth - kMargin - kButtonWidth, buttonTop,
               kButtonWidth, kButtonHeight, kIdEditCancel);
    if (!Text1 || !Text2) return false;
    // The edit boxes' default limits would cut long data short.
    ::SendMessageW(Text1, EM_SETLIMITTEXT, 0, 0);
    ::SendMessageW(Text2, EM_SETLIMITTEXT, kMaxNameChars, 0);
    Form_Load();
    return true;
}

void frmEdit::Form_Load() {
    // (ShowModal centres the dialog on the screen once it is built.)
    Cancelled = true;
    if (EditMode == ValueEdit::kEdit) {
        ::SetWindowTextW(hwnd(), kEditValueCaption);
        ::SetWindowTextW(Text2, ValueName.c_str());
        ::SetWindowTextW(Text1, ValueData.c_str());
        ::SendMessageW(Text1, EM_SETSEL, 0, -1);
        focus_.SetInitial(Text1);
    } else if (EditMode == ValueEdit::kAdd) {
        ::SetWindowTextW(hwnd(), kAddEntryCaption);
        // Editable, so it takes the window colour instead of the read-only grey.
        ::SendMessageW(Text2, EM_SETREADONLY, FALSE, 0);
        ::SetWindowTextW(Text2, L"");
        ::SetWindowTextW(Text1, L"");
        focus_.SetInitial(Text2);
    }
}

int frmEdit::DefaultButtonId() const {
    // Enter presses OK, or Cancel when that has the focus.
    HWND focus = ::GetFocus();
    return focus && focus == ::GetDlgItem(hwnd(), kIdEditCancel) ? kIdEditCancel : kIdEditOk;
}

void frmEdit::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return;
    if (id == kIdEditOk) {
        ValueData = WindowTextOf(Text1);
        ValueName = WindowTextOf(Text2);
        Cancelled = false;
        EndModal();
    } else if (id == kIdEditCancel || id == IDCANCEL) {
        Cancelled = true;
        EndModal();
    }
}

bool frmEdit::OnWindowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_ACTIVATE:
        if (!focus_.OnActivate(hwnd(), wp)) return false;
        result = 0;
        return true;
    case WM_NEXTDLGCTL: {
        // A multi-line edit box asks its dialog for the next control on Tab (as dialogs answer it).
        HWND next = lp ? reinterpret_cast<HWND>(wp) : ::GetNextDlgTabItem(hwnd(), ::GetFocus(), wp != 0);
        if (next) ::SetFocus(next);
        result = 0;
        return true;
    }
    case WM_PAINT: {
        PaintDc paint(hwnd());
        const RECT& client = paint.client();
        RECT strip{0, Scale(kStripTop), client.right, client.bottom};
        DrawPictureEdge(paint.get(), strip, EDGE_ETCHED, BF_TOP);
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

void DialogPropertiesPrompter::EditValue(ValueEdit& edit) {
    frmEdit dialog;
    dialog.EditMode = edit.EditMode;
    dialog.ValueName = edit.ValueName;
    dialog.ValueData = edit.ValueData;
    if (!dialog.ShowModal(owner_)) {
        edit.Cancelled = true;  // never shown: nothing was asked, nothing is done
        return;
    }
    edit.ValueName = dialog.ValueName;
    edit.ValueData = dialog.ValueData;
    edit.Cancelled = dialog.Cancelled;
}

}  // namespace ardmoor
