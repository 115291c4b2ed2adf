#include "app/commands.h"
#include "app/main_window.h"
#include "billing/ui/billing_window.h"
#include "core/settings.h"
#include "db/data_module.h"
#include "reports/engine/report_output.h"
#include "reports/engine/ui/preview_provider.h"
#include "reports/engine/ui/preview_window.h"
#include "reports/engine/ui/printing.h"
#include "stays/ui/stay_editor_window.h"
#include "stays/ui/stay_list_window.h"
#include "tests/road/road_fixture.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>

#include <memory>
#include <utility>

using namespace road;

namespace {
QDateTime at(int month, int day, int hour)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, 0));
}

const QString kHotel = QStringLiteral("Pensjonat Pod Lipami");
const QString kHotelAddress = QStringLiteral("ul. Leśna 4, 34-500 Zakopane");
} // namespace

// One day at the front desk after another, in one database, through the
// program's own windows: the owner's setup, a walk-in guest who leaves again,
// then a group of four from its reservation to the invoice and its check-out,
// the archive, the register and the lists that count it afterwards, and the
// backup taken at exit. Every step builds on the ones before it, so the
// functions run in the order they are declared; a step whose predecessor
// failed says so and stops.
class TestRoad : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<TGlowne> m_main;
    QList<Document> m_previews;
    QStringList m_printed;  // PDF files of print mode
    int m_formerGroup = 0;  // the walk-in guest's accommodation group
    int m_formerPerson = 0; // her person record
    int m_reservation = 0;
    int m_group = 0; // the group of four once checked in
    QString m_archive;

    TestEnv& env() { return *m_env; }
    ScriptedPrompter& prompter() { return m_env->prompter(); }
    QStringList rows(const QString& sql, const QVariantList& values = {})
    {
        return m_env->rows(sql, values);
    }

    void startProgram()
    {
        m_main = std::make_unique<TGlowne>();
        wireCommands(*m_main);
        m_main->show();
    }

    void run(const char* command)
    {
        QAction* action = m_main->command(QString::fromLatin1(command));
        QVERIFY2(action && action->isEnabled(), command);
        action->trigger();
    }

    // The child window of the frame that the last command opened.
    template <class T> T* newestChild()
    {
        const QList<QMdiSubWindow*> subs = m_main->childArea()->subWindowList();
        for (auto it = subs.rbegin(); it != subs.rend(); ++it)
            if (auto* w = qobject_cast<T*>((*it)->widget()))
                return w;
        return nullptr;
    }

    // Opens a stay list by its menu entry and makes the group current.
    TLista* openList(const char* command, int groupId)
    {
        run(command);
        auto* list = newestChild<TLista>();
        if (!list)
            return nullptr;
        if (!selectRow(control<QTableView>(list, "Grupy"), 0, QString::number(groupId)))
            return nullptr;
        return list;
    }

