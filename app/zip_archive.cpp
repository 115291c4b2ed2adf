#include "app/zip_archive.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>
#include <quazip/quazipnewinfo.h>

#include <memory>

namespace {
bool copyData(QIODevice& in, QIODevice& out)
{
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(buffer.data(), buffer.size());
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (out.write(buffer.constData(), n) != n)
            return false;
    }
}

// The precise time of the NTFS extra field when present, else the DOS time
// (two-second steps, local time) every zip entry has.
QDateTime storedTime(const QuaZipFileInfo64& info)
{
    const QDateTime precise = info.getNTFSmTime();
    return precise.isValid() ? precise : info.dateTime;
}

// Copies every entry but `skipped` as it is, without recompressing it.
bool copyOtherEntries(QuaZip& from, QuaZip& to, const QString& skipped)
{
    for (bool more = from.goToFirstFile(); more; more = from.goToNextFile()) {
        QuaZipFileInfo64 info;
        if (!from.getCurrentFileInfo(&info))
            return false;
        if (info.name == skipped)
            continue;
        QuaZipFile in(&from);
        int method = 0;
        int level = 0;
        if (!in.open(QIODevice::ReadOnly, &method, &level, true))
            return false;
        QuaZipFile out(&to);
        if (!out.open(QIODevice::WriteOnly, QuaZipNewInfo(info), nullptr, info.crc, method, level,
                      true))
            return false;
        const bool copied = copyData(in, out);
        out.close();
        if (!copied || out.getZipError() != ZIP_OK)
            return false;
    }
    return from.getZipError() == UNZ_OK;
}

bool addFile(QuaZip& zip, const QString& entryName, const QString& file, const QDateTime& modified,
             QFileDevice::Permissions permissions)
{
    QFile source(file);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    QuaZipNewInfo info(entryName);
    // Without them the entry says mode 000 and unzip makes a file that only
    // root can open.
    info.setPermissions(permissions);
    info.dateTime = modified.toLocalTime();
    // The DOS time alone has two-second steps; the update rule needs better.
    info.setFileNTFSmTime(modified.toUTC());
    QuaZipFile out(&zip);
    if (!out.open(QIODevice::WriteOnly, info))
        return false;
    const bool copied = copyData(source, out);
    out.close();
    return copied && out.getZipError() == ZIP_OK;
}
} // namespace

PackOutcome packEntry(const QString& archive, const QString& entryName, const QString& file,
                      const QDateTime& modified, QFileDevice::Permissions permissions)
{
    std::unique_ptr<QuaZip> old;
    if (QFileInfo::exists(archive)) {
        // Something that is not a zip archive is never overwritten.
        old = std::make_unique<QuaZip>(archive);
        if (!old->open(QuaZip::mdUnzip))
            return PackOutcome::Failed;
        if (old->setCurrentFile(entryName, QuaZip::csSensitive)) {
            QuaZipFileInfo64 info;
            if (!old->getCurrentFileInfo(&info))
                return PackOutcome::Failed;
            if (modified <= storedTime(info))
                return PackOutcome::UpToDate;
        }
    }

    QSaveFile target(archive);
    if (!target.open(QIODevice::WriteOnly))
        return PackOutcome::Failed;
    QuaZip zip(&target);
    zip.setAutoClose(false); // QSaveFile is committed below, only when all went well
    if (!zip.open(QuaZip::mdCreate))
        return PackOutcome::Failed;
    bool ok = (!old || copyOtherEntries(*old, zip, entryName)) &&
              addFile(zip, entryName, file, modified, permissions);
    zip.close();
    ok = ok && zip.getZipError() == ZIP_OK;
    if (old)
        old->close();
    if (!ok) {
        target.cancelWriting();
        return PackOutcome::Failed;
    }
    return target.commit() ? PackOutcome::Written : PackOutcome::Failed;
}

bool extractEntry(const QString& archive, const QString& entryName, QIODevice& out)
{
    QuaZip zip(archive);
    if (!zip.open(QuaZip::mdUnzip) || !zip.setCurrentFile(entryName, QuaZip::csSensitive))
        return false;
    QuaZipFile in(&zip);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const bool copied = copyData(in, out);
    in.close(); // checks the CRC of what was read
    return copied && in.getZipError() == UNZ_OK;
}

bool hasEntry(const QString& archive, const QString& entryName)
{
    QuaZip zip(archive);
    return zip.open(QuaZip::mdUnzip) && zip.setCurrentFile(entryName, QuaZip::csSensitive);
}

std::optional<QFileDevice::Permissions> recordedPermissions(const QString& archive,
                                                            const QString& entryName)
{
    constexpr quint16 kMadeOnUnix = 3;
    constexpr quint32 kFileType = 0170000;
    constexpr quint32 kRegularFile = 0100000;
    QuaZip zip(archive);
    QuaZipFileInfo64 info;
    if (!zip.open(QuaZip::mdUnzip) || !zip.setCurrentFile(entryName, QuaZip::csSensitive) ||
        !zip.getCurrentFileInfo(&info))
        return std::nullopt;
    if (info.versionCreated >> 8 != kMadeOnUnix ||
        (info.externalAttr >> 16 & kFileType) != kRegularFile)
        return std::nullopt;
    return info.getPermissions();
}
