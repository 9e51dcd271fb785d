// Calling the window up from other programs, as far as it shows without a real window system:
// the window living on hidden, toggling, hiding after a copy, the window's menu, the shortcut's
// refusals and the tray icon's menu. tests/x11 presses the real keys.
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include "MainDlgFixture.h"
#include "ui/app/MainApp.h"
#include "ui/app/TrayIcon.h"
#include "ui/controls/SortListCtrl.h"
#include "ui/controls/TipToolBar.h"
#include "ui/platform/Fonts.h"
#include "ui/platform/GlobalHotkey.h"
#include "ui/platform/KeySym.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/ModalSeam.h"
#include "ui/platform/PasteBack.h"
#include "ui/platform/WindowActivation.h"

namespace mopira {

using test::CMainDlgFixture;

namespace {

void WriteText(const CMainDlgFixture& fixture, const QString& key, const QString& value) {
    QSettings(fixture.SettingsPath(), QSettings::IniFormat).setValue(key, value);
}

// Opens the window's menu with the menu key and picks the item `text` as the keyboard does;
// false when the item is not there to pick (missing or disabled).
bool PickFromWindowMenu(CMainDlg* dialog, QStringView text) {
    bool picked = false;
    test::OnNextPopup([text, &picked](QMenu& menu) {
        picked = test::PickAction(menu, [text](const QAction& a) { return a.text() == text; });
    });
    auto* toolbar = dialog->findChild<QWidget*>(QStringLiteral("m_tbarTop"));
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(),
                              toolbar->mapToGlobal(QPoint()));
    QApplication::sendEvent(dialog, &menuKey);
    return picked;
}

}  // namespace

