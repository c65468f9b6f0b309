#include "controls/message_dialog/message_dialog.h"

#include "app/window_helpers.h"

namespace ardmoor {

namespace {
// Layout in pixels at 96 DPI.
constexpr int kWidth = 420;
constexpr int kHeight = 236;
constexpr int kHeaderHeight = 34;
constexpr int kStripHeight = 48;
constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 84;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 8;
constexpr int kHeaderIndent = 10;
constexpr int kHeaderPoints = 8;
}  // namespace

MessageDialog::MessageDialog(std::wstring caption) : ModalWindow(std::move(caption), kWidth, kHeight) {}

void MessageDialog::SetHeader(std::wstring text, UINT drawFlags, std::wstring fontName) {
    headerText_ = std::move(text);
    headerFlags_ = drawFlags;
    headerFontName_ = std::move(fontName);
}

void MessageDialog::SetMessageText(std::wstring text) { messageText_ = std::move(text); }

void MessageDialog::SetButtons(std::vector<Button> buttons, int defaultId) {
    buttons_ = std::move(buttons);
    defaultId_ = defaultId;
}

bool MessageDialog::OnCreate() {
    Form_Load();
    headerFont_.reset(::CreateFontW(-::MulDiv(kHeaderPoints, static_cast<int>(Dpi()), 72), 0, 0, 0, FW_BOLD, FALSE,
                                    FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, headerFontName_.c_str()));
    // The header is a control of its own so that its text can be read (screen readers, tests).
    header_ = AddControl(L"STATIC", headerText_.c_str(), SS_OWNERDRAW | SS_NOPREFIX, 0, 0, kWidth, kHeaderHeight,
                         kHeaderId);
    HWND icon = AddControl(L"STATIC", nullptr, SS_ICON, kMargin, kHeaderHeight + kMargin, kIconSize, kIconSize, kIconId);
    ::SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(::LoadIconW(nullptr, icon_)), 0);
    const int textLeft = kMargin * 2 + kIconSize;
    const int textTop = kHeaderHeight + kMargin - 2;
    HWND text = AddControl(L"EDIT", messageText_.c_str(),
                           ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, textLeft, textTop,
                           kWidth - textLeft - kMargin, kHeight - kStripHeight - textTop - kMargin, kTextId,
                           WS_EX_CLIENTEDGE);
    // Right-aligned in the strip, in the order given.
    int x = kWidth - kMargin - static_cast<int>(buttons_.size()) * (kButtonWidth + kButtonGap) + kButtonGap;
    const int y = kHeight - kStripHeight + (kStripHeight - kButtonHeight) / 2;
    bool built = header_ && text;
    for (const Button& b : buttons_) {
        const DWORD style = WS_TABSTOP | (b.id == defaultId_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        built = AddControl(L"BUTTON", b.text.c_str(), style, x, y, kButtonWidth, kButtonHeight, b.id) && built;
        x += kButtonWidth + kButtonGap;
    }
    focus_ = ::GetDlgItem(hwnd(), defaultId_);
    return built;
}

void MessageDialog::OnCommand(int id, int code, HWND) {
    if (id == IDCANCEL) {  // Esc: the answer the dialog started with stands
        EndModal();
        return;
    }
    if (code != BN_CLICKED) return;
    for (const Button& b : buttons_) {
        if (b.id != id) continue;
        OnButton(id);
        EndModal();
        return;
    }
}

bool MessageDialog::OnWindowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_ACTIVATE:
        // Focus comes back to where it was, and starts on the default button.
        if (LOWORD(wp) == WA_INACTIVE) {
            HWND f = ::GetFocus();
            if (f && ::IsChild(hwnd(), f)) focus_ = f;
        } else if (focus_ && ::IsWindow(focus_)) {
            ::SetFocus(focus_);
        }
        result = 0;
        return true;
    case WM_PAINT: {
        PaintDc paint(hwnd());
        const RECT& client = paint.client();
        RECT strip{0, client.bottom - Scale(kStripHeight), client.right, client.bottom};
        DrawPictureEdge(paint.get(), strip, EDGE_ETCHED, BF_TOP);
        result = 0;
        return true;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (!item || item->CtlID != kHeaderId) return false;
        ::FillRect(item->hDC, &item->rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
        SelectGuard font(item->hDC, headerFont_ ? headerFont_.get() : DialogFont());
        ::SetTextColor(item->hDC, ::GetSysColor(COLOR_BTNTEXT));
        RECT area = item->rcItem;
        area.left += Scale(kHeaderIndent);
        // Names are shown as written: "Tom & Jerry" has no mnemonic.
        DrawPictureText(item->hDC, area, headerText_, headerFlags_ | DT_NOPREFIX);
        result = TRUE;
        return true;
    }
    case WM_CTLCOLORSTATIC:
        // The read-only text box looks like a text box, not like the dialog.
        if (reinterpret_cast<HWND>(lp) != ::GetDlgItem(hwnd(), kTextId)) return false;
        ::SetBkColor(reinterpret_cast<HDC>(wp), ::GetSysColor(COLOR_WINDOW));
        ::SetTextColor(reinterpret_cast<HDC>(wp), ::GetSysColor(COLOR_WINDOWTEXT));
        result = reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
        return true;
    default:
        return false;
    }
}

}  // namespace ardmoor
