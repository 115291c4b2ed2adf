// The per-line layout of the invoice: one row per line with its net, rate and
// tax, a summary of the rates present, and what was really paid.
#include "billing/amount_in_words.h"
#include "billing/invoice_printout.h"
#include "billing/payments.h"
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

struct Column {
    const char* name; // of the row's control and of its value
    const char* caption;
    qreal width;
    int alignment;
};
// Across the 190 mm of the page; the name of a line wraps in its cell.
constexpr std::array<Column, 10> kColumns = {{
    {"Lp", "Lp.", 7, kCenter},
    {"Nazwa", "Nazwa towaru lub usługi", 47, kLeft},
    {"PKWiU", "Symbol PKWiU", 19, kCenter},
    {"Jm", "J.m.", 11, kCenter},
    {"Ilosc", "Ilość", 11, kCenter},
    {"CenaNetto", "Cena jedn. netto", 20, kRight},
    {"Netto", "Wartość netto", 21, kRight},
    {"Stawka", "Stawka VAT", 12, kCenter},
    {"Podatek", "Kwota VAT", 20, kRight},
    {"Brutto", "Wartość brutto", 22, kRight},
}};

QRectF itemCell(std::size_t column, qreal top, qreal height)
{
    qreal x = 0;
    for (std::size_t i = 0; i < column; ++i)
        x += kColumns[i].width;
    return {x, top, kColumns[column].width, height};
}

constexpr qreal kSummaryLeft = 70;
constexpr std::array<qreal, 4> kSummaryWidths = {35, 30, 20, 35};
QRectF summaryCell(int column, qreal top, qreal height)
{
    qreal x = kSummaryLeft;
    for (int i = 0; i < column; ++i)
        x += kSummaryWidths[i];
    return {x, top, kSummaryWidths[column], height};
}

QString formText(int form)
{
    return paymentFormText(form > 0 ? std::optional<int>(form) : std::nullopt).toLower();
}
} // namespace

void TRapFaktura::buildItemColumns()
{
    Band& heads = setColumnHeader(12, QStringLiteral("NaglowekKolumn"));
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        Control& c =
            heads.addText(QStringLiteral("Kolumna%1").arg(i + 1), itemCell(i, 0, 12),
                          QString::fromUtf8(kColumns[i].caption), kCenter, reportFont(7, true));
        c.wordWrap = true;
        c.framed = true;
    }
}

void TRapFaktura::buildItems(const QString& sww)
{
    QStringList names;
    for (const Column& c : kColumns)
        names << QString::fromLatin1(c.name);
    QVector<QVariantList> rows;
    int n = 0;
    for (const InvoiceItem& i : m_data.items)
        rows << QVariantList{QString::number(++n),
                             i.name,
                             i.room ? sww : i.pkwiu,
                             i.unit,
                             QString::number(i.quantity),
                             money(i.unitNet),
                             money(i.net),
                             i.rate,
                             money(i.tax),
                             money(i.gross)};
    m_items = ReportRows(names, rows);

    DataSection& section = addData(&m_items, 8, QStringLiteral("BandaPozycje"));
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        const QString name = QString::fromLatin1(kColumns[i].name);
        Control& c = section.detail->addField(name, itemCell(i, 0, 8), name, {},
                                              kColumns[i].alignment, reportFont(7.5));
        // The framed cells of a row grow together, so its frames stay one row.
        c.framed = true;
        c.stretch = true;
        c.wordWrap = true;
    }
}

