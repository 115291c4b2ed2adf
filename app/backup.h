#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// Backup and restore of the database file Baza.mdb in the folder named by
// KatalogBazy, as zip archives holding the one entry Baza.mdb.

struct ArchiveResult {
    bool ok = true;
    QString message; // the text to show when !ok
};

// "Archiwum yyyy.mm.dd hh.nn.zip" for the moment `at`.
QString proposedArchiveName(const QDateTime& at);

// Packs a consistent copy of the database into `archivePath`, creating the
// archive or updating its entry when the database file is newer. Closes the
// connection while it works and opens it again (a failed reopening throws).
ArchiveResult createArchive(const QString& archivePath);

// Puts the database of the archive in place of the current one, keeping the
// replaced file as Baza.mdb.bak. Anything unsound in the archive leaves the
// current database as it was. Closes and reopens the connection like
// createArchive.
ArchiveResult restoreArchive(const QString& archivePath);

// How many archives the archive folder keeps (setting "KopieZapasowe"); 0,
// the default, keeps all.
int archivesToKeep();
// Removes from `folder` the backup archives (named as proposedArchiveName
// makes them) beyond the newest `keep`, by the moment in their names; other
// files stay. Nothing happens when `keep` is 0. Returns the removed paths.
QStringList pruneArchives(const QString& folder, int keep);

// The backup offered at exit, after the user chose to make one. When the
// setting asks for it, the oldest archives of the archive folder go
// afterwards: each holds the personal data of every guest at its moment.
void backupAtExit();
// The command "&Odtwarzanie bazy danych".
void restoreDatabase();
