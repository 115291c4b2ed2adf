#include "app/backup.h"
#include "app/commands.h"
#include "app/database_choice.h"
#include "app/main_window.h"
#include "core/settings.h"
#include "core/ui/message_box_prompter.h"
#include "db/data_module.h"
#include "db/schema.h"
#include "db/sql.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QThread>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>
#include <quazip/quazipnewinfo.h>
#include <QUuid>

#include <atomic>
#include <memory>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {
const QString kRestoreFailure =
    "Nie można odtworzyć archiwum ponieważ wystąpił błąd podczas kopiowania z archiwum. "
    "Najprawdopodobniej plik archiwum jest uszkodzony.";
const QString kSettingsFailure =
    "Nie można stworzyć archiwum ponieważ wystąpił błąd w dostępie do rejestru systemowego "
    "Windows. Najprawdopodobniej program został nieprawidłowo zainstalowany.";
const QString kCopyFailure = "Nie można stworzyć archiwum ponieważ wystąpił błąd podczas "
                             "kopiowania bazy danych. Najprawdopodobniej na dysku zabrakł "
                             "wolnego miejsca.";

// A connection of the test's own to some database file.
class FileDb {
public:
    explicit FileDb(const QString& file)
        : m_name(QUuid::createUuid().toString())
    {
        m_db = QSqlDatabase::addDatabase("QSQLITE", m_name);
        m_db.setDatabaseName(file);
        m_db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=5000");
        QVERIFY(m_db.open());
    }
    ~FileDb()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase db() const { return m_db; }
    QVariant scalar(const QString& sql) const { return scalarSql(m_db, sql); }

private:
    QString m_name;
    QSqlDatabase m_db;
};

QByteArray bytes(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& file, const QByteArray& data)
{
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

void makeZip(const QString& archive, const QString& entry, const QByteArray& data)
{
    QuaZip zip(archive);
    QVERIFY(zip.open(QuaZip::mdCreate));
    QuaZipFile out(&zip);
    QVERIFY(out.open(QIODevice::WriteOnly, QuaZipNewInfo(entry)));
    out.write(data);
}

QStringList entries(const QString& archive)
{
    QuaZip zip(archive);
    return zip.open(QuaZip::mdUnzip) ? zip.getFileNameList() : QStringList();
}

QDateTime entryTime(const QString& archive)
{
    QuaZip zip(archive);
    QuaZipFileInfo64 info;
    if (!zip.open(QuaZip::mdUnzip) || !zip.setCurrentFile("Baza.mdb") ||
        !zip.getCurrentFileInfo(&info))
        return {};
    return info.getNTFSmTime();
}

void setModified(const QString& file, const QDateTime& at)
{
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(at, QFileDevice::FileModificationTime));
}

void setUserSetting(const QString& name, const QString& value)
{
    QSettings user(QSettings::IniFormat, QSettings::UserScope, "Rezydo", "Rezydo");
    user.setValue("SOFTWARE/Rezydo/" + name, value);
}

QString machineSetting(const QString& name)
{
    QSettings machine(QSettings::IniFormat, QSettings::SystemScope, "Rezydo", "Rezydo");
    return machine.value("SOFTWARE/Rezydo/" + name).toString();
}

