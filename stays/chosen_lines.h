#pragma once

#include "stays/text_grid.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

// The columns of the editor's chosen list ("Wybrane pokoje").
namespace chosen {
inline constexpr int Room = 1;     // "Nr pokoju"
inline constexpr int RoomBeds = 2; // "Miejsc", the room's beds
inline constexpr int Type = 3;     // "Typ"
inline constexpr int Beds = 4;     // "Rezw. miejsc.", beds taken by the line
inline constexpr int Gender = 5;   // "K/M"
inline constexpr int From = 6;     // "Od", yyyy-mm-dd
inline constexpr int To = 7;       // "Do", yyyy-mm-dd
} // namespace chosen

TextGrid chosenGrid(); // an empty chosen list with its titles

// One room line as a save writes it.
struct RoomLine {
    QString room;
    QString from; // the row's "Od" text
    QString to;
    int beds = 1;
    QString gender;
};

// What "Dodaj >>" takes from one row of an availability list.
struct RoomToAdd {
    QString room;
    QString roomBeds;
    QString type;
    int beds = 0;                  // n
    std::optional<QString> gender; // set when single beds are booked
    QString from;                  // the line period, yyyy-mm-dd
    QString to;
};

// Beds to take from an availability row: the room's beds (free rooms) or
// the free beds (free places, 1 when not a number), capped by the count of
// single beds when `singles` (the count is 1 when not a number).
int bedsToAdd(const QString& bedsCell, bool fromFreePlaces, bool singles, const QString& countText);

// Adds a room to the chosen list: a row of the same room with the same dates
// grows, a row of the same room with other dates gets a new row placed where
// "xxx" sorts, otherwise the room is inserted in order. Returns the row.
int addToChosen(TextGrid& chosenList, const RoomToAdd& add);

// The beds summary of the bottom bar.
struct BedsSummary {
    QString text;
    bool red = false;
    bool personsReset = false; // the persons field was not a number and becomes "1"
};
BedsSummary bedsSummary(const QString& personsText, const TextGrid& chosenList);

// The stored group period: the earlier of the arrival and the lines' first
// "Od", the later of the departure and the lines' last "Do".
std::pair<QDate, QDate> groupDates(const QDate& from, const QDate& to, const TextGrid& chosenList);

// Every row with a room number, in list order; beds 1 when not a number.
QList<RoomLine> linesOf(const TextGrid& chosenList);

// A whole number typed by the user, or `fallback`.
int numberOr(const QString& text, int fallback);
