// The properties window and the value edit dialog of the real ardmoor.exe, driven from outside:
// entries installed by real installers (looked at, never changed) and seeded entries of the test
// prefix's machine-wide listing (changed, and removed with their keys at the end).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "catalogue/registry.h"
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

const std::wstring kUninstall = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr int kViewDetails = 1102;  // the main window's View > Details command
using Rows = std::vector<std::pair<std::wstring, std::wstring>>;

std::string Narrow(const std::wstring& s) { return WideToUtf8(s); }

// An entry of the machine's listing, owned by the test.
struct Seeded : TestRegistryKey {
    Seeded() : TestRegistryKey(HKEY_LOCAL_MACHINE, kUninstall) {}
    void Set(const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ) { SetString(L"", name, text, type); }
};

// Every value of a machine key, in the registry's order, as name and text form.
Rows RegistryRows(const std::wstring& sub) {
    Rows rows;
    auto key = RegKey::Open(L"\\HKEY_LOCAL_MACHINE\\" + sub);
    for (uint32_t i = 1; key && i <= key->ValueCount().value_or(0u); ++i)
        if (auto v = key->ValueAt(i)) rows.emplace_back(v->Name(), v->Text());
    return rows;
}
std::wstring RegistryText(const std::wstring& sub, const std::wstring& name) {
    for (const auto& [n, text] : RegistryRows(sub))
        if (n == name) return text;
    return L"<missing>";
}

// What the screen shows of a window.
std::string Pixels(HWND window) {
    const std::wstring file = ScreenshotFolder() + L"properties-pixels.bmp";
    return SaveWindowScreenshot(window, file) ? ReadFileBytes(file) : std::string();
}

bool MenuShown(DWORD pid) {
    for (HWND h : TopLevelWindows(pid))
        if (ClassName(h) == L"#32768" && ::IsWindowVisible(h)) return true;
    return false;
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
    [[nodiscard]] int IndexOf(const std::wstring& text) const {
        const auto names = RemoteListView(list).Column(0);
        const auto it = std::find(names.begin(), names.end(), text);
        return it == names.end() ? -1 : static_cast<int>(it - names.begin());
    }
    // Selects the row (a click) and chooses the task pane's properties item; returns the window,
    // captioned with the entry's name as the registry has it.
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
    [[nodiscard]] Rows Shown() const {
        RemoteListView lv(list);
        Rows rows;
        for (int i = 0; i < lv.Count(); ++i) rows.emplace_back(lv.Text(i, 0), lv.Text(i, 1));
        return rows;
    }
    [[nodiscard]] int Row(const std::wstring& name) const {
        const Rows rows = Shown();
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].first == name) return static_cast<int>(i);
        return -1;
    }
    [[nodiscard]] std::wstring Data(const std::wstring& name) const {
        const int i = Row(name);
        return i < 0 ? L"<no row>" : RemoteListView(list).Text(i, 1);
    }
    // A point on the row, scrolled into view.
    [[nodiscard]] POINT RowPoint(int index) const {
        ::SendMessageW(list, LVM_ENSUREVISIBLE, index, FALSE);
        RECT r = RemoteListView(list).ItemRect(index);
        POINT pt{r.left + 30, (r.top + r.bottom) / 2};
        ::ClientToScreen(list, &pt);
        return pt;
    }
    void Click(const std::wstring& name, bool doubleClick = false) const {
        const int i = Row(name);
        ASSERT_GE(i, 0) << Narrow(name);
        ClickAt(RowPoint(i), false, doubleClick);
        ASSERT_TRUE(WaitUntil([&] { return RemoteListView(list).Selected() == i; }, 5s)) << Narrow(name);
    }
    void Menu(int id) const { ::PostMessageW(hwnd, WM_COMMAND, id, 0); }
    // Fills the open edit dialog (the name too when given) and leaves it with OK: a click, or Enter.
    void FillEdit(const wchar_t* title, const std::wstring* name, const std::wstring& data, bool enterKey = false) const {
        HWND dialog = app.WaitDialog(title);
        ASSERT_NE(dialog, nullptr) << Narrow(title);
        if (name) ::SendMessageW(::GetDlgItem(dialog, kIdEditName), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name->c_str()));
        ::SendMessageW(::GetDlgItem(dialog, kIdEditData), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(data.c_str()));
        if (enterKey)
            PressKey(VK_RETURN);
        else
            PressDialogButton(dialog, kIdEditOk);
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
    void ExpectAsInRegistry(const std::wstring& sub) const { EXPECT_EQ(Shown(), RegistryRows(sub)); }
};

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
    heron.ExpectAsInRegistry(kUninstall + L"\\ArdmoorSampleTool");
    EXPECT_EQ(heron.Data(L"VersionMajor"), L"2");
    EXPECT_EQ(RemoteListView(heron.list).Selected(), 0) << "the first row is selected";
    EXPECT_TRUE(SaveWindowScreenshot(heron.hwnd, ScreenshotFolder() + L"properties-heron.bmp"));
    heron.Press(kIdPropCancel);

    Props kestrel{w, w.OpenProperties(L"Kestrel Data Viewer")};
    ASSERT_NE(kestrel.hwnd, nullptr);
    EXPECT_EQ(kestrel.Area(kAreaPublisher), L"Kestrel Labs");
    EXPECT_EQ(kestrel.Area(kAreaVersion), L"3.1.0");
    EXPECT_EQ(kestrel.Area(kAreaInfoUrl), L"https://kestrel.example/viewer");
    kestrel.ExpectAsInRegistry(kUninstall + L"\\{6F1C2A4B-9D3E-4B7A-8C21-5E0F3A9B7D10}");
    // Expand-strings show as stored.
    EXPECT_EQ(kestrel.Data(L"UninstallString"), L"MsiExec.exe /I{6F1C2A4B-9D3E-4B7A-8C21-5E0F3A9B7D10}");
    ::PostMessageW(kestrel.hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(kestrel.hwnd); }, 10s));
    w.Close();
}

