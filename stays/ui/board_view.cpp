#include "stays/ui/board_view.h"

#include "core/days.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

namespace {
const QColor kWeekend(232, 232, 232);
const QColor kHoliday(250, 218, 218);
const QColor kToday(255, 244, 170);
const QColor kBlocked(200, 200, 200);
const QColor kGrid(214, 214, 214);
const QColor kReservation(170, 205, 240);
const QColor kReservationText(20, 40, 80);
const QColor kAccommodation(40, 100, 170);
const QColor kSettled(0, 150, 60);
const QColor kSelected(230, 120, 0);
const QColor kChosenCells(60, 140, 230, 90);
const QColor kFull(200, 40, 40);

// Paints a strip beside the board (the day header, the room column) with the
// board's own code, so that both follow its scrolling.
class Margin : public QWidget {
public:
    Margin(QWidget* parent, std::function<void(QPainter&)> paint)
        : QWidget(parent)
        , m_paint(std::move(paint))
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        m_paint(p);
    }

private:
    std::function<void(QPainter&)> m_paint;
};
} // namespace

BoardView::BoardView(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("PlanPokoi"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(false);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
    m_header = new Margin(this, [this](QPainter& p) { paintHeader(p); });
    m_header->setObjectName(QStringLiteral("PlanDni"));
    m_rooms = new Margin(this, [this](QPainter& p) { paintRooms(p); });
    m_rooms->setObjectName(QStringLiteral("PlanPokoje"));
    m_header->installEventFilter(this);
    m_rooms->installEventFilter(this);
    const QFontMetrics fm(font());
    // A day is as wide as the beds of a night in the small type of the strip.
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    m_dayWidth = std::max(28, QFontMetrics(small).horizontalAdvance(QStringLiteral("0/0 KM")) + 4);
    m_roomWidth = fm.horizontalAdvance(QStringLiteral("000000  4 · EKON")) + 12;
    m_headerHeight = 2 * fm.height() + fm.height() + 6;
    horizontalScrollBar()->setSingleStep(m_dayWidth);
    verticalScrollBar()->setSingleStep(metrics().laneHeight);
    placeMargins();
}

BoardMetrics BoardView::metrics()
{
    return {};
}

void BoardView::setBoard(BoardData data, BoardLayout layout)
{
    const QString cursorRoom =
        m_row >= 0 && m_row < m_data.rooms.size() ? m_data.rooms[m_row].number : QString();
    const QDate cursorDay = m_data.first.addDays(m_day);
    const QDate anchorDay = m_anchor >= 0 ? m_data.first.addDays(m_anchor) : QDate();
    m_data = std::move(data);
    m_layout = std::move(layout);

    // The cursor stays on its room and day when both are still shown.
    m_row = -1;
    for (int r = 0; r < m_data.rooms.size(); ++r)
        if (m_data.rooms[r].number == cursorRoom)
            m_row = r;
    if (m_row < 0 && !m_data.rooms.isEmpty())
        m_row = 0;
    const qint64 day = m_data.first.daysTo(cursorDay);
    m_day = day >= 0 && day < m_data.days ? static_cast<int>(day) : 0;
    if (m_anchor >= 0) {
        const qint64 anchor = m_data.first.daysTo(anchorDay);
        m_anchor = anchor >= 0 && anchor < m_data.days ? static_cast<int>(anchor) : m_day;
    }
    updateScrollBars();
    viewport()->update();
    m_header->update();
    m_rooms->update();
    Q_EMIT selectionChanged();
}

void BoardView::selectGroup(const BoardGroupKey& key, bool scrollTo)
{
    m_group = key;
    m_anchor = -1;
    if (scrollTo)
        for (const BoardBar& bar : m_layout.bars)
            if (bar.group == key) {
                m_row = bar.row;
                m_day = std::clamp(bar.start / 2, 0, std::max(0, m_data.days - 1));
                ensureVisible(m_row, m_day);
                break;
            }
    viewport()->update();
    Q_EMIT selectionChanged();
}

BoardView::Cells BoardView::selectedCells() const
{
    if (m_anchor < 0 || m_row < 0)
        return {};
    return {m_row, std::min(m_anchor, m_day), std::max(m_anchor, m_day)};
}

void BoardView::selectCells(int row, int firstDay, int lastDay)
{
    m_group = {};
    m_row = row;
    m_anchor = firstDay;
    m_day = lastDay;
    ensureVisible(row, lastDay);
    viewport()->update();
    Q_EMIT selectionChanged();
}

void BoardView::placeMargins()
{
    setViewportMargins(m_roomWidth, m_headerHeight, 0, 0);
    const QRect vp = viewport()->geometry();
    m_header->setGeometry(vp.left(), vp.top() - m_headerHeight, vp.width(), m_headerHeight);
    m_rooms->setGeometry(vp.left() - m_roomWidth, vp.top(), m_roomWidth, vp.height());
}

void BoardView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    placeMargins();
    updateScrollBars();
}

