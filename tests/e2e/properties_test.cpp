// The properties window and the value edit dialog of the real ardmoor.exe, driven from outside:
// entries installed by real installers (looked at, never changed) and seeded entries of the test
// prefix's machine-wide listing (changed, and removed with their keys at the end).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "ardmoor_app.h"
#include "catalogue/registry.h"
#include "platform/strings.h"
#include "properties/properties_editor.h"
#include "properties/properties_ids.h"
#include "remote_accessible.h"
#include "remote_ui.h"
#include "test_support.h"

using namespace ardmoor;
using namespace ardmoor::test;

namespace {

const std::wstring kUninstall = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
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

struct App : ArdmoorApp {
    void Open() {
        ASSERT_NO_FATAL_FAILURE(Start());
        ViewDetails();
    }
    // Selects the row and chooses the task pane's properties item; returns the window, captioned
    // with the entry's name as the registry has it.
    HWND OpenProperties(const std::wstring& name, const std::wstring& caption = {}) {
        const int index = IndexOf(name);
        EXPECT_GE(index, 0) << Narrow(name);
        if (index < 0) return nullptr;
        const std::wstring item = L"View or edit the properties for " + name + L"...";
        // Another click on the spot of the last one, within the double-click time, would be a
        // double-click, which uninstalls: the row is clicked only when it is not the current one.
        if (RemoteListView(list).Selected() != index || Detail(item) != item) ClickAt(RemoteListView(list).RowPoint(index));
        EXPECT_TRUE(WaitUntil([&] { return AccessibleDoDefaultAction(tasks, item); }, 5s)) << Narrow(item);
        return WaitDialog(((caption.empty() ? name : caption) + L" properties...").c_str(), 10s);
    }
    HWND WaitAny(const wchar_t* title) const { return app.WaitForWindow(nullptr, title, 10s); }
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
    void Click(const std::wstring& name, bool doubleClick = false) const {
        const int i = Row(name);
        ASSERT_GE(i, 0) << Narrow(name);
        ClickAt(RemoteListView(list).RowPoint(i), false, doubleClick);
        ASSERT_TRUE(WaitUntil([&] { return RemoteListView(list).Selected() == i; }, 5s)) << Narrow(name);
    }
    void Menu(int id) const { ::PostMessageW(hwnd, WM_COMMAND, id, 0); }
    // Fills the open edit dialog (the name too when given) and leaves it with OK: a click, or Enter.
    void FillEdit(const wchar_t* title, const std::wstring* name, const std::wstring& data, bool enterKey = false) const {
        HWND dialog = app.WaitAny(title);
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
    // Closes the window with a button, or its close box when `id` is 0.
    void Press(int id) const {
        if (id) PressDialogButton(hwnd, id);
        else ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(hwnd); }, 10s));
    }
    void ExpectAsInRegistry(const std::wstring& sub) const { EXPECT_EQ(Shown(), RegistryRows(sub)); }
};

}  // namespace

