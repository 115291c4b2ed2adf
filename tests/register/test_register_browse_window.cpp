#include "app/commands.h"
#include "app/main_window.h"
#include "core/frame.h"
#include "core/program_dir.h"
#include "db/row_set.h"
#include "register/ui/register_browse_window.h"
#include "reports/engine/ui/preview_provider.h"
#include "reports/engine/ui/preview_window.h"
#include "reports/engine/ui/printing.h"
#include "tests/register/browse_fixture.h"
#include "tests/support/test_registry.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {
// Stands in for the registration: records what was asked and does what the
// test says, returning the person the registration would end on.
struct RecordingFrame : Frame {
    QStringList calls;
    std::function<int(int group, int person)> registration;
    int editRegisterEntry(int g, int p) override
    {
        calls << QStringLiteral("edit %1 %2").arg(g).arg(p);
        return registration ? registration(g, p) : p;
    }
    int addPersonToGroup(int g) override
    {
        calls << QStringLiteral("add %1").arg(g);
        return registration ? registration(g, 0) : 0;
    }
};

struct Installed {
    RecordingFrame frame;
    Installed() { setFrame(&frame); }
    ~Installed() { setFrame(nullptr); }
};

QTableView* grid(QWidget& w)
{
    return w.findChild<QTableView*>("Lista");
}

QStringList column(QWidget& w, int c)
{
    QStringList out;
    QAbstractItemModel* m = grid(w)->model();
    for (int r = 0; r < m->rowCount(); ++r)
        out << m->index(r, c).data().toString();
    return out;
}

QStringList titles(QWidget& w)
{
    QStringList out;
    QAbstractItemModel* m = grid(w)->model();
    for (int c = 0; c < m->columnCount(); ++c)
        out << m->headerData(c, Qt::Horizontal).toString();
    return out;
}

void select(TModyfikacjaKsiazki& w, const QString& surname)
{
    const int row = static_cast<int>(column(w, 1).indexOf(surname));
    QVERIFY2(row >= 0, qPrintable(surname));
    grid(w)->selectRow(row);
}

QString currentSurname(const TModyfikacjaKsiazki& w)
{
    return w.rows().value(QStringLiteral("Nazwisko")).toString();
}

void click(QWidget& w, const char* button)
{
    QTest::mouseClick(w.findChild<QPushButton*>(button), Qt::LeftButton);
}

void clickTitle(QWidget& w, int c)
{
    QHeaderView* h = grid(w)->horizontalHeader();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                      QPoint(h->sectionViewportPosition(c) + 5, h->height() / 2));
}
} // namespace

class TestRegisterBrowseWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void displayKindsAndDates()
    {
        TestEnv env; // today is 2026-07-15
        makeRegister(env);
        TModyfikacjaKsiazki w;
        QCOMPARE(w.windowTitle(), QString("Modyfikowanie Książki Meldunkowej"));
        QCOMPARE(titles(w),
                 QStringList({"Nazwa grupy", "Nazwisko", "Imię", "Nr pokoju", "Od", "Do"}));
        auto* kind = w.findChild<QComboBox*>("Rodzaj");
        auto* from = w.findChild<QDateEdit*>("DataPoczatkowa");
        auto* to = w.findChild<QDateEdit*>("DataKoncowa");
        QCOMPARE(kind->count(), 3);
        QCOMPARE(kind->itemText(2), QString("Pełne dane w/g dat"));
        QCOMPARE(from->date(), QDate(2026, 7, 15));
        QCOMPARE(to->date(), QDate(2026, 7, 16));
        QVERIFY(from->isHidden() && to->isHidden());
        QCOMPARE(column(w, 0).size(), 6);

        kind->setCurrentIndex(1);
        QVERIFY(!from->isHidden() && !to->isHidden());
        QCOMPARE(column(w, 1).size(), 4); // arrivals on the 15th and 16th
        to->setDate(QDate(2026, 7, 15));
        QCOMPARE(column(w, 1).size(), 3);
        kind->setCurrentIndex(2);
        QCOMPARE(column(w, 1), QStringList{"Kowalski"});
        kind->setCurrentIndex(0);
        QVERIFY(from->isHidden());
        QCOMPARE(column(w, 1).size(), 6);
    }

    void oneGroupStaysInTheGroup()
    {
        TestEnv env;
        const Register reg = makeRegister(env);
        TModyfikacjaKsiazki w(reg.b);
        w.show();
        QVERIFY(w.oneGroup());
        for (const char* hidden : {"Rodzaj", "RodzajEtykieta", "DataPoczatkowa", "DataKoncowa"})
            QVERIFY2(w.findChild<QWidget*>(hidden)->isHidden(), hidden);
        QCOMPARE(column(w, 0), QStringList({"Nowakowie", "Nowakowie", "Nowakowie"}));
        clickTitle(w, 1);
        QCOMPARE(titles(w).at(1), QString("Nazwisko (+)"));
        QCOMPARE(column(w, 1), QStringList({"Nowak", "Nowakowski", "O'Brien"}));
        clickTitle(w, 1);
        QCOMPARE(titles(w).at(1), QString("Nazwisko (-)"));
        QCOMPARE(column(w, 1), QStringList({"O'Brien", "Nowakowski", "Nowak"}));
    }

    // The first "&Dodaj" in the whole register fixes the group for good.
    void addKeepsTheFirstGroup()
    {
        TestEnv env;
        const Register reg = makeRegister(env);
        Installed in;
        in.frame.registration = [&](int group, int) {
            return addEntry(env, group, "Nowy", "", "", "2026-07-15", "2026-07-16", 0);
        };
        TModyfikacjaKsiazki w;
        select(w, "Kowalski");
        click(w, "Dodaj");
        select(w, "Nowakowski");
        click(w, "Dodaj");
        QCOMPARE(in.frame.calls,
                 QStringList({QString("add %1").arg(reg.a), QString("add %1").arg(reg.a)}));
        QCOMPARE(w.groupId(), reg.a);
        QCOMPARE(env.scalar("SELECT count(*) FROM Ksiazka k JOIN Arch_os USING (Identyfikator_o) "
                            "WHERE Nazwisko = 'Nowy' AND Identyfikator_g = ?",
                            {reg.a})
                     .toInt(),
                 2);
        QCOMPARE(column(w, 0).size(), 8); // still the whole register
    }

    // Another desk checks the group out while the registration window is open
    // on a new person: "&OK" stores nothing and says why. A group still there
    // takes the person, through the same steps.
    void addToAGroupCheckedOutMeanwhile_data()
    {
        QTest::addColumn<bool>("oneGroup");
        QTest::addColumn<bool>("checkedOut");
        QTest::newRow("whole register, checked out") << false << true;
        QTest::newRow("one group, checked out") << true << true;
        QTest::newRow("whole register, still there") << false << false;
        QTest::newRow("one group, still there") << true << false;
    }
    void addToAGroupCheckedOutMeanwhile()
    {
        QFETCH(bool, oneGroup);
        QFETCH(bool, checkedOut);
        TestEnv env;
        const Register reg = makeRegister(env);
        TGlowne main;
        wireRegisterCommands(main);
        TModyfikacjaKsiazki w(oneGroup ? reg.a : 0);
        select(w, "Kowalski");
        const QString kPersons = "SELECT count(*) FROM Arch_os";
        const QString kEntries = "SELECT count(*) FROM Ksiazka";
        int persons = 0;
        int entries = 0;
        env.modal.push_back([&](QDialog& d) {
            d.findChild<QLineEdit*>("Nazwisko")->setText("Dopisany");
            if (checkedOut) {
                env.exec("UPDATE Ksiazka SET Wykwaterowany = 1 WHERE Identyfikator_g = ?", {reg.a});
                env.exec("DELETE FROM Arch_os WHERE Identyfikator_o IN (SELECT Identyfikator_o "
                         "FROM Ksiazka WHERE Identyfikator_g = ? AND Pelne_dane = 0)",
                         {reg.a});
                env.exec("DELETE FROM Kwat_hot WHERE Identyfikator = ?", {reg.a});
            }
            persons = env.scalar(kPersons).toInt();
            entries = env.scalar(kEntries).toInt();
            QTest::mouseClick(d.findChild<QPushButton*>("OK"), Qt::LeftButton);
            return d.result();
        });
        click(w, "Dodaj");
        QCOMPARE(env.unexpectedModals, 0);
        QVERIFY(env.modal.empty());
        const QVariant added =
            env.scalar("SELECT count(*) FROM Ksiazka JOIN Arch_os USING (Identyfikator_o) WHERE "
                       "Nazwisko = 'Dopisany' AND Identyfikator_g = ? AND Wykwaterowany = 0",
                       {reg.a});
        if (checkedOut) {
            QCOMPARE(env.prompter().log(),
                     QStringList{kProgramName +
                                 "|Tej grupy nie ma już w bazie danych. Osoba nie została "
                                 "dopisana do książki meldunkowej."});
            QCOMPARE(env.prompter().messages(Prompter::Icon::Error).size(), 1);
            QCOMPARE(env.scalar(kPersons).toInt(), persons);
            QCOMPARE(env.scalar(kEntries).toInt(), entries);
            QCOMPARE(added.toInt(), 0);
            QVERIFY(!column(w, 0).contains("Kowalscy"));
        } else {
            QCOMPARE(env.prompter().log(), QStringList{});
            QCOMPARE(env.scalar(kPersons).toInt(), persons + 1);
            QCOMPARE(env.scalar(kEntries).toInt(), entries + 1);
            QCOMPARE(added.toInt(), 1);
            QCOMPARE(currentSurname(w), QString("Dopisany"));
        }
    }

    // After the registration the list is read again and stands on the person
    // the registration ended on, in the group it worked on.
    void positionAfterRegistration_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("expected");
        QTest::newRow("change: the corrected person, moved by the order") << "Zmien"
                                                                          << "Aaa";
        QTest::newRow("double click acts as change") << "double"
                                                     << "Aaa";
        QTest::newRow("add: the new person") << "Dodaj"
                                             << "Nowy";
        QTest::newRow("add not saved: where it was") << "cancel"
                                                     << "Nowakowski";
    }
    void positionAfterRegistration()
    {
        QFETCH(QString, how);
        QFETCH(QString, expected);
        TestEnv env;
        const Register reg = makeRegister(env);
        Installed in;
        in.frame.registration = [&](int group, int person) {
            if (how == "cancel")
                return 0;
            if (person == 0)
                return addEntry(env, group, "Nowy", "", "", "2026-07-15", "2026-07-16", 0);
            env.exec("UPDATE Arch_os SET Nazwisko = 'Aaa' WHERE Identyfikator_o = ?", {person});
            return person;
        };
        TModyfikacjaKsiazki w;
        w.show();
        clickTitle(w, 1);
        select(w, "Nowakowski");
        if (how == "double") {
            const QRect cell =
                grid(w)->visualRect(grid(w)->model()->index(grid(w)->currentIndex().row(), 1));
            // A double click is a press and release followed by the double-click event.
            QTest::mouseClick(grid(w)->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(grid(w)->viewport(), Qt::LeftButton, {}, cell.center());
        } else {
            click(w, how == "cancel" ? "Dodaj" : how.toLatin1().constData());
        }
        QCOMPARE(currentSurname(w), expected);
        QCOMPARE(grid(w)->currentIndex().row(), w.rows().current());
        if (how == "Zmien" || how == "double")
            QCOMPARE(in.frame.calls,
                     QStringList{QString("edit %1 %2").arg(reg.b).arg(reg.nowakowski)});
    }

    void removeAsksFirst_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void removeAsksFirst()
    {
        QFETCH(bool, yes);
        TestEnv env;
        const Register reg = makeRegister(env);
        TModyfikacjaKsiazki w;
        w.show();
        clickTitle(w, 1);
        select(w, "Kowalczyk");
        env.prompter().answers.push_back(yes);
        click(w, "Usun");
        QCOMPARE(env.prompter().shown.size(), 1);
        const ScriptedPrompter::Shown& q = env.prompter().shown[0];
        QCOMPARE(q.kind, ScriptedPrompter::Shown::Question);
        QCOMPARE(q.text, QString("Czy usunąć osobę z grupy Kowalscy ?"));
        QCOMPARE(q.caption, QString("Usuwanie osoby"));
        QVERIFY(!q.defaultYes);
        QCOMPARE(
            env.scalar("SELECT count(*) FROM Ksiazka WHERE Identyfikator_o = ?", {reg.kowalczyk})
                .toInt(),
            yes ? 0 : 1);
        QCOMPARE(
            env.scalar("SELECT count(*) FROM Arch_os WHERE Identyfikator_o = ?", {reg.kowalczyk})
                .toInt(),
            1);
        QCOMPARE(column(w, 1).size(), yes ? 5 : 6);
        // On yes the row that followed takes the removed one's place.
        QCOMPARE(currentSurname(w), QString(yes ? "Kowalski" : "Kowalczyk"));
    }

    void searchStaysUntilShowAll()
    {
        TestEnv env;
        makeRegister(env);
        TModyfikacjaKsiazki w;
        w.show();
        auto* surname = w.findChild<QLineEdit*>("SzukajNazwisko");
        surname->setText("Kow");
        QTest::keyClick(surname, Qt::Key_Return);
        QCOMPARE(column(w, 1).size(), 2);
        // A new reading of the list keeps the search.
        w.findChild<QComboBox*>("Rodzaj")->setCurrentIndex(1);
        w.findChild<QDateEdit*>("DataKoncowa")->setDate(QDate(2026, 7, 15));
        QCOMPARE(column(w, 1), QStringList{"Kowalski"});

        w.findChild<QLineEdit*>("SzukajOd")->setText("15-07-2026");
        click(w, "Szukaj");
        QCOMPARE(
            env.prompter().log(),
            QStringList{"Błąd Wyszukiwania !!!|Podano nieprawidłowe parametry do wyszukiwania"});
        QCOMPARE(env.prompter().messages(Prompter::Icon::Warning).size(), 1);
        QCOMPARE(column(w, 1), QStringList{"Kowalski"}); // left as it was

        click(w, "CzyscSzukanie");
        QCOMPARE(surname->text(), QString());
        QCOMPARE(w.findChild<QLineEdit*>("SzukajOd")->text(), QString());
        QCOMPARE(column(w, 1).size(), 3);
    }

    // The program's own wiring: the menu entry and the stay list's way in,
    // the child frame, and the printout through the preview.
    void inTheProgram()
    {
        TestEnv env;
        const Register reg = makeRegister(env);
        TGlowne main;
        wireCommands(main);
        int previews = 0;
        TMDIPodglad::setShownHook([&](TFormPodglad& p) {
            ++previews;
            QObject::connect(&p, &TFormPodglad::finished, &p, [&p] { p.close(); });
        });
        int printed = 0;
        setPrinterFactory([&] {
            ++printed;
            auto printer = std::make_unique<QPrinter>();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(env.path("lista.pdf"));
            return printer;
        });
        main.show();

        QAction* entry = main.command("mnuModyfikowanieKsiazki");
        QVERIFY(entry->isEnabled());
        entry->trigger();
        main.openRegisterBrowse(reg.a);
        const QList<QMdiSubWindow*> subs = main.childArea()->subWindowList();
        QCOMPARE(subs.size(), 2);
        auto* whole = qobject_cast<TModyfikacjaKsiazki*>(subs[0]->widget());
        auto* one = qobject_cast<TModyfikacjaKsiazki*>(subs[1]->widget());
        QVERIFY(whole && one);
        QVERIFY(!whole->oneGroup());
        QCOMPARE(one->groupId(), reg.a);
        QVERIFY(subs[1]->isMaximized());
        const Qt::WindowFlags flags = subs[1]->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
        QVERIFY(!flags.testFlag(Qt::WindowCloseButtonHint) &&
                !flags.testFlag(Qt::WindowMinimizeButtonHint) &&
                !flags.testFlag(Qt::WindowMaximizeButtonHint));
        subs[0]->showNormal();
        main.childArea()->setActiveSubWindow(subs[1]);
        main.childArea()->setActiveSubWindow(subs[0]);
        QVERIFY(subs[0]->isMaximized());

        // The list as shown goes to the printout, and keeps its position.
        select(*one, "Kowalski");
        click(*one, "Podglad");
        QCOMPARE(previews, 1);
        QCOMPARE(currentSurname(*one), QString("Kowalski"));
        // An empty list prints nothing and says nothing.
        one->findChild<QLineEdit*>("SzukajNazwisko")->setText("Żaden");
        click(*one, "Szukaj");
        QVERIFY(one->rows().isEmpty());
        click(*one, "Podglad");
        click(*one, "Drukuj");
        QCOMPARE(previews, 1);
        QCOMPARE(printed, 0);
        QCOMPARE(env.prompter().log(), QStringList{});

        click(*one, "Zamknij");
        QTRY_COMPARE(main.childArea()->subWindowList().size(), 1);
        TMDIPodglad::setShownHook({});
        setPrinterFactory({});
    }
};

REZYDO_TEST(TestRegisterBrowseWindow);
#include "test_register_browse_window.moc"
