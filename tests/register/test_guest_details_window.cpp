#include "app/commands.h"
#include "app/main_window.h"
#include "db/sql.h"
#include "register/ui/guest_details_window.h"
#include "reports/engine/generator.h"
#include "tests/register/guest_details_fixture.h"
#include "tests/support/test_registry.h"

#include <QAbstractItemModel>
#include <QAbstractItemModelTester>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {
// Records what was previewed and printed, laid out as the preview would.
class RecordingPresenter final : public ReportPresenter {
public:
    struct Run {
        QString title;
        bool preview;
        QStringList texts;
    };
    QList<Run>& runs;
    explicit RecordingPresenter(QList<Run>& into)
        : runs(into)
    {
    }
    RunResult previewModal(Report& report) override { return record(report, true); }
    void preview(std::shared_ptr<Report> report) override { record(*report, true); }
    RunResult print(Report& report) override { return record(report, false); }

private:
    RunResult record(Report& report, bool preview)
    {
        runs.append({report.title, preview, generateDocument(report).texts()});
        return RunResult::Completed;
    }
};

QString text(QDialog& d, const char* name)
{
    return d.findChild<QLineEdit*>(QLatin1String(name))->text();
}

int click(QDialog& d, const char* name)
{
    QTest::mouseClick(d.findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
    return d.result();
}

// One showing: `check` looks at the controls, then `button` is clicked. A
// failed check closes the window, which ends the showings.
std::function<int(QDialog&)> showing(std::function<void(QDialog&)> check, const char* button)
{
    return [check, button](QDialog& d) {
        check(d);
        if (QTest::currentTestFailed()) {
            d.reject();
            return d.result();
        }
        return click(d, button);
    };
}

QStringList gridRows(QDialog& d)
{
    const QAbstractItemModel* m = d.findChild<QTableView*>("Oplaty")->model();
    QStringList out;
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < m->columnCount(); ++c)
            cells << m->index(r, c).data().toString();
        out << cells.join('|');
    }
    return out;
}

// The frame with the register commands wired in, and the printouts recorded.
struct Program {
    TestEnv env;
    TGlowne window;
    QList<RecordingPresenter::Run> runs;
    std::unique_ptr<ReportPresenter> previous;
    Program()
    {
        wireRegisterCommands(window);
        previous = installReportPresenter(std::make_unique<RecordingPresenter>(runs));
    }
    ~Program() { installReportPresenter(std::move(previous)); }
};
} // namespace

class TestGuestDetailsWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Opened through the frame: every field filled, nothing editable; the
    // printouts bring the window back until "&Zamknij".
    void showAndPrint()
    {
        Program p;
        const int person = guestWithPayments(p.env);
        p.window.show();
        p.env.modal.push_back(showing(
            [&](QDialog& d) {
                QCOMPARE(d.windowTitle(), QString("Dane szczegółowe klienta"));
                QVERIFY(d.isModal() && d.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
                QCOMPARE(d.frameGeometry().center(), p.window.frameGeometry().center());
                QStringList captions;
                for (QGroupBox* box : d.findChildren<QGroupBox*>())
                    captions << box->title();
                for (QLabel* label : d.findChildren<QLabel*>())
                    captions << label->text();
                for (QPushButton* button : d.findChildren<QPushButton*>())
                    captions << button->text();
                QCOMPARE(captions, QStringList({"Dane osobowe",
                                                "Dokument  tożsamości",
                                                "Uwagi",
                                                "Dane kwaterunku",
                                                "Nazwisko",
                                                "Imię",
                                                "Państwo",
                                                "Data urodzenia",
                                                "Miejsce urodzenia",
                                                "Adres",
                                                "Rodzaj",
                                                "Numer",
                                                "Numer pokoju",
                                                "Od",
                                                "Do",
                                                "Zniżka %",
                                                "Rachunek Upr.",
                                                "Faktura VAT",
                                                "&Podgląd",
                                                "&Drukuj",
                                                "&Eksport danych osoby",
                                                "&Usuń dane osoby",
                                                "&Zamknij"}));
                QStringList values;
                for (const char* name :
                     {"Nazwisko", "Imie", "Panstwo", "DataUrodzenia", "MiejsceUrodzenia", "Adres",
                      "Rodzaj", "Numer", "NumerPokoju", "Od", "Do", "Znizka", "RachunekUpr",
                      "FakturaVat"}) {
                    values << text(d, name);
                    QVERIFY2(d.findChild<QLineEdit*>(name)->isReadOnly(), name);
                }
                QCOMPARE(values, QStringList({"Müller", "Jürgen", "Niemcy", "1964-03-09", "Dresden",
                                              "Hauptstraße 5, Berlin", "Paszport", "C01X00T47",
                                              "12", "2026-07-10", "2026-07-14", "10", "", "17"}));
                auto* remarks = d.findChild<QPlainTextEdit*>("Uwagi");
                QCOMPARE(remarks->toPlainText(), QString("Pokój od strony ogrodu"));
                QVERIFY(remarks->isReadOnly());
                QAbstractItemModel* model = d.findChild<QTableView*>("Oplaty")->model();
                QAbstractItemModelTester tester(
                    model, QAbstractItemModelTester::FailureReportingMode::QtTest);
                QStringList heads;
                for (int c = 0; c < model->columnCount(); ++c)
                    heads << model->headerData(c, Qt::Horizontal).toString();
                QCOMPARE(heads, QStringList({"Typ", "Numer", "Data", "Wplata"}));
                QCOMPARE(gridRows(d), QStringList({"Paragon|0012/2026#|2026-07-10|150",
                                                   "Przelew|45|2026-07-14|150,5"}));
            },
            "Podglad"));
        p.env.modal.push_back(showing(
            [&](QDialog& d) {
                QCOMPARE(p.runs.size(), 1); // the preview came before this showing
                QCOMPARE(text(d, "Nazwisko"), QString("Müller"));
            },
            "Drukuj"));
        p.env.modal.push_back([](QDialog& d) { return click(d, "Zamknij"); });
        p.window.showGuestDetails(person);
        QVERIFY(p.env.modal.empty());
        QCOMPARE(p.env.unexpectedModals, 0);
        QCOMPARE(p.env.prompter().shown.size(), 0);
        QCOMPARE(p.runs.size(), 2);
        QCOMPARE(p.runs[0].title, QString("Dane szczegółowe klienta"));
        QVERIFY(p.runs[0].preview);
        QVERIFY(!p.runs[1].preview);
        QVERIFY(p.runs[1].texts.contains("Opłaty zwiazane z gościem"));
        QCOMPARE(p.runs[0].texts, p.runs[1].texts);
    }

    void leavingEnds_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Zamknij") << "Zamknij";
        QTest::newRow("close box") << "close";
        QTest::newRow("Escape") << "escape";
    }
    void leavingEnds()
    {
        QFETCH(QString, how);
        Program p;
        const int person = addGuest(p.env);
        p.env.modal.push_back([how](QDialog& d) {
            if (how == "Zamknij")
                return click(d, "Zamknij");
            if (how == "escape")
                QTest::keyClick(&d, Qt::Key_Escape);
            else
                d.close();
            return d.result();
        });
        p.window.showGuestDetails(person);
        QVERIFY(p.env.modal.empty());
        QCOMPARE(p.env.unexpectedModals, 0);
        QCOMPARE(p.runs.size(), 0);
    }

    // A person never registered: the stay and the payments stay empty, and
    // the printout says there are no payments.
    void withoutStay()
    {
        Program p;
        const int person = addGuest(p.env);
        p.env.modal.push_back(showing(
            [](QDialog& d) {
                QCOMPARE(text(d, "NumerPokoju") + text(d, "Od") + text(d, "FakturaVat"), QString());
                QCOMPARE(gridRows(d), QStringList());
            },
            "Podglad"));
        p.env.modal.push_back([](QDialog& d) { return click(d, "Zamknij"); });
        p.window.showGuestDetails(person);
        QCOMPARE(p.runs.size(), 1);
        QVERIFY(p.runs[0].texts.contains("Brak wniesionych opłat"));
        QVERIFY(!p.runs[0].texts.contains("Wpłata"));
    }

    // A failing read is shown with the engine's message, and no window opens.
    void databaseFailure()
    {
        Program p;
        const int person = guestWithPayments(p.env);
        runSql(p.env.db(), "DROP TABLE Kwit");
        p.window.showGuestDetails(person);
        QCOMPARE(p.env.unexpectedModals, 0);
        const QList<ScriptedPrompter::Shown> errors =
            p.env.prompter().messages(Prompter::Icon::Error);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].text.contains(TestEnv::onServer() ? "relation \"kwit\" does not exist"
                                                             : "no such table: Kwit"),
                 qPrintable(errors[0].text));
    }
};
REZYDO_TEST(TestGuestDetailsWindow);

#include "test_guest_details_window.moc"
