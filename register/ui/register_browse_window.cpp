#include "register/ui/register_browse_window.h"

#include "admin/archive_report.h"
#include "core/clock.h"
#include "core/days.h"
#include "core/error.h"
#include "core/frame.h"
#include "core/prompter.h"
#include "core/ui/child_window.h"
#include "core/ui/list_grid.h"
#include "core/ui/title_sort.h"
#include "db/data_module.h"
#include "db/row_set.h"
#include "db/row_set_model.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {
QDateEdit* dayField(QWidget* parent, const QString& name, const QDate& day)
{
    auto* field = new QDateEdit(day, parent);
    field->setObjectName(name);
    field->setDisplayFormat(QLatin1String(kDayFormat));
    field->setCalendarPopup(true);
    return field;
}

QPushButton* button(QWidget* parent, const QString& caption, const QString& name)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}
} // namespace

TModyfikacjaKsiazki::TModyfikacjaKsiazki(int groupId, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TModyfikacjaKsiazki"));
    setWindowTitle(QStringLiteral("Modyfikowanie Książki Meldunkowej"));
    m_rows = new RowSet(this);
    buildWindow();
    if (groupId > 0) {
        // One group: its rows only, in the order the database gives them, and
        // no choice of what to show.
        m_groupId = groupId;
        m_oneGroup = true;
        m_unsorted = true;
        m_kindLabel->hide();
        m_kind->hide();
    }
    guarded([this] { displayChanged(); });
}

TModyfikacjaKsiazki::~TModyfikacjaKsiazki() = default;

void TModyfikacjaKsiazki::attachFrame(QMdiSubWindow* sub)
{
    sub->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint);
    sub->showMaximized();
    if (QMdiArea* area = sub->mdiArea())
        connect(area, &QMdiArea::subWindowActivated, sub, [sub](QMdiSubWindow* active) {
            if (active == sub && !sub->isMaximized())
                sub->showMaximized();
        });
}

void TModyfikacjaKsiazki::buildWindow()
{
    auto* layout = new QVBoxLayout(this);
    buildChoice(layout);
    buildSearch(layout);

    m_grid = makeListGrid(this, QStringLiteral("Lista"));
    m_model = new RowSetModel(*m_rows, this);
    m_model->setColumns(
        {{QStringLiteral("Nazwa"), QStringLiteral("Nazwa grupy")},
         {QStringLiteral("Nazwisko"), QStringLiteral("Nazwisko")},
         {QStringLiteral("Imie"), QStringLiteral("Imię")},
         {QStringLiteral("Nr_pokoju"), QStringLiteral("Nr pokoju"), Qt::AlignHCenter},
         {QStringLiteral("Od"), QStringLiteral("Od"), Qt::AlignHCenter},
         {QStringLiteral("Do"), QStringLiteral("Do"), Qt::AlignHCenter}});
    m_grid->setModel(m_model);
    m_model->followSelection(m_grid->selectionModel());
    // Columns fit their texts and the group name takes the rest; only a sample of
    // the rows is measured, the list may hold years of guests.
    fitColumns(m_grid, 0);
    m_grid->horizontalHeader()->setResizeContentsPrecision(100);
    m_grid->horizontalHeader()->setSectionsClickable(true);
    m_sort = new TitleSort(m_grid->horizontalHeader(),
                           {{0, QStringLiteral("Nazwa")},
                            {1, QStringLiteral("Nazwisko")},
                            {2, QStringLiteral("Imie")},
                            {3, QStringLiteral("Nr_pokoju")},
                            {4, QStringLiteral("Od")},
                            {5, QStringLiteral("Do")}},
                           m_order, [this](const QString& order) { reloadSorted(order); });
    setRowAction(m_grid, [this] { change(); });
    layout->addWidget(m_grid, 1);
    // Tab goes from the search fields to the grid, then to the search buttons.
    QWidget::setTabOrder(m_search.last(), m_grid);

    buildButtons(layout);
}

