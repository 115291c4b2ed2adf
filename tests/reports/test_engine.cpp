#include "db/row_set.h"
#include "reports/engine/generator.h"
#include "reports/engine/mask.h"
#include "reports/engine/report_output.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QTest>

namespace {
// Rows of one text column "Nazwisko": "Osoba 1" ... "Osoba n".
ReportRows people(int n)
{
    ReportRows rows({QStringLiteral("Nazwisko")}, {});
    for (int i = 1; i <= n; ++i)
        rows.append({QStringLiteral("Osoba %1").arg(i)});
    return rows;
}

// A list report: page header 10 mm, column header 8 mm, detail 10 mm, page
// counter footer 6 mm. 25 rows fit the 253 mm between the headings and the footer.
void listReport(Report& r, const ReportRows* rows, int columns = 1)
{
    r.page.columns = columns;
    r.setPageHeader(10).addText(QStringLiteral("Tytul"), QRectF(0, 0, 190, 10),
                                QStringLiteral("Lista"), Qt::AlignCenter);
    r.setColumnHeader(8).addText(QStringLiteral("Kol"), QRectF(0, 0, 60, 8),
                                 QStringLiteral("Nazwisko"));
    r.addData(rows, 10).detail->addField(QStringLiteral("Nazwisko"), QRectF(0, 0, 60, 10),
                                         QStringLiteral("Nazwisko"));
    r.setPageCounterFooter(6);
}

QList<PlacedItem> itemsOf(const Page& page, const QString& band)
{
    QList<PlacedItem> out;
    for (const PlacedItem& i : page.items)
        if (i.band == band)
            out << i;
    return out;
}
} // namespace

