#include "reports/engine/ui/printing.h"

#include "core/error.h"
#include "core/prompter.h"
#include "reports/engine/report_output.h"

#include <QDir>
#include <QPageSize>
#include <QPainter>
#include <QPrinterInfo>

namespace {
PrinterFactory& factorySlot() {
    static PrinterFactory factory;
    return factory;
}
} // namespace

void setPrinterFactory(PrinterFactory factory) {
    factorySlot() = std::move(factory);
}

std::unique_ptr<QPrinter> createPrinter() {
    if (factorySlot())
        return factorySlot()();
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        return nullptr;
    return std::make_unique<QPrinter>(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
}

void printDocument(const Document& doc, QPrinter& printer) {
    printer.setDocName(doc.title);
    printer.setFullPage(true);
    const QPageLayout::Orientation orientation = printer.pageLayout().orientation();
    printer.setPageSize(QPageSize(doc.paper, QPageSize::Millimeter));
    printer.setPageOrientation(orientation);
    const int first = printer.fromPage() > 0 ? printer.fromPage() : 1;
    const int last =
        printer.toPage() > 0 ? std::min(printer.toPage(), doc.pageCount()) : doc.pageCount();
    QPainter painter;
    if (!painter.begin(&printer))
        throw RezydoError(QStringLiteral("Nie można rozpocząć drukowania."));
    bool firstSheet = true;
    for (int copy = 0; copy < doc.copies; ++copy) {
        for (int page = first; page <= last; ++page) {
            if (!firstSheet)
                printer.newPage();
            firstSheet = false;
            paintPage(doc.pages[page - 1], painter);
        }
    }
    painter.end();
}

void printOrSave(const Document& doc, QPrinter* chosen) {
    if (chosen) {
        printDocument(doc, *chosen);
        return;
    }
    if (std::unique_ptr<QPrinter> printer = createPrinter()) {
        printDocument(doc, *printer);
        return;
    }
    const QString path = fallbackPdfPath(doc.title);
    if (!writePdf(doc, path))
        throw RezydoError(QStringLiteral("Nie można zapisać pliku %1").arg(path));
    prompter().inform(QStringLiteral("Nie znaleziono drukarki. Wydruk zapisano w pliku:\n") +
                          QDir::toNativeSeparators(path),
                      doc.title.isEmpty() ? QStringLiteral("Drukowanie") : doc.title);
}
