#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <memory>

#include "LibraryFiles.h"
#include "store/DataStore.h"
#include "ui/app/QtTranslation.h"
#include "ui/platform/DialogUnits.h"
#include "ui/platform/Fonts.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/ModalSeam.h"

namespace mopira {

namespace {

QString LabelText(const QMessageBox& box) {
    const auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    return label && label->textFormat() == Qt::PlainText ? label->text() : QString();
}

QStringList ButtonTexts(const QMessageBox& box) {
    QStringList texts;
    for (const QAbstractButton* button : box.buttons()) {
        texts << button->text();
    }
    texts.sort();
    return texts;
}

}  // namespace

class TestAppSupport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    // A logout, a shutdown or kill: the change made a moment before is saved, as at a close,
    // and the program ends of its own, writing its settings.
    void aSignalEndsTheProgramAsItsCloseDoes() {
        QTemporaryDir dir;
        const std::string library = test::ManyRecords(200000);  // a save takes a while
        QVERIFY(test::WriteBytes(dir.filePath(QStringLiteral("FaceList.dat")), library));
        for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
            QProcess child;
            child.start(QStringLiteral(MOPIRA_TEST_CHILD),
                        {QStringLiteral("signal-save"), dir.path()});
            QVERIFY(child.waitForReadyRead(20000));
            QCOMPARE(child.readAll(), QByteArray("changed\n"));
            ::kill(static_cast<pid_t>(child.processId()), signal);
            QVERIFY(child.waitForFinished(20000));
            QCOMPARE(child.exitStatus(), QProcess::NormalExit);
            QCOMPARE(child.exitCode(), 0);
            QVERIFY(test::ReadBytes(dir.filePath(QStringLiteral("FaceList.dat"))) ==
                    library + "added\r\nnew\r\n\r\n");
            QVERIFY(test::WriteBytes(dir.filePath(QStringLiteral("FaceList.dat")), library));
        }

        // The program itself, on its own folder and settings.
        QTemporaryDir config;
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(MOPIRA_PROGRAM), {QStringLiteral("--data-dir"), dir.path()});
        QVERIFY(program.waitForStarted(10000));
        QTest::qWait(1500);
        ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(QFile::exists(config.filePath(QStringLiteral("mopira.ini"))));
    }

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

    void messageBoxesShowEmoticonsAsTyped() {
        // Emoticons look like markup and entities; the box shows them character for character.
        const QStringList texts{QStringLiteral("'<b>(^_^)</b>' を削除してもよろしいですか?"),
                                QStringLiteral("A&lt;B"),
                                QStringLiteral("<i>(・∀・)</i>\n&amp; 二行目")};
        for (const QString& text : texts) {
            const std::unique_ptr<QMessageBox> box =
                CreateMessageBox(nullptr, text, MessageButtons::YesNo, MessageIcon::Question);
            box->show();
            QVERIFY(QTest::qWaitForWindowExposed(box.get()));
            QCOMPARE(LabelText(*box), text);
        }
    }

    void messageBoxesAnswerInJapanese() {
        // The box ShowMessage runs itself, answered through its buttons.
        QStringList shown;
        QStringList captions;
        const auto answer = [&](const char* key) {
            QTimer::singleShot(0, [&, key] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                shown << LabelText(*box);
                captions << ButtonTexts(*box).join(u'|');
                if (qstrcmp(key, "no") == 0) {
                    QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
                } else {
                    QTest::keyClick(box, Qt::Key_Return);
                }
            });
        };
        answer("no");
        QCOMPARE(ShowMessage(nullptr, QStringLiteral("<b>x</b>?"), MessageButtons::YesNo),
                 MessageAnswer::No);
        answer("enter");  // Yes is the default answer
        QCOMPARE(ShowMessage(nullptr, QStringLiteral("y?"), MessageButtons::YesNo),
                 MessageAnswer::Yes);
        answer("enter");
        QCOMPARE(ShowMessage(nullptr, QStringLiteral("A&lt;B")), MessageAnswer::Ok);
        QCOMPARE(shown, (QStringList{QStringLiteral("<b>x</b>?"), QStringLiteral("y?"),
                                     QStringLiteral("A&lt;B")}));
        const QString yesNo = QStringLiteral("いいえ(&N)|はい(&Y)");
        QCOMPARE(captions, (QStringList{yesNo, yesNo, QStringLiteral("OK")}));
    }

    void qtsOwnMenusSpeakJapanese() {
        const QString file =
            QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ja.qm");
        if (!QFile::exists(file)) {
            QSKIP("Qt's Japanese translation is not installed (qt6-translations-l10n)");
        }
        QVERIFY(InstallQtTranslation());
        QVERIFY(InstallQtTranslation());
        QLineEdit edit(QStringLiteral("(^_^)"));
        const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList items;
        for (const QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                items << action->text().section(u'\t', 0, 0);
            }
        }
        QVERIFY(items.contains(QStringLiteral("切り取り(&T)")));
        QVERIFY(items.contains(QStringLiteral("コピー(&C)")));
        QVERIFY(items.contains(QStringLiteral("貼り付け(&P)")));
        // No item is left in English.
        const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
        QCOMPARE(items.filter(word), QStringList());
    }
};

}  // namespace mopira

QTEST_MAIN(mopira::TestAppSupport)
#include "test_app_support.moc"
