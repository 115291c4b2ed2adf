#pragma once

#include "core/money.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// What became of a structured invoice handed to the national e-invoice
// system (KSeF): the exact bytes exported, their digest and the state until
// the system's number is known.

enum class KsefState { ToSend = 0, Sent = 1, Accepted = 2, Rejected = 3 };
// "do wysłania", "wysłana", "przyjęta", "odrzucona".
QString ksefStateText(KsefState state);

// Invoices issued from this day on go to the system.
inline const QDate kKsefStart(2026, 4, 1);
// The last day of the exception for a month's invoices outside the system
// that stay within kKsefMonthLimit.
inline const QDate kKsefExceptionEnd(2026, 12, 31);
inline constexpr Money kKsefMonthLimit = Money::fromZloty(10000);

struct KsefRecord {
    qint64 id = 0;
    int groupId = 0;
    std::optional<qint64> correctionId; // a correcting invoice (Korekta.ID)
    QString number;                     // the document's number as exported: "12/H/2026"
    QDate issued;
    QByteArray bytes;  // exactly as exported; never changed
    QString sha256Hex; // of `bytes`
    KsefState state = KsefState::ToSend;
    QString ksefNumber; // once accepted
    QDate ksefDate;
    QString reason; // once rejected
    QDateTime exported;

    // The digest as the verification link carries it: Base64URL without padding.
    QString sha256Base64Url() const;
};

// The record that stands for the group's invoice (or one of its correcting
// invoices): the one not rejected; nothing when none was exported or every
// export was rejected.
std::optional<KsefRecord> ksefRecordOf(QSqlDatabase db, int groupId);
std::optional<KsefRecord> ksefRecordOfCorrection(QSqlDatabase db, qint64 correctionId);
// The newest record of the document, rejected ones included.
std::optional<KsefRecord> lastKsefRecord(QSqlDatabase db, int groupId,
                                         std::optional<qint64> correctionId);
KsefRecord loadKsefRecord(QSqlDatabase db, qint64 id);

// Stores the document's bytes with their digest as "do wysłania", in one
// transaction. Refuses (RezydoError) a group without an issued invoice, an
// unknown correction, empty bytes and a document that already has a record
// that is not rejected: its bytes never change.
KsefRecord storeKsefDocument(QSqlDatabase db, int groupId, std::optional<qint64> correctionId,
                             const QByteArray& bytes);

// The file a document is exported to: "FA_12_H_2026.xml", a correcting
// invoice "KOR_3_KOR_2026.xml".
QString ksefFileName(const QString& number, bool correction);
// Writes exactly the record's bytes into `file`; throws RezydoError with a
// Polish message when it cannot.
void writeKsefFile(const KsefRecord& record, const QString& file);

// The state changes a receptionist makes. Each runs in one transaction and
// refuses (RezydoError, Polish) a change that does not follow from the state.
void markKsefSent(QSqlDatabase db, qint64 recordId);
// Accepted: the number as the system gave it ("NIP-yyyyMMdd-…"); its date is
// the day in the number.
void recordKsefNumber(QSqlDatabase db, qint64 recordId, const QString& typed);
void markKsefRejected(QSqlDatabase db, qint64 recordId, const QString& reason);

// A KSeF number as typed, checked loosely: the ten-digit NIP, the day as
// yyyyMMdd and at least one more part of hexadecimal digits, dashes between
// them; returned in capitals without blanks. Throws RezydoError otherwise.
QString checkedKsefNumber(const QString& typed);
// The day a checked KSeF number carries.
QDate ksefNumberDate(const QString& number);

// The deadline to send an invoice issued offline: the next working day after
// the issue date (Saturdays, Sundays and public holidays are not).
QDate offline24Deadline(const QDate& issued);

// A document still to be sent (or whose number is still awaited).
struct KsefWaiting {
    int groupId = 0;
    std::optional<qint64> correctionId;
    std::optional<qint64> recordId;
    QString number;
    QString buyer;
    QDate issued;
    Money gross;       // a correcting invoice: its difference
    QString stateText; // a state, or "nie wyeksportowana"
    QDate deadline;
    bool sent = false; // handed over, the number awaited

    // Not yet handed over on the deadline `today`, or later.
    bool due(const QDate& today) const { return !sent && deadline <= today; }
};

// Documents issued in [from, to] (both invalid: any day) since the system
// started that are not accepted: issued invoices and correcting invoices to a
// buyer with an identifier, and any document exported voluntarily. Oldest first.
QList<KsefWaiting> ksefWaiting(QSqlDatabase db, const QDate& from = {}, const QDate& to = {});

// The warning shown at start-up when a waiting document's deadline is today
// or past: how many and the earliest deadline; nothing otherwise.
std::optional<QString> ksefDeadlineWarning(QSqlDatabase db, const QDate& today);

// The gross of the invoices to buyers with an identifier issued in the month
// of `day` that have not been handed over to the system.
Money monthOutsideKsef(QSqlDatabase db, const QDate& day);
// The warning shown on issuing an invoice to a buyer with an identifier on
// `today`: in 2026 once a month since the start passed the limit; from 2027
// always. Nothing otherwise.
std::optional<QString> ksefLimitWarning(QSqlDatabase db, const QDate& today);

// Makes the structured document of an invoice (no correction) or of a
// correcting invoice; throws RezydoError (Fa3Error) naming what is wrong.
// Installed once by the program, which knows the document's form.
using KsefDocumentBuilder =
    std::function<QByteArray(QSqlDatabase db, int groupId, std::optional<qint64> correctionId,
                             const QString& correctedKsefNumber)>;
void setKsefDocumentBuilder(KsefDocumentBuilder builder);

struct KsefExported {
    KsefRecord record;
    QString path;
};
// Exports a document into `file`: the first time its document is built and
// stored, later the stored bytes are written again unchanged. A correcting
// invoice waits until the corrected invoice, when exported, is accepted.
KsefExported exportKsefDocument(QSqlDatabase db, int groupId, std::optional<qint64> correctionId,
                                const QString& file);

struct KsefBatch {
    QList<KsefExported> exported;
    QStringList failures; // "12/H/2026: why", one per document not exported
};
// Exports every document of ksefWaiting(from, to) not yet handed over, each
// into its own file in `folder` named by ksefFileName(); one that fails is reported and the rest go
// on.
KsefBatch exportWaitingKsef(QSqlDatabase db, const QDate& from, const QDate& to,
                            const QString& folder);
