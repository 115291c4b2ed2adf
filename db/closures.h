#pragma once

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// Periods out of use: days on which the whole house takes no guests
// (Dni_zamkniete) and rooms blocked for a while, for a renovation or damage
// (Blokady). A period runs from `from` to `to`, both days included; a room
// blocked on a day cannot be slept in the night that begins that day.
enum class ClosureKind { House, Room };

struct Closure {
    qint64 id = 0; // 0 for one not stored yet
    QString room;  // empty for the house
    QDate from;
    QDate to;
    QString reason;
    bool operator==(const Closure&) const = default;
};

// Every stored period of the kind, latest first. Throws DbError.
QList<Closure> readClosures(QSqlDatabase db, ClosureKind kind);

// Checks a period before it is stored: a Polish message of what is wrong, or
// empty when it may be stored. `rooms` are the room numbers of the house.
QString closureProblem(ClosureKind kind, const Closure& closure, const QStringList& rooms);

// Stores a new period (id 0) or changes a stored one; returns its id. Throws
// RezydoError with closureProblem's message, or DbError.
qint64 saveClosure(QSqlDatabase db, ClosureKind kind, const Closure& closure,
                   const QStringList& rooms);
void removeClosure(QSqlDatabase db, ClosureKind kind, qint64 id);

// The periods of the kind with at least one day in [first, last], in order
// of their start. Throws DbError.
QList<Closure> closuresBetween(QSqlDatabase db, ClosureKind kind, const QDate& first,
                               const QDate& last);

// The block of `room` that covers `day`, if any (the earliest one).
const Closure* blockOn(const QList<Closure>& blocks, const QString& room, const QDate& day);
// Whether a closed period covers `day`.
bool closedOn(const QList<Closure>& closures, const QDate& day);
