#include "ui/app/MainDlg.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStyleOptionTabWidgetFrame>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QUrl>
#include <QWindow>
#include <algorithm>

#include "core/app/ControlIds.h"
#include "core/app/PageLayout.h"
#include "core/app/WindowPlacement.h"
#include "res/Resources.h"
#include "res/StringTable.h"
#include "ui/app/AboutDlg.h"
#include "ui/app/DataFolder.h"
#include "ui/app/DialogUnits.h"
#include "ui/app/Fonts.h"
#include "ui/app/MessageBox.h"
#include "ui/app/ModalSeam.h"
#include "ui/app/PlatformWindow.h"
#include "ui/app/TextConvert.h"
#include "ui/controls/DragTabCtrl.h"
#include "ui/controls/HoverButton.h"
#include "ui/controls/IconButton.h"
#include "ui/controls/SortListCtrl.h"
#include "ui/controls/TipToolBar.h"
#include "ui/library/FaceListModel.h"
#include "ui/library/FolderCombo.h"

namespace mopira {

namespace {

// The outer frame the layout rules were made for: borders of 4 pixels and a caption of 19.
constexpr QSize kClassicFrame(8, 27);

// What a first start shows at least: list rows, and variation rows on the create tab.
constexpr int kFirstStartListRows = 8;
constexpr int kFirstStartVariationRows = 5;

// Toolbar rectangles in client pixels, as the window creates them.
const QRect kTopToolBarRect(QPoint(4, 3), QPoint(134, 24));
const QRect kListToolBarRect(QPoint(0, 63), QPoint(124, 84));

}  // namespace

CMainDlg::CMainDlg(const QString& dataDirectory, const QString& settingsPath, QWidget* parent)
    : QDialog(parent),
      m_store(dataDirectory),
      m_settingsPath(settingsPath),
      m_document(dataDirectory) {
    m_hIcon = res::LoadIcon(id::kAppIcon);
    ReadSettings();
    CreateControls();
    OnInitDialog();
    ConnectHandlers();
}

CMainDlg::~CMainDlg() {
    // The child widgets outlive the library (QDialog's destructor deletes them); the list
    // must not read it once it is gone.
    m_faceModel->Reset({});
}

// ---------------------------------------------------------------------------------------------
// Settings

void CMainDlg::ReadSettings() {
    const QSettings profile(m_settingsPath, QSettings::IniFormat);
    Settings settings;
    for (const SettingKey& key : kSettingsReadOrder) {
        bool ok = false;
        const int value =
            profile.value(QStringLiteral("%1/%2").arg(key.section, key.key)).toInt(&ok);
        if (ok) {
            settings.*key.member = value;
        }
    }
    m_nX = settings.x;
    m_nY = settings.y;
    m_nCX = settings.cx;
    m_nCY = settings.cy;
    m_nTopMost = settings.topMost;
    m_nTab = settings.tab;
    m_nFind = settings.find;
    m_nView = settings.view;
    m_nContentWidth = settings.content;
    m_nFolderWidth = settings.folder;
    m_nTypeWidth = settings.type;
    m_nValue1Width = settings.value1;
    m_nValue2Width = settings.value2;
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
    settings.view = m_nView;
    settings.find = m_nFind;
    // The details columns keep their widths while the list view shows.
    settings.content = m_lstFace->ColumnWidth(0);
    settings.folder = m_lstFace->ColumnWidth(1);
    settings.type = m_lstVariation->columnWidth(0);
    settings.value1 = m_lstVariation->columnWidth(1);
    settings.value2 = m_lstVariation->columnWidth(2);

    QSettings profile(m_settingsPath, QSettings::IniFormat);
    for (const SettingKey& key : kSettingsWriteOrder) {
        profile.setValue(QStringLiteral("%1/%2").arg(key.section, key.key), settings.*key.member);
    }
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

    // Each control by member name and identifier, at its place in the template.
    auto place = [&du](QWidget* control, const char* name, int controlId, int x, int y, int cx,
                       int cy) {
        control->setObjectName(QString::fromLatin1(name));
        control->setProperty("controlId", controlId);
        control->setGeometry(du.Rect(x, y, cx, cy));
    };
    // The template's order: it is also the keyboard's tab order.
    m_btnCopy = new CHoverButton(this);
    m_btnCopy->setText(res::kCopyCaption.toString());
    m_btnCopy->setDefault(true);
    place(m_btnCopy, "m_btnCopy", id::kCopyButton, 2, 2, 33, 15);

    m_cboHelper = new QComboBox(this);
    m_cboHelper->setEditable(true);
    place(m_cboHelper, "m_cboHelper", id::kHelperCombo, 54, 2, 70, 93);
    m_cboHelper->hide();

    m_faceModel = new CFaceListModel(m_library, this);
    m_lstFace = new CSortListCtrl(this);
    m_lstFace->SetModel(m_faceModel);
    place(m_lstFace, "m_lstFace", id::kFaceList, 7, 60, 196, 8);

    m_lstType = new QListWidget(this);
    place(m_lstType, "m_lstType", id::kTypeList, 7, 125, 78, 6);
    m_lstVariation = new QTreeWidget(this);
    place(m_lstVariation, "m_lstVariation", id::kVariationList, 90, 125, 113, 6);

    m_grpFace = new QGroupBox(res::kFaceGroup.toString(), this);
    place(m_grpFace, "m_grpFace", id::kFaceGroup, 7, 42, 196, 78);

    m_cbxFolder = new CFolderCombo(this);
    place(m_cbxFolder, "m_cbxFolder", id::kFolderCombo, 40, 42, 16, 140);
    // Its height is the list that drops down; the box itself keeps its natural height.
    m_cbxFolder->resize(m_cbxFolder->width(), m_cbxFolder->sizeHint().height());

    m_edtFind = new QLineEdit(this);
    place(m_edtFind, "m_edtFind", id::kFindEdit, 40, 42, 109, 13);

    m_btnRandom = new QPushButton(res::kRandomCaption.toString(), this);
    place(m_btnRandom, "m_btnRandom", id::kRandomButton, 141, 100, 55, 14);

    m_btnAdd = new CIconButton(this);
    m_btnAdd->setText(res::kAddCaption.toString());
    place(m_btnAdd, "m_btnAdd", id::kAddButton, 70, 100, 65, 14);

    m_btnLocation = new CHoverButton(this);
    m_btnLocation->setText(res::kLocationCaption.toString());
    place(m_btnLocation, "m_btnLocation", id::kLocationButton, 7, 42, 30, 13);

    const struct {
        CHoverButton** member;
        const char* name;
        int controlId;
        const char16_t* caption;
        int x;
    } parts[] = {
        {&m_btnEdgeLeft, "m_btnEdgeLeft", id::kEdgeLeftButton, u"(", 10},
        {&m_btnEyeLeft, "m_btnEyeLeft", id::kEyeLeftButton, u"^", 30},
        {&m_btnMouth, "m_btnMouth", id::kMouthButton, u"_", 50},
        {&m_btnEyeRight, "m_btnEyeRight", id::kEyeRightButton, u"^", 70},
        {&m_btnEmotionRight, "m_btnEmotionRight", id::kEmotionRightButton, u";", 90},
        {&m_btnEdgeRight, "m_btnEdgeRight", id::kEdgeRightButton, u")", 110},
    };
    for (const auto& part : parts) {
        *part.member = new CHoverButton(this);
        (*part.member)->setText(QString::fromUtf16(part.caption));
        place(*part.member, part.name, part.controlId, part.x, 55, 20, 55);
    }

    m_tab = new CDragTabCtrl(this);
    place(m_tab, "m_tab", id::kTab, 2, 23, 206, 17);
    m_rcTab = m_tab->geometry();

    m_btnEmotionLeft = new CHoverButton(this);
    place(m_btnEmotionLeft, "m_btnEmotionLeft", id::kEmotionLeftButton, 130, 55, 20, 55);

    for (QPushButton* button : findChildren<QPushButton*>()) {
        // Enter presses the button that has the focus; elsewhere it copies, the default.
        button->setAutoDefault(true);
    }
}

void CMainDlg::OnInitDialog() {
    // About box: the window system's own menu where the program can reach it, otherwise a
    // context menu of the top toolbar and of the tab strip.
    const QString about = res::LoadString(id::kAboutString);
    if (!about.isEmpty()) {
        AppendSystemMenuItem(this, id::kAboutBox, about);
    }
    setWindowIcon(m_hIcon);

    m_folderImages = {res::LoadIcon(id::kFolderIcon), res::LoadIcon(id::kOpenFolderIcon),
                      res::LoadIcon(id::kAppIcon)};

    m_tbarTop = new CTipToolBar(this);
    m_tbarTop->setObjectName(QStringLiteral("m_tbarTop"));
    m_tbarTop->setProperty("controlId", id::kTopToolBar);
    m_tbarTop->setGeometry(kTopToolBarRect);
    m_tbarTop->LoadToolBar(id::kTopToolBarResource);
    // The second always-on-top entry only brings the switched-on picture into the strip.
    m_tbarTop->DeleteButton(1);

    m_tbarList = new CTipToolBar(this);
    m_tbarList->setObjectName(QStringLiteral("m_tbarList"));
    m_tbarList->setProperty("controlId", id::kListToolBar);
    m_tbarList->setGeometry(kListToolBarRect);
    m_tbarList->LoadToolBar(id::kListToolBarResource);
    m_tbarList->HideButton(id::kMove, true);

    m_faceModel->SetHeaders({res::kFaceColumn.toString(), res::kFolderColumn.toString()});
    m_lstFace->SetColumnWidths({m_nContentWidth, m_nFolderWidth});
    m_fontList = FaceFont(16);
    m_lstFace->SetListFont(m_fontList);

    SetupCreateTab();

    m_tab->RegisterDropTarget();
    m_tab->addTab(res::kListTab.toString());
    m_tab->addTab(res::kCreateTab.toString());

    m_btnCopy->LoadIcons(id::kCopyIcon, 0);
    m_btnAdd->SetIconImage(id::kAddIcon, 16, 16);
    m_btnAdd->SetImagePos(QPoint(4, 3));
    m_btnAdd->SetTextPos(QPoint(23, 4));
    m_cboHelper->hide();

    m_fontPart = FaceFont(40);
    for (CHoverButton* button : {m_btnEdgeLeft, m_btnEyeLeft, m_btnMouth, m_btnEyeRight,
                                 m_btnEmotionRight, m_btnEdgeRight, m_btnEmotionLeft}) {
        button->setFont(m_fontPart);
        // The face stands on the group box's own background.
        button->SetTransparentBack(true);
    }

    m_cbxFolder->SetImages(m_folderImages[kImageFolder], m_folderImages[kImageOpenFolder],
                           m_folderImages[kImageAllFaces]);

    SetListView(m_nView == 0);
    m_nView = m_nView == 0 ? 0 : 1;

    PlaceWindow();

    LoadPartTables();
    // The library is read right after the window first shows, so a large one never delays
    // the window; whatever needs it before then loads it at once.
    QTimer::singleShot(0, this, &CMainDlg::EnsureLoaded);

    m_edtFind->setPlaceholderText(res::kFindHint.toString());
    m_edtFind->installEventFilter(this);

    {
        // Choosing the start page is not the user switching tabs.
        const QSignalBlocker blocker(m_tab);
        m_tab->setCurrentIndex(m_nTab);
    }
    ShowPage(m_nTab);
    LayoutPage(m_nTab);

    LayoutPartButtons();
    UpdateCurrentFace();

    m_btnCopy->SetTipText(res::kCopyTip.toString(), true);
    m_btnEdgeLeft->SetTipText(res::kEdgeLeftTip.toString(), true);
    m_btnEyeLeft->SetTipText(res::kEyeLeftTip.toString(), true);
    m_btnMouth->SetTipText(res::kMouthTip.toString(), true);
    m_btnEyeRight->SetTipText(res::kEyeRightTip.toString(), true);
    m_btnEmotionRight->SetTipText(res::kEmotionRightTip.toString(), true);
    m_btnEmotionLeft->SetTipText(res::kEmotionLeftTip.toString(), true);
    m_btnEdgeRight->SetTipText(res::kEdgeRightTip.toString(), true);
    m_btnAdd->setToolTip(res::kAddTip.toString());
    m_btnRandom->setToolTip(res::kRandomTip.toString());

    // Screen readers find every control by name: its caption, or the tip or label it has.
    m_lstFace->setAccessibleName(res::kFaceColumn.toString());
    m_cbxFolder->setAccessibleName(res::kLocationCaption.toString());
    m_edtFind->setAccessibleName(res::kFindHint.toString());
    m_lstType->setAccessibleName(res::kTypeColumn.toString());
    m_lstVariation->setAccessibleName(res::kKindColumn.toString());
    m_tab->setAccessibleName(res::kWindowCaption.toString());
    m_tbarTop->setAccessibleName(res::kTopToolBarName.toString());
    m_tbarList->setAccessibleName(res::kListToolBarName.toString());
}

void CMainDlg::ConnectHandlers() {
    connect(m_btnCopy, &QPushButton::clicked, this, &CMainDlg::OnOK);
    connect(&m_document, &CLibraryDocument::aboutToReload, this, &CMainDlg::OnLibraryAboutToReload);
    connect(&m_document, &CLibraryDocument::reloaded, this, &CMainDlg::OnLibraryReloaded);
    connect(&m_document, &CLibraryDocument::saveFailed, this, &CMainDlg::ShowSaveFailure);
    connect(m_tab, &QTabBar::currentChanged, this, &CMainDlg::OnTabChanged);
    connect(m_tbarTop, &CTipToolBar::commandTriggered, this, &CMainDlg::OnCommand);
    connect(m_tbarList, &CTipToolBar::commandTriggered, this, &CMainDlg::OnCommand);
    for (QWidget* source : {static_cast<QWidget*>(m_tbarTop), static_cast<QWidget*>(m_tab)}) {
        source->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(source, &QWidget::customContextMenuRequested, this,
                [this, source](const QPoint& pos) { ShowAboutMenu(source, pos); });
    }
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &CMainDlg::OnHelp);
    // The tab strip takes no focus, so the keyboard switches pages as tabbed windows do.
    for (const QKeySequence& keys :
         {QKeySequence(QKeySequence::NextChild), QKeySequence(QKeySequence::PreviousChild),
          QKeySequence(Qt::CTRL | Qt::Key_PageDown), QKeySequence(Qt::CTRL | Qt::Key_PageUp)}) {
        auto* next = new QShortcut(keys, this);
        connect(next, &QShortcut::activated, this,
                [this] { m_tab->setCurrentIndex(m_tab->currentIndex() == 0 ? 1 : 0); });
    }

