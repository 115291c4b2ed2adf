#include "core/frame.h"
#include "db/sql.h"
#include "stays/check_in_out.h"
#include "stays/stay_list_commands.h"
#include "stays/stay_list_queries.h"
#include "tests/support/failing_writes.h"
#include "tests/support/polish_names.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QSqlQuery>
#include <QTest>

namespace {
struct RecordingFrame : Frame {
    QStringList calls;
    void registerGroup(int g) override { calls << QStringLiteral("register %1").arg(g); }
    void openBilling(int g) override { calls << QStringLiteral("billing %1").arg(g); }
};

// A reservation of `persons` with the given lines ("room:beds").
int addReservation(TestEnv& env, int persons, const QStringList& lines,
                   const QString& od = "2026-07-15", const QString& doDay = "2026-07-18")
{
    env.exec("insert into Rez_hot(Nazwa,Osob,Od,\"Do\",Notatki) values (?,?,?,?,?)",
             {"Kowalscy", persons, od, doDay, "późny przyjazd"});
    const int id = env.scalar("select max(Identyfikator) from Rez_hot").toInt();
    for (const QString& l : lines)
        env.exec("insert into Rez_msc(Identyfikator,Nr_pokoju,Od,\"Do\",Miejsc,Jaki) "
                 "values (?,?,?,?,?,'M')",
                 {id, l.section(':', 0, 0), od, doDay, l.section(':', 1, 1).toInt()});
    return id;
}

int addAccommodation(TestEnv& env, const QString& name = "Nowakowie")
{
    env.exec("insert into Kwat_hot(Nazwa,Osob,Od,\"Do\") values (?,2,'2026-07-10','2026-07-15')",
             {name});
    const int id = env.scalar("select max(Identyfikator) from Kwat_hot").toInt();
    env.exec("insert into Kwat_msc(Identyfikator,Nr_pokoju,Od,\"Do\",Miejsc,Jaki) "
             "values (?,'5','2026-07-10','2026-07-15',2,'K')",
             {id});
    return id;
}

const QString kEarlyCaption = QStringLiteral("Wykwaterowanie przed planowanym wyjazdem");

void addEntry(TestEnv& env, int group, bool complete)
{
    env.exec("insert into Arch_os(Nazwisko,ID_Panstwo) values (?,1)", {complete ? "Nowak" : ""});
    const int person = env.scalar("select max(Identyfikator_o) from Arch_os").toInt();
    env.exec("insert into Ksiazka(Identyfikator_g,Identyfikator_o,Od,\"Do\",Nr_pokoju,Pelne_dane) "
             "values (?,?,'2026-07-10','2026-07-15','5',?)",
             {group, person, complete ? 1 : 0});
}
} // namespace

