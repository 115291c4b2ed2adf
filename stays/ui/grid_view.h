#pragma once

#include "stays/text_grid.h"

#include <QList>
#include <QMap>

class QTableWidget;
class QWidget;

// The width of the unnamed column 0.
inline constexpr int kNarrowColumn = 12;

// A read-only table widget that shows a TextGrid, with a narrow column 0.
// Every other column is as wide as its title and as the sample text given for
// it (the widest text it is expected to hold, such as a day), and the last
// column takes the rest of the width. A title of two words stands on two
// lines, so that a column of short numbers is only as wide as the longer word.
QTableWidget* makeGridTable(const QString& name, const TextGrid& grid, QWidget* parent,
                            const QMap<int, QString>& samples = {});
// Writes the grid into the table; the current row stays where it was, or
// goes to the last row when fewer rows remain. A column grows to show its
// longest text whole.
void showGrid(QTableWidget* table, const TextGrid& grid);
// The width of the columns as makeGridTable made them, with the frame: what
// the table needs before its last column stretches.
int madeWidth(const QTableWidget* table);
// The rows of the selection, top to bottom.
QList<int> selectedRows(const QTableWidget* table);
