#include "admin/ui/closures_window.h"

#include "core/clock.h"
#include "core/error.h"
#include "core/prompter.h"
#include "core/ui/child_window.h"
#include "db/data_module.h"
#include "db/sql.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
QString captionOf(ClosureKind kind)
{
    return kind == ClosureKind::House ? QStringLiteral("Dni zamknięcia obiektu")
                                      : QStringLiteral("Blokady pokoi");
}

QDateEdit* dateBox(QWidget* parent, const QString& name)
{
    auto* e = new QDateEdit(today(), parent);
    e->setObjectName(name);
    e->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    e->setCalendarPopup(true);
    return e;
}

QPushButton* button(QWidget* parent, QHBoxLayout* row, const QString& caption, const QString& name)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    row->addWidget(b);
    return b;
}

QStringList readRooms()
{
    QSqlQuery q = runSql(dataModule().database(),
                         QStringLiteral("SELECT Nr_Pokoju FROM Pokoje ORDER BY Nr_Pokoju"));
    QStringList rooms;
    while (q.next())
        rooms << q.value(0).toString();
    return rooms;
}
} // namespace

TBlokady::TBlokady(ClosureKind kind, QWidget* parent)
    : QWidget(parent)
    , m_kind(kind)
{
    const bool rooms = kind == ClosureKind::Room;
    setObjectName(rooms ? QStringLiteral("TBlokady") : QStringLiteral("TDniZamkniete"));
    setWindowTitle(captionOf(kind));

    m_list = new QTableWidget(0, rooms ? 4 : 3, this);
    m_list->setObjectName(QStringLiteral("Lista"));
    QStringList titles;
    if (rooms)
        titles << QStringLiteral("Nr pokoju");
    titles << QStringLiteral("Od") << QStringLiteral("Do") << QStringLiteral("Powód");
    m_list->setHorizontalHeaderLabels(titles);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(m_list, &QTableWidget::currentCellChanged, this, [this](int row) { showRow(row); });

    auto* form = new QFormLayout;
    if (rooms) {
        m_room = new QComboBox(this);
        m_room->setObjectName(QStringLiteral("Pokoj"));
        auto* label = new QLabel(QStringLiteral("&Pokój"), this);
        label->setBuddy(m_room);
        form->addRow(label, m_room);
    }
    m_from = dateBox(this, QStringLiteral("Od"));
    m_to = dateBox(this, QStringLiteral("Do"));
    m_reason = new QComboBox(this);
    m_reason->setObjectName(QStringLiteral("Powod"));
    m_reason->setEditable(true);
    m_reason->lineEdit()->setMaxLength(60);
    m_reason->addItems(rooms ? QStringList{QStringLiteral("remont"), QStringLiteral("awaria"),
                                           QStringLiteral("szkoda"), QStringLiteral("inny")}
                             : QStringList{QStringLiteral("przerwa sezonowa"),
                                           QStringLiteral("urlop"), QStringLiteral("remont"),
                                           QStringLiteral("inny")});
    const struct {
        const char* caption;
        QWidget* field;
    } rows[] = {{"Od &dnia", m_from}, {"Do d&nia (włącznie)", m_to}, {"Po&wód", m_reason}};
    for (const auto& r : rows) {
        auto* label = new QLabel(QString::fromUtf8(r.caption), this);
        label->setBuddy(r.field);
        form->addRow(label, r.field);
    }

    auto* buttons = new QHBoxLayout;
    QPushButton* nowy = button(this, buttons, QStringLiteral("&Nowy"), QStringLiteral("Nowy"));
    QPushButton* zapisz =
        button(this, buttons, QStringLiteral("&Zapisz"), QStringLiteral("Zapisz"));
    m_remove = button(this, buttons, QStringLiteral("&Usuń"), QStringLiteral("Usun"));
    buttons->addStretch(1);
    QPushButton* zamknij =
        button(this, buttons, QStringLiteral("Za&mknij"), QStringLiteral("Zamknij"));
    connect(nowy, &QPushButton::clicked, this, [this] { startNew(); });
    connect(zapisz, &QPushButton::clicked, this, [this] { guarded([this] { save(); }); });
    connect(m_remove, &QPushButton::clicked, this,
            [this] { guarded([this] { removeCurrent(); }); });
    connect(zamknij, &QPushButton::clicked, this, [this] { closeChildWindow(this); });

    auto* hint = new QLabel(rooms ? QStringLiteral("Zablokowany pokój nie jest proponowany do "
                                                   "rezerwacji ani kwaterunku i nie liczy się do "
                                                   "miejsc dostępnych w sprawozdaniu KT-1.")
                                  : QStringLiteral("W dni zamknięcia obiekt nie przyjmuje gości; "
                                                   "nie liczą się one do dni działalności w "
                                                   "sprawozdaniu KT-1."),
                            this);
    hint->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(form);
    layout->addWidget(hint);
    layout->addLayout(buttons);
    resize(520, 420);

    guarded([this] { reload(); });
}

