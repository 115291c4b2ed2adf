#include "reports/engine/mask.h"

#include "core/days.h"
#include "db/sql.h"

#include <QLocale>

#include <cmath>
#include <cstdlib>

namespace {
qint64 pow10(int n) {
    qint64 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// mantissa / 10^drop rounded half away from zero.
qint64 dropDigits(qint64 mantissa, int drop) {
    if (drop <= 0)
        return mantissa * pow10(-drop);
    const qint64 d = pow10(drop);
    const qint64 q = mantissa / d;
    const qint64 r = mantissa % d;
    if (std::llabs(r) * 2 >= d)
        return q + (mantissa < 0 ? -1 : 1);
    return q;
}

QString groupDigits(QString digits) {
    const QString sep = QLocale().groupSeparator();
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, sep);
    return digits;
}

bool isMaskDigit(QChar c) {
    return c == QLatin1Char('0') || c == QLatin1Char('#');
}
} // namespace

QString formatDate(const QDate& day, const QString& mask) {
    if (!day.isValid())
        return {};
    QString out;
    const QString lower = mask.toLower();
    for (qsizetype i = 0; i < mask.size();) {
        auto at = [&](const char* token) { return lower.mid(i).startsWith(QLatin1String(token)); };
        if (at("yyyy")) {
            out += QStringLiteral("%1").arg(day.year(), 4, 10, QLatin1Char('0'));
            i += 4;
        } else if (at("dddd")) {
            out += QLocale().dayName(day.dayOfWeek(), QLocale::LongFormat);
            i += 4;
        } else if (at("dd")) {
            out += QStringLiteral("%1").arg(day.day(), 2, 10, QLatin1Char('0'));
            i += 2;
        } else if (at("mm")) {
            out += QStringLiteral("%1").arg(day.month(), 2, 10, QLatin1Char('0'));
            i += 2;
        } else {
            out += mask[i];
            ++i;
        }
    }
    return out;
}

bool isDateMask(const QString& mask) {
    const QString lower = mask.toLower();
    const bool dateTokens = lower.contains(QLatin1String("yy")) ||
                            lower.contains(QLatin1String("mm")) ||
                            lower.contains(QLatin1String("dd"));
    return dateTokens && !mask.contains(QLatin1Char('0')) && !mask.contains(QLatin1Char('#'));
}

QString formatNumber(qint64 mantissa, int scale, const QString& mask) {
    qsizetype first = -1;
    qsizetype last = -1;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        if (isMaskDigit(mask[i])) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first < 0) // no digits in the mask: the number as it is, then the text
        return formatNumber(mantissa, scale, QStringLiteral("0.####")) + mask;
    if (first > 0 && mask[first - 1] == QLatin1Char('.'))
        --first; // ".00"
    const QString prefix = mask.left(first);
    const QString suffix = mask.mid(last + 1);
    const QString pattern = mask.mid(first, last - first + 1);
    const qsizetype point = pattern.indexOf(QLatin1Char('.'));
    const QString intPattern = point < 0 ? pattern : pattern.left(point);
    const QString fracPattern = point < 0 ? QString() : pattern.mid(point + 1);

    const int minInt = static_cast<int>(intPattern.count(QLatin1Char('0')));
    const int fracMin = static_cast<int>(fracPattern.count(QLatin1Char('0')));
    const int fracMax = fracMin + static_cast<int>(fracPattern.count(QLatin1Char('#')));

    const qint64 rounded = dropDigits(mantissa, scale - fracMax);
    const qint64 magnitude = std::llabs(rounded);
    const qint64 unit = pow10(fracMax);
    QString whole = magnitude / unit == 0 ? QString() : QString::number(magnitude / unit);
    while (whole.size() < minInt)
        whole.prepend(QLatin1Char('0'));
    if (intPattern.contains(QLatin1Char(',')))
        whole = groupDigits(whole);
    QString fraction =
        fracMax == 0 ? QString()
                     : QStringLiteral("%1").arg(magnitude % unit, fracMax, 10, QLatin1Char('0'));
    while (fraction.size() > fracMin && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);

    QString out = prefix;
    if (rounded < 0)
        out += QLatin1Char('-');
    out += whole;
    if (!fraction.isEmpty())
        out += QLocale().decimalPoint() + fraction;
    return out + suffix;
}

qint64 numericUnits(const QVariant& value, ValueKind kind) {
    if (value.isNull() || !value.isValid())
        return 0;
    if (kind == ValueKind::Money)
        return moneyFromValue(value).units();
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        return value.toLongLong() * 10000;
    default: {
        bool ok = false;
        const double d = value.toDouble(&ok);
        return ok ? std::llround(d * 10000.0) : 0;
    }
    }
}

namespace {
std::optional<QDate> asDay(const QVariant& value, ValueKind kind) {
    if (value.typeId() == QMetaType::QDate)
        return value.toDate();
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().date();
    if (kind == ValueKind::Day || (kind == ValueKind::Auto && value.typeId() == QMetaType::QString))
        return dayFromText(value.toString());
    return std::nullopt;
}
} // namespace

QString formatValue(const QVariant& value, const QString& mask, ValueKind kind) {
    if (!value.isValid() || value.isNull())
        return {};
    if (kind != ValueKind::Money) {
        if (const std::optional<QDate> day = asDay(value, kind))
            return mask.isEmpty() ? dayText(*day) : formatDate(*day, mask);
    }
    if (kind == ValueKind::Money)
        return mask.isEmpty() ? moneyFromValue(value).toPlainString()
                              : formatNumber(moneyFromValue(value).units(), 4, mask);
    if (mask.isEmpty())
        return value.toString();
    if (value.typeId() == QMetaType::QString) {
        bool ok = false;
        value.toString().toDouble(&ok);
        if (!ok)
            return value.toString();
    }
    return formatNumber(numericUnits(value, kind), 4, mask);
}
