#include "db/engine.h"

#include "core/error.h"
#include "core/prompter.h"
#include "core/settings.h"

#include <QHash>
#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>

Engine engineOf(const QSqlDatabase& db)
{
    return db.driverName() == QLatin1String("QPSQL") ? Engine::Server : Engine::File;
}

sqlite3* sqliteHandleOf(const QSqlDatabase& db)
{
    const QVariant handle = db.isOpen() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

namespace {
QString malformed(const QString& why)
{
    return QStringLiteral("Nieprawidłowy opis serwera bazy danych: %1. Oczekiwana postać: "
                          "host=… port=… dbname=… user=…")
        .arg(why);
}

QString quotedValue(const QString& value)
{
    bool plain = !value.isEmpty();
    for (QChar c : value)
        if (c.isSpace() || c == QLatin1Char('\'') || c == QLatin1Char('\\'))
            plain = false;
    if (plain)
        return value;
    QString out = QStringLiteral("'");
    for (QChar c : value) {
        if (c == QLatin1Char('\'') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out + QLatin1Char('\'');
}

// The passwords typed during this run of the program, by server text.
QHash<QString, QString>& typedPasswords()
{
    static QHash<QString, QString> passwords;
    return passwords;
}
} // namespace

QString ServerAddress::text() const
{
    QString out;
    if (!host.isEmpty())
        out += QStringLiteral("host=") + quotedValue(host) + QLatin1Char(' ');
    out += QStringLiteral("port=%1 dbname=").arg(port) + quotedValue(database);
    if (!user.isEmpty())
        out += QStringLiteral(" user=") + quotedValue(user);
    return out;
}

ServerAddress parseServerAddress(const QString& text)
{
    ServerAddress a;
    QStringList seen;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (true) {
        while (i < n && text[i].isSpace())
            ++i;
        if (i == n)
            break;
        const qsizetype eq = text.indexOf(QLatin1Char('='), i);
        if (eq < 0)
            throw RezydoError(malformed(QStringLiteral("brak znaku „=” po „%1”").arg(text.mid(i))));
        const QString key = text.mid(i, eq - i).trimmed();
        i = eq + 1;
        while (i < n && text[i].isSpace())
            ++i;
        QString value;
        if (i < n && text[i] == QLatin1Char('\'')) {
            ++i;
            bool closed = false;
            while (i < n) {
                if (text[i] == QLatin1Char('\\') && i + 1 < n) {
                    value += text[i + 1];
                    i += 2;
                } else if (text[i] == QLatin1Char('\'')) {
                    ++i;
                    closed = true;
                    break;
                } else {
                    value += text[i++];
                }
            }
            if (!closed)
                throw RezydoError(malformed(QStringLiteral("niezamknięty apostrof")));
        } else {
            while (i < n && !text[i].isSpace())
                value += text[i++];
        }
        if (seen.contains(key))
            throw RezydoError(malformed(QStringLiteral("„%1” podano dwa razy").arg(key)));
        seen << key;
        if (key == QLatin1String("host")) {
            a.host = value;
        } else if (key == QLatin1String("port")) {
            bool ok = false;
            a.port = value.toInt(&ok);
            if (!ok || a.port < 1 || a.port > 65535)
                throw RezydoError(
                    malformed(QStringLiteral("port „%1” nie jest numerem portu").arg(value)));
        } else if (key == QLatin1String("dbname")) {
            a.database = value;
        } else if (key == QLatin1String("user")) {
            a.user = value;
        } else if (key == QLatin1String("password")) {
            throw RezydoError(malformed(
                QStringLiteral("hasła nie zapisuje się w ustawieniach (program pyta o nie albo "
                               "czyta je z pliku ~/.pgpass)")));
        } else {
            throw RezydoError(malformed(QStringLiteral("nieznany klucz „%1”").arg(key)));
        }
    }
    if (a.database.isEmpty())
        throw RezydoError(malformed(QStringLiteral("brak nazwy bazy (dbname)")));
    return a;
}

std::optional<ServerAddress> configuredServer()
{
    const std::optional<QString> text = readSetting(QStringLiteral("SerwerBazy"));
    if (!text || text->trimmed().isEmpty())
        return std::nullopt;
    try {
        return parseServerAddress(*text);
    } catch (const RezydoError& e) {
        throw RezydoError(QStringLiteral("Ustawienie SerwerBazy: ") + e.text());
    }
}

void openServerConnection(QSqlDatabase& db, const ServerAddress& address)
{
    db.setHostName(address.host);
    db.setPort(address.port);
    db.setDatabaseName(address.database);
    db.setUserName(address.user);
    // A server that does not answer is reported instead of waited for.
    db.setConnectOptions(QStringLiteral("connect_timeout=10"));
    const QString key = address.text();
    auto& passwords = typedPasswords();
    db.setPassword(passwords.value(key));
    if (db.open())
        return;
    QString failure = db.lastError().text();
    if (passwords.contains(key) && failure.contains(QLatin1String("password authentication"))) {
        passwords.remove(key); // asked again at the next opening
    } else if (!passwords.contains(key) && failure.contains(QLatin1String("no password"))) {
        const std::optional<QString> typed = prompter().inputSecret(
            QStringLiteral("Hasło do bazy danych"),
            QStringLiteral("Serwer bazy danych %1 prosi o hasło użytkownika %2 do bazy %3:")
                .arg(address.host.isEmpty() ? QStringLiteral("lokalny") : address.host,
                     address.user.isEmpty() ? QStringLiteral("(bieżącego)") : address.user,
                     address.database));
        if (typed) {
            db.setPassword(*typed);
            if (db.open()) {
                passwords.insert(key, *typed);
                return;
            }
            failure = db.lastError().text();
        }
    }
    db.setPassword(QString());
    throw RezydoError(
        QStringLiteral("Nie można połączyć się z serwerem bazy danych (%1): %2").arg(key, failure));
}

QString typedPassword(const ServerAddress& address)
{
    return typedPasswords().value(address.text());
}

// --- Statements of the stays and the register -----------------------------

QString equalsIgnoringAsciiCaseSql(const QSqlDatabase& db, const QString& a, const QString& b)
{
    if (engineOf(db) == Engine::File)
        return QStringLiteral("%1 = %2 COLLATE NOCASE").arg(a, b);
    const auto fold = [](const QString& x) {
        return QStringLiteral("translate(%1, 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', "
                              "'abcdefghijklmnopqrstuvwxyz')")
            .arg(x);
    };
    return fold(a) + QStringLiteral(" = ") + fold(b);
}

QString laterDaySql(const QSqlDatabase& db, const QString& a, const QString& b)
{
    if (engineOf(db) == Engine::File)
        return QStringLiteral("max(%1, %2)").arg(a, b);
    return QStringLiteral("CASE WHEN %1 >= %2 THEN %1 ELSE %2 END").arg(a, b);
}

QString likeIgnoringAsciiCaseSql(const QSqlDatabase& db, const QString& a, const QString& b)
{
    if (engineOf(db) == Engine::File)
        return QStringLiteral("%1 LIKE %2 ESCAPE '\\'").arg(a, b);
    return QStringLiteral("casefold(%1) LIKE casefold(%2) ESCAPE '\\'").arg(a, b);
}

// --- Dialect pieces of the billing statements ---

QString nightsSql(const QSqlDatabase& db, const QString& from, const QString& to)
{
    if (engineOf(db) == Engine::Server)
        return QStringLiteral("(CAST(%1 AS date) - CAST(%2 AS date))").arg(to, from);
    return QStringLiteral("CAST(julianday(%1) - julianday(%2) AS INTEGER)").arg(to, from);
}
