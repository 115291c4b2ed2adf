#include "billing/ui/regular_clients_dialog.h"

#include "core/error.h"
#include "core/ui/list_grid.h"
#include "core/ui/modal.h"
#include "db/data_module.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolButton>

namespace {
QLineEdit* searchField(QWidget* parent, const char* name)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    return field;
}

QToolButton* toolButton(QWidget* parent, const char* name, const QString& text, const QString& hint)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setToolTip(hint);
    return button;
}
} // namespace

TStaliKlienci::TStaliKlienci(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("StaliKlienci"));
    setWindowTitle(QStringLiteral("Lista stałych klientów faktur"));
    setModal(true);
    resize(600, 400);

    m_name = searchField(this, "SzukajNazwa");
    m_address = searchField(this, "SzukajAdres");
    m_nip = searchField(this, "SzukajNip");
    QToolButton* find = toolButton(this, "Szukaj", QStringLiteral("?"), QStringLiteral("Szukaj"));
    QToolButton* all =
        toolButton(this, "PokazWszystkie", QStringLiteral("*"), QStringLiteral("Pokaż wszystkie"));

    m_model = new QStandardItemModel(0, 3, this);
    m_model->setHorizontalHeaderLabels(
        {QStringLiteral("Nip"), QStringLiteral("Nazwa"), QStringLiteral("Adres")});
    m_list = new QTableView(this);
    m_list->setObjectName(QStringLiteral("Klienci"));
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The number and the name as wide as they are, the address takes the rest.
    m_list->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->horizontalHeader()->setStretchLastSection(true);

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setAutoDefault(false);
    auto* close = new QPushButton(QStringLiteral("&Zamknij"), this);
    close->setObjectName(QStringLiteral("Zamknij"));
    close->setAutoDefault(false);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Nazwa"), this), 0, 0);
    fields->addWidget(new QLabel(QStringLiteral("Adres"), this), 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Nip"), this), 0, 2);
    fields->addWidget(m_name, 1, 0);
    fields->addWidget(m_address, 1, 1);
    fields->addWidget(m_nip, 1, 2);
    fields->addWidget(find, 1, 3);
    fields->addWidget(all, 1, 4);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    // Tab goes from the search fields to the list, then to the search buttons.
    QWidget::setTabOrder(m_nip, m_list);

    for (QLineEdit* field : {m_name, m_address, m_nip})
        connect(field, &QLineEdit::returnPressed, this, [this] { guarded([this] { search(); }); });
    connect(find, &QToolButton::clicked, this, [this] { guarded([this] { search(); }); });
    connect(all, &QToolButton::clicked, this, [this] { guarded([this] { showAll(); }); });
    connect(ok, &QPushButton::clicked, this, [this] { pick(); });
    setRowAction(m_list, [this] { pick(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<RegularClient> TStaliKlienci::choose()
{
    m_chosen = {};
    if (runModal(*this) != QDialog::Accepted)
        return std::nullopt;
    return m_chosen;
}

void TStaliKlienci::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    guarded([this] { reload(); });
}

void TStaliKlienci::reload()
{
    m_rows = m_query.rows(dataModule().database());
    m_model->removeRows(0, m_model->rowCount());
    for (const RegularClient& c : m_rows)
        m_model->appendRow(
            {new QStandardItem(c.nip), new QStandardItem(c.name), new QStandardItem(c.address)});
    if (!m_rows.isEmpty())
        m_list->selectRow(0);
}

void TStaliKlienci::search()
{
    m_query.search(m_name->text(), m_address->text(), m_nip->text());
    reload();
}

void TStaliKlienci::showAll()
{
    m_name->clear();
    m_address->clear();
    m_nip->clear();
    search();
}

void TStaliKlienci::pick()
{
    const int row = m_list->currentIndex().isValid() ? m_list->currentIndex().row() : -1;
    m_chosen = row >= 0 && row < m_rows.size() ? m_rows.at(row) : RegularClient{};
    accept();
}
