#include "store/PlatformFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtGlobal>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace mopira {

// ---------------------------------------------------------------------------------------------
// Fault seam

struct CFileFaultSeam::State {
    FileStep step;
    int code;
    std::int64_t afterBytes;
    Action action;
    QString fileName;
    std::atomic<int> hits{0};
    std::atomic<int> limit{-1};  // none
    std::mutex mutex;
    std::condition_variable released;
    bool bReleased = false;
    bool bHolding = false;

    void Strike() { ++hits; }
    void Release() {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            bReleased = true;
        }
        released.notify_all();
    }
    // Waits while the seam holds the step.
    void HoldHere() {
        if (action != Action::Hold) {
            return;
        }
        Strike();
        std::unique_lock<std::mutex> lock(mutex);
        bHolding = true;
        released.wait(lock, [this] { return bReleased; });
        bHolding = false;
    }
};

namespace {

// The seam a test installed; the disk thread takes its own reference, so a seam removed while a
// file operation runs stays valid until that operation is done.
std::mutex g_seamMutex;
std::shared_ptr<CFileFaultSeam::State> g_seam;

using SeamPtr = std::shared_ptr<CFileFaultSeam::State>;

// Temporary files are named after their target, so a crash's leftovers are recognised as ours
// and nobody else's: "FaceList.dat.mopira-Ab3dE9.tmp".
const QLatin1String kTemporaryInfix(".mopira-");
const QLatin1String kTemporarySuffix(".tmp");
constexpr int kTemporaryRandomLength = 6;
// Pieces smaller than this are gathered before they are written.
constexpr std::size_t kWriteBuffer = 64 * 1024;

QString RandomSuffix() {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix;
    for (int i = 0; i < kTemporaryRandomLength; ++i) {
        suffix += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(62)]);
    }
    return suffix;
}

QString TemporaryPathFor(const QString& path) {
    return path + kTemporaryInfix + RandomSuffix() + kTemporarySuffix;
}

// The seam's failure at a step that fails as a whole, or none.
bool FailsHere(const SeamPtr& seam, FileStep step, FileError& error) {
    if (seam && seam->action == CFileFaultSeam::Action::Fail) {
        seam->Strike();
        error = {step, seam->code};
        return true;
    }
    return false;
}

// Kills the process right after a step's real work, where a test asked for it.
void KillIfAsked(const SeamPtr& seam) {
#ifdef Q_OS_UNIX
    if (seam && seam->action == CFileFaultSeam::Action::Kill) {
        seam->Strike();
        ::raise(SIGKILL);
    }
#else
    Q_UNUSED(seam);
#endif
}

}  // namespace

CFileFaultSeam::CFileFaultSeam(FileStep step, int code, std::int64_t afterBytes, Action action,
                               QString fileName)
    : m_state(std::make_shared<State>()) {
    m_state->step = step;
    m_state->code = code;
    m_state->afterBytes = afterBytes;
    m_state->action = action;
    m_state->fileName = std::move(fileName);
    const std::lock_guard<std::mutex> lock(g_seamMutex);
    m_previous = std::move(g_seam);
    g_seam = m_state;
}

CFileFaultSeam::~CFileFaultSeam() {
    {
        const std::lock_guard<std::mutex> lock(g_seamMutex);
        g_seam = std::move(m_previous);
    }
    m_state->Release();
}

int CFileFaultSeam::Hits() const {
    return m_state->hits.load();
}

void CFileFaultSeam::Limit(int times) {
    m_state->limit = times;
}

bool CFileFaultSeam::Holding() const {
    const std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->bHolding;
}

void CFileFaultSeam::Release() {
    m_state->Release();
}

std::shared_ptr<CFileFaultSeam::State> CFileFaultSeam::At(FileStep step, const QString& path) {
    SeamPtr seam;
    {
        const std::lock_guard<std::mutex> lock(g_seamMutex);
        seam = g_seam;
    }
    if (!seam || seam->step != step) {
        return nullptr;
    }
    if (!seam->fileName.isEmpty() && QFileInfo(path).fileName() != seam->fileName) {
        return nullptr;
    }
    if (const int limit = seam->limit.load(); limit >= 0 && seam->hits.load() >= limit) {
        return nullptr;
    }
    return seam;
}

