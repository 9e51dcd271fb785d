#include "core/library/FaceListHealth.h"

#include <algorithm>

namespace mopira {

namespace {

bool IsText(std::string_view bytes, Charset charset) {
    const bool control = std::any_of(bytes.begin(), bytes.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
    return !control && charset.IsValid(bytes);
}

}  // namespace

bool LooksLikeFaceList(const CFaceLibrary& library) {
    std::size_t damaged = 0;
    library.ForEachRecord([&](RecordId id) {
        if (!IsText(library.Text(id), library.GetCharset()) ||
            !IsText(library.Folder(id), library.GetCharset())) {
            ++damaged;
        }
    });
    // A few odd records are a hand-edited library; most of them are no library at all.
    return damaged * 4 <= library.Size();
}

}  // namespace mopira
