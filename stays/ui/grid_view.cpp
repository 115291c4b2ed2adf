#include "stays/ui/grid_view.h"

#include "core/ui/list_grid.h"

#include <QHeaderView>
#include <QTableWidget>

#include <algorithm>

namespace {
QStringList shownTitles(QStringList titles)
{
    for (QString& title : titles)
        title.replace(QLatin1Char(' '), QLatin1Char('\n'));
    return titles;
}

// The last column stretches over the rest of the width; on its own it is as
// wide as its title and its texts, so that it shrinks again with the window.
int lastColumnWidth(const QTableWidget* table)
{
    const int last = table->columnCount() - 1;
    const QAbstractItemView* view = table;
    return std::max(table->horizontalHeader()->sectionSizeHint(last),
                    view->sizeHintForColumn(last));
}
} // namespace

QTableWidget* makeGridTable(const QString& name, const TextGrid& grid, QWidget* parent,
                            const QMap<int, QString>& samples)
{
    auto* table = new QTableWidget(parent);
    table->setObjectName(name);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(20);
    QHeaderView* header = table->horizontalHeader();
    // Columns start narrow and take the width of their titles and texts.
    header->setMinimumSectionSize(kNarrowColumn);
    header->setDefaultSectionSize(kNarrowColumn);
    header->setStretchLastSection(true);
    showGrid(table, grid);
    table->setColumnWidth(0, kNarrowColumn);
    for (int c = 1; c < table->columnCount(); ++c) {
        int width = std::max(table->columnWidth(c), header->sectionSizeHint(c));
        if (samples.contains(c))
            width = std::max(width, cellWidth(table, samples.value(c)));
        table->setColumnWidth(c, width);
    }
    return table;
}

void showGrid(QTableWidget* table, const TextGrid& grid)
{
    const int current = table->currentRow();
    table->clearSelection();
    table->setColumnCount(grid.columnCount());
    table->setHorizontalHeaderLabels(shownTitles(grid.titles()));
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
    const int last = grid.columnCount() - 1;
    for (int c = 1; c < last; ++c)
        table->setColumnWidth(c, std::max(table->columnWidth(c), view->sizeHintForColumn(c)));
    if (last > 0)
        table->setColumnWidth(last, lastColumnWidth(table));
    if (current >= 0)
        table->setCurrentCell(std::min(current, grid.rowCount() - 1), 1);
}

int madeWidth(const QTableWidget* table)
{
    int width = 2 * table->frameWidth();
    for (int c = 0; c < table->columnCount(); ++c)
        width += table->columnWidth(c);
    return width;
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
