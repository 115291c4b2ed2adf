#include "stays/ui/reservation_confirmation_window.h"

#include "core/ui/list_grid.h"
#include "db/data_module.h"
#include "db/row_set.h"
#include "db/row_set_model.h"
#include "stays/reservation_confirmation.h"

#include <QTableView>
#include <QVBoxLayout>

TFormRapPotwierdzenie::TFormRapPotwierdzenie(QWidget* parent)
    : TFormParametry(QStringLiteral("Potwierdzenie rezerwacji"), parent)
{
    setObjectName(QStringLiteral("TFormRapPotwierdzenie"));
    m_rows = new RowSet(this);
    m_rows->setKinds({{"Od", ColumnKind::Day}, {"Do", ColumnKind::Day}});
    m_rows->open(QStringLiteral("select Identyfikator, Nazwa, Osob, Od, \"Do\", substr(Notatki, "
                                "1, 20) AS Notatki from Rez_hot"));
    auto* grid = new QTableView(this);
    grid->setObjectName(QStringLiteral("Lista"));
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* model = new RowSetModel(*m_rows, this);
    model->setColumns({{QStringLiteral("Nazwa"), QStringLiteral("Nazwa")},
                       {QStringLiteral("Osob"), QStringLiteral("Osob"), Qt::AlignHCenter},
                       {QStringLiteral("Od"), QStringLiteral("Od"), Qt::AlignHCenter},
                       {QStringLiteral("Do"), QStringLiteral("Do"), Qt::AlignHCenter},
                       {QStringLiteral("Notatki"), QStringLiteral("Notatki")}});
    grid->setModel(model);
    model->followSelection(grid->selectionModel());
    fitColumns(grid, -1);
    content()->addWidget(grid, 1);
    resize(600, 400);
}

void TFormRapPotwierdzenie::printCurrent(ReportOutput mode)
{
    if (m_rows->current() < 0)
        return;
    printReservationConfirmation(dataModule().database(),
                                 m_rows->value(QStringLiteral("Identyfikator")).toInt(),
                                 m_rows->value(QStringLiteral("Nazwa")).toString(),
                                 dayFromValue(m_rows->value(QStringLiteral("Od"))),
                                 dayFromValue(m_rows->value(QStringLiteral("Do"))), mode);
}
