#include "admin/ui/person_archive_window.h"

#include "admin/archive_report.h"
#include "admin/archive_rows.h"
#include "admin/ui/archive_model.h"
#include "core/clock.h"
#include "core/error.h"
#include "core/prompter.h"
#include "core/ui/child_window.h"
#include "core/ui/column_fields.h"
#include "core/ui/list_grid.h"
#include "core/ui/modal.h"
#include "core/ui/title_sort.h"
#include "db/data_module.h"
#include "db/sql.h"
#include "register/guest_data_commands.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const QString kCaption = QStringLiteral("Archiwum gości");

QPushButton* button(QWidget* parent, const QString& caption, const char* name)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QDateEdit* dateField(QWidget* parent, const char* name, const QDate& day)
{
    auto* field = new QDateEdit(day, parent);
    field->setObjectName(QLatin1String(name));
    field->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    field->setCalendarPopup(true);
    return field;
}
} // namespace

TArchiwum::TArchiwum(bool fromRegistration, QWidget* parent)
    : QDialog(parent)
    , m_fromRegistration(fromRegistration)
{
    setObjectName(QStringLiteral("TArchiwum"));
    setWindowTitle(kCaption);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(true);
    m_rows = new ArchiveRows(this);
    buildControls();
    resize(820, 520);
    guarded([this] { reload(); });
}

TArchiwum::~TArchiwum() = default;

void TArchiwum::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buildKindRow());

    m_grid = makeListGrid(this, QStringLiteral("Lista"));
    // The grid reads further rows as it scrolls.
    m_model = new ArchiveModel(
        *m_rows,
        {{QStringLiteral("Nazwisko"), QStringLiteral("Nazwisko")},
         {QStringLiteral("Imie"), QStringLiteral("Imię")},
         {QStringLiteral("Adres"), QStringLiteral("Adres")},
         {QStringLiteral("Nr_pokoju"), QStringLiteral("Nr pokoju"), Qt::AlignHCenter},
         {QStringLiteral("OD"), QStringLiteral("Od"), Qt::AlignHCenter},
         {QStringLiteral("Do"), QStringLiteral("Do"), Qt::AlignHCenter}},
        this);
    m_grid->setModel(m_model);
    m_model->followSelection(m_grid->selectionModel());
    // Columns fit their texts and the address takes the rest; only a sample of
    // the rows is measured, the list may hold years of guests.
    fitColumns(m_grid, 2);
    m_grid->horizontalHeader()->setResizeContentsPrecision(100);
    QMap<int, QString> fields;
    const QStringList sortFields = archiveSortFields();
    for (int i = 0; i < sortFields.size(); ++i)
        fields.insert(i, sortFields[i]);
    m_sort = new TitleSort(m_grid->horizontalHeader(), fields, kArchiveInitialOrder,
                           [this](const QString&) { reload(); });
    layout->addLayout(buildSearchRow(), 1);
    layout->addLayout(buildButtonRow());
    // Tab goes from the search boxes to the grid; Enter on a row takes the
    // person into the registration, or else shows the person's details.
    QWidget::setTabOrder(m_search.last(), m_grid);
    setRowAction(m_grid, [this] { m_fromRegistration ? takePerson() : details(); });
}

QLayout* TArchiwum::buildKindRow()
{
    auto* row = new QHBoxLayout;
    auto* kindLabel = new QLabel(QStringLiteral("Rodzaj wyświetlanych danych"), this);
    m_kind = new QComboBox(this);
    m_kind->setObjectName(QStringLiteral("Rodzaj"));
    m_kind->addItems(archiveKindItems());
    kindLabel->setBuddy(m_kind);
    m_fromLabel = new QLabel(QStringLiteral("Data początkowa"), this);
    m_fromLabel->setObjectName(QStringLiteral("EtykietaDataPoczatkowa"));
    m_from = dateField(this, "DataPoczatkowa", today());
    m_toLabel = new QLabel(QStringLiteral("Data końcowa"), this);
    m_toLabel->setObjectName(QStringLiteral("EtykietaDataKoncowa"));
    m_to = dateField(this, "DataKoncowa", today().addDays(1));
    for (QWidget* w : {static_cast<QWidget*>(kindLabel), static_cast<QWidget*>(m_kind),
                       static_cast<QWidget*>(m_fromLabel), static_cast<QWidget*>(m_from),
                       static_cast<QWidget*>(m_toLabel), static_cast<QWidget*>(m_to)})
        row->addWidget(w);
    row->addStretch(1);
    kindChanged();

    connect(m_kind, &QComboBox::currentIndexChanged, this, [this] {
        kindChanged();
        guarded([this] { reload(); });
    });
    for (QDateEdit* field : {m_from, m_to})
        connect(field, &QDateEdit::dateChanged, this, [this] { guarded([this] { reload(); }); });
    return row;
}

QLayout* TArchiwum::buildSearchRow()
{
    // The grid with one search box under each of its columns.
    auto* boxes = new ColumnFields(m_grid, this);
    m_search = boxes->addFieldsInOrder({{"SzukajNazwisko", "Szukanie wg nazwiska gościa"},
                                        {"SzukajImie", "Szukanie wg imienia gościa"},
                                        {"SzukajAdres", "Szukanie wg adresu  gościa"},
                                        {"SzukajPokoj", ""},
                                        {"SzukajOd", ""},
                                        {"SzukajDo", ""}},
                                       [this] { search(); });
    return gridWithSearchFields(
        this, m_grid, boxes, FieldsPlace::Below, [this] { search(); }, [this] { clearSearch(); });
}

