// The saves of the stay editor's four modes, each in one transaction.
#include "core/prompter.h"
#include "stays/chosen_lines.h"
#include "stays/guest_placement.h"
#include "stays/stay_sql.h"
#include "stays/stay_store.h"

#include <algorithm>
#include <optional>

namespace {
struct Header {
    QVariant name;
    QVariant persons;
    QVariant from;
    QVariant to;
    QVariant notes;
};

Header headerOf(const StayForm& form, bool personsAsTyped)
{
    const auto [from, to] = groupDates(form.from, form.to, form.chosen);
    return {textValue(form.name),
            personsAsTyped ? QVariant(form.persons) : QVariant(numberOr(form.persons, 1)),
            dayValue(from), dayValue(to), textValue(form.notes)};
}

int insertHeader(QSqlDatabase db, const QString& table, const QString& caption, const Header& h)
{
    return static_cast<int>(
        insertSkippable(db, caption,
                        QStringLiteral("INSERT INTO %1 (Nazwa, Osob, Od, \"Do\", Notatki) "
                                       "VALUES (:Nazwa, :Osob, :Od, :Do, :Notatki)")
                            .arg(table),
                        {{":Nazwa", h.name},
                         {":Osob", h.persons},
                         {":Od", h.from},
                         {":Do", h.to},
                         {":Notatki", h.notes}}));
}

void updateHeader(QSqlDatabase db, const QString& table, const QString& caption, int groupId,
                  const Header& h)
{
    runSkippable(db, caption,
                 QStringLiteral("UPDATE %1 SET Nazwa = :Nazwa, Osob = :Osob, Od = :Od, "
                                "\"Do\" = :Do, Notatki = :Notatki WHERE Identyfikator = :ID")
                     .arg(table),
                 {{":Nazwa", h.name},
                  {":Osob", h.persons},
                  {":Od", h.from},
                  {":Do", h.to},
                  {":Notatki", h.notes},
                  {":ID", groupId}});
}

void appendLines(QSqlDatabase db, const QString& table, const QString& caption, int groupId,
                 const TextGrid& chosenList)
{
    for (const RoomLine& line : linesOf(chosenList))
        runSkippable(db, caption,
                     QStringLiteral("INSERT INTO %1 (Identyfikator, Od, \"Do\", Nr_pokoju, "
                                    "Miejsc, Jaki) VALUES (:ID, :Od, :Do, :Nr, :Miejsc, :Jaki)")
                         .arg(table),
                     {{":ID", groupId},
                      {":Od", line.from},
                      {":Do", line.to},
                      {":Nr", textValue(line.room)},
                      {":Miejsc", line.beds},
                      {":Jaki", textValue(line.gender)}});
}

const QString kReservationLine = QStringLiteral("Dopisywanie pozycji rezerwacji");
const QString kAccommodationLine = QStringLiteral("Dopisywanie pozycji kwaterunku");

SaveOutcome newReservation(QSqlDatabase db, const StayForm& form)
{
    const int g = insertHeader(db, QStringLiteral("Rez_hot"), QStringLiteral("Nowa rezerwacja"),
                               headerOf(form, false));
    if (g == 0)
        return {SaveOutcome::Refused, 0};
    appendLines(db, QStringLiteral("Rez_msc"), kReservationLine, g, form.chosen);
    return {SaveOutcome::Saved, g};
}

SaveOutcome changeReservation(QSqlDatabase db, int r, const StayForm& form)
{
    updateHeader(db, QStringLiteral("Rez_hot"), QStringLiteral("Zmiana rezerwacji"), r,
                 headerOf(form, true));
    runSql(db, QStringLiteral("DELETE FROM Rez_msc WHERE Identyfikator = :ID"), {{":ID", r}});
    appendLines(db, QStringLiteral("Rez_msc"), kReservationLine, r, form.chosen);
    return {SaveOutcome::Saved, r};
}

SaveOutcome newAccommodation(QSqlDatabase db, const StayForm& form)
{
    const Header h = headerOf(form, false);
    const int g =
        insertHeader(db, QStringLiteral("Kwat_hot"), QStringLiteral("Nowy kwaterunek"), h);
    if (g == 0)
        return {SaveOutcome::Refused, 0};
    appendLines(db, QStringLiteral("Kwat_msc"), kAccommodationLine, g, form.chosen);
    const auto [from, to] = groupDates(form.from, form.to, form.chosen);
    placeGroupPersons(db, g, numberOr(form.persons, 0), from, to);
    return {SaveOutcome::Saved, g};
}

// True when some row of the chosen list holds the room with these beds and
// dates. A room may have several rows, one per period.
bool chosenHolds(const TextGrid& chosenList, const QString& room, const QString& beds,
                 const QString& from, const QString& to)
{
    for (int row = 0; row < chosenList.rowCount(); ++row)
        if (chosenList.key(row).compare(room, Qt::CaseInsensitive) == 0 &&
            chosenList.cell(row, chosen::Beds) == beds &&
            chosenList.cell(row, chosen::From) == from && chosenList.cell(row, chosen::To) == to)
            return true;
    return false;
}

// Rooms whose stored lines the chosen list no longer holds as they were:
// their register entries lose the room and are placed again at registration.
QStringList affectedRooms(QSqlDatabase db, int k, const TextGrid& chosenList)
{
    QStringList rooms;
    QSqlQuery q = runSql(db, QStringLiteral("SELECT * FROM Kwat_msc WHERE Identyfikator = :ID"),
                         {{":ID", k}});
    while (q.next()) {
        const QString room = q.value(QStringLiteral("Nr_pokoju")).toString();
        if (!chosenHolds(chosenList, room, q.value(QStringLiteral("Miejsc")).toString(),
                         q.value(QStringLiteral("Od")).toString(),
                         q.value(QStringLiteral("Do")).toString()))
            rooms.append(room);
    }
    return rooms;
}

void clearRooms(QSqlDatabase db, int k, const QStringList& rooms)
{
    QString sql =
        QStringLiteral("UPDATE Ksiazka SET Nr_pokoju = '' WHERE Identyfikator_g = :ID AND (");
    QList<QPair<QString, QVariant>> bindings{{QStringLiteral(":ID"), k}};
    for (qsizetype i = 0; i < rooms.size(); ++i) {
        const QString name = QStringLiteral(":r%1").arg(i);
        sql += QStringLiteral("(Nr_pokoju = %1) OR ").arg(name);
        bindings.append({name, rooms[i]});
    }
    sql += QStringLiteral("1=0)");
    runSqlList(db, sql, bindings);
}

SaveOutcome changeAccommodation(QSqlDatabase db, int k, const StayForm& form)
{
    updateHeader(db, QStringLiteral("Kwat_hot"), QStringLiteral("Zmiana kwaterunku"), k,
                 headerOf(form, false));
    // The calculation follows the lines; billing computes it anew. An issued
    // invoice stays as it was issued: a change of the stay is then corrected
    // by a correcting invoice, never by pricing the invoice again.
    runSql(db,
           QStringLiteral("DELETE FROM Kalk_det WHERE Identyfikator = :ID AND NOT EXISTS "
                          "(SELECT 1 FROM Kalk WHERE Identyfikator = :ID AND Typ = 2)"),
           {{":ID", k}});
    runSql(db,
           QStringLiteral("DELETE FROM Kalk WHERE Identyfikator = :ID AND coalesce(Typ, 0) <> 2"),
           {{":ID", k}});
    const QStringList rooms = affectedRooms(db, k, form.chosen);
    runSql(db, QStringLiteral("DELETE FROM Kwat_msc WHERE Identyfikator = :ID"), {{":ID", k}});
    appendLines(db, QStringLiteral("Kwat_msc"), kAccommodationLine, k, form.chosen);
    if (!rooms.isEmpty())
        clearRooms(db, k, rooms);
    const int entries =
        scalarSql(db, QStringLiteral("SELECT count(*) FROM Ksiazka WHERE Identyfikator_g = :ID"),
                  {{":ID", k}})
            .toInt();
    const auto [from, to] = groupDates(form.from, form.to, form.chosen);
    addPersonsWithoutRoom(db, k, entries, numberOr(form.persons, 0), from, to);
    return {SaveOutcome::Saved, k};
}

// A group removed meanwhile (deleted or checked in from another window or
// copy) must not get its lines back: they would block rooms with no group.
void requireGroup(QSqlDatabase db, StayMode mode, int groupId)
{
    const QString table =
        isReservation(mode) ? QStringLiteral("Rez_hot") : QStringLiteral("Kwat_hot");
    if (scalarSql(db,
                  QStringLiteral("SELECT count(*) FROM %1 WHERE Identyfikator = :ID").arg(table),
                  {{":ID", groupId}})
            .toInt() == 0)
        throw RezydoError(
            QStringLiteral("Tej grupy nie ma już w bazie danych. Zmiany nie zostały zapisane."));
}

// The overbooked and the blocked rooms; a change of a group removed
// meanwhile is refused.
struct RoomCheck {
    QStringList full;
    QStringList blocked;
};

RoomCheck checkBeds(QSqlDatabase db, StayMode mode, int groupId, const StayForm& form)
{
    if (isChange(mode))
        requireGroup(db, mode, groupId);
    return {overbookedRooms(db, reservationIdFor(mode, groupId), accommodationIdFor(mode, groupId),
                            form.chosen),
            blockedRooms(db, form.chosen)};
}

// Ends a save's transaction without writing.
struct NotWritten {};

bool allAccepted(const QStringList& full, const QStringList& accepted)
{
    return std::all_of(full.cbegin(), full.cend(),
                       [&](const QString& room) { return accepted.contains(room); });
}

SaveOutcome write(QSqlDatabase db, StayMode mode, int groupId, const StayForm& form)
{
    switch (mode) {
    case StayMode::NewReservation:
        return newReservation(db, form);
    case StayMode::EditReservation:
        return changeReservation(db, groupId, form);
    case StayMode::NewAccommodation:
        return newAccommodation(db, form);
    case StayMode::EditAccommodation:
        return changeAccommodation(db, groupId, form);
    }
    return {SaveOutcome::Refused, 0};
}
} // namespace

