#include "reports/kt1.h"

#include "db/closures.h"
#include "db/polish_collation.h"
#include "db/sql.h"
#include "reports/room_utilisation.h"

#include <QHash>
#include <QLocale>
#include <QSet>

#include <algorithm>

namespace {
constexpr int kHomeCountry = 1;

struct Room {
    QString number;
    int beds = 0;
    bool allYear = false;
};

QList<Room> readRooms(QSqlDatabase db)
{
    QSqlQuery q =
        runSql(db, QStringLiteral("SELECT Nr_Pokoju, coalesce(Miejsc, 0), Caly_rok FROM Pokoje"));
    QList<Room> rooms;
    while (q.next())
        rooms.append({q.value(0).toString(), q.value(1).toInt(), q.value(2).toInt() == 1});
    return rooms;
}

void countCapacity(QSqlDatabase db, Kt1Figures& f)
{
    const QList<Room> rooms = readRooms(db);
    for (const Room& r : rooms) {
        ++f.rooms;
        f.beds += r.beds;
        if (r.allYear) {
            ++f.roomsAllYear;
            f.bedsAllYear += r.beds;
        }
    }
    const QList<Closure> closed = closuresBetween(db, ClosureKind::House, f.first, f.last);
    const QList<Closure> blocks = closuresBetween(db, ClosureKind::Room, f.first, f.last);
    for (QDate d = f.first; d <= f.last; d = d.addDays(1)) {
        if (closedOn(closed, d)) {
            ++f.closedDays;
            continue;
        }
        for (const Room& r : rooms)
            if (!blockOn(blocks, r.number, d)) {
                f.bedNightsAvailable += r.beds;
                ++f.roomDaysAvailable;
            }
    }
    f.daysOfOperation = f.calendarDays - f.closedDays;
}

QHash<int, QString> countryNames(QSqlDatabase db)
{
    QHash<int, QString> names;
    QSqlQuery q = runSql(db, QStringLiteral("SELECT ID, Nazwa FROM Panstwo"));
    while (q.next())
        names.insert(q.value(0).toInt(), q.value(1).toString());
    return names;
}

void countGuests(QSqlDatabase db, Kt1Figures& f)
{
    // Every entry arriving in the month or spending a night in it. Without
    // a departure day an entry can only be an arrival.
    QSqlQuery q = runSql(db,
                         QStringLiteral("SELECT Nr_pokoju, Od, \"Do\", coalesce(ID_Panstwo, 1) "
                                        "FROM Ksiazka WHERE Od <= :L AND coalesce(\"Do\", Od) "
                                        ">= :F"),
                         {{":F", dayValue(f.first)}, {":L", dayValue(f.last)}});
    const QDate end = f.last.addDays(1);
    QHash<QString, QSet<qint64>> roomNights; // room -> nights (Julian days) taken
    QHash<int, Kt1Country> countries;
    while (q.next()) {
        const QString room = q.value(0).toString();
        const QDate from = dayFromValue(q.value(1));
        const QDate to = dayFromValue(q.value(2));
        const int country = q.value(3).toInt();
        if (!from.isValid())
            continue;
        const bool foreign = country > kHomeCountry;
        const bool arrived = from >= f.first;
        qint64 nights = 0;
        if (to.isValid()) {
            const QDate a = std::max(from, f.first);
            const QDate b = std::min(to, end);
            nights = std::max<qint64>(0, a.daysTo(b));
            if (!room.isEmpty())
                for (QDate d = a; d < b; d = d.addDays(1))
                    roomNights[room].insert(d.toJulianDay());
        }
        f.tourists += arrived ? 1 : 0;
        f.nights += nights;
        if (!foreign)
            continue;
        f.foreignTourists += arrived ? 1 : 0;
        f.foreignNights += nights;
        if (arrived || nights > 0) {
            Kt1Country& c = countries[country];
            c.id = country;
            c.tourists += arrived ? 1 : 0;
            c.nights += nights;
        }
    }
    for (const QSet<qint64>& nights : std::as_const(roomNights))
        f.roomNights += nights.size();

    const QHash<int, QString> names = countryNames(db);
    for (Kt1Country c : std::as_const(countries)) {
        c.name = names.value(c.id, QStringLiteral("kraj nr %1").arg(c.id));
        f.countries.append(c);
    }
    std::sort(f.countries.begin(), f.countries.end(), [](const Kt1Country& a, const Kt1Country& b) {
        const int byName = comparePolish(a.name, b.name);
        return byName != 0 ? byName < 0 : a.id < b.id;
    });
}

std::optional<double> percent(qint64 used, qint64 available)
{
    if (available <= 0)
        return std::nullopt;
    return 100.0 * static_cast<double>(used) / static_cast<double>(available);
}
} // namespace

std::optional<double> Kt1Figures::bedOccupancy() const
{
    return percent(nights, bedNightsAvailable);
}

