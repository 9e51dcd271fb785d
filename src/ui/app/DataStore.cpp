#include "ui/app/DataStore.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryFile>

#include "ui/app/PlatformFile.h"

namespace mopira {

namespace {

QString g_failSaves;

}  // namespace

CDataStore::CDataStore(QString directory) : m_directory(std::move(directory)) {}

QString CDataStore::PathOf(const QString& fileName) const {
    return QDir(m_directory).filePath(fileName);
}

std::string CDataStore::Read(const QString& fileName) const {
    QFile file(PathOf(fileName));
    if (!file.exists()) {
        // Created so the user finds the file to fill; failing that, the data is empty.
        file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
        return {};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

SaveResult CDataStore::Save(const QString& fileName, const std::string& bytes) const {
    if (!g_failSaves.isEmpty()) {
        return {false, g_failSaves};
    }
    QSaveFile file(PathOf(fileName));
    if (!file.open(QIODevice::WriteOnly)) {
        return {false, file.errorString()};
    }
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size())) {
        const QString error = file.errorString();
        file.cancelWriting();
        return {false, error};
    }
    // commit() flushes the temporary file to disk before renaming it over the old one.
    if (!file.commit()) {
        return {false, file.errorString()};
    }
    SyncDirectory(m_directory);
    return {};
}

bool CDataStore::IsWritable() const {
    if (!g_failSaves.isEmpty()) {
        return false;
    }
    QTemporaryFile probe(PathOf(QStringLiteral(".write-test-XXXXXX")));
    return probe.open();
}

void CDataStore::FailSavesForTesting(const QString& reason) {
    g_failSaves = reason;
}

}  // namespace mopira
