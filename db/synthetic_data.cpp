#include "db/synthetic_data.h"

#include "core/clock.h"
#include "db/synthetic_writer.h"

#include <QHash>

namespace synthetic {
namespace {
const char* const kNotes[] = {"przyjazd wieczorem",
                              "faktura na firmę",
                              "parking",
                              "śniadania",
                              "stały gość",
                              "przedpłata 30%",
                              "dostawka dla dziecka",
                              "pokój od ogrodu",
                              "alergia na pierze"};
} // namespace

Writer::Writer(QSqlDatabase db, std::uint32_t seed)
    : m_db(db)
    , m_rng(seed)
    , m_today(today())
    , m_person(db, statement("Arch_os",
                             "Identyfikator_o, Nazwisko, Imie, Adres, ID_Panstwo, Data_ur, "
                             "Miejsce_ur, Dokument_rodz, Dokument_nr, Uwagi",
                             10))
    , m_entry(db, statement("Ksiazka",
                            "Identyfikator_g, Identyfikator_o, Od, \"Do\", Nr_pokoju, "
                            "Pelne_dane, Wykwaterowany, ID_Panstwo",
                            8))
    , m_kwatHot(db, statement("Kwat_hot", "Identyfikator, Nazwa, Osob, Od, \"Do\", Notatki", 6))
    , m_kwatMsc(db, statement("Kwat_msc", "Identyfikator, Nr_pokoju, Od, \"Do\", Miejsc, Jaki", 6))
    , m_rezHot(db, statement("Rez_hot", "Identyfikator, Nazwa, Osob, Od, \"Do\", Notatki", 6))
    , m_rezMsc(db, statement("Rez_msc", "Identyfikator, Nr_pokoju, Od, \"Do\", Miejsc, Jaki", 6))
    , m_kalk(db, statement("Kalk",
                           "Identyfikator, Od, \"Do\", Dni, VAT, Liczba_osob, Brutto, Podatek, "
                           "Znizka, Podstawa, Nazwa, Adres, Nip, Typ, Zamowienie, "
                           "data_wystawienia, data_sprzedazy, termin_platnosci, "
                           "sposob_zaplaty, uwagi, rozl",
                           21))
    , m_kalkDet(db, statement("Kalk_det",
                              "Identyfikator, Nr_pokoju, Od, \"Do\", Rozmiar, Miejsc, Oplata1, "
                              "Oplata2, Znizka, Podstawa, Dni, VAT, Podatek, Brutto",
                              14))
    , m_kwit(db, statement("Kwit", "Identyfikator, Nr_kwit, Wplata, Data, Typ", 5))
    , m_rach(db, QStringLiteral("UPDATE Kalk SET Rach = ? WHERE Identyfikator = ?"))
{
    loadCountries();
}

void Writer::loadCountries()
{
    QHash<QString, int> ids;
    QSqlQuery q = runSql(m_db, QStringLiteral("SELECT ID, Nazwa FROM Panstwo WHERE ID > 1"));
    while (q.next()) {
        ids.insert(q.value(1).toString(), q.value(0).toInt());
        m_foreignIds.push_back(q.value(0).toInt());
    }
    int count = 0;
    const Origin* list = origins(count);
    for (int i = 0; i < count; ++i)
        m_originCountry.push_back(ids.value(QString::fromUtf8(list[i].country), 0));
}

const QVariant& Writer::day(int offset)
{
    const std::size_t at = static_cast<std::size_t>(offset - m_firstDay + 60);
    if (at >= m_days.size())
        m_days.resize(at + 1);
    if (!m_days[at].isValid())
        m_days[at] = dayValue(m_today.addDays(offset));
    return m_days[at];
}

void Writer::writeSetup(const Plan& plan)
{
    Insert room(m_db, statement("Pokoje", "Nr_Pokoju, Miejsc, Typ, Opis", 4));
    for (const RoomSpec& r : plan.rooms)
        room.run({r.nr, r.beds,
                  QString::fromUtf8(roomTypes()[static_cast<std::size_t>(r.type)].typ), r.opis});
    Insert price(m_db, statement("Cennik", "Typ, Cena1, Cena2, Cena3, Cena4", 5));
    for (const RoomType& t : roomTypes()) {
        const QVariant bed = moneyValue(Money::fromZloty(t.bedPrice));
        const QVariant whole = moneyValue(Money::fromZloty(t.roomPrice));
        price.run({QString::fromUtf8(t.typ), bed, bed, whole, whole});
    }
    runSql(m_db,
           QStringLiteral("UPDATE Config SET Nazwa = :N, Adres = :A, Regon = '120458731', "
                          "SWW = '55.10.10', NIP = '737-104-52-88', Miejscowosc = :M, "
                          "Bank = :B, NrKonta = '12 1020 2892 0000 5102 0345 6789'"),
           {{":N", QStringLiteral("Hotel Pod Jaworami")},
            {":A", QStringLiteral("ul. Zdrojowa 40, 33-380 Krynica-Zdrój")},
            {":M", QStringLiteral("Krynica-Zdrój")},
            {":B", QStringLiteral("Bank Spółdzielczy w Krynicy-Zdroju")}});
}

Party Writer::drawParty(const PlannedGroup& g)
{
    Party p;
    p.tour = g.persons >= 10 && chance(m_rng, 60);
    p.firm = !p.tour && chance(m_rng, g.persons >= 5 ? 45 : 12);
    if (chance(m_rng, p.tour ? 25 : 15)) {
        int count = 0;
        const Origin* list = origins(count);
        int pickAt = -1;
        if (chance(m_rng, 93)) {
            int total = 0;
            for (int i = 0; i < count; ++i)
                total += m_originCountry[static_cast<std::size_t>(i)] ? list[i].weight : 0;
            int r = below(m_rng, total);
            for (int i = 0; i < count && pickAt < 0; ++i) {
                const int w = m_originCountry[static_cast<std::size_t>(i)] ? list[i].weight : 0;
                if (r < w)
                    pickAt = i;
                r -= w;
            }
        }
        if (pickAt >= 0) {
            p.country = m_originCountry[static_cast<std::size_t>(pickAt)];
            p.tongue = list[pickAt].tongue;
        } else if (!m_foreignIds.empty()) {
            p.country = m_foreignIds[static_cast<std::size_t>(
                below(m_rng, static_cast<int>(m_foreignIds.size())))];
            p.tongue = Tongue::Other;
        }
    }
    if (p.tour) {
        p.name = tourName(m_rng);
    } else if (p.firm) {
        p.firmIndex = static_cast<std::uint32_t>(below(m_rng, 400));
        p.name = firm(p.firmIndex).name;
    }
    return p;
}

// A returning guest keeps the person record of the earlier stay; tours and
// firms bring mostly new faces. Stays of one person never overlap.
std::size_t Writer::guestFor(const Party& party, int from, bool& isNew)
{
    const int returning = party.tour ? 5 : party.firm ? 20 : 33;
    isNew = false;
    if (!m_guests.empty() && chance(m_rng, returning)) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            const auto at =
                static_cast<std::size_t>(below(m_rng, static_cast<int>(m_guests.size())));
            if (m_guests[at].lastTo <= from)
                return at;
        }
    }
    Guest g;
    g.id = m_nextPerson++;
    g.name = m_rng();
    g.female = chance(m_rng, 50);
    g.country = party.country;
    g.tongue = party.tongue;
    // A few travel with a group from elsewhere.
    if (party.country != 1 && chance(m_rng, 10)) {
        g.country = 1;
        g.tongue = Tongue::Polish;
    }
    m_guests.push_back(g);
    isNew = true;
    return m_guests.size() - 1;
}

