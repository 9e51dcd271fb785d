#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <cerrno>

#include "ListTabSession.h"
#include "core/app/ControlIds.h"
#include "store/PlatformFile.h"
#include "store/RecentFaces.h"
#include "ui/app/TrayIcon.h"
#include "ui/library/FolderTree.h"
#include "ui/platform/Fonts.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/ModalSeam.h"

namespace mopira {

using test::Sjis;

namespace {

const QString kRecentFile = QStringLiteral("Recent.dat");
const QString kRecentItem = QStringLiteral("最近使った顔文字");

}  // namespace

class TestRecent : public QObject {
    Q_OBJECT

private:
    static std::string Library() {
        return test::FaceList({{"(´・ω・｀)", "しょぼん"},
                               {"(・∀・)", "にこにこ"},
                               {"(^ω^)", "にこにこ"},
                               {"m(_ _)m", "その他"}});
    }

    // The library and parts whose first face is (^_^), and (^∀^) one click on the mouth
    // further; the window opens on the create tab.
    static CMainDlg* OpenOnTheCreateTab(test::CMainDlgFixture& fixture) {
        fixture.WriteFile(QStringLiteral("FaceList.dat"), Library());
        fixture.WriteFile(QStringLiteral("Eye.dat"), Sjis("にっこり\r\n^\r\n^\r\n"));
        fixture.WriteFile(QStringLiteral("Mouth.dat"), Sjis("ふつう\r\n_\r\nびっくり\r\n∀\r\n"));
        fixture.WriteFile(QStringLiteral("Edge.dat"), Sjis("基本\r\n(\r\n)\r\n"));
        fixture.WriteSetting(QStringLiteral("Window/Tab"), 1);
        return fixture.Open();
    }
    static CFolderCombo* ShowRecentOnTheListTab(const test::CMainDlgFixture& fixture) {
        fixture.Child<QTabBar>("m_tab")->setCurrentIndex(0);
        auto* combo = fixture.Child<CFolderCombo>("m_cbxFolder");
        combo->setCurrentIndex(CFolderCombo::kRecentItem);
        emit combo->activated(CFolderCombo::kRecentItem);
        return combo;
    }

    struct Session : test::CListTabSession {
        explicit Session(const std::string& library = Library()) : CListTabSession(library) {}

        // Copies these emoticons of the list of everything, as the user does: selected, then
        // Enter.
        void Copy(std::initializer_list<QString> texts) const {
            combo->setCurrentIndex(CFolderCombo::kAllFacesItem);
            emit combo->activated(CFolderCombo::kAllFacesItem);
            Select(texts);
            QTest::keyClick(list->CurrentView(), Qt::Key_Return);
        }
        void ShowRecent() const {
            combo->setCurrentIndex(CFolderCombo::kRecentItem);
            emit combo->activated(CFolderCombo::kRecentItem);
        }
        std::string RecentFile() const {
            dialog->RecentFaces().Flush();
            return fixture.ReadFile(kRecentFile);
        }
    };

private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    // The entry stands below "すべての顔文字"; copies list most recent first, in that order
    // and unsorted, each of several copied at once, the first of them on top.
    void copiesAreListedMostRecentFirst() {
        Session s;
        QVERIFY(s.dialog);
        QCOMPARE(s.Folders().mid(0, 3), (QStringList{QStringLiteral("すべての顔文字"), kRecentItem,
                                                     QStringLiteral("しょぼん")}));
        QVERIFY(!s.combo->itemIcon(CFolderCombo::kRecentItem).isNull());
        s.ShowRecent();
        QVERIFY(s.Rows().isEmpty());

        s.Copy({QStringLiteral("m(_ _)m")});
        s.Copy({QStringLiteral("(^ω^)"), QStringLiteral("(・∀・)")});
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("(^ω^)(・∀・)"));
        s.ShowRecent();
        QCOMPARE(s.Rows(), (QStringList{"(^ω^)", "(・∀・)", "m(_ _)m"}));
        QCOMPARE(s.Rows(1), (QStringList{"にこにこ", "にこにこ", "その他"}));
        // No sorting by the header while the order is the recency's.
        QVERIFY(!s.list->DetailsView()->horizontalHeader()->sectionsClickable());
        s.list->DetailsView()->model()->sort(0, Qt::AscendingOrder);
        QCOMPARE(s.Rows(), (QStringList{"(^ω^)", "(・∀・)", "m(_ _)m"}));

        // A copy from this list moves the emoticon to the top; the selection goes along.
        s.Select({QStringLiteral("m(_ _)m")});
        QTest::mouseClick(s.fixture.Child<QWidget>("m_btnCopy"), Qt::LeftButton);
        QCOMPARE(s.Rows(), (QStringList{"m(_ _)m", "(^ω^)", "(・∀・)"}));
        QCOMPARE(s.SelectedTexts(), QStringList{QStringLiteral("m(_ _)m")});
        QCOMPARE(s.RecentFile(), Sjis("m(_ _)m\n(^ω^)\n(・∀・)\n"));

