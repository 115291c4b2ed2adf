#include "billing/buyer_id.h"
#include "billing/invoice.h"
#include "billing/ksef/ksef_commands.h"
#include "billing/ksef/ksef_record.h"
#include "billing/ui/billing_window.h"
#include "billing/ui/correction_dialog.h"
#include "billing/ui/regular_clients_dialog.h"
#include "billing/ui/window_parts.h"
#include "core/clock.h"
#include "core/days.h"
#include "core/error.h"
#include "core/prompter.h"
#include "core/ui/modal.h"
#include "db/data_module.h"
#include "db/polish_collation.h"
#include "db/sql.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>

using namespace window_parts;

namespace {
QDateEdit* dayField(QWidget* parent, const char* name)
{
    auto* edit = new QDateEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setDisplayFormat(QLatin1String(kDayFormat));
    edit->setCalendarPopup(true);
    return edit;
}

QLabel* buddyLabel(const QString& caption, QWidget* buddy)
{
    auto* label = new QLabel(caption, buddy->parentWidget());
    label->setBuddy(buddy);
    return label;
}
} // namespace

QWidget* TOplaty::buildInvoicePage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("StronaFaktura"));
    m_recipient = field(page, "Nazwa");
    m_address = field(page, "Adres");
    m_order = field(page, "Zamowienie");
    m_nip = field(page, "Nip");
    m_nip->setMaxLength(30);
    m_idKind = new QComboBox(page);
    m_idKind->setObjectName(QStringLiteral("RodzajNip"));
    m_idKind->addItems(buyerIdKindNames());
    m_country = new QComboBox(page);
    m_country->setObjectName(QStringLiteral("Kraj"));
    fillCountries();
    m_number = field(page, "Rach");
    m_number->setValidator(new QIntValidator(1, 2147483647, m_number));
    m_sww = field(page, "SWW");
    m_prepayment = field(page, "Przedplata");
    m_confirmPrepayment =
        button(page, "ZatwierdzPrzedplate", QStringLiteral("Zatwierdź przedpłatę"));
    m_issueDate = dayField(page, "DataWystawienia");
    m_saleDate = dayField(page, "DataSprzedazy");

    QWidget* method = buildPaymentMethod(page);
    m_invoiceState = new QLabel(page);
    m_invoiceState->setObjectName(QStringLiteral("StanFaktury"));
    m_clients = button(page, "StaliKlienci", QStringLiteral("Stali klienci"));
    m_issue = button(page, "Wystaw", QStringLiteral("&Wystaw"),
                     QStringLiteral("Wystawienie faktury (bez wydruku)"));
    m_cancelInvoice = button(page, "AnulujFakture", QStringLiteral("&Anuluj fakturę"),
                             QStringLiteral("Anulowanie wcześniej wystawionej faktury"));
    m_correct = button(page, "KorektaFaktury", QStringLiteral("&Korekta faktury"),
                       QStringLiteral("Wystawienie faktury korygującej do wystawionej faktury"));
    m_preview = button(page, "Podglad", QStringLiteral("&Podgląd"),
                       QStringLiteral("Podgląd wystawionej faktury"));
    m_printButton = button(page, "Drukuj", QStringLiteral("&Drukuj"), QStringLiteral("Drukuj"));
    m_ksefState = new QLabel(page);
    m_ksefState->setObjectName(QStringLiteral("StanKSeF"));
    m_ksefExport =
        button(page, "EksportKSeF", QStringLiteral("&Eksport do KSeF"),
               QStringLiteral("Zapisanie faktury ustrukturyzowanej FA(3) do pliku dla KSeF"));
    m_ksefNumber = button(page, "NumerKSeF", QStringLiteral("Nu&mer KSeF"),
                          QStringLiteral("Wpisanie numeru nadanego fakturze przez KSeF"));

    auto* form = new QFormLayout;
    form->addRow(buddyLabel(QStringLiteral("&Nazwa odbiorcy"), m_recipient), m_recipient);
    form->addRow(buddyLabel(QStringLiteral("&Adres odbiorcy"), m_address), m_address);
    form->addRow(buddyLabel(QStringLiteral("&Zamówienie / oferta"), m_order), m_order);
    auto* id = new QHBoxLayout;
    id->addWidget(m_idKind);
    id->addWidget(m_nip, 1);
    form->addRow(buddyLabel(QStringLiteral("N&IP odbiorcy"), m_nip), id);
    form->addRow(buddyLabel(QStringLiteral("&Kraj odbiorcy"), m_country), m_country);
    form->addRow(buddyLabel(QStringLiteral("N&umer rachunku"), m_number), m_number);
    form->addRow(buddyLabel(QStringLiteral("Symbol &SWW"), m_sww), m_sww);
    form->addRow(buddyLabel(QStringLiteral("&Przedpłata"), m_prepayment), buildPrepaymentRow(page));
    form->addRow(buddyLabel(QStringLiteral("&Data wystawienia"), m_issueDate), m_issueDate);
    form->addRow(buddyLabel(QStringLiteral("&Data sprzedaży"), m_saleDate), m_saleDate);
    form->addRow(method);
    form->addRow(m_invoiceState);
    auto* ksef = new QHBoxLayout;
    ksef->addWidget(m_ksefState, 1);
    ksef->addWidget(m_ksefExport);
    ksef->addWidget(m_ksefNumber);
    form->addRow(ksef);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b :
         {m_clients, m_issue, m_cancelInvoice, m_correct, m_preview, m_printButton})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(closeButton("ZamknijFaktura"));
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addStretch();
    layout->addLayout(buttons);

    connectInvoicePage();
    return page;
}

