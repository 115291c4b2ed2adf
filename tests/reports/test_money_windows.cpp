#include "app/commands.h"
#include "app/main_window.h"
#include "core/program_dir.h"
#include "core/ui/modal.h"
#include "db/data_module.h"
#include "db/row_set.h"
#include "reports/ui/money_report_windows.h"
#include "reports/ui/room_report_windows.h"
#include "stays/ui/reservation_confirmation_window.h"
#include "tests/admin/archive_fixture.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

namespace {
void addPaidGroup(TestEnv& env, int id, int rozl)
{
    env.exec("insert into Kwat_hot(Identyfikator,Nazwa,Osob) values (?,'Grupa',1)", {id});
    env.exec("insert into Kalk(Identyfikator,Nazwa,Brutto,rozl) values (?,'Grupa',0,?)",
             {id, rozl});
}

int click(QDialog& d, const char* button)
{
    d.findChild<QPushButton*>(QString::fromLatin1(button))->click();
    return d.result();
}

// The one failure the general error handling showed, with the engine's words.
void expectOneError(TestEnv& env, const QString& engine)
{
    QCOMPARE(env.prompter().shown.size(), 1);
    const ScriptedPrompter::Shown& error = env.prompter().shown[0];
    QCOMPARE(error.icon, Prompter::Icon::Error);
    QCOMPARE(error.caption, kProgramName);
    QVERIFY2(error.text.contains(engine), qPrintable(error.text));
}

// Drops a view the report reads (on the server with the views built on it);
// the engine's words for it missing.
bool dropView(TestEnv& env, const QString& name)
{
    return QSqlQuery(env.db()).exec(QStringLiteral("drop view ") + name +
                                    (TestEnv::onServer() ? QStringLiteral(" cascade") : QString()));
}
QString missingView(const QString& name)
{
    return TestEnv::onServer()
               ? QStringLiteral("relation \"%1\" does not exist").arg(name.toLower())
               : QStringLiteral("no such table: ") + name;
}
} // namespace

class TestMoneyWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void paymentsWindow()
    {
        TestEnv env;
        addPaidGroup(env, 1, 0);
        env.exec("insert into Kwit(Identyfikator,Nr_kwit,Wplata,Data,Typ) values "
                 "(1,'5',10000000,'2026-07-01',3),(1,'6',25000,'2026-07-02',1)");
        TFormRapOplaty w;
        QCOMPARE(w.findChild<QDateEdit*>("DataPoczatkowa")->date(), QDate(2026, 6, 1));
        QCOMPARE(w.findChild<QDateEdit*>("DataKoncowa")->date(), QDate(2026, 7, 15));
        auto* total = w.findChild<QLabel*>("Razem");
        QCOMPARE(total->text().remove(QChar(0xa0)).remove(' '), QString("Razem1002,50zł"));
        w.findChild<QComboBox*>("RodzajOplat")->setCurrentIndex(3);
        QCOMPARE(w.rows().rowCount(), 1);
        QCOMPARE(total->text().remove(QChar(0xa0)).remove(' '), QString("Razem1000,00zł"));
        w.findChild<QDateEdit*>("DataPoczatkowa")->setDate(QDate(2026, 7, 2));
        QCOMPARE(w.rows().rowCount(), 0);
    }

    // The menu commands: messages, captions, icons and the window coming back.
    void commands()
    {
        TestEnv env;
        TGlowne main;
        wireMoneyReportCommands(main);
        addPaidGroup(env, 1, 1);
        main.command("mnuNieuregulowanePlatnosci")->trigger();
        QCOMPARE(env.unexpectedModals, 0);
        QCOMPARE(env.prompter().log(),
                 QStringList{"Grupy z niuregulowanymi płatnościami - błąd!|Wszytskie grupy "
                             "zostały rozliczone"});

        env.modal.push_back([](QDialog& d) {
            d.findChild<QDateEdit*>("DataPoczatkowa")->setDate(QDate(2026, 7, 16));
            return click(d, "Podglad");
        });
        env.modal.push_back([](QDialog& d) { return click(d, "Zamknij"); });
        main.command("mnuZestawienieFaktur")->trigger();
        QCOMPARE(env.prompter().shown.last().text,
                 QString("Data początkowa jest większa od daty końcowej"));
        QCOMPARE(env.prompter().shown.last().icon, Prompter::Icon::Information);

        env.modal.push_back([](QDialog& d) { return click(d, "Podglad"); });
        env.modal.push_back([](QDialog& d) { return click(d, "Zamknij"); });
        main.command("mnuOplatyWOkresie")->trigger();
        QCOMPARE(env.prompter().log().last(),
                 QString("Opłaty wniesione w okresie - błąd!|Nie ma opłat w wybranym przedziale "
                         "czasu."));

        const qsizetype before = env.prompter().shown.size();
        env.modal.push_back([](QDialog& d) { return click(d, "Drukuj"); });
        env.modal.push_back([](QDialog& d) { return click(d, "Zamknij"); });
        main.command("mnuRabaty")->trigger();
        QCOMPARE(env.prompter().shown.size(), before);
        QVERIFY(env.modal.empty());
        QCOMPARE(env.unexpectedModals, 0);
    }

    void roomCommands()
    {
        TestEnv env;
        TGlowne main;
        wireMoneyReportCommands(main);
        env.modal.push_back([](QDialog& d) { return click(d, "Podglad"); });
        env.modal.push_back([](QDialog& d) { return click(d, "Zamknij"); });
        main.command("mnuWolnePokoje")->trigger();
        main.command("mnuWykorzystaniePokoi")->trigger();
        QCOMPARE(env.prompter().log(),
                 (QStringList{"Wolne pokoje|Nie ma żadnych danych do wydruku.",
                              "Wykorzystanie pokoi|Nie ma żadnej rezerwacji i kwaterunku."}));
        QVERIFY(env.modal.empty());

        env.exec("insert into Pokoje(Nr_Pokoju,Miejsc) values ('1',2),('2',2)");
        env.exec("insert into Rez_msc(Identyfikator,Nr_pokoju,Od,\"Do\",Miejsc) values "
                 "(1,'1','2026-11-28','2026-12-03',2)");
        QStringList months;
        int rooms = 0;
        QString marked;
        env.modal.push_back([&](QDialog& d) {
            auto& w = static_cast<TFormRapWykorzystanie&>(d);
            auto* list = w.findChild<QComboBox*>("Miesiac");
            for (int i = 0; i < list->count(); ++i)
                months << list->itemText(i);
            list->setCurrentIndex(1);
            const int result = click(d, "Podglad");
            rooms = w.roomCount();
            for (int day = 1; day <= 4; ++day)
                marked += w.entries()[0].reserved[day] ? 'R' : '.';
            return result;
        });
        main.command("mnuWykorzystaniePokoi")->trigger();
        QCOMPARE(months, (QStringList{"2026 listopad", "2026 grudzień"}));
        QCOMPARE(rooms, 2);
        QCOMPARE(marked, QString("RRR."));
        QVERIFY(!dataModule().rooms().isOpen());
        QCOMPARE(env.unexpectedModals, 0);
    }

    // The chart reads the rooms with its own query: the room window keeps
    // its open cursor with the change typed into it.
    void roomChartLeavesTheRoomWindowAlone()
    {
        TestEnv env;
        TGlowne main;
        wireAdminCommands(main);
        wireMoneyReportCommands(main);
        main.show();
        env.exec("insert into Pokoje(Nr_Pokoju,Miejsc,Opis) values ('1',2,'(1+1)'),('2',2,'')");
        env.exec("insert into Rez_msc(Identyfikator,Nr_pokoju,Od,\"Do\",Miejsc) values "
                 "(1,'1','2026-07-14','2026-07-16',2)");
        main.command("mnuUstawieniePokoi")->trigger();
        auto* window = main.findChild<QWidget*>("TPokoje");
        QVERIFY(window && window->isVisible());
        auto* opis = window->findChild<QLineEdit*>("Opis");
        QTest::keyClicks(opis, "!");
        TableCursor& rooms = dataModule().rooms();
        QCOMPARE(rooms.state(), TableCursor::State::Edit);

        int chartRooms = 0;
        QString marked;
        env.modal.push_back([&](QDialog& d) {
            const int result = click(d, "Podglad");
            const auto& w = static_cast<TFormRapWykorzystanie&>(d);
            chartRooms = w.roomCount();
            for (int day = 13; day <= 17; ++day)
                marked += w.entries()[0].occupied[day] ? 'R' : '.';
            return result;
        });
        main.command("mnuWykorzystaniePokoi")->trigger();
        QCOMPARE(chartRooms, 2);
        QCOMPARE(marked, QString(".RRR."));

        QVERIFY(window->isVisible());
        QVERIFY(rooms.isOpen());
        QCOMPARE(rooms.state(), TableCursor::State::Edit);
        QCOMPARE(rooms.rowCount(), 2);
        QCOMPARE(rooms.value("Opis").toString(), QString("(1+1)!"));
        QCOMPARE(opis->text(), QString("(1+1)!"));
        QCOMPARE(window->findChild<QTableView*>("Lista")->model()->rowCount(), 2);
        // Typing on goes on with the same room, and "&Ok" saves it.
        QTest::keyClicks(opis, "?");
        window->findChild<QPushButton*>("Ok")->click();
        QCOMPARE(env.rows("select Nr_Pokoju, Opis from Pokoje order by rowid"),
                 (QStringList{"1|(1+1)!?", "2|"}));
        QVERIFY(env.prompter().shown.isEmpty());
        QVERIFY(env.modal.empty());
        QCOMPARE(env.unexpectedModals, 0);
    }

    // The free rooms window does not open when its lists cannot be read.
    void freeRoomsEndOnAFailedRead()
    {
        TestEnv env;
        TGlowne main;
        wireMoneyReportCommands(main);
        RecordingPresenter recorder;
        env.exec("insert into Pokoje(Nr_Pokoju,Miejsc) values ('1',2)");
        QVERIFY(dropView(env, "Kwat_i_Rez"));
        env.modal.push_back([](QDialog& d) { return click(d, "Podglad"); });
        main.command("mnuWolnePokoje")->trigger();
        expectOneError(env, missingView("Kwat_i_Rez"));
        QCOMPARE(env.modal.size(), std::size_t(1)); // no window was shown
        QCOMPARE(env.unexpectedModals, 0);
        QCOMPARE(recorder.previewed + recorder.printed, 0);
    }

    // A day whose lists cannot be read does not stay in the field: what is
    // shown and printed is the last day read, with its lists.
    void freeRoomsKeepTheDayOfTheirLists()
    {
        TestEnv env;
        TGlowne main;
        wireMoneyReportCommands(main);
        RecordingPresenter recorder;
        env.exec("insert into Pokoje(Nr_Pokoju,Miejsc) values ('1',2),('2',2)");
        // Room 2 is taken from 2026-07-20 on.
        env.exec("insert into Kwat_msc(Identyfikator,Nr_pokoju,Od,\"Do\",Miejsc) values "
                 "(1,'2','2026-07-20','2026-07-25',2)");
        QDate shown;
        QString rooms;
        env.modal.push_back([&](QDialog& d) {
            dropView(env, "Kwat_i_Rez");
            auto* day = d.findChild<QDateEdit*>("WolneOd");
            day->setDate(QDate(2026, 7, 21));
            shown = day->date();
            rooms = d.findChild<QLabel*>("Pokoi")->text();
            return click(d, "Podglad");
        });
        env.modal.push_back([](QDialog& d) { return click(d, "Zamknij"); });
        main.command("mnuWolnePokoje")->trigger();
        expectOneError(env, missingView("Kwat_i_Rez"));
        QCOMPARE(shown, QDate(2026, 7, 15));
        QCOMPARE(rooms, QString("Pokoi : 2"));
        QCOMPARE(recorder.previewed, 1);
        QCOMPARE(recorder.last.pages[0].texts("NaglowekStrony"),
                 QStringList{"Wolne pokoje od dnia 2026-07-15"});
        QCOMPARE(recorder.last.pages[0].texts("Pokoje").mid(0, 1), QStringList{"1"});
        QVERIFY(env.modal.empty());
        QCOMPARE(env.unexpectedModals, 0);
    }

    // Room entries that cannot be made end the command with the error: no
    // chart claims every room free.
    void roomChartEndsWhenItsEntriesFail_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("preview") << "Podglad";
        QTest::newRow("print") << "Drukuj";
    }
    void roomChartEndsWhenItsEntriesFail()
    {
        QFETCH(QString, button);
        TestEnv env;
        TGlowne main;
        wireMoneyReportCommands(main);
        RecordingPresenter recorder;
        env.exec("insert into Pokoje(Nr_Pokoju,Miejsc) values ('1',2)");
        env.exec("insert into Rez_msc(Identyfikator,Nr_pokoju,Od,\"Do\",Miejsc) values "
                 "(1,'1','2026-07-14','2026-07-16',2)");
        QVERIFY(dropView(env, "Rez_msc_i_ksiazka"));
        env.modal.push_back([&](QDialog& d) { return click(d, qPrintable(button)); });
        main.command("mnuWykorzystaniePokoi")->trigger();
        expectOneError(env, missingView("Rez_msc_i_ksiazka"));
        QCOMPARE(recorder.previewed + recorder.printed, 0);
        QVERIFY(env.modal.empty());
        QCOMPARE(env.unexpectedModals, 0);
    }

    void confirmationCommand()
    {
        TestEnv env;
        TGlowne main;
        wireMoneyReportCommands(main);
        env.exec("insert into Rez_hot(Nazwa,Osob,Od,\"Do\") values ('Kowalscy',2,'2026-07-20',"
                 "'2026-07-23')");
        int rows = -1;
        env.modal.push_back([&](QDialog& d) {
            rows = static_cast<TFormRapPotwierdzenie&>(d).rows().rowCount();
            return click(d, "Podglad");
        });
        env.modal.push_back([](QDialog& d) { return click(d, "Zamknij"); });
        main.command("mnuPotwierdzenieRezerwacji")->trigger();
        QCOMPARE(rows, 1);
        QVERIFY(env.modal.empty());
        QVERIFY(env.prompter().log().isEmpty());
    }
    // The lists the receptionist starts over the main window come up centred on
    // it, wherever the main window stands; the others on the screen.
    void parameterWindowsCentredOnTheMainWindow_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("onMainWindow");
        QTest::newRow("Nierozliczone grupy") << "mnuNieuregulowanePlatnosci" << true;
        QTest::newRow("Rabaty") << "mnuRabaty" << true;
        QTest::newRow("Wolne pokoje") << "mnuWolnePokoje" << true;
        QTest::newRow("Potwierdzenie rezerwacji") << "mnuPotwierdzenieRezerwacji" << true;
        QTest::newRow("Opłaty wniesione") << "mnuOplatyWOkresie" << false;
        QTest::newRow("Faktury") << "mnuZestawienieFaktur" << false;
    }
    void parameterWindowsCentredOnTheMainWindow()
    {
        QFETCH(QString, command);
        QFETCH(bool, onMainWindow);
        TestEnv env;
        addPaidGroup(env, 1, 0); // one unsettled group, so that its list opens
        TGlowne main;
        wireMoneyReportCommands(main);
        main.show();
        main.move(150, 90);
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QPoint centre;
        QWidget* parent = nullptr;
        env.modal.push_back([&](QDialog& d) {
            centre = d.frameGeometry().center();
            parent = d.parentWidget();
            return click(d, "Zamknij");
        });
        main.command(command)->trigger();
        QVERIFY(env.modal.empty());
        const QPoint expected = onMainWindow ? main.frameGeometry().center()
                                             : main.screen()->availableGeometry().center();
        QVERIFY2((centre - expected).manhattanLength() <= 2,
                 qPrintable(QString("(%1, %2) instead of (%3, %4)")
                                .arg(centre.x())
                                .arg(centre.y())
                                .arg(expected.x())
                                .arg(expected.y())));
        QCOMPARE(parent, onMainWindow ? static_cast<QWidget*>(&main) : nullptr);
    }
};
REZYDO_TEST(TestMoneyWindows);
#include "test_money_windows.moc"
