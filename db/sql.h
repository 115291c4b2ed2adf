#pragma once

#include "core/error.h"
#include "core/money.h"

#include <QDate>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <functional>
#include <initializer_list>
#include <utility>

// A failed database statement; text() is the engine's own message.
class DbError : public RezydoError {
public:
    explicit DbError(const QSqlError& e);
    explicit DbError(const QString& engineMessage)
        : RezydoError(engineMessage)
    {
    }
    // True when the server refused the transaction because another one ran at
    // the same time (a serialization failure or a deadlock): the whole
    // transaction may be run again from its start.
    bool isConflict() const;

private:
    QString m_code; // the engine's code (the server's SQLSTATE)
};

using Binding = std::pair<const char*, QVariant>;

// Whether a statement's rows may be read one at a time as they are stepped
// (forward only). The file steps them in place whatever else runs. The
// server's driver then reads them from the connection row by row, and a
// second statement run before the last row was read throws the rest away
// ("Query results lost"): there every result is read whole when it runs, so
// a loop may run further statements while it reads the rows of a first one.
bool readsRowByRow(const QSqlDatabase& db);

// Prepares `sql` on `db`, binds the named values (":ID" → value) and runs it.
// Throws DbError when the statement fails. SQL text comes only from fixed
// fragments; every value arrives here as a binding.
QSqlQuery runSql(QSqlDatabase db, const QString& sql, std::initializer_list<Binding> bindings = {});
// The first column of the first row, or an invalid QVariant when there is no row.
QVariant scalarSql(QSqlDatabase db, const QString& sql,
                   std::initializer_list<Binding> bindings = {});

// A LIKE pattern matching `typed` anywhere, with % _ and \ taken literally;
// the statement says LIKE :x ESCAPE '\'. A quote typed is searched for.
QString likeContains(const QString& typed);

// Stored forms of days, money and yes/no values.
QVariant dayValue(const QDate& day);   // "yyyy-mm-dd", NULL for an invalid day
QDate dayFromValue(const QVariant& v); // invalid for NULL or unreadable text
QVariant moneyValue(Money m);
Money moneyFromValue(const QVariant& v); // NULL = 0
inline QVariant boolValue(bool b)
{
    return b ? 1 : 0;
}

// One write operation in one transaction: on the file BEGIN IMMEDIATE, so two
// copies of the program never both start writing; on the server a
// serializable transaction. Rolled back unless commit() ran.
class Transaction {
public:
    explicit Transaction(QSqlDatabase db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    QSqlDatabase m_db;
    bool m_open = false;
};

// One item of a write that may fail alone (one room line refused, one
// register entry) inside an open Transaction: unless release() ran, the
// item's statements are undone and the transaction goes on. The file's
// engine undoes a failed statement by itself; the server gives up the whole
// transaction after one, unless the item ran in a savepoint.
//
//     for (const Line& line : lines) {
//         Savepoint item(db);
//         try { writeLine(db, line); item.release(); }
//         catch (const DbError& e) { report(e); }   // the others still go in
//     }
class Savepoint {
public:
    explicit Savepoint(QSqlDatabase db);
    ~Savepoint();
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;
    void release();

private:
    QSqlDatabase m_db;
    bool m_open = false;
};

// Runs `work` in one Transaction and commits it. On the server a transaction
// refused because another one ran at the same time is rolled back and run
// again from the start, up to `attempts` times in all; the file's write lock
// makes that refusal impossible there. `work` therefore only reads and writes
// the database: what it computes comes from what it reads in that attempt.
// Throws the last DbError, or whatever `work` throws.
void runInTransaction(QSqlDatabase db, const std::function<void()>& work, int attempts = 10);
