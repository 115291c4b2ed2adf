#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class RowSet;

// The rules of the person archive: who is listed, in which order, and the
// search over the loaded rows. Every person record appears once per
// checked-out register entry, and once with empty stay columns when it has no
// register entry at all; a stay still going on is not listed.

// The items of "Rodzaj wyświetlanych danych", in this order.
enum class ArchiveKind { AllPersons = 0, AllByDates = 1, FullByDates = 2 };
QStringList archiveKindItems();
// The two kinds by dates show the date fields and list only stays that
// arrived from the first to the last day, both included.
bool archiveKindHasDates(ArchiveKind kind);

// The order of a fresh window: the latest stays first.
inline const QString kArchiveInitialOrder = QStringLiteral("Identyfikator_g DESC");

// The fields a click on a grid title sorts by, one per grid column (Nazwisko,
// Imie, Adres, Nr_pokoju, OD, Do).
QStringList archiveSortFields();

// The statement of a display kind with every row, its days as bindings (the
// grid reads the same rows a page at a time through ArchiveRows). `order` is
// a field of archiveSortFields() or "Identyfikator_g", optionally followed by
// " desc"; anything else sorts as kArchiveInitialOrder, so the SQL text is
// made of fixed fragments only. Ties go by person record and register entry.
struct ArchiveStatement {
    QString sql;
    bool dated = false;
    QString from, to; // "yyyy-mm-dd", bound as :Od and :Do when dated
};
ArchiveStatement archiveStatement(ArchiveKind kind, const QDate& from, const QDate& to,
                                  const QString& order);

// Opens (or re-opens) the rows of the archive; the filter in force stays in
// force. Throws DbError, and the set is then closed.
void openArchive(RowSet& rows, const ArchiveStatement& statement);

// The filter of the six search boxes (surname, first name, address, room,
// arrival, departure), conditions joined by " AND ": the first four match
// values that begin with the text, arrival and departure the day typed as
// yyyy-mm-dd. A quote typed in a box is part of the text searched for.
QString archiveSearch(const QStringList& boxes);
