#pragma once

#include <QDate>
#include <QDateTime>

#include <functional>

// The program's idea of the current day and time; tests fix it.
QDate today();
QDateTime now();

// Installs a clock (an empty function restores the system clock).
void setClock(std::function<QDateTime()> clock);
