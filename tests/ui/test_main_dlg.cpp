#include <QAccessible>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QListWidget>
#include <QScreen>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QUrl>
#include <cerrno>

#include "MainDlgFixture.h"
#include "core/app/ControlIds.h"
#include "core/app/PageLayout.h"
#include "store/PlatformFile.h"
#include "ui/controls/DragTabCtrl.h"
#include "ui/controls/HoverButton.h"
#include "ui/controls/SortListCtrl.h"
#include "ui/controls/TipToolBar.h"
#include "ui/library/LibraryMessages.h"
#include "ui/platform/Fonts.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/ModalSeam.h"

namespace mopira {

using test::CMainDlgFixture;

// Receives the help page instead of the desktop's browser.
class CUrlCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened.append(url); }
};

class TestMainDlg : public QObject {
    Q_OBJECT

private:
    static bool PageShown(CMainDlgFixture& fixture, int tab) {
        const bool list = fixture.Child<QWidget>("m_lstFace")->isVisible();
        const bool create = fixture.Child<QWidget>("m_grpFace")->isVisible();
        return tab == 0 ? list && !create : tab == 1 ? create && !list : !list && !create;
    }

private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    void firstStartUsesTheDefaults() {
        CMainDlgFixture fixture;
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        // The missing files are created empty.
        for (const char* file :
             {"FaceList.dat", "Eye.dat", "Mouth.dat", "Edge.dat", "Emotion.dat"}) {
            QVERIFY(QFile::exists(fixture.PathOf(QString::fromLatin1(file))));
        }
        QCOMPARE(dialog->windowTitle(), QStringLiteral("一覧 - モピラ"));
        QVERIFY(PageShown(fixture, 0));
        auto* list = fixture.Child<CSortListCtrl>("m_lstFace");
        QVERIFY(list->IsDetailsView());
        QCOMPARE(list->ColumnWidth(0), 150);
        QCOMPARE(list->ColumnWidth(1), 200);
        auto* variations = fixture.Child<QTreeWidget>("m_lstVariation");
        QCOMPARE(variations->columnWidth(0), 80);
        QCOMPARE(variations->columnWidth(2), 100);
        QVERIFY(!(dialog->windowFlags() & Qt::WindowStaysOnTopHint));
        auto* top = fixture.Child<CTipToolBar>("m_tbarTop");
        QVERIFY(!top->IsButtonChecked(id::kTopMost));
        QCOMPARE(top->ButtonCount(), 2);
        // Searching by location: the combo shows, the search box does not.
        QVERIFY(fixture.Child<QWidget>("m_cbxFolder")->isVisible());
        QVERIFY(!fixture.Child<QWidget>("m_edtFind")->isVisible());
        // Nothing is selected, so nothing can be copied or deleted.
        QVERIFY(!fixture.Child<QWidget>("m_btnCopy")->isEnabled());
        QVERIFY(!fixture.Child<CTipToolBar>("m_tbarList")->IsButtonEnabled(id::kDelete));
        QVERIFY(fixture.Child<CTipToolBar>("m_tbarList")->IsButtonHidden(id::kMove));
        // At least as large as the frame allows, everything on screen.
        const QSize outer = dialog->size() + QSize(8, 27);
        QVERIFY(outer.width() >= kMinOuterWidth && outer.height() >= kMinOuterHeight);
    }

    void everyControlHasItsIdentifierAndAName() {
        CMainDlgFixture fixture;
        fixture.WriteSetting(QStringLiteral("Window/Tab"), 1);
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        dialog->grab();
        QSet<int> ids;
        for (QWidget* control : dialog->findChildren<QWidget*>()) {
            const QVariant controlId = control->property("controlId");
            if (!controlId.isValid()) {
                continue;
            }
            ids.insert(controlId.toInt());
            if (control->objectName() == QStringLiteral("m_cboHelper")) {
                QVERIFY(!control->isVisible());  // never shown
                continue;
            }
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
            QVERIFY2(accessible && !accessible->text(QAccessible::Name).isEmpty(),
                     qPrintable(control->objectName()));
        }
        QCOMPARE(ids.size(), 21);  // the nineteen of the template and both toolbars
        QCOMPARE(QAccessible::queryAccessibleInterface(fixture.Child<QWidget>("m_btnEmotionLeft"))
                     ->text(QAccessible::Name),
                 QStringLiteral("気持ち(左)"));  // no caption: named by its tip
    }

