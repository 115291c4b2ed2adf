// The statements behind the windows and reports, each run twice on the same
// database: through the program's driver into QVariant rows ("program"), and
// stepped through with the SQLite C API ("bare"), the engine's own limit; on
// the server the same through QPSQL ("server") and libpq ("serverbare").
#include "bench/bench_database.h"

#include "db/row_set.h"

#include <QFile>

#include <benchmark/benchmark.h>
#include <functional>
#include <string>

namespace {

double residentMegabytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096.0 / (1024.0 * 1024.0) : 0;
}

struct Case {
    std::string name;
    QString sql;
    std::function<Bindings(int)> bind; // the i-th run's values
    bool rowSet = false;               // the program loads it into the grids' row set
};

// The statement loaded as a browse window loads it: into a RowSet.
void registerRowSet(const Case& c)
{
    registerProgram(c.name, [c](benchmark::State& state) {
        BenchDatabase& db = BenchDatabase::instance();
        const double before = residentMegabytes();
        int rows = 0;
        {
            RowSet set([&db] { return db.qt(); });
            set.open(c.sql);
            state.counters["rows_MB"] = residentMegabytes() - before;
        }
        for (auto _ : state) {
            RowSet set([&db] { return db.qt(); });
            set.open(c.sql);
            rows = set.loadedCount();
        }
        state.counters["rows"] = rows;
    });
}

void registerCase(const Case& c)
{
    const QByteArray sql = c.sql.toUtf8();
    if (c.rowSet)
        registerRowSet(c);
    else
        registerProgram(c.name, [c](benchmark::State& state) {
            BenchDatabase& db = BenchDatabase::instance();
            int i = 0;
            std::size_t rows = 0;
            // What holding the rows costs in memory, measured once outside the timing.
            const double before = residentMegabytes();
            {
                const std::vector<QVariantList> r = loadRows(db.qt(), c.sql, c.bind(i++));
                state.counters["rows_MB"] = residentMegabytes() - before;
            }
            for (auto _ : state) {
                const std::vector<QVariantList> r = loadRows(db.qt(), c.sql, c.bind(i++));
                rows = r.size();
                benchmark::DoNotOptimize(r.data());
            }
            state.counters["rows"] = static_cast<double>(rows);
        });
    registerBare(c.name, [c, sql](benchmark::State& state) {
        int i = 0;
        int rows = 0;
        for (auto _ : state)
            benchmark::DoNotOptimize(rows = rawRows(sql.constData(), c.bind(i++)));
        state.counters["rows"] = rows;
    });
}

QDate anchor()
{
    return BenchDatabase::instance().anchor();
}
QVariant day(int fromAnchor)
{
    return dayText(anchor().addDays(fromAnchor));
}
QVariant monthStart(int monthsBack)
{
    const QDate a = anchor().addMonths(-monthsBack);
    return dayText(QDate(a.year(), a.month(), 1));
}
QVariant monthEnd(int monthsBack)
{
    const QDate a = anchor().addMonths(-monthsBack);
    return dayText(QDate(a.year(), a.month(), a.daysInMonth()));
}

// Groups spread over the whole history, a different one on every run.
int historicGroup(int i)
{
    return 1 + (i * 7919) % 90000;
}
int person(int i)
{
    return 1 + (i * 7919) % 250000;
}
int reservation(int i)
{
    static const int first =
        qtScalar(BenchDatabase::instance().qt(), QStringLiteral("SELECT min(Identyfikator) FROM "
                                                                "Rez_hot"))
            .toInt();
    return first + i % 2500;
}

const char* const kArchive =
    "SELECT Arch_os.Identyfikator_o, Arch_os.Nazwisko, Arch_os.Imie, Arch_os.Adres, "
    "Ksiazka.Identyfikator_g, Ksiazka.Nr_pokoju, Ksiazka.Od, Ksiazka.\"Do\", "
    "Arch_os.Dokument_rodz, Arch_os.Dokument_nr, Arch_os.Data_ur, Arch_os.Miejsce_ur, "
    "Arch_os.Uwagi FROM Arch_os LEFT JOIN Ksiazka ON Arch_os.Identyfikator_o = "
    "Ksiazka.Identyfikator_o WHERE ((Wykwaterowany = 1) OR (Identyfikator_g IS NULL)) ";

