#include "core/error.h"
#include "core/program_dir.h"
#include "core/ui/title_sort.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

namespace {

// A grid like the group list: four sortable columns and one that is not.
struct Grid {
    QStandardItemModel model{0, 5};
    QTableView view;
    QStringList reloads;
    TitleSort* sort = nullptr; // owned by the header

    explicit Grid(const QString& initialOrder)
    {
        model.setHorizontalHeaderLabels({"Id", "Nazwa", "Od", "Do", "Osob"});
        view.setModel(&model);
        sort = new TitleSort(
            view.horizontalHeader(),
            QMap<int, QString>{{0, "Identyfikator"}, {1, "Nazwa"}, {2, "Od"}, {3, "Do"}},
            initialOrder, [this](const QString& order) { reloads << order; });
    }
    QString titles() const
    {
        QStringList t;
        for (int s = 0; s < model.columnCount(); ++s)
            t << model.headerData(s, Qt::Horizontal).toString();
        return t.join('|');
    }
};

} // namespace

class TestTitleSort : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void clicks_data()
    {
        QTest::addColumn<QString>("initial");
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("titles");

        QTest::newRow("initial marker")
            << "Identyfikator desc" << QList<int>{} << "Identyfikator desc"
            << "Id (-)|Nazwa|Od|Do|Osob";
        QTest::newRow("initial not shown")
            << "Identyfikator_g DESC" << QList<int>{} << "Identyfikator_g DESC"
            << "Id|Nazwa|Od|Do|Osob";
        QTest::newRow("Id first click ascending")
            << "Identyfikator desc" << QList<int>{0} << "Identyfikator"
            << "Id (+)|Nazwa|Od|Do|Osob";
        QTest::newRow("Nazwa once") << "Identyfikator desc" << QList<int>{1} << "Nazwa"
                                    << "Id|Nazwa (+)|Od|Do|Osob";
        QTest::newRow("Nazwa twice") << "Identyfikator desc" << QList<int>{1, 1} << "Nazwa desc"
                                     << "Id|Nazwa (-)|Od|Do|Osob";
        QTest::newRow("Nazwa three times") << "Identyfikator desc" << QList<int>{1, 1, 1} << "Nazwa"
                                           << "Id|Nazwa (+)|Od|Do|Osob";
        QTest::newRow("another column ascending")
            << "Identyfikator desc" << QList<int>{1, 1, 2} << "Od"
            << "Id|Nazwa|Od (+)|Do|Osob";
        QTest::newRow("upper-case DESC") << "Identyfikator DESC" << QList<int>{0} << "Identyfikator"
                                         << "Id (+)|Nazwa|Od|Do|Osob";
        QTest::newRow("order in other case") << "nazwa" << QList<int>{1} << "Nazwa desc"
                                             << "Id|Nazwa (-)|Od|Do|Osob";
        QTest::newRow("column without field") << "Nazwa" << QList<int>{4} << "Nazwa"
                                              << "Id|Nazwa (+)|Od|Do|Osob";
    }
    void clicks()
    {
        QFETCH(QString, initial);
        QFETCH(QList<int>, clicks);
        QFETCH(QString, order);
        QFETCH(QString, titles);
        Grid grid(initial);
        QStringList expectedReloads;
        for (int section : clicks) {
            const QString before = grid.sort->order();
            grid.sort->click(section);
            if (section != 4)
                expectedReloads << grid.sort->order();
            else
                QCOMPARE(grid.sort->order(), before);
        }
        QCOMPARE(grid.sort->order(), order);
        QCOMPARE(grid.titles(), titles);
        QCOMPARE(grid.reloads, expectedReloads);
    }

    void withoutMarker_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("plain");
        QTest::newRow("none") << "Nazwa"
                              << "Nazwa";
        QTest::newRow("ascending") << "Nazwa (+)"
                                   << "Nazwa";
        QTest::newRow("descending") << "Nazwa (-)"
                                    << "Nazwa";
        QTest::newRow("plus wins over minus") << "A (-) B (+)"
                                              << "A (-) B";
        QTest::newRow("first plus") << "A (+) B (+)"
                                    << "A";
        QTest::newRow("needs the blank") << "Nazwa(+)"
                                         << "Nazwa(+)";
    }
    void withoutMarker()
    {
        QFETCH(QString, title);
        QFETCH(QString, plain);
        QCOMPARE(TitleSort::withoutMarker(title), plain);
    }

    void markersInTitlesReplaced()
    {
        Grid grid("Identyfikator desc");
        // Titles that already carry markers (as a grid designed with "Id (-)" would).
        grid.model.setHeaderData(2, Qt::Horizontal, "Od (+)");
        grid.model.setHeaderData(3, Qt::Horizontal, "Do (-) (+)");
        grid.sort->click(1);
        QCOMPARE(grid.titles(), QString("Id|Nazwa (+)|Od|Do (-)|Osob"));
    }

    // A real click on the header sorts, and a failing reload is reported, not thrown.
    void headerClickIsGuarded()
    {
        TestEnv env;
        QStandardItemModel model(0, 2);
        model.setHorizontalHeaderLabels({"Id (-)", "Nazwa"});
        QTableView view;
        view.setModel(&model);
        view.resize(400, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        int reloads = 0;
        TitleSort sort(view.horizontalHeader(), {{0, "Identyfikator"}, {1, "Nazwa"}},
                       "Identyfikator desc", [&](const QString&) {
                           ++reloads;
                           throw RezydoError("Błąd odczytu");
                       });
        QHeaderView* header = view.horizontalHeader();
        const QPoint nazwa(header->sectionViewportPosition(1) + header->sectionSize(1) / 2,
                           header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, nazwa);
        QCOMPARE(reloads, 1);
        QCOMPARE(sort.order(), QString("Nazwa"));
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("Nazwa (+)"));
        QCOMPARE(env.prompter().log(), QStringList{kProgramName + "|Błąd odczytu"});
    }
};

REZYDO_TEST(TestTitleSort);
#include "test_title_sort.moc"
