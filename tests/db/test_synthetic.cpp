#include "db/polish_collation.h"
#include "db/schema.h"
#include "db/synthetic_data.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QUrl>

namespace {
// One year of a 10-room house around the fixed test day 2026-07-15.
struct Hotel {
    TestEnv env;
    SyntheticCounts counts;
    Hotel() { counts = insertSyntheticData(env.db(), 1, 10); }
};

// Beds used per room and night: every register entry takes one bed, every
// reservation line its beds; the current room lines must agree with their entries.
const char* const kOverbooked =
    "WITH RECURSIVE night(d) AS ( "
    "    SELECT min(Od) FROM Ksiazka "
    "    UNION ALL SELECT date(d, '+1 day') FROM night WHERE d < (SELECT max(\"Do\") FROM "
    "Rez_msc)), "
    "used(Nr_pokoju, Od, \"Do\", n) AS ( "
    "    SELECT Nr_pokoju, Od, \"Do\", 1 FROM Ksiazka "
    "    UNION ALL SELECT Nr_pokoju, Od, \"Do\", Miejsc FROM Rez_msc) "
    "SELECT count(*) FROM ( "
    "    SELECT night.d, P.Nr_Pokoju, P.Miejsc AS beds, sum(used.n) AS taken "
    "    FROM night JOIN used ON used.Od <= night.d AND used.\"Do\" > night.d "
    "    JOIN Pokoje P ON P.Nr_Pokoju = used.Nr_pokoju "
    "    GROUP BY night.d, P.Nr_Pokoju HAVING taken > beds) ";

QString databaseDigest(QSqlDatabase db)
{
    QStringList parts;
    for (const char* sql :
         {"SELECT group_concat(Identyfikator_g || Identyfikator_o || Od || Nr_pokoju, ',') FROM "
          "Ksiazka",
          "SELECT group_concat(Nazwisko || Imie || Adres || Dokument_nr, ',') FROM Arch_os",
          "SELECT group_concat(Nr_kwit || Wplata || Data, ',') FROM Kwit"}) {
        QSqlQuery q(db);
        if (!q.exec(QString::fromLatin1(sql)) || !q.next())
            return QString();
        parts << q.value(0).toString();
    }
    return parts.join(QLatin1Char('|'));
}
} // namespace

