// Check-in of a 40-person reservation on a working copy of the big database:
// the program's own check-in, and the same writes as bare statements (with
// the SQLite C API on the file, with libpq on the server).
#include "bench/bench_database.h"

#include "db/polish_collation.h"
#include "db/sql.h"
#include "stays/check_in_out.h"

#include <QSqlQuery>

#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <stdexcept>
#include <string>

namespace {
constexpr int kPersons = 40;
// A reservation of 40 persons in whole free rooms, some weeks ahead where the
// house is still empty enough; each run a period of its own.
int reserveForty(QSqlDatabase db, int run)
{
    const QDate from = BenchDatabase::instance().anchor().addDays(150 + 4 * (run % 50));
    const QVariant od = dayText(from);
    const QVariant to = dayText(from.addDays(3));
    QSqlQuery rooms = runSql(
        db,
        QStringLiteral("SELECT Nr_Pokoju, Miejsc FROM Pokoje P WHERE Nr_Pokoju NOT IN (SELECT "
                       "Nr_pokoju FROM Miejsca WHERE \"Do\" > :od AND Od < :do) ORDER BY "
                       "Nr_Pokoju"),
        {{":od", od}, {":do", to}});
    const int id = runSql(db,
                          QStringLiteral("INSERT INTO Rez_hot (Nazwa, Osob, Od, \"Do\", Notatki) "
                                         "VALUES ('Wycieczka', :N, :od, :do, '')"),
                          {{":N", kPersons}, {":od", od}, {":do", to}})
                       .lastInsertId()
                       .toInt();
    for (int beds = 0; beds < kPersons && rooms.next();) {
        runSql(db, QStringLiteral("INSERT INTO Rez_msc VALUES (:ID, :Nr, :od, :do, :M, '')"),
               {{":ID", id},
                {":Nr", rooms.value(0)},
                {":od", od},
                {":do", to},
                {":M", rooms.value(1)}});
        beds += rooms.value(1).toInt();
    }
    return id;
}

void checkInProgram(benchmark::State& state)
{
    QSqlDatabase db = workingCopy();
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const int reservation = reserveForty(db, run++);
        state.ResumeTiming();
        if (!checkInReservation(db, reservation))
            state.SkipWithError("check-in failed");
    }
}

