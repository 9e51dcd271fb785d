#include "ui/platform/PlatformFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtGlobal>
#include <atomic>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace mopira {

namespace {

// Saves run on a thread of their own: the seam a test installs is seen there too.
std::atomic<CFileFaultSeam*> g_faultSeam{nullptr};

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

QString StepPhrase(FileStep step) {
    switch (step) {
        case FileStep::Open:
            return QStringLiteral("開くとき");
        case FileStep::Status:
            return QStringLiteral("大きさを調べるとき");
        case FileStep::Read:
            return QStringLiteral("読み込み中");
        case FileStep::Lock:
            return QStringLiteral("保存の準備中");
        case FileStep::Create:
            return QStringLiteral("作成するとき");
        case FileStep::Write:
        case FileStep::Flush:
            return QStringLiteral("書き込み中");
        case FileStep::Sync:
            return QStringLiteral("ディスクへの書き出し中");
        case FileStep::Close:
            return QStringLiteral("閉じるとき");
        case FileStep::Rename:
            return QStringLiteral("置き換えるとき");
    }
    return {};
}

// Kills the process right after a step's real work, where a test asked for it.
void KillIfAsked(CFileFaultSeam* seam) {
#ifdef Q_OS_UNIX
    if (seam && seam->GetAction() == CFileFaultSeam::Action::Kill) {
        seam->Strike();
        ::raise(SIGKILL);
    }
#else
    Q_UNUSED(seam);
#endif
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Fault seam

CFileFaultSeam::CFileFaultSeam(FileStep step, int code, std::int64_t afterBytes, Action action,
                               QString fileName)
    : m_step(step),
      m_code(code),
      m_afterBytes(afterBytes),
      m_action(action),
      m_fileName(std::move(fileName)),
      m_previous(g_faultSeam.load()) {
    g_faultSeam = this;
}

CFileFaultSeam::~CFileFaultSeam() {
    g_faultSeam = m_previous;
    Release();
}

void CFileFaultSeam::Release() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bReleased = true;
    }
    m_released.notify_all();
}

void CFileFaultSeam::HoldHere() {
    if (m_action != Action::Hold) {
        return;
    }
    Strike();
    std::unique_lock<std::mutex> lock(m_mutex);
    m_bHolding = true;
    m_released.wait(lock, [this] { return m_bReleased; });
    m_bHolding = false;
}

CFileFaultSeam* CFileFaultSeam::At(FileStep step, const QString& path) {
    CFileFaultSeam* seam = g_faultSeam.load();
    if (!seam || seam->m_step != step) {
        return nullptr;
    }
    if (!seam->m_fileName.isEmpty() && QFileInfo(path).fileName() != seam->m_fileName) {
        return nullptr;
    }
    return seam;
}

// ---------------------------------------------------------------------------------------------
// Messages

