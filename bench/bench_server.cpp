// The server twin of the benchmark database: a throwaway PostgreSQL cluster
// of the run's own under build/bench-data/pg-cluster (started by
// scripts/pg-cluster, halted at the end; the folder with its databases stays
// for the next run), holding a copy of the cached synthetic file made once by
// the program's own migration (copyDatabase) into the database bench_KEY.
// The writing benchmarks get copies of it (CREATE DATABASE … TEMPLATE),
// dropped again at the end of the run.
#include "bench/bench_database.h"

#include "core/error.h"
#include "db/engine.h"
#include "db/migrate.h"
#include "db/schema.h"
#include "db/sql.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <libpq-fe.h>
#include <stdexcept>
#include <unordered_map>

namespace {
const QString kRead = QStringLiteral("bench-server");
const QString kAdmin = QStringLiteral("bench-server-admin");

struct Server {
    bool started = false;
    QString dir;
    ServerAddress address; // of the database postgres
    QString database;      // bench_KEY
    PGconn* raw = nullptr;
    QStringList copies; // connection names of the writable copies
    std::vector<PGconn*> rawCopies;
};

Server& server()
{
    static Server s;
    return s;
}

QString clusterDir()
{
    return QString::fromUtf8(REZYDO_BENCH_DATA) + QStringLiteral("/pg-cluster");
}

QString runCluster(const QString& action)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QStringLiteral("bash"), {QString::fromUtf8(REZYDO_PG_CLUSTER), action, clusterDir()});
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        throw std::runtime_error("scripts/pg-cluster " + action.toStdString() + " failed");
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

ServerAddress on(const QString& database)
{
    ServerAddress a = server().address;
    a.database = database;
    return a;
}

QSqlDatabase openAs(const QString& connection, const QString& database)
{
    QSqlDatabase db = QSqlDatabase::contains(connection)
                          ? QSqlDatabase::database(connection, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
    ServerAddress a = on(database);
    openServerConnection(db, a);
    return db;
}

PGconn* openRaw(const QString& database)
{
    PGconn* c = PQconnectdb(on(database).text().toUtf8().constData());
    if (PQstatus(c) != CONNECTION_OK)
        throw std::runtime_error(PQerrorMessage(c));
    return c;
}

QSqlDatabase admin()
{
    return QSqlDatabase::database(kAdmin, false);
}

bool databaseExists(const QString& name)
{
    return scalarSql(admin(), QStringLiteral("SELECT count(*) FROM pg_database WHERE datname = :N"),
                     {{":N", name}})
               .toInt() > 0;
}

void dropDatabase(const QString& name)
{
    runSql(admin(), QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(name));
}

// The file copied into a new server database of the same schema version by
// the program's own migration, then renamed: whole or not at all.
void makeServerCopy(const QString& name)
{
    const QString part = name + QStringLiteral("_part");
    dropDatabase(part);
    runSql(admin(), QStringLiteral("CREATE DATABASE \"%1\"").arg(part));
    std::fprintf(stderr, "copying the database to the server (%s)...\n", qPrintable(name));
    QElapsedTimer clock;
    clock.start();
    createServerDatabase(on(part), false);
    {
        QSqlDatabase to = openAs(QStringLiteral("bench-server-copy"), part);
        BenchDatabase& file = BenchDatabase::instance();
        qint64 rows = 0;
        copyDatabase(file.qt(), to, [&rows](const CopiedTable& t) { rows += t.rows; });
        runSql(to, QStringLiteral("ANALYZE"));
        to.close();
        std::fprintf(stderr, "  %lld rows in %.0f s\n", static_cast<long long>(rows),
                     clock.elapsed() / 1000.0);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-server-copy"));
    runSql(admin(), QStringLiteral("ALTER DATABASE \"%1\" RENAME TO \"%2\"").arg(part, name));
}

// The settings a server of a hotel would run with, where the throwaway
// cluster of the tests has its own: commits flushed to disk as the file's
// synchronous=FULL does, PostgreSQL's default buffers (a restart), and no
// autovacuum coming between the runs (the copy is analysed when made).
void serverSettings()
{
    QSqlDatabase db = admin();
    for (const char* setting :
         {"ALTER SYSTEM SET fsync = on", "ALTER SYSTEM SET synchronous_commit = on",
          "ALTER SYSTEM SET full_page_writes = on", "ALTER SYSTEM SET autovacuum = off",
          "ALTER SYSTEM SET shared_buffers = '128MB'", "SELECT pg_reload_conf()"})
        runSql(db, QString::fromLatin1(setting));
}

bool needsRestart()
{
    return scalarSql(admin(), QStringLiteral("SELECT count(*) FROM pg_settings WHERE "
                                             "pending_restart"))
               .toInt() > 0;
}

// `:name` parameters as libpq's $n (the same name the same number), outside
// quotes and past a `::` cast.
struct PgStatement {
    std::string sql;
    std::vector<std::string> names;
};

const PgStatement& pgStatement(const char* text)
{
    static std::unordered_map<std::string, PgStatement> cache;
    const std::string key(text);
    auto found = cache.find(key);
    if (found != cache.end())
        return found->second;
    PgStatement st;
    char quote = 0;
    for (std::size_t i = 0; i < key.size(); ++i) {
        const char ch = key[i];
        if (quote) {
            quote = ch == quote ? 0 : quote;
            st.sql += ch;
            continue;
        }
        const auto isName = [](char x) {
            return std::isalnum(static_cast<unsigned char>(x)) || x == '_';
        };
        if (ch == '\'' || ch == '"') {
            quote = ch;
        } else if (ch == ':' && i + 1 < key.size() && isName(key[i + 1]) &&
                   (i == 0 || key[i - 1] != ':')) {
            std::size_t end = i + 1;
            while (end < key.size() && isName(key[end]))
                ++end;
            const std::string name = key.substr(i, end - i);
            std::size_t n = 0;
            while (n < st.names.size() && st.names[n] != name)
                ++n;
            if (n == st.names.size())
                st.names.push_back(name);
            st.sql += '$';
            st.sql += std::to_string(n + 1);
            i = end - 1;
            continue;
        }
        st.sql += ch;
    }
    return cache.emplace(key, std::move(st)).first->second;
}

PGresult* pgRun(PGconn* c, const char* sql, const Bindings& b)
{
    const PgStatement& st = pgStatement(sql);
    std::vector<QByteArray> texts(st.names.size());
    std::vector<const char*> values(st.names.size(), nullptr);
    for (std::size_t n = 0; n < st.names.size(); ++n)
        for (const auto& [name, value] : b)
            if (st.names[n] == name && !value.isNull()) {
                texts[n] = value.toString().toUtf8();
                values[n] = texts[n].constData();
            }
    PGresult* r = PQexecParams(c, st.sql.c_str(), static_cast<int>(values.size()), nullptr,
                               values.data(), nullptr, nullptr, 0);
    const ExecStatusType status = PQresultStatus(r);
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
        const std::string message = PQresultErrorMessage(r);
        PQclear(r);
        throw std::runtime_error(message);
    }
    return r;
}
} // namespace

