#include "app/commands.h"
#include "app/main_window.h"
#include "core/days.h"
#include "core/frame.h"
#include "core/program_dir.h"
#include "stays/ui/stay_editor_window.h"
#include "tests/stays/stays_fixture.h"
#include "tests/support/failing_writes.h"
#include "tests/support/test_registry.h"

#include <QAction>
#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStyleHints>
#include <QTableWidget>
#include <QTabWidget>
#include <QTest>

Q_DECLARE_METATYPE(StayMode)

namespace {
template <class T> T* child(QWidget* w, const char* name)
{
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

QStringList tableRows(QTableWidget* t)
{
    QStringList out;
    for (int r = 0; r < t->rowCount(); ++r) {
        QStringList cells;
        for (int c = 1; c < t->columnCount(); ++c)
            cells << (t->item(r, c) ? t->item(r, c)->text() : QString());
        if (!cells.join(QString()).isEmpty())
            out << cells.join('|');
    }
    return out;
}

void selectRooms(QTableWidget* t, const QStringList& rooms)
{
    t->clearSelection();
    for (int r = 0; r < t->rowCount(); ++r)
        if (rooms.contains(t->item(r, 1)->text()))
            t->selectionModel()->select(t->model()->index(r, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void type(QWidget* w, const char* name, const QString& text)
{
    auto* edit = child<QLineEdit>(w, name);
    edit->clear();
    QTest::keyClicks(edit, text);
}

void click(QWidget* w, const char* name)
{
    child<QAbstractButton>(w, name)->click();
}

QColor summaryColour(QWidget* w)
{
    return child<QLabel>(w, "Podsumowanie")->palette().color(QPalette::WindowText);
}

QString tday(int offset)
{
    return dayText(QDate(2026, 7, 15).addDays(offset));
}

class RecordingFrame : public Frame {
public:
    QStringList calls;
    std::function<void()> onRegister;
    void registerGroup(int id) override
    {
        calls << QString("rejestracja %1").arg(id);
        if (onRegister)
            onRegister();
    }
    void openBilling(int id) override { calls << QString("opłaty %1").arg(id); }
};

class Listener : public QObject, public GroupListener {
public:
    QList<int> edited;
    void groupEdited(int id) override { edited << id; }
};

QStringList allRows(TestEnv& env)
{
    QStringList all;
    for (const char* t : {"Rez_hot", "Rez_msc", "Kwat_hot", "Kwat_msc", "Ksiazka", "Arch_os"})
        all << env.rows(QString("SELECT * FROM %1 ORDER BY rowid").arg(t));
    return all;
}
} // namespace

class TestStayEditor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void newReservationThroughTheControls()
    {
        TestEnv env;
        addRooms(env, {"12:2:A:dwuosobowy", "14:3:B:(2+1)"});
        TRezerwacja w(StayMode::NewReservation);
        w.start();
        w.show();
        QCOMPARE(w.windowTitle(), QString("Nowa rezerwacja"));
        QCOMPARE(child<QPushButton>(&w, "Zapisz")->text(), QString("Rezerwuj"));
        QCOMPARE(child<QPushButton>(&w, "Zamknij")->text(), QString("&Zamknij"));
        QCOMPARE(child<QDateEdit>(&w, "Data_pocz")->date(), QDate(2026, 7, 15));
        QCOMPARE(child<QDateEdit>(&w, "Data_kon1")->date(), QDate(2026, 7, 16));
        auto* rooms = child<QTableWidget>(&w, "WolnePokoje");
        QCOMPARE(tableRows(rooms), QStringList({"12|2|A|dwuosobowy", "14|3|B|(2+1)"}));
        QCOMPARE(child<QLabel>(&w, "LabelPokoi")->text(), QString("Pokoi : 2"));
        QCOMPARE(child<QLabel>(&w, "LabelMiejsc")->text(), QString("Miejsc : 5"));
        QCOMPARE(child<QLabel>(&w, "Podsumowanie")->text(), QString("Miejsc : 0 (-1)"));
        QCOMPARE(summaryColour(&w), QColor(Qt::red));

        type(&w, "Rezerwujacy", "Nowak");
        type(&w, "Il_os", "2");
        QTest::keyClicks(child<QPlainTextEdit>(&w, "notatki"), "cisza");
        selectRooms(rooms, {"12"});
        click(&w, "Dodaj");
        QCOMPARE(tableRows(child<QTableWidget>(&w, "RezPozycje")),
                 QStringList({"12|2|A|2||" + tday(0) + "|" + tday(1)}));
        QCOMPARE(tableRows(rooms), QStringList({"14|3|B|(2+1)"}));
        QCOMPARE(child<QLabel>(&w, "Podsumowanie")->text(), QString("Miejsc : 2"));
        QCOMPARE(summaryColour(&w), QColor(Qt::blue));

        click(&w, "Zapisz");
        QCOMPARE(env.rows("SELECT Identyfikator, Nazwa, Osob, Od, \"Do\", Notatki FROM Rez_hot"),
                 QStringList({"1|Nowak|2|" + tday(0) + "|" + tday(1) + "|cisza"}));
        QCOMPARE(env.rows("SELECT Identyfikator, Nr_pokoju, Od, \"Do\", Miejsc, Jaki FROM Rez_msc"),
                 QStringList({"1|12|" + tday(0) + "|" + tday(1) + "|2|"}));
        QVERIFY(env.prompter().shown.isEmpty());
        // ready for the next reservation, with the booked room gone
        QVERIFY(child<QLineEdit>(&w, "Rezerwujacy")->text().isEmpty());
        QCOMPARE(child<QLineEdit>(&w, "Il_os")->text(), QString("1"));
        QCOMPARE(tableRows(child<QTableWidget>(&w, "RezPozycje")), QStringList());
        QCOMPARE(tableRows(rooms), QStringList({"14|3|B|(2+1)"}));
    }

    void walkInThroughTheControls()
    {
        TestEnv env;
        addRooms(env, {"1:2:A:", "2:2:A:"});
        RecordingFrame recorder;
        setFrame(&recorder);
        TRezerwacja w(StayMode::NewAccommodation);
        w.start();
        w.show();
        QCOMPARE(w.windowTitle(), QString("Nowy kwaterunek"));
        QCOMPARE(child<QPushButton>(&w, "Zapisz")->text(), QString("Kwateruj"));
        type(&w, "Rezerwujacy", "Wycieczka");
        type(&w, "Il_os", "3");
        child<QTableWidget>(&w, "WolnePokoje")->selectAll();
        click(&w, "Dodaj");
        QCOMPARE(child<QLabel>(&w, "Podsumowanie")->text(), QString("Miejsc : 4 (+1)"));
        QCOMPARE(summaryColour(&w), QColor(Qt::red));
        env.prompter().answers = {true, true};
        click(&w, "Zapisz");
        setFrame(nullptr);

        QCOMPARE(env.rows("SELECT Identyfikator, Nazwa, Osob FROM Kwat_hot"),
                 QStringList({"1|Wycieczka|3"}));
        QCOMPARE(env.rows("SELECT Nr_pokoju, Miejsc FROM Kwat_msc ORDER BY rowid"),
                 QStringList({"1|2", "2|2"}));
        QCOMPARE(env.rows("SELECT Identyfikator_g, Nr_pokoju, Pelne_dane FROM Ksiazka"),
                 QStringList({"1|1|0", "1|1|0", "1|2|0"}));
        QCOMPARE(env.scalar("SELECT count(*) FROM Arch_os").toInt(), 3);
        QCOMPARE(env.prompter().log(),
                 QStringList({"Kwaterowanie|Czy chcesz teraz wpisać osoby z tej grupy do "
                              "książki meldunkowej ?",
                              "Kwaterowanie|Rozliczyć grupę ?"}));
        QVERIFY(env.prompter().shown[0].defaultYes && env.prompter().shown[1].defaultYes);
        QCOMPARE(recorder.calls, QStringList({"rejestracja 1", "opłaty 1"}));
        QCOMPARE(w.windowTitle(), QString("Nowy kwaterunek")); // reset for the next group
        QCOMPARE(tableRows(child<QTableWidget>(&w, "RezPozycje")), QStringList());
    }

    void doubleClickOnSaveSavesOnce_data()
    {
        QTest::addColumn<StayMode>("mode");
        QTest::addColumn<bool>("duringTheQuestions"); // else right after the first click
        QTest::addColumn<QString>("table");
        QTest::newRow("reservation: double click") << StayMode::NewReservation << false << "Rez";
        QTest::newRow("walk-in: double click") << StayMode::NewAccommodation << false << "Kwat";
        QTest::newRow("walk-in: a click while the save asks")
            << StayMode::NewAccommodation << true << "Kwat";
    }
    void doubleClickOnSaveSavesOnce()
    {
        QFETCH(StayMode, mode);
        QFETCH(bool, duringTheQuestions);
        QFETCH(QString, table);
        TestEnv env;
        addRooms(env, {"12:2:A:", "14:2:A:"});
        RecordingFrame recorder;
        setFrame(&recorder);
        const auto noFrame = qScopeGuard([] { setFrame(nullptr); });
        TRezerwacja w(mode);
        w.start();
        w.show();
        type(&w, "Rezerwujacy", "Nowak");
        type(&w, "Il_os", "2");
        selectRooms(child<QTableWidget>(&w, "WolnePokoje"), {"12"});
        click(&w, "Dodaj");
        auto* save = child<QPushButton>(&w, "Zapisz");
        if (isReservation(mode)) {
            QTest::mouseClick(save, Qt::LeftButton);
            QTest::mouseDClick(save, Qt::LeftButton); // the second press of a double click
            QTest::mouseRelease(save, Qt::LeftButton);
        } else {
            env.prompter().answers = {true, false};
            if (duringTheQuestions)
                recorder.onRegister = [save] { QTest::mouseClick(save, Qt::LeftButton); };
            QTest::mouseClick(save, Qt::LeftButton);
            if (!duringTheQuestions) {
                QTest::mouseDClick(save, Qt::LeftButton);
                QTest::mouseRelease(save, Qt::LeftButton);
            }
        }
        QCOMPARE(env.rows(QString("SELECT Nazwa FROM %1_hot").arg(table)), QStringList({"Nowak"}));
        QCOMPARE(env.rows(QString("SELECT Nr_pokoju FROM %1_msc").arg(table)), QStringList({"12"}));
        QCOMPARE(env.prompter().shown.size(), isReservation(mode) ? 0 : 2);
        QCOMPARE(tableRows(child<QTableWidget>(&w, "RezPozycje")), QStringList());
        // the window is ready again for the next group
        selectRooms(child<QTableWidget>(&w, "WolnePokoje"), {"14"});
        click(&w, "Dodaj");
        env.prompter().answers = {false, false};
        QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 100);
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(env.scalar(QString("SELECT count(*) FROM %1_hot").arg(table)).toInt(), 2);
    }

    void emptyNewGroupIsNotSaved_data()
    {
        QTest::addColumn<StayMode>("mode");
        QTest::addColumn<QString>("message");
        QTest::newRow("reservation")
            << StayMode::NewReservation
            << "Nowa rezerwacja|Nie wybrano żadnego pokoju. Rezerwacja nie została zapisana.";
        QTest::newRow("walk-in") << StayMode::NewAccommodation
                                 << "Nowy kwaterunek|Nie wybrano żadnego pokoju. Kwaterunek nie "
                                    "został zapisany.";
    }
    void emptyNewGroupIsNotSaved()
    {
        QFETCH(StayMode, mode);
        QFETCH(QString, message);
        TestEnv env;
        addRooms(env, {"12:2:A:"});
        TRezerwacja w(mode);
        w.start();
        w.show();
        type(&w, "Rezerwujacy", "Nowak");
        type(&w, "Il_os", "2");
        QTest::mouseClick(child<QPushButton>(&w, "Zapisz"), Qt::LeftButton);
        QCOMPARE(env.prompter().log(), QStringList({message}));
        QCOMPARE(env.prompter().shown[0].icon, Prompter::Icon::Warning);
        for (const char* t : {"Rez_hot", "Kwat_hot", "Ksiazka", "Arch_os"})
            QCOMPARE(env.scalar(QString("SELECT count(*) FROM %1").arg(t)).toInt(), 0);
        QCOMPARE(child<QLineEdit>(&w, "Rezerwujacy")->text(), QString("Nowak")); // kept
    }

    void singleBedsMoveTheRoomToFreePlaces()
    {
        TestEnv env;
        addRooms(env, {"3:3:B:"});
        TRezerwacja w(StayMode::NewReservation);
        w.start();
        w.show();
        auto* count = child<QLineEdit>(&w, "IloscMiejsc");
        QVERIFY(!count->isVisibleTo(&w));
        click(&w, "Pojedyncze");
        QVERIFY(count->isVisibleTo(&w));
        QCOMPARE(count->text(), QString("1"));
        click(&w, "TypK");
        selectRooms(child<QTableWidget>(&w, "WolnePokoje"), {"3"});
        click(&w, "Dodaj");
        auto* chosenTable = child<QTableWidget>(&w, "RezPozycje");
        const QString dates = "|" + tday(0) + "|" + tday(1);
        QCOMPARE(tableRows(chosenTable), QStringList({"3|3|B|1|K" + dates}));
        QCOMPARE(tableRows(child<QTableWidget>(&w, "WolnePokoje")), QStringList());

        child<QTabWidget>(&w, "Dostepnosc")->setCurrentIndex(1);
        auto* places = child<QTableWidget>(&w, "WolneMiejsca");
        QCOMPARE(tableRows(places), QStringList({"3|3|B|2|"}));
        QCOMPARE(child<QLabel>(&w, "LabelPokoi")->text(), QString());
        QCOMPARE(child<QLabel>(&w, "LabelMiejsc")->text(), QString("Miejsc : 2"));

        click(&w, "CalyPokoj"); // the rest of the room, the code stays
        selectRooms(places, {"3"});
        click(&w, "Dodaj");
        QCOMPARE(tableRows(chosenTable), QStringList({"3|3|B|3|K" + dates}));
        QCOMPARE(tableRows(places), QStringList());

        chosenTable->selectRow(0);
        QTest::keyClick(chosenTable, Qt::Key_Delete);
        QCOMPARE(tableRows(chosenTable), QStringList());
        child<QTabWidget>(&w, "Dostepnosc")->setCurrentIndex(0);
        QCOMPARE(tableRows(child<QTableWidget>(&w, "WolnePokoje")), QStringList({"3|3|B|"}));
    }

    void periodPickers_data()
    {
        QTest::addColumn<int>("departure"); // set first, as a day after today
        QTest::addColumn<QString>("picker");
        QTest::addColumn<int>("value");
        QTest::addColumn<QList<int>>("expected"); // group from, to, line from, to
        QTest::newRow("arrival moved past departure")
            << 1 << "Data_pocz" << 3 << QList<int>{3, 4, 3, 4};
        QTest::newRow("departure moved: line follows")
            << 5 << "Data_kon" << 6 << QList<int>{0, 6, 0, 6};
        QTest::newRow("departure before arrival")
            << 1 << "Data_kon" << -2 << QList<int>{0, 1, 0, 1};
        QTest::newRow("line from before arrival")
            << 5 << "Data_pocz1" << -3 << QList<int>{0, 5, 0, 5};
        QTest::newRow("line to after departure") << 5 << "Data_kon1" << 9 << QList<int>{0, 5, 0, 5};
        QTest::newRow("line from on departure") << 5 << "Data_pocz1" << 5 << QList<int>{0, 5, 4, 5};
        QTest::newRow("line to on arrival") << 5 << "Data_kon1" << 0 << QList<int>{0, 5, 0, 1};
        QTest::newRow("line inside is kept") << 5 << "Data_pocz1" << 2 << QList<int>{0, 5, 2, 5};
    }
    void periodPickers()
    {
        QFETCH(int, departure);
        QFETCH(QString, picker);
        QFETCH(int, value);
        QFETCH(QList<int>, expected);
        TestEnv env;
        TRezerwacja w(StayMode::NewReservation);
        w.start();
        const QDate today(2026, 7, 15);
        child<QDateEdit>(&w, "Data_kon")->setDate(today.addDays(departure));
        w.findChild<QDateEdit*>(picker)->setDate(today.addDays(value));
        QList<int> got;
        for (const char* name : {"Data_pocz", "Data_kon", "Data_pocz1", "Data_kon1"})
            got << int(today.daysTo(child<QDateEdit>(&w, name)->date()));
        QCOMPARE(got, expected);
    }

    void newPeriodRereadsAvailability()
    {
        TestEnv env;
        addRooms(env, {"1:2:A:"});
        addLines(env, {"K1 1 1 " + QString::number(-13) + " -10"}); // far before
        TRezerwacja w(StayMode::NewReservation);
        w.start();
        auto* rooms = child<QTableWidget>(&w, "WolnePokoje");
        QCOMPARE(tableRows(rooms), QStringList({"1|2|A|"}));
        env.exec("INSERT INTO Kwat_msc (Identyfikator, Nr_pokoju, Miejsc, Od, \"Do\") "
                 "VALUES (2, '1', 1, ?, ?)",
                 {tday(3), tday(6)});
        child<QPushButton>(&w, "OdswiezPokoje")->click(); // same period: the cached result
        QCOMPARE(tableRows(rooms), QStringList({"1|2|A|"}));
        child<QDateEdit>(&w, "Data_kon")->setDate(QDate(2026, 7, 20));
        QCOMPARE(tableRows(rooms), QStringList());
    }

    void closingQuestion_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("no keeps the window") << false;
        QTest::newRow("yes closes it") << true;
    }
    void closingQuestion()
    {
        QFETCH(bool, answer);
        TestEnv env;
        TRezerwacja w(StayMode::NewReservation);
        w.start();
        w.show();
        env.prompter().answers = {answer};
        click(&w, "Zamknij");
        QCOMPARE(env.prompter().log(), QStringList({"Zamknięcie okienka|Czy chcesz zamknąc "
                                                    "okienko i anulować zmiany ?"}));
        QVERIFY(!env.prompter().shown[0].defaultYes);
        QCOMPARE(w.isVisible(), !answer);
    }

    void programExitAsksTheEditor()
    {
        TestEnv env;
        TGlowne main;
        wireCommands(main);
        main.show();
        QVERIFY(main.command("mnuKwaterowanieBezRezerwacji")->isEnabled());
        main.command("mnuWprowadzanieRezerwacji")->trigger();
        QCOMPARE(main.childArea()->subWindowList().size(), 1);
        QVERIFY(main.childArea()->subWindowList()[0]->isMaximized());
        env.prompter().answers = {false};
        QVERIFY(!main.close());
        QCOMPARE(env.prompter().log(), QStringList({"Zamknięcie okienka|Czy chcesz zamknąc "
                                                    "okienko i anulować zmiany ?"}));
        env.prompter().answers = {true, false};
        QVERIFY(main.close());
        QCOMPARE(env.prompter().log().size(), 3); // the question, then the backup question
    }

    void doubleBookingQuestion_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("no keeps the input") << false;
        QTest::newRow("yes saves") << true;
    }
    void doubleBookingQuestion()
    {
        QFETCH(bool, answer);
        TestEnv env;
        addRooms(env, {"12:2:A:", "14:2:A:"});
        TRezerwacja w(StayMode::NewReservation);
        w.start();
        w.show();
        child<QTableWidget>(&w, "WolnePokoje")->selectAll();
        click(&w, "Dodaj");
        // another copy of the program books a bed in both rooms meanwhile
        addLines(env, {"K7 12 1 -30 30", "K7 14 1 -30 30"});
        env.prompter().answers = {answer};
        click(&w, "Zapisz");
        QCOMPARE(env.prompter().log(),
                 QStringList({"Zajęte miejsca|W pokojach: 12, 14 w wybranym terminie nie ma już "
                              "tylu wolnych miejsc. Czy mimo to zapisać?"}));
        QCOMPARE(env.scalar("SELECT count(*) FROM Rez_msc").toInt(), answer ? 2 : 0);
        QCOMPARE(tableRows(child<QTableWidget>(&w, "RezPozycje")).size(), answer ? 0 : 2);
    }

