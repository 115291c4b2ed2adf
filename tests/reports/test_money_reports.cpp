#include "db/data_module.h"
#include "db/row_set.h"
#include "reports/engine/document.h"
#include "reports/engine/generator.h"
#include "reports/money_reports.h"
#include "tests/reports/golden.h"
#include "tests/reports/layout_checks.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QTest>

#include <memory>

namespace {
// A group with its calculation: name, gross in grosze, settled flag.
void addCalculation(TestEnv& env, int id, const QString& name, qint64 brutto, int rozl = 0)
{
    env.exec("insert into Kwat_hot(Identyfikator,Nazwa,Osob,Od,\"Do\") values "
             "(?,?,2,'2026-07-10','2026-07-14')",
             {id, name});
    env.exec("insert into Kalk(Identyfikator,Nazwa,Brutto,rozl) values (?,?,?,?)",
             {id, name, brutto * 100, rozl});
}

void addPayment(TestEnv& env, int group, const QString& number, const QString& day, qint64 grosze,
                int type)
{
    env.exec("insert into Kwit(Identyfikator,Nr_kwit,Wplata,Data,Typ) values (?,?,?,?,?)",
             {group, number, grosze * 100, day, type});
}

// Three payments of two groups on two days, one of each type 1-3 and a note.
void paymentsOfJuly(TestEnv& env)
{
    addCalculation(env, 1, "Kowalscy", 50000);
    addCalculation(env, 2, "Nowakowie", 30000);
    addPayment(env, 1, "0001/2026#0001", "2026-07-10", 10000, 1);
    addPayment(env, 2, "7", "2026-07-10", 5050, 3);
    addPayment(env, 1, "8", "2026-07-11", 2500, 3);
    addPayment(env, 2, "3", "2026-07-11", 1000, 4);
    addPayment(env, 2, "9", "2026-06-30", 99900, 3); // outside the period
}

QStringList texts(const Document& doc, const QString& band)
{
    QStringList out;
    for (const Page& p : doc.pages)
        out << p.texts(band);
    return out;
}
} // namespace

