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
    void followsTheCursor()
    {
        TestEnv env;
        env.exec("INSERT INTO Cennik VALUES ('A', 1000000, 1000000, NULL, NULL)");
        TableCursor& prices = env.data().prices();
        TableCursorModel model(prices, {{"Typ", "Typ"}, {"Cena1", "Cena za miejsce", true}});
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        prices.open();
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("Cena za miejsce"));
        QCOMPARE(model.index(0, 1).data().toString(), QString("100,00"));

        // The pending edit shows at once and goes with a cancel.
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        prices.setValue("Cena1", 1234500);
        QVERIFY(!changed.isEmpty());
        QCOMPARE(model.index(0, 1).data().toString(), QString("123,45"));
        prices.cancel();
        QCOMPARE(model.index(0, 1).data().toString(), QString("100,00"));

        prices.insert();
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.index(1, 1).data().toString(), QString());
        prices.setValue("Typ", "B");
        prices.post();
        prices.setCurrent(0);
        prices.remove();
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.index(0, 0).data().toString(), QString("B"));
        prices.close();
        QCOMPARE(model.rowCount(), 0);
    }
};
REZYDO_TEST(TestTableCursorModel);
#include "test_table_cursor_model.moc"