    connect(m_btnLocation, &QPushButton::clicked, this, &CMainDlg::OnLocationButton);
    connect(m_cbxFolder, &QComboBox::activated, this, &CMainDlg::OnFolderChanged);
    connect(m_edtFind, &QLineEdit::textChanged, this, &CMainDlg::SearchByText);
    connect(m_lstFace, &CSortListCtrl::selectionChanged, this, &CMainDlg::OnFaceSelectionChanged);
    // A refill or removal takes the selection along without a selection signal.
    connect(m_faceModel, &QAbstractItemModel::modelReset, this, &CMainDlg::OnFaceSelectionChanged);
    connect(m_faceModel, &QAbstractItemModel::rowsRemoved, this, &CMainDlg::OnFaceSelectionChanged);
    connect(m_lstFace, &CSortListCtrl::rowDoubleClicked, this, &CMainDlg::OnFaceDoubleClicked);
    connect(m_lstFace, &CSortListCtrl::contextMenuRequested, this, &CMainDlg::OnContextMenu);
    connect(m_btnAdd, &QPushButton::clicked, this, &CMainDlg::OnNewFace);

    connect(m_btnRandom, &QPushButton::clicked, this, &CMainDlg::OnRandom);
    connect(m_lstType, &QListWidget::itemChanged, this, &CMainDlg::OnTypeListItemChanged);
    connect(m_lstType, &QListWidget::itemSelectionChanged, this, &CMainDlg::OnTypeListItemChanged);
    connect(m_lstVariation, &QTreeWidget::itemSelectionChanged, this,
            &CMainDlg::OnVariationListItemChanged);
    for (const PartSlotInfo& slot : AllPartSlots()) {
        connect(PartButton(slot.slot), &QPushButton::clicked, this,
                [this, part = slot.slot] { OnPartButton(part); });
    }
}

