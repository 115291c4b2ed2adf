// The correcting invoice's printout and its place in the list of invoices.
#include "billing/calculation.h"
#include "billing/correction.h"
#include "billing/correction_printout.h"
#include "billing/invoice.h"
#include "billing/invoice_printout.h"
#include "db/row_set.h"
#include "reports/engine/document.h"
#include "reports/engine/generator.h"
#include "reports/money_reports.h"
#include "tests/reports/layout_checks.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

namespace {
// Invoice 12/H/2026 of a German firm: room 5 corrected from 200,00 to 100,00
// and room 6 from 7 % to 22 %.
qint64 correctedInvoice(TestEnv& env)
{
    env.exec("UPDATE Config SET Nazwa = 'Pensjonat Pod Lipami', Adres = 'ul. Leśna 4, "
             "34-500 Zakopane', NIP = '1111111111', Miejscowosc = 'Zakopane'");
    const int niemcy = env.scalar("SELECT ID FROM Panstwo WHERE Nazwa = 'Niemcy'").toInt();
    env.exec("INSERT INTO Kwat_hot (Identyfikator, Nazwa, Osob, Od, \"Do\") VALUES (12, "
             "'Reisebüro Alpen GmbH', 2, '2026-07-10', '2026-07-12')");
    env.exec("INSERT INTO Kalk (Identyfikator, VAT, Brutto, Podatek, Nazwa, Adres, Nip) VALUES "
             "(12, '7', 5000000, 0, 'Reisebüro Alpen GmbH', 'Hauptstraße 1, 80331 München', '')");
    env.exec("INSERT INTO Kalk_det (Identyfikator, Nr_pokoju, Od, \"Do\", Oplata1, Oplata2, Dni, "
             "VAT, Podatek, Brutto) VALUES (12, '5', '2026-07-10', '2026-07-12', 1000000, "
             "1000000, 2, '7', 130800, 2000000), (12, '6', '2026-07-10', '2026-07-12', "
             "1500000, 1500000, 2, '7', 196300, 3000000)");
    CalcHeader h = loadHeader(env.db(), 12);
    h.idKind = 2;
    h.nip = QStringLiteral("DE123456789");
    h.countryId = niemcy;
    issueInvoice(env.db(), h, QDate(2026, 7, 12), QDate(2026, 7, 12), PaymentMethod::Transfer, 14,
                 12, QStringLiteral("H"));
    QList<CorrectionLine> lines = correctableLines(env.db(), 12);
    lines[0].grossAfter = Money::fromZloty(100);
    lines[1].vatAfter = QStringLiteral("22");
    return issueCorrection(env.db(), 12, lines, QStringLiteral("Skrócenie pobytu o jedną dobę"),
                           QDate(2026, 7, 20), std::nullopt, QStringLiteral("KOR"));
}

Document correctionDocument(TestEnv& env, qint64 id)
{
    const Correction c = loadCorrection(env.db(), id);
    TRapKorekta report(c, loadInvoice(env.db(), c.groupId), QStringLiteral("VAT UE :"),
                       QStringLiteral("Niemcy"));
    return generateDocument(report);
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

class TestCorrectionPrintout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void correctionPrintsItsReferenceAndDifferences()
    {
        TestEnv env;
        const Document doc = correctionDocument(env, correctedInvoice(env));
        QCOMPARE(doc.title, QString("Faktura korygująca"));
        QCOMPARE(doc.copies, 2);
        QCOMPARE(textOf(doc, "Numer"), QString("1/KOR/2026"));
        QCOMPARE(textOf(doc, "DoFaktury"),
                 QString("do faktury VAT nr 12/H/2026 z dnia 12-07-2026"));
        QCOMPARE(textOf(doc, "Przyczyna"),
                 QString("Przyczyna korekty: Skrócenie pobytu o jedną dobę"));
        QVERIFY(doc.pages[0].texts("BandaTytul").contains("VAT UE : DE123456789"));
        QVERIFY(doc.pages[0].texts("BandaTytul").contains("Niemcy"));
        // Room 5: 200,00 → 100,00 at 7 %: tax 13,08 → 6,54. Room 6 at 22 %:
        // tax of 300,00 is 54,10 instead of 19,63.
        QCOMPARE(doc.pages[0].texts("BandaPozycje"),
                 QStringList({"1", "Nocleg, pokój 5, od 2026-07-10 do 2026-07-12", "7%",
                              "200,00 zł ", "7%", "100,00 zł ", "-100,00 zł ", "-6,54 zł ", "2",
                              "Nocleg, pokój 6, od 2026-07-10 do 2026-07-12", "7%", "300,00 zł ",
                              "22%", "300,00 zł ", "0,00 zł ", "34,47 zł "}));
        const QStringList summary = doc.pages.last().texts("BandaPodsumowanie");
        // After: 100,00 at 7 % (tax 6,54) and 300,00 at 22 % (tax 54,10).
        QCOMPARE(summary.mid(0, 16),
                 QStringList({"", "Wartość bez podatku", "Kwota podatku",
                              "Wartość wraz z podatkiem", "Przed korektą", "467,29 zł ",
                              "32,71 zł ", "500,00 zł ", "Po korekcie", "339,36 zł ", "60,64 zł ",
                              "400,00 zł ", "Różnica", "-127,93 zł ", "27,93 zł ", "-100,00 zł "}));
        QCOMPARE(textOf(doc, "Kwota"), QString("Kwota do zwrotu nabywcy: 100,00 zł "));
        QCOMPARE(textOf(doc, "Slownie"), QString("słownie : minus sto zł. zero gr."));
        QStringList faults = textsNotFitting(doc) + overlappingTexts(doc);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));

