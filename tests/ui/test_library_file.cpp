#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <thread>

#include "LibraryFiles.h"
#include "ui/library/LibraryDocument.h"
#include "ui/library/LibraryFile.h"
#include "ui/platform/PlatformFile.h"

namespace mopira {

using test::FilesIn;
using test::ManyRecords;
using test::ReadBytes;
using test::WriteBytes;

namespace {

const QString kFaceList = QStringLiteral("FaceList.dat");

std::vector<std::string> TextsOf(const CFaceLibrary& library) {
    std::vector<std::string> texts;
    library.ForEachRecord([&](RecordId id) { texts.emplace_back(library.Text(id)); });
    return texts;
}

}  // namespace

class TestLibraryFile : public QObject {
    Q_OBJECT

private slots:
    void replacingFailsWholeAtEveryStep_data() {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("code");
        QTest::addColumn<qint64>("afterBytes");
        QTest::addColumn<int>("records");
        QTest::addColumn<QString>("reason");
        const auto row = [](const char* name, FileStep step, int code, qint64 after, int records,
                            const char* reason) {
            QTest::newRow(name) << int(step) << code << after << records
                                << QString::fromUtf8(reason);
        };
        // A small library fits the write buffer: the disk fills as it is written out.
        row("full at flush, nothing written", FileStep::Flush, ENOSPC, 0, 50, "空き容量");
        row("full at flush, cut mid-record", FileStep::Flush, ENOSPC, 4096, 700, "空き容量");
        row("full mid-way through a large one", FileStep::Write, ENOSPC, 100000, 20000, "空き容量");
        row("size limit", FileStep::Write, EFBIG, 65536, 20000, "大きすぎます");
        row("no new file", FileStep::Create, EACCES, 0, 50, "アクセス");
        row("sync", FileStep::Sync, EIO, 0, 50, "読み書き");
        row("close", FileStep::Close, EIO, 0, 50, "読み書き");
        row("rename", FileStep::Rename, EACCES, 0, 50, "アクセス");
    }

    void replacingFailsWholeAtEveryStep() {
        QFETCH(int, step);
        QFETCH(int, code);
        QFETCH(qint64, afterBytes);
        QFETCH(int, records);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(kFaceList);
        const std::string old = ManyRecords(10, "old");
        QVERIFY(WriteBytes(path, old));

        CFileFaultSeam fault(FileStep(step), code, afterBytes, CFileFaultSeam::Action::Fail,
                             kFaceList);
        const FileError error = ReplaceFile(path, ManyRecords(records));
        QCOMPARE(fault.Hits(), 1);
        QVERIFY(error.Failed());
        QCOMPARE(int(error.step), step);
        QCOMPARE(error.code, code);
        QVERIFY2(DescribeFileError(error).contains(reason), qPrintable(DescribeFileError(error)));
        QVERIFY(ReadBytes(path) == old);
        QCOMPARE(FilesIn(dir.path()), QStringList{kFaceList});
    }

    void replacingKeepsPermissionsAndReportsTheNewStamp() {
        QTemporaryDir dir;
        const QString path = dir.filePath(kFaceList);
        QVERIFY(WriteBytes(path, "old"));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        const QFile::Permissions permissions = QFile::permissions(path);
        FileStamp stamp;
        QVERIFY(!ReplaceFile(path, ManyRecords(5000), &stamp).Failed());
        QVERIFY(ReadBytes(path) == ManyRecords(5000));
        QCOMPARE(QFile::permissions(path), permissions);
        QVERIFY(stamp == StampOf(path));
        QCOMPARE(stamp.size, qint64(ManyRecords(5000).size()));
    }

    void readsTellAMissingFileFromOneThatCannotBeReadWhole() {
        QTemporaryDir dir;
        const QString path = dir.filePath(kFaceList);
        QCOMPARE(ReadWholeFile(path).state, FileContent::State::Missing);

        const std::string bytes = ManyRecords(3000);
        QVERIFY(WriteBytes(path, bytes));
        const FileContent whole = ReadWholeFile(path);
        QCOMPARE(whole.state, FileContent::State::Read);
        QVERIFY(whole.bytes == bytes);
        QVERIFY(whole.stamp == StampOf(path));

        struct Fault {
            FileStep step;
            int code;
            qint64 after;
            CFileFaultSeam::Action action;
        };
        for (const Fault& fault :
             {Fault{FileStep::Open, EACCES, 0, CFileFaultSeam::Action::Fail},
              Fault{FileStep::Read, EIO, 100, CFileFaultSeam::Action::Fail},
              Fault{FileStep::Read, 0, 4096, CFileFaultSeam::Action::ShortRead}}) {
            CFileFaultSeam seam(fault.step, fault.code, fault.after, fault.action);
            const FileContent failed = ReadWholeFile(path);
            QCOMPARE(seam.Hits(), 1);
            QCOMPARE(failed.state, FileContent::State::Failed);
            QVERIFY(failed.bytes == bytes.substr(0, std::size_t(fault.after)));
            QCOMPARE(failed.error.shortRead, fault.action == CFileFaultSeam::Action::ShortRead);
        }
        QCOMPARE(ReadWholeFile(dir.path()).state, FileContent::State::Failed);  // a folder
    }

