#pragma once

#include "core/error.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>

// The structured invoice FA(3) of an issued invoice or of a correcting
// invoice, as handed to the national e-invoice system.

// One thing wrong with a document: the field as the structure names it
// ("Podmiot2/DaneIdentyfikacyjne/NIP") and what is wrong, in Polish.
struct Fa3Problem {
    QString field;
    QString message;
};

// A document that cannot be made or fails a check; text() lists the fields.
class Fa3Error : public RezydoError {
public:
    explicit Fa3Error(QList<Fa3Problem> problems);
    const QList<Fa3Problem>& problems() const { return m_problems; }

private:
    QList<Fa3Problem> m_problems;
};

// What the document needs besides the database.
struct Fa3Context {
    QDateTime created;           // DataWytworzeniaFa, UTC
    QString correctedKsefNumber; // a correction: the corrected invoice's KSeF number, if known
};

// The document of the group's issued invoice, UTF-8 without BOM. Runs the
// program's own checks of every required field and format and throws
// Fa3Error naming the fields that fail; RezydoError when no invoice is issued.
QByteArray fa3Invoice(QSqlDatabase db, int groupId, const Fa3Context& context);
// The same for a correcting invoice (Korekta.ID).
QByteArray fa3Correction(QSqlDatabase db, qint64 correctionId, const Fa3Context& context);

// The program's own checks of a finished document (required fields and
// their formats); empty when it passes.
QList<Fa3Problem> checkFa3(const QByteArray& document);
// Validates a document against the official schema set in `folder` (the
// folder holding schemat.xsd and the files it imports); empty when valid.
// Throws RezydoError when the folder holds no usable schema.
QList<Fa3Problem> validateFa3Schema(const QByteArray& document, const QString& folder);

// The folder the hotel put the official schema set in (setting SchematFA3);
// empty when it is not set.
QString fa3SchemaFolder();

// The seller's NIP as the structure wants it: digits only, a "PL" before
// them and blanks or dashes dropped.
QString fa3Nip(const QString& typed);
