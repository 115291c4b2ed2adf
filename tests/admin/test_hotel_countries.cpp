#include "admin/ui/countries_window.h"
#include "admin/ui/hotel_data_window.h"
#include "core/program_dir.h"
#include "core/settings.h"
#include "db/data_module.h"
#include "tests/admin/admin_fixture.h"
#include "tests/support/test_registry.h"

namespace {
QString setting(const char* name) {
    return readSetting(QString::fromLatin1(name)).value_or(QStringLiteral("<brak>"));
}
} // namespace

class TestHotelDataWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void invoiceExtensionShown_data() {
        QTest::addColumn<QString>("stored"); // "<brak>": not in the store
        QTest::addColumn<QString>("shown");
        QTest::newRow("missing") << "<brak>"
                                 << "H";
        QTest::newRow("empty") << ""
                               << "H";
        QTest::newRow("present") << "A/2026"
                                 << "A/2026";
    }
    void invoiceExtensionShown() {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        AdminFixture f;
        if (stored != "<brak>")
            writeSetting("FakturaRoz", stored);
        auto* w = f.open<TKonfiguracja>("mnuKonfiguracja");
        QVERIFY(w);
        QVERIFY(!w->parentWidget() || w->isWindow());
        QCOMPARE(control<QLineEdit>(w, "Rozszerzenie")->text(), shown);
        QVERIFY(!control<QLineEdit>(w, "UstBank")->isVisible());
        QCOMPARE(control<QLineEdit>(w, "UstBank")->text(), QString("Bank"));
        QVERIFY(!w->settingsChanged());

        // "&Ok" without touching the settings box writes nothing.
        QPointer<TKonfiguracja> alive = w;
        click(w, "Ok");
        QVERIFY(!alive || !alive->isVisible());
        QCOMPARE(setting("FakturaRoz"), stored);
        QCOMPARE(setting("Bank"), QString("<brak>"));
        QCOMPARE(setting("Konto"), QString("<brak>"));
    }

    void changedExtensionWritesAllThree_data() {
        QTest::addColumn<QString>("bank"); // in the store before
        QTest::addColumn<QString>("writtenBank");
        QTest::newRow("bank and account missing") << "<brak>"
                                                  << "Bank";
        QTest::newRow("bank present") << "PKO BP"
                                      << "PKO BP";
    }
    void changedExtensionWritesAllThree() {
        QFETCH(QString, bank);
        QFETCH(QString, writtenBank);
        AdminFixture f;
        if (bank != "<brak>")
            writeSetting("Bank", bank);
        auto* w = f.open<TKonfiguracja>("mnuKonfiguracja");
        retype(control<QLineEdit>(w, "Rozszerzenie"), "R");
        QVERIFY(w->settingsChanged());
        QCOMPARE(f.env.data().config().state(), TableCursor::State::Browse);
        click(w, "Ok");
        QCOMPARE(setting("FakturaRoz"), QString("R"));
        QCOMPARE(setting("Bank"), writtenBank);
        QCOMPARE(setting("Konto"), QString("Konto"));
    }

    void configRowSavedOrDropped_data() {
        QTest::addColumn<QString>("button"); // "" for the close box
        QTest::addColumn<QString>("stored");
        QTest::newRow("Ok") << "Ok"
                            << "Hotel Pod Lipami|Kraków|1234";
        QTest::newRow("Anuluj") << "Anuluj"
                                << "|Kraków|";
        QTest::newRow("close box") << ""
                                   << "|Kraków|";
    }
    void configRowSavedOrDropped() {
        QFETCH(QString, button);
        QFETCH(QString, stored);
        AdminFixture f;
        f.env.exec("UPDATE Config SET Miejscowosc='Kraków'");
        auto* w = f.open<TKonfiguracja>("mnuKonfiguracja");
        QCOMPARE(control<QLineEdit>(w, "Miejscowosc")->text(), QString("Kraków"));
        QTest::keyClicks(control<QLineEdit>(w, "Nazwa"), "Hotel Pod Lipami");
        QTest::keyClicks(control<QLineEdit>(w, "Konto"), "1234");
        QCOMPARE(f.env.data().config().state(), TableCursor::State::Edit);
        if (button.isEmpty())
            w->close();
        else
            click(w, qPrintable(button));
        QCOMPARE(f.env.rows("SELECT Nazwa, Miejscowosc, NrKonta FROM Config"),
                 QStringList({stored}));
        // The shared row carries nothing half edited to the invoice.
        QCOMPARE(f.env.data().config().state(), TableCursor::State::Browse);
        QCOMPARE(f.env.data().config().value("Nazwa").toString(), stored.section('|', 0, 0));
        QCOMPARE(setting("FakturaRoz"), QString("<brak>"));
    }

    void refusedRowKeepsWindowAndSettings() {
        AdminFixture f;
        auto* w = f.open<TKonfiguracja>("mnuKonfiguracja");
        QPointer<TKonfiguracja> alive = w;
        QTest::keyClicks(control<QLineEdit>(w, "NIP"), QString(21, QLatin1Char('1')));
        retype(control<QLineEdit>(w, "Rozszerzenie"), "R");
        click(w, "Ok");
        const auto errors = f.env.prompter().messages(Prompter::Icon::Error);
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors[0].caption, kProgramName);
        QVERIFY(alive && alive->isVisible());
        QCOMPARE(f.env.data().config().state(), TableCursor::State::Edit);
        QCOMPARE(setting("FakturaRoz"), QString("<brak>"));
    }

    void emptyConfigTableGetsItsRow() {
        AdminFixture f;
        f.env.exec("DELETE FROM Config");
        auto* w = f.open<TKonfiguracja>("mnuKonfiguracja");
        QTest::keyClicks(control<QLineEdit>(w, "Nazwa"), "Rezydencja");
        click(w, "Ok");
        QCOMPARE(f.env.rows("SELECT Nazwa FROM Config"), QStringList({"Rezydencja"}));
    }
};

class TestCountriesWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void frameAndEnabling() {
        AdminFixture f;
        f.env.exec("INSERT INTO Panstwo (Nazwa) VALUES ('Polska'), ('Niemcy')");
        auto* w = f.open<TPanstwa>("mnuUstawieniePanstw");
        QVERIFY(w);
        auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget());
        QVERIFY(sub);
        QCOMPARE(sub->windowTitle(), QString("Ustawienie państw"));
        QVERIFY(sub->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(sub->windowFlags() & Qt::WindowMaximizeButtonHint));

        auto* nazwa = control<QLineEdit>(w, "NazwaPanstwa");
        auto* grid = control<QTableView>(w, "Lista");
        QCOMPARE(grid->model()->columnCount(), 1);
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QString("Nazwa"));
        QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(nazwa->text(), QString("Polska"));
        QVERIFY(nazwa->isReadOnly());
        QVERIFY(enabled(w, "Dodaj") && enabled(w, "Usun"));
        QVERIFY(!enabled(w, "Ok") && !enabled(w, "Anuluj"));

        click(w, "Dodaj");
        QVERIFY(!nazwa->isReadOnly());
        QVERIFY(!enabled(w, "Dodaj") && !enabled(w, "Usun"));
        QVERIFY(enabled(w, "Ok") && enabled(w, "Anuluj"));
        QTest::keyClicks(nazwa, "Czechy");
        click(w, "Anuluj");
        QVERIFY(nazwa->isReadOnly());
        QCOMPARE(grid->model()->rowCount(), 2);
        QCOMPARE(f.env.scalar("SELECT count(*) FROM Panstwo").toInt(), 2);
    }

    void addingEnds_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("enter"); // Enter in the box instead of "&Ok"
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<bool>("stillAdding");
        const QStringList before{"Polska", "Niemcy"};
        QTest::newRow("Ok with a name")
            << "Czechy" << false << before + QStringList{"Czechy"} << false;
        QTest::newRow("Ok with empty name drops the row") << "" << false << before << false;
        QTest::newRow("Enter with a name")
            << "Czechy" << true << before + QStringList{"Czechy"} << false;
        QTest::newRow("Enter with empty name does nothing") << "" << true << before << true;
        QTest::newRow("duplicate name")
            << "Polska" << false << before + QStringList{"Polska"} << false;
    }
    void addingEnds() {
        QFETCH(QString, name);
        QFETCH(bool, enter);
        QFETCH(QStringList, stored);
        QFETCH(bool, stillAdding);
        AdminFixture f;
        f.env.exec("INSERT INTO Panstwo (Nazwa) VALUES ('Polska'), ('Niemcy')");
        auto* w = f.open<TPanstwa>("mnuUstawieniePanstw");
        auto* nazwa = control<QLineEdit>(w, "NazwaPanstwa");
        click(w, "Dodaj");
        QTest::keyClicks(nazwa, name);
        if (enter)
            QTest::keyClick(nazwa, Qt::Key_Return);
        else
            click(w, "Ok");
        QCOMPARE(f.env.rows("SELECT Nazwa FROM Panstwo ORDER BY ID"), stored);
        QCOMPARE(w->countries().state(),
                 stillAdding ? TableCursor::State::Insert : TableCursor::State::Browse);
        if (stillAdding)
            return;
        auto* grid = control<QTableView>(w, "Lista");
        QCOMPARE(grid->model()->rowCount(), stored.size());
        // A saved country is the last row and the selected one.
        QCOMPARE(grid->currentIndex().row(),
                 name.isEmpty() ? w->countries().current() : static_cast<int>(stored.size()) - 1);
        QCOMPARE(nazwa->text(), w->countries().value("Nazwa").toString());
        QVERIFY(f.env.prompter().shown.isEmpty());
    }

    void deleteChecks_data() {
        QTest::addColumn<bool>("inRegister");
        QTest::addColumn<bool>("inArchive");
        QTest::addColumn<QString>("message"); // empty: deleted
        const QString reg = "Nie można usunąć tego państwa, ponieważ istnieją wpisy w książce "
                            "meldunkowej powiązane z tym państwem.";
        const QString arch = "Nie można usunąć tego państwa, ponieważ istnieją osoby w archiwum "
                             "klientów powiązane z tym państwem.";
        QTest::newRow("register entry") << true << false << reg;
        QTest::newRow("person record") << false << true << arch;
        QTest::newRow("both: register first") << true << true << reg;
        QTest::newRow("nothing names the home country") << false << false << QString();
    }
    void deleteChecks() {
        QFETCH(bool, inRegister);
        QFETCH(bool, inArchive);
        QFETCH(QString, message);
        AdminFixture f;
        f.env.exec("INSERT INTO Panstwo (Nazwa) VALUES ('Polska'), ('Niemcy')");
        // The other country is named everywhere, so only the home country's rows count.
        f.env.exec("INSERT INTO Ksiazka (Identyfikator_g, Identyfikator_o, ID_Panstwo) "
                   "VALUES (1, 1, 2)");
        f.env.exec("INSERT INTO Arch_os (Nazwisko, ID_Panstwo) VALUES ('Schmidt', 2)");
        if (inRegister)
            f.env.exec("INSERT INTO Ksiazka (Identyfikator_g, Identyfikator_o, ID_Panstwo) "
                       "VALUES (1, 2, 1)");
        if (inArchive)
            f.env.exec("INSERT INTO Arch_os (Nazwisko, ID_Panstwo) VALUES ('Nowak', 1)");
        auto* w = f.open<TPanstwa>("mnuUstawieniePanstw");
        QCOMPARE(w->countries().value("ID").toInt(), 1);
        click(w, "Usun");
        if (message.isEmpty()) {
            QVERIFY(f.env.prompter().shown.isEmpty());
            QCOMPARE(f.env.rows("SELECT Nazwa FROM Panstwo"), QStringList({"Niemcy"}));
            QCOMPARE(control<QLineEdit>(w, "NazwaPanstwa")->text(), QString("Niemcy"));
            return;
        }
        const auto warnings = f.env.prompter().messages(Prompter::Icon::Warning);
        QCOMPARE(f.env.prompter().shown.size(), 1);
        QCOMPARE(warnings.size(), 1);
        QCOMPARE(warnings[0].caption, QString("Usuwanie państwa - błąd!"));
        QCOMPARE(warnings[0].text, message);
        QCOMPARE(f.env.scalar("SELECT count(*) FROM Panstwo").toInt(), 2);
    }

    void tooLongNameRefused() {
        AdminFixture f;
        auto* w = f.open<TPanstwa>("mnuUstawieniePanstw");
        click(w, "Dodaj");
        QTest::keyClicks(control<QLineEdit>(w, "NazwaPanstwa"), QString(51, QLatin1Char('x')));
        click(w, "Ok");
        const auto errors = f.env.prompter().messages(Prompter::Icon::Error);
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors[0].caption, kProgramName);
        QCOMPARE(w->countries().state(), TableCursor::State::Insert);
        QCOMPARE(f.env.scalar("SELECT count(*) FROM Panstwo").toInt(), 0);
    }

    void deletingTheOnlyCountry() {
        AdminFixture f;
        f.env.exec("INSERT INTO Panstwo (Nazwa) VALUES ('Polska')");
        auto* w = f.open<TPanstwa>("mnuUstawieniePanstw");
        click(w, "Usun");
        QVERIFY(w->countries().isEmpty());
        QCOMPARE(control<QTableView>(w, "Lista")->model()->rowCount(), 0);
        click(w, "Usun"); // nothing left: does nothing
        QVERIFY(f.env.prompter().shown.isEmpty());
        QCOMPARE(control<QLineEdit>(w, "NazwaPanstwa")->text(), QString());
    }

    void menuEntriesEnabled() {
        AdminFixture f;
        for (const char* name :
             {"mnuUstawieniePokoi", "mnuCennik", "mnuKonfiguracja", "mnuUstawieniePanstw"})
            QVERIFY2(f.main.command(QString::fromLatin1(name))->isEnabled(), name);
    }
};

REZYDO_TEST(TestHotelDataWindow);
REZYDO_TEST(TestCountriesWindow);
#include "test_hotel_countries.moc"
