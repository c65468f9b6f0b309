// The task pane without a window: its model, line breaking and layout measured with the system's
// real fonts, and its colours.
#include <gtest/gtest.h>

#include <set>

#include "controls/task_pane/task_pane_fonts.h"
#include "controls/task_pane/task_pane_layout.h"
#include "controls/task_pane/task_pane_palette.h"

using namespace ardmoor;

namespace {
using Keys = std::vector<std::wstring>;

std::wstring Joined(const std::vector<WrappedLine>& lines) {
    std::wstring all;
    for (const auto& l : lines) all += l.text;
    return all;
}

int Height(const RECT& r) { return r.bottom - r.top; }

// The pane's bars as the main window fills them, and an empty one.
void Fill(TaskPaneModel& model) {
    TaskPaneBar* a = model.AddBar(L"Advanced", L"Software Tasks").value();
    (void)a->AddItem(L"UNINSTALL", L"Uninstall selected entry");
    (void)a->AddItem(L"INSTALL", L"Install software on your computer...");
    TaskPaneBar* t = model.AddBar(L"Tasks", L"Other Tasks").value();
    (void)t->AddItem(L"REMOVE", L"Remove selected entry");
    (void)t->AddItem(L"REFRESH", L"Refresh listing...");
    TaskPaneBar* d = model.AddBar(L"Properties", L"Details").value();
    d->AddItem(L"ITEMNAME", L"").value()->SetHeading(true);
    d->AddItem(L"PUBLISHER", L"Publisher:").value()->SetLink(false);
    (void)d->AddItem(L"SUPPORT", L"Support Information");
    (void)model.AddBar(L"Empty", L"No items");
}

struct Measured {
    explicit Measured(UINT dpi) : fonts(TaskPaneFonts::ForDpi(dpi)), m(fonts),
        metrics(TaskPaneMetrics::ForDpi(dpi, m.LineHeight(TaskPaneFontKind::Bold))) {}
    TaskPaneLayout Layout(const TaskPaneModel& model, int width) { return ComputeTaskPaneLayout(model, metrics, width, m); }
    std::vector<WrappedLine> Wrap(const std::wstring& text, int width, TaskPaneFontKind kind = TaskPaneFontKind::Normal) {
        return WrapTaskPaneText(text, width, m, kind);
    }
    TaskPaneFonts fonts;
    GdiTextMeasurer m;
    TaskPaneMetrics metrics;
};

struct Recorder final : TaskPaneObserver {
    std::vector<TaskPaneChange> changes;
    Keys removed;  // read while the object still exists
    void OnTaskPaneChanged(TaskPaneChange change) override { changes.push_back(change); }
    void OnTaskPaneItemRemoving(const TaskPaneItem& item) override { removed.push_back(item.Bar().Key() + L"/" + item.Text()); }
    void OnTaskPaneBarRemoving(const TaskPaneBar& bar) override {
        removed.push_back(bar.Key() + L":" + std::to_wstring(bar.ItemCount()));
    }
};
}  // namespace

