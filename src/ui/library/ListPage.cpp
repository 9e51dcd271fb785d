#include "ui/library/ListPage.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QShortcut>
#include <QStyle>
#include <QTableView>

#include "core/app/ControlIds.h"
#include "core/app/PageLayout.h"
#include "core/library/LibraryEdit.h"
#include "res/Resources.h"
#include "res/StringTable.h"
#include "store/LibraryDocument.h"
#include "store/RecentFaces.h"
#include "ui/controls/SortListCtrl.h"
#include "ui/controls/TipToolBar.h"
#include "ui/library/FaceListModel.h"
#include "ui/library/FolderCombo.h"
#include "ui/library/LibraryMessages.h"
#include "ui/library/ListActions.h"
#include "ui/library/ListFinder.h"
#include "ui/platform/DialogUnits.h"
#include "ui/platform/Fonts.h"

namespace mopira {

namespace {

// How many emoticons a first start shows at least.
constexpr int kUsefulRows = 8;

// The list toolbar's rectangle in client pixels, as the window creates it.
const QRect kListToolBarRect(QPoint(0, 63), QPoint(124, 84));

}  // namespace

CListPage::CListPage(CLibraryDocument& document, CRecentFaces& recent, const QString& settingsPath,
                     QWidget* parent)
    : CPage(parent),
      m_document(document),
      m_recent(recent),
      m_strSettingsPath(settingsPath),
      m_library(document.Library()) {
    CreateControls();
    ConnectHandlers();
}

CListPage::~CListPage() {
    // The list must not read the library once the window lets go of it.
    m_faceModel->Reset({});
}

// ---------------------------------------------------------------------------------------------
// Construction, settings, layout

void CListPage::CreateControls() {
    const CDialogUnits du(font());
    m_faceModel = new CFaceListModel(m_library, this);
    m_lstFace = new CSortListCtrl(this);
    m_lstFace->SetModel(m_faceModel);
    PlaceControl(du, m_lstFace, "m_lstFace", id::kFaceList, 7, 60, 196, 8);

    m_cbxFolder = new CFolderCombo(this);
    PlaceControl(du, m_cbxFolder, "m_cbxFolder", id::kFolderCombo, 40, 42, 16, 140);
    // Its height is the list that drops down; the box itself keeps its natural height.
    m_cbxFolder->resize(m_cbxFolder->width(), m_cbxFolder->sizeHint().height());

    m_edtFind = new QLineEdit(this);
    PlaceControl(du, m_edtFind, "m_edtFind", id::kFindEdit, 40, 42, 109, 13);

    m_btnLocation = new CFindModeButton(this);
    PlaceControl(du, m_btnLocation, "m_btnLocation", id::kLocationButton, 7, 42, 30, 13);

    m_folderImages = {res::LoadIcon(id::kFolderIcon), res::LoadIcon(id::kOpenFolderIcon),
                      res::LoadIcon(id::kAppIcon)};

    m_tbarList = new CTipToolBar(this);
    m_tbarList->setObjectName(QStringLiteral("m_tbarList"));
    m_tbarList->setProperty("controlId", id::kListToolBar);
    m_tbarList->setGeometry(kListToolBarRect);
    m_tbarList->LoadToolBar(id::kListToolBarResource);
    m_tbarList->HideButton(id::kMove, true);

    m_faceModel->SetHeaders({res::kFaceColumn.toString(), res::kFolderColumn.toString()});
    m_fontList = FaceFont(16);
    m_lstFace->SetListFont(m_fontList);
    m_cbxFolder->SetImages(m_folderImages.folder, m_folderImages.openFolder,
                           m_folderImages.allFaces, res::LoadIcon(id::kRecentIcon));

    // Screen readers find every control by name: its caption, or the tip or label it has.
    m_lstFace->setAccessibleName(res::kFaceColumn.toString());
    m_cbxFolder->setAccessibleName(res::kLocationCaption.toString());
    m_edtFind->setAccessibleName(res::kFindHint.toString());
    m_tbarList->setAccessibleName(res::kListToolBarName.toString());

    m_finder =
        new CListFinder(m_document, m_recent,
                        {*m_lstFace, *m_faceModel, *m_cbxFolder, *m_edtFind, *m_btnLocation}, this);
    m_messages = new CLibraryMessages(m_document, this);
    m_actions = new CListActions(m_document, *this, *m_tbarList, *m_messages);
}

void CListPage::ConnectHandlers() {
    // What the list shows is kept before the list lets go of the old ids; then the list, the
    // combo and the copied list follow, so that they are up to date when the page and its
    // commands hear of a change.
    connect(&m_document, &CLibraryDocument::aboutToReload, m_finder,
            &CListFinder::OnLibraryAboutToReload);
    m_faceModel->Follow(m_document);
    m_cbxFolder->Follow(m_document);
    connect(&m_document, &CLibraryDocument::loaded, this, &CListPage::OnLibraryLoaded);
    connect(&m_document, &CLibraryDocument::changed, this, [this](const LibraryEdit& edit) {
        m_finder->OnLibraryChanged(edit);
        UpdateCurrentFace();
    });
    connect(&m_document, &CLibraryDocument::reloaded, this, [this] {
        m_finder->OnLibraryReloaded();
        UpdateCurrentFace();
    });
    connect(&m_document, &CLibraryDocument::keywordsChanged, m_finder,
            &CListFinder::OnKeywordsChanged);

    connect(m_tbarList, &CTipToolBar::commandTriggered, this, &CListPage::OnCommand);
    connect(m_btnLocation, &CFindModeButton::modeChosen, this, [this](FindMode mode) {
        OnCommand(mode == FindMode::Text ? id::kFindByText : id::kFindByLocation);
    });
    connect(m_lstFace, &CSortListCtrl::selectionChanged, this, &CListPage::OnFaceSelectionChanged);
    // A refill or removal takes the selection along without a selection signal.
    connect(m_faceModel, &QAbstractItemModel::modelReset, this, &CListPage::OnFaceSelectionChanged);
    connect(m_faceModel, &QAbstractItemModel::rowsRemoved, this,
            &CListPage::OnFaceSelectionChanged);
    // Rows in an order of their own are not sorted by a click on the header.
    connect(m_faceModel, &QAbstractItemModel::modelReset, this, [this] {
        m_lstFace->DetailsView()->horizontalHeader()->setSectionsClickable(
            !m_faceModel->IsFixedOrder());
    });
    connect(m_lstFace, &CSortListCtrl::rowDoubleClicked, this, &CListPage::OnFaceDoubleClicked);
    // From anywhere on the tab, as in every program that finds.
    auto* find = new QShortcut(QKeySequence::Find, this);
    find->setContext(Qt::WidgetWithChildrenShortcut);
    connect(find, &QShortcut::activated, m_finder, &CListFinder::FocusSearch);
    connect(m_lstFace, &CSortListCtrl::contextMenuRequested, this,
            [this](const QPoint& globalPos, bool fromKeyboard) {
                if (isVisible()) {
                    m_actions->ShowMenu(globalPos, fromKeyboard);
                }
            });
}

void CListPage::ReadSettings(const Settings& settings) {
    m_finder->SetMode(settings.find == 1 ? FindMode::Text : FindMode::Location);
    m_nContentWidth = settings.content;
    m_nFolderWidth = settings.folder;
    m_lstFace->SetColumnWidths({m_nContentWidth, m_nFolderWidth});
    SetViewMode(settings.view == 0 ? ViewMode::Details : ViewMode::List);
}

void CListPage::WriteSettings(Settings& settings) const {
    settings.view = static_cast<int>(m_viewMode);
    settings.find = static_cast<int>(m_finder->Mode());
    // The details columns keep their widths while the list view shows.
    settings.content = m_lstFace->ColumnWidth(0);
    settings.folder = m_lstFace->ColumnWidth(1);
}

void CListPage::ShowPage() {
    show();
    m_finder->ShowMode();
    // Enter copies the selected row as soon as the page shows.
    m_lstFace->setFocus(Qt::OtherFocusReason);
}

void CListPage::LayoutPage(int width, int height) {
    for (const ControlPlacement& step : mopira::LayoutPage(0, width, height)) {
        switch (step.controlId) {
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
            default:
                break;  // the frame's own
        }
    }
}

QSize CListPage::UsefulSize() const {
    // The face list is W - 40 wide and H - 134 high: its columns and eight rows.
    const int frame = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 2;
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int header = m_lstFace->DetailsView()->horizontalHeader()->sizeHint().height();
    const int row = QFontMetrics(m_fontList).height() + 4;
    return {40 + m_nContentWidth + m_nFolderWidth + frame + scrollBar,
            134 + header + kUsefulRows * row + frame + scrollBar};
}

LibraryView CListPage::View() const {
    return {m_library, m_cbxFolder->Folders(), m_folderImages};
}

void CListPage::OnCommand(int command) {
    switch (command) {
        case id::kListView:
            SetViewMode(ViewMode::List);
            break;
        case id::kDetailsView:
            SetViewMode(ViewMode::Details);
            break;
        case id::kCopy:
            emit copyRequested();
            break;
        case id::kFindByLocation:
            m_finder->FindByLocation();
            break;
        case id::kFindByText:
            m_finder->FindByText();
            break;
        default:
            m_actions->OnCommand(command);
            break;
    }
}

// ---------------------------------------------------------------------------------------------
// The library and the list

void CListPage::OnLibraryLoaded() {
    m_finder->OnLibraryLoaded();
    UpdateCurrentFace();
    emit changeableChanged(m_document.CanChange());
}

void CListPage::RememberCopied() {
    m_recent.Use(m_finder->SelectedTexts(), m_library.GetCharset());
}

std::string CListPage::SelectedFolder() const {
    return m_finder->SelectedFolder();
}

void CListPage::SetViewMode(ViewMode mode) {
    m_viewMode = mode;
    m_lstFace->SetListView(mode == ViewMode::Details);
    m_tbarList->CheckButton(id::kDetailsView, mode == ViewMode::Details);
    m_tbarList->CheckButton(id::kListView, mode == ViewMode::List);
}

// ---------------------------------------------------------------------------------------------
// The current emoticon and its commands

std::string CListPage::SelectedOutsideText() const {
    const std::vector<int> rows = m_lstFace->SelectedRows();
    if (rows.size() != 1 || m_faceModel->IsRecordRow(rows.front())) {
        return {};
    }
    return std::string(m_faceModel->TextAt(rows.front()));
}

int CListPage::SelectedCount() const {
    return m_lstFace->SelectedCount();
}

std::string CListPage::CurrentFace() {
    std::string face;
    for (const std::string& text : m_finder->SelectedTexts()) {
        face += text;
    }
    UpdateCommandStates(!face.empty());
    return face;
}

void CListPage::UpdateCurrentFace() {
    UpdateCommandStates(SelectedCount() > 0);  // texts are never empty
}

Charset CListPage::FaceCharset() const {
    return m_library.GetCharset();
}

void CListPage::UpdateCommandStates(bool hasFace) {
    m_actions->UpdateCommandStates(hasFace, SelectedCount());
    emit currentFaceChanged(hasFace);
}

void CListPage::OnFaceSelectionChanged() {
    if (isVisible()) {
        UpdateCurrentFace();
    }
}

void CListPage::OnFaceDoubleClicked() {
    if (SelectedCount() > 0) {
        emit copyRequested();
    }
}

}  // namespace mopira
