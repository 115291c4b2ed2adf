#pragma once

#include <QObject>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>

// An updatable cursor over a whole table, in stored order, with a current row
// and the browse/edit/insert states of a data-aware form. Several windows may
// bind to one cursor; what one posts is what the next one sees.
//
// Rows are addressed by SQLite's rowid, so a table without a key (Config)
// works as well as one with a key.
class TableCursor : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    Q_ENUM(State)

    // `connection` gives the database each time the cursor needs it (it opens
    // the connection on demand).
    TableCursor(QString table, std::function<QSqlDatabase()> connection, QObject* parent = nullptr);

    const QString& table() const { return m_table; }
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }

    // Loads every row; throws DbError. Opening an open cursor does nothing.
    void open();
    // Loads again, keeping the current row where it can; throws DbError.
    void refresh();
    void close();

    const QStringList& columns() const { return m_columns; }
    int columnIndex(const QString& column) const; // case-insensitive, -1 if unknown
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    int current() const { return m_current; } // -1 when empty
    // Moves the current row; an edit or insert in progress is posted first,
    // as a data-aware form does.
    void setCurrent(int row);

    // Values of the current row (with the pending edit) or of any row.
    QVariant value(const QString& column) const;
    QVariant value(int row, const QString& column) const;
    QVariant value(int row, int column) const;
    // Sets a value of the current row; in browse state this starts an edit.
    void setValue(const QString& column, const QVariant& value);

    void edit();   // browse -> edit of the current row
    void insert(); // appends an empty row and makes it current
    void post();   // writes the pending edit or insert; throws DbError, state stays
    void cancel(); // drops the pending edit or insert
    void remove(); // deletes the current row; throws DbError

Q_SIGNALS:
    void stateChanged(TableCursor::State state);
    void currentChanged(int row);
    void valueChanged(const QString& column);
    // Rows were loaded, added, removed or written.
    void rowsChanged();

private:
    void setState(State s);
    QSqlDatabase db() const { return m_connection(); }
    void load();

    QString m_table;
    std::function<QSqlDatabase()> m_connection;
    State m_state = State::Inactive;
    QStringList m_columns;    // without the rowid
    QVector<qint64> m_rowIds; // 0 for a row being inserted
    QVector<QVector<QVariant>> m_rows;
    QVector<QVariant> m_buffer; // the current row while editing or inserting
    int m_current = -1;
};
