#include "db/data_module.h"
#include "db/sql.h"
#include "reports/engine/document.h"
#include "reports/engine/generator.h"
#include "reports/free_rooms.h"
#include "reports/room_utilisation.h"
#include "reports/statistics.h"
#include "stays/reservation_confirmation.h"
#include "tests/reports/golden.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QSqlQuery>
#include <QTest>

#include <limits>

namespace {
void addRoom(TestEnv& env, const QString& room, int beds, const QString& type = "A")
{
    env.exec("insert into Pokoje(Nr_Pokoju,Miejsc,Typ) values (?,?,?)", {room, beds, type});
}

// A room line; `reservation` puts it into Rez_msc, else into Kwat_msc.
void addLine(TestEnv& env, bool reservation, int group, const QString& room, const QString& od,
             const QString& doDay, int beds, const QString& kind = "K")
{
    env.exec(QString("insert into %1(Identyfikator,Nr_pokoju,Od,\"Do\",Miejsc,Jaki) values "
                     "(?,?,?,?,?,?)")
                 .arg(reservation ? "Rez_msc" : "Kwat_msc"),
             {group, room, od, doDay, beds, kind});
}

QString cells(const ReportRows& rows, int row, const QStringList& columns)
{
    QStringList out;
    for (const QString& c : columns)
        out << rows.value(row, c).toString();
    return out.join('|');
}

QStringList allCells(const ReportRows& rows, const QStringList& columns)
{
    QStringList out;
    for (int i = 0; i < rows.rowCount(); ++i)
        out << cells(rows, i, columns);
    return out;
}

// Puts a view in the place of `table` whose third row in stored order fails
// while it is read (abs() of the smallest integer overflows); the rows before
// it come as usual.
void failOnThirdRow(TestEnv& env, const QString& table)
{
    env.exec(QString("alter table %1 rename to %1_dane").arg(table));
    env.exec(QString("alter table %1_dane add column Zle integer not null default 0").arg(table));
    env.exec(QString("update %1_dane set Zle=? where rowid=(select rowid from %1_dane order by "
                     "rowid limit 1 offset 2)")
                 .arg(table),
             {std::numeric_limits<qint64>::min()});
    env.exec(QString("create view %1 as select rowid as rowid, * from %1_dane where abs(Zle)>=0")
                 .arg(table));
}

QString days(const TElemWykorzystania& e, int n)
{
    QString out;
    for (int d = 1; d <= n; ++d)
        out += !e.occupied[d] ? '.' : e.reserved[d] ? 'R' : 'K';
    return out;
}
} // namespace

