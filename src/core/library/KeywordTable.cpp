#include "core/library/KeywordTable.h"

#include <algorithm>
#include <optional>

#include "core/text/LineReader.h"

namespace mopira {

namespace {

constexpr std::string_view kFolderMark = "folder";
constexpr std::string_view kFaceMark = "face";
constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendByteEscape(std::string& out, unsigned char byte) {
    out += "\\x";
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0xF];
}

// A field of the file for `bytes` in `charset`: characters as UTF-8, everything else escaped.
std::string Escape(std::string_view bytes, Charset charset) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    charset.Visit([&](auto rules) {
        for (std::size_t pos = 0; pos < bytes.size();) {
            const std::size_t length = rules.CharLength(bytes, pos);
            const std::string_view character = bytes.substr(pos, length);
            pos += length;
            const auto lead = static_cast<unsigned char>(character[0]);
            if (lead < 0x80) {
                switch (lead) {
                    case '\\':
                        out += "\\\\";
                        break;
                    case '\t':
                        out += "\\t";
                        break;
                    case '\n':
                        out += "\\n";
                        break;
                    case '\r':
                        out += "\\r";
                        break;
                    default:
                        if (lead < 0x20 || lead == 0x7F) {
                            AppendByteEscape(out, lead);
                        } else {
                            out += character;
                        }
                }
                continue;
            }
            // A character is written as such only when reading it gives its bytes back.
            if (rules.IsValid(character)) {
                std::string utf8 = rules.ToUtf8(character);
                if (rules.FromUtf8(utf8).bytes == character) {
                    out += utf8;
                    continue;
                }
            }
            for (char byte : character) {
                AppendByteEscape(out, static_cast<unsigned char>(byte));
            }
        }
    });
    return out;
}

int HexValue(char digit) {
    if (digit >= '0' && digit <= '9') {
        return digit - '0';
    }
    if (digit >= 'A' && digit <= 'F') {
        return digit - 'A' + 10;
    }
    if (digit >= 'a' && digit <= 'f') {
        return digit - 'a' + 10;
    }
    return -1;
}

// The bytes in `charset` that a field stands for; none when an escape is broken or the
// encoding lacks a character of it.
std::optional<std::string> Unescape(std::string_view field, Charset charset) {
    std::string out;
    std::string text;  // UTF-8 not yet encoded
    auto flush = [&]() {
        EncodeResult encoded = charset.FromUtf8(text);
        text.clear();
        out += encoded.bytes;
        return encoded.Ok();
    };
    for (std::size_t pos = 0; pos < field.size(); ++pos) {
        if (field[pos] != '\\') {
            text += field[pos];
            continue;
        }
        if (++pos == field.size()) {
            return std::nullopt;
        }
        switch (field[pos]) {
            case '\\':
                text += '\\';
                break;
            case 't':
                text += '\t';
                break;
            case 'n':
                text += '\n';
                break;
            case 'r':
                text += '\r';
                break;
            case 'x': {
                const int high = pos + 1 < field.size() ? HexValue(field[pos + 1]) : -1;
                const int low = pos + 2 < field.size() ? HexValue(field[pos + 2]) : -1;
                if (high < 0 || low < 0 || !flush()) {
                    return std::nullopt;
                }
                out += static_cast<char>(high * 16 + low);
                pos += 2;
                break;
            }
            default:
                return std::nullopt;
        }
    }
    if (!flush()) {
        return std::nullopt;
    }
    return out;
}

CKeywordTable::Keywords Normalized(CKeywordTable::Keywords keywords) {
    CKeywordTable::Keywords kept;
    for (std::string& keyword : keywords) {
        if (!keyword.empty() && std::find(kept.begin(), kept.end(), keyword) == kept.end()) {
            kept.push_back(std::move(keyword));
        }
    }
    return kept;
}

// `first`, then what `second` adds.
CKeywordTable::Keywords Joined(CKeywordTable::Keywords first,
                               const CKeywordTable::Keywords& second) {
    first.insert(first.end(), second.begin(), second.end());
    return Normalized(std::move(first));
}

// Sets `name` to `value` in `map`, or takes it out for an empty value. True when it changed.
template <class Map, class Value>
bool SetOrErase(Map& map, std::string_view name, Value value) {
    const auto found = map.find(name);
    if (value.empty()) {
        if (found == map.end()) {
            return false;
        }
        map.erase(found);
        return true;
    }
    if (found == map.end()) {
        map.emplace(name, std::move(value));
        return true;
    }
    if (found->second == value) {
        return false;
    }
    found->second = std::move(value);
    return true;
}

const Charset kUtf8(Encoding::Utf8);

}  // namespace

CKeywordTable::ReadResult CKeywordTable::Read(std::string_view bytes, Charset charset) {
    ReadResult result{CKeywordTable(charset), 0};
    CKeywordTable& table = result.table;
    CLineReader reader(bytes);
    std::string_view line;
    while (reader.Next(line)) {
        if (line.empty() || line.front() == '#') {
            continue;
        }
        std::vector<std::string_view> fields;
        for (std::size_t start = 0;;) {
            const std::size_t tab = line.find('\t', start);
            fields.push_back(line.substr(start, tab - start));
            if (tab == std::string_view::npos) {
                break;
            }
            start = tab + 1;
        }
        bool taken = false;
        const std::optional<std::string> name =
            fields.size() >= 3 ? Unescape(fields[1], charset) : std::nullopt;
        if (name && !name->empty() && fields[0] == kFolderMark && fields.size() == 3) {
            const std::optional<std::string> reading = Unescape(fields[2], kUtf8);
            taken = reading && !reading->empty() && !table.m_readings.contains(*name) &&
                    table.SetFolderReading(*name, *reading);
        } else if (name && !name->empty() && fields[0] == kFaceMark) {
            Keywords keywords;
            bool intact = true;
            for (std::size_t k = 2; k < fields.size() && intact; ++k) {
                std::optional<std::string> keyword = Unescape(fields[k], kUtf8);
                intact = keyword.has_value();
                if (intact) {
                    keywords.push_back(std::move(*keyword));
                }
            }
            taken = intact && !table.m_keywords.contains(*name) &&
                    table.SetFaceKeywords(*name, std::move(keywords));
        }
        if (!taken) {
            ++result.skippedLines;
        }
    }
    return result;
}

