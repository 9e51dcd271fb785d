// The window driven by the keyboard alone: the list's keys, finding by keys, the list's menu
// from the keyboard, the words of an empty list and the order Tab visits the controls in.
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "ListTabSession.h"
#include "core/app/ControlIds.h"
#include "ui/controls/SortListCtrl.h"
#include "ui/controls/TipToolBar.h"
#include "ui/platform/Fonts.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/ModalSeam.h"

namespace mopira {

namespace {

std::string Library() {
    return test::FaceList({{"(^_^)", "笑顔"},
                           {"(^o^)", "笑顔"},
                           {"(T_T)", "涙"},
                           {"(;_;)", "涙"},
                           {"m(_ _)m", "その他"}});
}

struct Session : test::CListTabSession {
    explicit Session(const std::string& library = Library()) : CListTabSession(library) {
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
    }
    // The widget that has the focus gets the key, as the user's keyboard gives it.
    static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    }
    QString Copied() const {
        QGuiApplication::clipboard()->setText(QStringLiteral("-"));
        Press(Qt::Key_Return);
        return QGuiApplication::clipboard()->text();
    }
    QString Placeholder() const { return list->PlaceholderText(); }
};

}  // namespace

class TestKeys : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    // Each key runs what its button runs, only where the button would; after a start and
    // after a delete a row is selected, so Enter copies at once.
    void theListIsDrivenByKeys() {
        Session s;
        QVERIFY(s.list->CurrentView()->hasFocus());
        QCOMPARE(s.Copied(), QStringLiteral("(;_;)"));

        QStringList opened;
        CModalSeam seam([&opened](QDialog& dialog) { opened << dialog.windowTitle(); });
        CMessageBoxSeam messages;
        const struct {
            int key;
            Qt::KeyboardModifiers modifiers;
            int selected;  // rows selected first
            QString opens;
        } keys[] = {
            {Qt::Key_Insert, Qt::NoModifier, 1, QStringLiteral("一覧の追加")},
            {Qt::Key_N, Qt::ControlModifier, 1, QStringLiteral("一覧の追加")},
            {Qt::Key_F2, Qt::NoModifier, 1, QStringLiteral("プロパティ")},
            {Qt::Key_Return, Qt::AltModifier, 1, QStringLiteral("プロパティ")},
            {Qt::Key_F2, Qt::NoModifier, 2, QString()},  // no properties for two
            {Qt::Key_M, Qt::ControlModifier, 1, QStringLiteral("移動")},
            {Qt::Key_M, Qt::ControlModifier, 2, QStringLiteral("移動")},
        };
        for (const auto& key : keys) {
            opened.clear();
            s.Select(key.selected == 1 ? std::initializer_list<int>{1}
                                       : std::initializer_list<int>{1, 2});
            s.Press(key.key, key.modifiers);
            QCOMPARE(opened, key.opens.isEmpty() ? QStringList() : QStringList{key.opens});
        }
        QVERIFY(messages.Shown().isEmpty());

        // Delete asks; a Yes leaves the row that took the deleted one's place selected.
        s.Select({1});
        messages.AnswerNext(MessageAnswer::Yes);
        s.Press(Qt::Key_Delete);
        QCOMPARE(messages.Shown().size(), 1);
        QTRY_COMPARE(s.Rows().size(), 4);
        QCOMPARE(s.SelectedTexts(), QStringList{QStringLiteral("(^_^)")});
        QCOMPARE(s.Copied(), QStringLiteral("(^_^)"));

        // In the search box, Delete is the box's own.
        s.Command(id::kFindByText);
        s.Press(Qt::Key_A);
        s.Press(Qt::Key_Home);
        s.Press(Qt::Key_Delete);
        QCOMPARE(messages.Shown().size(), 1);
        QCOMPARE(s.edit->text(), QString());
    }

    // Choosing 検索 or Ctrl+F puts the focus in the box; every search selects its first
    // result, Down and Up move through them from the box, and Enter copies.
    void findingByKeys() {
        Session s;
        s.Command(id::kFindByText);
        QCOMPARE(QApplication::focusWidget(), s.edit);
        QTest::keyClicks(s.edit, QStringLiteral("_"));
        QCOMPARE(s.Rows(), (QStringList{"(;_;)", "(T_T)", "(^_^)", "m(_ _)m"}));
        QCOMPARE(s.SelectedTexts(), QStringList{"(;_;)"});
        s.Press(Qt::Key_Down);
        s.Press(Qt::Key_Down);
        s.Press(Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), s.edit);
        QCOMPARE(s.SelectedTexts(), QStringList{"(T_T)"});
        QCOMPARE(s.Copied(), QStringLiteral("(T_T)"));
        QTest::keyClicks(s.edit, QStringLiteral("T"));
        QCOMPARE(s.SelectedTexts(), QStringList{"(T_T)"});

        // Nothing found says so.
        QTest::keyClicks(s.edit, QStringLiteral("x"));
        QCOMPARE(s.Rows(), QStringList());
        QCOMPARE(s.Placeholder(), QStringLiteral("見つかりません"));
        s.Press(Qt::Key_Backspace);
        QCOMPARE(s.Placeholder(), QString());
        QTest::keyClicks(s.edit, QStringLiteral("x"));

        // Ctrl+F from the list: back to the box, its text ready to be typed over; from the
        // folder view, to the box as well.
        s.list->CurrentView()->setFocus();
        s.Press(Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), s.edit);
        QCOMPARE(s.edit->selectedText(), QStringLiteral("_Tx"));
        s.Command(id::kFindByLocation);
        s.list->CurrentView()->setFocus();
        s.Press(Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), s.edit);
        QCOMPARE(s.fixture.Child<QWidget>("m_cbxFolder")->isVisible(), false);
    }

    // Shift+F10 and the menu key open the list's menu at the current row, not at a corner.
    void theMenuFromTheKeyboardOpensAtTheCurrentRow() {
        Session s;
        QTableView* view = s.list->DetailsView();
        s.list->SelectRow(3);
        const QRect row(
            view->viewport()->mapToGlobal(view->visualRect(view->currentIndex()).topLeft()),
            view->visualRect(view->currentIndex()).size());
        for (const bool menuKey : {false, true}) {
            QPoint at;
            test::OnNextPopup([&at](QMenu& menu) { at = menu.pos(); });
            if (menuKey) {
                QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(), QPoint());
                QApplication::sendEvent(view->viewport(), &event);
            } else {
                QTest::keyClick(view, Qt::Key_F10, Qt::ShiftModifier);
            }
            QVERIFY2(at.y() >= row.top() && at.y() <= row.bottom() + 1 && at.x() >= row.left() &&
                         at.x() < row.right(),
                     qPrintable(QStringLiteral("%1,%2").arg(at.x()).arg(at.y())));
        }
    }

    // An empty list says why.
    void anEmptyListSaysSo() {
        Session empty(test::FaceList({}));
        QCOMPARE(empty.Placeholder(), QStringLiteral("顔文字がありません"));
        empty.ChooseFolder(QStringLiteral("最近使った顔文字"));
        QCOMPARE(empty.Placeholder(), QStringLiteral("まだ何もコピーしていません"));
    }

    // Tab visits every control of the shown page in reading order, the toolbars' buttons
    // among them, and comes round again.
    void tabFollowsTheReadingOrder() {
        Session s;
        const auto visits = [] {
            QStringList names;
            QWidget* first = QApplication::focusWidget();
            do {
                QWidget* focus = QApplication::focusWidget();
                // A control by its name: a toolbar's button or a list's view by its owner's.
                QWidget* named = focus;
                while (!named->objectName().startsWith(QLatin1String("m_"))) {
                    named = named->parentWidget();
                }
                names << named->objectName();
                QTest::keyClick(focus, Qt::Key_Tab);
            } while (QApplication::focusWidget() != first && names.size() < 40);
            return names;
        };
        s.fixture.Child<QWidget>("m_btnCopy")->setFocus();
        QStringList list = visits();
        list.removeDuplicates();
        QCOMPARE(list, (QStringList{"m_btnCopy", "m_tbarTop", "m_tab", "m_btnLocation",
                                    "m_cbxFolder", "m_tbarList", "m_lstFace"}));

        s.fixture.Child<QTabBar>("m_tab")->setCurrentIndex(1);
        s.fixture.Child<QWidget>("m_btnCopy")->setFocus();
        QStringList create = visits();
        create.removeDuplicates();
        // A part of the face shows that it has the focus.
        QWidget* part = s.fixture.Child<QWidget>("m_btnMouth");
        const QImage unfocused = part->grab().toImage();
        part->setFocus();
        QVERIFY(part->grab().toImage() != unfocused);
        QCOMPARE(create,
                 (QStringList{"m_btnCopy", "m_tbarTop", "m_tab", "m_btnEdgeLeft", "m_btnEyeLeft",
                              "m_btnMouth", "m_btnEyeRight", "m_btnEdgeRight", "m_btnAdd",
                              "m_btnRandom", "m_lstType", "m_lstVariation"}));
    }

    // On a dark palette the kinds' check boxes show, ticked or not, and the pin's grey picture
    // turns light.
    void aDarkPaletteKeepsEveryControlLegible() {
        const QPalette before = QApplication::palette();
        QPalette dark = before;
        for (const auto& [role, color] : {std::pair{QPalette::Window, QColor(45, 45, 45)},
                                          {QPalette::Base, QColor(30, 30, 30)},
                                          {QPalette::Button, QColor(53, 53, 53)},
                                          {QPalette::WindowText, QColor(Qt::white)},
                                          {QPalette::Text, QColor(Qt::white)},
                                          {QPalette::ButtonText, QColor(Qt::white)}}) {
            dark.setColor(role, color);
        }
        QApplication::setPalette(dark);
        Session s(Library());
        s.fixture.Child<QTabBar>("m_tab")->setCurrentIndex(1);
        // Pixels drawn light, of those drawn at all.
        const auto lightShare = [](const QImage& image) {
            int light = 0;
            int drawn = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QColor color = image.pixelColor(x, y);
                    drawn += color.alpha() > 0 ? 1 : 0;
                    light += color.alpha() > 0 && color.lightness() > 128 ? 1 : 0;
                }
            }
            return std::pair{light, drawn};
        };
        auto* kinds = s.fixture.Child<QListWidget>("m_lstType");
        const QRect unticked = kinds->visualItemRect(kinds->item(3));  // 気持ち
        QCOMPARE(kinds->item(3)->checkState(), Qt::Unchecked);
        const QImage row = kinds->viewport()->grab(unticked).toImage();
        QVERIFY(lightShare(row.copy(0, 0, unticked.height(), unticked.height())).first > 4);

        auto* top = s.fixture.Child<CTipToolBar>("m_tbarTop");
        const QImage pin = top->ButtonFor(id::kTopMost)->icon().pixmap(16, 15).toImage();
        const auto [light, drawn] = lightShare(pin);
        QVERIFY(light * 4 >= drawn * 3);
        QApplication::setPalette(before);
    }
};

}  // namespace mopira

QTEST_MAIN(mopira::TestKeys)
#include "test_keys.moc"