void TModyfikacjaKsiazki::buildChoice(QBoxLayout* layout)
{
    auto* row = new QHBoxLayout;
    m_kindLabel = new QLabel(QStringLiteral("Rodzaj wyświetlanych danych"), this);
    m_kindLabel->setObjectName(QStringLiteral("RodzajEtykieta"));
    m_kind = new QComboBox(this);
    m_kind->setObjectName(QStringLiteral("Rodzaj"));
    m_kind->addItems(registerDisplayItems());
    m_kindLabel->setBuddy(m_kind);
    const QDate day = today();
    m_fromLabel = new QLabel(QStringLiteral("Data początkowa"), this);
    m_from = dayField(this, QStringLiteral("DataPoczatkowa"), day);
    m_fromLabel->setBuddy(m_from);
    m_toLabel = new QLabel(QStringLiteral("Data końcowa"), this);
    m_to = dayField(this, QStringLiteral("DataKoncowa"), day.addDays(1));
    m_toLabel->setBuddy(m_to);
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_kindLabel, m_kind, m_fromLabel, m_from, m_toLabel, m_to})
        row->addWidget(w);
    row->addStretch(1);
    layout->addLayout(row);

    connect(m_kind, &QComboBox::currentIndexChanged, this,
            [this] { guarded([this] { displayChanged(); }); });
    for (QDateEdit* field : {m_from, m_to})
        connect(field, &QDateEdit::dateChanged, this,
                [this] { guarded([this] { rebuildHere(); }); });
}

void TModyfikacjaKsiazki::buildSearch(QBoxLayout* layout)
{
    auto* row = new QHBoxLayout;
    const std::pair<const char*, const char*> fields[] = {
        {"SzukajNazwa", "Szukanie wg nazwy grupy"},
        {"SzukajNazwisko", "Szukanie wg nazwiska gościa"},
        {"SzukajImie", "Szukanie wg imienia gościa"},
        {"SzukajPokoj", "Szukanie wg numeru pokoju"},
        {"SzukajOd", "Szukanie wg daty przyjazdu (rrrr-mm-dd)"},
        {"SzukajDo", "Szukanie wg daty wyjazdu (rrrr-mm-dd)"}};
    for (const auto& [name, hint] : fields) {
        QLineEdit* field =
            makeSearchField(this, QString::fromLatin1(name), QString::fromUtf8(hint));
        connect(field, &QLineEdit::returnPressed, this, [this] { guarded([this] { search(); }); });
        row->addWidget(field);
        m_search << field;
    }
    addSearchButtons(
        this, row, [this] { search(); }, [this] { showAll(); });
    layout->addLayout(row);
}

void TModyfikacjaKsiazki::buildButtons(QBoxLayout* layout)
{
    auto* row = new QHBoxLayout;
    const std::pair<const char*, void (TModyfikacjaKsiazki::*)()> commands[] = {
        {"Zmien", &TModyfikacjaKsiazki::change}, {"Dodaj", &TModyfikacjaKsiazki::add},
        {"Usun", &TModyfikacjaKsiazki::remove},  {"Podglad", &TModyfikacjaKsiazki::preview},
        {"Drukuj", &TModyfikacjaKsiazki::print},
    };
    const QString captions[] = {QStringLiteral("Z&mień"), QStringLiteral("&Dodaj"),
                                QStringLiteral("&Usuń"), QStringLiteral("&Podgląd"),
                                QStringLiteral("&Drukuj")};
    int i = 0;
    for (const auto& [name, command] : commands) {
        QPushButton* b = button(this, captions[i++], QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this,
                [this, command = command] { guarded([this, command] { (this->*command)(); }); });
        row->addWidget(b);
    }
    row->addStretch(1);
    QPushButton* close = button(this, QStringLiteral("&Zamknij"), QStringLiteral("Zamknij"));
    connect(close, &QPushButton::clicked, this, [this] { closeChildWindow(this); });
    row->addWidget(close);
    layout->addLayout(row);
}

void TModyfikacjaKsiazki::displayChanged()
{
    const bool dates = !m_oneGroup && m_kind->currentIndex() > 0;
    for (QWidget* w : std::initializer_list<QWidget*>{m_fromLabel, m_from, m_toLabel, m_to})
        w->setVisible(dates);
    rebuildHere();
}

