#include "db/migrate.h"
#include "db/schema.h"
#include "db/sql.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTest>

namespace {
// The demo hotel, with removed rows that leave numbers behind never to be
// given again, register rows whose positions have a gap, and quotes in a text.
void makeSource(const QString& file)
{
    createDatabase(file, true);
    FileConnection db(file);
    runSql(db.db(), "DELETE FROM Arch_os WHERE Identyfikator_o = (SELECT "
                    "max(Identyfikator_o) FROM Arch_os)");
    runSql(db.db(), "DELETE FROM Ksiazka WHERE rowid = (SELECT min(rowid) FROM Ksiazka)");
    runSql(db.db(), "UPDATE Arch_os SET Uwagi = 'Żółw, \"cytat\" i ''apostrof''' WHERE "
                    "Identyfikator_o = (SELECT min(Identyfikator_o) FROM Arch_os)");
}

// The number a new person record gets.
qlonglong nextPerson(QSqlDatabase db)
{
    return runSql(db, "INSERT INTO Arch_os (Nazwisko) VALUES ('Nowy')").lastInsertId().toLongLong();
}

// Every row of every table of `file` that `other` lacks, with its position.
QStringList rowsMissingFrom(const QString& file, const QString& other)
{
    FileConnection db(file);
    runSql(db.db(), QStringLiteral("ATTACH DATABASE :f AS druga"), {{":f", other}});
    QStringList missing;
    QSqlQuery tables = runSql(db.db(), QStringLiteral("SELECT name FROM sqlite_master WHERE "
                                                      "type = 'table' AND name NOT LIKE "
                                                      "'sqlite_%' ORDER BY name"));
    while (tables.next()) {
        const QString t = tables.value(0).toString();
        const qint64 n =
            scalarSql(db.db(), QStringLiteral("SELECT count(*) FROM (SELECT rowid, * FROM main.%1 "
                                              "EXCEPT SELECT rowid, * FROM druga.%1)")
                                   .arg(t))
                .toLongLong();
        if (n > 0)
            missing << QStringLiteral("%1: %2").arg(t).arg(n);
    }
    runSql(db.db(), QStringLiteral("DETACH DATABASE druga"));
    return missing;
}
} // namespace

// A whole database copied into a fresh one: every row of every table with its
// key and position, the auto-numbers continuing where the source's would.
class TestMigrate : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileToFile()
    {
        QTemporaryDir dir;
        const QString source = dir.filePath("zrodlo.mdb"), target = dir.filePath("cel.mdb");
        makeSource(source);
        createDatabase(target, false);
        QList<CopiedTable> copied;
        {
            FileConnection from(source), to(target);
            copied = copyDatabase(from.db(), to.db());
            QCOMPARE(compareDatabases(from.db(), to.db()), QStringList());
        }
        QVERIFY(!copied.isEmpty());
        QCOMPARE(rowsMissingFrom(source, target), QStringList());
        QCOMPARE(rowsMissingFrom(target, source), QStringList());
        // The next person gets the number the source would have given.
        QCOMPARE(nextPerson(FileConnection(target).db()), nextPerson(FileConnection(source).db()));
        {
            FileConnection from(source), to(target);
            runSql(to.db(), "UPDATE Pokoje SET Opis = 'inny' WHERE rowid = (SELECT min(rowid) "
                            "FROM Pokoje)");
            QVERIFY(!compareDatabases(from.db(), to.db()).isEmpty());
        }
    }
    void fileToServerAndBack();
};

// From a file to the server and back gives a file equal to the first, row
// by row; the server continues the auto-numbers where the file would.
void TestMigrate::fileToServerAndBack()
{
    if (!TestEnv::onServer())
        QSKIP("needs the test server (REZYDO_TEST_SERVER)");
    TestEnv env; // a fresh database on the server, as a new hotel's would be
    const QString source = env.path("zrodlo.mdb"), back = env.path("z-powrotem.mdb");
    makeSource(source);
    createDatabase(back, false);
    {
        FileConnection from(source);
        copyDatabase(from.db(), env.db());
        QCOMPARE(compareDatabases(from.db(), env.db()), QStringList());
        FileConnection to(back);
        copyDatabase(env.db(), to.db());
        QCOMPARE(compareDatabases(env.db(), to.db()), QStringList());
    }
    QCOMPARE(rowsMissingFrom(source, back), QStringList());
    QCOMPARE(rowsMissingFrom(back, source), QStringList());
    const qlonglong next = nextPerson(FileConnection(source).db());
    QCOMPARE(nextPerson(FileConnection(back).db()), next);
    QCOMPARE(nextPerson(env.db()), next);
}

REZYDO_TEST(TestMigrate);
#include "test_migrate.moc"