        const QString pdf = env.path("korekta.pdf");
        QVERIFY(writePdf(doc, pdf));
        QProcess text;
        text.start("pdftotext", {"-layout", pdf, "-"});
        QVERIFY(text.waitForFinished(20000));
        QVERIFY(QString::fromUtf8(text.readAllStandardOutput()).contains("FAKTURA KORYGUJĄCA"));
        const QString keep = qEnvironmentVariable("REZYDO_KEEP_OUTPUT");
        if (!keep.isEmpty())
            QFile::copy(pdf, QDir(keep).filePath("korekta.pdf"));
    }

    // The buyer's identifier is printed under the caption of its kind, with
    // the country of a buyer from abroad; an older invoice keeps "NIP :".
    void buyerIdentificationOnTheInvoice_data()
    {
        QTest::addColumn<QVariant>("kind");
        QTest::addColumn<QString>("country");
        QTest::addColumn<QStringList>(
            "printed"); // caption and value of each line after the address
        QTest::newRow("older invoice") << QVariant() << "" << QStringList({"NIP :", "X1"});
        QTest::newRow("Polish NIP") << QVariant(1) << "Polska" << QStringList({"NIP :", "X1"});
        QTest::newRow("EU VAT number")
            << QVariant(2) << "Niemcy" << QStringList({"Kraj :", "Niemcy", "VAT UE :", "X1"});
        QTest::newRow("other identifier")
            << QVariant(3) << "Ukraina"
            << QStringList({"Kraj :", "Ukraina", "Nr identyf. :", "X1"});
        QTest::newRow("private person") << QVariant(0) << "Polska" << QStringList();
    }
    void buyerIdentificationOnTheInvoice()
    {
        QFETCH(QVariant, kind);
        QFETCH(QString, country);
        QFETCH(QStringList, printed);
        TestEnv env;
        env.exec("INSERT INTO Kalk (Identyfikator, Typ, Rach, Nazwa, Adres, Nip, Nip_rodzaj, "
                 "ID_Panstwo, data_wystawienia) VALUES (5, 2, 3, 'Nabywca', 'Adres', 'X1', ?, "
                 "(SELECT ID FROM Panstwo WHERE Nazwa = ?), '2026-07-15')",
                 {kind.isNull() ? QVariant(QMetaType(QMetaType::Int)) : kind,
                  country.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : country});
        TRapFaktura report(loadInvoice(env.db(), 5), QString());
        const Document doc = generateDocument(report);
        QStringList got;
        for (const PlacedItem& i : doc.pages[0].items)
            if (i.control.startsWith("NabywcaKraj") || i.control.startsWith("NabywcaNip"))
                got << i.text;
        QCOMPARE(got, printed);
        const QStringList faults = textsNotFitting(doc) + overlappingTexts(doc);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        const QString keep = qEnvironmentVariable("REZYDO_KEEP_OUTPUT");
        if (!keep.isEmpty() && kind == QVariant(2))
            QVERIFY(writePdf(doc, QDir(keep).filePath("faktura_ue.pdf")));
    }

    void correctionListedAmongInvoices()
    {
        TestEnv env;
        correctedInvoice(env);
        RowSet rows;
        openInvoices(rows, QDate(2026, 7, 1), QDate(2026, 7, 31));
        QStringList listed;
        for (int i = 0; i < rows.rowCount(); ++i)
            listed << rows.value(i, "Rach").toString() + "|" +
                          rows.value(i, "Data_wystawienia").toString() + "|" +
                          rows.value(i, "Brutto").toString() + "|" +
                          rows.value(i, "Uwagi").toString();
        QCOMPARE(listed, QStringList({"12|2026-07-12|5000000|",
                                      "1|2026-07-20|-1000000|Korekta nr 1/KOR/2026 do faktury "
                                      "nr 12/H/2026"}));
        openInvoices(rows, QDate(2026, 7, 13), QDate(2026, 7, 31));
        QCOMPARE(rows.rowCount(), 1);
    }
};

REZYDO_TEST(TestCorrectionPrintout);
#include "test_correction_printout.moc"
