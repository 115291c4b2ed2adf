#include "billing/regular_clients.h"

#include "billing/values.h"
#include "db/polish_collation.h"
#include "db/sql.h"

void RegularClients::search(const QString& name, const QString& address, const QString& nip)
{
    m_searched = true;
    m_name = name;
    m_address = address;
    m_nip = nip;
}

QList<RegularClient> RegularClients::rows(QSqlDatabase db) const
{
    // Names and addresses in Polish alphabetical order.
    const QString order = QStringLiteral(" ORDER BY Nazwa") + kCollatePolish +
                          QStringLiteral(", Nip, Adres") + kCollatePolish;
    QSqlQuery q = [&] {
        if (!m_searched)
            return runSql(db, QStringLiteral("SELECT Nazwa, Nip, Adres, Nip_rodzaj, ID_Panstwo "
                                             "FROM (SELECT DISTINCT Nazwa, Nip, Adres, "
                                             "Nip_rodzaj, ID_Panstwo FROM Kalk WHERE "
                                             "Typ = 2) AS k") +
                                  order);
        // Every field takes part; an empty one matches everything. Letters
        // match in any case, Polish ones too ("łódź" finds "Łódź").
        // The distinct rows are sorted outside: an order by a collation is
        // not a column of a DISTINCT on the server.
        return runSql(
            db,
            QStringLiteral("SELECT Nazwa, Nip, Adres, Nip_rodzaj, ID_Panstwo, Rach FROM "
                           "(SELECT DISTINCT Nazwa, Nip, Adres, Nip_rodzaj, ID_Panstwo, Rach "
                           "FROM Kalk WHERE "
                           "(:n = '' OR casefold(Nazwa) LIKE casefold(:pn) ESCAPE '\\') "
                           "AND (:a = '' OR casefold(Adres) LIKE casefold(:pa) ESCAPE "
                           "'\\') AND (:i = '' OR Nip LIKE :pi ESCAPE '\\')) AS k") +
                order + QStringLiteral(", Rach"),
            {{":n", m_name},
             {":pn", likeContains(m_name)},
             {":a", m_address},
             {":pa", likeContains(m_address)},
             {":i", m_nip},
             {":pi", likeContains(m_nip)}});
    }();
    QList<RegularClient> out;
    while (q.next())
        out << RegularClient{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                             optionalInt(q.value(3)), optionalInt(q.value(4))};
    return out;
}
