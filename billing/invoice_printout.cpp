#include "billing/invoice_printout.h"

#include "billing/amount_in_words.h"
#include "billing/buyer_id.h"
#include "billing/invoice_lines.h"
#include "core/settings.h"
#include "db/data_module.h"
#include "db/engine.h"
#include "db/sql.h"
#include "reports/engine/document.h"
#include "reports/engine/mask.h"

#include <QSqlQuery>
#include <QStringList>

#include <algorithm>
#include <array>

namespace {
const QString kMoneyMask = QStringLiteral("0.00 zł ");
const QString kDateMask = QStringLiteral("dd-mm-yyyy");

QString money(Money m)
{
    return formatNumber(m.units(), 4, kMoneyMask);
}

QString dateText(const QDate& d)
{
    return formatDate(d, kDateMask);
}

constexpr int kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr int kRight = Qt::AlignRight | Qt::AlignVCenter;
constexpr int kCenter = Qt::AlignCenter;

// The line table: eight columns across the 190 mm of the page; a symbol of
// the classification's full length and a long service text wrap in theirs.
constexpr std::array<qreal, 8> kColumnWidths = {44, 34, 13, 13, 26, 12, 16, 32};
QRectF cell(int column, qreal top, qreal height)
{
    qreal x = 0;
    for (int i = 0; i < column; ++i)
        x += kColumnWidths[i];
    return {x, top, kColumnWidths[column], height};
}

// The summary table: four columns on the right of the page.
constexpr qreal kSummaryLeft = 70;
constexpr std::array<qreal, 4> kSummaryWidths = {35, 30, 20, 35};
QRectF summaryCell(int column, qreal top, qreal height)
{
    qreal x = kSummaryLeft;
    for (int i = 0; i < column; ++i)
        x += kSummaryWidths[i];
    return {x, top, kSummaryWidths[column], height};
}

// The height a value of the parties' columns takes in a box `width` mm wide,
// `minimum` at least: long names, addresses and bank names wrap onto more lines.
qreal valueHeight(const QString& value, qreal width, qreal minimum)
{
    return std::max(minimum, wrappedTextHeight(reportFont(9), value, width) + 0.5);
}

// A caption with its value beside it, in one half of the page; a long value
// wraps under itself. Returns the top of the next line.
qreal captioned(Band& t, const QString& name, qreal x0, qreal y, const QString& caption,
                qreal captionWidth, const QString& value)
{
    const qreal width = 90 - captionWidth;
    const qreal height = valueHeight(value, width, 5);
    if (!caption.isEmpty())
        t.addText(name + QStringLiteral("Etykieta"), QRectF(x0, y, captionWidth, 5), caption, kLeft,
                  reportFont(9));
    t.addText(name, QRectF(x0 + captionWidth, y, width, height), value, kLeft, reportFont(9))
        .wordWrap = true;
    return y + height;
}

// A name or an address: two lines, or as many as it takes. Returns the top of
// the next line.
qreal block(Band& t, const QString& name, qreal x0, qreal y, const QString& value)
{
    const qreal height = valueHeight(value, 90, 8);
    t.addText(name, QRectF(x0, y, 90, height), value, Qt::AlignLeft | Qt::AlignTop, reportFont(9))
        .wordWrap = true;
    return y + height;
}

QString text(const QSqlQuery& q, const char* column)
{
    return q.value(column).toString();
}
} // namespace

QString InvoiceData::dueDateText() const
{
    return byTransfer() && due.isValid() && sold.isValid() && due > sold ? dateText(due)
                                                                         : QString();
}

