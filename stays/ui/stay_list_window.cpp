#include "stays/ui/stay_list_window.h"

#include "core/error.h"
#include "core/prompter.h"
#include "core/ui/child_window.h"
#include "core/ui/column_fields.h"
#include "core/ui/keyboard.h"
#include "core/ui/list_grid.h"
#include "core/ui/title_sort.h"
#include "db/data_module.h"
#include "db/row_set.h"
#include "db/row_set_model.h"
#include "db/sql.h"
#include "stays/check_in_out.h"
#include "stays/stay_list_commands.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const QColor kSettled(255, 255, 128);
const QColor kSettledSelected(0, 128, 0);

bool settledRow(const RowSet& rows, int row)
{
    return rows.value(row, QStringLiteral("rozl")).toInt() == 1;
}

// Settled groups keep their colour while selected: green instead of the
// normal highlight.
class SettledDelegate : public QStyledItemDelegate {
public:
    SettledDelegate(RowSet& rows, QObject* parent)
        : QStyledItemDelegate(parent)
        , m_rows(rows)
    {
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (settledRow(m_rows, index.row()))
            option->palette.setColor(QPalette::Highlight, kSettledSelected);
    }

private:
    RowSet& m_rows;
};

QTableView* makeGrid(QWidget* parent, const QString& name)
{
    QTableView* grid = makeListGrid(parent, name);
    grid->horizontalHeader()->setSectionsClickable(true);
    return grid;
}

QLineEdit* readOnlyField(QWidget* parent, const QString& name)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    return field;
}

// A filter condition on one field: the typed text as it is, so that the
// filter refuses what it cannot compare.
void addCondition(QStringList& parts, const QString& head, const QLineEdit* field,
                  const QString& tail)
{
    if (!field->text().isEmpty())
        parts << head + field->text() + tail;
}
} // namespace

TLista::TLista(Variant variant, QWidget* parent)
    : QWidget(parent)
    , m_variant(variant)
    , m_mode(variant == Variant::ModifyReservations || variant == Variant::CheckInFromList
                 ? ListMode::Reservations
             : variant == Variant::Payments ? ListMode::Payments
                                            : ListMode::Accommodations)
{
    setObjectName(QStringLiteral("TLista"));
    switch (variant) {
    case Variant::ModifyReservations:
    case Variant::ModifyAccommodations:
        m_doubleClick = DoubleClick::Change;
        break;
    case Variant::CheckInFromList:
        m_doubleClick = DoubleClick::Nothing;
        break;
    case Variant::CheckOut:
        m_doubleClick = DoubleClick::CheckOut;
        break;
    case Variant::Payments:
        m_doubleClick = DoubleClick::Billing;
        break;
    }
    m_groups = new RowSet(this);
    m_groups->setKinds(
        {{"Od", ColumnKind::Day}, {"Do", ColumnKind::Day}, {"rozl", ColumnKind::YesNo}});
    m_groups->setKeyColumn(QStringLiteral("Identyfikator"));
    m_lines = new RowSet(this);
    m_lines->setKinds({{"Od", ColumnKind::Day}, {"Do", ColumnKind::Day}});
    buildWindow();
    arrangeButtons();
    guarded([this] { loadGroups(0); });
}

TLista::~TLista() = default;

QPushButton* TLista::addButton(const QString& caption, const QString& name, const QString& hint)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    if (!hint.isEmpty())
        button->setToolTip(hint);
    return button;
}

