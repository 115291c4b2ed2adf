#pragma once

#include "stays/board.h"

#include <QAbstractScrollArea>

class QHelpEvent;

// The planning board drawn as one surface: rooms down the side, days across,
// a bar per room line. Only what is in sight is painted, so a span of 300
// rooms by 8 weeks scrolls as smoothly as a small one.
class BoardView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit BoardView(QWidget* parent = nullptr);

    // Takes the data and their layout; the selection of a group or of cells
    // is kept where it still fits.
    void setBoard(BoardData data, BoardLayout layout);
    const BoardData& data() const { return m_data; }
    const BoardLayout& layout() const { return m_layout; }
    static BoardMetrics metrics();
    int dayWidth() const { return m_dayWidth; }

    BoardGroupKey selectedGroup() const { return m_group; }
    void selectGroup(const BoardGroupKey& key, bool scrollTo = true);
    // The chosen cells: one room and the nights firstDay..lastDay; row -1 when none.
    struct Cells {
        int row = -1;
        int firstDay = 0;
        int lastDay = 0;
    };
    Cells selectedCells() const;
    void selectCells(int row, int firstDay, int lastDay);

Q_SIGNALS:
    void selectionChanged();
    void groupActivated(BoardGroupKey key);
    void bookingRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Hit {
        int row = -1;
        int day = -1;
        int bar = -1;
    };
    Hit hitAt(const QPoint& viewportPos) const;
    QRect barRect(const BoardBar& bar) const; // in board coordinates
    void paintRow(QPainter& p, int row, int firstDay, int lastDay) const;
    void paintBar(QPainter& p, const BoardBar& bar) const;
    void paintHeader(QPainter& p) const;
    void paintRooms(QPainter& p) const;
    void updateScrollBars();
    void placeMargins();
    void moveCursor(int row, int day, bool extend);
    void ensureVisible(int row, int day);
    QString toolTipAt(const QPoint& viewportPos) const;
    QString headerToolTip(const QPoint& pos) const;

    BoardData m_data;
    BoardLayout m_layout;
    BoardGroupKey m_group;
    int m_row = -1; // the cursor cell
    int m_day = 0;
    int m_anchor = -1; // the other end of the chosen cells; -1 when a group is chosen
    int m_dayWidth = 30;
    int m_roomWidth = 90;
    int m_headerHeight = 40;
    QWidget* m_header = nullptr;
    QWidget* m_rooms = nullptr;
};
