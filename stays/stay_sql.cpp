#include "stays/stay_sql.h"

#include "db/data_module.h"
#include "db/engine.h"

#include <QSqlError>

#include <optional>

namespace {
// A row the database refuses: SQLITE_CONSTRAINT, also inside an extended
// result code, on the file; on the server a SQLSTATE of class 23 (integrity
// constraint) or 22 (a value the column's type does not take, which the
// file's CHECKs of typeof() refuse there).
bool isRefusal(const QSqlDatabase& db, const QSqlError& e)
{
    if (engineOf(db) == Engine::Server) {
        const QString code = e.nativeErrorCode();
        return code.startsWith(QLatin1String("23")) || code.startsWith(QLatin1String("22"));
    }
    bool ok = false;
    const int code = e.nativeErrorCode().toInt(&ok);
    return ok && (code & 0xff) == 19;
}

// Runs the statement; on a refusal reports it and returns false.
bool runItem(QSqlDatabase db, QSqlQuery& query, const QString& caption, const QString& sql,
             std::initializer_list<Binding> bindings)
{
    query.setForwardOnly(readsRowByRow(db));
    if (!query.prepare(sql))
        throw DbError(query.lastError());
    for (const auto& [name, value] : bindings)
        query.bindValue(QString::fromLatin1(name), value);
    // On the server a refused row would end the whole transaction: the item
    // runs in a savepoint there, so the others still go in.
    std::optional<Savepoint> item;
    if (engineOf(db) == Engine::Server)
        item.emplace(db);
    if (query.exec()) {
        if (item)
            item->release();
        return true;
    }
    const QSqlError error = query.lastError();
    item.reset();
    if (!isRefusal(db, error))
        throw DbError(error);
    reportDatabaseError(caption, DbError(error));
    return false;
}
} // namespace

bool runSkippable(QSqlDatabase db, const QString& caption, const QString& sql,
                  std::initializer_list<Binding> bindings)
{
    QSqlQuery query(db);
    return runItem(db, query, caption, sql, bindings);
}

qlonglong insertSkippable(QSqlDatabase db, const QString& caption, const QString& sql,
                          std::initializer_list<Binding> bindings)
{
    QSqlQuery query(db);
    if (!runItem(db, query, caption, sql, bindings))
        return 0;
    return query.lastInsertId().toLongLong();
}

qlonglong insertRow(QSqlDatabase db, const QString& sql, std::initializer_list<Binding> bindings)
{
    return runSql(db, sql, bindings).lastInsertId().toLongLong();
}

QVariant textValue(const QString& text)
{
    return text.isNull() ? QVariant(QString("")) : QVariant(text);
}

QSqlQuery runSqlList(QSqlDatabase db, const QString& sql,
                     const QList<QPair<QString, QVariant>>& bindings)
{
    QSqlQuery query(db);
    query.setForwardOnly(readsRowByRow(db));
    if (!query.prepare(sql))
        throw DbError(query.lastError());
    for (const auto& [name, value] : bindings)
        query.bindValue(name, value);
    if (!query.exec())
        throw DbError(query.lastError());
    return query;
}
