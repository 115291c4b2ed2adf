#include "register/bed_slots.h"

#include "db/sql.h"

#include <QHash>

namespace {
QString placeKey(const QString& room, const QVariant& od, const QVariant& to)
{
    return room + QLatin1Char('\n') + od.toString() + QLatin1Char('\n') + to.toString();
}

// Complete entries per room and period: the beds they already occupy.
QHash<QString, int> occupiedBeds(QSqlDatabase db, int groupId)
{
    QSqlQuery q = runSql(db,
                         QStringLiteral("SELECT Od, \"Do\", Nr_pokoju, count(*) FROM Ksiazka "
                                        "WHERE Pelne_dane = 1 AND Identyfikator_g = :ID "
                                        "GROUP BY Od, \"Do\", Nr_pokoju"),
                         {{":ID", groupId}});
    QHash<QString, int> taken;
    while (q.next())
        taken.insert(placeKey(q.value(2).toString(), q.value(0), q.value(1)), q.value(3).toInt());
    return taken;
}

void selectOwnPlace(BedSlotList& list, const EntryPlace& own)
{
    const TKwaterunek mine{own.Od, own.Do, own.Nr_pokoju};
    if (own.complete) {
        // A complete entry's bed is counted as taken, so it is offered again
        // on its own, at the end.
        list.beds.push_back(mine);
        list.selected = static_cast<int>(list.beds.size()) - 1;
        return;
    }
    for (int i = static_cast<int>(list.beds.size()) - 1; i >= 0; --i) {
        if (list.beds[static_cast<size_t>(i)] == mine) {
            list.selected = i;
            return;
        }
    }
}
} // namespace

BedSlotList buildBedSlots(QSqlDatabase db, int groupId, const std::optional<EntryPlace>& own)
{
    const QHash<QString, int> taken = occupiedBeds(db, groupId);
    // Lines of the same room and dates count as one line with their beds summed;
    // the groups keep the order in which their first line was entered.
    QSqlQuery q = runSql(db,
                         QStringLiteral("SELECT Nr_pokoju, Od, \"Do\", sum(Miejsc) FROM Kwat_msc "
                                        "WHERE Identyfikator = :ID "
                                        "GROUP BY Nr_pokoju, Od, \"Do\" ORDER BY min(rowid)"),
                         {{":ID", groupId}});
    BedSlotList list;
    while (q.next()) {
        const QString room = q.value(0).toString();
        const int free =
            q.value(3).toInt() - taken.value(placeKey(room, q.value(1), q.value(2)), 0);
        const TKwaterunek slot{dayFromValue(q.value(1)), dayFromValue(q.value(2)), room};
        for (int i = 0; i < free; ++i)
            list.beds.push_back(slot);
    }
    if (own && !own->Nr_pokoju.isEmpty() && own->Od.isValid())
        selectOwnPlace(list, *own);
    return list;
}
