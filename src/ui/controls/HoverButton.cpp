#include "ui/controls/HoverButton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "res/Resources.h"
#include "res/StringTable.h"
#include "ui/controls/DottedLine.h"
#include "ui/controls/Emboss.h"

namespace mopira {

namespace {

// Distance of the icon from the left edge when a caption follows it.
constexpr int kIconMargin = 3;

// The smallest size the icon comes in: the size it was drawn for.
QSize NaturalSize(const QIcon& icon) {
    const QList<QSize> sizes = icon.availableSizes();
    if (sizes.isEmpty()) {
        return {0, 0};
    }
    return *std::min_element(sizes.begin(), sizes.end(), [](const QSize& a, const QSize& b) {
        return a.width() * a.height() < b.width() * b.height();
    });
}

// Top-left, bottom-right: one pixel each, the second colour owning the two far corners.
void DrawEdge(QPainter& painter, const QRect& rc, const QColor& topLeft,
              const QColor& bottomRight) {
    painter.fillRect(QRect(rc.left(), rc.top(), rc.width(), 1), topLeft);
    painter.fillRect(QRect(rc.left(), rc.top(), 1, rc.height()), topLeft);
    painter.fillRect(QRect(rc.left(), rc.bottom(), rc.width(), 1), bottomRight);
    painter.fillRect(QRect(rc.right(), rc.top(), 1, rc.height()), bottomRight);
}

}  // namespace

CHoverButton::CHoverButton(QWidget* parent) : CHoverButton(QString(), parent) {}

CHoverButton::CHoverButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    // Moves without a mouse button held light the button again while the pointer stays over
    // it, after the application became active again or the focus moved away.
    setMouseTracking(true);
}

void CHoverButton::LoadIcons(int hoverIconId, int normalIconId) {
    m_icoHover = res::LoadIcon(hoverIconId);
    m_icoNormal = normalIconId == 0 ? m_icoHover : res::LoadIcon(normalIconId);
    const QSize size = NaturalSize(m_icoHover);
    m_nIconWidth = size.width();
    m_nIconHeight = size.height();
    update();
}

void CHoverButton::SetTipText(const QString& text, bool bActivate) {
    if (text.isNull()) {
        return;
    }
    m_strTip = text;
    m_bTipActive = bActivate;
    setToolTip(m_bTipActive ? m_strTip : QString());
    UpdateAccessibleName();
}

void CHoverButton::SetTipTextFromResource(int stringId, bool bActivate) {
    const QString text = res::LoadString(stringId);
    if (!text.isEmpty()) {
        SetTipText(text, bActivate);
    }
}

void CHoverButton::EnableTip(bool bActivate) {
    if (m_strTip.isNull()) {
        return;
    }
    m_bTipActive = bActivate;
    setToolTip(m_bTipActive ? m_strTip : QString());
}

void CHoverButton::paintEvent(QPaintEvent* /*event*/) {
    // setText() offers no hook, but every caption change repaints.
    UpdateAccessibleName();

    QPainter painter(this);
    const QPalette& pal = palette();
    const QRect rc = rect();
    const bool bEnabled = isEnabled();
    const bool bPressed = isDown();
    const bool bLit = bEnabled && (bPressed || m_bHover);

    if (!m_bTransparentBack) {
        painter.fillRect(rc, pal.color(QPalette::Button));
    }
    if (bLit) {
        const QColor highlight = pal.color(QPalette::Light);
        const QColor shadow = pal.color(QPalette::Dark);
        if (bPressed) {
            DrawEdge(painter, rc, shadow, highlight);
        } else {
            DrawEdge(painter, rc, highlight, shadow);
        }
    }

    const QPoint offset = bPressed ? QPoint(1, 1) : QPoint(0, 0);
    const QString caption = text();
    QRect rcCaption = rc;
    if (!m_icoHover.isNull()) {
        const int x = caption.isEmpty() ? (rc.width() - m_nIconWidth) / 2 : kIconMargin;
        const int y = (rc.height() - m_nIconHeight) / 2;
        if (!caption.isEmpty()) {
            rcCaption.setLeft(m_nIconWidth + kIconMargin);
        }
        const QRect rcIcon(QPoint(x, y) + offset, QSize(m_nIconWidth, m_nIconHeight));
        DrawButtonIcon(painter, rcIcon, bLit ? m_icoHover : m_icoNormal, pal, bEnabled);
    }
    if (!caption.isEmpty()) {
        const QSize size = fontMetrics().size(kCaptionFlags, caption);
        const QPoint centred((rcCaption.width() - size.width()) / 2,
                             (rcCaption.height() - size.height()) / 2);
        DrawButtonCaption(painter, rcCaption.topLeft() + centred + offset, caption, pal, bEnabled);
    }
    if (m_bShowFocus && hasFocus() && bEnabled) {
        DrawFocusRect(painter, rc, pal.color(QPalette::ButtonText));
    }
}

void CHoverButton::enterEvent(QEnterEvent* event) {
    QPushButton::enterEvent(event);
    TrackPointer(event->position().toPoint(), QGuiApplication::mouseButtons());
}

void CHoverButton::leaveEvent(QEvent* event) {
    QPushButton::leaveEvent(event);
    SetHover(false);
}

void CHoverButton::mouseMoveEvent(QMouseEvent* event) {
    QPushButton::mouseMoveEvent(event);
    TrackPointer(event->position().toPoint(), event->buttons());
}

void CHoverButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double-click is an ordinary press, so it ends in a second click.
    mousePressEvent(event);
}

void CHoverButton::focusOutEvent(QFocusEvent* event) {
    QPushButton::focusOutEvent(event);
    SetHover(false);
}

void CHoverButton::hideEvent(QHideEvent* event) {
    QPushButton::hideEvent(event);
    SetHover(false);
}

bool CHoverButton::event(QEvent* event) {
    // The window no longer takes input: another application, or another window of ours, is
    // active now.
    if (event->type() == QEvent::WindowDeactivate) {
        SetHover(false);
    }
    return QPushButton::event(event);
}

void CHoverButton::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        SetHover(false);
    }
}

void CHoverButton::TrackPointer(QPoint pos, Qt::MouseButtons buttons) {
    if (!rect().contains(pos)) {
        SetHover(false);
        return;
    }
    if (m_bHover || !isEnabled()) {
        return;
    }
    // A drag that began elsewhere does not light the button, nor does a pointer passing over
    // the window of an inactive application.
    if ((buttons & Qt::LeftButton) || QApplication::activeWindow() == nullptr) {
        return;
    }
    SetHover(true);
}

void CHoverButton::SetHover(bool bHover) {
    if (m_bHover != bHover) {
        m_bHover = bHover;
        update();
    }
}

void CHoverButton::UpdateAccessibleName() {
    // With a caption the accessible name is the caption without its "&" (Qt's own default for
    // an empty name); a button showing only an icon is named by its tip.
    const QString name = text().isEmpty() ? m_strTip : QString();
    if (accessibleName() != name) {
        setAccessibleName(name);
    }
}

}  // namespace mopira
