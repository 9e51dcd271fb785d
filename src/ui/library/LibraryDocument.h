#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <vector>

#include "core/library/FaceLibrary.h"
#include "core/library/LibraryEdit.h"
#include "ui/library/LibraryFile.h"

namespace mopira {

// The user's library in memory and in its file, as one object: the window's pages read the
// library from here and change it only through Apply, which keeps the file in step.
//
// Every change is applied in memory at once, then saved. Before a save, the file is
// checked: when another program changed it since it was read or written, what it holds now is
// read, the changes not yet saved are applied to that again, and the result is written, so
// neither side is lost. A save that fails leaves the file as it was; the changes stay in
// memory and the next save writes them. A file that could not be read is never written.
class CLibraryDocument : public QObject {
    Q_OBJECT

public:
    explicit CLibraryDocument(const QString& directory, QObject* parent = nullptr);

    const CFaceLibrary& Library() const { return m_library; }
    const CLibraryFile& File() const { return m_file; }

    // Reads the file, once; later calls do nothing.
    void Load();
    bool IsLoaded() const { return m_bLoaded; }
    // The file exists but could not be read: changes are refused for this run.
    bool IsReadOnly() const;
    // The file's path and why it could not be read, for the user.
    QString ReadFailure() const;
    // Whether the data folder takes new files (so that saves can succeed).
    bool CanWrite() const { return m_file.CanWrite(); }

    // Applies a change of the user's to the library in memory; Save writes it. Refused
    // (nothing changes) while read-only.
    EditOutcome Change(const LibraryEdit& edit);

    struct SaveResult {
        // The file was changed elsewhere: the library now holds what it holds, with the
        // unsaved changes applied to it again, and every record id is new.
        bool reloaded = false;
        // Texts that unsaved changes named and that were gone from the file.
        std::vector<std::string> missing;
        // Why the save failed; the file is as it was and the changes wait for the next save.
        FileError error;
    };
    // Writes the changes made since the last save. Never writes a file that could not be read.
    SaveResult Save();

    // Whether changes are waiting for a save that succeeds.
    bool HasUnsavedChanges() const { return !m_pending.empty(); }

signals:
    // The library has been read (once, after the first Load).
    void loaded();
    // The library is about to take in what the file holds now: record ids are still valid.
    void aboutToReload();
    // While the window was idle, the file was changed elsewhere and the library now holds
    // what it holds (with unsaved changes applied again): every record id is new.
    void reloaded(const std::vector<std::string>& missing);
    // A save made while the window was idle failed.
    void saveFailed(const FileError& error);

private:
    // Takes in the file's content and applies the unsaved changes to it again.
    void TakeIn(const FileContent& content, SaveResult& result);
    void OnChangedOnDisk();

    CLibraryFile m_file;
    CFaceLibrary m_library;
    std::vector<LibraryEdit> m_pending;
    bool m_bLoaded = false;
    // While a modal dialog or a menu is open, outside changes wait: the dialog may hold
    // records of the library as it is.
    QTimer m_idleRetry;
};

}  // namespace mopira
