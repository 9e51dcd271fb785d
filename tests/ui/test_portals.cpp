// The desktop portal's ways on a Wayland desktop, against a stand-in portal on a bus of the
// test's own: the shortcut bound from Hotkey= and its presses toggling the window; the paste
// typed through the remote keyboard, which the desktop grants once and a token restores; and
// what the user is told when the desktop declines or has no portal.
#include <QAbstractItemView>
#include <QSignalSpy>
#include <QTest>

#include "MainDlgFixture.h"
#include "PortalStandIn.h"
#include "ui/controls/SortListCtrl.h"
#include "ui/platform/Fonts.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/PortalShortcut.h"

namespace mopira {

using test::CMainDlgFixture;
using test::CPortalStandIn;

namespace {

void WriteText(const CMainDlgFixture& fixture, const QString& key, const QString& value) {
    QSettings(fixture.SettingsPath(), QSettings::IniFormat).setValue(key, value);
}

// The keysyms and states NotifyKeyboardKeysym was called with.
QList<QPair<int, uint>> TypedKeys(const CPortalStandIn& portal) {
    QList<QPair<int, uint>> keys;
    for (const CPortalStandIn::Call& call :
         portal.CallsOf(QStringLiteral("NotifyKeyboardKeysym"))) {
        keys << qMakePair(call.arguments.at(2).toInt(), call.arguments.at(3).toUInt());
    }
    return keys;
}

// One emoticon, and a copy that hides the window and pastes.
void WritePastingLibrary(const CMainDlgFixture& fixture) {
    fixture.WriteFile(QStringLiteral("FaceList.dat"), test::FaceList({{"(^_^)", "笑顔"}}));
    fixture.WriteSetting(QStringLiteral("Window/HideAfterCopy"), 1);
    fixture.WriteSetting(QStringLiteral("Window/PasteAfterCopy"), 1);
}

// Enter on the library's one emoticon, the window active.
bool CopyTheEmoticon(CMainDlgFixture& fixture) {
    auto* list = fixture.Child<CSortListCtrl>("m_lstFace");
    if (!QTest::qWaitFor([list] { return list->CurrentView()->model()->rowCount() == 1; })) {
        return false;
    }
    list->SelectRow(0);
    fixture.Dialog()->activateWindow();
    if (!QTest::qWaitForWindowActive(fixture.Dialog())) {
        return false;
    }
    QTest::keyClick(list->CurrentView(), Qt::Key_Return);
    return true;
}

}  // namespace

class TestPortals : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QString why;
        if (!m_portal.StartBus(&why)) {
            QSKIP(qPrintable(why));
        }
        // A Wayland desktop without virtual keyboards, as KDE Plasma and GNOME are.
        qputenv("XDG_SESSION_TYPE", "wayland");
        qunsetenv("WAYLAND_DISPLAY");
        QGuiApplication::setDesktopFileName(QStringLiteral("example.mopira.Mopira"));
        InstallFontSubstitutes();
    }

    void init() {
        QVERIFY(m_portal.Offer());
        m_portal.ClearCalls();
        m_portal.m_nBindAnswer = 0;
        m_portal.m_nStartAnswer = 0;
    }

    void cleanup() { m_portal.Withdraw(); }

    void triggersAreWrittenAsTheDesktopsAre() {
        QCOMPARE(CPortalShortcut::TriggerOf(Qt::CTRL | Qt::ALT | Qt::Key_K),
                 QStringLiteral("CTRL+ALT+k"));
        QCOMPARE(CPortalShortcut::TriggerOf(Qt::META | Qt::SHIFT | Qt::Key_Space),
                 QStringLiteral("SHIFT+LOGO+space"));
        QCOMPARE(CPortalShortcut::TriggerOf(QKeyCombination(Qt::Key_F12)), QStringLiteral("F12"));
    }

    void theShortcutIsBoundAndTogglesTheWindow() {
        CMainDlgFixture fixture;
        WriteText(fixture, QStringLiteral("Window/Hotkey"), QStringLiteral("Ctrl+Alt+K"));
        CMessageBoxSeam messages;
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        QTRY_COMPARE(m_portal.CallsOf(QStringLiteral("BindShortcuts")).size(), 1);
        const QVariantList shortcuts =
            m_portal.CallsOf(QStringLiteral("BindShortcuts")).front().arguments.at(1).toList();
        QCOMPARE(shortcuts.size(), 1);
        const QVariantMap shortcut = shortcuts.front().toMap();
        QCOMPARE(shortcut.value(QStringLiteral("preferred_trigger")).toString(),
                 QStringLiteral("CTRL+ALT+k"));
        QVERIFY(!shortcut.value(QStringLiteral("description")).toString().isEmpty());
        // Programs outside a sandbox name themselves to the desktop first.
        QCOMPARE(m_portal.CallsOf(QStringLiteral("Register")).size(), 1);
        QCOMPARE(m_portal.CallsOf(QStringLiteral("Register")).front().arguments.at(0).toString(),
                 QStringLiteral("example.mopira.Mopira"));

        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        m_portal.Press(shortcut.value(QStringLiteral("id")).toString(), QStringLiteral("t1"));
        QTRY_VERIFY(!dialog->isVisible());
        // Another shortcut of the desktop's is not ours.
        m_portal.Press(QStringLiteral("other"), QString());
        QTest::qWait(50);
        QVERIFY(!dialog->isVisible());
        m_portal.Press(shortcut.value(QStringLiteral("id")).toString(), QString());
        QTRY_VERIFY(dialog->isVisible());
        QVERIFY(messages.Shown().isEmpty());
    }

    void whatTheDesktopDeclinesIsTold_data() {
        QTest::addColumn<bool>("offered");
        QTest::addColumn<uint>("bindAnswer");
        QTest::addColumn<QString>("told");

        QTest::newRow("no portal") << false << 0u << QStringLiteral("登録できません");
        QTest::newRow("the user cancels") << true << 1u << QStringLiteral("許可されませんでした");
        QTest::newRow("the desktop refuses")
            << true << 2u << QStringLiteral("許可されませんでした");
    }

    void whatTheDesktopDeclinesIsTold() {
        QFETCH(bool, offered);
        QFETCH(uint, bindAnswer);
        QFETCH(QString, told);
        if (!offered) {
            m_portal.Withdraw();
        }
        m_portal.m_nBindAnswer = bindAnswer;
        CMainDlgFixture fixture;
        WriteText(fixture, QStringLiteral("Window/Hotkey"), QStringLiteral("Meta+Space"));
        CMessageBoxSeam messages;
        QVERIFY(fixture.Open());
        QTRY_COMPARE(messages.Shown().size(), 1);
        QVERIFY2(messages.Shown().front().contains(told), qPrintable(messages.Shown().front()));
        QVERIFY(messages.Shown().front().contains(QStringLiteral("「Meta+Space」")));
        QVERIFY(messages.Shown().front().contains(QStringLiteral("mopira --toggle")));
        QTest::qWait(50);
        QCOMPARE(messages.Shown().size(), 1);
    }

    void aCopyIsPastedThroughTheRemoteKeyboard() {
        CMainDlgFixture fixture;
        WritePastingLibrary(fixture);
        CMessageBoxSeam messages;
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        // The keyboard alone, kept until revoked; the desktop's token is kept at once.
        QTRY_COMPARE(m_portal.CallsOf(QStringLiteral("Start")).size(), 1);
        const QVariantMap devices =
            m_portal.CallsOf(QStringLiteral("SelectDevices")).front().arguments.at(1).toMap();
        QCOMPARE(devices.value(QStringLiteral("types")).toUInt(), 1u);
        QCOMPARE(devices.value(QStringLiteral("persist_mode")).toUInt(), 2u);
        QVERIFY(!devices.contains(QStringLiteral("restore_token")));
        QTRY_COMPARE(fixture.Setting(QStringLiteral("Window/RemoteDesktopToken")).toString(),
                     QStringLiteral("restore-1"));

        QVERIFY(CopyTheEmoticon(fixture));
        QVERIFY(!dialog->isVisible());
        const QList<QPair<int, uint>> ctrlV = {{0xffe3, 1}, {'v', 1}, {'v', 0}, {0xffe3, 0}};
        QTRY_COMPARE(TypedKeys(m_portal), ctrlV);
        QVERIFY(messages.Shown().isEmpty());

        // Ended with Escape, which writes no settings: the next start restores the session
        // with the token, and types the chosen keys.
        dialog->BringToFront();
        QTest::keyClick(dialog, Qt::Key_Escape);
        fixture.Close();
        WriteText(fixture, QStringLiteral("Window/PasteKey"), QStringLiteral("Shift+Ins"));
        m_portal.ClearCalls();
        dialog = fixture.Open();
        QVERIFY(dialog);
        QTRY_COMPARE(m_portal.CallsOf(QStringLiteral("Start")).size(), 1);
        QCOMPARE(m_portal.CallsOf(QStringLiteral("SelectDevices"))
                     .front()
                     .arguments.at(1)
                     .toMap()
                     .value(QStringLiteral("restore_token"))
                     .toString(),
                 QStringLiteral("restore-1"));
        QTRY_COMPARE(fixture.Setting(QStringLiteral("Window/RemoteDesktopToken")).toString(),
                     QStringLiteral("restore-2"));
        QVERIFY(CopyTheEmoticon(fixture));
        QTRY_COMPARE(TypedKeys(m_portal),
                     (QList<QPair<int, uint>>{{0xffe1, 1}, {0xff63, 1}, {0xff63, 0}, {0xffe1, 0}}));
    }

    void aRefusedPasteIsToldAndTypesNothing() {
        m_portal.m_nStartAnswer = 1;
        CMainDlgFixture fixture;
        WritePastingLibrary(fixture);
        CMessageBoxSeam messages;
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        QTRY_COMPARE(messages.Shown().size(), 1);
        QVERIFY(messages.Shown().front().contains(QStringLiteral("貼り付け")));
        QVERIFY(!fixture.Setting(QStringLiteral("Window/RemoteDesktopToken")).isValid());
        QVERIFY(CopyTheEmoticon(fixture));
        QTest::qWait(100);
        QVERIFY(TypedKeys(m_portal).isEmpty());
        QCOMPARE(messages.Shown().size(), 1);
    }

private:
    CPortalStandIn m_portal;
};

}  // namespace mopira

QTEST_MAIN(mopira::TestPortals)
#include "test_portals.moc"