InvoiceData loadInvoice(QSqlDatabase db, int groupId)
{
    InvoiceData d;
    QSqlQuery config = runSql(db, QStringLiteral("SELECT Nazwa, Adres, Regon, NIP, Miejscowosc, "
                                                 "Bank, NrKonta FROM Config LIMIT 1"));
    if (config.next()) {
        d.sellerName = text(config, "Nazwa");
        d.sellerAddress = text(config, "Adres");
        d.sellerRegon = text(config, "Regon");
        d.sellerNip = text(config, "NIP");
        d.place = text(config, "Miejscowosc");
        d.bank = text(config, "Bank");
        d.account = text(config, "NrKonta");
    }
    QSqlQuery kalk = runSql(db,
                            QStringLiteral("SELECT Rach, Nazwa, Adres, Nip, sposob_zaplaty, "
                                           "Zamowienie, data_wystawienia, termin_platnosci, "
                                           "data_sprzedazy, Brutto, Przedplata FROM Kalk "
                                           "WHERE Identyfikator = :ID"),
                            {{":ID", groupId}});
    if (kalk.next()) {
        d.number = kalk.value("Rach").isNull() ? QString() : text(kalk, "Rach");
        d.buyerName = text(kalk, "Nazwa");
        d.buyerAddress = text(kalk, "Adres");
        d.buyerNip = text(kalk, "Nip");
        d.paymentMethod = kalk.value("sposob_zaplaty").toInt();
        d.order = text(kalk, "Zamowienie");
        d.issued = dayFromValue(kalk.value("data_wystawienia"));
        d.due = dayFromValue(kalk.value("termin_platnosci"));
        d.sold = dayFromValue(kalk.value("data_sprzedazy"));
        d.gross = moneyFromValue(kalk.value("Brutto"));
        d.prepaid = moneyFromValue(kalk.value("Przedplata"));
    }
    // An absent setting means the default series; a present one, even empty, is kept.
    d.series = readSetting(QStringLiteral("FakturaRoz")).value_or(QStringLiteral("H"));
    loadInvoiceIdentity(db, groupId, d);
    // Lines without a discount first on either engine (the server sorts NULL last).
    d.lines = ReportRows::fromSql(
        db,
        QStringLiteral(
            "SELECT Count(*) AS Pokoi, Od, \"Do\", Oplata1, VAT, Sum(Brutto) AS Suma, ") +
            nightsSql(db, QStringLiteral("Od"), QStringLiteral("\"Do\"")) +
            QStringLiteral(" AS Doby, Znizka "
                           "FROM Kalk_det WHERE Identyfikator = :ID "
                           "GROUP BY Od, \"Do\", Oplata1, VAT, Znizka "
                           // empty values first, as the file has always sorted them
                           "ORDER BY Od NULLS FIRST, \"Do\" NULLS FIRST, Oplata1 NULLS FIRST, "
                           "VAT NULLS FIRST, Znizka NULLS FIRST"),
        {{":ID", groupId}});
    QSqlQuery rates = runSql(db,
                             QStringLiteral("SELECT VAT, Sum(Brutto) FROM Kalk_det "
                                            "WHERE Identyfikator = :ID GROUP BY VAT"),
                             {{":ID", groupId}});
    while (rates.next())
        d.grossByVat.insert(rates.value(0).toString(), moneyFromValue(rates.value(1)));
    loadInvoiceLines(db, groupId, d);
    return d;
}

void loadInvoiceIdentity(QSqlDatabase db, int groupId, InvoiceData& data)
{
    QSqlQuery q = runSql(db,
                         QStringLiteral("SELECT k.Seria, k.Nip_rodzaj, k.ID_Panstwo, p.Nazwa FROM "
                                        "Kalk k LEFT JOIN Panstwo p ON p.ID = k.ID_Panstwo "
                                        "WHERE k.Identyfikator = :ID"),
                         {{":ID", groupId}});
    if (!q.next())
        return;
    if (!q.value(0).isNull())
        data.series = q.value(0).toString();
    data.buyerIdCaption =
        buyerIdCaption(q.value(1).isNull() ? std::nullopt : std::optional<int>(q.value(1).toInt()));
    if (!q.value(2).isNull() && q.value(2).toInt() != 1)
        data.buyerCountry = q.value(3).toString();
}

Money taxInGross(Money gross, int ratePercent)
{
    // tax = gross · rate / (100 + rate) exactly, plus half a cent, truncated to cents.
    const std::int64_t divisor = (100 + ratePercent) * 100;
    const std::int64_t cents = (gross.units() * ratePercent + 50 * (100 + ratePercent)) / divisor;
    return Money::fromUnits(cents * 100);
}

