// The properties window and the value edit dialog of the real ardmoor.exe, driven from outside:
// entries installed by real installers (looked at, never changed) and seeded entries of the test
// prefix's machine-wide listing (changed, and removed again at the end).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <map>

#include "catalogue/registry_value.h"
#include "platform/strings.h"
#include "properties/properties_editor.h"
#include "properties/properties_ids.h"
#include "remote_accessible.h"
#include "remote_ui.h"
#include "test_support.h"
#include "write_protected_key.h"

using namespace ardmoor;
using namespace ardmoor::test;

namespace {

const std::wstring kUninstall = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr int kViewDetails = 1102;  // the main window's View > Details command

std::string Narrow(const std::wstring& s) { return WideToUtf8(s); }

struct Value {
    std::wstring name;
    DWORD type;
    std::vector<BYTE> data;
};
Value Sz(std::wstring name, const std::wstring& text, DWORD type = REG_SZ) {
    std::vector<BYTE> data((text.size() + 1) * sizeof(wchar_t));
    memcpy(data.data(), text.c_str(), data.size());
    return {std::move(name), type, std::move(data)};
}
Value Dword(std::wstring name, DWORD v) {
    return {std::move(name), REG_DWORD, std::vector<BYTE>(reinterpret_cast<BYTE*>(&v), reinterpret_cast<BYTE*>(&v) + 4)};
}

// An entry of the machine's listing that the test owns.
class SeededEntry {
public:
    SeededEntry(std::wstring keyName, std::initializer_list<Value> values) : sub_(kUninstall + std::move(keyName)) {
        HKEY key = nullptr;
        ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, sub_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        for (const Value& v : values)
            ::RegSetValueExW(key, v.name.c_str(), 0, v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
        ::RegCloseKey(key);
    }
    ~SeededEntry() {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, sub_.c_str());
        ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, sub_.c_str());
    }
    [[nodiscard]] const std::wstring& sub() const { return sub_; }

private:
    std::wstring sub_;
};

