#include "admin/anonymisation.h"
#include "admin/ui/person_archive_window.h"
#include "app/backup.h"
#include "core/settings.h"
#include "db/polish_collation.h"
#include "db/row_set.h"
#include "db/schema.h"
#include "db/sql.h"
#include "db/upgrades.h"
#include "register/guest_data_commands.h"
#include "register/guest_data_export.h"
#include "reports/engine/document.h"
#include "reports/engine/generator.h"
#include "reports/statistics.h"
#include "tests/support/failing_writes.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QUuid>

namespace {
// One former or present stay of a person in a group of its own or a given one.
struct Stay {
    const char* from;
    const char* to;
    int country = 1;
    bool staying = false; // the group is still in the house
    int rozl = 1;         // -1: no calculation
    const char* buyer = "";
    const char* issued = nullptr;
    int group = 0; // 0: a new group
};

class Guests {
public:
    explicit Guests(TestEnv& env)
        : m_env(env)
    {
    }
    int person(const QString& surname)
    {
        m_env.exec("INSERT INTO Arch_os(Nazwisko, Imie, Adres, ID_Panstwo, Data_ur, Miejsce_ur, "
                   "Dokument_rodz, Dokument_nr, Uwagi) VALUES (?, 'Jan', 'Długa 1', 2, "
                   "'1970-02-03', 'Łódź', 2, 'AB123', 'uwaga')",
                   {surname});
        return m_env.scalar("SELECT max(Identyfikator_o) FROM Arch_os").toInt();
    }
    int stay(int person, const Stay& s)
    {
        int group = s.group;
        if (group == 0) {
            group = ++m_groups;
            if (s.staying)
                m_env.exec("INSERT INTO Kwat_hot(Identyfikator, Nazwa, Od, \"Do\") "
                           "VALUES (?, 'Grupa', ?, ?)",
                           {group, s.from, s.to});
            if (s.rozl >= 0)
                m_env.exec("INSERT INTO Kalk(Identyfikator, Od, \"Do\", Nazwa, Adres, Nip, Typ, "
                           "Rach, data_wystawienia, Brutto, rozl) VALUES (?, ?, ?, ?, ?, ?, ?, "
                           "?, ?, 1500000, ?)",
                           {group, s.from, s.to, s.buyer, *s.buyer ? "Długa 1" : "",
                            *s.buyer ? "1234563218" : "", s.issued ? QVariant(2) : QVariant(),
                            s.issued ? QVariant(group) : QVariant(),
                            s.issued ? QVariant(s.issued) : QVariant(), s.rozl});
            m_env.exec("INSERT INTO Kwit(Identyfikator, Nr_kwit, Wplata, Data, Typ) "
                       "VALUES (?, ?, 1500000, ?, 1)",
                       {group, QStringLiteral("K-%1").arg(group), s.to});
        }
        m_env.exec("INSERT INTO Ksiazka(Identyfikator_g, Identyfikator_o, Od, \"Do\", "
                   "Nr_pokoju, Pelne_dane, Wykwaterowany, ID_Panstwo) "
                   "VALUES (?, ?, ?, ?, '12', 1, ?, ?)",
                   {group, person, s.from, s.to, s.staying ? 0 : 1, s.country});
        return group;
    }

private:
    TestEnv& m_env;
    int m_groups = 0;
};

const QString kPersonColumns = QStringLiteral(
    "SELECT Identyfikator_o, Nazwisko, Imie, Adres, ID_Panstwo, Data_ur, Miejsce_ur, "
    "Dokument_rodz, Dokument_nr, Uwagi, Anonimizacja FROM Arch_os ORDER BY 1");

// Every figure the statistics give for the seasons and periods the guests
// below fall into.
QStringList statistics(QSqlDatabase db)
{
    QStringList out;
    for (const int year : {2017, 2018, 2019, 2020, 2024, 2026}) {
        for (const auto& [start, end] : seasonMonths(year)) {
            const SeasonMonthRow row = seasonMonthRow(db, start, end);
            out << QStringLiteral("%1 %2: %3 %4 %5 / %6 %7 %8")
                       .arg(year)
                       .arg(row.month)
                       .arg(row.all.persons)
                       .arg(row.all.nights)
                       .arg(row.all.roomNights)
                       .arg(row.foreign.persons)
                       .arg(row.foreign.nights)
                       .arg(row.foreign.roomNights);
        }
        for (const int country : foreignCountries(db)) {
            const SeasonCountryRow row = seasonCountryRow(db, country, year);
            for (const UsageFigures& m : row.months)
                out << QStringLiteral("%1 %2: %3 %4 %5")
                           .arg(year)
                           .arg(row.name)
                           .arg(m.persons)
                           .arg(m.nights)
                           .arg(m.roomNights);
        }
        const PersonNights pn = personNights(db, QDate(year, 1, 1), QDate(year, 12, 31));
        out << QStringLiteral("%1: %2 %3").arg(year).arg(pn.persons).arg(pn.nights);
    }
    return out;
}

// The persons of the anonymisation test, by what the retention rule says of
// them on 2026-07-15 with five years: stays that ended before 2021-01-01 go.
struct House {
    TestEnv env;
    Guests guests{env};
    QList<int> due, kept;
    int lateInvoiceGroup = 0, oldInvoiceGroup = 0;

