#pragma once

#include <string>
#include <string_view>
#include <vector>

// What the floors do with a library file: the least any program holding the same emoticons
// must do to read, order and keep them. No Qt here, so the floor program and the benchmarks
// measure the same work.
namespace mopira::bench {

// The whole file; empty when it cannot be read.
std::string ReadFile(const std::string& path);

// The file's lines as the program reads them (LF ends a line, a CR before it is dropped),
// viewing `bytes`.
std::vector<std::string_view> SplitLines(std::string_view bytes);

struct FloorRow {
    std::string_view text;
    std::string_view folder;
};

// The records of well-formed FaceList.dat lines (text, folder, empty line), in the order the
// program lists them: by text.
std::vector<FloorRow> RowsByText(const std::vector<std::string_view>& lines);

// Replaces `path` the way a library file must be written at least: the bytes into a
// temporary file beside it, flushed to the disk, renamed over the old file, and the rename
// itself made durable. False when any step failed.
bool WriteDurably(const std::string& path, std::string_view bytes);

}  // namespace mopira::bench
