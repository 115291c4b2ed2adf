#include "core/error.h"
#include "db/schema.h"
#include "db/sql.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

namespace {
QStringList columnsOf(QSqlDatabase db, const QString& view)
{
    QSqlQuery q = runSql(db, QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(view));
    QStringList names;
    for (int i = 0; i < q.record().count(); ++i)
        names << q.record().fieldName(i);
    return names;
}

// One reservation line and one accommodation line, both of group 1, in a
// 4-bed room: the same id in both kinds must not exclude the other kind.
void insertTwoKindsOfLines(TestEnv& env)
{
    env.exec(
        "INSERT INTO Pokoje (Nr_Pokoju, Miejsc, Typ, Opis) VALUES ('7', 4, 'STD', 'pokój (2+2)')");
    env.exec("INSERT INTO Kwat_msc VALUES (1, '7', '2026-07-10', '2026-07-20', 2, 'M')");
    env.exec("INSERT INTO Rez_msc VALUES (1, '7', '2026-07-12', '2026-07-14', 1, 'K')");
}
} // namespace

class TestSchema : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        if (TestEnv::onServer())
            QSKIP("reads the file's catalogue (sqlite_master)");
    }
    void tablesAndViews()
    {
        TestEnv env;
        QCOMPARE(env.rows("SELECT name FROM sqlite_master WHERE type = 'table' "
                          "AND name NOT LIKE 'sqlite_%' ORDER BY name"),
                 QStringList({"Anonimizacja_log", "Arch_os",       "Blokady",     "Cennik",
                              "Config",           "Dni_zamkniete", "Kalk",        "Kalk_det",
                              "Kalk_usl",         "Korekta",       "Korekta_det", "Ksef",
                              "Ksiazka",          "Kwat_hot",      "Kwat_msc",    "Kwit",
                              "Panstwo",          "Pokoje",        "Rez_hot",     "Rez_msc",
                              "Stawki_VAT",       "Uslugi"}));
        QCOMPARE(env.rows("SELECT name FROM sqlite_master WHERE type = 'view' ORDER BY name"),
                 QStringList({"Arch_join_Ksiazka", "Kwat_i_Rez", "Kwat_rozl", "Miejsca",
                              "Rez_i_ksiazka", "Rez_msc_i_ksiazka"}));
    }

    // Several callers read these columns by position.
    void viewColumns_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QStringList>("leading");
        QTest::newRow("Kwat_rozl")
            << "Kwat_rozl"
            << QStringList{"Identyfikator", "Nazwa", "Osob", "Od", "Do", "Notatki", "rozl"};
        QTest::newRow("Miejsca") << "Miejsca"
                                 << QStringList{"Nr_pokoju", "Miejsc", "Typ",     "Miejsc1", "Od",
                                                "Do",        "Jaki",   "ID_KWAT", "ID_REZ"};
        QTest::newRow("Kwat_i_Rez")
            << "Kwat_i_Rez" << QStringList{"Nr_pokoju", "Od", "Do", "Miejsc"};
        QTest::newRow("Arch_join_Ksiazka")
            << "Arch_join_Ksiazka"
            << QStringList{"Nazwisko",        "Imie",           "Nr_pokoju", "Od", "Do",
                           "Identyfikator_o", "Identyfikator_g"};
        QTest::newRow("Rez_msc_i_ksiazka")
            << "Rez_msc_i_ksiazka" << QStringList{"Nr_pokoju", "Od", "Do", "Rezerw"};
        QTest::newRow("Rez_i_ksiazka")
            << "Rez_i_ksiazka" << QStringList{"Od_miesiac", "Od_rok", "Do_miesiac", "Do_rok"};
    }
    void viewColumns()
    {
        QFETCH(QString, view);
        QFETCH(QStringList, leading);
        TestEnv env;
        QCOMPARE(columnsOf(env.db(), view).mid(0, leading.size()), leading);
    }

    void kwatRozlCarriesTheSettledFlag()
    {
        TestEnv env;
        env.exec("INSERT INTO Kwat_hot (Nazwa, Osob, Od, \"Do\", Notatki) VALUES "
                 "('Bez kalkulacji', 2, '2026-07-14', '2026-07-16', 'n'), "
                 "('Nierozliczona', 1, '2026-07-15', '2026-07-17', ''), "
                 "('Rozliczona', 3, '2026-07-13', '2026-07-15', '')");
        env.exec("INSERT INTO Kalk (Identyfikator, rozl) VALUES (2, 0), (3, 1)");
        // A calculation left behind by a group already gone adds no row.
        env.exec("INSERT INTO Kalk (Identyfikator, rozl) VALUES (99, 1)");
        QCOMPARE(env.rows("SELECT * FROM Kwat_rozl ORDER BY Identyfikator"),
                 QStringList({"1|Bez kalkulacji|2|2026-07-14|2026-07-16|n|NULL",
                              "2|Nierozliczona|1|2026-07-15|2026-07-17||0",
                              "3|Rozliczona|3|2026-07-13|2026-07-15||1"}));
        QCOMPARE(env.rows("SELECT Identyfikator FROM Kwat_rozl WHERE rozl = 0 OR rozl IS NULL "
                          "ORDER BY Identyfikator"),
                 QStringList({"1", "2"}));
    }

    void miejscaRows()
    {
        TestEnv env;
        insertTwoKindsOfLines(env);
        QCOMPARE(env.rows("SELECT * FROM Miejsca ORDER BY ID_REZ"),
                 QStringList({"7|4|STD|2|2026-07-10|2026-07-20|M|1|-1",
                              "7|4|STD|1|2026-07-12|2026-07-14|K|-1|1"}));
        QCOMPARE(env.rows("SELECT Nr_pokoju, Od, \"Do\", Miejsc FROM Kwat_i_Rez ORDER BY Od"),
                 QStringList({"7|2026-07-10|2026-07-20|2", "7|2026-07-12|2026-07-14|1"}));
    }

    void miejscaExcludesOnlyTheEditedGroup_data()
    {
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("r");
        QTest::addColumn<QStringList>("kept"); // Jaki of the lines left in
        QTest::newRow("new group") << 0 << 0 << QStringList{"K", "M"};
        QTest::newRow("editing reservation 1") << -2 << 1 << QStringList{"M"};
        QTest::newRow("editing accommodation 1") << 1 << -2 << QStringList{"K"};
        QTest::newRow("editing another reservation") << -2 << 2 << QStringList{"K", "M"};
        QTest::newRow("editing another accommodation") << 2 << -2 << QStringList{"K", "M"};
    }
    void miejscaExcludesOnlyTheEditedGroup()
    {
        QFETCH(int, k);
        QFETCH(int, r);
        QFETCH(QStringList, kept);
        TestEnv env;
        insertTwoKindsOfLines(env);
        QCOMPARE(env.rows("SELECT Jaki FROM Miejsca WHERE \"Do\" > ? AND Od < ? "
                          "AND ID_KWAT <> ? AND ID_REZ <> ? ORDER BY Jaki",
                          {"2026-07-11", "2026-07-13", k, r}),
                 kept);
    }

    void registerAndReservationsByMonth()
    {
        TestEnv env;
        env.exec("INSERT INTO Rez_msc VALUES (1, '3', '2026-12-28', '2027-01-03', 2, '')");
        env.exec("INSERT INTO Rez_msc VALUES (1, '3', NULL, NULL, 2, '')");
        env.exec("INSERT INTO Ksiazka (Identyfikator_g, Identyfikator_o, Od, \"Do\", Nr_pokoju) "
                 "VALUES (5, 9, '2026-06-28', '2026-07-03', '2'), "
                 "(5, 10, '2026-11-30', '2026-12-02', '')");
        QCOMPARE(env.rows("SELECT * FROM Rez_msc_i_ksiazka ORDER BY Od"),
                 QStringList({"2|2026-06-28|2026-07-03|0", "|2026-11-30|2026-12-02|0",
                              "3|2026-12-28|2027-01-03|1"}));
        // Integers, in order of arrival without the caller asking for it.
        QCOMPARE(env.rows("SELECT Od_miesiac, Od_rok, Do_miesiac, Do_rok, typeof(Od_miesiac), "
                          "typeof(Do_rok) FROM Rez_i_ksiazka"),
                 QStringList({"6|2026|7|2026|integer|integer", "11|2026|12|2026|integer|integer",
                              "12|2026|1|2027|integer|integer"}));
    }

    void archJoinKsiazkaOneRowPerEntry()
    {
        TestEnv env;
        env.exec("INSERT INTO Arch_os (Nazwisko, Imie, ID_Panstwo) VALUES ('Nowak', 'Anna', 1)");
        env.exec("INSERT INTO Ksiazka (Identyfikator_g, Identyfikator_o, Od, \"Do\", Nr_pokoju) "
                 "VALUES (3, 1, '2026-05-01', '2026-05-04', '2'), "
                 "(8, 1, '2026-07-15', '2026-07-18', '11')");
        QCOMPARE(env.rows("SELECT Nazwisko, Imie, Nr_pokoju, Od, \"Do\", Identyfikator_o, "
                          "Identyfikator_g FROM Arch_join_Ksiazka ORDER BY Od"),
                 QStringList({"Nowak|Anna|2|2026-05-01|2026-05-04|1|3",
                              "Nowak|Anna|11|2026-07-15|2026-07-18|1|8"}));
    }

    // Each row: a statement taking :V, a value it accepts and one it refuses.
    void refusals_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariant>("good");
        QTest::addColumn<QVariant>("bad");
        const QString room = "INSERT INTO Pokoje (Nr_Pokoju, Miejsc) VALUES (:V, 2)";
        const QString persons = "INSERT INTO Kwat_hot (Nazwa, Osob) VALUES ('x', :V)";
        const QString beds = "INSERT INTO Rez_msc (Identyfikator, Miejsc) VALUES (1, :V)";
        const QString arrival = "INSERT INTO Kwat_hot (Nazwa, Od) VALUES ('x', :V)";
        const QString entry = "INSERT INTO Ksiazka (Identyfikator_g, Identyfikator_o, \"Do\") "
                              "VALUES (1, 1, :V)";
        QTest::newRow("room number too long")
            << "" << room << QVariant("123456789") << QVariant("1234567890");
        QTest::newRow("surname too long")
            << ""
            << "INSERT INTO Arch_os (Nazwisko) VALUES (:V)" << QVariant(QString(30, 'a'))
            << QVariant(QString(31, 'a'));
        QTest::newRow("text for persons") << "" << persons << QVariant(3) << QVariant("abc");
        QTest::newRow("fraction for beds") << "" << beds << QVariant(2) << QVariant(1.5);
        QTest::newRow("fraction for money")
            << ""
            << "INSERT INTO Kwit (Identyfikator, Wplata) VALUES (1, :V)"
            << QVariant(qint64(1500000)) << QVariant(150.5);
        QTest::newRow("no such day")
            << "" << arrival << QVariant("2028-02-29") << QVariant("2026-02-29");
        QTest::newRow("day in other form")
            << "" << arrival << QVariant("2026-07-15") << QVariant("15.07.2026");
        QTest::newRow("day with a time")
            << "" << entry << QVariant("2026-07-15") << QVariant("2026-07-15 10:00");
        QTest::newRow("day without zeros")
            << "" << entry << QVariant("2026-07-05") << QVariant("2026-7-5");
        QTest::newRow("room twice") << "INSERT INTO Pokoje (Nr_Pokoju) VALUES ('12')" << room
                                    << QVariant("13") << QVariant("12");
        QTest::newRow("type twice") << "INSERT INTO Cennik (Typ) VALUES ('STD')"
                                    << "INSERT INTO Cennik (Typ, Cena1) VALUES (:V, 0)"
                                    << QVariant("LUX") << QVariant("STD");
        QTest::newRow("country id twice")
            << ""
            << "INSERT INTO Panstwo (ID, Nazwa) VALUES (:V, 'x')" << QVariant(500) << QVariant(1);
        QTest::newRow("second calculation")
            << "INSERT INTO Kalk (Identyfikator) VALUES (5)"
            << "INSERT INTO Kalk (Identyfikator) VALUES (:V)" << QVariant(6) << QVariant(5);
    }
    void refusals()
    {
        QFETCH(QString, setup);
        QFETCH(QString, sql);
        QFETCH(QVariant, good);
        QFETCH(QVariant, bad);
        TestEnv env;
        if (!setup.isEmpty())
            env.exec(setup);
        runSql(env.db(), sql, {{":V", good}});
        try {
            runSql(env.db(), sql, {{":V", bad}});
            QFAIL("the database took a value it should refuse");
        } catch (const DbError& e) {
            QVERIFY2(e.text().contains("constraint failed"), qPrintable(e.text()));
        }
    }

    void flagsAreFalseWhenNotGiven()
    {
        TestEnv env;
        env.exec("INSERT INTO Ksiazka (Identyfikator_g, Identyfikator_o) VALUES (1, 2)");
        env.exec("INSERT INTO Kalk (Identyfikator) VALUES (1)");
        QCOMPARE(env.rows("SELECT Pelne_dane, Wykwaterowany, typeof(Pelne_dane) FROM Ksiazka"),
                 QStringList({"0|0|integer"}));
        QCOMPARE(env.scalar("SELECT rozl FROM Kalk").toString(), QString("0"));
    }

    void deliveredContent()
    {
        TestEnv env;
        QCOMPARE(env.scalar("SELECT Nazwa FROM Panstwo WHERE ID = 1").toString(),
                 QString("Polska"));
        QCOMPARE(env.scalar("SELECT count(*) FROM Config").toInt(), 1);
        QCOMPARE(env.rows("SELECT Nazwa || Adres || Regon || SWW || NIP || Miejscowosc || Bank "
                          "|| NrKonta FROM Config"),
                 QStringList({""}));
        const QStringList expected = {"Austria",   "Belgia",
                                      "Bułgaria",  "Chorwacja",
                                      "Cypr",      "Czechy",
                                      "Dania",     "Estonia",
                                      "Finlandia", "Francja",
                                      "Grecja",    "Hiszpania",
                                      "Holandia",  "Irlandia",
                                      "Litwa",     "Luksemburg",
                                      "Łotwa",     "Malta",
                                      "Niemcy",    "Portugalia",
                                      "Rumunia",   "Słowacja",
                                      "Słowenia",  "Szwecja",
                                      "Węgry",     "Włochy",
                                      "Ukraina",   "Białoruś",
                                      "Rosja",     "Wielka Brytania",
                                      "Norwegia",  "Szwajcaria",
                                      "Islandia",  "Stany Zjednoczone",
                                      "Kanada",    "Izrael",
                                      "Japonia",   "Chiny",
                                      "Australia", "Korea Południowa",
                                      "Indie",     "Turcja"};
        QStringList missing;
        for (const QString& name : expected)
            if (env.scalar("SELECT count(*) FROM Panstwo WHERE Nazwa = ?", {name}).toInt() != 1)
                missing << name;
        QCOMPARE(missing, QStringList());
    }

    void createDatabaseLeavesExistingFilesAlone_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<bool>("existing");
        QTest::newRow("existing file") << "Baza/old.mdb" << true;
        QTest::newRow("missing folder") << "nowhere/Baza.mdb" << false;
    }
    void createDatabaseLeavesExistingFilesAlone()
    {
        QFETCH(QString, relative);
        QFETCH(bool, existing);
        TestEnv::Options o;
        o.createDatabase = false;
        TestEnv env(o);
        const QString file = env.path(relative);
        if (existing) {
            QDir().mkpath(QFileInfo(file).absolutePath());
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("keep me");
        }
        QVERIFY_THROWS_EXCEPTION(RezydoError, createDatabase(file, false));
        QCOMPARE(QFileInfo::exists(file), existing);
        if (existing) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), QByteArray("keep me"));
        }
    }

    void demoDatabaseIsAConsistentHotel()
    {
        TestEnv::Options o;
        o.demo = true;
        TestEnv env(o);
        QCOMPARE(env.scalar("PRAGMA integrity_check").toString(), QString("ok"));
        QVERIFY(env.scalar("SELECT count(*) FROM Pokoje").toInt() >= 10);
        QVERIFY(env.scalar("SELECT Nazwa FROM Config").toString().size() > 0);
        // Every room priced, and further nights cost what the first does.
        QCOMPARE(env.scalar("SELECT count(*) FROM Pokoje P LEFT JOIN Cennik C ON C.Typ = P.Typ "
                            "WHERE C.Typ IS NULL OR C.Cena2 <> C.Cena1 OR C.Cena4 <> C.Cena3")
                     .toInt(),
                 0);
        const QString t = "2026-07-15";
        QVERIFY(env.scalar("SELECT count(*) FROM Rez_hot WHERE Od > ?", {t}).toInt() > 0);
        QVERIFY(env.scalar("SELECT count(*) FROM Kwat_hot WHERE Od <= ? AND \"Do\" > ?", {t, t})
                    .toInt() > 0);
        QCOMPARE(env.rows("SELECT DISTINCT Pelne_dane, Wykwaterowany FROM Ksiazka ORDER BY 1, 2"),
                 QStringList({"0|0", "1|0", "1|1"}));
        // Every line in a known room, every entry with its person.
        QCOMPARE(env.scalar("SELECT count(*) FROM Kwat_i_Rez").toInt(),
                 env.scalar("SELECT count(*) FROM Miejsca").toInt());
        QCOMPARE(env.scalar("SELECT count(*) FROM Ksiazka").toInt(),
                 env.scalar("SELECT count(*) FROM Arch_join_Ksiazka").toInt());
        // Calculations add up and settled groups are paid in full.
        QCOMPARE(env.rows("SELECT K.Identyfikator FROM Kalk K WHERE K.Brutto <> "
                          "(SELECT sum(Brutto) FROM Kalk_det D WHERE D.Identyfikator = "
                          "K.Identyfikator) OR (K.rozl = 1 AND K.Brutto <> (SELECT sum(Wplata) "
                          "FROM Kwit W WHERE W.Identyfikator = K.Identyfikator))"),
                 QStringList());
        // No room holds more guests than beds on any night.
        QCOMPARE(env.rows("WITH RECURSIVE d(day) AS (SELECT min(Od) FROM Miejsca UNION ALL "
                          "SELECT date(day, '+1 day') FROM d WHERE day < (SELECT max(\"Do\") "
                          "FROM Miejsca)) SELECT M.Nr_pokoju || ' ' || d.day FROM d JOIN "
                          "Miejsca M ON M.Od <= d.day AND d.day < M.\"Do\" GROUP BY "
                          "M.Nr_pokoju, d.day HAVING sum(M.Miejsc1) > max(M.Miejsc)"),
                 QStringList());
    }
};

REZYDO_TEST(TestSchema);
#include "test_schema.moc"
