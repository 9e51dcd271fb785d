#include "core/library/DictionaryExport.h"

#include <algorithm>
#include <array>
#include <map>

#include "core/library/KeywordTable.h"
#include "core/text/KanaFold.h"

namespace mopira {

namespace {

constexpr std::string_view kPartOfSpeech = "顔文字";

// Mozc refuses a reading, word or comment longer than this many bytes.
constexpr std::size_t kMozcFieldBytes = 300;
// Microsoft IME registers readings and words of up to 60 characters (UTF-16 units).
constexpr std::size_t kMsImeChars = 60;

struct NamedFormat {
    std::string_view name;
    DictionaryFormat format;
};
constexpr std::array<NamedFormat, 4> kFormats = {{
    {"mozc", DictionaryFormat::Mozc},
    {"ms-ime", DictionaryFormat::MsIme},
    {"quickphrase", DictionaryFormat::QuickPhrase},
    {"skk", DictionaryFormat::Skk},
}};

bool IsControl(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return value < 0x20 || value == 0x7F;
}
bool HasControl(std::string_view text) {
    return std::any_of(text.begin(), text.end(), IsControl);
}

// One emoticon under one reading, both UTF-8.
struct Entry {
    std::string reading;
    std::string text;
    std::string folder;
};

std::optional<OmissionReason> TextProblem(DictionaryFormat format, std::string_view text) {
    switch (format) {
        case DictionaryFormat::Mozc:
            // A TAB would end the word, a CR the line.
            if (text.find_first_of("\t\r\n") != std::string_view::npos) {
                return OmissionReason::ControlCharacter;
            }
            if (text.size() > kMozcFieldBytes) {
                return OmissionReason::TextTooLong;
            }
            return std::nullopt;
        case DictionaryFormat::MsIme:
            if (HasControl(text)) {
                return OmissionReason::ControlCharacter;
            }
            if (Utf8::ToUtf16(text).size() > kMsImeChars) {
                return OmissionReason::TextTooLong;
            }
            return std::nullopt;
        case DictionaryFormat::QuickPhrase:
            // fcitx reads a phrase as a C string: a NUL would end it.
            if (text.find('\0') != std::string_view::npos) {
                return OmissionReason::ControlCharacter;
            }
            return std::nullopt;
        case DictionaryFormat::Skk:
            return std::nullopt;  // a Lisp string holds any character
    }
    return std::nullopt;
}

std::optional<OmissionReason> ReadingProblem(DictionaryFormat format, std::string_view reading) {
    if (format == DictionaryFormat::Mozc && reading.size() > kMozcFieldBytes) {
        return OmissionReason::ReadingTooLong;
    }
    if (format == DictionaryFormat::MsIme && Utf8::ToUtf16(reading).size() > kMsImeChars) {
        return OmissionReason::ReadingTooLong;
    }
    return std::nullopt;
}

std::string WriteMozc(const std::vector<Entry>& entries) {
    // Without the mark Mozc guesses the encoding, and text of few letters passes for
    // Shift_JIS.
    std::string bytes = "\xEF\xBB\xBF";
    for (const Entry& entry : entries) {
        // The folder's name as the comment the candidate window shows, when Mozc takes it.
        const bool comment = entry.folder.size() <= kMozcFieldBytes &&
                             entry.folder.find_first_of("\t\r\n") == std::string::npos;
        bytes += entry.reading + '\t' + entry.text + '\t';
        bytes += kPartOfSpeech;
        bytes += '\t';
        bytes += comment ? entry.folder : std::string();
        bytes += '\n';
    }
    return bytes;
}

std::string WriteMsIme(const std::vector<Entry>& entries) {
    std::u16string text = u"\uFEFF";
    text += u"!Microsoft IME Dictionary Tool\r\n!Version:\r\n!Format:WORDLIST\r\n\r\n";
    for (const Entry& entry : entries) {
        const std::string line =
            entry.reading + '\t' + entry.text + '\t' + std::string(kPartOfSpeech) + "\r\n";
        text += Utf8::ToUtf16(line);
    }
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// fcitx trims a line and the space before a phrase, takes a phrase between quotes when the
// line ends in one, and reads \\ (and \" between quotes) as escapes.
std::string QuickPhrase(std::string_view text) {
    constexpr std::string_view kWhitespace = " \t\r\n\v\f";
    const bool quoted = kWhitespace.find(text.front()) != std::string_view::npos ||
                        kWhitespace.find(text.back()) != std::string_view::npos ||
                        text.back() == '"';
    std::string phrase = quoted ? "\"" : "";
    for (char c : text) {
        if (c == '\\' || (quoted && c == '"')) {
            phrase += '\\';
        }
        phrase += c;
    }
    if (quoted) {
        phrase += '"';
    }
    return phrase;
}

std::string WriteQuickPhrase(const std::vector<Entry>& entries) {
    std::string bytes;
    for (const Entry& entry : entries) {
        // QuickPhrase matches the keys as typed, so the reading is written as romaji.
        bytes += *kana::ReadingToRomaji(entry.reading) + ' ' + QuickPhrase(entry.text) + '\n';
    }
    return bytes;
}

// A candidate SKK would not show as it is: '/' ends a candidate and ';' starts its
// annotation; '[' starts a block of okurigana; and SKK evaluates a candidate that looks like
// a Lisp call, "(" with an ASCII character after it up to ")". Such candidates are written
// as a Lisp string that concat gives back.
bool NeedsConcat(std::string_view text) {
    const bool lispLike = text.size() > 2 && text.front() == '(' && text.back() == ')' &&
                          static_cast<unsigned char>(text[1]) < 0x80;
    return lispLike || text.front() == '[' || HasControl(text) ||
           text.find_first_of("/;") != std::string_view::npos;
}

std::string SkkCandidate(std::string_view text) {
    if (!NeedsConcat(text)) {
        return std::string(text);
    }
    std::string candidate = "(concat \"";
    for (char c : text) {
        const auto value = static_cast<unsigned char>(c);
        if (c == '/' || c == ';' || c == '"' || c == '\\' || IsControl(c)) {
            candidate += '\\';
            candidate += static_cast<char>('0' + (value >> 6));
            candidate += static_cast<char>('0' + ((value >> 3) & 7));
            candidate += static_cast<char>('0' + (value & 7));
        } else {
            candidate += c;
        }
    }
    return candidate + "\")";
}

std::string WriteSkk(const std::vector<Entry>& entries) {
    // Okuri-nasi entries are looked up by binary search, so they stand in ascending order of
    // their readings' bytes; the candidates of a reading keep library order.
    std::map<std::string, std::string> lines;
    for (const Entry& entry : entries) {
        std::string& candidates = lines[entry.reading];
        candidates += '/';
        candidates += SkkCandidate(entry.text);
    }
    std::string bytes = ";; -*- coding: utf-8 -*-\n;; okuri-ari entries.\n;; okuri-nasi entries.\n";
    for (const auto& [reading, candidates] : lines) {
        bytes += reading + ' ' + candidates + "/\n";
    }
    return bytes;
}

}  // namespace

std::optional<DictionaryFormat> ParseDictionaryFormat(std::string_view name) {
    for (const NamedFormat& named : kFormats) {
        if (named.name == name) {
            return named.format;
        }
    }
    return std::nullopt;
}

std::string_view DictionaryFormatName(DictionaryFormat format) {
    for (const NamedFormat& named : kFormats) {
        if (named.format == format) {
            return named.name;
        }
    }
    return {};
}

DictionaryExport ExportDictionary(const CFaceLibrary& library, const CKeywordTable& table,
                                  DictionaryFormat format) {
    DictionaryExport result;
    const Charset charset = library.GetCharset();
    std::vector<Entry> entries;
    library.ForEachRecord([&](RecordId id) {
        const std::string_view text = library.Text(id);
        if (!charset.IsValid(text)) {
            result.omitted.push_back({id, {}, OmissionReason::InvalidBytes});
            return;
        }
        const std::string& folder = library.Folder(id);
        std::vector<std::string> readings;
        auto addReading = [&readings](std::string_view word) {
            std::string folded = kana::FoldForMatch(word);
            if (kana::IsReading(folded) &&
                std::find(readings.begin(), readings.end(), folded) == readings.end()) {
                readings.push_back(std::move(folded));
            }
        };
        addReading(table.FolderReading(folder));
        for (const std::string& keyword : table.FaceKeywords(text)) {
            addReading(keyword);
        }
        if (readings.empty()) {
            result.omitted.push_back({id, {}, OmissionReason::NoReading});
            return;
        }
        std::string utf8 = charset.ToUtf8(text);
        if (const auto problem = TextProblem(format, utf8)) {
            result.omitted.push_back({id, {}, *problem});
            return;
        }
        const std::size_t before = entries.size();
        for (std::string& reading : readings) {
            if (const auto problem = ReadingProblem(format, reading)) {
                result.omitted.push_back({id, std::move(reading), *problem});
                continue;
            }
            entries.push_back({std::move(reading), utf8, charset.ToUtf8(folder)});
        }
        result.faces += entries.size() > before ? 1 : 0;
    });
    result.entries = entries.size();
    switch (format) {
        case DictionaryFormat::Mozc:
            result.bytes = WriteMozc(entries);
            break;
        case DictionaryFormat::MsIme:
            result.bytes = WriteMsIme(entries);
            break;
        case DictionaryFormat::QuickPhrase:
            result.bytes = WriteQuickPhrase(entries);
            break;
        case DictionaryFormat::Skk:
            result.bytes = WriteSkk(entries);
            break;
    }
    return result;
}

}  // namespace mopira
