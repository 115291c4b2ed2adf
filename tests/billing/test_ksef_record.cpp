#include "app/commands.h"
#include "billing/invoice.h"
#include "billing/ksef/ksef_record.h"
#include "core/days.h"
#include "core/error.h"
#include "core/settings.h"
#include "db/data_module.h"
#include "db/schema.h"
#include "db/sql.h"
#include "db/upgrades.h"
#include "tests/billing/billing_fixture.h"
#include "tests/support/test_registry.h"

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QTest>

using namespace billing_fixture;

namespace {
// An issued invoice of `gross` złoty; kind 0 is a private person.
int issued(TestEnv& env, int number, const QString& day, int kind, const char* gross = "1000")
{
    const int g = addGroup(env, QStringLiteral("Grupa %1").arg(number), 1, day, day);
    addCalculation(env, g, {units(gross)}, QStringLiteral("8"));
    env.exec("UPDATE Kalk SET Typ = 2, Rach = ?, Seria = 'H', Nazwa = ?, Nip = ?, Nip_rodzaj = ?, "
             "data_wystawienia = ?, data_sprzedazy = ? WHERE Identyfikator = ?",
             {number, QStringLiteral("Nabywca %1").arg(number),
              kind == 0 ? QString() : QStringLiteral("5261040828"), kind, day, day, g});
    return g;
}

// A builder standing in for the document's form: new bytes on every call.
struct CountingBuilder {
    int calls = 0;
    CountingBuilder()
    {
        setKsefDocumentBuilder([this](QSqlDatabase, int group, std::optional<qint64> correction,
                                      const QString& corrected) {
            ++calls;
            return QStringLiteral("<Faktura g=\"%1\" k=\"%2\" n=\"%3\" v=\"%4\"/>")
                .arg(group)
                .arg(correction.value_or(0))
                .arg(corrected)
                .arg(calls)
                .toUtf8();
        });
    }
    ~CountingBuilder() { setKsefDocumentBuilder({}); }
};

// Grouped amounts use a non-breaking space; the expectations are written with plain ones.
QString plain(const std::optional<QString>& text)
{
    return text.value_or(QString()).replace(QChar(0x00A0), QLatin1Char(' '));
}

QString refusal(const std::function<void()>& action)
{
    try {
        action();
    } catch (const RezydoError& e) {
        return e.text();
    }
    return QStringLiteral("(nie odmówiono)");
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList waitingRows(TestEnv& env)
{
    QStringList out;
    for (const KsefWaiting& w : ksefWaiting(env.db()))
        out << QStringLiteral("%1|%2|%3|%4")
                   .arg(w.number, w.stateText, dayText(w.deadline), w.gross.toPlainString());
    return out;
}
} // namespace

class TestKsefRecord : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Stored once, exported unchanged, then handed over and accepted; every
    // change that does not follow from the state is refused.
    void lifecycle()
    {
        TestEnv env;
        const int g = issued(env, 12, "2026-07-14", 1);
        const KsefRecord stored = storeKsefDocument(env.db(), g, std::nullopt, "abc");
        QCOMPARE(stored.state, KsefState::ToSend);
        QCOMPARE(stored.number, QString("12/H/2026"));
        // SHA-256 of "abc", as published with the algorithm.
        QCOMPARE(stored.sha256Hex,
                 QString("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
        QCOMPARE(stored.sha256Base64Url(), QString("ungWv48Bz-pBQUDeXa4iI7ADYaOWF3qctBD_YfIAFa0"));
        QCOMPARE(refusal([&] { storeKsefDocument(env.db(), g, std::nullopt, "abd"); }),
                 QString("Faktura nr 12/H/2026 została już wyeksportowana do KSeF; jej plik się "
                         "nie zmienia."));

        CountingBuilder builder;
        const QString file = env.path("FA_12_H_2026.xml");
        exportKsefDocument(env.db(), g, std::nullopt, file);
        exportKsefDocument(env.db(), g, std::nullopt, file);
        QCOMPARE(builder.calls, 0);
        QCOMPARE(fileBytes(file), QByteArray("abc"));

        QCOMPARE(refusal([&] { cancelInvoice(env.db(), g); }),
                 QString("Faktury nr 12/H/2026 nie można anulować: została wyeksportowana do "
                         "KSeF. Zmiany wprowadza się teraz fakturą korygującą."));
        markKsefSent(env.db(), stored.id);
        QCOMPARE(refusal([&] { markKsefSent(env.db(), stored.id); }),
                 QString("Faktura nr 12/H/2026 ma w KSeF stan „wysłana”: tej zmiany nie można "
                         "już wprowadzić."));
        QCOMPARE(refusal([&] {
                     recordKsefNumber(env.db(), stored.id, "5261040828-20260713-0100001AF629-AF");
                 }),
                 QString("Numer KSeF 5261040828-20260713-0100001AF629-AF nosi datę 2026-07-13, "
                         "wcześniejszą niż data wystawienia faktury (2026-07-14)."));
        recordKsefNumber(env.db(), stored.id, " 5261040828-20260715-0100001af629-af ");
        const KsefRecord accepted = *ksefRecordOf(env.db(), g);
        QCOMPARE(accepted.state, KsefState::Accepted);
        QCOMPARE(accepted.ksefNumber, QString("5261040828-20260715-0100001AF629-AF"));
        QCOMPARE(accepted.ksefDate, QDate(2026, 7, 15));
        QCOMPARE(accepted.bytes, QByteArray("abc"));
        QCOMPARE(refusal([&] { markKsefRejected(env.db(), stored.id, "błąd"); }),
                 QString("Faktura nr 12/H/2026 ma w KSeF stan „przyjęta”: tej zmiany nie można "
                         "już wprowadzić."));
        // The same number cannot belong to two invoices.
        const int other = issued(env, 13, "2026-07-14", 1);
        const KsefRecord second = storeKsefDocument(env.db(), other, std::nullopt, "xyz");
        QCOMPARE(refusal([&] {
                     recordKsefNumber(env.db(), second.id, "5261040828-20260715-0100001AF629-AF");
                 }),
                 QString("Numer KSeF 5261040828-20260715-0100001AF629-AF ma już faktura nr "
                         "12/H/2026."));
    }

    // A rejected document stays as history; the invoice may then be cancelled
    // or exported again, which builds a new document.
    void rejectedExportsAgain()
    {
        TestEnv env;
        CountingBuilder builder;
        const int g = issued(env, 3, "2026-07-14", 1);
        const KsefExported first = exportKsefDocument(env.db(), g, std::nullopt, env.path("a.xml"));
        QCOMPARE(builder.calls, 1);
        QCOMPARE(refusal([&] { markKsefRejected(env.db(), first.record.id, "  "); }),
                 QString("Podaj powód odrzucenia faktury przez KSeF."));
        markKsefRejected(env.db(), first.record.id, "Błąd 440: duplikat");
        QVERIFY(!ksefRecordOf(env.db(), g));
        QCOMPARE(lastKsefRecord(env.db(), g, std::nullopt)->reason, QString("Błąd 440: duplikat"));
        QVERIFY(!cancelRefusal(env.db(), g));
        QCOMPARE(waitingRows(env), QStringList({"3/H/2026|odrzucona|2026-07-15|1000,00"}));

        const KsefExported again = exportKsefDocument(env.db(), g, std::nullopt, env.path("b.xml"));
        QCOMPARE(builder.calls, 2);
        QVERIFY(again.record.id != first.record.id);
        QCOMPARE(fileBytes(env.path("b.xml")), again.record.bytes);
        QVERIFY(again.record.bytes != first.record.bytes);
        QCOMPARE(env.scalar("SELECT count(*) FROM Ksef").toInt(), 2);
    }

    // A correction names the corrected invoice's KSeF number and waits for it.
    void correctionWaitsForTheInvoice()
    {
        TestEnv env;
        CountingBuilder builder;
        const int g = issued(env, 5, "2026-07-14", 1);
        env.exec("INSERT INTO Korekta (Identyfikator, Rach, Seria, data_wystawienia, Fakt_numer, "
                 "Brutto_przed, Brutto_po) VALUES (?, 1, 'KOR', '2026-07-16', '5/H/2026', ?, ?)",
                 {g, units("1000"), units("900")});
        const qint64 c = env.scalar("SELECT max(ID) FROM Korekta").toLongLong();
        const KsefRecord invoice =
            exportKsefDocument(env.db(), g, std::nullopt, env.path("f.xml")).record;
        QCOMPARE(refusal([&] { exportKsefDocument(env.db(), g, c, env.path("k.xml")); }),
                 QString("Fakturę korygującą można wysłać do KSeF dopiero, gdy faktura nr "
                         "5/H/2026 ma numer KSeF (wpisz go przyciskiem „Numer KSeF”)."));
        recordKsefNumber(env.db(), invoice.id, "5261040828-20260715-0100001AF629-AF");
        const KsefExported kor = exportKsefDocument(env.db(), g, c, env.path("k.xml"));
        QVERIFY(kor.record.bytes.contains("n=\"5261040828-20260715-0100001AF629-AF\""));
        QCOMPARE(kor.record.number, QString("1/KOR/2026"));
        QCOMPARE(ksefFileName(kor.record.number, true), QString("KOR_1_KOR_2026.xml"));
        QCOMPARE(ksefRecordOfCorrection(env.db(), c)->id, kor.record.id);
        QCOMPARE(ksefRecordOf(env.db(), g)->id, invoice.id);
    }

    void ksefNumber_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected"); // empty: refused
        QTest::newRow("as given") << "5265877635-20260826-0100001AF629-AF"
                                  << "5265877635-20260826-0100001AF629-AF";
        QTest::newRow("small letters, blanks") << " 5265877635-20260826-0100001af629-af"
                                               << "5265877635-20260826-0100001AF629-AF";
        QTest::newRow("nine-digit NIP") << "526587763-20260826-0100001AF629-AF"
                                        << "";
        QTest::newRow("no date") << "5265877635-0100001AF629-AF"
                                 << "";
        QTest::newRow("impossible date") << "5265877635-20260230-0100001AF629-AF"
                                         << "";
        QTest::newRow("not hexadecimal") << "5265877635-20260826-0100001XY629-AF"
                                         << "";
        QTest::newRow("invoice number") << "12/H/2026"
                                        << "";
    }
    void ksefNumber()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QString got;
        try {
            got = checkedKsefNumber(typed);
        } catch (const RezydoError& e) {
            QVERIFY2(e.text().contains("numer") || e.text().contains("Numer"),
                     qPrintable(e.text()));
        }
        QCOMPARE(got, expected);
    }