class TestStayListLogic : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void checkInPlacesPersonsBedByBed_data()
    {
        QTest::addColumn<int>("persons");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("entries"); // room|Od|Do per entry, in order
        QTest::newRow("4 persons in 2+1 beds")
            << 4 << QStringList{"12:2", "14:1"} << QStringList{"12", "12", "14", ""};
        QTest::newRow("2 persons in a 3-bed line")
            << 2 << QStringList{"7:3"} << QStringList{"7", "7"};
        QTest::newRow("no lines") << 2 << QStringList{} << QStringList{"", ""};
        QTest::newRow("no persons") << 0 << QStringList{"7:3"} << QStringList{};
    }
    void checkInPlacesPersonsBedByBed()
    {
        QFETCH(int, persons);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, entries);
        TestEnv env;
        const int r = addReservation(env, persons, lines);
        const std::optional<int> k = checkInReservation(env.db(), r);
        QVERIFY(k.has_value());
        QCOMPARE(env.rows("select Nazwa,Osob,Od,\"Do\",Notatki from Kwat_hot where "
                          "Identyfikator=?",
                          {*k}),
                 QStringList(
                     {QString("Kowalscy|%1|2026-07-15|2026-07-18|późny przyjazd").arg(persons)}));
        QCOMPARE(env.scalar("select count(*) from Kwat_msc where Identyfikator=?", {*k}).toInt(),
                 lines.size());
        QCOMPARE(
            env.rows("select Nr_pokoju from Ksiazka where Identyfikator_g=? order by rowid", {*k}),
            entries);
        // Every entry carries the dates and an empty person record of its own.
        QCOMPARE(env.scalar("select count(*) from Ksiazka k join Arch_os a using(Identyfikator_o) "
                            "where k.Od='2026-07-15' and k.\"Do\"='2026-07-18' and "
                            "k.Pelne_dane=0 and a.ID_Panstwo=1 and a.Nazwisko=''")
                     .toInt(),
                 entries.size());
        QCOMPARE(env.scalar("select count(*) from Arch_os").toInt(), entries.size());
        QCOMPARE(env.scalar("select count(*) from Rez_hot").toInt(), 0);
        QCOMPARE(env.scalar("select count(*) from Rez_msc").toInt(), 0);
        QVERIFY(env.prompter().shown.isEmpty());
    }

    void checkInFailureLeavesReservation_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("caption");
        QTest::newRow("header") << "Kwat_hot"
                                << "Kwaterowanie na podstawie rezerwacji";
        QTest::newRow("lines") << "Kwat_msc"
                               << "Przepisanie pokoi do kwaterunku";
    }
    void checkInFailureLeavesReservation()
    {
        QFETCH(QString, table);
        QFETCH(QString, caption);
        TestEnv env;
        const int r = addReservation(env, 3, {"12:2"});
        refuseWrites(env, "INSERT", table, "odmowa zapisu");
        QVERIFY(!checkInReservation(env.db(), r).has_value());
        QCOMPARE(env.prompter().log(), QStringList({caption + "|Błąd bazy : \r\nodmowa zapisu"}));
        QCOMPARE(env.rows("select Identyfikator, Osob from Rez_hot"),
                 QStringList({QString("%1|3").arg(r)}));
        QCOMPARE(env.scalar("select count(*) from Rez_msc").toInt(), 1);
        QCOMPARE(env.scalar("select count(*) from Kwat_hot").toInt(), 0);
        QCOMPARE(env.scalar("select count(*) from Kwat_msc").toInt(), 0);
        QCOMPARE(env.scalar("select count(*) from Arch_os").toInt(), 0);
    }

    void checkInDeletingReservationFailsRollsBack()
    {
        TestEnv env;
        const int r = addReservation(env, 1, {"12:1"});
        refuseWrites(env, "DELETE", "Rez_hot", "zablokowane");
        QVERIFY(!checkInReservation(env.db(), r).has_value());
        QCOMPARE(env.prompter().log(),
                 QStringList({"Usuwanie pokoi z rezerwacji|Błąd bazy : \r\nzablokowane"}));
        // Never both a reservation and its accommodation.
        QCOMPARE(env.scalar("select count(*) from Kwat_hot").toInt(), 0);
        QCOMPARE(env.scalar("select count(*) from Rez_msc").toInt(), 1);
    }

    void refusedEntriesAreSkippedAndStopAfterThree()
    {
        TestEnv env;
        const int r = addReservation(env, 6, {"12:2"});
        refuseWrites(env, "INSERT", "Ksiazka", "brak pokoju", "new.Nr_pokoju=''");
        const std::optional<int> k = checkInReservation(env.db(), r);
        QVERIFY(k.has_value());
        QCOMPARE(env.prompter().shown.size(), 3);
        for (const auto& box : env.prompter().shown) {
            QCOMPARE(box.caption, QString("Dodawanie wpisów do ksiązki meldunkowej"));
            QCOMPARE(box.text, QString("Błąd bazy : \r\nbrak pokoju"));
        }
        QCOMPARE(env.rows("select Nr_pokoju from Ksiazka"), QStringList({"12", "12"}));
        // No person record is left without its entry.
        QCOMPARE(env.scalar("select count(*) from Arch_os").toInt(), 2);
    }

    void settledTest_data()
    {
        QTest::addColumn<bool>("withKalk");
        QTest::addColumn<QVariant>("brutto");
        QTest::addColumn<QVariant>("prepaid");
        QTest::addColumn<QList<qlonglong>>("payments");
        QTest::addColumn<bool>("settled");
        using L = QList<qlonglong>;
        QTest::newRow("500 due, 100 prepaid, 400 paid")
            << true << QVariant(5000000) << QVariant(1000000) << L{2500000, 1500000} << true;
        QTest::newRow("one ten-thousandth short")
            << true << QVariant(5000000) << QVariant(1000000) << L{3999999} << false;
        QTest::newRow("overpaid") << true << QVariant(5000000) << QVariant() << L{5000100} << false;
        QTest::newRow("all prepaid, no payments")
            << true << QVariant(1500000) << QVariant(1500000) << L{} << true;
        QTest::newRow("nothing due, nothing paid")
            << true << QVariant() << QVariant() << L{} << true;
        QTest::newRow("no calculation") << false << QVariant() << QVariant() << L{} << false;
    }
    void settledTest()
    {
        QFETCH(bool, withKalk);
        QFETCH(QVariant, brutto);
        QFETCH(QVariant, prepaid);
        QFETCH(QList<qlonglong>, payments);
        QFETCH(bool, settled);
        TestEnv env;
        const int g = addAccommodation(env);
        if (withKalk)
            env.exec("insert into Kalk(Identyfikator,Brutto,Przedplata) values (?,?,?)",
                     {g, brutto, prepaid});
        for (qlonglong p : payments)
            env.exec("insert into Kwit(Identyfikator,Wplata,Typ) values (?,?,1)", {g, p});
        QCOMPARE(isGroupSettled(env.db(), g), settled);
    }

    void checkOutQuestions_data()
    {
        QTest::addColumn<bool>("settled");
        QTest::addColumn<bool>("incomplete");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<bool>("checkedOut");
        using A = QList<bool>;
        const QString q1 = "Wykwaterowanie : Krok 1/3", q2 = "Wykwaterowanie : Krok 2/3",
                      q3 = "Wykwaterowanie : Krok 3/3";
        QTest::newRow("settled, complete") << true << false << A{true} << QStringList{q1} << true;
        QTest::newRow("settled, incomplete")
            << true << true << A{true, true} << QStringList{q1, q3} << true;
        QTest::newRow("not settled, answered yes")
            << false << false << A{true, true} << QStringList{q1, q2} << true;
        QTest::newRow("all three")
            << false << true << A{true, true, true} << QStringList{q1, q2, q3} << true;
        QTest::newRow("no at first") << false << true << A{false} << QStringList{q1} << false;
        QTest::newRow("no at second")
            << false << true << A{true, false} << QStringList{q1, q2} << false;
        QTest::newRow("no at third")
            << true << true << A{true, false} << QStringList{q1, q3} << false;
    }
    void checkOutQuestions()
    {
        QFETCH(bool, settled);
        QFETCH(bool, incomplete);
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, captions);
        QFETCH(bool, checkedOut);
        TestEnv env;
        const int g = addAccommodation(env, "Nowakowie");
        addEntry(env, g, true);
        if (incomplete)
            addEntry(env, g, false);
        if (settled)
            env.exec("insert into Kalk(Identyfikator,Brutto,Przedplata) values (?,0,0)", {g});
        env.exec("insert into Kwit(Identyfikator,Wplata,Typ) values (?,0,1)", {g});
        env.prompter().answers.assign(answers.begin(), answers.end());

        QCOMPARE(checkOutWithQuestions(env.db(), g, "Nowakowie"), checkedOut);
        QStringList shown;
        for (const auto& s : env.prompter().shown) {
            QCOMPARE(s.kind, ScriptedPrompter::Shown::Question);
            QVERIFY(!s.defaultYes);
            shown << s.caption;
        }
        QCOMPARE(shown, captions);
        QCOMPARE(env.prompter().shown.first().text,
                 QString("Czy napewno chcesz wykwaterować grupę \"Nowakowie\" ?"));
        const int entries = incomplete ? 2 : 1;
        QCOMPARE(env.scalar("select count(*) from Ksiazka where Wykwaterowany=1").toInt(),
                 checkedOut ? entries : 0);
        QCOMPARE(env.scalar("select count(*) from Ksiazka").toInt(), entries);
        QCOMPARE(env.scalar("select count(*) from Kwat_hot").toInt(), checkedOut ? 0 : 1);
        QCOMPARE(env.scalar("select count(*) from Kwat_msc").toInt(), checkedOut ? 0 : 1);
        // Only the complete person stays in the archive; calculation and payments stay.
        QCOMPARE(env.scalar("select count(*) from Arch_os").toInt(), checkedOut ? 1 : entries);
        QCOMPARE(env.scalar("select count(*) from Kwit").toInt(), 1);
        QCOMPARE(env.scalar("select count(*) from Kalk").toInt(), settled ? 1 : 0);
    }

    // Today is 2026-07-15. Before the planned departure the receptionist is
    // asked, after the other questions, whether the guests leave today; on Yes
    // the entries that end later end today (one that begins later ends on its
    // arrival day), on No they keep the planned day. The calculation stays.
    void checkOutBeforePlannedDeparture_data()
    {
        QTest::addColumn<QString>("planned");
        QTest::addColumn<QStringList>("entries"); // "Od|Do" before check-out
        QTest::addColumn<bool>("settled");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("captions"); // of the questions asked
        QTest::addColumn<QStringList>("ended");    // "Od|Do" after check-out
        using A = QList<bool>;
        const QString q1 = "Wykwaterowanie : Krok 1/3", q2 = "Wykwaterowanie : Krok 2/3",
                      early = kEarlyCaption;
        const QStringList family = {"2026-07-14|2026-07-17", "2026-07-14|2026-07-15",
                                    "2026-07-16|2026-07-17", "2026-07-15|2026-07-16", "NULL|NULL"};
        const QStringList leftToday = {"2026-07-14|2026-07-15", "2026-07-14|2026-07-15",
                                       "2026-07-16|2026-07-16", "2026-07-15|2026-07-15",
                                       "NULL|NULL"};
        QTest::newRow("leaving early, yes") << "2026-07-17" << family << true << A{true, true}
                                            << QStringList{q1, early} << leftToday;
        QTest::newRow("leaving early, no")
            << "2026-07-17" << family << true << A{true, false} << QStringList{q1, early} << family;
        QTest::newRow("leaving early, not settled: asked after the others")
            << "2026-07-17" << family << false << A{true, true, true} << QStringList{q1, q2, early}
            << leftToday;
        QTest::newRow("on the planned day")
            << "2026-07-15" << QStringList{"2026-07-12|2026-07-15"} << true << A{true}
            << QStringList{q1} << QStringList{"2026-07-12|2026-07-15"};
        QTest::newRow("after the planned day")
            << "2026-07-13" << QStringList{"2026-07-10|2026-07-13"} << true << A{true}
            << QStringList{q1} << QStringList{"2026-07-10|2026-07-13"};
    }
    void checkOutBeforePlannedDeparture()
    {
        QFETCH(QString, planned);
        QFETCH(QStringList, entries);
        QFETCH(bool, settled);
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, captions);
        QFETCH(QStringList, ended);
        TestEnv env;
        env.exec("insert into Kwat_hot(Nazwa,Osob,Od,\"Do\") values ('Nowakowie',2,'2026-07-10',?)",
                 {planned});
        const int g = env.scalar("select max(Identyfikator) from Kwat_hot").toInt();
        auto day = [](const QString& text) { return text == "NULL" ? QVariant() : QVariant(text); };
        for (const QString& e : entries) {
            env.exec("insert into Arch_os(Nazwisko,ID_Panstwo) values ('Nowak',1)");
            env.exec("insert into Ksiazka(Identyfikator_g,Identyfikator_o,Od,\"Do\",Nr_pokoju,"
                     "Pelne_dane) values (?,(select max(Identyfikator_o) from Arch_os),?,?,'5',1)",
                     {g, day(e.section('|', 0, 0)), day(e.section('|', 1, 1))});
        }
        env.exec("insert into Kalk(Identyfikator,Od,\"Do\",Dni,Brutto,Przedplata) "
                 "values (?,'2026-07-10',?,3,?,0)",
                 {g, planned, settled ? 0 : 3000000});
        env.exec("insert into Kalk_det(Identyfikator,Nr_pokoju,Od,\"Do\",Dni) "
                 "values (?,'5','2026-07-10',?,3)",
                 {g, planned});
        const QString kCalculation =
            "select * from Kalk k join Kalk_det d on d.Identyfikator = k.Identyfikator";
        const QStringList calculation = env.rows(kCalculation);
        env.prompter().answers.assign(answers.begin(), answers.end());

        QVERIFY(checkOutWithQuestions(env.db(), g, "Nowakowie"));
        QCOMPARE(env.prompter().unanswered, 0);
        QStringList shown;
        for (const auto& q : env.prompter().shown) {
            QCOMPARE(q.kind, ScriptedPrompter::Shown::Question);
            QVERIFY(!q.defaultYes);
            shown << q.caption;
        }
        QCOMPARE(shown, captions);
        if (captions.contains(kEarlyCaption))
            QCOMPARE(env.prompter().shown.last().text,
                     "Planowany wyjazd grupy to " + planned +
                         ". Czy goście wyjeżdżają dzisiaj (2026-07-15)?");
        QCOMPARE(env.rows("select Od, \"Do\" from Ksiazka order by rowid"), ended);
        QCOMPARE(env.scalar("select count(*) from Ksiazka where Wykwaterowany=0").toInt(), 0);
        QCOMPARE(env.scalar("select count(*) from Kwat_hot").toInt(), 0);
        QCOMPARE(env.rows(kCalculation), calculation);
    }

    void checkOutFailureWritesNothing()
    {
        TestEnv env;
        const int g = addAccommodation(env);
        addEntry(env, g, true);
        refuseWrites(env, "DELETE", "Kwat_hot", "plik zablokowany");
        QVERIFY(!checkOutGroup(env.db(), g));
        QCOMPARE(env.prompter().log(), QStringList({"Usuwanie|Błąd bazy : \r\nplik zablokowany"}));
        QCOMPARE(env.scalar("select count(*) from Ksiazka where Wykwaterowany=1").toInt(), 0);
        QCOMPARE(env.scalar("select count(*) from Kwat_msc").toInt(), 1);
    }

    void failedPersonDeletionGoesOn()
    {
        TestEnv env;
        const int g = addAccommodation(env);
        addEntry(env, g, false);
        refuseWrites(env, "DELETE", "Arch_os", "archiwum");
        QVERIFY(checkOutGroup(env.db(), g));
        QCOMPARE(env.prompter().log(),
                 QStringList({"Usuwanie osób z archiwum|Błąd bazy : \r\narchiwum"}));
        QCOMPARE(env.scalar("select count(*) from Kwat_hot").toInt(), 0);
        QCOMPARE(env.scalar("select count(*) from Arch_os").toInt(), 1);
    }

    void checkInOffers_data()
    {
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("both") << QList<bool>{true, true} << QStringList{"register", "billing"};
        QTest::newRow("neither") << QList<bool>{false, false} << QStringList{};
        QTest::newRow("billing only") << QList<bool>{false, true} << QStringList{"billing"};
    }
    void checkInOffers()
    {
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, calls);
        TestEnv env;
        RecordingFrame f;
        setFrame(&f);
        const int r = addReservation(env, 1, {"3:1"});
        env.prompter().answers.assign(answers.begin(), answers.end());
        const std::optional<int> k = checkInWithOffers(env.db(), r);
        setFrame(nullptr);
        QVERIFY(k.has_value());
        QStringList expected;
        for (const QString& c : calls)
            expected << QString("%1 %2").arg(c).arg(*k);
        QCOMPARE(f.calls, expected);
        QCOMPARE(env.prompter().log(),
                 QStringList({"Kwaterowanie|Czy chcesz teraz wpisać osoby z tej grupy do książki "
                              "meldunkowej ?",
                              "Kwaterowanie|Rozliczyć grupę ?"}));
        QVERIFY(env.prompter().shown[0].defaultYes && env.prompter().shown[1].defaultYes);
    }

    void checkInAndRegisterAsksForAnotherDay_data()
    {
        QTest::addColumn<QString>("arrival");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<bool>("done");
        QTest::newRow("today, no question") << "2026-07-15" << QList<bool>{} << true;
        QTest::newRow("another day, yes") << "2026-07-16" << QList<bool>{true} << true;
        QTest::newRow("another day, no") << "2026-07-16" << QList<bool>{false} << false;
    }
    void checkInAndRegisterAsksForAnotherDay()
    {
        QFETCH(QString, arrival);
        QFETCH(QList<bool>, answers);
        QFETCH(bool, done);
        TestEnv env;
        RecordingFrame f;
        setFrame(&f);
        const int r = addReservation(env, 1, {"3:1"}, arrival, "2026-07-20");
        env.prompter().answers.assign(answers.begin(), answers.end());
        const std::optional<int> k =
            checkInAndRegister(env.db(), r, "Kowalscy", QDate::fromString(arrival, Qt::ISODate));
        setFrame(nullptr);
        QCOMPARE(k.has_value(), done);
        QCOMPARE(f.calls, done ? QStringList{QString("register %1").arg(*k)} : QStringList{});
        if (!answers.isEmpty()) {
            QCOMPARE(env.prompter().log(),
                     QStringList({"Kwaterowanie|Data przyjazdu jest różna od dzisiejszej. Czy "
                                  "napewno chcesz zakwaterować i zameldować osoby z grupy "
                                  "\"Kowalscy\" ?"}));
            QVERIFY(!env.prompter().shown.first().defaultYes);
        } else {
            QVERIFY(env.prompter().shown.isEmpty());
        }
        QCOMPARE(env.scalar("select count(*) from Rez_hot").toInt(), done ? 0 : 1);
    }

    void deleteReservationAtOnce()
    {
        TestEnv env;
        const int keep = addReservation(env, 1, {"3:1"});
        const int r = addReservation(env, 2, {"4:2", "5:1"});
        QVERIFY(deleteReservation(env.db(), r));
        QCOMPARE(env.rows("select Identyfikator from Rez_hot"),
                 QStringList({QString::number(keep)}));
        QCOMPARE(env.rows("select Nr_pokoju from Rez_msc"), QStringList({"3"}));
        QVERIFY(env.prompter().shown.isEmpty());
    }

    // Group names in Polish alphabetical order in all three modes; the room
    // lines of a group by their numbers as text.
    void sortedInPolishOrder_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QStringList>("names");
        const int reservations = static_cast<int>(ListMode::Reservations);
        const int accommodations = static_cast<int>(ListMode::Accommodations);
        const int payments = static_cast<int>(ListMode::Payments);
        QTest::newRow("reservations by name") << reservations << "Nazwa" << kNamesInPolishOrder;
        QTest::newRow("accommodations by name desc")
            << accommodations << "Nazwa desc" << reversed(kNamesInPolishOrder);
        QTest::newRow("payments by name") << payments << "Nazwa" << kNamesInPolishOrder;
    }
    void sortedInPolishOrder()
    {
        QFETCH(int, mode);
        QFETCH(QString, order);
        QFETCH(QStringList, names);
        const ListMode m = static_cast<ListMode>(mode);
        TestEnv env;
        const QString table = m == ListMode::Reservations ? "Rez_hot" : "Kwat_hot";
        const QString lines = m == ListMode::Reservations ? "Rez_msc" : "Kwat_msc";
        for (const QString& name : namesAsWritten())
            env.exec("insert into " + table + "(Nazwa,Osob) values (?,1)", {name});
        for (const QString& room : kRoomsAsWritten)
            env.exec("insert into " + lines + "(Identyfikator,Nr_pokoju,Miejsc) values (1,?,1)",
                     {room});
        QSqlQuery q = runSql(env.db(), groupStatement(env.db(), m, false, order));
        QStringList found;
        while (q.next())
            found << q.value("Nazwa").toString();
        QCOMPARE(found, names);
        QSqlQuery r = runSql(env.db(), roomLineStatement(m, "Nr_pokoju"), {{":Identyfikator", 1}});
        QStringList rooms;
        while (r.next())
            rooms << r.value("Nr_pokoju").toString();
        QCOMPARE(rooms, kRoomsInTextOrder);
    }

    void roomFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("groups");
        QTest::newRow("digit 1") << "1" << QStringList{"A", "C"};
        QTest::newRow("no match") << "9" << QStringList{};
        QTest::newRow("quote is searched for") << "'" << QStringList{"D"};
        QTest::newRow("percent is searched for") << "%" << QStringList{};
        QTest::newRow("underscore is searched for") << "_" << QStringList{};
        QTest::newRow("letters match in either case") << "b" << QStringList{"E"};
    }
    void roomFilter()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, groups);
        TestEnv env;
        const QStringList rooms{"10", "2", "21", "3'", "4B"};
        const QStringList names{"A", "B", "C", "D", "E"};
        for (int i = 0; i < rooms.size(); ++i) {
            env.exec("insert into Rez_hot(Nazwa,Osob) values (?,1)", {names[i]});
            env.exec("insert into Rez_msc(Identyfikator,Nr_pokoju,Miejsc) values (?,?,1)",
                     {i + 1, rooms[i]});
        }
        QSqlQuery q(env.db());
        QVERIFY(q.prepare(groupStatement(env.db(), ListMode::Reservations, true, "Nazwa")));
        q.bindValue(":Nr", likeContains(typed));
        QVERIFY(q.exec());
        QStringList found;
        while (q.next())
            found << q.value("Nazwa").toString();
        QCOMPARE(found, groups);
    }
};

REZYDO_TEST(TestStayListLogic);
#include "test_stay_list_logic.moc"