VatSummary summarizeVat(const InvoiceData& invoice)
{
    VatSummary s;
    auto fill = [&](VatSummaryRow& row, const QString& rate, int percent) {
        if (!invoice.grossByVat.contains(rate))
            return;
        row.present = true;
        row.gross = invoice.grossByVat.value(rate);
        row.tax = percent > 0 ? taxInGross(row.gross, percent) : Money();
        row.net = row.gross - row.tax;
    };
    fill(s.rate22, QStringLiteral("22"), 22);
    fill(s.rate7, QStringLiteral("7"), 7);
    fill(s.rate0, QStringLiteral("0"), 0);
    fill(s.exempt, QStringLiteral("zw"), 0);
    s.tax = s.rate22.tax + s.rate7.tax;
    s.gross = invoice.gross;
    s.net = invoice.gross - s.tax;
    return s;
}

qreal placeKsefMark(Band& band, const KsefMark& mark, qreal left, qreal top, qreal width,
                    qreal codeSize, qreal captionPoints)
{
    const qreal codeLeft = left + (width - codeSize) / 2;
    band.addText(QStringLiteral("KodIEtykieta"), QRectF(codeLeft, top, codeSize, 4),
                 QStringLiteral("KOD I"), kCenter, reportFont(7, true));
    band.addQrCode(QStringLiteral("KodI"), QRectF(codeLeft, top + 4, codeSize, codeSize),
                   mark.link);
    // The number is one word: it may break only where it is wider than the column.
    const qreal height = wrappedTextHeight(reportFont(captionPoints), mark.caption, width) + 0.5;
    band.addText(QStringLiteral("KodINumer"), QRectF(left, top + 4 + codeSize, width, height),
                 mark.caption, Qt::AlignHCenter | Qt::AlignTop, reportFont(captionPoints))
        .wordWrap = true;
    return top + 4 + codeSize + height;
}

TRapFaktura::TRapFaktura(InvoiceData data, const QString& sww)
    : m_data(std::move(data))
{
    title = QStringLiteral("Faktura Vat");
    // A saved copy is named by the invoice's number and year: "Faktura VAT 12-H-2026".
    if (!m_data.number.isEmpty()) {
        QStringList number{m_data.number.trimmed()};
        if (!m_data.series.trimmed().isEmpty())
            number << m_data.series.trimmed();
        if (m_data.issued.isValid())
            number << QString::number(m_data.issued.year());
        fileName = QStringLiteral("Faktura VAT ") + number.join(QLatin1Char('-'));
    }
    page.copies = 2;
    buildHeader();
    buildTitle();
    if (m_data.perLine) {
        buildItemColumns();
        buildItems(sww);
        buildRateSummary();
        return;
    }
    buildColumns();
    buildLines(sww);
    buildSummary();
    buildTotals();
}

void TRapFaktura::buildHeader()
{
    Band& header = setPageHeader(8);
    Control& place = header.addText(QStringLiteral("Miejscowosc"), QRectF(90, 0, 100, 6),
                                    m_data.place + QStringLiteral(", dnia") + QLatin1Char(' ') +
                                        dateText(m_data.issued),
                                    kRight, reportFont(9));
    place.wordWrap = true;
    place.stretch = true;
}

