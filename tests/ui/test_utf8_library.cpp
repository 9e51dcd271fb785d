#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <cerrno>
#include <random>

#include "LibraryFiles.h"
#include "ListTabSession.h"
#include "core/app/ControlIds.h"
#include "core/library/TextExchange.h"
#include "store/LibraryDocument.h"
#include "store/PlatformFile.h"
#include "ui/library/FolderTree.h"
#include "ui/library/ListActions.h"
#include "ui/library/ListPage.h"
#include "ui/platform/FileDialog.h"
#include "ui/platform/Fonts.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/ModalSeam.h"

namespace mopira {

namespace {

const QString kFaceList = QStringLiteral("FaceList.dat");
const QString kKept = QStringLiteral("FaceList.sjis.dat");
const std::string kMark = "\xEF\xBB\xBF";
const char* const kBear = "ʕ•ᴥ•ʔ";

std::string U8(const char* text) {
    return text;
}

// (text, folder) of every record, in UTF-8, whatever the library's encoding.
std::map<std::string, std::string> Records(const CFaceLibrary& library) {
    std::map<std::string, std::string> records;
    const Charset charset = library.GetCharset();
    library.ForEachRecord([&](RecordId id) {
        records[charset.ToUtf8(library.Text(id))] = charset.ToUtf8(library.Folder(id));
    });
    return records;
}

}  // namespace

class TestUtf8Library : public QObject {
    Q_OBJECT

private:
    static std::string Library() {
        return test::FaceList({{"(´・ω・｀)", "しょぼん"}, {"(・∀・)", "にこにこ"}});
    }

    struct Session : test::CListTabSession {
        explicit Session(const std::string& library = Library(), const std::string& keywords = {})
            : CListTabSession(library, 0, keywords) {}

        CLibraryDocument& Document() const { return dialog->Document(); }
        QString Path(const QString& name) const { return fixture.PathOf(name); }

        // The add dialog, given `text` in the folder `folder` and confirmed.
        void AddFace(const char* text, const std::string& folder, CModalSeam& modal) const {
            modal.SetHandler([text, folder](QDialog& shown) {
                shown.findChild<QLineEdit*>(QStringLiteral("m_edtFace"))
                    ->setText(QString::fromUtf8(text));
                auto* tree = shown.findChild<CFolderTree*>(QStringLiteral("m_tree"));
                tree->setCurrentItem(tree->FolderNode(folder));
                shown.findChild<QPushButton*>(QStringLiteral("m_btnOK"))->click();
            });
            Command(id::kNewFace);
        }

        // Imports `path` through the list's menu, agreeing to UTF-8 if asked; how long the
        // command took, in milliseconds.
        qint64 ImportWithConsent(const QString& path, CMessageBoxSeam& messages) const {
            CFileDialogSeam files;
            files.AnswerNext(path);
            messages.AnswerNext(MessageAnswer::Yes);
            QElapsedTimer timer;
            timer.start();
            const bool chosen = ContextCommand(id::kImport);
            const qint64 elapsed = timer.elapsed();
            [&] {
                QVERIFY(chosen);
                QCOMPARE(files.Shown(), QStringList{QStringLiteral("インポート")});
            }();
            return elapsed;
        }

        // The properties dialog of `text`, its text changed to the bear and confirmed.
        void EditToTheBear(const QString& text) const {
            Select({text});
            CModalSeam modal([](QDialog& shown) {
                shown.findChild<QLineEdit*>(QStringLiteral("m_edtFace"))
                    ->setText(QString::fromUtf8(kBear));
                shown.findChild<QPushButton*>(QStringLiteral("m_btnOK"))->click();
            });
            Command(id::kProperties);
        }
    };

private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    // Yes: the old file is kept byte for byte under a free name, the library is saved with
    // the mark, and the user's new emoticon is in it.
    void consentKeepsTheOldFileConvertsAndAdds() {
        Session s;
        // A copy kept by an earlier conversion is never written over.
        s.fixture.WriteFile(kKept, "someone else's");
        const std::string before = s.fixture.ReadFile(kFaceList);
        CMessageBoxSeam messages;
        messages.AnswerNext(MessageAnswer::Yes);
        CModalSeam modal(nullptr);
        s.AddFace(kBear, test::Sjis("にこにこ"), modal);
        QCOMPARE(modal.Runs(), 1);
        QCOMPARE(messages.Shown().size(), 1);
        QVERIFY(messages.Shown().front().contains(QStringLiteral("UTF-8")));

        const std::string after = s.fixture.ReadFile(kFaceList);
        QVERIFY(after.starts_with(kMark));
        QVERIFY(after.ends_with(U8(kBear) + "\r\n" + U8("にこにこ") + "\r\n\r\n"));
        QCOMPARE(s.fixture.ReadFile(kKept), std::string("someone else's"));
        QVERIFY(s.fixture.ReadFile(QStringLiteral("FaceList.sjis.2.dat")) == before);
        QCOMPARE(Records(s.dialog->Library()).size(), 3u);
        // The list shows it in UTF-8, and the combo's folders are the converted ones.
        QVERIFY(s.Rows().contains(QString::fromUtf8(kBear)));
        QVERIFY(s.Folders().contains(QStringLiteral("にこにこ")));
        QCOMPARE(s.SelectedTexts(), QStringList{QString::fromUtf8(kBear)});
    }

