#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class RowSet;

// What the register browse list shows, in the order of its drop-down.
enum class RegisterDisplay {
    All,             // "Wszystkie osoby"
    AllByDates,      // "Wszystkie osoby w/g dat": arrival between the two days
    CompleteByDates, // "Pełne dane w/g dat": the same, surname and first name given
};
QStringList registerDisplayItems();

// The order the list starts with: the newest groups first.
inline const QString kRegisterInitialOrder = QStringLiteral("Identyfikator DESC");

// The conditions of one reading of the register list.
struct RegisterQuery {
    RegisterDisplay display = RegisterDisplay::All;
    QDate from; // arrival days, both inclusive, for the two kinds by dates
    QDate to;
    int groupId = 0; // above 0: only the entries of this accommodation group
    // A field name of the list ("Nazwisko", "Od", ...), optionally followed by
    // " desc"; empty for the order the entries were written in.
    QString order = kRegisterInitialOrder;
};

// The ORDER BY fragment for a sort key, "" for an empty key. The arrival and
// departure are the register entry's; entries equal on the key keep the
// order they were written in. Throws RezydoError for a key that is
// not one of the list's fields, so that nothing else reaches the statement.
QString registerOrderClause(const QString& order);
// The joined statement over Kwat_hot, Ksiazka and Arch_os for the query; the
// days bind as :Od1 and :Od2, the group as :Grupa.
QString registerStatement(const RegisterQuery& query);
// Loads the list into `rows` (its kinds set for the days). Throws DbError.
void openRegisterList(RowSet& rows, const RegisterQuery& query);

// The search fields of the window, in their order.
struct RegisterSearch {
    QString groupName;
    QString surname;
    QString firstName;
    QString room;
    QString arrival;   // a "yyyy-mm-dd" day
    QString departure; // a "yyyy-mm-dd" day
};
// The filter on the loaded rows: the names and the room "begin with" what was
// typed, the two days equal it; conditions of the non-empty fields joined by
// " AND ". A quote typed is part of the text searched for.
QString registerSearchFilter(const RegisterSearch& search);

// The visible row of the entry of `personId` in `groupId`, or -1.
int findRegisterEntry(const RowSet& rows, int groupId, int personId);

// Takes a person out of a group: deletes the group's register entries of that
// person. The person record stays for the archive. Throws DbError; nothing is
// deleted then.
void removePersonFromGroup(QSqlDatabase db, int groupId, int personId);