// ---------------------------------------------------------------------------------------------
// Names

bool IsTemporaryFileOf(const QString& fileName, const QString& path) {
    const QString prefix = QFileInfo(path).fileName() + kTemporaryInfix;
    if (!fileName.startsWith(prefix) || !fileName.endsWith(kTemporarySuffix) ||
        fileName.size() != prefix.size() + kTemporaryRandomLength + kTemporarySuffix.size()) {
        return false;
    }
    for (qsizetype i = prefix.size(); i < prefix.size() + kTemporaryRandomLength; ++i) {
        const QChar c = fileName[i];
        if (!(c.isDigit() || (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
              (c >= QLatin1Char('A') && c <= QLatin1Char('Z')))) {
            return false;
        }
    }
    return true;
}

int RemoveTemporaryFilesOf(const QString& path) {
    const QFileInfo target(ResolvedPath(path));
    QDir dir = target.absoluteDir();
    int removed = 0;
    const QStringList candidates =
        dir.entryList({target.fileName() + kTemporaryInfix + QLatin1Char('*')},
                      QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : candidates) {
        if (IsTemporaryFileOf(name, target.filePath()) && dir.remove(name)) {
            ++removed;
        }
    }
    return removed;
}

#ifdef Q_OS_UNIX

// ---------------------------------------------------------------------------------------------
// POSIX

namespace {

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

std::int64_t Nanoseconds(const struct timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 +
           static_cast<std::int64_t>(time.tv_nsec);
}

FileStamp StampFrom(const struct stat& info) {
    FileStamp stamp;
    stamp.exists = true;
    stamp.size = static_cast<std::int64_t>(info.st_size);
    stamp.modified = Nanoseconds(info.st_mtim);
    stamp.changed = Nanoseconds(info.st_ctim);
    stamp.device = static_cast<std::uint64_t>(info.st_dev);
    stamp.inode = static_cast<std::uint64_t>(info.st_ino);
    return stamp;
}

// Opens a new temporary file for `path`, never one that exists.
int OpenTemporary(const QString& path, QString& temporary, FileError& error) {
    if (FailsHere(CFileFaultSeam::At(FileStep::Create, path), FileStep::Create, error)) {
        return -1;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = TemporaryPathFor(path);
        const int fd =
            ::open(Native(temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            KillIfAsked(CFileFaultSeam::At(FileStep::Create, path));
            return fd;
        }
        if (errno != EEXIST) {
            error = {FileStep::Create, errno};
            return -1;
        }
    }
    error = {FileStep::Create, EEXIST};
    return -1;
}

// Writes the bytes of one replacement, gathering small pieces, checking every write.
class CCheckedWriter {
public:
    CCheckedWriter(int fd, const QString& target) : m_fd(fd), m_target(target) {
        m_buffer.reserve(kWriteBuffer);
    }

    bool Put(std::string_view bytes) {
        if (m_error.Failed()) {
            return false;
        }
        if (m_buffer.size() + bytes.size() < kWriteBuffer) {
            m_buffer.append(bytes);
            return true;
        }
        if (!m_buffer.empty()) {
            if (!WriteOut(FileStep::Write, m_buffer)) {
                return false;
            }
            m_buffer.clear();
        }
        if (bytes.size() >= kWriteBuffer) {
            return WriteOut(FileStep::Write, bytes);
        }
        m_buffer.append(bytes);
        return true;
    }

    bool Flush() {
        if (m_error.Failed()) {
            return false;
        }
        const bool ok = WriteOut(FileStep::Flush, m_buffer);
        m_buffer.clear();
        return ok;
    }

    const FileError& Error() const { return m_error; }

private:
    bool WriteOut(FileStep step, std::string_view bytes) {
        const SeamPtr seam = CFileFaultSeam::At(step, m_target);
        std::size_t allowed = bytes.size();
        bool failAfter = false;
        if (seam && seam->action == CFileFaultSeam::Action::Fail) {
            const std::int64_t room = std::max<std::int64_t>(0, seam->afterBytes - m_written);
            if (static_cast<std::int64_t>(bytes.size()) >= room) {
                allowed = static_cast<std::size_t>(room);
                failAfter = true;
            }
        }
        std::size_t done = 0;
        while (done < allowed) {
            const ssize_t n = ::write(m_fd, bytes.data() + done, allowed - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                // A write that takes nothing is a full disk by another name.
                m_error = {step, n < 0 ? errno : ENOSPC};
                return false;
            }
            done += static_cast<std::size_t>(n);
            m_written += n;
        }
        if (failAfter) {
            seam->Strike();
            m_error = {step, seam->code};
            return false;
        }
        if (seam && seam->action == CFileFaultSeam::Action::Kill && m_written >= seam->afterBytes) {
            KillIfAsked(seam);
        }
        return true;
    }

    int m_fd;
    QString m_target;
    std::string m_buffer;
    std::int64_t m_written = 0;
    FileError m_error;
};

// Runs one step that a single call does, with the fault seam around it.
template <class Call>
bool RunStep(FileStep step, const QString& path, FileError& error, Call call) {
    const SeamPtr seam = CFileFaultSeam::At(step, path);
    if (FailsHere(seam, step, error)) {
        return false;
    }
    if (seam) {
        seam->HoldHere();
    }
    int result;
    do {
        result = call();
    } while (result < 0 && errno == EINTR && step != FileStep::Close);
    if (result < 0) {
        error = {step, errno};
        return false;
    }
    KillIfAsked(seam);
    return true;
}

}  // namespace

FileStamp StampOf(const QString& path) {
    struct stat info {};
    if (::stat(Native(path).constData(), &info) != 0) {
        return {};
    }
    return StampFrom(info);
}

QString ResolvedPath(const QString& path) {
    struct stat info {};
    if (::lstat(Native(path).constData(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return path;
    }
    // A link may lead through other links, or to a file not made yet.
    QString resolved = path;
    for (int depth = 0; depth < 40; ++depth) {
        const QString target = QFileInfo(resolved).symLinkTarget();
        if (target.isEmpty()) {
            break;
        }
        resolved = target;
        if (::lstat(Native(resolved).constData(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            break;
        }
    }
    return resolved;
}

FileContent ReadWholeFile(const QString& path) {
    FileContent content;
    std::size_t total = 0;
    // What was read before a failure stays: it may be shown, never written back.
    auto fail = [&content, &total](FileStep step, int code) {
        content.state = FileContent::State::Failed;
        content.error = {step, code};
        content.bytes.resize(total);
        return std::move(content);
    };
    if (FileError error;
        FailsHere(CFileFaultSeam::At(FileStep::Open, path), FileStep::Open, error)) {
        return error.code == ENOENT ? std::move(content) : fail(error.step, error.code);
    }
    const int fd = ::open(Native(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT) {
            return content;  // missing
        }
        return fail(FileStep::Open, errno);
    }
    struct FdCloser {
        int fd;
        ~FdCloser() { ::close(fd); }
    } closer{fd};

    struct stat before {};
    if (::fstat(fd, &before) != 0) {
        return fail(FileStep::Status, errno);
    }
    if (S_ISDIR(before.st_mode)) {
        return fail(FileStep::Open, EISDIR);
    }
    if (!S_ISREG(before.st_mode)) {
        // A FIFO would wait for a writer forever, a device never ends.
        content.state = FileContent::State::Failed;
        content.error = {FileStep::Open, 0, FileProblem::NotRegular};
        return content;
    }
    const auto size = static_cast<std::size_t>(std::max<off_t>(before.st_size, 0));
    SeamPtr seam = CFileFaultSeam::At(FileStep::Read, path);
    if (seam && seam->action == CFileFaultSeam::Action::Hold) {
        seam->HoldHere();
        seam = nullptr;
    }
    // One byte more than the size, so that a file that grew is read to its end too.
    content.bytes.resize(size + 1);
    for (;;) {
        if (total == content.bytes.size()) {
            content.bytes.resize(content.bytes.size() * 2);
        }
        std::size_t want = content.bytes.size() - total;
        if (seam && seam->afterBytes >= static_cast<std::int64_t>(total)) {
            want = std::min<std::size_t>(want, static_cast<std::size_t>(seam->afterBytes) - total);
            if (want == 0) {
                seam->Strike();
                if (seam->action == CFileFaultSeam::Action::ShortRead) {
                    break;
                }
                return fail(FileStep::Read, seam->code);
            }
        }
        const ssize_t n = ::read(fd, content.bytes.data() + total, want);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail(FileStep::Read, errno);
        }
        if (n == 0) {
            break;
        }
        total += static_cast<std::size_t>(n);
    }
    content.bytes.resize(total);
    if (total < size) {
        content.state = FileContent::State::Failed;
        content.error = {FileStep::Read, 0, FileProblem::ShortRead};
        return content;
    }
    struct stat after {};
    if (::fstat(fd, &after) != 0) {
        return fail(FileStep::Status, errno);
    }
    content.state = FileContent::State::Read;
    content.stamp = StampFrom(after);
    content.changing = !(StampFrom(before) == content.stamp) ||
                       static_cast<std::int64_t>(total) != content.stamp.size;
    return content;
}

FileError CreateEmptyFile(const QString& path) {
    FileError error;
    if (FailsHere(CFileFaultSeam::At(FileStep::Create, path), FileStep::Create, error)) {
        return error;
    }
    const int fd = ::open(Native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return {FileStep::Create, errno};
    }
    ::close(fd);
    SyncDirectory(QFileInfo(path).absolutePath());
    return error;
}

bool CanCreateFilesIn(const QString& directory) {
    const QString probe = QDir(directory).filePath(QStringLiteral(".mopira-write-test"));
    QString temporary;
    FileError error;
    const int fd = OpenTemporary(probe, temporary, error);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    ::unlink(Native(temporary).constData());
    return true;
}

bool MayWriteFile(const QString& path) {
    if (::access(Native(path).constData(), F_OK) != 0) {
        return true;
    }
    return ::access(Native(path).constData(), W_OK) == 0;
}

namespace {

// Writes a new temporary file beside `path` with what `produce` gives, flushed to the disk and
// closed, with the permissions and group of `modeOf` where it exists. On failure nothing is
// left behind.
bool WriteTemporaryFor(const QString& path, const QString& modeOf, const ChunkProducer& produce,
                       QString& temporary, FileError& error) {
    const int fd = OpenTemporary(path, temporary, error);
    if (fd < 0) {
        return false;
    }
    bool open = true;
    auto cleanUp = [&] {
        if (open) {
            ::close(fd);
        }
        ::unlink(Native(temporary).constData());
        return false;
    };
    struct stat old {};
    if (::stat(Native(modeOf).constData(), &old) == 0) {
        // The group first: changing it may clear the set-group bit the mode then restores.
        // A group the user is not in cannot be given; the file then keeps the user's own.
        if (::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
            errno = 0;
        }
        ::fchmod(fd, old.st_mode & 07777);
    }

    CCheckedWriter writer(fd, path);
    produce([&writer](std::string_view bytes) { return writer.Put(bytes); });
    if (!writer.Flush()) {
        error = writer.Error();
        return cleanUp();
    }
    if (!RunStep(FileStep::Sync, path, error, [fd] { return ::fsync(fd); })) {
        return cleanUp();
    }
    open = false;
    if (!RunStep(FileStep::Close, path, error, [fd] { return ::close(fd); })) {
        return cleanUp();
    }
    return true;
}

}  // namespace

FileError ReplaceFile(const QString& path, const ChunkProducer& produce, FileStamp* written) {
    FileError error;
    // Through a link, the file it names is replaced, beside itself, and the link stays.
    const QString target = ResolvedPath(path);
    struct stat existing {};
    if (::stat(Native(target).constData(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        return {FileStep::Open, 0, FileProblem::NotRegular};
    }
    QString temporary;
    if (!WriteTemporaryFor(target, target, produce, temporary, error)) {
        return error;
    }
    const QByteArray from = Native(temporary);
    const QByteArray to = Native(target);
    if (!RunStep(FileStep::Rename, path, error,
                 [&] { return ::rename(from.constData(), to.constData()); })) {
        ::unlink(from.constData());
        return error;
    }
    SyncDirectory(QFileInfo(target).absolutePath());
    if (written) {
        *written = StampOf(target);
    }
    return error;
}

FileError CreateNewFile(const QString& path, std::string_view bytes, const QString& modeOf) {
    FileError error;
    QString temporary;
    if (!WriteTemporaryFor(
            modeOf, modeOf, [bytes](const ChunkSink& sink) { sink(bytes); }, temporary, error)) {
        return error;
    }
    // A hard link is made only where no file is: the whole new file, or nothing and EEXIST.
    const QByteArray from = Native(temporary);
    const QByteArray to = Native(path);
    const bool linked = RunStep(FileStep::Rename, path, error, [&] {
        const int result = ::link(from.constData(), to.constData());
        if (result < 0 && (errno == EPERM || errno == EOPNOTSUPP || errno == ENOSYS)) {
            // A file system without hard links: the caller's lock keeps our own writers out.
            if (StampOf(path).exists) {
                errno = EEXIST;
                return -1;
            }
            return ::rename(from.constData(), to.constData());
        }
        return result;
    });
    ::unlink(from.constData());
    if (linked) {
        SyncDirectory(QFileInfo(path).absolutePath());
    }
    return error;
}

void SyncDirectory(const QString& directory) {
    const int fd = ::open(Native(directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void IgnoreFileSizeLimitSignal() {
    ::signal(SIGXFSZ, SIG_IGN);
}

#else

// ---------------------------------------------------------------------------------------------
// Elsewhere: Qt's files, whose errors carry no system number; they are told as I/O errors.

FileStamp StampOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return {};
    }
    FileStamp stamp;
    stamp.exists = true;
    stamp.size = info.size();
    stamp.modified = info.lastModified().toMSecsSinceEpoch() * 1'000'000;
    stamp.changed = info.metadataChangeTime().toMSecsSinceEpoch() * 1'000'000;
    return stamp;
}

QString ResolvedPath(const QString& path) {
    const QFileInfo info(path);
    return info.isSymLink() ? info.symLinkTarget() : path;
}

FileContent ReadWholeFile(const QString& path) {
    FileContent content;
    QFile file(path);
    if (!file.exists()) {
        return content;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        content.state = FileContent::State::Failed;
        content.error = {FileStep::Open, EACCES};
        return content;
    }
    const qint64 size = file.size();
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.size() < size) {
        content.state = FileContent::State::Failed;
        content.error = bytes.size() < size ? FileError{FileStep::Read, 0, FileProblem::ShortRead}
                                            : FileError{FileStep::Read, EIO};
        return content;
    }
    content.state = FileContent::State::Read;
    content.bytes.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    content.stamp = StampOf(path);
    return content;
}

FileError CreateEmptyFile(const QString& path) {
    QFile file(path);
    if (file.exists()) {
        return {FileStep::Create, EEXIST};
    }
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        return {};
    }
    return {FileStep::Create, file.exists() ? EEXIST : EACCES};
}

bool CanCreateFilesIn(const QString& directory) {
    QFile probe(TemporaryPathFor(QDir(directory).filePath(QStringLiteral(".mopira-write-test"))));
    if (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        return false;
    }
    probe.remove();
    return true;
}

bool MayWriteFile(const QString& path) {
    const QFileInfo info(path);
    return !info.exists() || info.isWritable();
}

FileError ReplaceFile(const QString& path, const ChunkProducer& produce, FileStamp* written) {
    const QString target = ResolvedPath(path);
    const QFileInfo info(target);
    if (info.exists() && !info.isFile()) {
        return {FileStep::Open, 0, FileProblem::NotRegular};
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) {
        return {FileStep::Open, EACCES};
    }
    bool ok = true;
    produce([&](std::string_view bytes) {
        ok = ok && file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                       static_cast<qint64>(bytes.size());
        return ok;
    });
    if (!ok || !file.flush()) {
        file.cancelWriting();
        return {FileStep::Write, EIO};
    }
    if (!file.commit()) {
        return {FileStep::Rename, EIO};
    }
    if (written) {
        *written = StampOf(target);
    }
    return {};
}

FileError CreateNewFile(const QString& path, std::string_view bytes, const QString&) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        return {FileStep::Create, file.exists() ? EEXIST : EACCES};
    }
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !file.flush()) {
        file.remove();
        return {FileStep::Write, EIO};
    }
    return {};
}

void SyncDirectory(const QString&) {}

void IgnoreFileSizeLimitSignal() {}

#endif

FileError ReplaceFile(const QString& path, std::string_view bytes, FileStamp* written) {
    return ReplaceFile(
        path, [bytes](const ChunkSink& sink) { sink(bytes); }, written);
}

}  // namespace mopira
