#include "reports/guest_list_reports.h"

#include "core/clock.h"
#include "db/row_set.h"

namespace {
constexpr int kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr int kCenter = Qt::AlignCenter;
constexpr qreal kLine = 6;
constexpr qreal kRowHeight = kLine + 1; // a detail row, its rule at the foot
constexpr qreal kLight = 0.1;

void addTitle(Report& report, const QString& text)
{
    report.setPageHeader(12).addText(QStringLiteral("Tytul"), QRectF(0, 0, 190, 9), text, kCenter,
                                     reportFont(12, true));
}

struct Column {
    const char* name;
    QString caption;
    qreal x, width;
    int alignment;
};

// A heading row ruled above and below, across `width`.
Band& addHeadings(Report& report, const QList<Column>& columns, qreal width)
{
    Band& band = report.setColumnHeader(7);
    for (const Column& c : columns)
        band.addText(QString::fromLatin1(c.name), QRectF(c.x, 0.5, c.width, kLine), c.caption,
                     c.alignment, reportFont(9, true));
    band.addLine(QPointF(0, 0), QPointF(width, 0));
    band.addLine(QPointF(0, 7), QPointF(width, 7));
    return band;
}

// The cells of a row fill it from rule to rule and sit at its middle, so that
// a name wrapped onto more lines and the dates beside it stay level; the
// whole row grows with its longest text.
Control& addCell(Band& band, const QString& column, const QRectF& rect, int alignment,
                 bool wraps = true)
{
    Control& c = band.addField(column, rect, column, {}, alignment);
    c.wordWrap = wraps;
    c.stretch = true;
    return c;
}

Control& addDay(Band& band, const QString& column, const QRectF& rect, const QString& mask)
{
    Control& c = addCell(band, column, rect, kCenter, false);
    c.mask = mask;
    c.valueKind = ValueKind::Day;
    return c;
}

// A detail band of a list, with its light rule under the row: the rule follows
// the row's foot when a wrapped text makes the row taller, so the last row of a
// page is ruled too.
Band& addRuledDetail(Report& report, const ReportData& rows, qreal width)
{
    Band& detail = *report.addData(&rows, kRowHeight).detail;
    detail.addLine(QPointF(0, kRowHeight), QPointF(width, kRowHeight), kLight).name =
        QStringLiteral("Linia");
    return detail;
}

LaunchResult run(Report& report, ReportOutput mode)
{
    runReport(report, mode);
    return LaunchResult::success();
}
} // namespace

TRapAktualneKwaterunki::TRapAktualneKwaterunki(const ReportData& rows, const QString& filterItem,
                                               const QString& countText)
{
    addTitle(*this, filterTitle(QStringLiteral("Spis aktualnie zakwaterowanych"), filterItem));
    fileName = QStringLiteral("Spis aktualnie zakwaterowanych ") + today().toString(Qt::ISODate);
    addHeadings(*this,
                {{"NazwiskoKol", QStringLiteral("Nazwisko"), 0, 45, kLeft},
                 {"ImieKol", QStringLiteral("Imię"), 45, 35, kLeft},
                 {"NazwaKol", QStringLiteral("Nazwa Grupy"), 80, 50, kLeft},
                 {"PokojKol", QStringLiteral("Pokój"), 130, 20, kCenter},
                 {"OdKol", QStringLiteral("Od"), 150, 20, kCenter},
                 {"DoKol", QStringLiteral("Do"), 170, 20, kCenter}},
                190);
    Band& detail = addRuledDetail(*this, rows, 190);
    addCell(detail, QStringLiteral("Nazwisko"), QRectF(0, 0, 45, kRowHeight), kLeft);
    addCell(detail, QStringLiteral("Imie"), QRectF(45, 0, 35, kRowHeight), kLeft);
    addCell(detail, QStringLiteral("Nazwa"), QRectF(80, 0, 50, kRowHeight), kLeft);
    addCell(detail, QStringLiteral("Nr_pokoju"), QRectF(130, 0, 20, kRowHeight), kCenter);
    addDay(detail, QStringLiteral("Od"), QRectF(150, 0, 20, kRowHeight),
           QStringLiteral("dd-mm-yyyy"));
    addDay(detail, QStringLiteral("Do"), QRectF(170, 0, 20, kRowHeight),
           QStringLiteral("dd-mm-yyyy"));
    // The last row's rule closes the table.
    setSummary(9).addText(QStringLiteral("RazemOsob"), QRectF(100, 1.5, 90, kLine), countText,
                          Qt::AlignRight | Qt::AlignVCenter, reportFont(9, true));
    setPageCounterFooter();
}

