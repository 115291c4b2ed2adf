#pragma once

#include "stays/text_grid.h"
#include "tests/support/test_env.h"

#include <QDate>
#include <QString>
#include <QStringList>

// Day n of August 2026, so that tables can speak of "days 1 to 5".
inline QDate day(int n)
{
    return QDate(2026, 7, 31).addDays(n);
}
inline QString dayStr(int n)
{
    return day(n).toString(QStringLiteral("yyyy-MM-dd"));
}

// Rooms as "nr:beds:type:description" texts.
void addRooms(TestEnv& env, const QStringList& rooms);

// Stored lines as "R|K id room beds from to [gender]" texts ("R7 12 2 1 3 M"):
// a reservation or accommodation line of group id, from day to day. The
// group header is created when it is missing.
void addLines(TestEnv& env, const QStringList& lines);

// A chosen list from "room:roomBeds:type:beds:gender:from:to" texts, with
// from and to as day numbers.
TextGrid chosenFrom(const QStringList& rows);

// Column 1..n texts of each non-blank row, "|"-joined.
QStringList gridRows(const TextGrid& grid, int lastColumn);