TEST(PropertiesWindow, AddsChangesAndRemovesValuesAndTheHeaderAndMainRowFollow) {
    const std::wstring longLink = L"https://marsh.example/" + std::wstring(220, L'l') + L"/end";
    Seeded seeded;
    seeded.Set(L"DisplayName", L"Marsh Reader");
    seeded.Set(L"DisplayVersion", L"1.0");
    seeded.Set(L"HelpLink", L"\"" + longLink + L"\"");
    seeded.SetDword(L"", L"VersionMajor", 1);
    seeded.SetDword(L"", L"EstimatedSize", 0xFFFFFFFF);
    seeded.Set(L"InstallLocation", L"%ProgramFiles%\\Marsh", REG_EXPAND_SZ);
    seeded.SetRaw(L"", L"Blob", REG_BINARY, "A\0B\0", 4);
    seeded.SetRaw(L"", L"Lines", REG_MULTI_SZ, L"a\0b\0", 10);
    seeded.Set(L"UninstallString", L"C:\\marsh\\unins.exe /x");
    const std::wstring& sub = seeded.subPath();
    App w;
    ASSERT_NO_FATAL_FAILURE(w.Open());
    const int mainRow = w.IndexOf(L"Marsh Reader");
    const int mainIcon = RemoteListView(w.list).Image(mainRow);
    Props p{w, w.OpenProperties(L"Marsh Reader")};
    ASSERT_NE(p.hwnd, nullptr);
    p.ExpectAsInRegistry(sub);
    EXPECT_EQ(p.Data(L"InstallLocation"), L"%ProgramFiles%\\Marsh");
    EXPECT_EQ(p.Area(kAreaHelpLink), longLink) << "shown without its quotes";
    RECT link{}, frame{};
    ::GetWindowRect(::GetDlgItem(p.hwnd, kIdPropArea0 + static_cast<int>(kAreaHelpLink)), &link);
    ::GetClientRect(p.hwnd, &frame);
    EXPECT_LE(link.right - link.left, frame.right) << "a long link is cut to the window";

    // Add: the new row takes its place by name; Cancel adds nothing.
    p.Add(L"Comments", L"added by the test");
    EXPECT_TRUE(WaitUntil([&] { return p.Data(L"Comments") == L"added by the test"; }, 5s));
    EXPECT_EQ(p.Row(L"Comments"), p.Row(L"Blob") + 1);
    EXPECT_EQ(RemoteListView(p.list).Selected(), p.Row(L"Comments")) << "the new row is the current one";
    const size_t count = p.Shown().size();
    p.Menu(kIdMenuAddEntry);
    HWND dialog = w.WaitAny(kAddEntryCaption);
    ASSERT_NE(dialog, nullptr);
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
    p.FillEdit(kEditValueCaption, nullptr, L"0x1F", true);
    EXPECT_EQ(p.Data(L"VersionMajor"), L"31");
    EXPECT_EQ(RegistryText(sub, L"VersionMajor"), L"31");
    // Remove, once asked (No is the editor's own test). The click is read after the Enter's
    // release, and an edit dialog opened again by that would leave the window deaf to it.
    ASSERT_NO_FATAL_FAILURE(p.Click(L"Comments")) << "the edit dialog opened again?";
    EXPECT_EQ(w.app.WaitForWindow(nullptr, kEditValueCaption, 0ms), nullptr) << "opened again";
    p.Menu(kIdMenuRemoveEntry);
    w.Answer(L"Remove Entry...", L"Are you sure you want to remove the selected entry?", IDYES);
    EXPECT_TRUE(WaitUntil([&] { return p.Row(L"Comments") < 0; }, 5s));
    EXPECT_EQ(RegistryText(sub, L"Comments"), L"<missing>");

    // The header follows the name; a new DisplayIcon is loaded into the header and every row.
    p.Edit(L"DisplayName", L"Aardvark Reader");
    EXPECT_EQ(p.Name(), L"Aardvark Reader");
    const HWND image = ::GetDlgItem(p.hwnd, kIdPropIcon);
    const std::string before = Pixels(image);
    const int rowIcon = RemoteListView(p.list).Image(0);
    p.Add(L"DisplayIcon", L"C:\\windows\\system32\\notepad.exe");
    EXPECT_TRUE(WaitUntil([&] { return Pixels(image) != before; }, 5s)) << "the icon shows the new file";
    RemoteListView props(p.list);
    EXPECT_NE(props.Image(0), rowIcon);
    for (int i = 1; i < props.Count(); ++i) EXPECT_EQ(props.Image(i), props.Image(0)) << "every row has the new icon";
    EXPECT_TRUE(SaveWindowScreenshot(p.hwnd, ScreenshotFolder() + L"properties-edited.bmp"));

    // A right click on a row offers the menu for that row.
    const int version = p.Row(L"DisplayVersion");
    ClickAt(RemoteListView(p.list).RowPoint(version), true);
    EXPECT_TRUE(WaitUntil([&] { return MenuShown(w.app.pid()); }, 5s));
    EXPECT_EQ(RemoteListView(p.list).Selected(), version);
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !MenuShown(w.app.pid()); }, 5s));

    // OK: the main row is built again from the registry, and takes its new place.
    p.Press(kIdPropOk);
    EXPECT_TRUE(WaitUntil([&] { return w.IndexOf(L"Aardvark Reader") >= 0; }, 5s));
    EXPECT_EQ(w.IndexOf(L"Marsh Reader"), -1);
    const int moved = w.IndexOf(L"Aardvark Reader");
    RemoteListView main(w.list);
    EXPECT_LT(moved, mainRow) << "re-sorted";
    EXPECT_NE(main.Image(moved), mainIcon);
    EXPECT_EQ(main.Selected(), moved) << "the row stays the selected one";
    w.Close();
}

