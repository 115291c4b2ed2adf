#pragma once

#include "admin/person_archive.h"
#include "db/column_kind.h"
#include "db/filter_expression.h"
#include "db/packed_rows.h"

#include <QDate>
#include <QObject>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <optional>

// What the archive lists: the display kind with its days, and the order (a
// field of archiveSortFields() or "Identyfikator_g", optionally with " desc").
struct ArchiveQuery {
    ArchiveKind kind = ArchiveKind::AllPersons;
    QDate from, to;
    QString order = kArchiveInitialOrder;
    bool operator==(const ArchiveQuery&) const = default;
};

// The statement of a query with every row, in the same total order in which
// ArchiveRows reads its pages: ties of the sorted column go by person record
// and register entry, the persons without a stay come first in ascending and
// last in descending order of a stay's column.
QString archiveWholeSql(ArchiveKind kind, const QString& order);

// The rows of the person archive as its grid shows them, read from the ordered
// statement a page at a time:
//
//     ArchiveRows rows;
//     rows.open({ArchiveKind::AllPersons, {}, {}, "Nazwisko"});  // the first page
//     rows.setSearch(archiveSearch({"Kow"}));                     // again from the first
//     while (rows.canFetchMore()) rows.fetchMore();               // the grid scrolls
//
// Each page continues after the last row read (its sort key, then the person
// and entry), so nothing is skipped or read twice when another workstation
// checks a group out meanwhile, and no page costs more than its own rows: every
// order is served by an index. The search runs in the statement as a range of
// the index where it can (the beginning of a name or a room, an arrival or
// departure day) and is then tested on each row read exactly as the filter of
// loaded rows tests it (FilterExpression), so the search rules stay those of
// the filter, `*` anywhere included. Rows are addressed by their place among
// the rows read so far.
class ArchiveRows : public QObject {
    Q_OBJECT
public:
    static constexpr int kPageSize = 100;

    // Reads from dataModule().database().
    explicit ArchiveRows(QObject* parent = nullptr);
    explicit ArchiveRows(std::function<QSqlDatabase()> connection, QObject* parent = nullptr);
    void setPageSize(int rows) { m_pageSize = std::max(1, rows); }

    // Reads the first page of the query; the search in force stays in force.
    // Throws DbError, and the rows are then closed.
    void open(const ArchiveQuery& query);
    void close();
    bool isOpen() const { return m_open; }
    const ArchiveQuery& query() const { return m_query; }

    // The six search boxes' expression (archiveSearch()); an empty text lists
    // every row. A malformed one changes nothing and the returned text says
    // what is wrong. Otherwise the rows are read again from the first.
    // Throws DbError when reading fails (the rows are then closed).
    std::optional<QString> setSearch(const QString& expression);
    const QString& search() const { return m_filter.text(); }

    bool canFetchMore() const { return m_open && m_part < m_parts.size(); }
    // Reads the next rows: a page, or as many rows as are read already while
    // the list keeps being scrolled (at most 50 pages), or what is left.
    // Throws DbError; the rows read before stay.
    void fetchMore();
    void fetchAll();

    const QStringList& columns() const;
    int columnIndex(const QString& column) const; // any letter case; -1 if unknown
    ColumnKind kind(int column) const;
    int rowCount() const { return static_cast<int>(m_rows.size()); } // rows read so far
    bool isEmpty() const { return m_rows.isEmpty(); }
    // The rows of the kind and days before the search narrows them, counted
    // by a statement of their own when asked.
    int loadedCount() const;

    QVariant value(int row, int column) const;
    QVariant value(int row, const QString& column) const;
    QString text(int row, int column) const; // as columnText() shows it

    int current() const { return m_current; }
    void setCurrent(int row); // ignored outside the rows read
    QVariant value(const QString& column) const;

Q_SIGNALS:
    // Around a new reading from the first row, and around the rows a page adds.
    void aboutToChange();
    void changed();
    void aboutToAppend(int first, int last);
    void appended();
    void currentChanged(int row);

private:
    enum class Part { Statement, WithoutStay };
    using Row = QVector<QVariant>;

    void restart();
    void read(int wanted, PackedRows& into);
    int readStatement(int limit, PackedRows& into);
    void scanPersons(qint64 persons);
    QString narrowing(QList<std::pair<QString, QVariant>>& bindings, bool personIndexesTaken) const;

    std::function<QSqlDatabase()> m_connection;
    int m_pageSize = kPageSize;
    ArchiveQuery m_query;
    bool m_open = false;
    FilterExpression m_filter;
    QVector<Part> m_parts;
    qsizetype m_part = 0;
    QVariantList m_last; // sort keys of the last row the statement gave
    // The persons without any register entry that pass the search, found by
    // going over the person records in slices of their keys (ahead of time
    // while the stays are scrolled, when these persons come after them).
    PackedRows m_withoutStay;
    qsizetype m_withoutStayNext = 0; // of those, taken so far
    qint64 m_scannedTo = 0;          // the person records gone over: keys up to this
    std::optional<qint64> m_scanEnd; // the highest key when the going over began
    bool m_scanDone = false;
    PackedRows m_rows;
    int m_current = -1;
};
