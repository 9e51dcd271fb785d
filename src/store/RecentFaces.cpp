#include "store/RecentFaces.h"

#include <QDir>

#include "store/DiskThread.h"
#include "store/LibraryDocument.h"

namespace mopira {

CRecentFaces::CRecentFaces(CLibraryDocument& document, QObject* parent)
    : QObject(parent),
      m_document(document),
      m_path(QDir(document.Directory()).filePath(QString::fromLatin1(kFileName))) {
    connect(&m_document, &CLibraryDocument::loaded, this, &CRecentFaces::FollowCharset);
    connect(&m_document, &CLibraryDocument::changed, this, &CRecentFaces::OnLibraryChanged);
    connect(&m_document, &CLibraryDocument::reloaded, this, &CRecentFaces::FollowCharset);
    // Read before the library, whose load is posted after: the list is there when it is.
    // Only this program writes the file (one runs per data folder), so what a crash left of a
    // write of ours can go.
    m_document.DiskThread().Post(
        [path = m_path] {
            RemoveTemporaryFilesOf(path);
            return ReadWholeFile(path);
        },
        [this](FileContent content) { OnRead(std::move(content)); });
}

CRecentFaces::~CRecentFaces() {
    Flush();
}

void CRecentFaces::OnRead(FileContent content) {
    m_bLoaded = true;
    m_bFileUnreadable = content.state == FileContent::State::Failed;
    m_list = content.state == FileContent::State::Read
                 ? CRecentList::Read(content.bytes)
                 : CRecentList(m_document.Library().GetCharset());
    std::vector<std::pair<std::string, Charset>> early;
    early.swap(m_early);
    for (const auto& [text, charset] : early) {
        Use({text}, charset);
    }
    FollowCharset();
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
    if (m_bLoaded && m_document.IsLoaded() && charset != m_list.GetCharset()) {
        m_list.ConvertTo(charset);
        Save();
        emit changed();
    }
}

void CRecentFaces::Save() {
    // Never while the library is not read yet, or may not be changed: the user's files are
    // left as they are in such a run.
    if (!m_bLoaded || m_bFileUnreadable || !m_document.CanChange()) {
        return;
    }
    // A failed write leaves the file as it was; the next change writes the whole list.
    m_document.DiskThread().Post(
        [path = m_path, bytes = m_list.Write()] { return ReplaceFile(path, bytes); },
        [this](FileError error) { m_lastError = error; });
}

FileError CRecentFaces::Flush() {
    m_document.DiskThread().Drain();
    return m_lastError;
}

}  // namespace mopira
