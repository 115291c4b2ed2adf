#include "tests/workstations/workstations_fixture.h"

#include "db/engine.h"
#include "db/sql.h"

#include <QDate>
#include <QFile>
#include <QMap>
#include <QSqlError>
#include <QUuid>

QList<JournalLine> readJournal(const QString& path, const QString& desk)
{
    QList<JournalLine> out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return out;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QStringList parts = QString::fromUtf8(raw).split(QLatin1Char('\t'));
        if (parts.size() < 4)
            continue; // the last line of a killed desk may be cut short
        JournalLine line{desk, parts[0], {}, parts[2], parts[3]};
        for (const QString& pair : parts[1].split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const qsizetype at = pair.indexOf(QLatin1Char('='));
            line.ids.insert(pair.left(at), pair.mid(at + 1));
        }
        out.append(line);
    }
    return out;
}

QString deskDatabase(TestEnv& env)
{
    const std::optional<ServerAddress> server = configuredServer();
    return server ? server->text() : env.databaseFile();
}

std::unique_ptr<Desk> startDesk(TestEnv& env, const QString& name, int seed, int seconds,
                                const QStringList& extra)
{
    auto desk = std::make_unique<Desk>();
    desk->name = name;
    desk->journal = env.path(name + QStringLiteral(".journal"));
    desk->process = std::make_unique<QProcess>();
    desk->process->start(QStringLiteral(REZYDO_WORKSTATION),
                         QStringList{deskDatabase(env), QStringLiteral("--seed"),
                                     QString::number(seed), QStringLiteral("--seconds"),
                                     QString::number(seconds), QStringLiteral("--journal"),
                                     desk->journal, QStringLiteral("--name"), name} +
                             extra);
    return desk;
}

bool finishDesk(Desk& desk, QString* why)
{
    QProcess& p = *desk.process;
    if (!p.waitForStarted(10000) || !p.waitForFinished(120000)) {
        *why = desk.name + QStringLiteral(": ") + p.errorString();
        return false;
    }
    const QString err = QString::fromLocal8Bit(p.readAllStandardError());
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0 || !err.isEmpty()) {
        *why = QStringLiteral("%1 ended with %2: %3").arg(desk.name).arg(p.exitCode()).arg(err);
        return false;
    }
    return true;
}

QStringList overbookedNights(QSqlDatabase db)
{
    QMap<QPair<QString, QDate>, int> taken;
    QHash<QString, int> beds;
    QSqlQuery q = runSql(db, QStringLiteral("SELECT Nr_pokoju, Miejsc, Miejsc1, Od, \"Do\" "
                                            "FROM Miejsca"));
    while (q.next()) {
        const QString room = q.value(0).toString().toLower();
        beds.insert(room, q.value(1).toInt());
        const QDate to = dayFromValue(q.value(4));
        for (QDate night = dayFromValue(q.value(3)); night < to; night = night.addDays(1))
            taken[{room, night}] += q.value(2).toInt();
    }
    QStringList out;
    for (auto it = taken.cbegin(); it != taken.cend(); ++it)
        if (it.value() > beds.value(it.key().first))
            out << QStringLiteral("%1 %2 %3/%4")
                       .arg(it.key().first, it.key().second.toString(Qt::ISODate))
                       .arg(it.value())
                       .arg(beds.value(it.key().first));
    return out;
}

OtherDesk::OtherDesk(TestEnv& env, int busyMs)
    : m_name(QStringLiteral("desk-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    if (const std::optional<ServerAddress> server = configuredServer()) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
        openServerConnection(db, *server);
        // A desk on the server waits for a row another one holds as long.
        runSql(db, QStringLiteral("SET lock_timeout = %1").arg(busyMs));
        return;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(env.databaseFile());
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyMs));
    db.open();
}

OtherDesk::~OtherDesk()
{
    QSqlDatabase::database(m_name, false).close();
    QSqlDatabase::removeDatabase(m_name);
}

QString OtherDesk::write(const QString& sql, const QVariantList& values)
{
    QSqlDatabase db = QSqlDatabase::database(m_name, false);
    QSqlQuery q(db);
    if (!q.exec(engineOf(db) == Engine::Server
                    ? QStringLiteral("BEGIN ISOLATION LEVEL SERIALIZABLE")
                    : QStringLiteral("BEGIN IMMEDIATE")))
        return q.lastError().text();
    QSqlQuery statement(db);
    statement.prepare(sql);
    for (const QVariant& v : values)
        statement.addBindValue(v);
    if (!statement.exec() || !q.exec(QStringLiteral("COMMIT"))) {
        const QString why =
            statement.lastError().isValid() ? statement.lastError().text() : q.lastError().text();
        q.exec(QStringLiteral("ROLLBACK"));
        return why;
    }
    return {};
}

ScopedWaitingPrompter::ScopedWaitingPrompter()
{
    auto p = std::make_unique<WaitingPrompter>();
    m_prompter = p.get();
    m_previous = installPrompter(std::move(p));
}

ScopedWaitingPrompter::~ScopedWaitingPrompter()
{
    installPrompter(std::move(m_previous));
}

bool WaitingPrompter::ask(const QString& text, const QString& caption, bool)
{
    shown << caption + QLatin1Char('|') + text;
    if (meanwhile)
        meanwhile();
    if (answers.empty())
        return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

void WaitingPrompter::message(const QString& text, const QString& caption, Icon)
{
    shown << caption + QLatin1Char('|') + text;
    if (meanwhile)
        meanwhile();
}
