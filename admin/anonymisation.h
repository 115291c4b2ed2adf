#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// Former guests' personal data are kept for as long as a purpose or a law
// needs them and then replaced by an anonymous value; what the statistics
// count (country, days, room, group, the person's identifier) stays.

// The surname an anonymised person or invoice buyer carries; the other
// personal texts become empty and the birth date NULL.
inline const QString kAnonymousName = QStringLiteral("(dane usunięte)");

// Full years after the end of a stay's year that a former guest's data are
// kept, the setting's range and default. An invoice must be kept five years
// after the end of its tax year, so the setting never goes below that.
inline constexpr int kMinRetentionYears = 5;
inline constexpr int kMaxRetentionYears = 50;

// The hotel's data rules of the Config row: defaults when there is no row.
struct GuestDataSettings {
    bool minimal = false; // registration asks only name, address, country and stay
    int retentionYears = kMinRetentionYears;
};
GuestDataSettings readGuestDataSettings(QSqlDatabase db);

// The retention rule. Data of a stay that ended on `stayEnd` are kept
// through the end of the `years`-th full year after the stay's year and may
// go from the first day after: a stay ending on 2020-08-14, kept 5 years, is
// due on 2026-01-01. An invoice issued on a day goes the same way with five
// years (its tax year ends with the calendar year).
QDate retentionEnds(const QDate& stayEnd, int years);
// The inverse used by the queries: a stay whose last day comes before the
// returned day is past its retention on `day`.
QDate retentionBoundary(const QDate& day, int years);

// What the retention rule lets go on `day`:
// - persons whose every register entry is checked out, ended (its departure,
//   or its arrival when it has none) before the boundary, and belongs to no
//   group still in the house or with an unsettled calculation; a person
//   record without any register entry is left alone, and so is one already
//   anonymised;
// - buyers of calculations of settled, departed groups, past both the
//   guests' retention and the invoice's own (five years after the end of the
//   year of issue), that still name somebody.
struct DueCounts {
    int persons = 0;
    int invoices = 0;
    QDate boundary; // stays that ended before this day are due
    bool any() const { return persons > 0 || invoices > 0; }
};
DueCounts countDue(QSqlDatabase db, const QDate& day);

struct AnonymisationResult {
    int persons = 0;
    int invoices = 0;
};

// Replaces the due persons' and invoice buyers' data by the anonymous value
// in one transaction, which checks what is due again and writes a row of
// Anonimizacja_log (when, `command`, how many). Running it again finds
// nothing left to do. Throws DbError; nothing is written then.
AnonymisationResult anonymiseDue(QSqlDatabase db, const QDateTime& at, const QString& command);

// Erasure of one person on request. The person's data go at once unless
// the person is staying now or a group of theirs is unsettled (then nothing
// happens and `refusals` says why); an invoice naming the person (its buyer
// contains the person's surname) is anonymised too once its own retention
// has ended, and kept with a reason while it runs.
struct ErasurePlan {
    bool personFound = false;
    bool alreadyAnonymous = false;
    bool blocked = false;       // staying now or unsettled: nothing may be erased
    QStringList refusals;       // reasons, Polish, one per line
    QList<int> invoicesToClear; // Kalk identifiers past their retention
};
ErasurePlan planErasure(QSqlDatabase db, int personId, const QDate& day);
// Carries out the plan, checking it again inside the transaction; writes a
// row of Anonimizacja_log. Returns what was anonymised. Throws DbError.
AnonymisationResult erasePerson(QSqlDatabase db, int personId, const QDateTime& at,
                                const QString& command);
