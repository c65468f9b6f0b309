#include "sysinfo/frmSysInfo.h"

#include <commctrl.h>

#include "app/window_helpers.h"
#include "resource_ids.h"

namespace ardmoor {

namespace {
constexpr const wchar_t* kCaption = L"System Information...";
constexpr const wchar_t* kBannerTitle = L"System Information";
constexpr int kIdList = 610;

// Layout in pixels at 96 DPI.
constexpr int kWidth = 680, kHeight = 520;
constexpr RECT kBanner{0, 0, kWidth, 64};
constexpr RECT kShape1{12, 76, kWidth - 12, 456};  // the frame around the list
constexpr RECT kPicture2{0, 468, kWidth, kHeight};  // the button strip
constexpr int kBannerIcon = 48;
}  // namespace

frmSysInfo::frmSysInfo(SystemFacts& facts, ReportKeys keys)
    : ModalWindow(kCaption, kWidth, kHeight), facts_(facts), keys_(std::move(keys)) {}

RECT frmSysInfo::Scaled(const RECT& r) const { return {Scale(r.left), Scale(r.top), Scale(r.right), Scale(r.bottom)}; }

bool frmSysInfo::OnCreate() {
    ListViewStyle style;
    style.view = list_view::kViewDetails;
    style.fullRowSelect = true;
    style.columnHeaders = false;
    if (!lvInfo.Create(hwnd(), kIdList, style).ok()) return false;
    if (DialogFont()) ::SendMessageW(lvInfo.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), FALSE);
    grouping_ = lvInfo.GroupsSupported();

    Command1 = AddControl(L"BUTTON", L"&OK", WS_TABSTOP | BS_DEFPUSHBUTTON, kWidth - 12 - 88, kPicture2.top + 13, 88,
                          26, IDOK);
    if (!Command1) return false;

    const int iconSize = Scale(kBannerIcon);
    banner_.reset(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_SYSINFO_BANNER),
                                                  IMAGE_ICON, iconSize, iconSize, LR_DEFAULTCOLOR)));
    LOGFONTW lf{};
    if (DialogFont() && ::GetObjectW(DialogFont(), sizeof(lf), &lf)) {
        lf.lfHeight = -::MulDiv(13, static_cast<int>(Dpi()), 72);
        lf.lfWeight = FW_BOLD;
        bannerFont_.reset(::CreateFontIndirectW(&lf));
    }

    pSetup();
    FillList(SystemReport(facts_, keys_).pWindows());

    // With groups the frame is drawn around a borderless list; without, the list has its own.
    RECT frame = Scaled(kShape1);
    if (grouping_) {
        lvInfo.SetBorderStyle(0, 0);
        ::InflateRect(&frame, -1, -1);
    } else {
        lvInfo.SetBorderStyle(1, 1);
    }
    lvInfo.Move(frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top);
    return true;
}

void frmSysInfo::pSetup() {
    (void)lvInfo.AddColumn(L"", L"Name", 3500);
    (void)lvInfo.AddColumn(L"", L"Value", 6000);
    const int size = ::GetSystemMetricsForDpi(SM_CXSMICON, Dpi());
    ImageList1.reset(::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, kRowKindCount, 0));
    if (!ImageList1) return;
    for (int i = 0; i < kRowKindCount; ++i) {
        UniqueIcon icon(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                        MAKEINTRESOURCEW(IDI_SYSINFO_FIRST + i), IMAGE_ICON, size,
                                                        size, LR_DEFAULTCOLOR)));
        // A missing picture must not shift the ones after it.
        if (!icon || ::ImageList_AddIcon(ImageList1.get(), icon.get()) != i) {
            ImageList1.reset();
            return;
        }
    }
    lvInfo.SetImageList(ImageList1.get(), list_view::kSmallIcons);
}

void frmSysInfo::FillList(const std::vector<ReportRow>& rows) {
    int groupIds[5] = {};
    lvInfo.SetRedraw(false);
    for (const ReportRow& row : rows) {
        Result<ListItem> item = lvInfo.Add(L"", row.name, static_cast<int>(row.kind));
        if (!item) continue;
        item->SetSubItem(1, row.value);
        if (!grouping_) continue;
        // Each group is made just before its first row, so they come in the rows' order.
        int& id = groupIds[static_cast<int>(GroupOf(row.kind))];
        if (id == 0) id = lvInfo.AddGroup(GroupCaption(GroupOf(row.kind)));
        item->SetGroup(id);
    }
    if (grouping_) lvInfo.EnableGroups(true);
    lvInfo.SetRedraw(true);
}

void frmSysInfo::OnCommand(int id, int, HWND) {
    if (id == IDOK || id == IDCANCEL) EndModal();
}

void frmSysInfo::Paint(HDC dc) {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));

    RECT banner = Scaled(kBanner);
    banner.right = client.right;
    ::FillRect(dc, &banner, ::GetSysColorBrush(COLOR_WINDOW));
    const int iconSize = Scale(kBannerIcon);
    const int iconTop = (banner.bottom - iconSize) / 2;
    if (banner_)
        ::DrawIconEx(dc, Scale(16), iconTop, banner_.get(), iconSize, iconSize, 0, nullptr, DI_NORMAL);
    RECT title{Scale(16) + iconSize + Scale(12), 0, banner.right - Scale(12), banner.bottom};
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    {
        SelectGuard font(dc, bannerFont_ ? bannerFont_.get() : DialogFont());
        ::DrawTextW(dc, kBannerTitle, -1, &title, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    RECT line{banner.left, banner.bottom - 2, banner.right, banner.bottom};
    ::DrawEdge(dc, &line, EDGE_ETCHED, BF_BOTTOM);

    if (grouping_) {
        const RECT frame = Scaled(kShape1);
        ::FrameRect(dc, &frame, ::GetSysColorBrush(COLOR_BTNSHADOW));
    }
    RECT strip = Scaled(kPicture2);
    strip.right = client.right;
    DrawPictureEdge(dc, strip, EDGE_ETCHED, BF_TOP);
}

bool frmSysInfo::OnWindowMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    switch (msg) {
        case WM_PAINT: {
            Paint(PaintDc(hwnd()).get());
            return true;
        }
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_SETFOCUS:
            // The report takes the keyboard; Enter and Esc still reach the button.
            lvInfo.SetFocus();
            return true;
        default:
            return false;
    }
}

}  // namespace ardmoor
