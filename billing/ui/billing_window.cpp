#include "billing/ui/billing_window.h"

#include "billing/ui/payment_dialog.h"
#include "billing/ui/window_parts.h"
#include "core/days.h"
#include "core/error.h"
#include "core/prompter.h"
#include "core/ui/child_window.h"
#include "db/data_module.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStandardItemModel>
#include <QTableView>
#include <QTabWidget>

using namespace window_parts;

namespace {
TOplaty::InvoicePrinter& printerSlot()
{
    static TOplaty::InvoicePrinter printer;
    return printer;
}
} // namespace

void TOplaty::setInvoicePrinter(InvoicePrinter printer)
{
    printerSlot() = std::move(printer);
}

TOplaty::TOplaty(int groupId, TRejestracjaOplaty& payments, TStaliKlienci& clients, QWidget* parent)
    : QWidget(parent)
    , m_groupId(groupId)
    , m_paymentDialog(payments)
    , m_clientsDialog(clients)
{
    setObjectName(QStringLiteral("Oplaty"));
    setWindowTitle(QStringLiteral("Opłaty"));

    QSqlDatabase db = dataModule().database();
    if (!hasCalculation(db, groupId))
        createCalculation(db, groupId);
    m_vatCodes = offeredVatCodes(loadVatRates(db));

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("Strony"));
    m_pages->addTab(buildChargesPage(), QStringLiteral("Opłaty"));
    m_pages->addTab(buildRoomsPage(), QStringLiteral("Pokoje"));
    m_pages->addTab(buildInvoicePage(), QStringLiteral("Faktura / Rachunek"));
    m_pages->addTab(buildServicesPage(), QStringLiteral("Usługi"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildTop());
    layout->addWidget(m_pages, 1);

    const std::optional<GroupInfo> group = loadGroupInfo(db, groupId);
    if (group) {
        m_groupName->setText(group->name);
        m_groupPersons->setText(intText(group->persons));
        m_groupFrom->setText(dayText(group->from));
        m_groupTo->setText(dayText(group->to));
        m_groupNotes->setText(group->notes);
    }
    loadLines(0);
    loadServiceLines(0);
    loadPayments();
    showSettlement(storedSettlement(db, groupId));
    showInvoicePage();
    connect(m_pages, &QTabWidget::currentChanged, this,
            [this] { guarded([this] { pageChanged(); }); });
}

