#include "db/migrate.h"

#include "db/sql.h"

#include <QSqlDriver>
#include <QSqlField>
#include <QSqlRecord>

#include <algorithm>

namespace {
bool isFile(const QSqlDatabase& db)
{
    return db.driverName() == QLatin1String("QSQLITE");
}

// The program's own tables: neither the engine's nor the server's record of
// the schema version, which each side keeps for itself.
QStringList ownTables(const QSqlDatabase& db)
{
    QStringList names;
    for (const QString& name : db.tables(QSql::Tables))
        if (!name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive) &&
            name.compare(QLatin1String("rezydo_schemat"), Qt::CaseInsensitive) != 0)
            names << name;
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

QString matching(const QStringList& names, const QString& name)
{
    for (const QString& n : names)
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return n;
    return {};
}

QString quoted(const QSqlDatabase& db, const QString& name, QSqlDriver::IdentifierType type)
{
    return db.driver()->escapeIdentifier(name, type);
}

QStringList fieldNames(const QSqlDatabase& db, const QString& table)
{
    QStringList names;
    const QSqlRecord record = db.record(table);
    for (int i = 0; i < record.count(); ++i)
        names << record.fieldName(i);
    return names;
}

// A file's table whose rows have a position of their own (a rowid that is
// not also its key column).
bool hasOwnRowid(const QSqlDatabase& db, const QString& table)
{
    QSqlQuery q =
        runSql(db,
               QStringLiteral("SELECT count(*), sum(pk > 0 AND upper(type) = 'INTEGER') FROM "
                              "pragma_table_info(:t) WHERE pk > 0"),
               {{":t", table}});
    if (!q.next())
        return true;
    return !(q.value(0).toInt() == 1 && q.value(1).toInt() == 1);
}

// The last number an auto-number of the source reached for `table`, where it
// keeps one apart from the keys: the file's sqlite_sequence.
qint64 reachedNumber(const QSqlDatabase& db, const QString& table)
{
    if (!isFile(db))
        return 0;
    if (!scalarSql(db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = "
                                      "'sqlite_sequence'"))
             .toInt())
        return 0;
    return scalarSql(db, QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = :t"),
                     {{":t", table}})
        .toLongLong();
}

// Sets every auto-number of a server's `table` after its highest key.
// The auto-numbered columns of a server's `table`, each with its sequence.
QList<std::pair<QString, QString>> serverCounters(const QSqlDatabase& db, const QString& table)
{
    QList<std::pair<QString, QString>> counters;
    for (const QString& column : fieldNames(db, table)) {
        const QString sequence =
            scalarSql(db, QStringLiteral("SELECT pg_get_serial_sequence(:t, :c)"),
                      {{":t", table}, {":c", column}})
                .toString();
        if (!sequence.isEmpty())
            counters.append({column, sequence});
    }
    return counters;
}

void continueServerNumbers(QSqlDatabase to, const QString& table, qint64 reached)
{
    for (const auto& [column, sequence] : serverCounters(to, table)) {
        const qint64 highest =
            std::max(reached, scalarSql(to, QStringLiteral("SELECT coalesce(max(%1), 0) FROM %2")
                                                .arg(quoted(to, column, QSqlDriver::FieldName),
                                                     quoted(to, table, QSqlDriver::TableName)))
                                  .toLongLong());
        if (highest > 0)
            runSql(to, QStringLiteral("SELECT setval(:s, :v, true)"),
                   {{":s", sequence}, {":v", highest}});
        else
            runSql(to, QStringLiteral("SELECT setval(:s, 1, false)"), {{":s", sequence}});
    }
}

// The number a server's sequence of `table` has reached, for a file's
// sqlite_sequence.
qint64 serverReachedNumber(const QSqlDatabase& from, const QString& table)
{
    qint64 reached = 0;
    for (const auto& counter : serverCounters(from, table)) {
        QSqlQuery q = runSql(from, QStringLiteral("SELECT last_value, is_called FROM %1")
                                       .arg(counter.second)); // a name the server itself gave
        if (q.next())
            reached = std::max(reached, q.value(0).toLongLong() - (q.value(1).toBool() ? 0 : 1));
    }
    return reached;
}

