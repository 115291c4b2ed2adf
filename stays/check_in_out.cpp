#include "stays/check_in_out.h"

#include "db/data_module.h"
#include "db/sql.h"

#include <QSqlQuery>
#include <QVariant>

namespace {
const QString kCheckIn = QStringLiteral("Kwaterowanie na podstawie rezerwacji");
const QString kCopyLines = QStringLiteral("Przepisanie pokoi do kwaterunku");
const QString kDeleteReservation = QStringLiteral("Usuwanie pokoi z rezerwacji");
const QString kAddEntries = QStringLiteral("Dodawanie wpisów do ksiązki meldunkowej");
const QString kDelete = QStringLiteral("Usuwanie");
const QString kDeletePersons = QStringLiteral("Usuwanie osób z archiwum");

// A step whose failure ends the whole operation: reported, then the
// transaction is rolled back by the caller.
struct StepFailed {};

template <typename F> auto step(const QString& caption, F&& f) {
    try {
        return f();
    } catch (const DbError& e) {
        reportDatabaseError(caption, e);
        throw StepFailed{};
    }
}

// One empty person record and its incomplete register entry. Both land or
// neither does: a refused entry must not leave an orphaned person record.
// A failed person record ends the check-in (DbError goes on up); a refused
// entry is reported and gives false.
bool addPlaceholder(QSqlDatabase db, int groupId, const QVariant& od, const QVariant& doDay,
                    const QString& room) {
    runSql(db, QStringLiteral("SAVEPOINT placeholder"));
    const QSqlQuery person =
        runSql(db, QStringLiteral("insert into Arch_os(ID_Panstwo) values (:ID_Panstwo)"),
               {{":ID_Panstwo", 1}});
    const QVariant personId = person.lastInsertId();
    try {
        runSql(db,
               QStringLiteral("insert into Ksiazka(Identyfikator_g,Od,\"Do\",Nr_pokoju,Pelne_dane,"
                              "Identyfikator_o) values (:ID,:Od,:Do,:Nr,0,:ID_o)"),
               {{":ID", groupId}, {":Od", od}, {":Do", doDay}, {":Nr", room}, {":ID_o", personId}});
    } catch (const DbError& e) {
        runSql(db, QStringLiteral("ROLLBACK TO placeholder"));
        runSql(db, QStringLiteral("RELEASE placeholder"));
        reportDatabaseError(kAddEntries, e);
        return false;
    }
    runSql(db, QStringLiteral("RELEASE placeholder"));
    return true;
}

void placePersons(QSqlDatabase db, int groupId, int persons, const QVariant& od,
                  const QVariant& doDay) {
    int placed = 0;
    QSqlQuery lines = runSql(db,
                             QStringLiteral("select Nr_pokoju, Od, \"Do\", Miejsc from Kwat_msc "
                                            "where Identyfikator=:ID order by rowid"),
                             {{":ID", groupId}});
    struct Line {
        QString room;
        QVariant od, doDay;
        int beds;
    };
    QList<Line> all;
    while (lines.next())
        all.append(
            {lines.value(0).toString(), lines.value(1), lines.value(2), lines.value(3).toInt()});
    for (const Line& line : all)
        for (int bed = 0; bed < line.beds && placed < persons; ++bed)
            if (addPlaceholder(db, groupId, line.od, line.doDay, line.room))
                ++placed;
    // The rest without a room, with the group's own dates. Three refusals in
    // a row mean the database will not take them; stop instead of looping.
    int refusedInARow = 0;
    while (placed < persons && refusedInARow < 3) {
        if (addPlaceholder(db, groupId, od, doDay, QString(QLatin1String(""))))
            ++placed, refusedInARow = 0;
        else
            ++refusedInARow;
    }
}
} // namespace