TEST(TaskPaneModel, KeysIdsAndWhatTheObserverHears) {
    TaskPaneModel model;
    Recorder rec;
    model.SetObserver(&rec);
    TaskPaneBar* advanced = model.AddBar(L"Advanced", L"Software Tasks").value();
    TaskPaneBar* tasks = model.AddBar(L"Tasks", L"Other Tasks").value();
    // Keys are found without case; duplicates are refused, per bar for items; empty keys may repeat.
    EXPECT_EQ(model.AddBar(L"ADVANCED", L"Again").error(), kTaskPaneDuplicateKey);
    EXPECT_EQ(model.FindBar(L"advanced"), advanced);
    TaskPaneItem* uninstall = advanced->AddItem(L"UNINSTALL", L"Uninstall selected entry").value();
    EXPECT_EQ(advanced->AddItem(L"uninstall", L"Twice").error(), kTaskPaneDuplicateKey);
    TaskPaneItem* other = tasks->AddItem(L"UNINSTALL", L"Same key, other bar").value();
    EXPECT_EQ(model.FindItem(L"Uninstall"), uninstall);  // first bar first
    ASSERT_TRUE(tasks->AddItem(L"", L"one") && tasks->AddItem(L"", L"two"));
    EXPECT_EQ(tasks->FindItem(L""), nullptr);
    // Ids are not handed out again after a removal; what is not there is reported.
    const uint32_t removedId = other->Id();
    EXPECT_TRUE(tasks->RemoveItem(L"UNINSTALL").ok());
    EXPECT_EQ(model.FindItemById(removedId), nullptr);
    TaskPaneItem* fresh = tasks->AddItem(L"UNINSTALL", L"back").value();
    EXPECT_NE(fresh->Id(), removedId);
    EXPECT_NE(fresh->Id(), uninstall->Id());
    EXPECT_EQ(model.FindItemById(fresh->Id()), fresh);
    EXPECT_EQ(tasks->RemoveItem(L"NOPE").error(), kTaskPaneNotFound);
    EXPECT_EQ(model.RemoveBar(L"NOPE").error(), kTaskPaneNotFound);

    // Only visible changes are told, each with its kind.
    rec.changes.clear();
    uninstall->SetTag(L"host data");
    uninstall->SetText(L"Uninstall selected entry");  // unchanged
    EXPECT_TRUE(rec.changes.empty());
    uninstall->SetToolTipText(L"tip");
    advanced->SetSpecial(true);
    uninstall->SetText(L"Uninstall");
    uninstall->SetExtraSpacing(5);
    EXPECT_EQ(rec.changes, (std::vector<TaskPaneChange>{TaskPaneChange::ToolTip, TaskPaneChange::Appearance,
                                                         TaskPaneChange::Layout, TaskPaneChange::Layout}));
    // Removals are heard while the object can still be read; bars go after their items.
    rec.removed.clear();
    model.Clear();
    EXPECT_EQ(rec.removed, (Keys{L"Tasks/back", L"Tasks/two", L"Tasks/one", L"Tasks:0", L"Advanced/Uninstall",
                                 L"Advanced:0"}));
    EXPECT_TRUE(model.AddBar(L"Tasks", L"Other Tasks"));  // the bar is gone and its key free again
}

TEST(TaskPaneText, WrapsAtBlanksHonoursLineBreaksAndCutsLongWords) {
    Measured m(96);
    // Words kept whole, only the blanks at the breaks gone.
    const std::wstring text = L"Remove Some Program 2.0 from your uninstall listing...";
    for (int width : {400, 150, 80}) {
        std::wstring rebuilt;
        for (const auto& line : m.Wrap(text, width)) {
            EXPECT_LE(line.width, width) << width;
            rebuilt += (rebuilt.empty() ? L"" : L" ") + line.text;
        }
        EXPECT_EQ(rebuilt, text) << width;
    }
    EXPECT_EQ(m.Wrap(text, 400).size(), 1u);
    EXPECT_GT(m.Wrap(text, 80).size(), 3u);

    // CR LF, a lone LF and a lone CR all end a line; an empty line stays; an empty text has none.
    Keys breaks;
    for (const auto& line : m.Wrap(L"Ardmoor\r\ncan be\n\nuninstalled\rhere", 1000)) breaks.push_back(line.text);
    EXPECT_EQ(breaks, (Keys{L"Ardmoor", L"can be", L"", L"uninstalled", L"here"}));
    EXPECT_TRUE(m.Wrap(L"", 100).empty());
    // A word wider than the line is cut, never dropped, and a surrogate pair is never split.
    const std::wstring word(300, L'W');
    auto cut = m.Wrap(word, 60, TaskPaneFontKind::Bold);
    EXPECT_GT(cut.size(), 5u);
    EXPECT_EQ(Joined(cut), word);
    for (const auto& line : cut) EXPECT_LE(line.width, 60);
    std::wstring emoji;
    for (int i = 0; i < 40; ++i) emoji += L"\U0001F600";
    for (int width : {1, 7, 25}) {
        auto pairs = m.Wrap(emoji, width);
        EXPECT_EQ(Joined(pairs), emoji);
        for (const auto& line : pairs) EXPECT_FALSE(line.text.back() >= 0xD800 && line.text.back() <= 0xDBFF) << width;
    }
    // No room at all still makes progress, one character a line; leading blanks stay, tabs are blanks.
    EXPECT_EQ(m.Wrap(L"abc def", 0).size(), 6u);
    EXPECT_EQ(m.Wrap(L"  a\tb", 1000).at(0).text, L"  a b");
}