    void closeWritesEverySettingEscapeNone() {
        CMainDlgFixture fixture;
        fixture.WriteSetting(QStringLiteral("List/View"), 7);
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        QVERIFY(!fixture.Child<CSortListCtrl>("m_lstFace")->IsDetailsView());
        QTest::keyClick(dialog, Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(fixture.Setting(QStringLiteral("Window/X")), QVariant());
        QCOMPARE(fixture.Setting(QStringLiteral("List/View")).toInt(), 7);

        dialog = fixture.Open();
        QVERIFY(dialog);
        dialog->close();
        QSettings profile(fixture.SettingsPath(), QSettings::IniFormat);
        QCOMPARE(profile.allKeys().size(), 13);
        QCOMPARE(profile.value(QStringLiteral("List/View")).toInt(), 1);
        // The details columns are written even though the list view shows.
        QCOMPARE(profile.value(QStringLiteral("List/Content")).toInt(), 150);
        QCOMPARE(profile.value(QStringLiteral("List/Folder")).toInt(), 200);
        QCOMPARE(profile.value(QStringLiteral("Window/TopMost")).toInt(), 0);
        QCOMPARE(profile.value(QStringLiteral("List/Type")).toInt(), 80);
        const QRect placed(profile.value(QStringLiteral("Window/X")).toInt(),
                           profile.value(QStringLiteral("Window/Y")).toInt(),
                           profile.value(QStringLiteral("Window/CX")).toInt(),
                           profile.value(QStringLiteral("Window/CY")).toInt());
        fixture.Close();

        // The saved placement comes back.
        dialog = fixture.Open();
        QVERIFY(dialog);
        QCOMPARE(dialog->pos(), placed.topLeft());
        QCOMPARE(dialog->size() + QSize(8, 27), placed.size());
    }

    void topMostTwoAtStartIsOffAndTheCommandTurnsItOff() {
        CMainDlgFixture fixture;
        fixture.WriteSetting(QStringLiteral("Window/TopMost"), 2);
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        auto* top = fixture.Child<CTipToolBar>("m_tbarTop");
        QVERIFY(!(dialog->windowFlags() & Qt::WindowStaysOnTopHint));
        QVERIFY(!top->IsButtonChecked(id::kTopMost));
        QTest::mouseClick(top->ButtonFor(id::kTopMost), Qt::LeftButton);
        QVERIFY(!top->IsButtonChecked(id::kTopMost));
        dialog->close();
        QCOMPARE(fixture.Setting(QStringLiteral("Window/TopMost")).toInt(), 0);

        dialog = fixture.Open();
        QVERIFY(dialog);
        top = fixture.Child<CTipToolBar>("m_tbarTop");
        QTest::mouseClick(top->ButtonFor(id::kTopMost), Qt::LeftButton);
        QVERIFY(top->IsButtonChecked(id::kTopMost));
        QVERIFY(dialog->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
        dialog->close();
        fixture.Close();
        dialog = fixture.Open();
        QVERIFY(dialog);
        QVERIFY(fixture.Child<CTipToolBar>("m_tbarTop")->IsButtonChecked(id::kTopMost));
        QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    }

    void unknownTabShowsNoPageUntilOneIsChosen() {
        CMainDlgFixture fixture;
        fixture.WriteSetting(QStringLiteral("Window/Tab"), 5);
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("モピラ"));
        QVERIFY(PageShown(fixture, 5));
        auto* tab = fixture.Child<CDragTabCtrl>("m_tab");
        tab->setCurrentIndex(1);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("作成 - モピラ"));
        QVERIFY(PageShown(fixture, 1));
        QTest::keyClick(dialog, Qt::Key_Tab, Qt::ControlModifier);  // the keyboard's way
        QCOMPARE(dialog->windowTitle(), QStringLiteral("一覧 - モピラ"));
        QVERIFY(PageShown(fixture, 0));
        dialog->close();
        QCOMPARE(fixture.Setting(QStringLiteral("Window/Tab")).toInt(), 0);
    }