    void anUnreadableLibraryIsNeverWritten() {
        QTemporaryDir dir;
        const std::string original = ManyRecords(200);
        QVERIFY(WriteBytes(dir.filePath(kFaceList), original));
        CLibraryDocument document(dir.path());
        {
            CFileFaultSeam midRead(FileStep::Read, EIO, 1000);
            document.Load();
            document.Flush();
        }
        QVERIFY(document.IsReadOnly());
        QVERIFY(document.ReadFailure().contains(QStringLiteral("読み書き")));
        // What was read can be copied and searched, never written back.
        QVERIFY(!document.Library().Empty());
        QVERIFY(document.Library().Size() < 200u);
        QVERIFY(!document.Change(AddFaces{{{"new", "F"}}}).changed);
        QVERIFY(!document.Flush().error.Failed());
        QVERIFY(ReadBytes(dir.filePath(kFaceList)) == original);
        QVERIFY(!document.Library().FindRecord("new"));
    }

    void aMissingLibraryIsCreatedEmpty() {
        QTemporaryDir dir;
        CLibraryDocument document(dir.path());
        document.Load();
        document.Flush();
        QVERIFY(!document.IsReadOnly());
        QCOMPARE(document.File().GetState(), CLibraryFile::State::Created);
        QVERIFY(QFile::exists(dir.filePath(kFaceList)));
        QCOMPARE(QFile(dir.filePath(kFaceList)).size(), 0);
    }

    void aFailedSaveKeepsTheChangesForTheNextSave() {
        QTemporaryDir dir;
        QVERIFY(WriteBytes(dir.filePath(kFaceList), "a\r\nF\r\n\r\n"));
        CLibraryDocument document(dir.path());
        document.Load();
        document.Flush();
        {
            CFileFaultSeam full(FileStep::Flush, ENOSPC);
            document.Change(AddFaces{{{"b", "F"}}});
            const auto saved = document.Flush();
            QVERIFY2(saved.error.code == ENOSPC, qPrintable(DescribeFileError(saved.error)));
        }
        QVERIFY(ReadBytes(dir.filePath(kFaceList)) == "a\r\nF\r\n\r\n");
        QVERIFY(document.HasUnsavedChanges());
        QCOMPARE(document.Library().Size(), 2u);

        document.Change(AddFaces{{{"c", "G"}}});
        QVERIFY(!document.Flush().error.Failed());
        QVERIFY(!document.HasUnsavedChanges());
        QVERIFY(ReadBytes(dir.filePath(kFaceList)) == "a\r\nF\r\n\r\nb\r\nF\r\n\r\nc\r\nG\r\n\r\n");
    }

    void twoProgramsOnOneFolderLoseNothing() {
        QTemporaryDir dir;
        QVERIFY(WriteBytes(dir.filePath(kFaceList), "a\r\nF\r\n\r\ne\r\nF\r\n\r\n"));
        CLibraryDocument first(dir.path());
        CLibraryDocument second(dir.path());
        first.Load();
        second.Load();
        first.Flush();
        second.Flush();

        first.Change(AddFaces{{{"x", "F"}}});
        QVERIFY(!first.Flush().reloaded);
        second.Change(AddFaces{{{"y", "G"}}});
        const auto saved = second.Flush();
        QVERIFY(saved.reloaded);
        QVERIFY(saved.missing.empty());
        QCOMPARE(TextsOf(second.Library()), (std::vector<std::string>{"a", "e", "x", "y"}));

        // One deletes what the other edits: the edit is kept as a new emoticon, and said.
        first.Change(RemoveFaces{{"e"}});
        QVERIFY(first.Flush().reloaded);  // it takes in "y" first
        second.Change(ReplaceFace{"e", {"e2", "H"}});
        const auto edited = second.Flush();
        QVERIFY(edited.reloaded);
        QCOMPARE(edited.missing, std::vector<std::string>{"e"});
        QVERIFY(ReadBytes(dir.filePath(kFaceList)) ==
                "a\r\nF\r\n\r\nx\r\nF\r\n\r\ny\r\nG\r\n\r\ne2\r\nH\r\n\r\n");
    }

