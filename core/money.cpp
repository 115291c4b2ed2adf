#include "core/money.h"

#include <QLocale>

Money Money::roundedHalfUpToCents() const
{
    const std::int64_t shifted = m_units + 50; // half a cent
    return Money(shifted / 100 * 100);         // truncation toward zero
}

namespace {
__extension__ typedef __int128 Int128;

std::int64_t roundedQuotient(Int128 n, Int128 d)
{
    if (d < 0) {
        n = -n;
        d = -d;
    }
    Int128 q = n / d;
    const Int128 r = n % d;
    const Int128 twice = 2 * (r < 0 ? -r : r);
    if (twice > d || (twice == d && (q % 2 != 0)))
        q += (n < 0) ? -1 : 1;
    return static_cast<std::int64_t>(q);
}
} // namespace

std::int64_t divideRoundHalfEven(std::int64_t a, std::int64_t b)
{
    return roundedQuotient(a, b);
}

Money Money::mulDiv(Money a, std::int64_t num, std::int64_t den)
{
    return Money(roundedQuotient(static_cast<Int128>(a.m_units) * num, den));
}

Money Money::mulDiv(Money m, Money num, Money den)
{
    return Money(roundedQuotient(static_cast<Int128>(m.m_units) * num.m_units, den.m_units));
}

std::optional<Money> Money::parse(const QString& input)
{
    QString text = input.trimmed();
    if (text.endsWith(QStringLiteral("zł"))) {
        text.chop(2);
        text = text.trimmed(); // any blank before the currency, a tab too
    }
    text.remove(QLatin1Char(' '));
    text.remove(QChar(0x00A0)); // no-break space, Polish thousands grouping
    text.remove(QChar(0x202F));
    if (text.isEmpty())
        return std::nullopt;

    bool negative = false;
    if (text.startsWith(QLatin1Char('-'))) {
        negative = true;
        text.remove(0, 1);
    } else if (text.startsWith(QLatin1Char('+'))) {
        text.remove(0, 1);
    }
    qsizetype sep = -1; // the first decimal separator, comma or point
    for (qsizetype i = 0; i < text.size() && sep < 0; ++i)
        if (text[i] == QLatin1Char(',') || text[i] == QLatin1Char('.'))
            sep = i;
    const QString whole = sep < 0 ? text : text.left(sep);
    const QString fraction = sep < 0 ? QString() : text.mid(sep + 1);
    auto digitsOnly = [](const QString& s) {
        for (QChar c : s)
            if (!c.isDigit() || c.unicode() > '9')
                return false;
        return true;
    };
    if ((whole.isEmpty() && fraction.isEmpty()) || !digitsOnly(whole) || !digitsOnly(fraction) ||
        fraction.size() > 4 || whole.size() > 14)
        return std::nullopt;
    std::int64_t units = 0;
    for (QChar c : whole)
        units = units * 10 + (c.unicode() - '0');
    units *= kScale;
    std::int64_t scale = kScale / 10;
    for (QChar c : fraction) {
        units += (c.unicode() - '0') * scale;
        scale /= 10;
    }
    return Money(negative ? -units : units);
}

QString Money::toPlainString(bool grouped) const
{
    // Two decimals, half away from zero. Unsigned, so that any stored value,
    // the lowest and the highest included, formats without overflow.
    const std::uint64_t absUnits =
        m_units < 0 ? 0 - static_cast<std::uint64_t>(m_units) : static_cast<std::uint64_t>(m_units);
    const std::uint64_t cents = absUnits / 100 + (absUnits % 100 >= 50 ? 1 : 0);
    QString whole = QString::number(cents / 100);
    if (grouped) {
        const QChar group =
            QLocale().groupSeparator().isEmpty() ? QChar(0x00A0) : QLocale().groupSeparator().at(0);
        for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
            whole.insert(i, group);
    }
    const QString frac =
        QStringLiteral("%1").arg(static_cast<int>(cents % 100), 2, 10, QLatin1Char('0'));
    const bool negative = m_units < 0 && cents != 0;
    return (negative ? QStringLiteral("-") : QString()) + whole + QLatin1Char(',') + frac;
}

QString Money::toString() const
{
    return toPlainString() + QStringLiteral(" zł");
}