// Every value of a key as the registry holds it: name -> (type, text form).
std::vector<std::pair<std::wstring, std::wstring>> RegistryRows(const std::wstring& sub) {
    std::vector<std::pair<std::wstring, std::wstring>> rows;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, sub.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return rows;
    for (DWORD i = 0;; ++i) {
        wchar_t name[512];
        DWORD nameLen = 512, type = 0, size = 0;
        if (::RegEnumValueW(key, i, name, &nameLen, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        std::vector<BYTE> data(size);
        nameLen = 512;
        ::RegEnumValueW(key, i, name, &nameLen, nullptr, &type, data.data(), &size);
        rows.emplace_back(name, DataToText(type, data.data(), size));
    }
    ::RegCloseKey(key);
    return rows;
}

std::wstring RegistryText(const std::wstring& sub, const std::wstring& name) {
    for (const auto& [n, text] : RegistryRows(sub))
        if (n == name) return text;
    return L"<missing>";
}

// A CRC of the pixels the screen shows of a window.
uint32_t PixelSum(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(bi.bmiHeader), w, -h, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP bmp = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    uint32_t sum = 0;
    if (bmp) {
        HGDIOBJ old = ::SelectObject(mem, bmp);
        ::BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
        ::GdiFlush();
        const auto* px = static_cast<const uint32_t*>(bits);
        for (int i = 0; i < w * h; ++i) sum = sum * 31 + (px[i] & 0xFFFFFF);
        ::SelectObject(mem, old);
        ::DeleteObject(bmp);
    }
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    return sum;
}

struct App {
    AppProcess app;
    HWND main = nullptr;
    HWND list = nullptr;
    HWND tasks = nullptr;

    void Start() {
        ASSERT_TRUE(app.Start(ArdmoorExe()));
        main = app.WaitForWindow(L"ArdmoorMainWindow", L"Ardmoor", 30s);
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return (list = FindChild(main, L"SysListView32")) != nullptr; }));
        tasks = FindChild(main, L"ArdmoorTaskPane");
        HWND status = FindChild(main, L"msctls_statusbar32");
        ASSERT_TRUE(WaitUntil(
            [&] { return ::IsWindowVisible(list) && RemoteStatusText(status, 1).find(L" items...") != std::wstring::npos; },
            30s));
        ::SendMessageW(main, WM_COMMAND, kViewDetails, 0);
    }
    void Close() {
        ::PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_TRUE(app.WaitExit(20s));
    }
    [[nodiscard]] std::vector<std::wstring> Names() const { return RemoteListView(list).Column(0); }
    [[nodiscard]] int IndexOf(const std::wstring& text) const {
        const auto names = Names();
        const auto it = std::find(names.begin(), names.end(), text);
        return it == names.end() ? -1 : static_cast<int>(it - names.begin());
    }
    // Selects the row (a click) and chooses the task pane's properties item; returns the window
    // (captioned with the entry's name as the registry has it).
    HWND OpenProperties(const std::wstring& name, const std::wstring& caption = {}) {
        const int index = IndexOf(name);
        EXPECT_GE(index, 0) << Narrow(name);
        if (index < 0) return nullptr;
        ::SendMessageW(list, LVM_ENSUREVISIBLE, index, FALSE);
        RECT r = RemoteListView(list).ItemRect(index);
        POINT pt{r.left + 24, (r.top + r.bottom) / 2};
        ::ClientToScreen(list, &pt);
        ClickAt(pt);
        const std::wstring item = L"View or edit the properties for " + name + L"...";
        EXPECT_TRUE(WaitUntil([&] { return AccessibleDoDefaultAction(tasks, item); }, 5s)) << Narrow(item);
        return app.WaitForWindow(L"ArdmoorModalWindow", ((caption.empty() ? name : caption) + L" properties...").c_str(), 10s);
    }
    HWND WaitDialog(const wchar_t* title) const { return app.WaitForWindow(nullptr, title, 10s); }
    [[nodiscard]] bool Shown(const wchar_t* title) const {
        for (HWND h : TopLevelWindows(app.pid()))
            if (::IsWindowVisible(h) && WindowText(h) == title) return true;
        return false;
    }
    // Answers the message box titled `title`, after checking that it says `says`.
    void Answer(const wchar_t* title, const std::wstring& says, int button) {
        HWND box = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (box = FindDialog(app.pid(), title)) != nullptr; }, 10s)) << Narrow(title);
        const auto texts = ChildTexts(box);
        EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const std::wstring& t) { return t.find(says) != std::wstring::npos; }))
            << "no text with: " << Narrow(says);
        PressDialogButton(box, button);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box) || !::IsWindowVisible(box); }, 10s));
    }
};

// The properties window from outside.
struct Props {
    App& app;
    HWND hwnd;
    HWND list = FindChild(hwnd, L"SysListView32");

