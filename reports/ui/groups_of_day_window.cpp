#include "reports/ui/groups_of_day_window.h"

#include "core/clock.h"
#include "core/error.h"
#include "core/ui/list_grid.h"
#include "db/row_set.h"
#include "db/row_set_model.h"
#include "reports/guest_list_search.h"
#include "reports/guest_lists.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

TFormRapMeldunki::TFormRapMeldunki(QWidget* parent)
    : TFormParametry(QStringLiteral("Wydruk grup zakwaterowanych w danym dniu "), parent)
{
    setObjectName(QStringLiteral("TFormRapMeldunki"));
    m_rows = new RowSet(this);
    m_rows->setKinds({{"KwatOd", ColumnKind::Day},
                      {"KwatDo", ColumnKind::Day},
                      {"ArchOd", ColumnKind::Day},
                      {"ArchDo", ColumnKind::Day},
                      {"Data", ColumnKind::Day}});

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Data zakwaterowania"), this));
    m_day = new QDateEdit(today(), this);
    m_day->setObjectName(QStringLiteral("Data"));
    m_day->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_day->setCalendarPopup(true);
    top->addWidget(m_day);
    top->addStretch(1);
    content()->addLayout(top);

    m_grid = makeListGrid(this, QStringLiteral("Lista"));
    m_model = new RowSetModel(*m_rows, this);
    m_model->setColumns(
        {{QStringLiteral("Dane"), QStringLiteral("Dane osoby lub grupy")},
         {QStringLiteral("Nr_pokoju"), QStringLiteral("Nr pokoju"), Qt::AlignHCenter},
         {QStringLiteral("Data"), QStringLiteral("Do"), Qt::AlignHCenter}});
    m_grid->setModel(m_model);
    m_model->followSelection(m_grid->selectionModel());
    m_grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    content()->addWidget(m_grid, 1);
    resize(560, 400);

    guarded([this] { load(); });
    connect(m_day, &QDateEdit::dateChanged, this, [this] { guarded([this] { load(); }); });
}

QDate TFormRapMeldunki::day() const
{
    return m_day->date();
}

void TFormRapMeldunki::load()
{
    openStatement(*m_rows, groupsOfDayStatement(day()));
}
