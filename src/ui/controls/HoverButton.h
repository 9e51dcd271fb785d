#pragma once

#include <QIcon>
#include <QPushButton>
#include <QString>

namespace mopira {

// A flat push button drawn in the button face colour: an optional icon left of the caption, a
// thin raised border while the pointer is over it, a thin sunken border with the content moved
// one pixel right and down while it is pressed, and embossed content when disabled. A
// double-click counts as two clicks, so a quick series of clicks is never swallowed.
class CHoverButton : public QPushButton {
    Q_OBJECT

public:
    explicit CHoverButton(QWidget* parent = nullptr);
    explicit CHoverButton(const QString& caption, QWidget* parent = nullptr);

    // The hover icon is drawn while the pointer is over the button or it is pressed, the normal
    // icon otherwise; normalIconId 0 uses the hover icon for both. The icon size is the hover
    // icon's own. Without a hover icon the button draws no icon.
    void LoadIcons(int hoverIconId, int normalIconId = 0);

    // A null text changes nothing. A deactivated tip keeps its text but shows nothing.
    void SetTipText(const QString& text, bool bActivate = true);
    // A missing or empty string leaves the tip as it was.
    void SetTipTextFromResource(int stringId, bool bActivate = true);
    // Does nothing before the first tip text.
    void EnableTip(bool bActivate);

    bool IsHover() const { return m_bHover; }
    // Leaves the background to whatever lies under the button (a group box, say) instead of
    // filling it with the button colour; the borders stay.
    // Draws the dotted focus rectangle while the button has the focus: for a button the
    // keyboard reaches that has no other sign of it.
    void SetShowFocus(bool bShow) { m_bShowFocus = bShow; }
    void SetTransparentBack(bool bTransparent) {
        m_bTransparentBack = bTransparent;
        update();
    }
    QSize IconSize() const { return {m_nIconWidth, m_nIconHeight}; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void TrackPointer(QPoint pos, Qt::MouseButtons buttons);
    void SetHover(bool bHover);
    void UpdateAccessibleName();

    bool m_bHover = false;
    bool m_bTransparentBack = false;
    bool m_bShowFocus = false;
    QIcon m_icoHover;
    QIcon m_icoNormal;
    int m_nIconWidth = 0;
    int m_nIconHeight = 0;
    QString m_strTip;
    bool m_bTipActive = false;
};

}  // namespace mopira
