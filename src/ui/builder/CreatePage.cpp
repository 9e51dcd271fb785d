#include "ui/builder/CreatePage.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <algorithm>
#include <ctime>
#include <random>

#include "core/app/ControlIds.h"
#include "core/app/PageLayout.h"
#include "res/StringTable.h"
#include "store/DataStore.h"
#include "ui/builder/FaceParts.h"
#include "ui/controls/Emboss.h"
#include "ui/controls/IconButton.h"
#include "ui/platform/DialogUnits.h"
#include "ui/platform/TextConvert.h"

namespace mopira {

namespace {

// How many variations a first start shows at least.
constexpr int kUsefulVariationRows = 5;

// The kinds' check boxes as every palette reads them: styles draw the box's edge a shade off
// the window's colour, which on a dark palette all but vanishes, and an unticked kind
// (気持ち at start) then shows nothing at all. On a dark palette the edge is drawn again in the
// text's colour.
class CCheckListDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (!IsDark(option.palette.color(QPalette::Base))) {
            return;
        }
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        if (!(item.features & QStyleOptionViewItem::HasCheckIndicator)) {
            return;
        }
        const QWidget* view = option.widget;
        const QStyle* style = view ? view->style() : QApplication::style();
        const QRect box = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &item, view);
        painter->save();
        painter->setPen(option.palette.color(QPalette::Text));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(box.adjusted(0, 0, -1, -1));
        painter->restore();
    }
};

}  // namespace

CCreatePage::CCreatePage(const QString& dataDirectory, QWidget* parent) : CPage(parent) {
    CreateControls();
    SetupLists();
    LoadPartTables(dataDirectory);
    ConnectHandlers();
    LayoutPartButtons();
}

// ---------------------------------------------------------------------------------------------
// Construction, settings, layout

void CCreatePage::CreateControls() {
    const CDialogUnits du(font());
    m_lstType = new QListWidget(this);
    PlaceControl(du, m_lstType, "m_lstType", id::kTypeList, 7, 125, 78, 6);
    m_lstVariation = new QTreeWidget(this);
    PlaceControl(du, m_lstVariation, "m_lstVariation", id::kVariationList, 90, 125, 113, 6);

    m_grpFace = new QGroupBox(res::kFaceGroup.toString(), this);
    PlaceControl(du, m_grpFace, "m_grpFace", id::kFaceGroup, 7, 42, 196, 78);

    m_btnRandom = new QPushButton(res::kRandomCaption.toString(), this);
    PlaceControl(du, m_btnRandom, "m_btnRandom", id::kRandomButton, 141, 100, 55, 14);

    m_btnAdd = new CIconButton(this);
    m_btnAdd->setText(res::kAddCaption.toString());
    PlaceControl(du, m_btnAdd, "m_btnAdd", id::kAddButton, 70, 100, 65, 14);
    m_btnAdd->SetIconImage(id::kAddIcon, 16, 16);
    m_btnAdd->SetImagePos(QPoint(4, 3));
    m_btnAdd->SetTextPos(QPoint(23, 4));

    m_parts = new CFaceParts(du, this);
    // Enter presses the button that has the focus; elsewhere it copies, the default.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(true);
    }

    m_btnAdd->setToolTip(res::kAddTip.toString());
    m_btnRandom->setToolTip(res::kRandomTip.toString());
    m_lstType->setAccessibleName(res::kTypeColumn.toString());
    m_lstVariation->setAccessibleName(res::kKindColumn.toString());
}

