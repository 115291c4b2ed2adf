#include "core/error.h"
#include "db/data_module.h"
#include "db/schema.h"
#include "db/sql.h"
#include "db/upgrades.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTest>
#include <QThread>

#include <atomic>

namespace {
QStringList schemaOf(QSqlDatabase db)
{
    QSqlQuery q = runSql(db, QStringLiteral("SELECT type || ' ' || name || ': ' || "
                                            "coalesce(sql, '') FROM sqlite_master ORDER BY name"));
    QStringList out;
    while (q.next())
        out << q.value(0).toString();
    return out;
}

QString countsOf(QSqlDatabase db)
{
    QStringList out;
    for (const char* table : {"Rez_hot", "Rez_msc", "Kwat_hot", "Kwat_msc", "Ksiazka", "Arch_os",
                              "Kalk", "Kalk_det", "Kwit", "Pokoje", "Cennik", "Panstwo"})
        out << QStringLiteral("%1=%2")
                   .arg(QLatin1String(table))
                   .arg(scalarSql(
                            db, QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(table)))
                            .toInt());
    return out.join(QLatin1Char(' '));
}

const QString kRoomsWithFloor = QStringLiteral(
    "CREATE TABLE Pokoje (Nr_Pokoju TEXT NOT NULL PRIMARY KEY CHECK (length(Nr_Pokoju) BETWEEN 1 "
    "AND 9), Miejsc INTEGER, Typ TEXT DEFAULT '', Opis TEXT DEFAULT '', Pietro INTEGER NOT NULL "
    "DEFAULT 0)");
} // namespace