// The prepayment with the day and the form it came in, which the invoice states.
QLayout* TOplaty::buildPrepaymentRow(QWidget* page)
{
    m_prepaymentDate = dayField(page, "DataPrzedplaty");
    m_prepaymentForm = new QComboBox(page);
    m_prepaymentForm->setObjectName(QStringLiteral("FormaPrzedplaty"));
    m_prepaymentForm->addItems(paymentFormNames());
    auto* row = new QHBoxLayout;
    row->addWidget(m_prepayment);
    row->addWidget(new QLabel(QStringLiteral("z dnia"), page));
    row->addWidget(m_prepaymentDate);
    row->addWidget(m_prepaymentForm);
    row->addWidget(m_confirmPrepayment);
    connect(m_prepaymentDate, &QDateEdit::userDateChanged, this, [this] { headerEdited(); });
    connect(m_prepaymentForm, &QComboBox::activated, this, [this] { headerEdited(); });
    return row;
}

QWidget* TOplaty::buildPaymentMethod(QWidget* page)
{
    auto* method = new QGroupBox(QStringLiteral("Sposób płatności"), page);
    method->setObjectName(QStringLiteral("SposobPlatnosci"));
    m_cash = new QRadioButton(QStringLiteral("Gotówka"), method);
    m_cash->setObjectName(QStringLiteral("Gotowka"));
    m_transfer = new QRadioButton(QStringLiteral("Przelew"), method);
    m_transfer->setObjectName(QStringLiteral("Przelew"));
    m_term = new QSpinBox(method);
    m_term->setObjectName(QStringLiteral("Termin"));
    m_term->setRange(1, 100);
    m_term->setValue(kDefaultTermDays);
    m_termLabel = new QLabel(QStringLiteral("Termin"), method);
    m_termDays = new QLabel(QStringLiteral("dni"), method);
    auto* methodLayout = new QHBoxLayout(method);
    methodLayout->addWidget(m_cash);
    methodLayout->addWidget(m_transfer);
    methodLayout->addWidget(m_termLabel);
    methodLayout->addWidget(m_term);
    methodLayout->addWidget(m_termDays);
    methodLayout->addStretch();
    return method;
}

