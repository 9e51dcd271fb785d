// The window driven by the keyboard alone: the list's keys, finding by keys, the list's menu
// from the keyboard, the words of an empty list and the order Tab visits the controls in.
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "ListTabSession.h"
#include "core/app/ControlIds.h"
#include "ui/controls/SortListCtrl.h"
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
            QTimer::singleShot(0, [&at] {
                if (QWidget* menu = QApplication::activePopupWidget()) {
                    at = menu->pos();
                    menu->close();
                }
            });
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

    // An empty list says why; a list with rows says nothing.
    void anEmptyListSaysSo() {
        Session empty(test::FaceList({}));
        QCOMPARE(empty.Placeholder(), QStringLiteral("顔文字がありません"));
        empty.ChooseFolder(QStringLiteral("最近使った顔文字"));
        QCOMPARE(empty.Placeholder(), QStringLiteral("まだ何もコピーしていません"));

        Session s;
        QCOMPARE(s.Placeholder(), QString());
        s.SearchFor(QStringLiteral("x"));
        QCOMPARE(s.Placeholder(), QStringLiteral("見つかりません"));
        s.edit->clear();
        QCOMPARE(s.Placeholder(), QString());
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
};

}  // namespace mopira

QTEST_MAIN(mopira::TestKeys)
#include "test_keys.moc"
