#pragma once

#include <cstddef>
#include <string>

namespace mopira::bench {

// FaceList.dat bytes of `count` distinct, realistic emoticons (CP932, 8 to 40 bytes, hands,
// eyes, mouths and marks as people write them) in a few dozen folders. The same count always
// gives the same bytes.
std::string GenerateFaceList(std::size_t count);

}  // namespace mopira::bench
