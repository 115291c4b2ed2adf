#include "admin/ui/countries_window.h"
#include "admin/ui/hotel_data_window.h"
#include "admin/ui/price_list_window.h"
#include "admin/ui/rooms_window.h"
#include "core/program_dir.h"
#include "db/data_module.h"
#include "tests/admin/admin_fixture.h"
#include "tests/support/test_registry.h"

#include <QComboBox>

namespace {
void addRooms(TestEnv& env, const QStringList& numbers)
{
    for (const QString& n : numbers)
        env.exec("INSERT INTO Pokoje (Nr_Pokoju, Miejsc, Typ, Opis) VALUES (?, 2, 'A', '(1+1)')",
                 {n});
}

QStringList gridColumn(QTableView* grid, int column)
{
    QStringList out;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        out << grid->model()->index(r, column).data().toString();
    return out;
}
} // namespace

class TestRoomsWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void addedRoomTakesItsPlace()
    {
        AdminFixture f;
        addRooms(f.env, {"1", "2"});
        f.env.exec("INSERT INTO Cennik VALUES ('A', 1000000, 1000000, 2000000, 2000000)");
        f.env.exec("INSERT INTO Cennik VALUES ('LUX', 3000000, 3000000, 5000000, 5000000)");
        auto* w = f.open<TPokoje>("mnuUstawieniePokoi");
        QVERIFY(w);
        auto* grid = control<QTableView>(w, "Lista");
        QCOMPARE(gridColumn(grid, 0), QStringList({"1", "2"}));
        QCOMPARE(grid->model()->headerData(3, Qt::Horizontal).toString(), QString("Opis"));

        click(w, "Dodaj");
        QCOMPARE(w->cursor().state(), TableCursor::State::Insert);
        QTest::keyClicks(control<QLineEdit>(w, "NumerPokoju"), "10");
        QTest::keyClicks(control<QLineEdit>(w, "IloscMiejsc"), "3");
        auto* typ = control<QComboBox>(w, "Typ");
        QCOMPARE(typ->model()->index(1, 1).data().toString(), QString("300,00"));
        typ->setFocus();
        QTest::keyClick(typ, Qt::Key_Down); // from nothing chosen to the first type
        QTest::keyClick(typ, Qt::Key_Down);
        QCOMPARE(typ->currentText(), QString("LUX"));
        QTest::keyClicks(control<QLineEdit>(w, "Opis"), "(2+1)");
        // Another copy of the program adds a room meanwhile; "&Ok" reads the list again.
        addRooms(f.env, {"5"});
        click(w, "Ok");

        QCOMPARE(f.env.rows("SELECT Nr_Pokoju, Miejsc, Typ, Opis FROM Pokoje WHERE Nr_Pokoju='10'"),
                 QStringList({"10|3|LUX|(2+1)"}));
        QCOMPARE(gridColumn(grid, 0), QStringList({"1", "2", "5", "10"}));
        QCOMPARE(w->cursor().value("Nr_Pokoju").toString(), QString("10"));
        QCOMPARE(grid->currentIndex().row(), 3);
        QVERIFY(f.env.prompter().shown.isEmpty());
    }

    void typingStartsAnEdit_data()
    {
        QTest::addColumn<QString>("box");
        QTest::newRow("Numer pokoju") << "NumerPokoju";
        QTest::newRow("Ilość miejsc") << "IloscMiejsc";
        QTest::newRow("Opis") << "Opis";
        QTest::newRow("Typ") << "Typ";
    }
    void typingStartsAnEdit()
    {
        QFETCH(QString, box);
        AdminFixture f;
        addRooms(f.env, {"1"});
        f.env.exec("INSERT INTO Cennik (Typ) VALUES ('A'), ('B')");
        auto* w = f.open<TPokoje>("mnuUstawieniePokoi");
        QVERIFY(!enabled(w, "Ok") && !enabled(w, "Anuluj") && enabled(w, "Usun"));
        QWidget* c = w->findChild<QWidget*>(box);
        QVERIFY(c);
        if (auto* combo = qobject_cast<QComboBox*>(c)) {
            QCOMPARE(combo->currentText(), QString("A"));
            QTest::keyClick(combo, Qt::Key_Down);
            QCOMPARE(w->cursor().value("Typ").toString(), QString("B"));
        } else {
            QTest::keyClicks(c, "7");
        }
        QCOMPARE(w->cursor().state(), TableCursor::State::Edit);
        QVERIFY(enabled(w, "Ok") && enabled(w, "Anuluj"));

        click(w, "Anuluj");
        QCOMPARE(w->cursor().state(), TableCursor::State::Browse);
        QVERIFY(!enabled(w, "Ok") && !enabled(w, "Anuluj"));
        QCOMPARE(control<QLineEdit>(w, "NumerPokoju")->text(), QString("1"));
        QCOMPARE(control<QLineEdit>(w, "IloscMiejsc")->text(), QString("2"));
        QCOMPARE(control<QComboBox>(w, "Typ")->currentText(), QString("A"));
        QCOMPARE(f.env.rows("SELECT Nr_Pokoju, Miejsc, Typ, Opis FROM Pokoje"),
                 QStringList({"1|2|A|(1+1)"}));
    }

    void deletesWithoutAQuestion()
    {
        AdminFixture f;
        addRooms(f.env, {"1", "2", "3"});
        auto* w = f.open<TPokoje>("mnuUstawieniePokoi");
        auto* grid = control<QTableView>(w, "Lista");
        clickRow(grid, 1);
        QCOMPARE(w->cursor().current(), 1);
        QCOMPARE(control<QLineEdit>(w, "NumerPokoju")->text(), QString("2"));
        click(w, "Usun");
        QCOMPARE(f.env.rows("SELECT Nr_Pokoju FROM Pokoje"), QStringList({"1", "3"}));
        QCOMPARE(gridColumn(grid, 0), QStringList({"1", "3"}));
        QVERIFY(f.env.prompter().shown.isEmpty());
        click(w, "Usun");
        click(w, "Usun");
        QVERIFY(w->cursor().isEmpty());
        QVERIFY(!enabled(w, "Usun"));
    }

    void refusedRoomStaysInInsert_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("beds");
        QTest::addColumn<QString>("engine");
        // The refusal in the words of the file's engine and of the server.
        auto row = [](const char* name, QString c0, QString c1, QString file, QString server) {
            QTest::newRow(name) << c0 << c1 << (TestEnv::onServer() ? server : file);
        };
        row("longer than 9", "1234567890", "2", "CHECK constraint failed",
            "violates check constraint");
        row("duplicate", "1", "2", "UNIQUE constraint failed", "duplicate key value");
        row("no number", "", "2", "NOT NULL constraint failed", "violates not-null constraint");
        row("beds not a number", "7", "dwa", "CHECK constraint failed",
            "invalid input syntax for type integer");
    }
    void refusedRoomStaysInInsert()
    {
        QFETCH(QString, number);
        QFETCH(QString, beds);
        QFETCH(QString, engine);
        AdminFixture f;
        addRooms(f.env, {"1"});
        auto* w = f.open<TPokoje>("mnuUstawieniePokoi");
        click(w, "Dodaj");
        QTest::keyClicks(control<QLineEdit>(w, "NumerPokoju"), number);
        QTest::keyClicks(control<QLineEdit>(w, "IloscMiejsc"), beds);
        click(w, "Ok");

        expectOneError(f.env, engine);
        QCOMPARE(w->cursor().state(), TableCursor::State::Insert);
        QVERIFY(enabled(w, "Ok"));
        QCOMPARE(control<QLineEdit>(w, "NumerPokoju")->text(), number);
        QCOMPARE(f.env.scalar("SELECT count(*) FROM Pokoje").toInt(), 1);

        // Closing tries once more, shows the refusal and drops the new row.
        click(w, "Zamknij");
        QCOMPARE(f.env.prompter().messages(Prompter::Icon::Error).size(), 2);
        QCOMPARE(f.env.data().rooms().state(), TableCursor::State::Browse);
        QCOMPARE(f.env.data().rooms().rowCount(), 1);
    }

    void exitSavesPendingChange()
    {
        AdminFixture f;
        addRooms(f.env, {"1"});
        auto* w = f.open<TPokoje>("mnuUstawieniePokoi");
        QTest::keyClicks(control<QLineEdit>(w, "Opis"), "!");
        f.main.close(); // the backup question is answered No
        QCOMPARE(f.env.rows("SELECT Opis FROM Pokoje"), QStringList({"(1+1)!"}));
    }
};

class TestPriceListWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void copiesVisiblePrices_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored");
        // The row starts as A | 100 | 90 | 200 | 180, Cena2 and Cena4 set elsewhere.
        auto row = [](const char* name, QString c0, QString c1, QString c2) {
            QTest::newRow(name) << c0 << c1 << c2;
        };
        row("za miejsce", "CenaZaMiejsce", "120", "A|1200000|1200000|2000000|2000000");
        row("za pokój", "CenaZaPokoj", "250,50", "A|1000000|1000000|2505000|2505000");
        row("point", "CenaZaMiejsce", "99.9", "A|999000|999000|2000000|2000000");
        row("emptied", "CenaZaMiejsce", "", "A|NULL|NULL|2000000|2000000");
        row("type only keeps next-night prices", "Typ", "B", "B|1000000|900000|2000000|1800000");
    }
    void copiesVisiblePrices()
    {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, stored);
        AdminFixture f;
        f.env.exec("INSERT INTO Cennik VALUES ('A', 1000000, 900000, 2000000, 1800000)");
        auto* w = f.open<TCennik>("mnuCennik");
        QCOMPARE(control<QLineEdit>(w, "CenaZaMiejsce")->text(), QString("100,00"));
        QVERIFY(!control<QLineEdit>(w, "CenaZaMiejsceNastepny")->isVisible());
        retype(w->findChild<QLineEdit*>(box), text);
        QCOMPARE(w->cursor().state(), TableCursor::State::Edit);
        click(w, "Ok");
        QCOMPARE(f.env.rows("SELECT Typ, Cena1, Cena2, Cena3, Cena4 FROM Cennik"),
                 QStringList({stored}));
        QVERIFY(f.env.prompter().shown.isEmpty());
    }

    void textThatIsNoAmountIsRefused()
    {
        AdminFixture f;
        f.env.exec("INSERT INTO Cennik VALUES ('A', 1000000, 1000000, 2000000, 2000000)");
        f.env.exec("INSERT INTO Cennik VALUES ('B', 1, 1, 1, 1)");
        auto* w = f.open<TCennik>("mnuCennik");
        auto* price = control<QLineEdit>(w, "CenaZaMiejsce");
        retype(price, "12x50");
        click(w, "Ok");
        QCOMPARE(f.env.prompter().log(),
                 QStringList({kProgramName + "|\"12x50\" nie jest prawidłową kwotą (Cena za "
                                             "miejsce).\r\nProszę podać kwotę, na przykład 120 "
                                             "lub 120,50."}));
        QCOMPARE(w->cursor().state(), TableCursor::State::Edit);
        QCOMPARE(price->text(), QString("12x50"));
        // Typing the other price keeps the refused text in its box.
        retype(control<QLineEdit>(w, "CenaZaPokoj"), "210");
        QCOMPARE(price->text(), QString("12x50"));
        // Leaving the row would save it, so the grid stays on it.
        clickRow(control<QTableView>(w, "Lista"), 1);
        QTRY_COMPARE(control<QTableView>(w, "Lista")->currentIndex().row(), 0);
        QCOMPARE(w->cursor().current(), 0);
        QCOMPARE(f.env.prompter().shown.size(), 2);

        retype(price, "12,50");
        click(w, "Ok");
        QCOMPARE(f.env.rows("SELECT Typ, Cena1, Cena2, Cena3, Cena4 FROM Cennik WHERE Typ='A'"),
                 QStringList({"A|125000|125000|2100000|2100000"}));
    }
};