    void deadline_data()
    {
        QTest::addColumn<QDate>("issued");
        QTest::addColumn<QDate>("deadline");
        QTest::newRow("Tuesday") << QDate(2026, 7, 14) << QDate(2026, 7, 15);
        QTest::newRow("Friday to Monday") << QDate(2026, 7, 17) << QDate(2026, 7, 20);
        QTest::newRow("Saturday to Monday") << QDate(2026, 7, 18) << QDate(2026, 7, 20);
        QTest::newRow("before 1 May, 3 May on Sunday") << QDate(2026, 4, 30) << QDate(2026, 5, 4);
        QTest::newRow("10 November") << QDate(2026, 11, 10) << QDate(2026, 11, 12);
        QTest::newRow("before Easter Monday") << QDate(2026, 4, 4) << QDate(2026, 4, 7);
        QTest::newRow("Christmas Eve is free") << QDate(2026, 12, 23) << QDate(2026, 12, 28);
        QTest::newRow("year end") << QDate(2026, 12, 31) << QDate(2027, 1, 4);
    }
    void deadline()
    {
        QFETCH(QDate, issued);
        QFETCH(QDate, deadline);
        QCOMPARE(offline24Deadline(issued), deadline);
    }

    // Business invoices wait until accepted; a private person's only when
    // exported; invoices from before the system's start never.
    void waitingListAndStartWarning()
    {
        TestEnv env;
        issued(env, 1, "2026-03-31", 1);                 // before the start
        const int due = issued(env, 2, "2026-07-10", 1); // Friday: due Monday 13th
        issued(env, 3, "2026-07-14", 2, "250");          // due 15th, today
        const int consumer = issued(env, 4, "2026-07-14", 0);
        issued(env, 5, "2026-07-14", 0);
        const int accepted = issued(env, 6, "2026-07-14", 1);
        const int sent = issued(env, 7, "2026-07-01", 1);
        storeKsefDocument(env.db(), consumer, std::nullopt, "c");
        recordKsefNumber(env.db(), storeKsefDocument(env.db(), accepted, std::nullopt, "a").id,
                         "5261040828-20260714-0100001AF629-AF");
        markKsefSent(env.db(), storeKsefDocument(env.db(), sent, std::nullopt, "s").id);
        QCOMPARE(waitingRows(env), QStringList({"7/H/2026|wysłana|2026-07-02|1000,00",
                                                "2/H/2026|nie wyeksportowana|2026-07-13|1000,00",
                                                "3/H/2026|nie wyeksportowana|2026-07-15|250,00",
                                                "4/H/2026|do wysłania|2026-07-15|1000,00"}));
        QCOMPARE(ksefWaiting(env.db(), QDate(2026, 7, 14), QDate(2026, 7, 31)).size(), 2);

        QCOMPARE(*ksefDeadlineWarning(env.db(), QDate(2026, 7, 15)),
                 QString("Liczba faktur, których termin wysłania do KSeF (następny dzień roboczy "
                         "po wystawieniu) mija dziś lub już minął: 3.\nNajwcześniejszy termin: "
                         "2026-07-13 (minął).\nWyeksportuj je i przekaż do KSeF (Zestawienia → "
                         "Faktury do wysłania do KSeF)."));
        QVERIFY(ksefDeadlineWarning(env.db(), QDate(2026, 7, 13))->contains("2026-07-13 (dziś)"));
        QVERIFY(!ksefDeadlineWarning(env.db(), QDate(2026, 7, 12)));
        Q_UNUSED(due);
    }

