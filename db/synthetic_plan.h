#pragma once

#include <QDate>
#include <QString>

#include <cstdint>
#include <random>
#include <vector>

// The shape of a synthetic hotel's history before any row is written: rooms,
// and groups with their room lines placed so that no room is ever given more
// beds on a night than it has. Days are counted from today (negative: past).
namespace synthetic {

struct RoomType {
    const char* typ;
    int bedPrice;  // zł a night for a line taking part of a room
    int roomPrice; // zł a night for a line taking the whole room
};
const std::vector<RoomType>& roomTypes();

struct RoomSpec {
    QString nr;
    int beds = 0;
    int type = 0; // index into roomTypes()
    QString opis;
};

struct PlannedLine {
    int room = 0; // index into Plan::rooms
    int beds = 0;
    char jaki = 0; // 'M', 'K' or 0 for none
};

// Where a group stands today: gone (register kept), in the house, or still to come.
enum class Stage : std::uint8_t { CheckedOut, Staying, Reserved };

struct PlannedGroup {
    int from = 0; // arrival day
    int to = 0;   // departure day
    int persons = 0;
    Stage stage = Stage::CheckedOut;
    std::vector<PlannedLine> lines;
};

struct Plan {
    std::vector<RoomSpec> rooms;
    std::vector<PlannedGroup> groups; // in order of arrival
    int firstDay = 0;                 // the first day of the history
};

// `years` of history up to today at about 60 % of the beds (more in summer and
// in the winter holidays), and a year of reservations thinning out with distance.
Plan planHotel(int years, int rooms, const QDate& today, std::mt19937& rng);

} // namespace synthetic
