#pragma once

#include <QString>

// The directory of the program: the help file lives here, and the default
// database is Baza/Baza.mdb beneath it. Tests point it at a temporary folder.
QString programDirectory();
void setProgramDirectory(const QString& directory); // empty = the executable's folder

inline const QString kProgramName = QStringLiteral("Veltrano Rezydo");