    void monthLimit()
    {
        TestEnv env;
        issued(env, 1, "2026-07-01", 1, "6000");
        issued(env, 2, "2026-07-31", 3, "4000");
        issued(env, 3, "2026-07-15", 0, "9000"); // a private person does not count
        issued(env, 4, "2026-08-01", 1, "9000"); // another month
        const int sent = issued(env, 5, "2026-07-20", 1, "5000");
        QCOMPARE(monthOutsideKsef(env.db(), QDate(2026, 7, 10)).toPlainString(),
                 QString("15000,00"));
        markKsefSent(env.db(), storeKsefDocument(env.db(), sent, std::nullopt, "x").id);
        QCOMPARE(monthOutsideKsef(env.db(), QDate(2026, 7, 10)).toPlainString(),
                 QString("10000,00"));
        QVERIFY(!ksefLimitWarning(env.db(), QDate(2026, 8, 20)));

        issued(env, 6, "2026-07-21", 1, "0,01");
        const QString july =
            "Faktury dla firm wystawione poza KSeF za lipiec 2026 r. wynoszą 10 000,01 zł i "
            "przekraczają 10 000,00 zł: wyjątek się kończy, i to na stałe. Każdą fakturę dla "
            "firmy trzeba teraz wysłać do KSeF (przycisk „Eksport do KSeF”), najpóźniej "
            "następnego dnia roboczego po wystawieniu.";
        QCOMPARE(plain(ksefLimitWarning(env.db(), QDate(2026, 7, 21))), july);
        // Gone for good: a later month below the limit still hears of it.
        QCOMPARE(plain(ksefLimitWarning(env.db(), QDate(2026, 9, 1))), july);
        QVERIFY(!ksefLimitWarning(env.db(), QDate(2026, 6, 30)));
        QCOMPARE(plain(ksefLimitWarning(env.db(), QDate(2027, 1, 1))),
                 QString("Od 1 stycznia 2027 r. każdą fakturę dla firmy trzeba wysłać do KSeF: "
                         "wyeksportuj ją przyciskiem „Eksport do KSeF” i przekaż najpóźniej "
                         "następnego dnia roboczego po wystawieniu."));
    }

