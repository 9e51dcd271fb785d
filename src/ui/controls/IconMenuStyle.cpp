#include "ui/controls/IconMenuStyle.h"

#include <qdrawutil.h>
#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionMenuItem>
#include <algorithm>

#include "ui/controls/IconMenu.h"

namespace mopira {

namespace {

// Two pixels of raised edge and one of menu colour inside it.
constexpr int kFrameWidth = 3;

}  // namespace

CIconMenuStyle::CIconMenuStyle(const CIconMenu& iconMenu) : m_iconMenu(iconMenu) {}

QSize CIconMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                       const QSize& size, const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (type == CT_MenuItem && item && widget == m_iconMenu.Menu()) {
        if (const QAction* action = ActionFor(*item)) {
            QSize measured = m_iconMenu.MeasureItem(action);
            // The menu adds its accelerator column to the widest item; ours already holds
            // the accelerator text.
            measured.rwidth() = std::max(measured.width() - AcceleratorColumn(), 1);
            return measured;
        }
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

void CIconMenuStyle::drawControl(ControlElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
    const QMenu* menu = m_iconMenu.Menu();
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (item && menu && widget == menu) {
        if (element == CE_MenuItem &&
            m_iconMenu.DrawItem(painter, *item, menu->actionAt(item->rect.center()))) {
            return;
        }
        if (element == CE_MenuEmptyArea) {
            painter->fillRect(option->rect, m_iconMenu.MenuColor());
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void CIconMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                   QPainter* painter, const QWidget* widget) const {
    if (widget == m_iconMenu.Menu()) {
        // The items leave parts of their rectangle to the panel (round the icon square, the
        // gap beside it), so the panel has the colour the items are drawn on.
        if (element == PE_PanelMenu) {
            painter->fillRect(option->rect, m_iconMenu.MenuColor());
            return;
        }
        // A raised frame holds the items, which run right up to it.
        if (element == PE_FrameMenu) {
            qDrawWinPanel(painter, option->rect, option->palette, false);
            return;
        }
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

int CIconMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                                const QWidget* widget) const {
    if (metric == PM_MenuPanelWidth && widget == m_iconMenu.Menu()) {
        return kFrameWidth;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

int CIconMenuStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                              QStyleHintReturn* returnData) const {
    // A disabled item is highlighted under the pointer too; it draws itself for that state.
    if (hint == SH_Menu_AllowActiveAndDisabled) {
        return 1;
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

int CIconMenuStyle::AcceleratorColumn() const {
    // Measured the way the menu measures it: the widest accelerator of its visible items.
    const QMenu* menu = m_iconMenu.Menu();
    const QFontMetrics metrics = menu->fontMetrics();
    int widest = 0;
    for (const QAction* action : menu->actions()) {
        if (!action->isVisible() || action->isSeparator()) {
            continue;
        }
        const QString text = CIconMenu::MenuText(action);
        const qsizetype tab = text.indexOf(u'\t');
        if (tab >= 0) {
            widest = std::max(widest, metrics.horizontalAdvance(text.mid(tab + 1)));
        }
    }
    return widest;
}

const QAction* CIconMenuStyle::ActionFor(const QStyleOptionMenuItem& option) const {
    const bool separator = option.menuItemType == QStyleOptionMenuItem::Separator;
    for (const QAction* action : m_iconMenu.Menu()->actions()) {
        const IconMenuItem* item = m_iconMenu.ItemFor(action);
        if (!item) {
            continue;
        }
        const bool itemIsSeparator = item->id == IconMenuItem::kSeparator;
        if (separator ? itemIsSeparator : !itemIsSeparator && item->text == option.text) {
            return action;
        }
    }
    return nullptr;
}

}  // namespace mopira
