#include "core/money.h"
#include "tests/support/test_registry.h"

#include <QTest>

#include <limits>

class TestMoney : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<qlonglong>("units");
        QTest::newRow("whole") << "120" << true << 1200000LL;
        QTest::newRow("comma, one decimal") << "120,5" << true << 1205000LL;
        QTest::newRow("point, two decimals") << "120.50" << true << 1205000LL;
        QTest::newRow("grouped with a space") << "1 234,50" << true << 12345000LL;
        QTest::newRow("grouped with no-break space")
            << QStringLiteral("1\u00a0234,50") << true << 12345000LL;
        QTest::newRow("four decimals") << "0,0001" << true << 1LL;
        QTest::newRow("negative") << "-3,25" << true << -32500LL;
        QTest::newRow("with currency") << "150,00 zł" << true << 1500000LL;
        QTest::newRow("blank around") << "  7 " << true << 70000LL;
        QTest::newRow("tab before the currency") << "120,50\tzł" << true << 1205000LL;
        QTest::newRow("leading separator") << ",5" << true << 5000LL;
        QTest::newRow("five decimals") << "1,00001" << false << 0LL;
        QTest::newRow("empty") << "" << false << 0LL;
        QTest::newRow("letters") << "abc" << false << 0LL;
        QTest::newRow("two separators") << "1,2,3" << false << 0LL;
        QTest::newRow("only minus") << "-" << false << 0LL;
        QTest::newRow("separator alone") << "," << false << 0LL;
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(qlonglong, units);
        const std::optional<Money> m = Money::parse(text);
        QCOMPARE(m.has_value(), valid);
        if (valid)
            QCOMPARE(m->units(), units);
    }

    void roundHalfUpToCents_data()
    {
        QTest::addColumn<qlonglong>("units");
        QTest::addColumn<qlonglong>("rounded");
        QTest::newRow("exact") << 1500000LL << 1500000LL;
        QTest::newRow("below half") << 12349LL << 12300LL;
        QTest::newRow("half goes up") << 12350LL << 12400LL;
        QTest::newRow("above half") << 12351LL << 12400LL;
        // adding half a cent and truncating toward zero: negatives move up
        QTest::newRow("negative below half") << -12349LL << -12200LL;
        QTest::newRow("negative half") << -12350LL << -12300LL;
        QTest::newRow("tax of 15% example") << 55615LL << 55600LL;
    }
    void roundHalfUpToCents()
    {
        QFETCH(qlonglong, units);
        QFETCH(qlonglong, rounded);
        QCOMPARE(Money::fromUnits(units).roundedHalfUpToCents().units(), rounded);
    }

    void mulDivTiesToEven_data()
    {
        QTest::addColumn<qlonglong>("units");
        QTest::addColumn<qlonglong>("num");
        QTest::addColumn<qlonglong>("den");
        QTest::addColumn<qlonglong>("result");
        QTest::newRow("exact") << 1000000LL << 85LL << 100LL << 850000LL;
        QTest::newRow("85% of 99,99") << 999900LL << 85LL << 100LL << 849915LL;
        QTest::newRow("tie to even, down") << 5LL << 1LL << 2LL << 2LL;
        QTest::newRow("tie to even, up") << 7LL << 1LL << 2LL << 4LL;
        QTest::newRow("negative tie") << -5LL << 1LL << 2LL << -2LL;
        QTest::newRow("net of 150 at 7%") << 1500000LL << 100LL << 107LL << 1401869LL;
        QTest::newRow("negative denominator") << 10LL << 1LL << -4LL << -2LL;
    }
    void mulDivTiesToEven()
    {
        QFETCH(qlonglong, units);
        QFETCH(qlonglong, num);
        QFETCH(qlonglong, den);
        QFETCH(qlonglong, result);
        QCOMPARE(Money::mulDiv(Money::fromUnits(units), num, den).units(), result);
    }

    void format_data()
    {
        QTest::addColumn<qlonglong>("units");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("grouped");
        QTest::newRow("zero") << 0LL << "0,00 zł"
                              << "0,00";
        QTest::newRow("whole") << 1500000LL << "150,00 zł"
                               << "150,00";
        QTest::newRow("four places shown as two") << 849915LL << "84,99 zł"
                                                  << "84,99";
        QTest::newRow("half a cent away from zero") << 12350LL << "1,24 zł"
                                                    << "1,24";
        QTest::newRow("negative") << -32500LL << "-3,25 zł"
                                  << "-3,25";
        QTest::newRow("tiny negative shows zero") << -1LL << "0,00 zł"
                                                  << "0,00";
        QTest::newRow("thousands") << 12345000LL << "1234,50 zł" << QStringLiteral("1\u00a0234,50");
        QTest::newRow("millions") << 12345678900LL << "1234567,89 zł"
                                  << QStringLiteral("1\u00a0234\u00a0567,89");
        // Any value a database file holds formats, the extremes included.
        QTest::newRow("highest stored")
            << std::numeric_limits<qlonglong>::max() << "922337203685477,58 zł"
            << QStringLiteral("922\u00a0337\u00a0203\u00a0685\u00a0477,58");
        QTest::newRow("lowest stored")
            << std::numeric_limits<qlonglong>::min() << "-922337203685477,58 zł"
            << QStringLiteral("-922\u00a0337\u00a0203\u00a0685\u00a0477,58");
    }
    void format()
    {
        QFETCH(qlonglong, units);
        QFETCH(QString, text);
        QFETCH(QString, grouped);
        QCOMPARE(Money::fromUnits(units).toString(), text);
        QCOMPARE(Money::fromUnits(units).toPlainString(true), grouped);
    }

    void comparesExactly()
    {
        QVERIFY(Money::fromUnits(1) > Money());
        QCOMPARE(Money::fromZloty(500) - Money::fromZloty(100) - Money::fromZloty(400), Money());
        QVERIFY(Money::fromUnits(4999999) != Money::fromZloty(500));
    }
};

REZYDO_TEST(TestMoney);
#include "test_money.moc"