    // No: the refusal of before, and the file stays byte for byte.
    void declinedConsentChangesNothing() {
        Session s;
        const std::string before = s.fixture.ReadFile(kFaceList);
        CMessageBoxSeam messages;
        messages.AnswerNext(MessageAnswer::No);
        CModalSeam modal(nullptr);
        s.AddFace(kBear, test::Sjis("にこにこ"), modal);
        QCOMPARE(messages.Shown().size(), 2);
        QVERIFY(messages.Shown().at(1).contains(QStringLiteral("U+1D25")));
        QVERIFY(s.fixture.ReadFile(kFaceList) == before);
        QVERIFY(!QFile::exists(s.Path(kKept)));
        QCOMPARE(s.dialog->Library().GetCharset().GetEncoding(), Encoding::Cp932);
    }

    // A library holding bytes that are no CP932 says which emoticons and converts nothing;
    // an edit in the properties dialog is refused as before.
    void invalidBytesAreNamedAndNothingConverts() {
        std::string library = Library();
        library += "bad\x85\x40\r\nF\r\n\r\n";
        Session s(library);
        CMessageBoxSeam messages;
        messages.AnswerNext(MessageAnswer::Yes);
        s.EditToTheBear(QStringLiteral("(・∀・)"));
        QCOMPARE(messages.Shown().size(), 3);  // the question, which ones, the refusal
        QVERIFY(messages.Shown().at(1).contains(QStringLiteral("bad")));
        QVERIFY(s.fixture.ReadFile(kFaceList) == library);
        QVERIFY(!QFile::exists(s.Path(kKept)));
    }

    // The properties dialog converts too, and the edit lands on the converted record.
    void propertiesEditAfterConsent() {
        Session s;
        CMessageBoxSeam messages;
        messages.AnswerNext(MessageAnswer::Yes);
        s.EditToTheBear(QStringLiteral("(・∀・)"));
        const auto records = Records(s.dialog->Library());
        QCOMPARE(records.size(), 2u);
        QCOMPARE(records.at(kBear), U8("にこにこ"));
        QVERIFY(s.fixture.ReadFile(kFaceList).starts_with(kMark));
    }

    // The emoticon the create tab offers, in UTF-8 parts, goes into a CP932 library once
    // the owner agrees.
    void offeredFaceAsksToo() {
        Session s;
        CMessageBoxSeam messages;
        messages.AnswerNext(MessageAnswer::Yes);
        QString shownText;
        CModalSeam modal([&shownText](QDialog& shown) {
            shownText = shown.findChild<QLineEdit*>(QStringLiteral("m_edtFace"))->text();
            // Asked at OK: the library is still Shift_JIS while the dialog shows.
            auto* tree = shown.findChild<CFolderTree*>(QStringLiteral("m_tree"));
            tree->setCurrentItem(tree->FolderNode(test::Sjis("しょぼん")));
            shown.findChild<QPushButton*>(QStringLiteral("m_btnOK"))->click();
        });
        s.dialog->ListPage().Actions().AddFace(kBear, Charset(Encoding::Utf8));
        QCOMPARE(shownText, QString::fromUtf8(kBear));
        QCOMPARE(Records(s.dialog->Library()).at(kBear), U8("しょぼん"));
    }

