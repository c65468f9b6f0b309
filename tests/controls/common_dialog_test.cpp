// The open-file dialog wrapper against the system's real dialog, answered from another thread as
// a user would: choosing a file type, typing a name, pressing Open or Cancel.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <functional>

#include "controls/common_dialog/GCommonDialog.h"
#include "dialog_answerer.h"
#include "remote_ui.h"
#include "test_support.h"

using namespace ardmoor;
using namespace ardmoor::test;

namespace {

const wchar_t* kWizardFilter = L"Supported Files|*.exe;*.zip|Executables|*.exe|Zip Archive|*.zip";

// What the answering thread saw of the dialog.
struct Seen {
    std::vector<std::wstring> types;  // the entries of the file-type box
    std::wstring shownType;           // the one shown first
    bool readOnlyBoxVisible = false;
};

std::wstring ComboText(HWND combo, int index) {
    const LRESULT n = ::SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (n < 0) return {};
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    ::SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<size_t>(n));
    return s;
}

// Runs `show` on this thread while another thread waits for the dialog titled `title`, records
// what it shows, and answers it with `answer`.
template <class Show>
Seen ShowAndAnswer(const wchar_t* title, Show show, const std::function<void(HWND dialog)>& answer) {
    Seen seen;
    DialogAnswerer user(::GetCurrentProcessId(), L"#32770", title, [&](HWND dialog) {
        HWND types = ::GetDlgItem(dialog, cmb1);
        const int count = static_cast<int>(::SendMessageW(types, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) seen.types.push_back(ComboText(types, i));
        seen.shownType = ComboText(types, static_cast<int>(::SendMessageW(types, CB_GETCURSEL, 0, 0)));
        HWND readOnly = ::GetDlgItem(dialog, chx1);
        seen.readOnlyBoxVisible = readOnly && ::IsWindowVisible(readOnly);
        answer(dialog);
    });
    show();
    EXPECT_TRUE(user.Wait()) << "the dialog did not appear";
    return seen;
}

// Types a name into the dialog's file name box.
void TypeName(HWND dialog, const std::wstring& name) {
    HWND edit = ::GetDlgItem(dialog, edt1);
    if (!edit) edit = FindChild(::GetDlgItem(dialog, cmb13), L"Edit");
    ASSERT_NE(edit, nullptr);
    ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

void ChooseType(HWND dialog, int index0) {
    HWND types = ::GetDlgItem(dialog, cmb1);
    ::SendMessageW(types, CB_SETCURSEL, index0, 0);
    // What a choice with the mouse sends.
    for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb1, code), reinterpret_cast<LPARAM>(types));
}

}  // namespace

TEST(GCommonDialog, OpenWithTheWizardsFilterReturnsThePathTitleAndChosenType) {
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / L"Setup.exe", "MZ"));
    GCommonDialog dialog;
    OpenFileNameArgs args;
    args.FileMustExist = true;
    args.HideReadOnly = true;
    args.Filter = kWizardFilter;
    args.FilterIndex = 1;
    args.DlgTitle = L"Open...";
    args.InitDir = dir.path();
    bool chosen = false;
    const Seen seen = ShowAndAnswer(
        L"Open...", [&] { chosen = dialog.VBGetOpenFileName(args); },
        [&](HWND d) {
            ChooseType(d, 1);
            TypeName(d, dir / L"Setup.exe");
            PressDialogButton(d, IDOK);
        });
    EXPECT_EQ(seen.types, (std::vector<std::wstring>{L"Supported Files", L"Executables", L"Zip Archive"}));
    EXPECT_EQ(seen.shownType, L"Supported Files");
    EXPECT_FALSE(seen.readOnlyBoxVisible);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(dialog.APIReturn(), 1);
    EXPECT_TRUE(_wcsicmp(args.FileName.c_str(), (dir / L"Setup.exe").c_str()) == 0)
        << std::string(args.FileName.begin(), args.FileName.end());
    EXPECT_EQ(args.FileName.find(L'\0'), std::wstring::npos);
    EXPECT_EQ(args.FileTitle, L"Setup.exe");
    EXPECT_EQ(args.FilterIndex, 2);
    EXPECT_EQ(args.Filter, std::wstring(L"Executables\0*.exe", 17));
    EXPECT_TRUE(args.Flags & OFN_FILEMUSTEXIST);
    EXPECT_TRUE(args.Flags & OFN_HIDEREADONLY);
}

TEST(GCommonDialog, CancelClearsTheResults) {
    GCommonDialog dialog;
    OpenFileNameArgs args;
    args.FileName = L"start.exe";
    args.FileTitle = L"start.exe";
    args.Filter = kWizardFilter;
    args.DlgTitle = L"Cancel me";
    args.Flags = OFN_NOCHANGEDIR;
    bool chosen = true;
    ShowAndAnswer(L"Cancel me", [&] { chosen = dialog.VBGetOpenFileName(args); },
                  [](HWND d) { PressDialogButton(d, IDCANCEL); });
    EXPECT_FALSE(chosen);
    EXPECT_EQ(dialog.APIReturn(), 0);
    EXPECT_EQ(dialog.ExtendedError(), 0) << "a cancel is not an error";
    EXPECT_TRUE(args.FileName.empty());
    EXPECT_TRUE(args.FileTitle.empty());
    EXPECT_EQ(args.Flags, 0);
    EXPECT_EQ(args.FilterIndex, -1);
    EXPECT_TRUE(args.Filter.empty());
}
