// Saving the library after a change, which the window waits for: the program's own path
// (the change applied, the save lock taken, the file checked for changes made elsewhere, the
// library streamed into a verified replacement) beside writing the same bytes durably. Both write
// into a temporary folder: on a disk only where TMPDIR is on one.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "FloorData.h"
#include "LibraryGenerator.h"
#include "core/library/FaceLibrary.h"
#include "core/library/LibraryEdit.h"
#include "store/LibraryDocument.h"
#include "store/PlatformFile.h"

namespace mopira::bench {

namespace {

const QString kFaceList = QStringLiteral("FaceList.dat");

void Save(benchmark::State& state) {
    const QTemporaryDir folder;
    if (ReplaceFile(folder.filePath(kFaceList),
                    CachedFaceList(static_cast<std::size_t>(state.range(0))))
            .Failed()) {
        state.SkipWithError("the library could not be written");
        return;
    }
    CLibraryDocument document(folder.path());
    document.Load();
    document.Flush();
    // One emoticon comes and goes, so the library keeps its size.
    bool add = true;
    for (auto _ : state) {
        if (add) {
            document.Change(AddFaces{{FaceEntry{"(bench)", "bench"}}});
        } else {
            document.Change(RemoveFaces{{"(bench)"}});
        }
        add = !add;
        if (document.Flush().error.Failed()) {
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
