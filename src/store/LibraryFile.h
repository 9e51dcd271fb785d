#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>
#include <string_view>

#include "store/FolderLock.h"
#include "store/PlatformFile.h"

namespace mopira {

// What the program last agreed with the file on: the stamp of the file and a hash of the
// bytes it read from it or wrote to it. Both always describe the same bytes.
struct FileFingerprint {
    FileStamp stamp;
    std::uint64_t hash = 0;
    bool operator==(const FileFingerprint&) const = default;
};

// FaceList.dat, the library's file, and the only code that reads, writes or locks it. It holds
// no state of its own beyond its paths: what the program last agreed with the file on is
// handed in and out (FileFingerprint), so a copy of this object can work on the disk thread
// while the window's thread keeps the fingerprint.
class CLibraryFile {
public:
    static constexpr const char* kFileName = "FaceList.dat";

    explicit CLibraryFile(QString directory);

    QString Directory() const { return m_directory; }
    QString Path() const { return m_path; }

    // How the file was found at start.
    enum class State {
        Read,        // read whole
        Created,     // it did not exist and was created empty
        Missing,     // it did not exist and could not be created; the library starts empty
        Unreadable,  // it exists but could not be read whole: it must never be written
    };
    struct Opened {
        State state = State::Read;
        std::string bytes;  // of an unreadable file, what was read before the failure
        FileError error;    // why it could not be read (Unreadable)
        FileFingerprint fingerprint;
    };
    // Reads the file at start. Temporary files a crash left beside it are removed first, unless
    // another program is saving. A missing file is looked for again a few times (a sync tool
    // may be replacing it: deleted, then renamed into place) before it is created empty; when
    // another program creates it meanwhile, what it holds is read.
    Opened Open() const;

    // Whether the file still holds what `known` describes. When it does not, `current` holds
    // what it holds now (read once it has stopped changing), or why that could not be read.
    // A file that vanished counts as unchanged: the next save writes it again rather than
    // taking it for an empty library. `known` takes a new stamp of the same bytes.
    bool IsUnchanged(FileFingerprint& known, FileContent& current) const;
    // What the file holds now, once it has been still for a moment (or after a few seconds of
    // waiting for that).
    FileContent ReadSettled() const;

    // Replaces the file with what `produce` gives; `written` describes it on success.
    FileError Write(const ChunkProducer& produce, FileFingerprint& written) const;

    // Keeps `bytes` (what the file holds before it becomes UTF-8) beside it as
    // FaceList.sjis.dat, or FaceList.sjis.2.dat and on when that name is taken: an existing
    // file is never written over. Call with the save lock held.
    FileError KeepCopy(std::string_view bytes) const;
    // Keeps `bytes` as a recovery file of the library, FaceList.recovery-DATE-TIME.dat, in the
    // data folder, or in the user's state folder when the data folder takes no new file. Its
    // path comes back in `path`.
    FileError KeepRecovery(std::string_view bytes, QString& path) const;
    // The recovery files kept so far, in the data folder and the state folder, oldest first.
    QStringList RecoveryFiles() const;

    // The base: what the file held when this machine last took it from the disk, kept in the
    // user's state folder (never beside the file, where a sync tool would carry it away). A
    // conflict copy another machine left is merged against it, so that what the copy lacks of
    // it counts as removed there and what it has beyond it as added.
    FileContent ReadBase() const;
    // Keeps `bytes` as the base, unless it holds them already.
    FileError KeepBase(std::string_view bytes) const;

    // The conflict copies of the file that sync tools left beside it, oldest first.
    QStringList ConflictCopies() const;
    // Whether the data folder lies in a folder a sync tool keeps (Syncthing, Nextcloud or
    // ownCloud, Dropbox), found by the marks those tools leave at the folder's root.
    bool IsSynchronised() const;

    // The save lock of the data folder: held, no other program of ours writes the file. Waits
    // a little for another save to end.
    bool Lock(CFolderLock& lock, FileError& error) const;

private:
    QString m_directory;
    QString m_path;
};

// The conflict copies of the file at `path` that sync tools left beside it, oldest first.
QStringList ConflictCopiesOf(const QString& path);

}  // namespace mopira
