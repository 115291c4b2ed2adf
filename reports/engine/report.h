#pragma once

#include "reports/engine/mask.h"
#include "reports/engine/report_rows.h"

#include <QColor>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class Band;
class Report;

// A report is a Report (or a class derived from it, named TRap...) filled in
// code, positions in millimetres:
//
//     TRapGoscie r;                                  // : Report
//     r.title = "";                                  // preview caption "Podgląd wydruku : "
//     r.setPageHeader(12).addText("Tytul", {0, 0, 190, 8}, dayTitle("Goście ", day),
//                                 Qt::AlignCenter, bold);
//     r.setColumnHeader(7).addText(...);             // repeats on every page and column
//     DataSection& d = r.addData(&rows, 6);          // rows: a ReportData (RowSetData over
//     d.detail->addField("Nazwisko", {0, 0, 50, 6}, "Nazwisko");   // a window's RowSet)
//     d.addGroup("Identyfikator", 6, 2).footer->addLine({0, 1}, {190, 1});
//     r.setPageCounterFooter();                      // "Strona n", from 1 on every run
//     runReport(r, mode);                            // preview (waits) or print

enum class BandKind {
    Title,        // once, at the top of the first page
    PageHeader,   // top of every page
    ColumnHeader, // under the page header, at the top of every column
    GroupHeader,  // before the first row of each group
    Detail,       // once per row of its data source
    SubDetail,    // once per row of a source re-read for the current detail row
    GroupFooter,  // after the last row of each group
    Summary,      // once, after the last row
    Loop,         // its print count of times, independent of any data
    PageFooter,   // bottom of every page
};

// A font as a report states it; sizes in points.
struct FontSpec {
    QString family = QStringLiteral("DejaVu Sans");
    qreal pointSize = 9;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const FontSpec&) const = default;
};

// The report family at `size` points, bold when asked.
inline FontSpec reportFont(qreal size, bool bold = false)
{
    FontSpec f;
    f.pointSize = size;
    f.bold = bold;
    return f;
}

enum class ControlKind {
    Text,       // a caption, which a hook may replace
    Field,      // a column of the current row, through a mask
    Sum,        // running SUM of a column, over the report or the current group
    PageNumber, // the page number, after the control's text
    Date,       // the current date, after the control's text
    Line,       // a rule from the rect's top-left to its bottom-right
    Box,        // a rectangle, filled and/or framed
    QrCode,     // a QR code of the control's text, filling its square rect with a quiet zone
};

enum class SumScope { Report, Group };

// One control of a band; positions in millimetres from the band's top-left.
// When a band grows, the controls that lie wholly below its stretching texts
// (a rule under the row) move down with its foot, and an upright rule or frame
// down to the foot grows with it.
struct Control {
    ControlKind kind = ControlKind::Text;
    QString name;
    QRectF rect;
    QString text;   // Text: the caption; PageNumber/Date: the prefix
    QString column; // Field and Sum
    QString mask;   // Field, Sum and Date
    ValueKind valueKind = ValueKind::Auto;
    SumScope scope = SumScope::Report;
    const ReportData* source = nullptr; // a Field of an auxiliary query: its current row
    FontSpec font;
    int alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool wordWrap = false;
    // A text that grows with its band: a wrapped one may make the band taller,
    // and every stretching text of the band grows by the same amount, so the
    // cells of a row stay alike. Controls below them move down (see the band).
    bool stretch = false;
    bool framed = false;  // a frame around a text, or the border of a box
    qreal penWidth = 0.2; // mm
    QColor fill;          // invalid = not filled
    bool visible = true;
};

// What a hook sees of the occurrence being printed.
struct BandContext {
    Band& band;
    Report& report;
    const ReportData* rows = nullptr; // the source of the current row (main or sub-detail)
    int row = -1;                     // index of the current row in `rows`, -1 when none
    int page = 0;                     // the page the band prints on (known for page bands)
    bool suppress = false;            // before-print: set to skip this occurrence

    QVariant value(const QString& column) const
    {
        return rows ? rows->value(row, column) : QVariant();
    }
};

using BandHook = std::function<void(BandContext&)>;

class Band {
public:
    Band(BandKind kind, qreal height, QString name = {});

    BandKind kind() const { return m_kind; }
    const QString& name() const { return m_name; }
    qreal height = 0;    // mm
    int printCount = 1;  // Loop bands; read before every occurrence
    bool enabled = true; // a disabled band never prints (and its hooks do not run)
    bool newPageBefore = false;
    BandHook beforePrint;
    BandHook afterPrint;

    std::vector<Control> controls;

