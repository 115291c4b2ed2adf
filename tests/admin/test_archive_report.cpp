#include "admin/archive_report.h"
#include "db/row_set.h"
#include "reports/engine/document.h"
#include "reports/engine/generator.h"
#include "tests/admin/archive_fixture.h"
#include "tests/reports/golden.h"
#include "tests/reports/layout_checks.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QTest>

namespace {
QStringList archiveColumns()
{
    return {"Identyfikator_o", "Nazwisko",   "Imie", "Adres",         "Identyfikator_g",
            "Nr_pokoju",       "OD",         "Do",   "Dokument_rodz", "Dokument_nr",
            "Data_ur",         "Miejsce_ur", "Uwagi"};
}

// The texts of the detail bands of a document, one "a|b|..." line per band.
QStringList detailLines(const Document& doc)
{
    QStringList lines;
    for (const Page& page : doc.pages) {
        QStringList current;
        for (const PlacedItem& item : page.items) {
            if (item.band != "Szczegoly" || item.kind != PlacedItem::Kind::Text)
                continue;
            current << item.text;
            if (item.control == "Uwagi") {
                lines << current.join('|');
                current.clear();
            }
        }
    }
    return lines;
}
} // namespace

class TestArchiveReport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void layout()
    {
        TestEnv env;
        ReportRows rows(archiveColumns(),
                        {{1, "Kowalski", "Jan", "Długa 1, Kraków", 7, "12", "2026-07-01",
                          "2026-07-05", 2, "AB123", "1970-03-04", "Łódź", "stały gość"},
                         {2, "Nowak", "Anna", "Krótka 2", QVariant(), QVariant(), QVariant(),
                          QVariant(), QVariant(), "", QVariant(), "", ""}});
        TRapArchiwum report(rows);
        const Document doc = generateDocument(report);
        QCOMPARE(doc.title, QString("Archiwum gości"));
        QCOMPARE(doc.pageCount(), 1);
        QCOMPARE(doc.pages[0].texts("NaglowekStrony"), QStringList({"Strona 1"}));
        QCOMPARE(doc.pages[0].texts("NaglowekKolumn"),
                 QStringList({"Nazwisko i imię", "Od", "Do", "Nr pokoju",
                              "Data i miejsce urodzenia", "Adres", "Dokument", "Uwagi"}));
        QCOMPARE(detailLines(doc),
                 QStringList({"Kowalski Jan|2026-07-01|2026-07-05|12|1970-03-04 Łódź|Długa 1, "
                              "Kraków|paszport AB123|stały gość",
                              "Nowak Anna|||| |Krótka 2||"}));
        // A grey rule closes every band, at its foot.
        int rules = 0;
        for (const PlacedItem& item : doc.pages[0].items)
            if (item.band == "Szczegoly" && item.kind == PlacedItem::Kind::Box) {
                ++rules;
                QCOMPARE(item.fill, QColor(192, 192, 192));
                QVERIFY(!item.framed);
            }
        QCOMPARE(rules, 2);
        compareGolden("person_archive.txt", dumpDocument(doc));
    }

    void documentWords_data()
    {
        QTest::addColumn<QVariant>("kind");
        QTest::addColumn<QString>("word");
        QTest::newRow("none") << QVariant() << "";
        QTest::newRow("0") << QVariant(0) << "";
        QTest::newRow("1") << QVariant(1) << "dowód ";
        QTest::newRow("2") << QVariant(2) << "paszport ";
        QTest::newRow("3") << QVariant(3) << "leg. stud. ";
        QTest::newRow("4") << QVariant(4) << "leg. szkol. ";
        QTest::newRow("5: no document") << QVariant(5) << "";
        QTest::newRow("stored as text") << QVariant("3") << "leg. stud. ";
    }
    void documentWords()
    {
        QFETCH(QVariant, kind);
        QFETCH(QString, word);
        QCOMPARE(archiveDocumentWord(kind), word);
    }

    // A document word stays with an ordinary number on one line, and a number
    // that needs a line of its own is never broken inside.
    void documentNumberInOnePiece_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("identity card") << 1 << "ARK530771" << QStringList{"dowód ARK530771"};
        QTest::newRow("passport") << 2 << "EA1234567" << QStringList{"paszport EA1234567"};
        QTest::newRow("school card, longest number")
            << 4 << "123456789012345" << QStringList{"leg. szkol.", "123456789012345"};
    }
    void documentNumberInOnePiece()
    {
        QFETCH(int, kind);
        QFETCH(QString, number);
        QFETCH(QStringList, lines);
        TestEnv env;
        ReportRows rows(archiveColumns(), {{1, "Kowalski", "Jan", "Długa 1", 7, "12", "2026-07-01",
                                            "2026-07-05", kind, number, "1970-03-04", "Łódź", ""}});
        TRapArchiwum report(rows);
        const Document doc = generateDocument(report);
        for (const PlacedItem& item : doc.pages[0].items)
            if (item.band == "Szczegoly" && item.control == "Dokument")
                QCOMPARE(laidOutLines(item), lines);
        const QStringList faults = textsNotFitting(doc);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    // Every column as long as the database holds it prints whole: remarks of
    // 255 characters are not cut after two lines, the band grows with its
    // grey rule under it, and no band runs into the next.
    void longTextsPrintWhole_data()
    {
        QTest::addColumn<bool>("oneWord");
        QTest::newRow("words") << false;
        QTest::newRow("one word") << true;
    }
    void longTextsPrintWhole()
    {
        QFETCH(bool, oneWord);
        TestEnv env;
        // Column widths of Arch_os and Ksiazka.
        ReportRows rows(archiveColumns(), {});
        for (int i = 0; i < 12; ++i)
            rows.append({i, wideText(30, oneWord), wideText(20, oneWord), wideText(70, oneWord), 7,
                         wideText(9, true), "2026-07-01", "2026-07-05", 4, wideText(15, true),
                         "1970-03-04", wideText(25, oneWord), wideText(255, oneWord)});
        TRapArchiwum report(rows);
        const Document doc = generateDocument(report);
        keepPdf(doc, QString("long-archive, %1").arg(QTest::currentDataTag()));
        QVERIFY(doc.pageCount() >= 2);
        QString remarks;
        for (const PlacedItem& item : doc.pages[0].items)
            if (item.band == "Szczegoly" && item.control == "Uwagi") {
                remarks = item.text;
                break;
            }
        QCOMPARE(remarks, wideText(255, oneWord));
        const QStringList faults = textsNotFitting(doc) + overlappingTexts(doc) +
                                   rulesNotUnderRows(doc, "Szczegoly") +
                                   cellsNotLevel(doc, "Szczegoly");
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    // The register browse window names its columns in its own letter case.
    void columnsInAnyLetterCase()
    {
        TestEnv env;
        ReportRows rows({"NAZWISKO", "imie", "adres", "NR_POKOJU", "od", "DO", "dokument_rodz",
                         "DOKUMENT_NR", "data_UR", "MIEJSCE_UR", "uwagi"},
                        {{"Wiśniewska", "Ewa", "Polna 3", "7", "2026-06-01", "2026-06-03", 1, "XY9",
                          "1985-12-31", "Gdańsk", "-"}});
        TRapArchiwum report(rows);
        QCOMPARE(detailLines(generateDocument(report)),
                 QStringList({"Wiśniewska Ewa|2026-06-01|2026-06-03|7|1985-12-31 "
                              "Gdańsk|Polna 3|dowód XY9|-"}));
    }

    // The launcher prints the window's visible rows in their order and leaves
    // the window's current row alone.
    void printsTheVisibleRowsOfAWindow()
    {
        TestEnv env;
        RecordingPresenter recorder;
        for (const char* name : {"Zielińska", "Kowalski", "Kowalczyk", "Adamski"})
            env.exec("INSERT INTO Arch_os(Nazwisko, Imie) VALUES (?, 'X')", {name});
        RowSet rows;
        rows.open("SELECT * FROM Arch_os ORDER BY Nazwisko DESC");
        QVERIFY(!rows.setFilter("Nazwisko Like 'Kow*'"));
        rows.setCurrent(1);

        const LaunchResult result = printArchive(rows, ReportOutput::Print);
        QVERIFY(result.ok);
        QCOMPARE(recorder.printed, 1);
        QCOMPARE(recorder.previewed, 0);
        QCOMPARE(recorder.lastDetailFirstTexts(), QStringList({"Kowalski X", "Kowalczyk X"}));
        QCOMPARE(rows.current(), 1);

        QVERIFY(printArchive(rows, ReportOutput::Preview).ok);
        QCOMPARE(recorder.previewed, 1);

        QVERIFY(!rows.setFilter("Nazwisko Like 'Q*'"));
        const LaunchResult none = printArchive(rows, ReportOutput::Preview);
        QVERIFY(!none.ok);
        QCOMPARE(none.message, QString("Nie ma żadnych danych do wydruku."));
        QCOMPARE(recorder.previewed + recorder.printed, 2);
    }
};
REZYDO_TEST(TestArchiveReport);

#include "test_archive_report.moc"
