#include "bench/bench_database.h"

#include "db/polish_collation.h"
#include "db/schema.h"
#include "db/sql.h"
#include "db/synthetic_data.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

#include <cstdio>
#include <stdexcept>

namespace {
constexpr int kYears = 10;
constexpr int kRooms = 300;
constexpr const char* kConnection = "bench";

// The cache is good while the schema and the generator are the same.
QString cacheKey()
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const char* name :
         {":/db/schema.sql", ":/db/indexes.sql", ":/db/views.sql", ":/db/seed.sql"}) {
        QFile f(QString::fromLatin1(name));
        if (f.open(QIODevice::ReadOnly))
            hash.addData(f.readAll());
    }
    hash.addData(QByteArray(REZYDO_BENCH_GENERATOR_STAMP));
    return QString::fromLatin1(hash.result().toHex().left(10));
}

void openQt(const QString& path, bool readOnly)
{
    QSqlDatabase db =
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QString::fromLatin1(kConnection));
    db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) +
                       (readOnly ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=rw")));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
    if (!db.open())
        throw std::runtime_error(db.lastError().text().toStdString());
    addPolishText(db);
}

void closeQt()
{
    QSqlDatabase::database(QString::fromLatin1(kConnection)).close();
    QSqlDatabase::removeDatabase(QString::fromLatin1(kConnection));
}

void makeSynthetic(const QString& path)
{
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    std::fprintf(stderr, "making %s (%d years, %d rooms)...\n", qPrintable(path), kYears, kRooms);
    createDatabase(part, false);
    openQt(part, false);
    insertSyntheticData(QSqlDatabase::database(QString::fromLatin1(kConnection)), kYears, kRooms);
    closeQt();
    QFile::rename(part, path); // whole or not at all
}

// A copy with every index of the schema dropped: the "before" of each index.
void makeUnindexed(const QString& from, const QString& path)
{
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    QFile::copy(from, part);
    openQt(part, false);
    QSqlDatabase db = QSqlDatabase::database(QString::fromLatin1(kConnection));
    QStringList names;
    QSqlQuery q = runSql(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' "
                                            "AND sql IS NOT NULL"));
    while (q.next())
        names << q.value(0).toString();
    q.finish();
    for (const QString& n : names)
        runSql(db, QStringLiteral("DROP INDEX \"%1\"").arg(n));
    closeQt();
    QFile::rename(part, path);
}
} // namespace

BenchDatabase& BenchDatabase::instance()
{
    static BenchDatabase db;
    return db;
}

