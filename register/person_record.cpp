#include "register/person_record.h"

#include "core/error.h"
#include "db/sql.h"

#include <QVariant>

QStringList documentKindTexts()
{
    return {QStringLiteral("Dowód osobisty"), QStringLiteral("Paszport"),
            QStringLiteral("leg. studencka"), QStringLiteral("leg. szkolna"), QString()};
}

int documentIndexForCode(int code)
{
    return code < 1 ? 0 : code - 1;
}

int documentCodeForIndex(int index)
{
    return index < 0 ? 0 : index + 1;
}

QDate shownBirthDate(const QVariant& stored)
{
    const QDate day = dayFromValue(stored);
    if (!day.isValid() || day <= QDate(1899, 12, 30))
        return {};
    return day;
}

std::vector<Country> loadCountries(QSqlDatabase db)
{
    QSqlQuery q = runSql(db, QStringLiteral("SELECT ID, Nazwa FROM Panstwo ORDER BY ID"));
    std::vector<Country> out;
    while (q.next())
        out.push_back({q.value(0).toInt(), q.value(1).toString()});
    return out;
}

std::optional<PersonFields> loadPerson(QSqlDatabase db, int personId)
{
    QSqlQuery q = runSql(db,
                         QStringLiteral("SELECT Nazwisko, Imie, Data_ur, Miejsce_ur, Adres, "
                                        "ID_Panstwo, Dokument_rodz, Dokument_nr, Uwagi "
                                        "FROM Arch_os WHERE Identyfikator_o = :ID"),
                         {{":ID", personId}});
    if (!q.next())
        return std::nullopt;
    PersonFields p;
    p.Nazwisko = q.value(0).toString();
    p.Imie = q.value(1).toString();
    p.Data_ur = shownBirthDate(q.value(2));
    p.Miejsce_ur = q.value(3).toString();
    p.Adres = q.value(4).toString();
    if (!q.value(5).isNull())
        p.ID_Panstwo = q.value(5).toInt();
    p.documentIndex = documentIndexForCode(q.value(6).toInt());
    p.Dokument_nr = q.value(7).toString();
    p.Uwagi = q.value(8).toString();
    return p;
}

std::optional<EntryPlace> loadEntry(QSqlDatabase db, int groupId, int personId)
{
    QSqlQuery q = runSql(db,
                         QStringLiteral("SELECT Nr_pokoju, Od, \"Do\", Pelne_dane FROM Ksiazka "
                                        "WHERE Identyfikator_g = :G AND Identyfikator_o = :O "
                                        "ORDER BY rowid LIMIT 1"),
                         {{":G", groupId}, {":O", personId}});
    if (!q.next())
        return std::nullopt;
    return EntryPlace{q.value(0).toString(), dayFromValue(q.value(1)), dayFromValue(q.value(2)),
                      q.value(3).toInt() != 0};
}

namespace {
const QString kGone =
    QStringLiteral("Tej osoby nie ma już w bazie danych. Zmiany nie zostały zapisane.");
const QString kGroupGone = QStringLiteral(
    "Tej grupy nie ma już w bazie danych. Osoba nie została dopisana do książki meldunkowej.");

int appendPerson(QSqlDatabase db, int groupId)
{
    // Another copy may have checked the group out since the window opened: a
    // person added now would belong to no group and show in no list.
    if (scalarSql(db, QStringLiteral("SELECT count(*) FROM Kwat_hot WHERE Identyfikator = :G"),
                  {{":G", groupId}})
            .toInt() == 0)
        throw RezydoError(kGroupGone);
    QSqlQuery person = runSql(db, QStringLiteral("INSERT INTO Arch_os(ID_Panstwo) VALUES (1)"));
    const int personId = person.lastInsertId().toInt();
    runSql(db,
           QStringLiteral("INSERT INTO Ksiazka(Identyfikator_g, Identyfikator_o, Pelne_dane, "
                          "Wykwaterowany) VALUES (:G, :O, 0, 0)"),
           {{":G", groupId}, {":O", personId}});
    return personId;
}

void writeEntry(QSqlDatabase db, const PersonSave& save, int personId, int country)
{
    if (save.slot) {
        runSql(db,
               QStringLiteral("UPDATE Ksiazka SET Nr_pokoju = :Nr, Od = :Od, \"Do\" = :Do "
                              "WHERE Identyfikator_g = :G AND Identyfikator_o = :O"),
               {{":Nr", save.slot->Nr_pokoju},
                {":Od", dayValue(save.slot->Od)},
                {":Do", dayValue(save.slot->Do)},
                {":G", save.groupId},
                {":O", personId}});
    }
    // An entry with a room is complete from now on; nothing here makes one
    // incomplete again.
    const QSqlQuery entry =
        runSql(db,
               QStringLiteral("UPDATE Ksiazka SET ID_Panstwo = :P, Pelne_dane = CASE WHEN "
                              "coalesce(Nr_pokoju, '') <> '' THEN 1 ELSE Pelne_dane END "
                              "WHERE Identyfikator_g = :G AND Identyfikator_o = :O"),
               {{":P", country}, {":G", save.groupId}, {":O", personId}});
    if (entry.numRowsAffected() == 0)
        throw RezydoError(kGone);
}

// An untouched field may hold a null text, which would be stored as NULL;
// empty texts are stored as empty.
QVariant textValue(const QString& text)
{
    return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text);
}

void writePerson(QSqlDatabase db, const PersonFields& f, bool minimal, int personId, int country)
{
    const QSqlQuery person =
        runSql(db,
               QStringLiteral("UPDATE Arch_os SET Uwagi = :Uwagi, Nazwisko = :Nazwisko, "
                              "Imie = :Imie, Miejsce_ur = :Miejsce, Data_ur = :Data, "
                              "Dokument_rodz = :Rodz, Dokument_nr = :Nr, Adres = :Adres, "
                              "ID_Panstwo = :P WHERE Identyfikator_o = :O"),
               {{":Uwagi", textValue(f.Uwagi)},
                {":Nazwisko", textValue(f.Nazwisko)},
                {":Imie", textValue(f.Imie)},
                {":Miejsce", minimal ? QVariant(QStringLiteral("")) : textValue(f.Miejsce_ur)},
                {":Data", minimal ? QVariant() : dayValue(f.Data_ur)},
                {":Rodz", minimal ? QVariant() : QVariant(documentCodeForIndex(f.documentIndex))},
                {":Nr", minimal ? QVariant(QStringLiteral("")) : textValue(f.Dokument_nr)},
                {":Adres", textValue(f.Adres)},
                {":P", country},
                {":O", personId}});
    // Another copy may have checked the group out meanwhile, deleting the
    // records of incomplete entries: the typed data would vanish unseen.
    if (person.numRowsAffected() == 0)
        throw RezydoError(kGone);
}
} // namespace

int savePerson(QSqlDatabase db, const PersonSave& save)
{
    // Run again from the start when another desk wrote at the same moment.
    int personId = 0;
    runInTransaction(db, [&] {
        personId = save.addMode ? appendPerson(db, save.groupId) : save.personId;
        const int country = save.fields.ID_Panstwo.value_or(1);
        writeEntry(db, save, personId, country);
        writePerson(db, save.fields, save.minimal, personId, country);
    });
    return personId;
}
