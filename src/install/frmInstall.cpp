#include "install/frmInstall.h"

#include "app/window_helpers.h"
#include "install/setup_files.h"
#include "platform/message_pump.h"

namespace ardmoor {

namespace {
// Layout at 96 DPI, in pixels.
constexpr int kClientWidth = 540, kClientHeight = 390;
constexpr int kPictureWidth = 164;
constexpr int kStripHeight = 48;

// Control ids (the wizard's range).
enum : int {
    kIdImage2 = 500,
    kIdPicture2 = 501,
    kIdPageFirst = 502,  // 502-506: the pages
    kIdNext = 511,
    kIdBack = 512,
    kIdLabel7 = 520,
    kIdLabel1b = 521,
    kIdCheckFixed = 522,
    kIdCheckCD = 523,
    kIdCheckFloppy = 524,
    kIdCheckZip = 525,
    kIdLabel1a = 526,
    kIdLabel2 = 530,
    kIdImage1 = 531,
    kIdPicture1 = 532,
    kIdStop = 533,
    kIdRefresh = 534,
    kIdLabel3 = 540,
    kIdLabel5 = 541,
    kIdLabel4 = 542,
    kIdList = 543,
    kIdText1 = 544,
    kIdBrowse = 545,
    kIdLabel6 = 550,
    kIdPicture3 = 551,
    kIdPicture4 = 552,
    kIdProgress = 553,
};

std::wstring TextOf(HWND control) {
    const int n = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(control, text.data(), n + 1)));
    return text;
}
}  // namespace

frmInstall::frmInstall(ProcessRunner& runner, InstallWizardSettings settings)
    : ModalWindow(InstallWizard::kCaption, kClientWidth, kClientHeight),
      wizard_(*this, dialogs_, runner, std::move(settings)) {}

frmInstall::~frmInstall() = default;

int frmInstall::DefaultButtonId() const { return kIdNext; }

bool frmInstall::OnCreate() {
    dialogs_.SetOwner(hwnd());
    pSetup();
    if (!lvItems.hwnd() || !Command1[1]) return false;
    wizard_.Load();
    ExtractionChanged();
    // Where the list cannot show groups (Wine), a bordered bar; elsewhere the flat look.
    if (lvItems.GroupsSupported()) ProgressBar1.SetBorderStyle(0);
    return true;
}

HWND frmInstall::AddChild(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w,
                          int h, int id) {
    HWND control = ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, Scale(x), Scale(y), Scale(w),
                                     Scale(h), parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     ::GetModuleHandleW(nullptr), nullptr);
    if (control) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), FALSE);
    return control;
}

void frmInstall::pSetup() {
    largeIcons_.SetIconSizeX(32);
    largeIcons_.SetIconSizeY(32);
    smallIcons_.SetIconSizeX(16);
    smallIcons_.SetIconSizeY(16);
    (void)largeIcons_.Create();
    (void)smallIcons_.Create();

    const int pageHeight = kClientHeight - kStripHeight;
    Image2.Create(hwnd(), kIdImage2, {0, 0, Scale(kPictureWidth), Scale(pageHeight)});
    Picture2.Create(hwnd(), kIdPicture2, {0, Scale(pageHeight), Scale(kClientWidth), Scale(kClientHeight)}, true);
    ::SendMessageW(Picture2.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), FALSE);
    ::ShowWindow(Picture2.hwnd(), SW_SHOW);
    const int right = kClientWidth - 12;
    Command1[2] = AddChild(Picture2.hwnd(), L"BUTTON", L"< &Back", WS_TABSTOP | BS_PUSHBUTTON, right - 75 * 3 - 10, 13,
                           75, 24, kIdBack);
    Command1[1] = AddChild(Picture2.hwnd(), L"BUTTON", InstallWizard::kNextCaption, WS_TABSTOP | BS_DEFPUSHBUTTON,
                           right - 75 * 2 - 10, 13, 75, 24, kIdNext);
    Command1[0] = AddChild(Picture2.hwnd(), L"BUTTON", L"&Close", WS_TABSTOP | BS_PUSHBUTTON, right - 75, 13, 75, 24,
                           IDCANCEL);
    ::EnableWindow(Command1[2], FALSE);

    BuildPages();
    CenterForm(hwnd());
}

