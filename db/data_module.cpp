#include "db/data_module.h"

#include "core/program_dir.h"
#include "core/prompter.h"
#include "core/settings.h"
#include "db/after_transaction.h"
#include "db/engine.h"
#include "db/polish_collation.h"
#include "db/schema.h"
#include "db/sql.h"
#include "db/upgrades.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace {
DataModule*& currentModule()
{
    static DataModule* module = nullptr;
    return module;
}

QSqlDatabase namedConnection()
{
    return QSqlDatabase::database(QString::fromLatin1(DataModule::kConnectionName), false);
}

// The program's connection through `driver`; one of the other engine, left
// from an earlier opening, is let go first.
QSqlDatabase connectionThrough(const QString& driver)
{
    const QString name = QString::fromLatin1(DataModule::kConnectionName);
    if (QSqlDatabase::contains(name)) {
        if (namedConnection().driverName() == driver)
            return namedConnection();
        QSqlDatabase::removeDatabase(name);
    }
    return QSqlDatabase::addDatabase(driver, name);
}
} // namespace

DataModule::DataModule(QObject* parent)
    : QObject(parent)
    , m_rooms(QStringLiteral("Pokoje"), [this] { return database(); })
    , m_prices(QStringLiteral("Cennik"), [this] { return database(); })
    , m_config(QStringLiteral("Config"), [this] { return database(); })
{
    currentModule() = this;
}

DataModule::~DataModule()
{
    closeConnection();
    QSqlDatabase::removeDatabase(QString::fromLatin1(kConnectionName));
    if (currentModule() == this)
        currentModule() = nullptr;
}

QString DataModule::databaseFile()
{
    const std::optional<QString> dir = readSetting(QStringLiteral("KatalogBazy"));
    if (dir && !dir->isEmpty())
        return QDir(*dir).filePath(QStringLiteral("Baza.mdb"));
    return QDir(programDirectory()).filePath(QStringLiteral("Baza/Baza.mdb"));
}

bool DataModule::isOpen() const
{
    return namedConnection().isOpen();
}

void DataModule::openConnection()
{
    if (isOpen())
        return;
    if (const std::optional<ServerAddress> server = configuredServer()) {
        openServerDatabase(*server);
        return;
    }
    const QString file = QDir::toNativeSeparators(QFileInfo(databaseFile()).absoluteFilePath());
    if (!QFileInfo(file).isFile())
        throw RezydoError(
            QStringLiteral("Nie można otworzyć bazy danych: plik '%1' nie istnieje.").arg(file));

    QSqlDatabase db = connectionThrough(QStringLiteral("QSQLITE"));
    // mode=rw: a missing file is an error and is never created.
    db.setDatabaseName(QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded) +
                       QStringLiteral("?mode=rw"));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        throw RezydoError(QStringLiteral("Nie można otworzyć bazy danych '%1': %2")
                              .arg(file, db.lastError().text()));
    try {
        if (!isRezydoDatabase(db))
            throw RezydoError(
                QStringLiteral("Plik '%1' nie jest bazą danych programu Rezydo.").arg(file));
        for (const char* pragma : {"PRAGMA journal_mode=DELETE", "PRAGMA synchronous=FULL",
                                   "PRAGMA busy_timeout=5000", "PRAGMA foreign_keys=OFF"})
            runSql(db, QString::fromLatin1(pragma));
        addPolishText(db);
        upgradeDatabase(db, file);
    } catch (const RezydoError&) {
        db.close();
        throw;
    }
    m_openFile = file;
    Q_EMIT connectionOpened();
}

// No pragmas and no collation to register: the server's schema holds its
// collation and settings. A database older than the program is upgraded.
void DataModule::openServerDatabase(const ServerAddress& address)
{
    QSqlDatabase db = connectionThrough(QStringLiteral("QPSQL"));
    openServerConnection(db, address);
    const QString text = address.text();
    try {
        if (!isRezydoDatabase(db))
            throw RezydoError(
                QStringLiteral("Baza '%1' na serwerze (%2) nie jest bazą danych programu Rezydo.")
                    .arg(address.database, text));
        upgradeDatabase(db, text);
    } catch (const RezydoError&) {
        db.close();
        throw;
    }
    m_openServer = text;
    Q_EMIT connectionOpened();
}

void DataModule::closeConnection()
{
    m_rooms.close();
    m_prices.close();
    m_config.close();
    QSqlDatabase db = namedConnection();
    if (db.isValid() && db.isOpen()) {
        db.close();
        m_openFile.clear();
        m_openServer.clear();
        Q_EMIT connectionClosed();
    }
}

QSqlDatabase DataModule::database()
{
    openConnection();
    return namedConnection();
}

DataModule& dataModule()
{
    if (!currentModule())
        throw RezydoError(QStringLiteral("Moduł danych nie został utworzony."));
    return *currentModule();
}

// Inside a write transaction the box waits until the transaction has ended.
void reportDatabaseError(const QString& operation, const QString& engineMessage)
{
    whenNoTransaction([text = QStringLiteral("Błąd bazy : \r\n") + engineMessage, operation] {
        prompter().error(text, operation);
    });
}

void reportDatabaseError(const QString& operation, const RezydoError& error)
{
    reportDatabaseError(operation, error.text());
}
