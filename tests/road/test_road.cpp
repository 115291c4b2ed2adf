#include "tests/road/road_test.h"
#include "tests/support/test_registry.h"

// The program's setup and a group's stay up to its registration; the later
// steps are in test_road_later.cpp.

using namespace road;

void TestRoad::initTestCase()
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

void TestRoad::cleanupTestCase()
{
    m_main.reset();
    TMDIPodglad::setShownHook({});
    setPrinterFactory({});
    TOplaty::setInvoicePrinter({});
    installReportPresenter(nullptr);
    m_env.reset();
}

void TestRoad::init()
{
    prompter().shown.clear();
    m_previews.clear();
}

// Every question of a step was foreseen and every dialog answered; what a
// failed step left queued is dropped so that it cannot answer the next one.
void TestRoad::cleanup()
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
void TestRoad::setupByTheOwner()
{
    // "Cennik": a price per bed and per room for the types A and B.
    run("mnuCennik");
    QWidget* prices = m_main->childArea()->subWindowList().last()->widget();
    QCOMPARE(prices->objectName(), QString("TCennik"));
    for (const QStringList& row : {QStringList{"A", "50", "120"}, QStringList{"B", "40", "150"}}) {
        click(prices, "Dodaj");
        type(prices, "Typ", row[0]);
        type(prices, "CenaZaMiejsce", row[1]);
        type(prices, "CenaZaPokoj", row[2]);
        click(prices, "Ok");
    }
    click(prices, "Zamknij");
    QCOMPARE(rows("SELECT Typ, Cena1, Cena2, Cena3, Cena4 FROM Cennik ORDER BY Typ"),
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
    QCOMPARE(rows("SELECT Nr_Pokoju, Miejsc, Typ, Opis FROM Pokoje ORDER BY Nr_Pokoju"),
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
void TestRoad::formerGuestWalksInAndLeaves()
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
            control<QLineEdit>(&d, "DataUrodzenia")->setText("1980-05-05");
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
                  "p.Nazwa, k.Nr_pokoju, k.Pelne_dane, CASE WHEN k.ID_Panstwo = a.ID_Panstwo THEN "
                  "1 ELSE 0 END "
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
    QCOMPARE(prompter().log(),
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
void TestRoad::reservationInTheStayEditor()
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
    QCOMPARE(tableRows(control<QTableWidget>(editor, "RezPozycje")),
             QStringList({"1|2|A|2||2026-07-15|2026-07-18", "2|3|B|2|K|2026-07-15|2026-07-18"}));
    QCOMPARE(control<QLabel>(editor, "Podsumowanie")->text(), QString("Miejsc : 4"));
    // The single beds leave one bed of room 2 free.
    control<QTabWidget>(editor, "Dostepnosc")->setCurrentIndex(1);
    QCOMPARE(tableRows(control<QTableWidget>(editor, "WolneMiejsca")), QStringList({"2|3|B|1|"}));

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
void TestRoad::confirmationLetter()
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
             "Potwierdzamy rezerwacje 2 pokoi w terminie od 2026-07-15 do 2026-07-18 w " + kHotel +
                 " dla Kowalscy.\n\nCena za wszystkie zarezerwowane pokoje w terminie od "
                 "2026-07-15 do 2026-07-18 wynosi 600,00 zł.");
    QCOMPARE(printed(letter, "Pozdrowienia"), QString("Z poważaniem"));
    QVERIFY(prompter().shown.isEmpty());
}

// 15 July: the family arrives and is checked in from the reservation list.
void TestRoad::checkInFromTheStayList()
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
void TestRoad::registrationWalk()
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
                control<QLineEdit>(&d, "DataUrodzenia")->setText(p.born.toString(Qt::ISODate));
                type(&d, "MiejsceUrodzenia", "Kraków");
                type(&d, "Adres", "ul. Długa 1, 30-001 Kraków");
                choose(&d, "Panstwo", QString::fromUtf8(p.country));
                choose(&d, "Rodzaj", "Dowód osobisty");
                type(&d, "Numer", QString::fromLatin1(p.document));
            },
            "OK");
    };
    env().modal.push_back(typed({"Kowalski", "Jan", QDate(1975, 3, 2), "Polska", "ABC123456"}));
    env().modal.push_back(typed({"Kowalska", "Maria", QDate(1977, 8, 9), "Polska", "ABC654321"}));
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
                      << control<QLineEdit>(&d, "DataUrodzenia")->text()
                      << control<QComboBox>(&d, "Panstwo")->currentText()
                      << control<QComboBox>(&d, "Rodzaj")->currentText()
                      << control<QComboBox>(&d, "NumerPokoju")->currentText();
        },
        "OK"));
    env().modal.push_back(typed({"Nováková", "Jana", QDate(1976, 11, 30), "Czechy", "CZ998877"}));

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
    QCOMPARE(takenOver, QStringList({"Nowak", "Anna", "1980-05-05", "Niemcy", "Paszport", "2"}));
    QCOMPARE(rows("SELECT Nazwisko, Imie, Data_ur, Miejsce_ur, Dokument_rodz, Dokument_nr, "
                  "p.Nazwa, k.Nr_pokoju, k.Pelne_dane, CASE WHEN k.ID_Panstwo = a.ID_Panstwo THEN "
                  "1 ELSE 0 END "
                  "FROM Ksiazka k JOIN Arch_os a USING (Identyfikator_o) "
                  "JOIN Panstwo p ON p.ID = a.ID_Panstwo WHERE Identyfikator_g = ? "
                  "ORDER BY k.rowid",
                  {m_group}),
             QStringList({"Kowalski|Jan|1975-03-02|Kraków|1|ABC123456|Polska|1|1|1",
                          "Kowalska|Maria|1977-08-09|Kraków|1|ABC654321|Polska|1|1|1",
                          "Nowak|Anna|1980-05-05|Berlin|2|C01X00T47|Niemcy|2|1|1",
                          "Nováková|Jana|1976-11-30|Kraków|1|CZ998877|Czechy|2|1|1"}));
    // Her data went into the entry's own person record; the old one is as it was.
    QCOMPARE(env()
                 .scalar("SELECT count(*) FROM Ksiazka WHERE Identyfikator_o = ?", {m_formerPerson})
                 .toInt(),
             1);
    QCOMPARE(rows("SELECT * FROM Arch_os WHERE Identyfikator_o = ?", {m_formerPerson}),
             formerRecord);
}

// The same evening the receptionist looks over the group's register,
// corrects a first name and prints the list of the guests in the house.
void TestRoad::correctionInTheRegister()
{
    QVERIFY2(m_group > 0, "needs the check-in step");
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

REZYDO_TEST(TestRoad);
