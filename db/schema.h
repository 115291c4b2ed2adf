#pragma once

#include <QSqlDatabase>
#include <QString>

// The identity every Rezydo database carries in its header.
inline constexpr int kApplicationId = 0x52655a79; // "ReZy"
// The newest schema version: that of the last step in db/upgrades.cpp.
inline constexpr int kSchemaVersion = 7;

// Creates a fresh database file at `path` from the schema: tables, views,
// the country list and the single Config row; with `demo` also rooms, prices
// and a few groups around today. Refuses to overwrite an existing file.
// Throws RezydoError on failure (and leaves no file behind). An older
// `version` (tests of the upgrades) is made empty, without the demo.
void createDatabase(const QString& path, bool demo, int version = kSchemaVersion);

// True when `db` carries the Rezydo application id and a schema version (any:
// opening the file upgrades an older one and refuses a newer one); a
// database that is locked for longer than the busy timeout throws instead.
bool isRezydoDatabase(QSqlDatabase db);
