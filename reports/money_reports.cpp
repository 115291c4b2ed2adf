#include "reports/money_reports.h"

#include "db/row_set.h"
#include "db/sql.h"
#include "reports/engine/mask.h"

namespace {
constexpr int kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr int kRight = Qt::AlignRight | Qt::AlignVCenter;
constexpr int kCenter = Qt::AlignCenter;
constexpr qreal kWidth = 190;
constexpr qreal kRow = 6;

struct Heading {
    const char* name;
    QString caption;
    qreal x, width;
    int alignment;
};

void addHeadings(Band& band, const QList<Heading>& headings, qreal top)
{
    for (const Heading& h : headings)
        band.addText(QString::fromLatin1(h.name), QRectF(h.x, top + 0.5, h.width, kRow), h.caption,
                     h.alignment, reportFont(9, true));
    band.addLine(QPointF(0, top), QPointF(kWidth, top));
    band.addLine(QPointF(0, top + kRow + 1), QPointF(kWidth, top + kRow + 1));
}

Control& addDay(Band& band, const QString& column, const QRectF& rect, const QString& mask,
                int alignment = kCenter)
{
    Control& c = band.addField(column, rect, column, mask, alignment);
    c.valueKind = ValueKind::Day;
    return c;
}

Control& addMoney(Band& band, const QString& column, const QRectF& rect, const QString& mask)
{
    Control& c = band.addField(column, rect, column, mask, kRight);
    c.valueKind = ValueKind::Money;
    return c;
}

Control& addMoneySum(Band& band, const QString& name, const QRectF& rect, const QString& column,
                     SumScope scope, const QString& mask)
{
    Control& c = band.addSum(name, rect, column, scope, mask, kRight, reportFont(9, true));
    c.valueKind = ValueKind::Money;
    return c;
}

// A cell of a list row: it fills the row from rule to rule and sits at its
// middle, like the row's other cells; a wrapping one makes the row taller.
Control& rowCell(Control& c, bool wraps = false)
{
    c.wordWrap = wraps;
    c.stretch = true;
    return c;
}

// The centred bold title of a page header.
void addTitleHeader(Report& report, const QString& text, qreal height = 10)
{
    report.setPageHeader(height).addText(QStringLiteral("Tytul"), QRectF(0, 0, kWidth, 8), text,
                                         kCenter, reportFont(11, true));
}

// "Strona n" under a rule.
void addRuledCounterFooter(Report& report)
{
    Band& footer = report.setPageCounterFooter(7);
    for (Control& c : footer.controls)
        c.rect.translate(0, 1);
    footer.addLine(QPointF(0, 0.5), QPointF(kWidth, 0.5));
}

const QString kTypeCase = QStringLiteral("CASE Kwit.Typ WHEN 1 THEN 'Paragon' WHEN 2 THEN "
                                         "'Kwitariusz' WHEN 3 THEN 'Przelew' WHEN 4 THEN "
                                         "'Nota księgowa' ELSE '' END");
// The form a payment came in, after its type when it is known ("Paragon, karta");
// a transfer document paid by transfer says so once.
const QString kFormCase = QStringLiteral(
    " || CASE Kwit.Forma WHEN 1 THEN ', gotówka' WHEN 2 THEN ', karta' WHEN 3 THEN CASE Kwit.Typ "
    "WHEN 3 THEN '' ELSE ', przelew' END WHEN 4 THEN ', bon' WHEN 5 THEN ', inna' ELSE '' END");

LaunchResult run(Report& report, ReportOutput mode)
{
    runReport(report, mode);
    return LaunchResult::success();
}
} // namespace

QString paymentMethodText(int code)
{
    switch (code) {
    case 1:
        return QStringLiteral("Gotówka");
    case 2:
        return QStringLiteral("Przelew");
    default:
        return {};
    }
}

void openUnpaidGroups(RowSet& rows)
{
    rows.setKinds(
        {{"Od", ColumnKind::Day}, {"Do", ColumnKind::Day}, {"Osob", ColumnKind::Integer}});
    rows.open(QStringLiteral("select Identyfikator, Nazwa, Osob, Od, \"Do\" from Kwat_rozl "
                             "where rozl = 0 or rozl is null"));
}

