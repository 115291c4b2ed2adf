#include "reports/engine/report.h"

#include "core/error.h"

Band::Band(BandKind kind, qreal height_, QString name)
    : height(height_)
    , m_kind(kind)
    , m_name(std::move(name))
{
}

Control& Band::addText(const QString& name, const QRectF& rect, const QString& text, int alignment,
                       FontSpec font)
{
    Control c;
    c.kind = ControlKind::Text;
    c.name = name;
    c.rect = rect;
    c.text = text;
    c.alignment = alignment;
    c.font = std::move(font);
    controls.push_back(std::move(c));
    return controls.back();
}

Control& Band::addField(const QString& name, const QRectF& rect, const QString& column,
                        const QString& mask, int alignment, FontSpec font)
{
    Control& c = addText(name, rect, QString(), alignment, std::move(font));
    c.kind = ControlKind::Field;
    c.column = column;
    c.mask = mask;
    return c;
}

Control& Band::addSum(const QString& name, const QRectF& rect, const QString& column,
                      SumScope scope, const QString& mask, int alignment, FontSpec font)
{
    Control& c = addField(name, rect, column, mask, alignment, std::move(font));
    c.kind = ControlKind::Sum;
    c.scope = scope;
    return c;
}

Control& Band::addPageNumber(const QString& name, const QRectF& rect, const QString& prefix,
                             FontSpec font)
{
    Control& c = addText(name, rect, prefix, Qt::AlignLeft | Qt::AlignVCenter, std::move(font));
    c.kind = ControlKind::PageNumber;
    return c;
}

Control& Band::addDate(const QString& name, const QRectF& rect, const QString& prefix,
                       const QString& mask, FontSpec font)
{
    Control& c = addText(name, rect, prefix, Qt::AlignLeft | Qt::AlignVCenter, std::move(font));
    c.kind = ControlKind::Date;
    c.mask = mask;
    return c;
}

Control& Band::addLine(const QPointF& from, const QPointF& to, qreal penWidth)
{
    Control c;
    c.kind = ControlKind::Line;
    c.rect = QRectF(from, to);
    c.penWidth = penWidth;
    controls.push_back(std::move(c));
    return controls.back();
}

Control& Band::addBox(const QRectF& rect, const QColor& fill, bool framed)
{
    Control c;
    c.kind = ControlKind::Box;
    c.rect = rect;
    c.fill = fill;
    c.framed = framed;
    controls.push_back(std::move(c));
    return controls.back();
}

Control& Band::addQrCode(const QString& name, const QRectF& rect, const QString& payload)
{
    Control c;
    c.kind = ControlKind::QrCode;
    c.name = name;
    c.rect = rect;
    c.text = payload;
    controls.push_back(std::move(c));
    return controls.back();
}

Control& Band::control(const QString& name)
{
    for (Control& c : controls)
        if (c.name == name)
            return c;
    throw RezydoError(QStringLiteral("Brak pola %1 w sekcji %2 raportu").arg(name, m_name));
}

Group& DataSection::addGroup(const QString& column, qreal headerHeight, qreal footerHeight)
{
    Group g;
    g.column = column;
    const QString suffix = QString::number(groups.size() + 1);
    g.header = std::make_unique<Band>(BandKind::GroupHeader, headerHeight,
                                      QStringLiteral("NaglowekGrupy") + suffix);
    g.footer = std::make_unique<Band>(BandKind::GroupFooter, footerHeight,
                                      QStringLiteral("StopkaGrupy") + suffix);
    groups.push_back(std::move(g));
    return groups.back();
}

Band& DataSection::addSubDetail(qreal height,
                                std::function<ReportRows(const ReportData&, int)> rows,
                                const QString& name)
{
    SubDetail s;
    s.band = std::make_unique<Band>(
        BandKind::SubDetail, height,
        name.isEmpty() ? QStringLiteral("Podszczegoly%1").arg(subDetails.size() + 1) : name);
    s.rows = std::move(rows);
    subDetails.push_back(std::move(s));
    return *subDetails.back().band;
}

namespace {
Band& replace(std::unique_ptr<Band>& slot, BandKind kind, qreal height, const QString& name)
{
    slot = std::make_unique<Band>(kind, height, name);
    return *slot;
}
} // namespace

Band& Report::setTitleBand(qreal height, const QString& name)
{
    return replace(m_title, BandKind::Title, height, name);
}

Band& Report::setPageHeader(qreal height, const QString& name)
{
    return replace(m_pageHeader, BandKind::PageHeader, height, name);
}

Band& Report::setColumnHeader(qreal height, const QString& name)
{
    return replace(m_columnHeader, BandKind::ColumnHeader, height, name);
}

Band& Report::setSummary(qreal height, const QString& name)
{
    return replace(m_summary, BandKind::Summary, height, name);
}

Band& Report::setPageFooter(qreal height, const QString& name)
{
    return replace(m_pageFooter, BandKind::PageFooter, height, name);
}

Band& Report::setPageCounterFooter(qreal height, const QString& name)
{
    Band& footer = setPageFooter(height, name);
    FontSpec small;
    small.pointSize = 7;
    footer.addText(QStringLiteral("Strona"), QRectF(0, 0, 60, height), QStringLiteral("Strona"),
                   Qt::AlignLeft | Qt::AlignVCenter, small);
    onStart([this] { m_pageCounter = 1; });
    footer.beforePrint = [this](BandContext& ctx) {
        ctx.band.setText(QStringLiteral("Strona"),
                         QStringLiteral("Strona ") + QString::number(m_pageCounter));
        ++m_pageCounter;
    };
    return footer;
}

DataSection& Report::addData(const ReportData* source, qreal detailHeight,
                             const QString& detailName)
{
    BodyItem item;
    item.data = std::make_unique<DataSection>();
    item.data->source = source;
    item.data->detail = std::make_unique<Band>(BandKind::Detail, detailHeight, detailName);
    m_body.push_back(std::move(item));
    return *m_body.back().data;
}

Band& Report::addLoop(qreal height, int printCount, const QString& name)
{
    BodyItem item;
    item.loop = std::make_unique<Band>(BandKind::Loop, height, name);
    item.loop->printCount = printCount;
    m_body.push_back(std::move(item));
    return *m_body.back().loop;
}

Band* Report::band(const QString& name) const
{
    for (Band* b : {m_title.get(), m_pageHeader.get(), m_columnHeader.get(), m_summary.get(),
                    m_pageFooter.get()})
        if (b && b->name() == name)
            return b;
    for (const BodyItem& item : m_body) {
        if (item.loop && item.loop->name() == name)
            return item.loop.get();
        if (!item.data)
            continue;
        if (item.data->detail->name() == name)
            return item.data->detail.get();
        for (const Group& g : item.data->groups) {
            if (g.header->name() == name)
                return g.header.get();
            if (g.footer->name() == name)
                return g.footer.get();
        }
        for (const SubDetail& s : item.data->subDetails)
            if (s.band->name() == name)
                return s.band.get();
    }
    return nullptr;
}

void Report::runStartHooks()
{
    for (const auto& hook : m_startHooks)
        hook();
}
