#include "app/commands.h"
#include "app/main_window.h"
#include "core/ui/modal.h"
#include "db/data_module.h"
#include "db/row_set.h"
#include "reports/ui/money_report_windows.h"
#include "reports/ui/room_report_windows.h"
#include "stays/ui/reservation_confirmation_window.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
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
