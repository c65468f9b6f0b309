// The listing as one standalone web page: a table of the main fields, readable on screen and on
// paper. Every text from the registry is escaped, and the page forbids scripts outright, so that no
// registry string can ever become markup or code.
#include "catalogue/export_formats.h"

#include "platform/strings.h"

namespace ardmoor::export_detail {

namespace {

constexpr std::string_view kHead =
    "<!DOCTYPE html>\n"
    "<html lang=\"en\">\n"
    "<head>\n"
    "<meta charset=\"utf-8\">\n"
    "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'\">\n"
    "<title>Installed programs</title>\n"
    "<style>\n"
    "body{font-family:\"Segoe UI\",Tahoma,Arial,sans-serif;font-size:10pt;color:#000;background:#fff;margin:1.5em}\n"
    "h1{font-size:15pt;font-weight:normal;margin:0 0 .2em}\n"
    "p{margin:0 0 1em;color:#333}\n"
    "table{border-collapse:collapse;width:100%}\n"
    "th,td{border:1px solid #aaa;padding:.2em .4em;text-align:left;vertical-align:top;"
    "white-space:pre-line;overflow-wrap:anywhere}\n"
    "th{background:#e4e8ee}\n"
    "tbody tr:nth-child(even){background:#f5f7fa}\n"
    "td.number{text-align:right;white-space:nowrap}\n"
    "@media print{body{margin:0;font-size:8pt}thead{display:table-header-group}"
    "tr{break-inside:avoid;page-break-inside:avoid}th,tbody tr:nth-child(even){background:none}}\n"
    "</style>\n"
    "</head>\n"
    "<body>\n";

struct Column {
    std::string_view caption;
    std::string_view field;  // an ExportFields() name
};

constexpr Column kColumns[] = {
    {"Name", "name"},
    {"Version", "version"},
    {"Publisher", "publisher"},
    {"Installed", "install_date"},
    {"Size (KB)", "estimated_size_kb"},
    {"Location", "install_location"},
    {"Uninstall command", "uninstall_string"},
};

void PutHtmlText(Utf8Out& out, std::wstring_view text) {
    for (size_t i = 0; i < text.size();) {
        const char32_t c = NextCodePoint(text, i);
        switch (c) {
        case U'&': out.Put("&amp;"); break;
        case U'<': out.Put("&lt;"); break;
        case U'>': out.Put("&gt;"); break;
        case U'"': out.Put("&quot;"); break;
        case U'\'': out.Put("&#39;"); break;
        default:
            // Controls other than tab and line breaks are not allowed in a page.
            if ((c < 0x20 && c != U'\t' && c != U'\r' && c != U'\n') || (c >= 0x7F && c <= 0x9F))
                out.Put(kReplacementChar);
            else
                out.Put(c);
        }
    }
}

const ExportField* FieldNamed(std::string_view name) {
    for (const ExportField& f : ExportFields())
        if (f.name == name) return &f;
    return nullptr;
}

}  // namespace

void WriteHtml(const std::vector<ExportRecord>& records, const ExportHeading& heading, Utf8Out& out) {
    out.Put(kHead);
    out.Put("<h1>Installed programs</h1>\n<p>");
    out.Put(std::to_string(records.size()));
    out.Put(records.size() == 1 ? " program" : " programs");
    if (!heading.computer.empty()) {
        out.Put(" on ");
        PutHtmlText(out, heading.computer);
    }
    if (!heading.when.empty()) {
        out.Put(", listed by Ardmoor on ");
        PutHtmlText(out, heading.when);
    }
    out.Put(".</p>\n<table>\n<thead><tr>");
    const ExportField* fields[std::size(kColumns)];
    for (size_t c = 0; c < std::size(kColumns); ++c) {
        fields[c] = FieldNamed(kColumns[c].field);
        out.Put("<th>");
        out.Put(kColumns[c].caption);
        out.Put("</th>");
    }
    out.Put("</tr></thead>\n<tbody>\n");
    for (const ExportRecord& r : records) {
        out.Put("<tr>");
        for (const ExportField* f : fields) {
            out.Put(f && f->type == ExportFieldType::Number ? "<td class=\"number\">" : "<td>");
            if (f) PutHtmlText(out, f->text ? r.*(f->text) : FieldText(r, *f));
            out.Put("</td>");
        }
        out.Put("</tr>\n");
        if (!out.Spill()) return;
    }
    out.Put("</tbody>\n</table>\n</body>\n</html>\n");
}

}  // namespace ardmoor::export_detail
