#pragma once

#include <atomic>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/library/FaceLibrary.h"

// Emoticons as plain text for other programs: one emoticon a line, a TAB and its folder after
// it, under a header line. Exports are UTF-8; imports read UTF-8 (with or without the byte
// order mark) or, when the bytes are not UTF-8, CP932.
namespace mopira {

// The first line of an export, skipped when it is the first line of an import.
inline constexpr std::string_view kExchangeHeader = "text\tcategory";

// One emoticon line of an import file, read into UTF-8.
struct ImportLine {
    std::size_t line = 0;  // in the file, counted from 1
    std::string text;
    std::string folder;  // after the first TAB, or the folder the caller gave
    // The line held bytes that are no character of the file's encoding; they read as U+FFFD.
    bool invalidBytes = false;
};

struct ImportFile {
    Encoding encoding = Encoding::Utf8;  // how the file was read
    std::vector<ImportLine> lines;
};

// Reads the lines of an import file. Every non-empty line is an emoticon; the text ends at
// the first TAB, and what follows names its folder (empty when the TAB ends the line). A
// line without a TAB is filed in `defaultFolder` (UTF-8). LF ends a line, and a CR before it
// belongs to the line end.
ImportFile ParseImport(std::string_view bytes, std::string_view defaultFolder);

enum class ImportProblem {
    EmptyText,
    EmptyFolder,
    InvalidBytes,           // the line held bytes that are no character
    ControlCharacter,       // U+0000-U+001F or U+007F in the text or the folder
    ReservedFolder,         // the name the caller keeps for itself
    UnrepresentableText,    // the library's encoding lacks characters of the text
    UnrepresentableFolder,  // or of the folder
};

struct ImportRefusal {
    std::size_t line = 0;
    ImportProblem problem = ImportProblem::EmptyText;
    // The characters at fault: those the encoding lacks, or the control characters.
    std::u32string characters;
    bool operator==(const ImportRefusal&) const = default;
};

struct ImportSummary {
    std::vector<RecordId> added;
    // Lines whose text the library held already, or an earlier line of the file.
    std::vector<std::size_t> alreadyThere;
    std::vector<ImportRefusal> refused;
    bool cancelled = false;
};

// How far an import running on another thread has come, and the way to stop it.
struct ImportProgress {
    std::atomic<std::size_t> applied{0};
    std::size_t total = 0;
    // Set by the thread that waits: the import stops at the next line.
    std::atomic<bool> cancel{false};
};

// Adds the lines to `library` in its encoding, in file order. Control characters are refused
// because a library line cannot hold a line break, a TAB would split the text from its folder
// in the next export, and the others are invisible in a list and come from damaged files.
// `reservedFolder` (UTF-8) is a folder name no record may take; empty for none.
// With `progress`, the lines applied are counted in it, and a cancel stops the import midway
// (the library then holds the lines before; `cancelled` says so).
ImportSummary ApplyImport(CFaceLibrary& library, const ImportFile& file,
                          std::string_view reservedFolder = {}, ImportProgress* progress = nullptr);

struct ExportResult {
    std::string bytes;
    // Records left out because an import could not give them back as they are: their text
    // or folder holds bytes that are no character, or a control character (a TAB among them:
    // it would end the text early).
    std::vector<RecordId> skipped;
    // How many records it holds.
    std::size_t written = 0;
};

// The header line, then `text<TAB>folder` of each record of `ids` (removed ones ignored) in
// that order, in UTF-8 with LF line ends. Importing it into an empty library of the same
// encoding gives back the same records, except that CP932 writes a character it repeats with
// its preferred code.
ExportResult ExportRecords(const CFaceLibrary& library, std::span<const RecordId> ids);

// The folder ParseImport gives lines without one when the caller files them later: no UTF-8
// text, so no folder read from a file can be it.
inline constexpr std::string_view kUnfiledFolder = "\xFF";
bool HasUnfiledLines(const ImportFile& file);
// Files the lines without a folder in `folder` (UTF-8).
void FileUnfiledLines(ImportFile& file, std::string_view folder);
// Whether a line that could be added holds characters `charset` lacks.
bool ImportNeedsUtf8(const ImportFile& file, Charset charset);

}  // namespace mopira
