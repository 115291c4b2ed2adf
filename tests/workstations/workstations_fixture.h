#pragma once

#include "tests/support/test_env.h"

#include <QHash>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

// One line of a desk's journal: "kind TAB k=v,... TAB outcome TAB text".
struct JournalLine {
    QString desk;
    QString kind;
    QHash<QString, QString> ids;
    QString outcome;
    QString text;

    int id(const char* key) const { return ids.value(QString::fromLatin1(key)).toInt(); }
    bool ok() const { return outcome == QLatin1String("ok"); }
};

QList<JournalLine> readJournal(const QString& path, const QString& desk);

// A desk started on the test's database: rezydo-workstation with its journal
// in the test's folder.
struct Desk {
    QString name;
    QString journal;
    std::unique_ptr<QProcess> process;
};
std::unique_ptr<Desk> startDesk(TestEnv& env, const QString& name, int seed, int seconds,
                                const QStringList& extra = {});
// Waits for the desk to end; false (with the reason in `why`) when it failed.
bool finishDesk(Desk& desk, QString* why);

// Beds taken above the room's beds on some night by the stored room lines of
// all groups: "room day taken/beds" texts.
QStringList overbookedNights(QSqlDatabase db);
