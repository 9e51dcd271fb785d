#include "store/FolderLock.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace mopira {

namespace {

// How often a waiting save looks again whether the lock is free.
constexpr int kLockPollMs = 20;

}  // namespace

QString UserName() {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) {
        user = qEnvironmentVariable("USERNAME");
    }
    return user;
}

QString FolderKey(const QString& directory) {
#ifdef Q_OS_UNIX
    struct stat info {};
    if (::stat(QFile::encodeName(directory).constData(), &info) == 0) {
        return QStringLiteral("%1-%2")
            .arg(static_cast<qulonglong>(info.st_dev))
            .arg(static_cast<qulonglong>(info.st_ino));
    }
#endif
    // Elsewhere, or for a folder not made yet: its canonical path stands for it.
    QString canonical = QFileInfo(directory).canonicalFilePath();
    if (canonical.isEmpty()) {
        canonical = QFileInfo(directory).absoluteFilePath();
    }
    return QString::number(qHash(canonical), 16);
}

QString RuntimeFolder() {
    // Without XDG_RUNTIME_DIR Qt would make up one of its own, and warn.
    const QString base = qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")
                             ? QString()
                             : QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    QString folder = base.isEmpty() ? QString() : QDir(base).filePath(QStringLiteral("mopira"));
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        // The name carries the user, so that two users of one machine never meet.
        folder = QDir(QDir::tempPath()).filePath(QStringLiteral("mopira-%1").arg(UserName()));
        QDir().mkpath(folder);
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return folder;
}

QString StateFolder(const QString& directory) {
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty()) {
#ifdef Q_OS_UNIX
        base = QDir::home().filePath(QStringLiteral(".local/state"));
#else
        base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#endif
    }
    const QString folder =
        QDir(base).filePath(QStringLiteral("mopira/%1").arg(FolderKey(directory)));
    QDir().mkpath(folder);
    return folder;
}

QString CFolderLock::LockPath(const QString& directory) {
    return QDir(RuntimeFolder()).filePath(QStringLiteral("%1.lock").arg(FolderKey(directory)));
}

CFolderLock::~CFolderLock() {
    Release();
}

#ifdef Q_OS_UNIX

CFolderLock::CFolderLock(CFolderLock&& other) noexcept : m_fd(other.m_fd) {
    other.m_fd = -1;
}

CFolderLock& CFolderLock::operator=(CFolderLock&& other) noexcept {
    if (this != &other) {
        Release();
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

bool CFolderLock::IsHeld() const {
    return m_fd >= 0;
}

void CFolderLock::Release() {
    if (m_fd >= 0) {
        ::close(m_fd);  // closing lets go of the lock
        m_fd = -1;
    }
}

bool CFolderLock::Take(const QString& directory, int waitMs, FileError& error) {
    Release();
    const QString base = LockPath(directory);
    // Something of another kind where the lock file belongs (a folder someone made) is not
    // ours and must not block: every program of ours then takes the next name instead.
    int fd = -1;
    for (int attempt = 0; attempt < 10 && fd < 0; ++attempt) {
        const QString path = attempt == 0 ? base : base + QStringLiteral(".%1").arg(attempt);
        fd = ::open(QFile::encodeName(path).constData(),
                    O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
        if (fd < 0 && errno != EISDIR && errno != ELOOP && errno != ENXIO && errno != EACCES) {
            error = {FileStep::Lock, errno};
            return false;
        }
        struct stat info {};
        if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
            ::close(fd);
            fd = -1;
        }
    }
    if (fd < 0) {
        error = {FileStep::Lock, EACCES};
        return false;
    }
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            m_fd = fd;
            return true;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            // A file system without locks: the lock file alone keeps our own writers apart no
            // better than nothing, and one program runs per folder anyway.
            if (errno == ENOLCK || errno == EOPNOTSUPP) {
                m_fd = fd;
                return true;
            }
            error = {FileStep::Lock, errno};
            ::close(fd);
            return false;
        }
        if (deadline.hasExpired()) {
            error = {FileStep::Lock, EBUSY};
            ::close(fd);
            return false;
        }
        QThread::msleep(kLockPollMs);
    }
}

CFolderHold::~CFolderHold() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool CFolderHold::Take(const QString& directory) {
    const int fd =
        ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return true;  // no folder to hold: the program says so when it reads its files
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool taken = errno == EWOULDBLOCK;
        ::close(fd);
        // A file system that takes no locks cannot tell; the save lock still keeps saves apart.
        return !taken;
    }
    m_fd = fd;
    return true;
}

#else

CFolderHold::~CFolderHold() = default;

bool CFolderHold::Take(const QString& directory) {
    auto lock = std::make_unique<QLockFile>(
        QDir(RuntimeFolder()).filePath(QStringLiteral("%1.hold").arg(FolderKey(directory))));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        return false;
    }
    m_lock = std::move(lock);
    return true;
}

CFolderLock::CFolderLock(CFolderLock&& other) noexcept : m_lock(std::move(other.m_lock)) {}

CFolderLock& CFolderLock::operator=(CFolderLock&& other) noexcept {
    m_lock = std::move(other.m_lock);
    return *this;
}

bool CFolderLock::IsHeld() const {
    return m_lock != nullptr;
}

void CFolderLock::Release() {
    m_lock.reset();
}

bool CFolderLock::Take(const QString& directory, int waitMs, FileError& error) {
    auto lock = std::make_unique<QLockFile>(LockPath(directory));
    if (!lock->tryLock(waitMs)) {
        error = {FileStep::Lock, lock->error() == QLockFile::LockFailedError ? EBUSY : EACCES};
        return false;
    }
    m_lock = std::move(lock);
    return true;
}

#endif

}  // namespace mopira
