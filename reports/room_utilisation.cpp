#include "reports/room_utilisation.h"

#include "db/closures.h"
#include "db/sql.h"
#include "reports/engine/report_rows.h"

#include <QHash>
#include <QLocale>

namespace {
constexpr int kCenter = Qt::AlignCenter;
constexpr qreal kRoomColumn = 18;
constexpr qreal kCell = 5.2;
constexpr qreal kSum = 10.8;
constexpr qreal kRow = 5;
constexpr qreal kChartHeight = 100;                // 500 units
const QColor kReserved = QColor(0xC0, 0xC0, 0xC0); // silver
const QColor kStayed = QColor(0x80, 0x80, 0x80);   // gray

qreal cellX(int day)
{
    return kRoomColumn + (day - 1) * kCell;
}

QString cellName(const char* prefix, int day)
{
    return QString::fromLatin1(prefix) + QString::number(day);
}

bool before(int y1, int m1, int y2, int m2)
{
    return y1 < y2 || (y1 == y2 && m1 < m2);
}
} // namespace

TMiesiac TMiesiac::of(int year, int month)
{
    TMiesiac m;
    m.year = year;
    m.month = month;
    m.first = QDate(year, month, 1);
    m.last = QDate(year, month, m.first.daysInMonth());
    return m;
}

QString TMiesiac::text() const
{
    return QString::number(year) + QLatin1Char(' ') + QLocale().standaloneMonthName(month);
}

QList<TMiesiac> monthList(const QList<MonthSpan>& spans)
{
    QList<TMiesiac> months;
    if (spans.isEmpty())
        return months;
    int y = spans[0].fromYear;
    int m = spans[0].fromMonth;
    qsizetype i = 0;
    while (i < spans.size()) {
        months << TMiesiac::of(y, m);
        while (i < spans.size()) {
            const MonthSpan& s = spans[i];
            if (!before(y, m, s.toYear, s.toMonth)) {
                // This line ends by the current month; a next line that starts
                // later makes its start month current.
                if (++i < spans.size() && before(y, m, spans[i].fromYear, spans[i].fromMonth)) {
                    y = spans[i].fromYear;
                    m = spans[i].fromMonth;
                    break;
                }
            } else {
                if (++m > 12) {
                    m = 1;
                    ++y;
                }
                break;
            }
        }
    }
    return months;
}

QStringList roomNumbers(QSqlDatabase db)
{
    const ReportRows rows =
        ReportRows::fromSql(db, QStringLiteral("SELECT Nr_Pokoju FROM Pokoje ORDER BY rowid"));
    QStringList numbers;
    for (int i = 0; i < rows.rowCount(); ++i)
        numbers << rows.value(i, QStringLiteral("Nr_Pokoju")).toString();
    return numbers;
}

const QString kMonthListSql =
    QStringLiteral("SELECT CAST(substr(Od, 6, 2) AS INTEGER) AS Od_miesiac, "
                   "CAST(substr(Od, 1, 4) AS INTEGER) AS Od_rok, "
                   "CAST(substr(Koniec, 6, 2) AS INTEGER) AS Do_miesiac, "
                   "CAST(substr(Koniec, 1, 4) AS INTEGER) AS Do_rok FROM ("
                   "SELECT Od, max(\"Do\") AS Koniec FROM Ksiazka "
                   "WHERE Od IS NOT NULL AND \"Do\" IS NOT NULL GROUP BY Od "
                   "UNION ALL "
                   "SELECT Od, max(\"Do\") FROM Rez_msc "
                   "WHERE Od IS NOT NULL AND \"Do\" IS NOT NULL GROUP BY Od) AS Okresy "
                   "ORDER BY Od");

MonthListResult readMonthList(QSqlDatabase db)
{
    MonthListResult result;
    try {
        const ReportRows rows = ReportRows::fromSql(db, kMonthListSql);
        QList<MonthSpan> spans;
        for (int i = 0; i < rows.rowCount(); ++i)
            spans << MonthSpan{rows.value(i, QStringLiteral("Od_rok")).toInt(),
                               rows.value(i, QStringLiteral("Od_miesiac")).toInt(),
                               rows.value(i, QStringLiteral("Do_rok")).toInt(),
                               rows.value(i, QStringLiteral("Do_miesiac")).toInt()};
        result.months = monthList(spans);
    } catch (const RezydoError&) {
        result.failed = true;
    }
    return result;
}

