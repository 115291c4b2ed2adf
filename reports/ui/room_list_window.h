#pragma once

#include "reports/engine/ui/parameter_window.h"

#include <QDate>
#include <QList>

class QDateEdit;
class QLabel;
class QLineEdit;
class QTableView;
class RowSet;
class RowSetModel;

// The room lines of the arrivals (kind 1) or departures (kind 2) of a day,
// or of every reservation (kind 3), with search fields over the grid.
class TFormRapOsoby : public TFormParametry {
    Q_OBJECT
public:
    explicit TFormRapOsoby(int kind, QWidget* parent = nullptr);

    int kind() const { return m_kind; }
    QDate day() const;
    const RowSet& rows() const { return *m_rows; }

    void load();
    void search();
    void clearSearch();

    static QString caption(int kind);

private:
    int m_kind;
    RowSet* m_rows = nullptr;
    RowSetModel* m_model = nullptr;
    QLabel* m_dayLabel = nullptr;
    QDateEdit* m_day = nullptr;
    QList<QLineEdit*> m_search;
    QTableView* m_grid = nullptr;
};