void BoardView::updateScrollBars()
{
    const QSize vp = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, m_data.days * m_dayWidth - vp.width()));
    horizontalScrollBar()->setPageStep(vp.width());
    verticalScrollBar()->setRange(0, std::max(0, m_layout.height - vp.height()));
    verticalScrollBar()->setPageStep(vp.height());
}

void BoardView::scrollContentsBy(int, int)
{
    viewport()->update();
    m_header->update();
    m_rooms->update();
}

QRect BoardView::barRect(const BoardBar& bar) const
{
    const BoardRow& row = m_layout.rows[bar.row];
    const BoardMetrics m = metrics();
    const int top = row.top + (row.singles ? m.bedsStrip : 0) + bar.lane * m.laneHeight;
    const int left = bar.start * m_dayWidth / 2;
    const int right = bar.end * m_dayWidth / 2;
    return QRect(left + 1, top + 2, right - left - 2, m.laneHeight - 4);
}

void BoardView::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    const int dx = horizontalScrollBar()->value();
    const int dy = verticalScrollBar()->value();
    const QSize vp = viewport()->size();
    p.translate(-dx, -dy);
    if (m_data.days == 0)
        return;
    const int firstDay = std::clamp(dx / m_dayWidth, 0, m_data.days - 1);
    const int lastDay = std::clamp((dx + vp.width()) / m_dayWidth, 0, m_data.days - 1);
    const int firstRow = std::max(0, m_layout.rowAt(dy));
    int lastRow = m_layout.rowAt(dy + vp.height());
    if (lastRow < 0)
        lastRow = static_cast<int>(m_layout.rows.size()) - 1;
    for (int r = firstRow; r <= lastRow; ++r)
        paintRow(p, r, firstDay, lastDay);

    // The chosen cells, and the cursor cell while the board has the focus.
    const Cells cells = selectedCells();
    if (cells.row >= 0) {
        const BoardRow& row = m_layout.rows[cells.row];
        p.fillRect(QRect(cells.firstDay * m_dayWidth, row.top,
                         (cells.lastDay - cells.firstDay + 1) * m_dayWidth, row.height),
                   kChosenCells);
    }
    if (hasFocus() && m_row >= 0 && m_row < m_layout.rows.size()) {
        const BoardRow& row = m_layout.rows[m_row];
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(m_day * m_dayWidth, row.top, m_dayWidth - 1, row.height - 1));
    }
}

void BoardView::paintRow(QPainter& p, int r, int firstDay, int lastDay) const
{
    const BoardRow& row = m_layout.rows[r];
    const BoardMetrics m = metrics();
    for (int d = firstDay; d <= lastDay; ++d) {
        const BoardDay& day = m_layout.days[d];
        const QRect cell(d * m_dayWidth, row.top, m_dayWidth, row.height);
        const BoardNight& night = row.nights[d];
        if (night.blocked)
            p.fillRect(cell, QBrush(kBlocked, Qt::BDiagPattern));
        else if (day.today)
            p.fillRect(cell, kToday);
        else if (!day.holiday.isEmpty())
            p.fillRect(cell, kHoliday);
        else if (day.weekend)
            p.fillRect(cell, kWeekend);
        p.setPen(kGrid);
        p.drawLine(cell.topRight(), cell.bottomRight());
        if (row.singles && night.taken > 0) {
            const int beds = m_data.rooms[r].beds;
            QFont small = p.font();
            small.setPointSizeF(small.pointSizeF() * 0.8);
            p.setFont(small);
            p.setPen(night.taken >= beds ? kFull : QColor(60, 60, 60));
            p.drawText(QRect(cell.left(), cell.top(), cell.width(), m.bedsStrip), Qt::AlignCenter,
                       nightText(night, beds));
            p.setFont(font());
        }
    }
    p.setPen(kGrid);
    p.drawLine(firstDay * m_dayWidth, row.top + row.height - 1, (lastDay + 1) * m_dayWidth,
               row.top + row.height - 1);
    for (int b : row.bars) {
        const BoardBar& bar = m_layout.bars[b];
        if (bar.end > 2 * firstDay && bar.start < 2 * (lastDay + 1))
            paintBar(p, bar);
    }
}

