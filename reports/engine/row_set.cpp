#include "reports/engine/row_set.h"

#include "db/sql.h"

#include <QSqlRecord>

RowSet::RowSet(QStringList columns, QVector<QVariantList> rows)
    : m_columns(std::move(columns))
    , m_rows(std::move(rows)) {}

RowSet RowSet::fromSql(QSqlDatabase db, const QString& sql,
                       std::initializer_list<std::pair<const char*, QVariant>> bindings) {
    QSqlQuery q = runSql(db, sql, bindings);
    RowSet set;
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
    return set;
}

int RowSet::columnIndex(const QString& column) const {
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].compare(column, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant RowSet::value(int row, const QString& column) const {
    const int c = columnIndex(column);
    if (c < 0 || row < 0 || row >= rowCount() || c >= m_rows[row].size())
        return {};
    return m_rows[row][c];
}
