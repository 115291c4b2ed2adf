#pragma once

#include "core/money.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <optional>

// One payment of a group (Kwit).
struct Payment {
    qint64 id = 0;
    int groupId = 0;
    QString number; // Nr_kwit
    Money amount;
    QDate day;
    int type = 0;            // 1 Paragon, 2 Kwitariusz, 3 Przelew, 4 Nota księgowa
    std::optional<int> form; // a PaymentForm code; unknown for older payments
};

// How money came, beside the kind of document that records it.
enum class PaymentForm { Cash = 1, Card = 2, Transfer = 3, Voucher = 4, Other = 5 };
// The forms in the order of the payment dialog; a form's code is its position plus one.
const QStringList& paymentFormNames();
QString paymentFormText(std::optional<int> form); // empty when unknown
// How a payment is listed: its type's text, and its form when known
// ("Paragon, karta").
QString paymentText(int type, std::optional<int> form);
// The form a document type usually means: a transfer for "Przelew", else cash.
PaymentForm usualPaymentForm(int type);

// The payment types in the order of the payment dialog; a type's code is its
// position plus one.
const QStringList& paymentTypeNames();
QString paymentTypeText(int type);        // empty for an unknown code
int paymentTypeCode(const QString& text); // 0 when the text names no type
inline constexpr int kReceiptType = 1;    // "Paragon"

QList<Payment> groupPayments(QSqlDatabase db, int groupId); // in order of entry

// A receipt number as stored, 14 characters: four digits, "/", four digits,
// "#", four digits. The characters of each part stand right-aligned in it with
// blanks before them, so "7/#" (a receipt field with 7 typed and the rest left
// empty) becomes "   7/    #    ".
QString receiptNumber(const QString& typed);

// The document number proposed for the next payment of a type: the latest
// number of that type over all groups, plus one.
QString nextDocumentNumber(QSqlDatabase db, int type);
// The number of the latest payment of a type, empty when there is none.
QString latestDocumentNumber(QSqlDatabase db, int type);
QString followingDocumentNumber(const QString& previous, int type);

// What the payments part of the billing window shows.
struct Settlement {
    Money paid;  // "Zapłacono"
    Money toPay; // "Do zapłaty": due minus paid, may be negative
    bool settled = false;
};

// Re-evaluates the settled state and stores Kalk.rozl when it changed.
Settlement refreshSettlement(QSqlDatabase db, int groupId);
// The summary from the header's gross with the settled state as stored.
Settlement currentSettlement(QSqlDatabase db, int groupId);
// The summary as the window shows it on opening: due from the lines' sum,
// the settled state as stored.
Settlement storedSettlement(QSqlDatabase db, int groupId);

// The refresh above in a transaction of its own.
void settle(QSqlDatabase db, int groupId);
// Each in one transaction with the refresh of the settled flag.
qint64 registerPayment(QSqlDatabase db, const Payment& payment);
void removePayment(QSqlDatabase db, int groupId, qint64 paymentId);
