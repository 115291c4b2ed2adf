// KOD I: the verification link of an invoice's structured document and its QR
// code on the invoice and correction printouts, read back as a phone would.
#include "billing/correction_printout.h"
#include "billing/invoice_printout.h"
#include "billing/ksef/ksef_link.h"
#include "reports/engine/document.h"
#include "reports/engine/generator.h"
#include "tests/reports/layout_checks.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace {
const QString kExamples = QStringLiteral(REZYDO_SHARED_DIR "/ksef-fa3/examples/");

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The seller's NIP and the day of issue (P_1) as the document states them.
std::pair<QString, QDate> sellerAndDay(const QByteArray& xml)
{
    const QString text = QString::fromUtf8(xml);
    const auto nip = QRegularExpression("<Podmiot1>.*?<NIP>(\\d+)</NIP>",
                                        QRegularExpression::DotMatchesEverythingOption)
                         .match(text);
    const auto day = QRegularExpression("<P_1>([-0-9]+)</P_1>").match(text);
    return {nip.captured(1), QDate::fromString(day.captured(1), Qt::ISODate)};
}

// The hash worked out apart from the program: sha256sum's hex digits as bytes,
// in URL-safe Base64 without padding.
QString sha256sumHash(const QString& path)
{
    QProcess p;
    p.start("sha256sum", {path});
    if (!p.waitForFinished(20000))
        return {};
    const QByteArray hex = p.readAllStandardOutput().split(' ').value(0);
    return QString::fromLatin1(QByteArray::fromHex(hex).toBase64(QByteArray::Base64UrlEncoding |
                                                                 QByteArray::OmitTrailingEquals));
}

// The link examples/README.md gives for a file.
QString readmeLink(const QString& file)
{
    const QString readme = QString::fromUtf8(readAll(kExamples + "README.md"));
    const QRegularExpression row("^\\| " + QRegularExpression::escape(file) +
                                     " \\|[^|]*\\| (https://\\S+) \\|$",
                                 QRegularExpression::MultilineOption);
    return row.match(readme).captured(1);
}

const QString kLink = QStringLiteral("https://qr.ksef.mf.gov.pl/invoice/7361002030/15-07-2026/"
                                     "PKieLtN8x6h8MIVst6S3hAhoV91gSzKJQtixrbAof7s");
const QString kNumber = QStringLiteral("7361002030-20260715-0100001AF629-AF");

InvoiceData sellerAndBuyer()
{
    InvoiceData d;
    d.sellerName = "Pensjonat Pod Lipami";
    d.sellerAddress = "ul. Leśna 4, 34-500 Zakopane";
    d.sellerNip = "736-100-20-30";
    d.place = "Zakopane";
    d.number = "7";
    d.buyerName = "Biuro Podróży Tatry";
    d.buyerAddress = "ul. Długa 1, 30-001 Kraków";
    d.buyerNip = "676-00-11-222";
    d.issued = d.sold = QDate(2026, 7, 15);
    d.gross = Money::fromZloty(600);
    return d;
}

// Invoices of the two layouts and a correcting invoice, each with its KOD I.
Document printout(const QString& kind, const KsefMark& mark)
{
    InvoiceData d = sellerAndBuyer();
    if (kind == "korekta") {
        Correction c;
        c.number = 1;
        c.series = "KOR";
        c.issued = QDate(2026, 7, 20);
        c.reason = "Skrócenie pobytu o jedną dobę";
        c.invoiceNumber = "7/H/2026";
        c.invoiceDate = d.issued;
        c.grossBefore = Money::fromZloty(600);
        c.grossAfter = Money::fromZloty(400);
        c.lines << CorrectionLine{1, "Noclegi", "8", "8", c.grossBefore, c.grossAfter, {}, {}};
        TRapKorekta report(c, d, "NIP :", {}, mark);
        return generateDocument(report);
    }
    if (kind == "pozycje") {
        d.perLine = true;
        d.items << InvoiceItem{"Nocleg",
                               {},
                               true,
                               "doba",
                               3,
                               Money::fromZloty(200),
                               Money::fromZloty(600),
                               "8%",
                               Money::fromZloty(48),
                               Money::fromZloty(648)};
        d.rateTotals << RateTotal{
            "8", "8%", 8, Money::fromZloty(600), Money::fromZloty(48), Money::fromZloty(648)};
        d.exemptionBasis = "art. 43 ust. 1 pkt 18 ustawy o VAT";
    } else {
        d.lines =
            ReportRows({"Pokoi", "Od", "Do", "Oplata1", "VAT", "Suma", "Doby", "Znizka"},
                       {{2, "2026-07-12", "2026-07-15", qlonglong(Money::fromZloty(100).units()),
                         "7", qlonglong(Money::fromZloty(600).units()), 3, 0}});
        d.grossByVat.insert("7", Money::fromZloty(600));
    }
    d.ksef = mark;
    TRapFaktura report(d, "55.10.10");
    return generateDocument(report);
}
} // namespace

