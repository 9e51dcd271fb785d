#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace mopira {

// The steps of reading a file and of replacing one, so that a failure can say where it
// happened and a test can make the real code fail at any of them.
enum class FileStep { Open, Status, Read, Lock, Create, Write, Flush, Sync, Close, Rename };

// What went wrong beyond the system's error number.
enum class FileProblem {
    None,
    ShortRead,   // the file ended before the size it had when opened
    NotRegular,  // a FIFO, a device or a folder where a file was to be replaced
    ReadOnly,    // the user may not write the file, though the folder would let it be replaced
};

// Why a file operation failed, as the system reported it.
struct FileError {
    FileStep step = FileStep::Open;
    int code = 0;  // the system's error number; 0 when nothing failed
    FileProblem problem = FileProblem::None;

    bool Failed() const { return code != 0 || problem != FileProblem::None; }
    bool operator==(const FileError&) const = default;
};

// What identifies a file's present content without reading it. The change time moves with
// every write and cannot be set back by the writer, so a rewrite that keeps the size and
// restores the modification time still differs.
struct FileStamp {
    bool exists = false;
    std::int64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds since the epoch
    std::int64_t changed = 0;   // status change, nanoseconds since the epoch
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file `path` names (through a symbolic link).
FileStamp StampOf(const QString& path);

// A whole file as read: missing (it does not exist), read whole, or failed (it exists but
// could not be read whole: opening or reading failed, or it ended short of its size; `bytes`
// then holds what was read before the failure).
struct FileContent {
    enum class State { Missing, Read, Failed };
    State state = State::Missing;
    std::string bytes;
    FileError error;
    // Of the file read, taken after the read: it describes these bytes.
    FileStamp stamp;
    // The file changed while it was read (another program writes it in place): the bytes may
    // be half of one version and half of another.
    bool changing = false;
};

FileContent ReadWholeFile(const QString& path);

// Creates `path` empty unless it exists. An existing file is never touched: that is reported
// as EEXIST, so the caller reads what is there.
FileError CreateEmptyFile(const QString& path);

// Whether a new file can be created in `directory` (tried with a temporary file of ours).
bool CanCreateFilesIn(const QString& directory);

// Whether the user may write the file itself (a missing file counts as writable). Replacing
// needs only the folder, so a file the user may not write would otherwise be replaced.
bool MayWriteFile(const QString& path);

// Replaces `path` with the bytes that `produce` hands to the sink it is given (in pieces of
// any size; the sink answers false once writing has failed, and the producer may stop then).
// The bytes go to a temporary file beside the file, every write is checked, the file is
// flushed to the disk and closed, and only then renamed over it; the folder is synced after.
// A symbolic link is written through: the file it names is replaced and the link stays. The
// new file keeps the old one's permissions and group. Something that is not a regular file
// (a FIFO, a device, a folder) is never replaced. On any failure the temporary file is removed
// and the file is left as it was. On success `written` (when given) receives the new stamp.
using ChunkSink = std::function<bool(std::string_view)>;
using ChunkProducer = std::function<void(const ChunkSink&)>;
FileError ReplaceFile(const QString& path, const ChunkProducer& produce,
                      FileStamp* written = nullptr);
FileError ReplaceFile(const QString& path, std::string_view bytes, FileStamp* written = nullptr);

// Creates `path` with `bytes`, flushed to the disk, with the permissions of `modeOf`; fails
// with EEXIST, touching nothing, when `path` exists. The file appears whole or not at all.
FileError CreateNewFile(const QString& path, std::string_view bytes, const QString& modeOf);

// The file a path names once symbolic links are followed; the path itself when it names no
// link or the link leads nowhere yet.
QString ResolvedPath(const QString& path);

// Temporary files that ReplaceFile makes for `path` and a crash may leave behind.
bool IsTemporaryFileOf(const QString& fileName, const QString& path);
// Removes every such file; returns how many were removed.
int RemoveTemporaryFilesOf(const QString& path);

// Makes a rename inside `directory` durable: on POSIX systems the directory entry itself
// must reach the disk. Elsewhere the rename is durable already and this does nothing.
void SyncDirectory(const QString& directory);

// A file-size limit (ulimit -f) would otherwise kill the process at the write that crosses
// it; ignored, the write fails and is reported like a full disk.
void IgnoreFileSizeLimitSignal();

// Makes the real file code above fail at one step, for tests: the steps before it really
// run (a write really writes the bytes before the failure), then the step fails with `code`,
// and the code's own clean-up runs. Only files whose name is `fileName` are affected (all
// when it is empty); the temporary file of a replacement counts as its target's. While one
// is installed, it replaces any earlier one; it removes itself when destroyed. The disk
// thread sees it as the test's thread does: installing and removing are safe while a file
// operation runs.
class CFileFaultSeam {
public:
    enum class Action {
        Fail,       // the step fails with `code`
        ShortRead,  // reading ends after `afterBytes` as if the file ended there
        Kill,       // the process is killed (SIGKILL) right after the step's real work
        Hold,       // the step waits, before its real work, until Release (or the seam's end)
    };

    CFileFaultSeam(FileStep step, int code, std::int64_t afterBytes = 0,
                   Action action = Action::Fail, QString fileName = {});
    ~CFileFaultSeam();
    CFileFaultSeam(const CFileFaultSeam&) = delete;
    CFileFaultSeam& operator=(const CFileFaultSeam&) = delete;

    // How many times the fault struck.
    int Hits() const;
    // Strikes only the first `times` times; the step then works again (a file missing for a
    // moment, a disk full until something is deleted).
    void Limit(int times);
    // For Hold: whether a step waits now, and letting it (and any later one) go on.
    bool Holding() const;
    void Release();

    // What the file code sees of an installed seam; it lives as long as the code holds it.
    struct State;
    // For the file code: the seam that applies to `path` at `step`, or null.
    static std::shared_ptr<State> At(FileStep step, const QString& path);

private:
    std::shared_ptr<State> m_state;
    std::shared_ptr<State> m_previous;
};

}  // namespace mopira
