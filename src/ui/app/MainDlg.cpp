#include "ui/app/MainDlg.h"

#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStyleOptionTabWidgetFrame>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <algorithm>
#include <map>

#include "core/app/ControlIds.h"
#include "core/app/PageLayout.h"
#include "core/app/WindowPlacement.h"
#include "res/Resources.h"
#include "res/StringTable.h"
#include "store/DataFolder.h"
#include "store/RecentFaces.h"
#include "ui/app/AboutDlg.h"
#include "ui/app/PlatformWindow.h"
#include "ui/app/SettingsDlg.h"
#include "ui/app/TrayIcon.h"
#include "ui/builder/CreatePage.h"
#include "ui/controls/DragTabCtrl.h"
#include "ui/controls/HoverButton.h"
#include "ui/controls/TipToolBar.h"
#include "ui/library/ListActions.h"
#include "ui/library/ListPage.h"
#include "ui/platform/DialogUnits.h"
#include "ui/platform/Fonts.h"
#include "ui/platform/GlobalHotkey.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/ModalSeam.h"
#include "ui/platform/PasteBack.h"
#include "ui/platform/TextConvert.h"
#include "ui/platform/WindowActivation.h"

namespace mopira {

namespace {

// The outer frame the layout rules were made for: borders of 4 pixels and a caption of 19.
constexpr QSize kClassicFrame(8, 27);

// The top toolbar's rectangle in client pixels, as the window creates it.
const QRect kTopToolBarRect(QPoint(4, 3), QPoint(134, 24));

// The controls in reading order, which is the keyboard's order: the frame's, then the list
// tab's (left to right, then the list) and the create tab's (the face from left to right, its
// buttons, then the lists). A page's hidden controls take no turn.
constexpr int kTemplateOrder[] = {
    id::kCopyButton,        id::kTopToolBar,         id::kTab,
    id::kLocationButton,    id::kFolderCombo,        id::kFindEdit,
    id::kListToolBar,       id::kFaceList,           id::kEdgeLeftButton,
    id::kEmotionLeftButton, id::kEyeLeftButton,      id::kMouthButton,
    id::kEyeRightButton,    id::kEmotionRightButton, id::kEdgeRightButton,
    id::kAddButton,         id::kRandomButton,       id::kTypeList,
    id::kVariationList,     id::kHelperCombo,
};

// The tray and the shortcut start this long after the start at the latest, for a window
// that is not painted (minimised, or on a platform that shows nothing).
constexpr int kSummoningLatestMs = 1000;

// What takes a turn of the keyboard for a control: itself, or the children that do (the
// buttons of a toolbar, the two views of the face list).
QWidgetList FocusTurns(QWidget* control) {
    if (control->focusPolicy() & Qt::TabFocus) {
        return {control};
    }
    QWidgetList turns;
    for (QWidget* child : control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->focusPolicy() & Qt::TabFocus) {
            turns.append(child);
        }
    }
    return turns;
}

QString ProfileKey(const char* section, const char* key) {
    return QStringLiteral("%1/%2").arg(QLatin1String(section), QLatin1String(key));
}

// Takes each of `keys` that holds an integer into `values`; returns the keys the file holds.
template <class Values, class Keys>
QSet<QString> ReadIntKeys(const QSettings& profile, const Keys& keys, Values& values) {
    QSet<QString> present;
    for (const IntSettingKey<Values>& key : keys) {
        const QString name = ProfileKey(key.section, key.key);
        const QVariant value = profile.value(name);
        if (!value.isValid()) {
            continue;
        }
        present.insert(name);
        bool ok = false;
        const int number = value.toInt(&ok);
        if (ok) {
            values.*key.member = number;
        }
    }
    return present;
}

}  // namespace

CMainDlg::CMainDlg(CLibraryDocument& document, CRecentFaces& recent, const QString& settingsPath,
                   QWidget* parent)
    : QDialog(parent),
      m_strDataDir(document.Directory()),
      m_strSettingsPath(settingsPath),
      m_document(document),
      m_recent(recent) {
    m_icon = res::LoadIcon(id::kAppIcon);
    CreateControls();
    ReadSettings();
    OnInitDialog();
    ConnectHandlers();
    CreateSummoning();
}