void frmInstall::BuildPages() {
    const RECT pageRect{Scale(kPictureWidth), 0, Scale(kClientWidth), Scale(kClientHeight - kStripHeight)};
    for (int i = 0; i < InstallWizard::kPageCount; ++i) {
        picTab[i].Create(hwnd(), kIdPageFirst + i, pageRect);
        ::SendMessageW(picTab[i].hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), FALSE);
    }
    const int w = kClientWidth - kPictureWidth - 32;  // inner width of a page
    const DWORD label = SS_LEFT | SS_NOPREFIX;

    HWND p = picTab[0].hwnd();
    AddChild(p, L"STATIC",
             L"Use this wizard to search your computer for instances of setup executables or zip archives that "
             L"contain setup executables.",
             label, 16, 20, w, 60, kIdLabel7);

    p = picTab[1].hwnd();
    AddChild(p, L"STATIC",
             L"Choose which drives you want to look for instances of setup executables and zip archives.", label, 16,
             16, w, 40, kIdLabel1b);
    Check3[2] = AddChild(p, L"BUTTON", L"Search fixed-hard drives...", WS_TABSTOP | BS_AUTOCHECKBOX, 16, 62, w, 20,
                         kIdCheckFixed);
    Check3[0] = AddChild(p, L"BUTTON", L"Search CD-ROM drives...", WS_TABSTOP | BS_AUTOCHECKBOX, 16, 86, w, 20,
                         kIdCheckCD);
    Check3[1] = AddChild(p, L"BUTTON", L"Search removable drives...", WS_TABSTOP | BS_AUTOCHECKBOX, 16, 110, w, 20,
                         kIdCheckFloppy);
    Check1 = AddChild(p, L"BUTTON", L"Include zip archives in the search for setup executables...",
                      WS_TABSTOP | BS_AUTOCHECKBOX, 16, 144, w, 20, kIdCheckZip);
    AddChild(p, L"STATIC",
             L"The Install Software Wizard will look inside zip archives for instances of setup executables. If one "
             L"is found then the archive will be listed for your consideration. If you choose to run the archive for "
             L"setup then the entire archive will be extracted to a temporay folder and the setup executable will "
             L"then be run.",
             label, 16, 176, w, 120, kIdLabel1a);

    p = picTab[2].hwnd();
    AddChild(p, L"STATIC", L"Please wait while Ardmoor looks for instances of installation files...", label, 16, 16,
             w, 40, kIdLabel2);
    Image1 = AddChild(p, L"STATIC", L"", SS_ICON | SS_CENTERIMAGE, 16, 66, 32, 32, kIdImage1);
    Picture1.Create(p, kIdPicture1, {Scale(56), Scale(72), Scale(16 + w), Scale(92)});
    Command2 = AddChild(p, L"BUTTON", L"&Stop", WS_TABSTOP | WS_DISABLED, 16, 120, 80, 24, kIdStop);
    Command4 = AddChild(p, L"BUTTON", L"&Refresh", WS_TABSTOP | WS_DISABLED, 104, 120, 80, 24, kIdRefresh);

    p = picTab[3].hwnd();
    AddChild(p, L"STATIC",
             L"You can choose a program to install from the list below or you may choose to browse your computer and "
             L"choose the file yourself...",
             label, 16, 12, w, 44, kIdLabel3);
    AddChild(p, L"STATIC", L"Files found during search of computer...", label, 16, 62, w - 120, 16, kIdLabel5);
    Label4 = AddChild(p, L"STATIC", L"", SS_RIGHT | SS_NOPREFIX, 16 + w - 120, 62, 120, 16, kIdLabel4);
    if (lvItems.Create(p, kIdList).ok()) {
        lvItems.Move(Scale(16), Scale(82), Scale(w), Scale(200));
        lvItems.SetFullRowSelect(true);
        lvItems.SetBorderStyle(1, 1);
        if (smallIcons_.hIml()) lvItems.SetImageList(smallIcons_.hIml(), list_view::kSmallIcons);
        (void)lvItems.AddColumn(L"Name", L"Name", 2400);
        (void)lvItems.AddColumn(L"Size", L"Size", 1200);
        (void)lvItems.AddColumn(L"Path", L"In Folder", 3000);
        (void)lvItems.AddColumn(L"Modified", L"Modified", 1200);
        lvItems.Column(L"Name").SetSortType(list_view::kSortText);
        lvItems.Column(L"Size").SetSortType(list_view::kSortNumber);
        lvItems.Column(L"Size").SetAlignment(list_view::kAlignRight);
        lvItems.Column(L"Path").SetSortType(list_view::kSortText);
        lvItems.Column(L"Modified").SetSortType(list_view::kSortDate);
        lvItems.OnColumnClick = [this](int column) { OnListColumnClick(column); };
        lvItems.OnItemClick = [this](ListItem item) { ChooseListItem(item, false); };
        lvItems.OnItemDblClick = [this](ListItem item) { ChooseListItem(item, true); };
        // Looked up when a row is first drawn: most rows of a long search are never seen.
        lvItems.OnItemIcon = [this](ListItem item) {
            return smallIcons_.ItemIndex(std::wstring_view(item.SubItem(2) + item.Text()), true);
        };
        lvItems.OnKeyUp = [this](int key, int) {
            if (key >= VK_LEFT && key <= VK_DOWN) ChooseListItem(lvItems.SelectedItem(), false);
        };
    }
    Text1 = AddChild(p, L"EDIT", L"", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 16, 292, w - 34, 22, kIdText1);
    Command3 = AddChild(p, L"BUTTON", L"...", WS_TABSTOP, 16 + w - 28, 292, 28, 22, kIdBrowse);

    p = picTab[4].hwnd();
    AddChild(p, L"STATIC",
             L"The program you have selected for installation should have started. You may click Close to "
             L"continue...",
             label, 16, 16, w, 44, kIdLabel6);
    Picture3.Create(p, kIdPicture3, {Scale(16), Scale(72), Scale(16 + w), Scale(92)});
    Picture4.Create(p, kIdPicture4, {Scale(16), Scale(100), Scale(16 + w), Scale(120)});
    ProgressBar1.ReadProperties({});
    ProgressBar1.Create(p, kIdProgress, Scale(16), Scale(128), Scale(w), Scale(18));
}

