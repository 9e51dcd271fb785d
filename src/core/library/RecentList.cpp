#include "core/library/RecentList.h"

#include <algorithm>

#include "core/text/LineReader.h"

namespace mopira {

CRecentList CRecentList::Read(std::string_view bytes) {
    CRecentList list(Charset::TakeFileMark(bytes));
    CLineReader reader(bytes);
    std::string_view line;
    while (list.m_texts.size() < kCapacity && reader.Next(line)) {
        // The first of a repeated text is the more recent one: the later copy is dropped.
        if (IsListable(line) && !list.Contains(line)) {
            list.m_texts.emplace_back(line);
        }
    }
    return list;
}

std::string CRecentList::Write() const {
    std::string bytes(m_charset.FileMark());
    // Without a mark of its own, a file whose first text starts with the UTF-8 one would be
    // read as UTF-8: an empty line first, which reading drops, keeps it CP932.
    if (bytes.empty() && !m_texts.empty() &&
        m_texts.front().starts_with(Charset(Encoding::Utf8).FileMark())) {
        bytes += '\n';
    }
    for (const std::string& text : m_texts) {
        bytes += text;
        bytes += '\n';
    }
    return bytes;
}

bool CRecentList::Contains(std::string_view text) const {
    return std::find(m_texts.begin(), m_texts.end(), text) != m_texts.end();
}

std::vector<std::string>::iterator CRecentList::Find(std::string_view text) {
    return std::find(m_texts.begin(), m_texts.end(), text);
}

bool CRecentList::IsListable(std::string_view text) {
    return !text.empty() && text.find('\n') == std::string_view::npos && text.back() != '\r';
}

bool CRecentList::Use(std::string_view text) {
    if (!IsListable(text)) {
        return false;
    }
    const auto found = Find(text);
    if (found != m_texts.end()) {
        if (found == m_texts.begin()) {
            return false;
        }
        std::rotate(m_texts.begin(), found, found + 1);
        return true;
    }
    if (m_texts.size() == kCapacity) {
        m_texts.pop_back();
    }
    m_texts.emplace(m_texts.begin(), text);
    return true;
}

bool CRecentList::Use(std::string_view text, Charset charset) {
    if (charset == m_charset) {
        return Use(text);
    }
    if (!charset.IsValid(text)) {
        return false;
    }
    const EncodeResult converted = m_charset.FromUtf8(charset.ToUtf8(text));
    return converted.Ok() && Use(converted.bytes);
}

bool CRecentList::Remove(const std::vector<std::string>& texts) {
    const std::size_t before = m_texts.size();
    std::erase_if(m_texts, [&texts](const std::string& text) {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    });
    return m_texts.size() != before;
}

bool CRecentList::Replace(std::string_view oldText, std::string_view newText) {
    const auto old = Find(oldText);
    if (old == m_texts.end() || oldText == newText) {
        return false;
    }
    if (!IsListable(newText)) {
        m_texts.erase(old);
        return true;
    }
    const auto existing = Find(newText);
    if (existing == m_texts.end()) {
        old->assign(newText);
    } else if (existing < old) {
        m_texts.erase(old);
    } else {
        old->assign(newText);
        m_texts.erase(existing);
    }
    return true;
}

void CRecentList::ConvertTo(Charset charset) {
    if (charset == m_charset) {
        return;
    }
    std::vector<std::string> texts;
    for (const std::string& text : m_texts) {
        // A byte the old encoding cannot show would become U+FFFD: such a text is not the same
        // emoticon any more.
        if (!m_charset.IsValid(text)) {
            continue;
        }
        EncodeResult converted = charset.FromUtf8(m_charset.ToUtf8(text));
        if (converted.Ok() && IsListable(converted.bytes) &&
            std::find(texts.begin(), texts.end(), converted.bytes) == texts.end()) {
            texts.push_back(std::move(converted.bytes));
        }
    }
    m_charset = charset;
    m_texts = std::move(texts);
}

}  // namespace mopira
