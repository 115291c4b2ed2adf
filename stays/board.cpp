#include "stays/board.h"

#include "core/holidays.h"
#include "db/closures.h"
#include "db/polish_collation.h"
#include "db/sql.h"

#include <QSqlQuery>

#include <algorithm>

namespace {
// A read of several statements sees one moment of the file: another copy of
// the program may commit between two of them otherwise.
class ReadTransaction {
public:
    explicit ReadTransaction(QSqlDatabase db)
        : m_db(db)
        , m_open(db.transaction())
    {
    }
    ~ReadTransaction()
    {
        if (m_open)
            m_db.commit();
    }
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

private:
    QSqlDatabase m_db;
    bool m_open;
};

const QString kLines =
    QStringLiteral("SELECT 1, Identyfikator, Nr_pokoju, Od, \"Do\", Miejsc, Jaki FROM Rez_msc "
                   "WHERE \"Do\" >= :first AND Od < :end "
                   "UNION ALL "
                   "SELECT 0, Identyfikator, Nr_pokoju, Od, \"Do\", Miejsc, Jaki FROM Kwat_msc "
                   "WHERE \"Do\" >= :first AND Od < :end");

const QString kReservations =
    QStringLiteral("SELECT Identyfikator, Nazwa, Osob, Od, \"Do\", Notatki FROM Rez_hot "
                   "WHERE Identyfikator IN (SELECT Identyfikator FROM Rez_msc "
                   "WHERE \"Do\" >= :first AND Od < :end)");

const QString kAccommodations =
    QStringLiteral("SELECT K.Identyfikator, K.Nazwa, K.Osob, K.Od, K.\"Do\", K.Notatki, C.rozl, "
                   "(SELECT count(*) FROM Ksiazka B WHERE B.Identyfikator_g = K.Identyfikator "
                   "AND B.Pelne_dane = 1) "
                   "FROM Kwat_hot K LEFT JOIN Kalk C ON C.Identyfikator = K.Identyfikator "
                   "WHERE K.Identyfikator IN (SELECT Identyfikator FROM Kwat_msc "
                   "WHERE \"Do\" >= :first AND Od < :end)");

BoardGroup groupFrom(const QSqlQuery& q, bool reservation)
{
    BoardGroup g;
    g.key = {reservation, q.value(0).toInt()};
    g.name = q.value(1).toString();
    g.persons = q.value(2).toInt();
    g.from = dayFromValue(q.value(3));
    g.to = dayFromValue(q.value(4));
    g.notes = q.value(5).toString();
    if (!reservation) {
        g.settled = q.value(6).toInt() == 1;
        g.registered = q.value(7).toInt();
    }
    return g;
}

void readGroups(QSqlDatabase db, const QString& sql, bool reservation, const QVariant& first,
                const QVariant& end, BoardData& data)
{
    QSqlQuery q = runSql(db, sql, {{":first", first}, {":end", end}});
    while (q.next()) {
        BoardGroup g = groupFrom(q, reservation);
        data.groups.insert(g.key, g);
    }
}

bool takesSingles(const BoardLine& line, int roomBeds)
{
    return !line.gender.isEmpty() || line.beds < roomBeds;
}

bool inPeriods(const QList<std::pair<QDate, QDate>>& periods, const QDate& night)
{
    return std::any_of(periods.begin(), periods.end(),
                       [&night](const auto& p) { return p.first <= night && night < p.second; });
}
} // namespace

BoardData readBoard(QSqlDatabase db, const QDate& first, int days)
{
    BoardData data;
    data.first = first;
    data.days = days;
    const QVariant from = dayValue(first);
    const QVariant end = dayValue(first.addDays(days));
    const ReadTransaction read(db);

    QSqlQuery rooms =
        runSql(db, QStringLiteral("SELECT Nr_Pokoju, Miejsc, Typ FROM Pokoje ORDER BY Nr_Pokoju"));
    while (rooms.next())
        data.rooms.append(
            {rooms.value(0).toString(), rooms.value(1).toInt(), rooms.value(2).toString()});

    QSqlQuery lines = runSql(db, kLines, {{":first", from}, {":end", end}});
    while (lines.next()) {
        BoardLine line;
        line.group = {lines.value(0).toInt() == 1, lines.value(1).toInt()};
        line.room = lines.value(2).toString();
        line.from = dayFromValue(lines.value(3));
        line.to = dayFromValue(lines.value(4));
        line.beds = lines.value(5).toInt();
        line.gender = lines.value(6).toString();
        if (line.from.isValid() && line.to.isValid())
            data.lines.append(line);
    }
    readGroups(db, kReservations, true, from, end, data);
    readGroups(db, kAccommodations, false, from, end, data);

    // A stored period names its last day; the board's periods end the day
    // after, as a line ends on its departure day.
    const QDate last = first.addDays(days - 1);
    for (const Closure& c : closuresBetween(db, ClosureKind::House, first, last))
        for (QDate d = std::max(c.from, first); d <= std::min(c.to, last); d = d.addDays(1))
            data.closedDays.insert(d);
    for (const Closure& c : closuresBetween(db, ClosureKind::Room, first, last))
        data.blockedRooms[c.room].append({c.from, c.to.addDays(1)});
    return data;
}

