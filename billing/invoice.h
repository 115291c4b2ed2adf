#pragma once

#include "billing/calculation.h"

#include <QSqlDatabase>

#include <optional>

inline constexpr int kInvoiceIssued = 2; // Kalk.Typ of a VAT invoice
enum class PaymentMethod { Cash = 1, Transfer = 2 };
inline constexpr int kDefaultTermDays = 14;

// The series of new invoices: the FakturaRoz setting, "H" when it is absent
// (an empty one is kept).
QString invoiceSeries();

// A document's number as printed and referred to: "12/H/2026"; an empty
// series or an unknown year drops out.
QString documentNumberText(int number, const QString& series, const QDate& issued);
// The number of a group's invoice as printed; empty when it has none.
QString invoiceNumberText(const CalcHeader& header);

// The number proposed for a new invoice of `series` issued in `year`: the
// highest number given in that series and year plus one, cancelled invoices
// included. Invoices issued before series were kept count in the current one.
int proposedInvoiceNumber(QSqlDatabase db, const QString& series, int year);

// The number after the "Numer faktury" box: the prefilled one when the box was
// cancelled or left as it was, else the typed one. Empty text, a text that is
// not a whole number and a number below 1 throw RezydoError.
int invoiceNumberFromAnswer(const std::optional<QString>& answer, const QString& prefilled);

// Issues the group's invoice in one transaction: marks the header issued with
// its dates and payment method (a transfer gets its due date `termDays` after
// issue), the buyer as the header holds it, and a number in `series` and the
// issue year: `number`, or without one the next free number, taken inside
// the transaction so that two desks issuing at once get different numbers.
// Refuses (RezydoError) an invoice already issued, an empty buyer name and a
// number another issued invoice of the series and year has.
void issueInvoice(QSqlDatabase db, CalcHeader& header, const QDate& issueDate,
                  const QDate& saleDate, PaymentMethod method, int termDays,
                  std::optional<int> number, const QString& series);
// Empties Typ; the number, recipient, dates and method stay. Refused while
// cancelRefusal() gives a reason.
void cancelInvoice(QSqlDatabase db, int groupId);
// Why the group's issued invoice can no longer be cancelled, or nothing: an
// invoice that a correcting invoice refers to is corrected, never cancelled.
std::optional<QString> cancelRefusal(QSqlDatabase db, int groupId);
// Days from issue to due date, as shown again for an issued invoice.
int termDaysOf(const CalcHeader& header);

// Throws RezydoError when the group's invoice is issued: its lines, buyer and
// amounts are then frozen. Called inside every write that would change them.
void requireInvoiceOpen(QSqlDatabase db, int groupId);
QString frozenInvoiceText(const QString& numberText);

// Saves the header as typed, except the invoice number, which keeps what is
// stored, and refreshes the settled flag, in one transaction.
void confirmPrepayment(QSqlDatabase db, const CalcHeader& header);
