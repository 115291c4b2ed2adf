#include "db/sql.h"
#include "stays/chosen_lines.h"
#include "stays/stay_store.h"
#include "tests/stays/stays_fixture.h"
#include "tests/support/failing_writes.h"
#include "tests/support/test_registry.h"

#include <QTest>

Q_DECLARE_METATYPE(StayMode)

namespace {
StayForm formOf(const QString& persons, const QStringList& chosenRows, int from = 1, int to = 3)
{
    StayForm f;
    f.name = QStringLiteral("Kowalscy");
    f.persons = persons;
    f.notes = QStringLiteral("balkon");
    f.from = day(from);
    f.to = day(to);
    f.chosen = chosenFrom(chosenRows);
    return f;
}

// Everything a save may touch, to show that a failed save touched nothing.
QStringList snapshot(TestEnv& env)
{
    QStringList all;
    for (const char* table : {"Rez_hot", "Rez_msc", "Kwat_hot", "Kwat_msc", "Ksiazka", "Arch_os",
                              "Kalk", "Kalk_det", "Kwit"})
        all << QString::fromLatin1(table)
            << env.rows(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table));
    return all;
}

QStringList entries(TestEnv& env, int group)
{
    return env.rows("SELECT Nr_pokoju, Od, \"Do\", Pelne_dane FROM Ksiazka "
                    "WHERE Identyfikator_g = ? ORDER BY rowid",
                    {group});
}

QString entry(const QString& room, int from, int to)
{
    return room + "|" + dayStr(from) + "|" + dayStr(to) + "|0";
}

// An accommodation group 1 of 3 persons: room 1 (2 beds) and room 2 (1 bed)
// for days 1 to 3, its entries placed, a calculation and one payment.
void storedAccommodation(TestEnv& env)
{
    addRooms(env, {"1:2:A:", "2:2:A:", "3:3:B:"});
    const SaveOutcome saved = saveStay(env.db(), StayMode::NewAccommodation, 0,
                                       formOf("3", {"1:2:A:2::1:3", "2:2:A:1:K:1:3"}));
    QCOMPARE(saved.groupId, 1);
    env.exec("INSERT INTO Kalk (Identyfikator, Brutto) VALUES (1, 5000000)");
    env.exec("INSERT INTO Kalk_det (Identyfikator, Nr_pokoju) VALUES (1, '1')");
    env.exec("INSERT INTO Kwit (Identyfikator, Wplata) VALUES (1, 1000000)");
}
} // namespace

