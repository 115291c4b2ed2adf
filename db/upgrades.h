#pragma once

#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <span>

// One step of the schema's history: what turns a database of version
// `version - 1` into one of `version`. Runs inside the upgrade's transaction.
// `apply` changes a file; `applyOnServer` does the same to a server database.
// The server's schema starts at kServerBaseVersion, so only the steps after
// it have (and must have) a server twin.
struct UpgradeStep {
    int version;
    std::function<void(QSqlDatabase)> apply;
    std::function<void(QSqlDatabase)> applyOnServer = {};
};

// The version db/server/schema.sql makes: a server database starts there.
inline constexpr int kServerBaseVersion = 7;

// Every step since the first version, in order; the last one's version is
// kSchemaVersion.
std::span<const UpgradeStep> upgradeSteps();

// The schema version the database carries (the file's PRAGMA user_version,
// the server's table rezydo_schemat).
int schemaVersionOf(QSqlDatabase db);

// Brings the open database `db` (the file `file`) to the newest version:
// (on a server `file` is the server's description, and no copy is made:
// the server's own backup is the way back)
// nothing when it is current; a file of a newer version is refused; an older
// one is first copied beside itself to "<file>.przed-aktualizacja-<version>",
// then every missing step runs in one write transaction, so another copy of
// the program opening the file meanwhile waits and then finds it upgraded.
// Throws RezydoError with a Polish message; on failure the file is as it was.
void upgradeDatabase(QSqlDatabase db, const QString& file);

// The same with a given history and target, for tests.
void upgradeDatabase(QSqlDatabase db, const QString& file, std::span<const UpgradeStep> steps,
                     int target);

// Runs the steps up to `target` on a database of version `from` without the
// copy and without a transaction of their own (the caller's, or a fresh file).
void applyUpgradeSteps(QSqlDatabase db, int from, int target);

// Helpers for steps.
// Runs a script of statements, each ending with ";" at the end of a line
// (outside a $$-quoted function body).
void runSqlScript(QSqlDatabase db, const QString& script);
// The text of one of the program's resources (":/db/...").
QString resourceText(const QString& name);
// SQLite alters a table's columns and checks only by making it anew: this
// creates `table` again from `createSql`, copies the columns both have, and
// puts back its indexes and every view (which SQLite would otherwise check
// against the half-made table).
void rebuildTable(QSqlDatabase db, const QString& table, const QString& createSql);
