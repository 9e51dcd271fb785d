#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mopira {

// The tokens of a search text: the pieces between half-width spaces (byte 0x20), empty ones
// dropped. A full-width space is an ordinary character of a token.
std::vector<std::string_view> SplitQuery(std::string_view query);

// One search text, ready to be matched against many texts of one encoding (`Rules` is Cp932
// or Utf8). A text matches when it contains every token, each starting on a character
// boundary; tokens may overlap and their order does not matter. Every text matches a query
// without tokens.
template <class Rules>
class CQueryMatcher {
public:
    explicit CQueryMatcher(std::string_view query) {
        std::string buffer;
        for (std::string_view token : SplitQuery(query)) {
            m_tokens.emplace_back(Rules::SearchForm(token, buffer));
            m_bCodeVariants = m_bCodeVariants || Rules::HasCodeVariants(m_tokens.back());
        }
    }

    bool Empty() const { return m_tokens.empty(); }

    // Not thread-safe: the search form of a text is built in a buffer of the matcher.
    bool Matches(std::string_view text) const {
        // Only a token holding a character with several codes can match a text through
        // another code; every other query compares the texts' bytes as they are.
        const std::string_view form = m_bCodeVariants ? Rules::SearchForm(text, m_buffer) : text;
        for (const std::string& token : m_tokens) {
            if (!Rules::Contains(form, token)) {
                return false;
            }
        }
        return true;
    }

private:
    std::vector<std::string> m_tokens;
    bool m_bCodeVariants = false;
    mutable std::string m_buffer;
};

}  // namespace mopira
