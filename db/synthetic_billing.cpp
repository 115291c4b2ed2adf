// Calculations, payments and invoice numbers of the synthetic hotel.
#include "db/synthetic_writer.h"

#include <algorithm>

namespace synthetic {
namespace {

const char* const kGrounds[] = {"stały klient", "grupa", "pobyt 7 dni", "dzieci", "poza sezonem"};

// VAT contained in a gross amount: the net rounded half up to cents.
Money taxOf(Money gross, int rate)
{
    return gross - Money::mulDiv(gross, 100, 100 + rate).roundedHalfUpToCents();
}

// Payments rounded to whole złoty, as a receptionist takes a deposit.
Money share(Money total, int percent)
{
    return Money::fromZloty(Money::mulDiv(total, percent, 100).units() / Money::kScale);
}

QString receiptNumber(int type, int& paragon, int& paragonYear, int year, int (&others)[5])
{
    if (type != 1)
        return QString::number(++others[type]);
    // Till receipts run from 0001 each year: "0012/2026#0001".
    if (year != paragonYear) {
        paragonYear = year;
        paragon = 0;
    }
    paragon = paragon % 9999 + 1;
    return QStringLiteral("%1/%2#0001").arg(paragon, 4, 10, QLatin1Char('0')).arg(year);
}

} // namespace

// One line per room line, priced from the list as the billing window prices
// it: bed price for part of a room, room price for all of it; a discount
// lowers the gross to four places and keeps the undiscounted price a night.
Money Writer::writeCalculationLines(const Plan& plan, const PlannedGroup& g, int id, int discount,
                                    const QString& ground, int rate, Money& tax)
{
    const int nights = g.to - g.from;
    const QString vat = rate == 0 ? QStringLiteral("zw") : QString::number(rate);
    Money total;
    for (const PlannedLine& l : g.lines) {
        const RoomSpec& room = plan.rooms[static_cast<std::size_t>(l.room)];
        const RoomType& type = roomTypes()[static_cast<std::size_t>(room.type)];
        const Money price = Money::fromZloty(l.beds < room.beds ? type.bedPrice : type.roomPrice);
        Money gross = (price + price * (nights - 1)).roundedHalfUpToCents();
        Money perNight = price;
        if (discount > 0) {
            gross = Money::mulDiv(gross, 100 - discount, 100);
            perNight =
                Money::mulDiv(gross, 100, static_cast<std::int64_t>(100 - discount) * nights);
        }
        const Money lineTax = taxOf(gross, rate);
        m_kalkDet.run({id, room.nr, day(g.from), day(g.to), room.beds, l.beds, moneyValue(perNight),
                       moneyValue(perNight), discount > 0 ? QVariant(discount) : QVariant(),
                       discount > 0 ? ground.left(15) : QString(), nights, vat, moneyValue(lineTax),
                       moneyValue(gross)});
        ++m_counts.calculationLines;
        total += gross;
        tax += lineTax;
    }
    return total;
}

void Writer::writeCalculation(const Plan& plan, const PlannedGroup& g, const Party& party, int id,
                              const QString& name, const QString& notes)
{
    const int discount = chance(m_rng, 12) ? 5 * (1 + below(m_rng, 4)) : 0;
    const QString ground =
        discount > 0 ? QString::fromUtf8(kGrounds[below(m_rng, std::size(kGrounds))]) : QString();
    const int rate = chance(m_rng, 2) ? 0 : 7;
    Money tax;
    const Money total = writeCalculationLines(plan, g, id, discount, ground, rate, tax);

    // Firms take an invoice, now and then a private guest too; only after departure.
    const bool invoice = g.stage == Stage::CheckedOut &&
                         (party.firm || party.tour ? chance(m_rng, 85) : chance(m_rng, 4));
    const bool transfer = invoice && (party.firm ? chance(m_rng, 70) : chance(m_rng, 30));
    const Firm buyer = party.firm ? firm(party.firmIndex) : Firm{};
    const QVariant none;
    const QVariant issued = invoice ? day(g.to) : none;
    const bool settled = planPayments(g, id, total, invoice, transfer);
    m_kalk.run({id,
                day(g.from),
                day(g.to),
                g.to - g.from,
                rate == 0 ? QStringLiteral("zw") : QString::number(rate),
                g.persons,
                moneyValue(total),
                moneyValue(tax),
                discount > 0 ? QVariant(discount) : none,
                ground,
                name,
                invoice ? buyer.address : QString(),
                invoice ? buyer.nip : QString(),
                invoice ? QVariant(2) : none,
                invoice && chance(m_rng, 40) ? QStringLiteral("zam. %1/%2")
                                                   .arg(1 + below(m_rng, 300))
                                                   .arg(m_today.addDays(g.to).year())
                                             : QString(),
                issued,
                issued,
                transfer ? day(g.to + 14) : none,
                invoice ? QVariant(transfer ? 2 : 1) : none,
                notes,
                settled ? 1 : 0});
    ++m_counts.calculations;
    if (invoice)
        m_invoices.push_back({id, g.to});
}

// Most pay once on departure; many leave a deposit first; firms often pay by
// transfer after the invoice. Only what is paid by today is recorded, and a
// group is settled once its payments cover the gross.
bool Writer::planPayments(const PlannedGroup& g, int id, Money due, bool invoice, bool transfer)
{
    std::vector<PendingPayment> planned;
    auto add = [&](int dayOffset, Money amount, int type) {
        if (amount.units() > 0)
            planned.push_back({id, dayOffset, amount.units(), type});
    };
    if (invoice && transfer) {
        add(g.to + below(m_rng, 15), due, chance(m_rng, 15) ? 4 : 3);
    } else if (invoice) {
        add(g.to, due, 1);
    } else {
        const int r = below(m_rng, 100);
        const int finalType = chance(m_rng, 68) ? 1 : chance(m_rng, 90) ? 2 : 4;
        if (r < 55) {
            add(g.to, due, chance(m_rng, 5) ? 3 : finalType);
        } else {
            const Money deposit = share(due, 20 + below(m_rng, 21));
            add(g.from - 1 - below(m_rng, 30), deposit, chance(m_rng, 60) ? 3 : 2);
            if (r < 95) {
                add(g.to, due - deposit, finalType);
            } else {
                const Money middle = share(due - deposit, 50);
                add(g.from, middle, 1);
                add(g.to, due - deposit - middle, finalType);
            }
        }
    }
    Money paid;
    for (const PendingPayment& p : planned) {
        if (p.day > 0 || (p.day == 0 && g.stage != Stage::CheckedOut))
            continue;
        m_payments.push_back(p);
        paid += Money::fromUnits(p.amount);
    }
    return paid >= due;
}

// Receipts numbered in the order they were issued, which is also their ID order.
void Writer::writePayments()
{
    std::stable_sort(
        m_payments.begin(), m_payments.end(),
        [](const PendingPayment& a, const PendingPayment& b) { return a.day < b.day; });
    int paragon = 0;
    int paragonYear = 0;
    int others[5] = {0, 0, 0, 0, 0};
    for (const PendingPayment& p : m_payments) {
        const QDate date = m_today.addDays(p.day);
        const QString number = receiptNumber(p.type, paragon, paragonYear, date.year(), others);
        m_kwit.run({p.group, number, p.amount, day(p.day), p.type});
        ++m_counts.payments;
    }
}

// Invoice numbers run through the whole history, in the order of issue.
void Writer::writeInvoiceNumbers()
{
    std::stable_sort(m_invoices.begin(), m_invoices.end(),
                     [](const Invoice& a, const Invoice& b) { return a.day < b.day; });
    int number = 0;
    for (const Invoice& i : m_invoices) {
        if (number == 32767) // the column is a small integer
            break;
        m_rach.run({++number, i.group});
        ++m_counts.invoices;
    }
}

} // namespace synthetic