class TestEngine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pageBreaksRepeatColumnHeaders()
    {
        const ReportRows rows = people(60);
        Report r;
        listReport(r, &rows);
        const Document doc = generateDocument(r);
        QCOMPARE(doc.pageCount(), 3);
        const QList<int> perPage = {25, 25, 10};
        int next = 1;
        for (int p = 0; p < 3; ++p) {
            const Page& page = doc.pages[p];
            const QStringList texts = page.texts();
            QCOMPARE(texts.first(), QString("Lista"));
            QCOMPARE(texts.at(1), QString("Nazwisko"));
            QCOMPARE(texts.last(), QString("Strona %1").arg(p + 1));
            QCOMPARE(page.texts("Szczegoly").size(), perPage[p]);
            QCOMPARE(page.texts("Szczegoly").first(), QString("Osoba %1").arg(next));
            next += perPage[p];
            for (const PlacedItem& i : itemsOf(page, "Szczegoly"))
                QVERIFY(i.rect.bottom() <= 297 - 10 - 6 + 1e-6);
        }
        QCOMPARE(itemsOf(doc.pages[2], "StopkaStrony").size(), 0);
        QCOMPARE(itemsOf(doc.pages[2], "BandaStopkaStrony").first().rect.top(), 281.0);
    }

    void twoColumnPages()
    {
        const ReportRows rows = people(60);
        Report r;
        listReport(r, &rows, 2);
        const Document doc = generateDocument(r);
        QCOMPARE(doc.pageCount(), 2);
        const Page& first = doc.pages[0];
        QCOMPARE(first.texts("NaglowekKolumn"), QStringList({"Nazwisko", "Nazwisko"}));
        QCOMPARE(first.texts("NaglowekStrony"), QStringList({"Lista"}));
        const QList<PlacedItem> details = itemsOf(first, "Szczegoly");
        QCOMPARE(details.size(), 50);
        const qreal secondColumn = 10 + (190 - 5) / 2.0 + 5;
        QCOMPARE(details[24].rect.left(), 10.0);
        QCOMPARE(details[25].rect.left(), secondColumn);
        QCOMPARE(details[25].text, QString("Osoba 26"));
        QCOMPARE(details[25].rect.top(), details[0].rect.top()); // the column starts at the top
        QCOMPARE(doc.pages[1].texts("Szczegoly").size(), 10);
    }

    void groupsWithTheirSums()
    {
        // Amounts as stored money: ten-thousandths of a złoty.
        const ReportRows rows(
            {"Grupa", "Kwota"},
            {{"A", 10000000}, {"A", 2345000}, {"B", 50000}, {"C", 10000}, {"C", 20000}});
        Report r;
        DataSection& data = r.addData(&rows, 5);
        data.detail->addField("Kwota", QRectF(0, 0, 40, 5), "Kwota", "#,##0.00").valueKind =
            ValueKind::Money;
        Group& g = data.addGroup("Grupa", 5, 5);
        g.header->addField("Grupa", QRectF(0, 0, 40, 5), "Grupa");
        g.footer->addSum("Suma", QRectF(0, 0, 40, 5), "Kwota", SumScope::Group, "#,##0.00")
            .valueKind = ValueKind::Money;
        r.setSummary(5)
            .addSum("Razem", QRectF(0, 0, 40, 5), "Kwota", SumScope::Report, "#,##0.00 zł")
            .valueKind = ValueKind::Money;
        const QString g3 = QLocale().groupSeparator();
        QCOMPARE(generateDocument(r).texts(),
                 QStringList({"A", "1" + g3 + "000,00", "234,50", "1" + g3 + "234,50", "B", "5,00",
                              "5,00", "C", "1,00", "2,00", "3,00", "1" + g3 + "242,50 zł"}));
    }

    void windowQueryWithItsFilter()
    {
        // A parameter window's query: the report prints the rows the user sees
        // and leaves the window's current row where it was.
        TestEnv env;
        for (const char* name : {"Norwegia", "Niemcy", "Czechy", "Nepal"})
            env.exec(
                "INSERT INTO Panstwo (ID, Nazwa) VALUES ((SELECT max(ID) FROM Panstwo) + 1000, ?)",
                {name});
        RowSet query;
        query.open("SELECT Nazwa FROM Panstwo WHERE ID >= 1000 ORDER BY Nazwa");
        QVERIFY(!query.setFilter("Nazwa Like 'N*'"));
        query.setCurrent(1);
        const RowSetData data(query);
        Report r;
        r.addData(&data, 5).detail->addField("Nazwa", QRectF(0, 0, 40, 5), "Nazwa");
        QCOMPARE(generateDocument(r).texts(), QStringList({"Nepal", "Niemcy", "Norwegia"}));
        QCOMPARE(query.current(), 1);
    }

    void subDetailPerRow()
    {
        const ReportRows groups({"ID", "Nazwa"}, {{1, "Nowak"}, {2, "Lis"}, {3, "Wrona"}});
        const ReportRows rooms({"ID", "Pokoj"}, {{1, "101"}, {1, "102"}, {3, "7"}});
        Report r;
        DataSection& data = r.addData(&groups, 5);
        data.detail->addField("Nazwa", QRectF(0, 0, 40, 5), "Nazwa");
        Band& sub = data.addSubDetail(5, [&rooms](const ReportData& master, int row) {
            ReportRows mine(rooms.columns(), {});
            for (int i = 0; i < rooms.rowCount(); ++i)
                if (rooms.value(i, "ID") == master.value(row, "ID"))
                    mine.append({rooms.value(i, "ID"), rooms.value(i, "Pokoj")});
            return mine;
        });
        sub.addField("Pokoj", QRectF(10, 0, 20, 5), "Pokoj");
        QCOMPARE(generateDocument(r).texts(),
                 QStringList({"Nowak", "101", "102", "Lis", "Wrona", "7"}));
    }

    void loopCountAndAuxiliaryQuerySetByHooks()
    {
        // The way a statistics report lists countries: a heading sets the count
        // of the loop band and rewinds the query; each loop row steps it on.
        ReportRows countries({"Nazwa"}, {{"Niemcy"}, {"Czechy"}, {"Litwa"}});
        Report r;
        Band& heading = r.addLoop(5, 1, "Naglowek");
        heading.addText("Kraj", QRectF(0, 0, 40, 5), "Kraj");
        Band& loop = r.addLoop(5, 0, "BandaPanstwa");
        loop.addField("Nazwa", QRectF(0, 0, 40, 5), "Nazwa").source = &countries;
        heading.beforePrint = [&](BandContext& ctx) {
            ctx.report.band("BandaPanstwa")->printCount = countries.rowCount();
            countries.first();
        };
        loop.afterPrint = [&](BandContext&) { countries.next(); };
        const QStringList expected = {"Kraj", "Niemcy", "Czechy", "Litwa"};
        QCOMPARE(generateDocument(r).texts(), expected);
        QCOMPARE(generateDocument(r).texts(), expected); // the hooks rewind it again
    }

    void suppressedOccurrenceTakesNoSpace()
    {
        const ReportRows rows = people(4);
        Report r;
        Band& d = *r.addData(&rows, 10).detail;
        d.addField("Nazwisko", QRectF(0, 0, 40, 10), "Nazwisko");
        d.beforePrint = [](BandContext& ctx) { ctx.suppress = ctx.row % 2 == 1; };
        const Document doc = generateDocument(r);
        QCOMPARE(doc.texts(), QStringList({"Osoba 1", "Osoba 3"}));
        QCOMPARE(doc.pages[0].items[1].rect.top() - doc.pages[0].items[0].rect.top(), 10.0);
    }

    void pageCounterRestartsOnEveryGeneration()
    {
        const ReportRows rows = people(30);
        Report r;
        listReport(r, &rows);
        r.pageFooter()->addPageNumber("Nr", QRectF(100, 0, 40, 6), "Strona ");
        for (int run = 0; run < 2; ++run) {
            const Document doc = generateDocument(r);
            QCOMPARE(doc.pageCount(), 2);
            for (int p = 0; p < 2; ++p)
                QCOMPARE(doc.pages[p].texts("BandaStopkaStrony"),
                         QStringList(
                             {QString("Strona %1").arg(p + 1), QString("Strona %1").arg(p + 1)}));
        }
    }

    void emptyDataStillPrintsFixedBands()
    {
        const ReportRows none({"Nazwisko"}, {});
        Report r;
        listReport(r, &none);
        r.setTitleBand(10).addText("T", QRectF(0, 0, 190, 10), "Tytuł");
        r.setSummary(6).addText("S", QRectF(0, 0, 60, 6), "Koniec");
        const Document doc = generateDocument(r);
        QCOMPARE(doc.pageCount(), 1);
        QCOMPARE(doc.texts(), QStringList({"Lista", "Tytuł", "Nazwisko", "Koniec", "Strona 1"}));
    }

    void stretchingTextPushesTheNextBandDown()
    {
        const ReportRows rows({"Nazwa"},
                              {{QString("Bardzo długa nazwa grupy ").repeated(6)}, {"Krótka"}});
        Report r;
        Control& c = r.addData(&rows, 5).detail->addField("Nazwa", QRectF(0, 0, 40, 5), "Nazwa");
        c.wordWrap = true;
        c.stretch = true;
        const Page page = generateDocument(r).pages[0];
        const qreal grown = page.items[1].rect.top() - page.items[0].rect.top();
        QVERIFY2(grown > 15, qPrintable(QString::number(grown)));
        QCOMPARE(page.items[0].rect.height(), grown);
    }

    // A row grown by a wrapped text: its other stretching cells take the same
    // height, the rule under it moves to its new foot, an upright rule reaches
    // it, and a cell that does not stretch keeps its box.
    void ruleUnderAGrowingRowMovesWithIt()
    {
        const ReportRows rows({"Nazwa", "Nr"},
                              {{QString("Bardzo długa nazwa grupy ").repeated(4), "12"}});
        Report r;
        Band& d = *r.addData(&rows, 7).detail;
        Control& name = d.addField("Nazwa", QRectF(0, 0, 40, 7), "Nazwa");
        name.wordWrap = true;
        name.stretch = true;
        d.addField("Nr", QRectF(40, 0, 20, 7), "Nr").stretch = true;
        d.addField("Stale", QRectF(60, 0, 20, 7), "Nr");
        d.addLine(QPointF(0, 7), QPointF(80, 7)).name = "Linia";
        d.addLine(QPointF(40, 0), QPointF(40, 7)).name = "Pion";
        const Page page = generateDocument(r).pages[0];
        const auto at = [&](const QString& control) {
            for (const PlacedItem& i : page.items)
                if (i.control == control)
                    return i.rect;
            return QRectF();
        };
        const qreal foot = at("Nazwa").bottom();
        QVERIFY2(foot > 10 + 10, qPrintable(QString::number(foot)));
        QCOMPARE(at("Nr").bottom(), foot);
        QCOMPARE(at("Nr").top(), at("Nazwa").top());
        QCOMPARE(at("Linia").top(), foot);
        QCOMPARE(at("Linia").bottom(), foot);
        QCOMPARE(at("Pion").top(), 10.0);
        QCOMPARE(at("Pion").bottom(), foot);
        QCOMPARE(at("Stale"), QRectF(70, 10, 20, 7));
    }

    // A word longer than its line (a number, a code) is broken where it must,
    // and the row grows for it, rather than the word running out of its box.
    void wordLongerThanItsLineGrowsTheRow()
    {
        const QString code = QString("W").repeated(40);
        const ReportRows rows({"Kod"}, {{code}});
        Report r;
        Control& c = r.addData(&rows, 6).detail->addField("Kod", QRectF(0, 0, 40, 6), "Kod");
        c.wordWrap = true;
        c.stretch = true;
        const Page page = generateDocument(r).pages[0];
        const qreal oneLine = wrappedTextHeight(c.font, "W", 40);
        QVERIFY(page.items[0].rect.height() >= 3 * oneLine);
        QVERIFY(wrappedTextHeight(c.font, code, 40) >= 3 * oneLine);
    }

    void stoppingAfterAPage()
    {
        const ReportRows rows = people(60);
        Report r;
        listReport(r, &rows);
        ReportGenerator generator(r);
        QList<int> seen;
        generator.onPage = [&](const Document&, int page) {
            seen << page;
            return page < 2;
        };
        QVERIFY(!generator.run());
        QCOMPARE(seen, QList<int>({1, 2}));
        QCOMPARE(generator.document().pageCount(), 2);
    }

    void masks_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("expected");
        const int money = static_cast<int>(ValueKind::Money);
        const int autoKind = static_cast<int>(ValueKind::Auto);
        const QString g = QLocale().groupSeparator();
        QTest::newRow("grouped money")
            << QVariant(12345000) << "#,##0.00" << money << "1" + g + "234,50";
        QTest::newRow("millions") << QVariant(12345678900000LL) << "#,##0.00" << money
                                  << "1" + g + "234" + g + "567" + g + "890,00";
        QTest::newRow("money with text")
            << QVariant(6000000) << "0.00 zł " << money << "600,00 zł ";
        QTest::newRow("no grouping asked") << QVariant(12345000) << "0.00" << money << "1234,50";
        QTest::newRow("half away from zero") << QVariant(12350) << "0.00" << money << "1,24";
        QTest::newRow("below half") << QVariant(12349) << "0.00" << money << "1,23";
        QTest::newRow("negative") << QVariant(-12350) << "0.00" << money << "-1,24";
        QTest::newRow("leading zeros") << QVariant(5) << "000" << autoKind << "005";
        QTest::newRow("optional digits") << QVariant(0.5) << "#.##" << autoKind << ",5";
        QTest::newRow("zero with #") << QVariant(0) << "#" << autoKind << "";
        QTest::newRow("whole number") << QVariant(1234) << "#,##0" << autoKind << "1" + g + "234";
        QTest::newRow("prefix") << QVariant(7) << "Nr 0" << autoKind << "Nr 7";
        QTest::newRow("weekday") << QVariant("2026-07-15") << "dddd" << autoKind << "środa";
        QTest::newRow("sunday") << QVariant(QDate(2026, 7, 19)) << "dddd" << autoKind
                                << "niedziela";
        QTest::newRow("invoice date")
            << QVariant("2026-07-05") << "dd-mm-yyyy" << autoKind << "05-07-2026";
        QTest::newRow("day with weekday")
            << QVariant("2026-07-15") << "yyyy-mm-dd (dddd)" << autoKind << "2026-07-15 (środa)";
        QTest::newRow("plain day") << QVariant("2026-07-15") << "" << autoKind << "2026-07-15";
        QTest::newRow("null") << QVariant() << "0.00" << money << "";
        QTest::newRow("text stays") << QVariant("Kowalski") << "0.00" << autoKind << "Kowalski";
    }
    void masks()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, mask);
        QFETCH(int, kind);
        QFETCH(QString, expected);
        QCOMPARE(formatValue(value, mask, static_cast<ValueKind>(kind)), expected);
    }

    void completedTitles()
    {
        QCOMPARE(periodTitle("Opłaty wniesione od ", QDate(2026, 7, 1), QDate(2026, 7, 31), true),
                 QString("Opłaty wniesione od 2026-07-01 do 2026-07-31."));
        QCOMPARE(periodTitle("Faktury od ", QDate(2026, 7, 1), QDate(2026, 7, 2)),
                 QString("Faktury od 2026-07-01 do 2026-07-02"));
        QCOMPARE(dayTitle("Osoby przyjeżdżające ", QDate(2026, 7, 15)),
                 QString("Osoby przyjeżdżające 2026-07-15 (środa)"));
        QCOMPARE(filterTitle("Spis", "Nazwisko Like 'Kow*'"),
                 QString("Spis (Nazwisko Like 'Kow*')"));
    }

    void dateSystemValueUsesTheClock()
    {
        TestEnv env;
        Report r;
        r.setPageHeader(6).addDate("Data", QRectF(0, 0, 60, 6), "Wydrukowano ", "dd-mm-yyyy");
        QCOMPARE(generateDocument(r).texts(), QStringList({"Wydrukowano 15-07-2026"}));
    }
};
REZYDO_TEST(TestEngine);
#include "test_engine.moc"
