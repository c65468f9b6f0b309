// Line breaking, layout and colours of the task pane, measured with the system's real fonts but
// without a window.
#include <gtest/gtest.h>

#include "controls/task_pane/task_pane_fonts.h"
#include "controls/task_pane/task_pane_layout.h"
#include "controls/task_pane/task_pane_palette.h"

using namespace ardmoor;

namespace {
std::wstring Joined(const std::vector<WrappedLine>& lines) {
    std::wstring all;
    for (const auto& l : lines) all += l.text;
    return all;
}

std::wstring WithoutBlanksAndBreaks(std::wstring_view s) {
    std::wstring out;
    for (wchar_t c : s)
        if (c != L' ' && c != L'\t' && c != L'\r' && c != L'\n') out += c;
    return out;
}

int Height(const RECT& r) { return r.bottom - r.top; }

// The pane's bars as the main window fills them.
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
}  // namespace

TEST(TaskPaneText, WrapsAtBlanksHonoursLineBreaksAndCutsLongWords) {
    TaskPaneFonts fonts = TaskPaneFonts::ForDpi(96);
    GdiTextMeasurer m(fonts);
    std::vector<int> w;
    m.PrefixWidths(L"Remove", TaskPaneFontKind::Normal, w);
    ASSERT_EQ(w.size(), 7u);
    const int wordWidth = w.back();
    ASSERT_GT(wordWidth, 10);

    const std::wstring text = L"Remove Some Program 2.0 from your uninstall listing...";
    for (int width : {400, 150, 80, wordWidth}) {
        auto lines = WrapTaskPaneText(text, width, m, TaskPaneFontKind::Normal);
        ASSERT_FALSE(lines.empty());
        for (const auto& line : lines) {
            EXPECT_LE(line.width, width) << width;
            EXPECT_FALSE(line.text.empty());
            EXPECT_NE(line.text.front(), L' ');
            EXPECT_NE(line.text.back(), L' ');
        }
        // Only the blanks at the breaks are dropped, and words are kept whole when they fit.
        EXPECT_EQ(WithoutBlanksAndBreaks(Joined(lines)), WithoutBlanksAndBreaks(text));
        for (const auto& line : lines) EXPECT_EQ(text.find(line.text) != std::wstring::npos, true) << line.text;
    }
    EXPECT_EQ(WrapTaskPaneText(text, 400, m, TaskPaneFontKind::Normal).size(), 1u);
    EXPECT_GT(WrapTaskPaneText(text, 80, m, TaskPaneFontKind::Normal).size(), 3u);

    // CR LF, a lone LF and a lone CR all end a line; an empty line stays; an empty text has none.
    auto breaks = WrapTaskPaneText(L"Ardmoor\r\ncan be\n\nuninstalled\rhere", 1000, m, TaskPaneFontKind::Normal);
    ASSERT_EQ(breaks.size(), 5u);
    EXPECT_EQ(breaks[0].text, L"Ardmoor");
    EXPECT_EQ(breaks[1].text, L"can be");
    EXPECT_EQ(breaks[2].text, L"");
    EXPECT_EQ(breaks[3].text, L"uninstalled");
    EXPECT_EQ(breaks[4].text, L"here");
    EXPECT_TRUE(WrapTaskPaneText(L"", 100, m, TaskPaneFontKind::Normal).empty());

    // A word wider than the line is cut, never dropped, and a surrogate pair is never split.
    const std::wstring word(300, L'W');
    auto cut = WrapTaskPaneText(word, 60, m, TaskPaneFontKind::Bold);
    ASSERT_GT(cut.size(), 5u);
    EXPECT_EQ(Joined(cut), word);
    for (const auto& line : cut) EXPECT_LE(line.width, 60);
    std::wstring emoji;
    for (int i = 0; i < 40; ++i) emoji += L"\U0001F600";
    for (int width : {1, 7, 25}) {
        auto pairs = WrapTaskPaneText(emoji, width, m, TaskPaneFontKind::Normal);
        EXPECT_EQ(Joined(pairs), emoji);
        for (const auto& line : pairs) {
            ASSERT_FALSE(line.text.empty());
            EXPECT_FALSE(line.text.back() >= 0xD800 && line.text.back() <= 0xDBFF) << width;
        }
    }
    // No room at all still makes progress, one character a line.
    auto narrow = WrapTaskPaneText(L"abc def", 0, m, TaskPaneFontKind::Normal);
    EXPECT_EQ(Joined(narrow), L"abcdef");
    EXPECT_EQ(narrow.size(), 6u);
    // Leading blanks of a paragraph are kept, tabs count as blanks.
    auto lead = WrapTaskPaneText(L"  a\tb", 1000, m, TaskPaneFontKind::Normal);
    ASSERT_EQ(lead.size(), 1u);
    EXPECT_EQ(lead[0].text, L"  a b");
}