// The same rows written with the C API: header, lines, reservation gone, and
// a person record with its register entry for each of the 40.
void checkInBare(benchmark::State& state)
{
    QSqlDatabase db = workingCopy();
    sqlite3* raw = nullptr;
    sqlite3_open_v2(workingCopyPath().toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    addPolishText(raw);
    bareExec(raw, "PRAGMA synchronous=FULL");
    int run = 1000;
    for (auto _ : state) {
        state.PauseTiming();
        const int reservation = reserveForty(db, run++);
        state.ResumeTiming();
        bareExec(raw, "BEGIN IMMEDIATE");
        const Bindings r{{":R", reservation}};
        bareRows(raw,
                 "INSERT INTO Kwat_hot (Nazwa, Osob, Od, \"Do\", Notatki) SELECT Nazwa, "
                 "Osob, Od, \"Do\", Notatki FROM Rez_hot WHERE Identyfikator = :R",
                 r);
        const Bindings g{{":R", reservation},
                         {":G", static_cast<qlonglong>(sqlite3_last_insert_rowid(raw))}};
        bareRows(raw,
                 "INSERT INTO Kwat_msc SELECT :G, Nr_pokoju, Od, \"Do\", Miejsc, Jaki "
                 "FROM Rez_msc WHERE Identyfikator = :R",
                 g);
        bareRows(raw, "DELETE FROM Rez_msc WHERE Identyfikator = :R", r);
        bareRows(raw, "DELETE FROM Rez_hot WHERE Identyfikator = :R", r);
        sqlite3_stmt* person = nullptr;
        sqlite3_stmt* entry = nullptr;
        sqlite3_prepare_v2(raw, "INSERT INTO Arch_os (ID_Panstwo) VALUES (1)", -1, &person,
                           nullptr);
        sqlite3_prepare_v2(raw,
                           "INSERT INTO Ksiazka (Identyfikator_g, Identyfikator_o, Od, \"Do\", "
                           "Nr_pokoju, Pelne_dane, Wykwaterowany) SELECT ?1, ?2, Od, \"Do\", "
                           "Nr_pokoju, 0, 0 FROM Kwat_msc WHERE Identyfikator = ?1 LIMIT 1",
                           -1, &entry, nullptr);
        for (int i = 0; i < kPersons; ++i) {
            sqlite3_step(person);
            sqlite3_reset(person);
            sqlite3_bind_int64(entry, 1, g[1].second.toLongLong());
            sqlite3_bind_int64(entry, 2, sqlite3_last_insert_rowid(raw));
            sqlite3_step(entry);
            sqlite3_reset(entry);
        }
        sqlite3_finalize(person);
        sqlite3_finalize(entry);
        bareExec(raw, "COMMIT");
    }
    sqlite3_close(raw);
}
// The same writes on the server with libpq, in a transaction of the
// program's isolation; the keys come back by RETURNING.
void checkInServerBare(benchmark::State& state)
{
    QSqlDatabase db = workingCopy();
    PGconn* raw = workingCopyServerBare();
    int run = 2000;
    for (auto _ : state) {
        state.PauseTiming();
        const int reservation = reserveForty(db, run++);
        state.ResumeTiming();
        pgExec(raw, "BEGIN ISOLATION LEVEL SERIALIZABLE");
        const Bindings r{{":R", reservation}};
        const qlonglong group = pgScalar(raw,
                                         "INSERT INTO Kwat_hot (Nazwa, Osob, Od, \"Do\", Notatki) "
                                         "SELECT Nazwa, Osob, Od, \"Do\", Notatki FROM Rez_hot "
                                         "WHERE Identyfikator = :R RETURNING Identyfikator",
                                         r);
        const Bindings g{{":R", reservation}, {":G", group}};
        pgRows(raw,
               "INSERT INTO Kwat_msc SELECT CAST(:G AS INTEGER), Nr_pokoju, Od, \"Do\", Miejsc, "
               "Jaki FROM Rez_msc WHERE Identyfikator = :R",
               g);
        pgRows(raw, "DELETE FROM Rez_msc WHERE Identyfikator = :R", r);
        pgRows(raw, "DELETE FROM Rez_hot WHERE Identyfikator = :R", r);
        const std::string groupText = std::to_string(group);
        for (int i = 0; i < kPersons; ++i) {
            PGresult* p = PQexec(raw, "INSERT INTO Arch_os (ID_Panstwo) VALUES (1) RETURNING "
                                      "Identyfikator_o");
            const std::string person =
                PQresultStatus(p) == PGRES_TUPLES_OK ? PQgetvalue(p, 0, 0) : std::string();
            PQclear(p);
            const char* values[] = {groupText.c_str(), person.c_str()};
            PGresult* e = PQexecParams(
                raw,
                "INSERT INTO Ksiazka (Identyfikator_g, Identyfikator_o, Od, \"Do\", Nr_pokoju, "
                "Pelne_dane, Wykwaterowany) SELECT CAST($1 AS INTEGER), CAST($2 AS INTEGER), Od, "
                "\"Do\", Nr_pokoju, 0, 0 FROM Kwat_msc WHERE Identyfikator = CAST($1 AS "
                "INTEGER) LIMIT 1",
                2, nullptr, values, nullptr, nullptr, 0);
            const bool ok = PQresultStatus(e) == PGRES_COMMAND_OK;
            PQclear(e);
            if (!ok)
                throw std::runtime_error(PQerrorMessage(raw));
        }
        pgExec(raw, "COMMIT");
    }
}

const bool registered = [] {
    const auto twenty = [](benchmark::internal::Benchmark* b) { b->Iterations(20); };
    registerProgram("CheckIn40", checkInProgram, twenty);
    registerOn(BenchEngine::File, "CheckIn40/bare", checkInBare, twenty);
    registerOn(BenchEngine::Server, "CheckIn40/serverbare", checkInServerBare, twenty);
    return true;
}();
} // namespace
