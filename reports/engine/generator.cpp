#include "reports/engine/generator.h"

#include "core/clock.h"
#include "core/money.h"

namespace {
QString sumKey(const QString& column, ValueKind kind)
{
    return column.toLower() + QLatin1Char('|') + QString::number(static_cast<int>(kind));
}

bool sameValue(const QVariant& a, const QVariant& b)
{
    return a.isNull() == b.isNull() && a.toString() == b.toString();
}
} // namespace

ReportGenerator::ReportGenerator(Report& report)
    : m_report(report)
{
}

qreal ReportGenerator::columnX() const
{
    const PageSetup& p = m_report.page;
    return p.marginLeft + m_column * (p.columnWidth() + p.columnGap);
}

bool ReportGenerator::run()
{
    m_doc = Document();
    m_doc.title = m_report.title;
    m_doc.paper = m_report.page.paper;
    m_doc.copies = m_report.page.copies;
    m_pageNumber = 0;
    m_rows = nullptr;
    m_row = -1;
    m_report.runStartHooks();
    collectSums();
    try {
        beginPage();
        if (Band* title = m_report.titleBand()) {
            printBand(*title, m_rows, m_row);
            m_columnTop = m_y;
        }
        if (Band* header = m_report.columnHeader())
            printBand(*header, m_rows, m_row);
        for (const BodyItem& item : m_report.body()) {
            if (item.data) {
                walk(*item.data);
            } else {
                for (int i = 0; i < item.loop->printCount; ++i)
                    printBand(*item.loop, m_rows, m_row);
            }
        }
        if (Band* summary = m_report.summary())
            printBand(*summary, m_rows, m_row);
        finishPage();
    } catch (const Stop&) {
        return false;
    }
    return true;
}

void ReportGenerator::collectSums()
{
    m_sumColumns.clear();
    m_reportSums.clear();
    m_groupSums.clear();
    auto collect = [this](const Band* band) {
        if (!band)
            return;
        for (const Control& c : band->controls) {
            const QPair<QString, ValueKind> key(c.column, c.valueKind);
            if (c.kind == ControlKind::Sum && !m_sumColumns.contains(key))
                m_sumColumns << key;
        }
    };
    for (const Band* b : {m_report.titleBand(), m_report.pageHeader(), m_report.columnHeader(),
                          m_report.summary(), m_report.pageFooter()})
        collect(b);
    for (const BodyItem& item : m_report.body()) {
        collect(item.loop.get());
        if (!item.data)
            continue;
        collect(item.data->detail.get());
        for (const Group& g : item.data->groups) {
            collect(g.header.get());
            collect(g.footer.get());
        }
        for (const SubDetail& s : item.data->subDetails)
            collect(s.band.get());
    }
}

void ReportGenerator::beginPage()
{
    ++m_pageNumber;
    m_page = Page();
    m_page.number = m_pageNumber;
    m_column = 0;
    m_y = m_report.page.marginTop;
    printPageBand(m_report.pageHeader(), m_y);
    m_columnTop = m_y;
    m_atColumnTop = true;
}

void ReportGenerator::finishPage()
{
    if (Band* footer = m_report.pageFooter(); footer && footer->enabled) {
        const PageSetup& p = m_report.page;
        printPageBand(footer, p.paper.height() - p.marginBottom - footer->height);
    }
    m_doc.pages.append(m_page);
    if (onPage && !onPage(m_doc, m_pageNumber))
        throw Stop{};
}

void ReportGenerator::advance()
{
    if (m_column + 1 < m_report.page.columns) {
        ++m_column;
        m_y = m_columnTop;
        m_atColumnTop = true;
    } else {
        finishPage();
        beginPage();
    }
    if (Band* header = m_report.columnHeader())
        printBand(*header, m_rows, m_row);
    m_atColumnTop = true;
}

void ReportGenerator::forceNewPage()
{
    finishPage();
    beginPage();
    if (Band* header = m_report.columnHeader())
        printBand(*header, m_rows, m_row);
    m_atColumnTop = true;
}

