#pragma once

#include "core/money.h"
#include "db/sql.h"
#include "tests/support/test_env.h"

#include <QString>

// Rows a checked-in group leaves behind, written straight into the tables.
namespace billing_fixture {

inline qlonglong units(const char* amount)
{
    return Money::parse(QString::fromUtf8(amount)).value().units();
}

inline void addRoom(TestEnv& env, const QString& number, int beds, const QString& type)
{
    env.exec(QStringLiteral("INSERT INTO Pokoje (Nr_Pokoju, Miejsc, Typ) VALUES (?, ?, ?)"),
             {number, beds, type});
}

// The price list keeps the "next night" prices equal to the first ones.
inline void addPrice(TestEnv& env, const QString& type, const char* bed, const char* room)
{
    env.exec(QStringLiteral("INSERT INTO Cennik (Typ, Cena1, Cena2, Cena3, Cena4) "
                            "VALUES (?, ?, ?, ?, ?)"),
             {type, units(bed), units(bed), units(room), units(room)});
}

inline int addGroup(TestEnv& env, const QString& name, int persons, const QString& from,
                    const QString& to, const QString& notes = {})
{
    env.exec(QStringLiteral("INSERT INTO Kwat_hot (Nazwa, Osob, Od, \"Do\", Notatki) "
                            "VALUES (?, ?, ?, ?, ?)"),
             {name, persons, from, to, notes});
    return env.scalar(QStringLiteral("SELECT max(Identyfikator) FROM Kwat_hot")).toInt();
}

inline void addRoomLine(TestEnv& env, int group, const QString& room, const QString& from,
                        const QString& to, int beds)
{
    env.exec(QStringLiteral("INSERT INTO Kwat_msc (Identyfikator, Nr_pokoju, Od, \"Do\", Miejsc) "
                            "VALUES (?, ?, ?, ?, ?)"),
             {group, room, from, to, beds});
}

// A calculation written directly: header and one line per gross amount.
inline void addCalculation(TestEnv& env, int group, const QList<qlonglong>& lineGross,
                           const QString& vat = QStringLiteral("7"))
{
    qlonglong sum = 0;
    for (qlonglong g : lineGross) {
        env.exec(QStringLiteral("INSERT INTO Kalk_det (Identyfikator, Nr_pokoju, Oplata1, "
                                "Oplata2, Dni, VAT, Podatek, Brutto) VALUES (?, '1', ?, ?, 1, ?, "
                                "0, ?)"),
                 {group, g, g, vat, g});
        sum += g;
    }
    env.exec(QStringLiteral("INSERT INTO Kalk (Identyfikator, VAT, Brutto, Podatek) "
                            "VALUES (?, ?, ?, 0)"),
             {group, vat, sum});
}

// Everything billing writes, to show that a refused operation left it as it was.
inline QStringList billingTables(TestEnv& env)
{
    return env.rows(QStringLiteral("SELECT * FROM Kalk ORDER BY Identyfikator")) +
           env.rows(QStringLiteral("SELECT * FROM Kalk_det ORDER BY \"No\"")) +
           env.rows(QStringLiteral("SELECT * FROM Kwit ORDER BY ID"));
}

// A trigger `name` on the writes `event` names ("BEFORE UPDATE OF rozl ON
// Kalk"), only on rows meeting `when` (a condition on NEW) where given, that
// runs `action`: on the file a trigger body, on the server a PL/pgSQL one
// (a function of the same name ending with RETURN NEW).
inline void addTrigger(TestEnv& env, const QString& name, const QString& event, const QString& when,
                       const QString& fileAction, const QString& serverAction)
{
    const QString condition = when.isEmpty() ? QString() : QStringLiteral(" WHEN (%1)").arg(when);
    if (!TestEnv::onServer()) {
        runSql(env.db(), QStringLiteral("CREATE TRIGGER %1 %2%3 BEGIN %4; END")
                             .arg(name, event, condition, fileAction));
        return;
    }
    runSql(env.db(), QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS "
                                    "$$BEGIN %2; RETURN NEW; END$$")
                         .arg(name, serverAction));
    runSql(env.db(), QStringLiteral("CREATE TRIGGER %1 %2 FOR EACH ROW%3 EXECUTE FUNCTION %1()")
                         .arg(name, event, condition));
}

// The database refuses the writes `event` names with `message`.
inline void refuseWrites(TestEnv& env, const QString& event, const QString& when = {},
                         const QString& message = QStringLiteral("odmowa"))
{
    addTrigger(env, QStringLiteral("odmowa"), event, when,
               QStringLiteral("SELECT RAISE(ABORT, '%1')").arg(message),
               QStringLiteral("RAISE EXCEPTION '%1'").arg(message));
}

inline void allowWrites(TestEnv& env, const QString& table)
{
    runSql(env.db(), TestEnv::onServer() ? QStringLiteral("DROP TRIGGER odmowa ON %1").arg(table)
                                         : QStringLiteral("DROP TRIGGER odmowa"));
}

// The engine's words for a write refused by a CHECK of the schema.
inline bool refusedByCheck(const QString& message)
{
    return message.contains(TestEnv::onServer() ? QStringLiteral("violates check constraint")
                                                : QStringLiteral("CHECK"));
}

} // namespace billing_fixture
