#include "db/data_module.h"
#include "reports/guest_lists.h"
#include "reports/statistics.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

namespace {
// A register entry of a new person: group, room, arrival, departure, country.
int addEntry(TestEnv& env, int group, const QString& room, const QString& od, const QString& doDay,
             int country = 1, int person = 0) {
    if (person == 0) {
        env.exec("insert into Arch_os(Nazwisko,Imie,ID_Panstwo) values ('Nowak','Jan',?)",
                 {country});
        person = env.scalar("select max(Identyfikator_o) from Arch_os").toInt();
    }
    env.exec("insert into Ksiazka(Identyfikator_g,Identyfikator_o,Nr_pokoju,Od,\"Do\",Pelne_dane,"
             "ID_Panstwo) values (?,?,?,?,?,1,?)",
             {group, person, room, od, doDay, country});
    return person;
}

QList<UsageFigures> seasonUsage(TestEnv& env, int country) {
    QList<UsageFigures> out;
    for (const auto& [s, e] : seasonMonths(2026))
        out << usage(env.db(), s, e, country);
    return out;
}

QString figures(const UsageFigures& f) {
    return QString("%1/%2/%3").arg(f.persons).arg(f.nights).arg(f.roomNights);
}

QStringList rowsOf(const Statement& st, const QStringList& columns) {
    QSqlQuery q(dataModule().database());
    q.prepare(st.sql);
    for (const auto& [name, value] : st.bindings)
        q.bindValue(name, value);
    if (!q.exec())
        qFatal("%s", qPrintable(q.lastError().text()));
    QStringList out;
    while (q.next()) {
        QStringList cells;
        for (const QString& c : columns)
            cells << q.value(c).toString();
        out << cells.join('|');
    }
    return out;
}
} // namespace

class TestGuestReportRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void emptySeason() {
        TestEnv env;
        env.exec("insert into Pokoje(Nr_Pokoju,Miejsc) values ('1',2),('2',3)");
        QStringList rows;
        for (const auto& [s, e] : seasonMonths(2026)) {
            const SeasonMonthRow r = seasonMonthRow(env.db(), s, e);
            rows << QString("%1 %2 %3 %4 %5 %6")
                        .arg(r.month)
                        .arg(r.days)
                        .arg(r.beds)
                        .arg(r.rooms)
                        .arg(figures(r.all), figures(r.foreign));
        }
        QCOMPARE(rows, QStringList({"Lipiec 31 5 2 0/0/0 0/0/0", "Sierpień 31 5 2 0/0/0 0/0/0",
                                    "Wrzesień 30 5 2 0/0/0 0/0/0"}));
    }

    void noRooms() {
        TestEnv env;
        const SeasonMonthRow r = seasonMonthRow(env.db(), QDate(2026, 7, 1), QDate(2026, 7, 31));
        QCOMPARE(r.beds, QString());
        QCOMPARE(r.rooms, 0);
    }

    void seasonFigures_data() {
        QTest::addColumn<QStringList>("entries"); // room|od|do|country|person (0 = new)
        QTest::addColumn<QString>("july");
        QTest::addColumn<QString>("august");
        QTest::addColumn<QString>("foreignAugust");
        QTest::newRow("a stay crossing the month end counts where it begins")
            << QStringList{"5|2026-07-30|2026-08-05|1|0"} << "1/6/6"
            << "0/0/0"
            << "0/0/0";
        QTest::newRow("two persons sharing a room")
            << QStringList{"12|2026-08-01|2026-08-04|1|0", "12|2026-08-01|2026-08-04|1|0"}
            << "0/0/0"
            << "2/6/3"
            << "0/0/0";
        QTest::newRow("one person twice in a month counts once")
            << QStringList{"3|2026-08-02|2026-08-04|1|0", "3|2026-08-20|2026-08-21|1|1"} << "0/0/0"
            << "1/3/3"
            << "0/0/0";
        QTest::newRow("a foreign guest") << QStringList{"4|2026-08-10|2026-08-12|5|0"} << "0/0/0"
                                         << "1/2/2"
                                         << "1/2/2";
        QTest::newRow("a zero-length stay adds no room-night")
            << QStringList{"4|2026-08-10|2026-08-10|1|0"} << "0/0/0"
            << "1/0/0"
            << "0/0/0";
        QTest::newRow("an entry without a room still counts")
            << QStringList{"|2026-08-10|2026-08-12|1|0"} << "0/0/0"
            << "1/2/2"
            << "0/0/0";
        QTest::newRow("June and October stay out")
            << QStringList{"4|2026-06-30|2026-07-02|1|0", "4|2026-10-01|2026-10-02|1|0"} << "0/0/0"
            << "0/0/0"
            << "0/0/0";
    }
    void seasonFigures() {
        QFETCH(QStringList, entries);
        QFETCH(QString, july);
        QFETCH(QString, august);
        QFETCH(QString, foreignAugust);
        TestEnv env;
        int last = 0;
        for (const QString& e : entries) {
            const QStringList f = e.split('|');
            last = addEntry(env, 1, f[0], f[1], f[2], f[3].toInt(), f[4] == "1" ? last : 0);
        }
        const QList<UsageFigures> all = seasonUsage(env, 0);
        QCOMPARE(figures(all[0]), july);
        QCOMPARE(figures(all[1]), august);
        QCOMPARE(figures(seasonUsage(env, -1)[1]), foreignAugust);
    }

    void countryRows() {
        TestEnv env;
        const QList<int> countries = foreignCountries(env.db());
        QVERIFY(!countries.contains(1));
        QCOMPARE(countries.size(), env.scalar("select count(*) from Panstwo").toInt() - 1);
        addEntry(env, 1, "7", "2026-09-03", "2026-09-06", countries[2]);
        addEntry(env, 1, "7", "2026-09-03", "2026-09-06", countries[2]);
        const SeasonCountryRow row = seasonCountryRow(env.db(), countries[2], 2026);
        QCOMPARE(row.name,
                 env.scalar("select Nazwa from Panstwo where ID=?", {countries[2]}).toString());
        QCOMPARE(figures(row.months[0]), QString("0/0/0"));
        QCOMPARE(figures(row.months[2]), QString("2/6/3"));
        QCOMPARE(figures(seasonCountryRow(env.db(), countries[3], 2026).months[2]),
                 QString("0/0/0"));
    }

    void personNightsCutAtTheEdges_data() {
        QTest::addColumn<QStringList>("stays"); // room|od|do
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<qint64>("persons");
        QTest::addColumn<qint64>("nights");
        const QString s = "2026-08-10", e = "2026-08-20";
        QTest::newRow("covering the period")
            << QStringList{"1|2026-08-05|2026-08-25"} << s << e << 1LL << 10LL;
        QTest::newRow("beginning inside")
            << QStringList{"1|2026-08-12|2026-08-25"} << s << e << 1LL << 8LL;
        QTest::newRow("ending inside")
            << QStringList{"1|2026-08-05|2026-08-15"} << s << e << 1LL << 5LL;
        QTest::newRow("wholly inside")
            << QStringList{"1|2026-08-12|2026-08-15"} << s << e << 1LL << 3LL;
        QTest::newRow("all four") << QStringList{"1|2026-08-05|2026-08-25",
                                                 "2|2026-08-12|2026-08-25",
                                                 "3|2026-08-05|2026-08-15",
                                                 "4|2026-08-12|2026-08-15"}
                                  << s << e << 4LL << 26LL;
        QTest::newRow("beginning on the end day")
            << QStringList{"1|2026-08-20|2026-08-25"} << s << e << 0LL << 0LL;
        QTest::newRow("ending on the start day")
            << QStringList{"1|2026-08-05|2026-08-10"} << s << e << 0LL << 0LL;
        QTest::newRow("exactly the period")
            << QStringList{"1|2026-08-10|2026-08-20"} << s << e << 1LL << 10LL;
        QTest::newRow("without a room")
            << QStringList{"|2026-08-12|2026-08-15"} << s << e << 0LL << 0LL;
        QTest::newRow("empty period")
            << QStringList{"1|2026-08-05|2026-08-25"} << s << s << 0LL << 0LL;
        QTest::newRow("reversed period")
            << QStringList{"1|2026-08-05|2026-08-25"} << e << s << 0LL << 0LL;
    }
    void personNightsCutAtTheEdges() {
        QFETCH(QStringList, stays);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(qint64, persons);
        QFETCH(qint64, nights);
        TestEnv env;
        for (const QString& st : stays) {
            const QStringList f = st.split('|');
            addEntry(env, 1, f[0], f[1], f[2]);
        }
        const PersonNights r = personNights(env.db(), QDate::fromString(start, Qt::ISODate),
                                            QDate::fromString(end, Qt::ISODate));
        QCOMPARE(r.persons, persons);
        QCOMPARE(r.nights, nights);
    }

    void currentGuests_data() {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("all") << 0 << QStringList{"Kowal|1", "|0"};
        QTest::newRow("complete") << 1 << QStringList{"Kowal|1"};
        QTest::newRow("incomplete") << 2 << QStringList{"|0"};
    }
    void currentGuests() {
        QFETCH(int, filter);
        QFETCH(QStringList, names);
        TestEnv env;
        env.exec("insert into Kwat_hot(Nazwa,Osob) values ('Grupa',2),('Bez pokoi',1)");
        env.exec("insert into Kwat_msc(Identyfikator,Nr_pokoju,Miejsc) values (1,'1',1),(1,'2',1)");
        env.exec("insert into Arch_os(Nazwisko) values ('Kowal'),(''),('Samotny')");
        env.exec("insert into Ksiazka(Identyfikator_g,Identyfikator_o,Nr_pokoju,Pelne_dane) values "
                 "(1,1,'1',1),(1,2,'2',0),(2,3,'',1)");
        QCOMPARE(rowsOf(currentGuestsStatement(filter), {"Nazwisko", "Pelne_dane"}), names);
    }

    void roomLists() {
        TestEnv env;
        env.exec(
            "insert into Rez_hot(Nazwa,Osob,Od,\"Do\") values ('R',3,'2026-07-15','2026-07-20')");
        env.exec("insert into Rez_msc(Identyfikator,Nr_pokoju,Od,\"Do\",Miejsc) values "
                 "(1,'1','2026-07-15','2026-07-20',2),(1,'2','2026-07-16','2026-07-20',1)");
        env.exec(
            "insert into Kwat_hot(Nazwa,Osob,Od,\"Do\") values ('K',1,'2026-07-10','2026-07-15')");
        env.exec("insert into Kwat_msc(Identyfikator,Nr_pokoju,Od,\"Do\",Miejsc) values "
                 "(1,'9','2026-07-10','2026-07-15',1)");
        const QDate day(2026, 7, 15);
        const QStringList cols{"Nazwa", "Osob", "Nr_pokoju", "Od", "Do"};
        QCOMPARE(rowsOf(roomListStatement(1, day), cols),
                 QStringList({"R|3|1|2026-07-15|2026-07-20"}));
        QCOMPARE(rowsOf(roomListStatement(2, day), cols),
                 QStringList({"K|1|9|2026-07-10|2026-07-15"}));
        QCOMPARE(rowsOf(roomListStatement(3, day), cols).size(), 2);
    }

    void groupsOfADay() {
        TestEnv env;
        // Arrived on the day with two persons; arrived without anybody yet;
        // arrived earlier with one person joining on the day.
        env.exec("insert into Kwat_hot(Nazwa,Osob,Od,\"Do\") values "
                 "('Pełna',2,'2026-07-15','2026-07-18'),('Pusta',4,'2026-07-15','2026-07-19'),"
                 "('Wcześniej',2,'2026-07-12','2026-07-20')");
        env.exec("insert into Arch_os(Nazwisko,Imie) values ('Nowak','Jan'),('Nowak','Ewa'),"
                 "('Zych','Adam'),('Bąk','Ola')");
        env.exec("insert into Ksiazka(Identyfikator_g,Identyfikator_o,Nr_pokoju,Od,\"Do\") values "
                 "(1,1,'3','2026-07-15','2026-07-18'),(1,2,'3','2026-07-15','2026-07-17'),"
                 "(3,3,'5','2026-07-12','2026-07-20'),(3,4,'5','2026-07-15','2026-07-20')");
        QStringList rows =
            rowsOf(groupsOfDayStatement(QDate(2026, 7, 15)), {"Dane", "Nr_pokoju", "Data"});
        rows.sort();
        QCOMPARE(rows, QStringList({"Bąk Ola|5|2026-07-20", "Nowak Ewa|3|2026-07-17",
                                    "Nowak Jan|3|2026-07-18", "Pusta (grupa 4 osób)||2026-07-19"}));
        QCOMPARE(dayWithWeekday(QDate(2026, 7, 15)), QString("2026-07-15 (środa)"));
    }
};

REZYDO_TEST(TestGuestReportRules);
#include "test_guest_report_rules.moc"
