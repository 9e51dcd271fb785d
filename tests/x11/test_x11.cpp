// Checks that need a real X server and window manager, which widgets.sh starts: what another
// program hears when it drags over the tab strip, and what the window manager lets the user do
// with the fixed-size dialogs. openbox draws a minimise and a maximise button on every window
// whatever the program asks; the maximise button does nothing on a window that cannot be
// resized, and the minimise button takes the whole program down with the dialog.
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <initializer_list>
#include <optional>

#include "MainDlgFixture.h"
#include "ui/app/AboutDlg.h"
#include "ui/controls/DragTabCtrl.h"
#include "ui/library/AddFaceDlg.h"
#include "ui/library/MoveDlg.h"
#include "ui/library/PropertyDlg.h"
#include "ui/platform/Fonts.h"
#include "ui/platform/GlobalHotkey.h"
#include "ui/platform/ModalSeam.h"

namespace mopira {

namespace {

constexpr int kTimeout = 10000;

// Stands for a window behind the tab strip that takes every drop it is offered.
class CDropTaker : public QObject {
public:
    int m_nEvents = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove:
            case QEvent::Drop:
                ++m_nEvents;
                static_cast<QDropEvent*>(event)->acceptProposedAction();
                return true;
            default:
                return QObject::eventFilter(watched, event);
        }
    }
};

// Hands every event of a widget to a function while it lives.
class CEventCounter : public QObject {
public:
    CEventCounter(QWidget& widget, std::function<void(const QEvent&)> seen)
        : m_seen(std::move(seen)) {
        widget.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        m_seen(*event);
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(const QEvent&)> m_seen;
};

QString Number(int n) {
    return QString::number(n);
}

// One property of a window as xprop prints it.
QString WindowProperty(const QWidget& window, const char* property) {
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window.winId()),
                                          QString::fromLatin1(property)});
    xprop.waitForFinished();
    return QString::fromLocal8Bit(xprop.readAllStandardOutput());
}

// Runs the xdotool commands of `script` (words parted by spaces) while this program goes on
// answering the window system.
bool XdoTool(const QString& script) {
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), script.split(u' '));
    return xdotool.waitForStarted() &&
           QTest::qWaitFor([&] { return xdotool.state() == QProcess::NotRunning; }, kTimeout) &&
           xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0;
}

}  // namespace

