#pragma once

#include <QString>

#include "store/PlatformFile.h"

namespace mopira {

// The reason of a failure in the user's words, with the step it happened at.
QString DescribeFileError(const FileError& error);

}  // namespace mopira
