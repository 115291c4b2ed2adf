#include "app/commands.h"
#include "app/main_window.h"
#include "billing/invoice_printout.h"
#include "core/ui/modal.h"
#include "reports/engine/ui/parameter_window.h"
#include "reports/engine/ui/preview_provider.h"
#include "reports/engine/ui/preview_window.h"
#include "reports/engine/ui/printing.h"
#include "reports/engine/ui/report_command.h"
#include "tests/support/test_env.h"
#include "tests/support/test_registry.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QPrintDialog>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QToolBar>

namespace {
// The preview provider of the program, with a printer that writes PDF files
// into the test's folder, which is also the user's home folder.
struct PreviewFixture {
    TestEnv env;
    std::unique_ptr<ReportPresenter> previous;
    QStringList printed;
    int shown = 0;
    const QByteArray home = qgetenv("HOME");
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");

    PreviewFixture()
    {
        // A fresh account: no documents folder, no named user folders.
        qputenv("HOME", env.dir().toUtf8());
        qputenv("XDG_CONFIG_HOME", env.path(QStringLiteral("config")).toUtf8());
        previous = installReportPresenter(std::make_unique<TMDIPodglad>());
        setPrinterFactory([this] {
            auto printer = std::make_unique<QPrinter>();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printed << env.path(QStringLiteral("wydruk%1.pdf").arg(printed.size() + 1));
            printer->setOutputFileName(printed.last());
            return printer;
        });
    }
    ~PreviewFixture()
    {
        TMDIPodglad::setShownHook({});
        setPrinterFactory({});
        installReportPresenter(std::move(previous));
        qputenv("HOME", home);
        config.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", config);
    }
    // `onShown` runs when the preview is shown, before its pages are made.
    void whenShown(std::function<void(TFormPodglad&)> onShown)
    {
        TMDIPodglad::setShownHook([this, onShown](TFormPodglad& w) {
            ++shown;
            onShown(w);
        });
    }
};

// 25 rows a page: 60 rows make three pages, each with "Strona n" in its footer.
struct ListReport : Report {
    ReportRows rows{{QStringLiteral("Nazwisko")}, {}};
    int laidOut = 0;
    explicit ListReport(int n, const QString& caption = QStringLiteral("Lista"))
    {
        title = caption;
        for (int i = 1; i <= n; ++i)
            rows.append({QStringLiteral("Osoba %1").arg(i)});
        setPageHeader(10).addText("Tytul", QRectF(0, 0, 190, 10), "Lista", Qt::AlignCenter);
        setColumnHeader(8).addText("Kol", QRectF(0, 0, 60, 8), "Nazwisko");
        Band& d = *addData(&rows, 10).detail;
        d.addField("Nazwisko", QRectF(0, 0, 60, 10), "Nazwisko");
        d.afterPrint = [this](BandContext&) { ++laidOut; };
        setPageCounterFooter(6);
    }
};

QString pdfInfo(const QString& tool, const QString& file)
{
    QProcess p;
    p.start(tool, {file, QStringLiteral("-")});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString& file)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {file});
    p.waitForFinished(20000);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const qsizetype at = out.indexOf(QStringLiteral("Pages:"));
    return at < 0 ? -1 : out.mid(at + 6).section(QLatin1Char('\n'), 0, 0).trimmed().toInt();
}

QString label(TFormPodglad& w)
{
    return w.findChild<QLabel*>(QStringLiteral("EtykietaStrony"))->text();
}

void trigger(TFormPodglad& w, const char* action)
{
    QAction* a = w.action(QString::fromLatin1(action));
    QVERIFY2(a, action);
    a->trigger();
}
} // namespace