void Writer::writePerson(const Guest& g, const QString& address)
{
    const NameParts name = personName(g.tongue, g.female, g.name);
    const int age = 3 + below(m_rng, 80);
    const QDate born = m_today.addYears(-age).addDays(-below(m_rng, 365));
    int document = g.tongue == Tongue::Polish ? (chance(m_rng, 90) ? 1 : 2) : 2;
    if (g.tongue == Tongue::Polish && age < 18)
        document = 4;
    else if (g.tongue == Tongue::Polish && age < 25 && chance(m_rng, 40))
        document = 3;
    const QString place = g.tongue == Tongue::Polish ? homeTown(m_rng()) : QString();
    static const char* const remarks[] = {"stały gość", "alergia", "prosi o cichy pokój",
                                          "niepalący"};
    const QString remark =
        chance(m_rng, 3) ? QString::fromUtf8(remarks[below(m_rng, 4)]) : QString();
    m_person.run({g.id, name.surname, name.firstName, address, g.country, dayValue(born), place,
                  document, documentNumber(g.tongue, document, m_rng), remark});
    ++m_counts.persons;
}

QString Writer::groupName(const Party& party, const Guest* first)
{
    if (!party.name.isEmpty())
        return party.name.left(40);
    const NameParts n = first ? personName(first->tongue, first->female, first->name)
                              : personName(party.tongue, chance(m_rng, 50), m_rng());
    return (n.surname + QLatin1Char(' ') + n.firstName).left(40);
}

QString Writer::notes()
{
    return chance(m_rng, 15) ? QString::fromUtf8(kNotes[below(m_rng, std::size(kNotes))])
                             : QString();
}

