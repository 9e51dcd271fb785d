#include "ui/library/ListPage.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <algorithm>
#include <numeric>

#include "core/app/ControlIds.h"
#include "core/app/PageLayout.h"
#include "core/library/LibraryEdit.h"
#include "res/Resources.h"
#include "res/StringTable.h"
#include "ui/controls/HoverButton.h"
#include "ui/controls/IconMenu.h"
#include "ui/controls/SortListCtrl.h"
#include "ui/controls/TipToolBar.h"
#include "ui/library/AddFaceDlg.h"
#include "ui/library/FaceExchange.h"
#include "ui/library/FaceListModel.h"
#include "ui/library/FieldText.h"
#include "ui/library/FolderCombo.h"
#include "ui/library/LibraryDocument.h"
#include "ui/library/MoveDlg.h"
#include "ui/library/PropertyDlg.h"
#include "ui/library/RecentFaces.h"
#include "ui/library/Utf8Consent.h"
#include "ui/platform/DialogUnits.h"
#include "ui/platform/FileDialog.h"
#include "ui/platform/Fonts.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/ModalSeam.h"
#include "ui/platform/TextConvert.h"

namespace mopira {

namespace {

// How many emoticons a first start shows at least.
constexpr int kUsefulRows = 8;

// The list toolbar's rectangle in client pixels, as the window creates it.
const QRect kListToolBarRect(QPoint(0, 63), QPoint(124, 84));

}  // namespace

CListPage::CListPage(CLibraryDocument& document, QWidget* parent)
    : CPage(parent), m_document(document), m_library(document.Library()) {
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
    // Before the page hears of the library's signals, so that the list is ready when it does.
    m_recent = new CRecentFaces(m_document, this);
    m_lstFace = new CSortListCtrl(this);
    m_lstFace->SetModel(m_faceModel);
    PlaceControl(du, m_lstFace, "m_lstFace", id::kFaceList, 7, 60, 196, 8);

    m_cbxFolder = new CFolderCombo(this);
    PlaceControl(du, m_cbxFolder, "m_cbxFolder", id::kFolderCombo, 40, 42, 16, 140);
    // Its height is the list that drops down; the box itself keeps its natural height.
    m_cbxFolder->resize(m_cbxFolder->width(), m_cbxFolder->sizeHint().height());

    m_edtFind = new QLineEdit(this);
    PlaceControl(du, m_edtFind, "m_edtFind", id::kFindEdit, 40, 42, 109, 13);

    m_btnLocation = new CHoverButton(this);
    m_btnLocation->setText(res::kLocationCaption.toString());
    PlaceControl(du, m_btnLocation, "m_btnLocation", id::kLocationButton, 7, 42, 30, 13);
    // Enter presses the button that has the focus; elsewhere it copies, the default.
    m_btnLocation->setAutoDefault(true);

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
}

void CListPage::ConnectHandlers() {
    connect(m_tbarList, &CTipToolBar::commandTriggered, this, &CListPage::OnCommand);
    connect(m_btnLocation, &QPushButton::clicked, this, &CListPage::OnLocationButton);
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
    connect(m_recent, &CRecentFaces::changed, this, &CListPage::OnRecentChanged);
    connect(m_lstFace, &CSortListCtrl::rowDoubleClicked, this, &CListPage::OnFaceDoubleClicked);
    connect(m_lstFace, &CSortListCtrl::contextMenuRequested, this, &CListPage::OnContextMenu);

    connect(&m_document, &CLibraryDocument::loaded, this, &CListPage::OnLibraryLoaded);
    connect(&m_document, &CLibraryDocument::aboutToReload, this,
            &CListPage::OnLibraryAboutToReload);
    connect(&m_document, &CLibraryDocument::reloaded, this, &CListPage::OnLibraryReloaded);
    connect(&m_document, &CLibraryDocument::saveFailed, this, &CListPage::ShowSaveFailure);
    connect(&m_document, &CLibraryDocument::converted, this, &CListPage::OnLibraryConverted);
    connect(&m_document, &CLibraryDocument::saved, this, [this] { m_bSaveWarned = false; });
}

void CListPage::ReadSettings(const Settings& settings) {
    m_nFind = settings.find;
    m_nView = settings.view == 0 ? 0 : 1;
    m_nContentWidth = settings.content;
    m_nFolderWidth = settings.folder;
    m_lstFace->SetColumnWidths({m_nContentWidth, m_nFolderWidth});
    SetListView(m_nView == 0);
}

void CListPage::WriteSettings(Settings& settings) const {
    settings.view = m_nView;
    settings.find = m_nFind;
    // The details columns keep their widths while the list view shows.
    settings.content = m_lstFace->ColumnWidth(0);
    settings.folder = m_lstFace->ColumnWidth(1);
}

void CListPage::ShowPage() {
    show();
    SetFindMode(m_nFind);
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
    return CPage::eventFilter(watched, event);
}

LibraryView CListPage::View() const {
    return {m_library, m_folders, m_folderImages};
}

void CListPage::OnCommand(int command) {
    switch (command) {
        case id::kNewFace:
            // An emoticon listed only among those copied last is offered for adding.
            OnNewFace(SelectedOutsideText(), m_library.GetCharset());
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
        case id::kImport:
            OnImport();
            break;
        case id::kExport:
            OnExport();
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
            emit copyRequested();
            break;
        case id::kFindByLocation:
            OnFindByLocation();
            break;
        case id::kFindByText:
            OnFindByText();
            break;
        default:
            break;
    }
}

// ---------------------------------------------------------------------------------------------
// The library and its file

bool CListPage::EnsureLoaded() {
    return m_document.WaitUntilLoaded();
}

void CListPage::OnLibraryLoaded() {
    m_lstFace->SetPlaceholderText({});
    FillFolderCombo();
    m_cbxFolder->setCurrentIndex(0);
    // What was typed while the library loaded is searched for now.
    if (m_nFind == 1 && m_bSearchActivated) {
        SearchByText();
    } else {
        ShowFolder({});
    }
    UpdateCurrentFace();
    emit changeableChanged(CanChangeLibrary());
    if (m_document.IsReadOnly()) {
        // Copying and searching go on; every command that would write the file is off, and
        // its tip says why.
        m_tbarList->EnableButton(id::kNewFace, false);
        for (int command : {id::kNewFace, id::kDelete, id::kProperties, id::kMove}) {
            if (QToolButton* button = m_tbarList->ButtonFor(command)) {
                button->setToolTip(res::kLibraryReadOnlyTip.toString());
            }
        }
        ShowMessage(
            this,
            res::kLibraryUnreadable.toString().arg(
                QDir::toNativeSeparators(m_document.File().Path()), m_document.ReadFailure()),
            MessageButtons::Ok, MessageIcon::Stop);
    } else if (!m_document.CanWrite()) {
        m_bSaveWarned = true;
        ShowMessage(this,
                    res::kFolderReadOnly.toString().arg(
                        QDir::toNativeSeparators(m_document.File().Directory())),
                    MessageButtons::Ok, MessageIcon::Warning);
    }
}

bool CListPage::CanChangeLibrary() const {
    return m_document.IsLoaded() && !m_document.IsReadOnly();
}

void CListPage::ShowSaveFailure(const FileError& error) {
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

void CListPage::OnLibraryAboutToReload() {
    // Rows name records by id, and every id is about to change: keep what the user sees by
    // its texts, and show nothing until the new ids are in.
    m_keptSelection = SelectedTexts();
    m_strKeptFolder = SelectedFolder();
    m_bKeptRecent = m_cbxFolder->currentIndex() == CFolderCombo::kRecentItem;
    m_faceModel->Reset({});
}

void CListPage::OnLibraryReloaded(const std::vector<std::string>& missing) {
    FillFolderCombo();
    const auto folder = m_strKeptFolder.empty() ? std::nullopt : m_folders.IndexOf(m_strKeptFolder);
    m_cbxFolder->setCurrentIndex(m_bKeptRecent ? CFolderCombo::kRecentItem
                                 : folder
                                     ? static_cast<int>(*folder) + CFolderCombo::kFirstFolderItem
                                     : CFolderCombo::kAllFacesItem);
    if (m_nFind == 1) {
        ShowFolder({});
        SearchByText();
    } else {
        ShowLocation();
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

// ---------------------------------------------------------------------------------------------
// The list and the folders

void CListPage::ShowFolder(const std::string& folder) {
    m_faceModel->Reset(m_library.RecordsInFolder(folder, CFaceLibrary::Order::Text));
}

void CListPage::ShowRecent() {
    m_faceModel->ResetTexts(m_recent->List().Texts());
}

bool CListPage::IsRecentShown() const {
    return m_nFind == 0 && m_cbxFolder->currentIndex() == CFolderCombo::kRecentItem;
}

void CListPage::ShowLocation() {
    if (m_cbxFolder->currentIndex() == CFolderCombo::kRecentItem) {
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
    m_recent->Use(SelectedTexts(), m_library.GetCharset());
}

void CListPage::FillFolderCombo() {
    m_folders = CFolderList(m_library.FolderNames(), m_library.GetCharset());
    m_cbxFolder->ResetItems();
    for (std::size_t k = 0; k < m_folders.Size(); ++k) {
        m_cbxFolder->InsertFolder(static_cast<int>(k) + CFolderCombo::kFirstFolderItem,
                                  m_folders[k], m_folders.GetCharset());
    }
}

void CListPage::AddFolderEntry(const std::string& folder) {
    if (const auto index = m_folders.AddFolderEntry(folder)) {
        m_cbxFolder->InsertFolder(static_cast<int>(*index) + CFolderCombo::kFirstFolderItem, folder,
                                  m_folders.GetCharset());
    }
}

void CListPage::RemoveFolderEntry(const std::string& folder) {
    if (const auto index = m_folders.RemoveFolderEntry(folder)) {
        const int item = static_cast<int>(*index) + CFolderCombo::kFirstFolderItem;
        // The combo is left without a chosen item rather than showing some other folder
        // the list does not show.
        if (m_cbxFolder->currentIndex() == item) {
            m_cbxFolder->setCurrentIndex(-1);
        }
        m_cbxFolder->RemoveFolder(item);
    }
}

std::string CListPage::SelectedFolder() const {
    return m_cbxFolder->FolderAt(m_cbxFolder->currentIndex());
}

void CListPage::SetListView(bool details) {
    m_lstFace->SetListView(details);
    m_tbarList->CheckButton(id::kDetailsView, details);
    m_tbarList->CheckButton(id::kListView, !details);
}

// ---------------------------------------------------------------------------------------------
// Find modes

void CListPage::SetFindMode(int mode) {
    if (mode == 0) {
        m_btnLocation->LoadIcons(id::kFindByLocationIcon, 0);
        m_btnLocation->setText(res::kLocationCaption.toString());
        m_btnLocation->SetTipTextFromResource(id::kFindByLocation, true);
        m_cbxFolder->show();
        m_edtFind->hide();
    } else if (mode == 1) {
        m_btnLocation->LoadIcons(id::kFindByTextIcon, 0);
        m_btnLocation->setText(res::kSearchCaption.toString());
        m_btnLocation->SetTipTextFromResource(id::kFindByText, true);
        m_edtFind->show();
        m_cbxFolder->hide();
    }
    m_btnLocation->update();
}

void CListPage::OnLocationButton() {
    CIconMenu menu(this);
    m_pActiveMenu = &menu;
    menu.LoadToolBarImages(id::kFindModeToolBarResource);
    menu.Menu()->addAction(res::kFindByLocationItem.toString())->setData(id::kFindByLocation);
    menu.Menu()->addAction(res::kFindByTextItem.toString())->setData(id::kFindByText);
    menu.ConvertMenu(menu.Menu());
    const int command =
        menu.Exec(m_btnLocation->mapToGlobal(m_btnLocation->rect().bottomLeft() + QPoint(0, 1)));
    m_pActiveMenu = nullptr;
    if (command != 0) {
        OnCommand(command);
    }
}

void CListPage::OnFindByLocation() {
    if (m_cbxFolder->currentIndex() < 0) {
        // Its folder was removed while the text search showed: show everything.
        m_cbxFolder->setCurrentIndex(0);
    }
    m_nFind = 0;
    ShowLocation();
    SetFindMode(0);
}

void CListPage::OnFolderChanged(int) {
    ShowLocation();
    m_lstFace->SelectRow(0);
    m_lstFace->setFocus();
}

void CListPage::OnFindByText() {
    ShowFolder({});
    m_nFind = 1;
    SetFindMode(1);
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
    // A character the library cannot hold matches nothing.
    m_faceModel->Reset(encoded.Ok()
                           ? m_library.SearchByText(encoded.bytes, CFaceLibrary::Order::Text)
                           : std::vector<RecordId>());
}

// ---------------------------------------------------------------------------------------------
// The current emoticon and its commands

std::vector<std::string> CListPage::SelectedTexts() const {
    std::vector<std::string> texts;
    for (int row : m_lstFace->SelectedRows()) {
        texts.emplace_back(m_faceModel->TextAt(row));
    }
    return texts;
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
    const bool changeable = hasFace && (!m_document.IsLoaded() || CanChangeLibrary());
    m_tbarList->EnableButton(id::kDelete, changeable);
    m_tbarList->EnableButton(id::kProperties, changeable);
    m_tbarList->EnableButton(id::kMove, changeable);
    if (hasFace) {
        // Properties and move share one place: one emoticon offers properties, several move.
        const bool one = SelectedCount() == 1;
        m_tbarList->HideButton(id::kProperties, !one);
        m_tbarList->HideButton(id::kMove, one);
    }
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
    std::vector<int> rows;
    for (const std::string& text : texts) {
        if (const int row = m_faceModel->RowOfText(text); row >= 0) {
            rows.push_back(row);
        }
    }
    m_lstFace->SelectRows(rows);
}

void CListPage::OnContextMenu(const QPoint& globalPos, bool fromKeyboard) {
    if (!isVisible()) {
        return;
    }
    QPoint at = globalPos;
    if (fromKeyboard) {
        at = window()->mapToGlobal(QPoint(5, 5));
    } else if (!QRect(m_lstFace->mapToGlobal(QPoint()), m_lstFace->size()).contains(globalPos)) {
        return;
    }
    QMenu menu(this);
    auto add = [&menu](QStringView text, int command) {
        QAction* action = menu.addAction(text.toString());
        action->setData(command);
        return action;
    };
    QAction* copy = add(res::kCopyItem, id::kCopy);
    menu.setDefaultAction(copy);
    menu.addSeparator();
    QAction* remove = add(res::kDeleteItem, id::kDelete);
    QAction* move = add(res::kMoveItem, id::kMove);
    QAction* properties = add(res::kPropertiesItem, id::kProperties);
    menu.addSeparator();
    QAction* import = add(res::kImportItem, id::kImport);
    add(res::kExportItem, id::kExport);

    const int selected = SelectedCount();
    if (selected == 0) {
        for (QAction* action : {copy, remove, move, properties}) {
            action->setEnabled(false);
        }
    }
    if (!CanChangeLibrary()) {
        menu.setToolTipsVisible(true);
        for (QAction* action : {remove, move, properties, import}) {
            action->setEnabled(false);
            action->setToolTip(res::kLibraryReadOnlyTip.toString());
        }
    }
    if (selected == 1) {
        menu.removeAction(move);
    } else {
        menu.removeAction(properties);
    }
    if (QAction* chosen = menu.exec(at)) {
        OnCommand(chosen->data().toInt());
    }
}

bool CListPage::ShowAllIfEmpty() {
    if (m_faceModel->rowCount() != 0) {
        return false;
    }
    ShowFolder({});
    m_cbxFolder->setCurrentIndex(0);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Commands that change the library

void CListPage::OnDelete() {
    if (!EnsureLoaded()) {
        return;
    }
    const std::vector<int> rows = m_lstFace->SelectedRows();
    if (rows.empty() || !CanChangeLibrary()) {
        return;
    }
    const QString question = rows.size() == 1
                                 ? res::kDeleteOneQuestion.toString().arg(ToDisplayString(
                                       m_faceModel->TextAt(rows.front()), m_library.GetCharset()))
                                 : res::kDeleteManyQuestion.toString().arg(rows.size());
    if (ShowMessage(this, question, MessageButtons::YesNo, MessageIcon::Question) !=
        MessageAnswer::Yes) {
        return;
    }
    RemoveFaces removal{SelectedTexts()};
    // The rows go first, so no row ever shows a removed record.
    m_faceModel->RemoveRows(rows);
    const EditOutcome outcome = m_document.Change(removal);
    for (const std::string& folder : outcome.emptied) {
        ShowMessage(this, res::kFolderEmptied.toString());
        RemoveFolderEntry(folder);
    }
    if (ShowAllIfEmpty() && m_nFind == 1) {
        SearchByText();
    }
    UpdateCurrentFace();
}

void CListPage::OnNewFace(const std::string& face, Charset charset) {
    if (!EnsureLoaded() || !CanChangeLibrary()) {
        return;
    }
    std::string offered = face;
    if (!offered.empty() && charset != m_library.GetCharset()) {
        // Parts and library in different encodings: the face goes over as characters.
        const QString characters = ToQString(offered, charset);
        if (NeedsUtf8(characters, {}, m_library.GetCharset())) {
            OfferUtf8();
        }
        const auto converted = TakeFieldText(this, characters, {}, m_library.GetCharset());
        if (!converted) {
            return;
        }
        offered = *converted;
    }
    CAddFaceDlg dialog(window(), View(), offered, SelectedFolder());
    dialog.SetUtf8Offer([this] { return OfferUtf8(); });
    if (RunModal(dialog) != QDialog::Accepted) {
        return;
    }
    const std::string& added = dialog.Face();
    const std::string& folder = dialog.Folder();
    if (added.empty() || folder.empty() || m_library.FindRecord(added)) {
        return;
    }
    m_document.Change(AddFaces{{FaceEntry{added, folder}}});
    AddFolderEntry(folder);
    const int item = m_cbxFolder->currentIndex();
    const bool folderView = m_cbxFolder->IsFolderChosen();
    m_cbxFolder->setCurrentIndex(folderView ? static_cast<int>(*m_folders.IndexOf(folder)) +
                                                  CFolderCombo::kFirstFolderItem
                                 : item == CFolderCombo::kRecentItem ? item
                                                                     : CFolderCombo::kAllFacesItem);
    if (m_bSearchActivated) {
        // The search starts afresh. A folder view hides the box; its old text must not
        // replace the folder's rows with everything.
        const QSignalBlocker blocker(m_edtFind);
        m_edtFind->clear();
    }
    // An empty text search lists everything, like "すべての顔文字".
    if (IsRecentShown()) {
        ShowRecent();
    } else {
        ShowFolder(folderView && m_nFind == 0 ? folder : std::string());
    }
    SelectFaceRow(added);
    UpdateCurrentFace();
}

void CListPage::OnProperties() {
    if (!EnsureLoaded()) {
        return;
    }
    const std::vector<int> rows = m_lstFace->SelectedRows();
    if (rows.empty() || !CanChangeLibrary()) {
        return;
    }
    const int row = rows.front();
    if (!m_faceModel->IsRecordRow(row)) {
        // Not in the library: its properties are those it would be added with.
        OnNewFace(std::string(m_faceModel->TextAt(row)), m_library.GetCharset());
        return;
    }
    const RecordId id = m_faceModel->RecordAt(row);
    CPropertyDlg dialog(window(), View(), id);
    dialog.SetUtf8Offer([this] { return OfferUtf8(); });
    if (RunModal(dialog) != QDialog::Accepted) {
        return;
    }
    // Read after the dialog, which may have made the library UTF-8 (ids stay).
    const std::string oldText(m_library.Text(id));
    const std::string oldFolder = m_library.Folder(id);
    const std::string& face = dialog.Face();
    const std::string& folder = dialog.Folder();
    const auto clash = m_library.FindRecord(face);
    if (face.empty() || folder.empty() || (clash && *clash != id)) {
        return;
    }
    const EditOutcome outcome = m_document.Change(ReplaceFace{oldText, FaceEntry{face, folder}});
    // The row keeps its place, whatever its new text.
    m_faceModel->RefreshRow(row);
    AddFolderEntry(folder);
    const bool folderChanged = folder != oldFolder;
    if (folderChanged && std::find(outcome.emptied.begin(), outcome.emptied.end(), oldFolder) !=
                             outcome.emptied.end()) {
        // A move does not announce the folder it empties.
        RemoveFolderEntry(oldFolder);
        if (m_cbxFolder->IsFolderChosen()) {
            m_cbxFolder->setCurrentIndex(0);
            ShowFolder({});
        }
    }
    if (folderChanged && m_cbxFolder->IsFolderChosen()) {
        // It has left the folder shown.
        m_faceModel->RemoveRows({row});
    }
    if (m_nFind == 1) {
        SearchByText();
    }
    SelectFaceRow(face);
    UpdateCurrentFace();
}

void CListPage::OnMove() {
    if (!EnsureLoaded()) {
        return;
    }
    const std::vector<int> rows = m_lstFace->SelectedRows();
    if (rows.empty() || !CanChangeLibrary()) {
        return;
    }
    CMoveDlg dialog(window(), View(), SelectedFolder());
    dialog.SetUtf8Offer([this] { return OfferUtf8(); });
    if (RunModal(dialog) != QDialog::Accepted) {
        return;
    }
    const std::string& folder = dialog.Folder();
    std::vector<int> movedRows;
    MoveFaces move{{}, folder};
    for (int row : rows) {
        if (!m_faceModel->IsRecordRow(row)) {
            continue;  // not in the library
        }
        const RecordId id = m_faceModel->RecordAt(row);
        // An emoticon already in the folder stays as it is.
        if (m_library.Folder(id) != folder) {
            movedRows.push_back(row);
            move.texts.emplace_back(m_library.Text(id));
        }
    }
    const std::vector<std::string> emptied = m_document.Change(move).emptied;
    if (m_cbxFolder->IsFolderChosen()) {
        // They have left the folder shown.
        m_faceModel->RemoveRows(std::move(movedRows));
    } else {
        m_faceModel->RefreshRows(movedRows);
    }
    AddFolderEntry(folder);
    // Silently: the folders were emptied by the user's own choice of a new one.
    for (const std::string& old : emptied) {
        RemoveFolderEntry(old);
    }
    ShowAllIfEmpty();
    if (m_nFind == 1) {
        SearchByText();
    }
    UpdateCurrentFace();
}

// ---------------------------------------------------------------------------------------------
// A library that becomes UTF-8, and emoticon lists to and from other programs

bool CListPage::OfferUtf8() {
    return mopira::OfferUtf8(this, m_document);
}

void CListPage::OnLibraryConverted() {
    // Ids stay, and so do the rows: a command that asked for the conversion from its dialog
    // goes on with the rows it had. They show their new bytes; the folders are listed again.
    const std::string folder = Charset().ToUtf8(SelectedFolder());
    const int fixedItem = m_cbxFolder->currentIndex();
    FillFolderCombo();
    const auto found = folder.empty() ? std::nullopt : m_folders.IndexOf(folder);
    m_cbxFolder->setCurrentIndex(found ? static_cast<int>(*found) + CFolderCombo::kFirstFolderItem
                                       : (CFolderCombo::IsFolderItem(fixedItem) ? -1 : fixedItem));
    m_faceModel->ConvertTextsToUtf8();
    std::vector<int> rows(static_cast<std::size_t>(m_faceModel->rowCount()));
    std::iota(rows.begin(), rows.end(), 0);
    m_faceModel->RefreshRows(rows);
}

void CListPage::OnImport() {
    if (!EnsureLoaded() || !CanChangeLibrary()) {
        return;
    }
    const QString path = AskFileName(this, FileDialogMode::Open, res::kImportCaption.toString(),
                                     res::kExchangeFilter.toString());
    if (path.isEmpty()) {
        return;
    }
    std::optional<ImportFile> file = ReadImportFile(this, path);
    if (!file) {
        return;
    }
    if (HasUnfiledLines(*file)) {
        CMoveDlg dialog(window(), View(), SelectedFolder(), res::kImportCaption,
                        res::kImportFolderLabel);
        dialog.SetUtf8Offer([this] { return OfferUtf8(); });
        if (RunModal(dialog) != QDialog::Accepted) {
            return;
        }
        FileUnfiledLines(*file, m_library.GetCharset().ToUtf8(dialog.Folder()));
    }
    if (ImportNeedsUtf8(*file, m_library.GetCharset())) {
        OfferUtf8();  // declined: those lines are refused with the reason
    }
    const EditOutcome outcome =
        m_document.Change(ImportFaces{std::make_shared<const ImportFile>(std::move(*file)),
                                      res::kAllFaces.toString().toStdString()});
    const ImportSummary& summary = outcome.imported;

    // The list shows what came in: their folder when they share one, else everything.
    FillFolderCombo();
    std::optional<std::string> folder;
    for (RecordId id : summary.added) {
        if (!folder) {
            folder = m_library.Folder(id);
        } else if (*folder != m_library.Folder(id)) {
            folder = std::string();
            break;
        }
    }
    const auto index = folder && !folder->empty() ? m_folders.IndexOf(*folder) : std::nullopt;
    m_cbxFolder->setCurrentIndex(index ? static_cast<int>(*index) + CFolderCombo::kFirstFolderItem
                                       : CFolderCombo::kAllFacesItem);
    m_nFind = 0;
    SetFindMode(0);
    ShowFolder(SelectedFolder());
    if (!summary.added.empty()) {
        SelectFaceRow(std::string(m_library.Text(summary.added.front())));
    }
    UpdateCurrentFace();
    ShowMessage(this, DescribeImport(summary), MessageButtons::Ok,
                summary.refused.empty() ? MessageIcon::Information : MessageIcon::Warning);
}

void CListPage::OnExport() {
    if (!EnsureLoaded()) {
        return;
    }
    // The selected emoticons when several are; else every one listed. Copied faces that
    // are not in the library (the recent list shows them) are not the library's to export.
    std::vector<int> rows;
    if (SelectedCount() > 1) {
        rows = m_lstFace->SelectedRows();
    } else {
        rows.resize(static_cast<std::size_t>(m_faceModel->rowCount()));
        std::iota(rows.begin(), rows.end(), 0);
    }
    std::vector<RecordId> ids;
    for (int row : rows) {
        if (m_faceModel->IsRecordRow(row)) {
            ids.push_back(m_faceModel->RecordAt(row));
        }
    }
    const QString path = AskFileName(this, FileDialogMode::Save, res::kExportCaption.toString(),
                                     res::kExchangeFilter.toString());
    if (path.isEmpty()) {
        return;
    }
    if (QFileInfo(path) == QFileInfo(m_document.File().Path())) {
        // An export written there would replace the library with another format.
        ShowMessage(this, res::kExportOverLibrary.toString(), MessageButtons::Ok,
                    MessageIcon::Warning);
        return;
    }
    ExportFaces(this, path, m_library, ids);
}

}  // namespace mopira