class TestPreview : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void captionAndMaximised_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("caption");
        QTest::newRow("no title") << ""
                                  << "Podgląd wydruku : ";
        QTest::newRow("title") << "Faktura Vat"
                               << "Faktura Vat";
    }
    void captionAndMaximised()
    {
        QFETCH(QString, title);
        QFETCH(QString, caption);
        PreviewFixture f;
        ListReport report(3, title);
        QString seen;
        bool maximised = false;
        f.whenShown([&](TFormPodglad& w) {
            seen = w.windowTitle();
            maximised = w.windowState() & Qt::WindowMaximized;
            w.close();
        });
        runReport(report, ReportOutput::Preview);
        QCOMPARE(seen, caption);
        QVERIFY(maximised);
    }

    void toolbarButtonsInOrder()
    {
        TestEnv env;
        ListReport report(1);
        TFormPodglad w(report);
        QStringList hints;
        for (QAction* a : w.findChild<QToolBar*>("Pasek")->actions())
            if (!a->isSeparator())
                hints << a->toolTip();
        QCOMPARE(hints, QStringList({"Drukuj", "Ustawienia drukarki", "Pierwsza strona",
                                     "Poprzednia strona", "Następna strona", "Ostatnia strona",
                                     "Dopasuj widok do wysokości strony", "100%",
                                     "Dopasuj widok do szerokości strony",
                                     "Zapisz wydruk do pliku PDF", "Zamknij podgląd"}));
        QCOMPARE(w.action("Zamknij")->text(), QString("&Zamknij"));
        QCOMPARE(w.action("ZapiszPdf")->text(), QString("Zapisz jako PDF"));
        QCOMPARE(label(w), QString("Strona 1"));
    }

    void pageButtonsAndLabel()
    {
        PreviewFixture f;
        ListReport report(60);
        QStringList labels;
        QList<int> pages;
        f.whenShown([&](TFormPodglad& w) {
            labels << label(w);
            QObject::connect(&w, &TFormPodglad::finished, &w, [&w, &labels, &pages] {
                auto step = [&](const char* action) {
                    trigger(w, action);
                    labels << label(w);
                    pages << w.currentPage();
                };
                labels << label(w);
                step("PoprzedniaStrona"); // on page 1: nothing
                step("NastepnaStrona");
                step("OstatniaStrona");
                step("NastepnaStrona"); // on the last page: nothing
                step("PoprzedniaStrona");
                step("PierwszaStrona");
                trigger(w, "Zamknij");
            });
        });
        QCOMPARE(runReport(report, ReportOutput::Preview), RunResult::Completed);
        QCOMPARE(labels,
                 QStringList({"Strona 1", "Strona 1 z 3", "Strona 1 z 3", "Strona 2 z 3",
                              "Strona 3 z 3", "Strona 3 z 3", "Strona 2 z 3", "Strona 1 z 3"}));
        QCOMPARE(pages, QList<int>({1, 2, 3, 3, 2, 1}));
    }

    // Escape leaves the preview as its "&Zamknij" does.
    void escapeClosesThePreview()
    {
        PreviewFixture f;
        ListReport report(3);
        bool closedByEscape = false;
        f.whenShown([&](TFormPodglad& w) {
            QObject::connect(&w, &TFormPodglad::finished, &w, [&w, &closedByEscape] {
                QTest::keyClick(w.findChild<QScrollArea*>("Widok"), Qt::Key_Escape);
                closedByEscape = w.isClosed();
                if (!closedByEscape)
                    w.close(); // the preview would wait for ever
            });
        });
        QCOMPARE(runReport(report, ReportOutput::Preview), RunResult::Completed);
        QVERIFY(closedByEscape);
    }

    void zoomReturnsTo100WithEveryNewPage()
    {
        PreviewFixture f;
        ListReport report(60);
        QList<qreal> zooms;
        QSize fittedWidth, fittedHeight, view;
        f.whenShown([&](TFormPodglad& w) {
            QObject::connect(&w, &TFormPodglad::pageAdded, &w, [&](int page) {
                zooms << w.zoom();
                if (page == 1) {
                    w.fitWidth();
                    zooms << w.zoom();
                }
            });
            QObject::connect(&w, &TFormPodglad::finished, &w, [&] {
                auto* image = w.findChild<QLabel*>("Obraz");
                view = w.findChild<QScrollArea*>("Widok")->viewport()->size();
                w.fitWidth();
                fittedWidth = image->size();
                w.fitHeight();
                fittedHeight = image->size();
                w.zoom100();
                zooms << w.zoom();
                w.close();
            });
        });
        runReport(report, ReportOutput::Preview);
        QCOMPARE(zooms.size(), 5);
        QCOMPARE(zooms[0], 100.0);
        QVERIFY(zooms[1] != 100.0);
        QCOMPARE(zooms[2], 100.0); // page 2 arrived
        QCOMPARE(zooms[4], 100.0);
        QVERIFY2(fittedWidth.width() <= view.width() && fittedWidth.width() > view.width() - 40,
                 qPrintable(QString("%1 in %2").arg(fittedWidth.width()).arg(view.width())));
        QVERIFY2(fittedHeight.height() <= view.height() &&
                     fittedHeight.height() > view.height() - 10,
                 qPrintable(QString("%1 in %2").arg(fittedHeight.height()).arg(view.height())));
    }

    void closingWhilePagesAreComing()
    {
        PreviewFixture f;
        ListReport report(200);
        bool printEnabled = true;
        f.whenShown([&](TFormPodglad& w) {
            QObject::connect(&w, &TFormPodglad::pageAdded, &w, [&](int page) {
                printEnabled = w.action("Drukuj")->isEnabled();
                if (page == 1)
                    w.close();
            });
        });
        QCOMPARE(runReport(report, ReportOutput::Preview), RunResult::Interrupted);
        QCOMPARE(report.laidOut, 25); // nothing after the first page was laid out
        QVERIFY(!printEnabled);       // no print while the preview is still being made
    }

    void printModeShowsNoPreview()
    {
        PreviewFixture f;
        f.whenShown([](TFormPodglad& w) { w.close(); });
        ListReport report(30);
        report.page.copies = 2;
        QCOMPARE(runReport(report, ReportOutput::Print), RunResult::Completed);
        QCOMPARE(f.shown, 0);
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<TFormPodglad*>(w));
        QCOMPARE(f.printed.size(), 1);
        QCOMPARE(pdfPages(f.printed[0]), 4); // two copies of two pages
    }

    void printingFromThePreviewNumbersFromOneAgain()
    {
        PreviewFixture f;
        ListReport report(60);
        f.whenShown([&](TFormPodglad& w) {
            QObject::connect(&w, &TFormPodglad::finished, &w, [&] {
                trigger(w, "Drukuj");
                trigger(w, "Zamknij");
            });
        });
        runReport(report, ReportOutput::Preview);
        QCOMPARE(f.printed.size(), 1);
        QCOMPARE(pdfPages(f.printed[0]), 3);
        const QString text = pdfInfo("pdftotext", f.printed[0]);
        QVERIFY2(text.contains("Strona 1") && text.contains("Strona 3"), qPrintable(text));
        QVERIFY(!text.contains("Strona 4"));
    }

    void printSetupPageRange()
    {
        PreviewFixture f;
        ListReport report(60);
        QStringList ranges;
        auto record = [&](QDialog& d) {
            auto* dialog = qobject_cast<QPrintDialog*>(&d);
            ranges << (dialog ? QString("%1-%2").arg(dialog->minPage()).arg(dialog->maxPage())
                              : QString("not a print dialog"));
            return static_cast<int>(QDialog::Rejected);
        };
        f.env.modal.push_back(record);
        f.env.modal.push_back(record);
        f.whenShown([&](TFormPodglad& w) {
            QObject::connect(&w, &TFormPodglad::pageAdded, &w, [&](int page) {
                if (page == 1)
                    trigger(w, "UstawieniaDrukarki");
            });
            QObject::connect(&w, &TFormPodglad::finished, &w, [&] {
                trigger(w, "UstawieniaDrukarki");
                w.close();
            });
        });
        runReport(report, ReportOutput::Preview);
        QCOMPARE(ranges, QStringList({"0-9999", "1-3"}));
    }

    void saveAsPdf()
    {
        PreviewFixture f;
        ListReport report(60);
        const QString file = f.env.path("lista.pdf");
        f.env.prompter().files = {file, QString()};
        f.whenShown([&](TFormPodglad& w) {
            QObject::connect(&w, &TFormPodglad::finished, &w, [&] {
                trigger(w, "ZapiszPdf");
                trigger(w, "ZapiszPdf"); // cancelled: nothing happens
                w.close();
            });
        });
        runReport(report, ReportOutput::Preview);
        QCOMPARE(pdfPages(file), 3);
        QCOMPARE(f.env.prompter().shown.size(), 2);
        QCOMPARE(f.env.prompter().shown[0].caption, QString("Zapisz jako PDF"));
        QCOMPARE(f.env.prompter().shown[0].extra,
                 QString("Lista 2026-07-15.pdf|Pliki PDF (*.pdf)|pdf"));
        QVERIFY(f.printed.isEmpty());
    }

    // On an account without a documents folder the folder is made, and the
    // proposed name says what the document is without taking another day's name.
    void saveAsPdfOnAFreshAccount_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("name");
        QTest::newRow("list") << "Lista"
                              << "Lista 2026-07-15.pdf";
        QTest::newRow("untitled list") << ""
                                       << "Wydruk 2026-07-15.pdf";
        QTest::newRow("invoice") << "invoice"
                                 << "Faktura VAT 17-H-2026.pdf";
    }
    void saveAsPdfOnAFreshAccount()
    {
        QFETCH(QString, document);
        QFETCH(QString, name);
        PreviewFixture f;
        const QString folder = f.env.path("Documents");
        QVERIFY(!QFileInfo::exists(folder));
        const QString file = QDir(folder).filePath(name);
        f.env.prompter().files = {file}; // the proposal taken as it is
        f.whenShown([&](TFormPodglad& w) {
            QObject::connect(&w, &TFormPodglad::finished, &w, [&] {
                trigger(w, "ZapiszPdf");
                w.close();
            });
        });
        if (document == "invoice") {
            f.env.exec("INSERT INTO Kalk (Identyfikator, Rach, Brutto, data_wystawienia) "
                       "VALUES (3, 17, 1000000, '2026-07-14')");
            QVERIFY(printInvoice(3, "55.10", ReportOutput::Preview).ok);
        } else {
            ListReport report(3, document);
            runReport(report, ReportOutput::Preview);
        }
        QCOMPARE(f.env.prompter().log(), QStringList({"Zapisz jako PDF|" + folder}));
        const auto& dialog = f.env.prompter().shown[0];
        QCOMPARE(dialog.extra, name + "|Pliki PDF (*.pdf)|pdf");
        QCOMPARE(dialog.existing, Prompter::Existing::Ask);
        QVERIFY(pdfPages(file) >= 1);
    }

    void withoutAPrinterThePdfGoesToDocuments()
    {
        PreviewFixture f;
        setPrinterFactory([] { return std::unique_ptr<QPrinter>(); });
        const QByteArray home = qgetenv("HOME");
        const QByteArray config = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", f.env.dir().toUtf8());
        qputenv("XDG_CONFIG_HOME", f.env.path("config").toUtf8());
        ListReport report(3);
        runReport(report, ReportOutput::Print);
        qputenv("HOME", home);
        config.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", config);

        const auto shown = f.env.prompter().messages(Prompter::Icon::Information);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].caption, QString("Lista"));
        const QString prefix = "Nie znaleziono drukarki. Wydruk zapisano w pliku:\n";
        QVERIFY2(shown[0].text.startsWith(prefix + f.env.path("Documents/Lista 2026.07.15")),
                 qPrintable(shown[0].text));
        QVERIFY(QFile::exists(shown[0].text.mid(prefix.size())));
    }

    void invoiceLauncher()
    {
        PreviewFixture f;
        f.env.exec("INSERT INTO Kalk (Identyfikator, Rach, Brutto, data_wystawienia) "
                   "VALUES (3, 1, 1000000, '2026-07-15')");
        QString caption;
        f.whenShown([&](TFormPodglad& w) {
            QObject::connect(&w, &TFormPodglad::finished, &w, [&] {
                caption = w.windowTitle();
                w.close();
            });
        });
        QVERIFY(printInvoice(3, "55.10", ReportOutput::Preview).ok);
        QCOMPARE(caption, QString("Faktura Vat"));
        QVERIFY(printInvoice(3, "55.10", ReportOutput::Print).ok);
        QCOMPARE(f.printed.size(), 1);
        QCOMPARE(pdfPages(f.printed[0]), 2); // original and copy
    }

    void nonModalPreviewKeepsItsReport()
    {
        PreviewFixture f;
        auto report = std::make_shared<ListReport>(30);
        QPointer<TFormPodglad> window;
        f.whenShown([&](TFormPodglad& w) { window = &w; });
        reportPresenter().preview(report);
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->pageCount(), 2); // laid out before the call returned
        QCOMPARE(report.use_count(), 2);  // the window holds the report
        window->close();
        QTRY_VERIFY(!window);
        QCOMPARE(report.use_count(), 1);
    }

    void mainWindowInstallsThePreview()
    {
        TestEnv env;
        auto previous = installReportPresenter(nullptr);
        {
            TGlowne w;
            wireCommands(w);
            QVERIFY(dynamic_cast<TMDIPodglad*>(&reportPresenter()));
        }
        installReportPresenter(std::move(previous));
    }
};
REZYDO_TEST(TestPreview);

