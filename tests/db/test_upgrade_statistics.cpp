#include "db/schema.h"
#include "db/sql.h"
#include "db/upgrades.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QSqlQuery>
#include <QTest>
#include <QUuid>

// The step that brings in closed days, room blocks, the year-round flag of
// rooms and the establishment's kind and statistics identifier.
class TestUpgradeStatistics : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        if (TestEnv::onServer())
            QSKIP("upgrades of database files");
    }
    void previousVersionKeepsItsRowsAndGainsTheNewData()
    {
        TestEnv env({.openConnection = false});
        const QString file = env.path("stara.mdb");
        createDatabase(file, false, 1);
        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(file);
            QVERIFY(db.open());
            runSql(db, QStringLiteral("INSERT INTO Pokoje (Nr_Pokoju, Miejsc, Typ, Opis) VALUES "
                                      "('12', 2, 'STD', 'dwójka'), ('14', 3, 'STD', '')"));
            runSql(db, QStringLiteral("UPDATE Config SET Nazwa = 'Pod Lipami', Regon = '123'"));
            runSql(db, QStringLiteral("INSERT INTO Ksiazka (Identyfikator_g, Identyfikator_o, Od, "
                                      "\"Do\", Nr_pokoju, ID_Panstwo) VALUES (1, 1, '2026-06-30', "
                                      "'2026-07-03', '12', 3)"));
            upgradeDatabase(db, file);
            QCOMPARE(schemaVersionOf(db), kSchemaVersion);
            QCOMPARE(scalarSql(db, QStringLiteral("SELECT group_concat(Nr_Pokoju || ':' || "
                                                  "Miejsc || ':' || Caly_rok, ' ') FROM Pokoje"))
                         .toString(),
                     QStringLiteral("12:2:1 14:3:1"));
            QCOMPARE(scalarSql(db, QStringLiteral("SELECT Nazwa || '|' || Regon || '|' || "
                                                  "Rodzaj_obiektu || '|' || Id_statystyczny "
                                                  "FROM Config"))
                         .toString(),
                     QStringLiteral("Pod Lipami|123||"));
            QCOMPARE(scalarSql(db, QStringLiteral("SELECT count(*) FROM Ksiazka")).toInt(), 1);
            runSql(db, QStringLiteral("INSERT INTO Blokady (Nr_pokoju, Od, \"Do\", Powod) VALUES "
                                      "('12', '2026-07-10', '2026-07-12', 'remont')"));
            runSql(db, QStringLiteral("INSERT INTO Dni_zamkniete (Od, \"Do\") VALUES "
                                      "('2026-07-01', '2026-07-01')"));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

    // The database refuses periods that cannot be.
    void periodsTheDatabaseRefuses_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("block ending before it begins")
            << "INSERT INTO Blokady (Nr_pokoju, Od, \"Do\") VALUES ('12', '2026-07-10', "
               "'2026-07-09')";
        QTest::newRow("block without a room")
            << "INSERT INTO Blokady (Nr_pokoju, Od, \"Do\") VALUES ('', '2026-07-10', "
               "'2026-07-11')";
        QTest::newRow("block without an end")
            << "INSERT INTO Blokady (Nr_pokoju, Od) VALUES ('12', '2026-07-10')";
        QTest::newRow("closed day not a day")
            << "INSERT INTO Dni_zamkniete (Od, \"Do\") VALUES ('2026-02-30', '2026-03-01')";
        QTest::newRow("closure ending before it begins")
            << "INSERT INTO Dni_zamkniete (Od, \"Do\") VALUES ('2026-03-02', '2026-03-01')";
        QTest::newRow("year-round flag not yes or no")
            << "INSERT INTO Pokoje (Nr_Pokoju, Caly_rok) VALUES ('99', 2)";
    }
    void periodsTheDatabaseRefuses()
    {
        QFETCH(QString, sql);
        TestEnv env;
        QSqlQuery q(env.db());
        QVERIFY(!q.exec(sql));
    }
};

REZYDO_TEST(TestUpgradeStatistics);
#include "test_upgrade_statistics.moc"
