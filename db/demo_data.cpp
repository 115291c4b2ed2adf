#include "db/demo_data.h"

#include "core/clock.h"
#include "core/money.h"
#include "db/sql.h"

#include <QDate>
#include <QString>

#include <iterator>
#include <vector>

namespace {
struct Room {
    const char* nr;
    int beds;
    const char* type;
    const char* opis;
};

// Room numbers sort as text, so "10".."12" come before "2" in every list.
const Room kRooms[] = {
    {"1", 1, "EKON", "pokój (1)"},      {"2", 2, "EKON", "pokój (2)"},
    {"3", 2, "EKON", "pokój (1+1)"},    {"4", 3, "EKON", "pokój (3)"},
    {"5", 4, "EKON", "pokój (2+2)"},    {"6", 2, "STD", "pokój (2)"},
    {"7", 2, "STD", "pokój (2+1)"},     {"8", 3, "STD", "pokój (2+1)"},
    {"9", 3, "STD", "pokój (3)"},       {"10", 4, "STD", "pokój (2+2)"},
    {"11", 2, "LUX", "apartament (2)"}, {"12", 4, "LUX", "apartament (2+2)"},
};

struct Price {
    const char* type;
    int bed;  // zł for a line taking part of a room
    int room; // zł for a line taking the whole room
};

const Price kPrices[] = {{"EKON", 50, 120}, {"STD", 60, 150}, {"LUX", 90, 260}};

struct Line {
    const char* room;
    int from; // days from today
    int to;
    int beds;
    const char* jaki;
};

struct Group {
    const char* name;
    int persons;
    int from;
    int to;
    const char* notes;
    std::vector<Line> lines;
};

struct Person {
    const char* surname;
    const char* name;
    const char* address;
    const char* country;
    const char* born;
    const char* birthplace;
    int document; // 1 ID card, 2 passport
    const char* documentNr;
};

const Person kPersons[] = {
    {"Wiśniewski", "Piotr", "ul. Długa 5/3, 31-147 Kraków", "Polska", "1971-03-14", "Kraków", 1,
     "AXB482913"},
    {"Wiśniewska", "Ewa", "ul. Długa 5/3, 31-147 Kraków", "Polska", "1974-11-02", "Tarnów", 1,
     "AXC118204"},
    {"Dąbrowski", "Marek", "ul. Polna 17, 02-512 Warszawa", "Polska", "1965-06-30", "Radom", 1,
     "ARK530771"},
    {"Dąbrowska", "Joanna", "ul. Polna 17, 02-512 Warszawa", "Polska", "1968-01-21", "Warszawa", 1,
     "ARL004512"},
    {"Schmidt", "Hans", "Lindenstraße 8, 01067 Dresden", "Niemcy", "1959-09-09", "Dresden", 2,
     "C4F7K2M91"},
    {"Novák", "Jiří", "Husova 12, 110 00 Praha", "Czechy", "1982-04-17", "Brno", 2, "45120873"},
    {"Kamiński", "Tomasz", "ul. Ogrodowa 2, 60-101 Poznań", "Polska", "1988-12-05", "Poznań", 1,
     "AYD773310"},
    {"Zając", "Krzysztof", "ul. Kwiatowa 9, 40-001 Katowice", "Polska", "1979-07-23", "Gliwice", 1,
     "AWE220415"},
    {"Mazur", "Andrzej", "ul. Leśna 44, 43-300 Bielsko-Biała", "Polska", "1985-02-28", "Żywiec", 1,
     "AZB961007"},
};

QVariant dayAt(int offset)
{
    return dayValue(today().addDays(offset));
}

qint64 insertedId(const QSqlQuery& q)
{
    return q.lastInsertId().toLongLong();
}

const Room& roomOf(const char* nr)
{
    for (const Room& r : kRooms)
        if (QLatin1String(r.nr) == QLatin1String(nr))
            return r;
    throw DbError(QStringLiteral("demo: no room %1").arg(QLatin1String(nr)));
}

const Price& priceOf(const char* type)
{
    for (const Price& p : kPrices)
        if (QLatin1String(p.type) == QLatin1String(type))
            return p;
    throw DbError(QStringLiteral("demo: no price for %1").arg(QLatin1String(type)));
}

void insertSetup(QSqlDatabase db)
{
    for (const Room& r : kRooms)
        runSql(db,
               QStringLiteral("INSERT INTO Pokoje (Nr_Pokoju, Miejsc, Typ, Opis) "
                              "VALUES (:Nr, :Miejsc, :Typ, :Opis)"),
               {{":Nr", QString::fromUtf8(r.nr)},
                {":Miejsc", r.beds},
                {":Typ", QString::fromUtf8(r.type)},
                {":Opis", QString::fromUtf8(r.opis)}});
    for (const Price& p : kPrices) {
        const QVariant bed = moneyValue(Money::fromZloty(p.bed));
        const QVariant room = moneyValue(Money::fromZloty(p.room));
        runSql(db,
               QStringLiteral("INSERT INTO Cennik (Typ, Cena1, Cena2, Cena3, Cena4) "
                              "VALUES (:Typ, :C1, :C2, :C3, :C4)"),
               {{":Typ", QString::fromUtf8(p.type)},
                {":C1", bed},
                {":C2", bed},
                {":C3", room},
                {":C4", room}});
    }
    runSql(db,
           QStringLiteral("UPDATE Config SET Nazwa = :Nazwa, Adres = :Adres, Regon = :Regon, "
                          "SWW = :SWW, NIP = :NIP, Miejscowosc = :Miejscowosc, Bank = :Bank, "
                          "NrKonta = :NrKonta"),
           {{":Nazwa", QStringLiteral("Pensjonat pod Lipami")},
            {":Adres", QStringLiteral("ul. Lipowa 12, 33-380 Krynica-Zdrój")},
            {":Regon", QStringLiteral("492718305")},
            {":SWW", QStringLiteral("55.10.10")},
            {":NIP", QStringLiteral("734-281-96-07")},
            {":Miejscowosc", QStringLiteral("Krynica-Zdrój")},
            {":Bank", QStringLiteral("Bank Spółdzielczy w Krynicy-Zdroju")},
            {":NrKonta", QStringLiteral("48 8811 0007 2001 0012 3456 0001")}});
}

enum class Kind { Reservation, Accommodation };

// The header and room lines of one group; returns its new Identyfikator.
qint64 insertGroup(QSqlDatabase db, Kind kind, const Group& g)
{
    const bool rez = kind == Kind::Reservation;
    const QString header = rez ? QStringLiteral("Rez_hot") : QStringLiteral("Kwat_hot");
    const QString lines = rez ? QStringLiteral("Rez_msc") : QStringLiteral("Kwat_msc");
    const qint64 id =
        insertedId(runSql(db,
                          QStringLiteral("INSERT INTO %1 (Nazwa, Osob, Od, \"Do\", Notatki) "
                                         "VALUES (:Nazwa, :Osob, :Od, :Do, :Notatki)")
                              .arg(header),
                          {{":Nazwa", QString::fromUtf8(g.name)},
                           {":Osob", g.persons},
                           {":Od", dayAt(g.from)},
                           {":Do", dayAt(g.to)},
                           {":Notatki", QString::fromUtf8(g.notes)}}));
    for (const Line& l : g.lines)
        runSql(db,
               QStringLiteral("INSERT INTO %1 (Identyfikator, Nr_pokoju, Od, \"Do\", Miejsc, Jaki) "
                              "VALUES (:ID, :Nr, :Od, :Do, :Miejsc, :Jaki)")
                   .arg(lines),
               {{":ID", id},
                {":Nr", QString::fromUtf8(l.room)},
                {":Od", dayAt(l.from)},
                {":Do", dayAt(l.to)},
                {":Miejsc", l.beds},
                {":Jaki", QString::fromUtf8(l.jaki)}});
    return id;
}

qint64 countryId(QSqlDatabase db, const char* name)
{
    const QVariant id = scalarSql(db, QStringLiteral("SELECT ID FROM Panstwo WHERE Nazwa = :N"),
                                  {{":N", QString::fromUtf8(name)}});
    return id.isValid() ? id.toLongLong() : 1;
}

// A person record: filled in from `p`, or the empty record a check-in creates.
qint64 insertPerson(QSqlDatabase db, const Person* p)
{
    if (!p)
        return insertedId(
            runSql(db, QStringLiteral("INSERT INTO Arch_os (ID_Panstwo) VALUES (1)")));
    return insertedId(
        runSql(db,
               QStringLiteral("INSERT INTO Arch_os (Nazwisko, Imie, Adres, ID_Panstwo, Data_ur, "
                              "Miejsce_ur, Dokument_rodz, Dokument_nr, Uwagi) VALUES (:Nazwisko, "
                              ":Imie, :Adres, :Kraj, :Data_ur, :Miejsce_ur, :Rodz, :Nr, '')"),
               {{":Nazwisko", QString::fromUtf8(p->surname)},
                {":Imie", QString::fromUtf8(p->name)},
                {":Adres", QString::fromUtf8(p->address)},
                {":Kraj", countryId(db, p->country)},
                {":Data_ur", QString::fromUtf8(p->born)},
                {":Miejsce_ur", QString::fromUtf8(p->birthplace)},
                {":Rodz", p->document},
                {":Nr", QString::fromUtf8(p->documentNr)}}));
}

struct Entry {
    int person; // index into kPersons; -1 for a placeholder not yet filled in
    const char* room;
    int from;
    int to;
};

// Register entries of an accommodation group; `personIds` may name a person
// who already has a record (a returning guest keeps it).
void insertEntries(QSqlDatabase db, qint64 group, const std::vector<Entry>& entries,
                   std::vector<qint64>& personIds)
{
    for (const Entry& e : entries) {
        const Person* p = e.person >= 0 ? &kPersons[e.person] : nullptr;
        qint64 person = 0;
        if (p && personIds[e.person] > 0)
            person = personIds[e.person];
        else
            person = insertPerson(db, p);
        if (p)
            personIds[e.person] = person;
        runSql(db,
               QStringLiteral("INSERT INTO Ksiazka (Identyfikator_g, Identyfikator_o, Od, \"Do\", "
                              "Nr_pokoju, Pelne_dane, Wykwaterowany, ID_Panstwo) VALUES (:G, :O, "
                              ":Od, :Do, :Nr, :Pelne, 0, :Kraj)"),
               {{":G", group},
                {":O", person},
                {":Od", dayAt(e.from)},
                {":Do", dayAt(e.to)},
                {":Nr", QString::fromUtf8(e.room)},
                {":Pelne", boolValue(p != nullptr)},
                {":Kraj", p ? QVariant(countryId(db, p->country)) : QVariant()}});
    }
}

struct Payment {
    const char* number;
    int day;
    int type; // 1 till receipt, 2 receipt book, 3 transfer
};

// A settled calculation: one line per room line priced from the list at 7% VAT,
// paid in full by one payment.
void insertSettlement(QSqlDatabase db, qint64 group, const Group& g, const Payment& pay)
{
    Money total;
    Money totalTax;
    for (const Line& l : g.lines) {
        const Room& room = roomOf(l.room);
        const Price& price = priceOf(room.type);
        const Money perNight = Money::fromZloty(l.beds < room.beds ? price.bed : price.room);
        const int nights = l.to - l.from;
        const Money gross = perNight * nights;
        const Money tax = gross - Money::mulDiv(gross, 100, 107).roundedHalfUpToCents();
        total += gross;
        totalTax += tax;
        runSql(db,
               QStringLiteral("INSERT INTO Kalk_det (Identyfikator, Nr_pokoju, Od, \"Do\", "
                              "Rozmiar, Miejsc, Oplata1, Oplata2, Podstawa, Dni, VAT, Podatek, "
                              "Brutto) VALUES (:ID, :Nr, :Od, :Do, :Rozmiar, :Miejsc, :Op, :Op, "
                              "'', :Dni, '7', :Podatek, :Brutto)"),
               {{":ID", group},
                {":Nr", QString::fromUtf8(l.room)},
                {":Od", dayAt(l.from)},
                {":Do", dayAt(l.to)},
                {":Rozmiar", room.beds},
                {":Miejsc", l.beds},
                {":Op", moneyValue(perNight)},
                {":Dni", nights},
                {":Podatek", moneyValue(tax)},
                {":Brutto", moneyValue(gross)}});
    }
    runSql(db,
           QStringLiteral("INSERT INTO Kalk (Identyfikator, Od, \"Do\", Dni, VAT, Liczba_osob, "
                          "Brutto, Podatek, Nazwa, Adres, Nip, sposob_zaplaty, uwagi, rozl) "
                          "VALUES (:ID, :Od, :Do, :Dni, '7', :Osob, :Brutto, :Podatek, :Nazwa, "
                          "'', '', :Sposob, :Uwagi, 1)"),
           {{":ID", group},
            {":Od", dayAt(g.from)},
            {":Do", dayAt(g.to)},
            {":Dni", g.to - g.from},
            {":Osob", g.persons},
            {":Brutto", moneyValue(total)},
            {":Podatek", moneyValue(totalTax)},
            {":Nazwa", QString::fromUtf8(g.name)},
            {":Sposob", pay.type == 3 ? 2 : 1},
            {":Uwagi", QString::fromUtf8(g.notes)}});
    runSql(db,
           QStringLiteral("INSERT INTO Kwit (Identyfikator, Nr_kwit, Wplata, Data, Typ) "
                          "VALUES (:ID, :Nr, :Wplata, :Data, :Typ)"),
           {{":ID", group},
            {":Nr", QString::fromUtf8(pay.number).arg(today().year())},
            {":Wplata", moneyValue(total)},
            {":Data", dayAt(pay.day)},
            {":Typ", pay.type}});
}

// What check-out leaves behind: the register entries marked checked out, the
// calculation and payments kept; the group and its room lines gone.
void checkOut(QSqlDatabase db, qint64 group)
{
    runSql(db, QStringLiteral("UPDATE Ksiazka SET Wykwaterowany = 1 WHERE Identyfikator_g = :G"),
           {{":G", group}});
    runSql(db, QStringLiteral("DELETE FROM Kwat_msc WHERE Identyfikator = :G"), {{":G", group}});
    runSql(db, QStringLiteral("DELETE FROM Kwat_hot WHERE Identyfikator = :G"), {{":G", group}});
}

void insertFormerGuests(QSqlDatabase db, std::vector<qint64>& personIds)
{
    const Group first{"Wiśniewski Piotr", 2, -40, -36, "", {{"11", -40, -36, 2, ""}}};
    qint64 id = insertGroup(db, Kind::Accommodation, first);
    insertEntries(db, id, {{0, "11", -40, -36}, {1, "11", -40, -36}}, personIds);
    insertSettlement(db, id, first, {"0001/%1#0001", -36, 1});
    checkOut(db, id);

    const Group second{"Schmidt Hans", 2, -21, -17, "goście z zagranicy", {{"6", -21, -17, 2, ""}}};
    id = insertGroup(db, Kind::Accommodation, second);
    insertEntries(db, id, {{4, "6", -21, -17}, {5, "6", -21, -17}}, personIds);
    insertSettlement(db, id, second, {"0002/%1#0001", -17, 1});
    checkOut(db, id);

    const Group third{"Dąbrowski Marek", 2, -12, -9, "", {{"8", -12, -9, 2, "M"}}};
    id = insertGroup(db, Kind::Accommodation, third);
    insertEntries(db, id, {{2, "8", -12, -9}, {3, "8", -12, -9}}, personIds);
    insertSettlement(db, id, third, {"0001/%1", -9, 3});
    checkOut(db, id);
}

void insertCurrentGuests(QSqlDatabase db, std::vector<qint64>& personIds)
{
    // A returning guest with his wife, both registered.
    const Group family{"Wiśniewski Piotr", 2, -2, 3, "stały gość", {{"7", -2, 3, 2, ""}}};
    qint64 id = insertGroup(db, Kind::Accommodation, family);
    insertEntries(db, id, {{0, "7", -2, 3}, {1, "7", -2, 3}}, personIds);

    // A firm: two workers registered, the third not yet.
    const Group firm{"Budex sp. z o.o.", 3, -1, 4, "faktura na firmę", {{"4", -1, 4, 3, ""}}};
    id = insertGroup(db, Kind::Accommodation, firm);
    insertEntries(db, id, {{7, "4", -1, 4}, {8, "4", -1, 4}, {-1, "4", -1, 4}}, personIds);

    // Checked in today, nobody registered yet: two beds of a shared room.
    const Group arrival{"Lewandowska Katarzyna", 2, 0, 2, "", {{"5", 0, 2, 2, "K"}}};
    id = insertGroup(db, Kind::Accommodation, arrival);
    insertEntries(db, id, {{-1, "5", 0, 2}, {-1, "5", 0, 2}}, personIds);

    // Paid in advance for the whole stay.
    const Group paid{"Kamiński Tomasz", 1, -3, 1, "", {{"1", -3, 1, 1, ""}}};
    id = insertGroup(db, Kind::Accommodation, paid);
    insertEntries(db, id, {{6, "1", -3, 1}}, personIds);
    insertSettlement(db, id, paid, {"0003/%1#0001", -3, 1});
}

void insertReservations(QSqlDatabase db)
{
    const Group groups[] = {
        {"Nowak Anna", 1, 1, 4, "", {{"5", 1, 4, 1, "K"}}},
        {"Kowalski Jan", 2, 3, 6, "przyjazd wieczorem", {{"6", 3, 6, 2, ""}}},
        {"Wycieczka PTTK Kraków",
         8,
         5,
         8,
         "przedpłata 30%",
         {{"10", 5, 8, 4, ""}, {"12", 5, 8, 4, ""}}},
        {"Zielińska Maria", 3, 20, 27, "", {{"9", 20, 27, 3, ""}}},
    };
    for (const Group& g : groups)
        insertGroup(db, Kind::Reservation, g);
}
} // namespace

void insertDemoData(QSqlDatabase db)
{
    insertSetup(db);
    std::vector<qint64> personIds(std::size(kPersons), 0);
    insertFormerGuests(db, personIds);
    insertCurrentGuests(db, personIds);
    insertReservations(db);
}
