#include "ui/controls/IconMenu.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QImage>
#include <QKeySequence>
#include <QMenu>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionMenuItem>
#include <algorithm>

#include "core/app/ControlIds.h"
#include "res/Resources.h"
#include "ui/controls/IconMenuStyle.h"
#include "ui/controls/ToolBarDescriptor.h"

namespace mopira {

namespace {

// Room beside the text: the icon square plus the gaps around the label.
constexpr int kTextPadding = 17;
// A tab in an item's text counts as this many average characters.
constexpr int kTabChars = 8;
// The label ends this far before the item's right edge.
constexpr int kRightGap = 15;
// Pixels at least this light drop out of a disabled icon, so it shows its outline.
constexpr int kEmbossLightness = 192;

const QRgb kCheckShade = qRgb(128, 128, 128);
const QRgb kCheckLight = qRgb(192, 192, 192);
const QRgb kCheckBackground = qRgb(255, 255, 255);

}  // namespace

CIconMenu::CIconMenu(QWidget* owner)
    : m_pStyle(std::make_unique<CIconMenuStyle>(*this)),
      m_pMenu(new QMenu(owner)),
      m_fontMenu(QApplication::font("QMenu")) {
    const QPalette palette = m_pMenu->palette();
    m_clrMenuText = palette.color(QPalette::Active, QPalette::WindowText);
    m_clrHighlightText = palette.color(QPalette::Active, QPalette::HighlightedText);
    m_clrBtnFace = palette.color(QPalette::Active, QPalette::Button);
    m_clrMenu = palette.color(QPalette::Active, QPalette::Window);
    m_clrHighlight = palette.color(QPalette::Active, QPalette::Highlight);
    m_clrBtnHighlight = palette.color(QPalette::Active, QPalette::Light);
    m_clrBtnShadow = palette.color(QPalette::Active, QPalette::Dark);
    m_clrGrayText = palette.color(QPalette::Disabled, QPalette::WindowText);
    LoadCheckMark();
    m_pMenu->setFont(m_fontMenu);
    m_pMenu->setStyle(m_pStyle.get());
}

CIconMenu::~CIconMenu() {
    delete m_pMenu;
}

bool CIconMenu::LoadToolBarImages(int resourceId) {
    const std::optional<ToolBarDescriptor> descriptor =
        ParseToolBarDescriptor(res::LoadToolBarDescriptor(resourceId));
    if (!descriptor) {
        return false;
    }
    const QPixmap strip = res::LoadToolBarBitmap(resourceId);
    if (strip.isNull()) {
        return false;
    }
    // The strips carry an alpha channel, so no colour has to be keyed out.
    m_sizeImage = descriptor->imageSize;
    m_arrIcons.clear();
    m_arrImageTable.clear();
    int image = 0;
    for (const int id : descriptor->ids) {
        if (id == 0) {
            continue;
        }
        m_arrIcons.push_back(CutToolBarImage(strip, m_sizeImage, image));
        m_arrImageTable.emplace_back(image, id);
        ++image;
    }
    return true;
}

void CIconMenu::ConvertMenu(QMenu* menu) {
    if (!menu) {
        return;
    }
    bool converted = false;
    for (const QAction* action : menu->actions()) {
        if (ItemFor(action) || action->menu()) {
            continue;
        }
        auto item = std::make_unique<IconMenuItem>();
        item->action = action;
        if (action->isSeparator()) {
            item->image = IconMenuItem::kSeparator;
            item->id = IconMenuItem::kSeparator;
            item->text = QStringLiteral("--");
        } else {
            item->id = action->data().toInt();
            item->image = ImageFor(item->id);
            item->text = MenuText(action);
        }
        m_arrItems.push_back(std::move(item));
        converted = true;
    }
    if (converted) {
        // A menu keeps the item sizes it measured last; a shown one measures them again.
        QEvent styleChange(QEvent::StyleChange);
        QCoreApplication::sendEvent(menu, &styleChange);
    }
}

int CIconMenu::Exec(const QPoint& globalTopLeft) {
    if (!m_pMenu) {
        return 0;
    }
    const QAction* chosen = m_pMenu->exec(globalTopLeft);
    return chosen ? chosen->data().toInt() : 0;
}

QString CIconMenu::MenuText(const QAction* action) {
    QString text = action->text();
    // A popup shows an action's shortcut in the accelerator column when the text brings no
    // accelerator of its own and the shortcut is meant to be seen in popups.
    if (!text.contains(u'\t') && action->isShortcutVisibleInContextMenu() &&
        !action->shortcut().isEmpty()) {
        text += u'\t' + action->shortcut().toString(QKeySequence::NativeText);
    }
    return text;
}

const IconMenuItem* CIconMenu::ItemFor(const QAction* action) const {
    if (!action) {
        return nullptr;
    }
    for (const auto& item : m_arrItems) {
        if (item->action == action) {
            return item.get();
        }
    }
    return nullptr;
}

int CIconMenu::ImageFor(int commandId) const {
    for (const auto& [image, id] : m_arrImageTable) {
        if (id == commandId) {
            return image;
        }
    }
    return -1;
}

QSize CIconMenu::MeasureItem(const QAction* action) const {
    const IconMenuItem* item = ItemFor(action);
    if (!item) {
        return {};
    }
    if (item->id == IconMenuItem::kSeparator) {
        return {10, 6};
    }
    const int minHeight = m_sizeImage.height() + 5;
    if (item->text.isEmpty()) {
        return {100, minHeight};
    }
    const int height = std::max(minHeight, QFontMetrics(m_fontMenu).height());
    const int width =
        TabbedTextWidth(item->text) + kTextPadding + std::max(height, m_sizeImage.width());
    return {width, height};
}

bool CIconMenu::DrawItem(QPainter* painter, const QStyleOptionMenuItem& option,
                         const QAction* action) const {
    const IconMenuItem* item = ItemFor(action);
    if (!item) {
        return false;
    }
    const QRect& rect = option.rect;
    const int left = rect.x();
    const int top = rect.y();
    const int right = rect.x() + rect.width();
    const int height = rect.height();
    const int bottom = top + height;
    const QRect square(left, top, height, height);
    const int textLeft = left + height + 1;
    const QRect besideSquare(textLeft, top, right - textLeft, height);

    painter->save();
    painter->setFont(m_fontMenu);

    if (item->id == IconMenuItem::kSeparator) {
        const int length = right - 2 - (left + 2);
        painter->fillRect(QRect(left + 2, top + 2, length, 1), m_clrBtnShadow);
        painter->fillRect(QRect(left + 2, top + 3, length, 1), m_clrBtnHighlight);
        painter->restore();
        return true;
    }

    const bool selected = option.state & QStyle::State_Selected;
    const bool enabled = option.state & QStyle::State_Enabled;
    const bool hasIcon = item->image >= 0;
    // An icon or a check mark keeps its square out of the highlight.
    const QRect& background = hasIcon || option.checked ? besideSquare : rect;
    painter->fillRect(background, selected ? m_clrHighlight : m_clrMenu);
    const QColor textColor = selected ? m_clrHighlightText : m_clrMenuText;

    if (hasIcon) {
        const QPoint at(left + (height - m_sizeImage.width()) / 2,
                        top + (height - m_sizeImage.height()) / 2);
        if (selected && enabled) {
            Draw3dRect(painter, square, m_clrBtnHighlight, m_clrBtnShadow);
        } else {
            Draw3dRect(painter, square, m_clrMenu, m_clrMenu);
        }
        if (static_cast<std::size_t>(item->image) < m_arrIcons.size()) {
            const QPixmap& icon = m_arrIcons[item->image];
            if (enabled) {
                painter->fillRect(QRect(at, m_sizeImage), m_clrBtnFace);
                painter->drawPixmap(at, icon);
            } else {
                painter->drawPixmap(at + QPoint(1, 1), Embossed(icon, m_clrBtnHighlight));
                painter->drawPixmap(at, Embossed(icon, m_clrBtnShadow));
            }
        }
    } else if (option.checked && !m_pixCheck.isNull()) {
        painter->drawPixmap(left + (height - m_sizeImage.width()) / 2,
                            top + (height - m_sizeImage.height()) / 2 - 2, m_pixCheck);
    }

    const int textTop = top + (height - QFontMetrics(m_fontMenu).height()) / 2;
    const QRect textRect(textLeft + 2, textTop, right - kRightGap - (textLeft + 2),
                         bottom - textTop);
    const qsizetype tab = item->text.indexOf(u'\t');
    const QString label = tab < 0 ? item->text : item->text.left(tab);
    const QString accelerator = tab < 0 ? QString() : item->text.mid(tab + 1);
    if (enabled) {
        DrawLabel(painter, textRect, label, accelerator, textColor);
    } else if (selected) {
        DrawLabel(painter, textRect, label, accelerator, m_clrMenu);
    } else {
        DrawLabel(painter, textRect.adjusted(1, 1, -1, -1), label, accelerator, m_clrBtnHighlight);
        DrawLabel(painter, textRect, label, accelerator, m_clrGrayText);
    }
    painter->restore();
    return true;
}

void CIconMenu::LoadCheckMark() {
    const QPixmap bitmap = res::LoadBitmap(id::kCheckMarkBitmap);
    if (bitmap.isNull()) {
        return;
    }
    QImage image = bitmap.toImage().convertToFormat(QImage::Format_ARGB32);
    const QRgb shadow = m_clrBtnShadow.rgba();
    const QRgb face = m_clrBtnFace.rgba();
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x] | 0xff000000u;
            if (pixel == kCheckShade) {
                line[x] = shadow;
            } else if (pixel == kCheckLight) {
                line[x] = face;
            } else if (pixel == kCheckBackground) {
                line[x] = 0;
            }
        }
    }
    m_pixCheck = QPixmap::fromImage(image);
    m_pixCheck.setDevicePixelRatio(bitmap.devicePixelRatio());
}

