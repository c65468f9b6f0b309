#pragma once
// Printing to the harness's cups-pdf printers and reading the PDFs back as a user would see them:
// each text line with its place on the page (pdftotext -bbox) and the page as pixels (pdftoppm).
// The poppler tools are Linux programs, started through run-native.sh next to the test exe.
#include <windows.h>

#include <string>
#include <vector>

namespace ardmoor::test {

// The harness promises printers by setting ARDMOOR_TEST_PRINTER (the default printer's name).
// Empty when it made no promise.
std::wstring PromisedPrinter();

// Where the harness's queue `queue` (PDF, PDF2) puts its PDFs, as a path of the test prefix.
std::wstring PrinterOutputFolder(const std::wstring& queue);
// The .pdf files in a folder now.
std::vector<std::wstring> PdfFiles(const std::wstring& folder);
// Waits for a PDF that is not in `before` to be written completely; empty on time-out.
std::wstring WaitForNewPdf(const std::wstring& folder, const std::vector<std::wstring>& before,
                           DWORD timeoutMs = 60000);

// Text of a page in points from its top-left corner: words on one baseline make one line.
struct PdfLine {
    double x = 0, y = 0;  // left and top of the line's first word
    double right = 0;     // right edge of its last word
    std::wstring text;    // its words, one blank between each two
};
struct PdfPage {
    double width = 0, height = 0;
    std::vector<PdfLine> lines;  // top to bottom
};
std::vector<PdfPage> ReadPdfText(const std::wstring& pdf);

// One page rendered at `dpi` (1-based page number).
struct PagePixels {
    int width = 0, height = 0;
    std::string rgb;  // 3 bytes a pixel, rows top to bottom
    // Pixels in the rectangle (pixels, right and bottom excluded) that are not near white.
    [[nodiscard]] int InkIn(int left, int top, int right, int bottom) const;
};
PagePixels RenderPdfPage(const std::wstring& pdf, int page, int dpi);

}  // namespace ardmoor::test
