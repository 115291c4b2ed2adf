#include "admin/archive_rows.h"
#include "admin/person_archive.h"
#include "db/data_module.h"
#include "db/engine.h"
#include "db/polish_collation.h"
#include "db/row_set.h"
#include "db/schema.h"
#include "db/sql.h"
#include "db/upgrades.h"
#include "tests/admin/archive_fixture.h"
#include "tests/support/polish_names.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QDir>
#include <QSqlDatabase>
#include <QTest>
#include <QUuid>

namespace {
// Every column of every row, as one text a row.
template <class Rows> QStringList cells(const Rows& rows)
{
    QStringList out;
    for (int r = 0; r < rows.rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < 13; ++c)
            row << (rows.value(r, c).isNull() ? QStringLiteral("NULL")
                                              : rows.value(r, c).toString());
        out << row.join(QLatin1Char('|'));
    }
    return out;
}

// Former guests with names in mixed case and Polish letters, equal surnames,
// several stays of one person and of one group, rooms and days that repeat,
// persons without any stay, a stay going on, a missing address.
void addArchive(TestEnv& env)
{
    const QStringList names = namesAsWritten();
    for (int i = 0; i < names.size(); ++i) {
        const int person = addPerson(env, names[i], names[(i + 3) % names.size()],
                                     i % 4 == 0 ? QString() : names[(i + 5) % names.size()]);
        const QString day = QStringLiteral("2026-07-%1").arg(10 + i % 4, 2, 10, QLatin1Char('0'));
        const QString to = QStringLiteral("2026-07-%1").arg(15 + i % 3);
        addStay(env, person, 1 + i % 5, kRoomsAsWritten[i % kRoomsAsWritten.size()], day, to, true);
        if (i % 3 == 0)
            addStay(env, person, 7, "2", "2026-07-01", "2026-07-02", true);
        if (i % 7 == 0)
            addStay(env, person, 9, "3", "2026-07-20", "2026-07-25", false);
    }
    addPerson(env, "Bez", "Pobytu");
    addPerson(env, "bez", "pobytu");
    addPerson(env, "Żak", "");
    env.exec("UPDATE Arch_os SET Nazwisko = NULL WHERE Imie = 'pobytu'");
}

// A connection of another workstation to the same file.
class OtherDesk {
public:
    explicit OtherDesk(const QString& file)
        : m_name(QUuid::createUuid().toString())
    {
        if (const std::optional<ServerAddress> server = configuredServer()) {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
            openServerConnection(db, *server);
            return;
        }
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(file);
        db.open();
        addPolishText(db);
    }
    ~OtherDesk()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
};
} // namespace

