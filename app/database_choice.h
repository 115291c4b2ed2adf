#pragma once

#include <QString>

// The file filter of "Wybierz bazę": files named baza.mdb in any letter case.
extern const QString kDatabaseFileFilter;

// The folder of a chosen file, without any trailing separator.
QString databaseDirectoryOf(const QString& chosenFile);

// The command "Wybierz bazę": points KatalogBazy at the folder of a chosen
// database file, or silently back at the old folder when that one does not open.
void chooseDatabase();