std::optional<double> Kt1Figures::roomOccupancy() const
{
    return percent(roomNights, roomDaysAvailable);
}

int Kt1Figures::countryTourists() const
{
    int sum = 0;
    for (const Kt1Country& c : countries)
        sum += c.tourists;
    return sum;
}

qint64 Kt1Figures::countryNights() const
{
    qint64 sum = 0;
    for (const Kt1Country& c : countries)
        sum += c.nights;
    return sum;
}

Kt1Figures kt1Figures(QSqlDatabase db, int year, int month)
{
    Kt1Figures f;
    f.first = QDate(year, month, 1);
    f.last = QDate(year, month, f.first.daysInMonth());
    f.calendarDays = f.first.daysInMonth();
    countCapacity(db, f);
    countGuests(db, f);
    return f;
}

QList<QDate> kt1Months(QSqlDatabase db, const QDate& today)
{
    // Per arrival day the latest departure: the months from the arrival to
    // the last night hold arrivals or nights.
    QSqlQuery q = runSql(db, QStringLiteral("SELECT Od, max(coalesce(\"Do\", Od)) FROM Ksiazka "
                                            "WHERE Od IS NOT NULL GROUP BY Od ORDER BY Od"));
    QList<MonthSpan> spans;
    while (q.next()) {
        const QDate from = dayFromValue(q.value(0));
        const QDate to = dayFromValue(q.value(1));
        if (!from.isValid())
            continue;
        const QDate end = to.isValid() && to > from ? to.addDays(-1) : from;
        spans.append({from.year(), from.month(), end.year(), end.month()});
    }
    QList<QDate> months;
    for (const TMiesiac& m : monthList(spans))
        months.append(m.first);
    const QDate current(today.year(), today.month(), 1);
    if (!months.contains(current))
        months.append(current);
    std::sort(months.begin(), months.end(), std::greater<>());
    return months;
}

QString percentText(const std::optional<double>& value)
{
    if (!value)
        return {};
    return QLocale(QLocale::Polish, QLocale::Poland).toString(*value, 'f', 1);
}

Kt1Establishment readEstablishment(QSqlDatabase db)
{
    QSqlQuery q = runSql(db, QStringLiteral("SELECT Nazwa, Adres, Rodzaj_obiektu, Regon, "
                                            "Id_statystyczny, NIP FROM Config LIMIT 1"));
    Kt1Establishment e;
    if (q.next())
        e = {q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
             q.value(3).toString(), q.value(4).toString(), q.value(5).toString()};
    return e;
}

QList<Kt1Line> kt1Lines(const Kt1Figures& f)
{
    const auto n = [](qint64 v) { return QString::number(v); };
    return {
        {QStringLiteral("1"), QStringLiteral("Dni działalności obiektu w miesiącu"),
         n(f.daysOfOperation)},
        {QStringLiteral("2"), QStringLiteral("Pokoje (stan w ostatnim dniu miesiąca)"), n(f.rooms)},
        {QStringLiteral("2a"), QStringLiteral("w tym pokoje całoroczne"), n(f.roomsAllYear)},
        {QStringLiteral("3"), QStringLiteral("Miejsca noclegowe (stan w ostatnim dniu miesiąca)"),
         n(f.beds)},
        {QStringLiteral("3a"), QStringLiteral("w tym miejsca całoroczne"), n(f.bedsAllYear)},
        {QStringLiteral("4"), QStringLiteral("Miejsca noclegowe dostępne (miejscodni)"),
         n(f.bedNightsAvailable)},
        {QStringLiteral("5"), QStringLiteral("Pokoje dostępne (pokojodni)"),
         n(f.roomDaysAvailable)},
        {QStringLiteral("6"), QStringLiteral("Turyści korzystający z noclegów"), n(f.tourists)},
        {QStringLiteral("6a"), QStringLiteral("w tym turyści zagraniczni"), n(f.foreignTourists)},
        {QStringLiteral("7"), QStringLiteral("Udzielone noclegi (osobonoce)"), n(f.nights)},
        {QStringLiteral("7a"), QStringLiteral("w tym turystom zagranicznym"), n(f.foreignNights)},
        {QStringLiteral("8"), QStringLiteral("Wynajęte pokoje (pokojonoce)"), n(f.roomNights)},
        {QStringLiteral("9"), QStringLiteral("Stopień wykorzystania miejsc noclegowych [%]"),
         percentText(f.bedOccupancy())},
        {QStringLiteral("10"), QStringLiteral("Stopień wykorzystania pokoi [%]"),
         percentText(f.roomOccupancy())},
    };
}

QString kt1MonthText(const QDate& first)
{
    return QLocale(QLocale::Polish, QLocale::Poland).standaloneMonthName(first.month()) +
           QLatin1Char(' ') + QString::number(first.year());
}
