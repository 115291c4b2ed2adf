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

struct ServerAddress;

// Creates the schema of the newest version in the EMPTY server database at
// `address` (made beforehand by the server's administrator): tables, views,
// indexes, the countries, the VAT rates and the Config row; with `demo` the
// demo hotel too. A database holding any table or view is refused. All or
// nothing. Throws RezydoError.
void createServerDatabase(const ServerAddress& address, bool demo);

// True when `db` carries the Rezydo application id and a schema version (any:
// the file in its header, the server in the table rezydo_schemat;
// opening the file upgrades an older one and refuses a newer one); a
// database that is locked for longer than the busy timeout throws instead.
bool isRezydoDatabase(QSqlDatabase db);