// The columns a server computes from others (its row position where the
// key is a whole number): nobody writes them.
QStringList computedColumns(const QSqlDatabase& db, const QString& table)
{
    QStringList names;
    if (isFile(db))
        return names;
    QSqlQuery q = runSql(db,
                         QStringLiteral("SELECT column_name FROM information_schema.columns WHERE "
                                        "table_schema = current_schema() AND table_name = :t AND "
                                        "is_generated = 'ALWAYS'"),
                         {{":t", table}});
    while (q.next())
        names << q.value(0).toString();
    return names;
}

qint64 copyTable(QSqlDatabase from, QSqlDatabase to, const QString& table, const QString& target)
{
    const QStringList sourceFields = fieldNames(from, table);
    const QStringList targetFields = fieldNames(to, target);
    const QStringList computed = computedColumns(to, target);
    QStringList select, insert;
    for (const QString& field : sourceFields) {
        const QString other = matching(targetFields, field);
        if (other.isEmpty() || !matching(computed, other).isEmpty())
            continue;
        if (isFile(to) && other.compare(QLatin1String("rowid"), Qt::CaseInsensitive) == 0)
            continue; // the file's own position, written below when it has one
        select << quoted(from, field, QSqlDriver::FieldName);
        insert << quoted(to, other, QSqlDriver::FieldName);
    }
    // A file's row position travels in the server's column "rowid" and back.
    const QString serverPosition = matching(targetFields, QStringLiteral("rowid"));
    if (isFile(from) && !isFile(to) && !serverPosition.isEmpty() &&
        matching(computed, serverPosition).isEmpty() &&
        matching(sourceFields, QStringLiteral("rowid")).isEmpty()) {
        select << QStringLiteral("rowid");
        insert << quoted(to, serverPosition, QSqlDriver::FieldName);
    } else if (isFile(to) && hasOwnRowid(to, target)) {
        const QString position = isFile(from) ? QStringLiteral("rowid")
                                              : matching(sourceFields, QStringLiteral("rowid"));
        if (!position.isEmpty() && (!isFile(from) || hasOwnRowid(from, table))) {
            select << (isFile(from) ? position : quoted(from, position, QSqlDriver::FieldName));
            insert << QStringLiteral("rowid");
        }
    }
    if (insert.isEmpty())
        return 0;
    const QString order = isFile(from) ? QStringLiteral(" ORDER BY rowid") : QString();
    QSqlQuery rows(from);
    rows.setForwardOnly(true);
    if (!rows.exec(QStringLiteral("SELECT %1 FROM %2%3")
                       .arg(select.join(QStringLiteral(", ")),
                            quoted(from, table, QSqlDriver::TableName), order)))
        throw DbError(rows.lastError());

    // Many rows to a statement: the engines take a few hundred values at once.
    const qsizetype columns = insert.size();
    const int perStatement = static_cast<int>(std::max<qsizetype>(1, 900 / columns));
    const QString oneRow = QStringLiteral("(") +
                           QStringList(columns, QStringLiteral("?")).join(QLatin1Char(',')) +
                           QStringLiteral(")");
    const QString head =
        QStringLiteral("INSERT INTO %1 (%2)%3 VALUES ")
            .arg(quoted(to, target, QSqlDriver::TableName), insert.join(QStringLiteral(", ")),
                 isFile(to) ? QString() : QStringLiteral(" OVERRIDING SYSTEM VALUE"));
    QSqlQuery full(to);
    if (!full.prepare(head + QStringList(perStatement, oneRow).join(QLatin1Char(','))))
        throw DbError(full.lastError());
    QVariantList pending;
    qint64 copied = 0;
    const auto flush = [&](bool all) {
        const qsizetype whole = pending.size() / columns;
        if (whole == 0 || (!all && whole < perStatement))
            return;
        QSqlQuery partial(to);
        QSqlQuery* statement = &full;
        if (whole < perStatement) {
            if (!partial.prepare(head + QStringList(whole, oneRow).join(QLatin1Char(','))))
                throw DbError(partial.lastError());
            statement = &partial;
        }
        for (qsizetype i = 0; i < pending.size(); ++i)
            statement->bindValue(static_cast<int>(i), pending[i]);
        if (!statement->exec())
            throw DbError(statement->lastError());
        copied += whole;
        pending.clear();
    };
    while (rows.next()) {
        for (int i = 0; i < columns; ++i)
            pending << rows.value(i);
        flush(false);
    }
    if (rows.lastError().isValid())
        throw DbError(rows.lastError());
    flush(true);
    return copied;
}

