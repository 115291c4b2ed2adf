// Three desks on one database file at once, each with the program's own
// logic and connection; afterwards every operation a desk reported as done
// must be in the file whole, and every refused one must have left nothing.
#include "billing/calculation.h"
#include "db/after_transaction.h"
#include "db/data_module.h"
#include "db/sql.h"
#include "stays/check_in_out.h"
#include "stays/chosen_lines.h"
#include "stays/stay_store.h"
#include "tests/support/failing_writes.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"
#include "tests/workstations/workstations_fixture.h"

#include <QSet>
#include <QSqlQuery>
#include <QTest>

#include <functional>

namespace {
int count(QSqlDatabase db, const QString& sql, int id)
{
    return scalarSql(db, sql, {{":ID", id}}).toInt();
}

QSet<int> idsOf(QSqlDatabase db, const QString& sql)
{
    QSet<int> out;
    QSqlQuery q = runSql(db, sql);
    while (q.next())
        out.insert(q.value(0).toInt());
    return out;
}

// What the file held before the desks started.
struct Before {
    QSet<int> reservations, groups, payments, loosePersons;
};

Before snapshot(QSqlDatabase db)
{
    return {idsOf(db, QStringLiteral("SELECT Identyfikator FROM Rez_hot")),
            idsOf(db, QStringLiteral("SELECT Identyfikator FROM Kwat_hot UNION SELECT "
                                     "Identyfikator_g FROM Ksiazka UNION SELECT Identyfikator "
                                     "FROM Kalk UNION SELECT Identyfikator FROM Kwit")),
            idsOf(db, QStringLiteral("SELECT ID FROM Kwit")),
            idsOf(db, QStringLiteral("SELECT Identyfikator_o FROM Arch_os WHERE Identyfikator_o "
                                     "NOT IN (SELECT Identyfikator_o FROM Ksiazka)"))};
}

// Everything the desks reported, sorted for the checks.
struct Reported {
    QList<JournalLine> all;
    QSet<int> checkedIn;               // reservations
    QSet<int> checkedOut;              // groups
    QHash<int, QSet<QString>> namesOf; // person → names saved
    QList<int> newReservations, newGroups, newPayments;
};

Reported collect(const QList<JournalLine>& lines)
{
    Reported r;
    r.all = lines;
    for (const JournalLine& l : lines) {
        if (!l.ok())
            continue;
        if (l.kind == QLatin1String("reserve"))
            r.newReservations << l.id("res");
        if (l.kind == QLatin1String("walkin") || l.kind == QLatin1String("checkin"))
            r.newGroups << l.id("grp");
        if (l.kind == QLatin1String("checkin"))
            r.checkedIn.insert(l.id("res"));
        if (l.kind == QLatin1String("checkout"))
            r.checkedOut.insert(l.id("grp"));
        if (l.kind == QLatin1String("register"))
            r.namesOf[l.id("person")].insert(l.ids.value("name"));
        if (l.kind == QLatin1String("pay"))
            r.newPayments << l.id("kwit");
    }
    return r;
}

QString where(const JournalLine& l)
{
    QStringList ids;
    for (auto it = l.ids.cbegin(); it != l.ids.cend(); ++it)
        ids << it.key() + QLatin1Char('=') + it.value();
    ids.sort();
    return QStringLiteral("%1 %2 %3 [%4]").arg(l.desk, l.kind, l.outcome, ids.join(u' '));
}

// A group reported created: whole while it stays, and whole as history after
// a check-out.
void checkGroup(QSqlDatabase db, const Reported& r, const JournalLine& l, QStringList& faults)
{
    const int k = l.id("grp");
    const int persons = l.id("persons");
    const int entries = count(db, "SELECT count(*) FROM Ksiazka WHERE Identyfikator_g = :ID", k);
    if (entries != persons)
        faults << where(l) + QStringLiteral(" has %1 register entries").arg(entries);
    const int lostPersons = count(db,
                                  "SELECT count(*) FROM Ksiazka WHERE Identyfikator_g = :ID AND "
                                  "Identyfikator_o NOT IN (SELECT Identyfikator_o FROM Arch_os)",
                                  k);
    const int header = count(db, "SELECT count(*) FROM Kwat_hot WHERE Identyfikator = :ID", k);
    const int lines = count(db, "SELECT count(*) FROM Kwat_msc WHERE Identyfikator = :ID", k);
    if (!r.checkedOut.contains(k)) {
        if (header != 1 || lines != l.id("lines") || lostPersons != 0)
            faults << where(l) + QStringLiteral(" stays with header %1, lines %2, %3 entries "
                                                "without a person")
                                     .arg(header)
                                     .arg(lines)
                                     .arg(lostPersons);
        return;
    }
    const int staying = count(
        db, "SELECT count(*) FROM Ksiazka WHERE Identyfikator_g = :ID AND Wykwaterowany = 0", k);
    const int lostComplete = count(db,
                                   "SELECT count(*) FROM Ksiazka WHERE Identyfikator_g = :ID AND "
                                   "Pelne_dane = 1 AND Identyfikator_o NOT IN "
                                   "(SELECT Identyfikator_o FROM Arch_os)",
                                   k);
    const int keptIncomplete = count(db,
                                     "SELECT count(*) FROM Ksiazka WHERE Identyfikator_g = :ID AND "
                                     "Pelne_dane = 0 AND Identyfikator_o IN "
                                     "(SELECT Identyfikator_o FROM Arch_os)",
                                     k);
    if (header + lines + staying + lostComplete + keptIncomplete != 0)
        faults << where(l) + QStringLiteral(" checked out with header %1, lines %2, %3 staying, "
                                            "%4 complete without a person, %5 incomplete kept")
                                 .arg(header)
                                 .arg(lines)
                                 .arg(staying)
                                 .arg(lostComplete)
                                 .arg(keptIncomplete);
}

void checkLine(QSqlDatabase db, const Reported& r, const JournalLine& l, QStringList& faults)
{
    const QString name = l.ids.value("name");
    const auto named = [&](const char* sql) {
        return scalarSql(db, QString::fromLatin1(sql), {{":N", name}}).toInt();
    };
    if (l.kind == QLatin1String("reserve") || l.kind == QLatin1String("walkin")) {
        if (!l.ok()) {
            if (named("SELECT count(*) FROM Rez_hot WHERE Nazwa = :N") +
                    named("SELECT count(*) FROM Kwat_hot WHERE Nazwa = :N") !=
                0)
                faults << where(l) + QStringLiteral(" left its group behind");
        } else if (l.kind == QLatin1String("walkin")) {
            checkGroup(db, r, l, faults);
        } else if (!r.checkedIn.contains(l.id("res"))) {
            const int res = l.id("res");
            if (count(db, "SELECT count(*) FROM Rez_hot WHERE Identyfikator = :ID", res) != 1 ||
                count(db, "SELECT count(*) FROM Rez_msc WHERE Identyfikator = :ID", res) !=
                    l.id("lines"))
                faults << where(l) + QStringLiteral(" is not in the file whole");
        }
    } else if (l.kind == QLatin1String("checkin") && l.ok()) {
        const int res = l.id("res");
        if (count(db, "SELECT count(*) FROM Rez_hot WHERE Identyfikator = :ID", res) +
                count(db, "SELECT count(*) FROM Rez_msc WHERE Identyfikator = :ID", res) !=
            0)
            faults << where(l) + QStringLiteral(" kept its reservation");
        checkGroup(db, r, l, faults);
    } else if (l.kind == QLatin1String("register")) {
        const int person = l.id("person");
        if (!l.ok()) {
            if (named("SELECT count(*) FROM Arch_os WHERE Nazwisko = :N") != 0)
                faults << where(l) + QStringLiteral(" wrote the person");
        } else if (!r.namesOf.value(person).contains(
                       scalarSql(db,
                                 "SELECT Nazwisko FROM Arch_os A JOIN Ksiazka K ON "
                                 "K.Identyfikator_o = A.Identyfikator_o WHERE K.Pelne_dane = 1 "
                                 "AND A.Identyfikator_o = :ID",
                                 {{":ID", person}})
                           .toString())) {
            faults << where(l) + QStringLiteral(" is lost");
        }
    } else if (l.kind == QLatin1String("pay")) {
        const int paid = scalarSql(db,
                                   "SELECT count(*) FROM Kwit WHERE Nr_kwit = :N AND "
                                   "Identyfikator = :G AND Wplata = :W",
                                   {{":N", l.ids.value("number")},
                                    {":G", l.id("grp")},
                                    {":W", l.ids.value("amount").toLongLong()}})
                             .toInt();
        if (paid != (l.ok() ? 1 : 0))
            faults << where(l) + QStringLiteral(" is in the file %1 times").arg(paid);
    } else if (l.kind == QLatin1String("invoice")) {
        // An issued invoice has the number its desk reported; a refused one
        // left the buyer's name untouched.
        const int found =
            scalarSql(db,
                      "SELECT count(*) FROM Kalk WHERE Identyfikator = :G AND Typ = "
                      "2 AND Rach = :R AND Seria = :S",
                      {{":G", l.id("grp")}, {":R", l.id("number")}, {":S", l.ids.value("series")}})
                .toInt();
        if (l.ok() && found != 1)
            faults << where(l) + QStringLiteral(" is not in the file as reported");
    } else if (l.kind == QLatin1String("calc") && l.ok()) {
        // One calculation whose sums are its lines' sums: never two made at once.
        if (count(db,
                  "SELECT count(*) FROM Kalk WHERE Identyfikator = :ID AND Brutto = (SELECT "
                  "coalesce(sum(Brutto), 0) FROM Kalk_det WHERE Identyfikator = :ID)",
                  l.id("grp")) != 1)
            faults << where(l) + QStringLiteral(" is not one sound calculation");
    } else if (l.kind == QLatin1String("checkout") && !l.ok() &&
               !r.checkedOut.contains(l.id("grp"))) {
        if (count(db,
                  "SELECT count(*) FROM Ksiazka WHERE Identyfikator_g = :ID AND "
                  "Wykwaterowany = 1",
                  l.id("grp")) != 0)
            faults << where(l) + QStringLiteral(" marked the register");
    }
}

QStringList duplicates(const QList<int>& ids, const QSet<int>& before, const char* what)
{
    QStringList out;
    QSet<int> seen = before;
    for (int id : ids)
        if (seen.contains(id))
            out << QStringLiteral("%1 %2 used twice").arg(QString::fromLatin1(what)).arg(id);
        else
            seen.insert(id);
    return out;
}

// Keys the desks were given are new and used once; nothing that no desk
// reported is in the file.
QStringList keyFaults(QSqlDatabase db, const Before& before, const Reported& r)
{
    QStringList faults = duplicates(r.newReservations, before.reservations, "reservation") +
                         duplicates(r.newGroups, before.groups, "group") +
                         duplicates(r.newPayments, before.payments, "payment");
    const QSet<int> groups = before.groups + QSet<int>(r.newGroups.cbegin(), r.newGroups.cend());
    for (int k : idsOf(db, "SELECT Identyfikator FROM Kwat_hot UNION SELECT Identyfikator_g "
                           "FROM Ksiazka UNION SELECT Identyfikator FROM Kwat_msc UNION SELECT "
                           "Identyfikator FROM Kalk UNION SELECT Identyfikator FROM Kalk_det "
                           "UNION SELECT Identyfikator FROM Kwit"))
        if (!groups.contains(k))
            faults << QStringLiteral("group %1 was never reported").arg(k);
    const QSet<int> reservations =
        before.reservations + QSet<int>(r.newReservations.cbegin(), r.newReservations.cend());
    for (int res : idsOf(db, "SELECT Identyfikator FROM Rez_hot UNION SELECT Identyfikator FROM "
                             "Rez_msc"))
        if (!reservations.contains(res))
            faults << QStringLiteral("reservation %1 was never reported").arg(res);
    for (int o : idsOf(db, "SELECT Identyfikator_o FROM Arch_os WHERE Identyfikator_o NOT IN "
                           "(SELECT Identyfikator_o FROM Ksiazka)"))
        if (!before.loosePersons.contains(o))
            faults << QStringLiteral("person %1 belongs to no register entry").arg(o);
    // A person record made for a new group serves that one entry only.
    const int lastBefore = before.groups.isEmpty()
                               ? 0
                               : *std::max_element(before.groups.cbegin(), before.groups.cend());
    for (int o : idsOf(db, "SELECT Identyfikator_o FROM Ksiazka GROUP BY Identyfikator_o "
                           "HAVING count(*) > 1 AND max(Identyfikator_g) > " +
                               QString::number(lastBefore)))
        faults << QStringLiteral("person %1 is in two register entries").arg(o);
    // The settled flag follows the payments of every group that was paid.
    for (int k : idsOf(db, "SELECT Identyfikator FROM Kalk k WHERE rozl <> CASE WHEN "
                           "coalesce((SELECT sum(Wplata) FROM Kwit w WHERE w.Identyfikator = "
                           "k.Identyfikator), 0) >= coalesce(Brutto, 0) - coalesce(Przedplata, 0) "
                           "THEN 1 ELSE 0 END"))
        if (r.newGroups.contains(k))
            faults << QStringLiteral("group %1 has a stale settled flag").arg(k);
    return faults;
}

// A reservation from 2031-07-20 to 2031-07-23 (far from the days the desks
// book), as the stay editor holds it before "Rezerwuj": rooms as "room:beds".
StayForm reservationOf(const QStringList& rooms)
{
    StayForm form;
    form.name = QStringLiteral("Przy okienku");
    form.persons = QStringLiteral("2");
    form.from = QDate(2031, 7, 20);
    form.to = QDate(2031, 7, 23);
    form.chosen = chosenGrid();
    for (const QString& room : rooms) {
        RoomToAdd add;
        add.room = room.section(QLatin1Char(':'), 0, 0);
        add.roomBeds = QStringLiteral("2");
        add.beds = room.section(QLatin1Char(':'), 1, 1).toInt();
        add.from = QStringLiteral("2031-07-20");
        add.to = QStringLiteral("2031-07-23");
        addToChosen(form.chosen, add);
    }
    return form;
}

// Rooms A1 and A2 of two beds each, and a group of another desk holding one
// bed of A1 for the reservation's nights.
void twoRoomsOneBedTaken(TestEnv& env)
{
    env.exec("INSERT INTO Pokoje (Nr_Pokoju, Miejsc, Typ) VALUES ('A1', 2, 'A'), ('A2', 2, 'A')");
    env.exec("INSERT INTO Kwat_hot (Nazwa, Osob, Od, \"Do\") VALUES ('Inni', 1, '2031-07-20', "
             "'2031-07-23')");
    env.exec("INSERT INTO Kwat_msc (Identyfikator, Nr_pokoju, Miejsc, Od, \"Do\") VALUES "
             "((SELECT max(Identyfikator) FROM Kwat_hot), 'A1', 1, '2031-07-20', '2031-07-23')");
}

const QString kTakeABed =
    QStringLiteral("INSERT INTO Kwat_msc (Identyfikator, Nr_pokoju, Miejsc, Od, \"Do\") VALUES "
                   "((SELECT max(Identyfikator) FROM Kwat_hot), ?, 1, '2031-07-21', '2031-07-22')");

using Meanwhile = std::function<QStringList(TestEnv&)>;
using Write = std::function<void(TestEnv&)>;
} // namespace

