#include "stays/ui/board_window.h"

#include "core/clock.h"
#include "core/days.h"
#include "core/error.h"
#include "core/prompter.h"
#include "core/ui/child_window.h"
#include "core/ui/keyboard.h"
#include "core/ui/modal.h"
#include "db/data_module.h"
#include "stays/ui/board_view.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString kCaption = QStringLiteral("Plan pokoi");

QPushButton* button(const QString& caption, const QString& name, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QLabel* valueLabel(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QString swatch(const QColor& colour, const QString& text)
{
    return QStringLiteral("<span style=\"background-color:%1\">&nbsp;&nbsp;&nbsp;&nbsp;</span>"
                          "&nbsp;%2&nbsp;&nbsp;")
        .arg(colour.name(), text);
}

// The room lines of a group as the panel lists them: "12 (2 M) 2026-08-01 – 2026-08-04".
QString roomsOf(const BoardData& data, const BoardGroupKey& key)
{
    QStringList rooms;
    for (const BoardLine& line : data.lines) {
        if (!(line.group == key))
            continue;
        QString beds = QString::number(line.beds);
        if (!line.gender.isEmpty())
            beds += QLatin1Char(' ') + line.gender;
        rooms << QStringLiteral("%1 (%2)").arg(line.room, beds);
    }
    return rooms.join(QStringLiteral(", "));
}
} // namespace

TPlanPokoi::TPlanPokoi(QWidget* parent)
    : QWidget(parent)
    , m_first(today())
{
    setObjectName(QStringLiteral("TPlanPokoi"));
    setWindowTitle(kCaption);
    buildWindow();
    m_timer = new QTimer(this);
    m_timer->setInterval(kRefreshMs);
    connect(m_timer, &QTimer::timeout, this, &TPlanPokoi::refreshWhenActive);
    m_timer->start();
    guarded([this] { refresh(); });
}

TPlanPokoi::~TPlanPokoi() = default;

void TPlanPokoi::buildWindow()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(buildNavigation());
    auto* body = new QHBoxLayout;
    m_view = new BoardView(this);
    m_view->setToolTip(QString());
    auto* left = new QVBoxLayout;
    left->addWidget(m_view, 1);
    left->addWidget(buildLegend());
    body->addLayout(left, 1);
    body->addWidget(buildPanel());
    layout->addLayout(body, 1);

    connect(m_view, &BoardView::selectionChanged, this,
            [this] { guarded([this] { showParticulars(); }); });
    connect(m_view, &BoardView::groupActivated, this, [this] { guarded([this] { change(); }); });
    connect(m_view, &BoardView::bookingRequested, this,
            [this] { guarded([this] { newReservation(); }); });
    setTabChain({m_from, m_weeks, m_view, m_search, m_change, m_billing, m_book, m_newReservation});
}

