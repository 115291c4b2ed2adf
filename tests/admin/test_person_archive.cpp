#include "admin/person_archive.h"
#include "db/row_set.h"
#include "tests/admin/archive_fixture.h"
#include "tests/support/polish_names.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QTest>

namespace {
// The archive's people, as the tests below expect them:
//   Kowalski Jan    two checked-out stays (group 1 from 07-10, group 2 from 07-15)
//   Nowak Anna      a person record without any register entry
//   Zieliński Piotr staying now (group 3) after a checked-out stay (group 1)
//   Pusty           checked out of group 2, no first name
//   Obecny Adam     staying now, never checked out
void addPeople(TestEnv& env)
{
    const int kowalski = addPerson(env, "Kowalski", "Jan", "Długa 1");
    addStay(env, kowalski, 1, "12", "2026-07-10", "2026-07-12", true);
    addStay(env, kowalski, 2, "3", "2026-07-15", "2026-07-17", true);
    addPerson(env, "Nowak", "Anna", "Krótka 2");
    const int zielinski = addPerson(env, "Zieliński", "Piotr", "Polna 3");
    addStay(env, zielinski, 1, "1", "2026-07-10", "2026-07-11", true);
    addStay(env, zielinski, 3, "5", "2026-07-15", "2026-07-20", false);
    const int pusty = addPerson(env, "Pusty", "");
    addStay(env, pusty, 2, "4", "2026-07-15", "2026-07-16", true);
    const int obecny = addPerson(env, "Obecny", "Adam");
    addStay(env, obecny, 3, "6", "2026-07-14", "2026-07-20", false);
}

// "surname|room|arrival" of every visible row, in order.
QStringList listed(const RowSet& rows)
{
    QStringList out;
    for (int r = 0; r < rows.rowCount(); ++r)
        out << rows.text(r, rows.columnIndex("Nazwisko")) + "|" +
                   rows.text(r, rows.columnIndex("Nr_pokoju")) + "|" +
                   rows.text(r, rows.columnIndex("OD"));
    return out;
}
} // namespace