TEST(TaskPaneLayout, ItemsStackDownTheBarsAndWrappingGrowsThem) {
    TaskPaneFonts fonts = TaskPaneFonts::ForDpi(96);
    GdiTextMeasurer m(fonts);
    const TaskPaneMetrics metrics = TaskPaneMetrics::ForDpi(96, m.LineHeight(TaskPaneFontKind::Bold));
    TaskPaneModel model;
    Fill(model);
    const int line = m.LineHeight(TaskPaneFontKind::Normal);

    TaskPaneLayout wide = ComputeTaskPaneLayout(model, metrics, 400, m);
    ASSERT_EQ(wide.bars.size(), model.BarCount());
    int lastBottom = 0;
    for (size_t b = 0; b < wide.bars.size(); ++b) {
        const TaskPaneBarBox& bar = wide.bars[b];
        EXPECT_EQ(bar.bar, model.Bar(b));
        EXPECT_GE(bar.header.top, lastBottom + metrics.margin);
        EXPECT_EQ(bar.header.bottom, bar.body.top);
        EXPECT_GE(Height(bar.header), metrics.headerHeight);
        EXPECT_EQ(bar.header.left, metrics.margin);
        EXPECT_EQ(bar.header.right, 400 - metrics.margin);
        ASSERT_EQ(bar.items.size(), model.Bar(b)->ItemCount());
        int previous = bar.body.top;
        for (const TaskPaneItemBox& item : bar.items) {
            EXPECT_GE(item.bounds.top, previous);
            EXPECT_LE(item.bounds.bottom, bar.body.bottom);
            EXPECT_LE(item.bounds.right, bar.body.right);
            previous = item.bounds.bottom;
        }
        lastBottom = bar.body.bottom;
    }
    EXPECT_EQ(wide.height, lastBottom + metrics.margin);
    // The bar without items still shows its header and an empty body.
    EXPECT_GT(Height(wide.bars[3].body), 0);

    // One line each when wide; the empty heading takes no room and leaves no gap.
    const TaskPaneItemBox* install = wide.Find(model.FindItem(L"INSTALL"));
    ASSERT_NE(install, nullptr);
    EXPECT_EQ(install->lines.size(), 1u);
    EXPECT_EQ(Height(install->bounds), line);
    const TaskPaneItemBox* name = wide.Find(model.FindItem(L"ITEMNAME"));
    EXPECT_EQ(Height(name->bounds), 0);
    EXPECT_EQ(wide.Find(model.FindItem(L"PUBLISHER"))->bounds.top, wide.bars[2].body.top + metrics.bodyPaddingY);

    // Narrow: the long item wraps and everything below it moves down by the extra lines.
    TaskPaneLayout narrow = ComputeTaskPaneLayout(model, metrics, 130, m);
    const TaskPaneItemBox* installNarrow = narrow.Find(model.FindItem(L"INSTALL"));
    EXPECT_GT(installNarrow->lines.size(), 1u);
    const int grown = Height(installNarrow->bounds) - Height(install->bounds);
    EXPECT_EQ(grown, static_cast<int>(installNarrow->lines.size() - 1) * line);
    EXPECT_GE(narrow.bars[1].header.top - wide.bars[1].header.top, grown);
    EXPECT_GT(narrow.height, wide.height);

    // A heading is bold and taller per line; extra spacing pushes the next item down by its amount.
    model.FindItem(L"ITEMNAME")->SetText(L"Ardmoor");
    model.FindItem(L"UNINSTALL")->SetExtraSpacing(5);
    TaskPaneLayout after = ComputeTaskPaneLayout(model, metrics, 400, m);
    EXPECT_EQ(Height(after.Find(model.FindItem(L"ITEMNAME"))->bounds), m.LineHeight(TaskPaneFontKind::Bold));
    EXPECT_EQ(after.Find(model.FindItem(L"INSTALL"))->bounds.top - install->bounds.top, metrics.Scale(5));

    // Hits: the text of an item, a header, the body beside a short text, and outside the bars.
    const TaskPaneItemBox* refresh = after.Find(model.FindItem(L"REFRESH"));
    POINT inText{refresh->bounds.left + 2, refresh->bounds.top + 2};
    TaskPaneHit hit = after.HitTest(inText);
    EXPECT_EQ(hit.kind, TaskPaneHit::Kind::Item);
    EXPECT_EQ(hit.target, model.FindItem(L"REFRESH"));
    EXPECT_EQ(hit.bar, 1u);
    EXPECT_EQ(hit.item, 1u);
    EXPECT_EQ(after.HitTest(POINT{refresh->bounds.right + 3, refresh->bounds.top + 2}).kind, TaskPaneHit::Kind::Body);
    EXPECT_EQ(after.HitTest(POINT{after.bars[0].header.left + 30, after.bars[0].header.top + 5}).kind,
              TaskPaneHit::Kind::Header);
    EXPECT_EQ(after.HitTest(POINT{2, 2}).kind, TaskPaneHit::Kind::None);
    EXPECT_EQ(after.HitTest(POINT{50, after.height + 50}).kind, TaskPaneHit::Kind::None);

    // Only links with text take the focus, in display order.
    std::vector<std::wstring> keys;
    for (TaskPaneItem* item : after.FocusableItems()) keys.push_back(item->Key());
    EXPECT_EQ(keys, (std::vector<std::wstring>{L"UNINSTALL", L"INSTALL", L"REMOVE", L"REFRESH", L"SUPPORT"}));
}