// For every column: how many values it holds and their sum (of the numbers,
// of the lengths of texts), one text a column.
QStringList tableSums(QSqlDatabase db, const QString& table)
{
    QStringList terms = {QStringLiteral("count(*)")};
    const QSqlRecord record = db.record(table);
    QStringList names;
    for (int i = 0; i < record.count(); ++i) {
        const QString name = record.fieldName(i);
        if (name.compare(QLatin1String("rowid"), Qt::CaseInsensitive) == 0)
            continue;
        const QString column = quoted(db, name, QSqlDriver::FieldName);
        const QMetaType::Type type = static_cast<QMetaType::Type>(record.field(i).metaType().id());
        const bool number = type == QMetaType::Int || type == QMetaType::LongLong ||
                            type == QMetaType::Double || type == QMetaType::UInt ||
                            type == QMetaType::ULongLong;
        terms << QStringLiteral("count(%1)").arg(column)
              << (number ? QStringLiteral("coalesce(sum(%1), 0)").arg(column)
                         : QStringLiteral("coalesce(sum(length(%1)), 0)").arg(column));
        names << name.toLower();
    }
    QSqlQuery q = runSql(
        db, QStringLiteral("SELECT %1 FROM %2")
                .arg(terms.join(QStringLiteral(", ")), quoted(db, table, QSqlDriver::TableName)));
    QStringList out;
    if (!q.next())
        return out;
    out << QStringLiteral("wiersze %1").arg(q.value(0).toLongLong());
    for (qsizetype i = 0; i < names.size(); ++i)
        out << QStringLiteral("%1: %2 wartości, suma %3")
                   .arg(names[i], q.value(static_cast<int>(1 + 2 * i)).toString(),
                        QString::number(q.value(static_cast<int>(2 + 2 * i)).toDouble(), 'f', 4));
    std::sort(out.begin() + 1, out.end());
    return out;
}
} // namespace

QList<CopiedTable> copyDatabase(QSqlDatabase from, QSqlDatabase to,
                                const std::function<void(const CopiedTable&)>& progress)
{
    const QStringList targets = ownTables(to);
    QList<CopiedTable> copied;
    Transaction transaction(to);
    for (const QString& table : ownTables(from)) {
        const QString target = matching(targets, table);
        if (target.isEmpty())
            throw RezydoError(
                QStringLiteral("Tabeli %1 nie ma w docelowej bazie danych.").arg(table));
        runSql(to, QStringLiteral("DELETE FROM %1").arg(quoted(to, target, QSqlDriver::TableName)));
        const CopiedTable done{table, copyTable(from, to, table, target)};
        if (isFile(to)) {
            const qint64 reached =
                isFile(from) ? reachedNumber(from, table) : serverReachedNumber(from, table);
            if (reached > 0)
                runSql(to,
                       QStringLiteral("UPDATE sqlite_sequence SET seq = max(seq, :v) WHERE "
                                      "name = :t"),
                       {{":v", reached}, {":t", target}});
        } else {
            continueServerNumbers(to, target, reachedNumber(from, table));
        }
        copied << done;
        if (progress)
            progress(done);
    }
    transaction.commit();
    return copied;
}

QStringList compareDatabases(QSqlDatabase a, QSqlDatabase b)
{
    QStringList differences;
    const QStringList inB = ownTables(b);
    for (const QString& table : ownTables(a)) {
        const QString other = matching(inB, table);
        if (other.isEmpty()) {
            differences << QStringLiteral("%1: brak tabeli").arg(table);
            continue;
        }
        const QStringList left = tableSums(a, table);
        const QStringList right = tableSums(b, other);
        for (const QString& line : left)
            if (!right.contains(line))
                differences << QStringLiteral("%1: %2").arg(table, line);
        for (const QString& line : right)
            if (!left.contains(line))
                differences << QStringLiteral("%1 (druga baza): %2").arg(table, line);
    }
    return differences;
}
