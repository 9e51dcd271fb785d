#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "ui/platform/DataStore.h"
#include "ui/platform/DialogUnits.h"
#include "ui/platform/Fonts.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/ModalSeam.h"

namespace mopira {

class TestAppSupport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    void readCreatesMissingFilesAndNeverTruncates() {
        QTemporaryDir dir;
        CDataStore store(dir.path());
        QVERIFY(store.Read(QStringLiteral("Eye.dat")).empty());
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("Eye.dat"))));
        QCOMPARE(QFile(dir.filePath(QStringLiteral("Eye.dat"))).size(), 0);

        QFile existing(dir.filePath(QStringLiteral("Mouth.dat")));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("A\r\nF\r\n\r\n");
        existing.close();
        QCOMPARE(store.Read(QStringLiteral("Mouth.dat")), std::string("A\r\nF\r\n\r\n"));
        QCOMPARE(existing.size(), 8);

        CDataStore nowhere(dir.filePath(QStringLiteral("missing/folder")));
        QVERIFY(nowhere.Read(QStringLiteral("Eye.dat")).empty());
        QVERIFY(!nowhere.IsWritable());
        QVERIFY(store.IsWritable());
    }

    void dialogUnitsFollowTheFont() {
        const CDialogUnits units(FaceFont(9));
        QVERIFY(units.BaseX() >= 4 && units.BaseX() <= 9);
        QVERIFY(units.BaseY() >= 10 && units.BaseY() <= 16);
        QCOMPARE(units.X(4), units.BaseX());
        QCOMPARE(units.Y(8), units.BaseY());
        QCOMPARE(units.Rect(0, 0, 8, 16).size(), QSize(2 * units.BaseX(), 2 * units.BaseY()));
    }

    void seamsAnswerMessagesAndDialogs() {
        CMessageBoxSeam messages;
        messages.AnswerNext(MessageAnswer::Yes);
        QCOMPARE(ShowMessage(nullptr, QStringLiteral("q?"), MessageButtons::YesNo),
                 MessageAnswer::Yes);
        QCOMPARE(ShowMessage(nullptr, QStringLiteral("again?"), MessageButtons::YesNo),
                 MessageAnswer::No);
        QCOMPARE(messages.Shown(), (QStringList{QStringLiteral("q?"), QStringLiteral("again?")}));

        QDialog dialog;
        auto* edit = new QLineEdit(&dialog);
        CModalSeam modal([&](QDialog& shown) {
            QVERIFY(shown.isVisible());
            QTest::keyClicks(edit, QStringLiteral("typed"));
            shown.accept();
        });
        QCOMPARE(RunModal(dialog), int(QDialog::Accepted));
        QCOMPARE(edit->text(), QStringLiteral("typed"));
        modal.SetHandler([](QDialog&) {});
        QCOMPARE(RunModal(dialog), int(QDialog::Rejected));  // left open counts as cancelled
        QVERIFY(!dialog.isVisible());
        QCOMPARE(modal.Runs(), 2);
    }
};

}  // namespace mopira

QTEST_MAIN(mopira::TestAppSupport)
#include "test_app_support.moc"
