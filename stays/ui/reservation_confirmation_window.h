#pragma once

#include "reports/engine/ui/parameter_window.h"

class RowSet;

// "Potwierdzenie rezerwacji": every reservation group; the letter is made
// for the selected one.
class TFormRapPotwierdzenie : public TFormParametry {
    Q_OBJECT
public:
    explicit TFormRapPotwierdzenie(QWidget* parent = nullptr);
    RowSet& rows() const { return *m_rows; }
    // Runs the letter of the current row (nothing for an empty list).
    void printCurrent(ReportOutput mode);

private:
    RowSet* m_rows = nullptr;
};
