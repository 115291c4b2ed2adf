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

QStringList InvoiceSettings::write() const
{
    QStringList failed;
    const std::pair<QString, QString> values[] = {{QStringLiteral("Bank"), bank},
                                                  {QStringLiteral("Konto"), konto},
                                                  {QStringLiteral("FakturaRoz"), fakturaRoz}};
    for (const auto& [name, value] : values)
        if (!writeSetting(name, value))
            failed << name;
    return failed;
}
