#pragma once

#include "db/table_cursor_model.h"

#include <QTableView>

#include <functional>

// A read-only grid of a cursor's rows, one row selected at a time; the
// selected row is the cursor's current row, both ways.
class CursorGrid : public QTableView {
    Q_OBJECT
public:
    CursorGrid(TableCursor& cursor, QVector<TableCursorModel::Column> columns,
               QWidget* parent = nullptr);

    TableCursorModel* cursorModel() const { return m_model; }
    // Runs before the selection moves the cursor; may throw to keep it.
    void setBeforeMove(std::function<void()> check) { m_beforeMove = std::move(check); }

private:
    void selectCurrent();
    void moved(int row);

    TableCursor& m_cursor;
    TableCursorModel* m_model;
    std::function<void()> m_beforeMove;
    bool m_selecting = false;
};
