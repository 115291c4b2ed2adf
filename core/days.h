#pragma once

#include <QDate>
#include <QString>

#include <optional>

// Days are shown, typed and stored as "yyyy-mm-dd" everywhere.
inline constexpr const char* kDayFormat = "yyyy-MM-dd";

QString dayText(const QDate& day); // "" for an invalid day
std::optional<QDate>
dayFromText(const QString& text); // strict "yyyy-mm-dd", surrounding blanks allowed
// Nights between two days (departure minus arrival), as the stored columns subtract.
qint64 nightsBetween(const QDate& from, const QDate& to);
