#pragma once

#include "reports/engine/report.h"
#include "reports/engine/report_output.h"
#include "reports/engine/report_rows.h"

#include <QDate>
#include <QSqlDatabase>

// Rooms wholly free on a day and rooms with beds still free, each with the
// day until which it stays free. A room line takes its room on the days
// Od <= D < Do. A room blocked on D is in neither list but among the blocked
// ones; a block beginning later ends the room's free time like an arrival.
class FreeRooms {
public:
    // Reads the four queries for day `day` and computes the calculated
    // columns and the totals. Throws DbError and then keeps what it held.
    void load(QSqlDatabase db, const QDate& day);

    QDate day() const { return m_day; }
    // Nr_Pokoju, Miejsc, Typ, Opis, Do (first later arrival), Dni.
    const ReportRows& pytPokoje() const { return m_pokoje; }
    // Nr_pokoju, Miejsc, Typ, Zajetych, Plec, Wolnych, DoKiedy, Dni.
    const ReportRows& pytMiejsca() const { return m_miejsca; }
    const ReportRows& pytGrupPokoje() const { return m_grupPokoje; }
    const ReportRows& pytGrupMiejsca() const { return m_grupMiejsca; }
    // Rooms blocked on the day (out of use), in neither list:
    // Nr_pokoju, Miejsc, Od, Do, Powod.
    const ReportRows& blocked() const { return m_blocked; }
    // "12 (remont, do 2026-07-10), 14 (awaria, do 2026-07-03)", or empty.
    QString blockedText() const;

    int freeRoomCount() const { return m_pokoje.rowCount(); }
    int freeRoomBeds() const { return m_roomBeds; }
    int freeBeds() const { return m_freeBeds; }

    // The first later arrival day that books more beds than `takenOnDay`;
    // invalid when none does. `groups` are PytGrupMiejsca's rows.
    static QDate freeUntil(const ReportData& groups, const QString& room, int takenOnDay);

private:
    void read(QSqlDatabase db, const QDate& day);

    QDate m_day;
    ReportRows m_pokoje, m_miejsca, m_grupPokoje, m_grupMiejsca, m_blocked;
    int m_roomBeds = 0;
    int m_freeBeds = 0;
};

// Both lists in two columns a page: the rooms, then the beds on a new page.
class TRapPokoje final : public Report {
public:
    explicit TRapPokoje(const FreeRooms& rooms);

private:
    bool m_beds = false;
    bool m_titleOn = true;
    QString m_roomsTitle, m_bedsTitle;
};

// Fails with "Nie ma żadnych danych do wydruku." when both lists are empty.
LaunchResult printFreeRooms(const FreeRooms& rooms, ReportOutput mode);
