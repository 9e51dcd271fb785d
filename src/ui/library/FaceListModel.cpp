#include "ui/library/FaceListModel.h"

#include <algorithm>
#include <unordered_map>

#include "core/text/Charset.h"
#include "store/LibraryDocument.h"
#include "ui/platform/TextConvert.h"

namespace mopira {

namespace {

// Removing rows block by block keeps the view's position; past this many blocks one reset
// is cheaper than the view's bookkeeping for each.
constexpr std::size_t kMaxRemovedBlocks = 64;

}  // namespace

CFaceListModel::CFaceListModel(const CFaceLibrary& library, QObject* parent)
    : QAbstractTableModel(parent), m_library(library) {}

void CFaceListModel::Follow(const CLibraryDocument& document) {
    connect(&document, &CLibraryDocument::changed, this, &CFaceListModel::FollowChange);
    connect(&document, &CLibraryDocument::aboutToReload, this, [this] { Reset({}); });
}

void CFaceListModel::Reset(std::vector<RecordId> rows, std::string folder) {
    beginResetModel();
    m_rows = std::move(rows);
    m_texts.clear();
    m_strFolder = std::move(folder);
    m_bFixedOrder = false;
    endResetModel();
}

void CFaceListModel::FollowChange(const LibraryEdit& edit) {
    if (std::holds_alternative<ConvertLibraryToUtf8>(edit)) {
        // Ids stay; the texts alone, unless they were given anew in UTF-8 already, and the
        // folder take their new bytes.
        if (m_textsCharset != m_library.GetCharset()) {
            for (std::string& text : m_texts) {
                text = m_textsCharset.ToUtf8(text);
            }
            m_textsCharset = m_library.GetCharset();
        }
        m_strFolder = Charset().ToUtf8(m_strFolder);
    } else {
        std::vector<int> gone;
        for (std::size_t row = 0; row < m_rows.size(); ++row) {
            const RecordId id = m_rows[row];
            if (!IsTextOnly(id) &&
                (!m_library.IsLive(id) ||
                 (!m_strFolder.empty() && m_library.Folder(id) != m_strFolder))) {
                gone.push_back(static_cast<int>(row));
            }
        }
        RemoveRows(gone);
    }
    if (!m_rows.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, 1));
    }
}

void CFaceListModel::ResetTexts(const std::vector<std::string>& texts, Charset charset) {
    beginResetModel();
    m_rows.clear();
    m_texts.clear();
    m_textsCharset = charset;
    m_strFolder.clear();
    for (const std::string& text : texts) {
        if (const auto id = m_library.FindRecord(text)) {
            m_rows.push_back(*id);
        } else {
            m_rows.push_back(kTextOnly | static_cast<RecordId>(m_texts.size()));
            m_texts.push_back(text);
        }
    }
    m_bFixedOrder = true;
    endResetModel();
}

std::string_view CFaceListModel::TextAt(int row) const {
    const RecordId id = RecordAt(row);
    return IsTextOnly(id) ? std::string_view(m_texts[id & ~kTextOnly]) : m_library.Text(id);
}

void CFaceListModel::RemoveRows(const std::vector<int>& rows) {
    if (rows.empty()) {
        return;
    }
    std::vector<std::pair<int, int>> blocks;  // first and last row, top to bottom
    for (int row : rows) {
        if (!blocks.empty() && blocks.back().second + 1 == row) {
            blocks.back().second = row;
        } else {
            blocks.emplace_back(row, row);
        }
    }
    if (blocks.size() > kMaxRemovedBlocks) {
        std::vector<RecordId> kept;
        kept.reserve(m_rows.size() - rows.size());
        std::size_t next = 0;
        for (std::size_t row = 0; row < m_rows.size(); ++row) {
            if (next < rows.size() && rows[next] == static_cast<int>(row)) {
                ++next;
            } else {
                kept.push_back(m_rows[row]);
            }
        }
        // Rows of texts alone keep their texts.
        beginResetModel();
        m_rows = std::move(kept);
        endResetModel();
        return;
    }
    for (auto block = blocks.rbegin(); block != blocks.rend(); ++block) {
        beginRemoveRows({}, block->first, block->second);
        m_rows.erase(m_rows.begin() + block->first, m_rows.begin() + block->second + 1);
        endRemoveRows();
    }
}

int CFaceListModel::RowOf(RecordId id) const {
    const auto found = std::find(m_rows.begin(), m_rows.end(), id);
    return found == m_rows.end() ? -1 : static_cast<int>(found - m_rows.begin());
}

std::vector<std::string> CFaceListModel::TextsAt(const std::vector<int>& rows) const {
    std::vector<std::string> texts;
    texts.reserve(rows.size());
    for (int row : rows) {
        texts.emplace_back(TextAt(row));
    }
    return texts;
}

std::vector<int> CFaceListModel::RowsOfTexts(const std::vector<std::string>& texts) const {
    std::vector<int> rows;
    for (const std::string& text : texts) {
        if (const int row = RowOfText(text); row >= 0) {
            rows.push_back(row);
        }
    }
    return rows;
}

int CFaceListModel::RowOfText(std::string_view text) const {
    if (m_texts.empty()) {
        const auto id = m_library.FindRecord(text);
        return id ? RowOf(*id) : -1;
    }
    // A short list of texts in an order of their own.
    for (int row = 0; row < rowCount(); ++row) {
        if (TextAt(row) == text) {
            return row;
        }
    }
    return -1;
}

int CFaceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CFaceListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant CFaceListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() ||
        (role != Qt::DisplayRole && role != Qt::AccessibleTextRole && role != Qt::ToolTipRole)) {
        return {};
    }
    const RecordId id = RecordAt(index.row());
    if (IsTextOnly(id)) {
        return index.column() == 0 ? ToDisplayString(TextAt(index.row()), m_library.GetCharset())
                                   : QString();
    }
    return ToDisplayString(index.column() == 0 ? m_library.Text(id) : m_library.Folder(id),
                           m_library.GetCharset());
}

QVariant CFaceListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < m_headers.size()) {
        return m_headers[section];
    }
    return {};
}

void CFaceListModel::sort(int column, Qt::SortOrder order) {
    if (m_bFixedOrder) {
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Rows kept by the views (the current one, the ends of selections) travel with their
    // records; there are few of them.
    const QModelIndexList from = persistentIndexList();
    std::vector<RecordId> kept;
    kept.reserve(static_cast<std::size_t>(from.size()));
    std::unordered_map<RecordId, int> newRowOf;
    for (const QModelIndex& old : from) {
        kept.push_back(RecordAt(old.row()));
        newRowOf.emplace(kept.back(), -1);
    }
    const bool ascending = order == Qt::AscendingOrder;
    if (column == 0) {
        m_library.SortRecordsByText(m_rows, ascending);
    } else {
        m_library.SortRecordsByFolder(m_rows, ascending);
    }
    if (!newRowOf.empty()) {
        for (std::size_t row = 0; row < m_rows.size(); ++row) {
            if (const auto found = newRowOf.find(m_rows[row]); found != newRowOf.end()) {
                found->second = static_cast<int>(row);
            }
        }
    }
    QModelIndexList to;
    to.reserve(from.size());
    for (qsizetype k = 0; k < from.size(); ++k) {
        to.append(index(newRowOf.at(kept[static_cast<std::size_t>(k)]), from[k].column()));
    }
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace mopira