BenchDatabase::BenchDatabase()
{
    const QString dir = QString::fromUtf8(REZYDO_BENCH_DATA);
    QDir().mkpath(dir);
    m_key = cacheKey();
    const QString base =
        QStringLiteral("%1/synthetic-%2x%3-%4").arg(dir).arg(kYears).arg(kRooms).arg(m_key);
    const QString indexed = base + QStringLiteral(".mdb");
    if (!QFile::exists(indexed))
        makeSynthetic(indexed);
    m_indexed = qgetenv("REZYDO_BENCH_INDEXES") != "0";
    m_path = indexed;
    if (!m_indexed) {
        m_path = base + QStringLiteral("-noidx.mdb");
        if (!QFile::exists(m_path))
            makeUnindexed(indexed, m_path);
    }
    openQt(m_path, true);
    m_anchor = QDate::fromString(
        qtScalar(qt(), QStringLiteral("SELECT max(Od) FROM Ksiazka")).toString(), Qt::ISODate);
    if (sqlite3_open_v2(m_path.toUtf8().constData(), &m_bare, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK)
        throw std::runtime_error("cannot open the benchmark database");
    addPolishText(m_bare);
}

QString workingCopyPath()
{
    return BenchDatabase::instance().path() + QStringLiteral("-work");
}

QSqlDatabase workingCopy()
{
    if (onServer()) {
        workingCopyServerBare(); // made on first use
        return QSqlDatabase::database(QStringLiteral("bench-server-write"));
    }
    static const bool made = [] {
        const QString p = workingCopyPath();
        QFile::remove(p);
        QFile::copy(BenchDatabase::instance().path(), p);
        QFile(p).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-write"));
        db.setDatabaseName(p);
        if (!db.open())
            throw std::runtime_error(db.lastError().text().toStdString());
        addPolishText(db);
        for (const char* pragma :
             {"PRAGMA journal_mode=DELETE", "PRAGMA synchronous=FULL", "PRAGMA busy_timeout=5000"})
            runSql(db, QString::fromLatin1(pragma));
        return true;
    }();
    (void)made;
    return QSqlDatabase::database(QStringLiteral("bench-write"));
}

pg_conn* workingCopyServerBare()
{
    // One copy of the server database per run.
    static pg_conn* raw = [] {
        pg_conn* c = nullptr;
        serverWritableCopy(QStringLiteral("bench-server-write"), &c);
        return c;
    }();
    return raw;
}

QSqlDatabase BenchDatabase::qt() const
{
    return onServer() ? serverConnection()
                      : QSqlDatabase::database(QString::fromLatin1(kConnection));
}

namespace {
BenchEngine g_engine = BenchEngine::File;

void registerSide(BenchEngine engine, const std::string& name, BenchFunction f,
                  const BenchTuning& tune)
{
    benchmark::internal::Benchmark* b =
        benchmark::RegisterBenchmark(name.c_str(), [engine, f](benchmark::State& state) {
            g_engine = engine;
            try {
                f(state);
            } catch (const std::exception& e) {
                state.SkipWithError(e.what());
            }
            g_engine = BenchEngine::File;
        });
    b->Unit(benchmark::kMillisecond);
    if (tune)
        tune(b);
}
} // namespace

BenchEngine benchEngine()
{
    return g_engine;
}

bool onServer()
{
    return g_engine == BenchEngine::Server;
}

bool benchWithServer()
{
    static const bool with =
        qgetenv("REZYDO_BENCH_SERVER") == "1" && qgetenv("REZYDO_BENCH_INDEXES") != "0";
    return with;
}

void registerOn(BenchEngine engine, const std::string& name, BenchFunction f,
                const BenchTuning& tune)
{
    if (engine == BenchEngine::File || benchWithServer())
        registerSide(engine, name, std::move(f), tune);
}

void registerProgram(const std::string& name, BenchFunction f, const BenchTuning& tune)
{
    registerOn(BenchEngine::File, name + "/program", f, tune);
    registerOn(BenchEngine::Server, name + "/server", f, tune);
}

void registerBare(const std::string& name, BenchFunction f, const BenchTuning& tune)
{
    registerOn(BenchEngine::File, name + "/bare", f, tune);
    registerOn(BenchEngine::Server, name + "/serverbare", f, tune);
}

int rawRows(const char* sql, const Bindings& b)
{
    return onServer() ? pgRows(serverBare(), sql, b)
                      : bareRows(BenchDatabase::instance().bare(), sql, b);
}

qlonglong rawScalar(const char* sql, const Bindings& b)
{
    return onServer() ? pgScalar(serverBare(), sql, b)
                      : bareScalar(BenchDatabase::instance().bare(), sql, b);
}

void rawExec(const char* sql)
{
    if (onServer())
        pgExec(serverBare(), sql);
    else
        bareExec(BenchDatabase::instance().bare(), sql);
}

std::vector<QVariantList> loadRows(QSqlDatabase db, const QString& sql, const Bindings& b)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw DbError(q.lastError());
    for (const auto& [name, value] : b)
        q.bindValue(QString::fromLatin1(name), value);
    if (!q.exec())
        throw DbError(q.lastError());
    std::vector<QVariantList> rows;
    const int columns = q.record().count();
    while (q.next()) {
        QVariantList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
            row.append(q.value(c));
        rows.push_back(std::move(row));
    }
    return rows;
}

namespace {
sqlite3_stmt* prepareBare(sqlite3* db, const char* sql, const Bindings& b)
{
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    for (const auto& [name, value] : b) {
        const int at = sqlite3_bind_parameter_index(s, name);
        if (value.typeId() == QMetaType::QString) {
            const QByteArray text = value.toString().toUtf8();
            sqlite3_bind_text(s, at, text.constData(), static_cast<int>(text.size()),
                              SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_int64(s, at, value.toLongLong());
        }
    }
    return s;
}
} // namespace

void bareExec(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
}

int bareRows(sqlite3* db, const char* sql, const Bindings& b)
{
    sqlite3_stmt* s = prepareBare(db, sql, b);
    int rows = 0;
    std::size_t touched = 0;
    const int columns = sqlite3_column_count(s);
    int rc = 0;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        ++rows;
        for (int c = 0; c < columns; ++c) {
            if (sqlite3_column_type(s, c) == SQLITE_TEXT)
                touched += static_cast<std::size_t>(sqlite3_column_bytes(s, c)) +
                           static_cast<std::size_t>(sqlite3_column_text(s, c)[0]);
            else
                touched += static_cast<std::size_t>(sqlite3_column_int64(s, c));
        }
    }
    sqlite3_finalize(s);
    if (rc != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(db));
    return touched == 1 ? rows + 0 : rows; // keeps the reads from being optimised away
}

QVariant qtScalar(QSqlDatabase db, const QString& sql, const Bindings& b)
{
    const std::vector<QVariantList> rows = loadRows(db, sql, b);
    return rows.empty() || rows.front().isEmpty() ? QVariant() : rows.front().front();
}

sqlite3_int64 bareScalar(sqlite3* db, const char* sql, const Bindings& b)
{
    sqlite3_stmt* s = prepareBare(db, sql, b);
    const sqlite3_int64 v = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : 0;
    sqlite3_finalize(s);
    return v;
}