void CMainDlg::LoadPartTables() {
    for (PartCategory category :
         {PartCategory::Mouth, PartCategory::Eye, PartCategory::Edge, PartCategory::Emotion}) {
        const QString file = QString::fromLatin1(InfoOf(category).fileName);
        m_builder.SetTable(category, LoadPartTable(m_store.Read(file), category));
    }
}

void CMainDlg::LoadFaceList() {
    m_document.Load();
}

void CMainDlg::EnsureLoaded() {
    if (m_document.IsLoaded()) {
        return;
    }
    LoadFaceList();
    ShowFolder({});
    FillFolderCombo();
    m_cbxFolder->setCurrentIndex(0);
    UpdateCurrentFace();
    if (m_document.IsReadOnly()) {
        // Copying and searching go on; every command that would write the file is off, and
        // its tip says why.
        m_tbarList->EnableButton(id::kNewFace, false);
        m_btnAdd->setEnabled(false);
        m_btnAdd->setToolTip(res::kLibraryReadOnlyTip.toString());
        for (int command : {id::kNewFace, id::kDelete, id::kProperties, id::kMove}) {
            if (QToolButton* button = m_tbarList->ButtonFor(command)) {
                button->setToolTip(res::kLibraryReadOnlyTip.toString());
            }
        }
        UpdateCurrentFace();
        ShowMessage(
            this,
            res::kLibraryUnreadable.toString().arg(
                QDir::toNativeSeparators(m_document.File().Path()), m_document.ReadFailure()),
            MessageButtons::Ok, MessageIcon::Stop);
    }
}

