#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <thread>

#include "ListTabSession.h"
#include "core/app/ControlIds.h"
#include "core/library/FaceLibrary.h"
#include "store/PlatformFile.h"
#include "ui/controls/HoverButton.h"
#include "ui/controls/SortListCtrl.h"
#include "ui/controls/TipToolBar.h"
#include "ui/library/FolderCombo.h"
#include "ui/library/FolderTree.h"
#include "ui/platform/Fonts.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/ModalSeam.h"

namespace mopira {

using test::CMainDlgFixture;
using test::Decode;

class TestListTab : public QObject {
    Q_OBJECT

private:
    // The library every test starts from: three folders, texts chosen so that ASCII bytes
    // hide inside two-byte characters (ソ, 表 end in 0x5C; ノ ends in 0x6D).
    static std::string Library() {
        return test::FaceList({{"(´・ω・｀)", "しょぼん"},
                               {"(・∀・)", "にこにこ"},
                               {"ソ表ノ", "その他"},
                               {"(^ω^)", "にこにこ"},
                               {"m(_ _)m", "その他"},
                               {"\\(^o^)/", "にこにこ"}});
    }

    struct Session : test::CListTabSession {
        explicit Session(const std::string& library = Library()) : CListTabSession(library) {}
    };

private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    // A refill selects its first row, so that Enter copies at once: the commands follow.
    void commandStatesFollowEveryRefill() {
        Session s;
        const auto onFirstRow = [&s] {
            QCOMPARE(s.list->SelectedRows(), std::vector<int>{0});
            for (int command : {id::kDelete, id::kProperties}) {
                QVERIFY(s.toolbar->IsButtonEnabled(command));
            }
            QVERIFY(s.fixture.Child<QWidget>("m_btnCopy")->isEnabled());
        };
        s.Select({2, 3});
        s.SearchFor(QStringLiteral("ω"));
        onFirstRow();
        s.list->ClearSelection();
        QVERIFY(!s.toolbar->IsButtonEnabled(id::kDelete));
        s.Command(id::kFindByLocation);
        onFirstRow();
    }

    // The library is read while the window shows: the list says it is loading, what is typed
    // meanwhile is searched once it is read, and a command waits for it.
    void theWindowWorksWhileTheLibraryLoads() {
        test::CMainDlgFixture fixture;
        std::string library;
        for (int i = 0; i < 2000; ++i) {
            library += "face" + std::to_string(i) + "\r\nF" + std::to_string(i % 9) + "\r\n\r\n";
        }
        fixture.WriteFile(QStringLiteral("FaceList.dat"), library);
        fixture.WriteSetting(QStringLiteral("List/Find"), 1);
        // The disk is slow today: the read waits until the test lets it go on.
        CFileFaultSeam slow(FileStep::Read, 0, 0, CFileFaultSeam::Action::Hold,
                            QStringLiteral("FaceList.dat"));
        CMainDlg* dialog = fixture.OpenWhileLoading();
        QVERIFY(dialog);
        QTRY_VERIFY(slow.Holding());
        QVERIFY(!dialog->Document().IsLoaded());
        auto* list = fixture.Child<CSortListCtrl>("m_lstFace");
        QCOMPARE(list->PlaceholderText(), QStringLiteral("読み込み中…"));
        auto* edit = fixture.Child<QLineEdit>("m_edtFind");
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("face199"));
        QCOMPARE(list->DetailsView()->model()->rowCount(), 0);

        // A new emoticon, asked for before the library is read: the dialog opens once it is,
        // over the search that was typed.
        int shownRows = -1;
        CModalSeam modal([&](QDialog& shown) {
            shownRows = list->DetailsView()->model()->rowCount();
            shown.findChild<QLineEdit*>(QStringLiteral("m_edtFace"))
                ->setText(QStringLiteral("new"));
            auto* tree = shown.findChild<CFolderTree*>(QStringLiteral("m_tree"));
            tree->setCurrentItem(tree->FolderNode("F0"));
            shown.findChild<QPushButton*>(QStringLiteral("m_btnOK"))->click();
        });
        QTimer::singleShot(100, [&slow] { slow.Release(); });
        QTest::mouseClick(fixture.Child<CTipToolBar>("m_tbarList")->ButtonFor(id::kNewFace),
                          Qt::LeftButton);
        QVERIFY(dialog->Document().IsLoaded());
        QCOMPARE(modal.Runs(), 1);
        QCOMPARE(shownRows, 11);  // face199 and face1990 to face1999
        QVERIFY(list->PlaceholderText().isEmpty());
        QVERIFY(fixture.ReadFile(QStringLiteral("FaceList.dat")).ends_with("new\r\nF0\r\n\r\n"));
        QCOMPARE(dialog->Library().Size(), 2001u);

