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

// The bytes of a typed text, with the characters the encoding has no code for.
inline EncodeResult FromQString(const QString& text, Charset charset) {
    return charset.FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                 static_cast<std::size_t>(text.size())));
}

}  // namespace mopira
