#include "db/data_module.h"
#include "db/row_set.h"
#include "db/row_set_model.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

namespace {

// Five groups covering days, numbers, money, yes/no (one NULL), a quote and
// Polish letters; Kalk gives the money and the settled flag.
void addGroups(TestEnv& env)
{
    const QList<QVariantList> groups = {
        {1, "Kowalski Jan", 2, "2026-07-01", "2026-07-03"},
        {2, "kowalska Anna", 3, "2026-07-02", "2026-07-05"},
        {3, "O'Brien", 1, "2026-07-01", "2026-07-02"},
        {4, "Nowak", 10, "2026-07-10", QVariant()},
        {5, "Łoś Żaneta", 2, "2026-07-11", "2026-07-12"},
    };
    for (const QVariantList& g : groups)
        env.exec("insert into Kwat_hot(Identyfikator,Nazwa,Osob,Od,\"Do\") values (?,?,?,?,?)", g);
    env.exec("insert into Kalk(Identyfikator,Brutto,rozl) values (1,1500000,1),(2,1234567,0),"
             "(4,0,0),(5,1500000,0)");
}

const char* const kGroups =
    "select K.Identyfikator, K.Nazwa, K.Osob, K.Od, K.\"Do\", C.Brutto, C.rozl "
    "from Kwat_hot K left join Kalk C on C.Identyfikator=K.Identyfikator where 1=1";

void declareKinds(RowSet& rows)
{
    rows.setKinds({{"Od", ColumnKind::Day},
                   {"Do", ColumnKind::Day},
                   {"Brutto", ColumnKind::Money},
                   {"rozl", ColumnKind::YesNo}});
}

QString visibleIds(const RowSet& rows)
{
    QStringList ids;
    for (int r = 0; r < rows.rowCount(); ++r)
        ids << rows.value(r, "Identyfikator").toString();
    return ids.join(',');
}

} // namespace