void CCreatePage::SetupLists() {
    for (QStringView row : {res::kEyeRow, res::kMouthRow, res::kEdgeRow, res::kEmotionRow}) {
        auto* item = new QListWidgetItem(row.toString(), m_lstType);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    for (const PartCategoryInfo& info : AllPartCategories()) {
        m_lstType->item(static_cast<int>(info.category))
            ->setCheckState(m_builder.IsIncluded(info.category) ? Qt::Checked : Qt::Unchecked);
    }
    m_lstType->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lstType->setItemDelegate(new CCheckListDelegate(m_lstType));

    m_lstVariation->setColumnCount(3);
    m_lstVariation->setHeaderLabels({res::kKindColumn.toString(), res::kVariation1Column.toString(),
                                     res::kVariation2Column.toString()});
    m_lstVariation->setColumnWidth(0, m_nTypeWidth);
    m_lstVariation->setColumnWidth(1, m_nValue1Width);
    m_lstVariation->setColumnWidth(2, m_nValue2Width);
    m_lstVariation->header()->setStretchLastSection(false);
    m_lstVariation->header()->setSectionsClickable(false);
    m_lstVariation->setRootIsDecorated(false);
    m_lstVariation->setUniformRowHeights(true);
    m_lstVariation->setAllColumnsShowFocus(true);
    m_lstVariation->setSelectionMode(QAbstractItemView::SingleSelection);

    std::minstd_rand engine(static_cast<unsigned>(std::time(nullptr)));
    m_random = [engine]() mutable { return static_cast<unsigned>(engine()); };
}

void CCreatePage::ConnectHandlers() {
    connect(m_btnAdd, &QPushButton::clicked, this, &CCreatePage::OnAdd);
    connect(m_btnRandom, &QPushButton::clicked, this, &CCreatePage::OnRandom);
    connect(m_lstType, &QListWidget::itemChanged, this, &CCreatePage::OnTypeListItemChanged);
    connect(m_lstType, &QListWidget::itemSelectionChanged, this,
            &CCreatePage::OnTypeListItemChanged);
    connect(m_lstVariation, &QTreeWidget::itemSelectionChanged, this,
            &CCreatePage::OnVariationListItemChanged);
    connect(m_parts, &CFaceParts::partClicked, this, &CCreatePage::OnPartButton);
}

void CCreatePage::LoadPartTables(const QString& dataDirectory) {
    const CDataStore store(dataDirectory);
    for (PartCategory category :
         {PartCategory::Mouth, PartCategory::Eye, PartCategory::Edge, PartCategory::Emotion}) {
        const QString file = QString::fromLatin1(InfoOf(category).fileName);
        m_builder.SetTable(category, LoadPartTable(store.Read(file), category));
    }
}

void CCreatePage::ReadSettings(const Settings& settings) {
    m_nTypeWidth = settings.type;
    m_nValue1Width = settings.value1;
    m_nValue2Width = settings.value2;
    m_lstVariation->setColumnWidth(0, m_nTypeWidth);
    m_lstVariation->setColumnWidth(1, m_nValue1Width);
    m_lstVariation->setColumnWidth(2, m_nValue2Width);
}

void CCreatePage::WriteSettings(Settings& settings) const {
    settings.type = m_lstVariation->columnWidth(0);
    settings.value1 = m_lstVariation->columnWidth(1);
    settings.value2 = m_lstVariation->columnWidth(2);
}

void CCreatePage::ShowPage() {
    show();
}

void CCreatePage::LayoutPage(int width, int height) {
    for (const ControlPlacement& step : mopira::LayoutPage(1, width, height)) {
        switch (step.controlId) {
            case id::kFaceGroup:
                m_grpFace->resize(step.x, step.y);
                LayoutPartButtons();
                break;
            case id::kAddButton:
                m_btnAdd->move(step.x, step.y);
                break;
            case id::kRandomButton:
                m_btnRandom->move(step.x, step.y);
                break;
            case id::kTypeList:
                m_lstType->resize(step.x, step.y);
                break;
            case id::kVariationList:
                m_lstVariation->resize(step.x, step.y);
                break;
            default:
                break;  // the frame's own
        }
    }
}

QSize CCreatePage::UsefulSize() const {
    // The lists are H - 230 high and the variation list W - 185 wide: the four kinds, and the
    // variations' columns with five rows.
    const int frame = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 2;
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int header = m_lstVariation->header()->sizeHint().height();
    const int row = QFontMetrics(m_lstVariation->font()).height() + 4;
    const int columns = m_lstVariation->columnWidth(0) + m_lstVariation->columnWidth(1) +
                        m_lstVariation->columnWidth(2);
    return {185 + columns + frame + scrollBar,
            std::max(230 + header + kUsefulVariationRows * row + frame + scrollBar,
                     230 + static_cast<int>(kPartCategoryCount) * row + frame)};
}

void CCreatePage::SetAddEnabled(bool enabled, const QString& why) {
    m_btnAdd->setEnabled(enabled);
    m_btnAdd->setToolTip(enabled ? res::kAddTip.toString() : why);
}

// ---------------------------------------------------------------------------------------------
// The face

std::string CCreatePage::CurrentFace() {
    const std::string face = ComposeFace();
    UpdateCommandStates(!face.empty());
    return face;
}

void CCreatePage::UpdateCurrentFace() {
    LayoutPartButtons();
    UpdateCommandStates(m_builder.HasFace());
}

Charset CCreatePage::FaceCharset() const {
    return m_builder.GetCharset();
}

void CCreatePage::UpdateCommandStates(bool hasFace) {
    emit currentFaceChanged(hasFace);
}

void CCreatePage::OnAdd() {
    emit addRequested(CurrentFace(), m_builder.GetCharset());
}

void CCreatePage::ShowCategory(PartCategory category) {
    const PartTable& table = m_builder.Table(category);
    {
        const QSignalBlocker blocker(m_lstVariation);
        m_lstVariation->clear();
        QList<QTreeWidgetItem*> items;
        for (std::size_t row = 0; row < table.RowCount(); ++row) {
            items.append(new QTreeWidgetItem(
                QStringList{ToDisplayString(table.Name(row), table.charset),
                            ToDisplayString(table.Variation(row, 1), table.charset),
                            ToDisplayString(table.Variation(row, 2), table.charset)}));
        }
        m_lstVariation->addTopLevelItems(items);
    }
    m_builder.SetShownCategory(category);
    m_lstType->setCurrentRow(static_cast<int>(category));
}

void CCreatePage::SelectVariationRow(int row) {
    if (QTreeWidgetItem* item = m_lstVariation->topLevelItem(row)) {
        m_lstVariation->setCurrentItem(item);
        m_lstVariation->scrollToItem(item);
    }
}

void CCreatePage::ApplyRow(PartCategory category) {
    m_builder.SelectRow(category, m_builder.CurrentRow(category));
    m_parts->UpdateCaptions(m_builder);
    UpdateCurrentFace();
}

void CCreatePage::OnTypeListItemChanged() {
    for (const PartCategoryInfo& info : AllPartCategories()) {
        const QListWidgetItem* item = m_lstType->item(static_cast<int>(info.category));
        m_builder.SetIncluded(info.category, item->checkState() == Qt::Checked);
    }
    const int row = m_lstType->currentRow();
    const QList<QListWidgetItem*> selected = m_lstType->selectedItems();
    if (!selected.isEmpty() && row >= 0 && row < static_cast<int>(kPartCategoryCount)) {
        const auto category = static_cast<PartCategory>(row);
        if (m_builder.ShownCategory() != category) {
            ShowCategory(category);
            SelectVariationRow(m_builder.CurrentRow(category));
        }
    }
    UpdateCurrentFace();
}

void CCreatePage::OnVariationListItemChanged() {
    const auto shown = m_builder.ShownCategory();
    const QList<QTreeWidgetItem*> selected = m_lstVariation->selectedItems();
    if (!shown || selected.isEmpty()) {
        return;
    }
    if (m_builder.SelectRow(*shown, m_lstVariation->indexOfTopLevelItem(selected.front()))) {
        ApplyRow(*shown);
    }
}

void CCreatePage::OnPartButton(PartSlot slot) {
    const PartCategory category = InfoOf(slot).category;
    if (m_builder.ShownCategory() != category) {
        ShowCategory(category);
    }
    // A table without rows has nothing to step to; the part stays as it is.
    if (m_builder.StepRow(category)) {
        ApplyRow(category);
        SelectVariationRow(m_builder.CurrentRow(category));
    }
    UpdateCurrentFace();
}

void CCreatePage::OnRandom() {
    m_builder.Randomize(m_random);
    m_parts->UpdateCaptions(m_builder);
    const int row = m_lstType->currentRow();
    if (!m_lstType->selectedItems().isEmpty() && row >= 0 &&
        row < static_cast<int>(kPartCategoryCount)) {
        SelectVariationRow(m_builder.CurrentRow(static_cast<PartCategory>(row)));
    }
    UpdateCurrentFace();
}

std::string CCreatePage::ComposeFace() {
    std::string face = m_builder.ComposeFace();
    LayoutPartButtons();
    return face;
}

void CCreatePage::LayoutPartButtons() {
    m_parts->Layout(m_builder, m_grpFace->geometry().right());
}

}  // namespace mopira
