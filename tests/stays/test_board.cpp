#include "core/days.h"
#include "stays/board.h"
#include "tests/stays/stays_fixture.h"
#include "tests/support/test_registry.h"

#include <QTest>

namespace {
// The span of the tables: days 1 to 7 of the fixture's August.
constexpr int kDays = 7;

// Rooms 12 (2 beds) and 14 (4 beds), and lines as the fixture writes them
// ("R7 12 2 1 3 M": group, room, beds, from day, to day, gender).
BoardData boardOf(const QStringList& lines)
{
    BoardData data;
    data.first = day(1);
    data.days = kDays;
    data.rooms = {{QStringLiteral("12"), 2, QStringLiteral("A")},
                  {QStringLiteral("14"), 4, QStringLiteral("B")}};
    for (const QString& text : lines) {
        const QStringList f = text.split(QLatin1Char(' '));
        BoardLine line;
        line.group = {f[0].startsWith(QLatin1Char('R')), f[0].mid(1).toInt()};
        line.room = f[1];
        line.beds = f[2].toInt();
        line.from = day(f[3].toInt());
        line.to = day(f[4].toInt());
        line.gender = f.value(5);
        data.lines.append(line);
        BoardGroup group;
        group.key = line.group;
        group.name = QStringLiteral("Grupa %1").arg(f[0]);
        group.persons = line.beds;
        data.groups.insert(group.key, group);
    }
    return data;
}

QString barText(const BoardData& data, const BoardBar& bar)
{
    QString text = QStringLiteral("%1 %2 %3-%4")
                       .arg(data.rooms[bar.row].number)
                       .arg(bar.lane)
                       .arg(bar.start)
                       .arg(bar.end);
    if (bar.clippedStart)
        text += QStringLiteral(" <");
    if (bar.clippedEnd)
        text += QStringLiteral(" >");
    if (bar.singles)
        text += QStringLiteral(" s");
    return text;
}
} // namespace

