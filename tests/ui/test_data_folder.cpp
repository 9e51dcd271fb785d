#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include "LibraryFiles.h"
#include "store/DataFolder.h"
#include "ui/app/AboutDlg.h"
#include "ui/app/CommandLine.h"
#include "ui/app/DictionaryCommand.h"
#include "ui/app/SingleInstance.h"

namespace mopira {

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file under `root`, relative to it, sorted.
QStringList FilesUnder(const QString& root) {
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files << QDir(root).relativeFilePath(it.next());
    }
    files.sort();
    return files;
}

// An installed layout under a temporary prefix: bin/ for the program and share/mopira/ with
// the starter files.
struct InstalledPrefix {
    QTemporaryDir root;
    QString bin = root.filePath(QStringLiteral("bin"));
    QString share = root.filePath(QStringLiteral("share/mopira"));

    InstalledPrefix() {
        QDir().mkpath(bin);
        WriteFile(share + QStringLiteral("/FaceList.dat"), "(^_^)\r\n\r\n\r\n");
        WriteFile(share + QStringLiteral("/Eye.dat"), "eye\r\n^\t^\r\n");
        WriteFile(share + QStringLiteral("/HTMLHelp/index.htm"), "<html>help</html>");
    }
};

}  // namespace

class TestDataFolder : public QObject {
    Q_OBJECT

private slots:
    void choiceFollowsWhatLiesBesideTheProgram_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("hasLibrary");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("share");
        QTest::addColumn<QString>("user");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("starter");

