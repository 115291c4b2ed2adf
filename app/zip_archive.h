#pragma once

#include <QDateTime>
#include <QString>

class QIODevice;

// The few zip operations a backup needs, on top of QuaZip.

enum class PackOutcome { Written, UpToDate, Failed };

// Packs `file` into `archive` as the entry `entryName` (a bare name), stamped
// with `modified`. An existing archive keeps its other entries, and its entry
// of that name is replaced only when `modified` is later than the entry's own
// time. The new archive is written beside the old one and put in its place at
// the end, so a failure leaves whatever was there untouched.
PackOutcome packEntry(const QString& archive, const QString& entryName, const QString& file,
                      const QDateTime& modified);

// Writes the entry named exactly `entryName` (nothing in a subfolder) to
// `out`. False when the archive cannot be read, has no such entry, or the
// entry's data do not match its checksum.
bool extractEntry(const QString& archive, const QString& entryName, QIODevice& out);