void TLista::buildWindow()
{
    auto* layout = new QVBoxLayout(this);

    // The header band follows the current group.
    auto* header = new QGridLayout;
    m_name = readOnlyField(this, QStringLiteral("Nazwa"));
    m_od = readOnlyField(this, QStringLiteral("Od"));
    m_do = readOnlyField(this, QStringLiteral("Do"));
    m_persons = readOnlyField(this, QStringLiteral("Osob"));
    m_notes = readOnlyField(this, QStringLiteral("Notatki"));
    header->addWidget(new QLabel(QStringLiteral("Nazwa grupy"), this), 0, 0);
    header->addWidget(m_name, 1, 0);
    header->addWidget(new QLabel(QStringLiteral("Od"), this), 0, 1);
    header->addWidget(m_od, 1, 1);
    header->addWidget(new QLabel(QStringLiteral("Do"), this), 0, 2);
    header->addWidget(m_do, 1, 2);
    header->addWidget(new QLabel(QStringLiteral("IIość osób"), this), 0, 3);
    header->addWidget(m_persons, 1, 3);
    header->addWidget(new QLabel(QStringLiteral("Notatki"), this), 0, 4);
    header->addWidget(m_notes, 1, 4);
    header->setColumnStretch(0, 3);
    header->setColumnStretch(4, 3);
    layout->addLayout(header);

    // The group grid with one filter field over each of its columns; the room
    // number filter and the buttons stand over the room lines.
    auto* splitter = new QSplitter(this);
    auto* left = new QWidget(splitter);
    auto* right = new QWidget(splitter);
    m_groupGrid = makeGrid(left, QStringLiteral("Grupy"));
    m_lineGrid = makeGrid(right, QStringLiteral("Pokoje"));
    m_lineGrid->setToolTip(QStringLiteral("Lista pokoi"));
    m_filters = new ColumnFields(m_groupGrid, left);
    auto filterField = [this](QLineEdit* field) {
        connect(field, &QLineEdit::returnPressed, this, [this] { guarded([this] { search(); }); });
        return field;
    };
    m_findId =
        filterField(m_filters->addField(0, QStringLiteral("SzukajId"), QStringLiteral("Id")));
    m_findName =
        filterField(m_filters->addField(1, QStringLiteral("SzukajNazwa"), QStringLiteral("Nazwa")));
    m_findOd =
        filterField(m_filters->addField(2, QStringLiteral("SzukajOd"), QStringLiteral("Od")));
    m_findDo =
        filterField(m_filters->addField(3, QStringLiteral("SzukajDo"), QStringLiteral("Do")));
    m_findPersons =
        filterField(m_filters->addField(4, QStringLiteral("SzukajOsob"), QStringLiteral("Osob")));
    auto* groupPane = new QVBoxLayout(left);
    groupPane->setContentsMargins(0, 0, 0, 0);
    groupPane->addWidget(m_filters);
    groupPane->addWidget(m_groupGrid, 1);

    auto* roomFilter = new QHBoxLayout;
    roomFilter->addWidget(new QLabel(QStringLiteral("Nr pokoju"), right));
    m_findRoom = filterField(new QLineEdit(right));
    m_findRoom->setObjectName(QStringLiteral("SzukajPokoj"));
    m_findRoom->setToolTip(QStringLiteral("Nr pokoju"));
    roomFilter->addWidget(m_findRoom, 1);
    auto* find =
        addButton(QStringLiteral("Szukaj"), QStringLiteral("Szukaj"), QStringLiteral("Szukaj"));
    auto* all = addButton(QStringLiteral("Pokaż wszystkie"), QStringLiteral("PokazWszystkie"),
                          QStringLiteral("Pokaż wszystkie"));
    connect(find, &QPushButton::clicked, this, [this] { guarded([this] { search(); }); });
    connect(all, &QPushButton::clicked, this, [this] { guarded([this] { showAll(); }); });
    roomFilter->addWidget(find);
    roomFilter->addWidget(all);
    auto* linePane = new QVBoxLayout(right);
    linePane->setContentsMargins(0, 0, 0, 0);
    linePane->addLayout(roomFilter);
    linePane->addWidget(m_lineGrid, 1);
    // The filters come before the grids in the Tab order.
    QWidget::setTabOrder(all, m_groupGrid);
    QWidget::setTabOrder(m_groupGrid, m_lineGrid);

    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    layout->addWidget(splitter, 1);

    m_groupModel = new RowSetModel(*m_groups, this);
    m_groupModel->setColumns(
        {{QStringLiteral("Identyfikator"), QStringLiteral("Id"), Qt::AlignRight},
         {QStringLiteral("Nazwa")},
         {QStringLiteral("Od"), {}, Qt::AlignHCenter},
         {QStringLiteral("Do"), {}, Qt::AlignHCenter},
         {QStringLiteral("Osob"), {}, Qt::AlignRight}});
    m_groupGrid->setModel(m_groupModel);
    // Numbers and days take what they need; the name gets the rest.
    m_groupGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_groupGrid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_lineModel = new RowSetModel(*m_lines, this);
    m_lineModel->setColumns({{QStringLiteral("Nr_pokoju"), QStringLiteral("Nr")},
                             {QStringLiteral("Od"), {}, Qt::AlignHCenter},
                             {QStringLiteral("Do"), {}, Qt::AlignHCenter},
                             {QStringLiteral("Miejsc"), {}, Qt::AlignRight},
                             {QStringLiteral("Jaki"), {}, Qt::AlignHCenter}});
    m_lineGrid->setModel(m_lineModel);
    m_lineGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    if (m_mode == ListMode::Payments) {
        m_groupModel->setRowColour([](const RowSet& rows, int row) -> std::optional<QColor> {
            if (settledRow(rows, row))
                return kSettled;
            return std::nullopt;
        });
        m_groupGrid->setItemDelegate(new SettledDelegate(*m_groups, m_groupGrid));
    }

    // "Do" is a word of the query language and goes in quotes as a field.
    m_groupSort =
        new TitleSort(m_groupGrid->horizontalHeader(),
                      {{0, QStringLiteral("Identyfikator")},
                       {1, QStringLiteral("Nazwa")},
                       {2, QStringLiteral("Od")},
                       {3, QStringLiteral("\"Do\"")},
                       {4, QStringLiteral("Osob")}},
                      m_groupOrder, [this](const QString& order) { reloadGroups(order); });
    m_lineSort = new TitleSort(m_lineGrid->horizontalHeader(),
                               {{0, QStringLiteral("Nr_pokoju")},
                                {1, QStringLiteral("Od")},
                                {2, QStringLiteral("\"Do\"")},
                                {3, QStringLiteral("Miejsc")},
                                {4, QStringLiteral("Jaki")}},
                               m_lineOrder, [this](const QString& order) { reloadLines(order); });

    m_groupModel->followSelection(m_groupGrid->selectionModel());
    connect(m_groups, &RowSet::currentChanged, this, [this] {
        guarded([this] { loadLines(); });
        showHeader();
    });
    connect(m_groups, &RowSet::changed, this, &TLista::showHeader);
    setRowAction(m_groupGrid, [this] { onDoubleClick(); });

    const bool reservations = m_mode == ListMode::Reservations;
    m_change = addButton(QStringLiteral("&Zmień"), QStringLiteral("Zmien"),
                         reservations ? QStringLiteral("Edycja wybranej rezerwacji")
                                      : QStringLiteral("Edycja wybranego kwaterunku"));
    m_remove = addButton(QStringLiteral("&Usuń"), QStringLiteral("Usun"), {});
    m_checkOut = addButton(QStringLiteral("&Wykwateruj"), QStringLiteral("Wykwateruj"),
                           QStringLiteral("Wykwaterowanie wybranej grupy"));
    m_billing = addButton(QStringLiteral("&Opłaty"), QStringLiteral("Oplaty"), {});
    m_checkIn = addButton(QStringLiteral("&Kwateruj"), QStringLiteral("Kwateruj"),
                          QStringLiteral("Kwaterowanie na podstawie wybranej rezerwacji"));
    m_book = addButton(QStringLiteral("&Książka"), QStringLiteral("Ksiazka"), {});
    m_close = addButton(QStringLiteral("&Zamknij"), QStringLiteral("Zamknij"),
                        QStringLiteral("Zamknięcie okienka"));
    auto run = [this](QPushButton* b, void (TLista::*command)()) {
        connect(b, &QPushButton::clicked, this,
                [this, command] { guarded([this, command] { (this->*command)(); }); });
    };
    run(m_change, &TLista::change);
    run(m_remove, &TLista::remove);
    run(m_checkOut, &TLista::checkOut);
    run(m_billing, &TLista::billing);
    run(m_checkIn, &TLista::checkIn);
    run(m_book, &TLista::book);
    connect(m_close, &QPushButton::clicked, this, [this] { closeChildWindow(this); });
}

