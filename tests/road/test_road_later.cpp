#include "tests/road/road_test.h"

// The group's bill, its check-out, the lists that count it, and the backup.

using namespace road;

// The bill: room 2 priced by hand, 10 % off, paid by receipt and transfer,
// and the invoice printed.
void TestRoad::billingAndInvoice()
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
    QCOMPARE(control<QLabel>(bill, "Rozliczenie")->text(), QString("Grupa nie jest rozliczona"));

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
             QStringList({"1|1200000|1200000|3|10|8|3240000|240000",
                          "2|450000|450000|3|10|8|1215000|90000"}));
    QCOMPARE(rows("SELECT Brutto, Podatek, Znizka, Podstawa, rozl, Typ, Rach, Nazwa, "
                  "data_wystawienia, sposob_zaplaty FROM Kalk WHERE Identyfikator = ?",
                  {m_group}),
             QStringList({"4455000|330000|10|stały klient|1|2|1|Jan Kowalski|2026-07-15|1"}));
    QCOMPARE(rows("SELECT Nr_kwit, Wplata, Data, Typ FROM Kwit WHERE Identyfikator = ? "
                  "ORDER BY ID",
                  {m_group}),
             QStringList({"0012/2026#0015|3000000|2026-07-15|1", "1|1455000|2026-07-15|3"}));

    QCOMPARE(m_previews.size(), 1);
    const Document& invoice = m_previews.first();
    QCOMPARE(invoice.title, QString("Faktura Vat"));
    const QStringList texts = invoice.texts();
    for (const char* expected : {"Jan Kowalski", "ul. Długa 1, 30-001 Kraków"})
        QVERIFY2(texts.contains(QString::fromUtf8(expected)), expected);
    // A calculation of today prints one row per line with its net, rate and
    // tax, the cheaper room first; accommodation is taxed at 8%.
    const QString stay = QStringLiteral("Usługa noclegowa 15-07-2026 – 18-07-2026 (zniżka 10%)");
    QCOMPARE(bandTexts(invoice, "BandaPozycje"),
             QStringList({"1",          stay,         "55.10.10", "doba",      "3",
                          "37,50 zł ",  "112,50 zł ", "8%",       "9,00 zł ",  "121,50 zł ",
                          "2",          stay,         "55.10.10", "doba",      "3",
                          "100,00 zł ", "300,00 zł ", "8%",       "24,00 zł ", "324,00 zł "}));
    const QStringList summary = bandTexts(invoice, "BandaPodsumowanie");
    const qsizetype vat8 = summary.indexOf("8%");
    QVERIFY(vat8 >= 2);
    QCOMPARE(summary.mid(vat8 - 2, 4),
             QStringList({"412,50 zł ", "33,00 zł ", "8%", "445,50 zł "}));
    // Paid partly in cash and partly by transfer: no single form is named.
    QVERIFY(summary.contains("ZAPŁACONO"));
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
void TestRoad::checkOut()
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
    QCOMPARE(
        env().scalar("SELECT count(*) FROM Kalk_det WHERE Identyfikator = ?", {m_group}).toInt(),
        2);
    QCOMPARE(env().scalar("SELECT count(*) FROM Kwit WHERE Identyfikator = ?", {m_group}).toInt(),
             2);
    click(list, "Zamknij");
}

// Some days later: the family is looked up among the former guests and in
// the register.
void TestRoad::personsInTheArchiveAndTheRegister()
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
    QCOMPARE(details,
             QStringList({"Kowalski", "Jan", "Polska", "1", "2026-07-15", "2026-07-18", "", "1"}));
    QCOMPARE(payments, QStringList({"Paragon, gotówka", "Przelew", "0012/2026#0015", "1",
                                    "2026-07-15", "2026-07-15"}));

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
void TestRoad::statisticsAndMoneyLists()
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
        [](QDialog& d) { control<QDateEdit>(&d, "DataPoczatkowa")->setDate(QDate(2026, 7, 1)); },
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
                          "Paragon, gotówka",
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
        [](QDialog& d) { control<QDateEdit>(&d, "DataPoczatkowa")->setDate(QDate(2026, 7, 1)); },
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
        QStringList({"Zestawienie udzielonych rabatów od  2026-07-01 do 2026-07-31", "Nazwa grupy",
                     "Data", "Kwota Brutto", "Rabat", "Podstawa", "Jan Kowalski", "2026-07-15",
                     "445,50 zł", "10 %", "stały klient", "Strona 1"}));
    QVERIFY2(prompter().shown.isEmpty(), qPrintable(prompter().log().join('\n')));
}

// Evening: the program is closed with a backup; the next morning a
// mistaken reservation is undone by restoring that backup.
void TestRoad::backupAtExitAndRestore()
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
    QCOMPARE(rows("SELECT * FROM Ksiazka ORDER BY rowid") + rows("SELECT * FROM Kwit ORDER BY ID") +
                 rows("SELECT * FROM Rez_hot"),
             before);
    if (!TestEnv::onServer()) // the replaced file stays beside the restored one
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
