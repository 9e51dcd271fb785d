#pragma once

#include <QTreeWidget>
#include <string>

#include "ui/library/LibraryView.h"

namespace mopira {

class CNewFolderDlg;

// The folder picker of the add, properties and move dialogs: "すべての顔文字" as the root and
// the library's folders beneath it, in the folder collation, joined by dotted lines. Nodes
// carry their folder's own bytes, so a name is never encoded back from what is shown. A folder
// made with AddNewFolderNode lives only here until an emoticon is filed in it. The chosen
// node stays chosen until the user chooses another.
class CFolderTree : public QTreeWidget {
    Q_OBJECT

public:
    // `newFolderDlg` belongs to the dialog of this tree; the tree tells it the taken names.
    CFolderTree(const LibraryView& view, CNewFolderDlg& newFolderDlg, QWidget* parent);

    // Fills the tree from the main window's folders and selects `preselect`, or the root
    // when no folder has that name (an empty one included).
    void FillFolderTree(const std::string& preselect);
    // Asks for a new folder's name and adds and selects its node.
    void AddNewFolderNode();

    // When the library became UTF-8 while the tree showed, the nodes' folders, new ones among
    // them, take their UTF-8 bytes.
    void FollowCharset();

    // The selected node's folder; empty for the root and when no node is selected.
    std::string SelectedFolder() const;
    QTreeWidgetItem* Root() const { return m_root; }
    QTreeWidgetItem* FolderNode(const std::string& folder) const;
    // The reading given to a folder made in the new-folder dialog; empty for others.
    QString NewFolderReading(const std::string& folder) const;

protected:
    void drawBranches(QPainter* painter, const QRect& rect,
                      const QModelIndex& index) const override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    QTreeWidgetItem* NewFolderNode(const std::string& folder) const;
    // Where a folder node of this name goes among the root's children.
    int SortedPosition(const std::string& folder) const;
    static std::string FolderOf(const QTreeWidgetItem* node);
    // The selected folder shows open.
    void OnSelectionChanged();

    const LibraryView m_view;
    // The encoding of the nodes' folders.
    Charset m_charset;
    CNewFolderDlg& m_newFolderDlg;
    QTreeWidgetItem* m_root = nullptr;
    QTreeWidgetItem* m_pOpenNode = nullptr;
};

}  // namespace mopira