    [[nodiscard]] std::wstring Area(int i) const { return WindowText(::GetDlgItem(hwnd, kIdPropArea0 + i)); }
    [[nodiscard]] std::wstring Name() const { return WindowText(::GetDlgItem(hwnd, kIdPropName)); }
    [[nodiscard]] std::vector<std::pair<std::wstring, std::wstring>> Rows() const {
        RemoteListView lv(list);
        std::vector<std::pair<std::wstring, std::wstring>> rows;
        for (int i = 0; i < lv.Count(); ++i) rows.emplace_back(lv.Text(i, 0), lv.Text(i, 1));
        return rows;
    }
    [[nodiscard]] int Row(const std::wstring& name) const {
        const auto rows = Rows();
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].first == name) return static_cast<int>(i);
        return -1;
    }
    [[nodiscard]] std::wstring Data(const std::wstring& name) const {
        const int i = Row(name);
        return i < 0 ? L"<no row>" : RemoteListView(list).Text(i, 1);
    }
    [[nodiscard]] POINT RowPoint(int index) const {
        RECT r = RemoteListView(list).ItemRect(index);
        POINT pt{r.left + 30, (r.top + r.bottom) / 2};
        ::ClientToScreen(list, &pt);
        return pt;
    }
    void Click(const std::wstring& name, bool doubleClick = false) const {
        const int i = Row(name);
        ASSERT_GE(i, 0) << Narrow(name);
        ::SendMessageW(list, LVM_ENSUREVISIBLE, i, FALSE);
        ClickAt(RowPoint(i), false, doubleClick);
        ASSERT_TRUE(WaitUntil([&] { return RemoteListView(list).Selected() == i; }, 5s)) << Narrow(name);
    }
    void Menu(int id) const { ::PostMessageW(hwnd, WM_COMMAND, id, 0); }
    // Fills the open edit dialog and leaves it with OK (by a click, or the Enter key).
    void FillEdit(const wchar_t* title, const std::wstring* name, const std::wstring& data, bool enterKey = false) const {
        HWND dialog = app.WaitDialog(title);
        ASSERT_NE(dialog, nullptr) << Narrow(title);
        if (name) ::SendMessageW(::GetDlgItem(dialog, kIdEditName), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name->c_str()));
        ::SendMessageW(::GetDlgItem(dialog, kIdEditData), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(data.c_str()));
        if (enterKey) {
            ::SetForegroundWindow(dialog);
            PressKey(VK_RETURN);
        } else {
            PressDialogButton(dialog, kIdEditOk);
        }
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 10s));
    }
    void Add(const std::wstring& name, const std::wstring& data) const {
        Menu(kIdMenuAddEntry);
        FillEdit(kAddEntryCaption, &name, data);
    }
    void Edit(const std::wstring& name, const std::wstring& data) const {
        ASSERT_NO_FATAL_FAILURE(Click(name));
        Menu(kIdMenuModifyData);
        FillEdit(kEditValueCaption, nullptr, data);
    }
    void Press(int id) const {
        PressDialogButton(hwnd, id);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(hwnd); }, 10s));
    }
};

bool MenuShown(DWORD pid) {
    for (HWND h : TopLevelWindows(pid))
        if (ClassName(h) == L"#32768" && ::IsWindowVisible(h)) return true;
    return false;
}

void ExpectRowsAsInRegistry(const Props& props, const std::wstring& sub) {
    const auto shown = props.Rows();
    const auto stored = RegistryRows(sub);
    ASSERT_EQ(shown.size(), stored.size());
    for (size_t i = 0; i < stored.size(); ++i) {
        EXPECT_EQ(shown[i].first, stored[i].first) << i;
        EXPECT_EQ(shown[i].second, stored[i].second) << Narrow(stored[i].first);
    }
}

}  // namespace

