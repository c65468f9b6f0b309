#pragma once
// A printer as a print surface: a printer device context, with twips measured from the physical
// page's top-left corner and the page's physical size as its width and height.
#include <windows.h>

#include <memory>
#include <string>

#include "platform/result.h"
#include "platform/unique_handle.h"
#include "print/print_surface.h"

namespace ardmoor {

class GdiPrintSurface : public PrintSurface {
public:
    // The printer by its device name; the Win32 error when it cannot be opened.
    [[nodiscard]] static Result<std::unique_ptr<GdiPrintSurface>> Open(const std::wstring& deviceName);
    ~GdiPrintSurface() override;

    [[nodiscard]] Status StartDocument(std::wstring_view title) override;
    [[nodiscard]] Status NewPage() override;
    [[nodiscard]] Status EndDocument() override;
    void AbortDocument() noexcept override;

    [[nodiscard]] int PageWidth() const override { return pageWidth_; }
    [[nodiscard]] int PageHeight() const override { return pageHeight_; }
    [[nodiscard]] int TextWidth(std::wstring_view text) override;
    void DrawPicture(HICON icon, int left, int top, int width, int height) override;

    // The face the layouts print in (they set only size and weight).
    static constexpr const wchar_t* kFace = L"Arial";

protected:
    [[nodiscard]] int LineHeight() override;
    [[nodiscard]] Status DrawTextAt(int x, int y, std::wstring_view text) override;
    void FontChanged() override;

private:
    explicit GdiPrintSurface(UniqueDc dc);
    [[nodiscard]] int ToDeviceX(int twips) const;
    [[nodiscard]] int ToDeviceY(int twips) const;
    [[nodiscard]] Status StartPage();
    void SelectFont();

    UniqueDc dc_;
    int dpiX_ = 1440;
    int dpiY_ = 1440;
    int offsetX_ = 0;  // the printable area's corner on the physical page, in device pixels
    int offsetY_ = 0;
    int pageWidth_ = 0;
    int pageHeight_ = 0;
    UniqueFont font_;
    HGDIOBJ originalFont_ = nullptr;
    bool inDocument_ = false;
    bool inPage_ = false;
};

}  // namespace ardmoor
