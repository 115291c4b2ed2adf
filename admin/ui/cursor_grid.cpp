#include "admin/ui/cursor_grid.h"

#include "core/error.h"

#include <QHeaderView>
#include <QItemSelectionModel>

CursorGrid::CursorGrid(TableCursor& cursor, QVector<TableCursorModel::Column> columns,
                       QWidget* parent)
    : QTableView(parent)
    , m_cursor(cursor)
    , m_model(new TableCursorModel(cursor, columns, this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setStretchLastSection(true);

    connect(m_model, &QAbstractItemModel::modelReset, this, &CursorGrid::selectCurrent);
    connect(&m_cursor, &TableCursor::currentChanged, this, &CursorGrid::selectCurrent);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& now) { moved(now.isValid() ? now.row() : -1); });
    selectCurrent();
}

void CursorGrid::selectCurrent()
{
    m_selecting = true;
    const int row = m_cursor.current();
    if (row >= 0 && row < m_model->rowCount()) {
        selectRow(row);
        scrollTo(m_model->index(row, 0));
    } else {
        clearSelection();
    }
    m_selecting = false;
}

void CursorGrid::moved(int row)
{
    if (m_selecting || row < 0 || row == m_cursor.current())
        return;
    guarded([&] {
        if (m_beforeMove)
            m_beforeMove();
        m_cursor.setCurrent(row);
    });
    // A refused move (the pending row could not be saved) puts the selection
    // back once the view has finished its own change.
    if (m_cursor.current() != row)
        QMetaObject::invokeMethod(this, &CursorGrid::selectCurrent, Qt::QueuedConnection);
}