TEST(PropertiesWindow, ShowsEveryValueOfInstalledProgramsUnderTheirHeader) {
    App w;
    ASSERT_NO_FATAL_FAILURE(w.Start());

    Props heron{w, w.OpenProperties(L"Heron Notes")};
    ASSERT_NE(heron.hwnd, nullptr);
    EXPECT_EQ(heron.Name(), L"Heron Notes");
    const std::wstring areas[] = {L"Heron Software Ltd", L"2.4.1", L"https://heron.example/help",
                                  L"https://heron.example/notes", L""};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(heron.Area(i), areas[i]) << i;
    const wchar_t* labels[] = {L"Publisher...", L"Version...", L"Help Link...", L"Information URL...", L"Update URL..."};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(WindowText(::GetDlgItem(heron.hwnd, kIdPropLabel0 + i)), labels[i]);
    ExpectRowsAsInRegistry(heron, kUninstall + L"ArdmoorSampleTool");
    EXPECT_EQ(heron.Data(L"VersionMajor"), L"2");
    EXPECT_EQ(RemoteListView(heron.list).Selected(), 0) << "the first row is selected";
    EXPECT_TRUE(SaveWindowScreenshot(heron.hwnd, ScreenshotFolder() + L"properties-heron.bmp"));
    heron.Press(kIdPropCancel);

    Props kestrel{w, w.OpenProperties(L"Kestrel Data Viewer")};
    ASSERT_NE(kestrel.hwnd, nullptr);
    EXPECT_EQ(kestrel.Area(kAreaPublisher), L"Kestrel Labs");
    EXPECT_EQ(kestrel.Area(kAreaVersion), L"3.1.0");
    EXPECT_EQ(kestrel.Area(kAreaInfoUrl), L"https://kestrel.example/viewer");
    ExpectRowsAsInRegistry(kestrel, kUninstall + L"{6F1C2A4B-9D3E-4B7A-8C21-5E0F3A9B7D10}");
    // Expand-strings show as stored.
    EXPECT_EQ(kestrel.Data(L"UninstallString"), L"MsiExec.exe /I{6F1C2A4B-9D3E-4B7A-8C21-5E0F3A9B7D10}");
    ::PostMessageW(kestrel.hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(kestrel.hwnd); }, 10s));
    w.Close();
}

