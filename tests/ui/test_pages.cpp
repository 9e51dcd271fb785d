#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTreeView>

#include "MainDlgFixture.h"
#include "store/LibraryDocument.h"
#include "store/RecentFaces.h"
#include "ui/builder/CreatePage.h"
#include "ui/controls/SortListCtrl.h"
#include "ui/library/ListPage.h"
#include "ui/platform/Fonts.h"

namespace mopira {

// Each page stands on its own: made without the window, given a host widget and what it
// reads, it fills its controls and reports its emoticon through its own signals.
class TestPages : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    void theListPageAlone() {
        test::CMainDlgFixture files;
        files.WriteFile(QStringLiteral("FaceList.dat"),
                        test::FaceList({{"(^_^)", "笑顔"}, {"(T_T)", "泣く"}}));
        QWidget host;
        CLibraryDocument document(files.DataDir());
        CRecentFaces recent(document);
        CListPage page(document, recent, files.DataDir() + QStringLiteral("/mopira.ini"), &host);
        page.ReadSettings(Settings{});
        page.setGeometry(0, 0, 400, 400);
        page.LayoutPage(400, 400);
        page.ShowPage();
        host.show();
        QSignalSpy faces(&page, &CPage::currentFaceChanged);
        QSignalSpy copies(&page, &CPage::copyRequested);
        document.Load();
        document.Flush();

        auto* list = page.findChild<CSortListCtrl*>(QStringLiteral("m_lstFace"));
        QCOMPARE(list->DetailsView()->model()->rowCount(), 2);
        QCOMPARE(list->SelectedRows(), std::vector<int>{0});  // Enter copies at once
        list->SelectRow(1);
        QCOMPARE(page.CurrentFace(), test::Sjis("(^_^)"));
        QVERIFY(!faces.isEmpty());
        QCOMPARE(faces.last().front().toBool(), true);
        const QRect row =
            list->DetailsView()->visualRect(list->DetailsView()->model()->index(1, 0));
        QTest::mouseClick(list->DetailsView()->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(list->DetailsView()->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(copies.count(), 1);

        Settings written;
        page.WriteSettings(written);
        QCOMPARE(written.content, 150);
        QCOMPARE(written.folder, 200);
    }

    void theCreatePageAlone() {
        test::CMainDlgFixture files;
        files.WriteFile(QStringLiteral("Mouth.dat"), test::Sjis("むにゅ\r\nω\r\n"));
        QWidget host;
        CCreatePage page(files.DataDir(), &host);
        page.ReadSettings(Settings{});
        page.setGeometry(0, 0, 400, 400);
        page.LayoutPage(400, 400);
        page.ShowPage();
        host.show();
        QCOMPARE(page.CurrentFace(), std::string("(^_^)"));
        QTest::mouseClick(page.findChild<QWidget*>(QStringLiteral("m_btnMouth")), Qt::LeftButton);
        QCOMPARE(page.CurrentFace(), test::Sjis("(^ω^)"));

        QSignalSpy added(&page, &CCreatePage::addRequested);
        QTest::mouseClick(page.findChild<QPushButton*>(QStringLiteral("m_btnAdd")), Qt::LeftButton);
        QCOMPARE(added.count(), 1);
        page.SetAddEnabled(false, QStringLiteral("why"));
        QTest::mouseClick(page.findChild<QPushButton*>(QStringLiteral("m_btnAdd")), Qt::LeftButton);
        QCOMPARE(added.count(), 1);
        QCOMPARE(page.findChild<QPushButton*>(QStringLiteral("m_btnAdd"))->toolTip(),
                 QStringLiteral("why"));
    }
};

}  // namespace mopira

QTEST_MAIN(mopira::TestPages)
#include "test_pages.moc"
