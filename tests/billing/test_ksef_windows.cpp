#include "app/commands.h"
#include "app/main_window.h"
#include "billing/ksef/ksef_record.h"
#include "billing/ui/billing_window.h"
#include "billing/ui/ksef_waiting_window.h"
#include "billing/ui/payment_dialog.h"
#include "billing/ui/regular_clients_dialog.h"
#include "reports/ui/money_report_windows.h"
#include "tests/billing/billing_fixture.h"
#include "tests/support/test_registry.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTabWidget>
#include <QTest>

using namespace billing_fixture;

namespace {
template <class T> T* find(QWidget& parent, const char* name)
{
    T* w = parent.findChild<T*>(QString::fromLatin1(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

void click(QWidget& parent, const char* name)
{
    QAbstractButton* b = find<QAbstractButton>(parent, name);
    QVERIFY2(b->isEnabled(), name);
    QTest::mouseClick(b, Qt::LeftButton);
}

QString label(QWidget& parent, const char* name)
{
    return find<QLabel>(parent, name)->text();
}

QStringList row(const QAbstractItemModel* model, int r)
{
    QStringList out;
    for (int c = 0; c < model->columnCount(); ++c)
        out << model->index(r, c).data().toString();
    return out;
}

int issuedInvoice(TestEnv& env, int number, const QString& day, const char* gross)
{
    const int g = addGroup(env, QStringLiteral("Firma %1").arg(number), 1, day, day);
    addCalculation(env, g, {units(gross)}, QStringLiteral("8"));
    env.exec("UPDATE Kalk SET Typ = 2, Rach = ?, Seria = 'H', Nazwa = ?, Nip = '5261040828', "
             "Nip_rodzaj = 1, data_wystawienia = ? WHERE Identyfikator = ?",
             {number, QStringLiteral("Firma %1").arg(number), day, g});
    return g;
}

struct FixedBuilder {
    FixedBuilder()
    {
        setKsefDocumentBuilder([](QSqlDatabase, int, std::optional<qint64>, const QString&) {
            return QByteArray("<Faktura/>");
        });
    }
    ~FixedBuilder() { setKsefDocumentBuilder({}); }
};

struct Dialogs {
    TRejestracjaOplaty payments;
    TStaliKlienci clients;
};
} // namespace

class TestKsefWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Issuing past the month's limit warns; the invoice is exported, its
    // number recorded, and it can no longer be cancelled.
    void billingWindowInvoicePage()
    {
        TestEnv env;
        FixedBuilder builder;
        issuedInvoice(env, 1, "2026-07-02", "9900");
        const int g = addGroup(env, "Kowalscy", 1, "2026-07-14", "2026-07-15");
        addCalculation(env, g, {units("200")}, QStringLiteral("8"));
        Dialogs d;
        TOplaty w(g, d.payments, d.clients);
        w.show();
        find<QTabWidget>(w, "Strony")->setCurrentIndex(2);
        QCOMPARE(label(w, "StanKSeF"), QString());
        QVERIFY(!find<QPushButton>(w, "EksportKSeF")->isEnabled());
        QCOMPARE(find<QPushButton>(w, "EksportKSeF")->text(), QString("&Eksport do KSeF"));
        QCOMPARE(find<QPushButton>(w, "NumerKSeF")->text(), QString("Nu&mer KSeF"));

        find<QLineEdit>(w, "Nazwa")->setText("Firma Kowalski");
        find<QComboBox>(w, "RodzajNip")->setCurrentIndex(1);
        find<QLineEdit>(w, "Nip")->setText("5261040828");
        env.prompter().inputs.push_back(QStringLiteral("2"));
        click(w, "Wystaw");
        const ScriptedPrompter::Shown warning = env.prompter().shown.last();
        QCOMPARE(warning.caption, QString("KSeF"));
        QVERIFY2(warning.text.contains("wyjątek się kończy"), qPrintable(warning.text));
        QCOMPARE(label(w, "StanKSeF"), QString("KSeF: nie wyeksportowana"));
        QVERIFY(!find<QPushButton>(w, "NumerKSeF")->isEnabled());

        const QString file = env.path("FA_2_H_2026.xml");
        env.prompter().files.push_back(file);
        click(w, "EksportKSeF");
        QCOMPARE(env.prompter().shown.at(env.prompter().shown.size() - 2).extra,
                 QString("FA_2_H_2026.xml|Faktury KSeF (*.xml)|xml"));
        QVERIFY(env.prompter().shown.last().text.startsWith("Zapisano plik "));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("<Faktura/>"));
        QCOMPARE(label(w, "StanKSeF"), QString("KSeF: do wysłania, termin wysłania 2026-07-16"));
        QVERIFY(!find<QPushButton>(w, "AnulujFakture")->isEnabled());

        env.prompter().inputs.push_back(QStringLiteral("zły numer"));
        click(w, "NumerKSeF");
        QVERIFY(env.prompter().shown.last().text.startsWith("„zły numer” nie jest numerem KSeF."));
        env.prompter().inputs.push_back(QStringLiteral("5261040828-20260715-0100001AF629-AF"));
        click(w, "NumerKSeF");
        QCOMPARE(label(w, "StanKSeF"),
                 QString("KSeF: przyjęta, numer 5261040828-20260715-0100001AF629-AF z dnia "
                         "2026-07-15"));
        QVERIFY(!find<QPushButton>(w, "NumerKSeF")->isEnabled());
    }

    // The list shows each waiting invoice with its deadline, overdue ones in
    // bold; its buttons follow the current invoice's state.
    void waitingWindow()
    {
        TestEnv env;
        FixedBuilder builder;
        issuedInvoice(env, 1, "2026-07-10", "100");
        issuedInvoice(env, 2, "2026-07-15", "250,5");
        TKsefOczekujace w;
        w.show();
        QCOMPARE(w.windowTitle(), QString("Faktury do wysłania do KSeF"));
        auto* grid = find<QTableView>(w, "Lista");
        const QAbstractItemModel* model = grid->model();
        QCOMPARE(model->headerData(5, Qt::Horizontal).toString(), QString("Termin wysłania"));
        QCOMPARE(row(model, 0), QStringList({"1/H/2026", "Firma 1", "2026-07-10", "100,00",
                                             "nie wyeksportowana", "2026-07-13 (minął)"}));
        QCOMPARE(row(model, 1), QStringList({"2/H/2026", "Firma 2", "2026-07-15", "250,50",
                                             "nie wyeksportowana", "2026-07-16"}));
        QVERIFY(model->index(0, 0).data(Qt::FontRole).value<QFont>().bold());
        QVERIFY(!model->index(1, 0).data(Qt::FontRole).value<QFont>().bold());
        QVERIFY(!find<QPushButton>(w, "Wyslana")->isEnabled());

        env.prompter().files.push_back(env.path("FA_1_H_2026.xml"));
        click(w, "Eksportuj");
        QCOMPARE(row(model, 0).at(4), QString("do wysłania"));
        click(w, "Wyslana");
        QCOMPARE(row(model, 0).at(4), QString("wysłana"));
        QVERIFY(!model->index(0, 0).data(Qt::FontRole).value<QFont>().bold());
        QVERIFY(!find<QPushButton>(w, "Eksportuj")->isEnabled());
        env.prompter().inputs.push_back(QStringLiteral("Błędny NIP nabywcy"));
        click(w, "Odrzucona");
        QCOMPARE(row(model, 0).at(4), QString("odrzucona"));

        // All that are not handed over go, each into its own file.
        env.prompter().files.push_back(env.path("wybrany.xml"));
        click(w, "EksportujWszystkie");
        QCOMPARE(env.prompter().shown.last().text,
                 QString("Wyeksportowano do folderu %1 plików: 2.")
                     .arg(QDir::toNativeSeparators(env.dir())));
        QVERIFY(QFile::exists(env.path("FA_2_H_2026.xml")));
        QCOMPARE(env.prompter().unanswered, 0);
    }

    // "Lista faktur" shows each invoice's state and exports the waiting ones of its period.
    void invoiceListExports()
    {
        TestEnv env;
        FixedBuilder builder;
        issuedInvoice(env, 1, "2026-07-10", "100");
        issuedInvoice(env, 2, "2026-06-10", "100");
        TFormRapFaktury w;
        w.show();
        auto* grid = find<QTableView>(w, "Lista");
        QCOMPARE(grid->model()->headerData(6, Qt::Horizontal).toString(), QString("KSeF"));
        env.prompter().files.push_back(env.path("x.xml"));
        click(w, "EksportujOczekujace");
        QVERIFY(QFile::exists(env.path("FA_1_H_2026.xml")));
        QVERIFY(!QFile::exists(env.path("FA_2_H_2026.xml"))); // outside the period
        QCOMPARE(grid->model()->index(0, 6).data().toString(), QString("do wysłania"));
    }

    // The menu entry opens the list; the start-up warning names the count.
    void menuAndStartWarning()
    {
        TestEnv env;
        issuedInvoice(env, 1, "2026-07-10", "100");
        TGlowne window;
        wireCommands(window);
        QAction* entry = window.command("mnuFakturyKsef");
        QCOMPARE(entry->text(), QString("&Faktury do wysłania do KSeF"));
        entry->trigger();
        QVERIFY(window.findChild<TKsefOczekujace*>());
        warnKsefDeadlinesAtStart();
        QCOMPARE(env.prompter().shown.last().caption, QString("Faktury do wysłania do KSeF"));
        QVERIFY(env.prompter().shown.last().text.contains("minął: 1.\nNajwcześniejszy termin: "
                                                          "2026-07-13 (minął)."));
    }
};

REZYDO_TEST(TestKsefWindows);
#include "test_ksef_windows.moc"