private Q_SLOTS:
    void initTestCase()
    {
        TestEnv::Options options;
        options.now = at(7, 1, 9);
        m_env = std::make_unique<TestEnv>(options);
        // The installation names the database folder and the archive folder.
        writeSetting(QStringLiteral("KatalogBazy"), env().path("Baza"));
        m_archive = env().path("archiwum");
        QVERIFY(QDir().mkpath(m_archive));
        writeSetting(QStringLiteral("KatalogArchiwum"), m_archive);

        // The printer is a PDF file in the temporary folder.
        setPrinterFactory([this] {
            auto printer = std::make_unique<QPrinter>();
            printer->setOutputFormat(QPrinter::PdfFormat);
            m_printed << env().path(QStringLiteral("wydruk%1.pdf").arg(m_printed.size() + 1));
            printer->setOutputFileName(m_printed.last());
            return printer;
        });
        TMDIPodglad::setShownHook([this](TFormPodglad& preview) {
            QObject::connect(&preview, &TFormPodglad::finished, &preview, [this, &preview] {
                m_previews << preview.document();
                preview.close();
            });
        });
        startProgram();
    }

    void cleanupTestCase()
    {
        m_main.reset();
        TMDIPodglad::setShownHook({});
        setPrinterFactory({});
        TOplaty::setInvoicePrinter({});
        installReportPresenter(nullptr);
        m_env.reset();
    }

    void init()
    {
        prompter().shown.clear();
        m_previews.clear();
    }

    // Every question of a step was foreseen and every dialog answered; what a
    // failed step left queued is dropped so that it cannot answer the next one.
    void cleanup()
    {
        const int unanswered = std::exchange(prompter().unanswered, 0);
        const int unexpected = std::exchange(env().unexpectedModals, 0);
        const bool answersLeft = !prompter().answers.empty();
        const bool windowsLeft = !env().modal.empty();
        prompter().answers.clear();
        prompter().inputs.clear();
        prompter().files.clear();
        env().modal.clear();
        QCOMPARE(unanswered, 0);
        QCOMPARE(unexpected, 0);
        QVERIFY2(!answersLeft, "a foreseen question was not asked");
        QVERIFY2(!windowsLeft, "a foreseen window was not shown");
    }

    // Before the season the owner enters the price list, the rooms and the
    // hotel's own data.
    void setupByTheOwner()
    {
        // "Cennik": a price per bed and per room for the types A and B.
        run("mnuCennik");
        QWidget* prices = m_main->childArea()->subWindowList().last()->widget();
        QCOMPARE(prices->objectName(), QString("TCennik"));
        for (const QStringList& row :
             {QStringList{"A", "50", "120"}, QStringList{"B", "40", "150"}}) {
            click(prices, "Dodaj");
            type(prices, "Typ", row[0]);
            type(prices, "CenaZaMiejsce", row[1]);
            type(prices, "CenaZaPokoj", row[2]);
            click(prices, "Ok");
        }
        click(prices, "Zamknij");
        QCOMPARE(
            rows("SELECT * FROM Cennik ORDER BY Typ"),
            QStringList({"A|500000|500000|1200000|1200000", "B|400000|400000|1500000|1500000"}));

        // "Ustawienie pokoi": three rooms, each with its type from the price list.
        run("mnuUstawieniePokoi");
        QWidget* rooms = m_main->childArea()->subWindowList().last()->widget();
        QCOMPARE(rooms->objectName(), QString("TPokoje"));
        for (const QStringList& row :
             {QStringList{"1", "2", "A", "dwuosobowy"}, QStringList{"2", "3", "B", "trzyosobowy"},
              QStringList{"3", "2", "A", "dwuosobowy"}}) {
            click(rooms, "Dodaj");
            type(rooms, "NumerPokoju", row[0]);
            type(rooms, "IloscMiejsc", row[1]);
            auto* kind = control<QComboBox>(rooms, "Typ");
            kind->setFocus();
            for (int i = 0; i < 3 && kind->currentText() != row[2]; ++i)
                QTest::keyClick(kind, Qt::Key_Down);
            type(rooms, "Opis", row[3]);
            click(rooms, "Ok");
        }
        click(rooms, "Zamknij");
        QCOMPARE(rows("SELECT * FROM Pokoje ORDER BY Nr_Pokoju"),
                 QStringList({"1|2|A|dwuosobowy", "2|3|B|trzyosobowy", "3|2|A|dwuosobowy"}));

        // "Konfiguracja": the hotel's name, address and invoice data.
        run("mnuKonfiguracja");
        QWidget* hotel = m_main->findChild<QWidget*>("TKonfiguracja");
        QVERIFY(hotel);
        type(hotel, "Nazwa", kHotel);
        type(hotel, "Adres", kHotelAddress);
        type(hotel, "NIP", "736-100-20-30");
        type(hotel, "SymbolPKWiU", "55.10.10");
        type(hotel, "Miejscowosc", "Zakopane");
        click(hotel, "Ok");
        QCOMPARE(rows("SELECT Nazwa, Adres, NIP, SWW, Miejscowosc FROM Config"),
                 QStringList({kHotel + "|" + kHotelAddress + "|736-100-20-30|55.10.10|Zakopane"}));
        QVERIFY2(prompter().shown.isEmpty(), qPrintable(prompter().log().join('\n')));
    }

    // 1 July: a guest arrives without a reservation, is registered at once and
    // leaves two nights later; she will come back as a returning guest.
    void formerGuestWalksInAndLeaves()
    {
        // The receptionist opens "Kwaterowanie bez rezerwacji" and books room 3.
        run("mnuKwaterowanieBezRezerwacji");
        QPointer<TRezerwacja> editor = newestChild<TRezerwacja>();
        QVERIFY(editor);
        QCOMPARE(editor->windowTitle(), QString("Nowy kwaterunek"));
        type(editor, "Rezerwujacy", "Nowak");
        type(editor, "Il_os", "1");
        control<QDateEdit>(editor, "Data_kon")->setDate(QDate(2026, 7, 3));
        selectRooms(control<QTableWidget>(editor, "WolnePokoje"), {"3"});
        click(editor, "Dodaj");
        QCOMPARE(tableRows(control<QTableWidget>(editor, "RezPozycje")),
                 QStringList({"3|2|A|2||2026-07-01|2026-07-03"}));

        // "Kwateruj": yes to the register, no to billing; she is written in.
        prompter().answers = {true, false};
        env().modal.push_back(showing(
            "TFormKsiazka",
            [](QDialog& d) {
                QCOMPARE(d.windowTitle(), QString("Ksiażka meldunkowa"));
                type(&d, "Nazwisko", "Nowak");
                type(&d, "Imie", "Anna");
                control<QDateEdit>(&d, "DataUrodzenia")->setDate(QDate(1980, 5, 5));
                type(&d, "MiejsceUrodzenia", "Berlin");
                type(&d, "Adres", "Hauptstraße 1, Berlin");
                choose(&d, "Panstwo", "Niemcy");
                choose(&d, "Rodzaj", "Paszport");
                type(&d, "Numer", "C01X00T47");
            },
            "OK"));
        click(editor, "Zapisz");
        QCOMPARE(prompter().log(),
                 QStringList({"Kwaterowanie|Czy chcesz teraz wpisać osoby z tej grupy do "
                              "książki meldunkowej ?",
                              "Kwaterowanie|Rozliczyć grupę ?"}));
        m_formerGroup = env().scalar("SELECT max(Identyfikator) FROM Kwat_hot").toInt();
        QVERIFY(m_formerGroup > 0);
        m_formerPerson = env().scalar("SELECT Identyfikator_o FROM Ksiazka").toInt();
        QCOMPARE(rows("SELECT Nazwa, Osob, Od, \"Do\" FROM Kwat_hot"),
                 QStringList({"Nowak|1|2026-07-01|2026-07-03"}));
        QCOMPARE(rows("SELECT Nazwisko, Imie, Data_ur, Miejsce_ur, Dokument_rodz, Dokument_nr, "
                      "p.Nazwa, k.Nr_pokoju, k.Pelne_dane, k.ID_Panstwo = a.ID_Panstwo "
                      "FROM Ksiazka k JOIN Arch_os a USING (Identyfikator_o) "
                      "JOIN Panstwo p ON p.ID = a.ID_Panstwo"),
                 QStringList({"Nowak|Anna|1980-05-05|Berlin|2|C01X00T47|Niemcy|3|1|1"}));
        // The registration window took the focus: the editor has gone.
        QTRY_VERIFY(editor.isNull());

        // 3 July: "Wykwaterowanie", the group is not billed but she leaves.
        env().setNow(at(7, 3, 10));
        TLista* list = openList("mnuWykwaterowanie", m_formerGroup);
        QVERIFY2(list, "the walk-in group is not in the check-out list");
        prompter().shown.clear();
        prompter().answers = {true, true};
        click(list, "Wykwateruj");
        QCOMPARE(
            prompter().log(),
            QStringList({"Wykwaterowanie : Krok 1/3|Czy napewno chcesz wykwaterować grupę "
                         "\"Nowak\" ?",
                         "Wykwaterowanie : Krok 2/3|Grupa jest nierozliczona, wykwaterować ?"}));
        QCOMPARE(column(control<QTableView>(list, "Grupy"), 0), QStringList());
        QCOMPARE(env().scalar("SELECT count(*) FROM Kwat_hot").toInt(), 0);
        QCOMPARE(env().scalar("SELECT count(*) FROM Kwat_msc").toInt(), 0);
        QCOMPARE(rows("SELECT Identyfikator_g, Wykwaterowany FROM Ksiazka"),
                 QStringList({QString("%1|1").arg(m_formerGroup)}));
        QCOMPARE(env().scalar("SELECT count(*) FROM Arch_os").toInt(), 1);
        click(list, "Zamknij");
    }

    // 10 July: a family of four books rooms 1 and 2 for 15 to 18 July, room 1
    // whole, two single beds for women in room 2.
    void reservationInTheStayEditor()
    {
        env().setNow(at(7, 10, 9));
        // The receptionist opens "Wprowadzanie rezerwacji".
        run("mnuWprowadzanieRezerwacji");
        QPointer<TRezerwacja> editor = newestChild<TRezerwacja>();
        QVERIFY(editor);
        QCOMPARE(editor->windowTitle(), QString("Nowa rezerwacja"));
        type(editor, "Rezerwujacy", "Kowalscy");
        type(editor, "Il_os", "4");
        QTest::keyClicks(control<QPlainTextEdit>(editor, "notatki"), "przyjazd wieczorem");
        control<QDateEdit>(editor, "Data_pocz")->setDate(QDate(2026, 7, 15));
        control<QDateEdit>(editor, "Data_kon")->setDate(QDate(2026, 7, 18));
        QCOMPARE(control<QDateEdit>(editor, "Data_pocz1")->date(), QDate(2026, 7, 15));
        QCOMPARE(control<QDateEdit>(editor, "Data_kon1")->date(), QDate(2026, 7, 18));
        auto* rooms = control<QTableWidget>(editor, "WolnePokoje");
        QCOMPARE(tableRows(rooms),
                 QStringList({"1|2|A|dwuosobowy", "2|3|B|trzyosobowy", "3|2|A|dwuosobowy"}));

        // Room 1 as a whole room.
        selectRooms(rooms, {"1"});
        click(editor, "Dodaj");
        // Room 2: two single beds, taken by women.
        click(editor, "Pojedyncze");
        type(editor, "IloscMiejsc", "2");
        click(editor, "TypK");
        selectRooms(rooms, {"2"});
        click(editor, "Dodaj");
        QCOMPARE(
            tableRows(control<QTableWidget>(editor, "RezPozycje")),
            QStringList({"1|2|A|2||2026-07-15|2026-07-18", "2|3|B|2|K|2026-07-15|2026-07-18"}));
        QCOMPARE(control<QLabel>(editor, "Podsumowanie")->text(), QString("Miejsc : 4"));
        // The single beds leave one bed of room 2 free.
        control<QTabWidget>(editor, "Dostepnosc")->setCurrentIndex(1);
        QCOMPARE(tableRows(control<QTableWidget>(editor, "WolneMiejsca")),
                 QStringList({"2|3|B|1|"}));

        // "Rezerwuj".
        click(editor, "Zapisz");
        QVERIFY2(prompter().shown.isEmpty(), qPrintable(prompter().log().join('\n')));
        m_reservation = env().scalar("SELECT max(Identyfikator) FROM Rez_hot").toInt();
        QVERIFY(m_reservation > 0);
        QCOMPARE(rows("SELECT Nazwa, Osob, Od, \"Do\", Notatki FROM Rez_hot"),
                 QStringList({"Kowalscy|4|2026-07-15|2026-07-18|przyjazd wieczorem"}));
        QCOMPARE(rows("SELECT Identyfikator, Nr_pokoju, Od, \"Do\", Miejsc, Jaki FROM Rez_msc "
                      "ORDER BY Nr_pokoju"),
                 QStringList({QString("%1|1|2026-07-15|2026-07-18|2|").arg(m_reservation),
                              QString("%1|2|2026-07-15|2026-07-18|2|K").arg(m_reservation)}));
        // The editor is ready for the next reservation; the receptionist closes it.
        QCOMPARE(tableRows(control<QTableWidget>(editor, "RezPozycje")), QStringList());
        prompter().answers = {true};
        click(editor, "Zamknij");
        QCOMPARE(prompter().log(), QStringList({"Zamknięcie okienka|Czy chcesz zamknąc okienko "
                                                "i anulować zmiany ?"}));
        QTRY_VERIFY(editor.isNull());
    }

    // The same day the family gets its confirmation letter.
    void confirmationLetter()
    {
        QVERIFY2(m_reservation > 0, "needs the reservation of the stay editor step");
        // "Potwierdzenie rezerwacji": the family's row, "Podgląd", then "Zamknij".
        QStringList listed;
        env().modal.push_back(showing(
            "TFormRapPotwierdzenie",
            [&](QDialog& d) {
                auto* grid = control<QTableView>(&d, "Lista");
                listed = column(grid, 0) + column(grid, 1) + column(grid, 2) + column(grid, 3);
                QVERIFY(selectRow(grid, 0, "Kowalscy"));
            },
            "Podglad"));
        env().modal.push_back(showing(
            "TFormRapPotwierdzenie", [](QDialog&) {}, "Zamknij"));
        run("mnuPotwierdzenieRezerwacji");
        QCOMPARE(listed, QStringList({"Kowalscy", "4", "2026-07-15", "2026-07-18"}));
        QCOMPARE(m_previews.size(), 1);
        const Document& letter = m_previews.first();
        QCOMPARE(letter.title, QString("Potwierdzenie rezerwacji"));
        QCOMPARE(letter.pageCount(), 1);
        QCOMPARE(printed(letter, "MiejsceData"), QString("Ziradi 2026-07-10"));
        QCOMPARE(printed(letter, "Nazwa"), kHotel);
        QCOMPARE(printed(letter, "Adres"), kHotelAddress);
        QCOMPARE(printed(letter, "Naglowek"), QString("Potwierdzenie rezerwacji"));
        // Room 1 whole: 3 nights at 120,00; room 2, two of three beds: 3 × 2 × 40,00.
        QCOMPARE(printed(letter, "Tresc"),
                 "Potwierdzamy rezerwacje 2 pokoi w terminie od 2026-07-15 do 2026-07-18 w " +
                     kHotel +
                     " dla Kowalscy.\n\nCena za wszystkie zarezerwowane pokoje w terminie od "
                     "2026-07-15 do 2026-07-18 wynosi 600,00 zł.");
        QCOMPARE(printed(letter, "Pozdrowienia"), QString("Z poważaniem"));
        QVERIFY(prompter().shown.isEmpty());
    }

    // 15 July: the family arrives and is checked in from the reservation list.
    void checkInFromTheStayList()
    {
        QVERIFY2(m_reservation > 0, "needs the reservation of the stay editor step");
        env().setNow(at(7, 15, 16));
        const int persons = env().scalar("SELECT count(*) FROM Arch_os").toInt();
        // "Kwaterowanie z listy rezerwacji", the family's row, "Kwateruj";
        // the persons and the bill come later.
        TLista* list = openList("mnuKwaterowanieZListy", m_reservation);
        QVERIFY2(list, "the reservation is not in the check-in list");
        QCOMPARE(control<QLineEdit>(list, "Nazwa")->text(), QString("Kowalscy"));
        prompter().answers = {false, false};
        click(list, "Kwateruj");
        QCOMPARE(prompter().log(),
                 QStringList({"Kwaterowanie|Czy chcesz teraz wpisać osoby z tej grupy do "
                              "książki meldunkowej ?",
                              "Kwaterowanie|Rozliczyć grupę ?"}));
        QCOMPARE(column(control<QTableView>(list, "Grupy"), 0), QStringList());
        QCOMPARE(env().scalar("SELECT count(*) FROM Rez_hot").toInt(), 0);
        QCOMPARE(env().scalar("SELECT count(*) FROM Rez_msc").toInt(), 0);
        m_group = env().scalar("SELECT max(Identyfikator) FROM Kwat_hot").toInt();
        QVERIFY(m_group > m_formerGroup); // numbered on, never reused
        QCOMPARE(rows("SELECT Nazwa, Osob, Od, \"Do\", Notatki FROM Kwat_hot"),
                 QStringList({"Kowalscy|4|2026-07-15|2026-07-18|przyjazd wieczorem"}));
        QCOMPARE(rows("SELECT Nr_pokoju, Od, \"Do\", Miejsc, Jaki FROM Kwat_msc "
                      "WHERE Identyfikator = ? ORDER BY Nr_pokoju",
                      {m_group}),
                 QStringList({"1|2026-07-15|2026-07-18|2|", "2|2026-07-15|2026-07-18|2|K"}));
        // One empty person and one incomplete entry per person, bed by bed.
        QCOMPARE(rows("SELECT Nr_pokoju, Od, \"Do\", Pelne_dane, Wykwaterowany FROM Ksiazka "
                      "WHERE Identyfikator_g = ? ORDER BY Nr_pokoju",
                      {m_group}),
                 QStringList({"1|2026-07-15|2026-07-18|0|0", "1|2026-07-15|2026-07-18|0|0",
                              "2|2026-07-15|2026-07-18|0|0", "2|2026-07-15|2026-07-18|0|0"}));
        QCOMPARE(env().scalar("SELECT count(*) FROM Arch_os").toInt(), persons + 4);
        click(list, "Zamknij");

        // "Nieuregulowane płatności": the new group owes its bill.
        QStringList unpaid;
        env().modal.push_back(showing(
            "TFormRapDlugi",
            [&unpaid](QDialog& d) { unpaid = column(control<QTableView>(&d, "Lista"), 0); },
            "Zamknij"));
        run("mnuNieuregulowanePlatnosci");
        QCOMPARE(unpaid, QStringList({"Kowalscy"}));
    }

    // The receptionist enters the four persons into the register; the third
    // is Anna Nowak again, taken over from the archive of former guests.
    void registrationWalk()
    {
        QVERIFY2(m_group > 0, "needs the check-in step");
        QVERIFY2(m_formerPerson > 0, "needs the walk-in guest of the first step");
        const QStringList formerRecord =
            rows("SELECT * FROM Arch_os WHERE Identyfikator_o = ?", {m_formerPerson});
        struct Person {
            const char* surname;
            const char* name;
            QDate born;
            const char* country;
            const char* document;
        };
        QStringList offered;
        auto typed = [&offered](const Person& p) {
            return showing(
                "TFormKsiazka",
                [p, &offered](QDialog& d) {
                    offered << control<QComboBox>(&d, "NumerPokoju")->currentText() + " " +
                                   control<QLineEdit>(&d, "Od")->text() + " " +
                                   control<QLineEdit>(&d, "Do")->text();
                    type(&d, "Nazwisko", QString::fromUtf8(p.surname));
                    type(&d, "Imie", QString::fromUtf8(p.name));
                    control<QDateEdit>(&d, "DataUrodzenia")->setDate(p.born);
                    type(&d, "MiejsceUrodzenia", "Kraków");
                    type(&d, "Adres", "ul. Długa 1, 30-001 Kraków");
                    choose(&d, "Panstwo", QString::fromUtf8(p.country));
                    choose(&d, "Rodzaj", "Dowód osobisty");
                    type(&d, "Numer", QString::fromLatin1(p.document));
                },
                "OK");
        };
        env().modal.push_back(typed({"Kowalski", "Jan", QDate(1975, 3, 2), "Polska", "ABC123456"}));
        env().modal.push_back(
            typed({"Kowalska", "Maria", QDate(1977, 8, 9), "Polska", "ABC654321"}));
        // The third person: "Stały klient", the archive searched for her name,
        // a look at her details, then "Książka" hands her over.
        env().modal.push_back(showing(
            "TFormKsiazka", [](QDialog&) {}, "StalyKlient"));
        QStringList found;
        env().modal.push_back(showing(
            "TArchiwum",
            [&found](QDialog& d) {
                QCOMPARE(d.windowTitle(), QString("Archiwum gości"));
                QVERIFY(control<QPushButton>(&d, "Podglad")->isHidden());
                type(&d, "SzukajNazwisko", "Nowak");
                QTest::keyClick(control<QLineEdit>(&d, "SzukajNazwisko"), Qt::Key_Return);
                auto* grid = control<QTableView>(&d, "Lista");
                for (int c = 0; c < grid->model()->columnCount(); ++c)
                    found << column(grid, c);
                grid->selectRow(0);
            },
            "Szczegoly"));
        QStringList details;
        env().modal.push_back(showing(
            "TDaneKlienta",
            [&details](QDialog& d) {
                QCOMPARE(d.windowTitle(), QString("Dane szczegółowe klienta"));
                for (const char* name :
                     {"Nazwisko", "Imie", "Panstwo", "Rodzaj", "Numer", "NumerPokoju", "Od", "Do"})
                    details << control<QLineEdit>(&d, name)->text();
            },
            "Zamknij"));
        env().modal.push_back(showing(
            "TArchiwum", [](QDialog&) {}, "Ksiazka"));
        QStringList takenOver;
        env().modal.push_back(showing(
            "TFormKsiazka",
            [&takenOver](QDialog& d) {
                takenOver << control<QLineEdit>(&d, "Nazwisko")->text()
                          << control<QLineEdit>(&d, "Imie")->text()
                          << control<QDateEdit>(&d, "DataUrodzenia")->date().toString(Qt::ISODate)
                          << control<QComboBox>(&d, "Panstwo")->currentText()
                          << control<QComboBox>(&d, "Rodzaj")->currentText()
                          << control<QComboBox>(&d, "NumerPokoju")->currentText();
            },
            "OK"));
        env().modal.push_back(
            typed({"Nováková", "Jana", QDate(1976, 11, 30), "Czechy", "CZ998877"}));

        // The registration walk of the group, as the stay list offers it.
        m_main->registerGroup(m_group);
        QVERIFY2(prompter().shown.isEmpty(), qPrintable(prompter().log().join('\n')));
        QCOMPARE(offered, QStringList({"1 2026-07-15 2026-07-18", "1 2026-07-15 2026-07-18",
                                       "2 2026-07-15 2026-07-18"}));
        // The archive lists her one checked-out stay; the stay going on is not there.
        QCOMPARE(found, QStringList({"Nowak", "Anna", "Hauptstraße 1, Berlin", "3", "2026-07-01",
                                     "2026-07-03"}));
        QCOMPARE(details, QStringList({"Nowak", "Anna", "Niemcy", "Paszport", "C01X00T47", "3",
                                       "2026-07-01", "2026-07-03"}));
        QCOMPARE(takenOver,
                 QStringList({"Nowak", "Anna", "1980-05-05", "Niemcy", "Paszport", "2"}));
        QCOMPARE(rows("SELECT Nazwisko, Imie, Data_ur, Miejsce_ur, Dokument_rodz, Dokument_nr, "
                      "p.Nazwa, k.Nr_pokoju, k.Pelne_dane, k.ID_Panstwo = a.ID_Panstwo "
                      "FROM Ksiazka k JOIN Arch_os a USING (Identyfikator_o) "
                      "JOIN Panstwo p ON p.ID = a.ID_Panstwo WHERE Identyfikator_g = ? "
                      "ORDER BY k.rowid",
                      {m_group}),
                 QStringList({"Kowalski|Jan|1975-03-02|Kraków|1|ABC123456|Polska|1|1|1",
                              "Kowalska|Maria|1977-08-09|Kraków|1|ABC654321|Polska|1|1|1",
                              "Nowak|Anna|1980-05-05|Berlin|2|C01X00T47|Niemcy|2|1|1",
                              "Nováková|Jana|1976-11-30|Kraków|1|CZ998877|Czechy|2|1|1"}));
        // Her data went into the entry's own person record; the old one is as it was.
        QCOMPARE(
            env()
                .scalar("SELECT count(*) FROM Ksiazka WHERE Identyfikator_o = ?", {m_formerPerson})
                .toInt(),
            1);
        QCOMPARE(rows("SELECT * FROM Arch_os WHERE Identyfikator_o = ?", {m_formerPerson}),
                 formerRecord);

        // "Modyfikowanie kwaterunku", the family's row, "Książka": the group's register.
        TLista* list = openList("mnuModyfikowanieKwaterunku", m_group);
        QVERIFY2(list, "the group is not in the accommodation list");
        click(list, "Ksiazka");
        QWidget* browse = m_main->childArea()->subWindowList().last()->widget();
        QCOMPARE(browse->windowTitle(), QString("Modyfikowanie Książki Meldunkowej"));
        auto* entries = control<QTableView>(browse, "Lista");
        QCOMPARE(column(entries, 1), QStringList({"Kowalski", "Kowalska", "Nowak", "Nováková"}));
        QCOMPARE(column(entries, 3), QStringList({"1", "1", "2", "2"}));
        QCOMPARE(column(entries, 0), QStringList(4, "Kowalscy"));
        // Maria's first name was misspelt on her ID: "Zmień" on her row corrects it.
        QVERIFY(selectRow(entries, 2, "Maria"));
        QStringList shown;
        env().modal.push_back(showing(
            "TFormKsiazka",
            [&shown](QDialog& d) {
                shown << control<QLineEdit>(&d, "Nazwisko")->text()
                      << control<QLineEdit>(&d, "Numer")->text()
                      << control<QComboBox>(&d, "NumerPokoju")->currentText();
                type(&d, "Imie", "Marianna");
            },
            "OK"));
        click(browse, "Zmien");
        QCOMPARE(shown, QStringList({"Kowalska", "ABC654321", "1"}));
        QCOMPARE(column(entries, 2), QStringList({"Jan", "Marianna", "Anna", "Jana"}));
        QCOMPARE(entries->currentIndex().row(), 1); // still on her row
        QCOMPARE(rows("SELECT Imie, Nr_pokoju, Pelne_dane FROM Ksiazka JOIN Arch_os "
                      "USING (Identyfikator_o) WHERE Identyfikator_g = ? AND Nazwisko = "
                      "'Kowalska'",
                      {m_group}),
                 QStringList({"Marianna|1|1"}));
        click(browse, "Zamknij");
        click(list, "Zamknij");

        // "Spis aktualnie zakwaterowanych": the four are in the house.
        QString count;
        env().modal.push_back(showing(
            "TFormRapAktualneKwaterunki",
            [&count](QDialog& d) { count = control<QLabel>(&d, "RazemOsob")->text(); }, "Podglad"));
        run("mnuSpisZakwaterowanych");
        QVERIFY2(prompter().shown.isEmpty(), qPrintable(prompter().log().join('\n')));
        QCOMPARE(m_previews.size(), 1);
        QCOMPARE(count, QString("Razem osób: 4"));
        const QString stay = QStringLiteral("15-07-2026");
        QCOMPARE(m_previews.first().texts().mid(7),
                 QStringList({"Kowalski",      "Jan",      "Kowalscy", "1", stay, "18-07-2026",
                              "Kowalska",      "Marianna", "Kowalscy", "1", stay, "18-07-2026",
                              "Nowak",         "Anna",     "Kowalscy", "2", stay, "18-07-2026",
                              "Nováková",      "Jana",     "Kowalscy", "2", stay, "18-07-2026",
                              "Razem osób: 4", "Strona 1"}));
    }

    // The bill: room 2 priced by hand, 10 % off, paid by receipt and transfer,
    // and the invoice printed.
    void billingAndInvoice()
    {
        QVERIFY2(m_group > 0, "needs the check-in step");
        // "Opłaty" in the menu, the family's row, the button "Opłaty".
        TLista* list = openList("mnuOplaty", m_group);
        QVERIFY2(list, "the group is not in the payments list");
        click(list, "Oplaty");
        QPointer<TOplaty> bill = newestChild<TOplaty>();
        QVERIFY(bill);
        QCOMPARE(bill->groupId(), m_group);
        // Room 1 whole: 3 × 120,00; room 2, two beds of three: the bed price 40,00 once a night.
        QCOMPARE(control<QLineEdit>(bill, "KalkBrutto")->text(), QString("480,00 zł"));
        QCOMPARE(control<QLabel>(bill, "Rozliczenie")->text(),
                 QString("Grupa nie jest rozliczona"));

        // "Pokoje": room 2 at 45,00 a night.
        control<QTabWidget>(bill, "Strony")->setCurrentIndex(1);
        auto* lines = control<QTableView>(bill, "Pozycje");
        QCOMPARE(column(lines, 0), QStringList({"1", "2"}));
        lines->selectRow(1);
        type(bill, "Oplata1", "45");
        click(bill, "Ok");
        QCOMPARE(control<QLineEdit>(bill, "Razem")->text(), QString("495,00 zł"));

        // "Opłaty": 10 % for every room.
        control<QTabWidget>(bill, "Strony")->setCurrentIndex(0);
        type(bill, "KalkZnizka", "10");
        type(bill, "KalkPodstawa", "stały klient");
        click(bill, "ZastosujZnizke");
        QCOMPARE(control<QLineEdit>(bill, "KalkBrutto")->text(), QString("445,50 zł"));
        QCOMPARE(control<QLineEdit>(bill, "DoZaplaty")->text(), QString("445,50 zł"));

        // A receipt of 300,00, then the rest by transfer as the dialog proposes it.
        QStringList proposed;
        env().modal.push_back(showing(
            "RejestracjaOplaty",
            [&](QDialog& d) {
                choose(&d, "TypOplaty", "Paragon");
                proposed << control<QLineEdit>(&d, "Wplata")->text();
                type(&d, "Numer", "001220260015"); // the fiscal receipt's number
                type(&d, "Wplata", "300");
            },
            "RejestrujWplate"));
        click(bill, "RejestrujOplate");
        env().modal.push_back(showing(
            "RejestracjaOplaty",
            [&](QDialog& d) {
                choose(&d, "TypOplaty", "Przelew");
                proposed << control<QLineEdit>(&d, "Numer")->text()
                         << control<QLineEdit>(&d, "Wplata")->text();
            },
            "RejestrujWplate"));
        click(bill, "RejestrujOplate");
        QCOMPARE(proposed, QStringList({"445,50", "1", "145,50"}));
        auto* payments = control<QTableView>(bill, "ListaOplat");
        QCOMPARE(column(payments, 2), QStringList({"300,00 zł", "145,50 zł"}));
        QCOMPARE(column(payments, 3), QStringList({"Paragon", "Przelew"}));
        QCOMPARE(control<QLineEdit>(bill, "DoZaplaty")->text(), QString("0,00 zł"));
        QCOMPARE(control<QLabel>(bill, "Rozliczenie")->text(), QString("Grupa jest rozliczona"));

        // "Faktura / Rachunek": the invoice for the father, paid in cash.
        control<QTabWidget>(bill, "Strony")->setCurrentIndex(2);
        type(bill, "Nazwa", "Jan Kowalski");
        type(bill, "Adres", "ul. Długa 1, 30-001 Kraków");
        prompter().inputs.push_back(QStringLiteral("1"));
        click(bill, "Wystaw");
        QCOMPARE(control<QLabel>(bill, "StanFaktury")->text(),
                 QString("Faktura już została wystawiona"));
        click(bill, "Podglad");
        QCOMPARE(prompter().log(), QStringList({"Numer faktury|Wprowadź nowy numer faktury"}));

        QCOMPARE(rows("SELECT Nr_pokoju, Oplata1, Oplata2, Dni, Znizka, VAT, Brutto, Podatek "
                      "FROM Kalk_det WHERE Identyfikator = ? ORDER BY Nr_pokoju",
                      {m_group}),
                 QStringList({"1|1200000|1200000|3|10|7|3240000|212000",
                              "2|450000|450000|3|10|7|1215000|79500"}));
        QCOMPARE(rows("SELECT Brutto, Podatek, Znizka, Podstawa, rozl, Typ, Rach, Nazwa, "
                      "data_wystawienia, sposob_zaplaty FROM Kalk WHERE Identyfikator = ?",
                      {m_group}),
                 QStringList({"4455000|291500|10|stały klient|1|2|1|Jan Kowalski|2026-07-15|1"}));
        QCOMPARE(rows("SELECT Nr_kwit, Wplata, Data, Typ FROM Kwit WHERE Identyfikator = ? "
                      "ORDER BY ID",
                      {m_group}),
                 QStringList({"0012/2026#0015|3000000|2026-07-15|1", "1|1455000|2026-07-15|3"}));

        QCOMPARE(m_previews.size(), 1);
        const Document& invoice = m_previews.first();
        QCOMPARE(invoice.title, QString("Faktura Vat"));
        const QStringList texts = invoice.texts();
        for (const char* expected : {"Jan Kowalski", "ul. Długa 1, 30-001 Kraków",
                                     "Noclegi w dniach  od 15-07-2026 do "
                                     "18-07-2026"})
            QVERIFY2(texts.contains(QString::fromUtf8(expected)), expected);
        // Equal periods, VAT and discount but different prices: two rows, cheaper first.
        const QString period = QStringLiteral("Noclegi w dniach  od 15-07-2026 do 18-07-2026");
        QCOMPARE(
            bandTexts(invoice, "BandaPozycje"),
            QStringList({period, "55.10.10", "1", "3", "45,00 zł ", "10%", "7%", "121,50 zł ",
                         period, "55.10.10", "1", "3", "120,00 zł ", "10%", "7%", "324,00 zł "}));
        // The tax recomputed from the gross of the rate, a cent below the lines' 29,15.
        const QStringList summary = bandTexts(invoice, "BandaPodsumowanie");
        const qsizetype vat7 = summary.indexOf("7%");
        QVERIFY(vat7 >= 2);
        QCOMPARE(summary.mid(vat7 - 2, 4),
                 QStringList({"416,36 zł ", "29,14 zł ", "7%", "445,50 zł "}));
        QVERIFY(summary.contains("ZAPŁACONO GOTÓWKĄ"));
        QCOMPARE(printed(invoice, "Slownie"),
                 QString("słownie : czterysta czterdzieści pięć zł. pięćdziesiąt gr."));
        // "Drukuj": both copies go to the printer, each with the amount in words.
        click(bill, "Drukuj");
        QCOMPARE(m_printed.size(), 1);
        QProcess pdf;
        pdf.start("pdftotext", {m_printed.first(), "-"});
        QVERIFY(pdf.waitForFinished(20000));
        const QString paper = QString::fromUtf8(pdf.readAllStandardOutput());
        QCOMPARE(paper.count("czterysta czterdzieści pięć zł. pięćdziesiąt gr."), 2);
        QCOMPARE(paper.count("Oryginał/ Kopia"), 2);
        click(bill, "ZamknijFaktura");
        QTRY_VERIFY(bill.isNull());
        click(list, "Zamknij");

        // "Nieuregulowane płatności" once more: nobody owes anything now.
        prompter().shown.clear();
        run("mnuNieuregulowanePlatnosci");
        QCOMPARE(prompter().log(), QStringList({"Grupy z niuregulowanymi płatnościami - błąd!|"
                                                "Wszytskie grupy zostały rozliczone"}));
    }

    // 18 July: the family leaves.
    void checkOut()
    {
        QVERIFY2(m_group > 0, "needs the check-in step");
        env().setNow(at(7, 18, 10));
        // "Wykwaterowanie", the family's row, "Wykwateruj": settled and
        // registered, so only the first question comes.
        TLista* list = openList("mnuWykwaterowanie", m_group);
        QVERIFY2(list, "the group is not in the check-out list");
        prompter().answers = {true};
        click(list, "Wykwateruj");
        QCOMPARE(prompter().log(),
                 QStringList({"Wykwaterowanie : Krok 1/3|Czy napewno chcesz wykwaterować grupę "
                              "\"Kowalscy\" ?"}));
        QCOMPARE(column(control<QTableView>(list, "Grupy"), 0), QStringList());
        QCOMPARE(env().scalar("SELECT count(*) FROM Kwat_hot").toInt(), 0);
        QCOMPARE(env().scalar("SELECT count(*) FROM Kwat_msc").toInt(), 0);
        QCOMPARE(rows("SELECT Pelne_dane, Wykwaterowany, count(*) FROM Ksiazka "
                      "WHERE Identyfikator_g = ? GROUP BY 1, 2",
                      {m_group}),
                 QStringList({"1|1|4"}));
        // The history of the stay stays: persons, calculation, payments.
        QCOMPARE(env().scalar("SELECT count(*) FROM Arch_os").toInt(), 5);
        QCOMPARE(env()
                     .scalar("SELECT count(*) FROM Kalk_det WHERE Identyfikator = ?", {m_group})
                     .toInt(),
                 2);
        QCOMPARE(
            env().scalar("SELECT count(*) FROM Kwit WHERE Identyfikator = ?", {m_group}).toInt(),
            2);
        click(list, "Zamknij");
    }

    // Some days later: the family is looked up among the former guests and in
    // the register.
    void personsInTheArchiveAndTheRegister()
    {
        QVERIFY2(m_group > 0, "needs the check-in step");
        // "Archiwum": every checked-out stay, the latest first; "Kowal" searched,
        // Jan's details with the payments of his stay.
        QStringList all, found, details, payments;
        env().modal.push_back(showing(
            "TArchiwum",
            [&](QDialog& d) {
                QCOMPARE(d.windowTitle(), QString("Archiwum gości"));
                QVERIFY(control<QPushButton>(&d, "Ksiazka")->isHidden());
                auto* grid = control<QTableView>(&d, "Lista");
                all = column(grid, 0);
                type(&d, "SzukajNazwisko", "Kowal");
                click(&d, "Szukaj");
                for (int r = 0; r < grid->model()->rowCount(); ++r)
                    found << grid->model()->index(r, 1).data().toString() + " " +
                                 grid->model()->index(r, 3).data().toString() + " " +
                                 grid->model()->index(r, 4).data().toString() + " " +
                                 grid->model()->index(r, 5).data().toString();
                QVERIFY(selectRow(grid, 1, "Jan"));
            },
            "Szczegoly"));
        env().modal.push_back(showing(
            "TDaneKlienta",
            [&](QDialog& d) {
                for (const char* name : {"Nazwisko", "Imie", "Panstwo", "NumerPokoju", "Od", "Do",
                                         "RachunekUpr", "FakturaVat"})
                    details << control<QLineEdit>(&d, name)->text();
                auto* grid = control<QTableView>(&d, "Oplaty");
                payments = column(grid, 0) + column(grid, 1) + column(grid, 2);
            },
            "Zamknij"));
        env().modal.push_back(showing(
            "TArchiwum", [](QDialog&) {}, "Zamknij"));
        run("mnuArchiwum");
        QCOMPARE(all.size(), 5);
        QCOMPARE(all.mid(0, 4).count("Nowak") + all.mid(0, 4).count("Nováková"), 2);
        QCOMPARE(all.last(), QString("Nowak")); // her first stay is the oldest
        QCOMPARE(found,
                 QStringList({"Jan 1 2026-07-15 2026-07-18", "Marianna 1 2026-07-15 2026-07-18"}));
        QCOMPARE(details, QStringList({"Kowalski", "Jan", "Polska", "1", "2026-07-15", "2026-07-18",
                                       "", "1"}));
        QCOMPARE(payments, QStringList({"Paragon", "Przelew", "0012/2026#0015", "1", "2026-07-15",
                                        "2026-07-15"}));

        // "Modyfikowanie książki meldunkowej": the register lists the stays
        // going on; the family has left, so it is no longer there.
        run("mnuModyfikowanieKsiazki");
        QWidget* browse = m_main->childArea()->subWindowList().last()->widget();
        QCOMPARE(browse->windowTitle(), QString("Modyfikowanie Książki Meldunkowej"));
        QCOMPARE(column(control<QTableView>(browse, "Lista"), 1), QStringList());
        click(browse, "Zamknij");
        QVERIFY2(prompter().shown.isEmpty(), qPrintable(prompter().log().join('\n')));
    }

    // The stays counted: the season report, persons and nights, the payments
    // and the invoices of July.
    void statisticsAndMoneyLists()
    {
        QVERIFY2(m_group > 0, "needs the check-in step");
        // "Raport dla Gusu".
        run("mnuRaportGus");
        QCOMPARE(m_previews.size(), 1);
        const Document season = m_previews.takeFirst();
        // July: 5 person records, 2 + 4 × 3 nights, rooms 3, 1 and 2 once each
        // for their nights; abroad: Anna Nowak twice (her new stay has a
        // record of its own) and Jana Nováková.
        const QStringList months = bandTexts(season, "BandaMiesiac");
        QCOMPARE(months.mid(0, 10),
                 QStringList({"Lipiec", "31", "7", "3", "5", "3", "14", "8", "8", "5"}));
        QCOMPARE(months.mid(10, 10),
                 QStringList({"Sierpień", "31", "7", "3", "0", "0", "0", "0", "0", "0"}));
        const QStringList countries = bandTexts(season, "BandaPanstwa");
        const qsizetype germany = countries.indexOf("Niemcy");
        QVERIFY(germany >= 0);
        QCOMPARE(countries.mid(germany, 10),
                 QStringList({"Niemcy", "2", "5", "5", "0", "0", "0", "0", "0", "0"}));
        const qsizetype czechia = countries.indexOf("Czechy");
        QVERIFY(czechia >= 0);
        QCOMPARE(countries.mid(czechia, 4), QStringList({"Czechy", "1", "3", "3"}));

        // "Osoby i osoby/doba": July, then the night of 16 July.
        run("mnuOsobyDoba");
        QWidget* nights = m_main->childArea()->subWindowList().last()->widget();
        control<QDateEdit>(nights, "DataKoncowa")->setDate(QDate(2026, 7, 31));
        control<QDateEdit>(nights, "DataPoczatkowa")->setDate(QDate(2026, 7, 1));
        QCOMPARE(control<QLabel>(nights, "LiczbaOsob")->text(), QString("5"));
        QCOMPARE(control<QLabel>(nights, "LiczbaNoclegow")->text(), QString("14"));
        control<QDateEdit>(nights, "DataPoczatkowa")->setDate(QDate(2026, 7, 16));
        control<QDateEdit>(nights, "DataKoncowa")->setDate(QDate(2026, 7, 17));
        QCOMPARE(control<QLabel>(nights, "LiczbaOsob")->text(), QString("4"));
        QCOMPARE(control<QLabel>(nights, "LiczbaNoclegow")->text(), QString("4"));
        nights->close();

        // "Opłaty wniesione w okresie", from 1 July.
        env().modal.push_back(showing(
            "TFormRapOplaty",
            [](QDialog& d) {
                control<QDateEdit>(&d, "DataPoczatkowa")->setDate(QDate(2026, 7, 1));
            },
            "Podglad"));
        run("mnuOplatyWOkresie");
        QCOMPARE(m_previews.size(), 1);
        // The payer is the calculation's name, by now the invoice's buyer.
        QCOMPARE(m_previews.takeFirst().texts(),
                 QStringList({"Opłaty wniesione w okresie od 2026-07-01 do 2026-07-18.",
                              "Typ",
                              "Numer",
                              "Nazwa grupy",
                              "Data",
                              "Wpłata ",
                              "Paragon",
                              "0012/2026#0015",
                              "Jan Kowalski",
                              "2026-07-15",
                              "300,00 zł ",
                              "Przelew",
                              "1",
                              "Jan Kowalski",
                              "2026-07-15",
                              "145,50 zł ",
                              "Razem ",
                              "445,50 zł ",
                              "Ogółem ",
                              "445,50 zł ",
                              "Strona 1"}));

        // "Zestawienie wystawionych faktur", from 1 July.
        env().modal.push_back(showing(
            "TFormRapFaktury",
            [](QDialog& d) {
                control<QDateEdit>(&d, "DataPoczatkowa")->setDate(QDate(2026, 7, 1));
            },
            "Podglad"));
        run("mnuZestawienieFaktur");
        QCOMPARE(m_previews.size(), 1);
        QCOMPARE(m_previews.takeFirst().texts(),
                 QStringList({"Zestawienie wystawionych faktur Vat, obrót gotówkowy i "
                              "bezgotówkowy od 2026-07-01 do 2026-07-18.",
                              "L.p.", "Numer", "Data wystawienia", "Nabywca", "Kwota Brutto ",
                              "Forma zapłaty", "Uwagi", "1 ", "1 ", "2026-07-15",
                              "Jan Kowalski\nul. Długa 1, 30-001 Kraków", "445,50 ", "Gotówka",
                              "przyjazd wieczorem", "Suma", "445,50 ", "Strona 1"}));

        // "Zestawienie udzielonych rabatów", from 1 July, then "Zamknij".
        env().modal.push_back(showing(
            "TFormRabaty",
            [](QDialog& d) {
                control<QDateEdit>(&d, "DataPoczatkowa")->setDate(QDate(2026, 7, 1));
                control<QDateEdit>(&d, "DataKoncowa")->setDate(QDate(2026, 7, 31));
            },
            "Podglad"));
        env().modal.push_back(showing(
            "TFormRabaty", [](QDialog&) {}, "Zamknij"));
        run("mnuRabaty");
        QCOMPARE(m_previews.size(), 1);
        QCOMPARE(
            m_previews.takeFirst().texts(),
            QStringList({"Zestawienie udzielonych rabatów od  2026-07-01 do 2026-07-31",
                         "Nazwa grupy", "Data", "Kwota Brutto", "Rabat", "Podstawa", "Jan Kowalski",
                         "2026-07-15", "445,50 zł", "10 %", "stały klient", "Strona 1"}));
        QVERIFY2(prompter().shown.isEmpty(), qPrintable(prompter().log().join('\n')));
    }

    // Evening: the program is closed with a backup; the next morning a
    // mistaken reservation is undone by restoring that backup.
    void backupAtExitAndRestore()
    {
        QVERIFY2(m_group > 0, "needs the check-in step");
        env().setNow(at(7, 18, 20));
        const QStringList before = rows("SELECT * FROM Ksiazka ORDER BY rowid") +
                                   rows("SELECT * FROM Kwit ORDER BY ID") +
                                   rows("SELECT * FROM Rez_hot");
        const QString archive = QDir(m_archive).filePath("Archiwum 2026.07.18 20.00.zip");
        // "Wyjście": yes to the backup, the proposed name in the archive folder.
        prompter().answers = {true};
        prompter().files.push_back(archive);
        QVERIFY(m_main->close());
        QCOMPARE(prompter().shown.size(), 2);
        QCOMPARE(prompter().shown[0].caption + "|" + prompter().shown[0].text,
                 QString("Tworzenie archiwum|Czy stworzyć kopię zapasową bazy danych?"));
        QCOMPARE(prompter().shown[1].kind, ScriptedPrompter::Shown::SaveFile);
        QCOMPARE(prompter().shown[1].text, m_archive);
        QVERIFY2(prompter().shown[1].extra.contains("Archiwum 2026.07.18 20.00.zip"),
                 qPrintable(prompter().shown[1].extra));
        QVERIFY(QFile::exists(archive));
        QVERIFY(!env().data().isOpen());
        m_main.reset();

        // Next morning: the program starts again and a reservation is entered.
        env().setNow(at(7, 19, 8));
        prompter().shown.clear();
        startProgram();
        QVERIFY(env().data().isOpen());
        run("mnuWprowadzanieRezerwacji");
        QPointer<TRezerwacja> editor = newestChild<TRezerwacja>();
        QVERIFY(editor);
        type(editor, "Rezerwujacy", "Pomyłka");
        selectRooms(control<QTableWidget>(editor, "WolnePokoje"), {"3"});
        click(editor, "Dodaj");
        click(editor, "Zapisz");
        QCOMPARE(env().scalar("SELECT count(*) FROM Rez_hot").toInt(), 1);
        prompter().answers = {true};
        click(editor, "Zamknij");
        QTRY_VERIFY(editor.isNull());

        // "Odtwarzanie bazy danych" from last evening's archive.
        prompter().shown.clear();
        prompter().files.push_back(archive);
        prompter().answers = {true};
        run("mnuOdtwarzanieBazy");
        QCOMPARE(prompter().shown.size(), 2);
        QCOMPARE(prompter().shown[0].kind, ScriptedPrompter::Shown::OpenFile);
        QCOMPARE(prompter().shown[0].caption, QString("Odtwarzanie bazy danych"));
        QCOMPARE(prompter().shown[1].caption + "|" + prompter().shown[1].text,
                 QString("Tworzenie archiwum|Czy przywrócić poprzednią kopię bazy danych? "
                         "Wszystkie zmiany w bazie danych programu wprowadzone po wykonaniu tej "
                         "kopii będą cofnięte."));
        QVERIFY(env().data().isOpen());
        QCOMPARE(rows("SELECT * FROM Ksiazka ORDER BY rowid") +
                     rows("SELECT * FROM Kwit ORDER BY ID") + rows("SELECT * FROM Rez_hot"),
                 before);
        QVERIFY(QFile::exists(env().databaseFile() + ".bak"));

        // The program works on with the restored file: every room is free again.
        run("mnuWprowadzanieRezerwacji");
        editor = newestChild<TRezerwacja>();
        QVERIFY(editor);
        QCOMPARE(tableRows(control<QTableWidget>(editor, "WolnePokoje")),
                 QStringList({"1|2|A|dwuosobowy", "2|3|B|trzyosobowy", "3|2|A|dwuosobowy"}));
        prompter().shown.clear();
        prompter().answers = {true, false}; // discard the empty editor, no second backup
        QVERIFY(m_main->close());
        QCOMPARE(prompter().log(),
                 QStringList({"Zamknięcie okienka|Czy chcesz zamknąc okienko i anulować zmiany ?",
                              "Tworzenie archiwum|Czy stworzyć kopię zapasową bazy danych?"}));
        QVERIFY(!env().data().isOpen());
    }
};

REZYDO_TEST(TestRoad);
#include "test_road.moc"