void TRapFaktura::buildTitle()
{
    Band& t = setTitleBand(80, QStringLiteral("BandaTytul"));
    t.addText(QStringLiteral("FakturaNr"), QRectF(20, 2, 82, 10), QStringLiteral("Faktura VAT NR "),
              kRight, reportFont(14, true));
    const std::array<QString, 3> cells = {
        m_data.number, m_data.series,
        m_data.issued.isValid() ? QStringLiteral("  ") + formatDate(m_data.issued, "yyyy")
                                : QString()};
    const std::array<const char*, 3> names = {"Rach", "Seria", "Rok"};
    const std::array<qreal, 3> widths = {22, 14, 24};
    qreal x = 102;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        t.addText(QString::fromLatin1(names[i]), QRectF(x, 2, widths[i], 10), cells[i], kCenter,
                  reportFont(13, true))
            .framed = true;
        x += widths[i];
    }
    t.addText(QStringLiteral("OryginalKopia"), QRectF(0, 13, 190, 6),
              QStringLiteral("Oryginał/ Kopia"), kCenter, reportFont(9));

    // The parties side by side, each column as tall as its texts need.
    t.addText(QStringLiteral("Sprzedawca"), QRectF(0, 22, 90, 6), QStringLiteral("SPRZEDAWCA"),
              kLeft, reportFont(10, true));
    qreal y = block(t, QStringLiteral("SprzedawcaNazwa"), 0, 28, m_data.sellerName);
    y = block(t, QStringLiteral("SprzedawcaAdres"), 0, y, m_data.sellerAddress);
    y = captioned(t, QStringLiteral("SprzedawcaNip"), 0, y, QStringLiteral("NIP:"), 14,
                  m_data.sellerNip);
    y = captioned(t, QStringLiteral("SprzedawcaRegon"), 0, y, QStringLiteral("Regon:"), 14,
                  m_data.sellerRegon);
    y = captioned(t, QStringLiteral("SprzedawcaBank"), 0, y, QStringLiteral("Bank:"), 14,
                  m_data.bank);
    y = captioned(t, QStringLiteral("SprzedawcaKonto"), 0, y, QString(), 0, m_data.account);

    const qreal parties = std::max(y, buildBuyer(t)) + 3;
    captioned(t, QStringLiteral("DataSprzedazy"), 0, parties, QStringLiteral("Data sprzedaży:"), 30,
              dateText(m_data.sold));
    t.height = parties + 10;
}

qreal TRapFaktura::buildBuyer(Band& t)
{
    const qreal right = 100;
    t.addText(QStringLiteral("Nabywca"), QRectF(right, 22, 90, 6), QStringLiteral("NABYWCA"), kLeft,
              reportFont(10, true));
    qreal y = block(t, QStringLiteral("NabywcaNazwa"), right, 28, m_data.buyerName);
    y = block(t, QStringLiteral("NabywcaAdres"), right, y, m_data.buyerAddress);
    if (!m_data.buyerCountry.isEmpty())
        y = captioned(t, QStringLiteral("NabywcaKraj"), right, y, QStringLiteral("Kraj :"), 14,
                      m_data.buyerCountry);
    if (!m_data.buyerIdCaption.isEmpty())
        y = captioned(t, QStringLiteral("NabywcaNip"), right, y, m_data.buyerIdCaption,
                      m_data.buyerIdCaption.size() > 5 ? 22 : 14, m_data.buyerNip);
    y = captioned(t, QStringLiteral("SposobZaplaty"), right, y, QStringLiteral("Sposób zapłaty :"),
                  30, m_data.byTransfer() ? QStringLiteral("Przelew") : QStringLiteral("Gotówka"));
    // With cash there is no due date at all, not even its caption; its line stays empty.
    if (m_data.byTransfer())
        captioned(t, QStringLiteral("TerminZaplaty"), right, y, QStringLiteral("Termin zapłaty :"),
                  30, m_data.dueDateText());
    y += 5;
    t.addText(QStringLiteral("ZamowienieEtykieta"), QRectF(right, y, 36, 5),
              QStringLiteral("Zamówienie/ oferta: "), Qt::AlignLeft | Qt::AlignTop, reportFont(9));
    const qreal orderHeight = valueHeight(m_data.order, 54, 8);
    Control& order = t.addText(QStringLiteral("Zamowienie"), QRectF(right + 36, y, 54, orderHeight),
                               m_data.order, Qt::AlignLeft | Qt::AlignTop, reportFont(9));
    order.wordWrap = true;
    return y + orderHeight;
}

void TRapFaktura::buildColumns()
{
    Band& heads = setColumnHeader(14, QStringLiteral("NaglowekKolumn"));
    const std::array<const char*, 8> captions = {"Rodzaj usługi",
                                                 "Symbol PKWiU",
                                                 "Ilość pokoi",
                                                 "Ilość dób",
                                                 "Cena jedn. za dobę z podatkiem ",
                                                 "Zniżka",
                                                 "Stawka VAT",
                                                 "Wartość wraz z podatkiem"};
    for (int i = 0; i < 8; ++i) {
        Control& c = heads.addText(QStringLiteral("Kolumna%1").arg(i + 1), cell(i, 0, 14),
                                   QString::fromUtf8(captions[i]), kCenter, reportFont(7, true));
        c.wordWrap = true;
        c.framed = true;
    }
}