void openPayments(RowSet& rows, const QDate& from, const QDate& to)
{
    rows.setKinds({{"Data", ColumnKind::Day},
                   {"Wplata", ColumnKind::Money},
                   {"Typ", ColumnKind::Integer},
                   {"Nr_noty", ColumnKind::Integer}});
    rows.open(QStringLiteral("select Nr_kwit, Nr_noty, Kwit.Identyfikator AS Identyfikator, "
                             "Wplata, Data, Nazwa, Kwit.Typ AS Typ, ") +
                  kTypeCase + kFormCase +
                  QStringLiteral(" AS TypStr from Kwit inner join Kalk on Kwit.Identyfikator = "
                                 "Kalk.Identyfikator where Kwit.Data >= :Od and Kwit.Data <= :Do "
                                 "order by Data, Nr_kwit, Nr_noty"),
              {{":Od", dayValue(from)}, {":Do", dayValue(to)}});
}

void openInvoices(RowSet& rows, const QDate& from, const QDate& to)
{
    rows.setKinds({{"Data_wystawienia", ColumnKind::Day},
                   {"Brutto", ColumnKind::Money},
                   {"Rach", ColumnKind::Integer},
                   {"Sposob_Zaplaty", ColumnKind::Integer}});
    // Correcting invoices of the period are listed among the invoices with
    // their difference as the amount and what they correct in the remarks.
    // KSeF: the state of the document's newest export to the national system.
    rows.open(
        QStringLiteral(
            "SELECT Rach, Nazwa, Adres, Brutto, Sposob_Zaplaty, Uwagi, Data_wystawienia, "
            "Sposob, Korekta, Klucz, Grupa, CASE KSeF_stan WHEN 0 THEN 'do wysłania' "
            "WHEN 1 THEN 'wysłana' WHEN 2 THEN 'przyjęta' WHEN 3 THEN 'odrzucona' "
            "ELSE '' END AS KSeF FROM (SELECT Rach, Nazwa, Adres, Brutto, sposob_zaplaty AS "
            "Sposob_Zaplaty, uwagi AS Uwagi, data_wystawienia AS Data_wystawienia, CASE "
            "sposob_zaplaty WHEN 1 THEN 'Gotówka' WHEN 2 THEN 'Przelew' ELSE '' END AS "
            "Sposob, 0 AS Korekta, Identyfikator AS Klucz, Identyfikator AS Grupa, "
            "(SELECT x.Stan FROM Ksef x WHERE x.Identyfikator = Kalk.Identyfikator AND "
            "x.ID_korekty IS NULL ORDER BY x.ID DESC LIMIT 1) AS KSeF_stan FROM Kalk "
            "WHERE Typ = 2 AND data_wystawienia >= :Od AND data_wystawienia <= :Do "
            "UNION ALL SELECT r.Rach, k.Nazwa, k.Adres, r.Brutto_po - r.Brutto_przed, NULL, "
            "'Korekta nr ' || r.Rach || CASE r.Seria WHEN '' THEN '' ELSE '/' || r.Seria "
            "END || '/' || substr(r.data_wystawienia, 1, 4) || ' do faktury nr ' || "
            "r.Fakt_numer, r.data_wystawienia, '', 1, r.ID, r.Identyfikator, (SELECT "
            "x.Stan FROM Ksef x WHERE x.ID_korekty = r.ID ORDER BY x.ID DESC LIMIT 1) "
            "FROM Korekta r LEFT JOIN Kalk k "
            "ON k.Identyfikator = r.Identyfikator WHERE r.data_wystawienia >= :Od AND "
            "r.data_wystawienia <= :Do) AS Dokumenty ORDER BY Data_wystawienia, Korekta, Klucz"),
        {{":Od", dayValue(from)}, {":Do", dayValue(to)}});
}

void openDiscounts(RowSet& rows, const QDate& from, const QDate& to)
{
    rows.setKinds({{"data_sprzedazy", ColumnKind::Day},
                   {"Brutto", ColumnKind::Money},
                   {"Znizka", ColumnKind::Integer}});
    rows.open(QStringLiteral("select Nazwa, Znizka, Brutto, Podstawa, data_sprzedazy, "
                             "CAST(Znizka AS TEXT) || ' %' AS Rabat from Kalk where "
                             "((data_sprzedazy >= :Od AND data_sprzedazy <= :Do) OR "
                             "(Od >= :Od AND \"Do\" <= :Do)) AND Znizka > 0 "
                             "order by data_sprzedazy"),
              {{":Od", dayValue(from)}, {":Do", dayValue(to)}});
}

QStringList paymentTypeItems()
{
    return {QStringLiteral("Wszystkie opłaty"), QStringLiteral("Paragony fiskalne"),
            QStringLiteral("Kwitariusze"), QStringLiteral("Przelewy"),
            QStringLiteral("Nota księgowa")};
}

QString paymentTypeFilter(int index)
{
    return index >= 1 && index <= 4 ? QStringLiteral("Typ=%1").arg(index) : QString();
}

