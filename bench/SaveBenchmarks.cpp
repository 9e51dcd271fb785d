// Saving the library after a change, which the window waits for: the program's own path
// (the library serialized, then the data store's atomic save) beside writing the same bytes
// durably. Both write into a temporary folder: on a disk only where TMPDIR is on one.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "FloorData.h"
#include "LibraryGenerator.h"
#include "core/library/FaceLibrary.h"
#include "ui/app/DataStore.h"

namespace mopira::bench {

namespace {

const QString kFaceList = QStringLiteral("FaceList.dat");

void Save(benchmark::State& state) {
    CFaceLibrary library;
    library.LoadFaceList(CachedFaceList(static_cast<std::size_t>(state.range(0))));
    const QTemporaryDir folder;
    const CDataStore store(folder.path());
    for (auto _ : state) {
        if (!store.Save(kFaceList, library.SaveFaceList()).ok) {
            state.SkipWithError("the save failed");
        }
    }
}

void Save_Floor(benchmark::State& state) {
    CFaceLibrary library;
    library.LoadFaceList(CachedFaceList(static_cast<std::size_t>(state.range(0))));
    const std::string bytes = library.SaveFaceList();
    const QTemporaryDir folder;
    const std::string path = QFile::encodeName(folder.filePath(kFaceList)).toStdString();
    for (auto _ : state) {
        if (!WriteDurably(path, bytes)) {
            state.SkipWithError("the write failed");
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

}  // namespace

// Mostly waiting for the disk: wall-clock time.
#define MOPIRA_SIZES \
    Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime()
BENCHMARK(Save)->MOPIRA_SIZES;
BENCHMARK(Save_Floor)->MOPIRA_SIZES;

}  // namespace mopira::bench
