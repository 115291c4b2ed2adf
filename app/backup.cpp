#include "app/backup.h"

#include "app/server_backup.h"
#include "app/zip_archive.h"
#include "core/clock.h"
#include "core/prompter.h"
#include "core/settings.h"
#include "db/data_module.h"
#include "db/engine.h"
#include "db/polish_collation.h"
#include "db/schema.h"
#include "db/sql.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QUrl>
#include <QUuid>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
const QString kEntry = QStringLiteral("Baza.mdb");
const QString kSettingsFailure =
    QStringLiteral("Nie można stworzyć archiwum ponieważ wystąpił błąd w dostępie do rejestru "
                   "systemowego Windows. Najprawdopodobniej program został nieprawidłowo "
                   "zainstalowany.");
const QString kCopyFailure =
    QStringLiteral("Nie można stworzyć archiwum ponieważ wystąpił błąd podczas kopiowania bazy "
                   "danych. Najprawdopodobniej na dysku zabrakł wolnego miejsca.");
const QString kRestoreFailure =
    QStringLiteral("Nie można odtworzyć archiwum ponieważ wystąpił błąd podczas kopiowania z "
                   "archiwum. Najprawdopodobniej plik archiwum jest uszkodzony.");
const QString kServerCopyFailure =
    QStringLiteral("Nie można stworzyć archiwum ponieważ kopia bazy danych z serwera nie "
                   "powiodła się:\n%1");
const QString kServerRestoreFailure =
    QStringLiteral("Nie można odtworzyć archiwum ponieważ baza danych na serwerze nie przyjęła "
                   "kopii. Baza danych pozostała bez zmian.\n%1");
const QString kFileArchiveOnServer =
    QStringLiteral("To archiwum zawiera kopię bazy danych z pliku (Baza.mdb), a program pracuje "
                   "z bazą danych na serwerze. Takiej kopii nie można odtworzyć na serwerze; "
                   "bazę danych z pliku przenosi się na serwer programem rezydo-migrate.");
const QString kServerArchiveOnFile =
    QStringLiteral("To archiwum zawiera kopię bazy danych z serwera (Baza.pgdump), a program "
                   "pracuje z bazą danych w pliku. Takiej kopii nie można odtworzyć w pliku; "
                   "bazę danych z serwera przenosi się do pliku programem rezydo-migrate.");
const QString kFailureCaption = QStringLiteral("Tworzenie archiwum - Błąd!");
const QString kNoArchiveFolderCaption = QStringLiteral("Odtwarzanie archiwum - Błąd!");
const QString kNoArchiveFolder =
    QStringLiteral("Nie ustawiono folderu na kopie zapasowe bazy danych (KatalogArchiwum). "
                   "Okno wyboru pliku otworzy się w folderze domyślnym.");

constexpr QFileDevice::Permissions kReadWrite = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                QFileDevice::ReadOther | QFileDevice::WriteOther;
// Several receptionist accounts of one group share the database file.
constexpr QFileDevice::Permissions kShared = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ReadGroup | QFileDevice::WriteGroup;

std::optional<QString> databaseFolder()
{
    std::optional<QString> dir = readSetting(QStringLiteral("KatalogBazy"));
    if (dir && dir->isEmpty())
        return std::nullopt;
    return dir;
}

// A connection of its own to one file, for taking a copy or checking a file;
// the shared connection stays closed meanwhile.
class ScratchConnection {
public:
    ScratchConnection(const QString& file, const QString& mode)
        : m_name(QStringLiteral("rezydo-scratch-") + QUuid::createUuid().toString())
    {
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        m_db.setDatabaseName(QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded) +
                             QStringLiteral("?mode=") + mode);
        m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
        // Like every connection of the program, it knows the Polish order;
        // one that cannot learn it counts as not opened.
        if (m_db.open()) {
            try {
                addPolishText(m_db);
            } catch (const RezydoError&) {
                m_db.close();
            }
        }
    }
    ~ScratchConnection()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    ScratchConnection(const ScratchConnection&) = delete;
    ScratchConnection& operator=(const ScratchConnection&) = delete;

    bool isOpen() const { return m_db.isOpen(); }
    QSqlDatabase db() const { return m_db; }

private:
    QString m_name;
    QSqlDatabase m_db;
};

// SQLite copies the database inside one read transaction, so another copy of
// the program writing meanwhile never leaves half of its work in the backup.
// Read-write, so that a journal left by a writer that died is rolled back.
bool snapshot(const QString& dbFile, const QString& target)
{
    ScratchConnection source(dbFile, QStringLiteral("rw"));
    if (!source.isOpen())
        return false;
    try {
        runSql(source.db(), QStringLiteral("VACUUM INTO :Plik"), {{":Plik", target}});
        return true;
    } catch (const RezydoError&) {
        return false;
    }
}

