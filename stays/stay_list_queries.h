#pragma once

#include <QSqlDatabase>
#include <QString>

// The three kinds of group the stay list shows.
enum class ListMode { Reservations, Accommodations, Payments };

// The statement of the group grid: all groups of the mode, those with a room
// line whose number contains :Nr when `roomFilter`, in the given order. The
// order is one of the grid's own field names, optionally followed by " desc";
// the group name sorts in Polish alphabetical order.
QString groupStatement(const QSqlDatabase& db, ListMode mode, bool roomFilter,
                       const QString& order);
// The room lines of one group (:Identyfikator) in the given order.
QString roomLineStatement(ListMode mode, const QString& order);
