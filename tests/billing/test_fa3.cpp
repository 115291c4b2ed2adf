#include "billing/buyer_id.h"
#include "billing/calculation.h"
#include "billing/correction.h"
#include "billing/invoice.h"
#include "billing/ksef/fa3.h"
#include "billing/payments.h"
#include "billing/services.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QDir>
#include <QTest>
#include <QXmlStreamReader>

#include <functional>

namespace {
Money zl(const char* amount)
{
    return Money::parse(QString::fromUtf8(amount)).value();
}

QVariant units(const char* amount)
{
    return QVariant::fromValue<qlonglong>(zl(amount).units());
}

// The official schema set and examples, kept outside the project.
QString referenceDir()
{
    const QString fromEnv = qEnvironmentVariable("REZYDO_KSEF_FA3_DIR");
    return fromEnv.isEmpty() ? QStringLiteral(REZYDO_KSEF_FA3_DIR) : fromEnv;
}

QString schemaDir()
{
    return referenceDir() + QStringLiteral("/xsd");
}

// The texts of every element at `path` below the root, joined by "|".
QString values(const QByteArray& document, const QString& path)
{
    QXmlStreamReader r(document);
    QStringList stack, out;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            stack << r.name().toString();
            if (stack.mid(1).join(QLatin1Char('/')) == path)
                out << r.readElementText(QXmlStreamReader::IncludeChildElements);
            if (r.isEndElement())
                stack.removeLast();
        } else if (r.isEndElement()) {
            stack.removeLast();
        }
    }
    return out.join(QLatin1Char('|'));
}

// The hotel, a double room at 250,00 and a stay of two persons from
// 4 to 7 December 2026; returns the group with its calculation made.
int stay(TestEnv& env, int nights = 3)
{
    env.exec("UPDATE Config SET Nazwa = 'Pensjonat Pod Lipami Anna Przykładowa', Adres = 'ul. "
             "Lipowa 5, 34-500 Zakopane', NIP = '111-111-11-11', Miejscowosc = 'Zakopane', "
             "SWW = '55.10.10.0', Bank = 'Bank Przykładowy S.A.', NrKonta = '73 1111 1111 1111 "
             "1111 1111 1111', Regon = '', Podstawa_zw = 'art. 43 ust. 1 pkt 36 ustawy o VAT'");
    if (env.scalar("SELECT count(*) FROM Pokoje WHERE Nr_Pokoju = '12'").toInt() == 0) {
        env.exec("INSERT INTO Pokoje (Nr_Pokoju, Miejsc, Typ) VALUES ('12', 2, 'D')");
        env.exec("INSERT INTO Cennik (Typ, Cena1, Cena2, Cena3, Cena4) VALUES ('D', ?, ?, ?, ?)",
                 {units("150"), units("150"), units("250"), units("250")});
    }
    const QString to = QDate(2026, 12, 4).addDays(nights).toString(Qt::ISODate);
    env.exec("INSERT INTO Kwat_hot (Nazwa, Osob, Od, \"Do\") VALUES ('Gość', 2, '2026-12-04', ?)",
             {to});
    const int g = env.scalar("SELECT max(Identyfikator) FROM Kwat_hot").toInt();
    env.exec("INSERT INTO Kwat_msc (Identyfikator, Nr_pokoju, Od, \"Do\", Miejsc) VALUES (?, "
             "'12', '2026-12-04', ?, 2)",
             {g, to});
    createCalculation(env.db(), g);
    return g;
}

void addService(TestEnv& env, int g, const char* name, const char* unit, int quantity,
                const char* price, const char* vat, const char* pkwiu)
{
    addServiceLine(env.db(), ServiceLine{0, g, QString::fromUtf8(name), unit, quantity, zl(price),
                                         vat, pkwiu, Money(), Money()});
}

struct Buyer {
    QString name, address, id;
    BuyerIdKind kind = BuyerIdKind::Nip;
    int country = 1;
};

