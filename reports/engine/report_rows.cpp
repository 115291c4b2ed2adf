#include "reports/engine/report_rows.h"

#include "db/row_set.h"
#include "db/sql.h"

#include <QSqlRecord>

ReportRows::ReportRows(QStringList columns, QVector<QVariantList> rows)
    : m_columns(std::move(columns))
    , m_rows(std::move(rows))
{
}

ReportRows ReportRows::fromSql(QSqlDatabase db, const QString& sql,
                               std::initializer_list<std::pair<const char*, QVariant>> bindings)
{
    QSqlQuery q = runSql(db, sql, bindings);
    ReportRows set;
    const QSqlRecord record = q.record();
    for (int i = 0; i < record.count(); ++i)
        set.m_columns << record.fieldName(i);
    while (q.next()) {
        QVariantList row;
        row.reserve(record.count());
        for (int i = 0; i < record.count(); ++i)
            row << q.value(i);
        set.m_rows.append(row);
    }
    // A step that fails ends the loop like the last row: tell them apart.
    if (q.lastError().isValid())
        throw DbError(q.lastError());
    return set;
}

int ReportRows::columnIndex(const QString& column) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].compare(column, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant ReportRows::value(int row, const QString& column) const
{
    const int c = columnIndex(column);
    if (c < 0 || row < 0 || row >= rowCount() || c >= m_rows[row].size())
        return {};
    return m_rows[row][c];
}

int RowSetData::rowCount() const
{
    return m_rows.rowCount();
}

QVariant RowSetData::value(int row, const QString& column) const
{
    return m_rows.value(row, column);
}

int RowSetData::current() const
{
    return m_rows.current();
}
