#include "register/guest_details.h"

#include "billing/payments.h"
#include "core/days.h"
#include "db/sql.h"
#include "register/person_record.h"
#include "reports/engine/mask.h"

#include <QSqlQuery>

#include <optional>

namespace {
constexpr int kBill = 1;    // Kalk.Typ of a simplified bill ("Rachunek Upr.")
constexpr int kInvoice = 2; // Kalk.Typ of a VAT invoice

// A read-only field has nothing to fall back on, so a birth date never
// entered (none, or on or before the zero of the old date scale) stays empty.
QString birthDateText(const QVariant& stored)
{
    const QDate day = dayFromValue(stored);
    return day.isValid() && day > QDate(1899, 12, 30) ? dayText(day) : QString();
}

// Fills the personal fields; the country to look up, when the person is found.
std::optional<int> loadPersonal(QSqlDatabase db, GuestDetails& d)
{
    QSqlQuery q = runSql(db,
                         QStringLiteral("SELECT Nazwisko, Imie, Miejsce_ur, Data_ur, "
                                        "Dokument_rodz, Dokument_nr, Adres, Uwagi, ID_Panstwo "
                                        "FROM Arch_os WHERE Identyfikator_o = :ID"),
                         {{":ID", d.personId}});
    if (!q.next())
        return std::nullopt;
    d.personFound = true;
    d.Nazwisko = q.value(0).toString();
    d.Imie = q.value(1).toString();
    d.MiejsceUrodzenia = q.value(2).toString();
    d.DataUrodzenia = birthDateText(q.value(3));
    d.Rodzaj = documentKindText(q.value(4).toInt());
    d.Numer = q.value(5).toString();
    d.Adres = q.value(6).toString();
    d.Uwagi = q.value(7).toString();
    if (q.value(8).isNull())
        return std::nullopt;
    return q.value(8).toInt();
}

void loadStay(QSqlDatabase db, GuestDetails& d)
{
    QSqlQuery q =
        runSql(db,
               QStringLiteral("SELECT Identyfikator_g, Nr_pokoju, Od, \"Do\" FROM Ksiazka "
                              "WHERE Identyfikator_o = :ID ORDER BY rowid DESC LIMIT 1"),
               {{":ID", d.personId}});
    if (!q.next())
        return;
    d.groupId = q.value(0).toInt();
    d.NumerPokoju = q.value(1).toString();
    d.Od = dayText(dayFromValue(q.value(2)));
    d.Do = dayText(dayFromValue(q.value(3)));
}

void loadCalculation(QSqlDatabase db, GuestDetails& d)
{
    QSqlQuery q =
        runSql(db, QStringLiteral("SELECT Typ, Rach, Znizka FROM Kalk WHERE Identyfikator = :ID"),
               {{":ID", d.groupId}});
    if (!q.next())
        return;
    // A cancelled invoice has no Typ and shows neither number.
    const QString number = q.value(1).isNull() ? QString() : q.value(1).toString();
    if (!q.value(0).isNull() && q.value(0).toInt() == kBill)
        d.RachunekUpr = number;
    else if (!q.value(0).isNull() && q.value(0).toInt() == kInvoice)
        d.FakturaVat = number;
    if (q.value(2).toInt() > 0)
        d.Znizka = QString::number(q.value(2).toInt());
}

void loadPayments(QSqlDatabase db, GuestDetails& d)
{
    for (const Payment& p : groupPayments(db, d.groupId))
        d.payments.append(
            {paymentText(p.type, p.form), p.number, dayText(p.day), plainAmount(p.amount.units())});
}
} // namespace

QString documentKindText(int code)
{
    const QStringList kinds = documentKindTexts();
    // The list's last item is the empty "no document"; it needs no case here.
    return code >= 1 && code <= 4 ? kinds.value(code - 1) : QString();
}

QString plainAmount(qint64 units)
{
    return formatNumber(units, 4, QStringLiteral("0.####"));
}

GuestDetails loadGuestDetails(QSqlDatabase db, int personId)
{
    GuestDetails d;
    d.personId = personId;
    const std::optional<int> country = loadPersonal(db, d);
    loadStay(db, d);
    if (d.groupId > 0) {
        loadPayments(db, d);
        loadCalculation(db, d);
    }
    if (country) {
        const QVariant name = scalarSql(
            db, QStringLiteral("SELECT Nazwa FROM Panstwo WHERE ID = :ID"), {{":ID", *country}});
        d.Panstwo = name.toString();
    }
    return d;
}
