#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

#include "core/library/FaceLibrary.h"

namespace mopira {

// The rows the face list shows: records of the library, column 0 the emoticon, column 1 its
// folder. It holds record ids only; texts are read from the library and decoded when a row
// is drawn, so a refill of any size is one reset and no copying of text.
//
// A list of texts in an order of their own (the emoticons copied last) may also hold texts
// the library does not: such a row stands for its text alone, with no folder. While such a
// list is shown the order is fixed and sorting does nothing.
class CFaceListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    CFaceListModel(const CFaceLibrary& library, QObject* parent = nullptr);

    void SetHeaders(const QStringList& headers) { m_headers = headers; }
    // Replaces all rows at once.
    void Reset(std::vector<RecordId> rows);
    // Replaces all rows with these texts in this order: the library's record of each where
    // it has one, else the text alone.
    void ResetTexts(const std::vector<std::string>& texts);
    // The library became UTF-8: the texts alone, which were CP932, follow it.
    void ConvertTextsToUtf8();
    bool IsFixedOrder() const { return m_bFixedOrder; }
    // Removes the given rows (any order, no duplicates).
    void RemoveRows(std::vector<int> rows);
    // The row's record changed its text or folder.
    void RefreshRow(int row);
    // The records of these rows (top to bottom) changed; one notice covers them all.
    void RefreshRows(const std::vector<int>& rows);

    const std::vector<RecordId>& Rows() const { return m_rows; }
    // Only for a row that IsRecordRow.
    RecordId RecordAt(int row) const { return m_rows[static_cast<std::size_t>(row)]; }
    bool IsRecordRow(int row) const { return !IsTextOnly(RecordAt(row)); }
    // The row's emoticon, of the library or not.
    std::string_view TextAt(int row) const;
    // The row showing the record, or -1.
    int RowOf(RecordId id) const;
    // The row showing the text, of the library or not, or -1.
    int RowOfText(std::string_view text) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Orders the rows by the column's texts in character-value order; persistent indexes,
    // and with them the selection and the current row, travel with their rows.
    void sort(int column, Qt::SortOrder order) override;

private:
    // Rows of texts alone carry this bit and the index of their text.
    static constexpr RecordId kTextOnly = RecordId(1) << 31;
    static bool IsTextOnly(RecordId id) { return (id & kTextOnly) != 0; }

    const CFaceLibrary& m_library;
    std::vector<RecordId> m_rows;
    std::vector<std::string> m_texts;
    bool m_bFixedOrder = false;
    QStringList m_headers;
};

}  // namespace mopira
