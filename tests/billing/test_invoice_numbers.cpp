#include "billing/buyer_id.h"
#include "billing/calculation.h"
#include "billing/correction.h"
#include "billing/invoice.h"
#include "billing/payments.h"
#include "billing/services.h"
#include "core/prompter.h"
#include "core/settings.h"
#include "db/sql.h"
#include "tests/billing/billing_fixture.h"
#include "tests/support/test_registry.h"

#include <QTest>

using namespace billing_fixture;

namespace {
// A group with a calculation of two lines, 100,00 and 200,00 at 7 %.
int calculated(TestEnv& env, const QString& name = QStringLiteral("Firma"))
{
    const int g = addGroup(env, name, 2, "2026-07-10", "2026-07-13");
    addCalculation(env, g, {units("100"), units("200")});
    env.exec("UPDATE Kalk SET Nazwa = ? WHERE Identyfikator = ?", {name, g});
    return g;
}

// Two days of parking at 30,00 zł and 23 %.
ServiceLine parkingOf(int g)
{
    ServiceLine l;
    l.groupId = g;
    l.name = QStringLiteral("Parking");
    l.unit = QStringLiteral("doba");
    l.quantity = 2;
    l.price = Money::fromZloty(30);
    l.vat = QStringLiteral("23");
    return l;
}

CalcHeader issued(TestEnv& env, int g, std::optional<int> number = std::nullopt,
                  const QString& series = QStringLiteral("H"),
                  const QDate& day = QDate(2026, 7, 15))
{
    CalcHeader h = loadHeader(env.db(), g);
    issueInvoice(env.db(), h, day, day, PaymentMethod::Cash, 14, number, series);
    return h;
}

QString refusal(const std::function<void()>& write)
{
    try {
        write();
    } catch (const RezydoError& e) {
        return e.text();
    }
    return QStringLiteral("<accepted>");
}

// The server refuses the first write `event` names (on rows meeting `when`)
// as if another desk had written at the same moment. The sequence counting
// the writes is not rolled back with the transaction, so the attempt run
// again passes.
void conflictOnce(TestEnv& env, const QString& event, const QString& when)
{
    runSql(env.db(), QStringLiteral("CREATE SEQUENCE konflikt"));
    addTrigger(env, QStringLiteral("konflikt"), event, when, {},
               QStringLiteral("IF nextval('konflikt') = 1 THEN RAISE EXCEPTION USING ERRCODE = "
                              "'40001', MESSAGE = 'could not serialize access'; END IF"));
}
} // namespace

