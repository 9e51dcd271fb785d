// Each operation beside its floor, the least any code holding the same data must do, with
// the same argument in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "LibraryGenerator.h"
#include "core/library/FaceLibrary.h"
#include "core/library/KeywordTable.h"
#include "core/library/MeaningIndex.h"
#include "core/library/TextExchange.h"
#include "core/text/Charset.h"
#include "core/text/LineReader.h"

namespace mopira::bench {

namespace {

std::size_t Count(const benchmark::State& state) {
    return static_cast<std::size_t>(state.range(0));
}

// Bytes made once per count from the generated library, and kept for the whole run.
template <class Make>
const std::string& Derived(std::vector<std::pair<std::size_t, std::string>>& cache,
                           std::size_t count, Make make) {
    for (const auto& [cachedCount, bytes] : cache) {
        if (cachedCount == count) {
            return bytes;
        }
    }
    cache.emplace_back(count, make(CachedFaceList(count)));
    return cache.back().second;
}

// The library converted to UTF-8, as its file (with the byte order mark).
const std::string& CachedUtf8FaceList(std::size_t count) {
    static std::vector<std::pair<std::size_t, std::string>> cache;
    return Derived(cache, count, [](const std::string& bytes) {
        CFaceLibrary library;
        library.LoadFaceList(bytes);
        library.ConvertToUtf8();
        return library.SaveFaceList();
    });
}

// The library as an export file: UTF-8, one `text<TAB>folder` line each.
const std::string& CachedImportFile(std::size_t count) {
    static std::vector<std::pair<std::size_t, std::string>> cache;
    return Derived(cache, count, [](const std::string& bytes) {
        CFaceLibrary library;
        library.LoadFaceList(bytes);
        return ExportRecords(library, library.Records()).bytes;
    });
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
const std::string kFirstFragment = Cp932::FromUtf8Literal("ω");
const std::string kQuery = kFirstFragment + " " + Cp932::FromUtf8Literal("(");

void SearchIn(benchmark::State& state, const std::string& bytes, const std::string& query) {
    CFaceLibrary library;
    library.LoadFaceList(bytes);
    std::size_t found = 0;
    for (auto _ : state) {
        found = library.SearchByText(query).size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["found"] = static_cast<double>(found);
}

void Search(benchmark::State& state) {
    SearchIn(state, CachedFaceList(Count(state)), kQuery);
}

void SearchUtf8(benchmark::State& state) {
    SearchIn(state, CachedUtf8FaceList(Count(state)), Cp932::ToUtf8(kQuery));
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

// A reading for every folder and keywords for one face in a hundred, as a user gives them.
CKeywordTable ReadingsFor(const CFaceLibrary& library) {
    const std::vector<std::string> readings = {"えがお", "あいさつ", "おどろき", "かなしい",
                                               "いかり", "てれ",     "どうぶつ", "なく"};
    CKeywordTable table(library.GetCharset());
    std::vector<std::string> folders = library.FolderNames();
    std::sort(folders.begin(), folders.end());
    for (std::size_t k = 0; k < folders.size(); ++k) {
        table.SetFolderReading(folders[k], readings[k % readings.size()]);
    }
    library.ForEachRecord([&](RecordId id) {
        if (id % 100 == 0) {
            table.SetFaceKeywords(std::string(library.Text(id)), {"ねこ", "smile"});
        }
    });
    return table;
}

// A fragment and a reading typed in romaji: the meaning rule looks at every record.
const std::string kMeaningQuery = kFirstFragment + " naku";

void SearchByMeaning(benchmark::State& state) {
    CFaceLibrary library;
    library.LoadFaceList(CachedFaceList(Count(state)));
    const CKeywordTable table = ReadingsFor(library);
    const CMeaningIndex index(library, table);
    library.RecordsByText();  // the list has the order by text long before the first search
    std::size_t found = 0;
    for (auto _ : state) {
        found = index.Search(kMeaningQuery, CFaceLibrary::Order::Text).rows.size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["found"] = static_cast<double>(found);
}

// The same with the index made for every search, as a caller that keeps none pays.
void SearchByMeaningUnindexed(benchmark::State& state) {
    CFaceLibrary library;
    library.LoadFaceList(CachedFaceList(Count(state)));
    const CKeywordTable table = ReadingsFor(library);
    library.RecordsByText();
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            mopira::SearchByMeaning(library, table, kMeaningQuery, CFaceLibrary::Order::Text));
    }
}

void SortIn(benchmark::State& state, const std::string& bytes) {
    CFaceLibrary library;
    for (auto _ : state) {
        state.PauseTiming();
        library.LoadFaceList(bytes);
        state.ResumeTiming();
        benchmark::DoNotOptimize(library.RecordsByText().data());
    }
}

void SortByText(benchmark::State& state) {
    SortIn(state, CachedFaceList(Count(state)));
}

void SortByTextUtf8(benchmark::State& state) {
    SortIn(state, CachedUtf8FaceList(Count(state)));
}

void Import(benchmark::State& state) {
    const std::string& bytes = CachedImportFile(Count(state));
    for (auto _ : state) {
        CFaceLibrary library;
        const ImportSummary summary = ApplyImport(library, ParseImport(bytes, "-"));
        benchmark::DoNotOptimize(summary.added.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

// The import file's lines split at LF, each kept once.
void Import_Floor(benchmark::State& state) {
    const std::string& bytes = CachedImportFile(Count(state));
    for (auto _ : state) {
        std::vector<std::string> lines;
        CLineReader reader(bytes);
        std::string_view line;
        while (reader.Next(line)) {
            lines.emplace_back(line);
        }
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
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
BENCHMARK(SearchByMeaning)->MOPIRA_SIZES;
BENCHMARK(SearchByMeaningUnindexed)->MOPIRA_SIZES;
BENCHMARK(SearchUtf8)->MOPIRA_SIZES;
BENCHMARK(SortByTextUtf8)->MOPIRA_SIZES;
BENCHMARK(Import)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Import_Floor)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace mopira::bench