void frmInstall::Form_Resize() {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    RECT strip{}, side{};
    ::GetWindowRect(Picture2.hwnd(), &strip);
    ::GetWindowRect(Image2.hwnd(), &side);
    const int left = side.right - side.left;
    const int height = client.bottom - (strip.bottom - strip.top);
    for (WizardPanel& page : picTab)
        if (page.hwnd()) ::MoveWindow(page.hwnd(), left, 0, client.right - left, height, TRUE);
}

// ---- commands ----

void frmInstall::OnCommand(int id, int code, HWND) {
    switch (id) {
    case IDCANCEL:
        ::SendMessageW(hwnd(), WM_CLOSE, 0, 0);
        return;
    case kIdNext:
        if (code == BN_CLICKED) wizard_.Next();
        return;
    case kIdBack:
        if (code == BN_CLICKED) wizard_.Back();
        return;
    case kIdStop:
        if (code == BN_CLICKED) wizard_.Stop();
        return;
    case kIdRefresh:
        if (code == BN_CLICKED) wizard_.Refresh();
        return;
    case kIdBrowse:
        if (code == BN_CLICKED) wizard_.Browse();
        return;
    case kIdCheckFixed:
    case kIdCheckCD:
    case kIdCheckFloppy:
    case kIdCheckZip: {
        if (code != BN_CLICKED) return;
        auto state = [](HWND box) { return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0; };
        wizard_.SetSearchFixed(state(Check3[2]));
        wizard_.SetSearchCD(state(Check3[0]));
        wizard_.SetSearchFloppy(state(Check3[1]));
        wizard_.SetIncludeZip(state(Check1));
        return;
    }
    case kIdText1:
        if (code == EN_CHANGE && !settingText_) wizard_.SetChosenFile(TextOf(Text1));
        return;
    default:
        return;
    }
}

void frmInstall::OnClose() { wizard_.QueryClose(); }

bool frmInstall::OnWindowMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg == WM_SIZE) {
        Form_Resize();
        result = 0;
        return true;
    }
    return false;
}

void frmInstall::ChooseListItem(const ListItem& item, bool open) {
    if (!item) return;
    wizard_.ChooseItem(item.SubItem(2), item.Text(), open);
}

void frmInstall::OnListColumnClick(int column) {
    ListColumn header = lvItems.Column(column);
    if (!header) return;
    header.SetSortOrder(header.SortOrder() == list_view::kSortAscending ? list_view::kSortDescending
                                                                        : list_view::kSortAscending);
    lvItems.Sort();
}

