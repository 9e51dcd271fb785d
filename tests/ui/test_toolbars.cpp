#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionMenuItem>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <set>

#include "core/app/ControlIds.h"
#include "res/Resources.h"
#include "ui/controls/DragTabCtrl.h"
#include "ui/controls/IconMenu.h"
#include "ui/controls/TipToolBar.h"
#include "ui/controls/ToolBarDescriptor.h"
#include "ui/platform/Fonts.h"

namespace mopira {

namespace {

QImage ImageOf(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

// The picture a toolbar button shows, at the strip's image size.
QImage IconOf(const QToolButton* button, QSize size) {
    return ImageOf(button->icon().pixmap(size));
}

QImage StripImage(int resourceId, QSize size, int index) {
    return ImageOf(CutToolBarImage(res::LoadToolBarBitmap(resourceId), size, index));
}

// Stands for the window behind the tab strip: it takes every drop it is offered.
class CDropCounter : public QWidget {
public:
    CDropCounter() { setAcceptDrops(true); }
    int m_nEvents = 0;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override { Take(event); }
    void dragMoveEvent(QDragMoveEvent* event) override { Take(event); }
    void dropEvent(QDropEvent* event) override { Take(event); }

private:
    void Take(QDropEvent* event) {
        ++m_nEvents;
        event->acceptProposedAction();
    }
};

const QRgb kUntouched = qRgb(255, 0, 255);

}  // namespace

class TestToolBars : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        InstallFontSubstitutes();
        // Sharp glyph edges make the colours of drawn text exact.
        QFont menuFont = QApplication::font("QMenu");
        menuFont.setStyleStrategy(QFont::NoAntialias);
        QApplication::setFont(menuFont, "QMenu");
    }

    // ---- Tooltip toolbar ----

    void listToolBarLaysOutButtonsAndSeparator() {
        CTipToolBar bar;
        QVERIFY(bar.LoadToolBar(id::kListToolBarResource));
        const std::vector<int> commands{32777, 32771, 32772, 59416, 0, 59410, 59411};
        QCOMPARE(bar.ButtonCount(), 7);
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(bar.CommandAt(i), commands[i]);
        }
        QCOMPARE(bar.CommandAt(7), 0);

