#include "ui/library/RecentFaces.h"

#include <QDir>
#include <algorithm>

#include "ui/library/LibraryDocument.h"
#include "ui/platform/TextConvert.h"

namespace mopira {

CRecentFaces::CRecentFaces(CLibraryDocument& document, QObject* parent)
    : QObject(parent),
      m_document(document),
      m_path(QDir(document.File().Directory()).filePath(QString::fromLatin1(kFileName))) {
    connect(&m_document, &CLibraryDocument::loaded, this, &CRecentFaces::OnLibraryLoaded);
    connect(&m_document, &CLibraryDocument::changed, this, &CRecentFaces::OnLibraryChanged);
    connect(&m_document, &CLibraryDocument::reloaded, this, &CRecentFaces::FollowCharset);
    m_thread = std::thread([this] { Work(); });
    if (m_document.IsLoaded()) {
        OnLibraryLoaded();
    }
}

CRecentFaces::~CRecentFaces() {
    Flush();
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

QStringList CRecentFaces::Shown(int count) const {
    QStringList shown;
    for (const std::string& text : m_list.Texts()) {
        if (shown.size() == count) {
            break;
        }
        shown.append(ToQString(text, m_list.GetCharset()));
    }
    return shown;
}

void CRecentFaces::OnLibraryLoaded() {
    m_bLoaded = true;
    // Fifty lines: read at once on this thread. Only this program writes the file (one runs
    // per data folder), so what a crash left of a write of ours can go.
    RemoveTemporaryFilesOf(m_path);
    FileContent content = ReadWholeFile(m_path);
    m_bFileUnreadable = content.state == FileContent::State::Failed;
    m_list = content.state == FileContent::State::Read
                 ? CRecentList::Read(content.bytes)
                 : CRecentList(m_document.Library().GetCharset());
    m_list.ConvertTo(m_document.Library().GetCharset());
    std::vector<std::pair<std::string, Charset>> early;
    early.swap(m_early);
    for (const auto& [text, charset] : early) {
        Use({text}, charset);
    }
    emit changed();
}

void CRecentFaces::Use(const std::vector<std::string>& texts, Charset charset) {
    if (!m_bLoaded) {
        for (const std::string& text : texts) {
            m_early.emplace_back(text, charset);
        }
        return;
    }
    // A library made UTF-8 with no change after it: the list follows it before it takes a
    // face only UTF-8 holds.
    FollowCharset();
    bool changedList = false;
    for (auto text = texts.rbegin(); text != texts.rend(); ++text) {
        changedList |= m_list.Use(*text, charset);
    }
    if (changedList) {
        Save();
        emit changed();
    }
}

void CRecentFaces::OnLibraryChanged(const LibraryEdit& edit) {
    FollowCharset();
    bool changedList = false;
    if (const auto* removal = std::get_if<RemoveFaces>(&edit)) {
        changedList = m_list.Remove(removal->texts);
    } else if (const auto* replacement = std::get_if<ReplaceFace>(&edit)) {
        changedList = m_list.Replace(replacement->oldText, replacement->face.text);
    }
    if (changedList) {
        Save();
        emit changed();
    }
}

void CRecentFaces::FollowCharset() {
    const Charset charset = m_document.Library().GetCharset();
    if (m_bLoaded && charset != m_list.GetCharset()) {
        m_list.ConvertTo(charset);
        Save();
        emit changed();
    }
}

void CRecentFaces::Save() {
    if (!m_bLoaded || m_bFileUnreadable || m_document.IsReadOnly()) {
        return;
    }
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        // A write not started yet is replaced: only the newest list matters.
        m_pendingBytes = m_list.Write();
    }
    m_wake.notify_all();
}

FileError CRecentFaces::Flush() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_wake.wait(lock, [this] { return !m_pendingBytes && !m_bWriting; });
    return m_lastError;
}

void CRecentFaces::Work() {
    for (;;) {
        std::string bytes;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_pendingBytes || m_bStop; });
            if (!m_pendingBytes) {
                return;
            }
            bytes = std::move(*m_pendingBytes);
            m_pendingBytes.reset();
            m_bWriting = true;
        }
        // A failed write leaves the file as it was; the next change writes the whole list.
        const FileError error = ReplaceFile(m_path, bytes);
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_lastError = error;
            m_bWriting = false;
        }
        m_wake.notify_all();
    }
}

}  // namespace mopira
