#include "billing/payments.h"
#include "db/sql.h"
#include "tests/billing/billing_fixture.h"
#include "tests/support/test_registry.h"

#include <QTest>

using namespace billing_fixture;

namespace {
qint64 pay(TestEnv& env, int group, const char* amount, int type = 1, const QString& number = {})
{
    Payment p;
    p.groupId = group;
    p.amount = Money::fromUnits(units(amount));
    p.type = type;
    p.number = number;
    p.day = QDate(2026, 7, 15);
    return registerPayment(env.db(), p);
}

// Counts the writes of the settled flag, to show it is stored only when it changes.
void countSettledWrites(TestEnv& env)
{
    runSql(env.db(), "CREATE TABLE Zapisy (n INTEGER)");
    addTrigger(env, "liczRozl", "AFTER UPDATE OF rozl ON Kalk", {},
               "INSERT INTO Zapisy VALUES (NEW.rozl)", "INSERT INTO Zapisy VALUES (NEW.rozl)");
}
} // namespace

class TestPayments : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void followingNumber_data()
    {
        QTest::addColumn<QString>("previous");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("next");
        QTest::newRow("first receipt") << "" << 1 << "0001/    #    ";
        QTest::newRow("receipt keeps the rest") << "0012/2002#0001" << 1 << "0013/2002#0001";
        QTest::newRow("receipt partly filled") << "0041/" << 1 << "0042/    #    ";
        QTest::newRow("receipt with letters") << "ab12/2002#0001" << 1 << "0001/2002#0001";
        QTest::newRow("receipt typed short") << "   7/    #    " << 1 << "0008/    #    ";
        // Numbers stored without the blanks of the mask go on from their digits too.
        QTest::newRow("stored short, blanks lost") << "7/#" << 1 << "0008/    #    ";
        QTest::newRow("stored proposal, blanks lost") << "0001/#" << 1 << "0002/    #    ";
        QTest::newRow("stored partly, blanks lost") << "0012/26#1" << 1 << "0013/  26#   1";
        QTest::newRow("stored empty field") << "/#" << 1 << "0001/    #    ";
        QTest::newRow("first of another type") << "" << 2 << "1";
        QTest::newRow("plain number") << "57" << 3 << "58";
        QTest::newRow("lettered number") << "P57/2026" << 3 << "1";
        QTest::newRow("receipt-looking transfer") << "0012/2002#0001" << 4 << "1";
    }
    void followingNumber()
    {
        QFETCH(QString, previous);
        QFETCH(int, type);
        QFETCH(QString, next);
        QCOMPARE(followingDocumentNumber(previous, type), next);
    }

    void receiptAsStored_data()
    {
        QTest::addColumn<QString>("field"); // the masked field's text, empty positions left out
        QTest::addColumn<QString>("stored");
        QTest::newRow("proposal untouched") << "0001/#"
                                            << "0001/    #    ";
        QTest::newRow("7 typed") << "7/#"
                                 << "   7/    #    ";
        QTest::newRow("two parts") << "0001/2026#"
                                   << "0001/2026#    ";
        QTest::newRow("whole") << "0012/2026#0015"
                               << "0012/2026#0015";
        QTest::newRow("short in every part") << "12/3#45"
                                             << "  12/   3#  45";
        QTest::newRow("blanks within a part") << "1 2 /  3 #    "
                                              << "  12/   3#    ";
        QTest::newRow("emptied") << "/#"
                                 << "    /    #    ";
        QTest::newRow("no separators") << ""
                                       << "    /    #    ";
    }
    void receiptAsStored()
    {
        QFETCH(QString, field);
        QFETCH(QString, stored);
        QCOMPARE(receiptNumber(field), stored);
    }

    // A type typed into the payment dialog's list counts in any letter case;
    // anything else is no type (0).
    void typedPaymentType_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("code");
        QTest::newRow("as listed") << "Paragon" << 1;
        QTest::newRow("small letters") << "kwitariusz" << 2;
        QTest::newRow("capitals") << "PRZELEW" << 3;
        QTest::newRow("mixed") << "pRzElEw" << 3;
        QTest::newRow("Polish letter, small") << "nota księgowa" << 4;
        QTest::newRow("Polish letter, capital") << "NOTA KSIĘGOWA" << 4;
        QTest::newRow("other word") << "Karta" << 0;
        QTest::newRow("longer") << "Przelewy" << 0;
        QTest::newRow("empty") << "" << 0;
    }
    void typedPaymentType()
    {
        QFETCH(QString, typed);
        QFETCH(int, code);
        QCOMPARE(paymentTypeCode(typed), code);
    }

    void numberingIsPerTypeOverAllGroups()
    {
        TestEnv env;
        const int a = addGroup(env, "A", 1, "2026-07-15", "2026-07-16");
        const int b = addGroup(env, "B", 1, "2026-07-15", "2026-07-16");
        addCalculation(env, a, {units("100")});
        addCalculation(env, b, {units("100")});
        QCOMPARE(nextDocumentNumber(env.db(), 1), QString("0001/    #    "));
        QCOMPARE(nextDocumentNumber(env.db(), 2), QString("1"));
        pay(env, a, "10", 1, "0012/2026#0001");
        pay(env, a, "10", 2, "57");
        const qint64 latest = pay(env, b, "10", 1, "0013/2026#0001");
        QCOMPARE(nextDocumentNumber(env.db(), 1), QString("0014/2026#0001"));
        QCOMPARE(nextDocumentNumber(env.db(), 2), QString("58"));
        QCOMPARE(nextDocumentNumber(env.db(), 3), QString("1"));
        // Deleting the latest receipt makes its number come round again.
        removePayment(env.db(), b, latest);
        QCOMPARE(nextDocumentNumber(env.db(), 1), QString("0013/2026#0001"));
    }

    void settlement_data()
    {
        QTest::addColumn<QString>("gross");
        QTest::addColumn<QString>("prepayment");
        QTest::addColumn<QStringList>("payments");
        QTest::addColumn<QString>("toPay");
        QTest::addColumn<bool>("settled");
        QTest::newRow("paid in two") << "150"
                                     << "0" << QStringList{"100", "50"} << "0" << true;
        QTest::newRow("overpaid") << "150"
                                  << "0" << QStringList{"200"} << "-50" << true;
        QTest::newRow("prepaid, no payments") << "150"
                                              << "150" << QStringList{} << "0" << true;
        QTest::newRow("short by a ten-thousandth")
            << "150"
            << "0" << QStringList{"149,9999"} << "0,0001" << false;
        QTest::newRow("nothing due") << "0"
                                     << "0" << QStringList{} << "0" << true;
        QTest::newRow("part paid") << "150"
                                   << "20" << QStringList{"100"} << "30" << false;
    }
    void settlement()
    {
        QFETCH(QString, gross);
        QFETCH(QString, prepayment);
        QFETCH(QStringList, payments);
        QFETCH(QString, toPay);
        QFETCH(bool, settled);
        TestEnv env;
        const int g = addGroup(env, "G", 1, "2026-07-15", "2026-07-16");
        addCalculation(env, g, {Money::parse(gross)->units()});
        env.exec("UPDATE Kalk SET Przedplata = ?", {qlonglong(Money::parse(prepayment)->units())});
        for (const QString& p : payments)
            env.exec("INSERT INTO Kwit (Identyfikator, Wplata, Typ) VALUES (?, ?, 1)",
                     {g, qlonglong(Money::parse(p)->units())});
        const Settlement s = refreshSettlement(env.db(), g);
        QCOMPARE(s.toPay.units(), Money::parse(toPay)->units());
        QCOMPARE(s.settled, settled);
        QCOMPARE(env.scalar("SELECT rozl FROM Kalk").toBool(), settled);
    }

    void settledFlagFollowsPayments()
    {
        TestEnv env;
        const int g = addGroup(env, "G", 1, "2026-07-15", "2026-07-16");
        addCalculation(env, g, {units("150")});
        countSettledWrites(env);
        const qint64 first = pay(env, g, "100");
        QCOMPARE(env.scalar("SELECT rozl FROM Kalk").toInt(), 0);
        const qint64 second = pay(env, g, "50");
        QCOMPARE(env.scalar("SELECT rozl FROM Kalk").toInt(), 1);
        removePayment(env.db(), g, first);
        removePayment(env.db(), g, second);
        QCOMPARE(env.scalar("SELECT rozl FROM Kalk").toInt(), 0);
        settle(env.db(), g);
        QCOMPARE(env.rows("SELECT n FROM Zapisy"), QStringList({"1", "0"}));
        QCOMPARE(env.scalar("SELECT count(*) FROM Kwit").toInt(), 0);
    }

    void openingShowsStoredState()
    {
        TestEnv env;
        const int g = addGroup(env, "G", 1, "2026-07-15", "2026-07-16");
        addCalculation(env, g, {units("100"), units("50")});
        env.exec("UPDATE Kalk SET Brutto = 0, Przedplata = ?", {units("20")});
        env.exec("INSERT INTO Kwit (Identyfikator, Wplata, Typ) VALUES (?, ?, 1)",
                 {g, units("30")});
        // Due from the lines, settled as stored, nothing written.
        const Settlement s = storedSettlement(env.db(), g);
        QCOMPARE(s.paid.units(), units("30"));
        QCOMPARE(s.toPay.units(), units("100"));
        QVERIFY(!s.settled);
        QCOMPARE(currentSettlement(env.db(), g).toPay.units(), units("-50"));
        QCOMPARE(env.scalar("SELECT rozl FROM Kalk").toInt(), 0);
    }
};

REZYDO_TEST(TestPayments);
#include "test_payments.moc"
