#include "ui/library/LibraryDocument.h"

#include <QApplication>
#include <QDir>

namespace mopira {

namespace {

constexpr int kIdleRetryMs = 500;

bool IsIdle() {
    return !QApplication::activeModalWidget() && !QApplication::activePopupWidget();
}

}  // namespace

CLibraryDocument::CLibraryDocument(const QString& directory, QObject* parent)
    : QObject(parent), m_file(directory) {
    m_idleRetry.setSingleShot(true);
    m_idleRetry.setInterval(kIdleRetryMs);
    connect(&m_idleRetry, &QTimer::timeout, this, &CLibraryDocument::OnChangedOnDisk);
    connect(&m_file, &CLibraryFile::changedOnDisk, this, &CLibraryDocument::OnChangedOnDisk);
}

void CLibraryDocument::Load() {
    if (m_bLoaded) {
        return;
    }
    m_bLoaded = true;
    m_library.LoadFaceList(m_file.Open());
    if (!IsReadOnly()) {
        m_file.Watch();
    }
    emit loaded();
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
    m_pending.push_back(edit);
    return ApplyEdit(m_library, edit);
}

CLibraryDocument::SaveResult CLibraryDocument::Save() {
    SaveResult result;
    if (!m_bLoaded || IsReadOnly()) {
        return result;
    }
    const std::unique_ptr<QLockFile> lock = m_file.Lock(result.error);
    if (!lock) {
        return result;
    }
    FileContent current;
    if (!m_file.IsUnchanged(current)) {
        if (current.state == FileContent::State::Failed) {
            // What the file holds now cannot be seen, so it must not be written over.
            result.error = current.error;
            return result;
        }
        TakeIn(current, result);
    }
    result.error = m_file.Write([this](const ChunkSink& sink) { m_library.WriteFaceList(sink); });
    if (!result.error.Failed()) {
        m_pending.clear();
    }
    return result;
}

void CLibraryDocument::TakeIn(const FileContent& content, SaveResult& result) {
    emit aboutToReload();
    m_library.LoadFaceList(content.bytes);
    m_file.Adopt(content);
    result.reloaded = true;
    for (const LibraryEdit& edit : m_pending) {
        const EditOutcome outcome = ApplyEdit(m_library, edit);
        result.missing.insert(result.missing.end(), outcome.missing.begin(), outcome.missing.end());
    }
}

void CLibraryDocument::OnChangedOnDisk() {
    if (!m_bLoaded || IsReadOnly()) {
        return;
    }
    if (!IsIdle()) {
        m_idleRetry.start();
        return;
    }
    if (!m_pending.empty()) {
        // Unsaved changes go onto what the file holds now, and are saved with it.
        const SaveResult saved = Save();
        if (saved.reloaded) {
            emit reloaded(saved.missing);
        }
        if (saved.error.Failed()) {
            emit saveFailed(saved.error);
        }
        return;
    }
    FileContent current;
    if (m_file.IsUnchanged(current) || current.state != FileContent::State::Read) {
        return;
    }
    SaveResult taken;
    TakeIn(current, taken);
    emit reloaded(taken.missing);
}

}  // namespace mopira
