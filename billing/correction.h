#pragma once

#include "core/money.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <optional>

// One line of a correcting invoice: a line of the corrected invoice as it
// stood before (after earlier corrections) and as it is to be.
struct CorrectionLine {
    qint64 lineNo = 0; // Kalk_det."No" of the corrected line
    QString description;
    QString vatBefore, vatAfter;
    Money grossBefore, grossAfter;
    Money taxBefore, taxAfter; // from the gross and the rate

    bool changed() const { return vatBefore != vatAfter || grossBefore != grossAfter; }
};

// A correcting invoice (Korekta) with its lines.
struct Correction {
    qint64 id = 0;
    int groupId = 0;
    int number = 0;
    QString series;
    QDate issued;
    QString reason;
    QString invoiceNumber; // the corrected invoice as printed: "12/H/2026"
    QDate invoiceDate;
    Money grossBefore, grossAfter, taxBefore, taxAfter; // the whole invoice
    QList<CorrectionLine> lines;

    Money grossDifference() const { return grossAfter - grossBefore; }
    Money taxDifference() const { return taxAfter - taxBefore; }
    QString numberText() const;
};

// The series of correcting invoices: the KorektaRoz setting, "KOR" when it is absent.
QString correctionSeries();

// The lines of the group's issued invoice as they stand now: the invoice's
// lines with every earlier correction applied, each with "after" = "before".
QList<CorrectionLine> correctableLines(QSqlDatabase db, int groupId);

// The next number of `series` in `year`.
int proposedCorrectionNumber(QSqlDatabase db, const QString& series, int year);

// Issues a correcting invoice of the group's issued invoice in one
// transaction, with the changed lines of `lines` (their "after" values as
// the user set them; rates and taxes are recomputed) and a number of
// `series` in the year of `issued`: `number`, or the next free one taken
// inside the transaction. Refuses (RezydoError) a group without an issued
// invoice, a correction without a reason or without a change, and a number
// that another correction of the series and year has. Returns its key.
qint64 issueCorrection(QSqlDatabase db, int groupId, const QList<CorrectionLine>& lines,
                       const QString& reason, const QDate& issued, std::optional<int> number,
                       const QString& series);

Correction loadCorrection(QSqlDatabase db, qint64 id);
// The group's corrections, oldest first.
QList<Correction> groupCorrections(QSqlDatabase db, int groupId);
// What the corrections of the group change in its gross total.
Money correctionsDifference(QSqlDatabase db, int groupId);
