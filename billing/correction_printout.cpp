#include "billing/correction_printout.h"

#include "billing/amount_in_words.h"
#include "billing/buyer_id.h"
#include "db/data_module.h"
#include "db/sql.h"
#include "reports/engine/document.h"
#include "reports/engine/mask.h"

#include <array>

namespace {
constexpr int kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr int kRight = Qt::AlignRight | Qt::AlignVCenter;
constexpr int kCenter = Qt::AlignCenter;

QString money(Money m)
{
    return formatNumber(m.units(), 4, QStringLiteral("0.00 zł "));
}

QString dateText(const QDate& d)
{
    return formatDate(d, QStringLiteral("dd-mm-yyyy"));
}

QString rateText(const QString& vat)
{
    return vat == QLatin1String("zw") || vat.isEmpty() ? vat : vat + QStringLiteral("%");
}

// The line table across the 190 mm of the page.
constexpr std::array<qreal, 8> kWidths = {9, 61, 15, 24, 15, 24, 24, 18};
QRectF cell(int column, qreal top, qreal height)
{
    qreal x = 0;
    for (int i = 0; i < column; ++i)
        x += kWidths[static_cast<std::size_t>(i)];
    return {x, top, kWidths[static_cast<std::size_t>(column)], height};
}
const std::array<const char*, 8> kColumns = {"Lp",    "Opis",     "VatPrzed",      "BruttoPrzed",
                                             "VatPo", "BruttoPo", "RoznicaBrutto", "RoznicaVat"};

// A party's column: its heading, name, address and identifier.
qreal party(Band& t, const QString& prefix, qreal x, const QString& heading,
            const QStringList& lines)
{
    t.addText(prefix, QRectF(x, 30, 90, 6), heading, kLeft, reportFont(10, true));
    qreal y = 36;
    int i = 0;
    for (const QString& line : lines) {
        const qreal height = std::max<qreal>(5, wrappedTextHeight(reportFont(9), line, 90) + 0.5);
        t.addText(prefix + QString::number(++i), QRectF(x, y, 90, height), line,
                  Qt::AlignLeft | Qt::AlignTop, reportFont(9))
            .wordWrap = true;
        y += height;
    }
    return y;
}
} // namespace

TRapKorekta::TRapKorekta(Correction correction, InvoiceData invoice, const QString& idCaption,
                         const QString& country, std::optional<KsefMark> ksef)
    : m_correction(std::move(correction))
    , m_invoice(std::move(invoice))
    , m_buyerIdCaption(idCaption)
    , m_buyerCountry(country)
    , m_ksef(std::move(ksef))
{
    title = QStringLiteral("Faktura korygująca");
    fileName = QStringLiteral("Faktura korygująca ") +
               QString(m_correction.numberText()).replace(QLatin1Char('/'), QLatin1Char('-'));
    page.copies = 2;
    QStringList columns;
    for (const char* c : kColumns)
        columns << QString::fromLatin1(c);
    m_rows = ReportRows(columns, {});
    int position = 0;
    for (const CorrectionLine& l : m_correction.lines)
        m_rows.append({QString::number(++position), l.description, rateText(l.vatBefore),
                       money(l.grossBefore), rateText(l.vatAfter), money(l.grossAfter),
                       money(l.grossAfter - l.grossBefore), money(l.taxAfter - l.taxBefore)});
    setPageHeader(8).addText(QStringLiteral("Miejscowosc"), QRectF(90, 0, 100, 6),
                             m_invoice.place + QStringLiteral(", dnia ") +
                                 dateText(m_correction.issued),
                             kRight, reportFont(9));
    buildTitle();
    buildLines();
    buildSummary();
}