std::vector<Case> cases()
{
    const auto none = [](int) { return Bindings{}; };
    const auto week = [](int) {
        return Bindings{{":od", day(14)}, {":do", day(21)}, {":K", -2}, {":R", 0}};
    };
    const auto freeRoomsWeek = [](int) {
        return Bindings{{":od1", day(14)}, {":do1", day(21)}, {":od2", day(14)},
                        {":do2", day(21)}, {":K", -2},        {":R", 0}};
    };
    const auto month = [](int) { return Bindings{{":s", monthStart(5)}, {":e", monthEnd(5)}}; };
    return {
        {"FreePlaces",
         "SELECT * FROM Miejsca WHERE \"Do\" > :od AND Od < :do AND ID_KWAT <> :K "
         "AND ID_REZ <> :R ORDER BY Nr_pokoju",
         week},
        {"FreeRooms",
         "SELECT * FROM Pokoje AS P WHERE Nr_pokoju NOT IN (SELECT Nr_pokoju FROM Kwat_msc K "
         "WHERE K.Nr_pokoju = P.Nr_pokoju AND K.\"Do\" > :od1 AND K.Od < :do1 AND NOT "
         "K.Identyfikator = :K) AND Nr_pokoju NOT IN (SELECT Nr_pokoju FROM Rez_msc K WHERE "
         "K.Nr_pokoju = P.Nr_pokoju AND K.\"Do\" > :od2 AND K.Od < :do2 AND NOT K.Identyfikator = "
         ":R) ORDER BY P.Nr_Pokoju",
         freeRoomsWeek},
        {"PersonArchiveMonth",
         QString::fromLatin1(kArchive) +
             "AND Ksiazka.Od >= :s AND (Ksiazka.Od <= :e) ORDER BY Identyfikator_g DESC",
         month},
        {"RegisterBrowse",
         "SELECT Kwat_hot.Identyfikator, Kwat_hot.Nazwa, Ksiazka.Od, Ksiazka.\"Do\", "
         "Ksiazka.Nr_pokoju, Ksiazka.Identyfikator_o, Arch_os.Nazwisko, Arch_os.Imie, "
         "Arch_os.Adres, Arch_os.Dokument_rodz, Arch_os.Dokument_nr, Arch_os.Data_ur, "
         "Arch_os.Miejsce_ur, Arch_os.Uwagi FROM Kwat_hot JOIN Ksiazka ON Kwat_hot.Identyfikator "
         "= Ksiazka.Identyfikator_g JOIN Arch_os ON Arch_os.Identyfikator_o = "
         "Ksiazka.Identyfikator_o ORDER BY Kwat_hot.Identyfikator DESC",
         none, true},
        {"MonthRooms",
         "SELECT Nr_pokoju, Od, \"Do\", Rezerw FROM Rez_msc_i_ksiazka WHERE (Od >= :s AND Od <= "
         ":e) OR (\"Do\" >= :s AND \"Do\" <= :e) OR (Od <= :s AND \"Do\" >= :e) ORDER BY Od",
         month},
        {"GroupEntries", "SELECT * FROM Ksiazka WHERE Identyfikator_g = :ID",
         [](int i) {
             return Bindings{{":ID", historicGroup(i)}};
         }},
        {"GuestStays", "SELECT * FROM Ksiazka WHERE Identyfikator_o = :ID",
         [](int i) {
             return Bindings{{":ID", person(i)}};
         }},
        {"GroupCalculationLines",
         "SELECT * FROM Kalk_det WHERE Identyfikator = :ID ORDER BY \"No\"",
         [](int i) {
             return Bindings{{":ID", historicGroup(i)}};
         }},
        {"GroupPayments", "SELECT * FROM Kwit WHERE Identyfikator = :ID",
         [](int i) {
             return Bindings{{":ID", historicGroup(i)}};
         }},
        {"ReservationLines", "SELECT * FROM Rez_msc WHERE Identyfikator = :ID",
         [](int i) {
             return Bindings{{":ID", reservation(i)}};
         }},
        {"PaymentsOfMonth",
         "SELECT Nr_kwit, Nr_noty, Kwit.Identyfikator, Wplata, Data, Nazwa, Kwit.Typ FROM Kwit "
         "JOIN Kalk ON Kwit.Identyfikator = Kalk.Identyfikator WHERE Kwit.Data >= :s AND "
         "Kwit.Data <= :e ORDER BY Data, Nr_kwit, Nr_noty",
         month},
        {"InvoicesOfMonth",
         "SELECT Rach, Nazwa, Adres, Brutto, sposob_zaplaty, uwagi, data_wystawienia FROM Kalk "
         "WHERE Typ = 2 AND data_wystawienia >= :s AND data_wystawienia <= :e ORDER BY "
         "data_wystawienia",
         month},
        {"NextInvoiceNumber", "SELECT max(Rach) FROM Kalk", none},
    };
}

const bool registered = [] {
    for (const Case& c : cases())
        registerCase(c);
    return true;
}();

} // namespace
