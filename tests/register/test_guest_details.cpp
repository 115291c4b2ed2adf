#include "register/guest_details.h"
#include "register/guest_details_report.h"
#include "reports/engine/generator.h"
#include "tests/register/guest_details_fixture.h"
#include "tests/reports/golden.h"
#include "tests/support/test_registry.h"

#include <QTest>

namespace {
QStringList stay(const GuestDetails& d)
{
    return {QString::number(d.groupId), d.NumerPokoju, d.Od, d.Do};
}
QStringList numbers(const GuestDetails& d)
{
    return {d.Znizka, d.RachunekUpr, d.FakturaVat};
}
QStringList payments(const GuestDetails& d)
{
    QStringList out;
    for (const GuestPayment& p : d.payments)
        out << p.type + "|" + p.number + "|" + p.day + "|" + p.amount;
    return out;
}
// Texts of a page that cover each other, as "a / b".
QStringList overlapping(const Page& page)
{
    QStringList out;
    for (qsizetype i = 0; i < page.items.size(); ++i)
        for (qsizetype j = i + 1; j < page.items.size(); ++j) {
            const PlacedItem& a = page.items[i];
            const PlacedItem& b = page.items[j];
            if (a.kind == PlacedItem::Kind::Text && b.kind == PlacedItem::Kind::Text &&
                a.rect.intersected(b.rect).height() > 0.01 &&
                a.rect.intersected(b.rect).width() > 0.01)
                out << a.text + " / " + b.text;
        }
    return out;
}
} // namespace