bool CMainDlg::CanChangeLibrary() const {
    return m_document.IsLoaded() && !m_document.IsReadOnly();
}

bool CMainDlg::SaveFaceList() {
    if (!CanChangeLibrary()) {
        return false;  // a library that was not read whole is never written over the file
    }
    const CLibraryDocument::SaveResult saved = m_document.Save();
    if (saved.reloaded) {
        OnLibraryReloaded(saved.missing);
    }
    if (!saved.error.Failed()) {
        m_bSaveWarned = false;
        return true;
    }
    ShowSaveFailure(saved.error);
    return false;
}

void CMainDlg::ShowSaveFailure(const FileError& error) {
    // A folder known to be read-only was announced at start; other failures are told each
    // time, and the next change tries again with the library as it is in memory.
    if (!m_bSaveWarned) {
        ShowMessage(
            this,
            res::kSaveFailed.toString().arg(QDir::toNativeSeparators(m_document.File().Path()),
                                            DescribeFileError(error)),
            MessageButtons::Ok, MessageIcon::Stop);
    }
}

void CMainDlg::OnLibraryAboutToReload() {
    // Rows name records by id, and every id is about to change: keep what the user sees by
    // its texts, and show nothing until the new ids are in.
    m_keptSelection = SelectedTexts();
    m_strKeptFolder = SelectedFolder();
    m_faceModel->Reset({});
}