QWidget* TPlanPokoi::buildNavigation()
{
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    auto* fromLabel = new QLabel(QStringLiteral("&Od"), bar);
    m_from = new QDateEdit(bar);
    m_from->setObjectName(QStringLiteral("PlanOd"));
    m_from->setToolTip(QStringLiteral("Pierwszy dzień planu"));
    m_from->setCalendarPopup(true);
    m_from->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    fromLabel->setBuddy(m_from);
    auto* weeksLabel = new QLabel(QStringLiteral("O&kres"), bar);
    m_weeks = new QComboBox(bar);
    m_weeks->setObjectName(QStringLiteral("Okres"));
    m_weeks->addItem(QStringLiteral("2 tygodnie"), 2);
    m_weeks->addItem(QStringLiteral("4 tygodnie"), 4);
    m_weeks->addItem(QStringLiteral("8 tygodni"), 8);
    m_weeks->setCurrentIndex(1);
    weeksLabel->setBuddy(m_weeks);
    row->addWidget(fromLabel);
    row->addWidget(m_from);
    row->addWidget(weeksLabel);
    row->addWidget(m_weeks);
    row->addSpacing(8);

    struct Step {
        const char* caption;
        const char* name;
        const char* hint;
        int days;
        int months;
    };
    const Step steps[] = {
        {"− miesiąc", "MiesiacWstecz", "Miesiąc wcześniej", 0, -1},
        {"− tydzień", "TydzienWstecz", "Tydzień wcześniej", -7, 0},
        {"− dzień", "DzienWstecz", "Dzień wcześniej", -1, 0},
        {"&Dziś", "Dzis", "Plan od dzisiaj", 0, 0},
        {"+ dzień", "DzienDalej", "Dzień później", 1, 0},
        {"+ tydzień", "TydzienDalej", "Tydzień później", 7, 0},
        {"+ miesiąc", "MiesiacDalej", "Miesiąc później", 0, 1},
    };
    for (const Step& s : steps) {
        auto* b = new QToolButton(bar);
        b->setText(QString::fromUtf8(s.caption));
        b->setObjectName(QString::fromLatin1(s.name));
        b->setToolTip(QString::fromUtf8(s.hint));
        const int days = s.days;
        const int months = s.months;
        const bool toToday = days == 0 && months == 0;
        connect(b, &QToolButton::clicked, this, [this, days, months, toToday] {
            guarded([&] { setFirst(toToday ? today() : m_first.addDays(days).addMonths(months)); });
        });
        row->addWidget(b);
    }
    row->addStretch(1);

    connect(m_from, &QDateEdit::dateChanged, this,
            [this](const QDate& day) { guarded([&] { setFirst(day); }); });
    connect(m_weeks, &QComboBox::currentIndexChanged, this,
            [this] { guarded([this] { refresh(); }); });
    return bar;
}

QWidget* TPlanPokoi::buildLegend()
{
    auto* legend = new QLabel(this);
    legend->setObjectName(QStringLiteral("Legenda"));
    legend->setTextFormat(Qt::RichText);
    legend->setText(swatch(QColor(170, 205, 240), QStringLiteral("rezerwacja")) +
                    swatch(QColor(40, 100, 170), QStringLiteral("kwaterunek")) +
                    QStringLiteral("<span style=\"color:#009632\">✔</span>&nbsp;rozliczona"
                                   "&nbsp;&nbsp;") +
                    swatch(QColor(255, 244, 170), QStringLiteral("dziś")) +
                    swatch(QColor(232, 232, 232), QStringLiteral("sobota, niedziela")) +
                    swatch(QColor(250, 218, 218), QStringLiteral("święto")));
    legend->setWordWrap(true);
    return legend;
}

