#include "core/settings.h"
#include "db/data_module.h"
#include "db/schema.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSqlQuery>
#include <QTest>

class TestConnection : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void defaultLocationUnderProgramDirectory()
    {
        TestEnv env;
        QCOMPARE(QDir::cleanPath(DataModule::databaseFile()),
                 QDir::cleanPath(env.path("Baza/Baza.mdb")));
        QCOMPARE(env.data().openFile().isEmpty(), TestEnv::onServer());
        QCOMPARE(env.data().openServer().isEmpty(), !TestEnv::onServer());
        QVERIFY(env.data().isOpen());
        QCOMPARE(env.scalar("select count(*) from Config").toInt(), 1);
    }

    void katalogBazyReadAtEveryOpening()
    {
        if (TestEnv::onServer())
            QSKIP("KatalogBazy names the file's folder");
        TestEnv env;
        QDir().mkpath(env.path("other"));
        createDatabase(env.path("other/Baza.mdb"), false);
        QVERIFY(writeSetting("KatalogBazy", env.path("other")));
        // No effect while the connection stays open.
        QCOMPARE(QDir::cleanPath(env.data().openFile()), QDir::cleanPath(env.databaseFile()));
        env.data().closeConnection();
        env.data().openConnection();
        QCOMPARE(QDir::cleanPath(env.data().openFile()),
                 QDir::cleanPath(env.path("other/Baza.mdb")));
    }

    void missingOrForeignFileRefused_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty = no file at all
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QByteArray() << "nie istnieje";
        QTest::newRow("not a database") << QByteArray("hello, world\n") << "nie jest bazą danych";
        QTest::newRow("foreign SQLite file") << QByteArray("sqlite") << "nie jest bazą danych";
        // A copy broken off halfway, and one whose header was overwritten.
        QTest::newRow("truncated") << QByteArray("truncated") << "nie jest bazą danych";
        QTest::newRow("damaged header") << QByteArray("damaged") << "nie jest bazą danych";
    }
    void missingOrForeignFileRefused()
    {
        if (TestEnv::onServer())
            QSKIP("about database files");
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        TestEnv::Options o;
        o.createDatabase = false;
        TestEnv env(o);
        const QString file = env.path("Baza/Baza.mdb");
        QDir().mkpath(env.path("Baza"));
        if (content == "sqlite") {
            QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "foreign");
            other.setDatabaseName(file);
            QVERIFY(other.open());
            QSqlQuery(other).exec("create table t(x)");
            other.close();
            other = QSqlDatabase();
            QSqlDatabase::removeDatabase("foreign");
        } else if (content == "truncated" || content == "damaged") {
            createDatabase(file, true);
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite));
            if (content == "truncated")
                QVERIFY(f.resize(f.size() / 2));
            else
                f.write(QByteArray(100, '\x5a'));
        } else if (!content.isEmpty()) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        const qint64 sizeBefore = QFileInfo(file).size();
        try {
            env.data().openConnection();
            QFAIL("opened a file that is not a Rezydo database");
        } catch (const RezydoError& e) {
            QVERIFY2(e.text().contains(message), qPrintable(e.text()));
        }
        QVERIFY(!env.data().isOpen());
        // Opening never creates or changes the file.
        QCOMPARE(QFileInfo::exists(file), !content.isEmpty());
        QCOMPARE(QFileInfo(file).size(), sizeBefore);
    }

    void reportDatabaseErrorBox()
    {
        TestEnv env;
        reportDatabaseError("Nowa rezerwacja", QString("CHECK constraint failed"));
        QCOMPARE(env.prompter().shown.size(), 1);
        const auto& box = env.prompter().shown.first();
        QCOMPARE(box.kind, ScriptedPrompter::Shown::Message);
        QCOMPARE(box.caption, QString("Nowa rezerwacja"));
        QCOMPARE(box.text, QString("Błąd bazy : \r\nCHECK constraint failed"));
        QCOMPARE(box.icon, Prompter::Icon::Error);
    }

    void pragmasOnOpening()
    {
        if (TestEnv::onServer())
            QSKIP("pragmas are the file's");
        TestEnv env;
        QCOMPARE(env.scalar("PRAGMA journal_mode").toString(), QString("delete"));
        QCOMPARE(env.scalar("PRAGMA synchronous").toInt(), 2);
        QCOMPARE(env.scalar("PRAGMA busy_timeout").toInt(), 5000);
        QCOMPARE(env.scalar("PRAGMA foreign_keys").toInt(), 0);
    }
};

REZYDO_TEST(TestConnection);
#include "test_connection.moc"