        const QString share = QStringLiteral("/usr/share/mopira");
        const QString user = QStringLiteral("/home/u/.local/share/mopira");
        const QString exe = QStringLiteral("/usr/bin");
        const auto portable = int(DataMode::Portable);
        const auto installed = int(DataMode::Installed);
        QTest::newRow("the command line wins over a library beside the program")
            << QStringLiteral("/sync/kao") << true << true << share << user << int(DataMode::Chosen)
            << QStringLiteral("/sync/kao") << share;
        QTest::newRow("a library beside the program stays portable")
            << QString() << true << true << share << user << portable << exe << QString();
        QTest::newRow("installed, run as a user who cannot write there")
            << QString() << false << false << share << user << installed << user << share;
        QTest::newRow("installed, run as root or under the user's home")
            << QString() << false << true << share << user << installed << user << share;
        QTest::newRow("a new portable folder")
            << QString() << false << true << QString() << user << portable << exe << QString();
        QTest::newRow("a read-only folder without starter files")
            << QString() << false << false << QString() << user << installed << user << QString();
        QTest::newRow("no place for the user's data")
            << QString() << false << false << share << QString() << portable << exe << QString();
    }

    void choiceFollowsWhatLiesBesideTheProgram() {
        QFETCH(QString, chosen);
        QFETCH(bool, hasLibrary);
        QFETCH(bool, writable);
        QFETCH(QString, share);
        QFETCH(QString, user);
        QFETCH(int, mode);
        QFETCH(QString, directory);
        QFETCH(QString, starter);
        const DataFolder folder = ChooseDataFolder(
            {chosen, QStringLiteral("/usr/bin"), hasLibrary, writable, share, user});
        QCOMPARE(int(folder.mode), mode);
        QCOMPARE(folder.directory, directory);
        QCOMPARE(folder.starterDir, starter);
    }

    void probeSeesAnInstalledLayoutWithoutWritingBesideTheProgram() {
        InstalledPrefix prefix;
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
        const DataCandidates found = ProbeDataCandidates({}, prefix.bin);
        QCOMPARE(found.shareDir, QDir::cleanPath(prefix.share));
        QVERIFY(!found.executableHasLibrary);
        QCOMPARE(found.userDir, home.filePath(QCoreApplication::applicationName()));
        QCOMPARE(FilesUnder(prefix.bin), QStringList());

        // A portable folder in use, and one on its first start (nothing but the program).
        WriteFile(prefix.bin + QStringLiteral("/FaceList.dat"), "");
        QVERIFY(ProbeDataCandidates({}, prefix.bin).executableHasLibrary);
        QTemporaryDir fresh;
        const DataCandidates portable = ProbeDataCandidates({}, fresh.path());
        QVERIFY(portable.shareDir.isEmpty());
        QVERIFY(portable.executableWritable);
        QCOMPARE(FilesUnder(fresh.path()), QStringList());

        // A folder named relative to where the program was started becomes absolute.
        const QString previous = QDir::currentPath();
        QDir::setCurrent(home.path());
        const DataCandidates chosen =
            ProbeDataCandidates(QStringLiteral("sync/../kao"), fresh.path());
        QDir::setCurrent(previous);
        QCOMPARE(chosen.chosen, home.filePath(QStringLiteral("kao")));
        qunsetenv("XDG_DATA_HOME");
    }

    void prepareCopiesStarterFilesOnceAndNeverReplacesTheUsers() {
        InstalledPrefix prefix;
        QTemporaryDir home;
        const QString data = home.filePath(QStringLiteral("a/b/mopira"));
        const DataFolder folder{DataMode::Installed, data, prefix.share};
        QString error;
        QVERIFY(PrepareDataFolder(folder, &error));
        QCOMPARE(FilesUnder(data), FilesUnder(prefix.share));
        QCOMPARE(ReadFile(data + QStringLiteral("/HTMLHelp/index.htm")), "<html>help</html>");

        // The user's library survives every later start; a file the user removed comes back.
        WriteFile(data + QStringLiteral("/FaceList.dat"), "mine\r\n\r\n\r\n");
        QVERIFY(QFile::remove(data + QStringLiteral("/Eye.dat")));
        QVERIFY(PrepareDataFolder(folder, &error));
        QCOMPARE(ReadFile(data + QStringLiteral("/FaceList.dat")), "mine\r\n\r\n\r\n");
        QCOMPARE(ReadFile(data + QStringLiteral("/Eye.dat")), "eye\r\n^\t^\r\n");
        QCOMPARE(FilesUnder(data), FilesUnder(prefix.share));  // no temporary file left

        // A portable folder is used as it is.
        QTemporaryDir portable;
        QVERIFY(PrepareDataFolder({DataMode::Portable, portable.path(), prefix.share}, &error));
        QCOMPARE(FilesUnder(portable.path()), QStringList());
    }

    void prepareReportsAFolderThatCannotBeMade() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("file"));
        WriteFile(file, "x");
        QString error;
        QVERIFY(!PrepareDataFolder({DataMode::Chosen, file, {}}, &error));
        QVERIFY(error.contains(QDir::toNativeSeparators(file)));
        QVERIFY(!PrepareDataFolder({DataMode::Chosen, file + QStringLiteral("/sub"), {}}, &error));
        QCOMPARE(ReadFile(file), "x");
    }

    void helpOpensFromTheDataFolderElseTheInstalledOne() {
        InstalledPrefix prefix;
        QTemporaryDir data;
        const QString installed =
            QDir::cleanPath(prefix.share + QStringLiteral("/HTMLHelp/index.htm"));
        QCOMPARE(FindHelpPage(data.path(), prefix.bin), installed);
        WriteFile(data.filePath(QStringLiteral("HTMLHelp/index.htm")), "own");
        QCOMPARE(FindHelpPage(data.path(), prefix.bin),
                 data.filePath(QStringLiteral("HTMLHelp/index.htm")));
        QTemporaryDir nowhere;
        QCOMPARE(FindHelpPage(nowhere.path(), nowhere.path()), QString());
    }

    void commandLineAnswersOrStarts_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");  // -1: the program starts
        QTest::addColumn<QString>("dataDir");
        QTest::addColumn<QString>("message");

        QTest::newRow("nothing") << QStringList() << -1 << QString() << QString();
        QTest::newRow("a data folder")
            << QStringList{QStringLiteral("--data-dir"), QStringLiteral("/sync/kao")} << -1
            << QStringLiteral("/sync/kao") << QString();
        QTest::newRow("a data folder with =") << QStringList{QStringLiteral("--data-dir=/sync/kao")}
                                              << -1 << QStringLiteral("/sync/kao") << QString();
        QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0 << QString()
                              << QStringLiteral("--data-dir <dir>");
        QTest::newRow("version") << QStringList{QStringLiteral("-v")} << 0 << QString()
                                 << QStringLiteral(" 1.");
        QTest::newRow("unknown option")
            << QStringList{QStringLiteral("--bogus")} << 2 << QString() << QStringLiteral("bogus");
        QTest::newRow("no folder after --data-dir") << QStringList{QStringLiteral("--data-dir")}
                                                    << 2 << QString() << QStringLiteral("data-dir");
        QTest::newRow("an empty folder name") << QStringList{QStringLiteral("--data-dir=")} << 2
                                              << QString() << QStringLiteral("data-dir");
        QTest::newRow("a stray argument")
            << QStringList{QStringLiteral("kao")} << 2 << QString() << QStringLiteral("'kao'");
        QTest::newRow("a dictionary")
            << QStringList{QStringLiteral("--export-dictionary"), QStringLiteral("skk"),
                           QStringLiteral("kao.skk")}
            << -1 << QString() << QString();
        QTest::newRow("an unknown dictionary format")
            << QStringList{QStringLiteral("--export-dictionary"), QStringLiteral("atok"),
                           QStringLiteral("kao.txt")}
            << 2 << QString() << QStringLiteral("'atok'");
        QTest::newRow("a dictionary without its file")
            << QStringList{QStringLiteral("--export-dictionary"), QStringLiteral("mozc")} << 2
            << QString() << QStringLiteral("export-dictionary");
    }

    // Without a window: the file written whole, as the input method reads it, and said so;
    // a library that cannot be read writes nothing.
    void aDictionaryIsWrittenWithoutAWindow() {
        QTemporaryDir dir;
        QVERIFY(test::WriteBytes(dir.filePath(QStringLiteral("FaceList.dat")),
                                 test::FaceList({{"(^_^)", "笑顔"}, {"orz", "謝罪"}})));
        QVERIFY(test::WriteBytes(dir.filePath(QStringLiteral("Keywords.dat")),
                                 "folder\t笑顔\tえがお\n"));
        const QString file = dir.filePath(QStringLiteral("kao.txt"));
        QCOMPARE(ExportDictionaryCommand(dir.path(), DictionaryFormat::Mozc, file), 0);
        const std::string written = test::ReadBytes(file);
        QVERIFY(written.starts_with("\xEF\xBB\xBF"));
        QVERIFY(written.find("えがお\t(^_^)\t顔文字") != std::string::npos);
        QVERIFY(written.find("orz") == std::string::npos);  // its folder has no reading
        QVERIFY(QFile::remove(dir.filePath(QStringLiteral("FaceList.dat"))));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("FaceList.dat")));
        QCOMPARE(ExportDictionaryCommand(dir.path(), DictionaryFormat::Skk, file), 1);
    }

    void commandLineAnswersOrStarts() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, dataDir);
        QFETCH(QString, message);
        CCommandLine commandLine;
        const std::optional<int> result =
            commandLine.Parse(QStringList{QStringLiteral("mopira")} + arguments);
        QCOMPARE(result.value_or(-1), exitCode);
        QCOMPARE(commandLine.DataDir(), dataDir);
        QVERIFY2(commandLine.Message().contains(message), qPrintable(commandLine.Message()));
        if (exitCode == CCommandLine::kExitUsage) {
            QVERIFY(commandLine.Message().contains(QStringLiteral("--help")));
        }
    }

    void commandLineNamesWhatTheWindowIsAsked_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("message");  // empty: refused as bad usage

        QTest::newRow("a plain start") << QStringList() << QByteArray("activate");
        QTest::newRow("toggle") << QStringList{QStringLiteral("--toggle")} << QByteArray("toggle");
        QTest::newRow("show with a folder")
            << QStringList{QStringLiteral("--data-dir=/sync/kao"), QStringLiteral("--show")}
            << QByteArray("show");
        QTest::newRow("hide") << QStringList{QStringLiteral("--hide")} << QByteArray("hide");
        QTest::newRow("twice the same")
            << QStringList{QStringLiteral("--hide"), QStringLiteral("--hide")}
            << QByteArray("hide");
        QTest::newRow("two at once")
            << QStringList{QStringLiteral("--toggle"), QStringLiteral("--hide")} << QByteArray();
        QTest::newRow("a value") << QStringList{QStringLiteral("--toggle=1")} << QByteArray();
    }

    void commandLineNamesWhatTheWindowIsAsked() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, message);
        CCommandLine commandLine;
        const std::optional<int> result =
            commandLine.Parse(QStringList{QStringLiteral("mopira")} + arguments);
        if (message.isEmpty()) {
            QCOMPARE(result, std::optional<int>(CCommandLine::kExitUsage));
            return;
        }
        QVERIFY2(!result, qPrintable(commandLine.Message()));
        QCOMPARE(commandLine.WindowMessage(), message);
        QVERIFY(CSingleInstance::IsKnownMessage(message));
    }

    void aboutBoxNamesTheDataFolder() {
        const QString folder = QDir::homePath() + QStringLiteral("/.local/share/mopira/");
        CAboutDlg about(folder);
        const auto* line = about.findChild<QLabel*>(QStringLiteral("dataFolder"));
        QVERIFY(line);
        QCOMPARE(line->toolTip(), QDir::toNativeSeparators(folder));
        QVERIFY2(line->text().startsWith(QStringLiteral("データ: ~")), qPrintable(line->text()));
        QVERIFY(line->fontMetrics().horizontalAdvance(line->text()) <= line->width());

        // A long path is shortened in the middle and keeps its last folder in view.
        const QString deep = QStringLiteral("/srv/") +
                             QStringLiteral("very-long-folder/").repeated(8) +
                             QStringLiteral("kaomoji");
        CAboutDlg aboutDeep(deep);
        const auto* deepLine = aboutDeep.findChild<QLabel*>(QStringLiteral("dataFolder"));
        QVERIFY(deepLine->text().endsWith(QStringLiteral("kaomoji")));
        QVERIFY(deepLine->fontMetrics().horizontalAdvance(deepLine->text()) <= deepLine->width());
    }
};

}  // namespace mopira

QTEST_MAIN(mopira::TestDataFolder)
#include "test_data_folder.moc"
