// Writes refused part-way, and a desk killed in the middle of one: the file
// stays sound and the operation is there whole or not at all.
#include "app/backup.h"
#include "billing/calculation.h"
#include "billing/payments.h"
#include "core/settings.h"
#include "db/data_module.h"
#include "db/schema.h"
#include "db/sql.h"
#include "register/person_record.h"
#include "stays/check_in_out.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"
#include "tests/workstations/workstations_fixture.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QThread>

#include <functional>

namespace {
// Every row of every table, for "nothing changed" comparisons.
QStringList dump(TestEnv& env)
{
    QStringList out;
    const QString tables =
        TestEnv::onServer()
            ? QStringLiteral("SELECT T.table_name FROM information_schema.tables T JOIN "
                             "information_schema.columns C ON C.table_schema = T.table_schema "
                             "AND C.table_name = T.table_name AND C.column_name = 'rowid' "
                             "WHERE T.table_schema = current_schema() AND T.table_type = "
                             "'BASE TABLE' ORDER BY T.table_name")
            : QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                             "AND name <> 'sqlite_sequence' ORDER BY name");
    for (const QString& table : env.rows(tables))
        for (const QString& row : env.rows("SELECT * FROM " + table + " ORDER BY rowid"))
            out << table + QLatin1Char(':') + row;
    return out;
}

int addReservation(TestEnv& env, int persons, const QStringList& rooms)
{
    env.exec("INSERT INTO Rez_hot (Nazwa, Osob, Od, \"Do\") VALUES ('Grupa', ?, '2026-07-20', "
             "'2026-07-23')",
             {persons});
    const int r = env.scalar("SELECT max(Identyfikator) FROM Rez_hot").toInt();
    for (const QString& room : rooms)
        env.exec("INSERT INTO Rez_msc (Identyfikator, Nr_pokoju, Od, \"Do\", Miejsc) VALUES "
                 "(?, ?, '2026-07-20', '2026-07-23', 2)",
                 {r, room});
    return r;
}

// A staying group with one complete and one incomplete entry, its
// calculation and one payment.
int addStayingGroup(TestEnv& env)
{
    const int r = addReservation(env, 2, {"2"});
    const int k = *checkInReservation(env.db(), r);
    createCalculation(env.db(), k);
    env.exec("UPDATE Ksiazka SET Pelne_dane = 1 WHERE rowid = (SELECT min(rowid) FROM Ksiazka "
             "WHERE Identyfikator_g = ?)",
             {k});
    registerPayment(env.db(), {0, k, "P-1", Money::fromUnits(500000), QDate(2026, 7, 20), 1, {}});
    return k;
}

// Stores a row the schema's checks would refuse today, as a file written
// before a check existed may hold.
void plantUnchecked(TestEnv& env, const QString& sql, const QVariantList& values)
{
    env.exec("PRAGMA ignore_check_constraints = 1");
    env.exec(sql, values);
    env.exec("PRAGMA ignore_check_constraints = 0");
}

// The text the desk would have seen: the error boxes shown, or the failure
// thrown to the general error handling.
QString attempt(TestEnv& env, const std::function<void()>& write)
{
    QStringList texts;
    try {
        write();
    } catch (const RezydoError& e) {
        texts << e.text();
    }
    for (const auto& shown : env.prompter().messages(Prompter::Icon::Error))
        texts << shown.caption + QLatin1Char('|') + shown.text;
    return texts.join(u'\n');
}

void expectNothingWritten(TestEnv& env, const std::function<void()>& write,
                          const QString& expectedText)
{
    // A row planted past the checks shows in the integrity report already.
    const QString integrity = env.scalar("PRAGMA integrity_check").toString();
    const QStringList before = dump(env);
    const QString shown = attempt(env, write);
    QVERIFY2(shown.contains(expectedText), qPrintable(shown));
    QCOMPARE(env.scalar("PRAGMA integrity_check").toString(), integrity);
    QCOMPARE(dump(env), before);
}

struct Ids {
    int reservation = 0; // three persons in room 4
    int group = 0;       // staying, with its calculation and a payment
    int bareGroup = 0;   // staying, no calculation yet
};

Ids addGroups(TestEnv& env)
{
    Ids ids;
    ids.reservation = addReservation(env, 3, {"4"});
    ids.group = addStayingGroup(env);
    ids.bareGroup = *checkInReservation(env.db(), addReservation(env, 1, {"5"}));
    return ids;
}

using Write = std::function<void(TestEnv&, const Ids&)>;
} // namespace

Q_DECLARE_METATYPE(Write)

class TestWriteFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readOnlyFileWritesNothing_data()
    {
        QTest::addColumn<Write>("write");
        QTest::newRow("check-in") << Write([](TestEnv& env, const Ids& ids) {
            QVERIFY(!checkInReservation(env.db(), ids.reservation).has_value());
        });
        QTest::newRow("check-out") << Write(
            [](TestEnv& env, const Ids& ids) { QVERIFY(!checkOutGroup(env.db(), ids.group)); });
        QTest::newRow("payment") << Write([](TestEnv& env, const Ids& ids) {
            registerPayment(
                env.db(),
                {0, ids.group, "P-2", Money::fromUnits(10000), QDate(2026, 7, 21), 1, {}});
        });
        QTest::newRow("calculation") << Write(
            [](TestEnv& env, const Ids& ids) { createCalculation(env.db(), ids.bareGroup); });
    }
    void readOnlyFileWritesNothing()
    {
        if (TestEnv::onServer())
            QSKIP("a database file's permissions and PRAGMA query_only; a server's rights are "
                  "its own");
        QFETCH(Write, write);
        TestEnv::Options o;
        o.demo = true;
        TestEnv env(o);
        const Ids ids = addGroups(env);
        env.data().closeConnection();
        QVERIFY(QFile::setPermissions(env.databaseFile(), QFile::ReadOwner | QFile::ReadGroup));
        const auto writable = qScopeGuard([&] {
            QFile::setPermissions(env.databaseFile(), QFile::ReadOwner | QFile::WriteOwner);
        });
        env.data().openConnection();
        // The owner of the machine may write whatever the permissions say;
        // the connection is then told to refuse writes as the file would.
        if (QFileInfo(env.databaseFile()).isWritable())
            env.exec("PRAGMA query_only = 1");
        env.prompter().shown.clear();
        expectNothingWritten(
            env, [&] { write(env, ids); }, "readonly database");
    }

    void checkRefusalInALaterStep_data()
    {
        QTest::addColumn<Write>("plant");
        QTest::addColumn<Write>("write");
        QTest::addColumn<QString>("message");
        // The header is in, then the copied room line is too long for Kwat_msc.
        QTest::newRow("check-in, room line") << Write([](TestEnv& env, const Ids& ids) {
            plantUnchecked(env,
                           "INSERT INTO Rez_msc (Identyfikator, Nr_pokoju, Od, \"Do\", "
                           "Miejsc) VALUES (?, '1234567890', '2026-07-20', '2026-07-23', 1)",
                           {ids.reservation});
        }) << Write([](TestEnv& env, const Ids& ids) {
            QVERIFY(!checkInReservation(env.db(), ids.reservation).has_value());
        }) << "Przepisanie pokoi do kwaterunku|Błąd bazy : \r\nCHECK constraint failed";
        // The lines are in, then the header is refused.
        QTest::newRow("calculation, header") << Write([](TestEnv& env, const Ids& ids) {
            plantUnchecked(env, "UPDATE Kwat_hot SET Nazwa = ? WHERE Identyfikator = ?",
                           {QString(41, QLatin1Char('x')), ids.bareGroup});
        }) << Write([](TestEnv& env, const Ids& ids) {
            createCalculation(env.db(), ids.bareGroup);
        }) << "CHECK constraint failed";
    }
    void checkRefusalInALaterStep()
    {
        if (TestEnv::onServer())
            QSKIP("the rows refused later are planted past the checks by a PRAGMA of the file");
        QFETCH(Write, plant);
        QFETCH(Write, write);
        QFETCH(QString, message);
        TestEnv::Options o;
        o.demo = true;
        TestEnv env(o);
        const Ids ids = addGroups(env);
        plant(env, ids);
        env.prompter().shown.clear();
        expectNothingWritten(
            env, [&] { write(env, ids); }, message);
    }

    // The registration window of one desk is open on a person while another
    // desk checks the group out and deletes the incomplete person's record:
    // the save must fail, not vanish.
    void savingAPersonCheckedOutMeanwhile()
    {
        TestEnv env;
        env.exec("INSERT INTO Pokoje (Nr_Pokoju, Miejsc) VALUES ('2', 2)");
        const int k = *checkInReservation(env.db(), addReservation(env, 1, {"2"}));
        const int person = env.scalar("SELECT Identyfikator_o FROM Ksiazka").toInt();
        QVERIFY(checkOutGroup(env.db(), k));
        const QStringList before = dump(env);
        PersonSave save{
            k, person, false, TKwaterunek{QDate(2026, 7, 20), QDate(2026, 7, 23), "2"}, {}};
        save.fields.Nazwisko = "Nowak";
        try {
            savePerson(env.db(), save);
            QFAIL("a save into a deleted person record was reported as done");
        } catch (const RezydoError& e) {
            QCOMPARE(e.text(),
                     QString("Tej osoby nie ma już w bazie danych. Zmiany nie zostały zapisane."));
        }
        QCOMPARE(dump(env), before);
    }

    // A desk is killed (SIGKILL) while a check-in of forty persons is being
    // written, with pages already in the file; the next opening rolls the
    // check-in back whole, or finds it committed whole.
    void killedDeskLeavesCheckInWholeOrAbsent()
    {
        if (TestEnv::onServer())
            QSKIP("about the file's rollback journal left by a killed process and its PRAGMAs");
        TestEnv::Options o;
        o.demo = true;
        TestEnv env(o);
        // Each register entry costs the killed desk some time, so that the
        // check-in is long enough to be interrupted.
        env.exec("CREATE TABLE zwloka (x INTEGER)");
        env.exec("INSERT INTO zwloka WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                 "FROM n WHERE i < 300) SELECT i FROM n");
        env.exec("CREATE TRIGGER powoli AFTER INSERT ON Ksiazka BEGIN SELECT count(*) FROM "
                 "zwloka a, zwloka b WHERE a.x + b.x = NEW.Identyfikator_o; END");
        const char* kLoosePersons = "SELECT count(*) FROM Arch_os WHERE Identyfikator_o NOT IN "
                                    "(SELECT Identyfikator_o FROM Ksiazka)";
        const int loosePersons = env.scalar(kLoosePersons).toInt();
        int midway = 0;
        int committed = 0;
        for (int round = 1; round <= 3; ++round) {
            const auto desk = startDesk(env, QStringLiteral("K%1").arg(round), round, 60,
                                        {"--kill-mode", "checkin"});
            QTRY_VERIFY_WITH_TIMEOUT(!readJournal(desk->journal, desk->name).isEmpty(), 20000);
            QThread::msleep(QRandomGenerator::global()->bounded(50, 1500));
            desk->process->kill();
            QVERIFY(desk->process->waitForFinished(10000));
            midway += QFileInfo::exists(env.databaseFile() + "-journal") ? 1 : 0;

            env.data().closeConnection();
            env.data().openConnection();
            QCOMPARE(env.scalar("PRAGMA integrity_check").toString(), QString("ok"));
            for (const JournalLine& l : readJournal(desk->journal, desk->name)) {
                if (l.kind != QLatin1String("checkin-start"))
                    continue;
                const int r = l.id("res");
                const QString name = l.ids.value("name");
                const int k = env.scalar("SELECT coalesce(max(Identyfikator), 0) FROM Kwat_hot "
                                         "WHERE Nazwa = ?",
                                         {name})
                                  .toInt();
                const QStringList state{
                    env.scalar("SELECT count(*) FROM Rez_hot WHERE Identyfikator = ?", {r})
                        .toString(),
                    env.scalar("SELECT count(*) FROM Rez_msc WHERE Identyfikator = ?", {r})
                        .toString(),
                    env.scalar("SELECT count(*) FROM Kwat_hot WHERE Nazwa = ?", {name}).toString(),
                    env.scalar("SELECT count(*) FROM Kwat_msc WHERE Identyfikator = ?", {k})
                        .toString(),
                    env.scalar("SELECT count(*) FROM Ksiazka K JOIN Arch_os A ON "
                               "A.Identyfikator_o = K.Identyfikator_o WHERE Identyfikator_g = ?",
                               {k})
                        .toString()};
                const QString lines = l.ids.value("lines");
                if (k == 0) {
                    QCOMPARE(state, QStringList({"1", lines, "0", "0", "0"}));
                } else {
                    ++committed;
                    QCOMPARE(state, QStringList({"0", "0", "1", lines, "40"}));
                }
            }
            QCOMPARE(env.scalar(kLoosePersons).toInt(), loosePersons);
        }
        qInfo("killed desks: %d with a check-in under way, %d check-ins committed", midway,
              committed);
        QVERIFY(midway > 0);
    }

    // The exit backup taken while another desk writes: every archive restores
    // to a sound Rezydo database. (tests/app TestBackup does the same with a
    // writer thread renumbering rows; here the writer is a whole desk.)
    void backupWhileADeskWrites()
    {
        TestEnv::Options o;
        o.demo = true;
        TestEnv env(o);
        QVERIFY(writeSetting("KatalogBazy", env.path("Baza")));
        const auto desk = startDesk(env, "B1", 7, 4);
        QTRY_VERIFY_WITH_TIMEOUT(readJournal(desk->journal, desk->name).size() > 5, 20000);
        QStringList archives;
        for (int i = 0; i < 4; ++i) {
            QThread::msleep(QRandomGenerator::global()->bounded(200, 600));
            archives << env.path(QString("kopia%1.zip").arg(i));
            const ArchiveResult result = createArchive(archives.last());
            QVERIFY2(result.ok, qPrintable(result.message));
        }
        QString why;
        QVERIFY2(finishDesk(*desk, &why), qPrintable(why));
        for (const QString& archive : archives) {
            const ArchiveResult result = restoreArchive(archive);
            QVERIFY2(result.ok, qPrintable(result.message));
            if (!TestEnv::onServer())
                QCOMPARE(env.scalar("PRAGMA integrity_check").toString(), QString("ok"));
            QVERIFY(isRezydoDatabase(env.db()));
            QCOMPARE(overbookedNights(env.db()), QStringList());
        }
    }
};

REZYDO_TEST(TestWriteFaults);
#include "test_write_faults.moc"
