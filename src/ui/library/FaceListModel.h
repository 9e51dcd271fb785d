#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

#include "core/library/FaceLibrary.h"
#include "core/library/LibraryEdit.h"

namespace mopira {

class CLibraryDocument;

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
    // Keeps the rows in step with the document's changes: rows of removed records go, and so
    // do rows whose record left the folder the rows were chosen from; the others show their
    // record as it is now, each at its place. A reload empties the rows: their ids are void.
    void Follow(const CLibraryDocument& document);
    // Replaces all rows at once: the records of `folder`, or any records when it is empty.
    void Reset(std::vector<RecordId> rows, std::string folder = {});
    // Replaces all rows with these texts (bytes in `charset`) in this order: the library's
    // record of each where it has one, else the text alone.
    void ResetTexts(const std::vector<std::string>& texts, Charset charset);
    bool IsFixedOrder() const { return m_bFixedOrder; }

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
    // The texts of these rows, and the rows that show these texts (those shown).
    std::vector<std::string> TextsAt(const std::vector<int>& rows) const;
    std::vector<int> RowsOfTexts(const std::vector<std::string>& texts) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Orders the rows by the column's texts in character-value order; persistent indexes,
    // and with them the selection and the current row, travel with their rows.
    void sort(int column, Qt::SortOrder order) override;

private:
    void FollowChange(const LibraryEdit& edit);
    // Removes the given rows (ascending, no duplicates).
    void RemoveRows(const std::vector<int>& rows);

    // Rows of texts alone carry this bit and the index of their text.
    static constexpr RecordId kTextOnly = RecordId(1) << 31;
    static bool IsTextOnly(RecordId id) { return (id & kTextOnly) != 0; }

    const CFaceLibrary& m_library;
    std::vector<RecordId> m_rows;
    std::vector<std::string> m_texts;
    Charset m_textsCharset;
    // The folder the rows were chosen from; empty when any folder goes.
    std::string m_strFolder;
    bool m_bFixedOrder = false;
    QStringList m_headers;
};

}  // namespace mopira
