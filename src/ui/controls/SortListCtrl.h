#pragma once

#include <QWidget>
#include <vector>

class QAbstractItemModel;
class QAbstractItemView;
class QItemSelectionModel;
class QLabel;
class QListView;
class QStackedLayout;
class QTableView;

namespace mopira {

// A list of rows shown in details (columns with a header) or as a list (the first column
// only, top to bottom, wrapping). Both views share one model and one selection. A left click
// on a column header sorts by that column, ascending; a second click on the same header
// reverses the order. The model sorts itself (QAbstractItemModel::sort) and moves the
// selection with the rows.
class CSortListCtrl : public QWidget {
    Q_OBJECT

public:
    explicit CSortListCtrl(QWidget* parent = nullptr);

    void SetModel(QAbstractItemModel* model);
    void SetColumnWidths(const std::vector<int>& widths);
    int ColumnWidth(int column) const;
    void SetListFont(const QFont& font);

    // Details (true) or list view (false); rows and selection stay.
    void SetListView(bool details);
    bool IsDetailsView() const;

    void SortByColumn(int column, bool ascending);
    void Resort();
    int SortColumn() const { return m_nSortColumn; }
    bool SortAscending() const { return m_bSortAscending; }

    // Selected rows, top to bottom.
    std::vector<int> SelectedRows() const;
    int SelectedCount() const;
    // Selects only this row, makes it current and scrolls it into view.
    void SelectRow(int row);
    // Selects exactly these rows (those in range), the first of them current and in view;
    // when none is in range, the first row.
    void SelectRows(const std::vector<int>& rows);
    void ClearSelection();

    QAbstractItemView* CurrentView() const;
    // Where the list's menu opens from the keyboard: under the current row, or at the top
    // left of the rows when there is none (global).
    QPoint KeyboardMenuPos() const;
    // A line shown over the empty list (while there is nothing to show yet); none when empty.
    void SetPlaceholderText(const QString& text);
    QString PlaceholderText() const;
    QTableView* DetailsView() const { return m_details; }
    QListView* ListView() const { return m_list; }
    QItemSelectionModel* SelectionModel() const;

signals:
    void selectionChanged();
    // A double-click on a row (which the click has selected).
    void rowDoubleClicked();
    // The context-menu key or a right click in the list, at a global position.
    void contextMenuRequested(const QPoint& globalPos, bool fromKeyboard);

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Context-menu events of the views and the header arrive here unhandled.
    void contextMenuEvent(QContextMenuEvent* event) override;
    // The views pass on the keys they do not use, Shift+F10 among them.
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnHeaderClicked(int column);
    // Every row of the details is as high as the first one would be.
    void FitRowHeight();
    // Puts the placeholder over the visible view's rows.
    void PlacePlaceholder();
    // A list with rows keeps one selected and current, so that Enter always has something to
    // copy: after a refill, a removal or when the list takes the focus. `near` is the row
    // chosen when none is selected.
    void KeepSelection(int near);

    QTableView* m_details;
    int m_nRowHeight = 0;
    QListView* m_list;
    QStackedLayout* m_stack;
    QLabel* m_placeholder;
    int m_nSortColumn = -1;
    bool m_bSortAscending = true;
};

}  // namespace mopira
