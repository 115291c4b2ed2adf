#include "billing/invoice_lines.h"

#include "billing/payments.h"
#include "billing/vat.h"
#include "db/sql.h"
#include "reports/engine/mask.h"

#include <QSqlQuery>

#include <algorithm>

namespace {
// The rates the four fixed rows of the older layout know.
bool fixedRowRate(const QString& code)
{
    return code == QLatin1String("22") || code == QLatin1String("7") ||
           code == QLatin1String("0") || code == QLatin1String("zw");
}

// The unit net price of a row: its net value shared by the quantity, to the cent.
Money unitNetOf(Money net, int quantity)
{
    return quantity == 0 ? net : Money::mulDiv(net, 1, quantity).roundedHalfUpToCents();
}

InvoiceItem item(const QString& name, const QString& unit, int quantity, Money gross,
                 const VatRate& rate)
{
    InvoiceItem i;
    i.name = name;
    i.unit = unit;
    i.quantity = quantity;
    i.gross = gross;
    i.net = netOfGrossAt(gross, rate.percent);
    i.tax = gross - i.net;
    i.unitNet = unitNetOf(i.net, quantity);
    i.rate = rate.printed;
    return i;
}

// Room lines of equal period, price, rate, discount and nights make one row
// whose quantity is their nights together. Lines without a discount come
// before discounted ones on either engine (the server sorts NULL last).
void addRoomItems(QSqlDatabase db, int groupId, bool breakfast, const QList<VatRate>& rates,
                  InvoiceData& d, QStringList& codes)
{
    QSqlQuery q =
        runSql(db,
               QStringLiteral("SELECT Od, \"Do\", VAT, Znizka, Sum(Dni), Sum(Brutto) "
                              "FROM Kalk_det WHERE Identyfikator = :ID "
                              "GROUP BY Od, \"Do\", Oplata1, VAT, Znizka, Dni "
                              "ORDER BY Od, \"Do\", Oplata1, VAT, Znizka IS NOT NULL, Znizka, Dni"),
               {{":ID", groupId}});
    const QString base = breakfast ? QStringLiteral("Usługa noclegowa ze śniadaniem")
                                   : QStringLiteral("Usługa noclegowa");
    while (q.next()) {
        const QString code = q.value(2).toString();
        QString name = base + QStringLiteral(" ") +
                       formatDate(dayFromValue(q.value(0)), QStringLiteral("dd-mm-yyyy")) +
                       QStringLiteral(" – ") +
                       formatDate(dayFromValue(q.value(1)), QStringLiteral("dd-mm-yyyy"));
        const int discount = q.value(3).toInt();
        if (discount != 0)
            name += QStringLiteral(" (zniżka %1%)").arg(discount);
        InvoiceItem i = item(name, QStringLiteral("doba"), q.value(4).toInt(),
                             moneyFromValue(q.value(5)), vatRateOf(rates, code));
        i.room = true;
        d.items << i;
        codes << code;
    }
}

void addServiceItems(QSqlDatabase db, int groupId, const QList<VatRate>& rates, InvoiceData& d,
                     QStringList& codes)
{
    QSqlQuery q = runSql(db,
                         QStringLiteral("SELECT Nazwa, PKWiU, Jm, Ilosc, VAT, Brutto FROM Kalk_usl "
                                        "WHERE Identyfikator = :ID ORDER BY \"No\""),
                         {{":ID", groupId}});
    while (q.next()) {
        const QString code = q.value(4).toString();
        InvoiceItem i = item(q.value(0).toString(), q.value(2).toString(), q.value(3).toInt(),
                             moneyFromValue(q.value(5)), vatRateOf(rates, code));
        i.pkwiu = q.value(1).toString();
        d.items << i;
        codes << code;
    }
}

// Per rate, the tax comes from the rate's gross sum, as the summary of every
// invoice computes it; so a line's tax may differ by a cent from its share.
void addRateTotals(const QList<VatRate>& rates, const QList<InvoiceItem>& items,
                   const QStringList& codes, InvoiceData& d)
{
    QStringList order;
    for (const VatRate& r : rates)
        order << r.code;
    for (const QString& c : codes)
        if (!order.contains(c))
            order << c;
    for (const QString& code : order) {
        if (!codes.contains(code))
            continue;
        const VatRate rate = vatRateOf(rates, code);
        RateTotal t{code, rate.printed, rate.percent, {}, {}, {}};
        for (qsizetype i = 0; i < items.size(); ++i)
            if (codes.at(i) == code)
                t.gross += items.at(i).gross;
        t.tax = rate.percent > 0 ? taxInGross(t.gross, rate.percent) : Money();
        t.net = t.gross - t.tax;
        d.rateTotals << t;
    }
}

void addPayments(QSqlDatabase db, int groupId, InvoiceData& d)
{
    QSqlQuery kalk = runSql(db,
                            QStringLiteral("SELECT Przedplata_data, Przedplata_forma FROM Kalk "
                                           "WHERE Identyfikator = :ID"),
                            {{":ID", groupId}});
    if (kalk.next()) {
        d.prepaidOn = dayFromValue(kalk.value(0));
        d.prepaymentForm = kalk.value(1).toInt();
    }
    if (!d.prepaid.isZero())
        d.paymentForms << d.prepaymentForm;
    QSqlQuery q = runSql(db,
                         QStringLiteral("SELECT Wplata, coalesce(Forma, 0) FROM Kwit "
                                        "WHERE Identyfikator = :ID ORDER BY ID"),
                         {{":ID", groupId}});
    while (q.next()) {
        d.paid += moneyFromValue(q.value(0));
        d.paymentForms << q.value(1).toInt();
    }
}
} // namespace

