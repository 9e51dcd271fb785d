#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "MainDlgFixture.h"
#include "core/app/ControlIds.h"
#include "ui/controls/HoverButton.h"
#include "ui/controls/TipToolBar.h"
#include "ui/platform/Fonts.h"

namespace mopira {

using test::CMainDlgFixture;

class TestCreateTab : public QObject {
    Q_OBJECT

private:
    struct Session {
        CMainDlgFixture fixture;
        CMainDlg* dialog = nullptr;
        QListWidget* types = nullptr;
        QTreeWidget* variations = nullptr;

        Session() {
            fixture.WriteFile(
                QStringLiteral("Eye.dat"),
                test::Sjis("にっこり\r\n^\r\n^\r\nたれ目\r\n´\r\n｀\r\nなみだ\r\nT\r\nT\r\n"));
            fixture.WriteFile(QStringLiteral("Mouth.dat"),
                              test::Sjis("ふつう\r\n_\r\nむにゅ\r\nω\r\n"));
            fixture.WriteFile(QStringLiteral("Edge.dat"),
                              test::Sjis("基本\r\n(\r\n)\r\n片手\r\nヽ(\r\nnone\r\n"));
            // Emotion.dat is missing: that category has no rows.
            fixture.WriteSetting(QStringLiteral("Window/Tab"), 1);
            dialog = fixture.Open();
            types = fixture.Child<QListWidget>("m_lstType");
            variations = fixture.Child<QTreeWidget>("m_lstVariation");
        }

        QString Face() const { return test::Decode(dialog->GetCurrentFace()); }
        CHoverButton* Button(const char* name) const { return fixture.Child<CHoverButton>(name); }
        void Check(int row, bool on) const {
            types->item(row)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        }
    };

private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    // Enter presses the button that has the focus; on the lists it copies the face.
    void enterPressesTheFocusedButton() {
        Session s;
        QVERIFY(s.dialog);
        int draws = 0;
        s.dialog->CreatePage().SetRandomSource([&draws] { return static_cast<unsigned>(++draws); });
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        auto* random = s.fixture.Child<QPushButton>("m_btnRandom");
        random->setFocus();
        QTest::keyClick(random, Qt::Key_Return);
        QVERIFY(draws > 0);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));