        // Closed while a command waits for the read: the command goes with the window.
        CFileFaultSeam slowAgain(FileStep::Read, 0, 0, CFileFaultSeam::Action::Hold,
                                 QStringLiteral("FaceList.dat"));
        dialog = fixture.OpenWhileLoading();
        QVERIFY(dialog);
        QTRY_VERIFY(slowAgain.Holding());
        QTimer::singleShot(100, dialog, [dialog] { dialog->close(); });
        QTest::mouseClick(fixture.Child<CTipToolBar>("m_tbarList")->ButtonFor(id::kNewFace),
                          Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        slowAgain.Release();
        QTest::qWait(100);
        QCOMPARE(modal.Runs(), 1);  // no dialog over a closed window
    }

    // Closing the window while a save is being written waits for it.
    void closingWaitsForTheLastSave() {
        test::CMainDlgFixture fixture;
        std::string library;
        for (int i = 0; i < 2000; ++i) {
            library += "face" + std::to_string(i) + "\r\nF\r\n\r\n";
        }
        fixture.WriteFile(QStringLiteral("FaceList.dat"), library);
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        CMessageBoxSeam messages;
        auto* list = fixture.Child<CSortListCtrl>("m_lstFace");
        list->SelectRow(0);
        const std::string first =
            test::Sjis(list->DetailsView()->model()->index(0, 0).data().toString().toStdString());
        messages.AnswerNext(MessageAnswer::Yes);
        {
            // The save is held in the middle of writing when the window closes.
            CFileFaultSeam slow(FileStep::Sync, 0, 0, CFileFaultSeam::Action::Hold,
                                QStringLiteral("FaceList.dat"));
            QTest::mouseClick(fixture.Child<CTipToolBar>("m_tbarList")->ButtonFor(id::kDelete),
                              Qt::LeftButton);
            QTRY_VERIFY(slow.Holding());
            QVERIFY(dialog->Document().HasUnsavedChanges());
            std::thread later([&slow] {
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                slow.Release();
            });
            fixture.Close();
            later.join();
        }
        CFaceLibrary saved;
        saved.LoadFaceList(fixture.ReadFile(QStringLiteral("FaceList.dat")));
        QCOMPARE(saved.Size(), 1999u);
        QVERIFY(!saved.FindRecord(first));
    }

    // Another program changes the library: the list follows while the window is idle, and a
    // change of the user's made meanwhile goes onto what the file holds now.
    void outsideChangesShowAndKeepTheSelection() {
        const std::string kept = test::FaceList({{"(-_-)", "眠い"}, {"(;_;)", "悲しい"}});
        Session session(test::FaceList({{"(^_^)", "笑顔"}, {"(T_T)", "泣く"}}) + kept);
        QVERIFY(session.dialog);
        QTRY_COMPARE(session.Rows().size(), 4);
        session.ChooseFolder(QStringLiteral("笑顔"));
        session.Select({QStringLiteral("(^_^)")});

        const QString path = session.fixture.PathOf(QStringLiteral("FaceList.dat"));
        const std::string outside = test::FaceList({{"(^_^)", "笑顔"}, {"(^o^)", "笑顔"}}) + kept;
        QVERIFY(!ReplaceFile(path, outside).Failed());
        QTRY_COMPARE(session.Rows(),
                     (QStringList{QStringLiteral("(^_^)"), QStringLiteral("(^o^)")}));
        QCOMPARE(session.SelectedTexts(), QStringList{QStringLiteral("(^_^)")});
        QVERIFY(!session.Folders().contains(QStringLiteral("泣く")));

        // Written in place this time, and the user deletes before the change is seen.
        session.fixture.WriteFile(QStringLiteral("FaceList.dat"),
                                  outside + test::FaceList({{"(>_<)", "痛い"}}));
        CMessageBoxSeam messages;
        messages.AnswerNext(MessageAnswer::Yes);
        session.Select({QStringLiteral("(^o^)")});
        session.Command(id::kDelete);
        QCOMPARE(session.fixture.ReadFile(QStringLiteral("FaceList.dat")),
                 test::FaceList({{"(^_^)", "笑顔"}}) + kept + test::FaceList({{"(>_<)", "痛い"}}));
        QCOMPARE(session.Rows(), QStringList{QStringLiteral("(^_^)")});
        QVERIFY(session.Folders().contains(QStringLiteral("痛い")));
    }

