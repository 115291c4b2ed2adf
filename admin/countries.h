#pragma once

#include <QSqlDatabase>
#include <QString>

#include <optional>

class TableCursor;

inline const QString kCountryDeleteCaption = QStringLiteral("Usuwanie państwa - błąd!");

// Why the country `id` may not be deleted: register entries are checked
// before person records. nullopt when nothing names it.
std::optional<QString> countryDeleteRefusal(QSqlDatabase db, qint64 id);

// Deletes the current country of `countries` (on `db`) after the checks; a refusal is
// shown as a warning. Returns whether a row was deleted. Throws DbError.
bool deleteCountry(QSqlDatabase db, TableCursor& countries);

// Ends the adding of a country: a non-empty name is saved, the list read
// again and its last row (the new country) made current; an empty name drops
// the new row. Returns whether a row was saved. Throws DbError.
bool finishNewCountry(TableCursor& countries);
