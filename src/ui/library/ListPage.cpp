#include "ui/library/ListPage.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>
#include <QStyle>
#include <QTableView>

#include "core/app/ControlIds.h"
#include "core/app/PageLayout.h"
#include "core/library/MeaningIndex.h"
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
#include "ui/platform/DialogUnits.h"
#include "ui/platform/Fonts.h"
#include "ui/platform/TextConvert.h"

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

    m_edtFind->setPlaceholderText(res::kFindHint.toString());
    m_edtFind->installEventFilter(this);
    // The window paints before the library is read; the list says so until it is.
    m_lstFace->SetPlaceholderText(res::kLoading.toString());

    // Screen readers find every control by name: its caption, or the tip or label it has.
    m_lstFace->setAccessibleName(res::kFaceColumn.toString());
    m_cbxFolder->setAccessibleName(res::kLocationCaption.toString());
    m_edtFind->setAccessibleName(res::kFindHint.toString());
    m_tbarList->setAccessibleName(res::kListToolBarName.toString());

    m_messages = new CLibraryMessages(m_document, this);
    m_actions = new CListActions(m_document, *this, *m_tbarList, *m_messages);
}

void CListPage::ConnectHandlers() {
    // What the list shows is kept before the list lets go of the old ids; then the list, the
    // combo and the copied list follow, so that they are up to date when the page and its
    // commands hear of a change.
    connect(&m_document, &CLibraryDocument::aboutToReload, this,
            &CListPage::OnLibraryAboutToReload);
    m_faceModel->Follow(m_document);
    m_cbxFolder->Follow(m_document);
    connect(&m_recent, &CRecentFaces::changed, this, &CListPage::OnRecentChanged);
    connect(&m_document, &CLibraryDocument::loaded, this, &CListPage::OnLibraryLoaded);
    connect(&m_document, &CLibraryDocument::changed, this, &CListPage::OnLibraryChanged);
    connect(&m_document, &CLibraryDocument::reloaded, this, &CListPage::OnLibraryReloaded);
    connect(&m_document, &CLibraryDocument::keywordsChanged, this, &CListPage::OnKeywordsChanged);

    connect(m_tbarList, &CTipToolBar::commandTriggered, this, &CListPage::OnCommand);
    connect(m_btnLocation, &CFindModeButton::modeChosen, this, [this](FindMode mode) {
        OnCommand(mode == FindMode::Text ? id::kFindByText : id::kFindByLocation);
    });
    connect(m_cbxFolder, &QComboBox::activated, this, &CListPage::OnFolderChanged);
    connect(m_edtFind, &QLineEdit::textChanged, this, &CListPage::SearchByText);
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
    connect(m_faceModel, &QAbstractItemModel::modelReset, this, &CListPage::UpdateEmptyText);
    connect(m_faceModel, &QAbstractItemModel::rowsInserted, this, &CListPage::UpdateEmptyText);
    connect(m_faceModel, &QAbstractItemModel::rowsRemoved, this, &CListPage::UpdateEmptyText);
    // From anywhere on the tab, as in every program that finds.
    auto* find = new QShortcut(QKeySequence::Find, this);
    find->setContext(Qt::WidgetWithChildrenShortcut);
    connect(find, &QShortcut::activated, this, [this] {
        if (m_findMode == FindMode::Text) {
            m_edtFind->setFocus(Qt::ShortcutFocusReason);
            m_edtFind->selectAll();
        } else {
            OnCommand(id::kFindByText);
        }
    });
    connect(m_lstFace, &CSortListCtrl::contextMenuRequested, this,
            [this](const QPoint& globalPos, bool fromKeyboard) {
                if (isVisible()) {
                    m_actions->ShowMenu(globalPos, fromKeyboard);
                }
            });
}

void CListPage::ReadSettings(const Settings& settings) {
    m_findMode = settings.find == 1 ? FindMode::Text : FindMode::Location;
    m_nContentWidth = settings.content;
    m_nFolderWidth = settings.folder;
    m_lstFace->SetColumnWidths({m_nContentWidth, m_nFolderWidth});
    SetViewMode(settings.view == 0 ? ViewMode::Details : ViewMode::List);
}

