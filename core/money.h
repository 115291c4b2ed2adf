#pragma once

#include <QString>

#include <compare>
#include <cstdint>
#include <optional>

// An amount of money as a signed count of ten-thousandths of a złoty.
// Never a double: every sum, tax and discount is exact to the ten-thousandth.
class Money {
public:
    static constexpr std::int64_t kScale = 10000; // ten-thousandths per złoty

    constexpr Money() = default;
    static constexpr Money fromUnits(std::int64_t tenThousandths) { return Money(tenThousandths); }
    static constexpr Money fromZloty(std::int64_t zloty) { return Money(zloty * kScale); }
    static constexpr Money fromGrosze(std::int64_t grosze) { return Money(grosze * 100); }

    // A typed amount: "120", "120,5", "120.50", "1 234,50", "-3,25", "120 zł".
    // At most four decimals; anything else is not an amount.
    static std::optional<Money> parse(const QString& text);

    constexpr std::int64_t units() const { return m_units; }
    constexpr bool isZero() const { return m_units == 0; }

    // Half up to cents: add half a cent and truncate toward zero to whole cents.
    Money roundedHalfUpToCents() const;

    // a * num / den rounded to four places, ties to even. den must not be 0.
    static Money mulDiv(Money a, std::int64_t num, std::int64_t den);
    // a / b as an exact ratio applied to m: m * a / b rounded to four places, ties to even.
    static Money mulDiv(Money m, Money num, Money den);

    // "150,00 zł": two decimals (half away from zero), Polish decimal comma.
    QString toString() const;
    // The same without the currency: "150,00"; grouped: "1 234,50".
    QString toPlainString(bool grouped = false) const;

    constexpr Money operator-() const { return Money(-m_units); }
    constexpr Money operator+(Money o) const { return Money(m_units + o.m_units); }
    constexpr Money operator-(Money o) const { return Money(m_units - o.m_units); }
    constexpr Money operator*(std::int64_t k) const { return Money(m_units * k); }
    constexpr Money& operator+=(Money o)
    {
        m_units += o.m_units;
        return *this;
    }
    constexpr Money& operator-=(Money o)
    {
        m_units -= o.m_units;
        return *this;
    }
    constexpr auto operator<=>(const Money&) const = default;

private:
    constexpr explicit Money(std::int64_t units)
        : m_units(units)
    {
    }
    std::int64_t m_units = 0;
};

// a / b rounded to the nearest integer, ties to even. b must not be 0.
std::int64_t divideRoundHalfEven(std::int64_t a, std::int64_t b);
