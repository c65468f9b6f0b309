#include "remote_ui.h"

#include <commctrl.h>

#include <cstring>

#include "platform/message_pump.h"
#include "platform/unique_handle.h"
#include "test_support.h"

namespace ardmoor::test {

AppProcess::~AppProcess() {
    if (!pi_.hProcess) return;
    if (Running()) {
        ::TerminateProcess(pi_.hProcess, 99);
        ::WaitForSingleObject(pi_.hProcess, 5000);
    }
    ::CloseHandle(pi_.hProcess);
    ::CloseHandle(pi_.hThread);
}

bool AppProcess::Start(const std::wstring& exe, const std::wstring& args) {
    std::wstring command = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si{sizeof(si)};
    std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
    return ::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si,
                            &pi_) != FALSE;
}

bool AppProcess::Running() const {
    return pi_.hProcess && ::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

bool AppProcess::WaitExit(std::chrono::milliseconds timeout, DWORD* exitCode) {
    if (!pi_.hProcess) return true;
    if (::WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) return false;
    if (exitCode) ::GetExitCodeProcess(pi_.hProcess, exitCode);
    return true;
}

HWND AppProcess::WaitForWindow(const wchar_t* className, const wchar_t* title,
                               std::chrono::milliseconds timeout) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND h : TopLevelWindows(pi_.dwProcessId)) {
                if (className && ClassName(h) != className) continue;
                if (title && WindowText(h) != title) continue;
                if (!::IsWindowVisible(h)) continue;
                found = h;
                return true;
            }
            return false;
        },
        timeout);
    return found;
}

std::vector<HWND> TopLevelWindows(DWORD pid) {
    struct Ctx {
        DWORD pid;
        std::vector<HWND> out;
    } ctx{pid, {}};
    ::EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(h, &owner);
            if (!c->pid || owner == c->pid) c->out.push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.out;
}