    void layoutFollowsTheWindowAndStopsAtTheMinimum() {
        CMainDlgFixture fixture;
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        auto* list = fixture.Child<QWidget>("m_lstFace");
        auto* combo = fixture.Child<QWidget>("m_cbxFolder");
        auto* listBar = fixture.Child<QWidget>("m_tbarList");
        auto* topBar = fixture.Child<QWidget>("m_tbarTop");
        dialog->resize(400, 360);
        const QRect listBefore = list->geometry();
        const QRect comboBefore = combo->geometry();
        const QPoint barBefore = listBar->pos();
        const QPoint topBefore = topBar->pos();
        dialog->resize(400 + 37, 360 + 21);
        QCOMPARE(list->geometry(), listBefore.adjusted(0, 0, 37, 21));
        QCOMPARE(combo->geometry(), comboBefore.adjusted(0, 0, 37, 0));
        QCOMPARE(listBar->pos(), barBefore + QPoint(37, 0));
        QCOMPARE(topBar->pos(), topBefore + QPoint(37, 0));

        // The create page is laid out when it shows.
        auto* group = fixture.Child<QWidget>("m_grpFace");
        fixture.Child<CDragTabCtrl>("m_tab")->setCurrentIndex(1);
        QCOMPARE(group->width(), 400 + 37 + 8 - 40);
        dialog->resize(400, 360);
        QCOMPARE(group->width(), 400 + 8 - 40);
        QCOMPARE(list->geometry(), listBefore.adjusted(0, 0, 37, 21));  // hidden: left alone

        dialog->resize(10, 10);
        QCOMPARE(dialog->size(), QSize(kMinOuterWidth - 8, kMinOuterHeight - 27));
        QCOMPARE(fixture.Child<QWidget>("m_lstVariation")->width(), 82);
        QCOMPARE(fixture.Child<QWidget>("m_btnAdd")->x(), 17);
    }

    void helpOpensThePageOrSaysItIsMissing() {
        CMainDlgFixture fixture;
        CMessageBoxSeam messages;
        CUrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "Open");
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        auto* top = fixture.Child<CTipToolBar>("m_tbarTop");
        QTest::mouseClick(top->ButtonFor(id::kHelp), Qt::LeftButton);
        QCOMPARE(
            messages.Shown(),
            QStringList{QStringLiteral("index.htmが見つかりません。\nヘルプが表示できません。")});
        QCOMPARE(messages.Icons().front(), MessageIcon::Stop);
        QVERIFY(catcher.opened.isEmpty());

