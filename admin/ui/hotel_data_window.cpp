#include "admin/ui/hotel_data_window.h"

#include "admin/invoice_settings.h"
#include "admin/setup_rows.h"
#include "admin/ui/cursor_choice.h"
#include "admin/ui/cursor_fields.h"
#include "core/error.h"
#include "db/data_module.h"
#include "db/sql.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TKonfiguracja::TKonfiguracja(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_config(dataModule().config())
    , m_fields(new CursorFields(m_config, this))
{
    setObjectName(QStringLiteral("TKonfiguracja"));
    setWindowTitle(QStringLiteral("Konfiguracja"));
    setAttribute(Qt::WA_DeleteOnClose);
    // A database without its one Config row gets it from the first typing.
    m_fields->setInsertWhenEmpty(true);
    QWidget* dane = buildData();

    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("Ok"));
    auto* anuluj = new QPushButton(QStringLiteral("&Anuluj"), this);
    anuluj->setObjectName(QStringLiteral("Anuluj"));
    connect(ok, &QPushButton::clicked, this, [this] { guarded([this] { accept(); }); });
    connect(anuluj, &QPushButton::clicked, this, [this] { reject(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(anuluj);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(dane);
    layout->addLayout(buttons);
    resize(420, sizeHint().height());

    guarded([this] { m_config.open(); });
}

QWidget* TKonfiguracja::buildData()
{
    auto* dane = new QGroupBox(QStringLiteral("Dane Hotelu"), this);
    dane->setObjectName(QStringLiteral("DaneHotelu"));
    auto* form = new QFormLayout(dane);
    const struct {
        const char* label;
        const char* name;
        const char* column;
    } bound[] = {
        {"NIP", "NIP", "NIP"},
        {"Nazwa", "Nazwa", "Nazwa"},
        {"Adres", "Adres", "Adres"},
        {"Bank", "Bank", "Bank"},
        {"Konto", "Konto", "NrKonta"},
        {"REGON", "Regon", "Regon"},
        {"Symbol PKWiU", "SymbolPKWiU", "SWW"},
    };
    for (const auto& b : bound) {
        QLineEdit* e = box(QLatin1String(b.name));
        m_fields->bind(e, QLatin1String(b.column));
        form->addRow(QString::fromUtf8(b.label), e);
    }

    auto* faktura = new QGroupBox(QStringLiteral("Faktura"), dane);
    faktura->setObjectName(QStringLiteral("Faktura"));
    auto* fakturaForm = new QFormLayout(faktura);
    QLineEdit* miejscowosc = box(QStringLiteral("Miejscowosc"));
    m_fields->bind(miejscowosc, QStringLiteral("Miejscowosc"));
    fakturaForm->addRow(QStringLiteral("Miejscowość wystawienia"), miejscowosc);

    // The rate new room lines get, and the provision an exempt seller names.
    auto* stawka = new QComboBox(faktura);
    stawka->setObjectName(QStringLiteral("StawkaNoclegu"));
    guarded([stawka] {
        QSqlQuery q = runSql(dataModule().database(),
                             QStringLiteral("SELECT Kod FROM Stawki_VAT WHERE Oferowana = 1 "
                                            "ORDER BY rowid"));
        while (q.next())
            stawka->addItem(q.value(0).toString());
    });
    bindChoice(stawka, m_config, QStringLiteral("Stawka_noclegu"));
    fakturaForm->addRow(QStringLiteral("Stawka VAT za nocleg"), stawka);
    QLineEdit* zwolnienie = box(QStringLiteral("PodstawaZwolnienia"));
    zwolnienie->setMaxLength(200);
    zwolnienie->setPlaceholderText(QStringLiteral("np. art. 113 ust. 1 ustawy o VAT"));
    m_fields->bind(zwolnienie, QStringLiteral("Podstawa_zw"));
    fakturaForm->addRow(QStringLiteral("Podstawa zwolnienia z VAT"), zwolnienie);

    const InvoiceSettings settings = InvoiceSettings::read();
    m_rozszerzenie = settingsBox(QStringLiteral("Rozszerzenie"), settings.fakturaRoz);
    fakturaForm->addRow(QStringLiteral("Rozszerzenie numeru"), m_rozszerzenie);
    form->addRow(faktura);
    // The settings' own bank and account are kept but never shown: the
    // invoice prints the Config columns instead.
    m_bank = settingsBox(QStringLiteral("UstBank"), settings.bank);
    m_konto = settingsBox(QStringLiteral("UstKonto"), settings.konto);
    m_bank->hide();
    m_konto->hide();
    m_changed = false;
    return dane;
}

QLineEdit* TKonfiguracja::box(const QString& name)
{
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    return e;
}

QLineEdit* TKonfiguracja::settingsBox(const QString& name, const QString& text)
{
    QLineEdit* e = box(name);
    e->setText(text);
    connect(e, &QLineEdit::textEdited, this, [this] { m_changed = true; });
    return e;
}

void TKonfiguracja::accept()
{
    // A refused row keeps the window open and writes no settings.
    saveRow(m_config);
    if (m_changed)
        InvoiceSettings{m_bank->text(), m_konto->text(), m_rozszerzenie->text()}.write();
    close();
}

void TKonfiguracja::reject()
{
    m_config.cancel();
    close();
}

void TKonfiguracja::closeEvent(QCloseEvent* event)
{
    // Whatever was typed and not confirmed goes, so the shared row never
    // carries half-edited data onto an invoice.
    if (isEditing(m_config))
        m_config.cancel();
    event->accept();
}
