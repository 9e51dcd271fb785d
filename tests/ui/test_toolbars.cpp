#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "core/app/ControlIds.h"
#include "res/Resources.h"
#include "ui/app/Fonts.h"
#include "ui/controls/TipToolBar.h"
#include "ui/controls/ToolBarDescriptor.h"

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

}  // namespace

class TestToolBars : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutes(); }

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
};

}  // namespace mopira

QTEST_MAIN(mopira::TestToolBars)
#include "test_toolbars.moc"
