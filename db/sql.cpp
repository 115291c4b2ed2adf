#include "db/sql.h"

#include "core/days.h"
#include "db/after_transaction.h"
#include "db/engine.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>

#include <vector>

namespace {
// The server's message comes as "ERROR:  text", then lines of detail and
// "(SQLSTATE)"; a user is shown the text alone, as the file's engine gives it.
// A fault of the connection may come without a severity, on several lines or
// with no words of the server at all: then the driver's, without its name.
QString engineMessage(const QSqlError& e)
{
    static const QLatin1String driver("QPSQL: ");
    if (!e.driverText().startsWith(driver))
        return e.databaseText().isEmpty() ? e.text() : e.databaseText();
    QString text = e.databaseText();
    const QString code = QLatin1Char('(') + e.nativeErrorCode() + QLatin1Char(')');
    if (!e.nativeErrorCode().isEmpty() && text.endsWith(code))
        text.chop(code.size());
    text = text.trimmed().section(QLatin1Char('\n'), 0, 0).trimmed();
    // The severity is the server's word in its own language ("ERROR", "BŁĄD").
    static const QRegularExpression severity(QStringLiteral("^\\p{Lu}+:  "));
    text.remove(severity);
    return text.isEmpty() ? e.driverText().mid(driver.size()) : text;
}

// A statement prepared on the server that failed inside a transaction: the
// server takes no command, not even the one freeing it, until the
// transaction is rolled back. It is kept until the transaction ends.
std::vector<QSqlQuery>& failedStatements()
{
    static std::vector<QSqlQuery> kept;
    return kept;
}

[[noreturn]] void fail(const QSqlDatabase& db, QSqlQuery& query)
{
    const DbError error(query.lastError());
    if (transactionOpen() && engineOf(db) == Engine::Server)
        failedStatements().push_back(std::move(query));
    throw error;
}
} // namespace

DbError::DbError(const QSqlError& e)
    : RezydoError(engineMessage(e))
    , m_code(e.nativeErrorCode())
{
}

bool DbError::isConflict() const
{
    return m_code == QLatin1String("40001") || m_code == QLatin1String("40P01");
}

bool readsRowByRow(const QSqlDatabase& db)
{
    return engineOf(db) == Engine::File;
}

QSqlQuery runSql(QSqlDatabase db, const QString& sql, std::initializer_list<Binding> bindings)
{
    QSqlQuery query(db);
    query.setForwardOnly(readsRowByRow(db));
    // The server prepares only queries and row changes; a statement without
    // values (BEGIN, CREATE ...) goes to it as it is.
    if (bindings.size() == 0 && engineOf(db) == Engine::Server) {
        if (!query.exec(sql))
            fail(db, query);
        return query;
    }
    if (!query.prepare(sql))
        fail(db, query);
    for (const auto& [name, value] : bindings)
        query.bindValue(QString::fromLatin1(name), value);
    if (!query.exec())
        fail(db, query);
    return query;
}

QVariant scalarSql(QSqlDatabase db, const QString& sql, std::initializer_list<Binding> bindings)
{
    QSqlQuery query = runSql(db, sql, bindings);
    if (!query.next())
        return {};
    return query.value(0);
}

QVariant dayValue(const QDate& day)
{
    if (!day.isValid())
        return QVariant(QMetaType(QMetaType::QString));
    return dayText(day);
}

QDate dayFromValue(const QVariant& v)
{
    if (v.isNull())
        return {};
    // Stored days are "yyyy-mm-dd"; a time part, if any, is ignored.
    return dayFromText(v.toString().left(10)).value_or(QDate());
}

QVariant moneyValue(Money m)
{
    return QVariant::fromValue<qlonglong>(m.units());
}

Money moneyFromValue(const QVariant& v)
{
    return v.isNull() ? Money() : Money::fromUnits(v.toLongLong());
}

Transaction::Transaction(QSqlDatabase db)
    : m_db(std::move(db))
{
    // The file takes its write lock at once, so two copies never both start
    // writing; the server runs the transaction as if alone and refuses at
    // the latest at COMMIT a write that another one made impossible.
    runSql(m_db, engineOf(m_db) == Engine::Server
                     ? QStringLiteral("BEGIN ISOLATION LEVEL SERIALIZABLE")
                     : QStringLiteral("BEGIN IMMEDIATE"));
    m_open = true;
    transactionBegun();
}

Transaction::~Transaction()
{
    if (!m_open)
        return;
    QSqlQuery rollback(m_db);
    rollback.exec(QStringLiteral("ROLLBACK"));
    failedStatements().clear();
    // The boxes of a rolled-back operation still tell what went wrong; a
    // failing box must not escape a destructor that may run while unwinding.
    try {
        transactionEnded();
    } catch (...) {
        // A box that cannot be shown is dropped.
    }
}

Savepoint::Savepoint(QSqlDatabase db)
    : m_db(std::move(db))
{
    runSql(m_db, QStringLiteral("SAVEPOINT rezydo_pozycja"));
    m_open = true;
}

Savepoint::~Savepoint()
{
    if (!m_open)
        return;
    QSqlQuery undo(m_db);
    undo.exec(QStringLiteral("ROLLBACK TO SAVEPOINT rezydo_pozycja"));
    undo.exec(QStringLiteral("RELEASE SAVEPOINT rezydo_pozycja"));
    failedStatements().clear();
}

void Savepoint::release()
{
    runSql(m_db, QStringLiteral("RELEASE SAVEPOINT rezydo_pozycja"));
    m_open = false;
}

void Transaction::commit()
{
    try {
        runSql(m_db, QStringLiteral("COMMIT"));
    } catch (const DbError&) {
        // The server has ended a transaction whose COMMIT it refused; the
        // file keeps it open until it is rolled back.
        if (engineOf(m_db) == Engine::Server) {
            m_open = false;
            failedStatements().clear();
            transactionEnded();
        }
        throw;
    }
    m_open = false;
    failedStatements().clear();
    transactionEnded();
}

namespace {
// Keeps the boxes of every attempt waiting until the last one has ended.
class BoxesHeld {
public:
    BoxesHeld() { transactionBegun(); }
    ~BoxesHeld()
    {
        if (!m_held)
            return;
        try {
            transactionEnded();
        } catch (...) {
            // A box that cannot be shown is dropped.
        }
    }
    BoxesHeld(const BoxesHeld&) = delete;
    BoxesHeld& operator=(const BoxesHeld&) = delete;
    void show()
    {
        m_held = false;
        transactionEnded();
    }

private:
    bool m_held = true;
};
} // namespace

void runInTransaction(QSqlDatabase db, const std::function<void()>& work, int attempts)
{
    BoxesHeld held;
    for (int attempt = 1;; ++attempt) {
        const std::size_t boxesBefore = boxesWaiting();
        try {
            Transaction tx(db);
            work();
            tx.commit();
            break;
        } catch (const DbError& e) {
            if (!e.isConflict() || attempt >= attempts)
                throw;
            // The attempt run again tells again what went wrong in it.
            dropBoxesAfter(boxesBefore);
        }
        // Desks refused at the same moment would meet again at once: each
        // waits a moment of its own, longer after every attempt.
        QThread::msleep(static_cast<unsigned long>(QRandomGenerator::global()->bounded(5, 25)) *
                        attempt);
    }
    held.show();
}

QString likeContains(const QString& typed)
{
    QString escaped;
    for (QChar c : typed) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}
