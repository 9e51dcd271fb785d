// FaceList.dat: whatever the bytes, loading never fails, and what is saved loads back to the
// same records and saves to the same bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzCheck.h"
#include "core/library/FaceLibrary.h"
#include "core/text/Charset.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using mopira::CFaceLibrary;
    using mopira::RecordId;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    CFaceLibrary first;
    first.LoadFaceList(bytes);
    const std::string saved = first.SaveFaceList();

    CFaceLibrary second;
    second.LoadFaceList(saved);
    FUZZ_CHECK(second.Size() == first.Size());
    const auto firstIds = first.Records();
    const auto secondIds = second.Records();
    for (std::size_t i = 0; i < firstIds.size(); ++i) {
        FUZZ_CHECK(first.Text(firstIds[i]) == second.Text(secondIds[i]));
        FUZZ_CHECK(first.Folder(firstIds[i]) == second.Folder(secondIds[i]));
        FUZZ_CHECK(!first.Text(firstIds[i]).empty() && !first.Folder(firstIds[i]).empty());
    }
    FUZZ_CHECK(second.SaveFaceList() == saved);

    // The order by text holds every record once, ascending.
    const auto& byText = second.RecordsByText();
    FUZZ_CHECK(byText.size() == second.Size());
    for (std::size_t i = 1; i < byText.size(); ++i) {
        FUZZ_CHECK(second.GetCharset().Compare(second.Text(byText[i - 1]), second.Text(byText[i])) <
                   0);
    }
    return 0;
}
