// The uninstall workflow's three dialogs as a user meets them: their texts, their buttons, the
// keyboard (Enter, Esc) and the close box. Each is answered from another thread while it is shown.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "controls/message_dialog/message_dialog.h"
#include "dialog_answerer.h"
#include "remote_ui.h"
#include "uninstall/frmCleanup.h"
#include "uninstall/frmUninstallMsg.h"
#include "uninstall/frmVerify.h"

using namespace ardmoor;

namespace {

struct Seen {
    std::wstring header, text, focus;
    std::vector<std::wstring> buttons;
};

HWND FocusOf(HWND window) {
    GUITHREADINFO info{sizeof(info)};
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

void Key(HWND window, WORD vk) {
    HWND target = FocusOf(window);
    ::PostMessageW(target ? target : window, WM_KEYDOWN, vk, 0);
    ::PostMessageW(target ? target : window, WM_KEYUP, vk, 0xC0000001);
}

// Shows `dialog` and, once it is on screen, records what it shows and acts on it.
void ShowAndAct(ModalWindow& dialog, const wchar_t* title, Seen& seen, const std::function<void(HWND)>& act,
                const std::wstring& screenshot = L"") {
    test::DialogAnswerer answerer(::GetCurrentProcessId(), L"ArdmoorModalWindow", title, [&](HWND h) {
        test::WaitUntil([&] { return FocusOf(h) != nullptr; }, std::chrono::seconds(5));
        seen.header = test::WindowText(::GetDlgItem(h, MessageDialog::kHeaderId));
        seen.text = test::WindowText(::GetDlgItem(h, MessageDialog::kTextId));
        seen.focus = test::WindowText(FocusOf(h));
        for (int id : {IDYES, IDNO, IDRETRY})
            if (HWND b = ::GetDlgItem(h, id)) seen.buttons.push_back(test::WindowText(b));
        if (!screenshot.empty()) test::SaveWindowScreenshot(h, test::ScreenshotFolder() + screenshot);
        act(h);
    });
    ASSERT_TRUE(dialog.ShowModal(nullptr));
    ASSERT_TRUE(answerer.Wait()) << "the dialog did not appear";
    EXPECT_EQ(dialog.hwnd(), nullptr);
}

const auto kPressYes = [](HWND h) { test::PressDialogButton(h, IDYES); };
const auto kPressNo = [](HWND h) { test::PressDialogButton(h, IDNO); };
const auto kPressRetry = [](HWND h) { test::PressDialogButton(h, IDRETRY); };
const auto kCloseBox = [](HWND h) { ::PostMessageW(h, WM_CLOSE, 0, 0); };
const auto kEnter = [](HWND h) { Key(h, VK_RETURN); };
const auto kEscape = [](HWND h) { Key(h, VK_ESCAPE); };

}  // namespace

TEST(UninstallDialogs, InvalidEntryDialogAnswersYesNoRetryAndNoForEverythingElse) {
    const struct {
        const char* what;
        std::function<void(HWND)> act;
        int choice;
    } cases[] = {{"Yes", kPressYes, 0},         {"No", kPressNo, 1},         {"Retry", kPressRetry, 4},
                 {"close box", kCloseBox, 1}, {"Esc", kEscape, 1}, {"Enter (No is the default)", kEnter, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        frmUninstallMsg dialog;
        dialog.MessageText = L"First paragraph.\r\n\r\nSecond paragraph.";
        dialog.EntryName = L"Broken & Co. Tools";
        dialog.Choice = 4;  // loading resets it: the close box counts as No
        Seen seen;
        ShowAndAct(dialog, L"Uninstall Software", seen, c.act, c.choice == 0 ? L"uninstall-invalid-entry.bmp" : L"");
        EXPECT_EQ(dialog.Choice, c.choice);
        EXPECT_EQ(seen.header, L"Broken & Co. Tools");
        EXPECT_EQ(seen.text, L"First paragraph.\r\n\r\nSecond paragraph.");
        EXPECT_EQ(seen.buttons, (std::vector<std::wstring>{L"&Yes", L"&No", L"&Retry"}));
        EXPECT_EQ(seen.focus, L"&No");
    }
}

TEST(UninstallDialogs, VerifyAndCleanupDeclineUnlessYesIsChosen) {
    const struct {
        const char* what;
        std::function<void(HWND)> act;
        bool declined;
    } cases[] = {{"Yes", kPressYes, false}, {"No", kPressNo, true}, {"close box", kCloseBox, true}, {"Enter", kEnter, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        frmVerify verify;
        verify.EntryName = L"Plover Sketch";
        verify.Declined = !c.declined;
        Seen seen;
        ShowAndAct(verify, L"Verify...", seen, c.act, c.declined ? L"" : L"uninstall-verify.bmp");
        EXPECT_EQ(verify.Declined, c.declined);
        EXPECT_EQ(seen.header, L"Plover Sketch");
        EXPECT_EQ(seen.buttons, (std::vector<std::wstring>{L"&Yes", L"&No"}));

        // A path too long for the header keeps its last part there; the text box has all of it.
        frmCleanup cleanup;
        cleanup.Folder = L"C:\\Program Files\\Plover Graphics\\Sketching Suite Professional Edition\\Version 11\\Plover Sketch";
        cleanup.Declined = !c.declined;
        seen = {};
        ShowAndAct(cleanup, L"Folder cleanup", seen, c.act, c.declined ? L"" : L"uninstall-cleanup.bmp");
        EXPECT_EQ(cleanup.Declined, c.declined);
        EXPECT_EQ(seen.header, cleanup.Folder);
        EXPECT_NE(seen.text.find(L" the " + cleanup.Folder + L" folder."), std::wstring::npos) << "the whole path";
    }
}
