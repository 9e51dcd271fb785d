#pragma once

#include <QFont>
#include <string>
#include <vector>

#include "core/library/FaceLibrary.h"
#include "core/library/FolderList.h"
#include "ui/library/LibraryView.h"
#include "ui/platform/Page.h"

class QLineEdit;

namespace mopira {

class CFaceListModel;
class CFolderCombo;
class CHoverButton;
class CIconMenu;
class CLibraryDocument;
class CRecentFaces;
class CSortListCtrl;
class CTipToolBar;
struct FileError;

// The list tab: the face list with its toolbar, the location button that switches between
// finding by folder and by text, the folder combo and the search box; and the commands that
// change the library (add, properties, move, delete) with what each does to the list after.
// The library itself is the window's, shared with whoever else reads it.
class CListPage : public CPage {
    Q_OBJECT

public:
    CListPage(CLibraryDocument& document, QWidget* parent);
    ~CListPage() override;

    void ReadSettings(const Settings& settings) override;
    void WriteSettings(Settings& settings) const override;
    void ShowPage() override;
    void LayoutPage(int width, int height) override;
    QSize UsefulSize() const override;
    std::string CurrentFace() override;
    void UpdateCurrentFace() override;
    Charset FaceCharset() const override;

    // Adds an emoticon through the add dialog, filled with `face` (bytes in `charset`);
    // afterwards the list shows and selects the new one.
    void OnNewFace(const std::string& face = {}, Charset charset = Charset());

    // The folder chosen in the location combo; empty for the fixed items.
    std::string SelectedFolder() const;

    // The emoticons copied last, which the location combo offers as a list of its own.
    CRecentFaces& RecentFaces() const { return *m_recent; }
    // The selected emoticons were copied.
    void RememberCopied();
    LibraryView View() const;

signals:
    // Whether the library can be changed, once it is read (a file that could not be read
    // whole cannot).
    void changeableChanged(bool changeable);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void ConnectHandlers();
    void OnCommand(int command);
    // Lets the window run until the library is read; every command that changes it calls
    // this first and does nothing when it answers false.
    bool EnsureLoaded();
    void OnLibraryLoaded();

    void ShowFolder(const std::string& folder);
    // The emoticons copied last, in that order.
    void ShowRecent();
    bool IsRecentShown() const;
    // What the location combo has chosen: a folder, everything or the emoticons copied last.
    void ShowLocation();
    void OnRecentChanged();
    void FillFolderCombo();
    void AddFolderEntry(const std::string& folder);
    void RemoveFolderEntry(const std::string& folder);
    void SetFindMode(int mode);
    void SearchByText();
    void SetListView(bool details);
    void OnLocationButton();
    void OnFindByLocation();
    void OnFindByText();
    void OnFolderChanged(int index);
    void OnFindEditFocus();
    void OnFaceSelectionChanged();
    void OnFaceDoubleClicked();
    void OnContextMenu(const QPoint& globalPos, bool fromKeyboard);
    void OnDelete();
    void OnProperties();
    void OnMove();
    // Emoticon lists to and from other programs.
    void OnImport();
    void OnExport();
    // Asks whether the library may become UTF-8 (for a text CP932 cannot hold) and makes it
    // so on Yes; true when it is UTF-8 afterwards.
    bool OfferUtf8();
    // The library became UTF-8: the folders and the rows are shown again, the selection kept.
    void OnLibraryConverted();

    void SelectFaceRow(const std::string& text);
    void SelectFaceRows(const std::vector<std::string>& texts);
    // After rows went away: an empty list shows every emoticon again. True when it did.
    bool ShowAllIfEmpty();
    std::vector<std::string> SelectedTexts() const;
    // The one selected row's text when the library does not hold it; else empty.
    std::string SelectedOutsideText() const;
    int SelectedCount() const;
    void UpdateCommandStates(bool hasFace);
    bool CanChangeLibrary() const;

    // A save of the library's failed: the file is as it was.
    void ShowSaveFailure(const FileError& error);
    // The library is about to be read again, and has been: every record id changes.
    void OnLibraryAboutToReload();
    void OnLibraryReloaded(const std::vector<std::string>& missing);

    CLibraryDocument& m_document;
    const CFaceLibrary& m_library;
    CFolderList m_folders;
    FolderImages m_folderImages;

    // Settings.
    int m_nFind = 0;
    int m_nView = 0;
    int m_nContentWidth = 150;
    int m_nFolderWidth = 200;

    // The search box has had the focus once and its hint is gone.
    bool m_bSearchActivated = false;
    bool m_bSaveWarned = false;  // the user knows the data folder cannot be written
    // What the list showed before the library was read again.
    std::vector<std::string> m_keptSelection;
    std::string m_strKeptFolder;
    bool m_bKeptRecent = false;

    CSortListCtrl* m_lstFace = nullptr;
    CFaceListModel* m_faceModel = nullptr;
    CRecentFaces* m_recent = nullptr;
    CFolderCombo* m_cbxFolder = nullptr;
    QLineEdit* m_edtFind = nullptr;
    CHoverButton* m_btnLocation = nullptr;
    CTipToolBar* m_tbarList = nullptr;
    QFont m_fontList;
    // The find-mode menu while it is on screen.
    CIconMenu* m_pActiveMenu = nullptr;
};

}  // namespace mopira
