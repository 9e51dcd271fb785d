#include "store/DataFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "store/DataStore.h"

namespace mopira {

namespace {

const QString kLibraryFile = QStringLiteral("FaceList.dat");
const QString kHelpPage = QStringLiteral("HTMLHelp/index.htm");

// Where an install puts the starter files, seen from the executable's folder.
QString InstalledShareDir(const QString& executableDir) {
    return QDir::cleanPath(executableDir + QStringLiteral("/../share/mopira"));
}

}  // namespace

DataFolder ChooseDataFolder(const DataCandidates& candidates) {
    if (!candidates.chosen.isEmpty()) {
        return {DataMode::Chosen, candidates.chosen, candidates.shareDir};
    }
    if (candidates.executableHasLibrary) {
        return {DataMode::Portable, candidates.executableDir, {}};
    }
    const bool installed = !candidates.shareDir.isEmpty() || !candidates.executableWritable;
    if (installed && !candidates.userDir.isEmpty()) {
        return {DataMode::Installed, candidates.userDir, candidates.shareDir};
    }
    // A portable folder on its first start, or a system that names no place for the user's
    // data: the executable's folder, which the window reports when it cannot be written.
    return {DataMode::Portable, candidates.executableDir, {}};
}

DataCandidates ProbeDataCandidates(const QString& chosen, const QString& executableDir) {
    DataCandidates candidates;
    if (!chosen.isEmpty()) {
        candidates.chosen = QDir::cleanPath(QDir::current().absoluteFilePath(chosen));
    }
    candidates.executableDir = executableDir;
    candidates.executableHasLibrary =
        QFileInfo(QDir(executableDir).filePath(kLibraryFile)).isFile();
    const QString share = InstalledShareDir(executableDir);
    if (QFileInfo(QDir(share).filePath(kLibraryFile)).isFile()) {
        candidates.shareDir = share;
    }
    // Trying a write beside an installed executable would leave a trace there if it succeeded
    // (as root); only a folder that could still be portable is tried.
    if (!candidates.executableHasLibrary && candidates.shareDir.isEmpty()) {
        candidates.executableWritable = CDataStore(executableDir).IsWritable();
    }
    candidates.userDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return candidates;
}

bool PrepareDataFolder(const DataFolder& folder, QString* error) {
    if (folder.mode == DataMode::Portable) {
        return true;
    }
    const QDir directory(folder.directory);
    if (!QDir().mkpath(folder.directory) || !QFileInfo(folder.directory).isDir()) {
        if (error) {
            *error = QStringLiteral("cannot create the folder %1")
                         .arg(QDir::toNativeSeparators(folder.directory));
        }
        return false;
    }
    if (folder.starterDir.isEmpty()) {
        return true;
    }
    const QDir starter(folder.starterDir);
    QDirIterator files(folder.starterDir, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString source = files.next();
        const QString target = directory.filePath(starter.relativeFilePath(source));
        if (QFileInfo::exists(target)) {
            continue;
        }
        // QFile::copy writes a temporary file and renames it into place, and never replaces
        // an existing file: an interrupted first start leaves no half library.
        QDir().mkpath(QFileInfo(target).path());
        QFile::copy(source, target);
    }
    return true;
}

QString FindHelpPage(const QString& dataDir, const QString& executableDir) {
    for (const QString& folder : {dataDir, InstalledShareDir(executableDir)}) {
        const QString page = QDir(folder).filePath(kHelpPage);
        if (QFileInfo(page).isFile()) {
            return page;
        }
    }
    return {};
}

}  // namespace mopira
