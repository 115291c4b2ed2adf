#include "billing/calculation.h"
#include "billing/invoice.h"
#include "billing/payments.h"
#include "billing/regular_clients.h"
#include "db/sql.h"
#include "tests/billing/billing_fixture.h"
#include "tests/support/polish_names.h"
#include "tests/support/test_registry.h"

#include <QTest>

using namespace billing_fixture;

namespace {
int calculatedGroup(TestEnv& env, const QString& name = QStringLiteral("G"))
{
    const int g = addGroup(env, name, 1, "2026-07-15", "2026-07-16");
    addCalculation(env, g, {units("150")});
    return g;
}

void invoiceFor(TestEnv& env, int group, int number, const QString& name, const QString& nip,
                const QString& address, bool issued = true)
{
    env.exec("UPDATE Kalk SET Rach = ?, Nazwa = ?, Nip = ?, Adres = ?, Typ = ?, "
             "data_wystawienia = '2026-07-15' WHERE Identyfikator = ?",
             {number, name, nip, address, issued ? QVariant(2) : QVariant(), group});
}

int proposal(TestEnv& env)
{
    return proposedInvoiceNumber(env.db(), "H", 2026);
}

QStringList names(const QList<RegularClient>& clients)
{
    QStringList out;
    for (const RegularClient& c : clients)
        out << c.name + QLatin1Char('|') + c.nip + QLatin1Char('|') + c.address;
    return out;
}
} // namespace

