// Mouse input goes through the window system layer, so the buttons see the same event
// sequences (enter and leave, grabs, double-clicks) as with a real mouse.
#define QTEST_QPA_MOUSE_HANDLING

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include "core/app/ControlIds.h"
#include "res/Resources.h"
#include "res/StringTable.h"
#include "ui/controls/HoverButton.h"
#include "ui/controls/IconButton.h"
#include "ui/platform/Fonts.h"

namespace mopira {

namespace {

using id::kAddIcon;
using id::kCopyIcon;
using id::kFindByLocation;
using id::kFindByText;

QImage Grab(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Bounding box of the pixels of area for which pick(x, y) holds.
template <typename Pick>
QRect BoxOf(const QRect& area, Pick pick) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (pick(x, y)) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

// Where the picture is not the colour background.
QRect InkBox(const QImage& image, QRgb background, QRect area = {}) {
    return BoxOf(area.isNull() ? image.rect() : area,
                 [&](int x, int y) { return image.pixel(x, y) != background; });
}

// Where two pictures of the same size differ.
QRect DiffBox(const QImage& a, const QImage& b) {
    return BoxOf(a.rect(), [&](int x, int y) { return a.pixel(x, y) != b.pixel(x, y); });
}

int CountPixels(const QImage& image, const QColor& color) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += image.pixel(x, y) == color.rgb() ? 1 : 0;
        }
    }
    return n;
}

// The icon as drawn at its own size; transparent pixels are 0.
QImage IconImage(int id) {
    return res::LoadIcon(id)
        .pixmap(QSize(16, 16), 1.0)
        .toImage()
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QRect OpaqueBox(int iconId) {
    return InkBox(IconImage(iconId), 0);
}

enum class Edge { None, Raised, Sunken };

// Which border the picture has, checked on all four sides including the far corners.
Edge EdgeOf(const QImage& image, const QPalette& palette) {
    const QRgb face = palette.color(QPalette::Button).rgb();
    const QRgb light = palette.color(QPalette::Light).rgb();
    const QRgb dark = palette.color(QPalette::Dark).rgb();
    const int right = image.width() - 1;
    const int bottom = image.height() - 1;
    auto sides = [&](QRgb topLeft, QRgb bottomRight) {
        for (int x = 0; x < right; ++x) {
            if (image.pixel(x, 0) != topLeft || image.pixel(x + 1, bottom) != bottomRight) {
                return false;
            }
        }
        for (int y = 0; y < bottom; ++y) {
            if (image.pixel(0, y) != topLeft || image.pixel(right, y + 1) != bottomRight) {
                return false;
            }
        }
        return image.pixel(right, 0) == bottomRight && image.pixel(0, bottom) == bottomRight;
    };
    if (sides(face, face)) {
        return Edge::None;
    }
    if (sides(light, dark)) {
        return Edge::Raised;
    }
    if (sides(dark, light)) {
        return Edge::Sunken;
    }
    return Edge(-1);
}

// Whether `with` differs from `without` exactly in a dotted outline of `outline`: every other
// pixel of its edge, in a checkerboard from its top-left corner, and nowhere else.
bool IsDottedOutline(const QImage& with, const QImage& without, const QRect& outline) {
    for (int y = 0; y < with.height(); ++y) {
        for (int x = 0; x < with.width(); ++x) {
            const bool onEdge =
                outline.contains(x, y) && (x == outline.left() || x == outline.right() ||
                                           y == outline.top() || y == outline.bottom());
            const bool dot = onEdge && (x - outline.left() + y - outline.top()) % 2 == 0;
            if ((with.pixel(x, y) != without.pixel(x, y)) != dot) {
                qWarning("pixel (%d, %d) %s", x, y, dot ? "is no dot" : "should be untouched");
                return false;
            }
        }
    }
    return true;
}

QString AccessibleName(QWidget* widget) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->text(QAccessible::Name) : QString();
}

}  // namespace

