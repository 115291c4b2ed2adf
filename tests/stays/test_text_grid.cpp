#include "stays/availability.h"
#include "stays/chosen_lines.h"
#include "stays/text_grid.h"
#include "tests/stays/stays_fixture.h"
#include "tests/support/test_registry.h"

#include <QTest>

namespace {
TextGrid gridOf(const QStringList& keys)
{
    TextGrid grid({QString(), QStringLiteral("Nr"), QStringLiteral("X")});
    for (const QString& key : keys) {
        if (!grid.isBlank(0))
            grid.appendRow();
        grid.setCell(grid.rowCount() - 1, 1, key);
        grid.setCell(grid.rowCount() - 1, 2, QStringLiteral("x") + key);
    }
    return grid;
}

QStringList keysAndCells(const TextGrid& grid)
{
    QStringList out;
    for (int r = 0; r < grid.rowCount(); ++r)
        out << grid.cell(r, 1) + QLatin1Char('/') + grid.cell(r, 2);
    return out;
}
} // namespace

class TestTextGrid : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sortedInsert_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("empty grid uses its blank row")
            << QStringList() << "12" << 0 << QStringList({"12/"});
        QTest::newRow("numbers sort as text")
            << QStringList({"1", "2"}) << "10" << 1 << QStringList({"1/x1", "10/", "2/x2"});
        QTest::newRow("after the last")
            << QStringList({"10", "2"}) << "3" << 2 << QStringList({"10/x10", "2/x2", "3/"});
        QTest::newRow("found without regard to case")
            << QStringList({"a1", "B2"}) << "b2" << 1 << QStringList({"a1/xa1", "B2/xB2"});
        QTest::newRow("placed byte by byte: capitals first")
            << QStringList({"B", "a"}) << "C" << 1 << QStringList({"B/xB", "C/", "a/xa"});
        QTest::newRow("Polish letters after ASCII")
            << QStringList({"ł1"}) << "z" << 0 << QStringList({"z/", "ł1/xł1"});
    }
    void sortedInsert()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, key);
        QFETCH(int, row);
        QFETCH(QStringList, after);
        TextGrid grid = gridOf(existing);
        QCOMPARE(::sortedInsert(grid, key), row);
        QCOMPARE(keysAndCells(grid), after);
    }

    void removal_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("middle row")
            << QStringList({"1", "2", "3"}) << QList<int>{1} << QStringList({"1/x1", "3/x3"});
        QTest::newRow("only row is blanked")
            << QStringList({"1"}) << QList<int>{0} << QStringList({"/"});
        QTest::newRow("selection from the bottom up")
            << QStringList({"1", "2", "3", "4"}) << QList<int>{1, 3}
            << QStringList({"1/x1", "3/x3"});
        QTest::newRow("all rows leave one blank")
            << QStringList({"1", "2"}) << QList<int>{0, 1} << QStringList({"/"});
    }
    void removal()
    {
        QFETCH(QStringList, existing);
        QFETCH(QList<int>, rows);
        QFETCH(QStringList, after);
        TextGrid grid = gridOf(existing);
        removeRows(grid, rows);
        QCOMPARE(keysAndCells(grid), after);
        clearGrid(grid);
        QCOMPARE(keysAndCells(grid), QStringList({"/"}));
    }

    void readDateCell_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("day") << "2026-08-05" << QDate(2026, 8, 5);
        QTest::newRow("empty") << "" << QDate(1900, 1, 1);
        QTest::newRow("year not a number") << "abcd-08-05" << QDate(1900, 8, 5);
        QTest::newRow("month not a number") << "2026-xx-05" << QDate(2026, 1, 5);
        QTest::newRow("no day") << "2026-08" << QDate(2026, 8, 1);
        QTest::newRow("year zero") << "0000-08-05" << QDate(1900, 8, 5);
        QTest::newRow("negative year") << "-999-08-05" << QDate(1900, 8, 5);
        QTest::newRow("no such month") << "2026-13-05" << QDate(2026, 1, 5);
        QTest::newRow("no such day") << "2026-02-30" << QDate(2026, 2, 1);
    }
    void readDateCell()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QCOMPARE(::readDateCell(text), date);
    }

    void descriptionBeds_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("beds");
        QTest::newRow("two and an extra bed") << "pokój (2+1)" << 3;
        QTest::newRow("no parentheses: the room's beds") << "dwuosobowy" << 2;
        QTest::newRow("no number") << "(dostawka)" << 0;
        QTest::newRow("closing before opening") << ")3(" << 0;
        QTest::newRow("first parentheses only") << "(12+3) i (4)" << 15;
        QTest::newRow("unclosed") << "(2+1" << 2;
    }
    void descriptionBeds()
    {
        QFETCH(QString, description);
        QFETCH(int, beds);
        QCOMPARE(::descriptionBeds(description, 2), beds);
    }

    void addingToChosen_data()
    {
        QTest::addColumn<QStringList>("adds"); // room:beds:from:to[:gender]
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("same room, same period: beds add up")
            << QStringList({"12:1:1:3:K", "12:2:1:3"})
            << QStringList({"12|3|A|3|K|" + dayStr(1) + "|" + dayStr(3)});
        QTest::newRow("same room, other period: a row of its own after the numbers")
            << QStringList({"12:2:1:3", "20:2:1:3", "12:1:2:3:M"})
            << QStringList({"12|3|A|2||" + dayStr(1) + "|" + dayStr(3),
                            "20|3|A|2||" + dayStr(1) + "|" + dayStr(3),
                            "12|3|A|1|M|" + dayStr(2) + "|" + dayStr(3)});
        QTest::newRow("kept in order") << QStringList({"2:1:1:3", "10:1:1:3"})
                                       << QStringList({"10|3|A|1||" + dayStr(1) + "|" + dayStr(3),
                                                       "2|3|A|1||" + dayStr(1) + "|" + dayStr(3)});
    }
    void addingToChosen()
    {
        QFETCH(QStringList, adds);
        QFETCH(QStringList, rows);
        TextGrid list = chosenGrid();
        for (const QString& a : adds) {
            const QStringList f = a.split(':');
            RoomToAdd add{f[0],
                          "3",
                          "A",
                          f[1].toInt(),
                          std::nullopt,
                          dayStr(f[2].toInt()),
                          dayStr(f[3].toInt())};
            if (f.size() > 4)
                add.gender = f[4];
            addToChosen(list, add);
        }
        QCOMPARE(gridRows(list, 7), rows);
    }

    void bedsSummary_data()
    {
        QTest::addColumn<QString>("persons");
        QTest::addColumn<QStringList>("beds");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("red");
        QTest::addColumn<bool>("reset");
        QTest::newRow("equal") << "3" << QStringList({"2", "1"}) << "Miejsc : 3" << false << false;
        QTest::newRow("more beds")
            << "2" << QStringList({"3"}) << "Miejsc : 3 (+1)" << true << false;
        QTest::newRow("fewer beds")
            << "3" << QStringList({"1"}) << "Miejsc : 1 (-2)" << true << false;
        QTest::newRow("persons not a number")
            << "abc" << QStringList({"1"}) << "Miejsc : 1" << false << true;
        QTest::newRow("persons -1")
            << "-1" << QStringList({"2"}) << "Miejsc : 2 (+1)" << true << true;
        QTest::newRow("beds not a number count 0")
            << "1" << QStringList({"x", "1"}) << "Miejsc : 1" << false << false;
    }
    void bedsSummary()
    {
        QFETCH(QString, persons);
        QFETCH(QStringList, beds);
        QFETCH(QString, text);
        QFETCH(bool, red);
        QFETCH(bool, reset);
        QStringList rows;
        for (int i = 0; i < beds.size(); ++i)
            rows << QString("%1:2:A:%2::1:2").arg(i + 1).arg(beds[i]);
        const BedsSummary s = ::bedsSummary(persons, chosenFrom(rows));
        QCOMPARE(s.text, text);
        QCOMPARE(s.red, red);
        QCOMPARE(s.personsReset, reset);
    }

    void groupDatesCoverTheLines()
    {
        const TextGrid list = chosenFrom({"1:2:A:1::3:6", "2:2:A:1::6:9"});
        QCOMPARE(groupDates(day(5), day(7), list), std::make_pair(day(3), day(9)));
        QCOMPARE(groupDates(day(5), day(7), chosenGrid()), std::make_pair(day(5), day(7)));
        const QList<RoomLine> lines = linesOf(chosenFrom({"1:2:A:x::3:6"}));
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].beds, 1); // not a number is stored as 1
    }
};

REZYDO_TEST(TestTextGrid);
#include "test_text_grid.moc"
