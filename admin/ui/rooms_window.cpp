#include "admin/ui/rooms_window.h"

#include "admin/ui/cursor_fields.h"
#include "admin/ui/cursor_grid.h"
#include "core/error.h"
#include "db/data_module.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLineEdit>

namespace {
QLineEdit* box(QWidget* parent, const QString& name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    return e;
}
} // namespace

TPokoje::TPokoje(QWidget* parent)
    : SetupWindow(dataModule().rooms(), parent)
    , m_prices(dataModule().prices())
    , m_fields(new CursorFields(cursor(), this))
{
    // Typing into an empty list starts its first room.
    m_fields->setInsertWhenEmpty(true);
    setObjectName(QStringLiteral("TPokoje"));
    setWindowTitle(QStringLiteral("Ustawienie pokoi"));
    resize(520, 400);

    QLineEdit* numer = box(this, QStringLiteral("NumerPokoju"));
    QLineEdit* miejsc = box(this, QStringLiteral("IloscMiejsc"));
    QLineEdit* opis = box(this, QStringLiteral("Opis"));
    m_typ = makeTypeList();
    m_fields->bind(numer, QStringLiteral("Nr_Pokoju"));
    m_fields->bind(miejsc, QStringLiteral("Miejsc"), CursorFields::Kind::Integer);
    m_fields->bind(opis, QStringLiteral("Opis"));
    form()->addRow(QStringLiteral("Numer pokoju"), numer);
    form()->addRow(QStringLiteral("Ilość miejsc"), miejsc);
    form()->addRow(QStringLiteral("Typ"), m_typ);
    form()->addRow(QStringLiteral("Opis"), opis);
    // Rooms of a seasonal annexe are not open all year; the statistics
    // office counts the year-round places apart.
    m_calyRok = new QCheckBox(QStringLiteral("Czynny cały &rok"), this);
    m_calyRok->setObjectName(QStringLiteral("CalyRok"));
    m_calyRok->setToolTip(
        QStringLiteral("Pokój całoroczny (odznacz dla pokoi czynnych tylko w sezonie)"));
    form()->addRow(QString(), m_calyRok);
    connect(m_calyRok, &QCheckBox::clicked, this, &TPokoje::allYearClicked);

    auto* grid = new CursorGrid(cursor(),
                                {{QStringLiteral("Nr_Pokoju"), QStringLiteral("Nr_Pokoju")},
                                 {QStringLiteral("Miejsc"), QStringLiteral("Miejsc")},
                                 {QStringLiteral("Typ"), QStringLiteral("Typ")},
                                 {QStringLiteral("Opis"), QStringLiteral("Opis")}},
                                this);
    grid->setObjectName(QStringLiteral("Lista"));
    // Every column as wide as it needs, so that all four fit without scrolling.
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    connect(&cursor(), &TableCursor::rowsChanged, this, &TPokoje::showAllYear);
    connect(&cursor(), &TableCursor::stateChanged, this, &TPokoje::showAllYear);
    connect(&cursor(), &TableCursor::currentChanged, this, &TPokoje::showAllYear);
    connect(&cursor(), &TableCursor::valueChanged, this, &TPokoje::showAllYear);
    connect(&cursor(), &TableCursor::currentChanged, this, &TPokoje::showType);
    connect(&cursor(), &TableCursor::rowsChanged, this, &TPokoje::showType);
    connect(&cursor(), &TableCursor::stateChanged, this, &TPokoje::showType);
    connect(&cursor(), &TableCursor::valueChanged, this, &TPokoje::showType);
    connect(&m_prices, &TableCursor::rowsChanged, this, &TPokoje::showType);
    connect(&m_prices, &TableCursor::stateChanged, this, &TPokoje::updateEnabling);
    finish(grid, numer);
    showType();
    showAllYear();
}

void TPokoje::showAllYear()
{
    // A new row shows the column's default (open all year) until stored.
    const QVariant v = cursor().value(QStringLiteral("Caly_rok"));
    m_calyRok->setChecked(v.isNull() || v.toInt() == 1);
}

void TPokoje::allYearClicked(bool on)
{
    guarded([&] {
        if (cursor().isEmpty())
            cursor().insert();
        cursor().setValue(QStringLiteral("Caly_rok"), on ? 1 : 0);
    });
    showAllYear();
}

QComboBox* TPokoje::makeTypeList()
{
    auto* combo = new QComboBox(this);
    combo->setObjectName(QStringLiteral("Typ"));
    // The drop-down only shows the price list; choosing from it must not
    // move the shared price-list cursor.
    combo->setModel(new TableCursorModel(m_prices,
                                         {{QStringLiteral("Typ"), QStringLiteral("Typ")},
                                          {QStringLiteral("Cena1"), QStringLiteral("Cena1"), true},
                                          {QStringLiteral("Cena3"), QStringLiteral("Cena3"), true}},
                                         combo));
    auto* view = new QTableView(combo);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(true);
    combo->setView(view);
    combo->setModelColumn(0);
    combo->setMinimumContentsLength(5);
    connect(combo, &QComboBox::activated, this, &TPokoje::typeChosen);
    return combo;
}

void TPokoje::showType()
{
    if (!m_typ)
        return;
    const QString typ = cursor().value(QStringLiteral("Typ")).toString();
    int found = -1;
    for (int row = 0; row < m_prices.rowCount(); ++row)
        if (m_prices.value(row, QStringLiteral("Typ")).toString() == typ) {
            found = row;
            break;
        }
    // A type the price list no longer has still shows what the room holds.
    m_typ->setPlaceholderText(typ);
    if (m_typ->currentIndex() != found)
        m_typ->setCurrentIndex(found);
}

void TPokoje::typeChosen(int row)
{
    guarded([&] {
        if (cursor().isEmpty())
            cursor().insert();
        cursor().setValue(QStringLiteral("Typ"), m_prices.value(row, QStringLiteral("Typ")));
    });
}

bool TPokoje::mayDelete() const
{
    return !cursor().isEmpty();
}

void TPokoje::openCursors()
{
    m_prices.open();
    cursor().open();
}