// Page header and footer span the page and never break it.
void ReportGenerator::printPageBand(Band* band, qreal top)
{
    if (!band || !band->enabled)
        return;
    BandContext ctx{*band, m_report, m_rows, m_row, m_pageNumber};
    if (band->beforePrint)
        band->beforePrint(ctx);
    if (ctx.suppress)
        return;
    const qreal h = bandHeight(*band, ctx, -1);
    place(*band, ctx, m_report.page.marginLeft, top, h, -1);
    if (band->kind() == BandKind::PageHeader)
        m_y = top + h;
    if (band->afterPrint)
        band->afterPrint(ctx);
}

bool ReportGenerator::printBand(Band& band, const ReportData* rows, int row, int groupLevel)
{
    if (!band.enabled)
        return false;
    BandContext ctx{band, m_report, rows, row, m_pageNumber};
    if (band.beforePrint)
        band.beforePrint(ctx);
    if (ctx.suppress)
        return false;
    const qreal h = bandHeight(band, ctx, groupLevel);
    const bool isColumnHeader = band.kind() == BandKind::ColumnHeader;
    if (!isColumnHeader) {
        if (band.newPageBefore && !(m_atColumnTop && m_column == 0))
            forceNewPage();
        const PageSetup& p = m_report.page;
        Band* footer = m_report.pageFooter();
        const qreal bottom =
            p.paper.height() - p.marginBottom - (footer && footer->enabled ? footer->height : 0);
        if (m_y + h > bottom + 1e-6 && !m_atColumnTop)
            advance();
    }
    ctx.page = m_pageNumber;
    const bool spansPage = band.kind() == BandKind::Title;
    place(band, ctx, spansPage ? m_report.page.marginLeft : columnX(), m_y, h, groupLevel);
    m_y += h;
    if (!isColumnHeader && band.kind() != BandKind::Title)
        m_atColumnTop = false;
    if (band.afterPrint)
        band.afterPrint(ctx);
    return true;
}

// A band grows by what its tallest wrapped text needs beyond its own box; the
// texts of the row grow with it and whatever lies below them moves down.
qreal ReportGenerator::bandHeight(const Band& band, const BandContext& ctx, int groupLevel) const
{
    qreal h = band.height;
    for (const Control& c : band.controls) {
        if (!c.visible || !c.stretch || !c.wordWrap)
            continue;
        // Half a millimetre above and below keeps the lines clear of the row's rules.
        const qreal needed =
            wrappedTextHeight(c.font, controlText(c, ctx, groupLevel), c.rect.width()) + 1;
        h = std::max(h, band.height + needed - c.rect.height());
    }
    return h;
}

QString ReportGenerator::controlText(const Control& c, const BandContext& ctx, int groupLevel) const
{
    switch (c.kind) {
    case ControlKind::Text:
        return c.text;
    case ControlKind::Field: {
        const QVariant v = c.source ? c.source->value(c.column) : ctx.value(c.column);
        return formatValue(v, c.mask, c.valueKind);
    }
    case ControlKind::Sum: {
        const QString key = sumKey(c.column, c.valueKind);
        const bool group = c.scope == SumScope::Group && !m_groupSums.isEmpty();
        const int level = groupLevel >= 0 ? groupLevel : static_cast<int>(m_groupSums.size()) - 1;
        const qint64 units = group ? m_groupSums[level].value(key) : m_reportSums.value(key);
        if (!c.mask.isEmpty())
            return formatNumber(units, 4, c.mask);
        return c.valueKind == ValueKind::Money ? Money::fromUnits(units).toPlainString()
                                               : formatNumber(units, 4, QStringLiteral("0.####"));
    }
    case ControlKind::PageNumber:
        return c.text + QString::number(ctx.page);
    case ControlKind::Date:
        return c.text +
               formatDate(today(), c.mask.isEmpty() ? QStringLiteral("yyyy-mm-dd") : c.mask);
    case ControlKind::QrCode:
        return c.text;
    case ControlKind::Line:
    case ControlKind::Box:
        break;
    }
    return {};
}

