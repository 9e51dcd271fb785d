#include "ui/controls/IconButton.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>

#include "res/Resources.h"
#include "ui/controls/Emboss.h"

namespace mopira {

namespace {

// Every other pixel of the rectangle's outline, in a checkerboard from its top-left corner, as
// the classic focus rectangle is drawn. Styles draw the focus their own way, some only after
// keyboard use and some as a filled box; this button shows it whenever it has the focus.
void DrawFocusDots(QPainter& painter, const QRect& rect, const QColor& color) {
    const auto dot = [&](int x, int y) {
        if ((x - rect.left() + y - rect.top()) % 2 == 0) {
            painter.fillRect(x, y, 1, 1, color);
        }
    };
    for (int x = rect.left(); x <= rect.right(); ++x) {
        dot(x, rect.top());
        dot(x, rect.bottom());
    }
    for (int y = rect.top() + 1; y < rect.bottom(); ++y) {
        dot(rect.left(), y);
        dot(rect.right(), y);
    }
}

}  // namespace

CIconButton::CIconButton(QWidget* parent) : QPushButton(parent) {}

CIconButton::CIconButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

bool CIconButton::SetIconImage(int iconId, int width, int height) {
    m_icoImage = res::LoadIcon(iconId);
    update();
    if (m_icoImage.isNull()) {
        return false;
    }
    m_sizeImage = QSize(width, height);
    return true;
}

QPoint CIconButton::SetImagePos(QPoint pos) {
    std::swap(m_ptImage, pos);
    update();
    return pos;
}

QPoint CIconButton::SetTextPos(QPoint pos) {
    std::swap(m_ptText, pos);
    update();
    return pos;
}

void CIconButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QPalette& pal = palette();
    const bool bEnabled = isEnabled();

    QStyleOptionButton option;
    initStyleOption(&option);
    // The face stays the same with and without focus; the inset rectangle below shows it.
    option.state &= ~QStyle::State_HasFocus;
    option.text.clear();
    option.icon = QIcon();
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);

    const QPoint offset = isDown() ? QPoint(1, 1) : QPoint(0, 0);
    if (!m_icoImage.isNull()) {
        DrawButtonIcon(painter, QRect(m_ptImage + offset, m_sizeImage), m_icoImage, pal, bEnabled);
    }
    DrawButtonCaption(painter, m_ptText + offset, text(), pal, bEnabled);

    if (hasFocus() && bEnabled) {
        const int inset = std::min(std::min(width(), height()) / 4, 3);
        DrawFocusDots(painter, rect().adjusted(inset, inset, -inset, -inset),
                      pal.color(QPalette::ButtonText));
    }
}

}  // namespace mopira
