#include "core/holidays.h"

QDate easterSunday(int year)
{
    // The anonymous Gregorian computus (Meeus, Jones, Butcher).
    const int a = year % 19;
    const int b = year / 100;
    const int c = year % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int dayOfMonth = (h + l - 7 * m + 114) % 31 + 1;
    return QDate(year, month, dayOfMonth);
}

QString publicHolidayName(const QDate& day)
{
    if (!day.isValid())
        return {};
    struct Fixed {
        int month;
        int day;
        const char* name;
    };
    static const Fixed fixed[] = {
        {1, 1, "Nowy Rok"},
        {1, 6, "Święto Trzech Króli"},
        {5, 1, "Święto Pracy"},
        {5, 3, "Święto Konstytucji 3 Maja"},
        {8, 15, "Wniebowzięcie Najświętszej Maryi Panny"},
        {11, 1, "Wszystkich Świętych"},
        {11, 11, "Narodowe Święto Niepodległości"},
        {12, 24, "Wigilia Bożego Narodzenia"},
        {12, 25, "Boże Narodzenie (pierwszy dzień)"},
        {12, 26, "Boże Narodzenie (drugi dzień)"},
    };
    for (const Fixed& f : fixed) {
        if (day.month() != f.month || day.day() != f.day)
            continue;
        // Christmas Eve is a day free from work from 2025 on; Epiphany from 2011.
        if (f.month == 12 && f.day == 24 && day.year() < 2025)
            return {};
        if (f.month == 1 && f.day == 6 && day.year() < 2011)
            return {};
        return QString::fromUtf8(f.name);
    }
    const qint64 fromEaster = easterSunday(day.year()).daysTo(day);
    switch (fromEaster) {
    case 0:
        return QStringLiteral("Wielkanoc");
    case 1:
        return QStringLiteral("Poniedziałek Wielkanocny");
    case 49:
        return QStringLiteral("Zielone Świątki");
    case 60:
        return QStringLiteral("Boże Ciało");
    default:
        return {};
    }
}
