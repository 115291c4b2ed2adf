#include "billing/invoice_printout.h"
#include "db/data_module.h"
#include "db/schema.h"
#include "db/sql.h"
#include "reports/engine/generator.h"
#include "tests/reports/golden.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QDir>
#include <QSqlQuery>
#include <QTest>

class TestUpgradeRates : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A file of the first version with a calculation, its lines and its
    // payments: the rates arrive, the old calculation keeps its layout and
    // prints exactly as before, and only a transfer document gets a form.
    void previousVersionWithBilling()
    {
        TestEnv env({.createDatabase = false, .openConnection = false});
        QDir().mkpath(env.path("Baza"));
        createDatabase(env.databaseFile(), false, 1);
        writeWithoutUpgrade(
            env.databaseFile(),
            {"UPDATE Config SET Nazwa='Pensjonat Pod Lipami', Adres='ul. Leśna 4, 34-500 "
             "Zakopane', Regon='123456789', NIP='736-100-20-30', Miejscowosc='Zakopane', "
             "Bank='Bank Spółdzielczy w Zakopanem', NrKonta='12 3456 0000 1111 2222 3333 4444'",
             "INSERT INTO Kalk (Identyfikator, Rach, Nazwa, Adres, Nip, sposob_zaplaty, "
             "Zamowienie, data_wystawienia, data_sprzedazy, Brutto, Przedplata, Typ, VAT) "
             "VALUES (12, 7, 'Biuro Podróży Tatry', 'ul. Długa 1, 30-001 Kraków', "
             "'676-00-11-222', 1, 'zam. 5/2026', '2026-07-15', '2026-07-13', 6000000, 0, 2, "
             "'7')",
             "INSERT INTO Kalk_det (Identyfikator, Nr_pokoju, Od, \"Do\", Oplata1, Oplata2, VAT, "
             "Brutto) VALUES (12, '1', '2026-07-10', '2026-07-13', 1000000, 1000000, '7', "
             "3000000)",
             "INSERT INTO Kalk_det (Identyfikator, Nr_pokoju, Od, \"Do\", Oplata1, Oplata2, VAT, "
             "Brutto) VALUES (12, '2', '2026-07-10', '2026-07-13', 1000000, 1000000, '7', "
             "3000000)",
             "INSERT INTO Kwit (Identyfikator, Nr_kwit, Wplata, Data, Typ) VALUES (12, '1', "
             "1000000, '2026-07-13', 1)",
             "INSERT INTO Kwit (Identyfikator, Nr_kwit, Wplata, Data, Typ) VALUES (12, '2', "
             "5000000, '2026-07-14', 3)"});
        env.data().openConnection();
        QCOMPARE(env.scalar("PRAGMA user_version").toInt(), kSchemaVersion);

        QCOMPARE(env.rows("SELECT Kod, Procent, Opis, Oferowana, Kod_FA FROM Stawki_VAT "
                          "ORDER BY rowid"),
                 QStringList({"23|23|23%|1|23", "8|8|8%|1|8", "5|5|5%|1|5", "0|0|0%|1|0 KR",
                              "zw|0|zw|1|zw", "22|22|22%|0|22", "7|7|7%|0|7"}));
        QCOMPARE(env.rows("SELECT Nazwa, Stawka_noclegu, Podstawa_zw FROM Config"),
                 QStringList({"Pensjonat Pod Lipami|8|"}));
        QCOMPARE(env.rows("SELECT Uklad, Sniadanie, Przedplata_data, Przedplata_forma, Brutto "
                          "FROM Kalk"),
                 QStringList({"1|0|NULL|NULL|6000000"}));
        QCOMPARE(env.rows("SELECT Typ, Forma FROM Kwit ORDER BY ID"),
                 QStringList({"1|NULL", "3|3"}));
        QCOMPARE(env.scalar("SELECT count(*) FROM Kalk_usl").toInt(), 0);
        QCOMPARE(env.scalar("SELECT count(*) FROM Uslugi").toInt(), 0);

        const InvoiceData invoice = loadInvoice(env.db(), 12);
        QVERIFY(!invoice.perLine);
        TRapFaktura report(invoice, QStringLiteral("55.10.10"));
        compareGolden("invoice_worked_example.txt", dumpDocument(generateDocument(report)));
    }
};
REZYDO_TEST(TestUpgradeRates);
#include "test_upgrade_rates.moc"
