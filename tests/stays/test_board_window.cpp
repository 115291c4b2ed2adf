#include "app/commands.h"
#include "app/main_window.h"
#include "stays/ui/board_view.h"
#include "stays/ui/board_window.h"
#include "stays/ui/stay_editor_window.h"
#include "tests/stays/stays_fixture.h"
#include "tests/support/test_registry.h"

#include <QAction>
#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

namespace {
template <class T> T* child(QWidget* w, const char* name)
{
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

// The main window with every command, and the board opened from its menu on
// days 1 to 28 of the fixture's August.
struct Desk {
    TGlowne main;
    TPlanPokoi* board = nullptr;
    QStringList calls;

    Desk()
    {
        wireCommands(main);
        main.handlers().openBilling = [this](int id) {
            calls << QStringLiteral("opłaty %1").arg(id);
        };
        main.handlers().openRegisterBrowse = [this](int id) {
            calls << QStringLiteral("książka %1").arg(id);
        };
        main.show();
        main.command(QStringLiteral("mnuPlanPokoi"))->trigger();
        board = newest<TPlanPokoi>();
        if (!board)
            qFatal("the board did not open");
        board->setFirst(day(1));
    }
    int row(const QString& room) const
    {
        const QList<BoardRoom>& rooms = board->view()->data().rooms;
        for (int r = 0; r < rooms.size(); ++r)
            if (rooms[r].number == room)
                return r;
        return -1;
    }
    template <class W> W* newest() const
    {
        const QList<QMdiSubWindow*> subs = main.childArea()->subWindowList(QMdiArea::CreationOrder);
        return subs.isEmpty() ? nullptr : qobject_cast<W*>(subs.last()->widget());
    }
};

QStringList chosenRows(QTableWidget* t)
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
} // namespace

class TestBoardWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Free cells of one room chosen and Enter pressed: the stay editor opens
    // for a new reservation of that room and period; a room taken in part
    // asks first how many single beds.
    void newReservationOfChosenCells_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("room");
        QTest::addColumn<int>("firstDay");
        QTest::addColumn<int>("lastDay");
        QTest::addColumn<int>("answer"); // of the single-beds window; -1: not shown
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QString>("message");

