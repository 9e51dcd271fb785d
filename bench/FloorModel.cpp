#include "FloorModel.h"

#include "core/text/Charset.h"

namespace mopira::bench {

CFloorModel::CFloorModel(std::string bytes, QObject* parent)
    : QAbstractTableModel(parent),
      m_bytes(std::move(bytes)),
      m_rows(RowsByText(SplitLines(m_bytes))) {}

int CFloorModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CFloorModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant CFloorModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) {
        return {};
    }
    const FloorRow& row = m_rows[static_cast<std::size_t>(index.row())];
    const std::u16string text = Cp932::ToUtf16(index.column() == 0 ? row.text : row.folder);
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace mopira::bench
