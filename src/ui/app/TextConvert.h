#pragma once

#include <QString>
#include <string_view>

#include "core/text/Charset.h"

// The edge between the program's texts (CP932 bytes) and Qt's strings: what is shown,
// copied or typed passes here, and nowhere else.
namespace mopira {

inline QString ToQString(std::string_view bytes) {
    const std::u16string text = Charset::ToUtf16(bytes);
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The bytes of a typed text, with the characters CP932 has no code for.
inline EncodeResult FromQString(const QString& text) {
    return Charset::FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                  static_cast<std::size_t>(text.size())));
}

}  // namespace mopira