void CMainDlg::OnLibraryReloaded(const std::vector<std::string>& missing) {
    FillFolderCombo();
    const auto folder = m_strKeptFolder.empty() ? std::nullopt : m_folders.IndexOf(m_strKeptFolder);
    m_cbxFolder->setCurrentIndex(folder ? static_cast<int>(*folder) + 1 : 0);
    if (m_nFind == 1) {
        ShowFolder({});
        SearchByText();
    } else {
        ShowFolder(SelectedFolder());
    }
    SelectFaceRows(m_keptSelection);
    m_keptSelection.clear();
    UpdateCurrentFace();
    if (!missing.empty()) {
        QStringList names;
        for (const std::string& text : missing) {
            names.append(ToDisplayString(text, m_library.GetCharset()));
        }
        ShowMessage(this, res::kChangesNotApplied.toString().arg(names.join(QLatin1Char('\n'))),
                    MessageButtons::Ok, MessageIcon::Warning);
    }
}

void CMainDlg::BringToFront() {
    if (isMinimized()) {
        showNormal();
    } else {
        show();
    }
    raise();
    activateWindow();
}

// ---------------------------------------------------------------------------------------------
// Window

QString CMainDlg::GetDataDir() const {
    return QDir(m_store.Directory()).absolutePath() + QLatin1Char('/');
}