namespace {
// The foot of a band's stretching texts as designed: a control from there down
// (a rule under the row) moves down as the band grows.
qreal stretchFoot(const Band& band)
{
    qreal foot = -1;
    for (const Control& c : band.controls)
        if (c.visible && c.stretch && c.kind != ControlKind::Line && c.kind != ControlKind::Box &&
            c.kind != ControlKind::QrCode)
            foot = std::max(foot, c.rect.bottom());
    return foot;
}
} // namespace

void ReportGenerator::place(Band& band, const BandContext& ctx, qreal x0, qreal top, qreal height,
                            int groupLevel)
{
    const qreal growth = std::max<qreal>(0, height - band.height);
    const qreal foot = growth > 0 ? stretchFoot(band) : -1;
    for (const Control& c : band.controls) {
        if (!c.visible)
            continue;
        PlacedItem item;
        item.band = band.name();
        item.control = c.name;
        item.penWidth = c.penWidth;
        item.rect = c.rect.translated(x0, top);
        if (foot >= 0 && c.rect.top() >= foot - 1e-6) {
            item.rect.translate(0, growth);
        } else if (foot >= 0 && (c.kind == ControlKind::Line || c.kind == ControlKind::Box) &&
                   c.rect.height() > 0 && c.rect.bottom() >= band.height - 1e-6) {
            // An upright rule or a frame down to the band's foot reaches the grown foot.
            item.rect.setBottom(item.rect.bottom() + growth);
        }
        if (c.kind == ControlKind::Line) {
            item.kind = PlacedItem::Kind::Line;
        } else if (c.kind == ControlKind::Box) {
            item.kind = PlacedItem::Kind::Box;
            item.fill = c.fill;
            item.framed = c.framed;
        } else if (c.kind == ControlKind::QrCode) {
            item.kind = PlacedItem::Kind::QrCode;
            item.text = c.text;
        } else {
            item.kind = PlacedItem::Kind::Text;
            item.text = controlText(c, ctx, groupLevel);
            item.font = c.font;
            item.alignment = c.alignment;
            item.wordWrap = c.wordWrap;
            item.framed = c.framed;
            if (c.stretch)
                item.rect.setHeight(c.rect.height() + growth);
        }
        m_page.items.append(item);
    }
}

void ReportGenerator::accumulate(const ReportData& rows, int row)
{
    for (const auto& [column, kind] : m_sumColumns) {
        const qint64 units = numericUnits(rows.value(row, column), kind);
        const QString key = sumKey(column, kind);
        m_reportSums[key] += units;
        for (auto& sums : m_groupSums)
            sums[key] += units;
    }
}

void ReportGenerator::walk(const DataSection& section)
{
    static const ReportRows none;
    const ReportData& rows = section.source ? *section.source : none;
    const int levels = static_cast<int>(section.groups.size());
    m_groupSums = QList<QHash<QString, qint64>>(levels);
    for (int i = 0; i < rows.rowCount(); ++i) {
        int breakLevel = levels;
        for (int l = 0; l < levels && breakLevel == levels; ++l)
            if (i == 0 || !sameValue(rows.value(i, section.groups[l].column),
                                     rows.value(i - 1, section.groups[l].column)))
                breakLevel = l;
        if (i > 0)
            for (int l = levels - 1; l >= breakLevel; --l)
                printBand(*section.groups[l].footer, &rows, i - 1, l);
        m_rows = &rows;
        m_row = i;
        for (int l = breakLevel; l < levels; ++l) {
            m_groupSums[l].clear();
            printBand(*section.groups[l].header, &rows, i, l);
        }
        accumulate(rows, i);
        printBand(*section.detail, &rows, i);
        for (const SubDetail& sub : section.subDetails) {
            const ReportRows subRows = sub.rows ? sub.rows(rows, i) : ReportRows();
            for (int j = 0; j < subRows.rowCount(); ++j)
                printBand(*sub.band, &subRows, j);
        }
    }
    if (rows.rowCount() > 0)
        for (int l = levels - 1; l >= 0; --l)
            printBand(*section.groups[l].footer, &rows, rows.rowCount() - 1, l);
}

Document generateDocument(Report& report)
{
    ReportGenerator generator(report);
    generator.run();
    return generator.takeDocument();
}
