#pragma once

#include "core/library/FaceLibrary.h"

namespace mopira {

// Whether a file read as a library looks like one: most of its records are text. Random
// bytes, or a file of another kind, read as records full of control characters and bytes that
// are no character; a library never holds a line break, and its other control characters
// come only from damage.
bool LooksLikeFaceList(const CFaceLibrary& library);

}  // namespace mopira