QLayout* TArchiwum::buildButtonRow()
{
    auto* row = new QHBoxLayout;
    QPushButton* preview = button(this, QStringLiteral("&Podgląd"), "Podglad");
    QPushButton* printNow = button(this, QStringLiteral("&Drukuj"), "Drukuj");
    QPushButton* details = button(this, QStringLiteral("Sz&czegóły"), "Szczegoly");
    QPushButton* take = button(this, QStringLiteral("&Książka"), "Ksiazka");
    QPushButton* exportData =
        button(this, QStringLiteral("&Eksport danych osoby"), "EksportDanych");
    QPushButton* eraseData = button(this, QStringLiteral("&Usuń dane osoby"), "UsunDane");
    QPushButton* close = button(this, QStringLiteral("&Zamknij"), "Zamknij");
    // The registration takes a person and prints nothing; the menu only looks.
    for (QPushButton* b : {preview, printNow}) {
        b->setVisible(!m_fromRegistration);
        b->setEnabled(!m_fromRegistration);
    }
    take->setVisible(m_fromRegistration);
    take->setEnabled(m_fromRegistration);
    for (QPushButton* b : {preview, printNow, details, exportData, eraseData, take, close})
        row->addWidget(b);
    row->insertStretch(2, 1);

    connect(preview, &QPushButton::clicked, this, [this] { printAsked(ReportOutput::Preview); });
    connect(printNow, &QPushButton::clicked, this, [this] { printAsked(ReportOutput::Print); });
    connect(details, &QPushButton::clicked, this, &TArchiwum::details);
    connect(take, &QPushButton::clicked, this, &TArchiwum::takePerson);
    connect(exportData, &QPushButton::clicked, this, [this] {
        if (const int person = currentPerson(); person > 0)
            guarded([person] { exportPersonDataCommand(person); });
    });
    connect(eraseData, &QPushButton::clicked, this, [this] {
        bool erased = false;
        if (const int person = currentPerson(); person > 0)
            guarded([&] { erased = erasePersonDataCommand(person); });
        if (erased)
            guarded([this] { reload(); });
    });
    connect(close, &QPushButton::clicked, this, &TArchiwum::reject);
    return row;
}

void TArchiwum::kindChanged()
{
    const bool dated = archiveKindHasDates(kind());
    for (QWidget* w : {static_cast<QWidget*>(m_fromLabel), static_cast<QWidget*>(m_from),
                       static_cast<QWidget*>(m_toLabel), static_cast<QWidget*>(m_to)})
        w->setVisible(dated);
}

QString TArchiwum::order() const
{
    return m_sort->order();
}

ArchiveKind TArchiwum::kind() const
{
    return static_cast<ArchiveKind>(std::max(0, m_kind->currentIndex()));
}

void TArchiwum::reload()
{
    // The grid is not redrawn row by row while the rows are read again.
    m_grid->setUpdatesEnabled(false);
    try {
        m_rows->open({kind(), m_from->date(), m_to->date(), m_sort->order()});
    } catch (const DbError& e) {
        // The set stays closed and the grid empty.
        m_grid->setUpdatesEnabled(true);
        reportDatabaseError(kCaption, e);
        return;
    }
    m_grid->setUpdatesEnabled(true);
}

void TArchiwum::search()
{
    QStringList texts;
    for (const QLineEdit* box : m_search)
        texts << box->text();
    runSearch(archiveSearch(texts));
}

void TArchiwum::clearSearch()
{
    for (QLineEdit* box : m_search)
        box->clear();
    runSearch({});
}

void TArchiwum::runSearch(const QString& expression)
{
    try {
        if (m_rows->setSearch(expression))
            prompter().warn(QStringLiteral("Podano nieprawidłowe parametry do wyszukiwania"),
                            QStringLiteral("Błąd Wyszukiwania !!!"));
    } catch (const DbError& e) {
        reportDatabaseError(kCaption, e);
    }
}

void TArchiwum::print(ReportOutput mode)
{
    const LaunchResult result = printArchive(*m_rows, mode);
    if (!result.ok)
        prompter().warn(result.message, kCaption);
}

void TArchiwum::printAsked(ReportOutput mode)
{
    if (!isVisible()) {
        guarded([&] { print(mode); });
        return;
    }
    m_printout = mode;
    QDialog::accept();
}

int TArchiwum::currentPerson() const
{
    const QVariant id = m_rows->value(QStringLiteral("Identyfikator_o"));
    return id.isValid() ? id.toInt() : 0;
}

void TArchiwum::details()
{
    m_choice.personId = currentPerson();
    m_choice.details = true;
    m_choice.finished = false;
    accept();
}

void TArchiwum::takePerson()
{
    m_choice.personId = currentPerson();
    m_choice.chosen = m_choice.personId > 0;
    m_choice.finished = true;
    accept();
}

void TArchiwum::reject()
{
    // "&Zamknij", Escape and the close box end the caller's loop.
    m_choice.finished = true;
    QDialog::reject();
}

ArchiveChoice TArchiwum::showModal()
{
    m_choice.personId = 0;
    m_choice.details = false;
    m_choice.chosen = false;
    m_choice.finished = false;
    int result = QDialog::Rejected;
    for (;;) {
        m_printout.reset();
        result = runModal(*this);
        if (!m_printout)
            break;
        const ReportOutput mode = *m_printout;
        guarded([&] { print(mode); });
    }
    const bool detailsAsked = result == QDialog::Accepted && m_choice.details;
    // Every way out but "Szczegóły" finishes the work with the archive.
    if (!detailsAsked)
        m_choice.finished = true;
    return m_choice;
}

void TArchiwum::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnOwner(this);
}