class TestKsefLink : public QObject {
    Q_OBJECT
private slots:
    void linkOfExampleFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("nipWithDashes");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("caption");
        QTest::newRow("firma, przed wysłaniem") << "fa3-guesthouse-b2b.xml" << false << ""
                                                << "OFFLINE";
        QTest::newRow("konsument, numer KSeF, NIP z kreskami")
            << "fa3-guesthouse-consumer.xml" << true << kNumber << kNumber;
    }

    void linkOfExampleFiles()
    {
        QFETCH(QString, file);
        QFETCH(bool, nipWithDashes);
        QFETCH(QString, number);
        QFETCH(QString, caption);
        if (!QFile::exists(kExamples + file))
            QSKIP("The reference examples are not beside the project.");
        const QByteArray bytes = readAll(kExamples + file);
        QVERIFY(!bytes.isEmpty());
        auto [nip, day] = sellerAndDay(bytes);
        QCOMPARE(nip.size(), 10);
        QVERIFY(day.isValid());
        const QString expected = "https://qr.ksef.mf.gov.pl/invoice/" + nip + "/" +
                                 day.toString("dd-MM-yyyy") + "/" + sha256sumHash(kExamples + file);
        if (nipWithDashes)
            nip = nip.left(3) + "-" + nip.mid(3, 3) + "-" + nip.mid(6, 2) + "-" + nip.mid(8);
        const KsefMark mark = ksefMark(nip, day, bytes, number);
        QCOMPARE(mark.link, expected);
        QCOMPARE(mark.link, readmeLink(file));
        QCOMPARE(mark.caption, caption);
    }

    void codeOnPrintoutScans_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        QTest::newRow("faktura") << "faktura"
                                 << "OFFLINE";
        QTest::newRow("faktura z pozycjami") << "pozycje" << kNumber;
        QTest::newRow("korekta") << "korekta" << kNumber;
    }

    void codeOnPrintoutScans()
    {
        QFETCH(QString, kind);
        QFETCH(QString, caption);
        TestEnv env;
        const Document doc = printout(kind, {kLink, caption});
        const Page& last = doc.pages.last();
        const PlacedItem* code = nullptr;
        QStringList under;
        for (const PlacedItem& i : last.items) {
            if (i.kind == PlacedItem::Kind::QrCode)
                code = &i;
            else if (code && i.control == "KodINumer")
                under << i.text;
        }
        QVERIFY(code);
        QCOMPARE(under, QStringList{caption});
        QVERIFY(last.texts().contains("KOD I"));
        QVERIFY(dumpDocument(doc).contains("qr " + QString::number(code->rect.left(), 'f', 1)));
        QVERIFY(code->rect.width() >= 25 && code->rect.width() <= 30);
        // Nothing else is printed over the code.
        for (const PlacedItem& i : last.items)
            if (&i != code && i.kind == PlacedItem::Kind::Text)
                QVERIFY2(!i.rect.intersects(code->rect), qPrintable(i.control));
        const QStringList faults = textsNotFitting(doc) + overlappingTexts(doc);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));

        const QString pdf = env.path(kind + ".pdf");
        QVERIFY(writePdf(doc, pdf));
        QProcess render;
        render.start("pdftoppm", {"-r", "300", "-png", "-f", QString::number(doc.pageCount()), pdf,
                                  env.path(kind)});
        QVERIFY(render.waitForFinished(60000));
        const QStringList pngs =
            QDir(env.path(".")).entryList({kind + "*.png"}, QDir::Files, QDir::Name);
        QCOMPARE(pngs.size(), 1);
        QProcess scan;
        scan.start("zbarimg", {"--raw", "-q", env.path(pngs.first())});
        QVERIFY(scan.waitForFinished(60000));
        QCOMPARE(QString::fromUtf8(scan.readAllStandardOutput()).trimmed(), kLink);
        keepPdf(doc, "kod_i_" + kind);
    }
};
REZYDO_TEST(TestKsefLink);
#include "test_ksef_link.moc"
