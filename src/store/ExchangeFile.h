#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/library/DictionaryExport.h"
#include "core/library/TextExchange.h"
#include "store/PlatformFile.h"

// The file side of importing and exporting emoticon lists; what the user is told is the
// window's.
namespace mopira {

// An import file is read whole; a list of emoticons larger than this is no such list.
inline constexpr std::int64_t kMaxImportBytes = std::int64_t{64} << 20;

struct ImportRead {
    enum class Problem { None, TooLarge, Unreadable };
    Problem problem = Problem::None;
    FileError error;  // Unreadable
    ImportFile file;
};

// Reads and parses an import file. Lines without a folder are marked to be filed later
// (FileUnfiledLines).
ImportRead ReadImportFile(const QString& path);

// Whether most of an import's lines are not text (control characters, bytes that are no
// character): another kind of file, chosen by mistake.
bool IsMostlyNotText(const ImportFile& file);

// Writes an export to `path`, replacing it whole like the library. Never the library's own
// file (`libraryPath`), which another format would destroy: EEXIST then. Something that is not
// a regular file is never replaced; a link is written through.
FileError WriteExport(const QString& path, const QString& libraryPath, std::string_view bytes);

// An input method's dictionary of `library`, with the text of each emoticon it leaves out
// (library bytes): what is told of them must not need the library, which may be a copy made
// for the disk thread, or read by a program without a window.
struct DictionaryMade {
    DictionaryExport dictionary;
    std::vector<std::string> omittedTexts;  // one for each of dictionary.omitted
};
DictionaryMade MakeDictionary(const CFaceLibrary& library, const CKeywordTable& keywords,
                              DictionaryFormat format);

}  // namespace mopira