    void anotherChildWindowClosesTheEditor()
    {
        TestEnv env;
        TGlowne main;
        wireCommands(main);
        main.show();
        main.command("mnuWprowadzanieRezerwacji")->trigger();
        QPointer<QWidget> editor = main.childArea()->subWindowList()[0]->widget();
        QMdiSubWindow* other = main.addChild(new QWidget);
        main.childArea()->setActiveSubWindow(other);
        QTRY_VERIFY(editor.isNull());
        QVERIFY(env.prompter().shown.isEmpty());
    }

    void aWindowOpenedBySavingClosesTheEditorAfterwards()
    {
        TestEnv env;
        addRooms(env, {"1:2:A:"});
        TGlowne main;
        wireCommands(main);
        main.show();
        main.command("mnuKwaterowanieBezRezerwacji")->trigger();
        QPointer<QWidget> editor = main.childArea()->subWindowList()[0]->widget();
        // the registration window takes over while the save is running
        main.handlers().registerGroup = [&](int) {
            main.childArea()->setActiveSubWindow(main.addChild(new QWidget));
            QCoreApplication::processEvents();
            QVERIFY(!editor.isNull());
        };
        type(editor, "Il_os", "2");
        child<QTableWidget>(editor, "WolnePokoje")->selectAll();
        click(editor, "Dodaj");
        env.prompter().answers = {true, false};
        click(editor, "Zapisz");
        QTRY_VERIFY(editor.isNull());
        QCOMPARE(env.prompter().log().size(), 2); // both questions, no closing question
        QCOMPARE(env.scalar("SELECT count(*) FROM Ksiazka").toInt(), 2);
    }

