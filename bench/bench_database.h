#pragma once

#include "core/days.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <benchmark/benchmark.h>
#include <functional>
#include <sqlite3.h>
#include <string>
#include <utility>
#include <vector>

struct pg_conn;   // libpq's PGconn
struct pg_result; // and PGresult

// The database every benchmark reads: ten years of a 300-room house, made once
// by the synthetic generator and kept under build/bench-data/ until the schema
// or the generator changes. REZYDO_BENCH_INDEXES=0 reads a copy of it without
// the schema's indexes, for before-and-after figures.
class BenchDatabase {
public:
    static BenchDatabase& instance();

    QString path() const { return m_path; }
    QString key() const { return m_key; }     // of the schema and generator it was made with
    QDate anchor() const { return m_anchor; } // the day it was made on: its "today"
    bool indexed() const { return m_indexed; }
    // The connection of the engine the running benchmark is on (see
    // BenchEngine below), through the program's own driver.
    QSqlDatabase qt() const;
    sqlite3* bare() const { return m_bare; } // the file's engine itself, no Qt in between

private:
    BenchDatabase();
    QString m_path;
    QString m_key;
    QDate m_anchor;
    bool m_indexed = true;
    sqlite3* m_bare = nullptr;
};

// A copy of the database the benchmarks may write to (made once per run,
// next to the cached file), opened as the program opens its file.
// On the server: a copy of the server database, made once per run.
QSqlDatabase workingCopy();
QString workingCopyPath();
pg_conn* workingCopyServerBare(); // the server copy's libpq connection

// Values bound by name (":Od") in both worlds; days are "yyyy-mm-dd" texts.
using Bindings = std::vector<std::pair<const char*, QVariant>>;

// Every row of a statement read into memory as the program keeps rows: one
// QVariant per value. Returns the row count; throws on a failed statement.
std::vector<QVariantList> loadRows(QSqlDatabase db, const QString& sql, const Bindings& b = {});
// The same statement stepped through with the C API, each value read once.
int bareRows(sqlite3* db, const char* sql, const Bindings& b = {});
// The first value of the first row, both ways.
QVariant qtScalar(QSqlDatabase db, const QString& sql, const Bindings& b = {});
sqlite3_int64 bareScalar(sqlite3* db, const char* sql, const Bindings& b = {});
// A statement without results (a pragma, BEGIN, COMMIT) with the C API; throws on failure.
void bareExec(sqlite3* db, const char* sql);

// --- Both engines --------------------------------------------------------
//
// With REZYDO_BENCH_SERVER=1 the run also measures the program on a
// PostgreSQL server (bench_server.cpp): NAME/server beside NAME/program,
// NAME/serverbare beside NAME/bare. The benchmark registered for the server
// runs the same function with the engine switched: qt(), workingCopy() and the
// raw*() helpers below then reach the server's copy of the same database.
enum class BenchEngine { File, Server };
BenchEngine benchEngine();
bool onServer();
bool benchWithServer(); // asked for by REZYDO_BENCH_SERVER=1 (and the indexed database)

using BenchFunction = std::function<void(benchmark::State&)>;
using BenchTuning = std::function<void(benchmark::internal::Benchmark*)>;
// NAME/program on the file and, in a run with the server, NAME/server.
void registerProgram(const std::string& name, BenchFunction f, const BenchTuning& tune = {});
// NAME/bare on the file and, in a run with the server, NAME/serverbare.
void registerBare(const std::string& name, BenchFunction f, const BenchTuning& tune = {});
// Registers one side only (a file-only benchmark, or one written per engine).
void registerOn(BenchEngine engine, const std::string& name, BenchFunction f,
                const BenchTuning& tune = {});

// The statement on the running benchmark's engine without Qt: the SQLite C
// API on the file, libpq on the server (PQexecParams, ":name" parameters
// given as $n, each value read once with PQgetvalue). Throw on failure.
int rawRows(const char* sql, const Bindings& b = {});
qlonglong rawScalar(const char* sql, const Bindings& b = {});
void rawExec(const char* sql);

// The server's side (bench_server.cpp): the throwaway cluster is started
// before the first benchmark and stopped after the last.
void startBenchServer();
void stopBenchServer();
QSqlDatabase serverConnection(); // the read connection of the server copy
pg_conn* serverBare();           // its libpq twin
// A writable copy of the server database for the writing benchmarks, made
// anew from it (CREATE DATABASE … TEMPLATE) and opened under `connection`
// as the program opens a server; its libpq twin when `raw` is given.
QSqlDatabase serverWritableCopy(const QString& connection, pg_conn** raw = nullptr);
// The result of a statement, for the caller to read and PQclear; throws on failure.
pg_result* pgResult(pg_conn* c, const char* sql, const Bindings& b = {});
int pgRows(pg_conn* c, const char* sql, const Bindings& b = {});
qlonglong pgScalar(pg_conn* c, const char* sql, const Bindings& b = {});
void pgExec(pg_conn* c, const char* sql);
