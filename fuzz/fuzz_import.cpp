// Import files: whatever the bytes, reading and adding them never fails, every line is added,
// found already there or refused, and the records an import gave export and import back
// into an empty library of the same encoding as the same records.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "core/library/TextExchange.h"

namespace {

using mopira::CFaceLibrary;

std::vector<std::pair<std::string, std::string>> Entries(const CFaceLibrary& library) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (mopira::RecordId id : library.Records()) {
        entries.emplace_back(library.Text(id), library.Folder(id));
    }
    return entries;
}

void StartEmpty(CFaceLibrary& library, bool utf8) {
    library.LoadFaceList(utf8 ? "\xEF\xBB\xBF" : "");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const mopira::ImportFile file = mopira::ParseImport(bytes, "-");
    for (const bool utf8 : {false, true}) {
        CFaceLibrary library;
        StartEmpty(library, utf8);
        const mopira::ImportSummary summary = mopira::ApplyImport(library, file);
        FUZZ_CHECK(summary.added.size() + summary.alreadyThere.size() + summary.refused.size() ==
                   file.lines.size());
        FUZZ_CHECK(library.Size() == summary.added.size());

        const mopira::ExportResult exported = mopira::ExportRecords(library, library.Records());
        FUZZ_CHECK(exported.skipped.empty());
        CFaceLibrary again;
        StartEmpty(again, utf8);
        const mopira::ImportSummary second =
            mopira::ApplyImport(again, mopira::ParseImport(exported.bytes, "-"));
        FUZZ_CHECK(second.refused.empty() && second.alreadyThere.empty());
        FUZZ_CHECK(Entries(again) == Entries(library));
    }
    return 0;
}