void TBlokady::reload(qint64 select)
{
    QSqlDatabase db = dataModule().database();
    m_periods = readClosures(db, m_kind);
    if (m_room) {
        m_rooms = readRooms();
        const QString shown = m_room->currentText();
        m_room->clear();
        m_room->addItems(m_rooms);
        m_room->setCurrentIndex(static_cast<int>(m_rooms.indexOf(shown)));
    }
    const int offset = m_room ? 1 : 0;
    m_list->blockSignals(true);
    m_list->setRowCount(static_cast<int>(m_periods.size()));
    int current = -1;
    for (int i = 0; i < m_periods.size(); ++i) {
        const Closure& c = m_periods[i];
        if (m_room)
            m_list->setItem(i, 0, new QTableWidgetItem(c.room));
        m_list->setItem(i, offset, new QTableWidgetItem(c.from.toString(Qt::ISODate)));
        m_list->setItem(i, offset + 1, new QTableWidgetItem(c.to.toString(Qt::ISODate)));
        m_list->setItem(i, offset + 2, new QTableWidgetItem(c.reason));
        if (c.id == select)
            current = i;
    }
    m_list->blockSignals(false);
    if (current >= 0) {
        m_list->setCurrentCell(current, 0);
        showRow(current);
    } else {
        startNew();
    }
}

void TBlokady::showRow(int row)
{
    if (row < 0 || row >= m_periods.size())
        return;
    const Closure& c = m_periods[row];
    m_editing = c.id;
    if (m_room)
        m_room->setCurrentIndex(static_cast<int>(m_rooms.indexOf(c.room)));
    m_from->setDate(c.from);
    m_to->setDate(c.to);
    m_reason->setEditText(c.reason);
    m_remove->setEnabled(true);
}

void TBlokady::startNew()
{
    m_editing = 0;
    m_list->clearSelection();
    m_list->setCurrentCell(-1, -1);
    m_from->setDate(today());
    m_to->setDate(today());
    m_reason->setEditText(QString());
    m_remove->setEnabled(false);
    m_from->setFocus();
}

Closure TBlokady::fromFields() const
{
    Closure c;
    c.id = m_editing;
    c.room = m_room ? m_room->currentText() : QString();
    c.from = m_from->date();
    c.to = m_to->date();
    c.reason = m_reason->currentText().trimmed();
    return c;
}

void TBlokady::save()
{
    const Closure c = fromFields();
    const QString problem = closureProblem(m_kind, c, m_rooms);
    if (!problem.isEmpty()) {
        prompter().warn(problem, captionOf(m_kind));
        return;
    }
    const qint64 id = saveClosure(dataModule().database(), m_kind, c, m_rooms);
    reload(id);
}

void TBlokady::removeCurrent()
{
    if (m_editing == 0)
        return;
    if (!prompter().ask(QStringLiteral("Czy usunąć wybrany okres?"), captionOf(m_kind), false))
        return;
    removeClosure(dataModule().database(), m_kind, m_editing);
    reload();
}