void markDays(TElemWykorzystania& entry, const QList<StayLine>& lines, const TMiesiac& month)
{
    for (const StayLine& line : lines) {
        const int from = line.from < month.first ? 1 : line.from.day();
        const int to = line.to > month.last ? 31 : line.to.day();
        for (int d = from; d <= to && d <= 31; ++d) {
            entry.occupied[d] = true;
            entry.reserved[d] = line.reservation;
        }
    }
}

void markBlocked(TElemWykorzystania& entry, const QDate& from, const QDate& to,
                 const TMiesiac& month)
{
    const int first = from < month.first ? 1 : from.day();
    const int last = to > month.last ? month.last.day() : to.day();
    for (int d = first; d <= last && d <= 31; ++d)
        entry.blocked[d] = true;
}

QList<TElemWykorzystania> roomEntries(QSqlDatabase db, const QStringList& rooms,
                                      const TMiesiac& month)
{
    const ReportRows rows = ReportRows::fromSql(
        db,
        QStringLiteral("SELECT Nr_pokoju, Od, \"Do\", Rezerw FROM Rez_msc_i_ksiazka WHERE "
                       "(Od >= :F AND Od <= :L) OR (\"Do\" >= :F AND \"Do\" <= :L) OR "
                       "(Od <= :F AND \"Do\" >= :L) ORDER BY Od"),
        {{":F", dayValue(month.first)}, {":L", dayValue(month.last)}});
    // The lines of every room in one pass, each room's in the order of Od: a
    // pass over all lines for each room costs most of the report's time in a
    // large house.
    QHash<QString, QList<StayLine>> linesOf;
    for (int i = 0; i < rows.rowCount(); ++i) {
        const QString number = rows.value(i, QStringLiteral("Nr_pokoju")).toString();
        linesOf[number] << StayLine{number, dayFromValue(rows.value(i, QStringLiteral("Od"))),
                                    dayFromValue(rows.value(i, QStringLiteral("Do"))),
                                    rows.value(i, QStringLiteral("Rezerw")).toInt() == 1};
    }
    const QList<Closure> blocks = closuresBetween(db, ClosureKind::Room, month.first, month.last);
    QList<TElemWykorzystania> entries;
    for (const QString& number : rooms) {
        TElemWykorzystania entry;
        entry.room = number;
        markDays(entry, linesOf.value(number), month);
        for (const Closure& b : blocks)
            if (b.room.compare(number, Qt::CaseInsensitive) == 0)
                markBlocked(entry, b.from, b.to, month);
        entries << entry;
    }
    return entries;
}

int barUnits(int occupied, int rooms)
{
    if (rooms <= 0)
        return 0;
    return static_cast<int>((static_cast<qint64>(occupied) * 1000 + rooms) / (2 * rooms));
}

TRapWykorzystanie::TRapWykorzystanie(const QString& monthText, int days, int rooms,
                                     const QList<TElemWykorzystania>& entries)
    : m_days(days)
    , m_rooms(rooms)
    , m_entries(entries)
{
    for (const TElemWykorzystania& e : entries)
        for (int d = 1; d <= days && d <= 31; ++d)
            m_anyBlocked = m_anyBlocked || e.blocked[d];
    title = QStringLiteral("Wykorzystanie pokoi w układzie miesięcznym");
    setPageHeader(10).addText(QStringLiteral("Tytul"), QRectF(0, 0, 190, 8),
                              QStringLiteral("Wykorzystanie pokoi (") + monthText +
                                  QLatin1Char(')'),
                              kCenter, reportFont(12, true));
    onStart([this] {
        m_next = 0;
        m_roomPages = true;
        m_occupied.fill(0);
    });
    addRoomRows();
    addDayTable();
    addChart();
    setPageCounterFooter();
}