        // Images count buttons only: the separator takes none.
        const std::vector<int> buttons{32777, 32771, 32772, 59416, 59410, 59411};
        const std::vector<int> lefts{0, 23, 46, 69, 100, 123};
        for (int i = 0; i < 6; ++i) {
            const QToolButton* button = bar.ButtonFor(buttons[i]);
            QVERIFY(button);
            QCOMPARE(button->geometry(), QRect(lefts[i], 0, 23, 22));
            QCOMPARE(button->iconSize(), QSize(16, 15));
            QCOMPARE(IconOf(button, {16, 15}), StripImage(id::kListToolBarResource, {16, 15}, i));
        }
        QCOMPARE(bar.sizeHint(), QSize(146, 22));
        QCOMPARE(bar.findChildren<QToolButton*>().size(), 6);
    }

    void deletingAButtonKeepsTheOtherImages() {
        CTipToolBar bar;
        QVERIFY(bar.LoadToolBar(id::kTopToolBarResource));
        QCOMPARE(bar.ButtonCount(), 3);
        const QSize size(16, 15);
        QCOMPARE(IconOf(bar.findChildren<QToolButton*>().at(1), size),
                 StripImage(id::kTopToolBarResource, size, 1));

        bar.DeleteButton(1);
        QCOMPARE(bar.ButtonCount(), 2);
        QCOMPARE(bar.CommandAt(0), id::kTopMost);
        QCOMPARE(bar.CommandAt(1), id::kHelp);
        QCOMPARE(bar.findChildren<QToolButton*>().size(), 2);
        QCOMPARE(IconOf(bar.ButtonFor(id::kTopMost), size),
                 StripImage(id::kTopToolBarResource, size, 0));
        QCOMPARE(IconOf(bar.ButtonFor(id::kHelp), size),
                 StripImage(id::kTopToolBarResource, size, 2));
        QCOMPARE(bar.ButtonFor(id::kHelp)->x(), 23);
        QCOMPARE(bar.sizeHint(), QSize(46, 22));

        bar.SetButtonImage(id::kTopMost, 1);
        QCOMPARE(IconOf(bar.ButtonFor(id::kTopMost), size),
                 StripImage(id::kTopToolBarResource, size, 1));

        bar.DeleteButton(5);  // out of range: nothing happens
        QCOMPARE(bar.ButtonCount(), 2);
    }

    void tooltipsComeFromTheStringTable() {
        QCOMPARE(CTipToolBar::TipText(id::kDelete), QStringLiteral("削除"));
        QCOMPARE(CTipToolBar::TipText(id::kHelp), QStringLiteral("ヘルプ"));
        QCOMPARE(CTipToolBar::TipText(id::kMove), QStringLiteral("顔文字の移動先"));
        // A string without "\n" and a missing string both give no tooltip.
        QCOMPARE(CTipToolBar::TipText(id::kFindByLocation), QString());
        QCOMPARE(CTipToolBar::TipText(4242), QString());

        CTipToolBar bar;
        QVERIFY(bar.LoadToolBar(id::kListToolBarResource));
        const auto* remove = bar.findChild<QToolButton*>(QStringLiteral("button32771"));
        QVERIFY(remove);
        QCOMPARE(remove, bar.ButtonFor(id::kDelete));
        QCOMPARE(remove->toolTip(), QStringLiteral("削除"));
        QCOMPARE(remove->accessibleName(), QStringLiteral("削除"));
        QCOMPARE(bar.ButtonFor(id::kDetailsView)->toolTip(), QStringLiteral("詳細"));
        QVERIFY(!bar.ButtonFor(0));
    }

    void hiddenButtonsTakeNoRoom() {
        CTipToolBar bar;
        QVERIFY(bar.LoadToolBar(id::kListToolBarResource));
        bar.show();
        bar.HideButton(id::kMove, true);
        QVERIFY(bar.IsButtonHidden(id::kMove));
        QVERIFY(!bar.ButtonFor(id::kMove)->isVisible());
        QCOMPARE(bar.ButtonFor(id::kListView)->x(), 100 - 23);
        QCOMPARE(bar.ButtonFor(id::kDetailsView)->x(), 123 - 23);
        QCOMPARE(bar.ButtonFor(id::kProperties)->x(), 46);
        QCOMPARE(bar.sizeHint().width(), 146 - 23);

        bar.HideButton(id::kMove, false);
        QVERIFY(bar.ButtonFor(id::kMove)->isVisible());
        QCOMPARE(bar.ButtonFor(id::kListView)->x(), 100);
        QCOMPARE(bar.sizeHint().width(), 146);
    }

    void clicksReportCommandsAndLeaveTheStateToTheWindow() {
        CTipToolBar bar;
        QVERIFY(bar.LoadToolBar(id::kListToolBarResource));
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QSignalSpy spy(&bar, &CTipToolBar::commandTriggered);

        bar.CheckButton(id::kListView, true);
        bar.CheckButton(id::kDetailsView, false);
        QVERIFY(bar.IsButtonChecked(id::kListView));
        QTest::mouseClick(bar.ButtonFor(id::kListView), Qt::LeftButton);
        QTest::mouseClick(bar.ButtonFor(id::kDetailsView), Qt::LeftButton);
        QCOMPARE(spy.size(), 2);
        QCOMPARE(spy.at(0).at(0).toInt(), id::kListView);
        QCOMPARE(spy.at(1).at(0).toInt(), id::kDetailsView);
        QVERIFY(bar.IsButtonChecked(id::kListView));
        QVERIFY(!bar.IsButtonChecked(id::kDetailsView));

        bar.EnableButton(id::kDelete, false);
        QVERIFY(!bar.IsButtonEnabled(id::kDelete));
        QVERIFY(bar.IsButtonEnabled(id::kNewFace));
        QTest::mouseClick(bar.ButtonFor(id::kDelete), Qt::LeftButton);
        QCOMPARE(spy.size(), 2);
        bar.EnableButton(id::kDelete, true);
        QTest::mouseClick(bar.ButtonFor(id::kDelete), Qt::LeftButton);
        QCOMPARE(spy.size(), 3);
        QCOMPARE(spy.at(2).at(0).toInt(), id::kDelete);
    }

    void brokenResourcesLeaveAnEmptyToolBar() {
        CTipToolBar bar;
        QVERIFY(bar.LoadToolBar(id::kListToolBarResource));
        QVERIFY(!bar.LoadToolBar(999));
        QCOMPARE(bar.ButtonCount(), 0);
        QCOMPARE(bar.sizeHint(), QSize(0, 0));
        QVERIFY(bar.findChildren<QToolButton*>().isEmpty());
        QVERIFY(!bar.IsButtonChecked(id::kDelete));
        bar.CheckButton(id::kDelete, true);  // no button: nothing to do, nothing breaks

        const QByteArray good = QByteArray::fromHex(
            "0100"
            "1000"
            "0f00"
            "0200"
            "d204"
            "0000");
        const std::optional<ToolBarDescriptor> parsed = ParseToolBarDescriptor(good);
        QVERIFY(parsed);
        QCOMPARE(parsed->imageSize, QSize(16, 15));
        QCOMPARE(parsed->ids, (std::vector<int>{1234, 0}));
        QVERIFY(!ParseToolBarDescriptor(good.left(11)));  // ends inside the last id
        QVERIFY(!ParseToolBarDescriptor(good.left(7)));   // ends inside the header
        QVERIFY(
            !ParseToolBarDescriptor(QByteArray::fromHex("0100"
                                                        "0000"
                                                        "0f00"
                                                        "0000")));
    }

    void imagesKeepTheStripsPixelRatio() {
        QPixmap strip(64, 30);  // two 16 x 15 images at twice the density
        strip.fill(Qt::red);
        strip.setDevicePixelRatio(2.0);
        const QPixmap image = CutToolBarImage(strip, {16, 15}, 1);
        QCOMPARE(image.size(), QSize(32, 30));
        QCOMPARE(image.devicePixelRatio(), 2.0);
        QCOMPARE(image.deviceIndependentSize(), QSizeF(16, 15));
        QVERIFY(CutToolBarImage(strip, {16, 15}, 2).isNull());
    }

    // ---- Icon menu ----

    void itemsMeasureFromTextAndImageSize() {
        CIconMenu iconMenu(nullptr);
        QCOMPARE(iconMenu.ImageSize(), QSize(20, 20));
        QVERIFY(iconMenu.LoadToolBarImages(id::kFindModeToolBarResource));
        QCOMPARE(iconMenu.ImageSize(), QSize(16, 16));
        QCOMPARE(iconMenu.ImageFor(id::kFindByLocation), 0);
        QCOMPARE(iconMenu.ImageFor(id::kFindByText), 1);

        QMenu* menu = iconMenu.Menu();
        QAction* location = AddCommand(menu, u"場所を指定(&I)", id::kFindByLocation);
        QAction* text = AddCommand(menu, u"文字列を検索(&F)", id::kFindByText);
        QAction* separator = menu->addSeparator();
        QAction* other = AddCommand(menu, u"切り取り(&T)\tCtrl+X", 4242);
        QAction* empty = AddCommand(menu, u"", 4243);
        iconMenu.ConvertMenu(menu);

        QCOMPARE(iconMenu.ItemFor(location)->image, 0);
        QCOMPARE(iconMenu.ItemFor(text)->image, 1);
        QCOMPARE(iconMenu.ItemFor(other)->image, -1);
        QCOMPARE(iconMenu.ItemFor(separator)->image, IconMenuItem::kSeparator);
        QCOMPARE(iconMenu.ItemFor(separator)->id, IconMenuItem::kSeparator);
        QCOMPARE(iconMenu.ItemFor(separator)->text, QStringLiteral("--"));

        const QFontMetrics metrics(iconMenu.MenuFont());
        QVERIFY(metrics.height() <= 21);
        // The "&" is measured as a character; a tab counts as eight average characters.
        QCOMPARE(iconMenu.MeasureItem(location),
                 QSize(metrics.horizontalAdvance(QStringLiteral("場所を指定(&I)")) + 38, 21));
        QCOMPARE(iconMenu.MeasureItem(other),
                 QSize(metrics.horizontalAdvance(QStringLiteral("切り取り(&T)")) +
                           metrics.horizontalAdvance(QStringLiteral("Ctrl+X")) +
                           8 * metrics.averageCharWidth() + 38,
                       21));
        QCOMPARE(iconMenu.MeasureItem(separator), QSize(10, 6));
        QCOMPARE(iconMenu.MeasureItem(empty), QSize(100, 21));

        // The popup lays its items out with these sizes.
        QCOMPARE(menu->actionGeometry(location).height(), 21);
        QCOMPARE(menu->actionGeometry(separator).height(), 6);
        QCOMPARE(menu->actionGeometry(text).top(), menu->actionGeometry(location).bottom() + 1);
        // Every item is as wide as the widest; the accelerator column is not added twice.
        QCOMPARE(menu->actionGeometry(location).width(), iconMenu.MeasureItem(other).width());

        CIconMenu plain(nullptr);  // no images: 20 x 20 squares
        QAction* lone = AddCommand(plain.Menu(), u"場所を指定(&I)", id::kFindByLocation);
        plain.ConvertMenu(plain.Menu());
        QCOMPARE(plain.ItemFor(lone)->image, -1);
        QCOMPARE(plain.MeasureItem(lone).height(), std::max(25, metrics.height()));
        QVERIFY(!plain.LoadToolBarImages(999));
    }

    void convertingTwiceChangesNothing() {
        CIconMenu iconMenu(nullptr);
        QVERIFY(iconMenu.LoadToolBarImages(id::kFindModeToolBarResource));
        QMenu* menu = iconMenu.Menu();
        QAction* location = AddCommand(menu, u"場所を指定(&I)", id::kFindByLocation);
        QMenu* sub = menu->addMenu(QStringLiteral("sub"));
        iconMenu.ConvertMenu(menu);
        const IconMenuItem* first = iconMenu.ItemFor(location);
        QVERIFY(first);
        QVERIFY(!iconMenu.ItemFor(sub->menuAction()));

        location->setText(QStringLiteral("changed"));
        QAction* text = AddCommand(menu, u"文字列を検索(&F)", id::kFindByText);
        iconMenu.ConvertMenu(menu);
        QCOMPARE(iconMenu.ItemFor(location), first);
        QCOMPARE(first->text, QStringLiteral("場所を指定(&I)"));
        QCOMPARE(iconMenu.ItemFor(text)->image, 1);
        QVERIFY(!iconMenu.ItemFor(nullptr));
    }

    void selectionHighlightsBesideTheIconSquare() {
        CIconMenu iconMenu(nullptr);
        QVERIFY(iconMenu.LoadToolBarImages(id::kFindModeToolBarResource));
        QAction* location = AddCommand(iconMenu.Menu(), u"場所を指定(&I)", id::kFindByLocation);
        QAction* other = AddCommand(iconMenu.Menu(), u"other", 4242);
        iconMenu.ConvertMenu(iconMenu.Menu());
        const QRgb highlight = iconMenu.HighlightColor().rgb();
        const QRgb light = iconMenu.ButtonHighlightColor().rgb();
        const QRgb shadow = iconMenu.ButtonShadowColor().rgb();

        const QImage selected = Draw(iconMenu, location, Selected | Enabled);
        QCOMPARE(selected.pixel(0, 5), light);  // raised frame round the 21 x 21 square
        QCOMPARE(selected.pixel(5, 0), light);
        QCOMPARE(selected.pixel(20, 5), shadow);
        QCOMPARE(selected.pixel(5, 20), shadow);
        QCOMPARE(selected.pixel(1, 1), kUntouched);    // inside the square, outside the icon
        QCOMPARE(selected.pixel(21, 10), kUntouched);  // the column between square and text
        QCOMPARE(selected.pixel(22, 1), highlight);
        QCOMPARE(selected.pixel(199, 20), highlight);
        // The 16 x 16 icon sits centred in the square.
        const QImage icon = StripImage(id::kFindModeToolBarResource, {16, 16}, 0);
        bool iconShown = false;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                if (qAlpha(icon.pixel(x, y)) == 255) {
                    QCOMPARE(selected.pixel(2 + x, 2 + y), icon.pixel(x, y));
                    iconShown = true;
                }
            }
        }
        QVERIFY(iconShown);

        const QImage idle = Draw(iconMenu, location, Enabled);
        QCOMPARE(idle.pixel(0, 5), iconMenu.MenuColor().rgb());  // no frame
        QCOMPARE(idle.pixel(22, 1), iconMenu.MenuColor().rgb());

        // A separator: a shadow line over a highlight line, 2 pixels in from both ends.
        QAction* separator = iconMenu.Menu()->addSeparator();
        iconMenu.ConvertMenu(iconMenu.Menu());
        const QImage line = Draw(iconMenu, separator, Enabled);
        QCOMPARE(line.height(), 6);
        QCOMPARE(Colours(line, QRect(2, 2, 196, 1)), std::set<QRgb>{shadow});
        QCOMPARE(Colours(line, QRect(2, 3, 196, 1)), std::set<QRgb>{light});
        for (const QPoint outside : {QPoint(1, 2), QPoint(198, 3), QPoint(5, 1), QPoint(5, 4)}) {
            QCOMPARE(line.pixel(outside), kUntouched);
        }

        // Without an icon the highlight covers the whole item and no frame is drawn.
        const QImage plain = Draw(iconMenu, other, Selected | Enabled);
        QCOMPARE(plain.pixel(0, 5), highlight);
        QCOMPARE(plain.pixel(1, 1), highlight);
        QCOMPARE(plain.pixel(21, 10), highlight);
    }

    void checkedItemWithoutIconShowsTheCheckMark() {
        CIconMenu iconMenu(nullptr);
        QVERIFY(iconMenu.LoadToolBarImages(id::kFindModeToolBarResource));
        QAction* other = AddCommand(iconMenu.Menu(), u"other", 4242);
        iconMenu.ConvertMenu(iconMenu.Menu());

        // The 19 x 19 mark sits at ((21 - 16) / 2, (21 - 16) / 2 - 2) = (2, 0).
        const QImage checked = Draw(iconMenu, other, Selected | Enabled, true);
        QCOMPARE(checked.pixel(2 + 13, 5), qRgb(0, 0, 0));                       // black stays
        QCOMPARE(checked.pixel(2 + 13, 8), iconMenu.ButtonShadowColor().rgb());  // grey
        QCOMPARE(checked.pixel(2 + 14, 6), iconMenu.ButtonFaceColor().rgb());    // light grey
        QCOMPARE(checked.pixel(2 + 0, 0), kUntouched);                           // white
        // A checked item keeps its square out of the highlight.
        QCOMPARE(checked.pixel(1, 20), kUntouched);
        QCOMPARE(checked.pixel(22, 1), iconMenu.HighlightColor().rgb());
    }

    void disabledItemsAreGreyed() {
        CIconMenu iconMenu(nullptr);
        QVERIFY(iconMenu.LoadToolBarImages(id::kFindModeToolBarResource));
        QAction* location = AddCommand(iconMenu.Menu(), u"場所を指定(&I)", id::kFindByLocation);
        iconMenu.ConvertMenu(iconMenu.Menu());
        const QRect textArea(24, 0, 200 - 24, 21);

        // Embossed: the icon and the text only in the two 3-D colours.
        const QImage idle = Draw(iconMenu, location, {});
        const std::set<QRgb> iconColours = Colours(idle, QRect(1, 1, 19, 19));
        QVERIFY(iconColours.count(iconMenu.ButtonShadowColor().rgb()));
        for (const QRgb colour : iconColours) {
            QVERIFY(colour == kUntouched || colour == iconMenu.ButtonShadowColor().rgb() ||
                    colour == iconMenu.ButtonHighlightColor().rgb());
        }
        QCOMPARE(idle.pixel(0, 5), iconMenu.MenuColor().rgb());  // no raised frame
        const QColor grey =
            QApplication::palette(iconMenu.Menu()).color(QPalette::Disabled, QPalette::WindowText);
        const std::set<QRgb> textColours = Colours(idle, textArea);
        QVERIFY(textColours.count(grey.rgb()));
        QVERIFY(textColours.count(iconMenu.ButtonHighlightColor().rgb()));
        QCOMPARE(textColours.size(), 3u);

        // Selected: menu-coloured text on the highlight, no raised frame.
        const QImage selected = Draw(iconMenu, location, Selected);
        QCOMPARE(selected.pixel(0, 5), iconMenu.MenuColor().rgb());
        QCOMPARE(Colours(selected, textArea),
                 (std::set<QRgb>{iconMenu.HighlightColor().rgb(), iconMenu.MenuColor().rgb()}));
    }

    void acceleratorTextEndsBeforeTheRightEdge() {
        CIconMenu iconMenu(nullptr);
        QVERIFY(iconMenu.LoadToolBarImages(id::kFindModeToolBarResource));
        QAction* cut = AddCommand(iconMenu.Menu(), u"切り取り(&T)\tCtrl+I", 4242);
        iconMenu.ConvertMenu(iconMenu.Menu());
        const QImage item = Draw(iconMenu, cut, Enabled);
        const QRgb ink = QApplication::palette(iconMenu.Menu()).color(QPalette::WindowText).rgb();

        // The same two texts drawn where they belong: the label from 2 pixels into the text
        // area (21 + 1 + 2), the accelerator ending 15 pixels before the item's right edge.
        QImage expected(item.size(), QImage::Format_ARGB32);
        expected.fill(kUntouched);
        {
            QPainter painter(&expected);
            painter.setFont(iconMenu.MenuFont());
            painter.setPen(QColor(ink));
            const int top = (21 - QFontMetrics(iconMenu.MenuFont()).height()) / 2;
            const QRect text(24, top, 200 - 15 - 24, 21 - top);
            const int flags = Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic;
            painter.drawText(text, flags | Qt::AlignLeft, QStringLiteral("切り取り(&T)"));
            painter.drawText(text, flags | Qt::AlignRight, QStringLiteral("Ctrl+I"));
        }
        QCOMPARE(InkBounds(item, ink), InkBounds(expected, ink));
        QVERIFY(InkBounds(item, ink).right() < 200 - 15);
    }

    void popupDrawsItsItemsItself() {
        CIconMenu iconMenu(nullptr);
        QVERIFY(iconMenu.LoadToolBarImages(id::kFindModeToolBarResource));
        QMenu* menu = iconMenu.Menu();
        QAction* location = AddCommand(menu, u"場所を指定(&I)", id::kFindByLocation);
        AddCommand(menu, u"文字列を検索(&F)", id::kFindByText);
        iconMenu.ConvertMenu(menu);
        menu->popup(QPoint(10, 10));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        menu->setActiveAction(location);

        const QImage shot = menu->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        const QRect item = menu->actionGeometry(location);
        const int height = item.height();
        QCOMPARE(shot.pixel(item.left() + 1, item.top() + 1), iconMenu.MenuColor().rgb());
        QCOMPARE(shot.pixel(item.left(), item.top() + 5), iconMenu.ButtonHighlightColor().rgb());
        QCOMPARE(shot.pixel(item.left() + height + 1, item.top() + 1),
                 iconMenu.HighlightColor().rgb());
        QCOMPARE(shot.pixel(item.right(), item.bottom()), iconMenu.HighlightColor().rgb());
        // A raised frame round the items, with a line of menu colour inside it.
        const QPalette palette = menu->palette();
        QCOMPARE(item.topLeft(), QPoint(3, 3));
        QCOMPARE(shot.pixel(0, 10), palette.color(QPalette::Light).rgb());
        QCOMPARE(shot.pixel(shot.width() - 1, 10), palette.color(QPalette::Shadow).rgb());
        QCOMPARE(shot.pixel(2, 10), iconMenu.MenuColor().rgb());

        // Items added and converted while the popup is up are measured again.
        QAction* separator = menu->addSeparator();
        QAction* more = AddCommand(menu, u"その他(&O)", 4242);
        iconMenu.ConvertMenu(menu);
        QCOMPARE(menu->actionGeometry(separator).height(), 6);
        QCOMPARE(menu->actionGeometry(more).height(), 21);
        menu->hide();
    }

    void mnemonicsPickItems() {
        CIconMenu iconMenu(nullptr);
        QVERIFY(iconMenu.LoadToolBarImages(id::kFindModeToolBarResource));
        QMenu* menu = iconMenu.Menu();
        AddCommand(menu, u"場所を指定(&I)", id::kFindByLocation);
        AddCommand(menu, u"文字列を検索(&F)", id::kFindByText);
        iconMenu.ConvertMenu(menu);

        QTimer::singleShot(0, menu, [menu] { QTest::keyClick(menu, Qt::Key_F); });
        QCOMPARE(iconMenu.Exec(QPoint(10, 10)), id::kFindByText);
        QTimer::singleShot(0, menu, [menu] { QTest::keyClick(menu, Qt::Key_I); });
        QCOMPARE(iconMenu.Exec(QPoint(10, 10)), id::kFindByLocation);
        QTimer::singleShot(0, menu, [menu] { QTest::keyClick(menu, Qt::Key_Escape); });
        QCOMPARE(iconMenu.Exec(QPoint(10, 10)), 0);
    }

    // ---- Tab strip ----

    void tabStripRefusesEveryDrop() {
        CDropCounter window;
        window.resize(200, 100);
        CDragTabCtrl tabs(&window);
        QVERIFY(tabs.RegisterDropTarget());
        QVERIFY(tabs.acceptDrops());
        tabs.addTab(QStringLiteral("一覧"));
        tabs.addTab(QStringLiteral("作成"));
        tabs.setCurrentIndex(1);
        tabs.setGeometry(0, 0, 200, tabs.sizeHint().height());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // Delivered the way the window system delivers a drag from another program, which
        // hears the answers to the moves and the drop: accepted or not, and the action. An
        // accepted answer, even one without an action, reads as a copy on X11.
        QMimeData data;
        data.setText(QStringLiteral("(^_^)"));
        using Answer = std::pair<bool, Qt::DropAction>;
        const auto dragTo = [&](QPoint at) {
            const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
            QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
            QDragMoveEvent move(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
            QDropEvent drop(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(window.windowHandle(), &enter);
            QApplication::sendEvent(window.windowHandle(), &move);
            QApplication::sendEvent(window.windowHandle(), &drop);
            return QList<Answer>{{move.isAccepted(), move.dropAction()},
                                 {drop.isAccepted(), drop.dropAction()}};
        };
        QCOMPARE(dragTo(tabs.tabRect(0).center()),
                 QList<Answer>(2, Answer(false, Qt::IgnoreAction)));
        QCOMPARE(window.m_nEvents, 0);  // nothing went on to the window behind the strip
        QCOMPARE(tabs.count(), 2);
        QCOMPARE(tabs.currentIndex(), 1);
        QCOMPARE(tabs.tabText(0), QStringLiteral("一覧"));

        // Beside the strip the window itself is the target and takes the drop.
        QCOMPARE(dragTo(QPoint(100, 90)), QList<Answer>(2, Answer(true, Qt::CopyAction)));
        QCOMPARE(window.m_nEvents, 3);
    }

    void pressingAndMovingOnlySelectsTabs() {
        CDragTabCtrl tabs;
        tabs.addTab(QStringLiteral("一覧"));
        tabs.addTab(QStringLiteral("作成"));
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        QSignalSpy changes(&tabs, &QTabBar::currentChanged);

        const QPoint second = tabs.tabRect(1).center();
        QTest::mousePress(&tabs, Qt::LeftButton, {}, second);
        QTest::mouseMove(&tabs, tabs.tabRect(0).center());
        QTest::mouseRelease(&tabs, Qt::LeftButton, {}, tabs.tabRect(0).center());
        QCOMPARE(tabs.currentIndex(), 1);
        QCOMPARE(changes.size(), 1);
        QCOMPARE(tabs.tabText(0), QStringLiteral("一覧"));
        QCOMPARE(tabs.tabText(1), QStringLiteral("作成"));
    }

private:
    enum State { Selected = 1, Enabled = 2 };

    static QAction* AddCommand(QMenu* menu, QStringView text, int command) {
        QAction* action = menu->addAction(text.toString());
        action->setData(command);
        return action;
    }

    // One item drawn into a 200 x 21 picture that starts out magenta.
    static QImage Draw(const CIconMenu& iconMenu, const QAction* action, int state,
                       bool checked = false) {
        QImage image(200, iconMenu.MeasureItem(action).height(), QImage::Format_ARGB32);
        image.fill(kUntouched);
        QStyleOptionMenuItem option;
        option.rect = image.rect();
        option.state = QStyle::State_None;
        if (state & Selected) {
            option.state |= QStyle::State_Selected;
        }
        if (state & Enabled) {
            option.state |= QStyle::State_Enabled;
        }
        option.checked = checked;
        QPainter painter(&image);
        [&] { QVERIFY(iconMenu.DrawItem(&painter, option, action)); }();
        return image;
    }

    static QRect InkBounds(const QImage& image, QRgb ink) {
        QRect bounds;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) == ink) {
                    bounds |= QRect(x, y, 1, 1);
                }
            }
        }
        return bounds;
    }

    static std::set<QRgb> Colours(const QImage& image, const QRect& area) {
        std::set<QRgb> colours;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                colours.insert(image.pixel(x, y));
            }
        }
        return colours;
    }
};

}  // namespace mopira

QTEST_MAIN(mopira::TestToolBars)
#include "test_toolbars.moc"