class TestUpgrades : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        if (TestEnv::onServer())
            QSKIP("upgrades of database files");
    }
    void historyIsNumberedToTheNewestVersion()
    {
        int expected = 2;
        for (const UpgradeStep& step : upgradeSteps())
            QCOMPARE(step.version, expected++);
        QCOMPARE(expected - 1, kSchemaVersion);
    }

    // Every earlier version, made empty and brought forward, has exactly the
    // schema of a new file.
    void everyEarlierVersionUpgradesToTheNewSchema()
    {
        TestEnv env;
        const QStringList newest = schemaOf(env.db());
        for (int version = 1; version < kSchemaVersion; ++version) {
            const QString file = env.path(QStringLiteral("v%1.mdb").arg(version));
            createDatabase(file, false, version);
            FileConnection c(file);
            QCOMPARE(schemaVersionOf(c.db()), version);
            upgradeDatabase(c.db(), file);
            QCOMPARE(schemaVersionOf(c.db()), kSchemaVersion);
            QCOMPARE(schemaOf(c.db()), newest);
            QVERIFY(QFile::exists(file + QStringLiteral(".przed-aktualizacja-%1").arg(version)));
        }
    }

    // The demo file of the first version, as the program of that time made it,
    // opens through the data module and keeps every row.
    void firstVersionDemoFileOpens()
    {
        TestEnv env({.createDatabase = false, .openConnection = false});
        QDir().mkpath(env.path("Baza"));
        QVERIFY(QFile::copy(QStringLiteral(REZYDO_DB_DATA_DIR "/baza-v1-demo.mdb"),
                            env.databaseFile()));
        QFile::setPermissions(env.databaseFile(), QFile::ReadOwner | QFile::WriteOwner);
        QString before;
        {
            FileConnection c(env.databaseFile());
            QCOMPARE(schemaVersionOf(c.db()), 1);
            before = countsOf(c.db());
        }
        env.data().openConnection();
        QCOMPARE(schemaVersionOf(env.db()), kSchemaVersion);
        QCOMPARE(countsOf(env.db()), before);
        QCOMPARE(env.scalar("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
        if (kSchemaVersion > 1)
            QVERIFY(QFile::exists(env.databaseFile() + ".przed-aktualizacja-1"));
    }

    void newerFileRefusedAndLeftAlone()
    {
        TestEnv env({.openConnection = false});
        {
            FileConnection c(env.databaseFile());
            runSql(c.db(), QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion + 1));
        }
        try {
            env.data().openConnection();
            QFAIL("a newer file was opened");
        } catch (const RezydoError& e) {
            QVERIFY2(e.text().startsWith("Baza danych pochodzi z nowszej wersji programu"),
                     qPrintable(e.text()));
        }
        QVERIFY(!env.data().isOpen());
        FileConnection c(env.databaseFile());
        QCOMPARE(schemaVersionOf(c.db()), kSchemaVersion + 1);
    }

    // Steps that rebuild a table keep its rows, its indexes and every view; a
    // step that fails leaves the file exactly as it was, with the copy beside.
    void stepsRunAllOrNothing_data()
    {
        QTest::addColumn<bool>("lastFails");
        QTest::newRow("all steps succeed") << false;
        QTest::newRow("the last step fails") << true;
    }
    void stepsRunAllOrNothing()
    {
        QFETCH(bool, lastFails);
        TestEnv env({.openConnection = false});
        const QString file = env.path("v1.mdb");
        createDatabase(file, false, 1);
        FileConnection c(file);
        runSql(c.db(), QStringLiteral("INSERT INTO Pokoje VALUES ('12', 2, 'STD', 'dwójka')"));
        runSql(c.db(), QStringLiteral("INSERT INTO Kwat_msc VALUES (1, '12', '2026-07-01', "
                                      "'2026-07-03', 2, 'M')"));
        const QStringList before = schemaOf(c.db());
        const std::vector<UpgradeStep> steps = {
            {2,
             [](QSqlDatabase db) { rebuildTable(db, QStringLiteral("Pokoje"), kRoomsWithFloor); }},
            {3,
             [lastFails](QSqlDatabase db) {
                 runSql(db, QStringLiteral("UPDATE Pokoje SET Pietro = 1"));
                 if (lastFails)
                     runSql(db, QStringLiteral("INSERT INTO Brak VALUES (1)"));
             }},
        };
        try {
            upgradeDatabase(c.db(), file, steps, 3);
            QVERIFY(!lastFails);
            QCOMPARE(schemaVersionOf(c.db()), 3);
            QCOMPARE(
                scalarSql(c.db(), QStringLiteral("SELECT Opis || Pietro FROM Pokoje")).toString(),
                QStringLiteral("dwójka1"));
            QCOMPARE(scalarSql(c.db(), QStringLiteral("SELECT count(*) FROM Miejsca")).toInt(), 1);
            QStringList after = schemaOf(c.db());
            QCOMPARE(after.size(), before.size());
        } catch (const RezydoError& e) {
            QVERIFY(lastFails);
            QVERIFY2(e.text().startsWith("Nie udało się zaktualizować bazy danych"),
                     qPrintable(e.text()));
            QVERIFY(e.text().contains("Baza pozostała bez zmian."));
            QCOMPARE(schemaVersionOf(c.db()), 1);
            QCOMPARE(schemaOf(c.db()), before);
        }
        FileConnection copy(file + ".przed-aktualizacja-1");
        QCOMPARE(schemaVersionOf(copy.db()), 1);
        QCOMPARE(schemaOf(copy.db()), before);
    }

    // A second copy opening the file while the first upgrades it waits for
    // the write lock and then finds nothing left to do.
    void secondCopyWaitsAndSeesTheNewVersion()
    {
        TestEnv env({.openConnection = false});
        const QString file = env.path("v1.mdb");
        createDatabase(file, false, 1);
        std::atomic<int> runs = 0;
        std::atomic<bool> inside = false;
        const std::vector<UpgradeStep> steps = {
            {2, [&](QSqlDatabase db) {
                 ++runs;
                 inside = true;
                 QThread::msleep(400);
                 runSql(db, QStringLiteral("CREATE TABLE Nowa (x)"));
             }}};
        QString secondFailure;
        int secondSaw = 0;
        QThread* second = QThread::create([&] {
            while (!inside)
                QThread::msleep(5);
            FileConnection c(file);
            try {
                upgradeDatabase(c.db(), file, steps, 2);
                secondSaw = schemaVersionOf(c.db());
            } catch (const RezydoError& e) {
                secondFailure = e.text();
            }
        });
        second->start();
        {
            FileConnection c(file);
            upgradeDatabase(c.db(), file, steps, 2);
        }
        QVERIFY(second->wait(10000));
        delete second;
        QCOMPARE(secondFailure, QString());
        QCOMPARE(secondSaw, 2);
        QCOMPARE(runs.load(), 1);
    }
};

REZYDO_TEST(TestUpgrades);
#include "test_upgrades.moc"