    void aFileChangedBehindTheLibrarysBackIsNotWrittenOver() {
        QTemporaryDir dir;
        const QString path = dir.filePath(kFaceList);
        QVERIFY(WriteBytes(path, "a\r\nF\r\n\r\n"));
        CLibraryDocument document(dir.path());
        document.Load();
        document.Flush();
        // A text editor keeps the size and the second: only the bytes tell.
        const FileStamp before = StampOf(path);
        QVERIFY(WriteBytes(path, "b\r\nF\r\n\r\n"));
        QFile(path).setFileTime(QFile(path).fileTime(QFileDevice::FileModificationTime),
                                QFileDevice::FileModificationTime);
        QCOMPARE(StampOf(path).size, before.size);
        document.Change(AddFaces{{{"c", "G"}}});
        QVERIFY(document.Flush().reloaded);
        QVERIFY(ReadBytes(path) == "b\r\nF\r\n\r\nc\r\nG\r\n\r\n");

        // A file that cannot be read at the moment of saving is left alone.
        QVERIFY(WriteBytes(path, "d\r\nF\r\n\r\n"));
        {
            CFileFaultSeam unreadable(FileStep::Open, EACCES, 0, CFileFaultSeam::Action::Fail,
                                      kFaceList);
            document.Change(AddFaces{{{"e", "G"}}});
            QCOMPARE(document.Flush().error.code, EACCES);
        }
        QVERIFY(ReadBytes(path) == "d\r\nF\r\n\r\n");
        // What the editor removed stays removed; the user's new emoticons are added.
        document.Change(AddFaces{{{"f", "G"}}});
        QVERIFY(document.Flush().reloaded);
        QVERIFY(ReadBytes(path) == "d\r\nF\r\n\r\ne\r\nG\r\n\r\nf\r\nG\r\n\r\n");
    }

    void outsideChangesArePickedUpWhileIdleButNotOwnSaves() {
        QTemporaryDir dir;
        const QString path = dir.filePath(kFaceList);
        QVERIFY(WriteBytes(path, "a\r\nF\r\n\r\n"));
        CLibraryDocument document(dir.path());
        QSignalSpy reloaded(&document, &CLibraryDocument::reloaded);
        document.Load();
        document.Flush();

        document.Change(AddFaces{{{"b", "F"}}});
        QVERIFY(!document.Flush().error.Failed());
        QTest::qWait(700);
        QCOMPARE(reloaded.count(), 0);

        // A sync tool replaces the file; an editor rewrites it in place.
        QVERIFY(
            !ReplaceFile(path, std::string("a\r\nF\r\n\r\nb\r\nF\r\n\r\nc\r\nG\r\n\r\n")).Failed());
        QTRY_COMPARE(reloaded.count(), 1);
        QCOMPARE(TextsOf(document.Library()), (std::vector<std::string>{"a", "b", "c"}));
        QVERIFY(WriteBytes(path, "z\r\nF\r\n\r\n"));
        QTRY_COMPARE(reloaded.count(), 2);
        QCOMPARE(TextsOf(document.Library()), std::vector<std::string>{"z"});
    }

    void leftoversOfACrashAreRemovedWhenNobodyIsSaving() {
        QTemporaryDir dir;
        const QStringList ours = {QStringLiteral("FaceList.dat.mopira-Ab3dE9.tmp"),
                                  QStringLiteral("FaceList.dat.mopira-000000.tmp")};
        const QStringList others = {
            QStringLiteral("FaceList.dat.bak"), QStringLiteral("FaceList.dat.mopira-toolong.tmp"),
            QStringLiteral("FaceList.dat.mopira-Ab3d-9.tmp"),
            QStringLiteral("Eye.dat.mopira-Ab3dE9.tmp"), QStringLiteral("FaceList.dat")};
        for (const QString& name : ours + others) {
            QVERIFY(WriteBytes(dir.filePath(name), "x"));
        }
        {
            // Another program is saving: its temporary file stays.
            QLockFile saving(dir.filePath(QStringLiteral("FaceList.dat.lock")));
            QVERIFY(saving.lock());
            std::thread([&] { CLibraryFile(dir.path()).Open(); }).join();
            QCOMPARE(FilesIn(dir.path()).size(), (ours + others).size() + 1);
        }
        CLibraryFile(dir.path()).Open();
        QStringList expected = others;
        expected.sort();
        QCOMPARE(FilesIn(dir.path()), expected);
    }

    void aSaveWaitsForAnotherProgramsSave() {
        QTemporaryDir dir;
        QVERIFY(WriteBytes(dir.filePath(kFaceList), "a\r\nF\r\n\r\n"));
        CLibraryDocument document(dir.path());
        document.Load();
        document.Flush();
        auto* other = new QLockFile(dir.filePath(QStringLiteral("FaceList.dat.lock")));
        QVERIFY(other->lock());
        std::thread release([other] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            delete other;
        });
        document.Change(AddFaces{{{"b", "F"}}});
        const auto saved = document.Flush();
        release.join();
        QVERIFY(!saved.error.Failed());
        QVERIFY(ReadBytes(dir.filePath(kFaceList)) == "a\r\nF\r\n\r\nb\r\nF\r\n\r\n");
    }