    // A new folder's name asks too, in the move dialog; the emoticons move into it.
    void newFolderNameAsksToo() {
        Session s;
        s.Select({0, 1});
        CMessageBoxSeam messages;
        messages.AnswerNext(MessageAnswer::Yes);
        CModalSeam modal([](QDialog& shown) {
            if (shown.objectName() == QStringLiteral("m_newFolderDlg")) {
                shown.findChild<QLineEdit*>(QStringLiteral("m_edtName"))
                    ->setText(QString::fromUtf8(kBear));
            } else {
                shown.findChild<QPushButton*>(QStringLiteral("m_btnNewFolder"))->click();
            }
            shown.findChild<QPushButton*>(QStringLiteral("m_btnOK"))->click();
        });
        s.Command(id::kMove);
        QCOMPARE(modal.Runs(), 2);
        QCOMPARE(messages.Shown().size(), 1);
        const auto records = Records(s.dialog->Library());
        QCOMPARE(records.at(U8("(´・ω・｀)")), U8(kBear));
        QCOMPARE(records.at(U8("(・∀・)")), U8(kBear));
        QVERIFY(s.fixture.ReadFile(kFaceList).starts_with(kMark));
        QVERIFY(s.Folders().contains(QString::fromUtf8(kBear)));
    }

    // Another program rewrote the file before the conversion was saved: what it wrote is
    // kept beside it and converted, with the user's emoticon on top.
    void conversionReplaysOnWhatTheFileHoldsNow() {
        Session s;
        const std::string outside = Library() + test::FaceList({{"(^_^)", "外"}});
        {
            // Held before its check, the save sees the outside change.
            CFileFaultSeam hold(FileStep::Read, 0, 0, CFileFaultSeam::Action::Hold, kFaceList);
            CMessageBoxSeam messages;
            messages.AnswerNext(MessageAnswer::Yes);
            CModalSeam modal(nullptr);
            s.AddFace(kBear, test::Sjis("にこにこ"), modal);
            QTRY_VERIFY(hold.Holding());
            QVERIFY(test::WriteBytes(s.Path(kFaceList), outside));
            hold.Release();
            s.Document().Flush();
        }
        QVERIFY(s.fixture.ReadFile(kKept) == outside);
        const auto records = Records(s.dialog->Library());
        QCOMPARE(records.size(), 4u);
        QCOMPARE(records.at("(^_^)"), U8("外"));
        QCOMPARE(records.at(kBear), U8("にこにこ"));
        const std::string saved = s.fixture.ReadFile(kFaceList);
        QVERIFY(saved.starts_with(kMark));
        QVERIFY(saved.find(U8("外")) != std::string::npos);
    }

    // A failed save keeps the conversion waiting: the file stays CP932, and the next change
    // saves both, with one copy of the old file.
    void failedSaveKeepsTheConversionPending() {
        Session s;
        const std::string before = s.fixture.ReadFile(kFaceList);
        CMessageBoxSeam messages;
        {
            CFileFaultSeam full(FileStep::Rename, ENOSPC, 0, CFileFaultSeam::Action::Fail,
                                kFaceList);
            messages.AnswerNext(MessageAnswer::Yes);
            CModalSeam modal(nullptr);
            s.AddFace(kBear, test::Sjis("にこにこ"), modal);
            s.Document().Flush();
        }
        QVERIFY(s.Document().HasUnsavedChanges());
        QVERIFY(test::ReadBytes(s.Path(kFaceList)) == before);
        QVERIFY(messages.Shown().last().contains(QStringLiteral("ディスクの空き容量")));
        s.Document().Change(AddFaces{{FaceEntry{"(^_^)", U8("にこにこ")}}});
        s.Document().Flush();
        QVERIFY(!s.Document().HasUnsavedChanges());
        CFaceLibrary saved;
        saved.LoadFaceList(s.fixture.ReadFile(kFaceList));
        QCOMPARE(saved.GetCharset().GetEncoding(), Encoding::Utf8);
        QCOMPARE(Records(saved).size(), 4u);
        QVERIFY(s.fixture.ReadFile(kKept) == before);
        QVERIFY(!QFile::exists(s.Path(QStringLiteral("FaceList.sjis.2.dat"))));
    }

