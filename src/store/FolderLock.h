#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>

#include "store/PlatformFile.h"

class QLockFile;

namespace mopira {

// Where the program keeps what belongs to a data folder on this machine alone: keyed by the
// folder's identity (its device and inode), so that the folder reached by another path (a
// link, a bind mount) is the same folder, and never inside the folder itself, which a sync
// tool may carry to another machine.
QString FolderKey(const QString& directory);
// The user's runtime folder for such files (created when missing): $XDG_RUNTIME_DIR/mopira,
// or a folder of the user's in the temporary folder.
QString RuntimeFolder();
// What the program keeps of a data folder between runs, outside it (created when missing):
// $XDG_STATE_HOME/mopira/KEY, that is ~/.local/state/mopira/KEY by default.
QString StateFolder(const QString& directory);

// The lock that keeps two programs of ours on this machine from saving one data folder's files
// at once. It is a lock of the operating system on a file in the runtime folder: it goes with
// its process, so a crash leaves nothing that blocks, and whatever the file holds does not
// matter. A lock held on another machine is no concern of this one: the library's own check
// before every save takes in what that machine wrote.
class CFolderLock {
public:
    CFolderLock() = default;
    ~CFolderLock();
    CFolderLock(CFolderLock&& other) noexcept;
    CFolderLock& operator=(CFolderLock&& other) noexcept;

    // Takes the lock of `directory`, waiting up to `waitMs` for another program's save to end.
    // False, with `error` set (FileStep::Lock), when it cannot be had.
    bool Take(const QString& directory, int waitMs, FileError& error);
    bool IsHeld() const;
    void Release();

    // The file the lock of `directory` is taken on.
    static QString LockPath(const QString& directory);

private:
#ifdef Q_OS_UNIX
    int m_fd = -1;
#else
    std::unique_ptr<QLockFile> m_lock;
#endif
};

// The hold of a running program on a data folder, for the whole run: a lock of the operating
// system on the folder itself, so that whatever path leads there and whatever session the
// program runs in, a second program on the same folder finds it taken.
class CFolderHold {
public:
    CFolderHold() = default;
    ~CFolderHold();
    CFolderHold(const CFolderHold&) = delete;
    CFolderHold& operator=(const CFolderHold&) = delete;

    // False when another program holds the folder.
    bool Take(const QString& directory);

private:
#ifdef Q_OS_UNIX
    int m_fd = -1;
#else
    std::unique_ptr<QLockFile> m_lock;
#endif
};

// The user's name, as the session gives it.
QString UserName();

}  // namespace mopira
