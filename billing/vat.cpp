#include "billing/vat.h"

int vatRate(const QString& vatText)
{
    bool ok = false;
    const int rate = vatText.trimmed().toInt(&ok);
    return ok ? rate : 0;
}

Money netOfGross(Money gross, const QString& vatText)
{
    // Net in cents = gross (in ten-thousandths) / (100 + rate); half a cent is
    // added and the result truncated toward zero, done exactly in integers.
    const std::int64_t divisor = 100 + vatRate(vatText);
    const std::int64_t cents = (2 * gross.units() + divisor) / (2 * divisor);
    return Money::fromGrosze(cents);
}

Money vatOfGross(Money gross, const QString& vatText)
{
    return gross - netOfGross(gross, vatText);
}