void TRapWykorzystanie::addRoomRows()
{
    Band& head = setColumnHeader(13, QStringLiteral("Legenda"));
    const std::tuple<const char*, QColor, QString> legend[] = {
        {"Rezerwacje", kReserved, QStringLiteral("Rezerwacje")},
        {"Kwaterunki", kStayed, QStringLiteral("Kwaterunki")},
        {"Wolne", QColor(Qt::white), QStringLiteral("Wolne")}};
    qreal x = 0;
    for (const auto& [name, colour, text] : legend) {
        head.addBox(QRectF(x, 0.5, 4, 4), colour);
        head.addText(QString::fromLatin1(name), QRectF(x + 5, 0, 25, 5), text);
        x += 35;
    }
    // Blocked days only where the month has any, so other months keep their look.
    if (m_anyBlocked) {
        head.addBox(QRectF(x, 0.5, 4, 4), QColor(Qt::white));
        head.addText(QStringLiteral("ZablokowaneZnak"), QRectF(x, 0, 4, 5), QStringLiteral("×"),
                     kCenter);
        head.addText(QStringLiteral("Zablokowane"), QRectF(x + 5, 0, 25, 5),
                     QStringLiteral("Zablokowane"));
    }
    head.addText(QStringLiteral("NrPokoju"), QRectF(0, 7, kRoomColumn, kRow), "Nr pokoju",
                 Qt::AlignLeft | Qt::AlignVCenter, reportFont(7, true));
    for (int d = 1; d <= 31; ++d)
        head.addText(cellName("D", d), QRectF(cellX(d), 7, kCell, kRow), QString::number(d),
                     kCenter, reportFont(7, true))
            .visible = d <= m_days;
    head.addLine(QPointF(0, 12.5), QPointF(cellX(m_days + 1), 12.5));
    head.beforePrint = [this](BandContext& ctx) { ctx.suppress = !m_roomPages; };

    Band& row = addLoop(kRow + 0.5, m_rooms, QStringLiteral("Pokoj"));
    row.addText(QStringLiteral("Nr_pokoju"), QRectF(0, 0, kRoomColumn, kRow), {});
    for (int d = 1; d <= 31; ++d) {
        row.addBox(QRectF(cellX(d) + 0.2, 0.3, kCell - 0.4, kRow - 0.6), kStayed, false).name =
            cellName("K", d);
        row.addText(cellName("T", d), QRectF(cellX(d), 0, kCell, kRow), QString::number(d), kCenter,
                    reportFont(6));
        if (m_anyBlocked) {
            Control& x = row.addText(cellName("B", d), QRectF(cellX(d), 0, kCell, kRow),
                                     QStringLiteral("×"), kCenter, reportFont(7));
            x.visible = false;
        }
    }
    row.addLine(QPointF(0, kRow + 0.2), QPointF(cellX(m_days + 1), kRow + 0.2), 0.1);
    row.beforePrint = [this](BandContext& ctx) {
        const TElemWykorzystania entry =
            m_next < m_entries.size() ? m_entries[m_next] : TElemWykorzystania{};
        ++m_next;
        ctx.band.setText(QStringLiteral("Nr_pokoju"), entry.room);
        for (int d = 1; d <= 31; ++d) {
            const bool shown = d <= m_days && entry.occupied[d];
            Control& box = ctx.band.control(cellName("K", d));
            box.visible = shown;
            box.fill = entry.reserved[d] ? kReserved : kStayed;
            ctx.band.control(cellName("T", d)).visible = shown;
            if (shown)
                ++m_occupied[d];
            // A booked day shows its booking, even over a block.
            if (m_anyBlocked)
                ctx.band.control(cellName("B", d)).visible =
                    d <= m_days && entry.blocked[d] && !shown;
        }
    };
}

