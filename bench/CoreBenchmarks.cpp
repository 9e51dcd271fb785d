// Each operation beside its floor, the least any code holding the same data must do, with
// the same argument in the same run.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <vector>

#include "LibraryGenerator.h"
#include "core/library/FaceLibrary.h"
#include "core/text/Charset.h"
#include "core/text/LineReader.h"

namespace mopira::bench {

namespace {

std::size_t Count(const benchmark::State& state) {
    return static_cast<std::size_t>(state.range(0));
}

void Parse(benchmark::State& state) {
    const std::string& bytes = CachedFaceList(Count(state));
    CFaceLibrary library;
    for (auto _ : state) {
        library.LoadFaceList(bytes);
        benchmark::DoNotOptimize(library.Size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

// The lines split at LF, each text kept once: a text is one line in three, and the few
// folder names need no copy per record.
void Parse_Floor(benchmark::State& state) {
    const std::string& bytes = CachedFaceList(Count(state));
    for (auto _ : state) {
        std::vector<std::string> texts;
        CLineReader reader(bytes);
        std::string_view line;
        for (std::size_t number = 0; reader.Next(line); ++number) {
            if (number % 3 == 0) {
                texts.emplace_back(line);
            }
        }
        benchmark::DoNotOptimize(texts.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void Serialize(benchmark::State& state) {
    CFaceLibrary library;
    library.LoadFaceList(CachedFaceList(Count(state)));
    for (auto _ : state) {
        std::string bytes = library.SaveFaceList();
        benchmark::DoNotOptimize(bytes.data());
    }
}

void Serialize_Floor(benchmark::State& state) {
    CFaceLibrary library;
    library.LoadFaceList(CachedFaceList(Count(state)));
    std::vector<std::string_view> texts;
    library.ForEachRecord([&](RecordId id) {
        texts.push_back(library.Text(id));
        texts.push_back(library.Folder(id));
    });
    for (auto _ : state) {
        std::string bytes;
        for (std::string_view text : texts) {
            bytes += text;
        }
        benchmark::DoNotOptimize(bytes.data());
    }
}

// Two fragments that many emoticons hold, as a user types them.
const std::string kFirstFragment = Charset::FromUtf8Literal("ω");
const std::string kQuery = kFirstFragment + " " + Charset::FromUtf8Literal("(");

void Search(benchmark::State& state) {
    CFaceLibrary library;
    library.LoadFaceList(CachedFaceList(Count(state)));
    std::size_t found = 0;
    for (auto _ : state) {
        found = library.SearchByText(kQuery).size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["found"] = static_cast<double>(found);
}

void Search_Floor(benchmark::State& state) {
    CFaceLibrary library;
    library.LoadFaceList(CachedFaceList(Count(state)));
    std::vector<std::string_view> texts;
    library.ForEachRecord([&](RecordId id) { texts.push_back(library.Text(id)); });
    for (auto _ : state) {
        std::size_t found = 0;
        for (std::string_view text : texts) {
            found += text.find(kFirstFragment) != std::string_view::npos;
        }
        benchmark::DoNotOptimize(found);
    }
}

void SortByText(benchmark::State& state) {
    const std::string& bytes = CachedFaceList(Count(state));
    CFaceLibrary library;
    for (auto _ : state) {
        state.PauseTiming();
        library.LoadFaceList(bytes);
        state.ResumeTiming();
        benchmark::DoNotOptimize(library.RecordsByText().data());
    }
}

}  // namespace

#define MOPIRA_SIZES Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond)
BENCHMARK(Parse)->MOPIRA_SIZES;
BENCHMARK(Parse_Floor)->MOPIRA_SIZES;
BENCHMARK(Serialize)->MOPIRA_SIZES;
BENCHMARK(Serialize_Floor)->MOPIRA_SIZES;
BENCHMARK(Search)->MOPIRA_SIZES;
BENCHMARK(Search_Floor)->MOPIRA_SIZES;
BENCHMARK(SortByText)->MOPIRA_SIZES;

}  // namespace mopira::bench
