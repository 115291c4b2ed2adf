#include "app/commands.h"
#include "app/main_window.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTableView>
#include <QTabWidget>
#include <QTest>

namespace {
// The frame with every menu command wired, shown and active, with a
// reservation, an accommodation group of today with one guest, and a former
// guest in the archive.
struct Desk {
    TestEnv env;
    TGlowne main;

    Desk()
    {
        env.exec("INSERT INTO Pokoje (Nr_Pokoju, Miejsc, Typ, Opis) VALUES ('1', 2, 'A', '')");
        env.exec("INSERT INTO Cennik (Typ, Cena1, Cena2, Cena3, Cena4) "
                 "VALUES ('A', 500000, 500000, 1200000, 1200000)");
        env.exec("INSERT INTO Rez_hot (Nazwa, Osob, Od, \"Do\") "
                 "VALUES ('Rezerwacja', 2, '2026-07-20', '2026-07-22')");
        env.exec("INSERT INTO Kwat_hot (Nazwa, Osob, Od, \"Do\") "
                 "VALUES ('Kwaterunek', 1, '2026-07-14', '2026-07-17')");
        env.exec("INSERT INTO Kwat_msc (Identyfikator, Nr_pokoju, Od, \"Do\", Miejsc, Jaki) "
                 "VALUES (1, '1', '2026-07-14', '2026-07-17', 1, 'K')");
        env.exec("INSERT INTO Arch_os (Nazwisko, Imie, ID_Panstwo) VALUES ('Nowak', 'Anna', 1)");
        env.exec("INSERT INTO Ksiazka (Identyfikator_g, Identyfikator_o, Od, \"Do\", Nr_pokoju, "
                 "Pelne_dane) VALUES (1, 1, '2026-07-14', '2026-07-17', '1', 1)");
        env.exec(
            "INSERT INTO Arch_os (Nazwisko, Imie, ID_Panstwo) VALUES ('Wiśniewska', 'Ewa', 1)");
        wireCommands(main);
        main.show();
        main.activateWindow();
        if (!QTest::qWaitForWindowActive(&main))
            qWarning("the frame did not become active");
    }
    ~Desk()
    {
        // An open menu would outlive the frame as a popup of its own.
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    }

