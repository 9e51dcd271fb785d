#include "store/LibraryDocument.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <map>
#include <optional>
#include <set>

#include "store/DiskThread.h"
#include "store/LibraryFile.h"
#include "store/LibraryJobs.h"

namespace mopira {

namespace {

bool IsConversion(const LibraryEdit& edit) {
    return std::holds_alternative<ConvertLibraryToUtf8>(edit);
}

// How long watch events must be quiet before the file is looked at.
constexpr int kSettleMs = 300;
// A failed save is tried again after this long, then twice as long each time, up to a minute.
constexpr int kFirstRetryMs = 1000;
constexpr int kLastRetryMs = 60000;

// A write that failed: told once for each reason, not at every try, and tried again after a
// pause that doubles.
template <typename Failure>
struct RetryState {
    std::optional<Failure> failure;
    std::optional<Failure> told;
    int nDelayMs = kFirstRetryMs;
    QTimer timer;

    RetryState() { timer.setSingleShot(true); }

    // True when this reason has not been told yet.
    bool Fail(Failure reason) {
        failure = std::move(reason);
        if (failure == told) {
            return false;
        }
        told = failure;
        return true;
    }
    void TryAgainLater() {
        timer.start(nDelayMs);
        nDelayMs = std::min(nDelayMs * 2, kLastRetryMs);
    }
    void Succeeded() {
        failure.reset();
        told.reset();
        nDelayMs = kFirstRetryMs;
        timer.stop();
    }
    // While writes wait out a failure, only the pause decides when to write again.
    bool IsPausing() const { return failure && timer.isActive(); }
    // A failure whose pause was set aside (closing tries at once) waits it out again.
    void ResumePause() {
        if (failure && !timer.isActive()) {
            timer.start(nDelayMs);
        }
    }
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// The window's thread

struct CLibraryDocument::Private {
    explicit Private(CLibraryDocument* owner, const QString& directory)
        : q(owner), file(directory) {}

    CLibraryDocument* q;
    CLibraryFile file;
    CDiskThread disk;
    CFaceLibrary library;
    CKeywordTable keywords;
    // What Keywords.dat held when last read or written, against which changes to it by
    // another program or machine are told from ours.
    CKeywordTable keywordsBase;
    // The hash of Keywords.dat's bytes when they held keywordsBase.
    std::optional<std::uint64_t> keywordsSeen;
    bool bKeywordsBusy = false;
    bool bKeywordsWanted = false;
    RetryState<FileError> keywordsRetry;
    FileFingerprint known;
    // The file was last seen as this program wrote it (not as it was read).
    bool bKnownIsOwnWrite = false;
    LibraryAccess access = LibraryAccess::Writable;
    FileError readError;
    bool bLoading = false;
    bool bLoaded = false;
    QEventLoop* pWaitLoop = nullptr;

    // Changes since the last save that succeeded, numbered in the order they were made.
    std::vector<PendingEdit> pending;
    std::uint64_t nChanges = 0;
    // What a save kept beside the file before the library became UTF-8 (a hash of it), so
    // that a save tried again after a failure keeps no second copy of the same bytes.
    std::optional<std::uint64_t> keptHash;
    // A job of the library's is with the disk thread; another save or check is wanted after.
    bool bBusy = false;
    bool bSaveWanted = false;
    bool bCheckWanted = false;
    // Saves that failed wait out a pause before the next try.
    RetryState<SaveFailure> retry;
    SaveState last;
    // Flushing takes every result in at once, whatever holds there are.
    bool bFlushing = false;

    int nHolds = 0;
    // Results that renumber the records, waiting for the holds to go.
    std::vector<std::unique_ptr<SaveResult>> deferred;
    // A suspicious change waits for the user's choice: no save or check runs meanwhile.
    std::optional<SuspiciousChange> asking;
    std::shared_ptr<const std::string> suspiciousBytes;
    FileFingerprint suspiciousKnown;
    // Imports on their way, and what to call when each is done.
    std::vector<std::pair<std::uint64_t, ImportDone>> imports;
    // Jobs asked for while another ran: an import, a settled question.
    std::deque<std::function<void()>> queued;

