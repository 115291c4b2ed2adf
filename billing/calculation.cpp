#include "billing/calculation.h"

#include "billing/invoice.h"
#include "billing/payments.h"
#include "billing/values.h"
#include "billing/vat.h"
#include "core/days.h"
#include "db/data_module.h"
#include "db/sql.h"

#include <QSqlRecord>

CalculationError::CalculationError()
    : RezydoError(
          QStringLiteral("Nie można wyliczyć ceny za dobę: liczba dni wynosi 0 lub zniżka 100%."))
{
}

QString CalculationError::caption()
{
    return QStringLiteral("Błąd obliczeń");
}

std::optional<GroupInfo> loadGroupInfo(QSqlDatabase db, int groupId)
{
    QSqlQuery q = runSql(db,
                         QStringLiteral("SELECT Nazwa, Osob, Od, \"Do\", Notatki FROM Kwat_hot "
                                        "WHERE Identyfikator = :ID"),
                         {{":ID", groupId}});
    if (!q.next())
        return std::nullopt;
    return GroupInfo{q.value(0).toString(), optionalInt(q.value(1)), dayFromValue(q.value(2)),
                     dayFromValue(q.value(3)), q.value(4).toString()};
}

bool hasCalculation(QSqlDatabase db, int groupId)
{
    return scalarSql(db, QStringLiteral("SELECT count(*) FROM Kalk WHERE Identyfikator = :ID"),
                     {{":ID", groupId}})
               .toInt() > 0;
}

namespace {
int daysBetween(const QDate& from, const QDate& to)
{
    return from.isValid() && to.isValid() ? static_cast<int>(nightsBetween(from, to)) : 0;
}

// A new line priced from the room and the price list: the bed price when the
// group takes only part of the room, the room price otherwise.
CalcLine pricedLine(const QSqlQuery& q, int groupId, const QString& vat, int percent)
{
    CalcLine line;
    line.groupId = groupId;
    line.room = q.value(QStringLiteral("Nr_pokoju")).toString();
    line.from = dayFromValue(q.value(QStringLiteral("Od")));
    line.to = dayFromValue(q.value(QStringLiteral("Do")));
    line.size = optionalInt(q.value(QStringLiteral("Rozmiar")));
    line.taken = optionalInt(q.value(QStringLiteral("Miejsc")));
    const bool part = line.taken.value_or(0) < line.size.value_or(0);
    line.price1 = moneyFromValue(q.value(part ? QStringLiteral("Cena1") : QStringLiteral("Cena3")));
    line.price2 = moneyFromValue(q.value(part ? QStringLiteral("Cena2") : QStringLiteral("Cena4")));
    line.nights = daysBetween(line.from, line.to);
    line.vat = vat;
    line.gross = (line.price1 + line.price2 * (line.nights - 1)).roundedHalfUpToCents();
    line.tax = vatOfGrossAt(line.gross, percent);
    return line;
}

void insertLine(QSqlDatabase db, const CalcLine& l)
{
    runSql(db,
           QStringLiteral("INSERT INTO Kalk_det (Identyfikator, Nr_pokoju, Od, \"Do\", Rozmiar, "
                          "Miejsc, Oplata1, Oplata2, Dni, VAT, Podatek, Brutto) VALUES (:ID, :Nr, "
                          ":Od, :Do, :Rozmiar, :Miejsc, :O1, :O2, :Dni, :VAT, :Podatek, :Brutto)"),
           {{":ID", l.groupId},
            {":Nr", l.room},
            {":Od", dayValue(l.from)},
            {":Do", dayValue(l.to)},
            {":Rozmiar", optionalIntValue(l.size)},
            {":Miejsc", optionalIntValue(l.taken)},
            {":O1", moneyValue(l.price1)},
            {":O2", moneyValue(l.price2)},
            {":Dni", l.nights},
            {":VAT", l.vat},
            {":Podatek", moneyValue(l.tax)},
            {":Brutto", moneyValue(l.gross)}});
}

// The lines, the header and the sums of one calculation, written in the
// transaction the caller opened.
void writeCalculation(QSqlDatabase db, int groupId)
{
    // Another desk may have opened the group's charges a moment earlier: its
    // calculation is the group's, and nothing more is written.
    if (scalarSql(db, QStringLiteral("SELECT count(*) FROM Kalk WHERE Identyfikator = :ID"),
                  {{":ID", groupId}})
            .toInt() > 0)
        return;
    const std::optional<GroupInfo> group = loadGroupInfo(db, groupId);
    if (!group)
        throw RezydoError(
            QStringLiteral("Grupa %1 nie jest zakwaterowana: nie można utworzyć kalkulacji.")
                .arg(groupId));
    const QString vat = accommodationVat(db);
    const int percent = vatPercent(db, vat);
    // Rooms missing from Pokoje or of a type without a price drop out of the join.
    // The statement is closed before the lines are written: on the server a
    // statement still open when a later one fails can no longer be freed.
    QList<CalcLine> lines;
    {
        QSqlQuery q = runSql(
            db,
            QStringLiteral("SELECT m.Nr_pokoju, m.Od, m.\"Do\", m.Miejsc, p.Miejsc AS Rozmiar, "
                           "c.Cena1, c.Cena2, c.Cena3, c.Cena4 FROM Kwat_msc m "
                           "JOIN Pokoje p ON p.Nr_Pokoju = m.Nr_pokoju JOIN Cennik c ON c.Typ = "
                           "p.Typ WHERE m.Identyfikator = :ID ORDER BY m.Nr_pokoju, m.rowid"),
            {{":ID", groupId}});
        while (q.next())
            lines << pricedLine(q, groupId, vat, percent);
    }
    for (const CalcLine& line : lines) {
        // A refused line is left out alone; the others still go in.
        Savepoint item(db);
        try {
            insertLine(db, line);
            item.release();
        } catch (const DbError& e) {
            // A conflict with another desk reruns the whole calculation.
            if (e.isConflict())
                throw;
            reportDatabaseError(QStringLiteral("Nowa pozycja kalkulacji"), e);
        }
    }
    runSql(db,
           QStringLiteral("INSERT INTO Kalk (Identyfikator, Od, \"Do\", Dni, VAT, Liczba_osob, "
                          "Brutto, Podatek, Nazwa, uwagi, Uklad) VALUES (:ID, :Od, :Do, :Dni, "
                          ":VAT, :Osob, 0, 0, :Nazwa, :uwagi, :Uklad)"),
           {{":ID", groupId},
            {":Od", dayValue(group->from)},
            {":Do", dayValue(group->to)},
            {":Dni", daysBetween(group->from, group->to)},
            {":VAT", vat},
            {":Osob", optionalIntValue(group->persons)},
            {":Nazwa", group->name},
            {":uwagi", group->notes},
            {":Uklad", kPerLineLayout}});
    // Service lines outlive a change of the stay's rooms and count again.
    storeSums(db, groupId);
}
} // namespace