CMainDlg::~CMainDlg() {
    // The pages go before the library they read.
    delete m_listPage;
    delete m_createPage;
}

// ---------------------------------------------------------------------------------------------
// Settings

void CMainDlg::ReadSettings() {
    const QSettings profile(m_strSettingsPath, QSettings::IniFormat);
    Settings settings;
    ReadIntKeys(profile, kSettingsReadOrder, settings);
    m_summon = ReadSummonSettings();
    m_nX = settings.x;
    m_nY = settings.y;
    m_nCX = settings.cx;
    m_nCY = settings.cy;
    m_nTopMost = settings.topMost;
    m_nTab = settings.tab;
    m_listPage->ReadSettings(settings);
    m_createPage->ReadSettings(settings);
}

SummonSettings CMainDlg::ReadSummonSettings() {
    const QSettings profile(m_strSettingsPath, QSettings::IniFormat);
    SummonSettings summon;
    m_summonKeysRead = ReadIntKeys(profile, kSummonIntKeys, summon);
    for (const TextSettingKey& key : kSummonTextKeys) {
        const QString name = ProfileKey(key.section, key.key);
        const QVariant value = profile.value(name);
        if (value.isValid()) {
            m_summonKeysRead.insert(name);
            // An unquoted comma makes a list of the value, as in "Ctrl+,".
            summon.*key.member = (value.typeId() == QMetaType::QStringList
                                      ? value.toStringList().join(QLatin1Char(','))
                                      : value.toString())
                                     .toStdString();
        }
    }
    return summon;
}

void CMainDlg::WriteSummonChanges(const SummonSettings& before) {
    // Only what changed: whatever else the file holds, edited while the program runs, stays.
    QSettings profile(m_strSettingsPath, QSettings::IniFormat);
    for (const auto& key : kSummonIntKeys) {
        if (m_summon.*key.member != before.*key.member) {
            const QString name = ProfileKey(key.section, key.key);
            profile.setValue(name, m_summon.*key.member);
            m_summonKeysRead.insert(name);
        }
    }
    for (const TextSettingKey& key : kSummonTextKeys) {
        if (m_summon.*key.member != before.*key.member) {
            const QString name = ProfileKey(key.section, key.key);
            profile.setValue(name, QString::fromStdString(m_summon.*key.member));
            m_summonKeysRead.insert(name);
        }
    }
    profile.sync();
}

void CMainDlg::WriteSettings() {
    const QRect outer(pos(), size() + FrameSize());
    Settings settings;
    settings.x = outer.x();
    settings.y = outer.y();
    settings.cx = outer.width();
    settings.cy = outer.height();
    settings.tab = m_tab->currentIndex();
    settings.topMost = m_nTopMost;
    m_listPage->WriteSettings(settings);
    m_createPage->WriteSettings(settings);

    QSettings profile(m_strSettingsPath, QSettings::IniFormat);
    for (const SettingKey& key : kSettingsWriteOrder) {
        profile.setValue(ProfileKey(key.section, key.key), settings.*key.member);
    }
    // The summoning keys were written when they changed.
    profile.sync();
}

// ---------------------------------------------------------------------------------------------
// Construction

void CMainDlg::CreateControls() {
    setWindowTitle(res::kWindowCaption.toString());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(FaceFont(9));
    const CDialogUnits du(font());
    resize(du.X(210), du.Y(138));

    // The template's order, which is also where the keyboard starts: the copy button first.
    m_btnCopy = new CHoverButton(this);
    m_btnCopy->setText(res::kCopyCaption.toString());
    m_btnCopy->setDefault(true);
    PlaceControl(du, m_btnCopy, "m_btnCopy", id::kCopyButton, 2, 2, 33, 15);

    m_cboHelper = new QComboBox(this);
    m_cboHelper->setEditable(true);
    PlaceControl(du, m_cboHelper, "m_cboHelper", id::kHelperCombo, 54, 2, 70, 93);
    m_cboHelper->hide();

    m_listPage = new CListPage(m_document, m_recent, m_strSettingsPath, this);
    m_listPage->setObjectName(QStringLiteral("m_listPage"));
    m_createPage = new CCreatePage(m_strDataDir, this);
    m_createPage->setObjectName(QStringLiteral("m_createPage"));
    // The pages cover the client area; the frame's own controls stay reachable above them.
    m_btnCopy->raise();

    m_tab = new CDragTabCtrl(this);
    PlaceControl(du, m_tab, "m_tab", id::kTab, 2, 23, 206, 17);
    m_rcTab = m_tab->geometry();
}

