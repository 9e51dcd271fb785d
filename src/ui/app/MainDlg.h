#pragma once

#include <QDialog>
#include <QFont>
#include <QIcon>
#include <QRect>
#include <array>
#include <string>
#include <vector>

#include "core/app/Settings.h"
#include "core/builder/FaceBuilder.h"
#include "core/builder/PartTable.h"
#include "core/library/FaceLibrary.h"
#include "core/library/FolderList.h"
#include "ui/app/DataStore.h"
#include "ui/library/LibraryDocument.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTreeWidget;

namespace mopira {

class CDragTabCtrl;
class CFaceListModel;
class CFolderCombo;
class CHoverButton;
class CIconButton;
class CIconMenu;
class CSortListCtrl;
class CTipToolBar;

// The program's only top-level window: the list tab, where the user finds and copies
// emoticons of the library, and the create tab, where faces are composed from parts. It owns
// the library, the parts tables, every control and the settings for its whole life.
//
// The frame (start-up, settings, tabs, layout, commands of the window) is in MainDlg.cpp; the
// list tab's handlers and the library commands are in ui/library, the create tab's in
// ui/builder.
class CMainDlg : public QDialog {
    Q_OBJECT

public:
    // The folder icons shared by the location combo and the folder trees.
    enum FolderImage { kImageFolder = 0, kImageOpenFolder = 1, kImageAllFaces = 2 };

    // `dataDirectory` holds FaceList.dat, the parts files and the help; the settings live in
    // the INI file `settingsPath`. Both come from outside so that tests run on their own.
    CMainDlg(const QString& dataDirectory, const QString& settingsPath, QWidget* parent = nullptr);
    ~CMainDlg() override;

