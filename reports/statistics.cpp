#include "reports/statistics.h"

#include "db/sql.h"

#include <QSqlQuery>

namespace {
QString countryFilter(int countryCondition)
{
    if (countryCondition < 0)
        return QStringLiteral(" and ID_Panstwo>1");
    if (countryCondition > 0)
        return QStringLiteral(" and ID_Panstwo=:Kraj");
    return {};
}

const QString kArrived = QStringLiteral(" from Ksiazka where Od>=:Od and Od<=:Koniec");
} // namespace

QList<std::pair<QDate, QDate>> seasonMonths(int year)
{
    QList<std::pair<QDate, QDate>> months;
    for (int m = 7; m <= 9; ++m) {
        const QDate first(year, m, 1);
        months.append({first, first.addMonths(1).addDays(-1)});
    }
    return months;
}

UsageFigures usage(QSqlDatabase db, const QDate& start, const QDate& end, int countryCondition)
{
    const QString where = kArrived + countryFilter(countryCondition);
    auto run = [&](const QString& sql) {
        return scalarSql(
            db, sql,
            {{":Od", dayValue(start)}, {":Koniec", dayValue(end)}, {":Kraj", countryCondition}});
    };
    UsageFigures f;
    f.persons = run(QStringLiteral("select count(distinct Identyfikator_o)") + where).toInt();
    f.nights = run(QStringLiteral("select cast(coalesce(sum(julianday(\"Do\")-julianday(Od)),0) "
                                  "as integer)") +
                   where)
                   .toLongLong();
    // Several persons sharing a room for the same dates give the room's nights once.
    f.roomNights = run(QStringLiteral("select cast(coalesce(sum(w),0) as integer) from (select "
                                      "distinct Nr_pokoju, Od, \"Do\", julianday(\"Do\")-"
                                      "julianday(Od) as w") +
                       where + QStringLiteral(") as Pokoje_dni where w>0"))
                       .toLongLong();
    return f;
}

SeasonMonthRow seasonMonthRow(QSqlDatabase db, const QDate& start, const QDate& end)
{
    static const QStringList names{QStringLiteral("Lipiec"), QStringLiteral("Sierpień"),
                                   QStringLiteral("Wrzesień")};
    SeasonMonthRow row;
    const int index = start.month() - 7;
    row.month = index >= 0 && index < names.size() ? names[index] : QString();
    row.days = static_cast<int>(start.daysTo(end)) + 1;
    const QVariant beds = scalarSql(db, QStringLiteral("select sum(Miejsc) from Pokoje"));
    row.beds = beds.isNull() ? QString() : beds.toString();
    row.rooms = scalarSql(db, QStringLiteral("select count(Nr_Pokoju) from Pokoje")).toInt();
    row.all = usage(db, start, end, 0);
    row.foreign = usage(db, start, end, -1);
    return row;
}

QList<int> foreignCountries(QSqlDatabase db)
{
    QList<int> ids;
    QSqlQuery q = runSql(db, QStringLiteral("select ID from Panstwo where ID>1 order by rowid"));
    while (q.next())
        ids << q.value(0).toInt();
    if (q.lastError().isValid())
        throw DbError(q.lastError());
    return ids;
}

SeasonCountryRow seasonCountryRow(QSqlDatabase db, int countryId, int year)
{
    SeasonCountryRow row;
    row.countryId = countryId;
    row.name = scalarSql(db, QStringLiteral("select Nazwa from Panstwo where ID=:ID"),
                         {{":ID", countryId}})
                   .toString();
    for (const auto& [start, end] : seasonMonths(year))
        row.months << usage(db, start, end, countryId);
    return row;
}

PersonNights personNights(QSqlDatabase db, const QDate& start, const QDate& end)
{
    PersonNights result;
    const qint64 length = start.daysTo(end);
    if (length <= 0)
        return result;
    struct Step {
        const char* nights;
        const char* condition;
    };
    // Wholly inside; covering the whole period; beginning inside and ending
    // after; beginning before and ending inside.
    const Step steps[] = {
        {"sum(julianday(\"Do\")-julianday(Od))", "Od>=:S and \"Do\"<=:E"},
        {"count(*)*:Dlugosc", "Od<:S and \"Do\">:E"},
        {"sum(julianday(:E)-julianday(Od))", "Od>=:S and Od<:E and \"Do\">:E"},
        {"sum(julianday(\"Do\")-julianday(:S))", "\"Do\">:S and \"Do\"<=:E and Od<:S"},
    };
    for (const Step& s : steps) {
        QSqlQuery q =
            runSql(db,
                   QStringLiteral("select cast(coalesce(%1,0) as integer), count(*) from "
                                  "Ksiazka where Nr_pokoju<>'' and %2")
                       .arg(QLatin1String(s.nights), QLatin1String(s.condition)),
                   {{":S", dayValue(start)}, {":E", dayValue(end)}, {":Dlugosc", length}});
        if (q.next()) {
            result.nights += q.value(0).toLongLong();
            result.persons += q.value(1).toLongLong();
        }
    }
    return result;
}
