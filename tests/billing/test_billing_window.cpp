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
template <class T> T* find(QWidget& parent, const char* name) {
    T* w = parent.findChild<T*>(QString::fromLatin1(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

QString text(QWidget& parent, const char* name) {
    return find<QLineEdit>(parent, name)->text();
}

void click(QWidget& parent, const char* name) {
    QAbstractButton* b = find<QAbstractButton>(parent, name);
    QVERIFY2(b->isEnabled(), name);
    QTest::mouseClick(b, Qt::LeftButton);
}

// Replaces the text of a field as a user would type it.
void type(QWidget& parent, const char* name, const QString& value) {
    QLineEdit* edit = find<QLineEdit>(parent, name);
    edit->selectAll();
    if (value.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, value);
}

QStringList column(QTableView* view, int col) {
    QStringList out;
    for (int r = 0; r < view->model()->rowCount(); ++r)
        out << view->model()->index(r, col).data().toString();
    return out;
}

void page(QWidget& w, int index) {
    find<QTabWidget>(w, "Strony")->setCurrentIndex(index);
}

// A checked-in group: room 1 (3 beds) taken by 2, room 2 (2 beds) taken whole.
int checkedInGroup(TestEnv& env, const QString& name = QStringLiteral("Kowalscy")) {
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
    void wholeRoadOfAGroup() {
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
        QCOMPARE(seen, QStringList({"Rejestracja opłaty", "Paragon", "0001/#", "504,00 zł",
                                    "504,00", "2026-07-15", "1", "204,00"}));
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
        type(w, "Nip", "123-456-78-90");
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
                 QStringList({"5040000|329800|10|grupa|1|2|1|Firma Kowalski|123-456-78-90|"
                              "2026-07-15|2026-07-15|2026-07-29|2"}));
        QCOMPARE(env.rows("SELECT Identyfikator, Nr_kwit, Wplata, Data, Typ FROM Kwit"),
                 QStringList({QString("%1|0001/2026#|3000000|2026-07-15|1").arg(g),
                              QString("%1|1|2040000|2026-07-15|2").arg(g)}));
        QCOMPARE(env.prompter().messages(Prompter::Icon::Error).size(), 0);
    }
};

REZYDO_TEST(TestBillingWindow);
#include "test_billing_window.moc"
