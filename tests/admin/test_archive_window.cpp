#include "admin/ui/person_archive_window.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "core/program_dir.h"
#include "db/row_set.h"
#include "tests/admin/archive_fixture.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

namespace {
template <typename W> W* control(QWidget& d, const char* name)
{
    W* w = d.findChild<W*>(QLatin1String(name));
    if (!w)
        qWarning("no control %s", name);
    return w;
}

QPushButton* pushButton(QWidget& d, const char* name)
{
    return control<QPushButton>(d, name);
}

QTableView* grid(QWidget& d)
{
    return control<QTableView>(d, "Lista");
}

QStringList titles(QWidget& d)
{
    QStringList out;
    QAbstractItemModel* model = grid(d)->model();
    for (int c = 0; c < model->columnCount(); ++c)
        out << model->headerData(c, Qt::Horizontal).toString();
    return out;
}

// Column 0 (the surname) of every row of the grid.
QStringList surnames(QWidget& d)
{
    QStringList out;
    QAbstractItemModel* model = grid(d)->model();
    for (int r = 0; r < model->rowCount(); ++r)
        out << model->index(r, 0).data().toString();
    return out;
}

QString text(QWidget& d, const char* box)
{
    return control<QLineEdit>(d, box)->text();
}

void search(QWidget& d, const char* box, const QString& text)
{
    QLineEdit* edit = control<QLineEdit>(d, box);
    edit->setText(text);
    QTest::keyClick(edit, Qt::Key_Return);
}

// Two former guests and one staying now; returns Kowalski's person.
int addGuests(TestEnv& env)
{
    const int kowalski = addPerson(env, "Kowalski", "Jan", "Długa 1");
    addStay(env, kowalski, 1, "12", "2026-07-10", "2026-07-12", true);
    addStay(env, kowalski, 2, "3", "2026-07-15", "2026-07-17", true);
    const int nowak = addPerson(env, "Nowak", "Anna");
    addStay(env, nowak, 2, "4", "2026-07-15", "2026-07-16", true);
    const int staying = addPerson(env, "Obecny", "Adam");
    addStay(env, staying, 3, "6", "2026-07-14", "2026-07-20", false);
    return kowalski;
}

// One showing: `work` works the controls, then `button` is clicked.
std::function<int(QDialog&)> step(std::function<void(QDialog&)> work, const QString& button)
{
    return [work, button](QDialog& d) {
        work(d);
        if (QTest::currentTestFailed())
            d.reject();
        else
            QTest::mouseClick(pushButton(d, qPrintable(button)), Qt::LeftButton);
        return d.result();
    };
}
} // namespace

class TestArchiveWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void windowAndControls_data()
    {
        QTest::addColumn<bool>("fromRegistration");
        QTest::newRow("from the menu") << false;
        QTest::newRow("from the registration") << true;
    }
    void windowAndControls()
    {
        QFETCH(bool, fromRegistration);
        TestEnv env;
        QWidget owner;
        owner.setGeometry(100, 100, 1200, 900);
        owner.show();
        TArchiwum w(fromRegistration, &owner);
        env.modal.push_back(step(
            [&](QDialog& d) {
                QCOMPARE(d.windowTitle(), QString("Archiwum gości"));
                QVERIFY(d.isModal() && d.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
                QCOMPARE(d.frameGeometry().center(), owner.frameGeometry().center());
                QComboBox* kind = control<QComboBox>(d, "Rodzaj");
                QCOMPARE(kind->currentText(), QString("Wszystkie osoby"));
                QCOMPARE(kind->count(), 3);
                QCOMPARE(kind->itemText(1), QString("Wszystkie osoby w/g dat"));
                QCOMPARE(kind->itemText(2), QString("Pełne dane w/g dat"));
                for (const char* name : {"DataPoczatkowa", "DataKoncowa", "EtykietaDataPoczatkowa",
                                         "EtykietaDataKoncowa"})
                    QVERIFY2(!control<QWidget>(d, name)->isVisible(), name);
                QCOMPARE(control<QDateEdit>(d, "DataPoczatkowa")->date(), QDate(2026, 7, 15));
                QCOMPARE(control<QDateEdit>(d, "DataKoncowa")->date(), QDate(2026, 7, 16));
                QCOMPARE(titles(d),
                         QStringList({"Nazwisko", "Imię", "Adres", "Nr pokoju", "Od", "Do"}));
                QAbstractItemModel* model = grid(d)->model();
                for (int c = 0; c < 6; ++c)
                    QCOMPARE(model->index(0, c).data(Qt::TextAlignmentRole).toInt() &
                                 Qt::AlignHCenter,
                             c >= 3 ? int(Qt::AlignHCenter) : 0);
                QCOMPARE(grid(d)->selectionBehavior(), QAbstractItemView::SelectRows);
                QCOMPARE(grid(d)->editTriggers(), QAbstractItemView::NoEditTriggers);
                QCOMPARE(control<QLineEdit>(d, "SzukajNazwisko")->toolTip(),
                         QString("Szukanie wg nazwiska gościa"));
                QCOMPARE(control<QLineEdit>(d, "SzukajImie")->toolTip(),
                         QString("Szukanie wg imienia gościa"));
                QCOMPARE(control<QLineEdit>(d, "SzukajAdres")->toolTip(),
                         QString("Szukanie wg adresu  gościa"));
                for (const char* name : {"SzukajPokoj", "SzukajOd", "SzukajDo", "Szukaj",
                                         "CzyscSzukanie", "Szczegoly", "Zamknij"})
                    QVERIFY2(control<QWidget>(d, name)->isVisible(), name);
                const QStringList captions = {"&Podgląd", "&Drukuj", "Sz&czegóły", "&Książka",
                                              "&Zamknij"};
                const char* names[] = {"Podglad", "Drukuj", "Szczegoly", "Ksiazka", "Zamknij"};
                for (int i = 0; i < 5; ++i)
                    QCOMPARE(pushButton(d, names[i])->text(), captions[i]);
                for (const char* name : {"Podglad", "Drukuj"}) {
                    QCOMPARE(pushButton(d, name)->isVisible(), !fromRegistration);
                    QCOMPARE(pushButton(d, name)->isEnabled(), !fromRegistration);
                }
                QCOMPARE(pushButton(d, "Ksiazka")->isVisible(), fromRegistration);
                QCOMPARE(pushButton(d, "Ksiazka")->isEnabled(), fromRegistration);
            },
            "Zamknij"));
        addGuests(env);
        w.reload();
        w.showModal();
        QCOMPARE(env.modal.size(), size_t(0));
    }

    // What each way out tells the caller. `row` is the grid row selected
    // first, -1 for an empty list.
    void flagsAfterEachButton_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("details");
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<bool>("finished");
        QTest::newRow("Szczegóły") << "Szczegoly" << 1 << true << false << false;
        QTest::newRow("Książka") << "Ksiazka" << 1 << false << true << true;
        QTest::newRow("Książka on an empty list") << "Ksiazka" << -1 << false << false << true;
        QTest::newRow("Szczegóły on an empty list") << "Szczegoly" << -1 << true << false << false;
        QTest::newRow("Zamknij") << "Zamknij" << 1 << false << false << true;
        QTest::newRow("Escape") << "escape" << 1 << false << false << true;
        QTest::newRow("close box") << "close" << 0 << false << false << true;
    }
    void flagsAfterEachButton()
    {
        QFETCH(QString, how);
        QFETCH(int, row);
        QFETCH(bool, details);
        QFETCH(bool, chosen);
        QFETCH(bool, finished);
        TestEnv env;
        if (row >= 0)
            addGuests(env);
        TArchiwum w(true);
        int expected = 0;
        int currentRow = -1;
        env.modal.push_back([&](QDialog& d) -> int {
            if (row >= 0) {
                QTableView* view = grid(d);
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                                  view->visualRect(view->model()->index(row, 1)).center());
                expected = w.rows().value("Identyfikator_o").toInt();
                currentRow = w.rows().current();
            }
            if (how == "escape")
                QTest::keyClick(&d, Qt::Key_Escape);
            else if (how == "close")
                d.close();
            else
                QTest::mouseClick(pushButton(d, qPrintable(how)), Qt::LeftButton);
            return d.result();
        });
        const ArchiveChoice choice = w.showModal();
        QCOMPARE(env.modal.size(), size_t(0));
        QCOMPARE(currentRow, row);
        if (how == "Szczegoly" || how == "Ksiazka")
            QCOMPARE(choice.personId, expected);
        if (row >= 0 && (how == "Szczegoly" || how == "Ksiazka"))
            QVERIFY(choice.personId > 0);
        QCOMPARE(choice.details, details);
        QCOMPARE(choice.chosen, chosen);
        QCOMPARE(choice.finished, finished);
    }

    // The kind and the dates re-run the statement; the search stays in force.
    void kindDatesAndSearchTogether()
    {
        TestEnv env;
        addGuests(env);
        TArchiwum w(false);
        QCOMPARE(w.rows().rowCount(), 3);
        search(w, "SzukajNazwisko", "kow");
        QCOMPARE(surnames(w), QStringList({"Kowalski", "Kowalski"}));

        control<QComboBox>(w, "Rodzaj")->setCurrentIndex(1);
        QVERIFY(!control<QWidget>(w, "DataPoczatkowa")->isHidden());
        QVERIFY(!control<QWidget>(w, "EtykietaDataKoncowa")->isHidden());
        QCOMPARE(w.rows().loadedCount(), 2); // arrivals 2026-07-15 and 16
        QCOMPARE(surnames(w), QStringList({"Kowalski"}));

        control<QDateEdit>(w, "DataPoczatkowa")->setDate(QDate(2026, 7, 10));
        QCOMPARE(w.rows().loadedCount(), 3);
        QCOMPARE(surnames(w), QStringList({"Kowalski", "Kowalski"}));

        control<QComboBox>(w, "Rodzaj")->setCurrentIndex(0);
        QVERIFY(control<QWidget>(w, "DataKoncowa")->isHidden());
        QTest::mouseClick(pushButton(w, "CzyscSzukanie"), Qt::LeftButton);
        QCOMPARE(control<QLineEdit>(w, "SzukajNazwisko")->text(), QString());
        QCOMPARE(w.rows().rowCount(), 3);
        QCOMPARE(env.prompter().shown.size(), 0);
    }

    void invalidSearch()
    {
        TestEnv env;
        addGuests(env);
        TArchiwum w(false);
        search(w, "SzukajImie", "an");
        QCOMPARE(surnames(w), QStringList({"Nowak"}));
        search(w, "SzukajOd", "15.07.2026");
        QCOMPARE(env.prompter().log(),
                 QStringList({"Błąd Wyszukiwania !!!|Podano nieprawidłowe parametry do "
                              "wyszukiwania"}));
        QCOMPARE(env.prompter().messages(Prompter::Icon::Warning).size(), 1);
        QCOMPARE(surnames(w), QStringList({"Nowak"})); // the previous filter holds
    }

    // During a showing the window steps aside for the printout, which it
    // would otherwise cover, and comes back with its list as it was.
    void printDuringAShowing_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("Podgląd") << "Podglad";
        QTest::newRow("Drukuj") << "Drukuj";
    }
    void printDuringAShowing()
    {
        QFETCH(QString, button);
        TestEnv env;
        RecordingPresenter recorder;
        addGuests(env);
        TArchiwum w(false);
        bool visibleDuring = true;
        recorder.during = [&] { visibleDuring = w.isVisible(); };
        env.modal.push_back(step(
            [](QDialog& d) {
                search(d, "SzukajNazwisko", "Now");
                grid(d)->selectRow(0);
            },
            button));
        env.modal.push_back(step(
            [](QDialog& d) {
                QCOMPARE(surnames(d), QStringList({"Nowak"}));
                QCOMPARE(text(d, "SzukajNazwisko"), QString("Now"));
            },
            "Zamknij"));
        const ArchiveChoice choice = w.showModal();
        QCOMPARE(env.modal.size(), size_t(0));
        QCOMPARE(recorder.previewed + recorder.printed, 1);
        QCOMPARE(recorder.previewed, button == "Podglad" ? 1 : 0);
        QVERIFY(!visibleDuring);
        QCOMPARE(recorder.lastDetailFirstTexts(), QStringList({"Nowak Anna"}));
        QCOMPARE(choice.finished, true);
        QCOMPARE(choice.details, false);

        // Nothing to print: the message, and no report.
        search(w, "SzukajNazwisko", "Q");
        pushButton(w, qPrintable(button))->click();
        QCOMPARE(env.prompter().log(),
                 QStringList({"Archiwum gości|Nie ma żadnych danych do wydruku."}));
        QCOMPARE(recorder.previewed + recorder.printed, 1);
    }

    void failingStatementLeavesTheListEmpty()
    {
        TestEnv env;
        addGuests(env);
        TArchiwum w(false);
        QVERIFY(QSqlQuery(env.db()).exec("ALTER TABLE Ksiazka RENAME TO Ksiazka_stara"));
        control<QComboBox>(w, "Rodzaj")->setCurrentIndex(1);
        QVERIFY(!w.rows().isOpen());
        QCOMPARE(grid(w)->model()->rowCount(), 0);
        const QList<ScriptedPrompter::Shown> errors =
            env.prompter().messages(Prompter::Icon::Error);
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors[0].caption, QString("Archiwum gości"));
        QVERIFY2(errors[0].text.startsWith("Błąd bazy : \r\n") &&
                     errors[0].text.contains("Ksiazka", Qt::CaseInsensitive),
                 qPrintable(errors[0].text));
    }
};
REZYDO_TEST(TestArchiveWindow);

