#include "ui/controls/IconButton.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>

#include "res/Resources.h"
#include "ui/controls/DottedLine.h"
#include "ui/controls/Emboss.h"

namespace mopira {

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
        DrawFocusRect(painter, rect(), pal.color(QPalette::ButtonText));
    }
}

}  // namespace mopira