class TestBoard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Positions are half days from the start of day 1: a bar runs from the
    // middle of its arrival day to the middle of its departure day.
    void bars_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("bars");
        QTest::addColumn<QString>("lanes"); // of rooms 12 and 14

        QTest::newRow("inside the span")
            << QStringList{"R1 12 2 2 4"} << QStringList{"12 0 3-7"} << "1 1";
        QTest::newRow("arrived before the span")
            << QStringList{"K1 12 2 -2 3"} << QStringList{"12 0 0-5 <"} << "1 1";
        QTest::newRow("leaving after the span")
            << QStringList{"R1 12 2 6 12"} << QStringList{"12 0 11-14 >"} << "1 1";
        QTest::newRow("over the whole span")
            << QStringList{"K1 12 2 -1 20"} << QStringList{"12 0 0-14 < >"} << "1 1";
        QTest::newRow("leaving on the first day")
            << QStringList{"R1 12 2 -3 1"} << QStringList{"12 0 0-1 <"} << "1 1";
        QTest::newRow("arriving on the last day")
            << QStringList{"R1 12 2 7 9"} << QStringList{"12 0 13-14 >"} << "1 1";
        QTest::newRow("gone the day before the span")
            << QStringList{"R1 12 2 -3 0"} << QStringList{} << "1 1";
        QTest::newRow("arriving the day after the span")
            << QStringList{"R1 12 2 8 9"} << QStringList{} << "1 1";
        QTest::newRow("touching lines share a lane")
            << QStringList{"R1 12 2 1 3", "K2 12 2 3 5"} << QStringList{"12 0 1-5", "12 0 5-9"}
            << "1 1";
        QTest::newRow("overlapping single beds stand one under the other")
            << QStringList{"R1 14 1 1 4 K", "R2 14 2 2 5 M", "R3 14 1 4 6 K"}
            << QStringList{"14 0 1-7 s", "14 1 3-9 s", "14 0 7-11 s"} << "1 2";
        QTest::newRow("whole room without a gender is no single bed")
            << QStringList{"R1 14 4 1 2", "R2 14 2 3 4"} << QStringList{"14 0 1-3", "14 0 5-7 s"}
            << "1 1";
        QTest::newRow("a room no longer set up")
            << QStringList{"R1 99 2 1 3"} << QStringList{} << "1 1";
        QTest::newRow("a line ending where it starts")
            << QStringList{"R1 12 2 3 3"} << QStringList{} << "1 1";
    }
    void bars()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, bars);
        QFETCH(QString, lanes);
        const BoardData data = boardOf(lines);
        const BoardLayout layout = layoutBoard(data, day(3));
        QStringList got;
        for (const BoardBar& bar : layout.bars)
            got << barText(data, bar);
        QCOMPARE(got, bars);
        QCOMPARE(QStringLiteral("%1 %2").arg(layout.rows[0].lanes).arg(layout.rows[1].lanes),
                 lanes);
        // Rows follow one another; a room with single beds has the beds strip over its lanes.
        const BoardMetrics m;
        QCOMPARE(layout.rows[1].top, layout.rows[0].height);
        QCOMPARE(layout.rows[1].height,
                 layout.rows[1].lanes * m.laneHeight + (layout.rows[1].singles ? m.bedsStrip : 0));
        QCOMPARE(layout.height, layout.rows[0].height + layout.rows[1].height);
        for (const BoardBar& bar : layout.bars)
            QCOMPARE(layout.barAt(bar.row, bar.start, bar.lane), int(&bar - layout.bars.data()));
    }

    void nights_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("singles");
        QTest::addColumn<QString>("nights"); // room 14, nights of days 1 to 7

        QTest::newRow("women and men")
            << QStringList{"R1 14 2 1 4 K", "K2 14 1 2 5 M", "R3 14 4 6 8"} << true
            << "2/4 K|3/4 KM|3/4 KM|1/4 M|0/4|4/4|4/4";
        QTest::newRow("whole room only")
            << QStringList{"R1 14 4 2 4"} << false << "0/4|4/4|4/4|0/4|0/4|0/4|0/4";
        QTest::newRow("lines from before and past the span")
            << QStringList{"K1 14 1 -5 3 M", "R2 14 3 6 30 K"} << true
            << "1/4 M|1/4 M|0/4|0/4|0/4|3/4 K|3/4 K";
        QTest::newRow("two groups of men add up") << QStringList{"R1 14 2 1 3 M", "R2 14 2 2 4 M"}
                                                  << true << "2/4 M|4/4 M|2/4 M|0/4|0/4|0/4|0/4";
    }
    void nights()
    {
        QFETCH(QStringList, lines);
        QFETCH(bool, singles);
        QFETCH(QString, nights);
        const BoardLayout layout = layoutBoard(boardOf(lines), day(1));
        const BoardRow& row = layout.rows[1];
        QCOMPARE(row.singles, singles);
        QStringList texts;
        for (const BoardNight& night : row.nights)
            texts << nightText(night, 4);
        QCOMPARE(texts.join('|'), nights);
    }

    void days()
    {
        BoardData data = boardOf({});
        data.first = QDate(2026, 4, 3); // Friday before Easter
        data.closedDays.insert(QDate(2026, 4, 8));
        const BoardLayout layout = layoutBoard(data, QDate(2026, 4, 7));
        QStringList got;
        for (const BoardDay& d : layout.days)
            got << QStringLiteral("%1%2%3%4%5")
                       .arg(d.date.day())
                       .arg(d.weekend ? "w" : "")
                       .arg(d.holiday.isEmpty() ? "" : "h")
                       .arg(d.today ? "t" : "")
                       .arg(d.closed ? "c" : "");
        QCOMPARE(got, QStringList({"3", "4w", "5wh", "6h", "7t", "8c", "9"}));
        QVERIFY(layout.rows[0].nights[5].blocked);
        QVERIFY(!layout.rows[0].nights[4].blocked);
    }

    void bookingChoice_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("firstDay"); // indexes of the chosen nights, room 14
        QTest::addColumn<int>("lastDay");
        QTest::addColumn<bool>("blocked"); // room 14 out of use on days 3 and 4
        QTest::addColumn<QString>("choice");

        QTest::newRow("free room") << QStringList{} << 0 << 2 << false << "cały 4";
        QTest::newRow("single beds taken by women")
            << QStringList{"R1 14 3 2 4 K"} << 0 << 3 << false << "pojedyncze 1 K";
        QTest::newRow("women and men: no gender proposed")
            << QStringList{"R1 14 1 1 3 K", "R2 14 1 1 3 M"} << 0 << 1 << false << "pojedyncze 2 ";
        QTest::newRow("full on one of the nights")
            << QStringList{"R1 14 4 3 4"} << 0 << 4 << false << "zajęty";
        QTest::newRow("the nights before the full one")
            << QStringList{"R1 14 4 3 4"} << 0 << 1 << false << "cały 4";
        QTest::newRow("arriving on another's departure day")
            << QStringList{"R1 14 4 1 3"} << 2 << 3 << false << "cały 4";
        QTest::newRow("out of use") << QStringList{} << 1 << 3 << true << "zajęty";
        QTest::newRow("before it is out of use") << QStringList{} << 0 << 1 << true << "cały 4";
        QTest::newRow("outside the span") << QStringList{} << 5 << 7 << false << "zajęty";
    }
    void bookingChoice()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, firstDay);
        QFETCH(int, lastDay);
        QFETCH(bool, blocked);
        QFETCH(QString, choice);
        BoardData data = boardOf(lines);
        if (blocked)
            data.blockedRooms[QStringLiteral("14")] = {{day(3), day(5)}};
        const BoardLayout layout = layoutBoard(data, day(1));
        const BookingChoice c = ::bookingChoice(data, layout, 1, firstDay, lastDay);
        const QString got = c.kind == BookingChoice::Taken ? QStringLiteral("zajęty")
                            : c.kind == BookingChoice::WholeRoom
                                ? QStringLiteral("cały %1").arg(c.freeBeds)
                                : QStringLiteral("pojedyncze %1 %2").arg(c.freeBeds).arg(c.gender);
        QCOMPARE(got, choice);
    }

    void readsTheSpanFromTheDatabase()
    {
        TestEnv env;
        addRooms(env, {"12:2:A:", "14:4:B:", "2:1:A:"});
        addLines(env, {"R1 12 2 -3 1", "R2 14 1 7 9 K", "R3 12 2 -5 0", "R4 2 1 8 9",
                       "K5 14 2 2 4 M", "K6 2 1 -2 20"});
        env.exec("UPDATE Kwat_hot SET Nazwa = 'Łódź', Osob = 3 WHERE Identyfikator = 5");
        env.exec("INSERT INTO Kalk (Identyfikator, rozl) VALUES (5, 1), (6, 0)");
        env.exec("INSERT INTO Ksiazka (Identyfikator_g, Identyfikator_o, Pelne_dane) "
                 "VALUES (5, 1, 1), (5, 2, 0), (5, 3, 1), (6, 4, 1)");

        const BoardData data = readBoard(env.db(), day(1), kDays);
        QStringList rooms;
        for (const BoardRoom& r : data.rooms)
            rooms << QStringLiteral("%1:%2:%3").arg(r.number).arg(r.beds).arg(r.type);
        QCOMPARE(rooms, QStringList({"12:2:A", "14:4:B", "2:1:A"}));
        QStringList lines;
        for (const BoardLine& l : data.lines)
            lines << QStringLiteral("%1%2 %3 %4 %5")
                         .arg(l.group.reservation ? "R" : "K")
                         .arg(l.group.id)
                         .arg(l.room, dayText(l.from), l.gender);
        lines.sort();
        // A line gone before the span and one arriving after it are left out;
        // one leaving on its first day is in.
        QCOMPARE(lines, QStringList({"K5 14 2026-08-02 M", "K6 2 2026-07-29 ", "R1 12 2026-07-28 ",
                                     "R2 14 2026-08-07 K"}));
        QCOMPARE(data.groups.size(), 4);
        const BoardGroup lodz = data.groups.value({false, 5});
        QCOMPARE(lodz.name, QString("Łódź"));
        QCOMPARE(lodz.persons, 3);
        QVERIFY(lodz.settled);
        QCOMPARE(lodz.registered, 2);
        QVERIFY(!data.groups.value({false, 6}).settled);
        QVERIFY(data.groups.contains({true, 1}));

        // Closed days and blocked rooms come from their own tables, cut at
        // the span; a block's stored last day is its last night.
        env.exec("INSERT INTO Dni_zamkniete (Od, \"Do\") VALUES (?, ?), (?, ?)",
                 {dayStr(-3), dayStr(2), dayStr(20), dayStr(22)});
        env.exec("INSERT INTO Blokady (Nr_pokoju, Od, \"Do\") VALUES ('14', ?, ?)",
                 {dayStr(5), dayStr(6)});
        const BoardData closed = readBoard(env.db(), day(1), kDays);
        QCOMPARE(closed.closedDays, QSet<QDate>({day(1), day(2)}));
        QCOMPARE(closed.blockedRooms.value("14"),
                 (QList<std::pair<QDate, QDate>>{{day(5), day(7)}}));
        QVERIFY(!closed.blockedRooms.contains("12"));

        // The name search ignores the case of Polish letters; groups still
        // to come go before those gone.
        env.exec("UPDATE Rez_hot SET Nazwa = 'Wycieczka z Łodzi' WHERE Identyfikator = 3");
        env.exec("UPDATE Rez_hot SET Nazwa = 'ŁÓDŹ - szkoła' WHERE Identyfikator = 4");
        QStringList found;
        for (const BoardGroup& g : findGroupsByName(env.db(), "łód", day(1)))
            found << g.name;
        QCOMPARE(found, QStringList({"Łódź", "ŁÓDŹ - szkoła"}));
        QCOMPARE(findGroupsByName(env.db(), "łodz", day(-10)).size(), 1);
        QVERIFY(findGroupsByName(env.db(), "%", day(1)).isEmpty());
    }
};

REZYDO_TEST(TestBoard);
#include "test_board.moc"
