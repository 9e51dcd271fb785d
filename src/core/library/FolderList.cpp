#include "core/library/FolderList.h"

#include <algorithm>

#include "core/text/Charset.h"

namespace mopira {

namespace {

bool FolderLess(std::string_view a, std::string_view b) {
    return Charset::CompareFolderNames(a, b) < 0;
}

}  // namespace

CFolderList::CFolderList(std::vector<std::string> names) : m_names(std::move(names)) {
    std::sort(m_names.begin(), m_names.end(), FolderLess);
    m_names.erase(std::unique(m_names.begin(), m_names.end()), m_names.end());
}

std::vector<std::string>::const_iterator CFolderList::LowerBound(std::string_view name) const {
    return std::lower_bound(
        m_names.begin(), m_names.end(), name,
        [](const std::string& entry, std::string_view key) { return FolderLess(entry, key); });
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
