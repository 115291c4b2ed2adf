#include "reports/ui/money_report_windows.h"

#include "billing/ksef/ksef_commands.h"
#include "core/clock.h"
#include "core/error.h"
#include "core/ui/list_grid.h"
#include "db/data_module.h"
#include "db/row_set.h"
#include "db/row_set_model.h"
#include "reports/money_reports.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

namespace {
QTableView* grid(QWidget* parent, RowSet& rows, RowSetModel*& model,
                 const QList<std::tuple<QString, QString, Qt::Alignment>>& columns, int nameColumn)
{
    QTableView* view = makeListGrid(parent, QStringLiteral("Lista"));
    model = new RowSetModel(rows, parent);
    QList<RowSetModel::Column> list;
    for (const auto& [field, title, alignment] : columns)
        list << RowSetModel::Column{field, title, alignment};
    model->setColumns(list);
    view->setModel(model);
    model->followSelection(view->selectionModel());
    fitColumns(view, nameColumn);
    return view;
}

QDateEdit* dayEdit(QWidget* parent, const QString& name, const QDate& day)
{
    auto* edit = new QDateEdit(day, parent);
    edit->setObjectName(name);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    return edit;
}
} // namespace

TFormRapDlugi::TFormRapDlugi(QWidget* parent)
    : TFormParametry(QStringLiteral("Grupy z nieuregulowanymi płatnościami"), parent)
{
    setObjectName(QStringLiteral("TFormRapDlugi"));
    m_rows = new RowSet(this);
    RowSetModel* model = nullptr;
    content()->addWidget(grid(this, *m_rows, model,
                              {{QStringLiteral("Nazwa"), QStringLiteral("Nazwa"), Qt::AlignLeft},
                               {QStringLiteral("Osob"), QStringLiteral("Osób"), Qt::AlignHCenter},
                               {QStringLiteral("Od"), QStringLiteral("Od"), Qt::AlignHCenter},
                               {QStringLiteral("Do"), QStringLiteral("Do"), Qt::AlignHCenter}},
                              0));
    resize(560, 400);
}

TFormOkres::TFormOkres(const QString& caption, const QDate& from, const QDate& to, QWidget* parent)
    : TFormParametry(caption, parent)
{
    m_rows = new RowSet(this);
    auto* days = new QFormLayout;
    m_from = dayEdit(this, QStringLiteral("DataPoczatkowa"), from);
    m_to = dayEdit(this, QStringLiteral("DataKoncowa"), to);
    days->addRow(QStringLiteral("Data początkowa"), m_from);
    days->addRow(QStringLiteral("Data końcowa"), m_to);
    content()->addLayout(days);
    resize(640, 420);
}

QDate TFormOkres::from() const
{
    return m_from->date();
}

QDate TFormOkres::to() const
{
    return m_to->date();
}

void TFormOkres::addGrid(const QList<std::tuple<QString, QString, Qt::Alignment>>& columns,
                         int nameColumn)
{
    content()->addWidget(grid(this, *m_rows, m_model, columns, nameColumn), 1);
}

void TFormOkres::connectDays()
{
    guarded([this] { load(); });
    for (QDateEdit* edit : {m_from, m_to})
        connect(edit, &QDateEdit::dateChanged, this, [this] { guarded([this] { load(); }); });
}

TFormRapOplaty::TFormRapOplaty(QWidget* parent)
    : TFormOkres(QStringLiteral("Opłaty wniesione w danym terminie"), QDate(today().year(), 6, 1),
                 today(), parent)
{
    setObjectName(QStringLiteral("TFormRapOplaty"));
    auto* type = new QFormLayout;
    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("RodzajOplat"));
    m_type->addItems(paymentTypeItems());
    type->addRow(QStringLiteral("Rodzaj wyświetlanych opłat"), m_type);
    content()->insertLayout(0, type);
    addGrid({{QStringLiteral("TypStr"), QStringLiteral("Typ"), Qt::AlignLeft},
             {QStringLiteral("Nr_kwit"), QStringLiteral("Numer"), Qt::AlignLeft},
             {QStringLiteral("Nazwa"), QStringLiteral("Wpłacający"), Qt::AlignLeft},
             {QStringLiteral("Data"), QStringLiteral("Data"), Qt::AlignHCenter},
             {QStringLiteral("Wplata"), QStringLiteral("Wpłata"), Qt::AlignRight}},
            2);
    m_total = new QLabel(this);
    m_total->setObjectName(QStringLiteral("Razem"));
    QFont bold = m_total->font();
    bold.setBold(true);
    m_total->setFont(bold);
    content()->addWidget(m_total);
    connect(m_type, &QComboBox::currentIndexChanged, this,
            [this](int index) { guarded([this, index] { setType(index); }); });
    connectDays();
}

