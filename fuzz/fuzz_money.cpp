// Typed amounts: Money::parse never fails other than by "not an amount", and
// every amount it reads is shown as a text it reads back to the same cents.
// The first eight bytes also stand for a stored amount (any 64-bit value a
// database file may hold), which must format without overflow.
#include "fuzz/fuzz_support.h"

#include "core/money.h"

#include <QLocale>
#include <QRegularExpression>

#include <cstring>

namespace {

constexpr std::int64_t kLargestTyped = 1'000'000'000'000'000'000; // 14 whole digits, 4 decimals

bool isDigitOrSeparator(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char(',') ||
           c == QLatin1Char('.');
}

// A formatted amount reads back to itself rounded to cents, and prints the same again.
void checkShownForms(Money m, const QString& input)
{
    static const QRegularExpression plain(QStringLiteral("^-?[0-9]+,[0-9]{2}$"));
    const QString forms[] = {m.toPlainString(), m.toPlainString(true), m.toString()};
    fuzzCheck(plain.match(forms[0]).hasMatch(), "an amount shows as digits, comma, two decimals",
              input);
    if (m.units() <= -kLargestTyped + 50 || m.units() >= kLargestTyped - 50)
        return; // more whole digits than anyone types: shown, never read back
    for (const QString& shown : forms) {
        const std::optional<Money> back = Money::parse(shown);
        fuzzCheck(back.has_value(), "a shown amount reads back", input);
        const std::int64_t diff = back->units() - m.units();
        fuzzCheck(back->units() % 100 == 0 && diff >= -50 && diff <= 50,
                  "a shown amount is the amount to the nearest cent", input);
        fuzzCheck(m.units() % 100 != 0 || *back == m, "whole cents show exactly", input);
        fuzzCheck(back->toPlainString(true) == m.toPlainString(true),
                  "a shown amount shows the same again", input);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The program's locale, as main() sets it: grouping with a no-break space.
    static const bool polish = [] {
        QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
        return true;
    }();
    (void)polish;
    const QString text = fuzzText(data, size);

    std::uint64_t raw = 0;
    std::memcpy(&raw, data, std::min(size, sizeof raw));
    checkShownForms(Money::fromUnits(static_cast<std::int64_t>(raw)), text);

    const std::optional<Money> m = Money::parse(text);
    if (!m)
        return 0;
    fuzzCheck(m->units() > -kLargestTyped && m->units() < kLargestTyped,
              "a typed amount has at most 14 whole digits", text);
    checkShownForms(*m, text);

    const QString t = text.trimmed();
    if (!text.isEmpty() && isDigitOrSeparator(text.front()))
        fuzzCheck(Money::parse(QLatin1Char('-') + text) == -*m, "a minus sign negates", text);
    if (!t.endsWith(QStringLiteral("zł")))
        fuzzCheck(Money::parse(text + QStringLiteral(" zł")) == m, "the currency is ignored", text);
    return 0;
}
