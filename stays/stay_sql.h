#pragma once

#include "db/sql.h"

#include <QList>
#include <QPair>
#include <QSqlDatabase>
#include <QString>

// Writes whose failure only skips one item (a room line, a register entry, a
// header update that the save goes on without). The database refusing the
// item itself (a check, a key, a trigger) is reported under `caption` and
// false is returned; any other failure (a read-only or damaged file, a lost
// lock) is not the item's fault and throws DbError, ending the whole save.
bool runSkippable(QSqlDatabase db, const QString& caption, const QString& sql,
                  std::initializer_list<Binding> bindings);

// The same for an insert; returns the new row's key, or 0 when refused.
qlonglong insertSkippable(QSqlDatabase db, const QString& caption, const QString& sql,
                          std::initializer_list<Binding> bindings);

// An insert whose failure ends the operation; returns the new key.
qlonglong insertRow(QSqlDatabase db, const QString& sql, std::initializer_list<Binding> bindings);

// A text for a text column: an empty text is stored as '' and never as NULL.
QVariant textValue(const QString& text);

// A statement with bindings assembled at run time (names like ":r0").
QSqlQuery runSqlList(QSqlDatabase db, const QString& sql,
                     const QList<QPair<QString, QVariant>>& bindings);
