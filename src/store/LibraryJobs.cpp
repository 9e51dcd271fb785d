#include "store/LibraryJobs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>

#include "core/library/ContentHash.h"
#include "core/library/FaceListHealth.h"
#include "store/FolderLock.h"

namespace mopira {

namespace {

// The conflict copies beside the file that the window does not know yet, each as the changes it
// makes to the base. When there are none, what the file held when it was read from the disk
// (`read`, when it was) becomes the base; while there are any, the base stays, so that each
// copy is measured against what both machines started from.
std::vector<CopyFound> LookForCopies(const CLibraryFile& file, const std::string* read,
                                     const QStringList& known) {
    std::vector<CopyFound> found;
    const QStringList copies = file.ConflictCopies();
    if (copies.isEmpty()) {
        if (read) {
            file.KeepBase(*read);  // a base lost costs only deletions not merged
        }
        return found;
    }
    // Read once, for all the copies; without one only the copies' additions are taken.
    std::unique_ptr<CFaceLibrary> base;
    bool baseRead = false;
    for (const QString& path : copies) {
        if (known.contains(path)) {
            continue;
        }
        if (!baseRead) {
            baseRead = true;
            FileContent kept = file.ReadBase();
            if (kept.state == FileContent::State::Read) {
                base = std::make_unique<CFaceLibrary>();
                base->AdoptFaceList(std::move(kept.bytes));
            }
        }
        CopyFound copy{path, nullptr, {}};
        FileContent content = ReadWholeFile(path);
        if (content.state != FileContent::State::Read) {
            copy.error = content.state == FileContent::State::Missing
                             ? FileError{FileStep::Open, ENOENT}
                             : content.error;
            found.push_back(std::move(copy));
            continue;
        }
        CFaceLibrary other;
        other.AdoptFaceList(std::move(content.bytes));
        copy.changes = std::make_shared<const LibraryChanges>(DiffLibraries(base.get(), other));
        found.push_back(std::move(copy));
    }
    return found;
}

}  // namespace

QString KeywordsPath(const CLibraryFile& file) {
    return QDir(file.Directory()).filePath(QStringLiteral("Keywords.dat"));
}

CKeywordTable ReadKeywords(const CLibraryFile& file, const CFaceLibrary& library) {
    const FileContent bytes = ReadWholeFile(KeywordsPath(file));
    if (bytes.state != FileContent::State::Read) {
        return CKeywordTable(library.GetCharset());
    }
    // What names an emoticon the library lacks stays: another machine's may hold it.
    return CKeywordTable::Read(bytes.bytes, library.GetCharset()).table;
}

namespace {

// What a keywords file holds, as a change to `base`; nullopt when it cannot be read. A file
// that is missing (a sync tool deletes before it renames) or no longer a table of ours
// (emptied, or mostly lines that are none, while the base held entries) changes nothing, and
// is written again.
struct KeywordsRead {
    CKeywordTable table;
    bool asItIs = true;
};
std::optional<KeywordsRead> KeywordsChangeOf(const FileContent& content, const CKeywordTable& base,
                                             FileError* error) {
    if (content.state == FileContent::State::Missing) {
        return KeywordsRead{base, false};
    }
    if (content.state != FileContent::State::Read) {
        if (error) {
            *error = content.error;
        }
        return std::nullopt;
    }
    CKeywordTable::ReadResult read = CKeywordTable::Read(content.bytes, base.GetCharset());
    const std::size_t entries =
        read.table.FolderReadings().size() + read.table.AllFaceKeywords().size();
    if (!base.Empty() && (entries == 0 || read.skippedLines > entries)) {
        return KeywordsRead{base, false};
    }
    return KeywordsRead{std::move(read.table), true};
}

std::optional<KeywordsRead> ReadKeywordsChange(const QString& path, const CKeywordTable& base,
                                               FileError* error) {
    return KeywordsChangeOf(ReadWholeFile(path), base, error);
}

}  // namespace

KeywordsResult RunKeywordsSave(KeywordsJob job) {
    KeywordsResult result{
        .mine = job.mine, .file = job.base, .merged = job.mine, .error = {}, .seen = {}};
    // The bytes, not the file's times, tell whether it changed: an edit in place may keep its
    // size within one tick of a coarse clock.
    const FileContent content = ReadWholeFile(job.path);
    const std::optional<std::uint64_t> hash = content.state == FileContent::State::Read
                                                  ? std::optional(CContentHash::Of(content.bytes))
                                                  : std::nullopt;
    if (hash && hash == job.seen && job.mine == job.base && ConflictCopiesOf(job.path).isEmpty()) {
        result.seen = hash;
        return result;
    }
    std::optional<KeywordsRead> theirs = KeywordsChangeOf(content, job.base, &result.error);
    if (!theirs) {
        return result;  // never written over what could not be read
    }
    CKeywordTable merged = theirs->table == job.base
                               ? job.mine
                               : CKeywordTable::Merge(job.base, job.mine, theirs->table);
    // A sync tool's conflict copies are another machine's changes to the same base.
    QStringList copies;
    for (const QString& copy : ConflictCopiesOf(job.path)) {
        if (std::optional<KeywordsRead> other = ReadKeywordsChange(copy, job.base, nullptr)) {
            merged = CKeywordTable::Merge(job.base, merged, other->table);
            copies << copy;
        }
    }
    const bool needed =
        merged != theirs->table || !copies.isEmpty() || (!theirs->asItIs && !merged.Empty());
    result.file = std::move(theirs->table);
    result.merged = merged;
    if (!needed) {
        result.seen = hash;
    }
    if (!job.write || !needed) {
        return result;
    }
    CFolderLock lock;
    if (!job.library.Lock(lock, result.error)) {
        return result;
    }
    const std::string bytes = merged.Write();
    result.error = ReplaceFile(job.path, bytes);
    if (result.error.Failed()) {
        return result;
    }
    result.file = std::move(merged);
    result.seen = CContentHash::Of(bytes);
    for (const QString& copy : copies) {
        QFile::remove(copy);
    }
    return result;
}

LoadResult RunLoad(const CLibraryFile& file) {
    LoadResult result;
    result.opened = file.Open();
    if (result.opened.state != CLibraryFile::State::Unreadable) {
        result.copies = LookForCopies(file, &result.opened.bytes, {});
    }
    result.library = std::make_unique<CFaceLibrary>();
    result.library->AdoptFaceList(std::move(result.opened.bytes));
    result.library->RecordsByText();  // the list shows it in this order first
    result.keywords = ReadKeywords(file, *result.library);
    if (result.opened.state == CLibraryFile::State::Unreadable) {
        result.access = LibraryAccess::Unreadable;
    } else if (!MayWriteFile(ResolvedPath(file.Path()))) {
        result.access = LibraryAccess::FileReadOnly;
    } else if (!CanCreateFilesIn(QFileInfo(ResolvedPath(file.Path())).absolutePath())) {
        result.access = LibraryAccess::FolderReadOnly;
    }
    return result;
}

namespace {

// Whether what the file holds now is no library at all: empty, or mostly not text, while the
// window shows emoticons.
std::optional<SuspiciousChange> AssessFile(const CFaceLibrary& file,
                                           const CLibrarySnapshot& shown) {
    if (shown.Size() == 0) {
        return std::nullopt;
    }
    SuspiciousChange change;
    change.libraryRecords = shown.Size();
    change.fileRecords = file.Size();
    if (file.Empty()) {
        change.kind = SuspiciousChange::Kind::Empty;
        change.missingRecords = shown.Size();
        return change;
    }
    if (!LooksLikeFaceList(file)) {
        change.kind = SuspiciousChange::Kind::NotALibrary;
        return change;
    }
    return std::nullopt;
}

// Whether the file, with the changes not saved yet applied to it, lacks more than a quarter
// of the emoticons the window shows.
std::optional<SuspiciousChange> AssessMerged(const CFaceLibrary& merged, std::size_t fileRecords,
                                             const CLibrarySnapshot& shown) {
    // Another program may have taken the file to another encoding: texts are compared by their
    // characters.
    const Charset from = shown.GetCharset();
    const Charset to = merged.GetCharset();
    std::size_t missing = 0;
    shown.ForEachText([&](std::string_view text) {
        if (from == to) {
            missing += merged.FindRecord(text) ? 0 : 1;
            return;
        }
        const EncodeResult converted = to.FromUtf8(from.ToUtf8(text));
        missing +=
            from.IsValid(text) && converted.Ok() && merged.FindRecord(converted.bytes) ? 0 : 1;
    });

    if (missing * 4 <= shown.Size()) {
        return std::nullopt;
    }
    return SuspiciousChange{SuspiciousChange::Kind::MostGone, fileRecords, missing, shown.Size()};
}

// A sync tool may put another machine's version in place of what this program wrote last
// without leaving a conflict copy (Syncthing does when both machines saved within its delay,
// before either heard of the other). `theirs` was not made from ours when it holds a text
// neither the base nor ours has while it lacks what ours added since the base or keeps what
// ours removed: then what ours changed since the base is merged into it, as a conflict copy
// would be. False when it was made from ours, and the job's changes replay as usual.
bool MergeOwnWrites(CFaceLibrary& theirs, const CFaceLibrary& base, const SaveJob& job) {
    CFaceLibrary ours;
    std::string bytes;
    job.snapshot.WriteFaceList([&bytes](std::string_view piece) {
        bytes += piece;
        return true;
    });
    ours.AdoptFaceList(std::move(bytes));
    if (ours.GetCharset() != theirs.GetCharset() || base.GetCharset() != theirs.GetCharset()) {
        return false;
    }
    bool theirsNew = false;
    theirs.ForEachRecord([&](RecordId id) {
        const std::string_view text = theirs.Text(id);
        theirsNew = theirsNew || (!base.FindRecord(text) && !ours.FindRecord(text));
    });
    bool oursUndone = false;
    ours.ForEachRecord([&](RecordId id) {
        const std::string_view text = ours.Text(id);
        oursUndone = oursUndone || (!base.FindRecord(text) && !theirs.FindRecord(text));
    });
    base.ForEachRecord([&](RecordId id) {
        const std::string_view text = base.Text(id);
        oursUndone = oursUndone || (!ours.FindRecord(text) && theirs.FindRecord(text));
    });
    if (!theirsNew || !oursUndone) {
        return false;
    }
    const auto changes = std::make_shared<const LibraryChanges>(DiffLibraries(&base, ours));
    return ApplyEdit(theirs, MergeChanges{changes}).merged.refused.empty();
}

// Applies the job's changes to `library`; false, with the result told why, when one must wait.
bool Replay(CFaceLibrary& library, const SaveJob& job, SaveResult& result) {
    for (const PendingEdit& pending : job.edits) {
        const auto* import = std::get_if<ImportFaces>(&pending.edit);
        if (import && job.progress && pending.number == job.upTo) {
            // The import this job is for: counted as it goes, and stopped when cancelled.
            result.imported.imported =
                ApplyImport(library, *import->file, import->reservedFolder, job.progress.get());
            result.imported.changed = !result.imported.imported.added.empty();
            if (result.imported.imported.cancelled) {
                result.cancelled = true;
                return false;
            }
            continue;
        }
        const EditOutcome outcome = ApplyEdit(library, pending.edit, pending.charset);
        if (outcome.waiting) {
            result.error = {FileStep::Write, EILSEQ};
            result.waiting = outcome.waiting;
            result.waitingCharset = pending.charset;
            return false;
        }
        if (!outcome.merged.refused.empty()) {
            // Another machine's copy holds what this file's encoding lacks: it waits, and so
            // does everything after it.
            result.error = {FileStep::Write, EILSEQ};
            result.waiting = outcome.merged.refused.front().text;
            result.waitingCharset = std::get<MergeChanges>(pending.edit).changes->charset;
            return false;
        }
        if (!outcome.refused.empty()) {
            // Another program wrote bytes that are no CP932 character: the changes that follow
            // are UTF-8 and must not go into a CP932 file. They wait.
            result.error = {FileStep::Read, EILSEQ};
            return false;
        }
        result.missing.insert(result.missing.end(), outcome.missing.begin(), outcome.missing.end());
    }
    return true;
}

}  // namespace

SaveResult RunSave(SaveJob job) {
    SaveResult result;
    result.kind = job.kind;
    result.upTo = job.upTo;
    result.known = job.known;
    CFolderLock lock;
    if (job.write && !job.file.Lock(lock, result.error)) {
        result.snapshot = std::move(job.snapshot);
        return result;
    }
    auto finish = [&]() -> SaveResult {
        result.snapshot = std::move(job.snapshot);
        return std::move(result);
    };
    if (job.kind == SaveJob::Kind::WriteLibrary || job.kind == SaveJob::Kind::TakeFile) {
        // What the user was asked about is kept before either side is written over.
        const std::string_view kept = job.kind == SaveJob::Kind::WriteLibrary
                                          ? std::string_view(*job.suspiciousBytes)
                                          : std::string_view();
        std::string memory;
        if (job.kind == SaveJob::Kind::TakeFile) {
            job.snapshot.WriteFaceList([&memory](std::string_view piece) {
                memory += piece;
                return true;
            });
        }
        result.error = job.file.KeepRecovery(
            job.kind == SaveJob::Kind::WriteLibrary ? kept : std::string_view(memory),
            result.recoveryPath);
        if (result.error.Failed()) {
            return finish();
        }
    }

    FileContent current;
    const bool unchanged = job.file.IsUnchanged(result.known, current);
    // Sync tools leave conflict copies whether or not they replace the file itself.
    bool looked = false;
    const auto lookUnlessDone = [&] {
        if (!looked && (job.kind == SaveJob::Kind::Save || job.kind == SaveJob::Kind::Check)) {
            result.copies = LookForCopies(job.file, nullptr, job.knownCopies);
            looked = true;
        }
    };
    bool mergedOwn = false;
    const bool reread =
        !unchanged || job.kind == SaveJob::Kind::Import || job.kind == SaveJob::Kind::TakeFile;
    if (reread) {
        if (unchanged) {
            current = job.file.ReadSettled();
        }
        if (current.state == FileContent::State::Failed) {
            // What the file holds now cannot be seen, so it must not be written over.
            if (job.write) {
                result.error = current.error;
            }
            return finish();
        }
        const std::uint64_t hash = CContentHash::Of(current.bytes);
        if (job.suspiciousBytes && hash != CContentHash::Of(*job.suspiciousBytes)) {
            // It changed again since the user was asked: judged afresh, like any change.
            job.kind = SaveJob::Kind::Save;
            result.kind = job.kind;
        }
        // Read before a new base is kept: what this program wrote may have been put aside.
        std::unique_ptr<CFaceLibrary> base;
        if (!unchanged && job.knownIsOwnWrite &&
            (job.kind == SaveJob::Kind::Save || job.kind == SaveJob::Kind::Check) &&
            std::none_of(job.edits.begin(), job.edits.end(),
                         [](const PendingEdit& edit) {
                             return std::holds_alternative<ImportFaces>(edit.edit);
                         }) &&
            job.file.IsSynchronised()) {
            FileContent kept = job.file.ReadBase();
            if (kept.state == FileContent::State::Read) {
                base = std::make_unique<CFaceLibrary>();
                base->AdoptFaceList(std::move(kept.bytes));
            }
        }
        if (job.kind == SaveJob::Kind::Save || job.kind == SaveJob::Kind::Check ||
            job.kind == SaveJob::Kind::TakeFile) {
            result.copies = LookForCopies(job.file, &current.bytes, job.knownCopies);
            looked = true;
        }
        auto library = std::make_unique<CFaceLibrary>();
        library->AdoptFaceList(std::move(current.bytes));
        // Another program's change is taken silently only when it keeps most of the library;
        // the user chose already when this job settles what was asked.
        const bool judge =
            !unchanged && (job.kind == SaveJob::Kind::Save || job.kind == SaveJob::Kind::Check);
        auto suspect = [&](std::optional<SuspiciousChange> suspicious) {
            if (!judge || !suspicious) {
                return false;
            }
            result.suspicious = suspicious;
            // Kept as it is now, to be kept in a recovery file if the user writes the library
            // back; when it changes again meanwhile, the choice is not applied to it.
            result.suspiciousBytes =
                std::make_shared<const std::string>(ReadWholeFile(job.file.Path()).bytes);
            return true;
        };
        if (suspect(AssessFile(*library, job.snapshot))) {
            return finish();
        }
        const std::size_t fileRecords = library->Size();
        if (job.kind == SaveJob::Kind::WriteLibrary) {
            // The user chose the library: what the file holds is only a recovery copy now.
            library.reset();
        } else {
            mergedOwn = base && MergeOwnWrites(*library, *base, job);
            if (!mergedOwn && !Replay(*library, job, result)) {
                return finish();
            }
            if (job.progress && job.progress->cancel.load()) {
                result.cancelled = true;  // nothing is written once the user said stop
                return finish();
            }
            if (suspect(AssessMerged(*library, fileRecords, job.snapshot))) {
                return finish();
            }
            library->RecordsByText();
            result.library = std::move(library);
        }
        result.known = {current.stamp, hash};
    }
    if (job.kind == SaveJob::Kind::Check && job.edits.empty() && !mergedOwn) {
        lookUnlessDone();
        return finish();  // nothing of ours to write
    }
    lookUnlessDone();
    if (!job.write) {
        return finish();
    }
    if (job.keepCopy) {
        // The bytes the file holds under the lock are the ones kept: no other writer of ours
        // can slip in between. A file that is UTF-8 already was converted by an earlier save.
        const FileContent old = ReadWholeFile(job.file.Path());
        if (old.state == FileContent::State::Failed) {
            result.error = old.error;
            return finish();
        }
        const std::uint64_t hash = CContentHash::Of(old.bytes);
        if (old.state == FileContent::State::Read &&
            !std::string_view(old.bytes).starts_with(Charset(Encoding::Utf8).FileMark()) &&
            job.keptHash != hash) {
            result.error = job.file.KeepCopy(old.bytes);
            if (result.error.Failed()) {
                return finish();
            }
            result.keptHash = hash;
        }
    }

    const CFaceLibrary* merged = result.library.get();
    FileFingerprint written;
    result.error = job.file.Write(
        [&](const ChunkSink& sink) {
            if (merged) {
                merged->WriteFaceList(sink);
            } else {
                job.snapshot.WriteFaceList(sink);
            }
        },
        written);
    result.wrote = !result.error.Failed();
    if (result.wrote) {
        result.known = written;
    }
    return finish();
}

}  // namespace mopira