    House()
    {
        const int old = guests.person("Dawny");
        oldInvoiceGroup =
            guests.stay(old, {"2019-07-01", "2019-07-05", 2, false, 1, "Dawny Jan", "2019-07-05"});
        guests.stay(old, {"2017-08-10", "2017-08-12", 2});
        const int newYearsEve = guests.person("Sylwestrowy");
        // Issued in the new year: the invoice's own retention runs a year longer.
        lateInvoiceGroup = guests.stay(newYearsEve, {"2020-07-27", "2020-12-31", 1, false, 1,
                                                     "Sylwestrowy Jan", "2021-01-10"});
        const int shared = guests.person("Współlokator");
        guests.stay(shared,
                    {"2019-07-01", "2019-07-05", 2, false, 1, "", nullptr, oldInvoiceGroup});
        due = {old, newYearsEve, shared};

        const int edge = guests.person("Graniczny");
        guests.stay(edge, {"2020-12-28", "2021-01-02", 3});
        const int returning = guests.person("Powracający");
        guests.stay(returning, {"2018-07-03", "2018-07-09", 3});
        guests.stay(returning, {"2024-08-01", "2024-08-04", 3});
        const int debtor = guests.person("Dłużnik");
        guests.stay(debtor, {"2018-09-01", "2018-09-04", 1, false, 0});
        const int present = guests.person("Obecny");
        guests.stay(present, {"2017-07-01", "2017-07-04", 2});
        guests.stay(present, {"2026-07-14", "2026-07-18", 2, true, -1});
        const int recent = guests.person("Niedawny");
        guests.stay(recent, {"2025-07-01", "2025-07-03", 1});
        const int noStay = guests.person("BezPobytu");
        kept = {edge, returning, debtor, present, recent, noStay};
    }
    QStringList personsRows(const QList<int>& ids)
    {
        QStringList out;
        for (const QString& row : env.rows(kPersonColumns))
            if (ids.contains(row.section(QLatin1Char('|'), 0, 0).toInt()))
                out << row;
        return out;
    }
};

QString tempPath(TestEnv& env, const QString& name)
{
    return QDir(env.dir()).filePath(name);
}
} // namespace

