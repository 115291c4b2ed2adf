#include "reports/kt1_report.h"

#include <QStringList>

namespace {
constexpr qreal kWidth = 190;
constexpr qreal kRow = 5;
constexpr qreal kNumber = 10;
constexpr qreal kValue = 30;
constexpr qreal kCountryRow = 5;
constexpr int kCountriesInOneColumn = 12;

QString hotelLine(const QString& label, const QString& value)
{
    return label + QStringLiteral(": ") + (value.isEmpty() ? QStringLiteral("—") : value);
}

const QString kNotes = QStringLiteral(
    "Objaśnienia. (1) Dni działalności: dni kalendarzowe miesiąca bez dni, w których cały obiekt "
    "był zamknięty. (2, 3) Pokoje i miejsca noclegowe według tabeli pokoi (stan w ostatnim dniu "
    "miesiąca); całoroczne to pokoje oznaczone w ustawieniu pokoi jako czynne cały rok. "
    "(4, 5) Miejscodni i pokojodni dostępne: suma po dniach działalności miejsc (pokoi) w pokojach "
    "niezablokowanych danego dnia. (6) Turyści: przyjazdy w miesiącu, każdy wpis w książce "
    "meldunkowej rozpoczęty w miesiącu liczy się raz, także kolejny pobyt tego samego gościa. "
    "Zagraniczny to turysta, którego krajem stałego zamieszkania nie jest Polska. (7) Noclegi: "
    "noce pobytów przypadające w miesiącu; pobyt przechodzący przez granicę miesiąca dzieli się "
    "na miesiące (pobyt od 30 czerwca do 3 lipca daje 1 nocleg w czerwcu i 2 w lipcu); liczą się "
    "także goście bez przydzielonego pokoju. (8) Wynajęte pokoje: pary pokój–noc w miesiącu, pokój "
    "zajęty jednej nocy przez kilku gości liczy się raz. (9, 10) Wykorzystanie: noclegi przez "
    "miejscodni dostępne oraz wynajęte pokoje przez pokojodni dostępne, w procentach. "
    "Porównanie z raportem sezonowym „Raport dla GUS'u”: tamten przypisuje cały pobyt do miesiąca "
    "przyjazdu (także noce po końcu miesiąca), liczy osoby, a nie przyjazdy (gość z dwoma pobytami "
    "w miesiącu raz), wynajęte pokoje liczy jako różne układy pokój–daty pobytu (także gościa "
    "bez pokoju), a pojemność "
    "bierze z dzisiejszej tabeli pokoi bez dni zamknięcia i blokad. Dla przyjazdów, których "
    "pobyt mieści się w miesiącu, liczby turystów (gdy nikt nie przyjechał dwa razy), noclegów i "
    "wynajętych pokoi (gdy goście jednego pokoju mają te same daty) są w obu zestawieniach równe.");

QString csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}
} // namespace

TRapKt1::TRapKt1(const Kt1Figures& f, const Kt1Establishment& e)
{
    title = QStringLiteral("Sprawozdanie KT-1 (miesięczne)");
    fileName = QStringLiteral("KT-1 ") + f.first.toString(QStringLiteral("yyyy-MM"));
    Band& head = setTitleBand(20, QStringLiteral("Tytul"));
    head.addText(QStringLiteral("Naglowek"), QRectF(0, 0, kWidth, 7),
                 QStringLiteral("Sprawozdanie o wykorzystaniu turystycznego obiektu noclegowego"),
                 Qt::AlignCenter, reportFont(12, true));
    head.addText(QStringLiteral("Formularz"), QRectF(0, 7, kWidth, 6),
                 QStringLiteral("KT-1 za miesiąc: ") + kt1MonthText(f.first), Qt::AlignCenter,
                 reportFont(11, true));
    head.addText(QStringLiteral("Okres"), QRectF(0, 13, kWidth, 5),
                 QStringLiteral("od ") + f.first.toString(QStringLiteral("yyyy-MM-dd")) +
                     QStringLiteral(" do ") + f.last.toString(QStringLiteral("yyyy-MM-dd")),
                 Qt::AlignCenter, reportFont(8));

    addEstablishment(e);
    m_lines = ReportRows(
        {QStringLiteral("Nr"), QStringLiteral("Pozycja"), QStringLiteral("Wartosc")}, {});
    for (const Kt1Line& l : kt1Lines(f))
        m_lines.append({l.number, l.label, l.value});
    addFigures();
    addCountries(f);
    addNotes();
    setPageCounterFooter();
}