QWidget* TPlanPokoi::buildPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("PanelGrupy"));
    panel->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("Zameldowani: 00 z 00")) +
                         90);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* searchLabel = new QLabel(QStringLiteral("S&zukaj grupy"), panel);
    m_search = new QLineEdit(panel);
    m_search->setObjectName(QStringLiteral("SzukajGrupy"));
    m_search->setToolTip(QStringLiteral("Część nazwy grupy; Enter szuka następnej"));
    m_search->setClearButtonEnabled(true);
    searchLabel->setBuddy(m_search);
    connect(m_search, &QLineEdit::returnPressed, this, [this] { guarded([this] { search(); }); });
    layout->addWidget(searchLabel);
    layout->addWidget(m_search);

    auto* box = new QGroupBox(QStringLiteral("Grupa"), panel);
    box->setObjectName(QStringLiteral("Grupa"));
    auto* form = new QFormLayout(box);
    form->setContentsMargins(6, 6, 6, 6);
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    m_name = valueLabel(QStringLiteral("GrupaNazwa"), box);
    m_kind = valueLabel(QStringLiteral("GrupaRodzaj"), box);
    m_period = valueLabel(QStringLiteral("GrupaOkres"), box);
    m_persons = valueLabel(QStringLiteral("GrupaOsob"), box);
    m_rooms = valueLabel(QStringLiteral("GrupaPokoje"), box);
    m_notes = valueLabel(QStringLiteral("GrupaNotatki"), box);
    m_settled = valueLabel(QStringLiteral("GrupaRozliczona"), box);
    m_registeredCount = valueLabel(QStringLiteral("GrupaZameldowani"), box);
    form->addRow(QStringLiteral("Nazwa"), m_name);
    form->addRow(QStringLiteral("Rodzaj"), m_kind);
    form->addRow(QStringLiteral("Okres"), m_period);
    form->addRow(QStringLiteral("Osób"), m_persons);
    form->addRow(QStringLiteral("Pokoje"), m_rooms);
    form->addRow(QStringLiteral("Notatki"), m_notes);
    form->addRow(QStringLiteral("Rozliczona"), m_settled);
    form->addRow(QStringLiteral("Zameldowani"), m_registeredCount);
    m_registered = new QListWidget(box);
    m_registered->setObjectName(QStringLiteral("Zameldowani"));
    m_registered->setToolTip(QStringLiteral("Osoby zameldowane z grupy"));
    m_registered->setFocusPolicy(Qt::NoFocus);
    m_registered->setMaximumHeight(5 * fontMetrics().height() + 8);
    form->addRow(m_registered);
    layout->addWidget(box);

    m_change = button(QStringLiteral("&Zmień"), QStringLiteral("Zmien"), panel);
    m_change->setToolTip(QStringLiteral("Edycja wybranej grupy"));
    m_billing = button(QStringLiteral("&Opłaty"), QStringLiteral("Oplaty"), panel);
    m_book = button(QStringLiteral("&Książka"), QStringLiteral("Ksiazka"), panel);
    m_book->setToolTip(QStringLiteral("Książka meldunkowa grupy"));
    m_newReservation =
        button(QStringLiteral("&Nowa rezerwacja"), QStringLiteral("NowaRezerwacja"), panel);
    m_newReservation->setToolTip(
        QStringLiteral("Rezerwacja zaznaczonych wolnych dni jednego pokoju (Enter)"));
    auto* close = button(QStringLiteral("&Zamknij"), QStringLiteral("Zamknij"), panel);
    close->setToolTip(QStringLiteral("Zamknięcie okienka"));
    auto* groupButtons = new QHBoxLayout;
    groupButtons->addWidget(m_change);
    groupButtons->addWidget(m_billing);
    groupButtons->addWidget(m_book);
    layout->addLayout(groupButtons);
    layout->addWidget(m_newReservation);
    m_status = valueLabel(QStringLiteral("Stan"), panel);
    layout->addWidget(m_status);
    layout->addStretch(1);
    layout->addWidget(close);

    connect(m_change, &QPushButton::clicked, this, [this] { guarded([this] { change(); }); });
    connect(m_billing, &QPushButton::clicked, this, [this] { guarded([this] { billing(); }); });
    connect(m_book, &QPushButton::clicked, this, [this] { guarded([this] { book(); }); });
    connect(m_newReservation, &QPushButton::clicked, this,
            [this] { guarded([this] { newReservation(); }); });
    connect(close, &QPushButton::clicked, this, [this] { closeChildWindow(this); });
    return panel;
}

int TPlanPokoi::days() const
{
    return 7 * m_weeks->currentData().toInt();
}

void TPlanPokoi::setFirst(const QDate& day)
{
    if (!day.isValid() || day == m_first)
        return;
    m_first = day;
    refresh();
}

void TPlanPokoi::setWeeks(int weeks)
{
    const int index = m_weeks->findData(weeks);
    if (index >= 0)
        m_weeks->setCurrentIndex(index);
}

void TPlanPokoi::refresh()
{
    {
        const QSignalBlocker block(m_from);
        m_from->setDate(m_first);
    }
    BoardData data = readBoard(dataModule().database(), m_first, days());
    BoardLayout layout = layoutBoard(data, today(), BoardView::metrics());
    m_view->setBoard(std::move(data), std::move(layout));
    m_status->clear();
}

