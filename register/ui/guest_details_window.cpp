#include "register/ui/guest_details_window.h"

#include "core/error.h"
#include "core/ui/child_window.h"
#include "core/ui/list_grid.h"
#include "core/ui/modal.h"
#include "db/data_module.h"
#include "register/guest_data_commands.h"
#include "register/guest_details_report.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>

#include <array>
#include <tuple>

namespace {
QLineEdit* field(QWidget* parent, const char* name, const QString& value)
{
    auto* edit = new QLineEdit(value, parent);
    edit->setObjectName(QLatin1String(name));
    edit->setReadOnly(true);
    edit->setCursorPosition(0);
    return edit;
}

void addRow(QFormLayout* form, const QString& caption, QWidget* value)
{
    auto* label = new QLabel(caption, value->parentWidget());
    label->setBuddy(value);
    form->addRow(label, value);
}

QPushButton* button(QWidget* parent, const QString& caption, const char* name)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}
} // namespace

TDaneKlienta::TDaneKlienta(GuestDetails details, QWidget* parent)
    : QDialog(parent)
    , m_details(std::move(details))
{
    setObjectName(QStringLiteral("TDaneKlienta"));
    setWindowTitle(QStringLiteral("Dane szczegółowe klienta"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(true);
    buildControls();
}

TDaneKlienta::~TDaneKlienta() = default;

void TDaneKlienta::buildControls()
{
    auto* grid = new QGridLayout(this);
    grid->addWidget(buildPersonalBox(), 0, 0, 2, 1);
    grid->addWidget(buildDocumentBox(), 0, 1);
    grid->addWidget(buildRemarksBox(), 1, 1);
    grid->addWidget(buildStayBox(), 0, 2, 2, 1);
    grid->addWidget(buildPaymentGrid(), 2, 0, 1, 3);

    QPushButton* preview = button(this, QStringLiteral("&Podgląd"), "Podglad");
    QPushButton* print = button(this, QStringLiteral("&Drukuj"), "Drukuj");
    QPushButton* exportData =
        button(this, QStringLiteral("&Eksport danych osoby"), "EksportDanych");
    QPushButton* eraseData = button(this, QStringLiteral("&Usuń dane osoby"), "UsunDane");
    QPushButton* close = button(this, QStringLiteral("&Zamknij"), "Zamknij");
    close->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(exportData);
    buttons->addWidget(eraseData);
    buttons->addStretch(1);
    buttons->addWidget(preview);
    buttons->addWidget(print);
    buttons->addWidget(close);
    grid->addLayout(buttons, 3, 0, 1, 3);

    connect(preview, &QPushButton::clicked, this, [this] { chooseOutput(ReportOutput::Preview); });
    connect(print, &QPushButton::clicked, this, [this] { chooseOutput(ReportOutput::Print); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    const int person = m_details.personId;
    connect(exportData, &QPushButton::clicked, this,
            [person] { guarded([person] { exportPersonDataCommand(person); }); });
    // The window shows what was loaded; after an erasure it closes rather
    // than go on showing the data that are gone.
    connect(eraseData, &QPushButton::clicked, this, [this, person] {
        bool erased = false;
        guarded([&] { erased = erasePersonDataCommand(person); });
        if (erased)
            reject();
    });
}

QGroupBox* TDaneKlienta::buildPersonalBox()
{
    const GuestDetails& d = m_details;
    auto* box = new QGroupBox(QStringLiteral("Dane osobowe"), this);
    box->setObjectName(QStringLiteral("DaneOsobowe"));
    auto* form = new QFormLayout(box);
    addRow(form, QStringLiteral("Nazwisko"), field(box, "Nazwisko", d.Nazwisko));
    addRow(form, QStringLiteral("Imię"), field(box, "Imie", d.Imie));
    QWidget* country = field(box, "Panstwo", d.Panstwo);
    country->setToolTip(QStringLiteral("Kraj stałego zamieszkania gościa"));
    addRow(form, QStringLiteral("Państwo"), country);
    addRow(form, QStringLiteral("Data urodzenia"), field(box, "DataUrodzenia", d.DataUrodzenia));
    addRow(form, QStringLiteral("Miejsce urodzenia"),
           field(box, "MiejsceUrodzenia", d.MiejsceUrodzenia));
    QLineEdit* address = field(box, "Adres", d.Adres);
    address->setMinimumWidth(220); // room for most of a 70-character address
    addRow(form, QStringLiteral("Adres"), address);
    return box;
}

QGroupBox* TDaneKlienta::buildDocumentBox()
{
    auto* box = new QGroupBox(QStringLiteral("Dokument  tożsamości"), this);
    box->setObjectName(QStringLiteral("DokumentTozsamosci"));
    auto* form = new QFormLayout(box);
    addRow(form, QStringLiteral("Rodzaj"), field(box, "Rodzaj", m_details.Rodzaj));
    addRow(form, QStringLiteral("Numer"), field(box, "Numer", m_details.Numer));
    return box;
}

QGroupBox* TDaneKlienta::buildRemarksBox()
{
    auto* box = new QGroupBox(QStringLiteral("Uwagi"), this);
    box->setObjectName(QStringLiteral("GrupaUwagi"));
    auto* layout = new QHBoxLayout(box);
    auto* remarks = new QPlainTextEdit(m_details.Uwagi, box);
    remarks->setObjectName(QStringLiteral("Uwagi"));
    remarks->setReadOnly(true);
    remarks->setTabChangesFocus(true);
    remarks->setMinimumWidth(200);
    layout->addWidget(remarks);
    return box;
}

QGroupBox* TDaneKlienta::buildStayBox()
{
    const GuestDetails& d = m_details;
    auto* box = new QGroupBox(QStringLiteral("Dane kwaterunku"), this);
    box->setObjectName(QStringLiteral("DaneKwaterunku"));
    auto* form = new QFormLayout(box);
    const std::array<std::tuple<const char*, const char*, QString>, 6> rows = {{
        {"Numer pokoju", "NumerPokoju", d.NumerPokoju},
        {"Od", "Od", d.Od},
        {"Do", "Do", d.Do},
        {"Zniżka %", "Znizka", d.Znizka},
        {"Rachunek Upr.", "RachunekUpr", d.RachunekUpr},
        {"Faktura VAT", "FakturaVat", d.FakturaVat},
    }};
    for (const auto& [caption, name, value] : rows) {
        QLineEdit* edit = field(box, name, value);
        // Wide enough for a whole day, the widest of these values.
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00")) +
                              16);
        addRow(form, QString::fromUtf8(caption), edit);
    }
    return box;
}

QTableView* TDaneKlienta::buildPaymentGrid()
{
    QTableView* grid = makeListGrid(this, QStringLiteral("Oplaty"));
    m_paymentModel = new QStandardItemModel(0, 4, grid);
    m_paymentModel->setHorizontalHeaderLabels({QStringLiteral("Typ"), QStringLiteral("Numer"),
                                               QStringLiteral("Data"), QStringLiteral("Wplata")});
    for (const GuestPayment& p : m_details.payments) {
        QList<QStandardItem*> row;
        for (const QString& text : {p.type, p.number, p.day, p.amount})
            row.append(new QStandardItem(text));
        row.last()->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_paymentModel->appendRow(row);
    }
    grid->setModel(m_paymentModel);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grid->horizontalHeader()->setStretchLastSection(true);
    return grid;
}

void TDaneKlienta::chooseOutput(ReportOutput output)
{
    m_output = output;
    accept();
}

void TDaneKlienta::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnOwner(this);
}

void TDaneKlienta::showFor(int personId, QWidget* parent)
{
    TDaneKlienta window(loadGuestDetails(dataModule().database(), personId), parent);
    window.run();
}

void TDaneKlienta::run()
{
    for (;;) {
        m_output.reset();
        runModal(*this);
        if (!m_output)
            return; // "&Zamknij", the close box or Escape
        // A failed printout is shown; the window comes back all the same.
        const ReportOutput output = *m_output;
        guarded([&] { printGuestDetails(m_details, output); });
    }
}