std::optional<int> checkInReservation(QSqlDatabase db, int reservationId) {
    try {
        Transaction tx(db);
        QSqlQuery header = step(kCheckIn, [&] {
            return runSql(db,
                          QStringLiteral("select Nazwa, Osob, Od, \"Do\", Notatki from Rez_hot "
                                         "where Identyfikator=:ID"),
                          {{":ID", reservationId}});
        });
        if (!header.next())
            return std::nullopt; // another workstation has checked it in or deleted it
        const QVariant od = header.value(2);
        const QVariant doDay = header.value(3);
        const int persons = header.value(1).toInt();
        // The new key comes from this insert itself, never from max().
        const int groupId = step(kCheckIn, [&] {
            return runSql(db,
                          QStringLiteral("insert into Kwat_hot(Nazwa,Osob,Od,\"Do\",Notatki) "
                                         "values (:Nazwa,:Osob,:Od,:Do,:Notatki)"),
                          {{":Nazwa", header.value(0)},
                           {":Osob", header.value(1)},
                           {":Od", od},
                           {":Do", doDay},
                           {":Notatki", header.value(4)}})
                .lastInsertId()
                .toInt();
        });
        step(kCopyLines, [&] {
            return runSql(db,
                          QStringLiteral("insert into Kwat_msc(Identyfikator,Nr_pokoju,Od,\"Do\","
                                         "Miejsc,Jaki) select :K,Nr_pokoju,Od,\"Do\",Miejsc,Jaki "
                                         "from Rez_msc where Identyfikator=:ID order by rowid"),
                          {{":K", groupId}, {":ID", reservationId}});
        });
        step(kDeleteReservation, [&] {
            runSql(db, QStringLiteral("delete from Rez_msc where Identyfikator=:ID"),
                   {{":ID", reservationId}});
            return runSql(db, QStringLiteral("delete from Rez_hot where Identyfikator=:ID"),
                          {{":ID", reservationId}});
        });
        placePersons(db, groupId, persons, od, doDay);
        tx.commit();
        return groupId;
    } catch (const StepFailed&) {
        return std::nullopt;
    }
}

bool isGroupSettled(QSqlDatabase db, int groupId) {
    QSqlQuery kalk =
        runSql(db, QStringLiteral("select Brutto, Przedplata from Kalk where Identyfikator=:ID"),
               {{":ID", groupId}});
    if (!kalk.next())
        return false;
    const Money due = moneyFromValue(kalk.value(0)) - moneyFromValue(kalk.value(1));
    const Money paid = moneyFromValue(
        scalarSql(db, QStringLiteral("select sum(Wplata) from Kwit where Identyfikator=:ID"),
                  {{":ID", groupId}}));
    return paid == due;
}

int incompleteEntries(QSqlDatabase db, int groupId) {
    return scalarSql(db,
                     QStringLiteral("select count(*) from Ksiazka where Pelne_dane=0 and "
                                    "Identyfikator_g=:ID"),
                     {{":ID", groupId}})
        .toInt();
}

bool checkOutGroup(QSqlDatabase db, int groupId) {
    try {
        Transaction tx(db);
        runSql(db, QStringLiteral("update Ksiazka set Wykwaterowany=1 where Identyfikator_g=:ID"),
               {{":ID", groupId}});
        try {
            runSql(db,
                   QStringLiteral("delete from Arch_os where Identyfikator_o in (select "
                                  "Identyfikator_o from Ksiazka where Identyfikator_g=:ID and "
                                  "Pelne_dane=0)"),
                   {{":ID", groupId}});
        } catch (const DbError& e) {
            reportDatabaseError(kDeletePersons, e);
        }
        step(kDelete, [&] {
            runSql(db, QStringLiteral("delete from Kwat_msc where Identyfikator=:ID"),
                   {{":ID", groupId}});
            return runSql(db, QStringLiteral("delete from Kwat_hot where Identyfikator=:ID"),
                          {{":ID", groupId}});
        });
        tx.commit();
        return true;
    } catch (const StepFailed&) {
        return false;
    }
}

bool deleteReservation(QSqlDatabase db, int reservationId) {
    try {
        step(kDelete, [&] {
            Transaction tx(db);
            runSql(db, QStringLiteral("delete from Rez_msc where Identyfikator=:ID"),
                   {{":ID", reservationId}});
            runSql(db, QStringLiteral("delete from Rez_hot where Identyfikator=:ID"),
                   {{":ID", reservationId}});
            tx.commit();
            return true;
        });
        return true;
    } catch (const StepFailed&) {
        return false;
    }
}