class TestGuestData : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void retentionRule_data()
    {
        QTest::addColumn<QDate>("stayEnd");
        QTest::addColumn<int>("years");
        QTest::addColumn<QDate>("firstDueDay");
        QTest::newRow("summer stay") << QDate(2020, 8, 14) << 5 << QDate(2026, 1, 1);
        QTest::newRow("last day of the year") << QDate(2020, 12, 31) << 5 << QDate(2026, 1, 1);
        QTest::newRow("first day of the year") << QDate(2021, 1, 1) << 5 << QDate(2027, 1, 1);
        QTest::newRow("ten years") << QDate(2020, 3, 1) << 10 << QDate(2031, 1, 1);
    }
    void retentionRule()
    {
        QFETCH(QDate, stayEnd);
        QFETCH(int, years);
        QFETCH(QDate, firstDueDay);
        QCOMPARE(retentionEnds(stayEnd, years), firstDueDay);
        // The queries' boundary agrees on the day before and the day itself.
        QVERIFY(!(stayEnd < retentionBoundary(firstDueDay.addDays(-1), years)));
        QVERIFY(stayEnd < retentionBoundary(firstDueDay, years));
    }

    void anonymisationChangesExactlyTheDue()
    {
        House h;
        QSqlDatabase db = h.env.db();
        const QStringList keptBefore = h.personsRows(h.kept);
        const QStringList registerBefore = h.env.rows("SELECT * FROM Ksiazka ORDER BY rowid");
        const QStringList figuresBefore = statistics(db);
        const QStringList lateInvoice =
            h.env.rows("SELECT * FROM Kalk WHERE Identyfikator = ?", {h.lateInvoiceGroup});

        const DueCounts due = countDue(db, QDate(2026, 7, 15));
        QCOMPARE(due.persons, int(h.due.size()));
        QCOMPARE(due.invoices, 1);
        QCOMPARE(due.boundary, QDate(2021, 1, 1));

        const AnonymisationResult done =
            anonymiseDue(db, QDateTime(QDate(2026, 7, 15), QTime(9, 30)), "Próba");
        QCOMPARE(done.persons, int(h.due.size()));
        QCOMPARE(done.invoices, 1);
        QCOMPARE(h.personsRows(h.kept), keptBefore);
        for (const QString& row : h.personsRows(h.due))
            QCOMPARE(row.section(QLatin1Char('|'), 1),
                     QString("(dane usunięte)|||2|NULL||NULL|||2026-07-15"));
        QCOMPARE(h.env.rows("SELECT * FROM Ksiazka ORDER BY rowid"), registerBefore);
        QCOMPARE(statistics(db), figuresBefore);
        QCOMPARE(h.env.rows("SELECT Nazwa, Adres, Nip FROM Kalk WHERE Identyfikator = ?",
                            {h.oldInvoiceGroup}),
                 QStringList("(dane usunięte)||"));
        QCOMPARE(h.env.rows("SELECT * FROM Kalk WHERE Identyfikator = ?", {h.lateInvoiceGroup}),
                 lateInvoice);
        QCOMPARE(h.env.rows("SELECT Kiedy, Polecenie, Osob, Faktur FROM Anonimizacja_log"),
                 QStringList("2026-07-15 09:30|Próba|3|1"));

        // Again: nothing is due, nothing changes.
        const QStringList everything = h.env.rows(kPersonColumns);
        QVERIFY(!countDue(db, QDate(2026, 7, 15)).any());
        const AnonymisationResult again =
            anonymiseDue(db, QDateTime(QDate(2026, 7, 16), QTime(9, 30)), "Próba");
        QCOMPARE(again.persons + again.invoices, 0);
        QCOMPARE(h.env.rows(kPersonColumns), everything);

        // A year on the late invoice's own retention has ended too.
        QCOMPARE(countDue(db, QDate(2027, 1, 1)).invoices, 1);
    }

    // The command and the start-up offer: the question with No preselected,
    // the result, and the offer at most once a calendar month.
    void commandAndMonthlyOffer()
    {
        House h;
        h.env.prompter().answers = {false, true};
        offerAnonymisationAtStart();
        offerAnonymisationAtStart(); // the same month: nothing asked
        QCOMPARE(h.env.prompter().shown.size(), 1);
        const ScriptedPrompter::Shown question = h.env.prompter().shown[0];
        QCOMPARE(question.caption, QString("Anonimizacja danych gości"));
        QVERIFY(!question.defaultYes);
        QCOMPARE(question.text,
                 QString("Minął okres przechowywania danych (pobyty zakończone przed "
                         "2021-01-01):\n– byli goście: 3\n– nabywcy na fakturach, których okres "
                         "przechowywania też minął: 1\n\nIch dane osobowe zostaną zastąpione "
                         "wpisem „(dane usunięte)”; kraj, daty, pokoje i grupy pozostaną dla "
                         "statystyk. Tej operacji nie można cofnąć.\n\nCzy zanonimizować te "
                         "dane teraz?"));
        QCOMPARE(
            h.env.scalar("SELECT count(*) FROM Arch_os WHERE Anonimizacja IS NOT NULL").toInt(), 0);
        h.env.setNow(QDateTime(QDate(2026, 8, 1), QTime(8, 0)));
        offerAnonymisationAtStart();
        QCOMPARE(h.env.prompter().log().last(),
                 QString("Anonimizacja danych gości|Zanonimizowano dane byłych gości: 3, "
                         "nabywców na fakturach: 1."));
        anonymiseDueCommand();
        QCOMPARE(h.env.prompter().log().last(),
                 QString("Anonimizacja danych gości|Nie ma danych gości, których okres "
                         "przechowywania minął (pobyty zakończone przed 2021-01-01)."));
        QCOMPARE(h.env.prompter().unanswered, 0);
    }

    // A failing write is reported and leaves every person, invoice and the
    // log as they were.
    void failedAnonymisationChangesNothing()
    {
        House h;
        refuseWrites(h.env, "INSERT", "Anonimizacja_log", "zapis wstrzymany");
        const QStringList before = h.env.rows(kPersonColumns) + h.env.rows("SELECT * FROM Kalk");
        h.env.prompter().answers = {true};
        anonymiseDueCommand();
        QCOMPARE(h.env.prompter().messages(Prompter::Icon::Error).size(), 1);
        QCOMPARE(h.env.prompter().log().last(),
                 QString("Anonimizacja danych gości|Błąd bazy : \r\nzapis wstrzymany"));
        QCOMPARE(h.env.rows(kPersonColumns) + h.env.rows("SELECT * FROM Kalk"), before);
        QCOMPARE(h.env.scalar("SELECT count(*) FROM Anonimizacja_log").toInt(), 0);
    }

    // "Usuń dane osoby" in the archive acts on the current row's person and
    // shows the list again as it now is.
    void archiveButtonErasesAndReloads()
    {
        House h;
        TArchiwum w(false);
        QCOMPARE(w.rows().value("Nazwisko").toString(), QString("Niedawny")); // latest stay
        h.env.prompter().answers = {true};
        QTest::mouseClick(w.findChild<QPushButton*>("UsunDane"), Qt::LeftButton);
        QCOMPARE(h.env.prompter().log().last(),
                 QString("Usuń dane osoby|Dane osoby zostały usunięte."));
        QCOMPARE(w.rows().value("Nazwisko").toString(), QString("(dane usunięte)"));
        QCOMPARE(h.env.prompter().unanswered, 0);
    }

    void erasureOnRequest_data()
    {
        QTest::addColumn<QString>("surname");
        QTest::addColumn<bool>("erased");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("buyer"); // the invoice buyer afterwards
        QTest::newRow("staying") << "Obecny" << false
                                 << "Usuń dane osoby|Nie można teraz usunąć danych tej osoby.\n"
                                    "Osoba jest zakwaterowana w grupie nr 9: jej dane są "
                                    "potrzebne do końca pobytu."
                                 << "";
        QTest::newRow("unsettled") << "Dłużnik" << false
                                   << "Usuń dane osoby|Nie można teraz usunąć danych tej osoby.\n"
                                      "Grupa nr 7 nie jest rozliczona: dane osoby są potrzebne "
                                      "do rozliczenia należności."
                                   << "";
        QTest::newRow("invoice within retention")
            << "Sylwestrowy" << true
            << "Usuń dane osoby|Dane osoby zostały usunięte.\nFaktura nr 3/2021 (grupa nr 3) "
               "musi być przechowywana do 2026-12-31 (przepisy podatkowe): dane nabywcy "
               "pozostają na fakturze."
            << "Sylwestrowy Jan";
        QTest::newRow("invoice past retention")
            << "Dawny" << true << "Usuń dane osoby|Dane osoby zostały usunięte."
            << "(dane usunięte)";
    }
    void erasureOnRequest()
    {
        QFETCH(QString, surname);
        QFETCH(bool, erased);
        QFETCH(QString, message);
        QFETCH(QString, buyer);
        House h;
        const int person =
            h.env.scalar("SELECT Identyfikator_o FROM Arch_os WHERE Nazwisko = ?", {surname})
                .toInt();
        const QStringList others = h.env.rows(kPersonColumns);
        h.env.prompter().answers = {true};
        QCOMPARE(erasePersonDataCommand(person), erased);
        QCOMPARE(h.env.prompter().log().last(), message);
        if (erased) {
            QVERIFY(!h.env.prompter().shown[0].defaultYes);
            QCOMPARE(h.env.rows("SELECT Nazwisko, Data_ur, Dokument_nr FROM Arch_os WHERE "
                                "Identyfikator_o = ?",
                                {person}),
                     QStringList("(dane usunięte)|NULL|"));
            QCOMPARE(h.env.scalar("SELECT count(*) FROM Anonimizacja_log").toInt(), 1);
        } else {
            QCOMPARE(h.env.rows(kPersonColumns), others);
        }
        if (!buyer.isEmpty())
            QCOMPARE(h.env
                         .scalar("SELECT Nazwa FROM Kalk WHERE Nazwa LIKE ? OR Nazwa = ?",
                                 {surname + "%", "(dane usunięte)"})
                         .toString(),
                     buyer);
        // Nobody else was touched.
        QCOMPARE(h.env
                     .scalar("SELECT count(*) FROM Arch_os WHERE Anonimizacja IS NOT NULL "
                             "AND Identyfikator_o <> ?",
                             {person})
                     .toInt(),
                 0);
    }

    // The copy of a person holds every stay and payment of theirs, the invoice
    // naming them, and nothing of the room-mate who paid for the shared group.
    void exportHoldsThePersonOnly()
    {
        TestEnv env;
        Guests guests(env);
        const int ania = guests.person("Zielińska");
        const int mate = guests.person("Kwiatkowski");
        const int shared = guests.stay(
            mate, {"2025-07-01", "2025-07-05", 2, false, 1, "Kwiatkowski Jan", "2025-07-05"});
        guests.stay(ania, {"2025-07-01", "2025-07-05", 2, false, 1, "", nullptr, shared});
        const int own = guests.stay(
            ania, {"2026-02-10", "2026-02-12", 1, false, 1, "Zielińska Jan", "2026-02-12"});
        env.exec("UPDATE Arch_os SET Uwagi = 'pokój od ogrodu' WHERE Identyfikator_o = ?", {mate});

        const QString pdf = tempPath(env, "kopia.pdf");
        env.prompter().files = {pdf};
        exportPersonDataCommand(ania);
        QCOMPARE(env.prompter().log().last(),
                 QString("Eksport danych osoby|Dane osoby zapisano w plikach:\n%1\n%2")
                     .arg(QDir::toNativeSeparators(pdf),
                          QDir::toNativeSeparators(tempPath(env, "kopia.json"))));
        QFile file(tempPath(env, "kopia.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray json = file.readAll();
        const QJsonObject root = QJsonDocument::fromJson(json).object();
        QCOMPARE(root["Osoba"].toObject()["Nazwisko"].toString(), QString("Zielińska"));
        QCOMPARE(root["Osoba"].toObject()["Dokument_nr"].toString(), QString("AB123"));
        QStringList stays, payments, invoices;
        for (const QJsonValue v : root["Pobyty"].toArray())
            stays << v["Od"].toString() + " " + QString::number(v["Grupa"].toInt());
        for (const QJsonValue v : root["Oplaty"].toArray())
            payments << v["Numer"].toString() + " " + v["Kwota"].toString();
        for (const QJsonValue v : root["Faktury"].toArray())
            invoices << v["Numer"].toString() + " " + v["Nabywca"].toString();
        QCOMPARE(stays, QStringList({QString("2025-07-01 %1").arg(shared),
                                     QString("2026-02-10 %1").arg(own)}));
        QCOMPARE(payments, QStringList({QString("K-%1 150,00 zł").arg(shared),
                                        QString("K-%1 150,00 zł").arg(own)}));
        QCOMPARE(invoices, QStringList(QString("%1/2026 Zielińska Jan").arg(own)));
        QVERIFY(QFileInfo(pdf).size() > 0);

        const PersonData data =
            collectPersonData(env.db(), ania, QDateTime(QDate(2026, 7, 15), QTime(12, 0)));
        TRapDaneOsoby report(data);
        const QString texts = generateDocument(report).texts().join('\n');
        QVERIFY(texts.contains("Zielińska Jan"));
        for (const char* other : {"Kwiatkowski", "pokój od ogrodu"}) {
            QVERIFY2(!QString::fromUtf8(json).contains(QString::fromUtf8(other)), other);
            QVERIFY2(!texts.contains(QString::fromUtf8(other)), other);
        }
    }

    // An older file is brought forward with its guests' data as they were.
    void upgradeKeepsGuests()
    {
        TestEnv env({.createDatabase = false, .openConnection = false});
        const QString file = tempPath(env, "stara.mdb");
        createDatabase(file, false, 1);
        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
            db.setDatabaseName(file);
            QVERIFY(db.open());
            addPolishText(db);
            runSql(db, "INSERT INTO Arch_os(Nazwisko, Data_ur) VALUES ('Stary', '1950-01-02')");
            runSql(db, "UPDATE Config SET Nazwa = 'Pensjonat'");
            upgradeDatabase(db, file);
            QCOMPARE(schemaVersionOf(db), kSchemaVersion);
            QSqlQuery q = runSql(db, "SELECT Nazwisko, Data_ur, Anonimizacja IS NULL FROM Arch_os");
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toString() + q.value(1).toString() + q.value(2).toString(),
                     QString("Stary1950-01-021"));
            const GuestDataSettings s = readGuestDataSettings(db);
            QCOMPARE(s.minimal, false);
            QCOMPARE(s.retentionYears, 5);
            QCOMPARE(scalarSql(db, "SELECT count(*) FROM Anonimizacja_log").toInt(), 0);
            // The setting never goes below the invoices' five years.
            QVERIFY_THROWS_EXCEPTION(DbError,
                                     runSql(db, "UPDATE Config SET Lata_przechowywania = 4"));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

    void pruneArchives_data()
    {
        QTest::addColumn<int>("keep");
        QTest::addColumn<QStringList>("left");
        const QStringList all = {"Archiwum 2025.12.31 23.59.zip", "Archiwum 2026.01.02 08.00.zip",
                                 "Archiwum 2026.07.14 18.05.zip", "Archiwum 2026.07.15 18.00.zip",
                                 "notatki.zip"};
        QTest::newRow("all kept") << 0 << all;
        QTest::newRow("last two") << 2
                                  << QStringList({"Archiwum 2026.07.14 18.05.zip",
                                                  "Archiwum 2026.07.15 18.00.zip", "notatki.zip"});
        QTest::newRow("more than there are") << 9 << all;
    }
    void pruneArchives()
    {
        QFETCH(int, keep);
        QFETCH(QStringList, left);
        TestEnv env;
        const QString folder = tempPath(env, "Archiwa");
        QVERIFY(QDir().mkpath(folder));
        for (const char* name :
             {"Archiwum 2026.07.14 18.05.zip", "notatki.zip", "Archiwum 2025.12.31 23.59.zip",
              "Archiwum 2026.07.15 18.00.zip", "Archiwum 2026.01.02 08.00.zip"}) {
            QFile f(QDir(folder).filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QVERIFY(writeSetting("KopieZapasowe", QString::number(keep)));
        QCOMPARE(archivesToKeep(), keep);
        ::pruneArchives(folder, archivesToKeep());
        QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name), left);
    }
};
REZYDO_TEST(TestGuestData);

#include "test_guest_data.moc"
