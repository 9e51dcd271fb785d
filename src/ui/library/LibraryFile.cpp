#include "ui/library/LibraryFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <cerrno>

#include "core/library/ContentHash.h"

namespace mopira {

namespace {

// Up to this size the bytes are compared by hash at every check, so that an edit that keeps
// the size within the file system's time resolution is noticed; above it, the stamp decides
// first and the bytes are read only when it differs.
constexpr std::int64_t kAlwaysHashBelow = 1 << 20;
// How long watch events must be quiet before the file is looked at.
constexpr int kSettleMs = 300;
// How long a save waits for another program's save to end.
constexpr int kLockWaitMs = 5000;
// How many names the copy kept before a conversion tries: FaceList.sjis.dat, .2, .3, ...
constexpr int kCopyNames = 1000;

}  // namespace

CLibraryFile::CLibraryFile(QString directory, QObject* parent)
    : QObject(parent),
      m_directory(std::move(directory)),
      m_path(QDir(m_directory).filePath(QString::fromLatin1(kFileName))) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &CLibraryFile::CheckAfterEvents);
}

std::string CLibraryFile::Open() {
    {
        // Another program saving right now owns its temporary file.
        QLockFile lock(m_path + QStringLiteral(".lock"));
        if (lock.tryLock(0)) {
            RemoveTemporaryFilesOf(m_path);
        }
    }
    FileContent content = ReadWholeFile(m_path);
    switch (content.state) {
        case FileContent::State::Read:
            m_state = State::Read;
            Remember(content.stamp, CContentHash::Of(content.bytes));
            return std::move(content.bytes);
        case FileContent::State::Failed:
            m_state = State::Unreadable;
            m_readError = content.error;
            return std::move(content.bytes);
        case FileContent::State::Missing:
            break;
    }
    if (CreateEmptyFile(m_path).Failed()) {
        m_state = State::Missing;
        Remember(FileStamp{}, CContentHash::Of({}));
    } else {
        m_state = State::Created;
        Remember(StampOf(m_path), CContentHash::Of({}));
    }
    return {};
}

bool CLibraryFile::CanWrite() const {
    return CanCreateFilesIn(m_directory);
}

std::unique_ptr<QLockFile> CLibraryFile::Lock(FileError& error) const {
    auto lock = std::make_unique<QLockFile>(m_path + QStringLiteral(".lock"));
    if (lock->tryLock(kLockWaitMs)) {
        return lock;
    }
    switch (lock->error()) {
        case QLockFile::LockFailedError:
            error = {FileStep::Lock, EBUSY};
            break;
        case QLockFile::PermissionError:
            error = {FileStep::Lock, EACCES};
            break;
        default:
            // Even the small lock file does not fit on a full disk; the lock cannot say so.
            error = {FileStep::Lock,
                     QStorageInfo(m_directory).bytesAvailable() <= 0 ? ENOSPC : EIO};
            break;
    }
    return nullptr;
}

bool CLibraryFile::IsUnchanged(FileContent& current) {
    const FileStamp stamp = StampOf(m_path);
    if (!stamp.exists) {
        return true;
    }
    if (stamp == m_stamp && stamp.size >= kAlwaysHashBelow) {
        return true;
    }
    current = ReadWholeFile(m_path);
    switch (current.state) {
        case FileContent::State::Missing:
            return true;
        case FileContent::State::Failed:
            return false;
        case FileContent::State::Read:
            break;
    }
    if (m_stamp.exists && CContentHash::Of(current.bytes) == m_hash) {
        // Touched, or written again with the same bytes: nothing to take in.
        m_stamp = current.stamp;
        return true;
    }
    return false;
}

void CLibraryFile::Adopt(const FileStamp& stamp, std::uint64_t hash) {
    Remember(stamp, hash);
}

FileError CLibraryFile::Write(const ChunkProducer& produce) {
    CContentHash hash;
    FileStamp written;
    const FileError error = ReplaceFile(
        m_path,
        [&](const ChunkSink& sink) {
            produce([&](std::string_view bytes) {
                hash.Update(bytes);
                return sink(bytes);
            });
        },
        &written);
    if (!error.Failed()) {
        Remember(written, hash.Final());
    }
    return error;
}

FileError CLibraryFile::KeepCopy(std::string_view bytes) const {
    const QDir directory(m_directory);
    FileError error;
    for (int number = 1; number <= kCopyNames; ++number) {
        const QString kept =
            directory.filePath(number == 1 ? QStringLiteral("FaceList.sjis.dat")
                                           : QStringLiteral("FaceList.sjis.%1.dat").arg(number));
        error = CreateNewFile(kept, bytes, m_path);
        if (error.code != EEXIST) {
            return error;
        }
    }
    return error;
}

void CLibraryFile::Remember(const FileStamp& stamp, std::uint64_t hash) {
    m_stamp = stamp;
    m_hash = hash;
}

void CLibraryFile::Watch() {
    if (m_watcher) {
        return;
    }
    m_watcher = new QFileSystemWatcher(this);
    // The folder sees the file replaced by a rename; the file sees it written in place.
    m_watcher->addPath(m_directory);
    if (QFileInfo::exists(m_path)) {
        m_watcher->addPath(m_path);
    }
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &CLibraryFile::OnWatchEvent);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &CLibraryFile::OnWatchEvent);
}

void CLibraryFile::OnWatchEvent() {
    // A replaced file drops out of the watch; the new one is watched again.
    if (m_watcher && !m_watcher->files().contains(m_path) && QFileInfo::exists(m_path)) {
        m_watcher->addPath(m_path);
    }
    m_settle.start();
}

void CLibraryFile::CheckAfterEvents() {
    if (m_state != State::Unreadable) {
        emit changedOnDisk();
    }
}

}  // namespace mopira
