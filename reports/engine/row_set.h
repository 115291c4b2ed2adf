#pragma once

#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <initializer_list>
#include <utility>

// Rows a report walks: named columns, loaded once. The report reads rows by
// index, so walking them never moves the cursor of the window that owns them;
// a cursor (position) is kept for hooks that step an auxiliary query by hand.
class RowSet {
public:
    RowSet() = default;
    RowSet(QStringList columns, QVector<QVariantList> rows);
    // Loads every row of a statement; throws DbError when it fails.
    static RowSet fromSql(QSqlDatabase db, const QString& sql,
                          std::initializer_list<std::pair<const char*, QVariant>> bindings = {});

    const QStringList& columns() const { return m_columns; }
    int columnIndex(const QString& column) const; // case-insensitive, -1 if unknown
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    // NULL (an invalid QVariant) for an unknown column or a row out of range.
    QVariant value(int row, const QString& column) const;
    void append(const QVariantList& row) { m_rows.append(row); }

    // The cursor of an auxiliary query.
    int position() const { return m_position; }
    void first() { m_position = 0; }
    void next() { ++m_position; }
    bool atEnd() const { return m_position >= rowCount(); }
    void setPosition(int row) { m_position = row; }
    QVariant value(const QString& column) const { return value(m_position, column); }

private:
    QStringList m_columns;
    QVector<QVariantList> m_rows;
    int m_position = 0;
};