QWidget* TOplaty::buildTop()
{
    auto* top = new QWidget(this);
    m_groupName = field(top, "Nazwa_grupy", true);
    m_groupPersons = field(top, "Ilosc_osob", true);
    m_groupFrom = field(top, "Od", true);
    m_groupTo = field(top, "Do", true);
    m_groupNotes = field(top, "Notatki", true);
    auto* grid = new QGridLayout(top);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Nazwa grupy"), top), 0, 0);
    grid->addWidget(m_groupName, 0, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Ilość osób"), top), 0, 4);
    grid->addWidget(m_groupPersons, 0, 5);
    grid->addWidget(new QLabel(QStringLiteral("Od"), top), 1, 0);
    grid->addWidget(m_groupFrom, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Do"), top), 1, 2);
    grid->addWidget(m_groupTo, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Uwagi"), top), 2, 0);
    grid->addWidget(m_groupNotes, 2, 1, 1, 5);
    return top;
}

QPushButton* TOplaty::closeButton(const char* name)
{
    QPushButton* b = button(this, name, QStringLiteral("&Zamknij"));
    connect(b, &QPushButton::clicked, this, [this] { closeWindow(); });
    return b;
}

void TOplaty::closeWindow()
{
    closeChildWindow(this);
}

QWidget* TOplaty::buildChargesPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("StronaOplaty"));
    m_vat = vatCombo(page, "KalkVAT", m_vatCodes);
    m_discount = wholeNumberField(page, "KalkZnizka");
    m_basis = field(page, "KalkPodstawa");
    m_gross = field(page, "KalkBrutto", true);
    m_tax = field(page, "KalkPodatek", true);
    QPushButton* apply = button(page, "ZastosujZnizke", QStringLiteral("Zastosuj zniżkę"),
                                QStringLiteral("Zastosuj zniżkę do wszystkich pokoi kwaterunku"));
    QPushButton* remove = button(page, "UsunZnizke", QStringLiteral("Usuń zniżkę"),
                                 QStringLiteral("Usuń zniżkę dla wszystkich pokoi kwaterunku"));
    m_paid = field(page, "Zaplacono", true);
    m_due = field(page, "DoZaplaty", true);
    m_settled = new QLabel(page);
    m_settled->setObjectName(QStringLiteral("Rozliczenie"));

    m_paymentModel = new QStandardItemModel(0, 5, this);
    m_paymentModel->setHorizontalHeaderLabels({QStringLiteral("Numer"), QStringLiteral("Data"),
                                               QStringLiteral("Wpłata"), QStringLiteral("Typ"),
                                               QStringLiteral("Forma")});
    m_paymentList = new QTableView(page);
    m_paymentList->setObjectName(QStringLiteral("ListaOplat"));
    m_paymentList->setModel(m_paymentModel);
    m_paymentList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_paymentList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_paymentList->horizontalHeader()->setStretchLastSection(true);
    QPushButton* add = button(page, "RejestrujOplate", QStringLiteral("&Rejestruj opłatę"));
    m_deletePayment = button(page, "UsunOplate", QStringLiteral("&Usuń opłatę"));

    layoutChargesPage(page, apply, remove, add);

    connect(m_vat, &QComboBox::activated, this, [this] { headerEdited(); });
    connect(m_discount, &QLineEdit::textEdited, this, [this] { headerEdited(); });
    connect(m_basis, &QLineEdit::textEdited, this, [this] { headerEdited(); });
    connect(apply, &QPushButton::clicked, this,
            [this] { guarded([this] { applyDiscountToAll(false); }); });
    connect(remove, &QPushButton::clicked, this,
            [this] { guarded([this] { applyDiscountToAll(true); }); });
    connect(add, &QPushButton::clicked, this, [this] { guarded([this] { addPayment(); }); });
    connect(m_deletePayment, &QPushButton::clicked, this,
            [this] { guarded([this] { deletePayment(); }); });
    return page;
}

void TOplaty::layoutChargesPage(QWidget* page, QPushButton* apply, QPushButton* remove,
                                QPushButton* add)
{
    auto* header = new QFormLayout;
    header->addRow(QStringLiteral("VAT %"), m_vat);
    header->addRow(QStringLiteral("Zniżka %"), m_discount);
    header->addRow(QStringLiteral("Podstawa zniżki"), m_basis);
    header->addRow(QStringLiteral("Brutto"), m_gross);
    header->addRow(QStringLiteral("VAT"), m_tax);
    auto* discountButtons = new QHBoxLayout;
    discountButtons->addWidget(apply);
    discountButtons->addWidget(remove);
    header->addRow(discountButtons);
    auto* summary = new QFormLayout;
    summary->addRow(QStringLiteral("Zapłacono"), m_paid);
    summary->addRow(QStringLiteral("Do zapłaty"), m_due);
    summary->addRow(m_settled);
    auto* paymentButtons = new QHBoxLayout;
    paymentButtons->addWidget(add);
    paymentButtons->addWidget(m_deletePayment);
    paymentButtons->addStretch();
    paymentButtons->addWidget(closeButton("ZamknijOplaty"));
    auto* right = new QVBoxLayout;
    right->addLayout(summary);
    right->addWidget(m_paymentList, 1);
    right->addLayout(paymentButtons);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(header);
    layout->addLayout(right, 1);
}

void TOplaty::reloadHeader()
{
    m_header = loadHeader(dataModule().database(), m_groupId);
    m_headerChanging = false;
    showHeader();
}

void TOplaty::showHeader()
{
    m_filling = true;
    setVat(m_vat, m_header.vat, m_vatCodes);
    m_discount->setText(intText(m_header.discount));
    m_basis->setText(m_header.discountBasis);
    m_gross->setText(m_header.gross.toString());
    m_tax->setText(m_header.tax.toString());
    m_filling = false;
}

void TOplaty::headerEdited()
{
    if (!m_filling)
        m_headerChanging = true;
}

void TOplaty::pageChanged()
{
    if (m_lineChanging)
        cancelLine();
    showInvoicePage(); // every page change discards the header's unsaved changes
}

void TOplaty::showSettlement(const Settlement& s)
{
    m_toPay = s.toPay;
    m_paid->setText(s.paid.toString());
    m_due->setText(s.toPay.toString());
    QPalette palette = m_settled->palette();
    palette.setColor(QPalette::WindowText,
                     s.settled ? palette.color(QPalette::Highlight) : QColor(Qt::red));
    m_settled->setPalette(palette);
    m_settled->setText(s.settled ? QStringLiteral("Grupa jest rozliczona")
                                 : QStringLiteral("Grupa nie jest rozliczona"));
}

void TOplaty::loadPayments()
{
    const QList<Payment> payments = groupPayments(dataModule().database(), m_groupId);
    m_paymentModel->removeRows(0, m_paymentModel->rowCount());
    for (const Payment& p : payments) {
        QStandardItem* number = cell(p.number);
        number->setData(p.id, Qt::UserRole);
        m_paymentModel->appendRow({number, cell(dayText(p.day)), cell(p.amount.toString()),
                                   cell(paymentTypeText(p.type)), cell(paymentFormText(p.form))});
    }
    m_deletePayment->setEnabled(!payments.isEmpty());
    if (!payments.isEmpty())
        m_paymentList->selectRow(static_cast<int>(payments.size()) - 1);
}

void TOplaty::applyDiscountToAll(bool remove)
{
    if (remove)
        m_discount->clear();
    QSqlDatabase db = dataModule().database();
    try {
        applyDiscount(db, m_groupId, m_vat->currentText(), intFrom(m_discount), m_basis->text());
        reloadHeader();
    } catch (const CalculationError& e) {
        // The lines saved before the refusal stay, and so do the refreshed sums;
        // the typed header fields stay in change.
        prompter().error(e.text(), CalculationError::caption());
        const CalcHeader stored = loadHeader(db, m_groupId);
        m_header.gross = stored.gross;
        m_header.tax = stored.tax;
        m_header.settled = stored.settled;
        m_gross->setText(stored.gross.toString());
        m_tax->setText(stored.tax.toString());
    }
    loadLines(m_lineRow);
    showSettlement(currentSettlement(db, m_groupId));
}

void TOplaty::addPayment()
{
    if (m_paymentDialog.registerFor(m_groupId, m_due->text(), m_toPay)) {
        loadPayments();
        showSettlement(currentSettlement(dataModule().database(), m_groupId));
    }
}

void TOplaty::deletePayment()
{
    const QModelIndex current = m_paymentList->currentIndex();
    if (!current.isValid())
        return;
    const qint64 id = m_paymentModel->item(current.row(), 0)->data(Qt::UserRole).toLongLong();
    QSqlDatabase db = dataModule().database();
    removePayment(db, m_groupId, id);
    loadPayments();
    showSettlement(currentSettlement(db, m_groupId));
}

void TOplaty::print(bool preview)
{
    if (printerSlot())
        printerSlot()(m_groupId, preview, m_sww->text());
}