TEST(PropertiesWindow, AddsChangesAndRemovesValuesAndTheHeaderAndMainRowFollow) {
    const std::wstring longLink = L"https://marsh.example/" + std::wstring(220, L'l') + L"/end";
    const std::vector<BYTE> blob = {0x41, 0x00, 0x42, 0x00};
    SeededEntry seeded(L"ArdmoorProps_Marsh",
                       {Sz(L"DisplayName", L"Marsh Reader"), Sz(L"Publisher", L"Marsh & Fen"),
                        Sz(L"DisplayVersion", L"1.0"), Sz(L"HelpLink", L"\"" + longLink + L"\""),
                        Sz(L"URLInfoAbout", L"https://marsh.example/about"), Dword(L"VersionMajor", 1),
                        Dword(L"EstimatedSize", 0xFFFFFFFF), Sz(L"InstallLocation", L"%ProgramFiles%\\Marsh", REG_EXPAND_SZ),
                        {L"Blob", REG_BINARY, blob}, {L"Lines", REG_MULTI_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}},
                        Sz(L"UninstallString", L"C:\\marsh\\unins.exe /x")});
    const std::wstring& sub = seeded.sub();
    App w;
    ASSERT_NO_FATAL_FAILURE(w.Start());
    const int mainRow = w.IndexOf(L"Marsh Reader");
    const int mainIcon = RemoteListView(w.list).Image(mainRow);
    Props p{w, w.OpenProperties(L"Marsh Reader")};
    ASSERT_NE(p.hwnd, nullptr);
    ExpectRowsAsInRegistry(p, sub);
    EXPECT_EQ(p.Data(L"InstallLocation"), L"%ProgramFiles%\\Marsh");
    EXPECT_EQ(p.Data(L"EstimatedSize"), L"4294967295");
    EXPECT_EQ(p.Data(L"Blob"), L"AB");
    EXPECT_EQ(p.Area(kAreaHelpLink), longLink) << "shown without its quotes";
    RECT link{}, frame{};
    ::GetWindowRect(::GetDlgItem(p.hwnd, kIdPropArea0 + static_cast<int>(kAreaHelpLink)), &link);
    ::GetClientRect(p.hwnd, &frame);
    EXPECT_LE(link.right - link.left, frame.right) << "a long link is cut to the window";

    // Add: the new row takes its place by name; the registry has a string.
    p.Add(L"Comments", L"added by the test");
    EXPECT_TRUE(WaitUntil([&] { return p.Data(L"Comments") == L"added by the test"; }, 5s));
    auto names = p.Rows();
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const auto& a, const auto& b) {
        return ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, a.first.c_str(), -1, b.first.c_str(), -1,
                                 nullptr, nullptr, 0) == CSTR_LESS_THAN;
    }));
    EXPECT_EQ(RemoteListView(p.list).Selected(), p.Row(L"Comments")) << "the new row is the current one";
    // ...a name that exists is refused, the list and the registry agree; Cancel adds nothing.
    const size_t count = p.Rows().size();
    p.Menu(kIdMenuAddEntry);
    {
        const std::wstring again = L"comments";
        p.FillEdit(kAddEntryCaption, &again, L"twice");
    }
    w.Answer(L"Ardmoor", L"\"comments\" already exists", IDOK);
    EXPECT_EQ(p.Rows().size(), count);
    EXPECT_EQ(RegistryText(sub, L"Comments"), L"added by the test");
    p.Menu(kIdMenuAddEntry);
    HWND dialog = w.WaitDialog(kAddEntryCaption);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(SaveWindowScreenshot(dialog, ScreenshotFolder() + L"properties-add-dialog.bmp"));
    PressDialogButton(dialog, kIdEditCancel);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5s));
    EXPECT_EQ(p.Rows().size(), count);

    // Edit a string by double-click; a number by Enter, in hex; the dialog closed by its own
    // Enter does not open again.
    ASSERT_NO_FATAL_FAILURE(p.Click(L"DisplayVersion", true));
    p.FillEdit(kEditValueCaption, nullptr, L"2.0");
    EXPECT_EQ(p.Data(L"DisplayVersion"), L"2.0");
    EXPECT_EQ(p.Area(kAreaVersion), L"2.0");
    ASSERT_NO_FATAL_FAILURE(p.Click(L"VersionMajor"));
    PressKey(VK_RETURN);
    dialog = w.WaitDialog(kEditValueCaption);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, kIdEditName)), L"VersionMajor");
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, kIdEditData)), L"1");
    p.FillEdit(kEditValueCaption, nullptr, L"0x1F", true);
    EXPECT_EQ(p.Data(L"VersionMajor"), L"31");
    EXPECT_EQ(RegistryText(sub, L"VersionMajor"), L"31");
    ::Sleep(400);
    EXPECT_FALSE(w.Shown(kEditValueCaption));
    // ...an invalid number is refused; the close box of the dialog changes nothing.
    p.Edit(L"VersionMajor", L"thirty");
    w.Answer(L"Ardmoor", L"32-bit number", IDOK);
    EXPECT_EQ(p.Data(L"VersionMajor"), L"31");
    EXPECT_EQ(RegistryText(sub, L"VersionMajor"), L"31");
    p.Menu(kIdMenuModifyData);
    dialog = w.WaitDialog(kEditValueCaption);
    ASSERT_NE(dialog, nullptr);
    ::SendMessageW(::GetDlgItem(dialog, kIdEditData), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"99"));
    ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5s));
    EXPECT_EQ(RegistryText(sub, L"VersionMajor"), L"31");
    // ...a multi-string goes through the dialog unchanged.
    ASSERT_NO_FATAL_FAILURE(p.Click(L"Lines"));
    p.Menu(kIdMenuModifyData);
    dialog = w.WaitDialog(kEditValueCaption);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(SaveWindowScreenshot(dialog, ScreenshotFolder() + L"properties-edit-dialog.bmp"));
    PressDialogButton(dialog, kIdEditOk);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5s));
    EXPECT_EQ(RegistryText(sub, L"Lines"), L"a\r\nb");

    // Remove: No keeps the value, Yes removes it.
    ASSERT_NO_FATAL_FAILURE(p.Click(L"Comments"));
    p.Menu(kIdMenuRemoveEntry);
    w.Answer(L"Remove Entry...", L"Are you sure you want to remove the selected entry?", IDNO);
    EXPECT_EQ(p.Data(L"Comments"), L"added by the test");
    p.Menu(kIdMenuRemoveEntry);
    w.Answer(L"Remove Entry...", L"Are you sure", IDYES);
    EXPECT_TRUE(WaitUntil([&] { return p.Row(L"Comments") < 0; }, 5s));
    EXPECT_EQ(RegistryText(sub, L"Comments"), L"<missing>");

    // The header follows each of its names.
    p.Edit(L"Publisher", L"Fen Works");
    EXPECT_EQ(p.Area(kAreaPublisher), L"Fen Works");
    p.Edit(L"HelpLink", L"\"https://fen.example/help\"");
    EXPECT_EQ(p.Area(kAreaHelpLink), L"\"https://fen.example/help\"");
    p.Edit(L"URLInfoAbout", L"https://fen.example/");
    EXPECT_EQ(p.Area(kAreaInfoUrl), L"https://fen.example/");
    p.Add(L"URLUpdateInfo", L"https://fen.example/update");
    EXPECT_EQ(p.Area(kAreaUpdateUrl), L"https://fen.example/update");
    p.Edit(L"DisplayName", L"Aardvark Reader");
    EXPECT_EQ(p.Name(), L"Aardvark Reader");
    EXPECT_EQ(WindowText(p.hwnd), L"Marsh Reader properties...");
    const HWND image = ::GetDlgItem(p.hwnd, kIdPropIcon);
    const uint32_t before = PixelSum(image);
    const int rowIcon = RemoteListView(p.list).Image(0);
    p.Add(L"DisplayIcon", L"C:\\windows\\system32\\notepad.exe");
    EXPECT_TRUE(WaitUntil([&] { return PixelSum(image) != before; }, 5s)) << "the icon shows the new file";
    RemoteListView props(p.list);
    EXPECT_NE(props.Image(0), rowIcon);
    for (int i = 1; i < props.Count(); ++i) EXPECT_EQ(props.Image(i), props.Image(0)) << "every row has the new icon";
    EXPECT_TRUE(SaveWindowScreenshot(p.hwnd, ScreenshotFolder() + L"properties-edited.bmp"));

    // A right click on a row offers the menu.
    const int publisher = p.Row(L"Publisher");
    ::SendMessageW(p.list, LVM_ENSUREVISIBLE, publisher, FALSE);
    ClickAt(p.RowPoint(publisher), true);
    EXPECT_TRUE(WaitUntil([&] { return MenuShown(w.app.pid()); }, 5s));
    EXPECT_EQ(RemoteListView(p.list).Selected(), publisher) << "the row clicked is the one the menu acts on";
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !MenuShown(w.app.pid()); }, 5s));
    // ...and so does the keyboard's menu key.
    PressKey(VK_APPS);
    EXPECT_TRUE(WaitUntil([&] { return MenuShown(w.app.pid()); }, 5s));
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !MenuShown(w.app.pid()); }, 5s));

    // OK: the main row is built again from the registry, and takes its new place.
    p.Press(kIdPropOk);
    EXPECT_TRUE(WaitUntil([&] { return w.IndexOf(L"Aardvark Reader") >= 0; }, 5s));
    EXPECT_EQ(w.IndexOf(L"Marsh Reader"), -1);
    const int moved = w.IndexOf(L"Aardvark Reader");
    RemoteListView main(w.list);
    EXPECT_LT(moved, mainRow) << "re-sorted";
    EXPECT_EQ(main.Text(moved, 1), L"C:\\marsh\\unins.exe /x");
    EXPECT_NE(main.Image(moved), mainIcon);
    EXPECT_EQ(main.Selected(), moved) << "the row stays the selected one";
    EXPECT_TRUE(WaitUntil([&] { return !AccessibleNameStartingWith(w.tasks, L"Remove Aardvark Reader").empty(); }, 5s));
    w.Close();
}