int CIconMenu::TabbedTextWidth(const QString& text) const {
    // The "&" counts as a character here, as it did when the menus were measured this way.
    const QFontMetrics metrics(m_fontMenu);
    int width = 0;
    const QStringList parts = text.split(u'\t');
    for (const QString& part : parts) {
        width += metrics.horizontalAdvance(part);
    }
    width += static_cast<int>(parts.size() - 1) * kTabChars * metrics.averageCharWidth();
    return width;
}

void CIconMenu::Draw3dRect(QPainter* painter, const QRect& rect, const QColor& topLeft,
                           const QColor& bottomRight) const {
    const int x = rect.x();
    const int y = rect.y();
    const int cx = rect.width();
    const int cy = rect.height();
    painter->fillRect(QRect(x, y, cx - 1, 1), topLeft);
    painter->fillRect(QRect(x, y, 1, cy - 1), topLeft);
    painter->fillRect(QRect(x + cx - 1, y, 1, cy), bottomRight);
    painter->fillRect(QRect(x, y + cy - 1, cx, 1), bottomRight);
}

QPixmap CIconMenu::Embossed(const QPixmap& icon, const QColor& color) const {
    QImage shape = icon.toImage().convertToFormat(QImage::Format_ARGB32);
    const QRgb ink = color.rgb();
    for (int y = 0; y < shape.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(shape.scanLine(y));
        for (int x = 0; x < shape.width(); ++x) {
            const bool solid = qAlpha(line[x]) >= 128 && qGray(line[x]) < kEmbossLightness;
            line[x] = solid ? ink : 0;
        }
    }
    QPixmap result = QPixmap::fromImage(shape);
    result.setDevicePixelRatio(icon.devicePixelRatio());
    return result;
}

void CIconMenu::DrawLabel(QPainter* painter, const QRect& rect, const QString& label,
                          const QString& accelerator, const QColor& color) const {
    constexpr int kFlags = Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic;
    painter->setPen(color);
    painter->drawText(rect, kFlags | Qt::AlignLeft, label);
    if (!accelerator.isEmpty()) {
        painter->drawText(rect, kFlags | Qt::AlignRight, accelerator);
    }
}

}  // namespace mopira
