#include "billing/amount_in_words.h"

#include <QStringList>

#include <array>
#include <cstdlib>

namespace {
const std::array<const char*, 10> kHundreds = {"",          "sto",        "dwieście", "trzysta",
                                               "czterysta", "pięćset",    "sześćset", "siedemset",
                                               "osiemset",  "dziewięćset"};
const std::array<const char*, 10> kTens = {"",
                                           "",
                                           "dwadzieścia",
                                           "trzydzieści",
                                           "czterdzieści",
                                           "pięćdziesiąt",
                                           "sześćdziesiąt",
                                           "siedemdziesiąt",
                                           "osiemdziesiąt",
                                           "dziewięćdziesiąt"};
const std::array<const char*, 10> kTeens = {
    "dziesięć",   "jedenaście", "dwanaście",    "trzynaście",  "czternaście",
    "piętnaście", "szesnaście", "siedemnaście", "osiemnaście", "dziewiętnaście"};
const std::array<const char*, 10> kUnits = {"",     "jeden", "dwa",    "trzy",  "cztery",
                                            "pięć", "sześć", "siedem", "osiem", "dziewięć"};

// The three forms of a group's name: for one, for 2-4 (not in the teens), for the rest.
struct GroupName {
    const char* one;
    const char* few;
    const char* many;
};
const std::array<GroupName, 4> kGroups = {{{"miliard", "miliardy", ""},
                                           {"milion", "miliony", "milionów"},
                                           {"tysiąc", "tysiące", "tysięcy"},
                                           {"", "", ""}}};

void add(QStringList& words, const char* word)
{
    if (*word)
        words << QString::fromUtf8(word);
}

void groupWords(QStringList& words, int g, const GroupName& name, bool unitsGroup)
{
    if (g == 0)
        return;
    if (g == 1) {
        add(words, unitsGroup ? "jeden" : name.one);
        return;
    }
    const int h = g / 100;
    const int t = (g % 100) / 10;
    const int u = g % 10;
    add(words, kHundreds[h]);
    if (t >= 2)
        add(words, kTens[t]);
    if (t == 1) {
        add(words, kTeens[u]);
        add(words, name.many);
    } else {
        add(words, kUnits[u]);
        add(words, (u >= 2 && u <= 4) ? name.few : name.many);
    }
}
} // namespace

QString amountInWords(std::int32_t value)
{
    if (value == 0)
        return QStringLiteral("zero");
    QStringList words;
    std::int64_t n = value; // -2^31 has no positive 32-bit counterpart
    if (n < 0) {
        words << QStringLiteral("minus");
        n = -n;
    }
    if (n == 1) {
        words << QStringLiteral("jeden");
        return words.join(QLatin1Char(' '));
    }
    const std::array<int, 4> groups = {
        static_cast<int>(n / 1000000000), static_cast<int>(n / 1000000 % 1000),
        static_cast<int>(n / 1000 % 1000), static_cast<int>(n % 1000)};
    for (std::size_t i = 0; i < groups.size(); ++i)
        groupWords(words, groups[i], kGroups[i], i == 3);
    return words.join(QLatin1Char(' '));
}

QString moneyInWords(Money amount)
{
    // Whole grosze, half away from zero, as the amount is printed. Złote and
    // grosze each carry the amount's sign: -0,50 is "zero zł. minus
    // pięćdziesiąt gr.", -12,34 "minus dwanaście zł. minus trzydzieści cztery gr.".
    const std::int64_t grosze = (std::llabs(amount.units()) + 50) / 100;
    const std::int64_t sign = amount.units() < 0 ? -1 : 1;
    const auto zloty = static_cast<std::int32_t>(sign * (grosze / 100));
    const auto cents = static_cast<std::int32_t>(sign * (grosze % 100));
    return amountInWords(zloty) + QStringLiteral(" zł. ") + amountInWords(cents) +
           QStringLiteral(" gr.");
}
