#include "db/schema.h"

#include "core/error.h"
#include "db/demo_data.h"
#include "db/polish_collation.h"
#include "db/sql.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUuid>

namespace {
QString resourceText(const QString& name)
{
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly))
        throw RezydoError(QStringLiteral("Brak zasobu programu: %1").arg(name));
    return QString::fromUtf8(f.readAll());
}

// Runs a script of statements separated by ";" at the end of a line.
void runScript(QSqlDatabase db, const QString& script)
{
    QString statement;
    const QStringList lines = script.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QStringLiteral("--")) && statement.trimmed().isEmpty())
            continue;
        statement += line + QLatin1Char('\n');
        if (trimmed.endsWith(QLatin1Char(';'))) {
            runSql(db, statement);
            statement.clear();
        }
    }
    if (!statement.trimmed().isEmpty())
        runSql(db, statement);
}
} // namespace

void createDatabase(const QString& path, bool demo)
{
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
                runSql(db, QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion));
                Transaction tx(db);
                runScript(db, resourceText(QStringLiteral(":/db/schema.sql")));
                runScript(db, resourceText(QStringLiteral(":/db/indexes.sql")));
                runScript(db, resourceText(QStringLiteral(":/db/views.sql")));
                runScript(db, resourceText(QStringLiteral(":/db/seed.sql")));
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

bool isRezydoDatabase(QSqlDatabase db)
{
    try {
        return scalarSql(db, QStringLiteral("PRAGMA application_id")).toInt() == kApplicationId &&
               scalarSql(db, QStringLiteral("PRAGMA user_version")).toInt() == kSchemaVersion;
    } catch (const RezydoError& e) {
        // A file another copy is writing is ours all the same: that failure is
        // the engine's to report, not a verdict on the file.
        if (e.text().contains(QStringLiteral("locked")) ||
            e.text().contains(QStringLiteral("busy")))
            throw;
        return false; // not a database at all
    }
}