TEST(PropertiesWindow, ShowsInstalledProgramsCancelAndTheCloseBoxLeaveTheMainRowAndAnEmptyListHasNoMenu) {
    Seeded renamed, empty;
    renamed.Set(L"DisplayName", L"Zander Tool");
    renamed.Set(L"UninstallString", L"C:\\z.exe");
    const std::wstring emptyName = empty.subPath().substr(empty.subPath().rfind(L'\\') + 1);  // listed by its key
    App w;
    ASSERT_NO_FATAL_FAILURE(w.Open());

    // Programs of real installers: every value, under their header.
    Props heron{w, w.OpenProperties(L"Heron Notes")};
    ASSERT_NE(heron.hwnd, nullptr);
    EXPECT_EQ(heron.Name(), L"Heron Notes");
    EXPECT_EQ(heron.Area(kAreaHelpLink), L"https://heron.example/help");  // the areas' table is the editor's test
    heron.ExpectAsInRegistry(kUninstall + L"\\ArdmoorSampleTool");
    EXPECT_TRUE(SaveWindowScreenshot(heron.hwnd, ScreenshotFolder() + L"properties-heron.bmp"));
    heron.Press(kIdPropCancel);

    Props kestrel{w, w.OpenProperties(L"Kestrel Data Viewer")};
    ASSERT_NE(kestrel.hwnd, nullptr);
    EXPECT_EQ(kestrel.Area(kAreaPublisher), L"Kestrel Labs");
    kestrel.ExpectAsInRegistry(kUninstall + L"\\{6F1C2A4B-9D3E-4B7A-8C21-5E0F3A9B7D10}");
    kestrel.Press(0);

    Props p{w, w.OpenProperties(L"Zander Tool")};
    ASSERT_NE(p.hwnd, nullptr);
    p.Edit(L"DisplayName", L"0 Renamed Tool");
    p.Press(kIdPropCancel);
    EXPECT_EQ(RegistryText(renamed.subPath(), L"DisplayName"), L"0 Renamed Tool") << "the change is kept";
    Props again{w, w.OpenProperties(L"Zander Tool", L"0 Renamed Tool")};
    ASSERT_NE(again.hwnd, nullptr);
    again.Press(0);

    // OK after no change still builds the row again, from what the registry holds now.
    Props ok{w, w.OpenProperties(L"Zander Tool", L"0 Renamed Tool")};
    ASSERT_NE(ok.hwnd, nullptr);
    // This window came from a later command: the close box's one has run to its end.
    const int before = w.IndexOf(L"Zander Tool");
    EXPECT_GE(before, 0) << "neither Cancel nor the close box rebuilds the row";
    ok.Press(kIdPropOk);
    EXPECT_TRUE(WaitUntil([&] { return w.IndexOf(L"0 Renamed Tool") >= 0; }, 5s));
    EXPECT_LT(w.IndexOf(L"0 Renamed Tool"), before) << "re-sorted";

    Props none{w, w.OpenProperties(emptyName)};
    ASSERT_NE(none.hwnd, nullptr);
    EXPECT_EQ(RemoteListView(none.list).Count(), 0);
    RECT r{};
    ::GetWindowRect(none.list, &r);
    ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, true);
    // Escape, read after the click, would close a menu; without one it cancels the window.
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(none.hwnd); }, 10s)) << "a menu took the Escape";
    w.Close();
}
