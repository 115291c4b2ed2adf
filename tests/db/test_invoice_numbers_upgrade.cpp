// The upgrade that lets invoice numbers grow, keeps an invoice's series and
// buyer identification and adds correcting invoices, on a file with data.
#include "core/error.h"
#include "db/schema.h"
#include "db/sql.h"
#include "db/upgrades.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QUuid>

namespace {
QStringList rowsOf(QSqlDatabase db, const QString& sql)
{
    QSqlQuery q = runSql(db, sql);
    QStringList out;
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < q.record().count(); ++i)
            cells << (q.value(i).isNull() ? QStringLiteral("NULL") : q.value(i).toString());
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

// Whether a statement is refused by the database.
bool refused(QSqlDatabase db, const QString& sql)
{
    try {
        runSql(db, sql);
        return false;
    } catch (const RezydoError&) {
        return true;
    }
}

const QString kOldColumns = QStringLiteral(
    "SELECT Identyfikator, VAT, Brutto, Podatek, Nazwa, Nip, Typ, Rach, data_wystawienia, "
    "rozl FROM Kalk ORDER BY Identyfikator");
} // namespace

class TestInvoiceNumbersUpgrade : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        if (TestEnv::onServer())
            QSKIP("upgrades of database files");
    }
    void oldInvoicesKeptAndNumbersGrow()
    {
        TestEnv env({.openConnection = false});
        const QString file = env.path("v1.mdb");
        createDatabase(file, false, 1);
        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(file);
            QVERIFY(db.open());
            // The old program let two invoices have one number and stopped at 32 767.
            runSql(db, "INSERT INTO Kalk (Identyfikator, VAT, Brutto, Podatek, Nazwa, Nip, Typ, "
                       "Rach, data_wystawienia, rozl) VALUES "
                       "(1, '22', 1220000, 220000, 'Firma A', '123-456-78-90', 2, 5, "
                       "'2010-12-30', 1), "
                       "(2, '7', 1070000, 70000, 'Firma B', 'DE 123 456 789', 2, 5, "
                       "'2010-12-31', 0), "
                       "(3, '7', 0, 0, 'Kowalscy', '', NULL, 32767, '2026-07-01', 0)");
            runSql(db, "INSERT INTO Kalk_det (Identyfikator, Nr_pokoju, VAT, Brutto) VALUES "
                       "(1, '1', '22', 1220000), (2, '2', '7', 1070000)");
            const QStringList before = rowsOf(db, kOldColumns);

            upgradeDatabase(db, file);
            QCOMPARE(schemaVersionOf(db), kSchemaVersion);
            QCOMPARE(rowsOf(db, kOldColumns), before);
            QCOMPARE(rowsOf(db, "SELECT Seria, Nip_rodzaj, ID_Panstwo FROM Kalk WHERE "
                                "Identyfikator = 1"),
                     QStringList({"NULL|NULL|NULL"}));
            QCOMPARE(rowsOf(db, "SELECT VAT, Brutto FROM Kalk_det ORDER BY \"No\""),
                     QStringList({"22|1220000", "7|1070000"}));
            // The indexes of the rebuilt table are back.
            QCOMPARE(rowsOf(db, "SELECT name FROM sqlite_master WHERE type = 'index' AND "
                                "tbl_name = 'Kalk' ORDER BY name"),
                     QStringList({"Kalk_numer", "Kalk_rach", "Kalk_wystawienie"}));

            runSql(db, "UPDATE Kalk SET Rach = 40000, Nip = 'NL123456789B01' WHERE "
                       "Identyfikator = 3");
            QVERIFY(refused(db, QStringLiteral("UPDATE Kalk SET Nip = '%1' WHERE Identyfikator "
                                               "= 3")
                                    .arg(QString(31, QLatin1Char('1')))));
            QVERIFY(refused(db, "UPDATE Kalk SET Nip_rodzaj = 4 WHERE Identyfikator = 3"));
            // New invoices of one series and year cannot share a number.
            runSql(db, "UPDATE Kalk SET Typ = 2, Seria = 'H' WHERE Identyfikator = 3");
            runSql(db, "INSERT INTO Kalk (Identyfikator, Typ, Rach, Seria, data_wystawienia) "
                       "VALUES (4, 2, 40000, 'H', '2027-01-02'), (5, 2, 40000, 'HT', "
                       "'2026-07-02')");
            QVERIFY(refused(db, "INSERT INTO Kalk (Identyfikator, Typ, Rach, Seria, "
                                "data_wystawienia) VALUES (6, 2, 40000, 'H', '2026-12-31')"));
            QVERIFY(refused(db, "INSERT INTO Korekta (Identyfikator, Rach, Seria, "
                                "data_wystawienia) VALUES (3, 0, 'KOR', '2026-07-02')"));
            runSql(db, "INSERT INTO Korekta (Identyfikator, Rach, Seria, data_wystawienia) "
                       "VALUES (3, 1, 'KOR', '2026-07-02')");
            QVERIFY(refused(db, "INSERT INTO Korekta (Identyfikator, Rach, Seria, "
                                "data_wystawienia) VALUES (4, 1, 'KOR', '2026-08-02')"));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
};

REZYDO_TEST(TestInvoiceNumbersUpgrade);
#include "test_invoice_numbers_upgrade.moc"
