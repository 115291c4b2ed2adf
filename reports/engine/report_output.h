#pragma once

#include "reports/engine/report.h"

#include <QDate>
#include <QString>

#include <memory>

enum class ReportOutput { Preview, Print };

// How a run of a report ended: complete, or stopped because the preview was
// closed while pages were still being made.
enum class RunResult { Completed, Interrupted };

// What a report launcher hands back: success, or failure with the message the
// calling command shows.
struct LaunchResult {
    bool ok = true;
    QString message;
    static LaunchResult success() { return {}; }
    static LaunchResult failure(const QString& text) { return {false, text}; }
};

inline const QString kNoDataMessage = QStringLiteral("Nie ma żadnych danych do wydruku.");

// Shows and prints reports. The window layer installs the preview window and
// the printer; without it, a preview only lays the report out and printing
// writes a PDF into the user's documents folder.
class ReportPresenter {
public:
    virtual ~ReportPresenter() = default;
    // Generates the report into the preview and returns when the preview closes.
    virtual RunResult previewModal(Report& report) = 0;
    // Shows the preview and returns at once; the preview keeps the report.
    virtual void preview(std::shared_ptr<Report> report) = 0;
    // Generates the report for the printer, without a preview.
    virtual RunResult print(Report& report) = 0;
};

ReportPresenter& reportPresenter();
// Installs `p` (nullptr restores the plain one) and returns the previous one.
std::unique_ptr<ReportPresenter> installReportPresenter(std::unique_ptr<ReportPresenter> p);

// Step 4 and 5 of every launcher: runs the report in the mode, then lets
// pending window events be processed.
RunResult runReport(Report& report, ReportOutput mode);

// Where a PDF goes when there is no printer: the user's documents folder,
// named after the report's title and the current time.
QString fallbackPdfPath(const QString& title);

// The user's documents folder (the home folder where the system names none),
// made when it does not exist yet.
QString documentsFolder();
// The name proposed for a saved copy of a report: its file name, or else its
// title (or "Wydruk") and the day, so that a copy of another day stays.
QString pdfFileName(const Report& report, const QDate& day);

// Titles completed by a launcher: the caption followed by a period, a day with
// its weekday name, or a filter.
QString periodTitle(const QString& caption, const QDate& from, const QDate& to,
                    bool fullStop = false);
QString dayTitle(const QString& caption, const QDate& day);
QString filterTitle(const QString& caption, const QString& filter);
