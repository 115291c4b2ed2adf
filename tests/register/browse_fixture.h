#pragma once

#include "tests/support/test_env.h"

#include <QString>

// A register of two accommodation groups whose own dates differ from their
// entries' dates, so that sorting or filtering by the wrong table shows.
struct Register {
    int a = 0; // "Kowalscy": Kowalski, Kowalczyk, and one person not yet entered
    int b = 0; // "Nowakowie" (newer): Nowakowski, Nowak without first name, O'Brien
    int kowalski = 0;
    int kowalczyk = 0;
    int nowakowski = 0;
};

inline int addGroup(TestEnv& env, const char* name, const char* od, const char* to)
{
    env.exec("INSERT INTO Kwat_hot(Nazwa, Osob, Od, \"Do\") VALUES (?, 3, ?, ?)", {name, od, to});
    return env.scalar("SELECT max(Identyfikator) FROM Kwat_hot").toInt();
}

inline int addEntry(TestEnv& env, int group, const QString& surname, const QString& first,
                    const char* room, const char* od, const char* to, int complete)
{
    env.exec("INSERT INTO Arch_os(Nazwisko, Imie, ID_Panstwo) VALUES (?, ?, 1)", {surname, first});
    const int person = env.scalar("SELECT max(Identyfikator_o) FROM Arch_os").toInt();
    env.exec("INSERT INTO Ksiazka(Identyfikator_g, Identyfikator_o, Nr_pokoju, Od, \"Do\", "
             "Pelne_dane) VALUES (?, ?, ?, ?, ?, ?)",
             {group, person, room, od, to, complete});
    return person;
}

inline Register makeRegister(TestEnv& env)
{
    Register r;
    r.a = addGroup(env, "Kowalscy", "2026-07-01", "2026-07-30");
    r.kowalski = addEntry(env, r.a, "Kowalski", "Jan", "101", "2026-07-15", "2026-07-18", 1);
    r.kowalczyk = addEntry(env, r.a, "Kowalczyk", "Anna", "102", "2026-07-16", "2026-07-18", 1);
    addEntry(env, r.a, "", "", "103", "2026-07-15", "2026-07-17", 0);
    r.b = addGroup(env, "Nowakowie", "2026-07-05", "2026-07-25");
    r.nowakowski = addEntry(env, r.b, "Nowakowski", "Piotr", "201", "2026-07-14", "2026-07-20", 1);
    addEntry(env, r.b, "Nowak", "", "12", "2026-07-15", "2026-07-19", 1);
    addEntry(env, r.b, "O'Brien", "Sean", "21", "2026-07-17", "2026-07-19", 1);
    // Entries whose group or person record is gone are not listed.
    addEntry(env, 999, "Bezgrupy", "Ktoś", "1", "2026-07-15", "2026-07-16", 1);
    env.exec("INSERT INTO Ksiazka(Identyfikator_g, Identyfikator_o, Od, \"Do\") "
             "VALUES (?, 9999, '2026-07-15', '2026-07-16')",
             {r.a});
    return r;
}
