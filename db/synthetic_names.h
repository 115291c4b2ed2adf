#pragma once

#include <QString>

#include <cstdint>
#include <random>

// Names, places and firms from which the synthetic hotel's guests are made.
// A person is kept as a few small indexes into these pools, so that hundreds of
// thousands of them fit in memory while the history is generated.
namespace synthetic {

// The languages whose names a guest may carry; index into the name pools.
enum class Tongue : std::uint8_t { Polish, German, Czech, English, Ukrainian, French, Other };

// A foreign country of the country list with the language of its guests and
// its weight among foreign arrivals.
struct Origin {
    const char* country;
    Tongue tongue;
    int weight;
};
const Origin* origins(int& count);

struct NameParts {
    QString surname;
    QString firstName;
};
// The `index`-th name of a language; female names get the female surname form
// where the language has one. `index` may be any number (taken modulo the pool).
NameParts personName(Tongue tongue, bool female, std::uint32_t index);

QString homeTown(std::uint32_t index);
QString streetAddress(Tongue tongue, std::mt19937& rng);
QString documentNumber(Tongue tongue, int kind, std::mt19937& rng);

struct Firm {
    QString name;
    QString address;
    QString nip;
};
Firm firm(std::uint32_t index);
QString tourName(std::mt19937& rng);

} // namespace synthetic
