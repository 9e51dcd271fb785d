// Parts files: any bytes give a table whose rows can all be read, for every record width.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzCheck.h"
#include "core/builder/PartTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const auto& info : mopira::AllPartCategories()) {
        const mopira::PartTable table = mopira::LoadPartTable(bytes, info.category);
        FUZZ_CHECK(table.RowCount() * static_cast<std::size_t>(table.width) <=
                   table.strings.size());
        std::size_t stored = 0;
        for (const std::string& line : table.strings) {
            FUZZ_CHECK(line.find('\n') == std::string::npos);
            stored += line.size();
        }
        FUZZ_CHECK(stored <= size);
        for (std::size_t row = 0; row < table.RowCount(); ++row) {
            // After a shift any stored string can stand in any position, so only reading
            // is checked here.
            FUZZ_CHECK(table.Name(row).size() <= size);
            for (int variation = 1; variation <= 2; ++variation) {
                const std::string& part = table.Variation(row, variation);
                FUZZ_CHECK(variation < table.width || part.empty());
            }
        }
    }
    return 0;
}