    // The whole kaomojikan collection into an empty CP932 library, with consent: every
    // distinct text, in UTF-8, its category as its folder; found by "ᴥ" after a restart.
    void importTheCollectionAndFindTheBearTomorrow() {
        Session s(std::string{});
        const QString path = QStringLiteral(MOPIRA_TEST_DATA "/kaomojikan/all-utf8.tsv");
        const ImportFile expected = ParseImport(test::ReadBytes(path), "-");
        std::map<std::string, std::string> distinct;
        for (const ImportLine& line : expected.lines) {
            distinct.try_emplace(line.text, line.folder);
        }
        CMessageBoxSeam messages;
        qInfo("import of %d lines: %lld ms", int(expected.lines.size()),
              s.ImportWithConsent(path, messages));
        QCOMPARE(messages.Shown().size(), 2);  // the question, the summary
        QVERIFY(
            messages.Shown().at(1).contains(QStringLiteral("追加: %1 個").arg(distinct.size())));
        QCOMPARE(Records(s.dialog->Library()), distinct);
        s.Document().Flush();
        QVERIFY(s.fixture.ReadFile(kFaceList).starts_with(kMark));

        s.fixture.Close();
        s.dialog = s.fixture.Open();
        s.list = s.fixture.Child<CSortListCtrl>("m_lstFace");
        s.combo = s.fixture.Child<CFolderCombo>("m_cbxFolder");
        s.edit = s.fixture.Child<QLineEdit>("m_edtFind");
        s.toolbar = s.fixture.Child<CTipToolBar>("m_tbarList");
        s.SearchFor(QStringLiteral("ᴥ"));
        QVERIFY(s.Rows().contains(QString::fromUtf8(kBear)));
    }

    // Declined: the lines CP932 cannot hold are refused with their line and characters, the
    // others count as there already, and the file stays as it was.
    // A file of another kind chosen by mistake: most of its lines are not text, and nothing is
    // added unless the user says so.
    void anImportOfRandomBytesAsksFirst() {
        Session s;
        const std::string before = s.fixture.ReadFile(kFaceList);
        std::mt19937 random(5);
        std::string junk(1 << 20, '\0');
        for (char& byte : junk) {
            byte = static_cast<char>(random());
        }
        const QString path = s.Path(QStringLiteral("photo.jpg"));
        QVERIFY(test::WriteBytes(path, junk));
        CFileDialogSeam files;
        files.AnswerNext(path);
        CMessageBoxSeam messages;
        QVERIFY(s.ContextCommand(id::kImport));
        QCOMPARE(messages.Shown().size(), 1);
        QVERIFY(messages.Shown().front().contains(
            QStringLiteral("顔文字の一覧ではないかもしれません")));
        QVERIFY(s.fixture.ReadFile(kFaceList) == before);
        QCOMPARE(Records(s.dialog->Library()).size(), 2u);
    }

    void importDeclinedRefusesWithReasons() {
        Session s;
        const std::string before = s.fixture.ReadFile(kFaceList);
        const QString path = s.Path(QStringLiteral("in.txt"));
        QVERIFY(test::WriteBytes(path, "text\tcategory\n" + U8(kBear) + "\tbear\n" +
                                           U8("(・∀・)\tにこにこ\n") + U8("x\tʕ\n")));
        CFileDialogSeam files;
        files.AnswerNext(path);
        CMessageBoxSeam messages;
        messages.AnswerNext(MessageAnswer::No);
        QVERIFY(s.ContextCommand(id::kImport));
        QCOMPARE(messages.Shown().size(), 2);
        const QString summary = messages.Shown().at(1);
        QVERIFY(summary.contains(QStringLiteral("追加: 0 個")));
        QVERIFY(summary.contains(QStringLiteral("既にある: 1 個")));
        QVERIFY(summary.contains(QStringLiteral("追加できない: 2 個")));
        QVERIFY(summary.contains(QStringLiteral("2 行目")));
        QVERIFY(summary.contains(QStringLiteral("U+1D25")));
        QVERIFY(summary.contains(QStringLiteral("4 行目")));
        QVERIFY(s.fixture.ReadFile(kFaceList) == before);
    }

    // Lines without a folder go where the user says, in the move dialog's tree; the list
    // shows that folder after.
    void unfiledLinesGoToTheChosenFolder() {
        Session s;
        const QString path = s.Path(QStringLiteral("in.txt"));
        QVERIFY(test::WriteBytes(path, "(-_-)\n(=_=)\n"));
        CFileDialogSeam files;
        files.AnswerNext(path);
        CMessageBoxSeam messages;
        QString caption;
        CModalSeam modal([&caption](QDialog& shown) {
            caption = shown.windowTitle();
            auto* tree = shown.findChild<CFolderTree*>(QStringLiteral("m_tree"));
            tree->setCurrentItem(tree->FolderNode(test::Sjis("しょぼん")));
            shown.findChild<QPushButton*>(QStringLiteral("m_btnOK"))->click();
        });
        QVERIFY(s.ContextCommand(id::kImport));
        QCOMPARE(caption, QStringLiteral("インポート"));
        QCOMPARE(s.combo->currentText(), QStringLiteral("しょぼん"));
        QCOMPARE(s.Rows().size(), 3);
        QCOMPARE(messages.Shown().size(), 1);
        QVERIFY(messages.Shown().front().contains(QStringLiteral("追加: 2 個")));
    }