Q_DECLARE_METATYPE(Meanwhile)
Q_DECLARE_METATYPE(Write)

class TestWorkstations : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Three desks on one file, four on the server, for six seconds (or as
    // many as REZYDO_DESK_SECONDS says, for a longer run by hand).
    void desksTogether()
    {
        TestEnv::Options o;
        o.demo = true;
        TestEnv env(o);
        QCOMPARE(overbookedNights(env.db()), QStringList());
        const Before before = snapshot(env.db());
        const int count = TestEnv::onServer() ? 4 : 3;
        const int seconds = qEnvironmentVariableIntValue("REZYDO_DESK_SECONDS") > 0
                                ? qEnvironmentVariableIntValue("REZYDO_DESK_SECONDS")
                                : 6;

        std::vector<std::unique_ptr<Desk>> desks;
        for (int i = 1; i <= count; ++i)
            desks.push_back(startDesk(env, QStringLiteral("W%1").arg(i), 100 + i, seconds));
        QList<JournalLine> lines;
        for (const auto& desk : desks) {
            QString why;
            QVERIFY2(finishDesk(*desk, &why), qPrintable(why));
            lines += readJournal(desk->journal, desk->name);
        }
        const Reported r = collect(lines);

        if (!TestEnv::onServer())
            QCOMPARE(env.scalar("PRAGMA integrity_check").toString(), QString("ok"));
        int attempted = 0, succeeded = 0, refused = 0, doubleBooked = 0, locked = 0;
        QStringList refusals;
        for (const JournalLine& l : std::as_const(r.all)) {
            if (l.outcome == QLatin1String("skipped"))
                continue;
            ++attempted;
            succeeded += l.ok() ? 1 : 0;
            doubleBooked += l.outcome == QLatin1String("double-booking") ? 1 : 0;
            if (l.outcome == QLatin1String("refused")) {
                ++refused;
                refusals << where(l) + QLatin1Char(' ') + l.text;
            }
            // A write refused for another desk's at the same moment is run
            // again; neither that nor a lock ever reaches the user.
            locked += l.text.contains(QLatin1String("locked")) ||
                              l.text.contains(QLatin1String("serialize")) ||
                              l.text.contains(QLatin1String("deadlock"))
                          ? 1
                          : 0;
        }
        qInfo("%d desks, %d s: attempted %d, succeeded %d, refused %d, double-booking "
              "detected %d, database locked or conflicting %d",
              count, seconds, attempted, succeeded, refused, doubleBooked, locked);
        for (const QString& refusal : std::as_const(refusals))
            qInfo("%s", qPrintable(refusal));
        QVERIFY(succeeded > 30);
        // busy_timeout waits for the other desks; a lock never reaches the user.
        QCOMPARE(locked, 0);
        // The desks take the same rooms for the same days, so one of them must
        // have found the beds gone.
        QVERIFY(doubleBooked > 0);

        QStringList faults = keyFaults(env.db(), before, r);
        for (const JournalLine& l : std::as_const(r.all))
            checkLine(env.db(), r, l, faults);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
        QCOMPARE(overbookedNights(env.db()), QStringList());

        // Invoices issued at the same moment by different desks have distinct
        // numbers in each series and year, and the numbers run without gaps.
        QSet<QString> numbers;
        int issued = 0;
        for (const JournalLine& l : std::as_const(r.all))
            if (l.kind == QLatin1String("invoice") && l.ok()) {
                ++issued;
                const QString key =
                    l.ids.value("series") + '/' + l.ids.value("year") + '/' + l.ids.value("number");
                QVERIFY2(!numbers.contains(key), qPrintable(key + " issued twice"));
                numbers.insert(key);
            }
        QVERIFY(issued > 3);
        QCOMPARE(env.rows("SELECT Seria, substr(data_wystawienia, 1, 4), Rach FROM Kalk WHERE "
                          "Typ = 2 GROUP BY 1, 2, 3 HAVING count(*) > 1"),
                 QStringList());
        QCOMPARE(env.scalar("SELECT max(Rach) - count(*) FROM Kalk WHERE Typ = 2").toInt(), 0);
    }

    // While the double-booking question waits for the receptionist, the
    // other desks go on writing: the save holds no lock over a question.
    void aDeskAskingAboutBedsBlocksNoOne_data()
    {
        QTest::addColumn<Meanwhile>("meanwhile"); // the other desks' failures
        QTest::newRow("another desk books a room") << Meanwhile([](TestEnv& env) {
            OtherDesk other(env, 300);
            const QString failed = other.write(kTakeABed, {QStringLiteral("A2")});
            return failed.isEmpty() ? QStringList() : QStringList{failed};
        });
        QTest::newRow("a desk works through its mix") << Meanwhile([](TestEnv& env) {
            auto desk = startDesk(env, QStringLiteral("W9"), 9, 1);
            QString why;
            if (!finishDesk(*desk, &why))
                return QStringList{why};
            QStringList failed;
            int done = 0;
            for (const JournalLine& l : readJournal(desk->journal, desk->name)) {
                done += l.ok() ? 1 : 0;
                if (l.text.contains(QLatin1String("locked")))
                    failed << where(l) + QLatin1Char(' ') + l.text;
            }
            if (done == 0)
                failed << QStringLiteral("the desk got nothing done");
            return failed;
        });
    }
    void aDeskAskingAboutBedsBlocksNoOne()
    {
        QFETCH(Meanwhile, meanwhile);
        TestEnv::Options o;
        o.demo = true;
        TestEnv env(o);
        twoRoomsOneBedTaken(env);
        ScopedWaitingPrompter desk;
        desk->answers = {true};
        QStringList failures;
        desk->meanwhile = [&] { failures += meanwhile(env); };
        const SaveOutcome out =
            saveStay(env.db(), StayMode::NewReservation, 0, reservationOf({"A1:2"}));
        QCOMPARE(desk->shown,
                 QStringList({"Zajęte miejsca|W pokojach: A1 w wybranym terminie "
                              "nie ma już tylu wolnych miejsc. Czy mimo to zapisać?"}));
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(u'\n')));
        QCOMPARE(out.kind, SaveOutcome::Saved);
        QCOMPARE(env.scalar("SELECT count(*) FROM Rez_msc WHERE Identyfikator = ?", {out.groupId})
                     .toInt(),
                 1);
    }

    // The answer covers the rooms it was given; beds gone meanwhile in
    // another room are asked about again before anything is written.
    void bedsGoneWhileAskingAreAskedAbout_data()
    {
        QTest::addColumn<QString>("room"); // where the other desk takes a bed
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("asked"); // the rooms of each question
        QTest::addColumn<int>("lines");         // of the reservation, -1: not saved
        QTest::newRow("another room: asked again, Yes saves")
            << "A2" << QList<bool>{true, true} << QStringList({"A1", "A1, A2"}) << 2;
        QTest::newRow("another room: asked again, No writes nothing")
            << "A2" << QList<bool>{true, false} << QStringList({"A1", "A1, A2"}) << -1;
        QTest::newRow("the room agreed to: not asked again")
            << "A1" << QList<bool>{true} << QStringList({"A1"}) << 2;
    }
    void bedsGoneWhileAskingAreAskedAbout()
    {
        QFETCH(QString, room);
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, asked);
        QFETCH(int, lines);
        TestEnv env;
        twoRoomsOneBedTaken(env);
        ScopedWaitingPrompter desk;
        desk->answers.assign(answers.cbegin(), answers.cend());
        QString failed = QStringLiteral("no question");
        desk->meanwhile = [&] {
            if (desk->shown.size() == 1)
                failed = OtherDesk(env, 300).write(kTakeABed, {room});
        };
        const SaveOutcome out =
            saveStay(env.db(), StayMode::NewReservation, 0, reservationOf({"A1:2", "A2:2"}));
        QCOMPARE(failed, QString());
        QStringList questions;
        for (const QString& rooms : asked)
            questions << QStringLiteral("Zajęte miejsca|W pokojach: %1 w wybranym terminie nie "
                                        "ma już tylu wolnych miejsc. Czy mimo to zapisać?")
                             .arg(rooms);
        QCOMPARE(desk->shown, questions);
        QCOMPARE(out.kind, lines < 0 ? SaveOutcome::Declined : SaveOutcome::Saved);
        QCOMPARE(env.scalar("SELECT count(*) FROM Rez_hot").toInt(), lines < 0 ? 0 : 1);
        QCOMPARE(env.scalar("SELECT count(*) FROM Rez_msc").toInt(), std::max(lines, 0));
    }

    // A box about an item the database refused, or about a step that ended
    // the operation, is shown once the transaction has ended, so the other
    // desks can write while it is on the screen.
    void errorBoxesWaitForTheTransaction_data()
    {
        QTest::addColumn<QString>("table"); // refuses a new row
        QTest::addColumn<QString>("condition");
        QTest::addColumn<Write>("write");
        QTest::addColumn<QString>("caption");
        const auto reserve = [](TestEnv&) {
            saveStay(dataModule().database(), StayMode::NewReservation, 0,
                     reservationOf({"A1:1", "A2:2"}));
        };
        QTest::newRow("a refused line of a saved reservation")
            << "Rez_msc"
            << "NEW.Nr_pokoju = 'A2'" << Write(reserve) << "Dopisywanie pozycji rezerwacji";
        QTest::newRow("a refused header: the save rolled back")
            << "Rez_hot"
            << "" << Write(reserve) << "Nowa rezerwacja";
        QTest::newRow("a refused register entry of a walk-in")
            << "Ksiazka"
            << "" << Write([](TestEnv&) {
                   saveStay(dataModule().database(), StayMode::NewAccommodation, 0,
                            reservationOf({"A2:1"}));
               })
            << "Dodawanie wpisów do ksiązki meldunkowej";
        QTest::newRow("a failed step of a check-in: rolled back")
            << "Kwat_hot"
            << "" << Write([](TestEnv& env) {
                   env.exec("INSERT INTO Rez_hot (Nazwa, Osob, Od, \"Do\") VALUES ('R', 1, "
                            "'2031-07-20', '2031-07-23')");
                   QVERIFY(!checkInReservation(
                                dataModule().database(),
                                env.scalar("SELECT max(Identyfikator) FROM Rez_hot").toInt())
                                .has_value());
               })
            << "Kwaterowanie na podstawie rezerwacji";
        QTest::newRow("a refused line of a calculation")
            << "Kalk_det"
            << "" << Write([](TestEnv& env) {
                   env.exec("INSERT INTO Pokoje (Nr_Pokoju, Miejsc, Typ) VALUES ('A3', 2, "
                            "(SELECT min(Typ) FROM Cennik))");
                   const SaveOutcome out =
                       saveStay(dataModule().database(), StayMode::NewAccommodation, 0,
                                reservationOf({"A3:2"}));
                   createCalculation(dataModule().database(), out.groupId);
               })
            << "Nowa pozycja kalkulacji";
    }
    void errorBoxesWaitForTheTransaction()
    {
        QFETCH(QString, table);
        QFETCH(QString, condition);
        QFETCH(Write, write);
        QFETCH(QString, caption);
        TestEnv::Options o;
        o.demo = true;
        TestEnv env(o);
        twoRoomsOneBedTaken(env);
        runSql(env.db(), "CREATE TABLE probe (x INTEGER)");
        refuseWrites(env, "INSERT", table, "nie tym razem", condition);
        ScopedWaitingPrompter desk;
        QStringList seen; // per box: the transaction still open, another desk's write
        desk->meanwhile = [&] {
            seen << (transactionOpen() ? QStringLiteral("open|") : QStringLiteral("ended|")) +
                        OtherDesk(env, 300).write("INSERT INTO probe VALUES (1)");
        };
        write(env);
        QVERIFY2(desk->shown.contains(caption + "|Błąd bazy : \r\nnie tym razem"),
                 qPrintable(desk->shown.join(u'\n')));
        QCOMPARE(seen, QStringList(desk->shown.size(), QStringLiteral("ended|")));
        QCOMPARE(env.scalar("SELECT count(*) FROM probe").toInt(), desk->shown.size());
    }

    // Boxes raised while transactions are open (here on two files at once)
    // wait for the last one to end, also when it ends by an exception, and
    // then come in the order they were raised.
    void aBoxWaitsForEveryOpenTransaction()
    {
        TestEnv env;
        const QString name = QStringLiteral("another-file");
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            other.setDatabaseName(env.path(QStringLiteral("inny.db")));
            QVERIFY(other.open());
            ScopedWaitingPrompter desk;
            try {
                Transaction outer(env.db());
                reportDatabaseError(QStringLiteral("Pierwszy"), QStringLiteral("jeden"));
                {
                    Transaction inner(other);
                    reportDatabaseError(QStringLiteral("Drugi"), QStringLiteral("dwa"));
                    inner.commit();
                }
                QCOMPARE(desk->shown, QStringList());
                throw DbError(QStringLiteral("koniec"));
            } catch (const DbError& e) {
                QCOMPARE(e.text(), QString("koniec"));
            }
            QVERIFY(!transactionOpen());
            QCOMPARE(desk->shown,
                     QStringList({"Pierwszy|Błąd bazy : \r\njeden", "Drugi|Błąd bazy : \r\ndwa"}));
            reportDatabaseError(QStringLiteral("Trzeci"), QStringLiteral("trzy"));
            QCOMPARE(desk->shown.size(), 3); // with no transaction at once
            other.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
};

REZYDO_TEST(TestWorkstations);
#include "test_workstations.moc"
