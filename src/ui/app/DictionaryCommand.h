#pragma once

#include <QString>

#include "core/library/DictionaryExport.h"

namespace mopira {

// mopira [--data-dir DIR] --export-dictionary FORMAT FILE: writes the library of the data
// folder the window would use as an input method's user dictionary, without a window, and
// says in one line what it wrote. Returns the exit code: 0, or 1 when the library could not
// be read or the file not written (said on standard error).
int ExportDictionaryCommand(const QString& dataDir, DictionaryFormat format, const QString& file);

}  // namespace mopira
