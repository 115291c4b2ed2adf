#include "admin/ui/hotel_data_window.h"

#include "admin/anonymisation.h"
#include "admin/invoice_settings.h"
#include "admin/setup_rows.h"
#include "admin/ui/cursor_choice.h"
#include "admin/ui/cursor_fields.h"
#include "core/error.h"
#include "core/prompter.h"
#include "core/settings.h"
#include "db/data_module.h"
#include "db/sql.h"
#include "db/table_cursor.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
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
    layout->addWidget(buildGuestData());
    layout->addLayout(buttons);
    resize(460, sizeHint().height());

    guarded([this] { m_config.open(); });
    showGuestData();
    connect(&m_config, &TableCursor::rowsChanged, this, &TKonfiguracja::showGuestData);
}

QWidget* TKonfiguracja::buildGuestData()
{
    auto* box = new QGroupBox(QStringLiteral("Dane gości"), this);
    box->setObjectName(QStringLiteral("DaneGosci"));
    auto* form = new QFormLayout(box);
    m_zakres = new QComboBox(box);
    m_zakres->setObjectName(QStringLiteral("ZakresDanych"));
    m_zakres->addItems({QStringLiteral("pełny (data i miejsce urodzenia, dokument)"),
                        QStringLiteral("minimalny (nazwisko, imię, adres, państwo, pobyt)")});
    m_lata = new QSpinBox(box);
    m_lata->setObjectName(QStringLiteral("LataPrzechowywania"));
    m_lata->setRange(kMinRetentionYears, kMaxRetentionYears);
    m_lata->setToolTip(QStringLiteral("Pełne lata po końcu roku ostatniego pobytu gościa; nie "
                                      "mniej niż 5, tyle trzeba przechowywać faktury."));
    m_kopie = new QSpinBox(box);
    m_kopie->setObjectName(QStringLiteral("KopieZapasowe"));
    m_kopie->setRange(0, 999);
    m_kopie->setSpecialValueText(QStringLiteral("wszystkie"));
    m_kopie->setValue(readSetting(QStringLiteral("KopieZapasowe")).value_or(QString()).toInt());
    const struct {
        const char* caption;
        QWidget* field;
    } rows[] = {{"&Zakres danych gościa", m_zakres},
                {"&Lata przechowywania danych byłych gości", m_lata},
                {"&Kopie zapasowe: zachowaj ostatnie", m_kopie}};
    for (const auto& row : rows) {
        auto* label = new QLabel(QString::fromUtf8(row.caption), box);
        label->setBuddy(row.field);
        form->addRow(label, row.field);
    }
    // The Config row takes a change like a typed box: the row goes into edit
    // state and "&Ok" saves it.
    const auto setColumn = [this](const QString& column, const QVariant& value) {
        if (m_showing)
            return;
        guarded([&] {
            if (m_config.isEmpty())
                m_config.insert();
            m_config.setValue(column, value);
        });
    };
    connect(m_zakres, &QComboBox::currentIndexChanged, this, [setColumn](int index) {
        // A whole number: the server's integer column takes no truth value.
        setColumn(QStringLiteral("Dane_minimalne"), index == 1 ? 1 : 0);
    });
    connect(m_lata, &QSpinBox::valueChanged, this,
            [setColumn](int years) { setColumn(QStringLiteral("Lata_przechowywania"), years); });
    connect(m_kopie, &QSpinBox::valueChanged, this, [this] { m_backupsChanged = true; });
    return box;
}

void TKonfiguracja::showGuestData()
{
    m_showing = true;
    const bool row = m_config.isOpen() && !m_config.isEmpty();
    m_zakres->setCurrentIndex(
        row && m_config.value(QStringLiteral("Dane_minimalne")).toInt() != 0 ? 1 : 0);
    m_lata->setValue(row ? m_config.value(QStringLiteral("Lata_przechowywania")).toInt()
                         : kMinRetentionYears);
    m_showing = false;
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
        {"Identyfikator statystyczny", "IdStatystyczny", "Id_statystyczny"},
    };
    for (const auto& b : bound) {
        QLineEdit* e = box(QLatin1String(b.name));
        m_fields->bind(e, QLatin1String(b.column));
        form->addRow(QString::fromUtf8(b.label), e);
    }
    form->addRow(QStringLiteral("Rodzaj obiektu"), kindBox());

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

QComboBox* TKonfiguracja::kindBox()
{
    // The kinds of the statistics office's form; another may be typed.
    auto* combo = new QComboBox(this);
    combo->setObjectName(QStringLiteral("RodzajObiektu"));
    combo->setEditable(true);
    combo->addItems({QStringLiteral("hotel"), QStringLiteral("motel"), QStringLiteral("pensjonat"),
                     QStringLiteral("inny obiekt hotelowy"), QStringLiteral("dom wycieczkowy"),
                     QStringLiteral("schronisko"), QStringLiteral("kemping"),
                     QStringLiteral("ośrodek wczasowy"),
                     QStringLiteral("zespół domków turystycznych"),
                     QStringLiteral("pokoje gościnne / kwatery prywatne"),
                     QStringLiteral("kwatera agroturystyczna")});
    combo->setCurrentIndex(-1);
    combo->setToolTip(QStringLiteral("Rodzaj obiektu noclegowego do sprawozdania KT-1"));
    QLineEdit* edit = combo->lineEdit();
    edit->setObjectName(QStringLiteral("RodzajObiektuTekst"));
    m_fields->bind(edit, QStringLiteral("Rodzaj_obiektu"));
    // A kind picked from the list is typed in as far as the row is concerned.
    connect(combo, &QComboBox::textActivated, edit, &QLineEdit::textEdited);
    return combo;
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
    QStringList notSaved;
    if (m_changed)
        notSaved = InvoiceSettings{m_bank->text(), m_konto->text(), m_rozszerzenie->text()}.write();
    if (m_backupsChanged &&
        !writeSetting(QStringLiteral("KopieZapasowe"), QString::number(m_kopie->value())))
        notSaved << QStringLiteral("KopieZapasowe");
    const QString caption = windowTitle();
    close();
    if (!notSaved.isEmpty())
        prompter().error(settingsNotSavedText(notSaved), caption);
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
