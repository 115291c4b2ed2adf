#include "app/commands.h"
#include "app/database_choice.h"
#include "app/first_start.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "core/program_dir.h"
#include "core/settings.h"
#include "db/data_module.h"
#include "db/schema.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QSettings>
#include <QTest>

namespace {
const QString kButtons = "*&Utwórz nową bazę|&Wybierz inny folder|&Anuluj";

QString question(const QString& folder)
{
    return "Pierwsze uruchomienie|W folderze '" + folder +
           "' nie ma bazy danych programu (pliku Baza.mdb).\n\nCzy utworzyć tam nową, pustą "
           "bazę danych, czy wybrać inny folder, w którym baza już jest?";
}

TestEnv::Options withoutDatabase()
{
    TestEnv::Options o;
    o.createDatabase = false;
    return o;
}

// The machine scope behind a path that cannot be a folder: every write fails,
// whoever runs the test.
void blockMachineSettings(TestEnv& env)
{
    QFile blocker(env.path("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, env.path("blocker/machine"));
}
} // namespace

class TestInstallation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Folders are relative to the test folder; "Baza" is where the settings point.
    void firstStart_data()
    {
        QTest::addColumn<QList<int>>("choices");
        QTest::addColumn<QStringList>("chosenFiles");
        QTest::addColumn<QStringList>("asked");  // the folders the question named
        QTest::addColumn<QString>("databaseIn"); // "" = no database anywhere
        QTest::addColumn<int>("outcome");

        const int created = int(FirstStart::Created);
        const int found = int(FirstStart::Found);
        const int cancelled = int(FirstStart::Cancelled);
        QTest::newRow("create there")
            << QList<int>{0} << QStringList{} << QStringList{"Baza"} << "Baza" << created;
        QTest::newRow("cancel") << QList<int>{2} << QStringList{} << QStringList{"Baza"} << ""
                                << cancelled;
        QTest::newRow("escape") << QList<int>{-1} << QStringList{} << QStringList{"Baza"} << ""
                                << cancelled;
        QTest::newRow("another folder with a database")
            << QList<int>{1} << QStringList{"inna/Baza.mdb"} << QStringList{"Baza"} << "inna"
            << found;
        QTest::newRow("another empty folder, then create")
            << QList<int>{1, 0} << QStringList{"pusta//baza.mdb"} << QStringList{"Baza", "pusta"}
            << "pusta" << created;
        QTest::newRow("folder dialog cancelled asks again")
            << QList<int>{1, 2} << QStringList{""} << QStringList{"Baza", "Baza"} << ""
            << cancelled;
    }
    void firstStart()
    {
        QFETCH(QList<int>, choices);
        QFETCH(QStringList, chosenFiles);
        QFETCH(QStringList, asked);
        QFETCH(QString, databaseIn);
        QFETCH(int, outcome);
        TestEnv env(withoutDatabase());
        QDir().mkpath(env.path("inna"));
        QDir().mkpath(env.path("pusta"));
        createDatabase(env.path("inna/Baza.mdb"), false);
        env.prompter().choices.assign(choices.begin(), choices.end());
        for (const QString& f : chosenFiles)
            env.prompter().files.push_back(f.isEmpty() ? f : env.path(f));

        QCOMPARE(int(offerDatabase()), outcome);

        QStringList questions;
        for (const auto& shown : env.prompter().shown)
            if (shown.kind == ScriptedPrompter::Shown::Question) {
                questions << shown.caption + "|" + shown.text;
                QCOMPARE(shown.extra, kButtons);
            }
        QStringList expected;
        for (const QString& folder : asked)
            expected << question(env.path(folder));
        QCOMPARE(questions, expected);
        QCOMPARE(env.prompter().unanswered, 0);
        QCOMPARE(env.prompter().messages(Prompter::Icon::Error).size(), 0);
        QCOMPARE(QFileInfo::exists(env.databaseFile()), databaseIn == "Baza");
        if (databaseIn.isEmpty())
            return;
        // The program opens what was made or chosen, and nothing else was made.
        QCOMPARE(DataModule::databaseFile(), env.path(databaseIn + "/Baza.mdb"));
        env.data().openConnection();
        QCOMPARE(env.scalar("SELECT count(*) FROM Pokoje").toInt(), 0);
        QVERIFY(!QFileInfo::exists(env.path("pusta/Baza.mdb")) || databaseIn == "pusta");
        if (outcome == int(FirstStart::Created)) {
            // The receptionists' group shares the file; nobody else reads it.
            const auto perms = QFile::permissions(env.path(databaseIn + "/Baza.mdb"));
            QCOMPARE(perms & (QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                              QFileDevice::ReadOther | QFileDevice::WriteOther),
                     QFileDevice::ReadGroup | QFileDevice::WriteGroup);
        }
    }

    // The server's database is its administrator's to make: no file is offered.
    void firstStartWithServerOffersNoFile()
    {
        TestEnv env(withoutDatabase());
        QVERIFY(writeSetting("SerwerBazy", "host=serwer dbname=rezydo"));
        QCOMPARE(offerDatabase(), FirstStart::Found);
        QCOMPARE(env.prompter().shown.size(), 0);
        QVERIFY(!QFileInfo::exists(env.databaseFile()));
    }

    void firstStartSettingNotSaved()
    {
        TestEnv env(withoutDatabase());
        blockMachineSettings(env);
        QDir().mkpath(env.path("inna"));
        createDatabase(env.path("inna/Baza.mdb"), false);
        env.prompter().choices = {1, 2};
        env.prompter().files = {env.path("inna/Baza.mdb")};
        QCOMPARE(offerDatabase(), FirstStart::Cancelled);
        const auto errors = env.prompter().messages(Prompter::Icon::Error);
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors[0].text, settingsNotSavedText({"KatalogBazy"}));
        QVERIFY(errors[0].text.contains(env.path("blocker/machine/Rezydo/Rezydo.ini")));
        QCOMPARE(DataModule::databaseFile(), env.databaseFile());
    }

