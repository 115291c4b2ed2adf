// The editors' own code on the big database: both availability lists of the
// stay editor as the window fills them, and the creation of a group's
// calculation; each beside the same statements stepped with the C API.
#include "bench/bench_database.h"

#include "billing/calculation.h"
#include "db/polish_collation.h"
#include "db/sql.h"
#include "stays/availability.h"

#include <QSqlQuery>

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <libpq-fe.h>
#include <stdexcept>
#include <string>

namespace {

// Seven nights two weeks ahead, in a new group: nothing of its own to leave out.
AvailabilityRequest weekAhead()
{
    const QDate from = BenchDatabase::instance().anchor().addDays(14);
    AvailabilityRequest r;
    r.from = from;
    r.to = from.addDays(7);
    r.accommodationId = -2;
    r.reservationId = 0;
    r.filters = QStringList(4, QString());
    return r;
}

// The editor's first filling of a period: both statements read, both grids filled.
void stayEditorListsProgram(benchmark::State& state)
{
    const QSqlDatabase db = BenchDatabase::instance().qt();
    const TextGrid chosen(Availability::freePlacesGrid().titles());
    AvailabilityRequest request = weekAhead();
    request.chosen = &chosen;
    int rooms = 0;
    int places = 0;
    for (auto _ : state) {
        Availability availability;
        TextGrid freeRooms = Availability::freeRoomsGrid();
        TextGrid freePlaces = Availability::freePlacesGrid();
        availability.fillFreeRooms(db, request, freeRooms);
        availability.fillFreePlaces(db, request, freePlaces);
        rooms = freeRooms.rowCount();
        places = freePlaces.rowCount();
    }
    state.counters["free_rooms"] = rooms;
    state.counters["free_places"] = places;
}

void stayEditorListsBare(benchmark::State& state)
{
    const AvailabilityRequest r = weekAhead();
    const Bindings rooms{{":od1", dayText(r.from)}, {":do1", dayText(r.to)},
                         {":od2", dayText(r.from)}, {":do2", dayText(r.to)},
                         {":K", r.accommodationId}, {":R", r.reservationId}};
    const Bindings places{{":od", dayText(r.from)},
                          {":do", dayText(r.to)},
                          {":K", r.accommodationId},
                          {":R", r.reservationId}};
    int rows = 0;
    for (auto _ : state) {
        rows = rawRows("SELECT Nr_Pokoju, Miejsc, Typ, Opis FROM Pokoje AS P WHERE Nr_Pokoju "
                       "NOT IN (SELECT Nr_pokoju FROM Kwat_msc K WHERE K.Nr_pokoju = "
                       "P.Nr_Pokoju AND K.\"Do\" > :od1 AND K.Od < :do1 AND NOT "
                       "K.Identyfikator = :K) AND Nr_Pokoju NOT IN (SELECT Nr_pokoju FROM "
                       "Rez_msc K WHERE K.Nr_pokoju = P.Nr_Pokoju AND K.\"Do\" > :od2 AND "
                       "K.Od < :do2 AND NOT K.Identyfikator = :R) ORDER BY P.Nr_Pokoju",
                       rooms);
        rows += rawRows("SELECT * FROM Miejsca WHERE \"Do\" > :od AND Od < :do AND ID_KWAT <> "
                        ":K AND ID_REZ <> :R ORDER BY Nr_pokoju",
                        places);
    }
    state.counters["rows"] = rows;
}

constexpr int kLines = 20;

// A group in the house with 20 room lines of priced rooms, each run a new one.
int groupOfTwenty(QSqlDatabase db, int run)
{
    const QDate from = BenchDatabase::instance().anchor().addDays(-(run % 300));
    const QVariant od = dayText(from);
    const QVariant to = dayText(from.addDays(5));
    const int id =
        runSql(db,
               QStringLiteral("INSERT INTO Kwat_hot (Nazwa, Osob, Od, \"Do\", Notatki) VALUES "
                              "('Wycieczka szkolna', 40, :od, :do, 'autokar')"),
               {{":od", od}, {":do", to}})
            .lastInsertId()
            .toInt();
    runSql(
        db,
        QStringLiteral("INSERT INTO Kwat_msc SELECT CAST(:ID AS INTEGER), P.Nr_Pokoju, CAST(:od AS "
                       "TEXT), CAST(:do AS TEXT), CASE WHEN P.Miejsc - (P.rowid % 2) > 1 THEN "
                       "P.Miejsc - (P.rowid % 2) ELSE 1 END, '' FROM Pokoje P JOIN Cennik C ON "
                       "C.Typ = P.Typ ORDER BY P.Nr_Pokoju LIMIT 20"),
        {{":ID", id}, {":od", od}, {":do", to}});
    return id;
}

void calculationProgram(benchmark::State& state)
{
    QSqlDatabase db = workingCopy();
    int run = 0;
    int group = 0;
    for (auto _ : state) {
        state.PauseTiming();
        group = groupOfTwenty(db, run++);
        state.ResumeTiming();
        createCalculation(db, group);
    }
    state.counters["lines"] = static_cast<double>(loadLines(db, group).size());
}

// The same reads and writes with the C API: the group, its priced lines, one
// calculation line per room line and the header, in one transaction.
void calculationBare(benchmark::State& state)
{
    QSqlDatabase db = workingCopy();
    sqlite3* raw = nullptr;
    sqlite3_open_v2(workingCopyPath().toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    addPolishText(raw);
    bareExec(raw, "PRAGMA synchronous=FULL");
    int run = 1000;
    for (auto _ : state) {
        state.PauseTiming();
        const Bindings g{{":ID", groupOfTwenty(db, run++)}};
        state.ResumeTiming();
        bareExec(raw, "BEGIN IMMEDIATE");
        bareRows(raw,
                 "SELECT Nazwa, Osob, Od, \"Do\", Notatki FROM Kwat_hot WHERE Identyfikator "
                 "= :ID",
                 g);
        sqlite3_stmt* lines = nullptr;
        sqlite3_prepare_v2(raw,
                           "SELECT m.Nr_pokoju, m.Od, m.\"Do\", m.Miejsc, p.Miejsc, c.Cena1, "
                           "c.Cena2, c.Cena3, c.Cena4 FROM Kwat_msc m JOIN Pokoje p ON "
                           "p.Nr_Pokoju = m.Nr_pokoju JOIN Cennik c ON c.Typ = p.Typ WHERE "
                           "m.Identyfikator = ?1 ORDER BY m.Nr_pokoju, m.rowid",
                           -1, &lines, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(raw,
                           "INSERT INTO Kalk_det (Identyfikator, Nr_pokoju, Od, \"Do\", Rozmiar, "
                           "Miejsc, Oplata1, Oplata2, Dni, VAT, Podatek, Brutto) VALUES (?1, ?2, "
                           "?3, ?4, ?5, ?6, ?7, ?8, 5, '7', ?9, ?10)",
                           -1, &insert, nullptr);
        const sqlite3_int64 group = g[0].second.toLongLong();
        sqlite3_bind_int64(lines, 1, group);
        sqlite3_int64 gross = 0;
        while (sqlite3_step(lines) == SQLITE_ROW) {
            const bool part = sqlite3_column_int(lines, 3) < sqlite3_column_int(lines, 4);
            const sqlite3_int64 p1 = sqlite3_column_int64(lines, part ? 5 : 7);
            const sqlite3_int64 p2 = sqlite3_column_int64(lines, part ? 6 : 8);
            const sqlite3_int64 line = (p1 + 4 * p2 + 50) / 100 * 100;
            gross += line;
            sqlite3_bind_int64(insert, 1, group);
            for (int c = 0; c < 5; ++c)
                sqlite3_bind_value(insert, 2 + c, sqlite3_column_value(lines, c));
            sqlite3_bind_int64(insert, 7, p1);
            sqlite3_bind_int64(insert, 8, p2);
            sqlite3_bind_int64(insert, 9, line * 7 / 107);
            sqlite3_bind_int64(insert, 10, line);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(lines);
        sqlite3_finalize(insert);
        const Bindings header{{":ID", group}, {":B", gross}, {":P", gross * 7 / 107}};
        bareRows(raw,
                 "INSERT INTO Kalk (Identyfikator, Od, \"Do\", Dni, VAT, Liczba_osob, Brutto, "
                 "Podatek, Nazwa, uwagi) SELECT Identyfikator, Od, \"Do\", 5, '7', Osob, :B, :P, "
                 "Nazwa, Notatki FROM Kwat_hot WHERE Identyfikator = :ID",
                 header);
        bareExec(raw, "COMMIT");
    }
    sqlite3_close(raw);
}

// The same on the server with libpq, in a transaction of the program's
// isolation: each line read once from the result, each calculation line one
// statement, as the program sends them.
void calculationServerBare(benchmark::State& state)
{
    QSqlDatabase db = workingCopy();
    PGconn* raw = workingCopyServerBare();
    int run = 2000;
    for (auto _ : state) {
        state.PauseTiming();
        const qlonglong group = groupOfTwenty(db, run++);
        state.ResumeTiming();
        const Bindings g{{":ID", group}};
        pgExec(raw, "BEGIN ISOLATION LEVEL SERIALIZABLE");
        pgRows(raw,
               "SELECT Nazwa, Osob, Od, \"Do\", Notatki FROM Kwat_hot WHERE Identyfikator = :ID",
               g);
        PGresult* lines = pgResult(raw,
                                   "SELECT m.Nr_pokoju, m.Od, m.\"Do\", m.Miejsc, p.Miejsc, "
                                   "c.Cena1, c.Cena2, c.Cena3, c.Cena4 FROM Kwat_msc m JOIN Pokoje "
                                   "p ON p.Nr_Pokoju = m.Nr_pokoju JOIN Cennik c ON c.Typ = p.Typ "
                                   "WHERE m.Identyfikator = :ID ORDER BY m.Nr_pokoju, m.rowid",
                                   g);
        const std::string id = std::to_string(group);
        qlonglong gross = 0;
        for (int row = 0; row < PQntuples(lines); ++row) {
            const auto number = [lines, row](int c) {
                return std::strtoll(PQgetvalue(lines, row, c), nullptr, 10);
            };
            const bool part = number(3) < number(4);
            const qlonglong p1 = number(part ? 5 : 7);
            const qlonglong p2 = number(part ? 6 : 8);
            const qlonglong line = (p1 + 4 * p2 + 50) / 100 * 100;
            gross += line;
            const std::string texts[] = {std::to_string(p1), std::to_string(p2),
                                         std::to_string(line * 7 / 107), std::to_string(line)};
            const char* values[] = {id.c_str(),
                                    PQgetvalue(lines, row, 0),
                                    PQgetvalue(lines, row, 1),
                                    PQgetvalue(lines, row, 2),
                                    PQgetvalue(lines, row, 3),
                                    PQgetvalue(lines, row, 4),
                                    texts[0].c_str(),
                                    texts[1].c_str(),
                                    texts[2].c_str(),
                                    texts[3].c_str()};
            PGresult* r = PQexecParams(
                raw,
                "INSERT INTO Kalk_det (Identyfikator, Nr_pokoju, Od, \"Do\", Rozmiar, Miejsc, "
                "Oplata1, Oplata2, Dni, VAT, Podatek, Brutto) VALUES ($1, $2, $3, $4, $5, $6, $7, "
                "$8, 5, '7', $9, $10)",
                10, nullptr, values, nullptr, nullptr, 0);
            const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
            PQclear(r);
            if (!ok)
                throw std::runtime_error(PQerrorMessage(raw));
        }
        PQclear(lines);
        pgRows(raw,
               "INSERT INTO Kalk (Identyfikator, Od, \"Do\", Dni, VAT, Liczba_osob, Brutto, "
               "Podatek, Nazwa, uwagi) SELECT Identyfikator, Od, \"Do\", 5, '7', Osob, "
               "CAST(:B AS BIGINT), CAST(:P AS BIGINT), Nazwa, Notatki FROM Kwat_hot WHERE "
               "Identyfikator = :ID",
               {{":ID", group}, {":B", gross}, {":P", gross * 7 / 107}});
        pgExec(raw, "COMMIT");
    }
}

const bool registered = [] {
    registerProgram("StayEditorLists", stayEditorListsProgram);
    registerBare("StayEditorLists", stayEditorListsBare);
    const auto thirty = [](benchmark::internal::Benchmark* b) { b->Iterations(30); };
    registerProgram("Calculation20", calculationProgram, thirty);
    registerOn(BenchEngine::File, "Calculation20/bare", calculationBare, thirty);
    registerOn(BenchEngine::Server, "Calculation20/serverbare", calculationServerBare, thirty);
    return true;
}();

} // namespace