// Unix mode bits (0660) as Qt's permission flags, and back.
QFileDevice::Permissions permissionsOf(int mode)
{
    QFileDevice::Permissions p;
    const std::pair<int, QFileDevice::Permission> bits[] = {
        {0400, QFileDevice::ReadOwner}, {0200, QFileDevice::WriteOwner},
        {0100, QFileDevice::ExeOwner},  {040, QFileDevice::ReadGroup},
        {020, QFileDevice::WriteGroup}, {010, QFileDevice::ExeGroup},
        {04, QFileDevice::ReadOther},   {02, QFileDevice::WriteOther},
        {01, QFileDevice::ExeOther}};
    for (const auto& [bit, flag] : bits)
        if (mode & bit)
            p |= flag;
    return p;
}
int modeOf(const QString& file)
{
    struct stat st = {};
    return ::stat(QFile::encodeName(file).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// The Unix mode the entry Baza.mdb carries (type and permission bits), or -1
// when it was not recorded as made on Unix.
int entryMode(const QString& archive)
{
    QuaZip zip(archive);
    QuaZipFileInfo64 info;
    if (!zip.open(QuaZip::mdUnzip) || !zip.setCurrentFile("Baza.mdb") ||
        !zip.getCurrentFileInfo(&info) || info.versionCreated >> 8 != 3)
        return -1;
    return int(info.externalAttr >> 16);
}

// Sets the process's umask for the life of the object.
class ScopedUmask {
public:
    explicit ScopedUmask(int mask)
        : m_old(::umask(mode_t(mask)))
    {
    }
    ~ScopedUmask() { ::umask(m_old); }
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

private:
    mode_t m_old;
};

// A fresh environment whose KatalogBazy names the test database's folder.
struct BackupEnv : TestEnv {
    BackupEnv()
    {
        writeSetting("KatalogBazy", path("Baza"));
        exec("INSERT INTO Pokoje (Nr_Pokoju, Miejsc) VALUES ('101', 2)");
    }
    QStringList rooms() { return rows("SELECT Nr_Pokoju FROM Pokoje ORDER BY 1"); }
    QStringList folder() { return QDir(path("Baza")).entryList(QDir::Files, QDir::Name); }
};
} // namespace

class TestBackup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every case here backs up and restores the database file itself (its
    // zip entry, permissions, the folder setting); the server's backups are
    // TestServerBackup's.
    void init()
    {
        if (TestEnv::onServer())
            QSKIP("the backup of the database file");
    }

    void backupChangeRestore()
    {
        BackupEnv env;
        const QString archive = env.path("kopia.zip");
        const QDateTime modified = QFileInfo(env.databaseFile()).lastModified();
        QCOMPARE(createArchive(archive).ok, true);
        QCOMPARE(entries(archive), QStringList({"Baza.mdb"}));
        QCOMPARE(entryTime(archive), modified); // the file's time, not the backup's
        QVERIFY(env.data().isOpen());

        env.exec("INSERT INTO Pokoje (Nr_Pokoju, Miejsc) VALUES ('102', 3)");
        const ArchiveResult restored = restoreArchive(archive);
        QVERIFY2(restored.ok, qPrintable(restored.message));
        QVERIFY(env.data().isOpen());
        QCOMPARE(env.rooms(), QStringList({"101"}));
        QCOMPARE(env.folder(), QStringList({"Baza.mdb", "Baza.mdb.bak"}));
        QCOMPARE(FileDb(env.databaseFile() + ".bak").scalar("SELECT count(*) FROM Pokoje").toInt(),
                 2);
    }

    void restoreIntoFolderWithoutDatabase()
    {
        BackupEnv env;
        const QString archive = env.path("kopia.zip");
        QVERIFY(createArchive(archive).ok);
        env.data().closeConnection();
        QVERIFY(QFile::remove(env.databaseFile()));
        QVERIFY(restoreArchive(archive).ok);
        QCOMPARE(env.rooms(), QStringList({"101"}));
    }

    void entryKeepsTheDatabasePermissions_data()
    {
        QTest::addColumn<int>("database");
        QTest::addColumn<int>("entry");
        // A regular file (0100000), readable and writable by owner and group.
        QTest::newRow("shared by the group") << 0660 << 0100660;
        QTest::newRow("private to its owner") << 0600 << 0100660;
        QTest::newRow("group may only read") << 0640 << 0100660;
        QTest::newRow("others may read") << 0664 << 0100664;
        QTest::newRow("everyone writes") << 0666 << 0100666;
        QTest::newRow("executable bits dropped") << 0770 << 0100660;
    }
    void entryKeepsTheDatabasePermissions()
    {
        QFETCH(int, database);
        QFETCH(int, entry);
        BackupEnv env;
        QVERIFY(QFile::setPermissions(env.databaseFile(), permissionsOf(database)));
        const QString archive = env.path("kopia.zip");
        QVERIFY(createArchive(archive).ok);
        QCOMPARE(QString::number(entryMode(archive), 8), QString::number(entry, 8));
    }

    // What a receptionist who is not root gets from unzip must open.
    void unpacksForAnOrdinaryAccount()
    {
        BackupEnv env;
        QVERIFY(QFile::setPermissions(env.databaseFile(), permissionsOf(0660)));
        QVERIFY(QDir().mkpath(env.path("wspolny")));
        // The account must reach the archive and write beside it.
        QVERIFY(QFile::setPermissions(env.dir(), permissionsOf(0755)));
        QVERIFY(QFile::setPermissions(env.path("wspolny"), permissionsOf(0777)));
        const QString archive = env.path("wspolny/kopia.zip");
        QVERIFY(createArchive(archive).ok);
        QCOMPARE(QString::number(entryMode(archive), 8), QString("100660"));

        const QString unzip = QStandardPaths::findExecutable("unzip");
        if (unzip.isEmpty())
            QSKIP("unzip is not installed");
        const QString script = "cd \"$1\" && unzip -q kopia.zip && head -c 15 Baza.mdb && "
                               "test -w Baza.mdb && echo ' do zapisu'";
        QStringList command = {"sh", "-c", script, "sh", env.path("wspolny")};
        if (::geteuid() == 0) {
            const passwd* nobody = ::getpwnam("nobody");
            const QString runuser = QStandardPaths::findExecutable("runuser");
            const QString setpriv = QStandardPaths::findExecutable("setpriv");
            if (!nobody)
                QSKIP("no ordinary account to run unzip as");
            if (!runuser.isEmpty())
                command = QStringList{runuser, "-u", "nobody", "--"} + command;
            else if (!setpriv.isEmpty())
                command = QStringList{setpriv, QString("--reuid=%1").arg(nobody->pw_uid),
                                      QString("--regid=%1").arg(nobody->pw_gid), "--clear-groups"} +
                          command;
            else
                QSKIP("no tool to run unzip as an account other than root");
        }
        QProcess p;
        p.start(command.takeFirst(), command);
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()),
                 QString("SQLite format 3 do zapisu\n"));
        QCOMPARE(p.exitCode(), 0);
    }

    void restoredFilePermissions_data()
    {
        QTest::addColumn<bool>("existing"); // a database is there to be replaced
        QTest::addColumn<bool>("recorded"); // the archive records the permissions
        QTest::addColumn<int>("database");  // the backed-up (or replaced) file's mode
        QTest::addColumn<int>("umask");
        QTest::addColumn<int>("restored");
        // The archive's permissions, not narrowed by the umask: the group
        // shares the file as it did before.
        QTest::newRow("recorded, group shares") << false << true << 0660 << 022 << 0660;
        QTest::newRow("recorded, others read") << false << true << 0664 << 077 << 0664;
        // An archive without them: like any file made in the folder.
        QTest::newRow("not recorded, umask 002") << false << false << 0660 << 002 << 0664;
        QTest::newRow("not recorded, umask 027") << false << false << 0660 << 027 << 0640;
        // A replaced database passes its own permissions on.
        QTest::newRow("replaced file keeps its own") << true << true << 0640 << 022 << 0640;
    }
    void restoredFilePermissions()
    {
        QFETCH(bool, existing);
        QFETCH(bool, recorded);
        QFETCH(int, database);
        QFETCH(int, umask);
        QFETCH(int, restored);
        BackupEnv env;
        const QString archive = env.path("kopia.zip");
        QVERIFY(QFile::setPermissions(env.databaseFile(), permissionsOf(database)));
        QVERIFY(createArchive(archive).ok);
        env.data().closeConnection();
        if (!recorded) { // as older copies of the program packed it
            const QByteArray data = bytes(env.databaseFile());
            QVERIFY(QFile::remove(archive));
            makeZip(archive, "Baza.mdb", data);
            QCOMPARE(entryMode(archive) & 0170000, 0);
        }
        if (!existing)
            QVERIFY(QFile::remove(env.databaseFile()));

        const ScopedUmask mask(umask);
        QVERIFY(restoreArchive(archive).ok);
        QCOMPARE(QString::number(modeOf(env.databaseFile()), 8), QString::number(restored, 8));
        QCOMPARE(env.rooms(), QStringList({"101"}));
    }

    // Folder names with commas, written by hand into the settings file.
    void handWrittenFoldersWithCommas()
    {
        TestEnv env;
        const QString databases = env.path("baza, sezon 2026");
        const QString archives = env.path("kopie, sezon 2026");
        QVERIFY(QDir().mkpath(databases));
        QVERIFY(QDir().mkpath(archives));
        createDatabase(databases + "/Baza.mdb", false);
        QFile ini(
            QSettings(QSettings::IniFormat, QSettings::SystemScope, "Rezydo", "Rezydo").fileName());
        QVERIFY(QDir().mkpath(QFileInfo(ini).path()));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[SOFTWARE]\nRezydo\\KatalogBazy=" + databases.toUtf8() +
                  "\nRezydo\\KatalogArchiwum=" + archives.toUtf8() + "\n");
        ini.close();

        env.data().closeConnection();
        env.data().openConnection();
        QCOMPARE(env.data().openFile(), databases + "/Baza.mdb");

        const QString archive = archives + "/kopia.zip";
        env.prompter().files = {archive};
        backupAtExit();
        QCOMPARE(env.prompter().log(), QStringList({"Tworzenie kopii bazy danych|" + archives}));
        QCOMPARE(entries(archive), QStringList({"Baza.mdb"}));
    }

    void updateOnlyWhenDatabaseIsNewer()
    {
        BackupEnv env;
        QDir().mkpath(env.path("archiwa"));
        writeSetting("KatalogArchiwum", env.path("archiwa"));
        const QString archive = env.path("archiwa/Archiwum 2026.07.15 12.00.zip");
        makeZip(archive, "notatka.txt", "do zachowania");
        env.setNow(QDateTime(QDate(2026, 7, 15), QTime(12, 0, 10)));
        env.prompter().files = {archive, archive};
        backupAtExit();
        const QDateTime first = entryTime(archive);
        QVERIFY(first.isValid());

        // Changed, but dated before the backup: the entry stays as it was.
        env.exec("INSERT INTO Pokoje (Nr_Pokoju, Miejsc) VALUES ('102', 3)");
        env.data().closeConnection();
        setModified(env.databaseFile(), first.addSecs(-60));
        const QByteArray before = bytes(archive);
        env.setNow(QDateTime(QDate(2026, 7, 15), QTime(12, 0, 50)));
        backupAtExit();
        QCOMPARE(bytes(archive), before);

        env.data().closeConnection();
        setModified(env.databaseFile(), first.addSecs(60));
        QVERIFY(createArchive(archive).ok);
        QCOMPARE(entryTime(archive), first.addSecs(60));
        QCOMPARE(entries(archive), QStringList({"notatka.txt", "Baza.mdb"}));
        env.exec("DELETE FROM Pokoje");
        QVERIFY(restoreArchive(archive).ok);
        QCOMPARE(env.rooms(), QStringList({"101", "102"}));

        const QString proposed = "Archiwum 2026.07.15 12.00.zip|*.zip|zip";
        QCOMPARE(env.prompter().shown.size(), 2);
        for (const auto& s : env.prompter().shown) {
            QCOMPARE(s.kind, ScriptedPrompter::Shown::SaveFile);
            QCOMPARE(s.caption, QString("Tworzenie kopii bazy danych"));
            QCOMPARE(s.text, env.path("archiwa"));
            QCOMPARE(s.extra, proposed);
        }
    }

    void unsoundArchiveLeavesDatabase_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"no entry", "entry in a folder", "truncated", "bit flipped",
                                 "not a zip", "damaged database", "foreign database", "missing"})
            QTest::newRow(kind) << QString(kind);
    }
    void unsoundArchiveLeavesDatabase()
    {
        QFETCH(QString, kind);
        BackupEnv env;
        const QString good = env.path("dobre.zip");
        const QString archive = env.path("kopia.zip");
        QVERIFY(createArchive(good).ok);
        env.data().closeConnection();
        const QByteArray database = bytes(env.databaseFile());
        if (kind == "no entry") {
            makeZip(archive, "inna.txt", "tekst");
        } else if (kind == "entry in a folder") {
            makeZip(archive, "kopia/Baza.mdb", database);
        } else if (kind == "truncated") {
            writeBytes(archive, bytes(good).left(bytes(good).size() / 2));
        } else if (kind == "bit flipped") {
            QByteArray zip = bytes(good);
            zip[zip.size() / 2] = char(zip[zip.size() / 2] ^ 0x10);
            writeBytes(archive, zip);
        } else if (kind == "not a zip") {
            writeBytes(archive, "to nie jest archiwum");
        } else if (kind == "damaged database") {
            QByteArray damaged = database; // first page intact: still carries our id
            for (qsizetype page = 4096; page + 16 < damaged.size(); page += 4096)
                damaged.replace(page, 16, QByteArray(16, '\x7f'));
            makeZip(archive, "Baza.mdb", damaged);
        } else if (kind == "foreign database") {
            {
                FileDb other(env.path("obca.db"));
                runSql(other.db(), "CREATE TABLE Pokoje (Nr_Pokoju TEXT)");
            }
            makeZip(archive, "Baza.mdb", bytes(env.path("obca.db")));
        }

        const ArchiveResult result = restoreArchive(archive);
        QCOMPARE(result.ok, false);
        QCOMPARE(result.message, kRestoreFailure);
        QVERIFY(env.data().isOpen());
        QCOMPARE(env.folder(), QStringList({"Baza.mdb"})); // no temporary file, no .bak
        env.data().closeConnection();
        QCOMPARE(bytes(env.databaseFile()), database);
    }

    // The copy of a server database cannot be put in place of the file; the
    // file stays as it was.
    void serverArchiveRefusedOnAFile()
    {
        BackupEnv env;
        const QString archive = env.path("serwer.zip");
        makeZip(archive, "Baza.pgdump", "PGDMP kopia z serwera");
        env.data().closeConnection();
        const QByteArray database = bytes(env.databaseFile());
        const ArchiveResult result = restoreArchive(archive);
        QCOMPARE(result.ok, false);
        QVERIFY2(result.message.startsWith("To archiwum zawiera kopię bazy danych z serwera "
                                           "(Baza.pgdump), a program pracuje z bazą danych w "
                                           "pliku."),
                 qPrintable(result.message));
        QCOMPARE(env.folder(), QStringList({"Baza.mdb"}));
        env.data().closeConnection();
        QCOMPARE(bytes(env.databaseFile()), database);
    }

    void missingDatabaseFolderSetting()
    {
        TestEnv env; // the database at its default place, KatalogBazy unset
        const QString archive = env.path("kopia.zip");
        for (const ArchiveResult& r : {createArchive(archive), restoreArchive(archive)}) {
            QCOMPARE(r.ok, false);
            QCOMPARE(r.message, kSettingsFailure);
        }
        QVERIFY(!QFile::exists(archive));
        QCOMPARE(env.scalar("SELECT count(*) FROM Config").toInt(), 1);
    }

    void backupFailureKeepsWhatWasThere()
    {
        BackupEnv env;
        const QString notZip = env.path("notatka.zip");
        writeBytes(notZip, "moje notatki");
        for (const QString& target : {env.path("brak/kopia.zip"), notZip}) {
            const ArchiveResult r = createArchive(target);
            QCOMPARE(r.ok, false);
            QCOMPARE(r.message, kCopyFailure);
            QVERIFY(env.data().isOpen());
        }
        QCOMPARE(bytes(notZip), QByteArray("moje notatki"));
    }

    void exitBackupDialogs_data()
    {
        QTest::addColumn<bool>("archiveFolder");
        QTest::addColumn<bool>("databaseFolder");
        QTest::addColumn<bool>("choose");
        QTest::addColumn<QStringList>("log");
        const QString question = "Tworzenie archiwum|Czy stworzyć kopię zapasową bazy danych?";
        const QString noFolder = "Odtwarzanie archiwum - Błąd!|Nie ustawiono folderu na kopie "
                                 "zapasowe bazy danych (KatalogArchiwum). Okno wyboru pliku "
                                 "otworzy się w folderze domyślnym.";
        QTest::newRow("saved") << true << true << true
                               << QStringList({question, "Tworzenie kopii bazy danych|ARCH"});
        QTest::newRow("no archive folder, cancelled")
            << false << true << false
            << QStringList({question, noFolder, "Tworzenie kopii bazy danych|"});
        QTest::newRow("creation fails")
            << true << false << true
            << QStringList({question, "Tworzenie kopii bazy danych|ARCH",
                            "Tworzenie archiwum - Błąd!|" + kSettingsFailure});
    }
    void exitBackupDialogs()
    {
        QFETCH(bool, archiveFolder);
        QFETCH(bool, databaseFolder);
        QFETCH(bool, choose);
        QFETCH(QStringList, log);
        BackupEnv env;
        if (!databaseFolder)
            QSettings(QSettings::IniFormat, QSettings::SystemScope, "Rezydo", "Rezydo")
                .remove("SOFTWARE/Rezydo/KatalogBazy");
        if (archiveFolder)
            writeSetting("KatalogArchiwum", env.path("archiwa"));
        const QString archive = env.path("kopia.zip");
        TGlowne w;
        wireCommands(w);
        w.show();
        env.prompter().answers = {true};
        if (choose)
            env.prompter().files = {archive};
        QVERIFY(w.close());
        QCOMPARE(env.prompter().log().replaceInStrings(env.path("archiwa"), "ARCH"), log);
        const auto& dialog = env.prompter().shown[archiveFolder ? 1 : 2];
        QCOMPARE(dialog.extra,
                 (archiveFolder ? QString("Archiwum 2026.07.15 12.00.zip") : QString("*.zip")) +
                     "|*.zip|zip");
        // The archive of the same minute is updated, not replaced: no question about it.
        QCOMPARE(dialog.existing, Prompter::Existing::Update);
        QCOMPARE(QFile::exists(archive), choose && databaseFolder);
        QVERIFY(!env.data().isOpen());
    }

    void restoreCommand_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<QStringList>("rooms");
        QTest::newRow("no") << false << false << QStringList({"101", "102"});
        QTest::newRow("yes") << true << false << QStringList({"101"});
        QTest::newRow("yes, damaged") << true << true << QStringList({"101", "102"});
    }
    void restoreCommand()
    {
        QFETCH(bool, yes);
        QFETCH(bool, damaged);
        QFETCH(QStringList, rooms);
        BackupEnv env;
        writeSetting("KatalogArchiwum", env.path("archiwa"));
        const QString archive = env.path("kopia.zip");
        if (damaged)
            makeZip(archive, "inna.txt", "tekst");
        else
            QVERIFY(createArchive(archive).ok);
        env.exec("INSERT INTO Pokoje (Nr_Pokoju, Miejsc) VALUES ('102', 3)");
        TGlowne w;
        wireCommands(w);
        env.prompter().files = {archive};
        env.prompter().answers = {yes};
        w.command("mnuOdtwarzanieBazy")->trigger();
        // "*.zip" proposed as the name in the archive folder.
        QStringList log = {"Odtwarzanie bazy danych|" + env.path("archiwa/*.zip"),
                           "Tworzenie archiwum|Czy przywrócić poprzednią kopię bazy danych? "
                           "Wszystkie zmiany w bazie danych programu wprowadzone po wykonaniu "
                           "tej kopii będą cofnięte."};
        if (damaged)
            log << "Tworzenie archiwum - Błąd!|" + kRestoreFailure;
        QCOMPARE(env.prompter().log(), log); // success is not announced
        QCOMPARE(env.prompter().shown[0].extra, QString("*.zip|zip"));
        QCOMPARE(env.prompter().shown[1].defaultYes, false);
        QCOMPARE(env.rooms(), rooms);
    }

    void chooseDatabase_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("userScope");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("opened");
        QTest::newRow("plain") << "inna/Baza.mdb" << false << "inna"
                               << "inna";
        QTest::newRow("trailing separators") << "inna///baza.mdb" << false << "inna"
                                             << "inna";
        QTest::newRow("no database there") << "pusta//Baza.mdb" << false << "Baza"
                                           << "Baza";
        QTest::newRow("user scope hides it") << "inna/Baza.mdb" << true << "inna"
                                             << "Baza";
    }
    void chooseDatabase()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, userScope);
        QFETCH(QString, stored);
        QFETCH(QString, opened);
        BackupEnv env;
        QDir().mkpath(env.path("inna"));
        QDir().mkpath(env.path("pusta"));
        createDatabase(env.path("inna/Baza.mdb"), false);
        if (userScope)
            setUserSetting("KatalogBazy", env.path("Baza"));
        TGlowne w;
        wireCommands(w);
        env.prompter().files = {env.path(chosen)};
        w.command("mnuWybierzBaze")->trigger();

        QCOMPARE(machineSetting("KatalogBazy"), env.path(stored));
        QCOMPARE(env.data().openFile(), env.path(opened + "/Baza.mdb"));
        QStringList log = {"Wybierz bazę danych|" + env.path("Baza/Baza.mdb")};
        // A folder stored but hidden by the user's own value is not announced as
        // the new location: the user is told why it is not in use.
        if (userScope)
            log << "Zmiana bazy|" + userSettingHidesText("KatalogBazy", env.path("Baza"));
        else if (stored != "Baza")
            log << "Zmiana bazy|Nowa lokalizacja bazy danych '" + env.path(stored) + "'";
        QCOMPARE(env.prompter().log(), log);
        QCOMPARE(env.prompter().shown[0].extra, "Pliki bazy danych (baza.mdb)|mdb");
    }

    void databaseFilterIgnoresCase_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("listed");
        for (const char* name : {"baza.mdb", "Baza.mdb", "BAZA.MDB", "bAzA.mDb"})
            QTest::newRow(name) << QString(name) << true;
        for (const char* name : {"baza.mdb.bak", "inna.mdb", "bazaxmdb", "kopia baza.mdb"})
            QTest::newRow(name) << QString(name) << false;
    }
    void databaseFilterIgnoresCase()
    {
        QFETCH(QString, name);
        QFETCH(bool, listed);
        // As a case-sensitive dialog reads the filter it gets: the patterns
        // inside the last brackets.
        const QString inside =
            anyCaseNameFilter(kDatabaseFileFilter).section('(', -1).section(')', 0, 0);
        bool matched = false;
        for (const QString& pattern : inside.split(' ', Qt::SkipEmptyParts))
            matched =
                matched ||
                QRegularExpression::fromWildcard(pattern, Qt::CaseSensitive).match(name).hasMatch();
        QCOMPARE(matched, listed);
    }

    // Another copy of the program keeps writing while backups are taken. Each
    // transaction renumbers every row and adds fifty; with a tiny page cache
    // it writes into the file long before it commits, so a plain file copy
    // would catch it halfway (two numbers, or a broken count).
    void backupWhileAnotherCopyWrites()
    {
        BackupEnv env;
        env.exec("INSERT INTO Rez_msc (Identyfikator, Miejsc) WITH RECURSIVE n(i) AS "
                 "(SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000) SELECT 0, 0 FROM n");
        std::atomic<bool> stop = false;
        std::atomic<int> batches = 0;
        std::atomic<int> failures = 0;
        QString lastFailure;
        std::unique_ptr<QThread> writer(QThread::create([&] {
            FileDb other(env.databaseFile());
            runSql(other.db(), "PRAGMA cache_size=5");
            for (int batch = 1; !stop; ++batch) {
                try {
                    Transaction tx(other.db());
                    runSql(other.db(), "UPDATE Rez_msc SET Miejsc = :N", {{":N", batch}});
                    for (int i = 0; i < 50; ++i)
                        runSql(other.db(),
                               "INSERT INTO Rez_msc (Identyfikator, Miejsc) VALUES (:N, :N)",
                               {{":N", batch}});
                    QThread::msleep(20); // halfway, the file already written to
                    tx.commit();
                    ++batches;
                    QThread::msleep(60); // a pause, as between two saves at the desk
                } catch (const RezydoError& e) {
                    lastFailure = e.text(); // read only after the thread ended
                    ++failures;
                }
            }
        }));
        writer->start();
        // A failed check returns early; the writer must stop all the same.
        const auto stopWriter = qScopeGuard([&] {
            stop = true;
            writer->wait();
        });
        QTRY_VERIFY(batches > 2);
        QStringList archives;
        const int startedAt = batches;
        for (int i = 0; i < 10; ++i) {
            // Out of step with the writer, which the reopening otherwise waits for.
            QThread::msleep(QRandomGenerator::global()->bounded(100));
            archives << env.path(QString("kopia%1.zip").arg(i));
            const ArchiveResult r = createArchive(archives.last());
            QVERIFY2(r.ok, qPrintable(r.message));
        }
        stop = true;
        writer->wait();
        QVERIFY2(failures == 0, qPrintable(lastFailure));
        QVERIFY(batches >= startedAt + 3); // the writing went on during the backups

        for (const QString& archive : archives) {
            QVERIFY(restoreArchive(archive).ok);
            QCOMPARE(env.scalar("PRAGMA integrity_check").toString(), QString("ok"));
            QCOMPARE(env.scalar("SELECT count(DISTINCT Miejsc) FROM Rez_msc").toInt(), 1);
            QCOMPARE(env.scalar("SELECT count(*) % 50 FROM Rez_msc").toInt(), 0);
        }
    }
};

REZYDO_TEST(TestBackup);
#include "test_backup.moc"
