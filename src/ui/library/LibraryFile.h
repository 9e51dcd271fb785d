#pragma once

#include <QFileSystemWatcher>
#include <QLockFile>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <string>

#include "ui/platform/PlatformFile.h"

namespace mopira {

// FaceList.dat, the library's file, and the only code that reads, writes or locks it. It
// remembers what it last read or wrote (the file's stamp and a hash of its bytes), so that a
// change made by anyone else is noticed before a save would write over it, and while the
// program is idle.
//
// The reading and writing run on the library's own thread, one at a time; the watch runs on
// the window's thread and only says that the file may have changed.
class CLibraryFile : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kFileName = "FaceList.dat";

    enum class State {
        Unread,      // not opened yet
        Read,        // read whole
        Created,     // it did not exist and was created empty
        Missing,     // it did not exist and could not be created; the library starts empty
        Unreadable,  // it exists but could not be read whole: it must never be written
    };

    explicit CLibraryFile(QString directory, QObject* parent = nullptr);

    QString Directory() const { return m_directory; }
    QString Path() const { return m_path; }
    State GetState() const { return m_state; }
    // Why the file could not be read (State::Unreadable).
    const FileError& ReadError() const { return m_readError; }

    // Reads the file once at start and returns its bytes (of an unreadable file, what could be
    // read before the failure, to be shown and never written; none for a new one). Temporary
    // files a crash left beside it are removed first, unless another program is saving.
    std::string Open();
    // Whether new files can be made in the folder: a save needs a temporary file.
    bool CanWrite() const;

    // The save lock of the data folder: held, no other program of ours writes the file. Waits
    // a little for another save to end; a lock left by a program that died is taken over.
    std::unique_ptr<QLockFile> Lock(FileError& error) const;

    // Whether the file still holds what this object last read or wrote. When it does not,
    // `current` holds what it holds now, or why that could not be read. A file that vanished
    // counts as unchanged: the next save writes it again rather than taking it for an empty
    // library.
    bool IsUnchanged(FileContent& current);
    // Takes content read by IsUnchanged (its stamp and the hash of its bytes) as what the
    // file now holds.
    void Adopt(const FileStamp& stamp, std::uint64_t hash);

    // Replaces the file with what `produce` gives; remembers it on success.
    FileError Write(const ChunkProducer& produce);

    // Keeps `bytes` (what the file holds before it becomes UTF-8) beside it as
    // FaceList.sjis.dat, or FaceList.sjis.2.dat and on when that name is taken: an existing
    // file is never written over. Call with the save lock held.
    FileError KeepCopy(std::string_view bytes) const;

    // Watches the file; changedOnDisk() follows any change of it or of its folder, once things
    // have settled (a save of this program's own among them: IsUnchanged tells).
    void Watch();

signals:
    void changedOnDisk();

private:
    void Remember(const FileStamp& stamp, std::uint64_t hash);
    void OnWatchEvent();
    void CheckAfterEvents();

    QString m_directory;
    QString m_path;
    State m_state = State::Unread;
    FileError m_readError;
    // What this object last read or wrote.
    FileStamp m_stamp;
    std::uint64_t m_hash = 0;
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer m_settle;
};

}  // namespace mopira