void BoardView::paintBar(QPainter& p, const BoardBar& bar) const
{
    const QRect rect = barRect(bar);
    const QColor fill = bar.reservation ? kReservation : kAccommodation;
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(rect, 4, 4);
    if (bar.singles) {
        // Single beds: a lighter pattern over the colour of the kind.
        p.setBrush(QBrush(QColor(255, 255, 255, 110), Qt::Dense6Pattern));
        p.drawRect(rect);
    }
    // Cut at the edge of the span: a square end with an arrow.
    const int arrow = rect.height() / 3;
    p.setBrush(bar.reservation ? kReservationText : Qt::white);
    if (bar.clippedStart) {
        const QPoint c(rect.left() + 3, rect.center().y());
        p.drawPolygon(QPolygon({c, c + QPoint(arrow, -arrow), c + QPoint(arrow, arrow)}));
    }
    if (bar.clippedEnd) {
        const QPoint c(rect.right() - 3, rect.center().y());
        p.drawPolygon(QPolygon({c, c + QPoint(-arrow, -arrow), c + QPoint(-arrow, arrow)}));
    }
    if (bar.settled) {
        p.setBrush(kSettled);
        p.drawRect(QRect(rect.left(), rect.bottom() - 2, rect.width(), 3));
    }
    if (m_group.isValid() && bar.group == m_group) {
        p.setPen(QPen(kSelected, 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(rect.adjusted(1, 1, -1, -1), 4, 4);
    }
    p.setPen(bar.reservation ? kReservationText : Qt::white);
    const QString label = bar.settled ? QStringLiteral("✔ ") + bar.label : bar.label;
    const QRect text =
        rect.adjusted(bar.clippedStart ? arrow + 5 : 4, 0, bar.clippedEnd ? -arrow - 5 : -4, 0);
    p.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
               p.fontMetrics().elidedText(label, Qt::ElideRight, text.width()));
}

void BoardView::paintHeader(QPainter& p) const
{
    const QRect all(QPoint(0, 0), m_header->size());
    p.fillRect(all, palette().color(QPalette::Window));
    const int dx = horizontalScrollBar()->value();
    const int lineHeight = m_headerHeight / 3;
    if (m_data.days == 0)
        return;
    const QLocale locale;
    p.translate(-dx, 0);
    // Month names over their days, kept in sight while the month is.
    int d = 0;
    while (d < m_data.days) {
        const QDate date = m_data.first.addDays(d);
        int end = d;
        while (end + 1 < m_data.days && m_data.first.addDays(end + 1).month() == date.month())
            ++end;
        const int left = std::max(d * m_dayWidth, dx);
        const int right = (end + 1) * m_dayWidth;
        p.setPen(Qt::black);
        QFont bold = font();
        bold.setBold(true);
        p.setFont(bold);
        if (right > left)
            p.drawText(QRect(left + 4, 0, right - left - 4, lineHeight),
                       Qt::AlignVCenter | Qt::AlignLeft,
                       QStringLiteral("%1 %2")
                           .arg(locale.standaloneMonthName(date.month()))
                           .arg(date.year()));
        p.setFont(font());
        p.setPen(Qt::gray);
        p.drawLine(d * m_dayWidth, 0, d * m_dayWidth, lineHeight);
        d = end + 1;
    }
    for (d = 0; d < m_data.days; ++d) {
        const BoardDay& day = m_layout.days[d];
        const QRect cell(d * m_dayWidth, lineHeight, m_dayWidth, m_headerHeight - lineHeight);
        if (day.today)
            p.fillRect(cell, kToday);
        else if (!day.holiday.isEmpty())
            p.fillRect(cell, kHoliday);
        else if (day.weekend)
            p.fillRect(cell, kWeekend);
        p.setPen(!day.holiday.isEmpty() || day.date.dayOfWeek() == 7 ? kFull : Qt::black);
        p.drawText(QRect(cell.left(), cell.top(), cell.width(), lineHeight), Qt::AlignCenter,
                   QString::number(day.date.day()));
        p.drawText(QRect(cell.left(), cell.top() + lineHeight, cell.width(), lineHeight),
                   Qt::AlignCenter, locale.dayName(day.date.dayOfWeek(), QLocale::NarrowFormat));
        p.setPen(kGrid);
        p.drawLine(cell.topRight(), cell.bottomRight());
    }
    p.setPen(Qt::gray);
    p.drawLine(dx, m_headerHeight - 1, dx + all.width(), m_headerHeight - 1);
}

void BoardView::paintRooms(QPainter& p) const
{
    const QRect all(QPoint(0, 0), m_rooms->size());
    p.fillRect(all, palette().color(QPalette::Window));
    const int dy = verticalScrollBar()->value();
    p.translate(0, -dy);
    const int firstRow = std::max(0, m_layout.rowAt(dy));
    QFont bold = font();
    bold.setBold(true);
    for (int r = firstRow; r < m_layout.rows.size(); ++r) {
        const BoardRow& row = m_layout.rows[r];
        if (row.top > dy + all.height())
            break;
        const BoardRoom& room = m_data.rooms[r];
        const QRect cell(0, row.top, all.width() - 1, row.height);
        if (r == m_row)
            p.fillRect(cell, palette().color(QPalette::Midlight));
        const QRect first(4, row.top, all.width() - 8, std::min(row.height, 20));
        p.setPen(Qt::black);
        p.setFont(bold);
        p.drawText(first, Qt::AlignVCenter | Qt::AlignLeft, room.number);
        p.setFont(font());
        p.setPen(QColor(80, 80, 80));
        p.drawText(first, Qt::AlignVCenter | Qt::AlignRight,
                   QStringLiteral("%1 · %2").arg(room.beds).arg(room.type));
        p.setPen(kGrid);
        p.drawLine(0, row.top + row.height - 1, all.width(), row.top + row.height - 1);
    }
    p.setPen(Qt::gray);
    p.drawLine(all.width() - 1, dy, all.width() - 1, dy + all.height());
}

BoardView::Hit BoardView::hitAt(const QPoint& pos) const
{
    Hit hit;
    const int x = pos.x() + horizontalScrollBar()->value();
    const int y = pos.y() + verticalScrollBar()->value();
    hit.row = m_layout.rowAt(y);
    if (hit.row < 0 || x < 0 || x >= m_data.days * m_dayWidth)
        return {};
    hit.day = x / m_dayWidth;
    const BoardRow& row = m_layout.rows[hit.row];
    const BoardMetrics m = metrics();
    const int inRow = y - row.top - (row.singles ? m.bedsStrip : 0);
    if (inRow >= 0)
        hit.bar = m_layout.barAt(hit.row, 2 * x / m_dayWidth, inRow / m.laneHeight);
    return hit;
}

void BoardView::mousePressEvent(QMouseEvent* event)
{
    const Hit hit = hitAt(event->position().toPoint());
    if (hit.row < 0 || event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    if (hit.bar >= 0) {
        m_row = hit.row;
        m_day = hit.day;
        selectGroup(m_layout.bars[hit.bar].group, false);
        return;
    }
    const bool extend =
        (event->modifiers() & Qt::ShiftModifier) && m_anchor >= 0 && hit.row == m_row;
    moveCursor(hit.row, hit.day, extend);
}

void BoardView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || m_anchor < 0)
        return;
    const Hit hit = hitAt(event->position().toPoint());
    if (hit.row == m_row && hit.day >= 0 && hit.day != m_day) {
        m_day = hit.day;
        viewport()->update();
        Q_EMIT selectionChanged();
    }
}

