// The planning board on the big database: eight weeks of every room read as
// the window reads them, beside the same statements stepped with the C API,
// and the layout of what was read.
#include "bench/bench_database.h"

#include "stays/board.h"

#include <benchmark/benchmark.h>

namespace {
constexpr int kDays = 56;

// The window's default start: today, with a year of reservations ahead.
QDate boardFirst()
{
    return BenchDatabase::instance().anchor();
}

void boardReadProgram(benchmark::State& state)
{
    const QSqlDatabase db = BenchDatabase::instance().qt();
    qsizetype lines = 0;
    for (auto _ : state) {
        const BoardData data = readBoard(db, boardFirst(), kDays);
        lines = data.lines.size();
        benchmark::DoNotOptimize(data.groups.size());
    }
    state.counters["lines"] = static_cast<double>(lines);
}

void boardReadBare(benchmark::State& state)
{
    const Bindings span{{":first", dayText(boardFirst())},
                        {":end", dayText(boardFirst().addDays(kDays))}};
    int lines = 0;
    for (auto _ : state) {
        rawExec("BEGIN");
        rawRows("SELECT Nr_Pokoju, Miejsc, Typ FROM Pokoje ORDER BY Nr_Pokoju");
        lines =
            rawRows("SELECT 1, Identyfikator, Nr_pokoju, Od, \"Do\", Miejsc, Jaki FROM Rez_msc "
                    "WHERE \"Do\" >= :first AND Od < :end "
                    "UNION ALL "
                    "SELECT 0, Identyfikator, Nr_pokoju, Od, \"Do\", Miejsc, Jaki FROM Kwat_msc "
                    "WHERE \"Do\" >= :first AND Od < :end",
                    span);
        rawRows("SELECT Identyfikator, Nazwa, Osob, Od, \"Do\", Notatki FROM Rez_hot "
                "WHERE Identyfikator IN (SELECT Identyfikator FROM Rez_msc "
                "WHERE \"Do\" >= :first AND Od < :end)",
                span);
        rawRows("SELECT K.Identyfikator, K.Nazwa, K.Osob, K.Od, K.\"Do\", K.Notatki, C.rozl, "
                "(SELECT count(*) FROM Ksiazka B WHERE B.Identyfikator_g = K.Identyfikator "
                "AND B.Pelne_dane = 1) "
                "FROM Kwat_hot K LEFT JOIN Kalk C ON C.Identyfikator = K.Identyfikator "
                "WHERE K.Identyfikator IN (SELECT Identyfikator FROM Kwat_msc "
                "WHERE \"Do\" >= :first AND Od < :end)",
                span);
        rawExec("COMMIT");
    }
    state.counters["lines"] = lines;
}

void boardLayoutProgram(benchmark::State& state)
{
    const BoardData data = readBoard(BenchDatabase::instance().qt(), boardFirst(), kDays);
    qsizetype bars = 0;
    for (auto _ : state) {
        const BoardLayout layout = layoutBoard(data, boardFirst());
        bars = layout.bars.size();
        benchmark::DoNotOptimize(layout.height);
    }
    state.counters["bars"] = static_cast<double>(bars);
    state.counters["rooms"] = static_cast<double>(data.rooms.size());
}
const bool registered = [] {
    registerProgram("BoardRead8Weeks", boardReadProgram);
    registerBare("BoardRead8Weeks", boardReadBare);
    // The layout reads no database: the file's run stands for both.
    registerOn(BenchEngine::File, "BoardLayout8Weeks/program", boardLayoutProgram);
    return true;
}();
} // namespace
