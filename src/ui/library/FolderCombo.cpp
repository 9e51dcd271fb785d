#include "ui/library/FolderCombo.h"

#include <QStylePainter>
#include <QStyledItemDelegate>

#include "res/StringTable.h"
#include "ui/platform/TextConvert.h"

namespace mopira {

namespace {

constexpr int kIndent = 10;  // pixels per level
constexpr int kFolderRole = Qt::UserRole;

// Folders stand one level below the fixed items in the drop-down list.
class CIndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem indented(option);
        if (CFolderCombo::IsFolderItem(index.row())) {
            indented.rect.adjust(kIndent, 0, 0, 0);
        }
        QStyledItemDelegate::paint(painter, indented, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) +
               QSize(CFolderCombo::IsFolderItem(index.row()) ? kIndent : 0, 0);
    }
};

}  // namespace

CFolderCombo::CFolderCombo(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new CIndentDelegate(this));
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMaxVisibleItems(16);
}

void CFolderCombo::SetImages(const QIcon& folder, const QIcon& openFolder, const QIcon& allFaces,
                             const QIcon& recent) {
    m_folder = folder;
    m_openFolder = openFolder;
    m_allFaces = allFaces;
    m_recent = recent;
}

void CFolderCombo::ResetItems() {
    clear();
    addItem(m_allFaces, res::kAllFaces.toString());
    addItem(m_recent, res::kRecentFaces.toString());
}

void CFolderCombo::InsertFolder(int index, const std::string& folder, Charset charset) {
    insertItem(index, m_folder, ToDisplayString(folder, charset),
               QByteArray(folder.data(), static_cast<qsizetype>(folder.size())));
}

void CFolderCombo::RemoveFolder(int index) {
    removeItem(index);
}

std::string CFolderCombo::FolderAt(int index) const {
    if (!IsFolderItem(index) || index >= count()) {
        return {};
    }
    return itemData(index, kFolderRole).toByteArray().toStdString();
}

void CFolderCombo::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    // The chosen folder shows open.
    if (IsFolderItem(currentIndex())) {
        option.currentIcon = m_openFolder;
    }
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

}  // namespace mopira