void TLista::arrangeButtons()
{
    const bool payments = m_variant == Variant::Payments;
    const bool reservations = m_mode == ListMode::Reservations;
    // In the payments list "&Opłaty" takes the place of "&Wykwateruj"/"&Kwateruj".
    const QList<QPushButton*> order =
        payments ? QList<QPushButton*>{m_change,  m_remove, m_billing, m_checkOut,
                                       m_checkIn, m_book,   m_close}
                 : QList<QPushButton*>{m_change,  m_remove, m_checkOut, m_checkIn,
                                       m_billing, m_book,   m_close};
    auto* row = new QHBoxLayout;
    for (QPushButton* b : order)
        row->addWidget(b);
    row->addStretch(1);
    static_cast<QVBoxLayout*>(layout())->addLayout(row);

    m_remove->setVisible(reservations);
    m_checkIn->setVisible(reservations);
    m_checkOut->setVisible(!reservations && !payments);
    m_billing->setVisible(!reservations);
    m_book->setVisible(m_variant != Variant::ModifyReservations && !payments);

    // Tab goes from the search fields straight to the grids and on to the
    // buttons; the header band only shows the current group and comes after.
    QList<QWidget*> chain{m_findRoom, m_groupGrid, m_lineGrid};
    for (QPushButton* b : order)
        chain << b;
    chain << m_name << m_od << m_do << m_persons << m_notes;
    setTabChain(chain);
}

