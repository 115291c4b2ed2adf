#include "db/schema.h"

#include "core/error.h"
#include "db/demo_data.h"
#include "db/engine.h"
#include "db/polish_collation.h"
#include "db/sql.h"
#include "db/upgrades.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUuid>

void createDatabase(const QString& path, bool demo, int version)
{
    if (version < 1 || version > kSchemaVersion || (demo && version != kSchemaVersion))
        throw RezydoError(QStringLiteral("Nieznana wersja bazy danych: %1").arg(version));
    if (QFileInfo::exists(path))
        throw RezydoError(QStringLiteral("Plik '%1' już istnieje.").arg(path));
    const QString name = QStringLiteral("rezydo-create-") + QUuid::createUuid().toString();
    bool ok = false;
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) +
                           QStringLiteral("?mode=rwc"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        if (!db.open()) {
            failure = db.lastError().text();
        } else {
            try {
                addPolishText(db);
                runSql(db, QStringLiteral("PRAGMA journal_mode=DELETE"));
                runSql(db, QStringLiteral("PRAGMA application_id=%1").arg(kApplicationId));
                Transaction tx(db);
                // The first version, then every upgrade step up to `version`.
                runSqlScript(db, resourceText(QStringLiteral(":/db/schema.sql")));
                runSqlScript(db, resourceText(QStringLiteral(":/db/indexes.sql")));
                runSqlScript(db, resourceText(QStringLiteral(":/db/views.sql")));
                runSqlScript(db, resourceText(QStringLiteral(":/db/seed.sql")));
                applyUpgradeSteps(db, 1, version);
                if (demo)
                    insertDemoData(db);
                tx.commit();
                ok = true;
            } catch (const RezydoError& e) {
                failure = e.text();
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!ok) {
        QFile::remove(path);
        throw RezydoError(
            QStringLiteral("Nie można utworzyć bazy danych '%1': %2").arg(path, failure));
    }
}

void createServerDatabase(const ServerAddress& address, bool demo)
{
    const QString name = QStringLiteral("rezydo-create-") + QUuid::createUuid().toString();
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        try {
            openServerConnection(db, address);
            const int objects =
                scalarSql(db, QStringLiteral("SELECT count(*) FROM information_schema.tables "
                                             "WHERE table_schema = current_schema()"))
                    .toInt();
            if (objects > 0)
                throw RezydoError(QStringLiteral(
                    "baza nie jest pusta (ma tabele lub widoki); program Rezydo zakłada swoje "
                    "tabele tylko w pustej bazie"));
            Transaction tx(db);
            for (const char* script :
                 {":/db/server/schema.sql", ":/db/server/functions_reports.sql",
                  ":/db/server/indexes.sql", ":/db/server/views.sql", ":/db/seed.sql",
                  ":/db/server/seed.sql"})
                runSqlScript(db, resourceText(QString::fromLatin1(script)));
            runSql(db,
                   QStringLiteral("INSERT INTO rezydo_schemat (application_id, user_version) "
                                  "VALUES (:A, :V)"),
                   {{":A", kApplicationId}, {":V", kServerBaseVersion}});
            applyUpgradeSteps(db, kServerBaseVersion, kSchemaVersion);
            if (demo)
                insertDemoData(db);
            tx.commit();
        } catch (const RezydoError& e) {
            failure = e.text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!failure.isEmpty())
        throw RezydoError(QStringLiteral("Nie można utworzyć bazy danych '%1' na serwerze: %2")
                              .arg(address.database, failure));
}

bool isRezydoDatabase(QSqlDatabase db)
{
    if (engineOf(db) == Engine::Server) {
        // The table is looked up first: a failed statement would spoil a
        // transaction the caller may have open.
        if (scalarSql(db, QStringLiteral("SELECT to_regclass('rezydo_schemat') IS NOT NULL"))
                .toBool() == false)
            return false;
        QSqlQuery q = runSql(db, QStringLiteral("SELECT application_id, user_version "
                                                "FROM rezydo_schemat"));
        return q.next() && q.value(0).toInt() == kApplicationId && q.value(1).toInt() >= 1;
    }
    try {
        return scalarSql(db, QStringLiteral("PRAGMA application_id")).toInt() == kApplicationId &&
               scalarSql(db, QStringLiteral("PRAGMA user_version")).toInt() >= 1;
    } catch (const RezydoError& e) {
        // A file another copy is writing is ours all the same: that failure is
        // the engine's to report, not a verdict on the file.
        if (e.text().contains(QStringLiteral("locked")) ||
            e.text().contains(QStringLiteral("busy")))
            throw;
        return false; // not a database at all
    }
}
