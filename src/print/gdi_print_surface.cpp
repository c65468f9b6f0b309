#include "print/gdi_print_surface.h"

namespace ardmoor {

namespace {
constexpr int kTwipsPerInch = 1440;

Error LastError(DWORD fallback) {
    const DWORD code = ::GetLastError();
    return Error{static_cast<long>(code != 0 ? code : fallback)};
}
}  // namespace

Result<std::unique_ptr<GdiPrintSurface>> GdiPrintSurface::Open(const std::wstring& deviceName) {
    if (deviceName.empty()) return Error{ERROR_INVALID_PRINTER_NAME};
    ::SetLastError(0);
    UniqueDc dc(::CreateDCW(L"WINSPOOL", deviceName.c_str(), nullptr, nullptr));
    if (!dc) return LastError(ERROR_INVALID_PRINTER_NAME);
    return std::unique_ptr<GdiPrintSurface>(new GdiPrintSurface(std::move(dc)));
}

GdiPrintSurface::GdiPrintSurface(UniqueDc dc) : dc_(std::move(dc)) {
    HDC h = dc_.get();
    dpiX_ = ::GetDeviceCaps(h, LOGPIXELSX);
    dpiY_ = ::GetDeviceCaps(h, LOGPIXELSY);
    if (dpiX_ <= 0) dpiX_ = kTwipsPerInch;
    if (dpiY_ <= 0) dpiY_ = kTwipsPerInch;
    offsetX_ = ::GetDeviceCaps(h, PHYSICALOFFSETX);
    offsetY_ = ::GetDeviceCaps(h, PHYSICALOFFSETY);
    int width = ::GetDeviceCaps(h, PHYSICALWIDTH);
    int height = ::GetDeviceCaps(h, PHYSICALHEIGHT);
    if (width <= 0 || height <= 0) {  // a device that knows only its printable area
        width = ::GetDeviceCaps(h, HORZRES);
        height = ::GetDeviceCaps(h, VERTRES);
        offsetX_ = offsetY_ = 0;
    }
    pageWidth_ = ::MulDiv(width, kTwipsPerInch, dpiX_);
    pageHeight_ = ::MulDiv(height, kTwipsPerInch, dpiY_);
    FontChanged();
}

GdiPrintSurface::~GdiPrintSurface() {
    AbortDocument();  // a document never finished is never sent
    if (originalFont_) ::SelectObject(dc_.get(), originalFont_);
}

int GdiPrintSurface::ToDeviceX(int twips) const { return ::MulDiv(twips, dpiX_, kTwipsPerInch) - offsetX_; }
int GdiPrintSurface::ToDeviceY(int twips) const { return ::MulDiv(twips, dpiY_, kTwipsPerInch) - offsetY_; }

void GdiPrintSurface::FontChanged() {
    UniqueFont font(::CreateFontW(-::MulDiv(FontSize(), dpiY_, 72), 0, 0, 0, Bold() ? FW_BOLD : FW_NORMAL, FALSE,
                                  FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, kFace));
    if (!font) return;  // the last font stays
    HGDIOBJ previous = ::SelectObject(dc_.get(), font.get());
    if (!originalFont_) originalFont_ = previous;
    font_ = std::move(font);  // the old one is deselected by now
}

void GdiPrintSurface::SelectFont() {
    if (font_) ::SelectObject(dc_.get(), font_.get());
    ::SetTextAlign(dc_.get(), TA_TOP | TA_LEFT | TA_NOUPDATECP);
    ::SetBkMode(dc_.get(), TRANSPARENT);
    ::SetTextColor(dc_.get(), RGB(0, 0, 0));
}

Status GdiPrintSurface::StartDocument(std::wstring_view title) {
    const std::wstring name(title);
    DOCINFOW info{sizeof(info)};
    info.lpszDocName = name.c_str();
    ::SetLastError(0);
    if (::StartDocW(dc_.get(), &info) <= 0) return LastError(ERROR_PRINT_CANCELLED);
    inDocument_ = true;
    return StartPage();
}

Status GdiPrintSurface::StartPage() {
    ::SetLastError(0);
    if (::StartPage(dc_.get()) <= 0) return LastError(ERROR_PRINT_CANCELLED);
    inPage_ = true;
    SelectFont();  // some drivers reset the context at each page
    return {};
}

Status GdiPrintSurface::NewPage() {
    if (!inDocument_) return Error{ERROR_INVALID_HANDLE};
    ::SetLastError(0);
    inPage_ = false;
    if (::EndPage(dc_.get()) <= 0) return LastError(ERROR_PRINT_CANCELLED);
    return StartPage();
}

Status GdiPrintSurface::EndDocument() {
    if (!inDocument_) return Error{ERROR_INVALID_HANDLE};
    ::SetLastError(0);
    if (inPage_) {
        inPage_ = false;
        if (::EndPage(dc_.get()) <= 0) return LastError(ERROR_PRINT_CANCELLED);
    }
    if (::EndDoc(dc_.get()) <= 0) return LastError(ERROR_PRINT_CANCELLED);
    inDocument_ = false;
    return {};
}

void GdiPrintSurface::AbortDocument() noexcept {
    if (!inDocument_) return;
    ::AbortDoc(dc_.get());
    inDocument_ = false;
    inPage_ = false;
}

int GdiPrintSurface::TextWidth(std::wstring_view text) {
    SIZE size{};
    if (!::GetTextExtentPoint32W(dc_.get(), text.data(), static_cast<int>(text.size()), &size)) return 0;
    return ::MulDiv(size.cx, kTwipsPerInch, dpiX_);
}

int GdiPrintSurface::LineHeight() {
    TEXTMETRICW metrics{};
    if (!::GetTextMetricsW(dc_.get(), &metrics)) return FontSize() * 20;
    return ::MulDiv(metrics.tmHeight + metrics.tmExternalLeading, kTwipsPerInch, dpiY_);
}

Status GdiPrintSurface::DrawTextAt(int x, int y, std::wstring_view text) {
    ::SetLastError(0);
    if (!::ExtTextOutW(dc_.get(), ToDeviceX(x), ToDeviceY(y), 0, nullptr, text.data(),
                       static_cast<UINT>(text.size()), nullptr))
        return LastError(ERROR_PRINT_CANCELLED);
    return {};
}

void GdiPrintSurface::DrawPicture(HICON icon, int left, int top, int width, int height) {
    if (!icon) return;
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return;
    UniqueBitmap color(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    if (!::GetObjectW(color ? color.get() : mask.get(), sizeof(bm), &bm)) return;
    const int w = bm.bmWidth;
    const int h = color ? bm.bmHeight : bm.bmHeight / 2;  // a monochrome icon stacks mask and image
    if (w <= 0 || h <= 0) return;

    // Printer drivers do not all take icons (one hung on them): the icon goes onto white in a
    // bitmap of our own, and the bitmap onto the page.
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = -h;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap image(::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueDc memory(::CreateCompatibleDC(nullptr));
    if (!image || !memory || !bits) return;
    {
        SelectGuard select(memory.get(), image.get());
        RECT all{0, 0, w, h};
        ::FillRect(memory.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::DrawIconEx(memory.get(), 0, 0, icon, w, h, 0, nullptr, DI_NORMAL);
        ::GdiFlush();
    }
    const int x0 = ToDeviceX(left), y0 = ToDeviceY(top);
    const int x1 = ToDeviceX(left + width), y1 = ToDeviceY(top + height);
    ::StretchDIBits(dc_.get(), x0, y0, x1 - x0, y1 - y0, 0, 0, w, h, bits, &bmi, DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace ardmoor
