#include "db/upgrades.h"

#include "core/error.h"
#include "db/engine.h"
#include "db/polish_collation.h"
#include "db/schema.h"
#include "db/sql.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>
#include <vector>

// The schema changes only through these steps. A database is made as the
// first version (schema.sql, indexes.sql, views.sql, seed.sql) and then
// brought forward by every step below, exactly as an old file is upgraded;
// so a new file and an upgraded one are the same. A step is never edited
// once released: a later change is a new step with the next version, and
// kSchemaVersion in schema.h follows the last one.
//
// A server database is made at kServerBaseVersion from db/server/ at once.
// Every step after that version gives its server twin as the third member
// ({8, addSomething, addSomethingOnServer}, often a db/server/upgrade_*.sql
// beside the file's db/upgrade_*.sql); a server cannot be brought past a step
// without one.
namespace {
// Closed days of the house, blocked rooms, rooms open all year and the
// establishment's kind and statistics identifier.
void addStatisticsData(QSqlDatabase db)
{
    runSqlScript(db, resourceText(QStringLiteral(":/db/upgrade_statistics.sql")));
}

// Indexes in the orders of the person archive, read a page at a time. They
// sort in the Polish order, which the connection must know to build them.
void addArchiveOrderIndexes(QSqlDatabase db)
{
    addPolishText(db);
    runSqlScript(db, resourceText(QStringLiteral(":/db/upgrade_archive_order.sql")));
}

// The guest data scope, the retention of former guests' data and the log of
// anonymisations.
void addGuestDataRetention(QSqlDatabase db)
{
    runSqlScript(db, resourceText(QStringLiteral(":/db/upgrade_guest_data.sql")));
}

void invoiceNumbers(QSqlDatabase db);

// Today's VAT rates with their table, services besides rooms on the bill, the
// form of each payment and the date and form of a prepayment.
void addRatesServicesAndPaymentForms(QSqlDatabase db)
{
    runSqlScript(db, resourceText(QStringLiteral(":/db/upgrade_rates.sql")));
}

// The structured invoices exported for the national e-invoice system: their
// exact bytes, digest and state until the system's number is known.
void addKsefRecords(QSqlDatabase db)
{
    runSqlScript(db, resourceText(QStringLiteral(":/db/upgrade_ksef.sql")));
}

const std::vector<UpgradeStep>& history()
{
    // One step a line.
    // clang-format off
    static const std::vector<UpgradeStep> steps = {
        {2, addStatisticsData},
        {3, addArchiveOrderIndexes},
        {4, addGuestDataRetention},
        {5, invoiceNumbers},
        {6, addRatesServicesAndPaymentForms},
        {7, addKsefRecords},
    };
    // clang-format on
    return steps;
}

QStringList namesAndSql(QSqlDatabase db, const QString& sql, const QString& table = {})
{
    QSqlQuery q = runSql(db, sql, {{":T", table}});
    QStringList out;
    while (q.next())
        out << q.value(0).toString();
    if (q.lastError().isValid())
        throw DbError(q.lastError());
    return out;
}

QStringList columnsOf(QSqlDatabase db, const QString& table)
{
    return namesAndSql(db, QStringLiteral("SELECT name FROM pragma_table_info(:T)"), table);
}

QString quoted(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

// Invoice numbers above 32 767, the series and the buyer's identification
// kept with an invoice, and correcting invoices. Kalk is made anew from its
// own current definition with only the number's range changed, so the step
// holds whatever other steps did to the table before it.
void invoiceNumbers(QSqlDatabase db)
{
    QString create = scalarSql(db, QStringLiteral("SELECT sql FROM sqlite_master WHERE type = "
                                                  "'table' AND name = 'Kalk'"))
                         .toString();
    const auto widen = [&create](const QString& from, const QString& to) {
        if (!create.contains(from))
            throw RezydoError(QStringLiteral("nieoczekiwana postać tabeli Kalk"));
        create.replace(from, to);
    };
    widen(QStringLiteral("Rach IS NULL OR Rach BETWEEN -32768 AND 32767"),
          QStringLiteral("Rach IS NULL OR Rach BETWEEN -2147483648 AND 2147483647"));
    // EU VAT numbers with their prefix and foreign identifiers are longer than a NIP.
    widen(QStringLiteral("length(Nip) <= 15"), QStringLiteral("length(Nip) <= 30"));
    rebuildTable(db, QStringLiteral("Kalk"), create);
    runSqlScript(db, resourceText(QStringLiteral(":/db/upgrade_invoice_numbers.sql")));
}
} // namespace

std::span<const UpgradeStep> upgradeSteps()
{
    return history();
}

int schemaVersionOf(QSqlDatabase db)
{
    if (engineOf(db) == Engine::Server)
        return scalarSql(db, QStringLiteral("SELECT user_version FROM rezydo_schemat")).toInt();
    return scalarSql(db, QStringLiteral("PRAGMA user_version")).toInt();
}

namespace {
void setSchemaVersion(QSqlDatabase db, int version)
{
    if (engineOf(db) == Engine::Server)
        runSql(db, QStringLiteral("UPDATE rezydo_schemat SET user_version = :V"),
               {{":V", version}});
    else
        runSql(db, QStringLiteral("PRAGMA user_version=%1").arg(version));
}

void applyStep(QSqlDatabase db, const UpgradeStep& step)
{
    if (engineOf(db) == Engine::File) {
        step.apply(db);
        return;
    }
    if (step.version <= kServerBaseVersion)
        return; // already in the server's first schema
    if (!step.applyOnServer)
        throw RezydoError(
            QStringLiteral("krok %1 historii bazy nie ma postaci dla serwera").arg(step.version));
    step.applyOnServer(db);
}
} // namespace

QString resourceText(const QString& name)
{
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly))
        throw RezydoError(QStringLiteral("Brak zasobu programu: %1").arg(name));
    return QString::fromUtf8(f.readAll());
}

