#include "db/table_cursor.h"

#include "db/sql.h"

#include <QSqlRecord>

TableCursor::TableCursor(QString table, std::function<QSqlDatabase()> connection, QObject* parent)
    : QObject(parent)
    , m_table(std::move(table))
    , m_connection(std::move(connection))
{
}

void TableCursor::load()
{
    // The table name is one of the program's own, never typed by the user.
    QSqlQuery q = runSql(
        db(), QStringLiteral("SELECT rowid AS rowid_, * FROM %1 ORDER BY rowid").arg(m_table));
    QStringList columns;
    const QSqlRecord rec = q.record();
    // A server keeps the row's position as the table's last column, rowid.
    for (int i = 1; i < rec.count(); ++i)
        if (i < rec.count() - 1 ||
            rec.fieldName(i).compare(QLatin1String("rowid"), Qt::CaseInsensitive) != 0)
            columns << rec.fieldName(i);
    QVector<qint64> ids;
    QVector<QVector<QVariant>> rows;
    while (q.next()) {
        ids << q.value(0).toLongLong();
        QVector<QVariant> row;
        row.reserve(columns.size());
        for (int i = 1; i <= columns.size(); ++i)
            row << q.value(i);
        rows << row;
    }
    // A step that fails ends the loop like the last row: tell them apart.
    if (q.lastError().isValid())
        throw DbError(q.lastError());
    m_columns = columns;
    m_rowIds = ids;
    m_rows = rows;
    m_buffer.clear();
}

void TableCursor::open()
{
    if (isOpen())
        return;
    load();
    m_current = m_rows.isEmpty() ? -1 : 0;
    setState(State::Browse);
    Q_EMIT rowsChanged();
    Q_EMIT currentChanged(m_current);
}

void TableCursor::refresh()
{
    if (!isOpen()) {
        open();
        return;
    }
    const qint64 id = (m_current >= 0 && m_current < m_rowIds.size()) ? m_rowIds[m_current] : 0;
    load();
    const int at = static_cast<int>(m_rowIds.indexOf(id));
    m_current = at >= 0 ? at : (m_rows.isEmpty() ? -1 : 0);
    setState(State::Browse);
    Q_EMIT rowsChanged();
    Q_EMIT currentChanged(m_current);
}

void TableCursor::close()
{
    m_rows.clear();
    m_rowIds.clear();
    m_buffer.clear();
    m_current = -1;
    setState(State::Inactive);
    Q_EMIT rowsChanged();
}

int TableCursor::columnIndex(const QString& column) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].compare(column, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TableCursor::setCurrent(int row)
{
    if (row < 0 || row >= rowCount() || row == m_current)
        return;
    if (m_state == State::Edit || m_state == State::Insert)
        post();
    m_current = row;
    Q_EMIT currentChanged(m_current);
}

QVariant TableCursor::value(const QString& column) const
{
    if (m_current < 0)
        return {};
    return value(m_current, columnIndex(column));
}

QVariant TableCursor::value(int row, const QString& column) const
{
    return value(row, columnIndex(column));
}

QVariant TableCursor::value(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_columns.size())
        return {};
    if (row == m_current && !m_buffer.isEmpty())
        return m_buffer[column];
    return m_rows[row][column];
}

void TableCursor::setValue(const QString& column, const QVariant& value)
{
    const int c = columnIndex(column);
    if (c < 0 || !isOpen() || m_current < 0)
        return;
    if (m_state == State::Browse)
        edit();
    if (m_buffer[c] == value && m_buffer[c].isNull() == value.isNull())
        return;
    m_buffer[c] = value;
    Q_EMIT valueChanged(m_columns[c]);
}

void TableCursor::edit()
{
    if (m_state != State::Browse || m_current < 0)
        return;
    m_buffer = m_rows[m_current];
    setState(State::Edit);
}

void TableCursor::insert()
{
    if (!isOpen())
        open();
    if (m_state == State::Edit || m_state == State::Insert)
        post();
    QVector<QVariant> empty(m_columns.size());
    m_rows << empty;
    m_rowIds << 0;
    m_current = rowCount() - 1;
    m_buffer = empty;
    setState(State::Insert);
    Q_EMIT rowsChanged();
    Q_EMIT currentChanged(m_current);
}

void TableCursor::post()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    QSqlQuery q(db());
    if (m_state == State::Insert) {
        // Columns left empty take their defaults (auto-numbers, yes/no flags).
        QStringList used;
        QStringList usedMarks;
        QVector<QVariant> values;
        for (int i = 0; i < m_columns.size(); ++i) {
            if (m_buffer[i].isNull())
                continue;
            used << m_columns[i];
            usedMarks << QStringLiteral("?");
            values << m_buffer[i];
        }
        const QString sql =
            used.isEmpty()
                ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_table)
                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(m_table, used.join(QLatin1Char(',')), usedMarks.join(QLatin1Char(',')));
        if (!q.prepare(sql))
            throw DbError(q.lastError());
        for (const QVariant& v : values)
            q.addBindValue(v);
        if (!q.exec())
            throw DbError(q.lastError());
        const qint64 id = q.lastInsertId().toLongLong();
        // Read the row back, so defaults and auto-numbers show as stored.
        QSqlQuery back = runSql(
            db(), QStringLiteral("SELECT * FROM %1 WHERE rowid=:id").arg(m_table), {{":id", id}});
        QVector<QVariant> row(m_columns.size());
        if (back.next())
            for (int i = 0; i < m_columns.size(); ++i)
                row[i] = back.value(i);
        m_rows[m_current] = row;
        m_rowIds[m_current] = id;
    } else {
        QStringList sets;
        for (const QString& n : m_columns)
            sets << n + QStringLiteral("=?");
        if (!q.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?")
                           .arg(m_table, sets.join(QLatin1Char(',')))))
            throw DbError(q.lastError());
        for (const QVariant& v : m_buffer)
            q.addBindValue(v);
        q.addBindValue(m_rowIds[m_current]);
        if (!q.exec())
            throw DbError(q.lastError());
        m_rows[m_current] = m_buffer;
    }
    m_buffer.clear();
    setState(State::Browse);
    Q_EMIT rowsChanged();
}

void TableCursor::cancel()
{
    if (m_state == State::Insert) {
        m_rows.removeAt(m_current);
        m_rowIds.removeAt(m_current);
        m_buffer.clear();
        m_current = m_rows.isEmpty() ? -1 : std::min(m_current, rowCount() - 1);
        setState(State::Browse);
        Q_EMIT rowsChanged();
        Q_EMIT currentChanged(m_current);
        return;
    }
    if (m_state == State::Edit) {
        m_buffer.clear();
        setState(State::Browse);
        Q_EMIT rowsChanged();
    }
}

void TableCursor::remove()
{
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (m_current < 0)
        return;
    if (m_state == State::Edit)
        cancel();
    runSql(db(), QStringLiteral("DELETE FROM %1 WHERE rowid=:id").arg(m_table),
           {{":id", m_rowIds[m_current]}});
    m_rows.removeAt(m_current);
    m_rowIds.removeAt(m_current);
    m_current = m_rows.isEmpty() ? -1 : std::min(m_current, rowCount() - 1);
    setState(State::Browse);
    Q_EMIT rowsChanged();
    Q_EMIT currentChanged(m_current);
}

void TableCursor::setState(State s)
{
    if (m_state == s)
        return;
    m_state = s;
    Q_EMIT stateChanged(s);
}
