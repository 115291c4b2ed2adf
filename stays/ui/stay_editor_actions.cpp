// What the stay editor does: opening, the availability pages, adding and
// removing room lines, the period pickers and saving.
#include "core/clock.h"
#include "core/days.h"
#include "core/error.h"
#include "core/frame.h"
#include "core/prompter.h"
#include "db/data_module.h"
#include "db/sql.h"
#include "stays/chosen_lines.h"
#include "stays/ui/grid_view.h"
#include "stays/ui/stay_editor_window.h"

#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTabWidget>

void TRezerwacja::start()
{
    reset();
}

void TRezerwacja::startWithRoom(const QString& room, const QDate& from, const QDate& to, int beds,
                                const QString& gender)
{
    reset();
    QSqlQuery q = runSql(dataModule().database(),
                         QStringLiteral("SELECT Miejsc, Typ FROM Pokoje WHERE Nr_Pokoju = :Nr"),
                         {{":Nr", room}});
    if (!q.next() || !from.isValid() || from >= to)
        return;
    for (QDateEdit* e : {m_from, m_lineFrom})
        setDate(e, from);
    for (QDateEdit* e : {m_to, m_lineTo})
        setDate(e, to);
    RoomToAdd add;
    add.room = room;
    add.roomBeds = q.value(0).toString();
    add.type = q.value(1).toString();
    add.beds = beds > 0 ? beds : q.value(0).toInt();
    if (beds > 0)
        add.gender = gender;
    add.from = dayText(from);
    add.to = dayText(to);
    addToChosen(m_chosen, add);
    m_persons->setText(QString::number(add.beds));
    showGrid(m_chosenTable, m_chosen);
    updateSummary();
    m_availability.reread();
    fillActivePage();
}

void TRezerwacja::setDate(QDateEdit* edit, const QDate& day)
{
    if (!day.isValid())
        return;
    const QSignalBlocker block(edit);
    edit->setDate(day);
}

void TRezerwacja::reset()
{
    m_availability.reread();
    for (QDateEdit* e : {m_from, m_lineFrom})
        setDate(e, today());
    for (QDateEdit* e : {m_to, m_lineTo})
        setDate(e, today().addDays(1));
    m_name->clear();
    m_notes->clear();
    m_persons->setText(QStringLiteral("1"));
    m_chosen = chosenGrid();

    const bool reservation = isReservation(m_mode);
    if (!isChange(m_mode)) {
        setWindowTitle(reservation ? QStringLiteral("Nowa rezerwacja")
                                   : QStringLiteral("Nowy kwaterunek"));
        m_save->setText(reservation ? QStringLiteral("Rezerwuj") : QStringLiteral("Kwateruj"));
    } else {
        setWindowTitle(reservation ? QStringLiteral("Edycja rezerwacji")
                                   : QStringLiteral("Edycja kwaterunku"));
        m_save->setText(reservation ? QStringLiteral("Zmień rezerwację")
                                    : QStringLiteral("Zmień kwaterunek"));
        StayForm form = loadStay(dataModule().database(), m_mode, m_groupId);
        m_name->setText(form.name);
        m_persons->setText(form.persons);
        m_notes->setPlainText(form.notes);
        setDate(m_from, form.from);
        setDate(m_lineFrom, form.from);
        setDate(m_to, form.to);
        setDate(m_lineTo, form.to);
        m_chosen = form.chosen;
    }
    showGrid(m_chosenTable, m_chosen);
    updateSummary();
    fillActivePage();
}

AvailabilityRequest TRezerwacja::request(int page) const
{
    AvailabilityRequest r;
    r.from = m_from->date();
    r.to = m_to->date();
    r.reservationId = reservationIdFor(m_mode, m_groupId);
    r.accommodationId = accommodationIdFor(m_mode, m_groupId);
    r.chosen = &m_chosen;
    for (const QLineEdit* f : page == 0 ? m_roomFilters : m_placeFilters)
        r.filters.append(f->text());
    return r;
}

