// Start-up as a whole process: from exec to the main window on screen and the
// process gone, for the program on the big database and for an empty Qt window.
#include "bench/bench_database.h"

#include <QCoreApplication>
#include <QProcess>

#include <benchmark/benchmark.h>

namespace {
void startup(benchmark::State& state, bool bare)
{
    const QString driver =
        QCoreApplication::applicationDirPath() + QStringLiteral("/rezydo-bench-startup");
    QStringList args{BenchDatabase::instance().path()};
    if (bare)
        args << QStringLiteral("--bare");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")) &&
        !env.contains(QStringLiteral("DISPLAY")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    double inside = 0;
    for (auto _ : state) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(driver, args);
        if (!p.waitForFinished(30000) || p.exitCode() != 0) {
            state.SkipWithError("the start-up driver failed");
            break;
        }
        inside += p.readAllStandardOutput().trimmed().toDouble();
    }
    // Milliseconds from main() to the window exposed, without loading the binary.
    state.counters["in_main_ms"] =
        inside / static_cast<double>(std::max<benchmark::IterationCount>(1, state.iterations()));
}
} // namespace

BENCHMARK_CAPTURE(startup, program, false)
    ->Name("Startup/program")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);
BENCHMARK_CAPTURE(startup, bare, true)
    ->Name("Startup/bare")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);