// ---- the view ----

void frmInstall::ShowPage(int page) {
    if (page == shownPage_) return;
    HWND focus = ::GetFocus();
    for (int i = 0; i < InstallWizard::kPageCount; ++i)
        if (i != page && picTab[i].hwnd()) ::ShowWindow(picTab[i].hwnd(), SW_HIDE);
    if (page >= 0 && page < InstallWizard::kPageCount) ::ShowWindow(picTab[page].hwnd(), SW_SHOW);
    shownPage_ = page;
    // Focus left on a hidden page goes to the button strip.
    if (!focus || !::IsWindowVisible(focus)) ::SetFocus(Command1[1]);
}

void frmInstall::SetTextIfChanged(HWND control, const std::wstring& text) {
    if (control && TextOf(control) != text) ::SetWindowTextW(control, text.c_str());
}

void frmInstall::Update() {
    const InstallWizard& w = wizard_;
    SetTextIfChanged(Command1[1], w.NextCaption());
    // A button about to be disabled hands the focus on first, so the keyboard keeps working.
    HWND focus = ::GetFocus();
    const auto enable = [&](HWND control, bool on) {
        if (!on && focus == control) ::SetFocus(Command1[0]);
        ::EnableWindow(control, on ? TRUE : FALSE);
    };
    enable(Command1[1], w.NextEnabled());
    enable(Command1[2], w.BackEnabled());
    enable(Command2, w.StopEnabled());
    enable(Command4, w.RefreshEnabled());
    ::SendMessageW(Check3[2], BM_SETCHECK, w.SearchFixed() == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    ::SendMessageW(Check3[0], BM_SETCHECK, w.SearchCD() == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    ::SendMessageW(Check3[1], BM_SETCHECK, w.SearchFloppy() == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    ::SendMessageW(Check1, BM_SETCHECK, w.IncludeZip() == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    // The list is drawn once when the search ends, not after every few rows it finds.
    lvItems.SetRedraw(!w.Searching());
    SetTextIfChanged(Label4, w.FoundCountText());
    if (TextOf(Text1) != w.ChosenFile()) {
        settingText_ = true;
        ::SetWindowTextW(Text1, w.ChosenFile().c_str());
        settingText_ = false;
    }
    SetTextIfChanged(Picture3.hwnd(), w.FinishPath());
}

void frmInstall::SearchStatusChanged(bool now) {
    Picture1.SetText(wizard_.SearchStatus());
    if (now && ::IsWindowVisible(hwnd())) ::UpdateWindow(Picture1.hwnd());
}

void frmInstall::ShowDriveIcon(const std::wstring& root) {
    // Read from the drive itself: by its name alone a root looks like a plain file to the shell.
    UniqueIcon icon = largeIcons_.ItemPicture(largeIcons_.ItemIndex(std::wstring_view(root), true));
    ::SendMessageW(Image1, STM_SETICON, reinterpret_cast<WPARAM>(icon.get()), 0);
    driveIcon_ = std::move(icon);  // the previous one goes once it is no longer shown
}

void frmInstall::ItemsCleared() { lvItems.Clear(); }

void frmInstall::ItemAdded(const FoundItem& item) {
    auto row = lvItems.Add(item.key, item.name, list_view::kIconOnDemand);
    if (!row) return;
    row->SetSubItem(1, FormatSize(item.size));
    row->SetSubItem(2, item.folder);
    row->SetSubItem(3, FormatModified(item.modified));
}

void frmInstall::ExtractionChanged() {
    const InstallWizard& w = wizard_;
    Picture4.SetText(w.ExtractStatus());
    ::ShowWindow(Picture4.hwnd(), w.ExtractionVisible() ? SW_SHOW : SW_HIDE);
    ::ShowWindow(ProgressBar1.hwnd(), w.ExtractionVisible() ? SW_SHOW : SW_HIDE);
    ProgressBar1.SetMax(w.ProgressMax());
    ProgressBar1.SetValue(w.ProgressValue());
}

void frmInstall::LetMessagesRun() { PumpPendingMessages(); }

void frmInstall::SetInUse(bool inUse) { ::EnableWindow(hwnd(), inUse ? TRUE : FALSE); }

void frmInstall::CloseWindow() { ::SendMessageW(hwnd(), WM_CLOSE, 0, 0); }

}  // namespace ardmoor