TEST(PropertiesWindow, CancelAndTheCloseBoxLeaveTheMainRowAndAnEmptyListHasNoMenu) {
    SeededEntry renamed(L"ArdmoorProps_Renamed", {Sz(L"DisplayName", L"Zander Tool"), Sz(L"UninstallString", L"C:\\z.exe")});
    SeededEntry empty(L"ArdmoorProps_Empty", {});
    App w;
    ASSERT_NO_FATAL_FAILURE(w.Start());

    Props p{w, w.OpenProperties(L"Zander Tool")};
    ASSERT_NE(p.hwnd, nullptr);
    p.Edit(L"DisplayName", L"0 Renamed Tool");
    p.Press(kIdPropCancel);
    EXPECT_EQ(RegistryText(renamed.sub(), L"DisplayName"), L"0 Renamed Tool") << "the change is kept";
    ::Sleep(300);
    EXPECT_GE(w.IndexOf(L"Zander Tool"), 0) << "the row is not rebuilt";

    Props again{w, w.OpenProperties(L"Zander Tool", L"0 Renamed Tool")};
    ASSERT_NE(again.hwnd, nullptr);
    ::PostMessageW(again.hwnd, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(again.hwnd); }, 5s));
    ::Sleep(300);
    EXPECT_GE(w.IndexOf(L"Zander Tool"), 0);

    // OK after no change still builds the row again, from what the registry holds now.
    const int before = w.IndexOf(L"Zander Tool");
    Props ok{w, w.OpenProperties(L"Zander Tool", L"0 Renamed Tool")};
    ASSERT_NE(ok.hwnd, nullptr);
    ok.Press(kIdPropOk);
    EXPECT_TRUE(WaitUntil([&] { return w.IndexOf(L"0 Renamed Tool") >= 0; }, 5s));
    EXPECT_LT(w.IndexOf(L"0 Renamed Tool"), before) << "re-sorted";

    Props none{w, w.OpenProperties(L"ArdmoorProps_Empty")};
    ASSERT_NE(none.hwnd, nullptr);
    EXPECT_EQ(RemoteListView(none.list).Count(), 0);
    RECT r{};
    ::GetWindowRect(none.list, &r);
    ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, true);
    ::Sleep(500);
    EXPECT_FALSE(MenuShown(w.app.pid()));
    ::PostMessageW(none.hwnd, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(none.hwnd); }, 5s));
    w.Close();
}

