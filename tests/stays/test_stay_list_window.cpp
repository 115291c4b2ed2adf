#include "core/frame.h"
#include "stays/ui/stay_list_window.h"
#include "tests/support/polish_names.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QAbstractItemModel>
#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {
struct RecordingFrame : Frame {
    QStringList calls;
    QObject* editorCaller = nullptr;
    void openStayEditor(int g, bool reservation, QObject* caller) override
    {
        calls << QStringLiteral("editor %1 %2").arg(g).arg(reservation ? "rez" : "kwat");
        editorCaller = caller;
    }
    void openBilling(int g) override { calls << QStringLiteral("billing %1").arg(g); }
    void registerGroup(int g) override { calls << QStringLiteral("register %1").arg(g); }
    void openRegisterBrowse(int g) override { calls << QStringLiteral("browse %1").arg(g); }
};

void addGroups(TestEnv& env, const QString& table)
{
    const QString lines = table == "Rez_hot" ? "Rez_msc" : "Kwat_msc";
    const QStringList names{"Kowalscy", "Nowak", "Adamczyk", "Kowalczyk"};
    for (int i = 0; i < names.size(); ++i) {
        env.exec(QString("insert into %1(Nazwa,Osob,Od,\"Do\") values (?,?,?,?)").arg(table),
                 {names[i], i + 1, QString("2026-07-1%1").arg(i), "2026-07-20"});
        env.exec(QString("insert into %1(Identyfikator,Nr_pokoju,Od,\"Do\",Miejsc,Jaki) "
                         "values (?,?,?,?,1,'M')")
                     .arg(lines),
                 {i + 1, QString::number(10 + i), QString("2026-07-1%1").arg(i), "2026-07-20"});
    }
}

QStringList visibleButtons(TLista& list)
{
    QStringList out;
    for (const char* name :
         {"Zmien", "Usun", "Wykwateruj", "Oplaty", "Kwateruj", "Ksiazka", "Zamknij"}) {
        auto* b = list.findChild<QPushButton*>(name);
        if (b && !b->isHidden())
            out << b->text();
    }
    return out;
}

QStringList column(QTableView* grid, int c)
{
    QStringList out;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        out << grid->model()->index(r, c).data().toString();
    return out;
}

QStringList titles(QTableView* grid)
{
    QStringList out;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        out << grid->model()->headerData(c, Qt::Horizontal).toString();
    return out;
}

void doubleClickFirstRow(QTableView* grid)
{
    const QRect cell = grid->visualRect(grid->model()->index(0, 1));
    // A double click is a press and release followed by the double-click event.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}
} // namespace

class TestStayListWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fiveVariants_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QString>("doubleClick"); // the call it makes, "" for none
        QTest::newRow("modify reservations")
            << int(TLista::Variant::ModifyReservations) << "Lista rezerwacji"
            << QStringList{"&Zmień", "&Usuń", "&Kwateruj", "&Zamknij"} << "editor 4 rez";
        QTest::newRow("check-in from the list")
            << int(TLista::Variant::CheckInFromList) << "Lista rezerwacji"
            << QStringList{"&Zmień", "&Usuń", "&Kwateruj", "&Książka", "&Zamknij"} << "";
        QTest::newRow("modify accommodations")
            << int(TLista::Variant::ModifyAccommodations) << "Lista kwaterunków"
            << QStringList{"&Zmień", "&Wykwateruj", "&Opłaty", "&Książka", "&Zamknij"}
            << "editor 4 kwat";
        QTest::newRow("check-out")
            << int(TLista::Variant::CheckOut) << "Lista kwaterunków"
            << QStringList{"&Zmień", "&Wykwateruj", "&Opłaty", "&Książka", "&Zamknij"}
            << "checkout";
        QTest::newRow("payments") << int(TLista::Variant::Payments) << "Opłaty"
                                  << QStringList{"&Zmień", "&Opłaty", "&Zamknij"} << "billing 4";
    }
    void fiveVariants()
    {
        QFETCH(int, variant);
        QFETCH(QString, title);
        QFETCH(QStringList, buttons);
        QFETCH(QString, doubleClick);
        TestEnv env;
        const auto v = TLista::Variant(variant);
        const bool reservations =
            v == TLista::Variant::ModifyReservations || v == TLista::Variant::CheckInFromList;
        addGroups(env, reservations ? "Rez_hot" : "Kwat_hot");
        RecordingFrame f;
        setFrame(&f);
        TLista list(v);
        list.show();
        QCOMPARE(list.windowTitle(), title);
        QCOMPARE(visibleButtons(list), buttons);
        auto* groups = list.findChild<QTableView*>("Grupy");
        QCOMPARE(titles(groups), QStringList({"Id (-)", "Nazwa", "Od", "Do", "Osob"}));
        QCOMPARE(column(groups, 0), QStringList({"4", "3", "2", "1"}));
        auto* lines = list.findChild<QTableView*>("Pokoje");
        QCOMPARE(titles(lines), QStringList({"Nr (+)", "Od", "Do", "Miejsc", "Jaki"}));
        QCOMPARE(column(lines, 0), QStringList({"13"})); // the lines of the current group
        QCOMPARE(list.findChild<QLineEdit*>("Nazwa")->text(), QString("Kowalczyk"));

        env.prompter().answers = {false}; // the first check-out question, if it comes
        doubleClickFirstRow(groups);
        if (doubleClick == "checkout") {
            QCOMPARE(env.prompter().log(),
                     QStringList({"Wykwaterowanie : Krok 1/3|Czy napewno chcesz wykwaterować "
                                  "grupę \"Kowalczyk\" ?"}));
            QVERIFY(f.calls.isEmpty());
        } else {
            QCOMPARE(f.calls, doubleClick.isEmpty() ? QStringList{} : QStringList{doubleClick});
            QVERIFY(env.prompter().shown.isEmpty());
        }
        setFrame(nullptr);
    }

    void changeClosesGridsUntilTheEditorIsDone()
    {
        TestEnv env;
        addGroups(env, "Kwat_hot");
        RecordingFrame f;
        setFrame(&f);
        TLista list(TLista::Variant::ModifyAccommodations);
        auto* groups = list.findChild<QTableView*>("Grupy");
        groups->selectRow(2);
        QTest::mouseClick(list.findChild<QPushButton*>("Zmien"), Qt::LeftButton);
        QCOMPARE(f.calls, QStringList({"editor 2 kwat"}));
        QCOMPARE(groups->model()->rowCount(), 0);
        auto* listener = dynamic_cast<GroupListener*>(f.editorCaller);
        QVERIFY(listener);
        env.exec("update Kwat_hot set Nazwa='Nowakowska' where Identyfikator=2");
        listener->groupEdited(2);
        QCOMPARE(groups->model()->rowCount(), 4);
        QCOMPARE(list.findChild<QLineEdit*>("Nazwa")->text(), QString("Nowakowska"));
        QCOMPARE(groups->currentIndex().row(), 2);
        setFrame(nullptr);
    }

    void titleClickSorting()
    {
        TestEnv env;
        addGroups(env, "Rez_hot");
        TLista list(TLista::Variant::ModifyReservations);
        auto* groups = list.findChild<QTableView*>("Grupy");
        new QAbstractItemModelTester(groups->model(),
                                     QAbstractItemModelTester::FailureReportingMode::QtTest, &list);
        auto clickTitle = [&](int c) {
            QHeaderView* h = groups->horizontalHeader();
            QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                              QPoint(h->sectionViewportPosition(c) + 5, h->height() / 2));
        };
        list.show();
        clickTitle(1);
        QCOMPARE(titles(groups), QStringList({"Id", "Nazwa (+)", "Od", "Do", "Osob"}));
        QCOMPARE(column(groups, 1), QStringList({"Adamczyk", "Kowalczyk", "Kowalscy", "Nowak"}));
        clickTitle(1);
        QCOMPARE(titles(groups), QStringList({"Id", "Nazwa (-)", "Od", "Do", "Osob"}));
        QCOMPARE(column(groups, 1), QStringList({"Nowak", "Kowalscy", "Kowalczyk", "Adamczyk"}));
        clickTitle(3); // "Do" is a word of the query language: it must still sort
        QCOMPARE(titles(groups), QStringList({"Id", "Nazwa", "Od", "Do (+)", "Osob"}));
        clickTitle(0);
        QCOMPARE(titles(groups), QStringList({"Id (+)", "Nazwa", "Od", "Do", "Osob"}));
        QCOMPARE(column(groups, 0), QStringList({"1", "2", "3", "4"}));
        QVERIFY(env.prompter().shown.isEmpty());
    }

    // A click on a title sorts names in Polish alphabetical order, both ways.
    void titleClickSortsInPolishOrder_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<QString>("table");
        QTest::newRow("reservations")
            << static_cast<int>(TLista::Variant::ModifyReservations) << "Rez_hot";
        QTest::newRow("accommodations")
            << static_cast<int>(TLista::Variant::ModifyAccommodations) << "Kwat_hot";
    }
    void titleClickSortsInPolishOrder()
    {
        QFETCH(int, variant);
        QFETCH(QString, table);
        TestEnv env;
        for (const QString& name : namesAsWritten())
            env.exec(QString("insert into %1(Nazwa,Osob) values (?,1)").arg(table), {name});
        TLista list(static_cast<TLista::Variant>(variant));
        auto* groups = list.findChild<QTableView*>("Grupy");
        list.show();
        QHeaderView* h = groups->horizontalHeader();
        const QPoint nameTitle(h->sectionViewportPosition(1) + 5, h->height() / 2);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, nameTitle);
        QCOMPARE(column(groups, 1), kNamesInPolishOrder);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, nameTitle);
        QCOMPARE(column(groups, 1), reversed(kNamesInPolishOrder));
        QVERIFY(env.prompter().shown.isEmpty());
    }

    void search_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("refused");
        QTest::newRow("name begins with, any case")
            << "SzukajNazwa"
            << "kowal" << QStringList{"Kowalczyk", "Kowalscy"} << false;
        QTest::newRow("room contains 1")
            << "SzukajPokoj"
            << "1" << QStringList{"Kowalczyk", "Adamczyk", "Nowak", "Kowalscy"} << false;
        QTest::newRow("room 12") << "SzukajPokoj"
                                 << "12" << QStringList{"Adamczyk"} << false;
        QTest::newRow("room with a quote") << "SzukajPokoj"
                                           << "1'" << QStringList{} << false;
        QTest::newRow("arrival day") << "SzukajOd"
                                     << "2026-07-11" << QStringList{"Nowak"} << false;
        QTest::newRow("arrival that is no day")
            << "SzukajOd"
            << "lipiec" << QStringList{"Kowalczyk", "Adamczyk", "Nowak", "Kowalscy"} << true;
        QTest::newRow("persons") << "SzukajOsob"
                                 << "3" << QStringList{"Adamczyk"} << false;
        QTest::newRow("id") << "SzukajId"
                            << "1" << QStringList{"Kowalscy"} << false;
        QTest::newRow("quote in the name")
            << "SzukajNazwa"
            << "O'" << QStringList{"Kowalczyk", "Adamczyk", "Nowak", "Kowalscy"} << true;
    }
    void search()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QStringList, names);
        QFETCH(bool, refused);
        TestEnv env;
        addGroups(env, "Kwat_hot");
        TLista list(TLista::Variant::ModifyAccommodations);
        auto* edit = list.findChild<QLineEdit*>(field);
        QVERIFY(edit);
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        auto* groups = list.findChild<QTableView*>("Grupy");
        QCOMPARE(column(groups, 1), names);
        QCOMPARE(env.prompter().log(),
                 refused ? QStringList{"Błąd !!!|Nieprawidłowe wartości do szukania"}
                         : QStringList{});
        // "Pokaż wszystkie" empties the fields and shows every group again.
        QTest::mouseClick(list.findChild<QPushButton*>("PokazWszystkie"), Qt::LeftButton);
        QCOMPARE(groups->model()->rowCount(), 4);
        QVERIFY(edit->text().isEmpty());
    }

    void settledGroupsAreYellow()
    {
        TestEnv env;
        addGroups(env, "Kwat_hot");
        env.exec("insert into Kalk(Identyfikator,rozl) values (2,1)");
        env.exec("insert into Kalk(Identyfikator,rozl) values (3,0)");
        TLista list(TLista::Variant::Payments);
        auto* groups = list.findChild<QTableView*>("Grupy");
        QCOMPARE(groups->toolTip(),
                 QString("Lista kwaterunków, kolor żółty oznacza grupy rozliczone"));
        QStringList colours;
        for (int r = 0; r < groups->model()->rowCount(); ++r) {
            const QVariant bg = groups->model()->index(r, 1).data(Qt::BackgroundRole);
            colours << (bg.isValid() ? bg.value<QColor>().name() : QString("-"));
        }
        QCOMPARE(colours, QStringList({"-", "-", "#ffff80", "-"})); // ids 4, 3, 2, 1
    }

    void checkInFromTheButtons()
    {
        TestEnv env;
        addGroups(env, "Rez_hot");
        RecordingFrame f;
        setFrame(&f);
        TLista list(TLista::Variant::CheckInFromList);
        auto* groups = list.findChild<QTableView*>("Grupy");
        env.prompter().answers = {false, true};
        QTest::mouseClick(list.findChild<QPushButton*>("Kwateruj"), Qt::LeftButton);
        const int k = env.scalar("select max(Identyfikator) from Kwat_hot").toInt();
        QCOMPARE(f.calls, QStringList({QString("billing %1").arg(k)}));
        QCOMPARE(column(groups, 0), QStringList({"3", "2", "1"})); // the reservation has left
        QCOMPARE(env.scalar("select count(*) from Ksiazka where Identyfikator_g=?", {k}).toInt(),
                 4);
        // "&Usuń" at once, without a question.
        env.prompter().shown.clear();
        QTest::mouseClick(list.findChild<QPushButton*>("Usun"), Qt::LeftButton);
        QCOMPARE(column(groups, 0), QStringList({"2", "1"}));
        QVERIFY(env.prompter().shown.isEmpty());
        QCOMPARE(env.scalar("select count(*) from Rez_msc where Identyfikator=3").toInt(), 0);
        setFrame(nullptr);
    }
};

REZYDO_TEST(TestStayListWindow);
#include "test_stay_list_window.moc"
