// The task pane's model on its own: keys, round trips, and what it tells the window.
#include <gtest/gtest.h>

#include <set>

#include "controls/task_pane/task_pane_model.h"

using namespace ardmoor;

namespace {
struct Recorder final : TaskPaneObserver {
    std::vector<TaskPaneChange> changes;
    std::vector<std::wstring> removedItems;  // keys, read while the item still exists
    std::vector<std::wstring> removedBars;
    void OnTaskPaneChanged(TaskPaneChange change) override { changes.push_back(change); }
    void OnTaskPaneItemRemoving(const TaskPaneItem& item) override {
        removedItems.push_back(item.Bar().Key() + L"/" + item.Key() + L"=" + item.Text());
    }
    void OnTaskPaneBarRemoving(const TaskPaneBar& bar) override {
        removedBars.push_back(bar.Key() + L":" + std::to_wstring(bar.ItemCount()));
    }
};
}  // namespace

TEST(TaskPaneModel, KeysAreFoundWithoutCaseAndDuplicatesAreRefused) {
    TaskPaneModel model;
    auto advanced = model.AddBar(L"Advanced", L"Software Tasks");
    ASSERT_TRUE(advanced);
    auto tasks = model.AddBar(L"Tasks", L"Other Tasks");
    ASSERT_TRUE(tasks);

    auto dup = model.AddBar(L"ADVANCED", L"Again");
    ASSERT_FALSE(dup);
    EXPECT_EQ(dup.error(), kTaskPaneDuplicateKey);
    EXPECT_EQ(model.BarCount(), 2u);
    EXPECT_EQ(model.FindBar(L"advanced"), *advanced);
    EXPECT_EQ(model.FindBar(L"advanced")->Title(), L"Software Tasks");
    EXPECT_EQ(model.FindBar(L"Missing"), nullptr);
    EXPECT_EQ(model.Bar(1), *tasks);
    EXPECT_EQ(model.Bar(2), nullptr);

    // Item keys are unique per bar only.
    ASSERT_TRUE((*advanced)->AddItem(L"UNINSTALL", L"Uninstall selected entry"));
    auto again = (*advanced)->AddItem(L"uninstall", L"Twice");
    ASSERT_FALSE(again);
    EXPECT_EQ(again.error(), kTaskPaneDuplicateKey);
    EXPECT_EQ((*advanced)->ItemCount(), 1u);
    auto other = (*tasks)->AddItem(L"UNINSTALL", L"Same key, other bar");
    ASSERT_TRUE(other);
    EXPECT_EQ((*tasks)->FindItem(L"Uninstall"), *other);
    EXPECT_EQ(model.FindItem(L"UNINSTALL")->Text(), L"Uninstall selected entry");  // first bar first

    // Empty keys may repeat and are never found.
    ASSERT_TRUE((*tasks)->AddItem(L"", L"one"));
    ASSERT_TRUE((*tasks)->AddItem(L"", L"two"));
    ASSERT_TRUE(model.AddBar(L"", L"untitled"));
    ASSERT_TRUE(model.AddBar(L"", L"untitled too"));
    EXPECT_EQ((*tasks)->FindItem(L""), nullptr);
    EXPECT_EQ(model.FindBar(L""), nullptr);
    EXPECT_EQ((*tasks)->ItemCount(), 3u);
    EXPECT_EQ(model.BarCount(), 4u);

    // Ids are unique and are not handed out again after a removal.
    std::set<uint32_t> ids;
    for (size_t b = 0; b < model.BarCount(); ++b) {
        ids.insert(model.Bar(b)->Id());
        for (size_t i = 0; i < model.Bar(b)->ItemCount(); ++i) ids.insert(model.Bar(b)->Item(i)->Id());
    }
    EXPECT_EQ(ids.size(), 4u + 4u);
    const uint32_t removedId = (*other)->Id();
    EXPECT_TRUE((*tasks)->RemoveItem(L"UNINSTALL").ok());
    EXPECT_EQ(model.FindItemById(removedId), nullptr);
    auto fresh = (*tasks)->AddItem(L"UNINSTALL", L"back");
    ASSERT_TRUE(fresh);
    EXPECT_EQ(ids.count((*fresh)->Id()), 0u);
    EXPECT_EQ(model.FindItemById((*fresh)->Id()), *fresh);
    EXPECT_EQ(model.FindBarById((*tasks)->Id()), *tasks);

    // Removing what is not there is reported, and changes nothing.
    EXPECT_EQ((*tasks)->RemoveItem(L"NOPE").error(), kTaskPaneNotFound);
    EXPECT_EQ(model.RemoveBar(L"NOPE").error(), kTaskPaneNotFound);
    EXPECT_EQ((*tasks)->ItemCount(), 3u);
    EXPECT_TRUE(model.RemoveBar(L"tasks").ok());
    EXPECT_EQ(model.FindBar(L"Tasks"), nullptr);
    EXPECT_EQ(model.BarCount(), 3u);
    // A freed key can be used again.
    EXPECT_TRUE(model.AddBar(L"Tasks", L"Other Tasks"));
}

TEST(TaskPaneModel, TellsTheObserverWhatChangedAndWhatGoes) {
    TaskPaneModel model;
    Recorder rec;
    model.SetObserver(&rec);
    TaskPaneBar* bar = model.AddBar(L"Tasks", L"Other Tasks").value();
    TaskPaneItem* item = bar->AddItem(L"REFRESH", L"Refresh listing...").value();
    (void)bar->AddItem(L"PRINT", L"Print listing...");
    ASSERT_EQ(rec.changes.size(), 3u);
    rec.changes.clear();

    item->SetTag(L"host data");                 // nothing visible
    item->SetText(L"Refresh listing...");       // unchanged
    EXPECT_TRUE(rec.changes.empty());
    item->SetToolTipText(L"tip");
    bar->SetSpecial(true);
    item->SetText(L"Refresh");
    item->SetExtraSpacing(5);
    item->SetHeading(true);
    item->SetLink(false);
    EXPECT_EQ(rec.changes, (std::vector<TaskPaneChange>{TaskPaneChange::ToolTip, TaskPaneChange::Appearance,
                                                         TaskPaneChange::Layout, TaskPaneChange::Layout,
                                                         TaskPaneChange::Layout, TaskPaneChange::Layout}));

    // The observer hears of a removal while the object can still be read.
    EXPECT_TRUE(bar->RemoveItem(L"REFRESH").ok());
    EXPECT_EQ(rec.removedItems, std::vector<std::wstring>{L"Tasks/REFRESH=Refresh"});
    (void)model.AddBar(L"General", L"General").value()->AddItem(L"EXIT", L"Exit");
    model.Clear();
    EXPECT_EQ(rec.removedItems, (std::vector<std::wstring>{L"Tasks/REFRESH=Refresh", L"General/EXIT=Exit",
                                                            L"Tasks/PRINT=Print listing..."}));
    // Bars go after their items.
    EXPECT_EQ(rec.removedBars, (std::vector<std::wstring>{L"General:0", L"Tasks:0"}));
    EXPECT_EQ(model.BarCount(), 0u);
    EXPECT_EQ(rec.changes.back(), TaskPaneChange::Layout);
}