void TLista::loadGroups(int groupId)
{
    if (m_mode == ListMode::Payments) {
        m_groupGrid->setToolTip(
            QStringLiteral("Lista kwaterunków, kolor żółty oznacza grupy rozliczone"));
        setWindowTitle(QStringLiteral("Opłaty"));
    } else {
        setWindowTitle(m_mode == ListMode::Reservations ? QStringLiteral("Lista rezerwacji")
                                                        : QStringLiteral("Lista kwaterunków"));
    }
    if (!m_groups->isOpen()) {
        const bool byRoom = !m_findRoom->text().isEmpty();
        const QString sql = groupStatement(dataModule().database(), m_mode, byRoom, m_groupOrder);
        if (byRoom)
            m_groups->open(sql, {{":Nr", likeContains(m_findRoom->text())}});
        else
            m_groups->open(sql);
    }
    if (groupId > 0 && !m_groups->locate(QStringLiteral("Identyfikator"), groupId))
        m_groups->setCurrent(0);
    loadLines();
    showHeader();
}

void TLista::loadLines()
{
    const int group = currentGroup();
    m_lines->open(roomLineStatement(m_mode, m_lineOrder), {{":Identyfikator", group}});
}

void TLista::reloadGroups(const QString& order)
{
    m_groupOrder = order;
    const int group = currentGroup();
    m_groups->close();
    loadGroups(group);
}

void TLista::reloadLines(const QString& order)
{
    m_lineOrder = order;
    m_lines->close();
    loadLines();
}

void TLista::closeData()
{
    m_lines->close();
    m_groups->close();
    showHeader();
}