    void startShowsEverythingInCharacterOrder() {
        Session s;
        QVERIFY(s.dialog);
        QCOMPARE(s.Rows(),
                 (QStringList{"(^ω^)", "(・∀・)", "(´・ω・｀)", "\\(^o^)/", "m(_ _)m", "ソ表ノ"}));
        QCOMPARE(s.Rows(1).at(0), QStringLiteral("にこにこ"));
        QCOMPARE(s.Folders(), (QStringList{"すべての顔文字", "最近使った顔文字", "しょぼん",
                                           "その他", "にこにこ"}));
        QCOMPARE(s.combo->currentIndex(), 0);
    }

    void searchMatchesTextAtCharacterBoundariesThenMeaningInAllFolders() {
        Session s;
        s.ChooseFolder(QStringLiteral("その他"));
        QCOMPARE(s.Rows().size(), 2);
        QVERIFY(!s.edit->isVisible());
        s.SearchFor(QStringLiteral("ω ・"));
        QVERIFY(s.edit->isVisible());
        QVERIFY(!s.combo->isVisible());
        QCOMPARE(s.Rows(), QStringList{"(´・ω・｀)"});  // across every folder
        s.edit->setText(QStringLiteral("ω   "));
        QCOMPARE(s.Rows(), (QStringList{"(^ω^)", "(´・ω・｀)"}));
        s.edit->setText(QStringLiteral("   "));
        QCOMPARE(s.Rows().size(), 6);
        s.edit->setText(QStringLiteral("\\"));
        QCOMPARE(s.Rows(), QStringList{"\\(^o^)/"});  // not the second byte of ソ or 表
        s.edit->setText(QStringLiteral("m"));
        QCOMPARE(s.Rows(), QStringList{"m(_ _)m"});  // not the second byte of ノ
        s.edit->setText(QStringLiteral("ʕ•ᴥ•ʔ"));
        QVERIFY(s.Rows().isEmpty());
        // By meaning, after what the text holds: the start of a folder's name, in kana or
        // romaji, as the input method has it half typed.
        s.edit->setText(QStringLiteral("にこ"));
        QCOMPARE(s.Rows(), (QStringList{"(^ω^)", "(・∀・)", "\\(^o^)/"}));
        s.edit->setText(QStringLiteral("ニコ"));
        QCOMPARE(s.Rows(), (QStringList{"(^ω^)", "(・∀・)", "\\(^o^)/"}));
        s.edit->setText(QStringLiteral("shob"));
        QCOMPARE(s.Rows(), (QStringList{"(´・ω・｀)"}));
        s.edit->setText(QStringLiteral("ω にこ"));
        QCOMPARE(s.Rows(), QStringList{"(^ω^)"});
    }

