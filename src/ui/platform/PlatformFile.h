#pragma once

#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace mopira {

// The steps of reading a file and of replacing one, so that a failure can say where it
// happened and a test can make the real code fail at any of them.
enum class FileStep { Open, Status, Read, Lock, Create, Write, Flush, Sync, Close, Rename };

// Why a file operation failed, as the system reported it.
struct FileError {
    FileStep step = FileStep::Open;
    int code = 0;            // the system's error number; 0 when nothing failed
    bool shortRead = false;  // the file ended before the size it had when opened

    bool Failed() const { return code != 0 || shortRead; }
};

// The reason of a failure in the user's words (Japanese), with the step it happened at.
QString DescribeFileError(const FileError& error);

// What identifies a file's present content cheaply, without reading it.
struct FileStamp {
    bool exists = false;
    std::int64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds since the epoch
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const QString& path);

// A whole file as read: missing (it does not exist), read whole, or failed (it exists but
// could not be read whole: opening or reading failed, or it ended short of its size; `bytes`
// then holds what was read before the failure).
struct FileContent {
    enum class State { Missing, Read, Failed };
    State state = State::Missing;
    std::string bytes;
    FileError error;
    FileStamp stamp;  // of the file read
};

FileContent ReadWholeFile(const QString& path);

// Creates `path` empty unless it exists; an existing file is never touched.
FileError CreateEmptyFile(const QString& path);

// Whether a new file can be created in `directory` (tried with a temporary file of ours).
bool CanCreateFilesIn(const QString& directory);

// Replaces `path` with the bytes that `produce` hands to the sink it is given (in pieces of
// any size; the sink answers false once writing has failed, and the producer may stop then). The
// bytes go to a temporary file beside `path`, every write is checked, the file is flushed to the
// disk and closed, and only then renamed over `path`; the folder is synced after. On any failure
// the temporary file is removed and `path` is left as it was. On success `written` (when given)
// receives the new file's stamp.
using ChunkSink = std::function<bool(std::string_view)>;
using ChunkProducer = std::function<void(const ChunkSink&)>;
FileError ReplaceFile(const QString& path, const ChunkProducer& produce,
                      FileStamp* written = nullptr);
FileError ReplaceFile(const QString& path, std::string_view bytes, FileStamp* written = nullptr);

// Creates `path` with `bytes`, flushed to the disk, with the permissions of `modeOf`; fails
// with EEXIST, touching nothing, when `path` exists. The file appears whole or not at all.
FileError CreateNewFile(const QString& path, std::string_view bytes, const QString& modeOf);

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
// is installed, it replaces any earlier one; it removes itself when destroyed.
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
    int Hits() const { return m_hits.load(); }
    // For Hold: whether a step waits now, and letting it (and any later one) go on.
    bool Holding() const { return m_bHolding.load(); }
    void Release();
    // For the file code: waits while this seam holds the step.
    void HoldHere();

    // For the file code: the seam that applies to `path` at `step`, or null.
    static CFileFaultSeam* At(FileStep step, const QString& path);
    FileStep Step() const { return m_step; }
    int Code() const { return m_code; }
    std::int64_t AfterBytes() const { return m_afterBytes; }
    Action GetAction() const { return m_action; }
    void Strike() { ++m_hits; }

private:
    FileStep m_step;
    int m_code;
    std::int64_t m_afterBytes;
    Action m_action;
    QString m_fileName;
    std::atomic<int> m_hits{0};
    std::atomic<bool> m_bHolding{false};
    std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_bReleased = false;
    CFileFaultSeam* m_previous;
};

}  // namespace mopira
