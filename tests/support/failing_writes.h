#pragma once

#include "db/engine.h"
#include "db/sql.h"
#include "tests/support/test_env.h"

// Triggers that make a write fail, on either engine. `event` is INSERT,
// UPDATE, UPDATE OF column or DELETE; `condition` (NEW./OLD. columns, empty:
// always) limits the rows.
namespace failing_writes {
inline QString triggerName(const QString& prefix, const QString& event, const QString& table)
{
    return prefix + QLatin1Char('_') + table.toLower() + QLatin1Char('_') +
           event.section(QLatin1Char(' '), 0, 0).toLower();
}

inline void serverTrigger(TestEnv& env, const QString& name, const QString& event,
                          const QString& table, const QString& condition, const QString& code,
                          const QString& message)
{
    QString quoted = message;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    runSql(env.db(), QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS $f$ "
                                    "BEGIN RAISE EXCEPTION USING ERRCODE = '%2', MESSAGE = '%3'; "
                                    "END $f$")
                         .arg(name, code, quoted));
    runSql(env.db(),
           QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW %4 "
                          "EXECUTE FUNCTION %1()")
               .arg(name, event, table,
                    condition.isEmpty() ? QString() : QStringLiteral("WHEN (%1)").arg(condition)));
}
} // namespace failing_writes

// The database refuses the row with `message`, as a constraint would: the
// engine reports a refusal (SQLITE_CONSTRAINT, SQLSTATE class 23).
inline void refuseWrites(TestEnv& env, const QString& event, const QString& table,
                         const QString& message, const QString& condition = {})
{
    const QString name = failing_writes::triggerName(QStringLiteral("odmowa"), event, table);
    if (!TestEnv::onServer()) {
        QString quoted = message;
        quoted.replace(QLatin1Char('\''), QLatin1String("''"));
        runSql(env.db(),
               QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 %4 BEGIN SELECT "
                              "RAISE(ABORT, '%5'); END")
                   .arg(name, event, table,
                        condition.isEmpty() ? QString() : QStringLiteral("WHEN ") + condition,
                        quoted));
        return;
    }
    failing_writes::serverTrigger(env, name, event, table, condition, QStringLiteral("23000"),
                                  message);
}

// The write fails with a fault that is not a refusal (a table missing).
inline void breakWrites(TestEnv& env, const QString& event, const QString& table)
{
    const QString name = failing_writes::triggerName(QStringLiteral("awaria"), event, table);
    if (!TestEnv::onServer()) {
        runSql(env.db(), QStringLiteral("CREATE TEMP TRIGGER %1 BEFORE %2 ON main.%3 BEGIN "
                                        "INSERT INTO brak VALUES (1); END")
                             .arg(name, event, table));
        return;
    }
    failing_writes::serverTrigger(env, name, event, table, QString(), QStringLiteral("42P01"),
                                  QStringLiteral("no such table: brak"));
}