    // Keywords typed in the add and properties dialogs, and the reading of a folder made
    // there, find the emoticon and are kept in Keywords.dat; FaceList.dat holds none of it.
    void keywordsAndReadingsFromTheDialogsFindTheFace() {
        Session s;
        const auto fill = [](QDialog& shown, const char* field, const QString& text) {
            shown.findChild<QLineEdit*>(QLatin1String(field))->setText(text);
        };
        CModalSeam modal([&](QDialog& shown) {
            if (shown.objectName() == QStringLiteral("m_newFolderDlg")) {
                fill(shown, "m_edtName", QStringLiteral("猫"));
                fill(shown, "m_edtReading", QStringLiteral("ねこ"));
            } else {
                fill(shown, "m_edtFace", QStringLiteral("(=^・^=)"));
                fill(shown, "m_edtKeywords", QStringLiteral("にゃー\u3000cat "));
                shown.findChild<QPushButton*>(QStringLiteral("m_btnNewFolder"))->click();
            }
            shown.findChild<QPushButton*>(QStringLiteral("m_btnOK"))->click();
        });
        s.Command(id::kNewFace);
        QCOMPARE(modal.Runs(), 2);
        for (const char* query : {"nya-", "ca", "neko", "ネコ", "猫"}) {
            s.SearchFor(QString::fromUtf8(query));
            QVERIFY2(s.Rows() == QStringList{"(=^・^=)"}, query);
        }

        s.Select({0});
        modal.SetHandler([&](QDialog& shown) {
            QCOMPARE(shown.findChild<QLineEdit*>(QStringLiteral("m_edtKeywords"))->text(),
                     QStringLiteral("にゃー cat"));
            fill(shown, "m_edtFace", QStringLiteral("(=^ω^=)"));
            fill(shown, "m_edtKeywords", QStringLiteral("ごろごろ"));
            shown.findChild<QPushButton*>(QStringLiteral("m_btnOK"))->click();
        });
        s.Command(id::kProperties);
        s.SearchFor(QStringLiteral("goro"));
        QCOMPARE(s.Rows(), QStringList{"(=^ω^=)"});
        s.SearchFor(QStringLiteral("nya-"));
        QVERIFY(s.Rows().isEmpty());

        // An existing folder's reading, through the list's menu: the one it has is offered.
        s.SearchFor({});
        s.Select({QStringLiteral("(´・ω・｀)")});
        modal.SetHandler([&](QDialog& shown) {
            auto& input = static_cast<QInputDialog&>(shown);
            QVERIFY(input.labelText().contains(QStringLiteral("しょぼん")));
            input.setTextValue(QStringLiteral(" しょんぼり "));
            input.accept();
        });
        QVERIFY(s.ContextCommand(id::kFolderReading));
        s.SearchFor(QStringLiteral("shonbo"));
        QCOMPARE(s.Rows(), QStringList{"(´・ω・｀)"});

        const std::string faces = s.fixture.ReadFile(QStringLiteral("FaceList.dat"));
        QVERIFY(faces.find(test::Sjis("ごろごろ")) == std::string::npos);
        const std::string keywords = s.fixture.ReadFile(QStringLiteral("Keywords.dat"));
        QVERIFY(keywords.find("folder\t\xE7\x8C\xAB\t\xE3\x81\xAD\xE3\x81\x93\n") !=
                std::string::npos);  // 猫 ねこ
        QVERIFY(keywords.find("\t\xE3\x81\x94\xE3\x82\x8D\xE3\x81\x94\xE3\x82\x8D\n") !=
                std::string::npos);  // ごろごろ
    }

    void hintStaysUntilTheFirstFocusAndNoSearchRunsBefore() {
        CMainDlgFixture fixture;
        fixture.WriteFile(QStringLiteral("FaceList.dat"), Library());
        fixture.WriteSetting(QStringLiteral("List/Find"), 1);
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        auto* edit = fixture.Child<QLineEdit>("m_edtFind");
        QVERIFY(edit->isVisible());
        QCOMPARE(edit->placeholderText(), QStringLiteral("ここに顔文字の一部を入力してください。"));
        auto* button = fixture.Child<CHoverButton>("m_btnLocation");
        QCOMPARE(button->text(), QStringLiteral("検索"));
        QCOMPARE(button->toolTip(), QStringLiteral("文字列を入力して顔文字を検索します"));
        edit->setFocus();
        QTRY_VERIFY(edit->placeholderText().isEmpty());
        edit->setText(QStringLiteral("ω"));
        QCOMPARE(fixture.Child<CSortListCtrl>("m_lstFace")->DetailsView()->model()->rowCount(), 2);
    }