class TestArchivePages : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Small pages read to the end give the rows of the whole statement with
    // the filter of loaded rows, in the same order.
    void pagesAsTheWholeStatement_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("boxes");
        const QList<std::pair<const char*, QStringList>> searches = {
            {"no search", {}},
            {"surname beginning", {"Ło"}},
            {"surname with Polish letter in capitals", {"Ł"}},
            {"star inside", {"*ski"}},
            {"first name and room", {"", "a", "", "1"}},
            {"room with a letter", {"", "", "", "1c"}},
            {"arrival day", {"", "", "", "", "2026-07-11"}},
            {"departure day", {"", "", "", "", "", "2026-07-16"}},
            {"address", {"", "", "z"}}};
        for (int kind = 0; kind < 3; ++kind)
            for (const auto& [name, boxes] : searches)
                QTest::addRow("kind %d, %s", kind, name) << kind << boxes;
    }
    void pagesAsTheWholeStatement()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, boxes);
        TestEnv env;
        addArchive(env);
        const QDate from(2026, 7, 1), to(2026, 7, 11);
        QStringList orders = {kArchiveInitialOrder, QStringLiteral("Identyfikator_g")};
        for (const QString& field : archiveSortFields())
            orders << field << field + QStringLiteral(" desc");
        for (const QString& order : orders) {
            const ArchiveKind k = static_cast<ArchiveKind>(kind);
            RowSet whole;
            openArchive(whole, archiveStatement(k, from, to, order));
            QVERIFY(!whole.setFilter(archiveSearch(boxes)));
            ArchiveRows pages;
            pages.setPageSize(2);
            QVERIFY(!pages.setSearch(archiveSearch(boxes)));
            pages.open({k, from, to, order});
            QVERIFY(pages.rowCount() < 4); // a page, not every row
            pages.fetchAll();
            QCOMPARE(cells(pages), cells(whole));
            if (QTest::currentTestFailed())
                qWarning("order %s", qPrintable(order));
        }
    }

    // Another workstation checks a group out while the list is scrolled: the
    // rows already passed stay as they were, the rest come once each.
    void scrollingWhileAnotherDeskChecksOut_data()
    {
        QTest::addColumn<QString>("order");
        QTest::newRow("latest groups first") << kArchiveInitialOrder;
        QTest::newRow("surname") << "Nazwisko";
        QTest::newRow("arrival going down") << "OD desc";
    }
    void scrollingWhileAnotherDeskChecksOut()
    {
        QFETCH(QString, order);
        TestEnv env;
        addArchive(env);
        ArchiveRows pages;
        pages.setPageSize(4);
        pages.open({ArchiveKind::AllPersons, {}, {}, order});
        pages.fetchMore();
        const QStringList passed = cells(pages);

        OtherDesk desk(env.databaseFile());
        for (const char* name : {"Aaron", "Kowalczyk", "Żurek"}) {
            runSql(desk.db(),
                   "INSERT INTO Arch_os(Nazwisko, Imie, Adres, ID_Panstwo) VALUES "
                   "(:N, 'Nowy', 'Polna 1', 1)",
                   {{":N", QString::fromUtf8(name)}});
            runSql(desk.db(),
                   "INSERT INTO Ksiazka(Identyfikator_g, Identyfikator_o, Nr_pokoju, Od, \"Do\", "
                   "Pelne_dane, Wykwaterowany) SELECT 50, max(Identyfikator_o), '4', "
                   "'2026-07-12', '2026-07-14', 1, 1 FROM Arch_os");
        }
        pages.fetchAll();
        const QStringList got = cells(pages);
        QCOMPARE(got.mid(0, passed.size()), passed);
        QCOMPARE(QSet<QString>(got.begin(), got.end()).size(), got.size()); // nothing twice

        // What the whole statement now gives after the last row passed is
        // what the pages went on with.
        RowSet whole;
        openArchive(whole, archiveStatement(ArchiveKind::AllPersons, {}, {}, order));
        const QStringList now = cells(whole);
        const qsizetype at = now.indexOf(passed.last());
        QVERIFY(at >= 0);
        QCOMPARE(got.mid(passed.size()), now.mid(at + 1));
    }

    // A malformed search changes nothing; the count is that of the kind.
    void searchRefusedAndCount()
    {
        TestEnv env;
        addArchive(env);
        ArchiveRows pages;
        pages.open({});
        const int all = pages.loadedCount();
        QCOMPARE(all,
                 env.scalar("SELECT count(*) FROM Ksiazka WHERE Wykwaterowany = 1").toInt() + 3);
        QVERIFY(!pages.setSearch(archiveSearch({"ś"})));
        const QStringList found = cells(pages);
        QVERIFY(!found.isEmpty());
        QVERIFY(pages.setSearch(archiveSearch({"", "", "", "", "11.07.2026"})).has_value());
        QCOMPARE(cells(pages), found);
        QCOMPARE(pages.search(), archiveSearch({"ś"}));
        QCOMPARE(pages.loadedCount(), all);
    }

    // A file of the version before gets the archive's indexes with its rows,
    // and the archive reads them by surname in Polish order.
    void upgradeAddsTheIndexes()
    {
        TestEnv env({.createDatabase = false, .openConnection = false});
        QDir().mkpath(env.path("Baza"));
        createDatabase(env.databaseFile(), false, 1);
        {
            OtherDesk old(env.databaseFile());
            const QStringList names = namesAsWritten();
            for (const QString& name : names) {
                runSql(old.db(), "INSERT INTO Arch_os(Nazwisko, Imie) VALUES (:N, 'X')",
                       {{":N", name}});
                runSql(old.db(),
                       "INSERT INTO Ksiazka(Identyfikator_g, Identyfikator_o, Nr_pokoju, Od, "
                       "\"Do\", Wykwaterowany) SELECT 1, max(Identyfikator_o), '1', "
                       "'2026-07-01', '2026-07-02', 1 FROM Arch_os");
            }
        }
        env.data().openConnection();
        QCOMPARE(schemaVersionOf(env.db()), kSchemaVersion);
        QCOMPARE(
            env.rows("SELECT name FROM sqlite_master WHERE type = 'index' AND "
                     "(name LIKE 'Arch_os_%' OR name LIKE 'Ksiazka_wykw_%') ORDER BY name"),
            QStringList({"Arch_os_adres", "Arch_os_imie", "Arch_os_nazwisko", "Ksiazka_wykw_do",
                         "Ksiazka_wykw_grupa", "Ksiazka_wykw_od", "Ksiazka_wykw_pokoj"}));
        QCOMPARE(env.scalar("PRAGMA integrity_check").toString(), QString("ok"));
        ArchiveRows pages;
        pages.setPageSize(3);
        pages.open({ArchiveKind::AllPersons, {}, {}, "Nazwisko"});
        pages.fetchAll();
        QStringList got;
        for (int r = 0; r < pages.rowCount(); ++r)
            got << pages.value(r, "Nazwisko").toString();
        QCOMPARE(runs(got), kNamesInPolishOrder);
    }
};
REZYDO_TEST(TestArchivePages);

#include "test_archive_pages.moc"