void TRapFaktura::buildLines(const QString& sww)
{
    DataSection& section = addData(&m_data.lines, 9, QStringLiteral("BandaPozycje"));
    Band& d = *section.detail;
    // The framed cells of a row grow together, so its frames stay one row.
    auto framed = [](Control& c) {
        c.framed = true;
        c.stretch = true;
        return &c;
    };
    framed(d.addText(QStringLiteral("Rodzaj"), cell(0, 0, 9), QString(), kLeft, reportFont(7.5)))
        ->wordWrap = true;
    framed(d.addText(QStringLiteral("Sww"), cell(1, 0, 9), sww, kCenter, reportFont(8)))->wordWrap =
        true;
    framed(d.addField(QStringLiteral("Pokoi"), cell(2, 0, 9), QStringLiteral("Pokoi"), {}, kCenter,
                      reportFont(8)));
    framed(d.addField(QStringLiteral("Doby"), cell(3, 0, 9), QStringLiteral("Doby"), {}, kCenter,
                      reportFont(8)));
    framed(d.addField(QStringLiteral("Cena"), cell(4, 0, 9), QStringLiteral("Oplata1"), kMoneyMask,
                      kRight, reportFont(8)))
        ->valueKind = ValueKind::Money;
    framed(d.addText(QStringLiteral("Znizka"), cell(5, 0, 9), QString(), kCenter, reportFont(8)));
    framed(d.addText(QStringLiteral("Vat"), cell(6, 0, 9), QString(), kCenter, reportFont(8)));
    framed(d.addField(QStringLiteral("Suma"), cell(7, 0, 9), QStringLiteral("Suma"), kMoneyMask,
                      kRight, reportFont(8)))
        ->valueKind = ValueKind::Money;
    d.beforePrint = [](BandContext& ctx) {
        ctx.band.setText(
            QStringLiteral("Rodzaj"),
            QStringLiteral("Noclegi w dniach  od ") +
                formatValue(ctx.value(QStringLiteral("Od")), kDateMask, ValueKind::Day) +
                QStringLiteral(" do ") +
                formatValue(ctx.value(QStringLiteral("Do")), kDateMask, ValueKind::Day));
        const QVariant discount = ctx.value(QStringLiteral("Znizka"));
        ctx.band.setText(QStringLiteral("Znizka"), discount.toInt() != 0
                                                       ? discount.toString() + QStringLiteral("%")
                                                       : QStringLiteral(" "));
        const QString vat = ctx.value(QStringLiteral("VAT")).toString();
        ctx.band.setText(QStringLiteral("Vat"), vat == QLatin1String("zw") || vat.isEmpty()
                                                    ? vat
                                                    : vat + QStringLiteral("%"));
    };
}

void TRapFaktura::buildSummary()
{
    Band& s = setSummary(118, QStringLiteral("BandaPodsumowanie"));
    s.addText(QStringLiteral("Zestawienie"), QRectF(kSummaryLeft, 4, 120, 6),
              QStringLiteral("Zestawienie sprzedaży w/g stawek  podatku"), kCenter,
              reportFont(9, true));
    const std::array<const char*, 4> heads = {"Wartość bez podatku", "Kwota podatku", "Stawka VAT",
                                              "Wartość wraz z podatkiem"};
    for (int i = 0; i < 4; ++i) {
        Control& c = s.addText(QStringLiteral("Zestawienie%1").arg(i + 1), summaryCell(i, 10, 9),
                               QString::fromUtf8(heads[i]), kCenter, reportFont(7, true));
        c.wordWrap = true;
        c.framed = true;
    }
    const VatSummary sum = summarizeVat(m_data);
    struct Row {
        const char* name;
        const char* label;
        const VatSummaryRow* row;
    };
    const std::array<Row, 4> rows = {{{"Vat22", "22%", &sum.rate22},
                                      {"Vat7", "7%", &sum.rate7},
                                      {"Vat0", "0%", &sum.rate0},
                                      {"VatZw", "zw", &sum.exempt}}};
    qreal y = 19;
    auto line = [&](const QString& name, const QString& label, const QString& net,
                    const QString& tax, const QString& gross, bool bold) {
        const std::array<QString, 4> values = {net, tax, label, gross};
        const std::array<const char*, 4> parts = {"Netto", "Podatek", "Stawka", "Brutto"};
        for (int i = 0; i < 4; ++i)
            s.addText(name + QString::fromLatin1(parts[i]), summaryCell(i, y, 6), values[i],
                      i == 2 ? kCenter : kRight, reportFont(8, bold))
                .framed = true;
        y += 6;
    };
    for (const Row& r : rows) {
        const bool p = r.row->present;
        line(QString::fromLatin1(r.name), QString::fromUtf8(r.label), p ? money(r.row->net) : "",
             p ? money(r.row->tax) : "", p ? money(r.row->gross) : "", false);
    }
    line(QStringLiteral("Razem"), QStringLiteral("RAZEM"), money(sum.net), money(sum.tax),
         money(sum.gross), true);
    // KOD I in the free space left of the table, above the amount to pay.
    if (m_data.ksef)
        placeKsefMark(s, *m_data.ksef, 0, 2, kSummaryLeft - 4, 30, 7);
}