        QTest::newRow("whole free room") << QStringList{} << "12" << 0 << 2 << -1
                                         << QStringList{"12|2|A|2||2026-08-01|2026-08-04"} << "";
        QTest::newRow("single beds of a room taken in part")
            << QStringList{"R1 14 3 2 4 K"} << "14" << 1 << 2 << int(QDialog::Accepted)
            << QStringList{"14|4|B|1|K|2026-08-02|2026-08-04"} << "";
        QTest::newRow("single beds given up") << QStringList{"R1 14 3 2 4 K"} << "14" << 1 << 2
                                              << int(QDialog::Rejected) << QStringList{} << "";
        QTest::newRow("taken room")
            << QStringList{"K2 12 2 2 3"} << "12" << 0 << 2 << -1 << QStringList{}
            << "Nowa rezerwacja|Pokój 12 nie ma wolnych miejsc od 2026-08-01 do 2026-08-04.";
    }
    void newReservationOfChosenCells()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, room);
        QFETCH(int, firstDay);
        QFETCH(int, lastDay);
        QFETCH(int, answer);
        QFETCH(QStringList, chosen);
        QFETCH(QString, message);
        TestEnv env;
        addRooms(env, {"12:2:A:", "14:4:B:"});
        addLines(env, lines);
        Desk desk;
        QString asked;
        int mostBeds = 0;
        bool women = false;
        if (answer >= 0)
            env.modal.push_back([&](QDialog& d) {
                asked = d.findChildren<QLabel*>().first()->text();
                mostBeds = child<QSpinBox>(&d, "IloscMiejsc")->maximum();
                women = child<QRadioButton>(&d, "TypK")->isChecked();
                return answer;
            });
        desk.board->view()->selectCells(desk.row(room), firstDay, lastDay);
        QTest::keyClick(desk.board->view(), Qt::Key_Return);

        QCOMPARE(env.modal.size(), size_t(0));
        if (answer >= 0) {
            QVERIFY2(asked.contains("Wolnych miejsc: 1."), qPrintable(asked));
            QCOMPARE(mostBeds, 1);
            QVERIFY(women); // the gender of the beds already taken
        }
        QCOMPARE(env.unexpectedModals, 0);
        QCOMPARE(env.prompter().log(), message.isEmpty() ? QStringList() : QStringList{message});
        auto* editor = desk.newest<TRezerwacja>();
        QCOMPARE(editor != nullptr, !chosen.isEmpty());
        if (!editor)
            return;
        QCOMPARE(editor->windowTitle(), QString("Nowa rezerwacja"));
        QCOMPARE(chosenRows(child<QTableWidget>(editor, "RezPozycje")), chosen);
        QCOMPARE(child<QDateEdit>(editor, "Data_pocz")->date(), day(firstDay + 1));
        QCOMPARE(child<QDateEdit>(editor, "Data_kon")->date(), day(lastDay + 2));
        // The chosen room no longer counts as free in the editor.
        const QStringList free = chosenRows(child<QTableWidget>(editor, "WolnePokoje"));
        QVERIFY(std::none_of(free.begin(), free.end(),
                             [&](const QString& r) { return r.startsWith(room + '|'); }));
    }

    // A group chosen on the board shows its particulars and opens as in the
    // stay list; when the editor closes the board reads the database again.
    void opensGroupsAndFollowsTheDatabase()
    {
        TestEnv env;
        addRooms(env, {"12:2:A:", "14:4:B:"});
        addLines(env, {"R1 12 2 1 3", "K2 14 2 2 5 M"});
        env.exec("UPDATE Kwat_hot SET Nazwa = 'Nowak', Osob = 2, Notatki = 'Parking' "
                 "WHERE Identyfikator = 2");
        env.exec("INSERT INTO Kalk (Identyfikator, rozl) VALUES (2, 1)");
        env.exec(
            "INSERT INTO Arch_os (Identyfikator_o, Nazwisko, Imie) VALUES (7, 'Nowak', 'Jan')");
        env.exec("INSERT INTO Ksiazka (Identyfikator_g, Identyfikator_o, Nr_pokoju, Pelne_dane) "
                 "VALUES (2, 7, '14', 1), (2, 8, '14', 0)");
        Desk desk;
        BoardView* view = desk.board->view();

        view->selectGroup({false, 2});
        QCOMPARE(child<QLabel>(desk.board, "GrupaNazwa")->text(), QString("Nowak"));
        QCOMPARE(child<QLabel>(desk.board, "GrupaOkres")->text(),
                 QString("2026-08-02 – 2026-08-05"));
        QCOMPARE(child<QLabel>(desk.board, "GrupaPokoje")->text(), QString("14 (2 M)"));
        QCOMPARE(child<QLabel>(desk.board, "GrupaNotatki")->text(), QString("Parking"));
        QCOMPARE(child<QLabel>(desk.board, "GrupaRozliczona")->text(), QString("tak"));
        QCOMPARE(child<QLabel>(desk.board, "GrupaZameldowani")->text(), QString("1 z 2"));
        QCOMPARE(child<QListWidget>(desk.board, "Zameldowani")->item(0)->text(),
                 QString("Nowak Jan (14)"));
        child<QPushButton>(desk.board, "Oplaty")->click();
        child<QPushButton>(desk.board, "Ksiazka")->click();
        QCOMPARE(desk.calls, QStringList({"opłaty 2", "książka 2"}));

        // A reservation has no billing or register; Enter changes it in the editor.
        view->selectGroup({true, 1});
        QVERIFY(!child<QPushButton>(desk.board, "Oplaty")->isEnabled());
        QVERIFY(!child<QPushButton>(desk.board, "Ksiazka")->isEnabled());
        QTest::keyClick(view, Qt::Key_Return);
        auto* editor = desk.newest<TRezerwacja>();
        QVERIFY(editor);
        QCOMPARE(editor->windowTitle(), QString("Edycja rezerwacji"));
        QCOMPARE(chosenRows(child<QTableWidget>(editor, "RezPozycje")),
                 QStringList({"12|2|A|2||2026-08-01|2026-08-03"}));

        // Another desk books meanwhile; the board sees it when the editor closes.
        addLines(env, {"R3 12 2 10 12"});
        env.prompter().answers.push_back(true);
        child<QPushButton>(editor, "Zamknij")->click();
        QTRY_VERIFY(std::any_of(view->data().lines.begin(), view->data().lines.end(),
                                [](const BoardLine& l) { return l.group.id == 3; }));
        QCOMPARE(view->selectedGroup(), (BoardGroupKey{true, 1}));
    }

    void searchJumpsToTheGroup()
    {
        TestEnv env;
        addRooms(env, {"12:2:A:"});
        addLines(env, {"R1 12 2 1 3", "R2 12 2 60 62"});
        env.exec("UPDATE Rez_hot SET Nazwa = 'Żółta Łódka' WHERE Identyfikator = 2");
        Desk desk;
        auto* search = child<QLineEdit>(desk.board, "SzukajGrupy");
        search->setText("łÓDK");
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(desk.board->first(), day(59));
        QCOMPARE(desk.board->view()->selectedGroup(), (BoardGroupKey{true, 2}));
        QCOMPARE(child<QDateEdit>(desk.board, "PlanOd")->date(), day(59));

        search->setText("Nikt");
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(env.prompter().log(),
                 QStringList{"Plan pokoi|Nie znaleziono grupy, której nazwa zawiera \"Nikt\"."});
    }
};

REZYDO_TEST(TestBoardWindow);
#include "test_board_window.moc"
