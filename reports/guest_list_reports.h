#pragma once

#include "reports/engine/report.h"
#include "reports/engine/report_output.h"

#include <QDate>
#include <QString>

class RowSet;

// The printed lists of the guest browse windows. Each reads the rows of the
// window's query as they stand, filter included.

// Everybody accommodated now: the data filter's item in the title, the
// window's count label as the summary.
class TRapAktualneKwaterunki final : public Report {
public:
    TRapAktualneKwaterunki(const ReportData& rows, const QString& filterItem,
                           const QString& countText);
};

// Arrivals (1), departures (2) or all reservations (3), grouped by group.
// The column headings print only on pages that begin between two groups.
class TRapRezerwacje final : public Report {
public:
    TRapRezerwacje(const ReportData& rows, int kind, const QDate& day);
    bool columnHeadingsDue() const { return m_headingsDue; }

private:
    void narrowColumns(int kind);

    bool m_headingsDue = true;
};

// Who was accommodated on a day: persons, or a group nobody is registered in yet.
class TRapMeldunki final : public Report {
public:
    TRapMeldunki(const ReportData& rows, const QDate& day);
};

// The launchers of the three lists, on the window's rows.
LaunchResult printCurrentGuests(const RowSet& rows, const QString& filterItem,
                                const QString& countText, ReportOutput mode);
LaunchResult printRoomList(const RowSet& rows, int kind, ReportOutput mode, const QDate& day);
// Fails with "W wybranym dniu nie zakwaterowano żadnej grupy" when there are no rows.
LaunchResult printGroupsOfDay(const RowSet& rows, ReportOutput mode, const QDate& day);
