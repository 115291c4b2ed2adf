#include "billing/calculation.h"
#include "billing/invoice.h"
#include "billing/invoice_printout.h"
#include "billing/payments.h"
#include "billing/services.h"
#include "reports/engine/generator.h"
#include "tests/reports/golden.h"
#include "tests/reports/layout_checks.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

namespace {
Money zl(const char* amount)
{
    return Money::parse(QString::fromUtf8(amount)).value();
}

QVariant units(const char* amount)
{
    return QVariant::fromValue<qlonglong>(zl(amount).units());
}

Document invoice(TestEnv& env, int group, const QString& sww = QStringLiteral("55.10.10.0"))
{
    TRapFaktura report(loadInvoice(env.db(), group), sww);
    return generateDocument(report);
}

// Two persons in a double room for three nights, 250,00 a night with the
// hotel's rate for accommodation (8 %), breakfast for both each morning at
// 8 % and parking each night at 23 %, taken through the billing rules.
int stayWithBreakfastAndParking(TestEnv& env)
{
    env.exec("UPDATE Config SET Nazwa = 'Pensjonat Pod Lipami', Adres = 'ul. Lipowa 5, 34-500 "
             "Zakopane', NIP = '1111111111', Miejscowosc = 'Zakopane'");
    env.exec("INSERT INTO Pokoje (Nr_Pokoju, Miejsc, Typ) VALUES ('12', 2, 'D')");
    env.exec("INSERT INTO Cennik (Typ, Cena1, Cena2, Cena3, Cena4) VALUES ('D', ?, ?, ?, ?)",
             {units("150"), units("150"), units("250"), units("250")});
    env.exec("INSERT INTO Kwat_hot (Nazwa, Osob, Od, \"Do\") VALUES ('Nowak', 2, '2026-12-04', "
             "'2026-12-07')");
    const int g = env.scalar("SELECT max(Identyfikator) FROM Kwat_hot").toInt();
    env.exec("INSERT INTO Kwat_msc (Identyfikator, Nr_pokoju, Od, \"Do\", Miejsc) VALUES (?, "
             "'12', '2026-12-04', '2026-12-07', 2)",
             {g});
    QSqlDatabase db = env.db();
    createCalculation(db, g);
    ServiceLine breakfast{0,        g,   "Śniadanie",  "osoba", 6,
                          zl("40"), "8", "56.10.19.0", Money(), Money()};
    ServiceLine parking{0, g, "Parking", "doba", 3, zl("30"), "23", "52.21.24.0", Money(), Money()};
    addServiceLine(db, breakfast);
    addServiceLine(db, parking);
    CalcHeader h = loadHeader(db, g);
    h.number = 12;
    h.name = QStringLiteral("Przykładowa Firma Szkoleniowa Sp. z o.o.");
    h.prepayment = zl("300");
    h.prepaymentDate = QDate(2026, 12, 4);
    h.prepaymentForm = static_cast<int>(PaymentForm::Cash);
    issueInvoice(db, h, QDate(2026, 12, 7), QDate(2026, 12, 7), PaymentMethod::Cash, 14, 12,
                 invoiceSeries());
    return g;
}

QStringList row(const Document& doc, const QString& name)
{
    QStringList out;
    for (const PlacedItem& i : doc.pages.last().items)
        for (const char* part : {"Netto", "Podatek", "Stawka", "Brutto"})
            if (i.control == name + QLatin1String(part))
                out << i.text;
    return out;
}

QString textOf(const Document& doc, const QString& control)
{
    for (const Page& p : doc.pages)
        for (const PlacedItem& i : p.items)
            if (i.control == control)
                return i.text;
    return QStringLiteral("<none>");
}
} // namespace

