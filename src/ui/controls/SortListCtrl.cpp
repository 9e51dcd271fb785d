#include "ui/controls/SortListCtrl.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QScrollBar>
#include <QStackedLayout>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <algorithm>

namespace mopira {

namespace {

// A table moves by cell; the details view is a list of rows, moved through as one: Home and
// End go to the first and the last row, and Left and Right scroll the columns into view.
class CRowTableView : public QTableView {
public:
    using QTableView::QTableView;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override {
        switch (action) {
            case MoveHome:
            case MoveEnd:
                return QTableView::moveCursor(action, modifiers | Qt::ControlModifier);
            case MoveLeft:
            case MoveRight: {
                QScrollBar* bar = horizontalScrollBar();
                bar->triggerAction(action == MoveLeft ? QAbstractSlider::SliderSingleStepSub
                                                      : QAbstractSlider::SliderSingleStepAdd);
                return currentIndex();
            }
            default:
                return QTableView::moveCursor(action, modifiers);
        }
    }
};

}  // namespace

CSortListCtrl::CSortListCtrl(QWidget* parent)
    : QWidget(parent),
      m_details(new CRowTableView(this)),
      m_list(new QListView(this)),
      m_stack(new QStackedLayout(this)),
      m_placeholder(new QLabel(this)) {
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->addWidget(m_details);
    m_stack->addWidget(m_list);

    // A library can hold a million rows: every row is as high as the first, and the details
    // are a table, which lays out no row by row when the rows change (a tree does: it would
    // hold the window for tens of milliseconds after every change).
    m_details->verticalHeader()->hide();
    m_details->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_details->setShowGrid(false);
    m_details->setWordWrap(false);
    m_details->setTabKeyNavigation(false);
    m_details->setCornerButtonEnabled(false);
    m_details->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_details->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_details->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_details->setSortingEnabled(false);
    QHeaderView* header = m_details->horizontalHeader();
    header->setStretchLastSection(false);
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setSortIndicatorShown(false);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(header, &QHeaderView::sectionClicked, this, &CSortListCtrl::OnHeaderClicked);

    m_list->setViewMode(QListView::ListMode);
    m_list->setFlow(QListView::TopToBottom);
    m_list->setWrapping(true);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setMovement(QListView::Static);

    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(m_details), static_cast<QAbstractItemView*>(m_list)}) {
        connect(view, &QAbstractItemView::doubleClicked, this, &CSortListCtrl::rowDoubleClicked);
        view->installEventFilter(this);
    }
    setFocusProxy(m_details);

    m_placeholder->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_placeholder->setMargin(4);
    m_placeholder->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_placeholder->setForegroundRole(QPalette::PlaceholderText);
    m_placeholder->hide();
}

void CSortListCtrl::SetPlaceholderText(const QString& text) {
    m_placeholder->setText(text);
    m_placeholder->setVisible(!text.isEmpty());
    PlacePlaceholder();
}

QString CSortListCtrl::PlaceholderText() const {
    return m_placeholder->text();
}

void CSortListCtrl::PlacePlaceholder() {
    if (m_placeholder->isHidden()) {
        return;
    }
    const QWidget* viewport = CurrentView()->viewport();
    m_placeholder->setGeometry(QRect(viewport->mapTo(this, QPoint()), viewport->size()));
    m_placeholder->raise();
}

void CSortListCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlacePlaceholder();
}

void CSortListCtrl::SetModel(QAbstractItemModel* model) {
    m_details->setModel(model);
    connect(model, &QAbstractItemModel::modelReset, this, &CSortListCtrl::FitRowHeight);
    connect(model, &QAbstractItemModel::rowsInserted, this, &CSortListCtrl::FitRowHeight);
    m_list->setModel(model);
    QItemSelectionModel* own = m_list->selectionModel();
    m_list->setSelectionModel(m_details->selectionModel());
    delete own;
    connect(m_details->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CSortListCtrl::selectionChanged);
    connect(m_details->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CSortListCtrl::selectionChanged);
    // After both views have followed the change: a view's reset empties the selection.
    connect(model, &QAbstractItemModel::modelReset, this, [this] { KeepSelection(0); });
    connect(model, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int first, int) { KeepSelection(first); });
}

void CSortListCtrl::FitRowHeight() {
    // The height of the first row, as the delegate draws it, is every row's.
    if (m_nRowHeight > 0 || !m_details->model() || m_details->model()->rowCount() == 0) {
        return;
    }
    const QAbstractItemModel* model = m_details->model();
    QStyleOptionViewItem option;
    option.initFrom(m_details);
    option.font = m_details->font();
    option.fontMetrics = QFontMetrics(option.font);
    for (int column = 0; column < model->columnCount(); ++column) {
        m_nRowHeight =
            std::max(m_nRowHeight,
                     m_details->itemDelegate()->sizeHint(option, model->index(0, column)).height());
    }
    m_details->verticalHeader()->setMinimumSectionSize(1);
    m_details->verticalHeader()->setDefaultSectionSize(m_nRowHeight);
}