void CMainDlg::OnInitDialog() {
    // About box: the window system's own menu where the program can reach it, otherwise a
    // context menu of the top toolbar and of the tab strip.
    const QString about = res::LoadString(id::kAboutString);
    if (!about.isEmpty()) {
        AppendSystemMenuItem(this, id::kAboutBox, about);
    }
    setWindowIcon(m_icon);

    m_tbarTop = new CTipToolBar(this);
    m_tbarTop->setObjectName(QStringLiteral("m_tbarTop"));
    m_tbarTop->setProperty("controlId", id::kTopToolBar);
    m_tbarTop->setGeometry(kTopToolBarRect);
    m_tbarTop->LoadToolBar(id::kTopToolBarResource);
    // The second always-on-top entry only brings the switched-on picture into the strip.
    m_tbarTop->DeleteButton(1);

    m_tab->RegisterDropTarget();
    m_tab->addTab(res::kListTab.toString());
    m_tab->addTab(res::kCreateTab.toString());

    m_btnCopy->LoadIcons(id::kCopyIcon, 0);
    m_cboHelper->hide();

    PlaceWindow();

    // The library is read right after the window first shows, so a large one never delays
    // the window; whatever needs it before then loads it at once.
    QTimer::singleShot(0, &m_document, &CLibraryDocument::Load);

    {
        // Choosing the start page is not the user switching tabs.
        const QSignalBlocker blocker(m_tab);
        m_tab->setCurrentIndex(m_nTab);
    }
    ShowPage(m_nTab);
    LayoutPage(m_nTab);
    if (CPage* page = CurrentPage()) {
        page->UpdateCurrentFace();
    }

    m_btnCopy->SetTipText(res::kCopyTip.toString(), true);
    m_tab->setAccessibleName(res::kWindowCaption.toString());
    m_tbarTop->setAccessibleName(res::kTopToolBarName.toString());
    SetTemplateTabOrder();
}

void CMainDlg::ConnectHandlers() {
    connect(m_btnCopy, &QPushButton::clicked, this, &CMainDlg::OnOK);
    connect(m_tab, &QTabBar::currentChanged, this, &CMainDlg::OnTabChanged);
    connect(m_tbarTop, &CTipToolBar::commandTriggered, this, &CMainDlg::OnCommand);
    for (CPage* page : {static_cast<CPage*>(m_listPage), static_cast<CPage*>(m_createPage)}) {
        connect(page, &CPage::currentFaceChanged, this, [this, page](bool hasFace) {
            if (page == CurrentPage()) {
                OnCurrentFaceChanged(hasFace);
            }
        });
        connect(page, &CPage::copyRequested, this, &CMainDlg::OnOK);
    }
    // "一覧に追加" of the create tab adds through the list tab, which shows the result.
    connect(m_createPage, &CCreatePage::addRequested, &m_listPage->Actions(),
            &CListActions::AddFace);
    connect(m_listPage, &CListPage::changeableChanged, m_createPage, [this](bool changeable) {
        m_createPage->SetAddEnabled(changeable, res::kLibraryReadOnlyTip.toString());
    });
    for (QWidget* source : {static_cast<QWidget*>(m_tbarTop), static_cast<QWidget*>(m_tab)}) {
        source->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(source, &QWidget::customContextMenuRequested, this,
                [this, source](const QPoint& pos) { ShowWindowMenu(source, pos); });
    }
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &CMainDlg::OnHelp);
    // Escape may only hide the window; this always ends the program.
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    connect(quit, &QShortcut::activated, this, &CMainDlg::Quit);
    // The tab strip takes no focus, so the keyboard switches pages as tabbed windows do.
    for (const QKeySequence& keys :
         {QKeySequence(QKeySequence::NextChild), QKeySequence(QKeySequence::PreviousChild),
          QKeySequence(Qt::CTRL | Qt::Key_PageDown), QKeySequence(Qt::CTRL | Qt::Key_PageUp)}) {
        auto* next = new QShortcut(keys, this);
        connect(next, &QShortcut::activated, this,
                [this] { m_tab->setCurrentIndex(m_tab->currentIndex() == 0 ? 1 : 0); });
    }
}

