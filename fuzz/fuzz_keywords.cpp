// Keywords.dat: any bytes read as a table for a library of either encoding, never with an
// empty name or keyword; written and read again it is the same table with nothing skipped;
// taken into the other encoding it still writes and reads back the same.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzCheck.h"
#include "core/library/KeywordTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using mopira::Charset;
    using mopira::CKeywordTable;
    using mopira::Encoding;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    for (Encoding encoding : {Encoding::Cp932, Encoding::Utf8}) {
        CKeywordTable::ReadResult read = CKeywordTable::Read(bytes, Charset(encoding));
        for (const auto& [text, keywords] : read.table.AllFaceKeywords()) {
            FUZZ_CHECK(!text.empty() && !keywords.empty());
            for (const std::string& keyword : keywords) {
                FUZZ_CHECK(!keyword.empty());
            }
        }
        for (const auto& [name, reading] : read.table.FolderReadings()) {
            FUZZ_CHECK(!name.empty() && !reading.empty());
        }
        const std::string written = read.table.Write();
        const CKeywordTable::ReadResult again = CKeywordTable::Read(written, Charset(encoding));
        FUZZ_CHECK(again.table == read.table);
        FUZZ_CHECK(again.skippedLines == 0);

        read.table.ConvertTo(
            Charset(encoding == Encoding::Utf8 ? Encoding::Cp932 : Encoding::Utf8));
        const CKeywordTable::ReadResult converted =
            CKeywordTable::Read(read.table.Write(), read.table.GetCharset());
        FUZZ_CHECK(converted.table == read.table);
    }
    return 0;
}
