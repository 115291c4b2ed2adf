#include "app/commands.h"
#include "app/main_window.h"
#include "billing/ui/billing_window.h"
#include "billing/ui/payment_dialog.h"
#include "billing/ui/regular_clients_dialog.h"
#include "tests/billing/billing_fixture.h"
#include "tests/support/test_registry.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using namespace billing_fixture;

namespace {
template <class T> T* find(QWidget& parent, const char* name)
{
    T* w = parent.findChild<T*>(QString::fromLatin1(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

QString text(QWidget& parent, const char* name)
{
    return find<QLineEdit>(parent, name)->text();
}

void click(QWidget& parent, const char* name)
{
    QAbstractButton* b = find<QAbstractButton>(parent, name);
    QVERIFY2(b->isEnabled(), name);
    QTest::mouseClick(b, Qt::LeftButton);
}

// Replaces the text of a field as a user would type it.
void type(QWidget& parent, const char* name, const QString& value)
{
    QLineEdit* edit = find<QLineEdit>(parent, name);
    edit->selectAll();
    if (value.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    for (QChar c : value) {
        if (c.unicode() < 128)
            QTest::keyClick(edit, c.toLatin1());
        else // Qt Test spells only ASCII as keys; other letters come as typed text
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

QStringList column(QTableView* view, int col)
{
    QStringList out;
    for (int r = 0; r < view->model()->rowCount(); ++r)
        out << view->model()->index(r, col).data().toString();
    return out;
}

void page(QWidget& w, int index)
{
    find<QTabWidget>(w, "Strony")->setCurrentIndex(index);
}

// A checked-in group: room 1 (3 beds) taken by 2, room 2 (2 beds) taken whole.
int checkedInGroup(TestEnv& env, const QString& name = QStringLiteral("Kowalscy"))
{
    env.exec("UPDATE Config SET Stawka_noclegu = '7'"); // the hotel's rate for accommodation
    if (env.scalar("SELECT count(*) FROM Pokoje").toInt() == 0) {
        addRoom(env, "1", 3, "A");
        addRoom(env, "2", 2, "A");
        addPrice(env, "A", "50", "120");
    }
    const int g = addGroup(env, name, 4, "2026-07-15", "2026-07-18", "bez śniadań");
    addRoomLine(env, g, "1", "2026-07-15", "2026-07-18", 2);
    addRoomLine(env, g, "2", "2026-07-15", "2026-07-18", 2);
    return g;
}

struct Dialogs {
    TRejestracjaOplaty payments;
    TStaliKlienci clients;
};
} // namespace

class TestBillingWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void wholeRoadOfAGroup()
    {
        TestEnv env;
        env.exec("UPDATE Config SET SWW = 'PKWiU 55.10'");
        const int g = checkedInGroup(env);
        Dialogs d;
        TOplaty w(g, d.payments, d.clients);
        w.show();
        QCOMPARE(w.windowTitle(), QString("Opłaty"));
        QCOMPARE(text(w, "Nazwa_grupy"), QString("Kowalscy"));
        QCOMPARE(text(w, "Ilosc_osob"), QString("4"));
        QCOMPARE(text(w, "Od"), QString("2026-07-15"));
        QCOMPARE(text(w, "Do"), QString("2026-07-18"));
        QCOMPARE(text(w, "Notatki"), QString("bez śniadań"));
        QCOMPARE(text(w, "KalkBrutto"), QString("510,00 zł"));
        QCOMPARE(text(w, "DoZaplaty"), QString("510,00 zł"));
        QCOMPARE(find<QLabel>(w, "Rozliczenie")->text(), QString("Grupa nie jest rozliczona"));

        // A new gross for room 1 sets its price per night.
        page(w, 1);
        auto* lines = find<QTableView>(w, "Pozycje");
        QCOMPARE(column(lines, 0), QStringList({"1", "2"}));
        lines->selectRow(0);
        QVERIFY(!find<QPushButton>(w, "Ok")->isEnabled());
        type(w, "Brutto", "200");
        QVERIFY(find<QPushButton>(w, "Anuluj")->isEnabled());
        QVERIFY(!lines->isEnabled());
        click(w, "Ok");
        QVERIFY(!find<QPushButton>(w, "Ok")->isEnabled());
        QCOMPARE(text(w, "Razem"), QString("560,00 zł"));
        QCOMPARE(lines->currentIndex().row(), 0);
        QCOMPARE(text(w, "Oplata1"), QString("66,67"));

        // 10 % off everything.
        page(w, 0);
        type(w, "KalkZnizka", "10");
        type(w, "KalkPodstawa", "grupa");
        click(w, "ZastosujZnizke");
        QCOMPARE(text(w, "KalkBrutto"), QString("504,00 zł"));
        QCOMPARE(text(w, "DoZaplaty"), QString("504,00 zł"));

        // Two payments through the dialog; what it showed is checked afterwards.
        QStringList seen;
        env.modal.push_back([&](QDialog& dialog) {
            seen << dialog.windowTitle() << find<QComboBox>(dialog, "TypOplaty")->currentText()
                 << text(dialog, "Numer") << text(dialog, "DoZaplaty") << text(dialog, "Wplata")
                 << find<QDateEdit>(dialog, "Data")->date().toString(Qt::ISODate);
            type(dialog, "Numer", "00012026");
            type(dialog, "Wplata", "300");
            click(dialog, "RejestrujWplate");
            return dialog.result();
        });
        click(w, "RejestrujOplate");
        env.modal.push_back([&](QDialog& dialog) {
            find<QComboBox>(dialog, "TypOplaty")->setCurrentIndex(1);
            seen << text(dialog, "Numer") << text(dialog, "Wplata");
            click(dialog, "RejestrujWplate");
            return dialog.result();
        });
        click(w, "RejestrujOplate");
        QCOMPARE(seen, QStringList({"Rejestracja opłaty", "Paragon", "/#", "504,00 zł", "504,00",
                                    "2026-07-15", "1", "204,00"}));
        QVERIFY(env.modal.empty());
        QCOMPARE(env.unexpectedModals, 0);
        auto* payments = find<QTableView>(w, "ListaOplat");
        QCOMPARE(column(payments, 3), QStringList({"Paragon", "Kwitariusz"}));
        QCOMPARE(column(payments, 2), QStringList({"300,00 zł", "204,00 zł"}));
        QCOMPARE(text(w, "Zaplacono"), QString("504,00 zł"));
        QCOMPARE(text(w, "DoZaplaty"), QString("0,00 zł"));
        QCOMPARE(find<QLabel>(w, "Rozliczenie")->text(), QString("Grupa jest rozliczona"));

        // The invoice, by transfer in 14 days.
        QList<std::tuple<int, bool, QString>> printed;
        TOplaty::setInvoicePrinter([&](int group, bool preview, const QString& sww) {
            printed.append({group, preview, sww});
        });
        page(w, 2);
        QCOMPARE(find<QLabel>(w, "StanFaktury")->text(), QString("Wystawianie faktury"));
        QCOMPARE(text(w, "Rach"), QString("1"));
        QCOMPARE(text(w, "SWW"), QString("PKWiU 55.10"));
        QCOMPARE(text(w, "Nazwa"), QString("Kowalscy"));
        QVERIFY(!find<QPushButton>(w, "Podglad")->isEnabled());
        QVERIFY(find<QSpinBox>(w, "Termin")->isHidden());
        type(w, "Nazwa", "Firma Kowalski");
        QVERIFY(!find<QLineEdit>(w, "Nip")->isEnabled()); // a private person has none
        find<QComboBox>(w, "RodzajNip")->setCurrentIndex(1);
        type(w, "Nip", "111-111-11-11");
        click(w, "Przelew");
        QVERIFY(!find<QSpinBox>(w, "Termin")->isHidden());
        QCOMPARE(find<QSpinBox>(w, "Termin")->value(), 14);
        env.prompter().inputs.push_back(QStringLiteral("1"));
        click(w, "Wystaw");
        QCOMPARE(env.prompter().shown.last().caption, QString("Numer faktury"));
        QCOMPARE(env.prompter().shown.last().text, QString("Wprowadź nowy numer faktury"));
        QCOMPARE(env.prompter().shown.last().extra, QString("1"));
        QCOMPARE(find<QLabel>(w, "StanFaktury")->text(), QString("Faktura już została wystawiona"));
        QVERIFY(!find<QLineEdit>(w, "Nazwa")->isEnabled());
        QVERIFY(!find<QPushButton>(w, "Wystaw")->isEnabled());
        click(w, "Podglad");
        click(w, "Drukuj");
        TOplaty::setInvoicePrinter({});
        QCOMPARE(printed.size(), 2);
        QCOMPARE(printed[0], std::make_tuple(g, true, QString("PKWiU 55.10")));
        QCOMPARE(printed[1], std::make_tuple(g, false, QString("PKWiU 55.10")));

        QCOMPARE(env.rows("SELECT Nr_pokoju, Oplata1, Oplata2, Znizka, VAT, Brutto, Podatek "
                          "FROM Kalk_det ORDER BY \"No\""),
                 QStringList({"1|666667|666667|10|7|1800000|117800",
                              "2|1200000|1200000|10|7|3240000|212000"}));
        QCOMPARE(env.rows("SELECT Brutto, Podatek, Znizka, Podstawa, rozl, Typ, Rach, Nazwa, Nip, "
                          "data_wystawienia, data_sprzedazy, termin_platnosci, sposob_zaplaty "
                          "FROM Kalk"),
                 QStringList({"5040000|329800|10|grupa|1|2|1|Firma Kowalski|1111111111|"
                              "2026-07-15|2026-07-15|2026-07-29|2"}));
        QCOMPARE(env.rows("SELECT Identyfikator, Nr_kwit, Wplata, Data, Typ FROM Kwit"),
                 QStringList({QString("%1|0001/2026#    |3000000|2026-07-15|1").arg(g),
                              QString("%1|1|2040000|2026-07-15|2").arg(g)}));
        QCOMPARE(env.prompter().messages(Prompter::Icon::Error).size(), 0);
    }

    void pageSwitchDiscardsHeaderChanges()
    {
        TestEnv env;
        const int g = checkedInGroup(env);
        Dialogs d;
        TOplaty w(g, d.payments, d.clients);
        w.show();
        type(w, "KalkZnizka", "25");
        page(w, 2);
        type(w, "Nazwa", "Ktoś inny");
        type(w, "Rach", "77");
        page(w, 0);
        QCOMPARE(text(w, "KalkZnizka"), QString());
        page(w, 2);
        QCOMPARE(text(w, "Nazwa"), QString("Kowalscy"));
        QCOMPARE(text(w, "Rach"), QString("1"));
        // A line being changed is dropped as well.
        page(w, 1);
        type(w, "Dni", "9");
        page(w, 0);
        page(w, 1);
        QCOMPARE(text(w, "Dni"), QString("3"));
        QVERIFY(!find<QPushButton>(w, "Ok")->isEnabled());
        QCOMPARE(env.rows("SELECT Znizka, Nazwa, Rach FROM Kalk"),
                 QStringList({"NULL|Kowalscy|NULL"}));
    }

    void lineWithoutPricePerNightStaysInChange()
    {
        TestEnv env;
        const int g = checkedInGroup(env);
        Dialogs d;
        TOplaty w(g, d.payments, d.clients);
        w.show();
        page(w, 1);
        type(w, "Dni", "0");
        type(w, "Brutto", "99");
        click(w, "Ok");
        const auto errors = env.prompter().messages(Prompter::Icon::Error);
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors.first().caption, QString("Błąd obliczeń"));
        QCOMPARE(errors.first().text,
                 QString("Nie można wyliczyć ceny za dobę: liczba dni wynosi 0 lub zniżka 100%."));
        QVERIFY(find<QPushButton>(w, "Ok")->isEnabled());
        QCOMPARE(text(w, "Brutto"), QString("99"));
        click(w, "Anuluj");
        QCOMPARE(text(w, "Brutto"), QString("150,00"));
        QCOMPARE(env.rows("SELECT Dni, Brutto FROM Kalk_det WHERE Nr_pokoju = '1'"),
                 QStringList({"3|1500000"}));

        // A refused line (too long a basis) is reported and stays in change too.
        type(w, "Podstawa", "o wiele za długi opis");
        click(w, "Ok");
        QCOMPARE(env.prompter().messages(Prompter::Icon::Error).size(), 2);
        QCOMPARE(env.prompter().messages(Prompter::Icon::Error).last().caption,
                 QString("Veltrano Rezydo"));
        QVERIFY(refusedByCheck(env.prompter().messages(Prompter::Icon::Error).last().text));
        QVERIFY(find<QPushButton>(w, "Ok")->isEnabled());
        QCOMPARE(env.rows("SELECT Podstawa FROM Kalk_det WHERE Nr_pokoju = '1'"),
                 QStringList({""}));
    }

    void paymentDialogKeepsOrDropsThePayment()
    {
        TestEnv env;
        const int g = checkedInGroup(env);
        env.exec("INSERT INTO Kwit (Identyfikator, Nr_kwit, Wplata, Typ) "
                 "VALUES (999, '0012/2002#0001', 1, 1)");
        Dialogs d;
        TOplaty w(g, d.payments, d.clients);
        w.show();
        QStringList seen;
        // Closed with the window's close box: nothing is saved.
        env.modal.push_back([&](QDialog& dialog) {
            seen << text(dialog, "Numer");
            dialog.close();
            return dialog.result();
        });
        click(w, "RejestrujOplate");
        // Refused by the database: reported, still open, then closed.
        env.modal.push_back([&](QDialog& dialog) {
            find<QComboBox>(dialog, "TypOplaty")->setCurrentIndex(2);
            seen << text(dialog, "Numer");
            type(dialog, "Numer", "123456789012345");
            click(dialog, "RejestrujWplate");
            seen << (dialog.isVisible() ? "open" : "closed");
            click(dialog, "Zamknij");
            return dialog.result();
        });
        click(w, "RejestrujOplate");
        QCOMPARE(seen, QStringList({"/#", "1", "open"}));
        const auto errors = env.prompter().messages(Prompter::Icon::Error);
        QCOMPARE(errors.size(), 1);
        QVERIFY(refusedByCheck(errors.first().text));
        QCOMPARE(env.scalar("SELECT count(*) FROM Kwit").toInt(), 1);
        QCOMPARE(find<QTableView>(w, "ListaOplat")->model()->rowCount(), 0);
        QVERIFY(!find<QPushButton>(w, "UsunOplate")->isEnabled());
    }

    // A receipt number is the till's: the field starts empty and must be
    // typed; it is stored with every position of its mask, the typed digits
    // right-aligned in their part, and the next payment only reminds of it.
    void receiptNumbers_data()
    {
        QTest::addColumn<QString>("previous"); // the latest receipt already stored
        QTest::addColumn<QVariant>("typed");   // null: the field left as it was
        QTest::addColumn<QString>("stored");   // empty: refused
        QTest::addColumn<QString>("latest");   // the reminder at the next payment
        QTest::newRow("first, untouched") << QString() << QVariant() << ""
                                          << "";
        QTest::newRow("7 typed") << QString() << QVariant("7") << "   7/    #    "
                                 << "7/    #";
        QTest::newRow("number and year") << QString() << QVariant("00122026") << "0012/2026#    "
                                         << "0012/2026#";
        QTest::newRow("whole") << QString() << QVariant("001220260015") << "0012/2026#0015"
                               << "0012/2026#0015";
        QTest::newRow("emptied") << QString() << QVariant("") << ""
                                 << "";
        QTest::newRow("after one stored without blanks, untouched") << "7/#" << QVariant() << ""
                                                                    << "7/#";
        QTest::newRow("after one stored without blanks, typed")
            << "7/#" << QVariant("12") << "  12/    #    "
            << "12/    #";
    }
    void receiptNumbers()
    {
        QFETCH(QString, previous);
        QFETCH(QVariant, typed);
        QFETCH(QString, stored);
        QFETCH(QString, latest);
        TestEnv env;
        const int g = checkedInGroup(env);
        if (!previous.isEmpty())
            env.exec("INSERT INTO Kwit (Identyfikator, Nr_kwit, Wplata, Typ) VALUES (999, ?, 1, 1)",
                     {previous});
        Dialogs d;
        TOplaty w(g, d.payments, d.clients);
        w.show();
        env.modal.push_back([&](QDialog& dialog) {
            if (!typed.isNull())
                type(dialog, "Numer", typed.toString());
            type(dialog, "Wplata", "10");
            click(dialog, "RejestrujWplate");
            if (dialog.isVisible())
                click(dialog, "Zamknij");
            return dialog.result();
        });
        click(w, "RejestrujOplate");
        QString shown, hint;
        env.modal.push_back([&](QDialog& dialog) {
            shown = find<QLineEdit>(dialog, "Numer")->displayText();
            hint = find<QLabel>(dialog, "NumerPodpowiedz")->text();
            click(dialog, "Zamknij");
            return dialog.result();
        });
        click(w, "RejestrujOplate");
        QVERIFY(env.modal.empty());
        const QStringList kept = stored.isEmpty() ? QStringList() : QStringList({stored});
        QCOMPARE(env.rows("SELECT Nr_kwit FROM Kwit WHERE Identyfikator = ?", {g}), kept);
        QCOMPARE(column(find<QTableView>(w, "ListaOplat"), 0), kept);
        QCOMPARE(env.prompter().log(), stored.isEmpty()
                                           ? QStringList({"Veltrano Rezydo|Wpisz numer paragonu "
                                                          "wydrukowanego przez kasę fiskalną."})
                                           : QStringList());
        QCOMPARE(shown, QString("    /    #    "));
        QCOMPARE(hint,
                 "Wpisz numer z paragonu kasy fiskalnej." +
                     (latest.isEmpty() ? QString()
                                       : QString("\nOstatni zapisany paragon: %1").arg(latest)));
    }

    void deletingTheOnlyPaymentUnsettles()
    {
        TestEnv env;
        const int g = checkedInGroup(env);
        Dialogs d;
        TOplaty w(g, d.payments, d.clients);
        w.show();
        env.modal.push_back([&](QDialog& dialog) {
            type(dialog, "Numer", "0001");
            click(dialog, "RejestrujWplate"); // the whole amount, as proposed
            return dialog.result();
        });
        click(w, "RejestrujOplate");
        QCOMPARE(find<QLabel>(w, "Rozliczenie")->text(), QString("Grupa jest rozliczona"));
        click(w, "UsunOplate");
        QCOMPARE(find<QLabel>(w, "Rozliczenie")->text(), QString("Grupa nie jest rozliczona"));
        QCOMPARE(text(w, "DoZaplaty"), QString("510,00 zł"));
        QCOMPARE(env.rows("SELECT rozl FROM Kalk"), QStringList({"0"}));
        QCOMPARE(env.scalar("SELECT count(*) FROM Kwit").toInt(), 0);

        // A prepayment of the whole gross settles it again.
        page(w, 2);
        type(w, "Przedplata", "510");
        click(w, "ZatwierdzPrzedplate");
        QCOMPARE(find<QLabel>(w, "Rozliczenie")->text(), QString("Grupa jest rozliczona"));
        QCOMPARE(env.rows("SELECT Przedplata, rozl FROM Kalk"), QStringList({"5100000|1"}));
    }

    void amountsKeepTheirFourPlaces()
    {
        TestEnv env;
        const int g = checkedInGroup(env);
        createCalculation(env.db(), g);
        env.exec("UPDATE Kalk_det SET Dni = 1, Oplata1 = 999900, Oplata2 = 999900");
        Dialogs d;
        TOplaty w(g, d.payments, d.clients);
        w.show();
        type(w, "KalkZnizka", "15");
        click(w, "ZastosujZnizke"); // 2 × 84,9915
        QCOMPARE(env.rows("SELECT Brutto FROM Kalk"), QStringList({"1699830"}));
        page(w, 2);
        type(w, "Przedplata", "0,0010");
        click(w, "ZatwierdzPrzedplate");
        type(w, "Nazwa", "Firma");
        click(w, "ZatwierdzPrzedplate"); // shown as 0,00 but still 0,0010
        env.modal.push_back([&](QDialog& dialog) {
            type(dialog, "Numer", "0001");
            click(dialog, "RejestrujWplate"); // 169,98 shown, 169,982 to pay
            return dialog.result();
        });
        page(w, 0);
        click(w, "RejestrujOplate");
        QCOMPARE(env.rows("SELECT Wplata FROM Kwit"), QStringList({"1699820"}));
        QCOMPARE(env.rows("SELECT Przedplata, Nazwa, rozl FROM Kalk"), QStringList({"10|Firma|1"}));
        QCOMPARE(find<QLabel>(w, "Rozliczenie")->text(), QString("Grupa jest rozliczona"));
    }

    void invoiceNumberBox()
    {
        TestEnv env;
        const int g = checkedInGroup(env);
        Dialogs d;
        TOplaty w(g, d.payments, d.clients);
        w.show();
        page(w, 2);
        env.prompter().inputs.push_back(QStringLiteral("pięć"));
        click(w, "Wystaw");
        QCOMPARE(env.prompter().messages(Prompter::Icon::Error).last().text,
                 QString("'pięć' nie jest poprawnym numerem faktury: numer to liczba całkowita "
                         "większa od zera."));
        QCOMPARE(find<QLabel>(w, "StanFaktury")->text(), QString("Wystawianie faktury"));
        QCOMPARE(env.rows("SELECT Typ, Rach FROM Kalk"), QStringList({"NULL|NULL"}));

        env.prompter().inputs.push_back(QStringLiteral("")); // emptied: no invoice without a number
        click(w, "Wystaw");
        QCOMPARE(env.prompter().messages(Prompter::Icon::Error).last().text,
                 QString("Nie podano numeru faktury: faktura musi mieć numer."));
        QCOMPARE(find<QLabel>(w, "StanFaktury")->text(), QString("Wystawianie faktury"));
        QCOMPARE(env.rows("SELECT Typ, Rach FROM Kalk"), QStringList({"NULL|NULL"}));

        env.prompter().inputs.push_back(std::nullopt); // cancelled: the proposal stands
        click(w, "Wystaw");
        QCOMPARE(env.rows("SELECT Typ, Rach, sposob_zaplaty FROM Kalk"), QStringList({"2|1|1"}));
        click(w, "AnulujFakture");
        QCOMPARE(find<QLabel>(w, "StanFaktury")->text(), QString("Wystawianie faktury"));
        QCOMPARE(text(w, "Rach"), QString("1"));
        env.prompter().inputs.push_back(QStringLiteral("1"));
        click(w, "Wystaw");
        QCOMPARE(env.prompter().shown.last().extra, QString("1"));
        QCOMPARE(env.rows("SELECT Typ, Rach FROM Kalk"), QStringList({"2|1"}));
    }

    // Only "Wystaw" stores the proposed number; every other save leaves it for
    // the next invoice of whichever group is issued first.
    void savingPathsLeaveTheNumberUnused_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("stored"); // Przedplata, Nazwa, Nip, sposob_zaplaty
        QTest::newRow("prepayment") << "prepayment"
                                    << "1000000|Kowalscy||NULL";
        QTest::newRow("regular client picked") << "client"
                                               << "0|Hotel Pod Lipami|111|NULL";
        QTest::newRow("transfer chosen") << "transfer"
                                         << "0|Kowalscy||2";
        QTest::newRow("cash chosen") << "cash"
                                     << "0|Kowalscy||1";
        QTest::newRow("number typed") << "number"
                                      << "0|Kowalscy||NULL";
        QTest::newRow("nothing changed") << "nothing"
                                         << "0|Kowalscy||NULL";
    }
    void savingPathsLeaveTheNumberUnused()
    {
        QFETCH(QString, change);
        QFETCH(QString, stored);
        TestEnv env;
        const int issued = checkedInGroup(env, "Hotel Pod Lipami");
        createCalculation(env.db(), issued);
        env.exec("UPDATE Kalk SET Typ = 2, Rach = 1, Nip = '111', data_wystawienia = '2026-07-15'");
        const int g = checkedInGroup(env);
        const int next = checkedInGroup(env, "Następni");
        Dialogs d;
        {
            TOplaty w(g, d.payments, d.clients);
            w.show();
            page(w, 2);
            QCOMPARE(text(w, "Rach"), QString("2"));
            if (change == "prepayment") {
                type(w, "Przedplata", "100");
            } else if (change == "client") {
                env.modal.push_back([&](QDialog& dialog) {
                    click(dialog, "OK");
                    return dialog.result();
                });
                click(w, "StaliKlienci");
            } else if (change == "transfer") {
                click(w, "Przelew");
            } else if (change == "cash") {
                click(w, "Gotowka");
            } else if (change == "number") {
                type(w, "Rach", "7");
            }
            click(w, "ZatwierdzPrzedplate");
            QCOMPARE(env.rows("SELECT Przedplata, Nazwa, Nip, sposob_zaplaty, Typ, Rach FROM Kalk "
                              "WHERE Identyfikator = ?",
                              {g}),
                     QStringList({stored + "|NULL|NULL"}));
            // The window goes on offering the number it showed.
            page(w, 0);
            page(w, 2);
            QCOMPARE(text(w, "Rach"), QString("2"));
        }
        TOplaty other(next, d.payments, d.clients);
        other.show();
        page(other, 2);
        QCOMPARE(text(other, "Rach"), QString("2"));
        QVERIFY(env.modal.empty());
        QCOMPARE(env.prompter().messages(Prompter::Icon::Error).size(), 0);
    }

    void cancelledInvoiceKeepsItsNumberThroughAPrepayment()
    {
        TestEnv env;
        const int g = checkedInGroup(env);
        createCalculation(env.db(), g);
        env.exec("UPDATE Kalk SET Rach = 5");
        Dialogs d;
        TOplaty w(g, d.payments, d.clients);
        w.show();
        page(w, 2);
        QCOMPARE(text(w, "Rach"), QString("5"));
        type(w, "Rach", "");
        type(w, "Przedplata", "10");
        click(w, "ZatwierdzPrzedplate");
        QCOMPARE(env.rows("SELECT Typ, Rach, Przedplata FROM Kalk"),
                 QStringList({"NULL|5|100000"}));
    }

    void issuedTransferShowsItsTerm()
    {
        TestEnv env;
        const int g = checkedInGroup(env);
        Dialogs d;
        {
            TOplaty w(g, d.payments, d.clients);
            w.show();
            page(w, 2);
            find<QDateEdit>(w, "DataWystawienia")->setDate(QDate(2002, 3, 1));
            click(w, "Przelew");
            find<QSpinBox>(w, "Termin")->setValue(14);
            env.prompter().inputs.push_back(std::nullopt);
            click(w, "Wystaw");
        }
        QCOMPARE(env.rows("SELECT data_wystawienia, termin_platnosci FROM Kalk"),
                 QStringList({"2002-03-01|2002-03-15"}));
        TOplaty again(g, d.payments, d.clients);
        again.show();
        page(again, 2);
        QVERIFY(find<QRadioButton>(again, "Przelew")->isChecked());
        QCOMPARE(find<QSpinBox>(again, "Termin")->value(), 14);
        QVERIFY(!find<QSpinBox>(again, "Termin")->isEnabled());
        QCOMPARE(find<QDateEdit>(again, "DataWystawienia")->date(), QDate(2002, 3, 1));
        QVERIFY(find<QPushButton>(again, "AnulujFakture")->isEnabled());
    }

    void regularClientsSearchStaysInForce()
    {
        TestEnv env;
        const int issued = checkedInGroup(env, "Hotel Pod Lipami");
        const int other = checkedInGroup(env, "Biuro Wczasy");
        const int third = checkedInGroup(env, "Trzecia");
        Dialogs d;
        {
            TOplaty w(issued, d.payments, d.clients);
            page(w, 2);
            type(w, "Nip", "111");
            env.prompter().inputs.push_back(std::nullopt);
            click(w, "Wystaw");
        }
        QStringList seen;
        {
            TOplaty w(other, d.payments, d.clients);
            w.show();
            page(w, 2);
            env.modal.push_back([&](QDialog& dialog) {
                seen << dialog.windowTitle();
                seen << column(find<QTableView>(dialog, "Klienci"), 1);
                type(dialog, "SzukajNazwa", "wczasy");
                QTest::keyClick(find<QLineEdit>(dialog, "SzukajNazwa"), Qt::Key_Return);
                seen << column(find<QTableView>(dialog, "Klienci"), 1);
                click(dialog, "OK");
                return dialog.result();
            });
            click(w, "StaliKlienci");
            QCOMPARE(text(w, "Nazwa"), QString("Biuro Wczasy"));
        }
        QCOMPARE(seen, QStringList(
                           {"Lista stałych klientów faktur", "Hotel Pod Lipami", "Biuro Wczasy"}));
        seen.clear();
        TOplaty w(third, d.payments, d.clients);
        w.show();
        page(w, 2);
        type(w, "Adres", "ul. Długa 1");
        env.modal.push_back([&](QDialog& dialog) {
            seen << column(find<QTableView>(dialog, "Klienci"), 1);
            type(dialog, "SzukajNip", "nic takiego");
            click(dialog, "Szukaj");
            seen << QString::number(find<QTableView>(dialog, "Klienci")->model()->rowCount());
            click(dialog, "OK");
            return dialog.result();
        });
        click(w, "StaliKlienci");
        QCOMPARE(seen, QStringList({"Biuro Wczasy", "0"}));
        QCOMPARE(text(w, "Nazwa"), QString());
        QCOMPARE(text(w, "Adres"), QString());
        QCOMPARE(text(w, "Nip"), QString());
        // "Pokaż wszystkie" empties the fields and lists every calculation.
        env.modal.push_back([&](QDialog& dialog) {
            click(dialog, "PokazWszystkie");
            seen << text(dialog, "SzukajNip")
                 << column(find<QTableView>(dialog, "Klienci"), 1).join(",");
            click(dialog, "Zamknij");
            return dialog.result();
        });
        type(w, "Nazwa", "zostaje");
        click(w, "StaliKlienci");
        QCOMPARE(seen.mid(2), QStringList({"", "Biuro Wczasy,Hotel Pod Lipami,Trzecia"}));
        QCOMPARE(text(w, "Nazwa"), QString("zostaje"));
    }

    void openedFromTheFrame()
    {
        TestEnv env;
        const int g = checkedInGroup(env);
        TGlowne main;
        wireCommands(main);
        main.show();
        main.openBilling(g);
        const QList<QMdiSubWindow*> children = main.childArea()->subWindowList();
        QCOMPARE(children.size(), 1);
        QVERIFY(children.first()->isMaximized());
        auto* billing = qobject_cast<TOplaty*>(children.first()->widget());
        QVERIFY(billing);
        QCOMPARE(billing->groupId(), g);
        // The dialogs belong to the frame, hidden until borrowed.
        QVERIFY(main.findChild<TRejestracjaOplaty*>());
        QVERIFY(!main.findChild<TRejestracjaOplaty*>()->isVisible());
        QVERIFY(main.findChild<TStaliKlienci*>());

        // Opening again leaves the calculation as it is.
        env.exec("UPDATE Kalk_det SET Brutto = 1 WHERE Nr_pokoju = '1'");
        main.openBilling(g);
        QCOMPARE(main.childArea()->subWindowList().size(), 2);
        QCOMPARE(env.rows("SELECT Brutto FROM Kalk_det ORDER BY \"No\""),
                 QStringList({"1", "3600000"}));
        click(*billing, "ZamknijOplaty");
        QTRY_COMPARE(main.childArea()->subWindowList().size(), 1);

        // After the stay editor dropped it, the calculation is made anew.
        env.exec("UPDATE Kalk SET VAT = '22', Znizka = 5");
        env.exec("DELETE FROM Kalk");
        env.exec("DELETE FROM Kalk_det");
        main.openBilling(g);
        QCOMPARE(env.rows("SELECT VAT, Znizka, Brutto FROM Kalk"), QStringList({"7|NULL|5100000"}));

        // A group that is not accommodated opens nothing and says why.
        main.openBilling(9999);
        QCOMPARE(main.childArea()->subWindowList().size(), 2);
        QCOMPARE(env.prompter().messages(Prompter::Icon::Error).last().text,
                 QString("Grupa 9999 nie jest zakwaterowana: nie można utworzyć kalkulacji."));
        QCOMPARE(env.scalar("SELECT count(*) FROM Kalk WHERE Identyfikator = 9999").toInt(), 0);
    }
};

REZYDO_TEST(TestBillingWindow);
#include "test_billing_window.moc"