void CMainDlg::CreateSummoning() {
    m_activation = new CWindowActivation(*this);
    m_pasteBack = new CPasteBack(this);
    m_hotkey = new CGlobalHotkey(this);
    connect(m_hotkey, &CGlobalHotkey::activated, this,
            [this](const ActivationToken& token) { ToggleWindow(token); });
    connect(m_hotkey, &CGlobalHotkey::settled, this, &CMainDlg::TellHotkeyResult);
    connect(m_pasteBack, &CPasteBack::refused, this, [this] {
        ShowMessage(this, res::kPasteRefused.toString(), MessageButtons::Ok, MessageIcon::Warning);
    });
    // Kept at once: the desktop's token is good for one start, and Escape writes no settings.
    connect(m_pasteBack, &CPasteBack::restoreTokenChanged, this, [this](const QString& token) {
        const QString name = ProfileKey(kRemoteDesktopTokenKey.section, kRemoteDesktopTokenKey.key);
        m_summon.remoteDesktopToken = token.toStdString();
        m_summonKeysRead.insert(name);
        QSettings(m_strSettingsPath, QSettings::IniFormat).setValue(name, token);
    });
    connect(this, &CMainDlg::firstPainted, this, &CMainDlg::StartSummoning);
    QTimer::singleShot(kSummoningLatestMs, this, &CMainDlg::StartSummoning);
}

void CMainDlg::StartSummoning() {
    if (m_bSummoningStarted) {
        return;
    }
    m_bSummoningStarted = true;
    SetTrayShown(m_summon.tray != 0);
    // A key that cannot be had is told over the window.
    TellHotkeyResult(m_hotkey->Register(QString::fromStdString(m_summon.hotkey),
                                        res::kHotkeyDescription.toString()));
    const QString pasteKey = QString::fromStdString(m_summon.pasteKey).trimmed();
    if (!m_pasteBack->SetPasteKey(pasteKey)) {
        ShowMessage(this,
                    res::kPasteKeyInvalid.toString().arg(
                        pasteKey, QDir::toNativeSeparators(m_strSettingsPath)),
                    MessageButtons::Ok, MessageIcon::Warning);
    }
    if (m_summon.hideAfterCopy != 0 && m_summon.pasteAfterCopy != 0) {
        m_pasteBack->Prepare(QString::fromStdString(m_summon.remoteDesktopToken));
    }
}

void CMainDlg::SetTrayShown(bool shown) {
    if (!shown) {
        delete m_tray;
        m_tray = nullptr;
        return;
    }
    if (m_tray) {
        return;
    }
    m_tray = new CTrayIcon(m_icon, this);
    if (!m_tray->Show()) {
        delete m_tray;
        m_tray = nullptr;
        return;
    }
    connect(m_tray, &CTrayIcon::toggleRequested, this, [this] { ToggleWindow(); });
    connect(m_tray, &CTrayIcon::faceChosen, this, [this](const QString& face) {
        m_recent.Use({face.toStdString()}, Charset(Encoding::Utf8));
        CopyText(face);
    });
    const auto showRecent = [this] {
        QStringList shown;
        const CRecentList& list = m_recent.List();
        for (const std::string& text : list.Texts()) {
            if (shown.size() == CTrayIcon::kRecentShown) {
                break;
            }
            shown.append(ToQString(text, list.GetCharset()));
        }
        m_tray->SetRecentFaces(shown);
    };
    connect(&m_recent, &CRecentFaces::changed, m_tray, showRecent);
    showRecent();
    connect(m_tray, &CTrayIcon::quitRequested, this, &CMainDlg::Quit);
}