QString DescribeFileError(const FileError& error) {
    QString reason;
    if (error.shortRead) {
        reason = QStringLiteral("ファイルを最後まで読み込めませんでした");
    } else {
        switch (error.code) {
            case ENOSPC:
                reason = QStringLiteral("ディスクの空き容量が足りません");
                break;
#ifdef EDQUOT
            case EDQUOT:
                reason = QStringLiteral("ディスクの使用量の上限を超えています");
                break;
#endif
            case EACCES:
            case EPERM:
                reason = QStringLiteral("アクセスが拒否されました");
                break;
            case EROFS:
                reason = QStringLiteral("読み取り専用のドライブです");
                break;
            case EFBIG:
                reason =
                    QStringLiteral("ファイルが大きすぎます (ファイルの大きさの上限を超えます)");
                break;
            case EIO:
                reason = QStringLiteral("ディスクの読み書きでエラーが発生しました");
                break;
            case ENOENT:
            case ENOTDIR:
                reason = QStringLiteral("ファイルまたはフォルダが見つかりません");
                break;
            case EISDIR:
                reason = QStringLiteral("ファイルではなくフォルダです");
                break;
            case ENAMETOOLONG:
                reason = QStringLiteral("パスが長すぎます");
                break;
            case EMFILE:
            case ENFILE:
                reason = QStringLiteral("開いているファイルが多すぎます");
                break;
            case ENOMEM:
                reason = QStringLiteral("メモリが足りません");
                break;
            case EILSEQ:
                reason = QStringLiteral(
                    "ほかのプログラムが書き込んだ顔文字の一覧を UTF-8 に変換できません");
                break;
            case EBUSY:
            case EAGAIN:
                reason = QStringLiteral("ほかのプログラムが使用中です");
                break;
            default:
                reason = QStringLiteral("エラー %1: %2")
                             .arg(error.code)
                             .arg(qt_error_string(error.code));
                break;
        }
    }
    return QStringLiteral("%1 (%2)").arg(reason, StepPhrase(error.step));
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
    const QFileInfo target(path);
    QDir dir = target.absoluteDir();
    int removed = 0;
    const QStringList candidates =
        dir.entryList({target.fileName() + kTemporaryInfix + QLatin1Char('*')},
                      QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : candidates) {
        if (IsTemporaryFileOf(name, path) && dir.remove(name)) {
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

FileStamp StampFrom(const struct stat& info) {
    FileStamp stamp;
    stamp.exists = true;
    stamp.size = static_cast<std::int64_t>(info.st_size);
    stamp.modified = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 +
                     static_cast<std::int64_t>(info.st_mtim.tv_nsec);
    stamp.device = static_cast<std::uint64_t>(info.st_dev);
    stamp.inode = static_cast<std::uint64_t>(info.st_ino);
    return stamp;
}

// Opens a new temporary file for `path`, never one that exists.
int OpenTemporary(const QString& path, QString& temporary, FileError& error) {
    if (CFileFaultSeam* seam = CFileFaultSeam::At(FileStep::Create, path);
        seam && seam->GetAction() == CFileFaultSeam::Action::Fail) {
        seam->Strike();
        error = {FileStep::Create, seam->Code()};
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
        CFileFaultSeam* seam = CFileFaultSeam::At(step, m_target);
        std::size_t allowed = bytes.size();
        bool failAfter = false;
        if (seam && seam->GetAction() == CFileFaultSeam::Action::Fail) {
            const std::int64_t room = std::max<std::int64_t>(0, seam->AfterBytes() - m_written);
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
            m_error = {step, seam->Code()};
            return false;
        }
        if (seam && seam->GetAction() == CFileFaultSeam::Action::Kill &&
            m_written >= seam->AfterBytes()) {
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
    CFileFaultSeam* seam = CFileFaultSeam::At(step, path);
    if (seam && seam->GetAction() == CFileFaultSeam::Action::Fail) {
        seam->Strike();
        error = {step, seam->Code()};
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
    if (CFileFaultSeam* seam = CFileFaultSeam::At(FileStep::Open, path);
        seam && seam->GetAction() == CFileFaultSeam::Action::Fail) {
        seam->Strike();
        return fail(FileStep::Open, seam->Code());
    }
    const int fd = ::open(Native(path).constData(), O_RDONLY | O_CLOEXEC);
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

    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return fail(FileStep::Status, errno);
    }
    if (S_ISDIR(info.st_mode)) {
        return fail(FileStep::Open, EISDIR);
    }
    const auto size = static_cast<std::size_t>(std::max<off_t>(info.st_size, 0));
    CFileFaultSeam* seam = CFileFaultSeam::At(FileStep::Read, path);
    if (seam && seam->GetAction() == CFileFaultSeam::Action::Hold) {
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
        if (seam && seam->AfterBytes() >= static_cast<std::int64_t>(total)) {
            want =
                std::min<std::size_t>(want, static_cast<std::size_t>(seam->AfterBytes()) - total);
            if (want == 0) {
                seam->Strike();
                if (seam->GetAction() == CFileFaultSeam::Action::ShortRead) {
                    break;
                }
                return fail(FileStep::Read, seam->Code());
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
        content.error = {FileStep::Read, 0, true};
        return content;
    }
    content.state = FileContent::State::Read;
    content.stamp = StampFrom(info);
    return content;
}

FileError CreateEmptyFile(const QString& path) {
    FileError error;
    if (CFileFaultSeam* seam = CFileFaultSeam::At(FileStep::Create, path);
        seam && seam->GetAction() == CFileFaultSeam::Action::Fail) {
        seam->Strike();
        return {FileStep::Create, seam->Code()};
    }
    const int fd = ::open(Native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno != EEXIST) {
            error = {FileStep::Create, errno};
        }
        return error;
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

namespace {

// Writes a new temporary file beside `path` with what `produce` gives, flushed to the disk and
// closed, keeping the permissions the user gave `path`. On failure nothing is left behind.
bool WriteTemporaryFor(const QString& path, const ChunkProducer& produce, QString& temporary,
                       FileError& error) {
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
    if (::stat(Native(path).constData(), &old) == 0) {
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
    QString temporary;
    if (!WriteTemporaryFor(path, produce, temporary, error)) {
        return error;
    }
    const QByteArray from = Native(temporary);
    const QByteArray to = Native(path);
    if (!RunStep(FileStep::Rename, path, error,
                 [&] { return ::rename(from.constData(), to.constData()); })) {
        ::unlink(from.constData());
        return error;
    }
    SyncDirectory(QFileInfo(path).absolutePath());
    if (written) {
        *written = StampOf(path);
    }
    return error;
}

FileError CreateNewFile(const QString& path, std::string_view bytes, const QString& modeOf) {
    FileError error;
    QString temporary;
    if (!WriteTemporaryFor(
            modeOf, [bytes](const ChunkSink& sink) { sink(bytes); }, temporary, error)) {
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
    return stamp;
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
        content.error = {FileStep::Read, bytes.size() < size ? 0 : EIO, bytes.size() < size};
        return content;
    }
    content.state = FileContent::State::Read;
    content.bytes.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    content.stamp = StampOf(path);
    return content;
}

FileError CreateEmptyFile(const QString& path) {
    QFile file(path);
    if (file.exists() || file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        return {};
    }
    return {FileStep::Open, EACCES};
}

bool CanCreateFilesIn(const QString& directory) {
    QFile probe(TemporaryPathFor(QDir(directory).filePath(QStringLiteral(".mopira-write-test"))));
    if (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        return false;
    }
    probe.remove();
    return true;
}

FileError ReplaceFile(const QString& path, const ChunkProducer& produce, FileStamp* written) {
    QSaveFile file(path);
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
        *written = StampOf(path);
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
