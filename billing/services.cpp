#include "billing/services.h"

#include "billing/calculation.h"
#include "billing/invoice.h"
#include "billing/payments.h"
#include "billing/vat.h"
#include "db/sql.h"

#include <algorithm>

QList<Service> loadServices(QSqlDatabase db)
{
    QSqlQuery q = runSql(db, QStringLiteral("SELECT ID, Nazwa, Jm, Cena, VAT, PKWiU FROM Uslugi "
                                            "ORDER BY Nazwa COLLATE PL, ID"));
    QList<Service> out;
    while (q.next())
        out << Service{q.value(0).toLongLong(),    q.value(1).toString(), q.value(2).toString(),
                       moneyFromValue(q.value(3)), q.value(4).toString(), q.value(5).toString()};
    return out;
}

const QStringList& serviceUnits()
{
    static const QStringList units{QStringLiteral("szt."), QStringLiteral("doba"),
                                   QStringLiteral("osoba")};
    return units;
}

ServiceLine serviceLineOf(const Service& service, int groupId, int quantity)
{
    ServiceLine line;
    line.groupId = groupId;
    line.name = service.name;
    line.unit = service.unit;
    line.quantity = quantity;
    line.price = service.price;
    line.vat = service.vat;
    line.pkwiu = service.pkwiu;
    return line;
}

int defaultServiceQuantity(const QString& unit, int persons, int nights)
{
    const int n = std::max(nights, 1);
    if (unit == QLatin1String("doba"))
        return n;
    if (unit == QLatin1String("osoba"))
        return std::max(persons, 1) * n;
    return 1;
}

ServiceLine computeServiceLine(ServiceLine line, int vatPercent)
{
    if (line.name.trimmed().isEmpty())
        throw RezydoError(QStringLiteral("Podaj nazwę usługi."));
    if (line.quantity == 0)
        throw RezydoError(QStringLiteral("Ilość usługi nie może wynosić 0."));
    // Empty texts are stored empty, never as NULL.
    line.unit = line.unit.isNull() ? QStringLiteral("") : line.unit;
    line.pkwiu = line.pkwiu.isNull() ? QStringLiteral("") : line.pkwiu;
    line.gross = (line.price * line.quantity).roundedHalfUpToCents();
    line.tax = vatOfGrossAt(line.gross, vatPercent);
    return line;
}

QList<ServiceLine> loadServiceLines(QSqlDatabase db, int groupId)
{
    QSqlQuery q = runSql(db,
                         QStringLiteral("SELECT \"No\", Nazwa, Jm, Ilosc, Cena, VAT, PKWiU, "
                                        "Podatek, Brutto FROM Kalk_usl WHERE Identyfikator = :ID "
                                        "ORDER BY \"No\""),
                         {{":ID", groupId}});
    QList<ServiceLine> out;
    while (q.next()) {
        ServiceLine l;
        l.no = q.value(0).toLongLong();
        l.groupId = groupId;
        l.name = q.value(1).toString();
        l.unit = q.value(2).toString();
        l.quantity = q.value(3).toInt();
        l.price = moneyFromValue(q.value(4));
        l.vat = q.value(5).toString();
        l.pkwiu = q.value(6).toString();
        l.tax = moneyFromValue(q.value(7));
        l.gross = moneyFromValue(q.value(8));
        out << l;
    }
    return out;
}

namespace {
void refreshTotals(QSqlDatabase db, int groupId)
{
    storeSums(db, groupId);
    refreshSettlement(db, groupId);
}
} // namespace

ServiceLine addServiceLine(QSqlDatabase db, const ServiceLine& line)
{
    ServiceLine l = computeServiceLine(line, vatPercent(db, line.vat));
    // Run again from the start when another desk wrote at the same moment.
    runInTransaction(db, [&] {
        requireInvoiceOpen(db, l.groupId);
        QSqlQuery q =
            runSql(db,
                   QStringLiteral(
                       "INSERT INTO Kalk_usl (Identyfikator, Nazwa, Jm, Ilosc, Cena, VAT, PKWiU, "
                       "Podatek, Brutto) VALUES (:ID, :Nazwa, :Jm, :Ilosc, :Cena, :VAT, :PKWiU, "
                       ":Podatek, :Brutto)"),
                   {{":ID", l.groupId},
                    {":Nazwa", l.name},
                    {":Jm", l.unit},
                    {":Ilosc", l.quantity},
                    {":Cena", moneyValue(l.price)},
                    {":VAT", l.vat},
                    {":PKWiU", l.pkwiu},
                    {":Podatek", moneyValue(l.tax)},
                    {":Brutto", moneyValue(l.gross)}});
        l.no = q.lastInsertId().toLongLong();
        refreshTotals(db, l.groupId);
    });
    return l;
}

ServiceLine changeServiceLine(QSqlDatabase db, const ServiceLine& line)
{
    const ServiceLine l = computeServiceLine(line, vatPercent(db, line.vat));
    runInTransaction(db, [&] {
        requireInvoiceOpen(db, l.groupId);
        runSql(
            db,
            QStringLiteral("UPDATE Kalk_usl SET Nazwa = :Nazwa, Jm = :Jm, Ilosc = :Ilosc, Cena = "
                           ":Cena, VAT = :VAT, PKWiU = :PKWiU, Podatek = :Podatek, Brutto = "
                           ":Brutto WHERE \"No\" = :No"),
            {{":Nazwa", l.name},
             {":Jm", l.unit},
             {":Ilosc", l.quantity},
             {":Cena", moneyValue(l.price)},
             {":VAT", l.vat},
             {":PKWiU", l.pkwiu},
             {":Podatek", moneyValue(l.tax)},
             {":Brutto", moneyValue(l.gross)},
             {":No", l.no}});
        refreshTotals(db, l.groupId);
    });
    return l;
}

void removeServiceLine(QSqlDatabase db, int groupId, qint64 no)
{
    runInTransaction(db, [&] {
        requireInvoiceOpen(db, groupId);
        runSql(db, QStringLiteral("DELETE FROM Kalk_usl WHERE \"No\" = :No"), {{":No", no}});
        refreshTotals(db, groupId);
    });
}
