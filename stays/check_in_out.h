#pragma once

#include "core/money.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>

#include <optional>

// Check-in of a reservation group: a new accommodation group with the
// reservation's header and room lines, the reservation deleted, and one empty
// person record with an incomplete register entry per person, placed bed by
// bed in the lines; persons beyond the beds get entries without a room.
//
// Everything runs in one transaction. A failure of the header, the copy of
// the lines, the deletion of the reservation or a person record ends the
// check-in, reported, with nothing written. A refused register entry is
// reported and skipped (not counted); without a room three refusals in a row
// stop the placing. Returns the new group's identifier, or nullopt.
std::optional<int> checkInReservation(QSqlDatabase db, int reservationId);

// Whether an accommodation group is settled: its calculation's gross minus
// the prepayment equals the sum of its payments exactly (no payments = 0).
// A group without a calculation is not settled. Throws DbError.
bool isGroupSettled(QSqlDatabase db, int groupId);

// The count of the group's register entries still without full data. Throws DbError.
int incompleteEntries(QSqlDatabase db, int groupId);

// The group's planned departure (its header's "Do"); an invalid day when the
// group is gone or has none. Throws DbError.
QDate plannedDeparture(QSqlDatabase db, int groupId);

// The writes of check-out, in one transaction: with a valid `leavingDay`, the
// group's register entries that end after it end on it (one that begins later
// ends on its own arrival day, never before it); then every register entry of
// the group marked checked out, the person records of its incomplete entries
// deleted, its room lines and header deleted; calculation, payments and
// register entries stay. A failed deletion of the person records is reported
// and the check-out goes on; any other failure is reported and nothing is
// written. Returns true when the group is gone.
bool checkOutGroup(QSqlDatabase db, int groupId, const QDate& leavingDay = {});

// Deletes a reservation group with its room lines, in one transaction; a
// failure is reported under "Usuwanie" and nothing is deleted.
bool deleteReservation(QSqlDatabase db, int reservationId);
