#include "app/commands.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "core/frame.h"
#include "core/ui/close_query.h"
#include "db/data_module.h"
#include "db/schema.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTranslator>

namespace {
// A child window that answers the exit question as told.
class Refusing : public QWidget, public CloseQuery {
public:
    bool answer = false;
    int asked = 0;
    bool mayClose() override
    {
        ++asked;
        return answer;
    }
};

// The window inside the newest child frame.
QWidget* newestChild(TGlowne& w)
{
    const QList<QMdiSubWindow*> subs = w.childArea()->subWindowList(QMdiArea::CreationOrder);
    return subs.isEmpty() ? nullptr : subs.last()->widget();
}

QStringList captions(const QList<QAction*>& actions)
{
    QStringList out;
    for (QAction* a : actions)
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void titleSizeAndStatusBar()
    {
        TestEnv env;
        TGlowne w;
        QCOMPARE(w.windowTitle(), QString("Veltrano Rezydo - ver 1.1"));
        QCOMPARE(w.size(), QSize(800, 600));
        QVERIFY(w.clockPanel()->text().isEmpty()); // empty until the first tick
        QTRY_COMPARE_WITH_TIMEOUT(w.clockPanel()->text(), QString("2026-07-15 12:00"), 3000);
        QCOMPARE(&frame(), static_cast<Frame*>(&w));
    }

    void menuCaptionsInOrder()
    {
        TestEnv env;
        TGlowne w;
        QCOMPARE(captions(w.menuBar()->actions()),
                 QStringList({"&Recepcja", "&Administracja", "&Zestawienia", "Widok", "&Pomoc",
                              "&Wyjście"}));
        auto menu = [&](const char* name) { return w.findChild<QMenu*>(name); };
        QCOMPARE(
            captions(menu("mnuRecepcja")->actions()),
            QStringList({"&Wprowadzanie rezerwacji", "&Modyfikowanie rezerwacji", "-",
                         "Kwaterowanie z &listy rezerwacji", "&Kwaterowanie bez rezerwacji",
                         "M&odyfikowanie kwaterunku", "-", "Mo&dyfikowanie książki meldunkowej",
                         "&Wykwaterowanie", "&Opłaty", "-", "&Plan pokoi"}));
        QCOMPARE(captions(menu("mnuAdministracja")->actions()),
                 QStringList({"&Ustawienie pokoi", "&Cennik", "U&sługi", "Stawki &VAT",
                              "&Konfiguracja", "Ustawienie &państw", "Dni &zamknięcia obiektu",
                              "&Blokady pokoi", "&Odtwarzanie bazy danych", "Archiwum",
                              "&Anonimizacja danych gości", "Wybierz bazę"}));
        QCOMPARE(captions(menu("mnuZestawienia")->actions()),
                 QStringList({"&Nieuregulowane płatności", "&Opłaty wniesione w okresie",
                              "&Spis aktualnie zakwaterowanych", "Wolne pokoje",
                              "&Przyjeżdżający danego dnia", "&Wyjeżdżający danego dnia",
                              "&Lista rezerwacji", "Oso&by i osoby/doba", "-",
                              "&Zestawienie wystawionych faktur", "&Faktury do wysłania do KSeF",
                              "&Grupy zakwaterowane w danym dniu",
                              "Wykorzystanie pokoi w danym miesiącu",
                              "Zestawienie udzielonych rabatów", "Potwierdzenie rezerwacji",
                              "Raport dla Gusu", "Sprawozdanie &KT-1 (miesięczne)"}));
        QCOMPARE(captions(menu("mnuWidok")->actions()), QStringList({"Kaskadowy", "Warstwowy"}));
        QVERIFY(!menu("mnuWidok")->menuAction()->isVisible());
        QCOMPARE(w.command("mnuPomoc")->shortcut(), QKeySequence(Qt::Key_F1));
        QCOMPARE(w.command("mnuPlanPokoi")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_G));
    }

    void connectionFailureShownAndWindowOpens()
    {
        TestEnv::Options o;
        o.createDatabase = false;
        TestEnv env(o);
        TGlowne w;
        QCOMPARE(env.prompter().shown.size(), 1);
        QCOMPARE(env.prompter().shown.first().caption, QString("Veltrano Rezydo"));
        QCOMPARE(env.prompter().shown.first().icon, Prompter::Icon::Error);
        QVERIFY(env.prompter().shown.first().text.contains("Baza.mdb"));
        QVERIFY(!env.data().isOpen());
    }