TEST(TaskPaneLayout, ScalesWithDpi) {
    TaskPaneModel model;
    Fill(model);
    model.FindItem(L"UNINSTALL")->SetExtraSpacing(5);
    TaskPaneFonts f96 = TaskPaneFonts::ForDpi(96), f144 = TaskPaneFonts::ForDpi(144);
    GdiTextMeasurer m96(f96), m144(f144);
    const TaskPaneMetrics k96 = TaskPaneMetrics::ForDpi(96, m96.LineHeight(TaskPaneFontKind::Bold));
    const TaskPaneMetrics k144 = TaskPaneMetrics::ForDpi(144, m144.LineHeight(TaskPaneFontKind::Bold));
    EXPECT_EQ(k144.margin, k96.margin * 3 / 2);
    EXPECT_EQ(k144.bodyPaddingX, k96.bodyPaddingX * 3 / 2);
    EXPECT_NEAR(k144.headerHeight, k96.headerHeight * 1.5, 2.0);

    // The same pane, 1.5 times as wide, comes out 1.5 times as tall: same line breaks, bigger parts.
    const double lineRatio = static_cast<double>(m144.LineHeight(TaskPaneFontKind::Normal)) /
                             m96.LineHeight(TaskPaneFontKind::Normal);
    EXPECT_NEAR(lineRatio, 1.5, 0.2);
    TaskPaneLayout l96 = ComputeTaskPaneLayout(model, k96, 200, m96);
    TaskPaneLayout l144 = ComputeTaskPaneLayout(model, k144, 300, m144);
    EXPECT_NEAR(static_cast<double>(l144.height) / l96.height, 1.5, 0.12);
    for (size_t b = 0; b < l96.bars.size(); ++b) {
        EXPECT_NEAR(l144.bars[b].header.top, l96.bars[b].header.top * 1.5, l96.bars[b].header.top * 0.12 + 2);
        for (size_t i = 0; i < l96.bars[b].items.size(); ++i)
            EXPECT_EQ(l144.bars[b].items[i].lines.size(), l96.bars[b].items[i].lines.size())
                << model.Bar(b)->Item(i)->Key();
    }
    const TaskPaneItemBox* u96 = l96.Find(model.FindItem(L"UNINSTALL"));
    const TaskPaneItemBox* i96 = l96.Find(model.FindItem(L"INSTALL"));
    const TaskPaneItemBox* u144 = l144.Find(model.FindItem(L"UNINSTALL"));
    const TaskPaneItemBox* i144 = l144.Find(model.FindItem(L"INSTALL"));
    EXPECT_EQ(i96->bounds.top - u96->bounds.bottom, k96.itemGap + 5);
    EXPECT_EQ(i144->bounds.top - u144->bounds.bottom, k144.itemGap + 8);  // 5 px at 96 DPI is 7.5 at 144
}

