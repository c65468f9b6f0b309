#include "print/frmPrint.h"

#include "app/window_helpers.h"

namespace ardmoor {

namespace {
constexpr int kWidth = 380;
constexpr int kHeight = 330;
constexpr UINT kHeaderTextFlags = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;  // 32804
}  // namespace

frmPrint::frmPrint(std::vector<PrinterInfo> printers, PrinterInfo& current)
    : ModalWindow(L"Print", kWidth, kHeight), state_(std::move(printers), current) {}

bool frmPrint::OnCreate() {
    AddControl(L"STATIC", L"Printer...", SS_LEFT, 12, 12, 356, 16, kIdPrinterLabel);
    combo_ = AddControl(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 12, 30, 356, 200,
                        kIdCombo1);
    header_ = AddControl(L"STATIC", L"", SS_OWNERDRAW, 12, 62, 356, 22, kIdPicture1);
    HWND text = AddControl(L"EDIT", kExplanation,
                           ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, 12, 92, 356, 110,
                           kIdText1, WS_EX_CLIENTEDGE);
    const wchar_t* options[] = {L"Minimal Printing...", L"Normal Printing...", L"Advanced Printing..."};
    for (int i = 0; i < 3; ++i)
        AddControl(L"BUTTON", options[i], BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0), 20,
                   210 + 22 * i, 340, 20, kIdOption1 + i);
    AddControl(L"STATIC", L"", SS_OWNERDRAW, 0, 284, kWidth, 4, kIdPicture2);
    AddControl(L"BUTTON", L"&Print", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 196, 296, 80, 24, kIdPrint);
    AddControl(L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 288, 296, 80, 24, kIdCancel);
    if (!combo_ || !header_ || !text) return false;

    headerFont_.reset(::CreateFontW(-::MulDiv(8, static_cast<int>(Dpi()), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                    FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif"));
    ::CheckRadioButton(hwnd(), kIdOption1, kIdOption1 + 2, kIdOption1 + PrintDialogState::kNormal);

    state_.Load();
    for (const std::wstring& item : state_.Items())
        ::SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    ::SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(state_.Selected()), 0);
    ShowHeader();
    return true;
}

void frmPrint::ShowHeader() {
    // The text is also the strip's window text, for screen readers.
    ::SetWindowTextW(header_, state_.HeaderText().c_str());
    ::InvalidateRect(header_, nullptr, TRUE);
}

int frmPrint::SelectedOption() const {
    for (int i = 0; i < 3; ++i)
        if (::IsDlgButtonChecked(hwnd(), kIdOption1 + i) == BST_CHECKED) return i;
    return 2;  // none checked counts as the last, as the buttons are read in order
}

void frmPrint::OnCommand(int id, int code, HWND) {
    switch (id) {
    case kIdCombo1:
        if (code == CBN_SELCHANGE) {
            state_.Choose(static_cast<int>(::SendMessageW(combo_, CB_GETCURSEL, 0, 0)));
            ShowHeader();
        }
        return;
    case kIdPrint:
        state_.Print(SelectedOption());
        EndModal();
        return;
    case kIdCancel:
        state_.Cancel();
        EndModal();
        return;
    default:
        return;
    }
}

bool frmPrint::OnWindowMessage(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
    if (msg != WM_DRAWITEM) return false;
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
    if (item->CtlID == kIdPicture1) {
        SelectGuard font(item->hDC, headerFont_ ? headerFont_.get() : DialogFont());
        ::SetTextColor(item->hDC, ::GetSysColor(COLOR_BTNTEXT));
        DrawPictureText(item->hDC, item->rcItem, state_.HeaderText(), kHeaderTextFlags);
    } else if (item->CtlID == kIdPicture2) {
        DrawPictureEdge(item->hDC, item->rcItem, EDGE_ETCHED, BF_TOP);
    } else {
        return false;
    }
    result = TRUE;
    return true;
}

}  // namespace ardmoor