    // A file that is there but is no sound Rezydo database is refused as
    // clearly, and the frame opens all the same.
    void unusableFileShownAndWindowOpens_data()
    {
        QTest::addColumn<QByteArray>("kind");
        QTest::newRow("truncated") << QByteArray("truncated");
        QTest::newRow("foreign SQLite file") << QByteArray("foreign");
    }
    void unusableFileShownAndWindowOpens()
    {
        if (TestEnv::onServer())
            QSKIP("a damaged database file");
        QFETCH(QByteArray, kind);
        TestEnv env;
        const QString file = env.databaseFile();
        env.data().closeConnection();
        QFile::remove(file);
        if (kind == "truncated") {
            createDatabase(file, true);
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.resize(f.size() / 2));
        } else {
            QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "foreign");
            other.setDatabaseName(file);
            QVERIFY(other.open());
            QSqlQuery(other).exec("CREATE TABLE Kwat_hot (x)");
            other.close();
            other = QSqlDatabase();
            QSqlDatabase::removeDatabase("foreign");
        }
        TGlowne w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(env.prompter().shown.size(), 1);
        const auto& box = env.prompter().shown.first();
        QCOMPARE(box.caption, QString("Veltrano Rezydo"));
        QCOMPARE(box.icon, Prompter::Icon::Error);
        QVERIFY2(box.text.contains("Baza.mdb") &&
                     box.text.contains("nie jest bazą danych programu Rezydo"),
                 qPrintable(box.text));
        QVERIFY(!env.data().isOpen());
        QVERIFY(w.command("mnuPomoc")->isEnabled());
    }

    void exitSequence_data()
    {
        QTest::addColumn<bool>("backup");
        QTest::newRow("no backup") << false;
        QTest::newRow("backup") << true;
    }
    void exitSequence()
    {
        QFETCH(bool, backup);
        TestEnv env;
        TGlowne w;
        int backups = 0;
        w.setExitBackup([&] {
            ++backups;
            QVERIFY(dataModule().isOpen()); // the backup runs before the connection closes
        });
        w.show();
        env.prompter().answers = {backup};
        QVERIFY(w.close());
        QCOMPARE(env.prompter().log(),
                 QStringList({"Tworzenie archiwum|Czy stworzyć kopię zapasową bazy danych?"}));
        QCOMPARE(env.prompter().shown.first().icon, Prompter::Icon::Question);
        QCOMPARE(backups, backup ? 1 : 0);
        QVERIFY(!env.data().isOpen());
    }

    void failingBackupStillCloses()
    {
        TestEnv env;
        TGlowne w;
        w.setExitBackup([] { throw RezydoError("dysk pełny"); });
        w.show();
        env.prompter().answers = {true};
        QVERIFY(w.close());
        QVERIFY(!env.data().isOpen());
        QCOMPARE(env.prompter().log().last(), QString("Veltrano Rezydo|dysk pełny"));
    }

    void refusingChildKeepsProgramRunning()
    {
        TestEnv env;
        TGlowne w;
        w.show();
        auto* keeps = new Refusing;
        auto* refuses = new Refusing;
        refuses->answer = false;
        keeps->answer = true;
        w.addChild(keeps);
        w.addChild(refuses);
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QCOMPARE(refuses->asked, 1);
        QVERIFY(env.prompter().shown.isEmpty()); // no backup question
        QVERIFY(env.data().isOpen());
        QCOMPARE(w.childArea()->subWindowList().size(), 2); // nothing closed
        refuses->answer = true;
        env.prompter().answers = {false};
        QVERIFY(w.close());
        QVERIFY(!env.data().isOpen());
    }

    // "&Zamknij" closes the child frame with the window, at once: no empty frame
    // stays behind with the old title.
    void closeButtonLeavesNoFrame_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("answers"); // Yes answers to the window's own question
        QTest::newRow("Modyfikowanie rezerwacji") << "mnuModyfikowanieRezerwacji"
                                                  << "&Zamknij" << 0;
        QTest::newRow("Kwaterowanie z listy") << "mnuKwaterowanieZListy"
                                              << "&Zamknij" << 0;
        QTest::newRow("Modyfikowanie kwaterunku") << "mnuModyfikowanieKwaterunku"
                                                  << "&Zamknij" << 0;
        QTest::newRow("Wykwaterowanie") << "mnuWykwaterowanie"
                                        << "&Zamknij" << 0;
        QTest::newRow("Opłaty") << "mnuOplaty"
                                << "&Zamknij" << 0;
        QTest::newRow("Osoby i osoby/doba") << "mnuOsobyDoba"
                                            << "&Zamknij" << 0;
        QTest::newRow("Modyfikowanie książki") << "mnuModyfikowanieKsiazki"
                                               << "&Zamknij" << 0;
        QTest::newRow("Ustawienie pokoi") << "mnuUstawieniePokoi"
                                          << "&Zamknij" << 0;
        QTest::newRow("Cennik") << "mnuCennik"
                                << "&Zamknij" << 0;
        QTest::newRow("Ustawienie państw") << "mnuUstawieniePanstw"
                                           << "&Zamknij" << 0;
        QTest::newRow("Wprowadzanie rezerwacji") << "mnuWprowadzanieRezerwacji"
                                                 << "&Zamknij" << 1;
    }
    void closeButtonLeavesNoFrame()
    {
        QFETCH(QString, command);
        QFETCH(QString, caption);
        QFETCH(int, answers);
        TestEnv env;
        TGlowne w;
        wireCommands(w);
        w.show();
        w.command(command)->trigger();
        QCOMPARE(w.childArea()->subWindowList().size(), 1);
        QWidget* window = newestChild(w);
        QVERIFY(window);
        QPushButton* close = nullptr;
        for (QPushButton* b : window->findChildren<QPushButton*>())
            if (b->text() == caption && b->isVisible())
                close = b;
        QVERIFY2(close, qPrintable(caption));
        env.prompter().answers.assign(answers, true);
        QTest::mouseClick(close, Qt::LeftButton);
        // Before any event is processed: the frame went together with the window.
        QCOMPARE(w.childArea()->subWindowList().size(), 0);
        QCOMPARE(env.prompter().unanswered, 0);
    }

    // "&Książka" on a reservation checks the group in, registers it and
    // closes the list together with its frame.
    void bookOnAReservationClosesTheList()
    {
        TestEnv env;
        env.exec("INSERT INTO Rez_hot (Nazwa, Osob, Od, \"Do\") "
                 "VALUES ('Kowalscy', 2, '2026-07-15', '2026-07-18')");
        env.exec("INSERT INTO Rez_msc (Identyfikator, Nr_pokoju, Od, \"Do\", Miejsc, Jaki) "
                 "VALUES (1, '10', '2026-07-15', '2026-07-18', 2, 'M')");
        TGlowne w;
        wireCommands(w);
        QList<int> registered;
        w.handlers().registerGroup = [&](int group) { registered << group; };
        w.show();
        w.command("mnuKwaterowanieZListy")->trigger();
        QWidget* list = newestChild(w);
        QVERIFY(list);
        QTest::mouseClick(list->findChild<QPushButton*>("Ksiazka"), Qt::LeftButton);
        QCOMPARE(registered.size(), 1);
        QCOMPARE(
            env.scalar("SELECT count(*) FROM Kwat_hot WHERE Identyfikator = ?", {registered[0]})
                .toInt(),
            1);
        QCOMPARE(w.childArea()->subWindowList().size(), 0);
    }

    // A window that closes only itself still takes its frame along.
    void windowClosingItselfTakesItsFrame()
    {
        TestEnv env;
        TGlowne w;
        w.show();
        auto* window = new QWidget;
        w.addChild(window, true);
        w.addChild(new QWidget);
        QCOMPARE(w.childArea()->subWindowList().size(), 2);
        window->close();
        QTRY_COMPARE(w.childArea()->subWindowList().size(), 1);
    }

    void helpOpensTheFileBesideTheProgram()
    {
        TestEnv env;
        TGlowne w;
        QUrl opened;
        TGlowne::setUrlOpener([&](const QUrl& u) {
            opened = u;
            return true;
        });
        w.command("mnuPomoc")->trigger();
        TGlowne::setUrlOpener({});
        QCOMPARE(opened, QUrl::fromLocalFile(env.path("VeltranoRezydo.chm")));
        QVERIFY(env.prompter().shown.isEmpty());
    }

    // Without Qt's own Polish texts input boxes and file dialogs show English buttons.
    void qtOwnTextsArePolish()
    {
        QTranslator* translator = installQtTranslation(*QCoreApplication::instance());
        QVERIFY(translator);
        const QString cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
        QCoreApplication::removeTranslator(translator);
        delete translator;
        QCOMPARE(cancel, QString("Anuluj"));
    }

    void unwiredCommandsAreDisabled()
    {
        TestEnv env;
        TGlowne w;
        QVERIFY(w.command("mnuRaportGus"));
        QVERIFY(!w.command("mnuRaportGus")->isEnabled());
        bool ran = false;
        w.wireCommand("mnuRaportGus", [&] {
            ran = true;
            throw RezydoError("coś poszło nie tak");
        });
        QVERIFY(w.command("mnuRaportGus")->isEnabled());
        w.command("mnuRaportGus")->trigger();
        QVERIFY(ran);
        QCOMPARE(env.prompter().log(), QStringList({"Veltrano Rezydo|coś poszło nie tak"}));
    }
};

REZYDO_TEST(TestMainWindow);
#include "test_main_window.moc"
