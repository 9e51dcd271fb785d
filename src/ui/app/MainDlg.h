#pragma once

#include <QDialog>
#include <QIcon>
#include <QRect>
#include <QSet>
#include <QString>
#include <string>

#include "core/app/Settings.h"
#include "store/LibraryDocument.h"
#include "ui/platform/ActivationToken.h"
#include "ui/platform/GlobalHotkey.h"

class QComboBox;

namespace mopira {

class CCreatePage;
class CDragTabCtrl;
class CHoverButton;
class CListPage;
class CPage;
class CPasteBack;
class CRecentFaces;
class CSettingsDlg;
class CTipToolBar;
class CTrayIcon;
class CWindowActivation;

// The program's only top-level window, as a frame around its two pages: the list tab
// (CListPage), where the user finds and copies emoticons of the library, and the create tab
// (CCreatePage), where faces are composed from parts. The frame holds the tab strip, the top
// toolbar and the copy button; always-on-top, help and the about box; the settings file; the
// window's placement and layout. The library and the emoticons copied last are the program's
// (CMainApp), lent to the window and its pages. It also answers
// the ways of calling it up from other programs: a later start of the program, a shortcut for
// the whole desktop and the tray icon; and a copy may hide it and paste into the program the
// user came from.
class CMainDlg : public QDialog {
    Q_OBJECT

public:
    // `document` is the library of the data folder, which holds the parts files and the help
    // too; the settings live in the INI file `settingsPath`. They come from outside so that
    // tests run on their own.
    CMainDlg(CLibraryDocument& document, CRecentFaces& recent, const QString& settingsPath,
             QWidget* parent = nullptr);
    ~CMainDlg() override;

    QString GetDataDir() const;
    void ShowPage(int tab);
    void LayoutPage(int tab);
    // The emoticon the commands act on: the shown page's, which refreshes the command states.
    std::string GetCurrentFace();
    CLibraryDocument& Document() const { return m_document; }
    CRecentFaces& RecentFaces() const { return m_recent; }
    const CFaceLibrary& Library() const { return m_document.Library(); }
    CListPage& ListPage() const { return *m_listPage; }
    CCreatePage& CreatePage() const { return *m_createPage; }
    // Shows the window in front of the others, restored and active: a later start of the
    // program on the same data folder asks for this, with the token the desktop gave it.
    void BringToFront(const ActivationToken& token = {});
    // Hides the window; the program goes on, and the focus goes back to another program.
    void HideWindow();
    // Hides the window when it is in front (active), else brings it to the front.
    void ToggleWindow(const ActivationToken& token = {});
    // Ends the window as its close button does, settings written, even while hidden.
    void Quit();
    // The window was called up from another program (--toggle, --show): from now on the user
    // expects to call it up again, so closing and Escape hide it.
    void MarkSummoned() { m_bSummoned = true; }
    // Closing and Escape hide the window instead of ending the program: a way to call it
    // back exists (a shortcut, the command line, the tray).
    bool IsResident() const;
    // The icon in the desktop's tray; null when it is switched off or the desktop has no tray.
    CTrayIcon* TrayIcon() const { return m_tray; }

signals:
    // The window's first paint reached the screen: what it does not show may start now.
    void firstPainted();

public slots:
    // The default command: copies the current emoticon; never closes the window.
    void OnOK();
    void accept() override { OnOK(); }
    // Escape: ends the window without saving the settings, or hides it where closing does.
    void reject() override;
    // However the window ends, a command waiting for the library to be read does not run.
    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

private:
    void ReadSettings();
    void WriteSettings();
    // The keys of calling the window up, as the settings file holds them now; notes which
    // keys it holds.
    SummonSettings ReadSummonSettings();
    // Writes the keys of calling the window up that differ from `before`, at once.
    void WriteSummonChanges(const SummonSettings& before);
    // Puts `wanted` in force (shortcut, tray, paste keys) and writes what changed. A shortcut
    // that cannot be had is not kept.
    void ApplySummon(const SummonSettings& wanted);
    void OnSettings();
    void SetTrayShown(bool shown);
    // What became of a shortcut, in words for the settings dialog.
    static QString HotkeyState(CGlobalHotkey::Result result, const QString& keys);
    void CreateSummoning();
    // The tray and the shortcut, once the window is on screen (or a moment after the start
    // when it is not shown): the desktop's answers can take a while.
    void StartSummoning();
    // Tells the user when the shortcut could not be had (at once, or when the desktop answers).
    void TellHotkeyResult(CGlobalHotkey::Result result);
    // The clipboard gets `text`; then, when chosen, the window hides and the program the user
    // came from gets it pasted.
    void CopyText(const QString& text);
    bool PastesBack() const;
    bool ClosesToTray() const;
    void CreateControls();
    void OnInitDialog();
    void ConnectHandlers();
    // The keyboard visits the controls of both pages in reading order.
    void SetTemplateTabOrder();
    QSize FrameSize() const;
    void PlaceWindow();
    CPage* CurrentPage() const;
    void OnTabChanged(int tab);
    void OnCurrentFaceChanged(bool hasFace);
    void OnSysCommand(int command);
    void OnTopMost();
    void OnHelp();
    // The window's menu: the about box, and whether a copy hides the window and pastes.
    void ShowWindowMenu(QWidget* source, const QPoint& pos);
    void OnCommand(int command);

    // Settings of the frame, read once at construction and written at close; the pages keep
    // their own. The keys of calling the window up are written when they change.
    int m_nX = -1;
    int m_nY = -1;
    int m_nCX = 250;
    int m_nCY = 200;
    int m_nTopMost = 0;
    int m_nTab = 0;
    SummonSettings m_summon;
    // The keys beyond the thirteen that the settings file holds or that were written.
    QSet<QString> m_summonKeysRead;

    QString m_strDataDir;
    QString m_strSettingsPath;
    CLibraryDocument& m_document;
    CRecentFaces& m_recent;
    CListPage* m_listPage = nullptr;
    CCreatePage* m_createPage = nullptr;
    CHoverButton* m_btnCopy = nullptr;
    QComboBox* m_cboHelper = nullptr;
    CDragTabCtrl* m_tab = nullptr;
    CTipToolBar* m_tbarTop = nullptr;
    // The tab control's whole area; the strip takes its top, the page frame the rest.
    QRect m_rcTab;
    QIcon m_icon;
    CGlobalHotkey* m_hotkey = nullptr;
    CPasteBack* m_pasteBack = nullptr;
    CTrayIcon* m_tray = nullptr;
    CWindowActivation* m_activation = nullptr;
    bool m_bSummoned = false;
    bool m_bPainted = false;
    bool m_bSummoningStarted = false;
    CSettingsDlg* m_settingsDlg = nullptr;
    CGlobalHotkey::Result m_hotkeyResult = CGlobalHotkey::Result::Off;
};

}  // namespace mopira
