// FaceList.dat: whatever the bytes, loading never fails, and what is saved loads back to the
// same records and saves to the same bytes. Each input is read twice: as it is (CP932 unless
// it starts with the mark) and behind the UTF-8 byte order mark. A CP932 library either
// refuses to become UTF-8 and stays as it was, or converts and keeps its records.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "core/library/FaceLibrary.h"
#include "core/text/Charset.h"

namespace {

using mopira::CFaceLibrary;

void CheckSameRecords(const CFaceLibrary& first, const CFaceLibrary& second) {
    FUZZ_CHECK(second.Size() == first.Size());
    FUZZ_CHECK(second.GetCharset() == first.GetCharset());
    const auto firstIds = first.Records();
    const auto secondIds = second.Records();
    for (std::size_t i = 0; i < firstIds.size(); ++i) {
        FUZZ_CHECK(first.Text(firstIds[i]) == second.Text(secondIds[i]));
        FUZZ_CHECK(first.Folder(firstIds[i]) == second.Folder(secondIds[i]));
        FUZZ_CHECK(!first.Text(firstIds[i]).empty() && !first.Folder(firstIds[i]).empty());
    }
}

// Saves, loads the save and saves again: the same records, the same bytes.
void CheckRoundTrip(const CFaceLibrary& library) {
    const std::string saved = library.SaveFaceList();
    CFaceLibrary reloaded;
    reloaded.LoadFaceList(saved);
    CheckSameRecords(library, reloaded);
    FUZZ_CHECK(reloaded.SaveFaceList() == saved);

    // The order by text holds every record once, ascending.
    const auto& byText = reloaded.RecordsByText();
    FUZZ_CHECK(byText.size() == reloaded.Size());
    for (std::size_t i = 1; i < byText.size(); ++i) {
        FUZZ_CHECK(reloaded.GetCharset().Compare(reloaded.Text(byText[i - 1]),
                                                 reloaded.Text(byText[i])) < 0);
    }
}

void CheckConversion(CFaceLibrary& library) {
    const std::string before = library.SaveFaceList();
    const std::size_t size = library.Size();
    const bool wasUtf8 = library.GetCharset().GetEncoding() == mopira::Encoding::Utf8;
    const auto refused = library.ConvertToUtf8();
    if (!refused.empty()) {
        FUZZ_CHECK(!wasUtf8);
        FUZZ_CHECK(library.SaveFaceList() == before);
        return;
    }
    FUZZ_CHECK(library.GetCharset().GetEncoding() == mopira::Encoding::Utf8);
    FUZZ_CHECK(library.Size() == size);
    library.ForEachRecord(
        [&](mopira::RecordId id) { FUZZ_CHECK(library.FindRecord(library.Text(id)) == id); });
    CheckRoundTrip(library);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string marked = "\xEF\xBB\xBF" + std::string(bytes);
    for (const std::string_view input : {bytes, std::string_view(marked)}) {
        CFaceLibrary library;
        library.LoadFaceList(input);
        CheckRoundTrip(library);
        CheckConversion(library);
    }
    return 0;
}
