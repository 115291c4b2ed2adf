#pragma once

#include <QDateTime>
#include <QFileDevice>
#include <QString>

#include <optional>

class QIODevice;

// The few zip operations a backup needs, on top of QuaZip.

enum class PackOutcome { Written, UpToDate, Failed };

// Packs `file` into `archive` as the entry `entryName` (a bare name), stamped
// with `modified` and marked as a regular file with `permissions`, which is
// what unzip gives the file it unpacks. An existing archive keeps its other
// entries, and its entry of that name is replaced only when `modified` is
// later than the entry's own time. The new archive is written beside the old
// one and put in its place at the end, so a failure leaves whatever was there
// untouched.
PackOutcome packEntry(const QString& archive, const QString& entryName, const QString& file,
                      const QDateTime& modified, QFileDevice::Permissions permissions);

// Writes the entry named exactly `entryName` (nothing in a subfolder) to
// `out`. False when the archive cannot be read, has no such entry, or the
// entry's data do not match its checksum.
bool extractEntry(const QString& archive, const QString& entryName, QIODevice& out);

// True when the archive can be read and holds an entry named exactly `entryName`.
bool hasEntry(const QString& archive, const QString& entryName);

// The permissions recorded for the entry `entryName` when it was packed as a
// regular file on Unix; nothing for an entry made elsewhere or without them.
std::optional<QFileDevice::Permissions> recordedPermissions(const QString& archive,
                                                            const QString& entryName);
