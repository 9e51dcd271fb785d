// The library's document and its disk thread against a model: random sequences of the user's
// changes, other programs rewriting the file (renamed into place, written in place, or
// rewritten to the same size with its time put back), saves failing at any step, conversions
// to UTF-8, questions about changes that would lose much, and closing. After every save the
// file holds what the model says, nothing the model refuses is written, and nothing is lost.
#include <fcntl.h>
#include <sys/stat.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <map>
#include <memory>
#include <random>

#include "LibraryFiles.h"
#include "core/library/LibraryEdit.h"
#include "store/LibraryDocument.h"
#include "store/PlatformFile.h"

namespace mopira {

namespace {

const QString kFaceList = QStringLiteral("FaceList.dat");

// Texts CP932 holds, texts only UTF-8 holds, and bytes that are no CP932 character.
const char* const kTexts[] = {"(^_^)",      "(T_T)",   "(-_-)",   "orz",
                              "(´・ω・｀)", "m(_ _)m", "(＾ω＾)", "ヽ(・∀・)ﾉ",
                              "(；ω；)",    "(*´∀｀)", "(>_<)",   "(=_=)"};
const char* const kUtf8Only[] = {"ʕ•ᴥ•ʔ", "(◕‿◕)", "(ง'̀-'́)ง"};
const char* const kFolders[] = {"笑顔", "泣く", "その他", "怒り"};
const std::string kInvalid = "(\x85\x40)";

using Records = std::map<std::string, std::string>;  // UTF-8 text to UTF-8 folder

// A library by its records' characters, so that libraries in two encodings compare; bytes that
// are no character stand as they are.
Records Contents(const CFaceLibrary& library) {
    Records records;
    const Charset charset = library.GetCharset();
    library.ForEachRecord([&](RecordId id) {
        const std::string text(library.Text(id));
        records[charset.IsValid(text) ? charset.ToUtf8(text) : text] =
            charset.ToUtf8(library.Folder(id));
    });
    return records;
}

Records ContentsOf(const std::string& bytes) {
    CFaceLibrary library;
    library.LoadFaceList(bytes);
    return Contents(library);
}

Charset CharsetOf(std::string_view bytes) {
    return Charset::TakeFileMark(bytes);
}

QString Describe(const Records& records) {
    QStringList items;
    for (const auto& [text, folder] : records) {
        items << QString::fromStdString(text + "/" + folder);
    }
    return items.join(QLatin1Char(' '));
}

// Whether the window, showing `shown`, must ask before taking the file at all: it is empty, or
// more than a quarter of it is not text.
bool MustAskAboutFile(const Records& shown, const std::string& fileBytes) {
    CFaceLibrary library;
    library.LoadFaceList(fileBytes);
    std::size_t damaged = 0;
    library.ForEachRecord(
        [&](RecordId id) { damaged += library.GetCharset().IsValid(library.Text(id)) ? 0 : 1; });
    return !shown.empty() && (library.Empty() || damaged * 4 > library.Size());
}

// Whether it must ask before taking the file with the changes that wait applied (`merged`):
// it lacks more than a quarter of what the window shows.
bool MustAsk(const Records& shown, const Records& merged) {
    if (shown.empty()) {
        return false;
    }
    std::size_t missing = 0;
    for (const auto& [text, folder] : shown) {
        missing += merged.count(text) == 0 ? 1 : 0;
    }
    return missing * 4 > shown.size();
}

struct Pending {
    LibraryEdit edit;
    Charset charset;
};

// What the disk holds and what waits to be saved; the document must agree with both.
struct Model {
    std::string fileBytes;
    std::vector<Pending> pending;

