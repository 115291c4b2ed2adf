#pragma once

#include "reports/engine/ui/parameter_window.h"
#include "reports/kt1.h"

class QComboBox;
class QLabel;

// "Sprawozdanie KT-1 (miesięczne)": the month picker of the statistics
// office's monthly form. The figures of the chosen month are computed when
// a printout or the file is asked for.
class TFormRapKt1 : public TFormParametry {
    Q_OBJECT
public:
    // `months`: first days, newest first; the month before `today`'s is
    // chosen when it is listed (the month usually reported), else the first.
    TFormRapKt1(QList<QDate> months, const QDate& today, QWidget* parent = nullptr);

    QDate month() const;
    const Kt1Figures& figures() const { return m_figures; }
    const Kt1Establishment& establishment() const { return m_establishment; }

    // Computes the chosen month's figures; shows a failure and returns false.
    bool compute();
    // Asks where to save the figures as a file and writes it there.
    void saveCsv();

protected:
    bool prepare() override;

private:
    QList<QDate> m_months;
    Kt1Figures m_figures;
    Kt1Establishment m_establishment;
    QComboBox* m_month = nullptr;
};