void BoardView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const Hit hit = hitAt(event->position().toPoint());
    if (hit.row < 0 || event->button() != Qt::LeftButton)
        return;
    if (hit.bar >= 0)
        Q_EMIT groupActivated(m_layout.bars[hit.bar].group);
    else if (m_anchor >= 0)
        Q_EMIT bookingRequested();
}

void BoardView::moveCursor(int row, int day, bool extend)
{
    if (m_layout.rows.isEmpty() || m_data.days == 0)
        return;
    row = std::clamp(row, 0, static_cast<int>(m_layout.rows.size()) - 1);
    day = std::clamp(day, 0, m_data.days - 1);
    if (extend && m_anchor >= 0)
        row = m_row; // chosen cells stay in one room
    m_row = row;
    m_day = day;
    if (!extend) {
        // On a night some group has, the cursor chooses the group.
        const int bar = m_layout.barAt(row, 2 * day + 1, 0);
        const BoardGroupKey group = bar >= 0 ? m_layout.bars[bar].group : BoardGroupKey{};
        m_group = group;
        m_anchor = group.isValid() ? -1 : day;
    } else {
        m_group = {};
    }
    ensureVisible(m_row, m_day);
    viewport()->update();
    m_rooms->update();
    Q_EMIT selectionChanged();
}

