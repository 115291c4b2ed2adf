#include "app/database_choice.h"

#include "core/error.h"
#include "core/program_dir.h"
#include "core/prompter.h"
#include "core/settings.h"
#include "db/data_module.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

// Open dialogs match the name in any letter case (Baza.mdb, BAZA.MDB).
const QString kDatabaseFileFilter = QStringLiteral("Pliki bazy danych (baza.mdb)");

QString databaseDirectoryOf(const QString& chosenFile)
{
    const QString file = QDir::fromNativeSeparators(chosenFile);
    QString dir = file.left(std::max<qsizetype>(file.lastIndexOf(QLatin1Char('/')), 0));
    while (dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    if (dir.isEmpty() && file.startsWith(QLatin1Char('/')))
        dir = QStringLiteral("/"); // the root keeps its one separator
    return QDir::toNativeSeparators(dir);
}

void chooseDatabase()
{
    // While SerwerBazy names a server, the folder of the file is not used.
    const std::optional<QString> server = readSetting(QStringLiteral("SerwerBazy"));
    if (server && !server->trimmed().isEmpty()) {
        prompter().inform(QStringLiteral("Baza danych jest na serwerze (ustawienie SerwerBazy: "
                                         "%1). Plik bazy wybiera się dopiero wtedy, gdy to "
                                         "ustawienie jest puste.")
                              .arg(*server),
                          QStringLiteral("Zmiana bazy"));
        return;
    }
    const std::optional<QString> setting = readSetting(QStringLiteral("KatalogBazy"));
    const QString old = setting && !setting->isEmpty()
                            ? *setting
                            : QDir(programDirectory()).filePath(QStringLiteral("Baza"));
    const QString chosen = prompter().openFile(QStringLiteral("Wybierz bazę danych"),
                                               QDir(old).filePath(QStringLiteral("Baza.mdb")),
                                               kDatabaseFileFilter, QStringLiteral("mdb"));
    if (chosen.isEmpty())
        return;

    // Only the folder is kept: the program always opens Baza.mdb in it.
    const QString dir = databaseDirectoryOf(chosen);
    bool written = false;
    try {
        dataModule().closeConnection();
        written = writeSetting(QStringLiteral("KatalogBazy"), dir);
        if (!written)
            throw RezydoError(QStringLiteral("KatalogBazy"));
        dataModule().openConnection();
    } catch (const RezydoError&) {
        // Most often the folder holds no usable database. The old folder comes
        // back without a word; only its own failure reaches the user. A value
        // that could not be saved is said, or the user would believe it was.
        dataModule().closeConnection();
        if (written)
            writeSetting(QStringLiteral("KatalogBazy"), old);
        else
            prompter().error(settingsNotSavedText({QStringLiteral("KatalogBazy")}),
                             QStringLiteral("Zmiana bazy"));
        dataModule().openConnection();
        return;
    }
    // The user's own settings file wins over the machine's: the new folder is
    // then stored but not in use, and saying it changed would be untrue.
    const QString inUse = QFileInfo(dataModule().openFile()).absolutePath();
    if (QDir::cleanPath(inUse) != QDir::cleanPath(QFileInfo(dir).absoluteFilePath())) {
        prompter().warn(
            userSettingHidesText(QStringLiteral("KatalogBazy"), QDir::toNativeSeparators(inUse)),
            QStringLiteral("Zmiana bazy"));
        return;
    }
    prompter().message(QStringLiteral("Nowa lokalizacja bazy danych '") + dir + QLatin1Char('\''),
                       QStringLiteral("Zmiana bazy"), Prompter::Icon::None);
}
