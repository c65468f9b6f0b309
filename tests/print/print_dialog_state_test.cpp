// The print dialog's state without its window: which printer is selected and current, the header,
// and the answer.
#include <gtest/gtest.h>

#include "print/print_dialog_state.h"

using namespace ardmoor;

namespace {
const std::vector<PrinterInfo> kPrinters = {
    {L"Office", L"LPT1:"}, {L"PDF", L"CUPS:PDF"}, {L"Twin", L"USB001"}, {L"Twin", L"USB002"}};
}

TEST(PrintDialogState, OpeningSelectsTheCurrentPrinterAndNamesItsPort) {
    PrinterInfo current{L"PDF", L"CUPS:PDF"};
    PrintDialogState state(kPrinters, current);
    state.Load();
    EXPECT_EQ(state.Items(), (std::vector<std::wstring>{L"Office", L"PDF", L"Twin", L"Twin"}));
    EXPECT_EQ(state.Selected(), 1);
    EXPECT_EQ(state.HeaderText(), L"PDF on CUPS:PDF");
    EXPECT_TRUE(state.Cancelled) << "closing the dialog without a button counts as Cancel";

    // No printers, or a current printer the system no longer has: nothing is selected.
    PrinterInfo none;
    PrintDialogState empty({}, none);
    empty.Load();
    EXPECT_TRUE(empty.Items().empty());
    EXPECT_EQ(empty.Selected(), -1);
    EXPECT_EQ(empty.HeaderText(), L"");
    PrinterInfo gone{L"Removed", L"LPT9:"};
    PrintDialogState stale(kPrinters, gone);
    stale.Load();
    EXPECT_EQ(stale.Selected(), -1);
    EXPECT_EQ(stale.HeaderText(), L"Removed on LPT9:");
}

TEST(PrintDialogState, ChoosingAnotherPrinterThenCancellingKeepsTheChoice) {
    PrinterInfo current{L"PDF", L"CUPS:PDF"};
    PrintDialogState state(kPrinters, current);
    state.Load();
    state.Choose(0);
    EXPECT_EQ(state.HeaderText(), L"Office on LPT1:");
    state.Cancel();
    EXPECT_TRUE(state.Cancelled);
    EXPECT_EQ(current.deviceName, L"Office") << "the next printout goes to the chosen printer";
    EXPECT_EQ(current.port, L"LPT1:");

    // The next dialog opens on it.
    PrintDialogState next(kPrinters, current);
    next.Load();
    EXPECT_EQ(next.Selected(), 0);
    state.Choose(7);  // out of range: nothing changes
    EXPECT_EQ(current.deviceName, L"Office");
}

TEST(PrintDialogState, OfTwoPrintersWithOneNameTheFirstIsUsedAndPrintAnswersTheLevel) {
    PrinterInfo current{L"Twin", L"USB002"};
    PrintDialogState state(kPrinters, current);
    state.Load();
    EXPECT_EQ(state.Selected(), 3) << "each item of the name is selected as it is added: the last stays selected";
    EXPECT_EQ(current.port, L"USB001");
    state.Choose(3);
    EXPECT_EQ(state.HeaderText(), L"Twin on USB001");
    state.Choose(2);
    EXPECT_EQ(current.port, L"USB001");

    for (int option : {0, 1, 2}) {
        PrintDialogState printing(kPrinters, current);
        printing.Load();
        printing.Print(option);
        EXPECT_FALSE(printing.Cancelled);
        EXPECT_EQ(printing.PrintLevel, option);
    }
}
