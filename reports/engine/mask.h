#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

// Display masks of report fields. Decimal and grouping characters, and the
// weekday names, come from the default locale (Polish in the program).

// How a stored column is to be read before masking.
enum class ValueKind {
    Auto,  // by the value's own type; text that is a stored day counts as a day
    Money, // INTEGER ten-thousandths of a złoty
    Day,   // TEXT 'yyyy-mm-dd'
};

// yyyy, mm, dd and dddd (full weekday name); every other character is copied.
QString formatDate(const QDate& day, const QString& mask);

// A fixed-point number (mantissa / 10^scale) through a mask of 0 (digit always
// shown), # (digit shown when significant), "," (thousands grouping) and "."
// (decimal point); text before and after the digits is copied. Rounds half
// away from zero to the decimals the mask shows.
QString formatNumber(qint64 mantissa, int scale, const QString& mask);

// Whether the mask is a date pattern rather than a number pattern.
bool isDateMask(const QString& mask);

// A field's value as printed: empty for NULL; without a mask in its plain form
// (days as yyyy-mm-dd, money with two decimals).
QString formatValue(const QVariant& value, const QString& mask, ValueKind kind = ValueKind::Auto);

// The value as a fixed-point number with four decimals (for sums); nullopt-free:
// NULL and text that is no number count as 0.
qint64 numericUnits(const QVariant& value, ValueKind kind);
