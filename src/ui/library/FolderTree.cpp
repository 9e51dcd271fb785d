#include "ui/library/FolderTree.h"

#include <QHeaderView>
#include <QPainter>

#include "core/text/Charset.h"
#include "res/StringTable.h"
#include "ui/controls/DottedLine.h"
#include "ui/library/FieldText.h"
#include "ui/library/NewFolderDlg.h"
#include "ui/platform/ModalSeam.h"
#include "ui/platform/TextConvert.h"

namespace mopira {

namespace {

constexpr int kFolderRole = Qt::UserRole;
// What the new-folder dialog gave as the reading of a folder it made.
constexpr int kReadingRole = Qt::UserRole + 1;

}  // namespace

CFolderTree::CFolderTree(const LibraryView& view, CNewFolderDlg& newFolderDlg, QWidget* parent)
    : QTreeWidget(parent), m_view(view), m_newFolderDlg(newFolderDlg) {
    setObjectName(QStringLiteral("m_tree"));
    setColumnCount(1);
    header()->hide();
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(false);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformRowHeights(true);
    setIconSize(QSize(16, 16));
    connect(this, &QTreeWidget::itemSelectionChanged, this, &CFolderTree::OnSelectionChanged);
}

std::string CFolderTree::FolderOf(const QTreeWidgetItem* node) {
    if (!node) {
        return {};
    }
    return node->data(0, kFolderRole).toByteArray().toStdString();
}

QTreeWidgetItem* CFolderTree::NewFolderNode(const std::string& folder) const {
    auto* node =
        new QTreeWidgetItem(QStringList{ToDisplayString(folder, m_view.library.GetCharset())});
    node->setIcon(0, m_view.images.folder);
    node->setData(0, kFolderRole, QByteArray(folder.data(), static_cast<qsizetype>(folder.size())));
    return node;
}

int CFolderTree::SortedPosition(const std::string& folder) const {
    int low = 0;
    int high = m_root->childCount();
    while (low < high) {
        const int middle = (low + high) / 2;
        if (m_view.library.GetCharset().CompareFolderNames(FolderOf(m_root->child(middle)),
                                                           folder) < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

void CFolderTree::FillFolderTree(const std::string& preselect) {
    m_pOpenNode = nullptr;
    m_root = nullptr;
    clear();
    m_charset = m_view.library.GetCharset();
    m_newFolderDlg.SetCharset(m_charset);
    m_root = new QTreeWidgetItem(QStringList{res::kAllFaces.toString()});
    m_root->setIcon(0, m_view.images.allFaces);
    addTopLevelItem(m_root);

    // The folder list is in the collation already.
    const CFolderList& folders = m_view.folders;
    QList<QTreeWidgetItem*> nodes;
    nodes.reserve(static_cast<qsizetype>(folders.Size()));
    for (const std::string& folder : folders.Names()) {
        nodes.append(NewFolderNode(folder));
        m_newFolderDlg.AddFolderName(folder);
    }
    m_root->addChildren(nodes);
    m_root->setExpanded(true);

    QTreeWidgetItem* selected = m_root;
    if (!preselect.empty()) {
        if (const auto index = folders.IndexOf(preselect)) {
            selected = m_root->child(static_cast<int>(*index));
        }
    }
    setCurrentItem(selected);
    scrollToItem(selected);
    m_newFolderDlg.AddFolderName(AllFacesName(m_view.library.GetCharset()));
}

void CFolderTree::AddNewFolderNode() {
    m_newFolderDlg.SetName({});
    if (RunModal(m_newFolderDlg) != QDialog::Accepted || !m_root) {
        return;
    }
    // The dialog may have made the library UTF-8, and its name is UTF-8 then.
    FollowCharset();
    const std::string folder = m_newFolderDlg.Name();
    QTreeWidgetItem* node = NewFolderNode(folder);
    node->setData(0, kReadingRole, m_newFolderDlg.Reading());
    m_root->insertChild(SortedPosition(folder), node);
    setCurrentItem(node);
    scrollToItem(node);
    // A second folder of this name is refused while the dialog is open.
    m_newFolderDlg.AddFolderName(folder);
}

QString CFolderTree::NewFolderReading(const std::string& folder) const {
    const QTreeWidgetItem* node = FolderNode(folder);
    return node ? node->data(0, kReadingRole).toString() : QString();
}

void CFolderTree::FollowCharset() {
    const Charset now = m_view.library.GetCharset();
    if (now == m_charset || !m_root) {
        return;
    }
    m_newFolderDlg.ClearFolderNames();
    m_newFolderDlg.SetCharset(now);
    for (int i = 0; i < m_root->childCount(); ++i) {
        QTreeWidgetItem* node = m_root->child(i);
        const std::string folder = m_charset.ToUtf8(FolderOf(node));
        node->setData(0, kFolderRole,
                      QByteArray(folder.data(), static_cast<qsizetype>(folder.size())));
        m_newFolderDlg.AddFolderName(folder);
    }
    m_newFolderDlg.AddFolderName(AllFacesName(now));
    m_charset = now;
}

void CFolderTree::drawBranches(QPainter* painter, const QRect& rect,
                               const QModelIndex& index) const {
    // The tree has lines and lines at the root but no expand buttons: each node's column gets
    // a stub to the node and a line up to the node above it and on to the next sibling, and
    // each ancestor's column a line through when that ancestor has a sibling below. The dots
    // keep one checkerboard over the whole content, so rows drawn after a scroll join up.
    const QPoint origin(-horizontalOffset(), -verticalOffset());
    const QColor color = palette().color(QPalette::Dark);
    const auto vertical = [&](int x, int top, int bottom) {
        DrawDottedLine(*painter, {x, top}, {x, bottom}, origin, color);
    };
    const int indent = indentation();
    const int middleY = rect.top() + rect.height() / 2;
    int column = 0;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) {
        ++column;
    }
    const auto centreX = [&](int level) { return rect.left() + level * indent + indent / 2; };
    const auto hasSiblingBelow = [](const QModelIndex& node) {
        return node.sibling(node.row() + 1, 0).isValid();
    };

    const int x = centreX(column);
    DrawDottedLine(*painter, {x, middleY}, {rect.left() + (column + 1) * indent - 1, middleY},
                   origin, color);
    if (index.parent().isValid() || index.row() > 0) {
        vertical(x, rect.top(), middleY);
    }
    if (hasSiblingBelow(index)) {
        vertical(x, middleY, rect.bottom());
    }
    int level = column - 1;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent(), --level) {
        if (hasSiblingBelow(up)) {
            vertical(centreX(level), rect.top(), rect.bottom());
        }
    }
}

QItemSelectionModel::SelectionFlags CFolderTree::selectionCommand(const QModelIndex& index,
                                                                  const QEvent* event) const {
    // A click on blank space, or a Ctrl+click on the chosen node, would leave no folder chosen.
    if (!index.isValid() || selectionModel()->isSelected(index)) {
        return QItemSelectionModel::NoUpdate;
    }
    return QTreeWidget::selectionCommand(index, event);
}

std::string CFolderTree::SelectedFolder() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? std::string() : FolderOf(selected.front());
}

QTreeWidgetItem* CFolderTree::FolderNode(const std::string& folder) const {
    if (!m_root) {
        return nullptr;
    }
    const int at = SortedPosition(folder);
    if (at < m_root->childCount() && FolderOf(m_root->child(at)) == folder) {
        return m_root->child(at);
    }
    return nullptr;
}

void CFolderTree::OnSelectionChanged() {
    if (m_pOpenNode) {
        m_pOpenNode->setIcon(0, m_view.images.folder);
        m_pOpenNode = nullptr;
    }
    const QList<QTreeWidgetItem*> selected = selectedItems();
    if (!selected.isEmpty() && selected.front() != m_root) {
        m_pOpenNode = selected.front();
        m_pOpenNode->setIcon(0, m_view.images.openFolder);
    }
}

}  // namespace mopira
