#include "reports/engine/document.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QPageSize>
#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <qrencode.h>

#include <memory>

QStringList Page::texts() const
{
    QStringList out;
    for (const PlacedItem& item : items)
        if (item.kind == PlacedItem::Kind::Text)
            out << item.text;
    return out;
}

QStringList Page::texts(const QString& band) const
{
    QStringList out;
    for (const PlacedItem& item : items)
        if (item.kind == PlacedItem::Kind::Text && item.band == band)
            out << item.text;
    return out;
}

QStringList Document::texts() const
{
    QStringList out;
    for (const Page& p : pages)
        out << p.texts();
    return out;
}

namespace {
QString mm(qreal v)
{
    return QString::number(v, 'f', 1);
}

QString alignmentCode(int a)
{
    QString h = QStringLiteral("L");
    if (a & Qt::AlignRight)
        h = QStringLiteral("R");
    else if (a & Qt::AlignHCenter)
        h = QStringLiteral("C");
    QString v = QStringLiteral("M");
    if (a & Qt::AlignTop)
        v = QStringLiteral("T");
    else if (a & Qt::AlignBottom)
        v = QStringLiteral("B");
    return h + v;
}

QString fontCode(const FontSpec& f)
{
    QString style;
    if (f.bold)
        style += QLatin1Char('b');
    if (f.italic)
        style += QLatin1Char('i');
    if (f.underline)
        style += QLatin1Char('u');
    return QStringLiteral("%1 %2%3").arg(f.family, QString::number(f.pointSize),
                                         style.isEmpty() ? QString() : QLatin1Char(' ') + style);
}

QString dumpItem(const PlacedItem& item)
{
    const QRectF& r = item.rect;
    switch (item.kind) {
    case PlacedItem::Kind::Line:
        return QStringLiteral("line %1 %2 %3 %4 w%5 [%6]")
            .arg(mm(r.left()), mm(r.top()), mm(r.right()), mm(r.bottom()), mm(item.penWidth),
                 item.band);
    case PlacedItem::Kind::Box:
        return QStringLiteral("box %1 %2 %3x%4 %5%6 [%7]")
            .arg(mm(r.left()), mm(r.top()), mm(r.width()), mm(r.height()),
                 item.fill.isValid() ? item.fill.name() : QStringLiteral("none"),
                 item.framed ? QStringLiteral(" framed") : QString(), item.band);
    case PlacedItem::Kind::QrCode:
        return QStringLiteral("qr %1 %2 %3x%4 \"%5\" [%6]")
            .arg(mm(r.left()), mm(r.top()), mm(r.width()), mm(r.height()), item.text, item.band);
    case PlacedItem::Kind::Text:
        break;
    }
    QString text = item.text;
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return QStringLiteral("text %1 %2 %3x%4 %5 %6%7%8 \"%9\" [%10]")
        .arg(mm(r.left()), mm(r.top()), mm(r.width()), mm(r.height()), fontCode(item.font),
             alignmentCode(item.alignment), item.wordWrap ? QStringLiteral(" wrap") : QString(),
             item.framed ? QStringLiteral(" framed") : QString(), text, item.band);
}
} // namespace

QString dumpDocument(const Document& doc)
{
    QString out = QStringLiteral("document \"%1\" %2x%3 copies %4\n")
                      .arg(doc.title, mm(doc.paper.width()), mm(doc.paper.height()))
                      .arg(doc.copies);
    for (const Page& page : doc.pages) {
        out += QStringLiteral("page %1\n").arg(page.number);
        for (const PlacedItem& item : page.items)
            out += QStringLiteral("  ") + dumpItem(item) + QLatin1Char('\n');
    }
    return out;
}

namespace {
QFont qtFont(const FontSpec& spec)
{
    QFont f(spec.family);
    f.setPointSizeF(spec.pointSize);
    f.setBold(spec.bold);
    f.setItalic(spec.italic);
    f.setUnderline(spec.underline);
    return f;
}

// A wrapped text keeps its words whole where they fit a line; a word longer
// than the line (a number, a code) is broken rather than run out of its box.
QTextOption textOption(int alignment, bool wordWrap)
{
    QTextOption option{Qt::Alignment(alignment)};
    option.setWrapMode(wordWrap ? QTextOption::WrapAtWordBoundaryOrAnywhere
                                : QTextOption::ManualWrap);
    return option;
}

QImage& measuringDevice()
{
    static QImage image = [] {
        QImage i(8, 8, QImage::Format_RGB32);
        i.setDotsPerMeterX(qRound(600 / 0.0254));
        i.setDotsPerMeterY(qRound(600 / 0.0254));
        return i;
    }();
    return image;
}
} // namespace

