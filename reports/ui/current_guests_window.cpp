#include "reports/ui/current_guests_window.h"

#include "core/error.h"
#include "core/prompter.h"
#include "core/ui/column_fields.h"
#include "core/ui/list_grid.h"
#include "db/row_set.h"
#include "db/row_set_model.h"
#include "reports/guest_list_search.h"
#include "reports/guest_lists.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TFormRapAktualneKwaterunki::TFormRapAktualneKwaterunki(QWidget* parent)
    : TFormParametry(QStringLiteral("Spis aktualnie zakwaterowanych"), parent)
{
    setObjectName(QStringLiteral("TFormRapAktualneKwaterunki"));
    m_rows = new RowSet(this);
    m_rows->setKinds({{"Od", ColumnKind::Day},
                      {"Do", ColumnKind::Day},
                      {"Pelne_dane", ColumnKind::YesNo},
                      {"Nr_pokoju", ColumnKind::Text}});

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Rodzaj wyświetlanych kwaterunków"), this));
    m_kind = new QComboBox(this);
    m_kind->setObjectName(QStringLiteral("Rodzaj"));
    m_kind->setToolTip(QStringLiteral("Rodzaj wyświetlanych kwaterunków"));
    m_kind->addItems(currentGuestsFilterItems());
    top->addWidget(m_kind);
    top->addStretch(1);
    content()->addLayout(top);

    m_grid = makeListGrid(this, QStringLiteral("Lista"));
    m_model = new RowSetModel(*m_rows, this);
    m_model->setColumns(
        {{QStringLiteral("Nazwisko"), QStringLiteral("Nazwisko")},
         {QStringLiteral("Imie"), QStringLiteral("Imię")},
         {QStringLiteral("Nazwa"), QStringLiteral("Nazwa Grupy")},
         {QStringLiteral("Nr_pokoju"), QStringLiteral("Nr pokoju"), Qt::AlignHCenter},
         {QStringLiteral("Od"), QStringLiteral("Od")},
         {QStringLiteral("Do"), QStringLiteral("Do"), Qt::AlignHCenter}});
    m_grid->setModel(m_model);
    m_model->followSelection(m_grid->selectionModel());
    fitColumns(m_grid, 2);

    // One search field over each column, in the columns' order.
    auto* fields = new ColumnFields(m_grid, this);
    m_search = fields->addFieldsInOrder({{"SzukajNazwisko", "Szukanie wg nazwiska gościa"},
                                         {"SzukajImie", "Szukanie wg imienia gościa"},
                                         {"SzukajNazwa", "Szukanie wg nazwy grupy"},
                                         {"SzukajPokoj", "Szukanie wg numeru pokoju"},
                                         {"SzukajOd", "Szukanie wg daty przyjazdu"},
                                         {"SzukajDo", "Szukanie wg daty wyjazdu"}},
                                        [this] { search(); });
    content()->addLayout(gridWithSearchFields(
                             this, m_grid, fields, FieldsPlace::Above, [this] { search(); },
                             [this] { clearSearch(); }),
                         1);
    // Tab goes from the search fields to the grid, then to the search buttons.
    QWidget::setTabOrder(m_search.last(), m_grid);

    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("RazemOsob"));
    QFont bold = m_count->font();
    bold.setBold(true);
    m_count->setFont(bold);
    content()->addWidget(m_count);
    resize(760, 480);

    guarded([this] { load(0); });
    connect(m_kind, &QComboBox::currentIndexChanged, this,
            [this](int index) { guarded([this, index] { load(index); }); });
}

QString TFormRapAktualneKwaterunki::filterItem() const
{
    return m_kind->currentText();
}

QString TFormRapAktualneKwaterunki::countText() const
{
    return m_count->text();
}

void TFormRapAktualneKwaterunki::load(int dataFilter)
{
    // The search filter in force stays in force over the new rows.
    try {
        openStatement(*m_rows, currentGuestsStatement(dataFilter));
    } catch (...) {
        refreshCount();
        throw;
    }
    refreshCount();
}

void TFormRapAktualneKwaterunki::search()
{
    QStringList texts;
    for (const QLineEdit* field : m_search)
        texts << field->text();
    if (m_rows->setFilter(currentGuestsSearch(texts)))
        prompter().message(QStringLiteral("Podano nieprawidłowe parametry do wyszukiwania"),
                           QStringLiteral("Błąd Wyszukiwania !!!"), Prompter::Icon::Warning);
    refreshCount();
}

void TFormRapAktualneKwaterunki::clearSearch()
{
    for (QLineEdit* field : m_search)
        field->clear();
    m_rows->setFilter({});
    refreshCount();
}

void TFormRapAktualneKwaterunki::refreshCount()
{
    m_count->setText(QStringLiteral("Razem osób: ") + QString::number(m_rows->rowCount()));
}