void TModyfikacjaKsiazki::reloadSorted(const QString& order)
{
    m_order = order;
    m_unsorted = false;
    rebuildHere();
}

void TModyfikacjaKsiazki::rebuild(int groupId, int personId)
{
    RegisterQuery query;
    query.display = m_oneGroup ? RegisterDisplay::All
                               : static_cast<RegisterDisplay>(qMax(0, m_kind->currentIndex()));
    query.from = m_from->date();
    query.to = m_to->date();
    query.groupId = m_oneGroup ? m_groupId : 0;
    query.order = m_unsorted ? QString() : m_order;
    // The search in force stays in force over the new rows.
    openRegisterList(*m_rows, query);
    const int at = findRegisterEntry(*m_rows, groupId, personId);
    if (at >= 0)
        m_rows->setCurrent(at);
}

void TModyfikacjaKsiazki::rebuildHere()
{
    rebuild(currentGroup(), currentPerson());
}

void TModyfikacjaKsiazki::afterRegistration(int groupId, int personId)
{
    // Without a person (a new one not saved) the list stays on the row it was on.
    if (personId > 0)
        rebuild(groupId, personId);
    else
        rebuildHere();
}

int TModyfikacjaKsiazki::currentGroup() const
{
    return m_rows->value(QStringLiteral("Identyfikator")).toInt();
}

int TModyfikacjaKsiazki::currentPerson() const
{
    return m_rows->value(QStringLiteral("Identyfikator_o")).toInt();
}

void TModyfikacjaKsiazki::change()
{
    const int group = currentGroup();
    const int person = currentPerson();
    if (group == 0 && person == 0)
        return;
    const int ended = frame().editRegisterEntry(group, person);
    // The entry corrected is the row's, whatever group persons are added to.
    afterRegistration(group, ended);
}

void TModyfikacjaKsiazki::add()
{
    // The first addition in the whole register fixes the group for good.
    if (m_groupId == 0)
        m_groupId = currentGroup();
    if (m_groupId <= 0)
        return;
    const int group = m_groupId;
    afterRegistration(group, frame().addPersonToGroup(group));
}

void TModyfikacjaKsiazki::remove()
{
    const int group = currentGroup();
    const int person = currentPerson();
    if (group == 0 && person == 0)
        return;
    const QString name = m_rows->value(QStringLiteral("Nazwa")).toString();
    if (!prompter().ask(QStringLiteral("Czy usunąć osobę z grupy ") + name + QStringLiteral(" ?"),
                        QStringLiteral("Usuwanie osoby"), false))
        return;
    const int at = m_rows->current();
    removePersonFromGroup(dataModule().database(), group, person);
    rebuild(0, 0);
    // The row that followed the removed one takes its place.
    if (!m_rows->isEmpty())
        m_rows->setCurrent(qMin(at, m_rows->rowCount() - 1));
}

void TModyfikacjaKsiazki::search()
{
    auto text = [this](int i) { return m_search[i]->text(); };
    const RegisterSearch typed{text(0), text(1), text(2), text(3), text(4), text(5)};
    if (m_rows->setFilter(registerSearchFilter(typed)))
        prompter().message(QStringLiteral("Podano nieprawidłowe parametry do wyszukiwania"),
                           QStringLiteral("Błąd Wyszukiwania !!!"), Prompter::Icon::Warning);
}

void TModyfikacjaKsiazki::showAll()
{
    for (QLineEdit* field : m_search)
        field->clear();
    m_rows->setFilter({});
}

void TModyfikacjaKsiazki::preview()
{
    printList(true);
}

void TModyfikacjaKsiazki::print()
{
    printList(false);
}

void TModyfikacjaKsiazki::printList(bool toPreview)
{
    // An empty list fails with the report's no-data message, which this
    // window does not show: nothing happens. The rows are read by index, so
    // the list keeps its position.
    (void)printArchive(*m_rows, toPreview ? ReportOutput::Preview : ReportOutput::Print);
}