std::string CKeywordTable::Write() const {
    std::string bytes;
    for (const auto& [name, reading] : m_readings) {
        bytes += kFolderMark;
        bytes += '\t';
        bytes += Escape(name, m_charset);
        bytes += '\t';
        bytes += Escape(reading, kUtf8);
        bytes += '\n';
    }
    for (const auto& [text, keywords] : m_keywords) {
        bytes += kFaceMark;
        bytes += '\t';
        bytes += Escape(text, m_charset);
        for (const std::string& keyword : keywords) {
            bytes += '\t';
            bytes += Escape(keyword, kUtf8);
        }
        bytes += '\n';
    }
    return bytes;
}

std::string_view CKeywordTable::FolderReading(std::string_view folder) const {
    const auto found = m_readings.find(folder);
    return found == m_readings.end() ? std::string_view() : std::string_view(found->second);
}

bool CKeywordTable::SetFolderReading(std::string_view folder, std::string_view reading) {
    return !folder.empty() && SetOrErase(m_readings, folder, std::string(reading));
}

const CKeywordTable::Keywords& CKeywordTable::FaceKeywords(std::string_view text) const {
    static const Keywords kNone;
    const auto found = m_keywords.find(text);
    return found == m_keywords.end() ? kNone : found->second;
}

bool CKeywordTable::SetFaceKeywords(std::string_view text, Keywords keywords) {
    return !text.empty() && SetOrErase(m_keywords, text, Normalized(std::move(keywords)));
}

bool CKeywordTable::RenameFace(std::string_view oldText, std::string_view newText) {
    const auto found = m_keywords.find(oldText);
    if (found == m_keywords.end() || oldText == newText || newText.empty()) {
        return false;
    }
    Keywords moved = std::move(found->second);
    m_keywords.erase(found);
    SetFaceKeywords(newText, Joined(FaceKeywords(newText), moved));
    return true;
}

bool CKeywordTable::RemoveFace(std::string_view text) {
    return SetFaceKeywords(text, {});
}

bool CKeywordTable::RenameFolder(std::string_view oldName, std::string_view newName) {
    const auto found = m_readings.find(oldName);
    if (found == m_readings.end() || oldName == newName || newName.empty()) {
        return false;
    }
    std::string reading = std::move(found->second);
    m_readings.erase(found);
    if (!m_readings.contains(newName)) {
        m_readings.emplace(newName, std::move(reading));
    }
    return true;
}

bool CKeywordTable::RemoveFolder(std::string_view name) {
    return SetFolderReading(name, {});
}

void CKeywordTable::ConvertTo(Charset charset) {
    if (charset == m_charset) {
        return;
    }
    auto convert = [this, charset](const std::string& name) -> std::optional<std::string> {
        if (!m_charset.IsValid(name)) {
            return std::nullopt;
        }
        EncodeResult converted = charset.FromUtf8(m_charset.ToUtf8(name));
        return converted.Ok() ? std::optional(std::move(converted.bytes)) : std::nullopt;
    };
    CKeywordTable converted(charset);
    for (auto& [name, reading] : m_readings) {
        if (const auto newName = convert(name);
            newName && !converted.m_readings.contains(*newName)) {
            converted.m_readings.emplace(*newName, std::move(reading));
        }
    }
    for (auto& [text, keywords] : m_keywords) {
        if (const auto newText = convert(text);
            newText && !converted.m_keywords.contains(*newText)) {
            converted.m_keywords.emplace(*newText, std::move(keywords));
        }
    }
    *this = std::move(converted);
}

CKeywordTable CKeywordTable::Merge(const CKeywordTable& base, const CKeywordTable& mine,
                                   const CKeywordTable& theirs) {
    CKeywordTable merged(mine.m_charset);
    auto names = [](const auto& a, const auto& b, const auto& c) {
        std::vector<std::string_view> all;
        for (const auto* map : {&a, &b, &c}) {
            for (const auto& entry : *map) {
                all.push_back(entry.first);
            }
        }
        std::sort(all.begin(), all.end());
        all.erase(std::unique(all.begin(), all.end()), all.end());
        return all;
    };
    for (std::string_view name : names(base.m_readings, mine.m_readings, theirs.m_readings)) {
        const std::string_view was = base.FolderReading(name);
        const std::string_view ours = mine.FolderReading(name);
        merged.SetFolderReading(name, ours == was ? theirs.FolderReading(name) : ours);
    }
    for (std::string_view text : names(base.m_keywords, mine.m_keywords, theirs.m_keywords)) {
        const Keywords& was = base.FaceKeywords(text);
        const Keywords& ours = mine.FaceKeywords(text);
        const Keywords& others = theirs.FaceKeywords(text);
        if (ours == was || others == was) {
            merged.SetFaceKeywords(text, ours == was ? others : ours);
            continue;
        }
        Keywords added;
        std::copy_if(others.begin(), others.end(), std::back_inserter(added),
                     [&was](const std::string& keyword) {
                         return std::find(was.begin(), was.end(), keyword) == was.end();
                     });
        merged.SetFaceKeywords(text, Joined(ours, added));
    }
    return merged;
}

}  // namespace mopira
