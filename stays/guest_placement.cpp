#include "stays/guest_placement.h"

#include "stays/stay_sql.h"

#include <QList>

namespace {
const QString kEntryCaption = QStringLiteral("Dodawanie wpisów do ksiązki meldunkowej");

struct Bedded {
    QVariant room;
    QVariant from;
    QVariant to;
    int beds = 0;
};

// One person record and its register entry; true when the entry was stored.
// Both land or neither does: a refused entry must not leave an empty person
// record behind in the archive.
bool addEntry(QSqlDatabase db, int groupId, const QVariant& room, const QVariant& from,
              const QVariant& to)
{
    runSql(db, QStringLiteral("SAVEPOINT placeholder"));
    const qlonglong person =
        insertRow(db, QStringLiteral("INSERT INTO Arch_os (ID_Panstwo) VALUES (:ID_Panstwo)"),
                  {{":ID_Panstwo", 1}});
    const bool stored =
        runSkippable(db, kEntryCaption,
                     QStringLiteral("INSERT INTO Ksiazka (Identyfikator_g, Od, \"Do\", "
                                    "Nr_pokoju, Pelne_dane, Identyfikator_o) "
                                    "VALUES (:ID, :Od, :Do, :Nr, :D, :ID_o)"),
                     {{":ID", groupId},
                      {":Od", from},
                      {":Do", to},
                      {":Nr", room},
                      {":D", boolValue(false)},
                      {":ID_o", person}});
    if (!stored)
        runSql(db, QStringLiteral("ROLLBACK TO placeholder"));
    runSql(db, QStringLiteral("RELEASE placeholder"));
    return stored;
}
} // namespace

int placePersonsInRooms(QSqlDatabase db, int groupId, int persons)
{
    QList<Bedded> lines;
    {
        QSqlQuery q = runSql(
            db, QStringLiteral("SELECT * FROM Kwat_msc WHERE Identyfikator = :ID ORDER BY rowid"),
            {{":ID", groupId}});
        while (q.next())
            lines.append({q.value(QStringLiteral("Nr_pokoju")), q.value(QStringLiteral("Od")),
                          q.value(QStringLiteral("Do")),
                          q.value(QStringLiteral("Miejsc")).toInt()});
    }
    int placed = 0;
    for (const Bedded& line : lines) {
        for (int bed = 0; bed < line.beds && placed < persons; ++bed)
            if (addEntry(db, groupId, line.room, line.from, line.to))
                ++placed;
        if (placed >= persons)
            break;
    }
    return placed;
}

int addPersonsWithoutRoom(QSqlDatabase db, int groupId, int placed, int persons,
                          const QDate& groupFrom, const QDate& groupTo)
{
    // Each refusal is reported and not counted; three in a row mean the
    // database will not take them, and the count would never be reached.
    int refusedInRow = 0;
    while (placed < persons && refusedInRow < 3) {
        if (addEntry(db, groupId, textValue(QString()), dayValue(groupFrom), dayValue(groupTo))) {
            ++placed;
            refusedInRow = 0;
        } else {
            ++refusedInRow;
        }
    }
    return placed;
}

int placeGroupPersons(QSqlDatabase db, int groupId, int persons, const QDate& groupFrom,
                      const QDate& groupTo)
{
    const int placed = placePersonsInRooms(db, groupId, persons);
    return addPersonsWithoutRoom(db, groupId, placed, persons, groupFrom, groupTo);
}