void CListPage::WriteSettings(Settings& settings) const {
    settings.view = static_cast<int>(m_viewMode);
    settings.find = static_cast<int>(m_findMode);
    // The details columns keep their widths while the list view shows.
    settings.content = m_lstFace->ColumnWidth(0);
    settings.folder = m_lstFace->ColumnWidth(1);
}

void CListPage::ShowPage() {
    show();
    SetFindMode(m_findMode);
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

bool CListPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_edtFind && event->type() == QEvent::FocusIn) {
        OnFindEditFocus();
    }
    if (watched == m_edtFind && event->type() == QEvent::KeyPress) {
        // The keys that move through the results do so from the box, which keeps the focus
        // for the next letter.
        switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
                QCoreApplication::sendEvent(m_lstFace->CurrentView(), event);
                return true;
            default:
                break;
        }
    }
    return CPage::eventFilter(watched, event);
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
            OnFindByLocation();
            break;
        case id::kFindByText:
            OnFindByText();
            break;
        default:
            m_actions->OnCommand(command);
            break;
    }
}

// ---------------------------------------------------------------------------------------------
// The library

void CListPage::UpdateEmptyText() {
    if (!m_document.IsLoaded()) {
        return;  // it says it is reading
    }
    QStringView text;
    if (m_faceModel->rowCount() == 0) {
        text = m_findMode == FindMode::Text ? res::kNoMatch
               : IsRecentShown()            ? res::kNoRecent
                                            : res::kNoFaces;
    }
    m_lstFace->SetPlaceholderText(text.toString());
}

void CListPage::OnLibraryLoaded() {
    m_lstFace->SetPlaceholderText({});
    // What was typed while the library loaded is searched for now.
    if (m_findMode == FindMode::Text && m_bSearchActivated) {
        SearchByText();
    } else {
        ShowFolder({});
    }
    UpdateCurrentFace();
    emit changeableChanged(m_document.CanChange());
}

void CListPage::OnLibraryChanged(const LibraryEdit& edit) {
    m_meaning.reset();
    // A search lists what matches now; removed rows are gone already, and an addition shows
    // the list its command chooses.
    if (m_findMode == FindMode::Text && !std::holds_alternative<RemoveFaces>(edit) &&
        !std::holds_alternative<AddFaces>(edit)) {
        const std::vector<std::string> selected = SelectedTexts();
        SearchByText();
        SelectFaceRows(selected);
    }
    UpdateCurrentFace();
}

void CListPage::OnLibraryAboutToReload() {
    // Rows name records by id, and every id is about to change: keep what the user sees by
    // its texts.
    m_keptSelection = SelectedTexts();
    m_meaning.reset();
}

void CListPage::OnKeywordsChanged() {
    m_meaning.reset();
    if (m_findMode == FindMode::Text) {
        const std::vector<std::string> selected = SelectedTexts();
        SearchByText();
        SelectFaceRows(selected);
    }
}

void CListPage::OnLibraryReloaded() {
    if (m_findMode == FindMode::Text) {
        ShowFolder({});
        SearchByText();
    } else {
        if (m_cbxFolder->currentIndex() < 0) {
            m_cbxFolder->SelectAllFaces();  // its folder is gone from the file
        }
        ShowLocation();
    }
    SelectFaceRows(m_keptSelection);
    m_keptSelection.clear();
    UpdateCurrentFace();
}

// ---------------------------------------------------------------------------------------------
// The list and the folders

void CListPage::ShowFolder(const std::string& folder) {
    m_faceModel->Reset(m_library.RecordsInFolder(folder, CFaceLibrary::Order::Text), folder);
}

void CListPage::ShowRecent() {
    m_faceModel->ResetTexts(m_recent.List().Texts(), m_recent.List().GetCharset());
}

bool CListPage::IsRecentShown() const {
    return m_findMode == FindMode::Location && m_cbxFolder->IsRecentChosen();
}