void TPlanPokoi::refreshWhenActive()
{
    if (!isActiveChild())
        return;
    // A refresh the timer makes is not worth a message box every few seconds:
    // the failure is shown beside the board and the next tick tries again.
    try {
        refresh();
    } catch (const RezydoError& e) {
        m_status->setText(QStringLiteral("Nie udało się odświeżyć planu: %1").arg(e.text()));
    }
}

bool TPlanPokoi::isActiveChild() const
{
    if (!isVisible() || !window()->isActiveWindow() || QApplication::activeModalWidget())
        return false;
    const auto* sub = qobject_cast<const QMdiSubWindow*>(parentWidget());
    return !sub || !sub->mdiArea() || sub->mdiArea()->activeSubWindow() == sub;
}

void TPlanPokoi::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_watching)
        return;
    m_watching = true;
    // Back in front after another window (the stay editor, billing, the
    // register) closed or gave way: what that window changed is read again.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        if (QMdiArea* area = sub->mdiArea())
            connect(area, &QMdiArea::subWindowActivated, this, [this, sub](QMdiSubWindow* w) {
                if (w == sub)
                    guarded([this] { refresh(); });
            });
}

void TPlanPokoi::showParticulars()
{
    const BoardGroupKey key = m_view->selectedGroup();
    const BoardData& data = m_view->data();
    const auto group = data.groups.constFind(key);
    const bool any = key.isValid() && group != data.groups.cend();
    const bool accommodation = any && !key.reservation;
    m_change->setEnabled(any);
    m_billing->setEnabled(accommodation);
    m_book->setEnabled(accommodation);
    m_newReservation->setEnabled(m_view->selectedCells().row >= 0);
    m_registered->clear();
    if (!any) {
        for (QLabel* l :
             {m_name, m_kind, m_period, m_persons, m_rooms, m_notes, m_settled, m_registeredCount})
            l->clear();
        return;
    }
    m_name->setText(group->name);
    m_kind->setText(key.reservation ? QStringLiteral("rezerwacja") : QStringLiteral("kwaterunek"));
    m_period->setText(QStringLiteral("%1 – %2").arg(dayText(group->from), dayText(group->to)));
    m_persons->setText(QString::number(group->persons));
    m_rooms->setText(roomsOf(data, key));
    m_notes->setText(group->notes);
    if (key.reservation) {
        m_settled->setText(QStringLiteral("—"));
        m_registeredCount->setText(QStringLiteral("—"));
        return;
    }
    m_settled->setText(group->settled ? QStringLiteral("tak") : QStringLiteral("nie"));
    m_registeredCount->setText(
        QStringLiteral("%1 z %2").arg(group->registered).arg(group->persons));
    m_registered->addItems(registeredPersons(dataModule().database(), key.id));
}

void TPlanPokoi::groupEdited(int groupId)
{
    refresh();
    if (groupId > 0)
        m_view->selectGroup({m_edited.reservation, groupId});
}

void TPlanPokoi::change()
{
    const BoardGroupKey key = m_view->selectedGroup();
    if (!key.isValid())
        return;
    m_edited = key;
    frame().openStayEditor(key.id, key.reservation, this);
}

void TPlanPokoi::billing()
{
    const BoardGroupKey key = m_view->selectedGroup();
    if (!key.isValid() || key.reservation)
        return;
    frame().openBilling(key.id);
}

void TPlanPokoi::book()
{
    const BoardGroupKey key = m_view->selectedGroup();
    if (!key.isValid() || key.reservation)
        return;
    frame().openRegisterBrowse(key.id);
}