TEST(PropertiesWindow, AnEntryThatRefusesChangesReportsEachFailureAndKeepsItsList) {
    SeededEntry entry(L"ArdmoorProps_Locked", {Sz(L"DisplayName", L"Locked Heath"), Sz(L"Publisher", L"Heath Ltd"),
                                               Sz(L"UninstallString", L"C:\\heath\\u.exe")});
    WriteProtectedKey locked(HKEY_LOCAL_MACHINE, entry.sub());
    ASSERT_TRUE(locked.ok());
    App w;
    ASSERT_NO_FATAL_FAILURE(w.Start());
    Props p{w, w.OpenProperties(L"Locked Heath")};
    ASSERT_NE(p.hwnd, nullptr);
    const auto rows = p.Rows();
    const std::wstring denied = SystemErrorText(ERROR_ACCESS_DENIED);

    p.Edit(L"Publisher", L"Someone Else");
    w.Answer(L"Ardmoor", L"The value \"Publisher\" could not be changed.\r\n\r\n" + denied, IDOK);
    EXPECT_EQ(p.Area(kAreaPublisher), L"Heath Ltd");
    p.Menu(kIdMenuRemoveEntry);
    w.Answer(L"Remove Entry...", L"Are you sure", IDYES);
    w.Answer(L"Ardmoor", L"The value \"Publisher\" could not be removed.", IDOK);
    p.Add(L"Comments", L"none");
    w.Answer(L"Ardmoor", L"The value \"Comments\" could not be added.", IDOK);
    EXPECT_EQ(p.Rows(), rows);
    ExpectRowsAsInRegistry(p, entry.sub());
    p.Press(kIdPropCancel);
    w.Close();
}
