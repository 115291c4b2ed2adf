#pragma once

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <optional>

// The figures of the statistics office's monthly form KT-1 for one month.
// They rest only on the register entries' country, dates and room, the room
// table, the closed days of the house and the room blocks: never on names,
// so anonymised guests keep their place in the figures.
//
// - Days of operation: the days of the month less the days the whole house
//   was closed.
// - Rooms and bed places: the room table as it stands (the state on the last
//   day of the month), and of them those open all year.
// - Bed places available (bed-nights): over the open days, the beds of the
//   rooms not blocked that day; room-days likewise with rooms.
// - Tourists accommodated: arrivals, each register entry beginning in the
//   month once (a guest returning within the month counts again); foreign
//   means a country of residence other than the home country (ID 1).
// - Nights given: the nights of the entries that fall inside the month, a
//   stay crossing the month's edges cut at them (30 June to 3 July gives
//   June 1 night and July 2). Entries without a room count as well: the guest
//   slept in the house.
// - Rooms rented: room-nights inside the month, a room occupied by several
//   guests on a night counted once; only entries with a room count.
// - Occupancy: nights per bed-night available, room-nights per room-day
//   available, in per cent; nothing when nothing was available.
struct Kt1Country {
    int id = 0;
    QString name;
    int tourists = 0;
    qint64 nights = 0;
    bool operator==(const Kt1Country&) const = default;
};

struct Kt1Figures {
    QDate first; // the month's first and last day
    QDate last;
    int calendarDays = 0;
    int closedDays = 0;
    int daysOfOperation = 0;
    int rooms = 0;
    int beds = 0;
    int roomsAllYear = 0;
    int bedsAllYear = 0;
    qint64 bedNightsAvailable = 0;
    qint64 roomDaysAvailable = 0;
    int tourists = 0;
    int foreignTourists = 0;
    qint64 nights = 0;
    qint64 foreignNights = 0;
    qint64 roomNights = 0;
    // Foreign countries of residence with any tourist or night, by name.
    QList<Kt1Country> countries;

    std::optional<double> bedOccupancy() const;  // per cent
    std::optional<double> roomOccupancy() const; // per cent
    // The sums of the country rows, which must equal the foreign totals.
    int countryTourists() const;
    qint64 countryNights() const;
};

// The figures of the month (year, month). Throws DbError.
Kt1Figures kt1Figures(QSqlDatabase db, int year, int month);

// The months the form can be made for: every month in which a register
// entry spends a night or arrives, and the month of `today`; newest first.
// Throws DbError.
QList<QDate> kt1Months(QSqlDatabase db, const QDate& today);

// A figure in per cent with one decimal and the Polish comma ("45,3"), or
// empty for none.
QString percentText(const std::optional<double>& value);

// The establishment's particulars printed at the head of the form (Config).
struct Kt1Establishment {
    QString name;
    QString address;
    QString kind;
    QString regon;
    QString statisticsId;
    QString nip;
};
// Throws DbError; a database without its Config row gives empty texts.
Kt1Establishment readEstablishment(QSqlDatabase db);

// One line of the form: its number ("1", "2a"), its label and its value as
// printed (whole numbers plain, per cents with one decimal and a comma).
struct Kt1Line {
    QString number;
    QString label;
    QString value;
};
// The figures in the form's order, as both the printout and the file give them.
QList<Kt1Line> kt1Lines(const Kt1Figures& f);

// The month as the form names it: "lipiec 2026".
QString kt1MonthText(const QDate& first);