void TLista::showHeader()
{
    const bool any = m_groups->isOpen() && m_groups->current() >= 0;
    m_name->setText(any ? m_groups->value(QStringLiteral("Nazwa")).toString() : QString());
    m_od->setText(
        any ? m_groups->text(m_groups->current(), m_groups->columnIndex(QStringLiteral("Od")))
            : QString());
    m_do->setText(
        any ? m_groups->text(m_groups->current(), m_groups->columnIndex(QStringLiteral("Do")))
            : QString());
    m_persons->setText(any ? m_groups->value(QStringLiteral("Osob")).toString() : QString());
    m_notes->setText(any ? m_groups->value(QStringLiteral("Notatki")).toString() : QString());
}

int TLista::currentGroup() const
{
    if (!m_groups->isOpen() || m_groups->current() < 0)
        return 0;
    return m_groups->value(QStringLiteral("Identyfikator")).toInt();
}

QString TLista::currentName() const
{
    return m_groups->value(QStringLiteral("Nazwa")).toString();
}

void TLista::groupEdited(int groupId)
{
    loadGroups(groupId);
}

void TLista::change()
{
    const int group = currentGroup();
    if (group == 0)
        return;
    // The grids stay empty until the editor hands the group back.
    closeData();
    frame().openStayEditor(group, m_mode == ListMode::Reservations, this);
}

void TLista::remove()
{
    if (m_mode != ListMode::Reservations || currentGroup() == 0)
        return;
    if (deleteReservation(dataModule().database(), currentGroup()))
        m_groups->dropCurrentRow();
}

void TLista::checkIn()
{
    if (m_mode != ListMode::Reservations || currentGroup() == 0)
        return;
    if (checkInWithOffers(dataModule().database(), currentGroup()))
        m_groups->dropCurrentRow();
}

void TLista::book()
{
    const int group = currentGroup();
    if (group <= 0)
        return;
    if (m_mode == ListMode::Reservations) {
        const QDate arrival = dayFromValue(m_groups->value(QStringLiteral("Od")));
        if (checkInAndRegister(dataModule().database(), group, currentName(), arrival))
            closeChildWindow(this);
        return;
    }
    frame().openRegisterBrowse(group);
}

void TLista::billing()
{
    if (m_mode == ListMode::Reservations || currentGroup() == 0)
        return;
    frame().openBilling(currentGroup());
}

void TLista::checkOut()
{
    if (m_mode != ListMode::Accommodations || currentGroup() == 0)
        return;
    if (checkOutWithQuestions(dataModule().database(), currentGroup(), currentName()))
        m_groups->dropCurrentRow();
}

void TLista::search()
{
    // The room condition is part of the statement: load again to add or drop it.
    if (!m_findRoom->text().isEmpty() || m_groups->sql().contains(QStringLiteral("exist"))) {
        m_groups->close();
        loadGroups(0);
    }
    QStringList parts;
    addCondition(parts, QStringLiteral("Identyfikator='"), m_findId, QStringLiteral("'"));
    addCondition(parts, QStringLiteral("Nazwa like '"), m_findName, QStringLiteral("*'"));
    addCondition(parts, QStringLiteral("Od='"), m_findOd, QStringLiteral("'"));
    addCondition(parts, QStringLiteral("Do='"), m_findDo, QStringLiteral("'"));
    addCondition(parts, QStringLiteral("Osob='"), m_findPersons, QStringLiteral("'"));
    if (m_groups->setFilter(parts.join(QStringLiteral(" AND "))))
        prompter().warn(QStringLiteral("Nieprawidłowe wartości do szukania"),
                        QStringLiteral("Błąd !!!"));
    loadLines();
    showHeader();
}

void TLista::showAll()
{
    for (QLineEdit* f : {m_findId, m_findName, m_findOd, m_findDo, m_findPersons, m_findRoom})
        f->clear();
    search();
}

void TLista::onDoubleClick()
{
    switch (m_doubleClick) {
    case DoubleClick::Change:
        change();
        break;
    case DoubleClick::CheckOut:
        checkOut();
        break;
    case DoubleClick::Billing:
        billing();
        break;
    case DoubleClick::Nothing:
        break;
    }
}