void loadInvoiceLines(QSqlDatabase db, int groupId, InvoiceData& d)
{
    const QList<VatRate> rates = loadVatRates(db);
    QSqlQuery kalk =
        runSql(db, QStringLiteral("SELECT Uklad, Sniadanie FROM Kalk WHERE Identyfikator = :ID"),
               {{":ID", groupId}});
    const bool known = kalk.next();
    const bool laidOutPerLine = known && kalk.value(0).toInt() >= 2;
    const bool breakfast = known && kalk.value(1).toInt() != 0;

    QStringList codes;
    addRoomItems(db, groupId, breakfast, rates, d, codes);
    const qsizetype roomRows = d.items.size();
    addServiceItems(db, groupId, rates, d, codes);
    const bool otherRate = std::any_of(codes.cbegin(), codes.cend(),
                                       [](const QString& c) { return !fixedRowRate(c); });
    d.perLine = laidOutPerLine || d.items.size() > roomRows || otherRate;
    addRateTotals(rates, d.items, codes, d);
    if (codes.contains(QStringLiteral("zw")))
        d.exemptionBasis = exemptionBasis(db);
    addPayments(db, groupId, d);
}

Money InvoiceData::stillDue() const
{
    return std::max(Money(), gross - prepaid - paid);
}

QString InvoiceData::paidText() const
{
    if (paymentForms.isEmpty() || stillDue() > Money() || gross <= Money())
        return {};
    const int first = paymentForms.first();
    const bool one = std::all_of(paymentForms.cbegin(), paymentForms.cend(),
                                 [first](int f) { return f == first; });
    if (one && first == static_cast<int>(PaymentForm::Cash))
        return QStringLiteral("ZAPŁACONO GOTÓWKĄ");
    if (one && first == static_cast<int>(PaymentForm::Card))
        return QStringLiteral("ZAPŁACONO KARTĄ");
    if (one && first == static_cast<int>(PaymentForm::Transfer))
        return QStringLiteral("ZAPŁACONO PRZELEWEM");
    return QStringLiteral("ZAPŁACONO");
}