QSize CMainDlg::FrameSize() const {
    // The layout rules, the minimum size and the saved size count in outer pixels of this
    // frame on every platform, whatever the window manager draws: the controls keep their
    // margins everywhere, and a size written at close comes back the same at the next start.
    return kClassicFrame;
}

QSize CMainDlg::FirstStartSize() const {
    // Room for what each page is for, from the layout rules: the face list is H - 134 high
    // and W - 40 wide, the create tab's lists H - 230 high and the variation list W - 185 wide.
    const int frameWidth = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 2;
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int header = m_lstFace->DetailsView()->header()->sizeHint().height();
    const int listRow = QFontMetrics(m_fontList).height() + 4;
    const int variationRow = QFontMetrics(m_lstVariation->font()).height() + 4;
    const int variationColumns = m_lstVariation->columnWidth(0) + m_lstVariation->columnWidth(1) +
                                 m_lstVariation->columnWidth(2);
    const int height =
        std::max({134 + header + kFirstStartListRows * listRow + frameWidth + scrollBar,
                  230 + header + kFirstStartVariationRows * variationRow + frameWidth + scrollBar,
                  230 + static_cast<int>(kPartCategoryCount) * variationRow + frameWidth});
    const int width = std::max(185 + variationColumns + frameWidth + scrollBar,
                               40 + m_nContentWidth + m_nFolderWidth + frameWidth + scrollBar);
    return {width, height};
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
        const QRect area = screen->availableGeometry();
        const QSize usable = FirstStartSize().boundedTo(area.size()).expandedTo(size() + frame);
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

void CMainDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    static constexpr const char* kShown = "mopiraShown";
    if (!property(kShown).toBool()) {
        setProperty(kShown, true);
        if (!m_document.CanWrite()) {
            m_bSaveWarned = true;
            QTimer::singleShot(0, this, [this] {
                if (m_document.IsReadOnly()) {
                    return;  // the user was told that the library cannot change at all
                }
                ShowMessage(this,
                            res::kFolderReadOnly.toString().arg(
                                QDir::toNativeSeparators(m_store.Directory())),
                            MessageButtons::Ok, MessageIcon::Warning);
            });
        }
    }
}

void CMainDlg::ShowPage(int tab) {
    for (QWidget* control :
         {static_cast<QWidget*>(m_lstFace), static_cast<QWidget*>(m_tbarList),
          static_cast<QWidget*>(m_btnLocation), static_cast<QWidget*>(m_cbxFolder),
          static_cast<QWidget*>(m_edtFind), static_cast<QWidget*>(m_btnAdd),
          static_cast<QWidget*>(m_btnRandom), static_cast<QWidget*>(m_grpFace),
          static_cast<QWidget*>(m_lstType), static_cast<QWidget*>(m_lstVariation),
          static_cast<QWidget*>(m_btnEdgeLeft), static_cast<QWidget*>(m_btnEyeLeft),
          static_cast<QWidget*>(m_btnMouth), static_cast<QWidget*>(m_btnEyeRight),
          static_cast<QWidget*>(m_btnEmotionRight), static_cast<QWidget*>(m_btnEdgeRight),
          static_cast<QWidget*>(m_btnEmotionLeft)}) {
        control->hide();
    }
    if (tab == 0) {
        setWindowTitle(res::kListTitle.toString());
        m_lstFace->show();
        m_tbarList->show();
        m_btnLocation->show();
        SetFindMode(m_nFind);
    } else if (tab == 1) {
        setWindowTitle(res::kCreateTitle.toString());
        for (QWidget* control :
             {static_cast<QWidget*>(m_btnAdd), static_cast<QWidget*>(m_btnRandom),
              static_cast<QWidget*>(m_grpFace), static_cast<QWidget*>(m_lstType),
              static_cast<QWidget*>(m_lstVariation), static_cast<QWidget*>(m_btnEdgeLeft),
              static_cast<QWidget*>(m_btnEyeLeft), static_cast<QWidget*>(m_btnMouth),
              static_cast<QWidget*>(m_btnEyeRight), static_cast<QWidget*>(m_btnEmotionRight),
              static_cast<QWidget*>(m_btnEdgeRight), static_cast<QWidget*>(m_btnEmotionLeft)}) {
            control->show();
        }
    }
}