QString CMainDlg::HotkeyState(CGlobalHotkey::Result result, const QString& keys) {
    switch (result) {
        case CGlobalHotkey::Result::Grabbed:
            return res::kHotkeyStateGrabbed.toString();
        case CGlobalHotkey::Result::Invalid:
            return res::kHotkeyStateInvalid.toString().arg(keys);
        case CGlobalHotkey::Result::Taken:
            return res::kHotkeyStateTaken.toString().arg(keys);
        case CGlobalHotkey::Result::Unsupported:
            return res::kHotkeyStateUnsupported.toString();
        case CGlobalHotkey::Result::Pending:
            return res::kHotkeyStatePending.toString();
        case CGlobalHotkey::Result::Refused:
            return res::kHotkeyStateRefused.toString();
        case CGlobalHotkey::Result::Off:
            break;
    }
    return {};
}

void CMainDlg::ApplySummon(const SummonSettings& wanted) {
    const SummonSettings before = m_summon;
    m_summon = wanted;
    if (wanted.hotkey != before.hotkey) {
        const QString keys = QString::fromStdString(wanted.hotkey);
        const CGlobalHotkey::Result result =
            m_hotkey->Register(keys, res::kHotkeyDescription.toString());
        QString state = HotkeyState(result, keys);
        m_hotkeyResult = result;
        if (result == CGlobalHotkey::Result::Invalid || result == CGlobalHotkey::Result::Taken) {
            // A key that cannot be had is not kept: the one before stays in force.
            m_summon.hotkey = before.hotkey;
            m_hotkeyResult = m_hotkey->Register(QString::fromStdString(before.hotkey),
                                                res::kHotkeyDescription.toString());
        }
        if (m_settingsDlg) {
            m_settingsDlg->SetHotkeyState(QString::fromStdString(m_summon.hotkey), state);
        }
    }
    if (wanted.tray != before.tray) {
        SetTrayShown(wanted.tray != 0);
    }
    if (wanted.pasteKey != before.pasteKey) {
        m_pasteBack->SetPasteKey(QString::fromStdString(wanted.pasteKey));
    }
    if (PastesBack() && (before.hideAfterCopy == 0 || before.pasteAfterCopy == 0)) {
        m_pasteBack->Prepare(QString::fromStdString(m_summon.remoteDesktopToken));
    }
    WriteSummonChanges(before);
}

void CMainDlg::OnSettings() {
    // The file may have been edited since it was read: what it holds now is what shows.
    ApplySummon(ReadSummonSettings());
    CSettingsDlg dialog(m_summon, m_pasteBack->IsAvailable(), this);
    dialog.setObjectName(QStringLiteral("m_settingsDlg"));
    const QString keys = QString::fromStdString(m_summon.hotkey).trimmed();
    dialog.SetHotkeyState(keys, keys.isEmpty() ? QString() : HotkeyState(m_hotkeyResult, keys));
    connect(&dialog, &CSettingsDlg::settingsChanged, this, &CMainDlg::ApplySummon);
    m_settingsDlg = &dialog;
    RunModal(dialog);
    m_settingsDlg = nullptr;
}

void CMainDlg::TellHotkeyResult(CGlobalHotkey::Result result) {
    m_hotkeyResult = result;
    if (m_settingsDlg) {
        // The desktop answered while the dialog shows: said there, not in a box over it.
        m_settingsDlg->SetHotkeyState(QString::fromStdString(m_summon.hotkey),
                                      HotkeyState(result, QString::fromStdString(m_summon.hotkey)));
        return;
    }
    const QString keys = QString::fromStdString(m_summon.hotkey).trimmed();
    const QString settings = QDir::toNativeSeparators(m_strSettingsPath);
    const QString bindCommand = res::kHotkeyBindCommand.toString();
    QString refusal;
    switch (result) {
        case CGlobalHotkey::Result::Invalid:
            refusal = res::kHotkeyInvalid.toString().arg(keys, settings);
            break;
        case CGlobalHotkey::Result::Taken:
            refusal = res::kHotkeyTaken.toString().arg(keys, settings);
            break;
        case CGlobalHotkey::Result::Unsupported:
            refusal = res::kHotkeyUnsupported.toString().arg(keys) + bindCommand;
            break;
        case CGlobalHotkey::Result::Refused:
            refusal = res::kHotkeyRefused.toString().arg(keys) + bindCommand;
            break;
        case CGlobalHotkey::Result::Off:
        case CGlobalHotkey::Result::Grabbed:
        case CGlobalHotkey::Result::Pending:
            return;
    }
    ShowMessage(this, refusal, MessageButtons::Ok, MessageIcon::Warning);
}

