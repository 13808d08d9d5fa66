// The dictionary search on a large table, in process (Google Benchmark):
//   dictsearch FILE [benchmark options]
// BM_Search: what the search button does to the table (filter "headword >= 'text'", one move),
// on the sorted dictionary; BM_PlainScan: a filter that tests every row, the way a client-side
// filter without the sort order works; BM_Reopen: the direction switch's close and reopen of
// the dictionary with its sort and filter kept. The p50/p99 counters are per search.
#include "dbopening.h"
#include "dictionarysearch.h"
#include "tablehandle.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

using namespace peltavo;

namespace {

QString gFile;

TableHandle& dictionary() {
    static std::unique_ptr<TableHandle> table = [] {
        auto t = std::make_unique<TableHandle>(QStringLiteral("Tablei"));
        t->setConnectionString(jetConnectionString(gFile, QStringLiteral("947")));
        t->setTableName(QStringLiteral("isozluk"));
        t->open();
        t->setSort(QStringLiteral("ikelime"));
        return t;
    }();
    return *table;
}

const QStringList kProbes = {QStringLiteral("ba"), QStringLiteral("kilo"), QStringLiteral("zuzu"),
                             QStringLiteral("mu"), QStringLiteral("cedi"), QStringLiteral("a")};

void percentiles(benchmark::State& state, std::vector<double>& us) {
    std::sort(us.begin(), us.end());
    if (us.empty())
        return;
    state.counters["p50_us"] = us[us.size() / 2];
    state.counters["p99_us"] = us[std::min(us.size() - 1, us.size() * 99 / 100)];
}

void BM_Search(benchmark::State& state) {
    TableHandle& table = dictionary();
    std::vector<double> us;
    std::size_t i = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        searchDictionary(table, QStringLiteral("ikelime"), kProbes[qsizetype(i++ % 6)]);
        us.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
    }
    benchmark::DoNotOptimize(table.recordCount());
    percentiles(state, us);
}
BENCHMARK(BM_Search)->Unit(benchmark::kMicrosecond);

void BM_PlainScan(benchmark::State& state) {
    TableHandle& table = dictionary();
    const Collation collation(Collation::Language::English);
    std::vector<double> us;
    std::size_t i = 0;
    table.setFiltered(false);
    const int rows = table.recordCount();
    for (auto _ : state) {
        const QString probe = kProbes[qsizetype(i++ % 6)];
        const auto start = std::chrono::steady_clock::now();
        std::vector<int> passing;
        for (int r = 0; r < rows; ++r) {
            const FieldValue v = table.valueAt(r, QStringLiteral("ikelime"));
            if (v && collation.compare(*v, probe) >= 0)
                passing.push_back(r);
        }
        benchmark::DoNotOptimize(passing.data());
        us.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
    }
    percentiles(state, us);
}
BENCHMARK(BM_PlainScan)->Unit(benchmark::kMillisecond)->Iterations(6);

void BM_Reopen(benchmark::State& state) {
    TableHandle& table = dictionary();
    searchDictionary(table, QStringLiteral("ikelime"), QStringLiteral("ki"));
    std::vector<double> us;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        table.close();
        table.open();
        us.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
    }
    benchmark::DoNotOptimize(table.recordCount());
    percentiles(state, us);
}
BENCHMARK(BM_Reopen)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: dictsearch FILE [benchmark options]\n");
        return 64;
    }
    gFile = QString::fromLocal8Bit(argv[1]);
    argv[1] = argv[0];
    --argc;
    ++argv;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
