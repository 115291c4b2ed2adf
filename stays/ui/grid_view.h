#pragma once

#include "stays/text_grid.h"

#include <QList>

class QTableWidget;
class QWidget;

// The width of the unnamed column 0.
inline constexpr int kNarrowColumn = 12;

// A read-only table widget that shows a TextGrid, with a narrow column 0.
QTableWidget* makeGridTable(const QString& name, const TextGrid& grid, QWidget* parent);
// Writes the grid into the table; the current row stays where it was, or
// goes to the last row when fewer rows remain.
void showGrid(QTableWidget* table, const TextGrid& grid);
// The rows of the selection, top to bottom.
QList<int> selectedRows(const QTableWidget* table);
