#include "app/first_start.h"

#include "app/database_choice.h"
#include "core/error.h"
#include "core/prompter.h"
#include "core/settings.h"
#include "db/data_module.h"
#include "db/schema.h"
#include "db/sql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

const QString kFirstStartCaption = QStringLiteral("Pierwsze uruchomienie");
const QString kFirstStepsCaption = QStringLiteral("Pierwsze kroki");
const QString kFirstStepsText = QStringLiteral(
    "Baza danych jest pusta. Zanim przyjmiesz pierwszą rezerwację:\n\n"
    "1. Administracja → Cennik: typy pokoi i ich ceny.\n"
    "2. Administracja → Ustawienie pokoi: numery pokoi, liczba miejsc i typ z cennika.\n"
    "3. Administracja → Konfiguracja: nazwa, adres, NIP i konto hotelu do faktur.\n\n"
    "Potem: Recepcja → Wprowadzanie rezerwacji. Podręcznik otwiera klawisz F1.");

namespace {
QString noAccessText(const QString& folder)
{
    return QStringLiteral("To konto nie ma dostępu do folderu bazy danych '%1'.\n\n"
                          "Administrator komputera może dodać je do grupy rezydo "
                          "(sudo adduser NAZWA_KONTA rezydo, potem ponowne zalogowanie).")
        .arg(QDir::toNativeSeparators(folder));
}

QString questionText(const QString& folder)
{
    return QStringLiteral("W folderze '%1' nie ma bazy danych programu (pliku Baza.mdb).\n\n"
                          "Czy utworzyć tam nową, pustą bazę danych, czy wybrać inny folder, "
                          "w którym baza już jest?")
        .arg(QDir::toNativeSeparators(folder));
}

// Whether this account may look into `folder`, or into the nearest folder
// above it that it can see. An account outside the receptionists' group sees
// /var/lib/rezydo but not the database in it, and must not be offered to make
// a new one.
bool mayLookInto(const QString& folder)
{
    QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    while (!QFileInfo::exists(path) && path != QLatin1String("/"))
        path = QFileInfo(path).absolutePath();
    const QFileInfo nearest(path);
    return nearest.isReadable() && nearest.isExecutable();
}

QString currentFolder()
{
    return QFileInfo(DataModule::databaseFile()).absolutePath();
}

// Points KatalogBazy at `folder`; tells the user when that did not take.
bool rememberFolder(const QString& folder)
{
    if (!writeSetting(QStringLiteral("KatalogBazy"), folder)) {
        prompter().error(settingsNotSavedText({QStringLiteral("KatalogBazy")}), kFirstStartCaption);
        return false;
    }
    if (QDir::cleanPath(currentFolder()) != QDir::cleanPath(QFileInfo(folder).absoluteFilePath())) {
        prompter().error(userSettingHidesText(QStringLiteral("KatalogBazy"),
                                              QDir::toNativeSeparators(currentFolder())),
                         kFirstStartCaption);
        return false;
    }
    return true;
}
} // namespace

void createEmptyDatabase(const QString& file)
{
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder))
        throw RezydoError(QStringLiteral("Nie można utworzyć folderu '%1'.")
                              .arg(QDir::toNativeSeparators(folder)));
    createDatabase(file, false);
    // SQLite gives its journal the database file's permissions, so the group
    // can write both.
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                    QFileDevice::ReadGroup | QFileDevice::WriteGroup);
}

FirstStart offerDatabase()
{
    // A database on a server is made by the server's administrator: no file
    // is offered, and the opening tells what is wrong with the server, if
    // anything.
    const std::optional<QString> server = readSetting(QStringLiteral("SerwerBazy"));
    if (server && !server->trimmed().isEmpty())
        return FirstStart::Found;
    for (QString folder = currentFolder();;) {
        const QString file = QDir(folder).filePath(QStringLiteral("Baza.mdb"));
        if (QFileInfo::exists(file))
            return FirstStart::Found;
        if (!mayLookInto(folder)) {
            prompter().error(noAccessText(folder), kFirstStartCaption);
            return FirstStart::Cancelled;
        }
        const int choice =
            prompter().choose(questionText(folder), kFirstStartCaption,
                              {QStringLiteral("&Utwórz nową bazę"),
                               QStringLiteral("&Wybierz inny folder"), QStringLiteral("&Anuluj")},
                              0);
        if (choice == 0) {
            try {
                createEmptyDatabase(file);
                return FirstStart::Created;
            } catch (const RezydoError& e) {
                prompter().error(QStringLiteral("Nie można utworzyć bazy danych '%1':\n%2")
                                     .arg(QDir::toNativeSeparators(file), e.text()),
                                 kFirstStartCaption);
            }
        } else if (choice == 1) {
            // A save dialog, so that a folder without a database can be picked too.
            const QString chosen = prompter().saveFile(
                QStringLiteral("Wybierz folder bazy danych"), folder, QStringLiteral("Baza.mdb"),
                kDatabaseFileFilter, QStringLiteral("mdb"), Prompter::Existing::Update);
            if (!chosen.isEmpty() && rememberFolder(databaseDirectoryOf(chosen)))
                folder = currentFolder();
        } else {
            return FirstStart::Cancelled;
        }
    }
}

bool showFirstStepsIfEmpty()
{
    DataModule& data = dataModule();
    if (!data.isOpen())
        return false;
    if (scalarSql(data.database(), QStringLiteral("SELECT count(*) FROM Pokoje")).toInt() > 0)
        return false;
    prompter().inform(kFirstStepsText, kFirstStepsCaption);
    return true;
}
