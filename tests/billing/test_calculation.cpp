#include "billing/calculation.h"
#include "billing/vat.h"
#include "db/sql.h"
#include "tests/billing/billing_fixture.h"
#include "tests/support/test_registry.h"

#include <QTest>

using namespace billing_fixture;

namespace {
Money m(const char* amount)
{
    return Money::fromUnits(units(amount));
}

// One room of three beds at 50,00 a bed and 120,00 the room.
// The worked examples are at 7 %: the hotel's rate for accommodation is set to it.
void accommodationAt7(TestEnv& env)
{
    env.exec(QStringLiteral("UPDATE Config SET Stawka_noclegu = '7'"));
}

int groupInRoom(TestEnv& env, int taken, const QString& from, const QString& to)
{
    accommodationAt7(env);
    addRoom(env, QStringLiteral("1"), 3, QStringLiteral("A"));
    addPrice(env, QStringLiteral("A"), "50", "120");
    const int g = addGroup(env, QStringLiteral("Grupa"), taken, from, to);
    addRoomLine(env, g, QStringLiteral("1"), from, to, taken);
    return g;
}
} // namespace

class TestCalculation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void vatOfGrossAmount_data()
    {
        QTest::addColumn<QString>("gross");
        QTest::addColumn<QString>("vat");
        QTest::addColumn<QString>("net");
        QTest::addColumn<QString>("tax");
        QTest::newRow("150 at 7") << "150"
                                  << "7"
                                  << "140,19"
                                  << "9,81";
        QTest::newRow("360 at 7") << "360"
                                  << "7"
                                  << "336,45"
                                  << "23,55";
        QTest::newRow("100 at 22") << "100"
                                   << "22"
                                   << "81,97"
                                   << "18,03";
        QTest::newRow("100 exempt") << "100"
                                    << "zw"
                                    << "100"
                                    << "0";
        QTest::newRow("100 at 0") << "100"
                                  << "0"
                                  << "100"
                                  << "0";
        QTest::newRow("four places kept") << "84,9915"
                                          << "7"
                                          << "79,43"
                                          << "5,5615";
        QTest::newRow("negative truncates toward zero") << "-150"
                                                        << "7"
                                                        << "-140,18"
                                                        << "-9,82";
        QTest::newRow("half a cent rounds up") << "1,07"
                                               << "7"
                                               << "1"
                                               << "0,07";
    }
    void vatOfGrossAmount()
    {
        QFETCH(QString, gross);
        QFETCH(QString, vat);
        QFETCH(QString, net);
        QFETCH(QString, tax);
        const Money g = Money::parse(gross).value();
        QCOMPARE(netOfGross(g, vat).units(), Money::parse(net).value().units());
        QCOMPARE(vatOfGross(g, vat).units(), Money::parse(tax).value().units());
    }

    void creationPricesEachLine_data()
    {
        QTest::addColumn<int>("taken");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("price");
        QTest::addColumn<int>("nights");
        QTest::addColumn<QString>("gross");
        QTest::addColumn<QString>("tax");
        QTest::newRow("2 of 3 beds: one bed price") << 2 << "2026-07-18"
                                                    << "50" << 3 << "150"
                                                    << "9,81";
        QTest::newRow("all 3 beds: room price") << 3 << "2026-07-18"
                                                << "120" << 3 << "360"
                                                << "23,55";
        QTest::newRow("more than the beds") << 4 << "2026-07-16"
                                            << "120" << 1 << "120"
                                            << "7,85";
        QTest::newRow("zero nights") << 2 << "2026-07-15"
                                     << "50" << 0 << "0"
                                     << "0";
    }
    void creationPricesEachLine()
    {
        QFETCH(int, taken);
        QFETCH(QString, to);
        QFETCH(QString, price);
        QFETCH(int, nights);
        QFETCH(QString, gross);
        QFETCH(QString, tax);
        TestEnv env;
        const int g = groupInRoom(env, taken, QStringLiteral("2026-07-15"), to);
        createCalculation(env.db(), g);
        const QList<CalcLine> lines = loadLines(env.db(), g);
        QCOMPARE(lines.size(), 1);
        const CalcLine& l = lines.first();
        QCOMPARE(l.price1.units(), Money::parse(price)->units());
        QCOMPARE(l.price2.units(), Money::parse(price)->units());
        QCOMPARE(l.nights, nights);
        QCOMPARE(l.gross.units(), Money::parse(gross)->units());
        QCOMPARE(l.tax.units(), Money::parse(tax)->units());
        QCOMPARE(l.vat, QString("7"));
        QCOMPARE(l.size, std::optional<int>(3));
        QCOMPARE(l.taken, std::optional<int>(taken));
        QVERIFY(!l.discount);
    }

    void creationSkipsUnpricedRoomsAndSortsAsText()
    {
        TestEnv env;
        accommodationAt7(env);
        addPrice(env, QStringLiteral("A"), "50", "120");
        addRoom(env, QStringLiteral("2"), 2, QStringLiteral("A"));
        addRoom(env, QStringLiteral("10"), 2, QStringLiteral("A"));
        addRoom(env, QStringLiteral("7"), 2, QStringLiteral("X")); // no price for type X
        const int g = addGroup(env, QStringLiteral("Kowalscy"), 5, QStringLiteral("2026-07-15"),
                               QStringLiteral("2026-07-17"), QStringLiteral("przyjazd wieczorem"));
        addRoomLine(env, g, QStringLiteral("2"), "2026-07-15", "2026-07-17", 2);
        addRoomLine(env, g, QStringLiteral("7"), "2026-07-15", "2026-07-17", 2);
        addRoomLine(env, g, QStringLiteral("99"), "2026-07-15", "2026-07-17", 1); // no such room
        addRoomLine(env, g, QStringLiteral("10"), "2026-07-15", "2026-07-16", 1);
        createCalculation(env.db(), g);

        QCOMPARE(env.rows("SELECT Nr_pokoju, Dni, Brutto, Podatek FROM Kalk_det ORDER BY \"No\""),
                 QStringList({"10|1|500000|32700", "2|2|2400000|157000"}));
        QCOMPARE(env.rows("SELECT Identyfikator, Od, \"Do\", Dni, VAT, Liczba_osob, Brutto, "
                          "Podatek, Znizka, Nazwa, uwagi, rozl, Typ, Rach, Przedplata FROM Kalk"),
                 QStringList({QString("%1|2026-07-15|2026-07-17|2|7|5|2900000|189700|NULL|"
                                      "Kowalscy|przyjazd wieczorem|0|NULL|NULL|NULL")
                                  .arg(g)}));
    }

    void refusedLineIsReportedAndSkipped()
    {
        TestEnv env;
        addPrice(env, QStringLiteral("A"), "50", "120");
        addRoom(env, QStringLiteral("1"), 2, QStringLiteral("A"));
        addRoom(env, QStringLiteral("2"), 2, QStringLiteral("A"));
        const int g = addGroup(env, QStringLiteral("G"), 2, "2026-07-15", "2026-07-16");
        addRoomLine(env, g, QStringLiteral("1"), "2026-07-15", "2026-07-16", 2);
        // More nights than the column holds: the database refuses this line.
        addRoomLine(env, g, QStringLiteral("2"), "2026-07-15", "2200-01-01", 2);
        createCalculation(env.db(), g);

        const auto errors = env.prompter().messages(Prompter::Icon::Error);
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors.first().caption, QString("Nowa pozycja kalkulacji"));
        QVERIFY(errors.first().text.startsWith("Błąd bazy : \r\n"));
        QVERIFY(refusedByCheck(errors.first().text));
        QCOMPARE(env.rows("SELECT Nr_pokoju FROM Kalk_det"), QStringList({"1"}));
        QCOMPARE(env.rows("SELECT Brutto FROM Kalk"), QStringList({"1200000"}));
    }

    // Two desks opening the charges of one group: the second finds the first's
    // calculation and leaves it as it is.
    void secondCalculationOfAGroupLeavesTheFirst()
    {
        TestEnv env;
        const int g = groupInRoom(env, 2, QStringLiteral("2026-07-15"), "2026-07-17");
        createCalculation(env.db(), g);
        const QStringList lines = env.rows("SELECT Nr_pokoju, Brutto FROM Kalk_det");
        QVERIFY(!lines.isEmpty());
        createCalculation(env.db(), g);
        QCOMPARE(env.scalar("SELECT count(*) FROM Kalk").toInt(), 1);
        QCOMPARE(env.rows("SELECT Nr_pokoju, Brutto FROM Kalk_det"), lines);
        QCOMPARE(env.prompter().messages(Prompter::Icon::Error).size(), 0);
    }

    void refusedHeaderLeavesNothing()
    {
        TestEnv env;
        const int g = groupInRoom(env, 2, QStringLiteral("2026-07-15"), "2026-07-17");
        env.exec("UPDATE Kwat_hot SET \"Do\" = '2200-01-01' WHERE Identyfikator = ?", {g});
        QVERIFY_THROWS_EXCEPTION(DbError, createCalculation(env.db(), g));
        QCOMPARE(billingTables(env), QStringList());
    }

    void lineSaveRule_data()
    {
        QTest::addColumn<QString>("price");
        QTest::addColumn<int>("nights");
        QTest::addColumn<QVariant>("discount"); // null: empty
        QTest::addColumn<QString>("vat");
        QTest::addColumn<QString>("gross");
        QTest::addColumn<QString>("grossAtStart");
        QTest::addColumn<QString>("newPrice");
        QTest::addColumn<QString>("newGross");
        QTest::addColumn<QString>("newTax");
        QTest::newRow("typed gross through 20 %") << "50" << 4 << QVariant(20) << "7"
                                                  << "200"
                                                  << "160"
                                                  << "62,50"
                                                  << "200"
                                                  << "13,08";
        QTest::newRow("typed gross, no discount, four places") << "50" << 3 << QVariant() << "22"
                                                               << "100"
                                                               << "150"
                                                               << "33,3333"
                                                               << "100"
                                                               << "18,03";
        QTest::newRow("price follows: 15 % keeps four places")
            << "99,99" << 1 << QVariant(15) << "7"
            << "99,99"
            << "99,99"
            << "99,99"
            << "84,9915"
            << "5,5615";
        QTest::newRow("price follows, price times nights") << "60" << 3 << QVariant() << "zw"
                                                           << "150"
                                                           << "150"
                                                           << "60"
                                                           << "180"
                                                           << "0";
        QTest::newRow("negative discount raises the gross") << "100" << 2 << QVariant(-10) << "0"
                                                            << "200"
                                                            << "200"
                                                            << "100"
                                                            << "220"
                                                            << "0";
        QTest::newRow("typed gross, ties to even") << "1" << 8 << QVariant() << "0"
                                                   << "0,0004"
                                                   << "0"
                                                   << "0"
                                                   << "0,0004"
                                                   << "0,0004";
    }
    void lineSaveRule()
    {
        QFETCH(QString, price);
        QFETCH(int, nights);
        QFETCH(QVariant, discount);
        QFETCH(QString, vat);
        QFETCH(QString, gross);
        QFETCH(QString, grossAtStart);
        QFETCH(QString, newPrice);
        QFETCH(QString, newGross);
        QFETCH(QString, newTax);
        CalcLine l;
        l.price1 = Money::parse(price).value();
        l.price2 = Money::fromZloty(1); // always brought back to the first night's price
        l.nights = nights;
        l.discount = discount.isNull() ? std::nullopt : std::optional<int>(discount.toInt());
        l.vat = vat;
        l.gross = Money::parse(gross).value();
        const CalcLine saved = computeLineSave(l, Money::parse(grossAtStart).value());
        QCOMPARE(saved.price1.units(), Money::parse(newPrice)->units());
        QCOMPARE(saved.price2.units(), saved.price1.units());
        QCOMPARE(saved.gross.units(), Money::parse(newGross)->units());
        QCOMPARE(saved.tax.units(), Money::parse(newTax)->units());
    }

    void typedGrossWithoutPricePerNight_data()
    {
        QTest::addColumn<int>("nights");
        QTest::addColumn<int>("discount");
        QTest::newRow("no nights") << 0 << 0;
        QTest::newRow("100 %") << 3 << 100;
    }
    void typedGrossWithoutPricePerNight()
    {
        QFETCH(int, nights);
        QFETCH(int, discount);
        CalcLine l;
        l.nights = nights;
        l.discount = discount;
        l.gross = m("100");
        QVERIFY_THROWS_EXCEPTION(CalculationError, computeLineSave(l, m("90")));
        QCOMPARE(CalculationError().text(),
                 QString("Nie można wyliczyć ceny za dobę: liczba dni wynosi 0 lub zniżka 100%."));
    }

    void savedLineUpdatesSumsInOneGo()
    {
        TestEnv env;
        const int g = groupInRoom(env, 2, "2026-07-15", "2026-07-18");
        createCalculation(env.db(), g);
        CalcLine l = loadLines(env.db(), g).first();
        const Money start = l.gross;
        l.gross = m("200");
        l.discountBasis = QStringLiteral("stały gość");
        saveLine(env.db(), l, start);
        QCOMPARE(env.rows("SELECT Oplata1, Oplata2, Brutto, Podatek, Podstawa FROM Kalk_det"),
                 QStringList({"666667|666667|2000000|130800|stały gość"}));
        QCOMPARE(env.rows("SELECT Brutto, Podatek FROM Kalk"), QStringList({"2000000|130800"}));

        // Too long a basis: refused, and neither the line nor the sums move.
        const QStringList before = billingTables(env);
        l = loadLines(env.db(), g).first();
        l.gross = m("300");
        l.discountBasis = QStringLiteral("o wiele za długi opis");
        QVERIFY_THROWS_EXCEPTION(DbError, saveLine(env.db(), l, m("200")));
        QCOMPARE(billingTables(env), before);
    }

    void discountOnAllLines()
    {
        TestEnv env;
        const int g = addGroup(env, "G", 2, "2026-07-15", "2026-07-16");
        env.exec("INSERT INTO Kalk_det (Identyfikator, Nr_pokoju, Oplata1, Oplata2, Dni, VAT, "
                 "Podatek, Brutto) VALUES (?, '1', 999900, 999900, 1, '22', 0, 999900), "
                 "(?, '2', 500000, 500000, 3, '0', 0, 1000000)",
                 {g, g});
        env.exec("INSERT INTO Kalk (Identyfikator, VAT, Brutto, Podatek) VALUES (?, '7', 0, 0)",
                 {g});
        applyDiscount(env.db(), g, QStringLiteral("7"), 15, QStringLiteral("grupa"));
        QCOMPARE(
            env.rows("SELECT Oplata1, Oplata2, Znizka, VAT, Brutto, Podatek FROM Kalk_det "
                     "ORDER BY \"No\""),
            QStringList({"999900|999900|15|7|849915|55615", "500000|500000|15|7|1275000|83400"}));
        QCOMPARE(env.rows("SELECT VAT, Znizka, Podstawa, Brutto, Podatek, rozl FROM Kalk"),
                 QStringList({"7|15|grupa|2124915|139015|0"}));

        // Lines given their own rates one by one all take the header's again.
        env.exec("UPDATE Kalk_det SET VAT = '22' WHERE Nr_pokoju = '1'");
        env.exec("UPDATE Kalk_det SET VAT = 'zw' WHERE Nr_pokoju = '2'");
        applyDiscount(env.db(), g, QStringLiteral("22"), std::nullopt, QString());
        QCOMPARE(env.rows("SELECT Oplata1, Znizka, VAT, Brutto, Podatek FROM Kalk_det "
                          "ORDER BY \"No\""),
                 QStringList({"999900|NULL|22|999900|180300", "500000|NULL|22|1500000|270500"}));
        QCOMPARE(env.rows("SELECT VAT, Znizka, Brutto, Podatek FROM Kalk"),
                 QStringList({"22|NULL|2499900|450800"}));
    }

    void fullDiscountStopsAtFirstChangedLine()
    {
        TestEnv env;
        const int g = addGroup(env, "G", 2, "2026-07-15", "2026-07-16");
        // A zero-night line keeps its gross of 0 and passes; the next one cannot.
        env.exec("INSERT INTO Kalk_det (Identyfikator, Nr_pokoju, Oplata1, Oplata2, Dni, VAT, "
                 "Podatek, Brutto) VALUES (?, '1', 500000, 500000, 0, '7', 0, 0), "
                 "(?, '2', 500000, 500000, 2, '7', 65400, 1000000), "
                 "(?, '3', 500000, 500000, 2, '7', 65400, 1000000)",
                 {g, g, g});
        env.exec("INSERT INTO Kalk (Identyfikator, VAT, Brutto, Podatek) VALUES (?, '7', 1, 1)",
                 {g});
        QVERIFY_THROWS_EXCEPTION(CalculationError, applyDiscount(env.db(), g, "22", 100, "x"));
        QCOMPARE(env.rows("SELECT VAT, Znizka, Brutto FROM Kalk_det ORDER BY \"No\""),
                 QStringList({"22|100|0", "7|NULL|1000000", "7|NULL|1000000"}));
        // The header equals its lines; its own fields were not saved.
        QCOMPARE(env.rows("SELECT VAT, Znizka, Brutto, Podatek FROM Kalk"),
                 QStringList({"7|NULL|2000000|130800"}));
    }

    void refusedDiscountChangesNothing()
    {
        TestEnv env;
        const int g = groupInRoom(env, 2, "2026-07-15", "2026-07-18");
        createCalculation(env.db(), g);
        const QStringList before = billingTables(env);
        QVERIFY_THROWS_EXCEPTION(
            DbError, applyDiscount(env.db(), g, "7", 10, QString(26, QLatin1Char('x'))));
        QCOMPARE(billingTables(env), before);
    }
};

REZYDO_TEST(TestCalculation);
#include "test_calculation.moc"
