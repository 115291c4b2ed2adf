#include "core/error.h"
#include "db/row_set.h"
#include "db/sql.h"
#include "register/bed_slots.h"
#include "register/register_browse.h"
#include "tests/register/browse_fixture.h"
#include "tests/support/failing_writes.h"
#include "tests/support/polish_names.h"
#include "tests/support/test_registry.h"

#include <QTest>

namespace {
QStringList columnOf(const RowSet& rows, const char* column)
{
    QStringList out;
    for (int r = 0; r < rows.rowCount(); ++r)
        out << rows.text(r, rows.columnIndex(QString::fromLatin1(column)));
    return out;
}

RegisterQuery byDates(RegisterDisplay display, const char* from, const char* to)
{
    RegisterQuery q;
    q.display = display;
    q.from = QDate::fromString(QString::fromLatin1(from), Qt::ISODate);
    q.to = QDate::fromString(QString::fromLatin1(to), Qt::ISODate);
    q.order = QStringLiteral("Nazwisko");
    return q;
}
} // namespace

Q_DECLARE_METATYPE(RegisterQuery)
Q_DECLARE_METATYPE(RegisterSearch)

class TestRegisterBrowse : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void displayKinds_data()
    {
        QTest::addColumn<RegisterQuery>("query");
        QTest::addColumn<bool>("groupA");
        QTest::addColumn<QStringList>("surnames");
        using D = RegisterDisplay;
        QTest::newRow("all persons, inner joins only")
            << byDates(D::All, "2026-07-15", "2026-07-15") << false
            << QStringList{"", "Kowalczyk", "Kowalski", "Nowak", "Nowakowski", "O'Brien"};
        QTest::newRow("both days the same: the arrivals of that day")
            << byDates(D::AllByDates, "2026-07-15", "2026-07-15") << false
            << QStringList{"", "Kowalski", "Nowak"};
        QTest::newRow("both ends inclusive")
            << byDates(D::AllByDates, "2026-07-14", "2026-07-16") << false
            << QStringList{"", "Kowalczyk", "Kowalski", "Nowak", "Nowakowski"};
        QTest::newRow("full data: no empty surname or first name, whatever Pelne_dane")
            << byDates(D::CompleteByDates, "2026-07-14", "2026-07-17") << false
            << QStringList{"Kowalczyk", "Kowalski", "Nowakowski", "O'Brien"};
        QTest::newRow("one group") << byDates(D::All, "2026-07-15", "2026-07-15") << true
                                   << QStringList{"", "Kowalczyk", "Kowalski"};
    }
    void displayKinds()
    {
        QFETCH(RegisterQuery, query);
        QFETCH(bool, groupA);
        QFETCH(QStringList, surnames);
        TestEnv env;
        const Register reg = makeRegister(env);
        if (groupA)
            query.groupId = reg.a;
        RowSet rows;
        openRegisterList(rows, query);
        QCOMPARE(columnOf(rows, "Nazwisko"), surnames);
    }

    // The days sort by the entry's own, not by the group's.
    void sortKeys_data()
    {
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("initial: newest group first")
            << kRegisterInitialOrder << "Nazwa"
            << QStringList{"Nowakowie", "Nowakowie", "Nowakowie",
                           "Kowalscy",  "Kowalscy",  "Kowalscy"};
        QTest::newRow("initial: a group's entries as they were written")
            << kRegisterInitialOrder << "Nazwisko"
            << QStringList{"Nowakowski", "Nowak", "O'Brien", "Kowalski", "Kowalczyk", ""};
        QTest::newRow("no key: the entries as they were written")
            << QString() << "Nazwisko"
            << QStringList{"Kowalski", "Kowalczyk", "", "Nowakowski", "Nowak", "O'Brien"};
        QTest::newRow("Od") << "Od"
                            << "Od" << QStringList{"2026-07-14", "2026-07-15", "2026-07-15",
                                                   "2026-07-15", "2026-07-16", "2026-07-17"};
        QTest::newRow("Do desc") << "Do desc"
                                 << "Do" << QStringList{"2026-07-20", "2026-07-19", "2026-07-19",
                                                        "2026-07-18", "2026-07-18", "2026-07-17"};
        QTest::newRow("room numbers as text")
            << "Nr_pokoju"
            << "Nr_pokoju" << QStringList{"101", "102", "103", "12", "201", "21"};
    }
    void sortKeys()
    {
        QFETCH(QString, order);
        QFETCH(QString, column);
        QFETCH(QStringList, expected);
        TestEnv env;
        const Register reg = makeRegister(env);
        // A corrected entry keeps its place among the entries equal on the key.
        env.exec("UPDATE Ksiazka SET Pelne_dane = 1 WHERE Identyfikator_o = ?", {reg.kowalski});
        RowSet rows;
        RegisterQuery query;
        query.order = order;
        openRegisterList(rows, query);
        QCOMPARE(columnOf(rows, column.toLatin1().constData()), expected);
    }

    // Group names, surnames and first names in Polish alphabetical order,
    // rooms as text, in the whole register and in the arrivals of some days.
    void sortedInPolishOrder_data()
    {
        QTest::addColumn<QString>("order");
        QTest::addColumn<bool>("dates");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QStringList>("expected"); // runs of equal values
        QTest::newRow("surname") << "Nazwisko" << false << "Nazwisko" << kNamesInPolishOrder;
        QTest::newRow("surname desc by dates")
            << "Nazwisko desc" << true << "Nazwisko" << reversed(kNamesInPolishOrder);
        QTest::newRow("first name") << "Imie" << false << "Imie" << kNamesInPolishOrder;
        QTest::newRow("group name") << "Nazwa" << true << "Nazwa" << kNamesInPolishOrder;
        QTest::newRow("room as text") << "Nr_pokoju" << false << "Nr_pokoju" << kRoomsInTextOrder;
    }
    void sortedInPolishOrder()
    {
        QFETCH(QString, order);
        QFETCH(bool, dates);
        QFETCH(QString, column);
        QFETCH(QStringList, expected);
        TestEnv env;
        const QStringList names = namesAsWritten();
        for (int i = 0; i < names.size(); ++i) {
            const int group =
                addGroup(env, names[i].toUtf8().constData(), "2026-07-10", "2026-07-12");
            addEntry(env, group, names[i], names[i],
                     kRoomsAsWritten[i % kRoomsAsWritten.size()].toLatin1().constData(),
                     "2026-07-10", "2026-07-12", 1);
        }
        RowSet rows;
        RegisterQuery query = byDates(dates ? RegisterDisplay::AllByDates : RegisterDisplay::All,
                                      "2026-07-01", "2026-07-31");
        query.order = order;
        openRegisterList(rows, query);
        QCOMPARE(rows.rowCount(), names.size());
        QCOMPARE(runs(columnOf(rows, column.toLatin1().constData())), expected);
    }

    void unknownSortKeyIsRefused_data()
    {
        QTest::addColumn<QString>("order");
        QTest::newRow("not a list field") << "Adres";
        QTest::newRow("a statement smuggled in") << "Nazwisko; DELETE FROM Ksiazka";
    }
    void unknownSortKeyIsRefused()
    {
        QFETCH(QString, order);
        QVERIFY_THROWS_EXCEPTION(RezydoError, registerOrderClause(order));
    }

    void search_data()
    {
        QTest::addColumn<RegisterSearch>("search");
        QTest::addColumn<QStringList>("surnames"); // {"error"} when refused
        auto s = [](QString group, QString surname, QString first, QString room, QString od,
                    QString to) { return RegisterSearch{group, surname, first, room, od, to}; };
        QTest::newRow("surname begins with, not contains")
            << s("", "Kow", "", "", "", "") << QStringList{"Kowalczyk", "Kowalski"};
        QTest::newRow("a quote typed is searched for")
            << s("", "O'B", "", "", "", "") << QStringList{"O'Brien"};
        QTest::newRow("group and first name joined with AND")
            << s("Nowak", "", "P", "", "", "") << QStringList{"Nowakowski"};
        QTest::newRow("room begins with")
            << s("", "", "", "1", "", "") << QStringList{"", "Kowalczyk", "Kowalski", "Nowak"};
        QTest::newRow("arrival day")
            << s("", "", "", "", "2026-07-15", "") << QStringList{"", "Kowalski", "Nowak"};
        QTest::newRow("departure and room")
            << s("", "", "", "2", "", "2026-07-19") << QStringList{"O'Brien"};
        QTest::newRow("a day not in yyyy-mm-dd")
            << s("", "", "", "", "15.07.2026", "") << QStringList{"error"};
        QTest::newRow("a quote in a day")
            << s("", "", "", "", "", "2026-07-19' OR 1=1") << QStringList{"error"};
    }
    void search()
    {
        QFETCH(RegisterSearch, search);
        QFETCH(QStringList, surnames);
        TestEnv env;
        makeRegister(env);
        RowSet rows;
        RegisterQuery query;
        query.order = QStringLiteral("Nazwisko");
        openRegisterList(rows, query);
        const std::optional<QString> error = rows.setFilter(registerSearchFilter(search));
        QCOMPARE(error ? QStringList{"error"} : columnOf(rows, "Nazwisko"), surnames);
    }

    // Taking a person out of a group frees the bed for the registration; the
    // person's record and entries in other groups stay.
    void removingFreesTheBed()
    {
        TestEnv env;
        const Register reg = makeRegister(env);
        env.exec("INSERT INTO Kwat_msc(Identyfikator, Nr_pokoju, Od, \"Do\", Miejsc, Jaki) "
                 "VALUES (?, '101', '2026-07-15', '2026-07-18', 2, 'K')",
                 {reg.a});
        env.exec("INSERT INTO Ksiazka(Identyfikator_g, Identyfikator_o, Nr_pokoju, Od, \"Do\", "
                 "Pelne_dane) VALUES (?, ?, '201', '2026-07-20', '2026-07-22', 1)",
                 {reg.b, reg.kowalski});
        QCOMPARE(buildBedSlots(env.db(), reg.a).beds.size(), size_t(1));
        removePersonFromGroup(env.db(), reg.a, reg.kowalski);
        QCOMPARE(buildBedSlots(env.db(), reg.a).beds.size(), size_t(2));
        QCOMPARE(env.rows("SELECT Identyfikator_g FROM Ksiazka WHERE Identyfikator_o = ?",
                          {reg.kowalski}),
                 QStringList{QString::number(reg.b)});
        QCOMPARE(env.rows("SELECT Nazwisko FROM Arch_os WHERE Identyfikator_o = ?", {reg.kowalski}),
                 QStringList{"Kowalski"});
    }

    void refusedRemovalKeepsTheEntry()
    {
        TestEnv env;
        const Register reg = makeRegister(env);
        refuseWrites(env, "DELETE", "Ksiazka", "odmowa usunięcia");
        QVERIFY_THROWS_EXCEPTION(DbError, removePersonFromGroup(env.db(), reg.a, reg.kowalski));
        QCOMPARE(
            env.scalar("SELECT count(*) FROM Ksiazka WHERE Identyfikator_o = ?", {reg.kowalski})
                .toInt(),
            1);
    }
};

REZYDO_TEST(TestRegisterBrowse);
#include "test_register_browse.moc"
