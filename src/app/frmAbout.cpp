#include "app/frmAbout.h"

#include <commctrl.h>

#include <memory>

#include "app/app_info.h"
#include "app/title_strip.h"
#include "app/window_helpers.h"
#include "resource_ids.h"
#include "sysinfo/frmSysInfo.h"

namespace ardmoor {

namespace {
constexpr const wchar_t* kCaption = L"About Ardmoor";
constexpr const wchar_t* kLegal =
    L"Copyright \u00A9 2026 Quillfen Software. All rights reserved. This program is provided \"as is\", "
    L"without warranty of any kind; you use it at your own risk.";
constexpr const wchar_t* kCredits =
    L"The list, task pane and status bar controls are Ardmoor's own, built on the Windows common controls.";
constexpr int kIdStatic = -1;
constexpr int kIdLabel5 = 620;
constexpr int kIdCommand3 = 621;

// Layout in pixels at 96 DPI.
constexpr int kWidth = 440, kHeight = 264;
constexpr int kLogo = 48;
constexpr int kText = 80;  // left edge of the texts, right of the logo
constexpr int kStripTop = 212;
}  // namespace

std::wstring ProgramVersion() {
    wchar_t path[MAX_PATH * 4];
    const DWORD n = ::GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    if (n == 0 || n >= std::size(path)) return {};
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) return {};
    auto block = std::make_unique<unsigned char[]>(size);
    if (!::GetFileVersionInfoW(path, 0, size, block.get())) return {};
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.get(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
        length < sizeof(VS_FIXEDFILEINFO))
        return {};
    return std::to_wstring(HIWORD(info->dwProductVersionMS)) + L"." + std::to_wstring(LOWORD(info->dwProductVersionMS)) +
           L"." + std::to_wstring(HIWORD(info->dwProductVersionLS));
}

frmAbout::frmAbout(Shell& shell) : ModalWindow(kCaption, kWidth, kHeight), shell_(shell) {}

bool frmAbout::OnCreate() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LINK_CLASS};
    ::InitCommonControlsEx(&icc);

    const int logo = Scale(kLogo);
    Image1.reset(static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_ARDMOOR), IMAGE_ICON, logo, logo, LR_DEFAULTCOLOR)));

    HWND label1 = AddControl(L"STATIC", kProductName, SS_NOPREFIX, kText, 14, kWidth - kText - 16, 28, kIdStatic);
    LOGFONTW lf{};
    if (label1 && DialogFont() && ::GetObjectW(DialogFont(), sizeof(lf), &lf)) {
        lf.lfHeight = -::MulDiv(14, static_cast<int>(Dpi()), 72);
        lf.lfWeight = FW_BOLD;
        titleFont_.reset(::CreateFontIndirectW(&lf));
        if (titleFont_) ::SendMessageW(label1, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()), FALSE);
    }
    AddControl(L"STATIC", kMakerName, SS_NOPREFIX, kText, 44, kWidth - kText - 16, 18, kIdStatic);
    const std::wstring version = ProgramVersion();
    if (!version.empty())
        AddControl(L"STATIC", (L"Version " + version).c_str(), SS_NOPREFIX, kText, 64, kWidth - kText - 16, 18,
                   kIdStatic);
    AddControl(L"STATIC", kLegal, SS_NOPREFIX, kText, 88, kWidth - kText - 16, 48, kIdStatic);
    AddControl(L"STATIC", kCredits, SS_NOPREFIX, kText, 140, kWidth - kText - 16, 32, kIdStatic);
    const std::wstring link = std::wstring(L"<a>") + kMakerWebAddress + L"</a>";
    // The text goes in after the font, so that the link is laid out in the font it is drawn in.
    Label5 = AddControl(WC_LINK, L"", WS_TABSTOP, kText, 180, kWidth - kText - 16, 18, kIdLabel5);
    if (Label5) ::SetWindowTextW(Label5, link.c_str());

    AddControl(L"BUTTON", L"&System Info", WS_TABSTOP, kWidth - 16 - 88 - 8 - 100, kStripTop + 14, 100, 26,
               kIdCommand3);
    Command1 = AddControl(L"BUTTON", L"&OK", WS_TABSTOP | BS_DEFPUSHBUTTON, kWidth - 16 - 88, kStripTop + 14, 88, 26,
                          IDOK);
    return Label5 && Command1;
}

void frmAbout::OnCommand(int id, int, HWND) {
    switch (id) {
        case IDOK:
        case IDCANCEL: EndModal(); break;
        case kIdCommand3: Command3_Click(); break;
        default: break;
    }
}

void frmAbout::Label5_Click() {
    // As with every link the program opens, a failure shows only what the shell itself shows.
    (void)shell_.Open(kMakerWebAddress, SW_SHOWDEFAULT, L"", L"", L"open", nullptr);
}

void frmAbout::Command3_Click() {
    LiveSystemFacts facts;
    frmSysInfo info(facts);
    (void)info.ShowModal(hwnd());
}

bool frmAbout::OnWindowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_NOTIFY: {
            const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
            if (hdr && hdr->hwndFrom == Label5 && (hdr->code == NM_CLICK || hdr->code == NM_RETURN)) Label5_Click();
            return true;
        }
        case WM_PAINT: {
            PaintDc paint(hwnd());
            HDC dc = paint.get();
            const RECT& client = paint.client();
            ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
            if (Image1) ::DrawIconEx(dc, Scale(16), Scale(16), Image1.get(), Scale(kLogo), Scale(kLogo), 0, nullptr, DI_NORMAL);
            RECT strip{0, Scale(kStripTop), client.right, client.bottom};
            DrawPictureEdge(dc, strip, EDGE_ETCHED, BF_TOP);
            return true;
        }
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_ACTIVATE:
            // Back from the system information window, the keyboard is where it was.
            if (LOWORD(wp) == WA_INACTIVE) {
                HWND focus = ::GetFocus();
                if (focus && ::IsChild(hwnd(), focus)) lastFocus_ = focus;
            }
            return false;
        case WM_SETFOCUS:
            ::SetFocus(lastFocus_ && ::IsWindow(lastFocus_) ? lastFocus_ : Command1);
            return true;
        default: return false;
    }
}

}  // namespace ardmoor
