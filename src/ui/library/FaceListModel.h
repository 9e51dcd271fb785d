#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

#include "core/library/FaceLibrary.h"

namespace mopira {

// The rows the face list shows: records of the library, column 0 the emoticon, column 1 its
// folder. It holds record ids only; texts are read from the library and decoded when a row
// is drawn, so a refill of any size is one reset and no copying of text.
class CFaceListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    CFaceListModel(const CFaceLibrary& library, QObject* parent = nullptr);

    void SetHeaders(const QStringList& headers) { m_headers = headers; }
    // Replaces all rows at once.
    void Reset(std::vector<RecordId> rows);
    // Removes the given rows (any order, no duplicates).
    void RemoveRows(std::vector<int> rows);
    // The row's record changed its text or folder.
    void RefreshRow(int row);
    // The records of these rows (top to bottom) changed; one notice covers them all.
    void RefreshRows(const std::vector<int>& rows);

    const std::vector<RecordId>& Rows() const { return m_rows; }
    RecordId RecordAt(int row) const { return m_rows[static_cast<std::size_t>(row)]; }
    // The row showing the record, or -1.
    int RowOf(RecordId id) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Orders the rows by the column's texts in character-value order; persistent indexes,
    // and with them the selection and the current row, travel with their rows.
    void sort(int column, Qt::SortOrder order) override;

private:
    const CFaceLibrary& m_library;
    std::vector<RecordId> m_rows;
    QStringList m_headers;
};

}  // namespace mopira
