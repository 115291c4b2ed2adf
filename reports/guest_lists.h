#pragma once

#include "db/sql.h"

#include <QDate>
#include <QList>
#include <QString>

// The statements behind the guest lists. Each gives its SQL text (fixed
// fragments only) and the values to bind.
struct Statement {
    QString sql;
    QList<std::pair<QString, QVariant>> bindings;
};

// Everybody accommodated now, by completeness of the personal data:
// 0 "Wszystkie Osoby", 1 "Pełne Dane", 2 "Niepełne Dane". Groups without a
// room line are left out.
Statement currentGuestsStatement(int dataFilter);
QStringList currentGuestsFilterItems();

// Room lines of the arrivals (1: reservation lines beginning on `day`),
// departures (2: accommodation lines ending on `day`) or all reservations (3).
Statement roomListStatement(int kind, const QDate& day);

// The persons (or, while nobody is registered, the group itself) accommodated
// on `day`, with the calculated columns Dane and Data.
Statement groupsOfDayStatement(const QDate& day);

// "yyyy-mm-dd (weekday)", the way list titles show a day.
QString dayWithWeekday(const QDate& day);
