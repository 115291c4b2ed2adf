#include "db/sql.h"
#include "register/bed_slots.h"
#include "register/person_record.h"
#include "tests/register/register_fixture.h"
#include "tests/support/test_registry.h"

#include <QTest>

namespace {
// "101 07-15..07-18" per slot, so a table row reads like the room list.
QStringList slotTexts(const BedSlotList& list)
{
    QStringList out;
    for (const TKwaterunek& s : list.beds)
        out << s.Nr_pokoju + QLatin1Char(' ') + s.Od.toString("MM-dd") + ".." +
                   s.Do.toString("MM-dd");
    return out;
}

void completeFirst(TestEnv& env, int group, int count)
{
    const std::vector<int> persons = personsOf(env, group);
    for (int i = 0; i < count; ++i)
        env.exec("UPDATE Ksiazka SET Pelne_dane = 1 WHERE Identyfikator_o = ?",
                 {persons[static_cast<size_t>(i)]});
}

QString entryRow(TestEnv& env, int group, int person)
{
    return env
        .rows("SELECT Nr_pokoju, Od, \"Do\", Pelne_dane, ID_Panstwo FROM Ksiazka "
              "WHERE Identyfikator_g = ? AND Identyfikator_o = ?",
              {group, person})
        .value(0);
}

} // namespace

Q_DECLARE_METATYPE(std::vector<Line>)

class TestRegisterLogic : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bedSlots_data()
    {
        QTest::addColumn<std::vector<Line>>("lines");
        QTest::addColumn<int>("persons");
        QTest::addColumn<int>("complete"); // the first entries already complete
        QTest::addColumn<int>("own");      // entry being loaded, -1 for none
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("selected");

        const QString a = "101 07-15..07-18", b = "102 07-15..07-18";
        QTest::newRow("fresh from check-in: every bed, own bed selected")
            << kTwoRooms << 3 << 0 << 0 << QStringList{a, a, b} << 1;
        QTest::newRow("one bed fewer after the first is complete")
            << kTwoRooms << 3 << 1 << 1 << QStringList{a, b} << 0;
        QTest::newRow("a complete entry gets its own bed appended")
            << kTwoRooms << 3 << 1 << 0 << QStringList{a, b, a} << 2;
        QTest::newRow("a full line offers no bed")
            << kTwoRooms << 3 << 2 << -1 << QStringList{b} << -1;
        QTest::newRow("an entry without a room selects nothing")
            << kTwoRooms << 4 << 0 << 3 << QStringList{a, a, b} << -1;
        QTest::newRow("same room and dates are one line, beds summed")
            << std::vector<Line>{{"101", "2026-07-15", "2026-07-18", 1},
                                 {"102", "2026-07-15", "2026-07-18", 1},
                                 {"101", "2026-07-15", "2026-07-18", 1}}
            << 3 << 1 << -1 << QStringList{a, b} << -1;
        QTest::newRow("same room on other dates is another line")
            << std::vector<Line>{{"101", "2026-07-15", "2026-07-18", 1},
                                 {"101", "2026-07-18", "2026-07-20", 1}}
            << 2 << 1 << -1 << QStringList{"101 07-18..07-20"} << -1;
    }
    void bedSlots()
    {
        QFETCH(std::vector<Line>, lines);
        QFETCH(int, persons);
        QFETCH(int, complete);
        QFETCH(int, own);
        TestEnv env;
        const int group = freshGroup(env, lines, persons);
        completeFirst(env, group, complete);
        std::optional<EntryPlace> place;
        if (own >= 0)
            place = loadEntry(env.db(), group, personsOf(env, group)[static_cast<size_t>(own)]);
        const BedSlotList list = buildBedSlots(env.db(), group, place);
        QTEST(slotTexts(list), "expected");
        QTEST(list.selected, "selected");
    }

    void saveEntry_data()
    {
        QTest::addColumn<QString>("room");
        QTest::addColumn<bool>("chooseSlot");
        QTest::addColumn<QString>("entry");
        QTest::newRow("no slot keeps room and dates, entry complete")
            << "101" << false << "101|2026-07-15|2026-07-18|1|1";
        QTest::newRow("no slot and no room stays incomplete")
            << "" << false << "|2026-07-15|2026-07-18|0|1";
        QTest::newRow("a chosen slot moves the entry")
            << "" << true << "102|2026-07-16|2026-07-19|1|1";
    }
    void saveEntry()
    {
        QFETCH(QString, room);
        QFETCH(bool, chooseSlot);
        TestEnv env;
        const int group = freshGroup(env, {{"102", "2026-07-16", "2026-07-19", 1}}, 0);
        env.exec("INSERT INTO Arch_os(ID_Panstwo) VALUES (1)");
        const int person = env.scalar("SELECT max(Identyfikator_o) FROM Arch_os").toInt();
        env.exec("INSERT INTO Ksiazka(Identyfikator_g, Identyfikator_o, Od, \"Do\", Nr_pokoju) "
                 "VALUES (?, ?, '2026-07-15', '2026-07-18', ?)",
                 {group, person, room});
        PersonSave save{group, person, false, std::nullopt, {}};
        if (chooseSlot)
            save.slot = buildBedSlots(env.db(), group).beds.at(0);
        QCOMPARE(savePerson(env.db(), save), person);
        QTEST(entryRow(env, group, person), "entry");
    }

    // A refusal of the person record comes after the register entry was
    // written (and in add mode after both rows were appended): none of it stays.
    void failedSaveLeavesNothing_data()
    {
        QTest::addColumn<bool>("addMode");
        QTest::newRow("add mode") << true;
        QTest::newRow("edit mode") << false;
    }
    void failedSaveLeavesNothing()
    {
        QFETCH(bool, addMode);
        TestEnv env;
        const int group = freshGroup(env, kTwoRooms, 1);
        const int person = personsOf(env, group).front();
        const QStringList before =
            env.rows("SELECT * FROM Ksiazka") + env.rows("SELECT * FROM Arch_os");
        PersonFields fields;
        fields.Nazwisko = QString(31, QLatin1Char('x'));
        fields.ID_Panstwo = 2;
        const PersonSave save{group, person, addMode, buildBedSlots(env.db(), group).beds.at(2),
                              fields};
        QVERIFY_THROWS_EXCEPTION(DbError, savePerson(env.db(), save));
        QCOMPARE(env.rows("SELECT * FROM Ksiazka") + env.rows("SELECT * FROM Arch_os"), before);
    }
};

REZYDO_TEST(TestRegisterLogic);
#include "test_register_logic.moc"
