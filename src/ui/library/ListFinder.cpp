#include "ui/library/ListFinder.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

#include "core/library/MeaningIndex.h"
#include "res/StringTable.h"
#include "store/LibraryDocument.h"
#include "store/RecentFaces.h"
#include "ui/controls/SortListCtrl.h"
#include "ui/library/FaceListModel.h"
#include "ui/library/FolderCombo.h"
#include "ui/platform/TextConvert.h"

namespace mopira {

CListFinder::CListFinder(CLibraryDocument& document, CRecentFaces& recent, const Controls& controls,
                         QObject* parent)
    : QObject(parent),
      m_document(document),
      m_recent(recent),
      m_library(document.Library()),
      m_list(controls.list),
      m_model(controls.model),
      m_folders(controls.folders),
      m_search(controls.search),
      m_modeButton(controls.mode) {
    m_search.setPlaceholderText(res::kFindHint.toString());
    m_search.installEventFilter(this);
    // The window paints before the library is read; the list says so until it is.
    m_list.SetPlaceholderText(res::kLoading.toString());

    connect(&m_recent, &CRecentFaces::changed, this, &CListFinder::OnRecentChanged);
    connect(&m_folders, &QComboBox::activated, this, &CListFinder::OnFolderChosen);
    connect(&m_search, &QLineEdit::textChanged, this, &CListFinder::Search);
    connect(&m_model, &QAbstractItemModel::modelReset, this, &CListFinder::UpdateEmptyText);
    connect(&m_model, &QAbstractItemModel::rowsInserted, this, &CListFinder::UpdateEmptyText);
    connect(&m_model, &QAbstractItemModel::rowsRemoved, this, &CListFinder::UpdateEmptyText);
}

CListFinder::~CListFinder() = default;

// ---------------------------------------------------------------------------------------------
// Find modes

void CListFinder::ShowMode() {
    m_modeButton.ShowMode(m_findMode);
    m_folders.setVisible(m_findMode == FindMode::Location);
    m_search.setVisible(m_findMode == FindMode::Text);
}

void CListFinder::FindByLocation() {
    if (m_folders.currentIndex() < 0) {
        // Its folder was removed while the text search showed: show everything.
        m_folders.SelectAllFaces();
    }
    m_findMode = FindMode::Location;
    ShowLocation();
    ShowMode();
}

void CListFinder::FindByText() {
    ShowFolder({});
    m_findMode = FindMode::Text;
    ShowMode();
    m_search.setFocus(Qt::OtherFocusReason);
    OnSearchFocus();
    m_search.selectAll();
    Search();
}

void CListFinder::FocusSearch() {
    if (m_findMode != FindMode::Text) {
        FindByText();
        return;
    }
    m_search.setFocus(Qt::ShortcutFocusReason);
    m_search.selectAll();
}

void CListFinder::OnFolderChosen() {
    ShowLocation();
    m_list.SelectRow(0);
    m_list.setFocus();
}

void CListFinder::OnSearchFocus() {
    if (!m_bSearchActivated) {
        // The hint goes for good once the box has had the focus.
        m_search.setPlaceholderText({});
        m_bSearchActivated = true;
    }
}

bool CListFinder::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_search && event->type() == QEvent::FocusIn) {
        OnSearchFocus();
    }
    if (watched == &m_search && event->type() == QEvent::KeyPress) {
        // The keys that move through the results do so from the box, which keeps the focus
        // for the next letter.
        switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
                QCoreApplication::sendEvent(m_list.CurrentView(), event);
                return true;
            default:
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void CListFinder::Search() {
    // Before the library is read the list stays empty; the search runs once it is.
    if (!m_bSearchActivated || !m_document.IsLoaded()) {
        return;
    }
    const EncodeResult encoded = FromQString(m_search.text(), m_library.GetCharset());
    // A character the library cannot hold matches nothing. The emoticons whose text holds the
    // query come first; those it finds by their folder's name or reading, or their keywords,
    // follow.
    if (!encoded.Ok()) {
        m_model.Reset({});
        return;
    }
    if (!m_meaning) {
        m_meaning = std::make_unique<CMeaningIndex>(m_library, m_document.Keywords());
    }
    m_model.Reset(m_meaning->Search(encoded.bytes, CFaceLibrary::Order::Text).rows);
}

void CListFinder::SearchAgain() {
    const std::vector<std::string> selected = SelectedTexts();
    Search();
    SelectRows(selected);
}

// ---------------------------------------------------------------------------------------------
// Following the library

void CListFinder::OnLibraryAboutToReload() {
    // Rows name records by id, and every id is about to change: keep what the user sees by
    // its texts.
    m_keptSelection = SelectedTexts();
    m_meaning.reset();
}

void CListFinder::OnLibraryLoaded() {
    m_list.SetPlaceholderText({});
    // What was typed while the library loaded is searched for now.
    if (m_findMode == FindMode::Text && m_bSearchActivated) {
        Search();
    } else {
        ShowFolder({});
    }
}

void CListFinder::OnLibraryChanged(const LibraryEdit& edit) {
    m_meaning.reset();
    // A search lists what matches now; removed rows are gone already, and an addition shows
    // the list its command chooses.
    if (m_findMode == FindMode::Text && !std::holds_alternative<RemoveFaces>(edit) &&
        !std::holds_alternative<AddFaces>(edit)) {
        SearchAgain();
    }
}

void CListFinder::OnLibraryReloaded() {
    if (m_findMode == FindMode::Text) {
        ShowFolder({});
        Search();
    } else {
        if (m_folders.currentIndex() < 0) {
            m_folders.SelectAllFaces();  // its folder is gone from the file
        }
        ShowLocation();
    }
    SelectRows(m_keptSelection);
    m_keptSelection.clear();
}

void CListFinder::OnKeywordsChanged() {
    m_meaning.reset();
    if (m_findMode == FindMode::Text) {
        SearchAgain();
    }
}

void CListFinder::OnRecentChanged() {
    if (!IsRecentShown()) {
        return;
    }
    // A copy from this list moves its rows: the selection goes along.
    const std::vector<std::string> selected = SelectedTexts();
    ShowRecent();
    SelectRows(selected);
}

// ---------------------------------------------------------------------------------------------
// What the list shows

void CListFinder::ShowFolder(const std::string& folder) {
    m_model.Reset(m_library.RecordsInFolder(folder, CFaceLibrary::Order::Text), folder);
}

void CListFinder::ShowRecent() {
    m_model.ResetTexts(m_recent.List().Texts(), m_recent.List().GetCharset());
}

void CListFinder::ShowLocation() {
    if (m_folders.IsRecentChosen()) {
        ShowRecent();
    } else {
        ShowFolder(SelectedFolder());
    }
}

bool CListFinder::IsRecentShown() const {
    return m_findMode == FindMode::Location && m_folders.IsRecentChosen();
}

std::string CListFinder::SelectedFolder() const {
    return m_folders.SelectedFolder();
}

void CListFinder::ShowNewFace(const std::string& face, const std::string& folder) {
    const bool folderView = m_folders.IsFolderChosen();
    if (folderView) {
        m_folders.SelectFolder(folder);
    } else if (!m_folders.IsRecentChosen()) {
        m_folders.SelectAllFaces();
    }
    if (m_bSearchActivated) {
        // The search starts afresh. A folder view hides the box; its old text must not
        // replace the folder's rows with everything.
        const QSignalBlocker blocker(&m_search);
        m_search.clear();
    }
    // An empty text search lists everything, like "すべての顔文字".
    if (IsRecentShown()) {
        ShowRecent();
    } else {
        ShowFolder(folderView && m_findMode == FindMode::Location ? folder : std::string());
    }
    SelectRow(face);
}

void CListFinder::LeaveEmptiedFolder() {
    if (m_folders.IsFolderChosen()) {
        m_folders.SelectAllFaces();
        ShowFolder({});
    }
}

void CListFinder::ShowAllIfEmpty() {
    if (m_model.rowCount() != 0) {
        return;
    }
    ShowFolder({});
    m_folders.SelectAllFaces();
    if (m_findMode == FindMode::Text) {
        Search();
    }
}

void CListFinder::ShowImported(const std::string& folder) {
    if (folder.empty() || !m_folders.SelectFolder(folder)) {
        m_folders.SelectAllFaces();
    }
    m_findMode = FindMode::Location;
    ShowMode();
    ShowFolder(SelectedFolder());
}

void CListFinder::UpdateEmptyText() {
    if (!m_document.IsLoaded()) {
        return;  // it says it is reading
    }
    QStringView text;
    if (m_model.rowCount() == 0) {
        text = m_findMode == FindMode::Text ? res::kNoMatch
               : IsRecentShown()            ? res::kNoRecent
                                            : res::kNoFaces;
    }
    m_list.SetPlaceholderText(text.toString());
}

// ---------------------------------------------------------------------------------------------
// The selection

std::vector<std::string> CListFinder::SelectedTexts() const {
    return m_model.TextsAt(m_list.SelectedRows());
}

void CListFinder::SelectRow(const std::string& text) {
    if (const int row = m_model.RowOfText(text); row >= 0) {
        m_list.SelectRow(row);
        m_list.setFocus();
    }
}

void CListFinder::SelectRows(const std::vector<std::string>& texts) {
    m_list.SelectRows(m_model.RowsOfTexts(texts));
}

}  // namespace mopira
