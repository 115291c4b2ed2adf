#include "app/backup.h"
#include "app/zip_archive.h"
#include "db/data_module.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QFile>
#include <QTest>

// The backup of a database on the server: the server's own copy in the
// archive, read back in place of what was changed since; an archive of a
// file refused there.
class TestServerBackup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        if (!TestEnv::onServer())
            QSKIP("needs the test server (REZYDO_TEST_SERVER)");
    }

    void backupChangeRestore()
    {
        TestEnv env;
        env.exec("INSERT INTO Pokoje (Nr_Pokoju, Miejsc) VALUES ('101', 2)");
        const QString archive = env.path("Archiwum 2026.07.15 12.00.zip");
        const ArchiveResult made = createArchive(archive);
        QVERIFY2(made.ok, qPrintable(made.message));
        QVERIFY(hasEntry(archive, "Baza.pgdump"));
        QVERIFY(!hasEntry(archive, "Baza.mdb"));
        env.exec("INSERT INTO Pokoje (Nr_Pokoju, Miejsc) VALUES ('102', 3)");
        env.exec("UPDATE Pokoje SET Miejsc = 4 WHERE Nr_Pokoju = '101'");

        const ArchiveResult restored = restoreArchive(archive);
        QVERIFY2(restored.ok, qPrintable(restored.message));
        QVERIFY(env.data().isOpen());
        QCOMPARE(env.rows("SELECT Nr_Pokoju, Miejsc FROM Pokoje ORDER BY rowid"),
                 QStringList({"101|2"}));
        // The numbers go on after the restored rows.
        env.exec("INSERT INTO Pokoje (Nr_Pokoju) VALUES ('103')");
        QCOMPARE(env.rows("SELECT Nr_Pokoju FROM Pokoje ORDER BY rowid"),
                 QStringList({"101", "103"}));
    }

    void fileArchiveRefused()
    {
        TestEnv env;
        env.exec("INSERT INTO Pokoje (Nr_Pokoju) VALUES ('101')");
        const QString archive = env.path("plik.zip");
        QFile copy(env.path("Baza.mdb"));
        QVERIFY(copy.open(QIODevice::WriteOnly));
        copy.write("SQLite format 3");
        copy.close();
        QVERIFY(packEntry(archive, "Baza.mdb", copy.fileName(), QDateTime::currentDateTime(),
                          QFile::ReadOwner | QFile::WriteOwner) == PackOutcome::Written);
        const ArchiveResult result = restoreArchive(archive);
        QCOMPARE(result.ok, false);
        QVERIFY2(result.message.startsWith("To archiwum zawiera kopię bazy danych z pliku "
                                           "(Baza.mdb), a program pracuje z bazą danych na "
                                           "serwerze."),
                 qPrintable(result.message));
        QCOMPARE(env.rows("SELECT Nr_Pokoju FROM Pokoje"), QStringList({"101"}));
    }
};

REZYDO_TEST(TestServerBackup);
#include "test_server_backup.moc"
