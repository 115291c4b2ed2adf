#pragma once

#include <QSqlDatabase>
#include <QString>

// The identity every Rezydo database carries in its header.
inline constexpr int kApplicationId = 0x52655a79; // "ReZy"
inline constexpr int kSchemaVersion = 1;

// Creates a fresh database file at `path` from the schema: tables, views,
// the country list and the single Config row; with `demo` also rooms, prices
// and a few groups around today. Refuses to overwrite an existing file.
// Throws RezydoError on failure (and leaves no file behind).
void createDatabase(const QString& path, bool demo);

// True when `db` carries the Rezydo application id and schema version; a
// database that is locked for longer than the busy timeout throws instead.
bool isRezydoDatabase(QSqlDatabase db);