Money visibleTotal(const RowSet& rows, const QString& column)
{
    Money total;
    for (int i = 0; i < rows.rowCount(); ++i)
        total += moneyFromValue(rows.value(i, column));
    return total;
}

QString groupedMoneyText(Money amount)
{
    return amount.toPlainString(true) + QStringLiteral(" zł");
}

QString paymentsTotalText(Money total)
{
    return formatNumber(total.units(), 4, QStringLiteral("Razem ###,###,##0.00 zł"));
}

TRapDlugi::TRapDlugi(const ReportData& groups, QSqlDatabase db)
{
    title = QStringLiteral("Grupy z nieuregulowanymi płatnościami");
    setTitleBand(12).addText(QStringLiteral("Tytul"), QRectF(0, 0, kWidth, 9),
                             QStringLiteral("Grupy nierozliczone"), kCenter, reportFont(12, true));
    addHeadings(setColumnHeader(8),
                {{"IdKol", QStringLiteral("Identyfikator"), 0, 25, kCenter},
                 {"NazwaKol", QStringLiteral("Nazwa grupy"), 25, 60, kLeft},
                 {"PokojKol", QStringLiteral("Numer pokoju"), 85, 30, kCenter},
                 {"OdKol", QStringLiteral("Od"), 115, 25, kCenter},
                 {"DoKol", QStringLiteral("Do"), 140, 25, kCenter},
                 {"MiejscKol", QStringLiteral("Miejsc"), 165, 25, kCenter}},
                0);
    DataSection& data = addData(&groups, kRow);
    data.detail->addField(QStringLiteral("Identyfikator"), QRectF(0, 0, 25, kRow),
                          QStringLiteral("Identyfikator"), {}, kCenter);
    data.detail->addField(QStringLiteral("Nazwa"), QRectF(25, 0, 165, kRow),
                          QStringLiteral("Nazwa"));
    Band& lines = data.addSubDetail(
        kRow,
        [db](const ReportData& master, int row) {
            return ReportRows::fromSql(
                db,
                QStringLiteral("select Nr_pokoju, Od, \"Do\", Miejsc from Kwat_msc where "
                               "Identyfikator = :ID order by rowid"),
                {{":ID", master.value(row, QStringLiteral("Identyfikator"))}});
        },
        QStringLiteral("Pokoje"));
    lines.addField(QStringLiteral("Nr_pokoju"), QRectF(85, 0, 30, kRow),
                   QStringLiteral("Nr_pokoju"), {}, kCenter);
    addDay(lines, QStringLiteral("Od"), QRectF(115, 0, 25, kRow), QStringLiteral("dd-mm-yyyy"));
    addDay(lines, QStringLiteral("Do"), QRectF(140, 0, 25, kRow), QStringLiteral("dd-mm-yyyy"));
    lines.addField(QStringLiteral("Miejsc"), QRectF(165, 0, 25, kRow), QStringLiteral("Miejsc"), {},
                   kCenter);
    // Every group is a group of its own, so its footer closes its room lines.
    data.addGroup(QStringLiteral("Identyfikator"), 0, 1)
        .footer->addLine(QPointF(0, 0.5), QPointF(kWidth, 0.5));
    Band& footer = setPageFooter(7);
    footer.addPageNumber(QStringLiteral("Strona"), QRectF(0, 1, 60, 5), QStringLiteral("Strona "),
                         reportFont(7));
    footer
        .addDate(QStringLiteral("Data"), QRectF(130, 1, 60, 5), {}, QStringLiteral("yyyy-mm-dd"),
                 reportFont(7))
        .alignment = kRight;
}