// The room and price-list windows close as soon as another window is
// activated, saving what was typed.
class TestSelfClosing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void closesWhenAnotherChildActivates_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("stored");
        auto row = [](const char* name, QString c0, QString c1, QString c2, QString c3) {
            QTest::newRow(name) << c0 << c1 << c2 << c3;
        };
        row("rooms", "mnuUstawieniePokoi", "Opis", "SELECT Opis FROM Pokoje", "Z");
        row("price list", "mnuCennik", "Typ", "SELECT Typ FROM Cennik", "AZ");
    }
    void closesWhenAnotherChildActivates()
    {
        QFETCH(QString, command);
        QFETCH(QString, box);
        QFETCH(QString, check);
        QFETCH(QString, stored);
        AdminFixture f;
        f.env.exec("INSERT INTO Pokoje (Nr_Pokoju, Miejsc, Typ, Opis) VALUES ('1', 2, 'A', '')");
        f.env.exec("INSERT INTO Cennik (Typ) VALUES ('A')");
        f.main.command(command)->trigger();
        QMdiSubWindow* sub = f.main.childArea()->subWindowList().value(0);
        QVERIFY(sub);
        QPointer<QWidget> w = sub->widget();
        f.main.childArea()->setActiveSubWindow(sub);
        QTest::keyClicks(w->findChild<QLineEdit*>(box), "Z");

        auto* countries = f.open<TPanstwa>("mnuUstawieniePanstw");
        f.activate(countries);
        QTRY_VERIFY(w.isNull());
        QCOMPARE(f.env.rows(check), QStringList({stored}));
        QCOMPARE(f.main.childArea()->subWindowList().size(), 1);
        QVERIFY(countries->isVisible());
    }

    void closesWhenTheHotelWindowActivates()
    {
        AdminFixture f;
        QPointer<TPokoje> w = f.open<TPokoje>("mnuUstawieniePokoi");
        QVERIFY(w);
        auto* hotel = f.open<TKonfiguracja>("mnuKonfiguracja");
        QVERIFY(hotel);
        QTRY_VERIFY(w.isNull());
    }
};

REZYDO_TEST(TestRoomsWindow);
REZYDO_TEST(TestPriceListWindow);
REZYDO_TEST(TestSelfClosing);
#include "test_setup_windows.moc"