void CMainDlg::LayoutPage(int tab) {
    const QSize outer = size() + FrameSize();
    for (const ControlPlacement& step : mopira::LayoutPage(tab, outer.width(), outer.height())) {
        switch (step.controlId) {
            case id::kTab: {
                m_rcTab.setSize(QSize(step.x, step.y));
                const int strip = std::min(m_tab->sizeHint().height(), step.y);
                m_tab->setGeometry(m_rcTab.x(), m_rcTab.y(), step.x, strip);
                update();
                break;
            }
            case id::kTopToolBar:
                m_tbarTop->move(step.x, step.y);
                break;
            case id::kFaceList:
                m_lstFace->resize(step.x, step.y);
                break;
            case id::kListToolBar:
                m_tbarList->move(step.x, step.y);
                break;
            case id::kFolderCombo:
                m_cbxFolder->resize(step.x, m_cbxFolder->height());
                break;
            case id::kFindEdit:
                m_edtFind->resize(step.x, step.y);
                break;
            case id::kFaceGroup:
                m_grpFace->resize(step.x, step.y);
                LayoutPartButtons();
                break;
            case id::kAddButton:
                m_btnAdd->move(step.x, step.y);
                break;
            case id::kRandomButton:
                m_btnRandom->move(step.x, step.y);
                break;
            case id::kTypeList:
                m_lstType->resize(step.x, step.y);
                break;
            case id::kVariationList:
                m_lstVariation->resize(step.x, step.y);
                break;
            default:
                break;
        }
    }
}

void CMainDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
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
}

void CMainDlg::OnTabChanged(int tab) {
    ShowPage(tab);
    LayoutPage(tab);
    UpdateCurrentFace();
}

void CMainDlg::closeEvent(QCloseEvent* event) {
    WriteSettings();
    QDialog::closeEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Commands of the window

void CMainDlg::OnCommand(int command) {
    EnsureLoaded();
    switch (command) {
        case id::kTopMost:
            OnTopMost();
            break;
        case id::kHelp:
            OnHelp();
            break;
        case id::kNewFace:
            OnNewFace();
            break;
        case id::kDelete:
            OnDelete();
            break;
        case id::kProperties:
            OnProperties();
            break;
        case id::kMove:
            OnMove();
            break;
        case id::kListView:
            SetListView(false);
            m_nView = 1;
            break;
        case id::kDetailsView:
            SetListView(true);
            m_nView = 0;
            break;
        case id::kCopy:
            OnOK();
            break;
        case id::kFindByLocation:
            OnFindByLocation();
            break;
        case id::kFindByText:
            OnFindByText();
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

void CMainDlg::ShowAboutMenu(QWidget* source, const QPoint& pos) {
    QMenu menu(this);
    QAction* about = menu.addAction(res::LoadString(id::kAboutString));
    if (menu.exec(source->mapToGlobal(pos)) == about) {
        OnSysCommand(id::kAboutBox);
    }
}

void CMainDlg::OnHelp() {
    const QString page = FindHelpPage(GetDataDir(), QCoreApplication::applicationDirPath());
    if (page.isEmpty() || !QDesktopServices::openUrl(QUrl::fromLocalFile(page))) {
        ShowMessage(this, res::kHelpMissing.toString(), MessageButtons::Ok, MessageIcon::Stop);
    }
}

bool CMainDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_edtFind && event->type() == QEvent::FocusIn) {
        OnFindEditFocus();
    }
    return QDialog::eventFilter(watched, event);
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
