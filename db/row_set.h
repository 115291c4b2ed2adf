#pragma once

#include "db/column_kind.h"
#include "db/filter_expression.h"
#include "db/sql.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <initializer_list>
#include <optional>
#include <utility>

// Read-only rows of one query, loaded whole, for the browse grids.
//
//     RowSet groups;                                  // on dataModule().database()
//     groups.setKinds({{"Od", ColumnKind::Day}, {"Do", ColumnKind::Day}});
//     groups.setKeyColumn("Identyfikator");           // reloads stay on the same group
//     groups.open("select * from Kwat_hot K where 1=1 order by " + order);
//     if (auto error = groups.setFilter("Nazwa like 'Kow*'")) ...
//
// Rows are addressed by their place among the visible rows: those that pass
// the filter, in the order of the query. The current row is one of them (-1
// when none is visible). The SQL text is built by the caller from fixed
// fragments only; every value comes as a binding, as with runSql().
class RowSet : public QObject {
    Q_OBJECT
public:
    // Reads from dataModule().database() each time it loads.
    explicit RowSet(QObject* parent = nullptr);
    // Reads from the connection `connection` gives each time it loads.
    explicit RowSet(std::function<QSqlDatabase()> connection, QObject* parent = nullptr);

    // What a column's values mean (matched by name, any letter case). A column
    // not named here is Integer when the database declares it so, else Text.
    void setKind(const QString& column, ColumnKind kind);
    void setKinds(std::initializer_list<std::pair<const char*, ColumnKind>> kinds);
    // The column whose value identifies a row; reload() keeps the current row by it.
    void setKeyColumn(const QString& column) { m_keyColumn = column; }

    // Runs the statement and loads every row; the first visible row becomes
    // current. The filter in force stays in force. Throws DbError; the set is
    // then closed.
    void open(const QString& sql, std::initializer_list<Binding> bindings = {});
    // Closes and loads the same statement again (bindings as last given),
    // staying on the row with the same key value when there is one.
    void reload();
    // The same with a new statement (a new ORDER BY, say) and the old bindings.
    void reload(const QString& sql);
    void close();
    bool isOpen() const { return m_open; }
    const QString& sql() const { return m_sql; }

    // Narrows the visible rows to those the expression keeps (FilterExpression
    // gives its form); an empty text shows all rows. On a malformed expression
    // nothing changes and the returned text says what is wrong; never throws.
    // The current row stays when it is still visible, else the first one is.
    std::optional<QString> setFilter(const QString& expression);
    const QString& filter() const { return m_filter.text(); }

    const QStringList& columns() const { return m_columns; }
    int columnIndex(const QString& column) const; // any letter case; -1 if unknown
    ColumnKind kind(int column) const;
    int loadedCount() const { return static_cast<int>(m_rows.size()); }
    int rowCount() const { return static_cast<int>(m_visible.size()); } // visible rows
    bool isEmpty() const { return m_visible.isEmpty(); }

    // Values of a visible row; an invalid QVariant for a row or column that is not there.
    QVariant value(int row, int column) const;
    QVariant value(int row, const QString& column) const;
    // A value as the user sees it (columnText()).
    QString text(int row, int column) const;

    int current() const { return m_current; }
    void setCurrent(int row); // ignored outside the visible rows
    // The current row's value; invalid when there is no current row.
    QVariant value(const QString& column) const;
    // Makes the first visible row whose `column` equals `value` current (by the
    // column's kind, text in any letter case). Returns false, and leaves the
    // current row, when there is none.
    bool locate(const QString& column, const QVariant& value);

    // Forgets the current row after the caller deleted it in the database,
    // without loading again; the row that followed it becomes current.
    void dropCurrentRow();

Q_SIGNALS:
    // Around every change of the rows, the visible rows or the columns: a
    // load, a close, a filter, a dropped row.
    void aboutToChange();
    void changed();
    void currentChanged(int row);

private:
    void load();
    void applyFilter();
    void refilter(FilterExpression filter);
    bool sameValue(int column, const QVariant& a, const QVariant& b) const;
    QList<FilterExpression::Column> filterColumns() const;

    std::function<QSqlDatabase()> m_connection;
    QHash<QString, ColumnKind> m_declared; // by case-folded name
    QString m_keyColumn;
    QString m_sql;
    QList<std::pair<QString, QVariant>> m_bindings;
    bool m_open = false;
    QStringList m_columns;
    QVector<ColumnKind> m_kinds;
    QVector<QVector<QVariant>> m_rows;
    QVector<int> m_visible; // indexes into m_rows
    FilterExpression m_filter;
    int m_current = -1;
};
