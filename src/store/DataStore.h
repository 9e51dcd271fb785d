#pragma once

#include <QString>
#include <string>

namespace mopira {

// The data files beside the executable that the program only reads (the parts files). A
// missing file is created empty, so the user finds it to fill; one that cannot be read
// counts as empty. The library's own file has an owner of its own (CLibraryFile).
class CDataStore {
public:
    explicit CDataStore(QString directory);

    const QString& Directory() const { return m_directory; }
    QString PathOf(const QString& fileName) const;

    std::string Read(const QString& fileName) const;
    // Whether a file can be created in the folder.
    bool IsWritable() const;

private:
    QString m_directory;
};

}  // namespace mopira