QStringList registeredPersons(QSqlDatabase db, int groupId)
{
    QSqlQuery q = runSql(db,
                         QStringLiteral("SELECT A.Nazwisko, A.Imie, K.Nr_pokoju FROM Ksiazka K "
                                        "JOIN Arch_os A ON A.Identyfikator_o = K.Identyfikator_o "
                                        "WHERE K.Identyfikator_g = :ID AND K.Pelne_dane = 1 "
                                        "ORDER BY A.Nazwisko") +
                             kCollatePolish + QStringLiteral(", A.Imie") + kCollatePolish,
                         {{":ID", groupId}});
    QStringList out;
    while (q.next()) {
        QString person =
            (q.value(0).toString() + QLatin1Char(' ') + q.value(1).toString()).trimmed();
        if (!q.value(2).toString().isEmpty())
            person += QStringLiteral(" (%1)").arg(q.value(2).toString());
        out << person;
    }
    return out;
}

QList<BoardGroup> findGroupsByName(QSqlDatabase db, const QString& text, const QDate& today)
{
    const QString sql =
        QStringLiteral("SELECT Identyfikator, Nazwa, Osob, Od, \"Do\", Notatki, %1 FROM %2 "
                       "WHERE casefold(Nazwa) LIKE casefold(:x) ESCAPE '\\' AND Od IS NOT NULL "
                       "AND EXISTS (SELECT 1 FROM %3 M WHERE M.Identyfikator = %2.Identyfikator)");
    QList<BoardGroup> found;
    for (const bool reservation : {true, false}) {
        QSqlQuery q =
            runSql(db,
                   sql.arg(reservation ? QStringLiteral("1") : QStringLiteral("0"),
                           reservation ? QStringLiteral("Rez_hot") : QStringLiteral("Kwat_hot"),
                           reservation ? QStringLiteral("Rez_msc") : QStringLiteral("Kwat_msc")),
                   {{":x", likeContains(text)}});
        while (q.next())
            found.append(groupFrom(q, reservation));
    }
    std::stable_sort(found.begin(), found.end(),
                     [&today](const BoardGroup& a, const BoardGroup& b) {
                         const bool aGone = a.to < today;
                         const bool bGone = b.to < today;
                         if (aGone != bGone)
                             return !aGone;
                         return a.from < b.from;
                     });
    return found;
}

int BoardLayout::rowAt(int y) const
{
    if (y < 0 || rows.isEmpty() || y >= height)
        return -1;
    const auto it = std::upper_bound(rows.begin(), rows.end(), y,
                                     [](int value, const BoardRow& r) { return value < r.top; });
    return static_cast<int>(it - rows.begin()) - 1;
}

int BoardLayout::barAt(int row, int halfDay, int lane) const
{
    if (row < 0 || row >= rows.size())
        return -1;
    for (int b : rows[row].bars) {
        const BoardBar& bar = bars[b];
        if (bar.lane == lane && bar.start <= halfDay && halfDay < bar.end)
            return b;
    }
    return -1;
}

