#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/Charset.h"

namespace mopira {

// The emoticons copied last, most recent first, as texts in one encoding: a copy moves its
// text to the top, the oldest falls off past the capacity. Texts are kept whether the library
// holds them or not, so a face composed from parts is listed as well as a library's one.
//
// Its file holds one text a line, LF after each, with the UTF-8 byte order mark when the
// texts are UTF-8 (as the library's file). Reading is forgiving: a CR before the LF belongs
// to the line end, empty lines and repeats are dropped, and past the capacity the rest is.
class CRecentList {
public:
    static constexpr std::size_t kCapacity = 50;

    CRecentList() = default;
    explicit CRecentList(Charset charset) : m_charset(charset) {}

    // The list a file holds, in the encoding its first bytes name.
    static CRecentList Read(std::string_view bytes);
    std::string Write() const;

    Charset GetCharset() const { return m_charset; }
    const std::vector<std::string>& Texts() const { return m_texts; }
    bool Contains(std::string_view text) const;

    // Puts `text` on top. A text a line cannot give back (empty, with an LF, ending in CR)
    // is not listed. True when the list changed.
    bool Use(std::string_view text);
    // The same for a text in `charset`, taken over as characters (a face of parts in another
    // encoding is listed as the library would hold it); not listed when it cannot be.
    bool Use(std::string_view text, Charset charset);
    // Takes these texts off the list (deleted emoticons). True when the list changed.
    bool Remove(const std::vector<std::string>& texts);
    // An emoticon's text was edited: it keeps its place under the new text. When the new text
    // is listed already, the two become one at the more recent place. True when it changed.
    bool Replace(std::string_view oldText, std::string_view newText);
    // Takes the texts over into another encoding, as characters; a text that is not valid in
    // the old encoding, or that the new one cannot hold, is dropped.
    void ConvertTo(Charset charset);

    bool operator==(const CRecentList&) const = default;

private:
    static bool IsListable(std::string_view text);
    std::vector<std::string>::iterator Find(std::string_view text);

    Charset m_charset;
    std::vector<std::string> m_texts;
};

}  // namespace mopira
