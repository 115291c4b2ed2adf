#include "reports/ui/person_nights_window.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QDateEdit>
#include <QLabel>
#include <QTest>

class TestPersonNightsWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void computesAtOnceAndOnEveryChange() {
        TestEnv env; // today is 2026-07-15
        env.exec("insert into Ksiazka(Identyfikator_g,Identyfikator_o,Nr_pokoju,Od,\"Do\") values "
                 "(1,1,'1','2026-07-14','2026-07-17'),(1,2,'1','2026-07-15','2026-07-16')");
        TFormOsoboDoba w;
        QCOMPARE(w.windowTitle(), QString("Liczba osób i udzielonych noclegów"));
        auto* start = w.findChild<QDateEdit*>("DataPoczatkowa");
        auto* end = w.findChild<QDateEdit*>("DataKoncowa");
        auto* persons = w.findChild<QLabel*>("LiczbaOsob");
        auto* nights = w.findChild<QLabel*>("LiczbaNoclegow");
        QCOMPARE(start->date(), QDate(2026, 7, 15));
        QCOMPARE(end->date(), QDate(2026, 7, 16));
        QCOMPARE(persons->text(), QString("2"));
        QCOMPARE(nights->text(), QString("2"));
        QVERIFY(persons->font().bold());
        end->setDate(QDate(2026, 7, 20));
        QCOMPARE(persons->text(), QString("2"));
        QCOMPARE(nights->text(), QString("3"));
        start->setDate(QDate(2026, 7, 20));
        QCOMPARE(persons->text(), QString("0"));
        QCOMPARE(nights->text(), QString("0"));
        QVERIFY(env.prompter().shown.isEmpty());
    }
};

REZYDO_TEST(TestPersonNightsWindow);
#include "test_person_nights_window.moc"