class TestSummon : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    // A modal loop would end at the first hide and take the program with it.
    void hidingKeepsTheWindowRunningUntilItEnds() {
        CMainDlgFixture fixture;
        CMainDlg& dialog = *fixture.Create();
        QStringList seen;
        QTimer::singleShot(0, &dialog, [&] {
            dialog.HideWindow();
            QTimer::singleShot(50, &dialog, [&] {
                seen << QStringLiteral("hidden: %1").arg(dialog.isVisible());
                dialog.BringToFront();
                dialog.HideWindow();
                // Ended from the tray while hidden: the settings are written as at a close.
                QTimer::singleShot(50, &dialog, [&] {
                    seen << QStringLiteral("still hidden: %1").arg(dialog.isVisible());
                    dialog.Quit();
                });
            });
        });
        CMainApp::RunMainWindow(dialog);
        QCOMPARE(seen,
                 QStringList({QStringLiteral("hidden: 0"), QStringLiteral("still hidden: 0")}));
        QCOMPARE(QSettings(fixture.SettingsPath(), QSettings::IniFormat).allKeys().size(), 13);

        // Escape ends it as always, writing nothing.
        CMainDlgFixture escaped;
        CMainDlg& again = *escaped.Create();
        QTimer::singleShot(0, &again, [&] { QTest::keyClick(&again, Qt::Key_Escape); });
        CMainApp::RunMainWindow(again);
        QVERIFY(!QFile::exists(escaped.SettingsPath()));
    }

    // With a way to call it back, Escape and closing dismiss the window, keeping its settings,
    // and only Ctrl+Q or 終了 end it; without one, both end it as always.
    void escapeAndCloseHideOnlyWhenTheWindowCanBeCalledBack_data() {
        QTest::addColumn<QString>("hotkey");
        QTest::addColumn<bool>("summoned");
        QTest::addColumn<bool>("resident");

        QTest::newRow("nothing") << QString() << false << false;
        QTest::newRow("a shortcut") << QStringLiteral("Ctrl+Alt+K") << false << true;
        QTest::newRow("a key never pressed") << QStringLiteral("K") << false << false;
        QTest::newRow("called up by the command") << QString() << true << true;
    }

    void escapeAndCloseHideOnlyWhenTheWindowCanBeCalledBack() {
        QFETCH(QString, hotkey);
        QFETCH(bool, summoned);
        QFETCH(bool, resident);
        for (const bool escape : {true, false}) {
            CMainDlgFixture fixture;
            WriteText(fixture, QStringLiteral("Window/Hotkey"), hotkey);
            CMessageBoxSeam messages;
            CMainDlg* dialog = fixture.Open();
            QVERIFY(dialog);
            QCoreApplication::processEvents();  // the shortcut is registered
            if (summoned) {
                dialog->MarkSummoned();
            }
            QSignalSpy ended(dialog, &QDialog::finished);
            if (escape) {
                QTest::keyClick(dialog, Qt::Key_Escape);
            } else {
                dialog->close();
            }
            QVERIFY(!dialog->isVisible());
            QCOMPARE(ended.size(), resident ? 0 : 1);
            // Escape that ends the program writes nothing, as ever.
            QCOMPARE(fixture.Setting(QStringLiteral("Window/X")).isValid(), resident || !escape);
            if (!resident) {
                continue;
            }
            dialog->BringToFront();
            dialog->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            if (escape) {
                QTest::keyClick(dialog, Qt::Key_Q, Qt::ControlModifier);
            } else {
                QVERIFY(PickFromWindowMenu(dialog, u"終了(&X)"));
            }
            QCOMPARE(ended.size(), 1);
        }
    }

    void toggleHidesTheActiveWindowAndBringsBackAnyOther() {
        CMainDlgFixture fixture;
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        dialog->ToggleWindow();
        QVERIFY(!dialog->isVisible());
        dialog->ToggleWindow();
        QVERIFY(dialog->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(dialog));

        // Shown but behind another window: brought to the front, not hidden.
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        dialog->ToggleWindow();
        QVERIFY(dialog->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        // Minimised counts as behind.
        dialog->showMinimized();
        dialog->ToggleWindow();
        QVERIFY(dialog->isVisible() && !dialog->isMinimized());
    }

    void aCopyHidesTheWindowOnlyWhenChosen() {
        CMainDlgFixture fixture;
        fixture.WriteFile(QStringLiteral("FaceList.dat"), test::FaceList({{"(^_^)", "笑顔"}}));
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        auto* list = fixture.Child<CSortListCtrl>("m_lstFace");
        QTRY_COMPARE(list->CurrentView()->model()->rowCount(), 1);
        list->SelectRow(0);
        list->CurrentView()->setFocus();
        QTest::keyClick(list->CurrentView(), Qt::Key_Return);
        QVERIFY(dialog->isVisible());

        // Switched on in the window's menu.
        QVERIFY(PickFromWindowMenu(dialog, u"コピーしたら隠す(&H)"));
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        QTest::keyClick(list->CurrentView(), Qt::Key_Return);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("(^_^)"));
        QVERIFY(!dialog->isVisible());

        // Kept by the close; a file that holds the thirteen only gains the key switched on.
        dialog->BringToFront();
        dialog->close();
        QSettings profile(fixture.SettingsPath(), QSettings::IniFormat);
        QCOMPARE(profile.allKeys().size(), 14);
        QCOMPARE(profile.value(QStringLiteral("Window/HideAfterCopy")).toInt(), 1);
        fixture.Close();

        // Switched off again, the key stays in the file, now 0. Paste cannot be switched on
        // where no other program can be typed into.
        dialog = fixture.Open();
        QVERIFY(dialog);
        QVERIFY(PickFromWindowMenu(dialog, u"コピーしたら隠す(&H)"));
        QVERIFY(!PickFromWindowMenu(dialog, u"隠したら元のウィンドウに貼り付ける(&P)"));
        dialog->close();
        profile.sync();
        QCOMPARE(profile.value(QStringLiteral("Window/HideAfterCopy")).toInt(), 0);
        QCOMPARE(profile.value(QStringLiteral("Window/PasteAfterCopy")), QVariant());
        QVERIFY(!CPasteBack().IsAvailable());
    }

    // 設定... in the window's menu: each change is in force and in the file at once; a
    // shortcut that cannot be had is said in the dialog and not kept; an edit of the file
    // made while the program runs stays.
    void theSettingsDialogAppliesAndWritesAtOnce() {
        CMainDlgFixture fixture;
        CMessageBoxSeam messages;
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        QStringList states;
        CModalSeam seam([&](QDialog& settings) {
            auto* hotkey = settings.findChild<QKeySequenceEdit*>(QStringLiteral("m_edtHotkey"));
            auto* state = settings.findChild<QLabel*>(QStringLiteral("m_lblHotkeyState"));
            const auto box = [&settings](const char* name) {
                return settings.findChild<QCheckBox*>(QString::fromLatin1(name));
            };
            QTest::keyClick(hotkey, Qt::Key_K);
            states << state->text() << hotkey->keySequence().toString();
            QCOMPARE(fixture.Setting(QStringLiteral("Window/Hotkey")), QVariant());
            QVERIFY(!dialog->IsResident());
            QTest::keyClick(hotkey, Qt::Key_K, Qt::ControlModifier | Qt::AltModifier);
            states << state->text() << hotkey->keySequence().toString();
            QCOMPARE(fixture.Setting(QStringLiteral("Window/Hotkey")).toString(),
                     QStringLiteral("Ctrl+Alt+K"));
            QVERIFY(dialog->IsResident());

            // Paste waits for hiding (and a desktop that lets it type); closing to the tray
            // for the icon.
            QVERIFY(!box("m_chkPasteAfterCopy")->isEnabled());
            box("m_chkHideAfterCopy")->click();
            QCOMPARE(fixture.Setting(QStringLiteral("Window/HideAfterCopy")).toInt(), 1);
            box("m_chkTray")->click();
            QCOMPARE(fixture.Setting(QStringLiteral("Window/Tray")).toInt(), 0);
            QCOMPARE(dialog->TrayIcon(), nullptr);
            QVERIFY(!box("m_chkCloseToTray")->isEnabled());
            settings.close();
        });
        QVERIFY(PickFromWindowMenu(dialog, u"設定(&S)..."));
        QCOMPARE(seam.Runs(), 1);
        QCOMPARE(states,
                 (QStringList{"「K」は使えません。Ctrl か Alt を含むキーを押してください。", "",
                              "このデスクトップでは、モピラはキーを登録できません。デスクトップ"
                              "のキーボード設定で、コマンド「mopira --toggle」にキーを割り当"
                              "ててください。",
                              "Ctrl+Alt+K"}));
        QVERIFY(messages.Shown().isEmpty());

        // Edited by hand meanwhile: the dialog shows the edit, and closing keeps it.
        WriteText(fixture, QStringLiteral("Window/PasteKey"), QStringLiteral("Shift+Ins"));
        seam.SetHandler([](QDialog& settings) {
            auto* paste = settings.findChild<QKeySequenceEdit*>(QStringLiteral("m_edtPasteKey"));
            QCOMPARE(paste->keySequence(), QKeySequence(Qt::SHIFT | Qt::Key_Insert));
        });
        QVERIFY(PickFromWindowMenu(dialog, u"設定(&S)..."));
        dialog->close();
        QCOMPARE(fixture.Setting(QStringLiteral("Window/PasteKey")).toString(),
                 QStringLiteral("Shift+Ins"));
        QCOMPARE(fixture.Setting(QStringLiteral("Window/HideAfterCopy")).toInt(), 1);
    }

    void theNewKeysComeBackAsWritten() {
        CMainDlgFixture fixture;
        fixture.WriteSetting(QStringLiteral("Window/Tray"), 1);  // the default, yet written
        fixture.WriteSetting(QStringLiteral("Window/PasteAfterCopy"), 1);
        WriteText(fixture, QStringLiteral("Window/Hotkey"), QStringLiteral("Ctrl+,"));
        WriteText(fixture, QStringLiteral("Window/PasteKey"), QStringLiteral("Ctrl+Bogus"));
        CMessageBoxSeam messages;
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        // Paste keys that are no key are told once, with where to change them (beside the
        // shortcut this platform cannot take).
        QTRY_COMPARE(messages.Shown().size(), 2);
        QCoreApplication::processEvents();
        QCOMPARE(messages.Shown().size(), 2);
        QVERIFY(messages.Shown().back().contains(QStringLiteral("「Ctrl+Bogus」")));
        QVERIFY(messages.Shown().back().contains(QStringLiteral("PasteKey=")));
        dialog->close();
        QSettings profile(fixture.SettingsPath(), QSettings::IniFormat);
        QCOMPARE(profile.value(QStringLiteral("Window/Tray")).toInt(), 1);
        QCOMPARE(profile.value(QStringLiteral("Window/PasteAfterCopy")).toInt(), 1);
        QCOMPARE(profile.value(QStringLiteral("Window/Hotkey")).toString(),
                 QStringLiteral("Ctrl+,"));
        QCOMPARE(profile.value(QStringLiteral("Window/PasteKey")).toString(),
                 QStringLiteral("Ctrl+Bogus"));
        QCOMPARE(profile.value(QStringLiteral("Window/CloseToTray")), QVariant());
        QCOMPARE(profile.value(QStringLiteral("Window/RemoteDesktopToken")), QVariant());
    }

    void pasteKeysFollowTheTargetUnlessChosen() {
        CPasteBack paste;
        QCOMPARE(paste.PasteKeys(false), Qt::CTRL | Qt::Key_V);
        QCOMPARE(paste.PasteKeys(true), Qt::CTRL | Qt::SHIFT | Qt::Key_V);
        QVERIFY(paste.SetPasteKey(QStringLiteral(" Shift+Ins ")));
        QCOMPARE(paste.PasteKeys(true), Qt::SHIFT | Qt::Key_Insert);
        // Refused keys leave the choice by target.
        for (const char* refused : {"V", "Ctrl+V, Ctrl+C", "Ctrl+VolumeUp"}) {
            QVERIFY2(!paste.SetPasteKey(QString::fromLatin1(refused)), refused);
            QCOMPARE(paste.PasteKeys(false), Qt::CTRL | Qt::Key_V);
        }
        QVERIFY(paste.SetPasteKey(QString()));
        QCOMPARE(paste.PasteKeys(true), Qt::CTRL | Qt::SHIFT | Qt::Key_V);
    }

    void aShortcutThatCannotBeHadIsToldOnce_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("told");  // empty: nothing

        QTest::newRow("none") << QString() << QString();
        QTest::newRow("blank") << QStringLiteral("  ") << QString();
        QTest::newRow("a key that types") << QStringLiteral("K") << QStringLiteral("使えません");
        // A good key where no window system lends one: the desktop's settings are the way.
        QTest::newRow("unsupported here")
            << QStringLiteral("Ctrl+Alt+K") << QStringLiteral("mopira --toggle");
    }

    void aShortcutThatCannotBeHadIsToldOnce() {
        QFETCH(QString, keys);
        QFETCH(QString, told);
        CMainDlgFixture fixture;
        WriteText(fixture, QStringLiteral("Window/Hotkey"), keys);
        CMessageBoxSeam messages;
        QVERIFY(fixture.Open());
        // Told once the window shows, from the event loop's next turn.
        QCoreApplication::processEvents();
        QCOMPARE(messages.Shown().size(), told.isEmpty() ? 0 : 1);
        if (!told.isEmpty()) {
            QVERIFY2(messages.Shown().front().contains(told), qPrintable(messages.Shown().front()));
            QVERIFY(messages.Shown().front().contains(keys));
        }
    }

    void shortcutsParse_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("expected");  // 0: refused

        QTest::newRow("ctrl alt letter")
            << QStringLiteral("Ctrl+Alt+K") << (Qt::CTRL | Qt::ALT | Qt::Key_K).toCombined();
        QTest::newRow("spaces around")
            << QStringLiteral(" Meta+Space ") << (Qt::META | Qt::Key_Space).toCombined();
        QTest::newRow("a function key alone") << QStringLiteral("F12") << int(Qt::Key_F12);
        QTest::newRow("alt digit") << QStringLiteral("Alt+1") << (Qt::ALT | Qt::Key_1).toCombined();
        QTest::newRow("shift letter") << QStringLiteral("Shift+K") << 0;
        QTest::newRow("a modifier alone") << QStringLiteral("Ctrl") << 0;
        QTest::newRow("modifiers alone") << QStringLiteral("Ctrl+Alt+") << 0;
        QTest::newRow("two keys") << QStringLiteral("Ctrl+K, Ctrl+L") << 0;
        QTest::newRow("no such key") << QStringLiteral("Ctrl+Bogus") << 0;
    }

    void shortcutsParse() {
        QFETCH(QString, keys);
        QFETCH(int, expected);
        const std::optional<QKeyCombination> parsed = CGlobalHotkey::Parse(keys);
        QCOMPARE(parsed ? parsed->toCombined() : 0, expected);
    }

    void keysHaveTheirKeySyms() {
        QCOMPARE(KeySymOf(Qt::Key_K), std::uint32_t('k'));
        QCOMPARE(KeySymOf(Qt::Key_1), std::uint32_t('1'));
        QCOMPARE(KeySymOf(Qt::Key_Space), std::uint32_t(0x20));
        QCOMPARE(KeySymOf(Qt::Key_Eacute), std::uint32_t(0xe9));
        QCOMPARE(KeySymOf(Qt::Key_multiply), std::uint32_t(0xd7));
        QCOMPARE(KeySymOf(Qt::Key_F1), std::uint32_t(0xffbe));
        QCOMPARE(KeySymOf(Qt::Key_F12), std::uint32_t(0xffc9));
        QCOMPARE(KeySymOf(Qt::Key_Pause), std::uint32_t(0xff13));
        QCOMPARE(KeySymOf(Qt::Key_VolumeUp), std::uint32_t(0));
        QCOMPARE(KeySymsOf(Qt::CTRL | Qt::SHIFT | Qt::Key_V),
                 std::vector<std::uint32_t>({0xffe3, 0xffe1, 'v'}));
        QCOMPARE(KeySymsOf(Qt::SHIFT | Qt::Key_Insert),
                 std::vector<std::uint32_t>({0xffe1, 0xff63}));
        QVERIFY(KeySymsOf(Qt::CTRL | Qt::Key_VolumeUp).empty());
    }

    void aStartupIdGivesTheTimeOfTheUsersAction() {
        using Time = std::optional<std::uint32_t>;
        QCOMPARE(CWindowActivation::StartupTime("openbox-12-host-xdg-open-3_TIME4242"), Time(4242));
        QCOMPARE(CWindowActivation::StartupTime("a_TIME1_TIME77"), Time(77));
        QCOMPARE(CWindowActivation::StartupTime("kde-12345-host-mopira-0"), Time());
        QCOMPARE(CWindowActivation::StartupTime("x_TIME"), Time());
        QCOMPARE(CWindowActivation::StartupTime("x_TIME12ab"), Time());
    }

    void theTrayMenuListsTenFacesThenItsCommands() {
        CTrayIcon tray(QIcon{});
        QSignalSpy chosen(&tray, &CTrayIcon::faceChosen);
        QSignalSpy toggle(&tray, &CTrayIcon::toggleRequested);
        QSignalSpy quit(&tray, &CTrayIcon::quitRequested);
        auto texts = [&tray] {
            QStringList shown;
            for (const QAction* action : tray.Menu().actions()) {
                shown << (action->isSeparator() ? QStringLiteral("--") : action->text());
            }
            return shown;
        };
        auto visible = [&tray](int index) { return tray.Menu().actions().at(index)->isVisible(); };
        // No emoticon yet: the commands alone.
        QCOMPARE(texts(), QStringList({QStringLiteral("--"), QStringLiteral("表示/隠す"),
                                       QStringLiteral("終了")}));
        QVERIFY(!visible(0));

        QStringList faces = {QStringLiteral("(&_&)"), QStringLiteral("a\tb"),
                             QString(1500, QChar(u'あ'))};
        for (int i = 0; faces.size() < 12; ++i) {
            faces << QStringLiteral("(%1)").arg(i);
        }
        tray.SetRecentFaces(faces);
        const QStringList shown = texts();
        QCOMPARE(shown.size(), 13);
        QCOMPARE(shown.at(0), QStringLiteral("(&&_&&)"));
        QCOMPARE(shown.at(1), QStringLiteral("a b"));
        QCOMPARE(shown.at(2), QString(1000, QChar(u'あ')) + QChar(0x2026));
        QCOMPARE(shown.at(9), QStringLiteral("(6)"));
        QCOMPARE(shown.at(10), QStringLiteral("--"));
        QVERIFY(visible(10));

        // The whole text goes out, not what the menu shows.
        tray.Menu().actions().at(2)->trigger();
        tray.Menu().actions().at(0)->trigger();
        QCOMPARE(chosen.size(), 2);
        QCOMPARE(chosen.at(0).at(0).toString(), faces.at(2));
        QCOMPARE(chosen.at(1).at(0).toString(), QStringLiteral("(&_&)"));
        tray.Menu().actions().at(11)->trigger();
        tray.Menu().actions().at(12)->trigger();
        QCOMPARE(toggle.size(), 1);
        QCOMPARE(quit.size(), 1);

        // Filled again, the old items go.
        tray.SetRecentFaces({QStringLiteral("(1)")});
        QCOMPARE(texts().size(), 4);
    }

    // Where the desktop has no tray the window cannot hide into it: closing and Escape end it
    // as always, whatever the settings ask.
    void withoutATrayClosingEnds() {
        if (QSystemTrayIcon::isSystemTrayAvailable()) {
            QSKIP("this platform has a tray");
        }
        CMainDlgFixture fixture;
        fixture.WriteSetting(QStringLiteral("Window/CloseToTray"), 1);
        CMainDlg& dialog = *fixture.Create();
        QCOMPARE(dialog.TrayIcon(), nullptr);
        QTimer::singleShot(0, &dialog, [&] { dialog.close(); });
        CMainApp::RunMainWindow(dialog);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(QSettings(fixture.SettingsPath(), QSettings::IniFormat)
                     .value(QStringLiteral("Window/CloseToTray"))
                     .toInt(),
                 1);
    }
};

}  // namespace mopira

QTEST_MAIN(mopira::TestSummon)
#include "test_summon.moc"
