#include "db/engine.h"
#include "db/packed_rows.h"
#include "tests/support/test_registry.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <sqlite3.h>

// Rows packed from the engine or from QVariants read back as the SQL driver
// gives them: the same type and value for every kind of value, a NULL as a
// null, texts with Polish letters whole, a text longer than one block.
class TestPackedRows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void valuesAsTheDriverGivesThem()
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "packed");
        db.setDatabaseName(QStringLiteral(":memory:"));
        QVERIFY(db.open());
        const QString sql = QStringLiteral(
            "SELECT 7, -9007199254740993, 2.5, NULL, '', 'Żółć Łódź', 'x', zeroblob(0) "
            "UNION ALL SELECT NULL, 0, -0.125, 'a', 'ą', printf('%.*c', 1500000, 'ł'), NULL, 1");
        const int columns = 8;
        PackedRows fromEngine(columns), fromVariants(columns);
        QList<QVector<QVariant>> expected;
        QSqlQuery query(db);
        QVERIFY(query.exec(sql));
        while (query.next()) {
            QVector<QVariant> row(columns);
            for (int c = 0; c < columns; ++c)
                row[c] = query.value(c);
            expected << row;
            fromVariants.append(row);
        }
        sqlite3* handle = sqliteHandleOf(db);
        sqlite3_stmt* statement = nullptr;
        QCOMPARE(sqlite3_prepare_v2(handle, sql.toUtf8().constData(), -1, &statement, nullptr),
                 SQLITE_OK);
        while (sqlite3_step(statement) == SQLITE_ROW)
            fromEngine.append(statement);
        sqlite3_finalize(statement);
        QCOMPARE(fromEngine.size(), 2);
        PackedRows copied(columns);
        copied.append(fromEngine, 1);
        for (const PackedRows* rows : {&fromEngine, &fromVariants})
            for (int r = 0; r < 2; ++r)
                for (int c = 0; c < columns; ++c) {
                    const QVariant got = rows->value(r, c);
                    const QVariant want = expected[r][c];
                    QCOMPARE(got.isNull(), want.isNull());
                    if (!want.isNull() && c != 7) // a blob reads back as its text
                        QCOMPARE(got.typeId(), want.typeId());
                    QCOMPARE(got.toString(), want.toString());
                    if (r == 1)
                        QCOMPARE(copied.value(0, c).toString(), want.toString());
                }
        QCOMPARE(fromEngine.value(1, 5).toString().size(), 1500000);
        QVERIFY(!fromEngine.value(2, 0).isValid());
        QVERIFY(!fromEngine.value(0, columns).isValid());
        db.close();
    }
};

REZYDO_TEST(TestPackedRows);
#include "test_packed_rows.moc"
