// The main window's print command with the real dialog and the harness's two printers: what the
// dialog shows, that only Print prints, and that the printer chosen stays chosen.
#include <gtest/gtest.h>

#include <functional>

#include "app/frmMain.h"
#include "modal_script.h"
#include "pdf_check.h"
#include "platform/strings.h"
#include "print/frmPrint.h"
#include "print/print_layouts.h"
#include "print/printers.h"
#include "remote_ui.h"
#include "test_support.h"

using namespace ardmoor;
using namespace ardmoor::test;

namespace {

// Runs the print command, acting on its dialog once it is shown (inside the dialog's modal loop).
void PrintCommand(frmMain& window, const std::function<void(HWND)>& act) {
    ModalScript script;
    script.Step([&] {
        for (HWND h : TopLevelWindows(::GetCurrentProcessId()))
            if (ClassName(h) == L"ArdmoorModalWindow" && WindowText(h) == L"Print" && ::IsWindowVisible(h)) {
                act(h);
                return true;
            }
        return false;
    });
    script.Start();
    window.pPrint();
    EXPECT_TRUE(script.Finished()) << "the print command showed no dialog";
}

std::wstring SelectedPrinter(HWND dialog) {
    HWND combo = ::GetDlgItem(dialog, frmPrint::kIdCombo1);
    const int index = static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0));
    if (index < 0) return L"<none>";
    wchar_t text[256] = L"";
    ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

// Chooses a printer as the list does when the user picks one.
void ChoosePrinter(HWND dialog, const wchar_t* name) {
    HWND combo = ::GetDlgItem(dialog, frmPrint::kIdCombo1);
    ::SendMessageW(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(frmPrint::kIdCombo1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

}  // namespace

TEST(PrintCommand, OnlyPrintPrintsAndTheChosenPrinterStaysChosen) {
    if (PromisedPrinter().empty()) GTEST_SKIP() << "no test printer: tools/test.sh starts one when run as root";
    std::vector<std::wstring> names;
    for (const PrinterInfo& p : SystemPrinters()) names.push_back(p.deviceName);
    ASSERT_NE(std::find(names.begin(), names.end(), L"PDF2"), names.end()) << "the harness promised PDF and PDF2";

    TestRegistryKey entries, options;
    entries.CreateSubkey(L"Uninstall");  // an empty listing
    frmMain::Settings settings;
    settings.uninstallRoots = {entries.fullPath() + L"\\Uninstall"};
    settings.optionsRoot = options.fullPath() + L"\\Ardmoor";
    frmMain window(settings);
    ASSERT_TRUE(window.Load(SW_SHOWNORMAL));
    const auto pdfBefore = PdfFiles(PrinterOutputFolder(L"PDF"));
    const auto pdf2Before = PdfFiles(PrinterOutputFolder(L"PDF2"));

    // Opened on the system's default printer; closed with the close box.
    PrintCommand(window, [](HWND dialog) {
        EXPECT_EQ(SelectedPrinter(dialog), L"PDF");
        EXPECT_EQ(WindowText(::GetDlgItem(dialog, frmPrint::kIdPicture1)), L"PDF on CUPS:PDF");
        EXPECT_EQ(::IsDlgButtonChecked(dialog, frmPrint::kIdOption1 + 1), BST_CHECKED) << "Normal Printing";
        EXPECT_FALSE(::IsWindowEnabled(::GetParent(dialog) ? ::GetParent(dialog) : ::GetWindow(dialog, GW_OWNER)));
        ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        SaveWindowScreenshot(dialog, ScreenshotFolder() + L"\\print-dialog.bmp");
        ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    // Another printer chosen, then Cancel.
    PrintCommand(window, [](HWND dialog) {
        ChoosePrinter(dialog, L"PDF2");
        EXPECT_EQ(WindowText(::GetDlgItem(dialog, frmPrint::kIdPicture1)), L"PDF2 on CUPS:PDF2");
        ::SendMessageW(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    });
    // The next dialog opens on it, and Enter prints there.
    PrintCommand(window, [](HWND dialog) {
        EXPECT_EQ(SelectedPrinter(dialog), L"PDF2");
        ::SendMessageW(::GetDlgItem(dialog, frmPrint::kIdOption1), BM_CLICK, 0, 0);
        ::PostMessageW(dialog, WM_KEYDOWN, VK_RETURN, 0);
    });

    const std::wstring pdf = WaitForNewPdf(PrinterOutputFolder(L"PDF2"), pdf2Before);
    ASSERT_FALSE(pdf.empty()) << "Print printed nothing on the chosen printer";
    EXPECT_EQ(PdfFiles(PrinterOutputFolder(L"PDF")), pdfBefore) << "closing or cancelling printed something";
    EXPECT_EQ(PdfFiles(PrinterOutputFolder(L"PDF2")).size(), pdf2Before.size() + 1);

    // The empty listing: the heading alone, on one page.
    const auto pages = ReadPdfText(pdf);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].lines.size(), 3u);
    EXPECT_EQ(pages[0].lines[0].text, L"Ardmoor Installed Software Listing");
    SYSTEMTIME today;
    ::GetLocalTime(&today);
    EXPECT_EQ(pages[0].lines[1].text, ListingDateText(today));
    EXPECT_EQ(pages[0].lines[2].text, L"0 items listed...");
    window.Destroy();
}
