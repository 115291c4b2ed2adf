#pragma once

#include "tests/support/test_env.h"

#include <QString>

#include <vector>

// A room line of an accommodation group: room, arrival, departure, beds.
struct Line {
    const char* room;
    const char* od;
    const char* to;
    int beds;
};

// Two rooms for three persons, the usual group of these tests.
inline const std::vector<Line> kTwoRooms = {{"101", "2026-07-15", "2026-07-18", 2},
                                            {"102", "2026-07-15", "2026-07-18", 1}};

inline void addCountries(TestEnv& env)
{
    env.exec("DELETE FROM Panstwo"); // a short list of our own instead of the delivered one
    env.exec("INSERT INTO Panstwo(ID, Nazwa) VALUES (1, 'Polska'), (2, 'Niemcy'), (3, 'Czechy')");
}

// A group as check-in leaves it: its room lines, and per person an empty
// person record (country 1) with an incomplete register entry placed bed by
// bed in the lines; persons beyond the beds get no room and the group's dates.
inline int freshGroup(TestEnv& env, const std::vector<Line>& lines, int persons,
                      const char* od = "2026-07-15", const char* to = "2026-07-18")
{
    env.exec("INSERT INTO Kwat_hot(Nazwa, Osob, Od, \"Do\") VALUES ('Grupa', ?, ?, ?)",
             {persons, od, to});
    const int group = env.scalar("SELECT max(Identyfikator) FROM Kwat_hot").toInt();
    auto addEntry = [&](const QString& room, const QString& from, const QString& until) {
        env.exec("INSERT INTO Arch_os(ID_Panstwo) VALUES (1)");
        const int person = env.scalar("SELECT max(Identyfikator_o) FROM Arch_os").toInt();
        env.exec("INSERT INTO Ksiazka(Identyfikator_g, Od, \"Do\", Nr_pokoju, Pelne_dane, "
                 "Identyfikator_o) VALUES (?, ?, ?, ?, 0, ?)",
                 {group, from, until, room, person});
    };
    int placed = 0;
    for (const Line& line : lines) {
        env.exec("INSERT INTO Kwat_msc(Identyfikator, Nr_pokoju, Od, \"Do\", Miejsc, Jaki) "
                 "VALUES (?, ?, ?, ?, ?, 'K')",
                 {group, line.room, line.od, line.to, line.beds});
        for (int bed = 0; bed < line.beds && placed < persons; ++bed, ++placed)
            addEntry(QString::fromLatin1(line.room), QString::fromLatin1(line.od),
                     QString::fromLatin1(line.to));
    }
    for (; placed < persons; ++placed)
        addEntry(QString(""), QString::fromLatin1(od), QString::fromLatin1(to));
    return group;
}

// The persons of a group's register entries, in database order.
inline std::vector<int> personsOf(TestEnv& env, int group)
{
    std::vector<int> out;
    for (const QString& row :
         env.rows("SELECT Identyfikator_o FROM Ksiazka WHERE Identyfikator_g = ? ORDER BY rowid",
                  {group}))
        out.push_back(row.toInt());
    return out;
}
