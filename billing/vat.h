#pragma once

#include "core/money.h"

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

// The rate texts offered wherever a VAT rate is chosen, in their order.
inline const QStringList& vatChoices()
{
    static const QStringList choices{QStringLiteral("7"), QStringLiteral("0"), QStringLiteral("22"),
                                     QStringLiteral("zw")};
    return choices;
}
