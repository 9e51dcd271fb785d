// What the program promises about the library's file, one test a promise, with the real file
// code failing where users meet faults: a fault seam inside it, real files written by "other
// programs", a real full disk, a second process killed midway or run as another user.
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <random>
#include <set>
#include <thread>
#include <tuple>

#include "LibraryFiles.h"
#include "store/ExchangeFile.h"
#include "store/FolderLock.h"
#include "store/LibraryDocument.h"
#include "store/LibraryFile.h"
#include "store/PlatformFile.h"

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

// A document on `folder`, read.
std::unique_ptr<CLibraryDocument> Opened(const QString& folder) {
    auto document = std::make_unique<CLibraryDocument>(folder);
    document->Load();
    document->Flush();
    return document;
}

void SetModified(const QString& path, std::int64_t nanoseconds) {
    const struct timespec times[2] = {{0, UTIME_OMIT},
                                      {static_cast<time_t>(nanoseconds / 1'000'000'000),
                                       static_cast<long>(nanoseconds % 1'000'000'000)}};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

// The records of a library as (text, folder), in its order.
std::vector<std::pair<std::string, std::string>> ContentsOf(const CFaceLibrary& library) {
    std::vector<std::pair<std::string, std::string>> records;
    library.ForEachRecord(
        [&](RecordId id) { records.emplace_back(library.Text(id), library.Folder(id)); });
    return records;
}

std::vector<std::pair<std::string, std::string>> ContentsOfFile(const QString& path) {
    CFaceLibrary library;
    library.LoadFaceList(ReadBytes(path));
    return ContentsOf(library);
}

bool RunsAsRoot() {
    return ::geteuid() == 0;
}

// This clang's ThreadSanitizer cannot follow the way Qt starts a process (clone, not fork), and
// stops the test; those tests run in the other builds.
#ifdef MOPIRA_TSAN_BUILD
#define SKIP_WHERE_PROCESSES_CANNOT_START() QSKIP("starts processes, which ThreadSanitizer stops")
#else
#define SKIP_WHERE_PROCESSES_CANNOT_START()
#endif

}  // namespace

class TestLibraryFile : public QObject {
    Q_OBJECT

private slots:
    // -----------------------------------------------------------------------------------------
    // The file code: a replacement is whole or nothing, and replaces only what it may.

    void replacingFailsWholeAtEveryStep_data() {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("code");
        QTest::addColumn<qint64>("afterBytes");
        QTest::addColumn<int>("records");
        const auto row = [](const char* name, FileStep step, int code, qint64 after, int records) {
            QTest::newRow(name) << int(step) << code << after << records;
        };
        // A small library fits the write buffer: the disk fills as it is written out.
        row("full at flush, nothing written", FileStep::Flush, ENOSPC, 0, 50);
        row("full at flush, cut mid-record", FileStep::Flush, ENOSPC, 4096, 700);
        row("full mid-way through a large one", FileStep::Write, ENOSPC, 100000, 20000);
        row("size limit", FileStep::Write, EFBIG, 65536, 20000);
        row("no new file", FileStep::Create, EACCES, 0, 50);
        row("sync", FileStep::Sync, EIO, 0, 50);
        row("close", FileStep::Close, EIO, 0, 50);
        row("rename", FileStep::Rename, EACCES, 0, 50);
    }

    void replacingFailsWholeAtEveryStep() {
        QFETCH(int, step);
        QFETCH(int, code);
        QFETCH(qint64, afterBytes);
        QFETCH(int, records);
        QTemporaryDir dir;
        const QString path = dir.filePath(kFaceList);
        const std::string old = ManyRecords(10, "old");
        QVERIFY(WriteBytes(path, old));

        CFileFaultSeam fault(FileStep(step), code, afterBytes, CFileFaultSeam::Action::Fail,
                             kFaceList);
        const FileError error = ReplaceFile(path, ManyRecords(records));
        QCOMPARE(fault.Hits(), 1);
        QCOMPARE(int(error.step), step);
        QCOMPARE(error.code, code);
        QVERIFY(ReadBytes(path) == old);
        QCOMPARE(FilesIn(dir.path()), QStringList{kFaceList});
    }

    // The new file keeps the old one's permissions and group; a link is written through and
    // stays a link; a FIFO or a device is never replaced, and an export never replaces the
    // library.
    void replacingKeepsModeGroupAndLinksAndRefusesSpecialFiles() {
        QTemporaryDir dir;
        const QString path = dir.filePath(kFaceList);
        QVERIFY(WriteBytes(path, "old"));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        const QFile::Permissions permissions = QFile::permissions(path);
        const group* other = RunsAsRoot() ? ::getgrnam("nogroup") : nullptr;
        if (other) {
            QCOMPARE(::chown(QFile::encodeName(path).constData(), -1, other->gr_gid), 0);
        }
        FileStamp stamp;
        QVERIFY(!ReplaceFile(path, ManyRecords(5000), &stamp).Failed());
        QVERIFY(ReadBytes(path) == ManyRecords(5000));
        QCOMPARE(QFile::permissions(path), permissions);
        if (other) {
            struct stat info {};
            QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
            QCOMPARE(info.st_gid, other->gr_gid);
        }
        QVERIFY(stamp == StampOf(path));

        // Through a link, into the folder the link names.
        QTemporaryDir elsewhere;
        const QString target = elsewhere.filePath(QStringLiteral("real.dat"));
        QVERIFY(WriteBytes(target, "target"));
        const QString link = dir.filePath(QStringLiteral("link.dat"));
        QVERIFY(QFile::link(target, link));
        QVERIFY(!ReplaceFile(link, std::string("through")).Failed());
        QVERIFY(QFileInfo(link).isSymLink());
        QVERIFY(ReadBytes(target) == "through");

        // Something that is no regular file is left alone, and says so.
        const QString fifo = dir.filePath(QStringLiteral("pipe"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        for (const QString& special : {fifo, QStringLiteral("/dev/null")}) {
            QCOMPARE(ReplaceFile(special, std::string("x")).problem, FileProblem::NotRegular);
            QCOMPARE(WriteExport(special, path, "x").problem, FileProblem::NotRegular);
            // Reading one never waits for a writer.
            QCOMPARE(ReadWholeFile(special).error.problem, FileProblem::NotRegular);
        }
        QVERIFY(QFileInfo(fifo).isFile() == false && QFileInfo::exists(fifo));
        QCOMPARE(WriteExport(link, link, "x").code, EEXIST);
        QVERIFY(!WriteExport(link, path, "exported").Failed());
        QVERIFY(QFileInfo(link).isSymLink());
        QVERIFY(ReadBytes(target) == "exported");
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
            QCOMPARE(failed.error.problem == FileProblem::ShortRead,
                     fault.action == CFileFaultSeam::Action::ShortRead);
        }
        QCOMPARE(ReadWholeFile(dir.path()).state, FileContent::State::Failed);  // a folder
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
        SKIP_WHERE_PROCESSES_CANNOT_START();
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
        QCOMPARE(FilesIn(dir.path()), QStringList{kFaceList});
    }

    // -----------------------------------------------------------------------------------------
    // What was read is what is fingerprinted, and a file that is not there for a moment is no
    // empty library.

    void aFileMissingForAMomentAtStartIsReadNotReplaced() {
        QTemporaryDir dir;
        const std::string library = ManyRecords(70000);  // over a megabyte
        QVERIFY(library.size() > (1u << 20));
        QVERIFY(WriteBytes(dir.filePath(kFaceList), library));
        {
            // A sync tool replaces it: deleted, then renamed into place.
            CFileFaultSeam missing(FileStep::Open, ENOENT, 0, CFileFaultSeam::Action::Fail,
                                   kFaceList);
            missing.Limit(1);
            auto document = Opened(dir.path());
            QCOMPARE(document->Library().Size(), 70000u);
            document->Change(AddFaces{{{"added", "new"}}});
            QVERIFY(!document->Flush().failed);
        }
        QVERIFY(ReadBytes(dir.filePath(kFaceList)) == library + "added\r\nnew\r\n\r\n");

        // Missing at every look, and made by someone else before it is made here: it is read.
        QVERIFY(WriteBytes(dir.filePath(kFaceList), library));
        CFileFaultSeam missing(FileStep::Open, ENOENT, 0, CFileFaultSeam::Action::Fail, kFaceList);
        missing.Limit(4);
        auto document = Opened(dir.path());
        QCOMPARE(missing.Hits(), 4);
        QCOMPARE(document->Library().Size(), 70000u);

        // Truly missing: created empty, and an empty library.
        QTemporaryDir fresh;
        auto created = Opened(fresh.path());
        QCOMPARE(created->Access(), LibraryAccess::Writable);
        QVERIFY(created->Library().Empty());
        QCOMPARE(QFile(fresh.filePath(kFaceList)).size(), 0);
    }

    // Another program rewrites a large library keeping its size and putting its time back, as
    // an editor may: its change is taken in, not written over.
    void aSameSizeRewriteWithItsTimePutBackIsSeen() {
        QTemporaryDir dir;
        const QString path = dir.filePath(kFaceList);
        const std::string library = ManyRecords(60000);
        QVERIFY(WriteBytes(path, library));
        auto document = Opened(dir.path());
        const FileStamp before = StampOf(path);
        std::string edited = library;
        edited[0] = 'F';  // "face0" becomes "Face0"
        QVERIFY(WriteBytes(path, edited));
        SetModified(path, before.modified);
        QCOMPARE(StampOf(path).size, before.size);
        QCOMPARE(StampOf(path).modified, before.modified);
        document->Change(AddFaces{{{"added", "new"}}});
        QVERIFY(document->Flush().reloaded);
        QVERIFY(ReadBytes(path) == edited + "added\r\nnew\r\n\r\n");
    }

    void anUnreadableLibraryIsNeverWritten() {
        QTemporaryDir dir;
        const std::string original = ManyRecords(200);
        QVERIFY(WriteBytes(dir.filePath(kFaceList), original));
        std::unique_ptr<CLibraryDocument> document;
        {
            CFileFaultSeam midRead(FileStep::Read, EIO, 1000);
            document = Opened(dir.path());
        }
        QCOMPARE(document->Access(), LibraryAccess::Unreadable);
        QCOMPARE(document->ReadError().code, EIO);
        // What was read can be copied and searched, never written back.
        QVERIFY(!document->Library().Empty());
        QVERIFY(document->Library().Size() < 200u);
        QVERIFY(!document->Change(AddFaces{{{"new", "F"}}}).changed);
        QVERIFY(!document->Flush().failed);
        QVERIFY(ReadBytes(dir.filePath(kFaceList)) == original);
    }

    // -----------------------------------------------------------------------------------------
    // Another program's change that would lose most of the library is not taken silently.

    void aChangeThatLosesMostOfTheLibraryIsAskedAbout_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("writeBack");
        const int half = int(SuspiciousChange::Kind::MostGone);
        const int empty = int(SuspiciousChange::Kind::Empty);
        const int junk = int(SuspiciousChange::Kind::NotALibrary);
        QTest::newRow("stalled halfway, written back") << half << true;
        QTest::newRow("stalled halfway, taken") << half << false;
        QTest::newRow("truncated, written back") << empty << true;
        QTest::newRow("random bytes, taken") << junk << false;
    }

    void aChangeThatLosesMostOfTheLibraryIsAskedAbout() {
        QFETCH(int, kind);
        QFETCH(bool, writeBack);
        QTemporaryDir dir;
        const QString path = dir.filePath(kFaceList);
        const std::string library = ManyRecords(6000);
        QVERIFY(WriteBytes(path, library));
        auto document = Opened(dir.path());
        QSignalSpy asked(document.get(), &CLibraryDocument::suspiciousChange);

        std::string outside;
        if (kind == int(SuspiciousChange::Kind::MostGone)) {
            outside = library.substr(0, library.size() / 2);
        } else if (kind == int(SuspiciousChange::Kind::NotALibrary)) {
            std::mt19937 random(3);
            outside.resize(1 << 20);
            for (char& byte : outside) {
                byte = static_cast<char>(random());
            }
        }
        QVERIFY(WriteBytes(path, outside));
        SetModified(path, StampOf(path).modified - 2'000'000'000);
        document->Change(AddFaces{{{"added", "new"}}});
        document->Flush();
        QCOMPARE(asked.count(), 1);
        QCOMPARE(int(asked.front().front().value<SuspiciousChange>().kind), kind);
        QVERIFY(ReadBytes(path) == outside);          // nothing written yet
        QCOMPARE(document->Library().Size(), 6001u);  // and nothing taken

        document->Resolve(writeBack ? SuspiciousChoice::WriteLibrary : SuspiciousChoice::TakeFile);
        QVERIFY(!document->Flush().failed);
        const QStringList recovery = document->RecoveryFiles();
        QCOMPARE(recovery.size(), 1);
        CFaceLibrary kept;
        kept.LoadFaceList(ReadBytes(recovery.front()));
        if (writeBack) {
            QVERIFY(ReadBytes(path) == library + "added\r\nnew\r\n\r\n");
            QVERIFY(ReadBytes(recovery.front()) == outside);
        } else {
            QCOMPARE(kept.Size(), 6001u);  // the library as the window showed it
            CFaceLibrary taken;
            taken.LoadFaceList(ReadBytes(path));
            QVERIFY(taken.FindRecord("added"));  // the user's own change goes onto it
            QCOMPARE(TextsOf(document->Library()), TextsOf(taken));
        }
    }

    // -----------------------------------------------------------------------------------------
    // A failed save is tried again on its own, told once, and wakes no watch of its own.

    void aFullDiskIsToldOnceAndTheSaveTriedAgainUntilThereIsRoom() {
        QTemporaryDir dir;
        const QString path = dir.filePath(kFaceList);
        const std::string library = ManyRecords(100);
        QVERIFY(WriteBytes(path, library));
        auto document = Opened(dir.path());
        QSignalSpy failed(document.get(), &CLibraryDocument::saveFailed);
        QSignalSpy saved(document.get(), &CLibraryDocument::saved);
        auto full = std::make_unique<CFileFaultSeam>(FileStep::Flush, ENOSPC, 0,
                                                     CFileFaultSeam::Action::Fail, kFaceList);
        document->Change(AddFaces{{{"added", "new"}}});
        QTest::qWait(2500);
        QCOMPARE(failed.count(), 1);
        // Tried again after a second, then after two more: not at every event of the folder.
        QVERIFY2(full->Hits() >= 2 && full->Hits() <= 3, qPrintable(QString::number(full->Hits())));
        QVERIFY(ReadBytes(path) == library);
        QCOMPARE(FilesIn(dir.path()), QStringList{kFaceList});
        full.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!document->HasUnsavedChanges(), 8000);
        QCOMPARE(saved.count(), 1);
        QVERIFY(ReadBytes(path) == library + "added\r\nnew\r\n\r\n");
    }

    // Closing with a change that cannot be saved keeps it in a recovery file the next start
    // finds.
    void whatCannotBeSavedIsKeptForTheNextStart() {
        QTemporaryDir dir;
        QVERIFY(WriteBytes(dir.filePath(kFaceList), ManyRecords(10)));
        auto document = Opened(dir.path());
        CFileFaultSeam full(FileStep::Rename, ENOSPC, 0, CFileFaultSeam::Action::Fail, kFaceList);
        document->Change(AddFaces{{{"added", "new"}}});
        QVERIFY(document->Flush().failed);
        QString path;
        QVERIFY(!document->KeepRecovery(path).Failed());
        QVERIFY(!document->HasUnsavedChanges());
        QCOMPARE(document->RecoveryFiles(), QStringList{path});
        CFaceLibrary kept;
        kept.LoadFaceList(ReadBytes(path));
        QVERIFY(kept.FindRecord("added"));
        QCOMPARE(kept.Size(), 11u);
    }

    // -----------------------------------------------------------------------------------------
    // Links, permissions and the lock.

    void aLinkedLibraryIsSavedThroughItsLinkAndWatchedWhereItIs() {
        QTemporaryDir dir;
        QTemporaryDir synced;
        const QString target = synced.filePath(kFaceList);
        QVERIFY(WriteBytes(target, ManyRecords(10)));
        QVERIFY(QFile::link(target, dir.filePath(kFaceList)));
        auto document = Opened(dir.path());
        QCOMPARE(document->Library().Size(), 10u);
        QSignalSpy reloaded(document.get(), &CLibraryDocument::reloaded);
        document->Change(AddFaces{{{"added", "new"}}});
        QVERIFY(!document->Flush().failed);
        QVERIFY(QFileInfo(dir.filePath(kFaceList)).isSymLink());
        QVERIFY(ReadBytes(target) == ManyRecords(10) + "added\r\nnew\r\n\r\n");
        QVERIFY(FilesIn(synced.path()) == QStringList{kFaceList});
        // What another program writes there is seen.
        QVERIFY(!ReplaceFile(target, ManyRecords(11)).Failed());
        QTRY_COMPARE(reloaded.count(), 1);
        QCOMPARE(document->Library().Size(), 11u);
    }

    // As another user: a file that user may not write opens read-only, though the folder would
    // let it be replaced.
    void aFileTheUserMayNotWriteOpensReadOnly() {
        SKIP_WHERE_PROCESSES_CANNOT_START();
        if (!RunsAsRoot()) {
            QSKIP("needs root, to run the program as nobody");
        }
        QTemporaryDir dir;
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ReadOther | QFile::WriteOther |
                                              QFile::ExeOther);
        const QString path = dir.filePath(kFaceList);
        QVERIFY(WriteBytes(path, ManyRecords(10)));
        const auto accessAsNobody = [&] {
            QProcess child;
            child.start(QStringLiteral("runuser"),
                        {QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"),
                         QStringLiteral(MOPIRA_TEST_CHILD), QStringLiteral("access"), dir.path()});
            child.waitForFinished(20000);
            return QString::fromUtf8(child.readAllStandardOutput()).trimmed();
        };
        // root's, 0644, in a folder nobody may write to.
        QCOMPARE(accessAsNobody(), QStringLiteral("file read-only"));
        // nobody's own, but 0444.
        QCOMPARE(QProcess::execute(QStringLiteral("chown"), {QStringLiteral("nobody"), path}), 0);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        QCOMPARE(accessAsNobody(), QStringLiteral("file read-only"));
        QVERIFY(ReadBytes(path) == ManyRecords(10));
        // Writable by nobody: its folder is not.
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ReadOther | QFile::ExeOther);
        QCOMPARE(accessAsNobody(), QStringLiteral("folder read-only"));
    }

    void twoProgramsOnOneFolderLoseNothing() {
        QTemporaryDir dir;
        QVERIFY(WriteBytes(dir.filePath(kFaceList), "a\r\nF\r\n\r\ne\r\nF\r\n\r\n"));
        auto first = Opened(dir.path());
        auto second = Opened(dir.path());
        first->Change(AddFaces{{{"x", "F"}}});
        QVERIFY(!first->Flush().reloaded);
        second->Change(AddFaces{{{"y", "G"}}});
        const auto saved = second->Flush();
        QVERIFY(saved.reloaded);
        QCOMPARE(TextsOf(second->Library()), (std::vector<std::string>{"a", "e", "x", "y"}));

        // One deletes what the other edits: the edit is kept as a new emoticon, and said.
        first->Change(RemoveFaces{{"e"}});
        QVERIFY(first->Flush().reloaded);  // it takes in "y" first
        second->Change(ReplaceFace{"e", {"e2", "H"}});
        const auto edited = second->Flush();
        QVERIFY(edited.reloaded);
        QCOMPARE(edited.missing, std::vector<std::string>{"e"});
        QVERIFY(ReadBytes(dir.filePath(kFaceList)) ==
                "a\r\nF\r\n\r\nx\r\nF\r\n\r\ny\r\nG\r\n\r\ne2\r\nH\r\n\r\n");
    }

    // The lock is the operating system's, outside the folder: a save waits for another
    // program's, and whatever stands at the lock's place (a folder, an empty or a garbage file,
    // a lock file another machine's program left in the data folder) blocks nothing.
    void aSaveWaitsForAnotherSaveAndNothingElse() {
        QTemporaryDir dir;
        QVERIFY(WriteBytes(dir.filePath(kFaceList), "a\r\nF\r\n\r\n"));
        auto document = Opened(dir.path());
        auto other = std::make_unique<CFolderLock>();
        FileError error;
        QVERIFY(other->Take(dir.path(), 0, error));
        std::thread release([&other] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            other.reset();
        });
        document->Change(AddFaces{{{"b", "F"}}});
        QVERIFY(!document->Flush().failed);
        release.join();
        QVERIFY(ReadBytes(dir.filePath(kFaceList)) == "a\r\nF\r\n\r\nb\r\nF\r\n\r\n");

        QVERIFY(WriteBytes(dir.filePath(QStringLiteral("FaceList.dat.lock")), "12345\nhost\n"));
        const QString lock = CFolderLock::LockPath(dir.path());
        for (const auto& place :
             {std::function<void()>([&] { QDir().mkpath(lock); }),
              std::function<void()>([&] { WriteBytes(lock, {}); }),
              std::function<void()>([&] { WriteBytes(lock, "\xFF garbage"); })}) {
            QDir(lock).removeRecursively();
            QFile::remove(lock);
            place();
            QElapsedTimer timer;
            timer.start();
            document->Change(AddFaces{{{std::to_string(timer.nsecsElapsed()), "F"}}});
            QVERIFY(!document->Flush().failed);
            QVERIFY(timer.elapsed() < 1000);
        }
        QDir(lock).removeRecursively();
    }

    // Another machine's version that a sync tool left beside the file is merged against what
    // both started from: its adds, deletes, moves and edits join this machine's, an edit beats
    // a delete on either side, and the copy goes once the merge is saved. A copy found again
    // (a crash before it was removed) changes nothing; without a base only its adds are taken;
    // one the file's encoding cannot hold waits for UTF-8.
    void conflictCopiesAreMergedAgainstTheBase() {
        QTemporaryDir dir;
        QVERIFY(WriteBytes(dir.filePath(kFaceList), "a\r\nF\r\n\r\nd\r\nF\r\n\r\ne\r\nF\r\n\r\n"));
        auto document = Opened(dir.path());
        QSignalSpy merged(document.get(), &CLibraryDocument::copyMerged);
        QSignalSpy waiting(document.get(), &CLibraryDocument::copyWaiting);
        document->Change(AddFaces{{{"x", "F"}}});
        document->Change(ReplaceFace{"e", {"e2", "F"}});
        document->Change(RemoveFaces{{"d"}});
        QVERIFY(!document->Flush().failed);

        const QString copy =
            dir.filePath(QStringLiteral("FaceList.sync-conflict-20261209-010203-ABCDEFG.dat"));
        const std::string other = "a\r\nG\r\n\r\nd2\r\nF\r\n\r\ny\r\nF\r\n\r\n";
        const auto mergeCopy = [&](const std::string& bytes) {
            QVERIFY(WriteBytes(copy, bytes));
            document->LookAtFile();
            QVERIFY(!document->Flush().failed);
            QTRY_VERIFY(!QFile::exists(copy));
        };
        const std::set<std::string> expected = {"a", "x", "e2", "d2", "y"};
        mergeCopy(other);
        QCOMPARE(merged.size(), 1);
        auto summary = merged.takeFirst().at(1).value<MergeSummary>();
        QCOMPARE(std::make_tuple(summary.added, summary.removed, summary.moved),
                 std::make_tuple(std::size_t{2}, std::size_t{0}, std::size_t{1}));
        const auto texts = [&] {
            const std::vector<std::string> all = TextsOf(document->Library());
            return std::set<std::string>(all.begin(), all.end());
        };
        QCOMPARE(texts(), expected);
        QCOMPARE(document->Library().Folder(*document->Library().FindRecord("a")), "G");
        QCOMPARE(ContentsOfFile(dir.filePath(kFaceList)), ContentsOf(document->Library()));

        mergeCopy(other);
        summary = merged.takeFirst().at(1).value<MergeSummary>();
        QCOMPARE(summary.added + summary.removed + summary.moved, std::size_t{0});
        QCOMPARE(texts(), expected);

        QVERIFY(QFile::remove(
            QDir(StateFolder(dir.path())).filePath(QStringLiteral("FaceList.base.dat"))));
        mergeCopy("a\r\nF\r\n\r\nz\r\nF\r\n\r\n");
        summary = merged.takeFirst().at(1).value<MergeSummary>();
        QCOMPARE(std::make_tuple(summary.added, summary.removed, summary.moved),
                 std::make_tuple(std::size_t{1}, std::size_t{0}, std::size_t{0}));
        QCOMPARE(document->Library().Folder(*document->Library().FindRecord("a")), "G");

        const std::string bear = "\xCA\x95\xE2\x80\xA2\xE1\xB4\xA5\xE2\x80\xA2\xCA\x94";
        QVERIFY(WriteBytes(
            copy, std::string(Charset(Encoding::Utf8).FileMark()) + bear + "\r\nF\r\n\r\n"));
        document->LookAtFile();
        QVERIFY(!document->Flush().failed);
        QCOMPARE(waiting.size(), 1);
        QVERIFY(QFile::exists(copy));
        QVERIFY(!document->Library().FindRecord(bear));
        QVERIFY(document->ConvertToUtf8().empty());
        QVERIFY(!document->Flush().failed);
        QTRY_VERIFY(!QFile::exists(copy));
        QVERIFY(document->Library().FindRecord(bear));
        QCOMPARE(waiting.size(), 1);
    }

    // Readings and keywords live beside the library: they follow its edits, are written on
    // their own (FaceList.dat keeps its bytes), and what another program or machine changed
    // in their file, or left in a conflict copy of it, is merged rather than lost.
    void keywordsFollowTheLibraryAndMergeOtherChanges() {
        QTemporaryDir dir;
        const std::string faces = "a\r\nF\r\n\r\nb\r\nF\r\n\r\nc\r\nF\r\n\r\n";
        QVERIFY(WriteBytes(dir.filePath(kFaceList), faces));
        const QString path = dir.filePath(QStringLiteral("Keywords.dat"));
        QVERIFY(WriteBytes(path,
                           "folder\tF\t\xE3\x81\x88\xE3\x81\xB5\n"
                           "face\ta\tk1\nface\tc\tsee\n"));
        auto document = Opened(dir.path());
        QSignalSpy told(document.get(), &CLibraryDocument::keywordsChanged);
        const auto inFile = [&] { return CKeywordTable::Read(ReadBytes(path), Charset()).table; };

        QVERIFY(document->SetFaceKeywords("b", {"bee"}));
        QVERIFY(!document->SetFaceKeywords("b", {"bee"}));
        document->Change(ReplaceFace{"a", {"a2", "F"}});
        document->Change(RemoveFaces{{"c"}});
        document->Change(MoveFaces{{"b"}, "G"});
        QVERIFY(!document->Flush().failed);
        CKeywordTable expected;
        expected.SetFolderReading("F", "えふ");
        expected.SetFaceKeywords("a2", {"k1"});
        expected.SetFaceKeywords("b", {"bee"});
        QCOMPARE(document->Keywords(), expected);
        QCOMPARE(inFile(), expected);
        QCOMPARE(told.size(), 3);

        // Another program adds to the file while the user changes a reading.
        CKeywordTable theirs = expected;
        theirs.SetFaceKeywords("b", {"bee", "buzz"});
        theirs.SetFolderReading("G", "じー");
        QVERIFY(WriteBytes(path, theirs.Write()));
        QVERIFY(document->SetFolderReading("F", "えふえふ"));
        document->LookAtFile();
        QVERIFY(!document->Flush().failed);
        expected = theirs;
        expected.SetFolderReading("F", "えふえふ");
        QCOMPARE(document->Keywords(), expected);
        QCOMPARE(inFile(), expected);

        // Another machine's version, left beside the file by its sync tool.
        const QString copy =
            dir.filePath(QStringLiteral("Keywords.sync-conflict-20261209-010203-ABCDEFG.dat"));
        CKeywordTable other = expected;
        other.SetFaceKeywords("a2", {});
        other.SetFaceKeywords("z", {"zed"});
        QVERIFY(WriteBytes(copy, other.Write()));
        document->LookAtFile();
        QVERIFY(!document->Flush().failed);
        QTRY_VERIFY(!QFile::exists(copy));
        QCOMPARE(document->Keywords(), other);
        QCOMPARE(inFile(), other);

        // A file gone for a moment, emptied or overwritten with junk takes nothing away.
        for (const std::string& damage : {std::string(), std::string("\x01\x02junk\n\xFF\n")}) {
            QVERIFY(WriteBytes(path, damage));
            document->LookAtFile();
            QVERIFY(!document->Flush().failed);
            QCOMPARE(document->Keywords(), other);
            QCOMPARE(inFile(), other);
        }
        QVERIFY(QFile::remove(path));
        document->LookAtFile();
        QVERIFY(!document->Flush().failed);
        QCOMPARE(inFile(), other);
        QCOMPARE(ReadBytes(dir.filePath(kFaceList)), "a2\r\nF\r\n\r\nb\r\nG\r\n\r\n");
    }

    // In a folder a sync tool keeps, the other machine's version may replace what this one
    // wrote without a conflict copy: what this one changed since the base is merged into it.
    // A version made from this one's (its adds there, one of them deleted) is taken as it is.
    void aVersionPutInPlaceOfOursIsMergedWhenNotMadeFromIt() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral(".stfolder")));
        const QString path = dir.filePath(kFaceList);
        const std::string many = ManyRecords(20);
        QVERIFY(WriteBytes(path, many + "d\r\nF\r\n\r\n"));
        auto document = Opened(dir.path());
        document->Change(AddFaces{{{"x", "F"}}});
        document->Change(RemoveFaces{{"d"}});
        QVERIFY(!document->Flush().failed);
        const auto replace = [&](const std::string& bytes) {
            QVERIFY(WriteBytes(path + QStringLiteral(".other"), bytes));
            QVERIFY(::rename(QFile::encodeName(path + QStringLiteral(".other")).constData(),
                             QFile::encodeName(path).constData()) == 0);
            document->LookAtFile();
            QVERIFY(!document->Flush().failed);
        };
        replace(many + "d\r\nF\r\n\r\ny\r\nG\r\n\r\n");
        QVERIFY(ReadBytes(path) == many + "y\r\nG\r\n\r\nx\r\nF\r\n\r\n");
        QCOMPARE(ContentsOf(document->Library()), ContentsOfFile(path));

        replace(many + "y\r\nG\r\n\r\n");
        QVERIFY(ReadBytes(path) == many + "y\r\nG\r\n\r\n");
        QCOMPARE(ContentsOf(document->Library()), ContentsOfFile(path));
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
            CFolderLock saving;
            FileError error;
            QVERIFY(saving.Take(dir.path(), 0, error));
            CLibraryFile(dir.path()).Open();
            QCOMPARE(FilesIn(dir.path()).size(), (ours + others).size());
        }
        CLibraryFile(dir.path()).Open();
        QStringList expected = others;
        expected.sort();
        QCOMPARE(FilesIn(dir.path()), expected);
    }

    // A real full disk: a small file system holding the kaomojikan library and not a byte to
    // spare.
    void aFullDiskKeepsTheLibraryWhole() {
        SKIP_WHERE_PROCESSES_CANNOT_START();
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
        QFile filler(QDir(mount).filePath(QStringLiteral("filler")));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(512, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        filler.close();

        auto document = Opened(mount);
        QCOMPARE(document->Library().Size(), 715u);
        const std::string first(document->Library().Text(0));
        document->Change(RemoveFaces{{first}});
        const auto saved = document->Flush();
        QCOMPARE(saved.error.code, ENOSPC);
        QVERIFY(ReadBytes(QDir(mount).filePath(kFaceList)) == library);
        QCOMPARE(FilesIn(mount), (QStringList{kFaceList, QStringLiteral("filler")}));

        // Room again: saved.
        QVERIFY(QFile::remove(QDir(mount).filePath(QStringLiteral("filler"))));
        QVERIFY(!document->Flush().failed);
        CFaceLibrary reread;
        reread.LoadFaceList(ReadBytes(QDir(mount).filePath(kFaceList)));
        QCOMPARE(reread.Size(), 714u);
        QVERIFY(!reread.FindRecord(first));
    }
};

}  // namespace mopira

QTEST_GUILESS_MAIN(mopira::TestLibraryFile)
#include "test_library_file.moc"