        // The other lists sort again.
        s.ChooseFolder(QStringLiteral("すべての顔文字"));
        QVERIFY(s.list->DetailsView()->horizontalHeader()->sectionsClickable());
    }

    // Deleting an emoticon takes it off the list; an edit keeps its place under the new text.
    void deleteAndEditUpdateTheList() {
        Session s;
        s.Copy({QStringLiteral("m(_ _)m")});
        s.Copy({QStringLiteral("(^ω^)")});
        s.Copy({QStringLiteral("(・∀・)")});
        s.ShowRecent();
        {
            CModalSeam modal([](QDialog& shown) {
                shown.findChild<QLineEdit*>(QStringLiteral("m_edtFace"))
                    ->setText(QStringLiteral("(^ω^)ﾉ"));
                shown.findChild<QPushButton*>(QStringLiteral("m_btnOK"))->click();
            });
            s.Select({QStringLiteral("(^ω^)")});
            s.Command(id::kProperties);
            QCOMPARE(modal.Runs(), 1);
        }
        QCOMPARE(s.Rows(), (QStringList{"(・∀・)", "(^ω^)ﾉ", "m(_ _)m"}));
        QCOMPARE(s.SelectedTexts(), QStringList{QStringLiteral("(^ω^)ﾉ")});

        CMessageBoxSeam messages;
        messages.AnswerNext(MessageAnswer::Yes);
        s.Select({QStringLiteral("(・∀・)")});
        s.Command(id::kDelete);
        QCOMPARE(s.Rows(), (QStringList{"(^ω^)ﾉ", "m(_ _)m"}));
        QCOMPARE(s.RecentFile(), Sjis("(^ω^)ﾉ\nm(_ _)m\n"));
    }

    // The list is the file's: a new window on the same folder shows it as it was, texts the
    // library no longer holds among them.
    void aNewWindowShowsTheSameList() {
        auto s = std::make_unique<Session>();
        s->Copy({QStringLiteral("(^ω^)")});
        s->Copy({QStringLiteral("m(_ _)m")});
        s->fixture.Close();
        // Changed elsewhere meanwhile: one emoticon gone, and a line as another program
        // might leave it.
        s->fixture.WriteFile(QStringLiteral("FaceList.dat"),
                             test::FaceList({{"(^ω^)", "にこにこ"}}));
        s->fixture.WriteFile(kRecentFile, Sjis("m(_ _)m\r\n(^ω^)\r\n\r\nm(_ _)m\r\n"));
        s->dialog = s->fixture.Open();
        QVERIFY(s->dialog);
        s->combo = s->fixture.Child<CFolderCombo>("m_cbxFolder");
        s->list = s->fixture.Child<CSortListCtrl>("m_lstFace");
        s->ShowRecent();
        QCOMPARE(s->Rows(), (QStringList{"m(_ _)m", "(^ω^)"}));
        QCOMPARE(s->Rows(1), (QStringList{"", "にこにこ"}));
    }

    // The list is by text: when another program rewrites the library while the list shows,
    // an emoticon gone from it stays listed, without its folder.
    void anOutsideChangeKeepsTheTexts() {
        Session s;
        s.Copy({QStringLiteral("m(_ _)m")});
        s.Copy({QStringLiteral("(^ω^)")});
        s.ShowRecent();
        s.Select({QStringLiteral("m(_ _)m")});
        QVERIFY(!ReplaceFile(
                     s.fixture.PathOf(QStringLiteral("FaceList.dat")),
                     test::FaceList(
                         {{"(´・ω・｀)", "しょぼん"}, {"(・∀・)", "にこにこ"}, {"(^ω^)", "笑顔"}}))
                     .Failed());
        QTRY_COMPARE(s.Rows(1), (QStringList{"笑顔", ""}));
        QCOMPARE(s.Rows(), (QStringList{"(^ω^)", "m(_ _)m"}));
        QCOMPARE(s.combo->currentIndex(), CFolderCombo::kRecentItem);
        QCOMPARE(s.SelectedTexts(), QStringList{QStringLiteral("m(_ _)m")});
    }

