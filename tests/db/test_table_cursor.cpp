#include "core/error.h"
#include "db/data_module.h"
#include "db/sql.h"
#include "db/table_cursor.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QSignalSpy>
#include <QTest>

class TestTableCursor : public QObject {
    Q_OBJECT

    static void addRooms(TestEnv& env)
    {
        env.exec("insert into Pokoje(Nr_Pokoju,Miejsc,Typ,Opis) values ('2',2,'A','(2)')");
        env.exec("insert into Pokoje(Nr_Pokoju,Miejsc,Typ,Opis) values ('10',3,'B','(2+1)')");
    }

private Q_SLOTS:
    void init()
    {
        if (TestEnv::onServer())
            QSKIP("its statements are written for the file's engine");
    }
    void opensInStoredOrder()
    {
        TestEnv env;
        addRooms(env);
        TableCursor& rooms = env.data().rooms();
        QVERIFY(!rooms.isOpen());
        rooms.open();
        QCOMPARE(rooms.state(), TableCursor::State::Browse);
        QCOMPARE(rooms.columns(), QStringList({"Nr_Pokoju", "Miejsc", "Typ", "Opis", "Caly_rok"}));
        QCOMPARE(rooms.rowCount(), 2);
        QCOMPARE(rooms.value(0, "nr_pokoju").toString(), QString("2")); // stored, not sorted
        QCOMPARE(rooms.value(1, "Nr_Pokoju").toString(), QString("10"));
        QCOMPARE(rooms.current(), 0);
    }

    void insertPostAndStates()
    {
        TestEnv env;
        TableCursor& rooms = env.data().rooms();
        rooms.open();
        QSignalSpy states(&rooms, &TableCursor::stateChanged);
        rooms.insert();
        QCOMPARE(rooms.state(), TableCursor::State::Insert);
        rooms.setValue("Nr_Pokoju", "7");
        rooms.setValue("Miejsc", 2);
        rooms.post();
        QCOMPARE(rooms.state(), TableCursor::State::Browse);
        QCOMPARE(states.size(), 2);
        QCOMPARE(env.rows("select Nr_Pokoju, Miejsc, Typ from Pokoje"), QStringList({"7|2|"}));
        // Edit through setValue starts an edit by itself.
        rooms.setValue("Opis", "(1+1)");
        QCOMPARE(rooms.state(), TableCursor::State::Edit);
        QCOMPARE(rooms.value("Opis").toString(), QString("(1+1)"));
        rooms.cancel();
        QCOMPARE(rooms.value("Opis").toString(), QString(""));
        rooms.setValue("Opis", "(2)");
        rooms.post();
        QCOMPARE(env.scalar("select Opis from Pokoje").toString(), QString("(2)"));
    }

    void refusedPostKeepsStateAndRow_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("room number too long") << "Nr_Pokoju" << QVariant("1234567890");
        QTest::newRow("duplicate room number") << "Nr_Pokoju" << QVariant("2");
        QTest::newRow("beds not a whole number") << "Miejsc" << QVariant("abc");
    }
    void refusedPostKeepsStateAndRow()
    {
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        TestEnv env;
        addRooms(env);
        TableCursor& rooms = env.data().rooms();
        rooms.open();
        rooms.insert();
        rooms.setValue("Nr_Pokoju", "5");
        rooms.setValue(column, value);
        QVERIFY_THROWS_EXCEPTION(DbError, rooms.post());
        QCOMPARE(rooms.state(), TableCursor::State::Insert);
        QCOMPARE(rooms.value(column), value);
        QCOMPARE(env.scalar("select count(*) from Pokoje").toInt(), 2);
        rooms.cancel();
        QCOMPARE(rooms.rowCount(), 2);
        QCOMPARE(rooms.state(), TableCursor::State::Browse);
    }

    void removeAndMoving()
    {
        TestEnv env;
        addRooms(env);
        TableCursor& rooms = env.data().rooms();
        rooms.open();
        rooms.setCurrent(1);
        rooms.remove();
        QCOMPARE(env.rows("select Nr_Pokoju from Pokoje"), QStringList({"2"}));
        QCOMPARE(rooms.current(), 0);
        // Moving away from a pending edit posts it, as a data-aware form does.
        env.exec("insert into Pokoje(Nr_Pokoju,Miejsc) values ('3',1)");
        rooms.refresh();
        rooms.setValue("Typ", "C");
        rooms.setCurrent(1);
        QCOMPARE(env.scalar("select Typ from Pokoje where Nr_Pokoju='2'").toString(), QString("C"));
    }

    void readOnlyDatabaseRefusesAndReports()
    {
        TestEnv env;
        TableCursor& config = env.data().config();
        config.open();
        QCOMPARE(config.rowCount(), 1);
        env.exec("PRAGMA query_only=1");
        config.setValue("Nazwa", "Hotel");
        QVERIFY_THROWS_EXCEPTION(DbError, config.post());
        QCOMPARE(config.state(), TableCursor::State::Edit);
        env.exec("PRAGMA query_only=0");
        config.post();
        QCOMPARE(env.scalar("select Nazwa from Config").toString(), QString("Hotel"));
    }
};

REZYDO_TEST(TestTableCursor);
#include "test_table_cursor.moc"
