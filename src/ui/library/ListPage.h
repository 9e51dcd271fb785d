#pragma once

#include <QFont>
#include <QString>
#include <string>

#include "core/library/FaceLibrary.h"
#include "ui/library/FindModeButton.h"
#include "ui/library/LibraryView.h"
#include "ui/platform/Page.h"

class QLineEdit;

namespace mopira {

class CFaceListModel;
class CFolderCombo;
class CLibraryDocument;
class CLibraryMessages;
class CListActions;
class CListFinder;
class CRecentFaces;
class CSortListCtrl;
class CTipToolBar;

// How the face list shows them: a table with the folder beside each, or a list of icons.
enum class ViewMode { Details = 0, List = 1 };

// The list tab: the face list with its toolbar, the location button that switches between
// finding by folder and by text, the folder combo and the search box. The list and the combo
// follow the document's changes by themselves; what the list shows and how the user finds it
// lives in CListFinder, the commands that change the library in CListActions, and what the
// user is told about the file in CLibraryMessages.
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
    CListFinder& Finder() const { return *m_finder; }
    const QString& SettingsPath() const { return m_strSettingsPath; }
    // The folder chosen in the location combo; empty for the fixed items.
    std::string SelectedFolder() const;
    // The selected emoticons were copied.
    void RememberCopied();
    LibraryView View() const;

signals:
    // Whether the library can be changed, once it is read.
    void changeableChanged(bool changeable);

private:
    friend class CListActions;

    void CreateControls();
    void ConnectHandlers();
    void OnCommand(int command);
    void OnLibraryLoaded();
    void SetViewMode(ViewMode mode);
    void OnFaceSelectionChanged();
    void OnFaceDoubleClicked();

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
    ViewMode m_viewMode = ViewMode::Details;
    int m_nContentWidth = 150;
    int m_nFolderWidth = 200;

    CSortListCtrl* m_lstFace = nullptr;
    CFaceListModel* m_faceModel = nullptr;
    CFolderCombo* m_cbxFolder = nullptr;
    QLineEdit* m_edtFind = nullptr;
    CFindModeButton* m_btnLocation = nullptr;
    CTipToolBar* m_tbarList = nullptr;
    QFont m_fontList;
    CListFinder* m_finder = nullptr;
    CListActions* m_actions = nullptr;
    CLibraryMessages* m_messages = nullptr;
};

}  // namespace mopira
