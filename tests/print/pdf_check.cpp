#include "pdf_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <regex>

#include "platform/strings.h"
#include "test_support.h"

namespace ardmoor::test {

namespace {

// The Linux path of a file of the prefix (Wine's own export; these tests run only under Wine).
std::string UnixPath(const std::wstring& path) {
    using Convert = char*(CDECL*)(const wchar_t*);
    static const auto convert =
        reinterpret_cast<Convert>(::GetProcAddress(::GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name"));
    if (!convert) return {};
    char* unix = convert(path.c_str());
    if (!unix) return {};
    std::string out = unix;
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return out;
}

bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Runs a Linux tool; its standard output lands in `out`. The tool's exit code, or -1.
int RunNative(const std::vector<std::string>& args, const std::wstring& out, DWORD timeoutMs = 30000) {
    const std::wstring script = ExeFolder() + L"run-native.sh";
    std::wstring command = L"run-native.sh \"" + Utf8ToWide(UnixPath(out)) + L"\"";
    for (const std::string& arg : args) command += L" \"" + Utf8ToWide(arg) + L"\"";
    ::DeleteFileW((out + L".rc").c_str());
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(script.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ADD_FAILURE() << "cannot start " << WideToUtf8(script) << ": error " << ::GetLastError();
        return -1;
    }
    // A Linux program gets no handles that can be waited on.
    if (pi.hProcess) ::CloseHandle(pi.hProcess);
    if (pi.hThread) ::CloseHandle(pi.hThread);
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    while (!FileExists(out + L".rc")) {
        if (::GetTickCount64() > end) {
            ADD_FAILURE() << args[0] << " did not finish";
            return -1;
        }
        ::Sleep(50);
    }
    const int code = std::atoi(ReadFileBytes(out + L".rc").c_str());
    if (code != 0) ADD_FAILURE() << args[0] << " failed: " << ReadFileBytes(out + L".err");
    return code;
}

std::wstring DecodeEntities(std::string s) {
    static const std::pair<const char*, const char*> kEntities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&#39;", "'"}, {"&amp;", "&"}};
    for (const auto& [from, to] : kEntities)
        for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + 1)) s.replace(at, strlen(from), to);
    return Utf8ToWide(s);
}

}  // namespace

std::wstring PromisedPrinter() {
    wchar_t buf[256] = L"";
    const DWORD n = ::GetEnvironmentVariableW(L"ARDMOOR_TEST_PRINTER", buf, 256);
    return n > 0 && n < 256 ? std::wstring(buf, n) : std::wstring();
}

std::wstring PrinterOutputFolder(const std::wstring& queue) {
    // The build folder is the prefix's C:\ardmoor, the test exe in its tests folder.
    return ExeFolder() + L"..\\cups\\pdf\\" + queue;
}

std::vector<std::wstring> PdfFiles(const std::wstring& folder) {
    std::vector<std::wstring> files;
    std::error_code none;  // no folder yet: no files
    for (const auto& e : std::filesystem::directory_iterator(folder, none))
        if (e.path().extension() == L".pdf") files.push_back(folder + L"\\" + e.path().filename().wstring());
    std::sort(files.begin(), files.end());
    return files;
}

std::wstring WaitForNewPdf(const std::wstring& folder, const std::vector<std::wstring>& before, DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    size_t lastSize = 0;
    while (::GetTickCount64() < end) {
        for (const std::wstring& file : PdfFiles(folder)) {
            if (std::find(before.begin(), before.end(), file) != before.end()) continue;
            // The printer writes the file in place: it is whole once it ends with its trailer
            // and stops growing.
            const std::string bytes = ReadFileBytes(file);
            const size_t eof = bytes.rfind("%%EOF");
            if (eof != std::string::npos && eof + 8 >= bytes.size() && bytes.size() == lastSize) return file;
            lastSize = bytes.size();
        }
        ::Sleep(200);
    }
    return {};
}

std::vector<PdfPage> ReadPdfText(const std::wstring& pdf) {
    TempDir work;
    const std::wstring html = work / L"text.html";
    std::vector<PdfPage> pages;
    if (RunNative({"pdftotext", "-bbox", UnixPath(pdf), "-"}, html) != 0) return pages;
    const std::string text = ReadFileBytes(html);
    static const std::regex page(R"x(<page width="([\d.]+)" height="([\d.]+)">)x");
    static const std::regex word(R"x(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">(.*)</word>)x");
    size_t pos = 0;
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string::npos) eol = text.size();
        const std::string line = text.substr(pos, eol - pos);
        pos = eol + 1;
        std::smatch m;
        if (std::regex_search(line, m, page)) {
            pages.push_back({std::stod(m[1]), std::stod(m[2]), {}});
        } else if (!pages.empty() && std::regex_search(line, m, word)) {
            const double x = std::stod(m[1]), y = std::stod(m[2]), right = std::stod(m[3]);
            const std::wstring w = DecodeEntities(m[4]);
            auto& lines = pages.back().lines;
            auto same = std::find_if(lines.begin(), lines.end(), [&](const PdfLine& l) { return std::abs(l.y - y) < 0.5; });
            if (same == lines.end()) {
                lines.push_back({x, y, right, w});
            } else {
                same->text += L" " + w;
                same->x = std::min(same->x, x);
                same->right = std::max(same->right, right);
            }
        }
    }
    for (PdfPage& p : pages)
        std::stable_sort(p.lines.begin(), p.lines.end(), [](const PdfLine& a, const PdfLine& b) { return a.y < b.y; });
    return pages;
}

int PagePixels::InkIn(int left, int top, int right, int bottom) const {
    int ink = 0;
    for (int y = std::max(0, top); y < std::min(height, bottom); ++y)
        for (int x = std::max(0, left); x < std::min(width, right); ++x) {
            const auto* p = reinterpret_cast<const unsigned char*>(rgb.data()) + (static_cast<size_t>(y) * width + x) * 3;
            if (p[0] < 200 || p[1] < 200 || p[2] < 200) ++ink;
        }
    return ink;
}

PagePixels RenderPdfPage(const std::wstring& pdf, int page, int dpi) {
    TempDir work;
    const std::wstring base = work / L"page";
    PagePixels pixels;
    const std::string n = std::to_string(page);
    if (RunNative({"pdftoppm", "-r", std::to_string(dpi), "-f", n, "-l", n, "-singlefile", UnixPath(pdf),
                   UnixPath(base)},
                  work / L"pdftoppm.out") != 0)
        return pixels;
    const std::string ppm = ReadFileBytes(base + L".ppm");
    // "P6 <width> <height> 255" and one white-space character before the pixels.
    int maxValue = 0, consumed = 0;
    if (std::sscanf(ppm.c_str(), "P6 %d %d %d%n", &pixels.width, &pixels.height, &maxValue, &consumed) != 3 ||
        maxValue != 255) {
        ADD_FAILURE() << "not a PPM page";
        return {};
    }
    pixels.rgb = ppm.substr(static_cast<size_t>(consumed) + 1);
    if (pixels.rgb.size() < static_cast<size_t>(pixels.width) * pixels.height * 3) {
        ADD_FAILURE() << "short PPM page";
        return {};
    }
    return pixels;
}

}  // namespace ardmoor::test