TEST(PropertiesWindow, AddsChangesAndRemovesValuesAndTheHeaderAndMainRowFollow) {
    const std::wstring longLink = L"https://marsh.example/" + std::wstring(220, L'l') + L"/end";
    Seeded seeded;
    seeded.Set(L"DisplayName", L"Marsh Reader");
    seeded.Set(L"Publisher", L"Marsh & Fen");
    seeded.Set(L"DisplayVersion", L"1.0");
    seeded.Set(L"HelpLink", L"\"" + longLink + L"\"");
    seeded.Set(L"URLInfoAbout", L"https://marsh.example/about");
    seeded.SetDword(L"", L"VersionMajor", 1);
    seeded.SetDword(L"", L"EstimatedSize", 0xFFFFFFFF);
    seeded.Set(L"InstallLocation", L"%ProgramFiles%\\Marsh", REG_EXPAND_SZ);
    seeded.SetRaw(L"", L"Blob", REG_BINARY, "A\0B\0", 4);
    seeded.SetRaw(L"", L"Lines", REG_MULTI_SZ, L"a\0b\0", 10);
    seeded.Set(L"UninstallString", L"C:\\marsh\\unins.exe /x");
    const std::wstring& sub = seeded.subPath();
    App w;
    ASSERT_NO_FATAL_FAILURE(w.Start());
    const int mainRow = w.IndexOf(L"Marsh Reader");
    const int mainIcon = RemoteListView(w.list).Image(mainRow);
    Props p{w, w.OpenProperties(L"Marsh Reader")};
    ASSERT_NE(p.hwnd, nullptr);
    p.ExpectAsInRegistry(sub);
    EXPECT_EQ(p.Data(L"InstallLocation"), L"%ProgramFiles%\\Marsh");
    EXPECT_EQ(p.Data(L"Blob"), L"AB");
    EXPECT_EQ(p.Area(kAreaHelpLink), longLink) << "shown without its quotes";
    RECT link{}, frame{};
    ::GetWindowRect(::GetDlgItem(p.hwnd, kIdPropArea0 + static_cast<int>(kAreaHelpLink)), &link);
    ::GetClientRect(p.hwnd, &frame);
    EXPECT_LE(link.right - link.left, frame.right) << "a long link is cut to the window";

    // Add: the new row takes its place by name; the registry has a string.
    p.Add(L"Comments", L"added by the test");
    EXPECT_TRUE(WaitUntil([&] { return p.Data(L"Comments") == L"added by the test"; }, 5s));
    EXPECT_EQ(p.Row(L"Comments"), p.Row(L"Blob") + 1);
    EXPECT_EQ(p.Row(L"Comments"), p.Row(L"DisplayName") - 1);
    EXPECT_EQ(RemoteListView(p.list).Selected(), p.Row(L"Comments")) << "the new row is the current one";
    // ...a name that exists is refused, the list and the registry agree; Cancel adds nothing.
    const size_t count = p.Shown().size();
    p.Menu(kIdMenuAddEntry);
    {
        const std::wstring again = L"comments";
        p.FillEdit(kAddEntryCaption, &again, L"twice");
    }
    w.Answer(L"Ardmoor", L"\"comments\" already exists", IDOK);
    EXPECT_EQ(p.Shown().size(), count);
    EXPECT_EQ(RegistryText(sub, L"Comments"), L"added by the test");
    p.Menu(kIdMenuAddEntry);
    HWND dialog = w.WaitDialog(kAddEntryCaption);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(SaveWindowScreenshot(dialog, ScreenshotFolder() + L"properties-add-dialog.bmp"));
    PressDialogButton(dialog, kIdEditCancel);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5s));
    EXPECT_EQ(p.Shown().size(), count);

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
    EXPECT_EQ(w.app.WaitForWindow(nullptr, kEditValueCaption, 0ms), nullptr) << "opened again";
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
    const std::string before = Pixels(image);
    const int rowIcon = RemoteListView(p.list).Image(0);
    p.Add(L"DisplayIcon", L"C:\\windows\\system32\\notepad.exe");
    EXPECT_TRUE(WaitUntil([&] { return Pixels(image) != before; }, 5s)) << "the icon shows the new file";
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
    Seeded renamed, empty;
    renamed.Set(L"DisplayName", L"Zander Tool");
    renamed.Set(L"UninstallString", L"C:\\z.exe");
    const std::wstring emptyName = empty.subPath().substr(empty.subPath().rfind(L'\\') + 1);  // listed by its key
    App w;
    ASSERT_NO_FATAL_FAILURE(w.Start());

    Props p{w, w.OpenProperties(L"Zander Tool")};
    ASSERT_NE(p.hwnd, nullptr);
    p.Edit(L"DisplayName", L"0 Renamed Tool");
    p.Press(kIdPropCancel);
    EXPECT_EQ(RegistryText(renamed.subPath(), L"DisplayName"), L"0 Renamed Tool") << "the change is kept";
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

    Props none{w, w.OpenProperties(emptyName)};
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
    Seeded entry;
    entry.Set(L"DisplayName", L"Locked Heath");
    entry.Set(L"Publisher", L"Heath Ltd");
    entry.Set(L"UninstallString", L"C:\\heath\\u.exe");
    WriteProtectedKey locked(HKEY_LOCAL_MACHINE, entry.subPath());
    ASSERT_TRUE(locked.ok());
    App w;
    ASSERT_NO_FATAL_FAILURE(w.Start());
    Props p{w, w.OpenProperties(L"Locked Heath")};
    ASSERT_NE(p.hwnd, nullptr);
    const Rows rows = p.Shown();
    const std::wstring denied = SystemErrorText(ERROR_ACCESS_DENIED);

    p.Edit(L"Publisher", L"Someone Else");
    w.Answer(L"Ardmoor", L"The value \"Publisher\" could not be changed.\r\n\r\n" + denied, IDOK);
    EXPECT_EQ(p.Area(kAreaPublisher), L"Heath Ltd");
    p.Menu(kIdMenuRemoveEntry);
    w.Answer(L"Remove Entry...", L"Are you sure", IDYES);
    w.Answer(L"Ardmoor", L"The value \"Publisher\" could not be removed.", IDOK);
    p.Add(L"Comments", L"none");
    w.Answer(L"Ardmoor", L"The value \"Comments\" could not be added.", IDOK);
    EXPECT_EQ(p.Shown(), rows);
    p.ExpectAsInRegistry(entry.subPath());
    p.Press(kIdPropCancel);
    w.Close();
}
