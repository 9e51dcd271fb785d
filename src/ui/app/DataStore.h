#pragma once

#include <QString>
#include <string>

namespace mopira {

struct SaveResult {
    bool ok = true;
    QString error;  // why it failed, for the user
};

// The data files beside the executable. Reading never fails the program: a missing file is
// created empty, and a file that can neither be read nor created reads as empty. Saving
// replaces a file atomically, so a crash or a full disk leaves the previous file whole.
class CDataStore {
public:
    explicit CDataStore(QString directory);

    const QString& Directory() const { return m_directory; }
    QString PathOf(const QString& fileName) const;

    std::string Read(const QString& fileName) const;
    SaveResult Save(const QString& fileName, const std::string& bytes) const;
    // Whether a file can be created in the folder.
    bool IsWritable() const;

    // Makes every save fail with `reason`, and the folder count as not writable (an empty
    // reason ends it), so tests can see how the program behaves when the disk refuses.
    static void FailSavesForTesting(const QString& reason);

private:
    QString m_directory;
};

}  // namespace mopira
