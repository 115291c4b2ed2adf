// The invoice page with an issued invoice: its calculation frozen, a
// correcting invoice issued through "Korekta faktury", the buyer's NIP
// checked when it is typed.
#include "billing/calculation.h"
#include "billing/invoice.h"
#include "billing/ui/billing_window.h"
#include "billing/ui/correction_dialog.h"
#include "billing/ui/payment_dialog.h"
#include "billing/ui/regular_clients_dialog.h"
#include "tests/billing/billing_fixture.h"
#include "tests/support/test_registry.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTabWidget>
#include <QTest>

using namespace billing_fixture;

namespace {
template <class T> T* find(QWidget& parent, const char* name)
{
    T* w = parent.findChild<T*>(QString::fromLatin1(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

void click(QWidget& parent, const char* name)
{
    QAbstractButton* b = find<QAbstractButton>(parent, name);
    QVERIFY2(b->isEnabled(), name);
    QTest::mouseClick(b, Qt::LeftButton);
}

// A group of one room, 3 nights at 120,00, with its calculation.
int calculatedGroup(TestEnv& env)
{
    addRoom(env, "1", 2, "A");
    addPrice(env, "A", "50", "120");
    const int g = addGroup(env, "Firma Nowak", 2, "2026-07-15", "2026-07-18");
    addRoomLine(env, g, "1", "2026-07-15", "2026-07-18", 2);
    createCalculation(env.db(), g);
    return g;
}

struct Dialogs {
    TRejestracjaOplaty payments;
    TStaliKlienci clients;
};
} // namespace

class TestCorrectionWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void issuedInvoiceIsCorrected()
    {
        TestEnv env;
        const int g = calculatedGroup(env);
        Dialogs d;
        TOplaty w(g, d.payments, d.clients);
        w.show();
        find<QTabWidget>(w, "Strony")->setCurrentIndex(2);
        QVERIFY(!find<QPushButton>(w, "KorektaFaktury")->isEnabled());
        env.prompter().inputs.push_back(std::nullopt);
        click(w, "Wystaw");
        QCOMPARE(env.rows("SELECT Typ, Rach, Seria FROM Kalk"), QStringList({"2|1|H"}));
        // The issued invoice's calculation cannot be edited any more.
        QVERIFY(find<QLineEdit>(w, "Oplata1")->isReadOnly());
        QVERIFY(find<QLineEdit>(w, "Brutto")->isReadOnly());
        QVERIFY(!find<QComboBox>(w, "KalkVAT")->isEnabled());
        QVERIFY(!find<QPushButton>(w, "ZastosujZnizke")->isEnabled());
        QVERIFY(find<QPushButton>(w, "AnulujFakture")->isEnabled());

        qint64 printed = 0;
        TKorekta::setPrinter([&](qint64 id, bool preview) { printed = preview ? id : -id; });
        QStringList seen;
        env.modal.push_back([&](QDialog& dialog) {
            seen << find<QLineEdit>(dialog, "NumerKorekty")->text();
            QAbstractItemModel* lines = find<QTableView>(dialog, "Pozycje")->model();
            seen << lines->index(0, 2).data().toString();
            click(dialog, "WystawKorekte"); // no reason yet
            lines->setData(lines->index(0, 4), "300,00");
            seen << lines->index(0, 5).data().toString();
            find<QLineEdit>(dialog, "Przyczyna")->setText("Jedna doba mniej");
            click(dialog, "WystawKorekte");
            seen << QString::number(find<QTableView>(dialog, "ListaKorekt")->model()->rowCount());
            click(dialog, "PodgladKorekty");
            return int(QDialog::Rejected);
        });
        click(w, "KorektaFaktury");
        TKorekta::setPrinter({});
        QVERIFY(env.modal.empty());
        QCOMPARE(seen, QStringList({"1", "360,00", "-60,00 zł", "1"}));
        QCOMPARE(env.prompter().log().mid(env.prompter().log().size() - 2),
                 QStringList({"Veltrano Rezydo|Podaj przyczynę korekty.",
                              "Faktura korygująca|Wystawiono fakturę korygującą nr 1/KOR/2026."}));
        QCOMPARE(printed, env.scalar("SELECT ID FROM Korekta").toLongLong());
        QCOMPARE(env.rows("SELECT Rach, Seria, Fakt_numer, Brutto_przed, Brutto_po FROM Korekta"),
                 QStringList({"1|KOR|1/H/2026|3600000|3000000"}));
        // A corrected invoice is not cancelled any more.
        QVERIFY(!find<QPushButton>(w, "AnulujFakture")->isEnabled());
    }

    // Another desk issued the proposed number while the page was open: the
    // invoice takes the next free one and says so.
    void proposalTakenMeanwhile()
    {
        TestEnv env;
        const int g = calculatedGroup(env);
        const int other = addGroup(env, "Inni", 1, "2026-07-15", "2026-07-16");
        addCalculation(env, other, {units("100")});
        env.exec("UPDATE Kalk SET Nazwa = 'Inni' WHERE Identyfikator = ?", {other});
        Dialogs d;
        TOplaty w(g, d.payments, d.clients);
        w.show();
        find<QTabWidget>(w, "Strony")->setCurrentIndex(2);
        QCOMPARE(find<QLineEdit>(w, "Rach")->text(), QString("1"));
        CalcHeader h = loadHeader(env.db(), other);
        issueInvoice(env.db(), h, QDate(2026, 7, 15), QDate(2026, 7, 15), PaymentMethod::Cash, 14,
                     std::nullopt, "H");
        env.prompter().inputs.push_back(std::nullopt);
        click(w, "Wystaw");
        QCOMPARE(env.rows("SELECT Rach FROM Kalk ORDER BY Identyfikator"), QStringList({"2", "1"}));
        QCOMPARE(find<QLineEdit>(w, "Rach")->text(), QString("2"));
        QCOMPARE(env.prompter().log().last(),
                 QString("Numer faktury|Numer 1 zajęła w międzyczasie inna faktura. Wystawiono "
                         "fakturę nr 2/H/2026."));
    }

    void nipCheckedWhenTyped()
    {
        TestEnv env;
        const int g = calculatedGroup(env);
        Dialogs d;
        TOplaty w(g, d.payments, d.clients);
        w.show();
        find<QTabWidget>(w, "Strony")->setCurrentIndex(2);
        find<QComboBox>(w, "RodzajNip")->setCurrentIndex(1);
        QLineEdit* nip = find<QLineEdit>(w, "Nip");
        nip->setText("123-456-78-90");
        emit nip->editingFinished();
        emit nip->editingFinished(); // the same text is not checked twice
        QCOMPARE(env.prompter().log(),
                 QStringList({"Identyfikator nabywcy|NIP nabywcy 1234567890 jest błędny: nie "
                              "zgadza się cyfra kontrolna. Sprawdź numer z dokumentem "
                              "nabywcy."}));
        nip->setText("PL 111 111 11 11");
        emit nip->editingFinished();
        QCOMPARE(nip->text(), QString("1111111111"));
        QCOMPARE(env.prompter().log().size(), 1);
    }
};

REZYDO_TEST(TestCorrectionWindow);
#include "test_correction_window.moc"
