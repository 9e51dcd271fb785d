#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QPointer>
#include <QSize>
#include <QString>
#include <memory>
#include <utility>
#include <vector>

class QAction;
class QMenu;
class QPainter;
class QPoint;
class QRect;
class QStyleOptionMenuItem;
class QWidget;

namespace mopira {

class CIconMenuStyle;

// What one drawn item of an icon menu shows. Every converted command and separator gets one.
struct IconMenuItem {
    static constexpr int kSeparator = -3;

    const QAction* action = nullptr;  // identifies the item; never dereferenced
    int image = -1;                   // icon index, -1 without icon, kSeparator for a separator
    int id = 0;                       // command id, kSeparator for a separator
    QString text;                     // label ["\t" accelerator]; "--" for a separator
};

// A popup menu that shows a small icon beside each command, taken from a toolbar resource
// and matched to the items by command id. It measures and draws its items itself, in the
// classic style: the icon in a square at the left that rises when the item is selected, the
// highlight to the right of it. Create it right before the popup is shown and destroy it when
// the popup closes: fonts and colours are those of that moment.
class CIconMenu {
public:
    explicit CIconMenu(QWidget* owner);
    ~CIconMenu();
    CIconMenu(const CIconMenu&) = delete;
    CIconMenu& operator=(const CIconMenu&) = delete;

    // Takes the icons and their command ids from the toolbar resource and strip of this id.
    // Without them the items show no icons.
    bool LoadToolBarImages(int resourceId);
    // Gives every command and separator of `menu` (normally Menu()) a record, which makes this
    // object measure and draw it. Items converted before and items with a submenu are left as
    // they are; the text is taken now.
    void ConvertMenu(QMenu* menu);
    // The popup this object draws, to be filled with actions whose data() is the command id.
    QMenu* Menu() const { return m_pMenu; }
    // Shows the popup with its top-left corner at `globalTopLeft` until it closes; the
    // command id of the chosen item, or 0 when none was chosen.
    int Exec(const QPoint& globalTopLeft);

    // The text a popup item of this action shows: its label and any accelerator after a tab.
    static QString MenuText(const QAction* action);
    const IconMenuItem* ItemFor(const QAction* action) const;
    // The icon of a command, -1 when the toolbar resource has none for it.
    int ImageFor(int commandId) const;
    QSize ImageSize() const { return m_sizeImage; }
    const QFont& MenuFont() const { return m_fontMenu; }

    // Size of a converted item; an invalid size for an item that was not converted.
    QSize MeasureItem(const QAction* action) const;
    // Draws a converted item into option.rect with the option's selected, enabled and
    // checked state. False, drawing nothing, for an item that was not converted.
    bool DrawItem(QPainter* painter, const QStyleOptionMenuItem& option,
                  const QAction* action) const;

    // The colours the items are drawn in, as read from the palette at construction.
    QColor MenuColor() const { return m_clrMenu; }
    QColor HighlightColor() const { return m_clrHighlight; }
    QColor ButtonHighlightColor() const { return m_clrBtnHighlight; }
    QColor ButtonShadowColor() const { return m_clrBtnShadow; }
    QColor ButtonFaceColor() const { return m_clrBtnFace; }

private:
    void LoadCheckMark();
    int TabbedTextWidth(const QString& text) const;
    void Draw3dRect(QPainter* painter, const QRect& rect, const QColor& topLeft,
                    const QColor& bottomRight) const;
    QPixmap Embossed(const QPixmap& icon, const QColor& color) const;
    void DrawLabel(QPainter* painter, const QRect& rect, const QString& label,
                   const QString& accelerator, const QColor& color) const;

    // The style lives longer than the menu that uses it: the destructor deletes the menu first.
    std::unique_ptr<CIconMenuStyle> m_pStyle;
    QPointer<QMenu> m_pMenu;
    QFont m_fontMenu;
    QSize m_sizeImage{20, 20};
    std::vector<QPixmap> m_arrIcons;
    QPixmap m_pixCheck;
    std::vector<std::pair<int, int>> m_arrImageTable;  // (image, command id) in toolbar order
    std::vector<std::unique_ptr<IconMenuItem>> m_arrItems;

    QColor m_clrMenuText;
    QColor m_clrHighlightText;
    QColor m_clrBtnFace;
    QColor m_clrMenu;
    QColor m_clrHighlight;
    QColor m_clrBtnHighlight;
    QColor m_clrBtnShadow;
    QColor m_clrGrayText;
};

}  // namespace mopira
