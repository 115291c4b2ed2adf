#include "billing/amount_in_words.h"
#include "billing/invoice_printout.h"
#include "core/settings.h"
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
struct Line {
    QString room;
    QString from, to;
    qint64 priceGrosze;
    QString vat;
    QVariant discount;
    qint64 grossGrosze;
};

QVariant zl(qint64 grosze)
{
    return QVariant::fromValue<qlonglong>(Money::fromGrosze(grosze).units());
}

// The group 12's calculation as the billing window leaves it, with the hotel's data.
void writeInvoice(TestEnv& env, qint64 grossGrosze, int method, const QString& due,
                  const QList<Line>& lines, qint64 prepaidGrosze = 0)
{
    env.exec("UPDATE Config SET Nazwa=?, Adres=?, Regon=?, NIP=?, Miejscowosc=?, Bank=?, "
             "NrKonta=?",
             {"Pensjonat Pod Lipami", "ul. Leśna 4, 34-500 Zakopane", "123456789", "736-100-20-30",
              "Zakopane", "Bank Spółdzielczy w Zakopanem", "12 3456 0000 1111 2222 3333 4444"});
    env.exec(
        "INSERT INTO Kalk (Identyfikator, Rach, Nazwa, Adres, Nip, sposob_zaplaty, "
        "Zamowienie, data_wystawienia, termin_platnosci, data_sprzedazy, Brutto, Przedplata) "
        "VALUES (12, 7, 'Biuro Podróży Tatry', 'ul. Długa 1, 30-001 Kraków', '676-00-11-222', "
        "?, 'zam. 5/2026', '2026-07-15', ?, '2026-07-13', ?, ?)",
        {method, due.isEmpty() ? QVariant() : QVariant(due), zl(grossGrosze), zl(prepaidGrosze)});
    for (const Line& l : lines)
        env.exec("INSERT INTO Kalk_det (Identyfikator, Nr_pokoju, Od, \"Do\", Oplata1, Oplata2, "
                 "Znizka, VAT, Brutto) VALUES (12, ?, ?, ?, ?, ?, ?, ?, ?)",
                 {l.room, l.from, l.to, zl(l.priceGrosze), zl(l.priceGrosze), l.discount, l.vat,
                  zl(l.grossGrosze)});
}

// Two rooms, three nights each at 100,00 with VAT 7 and no discount.
const QList<Line> kWorkedExample = {{"1", "2026-07-10", "2026-07-13", 10000, "7", {}, 30000},
                                    {"2", "2026-07-10", "2026-07-13", 10000, "7", {}, 30000}};

Document invoiceDocument(TestEnv& env, const QString& sww = QStringLiteral("55.10.10"))
{
    TRapFaktura report(loadInvoice(env.db(), 12), sww);
    return generateDocument(report);
}

