// The library commands of the main window that open a dialog: add, properties and move.
#include <QLineEdit>
#include <algorithm>

#include "ui/app/MainDlg.h"
#include "ui/app/ModalSeam.h"
#include "ui/app/TextConvert.h"
#include "ui/controls/DragTabCtrl.h"
#include "ui/controls/SortListCtrl.h"
#include "ui/library/AddFaceDlg.h"
#include "ui/library/FaceListModel.h"
#include "ui/library/FieldText.h"
#include "ui/library/FolderCombo.h"
#include "ui/library/MoveDlg.h"
#include "ui/library/PropertyDlg.h"

namespace mopira {

void CMainDlg::OnNewFace() {
    EnsureLoaded();
    if (!CanChangeLibrary()) {
        return;
    }
    // On the create tab the composed face is the one to add.
    std::string composed = m_tab->currentIndex() == 1 ? GetCurrentFace() : std::string();
    if (!composed.empty() && m_builder.GetCharset() != m_library.GetCharset()) {
        // Parts and library in different encodings: the face goes over as characters.
        const auto face = TakeFieldText(this, ToQString(composed, m_builder.GetCharset()), {},
                                        m_library.GetCharset());
        if (!face) {
            return;
        }
        composed = *face;
    }
    CAddFaceDlg dialog(*this, composed, SelectedFolder());
    if (RunModal(dialog) != QDialog::Accepted) {
        return;
    }
    const std::string& face = dialog.Face();
    const std::string& folder = dialog.Folder();
    if (face.empty() || folder.empty() || m_library.FindRecord(face)) {
        return;
    }
    m_document.Change(AddFaces{{FaceEntry{face, folder}}});
    AddFolderEntry(folder);
    const bool folderView = m_cbxFolder->currentIndex() != 0;
    m_cbxFolder->setCurrentIndex(folderView ? static_cast<int>(*m_folders.IndexOf(folder)) + 1 : 0);
    if (m_bSearchActivated) {
        // The search starts afresh. A folder view hides the box; its old text must not
        // replace the folder's rows with everything.
        const QSignalBlocker blocker(m_edtFind);
        m_edtFind->clear();
    }
    // An empty text search lists everything, like "すべての顔文字".
    ShowFolder(folderView && m_nFind == 0 ? folder : std::string());
    SelectFaceRow(face);
    SaveFaceList();
    UpdateCurrentFace();
}

void CMainDlg::OnProperties() {
    EnsureLoaded();
    const std::vector<int> rows = m_lstFace->SelectedRows();
    if (rows.empty() || !CanChangeLibrary()) {
        return;
    }
    const int row = rows.front();
    const RecordId id = m_faceModel->RecordAt(row);
    const std::string oldText = m_library.Text(id);
    const std::string oldFolder = m_library.Folder(id);
    CPropertyDlg dialog(*this, id);
    if (RunModal(dialog) != QDialog::Accepted) {
        return;
    }
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
        if (m_cbxFolder->currentIndex() != 0) {
            m_cbxFolder->setCurrentIndex(0);
            ShowFolder({});
        }
    }
    if (folderChanged && m_cbxFolder->currentIndex() != 0) {
        // It has left the folder shown.
        m_faceModel->RemoveRows({row});
    }
    if (m_nFind == 1) {
        SearchByText();
    }
    SelectFaceRow(face);
    SaveFaceList();
    UpdateCurrentFace();
}

void CMainDlg::OnMove() {
    EnsureLoaded();
    const std::vector<int> rows = m_lstFace->SelectedRows();
    if (rows.empty() || !CanChangeLibrary()) {
        return;
    }
    CMoveDlg dialog(*this, SelectedFolder());
    if (RunModal(dialog) != QDialog::Accepted) {
        return;
    }
    const std::string& folder = dialog.Folder();
    std::vector<int> movedRows;
    MoveFaces move{{}, folder};
    for (int row : rows) {
        const RecordId id = m_faceModel->RecordAt(row);
        // An emoticon already in the folder stays as it is.
        if (m_library.Folder(id) != folder) {
            movedRows.push_back(row);
            move.texts.push_back(m_library.Text(id));
        }
    }
    const std::vector<std::string> emptied = m_document.Change(move).emptied;
    if (m_cbxFolder->currentIndex() != 0) {
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
    SaveFaceList();
    UpdateCurrentFace();
}

}  // namespace mopira
