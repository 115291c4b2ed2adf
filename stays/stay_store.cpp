#include "stays/stay_store.h"

#include "core/days.h"
#include "core/prompter.h"
#include "db/engine.h"
#include "stays/chosen_lines.h"
#include "stays/guest_placement.h"
#include "stays/stay_sql.h"

#include <QHash>

bool isReservation(StayMode mode)
{
    return mode == StayMode::NewReservation || mode == StayMode::EditReservation;
}

bool isChange(StayMode mode)
{
    return mode == StayMode::EditReservation || mode == StayMode::EditAccommodation;
}

int reservationIdFor(StayMode mode, int groupId)
{
    if (!isChange(mode))
        return 0;
    return mode == StayMode::EditReservation ? groupId : -2;
}

int accommodationIdFor(StayMode mode, int groupId)
{
    if (!isChange(mode))
        return 0;
    return mode == StayMode::EditAccommodation ? groupId : -2;
}

StayForm loadStay(QSqlDatabase db, StayMode mode, int groupId)
{
    StayForm form;
    form.chosen = chosenGrid();
    const bool reservation = isReservation(mode);
    {
        QSqlQuery head =
            runSql(db,
                   reservation ? QStringLiteral("SELECT * FROM Rez_hot WHERE Identyfikator = :ID")
                               : QStringLiteral("SELECT * FROM Kwat_hot WHERE Identyfikator = :ID"),
                   {{":ID", groupId}});
        if (head.next()) {
            form.name = head.value(QStringLiteral("Nazwa")).toString();
            form.persons = head.value(QStringLiteral("Osob")).toString();
            form.notes = head.value(QStringLiteral("Notatki")).toString();
            form.from = dayFromValue(head.value(QStringLiteral("Od")));
            form.to = dayFromValue(head.value(QStringLiteral("Do")));
        }
    }
    QSqlQuery q = runSql(
        db,
        QStringLiteral("SELECT K.Nr_pokoju, P.Miejsc, P.Typ, K.Miejsc AS Miejsc1, K.Jaki, K.Od, "
                       "K.\"Do\" FROM %1 AS K INNER JOIN Pokoje AS P ON K.Nr_pokoju = P.Nr_Pokoju "
                       "WHERE K.Identyfikator = :ID ORDER BY P.Nr_Pokoju")
            .arg(reservation ? QStringLiteral("Rez_msc") : QStringLiteral("Kwat_msc")),
        {{":ID", groupId}});
    while (q.next()) {
        const QString room = q.value(0).toString();
        // A second line of a room keeps its own row, as one added for other days.
        const int row = form.chosen.findKey(room) < 0
                            ? sortedInsert(form.chosen, room)
                            : sortedInsert(form.chosen, QStringLiteral("xxx"));
        form.chosen.setCell(row, chosen::Room, room);
        form.chosen.setCell(row, chosen::RoomBeds, q.value(1).toString());
        form.chosen.setCell(row, chosen::Type, q.value(2).toString());
        form.chosen.setCell(row, chosen::Beds, q.value(3).toString());
        form.chosen.setCell(row, chosen::Gender, q.value(4).toString());
        form.chosen.setCell(row, chosen::From, dayText(dayFromValue(q.value(5))));
        form.chosen.setCell(row, chosen::To, dayText(dayFromValue(q.value(6))));
    }
    return form;
}

namespace {
struct Span {
    QDate from;
    QDate to;
    int beds = 0;
};

bool tooManyBeds(const QList<Span>& mine, const QList<Span>& others, int roomBeds)
{
    for (const Span& line : mine) {
        for (QDate night = line.from; night < line.to; night = night.addDays(1)) {
            int taken = 0;
            for (const QList<Span>* spans : {&mine, &others})
                for (const Span& s : *spans)
                    if (s.from <= night && night < s.to)
                        taken += s.beds;
            if (taken > roomBeds)
                return true;
        }
    }
    return false;
}
} // namespace

QStringList overbookedRooms(QSqlDatabase db, int reservationId, int accommodationId,
                            const TextGrid& chosenList)
{
    const QList<RoomLine> lines = linesOf(chosenList);
    if (lines.isEmpty())
        return {};
    QHash<QString, QList<Span>> mine;
    QStringList order;
    QDate first;
    QDate last;
    for (const RoomLine& line : lines) {
        const Span s{readDateCell(line.from), readDateCell(line.to), line.beds};
        const QString key = line.room.toLower();
        if (!mine.contains(key))
            order.append(line.room);
        mine[key].append(s);
        first = first.isValid() ? std::min(first, s.from) : s.from;
        last = last.isValid() ? std::max(last, s.to) : s.to;
    }
    QHash<QString, int> roomBeds;
    {
        QSqlQuery q = runSql(db, QStringLiteral("SELECT Nr_Pokoju, Miejsc FROM Pokoje"));
        while (q.next())
            roomBeds.insert(q.value(0).toString().toLower(), q.value(1).toInt());
    }
    QHash<QString, QList<Span>> others;
    {
        QSqlQuery q = runSql(db,
                             QStringLiteral("SELECT Nr_pokoju, Miejsc1, Od, \"Do\" FROM Miejsca "
                                            "WHERE \"Do\" > :od AND Od < :do "
                                            "AND ID_KWAT <> :K AND ID_REZ <> :R"),
                             {{":od", dayValue(first)},
                              {":do", dayValue(last)},
                              {":K", accommodationId},
                              {":R", reservationId}});
        while (q.next())
            others[q.value(0).toString().toLower()].append(
                {dayFromValue(q.value(2)), dayFromValue(q.value(3)), q.value(1).toInt()});
    }
    QStringList full;
    for (const QString& room : order) {
        const QString key = room.toLower();
        if (roomBeds.contains(key) && tooManyBeds(mine[key], others.value(key), roomBeds[key]))
            full.append(room);
    }
    return full;
}

QStringList blockedRooms(QSqlDatabase db, const TextGrid& chosenList)
{
    QStringList blocked;
    for (const RoomLine& line : linesOf(chosenList)) {
        if (blocked.contains(line.room, Qt::CaseInsensitive))
            continue;
        // The nights of the line are its arrival day to the day before departure.
        if (scalarSql(db,
                      QStringLiteral("SELECT count(*) FROM Blokady WHERE %1 "
                                     "AND Od < :Do AND \"Do\" >= :Od")
                          .arg(equalsIgnoringAsciiCaseSql(db, QStringLiteral("Nr_pokoju"),
                                                          QStringLiteral(":P"))),
                      {{":P", line.room},
                       {":Od", dayValue(readDateCell(line.from))},
                       {":Do", dayValue(readDateCell(line.to))}})
                .toInt() > 0)
            blocked.append(line.room);
    }
    return blocked;
}
