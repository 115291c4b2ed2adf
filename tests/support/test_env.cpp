#include "tests/support/test_env.h"

#include "core/clock.h"
#include "core/program_dir.h"
#include "core/settings.h"
#include "core/ui/modal.h"
#include "db/data_module.h"
#include "db/polish_collation.h"
#include "db/schema.h"
#include "db/sql.h"

#include <QDialog>
#include <QDir>
#include <QSettings>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QUuid>

TestEnv::TestEnv()
    : TestEnv(Options{})
{
}

bool TestEnv::onServer()
{
    return !qEnvironmentVariableIsEmpty("REZYDO_TEST_SERVER");
}

ServerAddress TestEnv::testServer(const QString& database)
{
    ServerAddress address = parseServerAddress(qEnvironmentVariable("REZYDO_TEST_SERVER"));
    if (!database.isEmpty())
        address.database = database;
    return address;
}

void runOnTestServer(const QString& sql)
{
    const QString name = QStringLiteral("rezydo-test-server");
    {
        QSqlDatabase db = QSqlDatabase::contains(name)
                              ? QSqlDatabase::database(name, false)
                              : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        if (!db.isOpen())
            openServerConnection(db, TestEnv::testServer());
        QSqlQuery q(db);
        if (!q.exec(sql))
            qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    }
}

TestEnv::TestEnv(const Options& options)
{
    QVERIFY2(m_dir.isValid(), "no temporary folder");
    setProgramDirectory(m_dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, path(QStringLiteral("user")));
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope,
                       path(QStringLiteral("machine")));
    setNow(options.now);

    auto p = std::make_unique<ScriptedPrompter>();
    m_prompter = p.get();
    m_previousPrompter = installPrompter(std::move(p));

    setModalHandler([this](QDialog& dialog) {
        if (modal.empty()) {
            ++unexpectedModals;
            dialog.reject();
            return static_cast<int>(QDialog::Rejected);
        }
        auto handler = std::move(modal.front());
        modal.pop_front();
        return handler(dialog);
    });

    if (options.createDatabase && onServer()) {
        m_serverDatabase =
            QStringLiteral("rezydo_test_") + QUuid::createUuid().toString(QUuid::Id128);
        runOnTestServer(QStringLiteral("CREATE DATABASE %1").arg(m_serverDatabase));
        const ServerAddress address = testServer(m_serverDatabase);
        createServerDatabase(address, options.demo);
        QVERIFY(writeSetting(QStringLiteral("SerwerBazy"), address.text()));
    } else if (options.createDatabase) {
        QDir().mkpath(path(QStringLiteral("Baza")));
        createDatabase(databaseFile(), options.demo);
    }
    m_data = std::make_unique<DataModule>();
    if (options.createDatabase && options.openConnection)
        m_data->openConnection();
}

TestEnv::~TestEnv()
{
    m_data.reset();
    if (!m_serverDatabase.isEmpty())
        runOnTestServer(QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(m_serverDatabase));
    setModalHandler({});
    installPrompter(std::move(m_previousPrompter));
    setClock({});
    setProgramDirectory({});
}

QString TestEnv::path(const QString& relative) const
{
    return QDir(m_dir.path()).filePath(relative);
}

QString TestEnv::databaseFile() const
{
    return path(QStringLiteral("Baza/Baza.mdb"));
}

QSqlDatabase TestEnv::db()
{
    return m_data->database();
}

namespace {
QSqlQuery run(QSqlDatabase db, const QString& sql, const QVariantList& values)
{
    QSqlQuery q(db);
    if (!q.prepare(sql))
        qFatal("prepare failed: %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec())
        qFatal("exec failed: %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    return q;
}
} // namespace

void TestEnv::exec(const QString& sql, const QVariantList& values)
{
    run(db(), sql, values);
}

QVariant TestEnv::scalar(const QString& sql, const QVariantList& values)
{
    QSqlQuery q = run(db(), sql, values);
    return q.next() ? q.value(0) : QVariant();
}

QStringList TestEnv::rows(const QString& sql, const QVariantList& values)
{
    QSqlQuery q = run(db(), sql, values);
    QStringList out;
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < q.record().count(); ++i)
            cells << (q.value(i).isNull() ? QStringLiteral("NULL") : q.value(i).toString());
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

void TestEnv::setNow(const QDateTime& now)
{
    setClock([now] { return now; });
}

FileConnection::FileConnection(const QString& file)
    : m_name(QUuid::createUuid().toString())
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(file);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (db.open())
        addPolishText(db); // indexes may be in Polish order
}

FileConnection::~FileConnection()
{
    QSqlDatabase::database(m_name, false).close();
    QSqlDatabase::removeDatabase(m_name);
}

void writeWithoutUpgrade(const QString& file, const QStringList& statements)
{
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        QVERIFY(db.open());
        for (const QString& sql : statements)
            runSql(db, sql);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}