class TestStaySave : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void walkInPlacesPersonsBedByBed_data()
    {
        QTest::addColumn<QString>("persons");
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("osob");
        QTest::newRow("3 persons in 2 + 2 beds")
            << "3" << QStringList({"1:2:A:2::1:3", "2:2:A:2::2:3"})
            << QStringList({entry("1", 1, 3), entry("1", 1, 3), entry("2", 2, 3)}) << 3;
        QTest::newRow("5 persons in 2 beds: the rest without room, group dates")
            << "5" << QStringList({"1:2:A:2::2:3"})
            << QStringList({entry("1", 2, 3), entry("1", 2, 3), entry("", 1, 3), entry("", 1, 3),
                            entry("", 1, 3)})
            << 5;
        QTest::newRow("persons as letters: stored as 1, nobody placed")
            << "dwie" << QStringList({"1:2:A:2::1:3"}) << QStringList() << 1;
    }
    void walkInPlacesPersonsBedByBed()
    {
        QFETCH(QString, persons);
        QFETCH(QStringList, chosen);
        QFETCH(QStringList, entries);
        QFETCH(int, osob);
        TestEnv env;
        addRooms(env, {"1:2:A:", "2:2:A:"});
        const SaveOutcome out =
            saveStay(env.db(), StayMode::NewAccommodation, 0, formOf(persons, chosen));
        QCOMPARE(out.kind, SaveOutcome::Saved);
        QCOMPARE(env.rows("SELECT Identyfikator, Nazwa, Osob, Od, \"Do\", Notatki FROM Kwat_hot"),
                 QStringList({QString("%1|Kowalscy|%2|%3|%4|balkon")
                                  .arg(out.groupId)
                                  .arg(osob)
                                  .arg(dayStr(1), dayStr(3))}));
        QCOMPARE(env.scalar("SELECT count(*) FROM Kwat_msc WHERE Identyfikator = ?", {out.groupId})
                     .toInt(),
                 chosen.size());
        QCOMPARE(::entries(env, out.groupId), entries);
        // every entry has a person record of its own, of the home country
        QCOMPARE(env.rows("SELECT count(DISTINCT K.Identyfikator_o), min(A.ID_Panstwo) "
                          "FROM Ksiazka K JOIN Arch_os A USING (Identyfikator_o)"),
                 QStringList(
                     {QString("%1|%2").arg(entries.size()).arg(entries.isEmpty() ? "NULL" : "1")}));
        QVERIFY(env.prompter().shown.isEmpty());
    }

    void reservationSaves_data()
    {
        QTest::addColumn<StayMode>("mode");
        QTest::addColumn<QString>("persons");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QStringList>("messages");
        const QString lines = dayStr(1) + "|" + dayStr(4);
        QTest::newRow("new") << StayMode::NewReservation << "2"
                             << "2|Kowalscy|2|" + lines + "|balkon" << QStringList();
        QTest::newRow("new, persons as letters")
            << StayMode::NewReservation << "x"
            << "2|Kowalscy|1|" + lines + "|balkon" << QStringList();
        QTest::newRow("change") << StayMode::EditReservation << "4"
                                << "1|Kowalscy|4|" + lines + "|balkon" << QStringList();
        QTest::newRow("change, persons as letters: header refused, lines rewritten")
            << StayMode::EditReservation << "x"
            << "1|Stara|1|" + dayStr(5) + "|" + dayStr(6) + "|"
            << QStringList({"Zmiana rezerwacji"});
    }
    void reservationSaves()
    {
        QFETCH(StayMode, mode);
        QFETCH(QString, persons);
        QFETCH(QString, header);
        QFETCH(QStringList, messages);
        TestEnv env;
        addRooms(env, {"1:2:A:", "2:2:A:"});
        env.exec("INSERT INTO Rez_hot (Nazwa, Osob, Od, \"Do\", Notatki) VALUES "
                 "('Stara', 1, ?, ?, '')",
                 {dayStr(5), dayStr(6)});
        addLines(env, {"R1 2 1 5 6"});
        const int group = mode == StayMode::EditReservation ? 1 : 0;
        const SaveOutcome out = saveStay(env.db(), mode, group,
                                         formOf(persons, {"1:2:A:2::2:4", "2:2:A:1:M:1:3"}, 2, 3));
        QCOMPARE(out.kind, SaveOutcome::Saved);
        QCOMPARE(env.rows("SELECT Identyfikator, Nazwa, Osob, Od, \"Do\", Notatki FROM Rez_hot "
                          "WHERE Identyfikator = ?",
                          {out.groupId}),
                 QStringList({header}));
        QCOMPARE(env.rows("SELECT Nr_pokoju, Od, \"Do\", Miejsc, Jaki FROM Rez_msc "
                          "WHERE Identyfikator = ? ORDER BY rowid",
                          {out.groupId}),
                 QStringList({"1|" + dayStr(2) + "|" + dayStr(4) + "|2|",
                              "2|" + dayStr(1) + "|" + dayStr(3) + "|1|M"}));
        QStringList captions;
        for (const auto& s : env.prompter().shown)
            captions << s.caption;
        QCOMPARE(captions, messages);
    }

    void changeAccommodation_data()
    {
        QTest::addColumn<QString>("persons");
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("every line's dates changed: all entries lose their room")
            << "3" << QStringList({"1:2:A:2::2:4", "2:2:A:1:K:2:4"})
            << QStringList({entry("", 1, 3), entry("", 1, 3), entry("", 1, 3)});
        QTest::newRow("nothing changed: no entry loses its room")
            << "3" << QStringList({"1:2:A:2::1:3", "2:2:A:1:K:1:3"})
            << QStringList({entry("1", 1, 3), entry("1", 1, 3), entry("2", 1, 3)});
        QTest::newRow("beds of one room changed")
            << "3" << QStringList({"1:2:A:2::1:3", "2:2:A:2:K:1:3"})
            << QStringList({entry("1", 1, 3), entry("1", 1, 3), entry("", 1, 3)});
        QTest::newRow("a room taken out")
            << "3" << QStringList({"2:2:A:1:K:1:3"})
            << QStringList({entry("", 1, 3), entry("", 1, 3), entry("2", 1, 3)});
        QTest::newRow("persons raised: new entries without room")
            << "5" << QStringList({"1:2:A:2::1:3", "2:2:A:1:K:1:3"})
            << QStringList({entry("1", 1, 3), entry("1", 1, 3), entry("2", 1, 3), entry("", 1, 3),
                            entry("", 1, 3)});
        QTest::newRow("persons lowered: none removed")
            << "1" << QStringList({"1:2:A:2::1:3", "2:2:A:1:K:1:3"})
            << QStringList({entry("1", 1, 3), entry("1", 1, 3), entry("2", 1, 3)});
        QTest::newRow("persons as letters: nothing added")
            << "abc" << QStringList({"1:2:A:2::1:3", "2:2:A:1:K:1:3"})
            << QStringList({entry("1", 1, 3), entry("1", 1, 3), entry("2", 1, 3)});
    }
    // An issued invoice stays as it was issued when the stay changes; a
    // calculation without one is made anew.
    void changeKeepsAnIssuedInvoice()
    {
        TestEnv env;
        storedAccommodation(env);
        env.exec("UPDATE Kalk SET Typ = 2, Rach = 4, data_wystawienia = ?", {dayStr(3)});
        const QStringList invoice =
            env.rows("SELECT * FROM Kalk") + env.rows("SELECT * FROM Kalk_det");
        QCOMPARE(
            saveStay(env.db(), StayMode::EditAccommodation, 1, formOf("2", {"1:2:A:2::1:4"})).kind,
            SaveOutcome::Saved);
        QCOMPARE(env.rows("SELECT * FROM Kalk") + env.rows("SELECT * FROM Kalk_det"), invoice);
    }

    void changeAccommodation()
    {
        QFETCH(QString, persons);
        QFETCH(QStringList, chosen);
        QFETCH(QStringList, entries);
        TestEnv env;
        storedAccommodation(env);
        const StayForm loaded = loadStay(env.db(), StayMode::EditAccommodation, 1);
        QCOMPARE(gridRows(loaded.chosen, 7),
                 QStringList({"1|2|A|2||" + dayStr(1) + "|" + dayStr(3),
                              "2|2|A|1|K|" + dayStr(1) + "|" + dayStr(3)}));
        StayForm form = formOf(persons, chosen);
        QCOMPARE(saveStay(env.db(), StayMode::EditAccommodation, 1, form).kind, SaveOutcome::Saved);
        QCOMPARE(::entries(env, 1), entries);
        QCOMPARE(env.scalar("SELECT count(*) FROM Kalk").toInt(), 0);
        QCOMPARE(env.scalar("SELECT count(*) FROM Kalk_det").toInt(), 0);
        QCOMPARE(env.scalar("SELECT count(*) FROM Kwit").toInt(), 1);
        QCOMPARE(env.scalar("SELECT Osob FROM Kwat_hot").toInt(), numberOr(persons, 1));
        QCOMPARE(gridRows(loadStay(env.db(), StayMode::EditAccommodation, 1).chosen, 7),
                 gridRows(chosenFrom(chosen), 7));
        QVERIFY(env.prompter().shown.isEmpty());
    }

    void roomWithTwoLines_data()
    {
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QStringList>("entries");
        // Room 1 for days 1 to 3 (2 beds) and again for days 3 to 5 (1 bed).
        const QStringList stored{"1:2:A:2::1:3", "1:2:A:1::3:5", "2:2:A:1::1:3"};
        const QStringList placed{entry("1", 1, 3), entry("1", 1, 3), entry("1", 3, 5),
                                 entry("2", 1, 3)};
        QTest::newRow("only the name changed: every entry keeps its room") << stored << placed;
        QTest::newRow("the two lines listed the other way round")
            << QStringList({"1:2:A:1::3:5", "1:2:A:2::1:3", "2:2:A:1::1:3"}) << placed;
        QTest::newRow("the second period changed: the room's entries lose it")
            << QStringList({"1:2:A:2::1:3", "1:2:A:1::3:6", "2:2:A:1::1:3"})
            << QStringList({entry("", 1, 3), entry("", 1, 3), entry("", 3, 5), entry("2", 1, 3)});
        QTest::newRow("the second line removed: the room's entries lose it")
            << QStringList({"1:2:A:2::1:3", "2:2:A:1::1:3"})
            << QStringList({entry("", 1, 3), entry("", 1, 3), entry("", 3, 5), entry("2", 1, 3)});
    }
    void roomWithTwoLines()
    {
        QFETCH(QStringList, chosen);
        QFETCH(QStringList, entries);
        TestEnv env;
        addRooms(env, {"1:2:A:", "2:2:A:"});
        const SaveOutcome saved =
            saveStay(env.db(), StayMode::NewAccommodation, 0,
                     formOf("4", {"1:2:A:2::1:3", "1:2:A:1::3:5", "2:2:A:1::1:3"}, 1, 5));
        QCOMPARE(saved.kind, SaveOutcome::Saved);
        const StayForm loaded = loadStay(env.db(), StayMode::EditAccommodation, saved.groupId);
        QCOMPARE(gridRows(loaded.chosen, 1), QStringList({"1", "1", "2"}));
        StayForm form = formOf("4", chosen, 1, 5);
        form.name = QStringLiteral("Kowalscy z Gdańska");
        QCOMPARE(saveStay(env.db(), StayMode::EditAccommodation, saved.groupId, form).kind,
                 SaveOutcome::Saved);
        QCOMPARE(::entries(env, saved.groupId), entries);
        QVERIFY(env.prompter().shown.isEmpty());
    }

    void newGroupNeedsARoom_data()
    {
        QTest::addColumn<StayMode>("mode");
        QTest::addColumn<QString>("message"); // "caption|text", empty when saved
        QTest::newRow("new reservation")
            << StayMode::NewReservation
            << "Nowa rezerwacja|Nie wybrano żadnego pokoju. Rezerwacja nie została zapisana.";
        QTest::newRow("walk-in") << StayMode::NewAccommodation
                                 << "Nowy kwaterunek|Nie wybrano żadnego pokoju. Kwaterunek nie "
                                    "został zapisany.";
        // A change may take every line away: the group then keeps no room.
        QTest::newRow("change of a reservation: saved") << StayMode::EditReservation << "";
        QTest::newRow("change of an accommodation: saved") << StayMode::EditAccommodation << "";
    }
    void newGroupNeedsARoom()
    {
        QFETCH(StayMode, mode);
        QFETCH(QString, message);
        TestEnv env;
        addRooms(env, {"1:2:A:"});
        addLines(env, {"R1 1 2 1 3", "K1 1 2 1 3"});
        const QStringList before = snapshot(env);
        const int group = isChange(mode) ? 1 : 0;
        const SaveOutcome out = saveStay(env.db(), mode, group, formOf("2", {}));
        const QString lines = isReservation(mode) ? "Rez_msc" : "Kwat_msc";
        if (message.isEmpty()) {
            QCOMPARE(out.kind, SaveOutcome::Saved);
            QCOMPARE(env.scalar("SELECT count(*) FROM " + lines).toInt(), 0);
            QCOMPARE(
                env.scalar("SELECT count(*) FROM " + lines.left(lines.size() - 3) + "hot").toInt(),
                1);
            QVERIFY(env.prompter().shown.isEmpty());
            return;
        }
        QCOMPARE(out.kind, SaveOutcome::NoRooms);
        QCOMPARE(env.prompter().log(), QStringList({message}));
        QCOMPARE(env.prompter().shown[0].icon, Prompter::Icon::Warning);
        QCOMPARE(snapshot(env), before);
    }

    void lineOfADeletedRoomIsDropped()
    {
        TestEnv env;
        addRooms(env, {"1:2:A:", "9:2:A:"});
        addLines(env, {"R1 1 2 1 3", "R1 9 1 1 3"});
        env.exec("DELETE FROM Pokoje WHERE Nr_Pokoju = '9'");
        const StayForm form = loadStay(env.db(), StayMode::EditReservation, 1);
        QCOMPARE(gridRows(form.chosen, 1), QStringList({"1"}));
        saveStay(env.db(), StayMode::EditReservation, 1, form);
        QCOMPARE(env.rows("SELECT Nr_pokoju FROM Rez_msc"), QStringList({"1"}));
    }

    void overbookedRooms_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<int>("r");
        QTest::addColumn<QStringList>("full");
        QTest::newRow("beds left")
            << QStringList({"K1 12 1 1 3"}) << QStringList({"12:2:A:1::1:3"}) << 0 << QStringList();
        QTest::newRow("one bed too many on one night")
            << QStringList({"K1 12 1 2 3"}) << QStringList({"12:2:A:2::1:3"}) << 0
            << QStringList({"12"});
        QTest::newRow("touching lines do not meet")
            << QStringList({"K1 12 2 3 5"}) << QStringList({"12:2:A:2::1:3"}) << 0 << QStringList();
        QTest::newRow("the chosen lines add up")
            << QStringList() << QStringList({"14:2:A:1::1:3", "14:2:A:2::2:3"}) << 0
            << QStringList({"14"});
        QTest::newRow("the edited group's own stored lines do not count")
            << QStringList({"R7 12 2 1 3"}) << QStringList({"12:2:A:2::1:3"}) << 7 << QStringList();
        QTest::newRow("rooms as listed, each once")
            << QStringList({"K1 12 2 1 3", "R2 14 1 1 3"})
            << QStringList({"12:2:A:1::1:3", "14:2:A:2::1:3", "12:2:A:1::2:3"}) << 0
            << QStringList({"12", "14"});
    }
    void overbookedRooms()
    {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, chosen);
        QFETCH(int, r);
        QFETCH(QStringList, full);
        TestEnv env;
        addRooms(env, {"12:2:A:", "14:2:A:"});
        addLines(env, stored);
        QCOMPARE(::overbookedRooms(env.db(), r, r ? -2 : 0, chosenFrom(chosen)), full);
    }

    void doubleBookingQuestion_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("no keeps everything as it was") << false;
        QTest::newRow("yes books anyway") << true;
    }
    void doubleBookingQuestion()
    {
        QFETCH(bool, answer);
        TestEnv env;
        addRooms(env, {"12:2:A:", "14:2:A:"});
        addLines(env, {"K1 12 1 1 3", "K2 14 2 2 3"});
        const QStringList before = snapshot(env);
        env.prompter().answers = {answer};
        const SaveOutcome out = saveStay(env.db(), StayMode::NewReservation, 0,
                                         formOf("3", {"12:2:A:2::1:3", "14:2:A:1::1:3"}));
        QCOMPARE(env.prompter().log(),
                 QStringList({"Zajęte miejsca|W pokojach: 12, 14 w wybranym terminie nie ma już "
                              "tylu wolnych miejsc. Czy mimo to zapisać?"}));
        QCOMPARE(env.prompter().shown[0].defaultYes, false);
        QCOMPARE(out.kind, answer ? SaveOutcome::Saved : SaveOutcome::Declined);
        if (answer)
            QCOMPARE(env.scalar("SELECT count(*) FROM Rez_msc").toInt(), 2);
        else
            QCOMPARE(snapshot(env), before);
    }

    void refusedLineIsReportedAndSkipped_data()
    {
        QTest::addColumn<StayMode>("mode");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("caption");
        QTest::newRow("reservation") << StayMode::NewReservation << "Rez_msc"
                                     << "Dopisywanie pozycji rezerwacji";
        QTest::newRow("accommodation") << StayMode::NewAccommodation << "Kwat_msc"
                                       << "Dopisywanie pozycji kwaterunku";
        QTest::newRow("change of a reservation") << StayMode::EditReservation << "Rez_msc"
                                                 << "Dopisywanie pozycji rezerwacji";
        QTest::newRow("change of an accommodation") << StayMode::EditAccommodation << "Kwat_msc"
                                                    << "Dopisywanie pozycji kwaterunku";
    }
    void refusedLineIsReportedAndSkipped()
    {
        QFETCH(StayMode, mode);
        QFETCH(QString, table);
        QFETCH(QString, caption);
        TestEnv env;
        addRooms(env, {"1:3:A:", "2:2:A:"});
        addLines(env, {"R1 1 1 1 3", "K1 1 1 1 3"});
        refuseWrites(env, "INSERT", table, "pokój zablokowany", "NEW.Nr_pokoju = '1'");
        const int group = isChange(mode) ? 1 : 0;
        const SaveOutcome out =
            saveStay(env.db(), mode, group, formOf("0", {"1:2:A:1::1:3", "2:2:A:2::1:3"}));
        QCOMPARE(out.kind, SaveOutcome::Saved);
        QCOMPARE(env.prompter().log(),
                 QStringList({caption + "|Błąd bazy : \r\npokój zablokowany"}));
        QCOMPARE(env.prompter().shown[0].icon, Prompter::Icon::Error);
        QCOMPARE(env.rows(QString("SELECT Nr_pokoju FROM %1 WHERE Identyfikator = ?").arg(table),
                          {out.groupId}),
                 QStringList({"2"}));
    }

    void failureEndingAChangeLeavesTheGroup_data()
    {
        QTest::addColumn<StayMode>("mode");
        QTest::addColumn<QString>("event");
        QTest::addColumn<QString>("table");
        QTest::addColumn<bool>("refusal"); // a refusal, otherwise a fault
        QTest::newRow("person record refused while persons are added")
            << StayMode::EditAccommodation << "INSERT"
            << "Arch_os" << true;
        QTest::newRow("database fails writing lines after the old ones are gone")
            << StayMode::EditAccommodation << "INSERT"
            << "Kwat_msc" << false;
        QTest::newRow("reservation lines fail after the old ones are gone")
            << StayMode::EditReservation << "INSERT"
            << "Rez_msc" << false;
        QTest::newRow("register entries cannot be cleared")
            << StayMode::EditAccommodation << "UPDATE"
            << "Ksiazka" << false;
    }
    void failureEndingAChangeLeavesTheGroup()
    {
        QFETCH(StayMode, mode);
        QFETCH(QString, event);
        QFETCH(QString, table);
        QFETCH(bool, refusal);
        TestEnv env;
        storedAccommodation(env);
        addLines(env, {"R1 3 2 1 3"});
        if (refusal)
            refuseWrites(env, event, table, "pełno");
        else
            breakWrites(env, event, table);
        const QStringList before = snapshot(env);
        env.prompter().answers = {true}; // a reservation over the accommodation's beds
        // new dates (entries lose rooms) and more persons
        bool failed = false;
        try {
            saveStay(env.db(), mode, 1, formOf("5", {"1:2:A:2::2:4", "3:3:B:1::2:4"}));
        } catch (const DbError& e) {
            failed = true;
            QVERIFY(!e.text().isEmpty());
        }
        QVERIFY(failed);
        QCOMPARE(snapshot(env), before);
    }

    void groupRemovedMeanwhileGetsNoLines_data()
    {
        QTest::addColumn<StayMode>("mode");
        QTest::newRow("reservation") << StayMode::EditReservation;
        QTest::newRow("accommodation") << StayMode::EditAccommodation;
    }
    void groupRemovedMeanwhileGetsNoLines()
    {
        QFETCH(StayMode, mode);
        TestEnv env;
        addRooms(env, {"1:2:A:"});
        addLines(env, {"R1 1 2 1 3", "K1 1 2 3 5"});
        const StayForm form = loadStay(env.db(), mode, 1);
        // another window checks the group in or out meanwhile
        env.exec(QString("DELETE FROM %1_msc").arg(isReservation(mode) ? "Rez" : "Kwat"));
        env.exec(QString("DELETE FROM %1_hot").arg(isReservation(mode) ? "Rez" : "Kwat"));
        const QStringList before = snapshot(env);
        try {
            saveStay(env.db(), mode, 1, form);
            QFAIL("saved a group that is gone");
        } catch (const RezydoError& e) {
            QCOMPARE(e.text(),
                     QString("Tej grupy nie ma już w bazie danych. Zmiany nie zostały zapisane."));
        }
        QCOMPARE(snapshot(env), before);
    }

    void refusedHeaderEndsTheSave_data()
    {
        QTest::addColumn<StayMode>("mode");
        QTest::addColumn<QString>("caption");
        QTest::newRow("reservation") << StayMode::NewReservation << "Nowa rezerwacja";
        QTest::newRow("accommodation") << StayMode::NewAccommodation << "Nowy kwaterunek";
    }
    void refusedHeaderEndsTheSave()
    {
        QFETCH(StayMode, mode);
        QFETCH(QString, caption);
        TestEnv env;
        addRooms(env, {"1:2:A:"});
        const QStringList before = snapshot(env);
        StayForm form = formOf("2", {"1:2:A:2::1:3"});
        form.name = QString(41, QLatin1Char('x')); // longer than the column
        QCOMPARE(saveStay(env.db(), mode, 0, form).kind, SaveOutcome::Refused);
        QCOMPARE(env.prompter().shown.size(), 1);
        QCOMPARE(env.prompter().shown[0].caption, caption);
        QVERIFY(env.prompter().shown[0].text.startsWith("Błąd bazy : \r\n"));
        QCOMPARE(snapshot(env), before);
    }

    void entriesWithoutRoomStopAfterThreeRefusals()
    {
        TestEnv env;
        addRooms(env, {"1:2:A:"});
        refuseWrites(env, "INSERT", "Ksiazka", "nie");
        const SaveOutcome out =
            saveStay(env.db(), StayMode::NewAccommodation, 0, formOf("6", {"1:2:A:2::1:3"}));
        QCOMPARE(out.kind, SaveOutcome::Saved);
        // two beds tried, then three entries without room
        QCOMPARE(env.prompter().shown.size(), 5);
        for (const auto& s : env.prompter().shown)
            QCOMPARE(s.caption, QString("Dodawanie wpisów do ksiązki meldunkowej"));
        // A refused entry takes its empty person record with it.
        QCOMPARE(env.scalar("SELECT count(*) FROM Arch_os").toInt(), 0);
        QCOMPARE(env.scalar("SELECT count(*) FROM Kwat_hot").toInt(), 1);
    }
};

REZYDO_TEST(TestStaySave);
#include "test_stay_save.moc"