    // What an export writes, an import into an empty library gives back; several selected
    // rows export only those.
    void exportThenImportGivesTheSameRecords() {
        const QTemporaryDir elsewhere;
        const QString path = elsewhere.filePath(QStringLiteral("export.txt"));
        std::map<std::string, std::string> exported;
        {
            std::string library = Library() + test::FaceList({{"ソ表ノ", "その他"}});
            library += "bad\x85\x40\r\nF\r\n\r\n";
            Session s(library);
            CFileDialogSeam files;
            files.AnswerNext(path);
            CMessageBoxSeam messages;
            QVERIFY(s.ContextCommand(id::kExport));
            QVERIFY(messages.Shown().front().contains(QStringLiteral("3 個")));
            QVERIFY(messages.Shown().front().contains(QStringLiteral("bad")));
            exported = Records(s.dialog->Library());
            std::erase_if(exported,
                          [](const auto& record) { return record.first.starts_with("bad"); });
            QVERIFY(test::ReadBytes(path).starts_with(std::string(kExchangeHeader) + "\n"));

            s.Select({0, 1});
            files.AnswerNext(path);
            QVERIFY(s.ContextCommand(id::kExport));
            QCOMPARE(test::ReadBytes(path).size(),
                     std::string(kExchangeHeader).size() + 1 +
                         (U8("(´・ω・｀)\tしょぼん\n") + U8("(・∀・)\tにこにこ\n")).size());
            // Never onto the library itself.
            const std::string file = test::ReadBytes(s.Path(kFaceList));
            files.AnswerNext(s.Path(kFaceList));
            messages.ClearShown();
            QVERIFY(s.ContextCommand(id::kExport));
            QVERIFY(messages.Shown().front().contains(QStringLiteral("エクスポートできません")));
            QVERIFY(test::ReadBytes(s.Path(kFaceList)) == file);

            files.AnswerNext(path);
            s.Select({0});
            QVERIFY(s.ContextCommand(id::kExport));  // one selected: everything listed
        }
        Session empty(std::string{});
        CFileDialogSeam files;
        files.AnswerNext(path);
        CMessageBoxSeam messages;
        QVERIFY(empty.ContextCommand(id::kImport));
        QCOMPARE(Records(empty.dialog->Library()), exported);
        QCOMPARE(empty.dialog->Library().GetCharset().GetEncoding(), Encoding::Cp932);
    }

