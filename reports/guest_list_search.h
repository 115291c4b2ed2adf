#pragma once

#include "reports/guest_lists.h"

#include <QString>
#include <QStringList>

class RowSet;

// The filters the search fields of the guest list windows make, conditions
// joined by " AND " in the order of the fields; empty fields add nothing.

// Surname, first name, group name, room number (each "begins with"), then the
// arrival and departure days (each "equal to").
QString currentGuestsSearch(const QStringList& fields);
// Group name and room number ("begins with"), then arrival, departure and beds,
// compared with the typed text as it stands, so the filter refuses what is no day or number.
QString roomListSearch(const QStringList& fields);

// Opens a window's row set on one of the guest list statements.
void openStatement(RowSet& rows, const Statement& statement);
