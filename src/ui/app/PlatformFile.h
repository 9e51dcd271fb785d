#pragma once

#include <QString>

namespace mopira {

// Makes a rename inside `directory` durable: on POSIX systems the directory entry itself
// must reach the disk. Elsewhere the rename is durable already and this does nothing.
void SyncDirectory(const QString& directory);

}  // namespace mopira
