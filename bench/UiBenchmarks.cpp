// The window's own costs, on the offscreen platform: starting until the first frame and
// until the list shows the whole library, one keystroke in the search box, a header sort and
// a refill of the whole list. Each waits for the paint the user would see; none forces one.
//
// The window is reached only through its constructor, show() and the controls named
// m_lstFace, m_edtFind and m_cbxFolder, so these measurements hold while the window changes.
#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>

#include "FloorData.h"
#include "FloorWindow.h"
#include "LibraryGenerator.h"
#include "PaintWatch.h"
#include "core/app/ControlIds.h"
#include "core/library/FaceLibrary.h"
#include "core/text/Charset.h"
#include "store/LibraryDocument.h"
#include "store/RecentFaces.h"
#include "ui/app/MainDlg.h"
#include "ui/library/FolderTree.h"
#include "ui/library/ListActions.h"
#include "ui/library/ListPage.h"
#include "ui/platform/ModalSeam.h"

namespace mopira::bench {

namespace {

int Count(const benchmark::State& state) {
    return static_cast<int>(state.range(0));
}

// A data folder holding a generated library of `count` emoticons, and the settings the
// window starts with.
class CDataFolder {
public:
    explicit CDataFolder(int count,
                         std::initializer_list<std::pair<const char*, int>> settings = {}) {
        const std::string& bytes = CachedFaceList(static_cast<std::size_t>(count));
        QFile file(FaceListPath());
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
                static_cast<qint64>(bytes.size())) {
            qFatal("cannot write %s", qPrintable(file.fileName()));
        }
        QSettings profile(Settings(), QSettings::IniFormat);
        for (const auto& [key, value] : settings) {
            profile.setValue(QString::fromLatin1(key), value);
        }
    }
    QString Path() const { return m_dir.path(); }
    QString FaceListPath() const { return m_dir.filePath(QStringLiteral("FaceList.dat")); }
    std::string FaceListFile() const { return QFile::encodeName(FaceListPath()).toStdString(); }
    QString Settings() const { return m_dir.filePath(QStringLiteral("mopira.ini")); }

private:
    QTemporaryDir m_dir;
};

// The view the list of emoticons shows now (details or list).
QAbstractItemView* FaceListView(const QWidget& dialog) {
    const auto* list = dialog.findChild<QWidget*>(QStringLiteral("m_lstFace"));
    for (QAbstractItemView* view : list->findChildren<QAbstractItemView*>()) {
        if (!qobject_cast<QHeaderView*>(view) && view->isVisibleTo(list)) {
            return view;
        }
    }
    qFatal("the list of emoticons has no view");
}

// Shows `window` and waits until `view` has painted `rows` rows.
bool ShowFilled(QWidget& window, QAbstractItemView* view, int rows) {
    CPaintWatch filled(view->viewport(),
                       [view, rows] { return view->model() && view->model()->rowCount() == rows; });
    window.show();
    return filled.Wait();
}

// Repaints `view` as the event loop next would, and waits for it.
void PaintNext(QAbstractItemView* view) {
    CPaintWatch painted(view->viewport());
    view->viewport()->update();
    painted.Wait();
}

// The main window as the program makes it: on the library and the recent list it lends.
struct CProgramWindow {
    CLibraryDocument document;
    CRecentFaces recent;
    CMainDlg dialog;

    CProgramWindow(const QString& folder, const QString& settings)
        : document(folder), recent(document), dialog(document, recent, settings) {}
};

// The main window opened on a generated library, its list filled and painted.
struct COpenWindow {
    CDataFolder data;
    CProgramWindow program;
    CMainDlg& dialog;
    QAbstractItemView* view;

