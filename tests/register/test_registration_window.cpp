#include "app/commands.h"
#include "app/main_window.h"
#include "core/program_dir.h"
#include "register/ui/registration_window.h"
#include "tests/register/register_fixture.h"
#include "tests/support/failing_writes.h"
#include "tests/support/test_registry.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {
template <typename W> W* control(QDialog& d, const char* name)
{
    return d.findChild<W*>(QLatin1String(name));
}
QString text(QDialog& d, const char* name)
{
    return control<QLineEdit>(d, name)->text();
}
QComboBox* combo(QDialog& d, const char* name)
{
    return control<QComboBox>(d, name);
}
QStringList items(QComboBox* c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
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

// One showing of the window: `work` checks and works the controls, then
// `button` is clicked (none: `work` closes the window itself). A failed check
// closes the window, which ends the walk.
std::function<int(QDialog&)> step(std::function<void(QDialog&)> work, const char* button = "OK")
{
    return [work, button](QDialog& d) {
        work(d);
        if (QTest::currentTestFailed())
            d.reject();
        else if (button)
            QTest::mouseClick(control<QPushButton>(d, button), Qt::LeftButton);
        return d.result();
    };
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
    QStringList joined(int group)
    {
        return env.rows("SELECT Nazwisko, Nr_pokoju, Pelne_dane, k.ID_Panstwo FROM Ksiazka k "
                        "JOIN Arch_os USING (Identyfikator_o) WHERE Identyfikator_g = ? "
                        "ORDER BY k.rowid",
                        {group});
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
        p.env.modal.push_back(step([&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QString("Ksiażka meldunkowa"));
            QVERIFY(d.isModal() && d.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            QCOMPARE(d.frameGeometry().center(), p.window.frameGeometry().center());
            QStringList captions;
            for (QGroupBox* box : d.findChildren<QGroupBox*>())
                captions << box->title();
            for (QLabel* label : d.findChildren<QLabel*>())
                captions << label->text();
            for (QPushButton* button : d.findChildren<QPushButton*>())
                captions << button->text();
            QCOMPARE(captions,
                     QStringList({"Dane osobowe", "Dokument  tożsamości", "Uwagi",
                                  "Dane kwaterunku", "Nazwisko", "Imię", "Data urodzenia",
                                  "Miejsce urodzenia", "Adres", "Państwo", "Rodzaj", "Numer",
                                  "Numer pokoju", "Od", "Do", "&Stały klient", "&OK", "&Zamknij"}));
            QCOMPARE(
                items(combo(d, "Rodzaj")),
                QStringList({"Dowód osobisty", "Paszport", "leg. studencka", "leg. szkolna", ""}));
            QVERIFY(control<QLineEdit>(d, "Od")->isReadOnly());
            // No birth date is offered: an untouched field stores none.
            QCOMPARE(control<QLineEdit>(d, "DataUrodzenia")->text(), QString("--"));
            // What is typed stops at the column's width.
            for (const char* name : {"Nazwisko", "Imie", "MiejsceUrodzenia", "Adres", "Numer"})
                QTest::keyClicks(control<QLineEdit>(d, name), QString(80, 'y'));
            QPlainTextEdit* remarks = control<QPlainTextEdit>(d, "Uwagi");
            QTest::keyClicks(remarks, QString(250, 'a'));
            remarks->moveCursor(QTextCursor::Start);
            remarks->insertPlainText("0123456789");
            QCOMPARE(remarks->toPlainText(), "01234" + QString(250, 'a'));
        }));
        p.window.registerGroup(group);
        QCOMPARE(p.env.modal.size(), size_t(0));
        QCOMPARE(p.env.rows("SELECT length(Nazwisko), length(Imie), length(Miejsce_ur), "
                            "length(Adres), length(Dokument_nr), length(Uwagi) FROM Arch_os"),
                 QStringList{"30|20|25|70|15|255"});
    }

    // Check-in left three placeholders in two rooms; the walk fills them one
    // after another, each next person offered one bed fewer.
    void groupWalkFromCheckIn()
    {
        Program p;
        freshGroup(p.env, {{"201", "2026-07-10", "2026-07-20", 1}}, 1);
        const int group = freshGroup(p.env, kTwoRooms, 3);
        struct Person {
            const char* surname;
            QStringList rooms;
            int selected;
        };
        int country = 0;
        for (const Person& person :
             {Person{"Kowalski", {"101", "101", "102"}, 1}, Person{"Müller", {"101", "102"}, 0},
              Person{"Nováková", {"102"}, 0}}) {
            p.env.modal.push_back(step([person, c = country++](QDialog& d) {
                QCOMPARE(items(combo(d, "NumerPokoju")), person.rooms);
                QCOMPARE(combo(d, "NumerPokoju")->currentIndex(), person.selected);
                QCOMPARE(text(d, "Od") + " " + text(d, "Do"), QString("2026-07-15 2026-07-18"));
                QCOMPARE(text(d, "Nazwisko"), QString());
                type(d, "Nazwisko", QString::fromUtf8(person.surname));
                type(d, "Imie", "Jan");
                type(d, "MiejsceUrodzenia", "Kraków");
                type(d, "Numer", "ABC123");
                control<QLineEdit>(d, "DataUrodzenia")->setFocus();
                QTest::keyClick(control<QLineEdit>(d, "DataUrodzenia"), Qt::Key_Home);
                QTest::keyClicks(control<QLineEdit>(d, "DataUrodzenia"), "19710101");
                combo(d, "Panstwo")->setCurrentIndex(c);
                combo(d, "Rodzaj")->setCurrentIndex(1);
            }));
        }
        p.window.registerGroup(0); // the newest group
        QCOMPARE(p.env.modal.size(), size_t(0));
        QCOMPARE(p.env.unexpectedModals, 0);
        QCOMPARE(p.env.prompter().shown.size(), 0);
        QCOMPARE(p.env.rows("SELECT Nr_pokoju, Od, \"Do\", Pelne_dane, ID_Panstwo FROM Ksiazka "
                            "WHERE Identyfikator_g = ? ORDER BY rowid",
                            {group}),
                 QStringList({"101|2026-07-15|2026-07-18|1|1", "101|2026-07-15|2026-07-18|1|2",
                              "102|2026-07-15|2026-07-18|1|3"}));
        QCOMPARE(p.env.rows("SELECT Nazwisko, Imie, Data_ur, Miejsce_ur, a.ID_Panstwo, "
                            "Dokument_rodz, Dokument_nr FROM Arch_os a JOIN Ksiazka k USING "
                            "(Identyfikator_o) WHERE Identyfikator_g = ? ORDER BY k.rowid",
                            {group}),
                 QStringList({"Kowalski|Jan|1971-01-01|Kraków|1|2|ABC123",
                              "Müller|Jan|1971-01-01|Kraków|2|2|ABC123",
                              "Nováková|Jan|1971-01-01|Kraków|3|2|ABC123"}));
        QCOMPARE(p.env.scalar("SELECT count(*) FROM Ksiazka WHERE Pelne_dane = 0").toInt(), 1);
    }

    // Every person of the walk starts in "Nazwisko", wherever the one before
    // was left (here in the document number, saved with Enter).
    void eachPersonStartsInTheSurname()
    {
        Program p;
        const int group = freshGroup(p.env, kTwoRooms, 2);
        QStringList focused;
        for (const char* surname : {"Kowalski", "Nowak"})
            p.env.modal.push_back(step(
                [&focused, surname](QDialog& d) {
                    focused << (d.focusWidget() ? d.focusWidget()->objectName() : QString());
                    type(d, "Nazwisko", QString::fromLatin1(surname));
                    auto* number = control<QLineEdit>(d, "Numer");
                    number->setFocus();
                    QTest::keyClick(number, Qt::Key_Return); // "&OK" is the default button
                },
                nullptr));
        p.window.registerGroup(group);
        QCOMPARE(focused, QStringList({"Nazwisko", "Nazwisko"}));
        QCOMPARE(p.env.modal.size(), size_t(0));
        QCOMPARE(p.joined(group), QStringList({"Kowalski|101|1|1", "Nowak|101|1|1"}));
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
        for (const char* surname : {"Pierwszy", "Drugi"})
            p.env.modal.push_back(step([surname](QDialog& d) { type(d, "Nazwisko", surname); }));
        p.env.modal.push_back(step(
            [how](QDialog& d) {
                type(d, "Nazwisko", "Trzeci");
                if (how == "Zamknij")
                    QTest::mouseClick(control<QPushButton>(d, "Zamknij"), Qt::LeftButton);
                else if (how == "escape")
                    QTest::keyClick(&d, Qt::Key_Escape);
                else
                    d.close();
            },
            nullptr));
        p.window.registerGroup(group);
        QCOMPARE(p.env.unexpectedModals, 0);
        QCOMPARE(p.joined(group), QStringList({"Pierwszy|101|1|1", "Drugi|101|1|1", "|101|0|NULL",
                                               "|101|0|NULL", "|101|0|NULL"}));
    }

    // One complete entry edited: what its person record holds is shown as the
    // window shows it and, saved untouched, stored in that form in both tables.
    void editOneEntry_data()
    {
        QTest::addColumn<QVariant>("birth");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("country");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored");
        QTest::newRow("nothing set") << QVariant() << 0 << 9 << "--|Dowód osobisty|"
                                     << "1|1|NULL|1";
        QTest::newRow("zero of the date scale")
            << QVariant("1899-12-30") << 1 << 1 << "--|Dowód osobisty|Polska"
            << "1|1|NULL|1";
        QTest::newRow("values kept")
            << QVariant("1985-03-02") << 3 << 2 << "1985-03-02|leg. studencka|Niemcy"
            << "2|2|1985-03-02|3";
    }
    void editOneEntry()
    {
        QFETCH(QVariant, birth);
        QFETCH(int, kind);
        QFETCH(int, country);
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        Program p;
        const int group = freshGroup(p.env, kTwoRooms, 3);
        const int person = personsOf(p.env, group)[1];
        p.env.exec("UPDATE Ksiazka SET Pelne_dane = 1 WHERE Identyfikator_o = ?", {person});
        p.env.exec("UPDATE Arch_os SET Data_ur = ?, Dokument_rodz = ?, ID_Panstwo = ? "
                   "WHERE Identyfikator_o = ?",
                   {birth, kind, country, person});
        p.env.modal.push_back(step([shown](QDialog& d) {
            QCOMPARE(items(combo(d, "NumerPokoju")), QStringList({"101", "102", "101"}));
            QCOMPARE(combo(d, "NumerPokoju")->currentIndex(), 2);
            QCOMPARE(control<QLineEdit>(d, "DataUrodzenia")->text() + "|" +
                         combo(d, "Rodzaj")->currentText() + "|" +
                         combo(d, "Panstwo")->currentText(),
                     shown);
        }));
        p.window.editRegisterEntry(group, person);
        QCOMPARE(p.env.unexpectedModals, 0);
        QCOMPARE(p.env.rows("SELECT k.ID_Panstwo, a.ID_Panstwo, a.Data_ur, a.Dokument_rodz "
                            "FROM Ksiazka k JOIN Arch_os a USING (Identyfikator_o) "
                            "WHERE Identyfikator_o = ?",
                            {person}),
                 QStringList{stored});
    }

    // The hotel's scope of guest data decides what the form asks and what a
    // save stores: the minimal one clears what the record held of the hidden
    // fields. A half-typed birth date is refused in the full form only.
    void dataScope_data()
    {
        QTest::addColumn<bool>("minimal");
        QTest::addColumn<QString>("stored");
        QTest::newRow("full") << false << "Nowak|1980-05-05|Łódź|1|XY1";
        QTest::newRow("minimal") << true << "Nowak|NULL||NULL|";
    }
    void dataScope()
    {
        QFETCH(bool, minimal);
        QFETCH(QString, stored);
        Program p;
        p.env.exec("UPDATE Config SET Dane_minimalne = ?", {minimal ? 1 : 0});
        const int group = freshGroup(p.env, kTwoRooms, 1);
        const int person = personsOf(p.env, group)[0];
        p.env.exec("UPDATE Arch_os SET Data_ur = '1960-01-01', Miejsce_ur = 'Łódź', "
                   "Dokument_rodz = 1, Dokument_nr = 'XY1' WHERE Identyfikator_o = ?",
                   {person});
        p.env.modal.push_back(step(
            [&](QDialog& d) {
                for (const char* name : {"DataUrodzenia", "MiejsceUrodzenia"})
                    QCOMPARE(control<QLineEdit>(d, name)->isVisibleTo(&d), !minimal);
                QCOMPARE(control<QGroupBox>(d, "DokumentTozsamosci")->isVisibleTo(&d), !minimal);
                type(d, "Nazwisko", "Nowak");
                control<QLineEdit>(d, "DataUrodzenia")->setText("1980-13-05");
                QTest::mouseClick(control<QPushButton>(d, "OK"), Qt::LeftButton);
                // The full form saved nothing and stays for the date to be mended.
                QCOMPARE(
                    p.env.scalar("SELECT Nazwisko FROM Arch_os WHERE Identyfikator_o = ?", {person})
                        .toString(),
                    QString(minimal ? "Nowak" : ""));
                if (!minimal) {
                    QCOMPARE(p.env.prompter().log(),
                             QStringList("Ksiażka meldunkowa|Data urodzenia „1980-13-05” nie jest "
                                         "prawidłową datą. Wpisz ją jako rrrr-mm-dd albo usuń "
                                         "całą."));
                    control<QLineEdit>(d, "DataUrodzenia")->setText("1980-05-05");
                    QTest::mouseClick(control<QPushButton>(d, "OK"), Qt::LeftButton);
                }
            },
            nullptr));
        p.window.editRegisterEntry(group, person);
        QCOMPARE(p.env.unexpectedModals, 0);
        QCOMPARE(p.env.rows("SELECT Nazwisko, Data_ur, Miejsce_ur, Dokument_rodz, Dokument_nr "
                            "FROM Arch_os WHERE Identyfikator_o = ?",
                            {person}),
                 QStringList{stored});
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
        p.env.modal.push_back(step([](QDialog& d) {
            QCOMPARE(combo(d, "NumerPokoju")->currentIndex(), -1);
            QCOMPARE(combo(d, "Panstwo")->currentText(), QString("Polska"));
            QCOMPARE(combo(d, "Rodzaj")->currentIndex(), 0);
            combo(d, "NumerPokoju")->setCurrentIndex(2);
            QCOMPARE(text(d, "Od"), QString("2026-07-15"));
            type(d, "Nazwisko", "Dodany");
        }));
        if (viaAdd)
            p.window.addPersonToGroup(group);
        else
            p.window.registerGroup(group);
        QCOMPARE(p.env.unexpectedModals, 0);
        QCOMPARE(p.env.scalar("SELECT count(*) FROM Arch_os").toInt(), before + 1);
        QCOMPARE(p.joined(group).mid(existing), QStringList{"Dodany|102|1|1"});
    }

    // "Stały klient": the archive is shown until it finishes, details asked
    // for open the guest details, and the chosen former guest fills the form;
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
        p.env.exec("INSERT INTO Arch_os(Nazwisko, Imie, Data_ur, Dokument_rodz, ID_Panstwo) "
                   "VALUES ('Stały', 'Gość', '1960-05-05', 2, 2)");
        const int former = p.env.scalar("SELECT max(Identyfikator_o) FROM Arch_os").toInt();
        const QStringList formerRecord = p.env.rows("SELECT * FROM Arch_os");
        const int group = freshGroup(p.env, kTwoRooms, addMode ? 0 : 2);
        const std::vector<ArchiveChoice> choices = {{former, true, false, false},
                                                    {former, false, true, true}};
        size_t archiveShown = 0;
        QList<int> details;
        p.window.handlers().showPersonArchive = [&](bool fromRegistration) {
            return fromRegistration ? choices.at(archiveShown++) : ArchiveChoice{};
        };
        p.window.handlers().showGuestDetails = [&](int id) { details << id; };
        p.env.modal.push_back(
            step([](QDialog& d) { type(d, "Nazwisko", "Wpisany"); }, "StalyKlient"));
        p.env.modal.push_back(step([](QDialog& d) {
            QCOMPARE(text(d, "Nazwisko"), QString("Stały"));
            QCOMPARE(combo(d, "Panstwo")->currentText(), QString("Niemcy"));
            QCOMPARE(combo(d, "Rodzaj")->currentText(), QString("Paszport"));
        }));
        if (!addMode) // the take-over belonged to the first person only
            p.env.modal.push_back(
                step([](QDialog& d) { QCOMPARE(text(d, "Nazwisko"), QString()); }, "Zamknij"));
        if (addMode)
            p.window.addPersonToGroup(group);
        else
            p.window.registerGroup(group);
        QCOMPARE(p.env.modal.size(), size_t(0));
        QCOMPARE(archiveShown, size_t(2));
        QCOMPARE(details, QList<int>{former});
        QCOMPARE(p.env.rows("SELECT * FROM Arch_os WHERE Identyfikator_o = ?", {former}),
                 formerRecord);
        QCOMPARE(p.env.rows("SELECT CAST(Identyfikator_o <> ? AS INTEGER), Nazwisko, Imie, "
                            "Data_ur, k.ID_Panstwo "
                            "FROM Ksiazka k JOIN Arch_os USING (Identyfikator_o) "
                            "WHERE Identyfikator_g = ? ORDER BY k.rowid LIMIT 1",
                            {former, group}),
                 QStringList{"1|Stały|Gość|1960-05-05|2"});
    }

    // A refused save is shown by the general error display, leaves the entry
    // as it was, and the walk goes on with the next person.
    void failedSaveGoesOn()
    {
        Program p;
        const int group = freshGroup(p.env, kTwoRooms, 2);
        refuseWrites(p.env, "UPDATE", "Arch_os", "odmowa zapisu", "NEW.Nazwisko = 'Zły'");
        for (const char* surname : {"Zły", "Dobry"})
            p.env.modal.push_back(
                step([surname](QDialog& d) { type(d, "Nazwisko", QString::fromUtf8(surname)); }));
        p.window.registerGroup(group);
        QCOMPARE(p.env.modal.size(), size_t(0));
        QCOMPARE(p.env.prompter().log(), QStringList{kProgramName + "|odmowa zapisu"});
        QCOMPARE(p.env.prompter().messages(Prompter::Icon::Error).size(), 1);
        QCOMPARE(p.joined(group), QStringList({"|101|0|NULL", "Dobry|101|1|1"}));
    }
};

REZYDO_TEST(TestRegistrationWindow);
#include "test_registration_window.moc"
