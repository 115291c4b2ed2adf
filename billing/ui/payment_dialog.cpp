#include "billing/ui/payment_dialog.h"

#include "billing/payments.h"
#include "core/clock.h"
#include "core/days.h"
#include "core/error.h"
#include "core/ui/modal.h"
#include "db/data_module.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

namespace {
// Four digits, "/", four digits, "#", four digits; the separators are kept in
// the value. Digits are optional so that a partly filled number can be saved.
const QString kReceiptMask = QStringLiteral("0000/0000\\#0000");
} // namespace

TRejestracjaOplaty::TRejestracjaOplaty(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("RejestracjaOplaty"));
    setWindowTitle(QStringLiteral("Rejestracja opłaty"));
    setModal(true);

    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("TypOplaty"));
    m_type->setEditable(true);
    m_type->setInsertPolicy(QComboBox::NoInsert);
    m_type->addItems(paymentTypeNames());
    m_form = new QComboBox(this);
    m_form->setObjectName(QStringLiteral("FormaPlatnosci"));
    m_form->addItems(paymentFormNames());
    m_number = new QLineEdit(this);
    m_number->setObjectName(QStringLiteral("Numer"));
    m_amount = new QLineEdit(this);
    m_amount->setObjectName(QStringLiteral("Wplata"));
    m_toPay = new QLineEdit(this);
    m_toPay->setObjectName(QStringLiteral("DoZaplaty"));
    m_toPay->setReadOnly(true);
    m_day = new QDateEdit(this);
    m_day->setObjectName(QStringLiteral("Data"));
    m_day->setDisplayFormat(QLatin1String(kDayFormat));
    m_day->setCalendarPopup(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Typ opłaty"), m_type);
    form->addRow(QStringLiteral("Forma płatności"), m_form);
    m_numberHint = new QLabel(this);
    m_numberHint->setObjectName(QStringLiteral("NumerPodpowiedz"));
    form->addRow(QStringLiteral("Numer"), m_number);
    form->addRow(QString(), m_numberHint);
    form->addRow(QStringLiteral("Wpłata"), m_amount);
    form->addRow(QStringLiteral("Do zapłaty"), m_toPay);
    form->addRow(QStringLiteral("Data"), m_day);

    auto* saveButton = new QPushButton(QStringLiteral("&Rejestruj wpłatę"), this);
    saveButton->setObjectName(QStringLiteral("RejestrujWplate"));
    saveButton->setAutoDefault(false);
    auto* close = new QPushButton(QStringLiteral("&Zamknij"), this);
    close->setObjectName(QStringLiteral("Zamknij"));
    close->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(saveButton, &QPushButton::clicked, this, [this] { guarded([this] { save(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_amount, &QLineEdit::textEdited, this, [this] { m_amountTyped = true; });
    connect(m_type, &QComboBox::currentTextChanged, this,
            [this] { guarded([this] { proposeNumber(); }); });
}

bool TRejestracjaOplaty::registerFor(int groupId, const QString& toPayText, Money toPay)
{
    m_groupId = groupId;
    m_type->blockSignals(true);
    m_type->setCurrentIndex(0);
    m_type->setEditText(paymentTypeNames().first());
    m_type->blockSignals(false);
    m_toPay->setText(toPayText);
    m_day->setDate(today());
    m_proposed = toPay;
    m_amount->setText(toPay.toPlainString());
    m_amountTyped = false;
    const bool saved = runModal(*this) == QDialog::Accepted;
    m_groupId = 0;
    return saved;
}

void TRejestracjaOplaty::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    guarded([this] { proposeNumber(); });
}

void TRejestracjaOplaty::proposeNumber()
{
    if (m_groupId == 0)
        return;
    const int type = paymentTypeCode(m_type->currentText());
    m_form->setCurrentIndex(static_cast<int>(usualPaymentForm(type)) - 1);
    QSqlDatabase db = dataModule().database();
    m_number->setInputMask(type == kReceiptType ? kReceiptMask : QString());
    if (type == kReceiptType) {
        // A receipt's number is the one the till printed: it is typed, never
        // made up by the program; the latest one stored is only a reminder.
        m_number->clear();
        const QString latest = latestDocumentNumber(db, type);
        m_numberHint->setText(
            QStringLiteral("Wpisz numer z paragonu kasy fiskalnej.") +
            (latest.trimmed().isEmpty()
                 ? QString()
                 : QStringLiteral("\nOstatni zapisany paragon: %1").arg(latest.trimmed())));
        m_numberHint->show();
        adjustSize();
        m_number->setFocus();
        return;
    }
    m_numberHint->hide();
    adjustSize();
    m_number->setText(nextDocumentNumber(db, type));
    m_amount->setFocus();
    m_amount->selectAll();
}

void TRejestracjaOplaty::save()
{
    const std::optional<Money> amount =
        m_amountTyped ? Money::parse(m_amount->text()) : std::optional<Money>(m_proposed);
    if (!amount)
        throw RezydoError(QStringLiteral("'%1' nie jest poprawną kwotą.").arg(m_amount->text()));
    Payment p;
    p.groupId = m_groupId;
    p.type = paymentTypeCode(m_type->currentText());
    // The receipt field's text leaves out the empty positions of its mask.
    p.number = p.type == kReceiptType ? receiptNumber(m_number->text()) : m_number->text();
    if (p.type == kReceiptType && !p.number.contains(QRegularExpression(QStringLiteral("[0-9]"))))
        throw RezydoError(
            QStringLiteral("Wpisz numer paragonu wydrukowanego przez kasę fiskalną."));
    p.amount = *amount;
    p.day = m_day->date();
    p.form = m_form->currentIndex() + 1;
    registerPayment(dataModule().database(), p);
    accept();
}