    explicit COpenWindow(int count,
                         std::initializer_list<std::pair<const char*, int>> settings = {})
        : data(count, settings),
          program(data.Path(), data.Settings()),
          dialog(program.dialog),
          view(FaceListView(dialog)) {
        if (!ShowFilled(dialog, view, count)) {
            qFatal("the list never showed %d emoticons", count);
        }
    }
};

// Until the first frame of the window: the window with whatever the program does before it
// first paints.
void Startup(benchmark::State& state) {
    const CDataFolder data(Count(state));
    for (auto _ : state) {
        auto program = std::make_unique<CProgramWindow>(data.Path(), data.Settings());
        {
            CPaintWatch painted(&program->dialog);
            program->dialog.show();
            if (!painted.Wait()) {
                state.SkipWithError("the window never painted");
            }
        }
        // Closing waits for the load still running on the library's thread: not the start.
        state.PauseTiming();
        program.reset();
        state.ResumeTiming();
    }
}

// A bare window that reads and splits the same file before its first frame.
void Startup_Floor(benchmark::State& state) {
    const CDataFolder data(Count(state));
    for (auto _ : state) {
        CFloorWindow window;
        const std::string bytes = ReadFile(data.FaceListFile());
        const std::vector<std::string_view> lines = SplitLines(bytes);
        CPaintWatch painted(&window);
        window.show();
        if (!painted.Wait()) {
            state.SkipWithError("the window never painted");
        }
        benchmark::DoNotOptimize(lines.data());
    }
}

// Until the list shows the whole library.
void StartupFilled(benchmark::State& state) {
    const CDataFolder data(Count(state));
    for (auto _ : state) {
        CProgramWindow program(data.Path(), data.Settings());
        CMainDlg& dialog = program.dialog;
        if (!ShowFilled(dialog, FaceListView(dialog), Count(state))) {
            state.SkipWithError("the list never showed every emoticon");
        }
    }
}

// A bare window that reads, splits and sorts the same file and lists it in a tree view.
void StartupFilled_Floor(benchmark::State& state) {
    const CDataFolder data(Count(state));
    for (auto _ : state) {
        CFloorWindow window;
        window.ShowLibrary(ReadFile(data.FaceListFile()));
        if (!ShowFilled(window, window.View(), Count(state))) {
            state.SkipWithError("the list never showed every emoticon");
        }
    }
}

// One keystroke of a search: the list refilled and painted.
void Keystroke(benchmark::State& state) {
    COpenWindow window(Count(state), {{"List/Find", 1}});
    auto* edit = window.dialog.findChild<QLineEdit*>(QStringLiteral("m_edtFind"));
    edit->setFocus();
    // The same two fragments as the core's search, typed with and without an extra space so
    // every keystroke changes the text.
    const QStringList queries = {QStringLiteral("ω ("), QStringLiteral("ω  (")};
    int next = 0;
    for (auto _ : state) {
        edit->setText(queries[next]);
        next = 1 - next;
        PaintNext(window.view);
    }
    const int rows = window.view->model()->rowCount();
    if (rows == Count(state)) {
        state.SkipWithError("the search box did not search");
    }
    state.counters["rows"] = rows;
}

// A click on the text column's header of the whole list, which reverses the order; like its
// floor, without painting (Refill measures what a repaint of the list costs).
void HeaderSort(benchmark::State& state) {
    COpenWindow window(Count(state));
    auto* details = qobject_cast<QTableView*>(window.view);
    // One selected row, which the sort carries along.
    details->selectionModel()->setCurrentIndex(
        details->model()->index(Count(state) / 2, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    // The first click on a column sorts it ascending, which the list already is; from then
    // on each click reverses it.
    emit details->horizontalHeader()->sectionClicked(0);
    for (auto _ : state) {
        emit details->horizontalHeader()->sectionClicked(0);
    }
}

// The same reversals of the precomputed sort keys, alone.
void HeaderSort_Floor(benchmark::State& state) {
    CFaceLibrary library;
    library.LoadFaceList(CachedFaceList(static_cast<std::size_t>(Count(state))));
    struct Entry {
        Cp932::Key key;
        RecordId id;
    };
    // The list starts in text order; the first click reverses it, as above.
    std::vector<Entry> entries;
    for (RecordId id : library.RecordsByText()) {
        entries.push_back({Cp932::SortKey(library.Text(id)), id});
    }
    bool ascending = false;
    for (auto _ : state) {
        if (ascending) {
            std::sort(entries.begin(), entries.end(),
                      [](const Entry& a, const Entry& b) { return a.key < b.key; });
        } else {
            std::sort(entries.begin(), entries.end(),
                      [](const Entry& a, const Entry& b) { return b.key < a.key; });
        }
        ascending = !ascending;
        benchmark::DoNotOptimize(entries.data());
    }
}

// "すべての顔文字" chosen again: every row into the list, painted.
void Refill(benchmark::State& state) {
    COpenWindow window(Count(state));
    auto* combo = window.dialog.findChild<QComboBox*>(QStringLiteral("m_cbxFolder"));
    for (auto _ : state) {
        emit combo->activated(0);
        PaintNext(window.view);
    }
    state.counters["rows"] = window.view->model()->rowCount();
}

// The same refill while the list view (wrapping columns of emoticons) shows.
void RefillListView(benchmark::State& state) {
    COpenWindow window(Count(state), {{"List/View", 1}});
    auto* combo = window.dialog.findChild<QComboBox*>(QStringLiteral("m_cbxFolder"));
    for (auto _ : state) {
        emit combo->activated(0);
        PaintNext(window.view);
    }
}

// The window's own time for adding one emoticon through the add dialog, as the user does,
// until the list has painted with it: the save runs on the library's thread meanwhile.
void AddFace(benchmark::State& state) {
    COpenWindow window(Count(state));
    int added = 0;
    CModalSeam modal([&added](QDialog& shown) {
        shown.findChild<QLineEdit*>(QStringLiteral("m_edtFace"))
            ->setText(QStringLiteral("(added %1)").arg(++added));
        auto* tree = shown.findChild<CFolderTree*>(QStringLiteral("m_tree"));
        tree->setCurrentItem(tree->Root()->child(0));
        shown.findChild<QPushButton*>(QStringLiteral("m_btnOK"))->click();
    });
    for (auto _ : state) {
        window.dialog.ListPage().Actions().OnCommand(id::kNewFace);
        PaintNext(window.view);
        state.PauseTiming();
        window.dialog.Document().Flush();
        state.ResumeTiming();
    }
    state.counters["rows"] = window.view->model()->rowCount();
}

}  // namespace

// Start-up waits on the event loop (and, later, on other threads): wall-clock time.
#define MOPIRA_STARTUP_SIZES \
    Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime()
#define MOPIRA_SIZES \
    Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime()
BENCHMARK(Startup)->MOPIRA_STARTUP_SIZES;
BENCHMARK(Startup_Floor)->MOPIRA_STARTUP_SIZES;
BENCHMARK(StartupFilled)->MOPIRA_STARTUP_SIZES;
BENCHMARK(StartupFilled_Floor)->MOPIRA_STARTUP_SIZES;
BENCHMARK(Keystroke)->MOPIRA_SIZES;
BENCHMARK(HeaderSort)->MOPIRA_SIZES;
BENCHMARK(HeaderSort_Floor)->MOPIRA_SIZES;
BENCHMARK(Refill)->MOPIRA_SIZES;
BENCHMARK(RefillListView)->MOPIRA_SIZES;
BENCHMARK(AddFace)->MOPIRA_SIZES;

}  // namespace mopira::bench