void TPlanPokoi::newReservation()
{
    const BoardView::Cells cells = m_view->selectedCells();
    if (cells.row < 0) {
        prompter().inform(QStringLiteral("Zaznacz wolne dni jednego pokoju."),
                          QStringLiteral("Nowa rezerwacja"));
        return;
    }
    const BoardData& data = m_view->data();
    const QString room = data.rooms[cells.row].number;
    const QDate from = data.first.addDays(cells.firstDay);
    const QDate to = data.first.addDays(cells.lastDay + 1);
    const BookingChoice choice =
        bookingChoice(data, m_view->layout(), cells.row, cells.firstDay, cells.lastDay);
    switch (choice.kind) {
    case BookingChoice::Taken:
        prompter().warn(QStringLiteral("Pokój %1 nie ma wolnych miejsc od %2 do %3.")
                            .arg(room, dayText(from), dayText(to)),
                        QStringLiteral("Nowa rezerwacja"));
        return;
    case BookingChoice::WholeRoom:
        frame().openNewReservation(room, from, to, 0, QString());
        return;
    case BookingChoice::SingleBeds:
        askSingleBeds(room, from, to, choice);
        return;
    }
}

void TPlanPokoi::askSingleBeds(const QString& room, const QDate& from, const QDate& to,
                               const BookingChoice& choice)
{
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("TMiejscaPlanu"));
    dialog.setWindowTitle(QStringLiteral("Nowa rezerwacja"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* text = new QLabel(QStringLiteral("Pokój %1 jest zajęty w części od %2 do %3.\n"
                                           "Wolnych miejsc: %4.")
                                .arg(room, dayText(from), dayText(to))
                                .arg(choice.freeBeds),
                            &dialog);
    layout->addWidget(text);
    auto* form = new QFormLayout;
    auto* count = new QSpinBox(&dialog);
    count->setObjectName(QStringLiteral("IloscMiejsc"));
    count->setRange(1, choice.freeBeds);
    count->setValue(1);
    auto* countLabel = new QLabel(QStringLiteral("&Miejsc"), &dialog);
    countLabel->setBuddy(count);
    form->addRow(countLabel, count);
    auto* women = new QRadioButton(QStringLiteral("&Damskie (K)"), &dialog);
    women->setObjectName(QStringLiteral("TypK"));
    auto* men = new QRadioButton(QStringLiteral("Mę&skie (M)"), &dialog);
    men->setObjectName(QStringLiteral("TypM"));
    (choice.gender == QLatin1String("K") ? women : men)->setChecked(true);
    auto* genders = new QHBoxLayout;
    genders->addWidget(women);
    genders->addWidget(men);
    form->addRow(QStringLiteral("Typ miejsc"), genders);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* ok = buttons->addButton(QStringLiteral("&Rezerwuj"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("Rezerwuj"));
    ok->setDefault(true);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("&Anuluj"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Anuluj"));
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (runModal(dialog) != QDialog::Accepted)
        return;
    frame().openNewReservation(room, from, to, count->value(),
                               women->isChecked() ? QStringLiteral("K") : QStringLiteral("M"));
}

void TPlanPokoi::search()
{
    const QString text = m_search->text().trimmed();
    if (text.isEmpty())
        return;
    if (text != m_lastSearch) {
        m_found = findGroupsByName(dataModule().database(), text, today());
        m_foundIndex = 0;
        m_lastSearch = text;
    } else if (!m_found.isEmpty()) {
        m_foundIndex = (m_foundIndex + 1) % static_cast<int>(m_found.size());
    }
    if (m_found.isEmpty()) {
        m_lastSearch.clear();
        prompter().inform(
            QStringLiteral("Nie znaleziono grupy, której nazwa zawiera \"%1\".").arg(text),
            kCaption);
        return;
    }
    const BoardGroup& group = m_found[m_foundIndex];
    // The group's arrival comes into the span, a day after its start.
    const QDate last = m_first.addDays(days() - 1);
    if (group.from < m_first || group.from > last)
        m_first = group.from.addDays(-1);
    refresh();
    m_view->selectGroup(group.key);
    m_view->setFocus();
}
