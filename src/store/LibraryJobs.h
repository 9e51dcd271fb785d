#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/library/FaceLibrary.h"
#include "core/library/KeywordTable.h"
#include "core/library/LibraryEdit.h"
#include "core/library/LibraryMerge.h"
#include "core/library/LibrarySnapshot.h"
#include "store/LibraryDocument.h"
#include "store/LibraryFile.h"

// What the disk thread does for the library's document: free functions that take what they
// need by value and return what they found, so they cannot reach the window's objects.
namespace mopira {

// A change not saved yet, in the encoding of the library when it was made.
struct PendingEdit {
    std::uint64_t number = 0;
    LibraryEdit edit;
    Charset charset;
};

// A conflict copy that a sync tool left beside the file, as the changes it makes to the base.
struct CopyFound {
    QString path;
    std::shared_ptr<const LibraryChanges> changes;  // null when it could not be read
    FileError error;
};

struct LoadResult {
    CLibraryFile::Opened opened;
    std::unique_ptr<CFaceLibrary> library;
    LibraryAccess access = LibraryAccess::Writable;
    std::vector<CopyFound> copies;
    CKeywordTable keywords;
};

struct SaveJob {
    enum class Kind { Save, Check, Import, TakeFile, WriteLibrary };
    Kind kind = Kind::Save;
    CLibraryFile file;
    FileFingerprint known;
    // What to write when the file is as it was (Save, WriteLibrary).
    CLibrarySnapshot snapshot;
    // The changes not saved yet, to apply again to a file changed elsewhere.
    std::vector<PendingEdit> edits;
    // The number of the last change the job covers.
    std::uint64_t upTo = 0;
    // The changes make the library UTF-8: a CP932 file is kept beside it first.
    bool keepCopy = false;
    // The hash of the bytes an earlier save kept already, which a failed save left behind.
    std::optional<std::uint64_t> keptHash;
    // Whether to write at all: a check while saves wait out a failure only looks.
    bool write = true;
    // How many records the window shows, against which a changed file is judged.
    std::size_t libraryRecords = 0;
    // Import: the lines' progress and the way to stop.
    std::shared_ptr<ImportProgress> progress;
    // TakeFile, WriteLibrary: what the suspicious file held when the user was asked.
    std::shared_ptr<const std::string> suspiciousBytes;
    // Conflict copies being merged already, not to be read again.
    QStringList knownCopies;
    // `known` is what this program wrote last, not what it read.
    bool knownIsOwnWrite = false;
};

struct SaveResult {
    SaveJob::Kind kind = SaveJob::Kind::Save;
    std::uint64_t upTo = 0;
    FileFingerprint known;
    // What the file held when it had changed elsewhere, with the job's changes applied to it
    // again; or the import's result.
    std::unique_ptr<CFaceLibrary> library;
    std::vector<std::string> missing;
    bool wrote = false;
    FileError error;
    std::optional<std::string> waiting;
    Charset waitingCharset;
    std::optional<std::uint64_t> keptHash;
    // The snapshot goes back to the library once written.
    CLibrarySnapshot snapshot;
    // The file changed in a way that must be asked about; its bytes, to be kept if need be.
    std::optional<SuspiciousChange> suspicious;
    std::shared_ptr<const std::string> suspiciousBytes;
    // Import: what it did; a cancelled one changed nothing.
    EditOutcome imported;
    bool cancelled = false;
    // Conflict copies found beside the file, not known to the job.
    std::vector<CopyFound> copies;
    QString recoveryPath;
};

// Reads the library at start, and tells whether it may be changed.
LoadResult RunLoad(const CLibraryFile& file);
// The readings and keywords beside the library (Keywords.dat), for `library`.
QString KeywordsPath(const CLibraryFile& file);
CKeywordTable ReadKeywords(const CLibraryFile& file, const CFaceLibrary& library);

// Keeps Keywords.dat in step with the window's table: what another program or machine changed
// in it since `base` (and in conflict copies of it) is merged with the window's changes, and
// the result written when it differs from the file.
struct KeywordsJob {
    CLibraryFile library;
    QString path;
    CKeywordTable base;  // what the file held when last read or written
    CKeywordTable mine;
    bool write = true;
    // The hash of the file's bytes when it last held `base`: while they are the same and
    // nothing of ours waits, they are not read as a table again.
    std::optional<std::uint64_t> seen;
};
struct KeywordsResult {
    CKeywordTable mine;                 // the job's
    CKeywordTable file;                 // what the file holds now, as far as known
    CKeywordTable merged;               // the job's table with the file's changes
    FileError error;                    // the file could not be read, locked or written
    std::optional<std::uint64_t> seen;  // the hash of the file's bytes when they hold `file`
};
KeywordsResult RunKeywordsSave(KeywordsJob job);

// Saves, or only looks at the file: when another program changed it, what it holds is read,
// judged (a change that would lose much is asked about, not taken), and the job's changes are
// applied to it again; then it is written, the file as it was kept first where a conversion
// to UTF-8 asks for it.
SaveResult RunSave(SaveJob job);

}  // namespace mopira