void TOplaty::connectInvoicePage()
{
    for (QLineEdit* edit : {m_recipient, m_address, m_order, m_nip, m_number})
        connect(edit, &QLineEdit::textEdited, this, [this] { headerEdited(); });
    connect(m_number, &QLineEdit::textEdited, this, [this] { m_proposedNumber.reset(); });
    connect(m_nip, &QLineEdit::editingFinished, this,
            [this] { guarded([this] { checkBuyerId(); }); });
    connect(m_idKind, &QComboBox::currentIndexChanged, this, [this] {
        headerEdited();
        m_nip->setEnabled(m_idKind->isEnabled() &&
                          m_idKind->currentIndex() != static_cast<int>(BuyerIdKind::None));
    });
    connect(m_country, &QComboBox::activated, this, [this] { headerEdited(); });
    connect(m_correct, &QPushButton::clicked, this, [this] { guarded([this] { correct(); }); });
    connect(m_prepayment, &QLineEdit::textEdited, this, [this] {
        m_prepaymentEdited = true;
        headerEdited();
    });
    connect(m_cash, &QRadioButton::clicked, this, [this] { methodChosen(false); });
    connect(m_transfer, &QRadioButton::clicked, this, [this] { methodChosen(true); });
    connect(m_confirmPrepayment, &QPushButton::clicked, this,
            [this] { guarded([this] { confirmPrepayment(); }); });
    connect(m_clients, &QPushButton::clicked, this,
            [this] { guarded([this] { chooseClient(); }); });
    connect(m_issue, &QPushButton::clicked, this, [this] { guarded([this] { issue(); }); });
    connect(m_cancelInvoice, &QPushButton::clicked, this,
            [this] { guarded([this] { cancelIssued(); }); });
    connect(m_preview, &QPushButton::clicked, this, [this] { guarded([this] { print(true); }); });
    connect(m_printButton, &QPushButton::clicked, this,
            [this] { guarded([this] { print(false); }); });
    connect(m_ksefExport, &QPushButton::clicked, this, [this] {
        guarded([this] {
            if (exportToKsef(dataModule().database(), m_groupId, std::nullopt))
                showInvoicePage();
        });
    });
    connect(m_ksefNumber, &QPushButton::clicked, this, [this] {
        guarded([this] {
            if (askKsefNumber(dataModule().database(), m_groupId, std::nullopt))
                showInvoicePage();
        });
    });
}

// Runs on opening and on every page change: the header's unsaved changes go,
// and an invoice not yet issued gets a number, today's dates and cash.
void TOplaty::showInvoicePage()
{
    QSqlDatabase db = dataModule().database();
    m_sww->setText(scalarSql(db, QStringLiteral("SELECT SWW FROM Config LIMIT 1")).toString());
    reloadHeader();
    const bool open = !m_header.invoiceIssued();
    m_filling = true;
    m_proposedNumber.reset();
    if (open) {
        if (!m_header.number) {
            m_header.number = proposedInvoiceNumber(db, invoiceSeries(), today().year());
            m_proposedNumber = m_header.number;
            m_headerChanging = true;
        }
        m_issueDate->setDate(today());
        m_saleDate->setDate(today());
        m_cash->setChecked(true);
    } else {
        m_issueDate->setDate(m_header.issueDate);
        m_saleDate->setDate(m_header.saleDate);
        const bool transfer = m_header.paymentMethod == static_cast<int>(PaymentMethod::Transfer);
        (transfer ? m_transfer : m_cash)->setChecked(true);
        if (transfer)
            m_term->setValue(termDaysOf(m_header));
    }
    m_recipient->setText(m_header.name);
    m_address->setText(m_header.address);
    m_order->setText(m_header.order);
    m_nip->setText(m_header.nip);
    m_checkedNip = m_header.nip;
    m_idKind->setCurrentIndex(
        m_header.idKind.value_or(static_cast<int>(likelyBuyerIdKind(m_header.nip))));
    setCountry(m_header.countryId);
    m_number->setText(intText(m_header.number));
    m_prepayment->setText(m_header.prepayment.toPlainString());
    m_prepaymentDate->setDate(m_header.prepaymentDate.isValid() ? m_header.prepaymentDate
                                                                : today());
    m_prepaymentForm->setCurrentIndex(m_header.prepaymentForm.value_or(1) - 1);
    m_prepaymentEdited = false;
    m_filling = false;
    m_invoiceState->setText(open ? QStringLiteral("Wystawianie faktury")
                                 : QStringLiteral("Faktura już została wystawiona"));
    setInvoiceEnabled(open);
    setCalculationFrozen(!open);
    showKsefState(!open);
}

