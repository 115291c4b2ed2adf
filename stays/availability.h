#pragma once

#include "stays/text_grid.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <optional>

// One room line of another group while free places are computed.
struct TPokojData {
    QString room;
    int roomBeds = 0;
    QString type;
    int beds = 0; // beds taken by the line
    QDate from;
    QDate to;
    QString gender;
};

// What one filling of an availability list needs.
struct AvailabilityRequest {
    QDate from;                       // arrival day of the group period
    QDate to;                         // departure day
    int reservationId = 0;            // R: its stored lines do not count (0 new, -2 none)
    int accommodationId = 0;          // K: likewise
    const TextGrid* chosen = nullptr; // the editor's chosen lines, not stored yet
    QStringList filters;              // the four filter texts above the list
};

// The two labels of the editor's bottom bar after a filling.
struct AvailabilityLabels {
    QString rooms; // "Pokoi : n", or empty
    QString beds;  // "Miejsc : n" with " (opis: m)" when the descriptions differ
};

// The free-rooms and free-places lists of a period. The query results are
// kept from the first filling until reread(), so adding rooms, switching
// pages and filtering do not go back to the database.
class Availability {
public:
    static TextGrid freeRoomsGrid();  // titles of "Wolne pokoje"
    static TextGrid freePlacesGrid(); // titles of "Wolne miejsca"

    // Rooms that no other group uses in the period and that are not blocked
    // on any of its nights, less those the chosen list takes. Throws DbError.
    AvailabilityLabels fillFreeRooms(QSqlDatabase db, const AvailabilityRequest& request,
                                     TextGrid& grid);
    // Rooms that other groups or the chosen list use in part, with their
    // remaining beds; blocked rooms are left out. Throws DbError.
    AvailabilityLabels fillFreePlaces(QSqlDatabase db, const AvailabilityRequest& request,
                                      TextGrid& grid);

    // Drops both cached query results.
    void reread();
    bool hasCachedRooms() const { return m_rooms.has_value(); }
    bool hasCachedLines() const { return m_lines.has_value(); }

private:
    void loadRooms(QSqlDatabase db, const AvailabilityRequest& request);
    void loadLines(QSqlDatabase db, const AvailabilityRequest& request);

    struct Room {
        QString number;
        int beds = 0;
        QString type;
        QString description;
    };
    std::optional<QList<Room>> m_rooms;
    std::optional<QList<TPokojData>> m_lines;
    QStringList m_blocked; // rooms blocked in the period, read with the lines
};

// Beds written in parentheses in a room's description: the sum of the
// numbers between the first "(" and the first ")" ("pokój (2+1)" gives 3);
// a description without both gives the room's beds.
int descriptionBeds(const QString& description, int roomBeds);

// The highest number of beds the lines take on any day from `from` to `to`,
// both days included.
int peakBeds(const QList<TPokojData>& lines, const QDate& from, const QDate& to);
// "M" when any line has "M", followed by "K" when any has "K".
QString genderText(const QList<TPokojData>& lines);

// A row fails filter i when the filter is not empty and its lower-case text
// is not in the lower-case text of column i (filters 0..3 stand over
// columns 1..4).
bool passesFilters(const TextGrid& grid, int row, const QStringList& filters);

// A chosen line counts against the period when its "Od" is on or before the
// departure day and its "Do" is after the arrival day.
bool chosenOverlaps(const TextGrid& chosen, int row, const QDate& from, const QDate& to);
