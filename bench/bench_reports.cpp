// Reports that run many statements or walk their rows: the statistics office
// figures of one month and the list of months of the room chart.
#include "bench/bench_database.h"

#include "reports/statistics.h"

#include <QSqlQuery>

#include <benchmark/benchmark.h>
#include <string>

namespace {

// The season month the figures are for: the last July that is over.
std::pair<QString, QString> statisticsMonth()
{
    const QDate a = BenchDatabase::instance().anchor();
    const int year = a.month() > 7 ? a.year() : a.year() - 1;
    return {dayText(QDate(year, 7, 1)), dayText(QDate(year, 7, 31))};
}

const char* const kArrived = " WHERE Od >= :s AND Od <= :e";
const char* const kPersons = "SELECT count(*) FROM (SELECT DISTINCT Identyfikator_o FROM Ksiazka";
const char* const kNights = "SELECT SUM(julianday(\"Do\") - julianday(Od)) FROM (SELECT * FROM "
                            "Ksiazka";
const char* const kRooms = "SELECT SUM(wynajete) FROM (SELECT DISTINCT Nr_pokoju, Od, \"Do\", "
                           "julianday(\"Do\") - julianday(Od) AS wynajete FROM Ksiazka";

// Every statement of one month row and of the month's part of every country
// row: 2 + 6 + 3 per foreign country.
std::vector<std::pair<std::string, Bindings>>
statisticsStatements(const std::vector<int>& countries)
{
    const auto [s, e] = statisticsMonth();
    std::vector<std::pair<std::string, Bindings>> out;
    const Bindings month{{":s", s}, {":e", e}};
    out.push_back({"SELECT Sum(Miejsc) FROM Pokoje", {}});
    out.push_back({"SELECT Count(Nr_Pokoju) FROM Pokoje", {}});
    for (const char* extra : {"", " AND ID_Panstwo > 1"}) {
        out.push_back({std::string(kPersons) + kArrived + extra + ")", month});
        out.push_back({std::string(kNights) + kArrived + extra + ")", month});
        out.push_back({std::string(kRooms) + kArrived + extra + ") WHERE wynajete > 0", month});
    }
    for (int id : countries) {
        Bindings b = month;
        b.emplace_back(":c", id);
        const char* extra = " AND ID_Panstwo = :c";
        out.push_back({std::string(kPersons) + kArrived + extra + ")", b});
        out.push_back({std::string(kNights) + kArrived + extra + ")", b});
        out.push_back({std::string(kRooms) + kArrived + extra + ") WHERE wynajete > 0", b});
    }
    return out;
}

std::vector<int> allForeignCountries()
{
    std::vector<int> ids;
    for (const QVariantList& row : loadRows(BenchDatabase::instance().qt(),
                                            QStringLiteral("SELECT ID FROM Panstwo WHERE ID > 1")))
        ids.push_back(row.front().toInt());
    return ids;
}

void statisticsProgram(benchmark::State& state)
{
    const auto statements = statisticsStatements(allForeignCountries());
    qint64 sum = 0;
    for (auto _ : state)
        for (const auto& [sql, b] : statements)
            sum += qtScalar(BenchDatabase::instance().qt(), QString::fromStdString(sql), b)
                       .toLongLong();
    state.counters["statements"] = static_cast<double>(statements.size());
    state.counters["figures_sum"] = static_cast<double>(sum / state.iterations());
}

void statisticsBare(benchmark::State& state)
{
    const auto statements = statisticsStatements(allForeignCountries());
    qint64 sum = 0;
    for (auto _ : state)
        for (const auto& [sql, b] : statements)
            sum += bareScalar(BenchDatabase::instance().bare(), sql.c_str(), b);
    state.counters["statements"] = static_cast<double>(statements.size());
    state.counters["figures_sum"] = static_cast<double>(sum / state.iterations());
}

// The months holding any booking, by one walk over the rows in order of start.
struct Month {
    int year;
    int month;
    bool operator<(const Month& o) const
    {
        return year != o.year ? year < o.year : month < o.month;
    }
    bool operator<=(const Month& o) const { return !(o < *this); }
    Month next() const { return month == 12 ? Month{year + 1, 1} : Month{year, month + 1}; }
};

template <typename Rows> std::vector<Month> walkMonths(Rows&& rowAt, int count)
{
    std::vector<Month> months;
    if (count == 0)
        return months;
    int row = 0;
    Month current = rowAt(0).first;
    while (row < count) {
        months.push_back(current);
        for (;;) {
            if (rowAt(row).second <= current) {
                if (++row == count)
                    break;
                if (rowAt(row).first <= current)
                    continue;
                current = rowAt(row).first;
                break;
            }
            current = current.next();
            break;
        }
    }
    return months;
}

const char* const kMonthRows = "SELECT Od_miesiac, Od_rok, Do_miesiac, Do_rok FROM Rez_i_ksiazka";

void monthListProgram(benchmark::State& state)
{
    std::size_t months = 0;
    for (auto _ : state) {
        const std::vector<QVariantList> rows =
            loadRows(BenchDatabase::instance().qt(), QString::fromLatin1(kMonthRows));
        const auto at = [&rows](int i) {
            const QVariantList& r = rows[static_cast<std::size_t>(i)];
            return std::pair{Month{r[1].toInt(), r[0].toInt()}, Month{r[3].toInt(), r[2].toInt()}};
        };
        months = walkMonths(at, static_cast<int>(rows.size())).size();
    }
    state.counters["months"] = static_cast<double>(months);
}

void monthListBare(benchmark::State& state)
{
    sqlite3* db = BenchDatabase::instance().bare();
    std::size_t months = 0;
    for (auto _ : state) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, kMonthRows, -1, &s, nullptr);
        std::vector<std::pair<Month, Month>> rows;
        while (sqlite3_step(s) == SQLITE_ROW)
            rows.push_back({Month{sqlite3_column_int(s, 1), sqlite3_column_int(s, 0)},
                            Month{sqlite3_column_int(s, 3), sqlite3_column_int(s, 2)}});
        sqlite3_finalize(s);
        const auto at = [&rows](int i) { return rows[static_cast<std::size_t>(i)]; };
        months = walkMonths(at, static_cast<int>(rows.size())).size();
    }
    state.counters["months"] = static_cast<double>(months);
}

