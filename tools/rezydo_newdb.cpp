// rezydo-newdb PATH [--demo | --synthetic YEARS ROOMS]: creates a fresh Rezydo
// database file, empty, with the demo hotel, or with a large synthetic one.
// rezydo-newdb --serwer "host=… dbname=…" [--demo]: the same in an empty
// database on a server.
#include "core/error.h"
#include "db/engine.h"
#include "db/polish_collation.h"
#include "db/schema.h"
#include "db/synthetic_data.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QStringList>
#include <QUrl>

#include <cstdio>
#include <optional>

namespace {
struct Options {
    QString path;
    QString server; // a server's connection text instead of a file
    bool demo = false;
    int years = 0; // > 0: synthetic
    int rooms = 0;
};

std::optional<Options> parse(const QStringList& args)
{
    Options o;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QStringLiteral("--demo")) {
            o.demo = true;
        } else if (a == QStringLiteral("--serwer") && i + 1 < args.size() && o.server.isEmpty()) {
            o.server = args[++i];
        } else if (a == QStringLiteral("--synthetic") && i + 2 < args.size()) {
            bool okYears = false;
            bool okRooms = false;
            o.years = args[i + 1].toInt(&okYears);
            o.rooms = args[i + 2].toInt(&okRooms);
            if (!okYears || !okRooms || o.years < 1 || o.years > 50 || o.rooms < 1 ||
                o.rooms > 2000)
                return std::nullopt;
            i += 2;
        } else if (o.path.isEmpty() && !a.startsWith(QStringLiteral("--"))) {
            o.path = a;
        } else {
            return std::nullopt;
        }
    }
    if (o.path.isEmpty() == o.server.isEmpty() || (o.demo && o.years > 0) ||
        (!o.server.isEmpty() && o.years > 0))
        return std::nullopt;
    return o;
}

SyntheticCounts fillSynthetic(const Options& o)
{
    const QString name = QStringLiteral("rezydo-newdb");
    SyntheticCounts counts;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QUrl::fromLocalFile(o.path).toString(QUrl::FullyEncoded) +
                           QStringLiteral("?mode=rw"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        if (!db.open())
            throw RezydoError(db.lastError().text());
        try {
            addPolishText(db);
            counts = insertSyntheticData(db, o.years, o.rooms);
        } catch (...) {
            db.close();
            throw;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return counts;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const std::optional<Options> o = parse(QCoreApplication::arguments().mid(1));
    if (!o) {
        std::fprintf(stderr, "usage: rezydo-newdb PATH [--demo | --synthetic YEARS ROOMS]\n"
                             "       rezydo-newdb --serwer \"host=... dbname=...\" [--demo]\n");
        return 2;
    }
    if (!o->server.isEmpty()) {
        try {
            const ServerAddress address = parseServerAddress(o->server);
            createServerDatabase(address, o->demo);
            std::printf("%s\n", qPrintable(address.text()));
        } catch (const RezydoError& e) {
            std::fprintf(stderr, "rezydo-newdb: %s\n", qPrintable(e.text()));
            return 1;
        }
        return 0;
    }
    QDir().mkpath(QFileInfo(o->path).absolutePath());
    QElapsedTimer timer;
    timer.start();
    try {
        createDatabase(o->path, o->demo);
        if (o->years > 0) {
            const SyntheticCounts c = fillSynthetic(*o);
            std::fprintf(stderr,
                         "%d rooms, %d register entries, %d persons, %d calculations (%d lines), "
                         "%d payments, %d invoices, %d groups staying, %d reservations; %lld ms\n",
                         c.rooms, c.registerEntries, c.persons, c.calculations, c.calculationLines,
                         c.payments, c.invoices, c.staying, c.reservations,
                         static_cast<long long>(timer.elapsed()));
        }
    } catch (const RezydoError& e) {
        if (o->years > 0)
            QFile::remove(o->path); // a half-made synthetic file is no use to anybody
        std::fprintf(stderr, "rezydo-newdb: %s\n", qPrintable(e.text()));
        return 1;
    }
    std::printf("%s\n", qPrintable(QFileInfo(o->path).absoluteFilePath()));
    return 0;
}