bool packDatabase(const QString& dbFile, const QString& archive)
{
    const QFileInfo info(dbFile);
    if (!info.isFile())
        return false;
    // Read before the copy: a change landing while copying leaves the file
    // newer than the entry, so the next backup replaces it rather than skips.
    const QDateTime modified = info.lastModified();
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return false;
    const QString copy = scratch.filePath(kEntry);
    // The database's own permissions, not the private copy's, so that the
    // file unzip makes of the entry opens for the same accounts.
    const QFileDevice::Permissions permissions = (info.permissions() & kReadWrite) | kShared;
    return snapshot(dbFile, copy) &&
           packEntry(archive, kEntry, copy, modified, permissions) != PackOutcome::Failed;
}

bool isSoundDatabase(const QString& file)
{
    ScratchConnection check(file, QStringLiteral("ro"));
    if (!check.isOpen())
        return false;
    try {
        return scalarSql(check.db(), QStringLiteral("PRAGMA integrity_check")).toString() ==
                   QLatin1String("ok") &&
               isRezydoDatabase(check.db());
    } catch (const RezydoError&) {
        return false; // not a database at all
    }
}

bool syncToDisk(QFile& file)
{
    if (!file.flush())
        return false;
#ifdef Q_OS_UNIX
    return ::fsync(file.handle()) == 0;
#else
    return true;
#endif
}

// One rename puts the new file in place, so Baza.mdb is never missing or half
// written. The old file stays as Baza.mdb.bak: a second link to it where the
// file system allows, else a copy. The new file takes the old one's
// permissions; where there was none, those recorded in the archive.
bool replaceDatabase(const QString& fresh, const QString& dbFile,
                     std::optional<QFileDevice::Permissions> recorded)
{
    namespace fs = std::filesystem;
    const QString bak = dbFile + QStringLiteral(".bak");
    const bool hadDatabase = QFileInfo::exists(dbFile);
    std::error_code ec;
    if (hadDatabase) {
        QFile::remove(bak);
        fs::create_hard_link(QFileInfo(dbFile).filesystemFilePath(),
                             QFileInfo(bak).filesystemFilePath(), ec);
        if (ec && !QFile::copy(dbFile, bak))
            return false;
        QFile::setPermissions(fresh, QFile::permissions(dbFile));
    } else if (recorded) {
        QFile::setPermissions(fresh, (*recorded & kReadWrite) | QFileDevice::ReadOwner |
                                         QFileDevice::WriteOwner);
    }
    fs::rename(QFileInfo(fresh).filesystemFilePath(), QFileInfo(dbFile).filesystemFilePath(), ec);
    if (ec)
        return false;
    // A journal left by a writer that died belongs to the old file; beside the
    // new one SQLite would "roll it back" into it and damage it.
    const QString journal = dbFile + QStringLiteral("-journal");
    if (QFileInfo::exists(journal)) {
        QFile::remove(bak + QStringLiteral("-journal"));
        if (!QFile::rename(journal, bak + QStringLiteral("-journal")))
            QFile::remove(journal);
    }
    return true;
}

bool restoreInto(const QString& archive, const QString& folder)
{
    // In the database's own folder, so that the final rename stays atomic.
    // Made like any new file there (the umask and the folder's default ACL
    // apply), which is what an archive without recorded permissions gives;
    // a temporary file would be private to its owner.
    QFile extracted(QDir(folder).filePath(QStringLiteral("Baza.mdb.") +
                                          QUuid::createUuid().toString(QUuid::Id128)));
    if (!extracted.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    auto removeOnFailure = qScopeGuard([&extracted] { extracted.remove(); });
    if (!extractEntry(archive, kEntry, extracted) || !syncToDisk(extracted))
        return false;
    // SQLite must be the only one holding the file while it checks it.
    extracted.close();
    if (!isSoundDatabase(extracted.fileName()) ||
        !replaceDatabase(extracted.fileName(), QDir(folder).filePath(kEntry),
                         recordedPermissions(archive, kEntry)))
        return false;
    removeOnFailure.dismiss();
    return true;
}
} // namespace

QString proposedArchiveName(const QDateTime& at)
{
    return QStringLiteral("Archiwum ") + at.toString(QStringLiteral("yyyy.MM.dd HH.mm")) +
           QStringLiteral(".zip");
}

namespace {
ArchiveResult createServerArchive(const ServerAddress& server, const QString& archivePath)
{
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return {false, kCopyFailure};
    const QString copy = scratch.filePath(kServerArchiveEntry);
    const ServerToolResult dumped = dumpServerDatabase(server.text(), typedPassword(server), copy);
    if (!dumped.ok)
        return {false, kServerCopyFailure.arg(dumped.details)};
    // A copy of the server is always newer than the one the archive may hold.
    if (packEntry(archivePath, kServerArchiveEntry, copy, now(), kShared) == PackOutcome::Failed)
        return {false, kCopyFailure};
    return {};
}

ArchiveResult restoreServerArchive(const ServerAddress& server, const QString& archivePath)
{
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return {false, kRestoreFailure};
    QFile copy(scratch.filePath(kServerArchiveEntry));
    if (!copy.open(QIODevice::WriteOnly) || !extractEntry(archivePath, kServerArchiveEntry, copy))
        return {false, kRestoreFailure};
    copy.close();
    if (!isServerCopy(copy.fileName()))
        return {false, kRestoreFailure};
    // The program's own session must not hold the tables being replaced.
    dataModule().closeConnection();
    const ServerToolResult restored =
        restoreServerDatabase(server.text(), typedPassword(server), copy.fileName());
    dataModule().openConnection();
    return restored.ok ? ArchiveResult{}
                       : ArchiveResult{false, kServerRestoreFailure.arg(restored.details)};
}
} // namespace