TEST(TaskPaneLayout, ItemsStackDownTheBarsAndWrappingMovesThemDown) {
    Measured m(96);
    const TaskPaneMetrics& k = m.metrics;
    TaskPaneModel model;
    Fill(model);
    const int line = m.m.LineHeight(TaskPaneFontKind::Normal);
    TaskPaneLayout wide = m.Layout(model, 400);
    ASSERT_EQ(wide.bars.size(), model.BarCount());
    int lastBottom = 0;
    for (size_t b = 0; b < wide.bars.size(); ++b) {
        const TaskPaneBarBox& bar = wide.bars[b];
        EXPECT_GE(bar.header.top, lastBottom + k.margin);
        EXPECT_EQ(bar.header.bottom, bar.body.top);
        EXPECT_GE(Height(bar.header), k.headerHeight);
        EXPECT_EQ(bar.header.right - bar.header.left, 400 - 2 * k.margin);
        EXPECT_GT(Height(bar.body), 0) << "an empty bar still has a body";
        ASSERT_EQ(bar.items.size(), model.Bar(b)->ItemCount());
        for (int previous = bar.body.top; const TaskPaneItemBox& item : bar.items) {
            EXPECT_GE(item.bounds.top, previous);
            EXPECT_LE(item.bounds.bottom, bar.body.bottom);
            EXPECT_LE(item.bounds.right, bar.body.right);
            previous = item.bounds.bottom;
        }
        lastBottom = bar.body.bottom;
    }
    EXPECT_EQ(wide.height, lastBottom + k.margin);
    // One line each when wide; the empty heading takes no room and leaves no gap.
    const TaskPaneItemBox install = *wide.Find(model.FindItem(L"INSTALL"));
    EXPECT_EQ(Height(install.bounds), line);
    EXPECT_EQ(Height(wide.Find(model.FindItem(L"ITEMNAME"))->bounds), 0);
    EXPECT_EQ(wide.Find(model.FindItem(L"PUBLISHER"))->bounds.top, wide.bars[2].body.top + k.bodyPaddingY);

    // Narrow: the long item wraps and everything below it moves down by the extra lines.
    TaskPaneLayout narrow = m.Layout(model, 130);
    const TaskPaneItemBox* installNarrow = narrow.Find(model.FindItem(L"INSTALL"));
    const int grown = Height(installNarrow->bounds) - Height(install.bounds);
    EXPECT_GT(installNarrow->lines.size(), 1u);
    EXPECT_EQ(grown, static_cast<int>(installNarrow->lines.size() - 1) * line);
    EXPECT_GE(narrow.bars[1].header.top - wide.bars[1].header.top, grown);

    // A heading is bold and taller per line; extra spacing pushes the next item down by its amount.
    model.FindItem(L"ITEMNAME")->SetText(L"Ardmoor");
    model.FindItem(L"UNINSTALL")->SetExtraSpacing(5);
    TaskPaneLayout after = m.Layout(model, 400);
    EXPECT_EQ(Height(after.Find(model.FindItem(L"ITEMNAME"))->bounds), m.m.LineHeight(TaskPaneFontKind::Bold));
    EXPECT_EQ(after.Find(model.FindItem(L"INSTALL"))->bounds.top - install.bounds.top, k.Scale(5));
}

TEST(TaskPaneLayout, ScalesWithDpi) {
    TaskPaneModel model;
    Fill(model);
    model.FindItem(L"UNINSTALL")->SetExtraSpacing(5);
    Measured m96(96), m144(144);
    // The same pane, 1.5 times as wide, comes out 1.5 times as tall: same line breaks, bigger parts.
    TaskPaneLayout l96 = m96.Layout(model, 200), l144 = m144.Layout(model, 300);
    EXPECT_NEAR(static_cast<double>(l144.height) / l96.height, 1.5, 0.12);
    for (size_t b = 0; b < l96.bars.size(); ++b) {
        EXPECT_NEAR(l144.bars[b].header.top, l96.bars[b].header.top * 1.5, l96.bars[b].header.top * 0.12 + 2);
        for (size_t i = 0; i < l96.bars[b].items.size(); ++i)
            EXPECT_EQ(l144.bars[b].items[i].lines.size(), l96.bars[b].items[i].lines.size()) << b << "/" << i;
    }
    auto gap = [&](TaskPaneLayout& l) {
        return l.Find(model.FindItem(L"INSTALL"))->bounds.top - l.Find(model.FindItem(L"UNINSTALL"))->bounds.bottom;
    };
    EXPECT_EQ(gap(l96), m96.metrics.itemGap + 5);
    EXPECT_EQ(gap(l144), m144.metrics.itemGap + 8);  // 5 px at 96 DPI is 7.5 at 144
}