    void firstStepsWhileThereAreNoRooms_data()
    {
        QTest::addColumn<bool>("demo");
        QTest::newRow("empty database") << false;
        QTest::newRow("rooms set up") << true;
    }
    void firstStepsWhileThereAreNoRooms()
    {
        QFETCH(bool, demo);
        TestEnv::Options o;
        o.demo = demo;
        TestEnv env(o);
        QCOMPARE(showFirstStepsIfEmpty(), !demo);
        QCOMPARE(env.prompter().log(),
                 demo ? QStringList{} : QStringList{"Pierwsze kroki|" + kFirstStepsText});
    }

    // F1: the help file beside the program when it is there, else the manual.
    void helpOpensTheFileOrTheManual_data()
    {
        QTest::addColumn<bool>("chm");
        QTest::addColumn<bool>("manual");
        QTest::addColumn<QString>("opened");
        QTest::newRow("both") << true << true << "bin/VeltranoRezydo.chm";
        QTest::newRow("only the manual") << false << true << "share/rezydo/podrecznik/index.html";
        QTest::newRow("neither") << false << false << "bin/VeltranoRezydo.chm";
    }
    void helpOpensTheFileOrTheManual()
    {
        QFETCH(bool, chm);
        QFETCH(bool, manual);
        QFETCH(QString, opened);
        TestEnv env;
        setProgramDirectory(env.path("bin"));
        QDir().mkpath(env.path("bin"));
        QDir().mkpath(env.path("share/rezydo/podrecznik"));
        if (chm)
            QFile(env.path("bin/VeltranoRezydo.chm")).open(QIODevice::WriteOnly);
        if (manual)
            QFile(env.path("share/rezydo/podrecznik/index.html")).open(QIODevice::WriteOnly);
        TGlowne w;
        QUrl got;
        TGlowne::setUrlOpener([&](const QUrl& u) {
            got = u;
            return true;
        });
        w.command("mnuPomoc")->trigger();
        TGlowne::setUrlOpener({});
        QCOMPARE(got, QUrl::fromLocalFile(env.path(opened)));
    }

    void chooseDatabaseSettingNotSaved()
    {
        if (TestEnv::onServer())
            QSKIP("choosing a database file; a server setting is left alone by it");
        TestEnv env;
        QDir().mkpath(env.path("inna"));
        createDatabase(env.path("inna/Baza.mdb"), false);
        blockMachineSettings(env);
        TGlowne w;
        wireCommands(w);
        env.prompter().files = {env.path("inna/Baza.mdb")};
        w.command("mnuWybierzBaze")->trigger();
        QCOMPARE(env.prompter().log().mid(1),
                 QStringList{"Zmiana bazy|" + settingsNotSavedText({"KatalogBazy"})});
        QCOMPARE(env.data().openFile(), env.databaseFile());
    }

    void programIconInEverySize()
    {
        const QIcon icon = programIcon();
        for (const int size : {16, 32, 48, 256})
            QVERIFY2(icon.availableSizes().contains(QSize(size, size)),
                     qPrintable(QString::number(size)));
    }
};

REZYDO_TEST(TestInstallation);
#include "test_installation.moc"