    // The process dies at each step of a save: the file is always the old or the new library,
    // and the next start leaves no temporary file.
    void aKilledSaveLeavesTheOldOrTheNewFile_data() {
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("renamed");
        for (const char* step : {"create", "write", "flush", "sync", "close"}) {
            QTest::newRow(step) << QString::fromLatin1(step) << false;
        }
        QTest::newRow("rename") << QStringLiteral("rename") << true;
    }

    void aKilledSaveLeavesTheOldOrTheNewFile() {
#ifndef Q_OS_UNIX
        QSKIP("needs SIGKILL");
#endif
        QFETCH(QString, step);
        QFETCH(bool, renamed);
        QTemporaryDir dir;
        const std::string old = ManyRecords(8000);  // several writes of the buffer
        QVERIFY(WriteBytes(dir.filePath(kFaceList), old));
        QProcess child;
        child.start(QStringLiteral(MOPIRA_TEST_CHILD),
                    {QStringLiteral("save-crash"), dir.path(), step});
        QVERIFY(child.waitForFinished(20000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        const std::string now = ReadBytes(dir.filePath(kFaceList));
        QVERIFY(now == (renamed ? old + "added\r\nnew\r\n\r\n" : old));
        CLibraryFile(dir.path()).Open();
        QStringList expected = {kFaceList};
        QCOMPARE(FilesIn(dir.path()), expected);
    }

    // A real full disk: a small file system holding the kaomojikan library and nothing to spare.
    void aFullDiskKeepsTheLibraryWhole() {
#ifndef Q_OS_LINUX
        QSKIP("needs a tmpfs mount");
#else
        QTemporaryDir dir;
        const QString mount = dir.filePath(QStringLiteral("disk"));
        QVERIFY(QDir().mkpath(mount));
        if (QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               QStringLiteral("size=64k"), QStringLiteral("tmpfs"), mount}) != 0) {
            QSKIP("this machine does not let the test mount a small tmpfs (needs root)");
        }
        struct Unmount {
            QString path;
            ~Unmount() { QProcess::execute(QStringLiteral("umount"), {path}); }
        } unmount{mount};

        const std::string library =
            ReadBytes(QStringLiteral(MOPIRA_TEST_DATA "/kaomojikan/FaceList.dat"));
        QCOMPARE(library.size(), std::size_t(16392));
        QVERIFY(WriteBytes(QDir(mount).filePath(kFaceList), library));
        // Fill what is left, but for one page that a lock file can take: no new copy fits.
        const QString reserve = QDir(mount).filePath(QStringLiteral("reserve"));
        QVERIFY(WriteBytes(reserve, std::string(4096, 'r')));
        QFile filler(QDir(mount).filePath(QStringLiteral("filler")));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(512, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        filler.close();

        CLibraryDocument document(mount);
        document.Load();
        document.Flush();
        QCOMPARE(document.Library().Size(), 715u);
        // Not even the lock file fits; then it does, and the new copy does not.
        const auto failsWhole = [&](FileStep step, const QStringList& files) {
            const auto saved = document.Flush();
            QVERIFY2(saved.error.code == ENOSPC && saved.error.step == step,
                     qPrintable(DescribeFileError(saved.error)));
            QVERIFY(DescribeFileError(saved.error)
                        .contains(QStringLiteral("ディスクの空き容量が足りません")));
            QVERIFY(ReadBytes(QDir(mount).filePath(kFaceList)) == library);
            QCOMPARE(FilesIn(mount), files);
        };
        const std::string first(document.Library().Text(0));
        document.Change(RemoveFaces{{first}});
        failsWhole(FileStep::Lock,
                   {kFaceList, QStringLiteral("filler"), QStringLiteral("reserve")});
        QVERIFY(QFile::remove(reserve));
        const std::string second(document.Library().Text(1));
        document.Change(RemoveFaces{{second}});
        failsWhole(FileStep::Flush, {kFaceList, QStringLiteral("filler")});

        // Room again: the next change saves all three.
        QVERIFY(QFile::remove(QDir(mount).filePath(QStringLiteral("filler"))));
        const std::string third(document.Library().Text(2));
        document.Change(RemoveFaces{{third}});
        QVERIFY(!document.Flush().error.Failed());
        CFaceLibrary reread;
        reread.LoadFaceList(ReadBytes(QDir(mount).filePath(kFaceList)));
        QCOMPARE(reread.Size(), 712u);
        QVERIFY(!reread.FindRecord(first) && !reread.FindRecord(second) &&
                !reread.FindRecord(third));
#endif
    }
};

}  // namespace mopira

QTEST_MAIN(mopira::TestLibraryFile)
#include "test_library_file.moc"
