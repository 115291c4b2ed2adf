#pragma once

#include "reports/engine/ui/parameter_window.h"

#include <QDate>

class QDateEdit;
class QTableView;
class RowSet;
class RowSetModel;

// "Wydruk grup zakwaterowanych w danym dniu ": the persons accommodated on the
// chosen day, and the groups of that day nobody is registered in yet.
class TFormRapMeldunki : public TFormParametry {
    Q_OBJECT
public:
    explicit TFormRapMeldunki(QWidget* parent = nullptr);

    QDate day() const;
    const RowSet& rows() const { return *m_rows; }
    void load();

private:
    RowSet* m_rows = nullptr;
    RowSetModel* m_model = nullptr;
    QDateEdit* m_day = nullptr;
    QTableView* m_grid = nullptr;
};
