#pragma once

#include <QDialog>
#include <QIcon>
#include <QRect>
#include <QString>
#include <string>

#include "ui/library/LibraryDocument.h"

class QComboBox;

namespace mopira {

class CCreatePage;
class CDragTabCtrl;
class CHoverButton;
class CListPage;
class CPage;
class CTipToolBar;

// The program's only top-level window, as a frame around its two pages: the list tab
// (CListPage), where the user finds and copies emoticons of the library, and the create tab
// (CCreatePage), where faces are composed from parts. The frame holds the tab strip, the top
// toolbar and the copy button; always-on-top, help and the about box; the settings file; the
// window's placement and layout; and the library, which it lends to the pages.
class CMainDlg : public QDialog {
    Q_OBJECT

public:
    // `dataDirectory` holds FaceList.dat, the parts files and the help; the settings live in
    // the INI file `settingsPath`. Both come from outside so that tests run on their own.
    CMainDlg(const QString& dataDirectory, const QString& settingsPath, QWidget* parent = nullptr);
    ~CMainDlg() override;

    QString GetDataDir() const;
    void ShowPage(int tab);
    void LayoutPage(int tab);
    // The emoticon the commands act on: the shown page's, which refreshes the command states.
    std::string GetCurrentFace();
    const CLibraryDocument& Document() const { return m_document; }
    CLibraryDocument& Document() { return m_document; }
    const CFaceLibrary& Library() const { return m_document.Library(); }
    CListPage& ListPage() const { return *m_listPage; }
    CCreatePage& CreatePage() const { return *m_createPage; }
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
    void contextMenuEvent(QContextMenuEvent* event) override;
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

private:
    void ReadSettings();
    void WriteSettings();
    void CreateControls();
    void OnInitDialog();
    void ConnectHandlers();
    // The keyboard visits the controls of both pages in the window template's order.
    void SetTemplateTabOrder();
    QSize FrameSize() const;
    void PlaceWindow();
    CPage* CurrentPage() const;
    void OnTabChanged(int tab);
    void OnCurrentFaceChanged(bool hasFace);
    void OnSysCommand(int command);
    void OnTopMost();
    void OnHelp();
    void ShowAboutMenu(QWidget* source, const QPoint& pos);
    void OnCommand(int command);

    // Settings of the frame, read once at construction and written at close; the pages keep
    // their own.
    int m_nX = -1;
    int m_nY = -1;
    int m_nCX = 250;
    int m_nCY = 200;
    int m_nTopMost = 0;
    int m_nTab = 0;

    QString m_strDataDir;
    QString m_settingsPath;
    CLibraryDocument m_document;
    CListPage* m_listPage = nullptr;
    CCreatePage* m_createPage = nullptr;
    CHoverButton* m_btnCopy = nullptr;
    QComboBox* m_cboHelper = nullptr;
    CDragTabCtrl* m_tab = nullptr;
    CTipToolBar* m_tbarTop = nullptr;
    // The tab control's whole area; the strip takes its top, the page frame the rest.
    QRect m_rcTab;
    QIcon m_hIcon;
};

}  // namespace mopira
