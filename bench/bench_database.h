#pragma once

#include "core/days.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <sqlite3.h>
#include <utility>
#include <vector>

// The database every benchmark reads: ten years of a 300-room house, made once
// by the synthetic generator and kept under build/bench-data/ until the schema
// or the generator changes. REZYDO_BENCH_INDEXES=0 reads a copy of it without
// the schema's indexes, for before-and-after figures.
class BenchDatabase {
public:
    static BenchDatabase& instance();

    QString path() const { return m_path; }
    QDate anchor() const { return m_anchor; } // the day it was made on: its "today"
    bool indexed() const { return m_indexed; }
    QSqlDatabase qt() const;                 // through the program's own driver
    sqlite3* bare() const { return m_bare; } // the engine itself, no Qt in between

private:
    BenchDatabase();
    QString m_path;
    QDate m_anchor;
    bool m_indexed = true;
    sqlite3* m_bare = nullptr;
};

// A copy of the database the benchmarks may write to (made once per run,
// next to the cached file), opened as the program opens its file.
QSqlDatabase workingCopy();
QString workingCopyPath();

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
