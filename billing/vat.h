#pragma once

#include "core/money.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The VAT rate of a rate text ("22", "7", "0"); 0 for "zw" (exempt) and for
// anything that is not a whole number.
int vatRate(const QString& vatText);

// Net of a gross amount at the rate, rounded half up to whole cents.
Money netOfGross(Money gross, const QString& vatText);
// The VAT contained in a gross amount: gross minus its net. Keeps the four
// decimal places of the gross.
Money vatOfGross(Money gross, const QString& vatText);
// The same at a percentage (0 for exempt and zero-rated).
Money netOfGrossAt(Money gross, int percent);
Money vatOfGrossAt(Money gross, int percent);

// One row of the rate table (Stawki_VAT).
struct VatRate {
    QString code;    // as calculation lines store it ("8", "zw")
    int percent = 0; // 0 for "zw" and "0"
    QString printed; // the text the invoice prints ("8%", "zw")
    bool offered = true;
    QString faCode; // the structured invoice's code ("8", "0 KR", "zw")
};

// The rates in table order.
QList<VatRate> loadVatRates(QSqlDatabase db);
// The codes a new or changed line may choose, in table order.
QStringList offeredVatCodes(const QList<VatRate>& rates);
// The rate of a code; a code the table lacks is read as its number, so an old
// line keeps the percentage it always had.
VatRate vatRateOf(const QList<VatRate>& rates, const QString& code);
int vatPercent(QSqlDatabase db, const QString& code);

// The rate new room lines get (Config.Stawka_noclegu), "8" when it is not set.
QString accommodationVat(QSqlDatabase db);
// The provision an exempt seller names on its invoices (Config.Podstawa_zw).
QString exemptionBasis(QSqlDatabase db);