class TestInvoiceNumbers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Numbers run per series and year; an older invoice without a stored
    // series counts in the series of the settings.
    void numbersPerSeriesAndYear()
    {
        TestEnv env;
        QCOMPARE(proposedInvoiceNumber(env.db(), "H", 2026), 1);
        QCOMPARE(issued(env, calculated(env)).number, std::optional<int>(1));
        QCOMPARE(issued(env, calculated(env)).number, std::optional<int>(2));
        QCOMPARE(issued(env, calculated(env), std::nullopt, "HT").number, std::optional<int>(1));
        QCOMPARE(issued(env, calculated(env), std::nullopt, "H", QDate(2027, 1, 2)).number,
                 std::optional<int>(1));
        const int old = calculated(env);
        env.exec("UPDATE Kalk SET Typ = 2, Rach = 9, data_wystawienia = '2026-03-01' WHERE "
                 "Identyfikator = ?",
                 {old});
        QCOMPARE(proposedInvoiceNumber(env.db(), "H", 2026), 10);
        QCOMPARE(proposedInvoiceNumber(env.db(), "HT", 2026), 2);
        QVERIFY(writeSetting("FakturaRoz", "HT"));
        QCOMPARE(proposedInvoiceNumber(env.db(), "H", 2026), 3);
        QCOMPARE(proposedInvoiceNumber(env.db(), "HT", 2026), 10);
        QCOMPARE(env.rows("SELECT Rach, Seria FROM Kalk WHERE Typ = 2 ORDER BY Identyfikator"),
                 QStringList({"1|H", "2|H", "1|HT", "1|H", "9|NULL"}));
    }

    // Another desk's write makes the server refuse an operation's first
    // attempt: the attempt run again writes everything once, reports once
    // what went wrong in it, and hands back what was committed.
    void conflictRunsTheWriteAgainOnce_data()
    {
        QTest::addColumn<QString>("event"); // the write refused the first time
        QTest::addColumn<QString>("when");
        QTest::addColumn<QString>("rowsSql");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("boxes");
        // Room 2 is refused alone and room 3 meets the conflict.
        QTest::newRow("calculation")
            << "BEFORE INSERT ON Kalk_det"
            << "NEW.Nr_pokoju = '3'"
            << "SELECT d.Nr_pokoju, c.Brutto FROM Kalk_det d JOIN Kalk c ON c.Identyfikator = "
               "d.Identyfikator ORDER BY d.\"No\""
            << QStringList({"1|2400000", "3|2400000"}) << 1;
        QTest::newRow("payment") << "BEFORE UPDATE OF rozl ON Kalk"
                                 << ""
                                 << "SELECT k.Wplata, c.rozl FROM Kwit k JOIN Kalk c ON "
                                    "c.Identyfikator = k.Identyfikator"
                                 << QStringList({"3000000|1"}) << 0;
        QTest::newRow("service") << "BEFORE UPDATE OF Brutto ON Kalk"
                                 << ""
                                 << "SELECT u.Nazwa, u.Brutto, c.Brutto FROM Kalk_usl u JOIN Kalk "
                                    "c ON c.Identyfikator = u.Identyfikator"
                                 << QStringList({"Parking|600000|3600000"}) << 0;
        QTest::newRow("invoice") << "BEFORE UPDATE OF Seria ON Kalk"
                                 << ""
                                 << "SELECT Typ, Rach, Seria FROM Kalk" << QStringList({"2|1|H"})
                                 << 0;
    }

    void conflictRunsTheWriteAgainOnce()
    {
        if (!TestEnv::onServer())
            QSKIP("the file lets only one desk write at a time");
        QFETCH(QString, event);
        QFETCH(QString, when);
        QFETCH(QString, rowsSql);
        QFETCH(QStringList, rows);
        QFETCH(int, boxes);
        TestEnv env;
        const QByteArray operation = QTest::currentDataTag();
        int g = 0;
        if (operation == "calculation") {
            addPrice(env, "A", "50", "120");
            g = addGroup(env, "G", 6, "2026-07-15", "2026-07-16");
            for (const QString room : {"1", "2", "3"}) {
                addRoom(env, room, 2, "A");
                addRoomLine(env, g, room, "2026-07-15", "2026-07-16", 2);
            }
            refuseWrites(env, "BEFORE INSERT ON Kalk_det", "NEW.Nr_pokoju = '2'");
        } else {
            g = calculated(env);
        }
        conflictOnce(env, event, when);

        if (operation == "calculation") {
            createCalculation(env.db(), g);
        } else if (operation == "payment") {
            const qint64 id = registerPayment(
                env.db(), {0, g, "1", Money::fromZloty(300), QDate(2026, 7, 15), 1, {}});
            QCOMPARE(env.scalar("SELECT ID FROM Kwit").toLongLong(), id);
        } else if (operation == "service") {
            const ServiceLine added = addServiceLine(env.db(), parkingOf(g));
            QCOMPARE(env.scalar("SELECT \"No\" FROM Kalk_usl").toLongLong(), added.no);
        } else {
            QCOMPARE(issued(env, g).number, std::optional<int>(1));
        }
        QCOMPARE(env.scalar("SELECT last_value FROM konflikt").toInt(), 2);
        QCOMPARE(env.rows(rowsSql), rows);
        QCOMPARE(env.prompter().messages(Prompter::Icon::Error).size(), boxes);
    }

    void typedNumbers_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("series");
        QTest::addColumn<QString>("error"); // empty: issued
        const QString taken = "Numer faktury %1 jest już zajęty przez inną wystawioną fakturę. "
                              "Podaj inny numer albo przyjmij proponowany.";
        QTest::newRow("taken in the series and year") << 3 << "H" << taken.arg("3/H/2026");
        QTest::newRow("taken by an older invoice") << 8 << "H" << taken.arg("8/H/2026");
        QTest::newRow("free in another series") << 3 << "HT"
                                                << "";
        QTest::newRow("cancelled invoice's number") << 4 << "H"
                                                    << "";
        QTest::newRow("above the old limit") << 40000 << "H"
                                             << "";
    }
    void typedNumbers()
    {
        QFETCH(int, number);
        QFETCH(QString, series);
        QFETCH(QString, error);
        TestEnv env;
        issued(env, calculated(env), 3);
        const int cancelled = calculated(env);
        issued(env, cancelled, 4);
        cancelInvoice(env.db(), cancelled);
        const int old = calculated(env);
        env.exec("UPDATE Kalk SET Typ = 2, Rach = 8, data_wystawienia = '2026-01-05' WHERE "
                 "Identyfikator = ?",
                 {old});
        const int g = calculated(env);
        const QStringList before = billingTables(env);
        const QString got = refusal([&] { issued(env, g, number, series); });
        if (!error.isEmpty()) {
            QCOMPARE(got, error);
            QCOMPARE(billingTables(env), before);
            return;
        }
        QCOMPARE(got, QString("<accepted>"));
        QCOMPARE(env.rows("SELECT Typ, Rach, Seria FROM Kalk WHERE Identyfikator = ?", {g}),
                 QStringList({QString("2|%1|%2").arg(number).arg(series)}));
    }

    // Two windows showed the same proposal; each takes the next free number
    // when it issues, and the second desk's invoice is not issued twice.
    void twoDesksWithOneProposal()
    {
        TestEnv env;
        const int a = calculated(env, "A");
        const int b = calculated(env, "B");
        CalcHeader ha = loadHeader(env.db(), a);
        CalcHeader hb = loadHeader(env.db(), b);
        CalcHeader again = ha;
        issueInvoice(env.db(), ha, QDate(2026, 7, 15), QDate(2026, 7, 15), PaymentMethod::Cash, 14,
                     std::nullopt, "H");
        issueInvoice(env.db(), hb, QDate(2026, 7, 15), QDate(2026, 7, 15), PaymentMethod::Cash, 14,
                     std::nullopt, "H");
        QCOMPARE(env.rows("SELECT Rach FROM Kalk ORDER BY Identyfikator"), QStringList({"1", "2"}));
        QCOMPARE(refusal([&] {
                     issueInvoice(env.db(), again, QDate(2026, 7, 15), QDate(2026, 7, 15),
                                  PaymentMethod::Cash, 14, std::nullopt, "H");
                 }),
                 QString("Faktura tej grupy została już wystawiona (nr 1/H/2026)."));
        env.exec("UPDATE Kalk SET Nazwa = '' WHERE Identyfikator = ?", {b});
        CalcHeader nameless = loadHeader(env.db(), b);
        nameless.type.reset();
        QCOMPARE(refusal([&] {
                     issueInvoice(env.db(), nameless, QDate(2026, 7, 15), QDate(2026, 7, 15),
                                  PaymentMethod::Cash, 14, std::nullopt, "H");
                 }),
                 QString("Podaj nazwę odbiorcy faktury."));
    }

    // Every write that would change an issued invoice's lines, buyer or
    // amounts is refused and leaves the tables as they were.
    void issuedInvoiceIsFrozen_data()
    {
        QTest::addColumn<int>("write");
        QTest::newRow("a line saved") << 0;
        QTest::newRow("discount applied") << 1;
        QTest::newRow("buyer and prepayment saved") << 2;
        QTest::newRow("service line added") << 3;
        QTest::newRow("service line changed") << 4;
        QTest::newRow("service line removed") << 5;
    }
    void issuedInvoiceIsFrozen()
    {
        QFETCH(int, write);
        TestEnv env;
        const int g = calculated(env);
        ServiceLine parking = addServiceLine(env.db(), parkingOf(g));
        issued(env, g, 12);
        const QStringList before =
            billingTables(env) + env.rows("SELECT * FROM Kalk_usl ORDER BY \"No\"");
        CalcLine line = loadLines(env.db(), g).first();
        const Money gross = line.gross;
        line.gross = Money::fromZloty(50);
        CalcHeader h = loadHeader(env.db(), g);
        h.name = QStringLiteral("Ktoś inny");
        const QString got = refusal([&] {
            if (write == 0)
                saveLine(env.db(), line, gross);
            else if (write == 1)
                applyDiscount(env.db(), g, "7", 10, "stały klient");
            else if (write == 2)
                confirmPrepayment(env.db(), h);
            else if (write == 3)
                addServiceLine(env.db(), parkingOf(g));
            else if (write == 4)
                changeServiceLine(env.db(), (parking.quantity = 5, parking));
            else
                removeServiceLine(env.db(), g, parking.no);
        });
        QCOMPARE(got, frozenInvoiceText("12/H/2026"));
        QCOMPARE(got, QString("Faktura nr 12/H/2026 jest już wystawiona: jej pozycji, nabywcy i "
                              "kwot nie można zmieniać. Zmiany wprowadza się po anulowaniu "
                              "faktury albo fakturą korygującą."));
        QCOMPARE(billingTables(env) + env.rows("SELECT * FROM Kalk_usl ORDER BY \"No\""), before);
    }

    void buyerIdentifiers_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept"); // "!" + message: refused
        const int nip = int(BuyerIdKind::Nip), eu = int(BuyerIdKind::EuVat),
                  other = int(BuyerIdKind::Foreign), none = int(BuyerIdKind::None);
        QTest::newRow("NIP with dashes") << nip << "111-111-11-11"
                                         << "1111111111";
        QTest::newRow("NIP with PL and blanks") << nip << " PL 222 222 22 22"
                                                << "2222222222";
        QTest::newRow("NIP checksum wrong")
            << nip << "123-456-78-90"
            << "!NIP nabywcy 1234567890 jest błędny: nie zgadza się cyfra kontrolna. Sprawdź "
               "numer z dokumentem nabywcy.";
        QTest::newRow("NIP checksum of 10")
            << nip << "1234567891"
            << "!NIP nabywcy 1234567891 jest błędny: nie zgadza się cyfra kontrolna. Sprawdź "
               "numer z dokumentem nabywcy.";
        QTest::newRow("NIP too short")
            << nip << "111-111-11"
            << "!NIP nabywcy musi mieć 10 cyfr (kreski i spacje można pominąć), a podano "
               "'111-111-11'.";
        QTest::newRow("NIP empty")
            << nip << ""
            << "!NIP nabywcy musi mieć 10 cyfr (kreski i spacje można pominąć), a podano ''.";
        QTest::newRow("EU number") << eu << "de 123 456 789"
                                   << "DE123456789";
        QTest::newRow("EU number with letters") << eu << "NL123456789B01"
                                                << "NL123456789B01";
        QTest::newRow("EU number of Poland")
            << eu << "PL1111111111"
            << "!Numer 'PL1111111111' jest polski: dla nabywcy z Polski "
               "wybierz „NIP”.";
        QTest::newRow("EU number without a country")
            << eu << "123456789"
            << "!Numer VAT UE nabywcy musi zaczynać się od kodu kraju Unii Europejskiej (np. DE, "
               "CZ, FR) i mieć po nim od 2 do 12 liter lub cyfr, a podano '123456789'.";
        QTest::newRow("another identifier") << other << " 12-345/UA "
                                            << "12-345/UA";
        QTest::newRow("another identifier missing")
            << other << "  "
            << "!Podaj identyfikator podatkowy nabywcy albo wybierz „Brak (osoba prywatna)”.";
        QTest::newRow("a private person") << none << "111"
                                          << "";
    }
    void buyerIdentifiers()
    {
        QFETCH(int, kind);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        try {
            const QString id = checkedBuyerId(static_cast<BuyerIdKind>(kind), typed);
            QCOMPARE(id, kept);
        } catch (const RezydoError& e) {
            QCOMPARE("!" + e.text(), kept);
        }
    }

    void likelyKindOfAnOldIdentifier_data()
    {
        QTest::addColumn<QString>("nip");
        QTest::addColumn<int>("kind");
        QTest::newRow("empty") << "" << int(BuyerIdKind::None);
        QTest::newRow("NIP") << "676-00-11-222" << int(BuyerIdKind::Nip);
        QTest::newRow("EU") << "DE 123456789" << int(BuyerIdKind::EuVat);
        QTest::newRow("short number") << "111" << int(BuyerIdKind::Foreign);
    }
    void likelyKindOfAnOldIdentifier()
    {
        QFETCH(QString, nip);
        QFETCH(int, kind);
        QCOMPARE(int(likelyBuyerIdKind(nip)), kind);
    }
};

