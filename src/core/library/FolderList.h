#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/Charset.h"

namespace mopira {

// The distinct folder names shown to the user, kept in the folder collation of their
// encoding. Entries are distinct by exact bytes; names that differ only in case are two
// entries.
class CFolderList {
public:
    CFolderList() = default;
    explicit CFolderList(std::vector<std::string> names, Charset charset = Charset());

    // Adds `name` unless it is listed; returns the index it took, or nullopt when listed.
    std::optional<std::size_t> AddFolderEntry(std::string name);
    // Removes `name`; returns the index it had, or nullopt when it was not listed.
    std::optional<std::size_t> RemoveFolderEntry(std::string_view name);

    std::optional<std::size_t> IndexOf(std::string_view name) const;
    bool Contains(std::string_view name) const { return IndexOf(name).has_value(); }

    std::size_t Size() const { return m_names.size(); }
    const std::string& operator[](std::size_t index) const { return m_names[index]; }
    const std::vector<std::string>& Names() const { return m_names; }
    Charset GetCharset() const { return m_charset; }

private:
    std::vector<std::string>::const_iterator LowerBound(std::string_view name) const;

    std::vector<std::string> m_names;
    Charset m_charset;
};

}  // namespace mopira