    void aDialogTakingTheFocusClosesTheEditor()
    {
        TestEnv env;
        auto* w = new TRezerwacja(StayMode::NewReservation);
        w->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<QWidget> editor = w;
        w->start();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QDialog dialog;
        dialog.show();
        dialog.activateWindow();
        QTRY_VERIFY(editor.isNull());
        QVERIFY(env.prompter().shown.isEmpty());
    }

    void changeReservationRefreshesTheCallingList()
    {
        TestEnv env;
        addRooms(env, {"1:2:A:", "2:2:A:"});
        addLines(env, {"R1 1 2 1 3"});
        TGlowne main;
        wireCommands(main);
        main.show();
        Listener list;
        main.openStayEditor(1, true, &list);
        QPointer<QWidget> editor = main.childArea()->subWindowList()[0]->widget();
        QCOMPARE(editor->windowTitle(), QString("Edycja rezerwacji"));
        QCOMPARE(child<QPushButton>(editor, "Zapisz")->text(), QString("Zmień rezerwację"));
        QCOMPARE(child<QLineEdit>(editor, "Rezerwujacy")->text(), QString("Grupa"));
        QCOMPARE(child<QDateEdit>(editor, "Data_pocz")->date(), day(1));
        QCOMPARE(tableRows(child<QTableWidget>(editor, "RezPozycje")),
                 QStringList({"1|2|A|2||" + dayStr(1) + "|" + dayStr(3)}));
        // its own room is free to it
        QCOMPARE(tableRows(child<QTableWidget>(editor, "WolnePokoje")), QStringList({"2|2|A|"}));

        env.prompter().answers = {false};
        click(editor, "Zamknij");
        QCOMPARE(list.edited, QList<int>{1}); // refreshed before the question
        QVERIFY(!editor.isNull());

        type(editor, "Rezerwujacy", "Zmieniona");
        click(editor, "Zapisz");
        QTRY_VERIFY(editor.isNull());
        QCOMPARE(list.edited, QList<int>({1, 1}));
        QCOMPARE(env.scalar("SELECT Nazwa FROM Rez_hot").toString(), QString("Zmieniona"));
        QCOMPARE(env.prompter().log().size(), 1); // no closing question after the save
    }

