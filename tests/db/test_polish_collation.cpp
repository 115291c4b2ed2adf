#include "db/data_module.h"
#include "db/polish_collation.h"
#include "db/sql.h"
#include "tests/support/polish_names.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QSqlQuery>
#include <QTest>

#include <algorithm>

namespace {
QStringList sortedInProgram(QStringList list)
{
    std::stable_sort(list.begin(), list.end(), lessPolish);
    return list;
}

// The texts in a temporary table of the connection, read back in the order
// of the collation.
QStringList sortedByDatabase(TestEnv& env, const QStringList& list, const QString& direction)
{
    env.exec("CREATE TEMP TABLE IF NOT EXISTS Teksty (t TEXT)");
    env.exec("DELETE FROM Teksty");
    for (const QString& s : list)
        env.exec("INSERT INTO Teksty VALUES (?)", {s});
    return env.rows("SELECT t FROM Teksty ORDER BY t COLLATE PL " + direction);
}

int sign(int n)
{
    return (n > 0) - (n < 0);
}
} // namespace

class TestPolishCollation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        if (TestEnv::onServer())
            QSKIP("the collation of the file's connection; the server's COLLATE PL is tested in "
                  "TestEngine");
    }
    void order_data()
    {
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<QStringList>("ordered");
        QTest::newRow("Polish letters in their places") << namesAsWritten() << kNamesInPolishOrder;
        // Equal letters: the small one first, wherever the first difference is.
        QTest::newRow("small and capital letters")
            << QStringList{"Degaulle", "DE GAULLE", "de Gaulle", "De Gaulle", "de gaulle"}
            << QStringList{"de gaulle", "de Gaulle", "De Gaulle", "DE GAULLE", "Degaulle"};
        QTest::newRow("blanks and punctuation, digits, letters")
            << QStringList{"Ąla", "A2", "Ala", "A10", "A-la", "A la", "A1", "A"}
            << QStringList{"A", "A la", "A-la", "A1", "A10", "A2", "Ala", "Ąla"};
        QTest::newRow("foreign letters with their base letter")
            << QStringList{"Óskar",  "Ęka", "Mutter", "Ewa",    "Orzeł",
                           "Müller", "Éva", "Ørsted", "Mueller"}
            << QStringList{"Éva",    "Ewa",    "Ęka",   "Mueller", "Müller",
                           "Mutter", "Ørsted", "Orzeł", "Óskar"};
        // ą ć ę Ą begin with the same byte in UTF-8, 😀 😁 with the same unit in UTF-16.
        QTest::newRow("letters that share their first byte")
            << QStringList{"Zę", "Zć", "ZĄ", "Zą", "Zc", "Ze", "😁", "😀"}
            << QStringList{"😀", "😁", "Zą", "ZĄ", "Zc", "Zć", "Ze", "Zę"};
        QTest::newRow("symbols first, other alphabets last")
            << QStringList{"Иванов", "Żyła", "1 Maja", "😀 Uśmiech", "żaba"}
            << QStringList{"😀 Uśmiech", "1 Maja", "żaba", "Żyła", "Иванов"};
    }
    void order()
    {
        QFETCH(QStringList, written);
        QFETCH(QStringList, ordered);
        QCOMPARE(sortedInProgram(written), ordered);
        TestEnv env;
        QCOMPARE(sortedByDatabase(env, written, "ASC"), ordered);
        QCOMPARE(sortedByDatabase(env, written, "DESC"), reversed(ordered));
    }

    // A total order, the same in the program and on the connection (which
    // reads UTF-8 where the program reads UTF-16): only equal texts compare
    // equal, and every pair compares the other way round when swapped.
    void totalAndTheSameOnTheConnection()
    {
        TestEnv env;
        const QStringList texts =
            kNamesInPolishOrder + QStringList{"",    "de gaulle", "DE GAULLE", "Dé Gaulle", "A1",
                                              "Ąla", "ala",       "😀",         "😁",         "Zą",
                                              "ZĄ",  "Zć",        "Иванов",    "иванов"};
        QSqlQuery q(env.db());
        QVERIFY(q.prepare("SELECT (:a COLLATE PL < :b) - (:a COLLATE PL > :b)"));
        for (const QString& a : texts) {
            for (const QString& b : texts) {
                const int inProgram = sign(comparePolish(a, b));
                QCOMPARE(inProgram, -sign(comparePolish(b, a)));
                QCOMPARE(inProgram == 0, a == b);
                q.bindValue(":a", a);
                q.bindValue(":b", b);
                QVERIFY(q.exec() && q.next());
                QVERIFY2(q.value(0).toInt() == -inProgram, qPrintable(a + " / " + b));
            }
        }
    }

    // Bytes that are not UTF-8 still order, each text apart from the others.
    void malformedTextStillOrders()
    {
        TestEnv env;
        env.exec("CREATE TEMP TABLE Teksty (t TEXT)");
        env.exec("INSERT INTO Teksty VALUES (CAST(x'C3' AS TEXT)), (CAST(x'C328' AS TEXT)), "
                 "(CAST(x'E282' AS TEXT)), (CAST(x'F09F98' AS TEXT)), ('a'), ('A'), ('(')");
        QCOMPARE(env.scalar("SELECT count(DISTINCT t COLLATE PL) FROM Teksty").toInt(), 7);
        // Punctuation, then the stray bytes as code points of their own, then letters.
        QCOMPARE(env.rows("SELECT hex(t) FROM Teksty ORDER BY t COLLATE PL"),
                 QStringList({"28", "C3", "C328", "E282", "F09F98", "61", "41"}));
    }

    // The connection is new after every opening; each one knows the order.
    void everyOpeningKnowsPolishOrder()
    {
        TestEnv env;
        for (int opening = 0; opening < 2; ++opening) {
            env.data().closeConnection();
            env.data().openConnection();
            QCOMPARE(env.rows("SELECT 'Żak' UNION ALL SELECT 'Zając' UNION ALL SELECT 'łata' "
                              "ORDER BY 1 COLLATE PL"),
                     QStringList({"łata", "Zając", "Żak"}));
        }
    }

    void casefold_data()
    {
        QTest::addColumn<QVariant>("text");
        QTest::addColumn<QVariant>("folded");
        QTest::newRow("Polish capitals")
            << QVariant("ZAŻÓŁĆ GĘŚLĄ JAŹŃ") << QVariant("zażółć gęślą jaźń");
        QTest::newRow("mixed") << QVariant("Łódź") << QVariant("łódź");
        QTest::newRow("NULL stays NULL") << QVariant(QMetaType(QMetaType::QString)) << QVariant();
    }
    void casefold()
    {
        QFETCH(QVariant, text);
        QFETCH(QVariant, folded);
        TestEnv env;
        const QVariant got = scalarSql(env.db(), "SELECT casefold(:t)", {{":t", text}});
        QCOMPARE(got.isNull(), folded.isNull());
        if (!folded.isNull())
            QCOMPARE(got.toString(), folded.toString());
    }

    void closedConnectionRefused()
    {
        QSqlDatabase closed;
        QVERIFY_THROWS_EXCEPTION(DbError, addPolishText(closed));
    }
};

REZYDO_TEST(TestPolishCollation);
#include "test_polish_collation.moc"
