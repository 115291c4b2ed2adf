#pragma once

#include "register/bed_slots.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Document kinds in list order; a stored code is the position plus one.
QStringList documentKindTexts();
// The list position shown for a stored code: below 1 shows the first kind.
int documentIndexForCode(int code);
// The stored code for a list position: position + 1, 0 when nothing is chosen.
int documentCodeForIndex(int index);

// The birth date shown for a stored one: an empty date (none, or on or before
// the zero of the old date scale, 1899-12-30) is no date and shows empty.
QDate shownBirthDate(const QVariant& stored);

struct Country {
    int id = 0;
    QString name;
};
// The country list, each country once, in table order.
std::vector<Country> loadCountries(QSqlDatabase db);

// A person's data as the window shows and saves them.
struct PersonFields {
    QString Nazwisko;
    QString Imie;
    QDate Data_ur; // invalid when none was typed; stored as NULL
    QString Miejsce_ur;
    QString Adres;
    std::optional<int> ID_Panstwo; // none chosen
    int documentIndex = 0;         // position in documentKindTexts(), -1 for none
    QString Dokument_nr;
    QString Uwagi;
};

// The person record, as shown; nullopt when there is no such record.
std::optional<PersonFields> loadPerson(QSqlDatabase db, int personId);
// The register entry of a person in a group; nullopt when there is none.
std::optional<EntryPlace> loadEntry(QSqlDatabase db, int groupId, int personId);

struct PersonSave {
    int groupId = 0;
    int personId = 0; // the register entry's own person; ignored in add mode
    bool addMode = false;
    std::optional<TKwaterunek> slot; // the bed chosen, if any
    PersonFields fields;
    // The minimal form: birth date and place and the document are neither
    // asked nor stored (what the record held of them is cleared).
    bool minimal = false;
};

// Saves one person in one transaction: in add mode a new person record and
// register entry first; then the entry's bed, completeness and country, and
// the person record. Returns the person written. Throws DbError, or
// RezydoError when the entry or the person record is no longer there, or in
// add mode the group (another copy checked the group out meanwhile); nothing
// of the save is kept then.
int savePerson(QSqlDatabase db, const PersonSave& save);
