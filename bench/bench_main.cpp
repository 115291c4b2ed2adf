// The benchmarks need a Qt application object for the SQL driver, and a GUI
// one for laying reports out (fonts) and writing PDF; without a display it
// runs on the offscreen platform. The database is made (or found in the
// cache) before the first one runs; with REZYDO_BENCH_SERVER=1 the server's
// copy of it too.
#include "bench/bench_database.h"

#include <QGuiApplication>
#include <QLocale>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland)); // as main() does
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const BenchDatabase& db = BenchDatabase::instance();
    std::fprintf(stderr, "database %s (%s), its today %s\n", qPrintable(db.path()),
                 db.indexed() ? "with indexes" : "without indexes",
                 qPrintable(db.anchor().toString(Qt::ISODate)));
    if (benchWithServer()) {
        // Nothing left running, however the run ends.
        std::atexit(stopBenchServer);
        startBenchServer();
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    stopBenchServer();
    return 0;
}