BoardLayout layoutBoard(const BoardData& data, const QDate& today, const BoardMetrics& metrics)
{
    BoardLayout layout;
    for (int d = 0; d < data.days; ++d) {
        BoardDay day;
        day.date = data.first.addDays(d);
        day.weekend = day.date.dayOfWeek() >= 6;
        day.holiday = publicHolidayName(day.date);
        day.closed = data.closedDays.contains(day.date);
        day.today = day.date == today;
        layout.days.append(day);
    }

    QHash<QString, int> rowOf;
    layout.rows.resize(data.rooms.size());
    for (int r = 0; r < data.rooms.size(); ++r) {
        rowOf.insert(data.rooms[r].number, r);
        BoardRow& row = layout.rows[r];
        row.nights.resize(data.days);
        const auto blocked = data.blockedRooms.constFind(data.rooms[r].number);
        for (int d = 0; d < data.days; ++d)
            row.nights[d].blocked =
                layout.days[d].closed ||
                (blocked != data.blockedRooms.cend() && inPeriods(*blocked, layout.days[d].date));
    }

    const int spanEnd = 2 * data.days;
    for (int i = 0; i < data.lines.size(); ++i) {
        const BoardLine& line = data.lines[i];
        const auto found = rowOf.constFind(line.room);
        if (found == rowOf.cend() || line.to <= line.from)
            continue;
        const int r = *found;
        BoardRow& row = layout.rows[r];
        const int roomBeds = data.rooms[r].beds;
        BoardBar bar;
        bar.line = i;
        bar.row = r;
        bar.group = line.group;
        bar.reservation = line.group.reservation;
        bar.singles = takesSingles(line, roomBeds);
        const qint64 arrival = data.first.daysTo(line.from);
        const qint64 departure = data.first.daysTo(line.to);
        bar.start = static_cast<int>(std::max<qint64>(2 * arrival + 1, 0));
        bar.end = static_cast<int>(std::min<qint64>(2 * departure + 1, spanEnd));
        bar.clippedStart = 2 * arrival + 1 < 0;
        bar.clippedEnd = 2 * departure + 1 > spanEnd;
        if (bar.start >= bar.end)
            continue;
        const auto group = data.groups.constFind(line.group);
        if (group != data.groups.cend()) {
            bar.label = QStringLiteral("%1 (%2)").arg(group->name).arg(group->persons);
            bar.settled = group->settled;
        }
        for (qint64 d = std::max<qint64>(arrival, 0); d < std::min<qint64>(departure, data.days);
             ++d) {
            BoardNight& night = row.nights[static_cast<int>(d)];
            night.taken += line.beds;
            night.women = night.women || line.gender == QLatin1String("K");
            night.men = night.men || line.gender == QLatin1String("M");
        }
        row.singles = row.singles || bar.singles;
        row.bars.append(static_cast<int>(layout.bars.size()));
        layout.bars.append(bar);
    }

    int top = 0;
    for (BoardRow& row : layout.rows) {
        // Lanes: each bar goes into the first lane that is free from its start.
        std::sort(row.bars.begin(), row.bars.end(),
                  [&layout](int a, int b) { return layout.bars[a].start < layout.bars[b].start; });
        QList<int> laneEnds;
        for (int b : row.bars) {
            BoardBar& bar = layout.bars[b];
            int lane = 0;
            while (lane < laneEnds.size() && laneEnds[lane] > bar.start)
                ++lane;
            if (lane == laneEnds.size())
                laneEnds.append(bar.end);
            else
                laneEnds[lane] = bar.end;
            bar.lane = lane;
        }
        row.lanes = std::max(1, static_cast<int>(laneEnds.size()));
        row.top = top;
        row.height = row.lanes * metrics.laneHeight + (row.singles ? metrics.bedsStrip : 0);
        top += row.height;
    }
    layout.height = top;
    return layout;
}

QString nightText(const BoardNight& night, int roomBeds)
{
    QString text = QStringLiteral("%1/%2").arg(night.taken).arg(roomBeds);
    if (night.women || night.men)
        text += QLatin1Char(' ') + QString(night.women ? QStringLiteral("K") : QString()) +
                QString(night.men ? QStringLiteral("M") : QString());
    return text;
}

BookingChoice bookingChoice(const BoardData& data, const BoardLayout& layout, int row, int firstDay,
                            int lastDay)
{
    BookingChoice choice;
    if (row < 0 || row >= layout.rows.size() || firstDay < 0 || lastDay >= data.days ||
        firstDay > lastDay)
        return choice;
    const int roomBeds = data.rooms[row].beds;
    int free = roomBeds;
    bool women = false;
    bool men = false;
    bool anyTaken = false;
    for (int d = firstDay; d <= lastDay; ++d) {
        const BoardNight& night = layout.rows[row].nights[d];
        if (night.blocked)
            return choice;
        free = std::min(free, roomBeds - night.taken);
        anyTaken = anyTaken || night.taken > 0;
        women = women || night.women;
        men = men || night.men;
    }
    if (free <= 0)
        return choice;
    choice.freeBeds = free;
    choice.kind = anyTaken ? BookingChoice::SingleBeds : BookingChoice::WholeRoom;
    if (women != men)
        choice.gender = women ? QStringLiteral("K") : QStringLiteral("M");
    return choice;
}
