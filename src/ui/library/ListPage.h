#pragma once

#include <QFont>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "core/library/FaceLibrary.h"
#include "core/library/LibraryEdit.h"
#include "ui/library/FindModeButton.h"
#include "ui/library/LibraryView.h"
#include "ui/platform/Page.h"

class QLineEdit;

namespace mopira {

class CMeaningIndex;
class CFaceListModel;
class CFolderCombo;
class CLibraryDocument;
class CLibraryMessages;
class CListActions;
class CRecentFaces;
class CSortListCtrl;
class CTipToolBar;

// How the face list shows them: a table with the folder beside each, or a list of icons.
enum class ViewMode { Details = 0, List = 1 };

// The list tab: the face list with its toolbar, the location button that switches between
// finding by folder and by text, the folder combo and the search box. The list, the combo and
// the emoticons copied last follow the document's changes by themselves; the commands that
// change the library live in CListActions, and what the user is told about the file in
// CLibraryMessages.
class CListPage : public CPage {
    Q_OBJECT

public:
    // The commands keep what they remember between runs in the INI file `settingsPath`.
    CListPage(CLibraryDocument& document, CRecentFaces& recent, const QString& settingsPath,
              QWidget* parent);
    ~CListPage() override;

    void ReadSettings(const Settings& settings) override;
    void WriteSettings(Settings& settings) const override;
    void ShowPage() override;
    void LayoutPage(int width, int height) override;
    QSize UsefulSize() const override;
    std::string CurrentFace() override;
    void UpdateCurrentFace() override;
    Charset FaceCharset() const override;

    CListActions& Actions() const { return *m_actions; }
    const QString& SettingsPath() const { return m_strSettingsPath; }
    // The folder chosen in the location combo; empty for the fixed items.
    std::string SelectedFolder() const;
    // The selected emoticons were copied.
    void RememberCopied();
    LibraryView View() const;

signals:
    // Whether the library can be changed, once it is read.
    void changeableChanged(bool changeable);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class CListActions;

    void CreateControls();
    void ConnectHandlers();
    void OnCommand(int command);
    void OnLibraryLoaded();
    void OnLibraryChanged(const LibraryEdit& edit);
    // The library is about to be read again, and has been: every record id changes.
    void OnLibraryAboutToReload();
    void OnLibraryReloaded();
    // The readings or keywords changed: a search lists what they find now.
    void OnKeywordsChanged();

    // The rows of a folder, or every row for the empty name.
    void ShowFolder(const std::string& folder);
    // What the location combo has chosen: a folder, everything or the emoticons copied last.
    void ShowLocation();
    void ShowRecent();
    bool IsRecentShown() const;
    void OnRecentChanged();
    void SetFindMode(FindMode mode);
    void SearchByText();
    void SetViewMode(ViewMode mode);
    void OnFindByLocation();
    void OnFindByText();
    void OnFolderChanged();
    void OnFindEditFocus();
    void OnFaceSelectionChanged();
    void OnFaceDoubleClicked();
    // An empty list says why it is empty: nothing found, nothing copied yet, no emoticon.
    void UpdateEmptyText();

    // After rows went away: an empty list shows every emoticon again. True when it did.
    bool ShowAllIfEmpty();
    void SelectFaceRow(const std::string& text);
    void SelectFaceRows(const std::vector<std::string>& texts);
    std::vector<std::string> SelectedTexts() const;
    // The one selected row's text when the library does not hold it; else empty.
    std::string SelectedOutsideText() const;
    int SelectedCount() const;
    void UpdateCommandStates(bool hasFace);

    CLibraryDocument& m_document;
    CRecentFaces& m_recent;
    QString m_strSettingsPath;
    const CFaceLibrary& m_library;
    FolderImages m_folderImages;

    // Settings.
    FindMode m_findMode = FindMode::Location;
    ViewMode m_viewMode = ViewMode::Details;
    int m_nContentWidth = 150;
    int m_nFolderWidth = 200;

    // The search box has had the focus once and its hint is gone.
    bool m_bSearchActivated = false;
    // The search's index of folders and keywords, made at the first search after a change.
    std::unique_ptr<CMeaningIndex> m_meaning;
    // What the list showed before the library was read again.
    std::vector<std::string> m_keptSelection;

    CSortListCtrl* m_lstFace = nullptr;
    CFaceListModel* m_faceModel = nullptr;
    CFolderCombo* m_cbxFolder = nullptr;
    QLineEdit* m_edtFind = nullptr;
    CFindModeButton* m_btnLocation = nullptr;
    CTipToolBar* m_tbarList = nullptr;
    QFont m_fontList;
    CListActions* m_actions = nullptr;
    CLibraryMessages* m_messages = nullptr;
};

}  // namespace mopira
