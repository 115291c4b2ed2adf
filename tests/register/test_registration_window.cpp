#include "app/commands.h"
#include "app/main_window.h"
#include "core/program_dir.h"
#include "register/ui/registration_window.h"
#include "tests/register/register_fixture.h"
#include "tests/support/test_registry.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {
const std::vector<Line> kTwoRooms = {{"101", "2026-07-15", "2026-07-18", 2},
                                     {"102", "2026-07-15", "2026-07-18", 1}};

template <typename W> W* control(QDialog& d, const char* name)
{
    W* w = d.findChild<W*>(QLatin1String(name));
    if (!w)
        qWarning("no control %s", name);
    return w;
}

void type(QDialog& d, const char* name, const QString& text)
{
    QLineEdit* edit = control<QLineEdit>(d, name);
    edit->clear();
    // keyClicks takes ASCII only; other letters arrive as key events with text.
    for (const QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(edit, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

int click(QDialog& d, const char* name)
{
    QTest::mouseClick(control<QPushButton>(d, name), Qt::LeftButton);
    return d.result();
}

// One showing of the window: `work` checks and works the controls, then
// `button` is clicked (none: `work` closes the window itself). A failed check
// closes the window, which ends the walk.
std::function<int(QDialog&)> step(std::function<void(QDialog&)> work, const char* button = nullptr)
{
    return [work, button](QDialog& d) {
        work(d);
        if (QTest::currentTestFailed()) {
            d.reject();
            return d.result();
        }
        return button ? click(d, button) : d.result();
    };
}

QStringList roomItems(QDialog& d)
{
    QComboBox* rooms = control<QComboBox>(d, "NumerPokoju");
    QStringList out;
    for (int i = 0; i < rooms->count(); ++i)
        out << rooms->itemText(i);
    return out;
}

// The frame with the registration wired in, as the program starts it.
struct Program {
    TestEnv env;
    TGlowne window;
    Program()
    {
        addCountries(env);
        wireRegisterCommands(window);
    }
};
} // namespace

class TestRegistrationWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void windowAndControls()
    {
        Program p;
        const int group = freshGroup(p.env, kTwoRooms, 1);
        p.window.show();
        p.env.modal.push_back(step(
            [&](QDialog& d) {
                QCOMPARE(d.metaObject()->className(), "TFormKsiazka");
                QCOMPARE(d.windowTitle(), QString("Ksiażka meldunkowa"));
                QVERIFY(d.isModal());
                QVERIFY(d.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
                QCOMPARE(d.frameGeometry().center(), p.window.frameGeometry().center());
                QStringList boxes;
                for (QGroupBox* box : d.findChildren<QGroupBox*>())
                    boxes << box->title();
                QCOMPARE(boxes, QStringList({"Dane osobowe", "Dokument  tożsamości", "Uwagi",
                                             "Dane kwaterunku"}));
                QStringList labels;
                for (QLabel* label : d.findChildren<QLabel*>())
                    labels << label->text() + "=" + label->buddy()->objectName();
                QCOMPARE(labels, QStringList({"Nazwisko=Nazwisko", "Imię=Imie",
                                              "Data urodzenia=DataUrodzenia",
                                              "Miejsce urodzenia=MiejsceUrodzenia", "Adres=Adres",
                                              "Państwo=Panstwo", "Rodzaj=Rodzaj", "Numer=Numer",
                                              "Numer pokoju=NumerPokoju", "Od=Od", "Do=Do"}));
                QStringList buttons;
                for (QPushButton* b : d.findChildren<QPushButton*>())
                    buttons << b->text();
                QCOMPARE(buttons, QStringList({"&Stały klient", "&OK", "&Zamknij"}));
                QComboBox* kinds = control<QComboBox>(d, "Rodzaj");
                QStringList kindTexts;
                for (int i = 0; i < kinds->count(); ++i)
                    kindTexts << kinds->itemText(i);
                QCOMPARE(kindTexts, QStringList({"Dowód osobisty", "Paszport", "leg. studencka",
                                                 "leg. szkolna", ""}));
                QVERIFY(control<QLineEdit>(d, "Od")->isReadOnly());
                QVERIFY(control<QLineEdit>(d, "Do")->isReadOnly());
                QCOMPARE(control<QDateEdit>(d, "DataUrodzenia")->date(), QDate(1970, 1, 1));

                // What is typed stops at the column's width.
                const QString longText(300, QLatin1Char('y'));
                for (auto [name, width] : {std::pair{"Nazwisko", 30},
                                           {"Imie", 20},
                                           {"MiejsceUrodzenia", 25},
                                           {"Adres", 70},
                                           {"Numer", 15}}) {
                    type(d, name, longText);
                    QCOMPARE(control<QLineEdit>(d, name)->text().size(), width);
                }
                QPlainTextEdit* remarks = control<QPlainTextEdit>(d, "Uwagi");
                QTest::keyClicks(remarks, QString(250, QLatin1Char('a')));
                remarks->moveCursor(QTextCursor::Start);
                remarks->insertPlainText("0123456789");
                QCOMPARE(remarks->toPlainText(), "01234" + QString(250, QLatin1Char('a')));
            },
            "OK"));
        p.window.registerGroup(group);
        QCOMPARE(p.env.modal.size(), size_t(0));
        QCOMPARE(
            p.env.scalar("SELECT length(Nazwisko) || '/' || length(Uwagi) FROM Arch_os").toString(),
            "30/255");
    }

    // Check-in left three placeholders in two rooms; the walk fills them one
    // after another, each next person offered one bed fewer.
    void groupWalkFromCheckIn()
    {
        Program p;
        freshGroup(p.env, {{"201", "2026-07-10", "2026-07-20", 1}}, 1, "2026-07-10", "2026-07-20");
        const int group = freshGroup(p.env, kTwoRooms, 3);
        const std::vector<int> persons = personsOf(p.env, group);
        struct Person {
            const char* surname;
            const char* name;
            QStringList rooms;
            int selected;
            int country;
        };
        const std::vector<Person> expected = {{"Kowalski", "Jan", {"101", "101", "102"}, 1, 0},
                                              {"Müller", "Hans", {"101", "102"}, 0, 1},
                                              {"Nováková", "Eva", {"102"}, 0, 2}};
        for (const Person& person : expected) {
            p.env.modal.push_back(step(
                [&p, person](QDialog& d) {
                    QCOMPARE(roomItems(d), person.rooms);
                    QCOMPARE(control<QComboBox>(d, "NumerPokoju")->currentIndex(), person.selected);
                    QCOMPARE(control<QLineEdit>(d, "Od")->text(), QString("2026-07-15"));
                    QCOMPARE(control<QLineEdit>(d, "Do")->text(), QString("2026-07-18"));
                    QCOMPARE(control<QLineEdit>(d, "Nazwisko")->text(), QString());
                    type(d, "Nazwisko", QString::fromUtf8(person.surname));
                    type(d, "Imie", QString::fromUtf8(person.name));
                    type(d, "MiejsceUrodzenia", "Kraków");
                    type(d, "Numer", "ABC123");
                    QDateEdit* birth = control<QDateEdit>(d, "DataUrodzenia");
                    birth->setFocus();
                    QTest::keyClick(birth, Qt::Key_Up); // the year goes up by one
                    control<QComboBox>(d, "Panstwo")->setCurrentIndex(person.country);
                    control<QComboBox>(d, "Rodzaj")->setCurrentIndex(1);
                },
                "OK"));
        }
        p.window.registerGroup(0);
        QCOMPARE(p.env.modal.size(), size_t(0));
        QCOMPARE(p.env.unexpectedModals, 0);
        QCOMPARE(p.env.prompter().shown.size(), 0);
        QCOMPARE(p.env.rows("SELECT Identyfikator_o, Nr_pokoju, Od, \"Do\", Pelne_dane, "
                            "ID_Panstwo FROM Ksiazka WHERE Identyfikator_g = ? ORDER BY rowid",
                            {group}),
                 QStringList({QString("%1|101|2026-07-15|2026-07-18|1|1").arg(persons[0]),
                              QString("%1|101|2026-07-15|2026-07-18|1|2").arg(persons[1]),
                              QString("%1|102|2026-07-15|2026-07-18|1|3").arg(persons[2])}));
        QCOMPARE(p.env.rows("SELECT Nazwisko, Imie, Data_ur, Miejsce_ur, ID_Panstwo, "
                            "Dokument_rodz, Dokument_nr FROM Arch_os WHERE Identyfikator_o >= ? "
                            "ORDER BY Identyfikator_o",
                            {persons[0]}),
                 QStringList({"Kowalski|Jan|1971-01-01|Kraków|1|2|ABC123",
                              "Müller|Hans|1971-01-01|Kraków|2|2|ABC123",
                              "Nováková|Eva|1971-01-01|Kraków|3|2|ABC123"}));
        // The older group was not part of the walk.
        QCOMPARE(p.env.scalar("SELECT count(*) FROM Ksiazka WHERE Pelne_dane = 0").toInt(), 1);
    }

    void leavingEndsTheWalk_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Zamknij") << "Zamknij";
        QTest::newRow("close box") << "close";
        QTest::newRow("Escape") << "escape";
    }
    void leavingEndsTheWalk()
    {
        QFETCH(QString, how);
        Program p;
        const int group = freshGroup(p.env, {{"101", "2026-07-15", "2026-07-18", 5}}, 5);
        for (const char* surname : {"Pierwszy", "Drugi"}) {
            p.env.modal.push_back(
                step([surname](QDialog& d) { type(d, "Nazwisko", surname); }, "OK"));
        }
        p.env.modal.push_back(step([how](QDialog& d) {
            type(d, "Nazwisko", "Trzeci");
            if (how == "Zamknij")
                click(d, "Zamknij");
            else if (how == "escape")
                QTest::keyClick(&d, Qt::Key_Escape);
            else
                d.close();
        }));
        p.window.registerGroup(group);
        QCOMPARE(p.env.modal.size(), size_t(0));
        QCOMPARE(p.env.unexpectedModals, 0);
        QCOMPARE(p.env.rows("SELECT Nazwisko, Pelne_dane FROM Ksiazka JOIN Arch_os USING "
                            "(Identyfikator_o) ORDER BY Ksiazka.rowid"),
                 QStringList({"Pierwszy|1", "Drugi|1", "|0", "|0", "|0"}));
    }

    // An entry already complete, its person with nothing set: the window shows
    // the first document kind, 1970-01-01 and no country, and a save stores
    // them; the window closes after the one person.
    void editOneEntry()
    {
        Program p;
        const int group = freshGroup(p.env, kTwoRooms, 3);
        const int person = personsOf(p.env, group)[1];
        p.env.exec("UPDATE Ksiazka SET Pelne_dane = 1, ID_Panstwo = 9 WHERE Identyfikator_o = ?",
                   {person});
        p.env.exec("UPDATE Arch_os SET Nazwisko = 'Wiśniewska', Dokument_rodz = 0, "
                   "Data_ur = NULL, ID_Panstwo = 9 WHERE Identyfikator_o = ?",
                   {person});
        p.env.modal.push_back(step(
            [](QDialog& d) {
                QCOMPARE(roomItems(d), QStringList({"101", "102", "101"}));
                QCOMPARE(control<QComboBox>(d, "NumerPokoju")->currentIndex(), 2);
                QCOMPARE(control<QLineEdit>(d, "Nazwisko")->text(), QString("Wiśniewska"));
                QCOMPARE(control<QComboBox>(d, "Rodzaj")->currentText(), QString("Dowód osobisty"));
                QCOMPARE(control<QDateEdit>(d, "DataUrodzenia")->date(), QDate(1970, 1, 1));
                QComboBox* countries = control<QComboBox>(d, "Panstwo");
                QCOMPARE(countries->count(), 3);
                QCOMPARE(countries->currentIndex(), -1);
            },
            "OK"));
        p.window.editRegisterEntry(group, person);
        QCOMPARE(p.env.modal.size(), size_t(0));
        QCOMPARE(p.env.unexpectedModals, 0);
        QCOMPARE(p.env.rows("SELECT k.Nr_pokoju, k.Pelne_dane, k.ID_Panstwo, a.ID_Panstwo, "
                            "a.Data_ur, a.Dokument_rodz FROM Ksiazka k JOIN Arch_os a USING "
                            "(Identyfikator_o) WHERE Identyfikator_o = ?",
                            {person}),
                 QStringList{"101|1|1|1|1970-01-01|1"});
    }

    void addMode_data()
    {
        QTest::addColumn<int>("existing"); // entries of the group beforehand
        QTest::addColumn<bool>("viaAdd");
        QTest::newRow("group without entries") << 0 << false;
        QTest::newRow("add a person to a group") << 2 << true;
    }
    void addMode()
    {
        QFETCH(int, existing);
        QFETCH(bool, viaAdd);
        Program p;
        const int group = freshGroup(p.env, kTwoRooms, existing);
        const int before = p.env.scalar("SELECT count(*) FROM Arch_os").toInt();
        p.env.modal.push_back(step(
            [](QDialog& d) {
                QComboBox* rooms = control<QComboBox>(d, "NumerPokoju");
                QCOMPARE(rooms->currentIndex(), -1);
                QCOMPARE(control<QComboBox>(d, "Panstwo")->currentText(), QString("Polska"));
                QCOMPARE(control<QComboBox>(d, "Rodzaj")->currentIndex(), 0);
                rooms->setCurrentIndex(rooms->count() - 1);
                QCOMPARE(control<QLineEdit>(d, "Od")->text(), QString("2026-07-15"));
                type(d, "Nazwisko", "Dodany");
            },
            "OK"));
        if (viaAdd)
            p.window.addPersonToGroup(group);
        else
            p.window.registerGroup(group);
        QCOMPARE(p.env.modal.size(), size_t(0));
        QCOMPARE(p.env.unexpectedModals, 0);
        QCOMPARE(p.env.scalar("SELECT count(*) FROM Arch_os").toInt(), before + 1);
        QCOMPARE(p.env
                     .rows("SELECT Nazwisko, Nr_pokoju, Pelne_dane, Wykwaterowany, k.ID_Panstwo "
                           "FROM Ksiazka k JOIN Arch_os USING (Identyfikator_o) "
                           "WHERE Identyfikator_g = ? ORDER BY k.rowid",
                           {group})
                     .mid(existing),
                 QStringList{"Dodany|102|1|0|1"});
    }

    // "Stały klient": the archive is shown until it finishes; details asked
    // for open the guest details; the chosen former guest fills the form, and
    // the save writes into the entry's own person record.
    void takeOverFormerGuest_data()
    {
        QTest::addColumn<bool>("addMode");
        QTest::newRow("edit mode") << false;
        QTest::newRow("add mode") << true;
    }
    void takeOverFormerGuest()
    {
        QFETCH(bool, addMode);
        Program p;
        p.env.exec("INSERT INTO Arch_os(Nazwisko, Imie, Data_ur, Dokument_rodz, Dokument_nr, "
                   "ID_Panstwo) VALUES ('Stały', 'Gość', '1960-05-05', 2, 'P999', 2)");
        const int former = p.env.scalar("SELECT max(Identyfikator_o) FROM Arch_os").toInt();
        const QStringList formerBefore =
            p.env.rows("SELECT * FROM Arch_os WHERE Identyfikator_o = ?", {former});
        const int group = freshGroup(p.env, kTwoRooms, addMode ? 0 : 2);
        std::vector<ArchiveChoice> choices = {{former, true, false, false},
                                              {former, false, true, true}};
        size_t shownArchive = 0;
        QList<int> details;
        p.window.handlers().showPersonArchive = [&](bool fromRegistration) {
            [&] { QVERIFY(fromRegistration); }();
            return choices.at(shownArchive++);
        };
        p.window.handlers().showGuestDetails = [&](int id) { details << id; };

        p.env.modal.push_back(
            step([](QDialog& d) { type(d, "Nazwisko", "Wpisany"); }, "StalyKlient"));
        p.env.modal.push_back(step(
            [](QDialog& d) {
                QCOMPARE(control<QLineEdit>(d, "Nazwisko")->text(), QString("Stały"));
                QCOMPARE(control<QComboBox>(d, "Panstwo")->currentText(), QString("Niemcy"));
                QCOMPARE(control<QComboBox>(d, "Rodzaj")->currentText(), QString("Paszport"));
            },
            "OK"));
        if (!addMode) {
            p.env.modal.push_back(step(
                [](QDialog& d) {
                    // The take-over belonged to the first person only.
                    QCOMPARE(control<QLineEdit>(d, "Nazwisko")->text(), QString());
                },
                "Zamknij"));
        }
        if (addMode)
            p.window.addPersonToGroup(group);
        else
            p.window.registerGroup(group);
        QCOMPARE(p.env.modal.size(), size_t(0));
        QCOMPARE(shownArchive, size_t(2));
        QCOMPARE(details, QList<int>{former});
        QCOMPARE(p.env.rows("SELECT * FROM Arch_os WHERE Identyfikator_o = ?", {former}),
                 formerBefore);
        QCOMPARE(p.env.rows("SELECT Identyfikator_o <> ?, Nazwisko, Imie, Data_ur, Dokument_nr, "
                            "k.ID_Panstwo FROM Ksiazka k JOIN Arch_os USING (Identyfikator_o) "
                            "WHERE Identyfikator_g = ? ORDER BY k.rowid LIMIT 1",
                            {former, group}),
                 QStringList{"1|Stały|Gość|1960-05-05|P999|2"});
    }

    // A refused save is shown by the general error display, leaves the entry
    // as it was, and the walk goes on with the next person.
    void failedSaveGoesOn()
    {
        Program p;
        const int group = freshGroup(p.env, kTwoRooms, 2);
        p.env.exec("CREATE TRIGGER refuse BEFORE UPDATE ON Arch_os WHEN NEW.Nazwisko = 'Zły' "
                   "BEGIN SELECT RAISE(ABORT, 'odmowa zapisu'); END");
        for (const char* surname : {"Zły", "Dobry"}) {
            p.env.modal.push_back(step(
                [surname](QDialog& d) { type(d, "Nazwisko", QString::fromUtf8(surname)); }, "OK"));
        }
        p.window.registerGroup(group);
        QCOMPARE(p.env.modal.size(), size_t(0));
        QCOMPARE(p.env.prompter().log(), QStringList{QString(kProgramName) + "|odmowa zapisu"});
        QCOMPARE(p.env.prompter().messages(Prompter::Icon::Error).size(), 1);
        QCOMPARE(p.env.rows("SELECT Nazwisko, Pelne_dane, k.ID_Panstwo FROM Ksiazka k JOIN "
                            "Arch_os USING (Identyfikator_o) ORDER BY k.rowid"),
                 QStringList({"|0|NULL", "Dobry|1|1"}));
    }
};

REZYDO_TEST(TestRegistrationWindow);
#include "test_registration_window.moc"
