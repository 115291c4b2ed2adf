#include "reports/engine/generator.h"
#include "reports/guest_list_reports.h"
#include "reports/season_report.h"
#include "tests/reports/golden.h"
#include "tests/reports/layout_checks.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QSqlQuery>
#include <QTest>

namespace {
const QDate kDay(2026, 7, 15); // a Wednesday

QStringList roomColumns()
{
    return {"Identyfikator", "Nazwa", "Osob", "Nr_pokoju", "Od", "Do", "Miejsc"};
}

// Room lines "group|name|persons|room|od|do".
ReportRows roomLines(const QStringList& lines)
{
    ReportRows rows(roomColumns(), {});
    for (const QString& l : lines) {
        const QStringList f = l.split('|');
        rows.append({f[0].toInt(), f[1], f[2].toInt(), f[3], f[4], f[5], 1});
    }
    return rows;
}

// Every text one band placed on a page, in order.
QString bandTexts(const Page& page, const QString& band)
{
    return page.texts(band).join('|');
}

// The name of the first band of the body placed on a page.
QString firstBodyBand(const Page& page)
{
    for (const PlacedItem& item : page.items)
        if (item.band != "NaglowekStrony" && item.band != "NaglowekKolumn" &&
            item.band != "BandaStopkaStrony")
            return item.band;
    return {};
}

const PlacedItem* item(const Page& page, const QString& band, const QString& control)
{
    for (const PlacedItem& i : page.items)
        if (i.band == band && i.control == control)
            return &i;
    return nullptr;
}
} // namespace

