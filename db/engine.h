#pragma once

#include <QSqlDatabase>
#include <QString>

#include <optional>

// The two engines a Rezydo database lives on: the single SQLite file of the
// folder KatalogBazy, or a PostgreSQL server named by the setting SerwerBazy.
// This is the one place the rest of the program asks which one it is on.
enum class Engine { File, Server };

Engine engineOf(const QSqlDatabase& db);

struct sqlite3;
// The open file connection's own SQLite handle, for what Qt's driver does not
// offer (the Polish collation, a statement stepped without QVariants); null
// on a server or a closed connection.
sqlite3* sqliteHandleOf(const QSqlDatabase& db);

// Where a server database is: the libpq connection text of SerwerBazy,
// "host=… port=… dbname=… user=…", never with a password (libpq reads the
// user's ~/.pgpass; otherwise the program asks once per start).
struct ServerAddress {
    QString host; // a name, an address or the folder of a local socket
    int port = 5432;
    QString database; // required
    QString user;     // empty: the account's own name, as libpq takes it
    // The text back in the setting's form, values quoted where they need it.
    QString text() const;
    bool operator==(const ServerAddress&) const = default;
};

// Reads a connection text; throws RezydoError with a Polish message naming
// what is wrong (unknown or repeated key, a password, no database, a port
// that is not a number, an unclosed quote).
ServerAddress parseServerAddress(const QString& text);

// The server the setting SerwerBazy names, read anew on every call; nullopt
// when it is unset or empty (the database is then the file). A malformed
// setting throws like parseServerAddress, with the setting's name in front.
std::optional<ServerAddress> configuredServer();

// Opens `db`, a QPSQL connection, on `address`. When the server wants a
// password that ~/.pgpass does not give, the user is asked once per start of
// the program (the answer stays in memory only; a refused one is forgotten).
// Throws RezydoError with the server's message.
void openServerConnection(QSqlDatabase& db, const ServerAddress& address);

// The password typed for `address` during this run of the program (empty
// when none was asked for), for the server's own tools (pg_dump, pg_restore)
// started on the same database.
QString typedPassword(const ServerAddress& address);

// --- Statements of the stays and the register -----------------------------

// `a = b` with ASCII letters compared without regard to case: the file's
// COLLATE NOCASE; on the server both sides with A–Z made small (other letters,
// Polish ones too, are compared as they are, as NOCASE does).
QString equalsIgnoringAsciiCaseSql(const QSqlDatabase& db, const QString& a, const QString& b);
// The later of two days stored as text that are never NULL (the file's
// scalar max(a, b)).
QString laterDaySql(const QSqlDatabase& db, const QString& a, const QString& b);
// `a LIKE b ESCAPE '\'` with ASCII letters matched without regard to case, as
// the file's LIKE does; on the server both sides through casefold().
QString likeIgnoringAsciiCaseSql(const QSqlDatabase& db, const QString& a, const QString& b);

// --- Dialect pieces of the billing statements ---

// The whole number of nights from the day column `from` to the day column
// `to` (both "yyyy-mm-dd" texts; NULL when either is NULL).
QString nightsSql(const QSqlDatabase& db, const QString& from, const QString& to);
