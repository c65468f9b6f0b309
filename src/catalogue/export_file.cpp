#include "catalogue/export_formats.h"

namespace ardmoor {

ExportFileResult ExportToFile(const std::vector<std::wstring>& roots, const std::wstring& path, ExportFormat format,
                              const ExportHeading& heading, const std::atomic<bool>* stop) {
    ExportFileResult result;
    result.file = path;
    const auto fail = [&result](ExportFileResult::Failure failure, long error) {
        result.failure = failure;
        result.error = error;
        return result;
    };
    AtomicFile file;
    const Status opened = file.Open(path);
    if (!file.Target().empty()) result.file = file.Target();
    if (!opened) return fail(ExportFileResult::Failure::Write, opened.error());

    ExportListing listing(roots);
    if (const Status read = listing.Read(stop); !read) return fail(ExportFileResult::Failure::Read, read.error());
    if (stop && stop->load()) return fail(ExportFileResult::Failure::Read, kExportStopped);
    if (const Status written = WriteListing(listing.Records(), format, file, heading); !written)
        return fail(ExportFileResult::Failure::Write, written.error());
    if (const Status committed = file.Commit(); !committed)
        return fail(ExportFileResult::Failure::Write, committed.error());
    result.records = listing.Records().size();
    return result;
}

}  // namespace ardmoor