void TRapKt1::addEstablishment(const Kt1Establishment& e)
{
    Band& band = addLoop(25, 1, QStringLiteral("Obiekt"));
    band.addText(QStringLiteral("ObiektTytul"), QRectF(0, 0, kWidth, 5),
                 QStringLiteral("Dział 1. Obiekt noclegowy"), Qt::AlignLeft | Qt::AlignVCenter,
                 reportFont(9, true));
    const QString lines[] = {
        hotelLine(QStringLiteral("Nazwa"), e.name), hotelLine(QStringLiteral("Adres"), e.address),
        hotelLine(QStringLiteral("Rodzaj obiektu"), e.kind),
        hotelLine(QStringLiteral("REGON"), e.regon) + QStringLiteral("    ") +
            hotelLine(QStringLiteral("Identyfikator statystyczny"), e.statisticsId) +
            QStringLiteral("    ") + hotelLine(QStringLiteral("NIP"), e.nip)};
    const char* names[] = {"Nazwa", "Adres", "Rodzaj", "Numery"};
    for (int i = 0; i < 4; ++i)
        band.addText(QString::fromLatin1(names[i]), QRectF(2, 5.5 + i * 4.8, kWidth - 2, 4.8),
                     lines[i], Qt::AlignLeft | Qt::AlignVCenter, reportFont(8));
}

void TRapKt1::addFigures()
{
    Band& heading = addLoop(kRow + 6, 1, QStringLiteral("FiguryNaglowek"));
    heading.addText(QStringLiteral("FiguryTytul"), QRectF(0, 0, kWidth, 5),
                    QStringLiteral("Dział 2. Działalność, pojemność i wykorzystanie obiektu"),
                    Qt::AlignLeft | Qt::AlignVCenter, reportFont(9, true));
    const qreal label = kWidth - kNumber - kValue;
    const struct {
        const char* name;
        QRectF rect;
        QString text;
    } cols[] = {{"NrKol", {0, 6, kNumber, kRow}, QStringLiteral("Lp.")},
                {"PozycjaKol", {kNumber, 6, label, kRow}, QStringLiteral("Wyszczególnienie")},
                {"WartoscKol", {kNumber + label, 6, kValue, kRow}, QStringLiteral("Wartość")}};
    for (const auto& c : cols)
        heading
            .addText(QString::fromLatin1(c.name), c.rect, c.text, Qt::AlignCenter,
                     reportFont(8, true))
            .framed = true;

    Band& row = *addData(&m_lines, kRow, QStringLiteral("Pozycja")).detail;
    row.addField(QStringLiteral("Nr"), QRectF(0, 0, kNumber, kRow), QStringLiteral("Nr"), {},
                 Qt::AlignCenter, reportFont(8))
        .framed = true;
    row.addField(QStringLiteral("Pozycja"), QRectF(kNumber, 0, label, kRow),
                 QStringLiteral("Pozycja"), {}, Qt::AlignLeft | Qt::AlignVCenter, reportFont(8))
        .framed = true;
    row.addField(QStringLiteral("Wartosc"), QRectF(kNumber + label, 0, kValue, kRow),
                 QStringLiteral("Wartosc"), {}, Qt::AlignRight | Qt::AlignVCenter, reportFont(8))
        .framed = true;
}

void TRapKt1::addCountries(const Kt1Figures& f)
{
    // A long list of countries goes in two halves side by side, so that the
    // form keeps to one page.
    const int halves = f.countries.size() > kCountriesInOneColumn ? 2 : 1;
    const int perHalf = static_cast<int>((f.countries.size() + halves - 1) / halves);
    const QString suffix[] = {QString(), QStringLiteral("2")};
    QStringList columns;
    for (int h = 0; h < halves; ++h)
        columns << QStringLiteral("Kraj") + suffix[h] << QStringLiteral("Turysci") + suffix[h]
                << QStringLiteral("Noclegi") + suffix[h];
    m_countries = ReportRows(columns, {});
    for (int r = 0; r < perHalf; ++r) {
        QVariantList row;
        for (int h = 0; h < halves; ++h) {
            const int i = h * perHalf + r;
            if (i < f.countries.size())
                row << f.countries[i].name << f.countries[i].tourists << f.countries[i].nights;
            else
                row << QVariant() << QVariant() << QVariant();
        }
        m_countries.append(row);
    }

    const qreal gap = 4;
    const qreal half = halves == 1 ? kWidth : (kWidth - gap) / 2;
    const qreal figure = halves == 1 ? kValue : 20;
    const qreal name = half - 2 * figure;
    Band& heading = addLoop(kRow + 9, 1, QStringLiteral("KrajeNaglowek"));
    heading.addText(
        QStringLiteral("KrajeTytul"), QRectF(0, 3, kWidth, 5),
        QStringLiteral("Dział 3. Turyści zagraniczni według kraju stałego zamieszkania"),
        Qt::AlignLeft | Qt::AlignVCenter, reportFont(9, true));
    Band& row = *addData(&m_countries, kCountryRow, QStringLiteral("Kraj")).detail;
    for (int h = 0; h < halves; ++h) {
        const qreal x = h * (half + gap);
        const struct {
            const char* name;
            qreal left;
            qreal width;
            QString heading;
            int alignment;
        } cols[] = {
            {"Kraj", 0, name, QStringLiteral("Kraj stałego zamieszkania"),
             Qt::AlignLeft | Qt::AlignVCenter},
            {"Turysci", name, figure, QStringLiteral("Turyści"), Qt::AlignRight | Qt::AlignVCenter},
            {"Noclegi", name + figure, figure, QStringLiteral("Noclegi"),
             Qt::AlignRight | Qt::AlignVCenter}};
        for (const auto& c : cols) {
            const QString field = QString::fromLatin1(c.name) + suffix[h];
            heading
                .addText(field + QStringLiteral("Kol"), QRectF(x + c.left, 9, c.width, kRow),
                         c.heading, Qt::AlignCenter, reportFont(8, true))
                .framed = true;
            row.addField(field, QRectF(x + c.left, 0, c.width, kCountryRow), field, {}, c.alignment,
                         reportFont(8))
                .framed = true;
        }
    }
    const qreal total = kWidth - 2 * kValue;

    Band& sum = addLoop(kRow + 7, 1, QStringLiteral("KrajeSuma"));
    sum.addText(QStringLiteral("Razem"), QRectF(0, 0, total, kRow),
                f.countries.isEmpty() ? QStringLiteral("Razem (brak turystów zagranicznych)")
                                      : QStringLiteral("Razem"),
                Qt::AlignLeft | Qt::AlignVCenter, reportFont(8, true))
        .framed = true;
    sum.addText(QStringLiteral("RazemTurysci"), QRectF(total, 0, kValue, kRow),
                QString::number(f.countryTourists()), Qt::AlignRight | Qt::AlignVCenter,
                reportFont(8, true))
        .framed = true;
    sum.addText(QStringLiteral("RazemNoclegi"), QRectF(total + kValue, 0, kValue, kRow),
                QString::number(f.countryNights()), Qt::AlignRight | Qt::AlignVCenter,
                reportFont(8, true))
        .framed = true;
    sum.addText(QStringLiteral("Kontrola"), QRectF(0, kRow + 0.5, kWidth, 6), kt1CountryCheck(f),
                Qt::AlignLeft | Qt::AlignVCenter, reportFont(8, false));
}