ArchiveResult createArchive(const QString& archivePath)
{
    if (const std::optional<ServerAddress> server = configuredServer())
        return createServerArchive(*server, archivePath);
    const std::optional<QString> folder = databaseFolder();
    if (!folder)
        return {false, kSettingsFailure};
    dataModule().closeConnection();
    const bool ok = packDatabase(QDir(*folder).filePath(kEntry), archivePath);
    dataModule().openConnection();
    return ok ? ArchiveResult{} : ArchiveResult{false, kCopyFailure};
}

ArchiveResult restoreArchive(const QString& archivePath)
{
    // An archive of the other kind of database is refused before anything is touched.
    const std::optional<ServerAddress> server = configuredServer();
    if (server && hasEntry(archivePath, kEntry) && !hasEntry(archivePath, kServerArchiveEntry))
        return {false, kFileArchiveOnServer};
    if (!server && hasEntry(archivePath, kServerArchiveEntry) && !hasEntry(archivePath, kEntry))
        return {false, kServerArchiveOnFile};
    if (server)
        return restoreServerArchive(*server, archivePath);
    const std::optional<QString> folder = databaseFolder();
    if (!folder)
        return {false, kSettingsFailure};
    dataModule().closeConnection();
    const bool ok = restoreInto(archivePath, *folder);
    dataModule().openConnection();
    return ok ? ArchiveResult{} : ArchiveResult{false, kRestoreFailure};
}

int archivesToKeep()
{
    const int keep = readSetting(QStringLiteral("KopieZapasowe")).value_or(QString()).toInt();
    return keep > 0 ? keep : 0;
}

QStringList pruneArchives(const QString& folder, int keep)
{
    if (keep <= 0 || folder.isEmpty())
        return {};
    // The name's moment sorts as text: newest last.
    static const QRegularExpression archiveName(
        QStringLiteral("^Archiwum \\d{4}\\.\\d{2}\\.\\d{2} \\d{2}\\.\\d{2}\\.zip$"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList names;
    for (const QString& name : QDir(folder).entryList(QDir::Files))
        if (archiveName.match(name).hasMatch())
            names << name;
    std::sort(names.begin(), names.end());
    QStringList removed;
    for (qsizetype i = 0; i + keep < names.size(); ++i) {
        const QString path = QDir(folder).filePath(names[i]);
        if (QFile::remove(path))
            removed << path;
    }
    return removed;
}

void backupAtExit()
{
    const std::optional<QString> archives = readSetting(QStringLiteral("KatalogArchiwum"));
    if (!archives)
        prompter().error(kNoArchiveFolder, kNoArchiveFolderCaption);
    // An archive chosen again (a second backup within the minute) only has its
    // entry updated, so the dialog does not ask about replacing it.
    const QString path = prompter().saveFile(
        QStringLiteral("Tworzenie kopii bazy danych"), archives.value_or(QString()),
        archives ? proposedArchiveName(now()) : QStringLiteral("*.zip"), QStringLiteral("*.zip"),
        QStringLiteral("zip"), Prompter::Existing::Update);
    if (path.isEmpty())
        return;
    const ArchiveResult result = createArchive(path);
    if (!result.ok) {
        prompter().error(result.message, kFailureCaption);
        return;
    }
    if (archives)
        pruneArchives(*archives, archivesToKeep());
}

void restoreDatabase()
{
    const std::optional<QString> archives = readSetting(QStringLiteral("KatalogArchiwum"));
    if (!archives)
        prompter().error(kNoArchiveFolder, kNoArchiveFolderCaption);
    // "*.zip" is both the filter and the proposed name.
    const QString path = prompter().openFile(
        QStringLiteral("Odtwarzanie bazy danych"),
        archives ? QDir(*archives).filePath(QStringLiteral("*.zip")) : QStringLiteral("*.zip"),
        QStringLiteral("*.zip"), QStringLiteral("zip"));
    if (path.isEmpty())
        return;
    if (!prompter().ask(QStringLiteral("Czy przywrócić poprzednią kopię bazy danych? Wszystkie "
                                       "zmiany w bazie danych programu wprowadzone po wykonaniu "
                                       "tej kopii będą cofnięte."),
                        QStringLiteral("Tworzenie archiwum"), false))
        return;
    const ArchiveResult result = restoreArchive(path);
    if (!result.ok)
        prompter().error(result.message, kFailureCaption);
}
