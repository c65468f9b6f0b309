#pragma once
// The formats the listing is exported in, all UTF-8:
//   Tsv   one line per entry: name, version, publisher, key, separated by tabs (tabs and line breaks
//         inside a value become blanks), CR LF line ends, no header. The command line's default.
//   Csv   RFC 4180: a header row of the field names, then one record per entry; a field holding a
//         comma, a double quote or a line break is quoted, its quotes doubled; CR LF line ends.
//         Starts with a byte-order mark, so that spreadsheet programs on Windows read it as UTF-8.
//   Json  an array of objects, one per entry and one a line, keys in field order; the size is a
//         number or null, system_component a boolean, the rest strings. No byte-order mark.
//   Html  one standalone page (no scripts, no outside files) with a table of the main fields,
//         laid out for printing as well as the screen.
// Characters a format cannot hold become U+FFFD: lone surrogates everywhere; NUL in CSV and TSV;
// C0 controls other than tab and line breaks in HTML. JSON escapes every control character.
#include <atomic>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue/export_model.h"
#include "platform/output_file.h"
#include "platform/result.h"

namespace ardmoor {

enum class ExportFormat { Tsv, Csv, Json, Html };

// The format a file name's extension names: .csv, .json, .html or .htm, in any case.
std::optional<ExportFormat> FormatForFile(std::wstring_view path);

// What the HTML page says above its table, besides the count.
struct ExportHeading {
    std::wstring computer;
    std::wstring when;
};

// Writes the records in `format`, flushing to `out` as it goes. Returns the sink's first failure.
[[nodiscard]] Status WriteListing(const std::vector<ExportRecord>& records, ExportFormat format, ByteSink& out,
                                  const ExportHeading& heading = {});

// Reads the listing of `roots` and writes it to `path` in `format`, through a temporary file beside
// it: the file appears whole or not at all, and a read-only file stays as it was. The file is
// checked before the registry is read, so a target that cannot be written fails at once.
struct ExportFileResult {
    enum class Failure { None, Read, Write };
    Failure failure = Failure::None;
    long error = 0;           // kRegKeyNotFound or kExportStopped for Read; a Win32 code for Write
    std::wstring file;        // the target as a full path (as given when it could not be resolved)
    size_t records = 0;
    [[nodiscard]] bool ok() const noexcept { return failure == Failure::None; }
};
ExportFileResult ExportToFile(const std::vector<std::wstring>& roots, const std::wstring& path, ExportFormat format,
                              const ExportHeading& heading = {}, const std::atomic<bool>* stop = nullptr);

namespace export_detail {
// Buffers UTF-8 output and hands it to the sink in large pieces, always between whole characters.
class Utf8Out {
public:
    explicit Utf8Out(ByteSink& sink) : sink_(sink) { buffer_.reserve(kChunk + 4096); }
    void Put(std::string_view ascii) { buffer_.append(ascii); }
    void Put(char c) { buffer_.push_back(c); }
    void Put(char32_t codePoint);
    // Call between records: passes the buffer on once it is large. False once the sink failed.
    bool Spill() { return buffer_.size() < kChunk || Flush(); }
    bool Flush();
    [[nodiscard]] const Status& Outcome() const noexcept { return status_; }

private:
    static constexpr size_t kChunk = 64 * 1024;
    ByteSink& sink_;
    std::string buffer_;
    Status status_;
};
void WriteHtml(const std::vector<ExportRecord>& records, const ExportHeading& heading, Utf8Out& out);
}  // namespace export_detail

}  // namespace ardmoor