class TestInvoice : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void numberProposal()
    {
        TestEnv env;
        QCOMPARE(proposal(env), 1);
        for (int n = 1; n <= 5; ++n)
            invoiceFor(env, calculatedGroup(env), n, "K", "", "");
        const int fifth = env.scalar("SELECT Identyfikator FROM Kalk WHERE Rach = 5").toInt();
        cancelInvoice(env.db(), fifth);
        QCOMPARE(env.scalar("SELECT Rach FROM Kalk WHERE Identyfikator = ?", {fifth}).toInt(), 5);
        QCOMPARE(proposal(env), 6);
    }

    void numberBox_data()
    {
        QTest::addColumn<QVariant>("answer"); // null: the box was cancelled
        QTest::addColumn<QString>("prefilled");
        QTest::addColumn<QVariant>("number"); // "error": refused
        QTest::newRow("cancelled keeps the proposal") << QVariant() << "6" << QVariant(6);
        QTest::newRow("left as it was") << QVariant("6") << "6" << QVariant(6);
        QTest::newRow("typed") << QVariant(" 12 ") << "6" << QVariant(12);
        QTest::newRow("emptied") << QVariant("") << "6" << QVariant("empty");
        QTest::newRow("blanks only") << QVariant("   ") << "6" << QVariant("empty");
        QTest::newRow("cancelled with no proposal") << QVariant() << "" << QVariant("empty");
        QTest::newRow("not a number") << QVariant("12a") << "6" << QVariant("error");
        QTest::newRow("zero") << QVariant("0") << "6" << QVariant("error");
        QTest::newRow("negative") << QVariant("-3") << "6" << QVariant("error");
        QTest::newRow("above the old limit") << QVariant("40000") << "6" << QVariant(40000);
        QTest::newRow("too big for a number") << QVariant("3000000000") << "6" << QVariant("error");
    }
    void numberBox()
    {
        QFETCH(QVariant, answer);
        QFETCH(QString, prefilled);
        QFETCH(QVariant, number);
        const std::optional<QString> typed =
            answer.isNull() ? std::nullopt : std::optional<QString>(answer.toString());
        if (number == QVariant("error") || number == QVariant("empty")) {
            try {
                invoiceNumberFromAnswer(typed, prefilled);
                QFAIL("a number was accepted");
            } catch (const RezydoError& e) {
                QCOMPARE(e.text(),
                         number == QVariant("empty")
                             ? QString("Nie podano numeru faktury: faktura musi mieć numer.")
                             : QString("'%1' nie jest poprawnym numerem faktury: numer to liczba "
                                       "całkowita większa od zera.")
                                   .arg(answer.toString()));
            }
            return;
        }
        QCOMPARE(invoiceNumberFromAnswer(typed, prefilled), number.toInt());
    }

    void issueCancelAndIssueAgain()
    {
        TestEnv env;
        const int g = calculatedGroup(env);
        CalcHeader h = loadHeader(env.db(), g);
        h.number = 7;
        h.name = QStringLiteral("Firma");
        issueInvoice(env.db(), h, QDate(2002, 3, 1), QDate(2002, 2, 28), PaymentMethod::Transfer,
                     14, 7, "H");
        QCOMPARE(env.rows("SELECT Typ, Rach, Nazwa, data_wystawienia, data_sprzedazy, "
                          "termin_platnosci, sposob_zaplaty FROM Kalk"),
                 QStringList({"2|7|Firma|2002-03-01|2002-02-28|2002-03-15|2"}));
        QCOMPARE(termDaysOf(loadHeader(env.db(), g)), 14);

        cancelInvoice(env.db(), g);
        QCOMPARE(env.rows("SELECT Typ, Rach, Nazwa, termin_platnosci FROM Kalk"),
                 QStringList({"NULL|7|Firma|2002-03-15"}));
        // Cash leaves the earlier due date as it was.
        h = loadHeader(env.db(), g);
        QVERIFY(!h.invoiceIssued());
        issueInvoice(env.db(), h, QDate(2002, 4, 1), QDate(2002, 4, 1), PaymentMethod::Cash, 30, 7,
                     "H");
        QCOMPARE(env.rows("SELECT Typ, Rach, termin_platnosci, sposob_zaplaty FROM Kalk"),
                 QStringList({"2|7|2002-03-15|1"}));
    }

    void prepaymentSettles()
    {
        TestEnv env;
        const int g = calculatedGroup(env);
        CalcHeader h = loadHeader(env.db(), g);
        h.prepayment = Money::fromZloty(150);
        h.name = QStringLiteral("Nowy odbiorca");
        confirmPrepayment(env.db(), h);
        QCOMPARE(env.rows("SELECT Przedplata, Nazwa, rozl FROM Kalk"),
                 QStringList({"1500000|Nowy odbiorca|1"}));
    }

    void prepaymentLeavesTheNumberUnsaved_data()
    {
        QTest::addColumn<QVariant>("stored"); // Rach before; null: none
        QTest::addColumn<QVariant>("shown");  // the number of the window's header
        QTest::newRow("no invoice, proposal") << QVariant() << QVariant(3);
        QTest::newRow("no invoice, number typed") << QVariant() << QVariant(9);
        QTest::newRow("cancelled invoice, number typed") << QVariant(3) << QVariant(9);
        QTest::newRow("cancelled invoice, number emptied") << QVariant(3) << QVariant();
    }
    void prepaymentLeavesTheNumberUnsaved()
    {
        QFETCH(QVariant, stored);
        QFETCH(QVariant, shown);
        TestEnv env;
        invoiceFor(env, calculatedGroup(env), 1, "A", "", "");
        invoiceFor(env, calculatedGroup(env), 2, "B", "", "");
        const int g = calculatedGroup(env);
        env.exec("UPDATE Kalk SET Rach = ? WHERE Identyfikator = ?", {stored, g});
        const int before = proposal(env);
        CalcHeader h = loadHeader(env.db(), g);
        h.number = shown.isNull() ? std::nullopt : std::optional<int>(shown.toInt());
        h.prepayment = Money::fromZloty(20);
        h.name = QStringLiteral("Odbiorca");
        h.paymentMethod = static_cast<int>(PaymentMethod::Transfer);
        confirmPrepayment(env.db(), h);
        QCOMPARE(env.rows("SELECT Typ, Rach, Przedplata, Nazwa, sposob_zaplaty FROM Kalk "
                          "WHERE Identyfikator = ?",
                          {g}),
                 QStringList({QString("NULL|%1|200000|Odbiorca|2")
                                  .arg(stored.isNull() ? "NULL" : stored.toString())}));
        QCOMPARE(proposal(env), before);
    }

    void regularClientsFirstIssuedThenSearch()
    {
        TestEnv env;
        invoiceFor(env, calculatedGroup(env), 1, "Hotelarz sp. z o.o.", "111", "Kraków");
        invoiceFor(env, calculatedGroup(env), 2, "Hotelarz sp. z o.o.", "111", "Kraków");
        invoiceFor(env, calculatedGroup(env), 3, "Biuro Podróży", "222", "Gdańsk", false);
        invoiceFor(env, calculatedGroup(env), 4, "Rabat 50%", "333", "Łódź");
        invoiceFor(env, calculatedGroup(env), 5, "Rabat 500", "444", "O'Brien Street");
        RegularClients clients;
        QCOMPARE(names(clients.rows(env.db())),
                 QStringList({"Hotelarz sp. z o.o.|111|Kraków", "Rabat 50%|333|Łódź",
                              "Rabat 500|444|O'Brien Street"}));
        // A search looks at every calculation, issued or not, one row per number.
        clients.search("o", "", "");
        QCOMPARE(names(clients.rows(env.db())),
                 QStringList({"Biuro Podróży|222|Gdańsk", "Hotelarz sp. z o.o.|111|Kraków",
                              "Hotelarz sp. z o.o.|111|Kraków"}));
        clients.search("", "", "");
        QCOMPARE(clients.rows(env.db()).size(), 5);
    }

    // Letters match in any case, Polish ones too; a letter with a mark is
    // still another letter than the one without.
    void searchIgnoresPolishLetterCase_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("łódź finds Łódź and ŁÓDŹ")
            << ""
            << "łódź" << QStringList{"Łódzka Spółka", "ŻAK i syn"};
        QTest::newRow("capitals typed") << "ŚNIEŻ"
                                        << "" << QStringList{"Hotel Śnieżka"};
        QTest::newRow("small letters typed, inside the name") << "spół"
                                                              << "" << QStringList{"Łódzka Spółka"};
        QTest::newRow("ż is not z") << "żak"
                                    << "" << QStringList{"ŻAK i syn"};
        QTest::newRow("plain letters find plain letters") << ""
                                                          << "lodz" << QStringList{"Zakład"};
    }
    void searchIgnoresPolishLetterCase()
    {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QStringList, found);
        TestEnv env;
        invoiceFor(env, calculatedGroup(env), 1, "ŻAK i syn", "3", "ŁÓDŹ");
        invoiceFor(env, calculatedGroup(env), 2, "Hotel Śnieżka", "2", "Karpacz");
        invoiceFor(env, calculatedGroup(env), 3, "Zakład", "4", "Lodz");
        invoiceFor(env, calculatedGroup(env), 4, "Łódzka Spółka", "1", "ul. Żeromskiego 1, Łódź");
        RegularClients clients;
        clients.search(name, address, "");
        QStringList got;
        for (const RegularClient& c : clients.rows(env.db()))
            got << c.name;
        QCOMPARE(got, found);
    }

    void regularClientsInPolishOrder_data()
    {
        QTest::addColumn<bool>("searched");
        QTest::newRow("the recipients of invoices") << false;
        QTest::newRow("a search") << true;
    }
    void regularClientsInPolishOrder()
    {
        QFETCH(bool, searched);
        TestEnv env;
        int number = 0;
        for (const QString& name : namesAsWritten())
            invoiceFor(env, calculatedGroup(env), ++number, name, "", "");
        RegularClients clients;
        if (searched)
            clients.search("", "", "");
        QStringList got;
        for (const RegularClient& c : clients.rows(env.db()))
            got << c.name;
        QCOMPARE(got, kNamesInPolishOrder);
    }

    void searchTextIsPlain_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("nip");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("percent") << "50%"
                                 << ""
                                 << "" << QStringList{"A 50%"};
        QTest::newRow("underscore") << "a_b"
                                    << ""
                                    << "" << QStringList{"a_b"};
        QTest::newRow("backslash") << "\\x"
                                   << ""
                                   << "" << QStringList{"c\\x"};
        QTest::newRow("quote") << ""
                               << "O'B"
                               << "" << QStringList{"a_b"};
        QTest::newRow("two fields") << "a"
                                    << ""
                                    << "12" << QStringList{"A 50%"};
        QTest::newRow("no match") << "zz"
                                  << ""
                                  << "" << QStringList{};
    }
    void searchTextIsPlain()
    {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, nip);
        QFETCH(QStringList, found);
        TestEnv env;
        invoiceFor(env, calculatedGroup(env), 1, "A 50%", "123", "");
        invoiceFor(env, calculatedGroup(env), 2, "A 500", "456", "");
        invoiceFor(env, calculatedGroup(env), 3, "a_b", "", "O'Brien");
        invoiceFor(env, calculatedGroup(env), 4, "axb", "", "OBrien");
        invoiceFor(env, calculatedGroup(env), 5, "c\\x", "", "");
        RegularClients clients;
        clients.search(name, address, nip);
        QStringList got;
        for (const RegularClient& c : clients.rows(env.db()))
            got << c.name;
        QCOMPARE(got, found);
    }
};

