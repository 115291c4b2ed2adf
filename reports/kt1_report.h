#pragma once

#include "reports/engine/report.h"
#include "reports/engine/report_output.h"
#include "reports/kt1.h"

#include <QByteArray>

// The monthly form KT-1 on one page: the establishment, the month, the
// figures in the form's order, the foreign tourists by country of residence
// with a line that checks them against the foreign totals, and the notes
// that define every figure.
class TRapKt1 final : public Report {
public:
    TRapKt1(const Kt1Figures& figures, const Kt1Establishment& establishment);

    const ReportRows& lines() const { return m_lines; }
    const ReportRows& countries() const { return m_countries; }

private:
    void addEstablishment(const Kt1Establishment& e);
    void addFigures();
    void addCountries(const Kt1Figures& f);
    void addNotes();

    ReportRows m_lines;
    ReportRows m_countries;
};

// The check under the country table: whether its rows add up to the
// foreign tourists and their nights.
QString kt1CountryCheck(const Kt1Figures& f);

// The figures as a file for whoever fills in the form on the statistics
// portal: UTF-8 (with the byte-order mark spreadsheets look for), fields
// separated by semicolons, per cents with the Polish decimal comma.
QByteArray kt1Csv(const Kt1Figures& f, const Kt1Establishment& e);

// The name proposed for the file: "KT-1 2026-07.csv".
QString kt1CsvName(const QDate& first);

LaunchResult printKt1(const Kt1Figures& f, const Kt1Establishment& e, ReportOutput mode);