void CSortListCtrl::SetColumnWidths(const std::vector<int>& widths) {
    for (std::size_t column = 0; column < widths.size(); ++column) {
        m_details->horizontalHeader()->resizeSection(static_cast<int>(column), widths[column]);
    }
}

int CSortListCtrl::ColumnWidth(int column) const {
    return m_details->horizontalHeader()->sectionSize(column);
}

void CSortListCtrl::SetListFont(const QFont& font) {
    m_details->setFont(font);
    m_list->setFont(font);
    // The header keeps the window's font, as column titles do.
    m_details->horizontalHeader()->setFont(this->font());
    m_nRowHeight = 0;
    FitRowHeight();
}

void CSortListCtrl::SetListView(bool details) {
    QAbstractItemView* from = CurrentView();
    QAbstractItemView* to = details ? static_cast<QAbstractItemView*>(m_details) : m_list;
    if (from == to) {
        return;
    }
    const bool hadFocus = from->hasFocus();
    m_stack->setCurrentWidget(to);
    PlacePlaceholder();
    setFocusProxy(to);
    if (to->currentIndex().isValid()) {
        to->scrollTo(to->currentIndex());
    }
    if (hadFocus) {
        to->setFocus();
    }
}

bool CSortListCtrl::IsDetailsView() const {
    return m_stack->currentWidget() == m_details;
}

QAbstractItemView* CSortListCtrl::CurrentView() const {
    return static_cast<QAbstractItemView*>(m_stack->currentWidget());
}

QItemSelectionModel* CSortListCtrl::SelectionModel() const {
    return m_details->selectionModel();
}

void CSortListCtrl::SortByColumn(int column, bool ascending) {
    m_nSortColumn = column;
    m_bSortAscending = ascending;
    if (QAbstractItemModel* model = m_details->model()) {
        model->sort(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    }
}

void CSortListCtrl::Resort() {
    SortByColumn(m_nSortColumn, m_bSortAscending);
}

void CSortListCtrl::OnHeaderClicked(int column) {
    m_bSortAscending = column != m_nSortColumn || !m_bSortAscending;
    m_nSortColumn = column;
    Resort();
}

std::vector<int> CSortListCtrl::SelectedRows() const {
    std::vector<int> rows;
    if (const QItemSelectionModel* selection = SelectionModel()) {
        for (const QItemSelectionRange& range : selection->selection()) {
            for (int row = range.top(); row <= range.bottom(); ++row) {
                rows.push_back(row);
            }
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int CSortListCtrl::SelectedCount() const {
    return static_cast<int>(SelectedRows().size());
}

void CSortListCtrl::SelectRow(int row) {
    QAbstractItemModel* model = m_details->model();
    if (!model || row < 0 || row >= model->rowCount()) {
        return;
    }
    const QModelIndex index = model->index(row, 0);
    SelectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    CurrentView()->scrollTo(index);
}

void CSortListCtrl::SelectRows(const std::vector<int>& rows) {
    QAbstractItemModel* model = m_details->model();
    if (!model) {
        return;
    }
    QItemSelection selection;
    int first = -1;
    for (int row : rows) {
        if (row >= 0 && row < model->rowCount()) {
            selection.select(model->index(row, 0), model->index(row, model->columnCount() - 1));
            first = first < 0 ? row : std::min(first, row);
        }
    }
    if (first < 0) {
        SelectionModel()->clearSelection();
        KeepSelection(0);
        return;
    }
    const QModelIndex current = model->index(first, 0);
    SelectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    SelectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    CurrentView()->scrollTo(current);
}

void CSortListCtrl::ClearSelection() {
    SelectionModel()->clearSelection();
}

void CSortListCtrl::KeepSelection(int near) {
    const QAbstractItemModel* model = m_details->model();
    if (!model || model->rowCount() == 0 || SelectionModel()->hasSelection()) {
        return;
    }
    SelectRow(std::clamp(near, 0, model->rowCount() - 1));
}

QPoint CSortListCtrl::KeyboardMenuPos() const {
    const QAbstractItemView* view = CurrentView();
    const QWidget* viewport = view->viewport();
    const QRect row = view->visualRect(view->currentIndex()).intersected(viewport->rect());
    // Beside the row as a right-click there would open it, never beyond the list.
    return viewport->mapToGlobal(row.isValid() ? QPoint(row.left() + row.height() / 2, row.bottom())
                                               : QPoint());
}

bool CSortListCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && watched == CurrentView()) {
        const QModelIndex current = CurrentView()->currentIndex();
        KeepSelection(current.isValid() ? current.row() : 0);
    }
    return QWidget::eventFilter(watched, event);
}

void CSortListCtrl::contextMenuEvent(QContextMenuEvent* event) {
    const bool fromKeyboard = event->reason() == QContextMenuEvent::Keyboard;
    emit contextMenuRequested(fromKeyboard ? KeyboardMenuPos() : event->globalPos(), fromKeyboard);
    event->accept();
}

void CSortListCtrl::keyPressEvent(QKeyEvent* event) {
    // The platform turns the menu key into a context-menu event (with its key press), but not
    // Shift+F10, the menu key of keyboards that lack one.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        emit contextMenuRequested(KeyboardMenuPos(), true);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace mopira
