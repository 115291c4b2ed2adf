#pragma once

#include "reports/engine/document.h"
#include "reports/engine/report_output.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QLabel;
class QPrinter;
class QScrollArea;

// The preview of a report: a toolbar, the page view and a page label. Pages
// appear as they are made; printing and saving generate the report again.
class TFormPodglad : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormPodglad(Report& report, QWidget* parent = nullptr);
    ~TFormPodglad() override;

    // Lays the report out page by page, letting the event loop turn after
    // each page. Returns Interrupted when the window was closed meanwhile.
    RunResult generate();

    int currentPage() const { return m_current; }
    int pageCount() const { return m_doc.pageCount(); }
    qreal zoom() const { return m_zoom; } // percent
    bool isFinished() const { return m_finished; }
    bool isGenerating() const { return m_generating; }
    bool isClosed() const { return m_closed; }
    const Document& document() const { return m_doc; }
    QAction* action(const QString& name) const;

    void showPage(int page);
    void firstPage();
    void previousPage();
    void nextPage();
    void lastPage();
    void fitHeight();
    void zoom100();
    void fitWidth();
    void print();
    void printSetup();
    void saveAsPdf();
    void closePreview();

Q_SIGNALS:
    void pageAdded(int pageNumber);
    void finished();
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QAction* addButton(const QString& name, const QString& caption, const QString& hint,
                       void (TFormPodglad::*slot)());
    void refreshLabel();
    void render();
    void setZoom(qreal percent);
    QSizeF pageSizePixels(qreal percent) const;

    Report& m_report;
    Document m_doc;
    std::unique_ptr<QPrinter> m_printer; // the choices of the print setup
    QScrollArea* m_view = nullptr;
    QLabel* m_image = nullptr;
    QLabel* m_label = nullptr;
    int m_current = 1;
    qreal m_zoom = 100;
    bool m_finished = false;
    bool m_generating = false;
    bool m_closed = false;
};
