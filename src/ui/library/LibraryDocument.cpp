#include "ui/library/LibraryDocument.h"

#include <QApplication>
#include <QEventLoop>
#include <cerrno>

#include "core/library/ContentHash.h"
#include "core/library/LibrarySnapshot.h"

namespace mopira {

namespace {

constexpr int kIdleRetryMs = 500;

bool IsConversion(const LibraryEdit& edit) {
    return std::holds_alternative<ConvertLibraryToUtf8>(edit);
}

bool IsIdle() {
    return !QApplication::activeModalWidget() && !QApplication::activePopupWidget();
}

}  // namespace

struct CLibraryDocument::Job {
    enum class Kind { Load, Save, Check };
    Kind kind = Kind::Load;
    // What to write (Save).
    CLibrarySnapshot snapshot;
    // The changes not saved yet, to apply again to a file changed elsewhere (Save, Check).
    std::vector<LibraryEdit> edits;
    // The number of the last change the job covers.
    std::uint64_t upTo = 0;
    // The changes make the library UTF-8: a CP932 file is kept beside it first.
    bool keepCopy = false;
    // The hash of the bytes an earlier save kept already, which a failed save left behind.
    std::optional<std::uint64_t> keptHash;
};

struct CLibraryDocument::Result {
    Job::Kind kind = Job::Kind::Load;
    std::uint64_t upTo = 0;
    // What was read (Load), or what the file held when it had changed elsewhere, with the
    // job's changes applied to it again (Save, Check).
    std::unique_ptr<CFaceLibrary> library;
    std::vector<std::string> missing;
    bool wrote = false;
    FileError error;
    std::optional<std::uint64_t> keptHash;
};

CLibraryDocument::CLibraryDocument(const QString& directory, QObject* parent)
    : QObject(parent), m_file(directory) {
    m_idleRetry.setSingleShot(true);
    m_idleRetry.setInterval(kIdleRetryMs);
    connect(&m_idleRetry, &QTimer::timeout, this, [this] {
        TakeResults();
        if (m_bCheckWanted && !m_bBusy) {
            OnChangedOnDisk();
        }
    });
    connect(&m_file, &CLibraryFile::changedOnDisk, this, &CLibraryDocument::OnChangedOnDisk);
    m_thread = std::thread([this] { Work(); });
}

CLibraryDocument::~CLibraryDocument() {
    Flush();
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

// ---------------------------------------------------------------------------------------------
// The window's thread

void CLibraryDocument::Load() {
    if (m_bLoading || m_bLoaded) {
        return;
    }
    m_bLoading = true;
    m_bBusy = true;
    Post(std::make_unique<Job>());
}

bool CLibraryDocument::WaitUntilLoaded() {
    if (m_bLoaded) {
        return true;
    }
    if (m_bWaiting) {
        return false;  // a command is waiting already; this one does not run
    }
    Load();
    m_bWaiting = true;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    QEventLoop loop;
    connect(this, &CLibraryDocument::loaded, &loop, &QEventLoop::quit);
    if (!m_bLoaded) {
        loop.exec();
    }
    QApplication::restoreOverrideCursor();
    m_bWaiting = false;
    return m_bLoaded;
}

bool CLibraryDocument::IsReadOnly() const {
    return m_file.GetState() == CLibraryFile::State::Unreadable;
}

QString CLibraryDocument::ReadFailure() const {
    return DescribeFileError(m_file.ReadError());
}

EditOutcome CLibraryDocument::Change(const LibraryEdit& edit) {
    if (!m_bLoaded || IsReadOnly()) {
        return {};
    }
    m_pending.emplace_back(++m_nChanges, edit);
    const EditOutcome outcome = ApplyEdit(m_library, edit);
    StartSave();
    emit changed(edit);
    return outcome;
}

std::vector<ConversionRefusal> CLibraryDocument::ConvertToUtf8() {
    if (!m_bLoaded || IsReadOnly() || m_library.GetCharset().GetEncoding() == Encoding::Utf8) {
        return {};
    }
    const LibraryEdit edit = ConvertLibraryToUtf8{};
    EditOutcome outcome = ApplyEdit(m_library, edit);
    if (!outcome.changed) {
        return std::move(outcome.refused);
    }
    m_pending.emplace_back(++m_nChanges, edit);
    emit converted();
    StartSave();
    return {};
}

void CLibraryDocument::StartSave() {
    if (!m_bLoaded || IsReadOnly()) {
        return;
    }
    if (m_bBusy) {
        m_bSaveWanted = true;  // saved with what comes meanwhile, when the running job is done
        return;
    }
    m_bSaveWanted = false;
    m_bCheckWanted = false;  // a save checks the file first anyway
    m_bBusy = true;
    auto job = std::make_unique<Job>();
    job->kind = Job::Kind::Save;
    job->snapshot = m_library.Snapshot();
    TakePending(*job);
    Post(std::move(job));
}

void CLibraryDocument::TakePending(Job& job) const {
    for (const auto& [number, edit] : m_pending) {
        job.edits.push_back(edit);
        job.keepCopy = job.keepCopy || IsConversion(edit);
    }
    job.upTo = m_nChanges;
    job.keptHash = m_keptHash;
}

void CLibraryDocument::OnChangedOnDisk() {
    if (!m_bLoaded || IsReadOnly()) {
        return;
    }
    if (m_bBusy) {
        m_bCheckWanted = true;
        return;
    }
    if (!IsIdle()) {
        m_bCheckWanted = true;
        m_idleRetry.start();
        return;
    }
    m_bCheckWanted = false;
    m_bBusy = true;
    auto job = std::make_unique<Job>();
    job->kind = Job::Kind::Check;
    TakePending(*job);
    Post(std::move(job));
}

CLibraryDocument::SaveResult CLibraryDocument::Flush() {
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return !m_job && !m_bWorking; });
        }
        // Closing and tests take in what was found, whatever dialog is open.
        std::deque<std::unique_ptr<Result>> results;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            results.swap(m_results);
        }
        for (auto& result : results) {
            TakeResult(*result);
        }
        if (!m_bBusy && !m_bSaveWanted) {
            return m_lastSave;
        }
        if (!m_bBusy) {
            StartSave();
        }
    }
}

