#include "stays/check_in_out.h"

#include "db/data_module.h"
#include "db/engine.h"
#include "db/sql.h"
#include "stays/guest_placement.h"

#include <QSqlQuery>
#include <QVariant>

namespace {
const QString kCheckIn = QStringLiteral("Kwaterowanie na podstawie rezerwacji");
const QString kCopyLines = QStringLiteral("Przepisanie pokoi do kwaterunku");
const QString kDeleteReservation = QStringLiteral("Usuwanie pokoi z rezerwacji");
const QString kDelete = QStringLiteral("Usuwanie");
const QString kDeletePersons = QStringLiteral("Usuwanie osób z archiwum");

// A step whose failure ends the whole operation: reported, then the
// transaction is rolled back by the caller. A refusal because another desk
// wrote at the same moment is no failure: the whole transaction runs again.
struct StepFailed {};

template <typename F> auto step(const QString& caption, F&& f)
{
    try {
        return f();
    } catch (const DbError& e) {
        if (e.isConflict())
            throw;
        reportDatabaseError(caption, e);
        throw StepFailed{};
    }
}

} // namespace

std::optional<int> checkInReservation(QSqlDatabase db, int reservationId)
{
    std::optional<int> checkedIn;
    try {
        runInTransaction(db, [&] {
            checkedIn.reset();
            // Nazwa, Osob, Od, Do, Notatki; read whole before anything is written.
            QVariantList header;
            step(kCheckIn, [&] {
                QSqlQuery q = runSql(db,
                                     QStringLiteral("select Nazwa, Osob, Od, \"Do\", Notatki "
                                                    "from Rez_hot where Identyfikator=:ID"),
                                     {{":ID", reservationId}});
                if (q.next())
                    for (int column = 0; column < 5; ++column)
                        header << q.value(column);
                return 0;
            });
            if (header.isEmpty())
                return; // another workstation has checked it in or deleted it
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
                              QStringLiteral("insert into Kwat_msc(Identyfikator,Nr_pokoju,Od,"
                                             "\"Do\",Miejsc,Jaki) select :K,Nr_pokoju,Od,\"Do\","
                                             "Miejsc,Jaki from Rez_msc where Identyfikator=:ID "
                                             "order by rowid"),
                              {{":K", groupId}, {":ID", reservationId}});
            });
            step(kDeleteReservation, [&] {
                runSql(db, QStringLiteral("delete from Rez_msc where Identyfikator=:ID"),
                       {{":ID", reservationId}});
                return runSql(db, QStringLiteral("delete from Rez_hot where Identyfikator=:ID"),
                              {{":ID", reservationId}});
            });
            placeGroupPersons(db, groupId, persons, dayFromValue(od), dayFromValue(doDay));
            checkedIn = groupId;
        });
        return checkedIn;
    } catch (const StepFailed&) {
        return std::nullopt;
    }
}

bool isGroupSettled(QSqlDatabase db, int groupId)
{
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

int incompleteEntries(QSqlDatabase db, int groupId)
{
    return scalarSql(db,
                     QStringLiteral("select count(*) from Ksiazka where Pelne_dane=0 and "
                                    "Identyfikator_g=:ID"),
                     {{":ID", groupId}})
        .toInt();
}

QDate plannedDeparture(QSqlDatabase db, int groupId)
{
    return dayFromValue(scalarSql(db,
                                  QStringLiteral("select \"Do\" from Kwat_hot where "
                                                 "Identyfikator=:ID"),
                                  {{":ID", groupId}}));
}

bool checkOutGroup(QSqlDatabase db, int groupId, const QDate& leavingDay)
{
    try {
        runInTransaction(db, [&] {
            // Guests who leave early must not keep their rooms occupied in the
            // register until the planned day; the calculation stays as it was.
            if (leavingDay.isValid())
                runSql(db,
                       QStringLiteral("update Ksiazka set \"Do\"=%1 "
                                      "where Identyfikator_g=:ID and \"Do\" > :Po")
                           .arg(laterDaySql(db, QStringLiteral(":Dzien"),
                                            QStringLiteral("coalesce(Od, '')"))),
                       {{":Dzien", dayValue(leavingDay)},
                        {":ID", groupId},
                        {":Po", dayValue(leavingDay)}});
            runSql(db,
                   QStringLiteral("update Ksiazka set Wykwaterowany=1 where Identyfikator_g=:ID"),
                   {{":ID", groupId}});
            try {
                Savepoint item(db);
                runSql(db,
                       QStringLiteral("delete from Arch_os where Identyfikator_o in (select "
                                      "Identyfikator_o from Ksiazka where Identyfikator_g=:ID and "
                                      "Pelne_dane=0)"),
                       {{":ID", groupId}});
                item.release();
            } catch (const DbError& e) {
                if (e.isConflict())
                    throw;
                reportDatabaseError(kDeletePersons, e);
            }
            step(kDelete, [&] {
                runSql(db, QStringLiteral("delete from Kwat_msc where Identyfikator=:ID"),
                       {{":ID", groupId}});
                return runSql(db, QStringLiteral("delete from Kwat_hot where Identyfikator=:ID"),
                              {{":ID", groupId}});
            });
        });
        return true;
    } catch (const StepFailed&) {
        return false;
    }
}

bool deleteReservation(QSqlDatabase db, int reservationId)
{
    try {
        runInTransaction(db, [&] {
            runSql(db, QStringLiteral("delete from Rez_msc where Identyfikator=:ID"),
                   {{":ID", reservationId}});
            runSql(db, QStringLiteral("delete from Rez_hot where Identyfikator=:ID"),
                   {{":ID", reservationId}});
        });
        return true;
    } catch (const DbError& e) {
        reportDatabaseError(kDelete, e);
        return false;
    }
}