void createCalculation(QSqlDatabase db, int groupId)
{
    // The group is read inside the transaction, so a check-out by another copy
    // cannot slip in between and leave a calculation of a group that is gone.
    // Run again from the start when another desk wrote at the same moment.
    runInTransaction(db, [&] { writeCalculation(db, groupId); });
}

CalcHeader loadHeader(QSqlDatabase db, int groupId)
{
    QSqlQuery q = runSql(db, QStringLiteral("SELECT * FROM Kalk WHERE Identyfikator = :ID"),
                         {{":ID", groupId}});
    if (!q.next())
        throw RezydoError(QStringLiteral("Brak kalkulacji grupy %1.").arg(groupId));
    auto v = [&q](const char* column) { return q.value(QString::fromLatin1(column)); };
    CalcHeader h;
    h.groupId = groupId;
    h.from = dayFromValue(v("Od"));
    h.to = dayFromValue(v("Do"));
    h.days = optionalInt(v("Dni"));
    h.vat = v("VAT").toString();
    h.persons = optionalInt(v("Liczba_osob"));
    h.gross = moneyFromValue(v("Brutto"));
    h.tax = moneyFromValue(v("Podatek"));
    h.discount = optionalInt(v("Znizka"));
    h.discountBasis = v("Podstawa").toString();
    h.name = v("Nazwa").toString();
    h.address = v("Adres").toString();
    h.nip = v("Nip").toString();
    h.idKind = optionalInt(v("Nip_rodzaj"));
    h.countryId = optionalInt(v("ID_Panstwo"));
    h.series = v("Seria").toString();
    h.type = optionalInt(v("Typ"));
    h.number = optionalInt(v("Rach"));
    h.order = v("Zamowienie").toString();
    h.prepayment = moneyFromValue(v("Przedplata"));
    h.issueDate = dayFromValue(v("data_wystawienia"));
    h.saleDate = dayFromValue(v("data_sprzedazy"));
    h.dueDate = dayFromValue(v("termin_platnosci"));
    h.paymentMethod = optionalInt(v("sposob_zaplaty"));
    h.notes = v("uwagi").toString();
    h.settled = v("rozl").toInt() != 0;
    h.prepaymentDate = dayFromValue(v("Przedplata_data"));
    h.prepaymentForm = optionalInt(v("Przedplata_forma"));
    h.layout = v("Uklad").toInt();
    h.breakfastIncluded = v("Sniadanie").toInt() != 0;
    return h;
}

