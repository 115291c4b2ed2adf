#include "admin/anonymisation.h"

#include "core/days.h"
#include "db/sql.h"

#include <QDateTime>
#include <QSqlQuery>

#include <algorithm>

namespace {
// An invoice is kept five years after the end of the year of its issue.
constexpr int kInvoiceYears = 5;

// A register entry's last day: its departure, or its arrival when it has none.
const QString kLastDay = QStringLiteral("coalesce(K.\"Do\", K.Od)");

// Persons due on a day; :Granica is the guests' boundary.
const QString kDuePersons =
    QStringLiteral(
        "SELECT A.Identyfikator_o FROM Arch_os A "
        "WHERE A.Anonimizacja IS NULL "
        "AND EXISTS (SELECT 1 FROM Ksiazka K WHERE K.Identyfikator_o = A.Identyfikator_o) "
        "AND NOT EXISTS (SELECT 1 FROM Ksiazka K WHERE K.Identyfikator_o = A.Identyfikator_o "
        "AND (K.Wykwaterowany = 0 OR %1 IS NULL OR %1 >= :Granica "
        "OR K.Identyfikator_g IN (SELECT Identyfikator FROM Kwat_hot) "
        "OR K.Identyfikator_g IN (SELECT Identyfikator FROM Kalk WHERE rozl = 0)))")
        .arg(kLastDay);

// Calculations whose buyer is due; :Granica as above, :GranicaFaktur the
// invoices' own boundary.
const QString kDueInvoices = QStringLiteral(
    "SELECT C.Identyfikator FROM Kalk C "
    "WHERE C.rozl = 1 AND C.Identyfikator NOT IN (SELECT Identyfikator FROM Kwat_hot) "
    "AND (coalesce(C.Nazwa, '') NOT IN ('', :Anonim) OR coalesce(C.Adres, '') <> '' "
    "OR coalesce(C.Nip, '') <> '') "
    "AND coalesce(C.data_wystawienia, C.\"Do\", C.Od) < :GranicaFaktur "
    "AND coalesce(C.\"Do\", C.Od) < :Granica");

const QString kClearPerson = QStringLiteral(
    "UPDATE Arch_os SET Nazwisko = :Anonim, Imie = '', Adres = '', Data_ur = NULL, "
    "Miejsce_ur = '', Dokument_rodz = NULL, Dokument_nr = '', Uwagi = '', Anonimizacja = :Dzien ");

const QString kClearBuyer =
    QStringLiteral("UPDATE Kalk SET Nazwa = :Anonim, Adres = '', Nip = '' ");

void writeLog(QSqlDatabase db, const QDateTime& at, const QString& command,
              const AnonymisationResult& r)
{
    runSql(db,
           QStringLiteral("INSERT INTO Anonimizacja_log (Kiedy, Polecenie, Osob, Faktur) "
                          "VALUES (:Kiedy, :Polecenie, :Osob, :Faktur)"),
           {{":Kiedy", at.toString(QStringLiteral("yyyy-MM-dd HH:mm"))},
            {":Polecenie", command.left(40)},
            {":Osob", r.persons},
            {":Faktur", r.invoices}});
}

QString invoiceNumber(const QVariant& rach, const QDate& issued)
{
    if (rach.isNull())
        return QStringLiteral("bez numeru");
    return issued.isValid() ? QStringLiteral("%1/%2").arg(rach.toInt()).arg(issued.year())
                            : rach.toString();
}
} // namespace

GuestDataSettings readGuestDataSettings(QSqlDatabase db)
{
    GuestDataSettings s;
    QSqlQuery q = runSql(db, QStringLiteral("SELECT Dane_minimalne, Lata_przechowywania "
                                            "FROM Config ORDER BY rowid LIMIT 1"));
    if (q.next()) {
        s.minimal = q.value(0).toInt() != 0;
        s.retentionYears = std::clamp(q.value(1).toInt(), kMinRetentionYears, kMaxRetentionYears);
    }
    return s;
}

QDate retentionEnds(const QDate& stayEnd, int years)
{
    return QDate(stayEnd.year() + years + 1, 1, 1);
}

QDate retentionBoundary(const QDate& day, int years)
{
    return QDate(day.year() - years, 1, 1);
}

DueCounts countDue(QSqlDatabase db, const QDate& day)
{
    const int years = readGuestDataSettings(db).retentionYears;
    DueCounts c;
    c.boundary = retentionBoundary(day, years);
    c.persons =
        scalarSql(db, QStringLiteral("SELECT count(*) FROM (%1) AS Do_usuniecia").arg(kDuePersons),
                  {{":Granica", dayValue(c.boundary)}})
            .toInt();
    c.invoices =
        scalarSql(db, QStringLiteral("SELECT count(*) FROM (%1) AS Do_usuniecia").arg(kDueInvoices),
                  {{":Granica", dayValue(c.boundary)},
                   {":GranicaFaktur", dayValue(retentionBoundary(day, kInvoiceYears))},
                   {":Anonim", kAnonymousName}})
            .toInt();
    return c;
}

