#pragma once

#include "reports/engine/report_output.h"

#include <QDialog>

class QPushButton;
class QVBoxLayout;

// The base of every report parameter window: the report's own controls above,
// "&Podgląd", "&Drukuj" and "&Zamknij" below. Closing by the title bar counts
// as "&Zamknij". A window given the main window as its parent is centred on it;
// one without a parent is centred on the screen.
class TFormParametry : public QDialog {
    Q_OBJECT
public:
    explicit TFormParametry(const QString& caption, QWidget* parent = nullptr);

    ReportOutput mode() const { return m_mode; }
    // Where a report's window puts its own controls.
    QVBoxLayout* content() const { return m_content; }

    QPushButton* previewButton() const { return m_preview; }
    QPushButton* printButton() const { return m_print; }
    QPushButton* closeButton() const { return m_close; }

protected:
    void showEvent(QShowEvent* event) override;

    // Runs when "&Podgląd" or "&Drukuj" is pressed, before the window closes
    // with OK; returning false keeps it from closing with OK.
    virtual bool prepare() { return true; }

private:
    void choose(ReportOutput mode);

    ReportOutput m_mode = ReportOutput::Preview;
    QVBoxLayout* m_content = nullptr;
    QPushButton* m_preview = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_close = nullptr;
};
