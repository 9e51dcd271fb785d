#include "store/LibraryFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <vector>

#include "core/library/ConflictCopyName.h"
#include "core/library/ContentHash.h"

namespace mopira {

namespace {

// Up to this size the bytes are compared by hash at every check, so that an edit that keeps
// the size on a file system with coarse times is noticed; above it, the stamp decides first
// (its change time cannot be set back) and the bytes are read only when it differs.
constexpr std::int64_t kAlwaysHashBelow = 1 << 20;
// How long a save waits for another program's save to end.
constexpr int kLockWaitMs = 5000;
// How many names the copy kept before a conversion tries: FaceList.sjis.dat, .2, .3, ...
constexpr int kCopyNames = 1000;
// A file missing at start is looked for again after these pauses.
constexpr int kMissingRetryMs[] = {100, 300, 600};
// A file written less than this long ago may still be being written.
constexpr std::int64_t kSettleNs = 200'000'000;
constexpr int kSettlePollMs = 200;
constexpr int kSettleTries = 10;

std::int64_t NowNs() {
    return QDateTime::currentMSecsSinceEpoch() * 1'000'000;
}

}  // namespace

CLibraryFile::CLibraryFile(QString directory)
    : m_directory(std::move(directory)),
      m_path(QDir(m_directory).filePath(QString::fromLatin1(kFileName))) {}

bool CLibraryFile::Lock(CFolderLock& lock, FileError& error) const {
    return lock.Take(m_directory, kLockWaitMs, error);
}

FileContent CLibraryFile::ReadSettled() const {
    FileContent content = ReadWholeFile(m_path);
    for (int tries = 0; tries < kSettleTries && content.state == FileContent::State::Read &&
                        (content.changing || content.stamp.modified > NowNs() - kSettleNs);
         ++tries) {
        QThread::msleep(kSettlePollMs);
        content = ReadWholeFile(m_path);
    }
    return content;
}

CLibraryFile::Opened CLibraryFile::Open() const {
    {
        // Another program saving right now owns its temporary file.
        CFolderLock lock;
        FileError ignored;
        if (lock.Take(m_directory, 0, ignored)) {
            RemoveTemporaryFilesOf(m_path);
        }
    }
    Opened opened;
    std::size_t missing = 0;
    for (;;) {
        FileContent content = ReadSettled();
        if (content.state == FileContent::State::Read) {
            opened.state = missing > std::size(kMissingRetryMs) ? State::Created : State::Read;
            opened.fingerprint = {content.stamp, CContentHash::Of(content.bytes)};
            opened.bytes = std::move(content.bytes);
            return opened;
        }
        if (content.state == FileContent::State::Failed) {
            opened.state = State::Unreadable;
            opened.error = content.error;
            opened.bytes = std::move(content.bytes);
            return opened;
        }
        if (missing < std::size(kMissingRetryMs)) {
            QThread::msleep(static_cast<unsigned long>(kMissingRetryMs[missing++]));
            continue;
        }
        if (missing > std::size(kMissingRetryMs) + 3) {
            break;  // it keeps coming and going: start empty, and write it at the first change
        }
        ++missing;
        // Made here, or by someone else in the meantime: either way what is there is read.
        const FileError created = CreateEmptyFile(m_path);
        if (created.Failed() && created.code != EEXIST) {
            break;
        }
    }
    opened.state = State::Missing;
    opened.fingerprint = {FileStamp{}, CContentHash::Of({})};
    return opened;
}

bool CLibraryFile::IsUnchanged(FileFingerprint& known, FileContent& current) const {
    const FileStamp stamp = StampOf(m_path);
    if (!stamp.exists) {
        return true;
    }
    if (stamp == known.stamp) {
        if (stamp.size >= kAlwaysHashBelow) {
            return true;
        }
        // The stamp alone may miss an edit on a file system with coarse times; the bytes of a
        // small file tell, at once (it is ours, just written, or long still).
        current = ReadWholeFile(m_path);
        if (current.state == FileContent::State::Read &&
            CContentHash::Of(current.bytes) == known.hash) {
            known.stamp = current.stamp;
            return true;
        }
    }
    current = ReadSettled();
    switch (current.state) {
        case FileContent::State::Missing:
            return true;
        case FileContent::State::Failed:
            return false;
        case FileContent::State::Read:
            break;
    }
    if (known.stamp.exists && CContentHash::Of(current.bytes) == known.hash) {
        // Touched, or written again with the same bytes: nothing to take in.
        known.stamp = current.stamp;
        return true;
    }
    return false;
}

FileError CLibraryFile::Write(const ChunkProducer& produce, FileFingerprint& written) const {
    CContentHash hash;
    FileStamp stamp;
    const FileError error = ReplaceFile(
        m_path,
        [&](const ChunkSink& sink) {
            produce([&](std::string_view bytes) {
                hash.Update(bytes);
                return sink(bytes);
            });
        },
        &stamp);
    if (!error.Failed()) {
        written = {stamp, hash.Final()};
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
        error = CreateNewFile(kept, bytes, ResolvedPath(m_path));
        if (error.code != EEXIST) {
            return error;
        }
    }
    return error;
}

FileError CLibraryFile::KeepRecovery(std::string_view bytes, QString& path) const {
    const QString name =
        QStringLiteral("FaceList.recovery-%1.dat")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")));
    path = QDir(m_directory).filePath(name);
    FileError error = CreateNewFile(path, bytes, ResolvedPath(m_path));
    if (!error.Failed()) {
        return error;
    }
    // The data folder takes nothing: the user's own state folder keeps it for the next start.
    path = QDir(StateFolder(m_directory)).filePath(name);
    return CreateNewFile(path, bytes, path);
}

namespace {

const QLatin1String kBaseName("FaceList.base.dat");

}  // namespace

FileContent CLibraryFile::ReadBase() const {
    return ReadWholeFile(QDir(StateFolder(m_directory)).filePath(kBaseName));
}

FileError CLibraryFile::KeepBase(std::string_view bytes) const {
    const QString path = QDir(StateFolder(m_directory)).filePath(kBaseName);
    const FileStamp stamp = StampOf(path);
    if (stamp.exists && stamp.size == static_cast<std::int64_t>(bytes.size())) {
        const FileContent kept = ReadWholeFile(path);
        if (kept.state == FileContent::State::Read && kept.bytes == bytes) {
            return {};
        }
    }
    return ReplaceFile(path, bytes);
}

QStringList CLibraryFile::ConflictCopies() const {
    return ConflictCopiesOf(m_path);
}

QStringList ConflictCopiesOf(const QString& path) {
    const QFileInfo file(ResolvedPath(path));
    const QDir dir = file.absoluteDir();
    std::vector<std::pair<std::pair<std::uint64_t, unsigned>, QString>> found;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        if (const auto copy =
                ParseConflictCopyName(name.toStdString(), file.fileName().toStdString())) {
            found.emplace_back(copy->SortKey(), dir.filePath(name));
        }
    }
    std::sort(found.begin(), found.end());
    QStringList copies;
    for (const auto& [key, copyPath] : found) {
        copies << copyPath;
    }
    return copies;
}

bool CLibraryFile::IsSynchronised() const {
    static const QStringList marks = {
        QStringLiteral(".stfolder"),          QStringLiteral(".dropbox"),
        QStringLiteral(".sync_*.db"),         QStringLiteral("._sync_*.db"),
        QStringLiteral(".nextcloudsync.log"), QStringLiteral(".owncloudsync.log")};
    for (QDir dir(QFileInfo(ResolvedPath(m_path)).absolutePath());;) {
        if (!dir.entryList(marks, QDir::AllEntries | QDir::Hidden | QDir::System).isEmpty()) {
            return true;
        }
        if (!dir.cdUp()) {
            return false;
        }
    }
}

QStringList CLibraryFile::RecoveryFiles() const {
    QStringList files;
    for (const QString& folder : {m_directory, StateFolder(m_directory)}) {
        const QDir dir(folder);
        // The names carry the time they were kept: in name order, oldest first.
        for (const QString& name :
             dir.entryList({QStringLiteral("FaceList.recovery-*.dat")}, QDir::Files, QDir::Name)) {
            files << dir.filePath(name);
        }
    }
    return files;
}

}  // namespace mopira
