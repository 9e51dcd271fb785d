#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include "FloorData.h"
#include "FloorWindow.h"
#include "LibraryGenerator.h"
#include "PaintWatch.h"
#include "core/text/Charset.h"

namespace mopira::bench {

class TestFloor : public QObject {
    Q_OBJECT

private slots:
    // The start-up benchmarks end at this wait: it must not end before the awaited paint,
    // nor hang when that never comes.
    void paintWatchWaitsForTheAwaitedContent() {
        CFloorWindow window;
        int rowsAtPaint = -1;
        CPaintWatch filled(window.View()->viewport(), [&] {
            rowsAtPaint = window.View()->model() ? window.View()->model()->rowCount() : 0;
            return rowsAtPaint == 1000;
        });
        window.show();
        QVERIFY(!filled.Wait(300));
        QCOMPARE(rowsAtPaint, 0);

        window.ShowLibrary(CachedFaceList(1000));
        QVERIFY(filled.Wait());
        QCOMPARE(rowsAtPaint, 1000);
    }

    void floorListsTheLibraryDecodedInTextOrder() {
        const std::string& bytes = CachedFaceList(1000);
        const std::vector<FloorRow> rows = RowsByText(SplitLines(bytes));
        CFloorWindow window;
        window.ShowLibrary(bytes);
        const QAbstractItemModel* model = window.View()->model();
        QCOMPARE(model->rowCount(), 1000);
        QCOMPARE(model->columnCount(), 2);
        for (int row : {0, 499, 999}) {
            const auto& expected = rows[static_cast<std::size_t>(row)];
            QCOMPARE(model->index(row, 0).data().toString().toStdU16String(),
                     Cp932::ToUtf16(expected.text));
            QCOMPARE(model->index(row, 1).data().toString().toStdU16String(),
                     Cp932::ToUtf16(expected.folder));
        }
    }

    // The floor of adding an emoticon: Return writes the library back whole.
    void returnWritesTheSameBytesBack() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("FaceList.dat"));
        CFloorWindow window;
        window.ShowLibrary(CachedFaceList(1000), QFile::encodeName(path).toStdString());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::keyClick(window.View(), Qt::Key_Return);
        QCOMPARE(ReadFile(QFile::encodeName(path).toStdString()), CachedFaceList(1000));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 1);
    }
};

}  // namespace mopira::bench

QTEST_MAIN(mopira::bench::TestFloor)
#include "test_floor.moc"
