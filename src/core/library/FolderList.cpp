#include "core/library/FolderList.h"

#include <algorithm>

namespace mopira {

CFolderList::CFolderList(std::vector<std::string> names, Charset charset)
    : m_names(std::move(names)), m_charset(charset) {
    m_charset.Visit([this](auto rules) {
        std::sort(m_names.begin(), m_names.end(), [](std::string_view a, std::string_view b) {
            return decltype(rules)::CompareFolderNames(a, b) < 0;
        });
    });
    m_names.erase(std::unique(m_names.begin(), m_names.end()), m_names.end());
}

std::vector<std::string>::const_iterator CFolderList::LowerBound(std::string_view name) const {
    return std::lower_bound(m_names.begin(), m_names.end(), name,
                            [this](const std::string& entry, std::string_view key) {
                                return m_charset.CompareFolderNames(entry, key) < 0;
                            });
}

std::optional<std::size_t> CFolderList::IndexOf(std::string_view name) const {
    const auto at = LowerBound(name);
    if (at == m_names.end() || *at != name) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(at - m_names.begin());
}

std::optional<std::size_t> CFolderList::AddFolderEntry(std::string name) {
    const auto at = LowerBound(name);
    if (at != m_names.end() && *at == name) {
        return std::nullopt;
    }
    const auto index = static_cast<std::size_t>(at - m_names.begin());
    m_names.insert(at, std::move(name));
    return index;
}

std::optional<std::size_t> CFolderList::RemoveFolderEntry(std::string_view name) {
    const auto index = IndexOf(name);
    if (index) {
        m_names.erase(m_names.begin() + static_cast<std::ptrdiff_t>(*index));
    }
    return index;
}

}  // namespace mopira