void TRapKt1::addNotes()
{
    Band& notes = addLoop(40, 1, QStringLiteral("Objasnienia"));
    Control& text = notes.addText(QStringLiteral("Objasnienia"), QRectF(0, 3, kWidth, 36), kNotes,
                                  Qt::AlignLeft | Qt::AlignTop, reportFont(7));
    text.wordWrap = true;
    text.stretch = true;
}

QString kt1CountryCheck(const Kt1Figures& f)
{
    if (f.countryTourists() == f.foreignTourists && f.countryNights() == f.foreignNights)
        return QStringLiteral("Kontrola: wiersze krajów sumują się do turystów zagranicznych "
                              "(%1) i udzielonych im noclegów (%2) — zgodne.")
            .arg(f.foreignTourists)
            .arg(f.foreignNights);
    return QStringLiteral("Kontrola: wiersze krajów dają %1 turystów i %2 noclegów, a ogółem "
                          "zagranicznych jest %3 turystów i %4 noclegów — NIEZGODNE.")
        .arg(f.countryTourists())
        .arg(f.countryNights())
        .arg(f.foreignTourists)
        .arg(f.foreignNights);
}

QByteArray kt1Csv(const Kt1Figures& f, const Kt1Establishment& e)
{
    QStringList out;
    const auto line = [&out](const QStringList& fields) {
        QStringList quoted;
        for (const QString& field : fields)
            quoted << csvField(field);
        out << quoted.join(QLatin1Char(';'));
    };
    line({QStringLiteral("Sprawozdanie KT-1"), f.first.toString(QStringLiteral("yyyy-MM"))});
    line({QStringLiteral("Nazwa obiektu"), e.name});
    line({QStringLiteral("Adres"), e.address});
    line({QStringLiteral("Rodzaj obiektu"), e.kind});
    line({QStringLiteral("REGON"), e.regon});
    line({QStringLiteral("Identyfikator statystyczny"), e.statisticsId});
    line({});
    line({QStringLiteral("Lp."), QStringLiteral("Wyszczególnienie"), QStringLiteral("Wartość")});
    for (const Kt1Line& l : kt1Lines(f))
        line({l.number, l.label, l.value});
    line({});
    line({QStringLiteral("Kraj stałego zamieszkania"), QStringLiteral("Turyści"),
          QStringLiteral("Noclegi")});
    for (const Kt1Country& c : f.countries)
        line({c.name, QString::number(c.tourists), QString::number(c.nights)});
    line({QStringLiteral("Razem"), QString::number(f.countryTourists()),
          QString::number(f.countryNights())});
    return QByteArray("\xEF\xBB\xBF") + out.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
}

QString kt1CsvName(const QDate& first)
{
    return QStringLiteral("KT-1 ") + first.toString(QStringLiteral("yyyy-MM")) +
           QStringLiteral(".csv");
}

LaunchResult printKt1(const Kt1Figures& f, const Kt1Establishment& e, ReportOutput mode)
{
    TRapKt1 report(f, e);
    runReport(report, mode);
    return LaunchResult::success();
}
