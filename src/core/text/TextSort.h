#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/text/Charset.h"

namespace mopira {

namespace detail {

template <class Id>
struct SortEntry {
    TextKey key;
    std::uint32_t position;
    Id id;
};

// Orders by key first; only texts whose keys tie are compared in full, and equal texts keep
// their order. `Descending` flips the text order, not the order of equal texts.
template <class Rules, bool Descending, class Id, class TextOf>
void SortEntries(std::vector<SortEntry<Id>>& entries, TextOf& textOf) {
    std::sort(entries.begin(), entries.end(),
              [&textOf](const SortEntry<Id>& a, const SortEntry<Id>& b) {
                  if (a.key.high != b.key.high) {
                      return (a.key.high < b.key.high) != Descending;
                  }
                  if (a.key.low != b.key.low) {
                      return (a.key.low < b.key.low) != Descending;
                  }
                  const int order = Rules::Compare(textOf(a.id), textOf(b.id));
                  if (order != 0) {
                      return (order < 0) != Descending;
                  }
                  return a.position < b.position;
              });
}

}  // namespace detail

// Sorts `ids` by the text `textOf(id)` gives each, in `charset`'s Compare order, ascending or
// descending. Ids whose texts are equal keep their relative order.
template <class Id, class TextOf>
void SortByText(std::vector<Id>& ids, TextOf textOf, Charset charset, bool ascending = true) {
    charset.Visit([&](auto rules) {
        using Rules = decltype(rules);
        std::vector<detail::SortEntry<Id>> entries;
        entries.reserve(ids.size());
        for (std::size_t i = 0; i < ids.size(); ++i) {
            entries.push_back(
                {Rules::SortKey(textOf(ids[i])), static_cast<std::uint32_t>(i), ids[i]});
        }
        if (ascending) {
            detail::SortEntries<Rules, false>(entries, textOf);
        } else {
            detail::SortEntries<Rules, true>(entries, textOf);
        }
        for (std::size_t i = 0; i < ids.size(); ++i) {
            ids[i] = entries[i].id;
        }
    });
}

}  // namespace mopira
