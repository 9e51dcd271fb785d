#pragma once

#include "core/text/Cp932.h"

namespace mopira {

// The encoding of every text the program stores, compares, searches and shows.
using Charset = Cp932;

}  // namespace mopira