void CLibraryDocument::Post(std::unique_ptr<Job> job) {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_job = std::move(job);
    }
    m_wake.notify_all();
}

void CLibraryDocument::TakeResults() {
    for (;;) {
        std::unique_ptr<Result> result;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (m_results.empty()) {
                return;
            }
            // A library taken in renumbers every record: not while a dialog may hold one.
            if (m_results.front()->library && m_results.front()->kind != Job::Kind::Load &&
                !IsIdle()) {
                m_idleRetry.start();
                return;
            }
            result = std::move(m_results.front());
            m_results.pop_front();
        }
        TakeResult(*result);
    }
}

void CLibraryDocument::TakeResult(Result& result) {
    m_bBusy = false;
    if (result.kind == Job::Kind::Load) {
        m_library.Swap(*result.library);
        m_bLoaded = true;
        if (!IsReadOnly()) {
            m_file.Watch();
        }
        emit loaded();
    } else {
        if (result.keptHash) {
            m_keptHash = result.keptHash;
        }
        if (result.library) {
            // Changes made while the job ran go onto what the file held, as they went onto
            // the library.
            for (const auto& [number, edit] : m_pending) {
                if (number > result.upTo) {
                    ApplyEdit(*result.library, edit);
                }
            }
            emit aboutToReload();
            m_library.Swap(*result.library);
            emit reloaded(result.missing);
        }
        if (result.error.Failed()) {
            emit saveFailed(result.error);
        } else if (result.wrote) {
            std::erase_if(m_pending,
                          [&](const auto& change) { return change.first <= result.upTo; });
            emit saved();
        }
        m_lastSave = {result.library != nullptr, result.missing, result.error};
    }
    if (m_bSaveWanted) {
        StartSave();
    } else if (m_bCheckWanted) {
        OnChangedOnDisk();
    }
}