namespace {
std::function<int(QDialog&)> click(const char* button, QStringList* seen = nullptr)
{
    return [button, seen](QDialog& d) {
        if (seen)
            *seen << d.windowTitle();
        QTest::mouseClick(d.findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
        return d.result();
    };
}

const char* modeName(ReportOutput m)
{
    return m == ReportOutput::Preview ? "podgląd" : "druk";
}
} // namespace

class TestReportCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parameterWindowButtons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("mode");
        QTest::newRow("Podgląd") << "Podglad" << int(QDialog::Accepted)
                                 << int(ReportOutput::Preview);
        QTest::newRow("Drukuj") << "Drukuj" << int(QDialog::Accepted) << int(ReportOutput::Print);
        QTest::newRow("Zamknij") << "Zamknij" << int(QDialog::Rejected) << -1;
        QTest::newRow("close box") << "" << int(QDialog::Rejected) << -1;
    }
    void parameterWindowButtons()
    {
        QFETCH(QString, button);
        QFETCH(int, result);
        QFETCH(int, mode);
        TestEnv env;
        TFormParametry w("Spis aktualnie zakwaterowanych");
        QCOMPARE(w.previewButton()->text() + w.printButton()->text() + w.closeButton()->text(),
                 QString("&Podgląd&Drukuj&Zamknij"));
        env.modal.push_back([&](QDialog& d) {
            if (button.isEmpty())
                d.close();
            else
                QTest::mouseClick(d.findChild<QPushButton*>(button), Qt::LeftButton);
            return d.result();
        });
        QCOMPARE(runModal(w), result);
        if (mode >= 0)
            QCOMPARE(int(w.mode()), mode);
    }

    void onceShowsTheSameWindowUntilTheReportRuns()
    {
        TestEnv env;
        TFormParametry w("Osoby przyjeżdżające danego dnia");
        QStringList seen;
        env.modal = {click("Podglad", &seen), click("Drukuj", &seen), click("Podglad", &seen)};
        int checks = 0;
        QStringList steps;
        runOnce(
            w,
            [&] {
                return ++checks == 1 ? QString("W wybranym dniu nikt nie przyjeżdża") : QString();
            },
            [&](ReportOutput m) {
                steps << modeName(m);
                return steps.size() == 1 ? LaunchResult::failure(kNoDataMessage)
                                         : LaunchResult::success();
            },
            "Osoby przyjeżdżające danego dnia - błąd!", Prompter::Icon::Error);
        QCOMPARE(seen.size(), 3);
        QCOMPARE(steps, QStringList({"druk", "podgląd"}));
        QCOMPARE(env.prompter().log(),
                 QStringList({"Osoby przyjeżdżające danego dnia - błąd!|W wybranym dniu nikt nie "
                              "przyjeżdża",
                              "Osoby przyjeżdżające danego dnia - błąd!|" + kNoDataMessage}));
        QCOMPARE(env.prompter().messages(Prompter::Icon::Error).size(), 2);
        QCOMPARE(env.unexpectedModals, 0);
    }

    void onceEndsOnCancelWithoutAReport()
    {
        TestEnv env;
        TFormParametry w("Spis Rezerwacji");
        env.modal = {click("Zamknij")};
        bool ran = false;
        runOnce(
            w, {}, [&](ReportOutput) { return ran = true, LaunchResult::success(); },
            "Spis Rezerwacji - błąd!", Prompter::Icon::Error);
        QVERIFY(!ran);
        QVERIFY(env.prompter().shown.isEmpty());
    }

    void repeatedRunsEveryChoiceUntilClosed()
    {
        TestEnv env;
        TFormParametry w("Wolne pokoje");
        env.modal = {click("Podglad"), click("Drukuj"), click("Zamknij")};
        QStringList steps;
        runRepeated(
            w,
            [&](ReportOutput m) {
                steps << modeName(m);
                return steps.size() == 2 ? LaunchResult::failure(kNoDataMessage)
                                         : LaunchResult::success();
            },
            "Wolne pokoje", Prompter::Icon::Information);
        QCOMPARE(steps, QStringList({"podgląd", "druk"}));
        QCOMPARE(env.prompter().log(), QStringList({"Wolne pokoje|" + kNoDataMessage}));
        QCOMPARE(env.modal.size(), size_t(0));
    }

    void directPreviewsAndShowsTheFailure()
    {
        TestEnv env;
        const QString message = "Wykonano niedozwoloną operację! Niedopuszczalne jest przerywanie "
                                "generacji raportu.";
        QStringList steps;
        runDirect(
            [&](ReportOutput m) {
                steps << modeName(m);
                return LaunchResult::failure(message);
            },
            "Raport dla GUS - błąd!", Prompter::Icon::Error);
        QCOMPARE(steps, QStringList({"podgląd"}));
        QCOMPARE(env.prompter().messages(Prompter::Icon::Error).size(), 1);
        QCOMPARE(env.prompter().log(), QStringList({"Raport dla GUS - błąd!|" + message}));
        QVERIFY(env.modal.empty());
    }
};
REZYDO_TEST(TestReportCommands);
#include "test_preview.moc"