QList<CalcLine> loadLines(QSqlDatabase db, int groupId)
{
    QSqlQuery q = runSql(
        db, QStringLiteral("SELECT * FROM Kalk_det WHERE Identyfikator = :ID ORDER BY \"No\""),
        {{":ID", groupId}});
    QList<CalcLine> lines;
    while (q.next()) {
        auto v = [&q](const char* column) { return q.value(QString::fromLatin1(column)); };
        CalcLine l;
        l.no = v("No").toLongLong();
        l.groupId = groupId;
        l.room = v("Nr_pokoju").toString();
        l.from = dayFromValue(v("Od"));
        l.to = dayFromValue(v("Do"));
        l.size = optionalInt(v("Rozmiar"));
        l.taken = optionalInt(v("Miejsc"));
        l.price1 = moneyFromValue(v("Oplata1"));
        l.price2 = moneyFromValue(v("Oplata2"));
        l.discount = optionalInt(v("Znizka"));
        l.discountBasis = v("Podstawa").toString();
        l.nights = v("Dni").toInt();
        l.vat = v("VAT").toString();
        l.tax = moneyFromValue(v("Podatek"));
        l.gross = moneyFromValue(v("Brutto"));
        lines << l;
    }
    return lines;
}

Money linesGross(const QList<CalcLine>& lines)
{
    Money sum;
    for (const CalcLine& l : lines)
        sum += l.gross;
    return sum;
}

CalcLine computeLineSave(CalcLine line, Money grossAtStart)
{
    const int percent = vatRate(line.vat);
    return computeLineSave(std::move(line), grossAtStart, percent);
}

CalcLine computeLineSave(CalcLine line, Money grossAtStart, int vatPercent)
{
    const std::int64_t remaining = 100 - line.discount.value_or(0);
    if (line.gross != grossAtStart) {
        // The typed gross stays; the price per night is taken back through the discount.
        const std::int64_t divisor = static_cast<std::int64_t>(line.nights) * remaining;
        if (divisor == 0)
            throw CalculationError();
        line.price1 = Money::mulDiv(line.gross, 100, divisor);
        line.price2 = line.price1;
    } else {
        line.price2 = line.price1;
        line.gross =
            Money::mulDiv(line.price1, static_cast<std::int64_t>(line.nights) * remaining, 100);
    }
    line.tax = vatOfGrossAt(line.gross, vatPercent);
    return line;
}

namespace {
void updateLine(QSqlDatabase db, const CalcLine& l)
{
    runSql(db,
           QStringLiteral("UPDATE Kalk_det SET Nr_pokoju = :Nr, Rozmiar = :Rozmiar, Miejsc = "
                          ":Miejsc, Oplata1 = :O1, Oplata2 = :O2, Znizka = :Znizka, Podstawa = "
                          ":Podstawa, Dni = :Dni, VAT = :VAT, Podatek = :Podatek, Brutto = :Brutto "
                          "WHERE \"No\" = :No"),
           {{":Nr", l.room},
            {":Rozmiar", optionalIntValue(l.size)},
            {":Miejsc", optionalIntValue(l.taken)},
            {":O1", moneyValue(l.price1)},
            {":O2", moneyValue(l.price2)},
            {":Znizka", optionalIntValue(l.discount)},
            {":Podstawa", l.discountBasis},
            {":Dni", l.nights},
            {":VAT", l.vat},
            {":Podatek", moneyValue(l.tax)},
            {":Brutto", moneyValue(l.gross)},
            {":No", l.no}});
}
} // namespace

void storeSums(QSqlDatabase db, int groupId)
{
    runSql(db,
           QStringLiteral(
               "UPDATE Kalk SET Brutto = (SELECT coalesce(sum(Brutto), 0) FROM Kalk_det d WHERE "
               "d.Identyfikator = :ID) + (SELECT coalesce(sum(Brutto), 0) FROM Kalk_usl u WHERE "
               "u.Identyfikator = :ID), Podatek = (SELECT coalesce(sum(Podatek), 0) FROM "
               "Kalk_det d WHERE d.Identyfikator = :ID) + (SELECT coalesce(sum(Podatek), 0) FROM "
               "Kalk_usl u WHERE u.Identyfikator = :ID) WHERE Identyfikator = :ID"),
           {{":ID", groupId}});
}

