// rezydo-migrate FROM TO: moves a whole Rezydo database between the file and
// a database server, either way. Each place is the path of a database file or
// a server's connection text "host=… port=… dbname=… user=…". The target is
// made anew (a file that does not exist, an empty database on the server),
// filled in one transaction and compared with the source afterwards.
#include "core/error.h"
#include "db/engine.h"
#include "db/migrate.h"
#include "db/polish_collation.h"
#include "db/schema.h"
#include "db/upgrades.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QUrl>

#include <cstdio>
#include <optional>

namespace {
struct Place {
    QString file;                        // a database file
    std::optional<ServerAddress> server; // or a database on a server
    QString shown() const { return server ? server->text() : file; }
};

Place placeOf(const QString& text)
{
    if (text.contains(QLatin1Char('=')))
        return {{}, parseServerAddress(text)};
    return {text, std::nullopt};
}

// One connection of the tool, closed and forgotten when it goes.
class Connection {
public:
    Connection(const QString& name, const Place& place, bool create)
        : m_name(name)
    {
        if (place.server) {
            if (create)
                createServerDatabase(*place.server, false);
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
            openServerConnection(db, *place.server);
        } else {
            if (create)
                createDatabase(place.file, false);
            else if (!QFileInfo(place.file).isFile())
                throw RezydoError(QStringLiteral("Nie ma pliku bazy danych %1.").arg(place.file));
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
            db.setDatabaseName(QUrl::fromLocalFile(QFileInfo(place.file).absoluteFilePath())
                                   .toString(QUrl::FullyEncoded) +
                               QStringLiteral("?mode=rw"));
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
            if (!db.open())
                throw RezydoError(db.lastError().text());
            addPolishText(db);
        }
        if (!isRezydoDatabase(db()))
            throw RezydoError(
                QStringLiteral("%1 nie jest bazą danych programu Rezydo.").arg(place.shown()));
        // An older source is brought to this version first, as the program
        // does when it opens it (a file keeps its copy beside it).
        upgradeDatabase(db(), place.server ? place.server->text() : place.file);
    }
    ~Connection()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
};

void say(const QString& text)
{
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 2 || args[0].startsWith(QLatin1String("-"))) {
        std::fprintf(stderr, "użycie: rezydo-migrate Z DO\n"
                             "  (ścieżka pliku bazy albo \"host=… port=… dbname=… user=…\")\n");
        return 2;
    }
    bool targetMade = false;
    Place to;
    try {
        const Place from = placeOf(args[0]);
        to = placeOf(args[1]);
        if (!from.server && !to.server &&
            QFileInfo(from.file).absoluteFilePath() == QFileInfo(to.file).absoluteFilePath())
            throw RezydoError(QStringLiteral("Baza źródłowa i docelowa to ten sam plik."));
        if (!to.server && QFileInfo::exists(to.file))
            throw RezydoError(
                QStringLiteral("Plik %1 już istnieje; baza przenosi się tylko do nowego pliku.")
                    .arg(to.file));
        Connection source(QStringLiteral("rezydo-migrate-z"), from, false);
        Connection target(QStringLiteral("rezydo-migrate-do"), to, true);
        targetMade = true;
        say(QStringLiteral("Przenoszenie %1 → %2").arg(from.shown(), to.shown()));
        qint64 rows = 0;
        copyDatabase(source.db(), target.db(), [&rows](const CopiedTable& t) {
            rows += t.rows;
            say(QStringLiteral("  %1: %2 wierszy").arg(t.name).arg(t.rows));
        });
        const QStringList differences = compareDatabases(source.db(), target.db());
        if (!differences.isEmpty()) {
            for (const QString& d : differences)
                std::fprintf(stderr, "  %s\n", qPrintable(d));
            throw RezydoError(QStringLiteral("Bazy różnią się po przeniesieniu (powyżej)."));
        }
        say(QStringLiteral("Przeniesiono %1 wierszy; liczby wierszy i sumy kolumn obu baz są "
                           "zgodne.")
                .arg(rows));
    } catch (const RezydoError& e) {
        std::fprintf(stderr, "rezydo-migrate: %s\n", qPrintable(e.text()));
        if (targetMade && !to.server)
            QFile::remove(to.file); // a file left half made is no use to anybody
        else if (targetMade)
            std::fprintf(stderr, "Baza na serwerze zawiera teraz pusty schemat programu; przed "
                                 "ponowną próbą usuń ją i załóż od nowa (dropdb, createdb).\n");
        return 1;
    }
    return 0;
}