void TFormRapOplaty::setType(int index)
{
    m_rows->setFilter(paymentTypeFilter(index));
    refreshTotal();
}

void TFormRapOplaty::load()
{
    openPayments(*m_rows, from(), to());
    refreshTotal();
}

void TFormRapOplaty::refreshTotal()
{
    m_total->setText(paymentsTotalText(visibleTotal(*m_rows, QStringLiteral("Wplata"))));
}

TFormRapFaktury::TFormRapFaktury(QWidget* parent)
    : TFormOkres(QStringLiteral("Zestawienie wystawionych faktur w danym terminie"),
                 QDate(today().year(), today().month(), 1), today(), parent)
{
    setObjectName(QStringLiteral("TFormRapFaktury"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    addGrid({{QStringLiteral("Rach"), QStringLiteral("Numer"), Qt::AlignRight},
             {QStringLiteral("Data_wystawienia"), QStringLiteral("Data"), Qt::AlignHCenter},
             {QStringLiteral("Nazwa"), QStringLiteral("Nazwa"), Qt::AlignLeft},
             {QStringLiteral("Brutto"), QStringLiteral("Brutto"), Qt::AlignRight},
             {QStringLiteral("Sposob"), QStringLiteral("Zapłata"), Qt::AlignLeft},
             {QStringLiteral("Uwagi"), QStringLiteral("Uwagi"), Qt::AlignLeft},
             {QStringLiteral("KSeF"), QStringLiteral("KSeF"), Qt::AlignLeft}},
            2);
    auto* export1 = new QPushButton(QStringLiteral("&Eksport do KSeF"), this);
    export1->setObjectName(QStringLiteral("EksportKSeF"));
    export1->setToolTip(QStringLiteral("Zapisanie pliku FA(3) wybranej faktury"));
    auto* exportAll = new QPushButton(QStringLiteral("Eksportuj &oczekujące"), this);
    exportAll->setObjectName(QStringLiteral("EksportujOczekujace"));
    exportAll->setToolTip(
        QStringLiteral("Zapisanie plików FA(3) wszystkich faktur okresu "
                       "czekających na wysłanie do KSeF, każdej w osobnym pliku"));
    auto* row = new QHBoxLayout;
    row->addWidget(export1);
    row->addWidget(exportAll);
    row->addStretch();
    content()->addLayout(row);
    connect(export1, &QPushButton::clicked, this, [this] { guarded([this] { exportCurrent(); }); });
    connect(exportAll, &QPushButton::clicked, this, [this] {
        guarded([this] {
            if (exportWaitingToKsef(dataModule().database(), from(), to()))
                load();
        });
    });
    connectDays();
}

void TFormRapFaktury::exportCurrent()
{
    const int row = m_rows->current();
    if (row < 0)
        return;
    const int group = m_rows->value(row, QStringLiteral("Grupa")).toInt();
    const std::optional<qint64> correction =
        m_rows->value(row, QStringLiteral("Korekta")).toInt() == 1
            ? std::optional<qint64>(m_rows->value(row, QStringLiteral("Klucz")).toLongLong())
            : std::nullopt;
    if (exportToKsef(dataModule().database(), group, correction))
        load();
}

void TFormRapFaktury::load()
{
    openInvoices(*m_rows, from(), to());
}

TFormRabaty::TFormRabaty(QWidget* parent)
    : TFormOkres(QStringLiteral("Zestawienie udzielonych rabatów"), today(), today().addDays(1),
                 parent)
{
    setObjectName(QStringLiteral("TFormRabaty"));
    addGrid({{QStringLiteral("Nazwa"), QStringLiteral("Nazwa grupy"), Qt::AlignLeft},
             {QStringLiteral("data_sprzedazy"), QStringLiteral("Data sprzedaży"), Qt::AlignHCenter},
             {QStringLiteral("Brutto"), QStringLiteral("Kwota brutto"), Qt::AlignRight},
             {QStringLiteral("Rabat"), QStringLiteral("Rabat"), Qt::AlignHCenter},
             {QStringLiteral("Podstawa"), QStringLiteral("Podstawa"), Qt::AlignLeft}},
            0);
    connectDays();
}

void TFormRabaty::load()
{
    openDiscounts(*m_rows, from(), to());
}
