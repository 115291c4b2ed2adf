#include "billing/invoice.h"

#include "billing/payments.h"
#include "billing/values.h"
#include "core/settings.h"
#include "db/sql.h"

#include <QStringList>

namespace {
QString yearText(int year)
{
    return QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0'));
}

// Whether another issued invoice has `number` in the series and year.
bool numberTaken(QSqlDatabase db, int groupId, int number, const QString& series, int year)
{
    return scalarSql(db,
                     QStringLiteral("SELECT count(*) FROM Kalk WHERE Typ = 2 AND Rach = :R AND "
                                    "Identyfikator <> :ID AND coalesce(Seria, :Biezaca) = :S "
                                    "AND substr(data_wystawienia, 1, 4) = :Y"),
                     {{":R", number},
                      {":ID", groupId},
                      {":Biezaca", invoiceSeries()},
                      {":S", series},
                      {":Y", yearText(year)}})
               .toInt() > 0;
}
} // namespace

QString invoiceSeries()
{
    return readSetting(QStringLiteral("FakturaRoz")).value_or(QStringLiteral("H"));
}

QString documentNumberText(int number, const QString& series, const QDate& issued)
{
    QStringList parts{QString::number(number)};
    if (!series.trimmed().isEmpty())
        parts << series.trimmed();
    if (issued.isValid())
        parts << QString::number(issued.year());
    return parts.join(QLatin1Char('/'));
}

QString invoiceNumberText(const CalcHeader& header)
{
    if (!header.number)
        return {};
    return documentNumberText(*header.number,
                              header.series.isEmpty() ? invoiceSeries() : header.series,
                              header.issueDate);
}

int proposedInvoiceNumber(QSqlDatabase db, const QString& series, int year)
{
    return scalarSql(db,
                     QStringLiteral("SELECT coalesce(max(Rach), 0) + 1 FROM Kalk WHERE "
                                    "coalesce(Seria, :Biezaca) = :S AND "
                                    "substr(data_wystawienia, 1, 4) = :Y"),
                     {{":Biezaca", invoiceSeries()}, {":S", series}, {":Y", yearText(year)}})
        .toInt();
}

int invoiceNumberFromAnswer(const std::optional<QString>& answer, const QString& prefilled)
{
    const QString text = !answer || *answer == prefilled ? prefilled : *answer;
    if (text.trimmed().isEmpty())
        throw RezydoError(QStringLiteral("Nie podano numeru faktury: faktura musi mieć numer."));
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    if (!ok || number < 1)
        throw RezydoError(
            QStringLiteral("'%1' nie jest poprawnym numerem faktury: numer to liczba całkowita "
                           "większa od zera.")
                .arg(text));
    return number;
}

QString frozenInvoiceText(const QString& numberText)
{
    return QStringLiteral("Faktura nr %1 jest już wystawiona: jej pozycji, nabywcy i kwot nie "
                          "można zmieniać. Zmiany wprowadza się po anulowaniu faktury albo "
                          "fakturą korygującą.")
        .arg(numberText);
}

void requireInvoiceOpen(QSqlDatabase db, int groupId)
{
    const CalcHeader stored = loadHeader(db, groupId);
    if (stored.invoiceIssued())
        throw RezydoError(frozenInvoiceText(invoiceNumberText(stored)));
}

void issueInvoice(QSqlDatabase db, CalcHeader& header, const QDate& issueDate,
                  const QDate& saleDate, PaymentMethod method, int termDays,
                  std::optional<int> number, const QString& series)
{
    if (header.name.trimmed().isEmpty())
        throw RezydoError(QStringLiteral("Podaj nazwę odbiorcy faktury."));
    // Run again from the start when another desk wrote at the same moment; the
    // number and the header are those of the attempt that was committed.
    CalcHeader h;
    runInTransaction(db, [&] {
        // Another desk may have issued it since the page was shown.
        const CalcHeader stored = loadHeader(db, header.groupId);
        if (stored.invoiceIssued())
            throw RezydoError(QStringLiteral("Faktura tej grupy została już wystawiona (nr %1).")
                                  .arg(invoiceNumberText(stored)));
        const int year = issueDate.year();
        if (number && numberTaken(db, header.groupId, *number, series, year))
            throw RezydoError(
                QStringLiteral("Numer faktury %1 jest już zajęty przez inną wystawioną fakturę. "
                               "Podaj inny numer albo przyjmij proponowany.")
                    .arg(documentNumberText(*number, series, issueDate)));
        h = header;
        h.number = number ? *number : proposedInvoiceNumber(db, series, year);
        h.series = series;
        h.type = kInvoiceIssued;
        h.issueDate = issueDate;
        h.saleDate = saleDate;
        h.paymentMethod = static_cast<int>(method);
        if (method == PaymentMethod::Transfer)
            h.dueDate = issueDate.addDays(termDays);
        saveHeader(db, h);
        runSql(db, QStringLiteral("UPDATE Kalk SET Seria = :S WHERE Identyfikator = :ID"),
               {{":S", series}, {":ID", h.groupId}});
    });
    header = h;
}

std::optional<QString> cancelRefusal(QSqlDatabase db, int groupId)
{
    // Once its structured document has left the program (a rejected one
    // aside), the invoice exists outside it and only a correction changes it.
    const int exported =
        scalarSql(db,
                  QStringLiteral("SELECT count(*) FROM Ksef WHERE Identyfikator = :ID "
                                 "AND ID_korekty IS NULL AND Stan <> 3"),
                  {{":ID", groupId}})
            .toInt();
    if (exported > 0)
        return QStringLiteral("Faktury nr %1 nie można anulować: została wyeksportowana do KSeF. "
                              "Zmiany wprowadza się teraz fakturą korygującą.")
            .arg(invoiceNumberText(loadHeader(db, groupId)));
    const int corrections =
        scalarSql(db, QStringLiteral("SELECT count(*) FROM Korekta WHERE Identyfikator = :ID"),
                  {{":ID", groupId}})
            .toInt();
    if (corrections > 0)
        return QStringLiteral("Faktury nr %1 nie można anulować: wystawiono już do niej fakturę "
                              "korygującą. Dalsze zmiany wprowadza kolejna korekta.")
            .arg(invoiceNumberText(loadHeader(db, groupId)));
    return std::nullopt;
}

void cancelInvoice(QSqlDatabase db, int groupId)
{
    runInTransaction(db, [&] {
        if (const std::optional<QString> why = cancelRefusal(db, groupId))
            throw RezydoError(*why);
        runSql(db, QStringLiteral("UPDATE Kalk SET Typ = NULL WHERE Identyfikator = :ID"),
               {{":ID", groupId}});
    });
}

int termDaysOf(const CalcHeader& header)
{
    if (!header.issueDate.isValid() || !header.dueDate.isValid())
        return 0;
    return static_cast<int>(header.issueDate.daysTo(header.dueDate));
}

void confirmPrepayment(QSqlDatabase db, const CalcHeader& header)
{
    runInTransaction(db, [&] {
        requireInvoiceOpen(db, header.groupId);
        // Only issuing stores an invoice number: a proposed or typed one stays unsaved, so the
        // series has no gaps, and a number an earlier issuing stored stays as it was.
        CalcHeader h = header;
        h.number = optionalInt(
            scalarSql(db, QStringLiteral("SELECT Rach FROM Kalk WHERE Identyfikator = :ID"),
                      {{":ID", h.groupId}}));
        saveHeader(db, h);
        refreshSettlement(db, header.groupId);
    });
}
