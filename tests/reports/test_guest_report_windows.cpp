#include "app/commands.h"
#include "app/main_window.h"
#include "db/row_set.h"
#include "reports/engine/document.h"
#include "reports/engine/ui/preview_provider.h"
#include "reports/engine/ui/preview_window.h"
#include "reports/engine/ui/printing.h"
#include "reports/ui/current_guests_window.h"
#include "reports/ui/groups_of_day_window.h"
#include "reports/ui/room_list_window.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

namespace {
const QString kToday = QStringLiteral("2026-07-15");

// The main window with its commands, previews captured and closed once
// finished, print mode writing PDF files into the test's folder.
struct MenuFixture {
    TestEnv env;
    std::unique_ptr<TGlowne> main;
    QList<Document> previewed;
    QStringList captions;
    QStringList printed;
    std::function<void(TFormPodglad&)> onShown; // replaces the default capture

    MenuFixture()
    {
        main = std::make_unique<TGlowne>();
        wireCommands(*main);
        setPrinterFactory([this] {
            auto printer = std::make_unique<QPrinter>();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printed << env.path(QStringLiteral("wydruk%1.pdf").arg(printed.size() + 1));
            printer->setOutputFileName(printed.last());
            return printer;
        });
        TMDIPodglad::setShownHook([this](TFormPodglad& w) {
            if (onShown)
                return onShown(w);
            QObject::connect(&w, &TFormPodglad::finished, &w, [this, &w] {
                previewed << w.document();
                captions << w.windowTitle();
                w.close();
            });
        });
    }
    ~MenuFixture()
    {
        TMDIPodglad::setShownHook({});
        setPrinterFactory({});
    }
    void run(const char* command)
    {
        QAction* action = main->findChild<QAction*>(QString::fromLatin1(command));
        QVERIFY(action && action->isEnabled());
        action->trigger();
    }
};

void click(QWidget& w, const char* button)
{
    QTest::mouseClick(w.findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
}

void type(QWidget& w, const char* field, const QString& text, bool enter = true)
{
    auto* edit = w.findChild<QLineEdit*>(QString::fromLatin1(field));
    edit->clear();
    QTest::keyClicks(edit, text);
    if (enter)
        QTest::keyClick(edit, Qt::Key_Return);
}

int gridRows(QWidget& w)
{
    return w.findChild<QTableView*>("Lista")->model()->rowCount();
}

QString pdfText(const QString& file)
{
    QProcess p;
    p.start("pdftotext", {file, "-"});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int addGroup(TestEnv& env, const char* table, const QString& name, int persons, const QString& od,
             const QString& doDay)
{
    env.exec(QString("insert into %1(Nazwa,Osob,Od,\"Do\") values (?,?,?,?)").arg(table),
             {name, persons, od, doDay});
    return env.scalar(QString("select max(Identyfikator) from %1").arg(table)).toInt();
}

void addLine(TestEnv& env, const char* table, int group, const QString& room, const QString& od,
             const QString& doDay, int beds = 1)
{
    env.exec(QString("insert into %1(Identyfikator,Nr_pokoju,Od,\"Do\",Miejsc) values (?,?,?,?,?)")
                 .arg(table),
             {group, room, od, doDay, beds});
}

void addGuest(TestEnv& env, int group, const QString& surname, const QString& room,
              const QString& od, const QString& doDay, bool complete = true)
{
    env.exec("insert into Arch_os(Nazwisko,Imie) values (?,'Jan')", {surname});
    env.exec("insert into Ksiazka(Identyfikator_g,Identyfikator_o,Nr_pokoju,Od,\"Do\",Pelne_dane) "
             "values (?,(select max(Identyfikator_o) from Arch_os),?,?,?,?)",
             {group, room, od, doDay, complete ? 1 : 0});
}
} // namespace

class TestGuestReportWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // An empty search result sends the window back with its fields; the
    // printout then holds exactly the rows shown, with their count.
    void currentGuestsThroughTheMenu()
    {
        MenuFixture f;
        const int g = addGroup(f.env, "Kwat_hot", "Wczasy", 2, "2026-07-10", "2026-07-20");
        addLine(f.env, "Kwat_msc", g, "12", "2026-07-10", "2026-07-20", 2);
        addLine(f.env, "Kwat_msc", g, "14", "2026-07-10", "2026-07-20", 2);
        addGuest(f.env, g, "Kowalski", "12", "2026-07-10", "2026-07-20", true);
        addGuest(f.env, g, "Nowak", "14", "2026-07-10", "2026-07-20", false);
        const int bare = addGroup(f.env, "Kwat_hot", "Bez pokoi", 1, kToday, "2026-07-16");
        addGuest(f.env, bare, "Zieliński", "", kToday, "2026-07-16");

        QDialog* first = nullptr;
        f.env.modal.push_back([&](QDialog& d) {
            first = &d;
            auto* count = d.findChild<QLabel*>("RazemOsob");
            [&] {
                QCOMPARE(d.windowTitle(), QString("Spis aktualnie zakwaterowanych"));
                QCOMPARE(count->text(), QString("Razem osób: 2"));
                QVERIFY(count->font().bold());
                type(d, "SzukajNazwisko", "Zz");
                QCOMPARE(count->text(), QString("Razem osób: 0"));
            }();
            click(d, "Podglad");
            return d.result();
        });
        f.env.modal.push_back([&](QDialog& d) {
            auto* count = d.findChild<QLabel*>("RazemOsob");
            auto* kind = d.findChild<QComboBox*>("Rodzaj");
            [&] {
                QCOMPARE(&d, first);
                QCOMPARE(d.findChild<QLineEdit*>("SzukajNazwisko")->text(), QString("Zz"));
                type(d, "SzukajNazwisko", "kow", false);
                click(d, "Szukaj");
                QCOMPARE(count->text(), QString("Razem osób: 1"));
                kind->setCurrentIndex(2); // incomplete data: the search still holds
                QCOMPARE(count->text(), QString("Razem osób: 0"));
                kind->setCurrentIndex(0);
                QCOMPARE(gridRows(d), 1);
            }();
            click(d, "Podglad");
            return d.result();
        });
        f.run("mnuSpisZakwaterowanych");
        QCOMPARE(f.env.prompter().log(),
                 QStringList("Spis aktualnie zakwaterowanych - błąd!|Nie ma żadnej osoby "
                             "zakwaterowanej"));
        QCOMPARE(f.env.prompter().shown[0].icon, Prompter::Icon::Warning);
        QCOMPARE(f.previewed.size(), 1);
        QCOMPARE(f.captions, QStringList("Podgląd wydruku : "));
        const Page& page = f.previewed[0].pages[0];
        QCOMPARE(page.texts("NaglowekStrony"),
                 QStringList("Spis aktualnie zakwaterowanych (Wszystkie Osoby)"));
        QCOMPARE(page.texts("Szczegoly").mid(0, 3), QStringList({"Kowalski", "Jan", "Wczasy"}));
        QCOMPARE(page.texts("Szczegoly").size(), 6);
        QCOMPARE(page.texts("Podsumowanie"), QStringList("Razem osób: 1"));
    }

    void searchFields_data()
    {
        QTest::addColumn<int>("kind"); // 0: current guests, 1..3: room lists
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rows"); // -1: refused, the previous filter stays
        QTest::newRow("guests: arrival day") << 0 << "SzukajOd"
                                             << "2026-07-10" << 1;
        QTest::newRow("guests: not a day") << 0 << "SzukajOd"
                                           << "abc" << -1;
        QTest::newRow("guests: a quote in a name") << 0 << "SzukajNazwisko"
                                                   << "O'B" << 1;
        QTest::newRow("guests: room begins with") << 0 << "SzukajPokoj"
                                                  << "1" << 1;
        QTest::newRow("reservations: OD= a day") << 3 << "SzukajOd" << kToday << 2;
        QTest::newRow("reservations: OD= no day") << 3 << "SzukajOd"
                                                  << "jutro" << -1;
        QTest::newRow("reservations: beds") << 3 << "SzukajMiejsc"
                                            << "2" << 1;
        QTest::newRow("reservations: beds not a number") << 3 << "SzukajMiejsc"
                                                         << "dwa" << -1;
        QTest::newRow("arrivals: room") << 1 << "SzukajPokoj"
                                        << "2" << 1;
    }
    void searchFields()
    {
        QFETCH(int, kind);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(int, rows);
        TestEnv env;
        const int k = addGroup(env, "Kwat_hot", "Alfa", 2, "2026-07-10", "2026-07-20");
        addLine(env, "Kwat_msc", k, "12", "2026-07-10", "2026-07-20");
        addGuest(env, k, "O'Brien", "12", "2026-07-10", "2026-07-20");
        addGuest(env, k, "Nowak", "21", "2026-07-11", "2026-07-20");
        const int r = addGroup(env, "Rez_hot", "Alfa", 3, kToday, "2026-07-20");
        addLine(env, "Rez_msc", r, "2", kToday, "2026-07-20", 2);
        addLine(env, "Rez_msc", r, "3", kToday, "2026-07-20", 1);
        const int other = addGroup(env, "Rez_hot", "Beta", 1, "2026-08-01", "2026-08-02");
        addLine(env, "Rez_msc", other, "4", "2026-08-01", "2026-08-02", 2);
        std::unique_ptr<QDialog> w;
        if (kind == 0)
            w = std::make_unique<TFormRapAktualneKwaterunki>();
        else
            w = std::make_unique<TFormRapOsoby>(kind);
        const int all = gridRows(*w);
        // A search in force first, which a refused one leaves in place.
        type(*w, kind == 0 ? "SzukajImie" : "SzukajNazwa", kind == 0 ? "ja" : "alf");
        const int before = gridRows(*w);
        QVERIFY(before > 0);
        type(*w, qPrintable(field), text);
        if (rows < 0) {
            QCOMPARE(env.prompter().log(), QStringList("Błąd Wyszukiwania !!!|Podano nieprawidłowe "
                                                       "parametry do wyszukiwania"));
            QCOMPARE(env.prompter().shown[0].icon, Prompter::Icon::Warning);
            QCOMPARE(gridRows(*w), before);
        } else {
            QCOMPARE(env.prompter().shown.size(), 0);
            QCOMPARE(gridRows(*w), rows);
        }
        click(*w, "CzyscSzukanie");
        QCOMPARE(gridRows(*w), all);
        QCOMPARE(w->findChild<QLineEdit*>(field)->text(), QString());
        if (kind == 0)
            QCOMPARE(w->findChild<QLabel*>("RazemOsob")->text(),
                     QString("Razem osób: %1").arg(all));
    }

    void roomListsWithoutRows_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("log");
        QTest::newRow("arrivals") << "mnuPrzyjezdzajacy"
                                  << "Osoby przyjeżdżające danego dnia - błąd!|W wybranym dniu "
                                     "nikt nie przyjeżdża";
        QTest::newRow("departures") << "mnuWyjezdzajacy"
                                    << "Osoby wyjeżdżające danego dnia - błąd!|W wybranym dniu "
                                       "nikt nie wyjeżdża";
        QTest::newRow("reservations") << "mnuListaRezerwacji"
                                      << "Spis Rezerwacji - błąd!|Nie ma żadnych rezerwacji";
        QTest::newRow("groups of a day") << "mnuGrupyWDniu"
                                         << "Grupy zakwaterowane w danym dniu - błąd!|W wybranym "
                                            "dniu nie zakwaterowano żadnej grupy";
    }
    void roomListsWithoutRows()
    {
        QFETCH(QString, command);
        QFETCH(QString, log);
        MenuFixture f;
        QList<QDialog*> seen;
        f.env.modal.push_back([&](QDialog& d) {
            seen << &d;
            click(d, "Drukuj");
            return d.result();
        });
        f.env.modal.push_back([&](QDialog& d) {
            seen << &d;
            click(d, "Zamknij");
            return d.result();
        });
        f.run(qPrintable(command));
        QCOMPARE(f.env.prompter().log(), QStringList(log));
        QCOMPARE(f.env.prompter().shown[0].icon, Prompter::Icon::Error);
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[0], seen[1]);
        QCOMPARE(f.printed.size(), 0);
    }

    // Arrivals come from reservation lines beginning on the day, departures
    // from accommodation lines ending on it; both list today at once.
    void arrivalsDeparturesAndReservations_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("today");
        QTest::addColumn<QString>("tomorrow");
        QTest::newRow("arrivals") << 1 << "Osoby przyjeżdżające danego dnia"
                                  << "Alfa 1"
                                  << "Alfa 2";
        QTest::newRow("departures") << 2 << "Osoby wyjeżdżające danego dnia"
                                    << "Beta 3"
                                    << "Gamma 5";
        QTest::newRow("reservations") << 3 << "Spis rezerwacji"
                                      << "Alfa 1|Alfa 2|Delta 4"
                                      << "Alfa 1|Alfa 2|Delta 4";
    }
    void arrivalsDeparturesAndReservations()
    {
        QFETCH(int, kind);
        QFETCH(QString, caption);
        QFETCH(QString, today);
        QFETCH(QString, tomorrow);
        TestEnv env;
        const int alfa = addGroup(env, "Rez_hot", "Alfa", 4, kToday, "2026-07-20");
        addLine(env, "Rez_msc", alfa, "1", kToday, "2026-07-20");
        addLine(env, "Rez_msc", alfa, "2", "2026-07-16", "2026-07-20");
        const int delta = addGroup(env, "Rez_hot", "Delta", 1, "2026-07-10", kToday);
        addLine(env, "Rez_msc", delta, "4", "2026-07-10", kToday);
        const int beta = addGroup(env, "Kwat_hot", "Beta", 2, "2026-07-10", kToday);
        addLine(env, "Kwat_msc", beta, "3", "2026-07-10", kToday);
        const int gamma = addGroup(env, "Kwat_hot", "Gamma", 2, kToday, "2026-07-16");
        addLine(env, "Kwat_msc", gamma, "5", kToday, "2026-07-16");
        TFormRapOsoby w(kind);
        auto lines = [&w] {
            QStringList out;
            for (int i = 0; i < w.rows().rowCount(); ++i)
                out << w.rows().value(i, "Nazwa").toString() + ' ' +
                           w.rows().value(i, "Nr_pokoju").toString();
            out.sort();
            return out.join('|');
        };
        QCOMPARE(w.windowTitle(), caption);
        auto* day = w.findChild<QDateEdit*>("Data");
        QCOMPARE(day->isHidden(), kind == 3);
        QCOMPARE(day->isEnabled(), kind != 3);
        QCOMPARE(lines(), today);
        if (kind != 3)
            day->setDate(QDate(2026, 7, 16));
        QCOMPARE(lines(), tomorrow);
    }

    void arrivalsPreviewAndPrint()
    {
        MenuFixture f;
        const int alfa = addGroup(f.env, "Rez_hot", "Alfa", 4, kToday, "2026-07-20");
        addLine(f.env, "Rez_msc", alfa, "1", kToday, "2026-07-20");
        addLine(f.env, "Rez_msc", alfa, "2", "2026-07-16", "2026-07-20");
        for (const char* button : {"Podglad", "Drukuj"}) {
            f.env.modal.push_back([button](QDialog& d) {
                click(d, button);
                return d.result();
            });
            f.run("mnuPrzyjezdzajacy");
        }
        QCOMPARE(f.env.prompter().shown.size(), 0);
        QCOMPARE(f.previewed.size(), 1);
        const Page& page = f.previewed[0].pages[0];
        QCOMPARE(page.texts("NaglowekGrupy1"), QStringList({"Alfa", "4"}));
        QCOMPARE(page.texts("Szczegoly"), QStringList({"1", "2026-07-20"}));
        QCOMPARE(f.printed.size(), 1);
        const QString pdf = pdfText(f.printed[0]);
        QVERIFY2(pdf.contains("Osoby przyjeżdżające 2026-07-15 (środa)"), qPrintable(pdf));
    }

    void groupsOfDayRows()
    {
        TestEnv env;
        const int a = addGroup(env, "Kwat_hot", "Alfa", 3, kToday, "2026-07-20");
        for (const char* name : {"Adamski", "Bednarz", "Cieślak"})
            addGuest(env, a, name, "7", kToday, "2026-07-20");
        addGroup(env, "Kwat_hot", "Beta", 2, kToday, "2026-07-22");
        const int c = addGroup(env, "Kwat_hot", "Gamma", 2, "2026-07-10", "2026-07-25");
        addGuest(env, c, "Dudek", "9", kToday, "2026-07-18");
        addGuest(env, c, "Ejsmont", "9", "2026-07-10", "2026-07-25");
        TFormRapMeldunki w;
        QStringList rows;
        for (int i = 0; i < w.rows().rowCount(); ++i)
            rows << w.rows().text(i, w.rows().columnIndex("Dane")) + '|' +
                        w.rows().value(i, "Nr_pokoju").toString() + '|' +
                        w.rows().text(i, w.rows().columnIndex("Data"));
        rows.sort();
        QCOMPARE(rows, QStringList({"Adamski Jan|7|2026-07-20", "Bednarz Jan|7|2026-07-20",
                                    "Beta (grupa 2 osób)||2026-07-22", "Cieślak Jan|7|2026-07-20",
                                    "Dudek Jan|9|2026-07-18"}));
        QCOMPARE(gridRows(w), 5);
    }

    // A day without arrivals sends the window back with that day; the next
    // choice prints.
    void groupsOfDayThroughTheMenu()
    {
        MenuFixture f;
        const int a = addGroup(f.env, "Kwat_hot", "Alfa", 1, kToday, "2026-07-20");
        addGuest(f.env, a, "Adamski", "7", kToday, "2026-07-20");
        f.env.modal.push_back([](QDialog& d) {
            d.findChild<QDateEdit*>("Data")->setDate(QDate(2026, 7, 1));
            click(d, "Podglad");
            return d.result();
        });
        f.env.modal.push_back([](QDialog& d) {
            auto* day = d.findChild<QDateEdit*>("Data");
            const bool kept = day->date() == QDate(2026, 7, 1);
            day->setDate(QDate(2026, 7, 15));
            click(d, kept ? "Drukuj" : "Zamknij");
            return d.result();
        });
        f.run("mnuGrupyWDniu");
        QCOMPARE(f.env.prompter().shown.size(), 1);
        QCOMPARE(f.env.prompter().shown[0].icon, Prompter::Icon::Error);
        QCOMPARE(f.printed.size(), 1);
        const QString pdf = pdfText(f.printed[0]);
        QVERIFY2(pdf.contains("Lista grup zakwaterowanych") && pdf.contains("Adamski Jan"),
                 qPrintable(pdf));
    }

    void currentGuestsPrints()
    {
        MenuFixture f;
        const int g = addGroup(f.env, "Kwat_hot", "Wczasy", 1, "2026-07-10", "2026-07-20");
        addLine(f.env, "Kwat_msc", g, "12", "2026-07-10", "2026-07-20");
        addGuest(f.env, g, "Kowalski", "12", "2026-07-10", "2026-07-20");
        f.env.modal.push_back([](QDialog& d) {
            click(d, "Drukuj");
            return d.result();
        });
        f.run("mnuSpisZakwaterowanych");
        QCOMPARE(f.printed.size(), 1);
        const QString pdf = pdfText(f.printed[0]);
        QVERIFY2(pdf.contains("Kowalski") && pdf.contains("Razem osób: 1"), qPrintable(pdf));
    }

    void seasonReportPreview()
    {
        MenuFixture f;
        f.env.exec("insert into Pokoje(Nr_Pokoju,Miejsc) values ('12',2)");
        f.run("mnuRaportGus");
        QCOMPARE(f.env.prompter().shown.size(), 0);
        QCOMPARE(f.captions, QStringList("Raport dla GUS'u"));
        const QString file = f.env.path("gus.pdf");
        QVERIFY(writePdf(f.previewed[0], file));
        const QString pdf = pdfText(file);
        QVERIFY2(pdf.contains("Lipiec") && pdf.contains("Kraj zamieszk."), qPrintable(pdf));
    }

    void seasonReportFailures_data()
    {
        QTest::addColumn<bool>("closeAtOnce");
        QTest::newRow("preview closed while pages are coming") << true;
        QTest::newRow("country query fails") << false;
    }
    void seasonReportFailures()
    {
        QFETCH(bool, closeAtOnce);
        MenuFixture f;
        if (closeAtOnce)
            f.onShown = [](TFormPodglad& w) {
                QObject::connect(&w, &TFormPodglad::pageAdded, &w, [&w] { w.close(); });
            };
        else
            QVERIFY(QSqlQuery(f.env.db()).exec("ALTER TABLE Panstwo RENAME TO Panstwo_dawne"));
        f.run("mnuRaportGus");
        QCOMPARE(f.env.prompter().log(),
                 QStringList("Raport dla GUS - błąd!|Wykonano niedozwoloną operację! "
                             "Niedopuszczalne jest przerywanie generacji raportu."));
        QCOMPARE(f.env.prompter().shown[0].icon, Prompter::Icon::Error);
    }
};
REZYDO_TEST(TestGuestReportWindows);
#include "test_guest_report_windows.moc"
