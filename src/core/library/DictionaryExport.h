#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/library/FaceLibrary.h"

// The library as a user dictionary of an input method, so that typing a reading there (な
// く, かお) offers the user's own emoticons. Every emoticon is written under its folder's
// reading and under each of its keywords that is a reading (kana); other keywords are words,
// not readings, and are not written.
namespace mopira {

class CKeywordTable;

enum class DictionaryFormat {
    Mozc,         // Mozc and Google 日本語入力, imported with their dictionary tool
    MsIme,        // Microsoft IME's text word list
    QuickPhrase,  // fcitx5 QuickPhrase, a .mb file in quickphrase.d
    Skk,          // an SKK dictionary of okuri-nasi entries
};

// "mozc", "ms-ime", "quickphrase" or "skk"; none for any other name.
std::optional<DictionaryFormat> ParseDictionaryFormat(std::string_view name);
std::string_view DictionaryFormatName(DictionaryFormat format);

enum class OmissionReason {
    InvalidBytes,      // the text holds bytes that are no character
    NoReading,         // neither its folder nor a keyword of the emoticon gives a reading
    ControlCharacter,  // the format cannot hold a control character the text has
    TextTooLong,       // longer than the input method takes a word
    ReadingTooLong,    // this reading is longer than the input method takes one
};

// Something of the library the file leaves out: an emoticon, or one reading of it.
struct DictionaryOmission {
    RecordId id = 0;
    std::string reading;  // UTF-8; empty when the emoticon is left out as a whole
    OmissionReason reason = OmissionReason::NoReading;
    bool operator==(const DictionaryOmission&) const = default;
};

struct DictionaryExport {
    std::string bytes;                        // the file, as the input method reads it
    std::size_t entries = 0;                  // readings with an emoticon written
    std::size_t faces = 0;                    // emoticons written under at least one reading
    std::vector<DictionaryOmission> omitted;  // in library order
};

// The dictionary of every emoticon of `library`, with the readings of `table`.
DictionaryExport ExportDictionary(const CFaceLibrary& library, const CKeywordTable& table,
                                  DictionaryFormat format);

}  // namespace mopira
