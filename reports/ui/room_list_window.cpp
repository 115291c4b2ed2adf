#include "reports/ui/room_list_window.h"

#include "core/clock.h"
#include "core/error.h"
#include "core/prompter.h"
#include "core/ui/column_fields.h"
#include "core/ui/list_grid.h"
#include "db/row_set.h"
#include "db/row_set_model.h"
#include "reports/guest_list_search.h"
#include "reports/guest_lists.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

QString TFormRapOsoby::caption(int kind)
{
    switch (kind) {
    case 1:
        return QStringLiteral("Osoby przyjeżdżające danego dnia");
    case 2:
        return QStringLiteral("Osoby wyjeżdżające danego dnia");
    default:
        return QStringLiteral("Spis rezerwacji");
    }
}

TFormRapOsoby::TFormRapOsoby(int kind, QWidget* parent)
    : TFormParametry(caption(kind), parent)
    , m_kind(kind)
{
    setObjectName(QStringLiteral("TFormRapOsoby"));
    m_rows = new RowSet(this);
    m_rows->setKinds({{"Od", ColumnKind::Day},
                      {"Do", ColumnKind::Day},
                      {"HotOd", ColumnKind::Day},
                      {"HotDo", ColumnKind::Day},
                      {"Miejsc", ColumnKind::Integer},
                      {"Osob", ColumnKind::Integer}});

    auto* top = new QHBoxLayout;
    m_dayLabel = new QLabel(QStringLiteral("Data"), this);
    m_dayLabel->setObjectName(QStringLiteral("EtykietaData"));
    m_day = new QDateEdit(today(), this);
    m_day->setObjectName(QStringLiteral("Data"));
    m_day->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_day->setCalendarPopup(true);
    top->addWidget(m_dayLabel);
    top->addWidget(m_day);
    top->addStretch(1);
    content()->addLayout(top);
    if (kind == 3) {
        for (QWidget* w : {static_cast<QWidget*>(m_dayLabel), static_cast<QWidget*>(m_day)}) {
            w->hide();
            w->setEnabled(false);
        }
    }

    m_grid = makeListGrid(this, QStringLiteral("Lista"));
    m_model = new RowSetModel(*m_rows, this);
    m_model->setColumns(
        {{QStringLiteral("Nazwa"), QStringLiteral("Nazwa")},
         {QStringLiteral("Nr_pokoju"), QStringLiteral("Nr pokoju"), Qt::AlignHCenter},
         {QStringLiteral("Od"), QStringLiteral("Od"), Qt::AlignHCenter},
         {QStringLiteral("Do"), QStringLiteral("Do"), Qt::AlignHCenter},
         {QStringLiteral("Miejsc"), QStringLiteral("Miejsc"), Qt::AlignHCenter}});
    m_grid->setModel(m_model);
    m_model->followSelection(m_grid->selectionModel());
    const QString day = QStringLiteral("0000-00-00");
    sizeColumns(m_grid, 0, {{2, day}, {3, day}});

    // One search field over each column, in the columns' order.
    auto* fields = new ColumnFields(m_grid, this);
    m_search = fields->addFieldsInOrder({{"SzukajNazwa", "Szukanie wg nazwy grupy"},
                                         {"SzukajPokoj", "Szukanie wg numeru pokoju"},
                                         {"SzukajOd", "Szukanie wg daty przyjazdu"},
                                         {"SzukajDo", "Szukanie wg daty wyjazdu"},
                                         {"SzukajMiejsc", "Szukanie wg liczby miejsc"}},
                                        [this] { search(); });
    content()->addLayout(gridWithSearchFields(
                             this, m_grid, fields, FieldsPlace::Above, [this] { search(); },
                             [this] { clearSearch(); }),
                         1);
    // Tab goes from the search fields to the grid, then to the search buttons.
    QWidget::setTabOrder(m_search.last(), m_grid);
    resize(640, 420);

    guarded([this] { load(); });
    connect(m_day, &QDateEdit::dateChanged, this, [this] { guarded([this] { load(); }); });
}

QDate TFormRapOsoby::day() const
{
    return m_day->date();
}

void TFormRapOsoby::load()
{
    openStatement(*m_rows, roomListStatement(m_kind, day()));
}

void TFormRapOsoby::search()
{
    QStringList texts;
    for (const QLineEdit* field : m_search)
        texts << field->text();
    if (m_rows->setFilter(roomListSearch(texts)))
        prompter().message(QStringLiteral("Podano nieprawidłowe parametry do wyszukiwania"),
                           QStringLiteral("Błąd Wyszukiwania !!!"), Prompter::Icon::Warning);
}

void TFormRapOsoby::clearSearch()
{
    m_rows->setFilter({});
    for (QLineEdit* field : m_search)
        field->clear();
}
