#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "core/text/Charset.h"

namespace mopira {

// Sorts `ids` by the text `textOf(id)` gives each, in Charset::Compare order, ascending or
// descending. Ids whose texts are equal keep their relative order.
template <class Id, class TextOf>
void SortByText(std::vector<Id>& ids, TextOf textOf, bool ascending = true) {
    struct Entry {
        Charset::Key key;
        std::uint32_t position;
        Id id;
    };
    std::vector<Entry> entries;
    entries.reserve(ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        entries.push_back({Charset::SortKey(textOf(ids[i])), static_cast<std::uint32_t>(i), ids[i]});
    }
    auto less = [&](const Entry& a, const Entry& b) {
        if (a.key != b.key) {
            return ascending ? a.key < b.key : a.key > b.key;
        }
        const int order = Charset::Compare(textOf(a.id), textOf(b.id));
        if (order != 0) {
            return ascending ? order < 0 : order > 0;
        }
        return a.position < b.position;
    };
    std::sort(entries.begin(), entries.end(), less);
    for (std::size_t i = 0; i < ids.size(); ++i) {
        ids[i] = entries[i].id;
    }
}

}  // namespace mopira
