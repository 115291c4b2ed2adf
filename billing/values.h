#pragma once

#include <QMetaType>
#include <QVariant>

#include <optional>

// Whole-number columns that may be empty.
inline std::optional<int> optionalInt(const QVariant& v)
{
    if (v.isNull())
        return std::nullopt;
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

inline QVariant optionalIntValue(std::optional<int> n)
{
    return n ? QVariant(*n) : QVariant(QMetaType(QMetaType::Int));
}