    // Operations the rest of the program calls.
    QString GetDataDir() const;
    void ShowPage(int tab);
    void LayoutPage(int tab);
    // The emoticon the commands act on (the selected faces joined, or the composed face),
    // refreshing the enabled state of the copy button and the list commands.
    std::string GetCurrentFace();
    // What GetCurrentFace does to the window, without building the text.
    void UpdateCurrentFace();
    const CFaceLibrary& Library() const { return m_document.Library(); }
    const CLibraryDocument& Document() const { return m_document; }
    const CFolderList& Folders() const { return m_folders; }
    const QIcon& FolderIcon(FolderImage image) const { return m_folderImages[image]; }
    // The folder chosen in the location combo; empty for "すべての顔文字".
    std::string SelectedFolder() const;
    const QFont& ListFont() const { return m_fontList; }
    // Where the random face draws from; the window seeds one from the time at start.
    void SetRandomSource(CFaceBuilder::RandomSource random) { m_random = std::move(random); }
    // Shows the window in front of the others, restored and active: a later start of the
    // program on the same data folder asks for this.
    void BringToFront();

public slots:
    // The default command: copies the current emoticon; never closes the window.
    void OnOK();
    void accept() override { OnOK(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

private:
    // Frame.
    void ReadSettings();
    void WriteSettings();
    void CreateControls();
    void OnInitDialog();
    void ConnectHandlers();
    QSize FrameSize() const;
    void PlaceWindow();
    // The outer size a first start opens at: every page shows enough to be used.
    QSize FirstStartSize() const;
    void OnTabChanged(int tab);
    void OnSysCommand(int command);
    void OnTopMost();
    void OnHelp();
    void ShowAboutMenu(QWidget* source, const QPoint& pos);
    void OnCommand(int command);
    void LoadPartTables();
    void LoadFaceList();
    // Reads the library and fills the list and the folders, once; every command that needs
    // the library calls it first.
    void EnsureLoaded();
    // Writes the changes to FaceList.dat; tells the user when that fails. Called last in each
    // command: when the file had been changed elsewhere, the list is filled again from what
    // it holds now.
    bool SaveFaceList();
    void ShowSaveFailure(const FileError& error);
    // The library is about to be read again, and has been: every record id changes.
    void OnLibraryAboutToReload();
    void OnLibraryReloaded(const std::vector<std::string>& missing);
    // Whether the library may be changed; tells the user why not when asked to.
    bool CanChangeLibrary() const;

    // List tab (ui/library).
    void ShowFolder(const std::string& folder);
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
    void SelectFaceRow(const std::string& text);
    // After rows went away: an empty list shows every emoticon again. True when it did.
    bool ShowAllIfEmpty();
    std::vector<RecordId> SelectedRecords() const;
    int SelectedCount() const;
    void UpdateCommandStates(bool hasFace);
    std::vector<std::string> SelectedTexts() const;
    void SelectFaceRows(const std::vector<std::string>& texts);

    // Library commands (ui/library).
    void OnNewFace();
    void OnProperties();
    void OnMove();

    // Create tab (ui/builder).
    void SetupCreateTab();
    void ShowCategory(PartCategory category);
    void ApplyRow(PartCategory category);
    void OnTypeListItemChanged();
    void OnVariationListItemChanged();
    void OnPartButton(PartSlot slot);
    void OnRandom();
    std::string ComposeFace();
    void LayoutPartButtons();
    CHoverButton* PartButton(PartSlot slot) const;
    // Shows the builder's captions on the part buttons.
    void UpdatePartButtons();
    void SelectVariationRow(int row);

    // Settings, read once at construction and written at close.
    int m_nX = -1;
    int m_nY = -1;
    int m_nCX = 250;
    int m_nCY = 200;
    int m_nTopMost = 0;
    int m_nTab = 0;
    int m_nFind = 0;
    int m_nView = 0;
    int m_nContentWidth = 150;
    int m_nFolderWidth = 200;
    int m_nTypeWidth = 80;
    int m_nValue1Width = 100;
    int m_nValue2Width = 100;

    // The search box has had the focus once and its hint is gone.
    bool m_bSearchActivated = false;

    CDataStore m_store;
    QString m_settingsPath;
    CLibraryDocument m_document;
    const CFaceLibrary& m_library = m_document.Library();
    CFolderList m_folders;
    CFaceBuilder m_builder;
    CFaceBuilder::RandomSource m_random;
    bool m_bSaveWarned = false;  // the user knows the data folder cannot be written
    // What the list showed before the library was read again.
    std::vector<std::string> m_keptSelection;
    std::string m_strKeptFolder;

    // Controls, in the order of the window's template; all are children of this window.
    CHoverButton* m_btnCopy = nullptr;
    QComboBox* m_cboHelper = nullptr;
    CSortListCtrl* m_lstFace = nullptr;
    CFaceListModel* m_faceModel = nullptr;
    QListWidget* m_lstType = nullptr;
    QTreeWidget* m_lstVariation = nullptr;
    QGroupBox* m_grpFace = nullptr;
    CFolderCombo* m_cbxFolder = nullptr;
    QLineEdit* m_edtFind = nullptr;
    QPushButton* m_btnRandom = nullptr;
    CIconButton* m_btnAdd = nullptr;
    CHoverButton* m_btnLocation = nullptr;
    CHoverButton* m_btnEdgeLeft = nullptr;
    CHoverButton* m_btnEyeLeft = nullptr;
    CHoverButton* m_btnMouth = nullptr;
    CHoverButton* m_btnEyeRight = nullptr;
    CHoverButton* m_btnEmotionRight = nullptr;
    CHoverButton* m_btnEdgeRight = nullptr;
    CDragTabCtrl* m_tab = nullptr;
    CHoverButton* m_btnEmotionLeft = nullptr;
    CTipToolBar* m_tbarTop = nullptr;
    CTipToolBar* m_tbarList = nullptr;
    // The tab control's whole area; the strip takes its top, the page frame the rest.
    QRect m_rcTab;

    QIcon m_hIcon;
    std::array<QIcon, 3> m_folderImages;
    QFont m_fontPart;
    QFont m_fontList;
    // The find-mode menu while it is on screen.
    CIconMenu* m_pActiveMenu = nullptr;
};

}  // namespace mopira