// The texts of one summary row ("Vat22", "Razem", ...): net, tax, rate, gross.
QStringList summaryRow(const Document& doc, const QString& name)
{
    QStringList out;
    for (const PlacedItem& i : doc.pages.last().items)
        if (i.control.startsWith(name) && i.control.size() > name.size() &&
            QStringList({"Netto", "Podatek", "Stawka", "Brutto"})
                .contains(i.control.mid(name.size())))
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

class TestInvoice : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void amountInWords_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("words");
        const QList<QPair<int, const char*>> cases = {
            {0, "zero"},
            {1, "jeden"},
            {-1, "minus jeden"},
            {2, "dwa"},
            {4, "cztery"},
            {5, "pięć"},
            {10, "dziesięć"},
            {11, "jedenaście"},
            {12, "dwanaście"},
            {14, "czternaście"},
            {19, "dziewiętnaście"},
            {20, "dwadzieścia"},
            {21, "dwadzieścia jeden"},
            {22, "dwadzieścia dwa"},
            {24, "dwadzieścia cztery"},
            {25, "dwadzieścia pięć"},
            {99, "dziewięćdziesiąt dziewięć"},
            {101, "sto jeden"},
            {112, "sto dwanaście"},
            {999, "dziewięćset dziewięćdziesiąt dziewięć"},
            {1000, "tysiąc"},
            {1001, "tysiąc jeden"},
            {1234, "tysiąc dwieście trzydzieści cztery"},
            {2000, "dwa tysiące"},
            {2001, "dwa tysiące jeden"},
            {4000, "cztery tysiące"},
            {5000, "pięć tysięcy"},
            {12000, "dwanaście tysięcy"},
            {14000, "czternaście tysięcy"},
            {21000, "dwadzieścia jeden tysięcy"},
            {22000, "dwadzieścia dwa tysiące"},
            {24000, "dwadzieścia cztery tysiące"},
            {25000, "dwadzieścia pięć tysięcy"},
            {200000, "dwieście tysięcy"},
            {1000000, "milion"},
            {1000001, "milion jeden"},
            {2000000, "dwa miliony"},
            {5000000, "pięć milionów"},
            {12000000, "dwanaście milionów"},
            {22000000, "dwadzieścia dwa miliony"},
            {1000000000, "miliard"},
            {2000000000, "dwa miliardy"},
            {2147483647, "dwa miliardy sto czterdzieści siedem milionów czterysta osiemdziesiąt "
                         "trzy tysiące sześćset czterdzieści siedem"},
            {-15, "minus piętnaście"},
            {-2000, "minus dwa tysiące"},
            {std::numeric_limits<int>::min(),
             "minus dwa miliardy sto czterdzieści siedem milionów czterysta osiemdziesiąt trzy "
             "tysiące sześćset czterdzieści osiem"},
        };
        for (const auto& [n, words] : cases)
            QTest::newRow(QByteArray::number(n).constData()) << n << QString::fromUtf8(words);
    }
    void amountInWords()
    {
        QFETCH(int, n);
        QFETCH(QString, words);
        QCOMPARE(::amountInWords(n), words);
    }

    void moneyInWords_data()
    {
        QTest::addColumn<qint64>("units");
        QTest::addColumn<QString>("words");
        QTest::newRow("600,00") << qint64(6000000) << "sześćset zł. zero gr.";
        QTest::newRow("1234,50") << qint64(12345000)
                                 << "tysiąc dwieście trzydzieści cztery zł. pięćdziesiąt gr.";
        QTest::newRow("0,99") << qint64(9900) << "zero zł. dziewięćdziesiąt dziewięć gr.";
        QTest::newRow("0,9999 is printed 1,00") << qint64(9999) << "jeden zł. zero gr.";
        QTest::newRow("12,015") << qint64(120150) << "dwanaście zł. dwa gr.";
        // Złote and grosze each carry the sign; a part that is zero is "zero".
        QTest::newRow("-0,50") << qint64(-5000) << "zero zł. minus pięćdziesiąt gr.";
        QTest::newRow("-1,00") << qint64(-10000) << "minus jeden zł. zero gr.";
        QTest::newRow("-12,34") << qint64(-123400)
                                << "minus dwanaście zł. minus trzydzieści cztery gr.";
        QTest::newRow("-1 000 000,01")
            << qint64(-10000000100) << "minus milion zł. minus jeden gr.";
        QTest::newRow("-0,01") << qint64(-100) << "zero zł. minus jeden gr.";
        QTest::newRow("-0,004 is printed 0,00") << qint64(-40) << "zero zł. zero gr.";
    }
    void moneyInWords()
    {
        QFETCH(qint64, units);
        QFETCH(QString, words);
        QCOMPARE(::moneyInWords(Money::fromUnits(units)), words);
    }

    void taxFromGross_data()
    {
        QTest::addColumn<qint64>("grossGrosze");
        QTest::addColumn<int>("rate");
        QTest::addColumn<qint64>("taxGrosze");
        QTest::newRow("600 at 7") << qint64(60000) << 7 << qint64(3925);
        QTest::newRow("122 at 22") << qint64(12200) << 22 << qint64(2200);
        QTest::newRow("100 at 22") << qint64(10000) << 22 << qint64(1803);
        QTest::newRow("0,05 at 7") << qint64(5) << 7 << qint64(0);
        QTest::newRow("1,07 at 7") << qint64(107) << 7 << qint64(7);
    }
    void taxFromGross()
    {
        QFETCH(qint64, grossGrosze);
        QFETCH(int, rate);
        QFETCH(qint64, taxGrosze);
        QCOMPARE(taxInGross(Money::fromGrosze(grossGrosze), rate), Money::fromGrosze(taxGrosze));
    }

    void workedExample()
    {
        TestEnv env;
        writeInvoice(env, 60000, 1, {}, kWorkedExample);
        const Document doc = invoiceDocument(env);
        QCOMPARE(doc.title, QString("Faktura Vat"));
        QCOMPARE(doc.copies, 2);
        QCOMPARE(doc.pageCount(), 1);
        const Page& page = doc.pages[0];
        QCOMPARE(page.texts("NaglowekStrony"), QStringList({"Zakopane, dnia 15-07-2026"}));
        QCOMPARE(page.texts("BandaPozycje"),
                 QStringList({"Noclegi w dniach  od 10-07-2026 do 13-07-2026", "55.10.10", "2", "3",
                              "100,00 zł ", " ", "7%", "600,00 zł "}));
        QCOMPARE(summaryRow(doc, "Vat7"),
                 QStringList({"560,75 zł ", "39,25 zł ", "7%", "600,00 zł "}));
        QCOMPARE(summaryRow(doc, "Vat22"), QStringList({"", "", "22%", ""}));
        QCOMPARE(summaryRow(doc, "Razem"),
                 QStringList({"560,75 zł ", "39,25 zł ", "RAZEM", "600,00 zł "}));
        QCOMPARE(textOf(doc, "Slownie"), QString("słownie : sześćset zł. zero gr."));
        QCOMPARE(textOf(doc, "Gotowka"), QString("ZAPŁACONO GOTÓWKĄ"));
        QCOMPARE(textOf(doc, "SposobZaplaty"), QString("Gotówka"));
        QCOMPARE(textOf(doc, "TerminZaplatyEtykieta"), QString("<none>"));
        QCOMPARE(textOf(doc, "Rach") + "|" + textOf(doc, "Seria") + "|" + textOf(doc, "Rok"),
                 QString("7|H|  2026"));
        QCOMPARE(textOf(doc, "DoZaplaty"), QString("600,00 zł "));
        compareGolden("invoice_worked_example.txt", dumpDocument(doc));
    }

    void seriesSetting_data()
    {
        QTest::addColumn<QVariant>("setting");
        QTest::addColumn<QString>("cell");
        QTest::newRow("absent") << QVariant() << "H";
        QTest::newRow("empty") << QVariant("") << "";
        QTest::newRow("own") << QVariant("HT") << "HT";
    }
    void seriesSetting()
    {
        QFETCH(QVariant, setting);
        QFETCH(QString, cell);
        TestEnv env;
        if (setting.isValid())
            QVERIFY(writeSetting("FakturaRoz", setting.toString()));
        writeInvoice(env, 60000, 1, {}, kWorkedExample);
        QCOMPARE(textOf(invoiceDocument(env), "Seria"), cell);
    }

    // A saved copy of an invoice is named by its number and year, so that the
    // PDFs of different invoices never take each other's place.
    void savedCopyName_data()
    {
        QTest::addColumn<QVariant>("series");
        QTest::addColumn<QVariant>("number");
        QTest::addColumn<QString>("issued");
        QTest::addColumn<QString>("name");
        QTest::newRow("series absent") << QVariant() << QVariant(7) << "2026-07-15"
                                       << "Faktura VAT 7-H-2026.pdf";
        QTest::newRow("no series") << QVariant("") << QVariant(7) << "2026-07-15"
                                   << "Faktura VAT 7-2026.pdf";
        QTest::newRow("own series") << QVariant("HT") << QVariant(7) << "2026-07-15"
                                    << "Faktura VAT 7-HT-2026.pdf";
        QTest::newRow("issued last year") << QVariant() << QVariant(31) << "2025-12-31"
                                          << "Faktura VAT 31-H-2025.pdf";
        QTest::newRow("not numbered") << QVariant() << QVariant() << "2026-07-15"
                                      << "Faktura Vat 2026-07-15.pdf";
    }
    void savedCopyName()
    {
        QFETCH(QVariant, series);
        QFETCH(QVariant, number);
        QFETCH(QString, issued);
        QFETCH(QString, name);
        TestEnv env;
        if (series.isValid())
            QVERIFY(writeSetting("FakturaRoz", series.toString()));
        writeInvoice(env, 60000, 1, {}, kWorkedExample);
        env.exec("UPDATE Kalk SET Rach = ?, data_wystawienia = ?", {number, issued});
        TRapFaktura report(loadInvoice(env.db(), 12), "55.10.10");
        QCOMPARE(pdfFileName(report, QDate(2026, 7, 15)), name);
    }

    void transferDueDate_data()
    {
        QTest::addColumn<QString>("due");
        QTest::addColumn<QString>("shown");
        QTest::newRow("later") << "2026-07-29"
                               << "29-07-2026";
        QTest::newRow("on the sale day") << "2026-07-13"
                                         << "";
        QTest::newRow("before it") << "2026-07-10"
                                   << "";
        QTest::newRow("none") << ""
                              << "";
    }
    void transferDueDate()
    {
        QFETCH(QString, due);
        QFETCH(QString, shown);
        TestEnv env;
        writeInvoice(env, 60000, 2, due, kWorkedExample);
        const Document doc = invoiceDocument(env);
        QCOMPARE(textOf(doc, "SposobZaplaty"), QString("Przelew"));
        QCOMPARE(textOf(doc, "TerminZaplatyEtykieta"), QString("Termin zapłaty :"));
        QCOMPARE(textOf(doc, "TerminZaplaty"), shown);
        QCOMPARE(textOf(doc, "Gotowka"), QString("<none>"));
    }

    void linesGroupedByPeriodPriceVatAndDiscount()
    {
        TestEnv env;
        writeInvoice(env, 67000, 1, {},
                     {{"1", "2026-07-10", "2026-07-13", 10000, "7", 10, 27000},
                      {"2", "2026-07-10", "2026-07-13", 10000, "7", {}, 30000},
                      {"3", "2026-07-13", "2026-07-14", 10000, "7", {}, 10000}});
        QStringList rows;
        const Document doc = invoiceDocument(env);
        for (const PlacedItem& i : doc.pages[0].items)
            if (i.band == "BandaPozycje" && (i.control == "Rodzaj" || i.control == "Znizka"))
                rows << i.text;
        QCOMPARE(rows, QStringList({"Noclegi w dniach  od 10-07-2026 do 13-07-2026", " ",
                                    "Noclegi w dniach  od 10-07-2026 do 13-07-2026", "10%",
                                    "Noclegi w dniach  od 13-07-2026 do 14-07-2026", " "}));
    }

    // A rate outside the four fixed rows (here 5 %) takes the per-line layout,
    // where it has a summary row of its own: its gross never counts as net.
    void otherVatTextHasItsOwnSummaryRow()
    {
        TestEnv env;
        writeInvoice(env, 22200, 1, {},
                     {{"1", "2026-07-10", "2026-07-11", 12200, "22", {}, 12200},
                      {"2", "2026-07-10", "2026-07-11", 10000, "5", {}, 10000}});
        const Document doc = invoiceDocument(env);
        QCOMPARE(summaryRow(doc, "Vat22"),
                 QStringList({"100,00 zł ", "22,00 zł ", "22%", "122,00 zł "}));
        QCOMPARE(summaryRow(doc, "Vat5"),
                 QStringList({"95,24 zł ", "4,76 zł ", "5%", "100,00 zł "}));
        QCOMPARE(summaryRow(doc, "Vat7"), QStringList());
        QCOMPARE(summaryRow(doc, "Razem"),
                 QStringList({"195,24 zł ", "26,76 zł ", "RAZEM", "222,00 zł "}));
    }

    void groupWithoutLines()
    {
        TestEnv env;
        writeInvoice(env, 12345, 1, {}, {}, 2345);
        const Document doc = invoiceDocument(env);
        QCOMPARE(doc.pageCount(), 1);
        QVERIFY(doc.pages[0].texts("BandaPozycje").isEmpty());
        QCOMPARE(doc.pages[0].texts("NaglowekKolumn").size(), 8);
        QCOMPARE(summaryRow(doc, "Vat7"), QStringList({"", "", "7%", ""}));
        QCOMPARE(summaryRow(doc, "Razem"),
                 QStringList({"123,45 zł ", "0,00 zł ", "RAZEM", "123,45 zł "}));
        QCOMPARE(textOf(doc, "Przedplaty"), QString("23,45 zł "));
        QCOMPARE(textOf(doc, "DoZaplaty"), QString("100,00 zł "));
        QCOMPARE(textOf(doc, "Slownie"),
                 QString("słownie : sto dwadzieścia trzy zł. czterdzieści pięć gr."));
    }

    // The printed words line of an amount below zero carries the sign.
    void wordsLineOfANegativeGross()
    {
        TestEnv env;
        writeInvoice(env, -1234, 1, {}, {});
        const Document doc = invoiceDocument(env);
        QCOMPARE(textOf(doc, "Kwota"), QString("-12,34 zł "));
        QCOMPARE(textOf(doc, "Slownie"),
                 QString("słownie : minus dwanaście zł. minus trzydzieści cztery gr."));
    }

    void missingCalculationPrintsEmptyTexts()
    {
        TestEnv env;
        const Document doc = invoiceDocument(env);
        QCOMPARE(doc.pageCount(), 1);
        QCOMPARE(textOf(doc, "Rach"), QString());
        QCOMPARE(textOf(doc, "NabywcaNazwa"), QString());
        QCOMPARE(textOf(doc, "Slownie"), QString("słownie : zero zł. zero gr."));
    }

    void manyLinesContinueOnTheNextPageWithTheHeadings()
    {
        TestEnv env;
        QList<Line> lines;
        for (int i = 1; i <= 12; ++i)
            lines << Line{QString::number(i),
                          QString("2026-07-%1").arg(i, 2, 10, QChar('0')),
                          "2026-07-20",
                          10000,
                          "7",
                          {},
                          10000};
        writeInvoice(env, 120000, 1, {}, lines);
        const Document doc = invoiceDocument(env);
        QCOMPARE(doc.pageCount(), 2);
        QCOMPARE(doc.pages[1].texts("NaglowekKolumn").first(), QString("Rodzaj usługi"));
        int printed = 0;
        for (const Page& p : doc.pages)
            printed += static_cast<int>(p.texts("BandaPozycje").size()) / 8;
        QCOMPARE(printed, 12);
        QCOMPARE(textOf(doc, "Odbiorca"), QString("Odbiorca"));
    }

    // The hotel's and the buyer's data, the place and the classification
    // symbol as long as the database holds them print whole: they wrap, the
    // parties' columns and the line rows grow, and nothing runs into the next text.
    void longTextsPrintWhole_data()
    {
        QTest::addColumn<bool>("oneWord");
        QTest::newRow("words") << false;
        QTest::newRow("one word") << true;
    }
    void longTextsPrintWhole()
    {
        QFETCH(bool, oneWord);
        TestEnv env;
        writeInvoice(env, 60000, 2, "2026-07-29", kWorkedExample);
        // Column widths of Config and Kalk.
        env.exec("UPDATE Config SET Nazwa=?, Adres=?, Regon=?, NIP=?, Miejscowosc=?, Bank=?, "
                 "NrKonta=?, SWW=?",
                 {wideText(100, oneWord), wideText(100, oneWord), wideText(20, oneWord),
                  wideText(20, oneWord), wideText(50, oneWord), wideText(100, oneWord),
                  wideText(40, oneWord), wideText(20, oneWord)});
        env.exec("UPDATE Kalk SET Nazwa=?, Adres=?, Nip=?, Zamowienie=?",
                 {wideText(40, oneWord), wideText(50, oneWord), wideText(15, oneWord),
                  wideText(50, oneWord)});
        const Document doc = invoiceDocument(env, wideText(20, oneWord));
        keepPdf(doc, QString("long-invoice, %1").arg(QTest::currentDataTag()));
        QCOMPARE(textOf(doc, "SprzedawcaBank"), wideText(100, oneWord));
        QStringList faults =
            textsNotFitting(doc) + overlappingTexts(doc) + cellsNotLevel(doc, "BandaPozycje");
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void rendersToPdf()
    {
        TestEnv env;
        writeInvoice(env, 60000, 1, {}, kWorkedExample);
        const QString pdf = env.path("faktura.pdf");
        QVERIFY(writePdf(invoiceDocument(env), pdf));
        QProcess text;
        text.start("pdftotext", {"-layout", pdf, "-"});
        QVERIFY(text.waitForFinished(20000));
        const QString content = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(content.contains("Faktura VAT NR"), qPrintable(content));
        QVERIFY(content.contains("słownie : sześćset zł. zero gr."));
        QVERIFY(content.contains("ZAPŁACONO GOTÓWKĄ"));
        const QString keep = qEnvironmentVariable("REZYDO_KEEP_OUTPUT");
        if (!keep.isEmpty())
            QFile::copy(pdf, QDir(keep).filePath("faktura.pdf"));
    }
};
REZYDO_TEST(TestInvoice);
#include "test_invoice.moc"
