#include "stays/stay_sql.h"

#include "db/data_module.h"

#include <QSqlError>

namespace {
// SQLITE_CONSTRAINT, also inside an extended result code.
bool isRefusal(const QSqlError& e)
{
    bool ok = false;
    const int code = e.nativeErrorCode().toInt(&ok);
    return ok && (code & 0xff) == 19;
}

// Runs the statement; on a refusal reports it and returns false.
bool runItem(QSqlQuery& query, const QString& caption, const QString& sql,
             std::initializer_list<Binding> bindings)
{
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw DbError(query.lastError());
    for (const auto& [name, value] : bindings)
        query.bindValue(QString::fromLatin1(name), value);
    if (query.exec())
        return true;
    const QSqlError error = query.lastError();
    if (!isRefusal(error))
        throw DbError(error);
    reportDatabaseError(caption, DbError(error));
    return false;
}
} // namespace

bool runSkippable(QSqlDatabase db, const QString& caption, const QString& sql,
                  std::initializer_list<Binding> bindings)
{
    QSqlQuery query(db);
    return runItem(query, caption, sql, bindings);
}

qlonglong insertSkippable(QSqlDatabase db, const QString& caption, const QString& sql,
                          std::initializer_list<Binding> bindings)
{
    QSqlQuery query(db);
    if (!runItem(query, caption, sql, bindings))
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
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw DbError(query.lastError());
    for (const auto& [name, value] : bindings)
        query.bindValue(name, value);
    if (!query.exec())
        throw DbError(query.lastError());
    return query;
}
