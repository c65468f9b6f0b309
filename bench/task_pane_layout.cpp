// Lays out a task pane with thousands of items and compares the time with the baseline of
// measuring the same texts with DrawText(DT_CALCRECT | DT_WORDBREAK), which is what laying out
// with the system's own line breaking would cost at least.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "controls/task_pane/task_pane_fonts.h"
#include "controls/task_pane/task_pane_layout.h"
#include "platform/unique_handle.h"

using namespace ardmoor;

namespace {
double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}
}  // namespace

int wmain() {
    constexpr int kItems = 5000;
    constexpr int kRounds = 5;
    constexpr int kWidth = 210;
    TaskPaneModel model;
    TaskPaneBar* bar = model.AddBar(L"Many", L"Installed programs").value();
    for (int i = 0; i < kItems; ++i) {
        std::wstring text = L"Remove Program number " + std::to_wstring(i) + L" from your uninstall listing...";
        if (i % 10 == 0) text += L"\r\ncan be uninstalled by double-clicking the item or clicking here...";
        (void)bar->AddItem(L"K" + std::to_wstring(i), text);
    }
    TaskPaneFonts fonts = TaskPaneFonts::ForDpi(96);
    GdiTextMeasurer measurer(fonts);
    const TaskPaneMetrics metrics = TaskPaneMetrics::ForDpi(96, measurer.LineHeight(TaskPaneFontKind::Bold));
    const int textWidth = kWidth - 2 * metrics.margin - 2 * metrics.bodyPaddingX;

    int height = 0;
    auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < kRounds; ++round) height = ComputeTaskPaneLayout(model, metrics, kWidth, measurer).height;
    const double ours = MillisecondsSince(start) / kRounds;

    UniqueDc dc(::CreateCompatibleDC(nullptr));
    SelectGuard font(dc.get(), fonts.Normal());
    long long baselineHeight = 0;
    start = std::chrono::steady_clock::now();
    for (int round = 0; round < kRounds; ++round) {
        baselineHeight = 0;
        for (size_t i = 0; i < bar->ItemCount(); ++i) {
            const std::wstring& text = bar->Item(i)->Text();
            RECT r{0, 0, textWidth, 0};
            ::DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &r,
                        DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
            baselineHeight += r.bottom;
        }
    }
    const double baseline = MillisecondsSince(start) / kRounds;

    std::printf("task pane layout of %d items at %d px: %.2f ms (content %d px)\n", kItems, kWidth, ours, height);
    std::printf("baseline DrawText(DT_CALCRECT|DT_WORDBREAK) of the same texts: %.2f ms (text %lld px)\n", baseline,
                baselineHeight);
    std::printf("ratio layout / baseline: %.2f\n", baseline > 0 ? ours / baseline : 0.0);
    return 0;
}
