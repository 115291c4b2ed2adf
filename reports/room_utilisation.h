#pragma once

#include "reports/engine/report.h"
#include "reports/engine/report_output.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <array>

// One month of the month list.
struct TMiesiac {
    QDate first;
    QDate last;
    int month = 0;
    int year = 0;

    static TMiesiac of(int year, int month);
    // "2026 grudzień": the year and the month's own name.
    QString text() const;
    int days() const { return static_cast<int>(first.daysTo(last)) + 1; }
    bool operator==(const TMiesiac& o) const { return year == o.year && month == o.month; }
};

// A room's days in the chosen month, indexed by day of month (1..31).
struct TElemWykorzystania {
    QString room;
    std::array<bool, 32> occupied{};
    std::array<bool, 32> reserved{};
    std::array<bool, 32> blocked{}; // the room is out of use that day
};

// A stay line's months, from the start month to the end month inclusive.
struct MonthSpan {
    int fromYear, fromMonth, toYear, toMonth;
};

// Every month covered by a span, in order and once, walking the spans in
// their order of start.
QList<TMiesiac> monthList(const QList<MonthSpan>& spans);

// The numbers of the rooms in the table's stored order, read with a query of
// its own: the shared room cursor may be in a window's hands. Throws DbError.
QStringList roomNumbers(QSqlDatabase db);

// The month list read from the rows of Rez_i_ksiazka. `failed` tells that
// the reading broke off; the months found before stay in the list.
struct MonthListResult {
    QList<TMiesiac> months;
    bool failed = false;
};
MonthListResult readMonthList(QSqlDatabase db);

// The statement readMonthList walks: the months of Rez_i_ksiazka's rows
// (Od_miesiac, Od_rok, Do_miesiac, Do_rok), but one row per day on which
// lines start, with the latest end among them, in order of start. Lines
// starting on the same day cover the months from their start to the latest
// end, so the walk finds the same months; the register's index on Od gives
// the rows in order without sorting every line or computing its months.
extern const QString kMonthListSql;

inline const QString kNoBookingsMessage = QStringLiteral("Nie ma żadnej rezerwacji i kwaterunku.");
inline const QString kMonthListFailure = QStringLiteral("Wystąpił błąd");

// A stay line of Rez_msc_i_ksiazka.
struct StayLine {
    QString room;
    QDate from;
    QDate to;
    bool reservation = false;
};

// Marks the days of `month` each line covers (the departure day included),
// in the order given; a later line overwrites the reserved flag of a day.
void markDays(TElemWykorzystania& entry, const QList<StayLine>& lines, const TMiesiac& month);
// Marks the days of `month` a block covers (both its days included).
void markBlocked(TElemWykorzystania& entry, const QDate& from, const QDate& to,
                 const TMiesiac& month);
// The entries of every room, in the order of `rooms`, from the lines and the
// room blocks of the database touching the month. Throws DbError.
QList<TElemWykorzystania> roomEntries(QSqlDatabase db, const QStringList& rooms,
                                      const TMiesiac& month);

// The height of a day's bar: 500 units are every room occupied.
int barUnits(int occupied, int rooms);

class TRapWykorzystanie final : public Report {
public:
    TRapWykorzystanie(const QString& monthText, int days, int rooms,
                      const QList<TElemWykorzystania>& entries);

    const std::array<int, 32>& occupiedPerDay() const { return m_occupied; }

private:
    void addRoomRows();
    void addDayTable();
    void addChart();

    int m_days;
    int m_rooms;
    QList<TElemWykorzystania> m_entries;
    int m_next = 0;
    bool m_roomPages = true;
    bool m_anyBlocked = false;
    std::array<int, 32> m_occupied{};
};

LaunchResult printRoomUtilisation(const QString& monthText, int days, int rooms,
                                  const QList<TElemWykorzystania>& entries, ReportOutput mode);