    // Runs a menu command; the child window it opened, if any.
    QWidget* open(const QByteArray& command)
    {
        main.command(QString::fromLatin1(command))->trigger();
        QMdiSubWindow* sub = main.childArea()->activeSubWindow();
        return sub ? sub->widget() : nullptr;
    }
    // Where the receptionist's keys go: the focus of the frame.
    QWidget* keys()
    {
        QWidget* focus = main.focusWidget();
        return focus ? focus : &main;
    }
    // The menu the menu bar has opened ("" when none).
    QString openMenu() const
    {
        const QAction* active = main.menuBar()->activeAction();
        return active && active->menu() ? active->menu()->objectName() : QString();
    }
    int children() const { return static_cast<int>(main.childArea()->subWindowList().size()); }
};

// The widgets Tab stops at, by name, from the start of `window` up to and
// including the one named `last`.
QStringList tabStops(QWidget* window, const QString& last)
{
    QStringList stops;
    for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
        if (!window->isAncestorOf(w) || !(w->focusPolicy() & Qt::TabFocus) || w->focusProxy() ||
            !w->isVisible() || !w->isEnabled())
            continue;
        // A date field's inner line edit stands for the field.
        QWidget* field = qobject_cast<QAbstractSpinBox*>(w->parentWidget()) ? w->parentWidget() : w;
        stops << field->objectName();
        if (stops.last() == last)
            break;
    }
    return stops;
}
} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Alt and the letter of a button of the active child window click it, even
    // where the menu bar has the same letter; "closes" windows go, the stay
    // editor after its question.
    void childAccessKeysActAtOnce_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("closes");
        QTest::newRow("check-out, Alt+W")
            << QByteArray("mnuWykwaterowanie") << "Wykwateruj" << int(Qt::Key_W) << false;
        QTest::newRow("register, Alt+Z")
            << QByteArray("mnuModyfikowanieKsiazki") << "Zamknij" << int(Qt::Key_Z) << true;
        QTest::newRow("persons per night, Alt+Z")
            << QByteArray("mnuOsobyDoba") << "Zamknij" << int(Qt::Key_Z) << true;
        QTest::newRow("price list, Alt+Z")
            << QByteArray("mnuCennik") << "Zamknij" << int(Qt::Key_Z) << true;
        QTest::newRow("stay editor, Alt+Z")
            << QByteArray("mnuWprowadzanieRezerwacji") << "Zamknij" << int(Qt::Key_Z) << true;
    }
    void childAccessKeysActAtOnce()
    {
        QFETCH(QByteArray, command);
        QFETCH(QString, button);
        QFETCH(int, key);
        QFETCH(bool, closes);
        Desk d;
        // The stay editor asks before it closes; no other question needs a Yes.
        d.env.prompter().answers = {command == "mnuWprowadzanieRezerwacji"};
        const QPointer<QWidget> child = d.open(command);
        QVERIFY(child);
        auto* b = child->findChild<QAbstractButton*>(button);
        QVERIFY(b);
        QSignalSpy clicked(b, &QAbstractButton::clicked);
        QTest::keyClick(d.keys(), Qt::Key(key), Qt::AltModifier);
        QTRY_COMPARE(clicked.count(), 1);
        QCOMPARE(d.openMenu(), QString());
        if (closes)
            QTRY_VERIFY(child.isNull());
    }

    // "&Rejestruj opłatę" answers Alt+R at once, not "&Recepcja".
    void altRInBillingRegistersAPayment()
    {
        Desk d;
        d.main.openBilling(1);
        QCOMPARE(d.main.childArea()->activeSubWindow()->widget()->objectName(), QString("Oplaty"));
        QStringList shown;
        d.env.modal.push_back([&](QDialog& dialog) {
            shown << dialog.objectName();
            return int(QDialog::Rejected);
        });
        QTest::keyClick(d.keys(), Qt::Key_R, Qt::AltModifier);
        QTRY_COMPARE(shown, QStringList({"RejestracjaOplaty"}));
        QCOMPARE(d.openMenu(), QString());
        QCOMPARE(d.env.unexpectedModals, 0);
    }

    // Controls of one window sharing a letter: each press goes on to the next
    // one and clicks nothing ("&Zmień" and "&Zamknij" of the stay list, the
    // labels "&Data wystawienia" and "&Data sprzedaży" of the invoice page).
    void sharedLetterMovesTheFocus_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("focused");
        QTest::newRow("reservations, Alt+Z")
            << QByteArray("mnuModyfikowanieRezerwacji") << int(Qt::Key_Z)
            << QStringList({"Zmien", "Zamknij", "Zmien"});
        QTest::newRow("invoice page, Alt+D")
            << QByteArray() << int(Qt::Key_D)
            << QStringList({"DataWystawienia", "DataSprzedazy", "DataWystawienia"});
    }
    void sharedLetterMovesTheFocus()
    {
        QFETCH(QByteArray, command);
        QFETCH(int, key);
        QFETCH(QStringList, focused);
        Desk d;
        if (command.isEmpty()) {
            d.main.openBilling(1);
            d.main.childArea()
                ->activeSubWindow()
                ->widget()
                ->findChild<QTabWidget*>("Strony")
                ->setCurrentIndex(2);
        } else {
            QVERIFY(d.open(command));
        }
        const int children = d.children();
        QStringList seen;
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(d.keys(), Qt::Key(key), Qt::AltModifier);
            QWidget* focus = d.main.focusWidget();
            seen << (qobject_cast<QAbstractSpinBox*>(focus->parentWidget())
                         ? focus->parentWidget()->objectName()
                         : focus->objectName());
        }
        QCOMPARE(seen, focused);
        QCOMPARE(d.openMenu(), QString());
        QTest::qWait(150); // a click would come after its animation
        QCOMPARE(d.children(), children);
        QVERIFY(d.env.prompter().shown.isEmpty());
    }

    // The menu bar's letters still work where the child window has no control
    // with that letter; a disabled button showing the letter keeps it.
    void menuLettersWhereTheWindowHasNone_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("menu");
        QTest::newRow("no child window, Alt+Z")
            << QByteArray() << int(Qt::Key_Z) << "mnuZestawienia";
        QTest::newRow("no child window, Alt+R") << QByteArray() << int(Qt::Key_R) << "mnuRecepcja";
        QTest::newRow("reservations, Alt+R")
            << QByteArray("mnuModyfikowanieRezerwacji") << int(Qt::Key_R) << "mnuRecepcja";
        QTest::newRow("reservations, Alt+A")
            << QByteArray("mnuModyfikowanieRezerwacji") << int(Qt::Key_A) << "mnuAdministracja";
        QTest::newRow("price list, disabled Anuluj, Alt+A")
            << QByteArray("mnuCennik") << int(Qt::Key_A) << "";
    }
    void menuLettersWhereTheWindowHasNone()
    {
        QFETCH(QByteArray, command);
        QFETCH(int, key);
        QFETCH(QString, menu);
        Desk d;
        if (!command.isEmpty())
            QVERIFY(d.open(command));
        const int children = d.children();
        QTest::keyClick(d.keys(), Qt::Key(key), Qt::AltModifier);
        QCOMPARE(d.openMenu(), menu);
        QCOMPARE(d.children(), children);
    }

    void f10OpensTheMenu_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::newRow("no child window") << QByteArray();
        QTest::newRow("reservations") << QByteArray("mnuModyfikowanieRezerwacji");
        QTest::newRow("stay editor") << QByteArray("mnuWprowadzanieRezerwacji");
    }
    void f10OpensTheMenu()
    {
        QFETCH(QByteArray, command);
        Desk d;
        if (!command.isEmpty())
            QVERIFY(d.open(command));
        QTest::keyClick(d.keys(), Qt::Key_F10);
        QCOMPARE(d.openMenu(), QString("mnuRecepcja"));
        QTRY_VERIFY(d.main.findChild<QMenu*>("mnuRecepcja")->isVisible());
    }

    // Enter on a row does what a double click on it does.
    void enterOnARowRunsTheWindowsAction_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QString>("grid");
        QTest::addColumn<QString>("result");
        QTest::newRow("reservations: change") << QByteArray("mnuModyfikowanieRezerwacji") << "Grupy"
                                              << "child TRezerwacja";
        QTest::newRow("accommodations: change")
            << QByteArray("mnuModyfikowanieKwaterunku") << "Grupy"
            << "child TRezerwacja";
        QTest::newRow("check-out: check out") << QByteArray("mnuWykwaterowanie") << "Grupy"
                                              << "question Wykwaterowanie : Krok 1/3";
        QTest::newRow("payments: billing") << QByteArray("mnuOplaty") << "Grupy"
                                           << "child Oplaty";
        QTest::newRow("register: change") << QByteArray("mnuModyfikowanieKsiazki") << "Lista"
                                          << "dialog TFormKsiazka";
    }
    void enterOnARowRunsTheWindowsAction()
    {
        QFETCH(QByteArray, command);
        QFETCH(QString, grid);
        QFETCH(QString, result);
        Desk d;
        QWidget* list = d.open(command);
        QVERIFY(list);
        auto* view = list->findChild<QTableView*>(grid);
        QVERIFY(view && view->model()->rowCount() > 0);
        view->setFocus();
        view->selectRow(0);
        QStringList dialogs;
        d.env.modal.push_back([&](QDialog& dialog) {
            dialogs << dialog.objectName();
            return int(QDialog::Rejected);
        });
        QTest::keyClick(view, Qt::Key_Return);
        QString seen;
        if (!dialogs.isEmpty())
            seen = "dialog " + dialogs.join(' ');
        else if (!d.env.prompter().shown.isEmpty())
            seen = "question " + d.env.prompter().shown.first().caption;
        else if (QMdiSubWindow* sub = d.main.childArea()->activeSubWindow(); sub->widget() != list)
            seen = "child " + sub->widget()->objectName();
        QCOMPARE(seen, result);
    }

    // In the archive opened from the menu Enter asks for the person's details.
    void enterInTheArchiveShowsTheDetails()
    {
        Desk d;
        QStringList shown;
        d.env.modal.push_back([&](QDialog& dialog) {
            shown << dialog.objectName();
            auto* grid = dialog.findChild<QTableView*>("Lista");
            grid->setFocus();
            grid->selectRow(0);
            QTest::keyClick(grid, Qt::Key_Enter, Qt::KeypadModifier);
            return dialog.result();
        });
        for (int i = 0; i < 2; ++i)
            d.env.modal.push_back([&](QDialog& dialog) {
                shown << dialog.objectName();
                return int(QDialog::Rejected);
            });
        d.open("mnuArchiwum");
        QCOMPARE(shown, QStringList({"TArchiwum", "TDaneKlienta", "TArchiwum"}));
    }

    // Tab reaches a list's grid right after the fields that search it.
    void tabReachesTheGridAfterItsSearchFields_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QStringList>("stops");
        QTest::newRow("stay list")
            << QByteArray("mnuModyfikowanieRezerwacji")
            << QStringList{"SzukajId",   "SzukajNazwa", "SzukajOd", "SzukajDo",
                           "SzukajOsob", "SzukajPokoj", "Grupy"};
        QTest::newRow("register") << QByteArray("mnuModyfikowanieKsiazki")
                                  << QStringList{"Rodzaj",     "SzukajNazwa", "SzukajNazwisko",
                                                 "SzukajImie", "SzukajPokoj", "SzukajOd",
                                                 "SzukajDo",   "Lista"};
        QTest::newRow("current guests")
            << QByteArray("mnuSpisZakwaterowanych")
            << QStringList{"Rodzaj",      "SzukajNazwisko", "SzukajImie", "SzukajNazwa",
                           "SzukajPokoj", "SzukajOd",       "SzukajDo",   "Lista"};
        QTest::newRow("arrivals") << QByteArray("mnuPrzyjezdzajacy")
                                  << QStringList{"Data",     "SzukajNazwa", "SzukajPokoj",
                                                 "SzukajOd", "SzukajDo",    "SzukajMiejsc",
                                                 "Lista"};
        QTest::newRow("reservation list") << QByteArray("mnuListaRezerwacji")
                                          << QStringList{"SzukajNazwa", "SzukajPokoj",  "SzukajOd",
                                                         "SzukajDo",    "SzukajMiejsc", "Lista"};
        QTest::newRow("groups of a day")
            << QByteArray("mnuGrupyWDniu") << QStringList{"Data", "Lista"};
        QTest::newRow("person archive")
            << QByteArray("mnuArchiwum")
            << QStringList{"Rodzaj",      "SzukajNazwisko", "SzukajImie", "SzukajAdres",
                           "SzukajPokoj", "SzukajOd",       "SzukajDo",   "Lista"};
        QTest::newRow("stay editor")
            << QByteArray("mnuWprowadzanieRezerwacji")
            << QStringList{"Rezerwujacy",  "Il_os",        "Data_pocz",
                           "Data_kon",     "notatki",      "qt_tabwidget_tabbar",
                           "FiltrPokoje1", "FiltrPokoje2", "FiltrPokoje3",
                           "FiltrPokoje4", "WolnePokoje"};
    }
    void tabReachesTheGridAfterItsSearchFields()
    {
        QFETCH(QByteArray, command);
        QFETCH(QStringList, stops);
        Desk d;
        QStringList seen;
        d.env.modal.push_back([&](QDialog& dialog) {
            seen = tabStops(&dialog, stops.last());
            return int(QDialog::Rejected);
        });
        if (QWidget* child = d.open(command))
            seen = tabStops(child, stops.last());
        QCOMPARE(seen, stops);
    }

    // Tab goes on from the notes of the stay editor; Enter makes a new line.
    void tabLeavesTheNotes()
    {
        Desk d;
        QWidget* editor = d.open("mnuWprowadzanieRezerwacji");
        auto* notes = editor->findChild<QPlainTextEdit*>("notatki");
        notes->setFocus();
        QTest::keyClicks(notes, "Hala");
        QTest::keyClick(notes, Qt::Key_Return);
        QTest::keyClicks(notes, "obiad");
        QTest::keyClick(notes, Qt::Key_Tab);
        QCOMPARE(notes->toPlainText(), QString("Hala\nobiad"));
        QWidget* focus = d.main.focusWidget();
        QVERIFY(focus != notes);
        QCOMPARE(focus->parentWidget()->objectName(), QString("Dostepnosc"));
    }

    // Escape closes every parameter window and ends its command.
    void escapeClosesTheParameterWindows_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QString>("window");
        const std::pair<const char*, const char*> rows[] = {
            {"mnuNieuregulowanePlatnosci", "TFormRapDlugi"},
            {"mnuOplatyWOkresie", "TFormRapOplaty"},
            {"mnuSpisZakwaterowanych", "TFormRapAktualneKwaterunki"},
            {"mnuWolnePokoje", "TFormRapPokoje"},
            {"mnuPrzyjezdzajacy", "TFormRapOsoby"},
            {"mnuWyjezdzajacy", "TFormRapOsoby"},
            {"mnuListaRezerwacji", "TFormRapOsoby"},
            {"mnuZestawienieFaktur", "TFormRapFaktury"},
            {"mnuGrupyWDniu", "TFormRapMeldunki"},
            {"mnuWykorzystaniePokoi", "TFormRapWykorzystanie"},
            {"mnuRabaty", "TFormRabaty"},
            {"mnuPotwierdzenieRezerwacji", "TFormRapPotwierdzenie"},
        };
        for (const auto& [command, window] : rows)
            QTest::newRow(command) << QByteArray(command) << QString::fromLatin1(window);
    }
    void escapeClosesTheParameterWindows()
    {
        QFETCH(QByteArray, command);
        QFETCH(QString, window);
        Desk d;
        QStringList shown;
        d.env.modal.push_back([&](QDialog& dialog) {
            shown << dialog.objectName();
            QWidget* first = dialog.focusWidget();
            if (!first) {
                first = dialog.nextInFocusChain();
                while (!(first->focusPolicy() & Qt::TabFocus) || !first->isVisible())
                    first = first->nextInFocusChain();
            }
            QTest::keyClick(first, Qt::Key_Escape);
            if (dialog.isVisible())
                dialog.reject();
            else
                shown << "closed";
            return dialog.result();
        });
        d.open(command);
        QCOMPARE(shown, QStringList({window, "closed"}));
        QCOMPARE(d.env.unexpectedModals, 0);
    }

    void escapeClosesThePersonsPerNightWindow()
    {
        Desk d;
        const QPointer<QWidget> child = d.open("mnuOsobyDoba");
        QVERIFY(child);
        QTest::keyClick(d.keys(), Qt::Key_Escape);
        QTRY_VERIFY(child.isNull());
    }
};

REZYDO_TEST(TestKeyboard);
#include "test_keyboard.moc"
