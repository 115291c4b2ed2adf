#include "stays/ui/stay_editor_window.h"

#include "core/error.h"
#include "core/ui/column_fields.h"
#include "core/ui/keyboard.h"
#include "stays/chosen_lines.h"
#include "stays/ui/grid_view.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
// The texts the lists' columns are made for: a room type, a day, and a
// room's description.
const QString kTypeSample = QStringLiteral("EKON");
const QString kDaySample = QStringLiteral("0000-00-00");
const QString kDescriptionSample = QStringLiteral("apartament (2+2)");
// The window's margins and the gaps between the lists, narrow to leave the
// width to the lists.
constexpr int kMargin = 4;

QDateEdit* dateEdit(const QString& name, const QString& hint, QWidget* parent)
{
    auto* edit = new QDateEdit(parent);
    edit->setObjectName(name);
    edit->setToolTip(hint);
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    return edit;
}

QLineEdit* lineEdit(const QString& name, const QString& hint, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setToolTip(hint);
    return edit;
}

QPushButton* button(const QString& caption, const QString& name, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}
} // namespace

TRezerwacja::TRezerwacja(StayMode mode, int groupId, QObject* caller, QWidget* parent)
    : QWidget(parent)
    , m_mode(mode)
    , m_groupId(isChange(mode) ? groupId : 0)
    , m_caller(caller)
    , m_freeRooms(Availability::freeRoomsGrid())
    , m_freePlaces(Availability::freePlacesGrid())
    , m_chosen(chosenGrid())
{
    setObjectName(QStringLiteral("TRezerwacja"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    buildHeader();
    m_body = new QWidget(this);
    auto* body = new QHBoxLayout(m_body);
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(kMargin);
    // The lists share the width in the measure of what their columns need,
    // so that at the program's start size both show every column whole.
    QWidget* availability = buildAvailability();
    QWidget* middle = buildMiddle();
    QWidget* chosen = buildChosen();
    body->addWidget(availability, std::max(madeWidth(m_roomsTable), madeWidth(m_placesTable)));
    body->addWidget(middle, 0);
    body->addWidget(chosen, madeWidth(m_chosenTable));
    layout->addWidget(m_body, 1);
    layout->addWidget(buildBottom());
    connectSignals();
}

TRezerwacja::~TRezerwacja() = default;

void TRezerwacja::buildHeader()
{
    auto* header = new QWidget(this);
    auto* grid = new QGridLayout(header);
    grid->setContentsMargins(0, 0, 0, 0);
    m_name = lineEdit(QStringLiteral("Rezerwujacy"), QStringLiteral("Nazwa grupy"), header);
    m_persons = lineEdit(QStringLiteral("Il_os"), QStringLiteral("Ilość osób w grupie"), header);
    m_persons->setMaximumWidth(60);
    m_notes = new QPlainTextEdit(header);
    m_notes->setObjectName(QStringLiteral("notatki"));
    m_notes->setToolTip(QStringLiteral("Notatki"));
    m_notes->setMaximumHeight(50);
    // Tab moves on from the notes; Enter still starts a new line.
    m_notes->setTabChangesFocus(true);
    m_from = dateEdit(QStringLiteral("Data_pocz"), QStringLiteral("Od dnia"), header);
    m_to = dateEdit(QStringLiteral("Data_kon"), QStringLiteral("Do dnia"), header);

    grid->addWidget(new QLabel(QStringLiteral("Nazwa grupy"), header), 0, 0);
    grid->addWidget(m_name, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("IIość osób"), header), 0, 2);
    grid->addWidget(m_persons, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Od"), header), 0, 4);
    grid->addWidget(m_from, 0, 5);
    grid->addWidget(new QLabel(QStringLiteral("Do"), header), 0, 6);
    grid->addWidget(m_to, 0, 7);
    grid->addWidget(m_notes, 1, 0, 1, 8);
    grid->setColumnStretch(1, 1);
    // Tab follows the first row and then goes down to the notes under it.
    setTabChain({m_name, m_persons, m_from, m_to, m_notes});
    static_cast<QVBoxLayout*>(layout())->addWidget(header);
}

QWidget* TRezerwacja::availabilityPage(const QString& prefix, QTableWidget* table)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    QList<QLineEdit*>& fields = prefix == QLatin1String("Pokoje") ? m_roomFilters : m_placeFilters;
    // The four fields stand over columns 1 to 4 of the list.
    auto* filters = new ColumnFields(table, page);
    for (int i = 1; i <= 4; ++i) {
        QLineEdit* field = filters->addField(i, QStringLiteral("Filtr%1%2").arg(prefix).arg(i));
        connect(field, &QLineEdit::returnPressed, this, [this] { fillActivePage(); });
        fields.append(field);
    }

    QPushButton* refresh =
        button(QStringLiteral("Odśwież"), QStringLiteral("Odswiez") + prefix, page);
    QPushButton* clear = button(QStringLiteral("Wyczyść"), QStringLiteral("Czysc") + prefix, page);
    connect(refresh, &QPushButton::clicked, this, [this] { fillActivePage(); });
    connect(clear, &QPushButton::clicked, this, [this] { clearFilters(); });
    refresh->setToolTip(QStringLiteral("Odśwież listę"));
    clear->setToolTip(QStringLiteral("Wyczyść filtry"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(refresh);
    buttons->addWidget(clear);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    layout->addWidget(filters);
    // Taken into the page last, the list comes after its filters in the Tab order.
    table->setParent(page);
    layout->addWidget(table);
    return page;
}

QWidget* TRezerwacja::buildAvailability()
{
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("Dostepnosc"));
    // The list's own frame is the page's frame.
    m_pages->setDocumentMode(true);
    m_roomsTable = makeGridTable(QStringLiteral("WolnePokoje"), m_freeRooms, m_pages,
                                 {{3, kTypeSample}, {4, kDescriptionSample}});
    m_roomsTable->setToolTip(QStringLiteral("Lista wolnych pokoi w wybranym okresie"));
    m_placesTable =
        makeGridTable(QStringLiteral("WolneMiejsca"), m_freePlaces, m_pages, {{3, kTypeSample}});
    m_placesTable->setToolTip(QStringLiteral("Lista wolnych miejsc w wybranym okresie"));
    m_pages->addTab(availabilityPage(QStringLiteral("Pokoje"), m_roomsTable),
                    QStringLiteral("Wolne pokoje"));
    m_pages->addTab(availabilityPage(QStringLiteral("Miejsca"), m_placesTable),
                    QStringLiteral("Wolne miejsca"));
    m_pages->setTabToolTip(0, m_roomsTable->toolTip());
    m_pages->setTabToolTip(1, m_placesTable->toolTip());
    // From the filter fields Tab goes on to the list under them.
    QWidget::setTabOrder(m_roomFilters.last(), m_roomsTable);
    QWidget::setTabOrder(m_placeFilters.last(), m_placesTable);
    return m_pages;
}

QWidget* TRezerwacja::buildMiddle()
{
    auto* middle = new QWidget(this);
    auto* layout = new QVBoxLayout(middle);
    layout->setContentsMargins(0, 0, 0, 0);
    m_add = button(QStringLiteral("Dodaj >>"), QStringLiteral("Dodaj"), middle);
    m_remove = button(QStringLiteral("<< Usuń"), QStringLiteral("Usun"), middle);
    layout->addWidget(m_add);
    layout->addWidget(m_remove);

    auto* beds = new QGroupBox(QStringLiteral("Miejsca"), middle);
    beds->setObjectName(QStringLiteral("Miejsca"));
    auto* bedsLayout = new QVBoxLayout(beds);
    m_wholeRoom = new QRadioButton(QStringLiteral("Cały pokój"), beds);
    m_wholeRoom->setObjectName(QStringLiteral("CalyPokoj"));
    m_singles = new QRadioButton(QStringLiteral("Pojedyńcze"), beds);
    m_singles->setObjectName(QStringLiteral("Pojedyncze"));
    m_count = lineEdit(QStringLiteral("IloscMiejsc"), QString(), beds);
    m_count->setMaximumWidth(50);
    m_count->hide();
    m_wholeRoom->setChecked(true);
    bedsLayout->addWidget(m_wholeRoom);
    bedsLayout->addWidget(m_singles);
    bedsLayout->addWidget(m_count);
    layout->addWidget(beds);

    auto* kind = new QGroupBox(QStringLiteral("Typ miejsc"), middle);
    kind->setObjectName(QStringLiteral("TypMiejsc"));
    auto* kindLayout = new QHBoxLayout(kind);
    m_women = new QRadioButton(QStringLiteral("K"), kind);
    m_women->setObjectName(QStringLiteral("TypK"));
    m_men = new QRadioButton(QStringLiteral("M"), kind);
    m_men->setObjectName(QStringLiteral("TypM"));
    m_men->setChecked(true);
    kindLayout->addWidget(m_women);
    kindLayout->addWidget(m_men);
    layout->addWidget(kind);

    auto* term = new QGroupBox(QStringLiteral("Zmiana terminu"), middle);
    term->setObjectName(QStringLiteral("ZmianaTerminu"));
    auto* termLayout = new QGridLayout(term);
    m_lineFrom = dateEdit(QStringLiteral("Data_pocz1"), QString(), term);
    m_lineTo = dateEdit(QStringLiteral("Data_kon1"), QString(), term);
    // Each label over its picker keeps the column between the lists narrow.
    termLayout->addWidget(new QLabel(QStringLiteral("Od"), term), 0, 0);
    termLayout->addWidget(m_lineFrom, 1, 0);
    termLayout->addWidget(new QLabel(QStringLiteral("Do"), term), 2, 0);
    termLayout->addWidget(m_lineTo, 3, 0);
    layout->addWidget(term);
    layout->addStretch(1);
    return middle;
}

QWidget* TRezerwacja::buildChosen()
{
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("Wybrane"));
    tabs->setDocumentMode(true);
    m_chosenTable = makeGridTable(QStringLiteral("RezPozycje"), m_chosen, tabs,
                                  {{3, kTypeSample}, {6, kDaySample}, {7, kDaySample}});
    m_chosenTable->setToolTip(QStringLiteral("Lista zarezerwowanych pokoi"));
    tabs->addTab(m_chosenTable, QStringLiteral("Wybrane pokoje"));
    return tabs;
}

QWidget* TRezerwacja::buildBottom()
{
    auto* bar = new QWidget(this);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    auto blue = [bar](const QString& name) {
        auto* label = new QLabel(bar);
        label->setObjectName(name);
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, Qt::blue);
        label->setPalette(p);
        label->setMinimumWidth(110);
        return label;
    };
    m_roomsLabel = blue(QStringLiteral("LabelPokoi"));
    m_bedsLabel = blue(QStringLiteral("LabelMiejsc"));
    m_summary = blue(QStringLiteral("Podsumowanie"));
    m_save = button(QString(), QStringLiteral("Zapisz"), bar);
    m_closeButton = button(QStringLiteral("&Zamknij"), QStringLiteral("Zamknij"), bar);
    layout->addWidget(m_roomsLabel);
    layout->addWidget(m_bedsLabel);
    layout->addStretch(1);
    layout->addWidget(m_summary);
    layout->addStretch(1);
    layout->addWidget(m_save);
    layout->addWidget(m_closeButton);
    return bar;
}