TEST(TaskPaneLayout, ThousandsOfItemsAndHostileTexts) {
    TaskPaneFonts fonts = TaskPaneFonts::ForDpi(96);
    GdiTextMeasurer m(fonts);
    const TaskPaneMetrics metrics = TaskPaneMetrics::ForDpi(96, m.LineHeight(TaskPaneFontKind::Bold));
    TaskPaneModel model;
    TaskPaneBar* bar = model.AddBar(L"Many", L"Many items").value();
    for (int i = 0; i < 4000; ++i) {
        std::wstring text = L"Item " + std::to_wstring(i);
        if (i % 500 == 7) text = std::wstring(2000, L'M');          // one enormous word
        if (i % 500 == 8) text = L"\r\n\r\n";                        // only line breaks
        if (i % 500 == 9) text = std::wstring(L"a\0b", 3);          // an embedded NUL
        ASSERT_TRUE(bar->AddItem(L"K" + std::to_wstring(i), text));
    }
    TaskPaneLayout layout = ComputeTaskPaneLayout(model, metrics, 180, m);
    ASSERT_EQ(layout.bars[0].items.size(), 4000u);
    int previous = 0;
    for (const TaskPaneItemBox& item : layout.bars[0].items) {
        ASSERT_GE(item.bounds.top, previous);  // never overlapping, in order
        ASSERT_LE(item.bounds.right, 180 - metrics.margin - metrics.bodyPaddingX);
        previous = item.bounds.bottom;
    }
    EXPECT_EQ(layout.bars[0].items[8].lines.size(), 3u);
    EXPECT_GT(layout.bars[0].items[7].lines.size(), 10u);
    // The last item is found by a hit at its own text.
    const TaskPaneItemBox& last = layout.bars[0].items.back();
    EXPECT_EQ(layout.HitTest(POINT{last.bounds.left + 1, last.bounds.top + 1}).target, bar->Item(3999));

    // No width at all: every line holds one character and nothing is lost.
    TaskPaneLayout none = ComputeTaskPaneLayout(model, metrics, 0, m);
    EXPECT_EQ(none.bars[0].items[1].lines.size(), std::wstring(L"Item1").size());
}

TEST(TaskPanePalette, TextStaysReadableInEveryScheme) {
    auto check = [](const TaskPanePalette& p, const char* scheme) {
        SCOPED_TRACE(scheme);
        EXPECT_GE(ContrastRatio(p.text, p.body), 4.5);
        EXPECT_GE(ContrastRatio(p.text, p.specialBody), 4.5);
        EXPECT_GE(ContrastRatio(p.link, p.body), 3.0);
        EXPECT_GE(ContrastRatio(p.link, p.specialBody), 3.0);
        EXPECT_GE(ContrastRatio(p.linkHot, p.body), 3.0);
        EXPECT_GE(ContrastRatio(p.headerText, p.headerLeft), 4.5);
        EXPECT_GE(ContrastRatio(p.headerText, p.headerRight), 4.5);
        EXPECT_GE(ContrastRatio(p.specialText, p.specialLeft), 4.5);
        EXPECT_GE(ContrastRatio(p.specialText, p.specialRight), 4.5);
    };
    // The scheme this system runs with.
    const TaskPanePalette current = TaskPanePalette::FromSystem();
    check(current, "system");
    EXPECT_NE(current.specialLeft, current.headerLeft);  // the special bar stands out
    EXPECT_NE(current.link, current.text);               // links look different from text

    // Windows' high-contrast schemes, and a scheme whose link colour matches the window colour.
    auto scheme = [](std::vector<std::pair<int, COLORREF>> colors, COLORREF rest) {
        return [colors, rest](int index) {
            for (const auto& [i, c] : colors)
                if (i == index) return c;
            return rest;
        };
    };
    const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
    auto hcBlack = scheme({{COLOR_WINDOW, black}, {COLOR_WINDOWTEXT, white}, {COLOR_HOTLIGHT, RGB(255, 255, 0)},
                           {COLOR_BTNFACE, black}, {COLOR_BTNTEXT, white}, {COLOR_HIGHLIGHT, RGB(26, 235, 255)},
                           {COLOR_HIGHLIGHTTEXT, black}},
                          black);
    TaskPanePalette hc = TaskPanePalette::Make(true, hcBlack);
    check(hc, "high contrast black");
    EXPECT_EQ(hc.body, black);       // the scheme's own colours, not blends
    EXPECT_EQ(hc.link, RGB(255, 255, 0));
    EXPECT_EQ(hc.text, white);
    auto hcWhite = scheme({{COLOR_WINDOW, white}, {COLOR_WINDOWTEXT, black}, {COLOR_HOTLIGHT, RGB(0, 0, 159)},
                           {COLOR_BTNFACE, white}, {COLOR_BTNTEXT, black}, {COLOR_HIGHLIGHT, RGB(55, 0, 110)},
                           {COLOR_HIGHLIGHTTEXT, white}},
                          white);
    check(TaskPanePalette::Make(true, hcWhite), "high contrast white");
    auto poor = scheme({{COLOR_WINDOW, RGB(230, 230, 230)}, {COLOR_WINDOWTEXT, RGB(200, 200, 200)},
                        {COLOR_HOTLIGHT, RGB(230, 230, 230)}, {COLOR_ACTIVECAPTION, RGB(220, 220, 220)},
                        {COLOR_GRADIENTACTIVECAPTION, RGB(225, 225, 225)}, {COLOR_CAPTIONTEXT, RGB(235, 235, 235)}},
                       RGB(228, 228, 228));
    check(TaskPanePalette::Make(false, poor), "washed out");
    check(TaskPanePalette::Make(true, poor), "washed out, high contrast");
}
