#include "reports/engine/ui/preview_window.h"

#include "core/clock.h"
#include "core/error.h"
#include "core/prompter.h"
#include "core/ui/modal.h"
#include "reports/engine/generator.h"
#include "reports/engine/ui/printing.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

namespace {
constexpr qreal kScreenDpi = 96; // 100 % shows the paper at its real size
} // namespace

TFormPodglad::TFormPodglad(Report& report, QWidget* parent)
    : QMainWindow(parent)
    , m_report(report)
{
    setObjectName(QStringLiteral("TFormPodglad"));
    setWindowTitle(report.title.isEmpty() ? QStringLiteral("Podgląd wydruku : ") : report.title);
    m_doc.title = report.title;
    m_doc.paper = report.page.paper;
    m_doc.copies = report.page.copies;

    QToolBar* bar = addToolBar(QStringLiteral("Pasek"));
    bar->setObjectName(QStringLiteral("Pasek"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    addButton(QStringLiteral("Drukuj"), QStringLiteral("Drukuj"), QStringLiteral("Drukuj"),
              &TFormPodglad::print);
    addButton(QStringLiteral("UstawieniaDrukarki"), QStringLiteral("Drukarka"),
              QStringLiteral("Ustawienia drukarki"), &TFormPodglad::printSetup);
    bar->addSeparator();
    addButton(QStringLiteral("PierwszaStrona"), QStringLiteral("|<"),
              QStringLiteral("Pierwsza strona"), &TFormPodglad::firstPage);
    addButton(QStringLiteral("PoprzedniaStrona"), QStringLiteral("<"),
              QStringLiteral("Poprzednia strona"), &TFormPodglad::previousPage);
    addButton(QStringLiteral("NastepnaStrona"), QStringLiteral(">"),
              QStringLiteral("Następna strona"), &TFormPodglad::nextPage);
    addButton(QStringLiteral("OstatniaStrona"), QStringLiteral(">|"),
              QStringLiteral("Ostatnia strona"), &TFormPodglad::lastPage);
    bar->addSeparator();
    addButton(QStringLiteral("DopasujWysokosc"), QStringLiteral("Cała strona"),
              QStringLiteral("Dopasuj widok do wysokości strony"), &TFormPodglad::fitHeight);
    addButton(QStringLiteral("Zoom100"), QStringLiteral("100%"), QStringLiteral("100%"),
              &TFormPodglad::zoom100);
    addButton(QStringLiteral("DopasujSzerokosc"), QStringLiteral("Szerokość"),
              QStringLiteral("Dopasuj widok do szerokości strony"), &TFormPodglad::fitWidth);
    bar->addSeparator();
    addButton(QStringLiteral("ZapiszPdf"), QStringLiteral("PDF"),
              QStringLiteral("Zapisz wydruk do pliku PDF"), &TFormPodglad::saveAsPdf)
        ->setText(QStringLiteral("Zapisz jako PDF"));
    addButton(QStringLiteral("Zamknij"), QStringLiteral("&Zamknij"),
              QStringLiteral("Zamknij podgląd"), &TFormPodglad::closePreview);
    // Printing and saving lay the report out again, which must not start
    // while this preview is still laying it out.
    action(QStringLiteral("Drukuj"))->setEnabled(false);
    action(QStringLiteral("ZapiszPdf"))->setEnabled(false);

    m_view = new QScrollArea(this);
    m_view->setObjectName(QStringLiteral("Widok"));
    m_view->setAlignment(Qt::AlignCenter);
    m_view->setBackgroundRole(QPalette::Dark);
    m_image = new QLabel(m_view);
    m_image->setObjectName(QStringLiteral("Obraz"));
    m_view->setWidget(m_image);
    setCentralWidget(m_view);

    m_label = new QLabel(QStringLiteral("Strona 1"), this);
    m_label->setObjectName(QStringLiteral("EtykietaStrony"));
    statusBar()->addWidget(m_label);
    setWindowState(windowState() | Qt::WindowMaximized);
}

TFormPodglad::~TFormPodglad() = default;

QAction* TFormPodglad::addButton(const QString& name, const QString& caption, const QString& hint,
                                 void (TFormPodglad::*slot)())
{
    auto* bar = findChild<QToolBar*>(QStringLiteral("Pasek"));
    QAction* a = bar->addAction(caption);
    a->setObjectName(name);
    a->setToolTip(hint);
    a->setStatusTip(hint);
    connect(a, &QAction::triggered, this,
            [this, slot] { guarded([this, slot] { (this->*slot)(); }); });
    return a;
}

QAction* TFormPodglad::action(const QString& name) const
{
    return findChild<QAction*>(name);
}

RunResult TFormPodglad::generate()
{
    m_generating = true;
    ReportGenerator generator(m_report);
    generator.onPage = [this](const Document& soFar, int number) {
        m_doc.pages.append(soFar.pages.last());
        m_zoom = 100;
        render();
        refreshLabel();
        Q_EMIT pageAdded(number);
        QCoreApplication::processEvents();
        return !m_closed;
    };
    bool complete = false;
    try {
        complete = generator.run();
    } catch (...) {
        m_generating = false;
        throw;
    }
    m_generating = false;
    if (!complete)
        return RunResult::Interrupted;
    m_finished = true;
    action(QStringLiteral("Drukuj"))->setEnabled(true);
    action(QStringLiteral("ZapiszPdf"))->setEnabled(true);
    Q_EMIT finished();
    return RunResult::Completed;
}

void TFormPodglad::refreshLabel()
{
    m_label->setText(QStringLiteral("Strona %1 z %2").arg(m_current).arg(pageCount()));
}

QSizeF TFormPodglad::pageSizePixels(qreal percent) const
{
    const qreal dpi = kScreenDpi * percent / 100;
    return {m_doc.paper.width() / 25.4 * dpi, m_doc.paper.height() / 25.4 * dpi};
}

void TFormPodglad::render()
{
    if (m_current < 1 || m_current > pageCount())
        return;
    const QSizeF size = pageSizePixels(m_zoom);
    QImage image(size.toSize(), QImage::Format_RGB32);
    const qreal dpi = kScreenDpi * m_zoom / 100;
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    paintPage(m_doc.pages[m_current - 1], painter);
    painter.end();
    m_image->setPixmap(QPixmap::fromImage(image));
    m_image->resize(image.size());
}

void TFormPodglad::setZoom(qreal percent)
{
    m_zoom = std::clamp<qreal>(percent, 5, 800);
    render();
}

void TFormPodglad::showPage(int page)
{
    if (page < 1 || page > pageCount())
        return;
    m_current = page;
    render();
    refreshLabel();
}

void TFormPodglad::firstPage()
{
    showPage(1);
}

void TFormPodglad::previousPage()
{
    if (m_current > 1)
        showPage(m_current - 1);
}

void TFormPodglad::nextPage()
{
    if (m_current < pageCount())
        showPage(m_current + 1);
}

void TFormPodglad::lastPage()
{
    showPage(pageCount());
}

void TFormPodglad::fitHeight()
{
    const qreal available = m_view->viewport()->height() - 4;
    setZoom(100 * available / pageSizePixels(100).height());
}

void TFormPodglad::zoom100()
{
    setZoom(100);
}

void TFormPodglad::fitWidth()
{
    // The page is then taller than the view, so room is left for the scroll bar.
    const int scrollBar = m_view->verticalScrollBar()->isVisible()
                              ? 0
                              : style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const qreal available = m_view->viewport()->width() - scrollBar - 4;
    setZoom(100 * available / pageSizePixels(100).width());
}

void TFormPodglad::print()
{
    // The printed pages are laid out anew, so their page counter starts at 1 again.
    const Document doc = generateDocument(m_report);
    printOrSave(doc, m_printer.get());
}

void TFormPodglad::printSetup()
{
    if (!m_printer) {
        m_printer = createPrinter();
        if (!m_printer) {
            prompter().inform(QStringLiteral("Nie znaleziono drukarki. Wydruk zostanie zapisany "
                                             "do pliku PDF w folderze dokumentów."),
                              QStringLiteral("Ustawienia drukarki"));
            return;
        }
    }
    QPrintDialog dialog(m_printer.get(), this);
    dialog.setObjectName(QStringLiteral("UstawieniaDrukarki"));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (m_finished)
        dialog.setMinMax(1, std::max(1, pageCount()));
    else
        dialog.setMinMax(0, 9999);
    runModal(dialog);
}

void TFormPodglad::saveAsPdf()
{
    // On a fresh account the documents folder may not be there yet.
    const QString path = prompter().saveFile(
        QStringLiteral("Zapisz jako PDF"), documentsFolder(), pdfFileName(m_report, today()),
        QStringLiteral("Pliki PDF (*.pdf)"), QStringLiteral("pdf"), Prompter::Existing::Ask);
    if (path.isEmpty())
        return;
    if (!writePdf(m_doc, path))
        prompter().error(QStringLiteral("Nie można zapisać pliku ") +
                             QDir::toNativeSeparators(path),
                         QStringLiteral("Zapisz jako PDF"));
}

void TFormPodglad::closePreview()
{
    // Pending events (a click still queued) run before the window goes.
    QCoreApplication::processEvents();
    close();
}

void TFormPodglad::keyPressEvent(QKeyEvent* event)
{
    // Escape leaves the preview as its close button does.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        closePreview();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TFormPodglad::closeEvent(QCloseEvent* event)
{
    m_closed = true;
    event->accept();
    Q_EMIT closed();
}
