// The open-file dialog wrapper against the system's real dialog, answered from another thread as
// a user would: choosing a file type, typing a name, pressing Open or Cancel.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include "controls/common_dialog/GCommonDialog.h"
#include "dialog_answerer.h"
#include "remote_ui.h"
#include "test_support.h"

using namespace ardmoor;
using namespace ardmoor::test;

TEST(GCommonDialog, OpenWithTheWizardsFilterReturnsThePathTitleAndTypeAndCancelClearsThem) {
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / L"Setup.exe", "MZ"));
    GCommonDialog dialog;
    OpenFileNameArgs args;
    args.FileMustExist = true;
    args.HideReadOnly = true;
    const wchar_t* filter = L"Supported Files|*.exe;*.zip|Executables|*.exe|Zip Archive|*.zip";
    args.Filter = filter;
    args.FilterIndex = 1;
    args.DlgTitle = L"Open...";
    args.InitDir = dir.path();
    std::vector<std::wstring> types;
    bool readOnlyBoxVisible = true;
    DialogAnswerer user(::GetCurrentProcessId(), L"#32770", L"Open...", [&](HWND d) {
        HWND combo = ::GetDlgItem(d, cmb1);
        auto text = [&](LRESULT i) {
            wchar_t b[128] = {};
            ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(b));
            return std::wstring(b);
        };
        const int count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) types.push_back(text(i));
        types.push_back(text(::SendMessageW(combo, CB_GETCURSEL, 0, 0)));
        readOnlyBoxVisible = ::GetDlgItem(d, chx1) && ::IsWindowVisible(::GetDlgItem(d, chx1));
        // The second type, chosen as the mouse would; a name typed in; Open.
        ::SendMessageW(combo, CB_SETCURSEL, 1, 0);
        for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
            ::SendMessageW(d, WM_COMMAND, MAKEWPARAM(cmb1, code), reinterpret_cast<LPARAM>(combo));
        HWND edit = ::GetDlgItem(d, edt1);
        if (!edit) edit = FindChild(::GetDlgItem(d, cmb13), L"Edit");
        ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>((dir / L"Setup.exe").c_str()));
        PressDialogButton(d, IDOK);
    });
    const bool chosen = dialog.VBGetOpenFileName(args);
    ASSERT_TRUE(user.Wait()) << "the dialog did not appear";
    // The entries of the file-type box, then the one shown first.
    EXPECT_EQ(types, (std::vector<std::wstring>{L"Supported Files", L"Executables", L"Zip Archive", L"Supported Files"}));
    EXPECT_FALSE(readOnlyBoxVisible);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(dialog.APIReturn(), 1);
    EXPECT_TRUE(_wcsicmp(args.FileName.c_str(), (dir / L"Setup.exe").c_str()) == 0);
    EXPECT_EQ(args.FileName.find(L'\0'), std::wstring::npos);
    EXPECT_EQ(args.FileTitle, L"Setup.exe");
    EXPECT_EQ(args.FilterIndex, 2);
    EXPECT_EQ(args.Filter, std::wstring(L"Executables\0*.exe", 17));

    // Cancel: no file, no error, the results cleared.
    args.DlgTitle = L"Cancel me";
    args.Filter = filter;
    args.Flags = OFN_NOCHANGEDIR;
    DialogAnswerer cancel(::GetCurrentProcessId(), L"Cancel me", IDCANCEL);
    EXPECT_FALSE(dialog.VBGetOpenFileName(args));
    ASSERT_TRUE(cancel.Wait());
    EXPECT_EQ(dialog.APIReturn(), 0);
    EXPECT_EQ(dialog.ExtendedError(), 0) << "a cancel is not an error";
    EXPECT_TRUE(args.FileName.empty() && args.FileTitle.empty() && args.Filter.empty());
    EXPECT_EQ(args.Flags, 0);
    EXPECT_EQ(args.FilterIndex, -1);
}
