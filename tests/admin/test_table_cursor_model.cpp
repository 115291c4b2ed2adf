#include "db/data_module.h"
#include "db/table_cursor_model.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

class TestTableCursorModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void underModelTester() {
        TestEnv env;
        env.exec("INSERT INTO Cennik VALUES ('A', 1000000, 1000000, 2000000, 2000000)");
        TableCursor& prices = env.data().prices();
        TableCursorModel model(prices, {{"Typ", "Typ"}, {"Cena1", "Cena za miejsce", true}});
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        prices.open();
        QCOMPARE(model.rowCount(), 1);
        prices.insert();
        QCOMPARE(model.rowCount(), 2);
        prices.setValue("Typ", "B");
        prices.setValue("Cena1", 1205000);
        prices.post();
        prices.setCurrent(0);
        prices.setValue("Cena1", 5);
        prices.cancel();
        prices.remove();
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.index(0, 0).data().toString(), QString("B"));
        prices.close();
        QCOMPARE(model.rowCount(), 0);
    }

    void followsPendingEdit() {
        TestEnv env;
        env.exec("INSERT INTO Cennik VALUES ('A', 1000000, NULL, NULL, NULL)");
        TableCursor& prices = env.data().prices();
        prices.open();
        TableCursorModel model(prices, {{"Typ", "Typ"}, {"Cena1", "Cena za miejsce", true}});
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        prices.setValue("Cena1", 1234500);
        QVERIFY(!changed.isEmpty());
        QCOMPARE(changed.last().at(0).value<QModelIndex>().column(), 1);
        QCOMPARE(model.index(0, 1).data().toString(), QString("123,45"));
        prices.cancel();
        QCOMPARE(model.index(0, 1).data().toString(), QString("100,00"));
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("Cena za miejsce"));
    }

    void displayText_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("money");
        QTest::addColumn<QString>("shown");
        QTest::newRow("whole") << QVariant(1200000) << true << "120,00";
        QTest::newRow("cents half up") << QVariant(1250) << true << "0,13";
        QTest::newRow("negative") << QVariant(-32500) << true << "-3,25";
        QTest::newRow("no price") << QVariant() << true << "";
        QTest::newRow("text") << QVariant("101") << false << "101";
    }
    void displayText() {
        QFETCH(QVariant, stored);
        QFETCH(bool, money);
        QFETCH(QString, shown);
        QCOMPARE(TableCursorModel::displayText(stored, money), shown);
    }
};
REZYDO_TEST(TestTableCursorModel);
#include "test_table_cursor_model.moc"
