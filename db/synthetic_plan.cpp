#include "db/synthetic_plan.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace synthetic {
namespace {

int below(std::mt19937& rng, int n)
{
    return static_cast<int>(rng() % static_cast<unsigned>(n));
}
bool chance(std::mt19937& rng, int percent)
{
    return below(rng, 100) < percent;
}

// A value drawn from a table of weights; returns the index.
template <std::size_t N> int weighted(std::mt19937& rng, const std::array<int, N>& weights)
{
    int total = 0;
    for (int w : weights)
        total += w;
    int r = below(rng, total);
    for (std::size_t i = 0; i < N; ++i) {
        if (r < weights[i])
            return static_cast<int>(i);
        r -= weights[i];
    }
    return static_cast<int>(N) - 1;
}

// Share of the beds taken, by month: winter holidays and summer are busy.
constexpr std::array<double, 12> kSeason = {0.55, 0.68, 0.45, 0.50, 0.58, 0.66,
                                            0.84, 0.88, 0.60, 0.50, 0.40, 0.58};

int drawPersons(std::mt19937& rng)
{
    switch (weighted<6>(rng, {27, 37, 12, 11, 7, 6})) {
    case 0:
        return 1;
    case 1:
        return 2;
    case 2:
        return 3;
    case 3:
        return 4;
    case 4:
        return 5 + below(rng, 5);
    default:
        return 10 + below(rng, 31);
    }
}

int drawNights(std::mt19937& rng, int persons)
{
    if (persons >= 10)
        return 2 + below(rng, 6);
    static constexpr std::array<int, 14> kWeights = {18, 20, 15, 11, 8, 6, 8, 3, 2, 2, 2, 1, 1, 3};
    return 1 + weighted<14>(rng, kWeights);
}

std::vector<RoomSpec> makeRooms(int count, std::mt19937& rng)
{
    std::vector<RoomSpec> rooms;
    rooms.reserve(static_cast<std::size_t>(count));
    const bool floors = count > 20;
    for (int i = 0; i < count; ++i) {
        RoomSpec r;
        r.nr = floors ? QString::number((i / 20 + 1) * 100 + i % 20 + 1) : QString::number(i + 1);
        r.beds = 1 + weighted<4>(rng, {15, 45, 25, 15});
        // Single rooms are economy or standard; the bigger ones spread over all types.
        r.type = r.beds == 1 ? below(rng, 2) : weighted<5>(rng, {25, 40, 20, 8, 7});
        if (r.type == 4 && r.beds < 3)
            r.type = 3;
        static const char* const layouts[5][4] = {{"(1)", "(2)", "(3)", "(4)"},
                                                  {"(1)", "(1+1)", "(2+1)", "(2+2)"},
                                                  {"(1)", "(2)", "(1+1+1)", "(2+1+1)"},
                                                  {"(1)", "(2) dostawka", "(2+1)", "(3+1)"},
                                                  {"(1)", "(2)", "(2)+(1)", "(2)+(2)"}};
        const char* kind = r.type >= 3 ? "apartament " : "pokój ";
        r.opis = QString::fromUtf8(kind) + QString::fromUtf8(layouts[below(rng, 5)][r.beds - 1]);
        rooms.push_back(std::move(r));
    }
    return rooms;
}

// Beds taken per room and night over the whole planned span.
class Occupancy {
public:
    Occupancy(const std::vector<RoomSpec>& rooms, int firstDay, int days)
        : m_rooms(rooms)
        , m_first(firstDay)
        , m_days(days)
        , m_used(rooms.size() * static_cast<std::size_t>(days), 0)
        , m_night(static_cast<std::size_t>(days), 0)
    {
        for (const RoomSpec& r : rooms)
            m_beds += r.beds;
    }

    double share(int day) const { return double(m_night[index(day)]) / m_beds; }

    // The fewest beds free in the room over the nights from..to-1.
    int freeBeds(int room, int from, int to) const
    {
        int free = m_rooms[static_cast<std::size_t>(room)].beds;
        const std::size_t row = static_cast<std::size_t>(room) * static_cast<std::size_t>(m_days);
        for (int d = from; d < to && free > 0; ++d)
            free = std::min(free, m_rooms[static_cast<std::size_t>(room)].beds -
                                      int(m_used[row + index(d)]));
        return free;
    }

    void take(const PlannedLine& line, int from, int to)
    {
        const std::size_t row =
            static_cast<std::size_t>(line.room) * static_cast<std::size_t>(m_days);
        for (int d = from; d < to; ++d) {
            m_used[row + index(d)] += static_cast<std::uint8_t>(line.beds);
            m_night[index(d)] += line.beds;
        }
    }

private:
    std::size_t index(int day) const { return static_cast<std::size_t>(day - m_first); }