    // Builders; each returns the control for further settings.
    Control& addText(const QString& name, const QRectF& rect, const QString& text,
                     int alignment = Qt::AlignLeft | Qt::AlignVCenter, FontSpec font = {});
    Control& addField(const QString& name, const QRectF& rect, const QString& column,
                      const QString& mask = {}, int alignment = Qt::AlignLeft | Qt::AlignVCenter,
                      FontSpec font = {});
    Control& addSum(const QString& name, const QRectF& rect, const QString& column, SumScope scope,
                    const QString& mask = {}, int alignment = Qt::AlignRight | Qt::AlignVCenter,
                    FontSpec font = {});
    Control& addPageNumber(const QString& name, const QRectF& rect, const QString& prefix,
                           FontSpec font = {});
    Control& addDate(const QString& name, const QRectF& rect, const QString& prefix,
                     const QString& mask, FontSpec font = {});
    Control& addLine(const QPointF& from, const QPointF& to, qreal penWidth = 0.2);
    Control& addBox(const QRectF& rect, const QColor& fill, bool framed = true);
    // A QR code of `payload` drawn in `rect` (a square), its quiet zone included.
    Control& addQrCode(const QString& name, const QRectF& rect, const QString& payload);

    // The control of that name; throws RezydoError when there is none, since a
    // hook naming a missing control is a fault of the report's definition.
    Control& control(const QString& name);
    void setText(const QString& name, const QString& text) { control(name).text = text; }

private:
    BandKind m_kind;
    QString m_name;
};

// A run of consecutive rows with equal values of `column`.
struct Group {
    QString column;
    std::unique_ptr<Band> header;
    std::unique_ptr<Band> footer;
};

// A band printed once per row of a source that is read anew for every row of
// its master (the detail band it belongs to).
struct SubDetail {
    std::unique_ptr<Band> band;
    std::function<ReportRows(const ReportData& master, int row)> rows;
};

// A detail band with its data source, groups (outermost first) and sub-details.
struct DataSection {
    const ReportData* source = nullptr;
    std::unique_ptr<Band> detail;
    std::vector<Group> groups;
    std::vector<SubDetail> subDetails;

    Group& addGroup(const QString& column, qreal headerHeight, qreal footerHeight);
    Band& addSubDetail(qreal height, std::function<ReportRows(const ReportData&, int)> rows,
                       const QString& name = {});
};

// The body of a report: data sections and loop bands in the order they print.
struct BodyItem {
    std::unique_ptr<DataSection> data; // either this
    std::unique_ptr<Band> loop;        // or this
};

struct PageSetup {
    QSizeF paper = QSizeF(210, 297); // A4 portrait, mm
    qreal marginLeft = 10;
    qreal marginTop = 10;
    qreal marginRight = 10;
    qreal marginBottom = 10;
    int columns = 1;
    qreal columnGap = 5;
    int copies = 1; // copies of every printing

    qreal printableWidth() const { return paper.width() - marginLeft - marginRight; }
    qreal columnWidth() const { return (printableWidth() - columnGap * (columns - 1)) / columns; }
};

// A report definition: page format, title, fixed bands and the body. The same
// object may be generated several times (preview, then print from the preview);
// every generation first runs the start hooks, which reset the report's state.
class Report {
public:
    Report() = default;
    virtual ~Report() = default;
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    QString title; // caption of the preview, name of the print job
    // What a saved copy is called (without ".pdf") when the title and the day
    // do not say it, e.g. an invoice by its number.
    QString fileName;
    PageSetup page;

    Band& setTitleBand(qreal height, const QString& name = QStringLiteral("Tytul"));
    Band& setPageHeader(qreal height, const QString& name = QStringLiteral("NaglowekStrony"));
    Band& setColumnHeader(qreal height, const QString& name = QStringLiteral("NaglowekKolumn"));
    Band& setSummary(qreal height, const QString& name = QStringLiteral("Podsumowanie"));
    Band& setPageFooter(qreal height, const QString& name = QStringLiteral("StopkaStrony"));
    // The usual page footer: one small left-aligned text "Strona " + a counter
    // that starts at 1 on every generation.
    Band& setPageCounterFooter(qreal height = 6,
                               const QString& name = QStringLiteral("BandaStopkaStrony"));

    DataSection& addData(const ReportData* source, qreal detailHeight,
                         const QString& detailName = QStringLiteral("Szczegoly"));
    Band& addLoop(qreal height, int printCount, const QString& name);

    void onStart(std::function<void()> hook) { m_startHooks.push_back(std::move(hook)); }

    Band* titleBand() const { return m_title.get(); }
    Band* pageHeader() const { return m_pageHeader.get(); }
    Band* columnHeader() const { return m_columnHeader.get(); }
    Band* summary() const { return m_summary.get(); }
    Band* pageFooter() const { return m_pageFooter.get(); }
    const std::vector<BodyItem>& body() const { return m_body; }
    // Any band by its name (nullptr if none), for hooks that change another band.
    Band* band(const QString& name) const;

    void runStartHooks();

private:
    std::unique_ptr<Band> m_title, m_pageHeader, m_columnHeader, m_summary, m_pageFooter;
    std::vector<BodyItem> m_body;
    std::vector<std::function<void()>> m_startHooks;
    int m_pageCounter = 1;
};
