#include "core/error.h"
#include "db/closures.h"
#include "stays/availability.h"
#include "stays/stay_store.h"
#include "tests/stays/stays_fixture.h"
#include "tests/support/test_registry.h"

#include <QTest>

namespace {
void block(TestEnv& env, const QString& room, int from, int to)
{
    saveClosure(env.db(), ClosureKind::Room, {0, room, day(from), day(to), "remont"},
                {"1", "2", "3"});
}
} // namespace

// A room blocked (out of use) on a night of the period is offered by neither
// free list; a booking over it asks first.
class TestBlockedRooms : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void freeListsLeaveBlockedRoomsOut_data()
    {
        QTest::addColumn<int>("blockFrom");
        QTest::addColumn<int>("blockTo");
        QTest::addColumn<QStringList>("freeRooms");
        QTest::addColumn<QStringList>("freePlaces");
        // Room 2 (3 beds) has one bed of another group on days 3 to 5; the
        // period is days 3 to 5 (nights 3 and 4).
        QTest::newRow("no block") << 0 << 0 << QStringList{"1|2|A|", "3|2|A|"}
                                  << QStringList{"2|3|A|2|K"};
        QTest::newRow("block over the period's first night")
            << 1 << 3 << QStringList{"1|2|A|", "3|2|A|"} << QStringList{};
        QTest::newRow("block on the departure day only does not count")
            << 5 << 6 << QStringList{"1|2|A|", "3|2|A|"} << QStringList{"2|3|A|2|K"};
        QTest::newRow("block ending the day before arrival does not count")
            << 1 << 2 << QStringList{"1|2|A|", "3|2|A|"} << QStringList{"2|3|A|2|K"};
    }
    void freeListsLeaveBlockedRoomsOut()
    {
        QFETCH(int, blockFrom);
        QFETCH(int, blockTo);
        QFETCH(QStringList, freeRooms);
        QFETCH(QStringList, freePlaces);
        TestEnv env;
        addRooms(env, {"1:2:A:", "2:3:A:", "3:2:A:"});
        addLines(env, {"K5 2 1 3 5 K"});
        if (blockFrom > 0)
            block(env, "2", blockFrom, blockTo);
        // A free room blocked inside the period goes too.
        block(env, "3", 10, 12);
        const TextGrid none = chosenFrom({});
        Availability a;
        TextGrid grid;
        a.fillFreeRooms(env.db(), {day(3), day(5), 0, 0, &none, {}}, grid);
        QCOMPARE(gridRows(grid, 4), freeRooms);
        a.fillFreePlaces(env.db(), {day(3), day(5), 0, 0, &none, {}}, grid);
        QCOMPARE(gridRows(grid, 5), freePlaces);

        Availability later;
        later.fillFreeRooms(env.db(), {day(9), day(11), 0, 0, &none, {}}, grid);
        QVERIFY(!gridRows(grid, 1).contains("3"));
    }

    void bookingOverABlockedRoomAsks_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("no keeps everything as it was") << false;
        QTest::newRow("yes books anyway") << true;
    }
    void bookingOverABlockedRoomAsks()
    {
        QFETCH(bool, answer);
        TestEnv env;
        addRooms(env, {"1:2:A:", "2:3:A:"});
        block(env, "2", 2, 2);
        env.prompter().answers = {answer};
        StayForm form;
        form.name = "Nowakowie";
        form.persons = "2";
        form.from = day(1);
        form.to = day(3);
        form.chosen = chosenFrom({"1:2:A:1::1:3", "2:3:A:1::1:3"});
        const SaveOutcome out = saveStay(env.db(), StayMode::NewReservation, 0, form);
        QCOMPARE(env.prompter().log(),
                 QStringList{"Zablokowane pokoje|Pokoje: 2 są w wybranym terminie zablokowane "
                             "(wyłączone z użytku). Czy mimo to zapisać?"});
        QCOMPARE(env.prompter().shown[0].defaultYes, false);
        QCOMPARE(out.kind, answer ? SaveOutcome::Saved : SaveOutcome::Declined);
        QCOMPARE(env.scalar("SELECT count(*) FROM Rez_msc").toInt(), answer ? 2 : 0);
        QCOMPARE(env.scalar("SELECT count(*) FROM Rez_hot").toInt(), answer ? 1 : 0);
    }

    void periodsAreCheckedBeforeTheyAreStored_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("room");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("problem");
        QTest::newRow("room unknown") << int(ClosureKind::Room) << "9" << 1 << 2
                                      << "Wybierz pokój, który ma być zablokowany.";
        QTest::newRow("end before start")
            << int(ClosureKind::House) << "" << 3 << 2
            << "Data końcowa nie może być wcześniejsza niż początkowa.";
        QTest::newRow("one day") << int(ClosureKind::Room) << "1" << 2 << 2 << "";
    }
    void periodsAreCheckedBeforeTheyAreStored()
    {
        QFETCH(int, kind);
        QFETCH(QString, room);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, problem);
        TestEnv env;
        const Closure c{0, room, day(from), day(to), "x"};
        QCOMPARE(closureProblem(ClosureKind(kind), c, {"1", "2"}), problem);
        try {
            const qint64 id = saveClosure(env.db(), ClosureKind(kind), c, {"1", "2"});
            QVERIFY(problem.isEmpty());
            QCOMPARE(readClosures(env.db(), ClosureKind(kind)).first().id, id);
        } catch (const RezydoError& e) {
            QCOMPARE(e.text(), problem);
        }
    }
};

REZYDO_TEST(TestBlockedRooms);
#include "test_blocked_rooms.moc"
