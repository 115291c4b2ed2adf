#include "billing/services.h"
#include "billing/ui/billing_window.h"
#include "billing/ui/window_parts.h"
#include "core/error.h"
#include "db/data_module.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStandardItemModel>
#include <QTableView>

#include <algorithm>

using namespace window_parts;

namespace {
QLabel* labelFor(const QString& caption, QWidget* buddy)
{
    auto* label = new QLabel(caption, buddy->parentWidget());
    label->setBuddy(buddy);
    return label;
}
} // namespace

QWidget* TOplaty::buildServicesPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("StronaUslugi"));
    m_breakfast = new QCheckBox(QStringLiteral("Śniadanie w cenie n&oclegu"), page);
    m_breakfast->setObjectName(QStringLiteral("SniadanieWCenie"));
    m_breakfast->setToolTip(QStringLiteral(
        "Noclegi na fakturze jako jedna usługa noclegowa ze śniadaniem, w stawce noclegu"));

    m_serviceModel = new QStandardItemModel(0, 6, this);
    m_serviceModel->setHorizontalHeaderLabels(
        {QStringLiteral("Usługa"), QStringLiteral("J.m."), QStringLiteral("Ilość"),
         QStringLiteral("Cena brutto"), QStringLiteral("VAT"), QStringLiteral("Brutto")});
    m_serviceList = new QTableView(page);
    m_serviceList->setObjectName(QStringLiteral("ListaUslug"));
    m_serviceList->setModel(m_serviceModel);
    m_serviceList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_serviceList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_serviceList->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);

    m_serviceChoice = new QComboBox(page);
    m_serviceChoice->setObjectName(QStringLiteral("UslugaZListy"));
    m_serviceName = field(page, "UslugaNazwa");
    m_serviceName->setMaxLength(60);
    m_serviceUnit = new QComboBox(page);
    m_serviceUnit->setObjectName(QStringLiteral("UslugaJm"));
    m_serviceUnit->setEditable(true);
    m_serviceUnit->addItems(serviceUnits());
    m_serviceUnit->lineEdit()->setMaxLength(10);
    m_serviceQuantity = wholeNumberField(page, "UslugaIlosc");
    m_servicePrice = field(page, "UslugaCena");
    m_serviceVat = vatCombo(page, "UslugaVAT", m_vatCodes);
    m_servicePkwiu = field(page, "UslugaPKWiU");
    m_servicePkwiu->setMaxLength(20);
    m_servicesTotal = field(page, "RazemUslugi", true);
    m_addService = button(page, "DodajUsluge", QStringLiteral("&Dodaj usługę"));
    m_changeService = button(page, "ZmienUsluge", QStringLiteral("Z&mień usługę"));
    m_removeService = button(page, "UsunUsluge", QStringLiteral("U&suń usługę"));

    auto* left = new QFormLayout;
    left->addRow(labelFor(QStringLiteral("Usługa z &listy"), m_serviceChoice), m_serviceChoice);
    left->addRow(labelFor(QStringLiteral("&Nazwa"), m_serviceName), m_serviceName);
    left->addRow(labelFor(QStringLiteral("PK&WiU"), m_servicePkwiu), m_servicePkwiu);
    left->addRow(labelFor(QStringLiteral("&J.m."), m_serviceUnit), m_serviceUnit);
    auto* right = new QFormLayout;
    right->addRow(labelFor(QStringLiteral("&Ilość"), m_serviceQuantity), m_serviceQuantity);
    right->addRow(labelFor(QStringLiteral("&Cena brutto"), m_servicePrice), m_servicePrice);
    right->addRow(labelFor(QStringLiteral("&VAT %"), m_serviceVat), m_serviceVat);
    right->addRow(QStringLiteral("Razem usługi"), m_servicesTotal);
    auto* fields = new QHBoxLayout;
    fields->addLayout(left, 2);
    fields->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {m_addService, m_changeService, m_removeService})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(closeButton("ZamknijUslugi"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_breakfast);
    layout->addWidget(m_serviceList, 1);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connectServicesPage();
    return page;
}

void TOplaty::connectServicesPage()
{
    connect(m_breakfast, &QCheckBox::clicked, this, [this](bool on) {
        guarded([this, on] { setBreakfastIncluded(dataModule().database(), m_groupId, on); });
    });
    connect(m_serviceChoice, &QComboBox::activated, this,
            [this](int index) { guarded([this, index] { serviceChosen(index); }); });
    connect(m_serviceList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { showServiceLine(current.row()); });
    connect(m_addService, &QPushButton::clicked, this,
            [this] { guarded([this] { saveServiceLine(true); }); });
    connect(m_changeService, &QPushButton::clicked, this,
            [this] { guarded([this] { saveServiceLine(false); }); });
    connect(m_removeService, &QPushButton::clicked, this,
            [this] { guarded([this] { removeCurrentServiceLine(); }); });
}

