// Invoices of a database made by the previous version print, after the file
// is upgraded, exactly as that version printed them.
#include "billing/invoice_printout.h"
#include "db/data_module.h"
#include "db/schema.h"
#include "db/sql.h"
#include "reports/engine/document.h"
#include "reports/engine/generator.h"
#include "tests/reports/golden.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QTest>

namespace {
QString dumpOf(TestEnv& env, int group)
{
    TRapFaktura report(loadInvoice(env.db(), group), QStringLiteral("55.10.10"));
    return dumpDocument(generateDocument(report));
}
} // namespace

class TestInvoiceUpgrade : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The demo file made by the previous version, with invoices issued the
    // old way added to it: numbered, the last one at the old limit, one at the
    // rates of that time (22 and 7), by cash and by transfer.
    void demoFileInvoicesPrintAsBefore()
    {
        TestEnv env({.createDatabase = false, .openConnection = false});
        QDir().mkpath(env.path("Baza"));
        QVERIFY(QFile::copy(QStringLiteral(REZYDO_DB_DATA_DIR "/baza-v1-demo.mdb"),
                            env.databaseFile()));
        QFile::setPermissions(env.databaseFile(), QFile::ReadOwner | QFile::WriteOwner);
        writeWithoutUpgrade(
            env.databaseFile(),
            {"UPDATE Config SET Nazwa = 'Pensjonat Pod Lipami', Adres = 'ul. Leśna 4, "
             "34-500 Zakopane', NIP = '736-100-20-30', Miejscowosc = 'Zakopane'",
             "UPDATE Kalk SET Typ = 2, Rach = 1, Nip = '676-00-11-222', Adres = 'Kraków', "
             "data_wystawienia = '2026-11-03', data_sprzedazy = '2026-11-03', "
             "sposob_zaplaty = 1 WHERE Identyfikator = 1",
             "UPDATE Kalk SET Typ = 2, Rach = 2, Nip = 'DE123456789', Przedplata = 500000, "
             "data_wystawienia = '2026-11-22', data_sprzedazy = '2026-11-22', "
             "termin_platnosci = '2026-12-06', sposob_zaplaty = 2 WHERE Identyfikator = 2",
             "UPDATE Kalk_det SET VAT = '22', Podatek = 324590 WHERE Identyfikator = 3",
             "UPDATE Kalk SET Typ = 2, Rach = 32767, VAT = '22', data_wystawienia = "
             "'2026-11-30', data_sprzedazy = '2026-11-30', sposob_zaplaty = 1 WHERE "
             "Identyfikator = 3"});
        env.data().openConnection();
        QCOMPARE(env.scalar("PRAGMA user_version").toInt(), kSchemaVersion);
        for (int group : {1, 2, 3, 7})
            compareGolden(QStringLiteral("upgraded_invoice_%1.txt").arg(group), dumpOf(env, group));
    }

    // The invoice of the worked example, written into a file of the first
    // version, prints after the upgrade as the stored dump of that version.
    void workedExampleOfAnOldFile()
    {
        TestEnv env({.createDatabase = false, .openConnection = false});
        QDir().mkpath(env.path("Baza"));
        createDatabase(env.databaseFile(), false, 1);
        writeWithoutUpgrade(
            env.databaseFile(),
            {"UPDATE Config SET Nazwa = 'Pensjonat Pod Lipami', Adres = 'ul. Leśna 4, "
             "34-500 Zakopane', Regon = '123456789', NIP = '736-100-20-30', Miejscowosc = "
             "'Zakopane', Bank = 'Bank Spółdzielczy w Zakopanem', NrKonta = '12 3456 0000 "
             "1111 2222 3333 4444'",
             "INSERT INTO Kalk (Identyfikator, Rach, Nazwa, Adres, Nip, sposob_zaplaty, "
             "Zamowienie, data_wystawienia, data_sprzedazy, Brutto, Przedplata) VALUES (12, "
             "7, 'Biuro Podróży Tatry', 'ul. Długa 1, 30-001 Kraków', '676-00-11-222', 1, "
             "'zam. 5/2026', '2026-07-15', '2026-07-13', 6000000, 0)",
             "INSERT INTO Kalk_det (Identyfikator, Nr_pokoju, Od, \"Do\", Oplata1, Oplata2, "
             "VAT, Brutto) VALUES (12, '1', '2026-07-10', '2026-07-13', 1000000, 1000000, "
             "'7', 3000000), (12, '2', '2026-07-10', '2026-07-13', 1000000, 1000000, '7', "
             "3000000)"});
        env.data().openConnection();
        compareGolden(QStringLiteral("invoice_worked_example.txt"), dumpOf(env, 12));
    }
};

REZYDO_TEST(TestInvoiceUpgrade);
#include "test_invoice_upgrade.moc"
