#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

// The verification code of an invoice on paper (KOD I): the link its QR code
// holds and the caption printed under the code.
struct KsefMark {
    QString link;
    QString caption; // the KSeF number, or "OFFLINE" while it is not known
    bool operator==(const KsefMark&) const = default;
};

// Where the links of the production system point.
inline const QString kKsefInvoiceLinkBase = QStringLiteral("https://qr.ksef.mf.gov.pl/invoice/");

// The SHA-256 of a document's bytes in URL-safe Base64 without padding (43 characters).
QString ksefFileHash(const QByteArray& fileBytes);

// The link of an invoice: the base, the seller's NIP (its digits only), the
// day of issue as dd-MM-yyyy and the hash of the exact bytes sent; the caption
// is the KSeF number once known and "OFFLINE" before.
KsefMark ksefMark(const QString& sellerNip, const QDate& issued, const QByteArray& fileBytes,
                  const QString& ksefNumber);

// A document as handed over: its exact bytes and the KSeF number once known.
struct KsefDocument {
    QByteArray bytes;
    QString ksefNumber;
};
