#include "store/DataStore.h"

#include <QDir>

#include "store/PlatformFile.h"

namespace mopira {

CDataStore::CDataStore(QString directory) : m_directory(std::move(directory)) {}

QString CDataStore::PathOf(const QString& fileName) const {
    return QDir(m_directory).filePath(fileName);
}

std::string CDataStore::Read(const QString& fileName) const {
    FileContent content = ReadWholeFile(PathOf(fileName));
    if (content.state == FileContent::State::Missing) {
        CreateEmptyFile(PathOf(fileName));
    }
    return std::move(content.bytes);
}

bool CDataStore::IsWritable() const {
    return CanCreateFilesIn(m_directory);
}

}  // namespace mopira
