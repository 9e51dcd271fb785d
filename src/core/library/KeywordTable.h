#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/Charset.h"

namespace mopira {

// What the library's own file does not say about its emoticons: a reading (hiragana) for a
// folder, and keywords (readings or words) for an emoticon. Folders and emoticons are named
// by their bytes in the library's encoding; readings and keywords are UTF-8, kept as they
// were given (in katakana too): finding and exporting fold them (kana::FoldForMatch).
//
// Its file, Keywords.dat, is UTF-8 text, one line per folder or emoticon:
//
//     folder<TAB>NAME<TAB>READING
//     face<TAB>TEXT<TAB>KEYWORD<TAB>KEYWORD...
//
// Every field is escaped: \\ for a backslash, \t, \n and \r for TAB, LF and CR, and \xHH for
// a byte that is written as it is: another control character, a byte that is no character,
// and each byte of a CP932 character that does not come back from Unicode with the same
// bytes (a code the code page repeats). So every name survives whatever bytes it holds.
// A line ends at LF (a CR before it belongs to the line end); empty lines and lines starting
// with # are skipped. Reading is forgiving: a line that is not one of the two forms, has a
// broken escape, names a text the encoding cannot hold or repeats a name is skipped and
// counted, and the first line for a name wins.
class CKeywordTable {
public:
    using Keywords = std::vector<std::string>;

    CKeywordTable() = default;
    explicit CKeywordTable(Charset charset) : m_charset(charset) {}

    struct ReadResult;
    // The table a file holds, for a library in `charset`.
    static ReadResult Read(std::string_view bytes, Charset charset);
    std::string Write() const;

    Charset GetCharset() const { return m_charset; }
    bool Empty() const { return m_readings.empty() && m_keywords.empty(); }

    // The reading of `folder`; empty when it has none.
    std::string_view FolderReading(std::string_view folder) const;
    // Sets the reading of `folder`; an empty reading removes it. True when it changed.
    bool SetFolderReading(std::string_view folder, std::string_view reading);
    // The keywords of emoticon `text`; none when it has none.
    const Keywords& FaceKeywords(std::string_view text) const;
    // Sets the keywords of `text`, in their order, each once, empty ones dropped; no
    // keywords removes the entry. True when it changed.
    bool SetFaceKeywords(std::string_view text, Keywords keywords);

    const std::map<std::string, std::string, std::less<>>& FolderReadings() const {
        return m_readings;
    }
    const std::map<std::string, Keywords, std::less<>>& AllFaceKeywords() const {
        return m_keywords;
    }

    // The library changed. An emoticon's text was edited: its keywords follow it, after the
    // new text's own when it had some. Moving an emoticon changes nothing here.
    bool RenameFace(std::string_view oldText, std::string_view newText);
    bool RemoveFace(std::string_view text);
    // A folder took another name: its reading follows unless the new name has one.
    bool RenameFolder(std::string_view oldName, std::string_view newName);
    bool RemoveFolder(std::string_view name);
    // Takes the names over into another encoding, as characters; a name the old encoding
    // cannot read or the new one cannot hold is dropped (no emoticon can have it).
    void ConvertTo(Charset charset);

    // The table that keeps the changes of both `mine` and `theirs` since `base`, as another
    // program may have written the file meanwhile. A name changed on one side only takes
    // that side; changed on both, a reading takes mine, keywords take mine followed by
    // those theirs added.
    static CKeywordTable Merge(const CKeywordTable& base, const CKeywordTable& mine,
                               const CKeywordTable& theirs);

    bool operator==(const CKeywordTable&) const = default;

private:
    Charset m_charset;
    std::map<std::string, std::string, std::less<>> m_readings;
    std::map<std::string, Keywords, std::less<>> m_keywords;
};

struct CKeywordTable::ReadResult {
    CKeywordTable table;
    std::size_t skippedLines = 0;
};

}  // namespace mopira
