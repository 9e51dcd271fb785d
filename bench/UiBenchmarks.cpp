// The window's own costs, on the offscreen platform: starting with a large library, one
// keystroke in the search box, a header sort and a refill of the whole list.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeView>
#include <algorithm>
#include <memory>

#include "LibraryGenerator.h"
#include "core/app/ControlIds.h"
#include "core/text/Charset.h"
#include "ui/app/MainDlg.h"
#include "ui/controls/SortListCtrl.h"
#include "ui/controls/TipToolBar.h"
#include "ui/library/FaceListModel.h"

namespace mopira::bench {

namespace {

std::size_t Count(const benchmark::State& state) {
    return static_cast<std::size_t>(state.range(0));
}

// A data folder holding a generated library of `count` emoticons.
class CDataFolder {
public:
    explicit CDataFolder(std::size_t count) {
        const std::string bytes = GenerateFaceList(count);
        QFile file(m_dir.filePath(QStringLiteral("FaceList.dat")));
        file.open(QIODevice::WriteOnly);
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    QString Path() const { return m_dir.path(); }
    QString Settings() const { return m_dir.filePath(QStringLiteral("mopira.ini")); }

private:
    QTemporaryDir m_dir;
};

// The main window opened on a generated library and painted once.
struct COpenWindow {
    CDataFolder data;
    std::unique_ptr<CMainDlg> dialog;
    CSortListCtrl* list;

    explicit COpenWindow(std::size_t count) : data(count) {
        dialog = std::make_unique<CMainDlg>(data.Path(), data.Settings());
        dialog->show();
        dialog->grab();
        QApplication::processEvents();
        list = dialog->findChild<CSortListCtrl*>(QStringLiteral("m_lstFace"));
    }
    // Paints the list as the screen would show it next.
    void PaintList() const { list->CurrentView()->viewport()->grab(); }
};

void Startup(benchmark::State& state) {
    const CDataFolder data(Count(state));
    for (auto _ : state) {
        CMainDlg dialog(data.Path(), data.Settings());
        dialog.show();
        dialog.grab();
    }
}

// Until the list shows the whole library: the window, then the library read right after.
void StartupFilled(benchmark::State& state) {
    const CDataFolder data(Count(state));
    for (auto _ : state) {
        CMainDlg dialog(data.Path(), data.Settings());
        dialog.show();
        dialog.grab();
        QApplication::processEvents();
        dialog.findChild<CSortListCtrl*>(QStringLiteral("m_lstFace"))
            ->CurrentView()
            ->viewport()
            ->grab();
    }
}

void Startup_Floor(benchmark::State& state) {
    for (auto _ : state) {
        QDialog dialog;
        dialog.resize(400, 300);
        dialog.show();
        dialog.grab();
    }
}

void Keystroke(benchmark::State& state) {
    COpenWindow window(Count(state));
    emit window.dialog->findChild<CTipToolBar*>(QStringLiteral("m_tbarList"))
        ->commandTriggered(id::kFindByText);
    auto* edit = window.dialog->findChild<QLineEdit*>(QStringLiteral("m_edtFind"));
    edit->setFocus();
    QApplication::processEvents();
    // The same two fragments as the core's search, typed with and without an extra space so
    // every keystroke changes the text.
    const QStringList queries = {QStringLiteral("ω ("), QStringLiteral("ω  (")};
    int next = 0;
    for (auto _ : state) {
        edit->setText(queries[next]);
        next = 1 - next;
        window.PaintList();
    }
    state.counters["rows"] = window.list->DetailsView()->model()->rowCount();
}

// The sort through the list control, selection and current row carried along; like its
// floor, without painting (Refill measures what a repaint of the list costs).
void HeaderSort(benchmark::State& state) {
    COpenWindow window(Count(state));
    auto* model = static_cast<CFaceListModel*>(window.list->DetailsView()->model());
    bool ascending = false;
    for (auto _ : state) {
        // Rows in library order, as the floor takes the texts, with one selected row.
        state.PauseTiming();
        model->Reset(window.dialog->Library().Records());
        window.list->SelectRow(static_cast<int>(Count(state) / 2));
        state.ResumeTiming();
        window.list->SortByColumn(0, ascending);
        ascending = !ascending;
    }
}

void HeaderSort_Floor(benchmark::State& state) {
    COpenWindow window(Count(state));
    std::vector<std::string_view> texts;
    window.dialog->Library().ForEachRecord(
        [&](RecordId id) { texts.push_back(window.dialog->Library().Text(id)); });
    bool ascending = false;
    for (auto _ : state) {
        std::vector<std::string_view> sorted = texts;
        std::sort(sorted.begin(), sorted.end(),
                  [ascending](std::string_view a, std::string_view b) {
                      const int order = Cp932::Compare(a, b);
                      return ascending ? order < 0 : order > 0;
                  });
        ascending = !ascending;
        benchmark::DoNotOptimize(sorted.data());
    }
}

void Refill(benchmark::State& state) {
    COpenWindow window(Count(state));
    auto* combo = window.dialog->findChild<QComboBox*>(QStringLiteral("m_cbxFolder"));
    for (auto _ : state) {
        emit combo->activated(0);
        window.PaintList();
    }
    state.counters["rows"] = window.list->DetailsView()->model()->rowCount();
}

// The same refill while the list view (wrapping columns of emoticons) shows.
void RefillListView(benchmark::State& state) {
    COpenWindow window(Count(state));
    emit window.dialog->findChild<CTipToolBar*>(QStringLiteral("m_tbarList"))
        ->commandTriggered(id::kListView);
    auto* combo = window.dialog->findChild<QComboBox*>(QStringLiteral("m_cbxFolder"));
    for (auto _ : state) {
        emit combo->activated(0);
        window.PaintList();
    }
}

}  // namespace

#define MOPIRA_SIZES Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)
BENCHMARK(Startup)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(Startup_Floor)->Unit(benchmark::kMillisecond);
BENCHMARK(StartupFilled)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(Keystroke)->MOPIRA_SIZES;
BENCHMARK(HeaderSort)->MOPIRA_SIZES;
BENCHMARK(HeaderSort_Floor)->MOPIRA_SIZES;
BENCHMARK(Refill)->MOPIRA_SIZES;
BENCHMARK(RefillListView)->MOPIRA_SIZES;

}  // namespace mopira::bench