void CMainDlg::SetTemplateTabOrder() {
    std::map<int, QWidget*> byId;
    for (QWidget* control : findChildren<QWidget*>()) {
        bool ok = false;
        const int controlId = control->property("controlId").toInt(&ok);
        if (ok) {
            byId.emplace(controlId, control);
        }
    }
    QWidget* previous = nullptr;
    for (int controlId : kTemplateOrder) {
        const auto found = byId.find(controlId);
        if (found == byId.end()) {
            continue;
        }
        for (QWidget* turn : FocusTurns(found->second)) {
            if (previous) {
                setTabOrder(previous, turn);
            }
            previous = turn;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Window

QString CMainDlg::GetDataDir() const {
    return QDir(m_strDataDir).absolutePath() + QLatin1Char('/');
}

QSize CMainDlg::FrameSize() const {
    // The layout rules, the minimum size and the saved size count in outer pixels of this
    // frame on every platform, whatever the window manager draws: the controls keep their
    // margins everywhere, and a size written at close comes back the same at the next start.
    return kClassicFrame;
}

void CMainDlg::PlaceWindow() {
    const QSize frame = FrameSize();
    setMinimumSize(kMinOuterWidth - frame.width(), kMinOuterHeight - frame.height());
    if (m_nX != -1 && m_nY != -1) {
        // A saved placement from another screen setup, or edited by hand, is brought onto
        // the screens there are; the corrected one is what the close writes back.
        std::vector<ScreenRect> screens;
        for (const QScreen* screen : QGuiApplication::screens()) {
            const QRect area = screen->availableGeometry();
            screens.push_back({area.x(), area.y(), area.width(), area.height()});
        }
        const ScreenRect placed =
            FitToScreens({m_nX, m_nY, m_nCX, m_nCY}, screens, frame.height() - frame.width() / 2);
        move(placed.x, placed.y);
        resize(placed.width - frame.width(), placed.height - frame.height());
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        // A first start opens large enough for what each page is for.
        const QRect area = screen->availableGeometry();
        const QSize usable = m_listPage->UsefulSize()
                                 .expandedTo(m_createPage->UsefulSize())
                                 .boundedTo(area.size())
                                 .expandedTo(size() + frame);
        resize(usable - frame);
        QRect centred(QPoint(), usable);
        centred.moveCenter(area.center());
        move(centred.topLeft());
    }
    if (m_nTopMost == 1) {
        m_nTopMost = 0;
        OnTopMost();
    }
}

CPage* CMainDlg::CurrentPage() const {
    switch (m_tab ? m_tab->currentIndex() : -1) {
        case 0:
            return m_listPage;
        case 1:
            return m_createPage;
        default:
            return nullptr;
    }
}

void CMainDlg::ShowPage(int tab) {
    m_listPage->hide();
    m_createPage->hide();
    if (tab == 0) {
        setWindowTitle(res::kListTitle.toString());
        m_listPage->ShowPage();
    } else if (tab == 1) {
        setWindowTitle(res::kCreateTitle.toString());
        m_createPage->ShowPage();
    }
}

void CMainDlg::LayoutPage(int tab) {
    const QSize outer = size() + FrameSize();
    for (const ControlPlacement& step : mopira::LayoutPage(tab, outer.width(), outer.height())) {
        if (step.controlId == id::kTab) {
            m_rcTab.setSize(QSize(step.x, step.y));
            const int strip = std::min(m_tab->sizeHint().height(), step.y);
            m_tab->setGeometry(m_rcTab.x(), m_rcTab.y(), step.x, strip);
            update();
        } else if (step.controlId == id::kTopToolBar) {
            m_tbarTop->move(step.x, step.y);
        }
    }
    if (tab == 0) {
        m_listPage->LayoutPage(outer.width(), outer.height());
    } else if (tab == 1) {
        m_createPage->LayoutPage(outer.width(), outer.height());
    }
}

void CMainDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    for (CPage* page : {static_cast<CPage*>(m_listPage), static_cast<CPage*>(m_createPage)}) {
        page->setGeometry(rect());
    }
    // While minimised the size means nothing; the restore lays out again.
    if (m_tab && !isMinimized()) {
        LayoutPage(m_tab->currentIndex());
    }
}

void CMainDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    // The page frame of the tab control, under the strip; the page's controls lie on it.
    QPainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, m_tab);
    const int top = m_tab->geometry().bottom() + 1 - overlap;
    frame.rect = QRect(m_rcTab.left(), top, m_rcTab.width(), m_rcTab.bottom() + 1 - top);
    frame.shape = QTabBar::RoundedNorth;
    frame.tabBarSize = m_tab->size();
    frame.tabBarRect = m_tab->geometry().translated(-m_rcTab.topLeft());
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
    if (!m_bPainted) {
        m_bPainted = true;
        // After this paint is flushed to the screen, not within it.
        QTimer::singleShot(0, this, &CMainDlg::firstPainted);
    }
}