void setBreakfastIncluded(QSqlDatabase db, int groupId, bool included)
{
    // It changes what the invoice names its room lines.
    runInTransaction(db, [&] {
        requireInvoiceOpen(db, groupId);
        runSql(db, QStringLiteral("UPDATE Kalk SET Sniadanie = :S WHERE Identyfikator = :ID"),
               {{":S", boolValue(included)}, {":ID", groupId}});
    });
}

CalcLine saveLine(QSqlDatabase db, const CalcLine& line, Money grossAtStart)
{
    const CalcLine saved = computeLineSave(line, grossAtStart, vatPercent(db, line.vat));
    runInTransaction(db, [&] {
        requireInvoiceOpen(db, saved.groupId);
        updateLine(db, saved);
        storeSums(db, saved.groupId);
        refreshSettlement(db, saved.groupId);
    });
    return saved;
}

void applyDiscount(QSqlDatabase db, int groupId, const QString& vat, std::optional<int> discount,
                   const QString& basis)
{
    const int percent = discount.value_or(0);
    const int ratePercent = vatPercent(db, vat);
    bool refused = false;
    runInTransaction(db, [&] {
        refused = false;
        requireInvoiceOpen(db, groupId);
        for (CalcLine line : loadLines(db, groupId)) {
            const Money before = line.gross;
            Money gross = (line.price1 + line.price2 * (line.nights - 1)).roundedHalfUpToCents();
            if (percent > 0)
                gross = Money::mulDiv(gross, 100 - percent, 100);
            line.gross = gross;
            line.vat = vat;
            line.discount = percent != 0 ? std::optional<int>(percent) : std::nullopt;
            try {
                updateLine(db, computeLineSave(line, before, ratePercent));
            } catch (const CalculationError&) {
                refused = true;
                break;
            }
        }
        if (!refused)
            runSql(
                db,
                QStringLiteral("UPDATE Kalk SET VAT = :VAT, Znizka = :Znizka, Podstawa = :Podstawa "
                               "WHERE Identyfikator = :ID"),
                {{":VAT", vat},
                 {":Znizka", optionalIntValue(discount)},
                 {":Podstawa", basis},
                 {":ID", groupId}});
        storeSums(db, groupId);
        refreshSettlement(db, groupId);
    });
    if (refused)
        throw CalculationError();
}

namespace {
void savePrepaymentDetails(QSqlDatabase db, const CalcHeader& h)
{
    runSql(db,
           QStringLiteral("UPDATE Kalk SET Przedplata_data = :Data, Przedplata_forma = :Forma "
                          "WHERE Identyfikator = :ID"),
           {{":Data", dayValue(h.prepaymentDate)},
            {":Forma", optionalIntValue(h.prepaymentForm)},
            {":ID", h.groupId}});
}
} // namespace

void saveHeader(QSqlDatabase db, const CalcHeader& h)
{
    runSql(
        db,
        QStringLiteral(
            "UPDATE Kalk SET VAT = :VAT, Znizka = :Znizka, Podstawa = :Podstawa, Nazwa = :Nazwa, "
            "Adres = :Adres, Nip = :Nip, Nip_rodzaj = :Rodzaj, ID_Panstwo = :Kraj, Typ = :Typ, "
            "Rach = :Rach, Zamowienie = :Zamowienie, "
            "Przedplata = :Przedplata, data_wystawienia = :Wyst, data_sprzedazy = :Sprz, "
            "termin_platnosci = :Termin, sposob_zaplaty = :Sposob WHERE Identyfikator = :ID"),
        {{":VAT", h.vat},
         {":Znizka", optionalIntValue(h.discount)},
         {":Podstawa", h.discountBasis},
         {":Nazwa", h.name},
         {":Adres", h.address},
         {":Nip", h.nip},
         {":Rodzaj", optionalIntValue(h.idKind)},
         {":Kraj", optionalIntValue(h.countryId)},
         {":Typ", optionalIntValue(h.type)},
         {":Rach", optionalIntValue(h.number)},
         {":Zamowienie", h.order},
         {":Przedplata", moneyValue(h.prepayment)},
         {":Wyst", dayValue(h.issueDate)},
         {":Sprz", dayValue(h.saleDate)},
         {":Termin", dayValue(h.dueDate)},
         {":Sposob", optionalIntValue(h.paymentMethod)},
         {":ID", h.groupId}});
    savePrepaymentDetails(db, h);
}