void TOplaty::showKsefState(bool issued)
{
    QSqlDatabase db = dataModule().database();
    m_ksefState->setText(issued ? ksefStateLine(db, m_groupId, std::nullopt) : QString());
    const std::optional<KsefRecord> record = issued ? ksefRecordOf(db, m_groupId) : std::nullopt;
    m_ksefExport->setEnabled(issued);
    m_ksefNumber->setEnabled(
        record && (record->state == KsefState::ToSend || record->state == KsefState::Sent));
}

// Invoices to businesses kept outside the system are allowed in 2026 only
// while a month's total stays within the limit.
void TOplaty::warnKsefLimit()
{
    if (m_header.idKind.value_or(0) == static_cast<int>(BuyerIdKind::None))
        return;
    if (const std::optional<QString> text = ksefLimitWarning(dataModule().database(), today()))
        prompter().warn(*text, QStringLiteral("KSeF"));
}

void TOplaty::setInvoiceEnabled(bool open)
{
    for (QWidget* w : std::initializer_list<QWidget*>{
             m_recipient, m_address, m_order, m_nip, m_idKind, m_country, m_number, m_prepayment,
             m_confirmPrepayment, m_prepaymentDate, m_prepaymentForm, m_issueDate, m_saleDate,
             m_cash, m_transfer, m_term, m_clients, m_issue})
        w->setEnabled(open);
    if (open)
        m_nip->setEnabled(m_idKind->currentIndex() != static_cast<int>(BuyerIdKind::None));
    for (QWidget* w : {m_preview, m_printButton, m_correct})
        w->setEnabled(!open);
    m_cancelInvoice->setEnabled(!open &&
                                !cancelRefusal(dataModule().database(), m_groupId).has_value());
    const bool transfer = m_transfer->isChecked();
    m_termLabel->setVisible(transfer);
    m_term->setVisible(transfer);
    m_termDays->setVisible(transfer);
}

void TOplaty::methodChosen(bool transfer)
{
    m_headerChanging = true;
    m_header.paymentMethod =
        static_cast<int>(transfer ? PaymentMethod::Transfer : PaymentMethod::Cash);
    m_termLabel->setVisible(transfer);
    m_term->setVisible(transfer);
    m_termDays->setVisible(transfer);
}

void TOplaty::collectInvoiceFields()
{
    // The field shows two places; an untouched prepayment keeps all four.
    if (m_prepaymentEdited) {
        const QString typed = m_prepayment->text().trimmed();
        const std::optional<Money> prepayment =
            typed.isEmpty() ? std::optional<Money>(Money()) : Money::parse(typed);
        if (!prepayment)
            throw RezydoError(QStringLiteral("'%1' nie jest poprawną kwotą.").arg(typed));
        m_header.prepayment = *prepayment;
    }
    // Without a prepayment there is no day or form of it to state.
    const bool prepaid = !m_header.prepayment.isZero();
    m_header.prepaymentDate = prepaid ? m_prepaymentDate->date() : QDate();
    m_header.prepaymentForm =
        prepaid ? std::optional<int>(m_prepaymentForm->currentIndex() + 1) : std::nullopt;
    m_header.name = m_recipient->text();
    m_header.address = m_address->text();
    m_header.order = m_order->text();
    m_header.idKind = m_idKind->currentIndex();
    m_header.nip =
        checkedBuyerId(static_cast<BuyerIdKind>(m_idKind->currentIndex()), m_nip->text());
    m_header.countryId = m_country->currentData().isValid()
                             ? std::optional<int>(m_country->currentData().toInt())
                             : std::nullopt;
    m_header.number = intFrom(m_number);
}