    // The file with the changes applied: what the window shows. False when a change waits
    // because the file cannot hold it.
    bool View(CFaceLibrary& view) const {
        view.LoadFaceList(fileBytes);
        for (const Pending& change : pending) {
            const EditOutcome outcome = ApplyEdit(view, change.edit, change.charset);
            if (outcome.waiting || !outcome.refused.empty()) {
                return false;
            }
        }
        return true;
    }
};

void SetModified(const QString& path, std::int64_t nanoseconds) {
    const struct timespec times[2] = {{0, UTIME_OMIT},
                                      {static_cast<time_t>(nanoseconds / 1'000'000'000),
                                       static_cast<long>(nanoseconds % 1'000'000'000)}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

class CRun {
public:
    CRun(std::uint32_t seed, const QString& folder) : m_random(seed), m_folder(folder) {}

    std::mt19937& Random() { return m_random; }
    bool Chance(int percent) { return static_cast<int>(m_random() % 100) < percent; }
    template <class T, std::size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[m_random() % N];
    }
    QString Path() const { return QDir(m_folder).filePath(kFaceList); }

private:
    std::mt19937 m_random;
    QString m_folder;
};

// A change of the user's to `view`, in its encoding; none when there is nothing to change.
std::optional<LibraryEdit> UserChange(CRun& run, const CFaceLibrary& view) {
    const Charset charset = view.GetCharset();
    const bool utf8 = charset.GetEncoding() == Encoding::Utf8;
    auto text = [&] {
        const char* chosen = utf8 && run.Chance(25) ? run.Pick(kUtf8Only) : run.Pick(kTexts);
        return charset.FromUtf8(chosen).bytes;
    };
    auto folder = [&] { return charset.FromUtf8(run.Pick(kFolders)).bytes; };
    const std::vector<RecordId> ids = view.Records();
    auto existing = [&] { return std::string(view.Text(ids[run.Random()() % ids.size()])); };
    switch (ids.empty() ? 0 : run.Random()() % 4) {
        case 0:
            return AddFaces{{{text(), folder()}}};
        case 1:
            return RemoveFaces{{existing()}};
        case 2:
            return ReplaceFace{existing(), {text(), folder()}};
        default:
            return MoveFaces{{existing(), existing()}, folder()};
    }
}

// Another program's version of `bytes`: a few emoticons added, moved or removed (never most of
// them), sometimes bytes that are no CP932 character, sometimes another encoding.
std::string OutsideVersion(CRun& run, const std::string& bytes) {
    CFaceLibrary library;
    library.LoadFaceList(bytes);
    const Charset charset = library.GetCharset();
    std::vector<RecordId> ids = library.Records();
    for (std::size_t i = 0; i < ids.size() / 5 + 1 && !ids.empty() && run.Chance(60); ++i) {
        library.RemoveRecord(std::string(library.Text(ids[run.Random()() % ids.size()])));
    }
    const std::string added = charset.FromUtf8(run.Pick(kTexts)).bytes + "!";
    library.AppendRecord(added, charset.FromUtf8(run.Pick(kFolders)).bytes);
    if (charset.GetEncoding() == Encoding::Cp932 && run.Chance(30)) {
        library.AppendRecord(kInvalid, charset.FromUtf8("その他").bytes);
    } else if (library.FindRecord(kInvalid) && run.Chance(50)) {
        library.RemoveRecord(kInvalid);
    }
    if (run.Chance(10)) {
        // Another program takes the file to the other encoding, as far as it can.
        CFaceLibrary other;
        const Charset to(charset.GetEncoding() == Encoding::Cp932 ? Encoding::Utf8
                                                                  : Encoding::Cp932);
        std::string converted(to.FileMark());
        library.ForEachRecord([&](RecordId id) {
            const EncodeResult text = to.FromUtf8(charset.ToUtf8(library.Text(id)));
            const EncodeResult folder = to.FromUtf8(charset.ToUtf8(library.Folder(id)));
            if (charset.IsValid(library.Text(id)) && text.Ok() && folder.Ok()) {
                converted += text.bytes + "\r\n" + folder.bytes + "\r\n\r\n";
            }
        });
        return converted;
    }
    return library.SaveFaceList();
}

}  // namespace

class TestDiskThread : public QObject {
    Q_OBJECT

private slots:
    void theDocumentAgreesWithAModel() {
        for (std::uint32_t seed = 1; seed <= 30; ++seed) {
            RunSequence(seed);
            if (QTest::currentTestFailed()) {
                qWarning("seed %u", seed);
                return;
            }
        }
    }

private:
    QString m_trace;

    void Trace(const QString& what) { m_trace += what + QLatin1Char(';'); }

    void RunSequence(std::uint32_t seed) {
        m_trace.clear();
        QTemporaryDir dir;
        CRun run(seed, dir.path());
        Model model;
        model.fileBytes = test::FaceList(
            {{"(^_^)", "笑顔"}, {"(T_T)", "泣く"}, {"(-_-)", "その他"}, {"orz", "その他"}});
        QVERIFY(test::WriteBytes(run.Path(), model.fileBytes));
        std::unique_ptr<CLibraryDocument> document;
        std::optional<SuspiciousChange> asked;
        auto open = [&] {
            document = std::make_unique<CLibraryDocument>(dir.path());
            connect(document.get(), &CLibraryDocument::suspiciousChange,
                    [&asked](const SuspiciousChange& change) { asked = change; });
            document->Load();
            document->Flush();
        };
        open();
        // While it lives, saves fail.
        std::unique_ptr<CFileFaultSeam> fault;

        for (int step = 0; step < 40; ++step) {
            CFaceLibrary view;
            const bool viewable = model.View(view);
            if (viewable) {
                QVERIFY2(
                    Contents(document->Library()) == Contents(view),
                    qPrintable(
                        QStringLiteral("step %1 (failure %5 %6): %2 against %3 (%4)")
                            .arg(step)
                            .arg(document->Failure() ? document->Failure()->error.code : -1)
                            .arg(document->Failure() ? int(document->Failure()->error.step) : -1)
                            .arg(Describe(Contents(document->Library())), Describe(Contents(view)),
                                 m_trace)));
            }
            const int what = static_cast<int>(run.Random()() % 100);
            if (what < 45 && viewable) {
                const std::optional<LibraryEdit> edit = UserChange(run, document->Library());
                const Charset charset = document->Library().GetCharset();
                if (edit && !document->Change(*edit).waiting) {
                    model.pending.push_back({*edit, charset});
                    Trace(QStringLiteral("change %1").arg(edit->index()));
                }
            } else if (what < 52 && viewable) {
                if (document->Library().GetCharset().GetEncoding() == Encoding::Cp932 &&
                    document->ConvertToUtf8().empty()) {
                    model.pending.push_back({ConvertLibraryToUtf8{}, Charset()});
                    Trace(QStringLiteral("convert"));
                }
            } else if (what < 60) {
                // The disk fills up, or room comes back; saves meanwhile fail at some step.
                // A small file is written at the flush of its one buffer.
                const FileStep steps[] = {FileStep::Create, FileStep::Flush, FileStep::Sync,
                                          FileStep::Rename};
                if (fault) {
                    fault.reset();
                    Trace(QStringLiteral("room"));
                } else if (viewable) {
                    // What was saved in the background so far is in the file.
                    document->Flush();
                    if (document->HasUnsavedChanges()) {
                        continue;
                    }
                    model.fileBytes = test::ReadBytes(run.Path());
                    model.pending.clear();
                    fault = std::make_unique<CFileFaultSeam>(
                        run.Pick(steps), ENOSPC, 0, CFileFaultSeam::Action::Fail, kFaceList);
                    Trace(QStringLiteral("full"));
                }
            } else if (what < 75) {
                Trace(QStringLiteral("flush"));
                Flushed(run, model, *document, view, viewable, fault != nullptr, dir.path());
                QVERIFY(!asked);
            } else if (what < 93) {
                Outside(run, model, *document, fault, asked, dir.path());
            } else if (!fault) {
                // Closing saves what waits, failed before or not.
                Trace(QStringLiteral("close"));
                document.reset();
                if (viewable) {
                    QCOMPARE(ContentsOf(test::ReadBytes(run.Path())), Contents(view));
                    model.fileBytes = test::ReadBytes(run.Path());
                } else {
                    QVERIFY(test::ReadBytes(run.Path()) == model.fileBytes);
                }
                model.pending.clear();  // what could not be written is not this run's
                open();
            }
            if (QTest::currentTestFailed()) {
                return;
            }
        }
        fault.reset();
        document.reset();
    }

    // A save: what waits is written, unless the disk is full or the file cannot take it.
    void Flushed(CRun& run, Model& model, CLibraryDocument& document, const CFaceLibrary& view,
                 bool viewable, bool full, const QString& folder) {
        const bool converting =
            std::any_of(model.pending.begin(), model.pending.end(), [](const Pending& change) {
                return std::holds_alternative<ConvertLibraryToUtf8>(change.edit);
            });
        // What the file held when the conversion's save read it: the changes before the
        // conversion may have been saved earlier in the background, or with it.
        std::vector<Records> before;
        {
            CFaceLibrary file;
            file.LoadFaceList(model.fileBytes);
            before.push_back(Contents(file));
            for (const Pending& change : model.pending) {
                if (std::holds_alternative<ConvertLibraryToUtf8>(change.edit)) {
                    break;
                }
                ApplyEdit(file, change.edit, change.charset);
                before.push_back(Contents(file));
            }
        }
        const Charset beforeCharset = CharsetOf(model.fileBytes);
        document.Flush();
        if (full || !viewable) {
            // Nothing written; everything waits.
            QVERIFY2(document.HasUnsavedChanges() || model.pending.empty(),
                     qPrintable(QStringLiteral("%1 %2").arg(full).arg(m_trace)));
            QVERIFY2(test::ReadBytes(run.Path()) == model.fileBytes, qPrintable(m_trace));
            return;
        }
        QVERIFY(!document.HasUnsavedChanges());
        const std::string saved = test::ReadBytes(run.Path());
        QCOMPARE(ContentsOf(saved), Contents(view));
        QCOMPARE(CharsetOf(saved), view.GetCharset());
        if (converting && beforeCharset.GetEncoding() == Encoding::Cp932) {
            // The file as it was before it became UTF-8 is kept beside it.
            bool kept = false;
            const QDir dir(folder);
            for (const QString& name : dir.entryList({QStringLiteral("FaceList.sjis*.dat")})) {
                const Records copy = ContentsOf(test::ReadBytes(dir.filePath(name)));
                kept = kept || std::find(before.begin(), before.end(), copy) != before.end();
            }
            QVERIFY2(kept, qPrintable(m_trace));
        }
        model.fileBytes = saved;
        model.pending.clear();
    }

    // Another program rewrites the file: renamed into place, written in place, or an editor's
    // one-letter change that keeps the size and the time. The window looks at once.
    void Outside(CRun& run, Model& model, CLibraryDocument& document,
                 std::unique_ptr<CFileFaultSeam>& fault, std::optional<SuspiciousChange>& asked,
                 const QString& folder) {
        // The disk thread is quiet: a read while the file is half written is the settling's
        // business, not this test's.
        document.Flush();
        if (!fault) {
            // What the window saved in the background is what the other program reads.
            CFaceLibrary view;
            if (document.HasUnsavedChanges() || !model.View(view)) {
                return;
            }
            model.fileBytes = test::ReadBytes(run.Path());
            model.pending.clear();
        }
        std::string rewritten = OutsideVersion(run, model.fileBytes);
        const FileStamp old = StampOf(run.Path());
        const QString path = run.Path();
        if (run.Chance(20) && rewritten.find('_') != std::string::npos) {
            rewritten = model.fileBytes;
            const std::size_t at = rewritten.find('_');
            if (at == std::string::npos) {
                return;
            }
            rewritten[at] = '~';
            QVERIFY(test::WriteBytes(path, rewritten));
            SetModified(path, old.modified);
            QCOMPARE(StampOf(path).size, old.size);
            Trace(QStringLiteral("edited"));
        } else if (run.Chance(30)) {
            QVERIFY(test::WriteBytes(path, rewritten));
            SetModified(path, old.modified - 1'000'000'000);
            Trace(QStringLiteral("written"));
        } else {
            const QString temporary = QDir(folder).filePath(QStringLiteral("sync.tmp"));
            QVERIFY(test::WriteBytes(temporary, rewritten));
            SetModified(temporary, old.modified - 1'000'000'000);
            QVERIFY(::rename(QFile::encodeName(temporary).constData(),
                             QFile::encodeName(path).constData()) == 0);
            Trace(QStringLiteral("replaced"));
        }
        const Records shown = Contents(document.Library());
        // The same bytes again are no change to ask about.
        const bool changed = rewritten != model.fileBytes;
        model.fileBytes = rewritten;
        CFaceLibrary merged;
        const bool viewable = model.View(merged);
        const bool mustAsk = changed && (MustAskAboutFile(shown, rewritten) ||
                                         (viewable && MustAsk(shown, Contents(merged))));
        document.LookAtFile();  // as the watch would, once its events settle
        document.Flush();
        QVERIFY2(asked.has_value() == mustAsk,
                 qPrintable(QStringLiteral("asked %1: shown %2, file %3 (%4)")
                                .arg(asked ? int(asked->kind) : -1)
                                .arg(Describe(shown), Describe(ContentsOf(rewritten)), m_trace)));
        if (asked) {
            // The user answers once there is room to keep what is not chosen.
            fault.reset();
            CheckAsked(run, model, document, folder);
            asked.reset();
        }
    }

    // The document asked about a change that would lose much: the model predicted it, and
    // either choice keeps both sides.
    void CheckAsked(CRun& run, Model& model, CLibraryDocument& document, const QString& folder) {
        CFaceLibrary merged;
        const bool viewable = model.View(merged);
        // Nothing was written or taken in.
        QVERIFY(test::ReadBytes(run.Path()) == model.fileBytes);
        const Records shown = Contents(document.Library());
        const QStringList before = QDir(folder).entryList({QStringLiteral("FaceList.recovery-*")});
        const bool take = run.Chance(50);
        const std::string fileBefore = model.fileBytes;
        Trace(take ? QStringLiteral("take") : QStringLiteral("write back"));
        document.Resolve(take ? SuspiciousChoice::TakeFile : SuspiciousChoice::WriteLibrary);
        document.Flush();
        const QStringList after = QDir(folder).entryList({QStringLiteral("FaceList.recovery-*")});
        QCOMPARE(after.size(), before.size() + 1);
        QString recovery;
        for (const QString& name : after) {
            if (!before.contains(name)) {
                recovery = QDir(folder).filePath(name);
            }
        }
        if (take) {
            QCOMPARE(ContentsOf(test::ReadBytes(recovery)), shown);
            if (!viewable) {
                // The file cannot take what waits: it stays, and so do the changes.
                QVERIFY(test::ReadBytes(run.Path()) == model.fileBytes);
                QVERIFY(document.HasUnsavedChanges());
                QFile::remove(recovery);
                return;
            }
            QCOMPARE(ContentsOf(test::ReadBytes(run.Path())), Contents(merged));
        } else {
            QVERIFY(test::ReadBytes(recovery) == fileBefore);
            QCOMPARE(ContentsOf(test::ReadBytes(run.Path())), shown);
        }
        QFile::remove(recovery);
        model.fileBytes = test::ReadBytes(run.Path());
        model.pending.clear();
    }
};

}  // namespace mopira

QTEST_GUILESS_MAIN(mopira::TestDiskThread)
#include "test_disk_thread.moc"
