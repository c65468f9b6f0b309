#include "status_bar_test_support.h"

#include <commctrl.h>

#include "controls/component_error.h"
#include "platform/message_pump.h"
#include "platform/strings.h"
#include "test_support.h"

namespace ardmoor::test {

bool StatusBarHost::Open(int width, int height) {
    if (!Create(L"ArdmoorStatusBarTestHost", L"Status bar", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 40, 40,
                width, height, nullptr, nullptr, CS_HREDRAW | CS_VREDRAW, nullptr,
                reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)) ||
        !bar.Create(hwnd()))
        return false;
    ::ShowWindow(hwnd(), SW_SHOW);
    ::SetForegroundWindow(hwnd());
    ::UpdateWindow(hwnd());
    PumpPendingMessages();
    return true;
}

bool StatusBarHost::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg != WM_SIZE) return false;
    bar.AlignToParent();
    result = 0;
    return true;
}

std::wstring StatusPartText(HWND status, int part) {
    const LRESULT info = ::SendMessageW(status, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0);
    std::wstring text(LOWORD(info) + 1, L'\0');
    ::SendMessageW(status, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.data()));
    text.resize(LOWORD(info));
    return text;
}

std::vector<int> StatusPartEdges(HWND status) {
    std::vector<int> edges(256);
    const LRESULT n = ::SendMessageW(status, SB_GETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    edges.resize(static_cast<size_t>(n));
    return edges;
}

std::vector<COLORREF> CapturePixels(HWND hwnd, const RECT& rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return {};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    WindowDc source(hwnd);
    UniqueDc memory(::CreateCompatibleDC(source.get()));
    void* bits = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(source.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !bitmap || !bits) return {};
    SelectGuard select(memory.get(), bitmap.get());
    ::BitBlt(memory.get(), 0, 0, width, height, source.get(), rect.left, rect.top, SRCCOPY);
    ::GdiFlush();
    const auto* p = static_cast<const DWORD*>(bits);
    std::vector<COLORREF> pixels(p, p + static_cast<size_t>(width) * height);
    for (COLORREF& c : pixels) c &= 0x00FFFFFF;
    return pixels;
}

void ExpectStatusBarError(const std::function<void()>& action, long number, const std::wstring& message) {
    try {
        action();
        ADD_FAILURE() << "no error raised; expected: " << WideToUtf8(message);
    } catch (const ComponentError& e) {
        EXPECT_EQ(e.number(), number);
        EXPECT_EQ(e.message(), message);
        EXPECT_EQ(e.source(), L"test_controls.vbalStatusBar");  // the running exe's name
        EXPECT_STREQ(e.what(), WideToUtf8(message).c_str());
    }
}

}  // namespace ardmoor::test
