#pragma once

#include "billing/payments.h" // paymentTypeText: the names of the payment types
#include "core/money.h"
#include "reports/engine/report.h"
#include "reports/engine/report_output.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class RowSet;

// The four lists about money: unsettled groups, payments of a period,
// issued invoices and granted discounts. Each window's query is a RowSet
// opened by the functions below; each report reads it as filtered.

// Texts of the coded columns; any other code gives an empty text.
QString paymentMethodText(int code); // Kalk.sposob_zaplaty

// The unsettled accommodation groups (rozl false or not yet calculated).
void openUnpaidGroups(RowSet& rows);
// Payments with Data between the two days, by day and number, with TypStr.
void openPayments(RowSet& rows, const QDate& from, const QDate& to);
// The VAT invoices issued between the two days, with Sposob.
void openInvoices(RowSet& rows, const QDate& from, const QDate& to);
// Calculations with a discount sold, or stayed wholly, in the period, with Rabat.
void openDiscounts(RowSet& rows, const QDate& from, const QDate& to);

// The items of the payment type list and the row filter of each.
QStringList paymentTypeItems();
QString paymentTypeFilter(int index);
// The sum of a money column over the visible rows.
Money visibleTotal(const RowSet& rows, const QString& column);
// An amount in the regional currency format: "12 345,60 zł", thousands
// grouped with the locale's separator (a no-break space in Polish).
QString groupedMoneyText(Money amount);
// "Razem 1 234,50 zł".
QString paymentsTotalText(Money total);

class TRapDlugi final : public Report {
public:
    // Room lines are read from `db` for each group.
    TRapDlugi(const ReportData& groups, QSqlDatabase db);
};

class TRapOplaty final : public Report {
public:
    TRapOplaty(const ReportData& payments, const QDate& from, const QDate& to);
};

class TRapFaktury final : public Report {
public:
    TRapFaktury(const ReportData& invoices, const QDate& from, const QDate& to);

private:
    int m_ordinal = 0;
};

class TRapRabaty final : public Report {
public:
    TRapRabaty(const ReportData& discounts, const QDate& from, const QDate& to);
};

inline const QString kInvoiceDatesMessage =
    QStringLiteral("Data początkowa jest większa od daty końcowej");
inline const QString kNoInvoicesMessage =
    QStringLiteral("W wybranym przedziale czasu nie ma faktur.");

// Launchers on the windows' rows.
LaunchResult printUnpaidGroups(const RowSet& groups, QSqlDatabase db, ReportOutput mode);
LaunchResult printPayments(const RowSet& payments, ReportOutput mode, const QDate& from,
                           const QDate& to);
// Fails when `from` is after `to` or there is no invoice.
LaunchResult printInvoices(const RowSet& invoices, ReportOutput mode, const QDate& from,
                           const QDate& to);
// Prints nothing, and fails without a message, when there is no row.
LaunchResult printDiscounts(const RowSet& discounts, ReportOutput mode, const QDate& from,
                            const QDate& to);