        messages.ClearShown();
        fixture.WriteFile(QStringLiteral("HTMLHelp/index.htm"), "<html></html>");
        QTest::keyClick(dialog, Qt::Key_F1);
        QVERIFY(messages.Shown().isEmpty());
        QCOMPARE(catcher.opened.size(), 1);
        QCOMPARE(catcher.opened.front().toLocalFile(),
                 fixture.PathOf(QStringLiteral("HTMLHelp/index.htm")));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));

        // Nothing here opens a page: the message says where it is.
        QTest::keyClick(dialog, Qt::Key_F1);
        QCOMPARE(messages.Shown().size(), 1);
        QVERIFY(messages.Shown().front().endsWith(
            QDir::toNativeSeparators(fixture.PathOf(QStringLiteral("HTMLHelp/index.htm")))));
    }

    void aboutBoxFromTheTopToolbarMenu() {
        CMainDlgFixture fixture;
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        QString shownTitle;
        CModalSeam modal([&](QDialog& about) {
            shownTitle = about.windowTitle();
            about.accept();
        });
        // The menu of the top toolbar offers the about item; choosing it runs the box.
        QTimer::singleShot(0, [] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                QTest::keyClick(popup, Qt::Key_Down);
                QTest::keyClick(popup, Qt::Key_Return);
            }
        });
        auto* top = fixture.Child<QWidget>("m_tbarTop");
        emit top->customContextMenuRequested(QPoint(2, 2));
        QCOMPARE(modal.Runs(), 1);
        QCOMPARE(shownTitle, QStringLiteral("モピラのバージョン情報"));
    }

    // With no saved placement the window opens large enough to use: eight emoticons on the
    // list tab, the four kinds and five variations on the create tab.
    void aFirstStartShowsEnoughOfEachPage() {
        CMainDlgFixture fixture;
        std::string library;
        for (int i = 0; i < 20; ++i) {
            library +=
                test::FaceList({{"(^_^)", "笑顔"}}).replace(0, 5, "face" + std::to_string(i));
        }
        fixture.WriteFile(QStringLiteral("FaceList.dat"), library);
        fixture.WriteFile(QStringLiteral("Eye.dat"), test::Sjis("a\r\n^\r\n^\r\nb\r\n-\r\n-\r\n"
                                                                "c\r\no\r\no\r\nd\r\n.\r\n.\r\n"
                                                                "e\r\n*\r\n*\r\nf\r\nT\r\nT\r\n"));
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        auto* faces = fixture.Child<CSortListCtrl>("m_lstFace")->DetailsView();
        QTRY_COMPARE(faces->model()->rowCount(), 20);
        QVERIFY(faces->viewport()->height() >= 8 * faces->rowHeight(0));

        fixture.Child<QTabBar>("m_tab")->setCurrentIndex(1);
        auto* types = fixture.Child<QListWidget>("m_lstType");
        for (int row = 0; row < 4; ++row) {
            QVERIFY(types->viewport()->rect().contains(types->visualItemRect(types->item(row))));
        }
        types->setCurrentRow(0);
        auto* variations = fixture.Child<QTreeWidget>("m_lstVariation");
        QCOMPARE(variations->topLevelItemCount(), 6);
        QVERIFY(variations->viewport()->height() >= 5 * variations->sizeHintForRow(0));
        for (int column = 0; column < 3; ++column) {
            QVERIFY(variations->header()->sectionViewportPosition(column) +
                        variations->columnWidth(column) <=
                    variations->viewport()->width());
        }

        // A saved size comes back exactly, and the minimum stays.
        fixture.WriteSetting(QStringLiteral("Window/X"), 20);
        fixture.WriteSetting(QStringLiteral("Window/Y"), 20);
        fixture.WriteSetting(QStringLiteral("Window/CX"), 300);
        fixture.WriteSetting(QStringLiteral("Window/CY"), 280);
        fixture.Close();
        dialog = fixture.Open();
        QCOMPARE(dialog->size() + QSize(8, 27), QSize(300, 280));
        QCOMPARE(dialog->minimumSize() + QSize(8, 27), QSize(267, 270));
    }

    // The menu key outside the list opens the window's menu, with the about box.
    void theMenuKeyOpensTheAboutMenu() {
        CMainDlgFixture fixture;
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        QString shownTitle;
        CModalSeam modal([&](QDialog& shown) { shownTitle = shown.windowTitle(); });
        QTimer::singleShot(0, [] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                QTest::keyClick(popup, Qt::Key_Down);
                QTest::keyClick(popup, Qt::Key_Return);
            }
        });
        fixture.Child<QTabBar>("m_tab")->setCurrentIndex(1);
        QWidget* random = fixture.Child<QWidget>("m_btnRandom");
        random->setFocus();
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(),
                                  random->mapToGlobal(QPoint()));
        QApplication::sendEvent(random, &menuKey);
        QCOMPARE(modal.Runs(), 1);
        QCOMPARE(shownTitle, QStringLiteral("モピラのバージョン情報"));
    }

    void anUnreadableLibraryOpensReadOnly() {
        CMainDlgFixture fixture;
        const std::string first = test::FaceList({{"(^_^)", "笑顔"}});
        const std::string original = first + test::FaceList({{"(T_T)", "泣く"}});
        fixture.WriteFile(QStringLiteral("FaceList.dat"), original);
        CMessageBoxSeam messages;
        // The disk fails after the first record.
        CFileFaultSeam failing(FileStep::Read, EIO, qint64(first.size()),
                               CFileFaultSeam::Action::Fail, QStringLiteral("FaceList.dat"));
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        QTRY_COMPARE(messages.Shown().size(), 1);
        const QString told = messages.Shown().front();
        QVERIFY(told.contains(QStringLiteral("読み込めませんでした")));
        QVERIFY(told.contains(
            QDir::toNativeSeparators(fixture.PathOf(QStringLiteral("FaceList.dat")))));
        QVERIFY(told.contains(QStringLiteral("ディスクの読み書きでエラーが発生しました")));

        // What was read can be found and copied; nothing can change it.
        auto* list = fixture.Child<CSortListCtrl>("m_lstFace");
        auto* toolbar = fixture.Child<CTipToolBar>("m_tbarList");
        QCOMPARE(list->DetailsView()->model()->rowCount(), 1);
        list->SelectRow(0);
        QVERIFY(fixture.Child<QWidget>("m_btnCopy")->isEnabled());
        for (int command : {id::kNewFace, id::kDelete, id::kProperties}) {
            QVERIFY(!toolbar->IsButtonEnabled(command));
            QVERIFY(
                toolbar->ButtonFor(command)->toolTip().contains(QStringLiteral("変更できません")));
        }
        QVERIFY(!fixture.Child<QWidget>("m_btnAdd")->isEnabled());
        dialog->OnOK();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("(^_^)"));
        messages.AnswerNext(MessageAnswer::Yes);
        QTest::mouseClick(toolbar->ButtonFor(id::kDelete), Qt::LeftButton);
        QCOMPARE(messages.Shown().size(), 1);  // not even asked
        fixture.Close();
        QVERIFY(fixture.ReadFile(QStringLiteral("FaceList.dat")) == original);
    }

    void savedPlacementsFitTheScreen() {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QSize frame(8, 27);
        {
            CMainDlgFixture fixture;
            for (const char* key : {"Window/X", "Window/Y"}) {
                fixture.WriteSetting(QString::fromLatin1(key), 10);
            }
            for (const char* key : {"Window/CX", "Window/CY"}) {
                fixture.WriteSetting(QString::fromLatin1(key), 2147483647);
            }
            CMainDlg* dialog = fixture.Open();
            QVERIFY(dialog);
            QVERIFY((dialog->size() + frame).width() <= screen.width());
            QVERIFY((dialog->size() + frame).height() <= screen.height());
            dialog->close();
            QVERIFY(fixture.Setting(QStringLiteral("Window/CX")).toInt() <= screen.width());
            QVERIFY(fixture.Setting(QStringLiteral("Window/CY")).toInt() <= screen.height());
        }
        {
            CMainDlgFixture fixture;
            for (const char* key : {"Window/X", "Window/Y"}) {
                fixture.WriteSetting(QString::fromLatin1(key), -30000);
            }
            fixture.WriteSetting(QStringLiteral("Window/CX"), 300);
            fixture.WriteSetting(QStringLiteral("Window/CY"), 320);
            CMainDlg* dialog = fixture.Open();
            QVERIFY(dialog);
            QVERIFY(screen.contains(dialog->pos()));
            QCOMPARE(dialog->size() + frame, QSize(300, 320));
            dialog->close();
            QVERIFY(screen.contains(QPoint(fixture.Setting(QStringLiteral("Window/X")).toInt(),
                                           fixture.Setting(QStringLiteral("Window/Y")).toInt())));
        }
    }

    // A line of ten megabytes, in the library and in a parts file, never holds the window.
    void longLinesNeverHoldTheWindow() {
        CMainDlgFixture fixture;
        const std::string huge(10'000'000, 'w');
        fixture.WriteFile(QStringLiteral("FaceList.dat"),
                          test::FaceList({{"(^_^)", "笑顔"}}) + huge + "\r\n" + huge + "\r\n\r\n");
        fixture.WriteFile(QStringLiteral("Eye.dat"), "name\r\n" + huge + "\r\n^\r\n");
#ifdef MOPIRA_SANITIZED
        constexpr qint64 kLimit = 500;  // the sanitizers slow everything several times
#else
        constexpr qint64 kLimit = 100;
#endif
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        auto* list = fixture.Child<CSortListCtrl>("m_lstFace");
        QTRY_COMPARE(list->DetailsView()->model()->rowCount(), 2);
        const auto timed = [](auto action) {
            QElapsedTimer timer;
            timer.start();
            action();
            return timer.elapsed();
        };
        const QModelIndex hugeRow = list->DetailsView()->model()->index(1, 0);
        QCOMPARE(hugeRow.data().toString().size(), qsizetype(1001));
        QVERIFY(hugeRow.data().toString().endsWith(QChar(0x2026)));
        QVERIFY(hugeRow.data(Qt::ToolTipRole).toString().size() <= 1001);
        const QRect cell = list->DetailsView()->visualRect(hugeRow);
        qint64 took = timed([&] {
            QTest::mouseClick(list->DetailsView()->viewport(), Qt::LeftButton, {}, cell.center());
            dialog->repaint();
        });
        QVERIFY2(took < kLimit, qPrintable(QString::number(took)));
        took = timed([&] {
            list->SetListView(false);
            dialog->repaint();
            list->SetListView(true);
            dialog->repaint();
        });
        QVERIFY2(took < kLimit, qPrintable(QString::number(took)));
        // The whole text still goes to the clipboard.
        dialog->OnOK();
        QCOMPARE(QGuiApplication::clipboard()->text().size(), qsizetype(huge.size()));

        took = timed([&] {
            fixture.Child<QTabBar>("m_tab")->setCurrentIndex(1);
            dialog->repaint();
        });
        QVERIFY2(took < kLimit, qPrintable(QString::number(took)));
        auto* eye = fixture.Child<QWidget>("m_btnEyeLeft");
        for (int click = 0; click < 2; ++click) {
            took = timed([&] {
                QTest::mouseClick(eye, Qt::LeftButton);
                dialog->repaint();
            });
            QVERIFY2(took < kLimit, qPrintable(QString::number(took)));
        }
    }

    // A save that fails keeps the file and the change, says so once, and is tried again on its
    // own; a folder that takes no file leaves the commands that would change the library off.
    void failedSaveIsRetriedAndToldOnceReadOnlyFolderDisablesChanges() {
        CMainDlgFixture fixture;
        const std::string original = test::FaceList({{"(^_^)", "笑顔"}, {"(T_T)", "泣く"}});
        fixture.WriteFile(QStringLiteral("FaceList.dat"), original);
        CMessageBoxSeam messages;
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        auto* list = fixture.Child<CSortListCtrl>("m_lstFace");
        auto* toolbar = fixture.Child<CTipToolBar>("m_tbarList");
        const auto failures = [&messages] {
            return messages.Shown().filter(QStringLiteral("保存できませんでした")).size();
        };
        {
            // The disk fills up while the new file is written out, and stays full a while.
            CFileFaultSeam full(FileStep::Flush, ENOSPC);
            list->SelectRow(0);
            messages.AnswerNext(MessageAnswer::Yes);
            QTest::mouseClick(toolbar->ButtonFor(id::kDelete), Qt::LeftButton);
            dialog->Document().Flush();
            QVERIFY(full.Hits() >= 2);  // the save, and closing's try again
            QCOMPARE(fixture.ReadFile(QStringLiteral("FaceList.dat")), original);
            QCOMPARE(dialog->Library().Size(), 1u);
            QCOMPARE(failures(), 1);
            QVERIFY(
                messages.Shown().last().contains(QStringLiteral("ディスクの空き容量が足りません")));
            QVERIFY(messages.Shown().last().contains(QStringLiteral("FaceList.dat")));
            QVERIFY(dialog->Document().HasUnsavedChanges());
        }
        // Room again: the change is saved without another one, and the user hears of it.
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->Document().HasUnsavedChanges(), 5000);
        QCOMPARE(fixture.ReadFile(QStringLiteral("FaceList.dat")),
                 test::FaceList({{"(^_^)", "笑顔"}}));
        QCOMPARE(failures(), 1);
        QCOMPARE(messages.Shown().last(), QStringLiteral("顔文字の一覧を保存しました。"));
        fixture.Close();

        messages.ClearShown();
        // No file can be made in the folder, so no save could succeed.
        CFileFaultSeam readOnly(FileStep::Create, EACCES);
        fixture.WriteFile(QStringLiteral("FaceList.dat"), original);
        dialog = fixture.Open();
        QVERIFY(dialog);
        QTRY_COMPARE(messages.Shown().size(), 1);
        QVERIFY(
            messages.Shown().front().startsWith(QStringLiteral("データフォルダに書き込めません")));
        fixture.Child<CSortListCtrl>("m_lstFace")->SelectRow(0);
        toolbar = fixture.Child<CTipToolBar>("m_tbarList");
        for (int command : {id::kNewFace, id::kDelete, id::kProperties}) {
            QToolButton* button = toolbar->ButtonFor(command);
            QVERIFY(!button->isEnabled());
            QCOMPARE(button->toolTip(),
                     QStringLiteral("データフォルダに書き込めないため、変更できません"));
        }
        QCOMPARE(fixture.ReadFile(QStringLiteral("FaceList.dat")), original);
    }

    // Closing with a change the disk will not take keeps it in a recovery file, which the next
    // start offers to take in.
    void whatCannotBeSavedIsKeptAndOfferedAtTheNextStart() {
        CMainDlgFixture fixture;
        const std::string original = test::FaceList({{"(^_^)", "笑顔"}, {"(T_T)", "泣く"}});
        fixture.WriteFile(QStringLiteral("FaceList.dat"), original);
        CMessageBoxSeam messages;
        CMainDlg* dialog = fixture.Open();
        QVERIFY(dialog);
        {
            CFileFaultSeam full(FileStep::Rename, ENOSPC, 0, CFileFaultSeam::Action::Fail,
                                QStringLiteral("FaceList.dat"));
            dialog->Document().Change(AddFaces{{FaceEntry{"(-_-)", test::Sjis("眠い")}}});
            messages.ClearShown();
            // Told the save failed; asked, "try again" first, then "keep".
            messages.AnswerNext(MessageAnswer::Ok);
            messages.AnswerNext(MessageAnswer::Yes);
            messages.AnswerNext(MessageAnswer::No);
            CLibraryMessages::SettleBeforeClosing(dialog, dialog->Document());
            QCOMPARE(messages.Shown().size(), 4);
            QVERIFY(messages.Shown().at(0).contains(QStringLiteral("ディスクの空き容量")));
            QVERIFY(messages.Shown().at(1).contains(QStringLiteral("もう一度保存しますか")));
            QCOMPARE(messages.Shown().at(2), messages.Shown().at(1));
            QVERIFY(
                messages.Shown().at(3).startsWith(QStringLiteral("回復用のファイルを残しました")));
            QVERIFY(full.Hits() >= 2);
        }
        fixture.Close();
        QVERIFY(test::ReadBytes(fixture.PathOf(QStringLiteral("FaceList.dat"))) == original);

        messages.ClearShown();
        messages.AnswerNext(MessageAnswer::Yes);
        dialog = fixture.Open();
        QTRY_COMPARE(messages.Shown().size(), 2);
        QVERIFY(messages.Shown().at(0).contains(QStringLiteral("回復用のファイル")));
        QCOMPARE(messages.Shown().at(1),
                 QStringLiteral("回復用のファイルから 1 個の顔文字を取り込みました。"));
        QCOMPARE(fixture.ReadFile(QStringLiteral("FaceList.dat")),
                 original + test::FaceList({{"(-_-)", "眠い"}}));
        QVERIFY(dialog->Document().RecoveryFiles().isEmpty());
    }
};

}  // namespace mopira

QTEST_MAIN(mopira::TestMainDlg)
#include "test_main_dlg.moc"