    // Nothing half written: a file that cannot be written leaves the stored
    // record as it was, and a refused store leaves no row.
    void failures()
    {
        TestEnv env;
        const int g = issued(env, 1, "2026-07-14", 1);
        const int open = addGroup(env, "Otwarta", 1, "2026-07-14", "2026-07-15");
        addCalculation(env, open, {units("100")});
        QCOMPARE(refusal([&] { storeKsefDocument(env.db(), open, std::nullopt, "x"); }),
                 QString("Faktura nie jest wystawiona."));
        QCOMPARE(refusal([&] { storeKsefDocument(env.db(), g, std::nullopt, {}); }),
                 QString("Dokument faktury jest pusty."));
        QCOMPARE(env.scalar("SELECT count(*) FROM Ksef").toInt(), 0);
        // A database that refuses the record: no file is written either.
        {
            CountingBuilder builder;
            refuseWrites(env, "BEFORE INSERT ON Ksef", {}, "odmowa zapisu");
            const QString why =
                refusal([&] { exportKsefDocument(env.db(), g, std::nullopt, env.path("f.xml")); });
            // The server puts its own words around the trigger's message.
            if (TestEnv::onServer())
                QVERIFY2(why.contains("odmowa zapisu"), qPrintable(why));
            else
                QCOMPARE(why, QString("odmowa zapisu"));
            QVERIFY(!QFile::exists(env.path("f.xml")));
            allowWrites(env, "Ksef");
        }
        const KsefRecord r = storeKsefDocument(env.db(), g, std::nullopt, "abc");
        const QString bad = env.path("brak/FA_1_H_2026.xml");
        QVERIFY(refusal([&] { writeKsefFile(r, bad); }).startsWith("Nie można zapisać pliku "));
        QCOMPARE(env.rows("SELECT Stan, Skrot FROM Ksef"), QStringList({"0|" + r.sha256Hex}));
        // A reason longer than the column holds is refused before writing.
        QCOMPARE(refusal([&] { markKsefRejected(env.db(), r.id, QString(201, 'x')); }),
                 QString("Powód odrzucenia może mieć najwyżej 200 znaków."));
    }

