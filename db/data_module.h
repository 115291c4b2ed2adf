#pragma once

#include "core/error.h"
#include "db/table_cursor.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>

// The data module: owner of the one database connection and of the shared
// cursors over the setup tables. Created first and let go last; the current
// instance is reachable from every window through dataModule().
struct ServerAddress;

class DataModule : public QObject {
    Q_OBJECT
public:
    explicit DataModule(QObject* parent = nullptr);
    ~DataModule() override;

    // Baza.mdb in the folder named by KatalogBazy, read anew on every call;
    // without that setting Baza/Baza.mdb under the program directory.
    static QString databaseFile();

    // Opens the connection if it is closed: on the server of SerwerBazy when
    // that setting is given, otherwise on the file. Throws RezydoError with a
    // clear message when the file is missing, the server cannot be reached or
    // the database is not a Rezydo database. Never creates a database.
    void openConnection();
    void closeConnection(); // also closes the shared cursors
    bool isOpen() const;
    // The open connection, opened on demand (throws like openConnection()).
    QSqlDatabase database();
    // The file the open connection uses; empty while closed or on a server.
    QString openFile() const { return m_openFile; }
    // The server text (SerwerBazy) the open connection uses; empty while
    // closed or on a file.
    QString openServer() const { return m_openServer; }

    TableCursor& rooms() { return m_rooms; }   // Pokoje
    TableCursor& prices() { return m_prices; } // Cennik
    TableCursor& config() { return m_config; } // Config

    static constexpr const char* kConnectionName = "rezydo";

Q_SIGNALS:
    void connectionOpened();
    void connectionClosed();

private:
    void openServerDatabase(const ServerAddress& address);

    QString m_openFile;
    QString m_openServer;
    TableCursor m_rooms;
    TableCursor m_prices;
    TableCursor m_config;
};

// The current data module; throws RezydoError when none exists.
DataModule& dataModule();

// The common report of a failed statement: a box captioned with the operation,
// "Błąd bazy : " CR LF and the engine's message, the error icon and OK.
void reportDatabaseError(const QString& operation, const QString& engineMessage);
void reportDatabaseError(const QString& operation, const RezydoError& error);