void issue(TestEnv& env, int g, int number, const Buyer& buyer,
           PaymentMethod method = PaymentMethod::Cash,
           const std::function<void(CalcHeader&)>& more = {})
{
    CalcHeader h = loadHeader(env.db(), g);
    h.name = buyer.name;
    h.address = buyer.address;
    h.nip = buyer.id;
    h.idKind = static_cast<int>(buyer.kind);
    h.countryId = buyer.country;
    if (more)
        more(h);
    issueInvoice(env.db(), h, QDate(2026, 12, 7), QDate(2026, 12, 7), method, 14, number,
                 invoiceSeries());
}

void pay(TestEnv& env, int g, const char* amount, PaymentForm form, int type = 2)
{
    registerPayment(env.db(),
                    Payment{0, g, type == kReceiptType ? receiptNumber("42/7#1") : "1", zl(amount),
                            QDate(2026, 12, 7), type, static_cast<int>(form)});
}

const Buyer company{"Przykładowa Firma Szkoleniowa Sp. z o.o.", "ul. Długa 10/3, 00-238 Warszawa",
                    "222-222-22-22"};

// Room 3 × 250,00, breakfast 6 × 40,00 at 8 %, parking 3 × 30,00 at 23 %,
// paid in full by card.
int companyWithBreakfastAndParking(TestEnv& env)
{
    const int g = stay(env);
    addService(env, g, "Śniadanie", "osoba", 6, "40", "8", "56.10.19.0");
    addService(env, g, "Parking", "doba", 3, "30", "23", "52.21.24.0");
    issue(env, g, 12, company);
    pay(env, g, "1080", PaymentForm::Card);
    return g;
}

using Scenario = std::function<QByteArray(TestEnv&)>;
using Expected = QList<QPair<QString, QString>>;

Fa3Context context()
{
    return Fa3Context{QDateTime(QDate(2026, 12, 7), QTime(10, 15), Qt::UTC), {}};
}
} // namespace