class TestGuestDetails : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The entry last in table order decides the stay, and only its group's
    // payments and numbers show.
    void latestEntryInTableOrder()
    {
        TestEnv env;
        const int person = guestWithPayments(env);
        const GuestDetails d = loadGuestDetails(env.db(), person);
        QVERIFY(d.personFound);
        QCOMPARE(QStringList({d.Nazwisko, d.Imie, d.Panstwo, d.DataUrodzenia, d.MiejsceUrodzenia,
                              d.Adres, d.Rodzaj, d.Numer, d.Uwagi}),
                 QStringList({"Müller", "Jürgen", "Niemcy", "1964-03-09", "Dresden",
                              "Hauptstraße 5, Berlin", "Paszport", "C01X00T47",
                              "Pokój od strony ogrodu"}));
        QCOMPARE(stay(d), QStringList({"3", "12", "2026-07-10", "2026-07-14"}));
        QCOMPARE(payments(d),
                 QStringList({"Paragon|0012/2026#|2026-07-10|150", "Przelew|45|2026-07-14|150,5"}));
        QCOMPARE(numbers(d), QStringList({"10", "", "17"}));
    }

    void calculationNumbers_data()
    {
        QTest::addColumn<bool>("hasCalculation");
        QTest::addColumn<QVariant>("typ");
        QTest::addColumn<QVariant>("rach");
        QTest::addColumn<QVariant>("discount");
        QTest::addColumn<QStringList>("shown"); // Zniżka, Rachunek Upr., Faktura VAT
        const QVariant none;
        QTest::newRow("bill") << true << QVariant(1) << QVariant(5) << QVariant(0)
                              << QStringList{"", "5", ""};
        QTest::newRow("invoice") << true << QVariant(2) << QVariant(6) << QVariant(15)
                                 << QStringList{"15", "", "6"};
        QTest::newRow("cancelled invoice")
            << true << none << QVariant(7) << none << QStringList{"", "", ""};
        QTest::newRow("invoice not numbered")
            << true << QVariant(2) << none << QVariant(5) << QStringList{"5", "", ""};
        QTest::newRow("other type")
            << true << QVariant(3) << QVariant(8) << QVariant(1) << QStringList{"1", "", ""};
        QTest::newRow("negative discount")
            << true << QVariant(1) << QVariant(3) << QVariant(-5) << QStringList{"", "3", ""};
        QTest::newRow("no calculation") << false << none << none << none << QStringList{"", "", ""};
    }
    void calculationNumbers()
    {
        QFETCH(bool, hasCalculation);
        QFETCH(QVariant, typ);
        QFETCH(QVariant, rach);
        QFETCH(QVariant, discount);
        QFETCH(QStringList, shown);
        TestEnv env;
        const int person = addGuest(env);
        addEntry(env, 4, person, "1", "2026-07-01", "2026-07-02");
        if (hasCalculation)
            addCalculation(env, 4, typ, rach, discount);
        QCOMPARE(numbers(loadGuestDetails(env.db(), person)), shown);
    }

    void codedTexts_data()
    {
        QTest::addColumn<QVariant>("documentKind");
        QTest::addColumn<QString>("documentText");
        QTest::addColumn<int>("paymentType");
        QTest::addColumn<QString>("paymentText");
        QTest::newRow("1") << QVariant(1) << "Dowód osobisty" << 1 << "Paragon";
        QTest::newRow("2") << QVariant(2) << "Paszport" << 2 << "Kwitariusz";
        QTest::newRow("3") << QVariant(3) << "leg. studencka" << 3 << "Przelew";
        QTest::newRow("4") << QVariant(4) << "leg. szkolna" << 4 << "Nota księgowa";
        QTest::newRow("5") << QVariant(5) << "" << 5 << "";
        QTest::newRow("0") << QVariant(0) << "" << 0 << "";
        QTest::newRow("none") << QVariant() << "" << -1 << "";
    }
    void codedTexts()
    {
        QFETCH(QVariant, documentKind);
        QFETCH(QString, documentText);
        QFETCH(int, paymentType);
        QFETCH(QString, paymentText);
        TestEnv env;
        const int person = addGuest(env, documentKind);
        addEntry(env, 4, person, "1", "2026-07-01", "2026-07-02");
        addPayment(env, 4, "1", 10000, "2026-07-01", paymentType);
        const GuestDetails d = loadGuestDetails(env.db(), person);
        QCOMPARE(d.Rodzaj, documentText);
        QCOMPARE(d.payments.value(0).type, paymentText);
    }

    void plainAmount_data()
    {
        QTest::addColumn<qint64>("units");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << qint64(1500000) << "150";
        QTest::newRow("one decimal") << qint64(1505000) << "150,5";
        QTest::newRow("four decimals") << qint64(1) << "0,0001";
        QTest::newRow("zero") << qint64(0) << "0";
        QTest::newRow("refund") << qint64(-250000) << "-25";
        QTest::newRow("no grouping") << qint64(123456780000) << "12345678";
    }
    void plainAmount()
    {
        QFETCH(qint64, units);
        QFETCH(QString, text);
        QCOMPARE(::plainAmount(units), text);
    }

    // Never registered: the personal data only. A payment of group 0 (no
    // group at all) belongs to nobody.
    void personWithoutEntries()
    {
        TestEnv env;
        addCountries(env);
        const int person = addGuest(env, 1, 1);
        addPayment(env, 0, "1", 10000, "2026-07-01", 1);
        addCalculation(env, 0, 1, 1, 10);
        const GuestDetails d = loadGuestDetails(env.db(), person);
        QCOMPARE(d.Nazwisko, QString("Müller"));
        QCOMPARE(d.Panstwo, QString("Polska"));
        QCOMPARE(stay(d), QStringList({"0", "", "", ""}));
        QCOMPARE(numbers(d), QStringList({"", "", ""}));
        QVERIFY(d.payments.isEmpty());
    }

    // Check-out deletes the person records of incomplete entries: their
    // entries, stays and payments remain.
    void unknownPerson()
    {
        TestEnv env;
        const int person = guestWithPayments(env);
        env.exec("DELETE FROM Arch_os");
        const GuestDetails d = loadGuestDetails(env.db(), person);
        QVERIFY(!d.personFound);
        QCOMPARE(QStringList({d.Nazwisko, d.Imie, d.Panstwo, d.DataUrodzenia, d.Rodzaj, d.Uwagi}),
                 QStringList({"", "", "", "", "", ""}));
        QCOMPARE(stay(d), QStringList({"3", "12", "2026-07-10", "2026-07-14"}));
        QCOMPARE(d.payments.size(), 2);
        QCOMPARE(numbers(d), QStringList({"10", "", "17"}));
    }

    // A person never completed: no birth date, no country, no room.
    void emptyRecord()
    {
        TestEnv env;
        addCountries(env);
        env.exec("INSERT INTO Arch_os(ID_Panstwo) VALUES (9)");
        const int person = env.scalar("SELECT max(Identyfikator_o) FROM Arch_os").toInt();
        env.exec("INSERT INTO Ksiazka(Identyfikator_g, Identyfikator_o) VALUES (5, ?)", {person});
        const GuestDetails d = loadGuestDetails(env.db(), person);
        QVERIFY(d.personFound);
        QCOMPARE(QStringList({d.DataUrodzenia, d.Panstwo, d.Rodzaj}), QStringList({"", "", ""}));
        QCOMPARE(stay(d), QStringList({"5", "", "", ""}));
    }

    void printoutWithPayments()
    {
        TestEnv env;
        TRapDaneKlienta report(loadGuestDetails(env.db(), guestWithPayments(env)));
        QCOMPARE(report.title, QString("Dane szczegółowe klienta"));
        QCOMPARE(report.page.paper, QSizeF(210, 297));
        QCOMPARE(report.page.marginLeft + report.page.marginTop, 20.0);
        QCOMPARE(report.page.copies, 1);
        const Document doc = generateDocument(report);
        QCOMPARE(doc.pageCount(), 1);
        // The golden dump holds the whole page; here the fee part in its order.
        const QStringList texts = doc.texts();
        QCOMPARE(texts.first(), QString("Dane szczegółowe gościa hotelowego"));
        QCOMPARE(texts.mid(texts.indexOf("Opłaty zwiazane z gościem")),
                 QStringList({"Opłaty zwiazane z gościem", "Zniżka", "10", "Rachunek Uproszczony",
                              "", "Faktura VAT", "17", "Typ", "Numer", "Data wpłaty", "Wpłata",
                              "Paragon", "0012/2026#", "2026-07-10", "150", "Przelew", "45",
                              "2026-07-14", "150,5"}));
        QCOMPARE(overlapping(doc.pages[0]), QStringList());
        compareGolden("guest_details_payments.txt", dumpDocument(doc));
    }

    void printoutWithoutPayments()
    {
        TestEnv env;
        const int person = guestWithPayments(env);
        env.exec("DELETE FROM Kwit");
        TRapDaneKlienta report(loadGuestDetails(env.db(), person));
        const Document doc = generateDocument(report);
        QCOMPARE(doc.pageCount(), 1);
        const QStringList texts = doc.texts();
        QCOMPARE(texts.mid(texts.indexOf("Dane kwaterunku")),
                 QStringList({"Dane kwaterunku", "Nr pokoju", "12", "Od", "2026-07-10", "Do",
                              "2026-07-14", "Brak wniesionych opłat"}));
        for (const char* absent : {"Opłaty zwiazane z gościem", "Zniżka", "Rachunek Uproszczony",
                                   "Faktura VAT", "17", "Typ", "Data wpłaty", "Wpłata"})
            QVERIFY2(!texts.contains(QString::fromUtf8(absent)), absent);
        QCOMPARE(overlapping(doc.pages[0]), QStringList());
        compareGolden("guest_details_no_payments.txt", dumpDocument(doc));
    }
};
REZYDO_TEST(TestGuestDetails);

#include "test_guest_details.moc"
