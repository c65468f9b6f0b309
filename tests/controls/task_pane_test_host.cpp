#include "task_pane_test_host.h"

#include "app/main_task_pane.h"

#include "platform/message_pump.h"
#include "platform/unique_handle.h"
#include "remote_ui.h"
#include "test_support.h"

namespace ardmoor::taskpane_test {

namespace {
constexpr int kButtonId = 100;
constexpr int kPaneId = 101;

void SendMouse(DWORD flags, POINT screen, DWORD data = 0) {
    INPUT in = test::MouseInput(screen, flags);
    in.mi.mouseData = data;
    ::SendInput(1, &in, sizeof(in));
}
}  // namespace

HostWindow::HostWindow(int clientWidth, int clientHeight, int paneWidth, int paneHeight)
    : pane_(std::make_unique<TaskPane>()) {
    RECT frame{0, 0, clientWidth, clientHeight};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    ::AdjustWindowRectEx(&frame, style, FALSE, WS_EX_CONTROLPARENT);
    Create(L"ArdmoorTaskPaneTestHost", L"Task pane test", style, WS_EX_CONTROLPARENT, 40, 40,
           frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, CS_HREDRAW | CS_VREDRAW, nullptr,
           reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    button_ = ::CreateWindowExW(0, L"BUTTON", L"Before", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                clientWidth - 110, 10, 100, 28, hwnd(), reinterpret_cast<HMENU>(kButtonId),
                                ::GetModuleHandleW(nullptr), nullptr);
    pane_->Create(hwnd(), RECT{0, 0, paneWidth, paneHeight > 0 ? paneHeight : clientHeight}, kPaneId);
    pane_->SetOnItemClick([this](TaskPaneItem& item) {
        clicks.push_back(item.Key());
        if (onClick) onClick(item);
    });
    ::ShowWindow(hwnd(), SW_SHOWNORMAL);
    ::UpdateWindow(hwnd());
    PumpPendingMessages();
}

HostWindow::~HostWindow() {
    pane_.reset();
    Destroy();
    PumpPendingMessages();
}

bool HostWindow::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg == WM_CLOSE) {
        result = 0;
        return true;  // closed by the test only
    }
    return false;
}

void PopulateLikeMainWindow(TaskPane& pane, const std::wstring& entryName) {
    BuildMainTaskPane(pane);
    pane.SetRedraw(false);
    TaskPaneBar* advanced = pane.FindBar(L"Advanced");
    TaskPaneBar* details = pane.FindBar(L"Properties");
    if (!entryName.empty()) {
        advanced->FindItem(L"UNINSTALL")
            ->SetText(entryName + L"\r\ncan be uninstalled by double-clicking the item or clicking here...");
        pane.FindBar(L"Tasks")->FindItem(L"REMOVE")->SetText(L"Remove " + entryName + L" from your uninstall listing...");
        details->FindItem(L"PROPERTIES")->SetText(L"View or edit the properties for " + entryName + L"...");
        details->FindItem(L"ITEMNAME")->SetText(entryName);
        details->FindItem(L"PUBLISHER")->SetText(L"Publsher: Quillfen Software");
        details->FindItem(L"PHONE")->SetText(L"Telephone: +44 1632 960123");
        details->FindItem(L"SUPPORT")->SetTag(L"https://quillfen.example/support");
        details->FindItem(L"SUPPORT")->SetToolTipText(L"https://quillfen.example/support");
    }
    pane.SetRedraw(true);
}

void MoveMouse(POINT screen) {
    SendMouse(0, screen);
    PumpUntil([&] {
        POINT now{};
        return ::GetCursorPos(&now) && now.x == screen.x && now.y == screen.y;
    }, 1000);
    test::SettleInput();
}

void PressAt(POINT screen) {
    MoveMouse(screen);
    SendMouse(MOUSEEVENTF_LEFTDOWN, screen);
    test::SettleInput();
}

void ReleaseAt(POINT screen) {
    MoveMouse(screen);
    SendMouse(MOUSEEVENTF_LEFTUP, screen);
    test::SettleInput();
}

void ClickAt(POINT screen) {
    MoveMouse(screen);
    // Press and release go in together: a press on a scroll bar starts a loop inside the system
    // that only the release ends.
    test::ClickAt(screen);
    test::SettleInput();
}

void Wheel(POINT screen, int delta) {
    MoveMouse(screen);
    SendMouse(MOUSEEVENTF_WHEEL, screen, static_cast<DWORD>(delta));
    test::SettleInput();
}

void PressKey(WORD vk) {
    test::PressKey(vk);
    test::SettleInput();
}

POINT ScreenCenter(HWND hwnd, const RECT& client) {
    POINT pt{(client.left + client.right) / 2, (client.top + client.bottom) / 2};
    ::ClientToScreen(hwnd, &pt);
    return pt;
}

POINT FirstLineCenter(TaskPane& pane, const TaskPaneItem& item) {
    const TaskPaneItemBox* box = pane.Layout().Find(&item);
    if (!box || box->lines.empty()) return POINT{-1, -1};
    RECT line = box->lines.front().rect;
    ::OffsetRect(&line, 0, -pane.ScrollPos());
    return ScreenCenter(pane.hwnd(), line);
}

void ParkMouse() { MoveMouse(POINT{::GetSystemMetrics(SM_CXSCREEN) - 5, ::GetSystemMetrics(SM_CYSCREEN) - 5}); }

bool BringToFront(HWND hwnd) {
    return PumpUntil([&] {
        ::SetForegroundWindow(hwnd);
        ::SetActiveWindow(hwnd);
        return ::GetForegroundWindow() == hwnd;
    }, 2000);
}

COLORREF Capture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
    const DWORD p = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

Capture CaptureWindow(HWND hwnd) {
    Capture cap;
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    cap.width = r.right - r.left;
    cap.height = r.bottom - r.top;
    if (cap.width <= 0 || cap.height <= 0) return cap;
    WindowDc screen(nullptr);
    UniqueDc memory(::CreateCompatibleDC(screen.get()));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = cap.width;
    bi.bmiHeader.biHeight = -cap.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap dib(::CreateDIBSection(screen.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits) return cap;
    {
        SelectGuard select(memory.get(), dib.get());
        ::BitBlt(memory.get(), 0, 0, cap.width, cap.height, screen.get(), r.left, r.top, SRCCOPY);
    }
    ::GdiFlush();
    const DWORD* src = static_cast<const DWORD*>(bits);
    cap.pixels.assign(src, src + static_cast<size_t>(cap.width) * static_cast<size_t>(cap.height));
    return cap;
}

std::wstring SaveScreenshot(HWND hwnd, const std::wstring& fileName) {
    const std::wstring path = test::ScreenshotFolder() + fileName;
    return test::SaveWindowScreenshot(hwnd, path) ? path : std::wstring();
}

}  // namespace ardmoor::taskpane_test
