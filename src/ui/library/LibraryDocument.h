#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "core/library/FaceLibrary.h"
#include "core/library/LibraryEdit.h"
#include "ui/library/LibraryFile.h"

namespace mopira {

// The user's library in memory and in its file, as one object: the window's pages read the
// library from here and change it only through Change, which keeps the file in step.
//
// The file is read, and written, on a thread of the library's own, so the window never waits
// for the disk: it paints at once while a large library loads, and goes on while one saves.
// Every change is applied in memory at once and a save is started; changes made while a save
// runs are saved together after it. Before writing, the file is checked: when another program
// changed it since it was read or written, what it holds now is read, the changes not yet
// saved are applied to that again, and the result is written and taken in, so neither side is
// lost. A save that fails leaves the file as it was; the changes stay in memory and the next
// save writes them. A file that could not be read is never written.
class CLibraryDocument : public QObject {
    Q_OBJECT

public:
    explicit CLibraryDocument(const QString& directory, QObject* parent = nullptr);
    // Waits for the last save: a change is never lost by closing.
    ~CLibraryDocument() override;

    const CFaceLibrary& Library() const { return m_library; }
    const CLibraryFile& File() const { return m_file; }

    // Starts reading the file, once; loaded() follows. Later calls do nothing.
    void Load();
    bool IsLoaded() const { return m_bLoaded; }
    bool IsLoading() const { return m_bLoading && !m_bLoaded; }
    // Starts the load if need be and lets the window run until the library is read; for
    // commands that need it. False when it cannot be waited for now (already waiting).
    bool WaitUntilLoaded();
    // The file exists but could not be read: changes are refused for this run.
    bool IsReadOnly() const;
    // The file's path and why it could not be read, for the user.
    QString ReadFailure() const;
    // Whether the data folder takes new files (so that saves can succeed).
    bool CanWrite() const { return m_file.CanWrite(); }

    // Applies a change of the user's to the library in memory and starts saving it. Refused
    // (nothing changes) before the library is read and while it is read-only.
    EditOutcome Change(const LibraryEdit& edit);

    // Makes the library UTF-8, as its owner agreed: converted in memory at once and saved
    // like any change; the save first keeps what the file holds then as FaceList.sjis.dat
    // (under a free name). When records stand in the way, nothing changes and they are
    // returned. Does nothing before the library is read, while it is read-only, or when it
    // is UTF-8 already: GetCharset tells.
    std::vector<ConversionRefusal> ConvertToUtf8();

    struct SaveResult {
        // The file was changed elsewhere: the library now holds what it holds, with the
        // unsaved changes applied to it again, and every record id is new.
        bool reloaded = false;
        // Texts that unsaved changes named and that were gone from the file.
        std::vector<std::string> missing;
        // Why the save failed; the file is as it was and the changes wait for the next save.
        FileError error;
    };
    // Waits until every change so far is saved, or its save failed, and what the library's
    // thread found is taken in; returns what the last save did. For closing, and for tests.
    SaveResult Flush();

    // Whether changes are waiting for a save that succeeds.
    bool HasUnsavedChanges() const { return !m_pending.empty(); }

signals:
    // The library has been read (once, after Load).
    void loaded();
    // The user changed the library (Change applied `edit`).
    void changed(const LibraryEdit& edit);
    // The library is about to take in what the file holds now: record ids are still valid.
    void aboutToReload();
    // The file was changed elsewhere and the library now holds what it holds (with unsaved
    // changes applied again): every record id is new. `missing` as in SaveResult.
    void reloaded(const std::vector<std::string>& missing);
    // The library became UTF-8: record ids stay, every text and folder name has new bytes.
    void converted();
    // A save succeeded, or failed (the file is as it was).
    void saved();
    void saveFailed(const FileError& error);

private:
    // What the library's thread is asked to do, and what it found.
    struct Job;
    struct Result;

    void StartSave();
    // Gives a save or a check the changes not saved yet.
    void TakePending(Job& job) const;
    void OnChangedOnDisk();
    // Runs on the library's thread.
    void Work();
    Result Run(const Job& job);
    // Back on the window's thread: takes in what the library's thread found.
    void TakeResults();
    void TakeResult(Result& result);
    void Post(std::unique_ptr<Job> job);

    CLibraryFile m_file;
    CFaceLibrary m_library;
    bool m_bLoading = false;
    bool m_bLoaded = false;
    bool m_bWaiting = false;
    // Changes since the last save that succeeded, numbered in the order they were made.
    std::vector<std::pair<std::uint64_t, LibraryEdit>> m_pending;
    std::uint64_t m_nChanges = 0;
    // What a save kept beside the file before the library became UTF-8 (a hash of it), so
    // that a save tried again after a failure keeps no second copy of the same bytes.
    std::optional<std::uint64_t> m_keptHash;
    // A job is with the library's thread; another save is wanted after it.
    bool m_bBusy = false;
    bool m_bSaveWanted = false;
    bool m_bCheckWanted = false;
    SaveResult m_lastSave;
    // While a modal dialog or a menu is open, outside changes wait: the dialog may hold
    // records of the library as it is.
    QTimer m_idleRetry;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::unique_ptr<Job> m_job;
    std::deque<std::unique_ptr<Result>> m_results;
    bool m_bStop = false;
    bool m_bWorking = false;
    std::thread m_thread;
};

}  // namespace mopira