class TestInvoiceLines : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stayWithBreakfastAndParking()
    {
        TestEnv env;
        const int g = ::stayWithBreakfastAndParking(env);
        QCOMPARE(env.scalar("SELECT Brutto FROM Kalk"), units("1080"));
        Document doc = invoice(env, g);
        QCOMPARE(doc.pageCount(), 1);
        QCOMPARE(doc.pages[0].texts("BandaPozycje"),
                 QStringList({"1",          "Usługa noclegowa 04-12-2026 – 07-12-2026",
                              "55.10.10.0", "doba",
                              "3",          "231,48 zł ",
                              "694,44 zł ", "8%",
                              "55,56 zł ",  "750,00 zł ",
                              "2",          "Śniadanie",
                              "56.10.19.0", "osoba",
                              "6",          "37,04 zł ",
                              "222,22 zł ", "8%",
                              "17,78 zł ",  "240,00 zł ",
                              "3",          "Parking",
                              "52.21.24.0", "doba",
                              "3",          "24,39 zł ",
                              "73,17 zł ",  "23%",
                              "16,83 zł ",  "90,00 zł "}));
        // By hand: 8 % of gross 990,00 is 990 · 8/108 = 73,333… → 73,33, net 916,67;
        // 23 % of gross 90,00 is 90 · 23/123 = 16,829… → 16,83, net 73,17.
        QCOMPARE(row(doc, "Vat23"), QStringList({"73,17 zł ", "16,83 zł ", "23%", "90,00 zł "}));
        QCOMPARE(row(doc, "Vat8"), QStringList({"916,67 zł ", "73,33 zł ", "8%", "990,00 zł "}));
        QCOMPARE(row(doc, "Razem"),
                 QStringList({"989,84 zł ", "90,16 zł ", "RAZEM", "1080,00 zł "}));
        QCOMPARE(row(doc, "Vat22"), QStringList());
        QCOMPARE(textOf(doc, "Slownie"), QString("słownie : tysiąc osiemdziesiąt zł. zero gr."));
        QCOMPARE(textOf(doc, "Przedplaty"), QString("300,00 zł (04-12-2026, gotówka)"));
        QCOMPARE(textOf(doc, "DoZaplaty"), QString("780,00 zł "));
        QCOMPARE(textOf(doc, "StanZaplaty"), QString("<none>"));

        // The rest paid by card: paid, nothing due, but not "in cash".
        registerPayment(env.db(), Payment{0, g, "1", zl("780"), QDate(2026, 12, 7), 2,
                                          static_cast<int>(PaymentForm::Card)});
        doc = invoice(env, g);
        QCOMPARE(textOf(doc, "Zaplacono"), QString("780,00 zł "));
        QCOMPARE(textOf(doc, "DoZaplaty"), QString("0,00 zł "));
        QCOMPARE(textOf(doc, "StanZaplaty"), QString("ZAPŁACONO"));
        const QStringList faults =
            textsNotFitting(doc) + overlappingTexts(doc) + cellsNotLevel(doc, "BandaPozycje");
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        keepPdf(doc, QStringLiteral("invoice-breakfast-parking"));
        compareGolden("invoice_per_line.txt", dumpDocument(doc));
    }

    // "ZAPŁACONO GOTÓWKĄ" only when everything came in cash; nothing before the whole is paid.
    void paidText_data()
    {
        QTest::addColumn<QString>("prepaid");
        QTest::addColumn<int>("prepaymentForm");
        QTest::addColumn<QList<int>>("forms"); // of payments of 100,00 each; 0 unknown
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("due");
        QTest::newRow("nothing paid") << "0" << 0 << QList<int>{} << ""
                                      << "300,00 zł ";
        QTest::newRow("partly in cash") << "0" << 0 << QList<int>{1, 1} << ""
                                        << "100,00 zł ";
        QTest::newRow("all in cash") << "100" << 1 << QList<int>{1, 1} << "ZAPŁACONO GOTÓWKĄ"
                                     << "0,00 zł ";
        QTest::newRow("all by card") << "0" << 0 << QList<int>{2, 2, 2} << "ZAPŁACONO KARTĄ"
                                     << "0,00 zł ";
        QTest::newRow("all by transfer") << "0" << 0 << QList<int>{3, 3, 3} << "ZAPŁACONO PRZELEWEM"
                                         << "0,00 zł ";
        QTest::newRow("prepaid by transfer, rest cash")
            << "100" << 3 << QList<int>{1, 1} << "ZAPŁACONO"
            << "0,00 zł ";
        QTest::newRow("form not known") << "0" << 0 << QList<int>{1, 0, 1} << "ZAPŁACONO"
                                        << "0,00 zł ";
        QTest::newRow("overpaid") << "0" << 0 << QList<int>{1, 1, 1, 1} << "ZAPŁACONO GOTÓWKĄ"
                                  << "0,00 zł ";
    }
    void paidText()
    {
        QFETCH(QString, prepaid);
        QFETCH(int, prepaymentForm);
        QFETCH(QList<int>, forms);
        QFETCH(QString, text);
        QFETCH(QString, due);
        TestEnv env;
        env.exec("INSERT INTO Kalk (Identyfikator, VAT, Brutto, Podatek, Uklad, Przedplata, "
                 "Przedplata_forma) VALUES (5, '8', ?, 0, 2, ?, ?)",
                 {units("300"), units(qPrintable(prepaid)),
                  prepaymentForm ? QVariant(prepaymentForm) : QVariant()});
        for (int form : forms)
            env.exec("INSERT INTO Kwit (Identyfikator, Wplata, Typ, Forma) VALUES (5, ?, 1, ?)",
                     {units("100"), form ? QVariant(form) : QVariant()});
        const InvoiceData d = loadInvoice(env.db(), 5);
        QVERIFY(d.perLine);
        QCOMPARE(d.paidText(), text);
        const Document doc = invoice(env, 5);
        QCOMPARE(textOf(doc, "StanZaplaty"), text.isEmpty() ? QString("<none>") : text);
        QCOMPARE(textOf(doc, "DoZaplaty"), due);
    }

    // Which calculations print one row per line, and that every rate present
    // gets a row of its own: no gross is ever counted as net.
    void layoutAndRateRows_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QStringList>("rates"); // one room line of 100,00 each
        QTest::addColumn<bool>("service");
        QTest::addColumn<bool>("perLine");
        QTest::addColumn<QStringList>("rows"); // rate texts of the summary, RAZEM's tax last
        QTest::newRow("old calculation at 7 and 22")
            << 1 << QStringList{"7", "22"} << false << false << QStringList{};
        QTest::newRow("old calculation with a 5 % line")
            << 1 << QStringList{"7", "5"} << false << true << QStringList{"5%", "7%", "11,30 zł "};
        QTest::newRow("old calculation with a service")
            << 1 << QStringList{"7"} << true << true << QStringList{"23%", "7%", "29,54 zł "};
        QTest::newRow("new calculation, exempt and zero")
            << 2 << QStringList{"zw", "0"} << false << true << QStringList{"0%", "zw", "0,00 zł "};
        QTest::newRow("new calculation at 8")
            << 2 << QStringList{"8", "8"} << false << true << QStringList{"8%", "14,81 zł "};
    }
    void layoutAndRateRows()
    {
        QFETCH(int, layout);
        QFETCH(QStringList, rates);
        QFETCH(bool, service);
        QFETCH(bool, perLine);
        QFETCH(QStringList, rows);
        TestEnv env;
        env.exec("UPDATE Config SET Podstawa_zw = 'art. 113 ust. 1 ustawy o VAT'");
        env.exec("INSERT INTO Kalk (Identyfikator, Uklad, Brutto) VALUES (5, ?, 0)", {layout});
        for (const QString& rate : rates)
            env.exec("INSERT INTO Kalk_det (Identyfikator, Nr_pokoju, Od, \"Do\", Oplata1, Dni, "
                     "VAT, Brutto) VALUES (5, '1', '2026-07-01', '2026-07-02', ?, 1, ?, ?)",
                     {units("100"), rate, units("100")});
        if (service)
            env.exec("INSERT INTO Kalk_usl (Identyfikator, Nazwa, Ilosc, Cena, VAT, Podatek, "
                     "Brutto) VALUES (5, 'Sauna', 1, ?, '23', 0, ?)",
                     {units("123"), units("123")});
        storeSums(env.db(), 5);
        const InvoiceData d = loadInvoice(env.db(), 5);
        QCOMPARE(d.perLine, perLine);
        if (!perLine)
            return;
        const Document doc = invoice(env, 5);
        QStringList got;
        for (const PlacedItem& i : doc.pages.last().items)
            if (i.control.startsWith("Vat") && i.control.endsWith("Stawka"))
                got << i.text;
        got << row(doc, "Razem").value(1);
        QCOMPARE(got, rows);
        QCOMPARE(row(doc, "Razem").value(3), textOf(doc, "Kwota"));
        QCOMPARE(textOf(doc, "PodstawaZwolnienia"),
                 rates.contains("zw")
                     ? QString("Podstawa zwolnienia z VAT: art. 113 ust. 1 ustawy o VAT")
                     : QString("<none>"));
    }
};
REZYDO_TEST(TestInvoiceLines);
#include "test_invoice_lines.moc"
