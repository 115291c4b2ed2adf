#include "reports/season_report.h"

#include "core/clock.h"
#include "core/error.h"
#include "db/data_module.h"
#include "reports/statistics.h"

#include <array>

namespace {
constexpr int kCenter = Qt::AlignCenter;
constexpr qreal kRow = 7;

// A framed, centred cell; headings wrap inside it.
Control& cell(Band& band, const QString& name, const QRectF& rect, const QString& text,
              qreal size = 8)
{
    Control& c = band.addText(name, rect, text, kCenter, reportFont(size));
    c.framed = true;
    c.wordWrap = true;
    return c;
}

// The month table: the month's name, then nine figures.
constexpr qreal kMonthWidth = 28;
constexpr qreal kFigureWidth = (190 - kMonthWidth) / 9;
QRectF monthCell(int column, qreal top, qreal height)
{
    const qreal x = column == 0 ? 0 : kMonthWidth + (column - 1) * kFigureWidth;
    return {x, top, column == 0 ? kMonthWidth : kFigureWidth, height};
}

const std::array<QString, 10> kMonthHeadings = {
    QStringLiteral("Miesiąc"),
    QStringLiteral("dni dzia- łalności obiektu"),
    QStringLiteral("nominalna noclegów"),
    QStringLiteral("nominalna pokoi"),
    QStringLiteral("osób korzystaj- ących  razem"),
    QStringLiteral("osób korzystaj- ących zagran."),
    QStringLiteral("udzielone noclegi razem"),
    QStringLiteral("udzielone noclegi zagran. "),
    QStringLiteral("wynajete pokoje razem"),
    QStringLiteral("wynajete pokoje zagran."),
};
const std::array<const char*, 10> kMonthCells = {"Miesiac", "Dni",       "Miejsc",  "Pokoi",
                                                 "Osob",    "OsobZagr",  "Noclegi", "NoclegiZagr",
                                                 "Pokoje",  "PokojeZagr"};

QString cellName(const char* prefix, int month, int figure)
{
    return QStringLiteral("%1%2_%3").arg(QLatin1String(prefix)).arg(month).arg(figure);
}
} // namespace

TRapGus::TRapGus(QSqlDatabase db, int year)
    : m_db(std::move(db))
    , m_year(year)
{
    title = QStringLiteral("Raport dla GUS'u");
    onStart([this] { m_month = 1; });
    setTitleBand(15, QStringLiteral("BandaTytul"));
    buildMonths();
    addLoop(15, 1, QStringLiteral("BandaOdstep"));
    buildCountries();
}

void TRapGus::openCountries()
{
    m_countries = ReportRows::fromSql(
        m_db, QStringLiteral("select * from Panstwo where ID>1 order by rowid"));
}

void TRapGus::buildMonths()
{
    Band& headings = addLoop(20, 1, QStringLiteral("BandaNaglowek"));
    for (int i = 0; i < 10; ++i)
        cell(headings, QString::fromLatin1(kMonthCells[i]) + QStringLiteral("Kol"),
             monthCell(i, 0, 20), kMonthHeadings[i], 7);
    headings.afterPrint = [this](BandContext&) { m_month = 1; };

    Band& month = addLoop(kRow, 3, QStringLiteral("BandaMiesiac"));
    for (int i = 0; i < 10; ++i)
        cell(month, QString::fromLatin1(kMonthCells[i]), monthCell(i, 0, kRow), {}, 9);
    month.beforePrint = [this](BandContext& ctx) { fillMonth(ctx.band); };
}

