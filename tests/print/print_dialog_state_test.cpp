// The print dialog's state without its window, on printer lists the system will not produce on
// demand (two printers of one name, none at all). The dialog itself: print_command_test.cpp.
#include <gtest/gtest.h>

#include "print/print_dialog_state.h"

using namespace ardmoor;

TEST(PrintDialogState, SelectsTheCurrentPrinterOfAnyListAndOfTwoWithOneNameUsesTheFirst) {
    const std::vector<PrinterInfo> printers = {
        {L"Office", L"LPT1:"}, {L"PDF", L"CUPS:PDF"}, {L"Twin", L"USB001"}, {L"Twin", L"USB002"}};
    PrinterInfo current{L"Twin", L"USB002"};
    PrintDialogState state(printers, current);
    state.Load();
    EXPECT_EQ(state.Items(), (std::vector<std::wstring>{L"Office", L"PDF", L"Twin", L"Twin"}));
    EXPECT_EQ(state.Selected(), 3) << "each item of the name is selected as it is added: the last stays selected";
    EXPECT_EQ(current.port, L"USB001");
    EXPECT_TRUE(state.Cancelled) << "closing the dialog without a button counts as Cancel";
    state.Choose(3);
    EXPECT_EQ(state.HeaderText(), L"Twin on USB001");
    state.Print(2);
    EXPECT_EQ(state.PrintLevel, 2);
    EXPECT_FALSE(state.Cancelled);

    // No printers, or a current printer the system no longer has: nothing is selected.
    PrinterInfo none;
    PrintDialogState empty({}, none);
    empty.Load();
    EXPECT_TRUE(empty.Items().empty());
    EXPECT_EQ(empty.Selected(), -1);
    EXPECT_EQ(empty.HeaderText(), L"");
    PrinterInfo gone{L"Removed", L"LPT9:"};
    PrintDialogState stale(printers, gone);
    stale.Load();
    EXPECT_EQ(stale.Selected(), -1);
    EXPECT_EQ(stale.HeaderText(), L"Removed on LPT9:");
}
