#include "billing/calculation.h"
#include "billing/invoice.h"
#include "billing/payments.h"
#include "billing/services.h"
#include "billing/ui/billing_window.h"
#include "billing/ui/payment_dialog.h"
#include "billing/ui/regular_clients_dialog.h"
#include "billing/vat.h"
#include "tests/billing/billing_fixture.h"
#include "tests/support/test_registry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTabWidget>
#include <QTest>

using namespace billing_fixture;

namespace {
Money m(const char* amount)
{
    return Money::parse(QString::fromUtf8(amount)).value();
}

int groupOfFour(TestEnv& env)
{
    addRoom(env, "1", 4, "A");
    addPrice(env, "A", "50", "216");
    const int g = addGroup(env, "Nowakowie", 4, "2026-07-15", "2026-07-18");
    addRoomLine(env, g, "1", "2026-07-15", "2026-07-18", 4);
    return g;
}
} // namespace

class TestServices : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // New room lines take the hotel's rate; its tax follows the rate table.
    void newLinesTakeTheHotelsRate_data()
    {
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("tax"); // of 648,00 gross
        QTest::newRow("default 8") << ""
                                   << "48,00";
        QTest::newRow("23") << "23"
                            << "121,17";
        QTest::newRow("exempt") << "zw"
                                << "0";
        QTest::newRow("zero, domestic") << "0"
                                        << "0";
    }
    void newLinesTakeTheHotelsRate()
    {
        QFETCH(QString, rate);
        QFETCH(QString, tax);
        TestEnv env;
        if (!rate.isEmpty())
            env.exec("UPDATE Config SET Stawka_noclegu = ?", {rate});
        const int g = groupOfFour(env);
        createCalculation(env.db(), g);
        const CalcLine line = loadLines(env.db(), g).first();
        QCOMPARE(line.vat, rate.isEmpty() ? QString("8") : rate);
        QCOMPARE(line.tax, Money::parse(tax).value());
        const CalcHeader h = loadHeader(env.db(), g);
        QCOMPARE(h.vat, line.vat);
        QCOMPARE(h.layout, kPerLineLayout);
    }

    void offeredRatesAndPercentages()
    {
        TestEnv env;
        const QList<VatRate> rates = loadVatRates(env.db());
        QCOMPARE(offeredVatCodes(rates), QStringList({"23", "8", "5", "0", "zw"}));
        QCOMPARE(vatRateOf(rates, "7").percent, 7);
        QCOMPARE(vatRateOf(rates, "0").faCode, QString("0 KR"));
        // A code the table lacks keeps the percentage its number gives.
        QCOMPARE(vatRateOf(rates, "12").percent, 12);
        env.exec("UPDATE Stawki_VAT SET Procent = 9 WHERE Kod = '8'");
        QCOMPARE(vatPercent(env.db(), "8"), 9);
    }

    void serviceLine_data()
    {
        QTest::addColumn<QString>("price");
        QTest::addColumn<int>("quantity");
        QTest::addColumn<QString>("vat");
        QTest::addColumn<QString>("gross");
        QTest::addColumn<QString>("tax");
        QTest::newRow("breakfast 6 × 40 at 8") << "40" << 6 << "8"
                                               << "240"
                                               << "17,78";
        QTest::newRow("parking 3 × 30 at 23") << "30" << 3 << "23"
                                              << "90"
                                              << "16,83";
        QTest::newRow("price of four places, to the cent") << "12,3456" << 3 << "23"
                                                           << "37,04"
                                                           << "6,93";
        QTest::newRow("exempt") << "100" << 1 << "zw"
                                << "100"
                                << "0";
    }
    void serviceLine()
    {
        QFETCH(QString, price);
        QFETCH(int, quantity);
        QFETCH(QString, vat);
        QFETCH(QString, gross);
        QFETCH(QString, tax);
        TestEnv env;
        ServiceLine l;
        l.name = QStringLiteral("X");
        l.price = Money::parse(price).value();
        l.quantity = quantity;
        l.vat = vat;
        l = computeServiceLine(l, vatPercent(env.db(), vat));
        QCOMPARE(l.gross, Money::parse(gross).value());
        QCOMPARE(l.tax, Money::parse(tax).value());
    }

    void serviceLineRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("quantity");
        QTest::addColumn<QString>("message");
        QTest::newRow("no name") << " " << 1 << "Podaj nazwę usługi.";
        QTest::newRow("no quantity") << "Sauna" << 0 << "Ilość usługi nie może wynosić 0.";
    }
    void serviceLineRefused()
    {
        QFETCH(QString, name);
        QFETCH(int, quantity);
        QFETCH(QString, message);
        TestEnv env;
        const int g = groupOfFour(env);
        createCalculation(env.db(), g);
        const QStringList before = billingTables(env);
        ServiceLine l;
        l.groupId = g;
        l.name = name;
        l.quantity = quantity;
        l.vat = QStringLiteral("23");
        try {
            addServiceLine(env.db(), l);
            QFAIL("the line was accepted");
        } catch (const RezydoError& e) {
            QCOMPARE(e.text(), message);
        }
        QCOMPARE(billingTables(env), before);
    }

    void defaultQuantity_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("quantity"); // for 2 persons and 3 nights
        QTest::newRow("per night") << "doba" << 3;
        QTest::newRow("per person and night") << "osoba" << 6;
        QTest::newRow("piece") << "szt." << 1;
    }
    void defaultQuantity()
    {
        QFETCH(QString, unit);
        QFETCH(int, quantity);
        QCOMPARE(defaultServiceQuantity(unit, 2, 3), quantity);
    }

    // Service lines count in the totals and the settled state like room lines,
    // and outlive the rebuilding of the rooms' calculation.
    void servicesCountInTotalsAndSettlement()
    {
        TestEnv env;
        const int g = groupOfFour(env);
        createCalculation(env.db(), g);
        registerPayment(env.db(), {0, g, "1", m("648"), QDate(2026, 7, 15), 1, 1});
        QCOMPARE(loadHeader(env.db(), g).settled, true);
        ServiceLine l;
        l.groupId = g;
        l.name = QStringLiteral("Parking");
        l.quantity = 3;
        l.price = m("30");
        l.vat = QStringLiteral("23");
        const ServiceLine added = addServiceLine(env.db(), l);
        QCOMPARE(env.rows("SELECT Brutto, Podatek, rozl FROM Kalk"),
                 QStringList({"7380000|648300|0"}));
        QCOMPARE(currentSettlement(env.db(), g).toPay, m("90"));
        QCOMPARE(storedSettlement(env.db(), g).toPay, m("90"));

        ServiceLine changed = added;
        changed.quantity = 1;
        changeServiceLine(env.db(), changed);
        QCOMPARE(env.rows("SELECT Ilosc, Brutto FROM Kalk_usl"), QStringList({"1|300000"}));
        QCOMPARE(currentSettlement(env.db(), g).toPay, m("30"));

        env.exec("DELETE FROM Kalk");
        env.exec("DELETE FROM Kalk_det");
        createCalculation(env.db(), g);
        QCOMPARE(env.scalar("SELECT Brutto FROM Kalk").toLongLong(), m("678").units());

        removeServiceLine(env.db(), g, added.no);
        QCOMPARE(env.rows("SELECT Brutto, rozl FROM Kalk"), QStringList({"6480000|1"}));
    }

    // The "Usługi" page: a service taken from the list with its proposed
    // quantity, and a payment registered with its form.
    void servicesPageAndPaymentForm()
    {
        TestEnv env;
        env.exec("INSERT INTO Uslugi (Nazwa, Jm, Cena, VAT, PKWiU) VALUES ('Śniadanie', "
                 "'osoba', ?, '8', '56.10')",
                 {QVariant::fromValue<qlonglong>(m("40").units())});
        const int g = groupOfFour(env);
        TRejestracjaOplaty payments;
        TStaliKlienci clients;
        TOplaty w(g, payments, clients);
        w.show();
        auto* choice = w.findChild<QComboBox*>("UslugaZListy");
        QCOMPARE(choice->itemText(1), QString("Śniadanie"));
        choice->setCurrentIndex(1);
        Q_EMIT choice->activated(1);
        QCOMPARE(w.findChild<QLineEdit*>("UslugaIlosc")->text(), QString("12"));
        QCOMPARE(w.findChild<QComboBox*>("UslugaVAT")->currentText(), QString("8"));
        QTest::mouseClick(w.findChild<QPushButton*>("DodajUsluge"), Qt::LeftButton);
        QCOMPARE(env.rows("SELECT Nazwa, Jm, Ilosc, Cena, VAT, PKWiU, Brutto FROM Kalk_usl"),
                 QStringList({"Śniadanie|osoba|12|400000|8|56.10|4800000"}));
        QCOMPARE(w.findChild<QLineEdit*>("KalkBrutto")->text(), QString("1128,00 zł"));
        // A picture of the page at the frame's smallest size, when asked for.
        const QString keep = qEnvironmentVariable("REZYDO_KEEP_OUTPUT");
        if (!keep.isEmpty()) {
            w.findChild<QTabWidget*>("Strony")->setCurrentIndex(3);
            w.resize(780, 500);
            w.grab().save(QDir(keep).filePath("uslugi.png"));
        }
        QCOMPARE(w.findChild<QLineEdit*>("DoZaplaty")->text(), QString("1128,00 zł"));

        env.modal.push_back([](QDialog& dialog) {
            auto* type = dialog.findChild<QComboBox*>("TypOplaty");
            type->setCurrentIndex(2);
            // A transfer document proposes the transfer form; the card is chosen.
            const bool proposed =
                dialog.findChild<QComboBox*>("FormaPlatnosci")->currentText() == "Przelew";
            dialog.findChild<QComboBox*>("FormaPlatnosci")->setCurrentIndex(1);
            QTest::mouseClick(dialog.findChild<QPushButton*>("RejestrujWplate"), Qt::LeftButton);
            return proposed ? dialog.result() : int(QDialog::Rejected);
        });
        QTest::mouseClick(w.findChild<QPushButton*>("RejestrujOplate"), Qt::LeftButton);
        QCOMPARE(env.rows("SELECT Typ, Forma, Wplata FROM Kwit"), QStringList({"3|2|11280000"}));
        auto* list = w.findChild<QTableView*>("ListaOplat");
        QCOMPARE(list->model()->index(0, 4).data().toString(), QString("Karta"));

        // Once the invoice is issued its service lines are frozen as well.
        CalcHeader h = loadHeader(env.db(), g);
        h.name = QStringLiteral("Firma");
        issueInvoice(env.db(), h, QDate(2026, 7, 15), QDate(2026, 7, 15), PaymentMethod::Cash, 14,
                     std::nullopt, invoiceSeries());
        TOplaty issued(g, payments, clients);
        issued.show();
        issued.findChild<QTableView*>("ListaUslug")->selectRow(0);
        for (const char* name : {"DodajUsluge", "ZmienUsluge", "UsunUsluge"})
            QVERIFY2(!issued.findChild<QPushButton*>(name)->isEnabled(), name);
        QVERIFY(!issued.findChild<QComboBox*>("UslugaZListy")->isEnabled());
        QVERIFY(!issued.findChild<QCheckBox*>("SniadanieWCenie")->isEnabled());
    }
};

REZYDO_TEST(TestServices);
#include "test_services.moc"