class TestMoneyReports : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void codeTexts_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("method");
        QTest::newRow("1") << 1 << "Paragon"
                           << "Gotówka";
        QTest::newRow("2") << 2 << "Kwitariusz"
                           << "Przelew";
        QTest::newRow("3") << 3 << "Przelew"
                           << "";
        QTest::newRow("4") << 4 << "Nota księgowa"
                           << "";
        QTest::newRow("0") << 0 << ""
                           << "";
    }
    void codeTexts()
    {
        QFETCH(int, code);
        QFETCH(QString, type);
        QFETCH(QString, method);
        QCOMPARE(paymentTypeText(code), type);
        QCOMPARE(paymentMethodText(code), method);
    }

    // The type filter narrows grid, total and report alike.
    void paymentsByType_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<QString>("total");
        QTest::newRow("all") << 0 << QStringList{"0001/2026#0001", "7", "3", "8"}
                             << "Razem 185,50 zł";
        QTest::newRow("Paragony") << 1 << QStringList{"0001/2026#0001"} << "Razem 100,00 zł";
        QTest::newRow("Przelewy") << 3 << QStringList{"7", "8"} << "Razem 75,50 zł";
        QTest::newRow("Nota") << 4 << QStringList{"3"} << "Razem 10,00 zł";
        QTest::newRow("Kwitariusze") << 2 << QStringList{} << "Razem 0,00 zł";
    }
    void paymentsByType()
    {
        QFETCH(int, index);
        QFETCH(QStringList, numbers);
        QFETCH(QString, total);
        TestEnv env;
        paymentsOfJuly(env);
        RowSet rows;
        openPayments(rows, QDate(2026, 7, 1), QDate(2026, 7, 15));
        QVERIFY(!rows.setFilter(paymentTypeFilter(index)));
        QStringList shown;
        for (int i = 0; i < rows.rowCount(); ++i)
            shown << rows.value(i, "Nr_kwit").toString();
        QCOMPARE(shown, numbers);
        QCOMPARE(paymentsTotalText(visibleTotal(rows, "Wplata")), total);

        const RowSetData data(rows);
        TRapOplaty report(data, QDate(2026, 7, 1), QDate(2026, 7, 15));
        const Document doc = generateDocument(report);
        const QStringList overall = texts(doc, "Podsumowanie");
        QCOMPARE(overall.size(), 2);
        QCOMPARE(QString("Razem ") + overall[1].trimmed(), total);
    }

    void paymentsDailyGroups()
    {
        TestEnv env;
        paymentsOfJuly(env);
        RowSet rows;
        openPayments(rows, QDate(2026, 7, 1), QDate(2026, 7, 15));
        QCOMPARE(rows.value(0, "TypStr").toString(), QString("Paragon"));
        const RowSetData data(rows);
        TRapOplaty report(data, QDate(2026, 7, 1), QDate(2026, 7, 15));
        const Document doc = generateDocument(report);
        const QStringList header = doc.pages[0].texts("NaglowekStrony");
        QCOMPARE(header, QStringList{"Opłaty wniesione w okresie od 2026-07-01 do 2026-07-15."});
        QStringList footers;
        for (const Page& p : doc.pages)
            for (const PlacedItem& item : p.items)
                if (item.control == "SumaDnia" || item.control == "Razem")
                    footers << item.text;
        QCOMPARE(footers, (QStringList{"Razem ", "150,50 zł ", "Razem ", "35,00 zł "}));
        QCOMPARE(
            texts(doc, "Szczegoly").mid(0, 5),
            (QStringList{"Paragon", "0001/2026#0001", "Kowalscy", "2026-07-10", "100,00 zł "}));
        compareGolden("money_payments.txt", dumpDocument(doc));
    }

    // The payments window opens on 1 June of this year, which lies after
    // today from January to May.
    void paymentsEmptyBeforeJune()
    {
        TestEnv env;
        paymentsOfJuly(env);
        RowSet rows;
        openPayments(rows, QDate(2026, 6, 1), QDate(2026, 3, 10));
        QVERIFY(rows.isEmpty());
    }

    void invoices_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("one day") << QDate(2026, 7, 12) << QDate(2026, 7, 12) << ""
                                 << QStringList{"2 ", "3 "};
        QTest::newRow("period") << QDate(2026, 7, 1) << QDate(2026, 7, 31) << ""
                                << QStringList{"1 ", "2 ", "3 "};
        QTest::newRow("start after end")
            << QDate(2026, 7, 13) << QDate(2026, 7, 12) << kInvoiceDatesMessage << QStringList{};
        QTest::newRow("none") << QDate(2026, 8, 1) << QDate(2026, 8, 31) << kNoInvoicesMessage
                              << QStringList{};
    }
    void invoices()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QString, message);
        QFETCH(QStringList, numbers);
        TestEnv env;
        addCalculation(env, 1, "Kowalscy", 12000);
        addCalculation(env, 2, "Nowak", 34050);
        addCalculation(env, 3, "Wiśniewscy", 10000);
        addCalculation(env, 4, "Bez faktury", 10000);
        env.exec("update Kalk set Typ=2, Adres='Ul. Polna 1', Rach=Identyfikator, "
                 "sposob_zaplaty=Identyfikator, data_wystawienia=? where Identyfikator<4",
                 {"2026-07-12"});
        env.exec("update Kalk set data_wystawienia='2026-07-05' where Identyfikator=1");
        env.exec("update Kalk set data_wystawienia='2026-07-12', Rach=9 where Identyfikator=4");
        RowSet rows;
        openInvoices(rows, from, to);
        const LaunchResult result = printInvoices(rows, ReportOutput::Preview, from, to);
        QCOMPARE(result.message, message);
        if (!result.ok)
            return;
        const RowSetData data(rows);
        TRapFaktury report(data, from, to);
        const Document doc = generateDocument(report);
        QStringList shown;
        for (const PlacedItem& item : doc.pages[0].items)
            if (item.control == "Rach")
                shown << item.text;
        QCOMPARE(shown, numbers);
    }

    // The ordinal restarts with each generation; method 3 prints nothing.
    void invoiceLayout()
    {
        TestEnv env;
        addCalculation(env, 1, "Kowalscy", 12000);
        addCalculation(env, 2, "Nowak", 34050);
        env.exec("update Kalk set Typ=2, Adres='Ul. Polna 1', Rach=Identyfikator+10, "
                 "data_wystawienia='2026-07-12', uwagi='' , sposob_zaplaty=Identyfikator*3-2");
        RowSet rows;
        openInvoices(rows, QDate(2026, 7, 1), QDate(2026, 7, 31));
        const RowSetData data(rows);
        TRapFaktury report(data, QDate(2026, 7, 1), QDate(2026, 7, 31));
        generateDocument(report);
        const Document doc = generateDocument(report);
        QCOMPARE(
            texts(doc, "Szczegoly"),
            (QStringList{"1 ", "11 ", "2026-07-12", "Kowalscy\nUl. Polna 1", "120,00 ", "Gotówka",
                         "", "2 ", "12 ", "2026-07-12", "Nowak\nUl. Polna 1", "340,50 ", "", ""}));
        QCOMPARE(texts(doc, "Podsumowanie"), (QStringList{"Suma", "460,50 "}));
        compareGolden("money_invoices.txt", dumpDocument(doc));
    }

    void discounts_data()
    {
        QTest::addColumn<QString>("sale");
        QTest::addColumn<QString>("od");
        QTest::addColumn<QString>("doDay");
        QTest::addColumn<int>("discount");
        QTest::addColumn<bool>("listed");
        QTest::newRow("sold inside") << "2026-07-10"
                                     << "2026-06-01"
                                     << "2026-06-05" << 10 << true;
        QTest::newRow("stay inside, sold outside") << "2026-08-20"
                                                   << "2026-07-02"
                                                   << "2026-07-09" << 10 << true;
        QTest::newRow("stay crosses the end") << "2026-08-20"
                                              << "2026-07-25"
                                              << "2026-08-02" << 10 << false;
        QTest::newRow("no discount") << "2026-07-10"
                                     << "2026-07-02"
                                     << "2026-07-09" << 0 << false;
    }
    void discounts()
    {
        QFETCH(QString, sale);
        QFETCH(QString, od);
        QFETCH(QString, doDay);
        QFETCH(int, discount);
        QFETCH(bool, listed);
        TestEnv env;
        env.exec("insert into Kalk(Identyfikator,Nazwa,Brutto,Znizka,Podstawa,data_sprzedazy,Od,"
                 "\"Do\") values (1,'Kowalscy',1234500,?,'stały klient',?,?,?)",
                 {discount, sale, od, doDay});
        RowSet rows;
        openDiscounts(rows, QDate(2026, 7, 1), QDate(2026, 7, 31));
        QCOMPARE(rows.rowCount(), listed ? 1 : 0);
        const LaunchResult result =
            printDiscounts(rows, ReportOutput::Preview, QDate(2026, 7, 1), QDate(2026, 7, 31));
        QCOMPARE(result.ok, listed);
        QCOMPARE(result.message, QString());
        if (!listed)
            return;
        const RowSetData data(rows);
        TRapRabaty report(data, QDate(2026, 7, 1), QDate(2026, 7, 31));
        const Document doc = generateDocument(report);
        QCOMPARE(doc.pages[0].texts("NaglowekStrony"),
                 QStringList{"Zestawienie udzielonych rabatów od  2026-07-01 do 2026-07-31"});
        QCOMPARE(texts(doc, "Szczegoly"),
                 (QStringList{"Kowalscy", sale, "123,45 zł", "10 %", "stały klient"}));
    }

    // Groups without a calculation count as unsettled; a group without room
    // lines prints its own line only.
    void unpaidGroups()
    {
        TestEnv env;
        addCalculation(env, 1, "Rozliczeni", 100, 1);
        addCalculation(env, 2, "Dłużnicy", 100, 0);
        env.exec("insert into Kwat_hot(Identyfikator,Nazwa,Osob,Od,\"Do\") values "
                 "(3,'Bez kalkulacji',1,'2026-07-14','2026-07-16')");
        env.exec("insert into Kwat_msc(Identyfikator,Nr_pokoju,Od,\"Do\",Miejsc,Jaki) values "
                 "(2,'12','2026-07-10','2026-07-14',2,'K'),(2,'3','2026-07-11','2026-07-13',1,"
                 "'M')");
        RowSet rows;
        openUnpaidGroups(rows);
        QCOMPARE(rows.rowCount(), 2);
        const RowSetData data(rows);
        TRapDlugi report(data, env.db());
        const Document doc = generateDocument(report);
        QCOMPARE(texts(doc, "Szczegoly"), (QStringList{"2", "Dłużnicy", "3", "Bez kalkulacji"}));
        QCOMPARE(texts(doc, "Pokoje"), (QStringList{"12", "10-07-2026", "14-07-2026", "2", "3",
                                                    "11-07-2026", "13-07-2026", "1"}));
        QCOMPARE(doc.pages[0].texts("StopkaStrony"), (QStringList{"Strona 1", "2026-07-15"}));
        QCOMPARE(doc.pages[0].texts("Tytul"), QStringList{"Grupy nierozliczone"});
        compareGolden("money_unpaid.txt", dumpDocument(doc));

        env.exec("update Kalk set rozl=1");
        env.exec("delete from Kwat_hot where Identyfikator=3");
        openUnpaidGroups(rows);
        QVERIFY(rows.isEmpty());
    }

    // "Kwota Brutto" in the regional currency format, grouped as the program
    // groups amounts everywhere.
    void discountAmounts_data()
    {
        QTest::addColumn<qlonglong>("units");
        QTest::addColumn<QString>("printed");
        QTest::newRow("hundreds") << 1234500LL << "123,45 zł";
        QTest::newRow("thousands") << 123456000LL << QStringLiteral("12\u00a0345,60 zł");
        QTest::newRow("millions") << 12345678900LL << QStringLiteral("1\u00a0234\u00a0567,89 zł");
        QTest::newRow("rounded to grosze") << 99999950LL << QStringLiteral("10\u00a0000,00 zł");
    }
    void discountAmounts()
    {
        QFETCH(qlonglong, units);
        QFETCH(QString, printed);
        TestEnv env;
        env.exec("insert into Kalk(Identyfikator,Nazwa,Brutto,Znizka,data_sprzedazy) values "
                 "(1,'Kowalscy',?,10,'2026-07-10')",
                 {units});
        RowSet rows;
        openDiscounts(rows, QDate(2026, 7, 1), QDate(2026, 7, 31));
        const RowSetData data(rows);
        TRapRabaty report(data, QDate(2026, 7, 1), QDate(2026, 7, 31));
        const Document doc = generateDocument(report);
        QCOMPARE(texts(doc, "Szczegoly").value(2), printed);
        QCOMPARE(printed, groupedMoneyText(Money::fromUnits(units)));
    }

    // Names, numbers, addresses and remarks as long as the database holds them
    // print whole: they wrap, the row grows with its rule, and the cells of a
    // row stay level.
    void longTextsPrintWhole_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<bool>("oneWord");
        for (const char* report : {"Opłaty", "Rabaty", "Faktury", "Nieuregulowane"}) {
            QTest::addRow("%s, words", report) << QString::fromUtf8(report) << false;
            QTest::addRow("%s, one word", report) << QString::fromUtf8(report) << true;
        }
    }
    void longTextsPrintWhole()
    {
        QFETCH(QString, report);
        QFETCH(bool, oneWord);
        TestEnv env;
        // Column widths of Kalk, Kwit and Kwat_msc.
        for (int id = 1; id <= 40; ++id) {
            env.exec("insert into Kwat_hot(Identyfikator,Nazwa,Osob,Od,\"Do\") values "
                     "(?,?,2,'2026-07-10','2026-07-14')",
                     {id, wideText(40, oneWord)});
            env.exec("insert into Kalk(Identyfikator,Nazwa,Adres,Brutto,Znizka,Podstawa,Typ,Rach,"
                     "sposob_zaplaty,uwagi,data_wystawienia,data_sprzedazy) values "
                     "(?,?,?,?,15,?,2,?,1,?,'2026-07-12','2026-07-12')",
                     {id, wideText(40, oneWord), wideText(50, oneWord), 123456789000LL,
                      wideText(25, oneWord), 32700 + id, wideText(100, oneWord)});
            env.exec("insert into Kwit(Identyfikator,Nr_kwit,Wplata,Data,Typ) values "
                     "(?,?,123456789000,'2026-07-12',4)",
                     {id, wideText(14, true)});
            env.exec("insert into Kwat_msc(Identyfikator,Nr_pokoju,Od,\"Do\",Miejsc,Jaki) values "
                     "(?,?,'2026-07-10','2026-07-14',2,'K')",
                     {id, wideText(9, true)});
        }
        const QDate from(2026, 7, 1), to(2026, 7, 31);
        RowSet rows;
        std::unique_ptr<Report> r;
        std::unique_ptr<RowSetData> data;
        QString ruled;
        if (report == "Opłaty") {
            openPayments(rows, from, to);
            data = std::make_unique<RowSetData>(rows);
            r = std::make_unique<TRapOplaty>(*data, from, to);
            ruled = "Szczegoly";
        } else if (report == "Rabaty") {
            openDiscounts(rows, from, to);
            data = std::make_unique<RowSetData>(rows);
            r = std::make_unique<TRapRabaty>(*data, from, to);
            ruled = "Szczegoly";
        } else if (report == "Faktury") {
            openInvoices(rows, from, to);
            data = std::make_unique<RowSetData>(rows);
            r = std::make_unique<TRapFaktury>(*data, from, to);
        } else {
            openUnpaidGroups(rows);
            data = std::make_unique<RowSetData>(rows);
            r = std::make_unique<TRapDlugi>(*data, env.db());
        }
        QCOMPARE(rows.rowCount(), 40);
        const Document doc = generateDocument(*r);
        keepPdf(doc, QString("long-%1").arg(QTest::currentDataTag()));
        QVERIFY(doc.pageCount() >= 2);
        QStringList faults = textsNotFitting(doc) + overlappingTexts(doc);
        if (!ruled.isEmpty())
            faults += rulesNotUnderRows(doc, ruled);
        if (report != "Nieuregulowane")
            faults += cellsNotLevel(doc, "Szczegoly");
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void pdfSmoke()
    {
        TestEnv env;
        paymentsOfJuly(env);
        RowSet payments, groups;
        openPayments(payments, QDate(2026, 7, 1), QDate(2026, 7, 15));
        openUnpaidGroups(groups);
        const RowSetData p(payments), g(groups);
        TRapOplaty a(p, QDate(2026, 7, 1), QDate(2026, 7, 15));
        TRapDlugi b(g, env.db());
        TRapFaktury c(p, QDate(2026, 7, 1), QDate(2026, 7, 15));
        TRapRabaty d(p, QDate(2026, 7, 1), QDate(2026, 7, 15));
        int n = 0;
        for (Report* r : std::initializer_list<Report*>{&a, &b, &c, &d}) {
            const QString file = env.path(QString("raport%1.pdf").arg(++n));
            QVERIFY(writePdf(generateDocument(*r), file));
            QVERIFY(QFileInfo(file).size() > 1000);
        }
    }
};
REZYDO_TEST(TestMoneyReports);
#include "test_money_reports.moc"