// The frame's archive: one window per caller loop.
class TestArchiveCommand : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void menuLoopKeepsTheWindow()
    {
        TestEnv env;
        TGlowne main;
        wireArchiveCommands(main);
        main.show();
        const int kowalski = addGuests(env);
        QList<int> details;
        main.handlers().showGuestDetails = [&](int id) { details << id; };
        QAction* menu = main.command("mnuArchiwum");
        QVERIFY(menu->isEnabled());

        QPointer<QDialog> first;
        env.modal.push_back(step(
            [&](QDialog& d) {
                first = &d;
                QCOMPARE(d.parentWidget(), static_cast<QWidget*>(&main));
                QVERIFY(pushButton(d, "Ksiazka")->isHidden());
                control<QComboBox>(d, "Rodzaj")->setCurrentIndex(1);
                control<QDateEdit>(d, "DataPoczatkowa")->setDate(QDate(2026, 7, 1));
                search(d, "SzukajNazwisko", "Kow");
                Q_EMIT grid(d)->horizontalHeader()->sectionClicked(4);
                grid(d)->selectRow(0);
            },
            "Szczegoly"));
        env.modal.push_back(step(
            [&](QDialog& d) {
                QCOMPARE(&d, first.data());
                QCOMPARE(control<QComboBox>(d, "Rodzaj")->currentIndex(), 1);
                QCOMPARE(control<QDateEdit>(d, "DataPoczatkowa")->date(), QDate(2026, 7, 1));
                QCOMPARE(control<QLineEdit>(d, "SzukajNazwisko")->text(), QString("Kow"));
                QCOMPARE(titles(d)[4], QString("Od (+)"));
                QCOMPARE(surnames(d), QStringList({"Kowalski", "Kowalski"}));
            },
            "Zamknij"));
        menu->trigger();
        QCOMPARE(env.modal.size(), size_t(0));
        QCOMPARE(details, QList<int>{kowalski});
        QVERIFY(first.isNull()); // gone with the finished loop
        QCOMPARE(main.findChildren<TArchiwum*>().size(), 0);

        // The next command starts afresh.
        env.modal.push_back(step(
            [&](QDialog& d) {
                QCOMPARE(control<QComboBox>(d, "Rodzaj")->currentIndex(), 0);
                QCOMPARE(control<QLineEdit>(d, "SzukajNazwisko")->text(), QString());
            },
            "Zamknij"));
        menu->trigger();
        QCOMPARE(env.modal.size(), size_t(0));
        QCOMPARE(env.unexpectedModals, 0);
    }
};
REZYDO_TEST(TestArchiveCommand);

#include "test_archive_window.moc"
