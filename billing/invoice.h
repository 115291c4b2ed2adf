#pragma once

#include "billing/calculation.h"

#include <QSqlDatabase>

#include <optional>

inline constexpr int kInvoiceIssued = 2; // Kalk.Typ of a VAT invoice
enum class PaymentMethod { Cash = 1, Transfer = 2 };
inline constexpr int kDefaultTermDays = 14;

// The number proposed for a new invoice: the highest Rach over all
// calculations plus one, issued or not.
int proposedInvoiceNumber(QSqlDatabase db);

// The number after the "Numer faktury" box: the prefilled one when the box was
// cancelled or left as it was, else the typed one. A text that is not a whole
// number, empty text included, throws RezydoError: no invoice goes without one.
int invoiceNumberFromAnswer(const std::optional<QString>& answer, const QString& prefilled);

// Marks the header issued with its dates and payment method (a transfer gets
// its due date `termDays` after issue) and saves it.
void issueInvoice(QSqlDatabase db, CalcHeader& header, const QDate& issueDate,
                  const QDate& saleDate, PaymentMethod method, int termDays);
// Empties Typ; the number, recipient, dates and method stay.
void cancelInvoice(QSqlDatabase db, int groupId);
// Days from issue to due date, as shown again for an issued invoice.
int termDaysOf(const CalcHeader& header);

// Saves the header as typed, except the invoice number, which keeps what is
// stored, and refreshes the settled flag, in one transaction.
void confirmPrepayment(QSqlDatabase db, const CalcHeader& header);
