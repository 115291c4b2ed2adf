#include "stays/stay_list_queries.h"

#include "db/engine.h"
#include "db/polish_collation.h"

namespace {
bool isReservation(ListMode mode)
{
    return mode == ListMode::Reservations;
}

// A grid's order text for SQL: a field of text (the group name, the gender
// code) in Polish order. Room numbers, days and numbers keep their own order.
QString orderTerm(const QString& order)
{
    QString field = order.trimmed();
    QString direction;
    if (field.endsWith(QLatin1String(" desc"), Qt::CaseInsensitive)) {
        direction = field.right(5);
        field.chop(5);
        field = field.trimmed();
    }
    for (const char* text : {"Nazwa", "Jaki"})
        if (field.compare(QLatin1String(text), Qt::CaseInsensitive) == 0)
            return field + kCollatePolish + direction;
    return order;
}
} // namespace

QString groupStatement(const QSqlDatabase& db, ListMode mode, bool roomFilter, const QString& order)
{
    QString sql;
    switch (mode) {
    case ListMode::Reservations:
        sql = QStringLiteral("select * from Rez_hot R where 1=1");
        break;
    case ListMode::Accommodations:
        sql = QStringLiteral("select * from Kwat_hot K where 1=1");
        break;
    case ListMode::Payments:
        sql = QStringLiteral("select * from Kwat_rozl K where 1=1");
        break;
    }
    if (roomFilter)
        sql +=
            QStringLiteral(" and exists(select Nr_pokoju from %1 where "
                           "Identyfikator=%2.Identyfikator and %3)")
                .arg(isReservation(mode) ? QStringLiteral("Rez_msc") : QStringLiteral("Kwat_msc"),
                     isReservation(mode) ? QStringLiteral("R") : QStringLiteral("K"),
                     likeIgnoringAsciiCaseSql(db, QStringLiteral("Nr_pokoju"),
                                              QStringLiteral(":Nr")));
    return sql + QStringLiteral(" order by ") + orderTerm(order);
}

QString roomLineStatement(ListMode mode, const QString& order)
{
    return (isReservation(mode)
                ? QStringLiteral(
                      "select * from Rez_msc where Identyfikator=:Identyfikator order by ")
                : QStringLiteral(
                      "select * from Kwat_msc where Identyfikator=:Identyfikator order by ")) +
           orderTerm(order);
}
