#include "core/error.h"
#include "core/settings.h"
#include "db/data_module.h"
#include "db/engine.h"
#include "db/schema.h"
#include "db/sql.h"
#include "db/upgrades.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <vector>

class TestEngine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void serverAddressRead_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // the text back, or a part of the error
        QTest::addColumn<bool>("valid");
        QTest::newRow("all four") << "host=db.hotel port=5433 dbname=rezydo user=recepcja"
                                  << "host=db.hotel port=5433 dbname=rezydo user=recepcja" << true;
        QTest::newRow("defaults") << "  dbname=rezydo "
                                  << "port=5432 dbname=rezydo" << true;
        QTest::newRow("quoted socket folder")
            << "host='/tmp/a b' dbname='it\\'s'"
            << "host='/tmp/a b' port=5432 dbname='it\\'s'" << true;
        QTest::newRow("password") << "dbname=r password=x"
                                  << "hasła nie zapisuje się" << false;
        QTest::newRow("no database") << "host=x"
                                     << "brak nazwy bazy" << false;
        QTest::newRow("bad port") << "dbname=r port=piec"
                                  << "nie jest numerem portu" << false;
        QTest::newRow("unknown key") << "dbname=r sslmode=require"
                                     << "nieznany klucz „sslmode”" << false;
        QTest::newRow("twice") << "dbname=r dbname=s"
                               << "podano dwa razy" << false;
        QTest::newRow("no equals") << "dbname"
                                   << "brak znaku „=”" << false;
        QTest::newRow("open quote") << "dbname='r"
                                    << "niezamknięty apostrof" << false;
    }
    void serverAddressRead()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QFETCH(bool, valid);
        try {
            const ServerAddress a = parseServerAddress(text);
            QVERIFY2(valid, qPrintable(a.text()));
            QCOMPARE(a.text(), expected);
            QCOMPARE(parseServerAddress(a.text()), a);
        } catch (const RezydoError& e) {
            QVERIFY2(!valid, qPrintable(e.text()));
            QVERIFY2(e.text().contains(expected), qPrintable(e.text()));
        }
    }

    void malformedSettingNamedInTheMessage()
    {
        TestEnv::Options o;
        o.createDatabase = false;
        TestEnv env(o);
        QVERIFY(!configuredServer());
        QVERIFY(writeSetting("SerwerBazy", "host=x"));
        try {
            env.data().openConnection();
            QFAIL("opened with a malformed SerwerBazy");
        } catch (const RezydoError& e) {
            QVERIFY2(e.text().startsWith("Ustawienie SerwerBazy: Nieprawidłowy opis serwera"),
                     qPrintable(e.text()));
        }
    }

    void engineOfTheConnection_data()
    {
        QTest::addColumn<bool>("demo");
        QTest::newRow("empty") << false;
        QTest::newRow("demo hotel") << true;
    }
    void engineOfTheConnection()
    {
        QFETCH(bool, demo);
        TestEnv::Options o;
        o.demo = demo;
        TestEnv env(o);
        QCOMPARE(engineOf(env.db()), TestEnv::onServer() ? Engine::Server : Engine::File);
        QVERIFY(isRezydoDatabase(env.db()));
        QCOMPARE(schemaVersionOf(env.db()), kSchemaVersion);
        QCOMPARE(env.scalar("SELECT count(*) FROM Pokoje").toInt() > 0, demo);
    }

    // What the statements written once rely on, on either engine.
    void statementsWrittenOnce()
    {
        TestEnv env;
        QSqlDatabase db = env.db();
        // A new key comes from the insert; a key given by hand moves the
        // counter past it.
        QSqlQuery q = runSql(db, "INSERT INTO Kwat_hot (Nazwa) VALUES ('A')");
        const qlonglong first = q.lastInsertId().toLongLong();
        QCOMPARE(env.scalar("SELECT Nazwa FROM Kwat_hot WHERE Identyfikator = ?", {first}),
                 QVariant("A"));
        env.exec("INSERT INTO Kwat_hot (Identyfikator, Nazwa) VALUES (?, 'B')", {first + 10});
        q = runSql(db, "INSERT INTO Kwat_hot (Nazwa) VALUES ('C')");
        QCOMPARE(q.lastInsertId().toLongLong(), first + 11);
        // Mixed-case names unquoted, "Do" quoted, ifnull, the Polish order.
        for (const char* name : {"zebra", "Łoś", "lis", "Żuk", "De Gaulle", "ćma", "de Gaulle"})
            env.exec("INSERT INTO Arch_os (Nazwisko) VALUES (?)", {name});
        QCOMPARE(env.rows("SELECT ifnull(Nazwisko, '') FROM Arch_os "
                          "ORDER BY ifnull(Nazwisko, '') COLLATE PL"),
                 QStringList({"ćma", "de Gaulle", "De Gaulle", "lis", "Łoś", "zebra", "Żuk"}));
        QCOMPARE(env.rows("SELECT Nazwisko FROM Arch_os WHERE casefold(Nazwisko) LIKE "
                          "casefold(?) ESCAPE '\\'",
                          {likeContains("ŁO")}),
                 QStringList({"Łoś"}));
    }

    void checksRefuse_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("no such day")
            << "INSERT INTO Kwit (Identyfikator, Data) VALUES (1, '2026-02-30')";
        QTest::newRow("not a day")
            << "INSERT INTO Kwit (Identyfikator, Data) VALUES (1, '1.02.2026')";
        QTest::newRow("too long") << "INSERT INTO Pokoje (Nr_Pokoju) VALUES ('1234567890')";
        QTest::newRow("not whole") << "INSERT INTO Kwit (Identyfikator, Wplata) VALUES (1, 'dużo')";
        QTest::newRow("out of range") << "INSERT INTO Rez_hot (Osob) VALUES (40000)";
        QTest::newRow("periods back") << "INSERT INTO Blokady (Nr_pokoju, Od, \"Do\") "
                                         "VALUES ('1', '2026-05-02', '2026-05-01')";
        QTest::newRow("duplicate key") << "INSERT INTO Cennik (Typ) VALUES ('A'), ('A')";
    }
    void checksRefuse()
    {
        QFETCH(QString, sql);
        TestEnv env;
        QVERIFY_THROWS_EXCEPTION(DbError, runSql(env.db(), sql));
        QCOMPARE(env.scalar("SELECT count(*) FROM Kwit").toInt(), 0);
        env.exec("INSERT INTO Kwit (Identyfikator, Data) VALUES (1, '2024-02-29')");
    }

    void transactionAllOrNothing()
    {
        TestEnv env;
        {
            Transaction tx(env.db());
            runSql(env.db(), "INSERT INTO Pokoje (Nr_Pokoju) VALUES ('101')");
        }
        QCOMPARE(env.scalar("SELECT count(*) FROM Pokoje").toInt(), 0);
        Transaction tx(env.db());
        runSql(env.db(), "INSERT INTO Pokoje (Nr_Pokoju) VALUES ('101')");
        if (TestEnv::onServer())
            QCOMPARE(env.scalar("SELECT current_setting('transaction_isolation')").toString(),
                     QString("serializable"));
        tx.commit();
        QCOMPARE(env.scalar("SELECT count(*) FROM Pokoje").toInt(), 1);
    }

    // An item that fails inside a transaction takes only its own rows back;
    // the items before and after it are written.
    void failedItemSkippedAlone()
    {
        TestEnv env;
        Transaction tx(env.db());
        for (const QString& room : {QString("101"), QString("za-dlugi-numer"), QString("102")}) {
            Savepoint item(env.db());
            try {
                runSql(env.db(), "INSERT INTO Pokoje (Nr_Pokoju, Opis) VALUES (:n, 'x')",
                       {{":n", room}});
                item.release();
            } catch (const DbError&) {
            }
        }
        tx.commit();
        QCOMPARE(env.rows("SELECT Nr_Pokoju FROM Pokoje ORDER BY rowid"),
                 QStringList({"101", "102"}));
    }

    // The row position means the same on both engines: the order rows were
    // added in, the key itself where the key is a whole number; the setup
    // cursor does not list it among the columns.
    void rowPositions()
    {
        TestEnv env;
        for (const char* room : {"3", "1", "2"})
            env.exec("INSERT INTO Pokoje (Nr_Pokoju) VALUES (?)", {room});
        env.exec("UPDATE Pokoje SET Opis = 'zmieniony' WHERE Nr_Pokoju = '3'");
        QCOMPARE(env.rows("SELECT Nr_Pokoju FROM Pokoje ORDER BY rowid"),
                 QStringList({"3", "1", "2"}));
        env.exec("INSERT INTO Arch_os (Identyfikator_o, Nazwisko) VALUES (40, 'A')");
        QCOMPARE(env.scalar("SELECT rowid FROM Arch_os WHERE Nazwisko = 'A'").toInt(), 40);
        env.data().rooms().open();
        QVERIFY(!env.data().rooms().columns().contains("rowid", Qt::CaseInsensitive));
        QCOMPARE(env.data().rooms().columns().size(), 5);
    }

    // Two desks read the rooms and add one each at the same moment: the
    // server refuses the one committing second, which then runs again and
    // sees the other's room.
    void conflictingTransactionRunsAgain()
    {
        if (!TestEnv::onServer())
            QSKIP("the file lets only one desk write at a time");
        TestEnv env;
        {
            QSqlDatabase other = QSqlDatabase::addDatabase("QPSQL", "druga-recepcja");
            openServerConnection(other, *configuredServer());
            int attempts = 0;
            runInTransaction(env.db(), [&] {
                ++attempts;
                const int rooms = scalarSql(env.db(), "SELECT count(*) FROM Pokoje").toInt();
                if (attempts == 1) {
                    Transaction tx(other);
                    scalarSql(other, "SELECT count(*) FROM Pokoje");
                    runSql(other, "INSERT INTO Pokoje (Nr_Pokoju) VALUES ('B')");
                    tx.commit();
                }
                runSql(env.db(), "INSERT INTO Pokoje (Nr_Pokoju, Miejsc) VALUES ('A', :M)",
                       {{":M", rooms}});
            });
            QCOMPARE(attempts, 2);
            other.close();
        }
        QSqlDatabase::removeDatabase("druga-recepcja");
        QCOMPARE(env.rows("SELECT Nr_Pokoju, Miejsc FROM Pokoje ORDER BY Nr_Pokoju"),
                 QStringList({"A|1", "B|NULL"}));
    }

    // A refusal that is not a conflict ends the operation at once.
    void refusalNotRunAgain()
    {
        TestEnv env;
        int attempts = 0;
        QString message;
        try {
            runInTransaction(env.db(), [&] {
                ++attempts;
                runSql(env.db(), "INSERT INTO Pokoje (Nr_Pokoju) VALUES ('1')");
                runSql(env.db(), "INSERT INTO Pokoje (Nr_Pokoju) VALUES ('1')");
            });
        } catch (const DbError& e) {
            message = e.text();
        }
        QCOMPARE(attempts, 1);
        // The engine's own one-line message.
        QCOMPARE(message,
                 TestEnv::onServer()
                     ? QString("duplicate key value violates unique constraint \"pokoje_pkey\"")
                     : QString("UNIQUE constraint failed: Pokoje.Nr_Pokoju"));
        QCOMPARE(env.scalar("SELECT count(*) FROM Pokoje").toInt(), 0);
    }

    // What a user reads of a failed statement: the engine's own words on one
    // line, without the server's severity, details and code or the driver's
    // name; the file's words as they come.
    void messageOfAFailedStatement_data()
    {
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("server refusal")
            << "QPSQL: Unable to create query"
            << "ERROR:  new row for relation \"kalk_det\" violates check constraint "
               "\"kalk_det_dni_check\"\nDETAIL:  Failing row contains (3, 1).\n(23514)"
            << "23514"
            << "new row for relation \"kalk_det\" violates check constraint \"kalk_det_dni_check\"";
        QTest::newRow("server in Polish")
            << "QPSQL: Unable to create query"
            << "BŁĄD:  podwójna wartość klucza narusza ograniczenie unikalności \"pokoje_pkey\"\n"
               "SZCZEGÓŁY:  Klucz (nr_pokoju)=(1) już istnieje.\n(23505)"
            << "23505"
            << "podwójna wartość klucza narusza ograniczenie unikalności \"pokoje_pkey\"";
        QTest::newRow("connection lost")
            << "QPSQL: Unable to create query"
            << "server closed the connection unexpectedly\n\tThis probably means the server "
               "terminated abnormally\n\tbefore or while processing the request.\n"
            << ""
            << "server closed the connection unexpectedly";
        QTest::newRow("no words of the server") << "QPSQL: Unable to create query"
                                                << "(08006)"
                                                << "08006"
                                                << "Unable to create query";
        QTest::newRow("file refusal") << "Unable to fetch row"
                                      << "UNIQUE constraint failed: Pokoje.Nr_Pokoju"
                                      << "2067"
                                      << "UNIQUE constraint failed: Pokoje.Nr_Pokoju";
        QTest::newRow("file without words of the engine") << "Parameter count mismatch"
                                                          << ""
                                                          << ""
                                                          << "Parameter count mismatch";
    }

    void messageOfAFailedStatement()
    {
        QFETCH(QString, driver);
        QFETCH(QString, database);
        QFETCH(QString, code);
        QFETCH(QString, text);
        QCOMPARE(DbError(QSqlError(driver, database, QSqlError::StatementError, code)).text(),
                 text);
    }

    // A step after the server's first schema runs its server twin; one
    // without a twin leaves the server database as it was.
    void serverStepsRunTheirTwins()
    {
        if (!TestEnv::onServer())
            QSKIP("the steps of a server database");
        TestEnv env;
        const auto addTable = [](QSqlDatabase db) { runSql(db, "CREATE TABLE Nowa (x integer)"); };
        const std::vector<UpgradeStep> steps = {{kSchemaVersion + 1, {}, addTable}};
        upgradeDatabase(env.db(), "serwer", steps, kSchemaVersion + 1);
        QCOMPARE(schemaVersionOf(env.db()), kSchemaVersion + 1);
        QCOMPARE(env.scalar("SELECT count(*) FROM Nowa").toInt(), 0);

        const std::vector<UpgradeStep> withoutTwin = {{kSchemaVersion + 2, addTable}};
        try {
            upgradeDatabase(env.db(), "serwer", withoutTwin, kSchemaVersion + 2);
            QFAIL("a step without its server twin ran");
        } catch (const RezydoError& e) {
            QVERIFY2(e.text().contains("nie ma postaci dla serwera"), qPrintable(e.text()));
        }
        QCOMPARE(schemaVersionOf(env.db()), kSchemaVersion + 1);
    }

    void serverDatabaseMadeOnlyWhenEmpty()
    {
        if (!TestEnv::onServer())
            QSKIP("a server database");
        TestEnv env;
        const ServerAddress address = *configuredServer();
        try {
            createServerDatabase(address, false);
            QFAIL("made the schema over an existing one");
        } catch (const RezydoError& e) {
            QVERIFY2(e.text().contains("nie jest pusta"), qPrintable(e.text()));
        }
        QCOMPARE(
            env.scalar("SELECT count(*) FROM Panstwo WHERE ID = 1 AND Nazwa = 'Polska'").toInt(),
            1);
        QCOMPARE(env.scalar("SELECT count(*) FROM Stawki_VAT").toInt(), 7);
        // An empty database, or one that is not ours, is refused at opening.
        env.data().closeConnection();
        runOnTestServer("CREATE DATABASE rezydo_obca");
        QVERIFY(writeSetting("SerwerBazy", TestEnv::testServer("rezydo_obca").text()));
        try {
            env.data().openConnection();
            QFAIL("opened a database that is not ours");
        } catch (const RezydoError& e) {
            QVERIFY2(e.text().contains("nie jest bazą danych programu Rezydo"),
                     qPrintable(e.text()));
        }
        runOnTestServer("DROP DATABASE rezydo_obca WITH (FORCE)");
    }
};

REZYDO_TEST(TestEngine);
#include "test_engine.moc"