    // 辞書に書き出す: the format asked, starting on the one chosen last; the file written as its
    // input method reads it, and what was written and left out told; a file that cannot be
    // written told with its path. Without a single reading no file is asked for.
    void dictionaryExportWritesTheChosenFormatAndTellsIt() {
        QStringList offered;  // the format each dialog starts on
        const auto choose = [&offered](const char* format) {
            return [&offered, format](QDialog& shown) {
                for (auto* button : shown.findChildren<QRadioButton*>()) {
                    if (button->isChecked()) {
                        offered << button->objectName();
                    }
                }
                shown.findChild<QRadioButton*>(QLatin1String(format))->click();
                shown.findChild<QPushButton*>(QStringLiteral("m_btnOK"))->click();
            };
        };
        const QTemporaryDir elsewhere;
        {
            Session s(test::FaceList({{"(T_T)", "泣く"}, {"orz", "謝罪"}, {"(^_^)", "笑顔"}}),
                      "folder\t泣く\tなく\nfolder\t笑顔\tえがお\nface\t(^_^)\tにこにこ\n");
            CFileDialogSeam files;
            CMessageBoxSeam messages;
            CModalSeam modal(choose("m_radMozc"));
            const QString mozc = elsewhere.filePath(QStringLiteral("mopira-mozc.txt"));
            files.AnswerNext(mozc);
            QVERIFY(s.ContextCommand(id::kExportDictionary));
            QVERIFY(test::ReadBytes(mozc).starts_with(kMark + U8("なく\t(T_T)\t顔文字\t泣く\n")));
            QCOMPARE(messages.Shown().size(), 1);
            const QString told = messages.Shown().front();
            QVERIFY2(told.contains(QStringLiteral("2 個の顔文字")) &&
                         told.contains(QStringLiteral("3 語")) &&
                         told.contains(QDir::toNativeSeparators(mozc)) &&
                         told.contains(QStringLiteral("orz (読みがありません)")),
                     qPrintable(told));

            modal.SetHandler(choose("m_radSkk"));
            const QString skk = elsewhere.filePath(QStringLiteral("SKK-JISYO.mopira.utf8"));
            files.AnswerNext(skk);
            QVERIFY(s.ContextCommand(id::kExportDictionary));
            QVERIFY(test::ReadBytes(skk).starts_with(";; -*- coding: utf-8 -*-\n"));

            const QString nowhere = elsewhere.filePath(QStringLiteral("missing/kao.utf8"));
            files.AnswerNext(nowhere);
            messages.ClearShown();
            QVERIFY(s.ContextCommand(id::kExportDictionary));
            QVERIFY(
                messages.Shown().front().startsWith(QStringLiteral("辞書を書き出せませんでした")));
            QVERIFY(messages.Shown().front().contains(QDir::toNativeSeparators(nowhere)));
            QCOMPARE(offered, (QStringList{"m_radMozc", "m_radMozc", "m_radSkk"}));
        }

        Session bare(test::FaceList({{"orz", "謝罪"}}));
        CFileDialogSeam files;
        CMessageBoxSeam messages;
        CModalSeam modal(choose("m_radQuickPhrase"));
        QVERIFY(bare.ContextCommand(id::kExportDictionary));
        QVERIFY(files.Shown().isEmpty());
        QCOMPARE(messages.Shown().size(), 1);
        QVERIFY(messages.Shown().front().startsWith(
            QStringLiteral("辞書に書き出せる顔文字がありません")));
        QVERIFY(messages.Shown().front().contains(QStringLiteral("Keywords.dat")));
    }

    // A library read only in part is never converted nor imported into; it still exports.
    void aReadOnlyLibraryIsNeitherConvertedNorImportedInto() {
        const std::string first = test::FaceList({{"(^_^)", "笑顔"}});
        const std::string library = first + test::FaceList({{"(T_T)", "泣く"}});
        CMessageBoxSeam messages;
        CFileFaultSeam failing(FileStep::Read, EIO, qint64(first.size()),
                               CFileFaultSeam::Action::Fail, kFaceList);
        Session s(library);
        QCOMPARE(s.Document().Access(), LibraryAccess::Unreadable);
        messages.ClearShown();
        QVERIFY(!s.ContextCommand(id::kImport));
        messages.AnswerNext(MessageAnswer::Yes);
        s.dialog->ListPage().Actions().AddFace(kBear, Charset(Encoding::Utf8));
        QVERIFY(s.Document().ConvertToUtf8().empty());
        QCOMPARE(s.dialog->Library().GetCharset().GetEncoding(), Encoding::Cp932);
        QVERIFY(messages.Shown().isEmpty());

        const QTemporaryDir elsewhere;
        CFileDialogSeam files;
        files.AnswerNext(elsewhere.filePath(QStringLiteral("out.txt")));
        QVERIFY(s.ContextCommand(id::kExport));
        QCOMPARE(test::ReadBytes(elsewhere.filePath(QStringLiteral("out.txt"))),
                 std::string(kExchangeHeader) + "\n(^_^)\t" + U8("笑顔") + "\n");
        QVERIFY(test::ReadBytes(s.Path(kFaceList)) == library);
        QVERIFY(!QFile::exists(s.Path(kKept)));
    }

    // The menu key comes as a context-menu event (ContextCommand); Shift+F10, its stand-in on
    // keyboards without one, opens the same menu.
    void shiftF10OpensTheMenuInBothViews() {
        Session s;
        for (int command : {id::kDetailsView, id::kListView}) {
            s.Command(command);
            QStringList items;
            test::OnNextPopup([&items](QMenu& menu) {
                for (QAction* action : menu.actions()) {
                    items << action->text();
                }
            });
            QWidget* view = s.list->CurrentView();
            view->setFocus();
            QTest::keyClick(view, Qt::Key_F10, Qt::ShiftModifier);
            QVERIFY(items.contains(QStringLiteral("インポート(&I)...")));
            QVERIFY(items.contains(QStringLiteral("エクスポート(&E)...")));
        }
    }
};

}  // namespace mopira

QTEST_MAIN(mopira::TestUtf8Library)
#include "test_utf8_library.moc"
