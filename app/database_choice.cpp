#include "app/database_choice.h"

#include "core/error.h"
#include "core/program_dir.h"
#include "core/prompter.h"
#include "core/settings.h"
#include "db/data_module.h"

#include <QDir>

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
    try {
        dataModule().closeConnection();
        if (!writeSetting(QStringLiteral("KatalogBazy"), dir))
            throw RezydoError(QStringLiteral("KatalogBazy"));
        dataModule().openConnection();
    } catch (const RezydoError&) {
        // Most often the folder holds no usable database. The old folder comes
        // back without a word; only its own failure reaches the user.
        dataModule().closeConnection();
        writeSetting(QStringLiteral("KatalogBazy"), old);
        dataModule().openConnection();
        return;
    }
    prompter().message(QStringLiteral("Nowa lokalizacja bazy danych '") + dir + QLatin1Char('\''),
                       QStringLiteral("Zmiana bazy"), Prompter::Icon::None);
}