class TestCorrections : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Two corrections of one invoice: the second starts where the first ended;
    // the invoice itself stays as issued, cancelling is refused, and what the
    // group owes follows the differences.
    void correctionsFollowEachOther()
    {
        TestEnv env;
        const int g = calculated(env);
        issued(env, g, 12);
        registerPayment(env.db(), {0, g, "1", Money::fromZloty(300), QDate(2026, 7, 15), 2, {}});
        QCOMPARE(env.scalar("SELECT rozl FROM Kalk").toInt(), 1);
        const QStringList invoice =
            env.rows("SELECT * FROM Kalk_det") + env.rows("SELECT Brutto, Podatek FROM Kalk");

        QList<CorrectionLine> lines = correctableLines(env.db(), g);
        QCOMPARE(lines.size(), 2);
        lines[1].grossAfter = Money::fromZloty(250);
        const qint64 first = issueCorrection(env.db(), g, lines, "Dopłata za późne wymeldowanie",
                                             QDate(2026, 7, 16), std::nullopt, "KOR");
        Correction c = loadCorrection(env.db(), first);
        QCOMPARE(c.numberText(), QString("1/KOR/2026"));
        QCOMPARE(c.invoiceNumber, QString("12/H/2026"));
        QCOMPARE(c.invoiceDate, QDate(2026, 7, 15));
        QCOMPARE(c.lines.size(), 1);
        QCOMPARE(c.lines[0].grossBefore, Money::fromZloty(200));
        QCOMPARE(c.lines[0].grossAfter, Money::fromZloty(250));
        QCOMPARE(c.lines[0].taxAfter - c.lines[0].taxBefore,
                 Money::fromGrosze(328)); // 16,36 − 13,08
        QCOMPARE(c.grossBefore, Money::fromZloty(300));
        QCOMPARE(c.grossDifference(), Money::fromZloty(50));
        QCOMPARE(env.scalar("SELECT rozl FROM Kalk").toInt(), 0);
        QCOMPARE(currentSettlement(env.db(), g).toPay, Money::fromZloty(50));

        lines = correctableLines(env.db(), g);
        QCOMPARE(lines[1].grossBefore, Money::fromZloty(250));
        lines[0].vatAfter = QStringLiteral("zw");
        lines[1].grossAfter = Money::fromZloty(150);
        const qint64 second =
            issueCorrection(env.db(), g, lines, "Rabat", QDate(2026, 7, 20), 7, "KOR");
        c = loadCorrection(env.db(), second);
        QCOMPARE(c.numberText(), QString("7/KOR/2026"));
        QCOMPARE(c.lines.size(), 2);
        QCOMPARE(c.lines[0].taxAfter, Money());
        QCOMPARE(c.grossBefore, Money::fromZloty(350));
        QCOMPARE(c.grossAfter, Money::fromZloty(250));
        QCOMPARE(correctionsDifference(env.db(), g), -Money::fromZloty(50));
        QCOMPARE(env.scalar("SELECT rozl FROM Kalk").toInt(), 1);
        QCOMPARE(env.rows("SELECT * FROM Kalk_det") + env.rows("SELECT Brutto, Podatek FROM Kalk"),
                 invoice);
        QCOMPARE(refusal([&] { cancelInvoice(env.db(), g); }),
                 QString("Faktury nr 12/H/2026 nie można anulować: wystawiono już do niej fakturę "
                         "korygującą. Dalsze zmiany wprowadza kolejna korekta."));
        QCOMPARE(env.scalar("SELECT Typ FROM Kalk").toInt(), 2);
    }

    // A service line is corrected like a room line and keeps its own number.
    void serviceLineCorrected()
    {
        TestEnv env;
        const int g = calculated(env);
        const ServiceLine parking = addServiceLine(env.db(), parkingOf(g));
        issued(env, g, 12);
        QList<CorrectionLine> lines = correctableLines(env.db(), g);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[2].lineNo, -parking.no);
        QCOMPARE(lines[2].description, QString("Parking"));
        QCOMPARE(lines[2].grossBefore, Money::fromZloty(60));
        QCOMPARE(lines[2].taxBefore, Money::fromGrosze(1122)); // 60,00 − 48,78
        lines[2].grossAfter = Money::fromZloty(30);
        const Correction c = loadCorrection(
            env.db(), issueCorrection(env.db(), g, lines, "Jedna doba parkingu mniej",
                                      QDate(2026, 7, 16), std::nullopt, "KOR"));
        QCOMPARE(c.lines.size(), 1);
        QCOMPARE(c.lines[0].lineNo, -parking.no);
        QCOMPARE(c.grossBefore, Money::fromZloty(360));
        QCOMPARE(c.grossDifference(), -Money::fromZloty(30));
        QCOMPARE(correctableLines(env.db(), g)[2].grossBefore, Money::fromZloty(30));
        QCOMPARE(correctableLines(env.db(), g)[0].grossBefore, Money::fromZloty(100));
    }

    void correctionRefused_data()
    {
        QTest::addColumn<QString>("case_");
        QTest::addColumn<QString>("message");
        QTest::newRow("no reason") << "reason"
                                   << "Podaj przyczynę korekty.";
        QTest::newRow("nothing changed")
            << "same"
            << "Korekta niczego nie zmienia: zmień kwotę brutto lub stawkę VAT co najmniej jednej "
               "pozycji.";
        QTest::newRow("invoice not issued")
            << "open"
            << "Ta grupa nie ma wystawionej faktury: nie ma czego korygować.";
        QTest::newRow("number taken")
            << "taken"
            << "Numer faktury korygującej 1/KOR/2026 jest już zajęty. Podaj inny numer albo "
               "przyjmij proponowany.";
    }
    void correctionRefused()
    {
        QFETCH(QString, case_);
        QFETCH(QString, message);
        TestEnv env;
        const int other = calculated(env, "Inni");
        issued(env, other);
        QList<CorrectionLine> lines = correctableLines(env.db(), other);
        lines[0].grossAfter = Money::fromZloty(1);
        issueCorrection(env.db(), other, lines, "x", QDate(2026, 7, 15), std::nullopt, "KOR");
        const int g = calculated(env);
        if (case_ != "open")
            issued(env, g);
        lines = correctableLines(env.db(), g);
        if (case_ != "same")
            lines[0].grossAfter = Money::fromZloty(90);
        const QStringList before = env.rows("SELECT * FROM Korekta") +
                                   env.rows("SELECT * FROM Korekta_det") + billingTables(env);
        QCOMPARE(refusal([&] {
                     issueCorrection(
                         env.db(), g, lines, case_ == "reason" ? " " : "Zwrot", QDate(2026, 8, 1),
                         case_ == "taken" ? std::optional<int>(1) : std::nullopt, "KOR");
                 }),
                 message);
        QCOMPARE(env.rows("SELECT * FROM Korekta") + env.rows("SELECT * FROM Korekta_det") +
                     billingTables(env),
                 before);
    }
};

REZYDO_TEST(TestInvoiceNumbers);
REZYDO_TEST(TestCorrections);
#include "test_invoice_numbers.moc"
