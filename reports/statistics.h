#pragma once

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>

// The figures of the season report for the statistics office and of the
// persons and person-nights window. A stay belongs to the month in which it
// begins; all its nights count there.

// Usage among the register entries that arrived in [start, end].
struct UsageFigures {
    int persons = 0;       // distinct persons
    qint64 nights = 0;     // sum of the stays' nights
    qint64 roomNights = 0; // each distinct room-and-dates once, positive lengths only
};

struct SeasonMonthRow {
    QString month; // "Lipiec", "Sierpień", "Wrzesień"
    int days = 0;  // days of operation
    QString beds;  // bed capacity as text; empty when there are no rooms
    int rooms = 0; // room count
    UsageFigures all;
    UsageFigures foreign; // guests whose country is not the home country
};

struct SeasonCountryRow {
    int countryId = 0;
    QString name;
    QList<UsageFigures> months; // July, August, September
};

// July, August and September of `year`, in that order.
QList<std::pair<QDate, QDate>> seasonMonths(int year);

// Throws DbError.
UsageFigures usage(QSqlDatabase db, const QDate& start, const QDate& end, int countryCondition);
// countryCondition: 0 = every guest, -1 = foreign guests (country above 1), n > 0 = country n.
SeasonMonthRow seasonMonthRow(QSqlDatabase db, const QDate& start, const QDate& end);
// Every foreign country of the country table, in the table's order.
QList<int> foreignCountries(QSqlDatabase db);
SeasonCountryRow seasonCountryRow(QSqlDatabase db, int countryId, int year);

// Persons and nights of the register entries with a room inside [start, end],
// stays crossing the period's edges cut at the edges. Persons count entries.
struct PersonNights {
    qint64 persons = 0;
    qint64 nights = 0;
};
PersonNights personNights(QSqlDatabase db, const QDate& start, const QDate& end);