    // Beside a UTF-8 library the file is UTF-8 with its mark; one written for a CP932 library
    // is read as characters.
    void theFileFollowsTheLibrarysEncoding() {
        const std::string mark = "\xEF\xBB\xBF";
        Session s(mark + "(\xE3\x83\xBB\xCF\x89\xE3\x83\xBB)\r\nF\r\n\r\nabc\r\nF\r\n\r\n");
        QVERIFY(s.dialog);
        s.fixture.Close();
        s.fixture.WriteFile(kRecentFile, Sjis("abc\n(・ω・)\n"));
        s.dialog = s.fixture.Open();
        QVERIFY(s.dialog);
        s.combo = s.fixture.Child<CFolderCombo>("m_cbxFolder");
        s.list = s.fixture.Child<CSortListCtrl>("m_lstFace");
        s.ShowRecent();
        QCOMPARE(s.Rows(), (QStringList{"abc", "(・ω・)"}));
        QCOMPARE(s.Rows(1), (QStringList{"F", "F"}));
        s.Select({QStringLiteral("(・ω・)")});
        QTest::mouseClick(s.fixture.Child<QWidget>("m_btnCopy"), Qt::LeftButton);
        QCOMPARE(s.RecentFile(), mark + "(\xE3\x83\xBB\xCF\x89\xE3\x83\xBB)\nabc\n");
    }

