#include "properties/frmProperties.h"

#include <commctrl.h>

#include <algorithm>

#include "app/window_helpers.h"
#include "platform/shell.h"
#include "properties/properties_ids.h"

namespace ardmoor {

namespace {
// Layout in pixels at 96 DPI.
constexpr int kWidth = 520;
constexpr int kHeight = 440;
constexpr int kMargin = 16;
constexpr int kIconTop = 14;
constexpr int kNameLeft = 60;
constexpr int kNameHeight = 32;
constexpr int kAreaTop = 58;
constexpr int kAreaStep = 22;
constexpr int kAreaHeight = 20;
constexpr int kLabelWidth = 112;
constexpr int kAreaLeft = kMargin + kLabelWidth + 4;
constexpr int kAreaMaxWidth = kWidth - kMargin - kAreaLeft;
constexpr RECT kShape1{kMargin, 176, kWidth - kMargin, 372};
constexpr int kStripTop = 384;  // Picture3: the button strip with its etched line
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;
constexpr int kNameColumnTwips = 2400;
constexpr int kDataColumnTwips = 6000;

const wchar_t* const kAreaCaptions[kHeaderAreaCount] = {L"Publisher...", L"Version...", L"Help Link...",
                                                        L"Information URL...", L"Update URL..."};

bool IsLinkArea(int index) { return index >= kAreaHelpLink; }
}  // namespace

frmProperties::frmProperties(Shell& shell, std::wstring iconFolder, PropertiesPrompter* prompter)
    : ModalWindow(L"Properties", kWidth, kHeight, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN),
      shell_(shell), iconFolder_(std::move(iconFolder)), prompter_(prompter) {}

frmProperties::~frmProperties() = default;

bool frmProperties::OnCreate() {
    if (!prompter_) {
        ownPrompter_ = std::make_unique<DialogPropertiesPrompter>(hwnd());
        prompter_ = ownPrompter_.get();
    }
    editor_ = std::make_unique<PropertiesEditor>(EntryKey, *prompter_, iconFolder_);
    if (!CreateControls()) return false;
    Form_Load();
    return true;
}

bool frmProperties::CreateControls() {
    LOGFONTW lf{};
    if (DialogFont() && ::GetObjectW(DialogFont(), sizeof(lf), &lf)) {
        lf.lfWeight = FW_BOLD;
        lf.lfHeight = lf.lfHeight * 5 / 4;
        nameFont_.reset(::CreateFontIndirectW(&lf));
    }
    Image1 = AddControl(L"STATIC", L"", SS_ICON, kMargin, kIconTop, 32, 32, kIdPropIcon);
    if (!Picture1.Create(hwnd(), kIdPropName, Scale(kNameLeft), Scale(kIconTop), Scale(kWidth - kMargin - kNameLeft),
                         Scale(kNameHeight), nameFont_ ? nameFont_.get() : DialogFont()))
        return false;
    for (int i = 0; i < kHeaderAreaCount; ++i) {
        const int top = kAreaTop + i * kAreaStep;
        Label1[i] = AddControl(L"STATIC", kAreaCaptions[i], SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, kMargin, top,
                               kLabelWidth, kAreaHeight, kIdPropLabel0 + i);
        if (!Picture2[i].Create(hwnd(), kIdPropArea0 + i, Scale(kAreaLeft), Scale(top), Scale(kAreaMaxWidth),
                                Scale(kAreaHeight), DialogFont()))
            return false;
        Picture2[i].OnClick = [this, i] { editor_->OpenLink(i, shell_); };
    }

    ListViewStyle style;
    style.view = list_view::kViewDetails;
    style.fullRowSelect = true;
    if (!lvProps.Create(hwnd(), kIdPropList, style)) return false;
    ::SendMessageW(lvProps.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), TRUE);
    // Inside Shape1's border.
    lvProps.Move(Scale(kShape1.left) + 1, Scale(kShape1.top) + 1, Scale(kShape1.right - kShape1.left) - 2,
                 Scale(kShape1.bottom - kShape1.top) - 2);
    lvProps.OnItemClick = [this](ListItem item) { SelectedIndex = item.Index(); };
    lvProps.OnItemDblClick = [this](ListItem item) {
        SelectedIndex = item.Index();
        pEdit();
    };
    lvProps.OnKeyUp = [this](int key, int) { OnListKeyUp(key); };
    lvProps.OnMouseUp = [this](int button, int, int, int) {
        if (button != list_view::kRightButton || lvProps.Count() < 1) return;
        POINT pt;
        ::GetCursorPos(&pt);
        PopupMenu(pt);
    };

