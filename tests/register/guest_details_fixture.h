#pragma once

#include "register/guest_details.h"
#include "tests/register/register_fixture.h"

// A former guest with all personal data; returns the person's id.
inline int addGuest(TestEnv& env, const QVariant& documentKind = 2, const QVariant& country = 2)
{
    env.exec("INSERT INTO Arch_os(Nazwisko, Imie, Adres, ID_Panstwo, Data_ur, Miejsce_ur, "
             "Dokument_rodz, Dokument_nr, Uwagi) VALUES ('Müller', 'Jürgen', "
             "'Hauptstraße 5, Berlin', ?, '1964-03-09', 'Dresden', ?, 'C01X00T47', "
             "'Pokój od strony ogrodu')",
             {country, documentKind});
    return env.scalar("SELECT max(Identyfikator_o) FROM Arch_os").toInt();
}

inline void addEntry(TestEnv& env, int group, int person, const char* room, const char* od,
                     const char* to)
{
    env.exec("INSERT INTO Ksiazka(Identyfikator_g, Identyfikator_o, Nr_pokoju, Od, \"Do\", "
             "Pelne_dane) VALUES (?, ?, ?, ?, ?, 1)",
             {group, person, room, od, to});
}

inline void addPayment(TestEnv& env, int group, const char* number, qint64 units, const char* day,
                       int type)
{
    env.exec("INSERT INTO Kwit(Identyfikator, Nr_kwit, Wplata, Data, Typ) VALUES (?, ?, ?, ?, ?)",
             {group, number, units, day, type});
}

inline void addCalculation(TestEnv& env, int group, const QVariant& typ, const QVariant& rach,
                           const QVariant& discount)
{
    env.exec("INSERT INTO Kalk(Identyfikator, Typ, Rach, Znizka) VALUES (?, ?, ?, ?)",
             {group, typ, rach, discount});
}

// A guest whose latest stay (group 3, room 12) had two payments, a 10 %
// discount and VAT invoice 17; an earlier entry (group 7) comes first in
// table order although its group number is higher.
inline int guestWithPayments(TestEnv& env)
{
    addCountries(env);
    const int person = addGuest(env);
    addEntry(env, 7, person, "101", "2026-06-01", "2026-06-03");
    addEntry(env, 3, person, "12", "2026-07-10", "2026-07-14");
    addPayment(env, 7, "0009/2026#", 990000, "2026-06-01", 1);
    addPayment(env, 3, "0012/2026#", 1500000, "2026-07-10", 1);
    addPayment(env, 3, "45", 1505000, "2026-07-14", 3);
    addCalculation(env, 7, 1, 4, 0);
    addCalculation(env, 3, 2, 17, 10);
    return person;
}
