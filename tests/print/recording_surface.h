#pragma once
// A print surface that records every call, with simple fixed metrics, and can refuse the
// document or a page on demand (a real printer will not fail when asked to).
#include <string>
#include <vector>

#include "print/print_surface.h"

namespace ardmoor::test {

struct PrintCall {
    enum Kind { kStart, kText, kPicture, kNewPage, kEnd, kAbort } kind;
    int x = 0, y = 0, width = 0, height = 0;  // text: position; picture: its rectangle
    int size = 0;
    bool bold = false;
    bool hasIcon = false;
    std::wstring text;
};

class RecordingSurface : public PrintSurface {
public:
    // An A4 page; each character is half its point size wide, a line 1.2 times it high (twips).
    int pageWidth = 11906;
    int pageHeight = 16838;
    bool refuseStart = false;
    int refusePage = 0;  // the n-th NewPage fails (1-based); 0 never

    std::vector<PrintCall> calls;

    static int CharWidth(int size) { return size * 10; }
    static int LineOf(int size) { return size * 24; }

    Status StartDocument(std::wstring_view title) override {
        calls.push_back({PrintCall::kStart});
        calls.back().text = title;
        if (refuseStart) return Error{ERROR_PRINT_CANCELLED};
        return {};
    }
    Status NewPage() override {
        calls.push_back({PrintCall::kNewPage});
        if (++pages_ == refusePage) return Error{ERROR_NOT_ENOUGH_MEMORY};
        return {};
    }
    Status EndDocument() override {
        calls.push_back({PrintCall::kEnd});
        return {};
    }
    void AbortDocument() noexcept override { calls.push_back({PrintCall::kAbort}); }
    int PageWidth() const override { return pageWidth; }
    int PageHeight() const override { return pageHeight; }
    int TextWidth(std::wstring_view text) override { return static_cast<int>(text.size()) * CharWidth(FontSize()); }
    void DrawPicture(HICON icon, int left, int top, int width, int height) override {
        PrintCall call{PrintCall::kPicture, left, top, width, height};
        call.hasIcon = icon != nullptr;
        calls.push_back(call);
    }

    std::vector<PrintCall> Of(PrintCall::Kind kind) const {
        std::vector<PrintCall> out;
        for (const PrintCall& c : calls)
            if (c.kind == kind) out.push_back(c);
        return out;
    }

protected:
    int LineHeight() override { return LineOf(FontSize()); }
    Status DrawTextAt(int x, int y, std::wstring_view text) override {
        PrintCall call{PrintCall::kText, x, y};
        call.size = FontSize();
        call.bold = Bold();
        call.text = text;
        calls.push_back(call);
        return {};
    }
    void FontChanged() override {}

private:
    int pages_ = 0;
};

}  // namespace ardmoor::test
