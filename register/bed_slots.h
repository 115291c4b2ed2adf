#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QString>

#include <optional>
#include <vector>

// One free bed of a group's room lines, offered by the room list of the
// registration window.
struct TKwaterunek {
    QDate Od;
    QDate Do;
    QString Nr_pokoju;
    bool operator==(const TKwaterunek&) const = default;
};

// Where a register entry already is: its room, dates and completeness.
struct EntryPlace {
    QString Nr_pokoju;
    QDate Od;
    QDate Do;
    bool complete = false;
};

// The beds a person may take: rebuilt (never patched) each time a person is
// loaded, so it always owns a fresh set of items.
struct BedSlotList {
    std::vector<TKwaterunek> beds;
    int selected = -1; // index into slots, -1 for none
};

// The free beds of the group's room lines in line order, complete entries
// occupying theirs. With `own`, the entry's own bed is appended and selected
// when the entry is complete, or the matching free bed selected when not.
BedSlotList buildBedSlots(QSqlDatabase db, int groupId, const std::optional<EntryPlace>& own = {});
