#include "tests/reports/layout_checks.h"

#include <QDir>
#include <QFont>
#include <QImage>
#include <QTextLayout>

namespace {
constexpr qreal kEpsilon = 0.01; // mm

const QImage& device600()
{
    static QImage image = [] {
        QImage i(8, 8, QImage::Format_RGB32);
        i.setDotsPerMeterX(qRound(600 / 0.0254));
        i.setDotsPerMeterY(qRound(600 / 0.0254));
        return i;
    }();
    return image;
}

QString where(const Page& page, const PlacedItem& item)
{
    return QStringLiteral("page %1 %2/%3 \"%4\"")
        .arg(page.number)
        .arg(item.band, item.control, item.text.left(30));
}

// The width (mm) of the longest line and the lines of a text laid out as painted.
struct Layout {
    QStringList lines;
    qreal width = 0;
    qreal height = 0;
};

Layout layOut(const PlacedItem& item)
{
    QFont font(item.font.family);
    font.setPointSizeF(item.font.pointSize);
    font.setBold(item.font.bold);
    font.setItalic(item.font.italic);
    const qreal pxPerMm = device600().logicalDpiY() / 25.4;
    const qreal width = (item.rect.width() - 2 * kTextInset) * pxPerMm;
    QString text = item.text;
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(text, font, &device600());
    QTextOption option;
    option.setWrapMode(item.wordWrap ? QTextOption::WrapAtWordBoundaryOrAnywhere
                                     : QTextOption::ManualWrap);
    layout.setTextOption(option);
    Layout out;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(item.wordWrap ? width : 1e9);
        out.lines << text.mid(line.textStart(), line.textLength()).trimmed();
        out.width = std::max(out.width, line.naturalTextWidth() / pxPerMm);
        out.height += line.height() / pxPerMm;
    }
    layout.endLayout();
    return out;
}

bool overlap(const QRectF& a, const QRectF& b)
{
    const QRectF common = a.intersected(b);
    return common.width() > kEpsilon && common.height() > kEpsilon;
}
} // namespace

QString wideText(int length, bool oneWord)
{
    QString out;
    for (int i = 0; i < length; ++i) {
        const bool gap = !oneWord && i % 8 == 7 && i + 1 < length;
        out += gap           ? QChar(QLatin1Char(' '))
               : (i / 8) % 2 ? QChar(0x017B)
                             : QChar(QLatin1Char('W'));
    }
    return out;
}

QStringList laidOutLines(const PlacedItem& item, qreal* height)
{
    const Layout l = layOut(item);
    if (height)
        *height = l.height;
    return l.lines;
}

QStringList textsNotFitting(const Document& doc)
{
    QStringList faults;
    for (const Page& page : doc.pages)
        for (const PlacedItem& item : page.items) {
            if (item.kind != PlacedItem::Kind::Text || item.text.trimmed().isEmpty())
                continue;
            const Layout l = layOut(item);
            const qreal room = item.rect.width() - 2 * kTextInset;
            if (l.width > room + kEpsilon || l.height > item.rect.height() + kEpsilon)
                faults << where(page, item) +
                              QStringLiteral(": needs %1x%2 mm, has %3x%4 (%5 lines)")
                                  .arg(l.width, 0, 'f', 1)
                                  .arg(l.height, 0, 'f', 1)
                                  .arg(room, 0, 'f', 1)
                                  .arg(item.rect.height(), 0, 'f', 1)
                                  .arg(l.lines.size());
            if (item.rect.bottom() > doc.paper.height() + kEpsilon)
                faults << where(page, item) + QStringLiteral(": off the paper");
        }
    return faults;
}

QStringList overlappingTexts(const Document& doc)
{
    QStringList faults;
    for (const Page& page : doc.pages) {
        QList<const PlacedItem*> texts;
        for (const PlacedItem& item : page.items)
            if (item.kind == PlacedItem::Kind::Text && !item.text.trimmed().isEmpty())
                texts << &item;
        for (qsizetype i = 0; i < texts.size(); ++i)
            for (qsizetype j = i + 1; j < texts.size(); ++j)
                if (overlap(texts[i]->rect, texts[j]->rect))
                    faults << where(page, *texts[i]) + QStringLiteral(" over ") +
                                  where(page, *texts[j]);
    }
    return faults;
}

QList<QList<PlacedItem>> bandOccurrences(const Page& page, const QString& band)
{
    QList<QList<PlacedItem>> out;
    QString first;
    bool seenFirst = false;
    for (const PlacedItem& item : page.items) {
        if (item.band != band)
            continue;
        if (!seenFirst) {
            first = item.control;
            seenFirst = true;
        }
        if (item.control == first || out.isEmpty())
            out.append(QList<PlacedItem>());
        out.last() << item;
    }
    return out;
}

QStringList rulesNotUnderRows(const Document& doc, const QString& band, const QString& rule)
{
    QStringList faults;
    for (const Page& page : doc.pages) {
        const QList<QList<PlacedItem>> rows = bandOccurrences(page, band);
        for (qsizetype r = 0; r < rows.size(); ++r) {
            const QString row =
                QStringLiteral("page %1 %2 row %3").arg(page.number).arg(band).arg(r + 1);
            qreal foot = -1;
            QList<qreal> rules;
            for (const PlacedItem& item : rows[r]) {
                if (item.kind == PlacedItem::Kind::Text)
                    foot = std::max(foot, item.rect.bottom());
                else if (item.kind != PlacedItem::Kind::Text &&
                         (rule.isEmpty() ? item.rect.height() < 1 : item.control == rule))
                    rules << item.rect.top();
            }
            if (rules.size() != 1)
                faults << row + QStringLiteral(": %1 rules").arg(rules.size());
            else if (qAbs(rules.first() - foot) > kEpsilon)
                faults << row + QStringLiteral(": rule at %1 mm, the row's foot at %2 mm")
                                    .arg(rules.first(), 0, 'f', 2)
                                    .arg(foot, 0, 'f', 2);
        }
    }
    return faults;
}

QStringList cellsNotLevel(const Document& doc, const QString& band)
{
    QStringList faults;
    for (const Page& page : doc.pages) {
        const QList<QList<PlacedItem>> rows = bandOccurrences(page, band);
        for (qsizetype r = 0; r < rows.size(); ++r) {
            const PlacedItem* first = nullptr;
            for (const PlacedItem& item : rows[r]) {
                if (item.kind != PlacedItem::Kind::Text)
                    continue;
                if (!first) {
                    first = &item;
                    continue;
                }
                const int vertical = item.alignment & Qt::AlignVertical_Mask;
                if (qAbs(item.rect.top() - first->rect.top()) > kEpsilon ||
                    qAbs(item.rect.height() - first->rect.height()) > kEpsilon ||
                    vertical != (first->alignment & Qt::AlignVertical_Mask))
                    faults << where(page, item) + QStringLiteral(" not level with ") +
                                  first->control;
            }
        }
    }
    return faults;
}

void keepPdf(const Document& doc, const QString& name)
{
    const QString keep = qEnvironmentVariable("REZYDO_KEEP_OUTPUT");
    if (!keep.isEmpty() && QDir().mkpath(keep))
        writePdf(doc, QDir(keep).filePath(name + QStringLiteral(".pdf")));
}
