#pragma once

#include <cstddef>
#include <string>

namespace mopira::bench {

// FaceList.dat bytes of `count` distinct, realistic emoticons in a few dozen folders: CP932,
// hands, eyes, mouths and marks as people write them, 8 to 40 bytes spread evenly (a million
// make about 37 MB). The same count always gives the same bytes.
std::string GenerateFaceList(std::size_t count);

// The same bytes, generated once per count for the life of the process.
const std::string& CachedFaceList(std::size_t count);

}  // namespace mopira::bench
