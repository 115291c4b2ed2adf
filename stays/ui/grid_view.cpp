#include "stays/ui/grid_view.h"

#include <QHeaderView>
#include <QTableWidget>

#include <algorithm>

QTableWidget* makeGridTable(const QString& name, const TextGrid& grid, QWidget* parent)
{
    auto* table = new QTableWidget(parent);
    table->setObjectName(name);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(20);
    table->horizontalHeader()->setDefaultSectionSize(56);
    table->horizontalHeader()->setStretchLastSection(true);
    showGrid(table, grid);
    table->setColumnWidth(0, kNarrowColumn);
    // A title longer than the usual width widens its column, so it is not cut.
    QHeaderView* header = table->horizontalHeader();
    for (int c = 1; c < table->columnCount(); ++c)
        table->setColumnWidth(c,
                              std::max(header->defaultSectionSize(), header->sectionSizeHint(c)));
    return table;
}

void showGrid(QTableWidget* table, const TextGrid& grid)
{
    const int current = table->currentRow();
    table->clearSelection();
    table->setColumnCount(grid.columnCount());
    table->setHorizontalHeaderLabels(grid.titles());
    table->setRowCount(grid.rowCount());
    for (int r = 0; r < grid.rowCount(); ++r) {
        for (int c = 0; c < grid.columnCount(); ++c) {
            QTableWidgetItem* item = table->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                table->setItem(r, c, item);
            }
            item->setText(grid.cell(r, c));
        }
    }
    // A column grows to show its longest text whole (a day, a description).
    const QAbstractItemView* view = table;
    for (int c = 1; c < grid.columnCount(); ++c)
        table->setColumnWidth(c, std::max(table->columnWidth(c), view->sizeHintForColumn(c)));
    if (current >= 0)
        table->setCurrentCell(std::min(current, grid.rowCount() - 1), 1);
}

QList<int> selectedRows(const QTableWidget* table)
{
    QList<int> rows;
    const QList<QTableWidgetSelectionRange> ranges = table->selectedRanges();
    for (const QTableWidgetSelectionRange& range : ranges)
        for (int r = range.topRow(); r <= range.bottomRow(); ++r)
            if (!rows.contains(r))
                rows.append(r);
    std::sort(rows.begin(), rows.end());
    return rows;
}