class TestPersonArchive : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void whoIsListed_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QStringList>("rows");
        // The order is "Identyfikator_g DESC": the latest stays first, the
        // persons without a stay last.
        QTest::newRow("all persons: every checked-out stay and the person without one")
            << 0 << QDate() << QDate()
            << QStringList({"Kowalski|3|2026-07-15", "Pusty|4|2026-07-15", "Kowalski|12|2026-07-10",
                            "Zieliński|1|2026-07-10", "Nowak||"});
        QTest::newRow("by dates: arrivals in the range only")
            << 1 << QDate(2026, 7, 15) << QDate(2026, 7, 16)
            << QStringList({"Kowalski|3|2026-07-15", "Pusty|4|2026-07-15"});
        QTest::newRow("by dates: both days included")
            << 1 << QDate(2026, 7, 10) << QDate(2026, 7, 15)
            << QStringList({"Kowalski|3|2026-07-15", "Pusty|4|2026-07-15", "Kowalski|12|2026-07-10",
                            "Zieliński|1|2026-07-10"});
        QTest::newRow("full data by dates: no empty first name")
            << 2 << QDate(2026, 7, 15) << QDate(2026, 7, 16)
            << QStringList({"Kowalski|3|2026-07-15"});
        QTest::newRow("by dates: an empty range")
            << 1 << QDate(2026, 7, 16) << QDate(2026, 7, 15) << QStringList();
    }
    void whoIsListed()
    {
        QFETCH(int, kind);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QStringList, rows);
        TestEnv env;
        addPeople(env);
        const ArchiveStatement s =
            archiveStatement(static_cast<ArchiveKind>(kind), from, to, kArchiveInitialOrder);
        QVERIFY(!s.sql.contains("2026")); // the days go in as bindings
        RowSet set;
        openArchive(set, s);
        QStringList got = listed(set);
        // Rows of one group come in no fixed order.
        QCOMPARE(got.size(), rows.size());
        for (const QString& row : rows)
            QVERIFY2(got.contains(row), qPrintable(row));
        for (int i = 0; i + 1 < got.size(); ++i)
            QCOMPARE(got[i].section('|', 2) >= got[i + 1].section('|', 2), true);
    }

    // "Wszystkie osoby" in group order reads the register by its index instead
    // of joining every person; the rows must be those of the join, with every
    // column, within a group in the order of the person records.
    void allPersonsInGroupOrderAsTheJoin_data()
    {
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("sql");
        QTest::newRow("latest groups first")
            << kArchiveInitialOrder << "K.Identyfikator_g IS NULL, g DESC, o";
        QTest::newRow("earliest first, no stay first") << "Identyfikator_g"
                                                       << "K.Identyfikator_g IS NOT NULL, g, o";
    }
    void allPersonsInGroupOrderAsTheJoin()
    {
        QFETCH(QString, order);
        QFETCH(QString, sql);
        TestEnv env;
        addPeople(env);
        // A group of three, recorded out of the order of their records.
        const int a = addPerson(env, "Adamski", "Adam", "Leśna 4");
        const int b = addPerson(env, "Bielski", "Bartosz");
        const int c = addPerson(env, "Cichy", "Cezary");
        for (int person : {c, a, b})
            addStay(env, person, 4, "7", "2026-07-20", "2026-07-22", true);
        addPerson(env, "Dudek", "Daria"); // a second person without a stay
        const QStringList expected = env.rows(
            "SELECT A.Identyfikator_o AS o, A.Nazwisko, A.Imie, A.Adres, K.Identyfikator_g AS g, "
            "K.Nr_pokoju, K.Od, K.\"Do\", A.Dokument_rodz, A.Dokument_nr, A.Data_ur, "
            "A.Miejsce_ur, A.Uwagi FROM Arch_os A LEFT JOIN Ksiazka K ON A.Identyfikator_o = "
            "K.Identyfikator_o WHERE K.Wykwaterowany = 1 OR K.Identyfikator_g IS NULL ORDER BY " +
            sql);
        RowSet set;
        openArchive(set, archiveStatement(ArchiveKind::AllPersons, {}, {}, order));
        QStringList got;
        for (int r = 0; r < set.rowCount(); ++r) {
            QStringList cells;
            for (int col = 0; col < set.columns().size(); ++col)
                cells << (set.value(r, col).isNull() ? QString("NULL")
                                                     : set.value(r, col).toString());
            got << cells.join('|');
        }
        QCOMPARE(got, expected);
        QCOMPARE(set.columns().join(','),
                 QString("Identyfikator_o,Nazwisko,Imie,Adres,Identyfikator_g,Nr_pokoju,OD,Do,"
                         "Dokument_rodz,Dokument_nr,Data_ur,Miejsce_ur,Uwagi"));
    }

    // Every grid column sorts both ways; "Do" is a word of SQL and must still work.
    void sortOrders_data()
    {
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("first");
        QTest::newRow("Nazwisko") << "Nazwisko"
                                  << "Nazwisko"
                                  << "Kowalski";
        QTest::newRow("Nazwisko desc") << "Nazwisko desc"
                                       << "Nazwisko"
                                       << "Zieliński";
        QTest::newRow("Imie desc") << "Imie desc"
                                   << "Imie"
                                   << "Piotr";
        QTest::newRow("Adres") << "Adres"
                               << "Adres"
                               << "";
        QTest::newRow("Nr_pokoju desc") << "Nr_pokoju desc"
                                        << "Nr_pokoju"
                                        << "4";
        QTest::newRow("OD desc") << "OD desc"
                                 << "OD"
                                 << "2026-07-15";
        QTest::newRow("Do") << "Do"
                            << "Do"
                            << "";
        QTest::newRow("Do desc") << "Do desc"
                                 << "Do"
                                 << "2026-07-17";
        QTest::newRow("anything else: latest stays first") << "Nazwisko; DROP TABLE Arch_os"
                                                           << "Identyfikator_g"
                                                           << "2";
    }
    void sortOrders()
    {
        QFETCH(QString, order);
        QFETCH(QString, column);
        QFETCH(QString, first);
        TestEnv env;
        addPeople(env);
        RowSet set;
        openArchive(set, archiveStatement(ArchiveKind::AllPersons, {}, {}, order));
        QCOMPARE(set.text(0, set.columnIndex(column)), first);
    }

    // Names and addresses in Polish alphabetical order, rooms as text; with
    // or without the days.
    void sortedInPolishOrder_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QStringList>("expected"); // runs of equal values
        const int all = static_cast<int>(ArchiveKind::AllPersons);
        const int byDates = static_cast<int>(ArchiveKind::AllByDates);
        QTest::newRow("surname") << all << "Nazwisko"
                                 << "Nazwisko" << kNamesInPolishOrder;
        QTest::newRow("surname desc") << all << "Nazwisko desc"
                                      << "Nazwisko" << reversed(kNamesInPolishOrder);
        QTest::newRow("first name by dates") << byDates << "Imie"
                                             << "Imie" << kNamesInPolishOrder;
        QTest::newRow("address") << all << "Adres"
                                 << "Adres" << kNamesInPolishOrder;
        QTest::newRow("room as text") << byDates << "Nr_pokoju"
                                      << "Nr_pokoju" << kRoomsInTextOrder;
    }
    void sortedInPolishOrder()
    {
        QFETCH(int, kind);
        QFETCH(QString, order);
        QFETCH(QString, column);
        QFETCH(QStringList, expected);
        TestEnv env;
        const QStringList names = namesAsWritten();
        for (int i = 0; i < names.size(); ++i) {
            const int person = addPerson(env, names[i], names[i], names[i]);
            addStay(env, person, i + 1, kRoomsAsWritten[i % kRoomsAsWritten.size()], "2026-07-10",
                    "2026-07-12", true);
        }
        RowSet set;
        openArchive(set, archiveStatement(static_cast<ArchiveKind>(kind), QDate(2026, 7, 1),
                                          QDate(2026, 7, 31), order));
        QCOMPARE(set.rowCount(), names.size());
        QStringList got;
        for (int r = 0; r < set.rowCount(); ++r)
            got << set.value(r, column).toString();
        QCOMPARE(runs(got), expected);
    }

    void searchOnTheLoadedRows_data()
    {
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("surnames"); // {"!"}: the filter is refused
        QTest::newRow("surname: beginnings only")
            << QStringList({"kow"}) << QStringList({"Kowalski", "Kowalski"});
        QTest::newRow("a quote typed in a name")
            << QStringList({"O'B"}) << QStringList({"O'Brien"});
        QTest::newRow("room begins with")
            << QStringList({"", "", "", "1"}) << QStringList({"Kowalski", "Zieliński"});
        QTest::newRow("arrival day") << QStringList({"", "", "", "", "2026-07-10"})
                                     << QStringList({"Kowalski", "Zieliński"});
        QTest::newRow("departure day and surname")
            << QStringList({"Z", "", "", "", "", "2026-07-11"}) << QStringList({"Zieliński"});
        QTest::newRow("arrival not a day")
            << QStringList({"", "", "", "", "10.07.2026"}) << QStringList({"!"});
    }
    void searchOnTheLoadedRows()
    {
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, surnames);
        TestEnv env;
        addPeople(env);
        addPerson(env, "Nowakowski", "Kow"); // "kow" only further on in the surname
        const int obrien = addPerson(env, "O'Brien", "Sean");
        addStay(env, obrien, 5, "8", "2026-07-01", "2026-07-02", true);
        RowSet set;
        openArchive(set, archiveStatement(ArchiveKind::AllPersons, {}, {}, "Nazwisko"));
        const std::optional<QString> error = set.setFilter(archiveSearch(boxes));
        if (surnames == QStringList({"!"})) {
            QVERIFY(error.has_value());
            return;
        }
        QVERIFY2(!error, qPrintable(error.value_or(QString())));
        QStringList got;
        for (int r = 0; r < set.rowCount(); ++r)
            got << set.value(r, "Nazwisko").toString();
        QCOMPARE(got, surnames);
    }
};
REZYDO_TEST(TestPersonArchive);

#include "test_person_archive.moc"
