#include "billing/ksef/ksef_record.h"

#include "billing/calculation.h"
#include "billing/correction.h"
#include "billing/invoice.h"
#include "core/clock.h"
#include "core/days.h"
#include "core/error.h"
#include "core/holidays.h"
#include "db/sql.h"

#include <QCryptographicHash>
#include <QDir>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSqlQuery>

#include <algorithm>

namespace {
const QString kColumns = QStringLiteral(
    "ID, Identyfikator, ID_korekty, Numer, Data_wystawienia, Plik, Skrot, Stan, Numer_KSeF, "
    "Data_KSeF, Powod, Wyeksportowano FROM Ksef ");

KsefRecord recordFrom(const QSqlQuery& q)
{
    KsefRecord r;
    r.id = q.value(0).toLongLong();
    r.groupId = q.value(1).toInt();
    if (!q.value(2).isNull())
        r.correctionId = q.value(2).toLongLong();
    r.number = q.value(3).toString();
    r.issued = dayFromValue(q.value(4));
    r.bytes = q.value(5).toByteArray();
    r.sha256Hex = q.value(6).toString();
    r.state = static_cast<KsefState>(q.value(7).toInt());
    r.ksefNumber = q.value(8).toString();
    r.ksefDate = dayFromValue(q.value(9));
    r.reason = q.value(10).toString();
    r.exported = QDateTime::fromString(q.value(11).toString(), Qt::ISODate);
    return r;
}

std::optional<KsefRecord> firstRecord(QSqlQuery q)
{
    if (!q.next())
        return std::nullopt;
    return recordFrom(q);
}

std::optional<KsefRecord> standingRecord(QSqlDatabase db, int groupId,
                                         std::optional<qint64> correctionId)
{
    return firstRecord(runSql(db,
                              QStringLiteral("SELECT ") + kColumns +
                                  QStringLiteral("WHERE Identyfikator = :G AND "
                                                 "ifnull(ID_korekty, 0) = :K AND Stan <> 3"),
                              {{":G", groupId}, {":K", correctionId.value_or(0)}}));
}

void setState(QSqlDatabase db, qint64 id, KsefState state, const QString& ksefNumber,
              const QDate& ksefDate, const QString& reason)
{
    runSql(db,
           QStringLiteral("UPDATE Ksef SET Stan = :S, Numer_KSeF = :N, Data_KSeF = :D, "
                          "Powod = coalesce(:P, '') WHERE ID = :ID"),
           {{":S", static_cast<int>(state)},
            {":N", ksefNumber.isEmpty() ? QVariant() : QVariant(ksefNumber)},
            {":D", dayValue(ksefDate)},
            {":P", reason},
            {":ID", id}});
}

QString refusedChange(const KsefRecord& r)
{
    return QStringLiteral("Faktura nr %1 ma w KSeF stan „%2”: tej zmiany nie można już "
                          "wprowadzić.")
        .arg(r.number, ksefStateText(r.state));
}
} // namespace

QString ksefStateText(KsefState state)
{
    switch (state) {
    case KsefState::ToSend:
        return QStringLiteral("do wysłania");
    case KsefState::Sent:
        return QStringLiteral("wysłana");
    case KsefState::Accepted:
        return QStringLiteral("przyjęta");
    case KsefState::Rejected:
        return QStringLiteral("odrzucona");
    }
    return {};
}