class TestGuestListLayouts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void currentGuests()
    {
        TestEnv env;
        ReportRows rows({"Nazwisko", "Imie", "Nazwa", "Nr_pokoju", "Od", "Do"},
                        {{"Kowalski", "Jan", "Wczasy", "12", "2026-07-01", "2026-07-20"},
                         {"Nowak", "Anna", "Wczasy", "3", "2026-07-02", "2026-07-21"}});
        TRapAktualneKwaterunki report(rows, "Pełne Dane", "Razem osób: 2");
        const Document doc = generateDocument(report);
        QCOMPARE(doc.title, QString()); // the preview keeps its own caption
        QCOMPARE(doc.pageCount(), 1);
        QCOMPARE(doc.texts(), QStringList({"Spis aktualnie zakwaterowanych (Pełne Dane)",
                                           "Nazwisko",
                                           "Imię",
                                           "Nazwa Grupy",
                                           "Pokój",
                                           "Od",
                                           "Do",
                                           "Kowalski",
                                           "Jan",
                                           "Wczasy",
                                           "12",
                                           "01-07-2026",
                                           "20-07-2026",
                                           "Nowak",
                                           "Anna",
                                           "Wczasy",
                                           "3",
                                           "02-07-2026",
                                           "21-07-2026",
                                           "Razem osób: 2",
                                           "Strona 1"}));
        compareGolden("current_guests.txt", dumpDocument(doc));
    }

    void roomListPerKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("headings");
        QTest::addColumn<QString>("line");
        QTest::addColumn<qreal>("lastColumnLeft"); // on the page, margin included
        QTest::newRow("arrivals: Do in the place of Od")
            << 1 << "Osoby przyjeżdżające 2026-07-15 (środa)"
            << "Nazwa Grupy|Osób|Nr pokoju|Do"
            << "12|2026-07-20" << 140.0;
        QTest::newRow("departures: Od only") << 2 << "Wyjeżdżający 2026-07-15 (środa)"
                                             << "Nazwa Grupy|Osób|Nr pokoju|Od"
                                             << "12|2026-07-15" << 140.0;
        QTest::newRow("reservations: both dates") << 3 << "Spis Rezerwacji"
                                                  << "Nazwa Grupy|Osób|Nr pokoju|Od|Do"
                                                  << "12|2026-07-15|2026-07-20" << 170.0;
    }
    void roomListPerKind()
    {
        QFETCH(int, kind);
        QFETCH(QString, title);
        QFETCH(QString, headings);
        QFETCH(QString, line);
        QFETCH(qreal, lastColumnLeft);
        TestEnv env;
        const ReportRows rows = roomLines({"4|Wczasy|3|12|2026-07-15|2026-07-20"});
        TRapRezerwacje report(rows, kind, kDay);
        const Document doc = generateDocument(report);
        const Page& page = doc.pages[0];
        QCOMPARE(bandTexts(page, "NaglowekStrony"), title);
        QCOMPARE(bandTexts(page, "NaglowekKolumn"), headings);
        QCOMPARE(bandTexts(page, "NaglowekGrupy1"), QString("Wczasy|3"));
        QCOMPARE(bandTexts(page, "Szczegoly"), line);
        const QString dateControl = kind == 2 ? "Od" : "Do";
        QCOMPARE(item(page, "Szczegoly", dateControl)->rect.left(), lastColumnLeft);
        // The rules end with the table.
        qreal right = 0;
        for (const PlacedItem& i : page.items)
            if (i.kind == PlacedItem::Kind::Line && i.band == "StopkaGrupy1")
                right = i.rect.right();
        QCOMPARE(right, kind == 3 ? 200.0 : 170.0);
        if (kind == 1)
            compareGolden("arrivals.txt", dumpDocument(doc));
    }

    void groupHeaderForEveryRunOfRows()
    {
        TestEnv env;
        const ReportRows rows =
            roomLines({"1|Alfa|2|1|2026-07-15|2026-07-16", "1|Alfa|2|2|2026-07-15|2026-07-17",
                       "2|Beta|1|3|2026-07-15|2026-07-18", "1|Alfa|2|4|2026-07-15|2026-07-19"});
        TRapRezerwacje report(rows, 3, kDay);
        const Page page = generateDocument(report).pages[0];
        QCOMPARE(bandTexts(page, "NaglowekGrupy1"), QString("Alfa|2|Beta|1|Alfa|2"));
        int rules = 0;
        for (const PlacedItem& i : page.items)
            rules += i.band == "StopkaGrupy1";
        QCOMPARE(rules, 3);
    }

    // Headings print on the first page and on pages that begin with a group,
    // never on a page that continues one; a second generation starts afresh.
    void columnHeadingsOnlyBetweenGroups()
    {
        TestEnv env;
        QStringList lines;
        for (int i = 0; i < 60; ++i)
            lines << QString("1|Długa grupa|60|%1|2026-07-15|2026-07-20").arg(i + 1);
        for (int g = 2; g < 80; ++g)
            lines << QString("%1|Grupa %1|1|7|2026-07-15|2026-07-20").arg(g);
        const ReportRows rows = roomLines(lines);
        TRapRezerwacje report(rows, 3, kDay);
        const Document doc = generateDocument(report);
        QVERIFY(doc.pageCount() >= 4);
        QVERIFY(!doc.pages[0].texts("NaglowekKolumn").isEmpty());
        QCOMPARE(doc.pages[1].texts("NaglowekKolumn"), QStringList());
        QCOMPARE(bandTexts(doc.pages[1], "NaglowekStrony"), QString("Spis Rezerwacji"));
        int withHeadings = 0;
        for (const Page& page : doc.pages) {
            const bool begins = firstBodyBand(page) == "NaglowekGrupy1";
            QCOMPARE(!page.texts("NaglowekKolumn").isEmpty(), page.number == 1 || begins);
            withHeadings += begins;
        }
        QVERIFY(withHeadings > 0); // some page begins between two groups
        QCOMPARE(dumpDocument(generateDocument(report)), dumpDocument(doc));
    }

    void groupsOfDay()
    {
        TestEnv env;
        ReportRows rows(
            {"Dane", "Nr_pokoju", "Data"},
            {{"Kowalski Jan", "12", "2026-07-20"}, {"Wczasy (grupa 3 osób)", "", "2026-07-22"}});
        TRapMeldunki report(rows, kDay);
        const Document doc = generateDocument(report);
        QCOMPARE(doc.title, QString("Wydruk grup zakwaterowanych w danym dniu "));
        QCOMPARE(doc.texts(), QStringList({"Lista grup zakwaterowanych  2026-07-15 (środa)",
                                           "Dane osoby lub grupy", "Nr pokoju", "Do",
                                           "Kowalski Jan", "12", "20-07-2026",
                                           "Wczasy (grupa 3 osób)", "", "22-07-2026", "Strona 1"}));
        compareGolden("groups_of_day.txt", dumpDocument(doc));
    }

    // Each row of the two lists has its light rule under it, the last row of
    // every page included, also where a wrapped name makes a row taller.
    void rulesUnderRows_data()
    {
        QTest::addColumn<bool>("groups");
        QTest::newRow("current guests") << false;
        QTest::newRow("groups of a day") << true;
    }
    void rulesUnderRows()
    {
        QFETCH(bool, groups);
        TestEnv env;
        const QString longName = "Przedsiębiorstwo Turystyczne Gromada";
        ReportRows current({"Nazwisko", "Imie", "Nazwa", "Nr_pokoju", "Od", "Do"}, {});
        ReportRows day({"Dane", "Nr_pokoju", "Data"}, {});
        for (int i = 0; i < 60; ++i) {
            const QString name = i % 7 == 3 ? longName : QString("Nowak %1").arg(i);
            current.append(
                {name, "Jan", i % 5 == 0 ? longName : "Wczasy", "12", "2026-07-01", "2026-07-20"});
            day.append({i % 5 == 0 ? longName + " " + longName + " (grupa 3 osób)" : name, "12",
                        "2026-07-20"});
        }
        TRapAktualneKwaterunki currentReport(current, "Wszystkie Osoby", "Razem osób: 60");
        TRapMeldunki dayReport(day, kDay);
        const Document doc =
            generateDocument(groups ? static_cast<Report&>(dayReport) : currentReport);
        QVERIFY(doc.pageCount() >= 2);
        int rows = 0;
        for (const Page& page : doc.pages)
            rows += static_cast<int>(bandOccurrences(page, "Szczegoly").size());
        QCOMPARE(rows, 60);
        const QStringList faults = rulesNotUnderRows(doc, "Szczegoly");
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    // Names, groups and rooms as long as the database holds them print whole:
    // they wrap, the row grows with its rule under it, and the cells of a row
    // stay level.
    void longTextsPrintWhole_data()
    {
        QTest::addColumn<int>("list");
        QTest::addColumn<bool>("oneWord");
        const QList<QPair<const char*, int>> lists = {
            {"current guests", 0}, {"groups of a day", 1}, {"reservations", 2}};
        for (const auto& [name, list] : lists) {
            QTest::addRow("%s, words", name) << list << false;
            QTest::addRow("%s, one word", name) << list << true;
        }
    }
    void longTextsPrintWhole()
    {
        QFETCH(int, list);
        QFETCH(bool, oneWord);
        TestEnv env;
        // Column widths of Arch_os, Kwat_hot and Ksiazka.
        const QString surname = wideText(30, oneWord), first = wideText(20, oneWord);
        const QString group = wideText(40, oneWord), room = wideText(9, true);
        ReportRows current({"Nazwisko", "Imie", "Nazwa", "Nr_pokoju", "Od", "Do"}, {});
        ReportRows day({"Dane", "Nr_pokoju", "Data"}, {});
        ReportRows lines(roomColumns(), {});
        for (int i = 0; i < 50; ++i) {
            current.append({surname, first, group, room, "2026-07-01", "2026-07-20"});
            day.append(
                {i % 2 ? surname + " " + first : group + " (grupa 12 osób)", room, "2026-07-20"});
            lines.append({i / 3, group, 12, room, "2026-07-15", "2026-07-20", 1});
        }
        TRapAktualneKwaterunki currentReport(current, "Wszystkie Osoby", "Razem osób: 50");
        TRapMeldunki dayReport(day, kDay);
        TRapRezerwacje roomReport(lines, 3, kDay);
        Report* reports[] = {&currentReport, &dayReport, &roomReport};
        const Document doc = generateDocument(*reports[list]);
        keepPdf(doc, QString("long-%1").arg(QTest::currentDataTag()));
        QVERIFY(doc.pageCount() >= 2);
        QStringList faults = textsNotFitting(doc) + overlappingTexts(doc);
        if (list == 2)
            faults += cellsNotLevel(doc, "NaglowekGrupy1");
        else
            faults += rulesNotUnderRows(doc, "Szczegoly") + cellsNotLevel(doc, "Szczegoly");
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }
};
REZYDO_TEST(TestGuestListLayouts);

