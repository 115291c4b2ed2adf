#include "admin/ui/person_archive_window.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "register/ui/guest_details_window.h"
#include "register/ui/registration_window.h"
#include "tests/admin/archive_fixture.h"
#include "tests/register/register_fixture.h"
#include "tests/support/test_registry.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {
template <typename W> W* control(QWidget& d, const char* name)
{
    return d.findChild<W*>(QLatin1String(name));
}

QString text(QWidget& d, const char* name)
{
    QLineEdit* edit = control<QLineEdit>(d, name);
    return edit ? edit->text() : QStringLiteral("<none>");
}

// One showing of a window of type W: `work` checks and works its controls,
// then `button` is clicked. A window of another type fails the test.
template <typename W>
std::function<int(QDialog&)> step(std::function<void(QDialog&)> work, const char* button)
{
    return [work, button](QDialog& d) {
        if (!qobject_cast<W*>(&d)) {
            QTest::qFail(qPrintable("unexpected window " + d.windowTitle()), __FILE__, __LINE__);
            d.reject();
            return d.result();
        }
        work(d);
        if (QTest::currentTestFailed())
            d.reject();
        else
            QTest::mouseClick(control<QPushButton>(d, button), Qt::LeftButton);
        return d.result();
    };
}
} // namespace

// "Stały klient" from the registration of a checked-in group: the archive,
// a look at the former guest's details, back to the archive, "Książka", and
// the registration saves the former guest's data into the entry's own record.
class TestArchiveTakeOver : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void formerGuestThroughTheDetails()
    {
        TestEnv env;
        TGlowne main;
        addCountries(env);
        wireRegisterCommands(main);
        wireArchiveCommands(main);
        main.show();

        env.exec("INSERT INTO Arch_os(Nazwisko, Imie, Adres, Data_ur, Miejsce_ur, Dokument_rodz, "
                 "Dokument_nr, ID_Panstwo, Uwagi) VALUES ('Stały', 'Gość', 'Leśna 5', "
                 "'1960-05-05', 'Opole', 2, 'PA777', 2, 'woli parter')");
        const int former = env.scalar("SELECT max(Identyfikator_o) FROM Arch_os").toInt();
        addStay(env, former, 90, "7", "2025-08-01", "2025-08-05", true);
        const QStringList formerRecord =
            env.rows("SELECT * FROM Arch_os WHERE Identyfikator_o = ?", {former});
        const int group = freshGroup(env, kTwoRooms, 1);
        const int own = personsOf(env, group).at(0);

        QPointer<QDialog> archive;
        env.modal.push_back(step<TFormKsiazka>(
            [](QDialog& d) { control<QLineEdit>(d, "Nazwisko")->setText("Wpisany"); },
            "StalyKlient"));
        env.modal.push_back(step<TArchiwum>(
            [&](QDialog& d) {
                archive = &d;
                QVERIFY(control<QPushButton>(d, "Podglad")->isHidden());
                QVERIFY(control<QPushButton>(d, "Drukuj")->isHidden());
                QVERIFY(!control<QPushButton>(d, "Ksiazka")->isHidden());
                QLineEdit* surname = control<QLineEdit>(d, "SzukajNazwisko");
                surname->setText("Sta");
                QTest::keyClick(surname, Qt::Key_Return);
                QCOMPARE(control<QTableView>(d, "Lista")->model()->rowCount(), 1);
                control<QTableView>(d, "Lista")->selectRow(0);
            },
            "Szczegoly"));
        env.modal.push_back(step<TDaneKlienta>(
            [](QDialog& d) {
                QCOMPARE(text(d, "Nazwisko"), QString("Stały"));
                QCOMPARE(text(d, "Imie"), QString("Gość"));
            },
            "Zamknij"));
        env.modal.push_back(step<TArchiwum>(
            [&](QDialog& d) {
                QCOMPARE(&d, archive.data()); // the same window, its search still on
                QCOMPARE(text(d, "SzukajNazwisko"), QString("Sta"));
            },
            "Ksiazka"));
        env.modal.push_back(step<TFormKsiazka>(
            [](QDialog& d) {
                QCOMPARE(text(d, "Nazwisko"), QString("Stały"));
                QCOMPARE(text(d, "Adres"), QString("Leśna 5"));
                QCOMPARE(control<QComboBox>(d, "Panstwo")->currentText(), QString("Niemcy"));
                QCOMPARE(control<QComboBox>(d, "Rodzaj")->currentText(), QString("Paszport"));
                // The bed of the entry stays as check-in placed it.
                QCOMPARE(control<QComboBox>(d, "NumerPokoju")->currentText(), QString("101"));
            },
            "OK"));

        main.registerGroup(group);
        QCOMPARE(env.modal.size(), size_t(0));
        QCOMPARE(env.unexpectedModals, 0);
        QVERIFY(archive.isNull()); // discarded when the take-over finished
        QCOMPARE(env.rows("SELECT * FROM Arch_os WHERE Identyfikator_o = ?", {former}),
                 formerRecord);
        QCOMPARE(personsOf(env, group), std::vector<int>{own});
        QCOMPARE(env.rows("SELECT Nazwisko, Imie, Adres, Data_ur, Miejsce_ur, Dokument_rodz, "
                          "Dokument_nr, ID_Panstwo, Uwagi FROM Arch_os WHERE Identyfikator_o = ?",
                          {own}),
                 QStringList{"Stały|Gość|Leśna 5|1960-05-05|Opole|2|PA777|2|woli parter"});
        QCOMPARE(env.rows("SELECT Nr_pokoju, Pelne_dane, ID_Panstwo FROM Ksiazka "
                          "WHERE Identyfikator_g = ?",
                          {group}),
                 QStringList{"101|1|2"});
        QCOMPARE(env.prompter().shown.size(), 0);
    }
    // A family registered person by person: the second "Stały klient" shows
    // the same archive window with its search and rows, and the window goes
    // with the end of the walk.
    void oneWindowForTheWholeWalk()
    {
        TestEnv env;
        TGlowne main;
        addCountries(env);
        wireRegisterCommands(main);
        wireArchiveCommands(main);
        main.show();
        for (const char* name : {"Rodzina", "Rodzinna"}) {
            const int former = addPerson(env, QString::fromUtf8(name), "Ewa", "Leśna 5");
            addStay(env, former, 90, "7", "2025-08-01", "2025-08-05", true);
        }
        const int group = freshGroup(env, kTwoRooms, 2);

        QPointer<QDialog> archive;
        const auto takeOver = [&](bool first, const QString& surname) {
            env.modal.push_back(step<TFormKsiazka>([](QDialog&) {}, "StalyKlient"));
            env.modal.push_back(step<TArchiwum>(
                [&, first, surname](QDialog& d) {
                    if (first) {
                        archive = &d;
                        QLineEdit* box = control<QLineEdit>(d, "SzukajNazwisko");
                        box->setText("Rodz");
                        QTest::keyClick(box, Qt::Key_Return);
                    } else {
                        QCOMPARE(&d, archive.data());
                        QCOMPARE(text(d, "SzukajNazwisko"), QString("Rodz"));
                    }
                    QTableView* grid = control<QTableView>(d, "Lista");
                    QCOMPARE(grid->model()->rowCount(), 2);
                    grid->selectRow(surname == "Rodzina" ? 0 : 1);
                    QCOMPARE(grid->model()->index(grid->currentIndex().row(), 0).data(),
                             QVariant(surname));
                },
                "Ksiazka"));
            env.modal.push_back(step<TFormKsiazka>(
                [surname](QDialog& d) { QCOMPARE(text(d, "Nazwisko"), surname); }, "OK"));
        };
        takeOver(true, "Rodzina");
        takeOver(false, "Rodzinna");
        main.registerGroup(group);
        QCOMPARE(env.modal.size(), size_t(0));
        QCOMPARE(env.unexpectedModals, 0);
        QVERIFY(archive.isNull());
        QCOMPARE(env.rows("SELECT A.Nazwisko FROM Ksiazka K JOIN Arch_os A ON "
                          "A.Identyfikator_o = K.Identyfikator_o WHERE K.Identyfikator_g = ? "
                          "ORDER BY A.Nazwisko",
                          {group}),
                 QStringList({"Rodzina", "Rodzinna"}));
    }
};
REZYDO_TEST(TestArchiveTakeOver);

#include "test_archive_take_over.moc"