// The same list from the distinct pairs of start and end month: a few hundred
// rows instead of one per register entry, walked the same way.
const char* const kDistinctMonths =
    "SELECT DISTINCT CAST(substr(Od, 6, 2) AS INTEGER), CAST(substr(Od, 1, 4) AS INTEGER), "
    "CAST(substr(\"Do\", 6, 2) AS INTEGER), CAST(substr(\"Do\", 1, 4) AS INTEGER) FROM "
    "Rez_msc_i_ksiazka ORDER BY 2, 1";

void monthListDistinct(benchmark::State& state)
{
    std::size_t months = 0;
    for (auto _ : state) {
        const std::vector<QVariantList> rows =
            loadRows(BenchDatabase::instance().qt(), QString::fromLatin1(kDistinctMonths));
        const auto at = [&rows](int i) {
            const QVariantList& r = rows[static_cast<std::size_t>(i)];
            return std::pair{Month{r[1].toInt(), r[0].toInt()}, Month{r[3].toInt(), r[2].toInt()}};
        };
        months = walkMonths(at, static_cast<int>(rows.size())).size();
    }
    state.counters["months"] = static_cast<double>(months);
}

BENCHMARK(statisticsProgram)->Name("StatisticsMonth/program")->Unit(benchmark::kMillisecond);
BENCHMARK(statisticsBare)->Name("StatisticsMonth/bare")->Unit(benchmark::kMillisecond);
BENCHMARK(monthListProgram)->Name("MonthList/program")->Unit(benchmark::kMillisecond);
BENCHMARK(monthListBare)->Name("MonthList/bare")->Unit(benchmark::kMillisecond);
BENCHMARK(monthListDistinct)->Name("MonthListDistinct/program")->Unit(benchmark::kMillisecond);

} // namespace
