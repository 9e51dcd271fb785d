// The list tab of the main window: the face list, the folders and both searches, the current
// emoticon with copy and delete, and the context menu.
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>

#include "core/app/ControlIds.h"
#include "res/StringTable.h"
#include "ui/app/MainDlg.h"
#include "ui/app/MessageBox.h"
#include "ui/app/TextConvert.h"
#include "ui/controls/DragTabCtrl.h"
#include "ui/controls/HoverButton.h"
#include "ui/controls/IconMenu.h"
#include "ui/controls/SortListCtrl.h"
#include "ui/controls/TipToolBar.h"
#include "ui/library/FaceListModel.h"
#include "ui/library/FolderCombo.h"

namespace mopira {

namespace {}  // namespace

// ---------------------------------------------------------------------------------------------
// The list and the folders

void CMainDlg::ShowFolder(const std::string& folder) {
    m_faceModel->Reset(m_library.RecordsInFolder(folder, CFaceLibrary::Order::Text));
}

void CMainDlg::FillFolderCombo() {
    m_folders = CFolderList(m_library.FolderNames(), m_library.GetCharset());
    m_cbxFolder->ResetItems();
    for (std::size_t k = 0; k < m_folders.Size(); ++k) {
        m_cbxFolder->InsertFolder(static_cast<int>(k) + 1, m_folders[k], m_folders.GetCharset());
    }
}

void CMainDlg::AddFolderEntry(const std::string& folder) {
    if (const auto index = m_folders.AddFolderEntry(folder)) {
        m_cbxFolder->InsertFolder(static_cast<int>(*index) + 1, folder, m_folders.GetCharset());
    }
}

void CMainDlg::RemoveFolderEntry(const std::string& folder) {
    if (const auto index = m_folders.RemoveFolderEntry(folder)) {
        const int item = static_cast<int>(*index) + 1;
        // The combo is left without a chosen item rather than showing some other folder
        // the list does not show.
        if (m_cbxFolder->currentIndex() == item) {
            m_cbxFolder->setCurrentIndex(-1);
        }
        m_cbxFolder->RemoveFolder(item);
    }
}

std::string CMainDlg::SelectedFolder() const {
    return m_cbxFolder->FolderAt(m_cbxFolder->currentIndex());
}

void CMainDlg::SetListView(bool details) {
    m_lstFace->SetListView(details);
    m_tbarList->CheckButton(id::kDetailsView, details);
    m_tbarList->CheckButton(id::kListView, !details);
}

// ---------------------------------------------------------------------------------------------
// Find modes

void CMainDlg::SetFindMode(int mode) {
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

void CMainDlg::OnLocationButton() {
    EnsureLoaded();
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

void CMainDlg::OnFindByLocation() {
    if (m_cbxFolder->currentIndex() < 0) {
        // Its folder was removed while the text search showed: show everything.
        m_cbxFolder->setCurrentIndex(0);
    }
    ShowFolder(SelectedFolder());
    m_nFind = 0;
    SetFindMode(0);
}

void CMainDlg::OnFolderChanged(int index) {
    EnsureLoaded();
    ShowFolder(m_cbxFolder->FolderAt(index));
    m_lstFace->SelectRow(0);
    m_lstFace->setFocus();
}

void CMainDlg::OnFindByText() {
    ShowFolder({});
    m_nFind = 1;
    SetFindMode(1);
    SearchByText();
}

void CMainDlg::OnFindEditFocus() {
    if (!m_bSearchActivated) {
        // The hint goes for good once the box has had the focus.
        m_edtFind->setPlaceholderText({});
        m_bSearchActivated = true;
    }
}

void CMainDlg::SearchByText() {
    EnsureLoaded();
    if (!m_bSearchActivated) {
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

std::vector<RecordId> CMainDlg::SelectedRecords() const {
    std::vector<RecordId> records;
    for (int row : m_lstFace->SelectedRows()) {
        records.push_back(m_faceModel->RecordAt(row));
    }
    return records;
}

int CMainDlg::SelectedCount() const {
    return m_lstFace->SelectedCount();
}

std::string CMainDlg::GetCurrentFace() {
    if (!m_tab) {
        return {};
    }
    std::string face;
    if (m_tab->currentIndex() == 1) {
        face = ComposeFace();
    } else {
        for (RecordId id : SelectedRecords()) {
            face += m_library.Text(id);
        }
    }
    UpdateCommandStates(!face.empty());
    return face;
}

void CMainDlg::UpdateCurrentFace() {
    if (!m_tab) {
        return;
    }
    bool hasFace = false;
    if (m_tab->currentIndex() == 1) {
        LayoutPartButtons();
        hasFace = m_builder.HasFace();
    } else {
        hasFace = SelectedCount() > 0;  // texts are never empty
    }
    UpdateCommandStates(hasFace);
}

void CMainDlg::UpdateCommandStates(bool hasFace) {
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
    m_btnCopy->setEnabled(hasFace);
}

void CMainDlg::OnFaceSelectionChanged() {
    if (m_tab && m_tab->currentIndex() == 0) {
        UpdateCurrentFace();
    }
}

void CMainDlg::OnFaceDoubleClicked() {
    EnsureLoaded();
    if (SelectedCount() > 0) {
        OnOK();
    }
}

void CMainDlg::OnOK() {
    const std::string face = GetCurrentFace();
    if (!face.empty()) {
        const bool composed = m_tab->currentIndex() == 1;
        QGuiApplication::clipboard()->setText(
            ToQString(face, composed ? m_builder.GetCharset() : m_library.GetCharset()));
    }
}

void CMainDlg::SelectFaceRow(const std::string& text) {
    if (const auto id = m_library.FindRecord(text)) {
        const int row = m_faceModel->RowOf(*id);
        if (row >= 0) {
            m_lstFace->SelectRow(row);
            m_lstFace->setFocus();
        }
    }
}

void CMainDlg::OnContextMenu(const QPoint& globalPos, bool fromKeyboard) {
    if (m_tab->currentIndex() != 0) {
        return;
    }
    QPoint at = globalPos;
    if (fromKeyboard) {
        at = mapToGlobal(QPoint(5, 5));
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

    const int selected = SelectedCount();
    if (selected == 0) {
        for (QAction* action : {copy, remove, move, properties}) {
            action->setEnabled(false);
        }
    }
    if (!CanChangeLibrary()) {
        menu.setToolTipsVisible(true);
        for (QAction* action : {remove, move, properties}) {
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

void CMainDlg::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Keyboard) {
        // The menu key outside the list (which opens its own menu): the window's menu, with
        // the about box, as the window system's menu key would open it.
        ShowAboutMenu(m_tbarTop, QPoint(0, m_tbarTop->height()));
        return;
    }
    OnContextMenu(event->globalPos(), false);
}

void CMainDlg::OnDelete() {
    EnsureLoaded();
    const std::vector<int> rows = m_lstFace->SelectedRows();
    if (rows.empty() || !CanChangeLibrary()) {
        return;
    }
    const QString question =
        rows.size() == 1
            ? res::kDeleteOneQuestion.toString().arg(ToDisplayString(
                  m_library.Text(m_faceModel->RecordAt(rows.front())), m_library.GetCharset()))
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
    SaveFaceList();
    UpdateCurrentFace();
}

std::vector<std::string> CMainDlg::SelectedTexts() const {
    std::vector<std::string> texts;
    for (RecordId id : SelectedRecords()) {
        texts.push_back(m_library.Text(id));
    }
    return texts;
}

void CMainDlg::SelectFaceRows(const std::vector<std::string>& texts) {
    std::vector<int> rows;
    for (const std::string& text : texts) {
        if (const auto id = m_library.FindRecord(text)) {
            if (const int row = m_faceModel->RowOf(*id); row >= 0) {
                rows.push_back(row);
            }
        }
    }
    m_lstFace->SelectRows(rows);
}

bool CMainDlg::ShowAllIfEmpty() {
    if (m_faceModel->rowCount() != 0) {
        return false;
    }
    ShowFolder({});
    m_cbxFolder->setCurrentIndex(0);
    return true;
}

}  // namespace mopira
