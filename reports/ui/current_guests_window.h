#pragma once

#include "reports/engine/ui/parameter_window.h"

#include <QList>

class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;
class RowSet;
class RowSetModel;

// "Spis aktualnie zakwaterowanych": the persons of every accommodation group,
// narrowed by completeness of their data and by the search fields; the report
// prints the rows shown, with the count.
class TFormRapAktualneKwaterunki : public TFormParametry {
    Q_OBJECT
public:
    explicit TFormRapAktualneKwaterunki(QWidget* parent = nullptr);

    const RowSet& rows() const { return *m_rows; }
    QString filterItem() const;
    QString countText() const;

    void load(int dataFilter);
    void search();
    void clearSearch();

private:
    void refreshCount();

    RowSet* m_rows = nullptr;
    RowSetModel* m_model = nullptr;
    QComboBox* m_kind = nullptr;
    QList<QLineEdit*> m_search;
    QTableView* m_grid = nullptr;
    QLabel* m_count = nullptr;
};
