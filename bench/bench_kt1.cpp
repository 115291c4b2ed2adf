// The statistics office's monthly form KT-1 for one month: its figures
// computed and the one-page form laid out, and the list of months its window
// offers.
#include "bench/bench_database.h"

#include "core/days.h"
#include "reports/engine/generator.h"
#include "reports/kt1.h"
#include "reports/kt1_report.h"

#include <benchmark/benchmark.h>

namespace {

// The last July that is over: the busiest month of the year.
QDate kt1Month()
{
    const QDate a = BenchDatabase::instance().anchor();
    return QDate(a.month() > 7 ? a.year() : a.year() - 1, 7, 1);
}

void kt1Program(benchmark::State& state)
{
    const QDate month = kt1Month();
    int pages = 0;
    qint64 nights = 0;
    for (auto _ : state) {
        QSqlDatabase db = BenchDatabase::instance().qt();
        const Kt1Figures f = kt1Figures(db, month.year(), month.month());
        TRapKt1 report(f, readEstablishment(db));
        pages = generateDocument(report).pageCount();
        nights = f.nights;
    }
    state.counters["pages"] = pages;
    state.counters["nights"] = static_cast<double>(nights);
}

// Its statements, each row stepped: the rooms, the closed days and blocks of
// the month, the countries, the hotel and the register entries of the month.
void kt1Bare(benchmark::State& state)
{
    const QDate month = kt1Month();
    const Bindings b{{":F", dayText(month)},
                     {":L", dayText(QDate(month.year(), month.month(), month.daysInMonth()))}};
    int rows = 0;
    for (auto _ : state) {
        rawRows("SELECT Nr_Pokoju, coalesce(Miejsc, 0), Caly_rok FROM Pokoje");
        rawRows("SELECT ID, '', Od, \"Do\", Powod FROM Dni_zamkniete WHERE Od <= :L AND "
                "\"Do\" >= :F ORDER BY Od, ID",
                b);
        rawRows("SELECT ID, Nr_pokoju, Od, \"Do\", Powod FROM Blokady WHERE Od <= :L AND "
                "\"Do\" >= :F ORDER BY Od, ID",
                b);
        rawRows("SELECT ID, Nazwa FROM Panstwo");
        rawRows("SELECT Nazwa, Adres, Rodzaj_obiektu, Regon, Id_statystyczny, NIP FROM "
                "Config LIMIT 1");
        rows = rawRows("SELECT Nr_pokoju, Od, \"Do\", coalesce(ID_Panstwo, 1) FROM Ksiazka "
                       "WHERE Od <= :L AND coalesce(\"Do\", Od) >= :F",
                       b);
    }
    state.counters["rows"] = rows;
}

void kt1MonthsProgram(benchmark::State& state)
{
    int months = 0;
    for (auto _ : state)
        months = static_cast<int>(
            kt1Months(BenchDatabase::instance().qt(), BenchDatabase::instance().anchor()).size());
    state.counters["months"] = months;
}

void kt1MonthsBare(benchmark::State& state)
{
    int rows = 0;
    for (auto _ : state)
        rows = rawRows("SELECT Od, max(coalesce(\"Do\", Od)) FROM Ksiazka WHERE Od IS NOT NULL "
                       "GROUP BY Od ORDER BY Od");
    state.counters["rows"] = rows;
}

const bool registered = [] {
    registerProgram("Kt1Month", kt1Program);
    registerBare("Kt1Month", kt1Bare);
    registerProgram("Kt1Months", kt1MonthsProgram);
    registerBare("Kt1Months", kt1MonthsBare);
    return true;
}();

} // namespace