qreal wrappedTextHeight(const FontSpec& font, const QString& text, qreal boxWidth)
{
    // A list repeats its texts (days, rooms, places, whole empty cells) row
    // after row; each font, width and text is measured once. Layout runs on
    // the one user-interface thread.
    static QHash<QString, qreal> measured;
    const QString key = QStringLiteral("%1|%2|%3%4%5|%6|")
                            .arg(font.family)
                            .arg(font.pointSize)
                            .arg(int(font.bold))
                            .arg(int(font.italic))
                            .arg(int(font.underline))
                            .arg(boxWidth) +
                        text;
    if (const auto found = measured.constFind(key); found != measured.cend())
        return *found;
    QImage& device = measuringDevice();
    const qreal pxPerMm = device.logicalDpiY() / 25.4;
    // Measured a little narrower than painted, so that a device whose text
    // comes out a hair wider than this one's still finds room on the same lines.
    const qreal width = (boxWidth - 2 * kTextInset - 0.2) * pxPerMm;
    QPainter painter(&device);
    painter.setFont(qtFont(font));
    const QRectF needed =
        painter.boundingRect(QRectF(0, 0, width, 1e6), text, textOption(Qt::AlignLeft, true));
    if (measured.size() > 100000)
        measured.clear();
    return measured[key] = needed.height() / pxPerMm;
}

QList<QList<bool>> qrModules(const QString& payload)
{
    const QByteArray utf8 = payload.toUtf8();
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(utf8.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), &QRcode_free);
    QList<QList<bool>> rows;
    if (!code)
        return rows;
    for (int y = 0; y < code->width; ++y) {
        QList<bool> row;
        for (int x = 0; x < code->width; ++x)
            row << ((code->data[y * code->width + x] & 1) != 0);
        rows << row;
    }
    return rows;
}

namespace {
// The dark modules as filled rectangles, a run of neighbours in a row as one,
// without smoothing, so that no hairline of light shows between them.
void paintQrCode(const QRectF& box, const QString& payload, QPainter& painter)
{
    const QList<QList<bool>> rows = qrModules(payload);
    if (rows.isEmpty())
        return;
    const qsizetype n = rows.size();
    const qreal side = std::min(box.width(), box.height());
    const qreal module = side / static_cast<qreal>(n + 2 * kQrQuietZone);
    const QPointF origin = box.topLeft() + QPointF(kQrQuietZone * module, kQrQuietZone * module);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (qsizetype y = 0; y < n; ++y) {
        qsizetype x = 0;
        while (x < n) {
            if (!rows[y][x]) {
                ++x;
                continue;
            }
            const qsizetype start = x;
            while (x < n && rows[y][x])
                ++x;
            painter.drawRect(QRectF(origin.x() + static_cast<qreal>(start) * module,
                                    origin.y() + static_cast<qreal>(y) * module,
                                    static_cast<qreal>(x - start) * module, module));
        }
    }
    painter.restore();
}
} // namespace

void paintPage(const Page& page, QPainter& painter)
{
    const QPaintDevice* device = painter.device();
    const qreal sx = device->logicalDpiX() / 25.4;
    const qreal sy = device->logicalDpiY() / 25.4;
    auto px = [&](const QRectF& r) {
        return QRectF(r.left() * sx, r.top() * sy, r.width() * sx, r.height() * sy);
    };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const PlacedItem& item : page.items) {
        QPen pen(Qt::black);
        pen.setWidthF(std::max<qreal>(item.penWidth * sx, 1.0));
        switch (item.kind) {
        case PlacedItem::Kind::Line:
            painter.setPen(pen);
            painter.drawLine(px(item.rect).topLeft(), px(item.rect).bottomRight());
            break;
        case PlacedItem::Kind::Box:
            painter.setPen(item.framed ? pen : QPen(Qt::NoPen));
            painter.setBrush(item.fill.isValid() ? QBrush(item.fill) : QBrush(Qt::NoBrush));
            painter.drawRect(px(item.rect));
            painter.setBrush(Qt::NoBrush);
            break;
        case PlacedItem::Kind::QrCode:
            paintQrCode(px(item.rect), item.text, painter);
            break;
        case PlacedItem::Kind::Text: {
            const QRectF box = px(item.rect);
            if (item.framed) {
                painter.setPen(pen);
                painter.drawRect(box);
            }
            painter.setPen(Qt::black);
            painter.setFont(qtFont(item.font));
            // A little inner space so that framed texts do not touch their rules.
            const QRectF inner = box.adjusted(kTextInset * sx, 0, -kTextInset * sx, 0);
            painter.drawText(inner, item.text, textOption(item.alignment, item.wordWrap));
            break;
        }
        }
    }
    painter.restore();
}

bool writePdf(const Document& doc, const QString& path)
{
    QPdfWriter writer(path);
    writer.setTitle(doc.title);
    writer.setCreator(QStringLiteral("Rezydo"));
    writer.setResolution(600);
    writer.setPageSize(QPageSize(doc.paper, QPageSize::Millimeter));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    for (int i = 0; i < doc.pageCount(); ++i) {
        if (i > 0)
            writer.newPage();
        paintPage(doc.pages[i], painter);
    }
    return painter.end();
}