TEST(TaskPaneLayout, ThousandsOfItemsAndHostileTexts) {
    Measured m(96);
    TaskPaneModel model;
    TaskPaneBar* bar = model.AddBar(L"Many", L"Many items").value();
    for (int i = 0; i < 4000; ++i) {
        std::wstring text = L"Item " + std::to_wstring(i);
        if (i % 500 == 7) text = std::wstring(2000, L'M');  // one enormous word
        if (i % 500 == 8) text = L"\r\n\r\n";               // only line breaks
        if (i % 500 == 9) text = std::wstring(L"a\0b", 3);  // an embedded NUL
        ASSERT_TRUE(bar->AddItem(L"K" + std::to_wstring(i), text));
    }
    TaskPaneLayout layout = m.Layout(model, 180);
    ASSERT_EQ(layout.bars[0].items.size(), 4000u);
    for (int previous = 0; const TaskPaneItemBox& item : layout.bars[0].items) {
        ASSERT_GE(item.bounds.top, previous);  // never overlapping, in order
        ASSERT_LE(item.bounds.right, 180 - m.metrics.margin - m.metrics.bodyPaddingX);
        previous = item.bounds.bottom;
    }
    EXPECT_EQ(layout.bars[0].items[8].lines.size(), 3u);
    EXPECT_GT(layout.bars[0].items[7].lines.size(), 10u);
    const TaskPaneItemBox& last = layout.bars[0].items.back();
    EXPECT_EQ(layout.HitTest(POINT{last.bounds.left + 1, last.bounds.top + 1}).target, bar->Item(3999));
    // No width at all: every line holds one character and nothing is lost.
    EXPECT_EQ(m.Layout(model, 0).bars[0].items[1].lines.size(), std::wstring(L"Item1").size());
}

TEST(TaskPanePalette, TextStaysReadableInEveryScheme) {
    auto check = [](const TaskPanePalette& p, const char* scheme) {
        SCOPED_TRACE(scheme);
        for (COLORREF back : {p.body, p.specialBody}) {
            EXPECT_GE(ContrastRatio(p.text, back), 4.5);
            EXPECT_GE(ContrastRatio(p.link, back), 3.0);
        }
        EXPECT_GE(ContrastRatio(p.linkHot, p.body), 3.0);
        for (COLORREF back : {p.headerLeft, p.headerRight}) EXPECT_GE(ContrastRatio(p.headerText, back), 4.5);
        for (COLORREF back : {p.specialLeft, p.specialRight}) EXPECT_GE(ContrastRatio(p.specialText, back), 4.5);
    };
    const TaskPanePalette current = TaskPanePalette::FromSystem();
    check(current, "system");
    EXPECT_NE(current.specialLeft, current.headerLeft);  // the special bar stands out
    EXPECT_NE(current.link, current.text);               // links look different from text

    // Windows' high-contrast schemes, and a washed-out scheme whose link colour is the window's.
    using Scheme = std::vector<std::pair<int, COLORREF>>;
    auto make = [](bool highContrast, Scheme colors, COLORREF rest) {
        return TaskPanePalette::Make(highContrast, [&](int index) {
            for (const auto& [i, c] : colors)
                if (i == index) return c;
            return rest;
        });
    };
    const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
    const TaskPanePalette hc = make(true, {{COLOR_WINDOW, black}, {COLOR_WINDOWTEXT, white}, {COLOR_HOTLIGHT, RGB(255, 255, 0)},
                                           {COLOR_BTNTEXT, white}, {COLOR_HIGHLIGHT, RGB(26, 235, 255)}, {COLOR_HIGHLIGHTTEXT, black}},
                                    black);
    check(hc, "high contrast black");
    EXPECT_EQ(std::vector({hc.body, hc.link, hc.text}), std::vector({black, RGB(255, 255, 0), white}))
        << "the scheme's own colours, not blends";
    const Scheme poor = {{COLOR_WINDOW, RGB(230, 230, 230)}, {COLOR_WINDOWTEXT, RGB(200, 200, 200)},
                         {COLOR_HOTLIGHT, RGB(230, 230, 230)}, {COLOR_ACTIVECAPTION, RGB(220, 220, 220)},
                         {COLOR_GRADIENTACTIVECAPTION, RGB(225, 225, 225)}, {COLOR_CAPTIONTEXT, RGB(235, 235, 235)}};
    check(make(false, poor, RGB(228, 228, 228)), "washed out");
    check(make(true, poor, RGB(228, 228, 228)), "washed out, high contrast");
}