class TestRoomReports : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // On 2026-07-15: room 1's line ends that day, room 2 is reserved from
    // that day, room 3 is free until a booking five days later, room 4 has
    // one of three beds taken with later bookings of 1 and then 2 beds, room
    // 5 has one of four beds taken.
    void freeRooms()
    {
        TestEnv env;
        addRoom(env, "1", 2);
        addRoom(env, "2", 2);
        addRoom(env, "3", 2);
        addRoom(env, "4", 3);
        addRoom(env, "5", 4);
        addLine(env, false, 1, "1", "2026-07-10", "2026-07-15", 2);
        addLine(env, true, 1, "2", "2026-07-15", "2026-07-18", 2);
        addLine(env, true, 2, "3", "2026-07-20", "2026-07-22", 2);
        addLine(env, false, 2, "4", "2026-07-14", "2026-07-30", 1, "M");
        addLine(env, true, 3, "4", "2026-07-17", "2026-07-19", 1);
        addLine(env, true, 4, "4", "2026-07-21", "2026-07-23", 2);
        addLine(env, false, 3, "5", "2026-07-15", "2026-07-16", 1, "K");
        FreeRooms free;
        free.load(env.db(), QDate(2026, 7, 15));
        QCOMPARE(allCells(free.pytPokoje(), {"Nr_Pokoju", "Miejsc", "Do", "Dni"}),
                 (QStringList{"1|2||", "3|2|2026-07-20|5"}));
        QCOMPARE(allCells(free.pytMiejsca(),
                          {"Nr_pokoju", "Miejsc", "Wolnych", "Plec", "DoKiedy", "Dni"}),
                 (QStringList{"4|3|2|M|2026-07-21|6", "5|4|3|K||"}));
        QCOMPARE(free.freeRoomCount(), 2);
        QCOMPARE(free.freeRoomBeds(), 4);
        QCOMPARE(free.freeBeds(), 5);

        TRapPokoje report(free);
        const Document doc = generateDocument(report);
        QCOMPARE(doc.pageCount(), 2);
        QCOMPARE(doc.pages[0].texts("NaglowekStrony"),
                 QStringList{"Wolne pokoje od dnia 2026-07-15"});
        QCOMPARE(doc.pages[1].texts("NaglowekStrony"),
                 QStringList{"Wolne miejsca od dnia 2026-07-15"});
        QCOMPARE(doc.pages[1].texts("NaglowekKolumn"),
                 (QStringList{"Numer pokoju", "Rozmiar", "Wolnych", "Płeć", "Do", "Dni"}));
        QCOMPARE(doc.pages[1].texts("Miejsca").mid(0, 6),
                 (QStringList{"4", "3", "2", "M", "2026-07-21", "6"}));
        compareGolden("free_rooms.txt", dumpDocument(doc));
        QVERIFY(writePdf(doc, env.path("wolne.pdf")));
        // Generated again, the title starts over with the rooms.
        QCOMPARE(generateDocument(report).pages[0].texts("NaglowekStrony"),
                 QStringList{"Wolne pokoje od dnia 2026-07-15"});
    }

    void freeRoomsEmptyLists()
    {
        TestEnv env;
        FreeRooms free;
        free.load(env.db(), QDate(2026, 7, 15));
        const LaunchResult none = printFreeRooms(free, ReportOutput::Preview);
        QCOMPARE(none.message, kNoDataMessage);
        addRoom(env, "1", 3);
        addLine(env, false, 1, "1", "2026-07-14", "2026-07-16", 1);
        free.load(env.db(), QDate(2026, 7, 15));
        TRapPokoje report(free);
        const Document doc = generateDocument(report);
        // No free room: the rooms' headings alone, then the beds on page 2.
        QCOMPARE(doc.pageCount(), 2);
        QCOMPARE(doc.pages[0].texts("NaglowekKolumn"),
                 (QStringList{"Numer pokoju", "Miejsc", "Do", "Dni"}));
        QCOMPARE(doc.pages[1].texts("Miejsca").first(), QString("1"));
    }

    // A row that fails to be read ends the reading with the engine's error,
    // never as a list cut short.
    void readingStopsAtAFailedRow_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("rooms of the month chart") << "Pokoje";
        QTest::newRow("room cursor of the data module") << "Pokoje";
        QTest::newRow("foreign countries") << "Panstwo";
    }
    void readingStopsAtAFailedRow()
    {
        QFETCH(QString, table);
        if (TestEnv::onServer())
            QSKIP("the row failing while it is stepped is made with the file engine's integer "
                  "overflow in a view standing for the table");
        const QString reader = QString::fromLatin1(QTest::currentDataTag());
        TestEnv env;
        addRoom(env, "1", 2);
        addRoom(env, "2", 2);
        addRoom(env, "3", 2);
        failOnThirdRow(env, table);
        QSqlQuery first(env.db());
        QVERIFY(first.exec("select * from " + table + " order by rowid"));
        QVERIFY(first.next()); // the first row reads: the failure comes later
        first.finish();
        try {
            if (reader == "rooms of the month chart")
                roomNumbers(env.db());
            else if (reader == "room cursor of the data module")
                env.data().rooms().open();
            else
                foreignCountries(env.db());
            QFAIL("a failed row was taken for the end of the rows");
        } catch (const DbError& e) {
            QVERIFY2(e.text().contains("integer overflow"), qPrintable(e.text()));
        }
        QVERIFY(!env.data().rooms().isOpen());
    }

    void monthList_data()
    {
        QTest::addColumn<QList<MonthSpan>>("spans");
        QTest::addColumn<QStringList>("months");
        QTest::newRow("none") << QList<MonthSpan>{} << QStringList{};
        QTest::newRow("November to February with one inside")
            << QList<MonthSpan>{{2026, 11, 2027, 2}, {2026, 12, 2027, 1}}
            << QStringList{"2026 listopad", "2026 grudzień", "2027 styczeń", "2027 luty"};
        QTest::newRow("gap") << QList<MonthSpan>{{2026, 6, 2026, 7},
                                                 {2026, 7, 2026, 7},
                                                 {2026, 10, 2026, 10}}
                             << QStringList{"2026 czerwiec", "2026 lipiec", "2026 październik"};
    }
    void monthList()
    {
        QFETCH(QList<MonthSpan>, spans);
        QFETCH(QStringList, months);
        QStringList texts;
        for (const TMiesiac& m : ::monthList(spans))
            texts << m.text();
        QCOMPARE(texts, months);
    }

    // The month list read from one row per start day must hold the months
    // the walk over every row of Rez_i_ksiazka finds.
    void readMonthList_data()
    {
        QTest::addColumn<QStringList>("entries");      // "Od Do" of register entries
        QTest::addColumn<QStringList>("reservations"); // "Od Do" of reservation lines
        QTest::addColumn<QStringList>("months");
        QTest::newRow("nothing") << QStringList{} << QStringList{} << QStringList{};
        QTest::newRow("same start, the long line last")
            << QStringList{"2026-06-28 2026-06-30", "2026-06-28 2026-09-02"} << QStringList{}
            << QStringList{"2026 czerwiec", "2026 lipiec", "2026 sierpień", "2026 wrzesień"};
        QTest::newRow("same start, the long line first")
            << QStringList{"2026-06-28 2026-09-02", "2026-06-28 2026-06-30"} << QStringList{}
            << QStringList{"2026 czerwiec", "2026 lipiec", "2026 sierpień", "2026 wrzesień"};
        QTest::newRow("a reservation on a register day reaches further")
            << QStringList{"2026-11-30 2026-12-02"} << QStringList{"2026-11-30 2027-01-03"}
            << QStringList{"2026 listopad", "2026 grudzień", "2027 styczeń"};
        QTest::newRow("gaps between the years")
            << QStringList{"2025-07-01 2025-07-05", "2026-01-31 2026-02-01"}
            << QStringList{"2025-07-03 2025-07-20"}
            << QStringList{"2025 lipiec", "2026 styczeń", "2026 luty"};
        QTest::newRow("a line inside a longer one")
            << QStringList{"2026-03-01 2026-05-01", "2026-03-10 2026-03-12"}
            << QStringList{"2026-04-01 2026-06-01"}
            << QStringList{"2026 marzec", "2026 kwiecień", "2026 maj", "2026 czerwiec"};
    }
    void readMonthList()
    {
        QFETCH(QStringList, entries);
        QFETCH(QStringList, reservations);
        QFETCH(QStringList, months);
        TestEnv env;
        int person = 0;
        for (const QString& line : entries)
            env.exec("insert into Ksiazka(Identyfikator_g,Identyfikator_o,Nr_pokoju,Od,\"Do\") "
                     "values (1,?,'1',?,?)",
                     {++person, line.section(' ', 0, 0), line.section(' ', 1, 1)});
        for (const QString& line : reservations)
            addLine(env, true, 1, "1", line.section(' ', 0, 0), line.section(' ', 1, 1), 1);
        env.exec("insert into Ksiazka(Identyfikator_g,Identyfikator_o,Nr_pokoju,Od) "
                 "values (2,99,'1','2020-01-01')"); // no departure day: no months
        QList<MonthSpan> spans;                     // every row of the view, walked
        const QStringList rows =
            env.rows("select Od_rok, Od_miesiac, Do_rok, Do_miesiac from Rez_i_ksiazka");
        for (const QString& row : rows) {
            const QStringList f = row.split('|');
            spans << MonthSpan{f[0].toInt(), f[1].toInt(), f[2].toInt(), f[3].toInt()};
        }
        QStringList fromView, read;
        for (const TMiesiac& m : ::monthList(spans))
            fromView << m.text();
        const MonthListResult list = ::readMonthList(env.db());
        QVERIFY(!list.failed);
        for (const TMiesiac& m : list.months)
            read << m.text();
        QCOMPARE(fromView, months);
        QCOMPARE(read, months);
    }

    void monthLength_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("days");
        QTest::newRow("leap February") << 2028 << 2 << 29;
        QTest::newRow("February") << 2027 << 2 << 28;
        QTest::newRow("June") << 2026 << 6 << 30;
        QTest::newRow("July") << 2026 << 7 << 31;
    }
    void monthLength()
    {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, days);
        QCOMPARE(TMiesiac::of(year, month).days(), days);
    }

    void markedDays_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<QString>("expected");
        // Room 1: an accommodation 28 June - 3 July; room 2: a reservation on
        // 5-8 July and an accommodation from 8 July; room 3: nothing.
        QTest::newRow("June") << 6
                              << "1:...........................KKK|2:.............................."
                                 "|3:..............................";
        QTest::newRow("July")
            << 7
            << "1:KKK............................|2:....RRRKKKKKKKKKKKKKKKKKKKKKKKK|3:..........."
               "....................";
    }
    void markedDays()
    {
        QFETCH(int, month);
        QFETCH(QString, expected);
        TestEnv env;
        env.exec("insert into Ksiazka(Identyfikator_g,Identyfikator_o,Nr_pokoju,Od,\"Do\") values "
                 "(1,1,'1','2026-06-28','2026-07-03'),(2,2,'2','2026-07-08','2026-08-02')");
        addLine(env, true, 1, "2", "2026-07-05", "2026-07-08", 1);
        const TMiesiac m = TMiesiac::of(2026, month);
        QStringList out;
        for (const TElemWykorzystania& e : roomEntries(env.db(), {"1", "2", "3"}, m))
            out << e.room + ':' + days(e, m.days());
        QCOMPARE(out.join('|'), expected);
        QCOMPARE(::readMonthList(env.db()).months.size(), 3); // June to August
    }

    void barUnits_data()
    {
        QTest::addColumn<int>("occupied");
        QTest::addColumn<int>("rooms");
        QTest::addColumn<int>("units");
        QTest::newRow("full") << 3 << 3 << 500;
        QTest::newRow("a third") << 1 << 3 << 167;
        QTest::newRow("none") << 0 << 3 << 0;
        QTest::newRow("no rooms") << 0 << 0 << 0;
    }
    void barUnits()
    {
        QFETCH(int, occupied);
        QFETCH(int, rooms);
        QFETCH(int, units);
        QCOMPARE(::barUnits(occupied, rooms), units);
    }

    void utilisationLayout()
    {
        TestEnv env;
        TElemWykorzystania full, half;
        full.room = "1";
        half.room = "2";
        for (int d = 1; d <= 31; ++d)
            full.occupied[d] = true;
        half.occupied[1] = half.reserved[1] = true;
        TRapWykorzystanie report("2027 luty", 28, 2, {full, half});
        const Document doc = generateDocument(report);
        QCOMPARE(doc.pageCount(), 2);
        QCOMPARE(doc.pages[0].texts("NaglowekStrony"),
                 QStringList{"Wykorzystanie pokoi (2027 luty)"});
        const QStringList head = doc.pages[0].texts("Legenda");
        QCOMPARE(head.last(), QString("28"));
        QVERIFY(doc.pages[1].texts("Legenda").isEmpty());
        QCOMPARE(doc.pages[0].texts("Pokoj").size(), 2 + 28 + 1);
        QStringList table = doc.pages[1].texts("TabelaDni");
        QCOMPARE(table.mid(0, 3), (QStringList{"Dzień", "1", "2"}));
        QVERIFY(table.contains("Suma"));
        // Day 1: both rooms; Wolne sums to 56 - 29.
        QVERIFY(table.contains("27"));
        QVERIFY(table.contains("29"));
        for (const PlacedItem& item : doc.pages[1].items)
            if (item.control == "S1")
                QCOMPARE(item.rect.height(), 100.0);
        compareGolden("room_utilisation.txt", dumpDocument(doc));
        QVERIFY(writePdf(doc, env.path("wykorzystanie.pdf")));
    }

    void confirmation_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("price");
        QTest::newRow("two lines") << "two"
                                   << "Potwierdzamy rezerwacje 2 pokoi w terminie od "
                                   << "440,00 zł.";
        QTest::newRow("one line") << "one"
                                  << "Potwierdzamy rezerwacje 1 pokoju w terminie od "
                                  << "360,00 zł.";
        QTest::newRow("type without price") << "unpriced"
                                            << "Potwierdzamy rezerwacje 0 pokoi w terminie od "
                                            << "0,00 zł.";
    }
    void confirmation()
    {
        QFETCH(QString, lines);
        QFETCH(QString, start);
        QFETCH(QString, price);
        TestEnv env;
        env.exec("insert into Cennik(Typ,Cena1,Cena3) values ('A',400000,1200000)");
        addRoom(env, "1", 2);
        addRoom(env, "2", 3);
        addRoom(env, "3", 2, "X");
        if (lines == "unpriced") {
            addLine(env, true, 5, "3", "2026-07-20", "2026-07-23", 2);
        } else {
            addLine(env, true, 5, "1", "2026-07-20", "2026-07-23", 2);
            if (lines == "two")
                addLine(env, true, 5, "2", "2026-07-21", "2026-07-23", 1);
        }
        const QList<PricedLine> priced = pricedLines(env.db(), 5);
        const QString text = confirmationText(static_cast<int>(priced.size()), QDate(2026, 7, 19),
                                              QDate(2026, 7, 24), "Hotel Ziradi", "Kowalscy",
                                              reservationPrice(priced));
        QVERIFY2(text.startsWith(start), qPrintable(text));
        QVERIFY2(text.endsWith(price), qPrintable(text));
        // The header's dates, not the lines'.
        QVERIFY(text.contains("w terminie od 2026-07-19 do 2026-07-24 w Hotel Ziradi dla "
                              "Kowalscy.\n\nCena za wszystkie zarezerwowane pokoje w terminie od "
                              "2026-07-19 do 2026-07-24 wynosi "));
    }

    void confirmationLayout()
    {
        TestEnv env;
        TRapPotwierdzenie report("Hotel", "ul. Długa 1", "Treść");
        const Document doc = generateDocument(report);
        QCOMPARE(doc.pageCount(), 1);
        QCOMPARE(doc.pages[0].texts(),
                 (QStringList{"Ziradi 2026-07-15", "Hotel", "ul. Długa 1",
                              "Potwierdzenie rezerwacji", "Treść", "Z poważaniem"}));
        compareGolden("reservation_confirmation.txt", dumpDocument(doc));
        QVERIFY(writePdf(doc, env.path("potwierdzenie.pdf")));
    }
};
REZYDO_TEST(TestRoomReports);
#include "test_room_reports.moc"