    // Conflict copies merged into the library, each removed once the change that merged it is
    // saved (a crash before merges it again: by text, that changes nothing twice).
    struct CopyMerge {
        std::uint64_t number = 0;
        MergeSummary summary;
    };
    std::map<QString, CopyMerge> merging;
    // Copies the library's encoding cannot take yet: they stay until it becomes UTF-8.
    std::set<QString> waitingCopies;
    // Copies that could not be read, told once; read again at every look.
    std::set<QString> unreadableCopies;

    QFileSystemWatcher* watcher = nullptr;
    QTimer settle;

    bool CanWriteNow() const { return bLoaded && access == LibraryAccess::Writable; }
    void StartSave();
    void StartCheck();
    // Merges what Keywords.dat holds now and writes the table where they differ; `write`
    // false only looks.
    void SyncKeywords(bool write = true);
    void TakeKeywords(KeywordsResult result);
    void KeywordsChanged();
    void Post(SaveJob job);
    SaveJob NewJob(SaveJob::Kind kind);
    void TakeLoad(LoadResult result);
    void TakeSave(std::unique_ptr<SaveResult> result);
    void TakeLibrary(SaveResult& result);
    void Fail(const SaveResult& result);
    void TakeCopies(std::vector<CopyFound> copies);
    void RemoveMergedCopies(std::uint64_t savedUpTo);
    void Watch();
    void OnWatchEvent();
    void AfterJob();
};

SaveJob CLibraryDocument::Private::NewJob(SaveJob::Kind kind) {
    SaveJob job{.kind = kind, .file = file, .known = known};
    job.knownIsOwnWrite = bKnownIsOwnWrite;
    for (const PendingEdit& change : pending) {
        job.edits.push_back(change);
        job.keepCopy = job.keepCopy || IsConversion(change.edit);
    }
    job.upTo = nChanges;
    job.keptHash = keptHash;
    job.snapshot = library.Snapshot();
    job.libraryRecords = library.Size();
    for (const auto& [path, merge] : merging) {
        job.knownCopies << path;
    }
    for (const QString& path : waitingCopies) {
        job.knownCopies << path;
    }
    return job;
}

void CLibraryDocument::Private::Post(SaveJob job) {
    Q_ASSERT(QThread::currentThread() == q->thread());
    bBusy = true;
    disk.Post(
        [job = std::move(job)]() mutable {
            return std::make_unique<SaveResult>(RunSave(std::move(job)));
        },
        [this](std::unique_ptr<SaveResult> result) { TakeSave(std::move(result)); });
}

void CLibraryDocument::Private::StartSave() {
    if (!CanWriteNow() || asking) {
        return;
    }
    if (bBusy) {
        bSaveWanted = true;  // saved with what comes meanwhile, when the running job is done
        return;
    }
    bSaveWanted = false;
    bCheckWanted = false;  // a save checks the file first anyway
    retry.timer.stop();
    Post(NewJob(SaveJob::Kind::Save));
}

void CLibraryDocument::Private::StartCheck() {
    if (!CanWriteNow() || asking) {
        return;
    }
    if (bBusy || (nHolds > 0 && !bFlushing)) {
        bCheckWanted = true;
        return;
    }
    bCheckWanted = false;
    SaveJob job = NewJob(SaveJob::Kind::Check);
    // While saves wait out a failure, a check only looks: the pause, not the folder's
    // events, decides when to write again. Otherwise it writes what waits, and what of ours
    // another machine's version lacks.
    job.write = !retry.failure;
    Post(std::move(job));
}

void CLibraryDocument::Private::SyncKeywords(bool write) {
    if (!CanWriteNow()) {
        return;
    }
    if (bKeywordsBusy) {
        bKeywordsWanted = bKeywordsWanted || write;
        return;
    }
    bKeywordsWanted = false;
    write = write && !keywordsRetry.IsPausing();
    bKeywordsBusy = true;
    disk.Post(
        [job = KeywordsJob{file, KeywordsPath(file), keywordsBase, keywords, write,
                           keywordsSeen}]() mutable { return RunKeywordsSave(std::move(job)); },
        [this](KeywordsResult result) { TakeKeywords(std::move(result)); });
}

void CLibraryDocument::Private::TakeKeywords(KeywordsResult result) {
    bKeywordsBusy = false;
    // The library became UTF-8 while the job ran: its names take the new bytes, which the
    // file does not hold yet.
    if (result.file.GetCharset() != keywords.GetCharset()) {
        result.seen.reset();
    }
    for (CKeywordTable* table : {&result.mine, &result.file, &result.merged}) {
        table->ConvertTo(keywords.GetCharset());
    }
    keywordsBase = std::move(result.file);
    keywordsSeen = result.seen;
    // What the user changed while the job ran goes onto what the file brought.
    CKeywordTable now = CKeywordTable::Merge(result.mine, keywords, result.merged);
    const bool changedHere = now != keywords;
    keywords = std::move(now);
    if (result.error.Failed()) {
        if (keywordsRetry.Fail(result.error)) {
            emit q->keywordsSaveFailed(KeywordsPath(file), result.error);
        }
        keywordsRetry.TryAgainLater();
    } else if (keywords == keywordsBase) {
        keywordsRetry.Succeeded();
    }
    if (changedHere) {
        emit q->keywordsChanged();
    }
    if (bKeywordsWanted || (keywords != keywordsBase && !keywordsRetry.timer.isActive())) {
        SyncKeywords();
    }
}

void CLibraryDocument::Private::KeywordsChanged() {
    emit q->keywordsChanged();
    SyncKeywords();
}

void CLibraryDocument::Private::AfterJob() {
    if (bBusy) {
        return;
    }
    if (!queued.empty()) {
        const std::function<void()> start = std::move(queued.front());
        queued.pop_front();
        start();
        return;
    }
    if (bSaveWanted) {
        StartSave();
    } else if (bCheckWanted) {
        StartCheck();
    }
}

void CLibraryDocument::Private::TakeLoad(LoadResult result) {
    bBusy = false;
    library.Swap(*result.library);
    keywords = std::move(result.keywords);
    keywordsBase = keywords;
    known = result.opened.fingerprint;
    access = result.access;
    readError = result.opened.error;
    bLoaded = true;
    if (access != LibraryAccess::Unreadable) {
        Watch();
    }
    emit q->loaded();
    TakeCopies(std::move(result.copies));
    AfterJob();
}

void CLibraryDocument::Private::TakeCopies(std::vector<CopyFound> copies) {
    for (CopyFound& copy : copies) {
        if (merging.contains(copy.path) || waitingCopies.contains(copy.path)) {
            continue;
        }
        if (!copy.changes) {
            if (unreadableCopies.insert(copy.path).second) {
                emit q->copyUnreadable(copy.path, copy.error);
            }
            continue;
        }
        unreadableCopies.erase(copy.path);
        if (!CanWriteNow() || asking) {
            continue;  // found again once the library may change
        }
        if (nHolds > 0 && !bFlushing) {
            bCheckWanted = true;  // a dialog shows records a merge may remove
            continue;
        }
        // Known before the change starts its save, which must not read the copy again.
        CopyMerge& merge = merging[copy.path];
        merge.number = nChanges + 1;
        const EditOutcome outcome = q->Change(MergeChanges{copy.changes}, copy.changes->charset);
        if (!outcome.merged.refused.empty()) {
            merging.erase(copy.path);
            waitingCopies.insert(copy.path);
            emit q->copyWaiting(copy.path, outcome.merged.refused, copy.changes->charset);
            continue;
        }
        merging[copy.path].summary = outcome.merged;
    }
}

void CLibraryDocument::Private::RemoveMergedCopies(std::uint64_t savedUpTo) {
    std::vector<std::pair<QString, MergeSummary>> done;
    for (auto it = merging.begin(); it != merging.end();) {
        if (it->second.number > savedUpTo) {
            ++it;
            continue;
        }
        done.emplace_back(it->first, std::move(it->second.summary));
        it = merging.erase(it);
    }
    for (const auto& merged : done) {
        // On the disk thread, after the save: before any later look that could find it.
        disk.Post([path = merged.first] { return QFile::remove(path); }, [](bool) {});
    }
    for (const auto& [path, summary] : done) {
        emit q->copyMerged(path, summary);
    }
}

void CLibraryDocument::Private::TakeLibrary(SaveResult& result) {
    // Changes made while the job ran go onto what the file held, as they went onto the
    // library.
    for (const PendingEdit& change : pending) {
        if (change.number > result.upTo) {
            ApplyEdit(*result.library, change.edit, change.charset);
        }
    }
    emit q->aboutToReload();
    library.Swap(*result.library);
    // Another program made the library UTF-8: the names of readings and keywords follow.
    keywords.ConvertTo(library.GetCharset());
    keywordsBase.ConvertTo(library.GetCharset());
    keywordsSeen.reset();  // the file holds the old bytes
    emit q->reloaded(result.missing);
}

void CLibraryDocument::Private::Fail(const SaveResult& result) {
    if (result.error.step == FileStep::Lock) {
        bCheckWanted = true;  // the file was not even looked at
    }
    if (retry.Fail(SaveFailure{file.Path(), result.error, result.waiting.value_or(std::string()),
                               result.waitingCharset})) {
        emit q->saveFailed(*retry.failure);
    }
    if (!bFlushing && !pending.empty()) {
        retry.TryAgainLater();
    }
}

void CLibraryDocument::Private::TakeSave(std::unique_ptr<SaveResult> result) {
    library.ReturnSnapshot(std::move(result->snapshot));
    // A library taken in renumbers every record: not while a dialog may hold one.
    if ((result->library || result->suspicious) && nHolds > 0 && !bFlushing) {
        deferred.push_back(std::move(result));
        return;
    }
    bBusy = false;
    if (result->wrote) {
        bKnownIsOwnWrite = true;
    } else if (result->known != known) {
        bKnownIsOwnWrite = false;
    }
    known = result->known;
    if (result->keptHash) {
        keptHash = result->keptHash;
    }
    const bool isImport = result->kind == SaveJob::Kind::Import;
    ImportDone importDone;
    if (isImport) {
        const auto found = std::find_if(imports.begin(), imports.end(), [&](const auto& import) {
            return import.first == result->upTo;
        });
        if (found != imports.end()) {
            importDone = std::move(found->second);
            imports.erase(found);
        }
        if (result->cancelled || (result->error.Failed() && !result->library)) {
            // Nothing of it was applied: it is no change.
            std::erase_if(pending,
                          [&](const PendingEdit& change) { return change.number == result->upTo; });
        }
    }
    if (result->suspicious) {
        asking = result->suspicious;
        suspiciousBytes = result->suspiciousBytes;
        retry.timer.stop();
        emit q->suspiciousChange(*asking);
        AfterJob();
        return;
    }
    if (!result->recoveryPath.isEmpty()) {
        emit q->recoveryKept(result->recoveryPath);
    }
    if (result->library && !result->cancelled) {
        TakeLibrary(*result);
    }
    if (result->error.Failed()) {
        Fail(*result);
    } else if (result->wrote) {
        std::erase_if(pending,
                      [&](const PendingEdit& change) { return change.number <= result->upTo; });
        const bool wasFailing = retry.failure.has_value();
        retry.Succeeded();
        if (wasFailing || pending.empty()) {
            emit q->saved();
        }
        RemoveMergedCopies(result->upTo);
    }
    last = {result->library != nullptr, result->missing, result->error.Failed(), result->error};
    TakeCopies(std::move(result->copies));
    if (importDone) {
        // A failure to write is told as any failed save; the lines were applied all the same
        // when the library came back.
        importDone(result->library && !result->cancelled
                       ? std::optional<EditOutcome>(std::move(result->imported))
                       : std::nullopt);
    }
    AfterJob();
}

void CLibraryDocument::Private::Watch() {
    if (watcher) {
        return;
    }
    watcher = new QFileSystemWatcher(q);
    // The folder sees the file replaced by a rename; the file sees it written in place. A
    // link is followed to the folder where the file really is.
    const QString target = ResolvedPath(file.Path());
    watcher->addPath(QFileInfo(target).absolutePath());
    if (QFileInfo::exists(target)) {
        watcher->addPath(target);
    }
    QObject::connect(watcher, &QFileSystemWatcher::directoryChanged, q, [this] { OnWatchEvent(); });
    QObject::connect(watcher, &QFileSystemWatcher::fileChanged, q, [this] { OnWatchEvent(); });
}

void CLibraryDocument::Private::OnWatchEvent() {
    // A replaced file drops out of the watch; the new one is watched again.
    const QString target = ResolvedPath(file.Path());
    if (!watcher->files().contains(target) && QFileInfo::exists(target)) {
        watcher->addPath(target);
    }
    settle.start();
}

CLibraryDocument::CLibraryDocument(const QString& directory, QObject* parent)
    : QObject(parent), d(std::make_unique<Private>(this, directory)) {
    d->settle.setSingleShot(true);
    d->settle.setInterval(kSettleMs);
    // A save of our own wakes the watch too: the check finds the stamp it wrote and reads
    // nothing.
    connect(&d->settle, &QTimer::timeout, this, [this] {
        d->StartCheck();
        d->SyncKeywords();
    });
    connect(&d->keywordsRetry.timer, &QTimer::timeout, this, [this] { d->SyncKeywords(); });
    connect(&d->retry.timer, &QTimer::timeout, this, [this] { d->StartSave(); });
}

CLibraryDocument::~CLibraryDocument() {
    Flush();
    delete d->watcher;
    d->watcher = nullptr;
}

QString CLibraryDocument::Directory() const {
    return d->file.Directory();
}

QString CLibraryDocument::Path() const {
    return d->file.Path();
}

const CFaceLibrary& CLibraryDocument::Library() const {
    return d->library;
}

const CKeywordTable& CLibraryDocument::Keywords() const {
    return d->keywords;
}

CDiskThread& CLibraryDocument::DiskThread() {
    return d->disk;
}

void CLibraryDocument::Load() {
    if (d->bLoading || d->bLoaded) {
        return;
    }
    d->bLoading = true;
    d->bBusy = true;
    d->disk.Post([file = d->file] { return RunLoad(file); },
                 [this](LoadResult result) { d->TakeLoad(std::move(result)); });
}

bool CLibraryDocument::IsLoaded() const {
    return d->bLoaded;
}

bool CLibraryDocument::IsLoading() const {
    return d->bLoading && !d->bLoaded;
}

bool CLibraryDocument::WaitUntilLoaded() {
    if (d->bLoaded) {
        return true;
    }
    if (d->pWaitLoop) {
        return false;  // a command is waiting already; this one does not run
    }
    Load();
    QEventLoop loop;
    d->pWaitLoop = &loop;
    const QMetaObject::Connection done =
        connect(this, &CLibraryDocument::loaded, &loop, [&loop] { loop.exit(1); });
    const bool loaded = d->bLoaded || loop.exec() == 1;
    disconnect(done);
    d->pWaitLoop = nullptr;
    return loaded && d->bLoaded;
}

void CLibraryDocument::CancelWaits() {
    if (d->pWaitLoop) {
        d->pWaitLoop->exit(0);
    }
}

LibraryAccess CLibraryDocument::Access() const {
    return d->access;
}

FileError CLibraryDocument::ReadError() const {
    return d->readError;
}

bool CLibraryDocument::CanChange() const {
    return d->CanWriteNow();
}

EditOutcome CLibraryDocument::Change(const LibraryEdit& edit) {
    return Change(edit, d->library.GetCharset());
}

EditOutcome CLibraryDocument::Change(const LibraryEdit& edit, Charset madeIn) {
    Q_ASSERT(QThread::currentThread() == thread());
    if (!CanChange()) {
        return {};
    }
    const EditOutcome outcome = ApplyEdit(d->library, edit, madeIn);
    if (outcome.waiting || !outcome.merged.refused.empty()) {
        return outcome;
    }
    // Readings and keywords follow what they name.
    bool keywordsChanged = false;
    if (const auto* replace = std::get_if<ReplaceFace>(&edit); replace && outcome.changed) {
        keywordsChanged = d->keywords.RenameFace(replace->oldText, replace->face.text);
    } else if (const auto* remove = std::get_if<RemoveFaces>(&edit)) {
        for (const std::string& text : remove->texts) {
            keywordsChanged = d->keywords.RemoveFace(text) || keywordsChanged;
        }
    }
    // Every command the user confirms is saved, even one that changed nothing: the file then
    // holds what the window shows, whatever happened to it meanwhile.
    d->pending.push_back({++d->nChanges, edit, madeIn});
    d->StartSave();
    // Told even when the library stays as it was: a list beside it (the emoticons copied
    // last) may hold texts the library does not.
    emit changed(edit, outcome);
    if (keywordsChanged) {
        d->KeywordsChanged();
    }
    return outcome;
}

QStringList CLibraryDocument::RecoveryFiles() const {
    return d->file.RecoveryFiles();
}

std::vector<ConversionRefusal> CLibraryDocument::ConvertToUtf8() {
    if (!CanChange() || d->library.GetCharset().GetEncoding() == Encoding::Utf8) {
        return {};
    }
    const LibraryEdit edit = ConvertLibraryToUtf8{};
    const Charset charset = d->library.GetCharset();
    EditOutcome outcome = ApplyEdit(d->library, edit);
    if (!outcome.changed) {
        return std::move(outcome.refused);
    }
    d->keywords.ConvertTo(d->library.GetCharset());
    d->keywordsBase.ConvertTo(d->library.GetCharset());
    d->keywordsSeen.reset();  // the file holds the old bytes
    d->pending.push_back({++d->nChanges, edit, charset});
    // Copies that held what CP932 lacks can be merged now; the save looks for them.
    d->waitingCopies.clear();
    emit changed(edit, outcome);
    d->StartSave();
    return {};
}

std::shared_ptr<ImportProgress> CLibraryDocument::Import(const ImportFaces& import,
                                                         ImportDone done) {
    Q_ASSERT(QThread::currentThread() == thread());
    if (!CanChange() || !import.file) {
        done(std::nullopt);
        return nullptr;
    }
    // Applied on the disk thread only: in memory it would hold the window for seconds.
    const Charset charset = d->library.GetCharset();
    d->pending.push_back({++d->nChanges, import, charset});
    d->imports.emplace_back(d->nChanges, std::move(done));
    auto progress = std::make_shared<ImportProgress>();
    progress->total = import.file->lines.size();
    // After the job that runs now, if any: its result is taken first.
    d->queued.push_back([this, progress, number = d->nChanges] {
        SaveJob job = d->NewJob(SaveJob::Kind::Import);
        job.upTo = number;
        job.progress = progress;
        d->Post(std::move(job));
    });
    d->AfterJob();
    return progress;
}

CLibraryDocument::CHold::CHold(CLibraryDocument* document) : m_pDocument(document) {
    ++m_pDocument->d->nHolds;
}

CLibraryDocument::CHold::~CHold() {
    if (m_pDocument) {
        m_pDocument->Release();
    }
}

CLibraryDocument::CHold::CHold(CHold&& other) noexcept : m_pDocument(other.m_pDocument) {
    other.m_pDocument = nullptr;
}

CLibraryDocument::CHold& CLibraryDocument::CHold::operator=(CHold&& other) noexcept {
    if (this != &other) {
        if (m_pDocument) {
            m_pDocument->Release();
        }
        m_pDocument = other.m_pDocument;
        other.m_pDocument = nullptr;
    }
    return *this;
}

CLibraryDocument::CHold CLibraryDocument::Hold() {
    return CHold(this);
}

void CLibraryDocument::Release() {
    if (--d->nHolds > 0) {
        return;
    }
    // Once the command that held is done with what it holds.
    QTimer::singleShot(0, this, [this] {
        if (d->nHolds > 0) {
            return;
        }
        std::vector<std::unique_ptr<SaveResult>> deferred;
        deferred.swap(d->deferred);
        for (auto& result : deferred) {
            d->TakeSave(std::move(result));
        }
        if (d->bCheckWanted) {
            d->StartCheck();
        }
    });
}

void CLibraryDocument::LookAtFile() {
    d->StartCheck();
    d->SyncKeywords();
}

bool CLibraryDocument::SetFolderReading(std::string_view folder, std::string_view reading) {
    if (!CanChange() || !d->keywords.SetFolderReading(folder, reading)) {
        return false;
    }
    d->KeywordsChanged();
    return true;
}

bool CLibraryDocument::SetFaceKeywords(std::string_view text, CKeywordTable::Keywords keywords) {
    if (!CanChange() || !d->keywords.SetFaceKeywords(text, std::move(keywords))) {
        return false;
    }
    d->KeywordsChanged();
    return true;
}

bool CLibraryDocument::HasUnsavedChanges() const {
    return !d->pending.empty();
}

const SaveFailure* CLibraryDocument::Failure() const {
    return d->retry.failure ? &*d->retry.failure : nullptr;
}

CLibraryDocument::SaveState CLibraryDocument::Flush() {
    d->bFlushing = true;
    bool tried = false;
    bool triedKeywords = false;
    for (;;) {
        d->disk.Drain();
        std::vector<std::unique_ptr<SaveResult>> deferred;
        deferred.swap(d->deferred);
        for (auto& result : deferred) {
            d->TakeSave(std::move(result));
        }
        if (d->bBusy || d->bKeywordsBusy || !d->deferred.empty()) {
            continue;
        }
        // Closing tries again what waits, whatever pause a failure set.
        if (!d->pending.empty() && !tried && !d->asking && d->CanWriteNow()) {
            tried = true;
            d->StartSave();
            continue;
        }
        if (d->bSaveWanted && !d->asking) {
            d->StartSave();
            continue;
        }
        if (d->keywords != d->keywordsBase && !triedKeywords && d->CanWriteNow()) {
            triedKeywords = true;
            d->keywordsRetry.timer.stop();
            d->SyncKeywords();
            continue;
        }
        break;
    }
    d->bFlushing = false;
    if (!d->pending.empty()) {
        d->last.failed = true;
        d->retry.ResumePause();
    }
    return d->last;
}

FileError CLibraryDocument::KeepRecovery(QString& path) {
    Flush();
    auto snapshot = std::make_shared<CLibrarySnapshot>(d->library.Snapshot());
    FileError error;
    d->disk.Post(
        [file = d->file, snapshot] {
            std::string bytes;
            snapshot->WriteFaceList([&bytes](std::string_view piece) {
                bytes += piece;
                return true;
            });
            QString kept;
            const FileError error = file.KeepRecovery(bytes, kept);
            return std::make_pair(error, kept);
        },
        [&](std::pair<FileError, QString> result) {
            error = result.first;
            path = result.second;
        });
    d->disk.Drain();
    if (!error.Failed()) {
        // Kept: closing now loses nothing.
        d->pending.clear();
        d->retry.failure.reset();
    }
    return error;
}

void CLibraryDocument::Resolve(SuspiciousChoice choice) {
    if (!d->asking) {
        return;
    }
    d->asking.reset();
    d->queued.push_back([this, choice, bytes = std::move(d->suspiciousBytes)] {
        SaveJob job = d->NewJob(choice == SuspiciousChoice::TakeFile ? SaveJob::Kind::TakeFile
                                                                     : SaveJob::Kind::WriteLibrary);
        job.suspiciousBytes = bytes;
        d->Post(std::move(job));
    });
    d->AfterJob();
}

}  // namespace mopira
