#include "billing/ksef/ksef_link.h"

#include <QCryptographicHash>

QString ksefFileHash(const QByteArray& fileBytes)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(fileBytes, QCryptographicHash::Sha256)
            .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

KsefMark ksefMark(const QString& sellerNip, const QDate& issued, const QByteArray& fileBytes,
                  const QString& ksefNumber)
{
    QString nip;
    for (const QChar c : sellerNip)
        if (c.isDigit())
            nip += c;
    KsefMark mark;
    mark.link = kKsefInvoiceLinkBase + nip + QLatin1Char('/') +
                issued.toString(QStringLiteral("dd-MM-yyyy")) + QLatin1Char('/') +
                ksefFileHash(fileBytes);
    const QString number = ksefNumber.trimmed();
    mark.caption = number.isEmpty() ? QStringLiteral("OFFLINE") : number;
    return mark;
}