class TestFa3 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The four official files as downloaded, without a catalog, validate
    // offline: their imports are read from the same folder. (First, before
    // any catalog is loaded in this process.)
    void officialFilesAlone()
    {
        if (!QDir(schemaDir()).exists())
            QSKIP("The official FA(3) schema set is not at hand.");
        TestEnv env;
        for (const QString& name : QDir(schemaDir()).entryList({"*.xsd"}, QDir::Files))
            QVERIFY(QFile::copy(schemaDir() + "/" + name, env.path(name)));
        QVERIFY(!QFile::exists(env.path("catalog.xml")));
        QFile example(referenceDir() + "/examples/fa3-guesthouse-b2b.xml");
        QVERIFY(example.open(QIODevice::ReadOnly));
        const QByteArray doc = example.readAll();
        QCOMPARE(validateFa3Schema(doc, env.dir()).size(), 0);
        QByteArray broken = doc;
        broken.replace("<JST>2</JST>", "");
        QVERIFY(!validateFa3Schema(broken, env.dir()).isEmpty());
    }

    // Invoices made through billing, each checked against the official
    // schema and against values worked out by hand.
    void documents_data()
    {
        QTest::addColumn<Scenario>("scenario");
        QTest::addColumn<Expected>("expected");

        // 8 %: gross 750 + 240 = 990,00, tax 990 · 8/108 = 73,33, net 916,67;
        // 23 %: gross 90,00, tax 90 · 23/123 = 16,83, net 73,17.
        QTest::newRow("company, 8 % and 23 %, card")
            << Scenario([](TestEnv& env) {
                   return fa3Invoice(env.db(), companyWithBreakfastAndParking(env), context());
               })
            << Expected{{"Podmiot1/DaneIdentyfikacyjne/NIP", "1111111111"},
                        {"Podmiot1/Adres/AdresL1", "ul. Lipowa 5"},
                        {"Podmiot1/Adres/AdresL2", "34-500 Zakopane"},
                        {"Podmiot2/DaneIdentyfikacyjne/NIP", "2222222222"},
                        {"Podmiot2/Adres/KodKraju", "PL"},
                        {"Fa/P_1", "2026-12-07"},
                        {"Fa/P_2", "12/H/2026"},
                        {"Fa/P_6", ""},
                        {"Fa/P_13_1", "73.17"},
                        {"Fa/P_14_1", "16.83"},
                        {"Fa/P_13_2", "916.67"},
                        {"Fa/P_14_2", "73.33"},
                        {"Fa/P_15", "1080.00"},
                        {"Fa/Adnotacje/Zwolnienie/P_19N", "1"},
                        {"Fa/FaWiersz/P_7",
                         "Usługa noclegowa 04-12-2026 – 07-12-2026|Śniadanie|Parking"},
                        {"Fa/FaWiersz/PKWiU", "55.10.10.0|56.10.19.0|52.21.24.0"},
                        {"Fa/FaWiersz/P_8B", "3|6|3"},
                        {"Fa/FaWiersz/P_9B", "250.00|40.00|30.00"},
                        {"Fa/FaWiersz/P_11A", "750.00|240.00|90.00"},
                        {"Fa/FaWiersz/P_12", "8|8|23"},
                        {"Fa/Platnosc/Zaplacono", "1"},
                        {"Fa/Platnosc/DataZaplaty", "2026-12-07"},
                        {"Fa/Platnosc/FormaPlatnosci", "2"},
                        {"Fa/FP", ""}};

        // 2 nights at 250,00 = 500,00 gross: tax 500 · 8/108 = 37,04, net 462,96.
        QTest::newRow("private person")
            << Scenario([](TestEnv& env) {
                   const int g = stay(env, 2);
                   issue(env, g, 13,
                         Buyer{"Jan Przykładowy", "ul. Polna 1, 30-001 Kraków", "",
                               BuyerIdKind::None});
                   pay(env, g, "500", PaymentForm::Cash, kReceiptType);
                   return fa3Invoice(env.db(), g, context());
               })
            << Expected{{"Podmiot2/DaneIdentyfikacyjne/BrakID", "1"},
                        {"Podmiot2/DaneIdentyfikacyjne/NIP", ""},
                        {"Podmiot2/DaneIdentyfikacyjne/Nazwa", "Jan Przykładowy"},
                        {"Fa/P_13_2", "462.96"},
                        {"Fa/P_14_2", "37.04"},
                        {"Fa/P_15", "500.00"},
                        {"Fa/FaWiersz/P_9B", "250.00"},
                        {"Fa/Platnosc/FormaPlatnosci", "1"},
                        {"Fa/FP", "1"},
                        {"Fa/DodatkowyOpis/Klucz", "Paragon fiskalny"},
                        {"Fa/DodatkowyOpis/Wartosc", "nr 42/7#1 z 2026-12-07"}};

        QTest::newRow("EU company with a VAT number")
            << Scenario([](TestEnv& env) {
                   const int g = stay(env, 1);
                   const int germany =
                       env.scalar("SELECT ID FROM Panstwo WHERE Nazwa = 'Niemcy'").toInt();
                   issue(env, g, 14,
                         Buyer{"Beispiel GmbH", "Hauptstraße 1, 10115 Berlin", "de 123456789",
                               BuyerIdKind::EuVat, germany});
                   return fa3Invoice(env.db(), g, context());
               })
            << Expected{{"Podmiot2/DaneIdentyfikacyjne/KodUE", "DE"},
                        {"Podmiot2/DaneIdentyfikacyjne/NrVatUE", "123456789"},
                        {"Podmiot2/DaneIdentyfikacyjne/NIP", ""},
                        {"Podmiot2/Adres/KodKraju", "DE"},
                        {"Podmiot2/Adres/AdresL1", "Hauptstraße 1, 10115 Berlin"},
                        {"Fa/P_15", "250.00"},
                        {"Fa/Platnosc", ""}};

        // An exempt line: its gross is its net, in P_13_7, with the basis.
        QTest::newRow("exempt line with its basis")
            << Scenario([](TestEnv& env) {
                   const int g = stay(env, 1);
                   addService(env, g, "Wycieczka z przewodnikiem", "osoba", 2, "60", "zw", "");
                   issue(env, g, 15, company);
                   return fa3Invoice(env.db(), g, context());
               })
            << Expected{{"Fa/P_13_7", "120.00"},
                        {"Fa/P_13_2", "231.48"},
                        {"Fa/P_14_2", "18.52"},
                        {"Fa/P_15", "370.00"},
                        {"Fa/Adnotacje/Zwolnienie/P_19", "1"},
                        {"Fa/Adnotacje/Zwolnienie/P_19A", "art. 43 ust. 1 pkt 36 ustawy o VAT"},
                        {"Fa/Adnotacje/Zwolnienie/P_19N", ""},
                        {"Fa/FaWiersz/P_12", "8|zw"},
                        {"Fa/FaWiersz/P_9B", "250.00|60.00"}};

        // 750,00 less 300,00 in cash on arrival; the rest by transfer in 14 days.
        QTest::newRow("partly prepaid, rest by transfer")
            << Scenario([](TestEnv& env) {
                   const int g = stay(env);
                   issue(env, g, 16, company, PaymentMethod::Transfer, [](CalcHeader& h) {
                       h.prepayment = zl("300");
                       h.prepaymentDate = QDate(2026, 12, 4);
                       h.prepaymentForm = static_cast<int>(PaymentForm::Cash);
                       h.order = QStringLiteral("ZAM/118/2026");
                   });
                   return fa3Invoice(env.db(), g, context());
               })
            << Expected{{"Fa/P_15", "750.00"},
                        {"Fa/Platnosc/ZnacznikZaplatyCzesciowej", "1"},
                        {"Fa/Platnosc/ZaplataCzesciowa/KwotaZaplatyCzesciowej", "300.00"},
                        {"Fa/Platnosc/ZaplataCzesciowa/DataZaplatyCzesciowej", "2026-12-04"},
                        {"Fa/Platnosc/ZaplataCzesciowa/FormaPlatnosci", "1"},
                        {"Fa/Platnosc/TerminPlatnosci/Termin", "2026-12-21"},
                        {"Fa/Platnosc/FormaPlatnosci", "6"},
                        {"Fa/Platnosc/RachunekBankowy/NrRB", "73111111111111111111111111"},
                        {"Fa/Platnosc/RachunekBankowy/NazwaBanku", "Bank Przykładowy S.A."},
                        {"Fa/Platnosc/Zaplacono", ""},
                        {"Fa/WarunkiTransakcji/Zamowienia/NrZamowienia", "ZAM/118/2026"}};

        // Issued before the kinds of identifier and today's rates: the NIP as
        // typed then, 22 %: tax 750 · 22/122 = 135,25, net 614,75.
        QTest::newRow("older invoice at 22 %")
            << Scenario([](TestEnv& env) {
                   const int g = stay(env);
                   issue(env, g, 17, company);
                   env.exec("UPDATE Kalk SET Nip_rodzaj = NULL, Seria = NULL, ID_Panstwo = NULL, "
                            "Nip = 'PL 222-222-22-22' WHERE Identyfikator = ?",
                            {g});
                   env.exec("UPDATE Kalk_det SET VAT = '22' WHERE Identyfikator = ?", {g});
                   return fa3Invoice(env.db(), g, context());
               })
            << Expected{{"Podmiot2/DaneIdentyfikacyjne/NIP", "2222222222"},
                        {"Podmiot2/Adres/KodKraju", "PL"},
                        {"Fa/P_2", "17/H/2026"},
                        {"Fa/P_13_1", "614.75"},
                        {"Fa/P_14_1", "135.25"},
                        {"Fa/FaWiersz/P_12", "22"}};

        // Parking 90,00 → 60,00 at 23 %: tax 16,83 → 11,22, net 73,17 → 48,78.
        QTest::newRow("correcting invoice")
            << Scenario([](TestEnv& env) {
                   const int g = companyWithBreakfastAndParking(env);
                   QList<CorrectionLine> lines = correctableLines(env.db(), g);
                   for (CorrectionLine& l : lines)
                       if (l.description.contains(QStringLiteral("Parking")))
                           l.grossAfter = zl("60");
                   const qint64 id =
                       issueCorrection(env.db(), g, lines, QStringLiteral("Krótszy postój"),
                                       QDate(2026, 12, 9), std::nullopt, correctionSeries());
                   return fa3Correction(env.db(), id, context());
               })
            << Expected{{"Fa/RodzajFaktury", "KOR"},
                        {"Fa/P_1", "2026-12-09"},
                        {"Fa/P_2", "1/KOR/2026"},
                        {"Fa/PrzyczynaKorekty", "Krótszy postój"},
                        {"Fa/TypKorekty", "2"},
                        {"Fa/DaneFaKorygowanej/DataWystFaKorygowanej", "2026-12-07"},
                        {"Fa/DaneFaKorygowanej/NrFaKorygowanej", "12/H/2026"},
                        {"Fa/DaneFaKorygowanej/NrKSeFN", "1"},
                        {"Fa/P_13_1", "-24.39"},
                        {"Fa/P_14_1", "-5.61"},
                        {"Fa/P_13_2", ""},
                        {"Fa/P_15", "-30.00"},
                        {"Fa/FaWiersz/P_11A", "90.00|60.00"},
                        {"Fa/FaWiersz/P_12", "23|23"},
                        {"Fa/FaWiersz/StanPrzed", "1"},
                        {"Podmiot2/DaneIdentyfikacyjne/NIP", "2222222222"}};
    }
    void documents()
    {
        QFETCH(Scenario, scenario);
        QFETCH(Expected, expected);
        TestEnv env;
        const QByteArray doc = scenario(env);
        QVERIFY(doc.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
        QVERIFY(!doc.contains("<!--"));
        for (const auto& [path, value] : expected)
            QVERIFY2(values(doc, path) == value,
                     qPrintable(path + ": " + values(doc, path) + " ≠ " + value));
        QCOMPARE(checkFa3(doc).size(), 0);
        if (!QDir(schemaDir()).exists())
            QSKIP("The official FA(3) schema set is not at hand.");
        const QList<Fa3Problem> problems = validateFa3Schema(doc, schemaDir());
        QVERIFY2(problems.isEmpty(), qPrintable(problems.value(0).field + ": " +
                                                problems.value(0).message + "\n" + doc));
    }

    // The corrected invoice's KSeF number, once known, is named instead of the flag.
    void correctionNamesKsefNumber()
    {
        TestEnv env;
        const int g = companyWithBreakfastAndParking(env);
        QList<CorrectionLine> lines = correctableLines(env.db(), g);
        lines.first().grossAfter = lines.first().grossBefore + zl("50");
        const qint64 id = issueCorrection(env.db(), g, lines, QStringLiteral("Dopłata"),
                                          QDate(2026, 12, 9), std::nullopt, correctionSeries());
        Fa3Context c = context();
        c.correctedKsefNumber = QStringLiteral("1111111111-20261207-0100001AF629-AF");
        const QByteArray doc = fa3Correction(env.db(), id, c);
        QCOMPARE(values(doc, "Fa/DaneFaKorygowanej/NrKSeF"), QString("1"));
        QCOMPARE(values(doc, "Fa/DaneFaKorygowanej/NrKSeFFaKorygowanej"), c.correctedKsefNumber);
        QCOMPARE(values(doc, "Fa/DaneFaKorygowanej/NrKSeFN"), QString());
        QCOMPARE(values(doc, "Fa/TypKorekty"), QString("1"));
        QCOMPARE(values(doc, "Fa/P_15"), QString("50.00"));
        QCOMPARE(checkFa3(doc).size(), 0);
        if (QDir(schemaDir()).exists())
            QCOMPARE(validateFa3Schema(doc, schemaDir()).size(), 0);
    }

    // A wrong seller NIP stops the document with a Polish message naming the field.
    void wrongSellerNipRefused()
    {
        TestEnv env;
        const int g = companyWithBreakfastAndParking(env);
        env.exec("UPDATE Config SET NIP = '1111111112'");
        try {
            fa3Invoice(env.db(), g, context());
            QFAIL("A document with a wrong seller NIP was made.");
        } catch (const Fa3Error& e) {
            QCOMPARE(e.problems().size(), 1);
            QCOMPARE(e.text(), QString("Faktury nie można wyeksportować do KSeF:\n- Pole "
                                       "Podmiot1/DaneIdentyfikacyjne/NIP: NIP sprzedawcy musi mieć "
                                       "10 cyfr z poprawną sumą kontrolną."));
        }
    }

    // Broken copies of a valid document: the program's checks and the
    // schema each name the field (the schema does not see a checksum or sums).
    void brokenDocuments_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QString>("checkField");
        QTest::addColumn<QString>("schemaField");
        QTest::newRow("number removed")
            << QByteArray("<P_2>12/H/2026</P_2>") << QByteArray() << "Fa/P_2"
            << "P_2";
        QTest::newRow("amount with a comma")
            << QByteArray("<P_15>1080.00</P_15>") << QByteArray("<P_15>1080,00</P_15>") << "Fa/P_15"
            << "Fa/P_15";
        QTest::newRow("total not the sum")
            << QByteArray("<P_15>1080.00</P_15>") << QByteArray("<P_15>1008.00</P_15>") << "Fa/P_15"
            << "";
        QTest::newRow("buyer NIP with dashes")
            << QByteArray("<NIP>2222222222</NIP>") << QByteArray("<NIP>222-222-22-22</NIP>")
            << "Podmiot2/DaneIdentyfikacyjne/NIP"
            << "Podmiot2/DaneIdentyfikacyjne/NIP";
        QTest::newRow("unknown rate")
            << QByteArray("<P_12>23</P_12>") << QByteArray("<P_12>23%</P_12>") << "Fa/FaWiersz/P_12"
            << "Fa/FaWiersz/P_12";
    }
    void brokenDocuments()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QString, checkField);
        QFETCH(QString, schemaField);
        TestEnv env;
        QByteArray doc = fa3Invoice(env.db(), companyWithBreakfastAndParking(env), context());
        QVERIFY(doc.contains(from));
        doc.replace(from, to);
        const QList<Fa3Problem> problems = checkFa3(doc);
        QVERIFY(!problems.isEmpty());
        QCOMPARE(problems.first().field, checkField);
        QVERIFY(!problems.first().message.isEmpty());
        if (!QDir(schemaDir()).exists())
            QSKIP("The official FA(3) schema set is not at hand.");
        const QList<Fa3Problem> schema = validateFa3Schema(doc, schemaDir());
        if (schemaField.isEmpty()) {
            QCOMPARE(schema.size(), 0);
            return;
        }
        QVERIFY(!schema.isEmpty());
        QVERIFY2(schema.first().field.endsWith(schemaField) ||
                     schema.first().message.contains(schemaField),
                 qPrintable(schema.first().field + ": " + schema.first().message));
        QVERIFY(schema.first().message.startsWith(
            QStringLiteral("niezgodne ze schematem FA(3) (wiersz ")));
    }

    // The hand-written examples validate; a folder without the schema is refused.
    void schemaFolder()
    {
        if (!QDir(schemaDir()).exists())
            QSKIP("The official FA(3) schema set is not at hand.");
        for (const char* name : {"fa3-guesthouse-b2b.xml", "fa3-guesthouse-consumer.xml"}) {
            QFile f(referenceDir() + "/examples/" + name);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray doc = f.readAll();
            QCOMPARE(validateFa3Schema(doc, schemaDir()).size(), 0);
        }
        TestEnv env;
        QVERIFY_THROWS_EXCEPTION(RezydoError, validateFa3Schema("<a/>", env.dir()));
    }
};

REZYDO_TEST(TestFa3);
#include "test_fa3.moc"