SaveOutcome saveStay(QSqlDatabase db, StayMode mode, int groupId, const StayForm& form)
{
    if (!isChange(mode) && linesOf(form.chosen).isEmpty()) {
        const bool reservation = isReservation(mode);
        prompter().warn(reservation ? QStringLiteral("Nie wybrano żadnego pokoju. Rezerwacja nie "
                                                     "została zapisana.")
                                    : QStringLiteral("Nie wybrano żadnego pokoju. Kwaterunek nie "
                                                     "został zapisany."),
                        reservation ? QStringLiteral("Nowa rezerwacja")
                                    : QStringLiteral("Nowy kwaterunek"));
        return {SaveOutcome::NoRooms, 0};
    }
    // The question is asked with no transaction open: while it waits, the
    // other workstations must be able to write. The write checks again and
    // asks once more when beds went meanwhile in a room not yet agreed to.
    RoomCheck accepted;
    RoomCheck check = checkBeds(db, mode, groupId, form);
    for (;;) {
        if (!allAccepted(check.full, accepted.full)) {
            if (!prompter().ask(QStringLiteral("W pokojach: %1 w wybranym terminie nie ma już "
                                               "tylu wolnych miejsc. Czy mimo to zapisać?")
                                    .arg(check.full.join(QStringLiteral(", "))),
                                QStringLiteral("Zajęte miejsca"), false))
                return {SaveOutcome::Declined, groupId};
            accepted.full = check.full;
        }
        if (!allAccepted(check.blocked, accepted.blocked)) {
            if (!prompter().ask(QStringLiteral("Pokoje: %1 są w wybranym terminie zablokowane "
                                               "(wyłączone z użytku). Czy mimo to zapisać?")
                                    .arg(check.blocked.join(QStringLiteral(", "))),
                                QStringLiteral("Zablokowane pokoje"), false))
                return {SaveOutcome::Declined, groupId};
            accepted.blocked = check.blocked;
        }
        // The check and the write run again whole when another desk wrote
        // at the same moment. Beds gone meanwhile, or a refused save, roll
        // the transaction back: the first is asked about again.
        std::optional<SaveOutcome> outcome;
        try {
            runInTransaction(db, [&] {
                outcome.reset();
                check = checkBeds(db, mode, groupId, form);
                if (!allAccepted(check.full, accepted.full) ||
                    !allAccepted(check.blocked, accepted.blocked))
                    throw NotWritten{};
                outcome = write(db, mode, groupId, form);
                if (outcome->kind != SaveOutcome::Saved)
                    throw NotWritten{};
            });
        } catch (const NotWritten&) {
        }
        if (outcome)
            return *outcome;
    }
}
