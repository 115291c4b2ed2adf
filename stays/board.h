#pragma once

#include <QDate>
#include <QHash>
#include <QList>
#include <QSet>
#include <QSqlDatabase>
#include <QString>

#include <utility>

// A group on the planning board: reservations and accommodation groups are
// numbered apart, so the kind is part of the key.
struct BoardGroupKey {
    bool reservation = false;
    int id = 0;
    bool isValid() const { return id != 0; }
    friend bool operator==(const BoardGroupKey&, const BoardGroupKey&) = default;
};
inline size_t qHash(const BoardGroupKey& key, size_t seed = 0)
{
    return ::qHash(std::pair<bool, int>(key.reservation, key.id), seed);
}

struct BoardRoom {
    QString number;
    int beds = 0;
    QString type;
};

// A room line of a reservation or an accommodation group.
struct BoardLine {
    BoardGroupKey group;
    QString room;
    QDate from; // arrival day
    QDate to;   // departure day
    int beds = 0;
    QString gender; // "K", "M" or empty
};

struct BoardGroup {
    BoardGroupKey key;
    QString name;
    int persons = 0;
    QDate from;
    QDate to;
    QString notes;
    bool settled = false;
    int registered = 0; // register entries with full data
};

// What the board shows of the database for a span of days.
struct BoardData {
    QDate first;
    int days = 0;
    QList<BoardRoom> rooms; // in the order of room numbers as text
    QList<BoardLine> lines; // every line with a night or its departure day in the span
    QHash<BoardGroupKey, BoardGroup> groups;
    // Days the house is closed and rooms out of use, each period from its
    // first night to the day it ends; the layout shades them and never
    // offers them free. readBoard() is the one place that fills them.
    QSet<QDate> closedDays;
    QHash<QString, QList<std::pair<QDate, QDate>>> blockedRooms;
};

// Reads the rooms, the lines touching [first, first + days) and their groups,
// in one read transaction so that the picture is of one moment. Throws DbError.
BoardData readBoard(QSqlDatabase db, const QDate& first, int days);

// Register entries of an accommodation group, "Nazwisko Imię (room)", in
// alphabetical order; only the complete ones. Throws DbError.
QStringList registeredPersons(QSqlDatabase db, int groupId);

// Groups whose name contains `text` (letter case ignored), those not yet gone
// before `today` first, each part in order of arrival. Throws DbError.
QList<BoardGroup> findGroupsByName(QSqlDatabase db, const QString& text, const QDate& today);

// A bar: one room line drawn from the middle of its arrival day to the middle
// of its departure day. Positions are in half days from the start of the
// span's first day; a bar cut at an edge of the span is marked.
struct BoardBar {
    int line = -1; // index in BoardData::lines
    int row = -1;  // index of its room
    int lane = 0;  // lines overlapping in one room stand one under the other
    int start = 0;
    int end = 0;
    bool clippedStart = false;
    bool clippedEnd = false;
    bool singles = false; // takes single beds: fewer than the room has, or K/M
    bool reservation = false;
    bool settled = false;
    BoardGroupKey group;
    QString label; // "Nazwa (osób)"
};

// One night of one room.
struct BoardNight {
    int taken = 0; // beds taken by the lines of the night
    bool women = false;
    bool men = false;
    bool blocked = false; // the room is out of use or the house closed
};

struct BoardRow {
    int top = 0;
    int height = 0;
    int lanes = 1;
    bool singles = false;     // the room has single beds taken in the span
    QList<BoardNight> nights; // one per day of the span
    QList<int> bars;          // indexes in BoardLayout::bars
};

struct BoardDay {
    QDate date;
    bool weekend = false;
    QString holiday; // the name of a public holiday, or empty
    bool closed = false;
    bool today = false;
};

// Heights in pixels that the rows are laid out with.
struct BoardMetrics {
    int laneHeight = 20;
    int bedsStrip = 14; // the beds-per-night line of a room with single beds
};

struct BoardLayout {
    QList<BoardDay> days;
    QList<BoardRow> rows;
    QList<BoardBar> bars;
    int height = 0;

    // The row at a height (-1 outside), and the bar at a point of a row.
    int rowAt(int y) const;
    int barAt(int row, int halfDay, int lane) const;
};

BoardLayout layoutBoard(const BoardData& data, const QDate& today,
                        const BoardMetrics& metrics = {});

// What the night strip of a room with single beds says: "2/4 K", "3/3 KM".
QString nightText(const BoardNight& night, int roomBeds);

// What can be booked in a room for the nights of the days firstDay..lastDay
// (indexes in the span): the whole room, single beds up to `freeBeds`, or nothing.
struct BookingChoice {
    enum Kind { WholeRoom, SingleBeds, Taken } kind = Taken;
    int freeBeds = 0;
    QString gender; // the gender of the beds already taken, when only one
};
BookingChoice bookingChoice(const BoardData& data, const BoardLayout& layout, int row, int firstDay,
                            int lastDay);
