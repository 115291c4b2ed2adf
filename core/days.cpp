#include "core/days.h"

QString dayText(const QDate& day)
{
    return day.isValid() ? day.toString(QLatin1String(kDayFormat)) : QString();
}

std::optional<QDate> dayFromText(const QString& text)
{
    const QString t = text.trimmed();
    if (t.size() != 10)
        return std::nullopt;
    const QDate day = QDate::fromString(t, QLatin1String(kDayFormat));
    if (!day.isValid())
        return std::nullopt;
    return day;
}

qint64 nightsBetween(const QDate& from, const QDate& to)
{
    return from.daysTo(to);
}