class TestButtons : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    void init() {
        m_pWindow = new QWidget;
        m_pWindow->resize(320, 200);
    }

    void cleanup() {
        // The next test starts with the mouse button up and the pointer over no button; a move
        // to where the pointer already is would never arrive.
        if (m_pWindow->isVisible()) {
            if (QGuiApplication::mouseButtons() & Qt::LeftButton) {
                QTest::mouseRelease(m_pWindow, Qt::LeftButton, {}, QPoint(1, 1));
            }
            QTest::mouseMove(m_pWindow, QPoint(1, 1));
        }
        delete m_pWindow;
        m_pWindow = nullptr;
    }

    void hoverAndPressDrawTheirBorders() {
        CHoverButton button(QStringLiteral("コピー"), m_pWindow);
        button.setGeometry(20, 20, 120, 30);
        button.LoadIcons(kCopyIcon);
        QVERIFY(ShowActive());
        const QPalette& pal = button.palette();
        QSignalSpy clicks(&button, &QAbstractButton::clicked);

        const QImage normal = Grab(button);
        QCOMPARE(EdgeOf(normal, pal), Edge::None);

        QTest::mouseMove(&button, QPoint(60, 15));
        QVERIFY(button.IsHover());
        const QImage hovered = Grab(button);
        QCOMPARE(EdgeOf(hovered, pal), Edge::Raised);

        QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(60, 15));
        const QImage pressed = Grab(button);
        QCOMPARE(EdgeOf(pressed, pal), Edge::Sunken);
        // Icon and caption move together by exactly one pixel right and down.
        const QRect inside = normal.rect().adjusted(1, 1, -1, -1);
        const QRgb face = pal.color(QPalette::Button).rgb();
        const QRect content = InkBox(normal, face, inside);
        QVERIFY(!content.isEmpty());
        QCOMPARE(InkBox(pressed, face, inside), content.translated(1, 1));

        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(60, 15));
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(EdgeOf(Grab(button), pal), Edge::Raised);

        QTest::mouseMove(m_pWindow, QPoint(250, 150));
        QVERIFY(!button.IsHover());
        QCOMPARE(Grab(button), normal);
    }

    void dragFromElsewhereDoesNotLight() {
        CHoverButton button(QStringLiteral("場所"), m_pWindow);
        button.setGeometry(20, 20, 120, 30);
        QVERIFY(ShowActive());

        QTest::mousePress(m_pWindow, Qt::LeftButton, {}, QPoint(250, 150));
        QTest::mouseMove(&button, QPoint(60, 15));
        QVERIFY(!button.IsHover());
        // Even if the move reaches the button itself, a held button keeps it dark.
        QMouseEvent move(QEvent::MouseMove, QPointF(60, 15), button.mapToGlobal(QPointF(60, 15)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&button, &move);
        QVERIFY(!button.IsHover());
        QCOMPARE(EdgeOf(Grab(button), button.palette()), Edge::None);

        // Once the button is up, the pointer over the button lights it.
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(60, 15));
        QTest::mouseMove(&button, QPoint(61, 15));
        QVERIFY(button.IsHover());
    }

    void inactiveApplicationDoesNotLight() {
        CHoverButton button(QStringLiteral("検索"), m_pWindow);
        button.setGeometry(20, 20, 120, 30);
        // Without focus, only the deactivation itself can end the hover.
        button.setFocusPolicy(Qt::NoFocus);
        QVERIFY(ShowActive());
        QTest::mouseMove(&button, QPoint(60, 15));
        QVERIFY(button.IsHover());

        QApplication::setActiveWindow(nullptr);
        QVERIFY(!button.IsHover());
        QTest::mouseMove(m_pWindow, QPoint(250, 150));
        QTest::mouseMove(&button, QPoint(60, 15));
        QVERIFY(!button.IsHover());
        QCOMPARE(EdgeOf(Grab(button), button.palette()), Edge::None);

        // Back in the foreground, the next move over it lights it without leaving first.
        QApplication::setActiveWindow(m_pWindow);
        QTest::mouseMove(&button, QPoint(61, 15));
        QVERIFY(button.IsHover());
    }

    void focusLossAndDisablingEndHover() {
        CHoverButton button(QStringLiteral("コピー"), m_pWindow);
        button.setGeometry(20, 20, 120, 30);
        CHoverButton other(QStringLiteral("場所"), m_pWindow);
        other.setGeometry(20, 80, 120, 30);
        QVERIFY(ShowActive());

        button.setFocus();
        QTest::mouseMove(&button, QPoint(60, 15));
        QVERIFY(button.IsHover());
        other.setFocus();
        QVERIFY(!button.IsHover());

        QTest::mouseMove(&button, QPoint(61, 15));
        QVERIFY(button.IsHover());
        button.setEnabled(false);
        QVERIFY(!button.IsHover());
        QCOMPARE(EdgeOf(Grab(button), button.palette()), Edge::None);
    }

    void disabledContentIsEmbossed() {
        CHoverButton button(m_pWindow);
        button.setGeometry(20, 20, 40, 30);
        button.LoadIcons(kCopyIcon);
        QVERIFY(ShowActive());
        const QImage enabled = Grab(button);
        button.setEnabled(false);
        const QImage disabled = Grab(button);
        QVERIFY(enabled != disabled);
        const QPalette& pal = button.palette();
        QCOMPARE(EdgeOf(disabled, pal), Edge::None);

        // Shadow over every opaque pixel of the icon, highlight one pixel right and down of it
        // where the icon itself is transparent.
        const QImage icon = IconImage(kCopyIcon);
        const QPoint origin((40 - 16) / 2, (30 - 16) / 2);
        int nLight = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                if (qAlpha(icon.pixel(x, y)) != 255) {
                    continue;
                }
                QCOMPARE(disabled.pixel(origin + QPoint(x, y)), pal.color(QPalette::Dark).rgb());
                const bool bBelowRightClear =
                    x == 15 || y == 15 || qAlpha(icon.pixel(x + 1, y + 1)) == 0;
                if (bBelowRightClear) {
                    QCOMPARE(disabled.pixel(origin + QPoint(x + 1, y + 1)),
                             pal.color(QPalette::Light).rgb());
                    ++nLight;
                }
            }
        }
        QVERIFY(nLight > 0);

        // A caption likewise: highlight and shadow, never the text colour.
        button.LoadIcons(0);
        button.setText(QStringLiteral("(^_^)"));
        button.setFont(FaceFont(20));
        button.resize(120, 40);
        const QColor text = pal.color(QPalette::Active, QPalette::ButtonText);
        const QImage caption = Grab(button);
        QVERIFY(CountPixels(caption, pal.color(QPalette::Dark)) > 0);
        QVERIFY(CountPixels(caption, pal.color(QPalette::Light)) > 0);
        QCOMPARE(CountPixels(caption, text), 0);
        button.setEnabled(true);
        QVERIFY(CountPixels(Grab(button), text) > 0);
    }

    void doubleClickIsTwoClicks() {
        CHoverButton button(QStringLiteral("^"), m_pWindow);
        button.setGeometry(20, 20, 60, 60);
        QVERIFY(ShowActive());
        QSignalSpy clicks(&button, &QAbstractButton::clicked);
        QSignalSpy presses(&button, &QAbstractButton::pressed);
        QTest::mouseDClick(&button, Qt::LeftButton);
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(presses.count(), 2);
        QVERIFY(!button.isDown());
    }

    void iconSitsLeftOfCaptionOrCentred() {
        const QRect opaque = OpaqueBox(kCopyIcon);
        QVERIFY(!opaque.isEmpty());

        CHoverButton alone(m_pWindow);
        alone.setGeometry(20, 20, 71, 31);
        alone.LoadIcons(kCopyIcon);
        QCOMPARE(alone.IconSize(), QSize(16, 16));
        // Width 71 and height 31 leave odd room: the halves truncate.
        const QRgb face = alone.palette().color(QPalette::Button).rgb();

        CHoverButton withCaption(QStringLiteral("コピー"), m_pWindow);
        withCaption.setGeometry(20, 60, 120, 31);
        withCaption.LoadIcons(kCopyIcon);
        // The same caption without icon, as wide as the room right of the icon.
        CHoverButton captionOnly(QStringLiteral("コピー"), m_pWindow);
        captionOnly.setGeometry(20, 100, 120 - 19, 31);
        QVERIFY(ShowActive());

        QCOMPARE(InkBox(Grab(alone), face), opaque.translated(27, 7));
        const QImage both = Grab(withCaption);
        QCOMPARE(InkBox(both, face, QRect(0, 0, 19, 31)), opaque.translated(3, 7));
        const QRect caption = InkBox(Grab(captionOnly), face);
        QVERIFY(!caption.isEmpty());
        QCOMPARE(InkBox(both, face, QRect(19, 0, 120 - 19, 31)), caption.translated(19, 0));

        // Without its icon, nothing is drawn where the icon was.
        withCaption.LoadIcons(9999);
        QCOMPARE(withCaption.IconSize(), QSize(0, 0));
        QVERIFY(InkBox(Grab(withCaption), face, QRect(0, 0, 19, 31)).isEmpty());
    }

    void hoverIconReplacesNormalIcon() {
        CHoverButton button(m_pWindow);
        button.setGeometry(20, 20, 40, 30);
        button.LoadIcons(kCopyIcon, kAddIcon);
        CHoverButton copy(m_pWindow);
        copy.setGeometry(20, 60, 40, 30);
        copy.LoadIcons(kCopyIcon);
        CHoverButton add(m_pWindow);
        add.setGeometry(20, 100, 40, 30);
        add.LoadIcons(kAddIcon);
        QVERIFY(ShowActive());

        QCOMPARE(Grab(button), Grab(add));
        QTest::mouseMove(&button);
        const QImage hovered = Grab(button);
        QTest::mouseMove(&copy);
        QCOMPARE(hovered, Grab(copy));
    }

    void ampersandMarksTheMnemonic() {
        CHoverButton marked(QStringLiteral("AB(&C)"), m_pWindow);
        marked.setGeometry(20, 20, 120, 30);
        CHoverButton plain(QStringLiteral("AB(C)"), m_pWindow);
        plain.setGeometry(20, 60, 120, 30);
        QVERIFY(ShowActive());

        // The same letters in the same place; only the underline below them differs.
        const QImage withMark = Grab(marked);
        const QImage without = Grab(plain);
        const QRect ink = InkBox(without, plain.palette().color(QPalette::Button).rgb());
        const QRect diff = DiffBox(withMark, without);
        QVERIFY(!diff.isEmpty());
        QVERIFY2(diff.height() <= 2, qPrintable(QString::number(diff.height())));
        QVERIFY(diff.top() > ink.center().y());
        QVERIFY(diff.left() > ink.left() && diff.right() < ink.right());
    }

    void tipsAndAccessibleNames() {
        CHoverButton button(QStringLiteral("場所"), m_pWindow);
        button.setGeometry(20, 20, 120, 30);
        button.EnableTip(true);
        QVERIFY(button.toolTip().isEmpty());

        button.SetTipTextFromResource(kFindByLocation, true);
        const QString location = res::LoadString(kFindByLocation);
        QCOMPARE(button.toolTip(), location);
        button.EnableTip(false);
        QVERIFY(button.toolTip().isEmpty());
        button.SetTipTextFromResource(1, true);  // no such string: the tip stays as it was
        button.SetTipText(QString(), true);
        QVERIFY(button.toolTip().isEmpty());
        button.EnableTip(true);
        QCOMPARE(button.toolTip(), location);
        button.SetTipTextFromResource(kFindByText, true);
        QCOMPARE(button.toolTip(), res::LoadString(kFindByText));

        button.setText(QStringLiteral("コピー(&C) && X"));
        QVERIFY(ShowActive());
        QCOMPARE(AccessibleName(&button), QStringLiteral("コピー(C) & X"));
        // Without a caption the tip names the button, and the caption takes over again.
        button.setText(QString());
        QTRY_COMPARE(AccessibleName(&button), res::LoadString(kFindByText));
        button.setText(QStringLiteral("検索"));
        QTRY_COMPARE(AccessibleName(&button), QStringLiteral("検索"));

        CIconButton add(QStringLiteral("一覧に追加(&A)..."), m_pWindow);
        QCOMPARE(AccessibleName(&add), QStringLiteral("一覧に追加(A)..."));
    }

    void iconButtonMovesContentWhenPressed() {
        CIconButton button(QStringLiteral("一覧に追加(&A)..."), m_pWindow);
        button.setGeometry(20, 20, 140, 24);
        QVERIFY(button.SetIconImage(kAddIcon, 16, 16));
        QCOMPARE(button.SetImagePos({4, 3}), QPoint(0, 0));
        QCOMPARE(button.SetTextPos({23, 4}), QPoint(0, 0));
        QCOMPARE(button.SetTextPos({23, 4}), QPoint(23, 4));
        // The bare face of the same button in the same state tells the content apart. Neither
        // takes the focus, whose rectangle is no content.
        CIconButton bare(m_pWindow);
        bare.setGeometry(20, 60, 140, 24);
        button.setFocusPolicy(Qt::NoFocus);
        bare.setFocusPolicy(Qt::NoFocus);
        QVERIFY(ShowActive());

        const QRect icon = OpaqueBox(kAddIcon);
        const QRect normal = DiffBox(Grab(button), Grab(bare));
        QCOMPARE(normal.topLeft(), QPoint(std::min(4 + icon.left(), 23), 3 + icon.top()));
        auto pressedGrab = [](CIconButton& target) {
            // The pointer ends over the last one pressed; both are grabbed while over them.
            QTest::mousePress(&target, Qt::LeftButton);
            const QImage image = Grab(target);
            QTest::mouseRelease(&target, Qt::LeftButton);
            return image;
        };
        QCOMPARE(DiffBox(pressedGrab(button), pressedGrab(bare)), normal.translated(1, 1));

        // Without an icon the caption stays where it was.
        QVERIFY(!button.SetIconImage(9999, 16, 16));
        QTest::mouseMove(m_pWindow, QPoint(300, 180));
        const QRect captionOnly = DiffBox(Grab(button), Grab(bare));
        QVERIFY(captionOnly.left() >= 23 && captionOnly.top() >= 4);
        QCOMPARE(captionOnly.right(), normal.right());
    }

    void iconButtonFocusRectangle() {
        QPushButton first(QStringLiteral("x"), m_pWindow);
        first.setGeometry(20, 20, 60, 24);
        auto addButton = [this](int y) {
            auto* button = new CIconButton(QStringLiteral("一覧に追加(&A)..."), m_pWindow);
            button->setGeometry(20, y, 140, 24);
            button->SetIconImage(kAddIcon, 16, 16);
            button->SetImagePos({4, 3});
            button->SetTextPos({23, 4});
            return button;
        };
        CIconButton& button = *addButton(60);
        // Never focused: the picture without focus rectangle.
        CIconButton& twin = *addButton(100);
        twin.setFocusPolicy(Qt::NoFocus);
        QVERIFY(ShowActive());
        first.setFocus();
        QCOMPARE(Grab(button), Grab(twin));
        const auto showsFocus = [&](int inset) {
            return IsDottedOutline(Grab(button), Grab(twin),
                                   button.rect().adjusted(inset, inset, -inset, -inset));
        };

        // However the focus comes, the same dotted rectangle shows it.
        QTest::keyClick(m_pWindow, Qt::Key_Tab);
        QVERIFY(button.hasFocus());
        QVERIFY(showsFocus(3));
        QTest::keyClick(m_pWindow, Qt::Key_Backtab);
        QVERIFY(!button.hasFocus());
        QCOMPARE(Grab(button), Grab(twin));

        QTest::mouseClick(&button, Qt::LeftButton);
        QVERIFY(button.hasFocus());
        QTest::mouseMove(m_pWindow, QPoint(300, 180));
        QVERIFY(showsFocus(3));
        first.setFocus();
        QCOMPARE(Grab(button), Grab(twin));

        button.setFocus();
        QVERIFY(showsFocus(3));
        // A low button is inset by a quarter of its height.
        button.resize(140, 10);
        twin.resize(140, 10);
        QVERIFY(showsFocus(2));

        button.setEnabled(false);
        twin.setEnabled(false);
        QCOMPARE(Grab(button), Grab(twin));
    }

private:
    bool ShowActive() {
        m_pWindow->show();
        QApplication::setActiveWindow(m_pWindow);
        return QTest::qWaitForWindowActive(m_pWindow);
    }

    QWidget* m_pWindow = nullptr;
};

}  // namespace mopira

QTEST_MAIN(mopira::TestButtons)
#include "test_buttons.moc"
