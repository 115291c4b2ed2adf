#pragma once

#include <QString>

// The copy of a database on the server, for the backup archives: made with
// the server's own pg_dump in its custom format and read back with
// pg_restore. An archive of the server holds it as the entry Baza.pgdump,
// an archive of the file holds Baza.mdb: the entry says which kind of
// database the archive came from.

inline const QString kServerArchiveEntry = QStringLiteral("Baza.pgdump");

struct ServerToolResult {
    bool ok = true;
    QString details; // what the tool said
};

// The path of a PostgreSQL program (pg_dump, pg_restore): the one on the
// PATH, else the newest one the server's packages install; empty when none.
QString postgresProgram(const QString& name);

// Writes the whole database named by `connection` (host=… port=… dbname=…
// user=…) to `file`. The password, when the server asks for one and it is
// not in the user's ~/.pgpass, is `password`.
ServerToolResult dumpServerDatabase(const QString& connection, const QString& password,
                                    const QString& file);

// Puts the copy in `file` in place of the database's contents, in one
// transaction: a failure leaves the database as it was. A database held by
// another workstation for longer than a few seconds makes it fail.
ServerToolResult restoreServerDatabase(const QString& connection, const QString& password,
                                       const QString& file);

// True when `file` is a copy pg_restore can read of a Rezydo database.
bool isServerCopy(const QString& file);
