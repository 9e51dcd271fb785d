#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <thread>

#include "ui/app/SingleInstance.h"

namespace mopira {

namespace {

// Runs `work` on a thread of its own while this one answers the socket, as two processes do.
template <class Work>
bool RunBeside(Work work) {
    std::atomic<int> result{-1};
    std::thread thread([&] { result = work() ? 1 : 0; });
    const bool finished = QTest::qWaitFor([&] { return result != -1; }, 10000);
    thread.join();
    return finished && result == 1;
}

}  // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

private slots:
    void oneHolderPerFolder() {
        QTemporaryDir dir;
        QTemporaryDir other;
        CSingleInstance first(dir.path());
        QVERIFY(first.Claim());
        // The same folder however it is written.
        CSingleInstance again(dir.path() + QStringLiteral("/./"));
        QVERIFY(!again.Claim());
        QVERIFY(QFile::link(dir.path(), other.filePath(QStringLiteral("link"))));
        CSingleInstance throughLink(other.filePath(QStringLiteral("link")));
        QCOMPARE(throughLink.ServerName(), first.ServerName());
        QVERIFY(!throughLink.Claim());
        CSingleInstance elsewhere(other.path());
        QVERIFY(elsewhere.Claim());

        // Whatever session the later start comes from: the hold is on the folder itself.
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        QTemporaryDir session;
        qputenv("XDG_RUNTIME_DIR", session.path().toUtf8());
        CSingleInstance fromAnotherSession(dir.path());
        QVERIFY(!fromAnotherSession.Claim());
        qputenv("XDG_RUNTIME_DIR", runtime);

        // And through a bind mount, where the machine lets the test make one.
        const QString mount = other.filePath(QStringLiteral("bound"));
        QVERIFY(QDir().mkpath(mount));
        if (QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("--bind"), dir.path(), mount}) == 0) {
            CSingleInstance throughMount(mount);
            QCOMPARE(throughMount.ServerName(), first.ServerName());
            QVERIFY(!throughMount.Claim());
            QProcess::execute(QStringLiteral("umount"), {mount});
        }
    }

    void aLaterStartIsAnsweredAndGarbageIgnored() {
        QTemporaryDir dir;
        CSingleInstance running(dir.path());
        QVERIFY(running.Claim());
        QSignalSpy received(&running, &CSingleInstance::messageReceived);

        const QString name = running.ServerName();
        auto sendRaw = [name](const QByteArray& bytes) {
            return RunBeside([&] {
                QLocalSocket socket;
                socket.connectToServer(name);
                if (!socket.waitForConnected(3000)) {
                    return false;
                }
                socket.write(bytes);
                socket.waitForBytesWritten(3000);
                // Nothing but "ok" to a message it knows; the socket is closed on anything else.
                socket.waitForReadyRead(1000);
                return socket.readAll().isEmpty();
            });
        };
        QVERIFY(sendRaw("hello\n"));
        QVERIFY(sendRaw(QByteArray(4 << 20, 'x')));
        QVERIFY(sendRaw(QByteArray("activate") + QByteArray(100, ' ') + "\n"));
        QVERIFY(sendRaw(QByteArray("hide") + QByteArray(100, ' ') + "\n"));
        // Close to a message is not one: another case, another word after it, no line end.
        QVERIFY(sendRaw("Toggle\n"));
        QVERIFY(sendRaw("show all\n"));
        QVERIFY(sendRaw("hide"));
        QVERIFY(sendRaw(QByteArray("show\0\n", 6)));
        // Tokens: only the two names, each once, each with a value.
        QVERIFY(sendRaw("show xdg-activation-token=\n"));
        QVERIFY(sendRaw("show window=3\n"));
        QVERIFY(sendRaw("show desktop-startup-id=a desktop-startup-id=b\n"));
        QVERIFY(sendRaw("show  xdg-activation-token=a\n"));
        QCOMPARE(received.count(), 0);

        // Every message, bare as programs before tokens send it, and with tokens of any bytes.
        CSingleInstance later(dir.path());
        QVERIFY(!later.Claim());
        const QList<QByteArray> known = {CSingleInstance::kActivate, CSingleInstance::kToggle,
                                         CSingleInstance::kShow, CSingleInstance::kHide};
        const QList<ActivationToken> tokens = {
            {},
            {"a1b2c3", {}},
            {{}, "openbox-12-host-xdg-open_TIME34567"},
            {QByteArray("x y=z%\n\"", 9), QByteArray(200, '\xff')},
        };
        for (const QByteArray& message : known) {
            for (const ActivationToken& token : tokens) {
                QVERIFY(RunBeside([&] { return later.SendToRunning(message, token); }));
                const QList<QVariant> got = received.takeFirst();
                QCOMPARE(got.at(0).toByteArray(), message);
                const auto passed = got.at(1).value<ActivationToken>();
                QCOMPARE(passed.xdgActivation, token.xdgActivation);
                QCOMPARE(passed.startupId, token.startupId);
            }
        }
        QCOMPARE(received.count(), 0);
    }

    // A program started before tokens were passed refuses a request with them: it is asked
    // again without.
    void aHolderThatKnowsNoTokensIsAskedPlainly() {
        QTemporaryDir dir;
        CSingleInstance later(dir.path());
        QLocalServer holder;
        // As a holder does: a folder's identity can come back with a new temporary folder.
        QLocalServer::removeServer(later.ServerName());
        QVERIFY2(holder.listen(later.ServerName()), qPrintable(holder.errorString()));
        QByteArrayList lines;
        connect(&holder, &QLocalServer::newConnection, &holder, [&] {
            QLocalSocket* socket = holder.nextPendingConnection();
            connect(socket, &QLocalSocket::readyRead, socket, [&lines, socket] {
                const QByteArray line = socket->readLine().trimmed();
                lines << line;
                if (CSingleInstance::IsKnownMessage(line)) {
                    socket->write("ok\n");
                    socket->flush();
                }
                socket->disconnectFromServer();
            });
        });
        QVERIFY(RunBeside([&] { return later.SendToRunning("show", {"t0k", {}}); }));
        QCOMPARE(lines, QByteArrayList({"show xdg-activation-token=t0k", "show"}));
    }

    void aCrashedHolderBlocksNothing() {
#ifndef Q_OS_UNIX
        QSKIP("needs SIGKILL");
#endif
        QTemporaryDir dir;
        QProcess holder;
        holder.start(QStringLiteral(MOPIRA_TEST_CHILD), {QStringLiteral("hold"), dir.path()});
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readAll(), QByteArray("holding\n"));

        CSingleInstance later(dir.path());
        QVERIFY(!later.Claim());
        QVERIFY(later.SendToRunning(CSingleInstance::kActivate));

        holder.kill();  // SIGKILL: no clean-up of its lock or its socket
        QVERIFY(holder.waitForFinished(5000));
        CSingleInstance next(dir.path());
        QVERIFY(next.Claim());
        QSignalSpy received(&next, &CSingleInstance::messageReceived);
        CSingleInstance third(dir.path());
        QVERIFY(RunBeside([&] { return third.SendToRunning(CSingleInstance::kActivate); }));
        QCOMPARE(received.count(), 1);
    }
};

}  // namespace mopira

QTEST_MAIN(mopira::TestSingleInstance)
#include "test_single_instance.moc"
