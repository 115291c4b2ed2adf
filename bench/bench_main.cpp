// The benchmarks need a Qt application object for the SQL driver; the
// database is made (or found in the cache) before the first one runs.
#include "bench/bench_database.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const BenchDatabase& db = BenchDatabase::instance();
    std::fprintf(stderr, "database %s (%s), its today %s\n", qPrintable(db.path()),
                 db.indexed() ? "with indexes" : "without indexes",
                 qPrintable(db.anchor().toString(Qt::ISODate)));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