void TRapKorekta::buildTitle()
{
    Band& t = setTitleBand(70, QStringLiteral("BandaTytul"));
    t.addText(QStringLiteral("KorektaNr"), QRectF(10, 2, 100, 10),
              QStringLiteral("FAKTURA KORYGUJĄCA NR "), kRight, reportFont(14, true));
    t.addText(QStringLiteral("Numer"), QRectF(110, 2, 60, 10), m_correction.numberText(), kCenter,
              reportFont(13, true))
        .framed = true;
    t.addText(QStringLiteral("DoFaktury"), QRectF(0, 14, 190, 6),
              QStringLiteral("do faktury VAT nr %1 z dnia %2")
                  .arg(m_correction.invoiceNumber, dateText(m_correction.invoiceDate)),
              kCenter, reportFont(10, true));
    t.addText(QStringLiteral("OryginalKopia"), QRectF(0, 21, 190, 6),
              QStringLiteral("Oryginał/ Kopia"), kCenter, reportFont(9));

    const qreal seller = party(t, QStringLiteral("Sprzedawca"), 0, QStringLiteral("SPRZEDAWCA"),
                               {m_invoice.sellerName, m_invoice.sellerAddress,
                                QStringLiteral("NIP: ") + m_invoice.sellerNip});
    QStringList buyer{m_invoice.buyerName, m_invoice.buyerAddress};
    if (!m_buyerCountry.isEmpty())
        buyer << m_buyerCountry;
    if (!m_buyerIdCaption.isEmpty())
        buyer << m_buyerIdCaption + QLatin1Char(' ') + m_invoice.buyerNip;
    const qreal y = std::max(seller, party(t, QStringLiteral("Nabywca"), 100,
                                           QStringLiteral("NABYWCA"), buyer)) +
                    3;
    const QString reason = QStringLiteral("Przyczyna korekty: ") + m_correction.reason;
    const qreal height = std::max<qreal>(6, wrappedTextHeight(reportFont(9), reason, 190) + 0.5);
    t.addText(QStringLiteral("Przyczyna"), QRectF(0, y, 190, height), reason,
              Qt::AlignLeft | Qt::AlignTop, reportFont(9))
        .wordWrap = true;
    t.height = y + height + 3;
}

void TRapKorekta::buildLines()
{
    Band& heads = setColumnHeader(14, QStringLiteral("NaglowekKolumn"));
    const std::array<const char*, 8> captions = {
        "Lp.",           "Pozycja faktury",   "Stawka VAT przed", "Wartość brutto przed",
        "Stawka VAT po", "Wartość brutto po", "Różnica brutto",   "Różnica VAT"};
    for (int i = 0; i < 8; ++i) {
        Control& c = heads.addText(QStringLiteral("Kolumna%1").arg(i + 1), cell(i, 0, 14),
                                   QString::fromUtf8(captions[static_cast<std::size_t>(i)]),
                                   kCenter, reportFont(7, true));
        c.wordWrap = true;
        c.framed = true;
    }
    DataSection& section = addData(&m_rows, 8, QStringLiteral("BandaPozycje"));
    for (int i = 0; i < 8; ++i) {
        const QString column = QString::fromLatin1(kColumns[static_cast<std::size_t>(i)]);
        Control& c = section.detail->addField(column, cell(i, 0, 8), column, {},
                                              i == 1                         ? kLeft
                                              : (i == 0 || i == 2 || i == 4) ? kCenter
                                                                             : kRight,
                                              reportFont(8));
        c.framed = true;
        c.stretch = true;
        c.wordWrap = i == 1;
    }
}