void TOplaty::loadServiceLines(int row)
{
    QSqlDatabase db = dataModule().database();
    m_services = loadServices(db);
    m_serviceChoice->clear();
    m_serviceChoice->addItem(QString());
    for (const Service& s : m_services)
        m_serviceChoice->addItem(s.name);
    m_breakfast->setChecked(loadHeader(db, m_groupId).breakfastIncluded);

    m_serviceLines = ::loadServiceLines(db, m_groupId);
    m_serviceModel->removeRows(0, m_serviceModel->rowCount());
    Money total;
    for (const ServiceLine& l : m_serviceLines) {
        m_serviceModel->appendRow({cell(l.name), cell(l.unit), cell(QString::number(l.quantity)),
                                   cell(l.price.toString()), cell(l.vat),
                                   cell(l.gross.toString())});
        total += l.gross;
    }
    m_servicesTotal->setText(total.toString());
    const int count = static_cast<int>(m_serviceLines.size());
    const int target = count == 0 ? -1 : std::clamp(row, 0, count - 1);
    if (target >= 0)
        m_serviceList->selectRow(target);
    showServiceLine(target);
}

void TOplaty::showServiceLine(int row)
{
    m_serviceRow = row >= 0 && row < m_serviceLines.size() ? row : -1;
    const bool any = m_serviceRow >= 0;
    const ServiceLine line = any ? m_serviceLines.at(m_serviceRow) : ServiceLine{};
    m_serviceChoice->setCurrentIndex(0);
    m_serviceName->setText(line.name);
    m_servicePkwiu->setText(line.pkwiu);
    m_serviceUnit->setEditText(any ? line.unit : serviceUnits().first());
    m_serviceQuantity->setText(any ? QString::number(line.quantity) : QString());
    m_servicePrice->setText(any ? line.price.toPlainString() : QString());
    setVat(m_serviceVat, any ? line.vat : m_vatCodes.value(0), m_vatCodes);
    m_changeService->setEnabled(any && !m_calculationFrozen);
    m_removeService->setEnabled(any && !m_calculationFrozen);
}

// A service taken from the list fills the fields; its quantity follows its
// unit: per night of the stay, per person and night, or one piece.
void TOplaty::serviceChosen(int index)
{
    if (index <= 0 || index > m_services.size())
        return;
    const Service& s = m_services.at(index - 1);
    const std::optional<GroupInfo> group = loadGroupInfo(dataModule().database(), m_groupId);
    m_serviceName->setText(s.name);
    m_servicePkwiu->setText(s.pkwiu);
    m_serviceUnit->setEditText(s.unit);
    m_serviceQuantity->setText(QString::number(
        defaultServiceQuantity(s.unit, group ? group->persons.value_or(1) : 1,
                               group ? static_cast<int>(group->from.daysTo(group->to)) : 1)));
    m_servicePrice->setText(s.price.toPlainString());
    setVat(m_serviceVat, s.vat, m_vatCodes);
    m_serviceQuantity->setFocus();
}

void TOplaty::saveServiceLine(bool asNew)
{
    if (!asNew && m_serviceRow < 0)
        return;
    ServiceLine line = asNew ? ServiceLine{} : m_serviceLines.at(m_serviceRow);
    line.groupId = m_groupId;
    line.name = m_serviceName->text().trimmed();
    line.unit = m_serviceUnit->currentText().trimmed();
    line.quantity = intFrom(m_serviceQuantity).value_or(0);
    const std::optional<Money> price = Money::parse(m_servicePrice->text());
    if (!price)
        throw RezydoError(
            QStringLiteral("'%1' nie jest poprawną kwotą.").arg(m_servicePrice->text()));
    line.price = *price;
    line.vat = m_serviceVat->currentText();
    line.pkwiu = m_servicePkwiu->text().trimmed();
    QSqlDatabase db = dataModule().database();
    if (asNew)
        addServiceLine(db, line);
    else
        changeServiceLine(db, line);
    servicesChanged(asNew ? static_cast<int>(m_serviceLines.size()) : m_serviceRow);
}

void TOplaty::removeCurrentServiceLine()
{
    if (m_serviceRow < 0)
        return;
    removeServiceLine(dataModule().database(), m_groupId, m_serviceLines.at(m_serviceRow).no);
    servicesChanged(m_serviceRow);
}

// The totals, the settled state and the header's sums follow the service lines.
void TOplaty::servicesChanged(int row)
{
    QSqlDatabase db = dataModule().database();
    loadServiceLines(row);
    const CalcHeader stored = loadHeader(db, m_groupId);
    m_header.gross = stored.gross;
    m_header.tax = stored.tax;
    m_header.settled = stored.settled;
    m_gross->setText(stored.gross.toString());
    m_tax->setText(stored.tax.toString());
    showSettlement(currentSettlement(db, m_groupId));
}
