#include "billing/invoice.h"

#include "billing/payments.h"
#include "billing/values.h"
#include "db/sql.h"

int proposedInvoiceNumber(QSqlDatabase db)
{
    return scalarSql(db, QStringLiteral("SELECT coalesce(max(Rach), 0) + 1 FROM Kalk")).toInt();
}

int invoiceNumberFromAnswer(const std::optional<QString>& answer, const QString& prefilled)
{
    const QString text = !answer || *answer == prefilled ? prefilled : *answer;
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    if (!ok || number < -32768 || number > 32767)
        throw RezydoError(QStringLiteral("'%1' nie jest poprawną liczbą całkowitą.").arg(text));
    return number;
}

void issueInvoice(QSqlDatabase db, CalcHeader& header, const QDate& issueDate,
                  const QDate& saleDate, PaymentMethod method, int termDays)
{
    CalcHeader h = header;
    h.type = kInvoiceIssued;
    h.issueDate = issueDate;
    h.saleDate = saleDate;
    h.paymentMethod = static_cast<int>(method);
    if (method == PaymentMethod::Transfer)
        h.dueDate = issueDate.addDays(termDays);
    saveHeader(db, h);
    header = h;
}

void cancelInvoice(QSqlDatabase db, int groupId)
{
    runSql(db, QStringLiteral("UPDATE Kalk SET Typ = NULL WHERE Identyfikator = :ID"),
           {{":ID", groupId}});
}

int termDaysOf(const CalcHeader& header)
{
    if (!header.issueDate.isValid() || !header.dueDate.isValid())
        return 0;
    return static_cast<int>(header.issueDate.daysTo(header.dueDate));
}

void confirmPrepayment(QSqlDatabase db, const CalcHeader& header)
{
    Transaction tx(db);
    // Only issuing stores an invoice number: a proposed or typed one stays unsaved, so the
    // series has no gaps, and a number an earlier issuing stored stays as it was.
    CalcHeader h = header;
    h.number =
        optionalInt(scalarSql(db, QStringLiteral("SELECT Rach FROM Kalk WHERE Identyfikator = :ID"),
                              {{":ID", h.groupId}}));
    saveHeader(db, h);
    refreshSettlement(db, header.groupId);
    tx.commit();
}