class TestRowSet : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        if (TestEnv::onServer())
            QSKIP("its statements are written for the file's engine");
    }
    void filters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("ids"); // visible groups; "" when none

        QTest::newRow("empty") << ""
                               << "1,2,3,4,5";
        QTest::newRow("blank") << "   "
                               << "1,2,3,4,5";
        QTest::newRow("begins with") << "Nazwa Like 'Kow*'"
                                     << "1,2";
        QTest::newRow("any letter case") << "nazwa LIKE 'KOWALSKI*'"
                                         << "1";
        QTest::newRow("star inside") << "Nazwa like '*ow*'"
                                     << "1,2,4";
        QTest::newRow("Polish letters") << "Nazwa like 'łoś ż*'"
                                        << "5";
        QTest::newRow("unquoted like") << "Nazwa like Now*"
                                       << "4";
        QTest::newRow("doubled quote") << "Nazwa='O''Brien'"
                                       << "3";
        QTest::newRow("text equality") << "Nazwa='NOWAK'"
                                       << "4";
        QTest::newRow("text is whole") << "Nazwa='Nowa'"
                                       << "";
        QTest::newRow("day quoted") << "Od='2026-07-01'"
                                    << "1,3";
        QTest::newRow("day bracketed") << "[OD]=2026-07-01"
                                       << "1,3";
        QTest::newRow("day like no star") << "[OD] Like '2026-07-02'"
                                          << "2";
        QTest::newRow("day like star") << "Od like '2026-07-1*'"
                                       << "4,5";
        QTest::newRow("null day") << "Do like '*'"
                                  << "1,2,3,5";
        QTest::newRow("number quoted") << "Osob='3'"
                                       << "2";
        QTest::newRow("number as number") << "Osob=03"
                                          << "2";
        QTest::newRow("number not text") << "Osob like '1*'"
                                         << "3,4";
        QTest::newRow("money") << "Brutto=150"
                               << "1,5";
        QTest::newRow("money comma") << "Brutto='123,4567'"
                                     << "2";
        QTest::newRow("yes") << "rozl=1"
                             << "1";
        QTest::newRow("no counts NULL") << "rozl='Nie'"
                                        << "2,3,4,5";
        QTest::newRow("and") << "Nazwa like 'Kow*' AND Od='2026-07-01'"
                             << "1";
        QTest::newRow("and lower case") << "Nazwa like 'kow*' and Osob=3"
                                        << "2";
        QTest::newRow("three and") << "Od='2026-07-01' AND Osob=1 AND [nazwa] Like 'O*'"
                                   << "3";
        QTest::newRow("spaces around =") << "Osob = 2  AND  Od = '2026-07-11'"
                                         << "5";
    }
    void filters()
    {
        QFETCH(QString, filter);
        QFETCH(QString, ids);
        TestEnv env;
        addGroups(env);
        RowSet rows;
        declareKinds(rows);
        rows.open(kGroups);
        const std::optional<QString> error = rows.setFilter(filter);
        QVERIFY2(!error, qPrintable(error.value_or(QString())));
        QCOMPARE(visibleIds(rows), ids);
        QCOMPARE(rows.loadedCount(), 5);
        QCOMPARE(rows.current(), ids.isEmpty() ? -1 : 0);
    }

    void malformedFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("message");

        QTest::newRow("stray quote") << "Nazwa like 'O'Brien*'"
                                     << "Niezrozumiały tekst";
        QTest::newRow("unclosed quote") << "Nazwa like 'Kow"
                                        << "Niezamknięty apostrof";
        QTest::newRow("unknown column") << "Nazwisko like 'K*'"
                                        << "Nieznana kolumna: Nazwisko";
        QTest::newRow("unclosed bracket") << "[Od='2026-07-01'"
                                          << "nawiasu";
        QTest::newRow("no column") << "='x'"
                                   << "Brak nazwy kolumny";
        QTest::newRow("no operator") << "Nazwa"
                                     << "Oczekiwano";
        QTest::newRow("other operator") << "Nazwa<>'x'"
                                        << "Oczekiwano";
        QTest::newRow("no value") << "Osob="
                                  << "Brak wartości";
        QTest::newRow("bad day") << "Od='2026-13-01'"
                                 << "nie jest datą";
        QTest::newRow("day like no star") << "[OD] Like '2026-07'"
                                          << "nie jest datą";
        QTest::newRow("not a number") << "Osob='abc'"
                                      << "nie jest liczbą";
        QTest::newRow("not an amount") << "Brutto=12,345678"
                                       << "nie jest liczbą";
        QTest::newRow("not yes/no") << "rozl=może"
                                    << "tak/nie";
        QTest::newRow("trailing words") << "Nazwa='x' garbage"
                                        << "Niezrozumiały tekst: garbage";
        QTest::newRow("value with blank") << "Nazwa=Jan Kowalski"
                                          << "Niezrozumiały tekst";
        QTest::newRow("dangling and") << "Nazwa='x' AND "
                                      << "Brak warunku po AND";
        QTest::newRow("or is not and") << "Osob=1 OR Osob=2"
                                       << "Niezrozumiały tekst";
    }
    void malformedFilters()
    {
        QFETCH(QString, filter);
        QFETCH(QString, message);
        TestEnv env;
        addGroups(env);
        RowSet rows;
        declareKinds(rows);
        rows.open(kGroups);
        QVERIFY(!rows.setFilter("Osob=2"));
        rows.setCurrent(1);
        QSignalSpy changes(&rows, &RowSet::aboutToChange);

        const std::optional<QString> error = rows.setFilter(filter);
        QVERIFY(error.has_value());
        QVERIFY2(error->contains(message), qPrintable(*error));
        // The filter in force stays, and so does the current row.
        QCOMPARE(rows.filter(), QString("Osob=2"));
        QCOMPARE(visibleIds(rows), QString("1,5"));
        QCOMPARE(rows.current(), 1);
        QCOMPARE(changes.count(), 0);
    }

    void loadsWithBindingsAndKinds()
    {
        TestEnv env;
        addGroups(env);
        RowSet rows;
        declareKinds(rows);
        rows.open(QString(kGroups) + " and K.Od>=:Od order by K.Nazwa", {{":Od", "2026-07-02"}});
        QVERIFY(rows.isOpen());
        QCOMPARE(visibleIds(rows), QString("4,2,5")); // SQLite orders by code point
        QCOMPARE(rows.columnIndex("NAZWA"), 1);
        QCOMPARE(rows.columnIndex("Nazwisko"), -1);
        QCOMPARE(rows.kind(rows.columnIndex("Osob")), ColumnKind::Integer); // from the schema
        QCOMPARE(rows.kind(rows.columnIndex("Nazwa")), ColumnKind::Text);
        QCOMPARE(rows.kind(rows.columnIndex("do")), ColumnKind::Day);
        QCOMPARE(rows.text(1, rows.columnIndex("Brutto")), QString("123,46"));
        QCOMPARE(rows.text(0, rows.columnIndex("Do")), QString());
        QCOMPARE(rows.text(0, rows.columnIndex("rozl")), QString("Nie"));
        QCOMPARE(rows.value("Nazwa").toString(), QString("Nowak"));
        QCOMPARE(rows.value(7, 0), QVariant());
    }

    // Equal texts of a column are held once; every value must still read as
    // stored, whether the column repeats in runs, repeats all over, stops
    // repeating after the first rows, or never repeats.
    void repeatedTextsReadAsStored()
    {
        TestEnv env;
        env.exec("CREATE TABLE T (Nr INTEGER, Runs TEXT, Cycle TEXT, Late TEXT, Uniq TEXT, Few "
                 "TEXT)");
        env.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                 "INSERT INTO T SELECT i, 'dzień ' || (i / 3), 'Kowal' || (i % 7), "
                 "CASE WHEN i < 1500 THEN 'x' ELSE 'y' || i END, 'nr ' || i, "
                 "CASE WHEN i % 100 = 0 THEN 'uwaga' ELSE '' END FROM n");
        RowSet rows;
        rows.open("SELECT * FROM T ORDER BY Nr");
        const QStringList stored = env.rows("SELECT * FROM T ORDER BY Nr");
        QCOMPARE(rows.rowCount(), stored.size());
        for (int r = 0; r < rows.rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < rows.columns().size(); ++c)
                cells << rows.value(r, c).toString();
            QCOMPARE(cells.join('|'), stored[r]);
        }
        QVERIFY(!rows.setFilter("Cycle Like 'kowal3'"));
        QCOMPARE(rows.rowCount(), 3000 / 7 + 1);
    }

    void reloadKeepsRowAndFilter()
    {
        TestEnv env;
        addGroups(env);
        RowSet rows;
        declareKinds(rows);
        rows.setKeyColumn("Identyfikator");
        rows.open(QString(kGroups) + " order by K.Identyfikator desc");
        QVERIFY(!rows.setFilter("Od like '2026-07-0*'"));
        QVERIFY(rows.locate("Identyfikator", "2"));
        QCOMPARE(rows.current(), 1);
        QSignalSpy current(&rows, &RowSet::currentChanged);

        rows.reload(QString(kGroups) + " order by K.Nazwa");
        QCOMPARE(visibleIds(rows), QString("1,3,2"));
        QCOMPARE(rows.value("Identyfikator").toInt(), 2);
        QCOMPARE(current.count(), 1);

        // The current group deleted elsewhere: the first row becomes current.
        env.exec("delete from Kwat_hot where Identyfikator=2");
        rows.reload();
        QCOMPARE(visibleIds(rows), QString("1,3"));
        QCOMPARE(rows.current(), 0);

        QVERIFY(!rows.setFilter(""));
        QCOMPARE(rows.rowCount(), 4);
        QCOMPARE(rows.value("Identyfikator").toInt(), 1); // the current row stays
    }

    void locateByKind_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("id"); // 0: not found, the current row stays

        QTest::newRow("integer") << "Identyfikator" << QVariant(4) << 4;
        QTest::newRow("integer as text") << "identyfikator" << QVariant("3") << 3;
        QTest::newRow("day") << "Od" << QVariant(QDate(2026, 7, 2)) << 2;
        QTest::newRow("text any case") << "Nazwa" << QVariant("NOWAK") << 4;
        QTest::newRow("money") << "Brutto" << QVariant(1234567) << 2;
        QTest::newRow("missing") << "Identyfikator" << QVariant(99) << 0;
        QTest::newRow("NULL") << "Do" << QVariant() << 0;
        QTest::newRow("unknown column") << "Nazwisko" << QVariant("x") << 0;
    }
    void locateByKind()
    {
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        QFETCH(int, id);
        TestEnv env;
        addGroups(env);
        RowSet rows;
        declareKinds(rows);
        rows.open(QString(kGroups) + " order by K.Identyfikator desc");
        rows.setCurrent(4);
        QCOMPARE(rows.locate(column, value), id != 0);
        QCOMPARE(rows.value("Identyfikator").toInt(), id != 0 ? id : 1);
    }

    void dropCurrentRow()
    {
        TestEnv env;
        addGroups(env);
        RowSet rows;
        rows.open(QString(kGroups) + " order by K.Identyfikator");
        rows.setCurrent(3);
        rows.dropCurrentRow();
        QCOMPARE(visibleIds(rows), QString("1,2,3,5"));
        QCOMPARE(rows.value("Identyfikator").toInt(), 5);
        rows.dropCurrentRow(); // the last row: the one before it becomes current
        QCOMPARE(rows.value("Identyfikator").toInt(), 3);
    }

    void failingStatementLeavesSetClosed()
    {
        TestEnv env;
        addGroups(env);
        RowSet rows;
        rows.open(kGroups);
        QVERIFY(!rows.setFilter("Osob=2"));
        try {
            rows.reload("select * from Nie_ma_takiej");
            QFAIL("a failing statement loaded");
        } catch (const DbError& e) {
            QVERIFY2(e.text().contains("Nie_ma_takiej"), qPrintable(e.text()));
        }
        QVERIFY(!rows.isOpen());
        QCOMPARE(rows.rowCount(), 0);
        QCOMPARE(rows.current(), -1);
        // The filter outlives the failure and applies to the next load.
        rows.reload(kGroups);
        QCOMPARE(visibleIds(rows), QString("1,5"));
    }

    void model()
    {
        TestEnv env;
        addGroups(env);
        RowSet rows;
        declareKinds(rows);
        RowSetModel model(rows);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setColumns({{"Identyfikator", "Id", Qt::AlignRight},
                          {"nazwa"},
                          {"Od", {}, Qt::AlignHCenter},
                          {"Brutto", "Kwota", Qt::AlignRight},
                          {"rozl", "Rozl."}});
        model.setRowColour([](const RowSet& r, int row) -> std::optional<QColor> {
            if (r.value(row, "rozl").toInt() == 1)
                return QColor(255, 255, 128);
            return std::nullopt;
        });
        QCOMPARE(model.rowCount(), 0);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

        rows.open(QString(kGroups) + " order by K.Identyfikator");
        QCOMPARE(resets.count(), 1);
        QCOMPARE(model.rowCount(), 5);
        QCOMPARE(model.columnCount(), 5);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QString("Id"));
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("nazwa"));
        QCOMPARE(model.index(0, 1).data().toString(), QString("Kowalski Jan"));
        QCOMPARE(model.index(0, 2).data().toString(), QString("2026-07-01"));
        QCOMPARE(model.index(1, 3).data().toString(), QString("123,46"));
        QCOMPARE(model.index(1, 3).data(Qt::UserRole).toLongLong(), 1234567);
        QCOMPARE(model.index(0, 4).data().toString(), QString("Tak"));
        QCOMPARE(model.index(2, 4).data().toString(), QString("Nie"));
        QCOMPARE(model.index(0, 2).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::AlignHCenter | Qt::AlignVCenter);
        QCOMPARE(model.index(0, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 255, 128));
        QVERIFY(!model.index(1, 0).data(Qt::BackgroundRole).isValid());
        QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));

        QSignalSpy titles(&model, &QAbstractItemModel::headerDataChanged);
        QVERIFY(model.setHeaderData(1, Qt::Horizontal, "Nazwa (+)"));
        QCOMPARE(model.title(1), QString("Nazwa (+)"));
        QCOMPARE(titles.count(), 1);

        QVERIFY(!rows.setFilter("Nazwa like 'kow*'"));
        QCOMPARE(resets.count(), 2);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("Nazwa (+)"));
        rows.reload();
        QCOMPARE(resets.count(), 3);
        QCOMPARE(model.rowCount(), 2);
        rows.close();
        QCOMPARE(model.rowCount(), 0);
    }

    void selectionFollowsCurrentRow()
    {
        TestEnv env;
        addGroups(env);
        RowSet rows;
        RowSetModel model(rows);
        model.setColumns({{"Identyfikator"}, {"Nazwa"}});
        QItemSelectionModel selection(&model);
        model.followSelection(&selection);
        rows.open(QString(kGroups) + " order by K.Identyfikator");
        QCOMPARE(selection.currentIndex().row(), 0);

        selection.setCurrentIndex(model.index(3, 1), QItemSelectionModel::ClearAndSelect);
        QCOMPARE(rows.value("Identyfikator").toInt(), 4);
        QVERIFY(rows.locate("Identyfikator", 2));
        QCOMPARE(selection.currentIndex().row(), 1);
        QVERIFY(selection.isRowSelected(1, {}));
        // After a filter the grid shows the row set's current row, which stayed.
        QVERIFY(!rows.setFilter("Nazwa like 'k*'"));
        QCOMPARE(rows.current(), 1);
        QCOMPARE(selection.currentIndex().row(), 1);
        rows.close();
        QVERIFY(!selection.currentIndex().isValid());
    }
};

REZYDO_TEST(TestRowSet);
#include "test_row_set.moc"
