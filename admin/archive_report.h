#pragma once

#include "reports/engine/report.h"
#include "reports/engine/report_output.h"

#include <QString>
#include <QVariant>

class ArchiveRows;
class RowSet;

// "Archiwum gości": one band per person and stay, with birth, address,
// document and remarks. The person archive and the register browse window
// print their own rows through it; columns are found by name in any letter
// case (Nazwisko, Imie, Adres, Nr_pokoju, Od, Do, Dokument_rodz, Dokument_nr,
// Data_ur, Miejsce_ur, Uwagi), so either window's query feeds it as it stands.
class TRapArchiwum final : public Report {
public:
    explicit TRapArchiwum(const ReportData& rows);
};

// The short word of a document kind that precedes its number on the
// printout: 1 "dowód ", 2 "paszport ", 3 "leg. stud. ", 4 "leg. szkol. ",
// anything else (none, 0, 5) nothing.
QString archiveDocumentWord(const QVariant& kind);

// Prints the visible rows of `rows` in their order and filter, from the first.
// The report reads rows by index, so the window's current row stays where it
// was. Fails with kNoDataMessage when no row is visible.
LaunchResult printArchive(const RowSet& rows, ReportOutput mode);

// The same for the archive's grid: the rows not yet read are read first, so
// the printout has every row of the search in the grid's order. Throws
// DbError when reading fails.
LaunchResult printArchive(ArchiveRows& rows, ReportOutput mode);