PGresult* pgResult(PGconn* c, const char* sql, const Bindings& b)
{
    return pgRun(c, sql, b);
}

int pgRows(PGconn* c, const char* sql, const Bindings& b)
{
    PGresult* r = pgRun(c, sql, b);
    const int rows = PQntuples(r);
    const int columns = PQnfields(r);
    std::size_t touched = 0;
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < columns; ++col)
            touched += static_cast<std::size_t>(PQgetlength(r, row, col)) +
                       static_cast<unsigned char>(PQgetvalue(r, row, col)[0]);
    PQclear(r);
    return touched == 1 ? rows + 0 : rows; // keeps the reads from being optimised away
}

qlonglong pgScalar(PGconn* c, const char* sql, const Bindings& b)
{
    PGresult* r = pgRun(c, sql, b);
    const qlonglong v = PQntuples(r) > 0 && PQnfields(r) > 0 && !PQgetisnull(r, 0, 0)
                            ? std::strtoll(PQgetvalue(r, 0, 0), nullptr, 10)
                            : 0;
    PQclear(r);
    return v;
}

void pgExec(PGconn* c, const char* sql)
{
    PQclear(pgRun(c, sql, {}));
}

void startBenchServer()
{
    Server& s = server();
    if (s.started)
        return;
    s.dir = clusterDir();
    s.address = parseServerAddress(runCluster(QStringLiteral("start")).split('\n').last());
    s.started = true;
    openAs(kAdmin, QStringLiteral("postgres"));
    serverSettings();
    if (needsRestart()) {
        admin().close();
        runCluster(QStringLiteral("halt"));
        runCluster(QStringLiteral("start"));
        openAs(kAdmin, QStringLiteral("postgres"));
    }
    s.database = QStringLiteral("bench_") + BenchDatabase::instance().key();
    // Copies of an earlier key and writable copies a broken run left behind.
    QStringList stale;
    QSqlQuery q = runSql(admin(),
                         QStringLiteral("SELECT datname FROM pg_database WHERE datname "
                                        "LIKE 'bench\\_%' AND datname <> :N"),
                         {{":N", s.database}});
    while (q.next())
        stale << q.value(0).toString();
    q.finish();
    for (const QString& name : stale)
        dropDatabase(name);
    if (!databaseExists(s.database))
        makeServerCopy(s.database);
    openAs(kRead, s.database);
    s.raw = openRaw(s.database);
    std::fprintf(stderr, "server %s, database %s\n", qPrintable(s.address.text()),
                 qPrintable(s.database));
}

void stopBenchServer()
{
    Server& s = server();
    if (!s.started)
        return;
    s.started = false;
    for (PGconn* c : s.rawCopies)
        PQfinish(c);
    s.rawCopies.clear();
    if (s.raw)
        PQfinish(s.raw);
    s.raw = nullptr;
    for (const QString& name : s.copies + QStringList{kRead}) {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
    try {
        for (const QString& name : s.copies)
            dropDatabase(s.database + QStringLiteral("_") + QString(name).replace('-', '_'));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    s.copies.clear();
    admin().close();
    QSqlDatabase::removeDatabase(kAdmin);
    runCluster(QStringLiteral("halt"));
}

QSqlDatabase serverConnection()
{
    return QSqlDatabase::database(kRead, false);
}

PGconn* serverBare()
{
    return server().raw;
}

QSqlDatabase serverWritableCopy(const QString& connection, PGconn** raw)
{
    Server& s = server();
    const QString name = s.database + QStringLiteral("_") + QString(connection).replace('-', '_');
    if (QSqlDatabase::contains(connection))
        QSqlDatabase::database(connection, false).close();
    // A template may have no other connection while it is copied: the run's
    // own read connections step aside for that moment.
    serverConnection().close();
    PQfinish(s.raw);
    dropDatabase(name);
    runSql(admin(), QStringLiteral("CREATE DATABASE \"%1\" TEMPLATE \"%2\" STRATEGY FILE_COPY")
                        .arg(name, s.database));
    openAs(kRead, s.database);
    s.raw = openRaw(s.database);
    if (!s.copies.contains(connection))
        s.copies << connection;
    if (raw) {
        *raw = openRaw(name);
        s.rawCopies.push_back(*raw);
    }
    return openAs(connection, name);
}