void TRapFaktura::buildRateSummary()
{
    Band& s = setSummary(60, QStringLiteral("BandaPodsumowanie"));
    s.addText(QStringLiteral("Zestawienie"), QRectF(kSummaryLeft, 3, 120, 6),
              QStringLiteral("Zestawienie sprzedaży w/g stawek  podatku"), kCenter,
              reportFont(9, true));
    const std::array<const char*, 4> heads = {"Wartość bez podatku", "Kwota podatku", "Stawka VAT",
                                              "Wartość wraz z podatkiem"};
    for (int i = 0; i < 4; ++i) {
        Control& c = s.addText(QStringLiteral("Zestawienie%1").arg(i + 1), summaryCell(i, 9, 9),
                               QString::fromUtf8(heads[i]), kCenter, reportFont(7, true));
        c.wordWrap = true;
        c.framed = true;
    }
    qreal y = 18;
    auto line = [&](const QString& name, const QString& label, Money net, Money tax, Money gross,
                    bool bold) {
        const std::array<QString, 4> values = {money(net), money(tax), label, money(gross)};
        const std::array<const char*, 4> parts = {"Netto", "Podatek", "Stawka", "Brutto"};
        for (int i = 0; i < 4; ++i)
            s.addText(name + QString::fromLatin1(parts[i]), summaryCell(i, y, 6), values[i],
                      i == 2 ? kCenter : kRight, reportFont(8, bold))
                .framed = true;
        y += 6;
    };
    Money net, tax, gross;
    for (const RateTotal& t : m_data.rateTotals) {
        line(QStringLiteral("Vat") + t.code, t.printed, t.net, t.tax, t.gross, false);
        net += t.net;
        tax += t.tax;
        gross += t.gross;
    }
    line(QStringLiteral("Razem"), QStringLiteral("RAZEM"), net, tax, gross, true);
    // KOD I left of the table; what follows starts under whichever is lower.
    if (m_data.ksef)
        y = std::max(y, placeKsefMark(s, *m_data.ksef, 0, 2, kSummaryLeft - 4, 30, 7));
    if (!m_data.exemptionBasis.isEmpty() || m_data.grossByVat.contains(QStringLiteral("zw"))) {
        const QString basis = QStringLiteral("Podstawa zwolnienia z VAT: ") + m_data.exemptionBasis;
        const qreal h = wrappedTextHeight(reportFont(8), basis, 190) + 1;
        s.addText(QStringLiteral("PodstawaZwolnienia"), QRectF(0, y + 2, 190, h), basis,
                  Qt::AlignLeft | Qt::AlignTop, reportFont(8))
            .wordWrap = true;
        y += h + 2;
    }
    buildPaymentLines(y + 4);
}

void TRapFaktura::buildPaymentLines(qreal y)
{
    Band* s = summary();
    s->addText(QStringLiteral("KwotaEtykieta"), QRectF(0, y, 48, 6),
               QStringLiteral("kwota zapłaty ogółem :"), kLeft, reportFont(10, true));
    s->addText(QStringLiteral("Kwota"), QRectF(48, y, 42, 6), money(m_data.gross), kLeft,
               reportFont(10, true));
    const QString paid = m_data.paidText();
    if (!paid.isEmpty())
        s->addText(QStringLiteral("StanZaplaty"), QRectF(100, y, 90, 6), paid, kLeft,
                   reportFont(10, true));
    y += 8;
    Control& words = s->addText(QStringLiteral("Slownie"), QRectF(0, y, 190, 10),
                                QStringLiteral("słownie : ") + moneyInWords(m_data.gross),
                                Qt::AlignLeft | Qt::AlignTop, reportFont(9));
    words.wordWrap = true;
    y += 12;

    // The prepayment says when and how it came, as far as that is known.
    QStringList how;
    if (m_data.prepaidOn.isValid())
        how << formatDate(m_data.prepaidOn, QStringLiteral("dd-mm-yyyy"));
    if (!formText(m_data.prepaymentForm).isEmpty())
        how << formText(m_data.prepaymentForm);
    QString prepaid = money(m_data.prepaid);
    if (!m_data.prepaid.isZero() && !how.isEmpty())
        prepaid += QStringLiteral("(") + how.join(QStringLiteral(", ")) + QStringLiteral(")");
    s->addText(QStringLiteral("PrzedplatyEtykieta"), QRectF(0, y, 40, 6),
               QStringLiteral("Przedpłaty(zaliczki): "), kLeft, reportFont(9));
    s->addText(QStringLiteral("Przedplaty"), QRectF(40, y, 60, 6), prepaid, kLeft, reportFont(9));
    s->addText(QStringLiteral("ZaplaconoEtykieta"), QRectF(100, y, 24, 6),
               QStringLiteral("Zapłacono"), kLeft, reportFont(9));
    s->addText(QStringLiteral("Zaplacono"), QRectF(124, y, 50, 6), money(m_data.paid), kLeft,
               reportFont(9));
    y += 6;
    s->addText(QStringLiteral("DoZaplatyEtykieta"), QRectF(100, y, 24, 6),
               QStringLiteral("Do zapłaty"), kLeft, reportFont(9, true));
    s->addText(QStringLiteral("DoZaplaty"), QRectF(124, y, 50, 6), money(m_data.stillDue()), kLeft,
               reportFont(9, true));
    y += 22;

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
    s->height = y + 12;
}
