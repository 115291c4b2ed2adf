#pragma once

#include <QDate>
#include <QString>

// Easter Sunday of a Gregorian year.
QDate easterSunday(int year);

// The name of the Polish public holiday (a day free from work by law) that
// falls on `day`, or an empty text. Sundays count only where a holiday of
// their own falls on them (Wielkanoc, Zielone Świątki).
QString publicHolidayName(const QDate& day);
inline bool isPublicHoliday(const QDate& day)
{
    return !publicHolidayName(day).isEmpty();
}