    // The program's own document: the file holds exactly the stored bytes,
    // whose digest sha256sum confirms; a schema folder that holds no schema
    // stops the export before anything is kept.
    void programDocument()
    {
        TestEnv env;
        env.exec("UPDATE Config SET Nazwa = 'Pensjonat Pod Lipami', Adres = 'ul. Leśna 5, "
                 "34-500 Zakopane', NIP = '7393873360', Miejscowosc = 'Zakopane'");
        const int g = issued(env, 8, "2026-07-14", 1);
        env.exec("UPDATE Kalk SET Adres = 'ul. Długa 1, 00-001 Warszawa', sposob_zaplaty = 1 "
                 "WHERE Identyfikator = ?",
                 {g});
        installKsefDocumentBuilder();
        QVERIFY(writeSetting("SchematFA3", env.dir()));
        const QString file = env.path("FA_8_H_2026.xml");
        QVERIFY(!refusal([&] { exportKsefDocument(env.db(), g, std::nullopt, file); }).isEmpty());
        QCOMPARE(env.scalar("SELECT count(*) FROM Ksef").toInt(), 0);
        QVERIFY(!QFile::exists(file));

        QVERIFY(writeSetting("SchematFA3", ""));
        const KsefRecord r = exportKsefDocument(env.db(), g, std::nullopt, file).record;
        setKsefDocumentBuilder({});
        QVERIFY(r.bytes.startsWith("<?xml"));
        QCOMPARE(fileBytes(file), r.bytes);
        QProcess sum;
        sum.start("sha256sum", {file});
        QVERIFY(sum.waitForFinished());
        QCOMPARE(QString::fromLatin1(sum.readAllStandardOutput().left(64)), r.sha256Hex);
        // Exported again later: the same bytes, though the document would now be made anew.
        env.setNow(QDateTime(QDate(2026, 7, 16), QTime(9, 0)));
        QCOMPARE(exportKsefDocument(env.db(), g, std::nullopt, env.path("again.xml")).record.bytes,
                 r.bytes);
        QCOMPARE(fileBytes(env.path("again.xml")), r.bytes);
    }

    // A file of the previous version with issued invoices gets the table and
    // lists its business invoices as waiting.
    void upgradeKeepsInvoices()
    {
        TestEnv env({.createDatabase = false, .openConnection = false});
        const QString path = env.path("stara.mdb");
        createDatabase(path, false, kSchemaVersion - 1);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "stara");
            db.setDatabaseName(path);
            QVERIFY(db.open());
            runSql(db, "INSERT INTO Kalk (Identyfikator, Typ, Rach, Seria, Nazwa, Nip, "
                       "Nip_rodzaj, Brutto, Podatek, data_wystawienia) VALUES (7, 2, 4, 'H', "
                       "'Firma', '5261040828', 1, 1230000, 0, '2026-07-10')");
            upgradeDatabase(db, path);
            QCOMPARE(schemaVersionOf(db), kSchemaVersion);
            const QList<KsefWaiting> waiting = ksefWaiting(db);
            QCOMPARE(waiting.size(), 1);
            QCOMPARE(waiting[0].number, QString("4/H/2026"));
            QCOMPARE(waiting[0].deadline, QDate(2026, 7, 13));
            QVERIFY(!cancelRefusal(db, 7));
            QCOMPARE(storeKsefDocument(db, 7, std::nullopt, "abc").state, KsefState::ToSend);
            db.close();
        }
        QSqlDatabase::removeDatabase("stara");
    }
};

REZYDO_TEST(TestKsefRecord);
#include "test_ksef_record.moc"
