#include "admin/invoice_settings.h"

#include "core/settings.h"

InvoiceSettings InvoiceSettings::read()
{
    InvoiceSettings s;
    if (const auto bank = readSetting(QStringLiteral("Bank")))
        s.bank = *bank;
    if (const auto konto = readSetting(QStringLiteral("Konto")))
        s.konto = *konto;
    const auto roz = readSetting(QStringLiteral("FakturaRoz"));
    if (roz && !roz->isEmpty())
        s.fakturaRoz = *roz;
    return s;
}

void InvoiceSettings::write() const
{
    writeSetting(QStringLiteral("Bank"), bank);
    writeSetting(QStringLiteral("Konto"), konto);
    writeSetting(QStringLiteral("FakturaRoz"), fakturaRoz);
}
