#pragma once

#include "stays/text_grid.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The four ways the stay editor works, fixed when it opens.
enum class StayMode { NewReservation, NewAccommodation, EditReservation, EditAccommodation };

bool isReservation(StayMode mode);
bool isChange(StayMode mode);
// R and K handed to the availability lists: 0 for a new group, -2 for the
// kind of group not being edited.
int reservationIdFor(StayMode mode, int groupId);
int accommodationIdFor(StayMode mode, int groupId);

// What the editor holds of a group while it is open.
struct StayForm {
    QString name;
    QString persons; // as typed
    QString notes;
    QDate from;
    QDate to;
    TextGrid chosen;
};

// Reads a stored group and its room lines (lines of rooms that no longer
// exist are left out). Throws DbError; a missing group gives an empty form.
StayForm loadStay(QSqlDatabase db, StayMode mode, int groupId);

// Rooms (as the chosen list writes them, each once) where the chosen lines
// together with every other group's stored lines would take more beds than
// the room has on some night.
QStringList overbookedRooms(QSqlDatabase db, int reservationId, int accommodationId,
                            const TextGrid& chosenList);

// Rooms (as the chosen list writes them, each once) blocked on some night of
// a chosen line: out of use for a renovation or damage.
QStringList blockedRooms(QSqlDatabase db, const TextGrid& chosenList);

struct SaveOutcome {
    enum Kind {
        Saved,    // written and committed
        Declined, // the double-booking or blocked-room question was answered No; nothing written
        Refused,  // the new group's header was refused (reported); nothing written
        NoRooms,  // a new group with no room lines (the receptionist is told); nothing written
    } kind = Saved;
    int groupId = 0; // the new or changed group
};

// Saves the form in one transaction. Rooms with too few free beds are asked
// about first ("Zajęte miejsca"), and so are blocked rooms ("Zablokowane
// pokoje"), with no transaction open, and checked again in the transaction. Refused room lines,
// register entries and header updates are reported (once the transaction has ended) and skipped;
// any other failure throws DbError and leaves the database as it was. `groupId` is R or K of a
// change. A new group needs at least one room line.
SaveOutcome saveStay(QSqlDatabase db, StayMode mode, int groupId, const StayForm& form);