    void copyJoinsTheSelectedRowsInRowOrder() {
        Session s;
        QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
        s.list->ClearSelection();
        s.dialog->OnOK();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));  // nothing selected
        s.Select({2, 0});
        s.dialog->OnOK();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("(^ω^)(´・ω・｀)"));

        // A double-click on a row copies it.
        QTableView* view = s.list->DetailsView();
        const QRect cell = view->visualRect(view->model()->index(1, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("(・∀・)"));
    }

    void homeAndEndGoToTheFirstAndLastRow() {
        Session s;
        QTableView* view = s.list->DetailsView();
        view->setFocus();
        const int last = view->model()->rowCount() - 1;
        QVERIFY(last > 0);
        QTest::keyClick(view, Qt::Key_End);
        QCOMPARE(s.list->SelectedRows(), (std::vector<int>{last}));
        QTest::keyClick(view, Qt::Key_Right);  // scrolls; the row stays
        QCOMPARE(s.list->SelectedRows(), (std::vector<int>{last}));
        QTest::keyClick(view, Qt::Key_Home);
        QCOMPARE(s.list->SelectedRows(), (std::vector<int>{0}));
    }

    void commandStatesFollowTheSelection() {
        Session s;
        auto* copy = s.fixture.Child<QWidget>("m_btnCopy");
        s.list->ClearSelection();
        QVERIFY(!copy->isEnabled());
        QVERIFY(!s.toolbar->IsButtonEnabled(id::kDelete));
        s.Select({1});
        QVERIFY(copy->isEnabled());
        QVERIFY(s.toolbar->IsButtonEnabled(id::kDelete));
        QVERIFY(!s.toolbar->IsButtonHidden(id::kProperties));
        QVERIFY(s.toolbar->IsButtonHidden(id::kMove));
        s.Select({1, 2});
        QVERIFY(s.toolbar->IsButtonHidden(id::kProperties));
        QVERIFY(!s.toolbar->IsButtonHidden(id::kMove));
        QVERIFY(s.toolbar->IsButtonEnabled(id::kMove));
        s.list->ClearSelection();
        QVERIFY(!copy->isEnabled());
        QVERIFY(!s.toolbar->IsButtonEnabled(id::kMove));
        QVERIFY(!s.toolbar->IsButtonHidden(id::kMove));  // stays where it was, disabled
    }

    void contextMenuItemsPerSelection() {
        Session s;
        auto menuItems = [&s](bool keyboard) {
            QStringList items;
            test::OnNextPopup([&items](QMenu& menu) {
                for (QAction* action : menu.actions()) {
                    if (!action->isSeparator()) {
                        items << action->text() + (action->isEnabled() ? "" : " (off)") +
                                     (menu.defaultAction() == action ? " (default)" : "");
                    }
                }
            });
            QWidget* viewport = s.list->DetailsView()->viewport();
            QContextMenuEvent event(
                keyboard ? QContextMenuEvent::Keyboard : QContextMenuEvent::Mouse, QPoint(5, 5),
                viewport->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(viewport, &event);
            return items;
        };
        // Each item shows its key.
        // The folder's reading needs one folder: the selected emoticon's, or the one shown.
        const QStringList exchange{"インポート(&I)...", "エクスポート(&E)...",
                                   "辞書に書き出す(&J)..."};
        const QString reading = QStringLiteral("フォルダの読み(&Y)...");
        const QString noReading = reading + " (off)";
        const QString add = QStringLiteral("新しい顔文字(&N)...\tIns");
        s.list->ClearSelection();
        QCOMPARE(menuItems(false),
                 (QStringList{"コピー(&C) (off) (default)", add, "削除(&D)\tDel (off)",
                              "移動(&M)...\tCtrl+M (off)"} +
                  exchange + QStringList{noReading}));
        s.Select({0});
        QCOMPARE(menuItems(true),
                 (QStringList{"コピー(&C) (default)", add, "削除(&D)\tDel", "プロパティ(&R)\tF2"} +
                  exchange + QStringList{reading}));
        s.Select({0, 3});
        QCOMPARE(menuItems(false),
                 (QStringList{"コピー(&C) (default)", add, "削除(&D)\tDel", "移動(&M)...\tCtrl+M"} +
                  exchange + QStringList{noReading}));

        // Not on the create tab, and not outside the list.
        s.fixture.Child<QTabBar>("m_tab")->setCurrentIndex(1);
        QVERIFY(menuItems(false).isEmpty());
    }

    void deleteAsksAndRemovesEmptiedFolders() {
        Session s;
        CMessageBoxSeam messages;
        s.Select({3});
        messages.AnswerNext(MessageAnswer::No);
        s.Command(id::kDelete);
        QCOMPARE(messages.Shown(), QStringList{"'\\(^o^)/' を削除してもよろしいですか?"});
        QCOMPARE(s.Rows().size(), 6);

        // (´・ω・｀) empties しょぼん, ソ表ノ leaves m(_ _)m in その他.
        messages.ClearShown();
        s.Select({1, 2, 5});
        messages.AnswerNext(MessageAnswer::Yes);
        s.Command(id::kDelete);
        QCOMPARE(messages.Shown(),
                 (QStringList{"これら 3個の顔文字を削除してもよろしいですか?",
                              "このフォルダには顔文字がありません。\nフォルダを削除します。"}));
        QCOMPARE(s.Rows(), (QStringList{"(^ω^)", "\\(^o^)/", "m(_ _)m"}));
        QCOMPARE(s.Folders(),
                 (QStringList{"すべての顔文字", "最近使った顔文字", "その他", "にこにこ"}));
        QCOMPARE(s.fixture.ReadFile(QStringLiteral("FaceList.dat")),
                 test::FaceList(
                     {{"(^ω^)", "にこにこ"}, {"m(_ _)m", "その他"}, {"\\(^o^)/", "にこにこ"}}));
    }

    void deletingEveryFaceOfTwoFoldersShowsTwoMessages() {
        Session s;
        CMessageBoxSeam messages;
        s.Select({2, 4, 5});  // しょぼん's only one, and both of その他
        messages.AnswerNext(MessageAnswer::Yes);
        s.Command(id::kDelete);
        QCOMPARE(messages.Shown().count(QStringLiteral(
                     "このフォルダには顔文字がありません。\nフォルダを削除します。")),
                 2);
        QCOMPARE(s.Folders(), (QStringList{"すべての顔文字", "最近使った顔文字", "にこにこ"}));
    }

    void deletingAllOfAShownFolderShowsEverything() {
        Session s;
        CMessageBoxSeam messages;
        s.ChooseFolder(QStringLiteral("その他"));
        QCOMPARE(s.list->SelectedRows(), std::vector<int>{0});  // the first row is chosen
        s.Select({0, 1});
        messages.AnswerNext(MessageAnswer::Yes);
        s.Command(id::kDelete);
        QCOMPARE(s.Rows().size(), 4);
        QCOMPARE(s.combo->currentIndex(), 0);
        QCOMPARE(s.combo->currentText(), QStringLiteral("すべての顔文字"));
    }

    void locationSearchAfterItsFolderWentListsEverything() {
        Session s;
        CMessageBoxSeam messages;
        s.ChooseFolder(QStringLiteral("しょぼん"));
        s.SearchFor(QStringLiteral("・"));
        s.Select({1});  // (´・ω・｀), the last of しょぼん
        messages.AnswerNext(MessageAnswer::Yes);
        s.Command(id::kDelete);
        QCOMPARE(s.combo->currentIndex(), -1);
        s.Command(id::kFindByLocation);
        QCOMPARE(s.combo->currentIndex(), 0);
        QCOMPARE(s.Rows().size(), 5);
    }

    void headerSortTogglesAndTheSelectionTravels() {
        Session s;
        s.Select({0});  // (^ω^)
        QHeaderView* header = s.list->DetailsView()->horizontalHeader();
        const QPoint folderHeader(header->sectionViewportPosition(1) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, folderHeader);
        QCOMPARE(s.Rows(1),
                 (QStringList{"しょぼん", "その他", "その他", "にこにこ", "にこにこ", "にこにこ"}));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, folderHeader);
        QCOMPARE(s.Rows(1).first(), QStringLiteral("にこにこ"));
        QTest::mouseClick(header->viewport(), Qt::RightButton, {}, QPoint(5, header->height() / 2));
        QCOMPARE(s.Rows(1).first(), QStringLiteral("にこにこ"));  // a right click sorts nothing
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(5, header->height() / 2));
        QCOMPARE(s.Rows().first(), QStringLiteral("(^ω^)"));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(5, header->height() / 2));
        QCOMPARE(s.Rows().first(), QStringLiteral("ソ表ノ"));
        const std::vector<int> selected = s.list->SelectedRows();
        QCOMPARE(selected.size(), 1u);
        QCOMPARE(s.Rows().at(selected.front()), QStringLiteral("(^ω^)"));
    }

    void viewModesKeepRowsAndSelection() {
        Session s;
        s.Select({1, 2});
        s.Command(id::kListView);
        QVERIFY(!s.list->IsDetailsView());
        QVERIFY(s.toolbar->IsButtonChecked(id::kListView));
        QVERIFY(!s.toolbar->IsButtonChecked(id::kDetailsView));
        QCOMPARE(s.list->SelectedRows(), (std::vector<int>{1, 2}));
        s.Command(id::kDetailsView);
        QVERIFY(s.list->IsDetailsView());
        QCOMPARE(s.list->SelectedRows(), (std::vector<int>{1, 2}));
    }

    void foldersDifferingInCaseStayApart() {
        Session s(test::FaceList({{"(a)", "Cat"}, {"(b)", "cat"}, {"(c)", "cat"}}));
        QCOMPARE(s.Folders(), (QStringList{"すべての顔文字", "最近使った顔文字", "Cat", "cat"}));
        s.ChooseFolder(QStringLiteral("cat"));
        QCOMPARE(s.Rows(), (QStringList{"(b)", "(c)"}));
        s.ChooseFolder(QStringLiteral("Cat"));
        QCOMPARE(s.Rows(), QStringList{"(a)"});
    }
};

}  // namespace mopira

QTEST_MAIN(mopira::TestListTab)
#include "test_list_tab.moc"