class TestSynthetic : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A skip in initTestCase would leave the test classes after this one
    // unrun; each function is skipped instead.
    void initTestCase()
    {
        if (!TestEnv::onServer())
            m_hotel = std::make_unique<Hotel>();
    }
    void init()
    {
        if (TestEnv::onServer())
            QSKIP("the synthetic hotel is written into database files");
    }
    void cleanupTestCase() { m_hotel.reset(); }

    void soundAndNeverOverbooked()
    {
        TestEnv& env = m_hotel->env;
        QCOMPARE(env.scalar("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
        QCOMPARE(env.scalar(kOverbooked).toInt(), 0);
        // The rooms of today's groups hold exactly their register entries.
        QCOMPARE(env.scalar("SELECT count(*) FROM Kwat_msc L WHERE L.Miejsc <> (SELECT count(*) "
                            "FROM Ksiazka K WHERE K.Identyfikator_g = L.Identyfikator AND "
                            "K.Nr_pokoju = L.Nr_pokoju)")
                     .toInt(),
                 0);
    }

    // Each figure must fall in a plausible range for one year of ten rooms.
    void plausible_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::newRow("register entries") << "SELECT count(*) FROM Ksiazka" << 700.0 << 2500.0;
        QTest::newRow("beds taken, share of the year")
            << "SELECT sum(julianday(\"Do\") - julianday(Od)) / (365.0 * (SELECT sum(Miejsc) "
               "FROM Pokoje)) FROM Ksiazka WHERE \"Do\" <= '2026-07-15'"
            << 0.45 << 0.75;
        QTest::newRow("persons per entry, returning guests keep theirs")
            << "SELECT 1.0 * (SELECT count(*) FROM Arch_os) / count(*) FROM Ksiazka" << 0.55
            << 0.95;
        QTest::newRow("share of foreign guests")
            << "SELECT avg(ID_Panstwo > 1) FROM Ksiazka WHERE Pelne_dane = 1" << 0.05 << 0.35;
        QTest::newRow("countries of foreign guests")
            << "SELECT count(DISTINCT ID_Panstwo) FROM Ksiazka WHERE ID_Panstwo > 1" << 5.0 << 80.0;
        QTest::newRow("kinds of payment") << "SELECT count(DISTINCT Typ) FROM Kwit" << 4.0 << 4.0;
        QTest::newRow("discounted calculations")
            << "SELECT count(*) FROM Kalk WHERE Znizka > 0" << 10.0 << 200.0;
        QTest::newRow("groups in the house today")
            << "SELECT count(*) FROM Kwat_hot WHERE Od <= '2026-07-15' AND \"Do\" >= '2026-07-15'"
            << 1.0 << 40.0;
        QTest::newRow("all of them in the house")
            << "SELECT count(*) FROM Kwat_hot WHERE Od > '2026-07-15' OR \"Do\" < '2026-07-15'"
            << 0.0 << 0.0;
        QTest::newRow("reservations, all ahead within a year and a fortnight")
            << "SELECT count(*) FROM Rez_hot WHERE Od >= '2026-07-15' AND \"Do\" <= '2027-07-30'"
            << 30.0 << 600.0;
        QTest::newRow("reservations elsewhere") << "SELECT count(*) FROM Rez_hot WHERE Od < "
                                                   "'2026-07-15'"
                                                << 0.0 << 0.0;
        QTest::newRow("checked-out entries without their group header")
            << "SELECT count(*) FROM Ksiazka WHERE Wykwaterowany = 1 AND Identyfikator_g IN "
               "(SELECT Identyfikator FROM Kwat_hot)"
            << 0.0 << 0.0;
        QTest::newRow("overlapping stays of one person")
            << "SELECT count(*) FROM Ksiazka A JOIN Ksiazka B ON A.Identyfikator_o = "
               "B.Identyfikator_o AND A.Identyfikator_g < B.Identyfikator_g AND A.Od < B.\"Do\" "
               "AND B.Od < A.\"Do\""
            << 0.0 << 0.0;
    }
    void plausible()
    {
        QFETCH(QString, sql);
        QFETCH(double, low);
        QFETCH(double, high);
        const double value = m_hotel->env.scalar(sql).toDouble();
        QVERIFY2(value >= low && value <= high, qPrintable(QString::number(value)));
    }

    // Calculations as the billing window would have made them, and payments
    // that settle exactly the groups marked settled.
    void billingConsistent_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("header sums its lines")
            << "SELECT count(*) FROM Kalk C WHERE Brutto <> (SELECT sum(Brutto) FROM Kalk_det D "
               "WHERE D.Identyfikator = C.Identyfikator) OR Podatek <> (SELECT sum(Podatek) "
               "FROM Kalk_det D WHERE D.Identyfikator = C.Identyfikator)";
        QTest::newRow("undiscounted lines at list price")
            << "SELECT count(*) FROM Kalk_det D JOIN Pokoje P ON P.Nr_Pokoju = D.Nr_pokoju JOIN "
               "Cennik C ON C.Typ = P.Typ WHERE D.Znizka IS NULL AND (D.Oplata1 <> CASE WHEN "
               "D.Miejsc < D.Rozmiar THEN C.Cena1 ELSE C.Cena3 END OR D.Brutto <> D.Oplata1 * "
               "D.Dni)";
        QTest::newRow("tax at 7 %")
            << "SELECT count(*) FROM Kalk_det WHERE VAT = '7' AND (abs(Podatek - (Brutto - "
               "Brutto * 100 / 107)) > 100 OR Podatek % 100 <> Brutto % 100)";
        QTest::newRow("settled flag")
            << "SELECT count(*) FROM Kalk C WHERE rozl <> (coalesce((SELECT sum(Wplata) FROM Kwit "
               "K WHERE K.Identyfikator = C.Identyfikator), 0) >= C.Brutto)";
        QTest::newRow("till receipt numbers")
            << "SELECT count(*) FROM Kwit WHERE Typ = 1 AND (Nr_kwit NOT GLOB "
               "'[0-9][0-9][0-9][0-9]/[0-9][0-9][0-9][0-9]#0001' OR substr(Nr_kwit, 6, 4) <> "
               "strftime('%Y', Data))";
        QTest::newRow("receipt numbers rise with ID")
            << "SELECT count(*) FROM Kwit A JOIN Kwit B ON A.Typ = B.Typ AND B.ID = (SELECT "
               "min(ID) FROM Kwit C WHERE C.Typ = A.Typ AND C.ID > A.ID) WHERE CASE WHEN A.Typ = "
               "1 THEN substr(B.Nr_kwit, 6, 4) = substr(A.Nr_kwit, 6, 4) AND B.Nr_kwit <= "
               "A.Nr_kwit ELSE CAST(B.Nr_kwit AS INTEGER) <> CAST(A.Nr_kwit AS INTEGER) + 1 END";
        QTest::newRow("invoice numbers in order of issue")
            << "SELECT count(*) FROM Kalk A JOIN Kalk B ON B.Rach = A.Rach + 1 WHERE "
               "B.data_wystawienia < A.data_wystawienia OR A.Typ <> 2";
        QTest::newRow("invoices numbered 1 to n")
            << "SELECT count(*) - max(Rach) + (count(DISTINCT Rach) <> count(*)) FROM Kalk WHERE "
               "Typ = 2";
    }
    void billingConsistent()
    {
        QFETCH(QString, sql);
        QCOMPARE(m_hotel->env.scalar(sql).toInt(), 0);
    }

    void countsReportedAsWritten()
    {
        TestEnv& env = m_hotel->env;
        const SyntheticCounts& c = m_hotel->counts;
        QCOMPARE(env.scalar("SELECT count(*) FROM Ksiazka").toInt(), c.registerEntries);
        QCOMPARE(env.scalar("SELECT count(*) FROM Kalk").toInt(), c.calculations);
        QCOMPARE(env.scalar("SELECT count(*) FROM Kwit").toInt(), c.payments);
        QCOMPARE(env.scalar("SELECT count(*) FROM Rez_hot").toInt(), c.reservations);
        // A new group gets a number above every group that ever was.
        QVERIFY(env.scalar("SELECT seq FROM sqlite_sequence WHERE name = 'Kwat_hot'").toInt() >=
                env.scalar("SELECT max(Identyfikator_g) FROM Ksiazka").toInt());
    }

    void sameSeedSameDatabase()
    {
        const QString path = m_hotel->env.path(QStringLiteral("again.mdb"));
        createDatabase(path, false);
        const QString name = QStringLiteral("synthetic-again");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path);
            QVERIFY(db.open());
            addPolishText(db);
            insertSyntheticData(db, 1, 10);
            const QString again = databaseDigest(db);
            QVERIFY(!again.isEmpty());
            QCOMPARE(again, databaseDigest(m_hotel->env.db()));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

private:
    std::unique_ptr<Hotel> m_hotel;
};

REZYDO_TEST(TestSynthetic);
#include "test_synthetic.moc"