QString KsefRecord::sha256Base64Url() const
{
    return QString::fromLatin1(
        QByteArray::fromHex(sha256Hex.toLatin1())
            .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

std::optional<KsefRecord> ksefRecordOf(QSqlDatabase db, int groupId)
{
    return standingRecord(db, groupId, std::nullopt);
}

std::optional<KsefRecord> ksefRecordOfCorrection(QSqlDatabase db, qint64 correctionId)
{
    const QVariant group =
        scalarSql(db, QStringLiteral("SELECT Identyfikator FROM Korekta WHERE ID = :ID"),
                  {{":ID", correctionId}});
    if (!group.isValid())
        return std::nullopt;
    return standingRecord(db, group.toInt(), correctionId);
}

std::optional<KsefRecord> lastKsefRecord(QSqlDatabase db, int groupId,
                                         std::optional<qint64> correctionId)
{
    return firstRecord(runSql(db,
                              QStringLiteral("SELECT ") + kColumns +
                                  QStringLiteral("WHERE Identyfikator = :G AND "
                                                 "ifnull(ID_korekty, 0) = :K ORDER BY ID DESC "
                                                 "LIMIT 1"),
                              {{":G", groupId}, {":K", correctionId.value_or(0)}}));
}

KsefRecord loadKsefRecord(QSqlDatabase db, qint64 id)
{
    std::optional<KsefRecord> r = firstRecord(
        runSql(db, QStringLiteral("SELECT ") + kColumns + QStringLiteral("WHERE ID = :ID"),
               {{":ID", id}}));
    if (!r)
        throw RezydoError(QStringLiteral("Nie ma już zapisu KSeF tej faktury."));
    return *r;
}

KsefRecord storeKsefDocument(QSqlDatabase db, int groupId, std::optional<qint64> correctionId,
                             const QByteArray& bytes)
{
    if (bytes.isEmpty())
        throw RezydoError(QStringLiteral("Dokument faktury jest pusty."));
    // Run again from the start when another desk wrote at the same moment.
    qint64 id = 0;
    runInTransaction(db, [&] {
        QString number;
        QDate issued;
        if (correctionId) {
            const Correction c = loadCorrection(db, *correctionId);
            if (c.groupId != groupId)
                throw RezydoError(QStringLiteral("Nie ma takiej faktury korygującej."));
            number = c.numberText();
            issued = c.issued;
        } else {
            const CalcHeader h = loadHeader(db, groupId);
            if (h.type != kInvoiceIssued)
                throw RezydoError(QStringLiteral("Faktura nie jest wystawiona."));
            number = invoiceNumberText(h);
            issued = h.issueDate;
        }
        if (const std::optional<KsefRecord> existing = standingRecord(db, groupId, correctionId))
            throw RezydoError(
                QStringLiteral("Faktura nr %1 została już wyeksportowana do KSeF; jej "
                               "plik się nie zmienia.")
                    .arg(existing->number));
        const QString hex = QString::fromLatin1(
            QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
        const QSqlQuery q = runSql(
            db,
            QStringLiteral("INSERT INTO Ksef (Identyfikator, ID_korekty, Numer, Data_wystawienia, "
                           "Plik, Skrot, Stan, Wyeksportowano) VALUES (:G, :K, :N, :D, :P, :S, 0, "
                           ":W)"),
            {{":G", groupId},
             {":K", correctionId ? QVariant(*correctionId) : QVariant()},
             {":N", number},
             {":D", dayValue(issued)},
             {":P", bytes},
             {":S", hex},
             {":W", now().toUTC().toString(Qt::ISODate)}});
        id = q.lastInsertId().toLongLong();
    });
    return loadKsefRecord(db, id);
}

QString ksefFileName(const QString& number, bool correction)
{
    QString name = number;
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9-]")), QStringLiteral("_"));
    return (correction ? QStringLiteral("KOR_") : QStringLiteral("FA_")) + name +
           QStringLiteral(".xml");
}

void writeKsefFile(const KsefRecord& record, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(record.bytes) != record.bytes.size() ||
        !file.commit())
        throw RezydoError(QStringLiteral("Nie można zapisać pliku %1: %2")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
}

void markKsefSent(QSqlDatabase db, qint64 recordId)
{
    runInTransaction(db, [&] {
        const KsefRecord r = loadKsefRecord(db, recordId);
        if (r.state != KsefState::ToSend)
            throw RezydoError(refusedChange(r));
        setState(db, recordId, KsefState::Sent, {}, {}, {});
    });
}

void recordKsefNumber(QSqlDatabase db, qint64 recordId, const QString& typed)
{
    const QString number = checkedKsefNumber(typed);
    runInTransaction(db, [&] {
        const KsefRecord r = loadKsefRecord(db, recordId);
        if (r.state != KsefState::ToSend && r.state != KsefState::Sent)
            throw RezydoError(refusedChange(r));
        const QDate day = ksefNumberDate(number);
        if (day < r.issued)
            throw RezydoError(QStringLiteral("Numer KSeF %1 nosi datę %2, wcześniejszą niż data "
                                             "wystawienia faktury (%3).")
                                  .arg(number, dayText(day), dayText(r.issued)));
        const QVariant other = scalarSql(
            db, QStringLiteral("SELECT Numer FROM Ksef WHERE Numer_KSeF = :N AND ID <> :ID"),
            {{":N", number}, {":ID", recordId}});
        if (other.isValid())
            throw RezydoError(QStringLiteral("Numer KSeF %1 ma już faktura nr %2.")
                                  .arg(number, other.toString()));
        setState(db, recordId, KsefState::Accepted, number, day, {});
    });
}

void markKsefRejected(QSqlDatabase db, qint64 recordId, const QString& reason)
{
    const QString why = reason.simplified();
    if (why.isEmpty())
        throw RezydoError(QStringLiteral("Podaj powód odrzucenia faktury przez KSeF."));
    if (why.size() > 200)
        throw RezydoError(QStringLiteral("Powód odrzucenia może mieć najwyżej 200 znaków."));
    runInTransaction(db, [&] {
        const KsefRecord r = loadKsefRecord(db, recordId);
        if (r.state != KsefState::ToSend && r.state != KsefState::Sent)
            throw RezydoError(refusedChange(r));
        setState(db, recordId, KsefState::Rejected, {}, {}, why);
    });
}

QString checkedKsefNumber(const QString& typed)
{
    QString number = typed;
    number.remove(QRegularExpression(QStringLiteral("\\s")));
    number = number.toUpper();
    static const QRegularExpression form(QStringLiteral("^(\\d{10})-(\\d{8})(-[0-9A-F]+)+$"));
    const QRegularExpressionMatch m = form.match(number);
    if (!m.hasMatch() || number.size() > 60)
        throw RezydoError(QStringLiteral("„%1” nie jest numerem KSeF. Numer KSeF ma postać "
                                         "NIP-RRRRMMDD-…, np. 5265877635-20260415-0100001AF629-AF.")
                              .arg(typed.trimmed()));
    if (!QDate::fromString(m.captured(2), QStringLiteral("yyyyMMdd")).isValid())
        throw RezydoError(QStringLiteral("Numer KSeF %1 zawiera niepoprawną datę %2.")
                              .arg(number, m.captured(2)));
    return number;
}

QDate ksefNumberDate(const QString& number)
{
    return QDate::fromString(number.mid(11, 8), QStringLiteral("yyyyMMdd"));
}

QDate offline24Deadline(const QDate& issued)
{
    QDate day = issued.addDays(1);
    while (day.dayOfWeek() >= Qt::Saturday || isPublicHoliday(day))
        day = day.addDays(1);
    return day;
}