void TRapGus::fillMonth(Band& band)
{
    // A row that cannot be computed keeps its last texts, and the same month
    // comes again in the next row.
    try {
        const auto months = seasonMonths(m_year);
        if (m_month < 1 || m_month > months.size())
            return;
        const auto& [start, end] = months[m_month - 1];
        const SeasonMonthRow r = seasonMonthRow(m_db, start, end);
        const std::array<QString, 10> texts = {r.month,
                                               QString::number(r.days),
                                               r.beds,
                                               QString::number(r.rooms),
                                               QString::number(r.all.persons),
                                               QString::number(r.foreign.persons),
                                               QString::number(r.all.nights),
                                               QString::number(r.foreign.nights),
                                               QString::number(r.all.roomNights),
                                               QString::number(r.foreign.roomNights)};
        for (int i = 0; i < 10; ++i)
            band.setText(QString::fromLatin1(kMonthCells[i]), texts[i]);
        ++m_month;
    } catch (const RezydoError&) {
    }
}

void TRapGus::buildCountries()
{
    Band& headings = addLoop(26, 1, QStringLiteral("BandaNaglowekPanstw"));
    cell(headings, QStringLiteral("KrajKol"), monthCell(0, 0, 26),
         QStringLiteral("Kraj zamieszk. turysty zagran"), 7);
    const std::array<QString, 3> months = {QStringLiteral("Lipiec"), QStringLiteral("sierpień"),
                                           QStringLiteral("Wrzesień")};
    for (int m = 0; m < 3; ++m) {
        const QRectF first = monthCell(1 + 3 * m, 0, 7);
        cell(headings, QStringLiteral("Miesiac%1Kol").arg(m + 1),
             QRectF(first.left(), 0, 3 * kFigureWidth, 7), months[m], 8);
        const std::array<QString, 3> figures = {
            QStringLiteral("turyści korzyst. z nocleg."), QStringLiteral("udzielone noclegi"),
            m == 0 ? QStringLiteral("wynajęte pokoje") : QStringLiteral("wynajęte ppokoje")};
        for (int f = 0; f < 3; ++f)
            cell(headings, cellName("Kol", m + 1, f + 1), monthCell(1 + 3 * m + f, 7, 19),
                 figures[f], 7);
    }
    headings.beforePrint = [this](BandContext& ctx) {
        m_month = 1;
        ctx.report.band(QStringLiteral("BandaPanstwa"))->printCount = m_countries.rowCount();
        m_countries.first();
    };

    Band& country = addLoop(kRow, 0, QStringLiteral("BandaPanstwa"));
    cell(country, QStringLiteral("Kraj"), monthCell(0, 0, kRow), {}, 8).alignment =
        Qt::AlignLeft | Qt::AlignVCenter;
    for (int m = 1; m <= 3; ++m)
        for (int f = 1; f <= 3; ++f)
            cell(country, cellName("Kraj", m, f), monthCell(3 * (m - 1) + f, 0, kRow), {}, 9);
    country.beforePrint = [this](BandContext& ctx) { fillCountry(ctx.band); };
}

void TRapGus::fillCountry(Band& band)
{
    // As with the months: a failed row keeps its texts and the query its place.
    try {
        if (m_countries.atEnd())
            return;
        const SeasonCountryRow r =
            seasonCountryRow(m_db, m_countries.value(QStringLiteral("ID")).toInt(), m_year);
        band.setText(QStringLiteral("Kraj"), r.name);
        for (int m = 0; m < r.months.size() && m < 3; ++m) {
            const UsageFigures& u = r.months[m];
            band.setText(cellName("Kraj", m + 1, 1), QString::number(u.persons));
            band.setText(cellName("Kraj", m + 1, 2), QString::number(u.nights));
            band.setText(cellName("Kraj", m + 1, 3), QString::number(u.roomNights));
        }
        m_countries.next();
    } catch (const RezydoError&) {
    }
}

LaunchResult printSeasonReport()
{
    try {
        TRapGus report(dataModule().database(), today().year());
        report.openCountries();
        if (runReport(report, ReportOutput::Preview) == RunResult::Interrupted)
            return LaunchResult::failure(kSeasonReportFailure);
    } catch (const std::exception&) {
        return LaunchResult::failure(kSeasonReportFailure);
    }
    return LaunchResult::success();
}
