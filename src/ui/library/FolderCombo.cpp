#include "ui/library/FolderCombo.h"

#include <QStylePainter>
#include <QStyledItemDelegate>

#include "res/StringTable.h"
#include "store/LibraryDocument.h"
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

void CFolderCombo::Follow(const CLibraryDocument& document) {
    const CFaceLibrary& library = document.Library();
    connect(&document, &CLibraryDocument::loaded, this, [this, &library] {
        FillFolders(library);
        SelectAllFaces();
    });
    connect(&document, &CLibraryDocument::reloaded, this,
            [this, &library] { FillFolders(library); });
    connect(&document, &CLibraryDocument::changed, this,
            [this, &library](const LibraryEdit& edit, const EditOutcome& outcome) {
                FollowChange(library, edit, outcome);
            });
}

void CFolderCombo::FollowChange(const CFaceLibrary& library, const LibraryEdit& edit,
                                const EditOutcome& outcome) {
    if (std::holds_alternative<ConvertLibraryToUtf8>(edit) ||
        std::holds_alternative<ImportFaces>(edit)) {
        FillFolders(library);
        return;
    }
    for (const std::string& folder : outcome.emptied) {
        RemoveFolderEntry(folder);
    }
    for (const std::string& folder : library.FolderNames()) {
        AddFolderEntry(folder);
    }
}

void CFolderCombo::FillFolders(const CFaceLibrary& library) {
    // The chosen folder is kept by name, in the library's encoding of now.
    const int chosen = currentIndex();
    std::string folder = SelectedFolder();
    if (!folder.empty() && library.GetCharset() != m_folders.GetCharset()) {
        folder = m_folders.GetCharset().ToUtf8(folder);
    }
    m_folders = CFolderList(library.FolderNames(), library.GetCharset());
    clear();
    addItem(m_allFaces, res::kAllFaces.toString());
    addItem(m_recent, res::kRecentFaces.toString());
    for (std::size_t k = 0; k < m_folders.Size(); ++k) {
        insertItem(static_cast<int>(k) + kFirstFolderItem, m_folder,
                   ToDisplayString(m_folders[k], m_folders.GetCharset()),
                   QByteArray(m_folders[k].data(), static_cast<qsizetype>(m_folders[k].size())));
    }
    if (!IsFolderItem(chosen)) {
        setCurrentIndex(chosen);
    } else if (!SelectFolder(folder)) {
        setCurrentIndex(-1);
    }
}

void CFolderCombo::AddFolderEntry(const std::string& folder) {
    if (const auto index = m_folders.AddFolderEntry(folder)) {
        insertItem(static_cast<int>(*index) + kFirstFolderItem, m_folder,
                   ToDisplayString(folder, m_folders.GetCharset()),
                   QByteArray(folder.data(), static_cast<qsizetype>(folder.size())));
    }
}

void CFolderCombo::RemoveFolderEntry(const std::string& folder) {
    if (const auto index = m_folders.RemoveFolderEntry(folder)) {
        const int item = static_cast<int>(*index) + kFirstFolderItem;
        if (currentIndex() == item) {
            setCurrentIndex(-1);
        }
        removeItem(item);
    }
}

bool CFolderCombo::SelectFolder(const std::string& folder) {
    const auto index = folder.empty() ? std::nullopt : m_folders.IndexOf(folder);
    if (!index) {
        return false;
    }
    setCurrentIndex(static_cast<int>(*index) + kFirstFolderItem);
    return true;
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