namespace {
QStringList monthRows(const Document& doc)
{
    QStringList out;
    const QStringList texts = doc.pages[0].texts("BandaMiesiac");
    for (int i = 0; i + 10 <= texts.size(); i += 10)
        out << texts.mid(i, 10).join(' ');
    return out;
}

// A band's texts over every page.
QStringList allTexts(const Document& doc, const QString& band)
{
    QStringList out;
    for (const Page& page : doc.pages)
        out << page.texts(band);
    return out;
}

void addGuest(TestEnv& env, const QString& room, const QString& od, const QString& doDay,
              int country)
{
    env.exec("insert into Arch_os(Nazwisko,Imie,ID_Panstwo) values ('Nowak','Jan',?)", {country});
    env.exec("insert into Ksiazka(Identyfikator_g,Identyfikator_o,Nr_pokoju,Od,\"Do\",Pelne_dane,"
             "ID_Panstwo) values (1,(select max(Identyfikator_o) from Arch_os),?,?,?,1,?)",
             {room, od, doDay, country});
}
} // namespace

class TestSeasonReport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void monthAndCountryRows()
    {
        TestEnv env;
        env.exec("insert into Pokoje(Nr_Pokoju,Miejsc) values ('12',2),('14',3)");
        const int foreign = env.scalar("select min(ID) from Panstwo where ID>1").toInt();
        addGuest(env, "12", "2026-07-30", "2026-08-05", 1);
        addGuest(env, "14", "2026-08-01", "2026-08-04", foreign);
        addGuest(env, "14", "2026-08-01", "2026-08-04", foreign);
        TRapGus report(env.db(), 2026);
        report.openCountries();
        const Document doc = generateDocument(report);
        QCOMPARE(doc.title, QString("Raport dla GUS'u"));
        QCOMPARE(monthRows(doc),
                 QStringList({"Lipiec 31 5 2 1 0 6 0 6 0", "Sierpień 31 5 2 2 2 6 6 3 3",
                              "Wrzesień 30 5 2 0 0 0 0 0 0"}));
        const QStringList countries = allTexts(doc, "BandaPanstwa");
        QCOMPARE(countries.size(), 10 * report.countries().rowCount());
        QCOMPARE(countries.mid(0, 10).join(' '),
                 env.scalar("select Nazwa from Panstwo where ID=?", {foreign}).toString() +
                     " 0 0 0 2 6 3 0 0 0");
        QCOMPARE(countries.mid(10, 10).mid(1).join(' '), QString("0 0 0 0 0 0 0 0 0"));
        const QStringList headings = doc.pages[0].texts("BandaNaglowekPanstw");
        QCOMPARE(headings.mid(0, 5), QStringList({"Kraj zamieszk. turysty zagran", "Lipiec",
                                                  "turyści korzyst. z nocleg.", "udzielone noclegi",
                                                  "wynajęte pokoje"}));
        QCOMPARE(headings[8], QString("wynajęte ppokoje"));
        // Generating again (printing from the preview) starts from July.
        QCOMPARE(monthRows(generateDocument(report)), monthRows(doc));
    }

    void onlyTheHomeCountryAndNoRooms()
    {
        TestEnv env;
        env.exec("delete from Panstwo where ID>1");
        TRapGus report(env.db(), 2026);
        report.openCountries();
        const Document doc = generateDocument(report);
        QCOMPARE(monthRows(doc)[0], QString("Lipiec 31  0 0 0 0 0 0 0"));
        QCOMPARE(doc.pages[0].texts("BandaPanstwa"), QStringList());
        QCOMPARE(doc.pages[0].texts("BandaNaglowekPanstw").size(), 13);
        compareGolden("season_home_country_only.txt", dumpDocument(doc));
    }

    // A row whose figures fail prints its last texts; the report goes on.
    void failingRowsAreAbsorbed()
    {
        TestEnv env;
        TRapGus report(env.db(), 2026);
        report.openCountries();
        // The server drops the views built on the table with it.
        QVERIFY(QSqlQuery(env.db()).exec(TestEnv::onServer() ? "drop table Ksiazka cascade"
                                                             : "drop table Ksiazka"));
        const Document doc = generateDocument(report);
        QCOMPARE(monthRows(doc), QStringList(3, QString(9, ' ')));
        const QStringList countries = allTexts(doc, "BandaPanstwa");
        QCOMPARE(countries.size(), 10 * report.countries().rowCount());
        QVERIFY(countries.join(QString()).isEmpty());
    }
};
REZYDO_TEST(TestSeasonReport);
#include "test_guest_list_layouts.moc"
