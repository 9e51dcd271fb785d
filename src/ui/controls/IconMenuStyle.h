#pragma once

#include <QProxyStyle>

class QAction;
class QStyleOptionMenuItem;

namespace mopira {

class CIconMenu;

// The style of an icon menu's popup: it hands the measuring and drawing of converted items to
// the icon menu and leaves everything else to the application's style.
class CIconMenuStyle : public QProxyStyle {
    Q_OBJECT

public:
    explicit CIconMenuStyle(const CIconMenu& iconMenu);

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;

private:
    // The converted item a size request is about. The request names no item, so it is found
    // by what the menu put into the option: the separator kind or the text.
    const QAction* ActionFor(const QStyleOptionMenuItem& option) const;

    // Width of the accelerator column the menu adds to its items.
    int AcceleratorColumn() const;

    const CIconMenu& m_iconMenu;
};

}  // namespace mopira