    void theStayListHandsOverAGroup()
    {
        TestEnv env;
        addRooms(env, {"1:2:A:"});
        addLines(env, {"R1 1 2 1 3"});
        TGlowne main;
        wireCommands(main);
        main.show();
        main.command("mnuModyfikowanieRezerwacji")->trigger();
        QWidget* list = main.childArea()->subWindowList()[0]->widget();
        main.childArea()->setActiveSubWindow(main.childArea()->subWindowList()[0]);
        QTest::mouseClick(child<QPushButton>(list, "Zmien"), Qt::LeftButton);
        QCOMPARE(main.childArea()->subWindowList().size(), 2);
        QPointer<QWidget> editor = main.childArea()->subWindowList()[1]->widget();
        QCOMPARE(editor->windowTitle(), QString("Edycja rezerwacji"));
        QTest::qWait(50); // the list handing over does not close the editor
        QVERIFY(!editor.isNull());
        type(editor, "Rezerwujacy", "Po zmianie");
        click(editor, "Zapisz");
        QTRY_VERIFY(editor.isNull());
        QCOMPARE(env.scalar("SELECT Nazwa FROM Rez_hot").toString(), QString("Po zmianie"));
        QVERIFY(env.prompter().shown.isEmpty());
    }

    void failedChangeIsShownAndChangesNothing()
    {
        TestEnv env;
        addRooms(env, {"1:2:A:"});
        addLines(env, {"K1 1 2 1 3"});
        env.exec("INSERT INTO Ksiazka (Identyfikator_g, Identyfikator_o, Od, \"Do\", Nr_pokoju) "
                 "VALUES (1, 1, ?, ?, '1')",
                 {dayStr(1), dayStr(3)});
        env.exec("INSERT INTO Kalk (Identyfikator) VALUES (1)");
        refuseWrites(env, "INSERT", "Arch_os", "pełno");
        const QStringList before = allRows(env);
        TGlowne main;
        wireCommands(main);
        main.show();
        main.openStayEditor(1, false, nullptr);
        QPointer<QWidget> editor = main.childArea()->subWindowList()[0]->widget();
        QCOMPARE(editor->windowTitle(), QString("Edycja kwaterunku"));
        QCOMPARE(child<QPushButton>(editor, "Zapisz")->text(), QString("Zmień kwaterunek"));
        child<QDateEdit>(editor, "Data_kon1")->setDate(day(2));
        child<QTableWidget>(editor, "RezPozycje")->selectRow(0);
        click(editor, "Usun");
        type(editor, "Il_os", "3");
        click(editor, "Zapisz");
        QCOMPARE(env.prompter().log(), QStringList({kProgramName + "|pełno"}));
        QCOMPARE(env.prompter().shown[0].icon, Prompter::Icon::Error);
        QCOMPARE(allRows(env), before);
        QCOMPARE(env.scalar("SELECT count(*) FROM Kalk").toInt(), 1);
        QVERIFY(!editor.isNull()); // the input stays for another try
    }
};

REZYDO_TEST(TestStayEditor);
#include "test_stay_editor.moc"
