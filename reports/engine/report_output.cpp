#include "reports/engine/report_output.h"

#include "core/clock.h"
#include "core/error.h"
#include "reports/engine/generator.h"
#include "reports/engine/mask.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {
class PlainPresenter final : public ReportPresenter {
public:
    RunResult previewModal(Report& report) override
    {
        generateDocument(report);
        return RunResult::Completed;
    }
    void preview(std::shared_ptr<Report> report) override { generateDocument(*report); }
    RunResult print(Report& report) override
    {
        const Document doc = generateDocument(report);
        const QString path = fallbackPdfPath(report.title);
        if (!writePdf(doc, path))
            throw RezydoError(QStringLiteral("Nie można zapisać pliku %1").arg(path));
        return RunResult::Completed;
    }
};

std::unique_ptr<ReportPresenter>& slot()
{
    static std::unique_ptr<ReportPresenter> presenter = std::make_unique<PlainPresenter>();
    return presenter;
}
} // namespace

ReportPresenter& reportPresenter()
{
    return *slot();
}

std::unique_ptr<ReportPresenter> installReportPresenter(std::unique_ptr<ReportPresenter> p)
{
    std::unique_ptr<ReportPresenter> previous = std::move(slot());
    slot() = p ? std::move(p) : std::make_unique<PlainPresenter>();
    return previous;
}

RunResult runReport(Report& report, ReportOutput mode)
{
    const RunResult result = mode == ReportOutput::Preview ? reportPresenter().previewModal(report)
                                                           : reportPresenter().print(report);
    QCoreApplication::processEvents();
    return result;
}

namespace {
// A title as a file name: no characters that file systems refuse.
QString fileNameOf(const QString& title)
{
    QString name = title.isEmpty() ? QStringLiteral("Wydruk") : title;
    name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("_"));
    return name.simplified();
}
} // namespace

QString documentsFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    QDir().mkpath(folder);
    return folder;
}

QString fallbackPdfPath(const QString& title)
{
    const QString name = fileNameOf(title) + QLatin1Char(' ') +
                         now().toString(QStringLiteral("yyyy.MM.dd hh.mm.ss"));
    return QDir(documentsFolder()).filePath(name + QStringLiteral(".pdf"));
}

QString pdfFileName(const Report& report, const QDate& day)
{
    const QString name = report.fileName.isEmpty() ? fileNameOf(report.title) + QLatin1Char(' ') +
                                                         day.toString(Qt::ISODate)
                                                   : fileNameOf(report.fileName);
    return name + QStringLiteral(".pdf");
}

QString periodTitle(const QString& caption, const QDate& from, const QDate& to, bool fullStop)
{
    const QString mask = QStringLiteral("yyyy-mm-dd");
    return caption + formatDate(from, mask) + QStringLiteral(" do ") + formatDate(to, mask) +
           (fullStop ? QStringLiteral(".") : QString());
}

QString dayTitle(const QString& caption, const QDate& day)
{
    return caption + formatDate(day, QStringLiteral("yyyy-mm-dd (dddd)"));
}

QString filterTitle(const QString& caption, const QString& filter)
{
    return caption + QStringLiteral(" (") + filter + QStringLiteral(")");
}
