#pragma once

#include <string_view>
#include <vector>

namespace mopira {

// The tokens of a search text: the pieces between half-width spaces (byte 0x20), empty ones
// dropped. A full-width space is an ordinary character of a token.
std::vector<std::string_view> SplitQuery(std::string_view query);

// Whether `text` contains every token, each starting on a character boundary; tokens may
// overlap and their order does not matter. True for no tokens.
bool MatchesAllTokens(std::string_view text, const std::vector<std::string_view>& tokens);

}  // namespace mopira