void TOplaty::issue()
{
    m_headerChanging = true;
    const QString prefilled = m_number->text();
    const std::optional<QString> answer = prompter().inputText(
        QStringLiteral("Numer faktury"), QStringLiteral("Wprowadź nowy numer faktury"), prefilled);
    const int number = invoiceNumberFromAnswer(answer, prefilled);
    m_number->setText(QString::number(number));
    collectInvoiceFields();
    // A proposal left as it was asks for the next free number: another desk may
    // have taken the proposed one meanwhile.
    const bool next = m_proposedNumber == number;
    issueInvoice(dataModule().database(), m_header, m_issueDate->date(), m_saleDate->date(),
                 m_transfer->isChecked() ? PaymentMethod::Transfer : PaymentMethod::Cash,
                 m_term->value(), next ? std::nullopt : std::optional<int>(number),
                 invoiceSeries());
    showInvoicePage();
    if (next && m_header.number != number)
        prompter().inform(QStringLiteral("Numer %1 zajęła w międzyczasie inna faktura. Wystawiono "
                                         "fakturę nr %2.")
                              .arg(number)
                              .arg(invoiceNumberText(m_header)),
                          QStringLiteral("Numer faktury"));
    warnKsefLimit();
}

void TOplaty::checkBuyerId()
{
    // Each typed identifier is checked once, when the field is left.
    if (m_filling || m_nip->text() == m_checkedNip || !m_idKind->isEnabled())
        return;
    m_checkedNip = m_nip->text();
    const auto kind = static_cast<BuyerIdKind>(m_idKind->currentIndex());
    try {
        const QString id = checkedBuyerId(kind, m_nip->text());
        if (id != m_nip->text()) {
            m_nip->setText(id);
            m_checkedNip = id;
        }
    } catch (const RezydoError& e) {
        prompter().warn(e.text(), QStringLiteral("Identyfikator nabywcy"));
    }
}

void TOplaty::fillCountries()
{
    QSqlQuery q = runSql(dataModule().database(),
                         QStringLiteral("SELECT ID, Nazwa FROM Panstwo ORDER BY ID <> 1, Nazwa") +
                             kCollatePolish);
    while (q.next())
        m_country->addItem(q.value(1).toString(), q.value(0).toInt());
}

void TOplaty::setCountry(std::optional<int> countryId)
{
    m_country->setCurrentIndex(std::max(0, m_country->findData(countryId.value_or(1))));
}

void TOplaty::correct()
{
    TKorekta dialog(m_groupId, this);
    runModal(dialog);
    showInvoicePage();
}

void TOplaty::setCalculationFrozen(bool frozen)
{
    m_calculationFrozen = frozen;
    for (QLineEdit* edit : {m_lineSize, m_lineRoom, m_lineTaken, m_lineNights, m_linePrice,
                            m_lineDiscount, m_lineBasis, m_lineGross, m_discount, m_basis})
        edit->setReadOnly(frozen);
    for (QWidget* w : std::initializer_list<QWidget*>{
             m_lineVat, m_vat, findChild<QPushButton*>(QStringLiteral("ZastosujZnizke")),
             findChild<QPushButton*>(QStringLiteral("UsunZnizke")), m_breakfast, m_serviceChoice,
             m_addService, m_changeService, m_removeService})
        if (w)
            w->setEnabled(!frozen);
}

void TOplaty::cancelIssued()
{
    cancelInvoice(dataModule().database(), m_groupId);
    showInvoicePage();
}

void TOplaty::chooseClient()
{
    const std::optional<RegularClient> client = m_clientsDialog.choose();
    if (!client)
        return;
    m_headerChanging = true;
    m_recipient->setText(client->name);
    m_address->setText(client->address);
    m_filling = true;
    m_idKind->setCurrentIndex(
        client->idKind.value_or(static_cast<int>(likelyBuyerIdKind(client->nip))));
    m_filling = false;
    m_nip->setText(client->nip);
    m_checkedNip = client->nip;
    setCountry(client->countryId);
}

void TOplaty::confirmPrepayment()
{
    QSqlDatabase db = dataModule().database();
    if (m_headerChanging) {
        collectInvoiceFields();
        ::confirmPrepayment(db, m_header);
        m_headerChanging = false;
    } else {
        settle(db, m_groupId);
    }
    m_header.settled = loadHeader(db, m_groupId).settled;
    showSettlement(currentSettlement(db, m_groupId));
}
