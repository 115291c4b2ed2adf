#include "stays/availability.h"
#include "stays/chosen_lines.h"
#include "tests/stays/stays_fixture.h"
#include "tests/support/test_registry.h"

#include <QTest>

namespace {
struct Case {
    QStringList rooms;
    QStringList lines;
    int from;
    int to;
    int r;
    int k;
    QStringList chosen;
    QStringList filters;
};

AvailabilityRequest requestOf(const Case& c, const TextGrid& chosen)
{
    return {day(c.from), day(c.to), c.r, c.k, &chosen, c.filters};
}

void columns()
{
    QTest::addColumn<QStringList>("rooms");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("r");
    QTest::addColumn<int>("k");
    QTest::addColumn<QStringList>("chosen");
    QTest::addColumn<QStringList>("filters");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("roomsLabel");
    QTest::addColumn<QString>("bedsLabel");
}

Case fetchCase()
{
    QFETCH(QStringList, rooms);
    QFETCH(QStringList, lines);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, r);
    QFETCH(int, k);
    QFETCH(QStringList, chosen);
    QFETCH(QStringList, filters);
    return {rooms, lines, from, to, r, k, chosen, filters};
}

const QStringList kTwoRooms{"1:2:A:", "2:2:A:"};
} // namespace

class TestAvailability : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void freeRooms_data()
    {
        columns();
        const QStringList none;
        QTest::newRow("lines ending on arrival or starting on departure do not block")
            << kTwoRooms << QStringList({"K5 1 2 1 3", "R6 2 2 7 9"}) << 3 << 7 << 0 << 0 << none
            << none << QStringList({"1|2|A|", "2|2|A|"}) << "Pokoi : 2"
            << "Miejsc : 4";
        QTest::newRow("one bed of another group blocks the room")
            << kTwoRooms << QStringList({"K5 1 1 2 4"}) << 3 << 7 << 0 << 0 << none << none
            << QStringList({"2|2|A|"}) << "Pokoi : 1"
            << "Miejsc : 2";
        QTest::newRow("the edited reservation's own lines are free")
            << kTwoRooms << QStringList({"R7 1 2 3 5"}) << 3 << 7 << 7 << -2 << none << none
            << QStringList({"1|2|A|", "2|2|A|"}) << "Pokoi : 2"
            << "Miejsc : 4";
        QTest::newRow("an accommodation with the same number still blocks")
            << kTwoRooms << QStringList({"R7 1 2 3 5"}) << 3 << 7 << -2 << 7 << none << none
            << QStringList({"2|2|A|"}) << "Pokoi : 1"
            << "Miejsc : 2";
        QTest::newRow("own lines in the chosen list hide their room")
            << kTwoRooms << QStringList({"R7 1 2 3 5"}) << 3 << 7 << 7 << -2
            << QStringList({"1:2:A:2::3:5"}) << none << QStringList({"2|2|A|"}) << "Pokoi : 1"
            << "Miejsc : 2";
        QTest::newRow("a single bed chosen takes the room from this list")
            << QStringList({"3:3:B:"}) << none << 1 << 5 << 0 << 0 << QStringList({"3:3:B:1:M:1:5"})
            << none << none << "Pokoi : 0"
            << "Miejsc : 0";
        QTest::newRow("a chosen line outside the period does not")
            << QStringList({"3:3:B:"}) << none << 3 << 5 << 0 << 0 << QStringList({"3:3:B:1:M:1:3"})
            << none << QStringList({"3|3|B|"}) << "Pokoi : 1"
            << "Miejsc : 3";
        QTest::newRow("numbers in text order")
            << QStringList({"2:1:A:", "10:1:A:", "1:1:A:"}) << none << 1 << 2 << 0 << 0 << none
            << none << QStringList({"1|1|A|", "10|1|A|", "2|1|A|"}) << "Pokoi : 3"
            << "Miejsc : 3";
        const QStringList types{"1:1:B:", "2:1:Ab:", "3:2:C:"};
        QTest::newRow("type filter in lower case, counts keep filtered rooms")
            << types << none << 1 << 2 << 0 << 0 << none << QStringList({"", "", "b", ""})
            << QStringList({"1|1|B|", "2|1|Ab|"}) << "Pokoi : 3"
            << "Miejsc : 4";
        QTest::newRow("type filter in upper case")
            << types << none << 1 << 2 << 0 << 0 << none << QStringList({"", "", "B", ""})
            << QStringList({"1|1|B|", "2|1|Ab|"}) << "Pokoi : 3"
            << "Miejsc : 4";
        QTest::newRow("description filter with Polish capitals")
            << QStringList({"1:1:A:Łóżko", "2:1:A:tapczan"}) << none << 1 << 2 << 0 << 0 << none
            << QStringList({"", "", "", "łóż"}) << QStringList({"1|1|A|Łóżko"}) << "Pokoi : 2"
            << "Miejsc : 2";
        QTest::newRow("described beds differ")
            << QStringList({"1:2:A:(2+1)", "2:2:A:dwuosobowy"}) << none << 1 << 2 << 0 << 0 << none
            << none << QStringList({"1|2|A|(2+1)", "2|2|A|dwuosobowy"}) << "Pokoi : 2"
            << "Miejsc : 4 (opis: 5)";
        QTest::newRow("described beds equal")
            << QStringList({"1:2:A:(2+1)", "2:2:A:(1)"}) << none << 1 << 2 << 0 << 0 << none << none
            << QStringList({"1|2|A|(2+1)", "2|2|A|(1)"}) << "Pokoi : 2"
            << "Miejsc : 4";
    }
    void freeRooms()
    {
        const Case c = fetchCase();
        QFETCH(QStringList, listed);
        QFETCH(QString, roomsLabel);
        QFETCH(QString, bedsLabel);
        TestEnv env;
        addRooms(env, c.rooms);
        addLines(env, c.lines);
        const TextGrid chosen = chosenFrom(c.chosen);
        TextGrid grid;
        Availability a;
        const AvailabilityLabels labels = a.fillFreeRooms(env.db(), requestOf(c, chosen), grid);
        QCOMPARE(gridRows(grid, 4), listed);
        QCOMPARE(grid.titles(), Availability::freeRoomsGrid().titles());
        QCOMPARE(labels.rooms, roomsLabel);
        QCOMPARE(labels.beds, bedsLabel);
    }

    void freePlaces_data()
    {
        columns();
        const QStringList none;
        const QStringList four{"4:4:A:"};
        QTest::newRow("peak of lines meeting on a day")
            << four << QStringList({"K1 4 2 1 3 M", "K2 4 2 3 5 K"}) << 1 << 5 << 0 << 0 << none
            << none << QStringList({"4|4|A|2|MK"}) << ""
            << "Miejsc : 2";
        QTest::newRow("peak of overlapping lines")
            << four << QStringList({"K1 4 2 1 4", "R2 4 1 2 5 K"}) << 1 << 5 << 0 << 0 << none
            << none << QStringList({"4|4|A|1|K"}) << ""
            << "Miejsc : 1";
        QTest::newRow("full on one day: in no list")
            << QStringList({"2:2:A:"}) << QStringList({"K1 2 1 1 3", "K2 2 1 2 4"}) << 1 << 5 << 0
            << 0 << none << none << none << ""
            << "Miejsc : 0";
        QTest::newRow("the edited group's own lines do not count")
            << four << QStringList({"K5 4 2 1 3"}) << 1 << 5 << -2 << 5 << none << none << none
            << ""
            << "Miejsc : 0";
        QTest::newRow("a single bed chosen in a free room")
            << QStringList({"3:3:B:"}) << none << 1 << 5 << 0 << 0 << QStringList({"3:3:B:1:M:1:5"})
            << none << QStringList({"3|3|B|2|"}) << ""
            << "Miejsc : 2";
        QTest::newRow("a whole room chosen adds nothing")
            << QStringList({"3:3:B:"}) << none << 1 << 5 << 0 << 0 << QStringList({"3:3:B:3::1:5"})
            << none << none << ""
            << "Miejsc : 0";
        QTest::newRow("chosen beds come off a listed room, the total stays")
            << four << QStringList({"K1 4 1 1 5"}) << 1 << 5 << 0 << 0
            << QStringList({"4:4:A:2:K:2:4"}) << none << QStringList({"4|4|A|1|"}) << ""
            << "Miejsc : 3";
        QTest::newRow("chosen beds take the rest")
            << four << QStringList({"K1 4 1 1 5"}) << 1 << 5 << 0 << 0
            << QStringList({"4:4:A:3::1:5"}) << none << none << ""
            << "Miejsc : 3";
        QTest::newRow("a chosen line outside the period takes nothing")
            << four << QStringList({"K1 4 2 3 5"}) << 3 << 5 << 0 << 0
            << QStringList({"4:4:A:1:M:1:3"}) << none << QStringList({"4|4|A|2|"}) << ""
            << "Miejsc : 2";
        QTest::newRow("a room full from other groups stays out")
            << four << QStringList({"K1 4 4 1 5"}) << 1 << 5 << 0 << 0
            << QStringList({"4:4:A:1:M:1:5"}) << none << none << ""
            << "Miejsc : 0";
        QTest::newRow("rooms in text order, letter case ignored")
            << QStringList({"2:2:A:", "10:2:A:", "b1:2:A:", "A2:2:A:"})
            << QStringList({"K1 2 1 1 2 M", "K1 10 1 1 2", "K1 b1 1 1 2", "K1 A2 1 1 2"}) << 1 << 2
            << 0 << 0 << none << none
            << QStringList({"10|2|A|1|", "2|2|A|1|M", "A2|2|A|1|", "b1|2|A|1|"}) << ""
            << "Miejsc : 4";
        QTest::newRow("filter on free beds; total keeps filtered rooms")
            << QStringList({"1:3:A:", "2:3:A:"}) << QStringList({"K1 1 1 1 2", "K1 2 2 1 2"}) << 1
            << 2 << 0 << 0 << none << QStringList({"", "", "", "2"}) << QStringList({"1|3|A|2|"})
            << ""
            << "Miejsc : 3";
    }
    void freePlaces()
    {
        const Case c = fetchCase();
        QFETCH(QStringList, listed);
        QFETCH(QString, roomsLabel);
        QFETCH(QString, bedsLabel);
        TestEnv env;
        addRooms(env, c.rooms);
        addLines(env, c.lines);
        const TextGrid chosen = chosenFrom(c.chosen);
        TextGrid grid;
        Availability a;
        const AvailabilityLabels labels = a.fillFreePlaces(env.db(), requestOf(c, chosen), grid);
        QCOMPARE(gridRows(grid, 5), listed);
        QCOMPARE(labels.rooms, roomsLabel);
        QCOMPARE(labels.beds, bedsLabel);
    }

    void resultsStayUntilReread()
    {
        TestEnv env;
        addRooms(env, {"1:2:A:"});
        const TextGrid chosen = chosenGrid();
        const AvailabilityRequest r{day(1), day(3), 0, 0, &chosen, {}};
        Availability a;
        TextGrid rooms;
        TextGrid places;
        a.fillFreeRooms(env.db(), r, rooms);
        a.fillFreePlaces(env.db(), r, places);
        addLines(env, {"K1 1 1 1 3"}); // another copy books a bed meanwhile
        a.fillFreeRooms(env.db(), r, rooms);
        a.fillFreePlaces(env.db(), r, places);
        QCOMPARE(gridRows(rooms, 1), QStringList({"1"}));
        QCOMPARE(gridRows(places, 1), QStringList());
        a.reread();
        a.fillFreeRooms(env.db(), r, rooms);
        a.fillFreePlaces(env.db(), r, places);
        QCOMPARE(gridRows(rooms, 1), QStringList());
        QCOMPARE(gridRows(places, 4), QStringList({"1|2|A|1"}));
    }
};

REZYDO_TEST(TestAvailability);
#include "test_availability.moc"