void TRezerwacja::fillActivePage()
{
    const int page = m_pages->currentIndex();
    const AvailabilityRequest r = request(page);
    QSqlDatabase db = dataModule().database();
    const AvailabilityLabels labels = page == 0
                                          ? m_availability.fillFreeRooms(db, r, m_freeRooms)
                                          : m_availability.fillFreePlaces(db, r, m_freePlaces);
    showGrid(page == 0 ? m_roomsTable : m_placesTable, page == 0 ? m_freeRooms : m_freePlaces);
    m_lastFill = std::make_pair(r.from, r.to);
    m_roomsLabel->setText(labels.rooms);
    m_bedsLabel->setText(labels.beds);
}

void TRezerwacja::clearFilters()
{
    for (QLineEdit* f : m_roomFilters + m_placeFilters)
        f->clear();
    fillActivePage();
}

void TRezerwacja::addRooms()
{
    const bool places = m_pages->currentIndex() == 1;
    TextGrid& source = places ? m_freePlaces : m_freeRooms;
    QTableWidget* table = places ? m_placesTable : m_roomsTable;
    QList<int> taken;
    int current = -1;
    for (int row : selectedRows(table)) {
        if (source.key(row).isEmpty())
            break;
        RoomToAdd add;
        add.room = source.key(row);
        add.roomBeds = source.cell(row, 2);
        add.type = source.cell(row, 3);
        add.beds = bedsToAdd(source.cell(row, places ? 4 : 2), places, m_singles->isChecked(),
                             m_count->text());
        if (m_singles->isChecked())
            add.gender = m_women->isChecked() ? QStringLiteral("K") : QStringLiteral("M");
        add.from = dayText(m_lineFrom->date());
        add.to = dayText(m_lineTo->date());
        current = addToChosen(m_chosen, add);
        taken.append(row);
    }
    if (taken.isEmpty())
        return;
    showGrid(m_chosenTable, m_chosen);
    m_chosenTable->setCurrentCell(current, 1);
    if (places) {
        fillActivePage();
    } else {
        // Taken rooms leave the list at once; the counts wait for a refill.
        removeRows(m_freeRooms, taken);
        showGrid(m_roomsTable, m_freeRooms);
    }
    updateSummary();
}

void TRezerwacja::removeLines()
{
    removeRows(m_chosen, selectedRows(m_chosenTable));
    showGrid(m_chosenTable, m_chosen);
    m_availability.reread();
    fillActivePage();
    updateSummary();
}

void TRezerwacja::updateSummary()
{
    const BedsSummary s = bedsSummary(m_persons->text(), m_chosen);
    if (s.personsReset)
        m_persons->setText(QStringLiteral("1"));
    m_summary->setText(s.text);
    QPalette p = m_summary->palette();
    p.setColor(QPalette::WindowText, s.red ? Qt::red : Qt::blue);
    m_summary->setPalette(p);
}

bool TRezerwacja::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == m_roomsTable && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            guarded([this] { addRooms(); });
            return true;
        }
        if (watched == m_chosenTable && key == Qt::Key_Delete) {
            guarded([this] { removeLines(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TRezerwacja::groupPeriodChecked()
{
    if (m_from->date() >= m_to->date())
        m_to->setDate(m_from->date().addDays(1)); // reacts as a change
}

void TRezerwacja::groupPeriodChanged()
{
    if (m_adjusting)
        return;
    m_adjusting = true;
    if (m_from->date() >= m_to->date())
        setDate(m_to, m_from->date().addDays(1));
    setDate(m_lineFrom, m_from->date());
    setDate(m_lineTo, m_to->date());
    m_adjusting = false;
    if (m_lastFill && (m_lastFill->first != m_from->date() || m_lastFill->second != m_to->date())) {
        m_availability.reread();
        fillActivePage();
    }
}

void TRezerwacja::linePeriodChanged()
{
    if (m_adjusting)
        return;
    const QDate arrival = m_from->date();
    const QDate departure = m_to->date();
    QDate from = m_lineFrom->date();
    QDate to = m_lineTo->date();
    if (from < arrival)
        from = arrival;
    if (to > departure)
        to = departure;
    if (from >= departure)
        from = departure.addDays(-1);
    if (arrival >= to)
        to = arrival.addDays(1);
    if (from >= to)
        to = from.addDays(1);
    setDate(m_lineFrom, from);
    setDate(m_lineTo, to);
}
