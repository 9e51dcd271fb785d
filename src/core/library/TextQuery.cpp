#include "core/library/TextQuery.h"

namespace mopira {

std::vector<std::string_view> SplitQuery(std::string_view query) {
    std::vector<std::string_view> tokens;
    std::size_t start = 0;
    while (start < query.size()) {
        std::size_t end = query.find(' ', start);
        if (end == std::string_view::npos) {
            end = query.size();
        }
        if (end > start) {
            tokens.push_back(query.substr(start, end - start));
        }
        start = end + 1;
    }
    return tokens;
}

}  // namespace mopira