    // An unreadable FaceList.dat is never written over, and neither is Recent.dat in that
    // run; copies are still listed. An unreadable Recent.dat counts as empty and is kept.
    void nothingIsWrittenBesideAnUnreadableFile() {
        {
            test::CMainDlgFixture fixture;
            const std::string first = test::FaceList({{"(^_^)", "笑顔"}});
            fixture.WriteFile(QStringLiteral("FaceList.dat"), first + Library());
            fixture.WriteFile(kRecentFile, Sjis("(^ω^)\n"));
            CMessageBoxSeam messages;
            // The disk fails after the first record.
            CFileFaultSeam failing(FileStep::Read, EIO, qint64(first.size()),
                                   CFileFaultSeam::Action::Fail, QStringLiteral("FaceList.dat"));
            CMainDlg* dialog = fixture.Open();
            QVERIFY(dialog);
            QCOMPARE(dialog->Document().Access(), LibraryAccess::Unreadable);
            auto* list = fixture.Child<CSortListCtrl>("m_lstFace");
            list->SelectRow(0);
            dialog->OnOK();
            QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("(^_^)"));
            QCOMPARE(dialog->RecentFaces().List().Texts().size(), 2u);
            dialog->RecentFaces().Flush();
            QCOMPARE(fixture.ReadFile(kRecentFile), Sjis("(^ω^)\n"));
        }
        {
            test::CMainDlgFixture fixture;
            fixture.WriteFile(QStringLiteral("FaceList.dat"), Library());
            fixture.WriteFile(kRecentFile, Sjis("(^ω^)\n"));
            CFileFaultSeam failing(FileStep::Read, EIO, 0, CFileFaultSeam::Action::Fail,
                                   kRecentFile);
            CMainDlg* dialog = fixture.Open();
            QVERIFY(dialog);
            QVERIFY(dialog->RecentFaces().List().Texts().empty());
            auto* list = fixture.Child<CSortListCtrl>("m_lstFace");
            list->SelectRow(0);
            dialog->OnOK();
            QCOMPARE(dialog->RecentFaces().List().Texts().size(), 1u);
            dialog->RecentFaces().Flush();
            QCOMPARE(fixture.ReadFile(kRecentFile), Sjis("(^ω^)\n"));
        }
    }

    // A real folder of the same name is an ordinary folder at its sorted place.
    void aFolderOfTheSameNameIsAFolder() {
        Session s(
            test::FaceList({{"(^_^)", "最近使った顔文字"}, {"(-_-)", "あ"}, {"(T_T)", "ん"}}));
        s.Copy({QStringLiteral("(-_-)")});
        QCOMPARE(s.Folders(), (QStringList{"すべての顔文字", "最近使った顔文字", "あ", "ん",
                                           "最近使った顔文字"}));
        s.combo->setCurrentIndex(4);
        emit s.combo->activated(4);
        QCOMPARE(s.Rows(), QStringList{QStringLiteral("(^_^)")});
        QCOMPARE(s.dialog->ListPage().SelectedFolder(), Sjis("最近使った顔文字"));
        s.ShowRecent();
        QCOMPARE(s.Rows(), QStringList{QStringLiteral("(-_-)")});
    }

    // Consent given, then the dialog cancelled: no change follows the conversion, and a face
    // only UTF-8 holds is listed all the same.
    void aCopyAfterAConversionAloneIsListed() {
        Session s;
        QVERIFY(s.dialog->Document().ConvertToUtf8().empty());
        s.dialog->RecentFaces().Use({"ʕ•ᴥ•ʔ"}, Charset(Encoding::Utf8));
        QCOMPARE(s.dialog->RecentFaces().List().Texts(), std::vector<std::string>{"ʕ•ᴥ•ʔ"});
        QVERIFY(s.RecentFile().find("ʕ•ᴥ•ʔ") != std::string::npos);
    }

    // A face of the create tab is listed though the library has it not, with no folder; the
    // add command offers it, and once added it is the library's.
    void aComposedFaceIsListedAndCanBeAdded() {
        test::CMainDlgFixture fixture;
        CMainDlg* dialog = OpenOnTheCreateTab(fixture);
        QVERIFY(dialog);
        const QString face = test::Decode(dialog->GetCurrentFace());
        QCOMPARE(face, QStringLiteral("(^_^)"));
        dialog->OnOK();
        QCOMPARE(QGuiApplication::clipboard()->text(), face);
        if (CTrayIcon* tray = dialog->TrayIcon()) {
            QCOMPARE(tray->Menu().actions().front()->text(), face);
        }

        auto* combo = ShowRecentOnTheListTab(fixture);
        auto* list = fixture.Child<CSortListCtrl>("m_lstFace");
        const QAbstractItemModel* model = list->DetailsView()->model();
        QCOMPARE(model->rowCount(), 1);
        QCOMPARE(model->index(0, 0).data().toString(), face);
        QCOMPARE(model->index(0, 1).data().toString(), QString());
        list->SelectRow(0);
        // Nothing of the library to edit, move or delete: properties offer it for adding.
        QString offered;
        CModalSeam modal([&](QDialog& shown) {
            offered = shown.findChild<QLineEdit*>(QStringLiteral("m_edtFace"))->text();
            auto* tree = shown.findChild<CFolderTree*>(QStringLiteral("m_tree"));
            tree->setCurrentItem(tree->FolderNode(Sjis("その他")));
            shown.findChild<QPushButton*>(QStringLiteral("m_btnOK"))->click();
        });
        QTest::mouseClick(fixture.Child<CTipToolBar>("m_tbarList")->ButtonFor(id::kProperties),
                          Qt::LeftButton);
        QCOMPARE(modal.Runs(), 1);
        QCOMPARE(offered, face);
        QVERIFY(dialog->Library().FindRecord(Sjis("(^_^)")));
        QCOMPARE(combo->currentIndex(), CFolderCombo::kRecentItem);
        QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("その他"));
        QCOMPARE(list->SelectedRows(), std::vector<int>{0});
    }

    // The library becomes UTF-8 from the add dialog while the list shows the recent faces: a
    // composed face the library lacks still reads right, and the file follows.
    void aComposedFaceFollowsTheLibraryIntoUtf8() {
        test::CMainDlgFixture fixture;
        CMainDlg* dialog = OpenOnTheCreateTab(fixture);
        QVERIFY(dialog);
        QTest::mouseClick(fixture.Child<QWidget>("m_btnMouth"), Qt::LeftButton);
        const QString face = test::Decode(dialog->GetCurrentFace());
        QCOMPARE(face, QStringLiteral("(^∀^)"));
        dialog->OnOK();

        ShowRecentOnTheListTab(fixture);
        auto* list = fixture.Child<CSortListCtrl>("m_lstFace");
        QCOMPARE(list->DetailsView()->model()->rowCount(), 1);
        QCOMPARE(list->DetailsView()->model()->index(0, 0).data().toString(), face);
        list->SelectRow(0);
        CMessageBoxSeam messages;
        messages.AnswerNext(MessageAnswer::Yes);
        QString behind;
        CModalSeam modal([&](QDialog& shown) {
            shown.findChild<QLineEdit*>(QStringLiteral("m_edtFace"))
                ->setText(QStringLiteral("ʕ•ᴥ•ʔ"));
            auto* tree = shown.findChild<CFolderTree*>(QStringLiteral("m_tree"));
            tree->setCurrentItem(tree->FolderNode(Sjis("その他")));
            shown.findChild<QPushButton*>(QStringLiteral("m_btnOK"))->click();
            // The library is UTF-8 now, and the list behind the dialog keeps its rows.
            behind = list->DetailsView()->model()->index(0, 0).data().toString();
        });
        QTest::mouseClick(fixture.Child<CTipToolBar>("m_tbarList")->ButtonFor(id::kProperties),
                          Qt::LeftButton);
        QCOMPARE(modal.Runs(), 1);
        QCOMPARE(behind, face);
        QCOMPARE(dialog->Library().GetCharset().GetEncoding(), Encoding::Utf8);
        QVERIFY(dialog->Library().FindRecord("ʕ•ᴥ•ʔ"));
        const QAbstractItemModel* model = list->DetailsView()->model();
        QStringList shown;
        for (int row = 0; row < model->rowCount(); ++row) {
            shown.append(model->index(row, 0).data().toString());
        }
        QVERIFY2(shown.contains(face), qPrintable(shown.join(u' ')));
        dialog->RecentFaces().Flush();
        QVERIFY(fixture.ReadFile(kRecentFile).find("(^∀^)") != std::string::npos);
    }
};

}  // namespace mopira

QTEST_MAIN(mopira::TestRecent)
#include "test_recent.moc"