AnonymisationResult anonymiseDue(QSqlDatabase db, const QDateTime& at, const QString& command)
{
    const QDate day = at.date();
    AnonymisationResult r;
    runInTransaction(db, [&] {
        const QDate boundary = retentionBoundary(day, readGuestDataSettings(db).retentionYears);
        r.persons =
            runSql(db,
                   kClearPerson + QStringLiteral("WHERE Identyfikator_o IN (%1)").arg(kDuePersons),
                   {{":Anonim", kAnonymousName},
                    {":Dzien", dayValue(day)},
                    {":Granica", dayValue(boundary)}})
                .numRowsAffected();
        r.invoices =
            runSql(db,
                   kClearBuyer + QStringLiteral("WHERE Identyfikator IN (%1)").arg(kDueInvoices),
                   {{":Anonim", kAnonymousName},
                    {":Granica", dayValue(boundary)},
                    {":GranicaFaktur", dayValue(retentionBoundary(day, kInvoiceYears))}})
                .numRowsAffected();
        writeLog(db, at, command, r);
    });
    return r;
}

ErasurePlan planErasure(QSqlDatabase db, int personId, const QDate& day)
{
    ErasurePlan plan;
    QSqlQuery person = runSql(db,
                              QStringLiteral("SELECT Nazwisko, Anonimizacja FROM Arch_os "
                                             "WHERE Identyfikator_o = :O"),
                              {{":O", personId}});
    if (!person.next())
        return plan;
    plan.personFound = true;
    plan.alreadyAnonymous = !person.value(1).isNull();
    const QString surname = person.value(0).toString().trimmed();

    QSqlQuery stays =
        runSql(db,
               QStringLiteral("SELECT DISTINCT K.Identyfikator_g, "
                              "K.Wykwaterowany = 0 OR H.Identyfikator IS NOT NULL, "
                              "C.Identyfikator IS NOT NULL AND C.rozl = 0 "
                              "FROM Ksiazka K "
                              "LEFT JOIN Kwat_hot H ON H.Identyfikator = K.Identyfikator_g "
                              "LEFT JOIN Kalk C ON C.Identyfikator = K.Identyfikator_g "
                              "WHERE K.Identyfikator_o = :O ORDER BY K.Identyfikator_g"),
               {{":O", personId}});
    QList<int> groups;
    while (stays.next()) {
        const int group = stays.value(0).toInt();
        groups << group;
        if (stays.value(1).toBool()) {
            plan.blocked = true;
            plan.refusals << QStringLiteral("Osoba jest zakwaterowana w grupie nr %1: jej dane "
                                            "są potrzebne do końca pobytu.")
                                 .arg(group);
        } else if (stays.value(2).toBool()) {
            plan.blocked = true;
            plan.refusals << QStringLiteral("Grupa nr %1 nie jest rozliczona: dane osoby są "
                                            "potrzebne do rozliczenia należności.")
                                 .arg(group);
        }
    }
    if (plan.blocked || surname.isEmpty() || surname == kAnonymousName)
        return plan;

    const QDate invoiceBoundary = retentionBoundary(day, kInvoiceYears);
    for (const int group : groups) {
        QSqlQuery kalk = runSql(db,
                                QStringLiteral("SELECT Nazwa, Rach, data_wystawienia, \"Do\", Od "
                                               "FROM Kalk WHERE Identyfikator = :G"),
                                {{":G", group}});
        if (!kalk.next())
            continue;
        const QString buyer = kalk.value(0).toString();
        if (buyer == kAnonymousName || !buyer.contains(surname, Qt::CaseInsensitive))
            continue;
        const QDate issued = dayFromValue(kalk.value(2));
        QDate kept = issued;
        if (!kept.isValid())
            kept = dayFromValue(kalk.value(3));
        if (!kept.isValid())
            kept = dayFromValue(kalk.value(4));
        if (kept.isValid() && kept >= invoiceBoundary) {
            plan.refusals << QStringLiteral("Faktura nr %1 (grupa nr %2) musi być przechowywana "
                                            "do %3 (przepisy podatkowe): dane nabywcy pozostają "
                                            "na fakturze.")
                                 .arg(invoiceNumber(kalk.value(1), issued))
                                 .arg(group)
                                 .arg(dayText(retentionEnds(kept, kInvoiceYears).addDays(-1)));
        } else {
            plan.invoicesToClear << group;
        }
    }
    return plan;
}

AnonymisationResult erasePerson(QSqlDatabase db, int personId, const QDateTime& at,
                                const QString& command)
{
    AnonymisationResult r;
    runInTransaction(db, [&] {
        r = {};
        // Checked again: another desk may have checked the person in meanwhile.
        const ErasurePlan plan = planErasure(db, personId, at.date());
        if (!plan.personFound || plan.blocked)
            return;
        if (!plan.alreadyAnonymous)
            r.persons = runSql(db, kClearPerson + QStringLiteral("WHERE Identyfikator_o = :O"),
                               {{":Anonim", kAnonymousName},
                                {":Dzien", dayValue(at.date())},
                                {":O", personId}})
                            .numRowsAffected();
        for (const int group : plan.invoicesToClear)
            r.invoices += runSql(db, kClearBuyer + QStringLiteral("WHERE Identyfikator = :G"),
                                 {{":Anonim", kAnonymousName}, {":G", group}})
                              .numRowsAffected();
        if (r.persons > 0 || r.invoices > 0)
            writeLog(db, at, command, r);
    });
    return r;
}