void TRezerwacja::connectSignals()
{
    connect(m_pages, &QTabWidget::currentChanged, this,
            [this] { guarded([this] { fillActivePage(); }); });
    connect(m_add, &QPushButton::clicked, this, [this] { guarded([this] { addRooms(); }); });
    connect(m_remove, &QPushButton::clicked, this, [this] { guarded([this] { removeLines(); }); });
    for (QTableWidget* t : {m_roomsTable, m_placesTable})
        connect(t, &QTableWidget::cellDoubleClicked, this,
                [this] { guarded([this] { addRooms(); }); });
    connect(m_chosenTable, &QTableWidget::cellDoubleClicked, this,
            [this] { guarded([this] { removeLines(); }); });
    m_roomsTable->installEventFilter(this);
    m_chosenTable->installEventFilter(this);

    connect(m_singles, &QRadioButton::toggled, this, [this](bool on) {
        m_count->setVisible(on);
        if (on) {
            m_count->setText(QStringLiteral("1"));
            m_count->setFocus();
        }
    });
    connect(m_persons, &QLineEdit::editingFinished, this, [this] { updateSummary(); });

    for (QDateEdit* e : {m_from, m_to}) {
        connect(e, &QDateEdit::dateChanged, this,
                [this] { guarded([this] { groupPeriodChanged(); }); });
        connect(e, &QDateEdit::editingFinished, this, [this] { groupPeriodChecked(); });
    }
    for (QDateEdit* e : {m_lineFrom, m_lineTo}) {
        connect(e, &QDateEdit::dateChanged, this, [this] { linePeriodChanged(); });
        connect(e, &QDateEdit::editingFinished, this, [this] { linePeriodChanged(); });
    }
    connect(m_save, &QPushButton::clicked, this, [this] { onSave(); });
    connect(m_closeButton, &QPushButton::clicked, this, [this] { guarded([this] { onClose(); }); });
}
