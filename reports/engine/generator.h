#pragma once

#include "reports/engine/document.h"
#include "reports/engine/report.h"

#include <QHash>

#include <functional>

// Lays a report out into a Document, page after page. After each finished
// page `onPage` runs (the preview shows the page and lets the event loop
// turn there); when it returns false the generation stops.
class ReportGenerator {
public:
    explicit ReportGenerator(Report& report);

    std::function<bool(const Document& soFar, int pageNumber)> onPage;

    // Resets the report's state (start hooks) and lays out the whole report.
    // Returns false when onPage stopped it; the document then holds the pages
    // finished so far.
    bool run();
    const Document& document() const { return m_doc; }
    Document takeDocument() { return std::move(m_doc); }

private:
    struct Stop {};

    void beginPage();
    void finishPage();
    void advance();
    void forceNewPage();
    void printPageBand(Band* band, qreal top);
    bool printBand(Band& band, const ReportData* rows, int row, int groupLevel = -1);
    void place(Band& band, const BandContext& ctx, qreal x0, qreal top, qreal height,
               int groupLevel);
    qreal bandHeight(const Band& band, const BandContext& ctx, int groupLevel) const;
    QString controlText(const Control& c, const BandContext& ctx, int groupLevel) const;
    void walk(const DataSection& section);
    void accumulate(const ReportData& rows, int row);
    void collectSums();
    qreal columnX() const;

    Report& m_report;
    Document m_doc;
    Page m_page;
    int m_pageNumber = 0;
    int m_column = 0;
    qreal m_y = 0;
    qreal m_columnTop = 0;
    bool m_atColumnTop = true;
    const ReportData* m_rows = nullptr; // the current main source and row, for page bands
    int m_row = -1;
    // Running sums by column and value kind: the report's and one per group level.
    QList<QPair<QString, ValueKind>> m_sumColumns;
    QHash<QString, qint64> m_reportSums;
    QList<QHash<QString, qint64>> m_groupSums;
};

// The whole report laid out, without stopping.
Document generateDocument(Report& report);
