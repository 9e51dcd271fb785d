// CP932 text: decoding never fails, and decodable text encodes back to its own bytes (or, for
// a character the extensions repeat, to the code that decodes the same).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzCheck.h"
#include "core/text/Charset.h"

namespace {

bool UsesRepeatedCodes(std::string_view bytes) {
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t length = mopira::Cp932::CharLength(bytes, pos);
        const auto lead = static_cast<unsigned char>(bytes[pos]);
        if (length == 2 && (lead == 0x87 || lead == 0xED || lead == 0xEE || lead >= 0xFA)) {
            return true;
        }
        pos += length;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using mopira::Cp932;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::u16string text = Cp932::ToUtf16(bytes);
    FUZZ_CHECK(text.size() <= bytes.size());
    const std::string utf8 = Cp932::ToUtf8(bytes);

    const mopira::EncodeResult fromUtf16 = Cp932::FromUtf16(text);
    const mopira::EncodeResult fromUtf8 = Cp932::FromUtf8(utf8);
    FUZZ_CHECK(fromUtf16.bytes == fromUtf8.bytes);
    FUZZ_CHECK(fromUtf16.unrepresentable == fromUtf8.unrepresentable);

    if (text.find(u'\uFFFD') == std::u16string::npos) {
        FUZZ_CHECK(fromUtf16.Ok());
        FUZZ_CHECK(Cp932::ToUtf16(fromUtf16.bytes) == text);
        if (!UsesRepeatedCodes(bytes)) {
            FUZZ_CHECK(fromUtf16.bytes == bytes);
        }
    }

    // The same bytes read as UTF-8 input from an edit box: never a crash, and every
    // character either stored or reported.
    const mopira::EncodeResult typed = Cp932::FromUtf8(bytes);
    FUZZ_CHECK(typed.Ok() || !typed.unrepresentable.empty());
    return 0;
}
