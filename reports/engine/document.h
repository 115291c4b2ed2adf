#pragma once

#include "reports/engine/report.h"

#include <QColor>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

class QPainter;

// One thing placed on a page; positions in millimetres from the paper's corner.
struct PlacedItem {
    enum class Kind { Text, Line, Box, QrCode };
    Kind kind = Kind::Text;
    QRectF rect;  // Line: from top-left to bottom-right
    QString text; // QrCode: the payload
    FontSpec font;
    int alignment = 0;
    bool wordWrap = false;
    bool framed = false;
    qreal penWidth = 0.2;
    QColor fill;
    QString band;    // the band that placed it, for tests and the dump
    QString control; // the control's name, if it has one
};

struct Page {
    int number = 0;
    QList<PlacedItem> items;
    // The texts of the page in placing order.
    QStringList texts() const;
    // The texts placed by one band, in order.
    QStringList texts(const QString& band) const;
};

// A report laid out: the pages, ready to paint.
struct Document {
    QString title;
    QSizeF paper = QSizeF(210, 297);
    int copies = 1;
    QList<Page> pages;

    int pageCount() const { return static_cast<int>(pages.size()); }
    QStringList texts() const; // every text of every page
};

// A text form of a document, one line per item, for golden files: geometry
// to a tenth of a millimetre, the font, alignment and the text.
QString dumpDocument(const Document& doc);

// Texts are painted this far inside the left and right of their box (mm).
constexpr qreal kTextInset = 0.5;

// The height (mm) a text takes when painted wrapped in a box `boxWidth` mm
// wide: lines break between words, and inside a word only where the word
// alone is wider than the line. Measured against one fixed resolution, so a
// layout does not depend on the screen it was made on.
qreal wrappedTextHeight(const FontSpec& font, const QString& text, qreal boxWidth);

// The modules of the QR code of `payload` (error correction level M, 8-bit
// mode), row by row, true for a dark module; empty when it does not fit a symbol.
QList<QList<bool>> qrModules(const QString& payload);

// A QR code is drawn with this many light modules around it on every side.
constexpr int kQrQuietZone = 4;

// Paints one page onto any device: the preview image, the printer or a PDF.
// Millimetres are converted with the device's resolution; the painter's
// origin is the paper's corner.
void paintPage(const Page& page, QPainter& painter);

// Writes pages (all by default) to a PDF file; false when the file cannot be written.
bool writePdf(const Document& doc, const QString& path);
