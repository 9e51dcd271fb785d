// The create tab of the main window: the type list with its check boxes, the variation list,
// the seven part buttons that together show the face, and the random button. The state and
// its rules live in CFaceBuilder; these handlers keep the widgets in step with it.
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QListWidget>
#include <QTreeWidget>
#include <algorithm>
#include <array>
#include <ctime>
#include <random>
#include <tuple>

#include "res/StringTable.h"
#include "ui/app/MainDlg.h"
#include "ui/app/TextConvert.h"
#include "ui/controls/DragTabCtrl.h"
#include "ui/controls/HoverButton.h"

namespace mopira {

namespace {

// Part buttons draw "&" as a mnemonic mark; a part is text, so every "&" is literal.
QString AsCaption(const QString& text) {
    QString caption = text;
    return caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// Where the face starts in the group box, and the part buttons' row.
constexpr int kFaceLeft = 25;
constexpr int kFaceTop = 85;
constexpr int kFaceHeight = 60;
// The room kept free on the right of the face inside the group box, and the smallest size a
// wide face is drawn at.
constexpr int kFaceRightMargin = 10;
constexpr int kSmallestPartPoints = 14;

}  // namespace

void CMainDlg::SetupCreateTab() {
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

CHoverButton* CMainDlg::PartButton(PartSlot slot) const {
    switch (slot) {
        case PartSlot::EdgeLeft:
            return m_btnEdgeLeft;
        case PartSlot::EmotionLeft:
            return m_btnEmotionLeft;
        case PartSlot::EyeLeft:
            return m_btnEyeLeft;
        case PartSlot::Mouth:
            return m_btnMouth;
        case PartSlot::EyeRight:
            return m_btnEyeRight;
        case PartSlot::EmotionRight:
            return m_btnEmotionRight;
        case PartSlot::EdgeRight:
            break;
    }
    return m_btnEdgeRight;
}

void CMainDlg::UpdatePartButtons() {
    for (const PartSlotInfo& slot : AllPartSlots()) {
        PartButton(slot.slot)->setText(
            AsCaption(ToDisplayString(m_builder.Caption(slot.slot), m_builder.GetCharset())));
    }
}

void CMainDlg::ShowCategory(PartCategory category) {
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

void CMainDlg::SelectVariationRow(int row) {
    if (QTreeWidgetItem* item = m_lstVariation->topLevelItem(row)) {
        m_lstVariation->setCurrentItem(item);
        m_lstVariation->scrollToItem(item);
    }
}

void CMainDlg::ApplyRow(PartCategory category) {
    m_builder.SelectRow(category, m_builder.CurrentRow(category));
    UpdatePartButtons();
    UpdateCurrentFace();
}

void CMainDlg::OnTypeListItemChanged() {
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

void CMainDlg::OnVariationListItemChanged() {
    const auto shown = m_builder.ShownCategory();
    const QList<QTreeWidgetItem*> selected = m_lstVariation->selectedItems();
    if (!shown || selected.isEmpty()) {
        return;
    }
    if (m_builder.SelectRow(*shown, m_lstVariation->indexOfTopLevelItem(selected.front()))) {
        ApplyRow(*shown);
    }
}

void CMainDlg::OnPartButton(PartSlot slot) {
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

void CMainDlg::OnRandom() {
    m_builder.Randomize(m_random);
    UpdatePartButtons();
    const int row = m_lstType->currentRow();
    if (!m_lstType->selectedItems().isEmpty() && row >= 0 &&
        row < static_cast<int>(kPartCategoryCount)) {
        SelectVariationRow(m_builder.CurrentRow(static_cast<PartCategory>(row)));
    }
    UpdateCurrentFace();
}

std::string CMainDlg::ComposeFace() {
    std::string face = m_builder.ComposeFace();
    LayoutPartButtons();
    return face;
}

void CMainDlg::LayoutPartButtons() {
    // A face wider than the group box is drawn smaller, down to a size still easy to read,
    // rather than running past the window's edge; the text itself stays whole.
    const int room = m_grpFace->geometry().right() - kFaceRightMargin - kFaceLeft;
    const auto widths = [this](const QFont& font) {
        const QFontMetrics metrics(font);
        std::array<int, kPartSlotCount> widths{};
        int total = 0;
        for (const PartSlotInfo& slot : AllPartSlots()) {
            const int width =
                m_builder.IsIncluded(slot.category)
                    ? metrics.horizontalAdvance(
                          ToDisplayString(m_builder.Caption(slot.slot), m_builder.GetCharset()))
                    : 0;
            widths[static_cast<std::size_t>(slot.slot)] = width;
            total += width;
        }
        return std::make_pair(widths, total);
    };
    QFont font = m_fontPart;
    auto [sizes, total] = widths(font);
    if (total > room && room > 0) {
        // Widths grow about in step with the size: one guess, then small steps down.
        int points =
            std::max(kSmallestPartPoints,
                     static_cast<int>(static_cast<qint64>(font.pointSize()) * room / total));
        for (;;) {
            font.setPointSize(points);
            std::tie(sizes, total) = widths(font);
            if (total <= room || points <= kSmallestPartPoints) {
                break;
            }
            points = std::max(kSmallestPartPoints, points - 1);
        }
    }
    int x = kFaceLeft;
    for (const PartSlotInfo& slot : AllPartSlots()) {
        CHoverButton* button = PartButton(slot.slot);
        const int width = sizes[static_cast<std::size_t>(slot.slot)];
        if (button->font() != font) {
            button->setFont(font);
        }
        button->setGeometry(x, kFaceTop, width, kFaceHeight);
        // A part that takes no room is no stop for the Tab key either.
        button->setFocusPolicy(width > 0 ? Qt::StrongFocus : Qt::NoFocus);
        x += width;
        button->update();
    }
}

}  // namespace mopira
