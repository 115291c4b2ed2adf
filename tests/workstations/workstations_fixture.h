#pragma once

#include "core/prompter.h"
#include "tests/support/test_env.h"

#include <QHash>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
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
// What a desk is started on: the test's database file or its server text.
QString deskDatabase(TestEnv& env);
std::unique_ptr<Desk> startDesk(TestEnv& env, const QString& name, int seed, int seconds,
                                const QStringList& extra = {});
// Waits for the desk to end; false (with the reason in `why`) when it failed.
bool finishDesk(Desk& desk, QString* why);

// Beds taken above the room's beds on some night by the stored room lines of
// all groups: "room day taken/beds" texts.
QStringList overbookedNights(QSqlDatabase db);

// Another workstation's own connection to the same file, which waits at most
// `busyMs` for a lock as the program would wait its busy timeout.
class OtherDesk {
public:
    // Another connection to the test's database: the file (waiting up to
    // `busyMs` for its lock) or the server.
    OtherDesk(TestEnv& env, int busyMs);
    ~OtherDesk();
    OtherDesk(const OtherDesk&) = delete;
    OtherDesk& operator=(const OtherDesk&) = delete;
    // One statement in a write transaction of its own: empty when it was
    // committed, else the engine's message.
    QString write(const QString& sql, const QVariantList& values = {});

private:
    QString m_name;
};

// The receptionist of the desk under test: answers questions from a queue and,
// while each box is on the screen, runs `meanwhile` (what the other desks do
// in that time).
class WaitingPrompter final : public Prompter {
public:
    std::deque<bool> answers;
    std::function<void()> meanwhile;
    QStringList shown; // "caption|text" of every box, questions too

    bool ask(const QString& text, const QString& caption, bool defaultYes) override;
    void message(const QString& text, const QString& caption, Icon icon) override;
    std::optional<QString> inputText(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    QString openFile(const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QString saveFile(const QString&, const QString&, const QString&, const QString&, const QString&,
                     Existing) override
    {
        return {};
    }
};

// Installs a fresh WaitingPrompter for its lifetime, then puts the previous one back.
class ScopedWaitingPrompter {
public:
    ScopedWaitingPrompter();
    ~ScopedWaitingPrompter();
    ScopedWaitingPrompter(const ScopedWaitingPrompter&) = delete;
    ScopedWaitingPrompter& operator=(const ScopedWaitingPrompter&) = delete;
    WaitingPrompter* operator->() { return m_prompter; }

private:
    WaitingPrompter* m_prompter;
    std::unique_ptr<Prompter> m_previous;
};
