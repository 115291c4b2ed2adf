#include "db/closures.h"

#include "db/sql.h"

namespace {
QString tableOf(ClosureKind kind)
{
    return kind == ClosureKind::House ? QStringLiteral("Dni_zamkniete") : QStringLiteral("Blokady");
}

QString roomColumn(ClosureKind kind)
{
    return kind == ClosureKind::House ? QStringLiteral("''") : QStringLiteral("Nr_pokoju");
}

QList<Closure> readAll(QSqlQuery& q)
{
    QList<Closure> out;
    while (q.next())
        out.append({q.value(0).toLongLong(), q.value(1).toString(), dayFromValue(q.value(2)),
                    dayFromValue(q.value(3)), q.value(4).toString()});
    return out;
}
} // namespace

QList<Closure> readClosures(QSqlDatabase db, ClosureKind kind)
{
    QSqlQuery q = runSql(db, QStringLiteral("SELECT ID, %1, Od, \"Do\", Powod FROM %2 "
                                            "ORDER BY Od DESC, ID DESC")
                                 .arg(roomColumn(kind), tableOf(kind)));
    return readAll(q);
}

QString closureProblem(ClosureKind kind, const Closure& closure, const QStringList& rooms)
{
    if (kind == ClosureKind::Room && !rooms.contains(closure.room))
        return QStringLiteral("Wybierz pokój, który ma być zablokowany.");
    if (!closure.from.isValid() || !closure.to.isValid())
        return QStringLiteral("Podaj daty początku i końca okresu.");
    if (closure.to < closure.from)
        return QStringLiteral("Data końcowa nie może być wcześniejsza niż początkowa.");
    return {};
}

qint64 saveClosure(QSqlDatabase db, ClosureKind kind, const Closure& closure,
                   const QStringList& rooms)
{
    const QString problem = closureProblem(kind, closure, rooms);
    if (!problem.isEmpty())
        throw RezydoError(problem);
    const QString table = tableOf(kind);
    const bool house = kind == ClosureKind::House;
    if (closure.id == 0) {
        QSqlQuery q = runSql(db,
                             house ? QStringLiteral("INSERT INTO Dni_zamkniete (Od, \"Do\", Powod) "
                                                    "VALUES (:Od, :Do, :Powod)")
                                   : QStringLiteral("INSERT INTO Blokady (Nr_pokoju, Od, \"Do\", "
                                                    "Powod) VALUES (:Pokoj, :Od, :Do, :Powod)"),
                             {{":Pokoj", closure.room},
                              {":Od", dayValue(closure.from)},
                              {":Do", dayValue(closure.to)},
                              {":Powod", closure.reason}});
        return q.lastInsertId().toLongLong();
    }
    runSql(db,
           house ? QStringLiteral("UPDATE Dni_zamkniete SET Od = :Od, \"Do\" = :Do, Powod = :Powod "
                                  "WHERE ID = :ID")
                 : QStringLiteral("UPDATE Blokady SET Nr_pokoju = :Pokoj, Od = :Od, \"Do\" = :Do, "
                                  "Powod = :Powod WHERE ID = :ID"),
           {{":Pokoj", closure.room},
            {":Od", dayValue(closure.from)},
            {":Do", dayValue(closure.to)},
            {":Powod", closure.reason},
            {":ID", closure.id}});
    return closure.id;
}

void removeClosure(QSqlDatabase db, ClosureKind kind, qint64 id)
{
    runSql(db, QStringLiteral("DELETE FROM %1 WHERE ID = :ID").arg(tableOf(kind)), {{":ID", id}});
}

QList<Closure> closuresBetween(QSqlDatabase db, ClosureKind kind, const QDate& first,
                               const QDate& last)
{
    QSqlQuery q = runSql(db,
                         QStringLiteral("SELECT ID, %1, Od, \"Do\", Powod FROM %2 "
                                        "WHERE Od <= :Last AND \"Do\" >= :First ORDER BY Od, ID")
                             .arg(roomColumn(kind), tableOf(kind)),
                         {{":First", dayValue(first)}, {":Last", dayValue(last)}});
    return readAll(q);
}

const Closure* blockOn(const QList<Closure>& blocks, const QString& room, const QDate& day)
{
    for (const Closure& b : blocks)
        if (b.room.compare(room, Qt::CaseInsensitive) == 0 && b.from <= day && day <= b.to)
            return &b;
    return nullptr;
}

bool closedOn(const QList<Closure>& closures, const QDate& day)
{
    for (const Closure& c : closures)
        if (c.from <= day && day <= c.to)
            return true;
    return false;
}