    const std::vector<RoomSpec>& m_rooms;
    int m_first;
    int m_days;
    int m_beds = 0;
    std::vector<std::uint8_t> m_used;
    std::vector<int> m_night;
};

// Whole free rooms first, biggest that the remaining persons fill; then single
// beds in rooms partly taken. Nothing is taken unless everybody gets a bed.
bool placeGroup(PlannedGroup& g, Occupancy& occ, const std::vector<RoomSpec>& rooms,
                std::mt19937& rng)
{
    const int count = static_cast<int>(rooms.size());
    const int start = below(rng, count);
    std::array<std::vector<int>, 5> wholeByBeds;
    std::vector<std::pair<int, int>> partial; // room, free beds
    for (int k = 0; k < count; ++k) {
        const int room = (start + k) % count;
        const int free = occ.freeBeds(room, g.from, g.to);
        if (free == rooms[static_cast<std::size_t>(room)].beds)
            wholeByBeds[static_cast<std::size_t>(free)].push_back(room);
        else if (free > 0)
            partial.emplace_back(room, free);
    }
    int remaining = g.persons;
    while (remaining > 0) {
        int beds = std::min(remaining, 4);
        while (beds > 0 && wholeByBeds[static_cast<std::size_t>(beds)].empty())
            --beds;
        if (beds == 0)
            break;
        g.lines.push_back({wholeByBeds[static_cast<std::size_t>(beds)].back(), beds, 0});
        wholeByBeds[static_cast<std::size_t>(beds)].pop_back();
        remaining -= beds;
    }
    // What is left goes into part of a free room, the smallest first; a room
    // that another group already uses in part comes last.
    std::vector<std::pair<int, int>> rest;
    for (std::size_t b = 1; b <= 4; ++b)
        for (int room : wholeByBeds[b])
            rest.emplace_back(room, static_cast<int>(b));
    rest.insert(rest.end(), partial.begin(), partial.end());
    for (const auto& [room, free] : rest) {
        if (remaining == 0)
            break;
        const int beds = std::min(free, remaining);
        const char jaki = chance(rng, 60) ? (chance(rng, 50) ? 'M' : 'K') : 0;
        g.lines.push_back({room, beds, jaki});
        remaining -= beds;
    }
    if (remaining > 0) {
        g.lines.clear();
        return false;
    }
    for (const PlannedLine& l : g.lines)
        occ.take(l, g.from, g.to);
    return true;
}

Stage stageOf(const PlannedGroup& g, std::mt19937& rng)
{
    // Today's departures and arrivals are caught half way through the day.
    if (g.to < 0 || (g.to == 0 && chance(rng, 50)))
        return Stage::CheckedOut;
    if (g.from < 0 || (g.from == 0 && chance(rng, 50)))
        return Stage::Staying;
    return Stage::Reserved;
}

// Reservations thin out the further ahead they lie.
double bookedShare(int day)
{
    return day <= 0 ? 1.0 : 0.15 + 0.8 * std::exp(-day / 60.0);
}

} // namespace

const std::vector<RoomType>& roomTypes()
{
    static const std::vector<RoomType> types = {
        {"EKON", 50, 120}, {"STD", 60, 150}, {"KOMF", 75, 190}, {"LUX", 90, 260}, {"APT", 80, 320}};
    return types;
}

Plan planHotel(int years, int rooms, const QDate& today, std::mt19937& rng)
{
    Plan plan;
    plan.rooms = makeRooms(rooms, rng);
    plan.firstDay = static_cast<int>(today.daysTo(today.addYears(-years)));
    const int lastArrival = static_cast<int>(today.daysTo(today.addYears(1)));
    constexpr int kLongestStay = 14;
    Occupancy occ(plan.rooms, plan.firstDay, lastArrival - plan.firstDay + kLongestStay + 1);
    for (int day = plan.firstDay; day < lastArrival; ++day) {
        const int month = today.addDays(day).month();
        const double jitter = (below(rng, 21) - 10) / 100.0;
        const double target =
            (kSeason[static_cast<std::size_t>(month - 1)] + jitter) * bookedShare(day);
        for (int failures = 0; failures < 6 && occ.share(day) < target;) {
            PlannedGroup g;
            g.persons = drawPersons(rng);
            g.from = day;
            g.to = day + drawNights(rng, g.persons);
            if (!placeGroup(g, occ, plan.rooms, rng)) {
                ++failures;
                continue;
            }
            g.stage = stageOf(g, rng);
            plan.groups.push_back(std::move(g));
        }
    }
    return plan;
}

} // namespace synthetic