void TRapFaktura::buildTotals()
{
    Band* s = summary();
    s->addText(QStringLiteral("KwotaEtykieta"), QRectF(0, 54, 48, 6),
               QStringLiteral("kwota zapłaty ogółem :"), kLeft, reportFont(10, true));
    s->addText(QStringLiteral("Kwota"), QRectF(48, 54, 42, 6), money(m_data.gross), kLeft,
               reportFont(10, true));
    Control& cash = s->addText(QStringLiteral("Gotowka"), QRectF(100, 54, 90, 6),
                               QStringLiteral("ZAPŁACONO GOTÓWKĄ"), kLeft, reportFont(10, true));
    cash.visible = !m_data.byTransfer();
    Control& words = s->addText(QStringLiteral("Slownie"), QRectF(0, 62, 190, 10),
                                QStringLiteral("słownie : ") + moneyInWords(m_data.gross),
                                Qt::AlignLeft | Qt::AlignTop, reportFont(9));
    words.wordWrap = true;
    s->addText(QStringLiteral("PrzedplatyEtykieta"), QRectF(0, 74, 40, 6),
               QStringLiteral("Przedpłaty(zaliczki): "), kLeft, reportFont(9));
    s->addText(QStringLiteral("Przedplaty"), QRectF(40, 74, 40, 6), money(m_data.prepaid), kLeft,
               reportFont(9));
    s->addText(QStringLiteral("DoZaplatyEtykieta"), QRectF(100, 74, 24, 6),
               QStringLiteral("Do zapłaty"), kLeft, reportFont(9, true));
    s->addText(QStringLiteral("DoZaplaty"), QRectF(124, 74, 50, 6),
               money(m_data.gross - m_data.prepaid), kLeft, reportFont(9, true));

    const qreal y = 100;
    s->addLine(QPointF(0, y), QPointF(80, y), 0.2);
    s->addLine(QPointF(110, y), QPointF(190, y), 0.2);
    s->addText(QStringLiteral("Odbiorca"), QRectF(0, y + 1, 80, 5), QStringLiteral("Odbiorca"),
               kCenter, reportFont(9, true));
    s->addText(QStringLiteral("OdbiorcaPodpis"), QRectF(0, y + 6, 80, 5),
               QStringLiteral("Podpis osoby  upoważnionej do odbioru faktury  "), kCenter,
               reportFont(7));
    s->addText(QStringLiteral("Wystawca"), QRectF(110, y + 1, 80, 5), QStringLiteral("Wystawca"),
               kCenter, reportFont(9, true));
    s->addText(QStringLiteral("WystawcaPodpis"), QRectF(110, y + 6, 80, 5),
               QStringLiteral("Podpis osoby  upoważnionej do wystawienia  faktury  "), kCenter,
               reportFont(7));
}

LaunchResult printInvoice(int groupId, const QString& sww, ReportOutput output,
                          const std::optional<KsefDocument>& ksef)
{
    InvoiceData data = loadInvoice(dataModule().database(), groupId);
    if (ksef)
        data.ksef = ksefMark(data.sellerNip, data.issued, ksef->bytes, ksef->ksefNumber);
    TRapFaktura report(std::move(data), sww);
    runReport(report, output);
    return LaunchResult::success();
}
