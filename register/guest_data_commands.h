#pragma once

#include <QString>

// The commands that act on guests' personal data, each asking through the
// prompter before it writes and writing in one transaction after the answer.

inline const QString kAnonymiseCaption = QStringLiteral("Anonimizacja danych gości");
inline const QString kExportCaption = QStringLiteral("Eksport danych osoby");
inline const QString kEraseCaption = QStringLiteral("Usuń dane osoby");

// "Anonimizacja danych gości": shows how many persons and invoice buyers are
// past their retention, asks (No preselected) and anonymises them.
void anonymiseDueCommand();

// At start-up, once a calendar month: when anything is due, the same
// question as the command. The month is remembered in the database whatever
// the answer, so the next start of the month asks nothing.
void offerAnonymisationAtStart();

// "Eksport danych osoby": a PDF and a JSON file of everything held about the
// person, where the user saves them.
void exportPersonDataCommand(int personId);

// "Usuń dane osoby": after a question with No preselected, anonymises the
// person at once, keeping (and saying so) what a law still requires. Returns
// true when anything was written, so the caller reloads its list.
bool erasePersonDataCommand(int personId);
