// Anonymisation of former guests on the big database, through the program's
// own code: six years of stays past their retention (the day is put two
// years after the database's "today", so stays ending before the first of
// January five years earlier are due), in one transaction, then the file's
// integrity check. Each iteration works on a fresh copy of the database (on
// the server a database made from the benchmark database as its template).
#include "bench/bench_database.h"

#include "admin/anonymisation.h"
#include "db/polish_collation.h"
#include "db/sql.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>

#include <benchmark/benchmark.h>

namespace {

const QString kConnection = QStringLiteral("bench-anonymisation");

QSqlDatabase openCopy(const QString& path)
{
    QFile::remove(path);
    QFile::copy(BenchDatabase::instance().path(), path);
    QFile(path).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
    db.setDatabaseName(path);
    if (!db.open())
        throw std::runtime_error(db.lastError().text().toStdString());
    addPolishText(db);
    for (const char* pragma :
         {"PRAGMA journal_mode=DELETE", "PRAGMA synchronous=FULL", "PRAGMA busy_timeout=5000"})
        runSql(db, QString::fromLatin1(pragma));
    return db;
}

void closeCopy(const QString& path)
{
    QSqlDatabase::database(kConnection, false).close();
    QSqlDatabase::removeDatabase(kConnection);
    QFile::remove(path);
}

void anonymiseSixYears(benchmark::State& state)
{
    const QDate anchor = BenchDatabase::instance().anchor();
    const QDateTime at(QDate(anchor.year() + 2, 1, 1), QTime(8, 0));
    const QString path = BenchDatabase::instance().path() + QStringLiteral("-anonymisation");
    AnonymisationResult done;
    DueCounts due;
    bool sound = true;
    for (auto _ : state) {
        state.PauseTiming();
        QSqlDatabase db = onServer()
                              ? serverWritableCopy(QStringLiteral("bench-server-anonymisation"))
                              : openCopy(path);
        due = countDue(db, at.date());
        state.ResumeTiming();
        done = anonymiseDue(db, at, QStringLiteral("Anonimizacja danych gości"));
        state.PauseTiming();
        // The file's own check of its pages; a server keeps its pages itself
        // and refuses a write that breaks a key or a check.
        if (!onServer())
            sound = scalarSql(db, QStringLiteral("PRAGMA integrity_check")).toString() ==
                    QLatin1String("ok");
        db = QSqlDatabase();
        if (!onServer())
            closeCopy(path);
        state.ResumeTiming();
    }
    if (!sound)
        state.SkipWithError("integrity_check did not answer ok");
    state.counters["persons"] = done.persons;
    state.counters["invoices"] = done.invoices;
    state.counters["due_persons"] = due.persons;
    if (!onServer())
        state.counters["integrity_ok"] = sound ? 1 : 0;
    state.counters["boundary_year"] = due.boundary.year();
}

// How long the count shown before the question takes.
void countDueProgram(benchmark::State& state)
{
    const QDate day(BenchDatabase::instance().anchor().year() + 2, 1, 1);
    DueCounts due;
    for (auto _ : state)
        due = countDue(BenchDatabase::instance().qt(), day);
    state.counters["persons"] = due.persons;
    state.counters["invoices"] = due.invoices;
}

const bool registered = [] {
    registerProgram("AnonymiseSixYears", anonymiseSixYears,
                    [](benchmark::internal::Benchmark* b) { b->Iterations(1); });
    registerProgram("CountDue", countDueProgram);
    return true;
}();

} // namespace
