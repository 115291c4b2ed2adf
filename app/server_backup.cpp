#include "app/server_backup.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <algorithm>

namespace {
constexpr int kStartMs = 10000;

ServerToolResult run(const QString& program, const QStringList& arguments, const QString& password)
{
    const QString path = postgresProgram(program);
    if (path.isEmpty())
        return {false, QStringLiteral("nie znaleziono programu %1").arg(program)};
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!password.isEmpty())
        environment.insert(QStringLiteral("PGPASSWORD"), password);
    // Never a question on a terminal nobody watches; never a wait without end
    // for a table another workstation holds.
    environment.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("10"));
    environment.insert(QStringLiteral("PGOPTIONS"), QStringLiteral("-c lock_timeout=10000"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(path, arguments);
    if (!process.waitForStarted(kStartMs))
        return {false, process.errorString()};
    process.closeWriteChannel();
    process.waitForFinished(-1);
    const QString said = QString::fromLocal8Bit(process.readAll()).trimmed();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {false, said.isEmpty() ? process.errorString() : said};
    return {true, said};
}
} // namespace

QString postgresProgram(const QString& name)
{
    const QString onPath = QStandardPaths::findExecutable(name);
    if (!onPath.isEmpty())
        return onPath;
    // Debian keeps each version's programs under /usr/lib/postgresql/N/bin.
    QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QStringList found = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(found.begin(), found.end(),
              [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
    for (const QString& version : std::as_const(found)) {
        const QString path = versions.filePath(version + QStringLiteral("/bin/") + name);
        if (QFileInfo(path).isExecutable())
            return path;
    }
    return {};
}

ServerToolResult dumpServerDatabase(const QString& connection, const QString& password,
                                    const QString& file)
{
    return run(QStringLiteral("pg_dump"),
               {QStringLiteral("--format=custom"), QStringLiteral("--no-owner"),
                QStringLiteral("--no-privileges"), QStringLiteral("--no-password"),
                QStringLiteral("--file=") + file, QStringLiteral("--dbname=") + connection},
               password);
}

ServerToolResult restoreServerDatabase(const QString& connection, const QString& password,
                                       const QString& file)
{
    return run(QStringLiteral("pg_restore"),
               {QStringLiteral("--clean"), QStringLiteral("--if-exists"),
                QStringLiteral("--no-owner"), QStringLiteral("--no-privileges"),
                QStringLiteral("--single-transaction"), QStringLiteral("--exit-on-error"),
                QStringLiteral("--no-password"), QStringLiteral("--dbname=") + connection, file},
               password);
}

bool isServerCopy(const QString& file)
{
    // Its table of contents names the program's own record of the schema.
    const ServerToolResult listed =
        run(QStringLiteral("pg_restore"), {QStringLiteral("--list"), file}, QString());
    return listed.ok && listed.details.contains(QLatin1String(" rezydo_schemat "));
}
