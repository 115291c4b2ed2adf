#pragma once

#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <initializer_list>
#include <utility>

class RowSet;

// What a report walks: rows by index, values by column name. The report reads
// rows by index, so walking them never moves the current row of the window
// that owns them. `current()` is the row an auxiliary query stands on, for
// fields bound to it and moved by hooks.
class ReportData {
public:
    virtual ~ReportData() = default;
    virtual int rowCount() const = 0;
    // NULL (an invalid QVariant) for an unknown column or a row out of range.
    virtual QVariant value(int row, const QString& column) const = 0;
    virtual int current() const = 0;
    QVariant value(const QString& column) const { return value(current(), column); }
    bool isEmpty() const { return rowCount() == 0; }
};

// Rows a report holds itself: loaded once from a statement, or made in code.
class ReportRows final : public ReportData {
public:
    ReportRows() = default;
    ReportRows(QStringList columns, QVector<QVariantList> rows);
    // Loads every row of a statement; throws DbError when it fails.
    static ReportRows
    fromSql(QSqlDatabase db, const QString& sql,
            std::initializer_list<std::pair<const char*, QVariant>> bindings = {});

    const QStringList& columns() const { return m_columns; }
    int columnIndex(const QString& column) const; // case-insensitive, -1 if unknown
    int rowCount() const override { return static_cast<int>(m_rows.size()); }
    QVariant value(int row, const QString& column) const override;
    using ReportData::value;
    void append(const QVariantList& row) { m_rows.append(row); }

    // The cursor of an auxiliary query.
    int current() const override { return m_position; }
    void first() { m_position = 0; }
    void next() { ++m_position; }
    bool atEnd() const { return m_position >= rowCount(); }
    void setCurrent(int row) { m_position = row; }

private:
    QStringList m_columns;
    QVector<QVariantList> m_rows;
    int m_position = 0;
};

// The loaded rows of a window's query as a report reads them: the visible
// rows, so any filter the user applied holds for the printout too.
class RowSetData final : public ReportData {
public:
    explicit RowSetData(const RowSet& rows)
        : m_rows(rows) {}
    int rowCount() const override;
    QVariant value(int row, const QString& column) const override;
    using ReportData::value;
    int current() const override;

private:
    const RowSet& m_rows;
};
