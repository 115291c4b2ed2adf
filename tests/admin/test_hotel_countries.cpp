#include "admin/ui/countries_window.h"
#include "admin/ui/hotel_data_window.h"
#include "core/program_dir.h"
#include "core/settings.h"
#include "db/data_module.h"
#include "tests/admin/admin_fixture.h"
#include "tests/support/test_registry.h"

#include <QComboBox>
#include <QFile>
#include <QSettings>
#include <QSpinBox>

namespace {
const QString kNone = QStringLiteral("<brak>"); // not in the settings store

QString setting(const char* name)
{
    return readSetting(QString::fromLatin1(name)).value_or(kNone);
}
// Replaces the countries of a fresh database by the home country and one other.
void twoCountries(TestEnv& env)
{
    env.exec("DELETE FROM Panstwo");
    env.exec("INSERT INTO Panstwo (ID, Nazwa) VALUES (1, 'Polska'), (2, 'Niemcy')");
}
} // namespace

class TestHotelDataWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void invoiceSettings_data()
    {
        QTest::addColumn<QString>("roz");   // FakturaRoz before
        QTest::addColumn<QString>("bank");  // Bank before
        QTest::addColumn<QString>("typed"); // into "Rozszerzenie numeru"; "" leaves it
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("after"); // FakturaRoz|Bank|Konto after "&Ok"
        auto row = [](const char* name, QString roz, QString bank, QString typed, QString shown,
                      QString after) {
            QTest::newRow(name) << roz << bank << typed << shown << after;
        };
        row("missing, untouched", kNone, kNone, "", "H", "<brak>|<brak>|<brak>");
        row("empty, untouched", "", kNone, "", "H", "|<brak>|<brak>");
        row("present, untouched", "A/2026", "PKO", "", "A/2026", "A/2026|PKO|<brak>");
        row("changed, bank and account missing", kNone, kNone, "R", "H", "R|Bank|Konto");
        row("changed, bank present", "A", "PKO", "R", "A", "R|PKO|Konto");
    }
    void invoiceSettings()
    {
        QFETCH(QString, roz);
        QFETCH(QString, bank);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, after);
        AdminFixture f;
        if (roz != kNone)
            writeSetting("FakturaRoz", roz);
        if (bank != kNone)
            writeSetting("Bank", bank);
        auto* w = f.open<TKonfiguracja>("mnuKonfiguracja");
        QVERIFY(w && w->isWindow());
        QCOMPARE(control<QLineEdit>(w, "Rozszerzenie")->text(), shown);
        QVERIFY(!control<QLineEdit>(w, "UstBank")->isVisible());
        if (!typed.isEmpty())
            retype(control<QLineEdit>(w, "Rozszerzenie"), typed);
        QCOMPARE(w->settingsChanged(), !typed.isEmpty());
        QCOMPARE(f.env.data().config().state(), TableCursor::State::Browse);
        QPointer<TKonfiguracja> alive = w;
        click(w, "Ok");
        QVERIFY(!alive || !alive->isVisible());
        QCOMPARE(setting("FakturaRoz") + '|' + setting("Bank") + '|' + setting("Konto"), after);
    }

    // An account that may not write the machine's settings is told so; the
    // window closes as it does after a save.
    void invoiceSettingsNotSaved()
    {
        AdminFixture f;
        QFile blocker(f.env.path("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope,
                           f.env.path("blocker/machine"));
        auto* w = f.open<TKonfiguracja>("mnuKonfiguracja");
        QVERIFY(w);
        retype(control<QLineEdit>(w, "Rozszerzenie"), "R");
        click(w, "Ok");
        QCOMPARE(
            f.env.prompter().log(),
            QStringList{"Konfiguracja|" + settingsNotSavedText({"Bank", "Konto", "FakturaRoz"})});
        QCOMPARE(f.env.prompter().shown[0].icon, Prompter::Icon::Error);
        QCOMPARE(setting("FakturaRoz"), kNone);
    }

    void configRowSavedOrDropped_data()
    {
        QTest::addColumn<QString>("button"); // "" for the close box
        QTest::addColumn<QString>("stored");
        auto row = [](const char* name, QString button, QString stored) {
            QTest::newRow(name) << button << stored;
        };
        row("Ok", "Ok", "Hotel Pod Lipami|Kraków|1234");
        row("Anuluj", "Anuluj", "|Kraków|");
        row("close box", "", "|Kraków|");
    }
    void configRowSavedOrDropped()
    {
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

    // The guest data rules are saved with the Config row by "&Ok" and dropped
    // by "&Anuluj"; the number of backups kept is a setting of its own.
    void guestDataRules_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("backups");
        QTest::newRow("Ok") << "Ok"
                            << "1|7"
                            << "3";
        QTest::newRow("Anuluj") << "Anuluj"
                                << "0|5"
                                << "<brak>";
    }
    void guestDataRules()
    {
        QFETCH(QString, button);
        QFETCH(QString, stored);
        QFETCH(QString, backups);
        AdminFixture f;
        auto* w = f.open<TKonfiguracja>("mnuKonfiguracja");
        QCOMPARE(control<QComboBox>(w, "ZakresDanych")->currentIndex(), 0);
        QCOMPARE(control<QSpinBox>(w, "LataPrzechowywania")->minimum(), 5);
        QCOMPARE(control<QSpinBox>(w, "KopieZapasowe")->text(), QString("wszystkie"));
        control<QComboBox>(w, "ZakresDanych")->setCurrentIndex(1);
        control<QSpinBox>(w, "LataPrzechowywania")->setValue(7);
        control<QSpinBox>(w, "KopieZapasowe")->setValue(3);
        click(w, qPrintable(button));
        QCOMPARE(f.env.rows("SELECT Dane_minimalne, Lata_przechowywania FROM Config"),
                 QStringList({stored}));
        QCOMPARE(setting("KopieZapasowe"), backups);
    }

    void refusedRowKeepsWindowAndSettings()
    {
        AdminFixture f;
        auto* w = f.open<TKonfiguracja>("mnuKonfiguracja");
        QPointer<TKonfiguracja> alive = w;
        QTest::keyClicks(control<QLineEdit>(w, "NIP"), QString(21, QLatin1Char('1')));
        retype(control<QLineEdit>(w, "Rozszerzenie"), "R");
        click(w, "Ok");
        expectOneError(f.env, checkRefusal());
        QVERIFY(alive && alive->isVisible());
        QCOMPARE(f.env.data().config().state(), TableCursor::State::Edit);
        QCOMPARE(setting("FakturaRoz"), QString("<brak>"));
    }
};

class TestCountriesWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void frameAndEnabling()
    {
        AdminFixture f;
        twoCountries(f.env);
        auto* w = f.open<TPanstwa>("mnuUstawieniePanstw");
        QVERIFY(w);
        auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget());
        QVERIFY(sub);
        QCOMPARE(sub->windowTitle(), QString("Ustawienie państw"));
        QVERIFY(sub->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(sub->windowFlags() & Qt::WindowMaximizeButtonHint));

        auto* nazwa = control<QLineEdit>(w, "NazwaPanstwa");
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
        QCOMPARE(control<QTableView>(w, "Lista")->model()->rowCount(), 2);
    }

    void addingEnds_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("enter"); // Enter in the box instead of "&Ok"
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<bool>("stillAdding");
        auto row = [](const char* name, QString typed, bool enter, QStringList added, bool still) {
            QTest::newRow(name) << typed << enter << QStringList{"Polska", "Niemcy"} + added
                                << still;
        };
        row("Ok with a name", "Czechy", false, {"Czechy"}, false);
        row("Ok with empty name drops the row", "", false, {}, false);
        row("Enter with a name", "Czechy", true, {"Czechy"}, false);
        row("Enter with empty name does nothing", "", true, {}, true);
    }
    void addingEnds()
    {
        QFETCH(QString, name);
        QFETCH(bool, enter);
        QFETCH(QStringList, stored);
        QFETCH(bool, stillAdding);
        AdminFixture f;
        twoCountries(f.env);
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

    void deleteChecks_data()
    {
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
    void deleteChecks()
    {
        QFETCH(bool, inRegister);
        QFETCH(bool, inArchive);
        QFETCH(QString, message);
        AdminFixture f;
        twoCountries(f.env);
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

    void tooLongNameRefused()
    {
        AdminFixture f;
        twoCountries(f.env);
        auto* w = f.open<TPanstwa>("mnuUstawieniePanstw");
        click(w, "Dodaj");
        QTest::keyClicks(control<QLineEdit>(w, "NazwaPanstwa"), QString(51, QLatin1Char('x')));
        click(w, "Ok");
        expectOneError(f.env, checkRefusal());
        QCOMPARE(w->countries().state(), TableCursor::State::Insert);
        QCOMPARE(f.env.scalar("SELECT count(*) FROM Panstwo").toInt(), 2);
    }
};

REZYDO_TEST(TestHotelDataWindow);
REZYDO_TEST(TestCountriesWindow);
#include "test_hotel_countries.moc"
