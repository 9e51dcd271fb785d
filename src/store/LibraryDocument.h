#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/library/FaceLibrary.h"
#include "core/library/KeywordTable.h"
#include "core/library/LibraryEdit.h"
#include "core/library/LibraryMerge.h"
#include "store/PlatformFile.h"

namespace mopira {

class CDiskThread;

// Whether the library may be changed in this run, and if not, why.
enum class LibraryAccess {
    Writable,
    Unreadable,      // the file exists but could not be read whole: it is never written
    FileReadOnly,    // the user may not write the file
    FolderReadOnly,  // the data folder takes no new file, so no save could succeed
};

// Why changes wait for a save that succeeds. They stay in memory and are tried again.
struct SaveFailure {
    QString path;
    FileError error;
    // A change waits because the file's encoding cannot hold this emoticon (bytes in
    // `charset`): another program took the file back to Shift_JIS.
    std::string waiting;
    Charset charset;
    bool operator==(const SaveFailure&) const = default;
};

// Another program left the file in a state that would lose much of the library if it were
// taken as it is: nothing is taken or written until the user chooses (Resolve).
struct SuspiciousChange {
    enum class Kind {
        Empty,        // the file is empty
        NotALibrary,  // its lines are mostly not text (control characters, undecodable bytes)
        MostGone,     // it lacks more than a quarter of the emoticons the window shows
    };
    Kind kind = Kind::Empty;
    std::size_t fileRecords = 0;
    std::size_t missingRecords = 0;
    std::size_t libraryRecords = 0;
};

// How a suspicious change is settled. Nothing is lost either way: what is not kept goes to a
// recovery file beside the library.
enum class SuspiciousChoice {
    TakeFile,      // the library becomes what the file holds (the user's own unsaved changes
                   // applied to it); the library as it was is kept in a recovery file
    WriteLibrary,  // the library is written back; what the file held is kept in a recovery file
};

// The user's library in memory and in its file, as one object: the window reads the library
// from here and changes it only through Change, which keeps the file in step, and hears of
// every change, its own and those read from the file, through the signals.
//
// The file is read and written on the disk thread, so the window never waits for the disk.
// Every change is applied in memory at once and a save is started; changes made while a save
// runs are saved together after it. Before writing, the file is checked: when another program
// changed it, what it holds now is read, the changes not yet saved are applied to it again,
// and the result is written and taken in, so neither side is lost. A save that fails leaves
// the file as it was; the changes stay in memory and are tried again on their own, less and
// less often. A file that could not be read is never written.
//
// A sync tool that finds the file changed on two machines at once keeps one version and
// leaves the other beside it as a conflict copy. Every look at the file also looks for those:
// each is merged as a change of its own, against the base (what this machine last read from
// the file), and removed once that change is saved.
class CLibraryDocument : public QObject {
    Q_OBJECT

public:
    explicit CLibraryDocument(const QString& directory, QObject* parent = nullptr);
    // Saves what waits (Flush); the window asks the user first when that fails.
    ~CLibraryDocument() override;

    QString Directory() const;
    QString Path() const;
    const CFaceLibrary& Library() const;
    // The folders' readings and the emoticons' keywords (Keywords.dat beside the library). They
    // follow the library's changes (an edited text keeps its keywords, a deleted one loses
    // them) and are saved like it, in a file of their own: changes another program or machine
    // made to that file meanwhile, or left in a conflict copy of it, are merged, not lost.
    const CKeywordTable& Keywords() const;
    // Sets a folder's reading or an emoticon's keywords (names in the library's encoding of
    // this moment) and starts saving them; keywordsChanged follows. False when nothing
    // changed or the library may not be changed.
    bool SetFolderReading(std::string_view folder, std::string_view reading);
    bool SetFaceKeywords(std::string_view text, CKeywordTable::Keywords keywords);
    // The thread every file of the data folder is read and written on.
    CDiskThread& DiskThread();

    // Starts reading the file, once; loaded() follows. Later calls do nothing.
    void Load();
    bool IsLoaded() const;
    bool IsLoading() const;
    // Starts the load if need be and lets the window run until the library is read; for
    // commands that need it. False when it cannot be waited for now (a command waits
    // already) or the wait was cancelled: the command does not run.
    bool WaitUntilLoaded();
    // Ends every wait for the load: the window is closing.
    void CancelWaits();

    LibraryAccess Access() const;
    // Why the file could not be read (LibraryAccess::Unreadable).
    FileError ReadError() const;
    // The library is read and may be changed.
    bool CanChange() const;

