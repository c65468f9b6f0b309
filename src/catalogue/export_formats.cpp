#include "catalogue/export_formats.h"

#include "platform/strings.h"

namespace ardmoor {

namespace export_detail {

void Utf8Out::Put(char32_t codePoint) {
    if (codePoint < 0x80) buffer_.push_back(static_cast<char>(codePoint));
    else AppendUtf8(buffer_, codePoint);
}

bool Utf8Out::Flush() {
    if (status_ && !buffer_.empty()) status_ = sink_.Write(buffer_);
    buffer_.clear();
    return status_.ok();
}

}  // namespace export_detail

namespace {

using export_detail::Utf8Out;

void PutTsvValue(Utf8Out& out, std::wstring_view text) {
    for (size_t i = 0; i < text.size();) {
        const char32_t c = NextCodePoint(text, i);
        if (c == U'\t' || c == U'\r' || c == U'\n') out.Put(' ');
        else out.Put(c == 0 ? kReplacementChar : c);
    }
}

void WriteTsv(const std::vector<ExportRecord>& records, Utf8Out& out) {
    for (const ExportRecord& r : records) {
        PutTsvValue(out, r.name);
        out.Put('\t');
        PutTsvValue(out, r.version);
        out.Put('\t');
        PutTsvValue(out, r.publisher);
        out.Put('\t');
        PutTsvValue(out, r.key);
        out.Put("\r\n");
        if (!out.Spill()) return;
    }
}

void PutCsvValue(Utf8Out& out, std::wstring_view text) {
    const bool quoted = text.find_first_of(L",\"\r\n") != std::wstring_view::npos;
    if (quoted) out.Put('"');
    for (size_t i = 0; i < text.size();) {
        const char32_t c = NextCodePoint(text, i);
        if (c == U'"') out.Put("\"\"");
        else out.Put(c == 0 ? kReplacementChar : c);
    }
    if (quoted) out.Put('"');
}

void WriteCsv(const std::vector<ExportRecord>& records, Utf8Out& out) {
    out.Put("\xEF\xBB\xBF");
    const auto& fields = ExportFields();
    for (size_t f = 0; f < fields.size(); ++f) {
        if (f) out.Put(',');
        out.Put(fields[f].name);
    }
    out.Put("\r\n");
    for (const ExportRecord& r : records) {
        for (size_t f = 0; f < fields.size(); ++f) {
            if (f) out.Put(',');
            if (fields[f].text) PutCsvValue(out, r.*(fields[f].text));
            else PutCsvValue(out, FieldText(r, fields[f]));
        }
        out.Put("\r\n");
        if (!out.Spill()) return;
    }
}

void PutJsonString(Utf8Out& out, std::wstring_view text) {
    static const char kHex[] = "0123456789abcdef";
    out.Put('"');
    for (size_t i = 0; i < text.size();) {
        const char32_t c = NextCodePoint(text, i);
        switch (c) {
        case U'"': out.Put("\\\""); break;
        case U'\\': out.Put("\\\\"); break;
        case U'\b': out.Put("\\b"); break;
        case U'\f': out.Put("\\f"); break;
        case U'\n': out.Put("\\n"); break;
        case U'\r': out.Put("\\r"); break;
        case U'\t': out.Put("\\t"); break;
        default:
            // Controls must be escaped; the two line separators are, too, so that the text is also
            // safe inside a script.
            if (c < 0x20 || c == 0x2028 || c == 0x2029) {
                out.Put("\\u");
                for (int shift = 12; shift >= 0; shift -= 4) out.Put(kHex[(c >> shift) & 15]);
            } else {
                out.Put(c);
            }
        }
    }
    out.Put('"');
}

void WriteJson(const std::vector<ExportRecord>& records, Utf8Out& out) {
    const auto& fields = ExportFields();
    out.Put("[\n");
    for (size_t i = 0; i < records.size(); ++i) {
        const ExportRecord& r = records[i];
        out.Put('{');
        for (size_t f = 0; f < fields.size(); ++f) {
            if (f) out.Put(',');
            out.Put('"');
            out.Put(fields[f].name);
            out.Put("\":");
            switch (fields[f].type) {
            case ExportFieldType::Number:
                if (r.estimated_size_kb) out.Put(std::to_string(*r.estimated_size_kb));
                else out.Put("null");
                break;
            case ExportFieldType::Boolean:
                out.Put(r.system_component ? "true" : "false");
                break;
            default:
                PutJsonString(out, r.*(fields[f].text));
            }
        }
        out.Put(i + 1 < records.size() ? "},\n" : "}\n");
        if (!out.Spill()) return;
    }
    out.Put("]\n");
}

}  // namespace

std::optional<ExportFormat> FormatForFile(std::wstring_view path) {
    const size_t dot = path.find_last_of(L".\\/");
    if (dot == std::wstring_view::npos || path[dot] != L'.') return std::nullopt;
    const std::wstring_view ext = path.substr(dot);
    if (EqualsNoCase(ext, L".csv")) return ExportFormat::Csv;
    if (EqualsNoCase(ext, L".json")) return ExportFormat::Json;
    if (EqualsNoCase(ext, L".html") || EqualsNoCase(ext, L".htm")) return ExportFormat::Html;
    return std::nullopt;
}

Status WriteListing(const std::vector<ExportRecord>& records, ExportFormat format, ByteSink& sink,
                    const ExportHeading& heading) {
    Utf8Out out(sink);
    switch (format) {
    case ExportFormat::Tsv: WriteTsv(records, out); break;
    case ExportFormat::Csv: WriteCsv(records, out); break;
    case ExportFormat::Json: WriteJson(records, out); break;
    case ExportFormat::Html: export_detail::WriteHtml(records, heading, out); break;
    }
    out.Flush();
    return out.Outcome();
}

}  // namespace ardmoor