    const int buttonTop = kStripTop + (kHeight - kStripTop - kButtonHeight) / 2;
    AddControl(L"BUTTON", L"&OK", WS_TABSTOP | BS_DEFPUSHBUTTON, kWidth - kMargin - 2 * kButtonWidth - 8, buttonTop,
               kButtonWidth, kButtonHeight, kIdPropOk);
    AddControl(L"BUTTON", L"&Cancel", WS_TABSTOP | BS_PUSHBUTTON, kWidth - kMargin - kButtonWidth, buttonTop,
               kButtonWidth, kButtonHeight, kIdPropCancel);

    tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    if (tooltip_) {
        for (int i = kAreaHelpLink; i < kHeaderAreaCount; ++i) {
            TTTOOLINFOW tool{sizeof(tool)};
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = hwnd();
            tool.uId = reinterpret_cast<UINT_PTR>(Picture2[i].hwnd());
            tool.lpszText = const_cast<wchar_t*>(L"");
            ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }

    mnuA.reset(::CreatePopupMenu());
    ::AppendMenuW(mnuA.get(), MF_STRING, kIdMenuAddEntry, L"Add Entry...");
    ::AppendMenuW(mnuA.get(), MF_STRING, kIdMenuRemoveEntry, L"Remove Entry");
    ::AppendMenuW(mnuA.get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(mnuA.get(), MF_STRING, kIdMenuModifyData, L"Modify Data...");
    return true;
}

void frmProperties::Form_Load() {
    // (ShowModal centres the window on the screen once it is built.)
    SelectedIndex = 1;
    pGet();
    if (!IsGroupingSupported()) {
        // Without the themed list of the system that has groups, the list draws its own sunken
        // border in Shape1's place.
        lvProps.SetBorderStyle(1, 1);
        shape1Visible_ = false;
        lvProps.Move(Scale(kShape1.left), Scale(kShape1.top), Scale(kShape1.right - kShape1.left),
                     Scale(kShape1.bottom - kShape1.top));
    }
    focus_.SetInitial(lvProps.hwnd());
    Cancelled = true;
}

void frmProperties::pGet() {
    const std::vector<ValueRow> rows = editor_->Load();
    ::SetWindowTextW(hwnd(), editor_->Header().caption.c_str());

    largeIcons_.SetIconSizeX(32);
    largeIcons_.SetIconSizeY(32);
    (void)largeIcons_.Create();
    smallIcons_.SetIconSizeX(16);
    smallIcons_.SetIconSizeY(16);
    if (smallIcons_.Create()) lvProps.SetImageList(smallIcons_.hIml(), list_view::kSmallIcons);
    ShowHeader();

    (void)lvProps.AddColumn(L"NAME", L"Name", kNameColumnTwips);
    (void)lvProps.AddColumn(L"DATA", L"Data", kDataColumnTwips);
    lvProps.SetRedraw(false);
    for (const ValueRow& value : rows) {
        auto row = lvProps.Add(L"", value.name, smallIcon_);
        if (row) row->SetSubItem(1, value.data);
    }
    lvProps.SetRedraw(true);
    SelectRow(1);
}

int frmProperties::IconIndex(cVBALSysImageList& list, const std::wstring& file) const {
    // The file's own icon, as the main list shows it; a generic program icon when there is none.
    return file.empty() ? list.ItemIndex(std::wstring_view(L"program.exe"), false) : list.ItemIndex(file, true);
}

void frmProperties::ShowHeader() {
    const PropertiesHeader& header = editor_->Header();
    Picture1.SetText(header.name);
    for (int i = 0; i < kHeaderAreaCount; ++i) {
        const HeaderArea& area = header.areas[i];
        PictureArea& picture = Picture2[i];
        picture.SetText(area.text);
        picture.SetLink(!area.tag.empty());
        if (!IsLinkArea(i)) continue;
        // A link area is only as wide as its text, so that only the text opens it.
        picture.SetWidth(std::min(picture.TextWidth(area.text), Scale(kAreaMaxWidth)));
        if (tooltip_) {
            TTTOOLINFOW tool{sizeof(tool)};
            tool.hwnd = hwnd();
            tool.uId = reinterpret_cast<UINT_PTR>(picture.hwnd());
            tool.lpszText = const_cast<wchar_t*>(area.tip.c_str());
            ::SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    if (!iconShown_ || header.iconFile != shownIconFile_) ShowIcon();
}

void frmProperties::ShowIcon() {
    const std::wstring& file = editor_->Header().iconFile;
    shownIconFile_ = file;
    iconShown_ = true;
    UniqueIcon picture = largeIcons_.hIml() ? largeIcons_.ItemPicture(IconIndex(largeIcons_, file)) : UniqueIcon();
    ::SendMessageW(Image1, STM_SETICON, reinterpret_cast<WPARAM>(picture.get()), 0);
    icon_ = std::move(picture);  // the one shown before goes now that the control let go of it
    smallIcon_ = smallIcons_.hIml() ? IconIndex(smallIcons_, file) : -1;
    for (int i = 1; i <= lvProps.Count(); ++i) lvProps.Item(i).SetIcon(smallIcon_);
}

void frmProperties::SyncSelectedIndex() { SelectedIndex = lvProps.SelectedItem().Index(); }

void frmProperties::SelectRow(int index) {
    ListItem row = lvProps.Item(index);
    SelectedIndex = row ? index : 0;
    if (!row) return;
    row.SetSelected(true);
    row.EnsureVisible();
}

void frmProperties::pAdd() {
    auto added = editor_->Add();
    if (!added) return;
    auto row = lvProps.Add(L"", added->name, smallIcon_);
    if (!row) return;
    row->SetSubItem(1, added->data);
    ShowHeader();
    ListColumn name = lvProps.Column(L"NAME");
    name.SetSortOrder(list_view::kSortAscending);
    name.SetSortType(list_view::kSortText);
    lvProps.Sort();
    // The new row is the current one, wherever sorting put it.
    SelectRow(row->Index());
}

void frmProperties::pEdit() {
    SyncSelectedIndex();
    ListItem row = lvProps.Item(SelectedIndex);
    if (!row) return;
    auto data = editor_->Edit(row.Text());
    if (!data) return;
    row.SetSubItem(1, *data);
    ShowHeader();
}

void frmProperties::pRemove() {
    SyncSelectedIndex();
    ListItem row = lvProps.Item(SelectedIndex);
    if (!row) return;
    if (!editor_->Remove(row.Text())) return;
    const int index = row.Index();
    (void)lvProps.Remove(index);
    // The header keeps what it shows until the window is opened again.
    SelectRow(std::min(index, lvProps.Count()));
}

void frmProperties::OnListKeyUp(int keyCode) {
    switch (keyCode) {
    case VK_RETURN:
        // Only an Enter pressed here: the release of the one that closed a dialog is not.
        if (!enterInList_) return;
        enterInList_ = false;
        pEdit();
        return;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
        SyncSelectedIndex();
        return;
    default:
        return;
    }
}

void frmProperties::PopupMenu(POINT screen) {
    SyncSelectedIndex();
    // The commands on a row wait for one to be selected.
    const UINT rowState = MF_BYCOMMAND | (SelectedIndex >= 1 ? MF_ENABLED : MF_GRAYED);
    ::EnableMenuItem(mnuA.get(), kIdMenuRemoveEntry, rowState);
    ::EnableMenuItem(mnuA.get(), kIdMenuModifyData, rowState);
    ::TrackPopupMenuEx(mnuA.get(), TPM_RIGHTBUTTON, screen.x, screen.y, hwnd(), nullptr);
}

int frmProperties::DefaultButtonId() const {
    // In the list Enter changes the selected value, on its release; on Cancel it cancels.
    HWND focus = ::GetFocus();
    if (focus == lvProps.hwnd()) return 0;
    return focus && focus == ::GetDlgItem(hwnd(), kIdPropCancel) ? kIdPropCancel : kIdPropOk;
}

void frmProperties::OnCommand(int id, int code, HWND) {
    switch (id) {
    case kIdPropOk:
        Cancelled = false;
        EndModal();
        return;
    case kIdPropCancel:
    case IDCANCEL:
        Cancelled = true;
        EndModal();
        return;
    case IDOK:
        // The dialog manager's Enter when no button is the default: the focus is in the list.
        enterInList_ = ::GetFocus() == lvProps.hwnd();
        return;
    case kIdMenuAddEntry:
        pAdd();
        return;
    case kIdMenuRemoveEntry:
        pRemove();
        return;
    case kIdMenuModifyData:
        pEdit();
        return;
    default:
        return;
    }
}

void frmProperties::Paint(HDC dc) {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    RECT strip{0, Scale(kStripTop), client.right, client.bottom};
    DrawPictureEdge(dc, strip, EDGE_ETCHED, BF_TOP);
    if (shape1Visible_) {
        RECT shape{Scale(kShape1.left), Scale(kShape1.top), Scale(kShape1.right), Scale(kShape1.bottom)};
        ::FrameRect(dc, &shape, ::GetSysColorBrush(COLOR_BTNSHADOW));
    }
}

bool frmProperties::OnWindowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_ACTIVATE:
        if (!focus_.OnActivate(hwnd(), wp)) return false;
        result = 0;
        return true;
    case WM_PAINT: {
        Paint(PaintDc(hwnd()).get());
        result = 0;
        return true;
    }
    case WM_CONTEXTMENU: {
        // The keyboard's menu key (a right click comes as a mouse release of the list).
        if (lp != -1 || lvProps.Count() < 1) return false;
        RECT r{};
        ::GetWindowRect(lvProps.hwnd(), &r);
        POINT pt{r.left + Scale(24), r.top + Scale(24)};
        if (ListItem row = lvProps.SelectedItem()) {
            RECT item{LVIR_LABEL, 0, 0, 0};
            if (::SendMessageW(lvProps.hwnd(), LVM_GETITEMRECT, row.Index() - 1, reinterpret_cast<LPARAM>(&item))) {
                pt = {item.left + Scale(8), item.bottom};
                ::ClientToScreen(lvProps.hwnd(), &pt);
            }
        }
        PopupMenu(pt);
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

HWND frmProperties::AreaWindow(int index) const noexcept {
    return index >= 0 && index < kHeaderAreaCount ? Picture2[index].hwnd() : nullptr;
}

std::wstring frmProperties::AreaToolTip(int index) const {
    if (!tooltip_ || index < 0 || index >= kHeaderAreaCount) return {};
    std::wstring text(1024, L'\0');
    TTTOOLINFOW tool{sizeof(tool)};
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(Picture2[index].hwnd());
    tool.lpszText = text.data();
    ::SendMessageW(tooltip_, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
    text.resize(std::wcslen(text.c_str()));
    return text;
}

}  // namespace ardmoor
