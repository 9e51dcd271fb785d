#pragma once

#include <QObject>
#include <QString>
#include <string>
#include <utility>
#include <vector>

#include "core/library/LibraryEdit.h"
#include "core/library/RecentList.h"
#include "store/PlatformFile.h"

namespace mopira {

class CLibraryDocument;

// The emoticons copied last and their file, Recent.dat beside the library's, in the
// library's encoding. The list follows the library's changes: a deleted emoticon leaves it,
// an edited one keeps its place under its new text; texts the library does not hold (faces
// of the create tab, emoticons gone from the file) stay listed.
//
// The file is read when the library is, and written after every change of the list, whole
// and atomically (ReplaceFile), on the disk thread, so that a copy never waits for the disk.
// It is never written while the library is not read yet or may not be changed (the user's
// files are left as they are in such a run), nor in a run where Recent.dat itself exists and
// could not be read whole: the list then starts empty and lives in memory only.
class CRecentFaces : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kFileName = "Recent.dat";

    CRecentFaces(CLibraryDocument& document, QObject* parent = nullptr);
    ~CRecentFaces() override;

    const CRecentList& List() const { return m_list; }
    QString Path() const { return m_path; }

    // These emoticons (bytes in `charset`) were copied together: each moves to the top, the
    // first of them ends there. Copies before the file is read are listed once it is.
    void Use(const std::vector<std::string>& texts, Charset charset);

    // Waits until the last write is done; what it reported. For closing and for tests.
    FileError Flush();

signals:
    // The list changed.
    void changed();

private:
    void OnRead(FileContent content);
    void OnLibraryChanged(const LibraryEdit& edit);
    // The library may now be in another encoding.
    void FollowCharset();
    void Save();

    CLibraryDocument& m_document;
    QString m_path;
    CRecentList m_list;
    bool m_bLoaded = false;
    // Recent.dat could not be read whole: it is not written in this run.
    bool m_bFileUnreadable = false;
    // Copies made before the file was read, oldest first.
    std::vector<std::pair<std::string, Charset>> m_early;
    FileError m_lastError;
};

}  // namespace mopira