TRapOplaty::TRapOplaty(const ReportData& payments, const QDate& from, const QDate& to)
{
    title = QStringLiteral("Opłaty wniesione w danym okresie");
    addTitleHeader(*this,
                   periodTitle(QStringLiteral("Opłaty wniesione w okresie od "), from, to, true));
    addHeadings(setColumnHeader(8),
                {{"TypKol", QStringLiteral("Typ"), 0, 30, kLeft},
                 {"NumerKol", QStringLiteral("Numer"), 30, 35, kCenter},
                 {"NazwaKol", QStringLiteral("Nazwa grupy"), 65, 65, kLeft},
                 {"DataKol", QStringLiteral("Data"), 130, 25, kCenter},
                 {"WplataKol", QStringLiteral("Wpłata "), 155, 35, kRight}},
                0);
    // A row with its rule under it; a long group name or number wraps and the
    // row grows, its rule with it.
    const qreal row = kRow + 0.5;
    DataSection& data = addData(&payments, kRow + 1);
    Band& d = *data.detail;
    rowCell(d.addField(QStringLiteral("TypStr"), QRectF(0, 0, 30, row), QStringLiteral("TypStr")),
            true);
    rowCell(d.addField(QStringLiteral("Nr_kwit"), QRectF(30, 0, 35, row), QStringLiteral("Nr_kwit"),
                       {}, kCenter),
            true);
    rowCell(d.addField(QStringLiteral("Nazwa"), QRectF(65, 0, 65, row), QStringLiteral("Nazwa")),
            true);
    rowCell(
        addDay(d, QStringLiteral("Data"), QRectF(130, 0, 25, row), QStringLiteral("yyyy-mm-dd")));
    rowCell(
        addMoney(d, QStringLiteral("Wplata"), QRectF(155, 0, 35, row), QStringLiteral("0.00 zł ")));
    d.addLine(QPointF(0, row), QPointF(kWidth, row), 0.1).name = QStringLiteral("Linia");
    Group& day = data.addGroup(QStringLiteral("Data"), 0, kRow + 1);
    day.footer->addText(QStringLiteral("Razem"), QRectF(110, 0.5, 40, kRow),
                        QStringLiteral("Razem "), kRight, reportFont(9, true));
    addMoneySum(*day.footer, QStringLiteral("SumaDnia"), QRectF(150, 0.5, 40, kRow),
                QStringLiteral("Wplata"), SumScope::Group, QStringLiteral("0.00 zł "));
    Band& summary = setSummary(kRow + 2);
    summary.addText(QStringLiteral("Ogolem"), QRectF(110, 1, 40, kRow), QStringLiteral("Ogółem "),
                    kRight, reportFont(9, true));
    addMoneySum(summary, QStringLiteral("Suma"), QRectF(150, 1, 40, kRow), QStringLiteral("Wplata"),
                SumScope::Report, QStringLiteral("0.00 zł "));
    addRuledCounterFooter(*this);
}

TRapFaktury::TRapFaktury(const ReportData& invoices, const QDate& from, const QDate& to)
{
    title = QStringLiteral("Zestawienie wystawionych faktur Vat");
    Band& header = setPageHeader(19);
    // The title is longer than the page is wide: it takes two lines.
    header
        .addText(QStringLiteral("Tytul"), QRectF(0, 0, kWidth, 10),
                 periodTitle(QStringLiteral("Zestawienie wystawionych faktur Vat, obrót "
                                            "gotówkowy i bezgotówkowy od "),
                             from, to, true),
                 kCenter, reportFont(10, true))
        .wordWrap = true;
    addHeadings(header,
                {{"LpKol", QStringLiteral("L.p."), 0, 10, kRight},
                 {"NumerKol", QStringLiteral("Numer"), 11, 14, kCenter},
                 {"DataKol", QStringLiteral("Data wystawienia"), 25, 37, kCenter},
                 {"NabywcaKol", QStringLiteral("Nabywca"), 63, 45, kLeft},
                 {"BruttoKol", QStringLiteral("Kwota Brutto "), 108, 26, kRight},
                 {"FormaKol", QStringLiteral("Forma zapłaty"), 135, 30, kLeft},
                 {"UwagiKol", QStringLiteral("Uwagi"), 165, 25, kLeft}},
                11);
    onStart([this] { m_ordinal = 0; });
    // The rule above each row; the cells fill the row below it and sit at its
    // middle beside the two lines of the buyer, growing with a long address or remark.
    const qreal top = 0.5;
    const qreal row = 2 * kRow - 2;
    Band& d = *addData(&invoices, 2 * kRow - 1).detail;
    d.addLine(QPointF(0, 0), QPointF(kWidth, 0), 0.1);
    rowCell(d.addText(QStringLiteral("Lp"), QRectF(0, top, 10, row), {}, kRight));
    rowCell(d.addField(QStringLiteral("Rach"), QRectF(11, top, 14, row), QStringLiteral("Rach"),
                       QStringLiteral("# "), kCenter));
    rowCell(addDay(d, QStringLiteral("Data_wystawienia"), QRectF(25, top, 37, row),
                   QStringLiteral("yyyy-mm-dd")));
    rowCell(d.addText(QStringLiteral("Nabywca"), QRectF(63, top, 45, row), {}, kLeft), true);
    rowCell(
        addMoney(d, QStringLiteral("Brutto"), QRectF(108, top, 26, row), QStringLiteral("0.00 ")));
    rowCell(
        d.addField(QStringLiteral("Sposob"), QRectF(135, top, 30, row), QStringLiteral("Sposob")));
    rowCell(d.addField(QStringLiteral("Uwagi"), QRectF(165, top, 25, row), QStringLiteral("Uwagi")),
            true);
    d.beforePrint = [this](BandContext& ctx) {
        ++m_ordinal;
        ctx.band.setText(QStringLiteral("Lp"), QString::number(m_ordinal) + QLatin1Char(' '));
        ctx.band.setText(QStringLiteral("Nabywca"),
                         ctx.value(QStringLiteral("Nazwa")).toString() + QLatin1Char('\n') +
                             ctx.value(QStringLiteral("Adres")).toString());
    };
    Band& summary = setSummary(kRow + 2);
    summary.addLine(QPointF(0, 0.5), QPointF(kWidth, 0.5));
    summary.addText(QStringLiteral("SumaTekst"), QRectF(63, 1, 25, kRow), QStringLiteral("Suma"),
                    kLeft, reportFont(9, true));
    addMoneySum(summary, QStringLiteral("Suma"), QRectF(88, 1, 46, kRow), QStringLiteral("Brutto"),
                SumScope::Report, QStringLiteral("###,###,##0.00 "));
    addRuledCounterFooter(*this);
}