void TRapKorekta::buildSummary()
{
    Band& s = setSummary(90, QStringLiteral("BandaPodsumowanie"));
    const std::array<const char*, 4> heads = {"", "Wartość bez podatku", "Kwota podatku",
                                              "Wartość wraz z podatkiem"};
    const std::array<qreal, 4> widths = {40, 35, 30, 35};
    auto row = [&](const QString& name, qreal y, qreal height, const std::array<QString, 4>& values,
                   const FontSpec& font) {
        qreal x = 50;
        for (std::size_t i = 0; i < values.size(); ++i) {
            Control& c = s.addText(name + QString::number(i), QRectF(x, y, widths[i], height),
                                   values[i], i == 0 ? kLeft : kRight, font);
            c.framed = true;
            c.wordWrap = true;
            x += widths[i];
        }
    };
    std::array<QString, 4> head;
    for (std::size_t i = 0; i < head.size(); ++i)
        head[i] = QString::fromUtf8(heads[i]);
    row(QStringLiteral("Naglowek"), 4, 9, head, reportFont(7, true));
    const Correction& c = m_correction;
    row(QStringLiteral("Przed"), 13, 6,
        {QStringLiteral("Przed korektą"), money(c.grossBefore - c.taxBefore), money(c.taxBefore),
         money(c.grossBefore)},
        reportFont(8));
    row(QStringLiteral("Po"), 19, 6,
        {QStringLiteral("Po korekcie"), money(c.grossAfter - c.taxAfter), money(c.taxAfter),
         money(c.grossAfter)},
        reportFont(8));
    row(QStringLiteral("Roznica"), 25, 6,
        {QStringLiteral("Różnica"), money(c.grossDifference() - c.taxDifference()),
         money(c.taxDifference()), money(c.grossDifference())},
        reportFont(8, true));
    // KOD I in the free space left of the table, above the amount.
    if (m_ksef)
        placeKsefMark(s, *m_ksef, 0, 1, 48, 25, 6);

    const Money difference = c.grossDifference();
    const QString what = difference < Money() ? QStringLiteral("Kwota do zwrotu nabywcy: ")
                                              : QStringLiteral("Kwota do zapłaty: ");
    s.addText(QStringLiteral("Kwota"), QRectF(0, 36, 190, 6),
              what + money(difference < Money() ? -difference : difference), kLeft,
              reportFont(10, true));
    s.addText(QStringLiteral("Slownie"), QRectF(0, 43, 190, 10),
              QStringLiteral("słownie : ") + moneyInWords(difference), Qt::AlignLeft | Qt::AlignTop,
              reportFont(9))
        .wordWrap = true;
    const qreal y = 72;
    s.addLine(QPointF(0, y), QPointF(80, y), 0.2);
    s.addLine(QPointF(110, y), QPointF(190, y), 0.2);
    s.addText(QStringLiteral("Odbiorca"), QRectF(0, y + 1, 80, 5),
              QStringLiteral("Podpis osoby upoważnionej do odbioru"), kCenter, reportFont(7));
    s.addText(QStringLiteral("Wystawca"), QRectF(110, y + 1, 80, 5),
              QStringLiteral("Podpis osoby upoważnionej do wystawienia"), kCenter, reportFont(7));
}

LaunchResult printCorrection(qint64 correctionId, ReportOutput output,
                             const std::optional<KsefDocument>& ksef)
{
    QSqlDatabase db = dataModule().database();
    const Correction c = loadCorrection(db, correctionId);
    QSqlQuery q = runSql(db,
                         QStringLiteral("SELECT k.Nip_rodzaj, k.ID_Panstwo, p.Nazwa FROM Kalk k "
                                        "LEFT JOIN Panstwo p ON p.ID = k.ID_Panstwo WHERE "
                                        "k.Identyfikator = :ID"),
                         {{":ID", c.groupId}});
    const bool found = q.next();
    const QString caption = buyerIdCaption(
        found && !q.value(0).isNull() ? std::optional<int>(q.value(0).toInt()) : std::nullopt);
    const QString country = found && !q.value(1).isNull() && q.value(1).toInt() != 1
                                ? q.value(2).toString()
                                : QString();
    InvoiceData invoice = loadInvoice(db, c.groupId);
    std::optional<KsefMark> mark;
    if (ksef)
        mark = ksefMark(invoice.sellerNip, c.issued, ksef->bytes, ksef->ksefNumber);
    TRapKorekta report(c, std::move(invoice), caption, country, mark);
    runReport(report, output);
    return LaunchResult::success();
}