// Persons bed by bed through the room lines. Guests who arrived today or
// yesterday may still wait to be registered: an empty record, data not in.
const Guest* Writer::writeEntries(const Plan& plan, const PlannedGroup& g, const Party& party,
                                  int id)
{
    const bool out = g.stage == Stage::CheckedOut;
    const int waiting = g.stage != Stage::Staying ? 0 : g.from == 0 ? 70 : g.from == -1 ? 30 : 0;
    std::size_t first = SIZE_MAX;
    QString address;
    for (const PlannedLine& line : g.lines) {
        const QString& room = plan.rooms[static_cast<std::size_t>(line.room)].nr;
        for (int bed = 0; bed < line.beds; ++bed) {
            if (first != SIZE_MAX && chance(m_rng, waiting)) {
                const int person = m_nextPerson++;
                m_person.run({person, QString(), QString(), QString(), 1, QVariant(), QString(),
                              QVariant(), QString(), QString()});
                m_entry.run({id, person, day(g.from), day(g.to), room, 0, 0, QVariant()});
                ++m_counts.registerEntries;
                continue;
            }
            bool isNew = false;
            const std::size_t at = guestFor(party, g.from, isNew);
            Guest& guest = m_guests[at];
            if (isNew) {
                // Families share the address of the one who booked.
                if (address.isEmpty() || party.tour || party.firm || chance(m_rng, 30))
                    address = streetAddress(guest.tongue, m_rng);
                writePerson(guest, address);
            }
            guest.lastTo = g.to;
            if (first == SIZE_MAX)
                first = at;
            m_entry.run(
                {id, guest.id, day(g.from), day(g.to), room, 1, out ? 1 : 0, guest.country});
            ++m_counts.registerEntries;
        }
    }
    return first == SIZE_MAX ? nullptr : &m_guests[first];
}

void Writer::writeReservation(const Plan& plan, const PlannedGroup& g, const Party& party)
{
    const int id = m_nextReservation++;
    m_rezHot.run({id, groupName(party, nullptr), g.persons, day(g.from), day(g.to), notes()});
    for (const PlannedLine& l : g.lines)
        m_rezMsc.run({id, plan.rooms[static_cast<std::size_t>(l.room)].nr, day(g.from), day(g.to),
                      l.beds, l.jaki ? QString(QLatin1Char(l.jaki)) : QString()});
    ++m_counts.reservations;
}

// A group gone has left its register entries, calculation and payments; a
// group in the house also its header and room lines, and a calculation only
// if the billing window was opened already.
void Writer::writeGroup(const Plan& plan, const PlannedGroup& g)
{
    const Party party = drawParty(g);
    if (g.stage == Stage::Reserved) {
        writeReservation(plan, g, party);
        return;
    }
    const int id = m_nextGroup++;
    const Guest* first = writeEntries(plan, g, party, id);
    const QString name = groupName(party, first);
    const QString note = notes();
    if (g.stage == Stage::Staying) {
        m_kwatHot.run({id, name, g.persons, day(g.from), day(g.to), note});
        for (const PlannedLine& l : g.lines)
            m_kwatMsc.run({id, plan.rooms[static_cast<std::size_t>(l.room)].nr, day(g.from),
                           day(g.to), l.beds, l.jaki ? QString(QLatin1Char(l.jaki)) : QString()});
        ++m_counts.staying;
    }
    if (g.stage == Stage::CheckedOut || chance(m_rng, 50))
        writeCalculation(plan, g, party, id, name, note);
}

// Group ids keep rising past the groups that were checked out and deleted.
void Writer::raiseSequence(const char* table, int value)
{
    QSqlQuery q = runSql(m_db,
                         QStringLiteral("UPDATE sqlite_sequence SET seq = max(seq, :V) "
                                        "WHERE name = :T"),
                         {{":V", value}, {":T", QLatin1String(table)}});
    if (q.numRowsAffected() == 0)
        runSql(m_db, QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (:T, :V)"),
               {{":V", value}, {":T", QLatin1String(table)}});
}

SyntheticCounts Writer::write(int years, int rooms)
{
    const Plan plan = planHotel(years, rooms, m_today, m_rng);
    m_firstDay = plan.firstDay;
    writeSetup(plan);
    m_counts.rooms = rooms;
    // Reservations checked in earlier used up numbers of their own.
    m_nextReservation = static_cast<int>(plan.groups.size() / 2) + 1;
    for (const PlannedGroup& g : plan.groups)
        writeGroup(plan, g);
    writePayments();
    writeInvoiceNumbers();
    raiseSequence("Kwat_hot", m_nextGroup - 1);
    raiseSequence("Arch_os", m_nextPerson - 1);
    return m_counts;
}

} // namespace synthetic

SyntheticCounts insertSyntheticData(QSqlDatabase db, int years, int rooms, std::uint32_t seed)
{
    // Dirty pages stay in memory until the commit: spilling them mid-way would
    // sync the journal again and again.
    runSql(db, QStringLiteral("PRAGMA cache_spill = OFF"));
    SyntheticCounts counts;
    try {
        Transaction tx(db);
        counts = synthetic::Writer(db, seed).write(years, rooms);
        tx.commit();
    } catch (...) {
        runSql(db, QStringLiteral("PRAGMA cache_spill = ON"));
        throw;
    }
    runSql(db, QStringLiteral("PRAGMA cache_spill = ON"));
    return counts;
}
