#include "core/holidays.h"
#include "tests/support/test_registry.h"

#include <QTest>

class TestHolidays : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void holidays_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("name");
        QTest::newRow("New Year") << QDate(2026, 1, 1) << "Nowy Rok";
        QTest::newRow("Epiphany") << QDate(2026, 1, 6) << "Święto Trzech Króli";
        QTest::newRow("Epiphany before it was restored") << QDate(2010, 1, 6) << "";
        QTest::newRow("Easter 2024, in March") << QDate(2024, 3, 31) << "Wielkanoc";
        QTest::newRow("Easter Monday 2024, 1 April")
            << QDate(2024, 4, 1) << "Poniedziałek Wielkanocny";
        QTest::newRow("Easter 2025") << QDate(2025, 4, 20) << "Wielkanoc";
        QTest::newRow("Easter 2026") << QDate(2026, 4, 5) << "Wielkanoc";
        QTest::newRow("Easter Monday 2026") << QDate(2026, 4, 6) << "Poniedziałek Wielkanocny";
        QTest::newRow("Holy Saturday") << QDate(2026, 4, 4) << "";
        QTest::newRow("Pentecost 2026") << QDate(2026, 5, 24) << "Zielone Świątki";
        QTest::newRow("Corpus Christi 2026") << QDate(2026, 6, 4) << "Boże Ciało";
        QTest::newRow("Corpus Christi 2038, late Easter") << QDate(2038, 6, 24) << "Boże Ciało";
        QTest::newRow("Labour Day") << QDate(2026, 5, 1) << "Święto Pracy";
        QTest::newRow("Constitution Day") << QDate(2026, 5, 3) << "Święto Konstytucji 3 Maja";
        QTest::newRow("2 May is a working day") << QDate(2026, 5, 2) << "";
        QTest::newRow("Assumption")
            << QDate(2026, 8, 15) << "Wniebowzięcie Najświętszej Maryi Panny";
        QTest::newRow("All Saints") << QDate(2026, 11, 1) << "Wszystkich Świętych";
        QTest::newRow("Independence Day")
            << QDate(2026, 11, 11) << "Narodowe Święto Niepodległości";
        QTest::newRow("Christmas Eve 2024: a working day") << QDate(2024, 12, 24) << "";
        QTest::newRow("Christmas Eve 2025") << QDate(2025, 12, 24) << "Wigilia Bożego Narodzenia";
        QTest::newRow("Christmas") << QDate(2026, 12, 25) << "Boże Narodzenie (pierwszy dzień)";
        QTest::newRow("Boxing Day") << QDate(2026, 12, 26) << "Boże Narodzenie (drugi dzień)";
        QTest::newRow("an ordinary Sunday") << QDate(2026, 7, 19) << "";
        QTest::newRow("an ordinary Wednesday") << QDate(2026, 7, 15) << "";
        QTest::newRow("no day") << QDate() << "";
    }
    void holidays()
    {
        QFETCH(QDate, day);
        QFETCH(QString, name);
        QCOMPARE(publicHolidayName(day), name);
        QCOMPARE(isPublicHoliday(day), !name.isEmpty());
    }
};

REZYDO_TEST(TestHolidays);
#include "test_holidays.moc"