void CMainDlg::OnTabChanged(int tab) {
    ShowPage(tab);
    LayoutPage(tab);
    if (CPage* page = CurrentPage()) {
        page->UpdateCurrentFace();
    }
}

void CMainDlg::OnCurrentFaceChanged(bool hasFace) {
    m_btnCopy->setEnabled(hasFace);
}

bool CMainDlg::ClosesToTray() const {
    return m_summon.closeToTray != 0 && m_tray && m_tray->IsShown();
}

bool CMainDlg::IsResident() const {
    // A key that can never be pressed calls nothing back.
    const bool hotkey = !QString::fromStdString(m_summon.hotkey).trimmed().isEmpty() &&
                        m_hotkeyResult != CGlobalHotkey::Result::Invalid;
    return hotkey || m_bSummoned || ClosesToTray();
}

void CMainDlg::closeEvent(QCloseEvent* event) {
    WriteSettings();
    if (IsResident()) {
        HideWindow();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CMainDlg::reject() {
    // Dismissed, not ended: what the window looks like now is what comes back.
    if (IsResident()) {
        WriteSettings();
        HideWindow();
        return;
    }
    QDialog::reject();
}

void CMainDlg::done(int result) {
    m_document.CancelWaits();
    QDialog::done(result);
}

void CMainDlg::Quit() {
    WriteSettings();
    // Not close(): a hidden window takes no close, and done() ends it whether shown or not.
    done(QDialog::Rejected);
}

void CMainDlg::BringToFront(const ActivationToken& token) {
    m_activation->BringToFront(token);
}

void CMainDlg::HideWindow() {
    // The program runs on hidden (CMainApp waits for the window to end, not to hide), and the
    // window manager gives the focus back to the window that had it before.
    hide();
}

void CMainDlg::ToggleWindow(const ActivationToken& token) {
    if (isVisible() && !isMinimized() && HasKeyboardFocus(*this)) {
        HideWindow();
    } else {
        BringToFront(token);
    }
}

// ---------------------------------------------------------------------------------------------
// The current emoticon

std::string CMainDlg::GetCurrentFace() {
    CPage* page = CurrentPage();
    return page ? page->CurrentFace() : std::string();
}

void CMainDlg::OnOK() {
    CPage* page = CurrentPage();
    if (!page) {
        return;
    }
    const std::string face = page->CurrentFace();
    if (face.empty()) {
        return;
    }
    // Several emoticons of the list count one by one; the create tab's face counts as one.
    if (page == m_listPage) {
        m_listPage->RememberCopied();
    } else {
        m_recent.Use({face}, page->FaceCharset());
    }
    CopyText(ToQString(face, page->FaceCharset()));
}

void CMainDlg::CopyText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    if (m_summon.hideAfterCopy == 0) {
        return;
    }
    HideWindow();
    if (PastesBack()) {
        m_pasteBack->Start();
    }
}

bool CMainDlg::PastesBack() const {
    return m_summon.hideAfterCopy != 0 && m_summon.pasteAfterCopy != 0 &&
           m_pasteBack->IsAvailable();
}

// ---------------------------------------------------------------------------------------------
// Commands of the window

void CMainDlg::OnCommand(int command) {
    switch (command) {
        case id::kTopMost:
            OnTopMost();
            break;
        case id::kHelp:
            OnHelp();
            break;
        case id::kAboutBox:
            OnSysCommand(id::kAboutBox);
            break;
        default:
            break;
    }
}

void CMainDlg::OnTopMost() {
    const bool on = m_nTopMost == 0;
    m_tbarTop->SetButtonImage(id::kTopMost, on ? 1 : 0);
    // Changing the flag on the native window keeps it where it is; setWindowFlags would hide
    // and recreate it.
    if (QWindow* window = windowHandle()) {
        window->setFlag(Qt::WindowStaysOnTopHint, on);
        overrideWindowFlags(window->flags());
    } else {
        setWindowFlag(Qt::WindowStaysOnTopHint, on);
    }
    m_tbarTop->CheckButton(id::kTopMost, on);
    m_nTopMost = on ? 1 : 0;
}

void CMainDlg::OnSysCommand(int command) {
    if ((command & 0xFFF0) == id::kAboutBox) {
        CAboutDlg about(GetDataDir(), this);
        RunModal(about);
    }
}

void CMainDlg::ShowWindowMenu(QWidget* source, const QPoint& pos) {
    QMenu menu(this);
    QAction* about = menu.addAction(res::LoadString(id::kAboutString));
    QAction* settings = menu.addAction(res::kSettingsItem.toString());
    menu.addSeparator();
    QAction* hide = menu.addAction(res::kHideAfterCopyItem.toString());
    hide->setCheckable(true);
    hide->setChecked(m_summon.hideAfterCopy != 0);
    // Pasting needs the focus back in the other program, which hiding gives it.
    QAction* paste = menu.addAction(res::kPasteAfterCopyItem.toString());
    paste->setCheckable(true);
    paste->setChecked(m_summon.pasteAfterCopy != 0);
    paste->setEnabled(m_summon.hideAfterCopy != 0 && m_pasteBack->IsAvailable());
    menu.addSeparator();
    QAction* quit = menu.addAction(res::kQuitItem.toString());
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QAction* chosen = menu.exec(source->mapToGlobal(pos));
    if (chosen == quit) {
        Quit();
    } else if (chosen == about) {
        OnSysCommand(id::kAboutBox);
    } else if (chosen == settings) {
        OnSettings();
    } else if (chosen == hide || chosen == paste) {
        SummonSettings wanted = m_summon;
        wanted.hideAfterCopy = hide->isChecked() ? 1 : 0;
        wanted.pasteAfterCopy = paste->isChecked() ? 1 : 0;
        ApplySummon(wanted);
    }
}

void CMainDlg::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Keyboard) {
        // The menu key outside the list (which opens its own menu): the window's menu, with
        // the about box, as the window system's menu key would open it.
        ShowWindowMenu(m_tbarTop, QPoint(0, m_tbarTop->height()));
    }
}

void CMainDlg::OnHelp() {
    const QString page = FindHelpPage(GetDataDir(), QCoreApplication::applicationDirPath());
    if (page.isEmpty()) {
        ShowMessage(this, res::kHelpMissing.toString(), MessageButtons::Ok, MessageIcon::Stop);
    } else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(page))) {
        // The page is there, but nothing shows it: the user can open it by hand.
        ShowMessage(this, res::kHelpNotOpened.toString().arg(QDir::toNativeSeparators(page)),
                    MessageButtons::Ok, MessageIcon::Warning);
    }
}

#ifdef Q_OS_WIN
bool CMainDlg::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    const int command = SystemMenuCommand(eventType, message);
    if (command == id::kAboutBox) {
        OnSysCommand(command);
        *result = 0;
        return true;
    }
    return QDialog::nativeEvent(eventType, message, result);
}
#endif

}  // namespace mopira
