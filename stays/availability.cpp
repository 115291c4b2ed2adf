#include "stays/availability.h"

#include "db/sql.h"
#include "stays/chosen_lines.h"

#include <QLocale>

#include <algorithm>

namespace {
QString bedsLabel(int beds)
{
    return QStringLiteral("Miejsc : ") + QString::number(beds);
}
} // namespace

TextGrid Availability::freeRoomsGrid()
{
    return TextGrid({QString(), QStringLiteral("Nr pokoju"), QStringLiteral("Miejsc"),
                     QStringLiteral("Typ"), QStringLiteral("Opis")});
}

TextGrid Availability::freePlacesGrid()
{
    return TextGrid({QString(), QStringLiteral("Nr pokoju"), QStringLiteral("Miejsc"),
                     QStringLiteral("Typ"), QStringLiteral("Wolne miejsc."),
                     QStringLiteral("Jaki")});
}

void Availability::reread()
{
    m_rooms.reset();
    m_lines.reset();
}

void Availability::loadRooms(QSqlDatabase db, const AvailabilityRequest& request)
{
    QSqlQuery q =
        runSql(db,
               QStringLiteral("SELECT Nr_Pokoju, Miejsc, Typ, Opis FROM Pokoje AS P "
                              "WHERE Nr_Pokoju NOT IN ("
                              "  SELECT Nr_pokoju FROM Kwat_msc K WHERE K.Nr_pokoju = P.Nr_Pokoju"
                              "  AND K.\"Do\" > :od1 AND K.Od < :do1 AND NOT K.Identyfikator = :K) "
                              "AND Nr_Pokoju NOT IN ("
                              "  SELECT Nr_pokoju FROM Rez_msc K WHERE K.Nr_pokoju = P.Nr_Pokoju"
                              "  AND K.\"Do\" > :od2 AND K.Od < :do2 AND NOT K.Identyfikator = :R) "
                              "AND Nr_Pokoju NOT IN ("
                              "  SELECT Nr_pokoju FROM Blokady B WHERE B.Nr_pokoju = P.Nr_Pokoju"
                              "  AND B.Od < :do3 AND B.\"Do\" >= :od3) "
                              "ORDER BY P.Nr_Pokoju"),
               {{":od1", dayValue(request.from)},
                {":do1", dayValue(request.to)},
                {":K", request.accommodationId},
                {":od2", dayValue(request.from)},
                {":do2", dayValue(request.to)},
                {":R", request.reservationId},
                {":od3", dayValue(request.from)},
                {":do3", dayValue(request.to)}});
    QList<Room> rooms;
    while (q.next())
        rooms.append({q.value(0).toString(), q.value(1).toInt(), q.value(2).toString(),
                      q.value(3).toString()});
    m_rooms = rooms;
}

void Availability::loadLines(QSqlDatabase db, const AvailabilityRequest& request)
{
    QSqlQuery q = runSql(db,
                         QStringLiteral("SELECT * FROM Miejsca "
                                        "WHERE \"Do\" > :od AND Od < :do "
                                        "AND ID_KWAT <> :K AND ID_REZ <> :R "
                                        "ORDER BY Nr_pokoju"),
                         {{":od", dayValue(request.from)},
                          {":do", dayValue(request.to)},
                          {":K", request.accommodationId},
                          {":R", request.reservationId}});
    QList<TPokojData> lines;
    while (q.next()) {
        TPokojData d;
        d.room = q.value(QStringLiteral("Nr_pokoju")).toString();
        d.roomBeds = q.value(QStringLiteral("Miejsc")).toInt();
        d.type = q.value(QStringLiteral("Typ")).toString();
        d.beds = q.value(QStringLiteral("Miejsc1")).toInt();
        d.from = dayFromValue(q.value(QStringLiteral("Od")));
        d.to = dayFromValue(q.value(QStringLiteral("Do")));
        d.gender = q.value(QStringLiteral("Jaki")).toString();
        lines.append(d);
    }
    // A room blocked on a night of the period is offered by neither list.
    QStringList blocked;
    QSqlQuery b = runSql(db,
                         QStringLiteral("SELECT DISTINCT Nr_pokoju FROM Blokady "
                                        "WHERE Od < :do AND \"Do\" >= :od"),
                         {{":od", dayValue(request.from)}, {":do", dayValue(request.to)}});
    while (b.next())
        blocked.append(b.value(0).toString());
    m_blocked = blocked;
    // One room's lines must be consecutive, whatever the letter case.
    std::stable_sort(lines.begin(), lines.end(), [](const TPokojData& a, const TPokojData& b) {
        return a.room.compare(b.room, Qt::CaseInsensitive) < 0;
    });
    m_lines = lines;
}