void CListPage::ShowLocation() {
    if (m_cbxFolder->IsRecentChosen()) {
        ShowRecent();
    } else {
        ShowFolder(SelectedFolder());
    }
}

void CListPage::OnRecentChanged() {
    if (!IsRecentShown()) {
        return;
    }
    // A copy from this list moves its rows: the selection goes along.
    const std::vector<std::string> selected = SelectedTexts();
    ShowRecent();
    SelectFaceRows(selected);
}

void CListPage::RememberCopied() {
    m_recent.Use(SelectedTexts(), m_library.GetCharset());
}

std::string CListPage::SelectedFolder() const {
    return m_cbxFolder->SelectedFolder();
}

void CListPage::SetViewMode(ViewMode mode) {
    m_viewMode = mode;
    m_lstFace->SetListView(mode == ViewMode::Details);
    m_tbarList->CheckButton(id::kDetailsView, mode == ViewMode::Details);
    m_tbarList->CheckButton(id::kListView, mode == ViewMode::List);
}

bool CListPage::ShowAllIfEmpty() {
    if (m_faceModel->rowCount() != 0) {
        return false;
    }
    ShowFolder({});
    m_cbxFolder->SelectAllFaces();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Find modes

void CListPage::SetFindMode(FindMode mode) {
    m_btnLocation->ShowMode(mode);
    m_cbxFolder->setVisible(mode == FindMode::Location);
    m_edtFind->setVisible(mode == FindMode::Text);
}

void CListPage::OnFindByLocation() {
    if (m_cbxFolder->currentIndex() < 0) {
        // Its folder was removed while the text search showed: show everything.
        m_cbxFolder->SelectAllFaces();
    }
    m_findMode = FindMode::Location;
    ShowLocation();
    SetFindMode(m_findMode);
}

void CListPage::OnFolderChanged() {
    ShowLocation();
    m_lstFace->SelectRow(0);
    m_lstFace->setFocus();
}

void CListPage::OnFindByText() {
    ShowFolder({});
    m_findMode = FindMode::Text;
    SetFindMode(m_findMode);
    // What the user types next is what is searched for.
    m_edtFind->setFocus(Qt::OtherFocusReason);
    OnFindEditFocus();
    m_edtFind->selectAll();
    SearchByText();
}

void CListPage::OnFindEditFocus() {
    if (!m_bSearchActivated) {
        // The hint goes for good once the box has had the focus.
        m_edtFind->setPlaceholderText({});
        m_bSearchActivated = true;
    }
}

void CListPage::SearchByText() {
    // Before the library is read the list stays empty; the search runs once it is.
    if (!m_bSearchActivated || !m_document.IsLoaded()) {
        return;
    }
    const EncodeResult encoded = FromQString(m_edtFind->text(), m_library.GetCharset());
    // A character the library cannot hold matches nothing. The emoticons whose text holds the
    // query come first; those it finds by their folder's name or reading, or their keywords,
    // follow.
    if (!encoded.Ok()) {
        m_faceModel->Reset({});
        return;
    }
    if (!m_meaning) {
        m_meaning = std::make_unique<CMeaningIndex>(m_library, m_document.Keywords());
    }
    m_faceModel->Reset(m_meaning->Search(encoded.bytes, CFaceLibrary::Order::Text).rows);
}

// ---------------------------------------------------------------------------------------------
// The current emoticon and its commands

std::vector<std::string> CListPage::SelectedTexts() const {
    return m_faceModel->TextsAt(m_lstFace->SelectedRows());
}

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
    for (const std::string& text : SelectedTexts()) {
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

void CListPage::SelectFaceRow(const std::string& text) {
    if (const int row = m_faceModel->RowOfText(text); row >= 0) {
        m_lstFace->SelectRow(row);
        m_lstFace->setFocus();
    }
}

void CListPage::SelectFaceRows(const std::vector<std::string>& texts) {
    m_lstFace->SelectRows(m_faceModel->RowsOfTexts(texts));
}

}  // namespace mopira
