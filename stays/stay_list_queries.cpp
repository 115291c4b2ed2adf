#include "stays/stay_list_queries.h"

namespace {
bool isReservation(ListMode mode)
{
    return mode == ListMode::Reservations;
}
} // namespace

QString groupStatement(ListMode mode, bool roomFilter, const QString& order)
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
        sql += isReservation(mode)
                   ? QStringLiteral(" and exists(select Nr_pokoju from Rez_msc where "
                                    "Identyfikator=R.Identyfikator and Nr_pokoju like :Nr "
                                    "escape '\\')")
                   : QStringLiteral(" and exists(select Nr_pokoju from Kwat_msc where "
                                    "Identyfikator=K.Identyfikator and Nr_pokoju like :Nr "
                                    "escape '\\')");
    return sql + QStringLiteral(" order by ") + order;
}

QString roomLineStatement(ListMode mode, const QString& order)
{
    return (isReservation(mode)
                ? QStringLiteral(
                      "select * from Rez_msc where Identyfikator=:Identyfikator order by ")
                : QStringLiteral(
                      "select * from Kwat_msc where Identyfikator=:Identyfikator order by ")) +
           order;
}