namespace {
bool heldByChosen(const AvailabilityRequest& request, const QString& room)
{
    if (!request.chosen)
        return false;
    for (int r = 0; r < request.chosen->rowCount(); ++r)
        if (request.chosen->key(r).compare(room, Qt::CaseInsensitive) == 0 &&
            chosenOverlaps(*request.chosen, r, request.from, request.to))
            return true;
    return false;
}

// Lists the rooms of other groups' lines that keep free beds; returns their
// sum. `used` receives every room those lines use.
int listOthers(TextGrid& grid, const QList<TPokojData>& lines, const QDate& from, const QDate& to,
               const QStringList& blocked, QStringList& used)
{
    int total = 0;
    for (qsizetype first = 0; first < lines.size();) {
        qsizetype last = first;
        while (last < lines.size() &&
               lines[last].room.compare(lines[first].room, Qt::CaseInsensitive) == 0)
            ++last;
        const QList<TPokojData> room = lines.mid(first, last - first);
        first = last;
        used.append(room.first().room);
        if (blocked.contains(room.first().room, Qt::CaseInsensitive))
            continue;
        const int free = room.first().roomBeds - peakBeds(room, from, to);
        if (free <= 0)
            continue;
        total += free;
        const int row = sortedInsert(grid, room.first().room);
        grid.setCell(row, 2, QString::number(room.first().roomBeds));
        grid.setCell(row, 3, room.first().type);
        grid.setCell(row, 4, QString::number(free));
        grid.setCell(row, 5, genderText(room));
    }
    return total;
}

// Takes the chosen lines off the list; returns the free beds of rooms that
// only the chosen list uses in part.
int takeChosen(TextGrid& grid, const TextGrid& chosen, const QDate& from, const QDate& to,
               const QStringList& used, const QStringList& blocked)
{
    int added = 0;
    for (int r = 0; r < chosen.rowCount(); ++r) {
        const QString number = chosen.key(r);
        // A line outside the period takes nothing from it.
        if (number.isEmpty() || !chosenOverlaps(chosen, r, from, to))
            continue;
        const int beds = chosen.cell(r, chosen::Beds).toInt();
        const int listed = grid.findKey(number);
        if (listed >= 0) {
            const int free = grid.cell(listed, 4).toInt() - beds;
            if (free < 1)
                removeRow(grid, listed);
            else
                grid.setCell(listed, 4, QString::number(free));
            continue;
        }
        // Not listed although other groups use it: it is full already.
        if (used.contains(number, Qt::CaseInsensitive) ||
            blocked.contains(number, Qt::CaseInsensitive))
            continue;
        const int roomBeds = chosen.cell(r, chosen::RoomBeds).toInt();
        if (beds >= roomBeds)
            continue;
        const int row = sortedInsert(grid, number);
        grid.setCell(row, 2, QString::number(roomBeds));
        grid.setCell(row, 3, chosen.cell(r, chosen::Type));
        grid.setCell(row, 4, QString::number(roomBeds - beds));
        added += roomBeds - beds;
    }
    return added;
}
} // namespace