TRapRabaty::TRapRabaty(const ReportData& discounts, const QDate& from, const QDate& to)
{
    title = QStringLiteral("Zestawienie udzielonych rabatów");
    addTitleHeader(*this,
                   periodTitle(QStringLiteral("Zestawienie udzielonych rabatów od  "), from, to));
    addHeadings(setColumnHeader(8),
                {{"NazwaKol", QStringLiteral("Nazwa grupy"), 0, 60, kLeft},
                 {"DataKol", QStringLiteral("Data"), 60, 25, kCenter},
                 {"BruttoKol", QStringLiteral("Kwota Brutto"), 85, 35, kRight},
                 {"RabatKol", QStringLiteral("Rabat"), 120, 20, kCenter},
                 {"PodstawaKol", QStringLiteral("Podstawa"), 142, 48, kLeft}},
                0);
    // A row with its rule under it; a long group name or basis wraps and the
    // row grows, its rule with it.
    const qreal row = kRow + 0.5;
    Band& d = *addData(&discounts, row).detail;
    rowCell(d.addField(QStringLiteral("Nazwa"), QRectF(0, 0, 60, row), QStringLiteral("Nazwa")),
            true);
    rowCell(addDay(d, QStringLiteral("data_sprzedazy"), QRectF(60, 0, 25, row),
                   QStringLiteral("yyyy-mm-dd")));
    // The currency format of the regional settings: grouped thousands, as the
    // program shows amounts everywhere ("12 345,60 zł").
    rowCell(d.addText(QStringLiteral("Brutto"), QRectF(85, 0, 35, row), {}, kRight));
    rowCell(d.addField(QStringLiteral("Rabat"), QRectF(120, 0, 20, row), QStringLiteral("Rabat"),
                       {}, kCenter));
    rowCell(
        d.addField(QStringLiteral("Podstawa"), QRectF(142, 0, 48, row), QStringLiteral("Podstawa")),
        true);
    d.beforePrint = [](BandContext& ctx) {
        ctx.band.setText(QStringLiteral("Brutto"),
                         groupedMoneyText(moneyFromValue(ctx.value(QStringLiteral("Brutto")))));
    };
    Control& rule = d.addLine(QPointF(0, row), QPointF(kWidth, row), 0.1);
    rule.name = QStringLiteral("Linia");
    setPageCounterFooter();
}

LaunchResult printUnpaidGroups(const RowSet& groups, QSqlDatabase db, ReportOutput mode)
{
    const RowSetData data(groups);
    TRapDlugi report(data, db);
    return run(report, mode);
}

LaunchResult printPayments(const RowSet& payments, ReportOutput mode, const QDate& from,
                           const QDate& to)
{
    const RowSetData data(payments);
    TRapOplaty report(data, from, to);
    return run(report, mode);
}

LaunchResult printInvoices(const RowSet& invoices, ReportOutput mode, const QDate& from,
                           const QDate& to)
{
    if (from > to)
        return LaunchResult::failure(kInvoiceDatesMessage);
    if (invoices.isEmpty())
        return LaunchResult::failure(kNoInvoicesMessage);
    const RowSetData data(invoices);
    TRapFaktury report(data, from, to);
    return run(report, mode);
}

LaunchResult printDiscounts(const RowSet& discounts, ReportOutput mode, const QDate& from,
                            const QDate& to)
{
    if (discounts.isEmpty())
        return LaunchResult::failure({});
    const RowSetData data(discounts);
    TRapRabaty report(data, from, to);
    return run(report, mode);
}
