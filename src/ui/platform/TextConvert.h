#pragma once

#include <QString>
#include <string_view>

#include "core/text/Charset.h"

// The edge between the program's texts (bytes in the encoding of the library or parts table
// they come from) and Qt's strings: what is shown, copied or typed passes here, and nowhere
// else.
namespace mopira {

inline QString ToQString(std::string_view bytes, Charset charset) {
    const std::u16string text = charset.ToUtf16(bytes);
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// What lists, trees, buttons and messages show of a text: the whole of it up to
// kShownLength characters, else that many and "…". Laying out a line of megabytes would hold
// the window for seconds; the stored bytes, the clipboard and the edit fields keep it whole.
inline constexpr std::size_t kShownLength = 1000;

inline QString ToDisplayString(std::string_view bytes, Charset charset) {
    std::size_t end = 0;
    for (std::size_t shown = 0; end < bytes.size() && shown < kShownLength; ++shown) {
        end += charset.CharLength(bytes, end);
    }
    if (end >= bytes.size()) {
        return ToQString(bytes, charset);
    }
    return ToQString(bytes.substr(0, end), charset) + QChar(0x2026);
}

// The bytes of a typed text, with the characters the encoding has no code for.
inline EncodeResult FromQString(const QString& text, Charset charset) {
    return charset.FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                 static_cast<std::size_t>(text.size())));
}

}  // namespace mopira