        CHoverButton* eye = s.Button("m_btnEyeLeft");
        const QString caption = eye->text();
        eye->setFocus();
        QTest::keyClick(eye, Qt::Key_Enter);
        QVERIFY(eye->text() != caption);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));

        s.types->setFocus();
        QTest::keyClick(s.types, Qt::Key_Return);
        QCOMPARE(QGuiApplication::clipboard()->text(), s.Face());
    }

    void aPartThatTakesNoRoomIsNoTabStop() {
        Session s;
        QVERIFY(s.dialog);
        // The left feeling mark is empty and unticked: Tab goes from the left edge to the eye.
        QCOMPARE(s.Button("m_btnEmotionLeft")->width(), 0);
        s.Button("m_btnEdgeLeft")->setFocus();
        QTest::keyClick(s.Button("m_btnEdgeLeft"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), s.Button("m_btnEyeLeft"));
        s.Check(0, false);
        s.dialog->GetCurrentFace();
        s.Button("m_btnEdgeLeft")->setFocus();
        QTest::keyClick(s.Button("m_btnEdgeLeft"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), s.Button("m_btnMouth"));
    }

    // A face wider than its box is drawn smaller, never past the box; the text stays whole.
    void aWideFaceIsDrawnSmallerToFit() {
        CMainDlgFixture fixture;
        fixture.WriteFile(QStringLiteral("Edge.dat"), test::Sjis("かべ\r\n┬┴┬┴┤\r\n├┬┴┬┴\r\n"));
        fixture.WriteFile(QStringLiteral("Eye.dat"),
                          test::Sjis("長い\r\n(≧▽≦ﾉ)ﾉﾉﾉ\r\n(≧▽≦ﾉ)ﾉﾉﾉ\r\n"));
        fixture.WriteSetting(QStringLiteral("Window/Tab"), 1);
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        for (const char* name : {"m_btnEdgeLeft", "m_btnEyeLeft", "m_btnEyeRight"}) {
            QTest::mouseClick(fixture.Child<QWidget>(name), Qt::LeftButton);
        }
        const std::string face = dialog->GetCurrentFace();
        QVERIFY(test::Decode(face).startsWith(QStringLiteral("┬┴┬┴┤(≧▽≦ﾉ)ﾉﾉﾉ")));
        auto* box = fixture.Child<QWidget>("m_grpFace");
        auto* right = fixture.Child<QWidget>("m_btnEdgeRight");
        const auto fits = [&] {
            QVERIFY2(right->geometry().right() <= box->geometry().right(),
                     qPrintable(QStringLiteral("%1 > %2")
                                    .arg(right->geometry().right())
                                    .arg(box->geometry().right())));
        };
        fits();
        QVERIFY(right->font().pointSize() < 40);
        QVERIFY(right->font().pointSize() >= 14);
        // At the smallest window it still fits, smaller yet.
        dialog->resize(dialog->minimumSize());
        fits();
        // A wider window gives the face its full size back.
        dialog->resize(1600, dialog->height());
        QCOMPARE(right->font().pointSize(), 40);
        dialog->OnOK();
        QCOMPARE(QGuiApplication::clipboard()->text(), test::Decode(face));
    }

    void startsWithTheTemplateFace() {
        Session s;
        QVERIFY(s.dialog);
        QCOMPARE(s.dialog->windowTitle(), QStringLiteral("作成 - モピラ"));
        QCOMPARE(s.Face(), QStringLiteral("(^_^)"));
        QVERIFY(s.fixture.Child<QWidget>("m_btnCopy")->isEnabled());
        QCOMPARE(s.variations->topLevelItemCount(), 0);
        QVERIFY(s.types->selectedItems().isEmpty());
        QCOMPARE(s.types->item(3)->checkState(), Qt::Unchecked);
        // The buttons stand side by side from x 25 on, as wide as their captions.
        int x = 25;
        for (const char* name : {"m_btnEdgeLeft", "m_btnEmotionLeft", "m_btnEyeLeft", "m_btnMouth",
                                 "m_btnEyeRight", "m_btnEmotionRight", "m_btnEdgeRight"}) {
            QCOMPARE(s.Button(name)->x(), x);
            QCOMPARE(s.Button(name)->y(), 85);
            x += s.Button(name)->width();
        }
        QCOMPARE(s.Button("m_btnEmotionRight")->width(), 0);
        QVERIFY(s.Button("m_btnMouth")->width() > 0);

        QApplication::clipboard()->clear();
        QTest::keyClick(s.dialog, Qt::Key_Return);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("(^_^)"));
    }

    void checksIncludeAndLeaveOutParts() {
        Session s;
        s.Check(3, true);
        QCOMPARE(s.Face(), QStringLiteral("(^_^;)"));
        QVERIFY(s.Button("m_btnEmotionRight")->width() > 0);
        QCOMPARE(s.Button("m_btnEmotionLeft")->width(), 0);  // empty caption

        const int eyeWidth = s.Button("m_btnEyeLeft")->width();
        s.Check(0, false);
        QCOMPARE(s.Face(), QStringLiteral("(_;)"));
        QCOMPARE(s.Button("m_btnEyeLeft")->width(), 0);
        QCOMPARE(s.Button("m_btnEyeRight")->width(), 0);
        s.Check(0, true);
        QCOMPARE(s.Button("m_btnEyeLeft")->width(), eyeWidth);
        QCOMPARE(s.Face(), QStringLiteral("(^_^;)"));

        for (int row = 0; row < 4; ++row) {
            s.Check(row, false);
        }
        QCOMPARE(s.Face(), QString());
        QVERIFY(!s.fixture.Child<QWidget>("m_btnCopy")->isEnabled());
        QVERIFY(!s.fixture.Child<CTipToolBar>("m_tbarList")->IsButtonEnabled(id::kDelete));
    }

    void partButtonsStepTheirCategory() {
        Session s;
        QTest::mouseClick(s.Button("m_btnEyeRight"), Qt::LeftButton);
        QCOMPARE(s.types->currentRow(), 0);  // 目 chosen, as a click on the left eye does
        QCOMPARE(s.variations->topLevelItemCount(), 3);
        QCOMPARE(s.variations->topLevelItem(1)->text(2), QStringLiteral("｀"));
        QCOMPARE(s.Face(), QStringLiteral("(´_｀)"));
        QCOMPARE(s.variations->indexOfTopLevelItem(s.variations->currentItem()), 1);
        QTest::mouseClick(s.Button("m_btnEyeLeft"), Qt::LeftButton);
        QCOMPARE(s.Face(), QStringLiteral("(T_T)"));
        QTest::mouseClick(s.Button("m_btnEyeLeft"), Qt::LeftButton);
        QCOMPARE(s.Face(), QStringLiteral("(^_^)"));  // wraps to the first row

        // "none" empties the right hand; the face loses it.
        QTest::mouseClick(s.Button("m_btnEdgeLeft"), Qt::LeftButton);
        QCOMPARE(s.Face(), QStringLiteral("ヽ(^_^"));
        QCOMPARE(s.Button("m_btnEdgeRight")->width(), 0);

        // Choosing a row in the variation list applies it.
        s.variations->setCurrentItem(s.variations->topLevelItem(0));
        QCOMPARE(s.Face(), QStringLiteral("(^_^)"));

        // A category without rows keeps its parts.
        s.Check(3, true);
        QTest::mouseClick(s.Button("m_btnEmotionRight"), Qt::LeftButton);
        QCOMPARE(s.Face(), QStringLiteral("(^_^;)"));
        QCOMPARE(s.types->currentRow(), 3);
    }

    void randomDrawsForCheckedCategoriesOnly() {
        Session s;
        int draws = 0;
        s.dialog->CreatePage().SetRandomSource([&draws] {
            ++draws;
            return 2u;
        });
        QTest::mouseClick(s.fixture.Child<QWidget>("m_btnRandom"), Qt::LeftButton);
        QCOMPARE(draws, 3);
        QCOMPARE(s.Face(), QStringLiteral("(T_T)"));  // eye 2 % 3, mouth 2 % 2, edge 2 % 2

        for (int row = 0; row < 4; ++row) {
            s.Check(row, false);
        }
        draws = 0;
        QTest::mouseClick(s.fixture.Child<QWidget>("m_btnRandom"), Qt::LeftButton);
        QCOMPARE(draws, 0);
        s.Check(0, true);
        QCOMPARE(s.Face(), QStringLiteral("TT"));  // the captions stayed as they were
    }

    void typeListShowsTheChosenCategory() {
        Session s;
        s.types->setCurrentRow(1);
        QCOMPARE(s.variations->topLevelItemCount(), 2);
        QCOMPARE(s.variations->topLevelItem(1)->text(1), QStringLiteral("ω"));
        QCOMPARE(s.variations->topLevelItem(1)->text(2), QString());
        QCOMPARE(s.variations->indexOfTopLevelItem(s.variations->currentItem()), 0);
    }
};

}  // namespace mopira

QTEST_MAIN(mopira::TestCreateTab)
#include "test_create_tab.moc"
