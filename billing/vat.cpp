#include "billing/vat.h"

#include "db/sql.h"

int vatRate(const QString& vatText)
{
    bool ok = false;
    const int rate = vatText.trimmed().toInt(&ok);
    return ok ? rate : 0;
}

Money netOfGrossAt(Money gross, int percent)
{
    // Net in cents = gross (in ten-thousandths) / (100 + rate); half a cent is
    // added and the result truncated toward zero, done exactly in integers.
    const std::int64_t divisor = 100 + percent;
    const std::int64_t cents = (2 * gross.units() + divisor) / (2 * divisor);
    return Money::fromGrosze(cents);
}

Money vatOfGrossAt(Money gross, int percent)
{
    return gross - netOfGrossAt(gross, percent);
}

Money netOfGross(Money gross, const QString& vatText)
{
    return netOfGrossAt(gross, vatRate(vatText));
}

Money vatOfGross(Money gross, const QString& vatText)
{
    return vatOfGrossAt(gross, vatRate(vatText));
}

QList<VatRate> loadVatRates(QSqlDatabase db)
{
    QList<VatRate> rates;
    QSqlQuery q = runSql(db, QStringLiteral("SELECT Kod, Procent, Opis, Oferowana, Kod_FA FROM "
                                            "Stawki_VAT ORDER BY rowid"));
    while (q.next())
        rates << VatRate{q.value(0).toString(), q.value(1).toInt(), q.value(2).toString(),
                         q.value(3).toInt() != 0, q.value(4).toString()};
    return rates;
}

QStringList offeredVatCodes(const QList<VatRate>& rates)
{
    QStringList codes;
    for (const VatRate& r : rates)
        if (r.offered)
            codes << r.code;
    return codes;
}

VatRate vatRateOf(const QList<VatRate>& rates, const QString& code)
{
    for (const VatRate& r : rates)
        if (r.code == code)
            return r;
    const int percent = vatRate(code);
    const bool number = percent != 0 || code.trimmed() == QLatin1String("0");
    return VatRate{code, percent, number ? code + QStringLiteral("%") : code, false, code};
}

int vatPercent(QSqlDatabase db, const QString& code)
{
    const QVariant p = scalarSql(
        db, QStringLiteral("SELECT Procent FROM Stawki_VAT WHERE Kod = :Kod"), {{":Kod", code}});
    return p.isValid() ? p.toInt() : vatRate(code);
}

QString accommodationVat(QSqlDatabase db)
{
    const QString code =
        scalarSql(db, QStringLiteral("SELECT Stawka_noclegu FROM Config LIMIT 1")).toString();
    return code.trimmed().isEmpty() ? QStringLiteral("8") : code;
}

QString exemptionBasis(QSqlDatabase db)
{
    return scalarSql(db, QStringLiteral("SELECT Podstawa_zw FROM Config LIMIT 1")).toString();
}