void runSqlScript(QSqlDatabase db, const QString& script)
{
    QString statement;
    bool inBody = false; // inside a $$-quoted function body
    const QStringList lines = script.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QStringLiteral("--")) && statement.trimmed().isEmpty())
            continue;
        statement += line + QLatin1Char('\n');
        if (line.count(QStringLiteral("$$")) % 2 == 1)
            inBody = !inBody;
        if (!inBody && trimmed.endsWith(QLatin1Char(';'))) {
            runSql(db, statement);
            statement.clear();
        }
    }
    if (!statement.trimmed().isEmpty())
        runSql(db, statement);
}

void rebuildTable(QSqlDatabase db, const QString& table, const QString& createSql)
{
    const QStringList views =
        namesAndSql(db, QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'view' "
                                       "AND sql IS NOT NULL ORDER BY rowid"));
    const QStringList viewNames = namesAndSql(
        db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'view' ORDER BY rowid"));
    const QStringList indexes =
        namesAndSql(db,
                    QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'index' "
                                   "AND tbl_name = :T AND sql IS NOT NULL ORDER BY rowid"),
                    table);
    const QStringList oldColumns = columnsOf(db, table);
    for (const QString& view : viewNames)
        runSql(db, QStringLiteral("DROP VIEW %1").arg(quoted(view)));

    const QString old = table + QStringLiteral("_przed_aktualizacja");
    runSql(db, QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoted(table), quoted(old)));
    runSql(db, createSql);
    QStringList common;
    for (const QString& c : columnsOf(db, table))
        if (oldColumns.contains(c))
            common << quoted(c);
    const QString list = common.join(QStringLiteral(", "));
    runSql(db, QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3")
                   .arg(quoted(table), list, quoted(old)));
    runSql(db, QStringLiteral("DROP TABLE %1").arg(quoted(old)));
    for (const QString& index : indexes)
        runSql(db, index);
    for (const QString& view : views)
        runSql(db, view);
}

void applyUpgradeSteps(QSqlDatabase db, int from, int target)
{
    for (const UpgradeStep& step : history())
        if (step.version > from && step.version <= target)
            applyStep(db, step);
    setSchemaVersion(db, target);
}

void upgradeDatabase(QSqlDatabase db, const QString& file)
{
    upgradeDatabase(db, file, history(), kSchemaVersion);
}

void upgradeDatabase(QSqlDatabase db, const QString& file, std::span<const UpgradeStep> steps,
                     int target)
{
    const auto newer = [&](int version) {
        return RezydoError(
            QStringLiteral("Baza danych pochodzi z nowszej wersji programu (wersja bazy %1, "
                           "ten program zna wersje do %2). Plik '%3' nie został zmieniony; "
                           "zainstaluj nowszą wersję programu Rezydo.")
                .arg(version)
                .arg(target)
                .arg(file));
    };
    int version = schemaVersionOf(db);
    if (version > target)
        throw newer(version);
    if (version == target)
        return;

    QString copy;
    int newerFound = 0;
    try {
        // The write lock first: another copy upgrading at this moment makes
        // this one wait, and then there is nothing left to do.
        Transaction tx(db);
        version = schemaVersionOf(db);
        if (version > target) {
            newerFound = version;
        } else if (version < target) {
            // Nothing is written yet and nobody else may write: the file on
            // disk is whole and is the state to go back to.
            if (engineOf(db) == Engine::File) {
                copy = file + QStringLiteral(".przed-aktualizacja-%1").arg(version);
                QFile::remove(copy);
                if (!QFile::copy(file, copy))
                    throw RezydoError(
                        QStringLiteral("nie można zapisać kopii bazy '%1' przed aktualizacją")
                            .arg(copy));
            }
            for (const UpgradeStep& step : steps)
                if (step.version > version && step.version <= target)
                    applyStep(db, step);
            setSchemaVersion(db, target);
        }
        tx.commit();
    } catch (const RezydoError& e) {
        throw RezydoError(
            QStringLiteral("Nie udało się zaktualizować bazy danych '%1' z wersji %2 do wersji "
                           "%3: %4\nBaza pozostała bez zmian.%5")
                .arg(file)
                .arg(version)
                .arg(target)
                .arg(e.text(),
                     copy.isEmpty() || !QFileInfo::exists(copy)
                         ? QString()
                         : QStringLiteral(" Kopia sprzed aktualizacji: '%1'.").arg(copy)));
    }
    if (newerFound > 0)
        throw newer(newerFound);
}
