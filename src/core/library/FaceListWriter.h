#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "core/text/Charset.h"

namespace mopira::detail {

// Writes FaceList.dat bytes in pieces of a few tens of kilobytes: the mark of a UTF-8 file,
// then text, folder and an empty line per record, each line ending in CR LF. `count` records,
// `textOf(i)` and `folderOf(i)` giving the i-th. Stops when `sink` answers false.
template <class TextOf, class FolderOf>
void WriteFaceListRecords(Charset charset, std::size_t count, TextOf textOf, FolderOf folderOf,
                          const std::function<bool(std::string_view)>& sink) {
    constexpr std::string_view kLineEnd = "\r\n";
    constexpr std::size_t kPiece = 64 * 1024;
    std::string piece;
    piece.reserve(kPiece);
    piece += charset.FileMark();
    bool writing = true;
    for (std::size_t i = 0; writing && i < count; ++i) {
        const std::string_view text = textOf(i);
        const std::string_view folder = folderOf(i);
        if (piece.size() + text.size() + folder.size() + 3 * kLineEnd.size() > kPiece &&
            !piece.empty()) {
            writing = sink(piece);
            piece.clear();
        }
        // A CP932 file whose first text starts with the bytes of the UTF-8 mark would read
        // back as UTF-8; a blank line first, which loading skips, keeps it CP932.
        if (i == 0 && charset.GetEncoding() == Encoding::Cp932 &&
            text.starts_with(Charset(Encoding::Utf8).FileMark())) {
            piece += kLineEnd;
        }
        piece += text;
        piece += kLineEnd;
        piece += folder;
        piece += kLineEnd;
        piece += kLineEnd;
    }
    if (writing && !piece.empty()) {
        sink(piece);
    }
}

}  // namespace mopira::detail
