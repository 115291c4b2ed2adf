#include "admin/ui/closures_window.h"
#include "admin/ui/hotel_data_window.h"
#include "admin/ui/rooms_window.h"
#include "tests/admin/admin_fixture.h"
#include "tests/support/test_registry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QTableWidget>

// What the statistics office's form needs from the setup windows.
class TestStatisticsSetup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roomOpenAllYearIsKept()
    {
        AdminFixture f;
        f.env.exec("INSERT INTO Pokoje (Nr_Pokoju, Miejsc, Typ) VALUES ('1', 2, 'A'), "
                   "('2', 2, 'A')");
        auto* w = f.open<TPokoje>("mnuUstawieniePokoi");
        QVERIFY(w);
        auto* box = control<QCheckBox>(w, "CalyRok");
        QVERIFY(box->isChecked());
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
        click(w, "Ok");
        QCOMPARE(f.env.rows("SELECT Nr_Pokoju || ':' || Caly_rok FROM Pokoje ORDER BY 1"),
                 (QStringList{"1:0", "2:1"}));
        QVERIFY(!box->isChecked());
    }

    void establishmentKindAndIdentifier()
    {
        AdminFixture f;
        auto* w = f.open<TKonfiguracja>("mnuKonfiguracja");
        QVERIFY(w);
        auto* kind = control<QComboBox>(w, "RodzajObiektu");
        const int pensjonat = kind->findText("pensjonat");
        QVERIFY(pensjonat >= 0);
        QVERIFY(kind->findText("pokoje gościnne / kwatery prywatne") >= 0);
        kind->setCurrentIndex(pensjonat);
        Q_EMIT kind->textActivated(kind->currentText());
        QTest::keyClicks(control<QLineEdit>(w, "IdStatystyczny"), "K-0042");
        click(w, "Ok");
        QCOMPARE(f.env.rows("SELECT Rodzaj_obiektu || '|' || Id_statystyczny FROM Config"),
                 QStringList{"pensjonat|K-0042"});
    }

    void blocksAreAddedChangedAndRemoved()
    {
        AdminFixture f;
        f.env.exec("INSERT INTO Pokoje (Nr_Pokoju, Miejsc, Typ) VALUES ('12', 2, 'A'), "
                   "('14', 2, 'A')");
        auto* w = f.open<TBlokady>("mnuBlokadyPokoi");
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Blokady pokoi"));
        control<QComboBox>(w, "Pokoj")->setCurrentText("14");
        control<QDateEdit>(w, "Od")->setDate(QDate(2026, 7, 10));
        control<QDateEdit>(w, "Do")->setDate(QDate(2026, 7, 9));
        control<QComboBox>(w, "Powod")->setEditText("remont łazienki");
        click(w, "Zapisz");
        QCOMPARE(f.env.prompter().log(),
                 QStringList{"Blokady pokoi|Data końcowa nie może być wcześniejsza niż "
                             "początkowa."});
        QCOMPARE(f.env.scalar("SELECT count(*) FROM Blokady").toInt(), 0);

        control<QDateEdit>(w, "Do")->setDate(QDate(2026, 7, 12));
        click(w, "Zapisz");
        QCOMPARE(f.env.rows("SELECT Nr_pokoju || '|' || Od || '|' || \"Do\" || '|' || Powod "
                            "FROM Blokady"),
                 QStringList{"14|2026-07-10|2026-07-12|remont łazienki"});
        // The stored row stays chosen: saving again changes it.
        control<QDateEdit>(w, "Do")->setDate(QDate(2026, 7, 15));
        click(w, "Zapisz");
        QCOMPARE(f.env.rows("SELECT \"Do\" FROM Blokady"), QStringList{"2026-07-15"});

        f.env.prompter().answers = {true};
        click(w, "Usun");
        QCOMPARE(f.env.scalar("SELECT count(*) FROM Blokady").toInt(), 0);
        QCOMPARE(control<QTableWidget>(w, "Lista")->rowCount(), 0);
    }
};

REZYDO_TEST(TestStatisticsSetup);
#include "test_statistics_setup.moc"