    // Applies a change of the user's to the library in memory and starts saving it; its texts
    // are in the library's encoding of this moment. Refused (nothing changes) unless CanChange.
    EditOutcome Change(const LibraryEdit& edit);
    // The same for a change whose texts are in `madeIn`, which may not be the library's
    // encoding (a recovery file's, another machine's): they are converted, and a change whose
    // texts the library cannot hold is refused (`waiting` names the text).
    EditOutcome Change(const LibraryEdit& edit, Charset madeIn);
    // The recovery files an earlier closing kept, oldest first.
    QStringList RecoveryFiles() const;
    // Makes the library UTF-8, as its owner agreed: converted in memory at once and saved
    // like any change; the save first keeps what the file holds then as FaceList.sjis.dat
    // (under a free name). When records stand in the way, nothing changes and they are
    // returned. Does nothing unless CanChange, or when the library is UTF-8 already.
    std::vector<ConversionRefusal> ConvertToUtf8();

    // Imports on the disk thread: the lines are applied to what the file holds, with the
    // changes not saved yet, and the result written and then taken in (as a reload). `done`
    // follows on the window's thread with what was added, found and refused. What comes back
    // counts the lines applied so far, for a progress dialog, and cancels the import before
    // anything is written.
    // What an import did; nullopt when nothing of it was applied (cancelled, or the file could
    // not be read or locked: that failure is told as a failed save).
    using ImportDone = std::function<void(std::optional<EditOutcome>)>;
    std::shared_ptr<ImportProgress> Import(const ImportFaces& import, ImportDone done);

    // While a hold lives, what the file now holds is not taken in: a dialog may be showing
    // records of the library as it is. It is taken in once the last hold goes.
    class CHold {
    public:
        CHold() = default;
        explicit CHold(CLibraryDocument* document);
        ~CHold();
        CHold(CHold&& other) noexcept;
        CHold& operator=(CHold&& other) noexcept;

    private:
        CLibraryDocument* m_pDocument = nullptr;
    };
    [[nodiscard]] CHold Hold();

    // Looks whether another program changed the file, and takes in what it holds now (with
    // the changes not saved yet applied to it). The watch on the data folder calls it once its
    // events settle; the window calls it when the user comes back to it.
    void LookAtFile();

    // Whether changes are waiting for a save that succeeds.
    bool HasUnsavedChanges() const;
    // Why the last save failed while changes wait; empty when none waits.
    const SaveFailure* Failure() const;

    struct SaveState {
        // The file was changed elsewhere and taken in (the unsaved changes applied to it).
        bool reloaded = false;
        // Texts that unsaved changes named and that were gone from the file.
        std::vector<std::string> missing;
        // The last attempt failed: the file is as it was and the changes wait.
        bool failed = false;
        FileError error;
    };
    // Waits until every change so far is saved, or a try to save it again has failed, and what
    // the disk thread found is taken in; returns what the last save did. For closing, and for
    // tests.
    SaveState Flush();
    // Keeps the library as it is in memory in a recovery file (see CLibraryFile), so that
    // closing loses no change that could not be saved; the next start offers to take it in.
    FileError KeepRecovery(QString& path);

    // Settles a suspicious change (suspiciousChange()).
    void Resolve(SuspiciousChoice choice);

signals:
    // The library has been read (once, after Load).
    void loaded();
    // The library changed: by the user (Change, ConvertToUtf8), with what it did.
    void changed(const LibraryEdit& edit, const EditOutcome& outcome);
    // The library is about to take in what the file holds now: record ids are still valid.
    void aboutToReload();
    // The file was changed elsewhere and the library now holds what it holds (with unsaved
    // changes applied again): every record id is new. `missing` as in SaveState.
    void reloaded(const std::vector<std::string>& missing);
    // A save succeeded (after a failure among others), or failed: told once for each new
    // reason, not at every try.
    void saved();
    void saveFailed(const SaveFailure& failure);
    // The file changed in a way that would lose much of the library; Resolve says what to do.
    void suspiciousChange(const SuspiciousChange& change);
    // What a settled suspicious change kept in a recovery file, and where.
    void recoveryKept(const QString& path);
    // A conflict copy another machine's sync tool left beside the file was merged, the result
    // saved and the copy removed.
    void copyMerged(const QString& path, const MergeSummary& summary);
    // A conflict copy holds emoticons the library's encoding cannot: it stays until the
    // library is UTF-8 (ConvertToUtf8), then it is merged. Told once for each copy; the texts
    // are in `charset`, the copy's.
    void copyWaiting(const QString& path, const std::vector<MergeRefusal>& refused,
                     Charset charset);
    // A conflict copy could not be read; it is tried again at every look, told once.
    void copyUnreadable(const QString& path, const FileError& error);
    // The readings or keywords changed: by the user, with the library, or from the file.
    void keywordsChanged();
    // Keywords.dat could not be read or written; the table stays in memory and is tried again,
    // less and less often. Told once for each reason.
    void keywordsSaveFailed(const QString& path, const FileError& error);

private:
    friend class CHold;
    void Release();

    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace mopira
