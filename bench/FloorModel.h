#pragma once

#include <QAbstractTableModel>
#include <string>
#include <vector>

#include "FloorData.h"

namespace mopira::bench {

// The least model of a library a tree view can show: the file's bytes, split and sorted by
// text, two columns (text and folder) decoded only for the rows on screen.
class CFloorModel : public QAbstractTableModel {
public:
    explicit CFloorModel(std::string bytes, QObject* parent = nullptr);

    const std::string& Bytes() const { return m_bytes; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::string m_bytes;
    std::vector<FloorRow> m_rows;  // views into m_bytes
};

}  // namespace mopira::bench