// ---------------------------------------------------------------------------------------------
// The library's thread

void CLibraryDocument::Work() {
    for (;;) {
        std::unique_ptr<Job> job;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_job || m_bStop; });
            if (!m_job) {
                return;
            }
            job = std::move(m_job);
            m_bWorking = true;
        }
        auto result = std::make_unique<Result>(Run(*job));
        // The snapshot goes before the window hears that the job is done: while it lives, the
        // next change would copy every record rather than share them.
        job.reset();
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_results.push_back(std::move(result));
            m_bWorking = false;
        }
        m_wake.notify_all();
        QMetaObject::invokeMethod(
            this, [this] { TakeResults(); }, Qt::QueuedConnection);
    }
}

CLibraryDocument::Result CLibraryDocument::Run(const Job& job) {
    Result result;
    result.kind = job.kind;
    result.upTo = job.upTo;
    if (job.kind == Job::Kind::Load) {
        result.library = std::make_unique<CFaceLibrary>();
        result.library->AdoptFaceList(m_file.Open());
        result.library->RecordsByText();  // the list shows it in this order first
        return result;
    }
    const bool writing = job.kind == Job::Kind::Save || !job.edits.empty();
    std::unique_ptr<QLockFile> lock;
    if (writing) {
        lock = m_file.Lock(result.error);
        if (!lock) {
            return result;
        }
    }
    if (job.keepCopy) {
        // The bytes the file holds under the lock are the ones kept: no other writer of ours
        // can slip in between. A file that is UTF-8 already was converted by an earlier save.
        const FileContent old = ReadWholeFile(m_file.Path());
        if (old.state == FileContent::State::Failed) {
            result.error = old.error;
            return result;
        }
        const std::uint64_t hash = CContentHash::Of(old.bytes);
        if (old.state == FileContent::State::Read &&
            !std::string_view(old.bytes).starts_with(Charset(Encoding::Utf8).FileMark()) &&
            job.keptHash != hash) {
            result.error = m_file.KeepCopy(old.bytes);
            if (result.error.Failed()) {
                return result;
            }
            result.keptHash = hash;
        }
    }
    FileContent current;
    if (!m_file.IsUnchanged(current)) {
        if (current.state == FileContent::State::Failed) {
            // What the file holds now cannot be seen, so it must not be written over.
            if (writing) {
                result.error = current.error;
            }
            return result;
        }
        // Taken as what the file holds only once the changes went onto it.
        const std::uint64_t hash = CContentHash::Of(current.bytes);
        auto library = std::make_unique<CFaceLibrary>();
        library->AdoptFaceList(std::move(current.bytes));
        for (const LibraryEdit& edit : job.edits) {
            const EditOutcome outcome = ApplyEdit(*library, edit);
            if (!outcome.refused.empty()) {
                // Another program wrote bytes that are no CP932 character: the changes that
                // follow are UTF-8 and must not go into a CP932 file. Nothing is written; the
                // changes wait, and the file is looked at again at the next save.
                result.error = {FileStep::Read, EILSEQ};
                return result;
            }
            result.missing.insert(result.missing.end(), outcome.missing.begin(),
                                  outcome.missing.end());
        }
        library->RecordsByText();
        m_file.Adopt(current.stamp, hash);
        result.library = std::move(library);
    } else if (job.kind == Job::Kind::Check) {
        return result;  // nothing changed
    }
    if (writing) {
        const CFaceLibrary* merged = result.library.get();
        result.error = m_file.Write([&](const ChunkSink& sink) {
            if (merged) {
                merged->WriteFaceList(sink);
            } else {
                job.snapshot.WriteFaceList(sink);
            }
        });
        result.wrote = !result.error.Failed();
    }
    return result;
}

}  // namespace mopira
