#pragma once

#include <QString>

// The first start on a machine: Baza.mdb is missing where the settings point.
// The program asks whether to create a new, empty database there or to choose
// another folder; it never creates one without asking.
enum class FirstStart { Found, Created, Cancelled };
FirstStart offerDatabase();

// Creates an empty database file that the owner's group may read and write
// (the receptionists of one hotel share one group) and nobody else may.
// Throws RezydoError when the file cannot be made.
void createEmptyDatabase(const QString& file);

// "Pierwsze kroki": what to set up before the first reservation, shown while
// the open database has no rooms. Returns whether it was shown.
bool showFirstStepsIfEmpty();

extern const QString kFirstStartCaption;
extern const QString kFirstStepsCaption;
extern const QString kFirstStepsText;
