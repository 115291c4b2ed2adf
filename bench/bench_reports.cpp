// Reports that run many statements or walk their rows: the statistics office
// figures of one month and the whole season report laid out, the list of
// months of the room chart and one month of it laid out.
#include "bench/bench_database.h"

#include "reports/engine/generator.h"
#include "reports/room_utilisation.h"
#include "reports/season_report.h"
#include "reports/statistics.h"

#include <QSqlQuery>

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <libpq-fe.h>
#include <stdexcept>
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
// row: 2 + 6 + 3 per foreign country. (Each derived table is named, as the
// server wants.)
std::vector<std::pair<std::string, Bindings>>
statisticsStatements(const std::vector<int>& countries,
                     const std::pair<QString, QString>& period = statisticsMonth())
{
    const auto& [s, e] = period;
    std::vector<std::pair<std::string, Bindings>> out;
    const Bindings month{{":s", s}, {":e", e}};
    out.push_back({"SELECT Sum(Miejsc) FROM Pokoje", {}});
    out.push_back({"SELECT Count(Nr_Pokoju) FROM Pokoje", {}});
    for (const char* extra : {"", " AND ID_Panstwo > 1"}) {
        out.push_back({std::string(kPersons) + kArrived + extra + ") AS a", month});
        out.push_back({std::string(kNights) + kArrived + extra + ") AS a", month});
        out.push_back(
            {std::string(kRooms) + kArrived + extra + ") AS a WHERE wynajete > 0", month});
    }
    for (int id : countries) {
        Bindings b = month;
        b.emplace_back(":c", id);
        const char* extra = " AND ID_Panstwo = :c";
        out.push_back({std::string(kPersons) + kArrived + extra + ") AS a", b});
        out.push_back({std::string(kNights) + kArrived + extra + ") AS a", b});
        out.push_back({std::string(kRooms) + kArrived + extra + ") AS a WHERE wynajete > 0", b});
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
            sum += rawScalar(sql.c_str(), b);
    state.counters["statements"] = static_cast<double>(statements.size());
    state.counters["figures_sum"] = static_cast<double>(sum / state.iterations());
}

// The season of the last July that is over: July to September.
int seasonYear()
{
    const QDate a = BenchDatabase::instance().anchor();
    return a.month() > 7 ? a.year() : a.year() - 1;
}

// The whole report for the statistics office laid out into pages, as the
// preview gets it: three month rows and every foreign country's row.
void seasonReportProgram(benchmark::State& state)
{
    int pages = 0;
    for (auto _ : state) {
        TRapGus report(BenchDatabase::instance().qt(), seasonYear());
        report.openCountries();
        pages = generateDocument(report).pageCount();
    }
    state.counters["pages"] = pages;
}

// Its statements: the country list, then every figure of the three months.
void seasonReportBare(benchmark::State& state)
{
    const int year = seasonYear();
    std::vector<std::pair<std::string, Bindings>> statements;
    for (int month = 7; month <= 9; ++month) {
        const QDate first(year, month, 1);
        const auto part = statisticsStatements(
            allForeignCountries(),
            {dayText(first), dayText(QDate(year, month, first.daysInMonth()))});
        statements.insert(statements.end(), part.begin(), part.end());
    }
    qint64 sum = 0;
    for (auto _ : state) {
        rawRows("select * from Panstwo where ID>1 order by rowid");
        for (const auto& [sql, b] : statements)
            sum += rawScalar(sql.c_str(), b);
    }
    state.counters["statements"] = static_cast<double>(statements.size() + 1);
    benchmark::DoNotOptimize(sum);
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

// Rows of (start month, start year, end month, end year) stepped with the C API and walked.
std::size_t bareMonthWalk(const char* sql)
{
    std::vector<std::pair<Month, Month>> rows;
    if (onServer()) {
        PGresult* r = PQexec(serverBare(), sql);
        if (PQresultStatus(r) != PGRES_TUPLES_OK) {
            const std::string message = PQresultErrorMessage(r);
            PQclear(r);
            throw std::runtime_error(message);
        }
        const auto at = [r](int row, int col) { return std::atoi(PQgetvalue(r, row, col)); };
        for (int row = 0; row < PQntuples(r); ++row)
            rows.push_back({Month{at(row, 1), at(row, 0)}, Month{at(row, 3), at(row, 2)}});
        PQclear(r);
    } else {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(BenchDatabase::instance().bare(), sql, -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW)
            rows.push_back({Month{sqlite3_column_int(s, 1), sqlite3_column_int(s, 0)},
                            Month{sqlite3_column_int(s, 3), sqlite3_column_int(s, 2)}});
        sqlite3_finalize(s);
    }
    const auto at = [&rows](int i) { return rows[static_cast<std::size_t>(i)]; };
    return walkMonths(at, static_cast<int>(rows.size())).size();
}

// The month list as the room chart's command reads it.
void monthListProgram(benchmark::State& state)
{
    std::size_t months = 0;
    for (auto _ : state) {
        const MonthListResult list = readMonthList(BenchDatabase::instance().qt());
        if (list.failed)
            state.SkipWithError("the month list failed");
        months = static_cast<std::size_t>(list.months.size());
    }
    state.counters["months"] = static_cast<double>(months);
}

void monthListBare(benchmark::State& state)
{
    const QByteArray sql = kMonthListSql.toUtf8();
    std::size_t months = 0;
    for (auto _ : state)
        months = bareMonthWalk(sql.constData());
    state.counters["months"] = static_cast<double>(months);
}

// The view the list was first read from: a row per register entry and
// reservation line, four strftime calls each, sorted.
void monthListViewBare(benchmark::State& state)
{
    std::size_t months = 0;
    for (auto _ : state)
        months = bareMonthWalk("SELECT Od_miesiac, Od_rok, Do_miesiac, Do_rok FROM Rez_i_ksiazka");
    state.counters["months"] = static_cast<double>(months);
}

// The month the room chart benchmarks take: five months back, a full one.
TMiesiac chartMonth()
{
    const QDate a = BenchDatabase::instance().anchor().addMonths(-5);
    return TMiesiac::of(a.year(), a.month());
}

// One month of the room chart: the rooms, the entries of every room, the
// report laid out into pages.
void roomUtilisationProgram(benchmark::State& state)
{
    const TMiesiac month = chartMonth();
    int pages = 0;
    for (auto _ : state) {
        QStringList rooms;
        for (const QVariantList& row : loadRows(BenchDatabase::instance().qt(),
                                                QStringLiteral("SELECT Nr_Pokoju FROM Pokoje")))
            rooms << row.front().toString();
        const QList<TElemWykorzystania> entries =
            roomEntries(BenchDatabase::instance().qt(), rooms, month);
        TRapWykorzystanie report(month.text(), month.days(), static_cast<int>(rooms.size()),
                                 entries);
        pages = generateDocument(report).pageCount();
    }
    state.counters["pages"] = pages;
}

void roomUtilisationBare(benchmark::State& state)
{
    const TMiesiac month = chartMonth();
    const Bindings b{{":F", dayText(month.first)}, {":L", dayText(month.last)}};
    int rows = 0;
    for (auto _ : state) {
        rawRows("SELECT Nr_Pokoju FROM Pokoje");
        rows = rawRows("SELECT Nr_pokoju, Od, \"Do\", Rezerw FROM Rez_msc_i_ksiazka WHERE (Od "
                       ">= :F AND Od <= :L) OR (\"Do\" >= :F AND \"Do\" <= :L) OR (Od <= :F AND "
                       "\"Do\" >= :L) ORDER BY Od",
                       b);
    }
    state.counters["rows"] = rows;
}

const bool registered = [] {
    registerProgram("StatisticsMonth", statisticsProgram);
    registerBare("StatisticsMonth", statisticsBare);
    registerProgram("SeasonReport", seasonReportProgram);
    registerBare("SeasonReport", seasonReportBare);
    registerProgram("MonthList", monthListProgram);
    registerBare("MonthList", monthListBare);
    // The statement the month list was once read from, kept for comparison
    // on the file alone.
    registerOn(BenchEngine::File, "MonthListView/bare", monthListViewBare);
    registerProgram("RoomUtilisationMonth", roomUtilisationProgram);
    registerBare("RoomUtilisationMonth", roomUtilisationBare);
    return true;
}();

} // namespace