void TRapWykorzystanie::addDayTable()
{
    Band& table = addLoop(3 * kRow + 2, 1, QStringLiteral("TabelaDni"));
    table.newPageBefore = true;
    const qreal sumX = cellX(m_days + 1);
    const QString headings[] = {QStringLiteral("Dzień"), QStringLiteral("Wolne"),
                                QStringLiteral("Zajęte")};
    const char* prefixes[] = {"Dzien", "Wolne", "Zajete"};
    for (int r = 0; r < 3; ++r) {
        const qreal y = r * kRow + 0.5;
        table.addText(QString::fromLatin1(prefixes[r]), QRectF(0, y, kRoomColumn, kRow),
                      headings[r], Qt::AlignLeft | Qt::AlignVCenter, reportFont(7, true));
        for (int d = 1; d <= 31; ++d)
            table
                .addText(cellName(prefixes[r], d), QRectF(cellX(d), y, kCell, kRow), {}, kCenter,
                         reportFont(6))
                .visible = d <= m_days;
        table.addLine(QPointF(0, y + kRow), QPointF(sumX + kSum, y + kRow), 0.1);
    }
    table.addText(QStringLiteral("Suma"), QRectF(sumX, 0.5, kSum, kRow), QStringLiteral("Suma"),
                  kCenter, reportFont(7, true));
    table.addText(QStringLiteral("WolneSuma"), QRectF(sumX, kRow + 0.5, kSum, kRow), {}, kCenter,
                  reportFont(6));
    table.addText(QStringLiteral("ZajeteSuma"), QRectF(sumX, 2 * kRow + 0.5, kSum, kRow), {},
                  kCenter, reportFont(6));
    table.addLine(QPointF(0, 0.5), QPointF(sumX + kSum, 0.5), 0.1);
    table.beforePrint = [this](BandContext& ctx) {
        // The room rows are over: the legend and day numbers stop heading pages.
        m_roomPages = false;
        int total = 0;
        for (int d = 1; d <= m_days; ++d) {
            ctx.band.setText(cellName("Dzien", d), QString::number(d));
            ctx.band.setText(cellName("Wolne", d), QString::number(m_rooms - m_occupied[d]));
            ctx.band.setText(cellName("Zajete", d), QString::number(m_occupied[d]));
            total += m_occupied[d];
        }
        ctx.band.setText(QStringLiteral("WolneSuma"), QString::number(m_days * m_rooms - total));
        ctx.band.setText(QStringLiteral("ZajeteSuma"), QString::number(total));
    };
}

void TRapWykorzystanie::addChart()
{
    const qreal top = 10;
    const qreal base = top + kChartHeight;
    Band& chart = addLoop(base + 8, 1, QStringLiteral("Wykres"));
    chart.addText(QStringLiteral("Procent"), QRectF(0, 0, kRoomColumn, 5), QStringLiteral("[%]"),
                  Qt::AlignRight | Qt::AlignVCenter, reportFont(7));
    for (int p = 10; p >= 0; --p) {
        const qreal y = base - p * kChartHeight / 10;
        chart.addText(QStringLiteral("Os%1").arg(p * 10), QRectF(0, y - 2, kRoomColumn, 4),
                      QString::number(p * 10) + QLatin1Char('-'), Qt::AlignRight | Qt::AlignVCenter,
                      reportFont(7));
    }
    chart.addLine(QPointF(kRoomColumn, top), QPointF(kRoomColumn, base));
    chart.addLine(QPointF(kRoomColumn, base), QPointF(cellX(m_days + 1), base));
    for (int d = 1; d <= 31; ++d) {
        Control& bar = chart.addBox(QRectF(cellX(d) + 0.8, base, kCell - 1.6, 0), kReserved);
        bar.name = cellName("S", d);
        bar.visible = false;
        chart
            .addText(cellName("N", d), QRectF(cellX(d), base + 1, kCell, 4), QString::number(d),
                     kCenter, reportFont(6))
            .visible = d <= m_days;
    }
    chart.beforePrint = [this, base](BandContext& ctx) {
        for (int d = 1; d <= m_days; ++d) {
            const int units = barUnits(m_occupied[d], m_rooms);
            Control& bar = ctx.band.control(cellName("S", d));
            const qreal h = units * kChartHeight / 500;
            bar.rect.setTop(base - h);
            bar.rect.setBottom(base);
            bar.visible = m_rooms > 0 && units > 0;
        }
    };
}

LaunchResult printRoomUtilisation(const QString& monthText, int days, int rooms,
                                  const QList<TElemWykorzystania>& entries, ReportOutput mode)
{
    TRapWykorzystanie report(monthText, days, rooms, entries);
    runReport(report, mode);
    return LaunchResult::success();
}
