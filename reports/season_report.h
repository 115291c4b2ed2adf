#pragma once

#include "reports/engine/report.h"
#include "reports/engine/report_output.h"

#include <QSqlDatabase>

// The season report for the statistics office: July to September of `year`,
// one row of figures per month, then every foreign country with its guests.
// A row whose figures cannot be computed prints with what its cells last held.
class TRapGus final : public Report {
public:
    TRapGus(QSqlDatabase db, int year);
    // The country query (every country but the home one); throws DbError.
    void openCountries();
    const ReportRows& countries() const { return m_countries; }

private:
    void buildMonths();
    void buildCountries();
    void fillMonth(Band& band);
    void fillCountry(Band& band);

    QSqlDatabase m_db;
    int m_year;
    int m_month = 1; // the month row to print next
    ReportRows m_countries;
};

inline const QString kSeasonReportFailure = QStringLiteral(
    "Wykonano niedozwoloną operację! Niedopuszczalne jest przerywanie generacji raportu.");

// Previews the report for the clock's current year. Any failure while it is
// made or shown, the preview closed before the last page included, ends in
// failure with kSeasonReportFailure.
LaunchResult printSeasonReport();
