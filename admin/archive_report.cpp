#include "admin/archive_report.h"

#include "admin/archive_rows.h"
#include "db/row_set.h"
#include "reports/engine/mask.h"

#include <QColor>

namespace {
constexpr int kLeftTop = Qt::AlignLeft | Qt::AlignTop;
constexpr int kCenterTop = Qt::AlignHCenter | Qt::AlignTop;
constexpr qreal kWidth = 190;
constexpr qreal kHeadingHeight = 9;
// Two lines of the small font; a longer name, address or remark wraps on and
// the band grows with it, its rule staying under it.
constexpr qreal kRowHeight = 8;
constexpr qreal kRuleHeight = 0.3;

struct Column {
    const char* heading; // control name of the heading
    const char* name;    // control name on the detail band
    QString caption;
    qreal x, width;
    int alignment;
};

const QList<Column>& columns()
{
    // A day, and a document word with an ordinary number ("dowód ARK530771",
    // "paszport EA1234567"), fit one line of their columns.
    static const QList<Column> list = {
        {"NazwiskoKol", "NazwiskoImie", QStringLiteral("Nazwisko i imię"), 0, 30, kLeftTop},
        {"OdKol", "Od", QStringLiteral("Od"), 30, 17, kCenterTop},
        {"DoKol", "Do", QStringLiteral("Do"), 47, 17, kCenterTop},
        {"PokojKol", "Nr_pokoju", QStringLiteral("Nr pokoju"), 64, 12, kCenterTop},
        {"UrodzenieKol", "Urodzenie", QStringLiteral("Data i miejsce urodzenia"), 76, 26, kLeftTop},
        {"AdresKol", "Adres", QStringLiteral("Adres"), 102, 34, kLeftTop},
        {"DokumentKol", "Dokument", QStringLiteral("Dokument"), 136, 28, kLeftTop},
        {"UwagiKol", "Uwagi", QStringLiteral("Uwagi"), 164, 26, kLeftTop},
    };
    return list;
}

QRectF cell(const Column& c, qreal top, qreal height)
{
    return QRectF(c.x + 0.5, top, c.width - 1, height);
}

// The rows of the archive's grid as the report reads them.
class ArchiveRowsData final : public ReportData {
public:
    explicit ArchiveRowsData(const ArchiveRows& rows)
        : m_rows(rows)
    {
    }
    int rowCount() const override { return m_rows.rowCount(); }
    QVariant value(int row, const QString& column) const override
    {
        return m_rows.value(row, column);
    }
    using ReportData::value;
    int current() const override { return m_rows.current(); }

private:
    const ArchiveRows& m_rows;
};

QString text(const BandContext& ctx, const char* column)
{
    const QVariant v = ctx.value(QString::fromLatin1(column));
    return v.isNull() ? QString() : v.toString();
}
} // namespace

QString archiveDocumentWord(const QVariant& kind)
{
    bool ok = false;
    const int code = kind.toInt(&ok);
    if (!ok)
        return {};
    switch (code) {
    case 1:
        return QStringLiteral("dowód ");
    case 2:
        return QStringLiteral("paszport ");
    case 3:
        return QStringLiteral("leg. stud. ");
    case 4:
        return QStringLiteral("leg. szkol. ");
    default:
        return {};
    }
}

TRapArchiwum::TRapArchiwum(const ReportData& rows)
{
    title = QStringLiteral("Archiwum gości");

    setPageHeader(7).addPageNumber(QStringLiteral("Strona"), QRectF(0, 0, kWidth, 5),
                                   QStringLiteral("Strona "), reportFont(8));

    Band& headings = setColumnHeader(kHeadingHeight);
    for (const Column& c : columns()) {
        Control& h = headings.addText(QString::fromLatin1(c.heading), cell(c, 0.5, 8), c.caption,
                                      c.alignment, reportFont(7, true));
        h.wordWrap = true;
    }
    headings.addLine(QPointF(0, 0), QPointF(kWidth, 0));
    headings.addLine(QPointF(0, kHeadingHeight), QPointF(kWidth, kHeadingHeight));

    Band& detail = *addData(&rows, kRowHeight).detail;
    for (const Column& c : columns()) {
        const QString name = QString::fromLatin1(c.name);
        // The cells reach down to the grey rule.
        const QRectF rect = cell(c, 0.5, kRowHeight - 0.5 - kRuleHeight);
        Control* control = nullptr;
        if (name == QLatin1String("Od") || name == QLatin1String("Do")) {
            control = &detail.addField(name, rect, name, QStringLiteral("yyyy-mm-dd"), c.alignment,
                                       reportFont(7));
            control->valueKind = ValueKind::Day;
        } else if (name == QLatin1String("Nr_pokoju") || name == QLatin1String("Adres") ||
                   name == QLatin1String("Uwagi")) {
            control = &detail.addField(name, rect, name, {}, c.alignment, reportFont(7));
        } else {
            control = &detail.addText(name, rect, {}, c.alignment, reportFont(7));
        }
        control->wordWrap = true;
        control->stretch = true;
    }
    detail
        .addBox(QRectF(0, kRowHeight - kRuleHeight, kWidth, kRuleHeight), QColor(192, 192, 192),
                false)
        .name = QStringLiteral("Linia");
    detail.beforePrint = [](BandContext& ctx) {
        ctx.band.setText(QStringLiteral("NazwiskoImie"),
                         text(ctx, "Nazwisko") + QLatin1Char(' ') + text(ctx, "Imie"));
        ctx.band.setText(QStringLiteral("Urodzenie"),
                         formatValue(ctx.value(QStringLiteral("Data_ur")),
                                     QStringLiteral("yyyy-mm-dd"), ValueKind::Day) +
                             QLatin1Char(' ') + text(ctx, "Miejsce_ur"));
        ctx.band.setText(QStringLiteral("Dokument"),
                         archiveDocumentWord(ctx.value(QStringLiteral("Dokument_rodz"))) +
                             text(ctx, "Dokument_nr"));
    };
}

LaunchResult printArchive(const RowSet& rows, ReportOutput mode)
{
    if (rows.isEmpty())
        return LaunchResult::failure(kNoDataMessage);
    const RowSetData data(rows);
    TRapArchiwum report(data);
    runReport(report, mode);
    return LaunchResult::success();
}

LaunchResult printArchive(ArchiveRows& rows, ReportOutput mode)
{
    rows.fetchAll();
    if (rows.isEmpty())
        return LaunchResult::failure(kNoDataMessage);
    const ArchiveRowsData data(rows);
    TRapArchiwum report(data);
    runReport(report, mode);
    return LaunchResult::success();
}