class TestX11 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        InstallFontSubstitutes();
    }

    void tabStripRefusesWhatAnotherProgramDrags() {
        test::CMainDlgFixture fixture;
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        auto* tabs = fixture.Child<CDragTabCtrl>("m_tab");
        QVERIFY(tabs && tabs->isVisible());
        const int current = tabs->currentIndex();
        CDropTaker behind;
        dialog->setAcceptDrops(true);
        dialog->installEventFilter(&behind);

        // The other program's window, in a corner the main window leaves free.
        const QRect screen = dialog->screen()->geometry();
        const QRect source(screen.right() - 200, screen.bottom() - 150, 160, 110);
        QVERIFY(!dialog->frameGeometry().intersects(source));
        QProcess program;
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(MOPIRA_TEST_CHILD),
                      {QStringLiteral("drag"), Number(source.x()), Number(source.y()),
                       Number(source.width()), Number(source.height())});
        QVERIFY(QTest::qWaitFor([&] { return program.canReadLine(); }, kTimeout));
        QCOMPARE(program.readLine(), QByteArray("ready\n"));

        // Pressed in the program's window, dragged over the other tab, released there.
        const QPoint from = source.center();
        const QPoint over = tabs->mapToGlobal(tabs->tabRect(1 - current).center());
        const QPoint halfway = (from + over) / 2;
        QString script =
            QStringLiteral("mousemove --sync %1 %2 mousedown 1").arg(from.x()).arg(from.y());
        for (const QPoint at : {halfway, over, over + QPoint(2, 0)}) {
            script += QStringLiteral(" sleep 0.3 mousemove %1 %2").arg(at.x()).arg(at.y());
        }
        QVERIFY(XdoTool(script + QStringLiteral(" sleep 0.4 mouseup 1")));
        const bool ended =
            QTest::qWaitFor([&] { return program.state() == QProcess::NotRunning; }, kTimeout);
        const QByteArray output = program.readAllStandardOutput();
        QVERIFY2(ended, output.constData());

        // The program showed the no-drop cursor over the strip, heard no action and ended
        // its drag with none.
        const QRect strip(tabs->mapToGlobal(QPoint(0, 0)), tabs->size());
        QList<int> cursorsOverStrip;
        QList<int> actions;
        std::optional<int> result;
        for (const QByteArray& line : output.split('\n')) {
            const QList<QByteArray> words = line.split(' ');
            if (words.size() == 4 && words[0] == "cursor" &&
                strip.contains(words[2].toInt(), words[3].toInt())) {
                cursorsOverStrip << words[1].toInt();
            } else if (words.size() == 2 && words[0] == "action") {
                actions << words[1].toInt();
            } else if (words.size() == 2 && words[0] == "result") {
                result = words[1].toInt();
            }
        }
        QVERIFY(!cursorsOverStrip.isEmpty());
        QCOMPARE(cursorsOverStrip, QList<int>(cursorsOverStrip.size(), int(Qt::ForbiddenCursor)));
        QCOMPARE(actions.count(int(Qt::IgnoreAction)), actions.size());
        QCOMPARE(result, std::optional<int>(int(Qt::IgnoreAction)));
        // Nothing reached the window behind the strip, and the tabs stayed as they were.
        QCOMPARE(behind.m_nEvents, 0);
        QCOMPARE(tabs->currentIndex(), current);
    }

    void windowManagerNeitherResizesNorMaximisesFixedDialogs() {
        test::CMainDlgFixture fixture;
        fixture.WriteFile(QStringLiteral("FaceList.dat"), test::FaceList({{"orz", "その他"}}));
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        std::optional<RecordId> record;
        QVERIFY(QTest::qWaitFor(
            [&] { return (record = dialog->Library().FindRecord("orz")).has_value(); }));
        const LibraryView view = dialog->ListPage().View();
        CAddFaceDlg add(dialog, view, QStringLiteral("orz"), {});
        CPropertyDlg properties(dialog, view, QStringLiteral("orz"),
                                dialog->Library().Folder(*record));
        CMoveDlg moveDlg(dialog, view, {});
        CNewFolderDlg newFolder(&add);
        CAboutDlg about(fixture.DataDir(), dialog);
        for (QDialog* fixed :
             std::initializer_list<QDialog*>{&add, &properties, &moveDlg, &newFolder, &about}) {
            fixed->show();
            QVERIFY(QTest::qWaitForWindowExposed(fixed));
            // What the window manager lets the user do with the window, once it manages it.
            QString allowed;
            const bool fixedThere = QTest::qWaitFor(
                [&] {
                    allowed = WindowProperty(*fixed, "_NET_WM_ALLOWED_ACTIONS");
                    return allowed.contains(QStringLiteral("_NET_WM_ACTION_CLOSE")) &&
                           !allowed.contains(QStringLiteral("_NET_WM_ACTION_RESIZE")) &&
                           !allowed.contains(QStringLiteral("_NET_WM_ACTION_MAXIMIZE"));
                },
                kTimeout);
            QVERIFY2(fixedThere, qPrintable(fixed->windowTitle() + QStringLiteral(": ") + allowed));
            fixed->hide();
        }

        // openbox minimises a modal dialog when asked, and its window along: both come back.
        add.setWindowModality(Qt::ApplicationModal);
        add.show();
        QVERIFY(QTest::qWaitForWindowExposed(&add));
        int minimised = 0;
        CEventCounter counter(add, [&add, &minimised](const QEvent& event) {
            minimised += event.type() == QEvent::WindowStateChange && add.isMinimized() ? 1 : 0;
        });
        QVERIFY(XdoTool(QStringLiteral("windowminimize %1").arg(add.winId())));
        QVERIFY(QTest::qWaitFor(
            [&] {
                return minimised > 0 && add.isVisible() && !add.isMinimized() &&
                       dialog->isVisible() && !dialog->isMinimized();
            },
            kTimeout));
        QVERIFY(QTest::qWaitForWindowExposed(&add));
    }
};

}  // namespace mopira

QTEST_MAIN(mopira::TestX11)
#include "test_x11.moc"