// Every write of billing against a database that refuses part of it: the
// failure comes back as DbError and nothing is half written.
class TestBillingWritesRefused : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void refusedWriteLeavesNothing_data()
    {
        QTest::addColumn<int>("write");
        QTest::addColumn<QString>("refused"); // the writes refused by the database
        QTest::addColumn<QString>("when");
        const QString refuse = QStringLiteral("BEFORE UPDATE OF %1 ON Kalk");
        QTest::newRow("payment: number too long") << 0 << QString() << QString();
        QTest::newRow("payment: settled flag") << 1 << refuse.arg("rozl") << QString();
        QTest::newRow("payment deleted: settled flag") << 2 << refuse.arg("rozl") << QString();
        QTest::newRow("line saved: sums") << 3 << refuse.arg("Brutto") << QString();
        QTest::newRow("discount: header") << 4 << refuse.arg("VAT") << QString();
        QTest::newRow("discount: a line")
            << 4 << QString("BEFORE UPDATE ON Kalk_det") << QString("NEW.Nr_pokoju = '2'");
        QTest::newRow("invoice issued: name too long") << 5 << QString() << QString();
        QTest::newRow("invoice cancelled") << 6 << refuse.arg("Typ") << QString();
        QTest::newRow("prepayment: settled flag") << 7 << refuse.arg("rozl") << QString();
    }
    void refusedWriteLeavesNothing()
    {
        QFETCH(int, write);
        QFETCH(QString, refused);
        QFETCH(QString, when);
        TestEnv env;
        addRoom(env, "1", 2, "A");
        addRoom(env, "2", 2, "A");
        addPrice(env, "A", "50", "100");
        const int g = addGroup(env, "G", 4, "2026-07-15", "2026-07-17");
        addRoomLine(env, g, "1", "2026-07-15", "2026-07-17", 2);
        addRoomLine(env, g, "2", "2026-07-15", "2026-07-17", 2);
        createCalculation(env.db(), g);
        const qint64 paid = [&] {
            Payment p{0, g, "1", Money::fromZloty(400), QDate(2026, 7, 15), 2, {}};
            return registerPayment(env.db(), p);
        }();
        QCOMPARE(env.scalar("SELECT rozl FROM Kalk").toInt(), 1);
        // Only an issued invoice can be cancelled; the other writes need an open one.
        if (write == 6)
            env.exec("UPDATE Kalk SET Typ = 2, Rach = 1");
        if (!refused.isEmpty())
            refuseWrites(env, refused, when);
        const QStringList before = billingTables(env);

        QSqlDatabase db = env.db();
        CalcHeader h = loadHeader(db, g);
        CalcLine line = loadLines(db, g).first();
        const Money gross = line.gross;
        line.gross = Money::fromZloty(500);
        switch (write) {
        case 0:
            QVERIFY_THROWS_EXCEPTION(
                DbError, registerPayment(db, {0, g, QString(15, '1'), Money(), QDate(), 1, {}}));
            break;
        case 1:
            QVERIFY_THROWS_EXCEPTION(
                DbError, registerPayment(db, {0, g, "2", -Money::fromZloty(1), QDate(), 1, {}}));
            break;
        case 2:
            QVERIFY_THROWS_EXCEPTION(DbError, removePayment(db, g, paid));
            break;
        case 3:
            QVERIFY_THROWS_EXCEPTION(DbError, saveLine(db, line, gross));
            break;
        case 4:
            QVERIFY_THROWS_EXCEPTION(DbError, applyDiscount(db, g, "22", 10, "x"));
            break;
        case 5:
            h.name = QString(41, 'N');
            QVERIFY_THROWS_EXCEPTION(DbError,
                                     issueInvoice(db, h, QDate(2026, 7, 15), QDate(2026, 7, 15),
                                                  PaymentMethod::Transfer, 14, 1, "H"));
            QVERIFY(!h.dueDate.isValid()); // the caller's copy is not marked issued either
            break;
        case 6:
            QVERIFY_THROWS_EXCEPTION(DbError, cancelInvoice(db, g));
            break;
        case 7:
            h.prepayment = Money::fromZloty(-100);
            QVERIFY_THROWS_EXCEPTION(DbError, confirmPrepayment(db, h));
            break;
        }
        QCOMPARE(billingTables(env), before);
    }
};

REZYDO_TEST(TestInvoice);
REZYDO_TEST(TestBillingWritesRefused);
#include "test_invoice.moc"