AvailabilityLabels Availability::fillFreeRooms(QSqlDatabase db, const AvailabilityRequest& request,
                                               TextGrid& grid)
{
    grid = freeRoomsGrid();
    if (!m_rooms)
        loadRooms(db, request);
    int rooms = 0;
    int beds = 0;
    int described = 0;
    for (const Room& room : *m_rooms) {
        // A room the editor already holds for the period is not free any more.
        if (heldByChosen(request, room.number))
            continue;
        ++rooms;
        beds += room.beds;
        described += descriptionBeds(room.description, room.beds);
        const int row = sortedInsert(grid, room.number);
        grid.setCell(row, 2, QString::number(room.beds));
        grid.setCell(row, 3, room.type);
        grid.setCell(row, 4, room.description);
        // Filtered rooms still count: the labels tell what is free in all.
        if (!passesFilters(grid, row, request.filters))
            removeRow(grid, row);
    }
    AvailabilityLabels labels;
    labels.rooms = QStringLiteral("Pokoi : ") + QString::number(rooms);
    labels.beds = bedsLabel(beds);
    if (described != beds)
        labels.beds += QStringLiteral(" (opis: ") + QString::number(described) + QLatin1Char(')');
    return labels;
}

AvailabilityLabels Availability::fillFreePlaces(QSqlDatabase db, const AvailabilityRequest& request,
                                                TextGrid& grid)
{
    grid = freePlacesGrid();
    if (!m_lines)
        loadLines(db, request);
    QStringList used;
    int total = listOthers(grid, *m_lines, request.from, request.to, m_blocked, used);
    if (request.chosen)
        total += takeChosen(grid, *request.chosen, request.from, request.to, used, m_blocked);
    for (int r = grid.rowCount() - 1; r >= 0; --r)
        if (!grid.key(r).isEmpty() && !passesFilters(grid, r, request.filters))
            removeRow(grid, r);
    return {QString(), bedsLabel(total)};
}

int descriptionBeds(const QString& description, int roomBeds)
{
    const qsizetype open = description.indexOf(QLatin1Char('('));
    const qsizetype close = description.indexOf(QLatin1Char(')'));
    if (open < 0 || close < 0)
        return roomBeds;
    const QString inside = close > open ? description.mid(open + 1, close - open - 1) : QString();
    int sum = 0;
    int number = 0;
    for (QChar c : inside) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            number = number * 10 + (c.unicode() - '0');
        } else {
            sum += number;
            number = 0;
        }
    }
    return sum + number;
}

int peakBeds(const QList<TPokojData>& lines, const QDate& from, const QDate& to)
{
    int peak = 0;
    for (QDate d = from; d.isValid() && d <= to; d = d.addDays(1)) {
        int sum = 0;
        for (const TPokojData& line : lines)
            if (line.from.isValid() && line.to.isValid() && line.from <= d && line.to > d)
                sum += line.beds;
        peak = std::max(peak, sum);
    }
    return peak;
}

QString genderText(const QList<TPokojData>& lines)
{
    auto any = [&](const char* code) {
        return std::any_of(lines.cbegin(), lines.cend(),
                           [&](const TPokojData& l) { return l.gender == QLatin1String(code); });
    };
    QString text;
    if (any("M"))
        text += QLatin1Char('M');
    if (any("K"))
        text += QLatin1Char('K');
    return text;
}

bool passesFilters(const TextGrid& grid, int row, const QStringList& filters)
{
    const QLocale locale;
    for (int i = 0; i < filters.size() && i < 4; ++i) {
        if (filters[i].isEmpty())
            continue;
        if (!locale.toLower(grid.cell(row, i + 1)).contains(locale.toLower(filters[i])))
            return false;
    }
    return true;
}

bool chosenOverlaps(const TextGrid& chosen, int row, const QDate& from, const QDate& to)
{
    return readDateCell(chosen.cell(row, chosen::From)) <= to &&
           readDateCell(chosen.cell(row, chosen::To)) > from;
}