void BoardView::ensureVisible(int row, int day)
{
    if (row < 0 || row >= m_layout.rows.size())
        return;
    const QSize vp = viewport()->size();
    const BoardRow& r = m_layout.rows[row];
    QScrollBar* v = verticalScrollBar();
    if (r.top < v->value())
        v->setValue(r.top);
    else if (r.top + r.height > v->value() + vp.height())
        v->setValue(r.top + r.height - vp.height());
    QScrollBar* h = horizontalScrollBar();
    const int left = day * m_dayWidth;
    if (left < h->value())
        h->setValue(left);
    else if (left + m_dayWidth > h->value() + vp.width())
        h->setValue(left + m_dayWidth - vp.width());
}

void BoardView::keyPressEvent(QKeyEvent* event)
{
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const int page = std::max(1, viewport()->height() / metrics().laneHeight);
    switch (event->key()) {
    case Qt::Key_Left:
        moveCursor(m_row, m_day - 1, shift);
        break;
    case Qt::Key_Right:
        moveCursor(m_row, m_day + 1, shift);
        break;
    case Qt::Key_Up:
        moveCursor(m_row - 1, m_day, false);
        break;
    case Qt::Key_Down:
        moveCursor(m_row + 1, m_day, false);
        break;
    case Qt::Key_PageUp:
        moveCursor(m_row - page, m_day, false);
        break;
    case Qt::Key_PageDown:
        moveCursor(m_row + page, m_day, false);
        break;
    case Qt::Key_Home:
        moveCursor(m_row, 0, shift);
        break;
    case Qt::Key_End:
        moveCursor(m_row, m_data.days - 1, shift);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_group.isValid())
            Q_EMIT groupActivated(m_group);
        else if (m_anchor >= 0)
            Q_EMIT bookingRequested();
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

QString BoardView::toolTipAt(const QPoint& pos) const
{
    const Hit hit = hitAt(pos);
    if (hit.row < 0)
        return {};
    if (hit.bar >= 0) {
        const BoardBar& bar = m_layout.bars[hit.bar];
        const BoardLine& line = m_data.lines[bar.line];
        QString text = QStringLiteral("%1\n%2 – %3, miejsc: %4")
                           .arg(bar.label, dayText(line.from), dayText(line.to))
                           .arg(line.beds);
        if (!line.gender.isEmpty())
            text += QStringLiteral(" (%1)").arg(line.gender);
        text += bar.reservation ? QStringLiteral("\nRezerwacja") : QStringLiteral("\nKwaterunek");
        if (bar.settled)
            text += QStringLiteral(", rozliczona");
        return text;
    }
    const BoardNight& night = m_layout.rows[hit.row].nights[hit.day];
    if (night.blocked)
        return QStringLiteral("Pokój wyłączony z użytku");
    if (night.taken > 0)
        return QStringLiteral("Zajęte miejsca: %1")
            .arg(nightText(night, m_data.rooms[hit.row].beds));
    return {};
}

QString BoardView::headerToolTip(const QPoint& pos) const
{
    const int x = pos.x() + horizontalScrollBar()->value();
    const int d = x / m_dayWidth;
    if (x < 0 || d >= m_layout.days.size())
        return {};
    const BoardDay& day = m_layout.days[d];
    QString text =
        QStringLiteral("%1, %2").arg(dayText(day.date), QLocale().dayName(day.date.dayOfWeek()));
    if (!day.holiday.isEmpty())
        text += QLatin1Char('\n') + day.holiday;
    if (day.closed)
        text += QStringLiteral("\nObiekt zamknięty");
    return text;
}

bool BoardView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = toolTipAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, viewport());
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

bool BoardView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_header && event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(help->globalPos(), headerToolTip(help->pos()), m_header);
        return true;
    }
    if (event->type() == QEvent::Wheel && (watched == m_header || watched == m_rooms))
        return QCoreApplication::sendEvent(viewport(), event);
    return QAbstractScrollArea::eventFilter(watched, event);
}