TRapRezerwacje::TRapRezerwacje(const ReportData& rows, int kind, const QDate& day)
{
    const QString heading = kind == 1   ? dayTitle(QStringLiteral("Osoby przyjeżdżające "), day)
                            : kind == 2 ? dayTitle(QStringLiteral("Wyjeżdżający "), day)
                                        : QStringLiteral("Spis Rezerwacji");
    addTitle(*this, heading);
    fileName = kind == 1   ? QStringLiteral("Osoby przyjeżdżające ") + day.toString(Qt::ISODate)
               : kind == 2 ? QStringLiteral("Wyjeżdżający ") + day.toString(Qt::ISODate)
                           : QStringLiteral("Spis Rezerwacji ") + today().toString(Qt::ISODate);
    Band& headings = addHeadings(*this,
                                 {{"NazwaKol", QStringLiteral("Nazwa Grupy"), 0, 80, kLeft},
                                  {"OsobKol", QStringLiteral("Osób"), 80, 20, kCenter},
                                  {"PokojKol", QStringLiteral("Nr pokoju"), 100, 30, kCenter},
                                  {"OdKol", QStringLiteral("Od"), 130, 30, kCenter},
                                  {"DoKol", QStringLiteral("Do"), 160, 30, kCenter}},
                                 190);
    // Headings only where a page begins between two groups.
    onStart([this] { m_headingsDue = true; });
    headings.beforePrint = [this](BandContext& ctx) { ctx.suppress = !m_headingsDue; };

    DataSection& data = addData(&rows, kLine, QStringLiteral("Szczegoly"));
    Group& group = data.addGroup(QStringLiteral("Identyfikator"), kLine + 1, 1);
    addCell(*group.header, QStringLiteral("Nazwa"), QRectF(0, 0.5, 80, kLine), kLeft);
    addCell(*group.header, QStringLiteral("Osob"), QRectF(80, 0.5, 20, kLine), kCenter, false);
    group.header->afterPrint = [this](BandContext&) { m_headingsDue = false; };
    group.footer->addLine(QPointF(0, 0.5), QPointF(190, 0.5)).name = QStringLiteral("Linia");
    group.footer->afterPrint = [this](BandContext&) { m_headingsDue = true; };

    Band& detail = *data.detail;
    detail.addField(QStringLiteral("Nr_pokoju"), QRectF(100, 0, 30, kLine),
                    QStringLiteral("Nr_pokoju"), {}, kCenter);
    addDay(detail, QStringLiteral("Od"), QRectF(130, 0, 30, kLine), QStringLiteral("yyyy-mm-dd"));
    addDay(detail, QStringLiteral("Do"), QRectF(160, 0, 30, kLine), QStringLiteral("yyyy-mm-dd"));
    setPageCounterFooter();
    narrowColumns(kind);
}

void TRapRezerwacje::narrowColumns(int kind)
{
    if (kind != 1 && kind != 2)
        return;
    Band& headings = *columnHeader();
    const DataSection& data = *body().front().data;
    Band& detail = *data.detail;
    const Group& group = data.groups.front();
    // The table ends after the one date column left.
    const qreal end = 160;
    for (Band* band : {&headings, group.footer.get()})
        for (Control& c : band->controls)
            if (c.kind == ControlKind::Line)
                c.rect.setRight(end);
    if (kind == 1) {
        headings.control(QStringLiteral("OdKol")).visible = false;
        detail.control(QStringLiteral("Od")).visible = false;
        headings.control(QStringLiteral("DoKol")).rect.moveLeft(130);
        detail.control(QStringLiteral("Do")).rect.moveLeft(130);
        return;
    }
    headings.control(QStringLiteral("DoKol")).visible = false;
    detail.control(QStringLiteral("Do")).visible = false;
    headings.addLine(QPointF(end, 0), QPointF(end, 7)).name = QStringLiteral("OdRamka");
    detail.addLine(QPointF(end, 0), QPointF(end, kLine)).name = QStringLiteral("OdRamka");
}

TRapMeldunki::TRapMeldunki(const ReportData& rows, const QDate& day)
{
    title = QStringLiteral("Wydruk grup zakwaterowanych w danym dniu ");
    addTitle(*this, dayTitle(QStringLiteral("Lista grup zakwaterowanych  "), day));
    addHeadings(*this,
                {{"DaneKol", QStringLiteral("Dane osoby lub grupy"), 0, 110, kLeft},
                 {"PokojKol", QStringLiteral("Nr pokoju"), 110, 40, kCenter},
                 {"DoKol", QStringLiteral("Do"), 150, 40, kCenter}},
                190);
    Band& detail = addRuledDetail(*this, rows, 190);
    addCell(detail, QStringLiteral("Dane"), QRectF(0, 0, 110, kRowHeight), kLeft);
    addCell(detail, QStringLiteral("Nr_pokoju"), QRectF(110, 0, 40, kRowHeight), kCenter);
    addDay(detail, QStringLiteral("Data"), QRectF(150, 0, 40, kRowHeight),
           QStringLiteral("dd-mm-yyyy"));
    setPageCounterFooter();
}

LaunchResult printCurrentGuests(const RowSet& rows, const QString& filterItem,
                                const QString& countText, ReportOutput mode)
{
    const RowSetData data(rows);
    TRapAktualneKwaterunki report(data, filterItem, countText);
    return run(report, mode);
}

LaunchResult printRoomList(const RowSet& rows, int kind, ReportOutput mode, const QDate& day)
{
    const RowSetData data(rows);
    TRapRezerwacje report(data, kind, day);
    return run(report, mode);
}

LaunchResult printGroupsOfDay(const RowSet& rows, ReportOutput mode, const QDate& day)
{
    if (rows.isEmpty())
        return LaunchResult::failure(
            QStringLiteral("W wybranym dniu nie zakwaterowano żadnej grupy"));
    const RowSetData data(rows);
    TRapMeldunki report(data, day);
    return run(report, mode);
}