HWND FindChild(HWND parent, const wchar_t* className, const wchar_t* text) {
    struct Ctx {
        const wchar_t* cls;
        const wchar_t* text;
        HWND found;
    } ctx{className, text, nullptr};
    ::EnumChildWindows(
        parent,
        [](HWND h, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            if (c->cls && ClassName(h) != c->cls) return TRUE;
            if (c->text && WindowText(h) != c->text) return TRUE;
            c->found = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

std::wstring WindowText(HWND hwnd) {
    // WM_GETTEXT works across processes (the system marshals it).
    const LRESULT n = ::SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    const LRESULT got = ::SendMessageW(hwnd, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<size_t>(got));
    return s;
}

std::wstring ClassName(HWND hwnd) {
    wchar_t buf[256];
    const int n = ::GetClassNameW(hwnd, buf, 256);
    return std::wstring(buf, n > 0 ? n : 0);
}

std::vector<std::wstring> ChildTexts(HWND dialog) {
    std::vector<std::wstring> out;
    for (HWND h = ::GetWindow(dialog, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) out.push_back(WindowText(h));
    return out;
}

void PumpFor(DWORD milliseconds) {
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    do {
        PumpPendingMessages();
        ::MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    } while (::GetTickCount64() < end);
    PumpPendingMessages();
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        PumpPendingMessages();
        if (done()) return true;
        if (::GetTickCount64() >= end) return false;
        ::MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

bool SettleInput() {
    return PumpUntil([] { return HIWORD(::GetQueueStatus(QS_INPUT)) == 0; }, 2000);
}

RemoteListView::RemoteListView(HWND list) : list_(list) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(list, &pid);
    process_ = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_)
        remote_ = ::VirtualAllocEx(process_, nullptr, kRemoteSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteListView::~RemoteListView() {
    if (remote_) ::VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
    if (process_) ::CloseHandle(process_);
}

int RemoteListView::Count() const { return static_cast<int>(::SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }

std::wstring RemoteListView::Text(int index0, int subItem) const {
    if (!remote_) return {};
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iSubItem = subItem;
    auto* textRemote = static_cast<char*>(remote_) + sizeof(LVITEMW);
    item.pszText = reinterpret_cast<wchar_t*>(textRemote);
    item.cchTextMax = static_cast<int>((kRemoteSize - sizeof(LVITEMW)) / sizeof(wchar_t));
    ::WriteProcessMemory(process_, remote_, &item, sizeof(item), nullptr);
    const LRESULT n = ::SendMessageW(list_, LVM_GETITEMTEXTW, index0, reinterpret_cast<LPARAM>(remote_));
    std::wstring s(static_cast<size_t>(n), L'\0');
    if (n > 0) ::ReadProcessMemory(process_, textRemote, s.data(), n * sizeof(wchar_t), nullptr);
    return s;
}

int RemoteListView::Selected() const {
    return static_cast<int>(::SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

RECT RemoteListView::ItemRect(int index0) const {
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    if (!remote_) return {};
    ::WriteProcessMemory(process_, remote_, &r, sizeof(r), nullptr);
    ::SendMessageW(list_, LVM_GETITEMRECT, index0, reinterpret_cast<LPARAM>(remote_));
    ::ReadProcessMemory(process_, remote_, &r, sizeof(r), nullptr);
    return r;
}

POINT RemoteListView::RowPoint(int index0) const {
    ::SendMessageW(list_, LVM_ENSUREVISIBLE, index0, FALSE);
    const RECT r = ItemRect(index0);
    POINT pt{r.left + 24, (r.top + r.bottom) / 2};
    ::ClientToScreen(list_, &pt);
    return pt;
}

int RemoteListView::Image(int index0) const {
    if (!remote_) return -1;
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index0;
    ::WriteProcessMemory(process_, remote_, &item, sizeof(item), nullptr);
    ::SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote_));
    ::ReadProcessMemory(process_, remote_, &item, sizeof(item), nullptr);
    return item.iImage;
}

std::vector<std::wstring> RemoteListView::Column(int subItem) const {
    std::vector<std::wstring> out;
    const int n = Count();
    for (int i = 0; i < n; ++i) out.push_back(Text(i, subItem));
    return out;
}

std::wstring RemoteStatusText(HWND status, int part) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(status, &pid);
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return {};
    const size_t size = 8192;
    void* remote = ::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    std::wstring s;
    if (remote) {
        const LRESULT r = ::SendMessageW(status, SB_GETTEXTLENGTHW, part, 0);
        const size_t n = LOWORD(r);
        if (n < size / sizeof(wchar_t)) {
            ::SendMessageW(status, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(remote));
            s.resize(n);
            if (n) ::ReadProcessMemory(process, remote, s.data(), n * sizeof(wchar_t), nullptr);
        }
        ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    ::CloseHandle(process);
    return s;
}

HWND FindDialog(DWORD pid, const wchar_t* title) {
    for (HWND h : TopLevelWindows(pid)) {
        if (ClassName(h) != L"#32770" || !::IsWindowVisible(h)) continue;
        if (title && WindowText(h) != title) continue;
        return h;
    }
    return nullptr;
}

void PressDialogButton(HWND dialog, int id) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

namespace {
// 32-bit pixels (0x00RRGGBB) of a rectangle of a DC, top row first.
std::vector<DWORD> Grab(HDC source, int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return {};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    UniqueDc memory(::CreateCompatibleDC(source));
    void* bits = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !bitmap || !bits) return {};
    SelectGuard select(memory.get(), bitmap.get());
    ::BitBlt(memory.get(), 0, 0, width, height, source, x, y, SRCCOPY);
    ::GdiFlush();
    const auto* p = static_cast<const DWORD*>(bits);
    return std::vector<DWORD>(p, p + static_cast<size_t>(width) * static_cast<size_t>(height));
}
}  // namespace

bool SaveWindowScreenshot(HWND hwnd, const std::wstring& path) {
    RECT r{};
    if (!::GetWindowRect(hwnd, &r)) return false;
    const int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<DWORD> pixels = Grab(WindowDc(nullptr).get(), r.left, r.top, w, h);
    if (pixels.empty()) return false;
    for (DWORD& p : pixels) p |= 0xFF000000;  // opaque: viewers read the fourth byte as alpha
    BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    BITMAPFILEHEADER file{0x4D42, 0, 0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size() * 4);
    std::string data(reinterpret_cast<const char*>(&file), sizeof(file));
    data.append(reinterpret_cast<const char*>(&info), sizeof(info));
    data.append(reinterpret_cast<const char*>(pixels.data()), pixels.size() * 4);
    return WriteFileBytes(path, data);
}

COLORREF ClientPixels::At(int x, int y) const {
    const POINT pt{x, y};
    if (!::PtInRect(&rect, pt)) return CLR_INVALID;
    return colors[static_cast<size_t>(y - rect.top) * static_cast<size_t>(rect.right - rect.left) +
                  static_cast<size_t>(x - rect.left)];
}

int ClientPixels::Count(const RECT& r, const std::function<bool(COLORREF)>& match) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) n += At(x, y) != CLR_INVALID && match(At(x, y));
    return n;
}

ClientPixels CapturePixels(HWND hwnd, const RECT& client) {
    ClientPixels out{client, {}};
    const std::vector<DWORD> raw =
        Grab(WindowDc(hwnd).get(), client.left, client.top, client.right - client.left, client.bottom - client.top);
    for (DWORD p : raw) out.colors.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    if (out.colors.empty()) out.rect = {};
    return out;
}

std::wstring ScreenshotFolder() {
    const std::wstring folder = BuildPath(L"screenshots");
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\";
}

INPUT MouseInput(POINT screen, DWORD flags) {
    const long long width = ::GetSystemMetrics(SM_CXSCREEN);
    const long long height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((screen.x * 65536LL + width - 1) / width);
    in.mi.dy = static_cast<LONG>((screen.y * 65536LL + height - 1) / height);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    return in;
}

void MouseAt(POINT screen, DWORD flags) {
    INPUT in = MouseInput(screen, flags);
    ::SendInput(1, &in, sizeof(INPUT));
}

void ClickAt(POINT screen, bool right, bool doubleClick) {
    const DWORD down = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    const DWORD up = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    INPUT inputs[5] = {MouseInput(screen, 0), MouseInput(screen, down), MouseInput(screen, up),
                       MouseInput(screen, down), MouseInput(screen, up)};
    ::SendInput(doubleClick ? 5 : 3, inputs, sizeof(INPUT));
}

void PressKey(WORD vk, std::initializer_list<WORD> modifiers) {
    std::vector<INPUT> in;
    auto key = [&](WORD k, bool up) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = k;
        i.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(k, MAPVK_VK_TO_VSC));
        i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        // The arrows are the extended keys, not the keypad's.
        if (k == VK_LEFT || k == VK_RIGHT || k == VK_UP || k == VK_DOWN) i.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        in.push_back(i);
    };
    for (WORD m : modifiers) key(m, false);
    key(vk, false);
    key(vk, true);
    for (auto it = modifiers.end(); it != modifiers.begin();) key(*--it, true);
    ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

}  // namespace ardmoor::test
