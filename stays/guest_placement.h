#pragma once

#include <QDate>
#include <QSqlDatabase>

// The placeholder register entries of an accommodation group: one empty
// person record (country 1) and one incomplete register entry per person.
// All three run inside the caller's transaction. A refused register entry
// is reported under "Dodawanie wpisów do ksiązki meldunkowej", not counted,
// and its person record stays; a failing person record throws DbError and
// ends the caller's operation.

// Places up to `persons` persons bed by bed in the group's stored room lines
// (Kwat_msc, database order), each entry with its line's room and dates.
// Returns the number of entries stored.
int placePersonsInRooms(QSqlDatabase db, int groupId, int persons);

// Adds entries without a room, with the group's dates, until `placed`
// reaches `persons`; stops after three refusals in a row. Returns the new
// count of entries.
int addPersonsWithoutRoom(QSqlDatabase db, int groupId, int placed, int persons,
                          const QDate& groupFrom, const QDate& groupTo);

// Check-in and walk-in: both steps in turn. Returns the entries stored.
int placeGroupPersons(QSqlDatabase db, int groupId, int persons, const QDate& groupFrom,
                      const QDate& groupTo);
